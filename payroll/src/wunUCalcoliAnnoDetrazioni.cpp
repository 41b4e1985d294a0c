// The rules of the year classes 2007 on of wunUCalcoliAnno: the income-tax
// deductions of a month and of the annual adjustment (employee income,
// spouse, children, other dependants, large families, rent), their division
// over the payments, the adjustment's totals, and the collaborators'
// additional INPS rate of 2017.
#include "wunUCalcoliAnno.h"

#include "WunUUtil.h"
#include "wunUCalcoli.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Format.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"
#include "tovUUtil.h"

#include <QDate>
#include <QObject>
#include <QVariant>

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

const QString TWunCalcolaAnno2007::MsgQuotaFiglio = QStringLiteral("Il figlio può essere a carico per intero o al 50%");
const QString TWunCalcolaAnno2007::MsgFiglioMancante = QStringLiteral("Manca il figlio numero %d.");
const QString TWunCalcolaAnno2007::MsgPeriodiSovrapposti = QStringLiteral(
    "Figlio %d: Periodi validi per detrazioni sovrapposti");
const QString TWunCalcolaAnno2007::MsgMeseFine = QStringLiteral(
    "Figlio %d: Mese fine detrazioni deve essere superiore od uguale a quello di inizio");

namespace {

Currency euro(int valore)
{
    return Currency::fromInt(valore);
}

Currency arrotonda(Currency importo)
{
    return TwunCalcola::Arrotonda(2, importo);
}

Currency proporzione(Currency valore, Currency numeratore, Currency denominatore)
{
    return TwunCalcola::Proporzione(
        valore, numeratore, denominatore,
        QStringLiteral("Scaglione della detrazione senza ampiezza: impossibile calcolare la detrazione"));
}

// A flag of the row: 1 when set.
bool flag(const DataSet &ds, const char *campo)
{
    const platform::Field *f = ds.findField(QLatin1String(campo));
    return f && !f->isNull() && f->asInteger() == 1;
}

// The employee deduction asked for: LADETLAVDIP 1 or empty.
bool lavoroRichiesto(const DataSet &detrazioni)
{
    const platform::Field *f = detrazioni.findField(QStringLiteral("LADETLAVDIP"));
    return !f || f->isNull() || f->asInteger() == 1;
}

// A share of a child or dependant in per cent applied to the amount (100:
// as it is).
Currency quota(Currency importo, Currency percentuale)
{
    if (percentuale == euro(100))
        return importo;
    return TwunCalcola::Percentuale(importo, percentuale);
}

// (soglia - reddito) / soglia to four decimals; 0 for no threshold.
Currency coefficienteReddito(Currency soglia, Currency reddito)
{
    if (soglia <= Currency())
        return Currency();
    return TwunCalcola::Arrotonda(4, proporzione(euro(1), soglia - reddito, soglia));
}

// Edits the row for the lifetime of the object and posts it at the end
// (unless it was in edit already); when a rule fails half-way the row is
// put back as it was.
class Modifica {
public:
    explicit Modifica(DataSet &ds)
        : m_ds(ds), m_post(TTovUtil::EditDataSet(&ds)), m_eccezioni(std::uncaught_exceptions())
    {
    }
    ~Modifica() noexcept(false)
    {
        if (!m_post)
            return;
        if (std::uncaught_exceptions() > m_eccezioni)
            m_ds.cancel();
        else
            m_ds.post();
    }
    Modifica(const Modifica &) = delete;
    Modifica &operator=(const Modifica &) = delete;

private:
    DataSet &m_ds;
    bool m_post;
    int m_eccezioni;
};

} // namespace

// ================================================================ 2007: employee income

Currency TWunCalcolaAnno2007::DetrazioneLavDipFormula(const DataSet &detrazioni, Currency reddito,
                                                      const TFormulaLavoro &formula)
{
    if (!lavoroRichiesto(detrazioni))
        return Currency();
    ApriTabella(m_tdla, QStringLiteral("QRY_TDLA"));
    Currency d;
    if (!CercaScaglione(m_tdla, QStringLiteral("ITDLAUSERCODE > 0"), d, QStringLiteral("FTDLADETRAZIONE"),
                        QStringLiteral("FTDLASCAGLIONE"), reddito))
        return Currency();
    const Currency u = importo(m_tdla, "FTDLASCAGLIONEA");
    switch (intero(m_tdla, "ITDLAUSERCODE")) {
    case 2: {
        const Currency limite = formula.limite2 ? euro(formula.limite2) : u;
        return d + proporzione(euro(formula.quota2), limite - reddito, euro(formula.ampiezza2));
    }
    case 3: return proporzione(d, u - reddito, euro(formula.ampiezza3));
    default: return d;
    }
}

Currency TWunCalcolaAnno2007::DetrazioneLavDip(const DataSet &detrazioni, Currency reddito)
{
    return DetrazioneLavDipFormula(detrazioni, reddito, {502, 0, 7000, 40000});
}

Currency TWunCalcolaAnno2014::DetrazioneLavDip(const DataSet &detrazioni, Currency reddito)
{
    return DetrazioneLavDipFormula(detrazioni, reddito, {902, 0, 20000, 27000});
}

Currency TWunCalcolaAnno2022::DetrazioneLavDip(const DataSet &detrazioni, Currency reddito)
{
    return DetrazioneLavDipFormula(detrazioni, reddito, {1190, 28000, 13000, 22000});
}

Currency TWunCalcolaAnno2007::UlterioreDetrazione(const DataSet &, const DataSet &, Currency reddito, const DataSet *)
{
    ApriTabella(m_tdla, QStringLiteral("QRY_TDLA"));
    Currency d;
    CercaScaglione(m_tdla, QStringLiteral("ITDLAUSERCODE < 0"), d, QStringLiteral("FTDLADETRAZIONE"),
                   QStringLiteral("FTDLASCAGLIONE"), reddito);
    return d;
}

