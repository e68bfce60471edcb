#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make flash with a programmer on a serial port and no PORT says so and
# stops before anything is installed or built; with a PORT, or a USB
# programmer, it goes on. Usage: make_flash_test.sh SOURCE_DIR
set -uo pipefail
source_dir=${1:?source directory}
failures=0
check() { # name, expected status, expected text on standard error, make arguments...
    local name=$1 status=$2 says=$3
    shift 3
    local err
    err=$(env -u ZERBO_PORT make -s --no-print-directory -C "$source_dir" flash-check "$@" 2>&1 >/dev/null)
    local got=$?
    if [ "$got" != "$status" ] || [[ $err != *"$says"* ]]; then
        echo "FAIL $name: status $got, said: $err"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}
check "avrisp without PORT" 2 "make flash: PROGRAMMER=avrisp is reached through a serial port: name it with PORT=" PROGRAMMER=avrisp
check "arduino with ZERBO_PORT only" 2 "ZERBO_PORT is ZERBO's port" PROGRAMMER=arduino ZERBO_PORT=/dev/ttyS0 PORT=/dev/ttyS0
check "avrisp with PORT" 0 "" PROGRAMMER=avrisp PORT=/dev/ttyUSB0
check "usbasp without PORT" 0 "" PROGRAMMER=usbasp
check "an Uno (its own check)" 0 "" BOARD=uno
exit $((failures > 0))
