#!/usr/bin/env bash
# Regenerates reference results from the present code. Do this on purpose
# only: the commit that changes them says why the digits moved.
#   scripts/regenerate-goldens.sh [--particles] [BUILD_DIR] [NAME...]
# BUILD_DIR defaults to build/.
# Without --particles: the golden test of the solver (tests/golden); without
# names every variant of tests/golden/variants.txt and every spray of
# tests/golden/sprays.txt is regenerated (a name of either list picks that one).
# With --particles: the particle-model golden test (tests/particles/golden);
# without names every case of tests/particles/golden/cases.txt. A change of
# the jet (ftu.res) moves these too.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
particles=false
if [ "${1:-}" = "--particles" ]; then
    particles=true
    shift
fi
build="${1:-$root/build}"
[ $# -gt 0 ] && shift

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if $particles; then
    cmake --build "$build" --target kavel-golden >/dev/null
    golden="$root/tests/particles/golden"
    "$build/tests/kavel-golden" "$golden/cases.txt" "$golden" "$@"
else
    cmake --build "$build" --target torvex-golden >/dev/null
    golden="$root/tests/golden"
    "$build/tests/torvex-golden" "$golden/variants.txt" "$golden" "$@"
    "$build/tests/torvex-golden" --sprays "$golden/sprays.txt" "$golden/variants.txt" "$golden" "$@"
fi
echo "Goldens written under $golden; review them with: git diff --stat ${golden#"$root"/}"
