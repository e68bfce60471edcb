# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=sh disable=SC2154 # build and out come from guest-checks.sh
# Sourced by guest-checks.sh, last: the FTDI adapter pulled out under the
# window's reception and under a continuous send, watched from outside.
unplug_check=$build/tests/drivers/driver_unplug_check

# CPU time in clock ticks (1/100 s) of a running process; nothing once it has ended.
cpu_ticks() { awk '$3 != "Z" { print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
wait_for() { # a file, seconds
    for _ in $(seq $(($2 * 10))); do [ -e "$1" ] && return 0; sleep 0.1; done
    return 1
}
usb_disconnects() { dmesg | grep -c 'FTDI USB Serial Device converter now disconnected from ttyUSB0'; }
# The process's CPU time over a wait: $used ticks in $waited ms. Limits by the
# clock: a spinning process slows every loop in this one-CPU guest.
watch_cpu() { # pid, seconds; stops early when the process ends
    first=$(cpu_ticks "$1") last=$first began=$(now_ms)
    while [ $(($(now_ms) - began)) -lt $(($2 * 1000)) ]; do
        ticks=$(cpu_ticks "$1")
        [ -n "$ticks" ] || break
        last=$ticks
        sleep 0.5
    done
    used=$((${last:-0} - ${first:-0})) waited=$(($(now_ms) - began))
}
# Little CPU over the wait: under a tenth of it, so no core spins.
idle() { [ "$waited" -ge 1000 ] && [ "$used" -lt $((waited / 100)) ]; }
# The end of a background process within a limit; its status in $status.
reap() { # pid, seconds
    until=$(($(date +%s) + $2))
    while [ -n "$(cpu_ticks "$1")" ] && [ "$(date +%s)" -lt "$until" ]; do sleep 0.2; done
    [ -n "$(cpu_ticks "$1")" ] && kill -9 "$1"
    wait "$1"
    status=$?
}

# 6. Unplugged while the window waits for the table: the reception ends, the
#    window stays: it says what happened on standard error, idles, takes a
#    typed code, and ends at Exit.
disconnects=$(usb_disconnects)
"$unplug_check" receive /dev/ttyUSB0 "$out" >"$out/unplug-receive.txt" 2>"$out/unplug-receive.err" &
pid=$!
if wait_for "$out/request-unplug-usb.done" 60; then
    watch_cpu "$pid" 3
    check "unplugged during the reception: a USB disconnect in the guest" \
        test "$(usb_disconnects)" -gt "$disconnects"
    check "unplugged during the reception: the program keeps running" test -n "$(cpu_ticks "$pid")"
    check "unplugged during the reception: no core spins ($used CPU ticks in $waited ms)" idle
else
    fail "unplugged during the reception: the program did not wait for the table"
fi
touch "$out/looked"
reap "$pid" 60
cat "$out/unplug-receive.err" >>"$out/unplug-receive.txt"
check "unplugged during the reception: standard error names /dev/ttyUSB0 and that it went away" \
    says unplug-receive "^zerbo: /dev/ttyUSB0 .*went away during the reception"
check "unplugged during the reception: no error box" test -z "$(grep 'box: ' "$out/unplug-receive.txt")"
check "unplugged during the reception: the port shown closed" \
    says unplug-receive "reception ended: port closed, shown closed"
check "unplugged during the reception: a code typed afterwards, Exit ends with status 0" \
    test "$status" -eq 0 -a -n "$(grep -x 'typed: 65' "$out/unplug-receive.txt")"

# 7. Unplugged during a continuous send: one error naming the device, no core
#    spinning while its box waits, and the program ends when it is answered.
#    The reopen before a byte may meet the device half gone: EIO on open (8020, "may have been unplugged").
for _ in $(seq 300); do [ -e /dev/ttyUSB0 ] || break; sleep 0.1; done
[ -e /dev/ttyUSB0 ] && fail "/dev/ttyUSB0 stayed after the unplug"
ask_host plug-usb
wait_for /dev/ttyUSB0 60 || fail "the adapter did not come back as /dev/ttyUSB0"
rm -f "$out/request-unplug-usb.done"
"$unplug_check" send /dev/ttyUSB0 "$out" >"$out/unplug-send.txt" 2>"$out/unplug-send.err" &
pid=$!
if wait_for "$out/sending" 60; then
    disconnects=$(usb_disconnects)
    ask_host unplug-usb
    until=$(($(date +%s) + 20))
    while ! grep -q 'box: ' "$out/unplug-send.txt" && [ "$(date +%s)" -lt "$until" ]; do sleep 0.1; done
    watch_cpu "$pid" 20 # until the box is answered
    check "unplugged during a continuous send: a USB disconnect in the guest" \
        test "$(usb_disconnects)" -gt "$disconnects"
    check "unplugged during a continuous send: no core spins while the error is shown ($used CPU ticks in $waited ms)" idle
else
    fail "unplugged during a continuous send: the send did not start"
fi
reap "$pid" 5
check "unplugged during a continuous send: the program ends, status 1" test "$status" -eq 1
errors=$(grep -c '^zerbo: ' "$out/unplug-send.err")
check "unplugged during a continuous send: one message on standard error ($errors)" test "$errors" -eq 1
check "unplugged during a continuous send: the message is a lost-device error naming /dev/ttyUSB0" \
    test -n "$(grep -E '^zerbo: Run-time error (80(02|15|16): .*/dev/ttyUSB0|8020: .*/dev/ttyUSB0 .*Input/output error. The serial adapter may have been unplugged)' "$out/unplug-send.err")"
cat "$out/unplug-send.err" >>"$out/unplug-send.txt"
check "unplugged during a continuous send: one error box" test "$(grep -c 'box: ' "$out/unplug-send.txt")" -eq 1
dmesg >"$out/dmesg.log"
