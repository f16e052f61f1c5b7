# SIGTERM (a log-out, kill), SIGINT (Ctrl+C) and SIGHUP (a closed terminal) end the game the way
# the window's close button does: progress saved, exit code 0.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1920x1080
# No locale: the storefront stand-in reports english, so English is selected at start-up and
# there is progress to keep.
unset LC_ALL LC_MESSAGES LANG
[ -e "$WG_RUN_DIR/data/en.dat" ] || [ -e "$WG_RUN_DIR/data/en_big.dat" ] || e2e_fail "no English data built"
# Without job control a background job starts with SIGINT ignored, and the game rightly keeps
# an ignored signal ignored; a job of its own gets it the way a terminal's Ctrl+C would.
set -m

for signal in TERM INT HUP; do
    e2e_prepare_run_dir
    e2e_start game
    e2e_wait_window
    sleep 1
    [ ! -e "$E2E_RUN/save/progress_en.dat" ] || e2e_fail "progress was saved before SIG$signal"
    kill -s "$signal" "$E2E_PID"
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status after SIG$signal"
    [ "$(stat -c %s "$E2E_RUN/save/progress_en.dat" 2>/dev/null)" = 40 ] \
        || e2e_fail "no 40-byte save/progress_en.dat after SIG$signal"
    e2e_pass "SIG$signal ends the game with its progress saved"
    rm -rf "$E2E_RUN"
done
