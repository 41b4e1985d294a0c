#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
build=${ZEP_BUILD_DIR:-$here/build}

# Each run gets its own Firebird lock folder, so tests never meet locks left
# by another run or by a program started by hand.
FIREBIRD_LOCK=$(mktemp -d /tmp/zep-fblock.XXXXXX)
export FIREBIRD_LOCK
trap 'rm -rf "$FIREBIRD_LOCK"' EXIT
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
