# Additions to the end-to-end harness for Windows programs under Wine; source after
# tests/e2e/lib.sh. WG_RUN_DIR names the Windows build's run folder (game.exe, intro.exe) and
# WG_DATA_DIR the Linux build's data.
#
#   wine_prepare FOLDER          a run folder $WINE_RUN named FOLDER in $E2E_TMP: copies of the
#                                programs and data/ holding links to everything in $WG_DATA_DIR
#   wine_start PROGRAM [ARGS...] start PROGRAM (game.exe, intro.exe) under Wine in $WINE_RUN, in
#                                a Wine session of its own
#   wine_run SECONDS PROGRAM ... wine_start, then e2e_wait_exit SECONDS
#   wine_shot NAME CHECK...      a screenshot that passes CHECK, retried while the program draws
# Wine starts slowly (the first program of a prefix starts its services too): wait for windows
# with e2e_wait_titled_window TITLE 120.
WINE_RUN=""

wine_prepare() {
    WINE_RUN=$E2E_TMP/$1
    mkdir -p "$WINE_RUN/data"
    cp "$WG_RUN_DIR"/*.exe "$WINE_RUN/"
    local entry
    for entry in "${WG_DATA_DIR:-$WG_RUN_DIR/data}"/*; do
        ln -s "$entry" "$WINE_RUN/data/$(basename "$entry")"
    done
}

wine_start() {
    # A Wine session keeps the display of the program that began it: a program started on another
    # display in the same session gets no window, or one clipped to the old desktop's size. Each
    # start begins a session of its own.
    bash "$E2E_SOURCE_ROOT/tests/wine/run.sh" --end-session || true
    (cd "$WINE_RUN" && exec bash "$E2E_SOURCE_ROOT/tests/wine/run.sh" "$@") \
        >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
    E2E_PID=$!
    E2E_WINDOW=""
    E2E_STATUS=""
}

wine_run() {
    local timeout=$1
    shift
    wine_start "$@"
    e2e_wait_exit "$timeout"
}

# wine_shot NAME CHECK...: a screenshot that passes the command CHECK (given the picture's path
# last), retried for up to 30 s while the program draws its first frames.
wine_shot() {
    local name=$1 path tries
    shift
    for tries in $(seq 30); do
        sleep 1
        path=$(e2e_screenshot "$name")
        "$@" "$path" && return 0
    done
    e2e_fail "screenshot $name never passed: $*"
}
