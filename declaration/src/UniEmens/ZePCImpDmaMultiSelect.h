#pragma once
// The rules of the public-sector (ex DMA) import TfmZepDmaImpMultiSelect
// (ui/ZePFImpDmaMultiSelect.h): one month of public-sector pay from the
// payroll archive into the public-sector tables of the working period. Per
// person: one row of personal data in TD0_ANAG (section D0), the pay rows of
// the month in TE0_RETR (section E0) or, when the pay is imported as a
// variation of an earlier month (ImportaSuV1), in TV1_RETR (section V1),
// and the pension-fund rows in TE1_FONDIPENSIONE (section E1).
//
// The loop is the payroll library's (WunCFiscImpMultiSelect.h): one
// transaction per person, the person's rows of all four tables put back
// when the person fails (TabelleInMemoria), the store's writes inside the
// person's transaction and rolled back with it. A warning or an assertion
// raised for a person ends that person with "Controllare i dati del
// dipendente:" and its message; the loop goes on with the next.
//
// Section fields are named in their E0 form and mapped to the row's section
// by TDmaUtil::NomeCampo: Campo(quadro, "VP_E0XXX032_IMPPENS") is
// "VN_V1XXX032_IMPPENS" in a V1 row.
//
// The check list (Info) gathers, over a run, the missing mandatory fields
// of the rows written (TZepDmaInfo), the declarations skipped because they
// were already sent, the rows whose month adjustment left a negative
// remainder and the rows whose employer pension share was computed at the
// default rate; FineOperazione shows it instead of "Fine operazione".
#include "import/WunCFiscImpMultiSelect.h"

#include "TovCInfoChecker.h"

#include "Currency.h"
#include "DataSet.h"
#include "SqlQuery.h"
#include "UqQueryCollection.h"
#include "Value.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class ITovDBCds;
class TfrQuvVapeDma;

class TZepDmaImpMultiSelect : public TwunFiscImpMultiSelect {
public:
    // The fourth replace choice of this import: the person's D0 row is kept
    // and the new section rows are added beside those already there.
    static constexpr int Aggiungi = 3;
    // "Sovrascrivi sempre", "Non sovrascrivere", "Chiedi conferma", "Aggiungi".
    static const QStringList VociSovrascrivi;
    static const QString DidascaliaForzaBloccati; // "Forza l'importazione delle denunce inviate"

    // Messages, letter for letter.
    static const QString MsgPosizioneGiuridica;  // "Verificare la posizione giuridica nello storico."
    static const QString MsgNessunDatoRilevante; // "Nessun dato rilevante ai fini della denuncia mensile"
    static const QString MsgOrarioIntero;        // "L'orario intero nei dati professionali non è impostato."
    // Check-list lines of this import.
    static const QString MsgBloccato;        // a sent declaration left as it was
    static const QString MsgResiduoNegativo; // a month row whose remainder is below zero
    static const QString MsgAliquotaDefault; // the employer share at the default rate

    // Retentions (IRICEID) and codes the statements are run with.
    static constexpr int RICE_INPDAP = 2;       // pension
    static constexpr int RICE_OP = 5;           // end-of-service (TFR)
    static constexpr int RICE_FC = 6;           // credit
    static constexpr int COS_STIPENDIO = 10001; // the basic-pay compensation
    static constexpr int TNO_VERIFICARE = 11;   // legal position to be checked in the history
    // The employer pension rate where the rate table has none.
    static const platform::Currency AliquotaAmmPredefinita; // 24.2

    // `store` (not owned): the main window's, on the working period;
    // `connessione`: the payroll archive (none: the global one).
    explicit TZepDmaImpMultiSelect(ITovDBCds &store, platform::Database *connessione = nullptr);
    ~TZepDmaImpMultiSelect() override;

    ITovDBCds &Store() const { return m_store; }

