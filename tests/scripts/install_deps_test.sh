#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tools/install-deps.sh as root, as a user with sudo, and as a user without
# it, with apt-get, dpkg-query, id and sudo replaced by stand-ins that log
# what they were asked: nothing is installed for real. PATH holds only the
# stand-ins, so a sudo of the machine's own is never found.
set -uo pipefail
unset DEBIAN_FRONTEND
script=$1
bash=$(command -v bash)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir "$bin"
for tool in grep env cat tee mktemp rm; do ln -s "$(command -v $tool)" "$bin/$tool"; done
stub() { printf '#!%s\n%s\n' "$bash" "$2" >"$bin/$1"; chmod +x "$bin/$1"; }
stub dpkg-query 'case "$*" in *installed-pkg*) printf "install ok installed";; *) exit 1;; esac'
stub id 'echo "$FAKE_UID"'
# FAKE_APT=offline: no source answers, as without a network; broken: the install fails otherwise.
stub apt-get 'echo "apt-get $* DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-} by ${VIA:-root}" >>"$LOG"
case "${FAKE_APT:-}:$1" in
offline:update) echo "W: Failed to fetch http://deb.example/dists/bookworm/InRelease  Temporary failure resolving '"'"'deb.example'"'"'";;
offline:install) echo "E: Unable to locate package $4"; exit 100;;
broken:install) echo "E: Sub-process /usr/bin/dpkg returned an error code (1)"; exit 100;;
esac'
failures=0
check() { # name, expected status, expected log, expected stderr part
    if [ "$status" != "$2" ] || [ "$(cat "$LOG" 2>/dev/null)" != "$3" ] ||
        { [ -n "$4" ] && ! grep -qF -- "$4" "$work/err"; }; then
        echo "FAIL $1: status $status, log: $(cat "$LOG" 2>/dev/null), stderr: $(cat "$work/err")"
        failures=$((failures + 1))
    else
        echo "ok   $1"
    fi
}
run() { # FAKE_UID, args...
    export LOG=$work/log.$RANDOM FAKE_UID=$1
    shift
    PATH=$bin "$bash" "$script" "$@" >/dev/null 2>"$work/err"
    status=$?
}

# The two calls of an install: by (root or sudo), then the packages.
installs() { printf 'apt-get update -qq DEBIAN_FRONTEND= by %s\napt-get install -y -qq %s DEBIAN_FRONTEND=noninteractive by %s' "$1" "$2" "$1"; }
one_line() { [ "$(grep -c . "$work/err")" = 1 ] || { echo "FAIL $1: more than one line"; failures=$((failures + 1)); }; }

run 0 installed-pkg
check "nothing missing" 0 "" ""

run 0 pkg-a installed-pkg pkg-b
check "root" 0 "$(installs root "pkg-a pkg-b")" ""

stub sudo 'VIA=sudo "$@"'
run 1000 pkg-a
check "user with sudo" 0 "$(installs sudo pkg-a)" ""
rm "$bin/sudo"

run 1000 pkg-a pkg-b
check "user without sudo" 1 "" 'missing packages pkg-a pkg-b; install them as root: su - -c "apt-get install pkg-a pkg-b"'
one_line "user without sudo"

# Without a network: one line names the packages and says apt could not reach its sources.
FAKE_APT=offline run 0 pkg-a pkg-b
check "offline" 1 "$(installs root "pkg-a pkg-b")" \
    "install-deps.sh: could not install pkg-a pkg-b: apt could not reach its sources"
one_line offline
# Another failure of the install is not blamed on the network.
FAKE_APT=broken run 0 pkg-a
check "install fails" 1 "$(installs root pkg-a)" "could not install pkg-a: apt-get install failed (above)"
grep -q "reach its sources" "$work/err" && { echo "FAIL install fails: blamed on the network"; failures=$((failures + 1)); }

exit $((failures > 0))
