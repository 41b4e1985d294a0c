#include "DemoArchiveDma.h"

#include "SqlQuery.h"

#include <QDate>
#include <QMap>
#include <vector>

namespace payroll {

using platform::Currency;
using platform::Value;

const Currency DemoArchiveDma::Arretrati = Currency::fromInt(120);
const Currency DemoArchiveDma::Conguaglio = Currency::fromInt(30);
const Currency DemoArchiveDma::TurnoPrecedente = Currency::fromInt(40);
const Currency DemoArchiveDma::RischioPrecedente = Currency::fromInt(25);
const Currency DemoArchiveDma::Straordinario = Currency::fromInt(60);
const Currency DemoArchiveDma::AliquotaAggiuntiva = Currency::fromString(QStringLiteral("0.5"));
const Currency DemoArchiveDma::AliquotaIscritto = Currency::fromInt(1);

namespace {

constexpr int kStipendio = 1;
constexpr int kAccessori = 2;
constexpr int kIrpef = 7;
constexpr int kIrpefSeparata = 11;
constexpr int kFondo = 14;
constexpr int kAggiuntivo = 15;
constexpr int kIscritto = 16;

struct Aliquota {
    Currency dip, amm;
    Value fondo; // IFPCID of a fund's retention
};

struct Registro {
    int id = 0, acom = 0, anno = 0, mese = 0, tno = 0, qualifica = 0, minuti = 0, ore = 0;
    QDate dal, al;
    QMap<int, Aliquota> aliquote; // by retention, from the register's totals
    int vacrStipendio = 0;        // the salary item's row
};

struct Totale {
    Currency imponibile, dip, amm;
    Aliquota aliquota;
};

QDate inizio(const QDate &giorno, int mesi)
{
    return QDate(giorno.year(), giorno.month(), 1).addMonths(mesi);
}
QDate fine(const QDate &giorno, int mesi)
{
    return inizio(giorno, mesi + 1).addDays(-1);
}

class Scrittore {
public:
    explicit Scrittore(DemoArchiveWriter &w) : m_w(w), m_q(w.database()) {}

    // An item with its withholding rows (the social ones of `aliquote`,
    // then income tax on the gross less the employee's social share);
    // `totali` grows by them.
    void voce(int regs, int varm, int voce, Currency lordo, const QDate &rifDal, const QDate &rifAl,
              const QMap<int, Aliquota> &aliquote, int tassa, QMap<int, Totale> &totali)
    {
        const int vacr = int(m_w.generatedId(QStringLiteral("TVACR_VARCOMPRIGHE")));
        m_w.row(QStringLiteral("TVACR_VARCOMPRIGHE"),
                {vacr, regs ? Value(regs) : Value::null(), varm ? Value(varm) : Value::null(), voce, voce % 1000, lordo,
                 lordo, lordo, DemoArchiveWriter::Default, DemoArchiveWriter::Default, 1,
                 rifDal.isValid() ? Value(rifDal) : Value::null(), rifAl.isValid() ? Value(rifAl) : Value::null()});
        Currency sociali;
        for (auto it = aliquote.cbegin(); it != aliquote.cend(); ++it) {
            if (it.key() == kIrpef || it.key() == kIrpefSeparata)
                continue;
            sociali += ritenuta(regs, varm, vacr, voce, it.key(), lordo, it.value(), totali);
        }
        ritenuta(regs, varm, vacr, voce, tassa, lordo - sociali, aliquote.value(tassa), totali);
    }

    // One withholding row; answers the employee's share.
    Currency ritenuta(int regs, int varm, int vacr, int voce, int rice, Currency imponibile, const Aliquota &a,
                      QMap<int, Totale> &totali)
    {
        const Currency dip = imponibile.percent(a.dip).rounded(2);
        const Currency amm = imponibile.percent(a.amm).rounded(2);
        m_w.row(QStringLiteral("TVARR_VARRITENUTE"),
                {m_w.generatedId(QStringLiteral("TVARR_VARRITENUTE")), regs ? Value(regs) : Value::null(),
                 varm ? Value(varm) : Value::null(), vacr ? Value(vacr) : Value::null(),
                 voce ? Value(voce) : Value::null(), rice, Value::null(), Value::null(), a.fondo, imponibile,
                 imponibile, imponibile, a.dip, a.amm, Currency::fromInt(100), Currency::fromInt(100), dip, amm});
        Totale &t = totali[rice];
        t.imponibile += imponibile;
        t.dip += dip;
        t.amm += amm;
        t.aliquota = a;
        return dip;
    }

