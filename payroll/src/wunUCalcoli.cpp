#include "wunUCalcoli.h"

#include "WunUUtil.h"
#include "wunUCalcoliAnno.h"
#include "wunMGiorniPerFisco.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Format.h"
#include "Params.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"
#include "tovCQueryText.h"

#include <limits>

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

namespace {

using i128 = __int128;

Currency daRaw(i128 raw)
{
    if (raw > std::numeric_limits<int64_t>::max() || raw < std::numeric_limits<int64_t>::min())
        throw platform::EOverflowError(QStringLiteral("Valore fuori dai limiti dell'importo"));
    return Currency::fromRaw(int64_t(raw));
}

// num / den to the nearest integer, ties to even (den > 0).
i128 quozientePari(i128 num, i128 den)
{
    i128 q = num / den;
    i128 r = num % den;
    if (r < 0)
        r = -r;
    const i128 twice = 2 * r;
    if (twice > den || (twice == den && q % 2 != 0))
        q += num < 0 ? -1 : 1;
    return q;
}

// A rate field: the rate, or null when it is not above 0.
void impostaAliquotaONull(DataSet &ds, const QString &campo, Currency aliquota)
{
    if (aliquota > Currency())
        ds.fieldByName(campo).setAsCurrency(aliquota);
    else
        ds.fieldByName(campo).clear();
}

const QString kPercEsonero = QStringLiteral("FVACRPERCESONEROIVS");

} // namespace

const QString TwunCalcola::MsgNumeroPaghe = QStringLiteral("Numero di paghe non specificato");

TwunCalcola::~TwunCalcola() = default;

// ---------------------------------------------------------------- amounts

Currency TwunCalcola::Arrotonda(int decimali, Currency valore)
{
    return TTovCalcola::Arrotonda(decimali, valore);
}

Currency TwunCalcola::ImportoOreMinuti(int minutiTotali, Currency importoOrario)
{
    quint16 ore = 0, minuti = 0;
    TTovDate::MinutesToHours(minutiTotali, ore, minuti);
    if (minuti == 0)
        return importoOrario * qint64(ore);
    return daRaw(quozientePari(i128(importoOrario.raw()) * minutiTotali, 60));
}

Currency TwunCalcola::Centesimi(Currency valore, qint64 divisore)
{
    return ArrotondaPari(2, valore, divisore);
}

Currency TwunCalcola::ArrotondaPari(int decimali, Currency valore, qint64 divisore)
{
    ZEP_ASSERT(divisore != 0, QStringLiteral("ArrotondaPari: divisore nullo"));
    ZEP_ASSERT(decimali >= 0 && decimali <= 4, QStringLiteral("ArrotondaPari: decimali %1").arg(decimali));
    if (divisore < 0) {
        divisore = -divisore;
        valore = -valore;
    }
    i128 passo = 1;
    for (int i = decimali; i < 4; ++i)
        passo *= 10;
    return daRaw(quozientePari(valore.raw(), i128(divisore) * passo) * passo);
}

Currency TwunCalcola::Proporzione(Currency valore, Currency numeratore, Currency denominatore, const QString &mancante)
{
    if (denominatore.isZero())
        throw ETovCalcola(mancante);
    return daRaw(platform::roundedQuotient(i128(valore.raw()) * numeratore.raw(), denominatore.raw()));
}

Currency TwunCalcola::Proporzione(Currency valore, qint64 numeratore, qint64 denominatore, const QString &mancante)
{
    if (denominatore == 0)
        throw ETovCalcola(mancante);
    return daRaw(platform::roundedQuotient(i128(valore.raw()) * numeratore, denominatore));
}

int TwunCalcola::DurataRapporto(const DataSet &compenso)
{
    return std::min(intero(compenso, "IACOMDURATARAPP"), 365);
}

int TwunCalcola::NumeroPaghe(const DataSet &compenso, int giorni)
{
    try {
        if (giorni == 0)
            giorni = DurataRapporto(compenso);
        const int paghe = intero(compenso, "IACOMNUMPAGHE");
        return std::max(1, int(quozientePari(i128(giorni) * paghe, 365)));
    } catch (const platform::Exception &) {
        throw ETovCalcola(MsgNumeroPaghe);
    }
}

