#pragma once
// The flow of "Importa (ex Dma)" without any display: the rules of the
// launcher TdmZepDmaImporta (ui/zepMDmaImporta.h), and what a program
// without windows (tools/zepDemoDeclaration) runs with steps of its own.
//
// ImportaDma, in order:
//   1. the working year and month of the store; the financial year and the
//      parameters module on that year (SelezionaAnno);
//   2. the employer's sites (ApriSedi);
//   3. the parameters made from "TWUNDMAPAR.XML", the defaults and the
//      forced values (PreparaParametri);
//   4. the wizard (EseguiWizard; cancelled: nothing saved, nothing
//      imported);
//   5. the parameters saved to "TWUNDMAPAR.XML" (with a ".BAK" copy);
//   6. for a V1 import of an earlier year, the financial year switched to
//      that year, so that the candidates and the pay are that year's (a
//      later year is refused with a message);
//   7. the CCNL pay table (ScegliTabellaCCNL; 0: by date);
//   8. the person multi-select and import (EseguiImportazione).
// Whatever happens, the datasets are closed at the end and the financial
// year is the working one again.
#include "UqQueryCollection.h"

#include "DataSet.h"

#include <QString>
#include <functional>

class ITovDBCds;

class TZepDmaImporta {
public:
    static const QString NomeFileParametri;   // "TWUNDMAPAR.XML"
    static const QString Wizard;              // "TfmZepWizDmaImp"
    static const QString Selezione;           // "TfmZepDmaImpMultiSelect"
    static const QString PeriodoIniziale;     // "2012-10": the first period of the public-sector rows
    static const QString MsgNonAttiva;        // "La gestione ex DMA è attiva da ottobre 2012"
    static const QString MsgAnnoV1Successivo; // a V1 year after the declaration's

    // The wizard on the parameters and the sites: the caption it ended with,
    // empty when cancelled.
    using WizardFunction =
        std::function<QString(const QString &classe, platform::DataSet &parametri, TUqQueryCollection &sedi)>;
    using ImportFunction =
        std::function<void(const QString &classe, platform::DataSet &parametri, TUqQueryCollection &sedi)>;

    TZepDmaImporta();
    virtual ~TZepDmaImporta();
    TZepDmaImporta(const TZepDmaImporta &) = delete;
    TZepDmaImporta &operator=(const TZepDmaImporta &) = delete;

    TUqQueryCollection xqcSos;      // the employer's sites (QRY_SED)
    platform::DataSet cdsTmp;       // the parameters file as loaded
    platform::DataSet cdsParametri; // the parameters of one run, one record
    static platform::FieldDefs CampiParametri();

    // The declaration-table store (not owned): its year and month are the
    // working period.
    void SetStore(ITovDBCds *store) { m_store = store; }
    ITovDBCds *Store() const { return m_store; }
    // Where "TWUNDMAPAR.XML" is kept: TWunUtil::CartellaUsr() unless set.
    void SetCartellaParametri(const QString &cartella) { m_cartella = cartella; }
    QString FileParametri() const;

    // Whether the period "AAAA-MM" is one the public-sector rows exist for.
    static bool PeriodoAttivo(const QString &annoMese);

    void ApriSedi();
    // cdsParametri made anew for the working period (year, month).
    void PreparaParametri(int anno, int mese);
    // The whole flow above; false when the wizard was cancelled.
    bool ImportaDma();

    // ---- the replaceable steps ----
    WizardFunction EseguiWizard;
    ImportFunction EseguiImportazione;
    std::function<int()> ScegliTabellaCCNL; // TfmWunTabCCNL::Execute without forcing; none: 0
    // The financial year (and its rule object and the parameters module)
    // for the working year.
    std::function<void(int anno)> SelezionaAnno;

private:
    void Chiudi();

    ITovDBCds *m_store = nullptr;
    QString m_cartella;
};
