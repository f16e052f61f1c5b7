# The game played through by a player in a 1280 x 720 window, with the real content: menus, the
# story, words typed and clicked, hints, statistics, level 2, options, a Russian level typed
# through the keyboard map, Exit, a second start that finds everything again, and a long German
# level whose statistics are looked at in all six themes. A screenshot of every screen is kept
# under the build tree.
source "$(dirname "$0")/../e2e/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES=

data() { python3 "$HERE/game_data.py" "$@"; }

LAST_SHOT=""
# shot NAME THEME: a screenshot that must wear the theme's colours and differ from the last one.
# Screens can take a moment under load (the first one loads its pictures), so it is retried.
shot() {
    local name=$1 colours
    case $2 in                                        # text, borders
        light|0) colours="70,70,70 111,206,228" ;;
        1) colours="175,175,175 65,65,65" ;;
        2) colours="70,70,70 0,0,0" ;;
        dark|3) colours="190,190,190 51,55,67" ;;
        4) colours="20,20,20 140,159,173" ;;
        darkblue|5) colours="210,210,210 46,46,46" ;;
    esac
    local path sum tries=0
    while :; do
        sleep 0.5
        path=$(e2e_screenshot "$name")
        sum=$(md5sum <"$path")
        if [ "$sum" != "$LAST_SHOT" ] && python3 "$HERE/screen_check.py" "$path" $colours; then
            break
        fi
        tries=$((tries + 1))
        [ $tries -lt 20 ] || e2e_fail "screen $name is blank, unchanged or not in the $2 theme"
    done
    LAST_SHOT=$sum
}

# Places on the 1280 x 720 screens (window coordinates).
MENU_FIRST="165 439"; MENU_OPTIONS="165 513"; MENU_ABOUT="165 587"; MENU_EXIT="165 661"
BACK_OPTIONS="640 555"; BACK_LOW="640 673"; BACK_STATISTICS="640 677"
STORY_NEXT="640 669"
OPTIONS_THEME="734 259"; OPTIONS_LANGUAGE="734 407"
HOME_ICON="53 55"; STAT_ICON="124 55"; SELECTOR_RIGHT="1236 55"; SELECTOR_VALUE="1190 55"
HINT_ICON="53 667"; ERASE_LETTER="1155 667"; ERASE_WORD="1226 667"
FIRST_FOUND_WORD="170 123"
language_button() { echo "640 $((99 + 74 * $1))"; }
swatch() { echo "734 $((323 + 54 * $1))"; }
# letter_x INDEX COUNT: the middle of letter INDEX of a row of COUNT letters.
letter_x() { python3 -c "w = (1240 - 4 * ($2 - 1)) / $2; print(int(20 + $1 * (w + 4) + w / 2))"; }
click() { e2e_click $1; }
hover() { xdotool mousemove --window "$E2E_WINDOW" $1; }
# pixels NAME X0 Y0 X1 Y1 COLOUR...: colours in a box of the screenshot NAME (see pixels.py).
pixels() {
    local name=$1
    shift
    python3 "$HERE/pixels.py" "$E2E_ARTIFACTS/$name.png" "$@" || e2e_fail "screen $name is not as expected"
}
# look NAME X0 Y0 X1 Y1 COLOUR...: a screenshot NAME whose box shows the colours, retaken while the
# screen settles (a hover hint comes a frame after the hover).
look() {
    local name=$1 tries=0
    shift
    until python3 "$HERE/pixels.py" "$(e2e_screenshot "$name")" "$@"; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || e2e_fail "screen $name is not as expected"
        sleep 0.5
    done
}
FIRST_ROW_OF_WORDS="24 98 1236 148"
HIGHLIGHT_LIGHT=135,206,250     # theme 0's active button colour
WINDOW_LIGHT=225,245,255        # theme 0's window colour, opaque on a hover hint

