#pragma once
// The declaration program's import base: the rules of
// TfmZepFiscImpMultiSelect (zepFFiscImpMultiSelect), under the private-sector
// import (employees, collaborators, declarant) and the performing-arts
// import. It runs the payroll library's per-person loop
// (WunCFiscImpMultiSelect.h: one transaction per person, the same virtual
// operations) and differs in where the tables live: in the declaration-table
// store of the working period instead of files, each person's saves one
// unit of the store (ITovDBCds: begun with the person, committed right
// before its transaction, dropped when it fails), so that whatever store it
// is given keeps a person's rows whole or not at all. It adds two lookups
// the subclasses put into their rows, the citizenship and the pension
// regime.
//
// The store is the main window's one instance, positioned on the working
// period; the declarant table is kept per year, under month 0.
#include "import/WunCFiscImpMultiSelect.h"

#include <QString>

class ITovDBCds;

class TZepFiscImpMultiSelect : public TwunFiscImpMultiSelect {
public:
    // `store` (not owned) on the payroll connection; none: the global one.
    explicit TZepFiscImpMultiSelect(ITovDBCds &store, platform::Database *connessione = nullptr);

    ITovDBCds &Store() const { return m_store; }

    // The INPS offices' code table the declarant step of the subclasses
    // reads (TZepImpSostituto::TabellaSediInps among the program's code
    // tables; the window sets it).
    QString FileSediInps;

    // Opens a declaration table of the period into the dataset (none:
    // cdsImport, whose table name SalvaTabella then uses). A dataset
    // already open is not loaded again, so rows written earlier in the
    // dialog stay; the declarant is always read as month 0 of the store's
    // year, every other table as the store's year and month.
    void CaricaTabella(const QString &tabella, platform::DataSet *dataSet = nullptr);
    // The table cdsImport holds (empty until CaricaTabella opened it).
    const QString &NomeTabella() const { return m_nomeTabella; }

    // The ISTAT code of the candidate's state of citizenship; of several,
    // the lowest code (QRY_ANA_CITTADINANZA); empty when there is none.
    QString Cittadinanza();
    // The candidate's compensation's IACOMREGIMEPOST95; -1 when the
    // compensation has no row or no value.
    int RegimePost95();

    // cdsImport written to the store under the table CaricaTabella
    // remembered, for the store's year and month (month 0 for the
    // declarant). During a person it is a save of the person's unit.
    void SalvaTabella(platform::DataSet &dataSet) override;
    // The person's unit begins with its first step.
    void ApriAnagrafica() override;
    // The person's unit dropped (once for all its tables).
    void TabellaRipristinata(platform::DataSet &dataSet) override;
    // The month of the store's tables (and its year's declarant), held
    // while the run imports (none for local files).
    std::unique_ptr<TTovDBCdsImportazione> ImportazionePeriodo() override;
    std::unique_ptr<TTovDBCdsImportazione> ImportazioneDichiarante() override;
    // The declarant of the year (TZepImpSostituto over FileSediInps).
    void ImportaSostituto() override;
    // The person's unit committed: the person is whole.
    void PrimaDelCommit() override;
    // The store's units over, then the base's message.
    void FineOperazione() override;

private:
    static bool EDichiarante(const QString &tabella);

    ITovDBCds &m_store;
    QString m_nomeTabella;
};
