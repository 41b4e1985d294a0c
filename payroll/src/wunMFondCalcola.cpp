#include "wunMFondCalcola.h"

#include "WunUUtil.h"
#include "wunMParams.h"
#include "wunUCalcoliAnno.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Format.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"

#include <numeric>

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

const QString TdmWunFondCalcola::MsgPosizioneNonAbilitata = QStringLiteral(
    "Posizione giuridica non abilitata per lo stipendio.");
const QString TdmWunFondCalcola::MsgAssenzeDuplicate = QStringLiteral("Assenze duplicate nel periodo dal %s al %s.");
const QString TdmWunFondCalcola::MsgOrariRiduzioni = QStringLiteral(
    "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico");

TdmWunFondCalcola::Dialogo TdmWunFondCalcola::OnFerie;

namespace {

const QString kExecute = QStringLiteral("EXECUTE");

void impostaParametro(DataSet &ds, const char *nome, const Value &valore)
{
    ds.params().paramByName(QLatin1String(nome)).setValue(valore);
}

// Rows of a period or reduction collection may be posted with columns
// left empty (a new period has no id yet).
void senzaObbligatori(DataSet &ds)
{
    for (const auto &f : ds.fields())
        f->setRequired(false);
}

// A value of the row, else the variation's (a period without its own dates
// runs over the variation's).
QDate dataOVariazione(const DataSet &periodo, const char *campo, const DataSet &variazione, const char *campoVar)
{
    if (const platform::Field *f = periodo.findField(QLatin1String(campo)); f && !f->isNull())
        return f->asDate();
    return variazione.fieldByName(QLatin1String(campoVar)).asDate();
}

__int128 mcd(__int128 a, __int128 b)
{
    while (b != 0) {
        const __int128 r = a % b;
        a = b;
        b = r;
    }
    return a < 0 ? -a : a;
}

// Puts the dataset's filter back however the scope is left.
class FiltroSospeso {
public:
    explicit FiltroSospeso(DataSet &ds) : m_ds(ds), m_filtrato(ds.filtered()) { m_ds.setFiltered(false); }
    ~FiltroSospeso() { m_ds.setFiltered(m_filtrato); }
    FiltroSospeso(const FiltroSospeso &) = delete;
    FiltroSospeso &operator=(const FiltroSospeso &) = delete;

private:
    DataSet &m_ds;
    bool m_filtrato;
};

} // namespace

TdmWunFondCalcola::TdmWunFondCalcola(QObject *parent) : TdmWunCalcola(parent)
{
    TWunUtil::TuttiIRecord(
        {&xqcVacrVarr, &xqcRica, &xqcCogr, &xqcRiva, &xqcVape, &xqcVard, &xqcTaco, &xqcCCNLInt, &xqcUnaTantum});
}

TdmWunFondCalcola::~TdmWunFondCalcola() = default;

SqlQuery &TdmWunFondCalcola::qquAppoggio()
{
    if (!m_appoggio)
        m_appoggio = std::make_unique<SqlQuery>();
    return *m_appoggio;
}

// ================================================================ the base's hooks

void TdmWunFondCalcola::FiltroTipiRapporto(QString &testo)
{
    testo = platform::format(QStringLiteral(" AND NOT REGS.ITNOID IN (%s)"), TTovCalcola::TnoNonStipendioSql());
}

void TdmWunFondCalcola::CalcolaRitenuteVarie(DataSet &voci, DataSet &ritenute, Currency &totale,
                                             const DataSet &tipoRitenuta)
{
    xqcRiva.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_RIVA_CALC"), xqcRiva, kExecute);
    impostaParametro(xqcRiva, "IRITVID", tipoRitenuta.fieldValue(QStringLiteral("IRITVID")));
    xqcRiva.Open();
    const bool sindacale = intero(tipoRitenuta, "LRITVSINDACALE") == 1;
    for (xqcRiva.first(); !xqcRiva.eof(); xqcRiva.next()) {
        const int voce = intero(xqcRiva, "ICOMRID");
        const Value lordo = voci.lookup(QStringLiteral("ICOMRID"), {Value(voce)}, QStringLiteral("FVACRLORDO"));
        if (lordo.isEmpty() || lordo.toCurrency() <= Currency())
            continue;
        totale += lordo.toCurrency();
        if (!sindacale)
            continue;
        for (ritenute.first(); !ritenute.eof(); ritenute.next())
            if (intero(ritenute, "ICOMRID") == voce)
                totale -= importo(ritenute, "FVARRRITDIP");
    }
}

