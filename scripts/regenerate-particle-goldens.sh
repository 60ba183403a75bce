#!/usr/bin/env bash
# Regenerates the reference results of the particle-model golden test
# (tests/particles/golden): scripts/regenerate-goldens.sh --particles.
#   scripts/regenerate-particle-goldens.sh [BUILD_DIR] [CASE...]
exec "$(dirname "$0")/regenerate-goldens.sh" --particles "$@"
