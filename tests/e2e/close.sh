# Closing the window from the window system ends the game normally and keeps the progress.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1920x1080
e2e_prepare_run_dir
# No locale: the storefront stand-in reports english.
unset LC_ALL LC_MESSAGES LANG

e2e_start game
e2e_wait_window
sleep 1
echo "screenshot: $(e2e_screenshot started)"
e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status after the close request"
[ -d "$E2E_RUN/save" ] || e2e_fail "save/ was not created"
e2e_pass "closed with exit code 0"

# With English data built, that language is selected at start-up, so there is
# progress to keep when the window system closes the window.
if [ -e "$E2E_RUN/data/en.dat" ] || [ -e "$E2E_RUN/data/en_big.dat" ]; then
    [ -s "$E2E_RUN/save/progress_en.dat" ] || e2e_fail "no save/progress_en.dat after closing"
    e2e_pass "progress saved on close"
fi
