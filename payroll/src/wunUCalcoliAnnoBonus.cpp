// The rules of the year classes 2014 to 2022 of wunUCalcoliAnno: the income
// bonus of 2014 to June 2020 and the integrative payment of July 2020 on,
// in the month (written as the bonus item of the liquidation) and in the
// annual adjustment.
#include "wunUCalcoliAnno.h"

#include "WunCDaPagare66.h"
#include "wunUCalcoli.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <QDate>

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

namespace {

// An annual-adjustment liquidation.
constexpr int kRirpConguaglio = 2;

bool liquidazioneConguaglio(const DataSet &liquidazione)
{
    const platform::Field *rirp = liquidazione.findField(QStringLiteral("IVARMRIRPID"));
    return rirp && rirp->asInteger() == kRirpConguaglio;
}

bool collaboratore(const DataSet &persona)
{
    return intero(persona, "ITNOID") == TwunCalcola::TNO_COLLABORATORE;
}

Currency arrotonda(Currency importo)
{
    return TwunCalcola::Arrotonda(2, importo);
}

// importo x giorni / base, rounded, when the days are fewer than the base.
Currency proRata(Currency importo, int giorni, int base)
{
    if (giorni >= base)
        return importo;
    return arrotonda(
        TwunCalcola::Proporzione(importo, giorni, base, QStringLiteral("Giorni del periodo del bonus non indicati")));
}

QDate data(const DataSet &ds, const char *campo)
{
    const platform::Field &f = ds.fieldByName(QLatin1String(campo));
    return f.isNull() ? QDate() : f.asDate();
}

} // namespace

Currency TWunQuota::Applica(Currency importo) const
{
    return TwunCalcola::Proporzione(importo, numeratore, denominatore,
                                    QStringLiteral(
                                        "Paghe o giorni del periodo non indicati: impossibile ripartire l'importo"));
}

// ================================================================ 2014: the bonus

bool TWunCalcolaAnno2014::BonusAmmesso(const DataSet &persona)
{
    const int tipo = intero(persona, "ITNOID");
    return (tipo <= 8 || tipo == TwunCalcola::TNO_COLLABORATORE) && intero(persona, "IACOMBONUS66ECC") == 0;
}

Currency TWunCalcolaAnno2014::BonusDelReddito(Currency importo, Currency piena, Currency massima, Currency reddito)
{
    if (reddito >= massima)
        return Currency();
    if (reddito <= piena)
        return importo;
    // The bonus falls over the band between the two thresholds of the year.
    return arrotonda(
        TwunCalcola::Proporzione(importo, massima - reddito, massima - piena,
                                 QStringLiteral("Soglie del bonus coincidenti: impossibile calcolare il bonus")));
}

bool TWunCalcolaAnno2014::BonusGiaPagato(SqlQuery &query, const DataSet &liquidazione)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_VACR_GRUPPO"), query, 0, QStringLiteral("SELECT"));
    query.bind(QStringLiteral("IVARMID"), intero(liquidazione, "IVARMID"))
        .bind(QStringLiteral("ICOMRGRUPPO"), GruppoBonus);
    bool pagato = false;
    for (query.open(); !query.eof() && !pagato; query.next())
        pagato = query.value(QStringLiteral("FVACRLORDOINTERO")).toCurrency() > Currency();
    query.close();
    return pagato;
}

int TWunCalcolaAnno2014::GiorniLiquidazione(SqlQuery &query, const DataSet &liquidazione)
{
    return TwunCalcola::GiorniFiscaliNetti(query, QStringLiteral("VARM"), intero(liquidazione, "IMESID"),
                                           intero(liquidazione, "IVARMGIORNI"), intero(liquidazione, "IVARMID"));
}

Currency TWunCalcolaAnno2014::CapienzaMese(DataSet &righe, Currency detrazione)
{
    // The caller's current retention stays where it is.
    const auto segno = righe.bookmark();
    Currency imposta;
    for (righe.first(); !righe.eof(); righe.next()) {
        const int rice = intero(righe, "IRICEID");
        if (rice == TwunCalcola::RICE_COD_IRPEF || rice == 11)
            imposta += importo(righe, "FVARRRITDIP");
    }
    if (righe.bookmarkValid(segno))
        righe.gotoBookmark(segno);
    return imposta - detrazione;
}

void TWunCalcolaAnno2014::ScriviBonus(SqlQuery &query, const DataSet &liquidazione, const DataSet &persona,
                                      DataSet &voci, Currency bonus)
{
    if (intero(liquidazione, "IVARMID") > 0 && intero(liquidazione, "ICOSID") == TwunCalcola::COS_STIPENDIO)
        TwunCalcola::AggiornaLordoVoceRapporto(query, liquidazione, bonus);
    else
        TwunCalcola::ImpostaLordoVoce(query, persona, bonus, voci);
}

