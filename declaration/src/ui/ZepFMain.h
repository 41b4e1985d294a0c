#pragma once
// The main window of the declaration programs: an MDI window with the navigation bar and menu
// of the command registry (dmZepAttivazioni), the status panel of the
// working period and the program's one declaration-table store.
//
// - Creation: the base folder (the folder above the program's own), the
//   images of the navigation bar, the store (program "zep", on the global
//   connection; the year folder's files for the local-file form), the link to the parameters module's manager.
// - First show: the payroll archive is opened; when that fails the user is
//   told and the program ends with a non-zero status (ExitStatus).
// - First activation only: the registry builds the bar and the menu, the
//   news action runs when the marker "Check.txt" is present, and the
//   working-period dialog "Parametri" is shown modally.
#include "ImageList.h"
#include "UqLink.h"
#include "UqMDIMain.h"
#include "ZepUMainState.h"
#include "tovUDBCds.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;

class TfmZepMain : public TfmUqMDIMain, public IZepMainState {
    Q_OBJECT
public:
    // `cartellaProgramma`: the folder of the program file (empty: the running
    // program's own folder). `programma`: the program it serves (zepUni,
    // zepdb or zep): its title, folders and years, and its store: the
    // archive's, or the year folder's files for the local-file form.
    explicit TfmZepMain(QWidget *parent = nullptr, const QString &cartellaProgramma = {},
                        TZepProgramma programma = ProgrammaZepUni());
    ~TfmZepMain() override;

    // The program's profile: title, resource folder, year data folder and
    // the years it accepts.
    static TZepProgramma ProgrammaZepUni();
    // The images of the navigation bar, in image-index order.
    static const QStringList ImmaginiNavigatore;
    // The folder above the program's folder, as an absolute path ending with
    // "/" (symbolic links resolved when it exists).
    static QString CartellaBaseDa(const QString &cartellaProgramma);

    QAction *acIstruzioni; // "Istruzioni uniEMens" in the Help menu
    // The images of the navigation bar (size index 3), in the order above.
    platform::ImageList imlNavigatore;
    // Keeps the parameters of dmWunParams (employer group, financial year)
    // in the user's own area between runs.
    TUqLink lkMain{nullptr, TUqLink::AreaType::Personal};

    // ---- IZepMainState ----
    const TZepProgramma &Programma() const override { return m_programma; }
    QString CartellaBase() const override { return m_cartellaBase; }
    QString DataModello() const override { return m_dataModello; }
    void SetDataModello(const QString &data) override { m_dataModello = data; }
    QString CartellaDatiAnno() const override { return m_cartellaDatiAnno; }
    void SetCartellaDatiAnno(const QString &cartella) override { m_cartellaDatiAnno = cartella; }
    // The program's store: TTovDBCds on the archive, or TZepCdsLocale.
    ITovDBCds &Store() override;
    void SetTestoStato(const QString &testo) override { SetStatusText(0, testo); }
    void SetTitolo(const QString &titolo) override { setWindowTitle(titolo); }

    // The program was asked to end by SIGTERM or SIGINT: every message loop
    // is left with the status 128 + the signal's number, then (at once, or
    // after the work in progress when there is some: an import rolls back
    // its current person, a file is not written) ChiudiDopoSegnale. Nothing
    // is saved and nothing is asked. Once only.
    void TerminaSuSegnale(int segnale);
    // Pending edits of every document window cancelled and the archive
    // closed (a transaction left active is rolled back); a failure on the
    // way is written to the standard error output and the end goes on.
    // Once only.
    void ChiudiDopoSegnale();

    bool PrimaAttivazioneEseguita() const { return m_primaAttivazione; }
    // 0 while the program may run; non-zero once the start was refused
    // (the archive did not open): the program ends with it.
    int ExitStatus() const { return m_exitStatus; }

    // Opens the archive (default: dmwunConnessione->ApriDatabase()); a test
    // may put another in before the window is shown.
    std::function<bool()> ApriDatabase;

    static const QString MsgDatabaseNonAperto;

protected:
    void FormShow() override;
    void FormActivate() override;

private:
    void FormCreate(const QString &cartellaProgramma);
    void CollegaParametri();
    void PrimaAttivazione();
    void acAidExecute();
    void acIstruzioniExecute();
    void Termina(int status);

    TZepProgramma m_programma;
    QString m_cartellaBase;
    QString m_dataModello;
    QString m_cartellaDatiAnno;
    std::unique_ptr<ITovDBCds> m_store;
    bool m_primaAttivazione = false;
    bool m_inAttivazione = false;
    int m_exitStatus = 0;
    bool m_chiusoDopoSegnale = false;
};
