#!/bin/sh
# Builds the audio tests with ThreadSanitizer (in build-tsan) and runs the ones that start a
# mixing thread beside the main thread: the game's music thread and the intro's output thread
# with its device and its stop handshake. Extra arguments go to both test binaries.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-tsan"
cmake -S "$root" -B "$build" -DWG_TSAN=ON -DWG_CONTENT=OFF -DWG_BENCH=OFF >/dev/null
cmake --build "$build" --target audio_tests intro_player_test -j2
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
"$build/tests/audio/audio_tests" --gtest_filter='MusicThreadTest.*' "$@"
"$build/tests/intro/intro_player_test" --gtest_filter='Output.*' "$@"
