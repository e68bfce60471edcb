#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages named as arguments that are not installed yet:
# as root with apt-get, else through sudo where it is installed (Debian does
# not install it by default), else it says what to run as root and fails.
set -euo pipefail
missing=()
for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "install-deps.sh: missing packages ${missing[*]}; install them as root: su -c \"apt-get install ${missing[*]}\"" >&2
        exit 1
    fi
    as_root=(sudo)
fi
echo "Installing missing packages: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
# Through env: sudo drops the caller's environment.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
