# Full screen on displays larger than the design, and a window on a desktop scaled 200 %: the
# picture fills the screen, clicks land where they did, and the same screens scaled down to
# 1280 x 720 look like the 1280 x 720 ones.
#
# Tolerance: the screenshot scaled down (box filter) against the 1280 x 720 one, as grey levels:
# over the whole screen the mean difference is at most 1 % of full scale, and in every block of
# 40 x 40 design pixels at most 15 % (measured: at most 0.5 % and 7.5 %). Text drawn larger and
# averaged down differs from text drawn at its size at its edges; the level timer may have moved
# on by a second. A screen placed or sized wrongly by a few pixels differs by far more in the blocks
# along its edges, and a picture left in a corner or stretched fails both.
source "$(dirname "$0")/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
export LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES=
MEAN_LIMIT=0.01 BLOCK_LIMIT=0.15

data() { python3 "$HERE/../playthrough/game_data.py" "$@"; }

# Design places (1280 x 720): the main menu's first button, the statistics icon, the letter row.
MENU_FIRST="165 439"; STAT_ICON="124 55"; ROW_Y=593
letter_x() { python3 -c "w = (1240 - 4 * ($2 - 1)) / $2; print(int(20 + $1 * (w + 4) + w / 2))"; }

# The screen point of a design point on a W x H full screen ($SCREEN).
SCREEN=1280x720
at() {
    python3 -c "
import math
w, h = map(int, '$SCREEN'.split('x'))
dh = 1280 * h // w
f = min(w / 1280, h / dh)
print(int($1 * f + math.floor((w - 1280 * f) / 2)), int($2 * f + math.floor((h - dh * f) / 2)))"
}
click() { e2e_click $(at "$1" "$2"); }

# settle NAME: a screenshot NAME once the screen has changed from the last one and had a moment
# to finish (the in-game timer never stops changing).
LAST_PICTURE=""
settle() {
    e2e_wait_change "${LAST_PICTURE:-none}"
    sleep 1.5
    e2e_screenshot "$1" >/dev/null
    LAST_PICTURE=$(md5sum <"$E2E_ARTIFACTS/$1.png" | cut -d' ' -f1)
}

# matches NAME: the screenshot NAME at $SCREEN against the 1280 x 720 one of the same screen.
matches() {
    local shot=$E2E_ARTIFACTS/$1_$SCREEN.png ref=$E2E_ARTIFACTS/$1_1280x720.png
    local w=${SCREEN%x*} h=${SCREEN#*x}
    # The old picture took the top-left 1280 x 720 and left the rest one colour.
    local colours
    colours=$(convert "$shot" -crop "$((w - 1280))x${h}+1280+0" +repage -format %k info:)
    [ "$colours" -ge 16 ] || e2e_fail "$1 at $SCREEN: the band right of x 1280 is flat ($colours colours)"
    convert "$shot" -filter Box -resize '1280x720!' "$E2E_ARTIFACTS/$1_${SCREEN}_down.png"
    local mean block
    read -r mean block < <(convert "$ref" "$E2E_ARTIFACTS/$1_${SCREEN}_down.png" \
        -compose difference -composite -colorspace gray \
        \( +clone -format '%[fx:mean] ' -write info: +delete \) \
        -filter Box -resize '32x18!' -format '%[fx:maxima]\n' info:)
    echo "$1 at $SCREEN: mean difference $mean, largest block $block"
    python3 -c "import sys; sys.exit(not ($mean <= $MEAN_LIMIT and $block <= $BLOCK_LIMIT))" ||
        e2e_fail "$1 at $SCREEN differs from 1280x720 (mean $mean, block $block)"
}

# The first level with one word found; the second word is found by clicking its tiles.
prepare() {
    rm -rf "$E2E_TMP/run"
    e2e_prepare_run_dir
    mkdir -p "$E2E_RUN/save"
    (cd "$E2E_RUN" && data write-progress save/progress_en.dat 0 1 1 0 1 ${#LEVEL1[1]} 0 0 0 50 &&
        data write-found data/en.dat 0 1) || e2e_fail "could not write the save"
}

mapfile -t LEVEL1 < <(data level "$WG_RUN_DIR/data/en.dat" 0)
ROW1=${LEVEL1[0]}
WORD=${LEVEL1[2]}

# play SIZE: main menu, the level with a word found by clicking its letters, statistics.
play() {
    SCREEN=$1
    e2e_start_xvfb "$SCREEN"
    prepare
    e2e_start game -f
    e2e_wait_window
    LAST_PICTURE=""
    settle main_menu_$SCREEN
    click $MENU_FIRST
    settle in_game_before_$SCREEN
    local i index
    for ((i = 0; i < ${#WORD}; i++)); do
        index=$(python3 -c "
row, word, i = '$ROW1', '$WORD', $i
used = []
for ch in word[:i]:
    used.append(next(k for k, c in enumerate(row) if c == ch and k not in used))
print(next(k for k, c in enumerate(row) if c == word[i] and k not in used))")
        click "$(letter_x "$index" ${#ROW1})" $ROW_Y
    done
    settle in_game_$SCREEN
    click $STAT_ICON
    settle statistics_$SCREEN
    e2e_close_window
    e2e_wait_exit
    e2e_expect_eq "$E2E_STATUS" 0 "exit status at $SCREEN"
    mapfile -t found < <(cd "$E2E_RUN" && data found "save/$(printf '%s' "$ROW1" | od -An -tx1 | tr -d ' \n').sav")
    e2e_expect_eq "${found[*]}" "${LEVEL1[1]} $WORD" "words found by clicking at $SCREEN"
    kill "$E2E_XVFB_PID"; wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
}

play 1280x720
for size in 1366x768 1920x1080 2560x1440 3840x2160; do
    play $size
    for screen in main_menu in_game statistics; do matches $screen; done
    e2e_pass "full screen at $size"
done

# A window on a desktop at 200 %: twice as large, the same picture.
SCREEN=3840x2160
e2e_start_xvfb $SCREEN
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi: 192"
prepare
e2e_start game -x
e2e_wait_window
e2e_expect_eq "$(e2e_window_size)" "2560 1440" "window at 200 %"
e2e_wait_change none
sleep 1.5
import -window "$E2E_WINDOW" "$E2E_ARTIFACTS/window_main_menu_2560x1440.png"
convert "$E2E_ARTIFACTS/window_main_menu_2560x1440.png" -filter Box -resize '1280x720!' \
    "$E2E_ARTIFACTS/window_main_menu_down.png"
diff=$(compare -metric MAE "$E2E_ARTIFACTS/main_menu_1280x720.png" \
    "$E2E_ARTIFACTS/window_main_menu_down.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
echo "window at 200 %: mean difference $diff"
python3 -c "import sys; sys.exit(not ($diff <= $MEAN_LIMIT))" || e2e_fail "window at 200 % differs ($diff)"
e2e_close_window
e2e_wait_exit
e2e_pass "window at 200 %"
