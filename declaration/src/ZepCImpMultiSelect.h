#pragma once
// The private-sector import of a month: the rules of TfmZepImpMultiSelect
// (ZepFImpMultiSelect), which the "Importa" command runs after the wizard
// "Importa dati per EMens" (ZepCWiz.h). It lists the persons of the month
// with INPS withholdings (QRY_EMENS_IMP) and writes each selected one, in
// the person's own transaction, into the declaration tables of the working
// period: the employee rows of TEMD_DIPENDENTI, one per INPS company number
// and working-time kind ("F" full time, retention 3; "P" part time,
// retention 13), and the collaborator rows of TEMC_COLLABORATORI.
//
// The steps of one person (ImportaRiga), in order:
//   1. the two tables opened (once per dialog);
//   2. no fiscal code: the error message, nothing imported;
//   3. rows of the person already in either table, under its fiscal code
//      or, when it was corrected in the payroll since, under an earlier
//      one (the rows name their payroll person): the replace choice
//      (rgSovraScrivi); replacing deletes every row of the person in both;
//   4. the employee rows (ImportaDipendente, ZepCImpDipendenti.cpp): the
//      pay periods, one row per working-time kind over its periods, then
//      the accessory pay on its own company number;
//   5. the collaborator rows (TZepImpCollaboratori, zepCImpCollaboratori.h).
// Each employee row is built by RigaDipendente in a fixed order: the
// amounts, the row with its defaults, contract hours and part-time share,
// theoretical pay, hire and termination, taxable and contribution,
// then the rest of the row (ZepCImpDipendentiDati.cpp): the IVS exemption,
// the week slots, the day codes, paid and contributed days, part-time hours
// with useful weeks and the minimum pay, family allowance and the one-off
// bonus of 2022; then the post.
//
// When the parameters ask for the declarant (SOSTITUTO), its row of the
// year is written once, before the persons (TZepImpSostituto,
// zepCImpSostituto.h); a failure there ends the run before any person.
//
// The earlier program's E-Mens declaration (TZepDenuncia::EMens, and its
// local-file form EMensLocale) takes the same steps with fewer fields
// (ZepCImpDipendentiEMens.cpp): an employee row carries the taxable and,
// with the parameter VarRetributive, the second base item and the accessory
// pay of kind 4 as an increase of the previous year's taxable; no
// contribution, citizenship, pension regime, minimum pay, day codes,
// contributed days or hours, exemption, allowance or bonus. The contract
// code is always "EP"; contribution type "71" refuses an open-ended contract
// ("Non abilitato per il personale a tempo indeterminato.", naming the type
// chosen in the wizard as the cause); the theoretical
// pay sums seven items. The local-file form writes no contract hours,
// part-time share or theoretical pay.
//
// Every amount is a platform::Currency; truncations and roundings are made
// on the scaled integer.
#include "ZepUMainState.h"
#include "zepCFiscImpMultiSelect.h"
#include "zepCImpCollaboratori.h"

#include "Currency.h"
#include "DataSet.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"

#include <QDate>
#include <QList>
#include <QString>
#include <map>
#include <memory>
#include <utility>

class TdmZePDisCalcola;

class TZepImpMultiSelect : public TZepFiscImpMultiSelect {
public:
    using Currency = platform::Currency;

