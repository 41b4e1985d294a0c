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
// This class keeps the loop, the tables and the replace choice; each
// section is a class of its own, given what it needs of the run and of the
// person (TZepDmaImpContesto) and the tables it writes:
//
//   TZepDmaImpIscritto    D0 and the person: relevance, the D0 row, the
//                         person's rows taken away or carried over
//   TZepDmaImpMese        the rows of the month of the current section
//   TZepDmaImpPrecedenti  the V1 rows of earlier periods
//   TZepDmaImpFondo       the E1 rows of the pension fund
//
// The check list (Info) gathers, over a run, the missing mandatory fields
// of the rows written (TZepDmaInfo), the declarations skipped because they
// were already sent, the rows whose month adjustment left a negative
// remainder and the rows whose employer pension share was computed at the
// default rate; FineOperazione shows it instead of "Fine operazione".
#include "import/WunCFiscImpMultiSelect.h"

#include "TovCInfoChecker.h"

#include "DataSet.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class ITovDBCds;

class TZepDmaImpMultiSelect : public TwunFiscImpMultiSelect {
public:
    // The fourth replace choice of this import: the person's D0 row is kept
    // and the new section rows are added beside those already there.
    static constexpr int Aggiungi = 3;
    // "Sovrascrivi sempre", "Non sovrascrivere", "Chiedi conferma", "Aggiungi".
    static const QStringList VociSovrascrivi;
    static const QString DidascaliaForzaBloccati; // "Forza l'importazione delle denunce inviate"
    // The check-list line of a sent declaration left as it was.
    static const QString MsgBloccato;

    // `store` (not owned): the main window's, on the working period;
    // `connessione`: the payroll archive (none: the global one).
    explicit TZepDmaImpMultiSelect(ITovDBCds &store, platform::Database *connessione = nullptr);
    ~TZepDmaImpMultiSelect() override;

    ITovDBCds &Store() const { return m_store; }

    // ---- what the window holds ----
    // cbForzaBloccati: import also the persons whose declaration was sent.
    bool ForzaBloccati = false;
    // The replace choice, 0 to 3 (VociSovrascrivi); rgSovraScrivi.
    int Modo = ChiediConferma;
    // The check list of the run (fmZepDmaInfo), and how it is shown at the
    // end (none: as a message of the notifier).
    TTovInfoChecker Info;
    std::function<void(const QStringList &righe)> MostraInfo;

    // ---- overrides ----
    // cdsImport (inherited) holds TD0_ANAG, cdsSostituto (inherited)
    // TAMM_AMMINISTRAZIONE of the year (month 0).
    void ImportaSostituto() override;
    void SalvaTabella(platform::DataSet &dataSet) override;
    void ImportaRiga() override;
    // The candidates, and the run's sections: E0 and V1, or V1 and E0 for
    // ImportaSuV1.
    void PreparaElenco() override;
    void ErroreImportazione(const std::exception &errore) override;
    void FineOperazione() override;
    int Mese() const override;
    QList<platform::DataSet *> TabelleInMemoria() override;
    void TabellaRipristinata(platform::DataSet &dataSet) override;
    // A person's saves are one unit of the store (ITovDBCds). Its D0 row is
    // saved as it is posted (the section rows take its registry id); the
    // section tables it changes are saved once each, right before its
    // commit: a save scans the month's rows of its table, and a person
    // posts several rows of each.
    void ApriAnagrafica() override;
    void PrimaDelCommit() override;
    // The month of the store's tables (and its year's declarant), held
    // while the run imports (none for local files).
    std::unique_ptr<TTovDBCdsImportazione> ImportazionePeriodo() override;
    std::unique_ptr<TTovDBCdsImportazione> ImportazioneDichiarante() override;

protected:
    // The fiscal code of the candidate's compensation.
    QString CodiceFiscale() const;

private:
    struct TSezioni;

    // The four tables of the period, each loaded when not open yet.
    void ApriTabelle();
    // The person once found new, replaced or added to: relevance, D0 row,
    // pay rows, end-of-service marker.
    void ImportaIscritto();
    // The pay rows of the month, of earlier periods and of the pension fund.
    void ImportaRetribuzioni();
    // The replaced person's rows of the month and their paying entities.
    void CancellaPersona(const QString &codicePresente);
    QString NomeTabella(const platform::DataSet &dataSet) const;
    TSezioni &Sezioni() const;

    ITovDBCds &m_store;
    platform::DataSet cdsQuadro;      // "T" + the current section + "_RETR"
    platform::DataSet cdsAltroQuadro; // "T" + the other section + "_RETR"
    platform::DataSet cdsE1;          // TE1_FONDIPENSIONE
    // The paying entities of the E0 and V1 rows (TEV_ENTEVERSANTEE0,
    // TEV_ENTEVERSANTEV1), loaded when a replaced person's go with its rows.
    platform::DataSet cdsVersantiE0;
    platform::DataSet cdsVersantiV1;
    // The context and the sections of the run (made by PreparaElenco).
    std::unique_ptr<TSezioni> m_sezioni;
    bool m_scriviD0 = true; // the person's D0 row is written ("Aggiungi": kept)
    // The section tables a person changed, saved once each before its
    // commit (SalvaTabella, PrimaDelCommit).
    QList<platform::DataSet *> m_daSalvare;
};