// ---------------------------------------------------------------- tests

bool TwunCalcola::RitenutaInpsApplicabile(const DataSet &ritenuta, bool partTime)
{
    switch (intero(ritenuta, "IRICEID")) {
    case RICE_COD_INPS_PT: return partTime;
    case RICE_COD_INPS_OI: return !partTime;
    default: return true;
    }
}

bool TwunCalcola::VoceParticolare(const DataSet &riga)
{
    const int voce = intero(riga, "ICOMRID");
    return voce == COMR_STIPENDIO_RID || voce == COMR_CCNL_2_RID;
}

bool TwunCalcola::OrarioSottoPieno(const DataSet &riga, const QString &prefisso, int orePiene)
{
    return OrarioRidotto(riga, prefisso, orePiene)
           && riga.fieldByName(QLatin1Char('I') + prefisso + QStringLiteral("ORESERVIZIO")).asInteger() < orePiene * 60;
}

QString TwunCalcola::NomeChiave(const QString &codice)
{
    return QLatin1Char('I') + codice + QStringLiteral("ID");
}

int TwunCalcola::VoceRapporto(const DataSet &riga)
{
    bool collaboratore = false;
    if (const platform::Field *tno = riga.findField(QStringLiteral("ITNOID"))) {
        collaboratore = tno->asInteger() == TNO_COLLABORATORE;
    } else {
        const platform::Field *cos = riga.findField(QStringLiteral("ICOSID"));
        ZEP_ASSERT(cos, QStringLiteral("VoceRapporto: la riga non ha né ITNOID né ICOSID"));
        collaboratore = cos->asInteger() == COS_COLLABORAZIONE;
    }
    return collaboratore ? COMR_RAPPORTO_COLLABORATORE : COMR_RAPPORTO;
}

// ---------------------------------------------------------------- statements

void TwunCalcola::ApriAstrMese(SqlQuery &query, int acomId, int cosId, int mesId)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ASTR_MESE"), query);
    query.bind(QStringLiteral("IACOMID"), acomId)
        .bind(QStringLiteral("ICOSID"), cosId)
        .bind(QStringLiteral("IMESID"), mesId);
    query.open();
}

void TwunCalcola::ApriAstrMese(TUqQueryCollection &collection, int acomId, int cosId, int mesId)
{
    collection.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_ASTR_MESE"), collection, QStringLiteral("EXECUTE"));
    collection.params().paramByName(QStringLiteral("IACOMID")).setValue(acomId);
    collection.params().paramByName(QStringLiteral("ICOSID")).setValue(cosId);
    collection.params().paramByName(QStringLiteral("IMESID")).setValue(mesId);
    collection.Open();
}

void TwunCalcola::FiltraVoce(DataSet &dataSet, int voce)
{
    dataSet.setFilter(QStringLiteral("ICOMRID=") + QString::number(voce));
    dataSet.setFiltered(true);
}

int TwunCalcola::PaghePagate(SqlQuery &query, const DataSet &compenso, const DataSet &variazione)
{
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_COLL_PAGATE_NO66"), query);
    query.bind(QStringLiteral("IACOMID"), compenso.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("ICOSID"), COS_COLLABORAZIONE)
        .bind(QStringLiteral("IMESID"), variazione.fieldValue(QStringLiteral("IMESID")))
        .bind(QStringLiteral("ICOTID"), variazione.fieldValue(QStringLiteral("ICOTID")))
        .bind(QStringLiteral("ICOMRID"), VoceRapporto(compenso));
    query.open();
    const int pagate = query.eof() ? 0 : query.value(QStringLiteral("PAGATE")).toInt();
    query.close();
    return pagate;
}

int TwunCalcola::GiorniAssenza(SqlQuery &query, const QString &campoChiave, const QString &tipi, int id)
{
    query.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_VAPE_VARD_SUM"), QStringLiteral("EXECUTE")),
                                  campoChiave, tipi));
    query.bind(QStringLiteral("ID"), id);
    query.open();
    const Value assenze = query.eof() ? Value::null() : query.value(QStringLiteral("ASSENZE"));
    query.close();
    return assenze.isEmpty() ? 0 : assenze.toInt();
}

