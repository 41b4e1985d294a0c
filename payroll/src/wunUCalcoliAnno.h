#pragma once
// The per-year rule object of the payroll: every rule that changed from one
// financial year to the next (income-tax deductions, bonuses, contribution
// rates and exemptions) lives in one class per year, all derived from
// TWunCalcolaAnno. Exactly one object exists at a time, WunCalcolaAnno(), of
// the class of the working financial year, made by CreaPerAnno; callers
// reach the rules through its virtual operations and never test the year.
//
// The base class answers every operation with a neutral value (no bonus,
// rate unchanged, no exemption); a year class overrides only what changed
// that year, and a later year inherits the rules of the year before unless
// it overrides them again. Operations that only some years have are
// declared by the first class that has them; their callers are rules of
// that class and its descendants.
//
// Amounts are platform::Currency, rates and percentages per cent held as
// Currency (four decimals: 32.72 is exactly 32.72). Rows are the current
// records of open datasets read by column name: a person row is the
// compensation record (IACOMID, ITNOID, LACOM..., FACOM...), a liquidation
// row the monthly liquidation (IVARMID, IMESID, ICOTID, ICOSID), withholding
// rows the liquidation's retention rows, item rows its pay-item rows.
//
// Rules whose bodies are the years' deduction, bonus and exemption rules
// keep here the neutral answer of their declaring class; the year classes
// that carry those rules override them.
#include "tovUCalcoli.h"

#include "UqQueryCollection.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class QObject;

namespace platform {
class DataSet;
class SqlQuery;
} // namespace platform

// A check box as MostraControlliInps sees it; the window that has the two
// boxes hands them over through this.
class IWunCasella {
public:
    virtual ~IWunCasella() = default;
    virtual void Mostra(bool visibile) = 0;
    virtual void Abilita(bool abilitata) = 0;
    virtual void Imposta(bool spuntata) = 0;
    // The state of the box's data source.
    virtual platform::DataSetState StatoDati() const = 0;
};

class TWunCalcolaAnno {
public:
    using Currency = platform::Currency;
    using DataSet = platform::DataSet;
    using SqlQuery = platform::SqlQuery;

    TWunCalcolaAnno() = default;
    virtual ~TWunCalcolaAnno();
    TWunCalcolaAnno(const TWunCalcolaAnno &) = delete;
    TWunCalcolaAnno &operator=(const TWunCalcolaAnno &) = delete;

    // Makes the rule object of the year current: first the foundation's
    // year rules of the same year, then the previous object is freed and the
    // year's class created (below 2005 the 2004 class; 2005-2006 the 2005
    // class; 2010-2013 the 2010 class; 2015-2016 the 2015 class; 2025 and
    // every later year the 2025 class; every other year from 2007 to 2024
    // its own). References to the previous object become invalid.
    static void CreaPerAnno(int anno);
    // Frees the current object (the end of the program does it too).
    static void Rilascia();