Currency TWunCalcolaAnno2020::UlterioreDetrazioneAnno(const DataSet &detrazioni, const DataSet &persona,
                                                      Currency reddito, const DataSet *liquidazione, bool controllaMese,
                                                      bool formula)
{
    if (intero(persona, "IACOMBONUS66ECC") != 0 || !lavoroRichiesto(detrazioni))
        return Currency();
    if (controllaMese && liquidazione && intero(*liquidazione, "IMESID") < MeseInizioBonus())
        return Currency();
    ApriTabella(TabellaLavoro(), QStringLiteral("QRY_TDLA"));
    DataSet &tabella = TabellaLavoro();
    Currency d;
    if (!CercaScaglione(tabella, QStringLiteral("ITDLAUSERCODE < 0"), d, QStringLiteral("FTDLADETRAZIONE"),
                        QStringLiteral("FTDLASCAGLIONE"), reddito))
        return Currency();
    if (!formula)
        return d;
    Currency risultato = d;
    switch (intero(tabella, "ITDLAUSERCODE")) {
    case -2: risultato = proporzione(d, euro(40000) - reddito, euro(5000)); break;
    case -1: risultato = d + proporzione(QuotaUlterioreDetrazione(), euro(35000) - reddito, euro(7000)); break;
    default: break;
    }
    ZEP_ASSERT(risultato >= Currency(),
               QStringLiteral("Ulteriore detrazione negativa per il reddito %1").arg(reddito.toString()));
    return risultato;
}

Currency TWunCalcolaAnno2020::UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                                  const DataSet *liquidazione)
{
    return UlterioreDetrazioneAnno(detrazioni, persona, reddito, liquidazione, true, true);
}

Currency TWunCalcolaAnno2021::UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                                  const DataSet *liquidazione)
{
    // The whole year: the deduction does not wait for the integrative
    // payment's first month of 2020.
    return UlterioreDetrazioneAnno(detrazioni, persona, reddito, liquidazione, false, true);
}

Currency TWunCalcolaAnno2022::UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                                  const DataSet *liquidazione)
{
    return UlterioreDetrazioneAnno(detrazioni, persona, reddito, liquidazione, false, false);
}

// ================================================================ 2007: spouse, children, others

Currency TWunCalcolaAnno2007::DetrazioneConiuge(const DataSet &detrazioni, Currency reddito)
{
    if (!flag(detrazioni, "LADETCONCAR") && !flag(detrazioni, "LADETMANCAGENITORE"))
        return Currency();
    ApriTabella(m_tdco, QStringLiteral("QRY_TDCO"));
    Currency d;
    if (!CercaScaglione(m_tdco, QStringLiteral("ITDCOUSERCODE > 0"), d, QStringLiteral("FTDCODETRAZIONE"),
                        QStringLiteral("FTDCOSCAGLIONE"), reddito))
        return Currency();
    const Currency u = importo(m_tdco, "FTDCOSCAGLIONEA");
    Currency risultato = d;
    switch (intero(m_tdco, "ITDCOUSERCODE")) {
    case 1: risultato = d - proporzione(euro(110), reddito, u); break;
    case 3: risultato = proporzione(d, u - reddito, euro(40000)); break;
    default: break;
    }
    if (risultato <= Currency())
        return Currency();
    risultato = arrotonda(risultato);
    CercaScaglione(m_tdco, QStringLiteral("ITDCOUSERCODE < 0"), risultato, QStringLiteral("FTDCODETRAZIONE"),
                   QStringLiteral("FTDCOSCAGLIONE"), reddito);
    return risultato;
}

Currency TWunCalcolaAnno2007::DetrazioneAltri(const DataSet &detrazioni, Currency reddito)
{
    const int altri = intero(detrazioni, "IADETALTRI");
    if (altri <= 0)
        return Currency();
    if (!ApriFamiliari())
        return Currency();
    const Currency coefficiente = coefficienteReddito(importo(m_tdfa, "FTDFASOGLIAALTRI"), reddito);
    if (coefficiente <= Currency())
        return Currency();
    Currency d = arrotonda(importo(m_tdfa, "FTDFADETALTRI") * coefficiente);
    d = quota(d, importo(detrazioni, "FADETPERCALTRI"));
    if (altri > 1)
        d = d * altri;
    return arrotonda(d);
}

bool TWunCalcolaAnno2007::ApriFamiliari()
{
    ApriTabella(m_tdfa, QStringLiteral("QRY_TDFA"));
    m_tdfa.first();
    return !m_tdfa.eof();
}