    static const QString TabellaDipendenti;    // "TEMD_DIPENDENTI"
    static const QString TabellaCollaboratori; // "TEMC_COLLABORATORI"
    // "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico"
    static const QString MsgOrariRiduzioni;
    // "Il tipo contribuzione non è compatibile con le ritenute a carico dipendente."
    static const QString MsgTipoContribuzione;
    // The contribution type that admits no employee withholding: "71".
    static const QString TipoContribuzioneSenzaRitenute;
    // The items of the theoretical pay, in order: 10001, 10002, 10003, 10004,
    // 10025, 10016, 10018, 10049, 10053, 10055, 10071, 10070.
    static const QList<int> VociRetribuzioneTeorica;
    // The E-Mens declaration's: 10001, 10002, 10004, 10016, 10018, 10049,
    // 10053.
    static const QList<int> VociRetribuzioneTeoricaEMens;
    // "ICOMRID IN (10001, 10002, ...)" of the items of a declaration.
    static QString CondizioneVociTeoriche(TZepDenuncia denuncia = TZepDenuncia::UniEmens);
    // "Non abilitato per il personale a tempo indeterminato."
    static const QString MsgTempoIndeterminato;
    // What follows it: the contribution type chosen in the wizard (%1) as
    // the cause, and what to choose instead ("La causa è il tipo ...").
    static const QString MsgTipoContribuzioneScelto;
    // The contract code of every E-Mens row: "EP".
    static const QString CodiceContrattoEMens;

    // `store` (not owned) on the payroll connection; none: the global one.
    // The rows are made for `denuncia`: the program's (TZepProgramma).
    explicit TZepImpMultiSelect(ITovDBCds &store, platform::Database *connessione = nullptr);
    TZepImpMultiSelect(ITovDBCds &store, TZepDenuncia denuncia, platform::Database *connessione = nullptr);
    ~TZepImpMultiSelect() override;

    TZepDenuncia Denuncia() const { return m_denuncia; }
    // Either form of the earlier program.
    bool EMens() const { return m_denuncia != TZepDenuncia::UniEmens; }

    // ---- what the window holds ----
    platform::DataSet cdsColl;      // TEMC_COLLABORATORI of the period
    TUqQueryCollection xqcAppoggio; // the month's pay-item amounts (theoretical pay of a row without periods)
    TUqQueryCollection xqcVape;     // the person's pay periods of the month, by DVAPEDAL
    TUqQueryCollection xqcvacr;     // pay items of a period's register (theoretical pay)
    TUqQueryCollection xqcCCNL;     // contract amounts (theoretical pay)
    platform::DataSet cdsCompenso;  // the person's compensation row, for the calculators
    TZepImpCollaboratori Collaboratori{*this, cdsColl}; // the collaborator rows of a person (its xqcColl)

    // ---- the import parameters read ----
    bool PtComeIntero() const;     // PT_COME_INTERO: part time counted as full time
    QString MatricolaInps() const; // MatricolaINPS
    // MatricolaINPSAcc, or MatricolaINPS when it is blank.
    QString MatricolaInpsAccessori() const;
    QString TipoContribuzione() const;
    QString ComuneLavoro() const;
    // VarRetributive (E-Mens): the taxable of earlier years into the row's
    // variation; false when the parameters do not have it.
    bool VarRetributive() const;

    // ---- overrides ----
    // cdsImport under TEMD_DIPENDENTI, cdsColl under TEMC_COLLABORATORI;
    // other datasets are not saved.
    void SalvaTabella(platform::DataSet &dataSet) override;
    // One person, the steps at the top of this file.
    void ImportaRiga() override;
    // QRY_EMENS_IMP for the working year, the month and the group.
    void PreparaElenco() override;
    // The compensation (QRY_CED_ACOM), kept in cdsCompenso too.
    void ApriCompenso() override;
    // Both tables a person may change.
    QList<platform::DataSet *> TabelleInMemoria() override;
    // Both tables opened before the first person, whatever the store: a
    // table that cannot be read ends the run before any person.
    void PrimaDiImportare() override;

    // ---- the replace choice ----
    // Whether either table holds a row of the fiscal code in the period.
    bool PersonaPresente(const QString &codiceFiscale) const;
    // The other fiscal codes under which either table holds rows of the
    // candidate's payroll person in the period: the code was corrected in
    // the payroll since, and those rows are the person's all the same.
    QStringList AltriCodiciPersona(const QString &codiceFiscale) const;
    // Deletes every row of the person and period from both tables: those of
    // the fiscal code and those of the payroll person.
    void CancellaPersona(const QString &codiceFiscale);