    // ---- the virtual operations, in their order ----
    virtual void CalcolaTaglioCuneo(const DataSet &persona, Currency &importo, bool perRata, Currency reddito,
                                    Currency &percentuale);
    virtual Currency CalcolaBonusIrpef(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                                       DataSet &voci, DataSet &liquidazione, const DataSet &persona);
    virtual Currency DetrazioneAggiuntivaLavDip(int giorni) const;
    virtual void CompilaTaglioCuneoConguaglio(const DataSet &persona, DataSet &conguaglio);
    virtual void InserisciTaglioCuneo(const DataSet &persona, DataSet &liquidazione, bool perRata, DataSet &ritenute,
                                      DataSet &voci);
    virtual bool VoceAnnoAttiva() const;
    virtual bool TaglioCuneoAttivo() const;
    virtual void CompilaEsoneroIvsUniemens(DataSet &dichiarazione, SqlQuery &query, const DataSet &persona,
                                           const QString &filtro, int mese, Currency altroImponibile);
    virtual bool EsoneroIvsAttivo() const;
    virtual bool SoggettoEnpalsAnagrafica(SqlQuery &query, int acomId);
    virtual int GiorniPeriodoBonus() const;
    virtual Currency TrattamentoIntegrativoAnnuo(const DataSet &conguaglio, int giorni, Currency reddito,
                                                 Currency impostaNetta);
    virtual int MeseInizioBonus() const;
    virtual QString NomeQueryAnno(const QString &nome) const;
    virtual bool Regole2008() const;
    virtual Currency DetrazioneFamiliariTeorica(DataSet &detrazione, DataSet &tabella);
    virtual void CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni,
                                   DataSet &liquidazione, DataSet &conguaglio, DataSet &ritenute);
    virtual bool RegimeDetrazioni() const = 0;
    virtual bool Regole2009() const;
    virtual bool Regole2014() const;
    virtual bool VoceGiaLiquidata(SqlQuery &query, int voce, int acomId, int cotId, int mese);
    virtual bool RegimeDeduzioni() const;
    virtual void CalcolaDeduzioni(const DataSet &persona, DataSet &detrazioni, DataSet *liquidazione);
    virtual bool Regole2004() const;
    virtual QString NomeFrameConguaglio() const;
    virtual QString NomeFormDetrazioniFamiliari() const;
    virtual void ImpostaFormDetrazioni(QObject *form, bool totali);
    virtual Currency CalcolaBonusMese(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                                      DataSet &voci, DataSet &liquidazione, const DataSet &persona);
    virtual void CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                                   DataSet *figli, int mese);
    virtual void ChiudiTabelle();
    virtual void ControllaFigli(const platform::Value &quota, bool &valido, QString &messaggio);
    // The yearly employee deduction FADETIMPLAVDIP of the deduction row
    // divided over the payments, rounded. No payments raise ETovCalcola.
    virtual void RipartisciDetrazioni(SqlQuery &query, DataSet &detrazioni, int numeroPaghe,
                                      const DataSet *liquidazione, const DataSet &persona);
    virtual bool Regole2010() const;
    virtual QString NomeQueryVersione(const QString &nome) const;
    // The contribution rate of the person by kind: 1 IRAP (FACOMIRAP), 3
    // INPS (FACOMINPS, refused for a person of the former ENPALS fund),
    // 4 INAIL (FACOMINAIL), any other 0; plus the additional INPS rate when
    // ApplicaInpsAggiuntiva holds.
    virtual Currency AliquotaContributo(const DataSet &persona, int tipo, int mese);
    virtual Currency AliquotaInpsAggiuntiva() const;
    virtual bool ApplicaInpsAggiuntiva(const DataSet &persona, int mese, int tipo) const;
    virtual bool AliquotaCollaboratoreSenzaDisColl(int tipoRapporto, Currency aliquota) const;
    virtual void RecuperaInpsCollaboratori(const DataSet &liquidazione, const DataSet &persona, DataSet &ritenuta);
    // Shows and enables the second box (set, when its data is browsing, to
    // whether the relationship `codice` is ordinary salary), hides, disables
    // and clears the first.
    virtual void MostraControlliInps(int codice, const platform::Value &valore, IWunCasella &prima,
                                     IWunCasella &seconda);
    virtual Currency AdeguaAliquotaInps(int tipoRapporto, Currency aliquota) const;
    virtual int CodiceTipoPredefinito();
    virtual bool Regole2020() const;
    virtual int AdeguaNumeroMensilita(int numero) const;
    virtual void AdeguaFigliNucleo(int mese, int &figli1, int &figli2, int &figli3) const;
    virtual bool BonusUnaTantumAttivi() const;
    virtual Currency CalcolaBonusUnaTantum(SqlQuery &query, const DataSet &persona, DataSet &righeCorrenti,
                                           DataSet &liquidazione, DataSet &voci);
    virtual Currency ImportoAggiuntivoCCNL(DataSet &ccnl, int qualifica);
    virtual Currency ImportoAggiuntivoAnzianita(const DataSet &anzianita, SqlQuery &ccnl, int qualifica, int aiuto,
                                                int ore);
    virtual bool Regole2023() const;
    virtual bool Regole2024() const;
    virtual void CalcolaEsoneroLiquidazione(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                            const DataSet &persona);
    virtual void InserisciVociEsonero(DataSet &voci);
    // The condition that restricts the pay items read with a salary to the
    // groups that take part in it.
    virtual void FiltroGruppiVoci(QString &testo) const;
    // The month's exemption dataset of the foundation's year rules (nullptr:
    // none); the caller owns it.
    virtual std::unique_ptr<DataSet> EsoneriIvs(int mese, int cotId, int gruppo);
    virtual Currency ImportoUnaTantumDicembre(const DataSet &liquidazione, const DataSet &persona, int tipo);
    virtual bool DecontribuzioneMadriAmmessa(const DataSet &persona, QString &messaggio) const;

    // ---- helpers of the family ----
    // Opens the bracket table with the named statement (kind "SELECT") for
    // the working year, unless it is open already (a test may fill it).
    static void ApriTabella(TUqQueryCollection &tabella, const QString &statement);
    // Filters the table, orders it by the upper bound prefisso + "A" and,
    // when the lowest lower bound prefisso + "DA" is below the income, adds
    // the deduction of the bracket whose upper bound the income reaches.
    // An income at or below the lowest bound, or above every upper bound,
    // finds nothing.
    static bool CercaScaglione(DataSet &tabella, const QString &filtro, Currency &detrazione,
                               const QString &campoDetrazione, const QString &prefisso, Currency reddito);
    // (FTDEDIMPORTOFISSO + base + FACOMONERIDEDUC - reddito - FACOMCREDITOIMP)
    // / FTDEDIMPORTOFISSO, cut (not rounded) to four decimals. A year
    // without the fixed amount raises ETovCalcola.
    static Currency CoefficienteDeduzione(const DataSet &tabella, const DataSet &persona, Currency base,
                                          Currency reddito);
    // 0 for a negative coefficient, importo x coefficient below 1, importo
    // otherwise; rounded to cents.
    static Currency ApplicaCoefficiente(Currency importo, Currency coefficiente);
    // The no-tax area of the days (see the deduction rules of 2004-2006);
    // `base` gets the base used.
    static Currency NoTaxArea(const DataSet &tabella, int giorni, bool proporzionale, Currency &base);
    // QRY_TDED for the working year, unless open.
    static void ApriTabellaDeduzioni(TUqQueryCollection &tabella);
    // FACOMREDDITOCOMP when not 0; otherwise the employee taxable of the
    // income-tax row (retention 7, which must be there) x NumeroPagheReddito.
    static Currency RedditoAnnuoPresunto(const DataSet &persona, DataSet &ritenute);
    // IACOMNUMPAGHE; 12 counts as 13 except for relationship types 8, 11, 17.
    static int NumeroPagheReddito(const DataSet &persona);
    // The payments over which yearly amounts are divided: a collaborator's
    // contract payments, else IACOMNUMPAGHE (0: 9 for type 8, 12 for the
    // others).
    static int NumeroMensilita(const DataSet &persona);
};