// ================================================================ withholding rows

void TdmWunFondCalcola::VerificaPosizioneGiuridica(const DataSet &compenso)
{
    if (intero(compenso, "ITNOID") == TNO_NON_ABILITATO)
        throw ETovCalcola(MsgPosizioneNonAbilitata);
}

bool TdmWunFondCalcola::VoceSenzaLordoAmmessa(int voce)
{
    static const QList<int> ammesse{10001, 10002, 10004, 10016, 10018, 10021, 10025, 10034, 10049,
                                    10053, 10055, 10056, 10070, 10071, 10074, 10075, 10077};
    return ammesse.contains(voce);
}

void TdmWunFondCalcola::ApriRitenuteVoce(const DataSet &voce)
{
    xqcVacrVarr.close();
    TWunUtil::CaricaQueryCollection(QStringLiteral("QRY_VACR_VARR_FOND"), xqcVacrVarr);
    // The template rows: one per retention that a pay item may bear.
    impostaParametro(xqcVacrVarr, "IVACRID", Value(-1));
    xqcVacrVarr.Open();
    senzaObbligatori(xqcVacrVarr);
    const platform::Field *gruppo = voce.findField(QStringLiteral("ICOMRGRUPPO"));
    for (xqcVacrVarr.first(); !xqcVacrVarr.eof(); xqcVacrVarr.next()) {
        xqcVacrVarr.edit();
        xqcVacrVarr.fieldByName(QStringLiteral("IVACRID")).setValue(voce.fieldValue(QStringLiteral("IVACRID")));
        xqcVacrVarr.fieldByName(QStringLiteral("ICOMRID")).setValue(voce.fieldValue(QStringLiteral("ICOMRID")));
        if (gruppo)
            xqcVacrVarr.fieldByName(QStringLiteral("ICOMRGRUPPO")).setValue(gruppo->value());
        xqcVacrVarr.post();
    }
}

void TdmWunFondCalcola::CalcolaRitenuteVoce(const DataSet &variazione, const DataSet &voce, const DataSet &compenso)
{
    xqcCogr.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_COGR_CALC"), xqcCogr, kExecute);
    xqcCogr.setCommandText(xqcCogr.commandText() + QStringLiteral(" AND COGR.ICOMRID=:ICOMRID"));
    TTovQueryText::ParseParams(xqcCogr);
    impostaParametro(xqcCogr, "ICOTID", variazione.fieldValue(QStringLiteral("ICOTID")));
    impostaParametro(xqcCogr, "IANFID", Value(wunAnnoFinanziario().Id()));
    impostaParametro(xqcCogr, "ITNOID", compenso.fieldValue(QStringLiteral("ITNOID")));
    impostaParametro(xqcCogr, "ICOMRID", voce.fieldValue(QStringLiteral("ICOMRID")));
    xqcCogr.Open();
    const Currency lordo = importo(voce, "FVACRLORDO");
    const bool partTime = intero(variazione, "LVARMPARTTIME") == 1;
    TwunCalcolaFond::ApplicaGruppiContributivi(xqcVacrVarr, xqcCogr, lordo, partTime, &compenso, &variazione);
    xqcCogr.close();
    TwunCalcola().ImpostaAliquoteTutte(xqcVacrVarr, xqcRica, variazione, compenso);
    // No deduction and no target: the withholdings only, no taxable set.
    TwunCalcolaFond::RicalcolaRitenuteContributi(xqcVacrVarr, intero(variazione, "IVARMRIRPID"), Currency(), 0, lordo);
}

