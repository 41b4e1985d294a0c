#pragma once
// The fundamental (contract) pay of a public-sector employee for one month.
// The month is split into pay periods (rows with the prefix VAPE, or VARM
// for a whole-month variation: days, qualification, hours, reductions); for
// every fundamental pay item the amount of each period comes from the
// contract tables (CCNL amounts by item and qualification), scaled by days,
// hours and reductions, and goes into the liquidation's pay-item row and
// into the taxable amounts of the item's withholding rows.
//
// Period rows: IQARID, IVAPEGIORNI (30 = a whole month), IVAPEOREPREVISTE
// (contract weekly hours), IVAPEORESERVIZIO (service minutes), IVAPEOREECCNC
// (substitute minutes beyond the chair), IVAPEOREECCEDENTI (excess minutes),
// LVAPECATTEDRA, LVAPEPARTTIME; the computed ORARIO_EFF (effective minutes),
// COEFF_ORESERV and OREECCNC_EFF (hours, two decimals); the reductions in
// numbered column pairs ITACOIDnn / IVARDGIORNIOREnn (01, 02, ...).
// Pay-item rows: ICOMRID, ICOMRGRUPPO (1 fundamental), ICOMRAIUTOID (1 a
// yearly CCNL amount, 2 computed per period, 7 by qualification),
// FVACRLORDO, FVACRLORDOINTERO, LVACRASSOGGETTATO.
//
// Every divisor is tested before it is used: a period without days or
// without contract hours, a missing reduction or pay item raise ETovCalcola
// naming what is missing.
#include "wunUCalcoli.h"

#include "Field.h"
#include "Value.h"

#include <QDate>
#include <QList>
#include <functional>

class TdmWunFpcCalcola;

// An exact ratio of two integers (hours of a period over its contract
// hours, the paid share of a period with reductions).
struct TRapporto {
    __int128 num = 1;
    __int128 den = 1;

    bool Unitario() const { return num == den; }
    // Exact comparison.
    bool operator==(const TRapporto &altro) const { return num * altro.den == altro.num * den; }
    bool operator<(const TRapporto &altro) const { return num * altro.den < altro.num * den; }
    // valore x the ratio at four decimals (half away from zero).
    platform::Currency Applica(platform::Currency valore) const;
};

// One qualification's share of the month (items paid by qualification).
class TPeriodo {
public:
    int IQARID = 0;
    TRapporto RapportoOre;          // effective over contract minutes, at most 1
    platform::Currency Percentuale; // paid share of the reduction, per cent (1: none)
    int Giorni = 0;
};

// The values of the dialog "Ore eccedenti non cattedra".
struct TWunOreNonCattedra {
    int Giorni = 0;
    platform::Currency Ore;
    platform::Currency OreSostituzione;
    platform::Currency OrarioIntero;
    platform::Currency OrarioRapporto;
    platform::Currency Totale;
    platform::Currency OreEccedenti;
};

// The month's contract-history row of a compensation (QRY_ASTI_CALC) as
// the defaults of a new pay period take it.
struct TStoricoPeriodo {
    bool Trovato = false;
    int OreServizio = 0; // IASTIORESERVIZIO, else IACOMOREPREVISTE x 60
    platform::Value Cattedra, PartTime, OreEccedenti;
    int Anzianita = 0;            // IASTIANZIANITA, the seniority class
    bool MaternitaNomina = false; // LASTIMATSCOPNOMINA 1: the days to pay are a maternity reduction
};

class TwunCalcolaFond : public TwunCalcola {
public:
    using Currency = platform::Currency;
    using DataSet = platform::DataSet;

    // Pay items with a fixed meaning.
    static constexpr int COMR_STRAORDINARIO = 10004;
    static constexpr int COMR_ANF = 10006;
    static constexpr int COMR_ESCLUSA_1 = 10020;
    static constexpr int COMR_ESCLUSA_2 = 10022;
    static constexpr int COMR_ORE_ECCEDENTI = 10025;
    static constexpr int COMR_PEREQUATIVO = 10049;
    static constexpr int COMR_FUNZIONE = 10053;
    static constexpr int COMR_PROFESSIONALE = 10055;
    static constexpr int COMR_AGGIUNTIVO = 10056;
    // The reduction whose days move 10001 and 10002 to 10021 and 10034.
    static constexpr int TACO_MATERNITA = 5;

