#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and checks it as a user and Debian would: its
# files and their permissions, its dependencies and size, that the unpacked
# programs start, the desktop entry, the AppStream metainfo, the manual pages,
# lintian, and an install, upgrade and removal in a scratch dpkg database.
# Usage: check-package.sh BUILD_DIR VERSION APPSTREAM_ID (run by ctest as package_check)
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
version=${2:?version}
appstream_id=${3:?AppStream id}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
scratch=$build/package-check
arch=$(dpkg --print-architecture)
deb_name=zerbo_${version}_${arch}.deb

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

for tool in cpack dpkg-deb dpkg-shlibdeps file lintian desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null ||
        { echo "missing $tool: make test installs it (tools/install-deps.sh)"; exit 1; }
done
# Minimized Ubuntu images replace man with a stub and keep the real one aside.
man=man
[ -x /usr/bin/man.REAL ] && man=/usr/bin/man.REAL

rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT

# 0. The README's install line, run from the root of a clone, names the file
#    make package writes (build/ is the Makefile's BUILD_DIR).
readme_deb=$(grep -o 'apt install \./[^ `]*\.deb' "$source_dir/README.md" | head -1 | sed 's|apt install \./||')
if [ "$readme_deb" = "build/zerbo_${version}_amd64.deb" ] &&
    grep -q '^BUILD_DIR ?= build$' "$source_dir/Makefile"; then
    pass "README's install line names build/zerbo_${version}_amd64.deb, where make package writes it"
else
    fail "README's install line names '$readme_deb', not build/zerbo_${version}_amd64.deb"
fi

# 1. The package builds.
start=$(date +%s)
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "FAIL: cpack could not build the package"
    exit 1
fi
deb=$scratch/$deb_name
[ -f "$deb" ] || { ls "$scratch"; echo "FAIL: no $deb_name"; exit 1; }
pass "built $deb_name in $(($(date +%s) - start)) s, $(stat -c %s "$deb") bytes"

# 2. Its files, with owner and permissions; every directory 0755, nothing else inside.
expected_files="-rw-r--r-- root/root ./usr/share/applications/zerbo.desktop
-rw-r--r-- root/root ./usr/share/doc/zerbo/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/zerbo/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/zerbo.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/zerbo.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/zerbo.svg
-rw-r--r-- root/root ./usr/share/man/man1/zerbo-board.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/zerbo.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/$appstream_id.metainfo.xml
-rw-r--r-- root/root ./usr/share/zerbo/firmware/README.md
-rw-r--r-- root/root ./usr/share/zerbo/firmware/zerbo-board-uno.hex
-rw-r--r-- root/root ./usr/share/zerbo/firmware/zerbo-board.hex
-rwxr-xr-x root/root ./usr/bin/zerbo
-rwxr-xr-x root/root ./usr/bin/zerbo-board"
dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' >"$scratch/contents"
actual_files=$(grep -v '^d' "$scratch/contents" | LC_ALL=C sort)
if [ "$actual_files" = "$(LC_ALL=C sort <<<"$expected_files")" ]; then
    pass "dpkg-deb lists the $(wc -l <<<"$expected_files") expected files with their permissions"
else
    fail "dpkg-deb lists other files or permissions:"
    diff <(LC_ALL=C sort <<<"$expected_files") <(echo "$actual_files") || true
fi
odd_dirs=$(grep '^d' "$scratch/contents" | grep -v '^drwxr-xr-x root/root ' || true)
[ -z "$odd_dirs" ] && pass "directories are drwxr-xr-x root/root" || fail "directories: $odd_dirs"

# 3. The control fields: dependencies from the binaries, runtime packages only.
field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "Depends: $depends"
# libsimavr2: the board runs the packaged firmware on the simulator's runtime library.
for needed in libqt6widgets6 libqt6serialport6 libqt6core6 libsimavr2 fonts-liberation; do
    grep -qw "$needed" <<<"$depends" && pass "depends on $needed" || fail "no $needed in Depends"
done
grep -q -- '-dev\b' <<<"$depends" && fail "Depends names a development package" ||
    pass "no development package in Depends"
[ "$(field Version)" = "$version" ] && pass "version $version" || fail "Version is $(field Version)"
installed_kib=$(field Installed-Size)
[ "$installed_kib" -lt 2048 ] && pass "installed size $installed_kib KiB (under 2 MB)" ||
    fail "installed size $installed_kib KiB, not under 2 MB"
for name in Maintainer Section Description; do
    [ -n "$(field "$name")" ] && pass "$name: $(field "$name" | head -1)" || fail "no $name"
done
# Nothing runs as root: no maintainer scripts and no set-user-ID files.
dpkg-deb -e "$deb" "$scratch/control"
scripts=$(cd "$scratch/control" && ls -d preinst postinst prerm postrm config 2>/dev/null || true)
[ -z "$scripts" ] && pass "no maintainer scripts" || fail "maintainer scripts: $scripts"
grep -q '^-..[sS]\|^-.....[sS]' "$scratch/contents" && fail "a set-user-ID or set-group-ID file" ||
    pass "no set-user-ID or set-group-ID file"

# 4. Unpacked into a scratch directory, the programs start and agree on the version.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
reported=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/zerbo" --version 2>"$scratch/stderr") ||
    cat "$scratch/stderr"
