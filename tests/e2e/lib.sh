# End-to-end harness: runs the real programs in a real X server (Xvfb with Mesa's llvmpipe).
#
# Source it from a bash test script:   source "$(dirname "$0")/../e2e/lib.sh"
# It needs WG_RUN_DIR: the build's run directory (the game binary beside data/); CTest tests get
# it through their environment:
#   add_test(NAME e2e_mine COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/mine.sh)
#   set_tests_properties(e2e_mine PROPERTIES LABELS e2e ENVIRONMENT "WG_RUN_DIR=${WG_RUN_DIR}")
# Sourcing makes a temporary directory ($E2E_TMP) and installs an EXIT trap that stops the program
# and the X server and removes the directory; don't replace that trap. Set E2E_KEEP=1 to keep it.
# To run a test program (a GoogleTest binary, say) in its own X server instead, use
#   bash tests/app/with_xvfb.sh WxH PROGRAM [ARGS...]
# The functions work with and without set -e. Every function returns non-zero (or, for e2e_fail and the waits, ends the test) on failure.
#
#   e2e_start_xvfb [WxH]          start an X server of that screen size (default 1920x1080) on a free
#                                 display and export DISPLAY
#   e2e_prepare_run_dir [CONFIG]  make a run directory $E2E_RUN in $E2E_TMP: the game and intro
#                                 binaries and data/ holding links to everything in $WG_RUN_DIR/data
#                                 (or $E2E_DATA_DIR); CONFIG replaces data/game.dat, the word "none"
#                                 removes it. No save/ directory: the game makes it.
#   e2e_config_set KEY JSON       set a top-level member of $E2E_RUN/data/game.dat (JSON value,
#                                 for example 1280 or '"windowed"'); JSON null removes the member
#   e2e_start PROGRAM [ARGS...]   start $E2E_RUN/PROGRAM in $E2E_RUN in the background ($E2E_PID),
#                                 stdout and stderr to $E2E_TMP/stdout and $E2E_TMP/stderr, audio
#                                 through SDL's disk driver into $E2E_AUDIO
#   e2e_wait_window [SECONDS]     wait for the program's window (default 30 s); sets $E2E_WINDOW
#   e2e_wait_titled_window TITLE [SECONDS]  wait (default 30 s) for a window of exactly that
#                                 title (message boxes carry no process id); sets $E2E_WINDOW
#   e2e_window_size               print the window's client size as "W H"
#   e2e_window_position           print the window's position on the screen as "X Y"
#   e2e_key KEY...                press and release each key (xdotool names: a, Escape, F1,
#                                 BackSpace ...), holding it a moment as a person does
#   e2e_type TEXT                 e2e_key for each character of TEXT (letters and digits)
#   e2e_click X Y [BUTTON]        click at window coordinates X Y (button 1 by default)
#   e2e_screenshot NAME           save the screen as $E2E_ARTIFACTS/NAME.png and print its path
#   e2e_picture [PART]            print a checksum of the screen, or of its PART (WxH+X+Y); "blank"
#                                 while it is of one colour (a window not drawn yet)
#   e2e_wait_still [PART]         wait up to 30 s until the screen (PART) is drawn and unchanged
#                                 for a moment; sets $E2E_PICTURE to its checksum
#   e2e_wait_change SUM [PART]    wait up to 30 s until the screen (PART) is drawn and differs
#                                 from SUM: the program has drawn a new screen, so keys sent
#                                 next reach that screen
#   e2e_close_window              ask the window to close like a window manager's close button
#   e2e_wait_exit [SECONDS]       wait for the program to end (default 60 s: a save syncs to disk,
#                                 slow on a busy machine); sets $E2E_STATUS to its exit status as
#                                 the shell sees it (-7 is 249)
#   e2e_run [SECONDS] PROGRAM [ARGS...]   e2e_start, then e2e_wait_exit
#   e2e_stdout, e2e_stderr        print what the program wrote so far
#   e2e_expect_eq ACTUAL EXPECTED WHAT    fail unless the two texts are equal
#   e2e_fail MESSAGE              print MESSAGE, the program's output, and end the test with 1
#   e2e_pass MESSAGE              print "ok: MESSAGE"

set -u

