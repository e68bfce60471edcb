#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes docs/screenshot.png: the board and ZERBO under a virtual X server,
# the main window captured once the table has arrived.
# Usage: screenshot.sh BUILD_DIR OUTPUT
set -euo pipefail
build=${1:-build}
output=${2:-docs/screenshot.png}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# -displayfd: the server picks a free display and writes its number once it
# takes connections; -noreset: it stays as it is when the probe below leaves.
Xvfb -displayfd 5 -noreset -screen 0 1280x1200x24 -nolisten tcp 5>"$work/display" &
pids+=($!)
for _ in $(seq 100); do grep -q '^[0-9]' "$work/display" 2>/dev/null && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$work/display")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$build/tools/zerbo-board" --headless --link "$work/board" --send-table-after 1500 >"$work/board.log" &
pids+=($!)
for _ in $(seq 100); do [ -L "$work/board" ] && break; sleep 0.05; done
"$build/zerbo" --port "$work/board" &
pids+=($!)

for _ in $(seq 200); do grep -q "table sent" "$work/board.log" && break; sleep 0.05; done
sleep 1 # let the last slots paint
window=$(xwininfo -root -tree | awk '/"ZERBO via ComPort"/ {print $1; exit}')
[ -n "$window" ] || { echo "the main window did not appear" >&2; exit 1; }
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "wrote $output"
