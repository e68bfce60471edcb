#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# No circle of includes between the files of the source trees: a file (its
# .h and .cpp taken as one) must not reach itself through "..." includes.
# Usage: include_cycles_test.sh SOURCE_ROOT (the checkout)
set -u
root=${1:?usage: include_cycles_test.sh SOURCE_ROOT}

# Prints "from to" for each include between two files of the tree under $1.
# An include is looked for beside the file, then from the tree's root.
include_edges() {
    local tree=$1 file dir node target
    while IFS= read -r -d '' file; do
        dir=$(dirname "$file")
        node=${file#"$tree"/}
        node=${node%.*}
        sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" |
            while IFS= read -r target; do
                for candidate in "$dir/$target" "$tree/$target"; do
                    [ -f "$candidate" ] || continue
                    candidate=$(realpath -m --relative-to="$tree" "$candidate")
                    [ "${candidate%.*}" = "$node" ] || echo "$node ${candidate%.*}"
                    break
                done
            done
    done < <(find "$tree" \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
}

# 0 when the tree under $1 has no circle; else names the files of one, as tsort finds them.
check_tree() {
    local loops
    loops=$(include_edges "$1" | tsort 2>&1 >/dev/null | sed -n 's/^tsort: //p')
    [ -z "$loops" ] && return 0
    echo "$loops" | sed "s|^-: input contains a loop:|$1: a circle of includes between|;s|^|    |"
    return 1
}

# The check itself first: a tree with a circle must fail, one without pass.
self_test() {
    local scratch rc=0
    scratch=$(mktemp -d)
    mkdir -p "$scratch/circle/a" "$scratch/line/a"
    printf '#include "a/two.h"\n' > "$scratch/circle/a/one.cpp"
    printf '#include "one.h"\n' > "$scratch/circle/a/two.cpp"
    printf '#include "a/two.h"\n#include "one.h"\n' > "$scratch/line/a/one.cpp"
    touch "$scratch"/circle/a/{one,two}.h "$scratch"/line/a/{one,two}.h
    check_tree "$scratch/circle" > /dev/null &&
        { echo "self-test: a circle of one.cpp and two.cpp went unnoticed"; rc=1; }
    check_tree "$scratch/line" > /dev/null ||
        { echo "self-test: a tree without a circle was refused"; rc=1; }
    rm -rf "$scratch"
    return $rc
}

self_test || exit 1
failed=0
for tree in src tools firmware bench; do
    [ -d "$root/$tree" ] || { echo "missing source tree: $root/$tree"; exit 1; }
    check_tree "$root/$tree" || failed=1
done
[ $failed = 0 ] && echo "no circle of includes in src, tools, firmware, bench"
exit $failed
