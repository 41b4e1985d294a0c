#!/usr/bin/env bash
# Sets up the machine, builds what the program needs to run (the target set
# zep_avvio: zepUni, its catalogue, code tables and documents, and the two
# demo tools; no test program), creates the demo payroll archive when it is
# missing and starts the current program on it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" zep_avvio
build=${ZEP_BUILD_DIR:-$here/build}
demo="$build/bin/zepDemoDeclaration"
periodo=$(date +%Y-%m)

# The demo payroll archive is made once, on the first run, and the
# installation is set up as an office that has declared before: for the
# year of the archive's first month and then for the current one, the
# parameters of "Importa" (contribution type "00") and the declarant of the
# year with the sender's fiscal code and INPS office, as "Dichiarante" keeps
# them; the current year's comes from the year before, as "Parametri" copies
# it. "Importa" and "File telematico" then need nothing typed.
if [ ! -f "$build/data/zep.fdb" ]; then
  mkdir -p "$build/data"
  "$build/bin/zepDemoArchive" --output "$build/data/zep.fdb"
  primo=$(date -d "$(date +%Y-%m-15) -11 months" +%Y-%m)
  if [ "${primo%-*}" != "${periodo%-*}" ]; then
    "$demo" --archive "$build/data/zep.fdb" --period "$primo" --solo-periodo --completa-demo
  fi
  "$demo" --archive "$build/data/zep.fdb" --period "$periodo" --solo-periodo --completa-demo
fi

# The first start opens on the current month: the working period is set
# once, as the dialog "Parametri" sets it; later starts propose the last one
# chosen.
if [ ! -f "$build/USR/UniEmens/Res/TEAM_ANNOMESE.cds" ]; then
  "$demo" --archive "$build/data/zep.fdb" --period "$periodo" --solo-periodo
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
