#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Makefile's package lists: every name in them is a package of Debian 12,
# and every tool, library or CMake package that the build and the scripts
# look for is in the list of the target that uses it (or is Essential),
# with the package that really owns it here. A lookup added to a CMake file
# or a script without a row below fails this test.
# Usage: package_lists_test.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
source_dir=${1:?source directory}
build_dir=${2:?build directory}
failures=0
fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# target, what is looked for, how (program, file, pkg-config, cmake), the package owning it.
lookups="run avr-gcc program gcc-avr
run avr-objcopy program binutils-avr
run avr-size program binutils-avr
run avr/io.h file:/usr/lib/avr/include/avr/io.h avr-libc
run PkgConfig program:pkg-config pkgconf
run simavr pkg-config libsimavr-dev
run Qt6Widgets cmake qt6-base-dev
run Qt6SerialPort cmake qt6-serialport-dev
run Qt6Test cmake qt6-base-dev
run gzip program gzip
firmware avr-gcc program gcc-avr
firmware avr-objcopy program binutils-avr
firmware avr-size program binutils-avr
firmware avr/io.h file:/usr/lib/avr/include/avr/io.h avr-libc
package cpack program cmake
package dpkg-shlibdeps program dpkg-dev
package file program file
test cpack program cmake
test dpkg-deb program dpkg
test dpkg-shlibdeps program dpkg-dev
test file program file
test lintian program lintian
test desktop-file-validate program desktop-file-utils
test appstreamcli program appstream
test man program man-db
test qemu-system-x86_64 program qemu-system-x86
test busybox file:/bin/busybox busybox-static
test libsystemd-shared file:/usr/lib/x86_64-linux-gnu/systemd/libsystemd-shared-252.so libsystemd-shared
test apt-get program apt
test sudo optional sudo
test Xvfb program xvfb
test openbox program openbox
test xwininfo program x11-utils
test xprop program x11-utils
test weston program weston
test Xwayland program xwayland
test libqwayland-generic.so file:/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so qt6-wayland
test avrdude program avrdude
test optiboot.c file:/usr/share/arduino/hardware/arduino/avr/bootloaders/optiboot/optiboot.c arduino-core-avr
test ATmegaBOOT_168_atmega328.hex file:/usr/share/arduino/hardware/arduino/avr/bootloaders/atmega/ATmegaBOOT_168_atmega328.hex arduino-core-avr
bench xcb pkg-config libxcb1-dev
bench Xvfb program xvfb
screenshot Xvfb program xvfb
screenshot xdpyinfo program x11-utils
screenshot import program imagemagick
flash avrdude program avrdude
test-asan clang++ program clang
test-fresh mmdebstrap program mmdebstrap"

# 1. Every lookup in the build files and the scripts has a row above.
looked_for=$(
    cd "$source_dir" || exit
    files=$(git ls-files 'CMakeLists.txt' '*/CMakeLists.txt' 'cmake/*.cmake' '*.sh' 2>/dev/null ||
        find . -name CMakeLists.txt -o -name '*.cmake' -o -name '*.sh')
    # shellcheck disable=SC2086
    grep -hoE 'find_program\([A-Z_]+ [A-Za-z0-9_.+-]+|find_file\([A-Z_]+ [^ )]+|pkg_check_modules\([A-Z_]+ [^)]*\)|find_package\([A-Za-z0-9]+|command -v [A-Za-z0-9_.+-]+|^for tool in [^;]*; do$' $files |
        sed -E 's/find_program\([A-Z_]+ //; s/find_file\([A-Z_]+ //; s/find_package\(//;
                s/pkg_check_modules\([A-Z_]+ (REQUIRED |QUIET |IMPORTED_TARGET )*//; s/\)$//;
                s/^command -v //; s/^for tool in //; s/; do$//'
)
for word in $looked_for; do
    [ "$word" = Qt6 ] && continue # its components are rows of their own, below
    # The test's own stand-ins for apt and sudo are no lookups of the build.
    case $word in grep | env | cat | tee | mktemp | rm | bash) continue ;; esac
    grep -qE "^[a-z-]+ $word " <<<"$lookups" || fail "'$word' is looked for, but no row of this test says which target installs it"