    // ---- the employee rows (ZepCImpDipendenti.cpp) ----
    // Taxable and contribution of a code and a component or kind.
    struct Somme {
        Currency imponibile;
        Currency contributo;
        Somme &operator+=(const Somme &altre);
    };
    // The employee rows of the person and the accessory pay.
    void ImportaDipendente();
    // xqcVape on QRY_EMENS_VAPE, every period given its start and end.
    void ApriPeriodi();
    // One row of retention `codice` over the periods of `filtro` (empty:
    // every period).
    void RigaDipendente(int codice, const QString &filtro);
    // The accessory pay of retention `codice` into the row of the accessory
    // company number.
    void RigaAccessori(int codice);
    // The INPS taxables and withholdings of a person's months, read at
    // once (QRY_EMENS_SOMME_INPS) for both retentions (3 and 13): the
    // fundamental pay by component (10001, 10002), the accessory pay by tax
    // kind (3, 4) with the relationship types that are not pay left out.
    // A part without rows holds zeros.
    class SommeInps {
    public:
        struct Importi {
            Currency imponibile;
            Currency dipendente;      // RIT_DIP
            Currency amministrazione; // RIT_AMM
        };
        // The sums of the candidate's IACOMID, MESE_INIZIALE and
        // MESE_FINALE through `query`.
        static SommeInps Leggi(platform::SqlQuery &query, const platform::DataSet &candidato);
        const Importi &Fondamentali(int codice, int componente) const;
        const Importi &Accessori(int codice, int tipo) const;

    private:
        static int Posizione(bool accessori, int codice, int chiave);
        Importi m_parti[8];
    };
    // The taxable and contribution of a component (10001 or 10002) from the
    // person's sums; 10001 adds its employee share to the salary
    // withholding.
    Somme SommeFondamentali(int codice, int componente);
    // The same of an accessory kind (3 or 4).
    Somme SommeAccessori(int codice, int tipo);
    // A new row of cdsImport (in insert) with the defaults of an employee
    // row of retention `codice` on the company number.
    void NuovaRiga(int codice, const QString &matricola);
    // OrarioContrattuale and, for part time, PercPartTime over the periods.
    void OrarioEPartTime(int codice);
    // RetribTeorica over the periods: the items of the first period's
    // register and the contract amounts of the month.
    void RetribuzioneTeorica();
    // GiornoAssunzione/TipoAssunzione and GiornoCessazione/TipoCessazione
    // from the first start and the last end of the periods.
    void AssunzioneCessazione();
    // Before every post of an employee row: contract hours and theoretical
    // pay of a row that has none.
    void cdsImportBeforePost();

    // The row of a person, period and company number whose working-time
    // kind is that of `codice`: "F" for retention 3, any part-time kind
    // ("P", "V" or "M") for 13. The dataset stands on it when found.
    static bool TrovaRiga(platform::DataSet &righe, const QString &codiceFiscale, const QString &periodo, int codice,
                          const QString &matricola);
    // "F" for retention 3, "P" otherwise.
    static QString Qualifica2(int codice);
    // Whether a working-time kind is part time ("P", "V" vertical, "M"
    // mixed).
    static bool PartTime(const QString &qualifica2);
    // "CPUB" from February 2022 on, "EP" before.
    static QString CodiceContratto(int anno, int mese);

    // ---- the E-Mens rows (ZepCImpDipendentiEMens.cpp) ----
    // Contribution type "71" and an open-ended contract (relationship type
    // 1 to 4): MsgTempoIndeterminato.
    void ControllaTempoIndeterminato() const;
    // The rest of an E-Mens row after its taxable: the variation of the
    // previous year (`iis`, item 10002), the week slots, paid days and, for
    // part time (retention 13), the useful weeks.
    void CompletaRigaEMens(int codice, Currency iis);
    // Anno (the working year - 1) and AumentoImponibile increased by
    // `importo`, when it is above 0 and VarRetributive is set.
    void AumentaImponibileAnnoPrecedente(Currency importo);

