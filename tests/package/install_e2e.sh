# The package as a player meets it: installed with apt-get, the game started from PATH by an
# unprivileged player with an empty home, English chosen, a word of level 1 typed, the window
# closed; progress lands in that home and nothing under /usr changes. The intro asks its question.
# Removing the package leaves the progress. Needs root; otherwise it is skipped (exit 77).
#   bash tests/package/install_e2e.sh [PACKAGE.deb]   (default: the one WG_PACKAGE_GLOB names)
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing the package needs root; this test did not run"
    exit 77
fi
deb=${1:-$(ls ${WG_PACKAGE_GLOB:-build/letter-row_*.deb} 2>/dev/null | head -n1)}
[ -f "$deb" ] || { echo "FAIL: no package to install (${1:-$WG_PACKAGE_GLOB})"; exit 1; }
deb=$(realpath "$deb")
export WG_RUN_DIR=${WG_RUN_DIR:-$(dirname "$deb")/run}
source "$(dirname "$0")/../e2e/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
player=nobody
group=$(id -gn "$player")

apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
apt_get install --reinstall "$deb" >"$E2E_TMP/install.log" 2>&1 \
    || { cat "$E2E_TMP/install.log"; e2e_fail "apt-get install $deb"; }
installed=1
remove_package() {
    [ -n "${installed:-}" ] && apt_get remove letter-row >/dev/null 2>&1
    installed=""
}
trap 'remove_package; e2e_cleanup' EXIT
e2e_pass "installed $(basename "$deb")"
# A player's PATH on Debian, which (unlike root's) holds /usr/games.
player_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
[ "$(PATH=$player_path command -v letter-row)" = /usr/games/letter-row ] \
    || e2e_fail "letter-row is not on a player's PATH"

# The player's home: empty, theirs, reachable through the test's folder.
chmod 711 "$E2E_TMP"
home=$E2E_TMP/home
mkdir "$home" && chown "$player:$group" "$home"
progress=$home/.local/share/letter-row/save
touch "$E2E_TMP/before"

# as_player COMMAND...: COMMAND in the background as the player, in the home, with a login's
# environment on the test's display; $E2E_PID is its process.
as_player() {
    (cd "$home" && exec setpriv --reuid="$player" --regid="$group" --clear-groups \
        env -i HOME="$home" PATH="$player_path" DISPLAY="$DISPLAY" \
        LANG=C.UTF-8 LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy "$@") \
        >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
    E2E_PID=$!
}

# click_and_wait X Y: a click, then up to 20 s for the screen to change.
click_and_wait() {
    local before after tries=0
    before=$(import -window root png:- | md5sum)
    e2e_click "$1" "$2"
    while :; do
        after=$(import -window root png:- | md5sum)
        [ "$after" != "$before" ] && return 0
        tries=$((tries + 1))
        [ $tries -lt 40 ] || e2e_fail "nothing changed after a click at $1 $2"
        sleep 0.5
    done
}

e2e_start_xvfb 1280x720
mapfile -t level1 < <(python3 "$HERE/../playthrough/game_data.py" level /usr/share/games/letter-row/en.dat 0)
word=${level1[1]}
[ -n "$word" ] || e2e_fail "no word of level 1 in the installed English data"

as_player letter-row
e2e_wait_window 60
sleep 1
# Options, the language screen, English, then a new game and its three story pages.
click_and_wait 165 513
click_and_wait 734 407
click_and_wait 640 99
click_and_wait 165 439
for page in 1 2 3; do click_and_wait 640 669; done
e2e_type "$word"
sleep 1
echo "screenshot: $(e2e_screenshot installed_game)"
e2e_close_window
e2e_wait_exit 60
e2e_expect_eq "$E2E_STATUS" 0 "exit status of the installed game"

[ -s "$progress/progress_en.dat" ] || e2e_fail "no progress in $progress: $(ls -R "$home")"
level_file=$(ls "$progress"/*.sav 2>/dev/null | head -n1)
[ -n "$level_file" ] && grep -q "\"$word\"" "$level_file" \
    || e2e_fail "the level file in $progress lacks '$word'"
e2e_pass "progress and the level file are in the player's home"
written=$(find /usr -xdev -user "$player" 2>/dev/null
    find /usr/games /usr/share/games/letter-row -newer "$E2E_TMP/before")
[ -z "$written" ] || e2e_fail "written under /usr: $written"
dpkg --verify letter-row || e2e_fail "the installed files changed"
e2e_pass "nothing written under /usr"

as_player letter-row-intro
e2e_wait_titled_window "Start Full Screen?"
e2e_pass "the installed intro asks its question"
# Only the question is checked here; the intro's own end is tested with the build.
kill -KILL "$E2E_PID" 2>/dev/null
wait "$E2E_PID" 2>/dev/null
E2E_PID=""

remove_package
[ ! -e /usr/games/letter-row ] || e2e_fail "letter-row is still there after removal"
[ -s "$progress/progress_en.dat" ] || e2e_fail "removal took the player's progress"
e2e_pass "removed; the player's progress stays"