// A share of the year (days over days, or days over payments and days),
// kept exact so that an amount is scaled once and rounded once.
struct TWunQuota {
    qint64 numeratore = 0;
    qint64 denominatore = 1;
    // importo x numeratore / denominatore at four decimals; a zero
    // denominator raises ETovCalcola.
    platform::Currency Applica(platform::Currency importo) const;
    bool operator==(const TWunQuota &altra) const = default;
};

class TWunCalcolaAnno2004 : public TWunCalcolaAnno {
public:
    bool RegimeDetrazioni() const override;
    bool Regole2004() const override;

    // ---- deductions from income (wunUCalcoliAnnoDetrazioni.cpp) ----
    // The month's no-tax area deduction into FADETIMPDEDUZIONE1 (nothing
    // for a person with LACOMDISABILTANTA).
    void CalcolaDeduzioni(const DataSet &persona, DataSet &detrazioni, DataSet *liquidazione) override;
    // The deductions of the brackets the user chose (ITDLAID, ITDCOID,
    // ITDFAID), divided over the payments.
    void CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                           DataSet *figli, int mese) override;
    // The adjustment's days and income and its no-tax area deductions.
    void CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni, DataSet &liquidazione,
                           DataSet &conguaglio, DataSet &ritenute) override;
};

class TWunCalcolaAnno2005 : public TWunCalcolaAnno {
public:
    bool RegimeDetrazioni() const override;
    QString NomeFrameConguaglio() const override;

    // ---- deductions from income (wunUCalcoliAnnoDetrazioni.cpp) ----
    // The family deduction (FADETDEDFAMILY) and, with the no-tax area,
    // FADETIMPDEDUZIONE1.
    void CalcolaDeduzioni(const DataSet &persona, DataSet &detrazioni, DataSet *liquidazione) override;
    // FADETDEDFAMILYTEO when given; else spouse, children and other
    // dependants at the amounts of the year's row `tabella`.
    Currency DetrazioneFamiliariTeorica(DataSet &detrazione, DataSet &tabella) override;
    // The 2004 adjustment plus the family deduction of the year.
    void CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni, DataSet &liquidazione,
                           DataSet &conguaglio, DataSet &ritenute) override;
};

class TWunCalcolaAnno2007 : public TWunCalcolaAnno {
public:
    TWunCalcolaAnno2007();
    ~TWunCalcolaAnno2007() override;

    bool RegimeDetrazioni() const override;
    bool RegimeDeduzioni() const override;
    QString NomeFrameConguaglio() const override;
    QString NomeFormDetrazioniFamiliari() const override;
    void ChiudiTabelle() override;

    // ---- the deductions from tax (wunUCalcoliAnnoDetrazioni.cpp) ----
    // The yearly deductions of the person into the deduction row: employee
    // income (FADETIMPLAVDIP, FADETIMPLAVAGG), spouse, children and other
    // dependants; on the adjustment's income with `conguaglio`, which then
    // gets the employee deduction of the year too. `figli` are the
    // per-child rows (nullptr or empty: the counts of the deduction row).
    void CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                           DataSet *figli, int mese) override;
    // The days, taxable and income of the year's adjustment.
    void CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni, DataSet &liquidazione,
                           DataSet &conguaglio, DataSet &ritenute) override;
    // A typed share of a child: 0, 50 or 100.
    void ControllaFigli(const platform::Value &quota, bool &valido, QString &messaggio) override;
    // The month's share of the yearly employee deduction, plus the
    // additional deduction divided over the payments.
    void RipartisciDetrazioni(SqlQuery &query, DataSet &detrazioni, int numeroPaghe, const DataSet *liquidazione,
                              const DataSet &persona) override;
    // Hides the bracket choices and shows the totals only with `totali`.
    void ImpostaFormDetrazioni(QObject *form, bool totali) override;

    // The employee deduction of the adjustment: the yearly one for its days
    // plus the additional one, at least the bracket's minimum.
    virtual void DetrazioneLavDipConguaglio(const DataSet &persona, DataSet &detrazioni, DataSet &conguaglio);
    // The children deduction from the counts of the deduction row;
    // `primoFiglio` gets the first child's part and `coefficiente` the
    // income coefficient.
    virtual Currency DetrazioneFigli(const DataSet &detrazioni, Currency reddito, Currency &primoFiglio,
                                     Currency &coefficiente);
    // The employee-income deduction of the bracket of the income (only when
    // LADETLAVDIP is 1 or empty).
    virtual Currency DetrazioneLavDip(const DataSet &detrazioni, Currency reddito);
    // The additional employee deduction (brackets of kind below 0);
    // `liquidazione` is the month's liquidation, nullptr in the adjustment.
    virtual Currency UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                         const DataSet *liquidazione);

    // The spouse deduction (LADETCONCAR or LADETMANCAGENITORE 1) and the
    // other dependants' deduction of the income.
    Currency DetrazioneConiuge(const DataSet &detrazioni, Currency reddito);
    Currency DetrazioneAltri(const DataSet &detrazioni, Currency reddito);
    // The children deduction from the per-child rows: all rows, checked,
    // in the adjustment (`conguaglio`); the rows valid in `mese` otherwise.
    // `numeroFigli` gets the highest order number.
    Currency DetrazioneFigliRighe(DataSet &figli, Currency reddito, bool conguaglio, int mese, Currency &primoFiglio,
                                  int &numeroFigli);

    // The adjustment's days: the year's other liquidations of the person,
    // this one and the days already in FCONGGIORNI (a collaborator: the
    // contract's days); `condizione` narrows the registers read.
    static int GiorniConguaglio(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione,
                                const DataSet &conguaglio, const QString &condizione);
    // The adjustment's days (with those of previous employers, at most 365),
    // taxable, income, deductible charges and tax credit.
    static void TotaliConguaglio(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione,
                                 DataSet &conguaglio);

    static const QString MsgQuotaFiglio;        // "Il figlio può essere a carico per intero o al 50%"
    static const QString MsgFiglioMancante;     // "Manca il figlio numero %d."
    static const QString MsgPeriodiSovrapposti; // "Figlio %d: Periodi validi per detrazioni sovrapposti"
    static const QString MsgMeseFine;           // "Figlio %d: Mese fine detrazioni deve essere ..."

    // The bracket tables of the working year (opened on first use).
    TUqQueryCollection &TabellaLavoro() { return m_tdla; }    // QRY_TDLA
    TUqQueryCollection &TabellaConiuge() { return m_tdco; }   // QRY_TDCO
    TUqQueryCollection &TabellaFamiliari() { return m_tdfa; } // QRY_TDFA

    // Working values the rules fill while they run.
    Currency RedditoAnnuo() const { return m_reddito; }
    void SetRedditoAnnuo(Currency reddito) { m_reddito = reddito; }
    int FigliACarico() const { return m_figli; }
    void SetFigliACarico(int figli) { m_figli = figli; }