int TwunCalcola::AssenzeCud(SqlQuery &query, const DataSet &compenso, const QString &tipi, const QString &condizione)
{
    query.setSql(
        platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_CUD_ASSENZE"), QStringLiteral("EXECUTE")), tipi)
        + condizione);
    query.bind(QStringLiteral("IACOMID"), compenso.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("MESE_INIZIALE"), compenso.fieldValue(QStringLiteral("MESE_INIZIALE")))
        .bind(QStringLiteral("MESE_FINALE"), compenso.fieldValue(QStringLiteral("MESE_FINALE")));
    query.open();
    const Value assenze = query.eof() ? Value::null() : query.value(QStringLiteral("ASSENZE"));
    query.close();
    return assenze.isEmpty() ? 0 : assenze.toInt();
}

// ---------------------------------------------------------------- days for tax purposes

int TwunCalcola::GiorniFiscaliRiga(const QString &alias, int id, int mese, int giorni)
{
    TdmwunGiorniPerFisco::Imposta(alias, platform::format(QStringLiteral("%s.%s=%d"), alias, NomeChiave(alias), id));
    return TdmwunGiorniPerFisco::GiorniFiscali(giorni, mese, wunAnnoFinanziario().Year());
}

int TwunCalcola::GiorniFiscaliNetti(SqlQuery &query, const QString &alias, int mese, int giorni, int id)
{
    int fiscali = GiorniFiscaliRiga(alias, id, mese, giorni);
    if (fiscali > 0)
        fiscali -= GiorniAssenza(query, NomeChiave(alias), QString::number(TacoNonFiscale), id);
    return std::max(fiscali, 0);
}

int TwunCalcola::GiorniDmaMese(SqlQuery &query, const DataSet &compenso, int mese)
{
    query.setSql(
        platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_DMA_REGS"), QStringLiteral("EXECUTE")), QString()));
    query.bind(QStringLiteral("IMESID"), mese)
        .bind(QStringLiteral("IACOMID"), compenso.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("COS_STIPENDIO"), COS_STIPENDIO);
    query.open();
    DataSet registri;
    query.fetchInto(registri);
    int giorni = 0;
    for (registri.first(); !registri.eof(); registri.next())
        giorni += GiorniFiscaliNetti(query, QStringLiteral("REGS"), mese, intero(registri, "IREGSGIORNI"),
                                     intero(registri, "IREGSID"));
    return giorni;
}

int TwunCalcola::GiorniCud(SqlQuery &query, const DataSet &compenso, const QString &condizione)
{
    query.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_CUD_GIORNI"), QStringLiteral("EXECUTE")),
                                  condizione));
    query.bind(QStringLiteral("IACOMID"), compenso.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("MESE_INIZIALE"), compenso.fieldValue(QStringLiteral("MESE_INIZIALE")))
        .bind(QStringLiteral("MESE_FINALE"), compenso.fieldValue(QStringLiteral("MESE_FINALE")));
    query.open();
    DataSet registri;
    query.fetchInto(registri);
    const int anno = wunAnnoFinanziario().Year();
    int giorni = 0;
    for (registri.first(); !registri.eof(); registri.next()) {
        const int mese = intero(registri, "IMESID");
        // The person's registers of the month: the month alone would take
        // the periods of every person and year.
        TdmwunGiorniPerFisco::Imposta(QStringLiteral("REGS"),
                                      platform::format(QStringLiteral("REGS.IMESID=%d AND REGS.IACOMID=%d %s"), mese,
                                                       intero(compenso, "IACOMID"), condizione));
        giorni += TdmwunGiorniPerFisco::GiorniFiscali(intero(registri, "IREGSGIORNI"), mese, anno);
    }
    if (giorni > 0)
        giorni -= AssenzeCud(query, compenso, QString::number(TacoNonFiscale), condizione);
    return std::clamp(giorni, 0, 365);
}

// ---------------------------------------------------------------- rates

