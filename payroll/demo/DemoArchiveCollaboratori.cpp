#include "DemoArchiveCollaboratori.h"

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
                          "V.IRICEID + 0 = T.IRICEID AND V.IVARMID + 0 IS NULL AND V.ICOMRID + 0 IS NOT NULL)")
        .arg(QLatin1String(colonna));
}

} // namespace

int DemoArchiveCollaboratori::fill(platform::Database &database)
{
    using platform::Currency;
    platform::SqlQuery q(database);
    // The collaborations of the separate scheme: not a public-sector person
    // whose legal position says 11 by mistake.
    q.setSql(QStringLiteral("SELECT DISTINCT IANAPERID FROM TACOM_COMPENSI WHERE ITNOID = 11 AND IDCTID <> 2 "
                            "ORDER BY IANAPERID"));
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
        + QStringLiteral(" WHERE T.IREGSID = :REGISTRO AND T.ICOMRID + 0 IS NULL AND T.IVARMID + 0 IS NULL "
                         "AND T.IRICEID + 0 IN (:INPS, :IRPEF)"));
    // The person's registers, each totalled on its own: a condition "IN
    // (SELECT ...)" is evaluated for every withholding row of the archive,
    // which made a demo of 10,000 persons take hours. The statements below
    // read one table each, by the person, the compensation or the register
    // ("+ 0" on the other columns): the archive's statistics are made only
    // once it is filled, and without them a join or an index of a retention,
    // a liquidation or a pay row may be read whole for every person.
    platform::SqlQuery compensi(database);
    compensi.setSql(QStringLiteral("SELECT IACOMID FROM TACOM_COMPENSI WHERE IANAPERID = :PERSONA"));
    platform::SqlQuery registri(database);
    registri.setSql(QStringLiteral("SELECT IREGSID FROM TREGS_REGISTROSTIP WHERE IACOMID = :COMPENSO"));
    // The withholding rows of the register's pay items.
    platform::SqlQuery righeRitenute(database);
    righeRitenute.setSql(QStringLiteral(
        "SELECT VARR.IVARRID, VARR.IRICEID, (SELECT VACR.FVACRLORDO FROM TVACR_VARCOMPRIGHE VACR WHERE "
        "VACR.IVACRID = VARR.IVACRID), VARR.FVARRIMPONIBILE, VARR.FVARRALIQUOTADIP, VARR.FVARRALIQUOTAAMM "
        "FROM TVARR_VARRITENUTE VARR WHERE VARR.IREGSID = :REGISTRO AND VARR.IVACRID + 0 IS NOT NULL "
        "AND VARR.IRICEID + 0 IN (:INPS, :IRPEF)"));
    for (platform::SqlQuery *query : {&righeRitenute, &totali}) {
        query->bind(QStringLiteral("INPS"), InpsPieno);
        query->bind(QStringLiteral("IRPEF"), Irpef);
    }
    const auto ids = [](platform::SqlQuery &query, const QString &param, int value) {
        query.bind(param, value);
        QList<int> out;
        for (query.open(); !query.eof(); query.next())
            out << query.value(0).toInt();
        query.close();
        return out;
    };

    int senzaRitenuta = 0;
    for (int i = 1; i < persone.size(); i += 2, ++senzaRitenuta) {
        QList<int> suoi;
        for (int compenso : ids(compensi, QStringLiteral("PERSONA"), persone.at(i)))
            suoi << ids(registri, QStringLiteral("COMPENSO"), compenso);
        for (int registro : suoi) {
            righeRitenute.bind(QStringLiteral("REGISTRO"), registro);
            struct Riga {
                int id, ritenuta;
                Currency lordo, imponibile, aliquotaDip, aliquotaAmm;
            };
            QList<Riga> righe;
            for (righeRitenute.open(); !righeRitenute.eof(); righeRitenute.next()) {
                const platform::SqlQuery &r = righeRitenute;
                righe << Riga{r.value(0).toInt(),      r.value(1).toInt(),      r.value(2).toCurrency(),
                              r.value(3).toCurrency(), r.value(4).toCurrency(), r.value(5).toCurrency()};
            }
            righeRitenute.close();
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
            totali.bind(QStringLiteral("REGISTRO"), registro);
            totali.execSQL();
        }
    }
    return senzaRitenuta;
}

} // namespace payroll