protected:
    // The employee formula of the found bracket (code 2 and 3) with the
    // year's constants.
    struct TFormulaLavoro {
        int quota2;  // D + quota2 x (limite2 - R) / ampiezza2
        int limite2; // 0: the bracket's upper bound
        int ampiezza2;
        int ampiezza3; // D x (U - R) / ampiezza3
    };
    Currency DetrazioneLavDipFormula(const DataSet &detrazioni, Currency reddito, const TFormulaLavoro &formula);
    // The month's part of the yearly employee deduction (see
    // RipartisciDetrazioni).
    Currency QuotaMeseLavoro(SqlQuery &query, Currency annua, int numeroPaghe, const DataSet *liquidazione,
                             const DataSet &persona);
    // The minimum employee deduction of the adjustment's income, 0 when
    // none.
    Currency MinimoLavDip(const DataSet &persona, Currency reddito);
    // Opens the dependants table (QRY_TDFA) on its first row; false when
    // the year has none.
    bool ApriFamiliari();

    TUqQueryCollection m_tdla;
    TUqQueryCollection m_tdco;
    TUqQueryCollection m_tdfa;
    Currency m_reddito;
    int m_figli = 0;
};

class TWunCalcolaAnno2008 : public TWunCalcolaAnno2007 {
public:
    bool Regole2008() const override;
};

class TWunCalcolaAnno2009 : public TWunCalcolaAnno2008 {
public:
    TWunCalcolaAnno2009();
    ~TWunCalcolaAnno2009() override;

    bool Regole2009() const override;
    bool VoceGiaLiquidata(SqlQuery &query, int voce, int acomId, int cotId, int mese) override;
    QString NomeFrameConguaglio() const override;
    void ChiudiTabelle() override;

    // The 2007 deductions and, in the adjustment, the large-family and
    // rent deductions.
    void CalcolaDetrazioni(const DataSet &persona, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                           DataSet *figli, int mese) override;
    void ImpostaFormDetrazioni(QObject *form, bool totali) override;

    // The large-family deduction (at least four children, FADETPERCFAMNUM).
    virtual Currency DetrazioneFamiglieNumerose(const DataSet &detrazioni);
    // The rent deduction of the income (IADETTIPCANONE, IADETGGCANONE).
    Currency DetrazioneCanone(const DataSet &detrazioni, Currency reddito);

    TUqQueryCollection &TabellaCanone() { return m_tdca; } // QRY_TDCA

protected:
    // The large-family deduction of the year divided by `divisore`.
    Currency DetrazioneFamiglieNumeroseDivisa(const DataSet &detrazioni, int divisore);

private:
    TUqQueryCollection m_tdca;
};

class TWunCalcolaAnno2010 : public TWunCalcolaAnno2009 {
public:
    bool Regole2009() const override;
    bool Regole2010() const override;
    // No deduction from the counts from 2010 (per-child rows only).
    Currency DetrazioneFigli(const DataSet &detrazioni, Currency reddito, Currency &primoFiglio,
                             Currency &coefficiente) override;
};

class TWunCalcolaAnno2014 : public TWunCalcolaAnno2010 {
public:
    bool Regole2014() const override;
    QString NomeFrameConguaglio() const override;

    // The income bonus of 2014 on.
    // The payments of the collaboration already made this year.
    virtual int MensilitaGiaPagate(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione);
    virtual bool BonusNonSpettanteNelMese(const DataSet &liquidazione) const;
    virtual Currency ImportoBonusAnnuo() const;
    virtual void GiorniBonus(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione, int &giorniBase,
                             int &giorni);
    virtual Currency SogliaPienaBonus() const;
    virtual Currency SogliaMassimaBonus() const;

    // ---- the income bonus (wunUCalcoliAnnoBonus.cpp) ----
    // The bonus of the month (of the year with the adjustment row
    // `conguaglio`), written as the bonus item of a monthly liquidation.
    Currency CalcolaBonusIrpef(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                               DataSet &voci, DataSet &liquidazione, const DataSet &persona) override;
    Currency DetrazioneLavDip(const DataSet &detrazioni, Currency reddito) override;