Currency TWunCalcolaAnno2007::DetrazioneFigliRighe(DataSet &figli, Currency reddito, bool conguaglio, int mese,
                                                   Currency &primoFiglio, int &numeroFigli)
{
    primoFiglio = Currency();
    numeroFigli = 0;
    const QString filtroPrima = figli.filter();
    const bool filtrataPrima = figli.filtered();
    const QString indicePrima = figli.indexFieldNames();
    struct Ripristina {
        DataSet &ds;
        QString filtro, indice;
        bool filtrata;
        ~Ripristina()
        {
            ds.setIndexFieldNames(indice);
            ds.setFilter(filtro);
            ds.setFiltered(filtrata);
        }
    } ripristina{figli, filtroPrima, indicePrima, filtrataPrima};
    if (!conguaglio) {
        figli.setFilter(platform::format(QStringLiteral("IMESDAL<=%d AND IMESAL>=%d"), mese, mese));
        figli.setFiltered(true);
    }
    figli.setIndexFieldNames(QStringLiteral("IADEFORDINE;IMESDAL"));
    // The checks of the rows, and the number of children (the highest
    // order number).
    int precedente = 0;
    int meseFinePrecedente = 0;
    for (figli.first(); !figli.eof(); figli.next()) {
        const Currency perc = importo(figli, "FDEFPERC");
        // A child at no charge (0) counts for nothing; the typed-share check
        // accepts the same three values.
        if (perc != euro(100) && perc != euro(50) && !perc.isZero())
            throw ETovCalcola(MsgQuotaFiglio);
        const int ordine = intero(figli, "IADEFORDINE");
        if (conguaglio) {
            if (ordine > precedente + 1)
                throw ETovCalcola(platform::format(MsgFiglioMancante, precedente + 1));
            const int dal = intero(figli, "IMESDAL");
            const int al = intero(figli, "IMESAL");
            if (al < dal)
                throw ETovCalcola(platform::format(MsgMeseFine, ordine));
            if (ordine == precedente && dal <= meseFinePrecedente)
                throw ETovCalcola(platform::format(MsgPeriodiSovrapposti, ordine));
            meseFinePrecedente = al;
        }
        precedente = ordine;
        numeroFigli = std::max(numeroFigli, ordine);
    }
    if (numeroFigli == 0)
        return Currency();
    if (!ApriFamiliari())
        return Currency();
    const Currency soglia = importo(m_tdfa, "FTDFASOGLIABASE") + importo(m_tdfa, "FTDFASOGLIAINC") * (numeroFigli - 1);
    const Currency coefficiente = coefficienteReddito(soglia, reddito);
    if (coefficiente <= Currency())
        return Currency();
    Currency somma;
    for (figli.first(); !figli.eof(); figli.next()) {
        Currency d = importo(m_tdfa, "FTDFADETFIGLIO1");
        if (flag(figli, "LADEFMIN3"))
            d += importo(m_tdfa, "FTDFADETFIGLIOMIN3");
        if (flag(figli, "LADEFHANDYCAP"))
            d += importo(m_tdfa, "FTDFADETHANDY1");
        if (numeroFigli > 3)
            d += importo(m_tdfa, "FTDFADETFIGLIO3");
        d = quota(d, importo(figli, "FDEFPERC"));
        const int mesi = intero(figli, "IMESAL") - intero(figli, "IMESDAL") + 1;
        if (conguaglio && mesi < 12)
            d = TwunCalcola::Proporzione(d, mesi, 12, QString());
        d = arrotonda(d);
        somma += d;
        if (intero(figli, "IADEFORDINE") == 1)
            primoFiglio += d;
    }
    primoFiglio = arrotonda(primoFiglio * coefficiente);
    return arrotonda(somma * coefficiente);
}

Currency TWunCalcolaAnno2007::DetrazioneFigli(const DataSet &detrazioni, Currency reddito, Currency &primoFiglio,
                                              Currency &coefficiente)
{
    primoFiglio = Currency();
    coefficiente = Currency();
    const int figli = intero(detrazioni, "IADETFIGLI");
    if (figli <= 0)
        return Currency();
    if (!ApriFamiliari())
        return Currency();
    coefficiente = coefficienteReddito(importo(m_tdfa, "FTDFASOGLIABASE")
                                           + importo(m_tdfa, "FTDFASOGLIAINC") * (figli - 1),
                                       reddito);
    if (coefficiente <= Currency())
        return Currency();
    const Currency base = importo(m_tdfa, "FTDFADETFIGLIO1");
    const Currency oltreTre = figli > 3 ? importo(m_tdfa, "FTDFADETFIGLIO3") : Currency();
    const Currency piccoli = importo(m_tdfa, "FTDFADETFIGLIOMIN3");
    const Currency handicap = importo(m_tdfa, "FTDFADETHANDY1");
    Currency somma = (base + oltreTre) * figli + piccoli * intero(detrazioni, "IADETFIGLIMIN3")
                     + handicap * intero(detrazioni, "IADETFIGLIHANDYCAP");
    // The first child: handicapped when the flag says so, else under three
    // when there is one.
    Currency primo = base + oltreTre;
    if (flag(detrazioni, "LADETFIGLIO1HANDY"))
        primo += handicap;
    else if (intero(detrazioni, "IADETFIGLIMIN3") > 0)
        primo += piccoli;
    const Currency perc = importo(detrazioni, "FADETPERCFIGLI");
    somma = quota(somma, perc);
    primo = quota(primo, perc);
    primoFiglio = arrotonda(primo * coefficiente);
    return arrotonda(somma * coefficiente);
}

Currency TWunCalcolaAnno2010::DetrazioneFigli(const DataSet &, Currency, Currency &primoFiglio, Currency &coefficiente)
{
    primoFiglio = Currency();
    coefficiente = Currency();
    return Currency();
}

// ================================================================ 2007: the month's deductions

void TWunCalcolaAnno2007::CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *conguaglio,
                                            DataSet &ritenute, DataSet *figli, int mese)
{
    {
        Modifica modifica(detrazioni);
        for (const char *campo :
             {"FADETIMPLAVDIP", "FADETIMPLAVAGG", "FADETIMPCONCAR", "FADETIMPFIGLICAR", "FADETIMPALTRICAR"})
            impostaImporto(detrazioni, campo, Currency());
        const Currency reddito = conguaglio ? importo(*conguaglio, "FCONGREDDITOCOMP")
                                            : RedditoAnnuoPresunto(persona, ritenute);
        SetRedditoAnnuo(reddito);
        if (reddito <= Currency())
            return;
        const Currency lavoro = DetrazioneLavDip(detrazioni, reddito);
        impostaImporto(detrazioni, "FADETIMPLAVDIP", lavoro);
        if (lavoro > Currency()) {
            // The month, for the rules that wait for a first month.
            auto liquidazione = std::make_unique<DataSet>();
            liquidazione->addFieldDef(QStringLiteral("IMESID"), platform::FieldType::Integer);
            liquidazione->createDataSet();
            liquidazione->appendRecord({Value(mese)});
            impostaImporto(detrazioni, "FADETIMPLAVAGG",
                           UlterioreDetrazione(detrazioni, persona, reddito,
                                               conguaglio ? nullptr : liquidazione.get()));
        }
        Currency coniuge = DetrazioneConiuge(detrazioni, reddito);
        Currency primoFiglio;
        Currency figliDetrazione;
        figli = figli && !figli->isEmpty() ? figli : nullptr;
        if (figli) {
            int numero = 0;
            figliDetrazione = DetrazioneFigliRighe(*figli, reddito, conguaglio != nullptr, mese, primoFiglio, numero);
            detrazioni.fieldByName(QStringLiteral("IADETFIGLI")).setAsInteger(numero);
        } else {
            Currency coefficiente;
            figliDetrazione = DetrazioneFigli(detrazioni, reddito, primoFiglio, coefficiente);
        }
        SetFigliACarico(intero(detrazioni, "IADETFIGLI"));
        // Without the other parent the first child takes the spouse's
        // deduction when it is larger.
        if (flag(detrazioni, "LADETMANCAGENITORE")) {
            if (coniuge > primoFiglio)
                figliDetrazione += coniuge - primoFiglio;
            coniuge = Currency();
        }
        impostaImporto(detrazioni, "FADETIMPCONCAR", coniuge);
        impostaImporto(detrazioni, "FADETIMPFIGLICAR", figliDetrazione);
        impostaImporto(detrazioni, "FADETIMPALTRICAR", DetrazioneAltri(detrazioni, reddito));
    }
    if (conguaglio)
        DetrazioneLavDipConguaglio(persona, detrazioni, *conguaglio);
}