void TdmWunFondCalcola::AggiungiRitenute(bool prima)
{
    if (prima) {
        cdsVarrTutte.assignData(xqcVacrVarr);
    } else {
        cdsVarrTutte.mergeChangeLog();
        for (const platform::ValueList &riga : xqcVacrVarr.records())
            cdsVarrTutte.appendRecord(riga);
    }
    cdsVarrTutte.mergeChangeLog();
}

void TdmWunFondCalcola::CalcolaRitenute(DataSet &variazione, DataSet &voci, bool tutte, const DataSet &compenso)
{
    VerificaPosizioneGiuridica(compenso);
    xqcRica.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_RICA_CALC"), xqcRica, kExecute);
    impostaParametro(xqcRica, "ITNOID", compenso.fieldValue(QStringLiteral("ITNOID")));
    impostaParametro(xqcRica, "IANFID", Value(wunAnnoFinanziario().Id()));
    xqcRica.Open();
    cdsVarrTutte.close();

    int calcolate = 0;
    for (voci.first(); !voci.eof(); voci.next()) {
        if (!tutte && importo(voci, "FVACRLORDO").isZero() && !VoceSenzaLordoAmmessa(intero(voci, "ICOMRID")))
            continue;
        ApriRitenuteVoce(voci);
        CalcolaRitenuteVoce(variazione, voci, compenso);
        AggiungiRitenute(calcolate == 0);
        ++calcolate;
    }
    if (calcolate > 0)
        cdsVarrTutte.first();
    if (calcolate > 0 && !tutte)
        WunCalcolaAnno().CalcolaEsoneroLiquidazione(voci, cdsVarrTutte, false, variazione, compenso);
}

bool TdmWunFondCalcola::RitenutaApplicabile(const DataSet &ritenuta, const DataSet &variazione)
{
    return TwunCalcolaFond::RitenutaDaApplicare(nullptr, ritenuta, intero(variazione, "LVARMPARTTIME") == 1);
}

// ================================================================ periods

void TdmWunFondCalcola::ApriPeriodi(TUqQueryCollection &periodi)
{
    // The effective hours of every period as it is read; the hook is the
    // collection's only while it opens.
    struct Aggancio {
        TUqQueryCollection &ds;
        platform::DataSetEvents::Handler prima;
        ~Aggancio() { ds.events().afterOpen = prima; }
    } aggancio{periodi, periodi.events().afterOpen};
    periodi.events().afterOpen = [](DataSet &ds) {
        senzaObbligatori(ds);
        for (ds.first(); !ds.eof(); ds.next()) {
            ds.edit();
            TwunCalcolaFond::CalcolaOrarioEffettivo(ds, false, true);
            ds.post();
        }
        // Computed columns only: nothing to write back.
        ds.mergeChangeLog();
        ds.first();
    };
    periodi.Open();
}

void TdmWunFondCalcola::CompletaPeriodo(DataSet &periodo, const DataSet &variazione)
{
    if (!periodo.fieldByName(QStringLiteral("IVAPEID")).isNull())
        return;
    const bool modifica = TTovUtil::EditDataSet(&periodo);
    TwunCalcolaFond::CompletaPeriodoDaAsti(periodo, intero(periodo, "IVAPEGIORNI"), intero(variazione, "IACOMID"),
                                           intero(periodo, "IMESID"));
    if (modifica)
        periodo.post();
}

Currency TdmWunFondCalcola::GiorniPeriodo(const DataSet &periodo)
{
    const Currency giorni = Currency::fromInt(intero(periodo, "IVAPEGIORNI"));
    const int previste = intero(periodo, "IVAPEOREPREVISTE");
    if (previste <= 0 || !TTovCalcola::OrarioRidotto(periodo, QStringLiteral("VAPE"), previste))
        return giorni;
    return TwunCalcola::Proporzione(giorni, intero(periodo, "IVAPEORESERVIZIO"), qint64(previste) * 60, QString());
}

void TdmWunFondCalcola::ApriUnaTantum()
{
    xqcUnaTantum.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_UNA_TANTUM_CALC"), xqcUnaTantum, kExecute);
    xqcUnaTantum.Open();
}