void TwunCalcola::ImpostaPeriodoDma(const DataSet &variazione, platform::Params &parametri) const
{
    auto copia = [&](const char *param, const char *campo) {
        platform::Param &p = parametri.paramByName(QLatin1String(param));
        p.setDataType(platform::FieldType::Date);
        p.setValue(variazione.fieldValue(QLatin1String(campo)));
    };
    copia("DREGSDMADAL", "DVARMDMADAL");
    copia("DREGSDMAAL", "DVARMDMAAL");
}

void TwunCalcola::ImpostaAliquote(DataSet &ritenuta, DataSet &aliquote, const DataSet &variazione,
                                  const DataSet &compenso) const
{
    if (!RitenutaApplicabile(ritenuta, aliquote))
        return;
    auto altre = [&] { AliquoteDaRiga(ritenuta, aliquote); };
    const int codice = intero(ritenuta, "IRICENUBRACODE");
    switch (codice) {
    case 1:
    case 3:
    case 13:
        if (TnoRipartita(compenso))
            impostaImporto(ritenuta, "FVARRALIQUOTAAMM",
                           WunCalcolaAnno().AliquotaContributo(compenso, codice, intero(variazione, "IMESID")));
        else
            altre();
        break;
    case 2:
        PosizionaScalaInpdap(ritenuta, aliquote, compenso);
        altre();
        break;
    case 8:
    case 9:
    case 10: AliquotaAddizionale(ritenuta, compenso); break;
    case 11:
        if (intero(ritenuta, "ITVCOIDDIP") != 0 && intero(variazione, "IVARMRIRPID") != 4)
            impostaImporto(ritenuta, "FVARRALIQUOTADIP", importo(compenso, "FACOMALIQUOTAMAX"));
        break;
    case 12:
        if (intero(ritenuta, "ITVCOIDDIP") != 0 && intero(variazione, "IVARMRIRPID") != 3)
            impostaImporto(ritenuta, "FVARRALIQUOTADIP", importo(compenso, "FACOMALIQUOTAMED"));
        break;
    case 17: {
        const int categoria = TTovCalcolaEnpals::SoggettoEnpals(compenso);
        double dip = 0, amm = 0;
        if (categoria == 0) {
            impostaImporto(ritenuta, "FVARRALIQUOTADIP", Currency());
            impostaImporto(ritenuta, "FVARRALIQUOTAAMM", Currency());
        } else if (TTovCalcolaEnpals::AliquoteCategoria(categoria, dip, amm)) {
            impostaImporto(ritenuta, "FVARRALIQUOTADIP", Currency::fromDouble(dip));
            impostaImporto(ritenuta, "FVARRALIQUOTAAMM", Currency::fromDouble(amm));
        } else {
            impostaImporto(ritenuta, "FVARRALIQUOTADIP", importo(aliquote, "FRICAALIQUOTADIP"));
            impostaImporto(ritenuta, "FVARRALIQUOTAAMM", importo(aliquote, "FRICAALIQUOTAAMM"));
        }
        break;
    }
    default: altre(); break;
    }
}

void TwunCalcola::PosizionaScalaInpdap(const DataSet &ritenuta, DataSet &aliquote, const DataSet &compenso)
{
    const int scala = std::max(1, intero(compenso, "IACOMSCAINPDAP"));
    aliquote.moveBy(scala - 1);
    const int riceId = intero(ritenuta, "IRICEID");
    if (aliquote.eof() || intero(aliquote, "IRICEID") != riceId)
        aliquote.locate(QStringLiteral("IRICEID"), Value(riceId));
}

void TwunCalcola::AliquoteDaRiga(DataSet &ritenuta, const DataSet &aliquote)
{
    if (intero(ritenuta, "ITVCOIDDIP") > 0)
        impostaImporto(ritenuta, "FVARRALIQUOTADIP", importo(aliquote, "FRICAALIQUOTADIP"));
    if (intero(ritenuta, "ITVCOIDAMM") >= 1)
        impostaImporto(ritenuta, "FVARRALIQUOTAAMM", importo(aliquote, "FRICAALIQUOTAAMM"));
}

void TwunCalcola::ImpostaAliquoteTutte(DataSet &ritenute, DataSet &aliquote, const DataSet &variazione,
                                       const DataSet &compenso) const
{
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        ritenute.edit();
        ImpostaAliquote(ritenute, aliquote, variazione, compenso);
        ritenute.post();
    }
}

