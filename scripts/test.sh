#!/usr/bin/env bash
# Sets up the machine, builds everything (warnings are errors) and runs every
# test. With ZEP_SANITIZE=1 the build has the address and undefined-behaviour
# sanitizers on and goes into its own folder (./build-sanitize), so that the
# two builds do not rebuild each other.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"

# Every C++ file stands as clang-format writes it (scripts/format.sh mends
# them): a review need not catch it.
unformatted=$(cd "$here" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
  echo "test: these files are not formatted (bash scripts/format.sh FILE...):" >&2
  echo "$unformatted" >&2
  exit 1
fi

args="-DZEP_WERROR=ON"
if [ "${ZEP_SANITIZE:-0}" = 1 ]; then
  export ZEP_BUILD_DIR=${ZEP_BUILD_DIR:-$here/build-sanitize}
  args="$args -DZEP_SANITIZE=ON"
  # Leaks of the Firebird client library and engine are theirs, not ours:
  # they alone are suppressed (lsan.supp). The thread-local storage of the
  # libraries loaded at run time (the engine's) is not followed: this
  # compiler's leak checker misreads its bounds now and then and crashes.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_init_order=1:intercept_tls_get_addr=0}
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/scripts/lsan.supp:print_suppressions=0}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
else
  args="$args -DZEP_SANITIZE=OFF"
fi
ZEP_CMAKE_ARGS="$args ${ZEP_CMAKE_ARGS:-}" bash "$here/scripts/build.sh"
build=${ZEP_BUILD_DIR:-$here/build}

# Each run gets its own Firebird lock folder, so tests never meet locks left
# by another run or by a program started by hand.
FIREBIRD_LOCK=$(mktemp -d /tmp/zep-fblock.XXXXXX)
export FIREBIRD_LOCK
trap 'rm -rf "$FIREBIRD_LOCK"' EXIT
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600
