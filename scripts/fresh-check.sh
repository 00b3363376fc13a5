#!/usr/bin/env bash
# Runs the README's commands on a minimal Debian 12, so that a package missing from the install
# list cannot hide behind one installed on this machine. Run as root, after every change to the
# dependencies:
#   scripts/fresh-check.sh test            ./scripts/test.sh in the fresh system
#   scripts/fresh-check.sh start           ./scripts/start.sh offscreen; passes when Velkor still
#                                          runs after 30 s
#   scripts/fresh-check.sh package DEB     installs the Debian package DEB with apt-get and runs
#                                          velkor --version, velkor-sim --help, velkor-cli --version
#                                          and ports, and velkor offscreen; then asks xdg-mime
#                                          for the type of a log file written there, which passes
#                                          when it is Velkor's log type
# The minimal system (debootstrap --variant=minbase bookworm, with this machine's apt sources) is
# built once into $VELKOR_FRESH_CACHE (default /var/cache/velkor-fresh/bookworm) and kept pristine:
# each check runs in a scratch copy of it that is removed afterwards. The tree copied in is the
# committed HEAD (git archive): nothing from build folders or uncommitted edits.
set -euo pipefail
# The whole script is read before it runs (the braces), so that editing or checking out this
# file during a long check cannot change what the running check does.
{
mode=${1:-}
case "$mode" in
    test | start) ;;
    package)
        deb=${2:?"usage: $0 package path/to/velkor_VERSION_amd64.deb"}
        deb=$(realpath "$deb")
        ;;
    *)
        echo "usage: $0 test|start|package DEB" >&2
        exit 2
        ;;
esac
if [ "$(id -u)" -ne 0 ]; then
    echo "$0 must run as root (debootstrap, chroot and mounts)" >&2
    exit 1
fi

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${VELKOR_FRESH_CACHE:-/var/cache/velkor-fresh}
pristine=$cache/bookworm
started=$(date +%s)

# The first Debian archive of this machine's sources serves debootstrap too.
mirror() {
    local uri
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^https?:/) { print $i; exit } }')
    if [ -z "$uri" ]; then
        uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
            awk '$1 == "URIs:" && $2 ~ /\/debian\/?$/ { print $2; exit }')
    fi
    echo "${uri:-http://deb.debian.org/debian}"
}

build_pristine() {
    [ -e "$pristine/.velkor-complete" ] && return 0
    command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap
    echo "== building the minimal Debian 12 in $pristine (once)"
    rm -rf "$pristine"
    mkdir -p "$cache"
    debootstrap --variant=minbase bookworm "$pristine" "$(mirror)"
    # This machine's apt sources and the settings that govern how it reaches them.
    rm -f "$pristine/etc/apt/sources.list"
    cp -a /etc/apt/sources.list "$pristine/etc/apt/" 2>/dev/null || true
    find /etc/apt/sources.list.d -maxdepth 1 \( -name '*.list' -o -name '*.sources' \) \
        -exec cp -a {} "$pristine/etc/apt/sources.list.d/" \;
    cp -a /usr/share/keyrings/. "$pristine/usr/share/keyrings/"
    apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' \
        >"$pristine/etc/apt/apt.conf.d/90host" || true
    # No services start in the check's system.
    printf '#!/bin/sh\nexit 101\n' >"$pristine/usr/sbin/policy-rc.d"
    chmod 755 "$pristine/usr/sbin/policy-rc.d"
    touch "$pristine/.velkor-complete"
}

root=""
mounted=()
cleanup() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -l "${mounted[$i]}" 2>/dev/null || true
    done
    [ -n "$root" ] && rm -rf --one-file-system "$root"
    echo "== $mode check took $((($(date +%s) - started) / 60)) min $((($(date +%s) - started) % 60)) s"
}
trap cleanup EXIT

mount_in() {
    local target=$root$1
    shift
    mount "$@" "$target"
    mounted+=("$target")
}

build_pristine
root=$(mktemp -d "$cache/run.XXXXXX")
echo "== fresh copy of the minimal system in $root"
cp -a "$pristine/." "$root/"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 TERM=dumb "$@"
}

# The running process called `name` whose root is the scratch system, if any.
pid_in_root() {
    local name=$1 pid
    for pid in /proc/[0-9]*; do
        [ "$(cat "$pid/comm" 2>/dev/null)" = "$name" ] || continue
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] || continue
        basename "$pid"
        return 0
    done
    return 1
}

# Waits `seconds` and passes when `name` still runs in the scratch system; then ends it.
still_running_after() {
    local name=$1 seconds=$2 pid
    sleep "$seconds"
    if ! pid=$(pid_in_root "$name"); then
        echo "FAIL: $name is not running after $seconds s" >&2
        return 1
    fi
    echo "== $name still running after $seconds s"
    kill "$pid"
}

# Runs `command` in the background until it prints `ready`, then checks `name` after 30 s.
start_and_watch() {
    local ready=$1 name=$2 seconds=$3 out=$root/tmp/start.out
    shift 3
    : >"$out"
    in_root "$@" >"$out" 2>&1 &
    local job=$!
    until grep -q "$ready" "$out"; do
        if ! kill -0 "$job" 2>/dev/null; then
            cat "$out" >&2
            echo "FAIL: ended before $name started" >&2
            return 1
        fi
        sleep 2
    done
    local status=0
    still_running_after "$name" "$seconds" || status=1
    wait "$job" || true
    tail -n 20 "$out"
    return "$status"
}

case "$mode" in
    test | start)
        mkdir -p "$root/root/velkor"
        git -C "$repo" archive HEAD | tar -x -C "$root/root/velkor"
        echo "== copied $(git -C "$repo" rev-parse --short HEAD) into /root/velkor"
        ;;
esac

case "$mode" in
    test)
        in_root sh -c 'cd /root/velkor && ./scripts/test.sh'
        ;;
    start)
        start_and_watch "reached as Com1" velkor 30 \
            sh -c 'cd /root/velkor && QT_QPA_PLATFORM=offscreen ./scripts/start.sh'
        ;;
    package)
        cp "$deb" "$root/tmp/"
        in_root apt-get update -qq
        # The check's own tools for asking the type of a file as a file manager would (not the
        # package's dependencies): xdg-mime, the MIME database and the reader xdg-mime uses
        # outside a desktop. They come first, so that the package's own
        # installation is what brings its log type into the MIME database (a dpkg trigger).
        in_root sh -c 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xdg-utils shared-mime-info libfile-mimeinfo-perl >/dev/null'
        in_root sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends /tmp/$(basename "$deb")"
        in_root velkor --version
        in_root velkor-sim --help
        in_root velkor-cli --version
        in_root sh -c 'velkor-cli ports | head -n 3'
        start_and_watch "" velkor 10 sh -c 'echo; QT_QPA_PLATFORM=offscreen exec velkor'
        printf '"Data Logging Interval",0.1\r\n"Maximum RPM Display",10000\r\n' >"$root/root/run.log"
        filetype=$(in_root xdg-mime query filetype /root/run.log)
        echo "== xdg-mime query filetype run.log: $filetype"
        if [ "$filetype" != application/x-velkor-log ]; then
            echo "FAIL: a log file is $filetype, not application/x-velkor-log" >&2
            exit 1
        fi
        ;;
esac
echo "== $mode check passed"
exit 0
}