done
# find_package's components: "Qt6:Widgets SerialPort Test" arrive as separate words.
for component in $(grep -hoE 'COMPONENTS [A-Za-z ]+\)' "$source_dir/CMakeLists.txt" | sed 's/COMPONENTS //; s/)//'); do
    grep -qE "^[a-z-]+ Qt6$component " <<<"$lookups" || fail "Qt6 $component is looked for, but has no row"
done

# 2. Every name in every list is a Debian 12 package, not a virtual one.
. /etc/os-release
[ "${VERSION_ID:-}" = 12 ] ||
    fail "the names are checked against Debian 12's package index, and this machine runs $PRETTY_NAME"
targets=$(sed -n 's/^PACKAGES_\([a-z-]*\) :=.*/\1/p' "$source_dir/Makefile")
[ -n "$targets" ] || fail "the Makefile defines no PACKAGES_<target> lists"
all_names=""
for target in $targets; do
    list=$(make -s --no-print-directory -C "$source_dir" "print-packages-$target")
    [ -n "$list" ] || fail "PACKAGES_$target is empty (a list used before it is defined?)"
    eval "list_${target//-/_}=\$list"
    all_names="$all_names $list"
done
names=$(tr ' ' '\n' <<<"$all_names" | sort -u | grep .)
# One apt-cache call for all: a virtual or unknown name has no stanza of its own.
# shellcheck disable=SC2086
known=$(apt-cache show --no-all-versions $names 2>/dev/null | sed -n 's/^Package: //p')
essentials=$(apt-cache show --no-all-versions $names $(cut -d' ' -f4 <<<"$lookups") 2>/dev/null |
    awk '/^Package: / { name = $2 } /^Essential: yes/ { print name }')
for name in $names; do
    grep -qx "$name" <<<"$known" || fail "'$name' in the Makefile's lists is not a Debian 12 package"
done

# 3. Each row's package is in its target's list (or Essential), and owns what is looked for here.
essential() { grep -qx "$1" <<<"$essentials"; }
# dpkg knows a file of a merged /usr by the path its package gave: /bin/busybox, /usr/bin/gzip.
# A command chosen through the alternatives system is owned where its link leads.
owner_of() {
    local real
    real=$(readlink -f "$1")
    { dpkg -S "$1" || dpkg -S "${1#/usr}" || dpkg -S "/usr$1" || dpkg -S "$real" ||
        dpkg -S "${real#/usr}"; } 2>/dev/null | head -1 | cut -d: -f1
}
# A package named in a list may be the one that pulls the owner in (imagemagick).
brings() { apt-cache depends "$1" 2>/dev/null | grep -qE "^ +Depends: $2\$"; }
while read -r target what how package; do
    list_name=list_${target//-/_}
    list=" ${!list_name:-} "
    if [ "$how" != optional ] && [[ $list != *" $package "* ]] && ! essential "$package"; then
        fail "$target looks for $what (package $package), which PACKAGES_$target does not install"
    fi
    case $how in
    program | program:*) path=$(command -v "${how#program:}" 2>/dev/null || command -v "$what" 2>/dev/null) ;;
    file:*) path=${how#file:} ;;
    pkg-config) path=$(pkg-config --variable=pcfiledir "$what" 2>/dev/null)/$what.pc ;;
    cmake) path=$(sed -n "s/^${what}_DIR:PATH=//p" "$build_dir/CMakeCache.txt")/${what}Config.cmake ;;
    optional) continue ;;
    esac
    # Only what this machine has can be checked for its owner; make test
    # installs the lists of run, test, package and firmware, so theirs must be here.
    if [ ! -e "$path" ]; then
        case $target in run | test | package | firmware)
            fail "$what ($target, package $package) is not on this machine after make test's install" ;;
        esac
        continue
    fi
    owner=$(owner_of "$path")
    [ "$owner" = "$package" ] || brings "$package" "$owner" ||
        fail "$what is $path, owned by '$owner', not by $package"
done <<<"$lookups"

[ "$failures" -eq 0 ] && echo "ok: $(wc -w <<<"$all_names") names in $(wc -w <<<"$targets") lists, $(wc -l <<<"$lookups") lookups"
exit $((failures > 0))
