# The window takes the monitor's aspect (the configured height does not count when a monitor is
# known) and the configured title.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1920x1080
e2e_prepare_run_dir
e2e_config_set width 1280
e2e_config_set windowMode '"windowed"'
e2e_config_set title '"Fjord – Wörter"'
for height in 500 720 1000; do
    e2e_config_set height "$height"
    e2e_start game
    e2e_wait_window
    e2e_expect_eq "$(e2e_window_size)" "1280 720" "client area with height $height"
    e2e_expect_eq "$(xdotool getwindowname "$E2E_WINDOW")" "Fjord – Wörter" "window title"
    e2e_close_window
    e2e_wait_exit
    e2e_pass "height $height gives 1280x720"
done