int TdmWunFondCalcola::Qualifica(const DataSet &riga)
{
    return intero(riga, "IQARID");
}

void TdmWunFondCalcola::CalcolaPerGiorni(const DataSet &variazione, const DataSet &qualifica)
{
    ChiudiPeriodoVariazione(variazione, qualifica, intero(variazione, "IVARMGIORNI"));
}

void TdmWunFondCalcola::ChiudiPeriodoVariazione(const DataSet &variazione, const DataSet &qualifica, int giorni)
{
    xqcVape.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_CHIUSURA_VAPE_CALC"), xqcVape, kExecute);
    impostaParametro(xqcVape, "IVARMID", variazione.fieldValue(QStringLiteral("IVARMID")));
    ApriPeriodi(xqcVape);

    bool nomina = false;
    if (xqcVape.isEmpty() && intero(variazione, "IVARMGIORNI") > 0) {
        xqcVape.append();
        xqcVape.fieldByName(QStringLiteral("IVARMID")).setValue(variazione.fieldValue(QStringLiteral("IVARMID")));
        const int mese = intero(variazione, "IMESID");
        TwunCalcolaFond::CompletaPeriodoDaAsti(xqcVape, giorni, intero(variazione, "IACOMID"), mese);
        xqcVape.fieldByName(QStringLiteral("IMESID")).setAsInteger(mese);
        xqcVape.fieldByName(QStringLiteral("IQARID")).setValue(qualifica.fieldValue(QStringLiteral("IQARID")));
        xqcVape.fieldByName(QStringLiteral("IVAPEOREPREVISTE"))
            .setValue(qualifica.fieldValue(QStringLiteral("IACOMOREPREVISTE")));
        TwunCalcolaFond::CalcolaOrarioEffettivo(xqcVape, false, true);
        xqcVape.post();
        nomina = intero(qualifica, "LASTIMATSCOPNOMINA") == 1;
    }
    if (xqcVape.isEmpty() || (intero(xqcVape, "IVAPEID") <= 0 && !nomina))
        return;

    xqcVard.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_VAPE_VARD_VAL"), xqcVard, kExecute);
    TTovQueryText::FormatSQL(xqcVard, {QStringLiteral("VAPE.IVARMID=:IVARMID")});
    impostaParametro(xqcVard, "IVARMID", variazione.fieldValue(QStringLiteral("IVARMID")));
    xqcVard.Open();
    senzaObbligatori(xqcVard);
    if (!xqcVard.isEmpty() || !nomina)
        return;
    // An appointment that replaces a maternity leave: its days are the
    // leave's.
    xqcVard.append();
    xqcVard.fieldByName(QStringLiteral("IVAPEID")).setValue(xqcVape.fieldValue(QStringLiteral("IVAPEID")));
    xqcVard.fieldByName(QStringLiteral("ITACOID")).setAsInteger(TwunCalcolaFond::TACO_MATERNITA);
    xqcVard.fieldByName(QStringLiteral("IVARDGIORNIORE")).setAsInteger(intero(xqcVape, "IVAPEGIORNI"));
    xqcVard.post();
}

void TdmWunFondCalcola::ApriPeriodiChiusura(const DataSet &variazione, const DataSet &compenso, int meseChiusuraPrec)
{
    auto apri = [&](TUqQueryCollection &ds, const QString &nome) {
        ds.close();
        TovQueryText().AssignCommand(nome, ds, kExecute);
        impostaParametro(ds, "IACOMID", compenso.fieldValue(QStringLiteral("IACOMID")));
        impostaParametro(ds, "MESE_CHIUS_PREC", Value(meseChiusuraPrec));
        impostaParametro(ds, "IMESID", variazione.fieldValue(QStringLiteral("IMESID")));
        impostaParametro(ds, "ICOTID", variazione.fieldValue(QStringLiteral("ICOTID")));
    };
    apri(xqcVape, QStringLiteral("QRY_CHIUSURA_VAPE"));
    ApriPeriodi(xqcVape);
    apri(xqcVard, QStringLiteral("QRY_CHIUSURA_VARD"));
    xqcVard.Open();
    cdsVapeChiusura.assignData(xqcVape);
    cdsVardChiusura.assignData(xqcVard);
}