Currency TWunCalcolaAnno2007::MinimoLavDip(const DataSet &persona, Currency reddito)
{
    ApriTabella(m_tdla, QStringLiteral("QRY_TDLA"));
    Currency nessuno;
    if (!CercaScaglione(m_tdla, QStringLiteral("ITDLAUSERCODE = 1"), nessuno, QStringLiteral("FTDLADETRAZIONE"),
                        QStringLiteral("FTDLASCAGLIONE"), reddito))
        return Currency();
    const int tipo = intero(persona, "ITNOID");
    return importo(m_tdla, tipo == 1 || tipo == 2 ? "FTDLAMININD" : "FTDLAMINDET");
}

void TWunCalcolaAnno2007::DetrazioneLavDipConguaglio(const DataSet &persona, DataSet &detrazioni, DataSet &conguaglio)
{
    Currency lavoro = arrotonda(TwunCalcola::Proporzione(importo(detrazioni, "FADETIMPLAVDIP"),
                                                         intero(conguaglio, "FCONGGIORNI"), 365, {}))
                      + importo(detrazioni, "FADETIMPLAVAGG");
    if (lavoro > Currency())
        lavoro = std::max(lavoro, MinimoLavDip(persona, importo(conguaglio, "FCONGREDDITOCOMP")));
    {
        Modifica m(detrazioni);
        impostaImporto(detrazioni, "FADETIMPLAVDIP", lavoro);
    }
    Modifica m(conguaglio);
    impostaImporto(conguaglio, "FCONGIMPLAVDIP", lavoro);
}

void TWunCalcolaAnno2020::DetrazioneLavDipConguaglio(const DataSet &persona, DataSet &detrazioni, DataSet &conguaglio)
{
    Currency lavoro = arrotonda(
        TwunCalcola::Proporzione(importo(detrazioni, "FADETIMPLAVDIP"), intero(conguaglio, "FCONGGIORNI"), 365, {}));
    if (lavoro > Currency())
        lavoro = std::max(lavoro, MinimoLavDip(persona, importo(conguaglio, "FCONGREDDITOCOMP")));
    // The additional deduction runs with the integrative payment's period.
    Currency aggiuntiva = importo(detrazioni, "FADETIMPLAVAGG");
    Modifica mc(conguaglio);
    if (aggiuntiva > Currency()) {
        aggiuntiva = arrotonda(
            TwunCalcola::Proporzione(aggiuntiva, intero(conguaglio, "ICONGGIORNI_PART"), GiorniPeriodoBonus(),
                                     QStringLiteral("Giorni del periodo del trattamento integrativo non indicati")));
        lavoro += aggiuntiva;
        impostaImporto(conguaglio, "FCONGIMPLAVAGG", aggiuntiva);
    }
    {
        Modifica m(detrazioni);
        impostaImporto(detrazioni, "FADETIMPLAVDIP", lavoro);
    }
    impostaImporto(conguaglio, "FCONGIMPLAVDIP", lavoro);
}

void TWunCalcolaAnno2021::DetrazioneLavDipConguaglio(const DataSet &persona, DataSet &detrazioni, DataSet &conguaglio)
{
    TWunCalcolaAnno2020::DetrazioneLavDipConguaglio(persona, detrazioni, conguaglio);
}

void TWunCalcolaAnno2007::ControllaFigli(const Value &valore, bool &valido, QString &messaggio)
{
    bool numero = false;
    const double q = QVariant(valore.toString()).toDouble(&numero);
    valido = numero && (q == 0 || q == 50 || q == 100);
    messaggio = valido ? QString() : MsgQuotaFiglio;
}

// ================================================================ the payments of the year

Currency TWunCalcolaAnno2007::QuotaMeseLavoro(SqlQuery &query, Currency annua, int numeroPaghe,
                                              const DataSet *liquidazione, const DataSet &persona)
{
    if (numeroPaghe <= 0)
        throw ETovCalcola(TwunCalcola::MsgNumeroPaghe);
    if (!liquidazione)
        return arrotonda(annua / numeroPaghe);
    if (intero(persona, "ITNOID") == TwunCalcola::TNO_COLLABORATORE)
        return arrotonda(TWunQuota{TwunCalcola::DurataRapporto(persona), qint64(numeroPaghe) * 365}.Applica(annua));
    return arrotonda(TWunQuota{TWunCalcolaAnno2014::GiorniLiquidazione(query, *liquidazione), 365}.Applica(annua));
}

void TWunCalcolaAnno2007::RipartisciDetrazioni(SqlQuery &query, DataSet &detrazioni, int numeroPaghe,
                                               const DataSet *liquidazione, const DataSet &persona)
{
    const Currency lavoro = QuotaMeseLavoro(query, importo(detrazioni, "FADETIMPLAVDIP"), numeroPaghe, liquidazione,
                                            persona)
                            + arrotonda(importo(detrazioni, "FADETIMPLAVAGG") / numeroPaghe);
    Modifica m(detrazioni);
    impostaImporto(detrazioni, "FADETIMPLAVDIP", lavoro);
}