E2E_SOURCE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${WG_RUN_DIR:?WG_RUN_DIR must name the run directory of a build}"
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/wg-e2e.XXXXXX")
E2E_ARTIFACTS=${E2E_ARTIFACTS:-$WG_RUN_DIR/../e2e-artifacts/$(basename "$0" .sh)}
E2E_AUDIO=$E2E_TMP/audio.raw
E2E_RUN=""
E2E_PID=""
E2E_XVFB_PID=""
E2E_WINDOW=""
E2E_STATUS=""
E2E_KEY_HOLD=${E2E_KEY_HOLD:-0.15}
mkdir -p "$E2E_ARTIFACTS"

# Mesa's software rasteriser: the same pictures on every machine.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$E2E_AUDIO

e2e_cleanup() {
    if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
        kill "$E2E_PID" 2>/dev/null || true
        sleep 0.5
        kill -9 "$E2E_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
    if [ "${E2E_KEEP:-0}" = 1 ]; then
        echo "kept $E2E_TMP"
    else
        rm -rf "$E2E_TMP"
    fi
}
trap e2e_cleanup EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -f "$E2E_TMP/stdout" ]; then
        echo "--- program stdout" >&2
        tail -n 40 "$E2E_TMP/stdout" >&2
        echo "--- program stderr" >&2
        tail -n 40 "$E2E_TMP/stderr" >&2
    fi
    exit 1
}

e2e_pass() {
    echo "ok: $*"
}

e2e_expect_eq() {
    [ "$1" = "$2" ] || e2e_fail "$3: expected '$2', got '$1'"
}

# e2e_start_xvfb [WIDTHxHEIGHT [DEPTH]]
e2e_start_xvfb() {
    local size=${1:-1920x1080} depth=${2:-24}
    local fdfile=$E2E_TMP/display
    # -displayfd lets the server pick a free display and tells us which once it accepts clients.
    # A server started before in this test wrote the file too: until the new one has truncated it,
    # its number would be read.
    rm -f "$fdfile"
    Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp -noreset 3>"$fdfile" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        if [ -s "$fdfile" ]; then
            export DISPLAY=":$(head -n1 "$fdfile")"
            return 0
        fi
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    cat "$E2E_TMP/xvfb.log" >&2
    e2e_fail "Xvfb did not start"
}