// ================================================================ holidays due

void TdmWunFondCalcola::CaricaRiduzioni()
{
    if (xqcTaco.isActive())
        return;
    TovQueryText().AssignCommand(QStringLiteral("QRY_TACO_CALC"), xqcTaco, kExecute);
    xqcTaco.Open();
}

Currency TdmWunFondCalcola::GiorniFeriePeriodo(const DataSet &periodo, const DataSet &variazione,
                                               const QDate &dataLimite)
{
    Currency giorni = Currency::fromInt(intero(periodo, "IVAPEGIORNI"));
    const QDate dal = dataOVariazione(periodo, "FERIEDAL", variazione, "DVARMDAL");
    const QDate al = dataOVariazione(periodo, "FERIEAL", variazione, "DVARMAL");
    if (dataLimite.isValid()) {
        if (dal >= dataLimite)
            return Currency();
        if (dataLimite <= al)
            giorni = std::min(giorni, Currency::fromInt(dal.daysTo(dataLimite)));
    }

    // The period's reduction, if any: at most one.
    const Value periodoId = periodo.fieldValue(QStringLiteral("IVAPEID"));
    int riduzioni = 0, riduzione = 0, giorniRiduzione = 0;
    if (cdsVardChiusura.isActive()) {
        for (const platform::ValueList &r : cdsVardChiusura.records()) {
            const int campoId = cdsVardChiusura.fieldByName(QStringLiteral("IVAPEID")).index();
            const Value id = r.value(campoId);
            if (periodoId.isEmpty() ? !id.isEmpty() : (id.isEmpty() || id.toInt() != periodoId.toInt()))
                continue;
            ++riduzioni;
            riduzione = r.value(cdsVardChiusura.fieldByName(QStringLiteral("ITACOID")).index()).toInt();
            giorniRiduzione = r.value(cdsVardChiusura.fieldByName(QStringLiteral("IVARDGIORNIORE")).index()).toInt();
        }
    }
    if (riduzioni > 1) {
        const QString formato = QStringLiteral("dd/MM/yyyy");
        throw ETovCalcola(platform::format(MsgAssenzeDuplicate,
                                           periodo.fieldByName(QStringLiteral("DVAPEDAL")).asDate().toString(formato),
                                           periodo.fieldByName(QStringLiteral("DVAPEAL")).asDate().toString(formato)));
    }
    if (riduzioni == 0)
        return giorni;
    CaricaRiduzioni();
    if (!xqcTaco.locate(QStringLiteral("ITACOID"), Value(riduzione)))
        throw ETovCalcola(platform::format(
            QStringLiteral("Riduzione %d del periodo non presente nella tabella dei tipi di riduzione"), riduzione));
    const Currency assenza = Currency::fromInt(giorniRiduzione);
    switch (intero(xqcTaco, "ITRIDIDFERIE")) {
    case 1: // no holidays accrue on its days
        giorni -= assenza;
        break;
    case 3: // only the paid share of its days accrues them
        giorni -= TwunCalcola::Proporzione(assenza, Currency::fromInt(100) - importo(xqcTaco, "FTACOPERCSTIPENDIO"),
                                           Currency::fromInt(100), QString());
        break;
    default: break;
    }
    return std::max(giorni, Currency());
}

void TdmWunFondCalcola::PreparaPeriodiChiusura()
{
    using platform::FieldType;
    cdsPeriodiChiusura.close();
    cdsPeriodiChiusura.setFieldDefs({});
    for (const char *campo : {"IQARID", "IVAPEORESERVIZIO", "IVAPEOREPREVISTE", "LVAPECATTEDRA", "IMESID", "ANZIANITA"})
        cdsPeriodiChiusura.addFieldDef(QLatin1String(campo), FieldType::Integer);
    for (const char *campo :
         {"GIORNI_UTILI", "ORE_PER_FERIE", "GIORNI_PER_FERIE", "GIORNI_VIRTUALI", "ORARIO_EFF", "GIORNI_RIDOTTI"})
        cdsPeriodiChiusura.addFieldDef(QLatin1String(campo), FieldType::BCD, 4);
    cdsPeriodiChiusura.createDataSet();
}

