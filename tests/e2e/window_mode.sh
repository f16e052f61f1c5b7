# "windowMode" and the command line pick full screen or a window; the last switch wins.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1920x1080
e2e_prepare_run_dir
e2e_config_set width 1280

# Full screen covers the whole 1920x1080 screen; a window keeps the configured 1280x720.
expect_mode() {
    local mode=$1 what=$2
    shift 2
    e2e_start game "$@"
    e2e_wait_window
    local size
    size=$(e2e_window_size)
    if [ "$mode" = full ]; then
        e2e_expect_eq "$size" "1920 1080" "size of $what"
        e2e_expect_eq "$(e2e_window_position)" "0 0" "position of $what"
    else
        e2e_expect_eq "$size" "1280 720" "size of $what"
    fi
    e2e_close_window
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status of $what"
    e2e_pass "$what is $mode"
}

e2e_config_set windowMode '"windowed"'
expect_mode window "windowed configuration"
expect_mode full "-f over a windowed configuration" -f
expect_mode full "/F over a windowed configuration" /F
expect_mode window "-f then -x" -f -x
expect_mode window "f without a switch character" f

e2e_config_set windowMode '"fullscreen"'
expect_mode full "full-screen configuration"
expect_mode window "-x over a full-screen configuration" -x
expect_mode window "a lone - over a full-screen configuration" -
expect_mode full "-x then /f" -x /f
