#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a firmware image to an Arduino Uno or Nano through its bootloader
# over the board's own USB cable, no programmer: avrdude speaks STK500v1
# ("arduino") at the bootloader's rate, 115200 baud (optiboot: the Uno and
# most Nanos) or 57600 (ATmegaBOOT: older Nanos). make flash BOARD=uno runs
# it, and so does the test that flashes the simulated Uno. When avrdude fails,
# its own error stays on the screen and one line says what to check.
# Usage: flash-bootloader.sh uno|nano|nano-old PORT IMAGE.hex
set -uo pipefail
board=${1:?board: uno, nano or nano-old}
port=${2:-}
image=${3:?image}
case $board in
uno | nano) rate=115200 other="an older Nano's bootloader answers at 57600 baud: BOARD=nano-old" ;;
nano-old) rate=57600 other="a newer Nano's (and the Uno's) answers at 115200 baud: BOARD=nano" ;;
*)
    echo "flash: no board $board here: BOARD=uno, nano or nano-old (or atmega8a with PROGRAMMER=...)" >&2
    exit 2
    ;;
esac
if [ -z "$port" ]; then
    echo "flash: name the board's port, e.g. make flash BOARD=$board PORT=/dev/ttyACM0 (ls /dev/ttyACM* /dev/ttyUSB* lists them)" >&2
    exit 2
fi

avrdude -c arduino -p m328p -P "$port" -b "$rate" -D -U "flash:w:$image:i" && exit 0

# The processes that hold the port, as "PID (name)".
holders() {
    local device fd pid
    device=$(readlink -f "$port")
    for fd in /proc/[0-9]*/fd/*; do
        [ "$(readlink "$fd" 2>/dev/null)" = "$device" ] || continue
        pid=${fd#/proc/}
        pid=${pid%%/*}
        echo "$pid ($(cat "/proc/$pid/comm" 2>/dev/null))"
    done | sort -u | paste -sd, -
}
if [ ! -e "$port" ]; then
    echo "flash: $port is not there: check the USB cable, then the port's name (ls /dev/ttyACM* /dev/ttyUSB*)" >&2
elif held=$(holders) && [ -n "$held" ]; then
    echo "flash: $port is held by $held: close that program (a serial monitor, ZERBO, or a modem manager probing a new board for some seconds) and flash again" >&2
else
    echo "flash: the board's bootloader did not answer on $port at $rate baud: check the USB cable and that $port is the board's; $other" >&2
fi
exit 1