TRapporto TdmWunFondCalcola::RapportoOreFerie(Currency giorniTotali)
{
    // sum of (hours x days / total days) / contract hours over the periods
    // with days: the contract hours differ by row, so the sum is taken over
    // their least common multiple, exactly.
    struct Riga {
        __int128 ore; // hours x days, raw
        int previste;
    };
    QList<Riga> righe;
    __int128 multiplo = 1;
    for (cdsPeriodiChiusura.first(); !cdsPeriodiChiusura.eof(); cdsPeriodiChiusura.next()) {
        if (importo(cdsPeriodiChiusura, "GIORNI_PER_FERIE") <= Currency())
            continue;
        const int previste = intero(cdsPeriodiChiusura, "IVAPEOREPREVISTE");
        if (previste <= 0)
            throw ETovCalcola(MsgOrariRiduzioni + QStringLiteral("\r\n\r\n")
                              + QStringLiteral("Un periodo con giorni di ferie non ha l'orario contrattuale (ore "
                                               "settimanali previste): impossibile calcolare il valore delle ferie"));
        multiplo = multiplo / mcd(multiplo, previste) * previste;
        righe.append({importo(cdsPeriodiChiusura, "ORE_PER_FERIE").raw(), previste});
    }
    TRapporto rapporto;
    if (righe.isEmpty() || giorniTotali <= Currency()) {
        rapporto.num = 0;
        return rapporto;
    }
    __int128 somma = 0;
    for (const Riga &r : righe)
        somma += r.ore * (multiplo / r.previste);
    rapporto.num = somma;
    rapporto.den = __int128(giorniTotali.raw()) * multiplo;
    const __int128 comune = mcd(rapporto.num, rapporto.den);
    if (comune > 1) {
        rapporto.num /= comune;
        rapporto.den /= comune;
    }
    return rapporto;
}

void TdmWunFondCalcola::CalcolaPeriodiChiusura(const DataSet &variazione, Currency, bool dialogo, Currency &valore,
                                               Currency &giorni, int primoMese, const DataSet &compenso)
{
    ZEP_ASSERT(dmWunParams, QStringLiteral("Modulo dei parametri non creato: ferie di fine rapporto non calcolabili"));
    const Value limite = dmWunParams->CampoPaco(QStringLiteral("DPACONOFERIE"));
    const QDate dataLimite = limite.isEmpty() ? QDate() : limite.toDate();

    PreparaPeriodiChiusura();
    Currency totale;
    for (cdsVapeChiusura.first(); !cdsVapeChiusura.eof(); cdsVapeChiusura.next()) {
        const int previste = intero(cdsVapeChiusura, "IVAPEOREPREVISTE");
        if (cdsPeriodiChiusura.locate(QStringLiteral("IVAPEOREPREVISTE"), Value(previste))) {
            cdsPeriodiChiusura.edit();
        } else {
            cdsPeriodiChiusura.append();
            cdsPeriodiChiusura.fieldByName(QStringLiteral("IVAPEOREPREVISTE")).setAsInteger(previste);
            for (const char *campo : {"GIORNI_PER_FERIE", "ORE_PER_FERIE"})
                impostaImporto(cdsPeriodiChiusura, campo, Currency());
        }
        for (const char *campo : {"IQARID", "IVAPEORESERVIZIO", "LVAPECATTEDRA", "IMESID", "ANZIANITA"})
            if (const platform::Field *f = cdsVapeChiusura.findField(QLatin1String(campo)))
                cdsPeriodiChiusura.fieldByName(QLatin1String(campo)).setValue(f->value());
        impostaImporto(cdsPeriodiChiusura, "ORARIO_EFF", importo(cdsVapeChiusura, "ORARIO_EFF"));

        const Currency g = GiorniFeriePeriodo(cdsVapeChiusura, variazione, dataLimite);
        impostaImporto(cdsPeriodiChiusura, "GIORNI_PER_FERIE", importo(cdsPeriodiChiusura, "GIORNI_PER_FERIE") + g);
        const Currency oreGiorni = TTovCalcola::OrarioRidotto(cdsVapeChiusura, QStringLiteral("VAPE"), previste)
                                       ? TwunCalcola::Proporzione(importo(cdsVapeChiusura, "ORARIO_EFF"), g,
                                                                  Currency::fromInt(60), QString())
                                       : g * qint64(previste);
        impostaImporto(cdsPeriodiChiusura, "ORE_PER_FERIE", importo(cdsPeriodiChiusura, "ORE_PER_FERIE") + oreGiorni);
        cdsPeriodiChiusura.post();
        totale += g;
    }
    const TRapporto rapporto = RapportoOreFerie(totale);

    if (!QueryVociCCNL().isActive()) {
        cdsPeriodiChiusura.last();
        ApriVociCCNL(cdsPeriodiChiusura.isEmpty() ? 0 : intero(cdsPeriodiChiusura, "ANZIANITA"));
    }
    const Currency dovuti = ImportoFerie(totale, compenso);
    const Currency godute = StoricoFerie(compenso, variazione, primoMese);
    giorni = TTovCalcola::DifferenzaPositiva(dovuti, godute);
    if (dialogo && OnFerie) {
        Currency scelti = dovuti;
        if (OnFerie(scelti, QString(), dataLimite, godute))
            giorni = scelti;
    }
    valore = ValoreFerie(rapporto, giorni);
}