void TWunCalcolaAnno2020::RipartisciDetrazioni(SqlQuery &query, DataSet &detrazioni, int numeroPaghe,
                                               const DataSet *liquidazione, const DataSet &persona)
{
    Currency lavoro = QuotaMeseLavoro(query, importo(detrazioni, "FADETIMPLAVDIP"), numeroPaghe, liquidazione, persona);
    const Currency aggiuntiva = importo(detrazioni, "FADETIMPLAVAGG");
    if (liquidazione && aggiuntiva > Currency())
        lavoro += arrotonda(RateTrattamentoIntegrativo(query, persona, *liquidazione).Applica(aggiuntiva));
    Modifica m(detrazioni);
    impostaImporto(detrazioni, "FADETIMPLAVDIP", lavoro);
}

// ================================================================ the annual adjustment

int TWunCalcolaAnno2007::GiorniConguaglio(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione,
                                          const DataSet &conguaglio, const QString &condizione)
{
    if (intero(persona, "ITNOID") == TwunCalcola::TNO_COLLABORATORE)
        return intero(persona, "IACOMDURATARAPP");
    // The year's registers of the person, without the collaborations and
    // this liquidation's own register.
    auto compenso = std::make_unique<DataSet>();
    for (const char *campo : {"IACOMID", "MESE_INIZIALE", "MESE_FINALE"})
        compenso->addFieldDef(QLatin1String(campo), platform::FieldType::Integer);
    compenso->createDataSet();
    compenso->appendRecord({persona.fieldValue(QStringLiteral("IACOMID")), Value(1), Value(12)});
    const QString filtro = platform::format(QStringLiteral(" AND REGS.ITNOID <> %d"), TwunCalcola::TNO_COLLABORATORE)
                           + platform::format(QStringLiteral(" AND (REGS.ICOTID <> %d OR REGS.IMESID < %d)"),
                                              intero(liquidazione, "ICOTID"), intero(liquidazione, "IMESID"))
                           + condizione;
    return TwunCalcola::GiorniCud(query, *compenso, filtro)
           + TWunCalcolaAnno2014::GiorniLiquidazione(query, liquidazione) + intero(conguaglio, "FCONGGIORNI");
}

void TWunCalcolaAnno2007::CalcolaConguaglio(const DataSet &persona, DataSet &, SqlQuery &liquidazioni,
                                            DataSet &liquidazione, DataSet &conguaglio, DataSet &)
{
    TotaliConguaglio(liquidazioni, persona, liquidazione, conguaglio);
}

void TWunCalcolaAnno2007::TotaliConguaglio(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione,
                                           DataSet &conguaglio)
{
    const int giorni = GiorniConguaglio(query, persona, liquidazione, conguaglio, QString());
    Modifica m(conguaglio);
    conguaglio.fieldByName(QStringLiteral("FCONGGIORNI"))
        .setAsInteger(std::min(giorni + intero(conguaglio, "ICONGGIORNI_P"), 365));
    const Currency imponibile = importo(conguaglio, "FCONGIMPONIBILE") + importo(conguaglio, "FCONGIMPONIBILE_P");
    impostaImporto(conguaglio, "FCONGIMPONIBILE_T", imponibile);
    impostaImporto(conguaglio, "FCONGREDDITOCOMP", std::max(imponibile, importo(persona, "FACOMREDDITOCOMP")));
    impostaImporto(conguaglio, "FCONGONERIDEDUC", importo(persona, "FACOMONERIDEDUC"));
    impostaImporto(conguaglio, "FCONGCREDITOIMP", importo(persona, "FACOMCREDITOIMP"));
}

void TWunCalcolaAnno2020::CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni,
                                            DataSet &liquidazione, DataSet &conguaglio, DataSet &ritenute)
{
    // The part of the year of the integrative payment, counted before the
    // year's days change FCONGGIORNI.
    int parte = 0;
    if (intero(persona, "ITNOID") == TwunCalcola::TNO_COLLABORATORE) {
        parte = GiorniTrattamentoIntegrativo(persona);
    } else {
        const QString dalMese = platform::format(QStringLiteral(" AND (REGS.IMESID >= %d)"), MeseInizioBonus());
        parte = GiorniConguaglio(liquidazioni, persona, liquidazione, conguaglio, dalMese);
        if (intero(liquidazione, "IMESID") < MeseInizioBonus())
            parte -= TWunCalcolaAnno2014::GiorniLiquidazione(liquidazioni, liquidazione);
        parte -= intero(conguaglio, "FCONGGIORNI");
    }
    TWunCalcolaAnno2019::CalcolaConguaglio(persona, detrazioni, liquidazioni, liquidazione, conguaglio, ritenute);
    Modifica m(conguaglio);
    conguaglio.fieldByName(QStringLiteral("ICONGGIORNI_PART"))
        .setAsInteger(std::clamp(parte + intero(conguaglio, "ICONGGIORNI_PART_P"), 0, GiorniPeriodoBonus()));
}

void TWunCalcolaAnno2021::CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni,
                                            DataSet &liquidazione, DataSet &conguaglio, DataSet &ritenute)
{
    // The integrative payment runs all year: its part is the year's days.
    TWunCalcolaAnno2019::CalcolaConguaglio(persona, detrazioni, liquidazioni, liquidazione, conguaglio, ritenute);
    Modifica m(conguaglio);
    conguaglio.fieldByName(QStringLiteral("ICONGGIORNI_PART")).setAsInteger(intero(conguaglio, "FCONGGIORNI"));
}

// ================================================================ 2004-2006: deductions from income

