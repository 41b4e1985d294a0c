#!/usr/bin/env bash
# Sets up the machine, builds everything, creates the demo payroll archive
# when it is missing and starts the current program on it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
build=${ZEP_BUILD_DIR:-$here/build}

# The demo payroll archive is made once, on the first run.
if [ ! -f "$build/data/zep.fdb" ]; then
  mkdir -p "$build/data"
  "$build/bin/zepDemoArchive" --output "$build/data/zep.fdb"
fi

# The first start opens on the current month: the working period is set
# once, as the dialog "Parametri" sets it; later starts propose the last one
# chosen.
if [ ! -f "$build/USR/UniEmens/Res/TEAM_ANNOMESE.cds" ]; then
  "$build/bin/zepDemoDeclaration" --archive "$build/data/zep.fdb" --period "$(date +%Y-%m)" --solo-periodo
fi

if [ ! -x "$build/bin/zepUni" ]; then
  echo "The build did not produce $build/bin/zepUni." >&2
  exit 1
fi

cd "$build/bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting zepUni under Xvfb."
  exec xvfb-run -a ./zepUni
fi
exec ./zepUni
