#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The driver test's checks, run inside the guest in a chroot of the host's
# system: the real zerbo on the 8250 (ttyS1) and FTDI (ttyUSB0) drivers.
# Writes "ok: ..." and "FAIL: ..." lines to OUT/results, "done" at the end.
out=${1:?output directory}
. "$out/env"
results=$out/results
zerbo=$build/zerbo
export QT_QPA_PLATFORM=offscreen HOME=/tmp XDG_RUNTIME_DIR=/tmp
unset ZERBO_PORT
: >"$results"
ok() { echo "ok: $*" >>"$results"; }
fail() { echo "FAIL: $*" >>"$results"; }
check() { # description, then a command that must succeed
    what=$1
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}
echo "guest: kernel $(uname -r)" >>"$results"

# The udev database, so that the ports carry their USB ids as on a desktop:
# the unpacked udev's rules, applied to each serial device once (a daemon
# in this chroot would be one more thing to wait for).
export SYSTEMD_IGNORE_CHROOT=1
mkdir -p /run/udev/rules.d
cp "$udev_root"/lib/udev/rules.d/*.rules /run/udev/rules.d/
for _ in $(seq 300); do [ -e /sys/class/tty/ttyUSB0 ] && break; sleep 0.1; done
for device in /sys/class/tty/ttyUSB* /sys/class/tty/ttyS[0-3]; do
    "$udev_root"/bin/udevadm test --action=add "$device" >>"$out/udev.log" 2>&1
done
[ -e /dev/ttyUSB0 ] || fail "no /dev/ttyUSB0: the FTDI adapter did not come up"

# zerbo with the arguments; its status in $status, its output in OUT/NAME.txt.
run() {
    name=$1
    shift
    timeout 60 "$@" >"$out/$name.txt" 2>&1
    status=$?
}
says() { grep -q -- "$2" "$out/$1.txt"; }
# The driver's own modem-control state of ttyS1, read without opening it.
uart_lines_up() { grep '^1:' /proc/tty/driver/serial | grep -q 'RTS' &&
    grep '^1:' /proc/tty/driver/serial | grep -q 'DTR'; }
# What the last close left on the line: 38400 8N1, no HUPCL, no flow control.
line_kept() {
    settings=$(stty -F "$1" -a 2>&1 | tr ' ;' '\n\n') || { echo "stty $1: $settings" >>"$results"; return 1; }
    for want in 38400 -hupcl cs8 -parenb -cstopb -crtscts; do
        echo "$settings" | grep -qx -- "$want" || { echo "$1: not $want:" $settings >>"$results"; return 1; }
    done
}
ask_host() { # a request the host carries out; waits until it has
    touch "$out/request-$1"
    for _ in $(seq 300); do [ -e "$out/request-$1.done" ] && return 0; sleep 0.1; done
    fail "the host did not answer request $1"
}

# 1. The cable test on each driver, the first program ever to open the port:
#    256 back, and afterwards DTR and RTS up, 38400 8N1, HUPCL off.
for device in /dev/ttyS1 /dev/ttyUSB0; do
    tag=${device#/dev/}
    run "cable-$tag" "$zerbo" --loopback-test --port "$device"
    check "cable test on $device: 256 of 256, exit 0" \
        test "$status" -eq 0 -a -n "$(grep '256 of 256' "$out/cable-$tag.txt")"
    [ "$device" = /dev/ttyS1 ] && check "after the cable test on ttyS1 the 8250 keeps RTS and DTR" uart_lines_up
    check "after the cable test $device keeps 38400 8N1, HUPCL off" line_kept "$device"
done

# 2. The window: the table from the board, then a continuous send with its
#    close and reopen before every byte, then the window's close.
for device in /dev/ttyS1 /dev/ttyUSB0; do
    tag=${device#/dev/}
    [ "$tag" = ttyS1 ] && board=uart || board=usb
    run "window-$tag" "$build/tests/drivers/driver_window_check" "$device" "$out" "$board"
    check "window on $device: all 256 slots filled from the board, exit 0" \
        test "$status" -eq 0 -a -n "$(grep 'slots filled 256' "$out/window-$tag.txt")"
    check "window on $device: the continuous send ran and stopped" says "window-$tag" "continuous send stopped"
    [ "$device" = /dev/ttyS1 ] && check "after the window's close the 8250 keeps RTS and DTR" uart_lines_up
    check "after the window's close $device keeps 38400 8N1, HUPCL off" line_kept "$device"
done

# 3. The ports listed: the adapter with its USB id, the 16550, none without a UART.
run list "$zerbo" --list-ports
check "--list-ports: exit 0" test "$status" -eq 0
check "--list-ports: /dev/ttyUSB0" says list "/dev/ttyUSB0"
# What QSerialPortInfo reads for the adapter: its ids and model from udev.
"$udev_root"/bin/udevadm info --query=property --name=/dev/ttyUSB0 >"$out/udev-ttyUSB0.txt" 2>&1
check "udev knows ttyUSB0 as USB id 0403:6001" \
    test -n "$(grep -x ID_VENDOR_ID=0403 "$out/udev-ttyUSB0.txt")" -a -n "$(grep -x ID_MODEL_ID=6001 "$out/udev-ttyUSB0.txt")"
check "udev has ttyUSB0's description" test -n "$(grep '^ID_MODEL=.' "$out/udev-ttyUSB0.txt")"
# The program's own line for the adapter carries the same: its USB id and what udev calls it.
usb_line=$(grep "^/dev/ttyUSB0" "$out/list.txt" || true)
check "--list-ports: ttyUSB0 opens now (free)" test -n "$(echo "$usb_line" | grep ': free$')"
check "--list-ports: ttyUSB0 with its USB id 0403:6001" test -n "$(echo "$usb_line" | grep -F 0403:6001)"
model=$(sed -n 's/^ID_MODEL_FROM_DATABASE=//p; s/^ID_MODEL=//p' "$out/udev-ttyUSB0.txt" | head -n 1 | tr _ ' ')
check "--list-ports: ttyUSB0 with its description" test -n "$model" -a -n "$(echo "$usb_line" | grep -F -- "$model")"
check "--list-ports: /dev/ttyS1" says list "/dev/ttyS1"
for absent in ttyS0 ttyS2 ttyS3; do
    check "--list-ports: no $absent (no UART)" test -z "$(grep "/dev/$absent\b" "$out/list.txt")"
done

# 4. No device named: ttyS0 has no UART, so the one adapter is COM1, named on standard error.
run auto "$zerbo" --loopback-test
check "no device named: the adapter is used, exit 0" test "$status" -eq 0
check "no device named: standard error names /dev/ttyUSB0" says auto "/dev/ttyUSB0"

# 5. A silent line (the board stopped), a port with no UART, a missing device.
ask_host stop-uart
run silent "$zerbo" --loopback-test --port /dev/ttyS1
ask_host cont-uart
check "silent line on ttyS1: exit 1" test "$status" -eq 1
run no-uart "$zerbo" --loopback-test --port /dev/ttyS2
check "ttyS2 (no UART): exit 2 naming the device" test "$status" -eq 2 -a -n "$(grep /dev/ttyS2 "$out/no-uart.txt")"
run missing "$zerbo" --loopback-test --port /dev/ttyUSB7
check "missing device: exit 2 naming it" test "$status" -eq 2 -a -n "$(grep /dev/ttyUSB7 "$out/missing.txt")"

# 6. and 7. The adapter pulled out, last since it is then gone.
. "$(dirname "$0")/guest-unplug.sh"

for name in "$out"/*.txt; do
    echo "--- ${name##*/}:" >>"$out/outputs"
    cat "$name" >>"$out/outputs"
done
echo done >>"$results"
