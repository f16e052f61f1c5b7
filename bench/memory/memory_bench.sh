#!/usr/bin/env bash
# Anonymous memory (the heap and every other private mapping without a file: what the program
# allocates) of the running game at the main menu and at its peak over one track change, against an
# allowance of the two largest decoded tracks (the one playing and the one read ahead) plus
# 40 MB. glxgears on the same driver is measured in the same run: llvmpipe keeps textures and
# its compiled shaders in anonymous memory too, which is the driver's, not the game's.
#
# usage: WG_RUN_DIR=$PWD/build/run bash bench/memory/memory_bench.sh [BUILD_DIR]
set -uo pipefail
source "$(dirname "$0")/../../tests/e2e/lib.sh"
build=${1:-$E2E_SOURCE_ROOT/build}

# Anonymous pages outside file mappings: the relocated data of shared libraries (8 MB of it in
# the GL driver's compiler alone) is mapped code, not what the program allocates.
anonymous_kb() {
    awk '/^[0-9a-f]+-[0-9a-f]+ / { own = ($6 == "" || $6 ~ /^\[/) } /^Anonymous:/ && own { kb += $2 }
         END { print kb + 0 }' "/proc/$1/smaps"
}
mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }

mapfile -t tracks < <("$build/bench/memory/bench_track_sizes" "$WG_RUN_DIR/data")
[ ${#tracks[@]} -gt 0 ] || e2e_fail "no tracks in $WG_RUN_DIR/data"
two_largest_kb=$(printf '%s\n' "${tracks[@]}" | sort -n -r | head -n2 | awk '{ kb += $1 / 1024 } END { printf "%d", kb }')
longest=$(printf '%s\n' "${tracks[@]}" | awk '$2 > s { s = $2 } END { printf "%d", s + 1 }')
allowance_kb=$((two_largest_kb + 40 * 1024))

e2e_start_xvfb 1280x720
e2e_prepare_run_dir
cd "$E2E_RUN" || exit 1
export SDL_AUDIODRIVER=dummy

glxgears >/dev/null 2>&1 &
gears=$!
sleep 3
gears_kb=$(anonymous_kb "$gears")
kill "$gears"
wait "$gears" 2>/dev/null

# A fresh start (no save/), on the screen it opens with, while the first track plays.
e2e_start game
e2e_wait_window
sleep 5
menu_kb=$(anonymous_kb "$E2E_PID")
# Until the longest track has surely ended once and the next one is read ahead.
# A track change shows as a fall of at least one decoded track (the finished one is freed) and a
# rise when the next is read ahead; the lowest point tells whether one happened.
peak_kb=$menu_kb lowest_kb=$menu_kb
for second in $(seq $((longest + 20))); do
    sleep 1
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the game ended"
    now=$(anonymous_kb "$E2E_PID")
    [ "$now" -gt "$peak_kb" ] && peak_kb=$now
    [ "$now" -lt "$lowest_kb" ] && lowest_kb=$now
done

printf 'anonymous memory (MB)            game   ratio to allowance\n'
printf '  main menu                   %7s   %.2f\n' "$(mb "$menu_kb")" "$(awk -v a="$menu_kb" -v b="$allowance_kb" 'BEGIN { print a / b }')"
printf '  peak over %3d s of music    %7s   %.2f\n' "$((longest + 20))" "$(mb "$peak_kb")" "$(awk -v a="$peak_kb" -v b="$allowance_kb" 'BEGIN { print a / b }')"
printf '  lowest (between two tracks) %7s\n' "$(mb "$lowest_kb")"
printf '  allowance                   %7s   (two largest decoded tracks %s MB + 40 MB)\n' "$(mb "$allowance_kb")" "$(mb "$two_largest_kb")"
printf '  glxgears (the driver alone) %7s   (reference)\n' "$(mb "$gears_kb")"
printf 'goal: peak at most the allowance\n'
