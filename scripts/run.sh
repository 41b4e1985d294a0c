#!/usr/bin/env bash
# Sets up the machine, builds what the programs need to run (the target set
# zep_avvio: zepUni, zepdb, zep, their catalogue, code tables and documents,
# and the two demo tools; no test program), creates the demo payroll archive
# when it is missing and starts the program on it:
#     bash scripts/run.sh          the current program zepUni
#     bash scripts/run.sh zepdb    the earlier program, E-Mens 2008-2009
#     bash scripts/run.sh zep      the earlier program, E-Mens 2005-2007 on local files
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
programma=${1:-zepUni}
case "$programma" in
  zepUni|zepdb|zep) ;;
  *) echo "uso: bash scripts/run.sh [zepUni|zepdb|zep]" >&2; exit 2 ;;
esac
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" zep_avvio
build=${ZEP_BUILD_DIR:-$here/build}

# Each earlier program runs in an installation of its own, build/demo-zepdb
# or build/demo-zep (the program hard-linked from build/bin, the catalogue,
# code tables and empty tables copied; the two forms would otherwise share
# the resource folder USR/ZEP/Res and its last working period), on a demo
# archive of 2005-2009 made on its first run, set up as an office that has
# declared before, as zepUni's: the parameters of "Importa" (contribution
# type "00") and the declarant of the year, with the working period set to
# December 2008 (zepdb) or December 2006 (zep) on the first start. Like the
# build tree, the installation has its settings folder usr/wun from the
# start: without it the import's parameters went into USR/wun, and the
# settings the program saves later in usr/wun hid them ("71" again).
if [ "$programma" != zepUni ]; then
  inst="$build/demo-$programma"
  mkdir -p "$inst/bin" "$inst/etc/wun" "$inst/data" "$inst/USR/ZEP/Res" "$inst/usr/wun"
  if [ -f "$inst/USR/wun/TEMENSPAR.XML" ] && [ ! -f "$inst/usr/wun/TEMENSPAR.XML" ]; then
    mv "$inst/USR/wun/TEMENSPAR.XML" "$inst/usr/wun/TEMENSPAR.XML"
  fi
  for p in "$programma" zepDemoDeclaration; do
    ln -f "$build/bin/$p" "$inst/bin/$p"
  done
  cp "$build/etc/wun/wun_QueryText.cds" "$build/etc/wun/wun_QueryText.unxc" "$build/etc/wun/wun_Report.xml" \
    "$inst/etc/wun/"
  cp -r "$build/USR/ZEP/DbIniziale" "$inst/USR/ZEP/"
  cp -r "$build/USR/ZEP/Res/Tabelle" "$inst/USR/ZEP/Res/"
  # The program's own guide and release notes.
  cp "$build/guida/$programma/News.pdf" "$build/guida/$programma/Istruzioni.pdf" "$inst/USR/ZEP/Res/"
  if [ ! -f "$inst/data/zep.fdb" ]; then
    "$build/bin/zepDemoArchive" --output "$inst/data/zep.fdb" --from 2005-01 --to 2009-12
  fi
  anno=$([ "$programma" = zepdb ] && echo 2008 || echo 2006)
  if [ ! -d "$inst/USR/ZEPDati/ZEP$anno" ]; then
    "$inst/bin/zepDemoDeclaration" --programma "$programma" --archive "$inst/data/zep.fdb" --period "$anno-12" \
      --solo-periodo --completa-demo
  fi
  cd "$inst/bin"
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting $programma under Xvfb."
    exec xvfb-run -a "./$programma"
  fi
  exec "./$programma"
fi

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
    "$demo" --archive "$build/data/zep.fdb" --period "$primo" --solo-periodo --completa-demo --ex-dma
  fi
  "$demo" --archive "$build/data/zep.fdb" --period "$periodo" --solo-periodo --completa-demo --ex-dma
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
