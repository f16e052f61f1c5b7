# Configuration values that parse but make no sense, and fonts that cannot be used, never crash
# the game: a missing title is the empty title, a width that is not positive is named with its
# file and is a window that cannot be made (-5), and a font with a size that is not positive, or whose file is cut short or
# garbage, is not loaded while the game goes on with the font it had.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1920x1080
unset LC_ALL LC_MESSAGES LANG

# A private data/font/ beside the real fonts: the build's folder stays untouched.
private_fonts() {
    rm "$E2E_RUN/data/font"
    mkdir "$E2E_RUN/data/font"
    cp "$WG_RUN_DIR"/data/font/*.ttf "$E2E_RUN/data/font/"
    # The table directory survives, the tables it names are cut off.
    head -c 65536 "$WG_RUN_DIR/data/font/DejaVuSans-Bold.ttf" >"$E2E_RUN/data/font/cut.ttf"
    # A TrueType tag followed by noise.
    { printf '\000\001\000\000'; head -c 8192 /dev/urandom; } >"$E2E_RUN/data/font/noise.ttf"
}

# plays_normally WHAT: the game shows its window, keeps running, and ends with 0 when closed.
plays_normally() {
    e2e_start game
    e2e_wait_window
    sleep 2
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended by itself with $1"
    echo "screenshot: $(e2e_screenshot "$(echo "$1" | tr -c 'a-z0-9\n' _)")"
    e2e_close_window
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status with $1"
    e2e_pass "the game runs with $1"
}

e2e_prepare_run_dir
e2e_config_set title null
e2e_start game
e2e_wait_window
e2e_expect_eq "$(xdotool getwindowname "$E2E_WINDOW")" "" "window title without a \"title\""
e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status without a \"title\""
e2e_pass "no title is the empty title"
rm -rf "$E2E_RUN"

for width in -1280 0; do
    e2e_prepare_run_dir
    e2e_config_set width "$width"
    e2e_run game
    e2e_expect_eq "$E2E_STATUS" 251 "exit status with width $width"
    printf '%s: "width" is %s, outside 1 to 16384\n[GLFW] Window was not created!\n' \
        data/game.dat "$width" >"$E2E_TMP/expected"
    cmp -s "$E2E_TMP/expected" "$E2E_TMP/stderr" || e2e_fail "stderr with width $width: '$(e2e_stderr)'"
    e2e_pass "width $width is a window that cannot be made"
    rm -rf "$E2E_RUN"
done

e2e_prepare_run_dir
e2e_config_set fontSize 0
e2e_config_set smallFontSize null
plays_normally "font sizes 0 and missing"
rm -rf "$E2E_RUN"

e2e_prepare_run_dir
private_fonts
e2e_config_set smallFont '"cut.ttf"'
plays_normally "a cut-off first font"
rm -rf "$E2E_RUN"

# The second font must not take the first one with it.
e2e_prepare_run_dir
private_fonts
e2e_config_set font '"noise.ttf"'
plays_normally "a noise second font"
