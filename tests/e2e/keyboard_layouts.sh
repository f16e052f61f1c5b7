# Players type on the keyboard layout of their language, switched with setxkbmap as a desktop
# would: each layout finds words of its language holding its own letters, dead keys and AltGr
# included; on a US layout the keyboard map still types Russian and Polish as it always did.
# The words come from the built language data at test time; a letter that no level holds is
# typed on a level of the test's own, added to the levels the test plays.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LC_ALL= LC_MESSAGES= LC_CTYPE=C.UTF-8  # letters beyond ASCII for bash, xdotool and the game

words() { python3 "$HERE/layout_words.py" "$@"; }
data() { python3 "$HERE/../playthrough/game_data.py" "$@"; }

# Places in a 1280 x 720 window: the main menu's first button, the level selector's right arrow,
# the row of letters.
MENU_FIRST="165 439"; SELECTOR_RIGHT="1236 55"; LETTER_ROW=1240x70+20+558
LATIN=abcdefghijklmnopqrstuvwxyz
CYRILLIC_RU=абвгдеёжзийклмнопрстуфхцчшщъыьэюя
CYRILLIC_UK=абвгґдеєжзиіїйклмнопрстуфхцчшщьюя

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
WG_DATA=${E2E_DATA_DIR:-$WG_RUN_DIR/data}
command -v setxkbmap >/dev/null || e2e_fail "setxkbmap is missing (x11-xkb-utils)"

# type_word WORD: each letter as its layout types it: acute vowels through the dead key,
# ą with AltGr, every other letter by the key that carries it.
type_word() {
    local word=$1 i letter
    for ((i = 0; i < ${#word}; i++)); do
        letter=${word:i:1}
        case $letter in
            á) xdotool key dead_acute a ;;
            é) xdotool key dead_acute e ;;
            í) xdotool key dead_acute i ;;
            ó) xdotool key dead_acute o ;;
            ú) xdotool key dead_acute u ;;
            ą) xdotool keydown ISO_Level3_Shift key a keyup ISO_Level3_Shift ;;
            *) xdotool type "$letter" ;;
        esac
        sleep 0.05
    done
}

# enter_game: clicks the main menu's first button and waits until the game's screen is drawn,
# so that no key typed next is handled on the menu. Only the picture right of the buttons is
# compared: the button under the mouse changes its look before the click is handled.
PICTURE_PART=400x300+800+100
enter_game() {
    e2e_wait_still $PICTURE_PART
    e2e_click $MENU_FIRST
    e2e_wait_change "$E2E_PICTURE" $PICTURE_PART
}

# type_keys WORD: the keys of a US keyboard that type WORD through the language's keyboard map
# (of $DATA_FILE).
DATA_FILE=""
type_keys() {
    local keys
    mapfile -t keys < <(data keys "$DATA_FILE" "$1")
    e2e_key "${keys[@]}"
}

