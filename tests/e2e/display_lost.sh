# The window system going away under the game keeps what was found: the window destroyed by
# another program, the game's connection killed, the X server ended. Each ends the game as a
# close does (exit status 0), with a line on standard error.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LC_ALL= LC_MESSAGES= LC_CTYPE=C.UTF-8 LANG=en_US.UTF-8

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
e2e_config_set width 1280
mkdir -p "$E2E_RUN/save"
python3 "$HERE/layout_words.py" progress 1 "$E2E_RUN/save/progress_en.dat" 0
read -r file words < <(python3 "$HERE/level_words.py" "$E2E_RUN/data/en.dat" 0 3)
read -r -a words <<<"$words"
[ ${#words[@]} -eq 3 ] || e2e_fail "level 1 has no three words to type (${words[*]})"

MENU_FIRST="185 439"         # the main menu's first button in a 1280 x 720 window
PICTURE_PART=400x260+800+100 # right of the menu's buttons

# Starts the game, opens level 1 and types a word; no autosave comes within the first minute.
play_word() {
    e2e_start game
    e2e_wait_window
    e2e_wait_still $PICTURE_PART
    e2e_click $MENU_FIRST
    e2e_wait_change "$E2E_PICTURE" $PICTURE_PART
    e2e_type "$1"
    sleep 1
    echo "screenshot: $(e2e_screenshot "typed_$1")"
}

expect_saved() {
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status after $2"
    e2e_stderr | grep -q "The display was lost (.*); progress saved, the game ends" \
        || e2e_fail "nothing said on standard error after $2"
    grep -qF "\"$1\"" "$E2E_RUN/save/$file" \
        || e2e_fail "'$1' was not saved after $2 ($(cat "$E2E_RUN/save/$file" 2>&1))"
    e2e_pass "'$1' saved after $2"
}

play_word "${words[0]}"
xdotool windowclose "$E2E_WINDOW"
expect_saved "${words[0]}" "the window was destroyed"

play_word "${words[1]}"
xkill -id "$E2E_WINDOW" >/dev/null
expect_saved "${words[1]}" "the connection was killed"

play_word "${words[2]}"
kill "$E2E_XVFB_PID"
wait "$E2E_XVFB_PID" 2>/dev/null || true
E2E_XVFB_PID=""
expect_saved "${words[2]}" "the X server ended"
