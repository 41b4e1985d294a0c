#!/usr/bin/env bash
# Builds the picture tools and takes, under Xvfb, a picture of each base
# window (search window, data window with the base data-entry frame,
# check-result dialog), of each import window (wizard, person choice,
# import in progress, employer group) and of the declaration programs'
# windows (month day grid; employees, collaborators, declarant and
# performing-arts workers, grid and detail page; the public-sector window
# "DMA Dati iscritto" with its pages; the three pages of the
# UniEmens file generator), and the pages of the prints of a demo month,
# into the folder given
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

# The prints of a demo month (40 persons, November 2022) as the user sees
# them: zepDemoDeclaration imports the month on an installation in a
# temporary folder and prints the declaration ("Denuncia") and the lists of
# "Dipendenti" and "Collaboratori" to PDF; each page becomes a picture
# stampa-<print>-<page>.png.
cmake --build "$build" -j "${ZEP_JOBS:-4}" --target zepDemoArchive zepDemoDeclaration zep_catalogue zep_tabelle
inst=$(mktemp -d)
trap 'rm -rf "$inst"' EXIT
mkdir -p "$inst/bin" "$inst/etc/wun" "$inst/data" "$inst/USR/UniEmens/Res/Tabelle" "$inst/fblock"
ln "$build/bin/zepDemoDeclaration" "$inst/bin/" 2>/dev/null || cp "$build/bin/zepDemoDeclaration" "$inst/bin/"
cp "$build/etc/wun/wun_QueryText.cds" "$build/etc/wun/wun_QueryText.unxc" "$build/etc/wun/wun_Report.xml" "$inst/etc/wun/"
cp "$build/USR/UniEmens/Res/Tabelle/"* "$inst/USR/UniEmens/Res/Tabelle/"
export FIREBIRD_LOCK="$inst/fblock"
"$build/bin/zepDemoArchive" --output "$inst/data/demo.fdb" --persons 40 --from 2022-11 --to 2022-11 >/dev/null
"$inst/bin/zepDemoDeclaration" --archive "$inst/data/demo.fdb" --period 2022-11 --completa-demo >/dev/null
"$inst/bin/zepDemoDeclaration" --archive "$inst/data/demo.fdb" --period 2022-11 --solo-file \
  --stampa-pdf "$inst/denuncia.pdf" --stampa-dipendenti "$inst/dipendenti.pdf" \
  --stampa-collaboratori "$inst/collaboratori.pdf" >/dev/null
for stampa in denuncia dipendenti collaboratori; do
  pdftoppm -png -r 80 "$inst/$stampa.pdf" "$out/stampa-$stampa"
done