    // The employee share of the salary component of the row being made
    // (the exemption's condition).
    Currency RitenutaStipendio() const { return m_ritenutaStipendio; }

    // ---- the rest of an employee row (ZepCImpDipendentiDati.cpp) ----
    // Run by RigaDipendente on the row being made, periods filtered, in
    // this order.
    // The week slots of a month: week number, last day within the month
    // and whether a period touches the week. Periods are taken within the
    // month.
    struct TSettimana {
        int id = 0;
        QDate finoA;
        bool coperta = false;
    };
    static QList<TSettimana> Settimane(int anno, int mese, const QList<std::pair<QDate, QDate>> &periodi);
    // The distinct days of the month the periods cover, each taken within
    // the month.
    static int GiorniCoperti(int anno, int mese, const QList<std::pair<QDate, QDate>> &periodi);
    // The exemption cause of an exemption item (10074 salary, 10075
    // thirteenth month) by its percentage: 3 or 7 "L098"/"L100", any other
    // "L094"/"L095".
    static QString CausaleEsonero(int voce, Currency percentuale);
    // EsoneroIVS* of the row from the person's exemption items of the month;
    // `base` the taxable of the salary. The second row of a person gets a
    // warning and no exemption.
    void CalcolaEsoneroIvs(Currency base);
    // IdSettimana_n, SettFinoA_n, TipoCopertura_n.
    void CalcolaSettimane();
    // GIORNI (from 2011) and the part-time kind "V" or "M" of a "P" row.
    void CalcolaGiorniMese();
    // GiorniContribuiti (not in E-Mens rows) and GiorniRetribuiti of
    // retention `codice`.
    void CalcolaGiorni(int codice);
    // OreContribuite and SettimaneUtili (part time) and RispettoMinimale.
    void CalcolaOreEMinimale(int codice);
    // SettimaneUtili from the INPS hours of the row: hours x 100 over the
    // first period's contract hours, at most 600; a period without contract
    // hours leaves them out with MsgSettimaneUtili.
    void CalcolaSettimaneUtili(Currency ore);
    // TipoANF, NumANF, ClasseANF when the month pays the allowance.
    void CalcolaAnf();
    // The allowance table code as the declaration writes it: the first "T"
    // removed ("T20A" gives "20A").
    static QString TipoAnf(const QString &tabella);
    // BonusUT* in July, November and December, once per person.
    void CalcolaBonus();
    // The INPS days and hours of a retention over the candidate's months
    // (QRY_CUD_INPS_VAIN).
    void GiorniOreInps(int codice, int &giorni, Currency &ore);

    // "Impossibile calcolare le settimane utili per %s %s. ..."
    static const QString MsgSettimaneUtili;
    // "Calcolo Esonero IVS non possibile in caso di periodo part-time ..."
    static const QString MsgEsoneroPartTime;

    // The query of a named statement for the sums and lookups of a person:
    // one per statement, so that a statement run for every code and
    // component is prepared once in the person's transaction.
    platform::SqlQuery &Istruzione(const QString &nome);

private:
    QString CodiceFiscale() const;
    const platform::Field &Parametro(const QString &nome) const;
    void ControllaTipoContribuzione(Currency ritenutaDipendente) const;
    // The part's taxable, and (not for E-Mens) RIT_DIP + RIT_AMM with the
    // employee share checked against the contribution type.
    Somme SommeDi(const SommeInps::Importi &importi) const;

    TZepDenuncia m_denuncia = TZepDenuncia::UniEmens;
    Currency m_ritenutaStipendio;
    SommeInps m_somme; // the person's, read by ImportaDipendente
    // The person's exemption and bonus are placed on one row only.
    bool m_esoneroFatto = false;
    bool m_bonusFatto = false;
    std::map<QString, std::unique_ptr<platform::SqlQuery>> m_istruzioni;
    // The day-by-day calendar, kept from one person to the next: the
    // holidays of the year are read once; a person's own periods are read
    // again for each person.
    std::unique_ptr<TdmZePDisCalcola> m_calendario;
};
