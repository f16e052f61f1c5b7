#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages/*.txt (one per line, # starts a comment).
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' scripts/packages/*.txt | grep -v '^$' | sort -u)
missing=()
for package in "${packages[@]}"; do
    # A command of the package's name already on the PATH counts (Node.js builds from
    # elsewhere bring their own npm, and conflict with Debian's).
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' &&
        ! command -v "$package" >/dev/null; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#packages[@]} packages are installed"
    exit 0
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