    // The yearly bonus of an income between the full and the zero
    // threshold given: `importo` falling to 0 at `massima`.
    static Currency BonusDelReddito(Currency importo, Currency piena, Currency massima, Currency reddito);
    // Whether the liquidation already has a paid bonus item (group 5).
    static bool BonusGiaPagato(SqlQuery &query, const DataSet &liquidazione);
    // The tax days of the liquidation (IVARMGIORNI less the non-tax days).
    static int GiorniLiquidazione(SqlQuery &query, const DataSet &liquidazione);
    // The employee income tax of the month (retentions 7 and 11) less
    // `detrazione`.
    static Currency CapienzaMese(DataSet &ritenute, Currency detrazione);
    // The bonus item of the month: on the stored salary liquidation, else
    // in the items `voci`.
    static void ScriviBonus(SqlQuery &query, const DataSet &liquidazione, const DataSet &persona, DataSet &voci,
                            Currency bonus);
    // Whether the relationship takes the bonus (types up to 8 and 11) and
    // the person is not excluded (IACOMBONUS66ECC).
    static bool BonusAmmesso(const DataSet &persona);
    // A collaborator's payments left: the contract's (IACOMNUMPAGHE; none
    // raises "Numero di paghe non specificato") less `pagate`, at least 1,
    // as confirmed by the user in the dialog "Bonus Irpef".
    static int PagheCollaboratore(const DataSet &persona, int pagate);
    static constexpr int GruppoBonus = 5;
};

class TWunCalcolaAnno2015 : public TWunCalcolaAnno2014 {
public:
    bool BonusNonSpettanteNelMese(const DataSet &liquidazione) const override;
    Currency ImportoBonusAnnuo() const override;
    // The liquidation's days over 365.
    void GiorniBonus(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione, int &giorniBase,
                     int &giorni) override;
};

class TWunCalcolaAnno2017 : public TWunCalcolaAnno2015 {
public:
    QString NomeQueryVersione(const QString &nome) const override;
    Currency AliquotaInpsAggiuntiva() const override;
    // From July, for a collaborator at 32.72 per cent who asked for it
    // (LACOMINPSAGG), on the INPS rate (kind 3).
    bool ApplicaInpsAggiuntiva(const DataSet &persona, int mese, int tipo) const override;
    bool AliquotaCollaboratoreSenzaDisColl(int tipoRapporto, Currency aliquota) const override;
    // The additional rate recovered on the collaborator's earlier
    // liquidations of the year (wunUCalcoliAnnoDetrazioni.cpp).
    void RecuperaInpsCollaboratori(const DataSet &liquidazione, const DataSet &persona, DataSet &ritenuta) override;
    // Code 14: the first box, set to whether the additional rate runs in
    // the month `valore`; others as the base.
    void MostraControlliInps(int codice, const platform::Value &valore, IWunCasella &prima,
                             IWunCasella &seconda) override;

    // Whether the additional INPS rate runs in the month.
    virtual bool InpsAggiuntivaNelMese(int mese) const;
};

class TWunCalcolaAnno2018 : public TWunCalcolaAnno2017 {
public:
    Currency AliquotaInpsAggiuntiva() const override;
    bool ApplicaInpsAggiuntiva(const DataSet &persona, int mese, int tipo) const override;
    void RecuperaInpsCollaboratori(const DataSet &liquidazione, const DataSet &persona, DataSet &ritenuta) override;
    Currency AdeguaAliquotaInps(int tipoRapporto, Currency aliquota) const override;
    Currency SogliaPienaBonus() const override;
    Currency SogliaMassimaBonus() const override;
    bool InpsAggiuntivaNelMese(int mese) const override;
};

class TWunCalcolaAnno2019 : public TWunCalcolaAnno2018 {
public:
    QString NomeQueryAnno(const QString &nome) const override;
    bool InpsAggiuntivaNelMese(int mese) const override;
};

class TWunCalcolaAnno2020 : public TWunCalcolaAnno2019 {
public:
    int GiorniPeriodoBonus() const override;
    int MeseInizioBonus() const override;
    QString NomeFrameConguaglio() const override;
    bool Regole2020() const override;
    int MensilitaGiaPagate(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione) override;

    // ---- the bonus and the integrative payment (wunUCalcoliAnnoBonus.cpp) ----
    // The bonus before July, the integrative payment from July, the
    // adjustment's amount in the annual adjustment.
    Currency CalcolaBonusMese(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                              DataSet &voci, DataSet &liquidazione, const DataSet &persona) override;
    // The integrative payment of the adjustment's part-year days.
    Currency TrattamentoIntegrativoAnnuo(const DataSet &conguaglio, int giorni, Currency reddito,
                                         Currency impostaNetta) override;

    // ---- deductions (wunUCalcoliAnnoDetrazioni.cpp) ----
    void CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni, DataSet &liquidazione,
                           DataSet &conguaglio, DataSet &ritenute) override;
    void RipartisciDetrazioni(SqlQuery &query, DataSet &detrazioni, int numeroPaghe, const DataSet *liquidazione,
                              const DataSet &persona) override;
    void DetrazioneLavDipConguaglio(const DataSet &persona, DataSet &detrazioni, DataSet &conguaglio) override;
    Currency UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                 const DataSet *liquidazione) override;

    // The integrative payment of July 2020 on.
    // The month's share of the payment's period: a collaborator's entitled
    // days over the payments and the period's days, otherwise the
    // liquidation's days over the period's days; 0 for a collaborator
    // without days.
    virtual TWunQuota RateTrattamentoIntegrativo(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione);
    virtual Currency QuotaUlterioreDetrazione() const;
    // The first-half bonus and the integrative payment of the adjustment.
    virtual Currency TrattamentoIntegrativoConguaglio(const DataSet &conguaglio);
    virtual Currency ImportoTrattamentoIntegrativo() const;
    virtual Currency SogliaTrattamentoIntegrativo() const;
    // The integrative payment of the month, written as the bonus item.
    virtual Currency CalcolaTrattamentoIntegrativo(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio,
                                                   DataSet &ritenute, DataSet &voci, DataSet &liquidazione,
                                                   const DataSet &persona);
    // A collaborator's days in the payment's period.
    virtual int GiorniTrattamentoIntegrativo(const DataSet &persona);
    // The collaboration payments made before the payment's first month
    // (QRY_REGS_COLL_PAGATE_NO_NBI).
    virtual int CollaborazioniPagate(SqlQuery &query, const DataSet &persona);

