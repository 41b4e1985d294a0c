#pragma once
// The checks of the public-sector sections, without any window: the
// mandatory fields of sections E0, V1 and E1 with their labels, and the
// consistency checks of section E1. The check dialog TfmZepDmaInfo shows
// what they find; the public-sector import gathers it over a run.
//
// "Contratto" is a field of E0 and V1 alike: a row is told by the label of
// its own section ("Contratto (E0)", "Contratto (V1)").
#include <QList>
#include <QString>
#include <QStringList>

class TTovInfoChecker;

namespace platform {
class DataSet;
}

class TZepDmaInfo {
public:
    // The 22 "NAME=Label" pairs, in their order.
    static QStringList Etichette();
    // The pairs for the rows of `dataSet`: a V1 row's "Contratto" pair
    // comes before the E0 one.
    static QStringList EtichettePer(const platform::DataSet &dataSet);
    // Whether the current E1 row stops its contributions on a date
    // (DT_E1XXX009_DFINE_CONTRIBUZIONI) without saying why: neither the
    // suspension reason (E1-10) nor the cessation kind (E1-11).
    static bool CessazioneSenzaMotivo(const platform::DataSet &e1);
    // A message for the field of the current row, empty when it is fine.
    static QString ControllaCampo(const QString &campo, platform::DataSet &dataSet);
    // Checks the current row of each dataset with its section's labels;
    // true when nothing was found. The checker's labels are left as found.
    static bool Controlla(TTovInfoChecker &checker, const QList<platform::DataSet *> &dataSets);
};
