# The Windows intro under Wine: its question is a real Win32 message box, No opens the 640 x 480
# window whose picture moves, Escape ends the program with 27. Without an audio device it runs
# silent.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/lib.sh"
# No locale at all, as a bare container starts it.
unset LANG LC_ALL LC_MESSAGES LC_CTYPE

e2e_start_xvfb 1280x1024
wine_prepare "Интро"
wine_start intro.exe

e2e_wait_titled_window "Start Full Screen?" 120
e2e_screenshot wine_question >/dev/null
e2e_pass "the full-screen question appears"
e2e_key n  # the No button

e2e_wait_titled_window "The Keeper of the Light - a tiny intro in 640 x 480" 120
e2e_expect_eq "$(e2e_window_size)" "640 480" "client size of the window"
e2e_pass "No opens a 640 x 480 window"

moving() {
    local previous=$E2E_ARTIFACTS/wine_scene_previous.png changed=0
    [ -f "$previous" ] && changed=$(compare -metric AE "$previous" "$1" /dev/null 2>&1 || true)
    cp "$1" "$previous"
    [ "${changed%% *}" -gt 1000 ] 2>/dev/null
}
rm -f "$E2E_ARTIFACTS/wine_scene_previous.png"
wine_shot wine_scene moving
e2e_pass "the picture moves"

# Wine takes the focus it was given at mapping time only once the window is up; give it again.
xdotool windowfocus --sync "$E2E_WINDOW" 2>/dev/null || true
e2e_key Escape
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 27 "exit status after Escape"
e2e_pass "Escape ends the intro with 27"