# play LAYOUT LOCALE CODE TYPER: a game of the language CODE, started under LOCALE with the
# keyboard on LAYOUT, on the levels of $PLAN (made by "layout_words.py plan"), which replace the
# language's data; TYPER types each word of the plan on its level, and every one must be among
# the found words when the window is closed.
PLAN=""
play() {
    local layout=$1 locale=$2 code=$3 typer=$4
    local -a lines
    mapfile -t lines <<<"$PLAN"
    rm -rf "$E2E_RUN/save"
    mkdir -p "$E2E_RUN/save"
    words progress ${#lines[@]} "$E2E_RUN/save/progress_$code.dat"
    rm "$E2E_RUN/data/$code.dat"
    cp "$E2E_TMP/plan.dat" "$E2E_RUN/data/$code.dat"
    setxkbmap -layout "$layout" || e2e_fail "setxkbmap -layout $layout failed"
    LANG=$locale e2e_start game
    e2e_wait_window
    e2e_wait_still $PICTURE_PART
    # Keys on the main menu type nothing: the words typed in the game below still match.
    local first=(${lines[0]})
    "$typer" "${first[0]}"
    enter_game
    local i word
    for ((i = 0; i < ${#lines[@]}; i++)); do
        if [ $i -gt 0 ]; then
            e2e_wait_still $LETTER_ROW
            e2e_click $SELECTOR_RIGHT
            e2e_wait_change "$E2E_PICTURE" $LETTER_ROW
        fi
        for word in ${lines[i]}; do
            "$typer" "$word"
            sleep 0.3
        done
    done
    e2e_close_window
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status ($layout)"
    local found
    found=$(cat "$E2E_RUN"/save/*.sav 2>/dev/null)
    for word in $PLAN; do
        grep -qF "\"$word\"" <<<"$found" || e2e_fail "$layout: '$word' was not found (found: $found)"
    done
    e2e_pass "$layout: $(echo $PLAN) typed and found in $code"
}

# layout_test [TYPER] LAYOUT LOCALE CODE LETTERS TYPABLE FALLBACK_ROW FALLBACK_WORD...: words
# with each of LETTERS typed on LAYOUT (by type_word unless TYPER), from the real levels that
# hold the letter; PLAN_OPTIONS go to the plan.
PLAN_OPTIONS=()
layout_test() {
    local typer=type_word
    if declare -F "$1" >/dev/null; then typer=$1; shift; fi
    local layout=$1 locale=$2 code=$3 letters=$4 typable=$5
    shift 5
    PLAN=$(words plan "${PLAN_OPTIONS[@]}" "$WG_DATA/$code.dat" "$letters" "$typable" \
        "$E2E_TMP/plan.dat" "$@") || e2e_fail "no words to type on $layout"
    play "$layout" "$locale" "$code" "$typer"
}

# Russian: the punctuation keys of the ЙЦУКЕН layout (ж, ё), each word begun with Shift.
capitalised() { type_word "${1^}"; }
layout_test capitalised ru ru_RU.UTF-8 ru ёж "$CYRILLIC_RU" ёж ёж
# Ukrainian: the apostrophe left of 1, ґ on the backslash key.
layout_test ua uk_UA.UTF-8 uk "іїєґ'" "$CYRILLIC_UK'" "ґанокїжєтірисп'ять" ґанок їжак єнот ірис "п'ять"
layout_test de de_DE.UTF-8 de üöäß "${LATIN}äöüß" süßölbär süß öl bär
layout_test fr fr_FR.UTF-8 fr éèàç "${LATIN}éèàçù" étépèreçàoù été père çà où
layout_test it it_IT.UTF-8 it èòàù "${LATIN}èòàù" perògiàùcaffè però già più caffè
layout_test es es_ES.UTF-8 es ñá "${LATIN}ñáéíóú" másaño más año

# Polish: AltGr+a types ą and nothing else. Pressed alone and taken back with Backspace before
# each word, on a row that also holds a, so an a typed with it would stay and spoil the word.
altgr_once() {
    xdotool keydown ISO_Level3_Shift key a keyup ISO_Level3_Shift
    e2e_key BackSpace
    type_word "$1"
}
PLAN_OPTIONS=(--row-holds aą)
layout_test altgr_once pl pl_PL.UTF-8 pl ą "${LATIN}ą" mąka mąka
PLAN_OPTIONS=()

# A US keyboard types Russian, Polish and Ukrainian through each language's keyboard map.
DATA_FILE=$E2E_TMP/plan.dat
layout_test type_keys us ru_RU.UTF-8 ru жё "$CYRILLIC_RU" жё жё
layout_test type_keys us pl_PL.UTF-8 pl ąłż "${LATIN}ąćęłńóśźż" ąłż ąłż
layout_test type_keys us uk_UA.UTF-8 uk "'ґ" "$CYRILLIC_UK'" "ґанокп'ять" ґанок "п'ять"