int TWunCalcolaAnno2014::PagheCollaboratore(const DataSet &persona, int pagate)
{
    const int contratto = intero(persona, "IACOMNUMPAGHE");
    if (contratto <= 0)
        throw ETovCalcola(TwunCalcola::MsgNumeroPaghe);
    return TWunDaPagare66::Conferma(persona, std::max(contratto - pagate, 1));
}

void TWunCalcolaAnno2014::GiorniBonus(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione,
                                      int &giorniBase, int &giorni)
{
    giorni = GiorniLiquidazione(query, liquidazione);
    const int tipo = intero(persona, "ITNOID");
    if (tipo >= 6 && tipo <= 8) {
        giorniBase = 365;
        // June pays May too, the first month of the bonus.
        if (intero(liquidazione, "IMESID") == 6)
            giorni += TwunCalcola::GiorniDmaMese(query, persona, 5);
    } else {
        // 1 June to 31 December 2014.
        giorniBase = 214;
    }
}

void TWunCalcolaAnno2015::GiorniBonus(SqlQuery &query, const DataSet &, const DataSet &liquidazione, int &giorniBase,
                                      int &giorni)
{
    giorniBase = 365;
    giorni = GiorniLiquidazione(query, liquidazione);
}

Currency TWunCalcolaAnno2014::CalcolaBonusIrpef(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio,
                                                DataSet &ritenute, DataSet &voci, DataSet &liquidazione,
                                                const DataSet &persona)
{
    if (BonusNonSpettanteNelMese(liquidazione) || !BonusAmmesso(persona)
        || (liquidazioneConguaglio(liquidazione) && !conguaglio))
        return Currency();
    Currency capienza;
    if (conguaglio) {
        capienza = importo(*conguaglio, "FCONGRITLORDA") - importo(*conguaglio, "FCONGIMPLAVDIP");
    } else {
        if (BonusGiaPagato(query, liquidazione))
            return Currency();
        capienza = CapienzaMese(ritenute, importo(detrazioni, "FADETIMPLAVDIP"));
    }
    if (capienza <= Currency())
        return Currency();
    const Currency reddito = conguaglio ? importo(*conguaglio, "FCONGREDDITOCOMP")
                                        : RedditoAnnuoPresunto(persona, ritenute);
    SetRedditoAnnuo(reddito);
    Currency bonus = BonusDelReddito(ImportoBonusAnnuo(), SogliaPienaBonus(), SogliaMassimaBonus(), reddito);
    if (bonus.isZero())
        return Currency();
    int giorniBase = 365;
    int giorni = 0;
    int divisore = 1;
    if (conguaglio) {
        giorni = intero(*conguaglio, "FCONGGIORNI");
    } else if (collaboratore(persona)) {
        giorni = TwunCalcola::DurataRapporto(persona);
        if (giorni <= 0)
            return Currency();
        divisore = PagheCollaboratore(persona, MensilitaGiaPagate(query, persona, liquidazione));
    } else {
        GiorniBonus(query, persona, liquidazione, giorniBase, giorni);
    }
    bonus = proRata(bonus, giorni, giorniBase);
    if (divisore > 1)
        bonus = arrotonda(bonus / divisore);
    if (!conguaglio)
        ScriviBonus(query, liquidazione, persona, voci, bonus);
    return bonus;
}

// ================================================================ 2020: the integrative payment

Currency TWunCalcolaAnno2020::CalcolaBonusMese(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio,
                                               DataSet &ritenute, DataSet &voci, DataSet &liquidazione,
                                               const DataSet &persona)
{
    if (const std::optional<Currency> fuori = BonusFuoriMese(persona, conguaglio, liquidazione))
        return *fuori;
    if (intero(liquidazione, "IMESID") < MeseInizioBonus())
        return arrotonda(CalcolaBonusIrpef(query, detrazioni, conguaglio, ritenute, voci, liquidazione, persona));
    return CalcolaTrattamentoIntegrativo(query, detrazioni, conguaglio, ritenute, voci, liquidazione, persona);
}

std::optional<Currency> TWunCalcolaAnno2020::BonusFuoriMese(const DataSet &persona, DataSet *conguaglio,
                                                            const DataSet &liquidazione)
{
    if (!BonusAmmesso(persona))
        return Currency();
    if (liquidazioneConguaglio(liquidazione))
        return conguaglio ? TrattamentoIntegrativoConguaglio(*conguaglio) : Currency();
    return std::nullopt;
}

Currency TWunCalcolaAnno2020::CalcolaTrattamentoIntegrativo(SqlQuery &query, DataSet &detrazioni, DataSet *,
                                                            DataSet &ritenute, DataSet &voci, DataSet &liquidazione,
                                                            const DataSet &persona)
{
    return TrattamentoIntegrativoMese(query, detrazioni, ritenute, voci, liquidazione, persona, true,
                                      SogliaTrattamentoIntegrativo(), false);
}