    // The item's income tax, on a gross lowered by `sociali` more of the
    // employee's social withholdings.
    void riduciImposta(int vacr, Currency sociali, QMap<int, Totale> &totali)
    {
        m_q.setSql(QStringLiteral("SELECT IVARRID, FVARRIMPONIBILE, FVARRALIQUOTADIP, FVARRRITDIP FROM "
                                  "TVARR_VARRITENUTE WHERE IVACRID = :IVACRID AND IRICEID = :IRICEID"));
        m_q.bind(QStringLiteral("IVACRID"), vacr).bind(QStringLiteral("IRICEID"), kIrpef);
        m_q.open();
        if (m_q.eof())
            return;
        const int id = m_q.value(0).toInt();
        const Currency imponibile = m_q.value(1).toCurrency() - sociali;
        const Currency aliquota = m_q.value(2).toCurrency();
        const Currency prima = m_q.value(3).toCurrency();
        m_q.close();
        const Currency dip = imponibile.percent(aliquota).rounded(2);
        m_q.setSql(QStringLiteral("UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILE = :IMP, FVARRIMPONIBILEDIP = :IMP, "
                                  "FVARRIMPONIBILEAMM = :IMP, FVARRRITDIP = :DIP WHERE IVARRID = :IVARRID"));
        m_q.bind(QStringLiteral("IMP"), imponibile)
            .bind(QStringLiteral("DIP"), dip)
            .bind(QStringLiteral("IVARRID"), id);
        m_q.execSQL();
        Totale &t = totali[kIrpef];
        t.imponibile -= sociali;
        t.dip += dip - prima;
    }

