#!/usr/bin/env bash
# Side by side, per screen: the 1280 x 720 screenshot and the full-screen ones of 1366 x 768,
# 1920 x 1080, 2560 x 1440 and 3840 x 2160 scaled down to it, as `ctest -R e2e_screen_sizes` left
# them; below, the 200 % window scaled down. Writes docs/screen-sizes.png.
#
# usage: bash scripts/screen-sizes-montage.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shots=${1:-$root/build}/e2e-artifacts/screen_sizes
[ -f "$shots/main_menu_3840x2160_down.png" ] || {
    echo "no screenshots in $shots: run ctest -R e2e_screen_sizes first" >&2
    exit 1
}
rows=()
for screen in main_menu in_game statistics; do
    row=$(mktemp --suffix=.png)
    montage "$shots/${screen}_1280x720.png" "$shots/${screen}"_{1366x768,1920x1080,2560x1440,3840x2160}_down.png \
        -tile 5x1 -geometry 512x288+4+4 "$row"
    rows+=("$row")
done
window=$(mktemp --suffix=.png)
montage "$shots/window_main_menu_down.png" -geometry 512x288+4+4 "$window"
montage "${rows[@]}" "$window" -tile 1x4 -geometry +0+0 -depth 8 "$root/docs/screen-sizes.png"
rm -f "${rows[@]}" "$window"
echo "docs/screen-sizes.png"
