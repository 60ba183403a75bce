#!/usr/bin/env bash
# Draws the README's Python figures (docs/python/*.png) by running the
# examples of examples/python with the module of the build tree, so that each
# figure is what its example draws today.
#   scripts/regenerate-python-figures.sh [BUILD_DIR]
# BUILD_DIR defaults to build/. Also: cmake --build build --target python_figures
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
python="${PYTHON:-/usr/bin/python3}"

# The CMake target has built the module already.
[ -n "${TORVEX_MODULE_BUILT:-}" ] || cmake --build "$build" --target _torvex torvex_python_files >/dev/null
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for example in "$root"/examples/python/*.py; do
    name="$(basename "$example" .py)"
    mkdir "$scratch/$name"
    echo "$(basename "$example")"
    PYTHONPATH="$build/python" MPLBACKEND=Agg "$python" "$example" "$scratch/$name" >/dev/null
    for figure in "$scratch/$name"/*.png; do
        cp "$figure" "$root/docs/python/"
        echo "  docs/python/$(basename "$figure")"
    done
done
