# Start-up failures end the game at once with their exit code and one line of explanation.
source "$(dirname "$0")/lib.sh"

check_refused() {
    local what=$1
    e2e_run game
    e2e_expect_eq "$E2E_STATUS" 249 "exit status with $what"
    printf "Wrong config file, can't start the game\n" >"$E2E_TMP/expected"
    cmp -s "$E2E_TMP/expected" "$E2E_TMP/stdout" || e2e_fail "stdout with $what: '$(e2e_stdout)'"
    e2e_pass "$what refused"
    rm -rf "$E2E_RUN"
}

# No display: a bad configuration is refused before the game looks for one.
unset DISPLAY

e2e_prepare_run_dir none
check_refused "no game.dat"

: >"$E2E_TMP/empty.dat"
e2e_prepare_run_dir "$E2E_TMP/empty.dat"
check_refused "an empty game.dat"

printf '{"width": 1280, "title": "unclosed' >"$E2E_TMP/broken.dat"
e2e_prepare_run_dir "$E2E_TMP/broken.dat"
check_refused "an unparsable game.dat"

printf '{"width": 1280]' >"$E2E_TMP/mismatched.dat"
e2e_prepare_run_dir "$E2E_TMP/mismatched.dat"
check_refused "a game.dat with a mismatched bracket"

printf 'width' >"$E2E_TMP/bare.dat"
e2e_prepare_run_dir "$E2E_TMP/bare.dat"
check_refused "a game.dat that is a lone word"

# A good configuration but no display: the windowing library cannot start (-5).
e2e_prepare_run_dir
e2e_run game
e2e_expect_eq "$E2E_STATUS" 251 "exit status without a display"
printf '[GFLW] failed to init!\n' >"$E2E_TMP/expected"
cmp -s "$E2E_TMP/expected" "$E2E_TMP/stderr" || e2e_fail "stderr without a display: '$(e2e_stderr)'"
[[ $(e2e_stdout) == "Error 65544: "* ]] || e2e_fail "the library's error was not printed: '$(e2e_stdout)'"
e2e_pass "no display refused"