Currency TWunCalcolaAnno2020::TrattamentoIntegrativoMese(SqlQuery &query, DataSet &detrazioni, DataSet &ritenute,
                                                         DataSet &voci, DataSet &liquidazione, const DataSet &persona,
                                                         bool sottraiPagate, Currency soglia, bool escludiAggiuntiva)
{
    if (!BonusAmmesso(persona) || BonusGiaPagato(query, liquidazione))
        return Currency();
    const bool collab = collaboratore(persona);
    const int giorniLiquidazione = collab ? intero(liquidazione, "IVARMGIORNI")
                                          : GiorniLiquidazione(query, liquidazione);
    Currency detrazione = importo(detrazioni, "FADETIMPLAVDIP");
    if (escludiAggiuntiva)
        detrazione -= DetrazioneAggiuntivaLavDip(giorniLiquidazione);
    if (CapienzaMese(ritenute, detrazione) <= Currency())
        return Currency();
    const Currency reddito = RedditoAnnuoPresunto(persona, ritenute);
    SetRedditoAnnuo(reddito);
    if (reddito > soglia)
        return Currency();
    Currency trattamento = ImportoTrattamentoIntegrativo();
    int giorni = giorniLiquidazione;
    int divisore = 1;
    if (collab) {
        giorni = GiorniTrattamentoIntegrativo(persona);
        if (giorni <= 0)
            return Currency();
        divisore = PagheCollaboratore(persona, sottraiPagate ? CollaborazioniPagate(query, persona) : 0);
    }
    trattamento = proRata(trattamento, giorni, GiorniPeriodoBonus());
    if (divisore > 1)
        trattamento = arrotonda(trattamento / divisore);
    ScriviBonus(query, liquidazione, persona, voci, trattamento);
    return trattamento;
}

int TWunCalcolaAnno2020::GiorniTrattamentoIntegrativo(const DataSet &persona)
{
    QDate dal(2020, MeseInizioBonus(), 1);
    QDate al(2020, 12, 31);
    const QDate inizio = data(persona, "DACOMINIRAPP");
    const QDate fine = data(persona, "DACOMFINERAPP");
    if (inizio.isValid() && inizio > dal)
        dal = inizio;
    if (fine.isValid() && fine < al)
        al = fine;
    return al < dal ? 0 : int(dal.daysTo(al)) + 1;
}

int TWunCalcolaAnno2020::CollaborazioniPagate(SqlQuery &query, const DataSet &persona)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_COLL_PAGATE_NO_NBI"), query);
    query.bind(QStringLiteral("IACOMID"), intero(persona, "IACOMID"))
        .bind(QStringLiteral("ICOSID"), TwunCalcola::COS_COLLABORAZIONE)
        .bind(QStringLiteral("IMESID"), MeseInizioBonus());
    query.open();
    const int pagate = query.eof() ? 0 : query.value(QStringLiteral("PAGATE")).toInt();
    query.close();
    return pagate;
}

TWunQuota TWunCalcolaAnno2020::RateTrattamentoIntegrativo(SqlQuery &query, const DataSet &persona,
                                                          const DataSet &liquidazione)
{
    return QuotaTrattamentoIntegrativo(query, persona, liquidazione, true);
}

TWunQuota TWunCalcolaAnno2020::QuotaTrattamentoIntegrativo(SqlQuery &query, const DataSet &persona,
                                                           const DataSet &liquidazione, bool sottraiPagate)
{
    if (!collaboratore(persona))
        return {GiorniLiquidazione(query, liquidazione), GiorniPeriodoBonus()};
    const int giorni = GiorniTrattamentoIntegrativo(persona);
    if (giorni <= 0)
        return {};
    const int paghe = PagheCollaboratore(persona, sottraiPagate ? CollaborazioniPagate(query, persona) : 0);
    return {giorni, qint64(paghe) * GiorniPeriodoBonus()};
}

Currency TWunCalcolaAnno2020::CapienzaConguaglio(const DataSet &conguaglio, bool escludiAggiuntiva) const
{
    Currency detrazione = importo(conguaglio, "FCONGIMPLAVDIP");
    if (escludiAggiuntiva)
        detrazione -= DetrazioneAggiuntivaLavDip(intero(conguaglio, "FCONGGIORNI"));
    return importo(conguaglio, "FCONGRITLORDA") - detrazione;
}

std::optional<Currency> TWunCalcolaAnno2020::RedditoConguaglio(const DataSet &conguaglio, bool escludiAggiuntiva)
{
    if (CapienzaConguaglio(conguaglio, escludiAggiuntiva) <= Currency())
        return std::nullopt;
    const Currency reddito = importo(conguaglio, "FCONGREDDITOCOMP");
    SetRedditoAnnuo(reddito);
    return reddito;
}