protected:
    // The integrative payment of the month with the year's tax capacity
    // (the income tax less the employee deduction without `esclusa`) and
    // income threshold.
    Currency TrattamentoIntegrativoMese(SqlQuery &query, DataSet &detrazioni, DataSet &ritenute, DataSet &voci,
                                        DataSet &liquidazione, const DataSet &persona, bool sottraiPagate,
                                        Currency soglia, bool escludiAggiuntiva);
    // The additional deduction of the bracket with the year's formula;
    // `controllaMese`: nothing in a liquidation before the payment's
    // first month.
    Currency UlterioreDetrazioneAnno(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                     const DataSet *liquidazione, bool controllaMese, bool formula);
    // The tax capacity of the adjustment: FCONGRITLORDA less FCONGIMPLAVDIP
    // without the extra deduction of its days when `escludiAggiuntiva`.
    Currency CapienzaConguaglio(const DataSet &conguaglio, bool escludiAggiuntiva) const;
    // The adjustment's income (FCONGREDDITOCOMP), set as the year's, when
    // its tax capacity is above 0; none otherwise.
    std::optional<Currency> RedditoConguaglio(const DataSet &conguaglio, bool escludiAggiuntiva);
    // The bonus of a month where the month's own rule does not run: 0 for a
    // person without the bonus, the adjustment's amount in an annual
    // adjustment; none in any other liquidation.
    std::optional<Currency> BonusFuoriMese(const DataSet &persona, DataSet *conguaglio, const DataSet &liquidazione);
    // RateTrattamentoIntegrativo, a collaborator's payments counted less
    // those made before the payment's first month when `sottraiPagate`.
    TWunQuota QuotaTrattamentoIntegrativo(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione,
                                          bool sottraiPagate);
};

class TWunCalcolaAnno2021 : public TWunCalcolaAnno2020 {
public:
    int GiorniPeriodoBonus() const override;
    bool Regole2020() const override;
    Currency QuotaUlterioreDetrazione() const override;
    Currency ImportoTrattamentoIntegrativo() const override;

    // The integrative payment all year (no bonus months).
    Currency CalcolaBonusMese(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                              DataSet &voci, DataSet &liquidazione, const DataSet &persona) override;
    Currency CalcolaTrattamentoIntegrativo(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                                           DataSet &voci, DataSet &liquidazione, const DataSet &persona) override;
    Currency TrattamentoIntegrativoConguaglio(const DataSet &conguaglio) override;
    int GiorniTrattamentoIntegrativo(const DataSet &persona) override;
    TWunQuota RateTrattamentoIntegrativo(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione) override;
    void CalcolaConguaglio(const DataSet &persona, DataSet &detrazioni, SqlQuery &liquidazioni, DataSet &liquidazione,
                           DataSet &conguaglio, DataSet &ritenute) override;
    void DetrazioneLavDipConguaglio(const DataSet &persona, DataSet &detrazioni, DataSet &conguaglio) override;
    Currency UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                 const DataSet *liquidazione) override;

    virtual Currency SogliaRedditoTrattamento() const;
};

class TWunCalcolaAnno2022 : public TWunCalcolaAnno2021 {
public:
    bool SoggettoEnpalsAnagrafica(SqlQuery &query, int acomId) override;
    Currency AdeguaAliquotaInps(int tipoRapporto, Currency aliquota) const override;
    int AdeguaNumeroMensilita(int numero) const override;
    void AdeguaFigliNucleo(int mese, int &figli1, int &figli2, int &figli3) const override;
    bool BonusUnaTantumAttivi() const override;
    Currency QuotaUlterioreDetrazione() const override;
    Currency SogliaTrattamentoIntegrativo() const override;
    Currency SogliaRedditoTrattamento() const override;

    virtual Currency SogliaPienaTrattamento() const;
    virtual Currency SogliaMassimaTrattamento() const;