LIGHT=light DARK=dark DARK_BLUE=darkblue

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
cd "$E2E_RUN" || e2e_fail "no run directory"
e2e_config_set hintCheatCount 30       # hints to spare: asking again must not spend them
mapfile -t LEVEL1 < <(data level data/en.dat 0)
mapfile -t LEVEL2 < <(data level data/en.dat 1)
ROW1=${LEVEL1[0]}
[ ${#LEVEL1[@]} -ge 6 ] || e2e_fail "level 1 needs at least five words for this play"

e2e_start game
e2e_wait_window
shot main_menu_light $LIGHT

# The language screen, reached from the options; English is chosen there.
click "$MENU_OPTIONS";                 shot options_light $LIGHT
click "$OPTIONS_LANGUAGE";             shot language_light $LIGHT
e2e_key Escape                         # the player must choose: nothing happens
click "$(language_button 0)";          shot main_menu_again_light $LIGHT

# A new game starts with the three pages of the first chapter.
click "$MENU_FIRST";                   shot story_light $LIGHT
click "$STORY_NEXT"; click "$STORY_NEXT"
click "$STORY_NEXT";                   shot in_game_empty_light $LIGHT

# Words by keyboard, a word by clicking its letters, Backspace and Delete.
e2e_type "${LEVEL1[1]}"
e2e_type "${LEVEL1[2]}"
word=${LEVEL1[3]}
for ((i = 0; i < ${#word}; i++)); do
    # the first letter of the row that is still free
    index=$(python3 -c "
row, word, i = '$ROW1', '$word', $i
used = []
for ch in word[:i]:
    used.append(next(k for k, c in enumerate(row) if c == ch and k not in used))
print(next(k for k, c in enumerate(row) if c == word[i] and k not in used))")
    click "$(letter_x "$index" ${#ROW1}) 593"
done
e2e_type "${LEVEL1[4]:0:1}"; e2e_key BackSpace
e2e_type "${LEVEL1[4]:0:2}"; e2e_key Delete
click "$ERASE_WORD"
e2e_type "${LEVEL1[1]}"                # typed again: highlighted in the list
shot in_game_repeat_light $LIGHT
click "$ERASE_LETTER"; click "$ERASE_WORD"

# A hint by the button, a found word's description, the statistics, each left again.
click "$HINT_ICON";                    shot word_info_light $LIGHT
click "$BACK_LOW"
# F1 while the revealed word is not found shows it again (the same word and description) for
# nothing.
top_of() { convert "$1" -crop 1280x400+0+0 rgb:- | md5sum; }
for again in 1 2 3; do
    e2e_key F1
    tries=0
    until [ "$(top_of "$(e2e_screenshot word_info_again)")" = "$(top_of "$E2E_ARTIFACTS/word_info_light.png")" ]; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || e2e_fail "F1 did not show the same word again"
        sleep 0.5
    done
    e2e_key Escape
done
click "$FIRST_FOUND_WORD";             shot word_info_found_light $LIGHT
e2e_key Escape
click "$STAT_ICON";                    shot statistics_light $LIGHT
click "$BACK_STATISTICS"
click "$STAT_ICON"; e2e_key Escape

# Level 2 opens after enough words; moving there tells the second chapter.
e2e_type "${LEVEL1[4]}"
sleep 0.3
click "$SELECTOR_RIGHT";               shot story_step1_light $LIGHT
click "$STORY_NEXT"; click "$STORY_NEXT"
e2e_type "${LEVEL2[1]}"
shot in_game_level2_light $LIGHT

# The hint icon's hover text: on an opaque box after the level timer, clear of the icons.
hover "$HINT_ICON"
look in_game_hint_tooltip_light 100 645 600 690 $WINDOW_LIGHT:200
pixels in_game_hint_tooltip_light 0 632 92 702 "!$WINDOW_LIGHT"
pixels in_game_hint_tooltip_light 1110 632 1280 702 "!$WINDOW_LIGHT"

# A level number typed into the selector: level 1, where a word typed again is highlighted, then
# level 2 again. Each switch saves the level left.
# saved_level INDEX WHAT: waits for the progress file to record level INDEX as the level left.
saved_level() {
    local tries=0 levelIndex
    while read -r levelIndex _ < <(data progress save/progress_en.dat); [ "$levelIndex" != "$1" ]; do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || { e2e_screenshot "failed_$2" >/dev/null; e2e_fail "$2: level $levelIndex saved, not $1"; }
        sleep 0.5
    done
}
click "$SELECTOR_VALUE"; e2e_type 1; e2e_key Return
saved_level 1 typed_level_1
e2e_type "${LEVEL1[1]}"
look in_game_typed_level_light $FIRST_ROW_OF_WORDS $HIGHLIGHT_LIGHT:200
e2e_key Delete
click "$SELECTOR_VALUE"; e2e_type 2; e2e_key Return
saved_level 0 typed_level_2

# Options: a dark theme and a lower volume; every screen once more in the dark theme.
click "$HOME_ICON"
click "$MENU_ABOUT";                   shot about_light $LIGHT
click "$BACK_LOW"
click "$MENU_OPTIONS"
click "$OPTIONS_THEME";                shot options_themes_light $LIGHT
click "$(swatch 3)";                   shot options_dark $DARK
click "600 333"                        # the volume slider, about a fifth of the way
click "$OPTIONS_LANGUAGE";             shot language_dark $DARK
click "$(language_button 0)";          shot main_menu_dark $DARK
click "$MENU_ABOUT";                   shot about_dark $DARK
click "$BACK_LOW"
click "$MENU_FIRST";                   shot in_game_dark $DARK
click "$STAT_ICON";                    shot statistics_dark $DARK
click "$BACK_STATISTICS"
click "$FIRST_FOUND_WORD";             shot word_info_dark $DARK
click "$BACK_LOW"
e2e_key Escape
click "$MENU_EXIT"
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status after Exit"

# What was saved: the progress record and the level files.
read -r levelIndex levelsOpen storyStage hintsUsed wordsFound lettersFound seconds mode theme volume \
    < <(data progress save/progress_en.dat)
e2e_expect_eq "$levelIndex $storyStage $hintsUsed $theme" "1 2 1 3" "level, story stage, hints, theme"
e2e_expect_eq "$wordsFound" 5 "words found"
[ "$levelsOpen" -ge 2 ] || e2e_fail "level 2 is not open ($levelsOpen)"
[ "$volume" -gt 5 ] && [ "$volume" -lt 40 ] || e2e_fail "volume $volume is not what the slider was set to"
level1_file=save/$(printf '%s' "$ROW1" | od -An -tx1 | tr -d ' \n').sav
mapfile -t found1 < <(data found "$level1_file")
e2e_expect_eq "${found1[*]}" "${LEVEL1[1]} ${LEVEL1[2]} ${LEVEL1[3]} ${LEVEL1[4]}" "words of level 1 in finding order"
e2e_pass "first session saved"

# A second start: the main menu continues, the level's words are back (typing one again does
# not count it twice) and a new word counts.
e2e_start game
e2e_wait_window
sleep 1
LAST_SHOT=""
shot main_menu_continue_dark $DARK
click "$MENU_FIRST"
e2e_type "${LEVEL2[1]}"                # found before: only highlighted, and it stays typed
e2e_key Delete
e2e_type "${LEVEL2[2]}"
shot in_game_restored_dark $DARK

# Russian, in the dark blue theme: the keys of the Latin layout type Cyrillic letters through
# the keyboard map.
click "$HOME_ICON"
click "$MENU_OPTIONS"
click "$OPTIONS_LANGUAGE"
click "$(language_button 1)";          shot main_menu_russian_light $LIGHT
click "$MENU_OPTIONS"
click "$OPTIONS_THEME";                shot options_themes_russian_light $LIGHT
click "$(swatch 5)"
click "$BACK_OPTIONS"
click "$MENU_FIRST";                   shot story_dark $DARK_BLUE
click "$STORY_NEXT"; click "$STORY_NEXT"; click "$STORY_NEXT"
mapfile -t RU1 < <(data level data/ru.dat 0)
mapfile -t keys < <(data keys data/ru.dat "${RU1[1]}")
e2e_key "${keys[@]}"
shot in_game_russian_dark $DARK_BLUE
click "$HOME_ICON"
click "$MENU_EXIT"
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status of the second session"

read -r _ _ _ _ wordsFound _ < <(data progress save/progress_en.dat)
e2e_expect_eq "$wordsFound" 6 "English words after the second session (one typed again, one new)"
read -r _ _ storyStage _ wordsFound _ _ _ theme _ < <(data progress save/progress_ru.dat)
e2e_expect_eq "$storyStage $wordsFound $theme" "1 1 5" "Russian story stage, words and theme"

# The German level whose words have the most lengths, prepared in its files with all but its two
# longest words found. The list starts at its end; a word typed again is brought into view at
# the top.
read -r LONG_LEVEL LONG_WORDS < <(data busiest data/de.dat)
LONG_FOUND=$((LONG_WORDS - 2))
data write-progress save/progress_de.dat $LONG_LEVEL $((LONG_LEVEL + 1)) 2 0 $LONG_FOUND 300 100 0 0 50
data write-found data/de.dat $LONG_LEVEL $LONG_FOUND
mapfile -t DE_LONG < <(data level data/de.dat $LONG_LEVEL)
LANG=de_DE.UTF-8 e2e_start game
e2e_wait_window
sleep 1
LAST_SHOT=""
shot main_menu_german_light $LIGHT
click "$MENU_FIRST";                   shot in_game_long_light $LIGHT
pixels in_game_long_light $FIRST_ROW_OF_WORDS "!$HIGHLIGHT_LIGHT"
mapfile -t keys < <(data keys data/de.dat "${DE_LONG[1]}")
e2e_key "${keys[@]}"
look in_game_long_repeat_light $FIRST_ROW_OF_WORDS $HIGHLIGHT_LIGHT:200
e2e_key Delete

# Its statistics in every theme: all its lengths in the table (the last ones at its right end),
# and the chart's background, both series and the hovered column in the theme's chart colours,
# its hover text kept inside the window.
CHART="22 200 636 636"
TABLE_RIGHT="1050 80 1236 190"
chart_colours=(
    "230,240,255 70,130,200 20,40,80 230,80,60"
    "120,120,120 225,225,225 25,25,25 255,215,60"
    "235,235,235 110,110,110 30,30,30 255,0,0"
    "51,55,67 120,140,170 250,250,250 255,40,40"
    "210,210,210 60,110,170 10,20,40 210,0,0"
    "50,58,61 90,140,190 240,245,250 255,60,40"
)
text_colours=(70,70,70 175,175,175 70,70,70 190,190,190 20,20,20 210,210,210)
for theme in 0 1 2 3 4 5; do
    click "$HOME_ICON"; click "$MENU_OPTIONS"; click "$OPTIONS_THEME"
    click "$(swatch $theme)"; click "$BACK_OPTIONS"; click "$MENU_FIRST"
    click "$STAT_ICON"
    hover "600 625";                   shot statistics_theme$theme $theme  # a length not found
    look statistics_theme$theme $CHART ${chart_colours[$theme]}
    pixels statistics_theme$theme $TABLE_RIGHT ${text_colours[$theme]}:40
    e2e_key Escape
done
click "$HOME_ICON"
click "$MENU_EXIT"
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status of the German session"
read -r levelIndex _ _ _ wordsFound _ _ _ theme _ < <(data progress save/progress_de.dat)
e2e_expect_eq "$levelIndex $wordsFound $theme" "$LONG_LEVEL $LONG_FOUND 5" "German level, words and theme"
e2e_pass "play-through"
