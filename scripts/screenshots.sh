#!/usr/bin/env bash
# Builds the picture tools and takes, under Xvfb, a picture of each base
# window (search window, data window with the base data-entry frame,
# check-result dialog), of each import window (wizard, person choice,
# import in progress, employer group) and of the declaration programs'
# windows (month day grid; employees, collaborators, declarant and
# performing-arts workers, grid and detail page; the public-sector window
# "DMA Dati iscritto" with its pages; the three pages of the
# UniEmens file generator) into the folder given
# (default: <build>/screenshots). The pictures are not part of the sources.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEP_BUILD_DIR:-$here/build}
out=${1:-$build/screenshots}
cmake -S "$here" -B "$build" -G Ninja ${ZEP_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "${ZEP_JOBS:-4}" --target zepScreenshots wunScreenshots zepScreenshotsDeclaration
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/zepScreenshots" "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/wunScreenshots" "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/zepScreenshotsDeclaration" "$out"
