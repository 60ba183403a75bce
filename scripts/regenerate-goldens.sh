#!/usr/bin/env bash
# Regenerates the reference results of the golden test (tests/golden) from
# the present solver. Do this on purpose only: the commit that changes them
# says why the digits moved.
#   scripts/regenerate-goldens.sh [BUILD_DIR] [VARIANT...]
# BUILD_DIR defaults to build/; without variant names every variant of
# tests/golden/variants.txt and every spray of tests/golden/sprays.txt is
# regenerated (a name of either list picks that one).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
[ $# -gt 0 ] && shift

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target torvex-golden >/dev/null
golden="$root/tests/golden"
"$build/tests/torvex-golden" "$golden/variants.txt" "$golden" "$@"
"$build/tests/torvex-golden" --sprays "$golden/sprays.txt" "$golden/variants.txt" "$golden" "$@"
echo "Goldens written under $root/tests/golden; review them with: git diff --stat tests/golden"
