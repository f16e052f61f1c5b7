#!/usr/bin/env bash
# Runs a Windows program under Debian's wine64 in the build's Wine prefix, quietly; with
# --end-session, ends the prefix's running programs and waits until its Wine session is over.
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$0")/../.." && pwd)/build/windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine turns Unix file names into Windows ones with the locale's character set: without a UTF-8 one
# (no LANG at all, or LANG=C, as in a bare container) it cannot even enter a folder named in
# Cyrillic. Only the character set is set here; the language the program sees stays the caller's.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
    if [ -n "${LC_ALL:-}" ]; then
        export LANG=$LC_ALL
        unset LC_ALL
    fi
    export LC_CTYPE=C.UTF-8
fi
if [ "${1:-}" = --end-session ]; then
    /usr/lib/wine/wineserver -k 2>/dev/null
    exec /usr/lib/wine/wineserver -w
fi
exec /usr/lib/wine/wine64 "$@"
