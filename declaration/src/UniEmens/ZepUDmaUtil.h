#pragma once
// Helpers of the public-sector (ex DMA) sections, shared by the section
// windows, the public-sector import and the file generator: the names of a
// section's fields and the default management codes of a pay row.
//
// A section's fields are named in their E0 form ("VP_E0XXX032_IMPPENS");
// the V1 twin of a name swaps "E0" for "V1" and the amount prefix "VP_" for
// "VN_" ("VN_V1XXX032_IMPPENS"). Names without the section code
// ("NumMensilita", "ORDINE") are the same in both.
#include <QString>

namespace platform {
class DataSet;
}

class TDmaUtil {
public:
    static const QString QuadroE0; // "E0"
    static const QString QuadroV1; // "V1"
    static const QString QuadroE1; // "E1"

    // The name of the E0 field `campo` in the section `quadro`.
    static QString NomeCampo(const QString &campo, const QString &quadro);
    // The field "S<quadro><nome>" of a section row: SE0CODFIS, SV1AMESE.
    static QString CampoSezione(const QString &quadro, const QString &nome);

    // Fills or clears the three management codes of the current row of a
    // section dataset (in edit or insert): a code whose amounts are not all
    // zero takes its default when empty, and is cleared when they all are:
    // pension "1", end of service "7", credit "9". A credit taxable amount
    // without its contribution gets a contribution of 0.01 first.
    static void ImpostaCodiciGestione(const QString &quadro, platform::DataSet &dataSet);
};
