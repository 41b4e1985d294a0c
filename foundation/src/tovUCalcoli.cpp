#include "tovUCalcoli.h"

#include "DataSet.h"
#include "Database.h"
#include "Format.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUUtil.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

namespace {

using i128 = __int128;

const QString kOverflow = QStringLiteral("Valore fuori dai limiti dell'importo");

i128 mul(i128 a, i128 b)
{
    i128 r;
    if (__builtin_mul_overflow(a, b, &r))
        throw platform::EOverflowError(kOverflow);
    return r;
}

i128 divRound(i128 num, i128 den)
{
    return platform::roundedQuotient(num, den);
}

Currency fromRaw(i128 raw)
{
    if (raw > std::numeric_limits<int64_t>::max() || raw < std::numeric_limits<int64_t>::min())
        throw platform::EOverflowError(kOverflow);
    return Currency::fromRaw(int64_t(raw));
}

// A rate as an exact fraction num / den (den > 0).
struct Rate {
    i128 num = 0;
    i128 den = 1;
};

Rate rateOf(Currency percent)
{
    return Rate{percent.raw(), Currency::Scale};
}

// A rate held as a double stands for the short decimal it was written as:
// its 15 significant digits, which a double always carries exactly, with
// the trailing zeros dropped (9.89 is 989/100).
Rate rateOf(double percent)
{
    if (!std::isfinite(percent))
        throw platform::EOverflowError(QStringLiteral("Aliquota non numerica"));
    if (percent == 0)
        return Rate{0, 1};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(percent));
    i128 digits = 0;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits = digits * 10 + (*p - '0');
    int exponent = std::atoi(p + 1) - 14; // value = digits * 10^exponent
    while (digits % 10 == 0) {
        digits /= 10;
        ++exponent;
    }
    Rate r;
    r.num = percent < 0 ? -digits : digits;
    if (exponent >= 0) {
        for (int i = 0; i < exponent; ++i)
            r.num = mul(r.num, 10);
    } else {
        for (int i = 0; i < -exponent; ++i)
            r.den = mul(r.den, 10);
    }
    return r;
}

Currency percentOf(Currency value, const Rate &rate)
{
    return fromRaw(divRound(mul(value.raw(), rate.num), mul(rate.den, 100)));
}

// contribution / rate x 100 at four decimals.
Currency taxableOf(Currency contribution, const Rate &rate)
{
    if (rate.num == 0)
        throw ETovCalcola(
            QStringLiteral("Aliquota ex ENPALS pari a zero: impossibile ricavare l'imponibile dal contributo"));
    return fromRaw(divRound(mul(mul(contribution.raw(), 100), rate.den), rate.num));
}

Currency amount(const DataSet &ds, const char *field)
{
    return ds.fieldByName(QLatin1String(field)).asCurrency();
}

int integer(const DataSet &ds, const char *field)
{
    return ds.fieldByName(QLatin1String(field)).asInteger();
}

void setAmount(DataSet &ds, const char *field, Currency value)
{
    ds.fieldByName(QLatin1String(field)).setAsCurrency(value);
}

void setAmount(DataSet &ds, const QString &field, Currency value)
{
    ds.fieldByName(field).setAsCurrency(value);
}

// A statement of the catalogue (kind as given) for a query, with the text
// that the caller appends.
void assignStatement(SqlQuery &query, const QString &name, const QString &kind, const QString &extra = {})
{
    TovQueryText().AssignSQL(name, query, 0, kind, extra);
}

std::unique_ptr<TTovCalcolaAnno> &currentYearRule()
{
    static std::unique_ptr<TTovCalcolaAnno> rule = std::make_unique<TTovCalcolaAnno>();
    return rule;
}

TTovCalcolaEnpals *g_enpals = nullptr;

} // namespace

// ============================================================================
// TTovCalcola
// ============================================================================

Currency TTovCalcola::Arrotonda(int decimals, Currency value)
{
    return value.rounded(decimals);
}

Currency TTovCalcola::Percentuale(Currency value, double percent)
{
    if (percent == 100)
        return value;
    return percentOf(value, rateOf(percent));
}

Currency TTovCalcola::Percentuale(Currency value, Currency percent)
{
    if (percent == Currency::fromInt(100))
        return value;
    return percentOf(value, rateOf(percent));
}

Currency TTovCalcola::PercentualeArrotondata(int decimals, Currency value, double percent)
{
    return Arrotonda(decimals, Percentuale(value, percent));
}

Currency TTovCalcola::PercentualeArrotondata(int decimals, Currency value, Currency percent)
{
    return Arrotonda(decimals, Percentuale(value, percent));
}

Currency TTovCalcola::DifferenzaPositiva(Currency a, Currency b)
{
    const Currency d = a - b;
    return d < Currency() ? Currency() : d;
}

qint64 TTovCalcola::ArrotondaPerEccesso(int digit, Currency value)
{
    ZEP_ASSERT(digit >= 0 && digit <= 18, QStringLiteral("ArrotondaPerEccesso: cifra %1 non valida").arg(digit));
    // A multiple of 10^digit units is a multiple of 10^(digit + 4) on the
    // scaled integer; round that towards plus infinity.
    i128 step = 1;
    for (int i = 0; i < digit + 4; ++i)
        step *= 10;
    const i128 raw = value.raw();
    i128 q = raw / step;
    if (raw % step != 0 && raw > 0)
        ++q;
    const i128 units = q * (step / Currency::Scale);
    if (units > std::numeric_limits<qint64>::max() || units < std::numeric_limits<qint64>::min())
        throw platform::EOverflowError(kOverflow);
    return qint64(units);
}

