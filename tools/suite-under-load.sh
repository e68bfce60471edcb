#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The suite ROUNDS times beside LOAD processes that keep a core busy each, as
# a busy machine would: the timing tests must hold there too. Prints each
# round's failures and a summary; exit 1 if any round failed.
# Usage: suite-under-load.sh BUILD_DIR [ROUNDS (5)] [LOAD (4)] [ctest arguments...]
set -uo pipefail
build=${1:?build directory}
rounds=${2:-5}
load=${3:-4}
shift $(($# < 3 ? $# : 3))
hogs=()
trap 'kill "${hogs[@]}" 2>/dev/null' EXIT
for _ in $(seq "$load"); do
    sh -c 'while :; do :; done' &
    hogs+=($!)
done
failed=0
for round in $(seq "$rounds"); do
    log=$(mktemp)
    if (cd "$build" && ctest -j 2 --output-on-failure --label-exclude 'package|drivers' "$@") >"$log" 2>&1; then
        echo "round $round: passed ($(grep -o 'Total Test time (real) = *[0-9.]* sec' "$log"))"
    else
        failed=$((failed + 1))
        echo "round $round: FAILED"
        grep -aE 'FAIL!|Loc:|Actual|Expected|\*\*\*Failed|Timeout' "$log" | head -30
    fi
    rm -f "$log"
done
echo "$failed of $rounds rounds failed beside a load of $load"
exit $((failed > 0))
