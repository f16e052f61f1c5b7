# A real word the level does not list, typed and taken with Enter: it shows on the bonus line, is
# kept in the level file, and is still listed after a restart. Enter on a text that is no word
# marks it for a moment and keeps it.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LC_ALL= LC_MESSAGES= LC_CTYPE=C.UTF-8 LANG=en_US.UTF-8

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
setxkbmap -layout us || e2e_fail "setxkbmap failed"

# On the first English level: a bonus word that no level word begins (that one would be taken
# on the way), and two row letters that make no word of either kind.
read -r bonus other < <(python3 - "$E2E_RUN/data/en.dat" <<'PY'
import json, sys, zlib
data = open(sys.argv[1], "rb").read()
if data[:1] != b"{":
    data = zlib.decompress(data)
data = json.loads(data.decode("utf-8"), strict=False)
row, words = next(iter(data["game"].items()))
extra = data["bonus"][row]
bonus = min((w for w in extra if not any(w[:n] in words for n in range(1, len(w)))), key=len)
other = next(a + b for a in row for b in row
             if a + b not in words and a + b not in extra and a not in words and
             (a != b or row.count(a) > 1))
print(bonus, other)
PY
)
[ -n "$bonus" ] && [ -n "$other" ] || e2e_fail "no bonus word on the first level"
mkdir -p "$E2E_RUN/save"
python3 "$HERE/layout_words.py" progress 1 "$E2E_RUN/save/progress_en.dat"

MENU_FIRST="165 439"
PICTURE_PART=400x300+800+100
BONUS_LINE=1240x40+20+514
TYPED=650x70+518+632

play() {
    e2e_start game
    e2e_wait_window
    e2e_wait_still $PICTURE_PART
    e2e_click $MENU_FIRST
    e2e_wait_change "$E2E_PICTURE" $PICTURE_PART
}
finish() {
    e2e_close_window
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status"
}

play
e2e_wait_still $BONUS_LINE
no_bonus=$E2E_PICTURE
e2e_type "$bonus"
e2e_key Return
e2e_wait_change "$no_bonus" $BONUS_LINE
e2e_wait_still $BONUS_LINE
listed=$E2E_PICTURE
e2e_screenshot bonus_word >/dev/null

e2e_type "$other"
e2e_wait_still $TYPED
typed=$E2E_PICTURE
e2e_key Return
e2e_wait_change "$typed" $TYPED
sleep 3
e2e_expect_eq "$(e2e_picture $TYPED)" "$typed" "the refused text, kept and shown as before"
finish
saved=$(cat "$E2E_RUN"/save/*.sav 2>/dev/null)
grep -qF "\"$bonus\"" <<<"$saved" || e2e_fail "'$bonus' is not in the level file ($saved)"
grep -qF "\"$other\"" <<<"$saved" && e2e_fail "the refused '$other' was saved ($saved)"

play
e2e_wait_still $BONUS_LINE
e2e_expect_eq "$E2E_PICTURE" "$listed" "the bonus line after a restart"
finish
grep -qF "\"$bonus\"" <<<"$(cat "$E2E_RUN"/save/*.sav)" || e2e_fail "'$bonus' was lost"
e2e_pass "bonus word '$bonus' listed, saved and listed again after a restart; '$other' refused and kept"
