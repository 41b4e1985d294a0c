#pragma once
// The public-sector module of a month's liquidation: the withholding rows of
// every pay item (contribution groups, rates, withholdings, then the year's
// contribution exemption), the closing of the pay periods of a liquidation,
// and, at the end of a relationship, the holidays due with their value and
// the excess hours to pay on the thirteenth month.
//
// The public-sector import makes one module for a run and frees it; its
// datasets hold the current person's rows between calls. Every query
// collection runs on the global connection and fetches all its rows at once.
//
// Rows (read and written by column name):
// - variation: IVARMID, IACOMID, IMESID, ICOTID, ICOSID, IVARMGIORNI,
//   IVARMRIRPID, LVARMPARTTIME, DVARMDAL, DVARMAL;
// - compensation: IACOMID, ITNOID, IANACAGID, IACOMDENFERIE, IACOMSCAINPDAP,
//   IACOMSOGGENPALS and what the year's exemption reads (LACOMDISESONEROIVS,
//   ISEXID);
// - pay items: IVACRID, ICOMRID, ICOMRGRUPPO, FVACRLORDO, FVACRLORDOINTERO,
//   FVACRPERCESONEROIVS;
// - periods: as QRY_CHIUSURA_VAPE_CALC and QRY_CHIUSURA_VAPE give them, with
//   the computed ORARIO_EFF, COEFF_ORESERV and OREECCNC_EFF.
#include "wunMCalcola.h"
#include "wunUCalcoliFond.h"

#include "DataSet.h"
#include "UqQueryCollection.h"

#include <QDate>
#include <functional>
#include <memory>

namespace platform {
class SqlQuery;
} // namespace platform

class TdmWunFondCalcola : public TdmWunCalcola {
public:
    // The legal position whose pay the module does not compute.
    static constexpr int TNO_NON_ABILITATO = 16;

    static const QString MsgPosizioneNonAbilitata; // "Posizione giuridica non abilitata per lo stipendio."
    static const QString MsgAssenzeDuplicate;      // "Assenze duplicate nel periodo dal %s al %s."
    // "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico"
    static const QString MsgOrariRiduzioni;

    explicit TdmWunFondCalcola(QObject *parent = nullptr);
    ~TdmWunFondCalcola() override;

    // ---- components ----
    TUqQueryCollection xqcVacrVarr;       // withholding rows of a pay item (QRY_VACR_VARR_FOND)
    TUqQueryCollection xqcRica;           // rates of the relationship type and year
    TUqQueryCollection xqcCogr;           // contribution groups of a pay item
    TUqQueryCollection xqcRiva;           // the items of a various withholding
    TUqQueryCollection xqcVape;           // pay periods
    TUqQueryCollection xqcVard;           // their reductions
    TUqQueryCollection xqcTaco;           // reduction kinds
    TUqQueryCollection xqcCCNLInt;        // contract amounts
    TUqQueryCollection xqcUnaTantum;      // one-off pay items
    platform::DataSet cdsVarrTutte;       // every withholding row computed by CalcolaRitenute
    platform::DataSet cdsVapeChiusura;    // the periods of the closing
    platform::DataSet cdsVardChiusura;    // their reductions
    platform::DataSet cdsPeriodiChiusura; // the closing periods by contract hours
    platform::SqlQuery &qquAppoggio();

    // ---- the base's hooks ----
    // " AND NOT REGS.ITNOID IN (11,10,14,15)": no non-salary relationships.
    void FiltroTipiRapporto(QString &testo) override;
    // For each item of the withholding type (QRY_RIVA_CALC, IRITVID of
    // `tipoRitenuta`) with a positive gross: the total grows by the gross,
    // less the item's employee withholdings when the type is a union fee
    // (LRITVSINDACALE 1).
    void CalcolaRitenuteVarie(DataSet &voci, DataSet &ritenute, Currency &totale, const DataSet &tipoRitenuta) override;