bool TTovCalcola::TnoNonStipendio(int tnoId)
{
    return tnoId == TNO_10 || tnoId == TNO_COCOCO || tnoId == TNO_14 || tnoId == TNO_15;
}

bool TTovCalcola::TnoNonScomputabile(int tnoId)
{
    return tnoId == TNO_10 || tnoId == TNO_14 || tnoId == TNO_15;
}

bool TTovCalcola::IdTnoRipartita(int tnoId)
{
    return tnoId == TNO_COCOCO || tnoId == TNO_15;
}

bool TTovCalcola::TnoRipartita(const DataSet &compensation)
{
    return IdTnoRipartita(integer(compensation, "ITNOID"));
}

QString TTovCalcola::TnoRipartiteSql()
{
    return platform::format(QStringLiteral("%d,%d"), TNO_COCOCO, TNO_15);
}

QString TTovCalcola::TnoNonStipendioSql()
{
    return platform::format(QStringLiteral("%d,%d,%d,%d"), TNO_COCOCO, TNO_10, TNO_14, TNO_15);
}

bool TTovCalcola::RitenutaApplicabile(const DataSet &row, DataSet &rates)
{
    const int riceId = integer(row, "IRICEID");
    if (riceId == RICE_COD_NON_APPLICABILE)
        return false;
    if (integer(row, "ITVCOCODDIP") == 3 || HaFondoPensione(row))
        return true;
    if (rates.locate(QStringLiteral("IRICEID"), Value(riceId)))
        return true;
    return riceId == RICE_COD_INPS_PT && rates.locate(QStringLiteral("IRICEID"), Value(RICE_COD_INPS_OI));
}

bool TTovCalcola::TvcoSpeciale(const DataSet &row)
{
    return integer(row, "ITVCOCODDIP") == 2 || integer(row, "ITVCOCODAMM") == 6;
}

bool TTovCalcola::HaFondoPensione(const DataSet &row)
{
    return !row.fieldByName(QStringLiteral("IFPCID")).isNull();
}

namespace {

int serviceMinutes(const DataSet &row, const QString &prefix)
{
    if (const platform::Field *f = row.findField(QStringLiteral("ORARIO_EFF")))
        return f->asInteger();
    return row.fieldByName(QLatin1Char('I') + prefix + QStringLiteral("ORESERVIZIO")).asInteger();
}

bool chairFlag(const DataSet &row, const QString &prefix)
{
    const platform::Field *f = row.findField(QLatin1Char('L') + prefix + QStringLiteral("CATTEDRA"));
    return f && f->asInteger() == 1;
}

} // namespace

bool TTovCalcola::OrarioRidotto(const DataSet &row, const QString &prefix, int fullHours)
{
    return serviceMinutes(row, prefix) != fullHours * 60 && !chairFlag(row, prefix);
}

bool TTovCalcola::OrarioRidottoAsti(const DataSet &row, const QString &prefix, int fullHours, int aidCode)
{
    const int minutes = serviceMinutes(row, prefix);
    const bool reduced = (aidCode == 3 || aidCode == 4) ? minutes < fullHours * 60 : minutes != fullHours * 60;
    return reduced && !chairFlag(row, prefix);
}

void TTovCalcola::AliquotaAddizionale(DataSet &row, const DataSet &compensation)
{
    if (integer(row, "ITVCOIDDIP") == 0)
        return;
    const char *source = nullptr;
    switch (integer(row, "IRICENUBRACODE")) {
    case 8: source = "FACOMADDIRPEFCOM"; break;
    case 9: source = "FACOMADDIRPEFPRO"; break;
    case 10: source = "FACOMADDIRPEFREG"; break;
    default: return;
    }
    setAmount(row, "FVARRALIQUOTADIP", amount(compensation, source));
    setAmount(row, "FVARRALIQUOTAAMM", Currency());
}

void TTovCalcola::CalcolaRitenuta(DataSet &row, const DataSet &compensation, Currency &credit, bool reduceCredit,
                                  Currency taxable)
{
    const int tnoId = integer(compensation, "ITNOID");
    const int riceId = integer(row, "IRICEID");
    if (IdTnoRipartita(tnoId) && (riceId == 3 || riceId == 4)) {
        if (riceId == 3)
            RipartisciRitenuta(row, 0, tnoId == TNO_COCOCO ? amount(row, "FVARRIMPONIBILE") : taxable);
        else
            RipartisciRitenuta(row, 1, amount(row, "FVARRIMPONIBILE"));
    } else {
        setAmount(row, "FVARRRITDIP",
                  PercentualeArrotondata(2, amount(row, "FVARRIMPONIBILEDIP"), amount(row, "FVARRALIQUOTADIP")));
        setAmount(row, "FVARRRITAMM",
                  PercentualeArrotondata(2, amount(row, "FVARRIMPONIBILEAMM"), amount(row, "FVARRALIQUOTAAMM")));
        if (riceId == RICE_COD_ENPALS) {
            // Without an installed calculator the row keeps the plain
            // percentage withholding computed above.
            if (TTovCalcolaEnpals *enpals = TovCalcolaEnpals())
                enpals->Calcola(row, compensation);
        }
    }
    if (reduceCredit && !TnoNonScomputabile(tnoId))
        credit = DifferenzaPositiva(credit, amount(row, "FVARRRITDIP"));
    if (amount(row, "FVARRRITDIP").isZero()) {
        setAmount(row, "FVARRIMPONIBILEDIP", Currency());
        setAmount(row, "FVARRPERCIMPDIP", Currency());
    }
    if (amount(row, "FVARRRITAMM").isZero()) {
        setAmount(row, "FVARRIMPONIBILEAMM", Currency());
        setAmount(row, "FVARRPERCIMPAMM", Currency());
    }
}

