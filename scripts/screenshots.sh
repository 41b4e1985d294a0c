#!/usr/bin/env bash
# Builds the picture tool and takes a picture of each base window (search
# window, data window with the base data-entry frame, check-result dialog)
# under Xvfb, into the folder given (default: <build>/screenshots). The
# pictures are not part of the sources.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEP_BUILD_DIR:-$here/build}
out=${1:-$build/screenshots}
cmake -S "$here" -B "$build" -G Ninja ${ZEP_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "${ZEP_JOBS:-4}" --target zepScreenshots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/zepScreenshots" "$out"