e2e_prepare_run_dir() {
    local config=${1:-}
    local data=${E2E_DATA_DIR:-$WG_RUN_DIR/data}
    E2E_RUN=$E2E_TMP/run
    mkdir -p "$E2E_RUN/data"
    local program
    for program in game intro; do
        [ -x "$WG_RUN_DIR/$program" ] && ln -s "$WG_RUN_DIR/$program" "$E2E_RUN/$program"
    done
    local entry
    for entry in "$data"/* ; do
        [ -e "$entry" ] && ln -s "$entry" "$E2E_RUN/data/$(basename "$entry")"
    done
    if [ "$config" = none ]; then
        rm -f "$E2E_RUN/data/game.dat"
    elif [ -n "$config" ]; then
        rm -f "$E2E_RUN/data/game.dat"
        cp "$config" "$E2E_RUN/data/game.dat"
    fi
    return 0
}

e2e_config_set() {
    local file=$E2E_RUN/data/game.dat
    [ -e "$file" ] || e2e_fail "no data/game.dat to change"
    # Edit a private copy, never the build's file behind the link.
    if [ -L "$file" ]; then
        cp --remove-destination "$(readlink -f "$file")" "$file"
    fi
    python3 - "$E2E_SOURCE_ROOT/tools/config" "$file" "$1" "$2" <<'PY' || e2e_fail "could not set $1"
import json, sys
sys.path.insert(0, sys.argv[1])
from merge_config import raw  # writes texts raw, as the game reads them
path, key, value = sys.argv[2], sys.argv[3], json.loads(sys.argv[4])
config = json.loads(open(path, encoding="utf-8").read(), strict=False)
if value is None:
    config.pop(key, None)
else:
    config[key] = value
open(path, "w", encoding="utf-8").write(raw(config) + "\n")
PY
}

e2e_start() {
    local program=$1
    shift
    [ -n "$E2E_RUN" ] || e2e_fail "e2e_prepare_run_dir first"
    [ -x "$E2E_RUN/$program" ] || e2e_fail "no $program in $WG_RUN_DIR"
    (cd "$E2E_RUN" && exec "./$program" "$@") >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
    E2E_PID=$!
    E2E_WINDOW=""
    E2E_STATUS=""
}

e2e_wait_window() {
    local timeout=${1:-30}
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended before showing a window"
        E2E_WINDOW=$(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null | head -n1 || true)
        if [ -n "$E2E_WINDOW" ]; then
            # Keyboard input goes to the focused window; there is no window manager to focus it.
            xdotool windowfocus --sync "$E2E_WINDOW" 2>/dev/null || true
            return 0
        fi
        sleep 0.2
    done
    e2e_fail "no window within ${timeout} s"
}

e2e_wait_titled_window() {
    local timeout=${2:-30}
    local deadline=$((SECONDS + timeout))
    E2E_WINDOW=""
    while [ -z "$E2E_WINDOW" ] && [ $SECONDS -lt $deadline ]; do
        kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended while waiting for the window '$1'"
        E2E_WINDOW=$(xwininfo -root -tree | grep -F "\"$1\": " | awk '{print $1}' | head -n1)
        sleep 0.2
    done
    [ -n "$E2E_WINDOW" ] || e2e_fail "no window '$1' within $timeout s"
    xdotool windowfocus --sync "$E2E_WINDOW" 2>/dev/null || true
}

e2e_window_size() {
    xwininfo -id "$E2E_WINDOW" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}'
}

e2e_window_position() {
    xwininfo -id "$E2E_WINDOW" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}'
}

e2e_key() {
    local key
    for key in "$@"; do
        # Held for a moment, as a person types (fast_typing.sh types faster).
        xdotool keydown "$key"
        sleep "$E2E_KEY_HOLD"
        xdotool keyup "$key"
        sleep "$E2E_KEY_HOLD"
    done
}

e2e_type() {
    local text=$1 i
    for ((i = 0; i < ${#text}; i++)); do
        e2e_key "${text:i:1}"
    done
}

e2e_click() {
    local button=${3:-1}
    xdotool mousemove --window "$E2E_WINDOW" "$1" "$2"
    sleep "$E2E_KEY_HOLD"
    xdotool mousedown "$button"
    sleep "$E2E_KEY_HOLD"
    xdotool mouseup "$button"
    sleep "$E2E_KEY_HOLD"
}

e2e_screenshot() {
    local path=$E2E_ARTIFACTS/$1.png
    import -window root "$path" || e2e_fail "screenshot $1 failed"
    echo "$path"
}

e2e_picture() {
    local shot=$E2E_TMP/picture.png
    if [ -n "${1:-}" ]; then
        import -window root -crop "$1" +repage "$shot" || return 1
    else
        import -window root "$shot" || return 1
    fi
    [ "$(convert "$shot" -format %k info:)" -gt 1 ] || { echo blank; return 0; }
    md5sum <"$shot" | cut -d' ' -f1
}

e2e_wait_still() {
    local deadline=$((SECONDS + 30)) now
    E2E_PICTURE=""
    while [ $SECONDS -lt $deadline ]; do
        now=$(e2e_picture "${1:-}")
        [ "$now" != blank ] && [ "$now" = "$E2E_PICTURE" ] && return 0
        E2E_PICTURE=$now
        sleep 0.3
    done
    e2e_fail "the screen did not settle within 30 s"
}

e2e_wait_change() {
    local deadline=$((SECONDS + 30)) now
    while [ $SECONDS -lt $deadline ]; do
        now=$(e2e_picture "${2:-}")
        [ "$now" != blank ] && [ "$now" != "$1" ] && return 0
        sleep 0.2
    done
    e2e_fail "the screen did not change within 30 s"
}

e2e_close_window() {
    local tool=${E2E_CLOSE_TOOL:-$WG_RUN_DIR/../tests/e2e/close_window}
    [ -x "$tool" ] || e2e_fail "no window-close helper at $tool"
    "$tool" "$E2E_WINDOW" || e2e_fail "could not send the close request"
}

e2e_wait_exit() {
    local timeout=${1:-60}
    local deadline=$((SECONDS + timeout))
    while kill -0 "$E2E_PID" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            e2e_fail "the program did not end within ${timeout} s"
        fi
        sleep 0.1
    done
    E2E_STATUS=0
    wait "$E2E_PID" || E2E_STATUS=$?
    E2E_PID=""
}

e2e_run() {
    local timeout=30
    if [[ $1 =~ ^[0-9]+$ ]]; then
        timeout=$1
        shift
    fi
    e2e_start "$@"
    e2e_wait_exit "$timeout"
}

e2e_stdout() {
    cat "$E2E_TMP/stdout"
}

e2e_stderr() {
    cat "$E2E_TMP/stderr"
}