    // The tables the month's computation reads.
    struct TTabelle {
        DataSet *ccnl = nullptr;              // ICOMRID, IQARID, FCCNLIMPORTO, ICOMRAIUTOID, FCCNAPERC
        DataSet *importiMensili = nullptr;    // the person's monthly amounts: ICOMRID, FASTRIMPORTO
        DataSet *riduzioni = nullptr;         // ITACOID, ITACOTIPOCALCOLO, FTACOPERCSTIPENDIO
        DataSet *riduzioniVoci = nullptr;     // ITACOID, ICOMRID, LTACOCOMRAPPLICATA
        DataSet *riduzioniRitenute = nullptr; // ITACOID, IRICEID, FTACORICEDECIMPDIP, FTACORICEDECIMPAMM
    };

    // ---- effective hours ----
    // ORARIO_EFF, COEFF_ORESERV and OREECCNC_EFF of a period in edit (only
    // when it has COEFF_ORESERV): the service minutes, raised by the
    // substitute hours beyond the chair over the year's schedule. With
    // `dialogo` the values are shown (OnOreNonCattedra); with `arrotonda`
    // the minutes are whole (ties to even).
    static void CalcolaOrarioEffettivo(DataSet &periodo, bool dialogo, bool arrotonda);
    // Centesimi(ore x 52 x giorni / 360) of a weekly schedule given in
    // minutes.
    static Currency OrarioAnnuo(qint64 minutiSettimanali, int giorni);
    static Currency OrarioEffettivoDaCoefficiente(const DataSet &periodo);
    // Who shows the dialog "Ore eccedenti non cattedra" (the windows install
    // it); without one nothing is shown.
    static std::function<void(const TWunOreNonCattedra &)> OnOreNonCattedra;

    // ---- amounts of a period ----
    static Currency ImportoPeriodo(const DataSet &periodo, const DataSet &voce, const DataSet *compenso,
                                   const TTabelle &tabelle);
    static Currency ImportoOreEccedenti(int voce, const DataSet &periodo, DataSet &ccnl);
    static Currency ImportoVocePeriodo(const DataSet &periodo, const DataSet &voce, const DataSet &voci,
                                       const DataSet *compenso, const TTabelle &tabelle);

    // ---- the fundamental items of the month ----
    // Every item of group 1 (but 10020 and 10022): per period, or for items
    // of kind 7 of a compensation not of type 8 per qualification.
    // `totaleRiduzioniTipo1` grows by the amounts of the days of reductions
    // of calculation kind 1.
    static void CalcolaVociFondamentali(DataSet &periodi, DataSet &voci, const DataSet *compenso,
                                        Currency &totaleRiduzioniTipo1, DataSet &ritenute, const TTabelle &tabelle);
    static void CalcolaVocePerPeriodi(DataSet &periodi, DataSet &voci, const DataSet *compenso,
                                      Currency &totaleRiduzioniTipo1, DataSet &ritenute, const TTabelle &tabelle);
    static void CalcolaVocePerQualifica(DataSet &periodi, DataSet &voci, const DataSet *compenso, DataSet &ritenute,
                                        const TTabelle &tabelle);
    static void AzzeraImponibili(DataSet &ritenute);
    static void AggiungiImponibile(DataSet &ritenute, Currency importo);

