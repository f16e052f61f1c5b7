#!/bin/bash
# Answering Yes on a display that cannot switch to 640 x 480 (Xvfb has one mode): the intro asks
# whether to run windowed instead; Yes opens the window, No ends the program after saying so.
source "$(dirname "$0")/../e2e/lib.sh"
# As a player on a Russian desktop starts it.
export LANG=ru_RU.UTF-8 LC_ALL= LC_MESSAGES= LC_CTYPE=

e2e_start_xvfb 1280x1024
e2e_prepare_run_dir

e2e_start intro
e2e_wait_titled_window "Start Full Screen?"
e2e_key Return  # Yes
e2e_wait_titled_window "Orvo GL"
e2e_screenshot fallback_question >/dev/null
e2e_key Return  # Yes: windowed instead
e2e_wait_titled_window "The Keeper of the Light - a tiny intro in 640 x 480"
e2e_expect_eq "$(e2e_window_size)" "640 480" "client size of the window"
e2e_pass "Yes to the fallback question opens the window"
e2e_close_window
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 0 "exit status after closing the window"
e2e_pass "closing the window ends the intro"

e2e_start intro
e2e_wait_titled_window "Start Full Screen?"
e2e_key Return
e2e_wait_titled_window "Orvo GL"
e2e_key Escape  # No
e2e_wait_titled_window "ERROR"
e2e_screenshot will_close >/dev/null
e2e_key Return
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 0 "exit status after refusing the windowed mode"
e2e_pass "No to the fallback question ends the intro"

# A display of 8 bits per pixel has no GL pixel format at all: the window cannot be made and
# the intro says why.
stop_display() {
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
}
stop_display
e2e_start_xvfb 640x480 8
e2e_start intro
e2e_wait_titled_window "Start Full Screen?"
e2e_key Escape  # No
e2e_wait_titled_window "ERROR"
e2e_screenshot no_pixel_format >/dev/null
e2e_key Return
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 0 "exit status after the pixel format failed"
grep -qF "Can't Find A Suitable PixelFormat." "$E2E_TMP/stderr" || e2e_fail "the pixel format's failure was not named"
e2e_pass "a display without a GL pixel format is said so, and the intro ends"
