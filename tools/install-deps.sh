#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages named as arguments that are not installed yet:
# as root with apt-get, else through sudo where it is installed (Debian does
# not install it by default), else it says what to run as root and fails.
# Where apt cannot reach its sources (no network), it says so in one line.
set -euo pipefail
missing=()
for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "install-deps.sh: missing packages ${missing[*]}; install them as root: su - -c \"apt-get install ${missing[*]}\"" >&2
        exit 1
    fi
    as_root=(sudo)
fi
echo "Installing missing packages: ${missing[*]}"
said=$(mktemp)
trap 'rm -f "$said"' EXIT
unreachable='Failed to fetch|Temporary failure resolving|Could not resolve|Could not connect|Unable to connect|Network is unreachable|Connection failed|Connection timed out'
# apt-get update may only warn when no source answers; the install then
# fails. What apt says is shown as it comes, and kept to tell why it failed.
"${as_root[@]}" apt-get update -qq 2>&1 | tee "$said" || true
# Through env: sudo drops the caller's environment.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" 2>&1 |
    tee -a "$said" && exit 0
if grep -qE "$unreachable" "$said"; then
    echo "install-deps.sh: could not install ${missing[*]}: apt could not reach its sources (no network, or a mirror down; \`apt-get update\` shows which)" >&2
else
    echo "install-deps.sh: could not install ${missing[*]}: apt-get install failed (above)" >&2
fi
exit 1