// ---------------------------------------------------------------- pay-item rows

void TwunCalcola::InserisciVociLiquidazione(int tipo, int varmId, Currency aliquota, const QDate &al, const QDate &dal,
                                            SqlQuery &query, int cosId, int cotId)
{
    QString testo = platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_VACR_CORM_INS"),
                                                           QStringLiteral("EXECUTE")),
                                     QString::number(varmId), QStringLiteral("NULL"));
    const QString gruppo = QStringLiteral(" AND COMR.ICOMRGRUPPO = ");
    if (cosId == COS_STIPENDIO) {
        switch (tipo) {
        case 0: {
            QString filtro;
            WunCalcolaAnno().FiltroGruppiVoci(filtro);
            testo += filtro;
            break;
        }
        case 2: testo += gruppo + QStringLiteral("4"); break;
        case 4: testo += gruppo + QStringLiteral("5"); break;
        case 5: testo += gruppo + QStringLiteral("7"); break;
        default: testo += gruppo + QStringLiteral("3"); break;
        }
    } else if (cosId == COS_IIS) {
        testo += (tipo == 3 ? gruppo : QStringLiteral(" AND COMR.ICOMRGRUPPO <> ")) + QStringLiteral("2");
    }
    query.setSql(testo);
    query.bind(QStringLiteral("ICOTID"), cotId);
    query.bind(QStringLiteral("IANFID"), wunAnnoFinanziario().Id());
    if (aliquota < Currency())
        query.setNull(kPercEsonero, platform::FieldType::Float);
    else
        query.bind(kPercEsonero, aliquota);
    if (dal.isValid()) {
        query.bind(QStringLiteral("DVACRRIFDAL"), dal).bind(QStringLiteral("DVACRRIFAL"), al);
    } else {
        query.setNull(QStringLiteral("DVACRRIFDAL"), platform::FieldType::Date);
        query.setNull(QStringLiteral("DVACRRIFAL"), platform::FieldType::Date);
    }
    query.execSQL();
}

int TwunCalcola::AggiornaVoceLiquidazione(SqlQuery &query, int varmId, int voce, Currency importo, Currency aliquota)
{
    TovQueryText().AssignSQL(QStringLiteral("QRY_VACR_COMR_UPD"), query);
    query.bind(QStringLiteral("IVARMID"), varmId)
        .bind(QStringLiteral("ICOMRID"), voce)
        .bind(QStringLiteral("FVACRLORDO"), importo)
        .bind(QStringLiteral("FVACRLORDOINTERO"), importo);
    if (aliquota > Currency())
        query.bind(kPercEsonero, aliquota);
    else
        query.setNull(kPercEsonero, platform::FieldType::Float);
    return query.execSQL();
}

void TwunCalcola::AggiornaOInserisciVoce(SqlQuery &query, const DataSet &variazione, Currency aliquota,
                                         Currency importo, int tipo, int voce)
{
    const int varmId = intero(variazione, "IVARMID");
    if (AggiornaVoceLiquidazione(query, varmId, voce, importo, aliquota) > 0)
        return;
    InserisciVociLiquidazione(tipo, varmId, aliquota, QDate(), QDate(), query, intero(variazione, "ICOSID"),
                              intero(variazione, "ICOTID"));
    AggiornaVoceLiquidazione(query, varmId, voce, importo, aliquota);
}

void TwunCalcola::AggiornaLordoVoceRapporto(SqlQuery &query, const DataSet &variazione, Currency importo)
{
    AggiornaOInserisciVoce(query, variazione, Currency::fromInt(-1), importo, 4, VoceRapporto(variazione));
}

void TwunCalcola::ImpostaLordoVoceConPerc(SqlQuery &query, const DataSet &, Currency aliquota, Currency importo,
                                          int voce, DataSet &righe)
{
    if (!righe.locate(QStringLiteral("ICOMRID"), Value(voce))) {
        InserisciVoce(query, voce, importo, aliquota, righe);
        return;
    }
    righe.edit();
    impostaImporto(righe, "FVACRLORDO", importo);
    impostaImporto(righe, "FVACRLORDOINTERO", importo);
    impostaAliquotaONull(righe, kPercEsonero, aliquota);
    righe.post();
}