[ "$reported" = "zerbo $version" ] && pass "zerbo --version: $reported" ||
    fail "zerbo --version said: $reported"
if help=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/zerbo-board" --help 2>&1) &&
    grep -q -- '--headless' <<<"$help"; then
    pass "zerbo-board --help"
else
    fail "zerbo-board --help said: $help"
fi
# Without --firmware the packaged board runs the packaged image, found beside
# it wherever the package was unpacked; Key 1 pressed at once, it sends the table.
board_said=$scratch/board-said
timeout 10 "$root/usr/bin/zerbo-board" --headless --send-table-after 0 \
    --link "$scratch/board-link" >"$board_said" 2>&1 &
board=$!
for _ in $(seq 100); do
    grep -q '^table sent' "$board_said" && break
    sleep 0.1
done
kill "$board" 2>/dev/null || true
wait "$board" 2>/dev/null || true
if grep -q '^zerbo-board: runs the firmware zerbo-board.hex' "$board_said" &&
    grep -q '^table sent' "$board_said"; then
    pass "zerbo-board runs the packaged firmware and sends the table"
else
    fail "zerbo-board without --firmware said: $(cat "$board_said")"
fi
file "$root/usr/bin/zerbo" "$root/usr/bin/zerbo-board" | grep -v ', stripped$' &&
    fail "a binary is not stripped" || pass "binaries stripped"

# 5. Desktop entry and AppStream metainfo.
desktop=$root/usr/share/applications/zerbo.desktop
if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
    pass "desktop-file-validate"
else
    fail "desktop-file-validate: $out"
fi
metainfo=$root/usr/share/metainfo/$appstream_id.metainfo.xml
overrides=()
# See the id in cmake/Packaging.cmake: a plain name until ZERBO has a domain.
[[ $appstream_id != *.* ]] && overrides=(--override=cid-desktopapp-is-not-rdns=info)
if out=$(appstreamcli validate --no-net "${overrides[@]}" "$metainfo" 2>&1); then
    pass "appstreamcli validate"
else
    fail "appstreamcli validate: $out"
fi
if out=$(appstreamcli validate-tree --no-net "${overrides[@]}" "$root" 2>&1); then
    pass "appstreamcli validate-tree (metainfo, desktop entry and icons together)"
else
    fail "appstreamcli validate-tree: $out"
fi
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo" &&
    pass "metainfo release $version with its date" || fail "metainfo has no release $version"

# 6. The manual pages render without a warning.
for page in zerbo zerbo-board; do
    path=$root/usr/share/man/man1/$page.1.gz
    if out=$(LC_ALL=C.UTF-8 MANWIDTH=80 "$man" --warnings -l "$path" 2>&1 >"$scratch/$page.txt") &&
        [ -z "$out" ] && [ -s "$scratch/$page.txt" ]; then
        pass "man --warnings -l $page.1.gz"
    else
        fail "man $page: $out"
    fi
done

# 7. lintian: no errors; its warnings are listed, with their reasons, in the README.
start=$(date +%s)
lintian --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 || true
echo "lintian took $(($(date +%s) - start)) s"
grep -v '^running with root privileges' "$scratch/lintian.log" || true
if grep -q '^E: ' "$scratch/lintian.log"; then
    fail "lintian reports errors"
else
    pass "lintian reports no errors"
fi
for tag in $(awk '/^W: / {print $3}' "$scratch/lintian.log" | sort -u); do
    grep -q "\`$tag\`" "$source_dir/README.md" ||
        echo "note: lintian warning $tag is not listed in the README's development notes"
done

# 8. dpkg, in a scratch database: an earlier version, the upgrade over it, the removal.
sys=$scratch/sys
mkdir -p "$sys/var/lib/dpkg/info" "$sys/var/lib/dpkg/updates" "$sys/var/lib/dpkg/triggers"
touch "$sys/var/lib/dpkg/status" "$sys/var/lib/dpkg/available"
dpkg_scratch() {
    dpkg --root="$sys" --log="$scratch/dpkg.log" --force-not-root --force-depends \
        --force-bad-path --no-triggers "$@" >>"$scratch/dpkg.out" 2>&1
}
# The earlier version: this package, relabelled.
dpkg-deb -R "$deb" "$scratch/earlier"
sed -i "s/^Version: .*/Version: 0.0.1/" "$scratch/earlier/DEBIAN/control"
dpkg-deb -b --root-owner-group "$scratch/earlier" "$scratch/earlier.deb" >/dev/null
if dpkg_scratch -i "$scratch/earlier.deb" && dpkg_scratch -i "$deb" &&
    [ "$(dpkg-query --admindir="$sys/var/lib/dpkg" -W -f='${Version}' zerbo)" = "$version" ]; then
    pass "installs over version 0.0.1"
else
    cat "$scratch/dpkg.out"
    fail "installing over an earlier version"
fi
left=$(dpkg_scratch --purge zerbo && cd "$sys" && find . -path ./var -prune -o -type f -print)
[ -z "$left" ] && [ ! -e "$sys/usr/bin/zerbo" ] && pass "removal leaves nothing behind" ||
    { cat "$scratch/dpkg.out"; fail "left behind after removal: $left"; }

echo
if [ "$failures" -ne 0 ]; then
    echo "package check: $failures failed"
    exit 1
fi
echo "package check: all passed ($deb_name, installed size $installed_kib KiB)"
