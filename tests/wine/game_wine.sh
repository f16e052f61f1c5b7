# The Windows game under Wine, run from a folder named in Cyrillic: its window takes the monitor's
# aspect, the language screen is drawn, English is chosen there and a word of level 1 typed on the
# keyboard is found; closing the window writes save/ and ends with 0. Without data/game.dat it
# ends with -7 and its line.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/lib.sh"
# LANG=C, as a minimal system has it: the runner must still reach the Cyrillic folder.
export LANG=C
unset LC_ALL LC_MESSAGES LC_CTYPE
PLAY=$E2E_SOURCE_ROOT/tests/playthrough
: "${WG_DATA_DIR:?WG_DATA_DIR must name the data folder of the Linux build}"

data() { python3 "$PLAY/game_data.py" "$@"; }
wine_prepare "Игра"

# The start-up failure first: no display needed.
rm "$WINE_RUN/data/game.dat"
wine_run 60 game.exe
e2e_expect_eq "$E2E_STATUS" 249 "exit status without data/game.dat"
e2e_expect_eq "$(tr -d '\r' <"$E2E_TMP/stdout")" "Wrong config file, can't start the game" "its line"
e2e_pass "no data/game.dat: -7 and its line"
ln -s "$WG_DATA_DIR/game.dat" "$WINE_RUN/data/game.dat"

mapfile -t LEVEL1 < <(data level "$WG_DATA_DIR/en.dat" 0)
[ ${#LEVEL1[@]} -ge 2 ] || e2e_fail "level 1 has no words"

# A configured height that the monitor's aspect must override.
E2E_RUN=$WINE_RUN e2e_config_set height 500
e2e_start_xvfb 1920x1080
wine_start game.exe
e2e_wait_titled_window "Letter Row" 120
e2e_expect_eq "$(e2e_window_size)" "1280 720" "window size on a 16:9 monitor"
e2e_pass "window at the monitor's aspect"

# Places on the 1280 x 720 screens, as the Linux play-through clicks them. Under Wine and load a
# frame can outlast a short click, so each click is held longer and repeated until the screen
# changes from what the pointer alone showed.
E2E_KEY_HOLD=0.4
drawn() { python3 "$PLAY/screen_check.py" "$1" 70,70,70 111,206,228; }
wine_shot wine_main_menu drawn
step() {
    local name=$1 x=$2 y=$3 try second before path
    for try in 1 2 3; do
        xdotool mousemove --window "$E2E_WINDOW" "$x" "$y"
        sleep 1
        before=$(md5sum <"$(e2e_screenshot "$name")")
        xdotool mousedown 1; sleep "$E2E_KEY_HOLD"; xdotool mouseup 1
        for second in $(seq 10); do
            sleep 1
            path=$(e2e_screenshot "$name")
            [ "$(md5sum <"$path")" != "$before" ] && return 0
        done
    done
    e2e_fail "clicking $x $y never changed the screen ($name)"
}
step wine_options 165 513         # main menu: options
step wine_language 734 407        # options: language
drawn "$E2E_ARTIFACTS/wine_language.png"
e2e_pass "language screen drawn"
step wine_english 640 99          # English
step wine_story 165 439           # main menu: play
for page in 1 2 3; do step "wine_story_$page" 640 669; done   # the first chapter of the story
e2e_type "${LEVEL1[1]}"
sleep 1
e2e_screenshot wine_word_typed >/dev/null

e2e_close_window
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 0 "exit status after closing the window"
[ -s "$WINE_RUN/save/progress_en.dat" ] || e2e_fail "no save/progress_en.dat"
found=$(for file in "$WINE_RUN"/save/*.sav; do data found "$file"; done)
grep -qxF "${LEVEL1[1]}" <<<"$found" || e2e_fail "'${LEVEL1[1]}' is not among the found words: $found"
e2e_pass "closed with 0; save/ holds the typed word ${LEVEL1[1]}"
