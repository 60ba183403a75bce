#!/usr/bin/env bash
# Sets up TORVEX on a Debian machine: installs what is missing, builds, and
#   scripts/setup.sh run    runs the program (the GUI where a display exists,
#                           otherwise a headless run of a default variant that
#                           writes the result files and the chart images, and
#                           a spray of the default powder into its jet)
#   scripts/setup.sh test   runs the whole test suite, including the solver
#                           tests under AddressSanitizer + UBSan and the
#                           fuzz targets (clang, libFuzzer) for a bounded time
set -euo pipefail

mode="${1:-run}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libbenchmark-dev
          libtomlplusplus-dev libcli11-dev python3-vtk9
          xvfb xauth fonts-liberation2 fonts-dejavu-core
          dpkg-dev desktop-file-utils clang libclang-rt-14-dev
          pybind11-dev python3-dev python3-numpy python3-pytest python3-pandas python3-matplotlib python3-xarray
          python3-distributed slurm-wlm munge)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

build() {  # build DIR [cmake options...]
    local dir="$1"; shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

install_missing

case "$mode" in
run)
    build "$root/build" -DCMAKE_BUILD_TYPE=Release
    if [ -n "${DISPLAY:-}" ]; then
        exec "$root/build/app/torvex"
    fi
    work="$root/torvex-work"
    mkdir -p "$work"
    echo "No display: running the default variant (argon, 8 mm anode, 14 mm long, 500 A, 35 SLPM) in $work"
    "$root/build/app/torvex-run" --gas 1 --diameter 8 --length 14 --current 500 --flow 35 --charts "$work"
    echo "Spraying 8YSZ powder (20/40/70 um) into that jet with kavel-run"
    "$root/build/app/kavel-run" --charts "$work"
    ;;
test)
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    (cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
    # The solver, the particle model and their file readers (torvex-run,
    # kavel-run) once more under the sanitizers.
    build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVEX_SOLVER_ONLY=ON -DTORVEX_SANITIZE=ON -DTORVEX_BENCHMARKS=OFF
    (cd "$root/build-sanitize" && ctest --output-on-failure -j "$(nproc)")
    # Every file reader and the chart pages under libFuzzer (clang, ASan +
    # UBSan): each target replays its seed corpus, then a bounded number of
    # mutated inputs.
    cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
          -DTORVEX_FUZZ=ON -DTORVEX_TESTS=OFF -DTORVEX_BENCHMARKS=OFF >/dev/null
    cmake --build "$root/build-fuzz" -j "$(nproc)" --target torvex_fuzzers
    (cd "$root/build-fuzz" && ctest --output-on-failure -j "$(nproc)")
    ;;
*)
    echo "usage: scripts/setup.sh run|test" >&2
    exit 2
    ;;
esac