void TTovCalcola::RipartisciRitenuta(DataSet &row, int surcharge, Currency taxable)
{
    // The administration rate is the rate of the whole withholding.
    const Currency rate = amount(row, "FVARRALIQUOTAAMM");
    setAmount(row, "FVARRALIQUOTADIP", rate);
    if (rate <= Currency())
        return;
    setAmount(row, "FVARRIMPONIBILEDIP", taxable);
    setAmount(row, "FVARRIMPONIBILEAMM", taxable);
    auto total = [&](Currency r) {
        Currency t = Percentuale(taxable, r);
        if (surcharge > 0)
            t = Percentuale(t, Currency::fromInt(100 + surcharge));
        return t;
    };
    const Currency dip = Arrotonda(2, Arrotonda(2, total(rate)) / 3);
    setAmount(row, "FVARRRITDIP", dip);
    setAmount(row, "FVARRRITAMM", total(amount(row, "FVARRALIQUOTAAMM")) - dip);
    setAmount(row, "FVARRPERCIMPDIP", Currency::fromString(QStringLiteral("33.333")));
    setAmount(row, "FVARRPERCIMPAMM", Currency::fromString(QStringLiteral("66.666")));
}

void TTovCalcola::ImpostaImponibile(DataSet &rows, int kind, Currency value)
{
    switch (kind) {
    case 4: ImpostaImponibileRitenuta(rows, 12, value); break;
    case 3: ImpostaImponibileRitenuta(rows, 11, value); break;
    case 1:
    case 2: ImpostaImponibileRitenuta(rows, 7, value); break;
    default: break;
    }
}

void TTovCalcola::ImpostaImponibileRitenuta(DataSet &rows, int riceId, Currency value)
{
    if (!rows.locate(QStringLiteral("IRICEID"), Value(riceId)))
        return;
    rows.edit();
    setAmount(rows, "FVARRIMPONIBILE", value);
    setAmount(rows, "FVARRIMPONIBILEDIP", value);
    rows.post();
}

namespace {

Currency cudTotal(const QString &statement, const char *keyParam, int riceId, int key, SqlQuery &query,
                  const DataSet &compensation, const QString &extra)
{
    assignStatement(query, statement, QStringLiteral("EXECUTE"), extra);
    query.bind(QStringLiteral("IACOMID"), compensation.fieldValue(QStringLiteral("IACOMID")));
    query.bind(QStringLiteral("IRICEID"), Value(riceId));
    query.bind(QLatin1String(keyParam), Value(key));
    query.bind(QStringLiteral("MESE_INIZIALE"), compensation.fieldValue(QStringLiteral("MESE_INIZIALE")));
    query.bind(QStringLiteral("MESE_FINALE"), compensation.fieldValue(QStringLiteral("MESE_FINALE")));
    query.open();
    const Value total = query.eof() ? Value::null() : query.value(QStringLiteral("TOTALE"));
    query.close();
    return total.isEmpty() ? Currency() : total.toCurrency();
}

} // namespace

Currency TTovCalcola::ImponibileInpsAccessori(int riceId, int rirpId, SqlQuery &query, const DataSet &compensation,
                                              const QString &extra, const QString &statement)
{
    return cudTotal(statement.isEmpty() ? QStringLiteral("QRY_CUD_INPS_IMP_ACC") : statement, "IVARMRIRPID", riceId,
                    rirpId, query, compensation, extra);
}

Currency TTovCalcola::ImponibileInpsFondamentali(int riceId, int cosId, SqlQuery &query, const DataSet &compensation,
                                                 const QString &extra, const QString &statement)
{
    return cudTotal(statement.isEmpty() ? QStringLiteral("QRY_CUD_INPS_IMP_FOND") : statement, "ICOSID", riceId, cosId,
                    query, compensation, extra);
}

Currency TTovCalcola::ImportoCcnl(DataSet &ccnl, int qarId, bool annual, int component)
{
    // The percentage belongs to the record the caller stands on: read it
    // before the dataset moves.
    const Currency percent = amount(ccnl, "FCCNAPERC");
    if (percent.isZero())
        return Currency();
    Currency sum;
    for (int item : {COMR_STIPENDIO, COMR_CCNL_2}) {
        if (ccnl.locate(QStringLiteral("IQARID;ICOMRID"), platform::ValueList{Value(qarId), Value(item)}))
            sum += amount(ccnl, "FCCNLIMPORTO");
    }
    return QuotaCcnl(sum, percent, component, annual);
}

Currency TTovCalcola::ImportoCcnl10071(DataSet &ccnl, int qarId, bool annual)
{
    return ImportoCcnl(ccnl, qarId, annual, COMR_IVC);
}

Currency TTovCalcola::QuotaCcnl(Currency sum, Currency percent, int component, bool annual)
{
    if (sum.isZero() || percent.isZero())
        return Currency();
    const Currency monthly = Arrotonda(2, sum / 12);
    Currency result = PercentualeArrotondata(2, monthly, percent);
    if (component == COMR_IVC)
        TovCalcolaAnno().AdeguaImportoCcnl(result);
    if (annual)
        result = result * 12;
    return result;
}

// ============================================================================
// TTovCalcolaAnno
// ============================================================================

TTovCalcolaAnno::~TTovCalcolaAnno() = default;

std::unique_ptr<DataSet> TTovCalcolaAnno::EsoneriIvs(int, int, int, int, int) const
{
    return nullptr;
}

