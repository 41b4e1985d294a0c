#pragma once
// The local-file form's structure upgrade, without any display: the rules
// of the window TfmZepKax ("Allineamento database in corso ..."). A year
// folder made by an earlier version holds row files without a field the
// program now needs; each such file is rebuilt on the empty file of the
// initial folder, every row kept, and the old file is kept as its ".BAK".
#include "DataSet.h"

#include <QString>
#include <functional>

class TZepKax {
public:
    static const QString FileDipendenti;    // "TEMD_DIPENDENTI.CDS"
    static const QString FileCollaboratori; // "TEMC_COLLABORATORI.CDS"
    static const QString FileDichiarante;   // "TAMM_AMMINISTRAZIONE.CDS"

    // The year data folder and the folder of the empty tables (full paths).
    TZepKax(QString cartellaAnno, QString cartellaIniziale);

    // The window's part: called with true before a file is rebuilt and with
    // false when the upgrade of that file ends, whatever its outcome. The
    // window installs it at start-up; unset, nothing is shown.
    static std::function<void(bool mostra)> Dialogo;

    // "TEMD_DIPENDENTI.CDS" checked for "ELIMINA", then
    // "TEMC_COLLABORATORI.CDS" for "CodiceComune".
    void AllineaTabelleLocali();
    // Rebuilds the year folder's `file` when it lacks `campo` (or, with a
    // size above 0, has it of another size): every row copied by field
    // name into the empty file of the initial folder, "ELIMINA" set to "N"
    // when that is the field. A field of the old file that the new one
    // lacks raises the dataset's error and leaves the year file as it was.
    // True when the file was rewritten.
    bool AggiornaStrutturaCds(const QString &file, const QString &campo, int dimensione);

    platform::DataSet cdsOld;
    platform::DataSet cdsNew;

private:
    QString m_cartellaAnno;
    QString m_cartellaIniziale;
};
