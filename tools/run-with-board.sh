#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the virtual board, then ZERBO on the board's port; stops the board
# when ZERBO ends. The board opens its window beside ZERBO's, where Key 1
# stays in sight. Usage: run-with-board.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
link=${XDG_RUNTIME_DIR:-/tmp}/zerbo-board
[ -n "${XDG_RUNTIME_DIR:-}" ] || link=/tmp/zerbo-board-$(id -u)

# The board's arguments, one place to choose them: its own firmware on the
# simulated ATmega8 where this build has the simulator, else the scripted board.
board_args=(--link "$link")
hex=$build/firmware/zerbo-board.hex
if [ -f "$hex" ] && grep -q -- --firmware <<<"$("$build/tools/zerbo-board" --help)"; then
    board_args+=(--firmware "$hex")
fi

# The board says "port PATH" once its link stands; a link seen earlier may
# be one left by a board that has ended, which the new board replaces.
said=$(mktemp)
"$build/tools/zerbo-board" "${board_args[@]}" >"$said" &
board=$!
trap 'kill "$board" 2>/dev/null; wait "$board" 2>/dev/null || true; rm -f "$said"' EXIT

for _ in $(seq 200); do
    grep -q '^port ' "$said" && break
    kill -0 "$board" 2>/dev/null || { echo "zerbo-board did not start" >&2; exit 1; }
    sleep 0.05
done
grep -q '^port ' "$said" || { echo "zerbo-board did not publish $link" >&2; exit 1; }
echo "Virtual board on $link: press its Key 1 to send the table."
"$build/zerbo" --port "$link"