std::unique_ptr<DataSet> TTovCalcolaAnno::EsoneriIvs(int month, int company, int group, int anfId) const
{
    return EsoneriIvs(month, company, group, anfId, TTovUtil::DwgId());
}

void TTovCalcolaAnno::AdeguaImportoCcnl(Currency &) const {}

void TTovCalcolaAnno::SelezionaAnno(int year)
{
    std::unique_ptr<TTovCalcolaAnno> rule;
    if (year > 2022) {
        if (year == 2023)
            rule = std::make_unique<TTovCalcolaAnno2023>();
        else
            rule = std::make_unique<TTovCalcolaAnno2024>();
        rule->m_anno = year;
    } else {
        rule = std::make_unique<TTovCalcolaAnno>();
    }
    currentYearRule() = std::move(rule);
}

void TTovCalcolaAnno::AliquoteEnpals(double &aggiuntivo, double &solidarietaDip, double &solidarietaAmm)
{
    aggiuntivo = 1.0;
    solidarietaDip = 2.5;
    solidarietaAmm = 2.5;
}

TTovCalcolaAnno &TovCalcolaAnno()
{
    return *currentYearRule();
}

// ---- 2023 ------------------------------------------------------------------

QString TTovCalcolaAnno2023::EsoneriIvsSql()
{
    // One row per calculated register row of the month; the amounts come
    // from the register's own pay-item rows (no liquidation) and its
    // withholding totals (no pay item, no liquidation).
    auto item = [](const char *param) {
        return QStringLiteral("COALESCE((SELECT SUM(VACR.FVACRLORDO) FROM TVACR_VARCOMPRIGHE VACR"
                              " WHERE VACR.IREGSID=REGS.IREGSID AND VACR.IVARMID IS NULL"
                              " AND VACR.ICOMRID=:%1), 0)")
            .arg(QLatin1String(param));
    };
    auto taxable = [](const char *param) {
        return QStringLiteral("(SELECT SUM(VARR.FVARRIMPONIBILEDIP) FROM TVARR_VARRITENUTE VARR"
                              " WHERE VARR.IREGSID=REGS.IREGSID AND VARR.ICOMRID IS NULL"
                              " AND VARR.IVARMID IS NULL AND NOT VARR.FVARRRITDIP=0"
                              " AND VARR.IRICEID=:%1)")
            .arg(QLatin1String(param));
    };
    auto withholding = [](const char *param) {
        return QStringLiteral("(SELECT SUM(VARR.FVARRRITDIP) FROM TVARR_VARRITENUTE VARR"
                              " WHERE VARR.IREGSID=REGS.IREGSID AND VARR.ICOMRID IS NULL"
                              " AND VARR.IVARMID IS NULL AND VARR.IRICEID=:%1)")
            .arg(QLatin1String(param));
    };
    const QString zero = QStringLiteral("CAST(0 AS NUMERIC(11,2))");
    return QStringLiteral("SELECT REGS.IACOMID, REGS.IREGSID, ") + item("COMR_ESONERO_IVS_STIP")
           + QStringLiteral(" AS ESONERO_STIP, ") + item("COMR_ESONERO_IVS_13") + QStringLiteral(" AS ESONERO_13, ")
           + item("COMR_ESONERO_IVS_MADRI") + QStringLiteral(" AS ESONERO_MADRI, ") + zero
           + QStringLiteral(" AS ESONERO, ")
           + QStringLiteral("(SELECT MAX(VACR.FVACRPERCESONEROIVS) FROM TVACR_VARCOMPRIGHE VACR"
                            " WHERE VACR.IREGSID=REGS.IREGSID AND VACR.IVARMID IS NULL"
                            " AND VACR.ICOMRID=:COMR_ESONERO_IVS_STIP) AS TAGLIO_STIP, ")
           + taxable("RICE_COD_INPDAP") + QStringLiteral(" AS IMPINPDAP, ") + taxable("RICE_COD_INPS_OI")
           + QStringLiteral(" AS IMPINPSOI, ") + withholding("RICE_COD_INPS_OI") + QStringLiteral(" AS RITINPSOI, ")
           + taxable("RICE_COD_INPS_PT") + QStringLiteral(" AS IMPINPSPT, ") + withholding("RICE_COD_INPS_PT")
           + QStringLiteral(" AS RITINPSPT, ") + zero + QStringLiteral(" AS ESONERO_INPDAP, ") + zero
           + QStringLiteral(" AS ESONERO_INPSOI, ") + zero + QStringLiteral(" AS ESONERO_INPSPT ")
           + QStringLiteral("FROM TREGS_REGISTROSTIP REGS "
                            "WHERE REGS.IANFID=:IANFID AND REGS.IMESID=:IMESID AND REGS.ICOTID=:ICOTID"
                            " AND REGS.IDWGID=:IDWGID AND REGS.LREGSCALCOLATA=1 AND REGS.LREGSLIQDAALTRI=0"
                            " AND REGS.IREGSGRUPPO=:IREGSGRUPPO "
                            "ORDER BY REGS.IREGSID");
}

QString TTovCalcolaAnno2023::RitenutaTredicesimaSql()
{
    return QStringLiteral("SELECT DISTINCT VARR.IRICEID FROM TREGS_REGISTROSTIP REGS"
                          " INNER JOIN TVARM_VARIAZIONI VARM ON VARM.IACOMID=REGS.IACOMID AND VARM.IMESID=REGS.IMESID"
                          " AND VARM.ICOTID=REGS.ICOTID"
                          " INNER JOIN TVARR_VARRITENUTE VARR ON VARR.IVARMID=VARM.IVARMID"
                          " INNER JOIN TCOMR_RIGHECOMP COMR ON COMR.ICOMRID=VARR.ICOMRID"
                          " WHERE REGS.IREGSID=:IREGSID AND VARR.FVARRIMPONIBILE > 0 AND COMR.ICOMRGRUPPO=3"
                          " AND VARR.IRICEID IN (:RICE_COD_INPS_OI,:RICE_COD_INPS_PT)");
}