    // ---- the integrative payment and deductions of 2022 on ----
    Currency TrattamentoIntegrativoConguaglio(const DataSet &conguaglio) override;
    // Up to 15,000.00 the full amount; up to 28,000.00 at most the excess of
    // the deductions over the tax (`impostaNetta` below 0).
    Currency TrattamentoIntegrativoAnnuo(const DataSet &conguaglio, int giorni, Currency reddito,
                                         Currency impostaNetta) override;
    Currency DetrazioneLavDip(const DataSet &detrazioni, Currency reddito) override;
    // The bracket's amount, without formula.
    Currency UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                 const DataSet *liquidazione) override;
    // A sixth of the yearly amount (January and February).
    Currency DetrazioneFamiglieNumerose(const DataSet &detrazioni) override;

    // ---- the one-off bonuses of 2022 (200 euros in July, 150 in November
    // or December) ----
    // Adds the bonus due in the liquidation's month to its items `voci`
    // (see the .cpp); answers the bonus, 0 when none. A November taxable of
    // 0 or less, or above 1,538.00, raises ETovCalcola.
    Currency CalcolaBonusUnaTantum(SqlQuery &query, const DataSet &persona, DataSet &righeCorrenti,
                                   DataSet &liquidazione, DataSet &voci) override;
    // Whether the person's registers of the month and contract type already
    // hold the item.
    bool VoceBonusPresente(SqlQuery &query, int voce, int acomId, int cotId, int mese);
    // Appends the bonus item to `voci` (the item must not be there) and adds
    // the amount to the liquidation's FREGSTOTALELORDO.
    static void InserisciVoceBonus(SqlQuery &query, DataSet &voci, int voce, Currency importo, DataSet &liquidazione);
    // The November 2022 taxable of the person in whole euros, from the
    // registers of every contract type but `cotId` (0: every type).
    static Currency ImponibileBonus150(int acomId, int cotId);
    // The employer taxable of the INPS rows (retention 3 or 13) of the
    // taxable items, positive ones only, rounded to whole euros.
    static Currency SommaImponibileBonus150(DataSet &righe);

    static constexpr int VoceBonus200 = 10072;
    static constexpr int VoceBonus150 = 10073;
    // The items whose taxable counts for the 150 euros.
    static const QList<int> VociImponibileBonus150;
    static const QString MsgBonus150NonLiquidato; // "Impossibile liquidare il Bonus 150 Euro. ..."
    static const QString MsgBonus150Soglia;       // "La retribuzione imponibile ... supera 1.538 euro"
};

class TWunCalcolaAnno2023 : public TWunCalcolaAnno2022 {
public:
    bool EsoneroIvsAttivo() const override;
    bool Regole2023() const override;
    int AdeguaNumeroMensilita(int numero) const override;
    void AdeguaFigliNucleo(int mese, int &figli1, int &figli2, int &figli3) const override;
    bool BonusUnaTantumAttivi() const override;
    // No one-off bonus after 2022.
    Currency CalcolaBonusUnaTantum(SqlQuery &query, const DataSet &persona, DataSet &righeCorrenti,
                                   DataSet &liquidazione, DataSet &voci) override;
    void FiltroGruppiVoci(QString &testo) const override;
    std::unique_ptr<DataSet> EsoneriIvs(int mese, int cotId, int gruppo) override;

    // ---- the IVS contribution exemption (wunUCalcoliAnnoEsoneri.cpp) ----
    // The exemption items of the person's month (QRY_UNIEMENS_ESONERO_IVS,
    // `filtro` added to its conditions) copied into the declaration row as
    // the recovery of the salary and of the thirteenth month.
    void CompilaEsoneroIvsUniemens(DataSet &dichiarazione, SqlQuery &query, const DataSet &persona,
                                   const QString &filtro, int mese, Currency altroImponibile) override;
    // 1.5 per cent of the yearly 10001 and 10002 of the qualification, a
    // month's share, rounded to cents.
    Currency ImportoAggiuntivoCCNL(DataSet &ccnl, int qualifica) override;
    // ImportoAggiuntivoCCNL in the tables in force at the row's month
    // (MES_IMESID) for its seniority class, scaled to reduced hours.
    Currency ImportoAggiuntivoAnzianita(const DataSet &anzianita, SqlQuery &ccnl, int qualifica, int aiuto,
                                        int ore) override;
    // The salary and thirteenth-month exemptions of a salary liquidation
    // into the items 10074 and 10075 (see the .cpp).
    void CalcolaEsoneroLiquidazione(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                    const DataSet &persona) override;
    // Appends the exemption items (10074, 10075) to a new liquidation.
    void InserisciVociEsonero(DataSet &voci) override;
    // In December, for kinds 1 and 2: the contract-vacancy allowance of the
    // month (dmWunIvc) x 6.7 x 13, rounded to cents.
    Currency ImportoUnaTantumDicembre(const DataSet &liquidazione, const DataSet &persona, int tipo) override;

    // The recovery code of the declaration for an exemption item and its
    // percentage.
    virtual QString CodiceRecuperoEsonero(int voce, Currency percentuale);
    // The recovery fields of one exemption item in the declaration row.
    virtual void CompilaRecuperoSgravi(DataSet &dichiarazione, int mese, Currency altroImponibile, Currency importo,
                                       Currency percentuale, int voce);
    // Whether the thirteenth month has its own exemption.
    virtual bool EsoneroTredicesima() const;
    // The exemption percentage of an item for a month's salary taxable.
    virtual Currency PercentualeEsoneroIvs(int voce, int mese, Currency imponibileMese);

    // ---- class-level helpers, also for the employee import ----
    // Opens QRY_UNIEMENS_ESONERO_IVS for the person's month: one row per
    // exemption item and percentage (ICOMRID, FVACRPERCESONEROIVS,
    // FVACRLORDO), items in order. `filtro` is a program-made condition
    // (" AND REGS...") or empty.
    static void ApriEsoneriUniemens(SqlQuery &query, int acomId, int mese, const QString &filtro);
    // The taxable an exemption was taken on: importo x 100 / percentuale,
    // rounded to cents. A zero percentage raises ETovCalcola.
    static Currency ImponibileDaEsonero(Currency importo, Currency percentuale);
    // The gross and percentage of an exemption item of the liquidation
    // (stored too with `salva`). A liquidation without the item was made
    // before the items existed: the user is asked whether to go on without
    // it (false) or to stop (a silent abort).
    static bool AggiornaVoceEsonero(DataSet &voci, int voce, Currency importo, Currency percentuale, bool salva);
    // The rows of ApriEsoneriUniemens (read into `righe`) into the
    // declaration row; the rest of the other taxable is taken once every
    // row is placed, whatever their order.
    void CompilaRigheEsonero(DataSet &dichiarazione, DataSet &righe, int mese, Currency altroImponibile);