namespace {

// The year's deduction row (QRY_TDED).
std::unique_ptr<TUqQueryCollection> tabellaDeduzioni()
{
    auto tabella = std::make_unique<TUqQueryCollection>();
    TWunCalcolaAnno::ApriTabellaDeduzioni(*tabella);
    tabella->first();
    if (tabella->eof())
        throw ETovCalcola(QStringLiteral("Tabella delle deduzioni dell'anno non trovata"));
    return tabella;
}

// The no-tax area of the month: the year's area on the income scaled for
// the relationship, for the liquidation's days.
Currency deduzioneNoTaxArea(const DataSet &tabella, const DataSet &persona, DataSet &ritenute,
                            const DataSet *liquidazione)
{
    const int tipo = intero(persona, "ITNOID");
    if (tipo < 1 || (tipo > 8 && tipo != TwunCalcola::TNO_COLLABORATORE))
        return Currency();
    Currency reddito = TWunCalcolaAnno::RedditoAnnuoPresunto(persona, ritenute);
    if (tipo == 8)
        reddito = TwunCalcola::Proporzione(reddito, TWunCalcolaAnno::NumeroMensilita(persona), 12, QString());
    else if (tipo == TwunCalcola::TNO_COLLABORATORE)
        reddito = TwunCalcola::Proporzione(reddito, TwunCalcola::DurataRapporto(persona), 365, QString());
    const Currency area = importo(tabella, "FTDEDBASENOTAXAREA") + importo(tabella, "FTDEDAGGNOTAXAREA");
    const Currency deduzione = TWunCalcolaAnno::ApplicaCoefficiente(
        area, TWunCalcolaAnno::CoefficienteDeduzione(tabella, persona, area, reddito));
    const int giorni = liquidazione ? intero(*liquidazione, "IVARMGIORNI") : 365;
    return arrotonda(TwunCalcola::Proporzione(deduzione, giorni, 365, QString()));
}

// The family deduction: the theoretical one x (threshold + it + charges -
// income - credit) / threshold, cut to four decimals.
Currency deduzioneFamiglia(const DataSet &tabella, const DataSet &persona, Currency teorica, Currency reddito)
{
    const Currency soglia = importo(tabella, "FTDEDSOGLIAFAM");
    if (soglia <= Currency())
        throw ETovCalcola(QStringLiteral("Soglia delle deduzioni per la famiglia (FTDEDSOGLIAFAM) non indicata"));
    const Currency numeratore = soglia + teorica + importo(persona, "FACOMONERIDEDUC") - reddito
                                - importo(persona, "FACOMCREDITOIMP");
    const Currency coefficiente = Currency::fromRaw(
        int64_t((__int128(numeratore.raw()) * Currency::Scale) / soglia.raw()));
    return TWunCalcolaAnno::ApplicaCoefficiente(teorica, coefficiente);
}

// The no-tax area of the adjustment into FCONGIMPDEDUZIONE1 (the base) and
// FCONGIMPDEDUZIONE2 (the additional area).
void noTaxAreaConguaglio(const DataSet &tabella, const DataSet &persona, DataSet &conguaglio)
{
    if (flag(persona, "LACOMDISABILTANTA"))
        return;
    Currency base;
    const Currency area = TWunCalcolaAnno::NoTaxArea(tabella, intero(conguaglio, "FCONGGIORNI"),
                                                     flag(persona, "LACOMDEDBASEPROP"), base);
    const Currency coefficiente = TWunCalcolaAnno::CoefficienteDeduzione(tabella, persona, area,
                                                                         importo(conguaglio, "FCONGREDDITOCOMP"));
    const Currency primo = TWunCalcolaAnno::ApplicaCoefficiente(base, coefficiente);
    Modifica m(conguaglio);
    impostaImporto(conguaglio, "FCONGIMPDEDUZIONE1", primo);
    impostaImporto(conguaglio, "FCONGIMPDEDUZIONE2", TWunCalcolaAnno::ApplicaCoefficiente(area, coefficiente) - primo);
}

} // namespace

void TWunCalcolaAnno2004::CalcolaDeduzioni(const DataSet &persona, DataSet &detrazioni, DataSet *liquidazione)
{
    if (flag(persona, "LACOMDISABILTANTA"))
        return;
    auto tabella = tabellaDeduzioni();
    DataSet nessuna;
    const Currency deduzione = deduzioneNoTaxArea(*tabella, persona, nessuna, liquidazione);
    Modifica m(detrazioni);
    impostaImporto(detrazioni, "FADETIMPDEDUZIONE1", deduzione);
}

void TWunCalcolaAnno2004::CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *, DataSet &,
                                            DataSet *, int)
{
    struct Scelta {
        const char *statement, *chiave, *condizione, *importo, *campo, *richiesta;
    };
    const Scelta scelte[] = {
        {"QRY_TDLA", "ITDLAID", " AND TDLA.ITDLAID=", "FTDLADETRAZIONE", "FADETIMPLAVDIP", "LADETLAVDIP"},
        {"QRY_TDCO", "ITDCOID", " AND TDCO.ITDCOID=", "FTDCODETRAZIONE", "FADETIMPCONCAR", "LADETCONCAR"},
        {"QRY_TDFA", "ITDFAID", " AND TDFA.ITDFAID=", "FTDFADETFIGLIO1", "FADETIMPFIGLICAR", nullptr},
    };
    const int paghe = NumeroMensilita(persona);
    if (paghe <= 0)
        throw ETovCalcola(TwunCalcola::MsgNumeroPaghe);
    Modifica m(detrazioni);
    for (const Scelta &s : scelte) {
        Currency annua;
        const platform::Field *id = detrazioni.findField(QLatin1String(s.chiave));
        if (id && !id->isNull() && (!s.richiesta || flag(detrazioni, s.richiesta))) {
            TUqQueryCollection tabella;
            TovQueryText().AssignCommand(QLatin1String(s.statement), tabella, QStringLiteral("SELECT"));
            tabella.SetSelectSQL(tabella.SelectSQL() + QLatin1String(s.condizione) + QString::number(id->asInteger()));
            if (platform::Param *anno = tabella.params().findParam(QStringLiteral("IANFID")))
                anno->setValue(wunAnnoFinanziario().Id());
            tabella.Open();
            tabella.first();
            if (!tabella.eof())
                annua = importo(tabella, s.importo);
        }
        impostaImporto(detrazioni, s.campo, arrotonda(annua / paghe));
    }
}