void TwunCalcola::ImpostaLordoVoce(SqlQuery &query, const DataSet &compenso, Currency importo, DataSet &righe)
{
    ImpostaLordoVoceConPerc(query, compenso, Currency::fromInt(-1), importo, VoceRapporto(compenso), righe);
}

void TwunCalcola::InserisciVoce(SqlQuery &query, int voce, Currency importo, Currency aliquota, DataSet &righe)
{
    TovQueryText().AssignSQL(QStringLiteral("QRY_COMR"), query);
    query.bind(QStringLiteral("ICOMRID"), voce);
    query.open();
    if (query.eof()) {
        query.close();
        throw ETovCalcola(platform::format(QStringLiteral("Voce %d non trovata nell'elenco delle voci"), voce));
    }
    righe.append();
    righe.fieldByName(QStringLiteral("IVACRUSERCODE")).setValue(query.value(QStringLiteral("ICOMRUSERCODE")));
    righe.fieldByName(QStringLiteral("ICOMRID")).setAsInteger(voce);
    impostaImporto(righe, "FVACRLORDO", importo);
    impostaImporto(righe, "FVACRLORDOINTERO", importo);
    impostaAliquotaONull(righe, kPercEsonero, aliquota);
    if (platform::Field *trattenuta = righe.findField(QStringLiteral("LCOMRTRATTENUTA")))
        trattenuta->setValue(query.value(QStringLiteral("LCOMRTRATTENUTA")));
    righe.fieldByName(QStringLiteral("LVACRASSOGGETTATO")).setValue(query.value(QStringLiteral("LCOMRASSOGGETTATO")));
    righe.post();
    query.close();
}

// ================================================================ TWunCCNL

namespace {

int tabellaAllaData(const QString &statement, const QDate &data)
{
    SqlQuery query;
    TovQueryText().AssignSQL(statement, query);
    query.bind(QStringLiteral("DATA"), data);
    query.open();
    const int id = query.eof() ? 0 : query.value(0).toInt();
    query.close();
    return id;
}

} // namespace

int TWunCCNL::TabellaCCNLAllaData(const QDate &data)
{
    if (m_forzata != 0) {
        m_ccnl = m_forzata;
    } else if (m_ccnl == 0 || data.year() != m_annoCache || data.month() != m_meseCache) {
        m_ccnl = tabellaAllaData(QStringLiteral("QRY_CCNL_TAB_CORRENTE"), data);
        m_annoCache = data.year();
        m_meseCache = data.month();
    }
    TabellaCCNVAllaData(data);
    return m_ccnl;
}

int TWunCCNL::TabellaCCNVAllaData(const QDate &data)
{
    // A forced contract table has no second table.
    m_ccnv = m_forzata != 0 ? 0 : tabellaAllaData(QStringLiteral("QRY_CCNV_TAB_CORRENTE"), data);
    return m_ccnv;
}

QDate TWunCCNL::PrimoDelMese(int mese, int anno)
{
    return TTovDate::FirstDayOfMonth(anno != 0 ? anno : int(wunAnnoFinanziario().Year()), mese);
}

int TWunCCNL::TabellaCCNLMese(int mese, int anno)
{
    return TabellaCCNLAllaData(PrimoDelMese(mese, anno));
}

int TWunCCNL::TabellaCCNVMese(int mese, int anno)
{
    return TabellaCCNVAllaData(PrimoDelMese(mese, anno));
}

void TWunCCNL::ImpostaTabella(int id)
{
    m_forzata = id;
    m_ccnl = id;
}

void TWunCCNL::ImportiCorrenti(SqlQuery &query, const Value &anzianita, DataSet &importi) const
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_CCNL_COMR"), query);
    query.bind(QStringLiteral("ICCNTID"), m_ccnl)
        .bind(QStringLiteral("IASTIANZIANITA"), anzianita)
        .bind(QStringLiteral("ICCNVID"), m_ccnv);
    query.open();
    query.fetchInto(importi);
}

TWunCCNL &WunCCNL()
{
    static TWunCCNL ccnl;
    return ccnl;
}
