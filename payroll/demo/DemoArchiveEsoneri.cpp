#include "DemoArchiveEsoneri.h"

#include "DemoArchiveItems.h"

#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"

#include <QHash>
#include <vector>

namespace payroll {

using platform::Currency;
using platform::Value;

namespace {

constexpr int kAnno2023 = 2023 - 1969;
constexpr int kAnno2024 = 2024 - 1969;
constexpr int kAnno2025 = 2025 - 1969;
constexpr int kStipendio = 1; // the salary liquidation kind (ICOTID)

// One salary register and what the rules read of its withholding rows.
struct Registro {
    int id = 0, acom = 0, anno = 0, mese = 0, tno = 0, paghe = 0, disattivato = 0;
    Currency stipendio, tredicesima; // pension taxables (share of the employee)
    Currency contributo, aliquota;   // the mothers' relief base and rate
    Currency irpef;                  // the income-tax taxable
};

qint64 chiave(int acom, int mese)
{
    return qint64(acom) * 100 + mese;
}

Currency importo(const platform::SqlQuery &q, const char *campo)
{
    const Value v = q.value(QLatin1String(campo));
    return v.isEmpty() ? Currency() : v.toCurrency();
}

} // namespace

void DemoArchiveEsoneri::fill(DemoArchiveWriter &writer)
{
    platform::Database &database = writer.database();
    platform::SqlQuery q(database);

    // The items belong to the salary's contribution groups of their years,
    // so that a liquidation's items are made with them: the exemptions bear
    // income tax, the wedge sum nothing.
    // The tax-wedge sum goes on after 2025, with the rules of 2025.
    platform::SqlQuery ultimo(database);
    ultimo.setSql(QStringLiteral("SELECT MAX(IANFID) FROM TANF_ANNIFINANZ"));
    ultimo.open();
    const int ultimoAnno = ultimo.value(0).toInt();
    ultimo.close();
    QList<std::pair<int, QList<int>>> vociAnno{{kAnno2023, {10074, 10075}}, {kAnno2024, {10074, 10075, 10077}}};
    for (int anno = kAnno2025; anno <= ultimoAnno; ++anno)
        vociAnno.append({anno, {10078}});
    for (const auto &[anno, voci] : vociAnno) {
        for (int tno : {1, 2, 3}) {
            for (int item : voci) {
                const Currency percentuale = Currency::fromInt(item == 10078 ? 0 : 100);
                writer.row(QStringLiteral("TCOGR_GRUPPICONTR"),
                           {writer.generatedId(QStringLiteral("TCOGR_GRUPPICONTR")), anno, kStipendio, tno, item, 7,
                            percentuale, percentuale});
            }
        }
    }

    // The mother of 2024.
    q.setSql(QStringLiteral(
        "SELECT FIRST 1 ACOM.IACOMID FROM TACOM_COMPENSI ACOM "
        "INNER JOIN TANAPER_POSIZIONI ANAPER ON ANAPER.IANAPERID = ACOM.IANAPERID "
        "INNER JOIN TANACAG_MATRICOLE ANACAG ON ANACAG.IANACAGID = ANAPER.IANACAGID "
        "INNER JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = ANACAG.IANAID "
        "WHERE ACOM.IANFID = :ANNO AND ACOM.ITNOID = 1 AND ACOM.IDCTID = 1 AND ANA.ISEXID = 2 "
        "AND EXISTS (SELECT 1 FROM TREGS_REGISTROSTIP REGS WHERE REGS.IACOMID = ACOM.IACOMID AND REGS.ICOTID = :COT) "
        "ORDER BY ANA.IANAID"));
    q.bind(QStringLiteral("ANNO"), kAnno2024).bind(QStringLiteral("COT"), kStipendio);
    q.open();
    if (!q.eof()) {
        const int madre = q.value(0).toInt();
        q.close();
        q.setSql(QStringLiteral("UPDATE TACOM_COMPENSI SET LACOMDISESONEROIVS = 2 WHERE IACOMID = :IACOMID"));
        q.bind(QStringLiteral("IACOMID"), madre);
        q.execSQL();
    }
    q.close();

    // The pension taxables of the other salary liquidations of a month.
    QHash<qint64, Currency> altre;
    q.setSql(QStringLiteral(
        "SELECT REGS.IACOMID, REGS.IMESID, SUM(CAST(VARR.FVARRIMPONIBILEDIP * VARR.FVARRPERCIMPDIP / 100 AS "
        "NUMERIC(18,4))) AS TOTALE FROM TREGS_REGISTROSTIP REGS "
        "INNER JOIN TVARR_VARRITENUTE VARR ON VARR.IREGSID = REGS.IREGSID AND VARR.IVARMID IS NULL "
        "AND VARR.ICOMRID IS NULL "
        "WHERE REGS.IANFID IN (:A2023, :A2024) AND REGS.ICOTID <> :COT AND REGS.ICOSID = 10001 "
        "AND REGS.LREGSCALCOLATA = 1 AND VARR.IRICEID IN (2, 3, 13) AND VARR.FVARRALIQUOTADIP > 0 "
        "GROUP BY REGS.IACOMID, REGS.IMESID"));
    q.bind(QStringLiteral("A2023"), kAnno2023)
        .bind(QStringLiteral("A2024"), kAnno2024)
        .bind(QStringLiteral("COT"), kStipendio);
    for (q.open(); !q.eof(); q.next())
        altre[chiave(q.value(0).toInt(), q.value(1).toInt())] += importo(q, "TOTALE");
    q.close();

    // The salary registers of 2023-2025 with their withholding rows.
    std::vector<Registro> registri;
    q.setSql(QStringLiteral(
        "SELECT REGS.IREGSID, REGS.IACOMID, REGS.IANFID, REGS.IMESID, ACOM.ITNOID, ACOM.IACOMNUMPAGHE, "
        "ACOM.LACOMDISESONEROIVS, VARR.IRICEID, COMR.ICOMRGRUPPO, VARR.FVARRIMPONIBILEDIP, VARR.FVARRPERCIMPDIP, "
        "VARR.FVARRALIQUOTADIP, VARR.FVARRRITDIP FROM TREGS_REGISTROSTIP REGS "
        "INNER JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
        "INNER JOIN TVARR_VARRITENUTE VARR ON VARR.IREGSID = REGS.IREGSID AND VARR.IVARMID IS NULL "
        "AND VARR.ICOMRID IS NOT NULL "
        "INNER JOIN TCOMR_RIGHECOMP COMR ON COMR.ICOMRID = VARR.ICOMRID "
        "WHERE REGS.IANFID >= :A2023 AND REGS.ICOTID = :COT AND REGS.ICOSID = 10001 AND REGS.LREGSCALCOLATA = 1 "
        "AND VARR.IRICEID IN (2, 3, 7, 13) ORDER BY REGS.IREGSID"));
    q.bind(QStringLiteral("A2023"), kAnno2023).bind(QStringLiteral("COT"), kStipendio);
    for (q.open(); !q.eof(); q.next()) {
        const int id = q.value(0).toInt();
        if (registri.empty() || registri.back().id != id) {
            Registro r;
            r.id = id;
            r.acom = q.value(1).toInt();
            r.anno = q.value(2).toInt();
            r.mese = q.value(3).toInt();
            r.tno = q.value(4).toInt();
            r.paghe = q.value(5).toInt();
            r.disattivato = q.value(6).toInt();
            registri.push_back(r);
        }
        Registro &r = registri.back();
        const int rice = q.value(QStringLiteral("IRICEID")).toInt();
        const Currency imponibile = importo(q, "FVARRIMPONIBILEDIP");
        const Currency parte = TTovCalcola::Percentuale(imponibile, importo(q, "FVARRPERCIMPDIP"));
        if (rice == 7) {
            r.irpef += imponibile;
            continue;
        }
        if (importo(q, "FVARRRITDIP") > Currency()) {
            r.contributo += parte;
            r.aliquota = importo(q, "FVARRALIQUOTADIP");
        }
        if (importo(q, "FVARRALIQUOTADIP") <= Currency() || parte <= Currency())
            continue;
        (q.value(QStringLiteral("ICOMRGRUPPO")).toInt() == 3 ? r.tredicesima : r.stipendio) += parte;
    }
    q.close();

    // The items, each on its register.
    DemoArchiveItems voci(writer);
    auto aggiungi = [&](const Registro &r, int item, Currency valore, Currency percentuale) {
        if (valore > Currency())
            voci.add(r.id, item, valore, percentuale);
    };

    TWunCalcolaAnno2023 regole2023;
    TWunCalcolaAnno2024 regole2024;
    for (const Registro &r : registri) {
        if (r.anno >= kAnno2025) {
            if (r.disattivato == 1 || r.disattivato == 2 || r.paghe <= 0)
                continue;
            const Currency reddito = (r.irpef * qint64(r.paghe)).rounded(2);
            const Currency percentuale = TWunCalcolaAnno2025::PercentualeTaglioCuneo(reddito);
            if (!percentuale.isZero())
                aggiungi(r, 10078, TTovCalcola::PercentualeArrotondata(2, (reddito / r.paghe).rounded(2), percentuale),
                         percentuale);
            continue;
        }
        if (r.disattivato == 2) {
            const Currency sgravio = TTovCalcola::PercentualeArrotondata(2, r.contributo.rounded(2), r.aliquota);
            aggiungi(r, TTovCalcolaAnno::COMR_ESONERO_IVS_MADRI,
                     std::min(sgravio, Currency::fromInt(TWunCalcolaAnno2024::TettoMadriMese)), Currency());
            continue;
        }
        if (r.disattivato == 1)
            continue;
        TWunCalcolaAnno2023 &regole = r.anno == kAnno2023 ? regole2023 : regole2024;
        const Currency mese = r.stipendio + altre.value(chiave(r.acom, r.mese));
        const Currency percentuale = regole.PercentualeEsoneroIvs(TTovCalcolaAnno::COMR_ESONERO_IVS_STIP, r.mese, mese);
        if (!percentuale.isZero())
            aggiungi(r, TTovCalcolaAnno::COMR_ESONERO_IVS_STIP,
                     TTovCalcola::PercentualeArrotondata(2, r.stipendio.rounded(2), percentuale), percentuale);
        const Currency tredicesima = regole.PercentualeEsoneroIvs(TTovCalcolaAnno::COMR_ESONERO_IVS_13, r.mese, mese);
        if (regole.EsoneroTredicesima() && !tredicesima.isZero())
            aggiungi(r, TTovCalcolaAnno::COMR_ESONERO_IVS_13,
                     TTovCalcola::PercentualeArrotondata(2, r.tredicesima.rounded(2), tredicesima), tredicesima);
    }
}

} // namespace payroll