std::unique_ptr<DataSet> TTovCalcolaAnno2023::EsoneriIvs(int month, int company, int group, int anfId, int dwgId) const
{
    SqlQuery query; // the framework's global connection
    query.setSql(EsoneriIvsSql());
    query.bind(QStringLiteral("COMR_ESONERO_IVS_STIP"), Value(COMR_ESONERO_IVS_STIP));
    query.bind(QStringLiteral("COMR_ESONERO_IVS_13"), Value(COMR_ESONERO_IVS_13));
    query.bind(QStringLiteral("COMR_ESONERO_IVS_MADRI"), Value(COMR_ESONERO_IVS_MADRI));
    query.bind(QStringLiteral("RICE_COD_INPDAP"), Value(TTovCalcola::RICE_COD_INPDAP));
    query.bind(QStringLiteral("RICE_COD_INPS_OI"), Value(TTovCalcola::RICE_COD_INPS_OI));
    query.bind(QStringLiteral("RICE_COD_INPS_PT"), Value(TTovCalcola::RICE_COD_INPS_PT));
    query.bind(QStringLiteral("IANFID"), Value(anfId));
    query.bind(QStringLiteral("IMESID"), Value(month));
    query.bind(QStringLiteral("ICOTID"), Value(company));
    query.bind(QStringLiteral("IDWGID"), Value(dwgId));
    query.bind(QStringLiteral("IREGSGRUPPO"), Value(group));
    query.open();
    DataSet regs;
    query.fetchInto(regs);

    std::unique_ptr<DataSet> result;
    const Currency zero;
    for (regs.first(); !regs.eof(); regs.next()) {
        if (amount(regs, "ESONERO_MADRI") + amount(regs, "ESONERO_13") + amount(regs, "ESONERO_STIP") <= zero)
            continue;
        if (!result) {
            result = std::make_unique<DataSet>();
            result->setFieldDefs(regs.fieldDefs());
            result->createDataSet();
        }
        // Rows follow the statement's order.
        DataSet &row = *result;
        row.append();
        for (const auto &field : regs.fields())
            row.fieldByName(field->fieldName()).setValue(field->value());
        const Currency esonero = EsoneroMadri(regs) + amount(regs, "ESONERO_13") + amount(regs, "ESONERO_STIP");
        setAmount(row, "ESONERO", esonero);
        if (amount(row, "IMPINPDAP") > zero) {
            setAmount(row, "ESONERO_INPDAP", esonero);
        } else if (amount(row, "IMPINPSOI") > zero && amount(row, "IMPINPSPT") > zero) {
            RipartisciEsoneroInps(row, integer(row, "IREGSID"));
        } else if (amount(row, "IMPINPSOI") > zero) {
            setAmount(row, "ESONERO_INPSOI", esonero);
        } else if (amount(row, "IMPINPSPT") > zero) {
            setAmount(row, "ESONERO_INPSPT", esonero);
        }
        row.post();
    }
    if (result)
        result->first();
    return result;
}

void TTovCalcolaAnno2023::RipartisciEsoneroInps(DataSet &row, int regsId) const
{
    RipartisciEsoneroStipendio(row, regsId);
}

void TTovCalcolaAnno2023::RipartisciEsoneroStipendio(DataSet &row, int regsId) const
{
    SqlQuery query;
    query.setSql(RitenutaTredicesimaSql());
    query.bind(QStringLiteral("IREGSID"), Value(regsId));
    query.bind(QStringLiteral("RICE_COD_INPS_OI"), Value(TTovCalcola::RICE_COD_INPS_OI));
    query.bind(QStringLiteral("RICE_COD_INPS_PT"), Value(TTovCalcola::RICE_COD_INPS_PT));
    query.open();
    QList<int> retentions;
    for (; !query.eof(); query.next())
        retentions << query.value(0).toInt();
    query.close();
    if (retentions.size() > 1)
        throw ETovCalcola(QStringLiteral(
            "La tredicesima non può essere associata contemporaneamente ad INPS tempo pieno e part-time."));
    // The salary exemption goes on the side that does not carry the
    // thirteenth month.
    QString side = QStringLiteral("INPSOI");
    QString other = QStringLiteral("INPSPT");
    if (retentions.size() == 1 && retentions.first() == TTovCalcola::RICE_COD_INPS_OI)
        std::swap(side, other);
    const Currency onSide = TTovCalcola::PercentualeArrotondata(
        2, row.fieldByName(QStringLiteral("IMP") + side).asCurrency(), amount(row, "TAGLIO_STIP"));
    if (onSide < Currency())
        throw ETovCalcola(platform::format(QStringLiteral("Esonero stipendio su %s negativo"), side));
    setAmount(row, QStringLiteral("ESONERO_") + side, onSide);
    setAmount(row, QStringLiteral("ESONERO_") + other, amount(row, "ESONERO") - onSide);
}

Currency TTovCalcolaAnno2023::EsoneroMadri(const DataSet &) const
{
    return Currency();
}

// ---- 2024 ------------------------------------------------------------------

void TTovCalcolaAnno2024::AdeguaImportoCcnl(Currency &value) const
{
    value = TTovCalcola::Arrotonda(2, TTovCalcola::Percentuale(value, Currency::fromInt(670)));
}