Currency TdmWunFondCalcola::ImportoFerie(Currency giorni, const DataSet &compenso)
{
    int annue = intero(compenso, "IACOMDENFERIE");
    if (annue == 0)
        annue = 30;
    return TwunCalcola::Centesimi(giorni * qint64(annue), 360);
}

Currency TdmWunFondCalcola::StoricoFerie(const DataSet &compenso, const DataSet &variazione, int primoMese)
{
    if (primoMese == 12)
        return Currency();
    const int mese = intero(variazione, "IMESID");
    SqlQuery &q = qquAppoggio();
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_STORICO_FERIE"), q);
    q.bind(QStringLiteral("IACOMID"), compenso.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("COS_STIPENDIO"), TwunCalcola::COS_STIPENDIO)
        .bind(QStringLiteral("IMESID_DAL"), primoMese)
        .bind(QStringLiteral("IMESID_AL"), mese);
    // The months come latest first: the run goes back while they follow
    // one another.
    int inizio = mese;
    for (q.open(); !q.eof(); q.next()) {
        const int m = q.value(QStringLiteral("IMESID")).toInt();
        if (m == inizio)
            continue;
        if (m != inizio - 1)
            break;
        inizio = m;
    }
    q.close();

    const int anno = wunAnnoFinanziario().Year();
    const QDate dal = TTovDate::FirstDayOfMonth(anno, inizio);
    const QDate al = TTovDate::LastDayOfMonth(anno, mese);
    TovQueryText().AssignSQL(QStringLiteral("QRY_DIS_FERIE"), q, 0, QStringLiteral("SELECT"));
    q.bind(QStringLiteral("IANACAGID"), compenso.fieldValue(QStringLiteral("IANACAGID")))
        .bind(QStringLiteral("DINIZIO"), dal)
        .bind(QStringLiteral("DFINE"), al);
    qint64 godute = 0;
    for (q.open(); !q.eof(); q.next()) {
        const QDate inizioFerie = q.value(QStringLiteral("DFEPDATAINIZIO")).toDate();
        const QDate fineFerie = q.value(QStringLiteral("DFEPDATAFINE")).toDate();
        qint64 g = q.value(QStringLiteral("IFEPDAYFERIE")).toInt();
        if (inizioFerie < dal)
            g -= inizioFerie.daysTo(dal);
        if (fineFerie > al)
            g -= al.daysTo(fineFerie);
        if (g > 0)
            godute += g;
    }
    q.close();
    return TwunCalcola::Centesimi(Currency::fromInt(godute));
}

