# The package's files: where they go, the menu entry and metainfo validators, the icon sizes, the
# computed library dependencies, and lintian (errors fail, warnings are listed).
set -u
deb=$(ls $WG_PACKAGE_GLOB 2>/dev/null | head -n1)
[ -n "$deb" ] || { echo "FAIL: no package matches $WG_PACKAGE_GLOB"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dpkg-deb -x "$deb" "$tmp/root" || { echo "FAIL: dpkg-deb cannot unpack $deb"; exit 1; }
echo "--- files of $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{print $6, $7, $8}'

root=$tmp/root
for path in usr/games/letter-row usr/games/letter-row-intro; do
    [ -x "$root/$path" ] || fail "no program $path"
done
for path in usr/share/games/letter-row/game.dat usr/share/games/letter-row/en.dat \
    usr/share/games/letter-row/images.dat usr/share/applications/letter-row.desktop \
    usr/share/icons/hicolor/scalable/apps/letter-row.svg usr/share/man/man6/letter-row.6.gz \
    usr/share/doc/letter-row/copyright usr/share/doc/letter-row/changelog.gz; do
    [ -f "$root/$path" ] || fail "no file $path"
done
[ -z "$(find "$root" -path '*/save*')" ] || fail "the package holds a save folder"
# The fonts come from Debian's DejaVu package, which the game's font files point into.
for font in "$root"/usr/share/games/letter-row/font/*; do
    target=$(realpath -m "/usr/share/games/letter-row/font/$(readlink "$font")")
    [ -f "$target" ] || fail "font $(basename "$font") points to missing $target"
done
for size in 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/letter-row.png
    [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] \
        || fail "icon $icon is not ${size}x${size}"
done

desktop-file-validate "$root/usr/share/applications/letter-row.desktop" || fail "desktop-file-validate"
grep -qx 'Categories=Game;LogicGame;' "$root/usr/share/applications/letter-row.desktop" \
    || fail "the menu entry's categories"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

# Library dependencies are computed from the programs, so the libraries they link must be there.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libsdl2 libglfw3 libc6 libstdc++6 zlib1g fonts-dejavu-core; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done

echo "--- lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

[ $failures -eq 0 ] || exit 1
echo "ok: package contents"
