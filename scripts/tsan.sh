#!/bin/sh
# Builds the audio tests with ThreadSanitizer (in build-tsan) and runs the ones that start a
# thread beside the main thread: the game's music thread, the intro's output thread with its
# device and its stop handshake, and the game's start-up thread that bakes fonts and decodes
# pictures while the window is made (in Xvfb), one item after another. Extra arguments go to every
# test binary.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-tsan"
cmake -S "$root" -B "$build" -DWG_TSAN=ON -DWG_CONTENT=OFF -DWG_BENCH=OFF >/dev/null
cmake --build "$build" --target audio_tests intro_player_test util_tests core_gfx_test \
    app_desktop_scale_test -j2
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
"$build/tests/audio/audio_tests" --gtest_filter='MusicThreadTest.*' "$@"
"$build/tests/intro/intro_player_test" --gtest_filter='Output.*' "$@"
"$build/tests/util/util_tests" --gtest_filter='JoinedThread.*' "$@"
WG_RUN_DIR="$root/build/run" bash "$root/tests/app/with_xvfb.sh" 640x480 \
    "$build/tests/core/core_gfx_test" \
    --gtest_filter='GfxTest.PicturesDecodedAhead*:GfxTest.TheArchiveReadOnTheDecodingThread*' "$@"
WG_RUN_DIR="$root/build/run" bash "$root/tests/app/with_xvfb.sh" 3840x2160 \
    "$build/tests/app/app_desktop_scale_test" --gtest_filter='DesktopScale.FontsBakedAhead*' "$@"