void TdmWunFondCalcola::ApriVociCCNL(int anzianita)
{
    xqcCCNLInt.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_CCNL_COMR"), xqcCCNLInt, kExecute);
    impostaParametro(xqcCCNLInt, "ICCNTID", Value(WunCCNL().TabellaCCNL()));
    impostaParametro(xqcCCNLInt, "IASTIANZIANITA", Value(anzianita));
    impostaParametro(xqcCCNLInt, "ICCNVID", Value(WunCCNL().TabellaCCNV()));
    xqcCCNLInt.Open();
}

TUqQueryCollection &TdmWunFondCalcola::QueryVociCCNL()
{
    return xqcCCNLInt;
}

Currency TdmWunFondCalcola::ValoreFerie(const TRapporto &rapporto, Currency giorni)
{
    if (!cdsVapeChiusura.isActive() || cdsVapeChiusura.isEmpty() || rapporto.num == 0)
        return Currency();
    cdsVapeChiusura.last();
    const int qualifica = intero(cdsVapeChiusura, "IQARID");
    DataSet &ccnl = QueryVociCCNL();
    auto presente = [&](int voce) {
        return ccnl.locate(QStringLiteral("IQARID;ICOMRID"), platform::ValueList{Value(qualifica), Value(voce)});
    };
    // The yearly pay of the qualification.
    Currency base;
    for (int voce : {TTovCalcola::COMR_STIPENDIO, TTovCalcola::COMR_CCNL_2})
        if (presente(voce))
            base += importo(ccnl, "FCCNLIMPORTO");
    for (int voce : {TwunCalcolaFond::COMR_FUNZIONE, TwunCalcolaFond::COMR_PROFESSIONALE})
        if (presente(voce))
            base += importo(ccnl, "FCCNLIMPORTO") * 12;
    for (int voce : {TwunCalcolaFond::COMR_PEREQUATIVO, TTovCalcola::COMR_IVC})
        if (presente(voce))
            base += TTovCalcola::ImportoCcnl(ccnl, qualifica, true, voce);
    // ratio x days x base / 360, exactly, then to cents.
    const TRapporto quota{rapporto.num * giorni.raw(), rapporto.den * Currency::Scale * 360};
    return TwunCalcola::Arrotonda(2, quota.Applica(base));
}

Currency TdmWunFondCalcola::ImportoOrePagate(DataSet &voci)
{
    SqlQuery &q = qquAppoggio();
    TovQueryText().AssignSQL(QStringLiteral("QRY_CHIUSURA_OEPA"), q);
    QList<int> orarie;
    for (q.open(); !q.eof(); q.next())
        orarie << q.value(QStringLiteral("ICOMRID")).toInt();
    q.close();
    FiltroSospeso filtro(voci);
    Currency totale;
    const int campoVoce = voci.fieldByName(QStringLiteral("ICOMRID")).index();
    const int campoLordo = voci.fieldByName(QStringLiteral("FVACRLORDO")).index();
    for (const platform::ValueList &r : voci.records())
        if (orarie.contains(r.value(campoVoce).toInt()))
            totale += r.value(campoLordo).toCurrency();
    return totale;
}

Currency TdmWunFondCalcola::ImportoChiusuraOreEccedenti(const DataSet &variazione, DataSet &voci, int meseChiusuraPrec)
{
    SqlQuery &q = qquAppoggio();
    TovQueryText().AssignSQL(QStringLiteral("QRY_CHIUSURA_VACR_OE"), q);
    q.bind(QStringLiteral("IACOMID"), variazione.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("IMESID"), variazione.fieldValue(QStringLiteral("IMESID")))
        .bind(QStringLiteral("MESE_CHIUS_PREC"), meseChiusuraPrec)
        .bind(QStringLiteral("ICOTID"), variazione.fieldValue(QStringLiteral("ICOTID")));
    q.open();
    const Value pagato = q.eof() ? Value::null() : q.value(QStringLiteral("IMPORTO"));
    q.close();
    const Currency totale = (pagato.isEmpty() ? Currency() : pagato.toCurrency()) + ImportoOrePagate(voci);
    return TwunCalcola::Arrotonda(2, totale / 12);
}