    // The register's rows of totals by retention: raised where they are,
    // written where they are not; its gross raised by `lordo`.
    void totali(int regs, const QMap<int, Totale> &totali, Currency lordo)
    {
        for (auto it = totali.cbegin(); it != totali.cend(); ++it) {
            const Totale &t = it.value();
            m_q.setSql(QStringLiteral(
                "UPDATE TVARR_VARRITENUTE SET FVARRIMPONIBILE = FVARRIMPONIBILE + :IMP, "
                "FVARRIMPONIBILEDIP = FVARRIMPONIBILEDIP + :IMP, FVARRIMPONIBILEAMM = FVARRIMPONIBILEAMM + :IMP, "
                "FVARRRITDIP = FVARRRITDIP + :DIP, FVARRRITAMM = FVARRRITAMM + :AMM "
                "WHERE IREGSID = :IREGSID AND IRICEID = :IRICEID AND IVACRID IS NULL AND IVARMID IS NULL"));
            m_q.bind(QStringLiteral("IMP"), t.imponibile)
                .bind(QStringLiteral("DIP"), t.dip)
                .bind(QStringLiteral("AMM"), t.amm)
                .bind(QStringLiteral("IREGSID"), regs)
                .bind(QStringLiteral("IRICEID"), it.key());
            if (m_q.execSQL() > 0)
                continue;
            m_w.row(QStringLiteral("TVARR_VARRITENUTE"),
                    {m_w.generatedId(QStringLiteral("TVARR_VARRITENUTE")), regs, Value::null(), Value::null(),
                     Value::null(), it.key(), Value::null(), Value::null(), t.aliquota.fondo, t.imponibile,
                     t.imponibile, t.imponibile, t.aliquota.dip, t.aliquota.amm, Currency::fromInt(100),
                     Currency::fromInt(100), t.dip, t.amm});
        }
        m_q.setSql(QStringLiteral(
            "UPDATE TREGS_REGISTROSTIP SET FREGSTOTALELORDO = FREGSTOTALELORDO + :IMP WHERE IREGSID = :IREGSID"));
        m_q.bind(QStringLiteral("IMP"), lordo).bind(QStringLiteral("IREGSID"), regs);
        m_q.execSQL();
    }

private:
    DemoArchiveWriter &m_w;
    platform::SqlQuery m_q;
};

} // namespace

void DemoArchiveDma::fill(DemoArchiveWriter &writer)
{
    platform::Database &database = writer.database();
    platform::SqlQuery q(database);

    // The person: the first public-sector one with a pension fund.
    q.setSql(QStringLiteral("SELECT FIRST 1 ACOM.IANAPERID FROM TACOM_COMPENSI ACOM "
                            "WHERE ACOM.SACOMINQUADRAMENTO IS NOT NULL "
                            "AND EXISTS (SELECT 1 FROM TAFP_ADESIONIFONDO AFP WHERE AFP.IACOMID = ACOM.IACOMID) "
                            "ORDER BY ACOM.IANAPERID"));
    q.open();
    if (q.eof())
        return;
    const int posizione = q.value(0).toInt();
    q.close();

    // Its salary registers of the months, with the rates of their totals.
    std::vector<Registro> registri;
    q.setSql(QStringLiteral(
        "SELECT REGS.IREGSID, REGS.IACOMID, REGS.IANFID, REGS.IMESID, REGS.ITNOID, REGS.IQARID, "
        "REGS.IREGSORESERVIZIO, REGS.IREGSSUORE, REGS.DREGSDAL, REGS.DREGSAL, VARR.IRICEID, VARR.FVARRALIQUOTADIP, "
        "VARR.FVARRALIQUOTAAMM, VARR.IFPCID, "
        "(SELECT FIRST 1 VACR.IVACRID FROM TVACR_VARCOMPRIGHE VACR WHERE VACR.IREGSID = REGS.IREGSID "
        "AND VACR.ICOMRID = 10001) AS VACR_STIPENDIO "
        "FROM TREGS_REGISTROSTIP REGS "
        "INNER JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
        "INNER JOIN TVARR_VARRITENUTE VARR ON VARR.IREGSID = REGS.IREGSID AND VARR.IVACRID IS NULL "
        "AND VARR.IVARMID IS NULL "
        "WHERE ACOM.IANAPERID = :POSIZIONE AND REGS.ICOTID = :COT AND REGS.DREGSDMADAL IS NULL "
        "ORDER BY REGS.IREGSID, VARR.IRICEID"));
    q.bind(QStringLiteral("POSIZIONE"), posizione).bind(QStringLiteral("COT"), kStipendio);
    for (q.open(); !q.eof(); q.next()) {
        const int id = q.value(0).toInt();
        if (registri.empty() || registri.back().id != id) {
            Registro r;
            r.id = id;
            r.acom = q.value(1).toInt();
            r.anno = q.value(2).toInt();
            r.mese = q.value(3).toInt();
            r.tno = q.value(4).toInt();
            r.qualifica = q.value(5).toInt();
            r.minuti = q.value(6).toInt();
            r.ore = q.value(7).toInt();
            r.dal = q.value(8).toDate();
            r.al = q.value(9).toDate();
            r.vacrStipendio = q.value(QStringLiteral("VACR_STIPENDIO")).toInt();
            registri.push_back(r);
        }
        registri.back().aliquote[q.value(QStringLiteral("IRICEID")).toInt()] =
            Aliquota{q.value(QStringLiteral("FVARRALIQUOTADIP")).toCurrency(),
                     q.value(QStringLiteral("FVARRALIQUOTAAMM")).toCurrency(), q.value(QStringLiteral("IFPCID"))};
    }
    q.close();

    Scrittore s(writer);
    const Value Default = DemoArchiveWriter::Default;
    for (const Registro &r : registri) {
        // The register of the previous month's ex-DMA period.
        const int prec = int(writer.generatedId(QStringLiteral("TREGS_REGISTROSTIP")));
        writer.row(QStringLiteral("TREGS_REGISTROSTIP"), {prec,
                                                          r.acom,
                                                          r.anno,
                                                          r.mese,
                                                          kStipendio,
                                                          1,
                                                          r.tno,
                                                          r.qualifica,
                                                          10001,
                                                          1,
                                                          0,
                                                          r.minuti,
                                                          r.ore,
                                                          r.dal,
                                                          r.al,
                                                          inizio(r.dal, -1),
                                                          fine(r.dal, -1),
                                                          Currency(),
                                                          "1234567890",
                                                          1});
        QMap<int, Totale> totaliPrec;
        s.voce(prec, 0, 10008, Arretrati, {}, {}, r.aliquote, kIrpef, totaliPrec);
        s.voce(prec, 0, 10009, Conguaglio, inizio(r.dal, -3), fine(r.dal, -3), r.aliquote, kIrpef, totaliPrec);
        s.totali(prec, totaliPrec, Arretrati + Conguaglio);

        // Items of earlier reference periods on the register of the month,
        // and the fund's other two retentions on its salary.
        QMap<int, Totale> totali;
        s.voce(r.id, 0, 10005, TurnoPrecedente, inizio(r.dal, -2), fine(r.dal, -2), r.aliquote, kIrpef, totali);
        s.voce(r.id, 0, 10007, RischioPrecedente, inizio(r.dal, -3), fine(r.dal, -3), r.aliquote, kIrpef, totali);
        const Value fondo = r.aliquote.value(kFondo).fondo;
        if (r.vacrStipendio) {
            q.setSql(QStringLiteral("SELECT FVARRIMPONIBILE FROM TVARR_VARRITENUTE WHERE IVACRID = :IVACRID "
                                    "AND IRICEID = :IRICEID"));
            q.bind(QStringLiteral("IVACRID"), r.vacrStipendio).bind(QStringLiteral("IRICEID"), kFondo);
            q.open();
            const Currency stipendio = q.eof() ? Currency() : q.value(0).toCurrency();
            q.close();
            if (stipendio > Currency()) {
                const Currency sociali = s.ritenuta(r.id, 0, r.vacrStipendio, 10001, kAggiuntivo, stipendio,
                                                    Aliquota{AliquotaAggiuntiva, Currency(), fondo}, totali)
                                         + s.ritenuta(r.id, 0, r.vacrStipendio, 10001, kIscritto, stipendio,
                                                      Aliquota{AliquotaIscritto, Currency(), fondo}, totali);
                s.riduciImposta(r.vacrStipendio, sociali, totali);
            }
        }
        s.totali(r.id, totali, TurnoPrecedente + RischioPrecedente);

        // Overtime of the previous month's ex-DMA period, liquidated apart.
        QMap<int, Aliquota> sociali = r.aliquote;
        sociali.remove(kFondo);
        sociali[kIrpefSeparata] = r.aliquote.value(kIrpef);
        const int acc = int(writer.generatedId(QStringLiteral("TREGS_REGISTROSTIP")));
        writer.row(QStringLiteral("TREGS_REGISTROSTIP"),
                   {acc, r.acom,   r.anno, r.mese, kAccessori, 1,       r.tno,   r.qualifica, 10001,        1,
                    0,   r.minuti, r.ore,  r.dal,  r.al,       Default, Default, Currency(),  "1234567890", 1});
        const int varm = int(writer.generatedId(QStringLiteral("TVARM_VARIAZIONI")));
        writer.row(QStringLiteral("TVARM_VARIAZIONI"), {varm, r.acom, r.anno, r.mese, kAccessori, 10001, 3, 0, r.dal,
                                                        r.al, inizio(r.dal, -1), fine(r.dal, -1), 0});
        QMap<int, Totale> totaliAcc, totaliVarm;
        s.voce(acc, 0, 10004, Straordinario, {}, {}, sociali, kIrpefSeparata, totaliAcc);
        s.voce(0, varm, 10004, Straordinario, {}, {}, sociali, kIrpefSeparata, totaliVarm);
        s.totali(acc, totaliAcc, Straordinario);
    }

    // The adhesion of the last year: suspended before the range, ended in
    // its last month.
    q.setSql(QStringLiteral("SELECT FIRST 1 AFP.IAFPID, (SELECT MIN(REGS.DREGSDAL) FROM TREGS_REGISTROSTIP REGS "
                            "INNER JOIN TACOM_COMPENSI A ON A.IACOMID = REGS.IACOMID WHERE A.IANAPERID = :POSIZIONE), "
                            "(SELECT MAX(REGS.DREGSAL) FROM TREGS_REGISTROSTIP REGS INNER JOIN TACOM_COMPENSI A "
                            "ON A.IACOMID = REGS.IACOMID WHERE A.IANAPERID = :POSIZIONE) "
                            "FROM TAFP_ADESIONIFONDO AFP INNER JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = AFP.IACOMID "
                            "WHERE ACOM.IANAPERID = :POSIZIONE ORDER BY ACOM.IANFID DESC"));
    q.bind(QStringLiteral("POSIZIONE"), posizione);
    q.open();
    if (q.eof() || q.value(1).isEmpty())
        return;
    const int adesione = q.value(0).toInt();
    const QDate primo = q.value(1).toDate(), ultimo = q.value(2).toDate();
    q.close();
    q.setSql(QStringLiteral("UPDATE TAFP_ADESIONIFONDO SET DAFPSOSPENSIONE = :SOSP, DAFPCESSAZIONE = :CESS "
                            "WHERE IAFPID = :IAFPID"));
    q.bind(QStringLiteral("SOSP"), inizio(primo, -1).addDays(9))
        .bind(QStringLiteral("CESS"), QDate(ultimo.year(), ultimo.month(), 20))
        .bind(QStringLiteral("IAFPID"), adesione);
    q.execSQL();
}

} // namespace payroll