    // ---- the module's hooks, in their order ----
    // A new period (IVAPEID null) takes days, hours, chair and part time from
    // the month's contract history (IACOMID of the variation).
    virtual void CompletaPeriodo(DataSet &periodo, const DataSet &variazione);
    // IVAPEGIORNI, scaled by service minutes over contract hours when the
    // hours are reduced (unchanged without contract hours).
    virtual Currency GiorniPeriodo(const DataSet &periodo);
    // The one-off pay items into xqcUnaTantum.
    virtual void ApriUnaTantum();
    virtual int Qualifica(const DataSet &riga);
    // The holiday days taken in the unbroken run of salary months that ends
    // with the variation's month (none when the first month is December).
    virtual Currency StoricoFerie(const DataSet &compenso, const DataSet &variazione, int primoMese);
    // The excess hours paid since the previous closing (registers, then the
    // liquidation's own items) over 12, rounded to cents.
    virtual Currency ImportoChiusuraOreEccedenti(const DataSet &variazione, DataSet &voci, int meseChiusuraPrec);
    // ChiudiPeriodoVariazione with the variation's days.
    virtual void CalcolaPerGiorni(const DataSet &variazione, const DataSet &qualifica);
    virtual bool RitenutaApplicabile(const DataSet &ritenuta, const DataSet &variazione);
    // The contract amounts of the tables in force (WunCCNL) for a seniority
    // class into xqcCCNLInt.
    virtual void ApriVociCCNL(int anzianita);
    virtual TUqQueryCollection &QueryVociCCNL();
    // The holidays due at the end of a relationship: `giorni` the days to
    // pay, `importo` their value. The cutoff date is the company parameter
    // DPACONOFERIE. With `dialogo` the dialog "Ferie" (OnFerie) lets the
    // user change the days; without it, or when it is cancelled, the days
    // are those due less those taken, never below 0.
    virtual void CalcolaPeriodiChiusura(const DataSet &variazione, Currency nonUsato, bool dialogo, Currency &importo,
                                        Currency &giorni, int primoMese, const DataSet &compenso);
    // The days accrued: Centesimi(giorni x IACOMDENFERIE / 360), with 0
    // yearly holidays counting as 30.
    virtual Currency ImportoFerie(Currency giorni, const DataSet &compenso);
    // The periods and reductions of the person's liquidations of the kind
    // after the previous closing month up to the variation's month, into
    // xqcVape/xqcVard and cdsVapeChiusura/cdsVardChiusura.
    virtual void ApriPeriodiChiusura(const DataSet &variazione, const DataSet &compenso, int meseChiusuraPrec);

    // ---- operations ----
    // Relationship type 16 raises ETovCalcola MsgPosizioneNonAbilitata.
    static void VerificaPosizioneGiuridica(const DataSet &compenso);
    // The 17 items whose withholding rows are built even with no gross.
    static bool VoceSenzaLordoAmmessa(int voce);
    // Builds and computes the withholding rows of the liquidation's pay
    // items into cdsVarrTutte (items with no gross are skipped unless
    // `tutte` or VoceSenzaLordoAmmessa), then, unless `tutte`, the year's
    // exemption on them (which may change the exemption items of `voci`).
    void CalcolaRitenute(DataSet &variazione, DataSet &voci, bool tutte, const DataSet &compenso);
    // The withholding rows of the current pay item (in xqcVacrVarr):
    // contribution groups, rates, withholdings.
    void CalcolaRitenuteVoce(const DataSet &variazione, const DataSet &voce, const DataSet &compenso);
    // The periods of the variation (xqcVape, effective hours computed); a
    // variation with days and no period gets one from the qualification row
    // (a contract-history row: IQARID, IACOMOREPREVISTE,
    // LASTIMATSCOPNOMINA), with a reduction of kind 5 over its days when the
    // appointment replaces a maternity leave.
    void ChiudiPeriodoVariazione(const DataSet &variazione, const DataSet &qualifica, int giorni);
    // The holiday days a closing period accrues: none from the cutoff date,
    // less the days of its reduction (all of them, or the unpaid share,
    // by the reduction's kind). Two reductions in one period raise
    // MsgAssenzeDuplicate.
    Currency GiorniFeriePeriodo(const DataSet &periodo, const DataSet &variazione, const QDate &dataLimite);
    // The value of `giorni` holiday days at the hours ratio `rapporto`: the
    // yearly contract pay of the last closing period's qualification x
    // ratio x days / 360, rounded to cents.
    Currency ValoreFerie(const TRapporto &rapporto, Currency giorni);
    // The gross of the liquidation's excess-hours items (QRY_CHIUSURA_OEPA),
    // whatever filter `voci` has (it is kept).
    Currency ImportoOrePagate(DataSet &voci);
    // The ratio of the hours worked to the contract hours over the closing
    // periods, weighted by their holiday days (0 without days). A period
    // with days and no contract hours raises MsgOrariRiduzioni with the
    // reason.
    TRapporto RapportoOreFerie(Currency giorniTotali);

    // Who shows the dialog "Ferie" (the windows install it): `giorni` the
    // days accrued in, the days to pay out after OK; answers whether OK was
    // chosen.
    using Dialogo =
        std::function<bool(Currency &giorni, const QString &testo, const QDate &dataLimite, Currency godute)>;
    static Dialogo OnFerie;

private:
    void ApriRitenuteVoce(const DataSet &voce);
    void AggiungiRitenute(bool prima);
    // Opens a period collection computing the effective hours of its rows.
    void ApriPeriodi(TUqQueryCollection &periodi);
    void CaricaRiduzioni();
    void PreparaPeriodiChiusura();

    std::unique_ptr<platform::SqlQuery> m_appoggio;
};