void TWunCalcolaAnno2004::CalcolaConguaglio(const DataSet &persona, DataSet &, SqlQuery &liquidazioni,
                                            DataSet &liquidazione, DataSet &conguaglio, DataSet &)
{
    TWunCalcolaAnno2007::TotaliConguaglio(liquidazioni, persona, liquidazione, conguaglio);
    noTaxAreaConguaglio(*tabellaDeduzioni(), persona, conguaglio);
}

Currency TWunCalcolaAnno2005::DetrazioneFamiliariTeorica(DataSet &detrazione, DataSet &tabella)
{
    const Currency data = importo(detrazione, "FADETDEDFAMILYTEO");
    if (!data.isZero())
        return data;
    const Currency coniuge = importo(tabella, "FTDEDCONIUGE");
    Currency totale = flag(detrazione, "LADETCONCAR") ? coniuge : Currency();
    const int figli = intero(detrazione, "IADETFIGLI");
    const int handicap = intero(detrazione, "IADETFIGLIHANDYCAP");
    const int piccoli = intero(detrazione, "IADETFIGLIMIN3");
    const int altriFigli = std::max(figli - handicap - piccoli, 0);
    Currency sulFigli = importo(tabella, "FTDEDFIGLIHC") * handicap + importo(tabella, "FTDEDFIGLIMIN3") * piccoli
                        + importo(tabella, "FTDEDFIGLIALTRI") * altriFigli;
    // Without the other parent the first child counts as a spouse when
    // that is more.
    if (figli > 0 && flag(detrazione, "LADETMANCAGENITORE")) {
        const Currency primo = flag(detrazione, "LADETFIGLIO1HANDY") ? importo(tabella, "FTDEDFIGLIHC")
                               : piccoli > 0                         ? importo(tabella, "FTDEDFIGLIMIN3")
                                                                     : importo(tabella, "FTDEDFIGLIALTRI");
        if (coniuge > primo)
            sulFigli += coniuge - primo;
    }
    totale += quota(sulFigli, importo(detrazione, "FADETPERCFIGLI"));
    totale += quota(importo(tabella, "FTDEDFIGLIALTRI") * intero(detrazione, "IADETALTRI"),
                    importo(detrazione, "FADETPERCALTRI"));
    return totale;
}

void TWunCalcolaAnno2005::CalcolaDeduzioni(const DataSet &persona, DataSet &detrazioni, DataSet *liquidazione)
{
    auto tabella = tabellaDeduzioni();
    DataSet nessuna;
    const Currency reddito = RedditoAnnuoPresunto(persona, nessuna);
    const Currency famiglia = deduzioneFamiglia(*tabella, persona, DetrazioneFamiliariTeorica(detrazioni, *tabella),
                                                reddito);
    const Currency area = flag(persona, "LACOMDISABILTANTA")
                              ? Currency()
                              : deduzioneNoTaxArea(*tabella, persona, nessuna, liquidazione);
    Modifica m(detrazioni);
    impostaImporto(detrazioni, "FADETDEDFAMILY", famiglia);
    impostaImporto(detrazioni, "FADETIMPDEDUZIONE1", famiglia + area);
}

void TWunCalcolaAnno2005::CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni,
                                            DataSet &liquidazione, DataSet &conguaglio, DataSet &)
{
    TWunCalcolaAnno2007::TotaliConguaglio(liquidazioni, persona, liquidazione, conguaglio);
    auto tabella = tabellaDeduzioni();
    noTaxAreaConguaglio(*tabella, persona, conguaglio);
    const Currency famiglia = deduzioneFamiglia(*tabella, persona, DetrazioneFamiliariTeorica(detrazioni, *tabella),
                                                importo(conguaglio, "FCONGREDDITOCOMP"));
    Modifica m(conguaglio);
    impostaImporto(conguaglio, "FCONGTAXFAMILY", famiglia);
}

// ================================================================ 2009: large families and rent

Currency TWunCalcolaAnno2009::DetrazioneFamiglieNumerose(const DataSet &detrazioni)
{
    return DetrazioneFamiglieNumeroseDivisa(detrazioni, 1);
}

Currency TWunCalcolaAnno2009::DetrazioneFamiglieNumeroseDivisa(const DataSet &detrazioni, int divisore)
{
    const Currency perc = importo(detrazioni, "FADETPERCFAMNUM");
    if (perc.isZero() || std::max(FigliACarico(), intero(detrazioni, "IADETFIGLI")) < 4)
        return Currency();
    if (!ApriFamiliari())
        return Currency();
    return arrotonda(TwunCalcola::Percentuale(importo(TabellaFamiliari(), "FTDFADETFAMNUM") / divisore, perc));
}

Currency TWunCalcolaAnno2022::DetrazioneFamiglieNumerose(const DataSet &detrazioni)
{
    // The single allowance replaces it from March: two months of the year.
    return DetrazioneFamiglieNumeroseDivisa(detrazioni, 6);
}

Currency TWunCalcolaAnno2009::DetrazioneCanone(const DataSet &detrazioni, Currency reddito)
{
    const int tipo = intero(detrazioni, "IADETTIPCANONE");
    if (tipo <= 0)
        return Currency();
    ApriTabella(m_tdca, QStringLiteral("QRY_TDCA"));
    m_tdca.setFilter(QStringLiteral("ITDCATIPO=") + QString::number(tipo));
    m_tdca.setFiltered(true);
    m_tdca.setIndexFieldNames(QStringLiteral("FTDCASCAGLIONEA"));
    for (m_tdca.first(); !m_tdca.eof(); m_tdca.next()) {
        if (importo(m_tdca, "FTDCASCAGLIONEA") <= reddito)
            continue;
        Currency d = arrotonda(
            TwunCalcola::Percentuale(importo(m_tdca, "FTDCADETRAZIONE"), importo(detrazioni, "FADETPERCCANONE")));
        const int giorni = intero(detrazioni, "IADETGGCANONE");
        if (giorni != 365)
            d = arrotonda(TwunCalcola::Proporzione(d, giorni, 365, QString()));
        return d;
    }
    return Currency();
}

