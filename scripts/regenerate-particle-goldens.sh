#!/usr/bin/env bash
# Regenerates the reference results of the particle-model golden test
# (tests/particles/golden) from the present solver and particle model. Do
# this on purpose only: the commit that changes them says why the digits
# moved. A change of the jet (ftu.res) moves them too.
#   scripts/regenerate-particle-goldens.sh [BUILD_DIR] [CASE...]
# BUILD_DIR defaults to build/; without case names every case of
# tests/particles/golden/cases.txt is regenerated.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
[ $# -gt 0 ] && shift

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target kavel-golden >/dev/null
"$build/tests/kavel-golden" "$root/tests/particles/golden/cases.txt" "$root/tests/particles/golden" "$@"
echo "Goldens written under $root/tests/particles/golden; review them with: git diff --stat tests/particles/golden"
