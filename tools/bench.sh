#!/usr/bin/env bash
# Prints the bar's speed and size figures: runs the benchmark driver of a
# build inside the test desktop, in a Wine prefix of its own (an existing
# WINEPREFIX is kept).
# Usage: tools/bench.sh [build directory] [figures, e.g. 1 4] [scale=N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build/wine-bench}
exec "$root/tools/wine-rig.sh" wine "$build/tests/bench.exe" "${@:2}"
