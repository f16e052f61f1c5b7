#!/bin/sh
# Builds every libFuzzer target (tests/fuzz/fuzz_*.cpp, and the intro's module loader in
# tests/intro/fuzz_xm.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs them for the given total number of seconds
# (default 360), shared evenly. Each target first replays the inputs of earlier findings in
# tests/fuzz/regressions/<target>/. What a run learns is kept in build/fuzz-corpus/<target>/ and
# carried into the next run, so that each run goes deeper than the one before.
# Fails when any target finds a crash, a leak, a timeout or undefined behaviour.
# Usage: scripts/fuzz.sh [total seconds]
set -eu
cd "$(dirname "$0")/.."
total=${1:-360}
build=build-fuzz
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

sources=$(ls tests/fuzz/fuzz_*.cpp tests/intro/fuzz_*.cpp 2>/dev/null)
targets=$(for f in $sources; do basename "$f" .cpp; done)
if [ -z "$targets" ]; then
    echo "fuzz: no fuzz targets in tests/fuzz" >&2
    exit 1
fi
seconds=$((total / $(echo "$targets" | wc -w)))
[ "$seconds" -ge 1 ] || seconds=1

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$sanitizers" -DCMAKE_CXX_FLAGS="$sanitizers" \
    -DWG_FUZZ=ON -DWG_CONTENT=OFF -DWG_BENCH=OFF >"$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; echo "fuzz: configuring $build failed" >&2; exit 1; }
# shellcheck disable=SC2086
cmake --build "$build" --target $targets write_ogg_seeds -j2 || { echo "fuzz: building the targets failed" >&2; exit 1; }

seeds="$build/seeds"
rm -rf "$seeds"
python3 tests/fuzz/make_seeds.py "$seeds"
# Short Ogg streams of our own encoder seed the decoder, real modules from the installed game
# packages the module loader.
mkdir -p "$seeds/fuzz_ogg"
"$build/tests/audio/write_ogg_seeds" "$seeds/fuzz_ogg"
mkdir -p "$seeds/fuzz_xm"
find /usr/share/games -name '*.xm' -size -200k 2>/dev/null | sort | head -n 4 | xargs -r cp -t "$seeds/fuzz_xm"
# The game's own fonts, and its pictures as the content build draws them (the smallest few, so
# that each run tries many inputs) beside the tiny picture of make_seeds.py.
mkdir -p "$seeds/fuzz_font" "$seeds/fuzz_image"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
    "$seeds/fuzz_font/" 2>/dev/null || true
ls -S build/tools/assets/stage/images/*.png 2>/dev/null | tail -n 6 | xargs -r cp -t "$seeds/fuzz_image"

failed=""
summary=""
for source in $sources; do
    target=$(basename "$source" .cpp)
    binary="$build/$(dirname "$source")/$target"
    corpus="build/fuzz-corpus/$target"
    crashes="$build/crashes/$target"
    regressions="tests/fuzz/regressions/$target"
    mkdir -p "$corpus" "$crashes" "$seeds/$target"
    if [ -d "$regressions" ]; then
        echo "fuzz: replaying $regressions"
        # shellcheck disable=SC2046
        if ! "$binary" $(find "$regressions" -type f | sort) >"$build/$target.regressions.log" 2>&1; then
            tail -n 40 "$build/$target.regressions.log"
            summary="$summary
  $target: FAILED on an input of $regressions (log $build/$target.regressions.log)"
            failed="$failed $target"
            continue
        fi
    fi
    echo "fuzz: running $target for ${seconds}s"
    if "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$crashes/" -print_final_stats=1 "$corpus" "$seeds/$target" \
        >"$build/$target.log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$target.log")
        summary="$summary
  $target: ok (${runs:-?} inputs, corpus $(ls "$corpus" | wc -l))"
    else
        tail -n 40 "$build/$target.log"
        summary="$summary
  $target: FAILED (log $build/$target.log, input in $crashes/)"
        failed="$failed $target"
    fi
done

echo "fuzz summary (${seconds}s per target):$summary"
if [ -n "$failed" ]; then
    echo "fuzz: FAILED:$failed" >&2
    exit 1
fi
echo "fuzz: all targets passed"
