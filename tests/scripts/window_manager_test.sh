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
for tool in Xvfb openbox xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: no $tool (make test installs it)"; exit 77; }
done
work=$(mktemp -d)
display=:$((200 + RANDOM % 500))
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1 # openbox takes the screen
# Key 1 is pressed through a pipe once the window has been seen waiting.
mkfifo "$work/keys"
exec 3<>"$work/keys"
"$build/tools/zerbo-board" --headless --key-from-stdin --link "$work/board" <&3 \
    >"$work/board.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -L "$work/board" ] && break; sleep 0.05; done
"$build/zerbo" --port "$work/board" >"$work/zerbo.log" 2>&1 &
pids+=($!)

top() { xwininfo -name "ZERBO via ComPort" 2>/dev/null | sed -n 's/.*Absolute upper-left Y: *//p'; }
mapped() { xwininfo -name "ZERBO via ComPort" 2>/dev/null | grep -q IsViewable; }
for _ in $(seq 200); do mapped && break; sleep 0.05; done
mapped || { cat "$work/zerbo.log"; echo "FAIL: the main window was not mapped"; exit 1; }
sleep 1 # the frame is known, and the window placed with it
waiting=$(top)
echo key1 >&3
for _ in $(seq 200); do grep -q "table sent" "$work/board.log" && break; sleep 0.05; done
grep -q "table sent" "$work/board.log" || { echo "FAIL: the board sent no table"; exit 1; }
sleep 1 # start-up places the window once the table is in
after=$(top)
if [ -z "$waiting" ] || [ "$waiting" != "$after" ]; then
    echo "FAIL: the window's top was at $waiting while it waited and at $after with the table"
    exit 1
fi
echo "ok: the window's top stays at $after pixels once the table has arrived"
