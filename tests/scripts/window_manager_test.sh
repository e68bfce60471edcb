#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real programs on a virtual X server with a real window manager
# (openbox), as on a desktop: the frame it puts round the main window is
# smaller than the program assumes before it is shown, and the window
# still stays where it was while it waited once the table has arrived
# (it jumped 27 pixels down).
# Usage: window_manager_test.sh BUILD_DIR   (exit 77 where Xvfb or openbox is missing)
set -uo pipefail
build=${1:?build directory}
for tool in Xvfb openbox xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: no $tool (make test installs it)"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
unset QT_QPA_PLATFORM # whatever the caller chose: the programs go on this X server

# until "$@" succeeds, or FAIL with what did not happen after 60 s (a busy machine is slow)
await() {
    local what=$1
    shift
    local until=$((SECONDS + 60))
    while ! "$@"; do
        ((SECONDS < until)) || { tail -n 20 "$work"/*.log 2>/dev/null; echo "FAIL: $what"; exit 1; }
        sleep 0.1
    done
}
x_up() { xwininfo -root >/dev/null 2>&1; }
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

# -displayfd: the server picks a free display and writes its number once it
# takes connections. -noreset: by default the server resets once its last
# client has gone, here the probe below, and openbox, connecting then, was
# once refused ("Failed to open the display") in a new Debian root.
Xvfb -displayfd 5 -noreset -screen 0 1920x1080x24 -nolisten tcp 5>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
pids+=($!)
xvfb_pid=$!
await "Xvfb did not start" grep -q '^[0-9]' "$work/display"
export DISPLAY=:$(head -n 1 "$work/display")
await "Xvfb did not take connections on $DISPLAY" x_up
# Openbox is the desktop here, not what is tested: one that ends without
# taking the screen says why, and is started again, twice at the most.
for attempt in 1 2 3; do
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    openbox_pid=$!
    wm_up_or_gone() { wm_up || ! kill -0 "$openbox_pid" 2>/dev/null; }
    await "openbox did not take the screen" wm_up_or_gone
    wm_up && break
    echo "openbox ended without taking the screen (attempt $attempt):"
    tail -n 20 "$work/openbox.log" "$work/xvfb.log"
    kill -0 "$xvfb_pid" 2>/dev/null || echo "Xvfb has ended too"
    [ "$attempt" -lt 3 ] || { echo "FAIL: openbox ended without taking the screen"; exit 1; }
    sleep 1
done
# Key 1 is pressed through a pipe once the window has been seen waiting.
mkfifo "$work/keys"
exec 3<>"$work/keys"
"$build/tools/zerbo-board" --headless --key-from-stdin --link "$work/board" <&3 \
    >"$work/board.log" 2>&1 &
pids+=($!)
await "the board made no link" test -L "$work/board"
ZERBO_REPORT_GEOMETRY=1 "$build/zerbo" --port "$work/board" >"$work/zerbo.log" 2>&1 &
pids+=($!)

top() { xwininfo -name "ZERBO via ComPort" 2>/dev/null | sed -n 's/.*Absolute upper-left Y: *//p'; }
framed() { xwininfo -name "ZERBO via ComPort" 2>/dev/null | grep -q "Relative upper-left Y: *[1-9]"; }
# The top once it has stayed put for half a second (a busy machine moves slowly).
settled() {
    local last="" now
    for _ in $(seq 100); do
        now=$(top)
        [ -n "$now" ] && [ "$now" = "$last" ] && { echo "$now"; return; }
        last=$now
        sleep 0.5
    done
    echo "$last"
}
await "the main window was not framed by openbox" framed
waiting=$(settled)
echo key1 >&3
await "start-up did not end" grep -q "geometry: started" "$work/zerbo.log"
after=$(settled)
if [ -z "$waiting" ] || [ "$waiting" != "$after" ]; then
    echo "FAIL: the window's top was at $waiting while it waited and at $after with the table"
    exit 1
fi
echo "ok: the window's top stays at $after pixels once the table has arrived"
