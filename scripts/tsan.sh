#!/bin/sh
# Builds the audio tests with ThreadSanitizer (in build-tsan) and runs the ones that start
# the music thread beside the main thread. Extra arguments go to the test binary.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-tsan"
cmake -S "$root" -B "$build" -DWG_TSAN=ON -DWG_CONTENT=OFF -DWG_BENCH=OFF >/dev/null
cmake --build "$build" --target audio_tests -j2
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  "$build/tests/audio/audio_tests" --gtest_filter='MusicThreadTest.*' "$@"
