# Files the game cannot use lose nothing: a language whose data installs no level is refused at
# start-up and nothing is saved for it; a progress file that cannot be read is kept aside as .bad
# when the game saves anew.
source "$(dirname "$0")/lib.sh"

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
[ -e "$E2E_RUN/data/en.dat" ] || e2e_fail "no English data in $WG_RUN_DIR/data"
mkdir -p "$E2E_RUN/save"

# Russian data that parses but holds no level; the storefront picks Russian from the locale.
rm -f "$E2E_RUN/data/ru.dat" "$E2E_RUN/data/ru_big.dat"
echo '{"localization": {}, "game": {}}' >"$E2E_RUN/data/ru.dat"
export LANG=ru_RU.UTF-8 LC_ALL= LC_MESSAGES=
e2e_start game
e2e_wait_window
sleep 3
echo "screenshot: $(e2e_screenshot no_level_language)"
e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status"
[ ! -e "$E2E_RUN/save/progress_ru.dat" ] || e2e_fail "progress was saved for a language with no level"
e2e_pass "a language with no level is refused"

# A progress file of the wrong size, as a failing disk might leave it.
head -c 39 /dev/urandom >"$E2E_RUN/save/progress_en.dat"
cp "$E2E_RUN/save/progress_en.dat" "$E2E_TMP/unreadable"
export LANG=en_US.UTF-8
e2e_start game
e2e_wait_window
sleep 1
e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status"
cmp -s "$E2E_TMP/unreadable" "$E2E_RUN/save/progress_en.dat.bad" \
    || e2e_fail "the unreadable progress file was not kept as progress_en.dat.bad"
e2e_expect_eq "$(stat -c %s "$E2E_RUN/save/progress_en.dat")" 40 "size of the new progress file"
e2e_stderr | grep -qF "save/progress_en.dat could not be read; it is kept as save/progress_en.dat.bad" \
    || e2e_fail "nothing said about the file kept aside"
e2e_pass "the unreadable progress file is kept aside"