void TTovCalcolaAnno2024::RipartisciEsoneroInps(DataSet &row, int regsId) const
{
    const Currency madri = EsoneroMadri(row);
    if (madri <= Currency()) {
        RipartisciEsoneroStipendio(row, regsId);
        return;
    }
    // The mothers' exemption is taken on full time first, the rest on part
    // time.
    const Currency ritOi = amount(row, "RITINPSOI");
    Currency rest;
    if (madri >= ritOi) {
        setAmount(row, "ESONERO_INPSOI", ritOi);
        rest = madri - ritOi;
    } else {
        setAmount(row, "ESONERO_INPSOI", madri);
    }
    if (!rest.isZero()) {
        if (rest > amount(row, "RITINPSPT"))
            throw ETovCalcola(QStringLiteral("L'esonero non può superare la ritenuta"));
        setAmount(row, "ESONERO_INPSPT", rest);
    }
}

Currency TTovCalcolaAnno2024::EsoneroMadri(const DataSet &row) const
{
    const platform::Field *f = row.findField(QStringLiteral("ESONERO_MADRI"));
    return f ? f->asCurrency() : Currency();
}

// ============================================================================
// TTovCalcolaEnpals
// ============================================================================

TTovCalcolaEnpals *TovCalcolaEnpals()
{
    return g_enpals;
}

void SetTovCalcolaEnpals(TTovCalcolaEnpals *calculator)
{
    g_enpals = calculator;
}

TTovCalcolaEnpals::TTovCalcolaEnpals(DataSet &dettaglio, DataSet &voci, platform::Database &database,
                                     int giorniLavorati)
    : m_dettaglio(dettaglio), m_voci(voci), m_query(std::make_unique<SqlQuery>(database)), m_giorni(giorniLavorati)
{
}

TTovCalcolaEnpals::~TTovCalcolaEnpals()
{
    if (g_enpals == this)
        g_enpals = nullptr;
}

int TTovCalcolaEnpals::SoggettoEnpals(const DataSet &compensation)
{
    return integer(compensation, "IACOMSOGGENPALS");
}

bool TTovCalcolaEnpals::AliquoteCategoria(int categoria, double &aliquotaDip, double &aliquotaAmm)
{
    if (categoria != 2)
        return false;
    aliquotaDip = 9.89;
    aliquotaAmm = 25.81;
    return true;
}

Currency TTovCalcolaEnpals::ImponibileDaContributo(Currency contributo, Currency aliquota)
{
    return TTovCalcola::Arrotonda(2, taxableOf(contributo, rateOf(aliquota)));
}

Currency TTovCalcolaEnpals::ImponibileDaContributo(Currency contributo, double aliquota)
{
    return TTovCalcola::Arrotonda(2, taxableOf(contributo, rateOf(aliquota)));
}

void TTovCalcolaEnpals::AzzeraDipendente(DataSet &row)
{
    setAmount(row, "FVARRRITDIP", Currency());
    setAmount(row, "FVARRIMPONIBILEDIP", Currency());
    setAmount(row, "FVARRALIQUOTADIP", Currency());
}

void TTovCalcolaEnpals::AzzeraAmministrazione(DataSet &row)
{
    setAmount(row, "FVARRRITAMM", Currency());
    setAmount(row, "FVARRIMPONIBILEAMM", Currency());
    setAmount(row, "FVARRALIQUOTAAMM", Currency());
}

void TTovCalcolaEnpals::Calcola(DataSet &row, const DataSet &compensation)
{
    if (SoggettoEnpals(compensation) == 0)
        return;
    switch (integer(compensation, "ITNOID")) {
    case TTovCalcola::TNO_15: CalcolaConMassimale(row, compensation); break;
    case TTovCalcola::TNO_14: CalcolaDaVoci(row); break;
    default:
        if (!amount(row, "FVARRRITDIP").isZero() || !amount(row, "FVARRRITAMM").isZero())
            throw ETovCalcola(
                QStringLiteral("Solo i lavoratori autonomi possono essere assoggettati alla ritenuta ex ENPALS"));
        break;
    }
}

bool TTovCalcolaEnpals::LordoVoce(int comrId, bool positive, Currency &lordo)
{
    for (m_voci.first(); !m_voci.eof(); m_voci.next()) {
        if (integer(m_voci, "ICOMRID") != comrId)
            continue;
        const Currency gross = amount(m_voci, "FVACRLORDO");
        if (positive ? gross > Currency() : !gross.isZero()) {
            lordo = gross;
            return true;
        }
    }
    return false;
}

