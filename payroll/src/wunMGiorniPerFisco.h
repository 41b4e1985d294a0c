#pragma once
// The real days that a pay register's (or a liquidation's) pay periods
// cover, for tax purposes. A register counts 30 commercial days for a whole
// month; the income-tax days are the calendar days: 28 or 29 in February,
// 31 in a month of 31 days, and for a month in part the days its periods
// actually cover.
//
//     TdmwunGiorniPerFisco::Imposta("REGS", "REGS.IREGSID=812");
//     const int giorni = TdmwunGiorniPerFisco::GiorniFiscali(30, 2, 2024);  // 29
//
// The periods are read with QRY_VAPE_GIORNI on the global connection: its
// text names the owner table through %TABELLA% and its alias through
// %ALIAS%, and takes the condition set by Imposta as its one format
// argument. The condition is a piece of statement the program builds
// ("REGS.IREGSID=812", "REGS.IMESID=3 AND ..."), never user text.
#include <QString>

class TdmwunGiorniPerFisco {
public:
    // Keeps the owner's alias ("REGS" register, "VARM" liquidation) and the
    // condition that chooses its rows, for the next GiorniFiscali.
    static void Imposta(const QString &alias, const QString &condizione);
    // "TVARM_VARIAZIONI" for "VARM", "TREGS_REGISTROSTIP" for any other.
    static QString Tabella(const QString &alias);
    // The distinct days of the month that the periods of the rows chosen by
    // Imposta cover, each period taken within the month (a period reaching
    // into the month before or after counts only its days in this one);
    // -1 when there is no period or a period lacks its start or end.
    static int GiorniDaPeriodi(int mese, int anno);
    // The days for tax of a count of commercial days: anything but 30, and
    // 30 in a month of 30 days, stay as they are; otherwise the days of
    // GiorniDaPeriodi, or the days of the month when that finds none.
    static int GiorniFiscali(int giorni, int mese, int anno);

    static const QString AliasLiquidazione; // "VARM"

private:
    static TdmwunGiorniPerFisco &Istanza();

    QString m_alias;
    QString m_condizione;
};
