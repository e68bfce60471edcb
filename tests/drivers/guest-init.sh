#!/bin/busybox sh
# SPDX-License-Identifier: GPL-3.0-or-later
# /init of the driver test's guest: loads the modules, mounts the host's root
# (read-only) and the test's output directory over 9p, and runs the checks in
# a chroot of the host's system, so that the real zerbo binary runs inside.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
# Modules in any order: each round loads what the rounds before allowed.
pending=$(find /modules -name '*.ko')
for round in 1 2 3 4 5 6; do
    left=""
    for module in $pending; do
        insmod "$module" 2>/dev/null || left="$left $module"
    done
    pending=$left
done
[ -n "$pending" ] && echo "driver test: modules not loaded:$pending"
mkdir -p /host
mount -t 9p -o trans=virtio,version=9p2000.L,ro hostroot /host || { echo "driver test: no 9p root"; poweroff -f; }
# The host's own /tmp and /run, still reachable under the guest's fresh ones.
mkdir -p /hosttmp /hostrun
mount --bind /host/tmp /hosttmp
mount --bind /host/run /hostrun
mount -t tmpfs tmp /host/tmp
mount -t tmpfs run /host/run
while read -r kept; do
    case $kept in
    /tmp/*) from=/hosttmp${kept#/tmp} ;;
    /run/*) from=/hostrun${kept#/run} ;;
    *) continue ;;
    esac
    mkdir -p "/host$kept" && mount --bind "$from" "/host$kept"
done </keep-paths
mkdir -p /host/tmp/out
mount -t 9p -o trans=virtio,version=9p2000.L out /host/tmp/out
mount --bind /dev /host/dev
mount -t devpts devpts /host/dev/pts 2>/dev/null
mount --bind /proc /host/proc
mount --bind /sys /host/sys
checks=$(cat /checks-path)
if grep -q zerbo.shell /proc/cmdline; then
    # Debugging: a shell on the console, in the host's system.
    setsid cttyhack chroot /host /bin/bash -l </dev/hvc0 >/dev/hvc0 2>&1
else
    chroot /host /bin/sh "$checks" /tmp/out
fi
sync
poweroff -f