    // ---- reductions ----
    // Applies unless the item has a row for the reduction that says no.
    static bool RiduzioneApplicata(int voce, int riduzione, const TTabelle &tabelle);
    // The paid share of the first applying reduction with days (1: none).
    static Currency PercentualeRiduzione(const DataSet &periodo, int voce, const TTabelle &tabelle);
    // The paid share of the period after its reductions; `giorniTipo1` gets
    // the days of a reduction of calculation kind 1. Lowers the taxable
    // amounts of the withholding rows for the reduced days.
    static TRapporto CoefficienteRiduzioni(const DataSet &periodo, int voce, int &giorniTipo1, DataSet &ritenute,
                                           const TTabelle &tabelle);
    static void RiduciImponibiliRiduzione(const DataSet &periodo, DataSet &riduzioniRitenute, int giorni, int riduzione,
                                          const DataSet &tipoRiduzione, DataSet &ritenute);
    // The days of a reduction in the period (0 when it has none).
    static int GiorniRiduzione(const DataSet &periodo, int riduzione);
    // The days column (IVARDGIORNIOREnn) of the period's maternity reduction
    // (ITACOIDnn 5); nullptr when the period has no column for it.
    static platform::Field *CampoGiorniRiduzione5(const DataSet &periodo);

    // ---- withholding rows ----
    static void ApplicaGruppiContributivi(DataSet &ritenute, DataSet &gruppi, Currency imponibile, bool partTime,
                                          const DataSet *compenso = nullptr, const DataSet *variazione = nullptr);
    static void ApplicaGruppoContributivo(DataSet &ritenuta, DataSet &gruppi, Currency imponibile, bool partTime,
                                          const DataSet *compenso = nullptr, const DataSet *variazione = nullptr,
                                          const DataSet *periodo = nullptr);
    static bool RitenutaDaApplicare(const DataSet *periodo, const DataSet &ritenuta, bool partTime,
                                    const DataSet *compenso = nullptr, const DataSet *variazione = nullptr);
    // Recomputes the withholdings of the special rows and sets the taxable
    // of the target retention to the net less the deduction; answers the
    // deduction not covered.
    static Currency RicalcolaRitenuteContributi(DataSet &ritenute, int riceTasse, Currency deduzione, int riceTarget,
                                                Currency lordo);
    static void SommaImponibiliRitenute(DataSet &ritenute, const QList<int> &voci, bool nellElenco, DataSet &totali);
    static void ArrotondaImponibili(DataSet &ritenute);
    static void ImpostaImponibile(DataSet &ritenute, int riceTasse, int riceTarget, Currency importo);

    // Applying rows only: retention 2 takes the rate row of the INPDAP
    // scale; the pension-fund retentions 14 and 15 take the fund's rates
    // (nothing without the module); the others the rate row's.
    void ImpostaAliquote(DataSet &ritenuta, DataSet &aliquote, const DataSet &variazione,
                         const DataSet &compenso) const override;

    // ---- other operations ----
    static void EliminaVociNonSpettanti(DataSet &voci, const DataSet &compenso);
    static Currency RetribuzioneTeorica(DataSet &periodi, DataSet &voci, const DataSet *compenso,
                                        const TTabelle &tabelle);
    // FRICAMINIMALE of QRY_RICA_MIN_INPS (0 when the year has none).
    static Currency MinimaleInps(platform::SqlQuery &query, const DataSet &compenso);
    static Currency MinimaleOrario(Currency ore, Currency minimoGiornaliero, int oreContratto);
    static Currency MinimaleGiornaliero(int giorni, Currency minimoGiornaliero);
    static void ApriRitenuteFondamentali(TUqQueryCollection &ritenute, int varmId);
    static TStoricoPeriodo StoricoPeriodo(int acomId, int mesId);
    // IVAPEGIORNI := giorni; with a history row: IVAPEORESERVIZIO, the chair,
    // part time, excess minutes and (when the row has it) ANZIANITA from it.
    // `storico` (when given) gets the row.
    static void CompletaPeriodoDaAsti(DataSet &periodo, int giorni, int acomId, int mesId,
                                      TStoricoPeriodo *storico = nullptr);
    static int GiorniCommerciali(const QDate &dal, const QDate &al);
    static void ContaGiorni(const QDate &dal, const QDate &al, const QDate &data, bool flag, int &domeniche,
                            int &altri);

    // The optional pension-fund module (not owned; none: rows with a fund
    // do not apply).
    static TdmWunFpcCalcola *ModuloFondoPensione;
};
