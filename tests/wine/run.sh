#!/usr/bin/env bash
# Runs a Windows program under Debian's wine64 in the build's Wine prefix, quietly.
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$0")/../.." && pwd)/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec /usr/lib/wine/wine64 "$@"
