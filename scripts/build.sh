#!/usr/bin/env bash
# Configures and builds the Release tree in build/ (with the game's content); extra arguments name
# the targets to build (everything when none).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DWG_CONTENT=ON >/dev/null
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build build -j2 "${targets[@]}"
