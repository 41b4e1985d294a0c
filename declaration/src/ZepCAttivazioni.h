#pragma once
// The import flow of the commands "Importa" and "Importa iscritti FPLS",
// without any display: the rules of the command registry TdmZepAttivazioni
// (ui/ZepMAttivazioni.h), which derives from this class, and what a program
// without windows (tools/zepDemoDeclaration) runs with steps of its own.
//
// The flow of one import (Importa):
//   1. the working year loaded and its rule object made (SelezionaAnno);
//   2. the employer group settled (ImpostaGruppo; none chosen: nothing);
//   3. the employer's sites opened (ApriSedi);
//   4. the parameters made from "TEMENSPAR.XML", the defaults and the
//      forced values (PreparaParametri);
//   5. the wizard (EseguiWizard; cancelled: nothing saved, nothing
//      imported);
//   6. the parameters saved to "TEMENSPAR.XML";
//   7. the person multi-select and import (EseguiImportazione).
// The datasets are closed on every path, a failure included.
#include "UqQueryCollection.h"

#include "DataSet.h"
#include "Enumeration.h"

#include <QString>
#include <functional>

class ITovDBCds;

class TZepAttivazioni {
public:
    enum class TipoImport { Dipendenti, FplsExEnpals };

    // The wizard of an import: runs the window class on the parameters and
    // the employer's sites; answers the caption it ended with, empty when
    // the user cancelled.
    using WizardFunction =
        std::function<QString(const QString &wizardClass, platform::DataSet &parametri, TUqQueryCollection &sedi)>;
    // The person multi-select and import that follow a confirmed wizard.
    using ImportFunction =
        std::function<void(const QString &formClass, platform::DataSet &parametri, TUqQueryCollection &sedi)>;
    // The employer group of an import: the user's choice among the
    // archive's groups, given the one set before (0 none); 0 when cancelled.
    using GruppoFunction = std::function<qint64(const platform::EnumItems &gruppi, qint64 attuale)>;

    static const QString NomeFileParametri; // "TEMENSPAR.XML"
    // The window classes of the wizards and multi-selects of the two imports.
    static const QString WizardDipendenti;    // "TfmZepWiz"
    static const QString WizardFpls;          // "TfmZepWizFplsExEnpals"
    static const QString SelezioneDipendenti; // "TfmZepImpMultiSelect"
    static const QString SelezioneFpls;       // "TfmZepImpFplsExEnpalsMultiSelect"

    TZepAttivazioni();
    virtual ~TZepAttivazioni();
    TZepAttivazioni(const TZepAttivazioni &) = delete;
    TZepAttivazioni &operator=(const TZepAttivazioni &) = delete;

    // ---- datasets ----
    TUqQueryCollection xqcSos;      // the employer's sites (payroll connection)
    platform::DataSet cdsTmp;       // scratch
    platform::DataSet cdsParametri; // the import parameters (fields below)
    // The fields of cdsParametri, in order.
    static platform::FieldDefs CampiParametri();

    // The declaration-table store (not owned).
    void SetStore(ITovDBCds *store) { m_store = store; }
    ITovDBCds *Store() const { return m_store; }
    // Where "TEMENSPAR.XML" is kept: TWunUtil::CartellaUsr() unless set.
    void SetCartellaParametri(const QString &folder) { m_cartellaParametri = folder; }
    QString CartellaParametri() const;
    // The parameter file: the existing one whatever the case of its
    // letters, else "TEMENSPAR.XML" in that folder.
    QString FileParametri() const;

    // ---- the steps ----
    // Opens xqcSos on QRY_SED for the current employer group.
    void ApriSedi();
    // Whether the declarant table of the store's year (month 0) is empty.
    bool SostitutoDaAmministrazione();
    // `parametri` made anew on `campi` with one record in insert state,
    // each field the value of the field of the same name of the parameter
    // file (read into `appoggio`, closed again), null when the file has no
    // such field or there is no file. A damaged file, or a value that is
    // not of its field's type, fails with an error naming the file and
    // leaves `parametri` as it was.
    static void ParametriDaFile(platform::DataSet &parametri, const platform::FieldDefs &campi,
                                platform::DataSet &appoggio, const QString &file);
    // Step 4 of the import flow: cdsParametri made anew with one
    // record, the values of the parameter file, the defaults, the forced
    // values and the site's municipality; left in browse state.
    void PreparaParametri(TipoImport tipo);
    // Before any import: the employer group "UQUP_DwgId" settled by the
    // parameters module (the one kept, the archive's only one, or
    // ScegliGruppo's); false when the user chose none (nothing is
    // imported). Without a parameters module the group set stays as it is.
    bool ImpostaGruppo();
    // The whole flow at the top of this file; false when the group or the
    // wizard was cancelled.
    bool Importa(TipoImport tipo);

    // ---- the replaceable steps ----
    GruppoFunction ScegliGruppo;
    WizardFunction EseguiWizard;
    ImportFunction EseguiImportazione;
    // Loads the working financial year into wunAnnoFinanziario and makes
    // the year's rule object (TWunCalcolaAnno::CreaPerAnno).
    std::function<void(const QString &anno)> SelezionaAnno;

private:
    void Chiudi();

    QString m_cartellaParametri;
    ITovDBCds *m_store = nullptr;
};
