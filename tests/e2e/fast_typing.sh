# A long word of a level typed with presses 1 ms apart, while the software renderer draws a
# window of 1920 x 1080 in far more than 1 ms a frame: every letter arrives, in order, and the
# word is found. A tapped Escape, released before the next frame, still opens the main menu.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LC_ALL= LC_MESSAGES= LC_CTYPE=C.UTF-8 LANG=en_US.UTF-8

e2e_start_xvfb 1920x1080
e2e_prepare_run_dir
e2e_config_set width 1920
setxkbmap -layout us || e2e_fail "setxkbmap failed"

# The longest word of the levels that no shorter word of its level begins (that one would be
# found on the way and empty the typed word), and its level.
read -r level word < <(python3 - "$E2E_RUN/data/en.dat" <<'PY'
import json, sys, zlib
data = open(sys.argv[1], "rb").read()
if data[:1] != b"{":
    data = zlib.decompress(data)
levels = list(json.loads(data.decode("utf-8"), strict=False)["game"].values())
print(*max((len(w), i, w) for i, words in enumerate(levels) for w in words
           if not any(w[:n] in words for n in range(1, len(w))))[1:])
PY
)
[ ${#word} -ge 8 ] || e2e_fail "no long word to type (got '$word')"
mkdir -p "$E2E_RUN/save"
python3 "$HERE/layout_words.py" progress $((level + 1)) "$E2E_RUN/save/progress_en.dat" "$level"

MENU_FIRST="165 799"                 # the main menu's first button in a 1920 x 1080 window
PICTURE_PART=600x400+1200+150        # right of the menu's buttons

e2e_start game
e2e_wait_window
e2e_wait_still $PICTURE_PART
e2e_click $MENU_FIRST
e2e_wait_change "$E2E_PICTURE" $PICTURE_PART

xdotool type --delay 1 "$word"
sleep 1

# Escape pressed and released 1 ms apart: the main menu opens.
e2e_wait_still $PICTURE_PART
xdotool key --delay 1 Escape
e2e_wait_change "$E2E_PICTURE" $PICTURE_PART

e2e_close_window
e2e_wait_exit
e2e_expect_eq "$E2E_STATUS" 0 "exit status"
found=$(cat "$E2E_RUN"/save/*.sav 2>/dev/null)
grep -qF "\"$word\"" <<<"$found" || e2e_fail "'$word' typed fast was not found (found: $found)"
e2e_pass "'$word' typed with 1 ms between presses arrived whole, and a tapped Escape counted"
