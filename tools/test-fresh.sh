#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make test-fresh: the README's two commands as a newcomer runs them, on a
# new Debian 12 (bookworm) root that mmdebstrap bootstraps from this
# machine's own apt sources. The commit under test (HEAD) is cloned into
# /root/zerbo there, a home of mode 0700 as on Debian; as root it runs
# make test, then make package, then make run under Xvfb until ZERBO's
# window and the board's window are mapped and the board's says it runs the
# firmware. It fails on a failed or skipped test and on a package without
# the firmware. The root and its mounts go whatever happens, and a root left
# by a run that was killed is removed before the next one starts.
# Usage: test-fresh.sh [--check-root]
#   ZERBO_FRESH_ROOT  where the root goes (default /var/tmp/zerbo-fresh);
#                     what it printed is kept in ZERBO_FRESH_ROOT.log
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
root=${ZERBO_FRESH_ROOT:-/var/tmp/zerbo-fresh}
log=$root.log
display=:$((90 + RANDOM % 100))

if [ "$(id -u)" -ne 0 ]; then
    echo "make test-fresh needs root: it bootstraps a Debian root with mmdebstrap, mounts" \
        "/proc, /sys and /dev into it and runs make test there as root. Run it as root:" \
        "su - -c \"make -C $source_dir test-fresh\"" >&2
    exit 2
fi
[ "${1:-}" = --check-root ] && exit 0

say() { echo "test-fresh: $*"; }
fail() {
    echo "test-fresh: FAILED: $*" >&2
    exit 1
}

# The processes whose root is the new root, the mounts below it (deepest
# first), and the root itself: never more than that.
processes_in_root() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && echo "${proc#/proc/}"
    done
    return 0
}
mounts_in_root() {
    awk -v r="$root" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}
remove_root() {
    local pids
    pids=$(processes_in_root)
    if [ -n "$pids" ]; then
        kill -9 $pids 2>/dev/null || true
        sleep 1
    fi
    mounts_in_root | while read -r mount_point; do
        umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
    done
    if [ -n "$(mounts_in_root)" ]; then
        echo "test-fresh: mounts remain under $root, which is left as it is:" >&2
        mounts_in_root >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
}
trap 'remove_root || true' EXIT
trap 'exit 130' INT TERM

if [ -e "$root" ]; then
    say "removing $root, left by an earlier run"
    remove_root
fi
free_kib=$(df -Pk "$(dirname "$root")" | awk 'NR == 2 { print $4 }')
[ "$free_kib" -ge $((8 * 1024 * 1024)) ] ||
    fail "$(dirname "$root") has $((free_kib / 1024)) MiB free; the new root needs about 8 GiB"

# This machine's Debian sources, for bookworm: the same mirrors, whatever
# release this machine runs.
host_codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
sources=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
    'Created-By: Packages' | sort -u |
    awk -v host="$host_codename" '{
        suite = $2; sub("^" host, "bookworm", suite)
        if (suite ~ /^bookworm(-updates|-security)?$/) print "deb " $1 " " suite " " $3 }')
[ -n "$sources" ] || fail "this machine's apt knows no Debian sources (apt-get update first)"
# Its settings for fetching (a proxy, a snapshot's dates) hold there too.
apt_options=$(mktemp)
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' >"$apt_options" || true

started=$(date +%s)
say "bootstrapping Debian 12 in $root from: $(echo $sources)"
mmdebstrap --variant=minbase --include=make,git,ca-certificates --aptopt="$apt_options" \
    bookworm "$root" - <<<"$sources" >"$log" 2>&1 || {
    tail -20 "$log"
    fail "mmdebstrap could not bootstrap the root (its output: $log)"
}
rm -f "$apt_options"
cp /etc/resolv.conf "$root/etc/resolv.conf"

mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount -t tmpfs -o mode=0755 tmpfs "$root/run"
install -d -m 1777 "$root/run/lock"

# A newcomer's shell: root's login environment, nothing of this one's.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}
commit=$(git -C "$source_dir" rev-parse HEAD)
[ -z "$(git -C "$source_dir" status --porcelain --untracked-files=no)" ] ||
    say "the work tree has uncommitted changes: they are not tested, only $commit"
git clone -q "$source_dir" "$root/root/zerbo"
git -C "$root/root/zerbo" checkout -q "$commit"
chmod 0700 "$root/root"
say "cloned $commit into /root/zerbo ($(stat -c %a "$root/root") home)"

say "make test (output in $log)"
if ! in_root bash -c 'cd /root/zerbo && make test' >>"$log" 2>&1; then
    tail -40 "$log"
    fail "make test failed in the new root (whole output: $log)"
fi
# make test fails on a skipped test itself; this says so independently.
skipped=$(grep -E '^SKIP +: |\((Skipped|Not Run|Disabled)\)|SKIPPED' "$log" || true)
[ -z "$skipped" ] || fail "tests were skipped: $skipped"
say "make test passed: $(grep -E 'tests passed' "$log" | tr '\n' ' ')"

in_root make -C /root/zerbo package >>"$log" 2>&1 || fail "make package failed (see $log)"
deb=$(ls "$root"/root/zerbo/build/zerbo_*.deb)
# Listed once into a variable: grep -q on a pipe would end dpkg-deb with
# SIGPIPE, which pipefail reports as a missing file.
contents=$(dpkg-deb -c "$deb")
for file in usr/share/zerbo/firmware/zerbo-board.hex usr/share/zerbo/firmware/README.md; do
    grep -q " \./$file\$" <<<"$contents" || fail "$(basename "$deb") lacks /$file"
done
say "the package carries the firmware"

# make run as a user at a desktop: a virtual X server stands in for the
# display (installed here for the check; make run needs none of it).
in_root apt-get install -y -qq xvfb x11-utils >>"$log" 2>&1 || fail "could not install xvfb"
in_root Xvfb "$display" -noreset -screen 0 1920x1080x24 -nolisten tcp >>"$log" 2>&1 &
disown # ended with the root's other processes, without a note from bash
for _ in $(seq 100); do
    in_root env DISPLAY="$display" xwininfo -root >/dev/null 2>&1 && break
    sleep 0.1
done
in_root env DISPLAY="$display" setsid make -C /root/zerbo run >"$root.run.log" 2>&1 &
disown
mapped() { # window name
    grep -q 'Map State: IsViewable' <<<"$(in_root env DISPLAY="$display" xwininfo -name "$1" 2>/dev/null)"
}
board_title='ZERBO virtual board: firmware zerbo-board.hex on a simulated ATmega8'
for _ in $(seq 600); do
    mapped 'ZERBO via ComPort' && mapped "$board_title at 8 MHz" && break
    sleep 0.2
done
mapped 'ZERBO via ComPort' || { cat "$root.run.log"; fail "make run did not map ZERBO's window"; }
mapped "$board_title at 8 MHz" || {
    in_root env DISPLAY="$display" xwininfo -root -tree | grep -i zerbo || true
    fail "make run's board window does not say it runs the firmware"
}
say "make run: ZERBO's window and the board's (firmware on the simulated ATmega8) are mapped"
cat "$root.run.log" >>"$log"
rm -f "$root.run.log"
say "passed in $(($(date +%s) - started)) s; removing $root"