    // ---- what the window holds ----
    // cdsImport (inherited): TD0_ANAG; cdsSostituto (inherited):
    // TAMM_AMMINISTRAZIONE of the year (month 0).
    platform::DataSet cdsQuadro;      // "T" + SezioneCorrente + "_RETR"
    platform::DataSet cdsAltroQuadro; // "T" + SezioneAltra + "_RETR"
    platform::DataSet cdsE1;          // TE1_FONDIPENSIONE
    platform::DataSet cdsAppo;        // the section rows written in the current step, copied
    platform::DataSet cdsVacrPrec;    // copy of earlier-period pay items
    platform::SqlQuery qquDma;
    platform::SqlQuery qquRegs;
    platform::SqlQuery qquPrec;
    platform::SqlQuery qquVociPrec;
    platform::SqlQuery qquAcc;
    // qquAppoggio, qquAcom, qquAnaAbt: inherited.
    TUqQueryCollection xqcAppoggio;
    TUqQueryCollection xqcRica; // contribution rates (QRY_RICA_CALC)
    TUqQueryCollection xqcVarr;
    TUqQueryCollection xqcVarrPrec;
    TUqQueryCollection xqcVacrVarrPrec;
    // cbForzaBloccati: import also the persons whose declaration was sent.
    bool ForzaBloccati = false;
    // The replace choice, 0 to 3 (VociSovrascrivi); rgSovraScrivi.
    int Modo = ChiediConferma;
    // The check list of the run (fmZepDmaInfo), and how it is shown at the
    // end (none: as a message of the notifier).
    TTovInfoChecker Info;
    std::function<void(const QStringList &righe)> MostraInfo;

    // ---- the run's sections (PreparaElenco) ----
    QString SezioneCorrente = QStringLiteral("E0");
    QString SezioneAltra = QStringLiteral("V1");
    // The section dataset that holds TV1_RETR.
    platform::DataSet &DatasetV1();
    // The name of the E0 field `campoE0` in `sezione`.
    static QString Campo(const QString &sezione, const QString &campoE0);

    // ---- the person being imported ----
    // The candidate's month of pay (MESE_FINALE), the month every pay
    // statement is run with.
    int MesePaga() const;
    // The legal-position filter " AND REGS.ITNOID IN (%s)" with the
    // candidate's ITNOID.
    QString FiltroPosizione() const;
    // Whether the D0 row is written for this person.
    bool ScriviD0 = true;
    // Empty, or "1" once a written E0 or V1 row has the end-of-service code.
    QString FineServizio;
    // DREGSDMADAL and DREGSDMAAL of the last register of the month read.
    platform::Value DalRegistro;
    platform::Value AlRegistro;
    // The fiscal code of the candidate's compensation.
    QString CodiceFiscale() const;
    // The declaration month as two digits.
    QString MeseDenuncia() const;
    // The declaration year (ANNO_DENUNCIA).
    int AnnoDenuncia() const;

    // The year of the pay imported (that of wunAnnoFinanziario: the working
    // year, or the earlier one of a V1 import of an earlier year).
    int AnnoPaga() const;

    // The pay-register grid the import computes pay periods with (made on
    // first use, kept for the run).
    TfrQuvVapeDma &Vape();

    // ---- operations ----
    // The four tables of the period, each loaded when not open yet.
    void ApriTabelle();
    // The person once found new, replaced or added to: relevance, D0 row,
    // pay rows, end-of-service marker.
    void ImportaPersona();
    // A new TD0_ANAG row for the candidate, posted.
    void ImportaD0();
    // The rows of the current section for the pay of the month.
    void ImportaRetribuzioni();
    // A new row of `dataSet` for `sezione` (left in insert state) from
    // `dal` to `al`.
    void NuovaRiga(platform::DataSet &dataSet, const QString &sezione, const platform::Value &dal,
                   const platform::Value &al);
    // The basic monthly pay of a qualification in a year and month.
    platform::Currency CalcolaStipendioTabellare(int anno, int mese, int qualifica);
    platform::Currency StipendioDaCCNL(int anno, int mese, int qualifica);
    // The section's rows of the person and month: codes, deletion of empty
    // rows, checks, end-of-service marker.
    void CompletaQuadro(platform::DataSet &dataSet, const QString &sezione);
    // qquDma on QRY_DMA_PREVID_RIT_FOND for a retention, with `condizione`
    // appended before the fundamental and legal-position conditions; true
    // when it has a row.
    // `parametri`: the values of the parameters `condizione` names.
    using TParametri = QList<std::pair<QString, platform::Value>>;
    bool RitenuteMese(int ritenuta, const QString &condizione, const TParametri &parametri = {});
    // The rates of the candidate's legal position in the import's year
    // (xqcRica); 0 for a missing retention.
    platform::Currency AliquotaDip(int ritenuta);
    platform::Currency AliquotaAmm(int ritenuta);
    // The employer pension rate: that of retention 2, or the default when
    // the table has none (a check-list line says so).
    platform::Currency AliquotaAmmPensione();
    // The additional contribution applies (IACOMSCAINPDAP above 1).
    bool ContributoAggiuntivo() const;
    // Opens xqcRica for the legal position and year when not open for them.
    void ApriAliquote();
    // The copy of the current row of `dataSet` into cdsAppo.
    void CopiaInAppo(const platform::DataSet &dataSet);
    // An amount of a section row, by its E0 name.
    static platform::Currency Importo(const platform::DataSet &dataSet, const QString &sezione, const QString &campoE0);
    static void ImpostaImporto(platform::DataSet &dataSet, const QString &sezione, const QString &campoE0,
                               platform::Currency valore);
    // Removes the person filter and the order FiltraPersona and the steps set.
    static void TogliFiltro(platform::DataSet &dataSet);
    // Filters `dataSet` to the person's rows of the declaration month;
    // answers whether it has any.
    bool FiltraPersona(platform::DataSet &dataSet, const QString &sezione);

