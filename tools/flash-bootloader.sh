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

if [ ! -r "$image" ]; then
    echo "flash: no image $image to write: make flash BOARD=$board builds it" >&2
    exit 2
fi

# One sync attempt: the bootloader has listened for most of a second by then
# (avrdude resets the board at the open and drains two syncs first), and each
# attempt a silent board costs 5 s: avrdude's ten would keep it a minute.
present=$([ -e "$port" ] && echo yes)
avrdude -c arduino -p m328p -P "$port" -b "$rate" -x attempts=1 -D -U "flash:w:$image:i" &
flashing=$!
trap 'kill $flashing 2>/dev/null' EXIT INT TERM HUP
# avrdude waits for ever on a port that went away (its reads return end of
# file), so the port is watched here.
while kill -0 $flashing 2>/dev/null; do
    if [ -n "$present" ] && [ ! -e "$port" ]; then
        kill $flashing
        wait $flashing
        echo >&2 # after avrdude's progress bar
        echo "flash: $port went away during the flash: check the USB cable, plug the board in again and flash again (the bootloader takes a new image at every reset)" >&2
        exit 1
    fi
    sleep 0.2
done
wait $flashing && exit 0

# The processes that hold the port, as "PID (name)"; one find, since a
# readlink for each descriptor of the machine took seconds.
holders() {
    local fd pid
    find /proc/[0-9]*/fd -maxdepth 1 -lname "$(readlink -f "$port")" 2>/dev/null |
        while read -r fd; do
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
