#!/usr/bin/env bash
# Cross-builds both programs for Windows with MinGW-w64: i686 (the target, warnings are errors) and
# x86-64 (the build the tests run under Wine). Runs the Windows unit tests and the Wine end-to-end
# tests, then packs build/windows/letter-row-windows-<arch>.zip. Needs the Linux build in build/
# (its data and the intro's resources); GLFW and Dear ImGui are built from Debian's source
# packages, fetched once into build/windows/sources.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/windows
sources=$out/sources
mkdir -p "$sources"

[ -f build/run/data/game.dat ] && [ -f build/intro/resources/tune.xm ] ||
    { echo "build-windows: build the Linux tree first (scripts/build.sh)"; exit 1; }

# Source packages come from the same Debian registry the binary packages do.
fetch_sources() {
    if ! apt-cache showsrc glfw3 2>/dev/null | grep -q '^Package:'; then
        # Source entries for the registry the binary packages come from, in whichever format
        # this machine lists it (a new Debian 12 install, or a debootstrap root).
        local list=/etc/apt/sources.list.d/debian.sources
        if [ -f "$list" ]; then
            sed 's/^Types: deb$/Types: deb-src/' "$list" >/etc/apt/sources.list.d/debian-src.sources
        elif grep -q '^deb ' /etc/apt/sources.list 2>/dev/null; then
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/debian-src.list
        else
            echo "build-windows: no Debian registry in /etc/apt to take the sources from"; exit 1
        fi
        apt-get update
    fi
    (cd "$sources" && apt-get source glfw3 imgui)
}
glfw=$(ls -d "$sources"/glfw3-3.3*/ 2>/dev/null | head -n1 || true)
imgui=$(ls -d "$sources"/imgui-1.86*/ 2>/dev/null | head -n1 || true)
if [ -z "$glfw" ] || [ -z "$imgui" ]; then
    fetch_sources
    glfw=$(ls -d "$sources"/glfw3-3.3*/ | head -n1)
    imgui=$(ls -d "$sources"/imgui-1.86*/ | head -n1)
fi

export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "build-windows: making the Wine prefix"
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver --wait || true
fi

# ccache speeds rebuilds where it is installed; a new machine has none, and needs none.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
for arch in i686 x86_64; do
    extra=("${launcher[@]}")
    if [ "$arch" = i686 ]; then
        extra+=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
    else
        extra+=("-DCMAKE_CROSSCOMPILING_EMULATOR=bash;$root/tests/wine/run.sh")
    fi
    cmake -S . -B "$out/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DWG_NATIVE_BUILD="$root/build" \
        -DWG_GLFW_SOURCE="$glfw" -DWG_IMGUI_SOURCE="$imgui" \
        "${extra[@]}" >/dev/null
    if [ "$arch" = i686 ]; then
        cmake --build "$out/$arch" -j2 --target game intro
    else
        cmake --build "$out/$arch" -j2
    fi
done

# The target build: 32-bit programs of the same sources.
for program in game intro; do
    kind=$(file -b "$out/i686/run/$program.exe")
    case $kind in
        "PE32 executable (GUI) Intel 80386"*) echo "build-windows: i686 $program.exe: $kind" ;;
        *) echo "build-windows: i686 $program.exe is not a 32-bit Windows program: $kind"; exit 1 ;;
    esac
done

# The unit tests and the Wine end-to-end tests, one at a time: they share the Wine prefix.
ctest --test-dir "$out/x86_64" --output-on-failure

# One folder per architecture with both programs, the data and the players' README, zipped.
for arch in i686 x86_64; do
    name=letter-row-windows-$arch
    rm -rf "${out:?}/$name" "$out/$name.zip"
    mkdir -p "$out/$name"
    cp "$out/$arch/run/game.exe" "$out/$arch/run/intro.exe" "$out/$name/"
    cp -RL build/run/data "$out/$name/data"
    sed 's/$/\r/' content/windows/README.txt >"$out/$name/README.txt"  # Notepad line ends
    (cd "$out" && python3 -m zipfile -c "$name.zip" "$name")
    echo "build-windows: $out/$name.zip"
done