void TTovCalcolaEnpals::CalcolaDaVoci(DataSet &row)
{
    Currency contributo;
    if (!LordoVoce(COMR_CONTRIBUTO_14, false, contributo)) {
        AzzeraDipendente(row);
        AzzeraAmministrazione(row);
        return;
    }
    m_dettaglio.edit();
    setAmount(m_dettaglio, "FENPVCONTRIBUTODIP", contributo);
    const Currency taxable = ImponibileDaContributo(contributo, amount(row, "FVARRALIQUOTADIP"));
    const Currency tolerance = Currency::fromString(QStringLiteral("0.50"));
    const Currency diff = taxable - amount(row, "FVARRIMPONIBILEAMM");
    if (diff > tolerance || -diff > tolerance) {
        setAmount(row, "FVARRIMPONIBILEAMM", taxable);
        setAmount(row, "FVARRRITAMM", TTovCalcola::PercentualeArrotondata(2, taxable, amount(row, "FVARRALIQUOTAAMM")));
    }
    setAmount(m_dettaglio, "FENPVIMPONIBILEBASE", amount(row, "FVARRIMPONIBILEAMM"));
    setAmount(m_dettaglio, "FENPVCONTRIBUTOAMM", amount(row, "FVARRRITAMM"));
    AzzeraDipendente(row);

    double aggiuntivo, solidDip, solidAmm;
    TTovCalcolaAnno::AliquoteEnpals(aggiuntivo, solidDip, solidAmm);
    Currency lordo;
    if (LordoVoce(COMR_CONTRIBUTO_AGGIUNTIVO, true, lordo)) {
        setAmount(m_dettaglio, "FENPVCONTRIBAGGCORRENTE", lordo);
        setAmount(m_dettaglio, "FENPVIMPONIBILECTRAGG", ImponibileDaContributo(lordo, aggiuntivo));
    }
    if (LordoVoce(COMR_CONTRIBUTO_SOLIDARIETA, true, lordo)) {
        setAmount(m_dettaglio, "FENPVCONTRECCMASSSPETDIP", lordo);
        ZEP_ASSERT(solidDip == solidAmm,
                   QStringLiteral("Aliquota solidarietà a carico dipendente diversa da aliquota solidarietà a "
                                  "carico amministrazione"));
        setAmount(m_dettaglio, "FENPVCONTRECCMASSSPETAMM", amount(m_dettaglio, "FENPVCONTRECCMASSSPETDIP"));
        setAmount(m_dettaglio, "FENPVIMPECCMASSSPET", ImponibileDaContributo(lordo, solidDip));
        setAmount(row, "FVARRRITAMM", amount(row, "FVARRRITAMM") + amount(m_dettaglio, "FENPVCONTRECCMASSSPETAMM"));
    }
}

void TTovCalcolaEnpals::CalcolaConMassimale(DataSet &row, const DataSet &compensation)
{
    if (amount(row, "FVARRRITDIP").isZero() || ApplicaMinimale(row, compensation))
        return;
    m_dettaglio.edit();
    const Currency zero;
    const Value anfId = compensation.fieldValue(QStringLiteral("IANFID"));
    if (integer(compensation, "IACOMREGIMEPOST95") == 1) {
        // Annual ceiling and threshold, shared out over the year's pay
        // periods.
        assignStatement(*m_query, QStringLiteral("QRY_ENPA"), QStringLiteral("SELECT"));
        m_query->bind(QStringLiteral("IACOMID"), compensation.fieldValue(QStringLiteral("IACOMID")));
        m_query->open();
        const int payments = m_query->eof() ? 0 : m_query->value(QStringLiteral("IENPANUMRETRIBUZIONI")).toInt();
        m_query->close();
        if (payments == 0)
            return;
        assignStatement(*m_query, QStringLiteral("QRY_ENPM_ANNUALE"), QStringLiteral("EXECUTE"));
        m_query->bind(QStringLiteral("IANFID"), anfId);
        m_query->open();
        if (m_query->eof())
            throw ETovCalcola(platform::format(QStringLiteral("Massimale ex ENPALS annuale non trovato per l'anno %d"),
                                               TtovAnnoFinanziario::IdToYear(anfId.toInt())));
        const Currency threshold = TTovCalcola::Arrotonda(2,
                                                          m_query->value(QStringLiteral("FENPMCONTRAGGDA")).toCurrency()
                                                              / payments);
        const Currency ceiling = TTovCalcola::Arrotonda(2, m_query->value(QStringLiteral("FENPMMASSIMALE")).toCurrency()
                                                               / payments);
        m_query->close();
        const Currency taxable = amount(row, "FVARRIMPONIBILEAMM");
        if (ceiling >= taxable) {
            setAmount(m_dettaglio, "FENPVIMPONIBILEBASE", taxable);
            setAmount(m_dettaglio, "FENPVIMPECCMASSSPET", zero);
        } else {
            setAmount(m_dettaglio, "FENPVIMPONIBILEBASE", ceiling);
            setAmount(m_dettaglio, "FENPVIMPECCMASSSPET", taxable - ceiling);
            setAmount(row, "FVARRIMPONIBILEDIP", ceiling);
            setAmount(row, "FVARRIMPONIBILEAMM", ceiling);
        }
        setAmount(m_dettaglio, "FENPVIMPONIBILECTRAGG",
                  TTovCalcola::DifferenzaPositiva(amount(m_dettaglio, "FENPVIMPONIBILEBASE"), threshold));
    } else {
        // Daily ceiling and threshold, by the band of the daily taxable.
        if (m_giorni == 0)
            return;
        const Currency taxable = amount(row, "FVARRIMPONIBILEAMM");
        const Currency daily = TTovCalcola::Arrotonda(2, taxable / m_giorni);
        assignStatement(*m_query, QStringLiteral("QRY_ENPM_GIORNO"), QStringLiteral("EXECUTE"));
        m_query->bind(QStringLiteral("IANFID"), anfId);
        m_query->bind(QStringLiteral("IMPONIBILE"), Value(daily));
        m_query->open();
        if (m_query->eof())
            throw ETovCalcola(
                platform::format(QStringLiteral("Massimale ex ENPALS giornaliero non trovato per l'anno %d"),
                                 TtovAnnoFinanziario::IdToYear(anfId.toInt())));
        const Currency dailyThreshold =
            TTovCalcola::Arrotonda(2, m_query->value(QStringLiteral("FENPMCONTRAGGDA")).toCurrency());
        const Currency dailyCeiling =
            TTovCalcola::Arrotonda(2, m_query->value(QStringLiteral("FENPMMASSIMALE")).toCurrency());
        m_query->close();
        Currency base;
        if (dailyCeiling >= daily) {
            setAmount(m_dettaglio, "FENPVIMPONIBILEBASE", taxable);
            setAmount(m_dettaglio, "FENPVIMPECCMASSSPET", zero);
            base = daily;
        } else {
            base = dailyCeiling;
            const Currency capped = dailyCeiling * m_giorni;
            setAmount(m_dettaglio, "FENPVIMPONIBILEBASE", capped);
            setAmount(m_dettaglio, "FENPVIMPECCMASSSPET", taxable - capped);
            setAmount(row, "FVARRIMPONIBILEDIP", capped);
            setAmount(row, "FVARRIMPONIBILEAMM", capped);
        }
        setAmount(m_dettaglio, "FENPVIMPONIBILECTRAGG",
                  base > dailyThreshold ? (base - dailyThreshold) * m_giorni : zero);
    }
    if (amount(m_dettaglio, "FENPVIMPONIBILECTRAGG") > zero || amount(m_dettaglio, "FENPVIMPECCMASSSPET") > zero)
        RicalcolaContributi(row);
}