    // ---- pay of earlier periods (section V1) ----
    // The month's registers of an earlier ex-DMA period: one V1 row per
    // period, its amounts recomputed from the period's withholding rows,
    // then the items of earlier reference periods on those registers.
    void ImportaPeriodiPrecedenti();
    // The items of earlier reference periods paid with the registers of the
    // ex-DMA period [dal, al] (without dates: with the registers of the
    // month itself): one V1 row per reference period, their amounts taken
    // out of the current row of `dataSet`, the row of the pay they came
    // with.
    void ImportaVociPrecedenti(platform::DataSet &dataSet, const platform::Value &al = {},
                               const platform::Value &dal = {});
    // A new row of the V1 dataset (left in insert state).
    void NuovaRigaV1(const platform::Value &dal, const platform::Value &al);

    // ---- pension fund (section E1) ----
    static const QString
        MsgFondoPensione; // "Impossibile trovare le informazioni relative al fondo pensione dei dati retributivi ."
    // The two item categories of the fund rows.
    static constexpr int CategoriaStipendio = 10001;
    static constexpr int CategoriaIis = 10002;
    // The fund's retentions: its contribution, the worker's additional
    // contribution, the member's share.
    static constexpr int RICE_FONDO = 14;
    static constexpr int RICE_FONDO_AGGIUNTIVO = 15;
    static constexpr int RICE_FONDO_ISCRITTO = 16;
    // The person's fund rows of the month (xqcVarr), then one E1 row per
    // category that has any.
    void ImportaE1();
    void ImportaE1Categoria(int categoria);
    // Over the rows of xqcVarr under its current filter, of `ritenuta` and,
    // when `tipoCompenso` is above 0, of that item: the sum of `campo`
    // (modo 'S') or its greatest value, never below 0 (modo 'M'). The
    // filter is put back afterwards.
    platform::Currency ValoreE1(char modo, const QString &campo, int ritenuta, int tipoCompenso = 0);

    // ---- overrides ----
    void ImportaSostituto() override;
    void SalvaTabella(platform::DataSet &dataSet) override;
    void ImportaRiga() override;
    void PreparaElenco() override;
    void ErroreImportazione(const std::exception &errore) override;
    void FineOperazione() override;
    int Mese() const override;
    QList<platform::DataSet *> TabelleInMemoria() override;
    void TabellaRipristinata(platform::DataSet &dataSet) override;

private:
    // The four sums of a retention's withholding rows.
    struct TSommeRitenuta {
        platform::Currency imponibileAmm, imponibileDip, ritenutaDip, ritenutaAmm;
    };
    // The amounts of a V1 row from the sums of retention `ritenuta`
    // (pension, credit or end of service).
    void CompilaImportiV1(int ritenuta, const TSommeRitenuta &somme);
    // The amounts of the V1 row of a register of the earlier period
    // [dal, al].
    void ImportiV1Precedente(const QDate &dal, const QDate &al);
    // The V1 row of the items of one reference period (row of qquVociPrec).
    // The basic pay of a register of the earlier period ending on `al`.
    platform::Currency StipendioPeriodoPrecedente(const QDate &al, int qualifica);
    void ImportaVocePrecedente(const QString &condizioneRegistri, const platform::Value &dalRegistro,
                               const platform::Value &alRegistro, const platform::Value &dal, const platform::Value &al,
                               int tipoCompenso);
    void ImportaPeriodo();
    void ImportiPeriodo();
    void ImportaAccessori();
    void ApriAccessori(platform::DataSet &gruppi);
    bool PeriodoRilevante();
    void QuadraMese();
    void ImportiMese();
    void CancellaPersona();
    QString NomeTabella(const platform::DataSet &dataSet) const;

    ITovDBCds &m_store;
    std::unique_ptr<TfrQuvVapeDma> m_vape;
    int m_aliquoteTno = -1;
    int m_aliquoteAnno = -1;
};
