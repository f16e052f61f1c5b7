#!/usr/bin/env bash
# Installs what is needed, builds what the package holds in build/ (Release, with the game's data)
# and makes the Debian package build/letter-row_<version>_<architecture>.deb with CPack.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh run_dir intro package_files
cd build
rm -f letter-row_*.deb
cpack -G DEB
echo "Package: $PWD/$(ls letter-row_*.deb)"
