#!/usr/bin/env bash
# Time from starting the game to its first window on the screen, and to the first picture in
# it (the language screen or the main menu drawn), beside the same times for glxgears (a bare
# OpenGL window on the same driver) and for bare_window (a GLFW window of the game's size that
# clears and swaps: the windowing library's and the driver's share of the game's start), under
# Xvfb with Mesa. The game starts in a fresh run directory with no save/; each figure is the
# median of RUNS starts.
#
# usage: WG_RUN_DIR=$PWD/build/run bash bench/startup/startup_bench.sh [RUNS] [BUILD_DIR] [SCREEN]
#        [GAME ARGS...]
# SCREEN is the X server's size (1920x1080 by default); -f as a game argument starts it full
# screen there (at 3840x2160, the picture drawn three times as large).
set -uo pipefail
source "$(dirname "$0")/../../tests/e2e/lib.sh"
runs=${1:-7}
bench_dir=${2:-$E2E_SOURCE_ROOT/build}/bench/startup
first_frame=$bench_dir/first_frame bare_window=$bench_dir/bare_window
[ -x "$first_frame" ] && [ -x "$bare_window" ] || e2e_fail "no $bench_dir: build the benchmarks first"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

screen=${3:-1920x1080}
game_args=("${@:4}")
e2e_start_xvfb "$screen"
e2e_prepare_run_dir
cd "$E2E_RUN" || exit 1
export SDL_AUDIODRIVER=dummy
# Full screen, the reference fills the screen too: the driver's first clear and swap of a
# 3840 x 2160 picture cost more than the whole start of a small window.
reference_args=() bare_args=()
for arg in "${game_args[@]}"; do
    [ "$arg" = -f ] && reference_args=(-fullscreen) bare_args=(-f)
done
game=() reference=() bare=()
for run in $(seq "$runs"); do
    rm -rf save
    game+=("$("$first_frame" ./game "${game_args[@]}")") || e2e_fail "the game showed no picture"
    reference+=("$("$first_frame" glxgears "${reference_args[@]}")") ||
        e2e_fail "glxgears showed no picture"
    bare+=("$("$first_frame" "$bare_window" "${bare_args[@]}")") ||
        e2e_fail "bare_window showed no picture"
done
column() { printf '%s\n' "${@:2}" | awk -v c="$1" '{ print $c }' | median; }
game_mapped=$(column 1 "${game[@]}") game_drawn=$(column 2 "${game[@]}")
gears_mapped=$(column 1 "${reference[@]}") gears_drawn=$(column 2 "${reference[@]}")
bare_mapped=$(column 1 "${bare[@]}") bare_drawn=$(column 2 "${bare[@]}")
printf 'start to ..., median of %d starts on %s %s\n' "$runs" "$screen" "${game_args[*]}"
printf '                                      window   picture\n'
printf '  game                                %6.3f s  %6.3f s\n' "$game_mapped" "$game_drawn"
printf '  %-36s%6.3f s  %6.3f s\n' "glxgears ${reference_args[*]} (reference)" "$gears_mapped" \
    "$gears_drawn"
printf '  %-36s%6.3f s  %6.3f s\n' "bare_window ${bare_args[*]} (GLFW's floor)" "$bare_mapped" \
    "$bare_drawn"
awk -v a="$game_mapped" -v b="$gears_mapped" -v c="$game_drawn" -v d="$gears_drawn" \
    'BEGIN { printf "  ratio game / glxgears               %6.2f    %6.2f\n", a / b, c / d }'
awk -v a="$game_mapped" -v b="$bare_mapped" -v c="$game_drawn" -v d="$bare_drawn" \
    'BEGIN { printf "  ratio game / bare_window            %6.2f    %6.2f\n", a / b, c / d }'
printf 'goal: the first picture within 0.3 s at 1280 x 720, within 0.5 s at 3840 x 2160\n'
