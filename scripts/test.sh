#!/usr/bin/env bash
# Installs what is needed, builds everything in build/ and runs every test: CTest (unit, content
# validation, end-to-end), the sanitizer builds and the fuzz runs. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1

failed=()
log=build/ctest.log
ctest --test-dir build -j2 --output-on-failure 2>&1 | tee "$log"
[ "${PIPESTATUS[0]}" -eq 0 ] || failed+=(ctest)

for script in sanitize tsan fuzz build-windows; do
    if [ -f "scripts/$script.sh" ]; then
        echo "=== scripts/$script.sh"
        bash "scripts/$script.sh" || failed+=("$script")
    elif [ "$script" != tsan ]; then
        echo "scripts/$script.sh is missing"
        failed+=("$script")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "FAILED: ${failed[*]}"
fi
grep -E '[0-9]+% tests passed' "$log" | tail -n 1
[ ${#failed[@]} -eq 0 ]
