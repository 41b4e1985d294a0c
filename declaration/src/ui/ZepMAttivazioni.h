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
// The import flow and its datasets are the rules of TZepAttivazioni
// (ZepCAttivazioni.h), which this module derives from. Steps that later
// parts of the program supply (the import wizards and multi-selects, the
// public-sector import, the declaration print) are replaceable functions;
// until they are plugged in, each says that the function is not available
// yet and does nothing else (an import whose wizard is not there saves
// nothing).
#include "UqAttivazioni.h"
#include "ZepCAttivazioni.h"
#include "ZepCParametri.h"
#include "ZepUMainState.h"

#include <QString>
#include <functional>

class TdmZepAttivazioni : public TdmUqAttivazioni, public TZepAttivazioni {
    Q_OBJECT
public:
    static const QString MsgChiudereFinestre;  // "Chiudere tutte le finestre prima di eseguire l'operazione."
    static const QString MsgExDmaNonAttiva;    // "La gestione ex DMA è attiva da ottobre 2012"
    static const QString PeriodoInizioExDma;   // "2012-10"
    static const QString CartellaRisorse;      // zepUni's "USR/UniEmens/Res/" (relative to the base folder)
    static const QString FileMarcatoreNotizie; // "Check.txt"
    // The text of a function not available yet, with the command's caption.
    static QString MsgNonDisponibile(const QString &caption);

    // The commands of `programma`: the earlier program (an E-Mens TZepProgramma::Denuncia)
    // has no company declaration, performing-arts, public-sector, CUD or
    // holiday commands (those members stay nullptr); the shell commands open
    // the documents of its resource folder.
    explicit TdmZepAttivazioni(QObject *parent = nullptr,
                               const TZepProgramma &programma = TZepParametri::ProgrammaUniEmens());
    ~TdmZepAttivazioni() override;

    // ---- pages and commands, in the order declared ----
    TUqApgPage *xpgEMens = nullptr;
    TUqApgPage *xpgStampe = nullptr;
    TUqApgPage *xpgStrumenti = nullptr;

    TUqAttForm *xafImport = nullptr;
    TUqAttForm *xafDipendenti = nullptr;
    TUqAttForm *xafCollaboratori = nullptr;
    TUqAttForm *xafDenunciaAziendale = nullptr;
    TUqAttForm *xafImportFplsExEnpals = nullptr;
    TUqAttForm *xafFlplsExEnpals = nullptr;
    TUqAttForm *xafExDmaImp = nullptr;
    TUqAttForm *xafExDma = nullptr;
    TUqAttForm *axfDatiDich = nullptr;
    TUqAttForm *xafFile = nullptr;
    TUqAttForm *xafDenuncia = nullptr;
    TUqAttForm *xafStampaDip = nullptr;
    TUqAttForm *xafStampaColl = nullptr;
    TUqAttForm *xafRiepilogoDatiCUD = nullptr;
    TUqAttForm *xafFeste = nullptr;
    TUqAttForm *xafParametri = nullptr;
    TUqAttShell *xasNotizie = nullptr;
    TUqAttShell *xasIstruzioni = nullptr;

    // ---- set by the main window ----
    // The program's base folder (ends with "/").
    void SetCartellaBase(const QString &folder);
    const QString &CartellaBase() const { return m_cartellaBase; }
    // Base folder + the program's resource folder ("USR/UniEmens/Res/",
    // "USR/ZEP/Res/"; the existing folder whatever the case of its letters).
    QString CartellaRes() const;
    // Gives each shell command whose folder is still empty the resource
    // folder.
    void ImpostaCartelleComandiShell();

    // ---- operations ----
    // The working period is at least October 2012; otherwise the warning
    // and false.
    bool GestioneExDmaAttiva();
    void ImportaDipendenti();
    void ImportaFplsExEnpals();

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

    // The import steps set here: the group chosen in the parameter
    // manager's value dialog (ScegliGruppo), the wizard and the import
    // window of a class registered by name (TfmwunWizard::Execute,
    // TfmwunFiscImpMultiSelect::Execute); a class not registered yet says
    // "not available".
    std::function<void()> ImportaDma;     // TdmZepDmaImporta::ImportaDma
    std::function<void()> StampaDenuncia; // TfmZepReport: the declaration print

private:
    QString m_cartellaBase;
    QString m_cartellaRisorse;
};

// The one instance (created by the main block; nullptr before).
extern TdmZepAttivazioni *dmZepAttivazioni;