    static const QString MsgVariazionePrecedente; // "Variazione creata prima dell'aggiornamento 22.0.6. ..."
    static const QString MsgRitenuteMiste;        // "Impossibile applicare il taglio ... a carico dipendente"
    static const QString MsgRitenuteMisteMese;    // the same, "... nel mese"

protected:
    // The exemption and the mothers' relief wait while the caller's item
    // dataset shows only part of the items (it is filtered).
    static bool VociParziali(const DataSet &voci);
    // The salary exemption, also of later years.
    void EsoneroIvsLiquidazione(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                const DataSet &persona);
};

class TWunCalcolaAnno2024 : public TWunCalcolaAnno2023 {
public:
    Currency DetrazioneAggiuntivaLavDip(int giorni) const override;
    bool Regole2024() const override;
    bool EsoneroTredicesima() const override;

    // ---- exemption and mothers' relief (wunUCalcoliAnnoEsoneri.cpp) ----
    Currency ImportoAggiuntivoCCNL(DataSet &ccnl, int qualifica) override;
    Currency ImportoAggiuntivoAnzianita(const DataSet &anzianita, SqlQuery &ccnl, int qualifica, int aiuto,
                                        int ore) override;
    // The 2023 exemption, or for a person with LACOMDISESONEROIVS 2 the
    // mothers' relief (item 10077, at most 250.00 in the month).
    void CalcolaEsoneroLiquidazione(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                    const DataSet &persona) override;
    // The items 10074, 10075 and 10077.
    void InserisciVociEsonero(DataSet &voci) override;
    Currency ImportoUnaTantumDicembre(const DataSet &liquidazione, const DataSet &persona, int tipo) override;
    // Women with a permanent (1) or fixed-term (2) relationship.
    bool DecontribuzioneMadriAmmessa(const DataSet &persona, QString &messaggio) const override;
    QString CodiceRecuperoEsonero(int voce, Currency percentuale) override;
    void CompilaRecuperoSgravi(DataSet &dichiarazione, int mese, Currency altroImponibile, Currency importo,
                               Currency percentuale, int voce) override;
    Currency PercentualeEsoneroIvs(int voce, int mese, Currency imponibileMese) override;

    static constexpr int TettoMadriMese = 250;  // euros of relief a month
    static const QString MsgMadriConEsonero;    // "Impossibile applicare la decontribuzione madri se ..."
    static const QString MsgMadriRitenuteMiste; // "Impossibile applicare la decontribuzione madri in ..."

protected:
    void DecontribuzioneMadri(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                              const DataSet &persona);
};

class TWunCalcolaAnno2025 : public TWunCalcolaAnno2024 {
public:
    TWunCalcolaAnno2025();
    ~TWunCalcolaAnno2025() override;

    bool TaglioCuneoAttivo() const override;
    QString NomeFrameConguaglio() const override;
    void FiltroGruppiVoci(QString &testo) const override;
    void ChiudiTabelle() override;

    // ---- the tax-wedge cut (wunUCalcoliAnnoEsoneri.cpp) ----
    // The percentage of the income (PercentualeTaglioCuneo) and the sum it
    // gives, on the income of one payment with `perRata`; nothing for a
    // person whose exemption is switched off or who takes the mothers'
    // relief.
    void CalcolaTaglioCuneo(const DataSet &persona, Currency &importo, bool perRata, Currency reddito,
                            Currency &percentuale) override;
    // The sum and percentage of the year's adjustment (FCONGIMPNETTO).
    void CompilaTaglioCuneoConguaglio(const DataSet &persona, DataSet &conguaglio) override;
    // The sum of a salary liquidation into item 10078 (stored when the
    // liquidation is, in `voci` otherwise), unless the liquidation already
    // has a wedge sum.
    void InserisciTaglioCuneo(const DataSet &persona, DataSet &liquidazione, bool perRata, DataSet &ritenute,
                              DataSet &voci) override;
    // No exemption; the mothers' relief is refused (EUqError).
    void CalcolaEsoneroLiquidazione(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                    const DataSet &persona) override;
    void InserisciVociEsonero(DataSet &voci) override;
    // Women with a relationship of type 1 to 8 or 16.
    bool DecontribuzioneMadriAmmessa(const DataSet &persona, QString &messaggio) const override;
    // The earlier years' rule plus UlterioreDetrazioneCuneo; 0 for a person
    // with the 2014 bonus excluded (IACOMBONUS66ECC).
    Currency UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                 const DataSet *liquidazione) override;

    // 7.1 up to 8,500.00, 5.3 up to 15,000.00, 4.8 up to 20,000.00 per
    // cent of the income; 0 above and for no income.
    static Currency PercentualeTaglioCuneo(Currency reddito);
    // The additional deduction of middle incomes from the bracket table
    // (QRY_TDCU): the bracket's amount, falling to 0 at 40,000.00 in the
    // bracket of kind 2.
    Currency UlterioreDetrazioneCuneo(const DataSet &detrazioni, const DataSet &persona, Currency reddito);

    TUqQueryCollection &TabellaCuneo() { return m_tdcu; } // QRY_TDCU

private:
    TUqQueryCollection m_tdcu;
};

// The current rule object. Asking for it before CreaPerAnno has run is a
// programming error: every command that calculates sets the working year
// first.
TWunCalcolaAnno &WunCalcolaAnno();
// Whether a rule object is there.
bool WunCalcolaAnnoPresente();
