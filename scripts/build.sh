#!/usr/bin/env bash
# Configures and builds the whole tree in ./build (or $ZEP_BUILD_DIR), or
# only the targets given:
#     bash scripts/build.sh [target...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEP_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja ${ZEP_CMAKE_ARGS:-} >/dev/null
targets=()
for t in "$@"; do
  targets+=(--target "$t")
done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
