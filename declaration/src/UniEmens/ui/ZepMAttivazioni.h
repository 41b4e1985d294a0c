#pragma once
// The program's command registry: the pages "Operazioni", "Stampe" and
// "Strumenti" of the navigation bar and menu, their commands, the guards that
// run before some of them and the import command flow with its parameter
// file "TEMENSPAR.XML".
//
// For the main window (TfmZepMain):
//   - the main block creates the one instance after dmWunParams:
//         dmZepAttivazioni = new TdmZepAttivazioni(qApp);
//   - FormCreate:          dmZepAttivazioni->SetImages(<the bar's icons, by index>);
//                          dmZepAttivazioni->SetStore(&store);
//                          dmZepAttivazioni->SetCartellaBase(baseFolder);
//   - first FormActivate:  dmZepAttivazioni->SetContainer(paNavigator);
//                          dmZepAttivazioni->ImpostaCartelleComandiShell();
//                          dmZepAttivazioni->Build(this);
//                          dmZepAttivazioni->SetActivePage(0);
//   - acAid / acIstruzioni: dmZepAttivazioni->xasNotizie->Execute() /
//                          dmZepAttivazioni->xasIstruzioni->Execute().
// The window classes are opened by name (platform::FormRegistry): the main
// block registers them before the registry is built. A command whose window
// is not registered stays in the bar and, when chosen, says that the
// function is not available yet.
//
// Steps that later parts of the program supply (the import wizards and
// multi-selects, the public-sector import, the declaration print, the
// per-year rule object) are replaceable functions; until they are plugged
// in, each says that the function is not available yet and does nothing
// else (an import whose wizard is not there saves nothing).
#include "UqAttivazioni.h"
#include "UqQueryCollection.h"

#include "DataSet.h"
#include "Enumeration.h"

#include <QString>
#include <functional>

class TTovDBCds;

class TdmZepAttivazioni : public TdmUqAttivazioni {
    Q_OBJECT
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

    static const QString MsgChiudereFinestre;  // "Chiudere tutte le finestre prima di eseguire l'operazione."
    static const QString MsgExDmaNonAttiva;    // "La gestione ex DMA è attiva da ottobre 2012"
    static const QString PeriodoInizioExDma;   // "2012-10"
    static const QString NomeFileParametri;    // "TEMENSPAR.XML"
    static const QString CartellaRisorse;      // "USR/UniEmens/Res/" (relative to the base folder)
    static const QString FileMarcatoreNotizie; // "Check.txt"
    // The text of a function not available yet, with the command's caption.
    static QString MsgNonDisponibile(const QString &caption);

    explicit TdmZepAttivazioni(QObject *parent = nullptr);
    ~TdmZepAttivazioni() override;

    // ---- pages and commands, in the order declared ----
    TUqApgPage *xpgEMens;
    TUqApgPage *xpgStampe;
    TUqApgPage *xpgStrumenti;

    TUqAttForm *xafImport;
    TUqAttForm *xafDipendenti;
    TUqAttForm *xafCollaboratori;
    TUqAttForm *xafDenunciaAziendale;
    TUqAttForm *xafImportFplsExEnpals;
    TUqAttForm *xafFlplsExEnpals;
    TUqAttForm *xafExDmaImp;
    TUqAttForm *xafExDma;
    TUqAttForm *axfDatiDich;
    TUqAttForm *xafFile;
    TUqAttForm *xafDenuncia;
    TUqAttForm *xafStampaDip;
    TUqAttForm *xafStampaColl;
    TUqAttForm *xafRiepilogoDatiCUD;
    TUqAttForm *xafFeste;
    TUqAttForm *xafParametri;
    TUqAttShell *xasNotizie;
    TUqAttShell *xasIstruzioni;

    // ---- datasets ----
    TUqQueryCollection xqcSos;      // the employer's sites (payroll connection)
    platform::DataSet cdsTmp;       // scratch
    platform::DataSet cdsParametri; // the import parameters (fields below)
    // The fields of cdsParametri, in order.
    static platform::FieldDefs CampiParametri();

