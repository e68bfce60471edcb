#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs ctest in BUILD_DIR with the arguments given and fails when a test
# failed, was skipped or did not run: make test proves every test ran.
# Usage: run-suite.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
build=${1:?build directory}
shift
log=$(mktemp)
trap 'rm -f "$log"' EXIT
(cd "$build" && ctest --output-on-failure "$@") 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
# ctest lists what it skipped under this heading, and still exits 0.
if grep -q '^The following tests did not run:' "$log"; then
    echo "run-suite.sh: tests were skipped (listed above); under make test every test must run" >&2
    exit 1
fi
if grep -q '^No tests were found' "$log"; then
    echo "run-suite.sh: no tests matched: $*" >&2
    exit 1
fi
exit "$status"
