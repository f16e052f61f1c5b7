#!/usr/bin/env bash
# Runs a Windows program under Debian's wine64 in the build's Wine prefix, quietly; with
# --end-session, ends the prefix's running programs and waits until its Wine session is over.
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$0")/../.." && pwd)/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ "${1:-}" = --end-session ]; then
    /usr/lib/wine/wineserver -k 2>/dev/null
    exec /usr/lib/wine/wineserver -w
fi
exec /usr/lib/wine/wine64 "$@"
