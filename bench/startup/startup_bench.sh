#!/usr/bin/env bash
# Time from starting the game to its first window on the screen, beside the same time for
# glxgears (a bare OpenGL window on the same driver), under Xvfb with Mesa. The game starts in a
# fresh run directory with no save/, so it opens on the language screen, or on the main menu of
# the system's language; each figure is the median of RUNS starts.
#
# usage: WG_RUN_DIR=build/run bash bench/startup/startup_bench.sh [RUNS]
set -uo pipefail
source "$(dirname "$0")/../../tests/e2e/lib.sh"
runs=${1:-7}

# Seconds from the start of the command to its first window (glxgears names no process on its
# window, so any visible named window counts: only one program runs at a time).
seconds_to_window() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 &
    local pid=$!
    local i
    for i in $(seq 3000); do
        if xdotool search --onlyvisible --name .  >/dev/null 2>&1; then
            awk -v end="$EPOCHREALTIME" -v start="$start" 'BEGIN { print end - start }'
            kill -KILL "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
            return 0
        fi
        sleep 0.005
    done
    kill -KILL "$pid" 2>/dev/null
    e2e_fail "no window from $1"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

e2e_start_xvfb 1920x1080
e2e_prepare_run_dir
cd "$E2E_RUN" || exit 1
export SDL_AUDIODRIVER=dummy
game=() reference=()
for run in $(seq "$runs"); do
    rm -rf save
    game+=("$(seconds_to_window ./game)")
    reference+=("$(seconds_to_window glxgears)")
done
g=$(printf '%s\n' "${game[@]}" | median)
r=$(printf '%s\n' "${reference[@]}" | median)
printf 'start to first window, median of %d starts\n' "$runs"
printf '  game       %6.3f s\n' "$g"
printf '  glxgears   %6.3f s (reference)\n' "$r"
awk -v g="$g" -v r="$r" 'BEGIN { printf "  ratio game / glxgears: %.2f (goal: game under 0.3 s)\n", g / r }'
