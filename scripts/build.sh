#!/usr/bin/env bash
# Configures and builds the whole tree in ./build (or $ZEP_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEP_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja ${ZEP_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
