#!/bin/sh
# Builds the game's libraries and unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ and runs every test labelled "unit".
# Usage: scripts/sanitize.sh
set -eu
cd "$(dirname "$0")/.."
build=build-asan

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DWG_SANITIZE=ON -DWG_CONTENT=OFF -DWG_BENCH=OFF >"$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; echo "sanitize: configuring $build failed" >&2; exit 1; }

# Everything is built (content and benchmarks are off), so that no unit test program is missed
# whatever its name.
cmake --build "$build" -j2 || { echo "sanitize: building $build failed" >&2; exit 1; }

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
if ctest --test-dir "$build" -L unit --output-on-failure -j2 --no-tests=error; then
    echo "sanitize: all unit tests passed under AddressSanitizer and UndefinedBehaviorSanitizer"
else
    echo "sanitize: FAILED (details above; rerun with ctest --test-dir $build -L unit)" >&2
    exit 1
fi