Currency TWunCalcolaAnno2020::TrattamentoIntegrativoConguaglio(const DataSet &conguaglio)
{
    const std::optional<Currency> redditoConguaglio = RedditoConguaglio(conguaglio, false);
    if (!redditoConguaglio)
        return Currency();
    const Currency reddito = *redditoConguaglio;
    // The bonus of January to June: half the year's amount on the bonus
    // thresholds, for the days of those months.
    Currency bonus;
    const int giorniPrimaParte = intero(conguaglio, "FCONGGIORNI") - intero(conguaglio, "ICONGGIORNI_PART");
    if (giorniPrimaParte > 0) {
        bonus = BonusDelReddito(ImportoBonusAnnuo() / 2, SogliaPienaBonus(), SogliaMassimaBonus(), reddito);
        const int primaParte = int(QDate(2020, 1, 1).daysTo(QDate(2020, MeseInizioBonus(), 1)));
        bonus = proRata(bonus, giorniPrimaParte, primaParte);
    }
    return bonus + TrattamentoIntegrativoAnnuo(conguaglio, intero(conguaglio, "ICONGGIORNI_PART"), reddito, Currency());
}

Currency TWunCalcolaAnno2020::TrattamentoIntegrativoAnnuo(const DataSet &, int giorni, Currency reddito, Currency)
{
    if (reddito > SogliaTrattamentoIntegrativo() || giorni <= 0)
        return Currency();
    return proRata(ImportoTrattamentoIntegrativo(), giorni, GiorniPeriodoBonus());
}

// ================================================================ 2021

Currency TWunCalcolaAnno2021::CalcolaBonusMese(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio,
                                               DataSet &ritenute, DataSet &voci, DataSet &liquidazione,
                                               const DataSet &persona)
{
    if (const std::optional<Currency> fuori = BonusFuoriMese(persona, conguaglio, liquidazione))
        return *fuori;
    return CalcolaTrattamentoIntegrativo(query, detrazioni, conguaglio, ritenute, voci, liquidazione, persona);
}

Currency TWunCalcolaAnno2021::CalcolaTrattamentoIntegrativo(SqlQuery &query, DataSet &detrazioni, DataSet *,
                                                            DataSet &ritenute, DataSet &voci, DataSet &liquidazione,
                                                            const DataSet &persona)
{
    // The payment runs all year: no payment of the contract was made before
    // its period.
    return TrattamentoIntegrativoMese(query, detrazioni, ritenute, voci, liquidazione, persona, false,
                                      SogliaRedditoTrattamento(), true);
}

int TWunCalcolaAnno2021::GiorniTrattamentoIntegrativo(const DataSet &persona)
{
    return TwunCalcola::DurataRapporto(persona);
}

TWunQuota TWunCalcolaAnno2021::RateTrattamentoIntegrativo(SqlQuery &query, const DataSet &persona,
                                                          const DataSet &liquidazione)
{
    return QuotaTrattamentoIntegrativo(query, persona, liquidazione, false);
}

Currency TWunCalcolaAnno2021::TrattamentoIntegrativoConguaglio(const DataSet &conguaglio)
{
    const std::optional<Currency> reddito = RedditoConguaglio(conguaglio, false);
    if (!reddito)
        return Currency();
    return TrattamentoIntegrativoAnnuo(conguaglio, intero(conguaglio, "FCONGGIORNI"), *reddito, Currency());
}

// ================================================================ 2022

Currency TWunCalcolaAnno2022::TrattamentoIntegrativoConguaglio(const DataSet &conguaglio)
{
    const std::optional<Currency> reddito = RedditoConguaglio(conguaglio, true);
    if (!reddito)
        return Currency();
    const Currency netta = importo(conguaglio, "FCONGRITLORDA") - importo(conguaglio, "FCONGIMPLAVDIP")
                           - importo(conguaglio, "FCONGIMPCONCAR") - importo(conguaglio, "FCONGIMPFIGLICAR")
                           - importo(conguaglio, "FCONGIMPALTRICAR");
    return TrattamentoIntegrativoAnnuo(conguaglio, intero(conguaglio, "FCONGGIORNI"), *reddito, netta);
}

Currency TWunCalcolaAnno2022::TrattamentoIntegrativoAnnuo(const DataSet &, int giorni, Currency reddito,
                                                          Currency impostaNetta)
{
    if (reddito > SogliaMassimaTrattamento() || giorni <= 0)
        return Currency();
    Currency trattamento = ImportoTrattamentoIntegrativo();
    // Between the thresholds only the deductions the tax cannot take.
    if (reddito > SogliaPienaTrattamento())
        trattamento = impostaNetta > Currency() ? Currency() : std::min(-impostaNetta, trattamento);
    return proRata(trattamento, giorni, GiorniPeriodoBonus());
}
