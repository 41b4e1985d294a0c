#pragma once
// The declaration program's import base: the rules of
// TfmZepFiscImpMultiSelect (zepFFiscImpMultiSelect), under the private-sector
// import (employees, collaborators, declarant) and the performing-arts
// import. It runs the payroll library's per-person loop
// (WunCFiscImpMultiSelect.h: one transaction per person, the same virtual
// operations) and differs in where the tables live: in the declaration-table
// store of the working period instead of files, written inside the person's
// transaction and so rolled back with it. It adds two lookups the
// subclasses put into their rows, the citizenship and the pension regime.
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
    // Whether the store keeps its tables in local files (TZepCdsLocale),
    // which are no part of the person's transaction.
    bool StoreLocale() const;

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
    // declarant). It runs in the person's transaction.
    void SalvaTabella(platform::DataSet &dataSet) override;
    // Nothing to write again in the archive's store: the rollback undid its
    // rows. A local-file store (TZepCdsLocale) has the table written again.
    void TabellaRipristinata(platform::DataSet &dataSet) override;
    // The declarant of the year (TZepImpSostituto over FileSediInps).
    void ImportaSostituto() override;
    // In the local-file form a person's rows are written to their files
    // once the person is whole, not row by row: a process killed between
    // two rows of a person would leave the first in the file (a file write
    // is no part of the transaction). The tables deferred during the person
    // are written here.
    void PrimaDelCommit() override;

protected:
    // The save of `dataSet` deferred to the person's end: the local-file
    // form, during a person; false when it is to be written now.
    bool RinviaSalvataggio(platform::DataSet &dataSet);

private:
    static bool EDichiarante(const QString &tabella);

    ITovDBCds &m_store;
    QString m_nomeTabella;
    QList<platform::DataSet *> m_rinviati; // saves deferred to the person's end
    bool m_scriviOra = false;              // writing them (or a table put back)
};
