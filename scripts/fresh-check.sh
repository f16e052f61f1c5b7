#!/usr/bin/env bash
# Checks the README's promise on a new machine: in a clean Debian 12 root made by debootstrap, with
# nothing installed by hand, a clean clone of this repository's HEAD runs the README's commands as
# root: the run command for the game and for the intro (each until it prints its screenshot path),
# then the test command, then the package is built, installed with apt-get and the game started
# once. Each command runs as a bare container runs it: `env -i` with only HOME and PATH, so no
# LANG, no LC_*, no TERM; whatever needs a locale must set it itself. Not part of CI: it downloads a system and builds everything from scratch (an hour or more).
#
#   bash scripts/fresh-check.sh [STEP...]     steps: game intro test package (default: all four)
#
# The debootstrap'd base is kept as a tarball in $FRESH_CACHE (default /var/cache/letter-row-fresh;
# delete it to fetch a new one); every run unpacks a pristine copy of it. Logs and screenshots of
# each run stay in $FRESH_CACHE/logs/<time>/. FRESH_KEEP=1 keeps the root for a look inside.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-check: needs root (debootstrap, chroot and mounts)" >&2
    exit 2
fi
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(game intro test package)
for step in "${steps[@]}"; do
    case $step in
        game | intro | test | package) ;;
        *) echo "fresh-check: unknown step '$step' (game, intro, test, package)" >&2; exit 2 ;;
    esac
done

cache=${FRESH_CACHE:-/var/cache/letter-row-fresh}
base=$cache/bookworm-base.tar
mirror=http://deb.debian.org/debian
logs=$cache/logs/$(date -u +%Y%m%dT%H%M%SZ)
mkdir -p "$logs"
commit=$(git rev-parse HEAD)
echo "fresh-check: commit $commit; logs in $logs"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "fresh-check: the working tree has uncommitted changes; they are not checked"
fi

if ! command -v debootstrap >/dev/null; then
    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap \
        || { echo "fresh-check: cannot install debootstrap" >&2; exit 1; }
fi

work=$(mktemp -d /var/tmp/letter-row-fresh.XXXXXX)
root=$work/root
mounted=()

# Processes left inside the root (an X server, a program) would keep its mounts busy.
stop_processes_in_root() {
    local link pid
    for link in /proc/[0-9]*/root; do
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] || continue
        pid=${link#/proc/}
        pid=${pid%/root}
        kill -9 "$pid" 2>/dev/null || true
    done
}

cleanup() {
    stop_processes_in_root
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
    done
    if [ "${FRESH_KEEP:-0}" = 1 ]; then
        echo "fresh-check: kept $root"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

results=()
failures=0
# record NAME STATUS SECONDS [NOTE]
record() {
    local verdict=pass
    if [ "$2" -ne 0 ]; then
        verdict=FAIL
        failures=$((failures + 1))
    fi
    results+=("$(printf 'fresh-check: %-8s %s  %5d s  %s' "$1" "$verdict" "$3" "${4:-}")")
    echo "${results[-1]}"
}

# The base: a debootstrap'd Debian 12 with the release, update and security suites, as a new
# installation has them.
started=$SECONDS
if [ ! -f "$base" ]; then
    mkdir -p "$cache" "$work/base"
    echo "fresh-check: debootstrap bookworm from $mirror"
    status=0
    debootstrap --arch=amd64 bookworm "$work/base" "$mirror" >"$logs/debootstrap.log" 2>&1 || status=$?
    if [ $status -eq 0 ]; then
        cat >"$work/base/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
        tar -C "$work/base" --numeric-owner -cpf "$base.partial" . && mv "$base.partial" "$base" || status=1
    fi
    rm -rf "$work/base"
    record base $status $((SECONDS - started)) "debootstrap (log: $logs/debootstrap.log)"
    [ $status -eq 0 ] || exit 1
fi
mkdir -p "$root"
tar -C "$root" --numeric-owner -xpf "$base" || { echo "fresh-check: cannot unpack $base" >&2; exit 1; }
# The root reaches the network as this machine does: through its name servers, trusting the
# certificate authorities it adds to Debian's (a proxy that signs the npm registry's certificates
# itself needs its own); installing ca-certificates in the root takes them in.
cp /etc/resolv.conf "$root/etc/resolv.conf"
if [ -d /usr/local/share/ca-certificates ]; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
fi

mount_in_root() {
    local target=$root$1
    shift
    mount "$@" "$target" || { echo "fresh-check: cannot mount $target" >&2; exit 1; }
    mounted+=("$target")
}
mount_in_root /proc -t proc proc
mount_in_root /sys -t sysfs sysfs
mount_in_root /dev --bind /dev
mount_in_root /dev/pts --bind /dev/pts
mount_in_root /dev/shm -t tmpfs -o mode=1777 tmpfs

# A clean clone of HEAD: no build folders, nothing uncommitted.
clone=$root/root/letter-row
git clone -q --no-checkout "$(git rev-parse --path-format=absolute --git-common-dir)" "$clone" \
    && git -C "$clone" checkout -q --detach "$commit" \
    || { echo "fresh-check: cannot clone $repo" >&2; exit 1; }

# in_root SECONDS COMMAND: runs COMMAND with bash in the clone, as root, with the bare environment
# of a container (no locale, no terminal) and no display.
in_root() {
    local limit=$1
    shift
    timeout --kill-after=30 "$limit" chroot "$root" /usr/bin/env -i HOME=/root \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/letter-row && $1"
}

# The run command prints "Screenshot: PATH" once the program has shown its window.
run_step() {
    local name=$1 command=$2 log=$logs/$1.log status=0 shot
    started=$SECONDS
    in_root 7200 "$command" >"$log" 2>&1 || status=$?
    shot=$(sed -n 's/^Screenshot: //p' "$log" | tail -n1)
    if [ $status -eq 0 ] && [ -n "$shot" ] && [ -f "$root$shot" ]; then
        cp "$root$shot" "$logs/"
        record "$name" 0 $((SECONDS - started)) "$command -> $logs/$(basename "$shot")"
    else
        [ $status -ne 0 ] || status=1
        record "$name" $status $((SECONDS - started)) "$command: $(tail -n1 "$log") (log: $log)"
    fi
}

for step in "${steps[@]}"; do
    case $step in
        game) run_step game "bash scripts/run.sh" ;;
        intro) run_step intro "bash scripts/run.sh intro" ;;
        test)
            started=$SECONDS
            status=0
            in_root 10800 "bash scripts/test.sh" >"$logs/test.log" 2>&1 || status=$?
            summary=$(grep -E '[0-9]+% tests passed|^FAILED:' "$logs/test.log" | tr '\n' ' ')
            record test $status $((SECONDS - started)) "bash scripts/test.sh: ${summary:-no summary} (log: $logs/test.log)"
            ;;
        package)
            # What the README's Installing section says: the package built, installed with
            # apt-get and the game started once by an unprivileged player (the installed-package
            # test does that, plays a word, and removes the package again).
            started=$SECONDS
            status=0
            in_root 7200 "bash scripts/package.sh && bash scripts/build.sh close_window \
                && bash tests/package/install_e2e.sh" >"$logs/package.log" 2>&1 || status=$?
            record package $status $((SECONDS - started)) "package.sh, apt-get install, start and remove: $(tail -n1 "$logs/package.log") (log: $logs/package.log)"
            ;;
    esac
done

echo "=== fresh-check of $commit on Debian 12 (bookworm)"
printf '%s\n' "${results[@]}"
echo "fresh-check: $(( ${#steps[@]} - failures )) passed, $failures failed"
[ $failures -eq 0 ]