void TWunCalcolaAnno2009::CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *conguaglio,
                                            DataSet &ritenute, DataSet *figli, int mese)
{
    TWunCalcolaAnno2008::CalcolaDetrazioni(persona, detrazioni, conguaglio, ritenute, figli, mese);
    if (!conguaglio)
        return;
    const Currency reddito = importo(*conguaglio, "FCONGREDDITOCOMP");
    const Currency famiglia = reddito > Currency() ? DetrazioneFamiglieNumerose(detrazioni) : Currency();
    const Currency canone = reddito > Currency() ? DetrazioneCanone(detrazioni, reddito) : Currency();
    Modifica m(*conguaglio);
    impostaImporto(*conguaglio, "FCONGDETFAMNUM", famiglia);
    impostaImporto(*conguaglio, "FCONGDETCANONE", canone);
    const int giorni = intero(detrazioni, "IADETGGCANONE");
    if (giorni > 0)
        conguaglio->fieldByName(QStringLiteral("ICONGGGCANONE")).setAsInteger(giorni);
}

// ================================================================ forms

namespace {

void proprieta(QObject *form, const char *nome, const char *proprieta, bool valore)
{
    QObject *controllo = form->findChild<QObject *>(QLatin1String(nome));
    ZEP_ASSERT(controllo, QStringLiteral("Controllo %1 mancante nella finestra delle detrazioni").arg(nome));
    controllo->setProperty(proprieta, valore);
}

} // namespace

void TWunCalcolaAnno2007::ImpostaFormDetrazioni(QObject *form, bool totali)
{
    for (const char *nome : {"Label1", "xdlTdla", "Label2", "xdlTdco", "Label3", "xdlTdfa"})
        proprieta(form, nome, "visible", false);
    proprieta(form, "gbTotali", "visible", totali);
}

void TWunCalcolaAnno2009::ImpostaFormDetrazioni(QObject *form, bool totali)
{
    TWunCalcolaAnno2008::ImpostaFormDetrazioni(form, totali);
    proprieta(form, "gbCanone", "enabled", true);
    proprieta(form, "paFamNum", "enabled", true);
}

// ================================================================ 2017: the collaborators' INPS rate

void TWunCalcolaAnno2017::RecuperaInpsCollaboratori(const DataSet &liquidazione, const DataSet &persona,
                                                    DataSet &ritenuta)
{
    // The INPS retentions (full and part time) take the INPS rate.
    const int rice = intero(ritenuta, "IRICEID");
    const int tipo = rice == TTovCalcola::RICE_COD_INPS_OI || rice == TTovCalcola::RICE_COD_INPS_PT ? 3 : rice;
    if (!flag(liquidazione, "LVARMRECUPEROINPS")
        || !ApplicaInpsAggiuntiva(persona, intero(liquidazione, "IMESID"), tipo))
        return;
    SqlQuery query;
    TovQueryText().AssignSQL(QStringLiteral("QRY_VARR_COLL_INPS_2017"), query, 0, QStringLiteral("EXECUTE"));
    query.bind(QStringLiteral("IACOMID"), intero(persona, "IACOMID"))
        .bind(QStringLiteral("IRICEID"), rice)
        .bind(QStringLiteral("TNO_COCOCO"), TwunCalcola::TNO_COLLABORATORE)
        .bind(QStringLiteral("ICOTID"), intero(liquidazione, "ICOTID"))
        .bind(QStringLiteral("IMESID"), intero(liquidazione, "IMESID"));
    query.open();
    DataSet precedenti;
    query.fetchInto(precedenti);
    query.close();
    // The earlier rows at the new rate, in memory only: their differences
    // are recovered in this liquidation.
    const Currency nuova = AliquotaInpsAggiuntiva() + importo(persona, "FACOMINPS");
    Currency dipendente, datore;
    for (precedenti.first(); !precedenti.eof(); precedenti.next()) {
        const Currency dip = importo(precedenti, "FVARRRITDIP");
        const Currency amm = importo(precedenti, "FVARRRITAMM");
        precedenti.edit();
        impostaImporto(precedenti, "FVARRALIQUOTAAMM", nuova);
        TTovCalcola::RipartisciRitenuta(precedenti, 0, importo(precedenti, "FVARRIMPONIBILEAMM"));
        dipendente += importo(precedenti, "FVARRRITDIP") - dip;
        datore += importo(precedenti, "FVARRRITAMM") - amm;
        precedenti.cancel();
    }
    if (dipendente <= Currency() || datore <= Currency())
        return;
    Modifica m(ritenuta);
    impostaImporto(ritenuta, "FVARRRITAMM", importo(ritenuta, "FVARRRITAMM") + datore);
    if (flag(persona, "LACOMCATTEDRA"))
        dipendente = Currency();
    impostaImporto(ritenuta, "FVARRRITDIP", importo(ritenuta, "FVARRRITDIP") + dipendente);
    impostaImporto(ritenuta, "FVARRRECUPERO", dipendente + datore);
}

void TWunCalcolaAnno2017::MostraControlliInps(int codice, const Value &valore, IWunCasella &prima, IWunCasella &seconda)
{
    if (codice != 14) {
        TWunCalcolaAnno2015::MostraControlliInps(codice, valore, prima, seconda);
        return;
    }
    seconda.Mostra(false);
    seconda.Abilita(false);
    seconda.Imposta(false);
    prima.Mostra(true);
    prima.Abilita(true);
    if (prima.StatoDati() == platform::DataSetState::Browse)
        prima.Imposta(InpsAggiuntivaNelMese(valore.toInt()));
}
