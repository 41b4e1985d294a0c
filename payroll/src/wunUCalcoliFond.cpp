#include "wunUCalcoliFond.h"

#include "WunMOreEccedenti.h"
#include "WunUUtil.h"
#include "wunMFpcCalcola.h"
#include "wunUCalcoliAnno.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Format.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"
#include "tovCQueryText.h"

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

TdmWunFpcCalcola *TwunCalcolaFond::ModuloFondoPensione = nullptr;
std::function<void(const TWunOreNonCattedra &)> TwunCalcolaFond::OnOreNonCattedra;

Currency TRapporto::Applica(Currency valore) const
{
    return Currency::fromRaw(int64_t(platform::roundedQuotient(__int128(valore.raw()) * num, den)));
}

using namespace wuncampi;

namespace {

using i128 = __int128;

Currency centesimi(Currency valore)
{
    return TwunCalcola::Arrotonda(2, valore);
}

// A computed hours column of the period (0 when the period has none).
Currency oreCalcolate(const DataSet &periodo, const char *campo)
{
    const platform::Field *f = periodo.findField(QLatin1String(campo));
    return f ? f->asCurrency() : Currency();
}

// The effective minutes: ORARIO_EFF, or the service minutes of a period
// without it.
Currency orarioEffettivo(const DataSet &periodo)
{
    if (const platform::Field *f = periodo.findField(QStringLiteral("ORARIO_EFF")))
        return f->asCurrency();
    return Currency::fromInt(intero(periodo, "IVAPEORESERVIZIO"));
}

int giorniPeriodo(const DataSet &periodo)
{
    return intero(periodo, "IVAPEGIORNI");
}

QString msgGiorni()
{
    return QStringLiteral("Giorni del periodo (IVAPEGIORNI) non indicati: impossibile proporzionare gli importi");
}

QString msgOrePreviste()
{
    return QStringLiteral("Ore previste del periodo (IVAPEOREPREVISTE) non indicate: impossibile proporzionare "
                          "gli importi all'orario");
}

// The names of the n-th pair of a period's reduction columns, made once: a
// period's reductions are read several times for every voice of every
// period.
std::pair<QString, QString> nomiRiduzione(int n)
{
    static const QList<std::pair<QString, QString>> primi = [] {
        QList<std::pair<QString, QString>> nomi;
        for (int i = 1; i <= 99; ++i) {
            const QString numero = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
            nomi.append({QStringLiteral("ITACOID") + numero, QStringLiteral("IVARDGIORNIORE") + numero});
        }
        return nomi;
    }();
    if (n <= primi.size())
        return primi.at(n - 1);
    return {QStringLiteral("ITACOID%1").arg(n), QStringLiteral("IVARDGIORNIORE%1").arg(n)};
}

// Hands the numbered column pairs of a period's reductions (ITACOIDnn,
// IVARDGIORNIOREnn: 01, 02, ... until a column of the pair is missing) to
// `visita`, until it answers false.
template <class F>
void colonneRiduzioni(const DataSet &periodo, F visita)
{
    for (int n = 1;; ++n) {
        const auto [nomeId, nomeGiorni] = nomiRiduzione(n);
        platform::Field *id = periodo.findField(nomeId);
        platform::Field *giorni = periodo.findField(nomeGiorni);
        if (!id || !giorni || !visita(*id, *giorni))
            return;
    }
}

// The reductions of a period: (id, days) of every pair with an id.
QList<std::pair<int, int>> riduzioniPeriodo(const DataSet &periodo)
{
    QList<std::pair<int, int>> elenco;
    colonneRiduzioni(periodo, [&](const platform::Field &id, const platform::Field &giorni) {
        if (id.asInteger() != 0)
            elenco.append({id.asInteger(), giorni.asInteger()});
        return true;
    });
    return elenco;
}

// The reduction kind's row of the reduction (an unknown reduction is a
// data error).
DataSet &tipoRiduzione(const TwunCalcolaFond::TTabelle &tabelle, int riduzione)
{
    if (!tabelle.riduzioni || !tabelle.riduzioni->locate(QStringLiteral("ITACOID"), Value(riduzione)))
        throw ETovCalcola(platform::format(
            QStringLiteral("Riduzione %d del periodo non presente nella tabella dei tipi di riduzione"), riduzione));
    return *tabelle.riduzioni;
}

// The CCNL amount of an item and qualification; false when the table has
// no row for them (the table then stands on the row when there is one).
bool importoCcnl(DataSet &ccnl, int voce, int qualifica, Currency &valore)
{
    if (!ccnl.locate(QStringLiteral("ICOMRID;IQARID"), platform::ValueList{Value(voce), Value(qualifica)}))
        return false;
    valore = importo(ccnl, "FCCNLIMPORTO");
    return true;
}

DataSet &tabellaCcnl(const TwunCalcolaFond::TTabelle &tabelle)
{
    ZEP_ASSERT(tabelle.ccnl, QStringLiteral("Importi CCNL non forniti al calcolo delle voci fondamentali"));
    return *tabelle.ccnl;
}

// Walks the rows of a dataset, each in edit and posted after `corpo`.
template <class F>
void perOgniRiga(DataSet &ds, F corpo)
{
    for (ds.first(); !ds.eof(); ds.next()) {
        ds.edit();
        corpo();
        ds.post();
    }
}

// The retention a rule row is kept under: part time as full time, the
// fund's additional contribution as the fund's.
int riceDiRiferimento(int rice)
{
    if (rice == TTovCalcola::RICE_COD_INPS_PT)
        return TTovCalcola::RICE_COD_INPS_OI;
    if (rice == 15)
        return 14;
    return rice;
}

void azzeraRitenuta(DataSet &ritenuta)
{
    for (const char *campo :
         {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM", "FVARRPERCIMPDIP", "FVARRPERCIMPAMM"})
        impostaImporto(ritenuta, campo, Currency());
}

bool voceFondamentale(const DataSet &voci)
{
    const int voce = intero(voci, "ICOMRID");
    return intero(voci, "ICOMRGRUPPO") == 1 && voce != TwunCalcolaFond::COMR_ESCLUSA_1
           && voce != TwunCalcolaFond::COMR_ESCLUSA_2;
}

} // namespace

// ================================================================ effective hours

Currency TwunCalcolaFond::OrarioAnnuo(qint64 minutiSettimanali, int giorni)
{
    // hours x 52 x days / 360 with hours = minutes / 60.
    return Centesimi(Currency::fromInt(minutiSettimanali * 52 * giorni), 60 * 360);
}

Currency TwunCalcolaFond::OrarioEffettivoDaCoefficiente(const DataSet &periodo)
{
    const Currency coefficiente = oreCalcolate(periodo, "COEFF_ORESERV");
    if (coefficiente <= Currency())
        return orarioEffettivo(periodo);
    if (oreCalcolate(periodo, "OREECCNC_EFF") > Currency())
        return Currency::fromInt(qint64(intero(periodo, "IVAPEOREPREVISTE")) * 60);
    // The yearly hours back to weekly minutes of the period.
    return Proporzione(coefficiente, 30 * 12 * 60, qint64(giorniPeriodo(periodo)) * 52, msgGiorni());
}

void TwunCalcolaFond::CalcolaOrarioEffettivo(DataSet &periodo, bool dialogo, bool arrotonda)
{
    if (!periodo.findField(QStringLiteral("COEFF_ORESERV")))
        return;
    const int servizio = intero(periodo, "IVAPEORESERVIZIO");
    impostaImporto(periodo, "ORARIO_EFF", Currency::fromInt(servizio));
    impostaImporto(periodo, "COEFF_ORESERV", Currency());
    impostaImporto(periodo, "OREECCNC_EFF", Currency());
    const int sostituzione = intero(periodo, "IVAPEOREECCNC");
    if (sostituzione == 0)
        return;
    const int previste = intero(periodo, "IVAPEOREPREVISTE");
    const int giorni = giorniPeriodo(periodo);
    const qint64 minutiOre = intero(periodo, "LVAPECATTEDRA") == 1 ? qint64(previste) * 60 : servizio;
    TWunOreNonCattedra v;
    v.Giorni = giorni;
    v.Ore = Currency::fromInt(minutiOre) / 60;
    v.OrarioIntero = OrarioAnnuo(qint64(previste) * 60, giorni);
    v.OrarioRapporto = OrarioAnnuo(minutiOre, giorni);
    v.OreSostituzione = Centesimi(Currency::fromInt(sostituzione), 60);
    v.Totale = v.OrarioRapporto + v.OreSostituzione;
    impostaImporto(periodo, "COEFF_ORESERV", v.Totale);
    if (v.OrarioIntero < v.Totale) {
        v.OreEccedenti = v.Totale - v.OrarioIntero;
        impostaImporto(periodo, "OREECCNC_EFF", v.OreEccedenti);
    }
    Currency effettivo = OrarioEffettivoDaCoefficiente(periodo);
    if (arrotonda)
        effettivo = ArrotondaPari(0, effettivo);
    impostaImporto(periodo, "ORARIO_EFF", effettivo);
    if (dialogo && OnOreNonCattedra)
        OnOreNonCattedra(v);
}

// ================================================================ amounts of a period

Currency TwunCalcolaFond::ImportoPeriodo(const DataSet &periodo, const DataSet &voce, const DataSet *compenso,
                                         const TTabelle &tabelle)
{
    DataSet &ccnl = tabellaCcnl(tabelle);
    const int voceId = intero(voce, "ICOMRID");
    const int qualifica = intero(periodo, "IQARID");
    const int previste = intero(periodo, "IVAPEOREPREVISTE");
    bool scala = true;
    Currency valore;
    // The amount for the hours actually worked.
    auto proporzioneOre = [&](int aiuto) {
        if (OrarioRidottoAsti(periodo, QStringLiteral("VAPE"), previste, aiuto))
            valore = Proporzione(valore, orarioEffettivo(periodo), Currency::fromInt(qint64(previste) * 60),
                                 msgOrePreviste());
    };
    if (importoCcnl(ccnl, voceId, qualifica, valore)) {
        const int aiuto = intero(ccnl, "ICOMRAIUTOID");
        if (aiuto == 1) {
            valore = centesimi(valore / 12);
        } else if (voceId == COMR_IVC) {
            const bool anticipata = compenso && intero(*compenso, "LACOMANTICIPOIVC") != 0;
            valore = !compenso || anticipata ? Currency() : ImportoCcnl(ccnl, qualifica, false, COMR_IVC);
        } else if (voceId == COMR_PEREQUATIVO) {
            valore = ImportoCcnl(ccnl, qualifica, false, COMR_PEREQUATIVO);
        }
        proporzioneOre(aiuto);
    } else if (voceId == COMR_AGGIUNTIVO) {
        valore = WunCalcolaAnno().ImportoAggiuntivoCCNL(ccnl, qualifica);
        proporzioneOre(8);
    } else if (intero(voce, "ICOMRAIUTOID") == 2) {
        valore = ImportoOreEccedenti(voceId, periodo, ccnl);
        scala = voceId != COMR_ORE_ECCEDENTI;
    } else {
        valore = Currency();
        if (tabelle.importiMensili && tabelle.importiMensili->locate(QStringLiteral("ICOMRID"), Value(voceId)))
            valore = importo(*tabelle.importiMensili, "FASTRIMPORTO");
        if (valore.isZero()) {
            valore = importo(voce, "FVACRLORDOINTERO");
            scala = false;
        }
    }
    const int giorni = giorniPeriodo(periodo);
    if (scala && giorni != 30)
        return centesimi(Proporzione(valore, giorni, 30, msgGiorni()));
    return centesimi(valore);
}

Currency TwunCalcolaFond::ImportoOreEccedenti(int voce, const DataSet &periodo, DataSet &ccnl)
{
    const int minuti = intero(periodo, "IVAPEOREECCEDENTI");
    const Currency ore = oreCalcolate(periodo, "OREECCNC_EFF");
    if (voce == COMR_STRAORDINARIO ? minuti <= 0 : ore <= Currency())
        return Currency();
    const int qualifica = intero(periodo, "IQARID");
    Currency base, extra, valore;
    if (importoCcnl(ccnl, COMR_STIPENDIO, qualifica, valore))
        base += centesimi(valore / 12);
    for (int voceCcnl : {COMR_PEREQUATIVO, COMR_FUNZIONE, COMR_PROFESSIONALE, COMR_IVC}) {
        if (!importoCcnl(ccnl, voceCcnl, qualifica, valore))
            continue;
        base += (voceCcnl == COMR_PEREQUATIVO || voceCcnl == COMR_IVC) ? ImportoCcnl(ccnl, qualifica, false, voceCcnl)
                                                                       : valore;
    }
    if (importoCcnl(ccnl, COMR_CCNL_2, qualifica, valore))
        extra = centesimi(valore / 12);
    ZEP_ASSERT(dmWunOreEccedenti, QStringLiteral("Modulo delle ore eccedenti non creato"));
    const Currency tariffa = dmWunOreEccedenti->TariffaOraria(voce, extra, base);
    if (voce == COMR_STRAORDINARIO)
        return ImportoOreMinuti(minuti, tariffa);
    return centesimi(ore * tariffa);
}

Currency TwunCalcolaFond::ImportoVocePeriodo(const DataSet &periodo, const DataSet &voce, const DataSet &voci,
                                             const DataSet *compenso, const TTabelle &tabelle)
{
    const int voceId = intero(voce, "ICOMRID");
    const bool maternita = GiorniRiduzione(periodo, TACO_MATERNITA) > 0;
    if (!maternita)
        return VoceParticolare(voce) ? Currency() : ImportoPeriodo(periodo, voce, compenso, tabelle);
    if (voceId == COMR_STIPENDIO || voceId == COMR_CCNL_2)
        return Currency();
    if (!VoceParticolare(voce))
        return ImportoPeriodo(periodo, voce, compenso, tabelle);
    // On maternity days 10021 and 10034 take the amounts of 10001 and 10002.
    const int originale = voceId == COMR_STIPENDIO_RID ? COMR_STIPENDIO : COMR_CCNL_2;
    DataSet copia;
    copia.assignData(voci);
    if (!copia.locate(QStringLiteral("ICOMRID"), Value(originale)))
        throw ETovCalcola(platform::format(
            QStringLiteral("Voce %d mancante tra le voci della liquidazione: impossibile calcolare la voce %d"),
            originale, voceId));
    return ImportoPeriodo(periodo, copia, nullptr, tabelle);
}

// ================================================================ the month's items

void TwunCalcolaFond::AzzeraImponibili(DataSet &ritenute)
{
    perOgniRiga(ritenute, [&] {
        for (const char *campo : {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM"})
            impostaImporto(ritenute, campo, Currency());
    });
}

void TwunCalcolaFond::AggiungiImponibile(DataSet &ritenute, Currency valore)
{
    perOgniRiga(ritenute, [&] {
        for (const char *campo : {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM"})
            impostaImporto(ritenute, campo, importo(ritenute, campo) + valore);
    });
}

void TwunCalcolaFond::CalcolaVociFondamentali(DataSet &periodi, DataSet &voci, const DataSet *compenso,
                                              Currency &totaleRiduzioniTipo1, DataSet &ritenute,
                                              const TTabelle &tabelle)
{
    for (voci.first(); !voci.eof(); voci.next()) {
        if (!voceFondamentale(voci))
            continue;
        const QString filtro = ritenute.filter();
        const bool filtrato = ritenute.filtered();
        // The item's withholding rows only, whatever happens.
        struct Ripristino {
            DataSet &ds;
            QString filtro;
            bool filtrato;
            ~Ripristino()
            {
                ds.setFiltered(false);
                ds.setFilter(filtro);
                ds.setFiltered(filtrato);
            }
        } ripristino{ritenute, filtro, filtrato};
        FiltraVoce(ritenute, intero(voci, "ICOMRID"));
        AzzeraImponibili(ritenute);
        if (intero(voci, "ICOMRAIUTOID") == 7 && compenso && intero(*compenso, "ITNOID") != 8)
            CalcolaVocePerQualifica(periodi, voci, compenso, ritenute, tabelle);
        else
            CalcolaVocePerPeriodi(periodi, voci, compenso, totaleRiduzioniTipo1, ritenute, tabelle);
    }
}

void TwunCalcolaFond::CalcolaVocePerPeriodi(DataSet &periodi, DataSet &voci, const DataSet *compenso,
                                            Currency &totaleRiduzioniTipo1, DataSet &ritenute, const TTabelle &tabelle)
{
    const int voceId = intero(voci, "ICOMRID");
    const bool soggetta = intero(voci, "LVACRASSOGGETTATO") == 1;
    Currency pieno, ridotto;
    for (periodi.first(); !periodi.eof(); periodi.next()) {
        // The family allowance is paid once, in its first period.
        Currency valore = voceId == COMR_ANF && pieno > Currency()
                              ? Currency()
                              : ImportoVocePeriodo(periodi, voci, voci, compenso, tabelle);
        pieno += valore;
        if (soggetta)
            AggiungiImponibile(ritenute, valore);
        if (valore > Currency()) {
            int giorniTipo1 = 0;
            const TRapporto fattore = CoefficienteRiduzioni(periodi, voceId, giorniTipo1, ritenute, tabelle);
            if (giorniTipo1 > 0)
                totaleRiduzioniTipo1 += centesimi(
                    Proporzione(valore, giorniTipo1, giorniPeriodo(periodi), msgGiorni()));
            if (!fattore.Unitario())
                valore = centesimi(fattore.Applica(valore));
        }
        ridotto += valore;
    }
    if (!importo(voci, "FVACRLORDO").isZero() || !ridotto.isZero()) {
        voci.edit();
        impostaImporto(voci, "FVACRLORDO", ridotto);
        impostaImporto(voci, "FVACRLORDOINTERO", pieno);
        voci.post();
    }
}

void TwunCalcolaFond::CalcolaVocePerQualifica(DataSet &periodi, DataSet &voci, const DataSet *, DataSet &ritenute,
                                              const TTabelle &tabelle)
{
    const int voceId = intero(voci, "ICOMRID");
    const int aiuto = intero(voci, "ICOMRAIUTOID");
    const Currency nessuna = Currency::fromInt(1);
    QList<TPeriodo> quote;
    int giorniTotali = 0;
    for (periodi.first(); !periodi.eof(); periodi.next()) {
        if (GiorniRiduzione(periodi, TACO_MATERNITA) > 0)
            continue;
        const Currency percentuale = PercentualeRiduzione(periodi, voceId, tabelle);
        if (percentuale.isZero())
            continue;
        TPeriodo p;
        p.IQARID = intero(periodi, "IQARID");
        p.Percentuale = percentuale;
        p.Giorni = giorniPeriodo(periodi);
        const int previste = intero(periodi, "IVAPEOREPREVISTE");
        if (OrarioRidottoAsti(periodi, QStringLiteral("VAPE"), previste, aiuto)) {
            if (previste == 0)
                throw ETovCalcola(msgOrePreviste());
            p.RapportoOre = TRapporto{orarioEffettivo(periodi).raw(), i128(previste) * 60 * Currency::Scale};
            if (TRapporto{1, 1} < p.RapportoOre)
                p.RapportoOre = TRapporto{1, 1};
        }
        if (quote.size() == 1 && quote.front().IQARID == p.IQARID && quote.front().RapportoOre == p.RapportoOre
            && quote.front().Percentuale == p.Percentuale)
            quote.front().Giorni += p.Giorni;
        else
            quote.append(p);
        giorniTotali += p.Giorni;
    }
    Currency somma;
    if (giorniTotali > 15) {
        const bool soggetta = intero(voci, "LVACRASSOGGETTATO") == 1;
        for (const TPeriodo &p : quote) {
            Currency valore;
            if (!importoCcnl(tabellaCcnl(tabelle), voceId, p.IQARID, valore) || valore <= Currency())
                continue;
            if (!p.RapportoOre.Unitario())
                valore = centesimi(p.RapportoOre.Applica(valore));
            if (p.Giorni != giorniTotali)
                valore = centesimi(Proporzione(valore, p.Giorni, giorniTotali, msgGiorni()));
            if (p.Percentuale != nessuna)
                valore = Percentuale(valore, p.Percentuale);
            if (soggetta)
                AggiungiImponibile(ritenute, valore);
            somma += valore;
        }
    }
    if (!somma.isZero() || !importo(voci, "FVACRLORDO").isZero()) {
        voci.edit();
        impostaImporto(voci, "FVACRLORDO", somma);
        impostaImporto(voci, "FVACRLORDOINTERO", somma);
        voci.post();
    }
}

// ================================================================ reductions

int TwunCalcolaFond::GiorniRiduzione(const DataSet &periodo, int riduzione)
{
    for (const auto &[id, giorni] : riduzioniPeriodo(periodo))
        if (id == riduzione)
            return giorni;
    return 0;
}

platform::Field *TwunCalcolaFond::CampoGiorniRiduzione5(const DataSet &periodo)
{
    platform::Field *trovato = nullptr;
    colonneRiduzioni(periodo, [&](const platform::Field &id, platform::Field &giorni) {
        if (id.asInteger() == TACO_MATERNITA)
            trovato = &giorni;
        return !trovato;
    });
    return trovato;
}

bool TwunCalcolaFond::RiduzioneApplicata(int voce, int riduzione, const TTabelle &tabelle)
{
    if (!tabelle.riduzioniVoci
        || !tabelle.riduzioniVoci->locate(QStringLiteral("ICOMRID;ITACOID"),
                                          platform::ValueList{Value(voce), Value(riduzione)}))
        return true;
    const platform::Field &applicata = tabelle.riduzioniVoci->fieldByName(QStringLiteral("LTACOCOMRAPPLICATA"));
    return applicata.isNull() || applicata.asInteger() == 1;
}

Currency TwunCalcolaFond::PercentualeRiduzione(const DataSet &periodo, int voce, const TTabelle &tabelle)
{
    for (const auto &[id, giorni] : riduzioniPeriodo(periodo)) {
        if (giorni <= 0 || !RiduzioneApplicata(voce, id, tabelle))
            continue;
        const DataSet &tipo = tipoRiduzione(tabelle, id);
        const int calcolo = intero(tipo, "ITACOTIPOCALCOLO");
        if (calcolo == 2)
            continue;
        if (calcolo == 1)
            return Currency();
        return importo(tipo, "FTACOPERCSTIPENDIO");
    }
    return Currency::fromInt(1);
}

TRapporto TwunCalcolaFond::CoefficienteRiduzioni(const DataSet &periodo, int voce, int &giorniTipo1, DataSet &ritenute,
                                                 const TTabelle &tabelle)
{
    giorniTipo1 = 0;
    i128 contati = 0;
    i128 pagati = 0; // days x paid per cent, scaled by 10^4
    for (const auto &[id, giorni] : riduzioniPeriodo(periodo)) {
        if (giorni <= 0 || !RiduzioneApplicata(voce, id, tabelle))
            continue;
        DataSet &tipo = tipoRiduzione(tabelle, id);
        const int calcolo = intero(tipo, "ITACOTIPOCALCOLO");
        if (calcolo == 2)
            continue;
        if (calcolo == 1) {
            giorniTipo1 = giorni;
        } else {
            contati += giorni;
            pagati += i128(giorni) * importo(tipo, "FTACOPERCSTIPENDIO").raw();
        }
        if (tabelle.riduzioniRitenute)
            RiduciImponibiliRiduzione(periodo, *tabelle.riduzioniRitenute, giorni, id, tipo, ritenute);
    }
    if (contati == 0)
        return TRapporto{};
    const int giorniMese = giorniPeriodo(periodo);
    if (giorniMese == 0)
        throw ETovCalcola(msgGiorni());
    // (days - reduced days + reduced days x paid per cent / 100) / days
    const i128 scala = i128(100) * Currency::Scale;
    return TRapporto{(giorniMese - contati) * scala + pagati, i128(giorniMese) * scala};
}

void TwunCalcolaFond::RiduciImponibiliRiduzione(const DataSet &periodo, DataSet &regole, int giorni, int riduzione,
                                                const DataSet &tipoRiduzione, DataSet &ritenute)
{
    const int giorniMese = giorniPeriodo(periodo);
    if (giorniMese == 0)
        throw ETovCalcola(msgGiorni());
    // The unpaid share of the reduction (100 - paid per cent), scaled by 10^4.
    const i128 nonPagato = i128(100) * Currency::Scale - importo(tipoRiduzione, "FTACOPERCSTIPENDIO").raw();
    const i128 scala = i128(Currency::Scale) * Currency::Scale * Currency::Scale;
    // taxable x (100 - paid) x decrease / 100 x days / month's days / 100
    auto riduzione_ = [&](Currency imponibile, Currency decremento) {
        return centesimi(Currency::fromRaw(
            int64_t(platform::roundedQuotient(i128(imponibile.raw()) * nonPagato * decremento.raw() * giorni,
                                              scala * giorniMese))));
    };
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        const int rice = riceDiRiferimento(intero(ritenute, "IRICEID"));
        if (!regole.locate(QStringLiteral("ITACOID;IRICEID"), platform::ValueList{Value(riduzione), Value(rice)}))
            continue;
        const Currency imponibile = importo(ritenute, "FVARRIMPONIBILE");
        ritenute.edit();
        const Currency dip = importo(regole, "FTACORICEDECIMPDIP");
        if (dip > Currency())
            impostaImporto(ritenute, "FVARRIMPONIBILEDIP",
                           importo(ritenute, "FVARRIMPONIBILEDIP") - riduzione_(imponibile, dip));
        const Currency amm = importo(regole, "FTACORICEDECIMPAMM");
        if (amm > Currency())
            impostaImporto(ritenute, "FVARRIMPONIBILEAMM",
                           importo(ritenute, "FVARRIMPONIBILEAMM") - riduzione_(imponibile, amm));
        ritenute.post();
    }
}

// ================================================================ withholding rows

bool TwunCalcolaFond::RitenutaDaApplicare(const DataSet *periodo, const DataSet &ritenuta, bool partTime,
                                          const DataSet *compenso, const DataSet *variazione)
{
    if (periodo) {
        for (const char *campo : {"LVARMPARTTIME", "LVAPEPARTTIME"}) {
            if (const platform::Field *f = periodo->findField(QLatin1String(campo))) {
                partTime = f->asInteger() == 1;
                break;
            }
        }
    }
    if (!RitenutaInpsApplicabile(ritenuta, partTime))
        return false;
    if (!HaFondoPensione(ritenuta))
        return true;
    return ModuloFondoPensione && ModuloFondoPensione->FondoApplicabile(ritenuta, compenso, variazione);
}

void TwunCalcolaFond::ApplicaGruppoContributivo(DataSet &ritenuta, DataSet &gruppi, Currency imponibile, bool partTime,
                                                const DataSet *compenso, const DataSet *variazione,
                                                const DataSet *periodo)
{
    ritenuta.edit();
    const int rice = riceDiRiferimento(intero(ritenuta, "IRICEID"));
    if (!gruppi.locate(QStringLiteral("IRICEID"), Value(rice))) {
        azzeraRitenuta(ritenuta);
        ritenuta.post();
        return;
    }
    impostaImporto(ritenuta, "FVARRIMPONIBILE", imponibile);
    impostaImporto(ritenuta, "FVARRPERCIMPDIP", importo(gruppi, "FCOGRPERCIMPDIP"));
    impostaImporto(ritenuta, "FVARRPERCIMPAMM", importo(gruppi, "FCOGRPERCIMPAMM"));
    if (intero(ritenuta, "LVARRIMPFISSATI") != 1) {
        impostaImporto(ritenuta, "FVARRIMPONIBILEDIP", imponibile);
        impostaImporto(ritenuta, "FVARRIMPONIBILEAMM", imponibile);
        if (!RitenutaDaApplicare(periodo, ritenuta, partTime, compenso, variazione))
            azzeraRitenuta(ritenuta);
    }
    if (importo(ritenuta, "FVARRPERCIMPDIP").isZero())
        impostaImporto(ritenuta, "FVARRIMPONIBILEDIP", Currency());
    if (importo(ritenuta, "FVARRPERCIMPAMM").isZero())
        impostaImporto(ritenuta, "FVARRIMPONIBILEAMM", Currency());
    ritenuta.post();
}

void TwunCalcolaFond::ApplicaGruppiContributivi(DataSet &ritenute, DataSet &gruppi, Currency imponibile, bool partTime,
                                                const DataSet *compenso, const DataSet *variazione)
{
    for (ritenute.first(); !ritenute.eof(); ritenute.next())
        ApplicaGruppoContributivo(ritenute, gruppi, imponibile, partTime, compenso, variazione);
}

Currency TwunCalcolaFond::RicalcolaRitenuteContributi(DataSet &ritenute, int riceTasse, Currency deduzione,
                                                      int riceTarget, Currency lordo)
{
    Currency trattenute;
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        if (!TvcoSpeciale(ritenute))
            continue;
        const platform::Field *fissa = ritenute.findField(QStringLiteral("LRICEFISSA"));
        if (!fissa || fissa->asInteger() != 1) {
            ritenute.edit();
            impostaImporto(ritenute, "FVARRRITDIP",
                           PercentualeArrotondata(2,
                                                  Percentuale(importo(ritenute, "FVARRIMPONIBILEDIP"),
                                                              importo(ritenute, "FVARRPERCIMPDIP")),
                                                  importo(ritenute, "FVARRALIQUOTADIP")));
            impostaImporto(ritenute, "FVARRRITAMM",
                           PercentualeArrotondata(2,
                                                  Percentuale(importo(ritenute, "FVARRIMPONIBILEAMM"),
                                                              importo(ritenute, "FVARRPERCIMPAMM")),
                                                  importo(ritenute, "FVARRALIQUOTAAMM")));
            ritenute.post();
        }
        trattenute += importo(ritenute, "FVARRRITDIP");
    }
    const Currency netto = trattenute > Currency() ? DifferenzaPositiva(lordo, trattenute) : lordo;
    ImpostaImponibile(ritenute, riceTasse, riceTarget, DifferenzaPositiva(netto, deduzione));
    return DifferenzaPositiva(deduzione, netto);
}

void TwunCalcolaFond::SommaImponibiliRitenute(DataSet &ritenute, const QList<int> &voci, bool nellElenco,
                                              DataSet &totali)
{
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        if (voci.contains(intero(ritenute, "ICOMRID")) != nellElenco || !TvcoSpeciale(ritenute))
            continue;
        const int rice = intero(ritenute, "IRICEID");
        if (!totali.locate(QStringLiteral("IRICEID"), Value(rice)))
            throw ETovCalcola(platform::format(QStringLiteral("Manca la riga dei totali della ritenuta %d"), rice));
        totali.edit();
        impostaImporto(totali, "FVARRIMPONIBILEDIP",
                       importo(totali, "FVARRIMPONIBILEDIP")
                           + PercentualeArrotondata(2, importo(ritenute, "FVARRIMPONIBILEDIP"),
                                                    importo(ritenute, "FVARRPERCIMPDIP")));
        impostaImporto(totali, "FVARRIMPONIBILEAMM",
                       importo(totali, "FVARRIMPONIBILEAMM")
                           + PercentualeArrotondata(2, importo(ritenute, "FVARRIMPONIBILEAMM"),
                                                    importo(ritenute, "FVARRPERCIMPAMM")));
        impostaImporto(totali, "FVARRPERCIMPDIP", Currency::fromInt(100));
        impostaImporto(totali, "FVARRPERCIMPAMM", Currency::fromInt(100));
        impostaImporto(totali, "FVARRALIQUOTADIP", importo(ritenute, "FVARRALIQUOTADIP"));
        impostaImporto(totali, "FVARRALIQUOTAAMM", importo(ritenute, "FVARRALIQUOTAAMM"));
        totali.post();
    }
}

void TwunCalcolaFond::ArrotondaImponibili(DataSet &ritenute)
{
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        const int decimali = intero(ritenute, "IRICEDECIMALIIMP");
        if (decimali == 2)
            continue;
        ritenute.edit();
        for (const char *campo : {"FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM"})
            if (importo(ritenute, campo) > Currency())
                impostaImporto(ritenute, campo, Arrotonda(decimali, importo(ritenute, campo)));
        ritenute.post();
    }
}

void TwunCalcolaFond::ImpostaImponibile(DataSet &ritenute, int, int riceTarget, Currency valore)
{
    if (riceTarget != 0)
        ImpostaImponibileRitenuta(ritenute, riceTarget, valore);
}

void TwunCalcolaFond::ImpostaAliquote(DataSet &ritenuta, DataSet &aliquote, const DataSet &variazione,
                                      const DataSet &compenso) const
{
    if (!RitenutaApplicabile(ritenuta, aliquote))
        return;
    const int rice = intero(ritenuta, "IRICEID");
    if (rice == RICE_COD_INPDAP)
        PosizionaScalaInpdap(ritenuta, aliquote, compenso);
    if (rice == 14 || rice == 15) {
        if (ModuloFondoPensione)
            ModuloFondoPensione->ImpostaAliquote(ritenuta, &compenso, &variazione);
        return;
    }
    AliquoteDaRiga(ritenuta, aliquote);
}

// ================================================================ other operations

void TwunCalcolaFond::EliminaVociNonSpettanti(DataSet &voci, const DataSet &compenso)
{
    const platform::Field &tno = compenso.fieldByName(QStringLiteral("ITNOID"));
    const bool senzaTipo = tno.isNull() || tno.asInteger() >= 8;
    const int contratto = intero(compenso, "IDCTID");
    voci.first();
    while (!voci.eof()) {
        const int tipo = intero(voci, "ICOMRAIUTOID");
        const bool elimina = (tipo == 3 || tipo == 4)
                             && (senzaTipo || (tipo == 3 && contratto != 2) || (tipo == 4 && contratto != 1));
        if (elimina)
            voci.deleteRecord();
        else
            voci.next();
    }
}

Currency TwunCalcolaFond::RetribuzioneTeorica(DataSet &periodi, DataSet &voci, const DataSet *compenso,
                                              const TTabelle &tabelle)
{
    Currency totale;
    for (voci.first(); !voci.eof(); voci.next()) {
        if (!voceFondamentale(voci))
            continue;
        for (periodi.first(); !periodi.eof(); periodi.next())
            totale += ImportoVocePeriodo(periodi, voci, voci, compenso, tabelle);
    }
    return totale;
}

Currency TwunCalcolaFond::MinimaleInps(SqlQuery &query, const DataSet &compenso)
{
    TovQueryText().AssignSQL(QStringLiteral("QRY_RICA_MIN_INPS"), query);
    const platform::Field *anno = compenso.findField(QStringLiteral("IANFID"));
    query.bind(QStringLiteral("RICE_COD_INPS_OI"), RICE_COD_INPS_OI)
        .bind(QStringLiteral("RICE_COD_INPS_PT"), RICE_COD_INPS_PT)
        .bind(QStringLiteral("ITNOID"), compenso.fieldValue(QStringLiteral("ITNOID")))
        .bind(QStringLiteral("IANFID"), anno ? anno->value() : Value(wunAnnoFinanziario().Id()));
    query.open();
    const Value minimo = query.eof() ? Value::null() : query.value(QStringLiteral("FRICAMINIMALE"));
    query.close();
    return minimo.isEmpty() ? Currency() : minimo.toCurrency();
}

Currency TwunCalcolaFond::MinimaleOrario(Currency ore, Currency minimoGiornaliero, int oreContratto)
{
    // The daily minimum is for six hours of work.
    const Currency orario = Arrotonda(2, Proporzione(minimoGiornaliero, 6, oreContratto,
                                                     QStringLiteral("Ore settimanali del contratto non indicate: "
                                                                    "impossibile calcolare il minimale orario")));
    return ore * orario;
}

Currency TwunCalcolaFond::MinimaleGiornaliero(int giorni, Currency minimoGiornaliero)
{
    return minimoGiornaliero * qint64(giorni);
}

void TwunCalcolaFond::ApriRitenuteFondamentali(TUqQueryCollection &ritenute, int varmId)
{
    ritenute.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_VARM_VARR"), ritenute, QStringLiteral("EXECUTE"));
    TTovQueryText::FormatSQL(ritenute, {QStringLiteral("RICE.LRICEFONDAMENTALI=1")});
    ritenute.params().paramByName(QStringLiteral("IVARMID")).setValue(varmId);
    ritenute.Open();
}

TStoricoPeriodo TwunCalcolaFond::StoricoPeriodo(int acomId, int mesId)
{
    SqlQuery query;
    TovQueryText().AssignSQL(QStringLiteral("QRY_ASTI_CALC"), query);
    query.bind(QStringLiteral("IACOMID"), acomId).bind(QStringLiteral("IMESID"), mesId);
    query.open();
    TStoricoPeriodo storico;
    if (query.eof())
        return storico;
    storico.Trovato = true;
    storico.OreServizio = query.value(QStringLiteral("IASTIORESERVIZIO")).toInt();
    if (storico.OreServizio == 0)
        storico.OreServizio = query.value(QStringLiteral("IACOMOREPREVISTE")).toInt() * 60;
    storico.Cattedra = query.value(QStringLiteral("LVAPECATTEDRA"));
    storico.PartTime = query.value(QStringLiteral("LVAPEPARTTIME"));
    storico.OreEccedenti = query.value(QStringLiteral("IVAPEOREECCEDENTI"));
    const Value anzianita = query.value(QStringLiteral("IASTIANZIANITA"));
    storico.Anzianita = anzianita.isEmpty() ? 0 : anzianita.toInt();
    const Value nomina = query.value(QStringLiteral("LASTIMATSCOPNOMINA"));
    storico.MaternitaNomina = !nomina.isEmpty() && nomina.toInt() == 1;
    query.close();
    return storico;
}

void TwunCalcolaFond::CompletaPeriodoDaAsti(DataSet &periodo, int giorni, int acomId, int mesId,
                                            TStoricoPeriodo *storico)
{
    periodo.fieldByName(QStringLiteral("IVAPEGIORNI")).setAsInteger(giorni);
    const TStoricoPeriodo riga = StoricoPeriodo(acomId, mesId);
    if (storico)
        *storico = riga;
    if (!riga.Trovato)
        return;
    periodo.fieldByName(QStringLiteral("IVAPEORESERVIZIO")).setAsInteger(riga.OreServizio);
    periodo.fieldByName(QStringLiteral("LVAPECATTEDRA")).setValue(riga.Cattedra);
    periodo.fieldByName(QStringLiteral("LVAPEPARTTIME")).setValue(riga.PartTime);
    periodo.fieldByName(QStringLiteral("IVAPEOREECCEDENTI")).setValue(riga.OreEccedenti);
    if (platform::Field *anzianita = periodo.findField(QStringLiteral("ANZIANITA")))
        anzianita->setValue(riga.Anzianita);
}

int TwunCalcolaFond::GiorniCommerciali(const QDate &dal, const QDate &al)
{
    if (dal.day() == 1 && al == TTovDate::LastDayOfMonth(dal.year(), dal.month()))
        return 30;
    return std::min(int(dal.daysTo(al)) + 1, 30);
}

void TwunCalcolaFond::ContaGiorni(const QDate &dal, const QDate &al, const QDate &data, bool flag, int &domeniche,
                                  int &altri)
{
    domeniche = altri = 0;
    for (QDate giorno = dal; giorno <= al; giorno = giorno.addDays(1))
        ++(giorno.dayOfWeek() == Qt::Sunday ? domeniche : altri);
    const bool primoDelMese = dal.day() == 1 && (dal.month() == 1 || dal > data);
    if (domeniche < 5 && dal.dayOfWeek() != Qt::Sunday && (primoDelMese || (flag && dal.day() > 1)))
        ++domeniche;
}