    // ---- set by the main window ----
    // The program's base folder (ends with "/").
    void SetCartellaBase(const QString &folder);
    const QString &CartellaBase() const { return m_cartellaBase; }
    // Base folder + "USR/UniEmens/Res/" (the existing folder whatever the
    // case of its letters).
    QString CartellaRes() const;
    // Gives each shell command whose folder is still empty the resource
    // folder.
    void ImpostaCartelleComandiShell();
    // The declaration-table store (not owned).
    void SetStore(TTovDBCds *store) { m_store = store; }
    TTovDBCds *Store() const { return m_store; }
    // Where "TEMENSPAR.XML" is kept: TWunUtil::CartellaUsr() unless set.
    void SetCartellaParametri(const QString &folder) { m_cartellaParametri = folder; }
    QString CartellaParametri() const;
    // The parameter file: the existing one whatever the case of its
    // letters, else "TEMENSPAR.XML" in that folder.
    QString FileParametri() const;

    // ---- operations ----
    // The working period is at least October 2012; otherwise the warning
    // and false.
    bool GestioneExDmaAttiva();
    // Opens xqcSos on QRY_SED for the current employer group.
    void ApriSedi();
    // Whether the declarant table of the store's year (month 0) is empty.
    bool SostitutoDaAmministrazione();
    void ImportaDipendenti();
    void ImportaFplsExEnpals();
    // Steps 3 to 8 of the import flow: cdsParametri made anew with one
    // record, the values of the parameter file, the defaults, the forced
    // values and the site's municipality; left in browse state.
    void PreparaParametri(TipoImport tipo);

    // ---- event handlers ----
    void xafImportBeforeExecute(TUqAttivazione *sender, bool &goOn);
    void xafImportFplsExEnpalsBeforeExecute(TUqAttivazione *sender, bool &goOn);
    void xafExDmaImpBeforeExecute(TUqAttivazione *sender, bool &goOn);
    void xafExDmaBeforeExecute(TUqAttivazione *sender, bool &goOn);
    void xafParametriBeforeExecute(TUqAttivazione *sender, bool &goOn);
    void xafDenunciaBeforeExecute(TUqAttivazione *sender, bool &goOn);
    void xasNotizieAfterExecute(TUqAttivazione *sender);
    // The holiday window's query collection "xqcChiusure" (the window gives
    // it as the property "xqcChiusure", a TUqQueryCollection*): its absence
    // is a programming error.
    void xafFesteInizializedForm(TUqAttForm *sender, QWidget *form);

    // A window class not registered: says the function is not available yet.
    void FormClassUnavailable(TUqAttForm *command) override;

    // The employer group of an import: the user's choice among the
    // archive's groups, given the one set before (0 none); 0 when cancelled.
    using GruppoFunction = std::function<qint64(const platform::EnumItems &gruppi, qint64 attuale)>;
    // Before any import: the employer group "UQUP_DwgId" settled by the
    // parameters module (the one kept, the archive's only one, or
    // ScegliGruppo's); false when the user chose none (nothing is
    // imported). Without a parameters module the group set stays as it is.
    bool ImpostaGruppo();
    // The parameter manager's value dialog over the groups.
    GruppoFunction ScegliGruppo;

    // ---- the import steps: the wizard and the import window of a class
    // registered by name (TfmwunWizard::Execute, TfmwunFiscImpMultiSelect::
    // Execute); a class not registered yet says "not available" ----
    WizardFunction EseguiWizard;
    ImportFunction EseguiImportazione;
    std::function<void()> ImportaDma;     // TdmZepDmaImporta::ImportaDma
    std::function<void()> StampaDenuncia; // TfmZepReport: the declaration print
    // Loads the working financial year into wunAnnoFinanziario and makes
    // the year's rule object (TWunCalcolaAnno::CreaPerAnno).
    std::function<void(const QString &anno)> SelezionaAnno;

private:
    void Importa(TipoImport tipo);
    void Chiudi();

    QString m_cartellaBase;
    QString m_cartellaParametri;
    TTovDBCds *m_store = nullptr;
};

Q_DECLARE_METATYPE(TUqQueryCollection *)

// The one instance (created by the main block; nullptr before).
extern TdmZepAttivazioni *dmZepAttivazioni;