void TTovCalcolaEnpals::RicalcolaContributi(DataSet &row)
{
    double aggiuntivo, solidDip, solidAmm;
    TTovCalcolaAnno::AliquoteEnpals(aggiuntivo, solidDip, solidAmm);
    const Currency zero;
    DataSet &det = m_dettaglio;
    setAmount(det, "FENPVCONTRIBUTODIP", amount(row, "FVARRRITDIP"));
    setAmount(det, "FENPVCONTRIBUTOAMM", amount(row, "FVARRRITAMM"));
    if (amount(det, "FENPVIMPONIBILECTRAGG") > zero)
        setAmount(det, "FENPVCONTRIBAGGCORRENTE",
                  TTovCalcola::PercentualeArrotondata(2, amount(det, "FENPVIMPONIBILECTRAGG"), aggiuntivo));
    if (amount(det, "FENPVIMPECCMASSSPET") > zero) {
        setAmount(det, "FENPVCONTRIBUTODIP",
                  TTovCalcola::PercentualeArrotondata(2, amount(det, "FENPVIMPONIBILEBASE"),
                                                      amount(row, "FVARRALIQUOTADIP")));
        setAmount(row, "FVARRRITDIP", amount(det, "FENPVCONTRIBUTODIP"));
        setAmount(det, "FENPVCONTRECCMASSSPETDIP",
                  TTovCalcola::PercentualeArrotondata(2, amount(det, "FENPVIMPECCMASSSPET"), solidDip));
        setAmount(det, "FENPVCONTRIBUTOAMM",
                  TTovCalcola::PercentualeArrotondata(2, amount(det, "FENPVIMPONIBILEBASE"),
                                                      amount(row, "FVARRALIQUOTAAMM")));
        setAmount(row, "FVARRRITAMM", amount(det, "FENPVCONTRIBUTOAMM"));
        setAmount(det, "FENPVCONTRECCMASSSPETAMM",
                  TTovCalcola::PercentualeArrotondata(2, amount(det, "FENPVIMPECCMASSSPET"), solidAmm));
    }
    // The additional contribution is the employee's alone.
    setAmount(row, "FVARRRITDIP",
              amount(det, "FENPVCONTRIBAGGCORRENTE") + amount(row, "FVARRRITDIP")
                  + amount(det, "FENPVCONTRECCMASSSPETDIP"));
    setAmount(row, "FVARRRITAMM", amount(det, "FENPVCONTRECCMASSSPETAMM") + amount(row, "FVARRRITAMM"));
}

Currency TTovCalcolaEnpals::MinimaleEnpals(const DataSet &compensation)
{
    assignStatement(*m_query, QStringLiteral("QRY_RICA_MIN_ENPALS"), QStringLiteral("EXECUTE"));
    m_query->bind(QStringLiteral("RICE_COD_ENPALS"), Value(TTovCalcola::RICE_COD_ENPALS));
    m_query->bind(QStringLiteral("ITNOID"), compensation.fieldValue(QStringLiteral("ITNOID")));
    m_query->bind(QStringLiteral("IANFID"), compensation.fieldValue(QStringLiteral("IANFID")));
    m_query->open();
    const Value minimum = m_query->eof() ? Value::null() : m_query->value(QStringLiteral("FRICAMINIMALE"));
    m_query->close();
    return minimum.isEmpty() ? Currency() : minimum.toCurrency();
}

bool TTovCalcolaEnpals::ApplicaMinimale(DataSet &row, const DataSet &compensation)
{
    const int days = std::min(m_giorni, 26);
    const Currency minimum = MinimaleEnpals(compensation) * days;
    bool applied = false;
    if (amount(row, "FVARRPERCIMPAMM") > Currency() && amount(row, "FVARRIMPONIBILEAMM") < minimum) {
        setAmount(row, "FVARRIMPONIBILEAMM", minimum);
        if (amount(row, "FVARRPERCIMPDIP") > Currency() && minimum > amount(row, "FVARRIMPONIBILEDIP")) {
            setAmount(row, "FVARRRITAMM",
                      amount(row, "FVARRRITAMM")
                          + TTovCalcola::PercentualeArrotondata(2, minimum - amount(row, "FVARRIMPONIBILEDIP"),
                                                                amount(row, "FVARRALIQUOTADIP")));
        }
        applied = true;
    }
    row.fieldByName(QStringLiteral("LVARRMINIMALEAPPL")).setAsInteger(applied ? 1 : 0);
    return applied;
}
