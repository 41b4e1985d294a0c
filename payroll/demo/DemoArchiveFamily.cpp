#include "DemoArchiveFamily.h"

#include "DemoArchiveItems.h"

#include "wunUCalcoli.h"
#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"

#include <QStringList>

namespace payroll {

using platform::Currency;

namespace {

constexpr int kAnno2022 = 2022 - 1969;
constexpr int kStipendio = 1;

QString elencoVoci()
{
    QStringList voci;
    for (int v : TWunCalcolaAnno2022::VociImponibileBonus150)
        voci << QString::number(v);
    return voci.join(QStringLiteral(", "));
}

} // namespace

void DemoArchiveFamily::fill(DemoArchiveWriter &writer)
{
    platform::Database &database = writer.database();
    platform::SqlQuery registri(database);
    // The first salary register of each employee in the month, with the
    // bonus taxable of its month (November only matters).
    registri.setSql(
        QStringLiteral(
            "SELECT REGS.IACOMID, MIN(REGS.IREGSID) AS IREGSID, "
            "(SELECT CAST(COALESCE(SUM(VARR.FVARRIMPONIBILEAMM), 0) AS NUMERIC(18,4)) FROM TREGS_REGISTROSTIP R2 "
            " INNER JOIN TVARR_VARRITENUTE VARR ON VARR.IREGSID = R2.IREGSID AND VARR.IVARMID IS NULL "
            " WHERE R2.IACOMID = REGS.IACOMID AND R2.IMESID = :IMESID AND R2.ICOSID = 10001 "
            " AND VARR.IRICEID IN (3, 13) AND VARR.FVARRIMPONIBILEAMM > 0 AND VARR.ICOMRID IN (%1)) AS IMPONIBILE "
            "FROM TREGS_REGISTROSTIP REGS INNER JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
            "WHERE REGS.IANFID = :IANFID AND REGS.IMESID = :IMESID AND REGS.ICOTID = :COT AND ACOM.ITNOID = 1 "
            "GROUP BY REGS.IACOMID ORDER BY REGS.IACOMID")
            .arg(elencoVoci()));
    DemoArchiveItems voci(writer);
    platform::SqlQuery flag(database);

    struct Bonus {
        int mese, voce, importo;
        const char *campo;
    };
    for (const Bonus &b : {Bonus{7, TWunCalcolaAnno2022::VoceBonus200, 200, "LACOMBONUS2002022"},
                           Bonus{11, TWunCalcolaAnno2022::VoceBonus150, 150, "LACOMBONUS1502022"}}) {
        registri.bind(QStringLiteral("IANFID"), kAnno2022)
            .bind(QStringLiteral("IMESID"), b.mese)
            .bind(QStringLiteral("COT"), kStipendio);
        registri.open();
        QList<std::pair<int, int>> concessi; // compensation, register
        for (; !registri.eof(); registri.next()) {
            const Currency imponibile =
                TwunCalcola::Arrotonda(0, registri.value(QStringLiteral("IMPONIBILE")).toCurrency());
            if (b.mese == 11 && (imponibile <= Currency() || imponibile > Currency::fromInt(1538)))
                continue;
            concessi.append(
                {registri.value(QStringLiteral("IACOMID")).toInt(), registri.value(QStringLiteral("IREGSID")).toInt()});
        }
        registri.close();
        flag.setSql(
            QStringLiteral("UPDATE TACOM_COMPENSI SET %1 = 1 WHERE IACOMID = :IACOMID").arg(QLatin1String(b.campo)));
        for (const auto &[acom, regs] : concessi) {
            flag.bind(QStringLiteral("IACOMID"), acom);
            flag.execSQL();
            voci.add(regs, b.voce, Currency::fromInt(b.importo));
        }
    }
}

} // namespace payroll
