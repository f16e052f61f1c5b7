# A disk that refuses saves (no space left, here through the fault library) while the game is
# played: the files stay as they were, the in-game screen says that progress cannot be saved,
# standard error says it once, and once the disk takes writes again the game saves by itself.
source "$(dirname "$0")/../e2e/lib.sh"
E2E=$(cd "$(dirname "$0")/../e2e" && pwd)
: "${WG_FAULT_LIB:?WG_FAULT_LIB must name the fault library}"
export LC_ALL= LC_MESSAGES= LC_CTYPE=C.UTF-8 LANG=en_US.UTF-8

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
e2e_config_set width 1280
mkdir -p "$E2E_RUN/save"
python3 "$E2E/layout_words.py" progress 2 "$E2E_RUN/save/progress_en.dat" 0
cp "$E2E_RUN/save/progress_en.dat" "$E2E_TMP/record"
read -r file word < <(python3 "$E2E/level_words.py" "$E2E_RUN/data/en.dat" 0 1)
[ -n "$word" ] || e2e_fail "level 1 has no word to type"

MENU_FIRST="185 439"          # Continue, in a 1280 x 720 window
NEXT_LEVEL="1237 55"          # the level selector's right arrow
MENU_PART=400x260+800+100     # right of the menu's buttons
MESSAGE_PART=1000x100+140+80  # where the line about saving goes, over the found words

switch=$E2E_TMP/disk-full
echo 28 >"$switch"  # ENOSPC
WG_FAULT_SWITCH=$switch LD_PRELOAD=$WG_FAULT_LIB e2e_start game
e2e_wait_window
e2e_wait_still $MENU_PART
e2e_click $MENU_FIRST
e2e_wait_change "$E2E_PICTURE" $MENU_PART
e2e_type "$word"
e2e_wait_still $MESSAGE_PART
clear=$E2E_PICTURE

# Leaving the level saves; the disk refuses.
e2e_click $NEXT_LEVEL
e2e_wait_change "$clear" $MESSAGE_PART
e2e_wait_still $MESSAGE_PART
refused=$E2E_PICTURE
echo "screenshot: $(e2e_screenshot refused)"
[ ! -e "$E2E_RUN/save/$file" ] || e2e_fail "a level file was written on a full disk"
cmp -s "$E2E_TMP/record" "$E2E_RUN/save/progress_en.dat" || e2e_fail "the record changed"
sleep 4  # a retry or two, still refused
said=$(e2e_stderr | grep -c "progress cannot be saved: save/$file: No space left on device")
e2e_expect_eq "$said" 1 "lines about the refused save"
e2e_pass "a refused save leaves the files, is said once on standard error and shown on screen"

rm "$switch"
deadline=$((SECONDS + 60))
until grep -qF "[\"$word\"]" "$E2E_RUN/save/$file" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the level file was not written once the disk took it"
    sleep 0.5
done
e2e_wait_still $MESSAGE_PART
[ "$E2E_PICTURE" != "$refused" ] || e2e_fail "the line about saving stayed on screen"
e2e_stderr | grep -q "progress saved again" || e2e_fail "nothing said when saving worked again"
e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status"
e2e_pass "the game saved by itself once the disk took writes again"
