#include "archive/DemoArchiveCollaboratori.h"

#include "Currency.h"
#include "SqlQuery.h"

#include <QList>

namespace payroll {

namespace {

constexpr int InpsPieno = 3;
constexpr int Irpef = 7;

// A register total's column as the sum of its item rows.
QString somma(const char *colonna)
{
    return QStringLiteral("T.%1 = (SELECT SUM(V.%1) FROM TVARR_VARRITENUTE V WHERE V.IREGSID = T.IREGSID AND "
                          "V.IRICEID = T.IRICEID AND V.IVARMID IS NULL AND V.ICOMRID IS NOT NULL)")
        .arg(QLatin1String(colonna));
}

} // namespace

int DemoArchiveCollaboratori::fill(platform::Database &database)
{
    using platform::Currency;
    platform::SqlQuery q(database);
    q.setSql(QStringLiteral("SELECT DISTINCT IANAPERID FROM TACOM_COMPENSI WHERE ITNOID = 11 ORDER BY IANAPERID"));
    QList<int> persone;
    for (q.open(); !q.eof(); q.next())
        persone << q.value(0).toInt();
    q.close();

    platform::SqlQuery inps(database);
    inps.setSql(QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRALIQUOTADIP = 0, FVARRPERCIMPDIP = 100, "
                               "FVARRPERCIMPAMM = 100, FVARRRITDIP = 0, FVARRRITAMM = :AMM WHERE IVARRID = :ID"));
    platform::SqlQuery irpef(database);
    irpef.setSql(
        QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILE = :IMP, FVARRIMPONIBILEDIP = :IMP, "
                       "FVARRIMPONIBILEAMM = :IMP, FVARRRITDIP = :DIP, FVARRRITAMM = :AMM WHERE IVARRID = :ID"));
    platform::SqlQuery totali(database);
    totali.setSql(
        QStringLiteral("UPDATE TVARR_VARRITENUTE T SET T.FVARRALIQUOTADIP = CASE WHEN T.IRICEID = :INPS "
                       "THEN 0 ELSE T.FVARRALIQUOTADIP END, T.FVARRPERCIMPDIP = 100, T.FVARRPERCIMPAMM = 100, ")
        + QStringList{somma("FVARRIMPONIBILE"), somma("FVARRIMPONIBILEDIP"), somma("FVARRIMPONIBILEAMM"),
                      somma("FVARRRITDIP"), somma("FVARRRITAMM")}
              .join(QStringLiteral(", "))
        + QStringLiteral(" WHERE T.IREGSID = :REGISTRO AND T.ICOMRID IS NULL AND T.IVARMID IS NULL "
                         "AND T.IRICEID IN (:INPS, :IRPEF)"));
    // The person's registers, each totalled on its own: a condition "IN
    // (SELECT ...)" is evaluated for every withholding row of the archive,
    // which made a demo of 10,000 persons take hours.
    platform::SqlQuery registri(database);
    registri.setSql(QStringLiteral("SELECT REGS.IREGSID FROM TREGS_REGISTROSTIP REGS JOIN TACOM_COMPENSI ACOM ON "
                                   "ACOM.IACOMID = REGS.IACOMID WHERE ACOM.IANAPERID = :PERSONA"));

    int senzaRitenuta = 0;
    for (int i = 1; i < persone.size(); i += 2, ++senzaRitenuta) {
        // The withholding rows of the pay items of the person's registers.
        q.setSql(QStringLiteral("SELECT VARR.IVARRID, VARR.IRICEID, VACR.FVACRLORDO, VARR.FVARRIMPONIBILE, "
                                "VARR.FVARRALIQUOTADIP, VARR.FVARRALIQUOTAAMM FROM TVARR_VARRITENUTE VARR "
                                "JOIN TVACR_VARCOMPRIGHE VACR ON VACR.IVACRID = VARR.IVACRID "
                                "JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VARR.IREGSID "
                                "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
                                "WHERE ACOM.IANAPERID = :PERSONA AND VARR.IRICEID IN (:INPS, :IRPEF)"));
        q.bind(QStringLiteral("PERSONA"), persone.at(i));
        q.bind(QStringLiteral("INPS"), InpsPieno);
        q.bind(QStringLiteral("IRPEF"), Irpef);
        struct Riga {
            int id, ritenuta;
            Currency lordo, imponibile, aliquotaDip, aliquotaAmm;
        };
        QList<Riga> righe;
        for (q.open(); !q.eof(); q.next())
            righe << Riga{q.value(0).toInt(),      q.value(1).toInt(),      q.value(2).toCurrency(),
                          q.value(3).toCurrency(), q.value(4).toCurrency(), q.value(5).toCurrency()};
        q.close();
        for (const Riga &r : righe) {
            if (r.ritenuta == InpsPieno) {
                inps.bind(QStringLiteral("AMM"), r.imponibile.percent(r.aliquotaAmm).rounded(2));
                inps.bind(QStringLiteral("ID"), r.id);
                inps.execSQL();
            } else {
                // Income tax on the whole gross: nothing social was withheld.
                irpef.bind(QStringLiteral("IMP"), r.lordo);
                irpef.bind(QStringLiteral("DIP"), r.lordo.percent(r.aliquotaDip).rounded(2));
                irpef.bind(QStringLiteral("AMM"), r.lordo.percent(r.aliquotaAmm).rounded(2));
                irpef.bind(QStringLiteral("ID"), r.id);
                irpef.execSQL();
            }
        }
        registri.bind(QStringLiteral("PERSONA"), persone.at(i));
        QList<int> suoi;
        for (registri.open(); !registri.eof(); registri.next())
            suoi << registri.value(0).toInt();
        registri.close();
        for (int registro : suoi) {
            totali.bind(QStringLiteral("INPS"), InpsPieno);
            totali.bind(QStringLiteral("IRPEF"), Irpef);
            totali.bind(QStringLiteral("REGISTRO"), registro);
            totali.execSQL();
        }
    }
    return senzaRitenuta;
}

} // namespace payroll
