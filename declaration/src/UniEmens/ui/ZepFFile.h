#pragma once
// The wizard "Generazione file telematico", opened modally by the command
// "File telematico": page 0 chooses for whom ("Tutti" or "su Prenotazione"
// with the selection grid), page 1 shows the company declaration,
// recomputed each time it is shown (skipped while it has no rows), page 2
// creates the file ("Crea file telematico") and shows the generator's log.
// Each page reloads the month's tables from the store when shown, so a
// selection applied on page 2 is undone by going back. The rules and the
// generator are TZepFile's (ZepCFile.h); the window gathers the choices,
// runs the save dialog and shows the log. After a file is created, OK
// closes the window; "Crea file telematico" and "< Indietro" are disabled.
//
// The INPDAP box of page 1 (the recovery on the public-sector positions)
// shows, below the frame's detail page, only when public-sector persons
// take part (TZepFile::PubbliciPresenti); for them page 1 is not passed
// over even without a company declaration, or the recovery could not be
// typed.
#include "UqWizard.h"

#include "ZepCFile.h"

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTableView;
class TZepTabellaDenuncia;
class TfrZepDenunciaAziendale;

namespace platform {
class DataSetModel;
}

class TfmZepFile : public TfmUqWizard, public IZepLogFile {
    Q_OBJECT
public:
    static const QString Legenda; // "D: Dipendenti (INPS) - C:  Collaboratori (INPS) - E: ..."

    explicit TfmZepFile(QWidget *owner = nullptr);
    ~TfmZepFile() override;

    QLabel *laLegenda;
    // Page 0
    QWidget *tsDipColl;
    QGroupBox *rgScelta; // "Scegliere per chi generare il file telematico"
    QRadioButton *rbTutti;
    QRadioButton *rbPrenota;
    QTableView *grPrenota;
    platform::DataSetModel *grPrenotaModel;
    // Page 1
    QWidget *tsDenAz;
    TfrZepDenunciaAziendale *frZepDenunciaAziendale1;
    QGroupBox *gbInpdap;
    QLineEdit *edINpdap;
    // Page 2
    QWidget *tsCrea;
    QPushButton *buCrea;
    QPlainTextEdit *meCrea;

    TZepFile &File() { return *m_file; }
    // The rows of cdsPrenota selected in the grid.
    QList<platform::Bookmark> Selezionati() const;

    void tsDipCollShow();
    void tsDenAzShow();
    void tsCreaShow();
    void rbTuttiClick();
    void rbPrenotaClick();
    void buCreaClick();
    // The framework's check, then: a pending edit of the company
    // declaration is posted; OK only once a file was created.
    void CheckButtons() override;
    // Shows or hides the INPDAP box for the page, the frame's page and the
    // persons chosen.
    void MostraInpdap();

    // The generator's log lines, into the memo.
    void Log(const QString &riga) override;

    static void RegisterClass();
    static void UnregisterClass();

protected:
    bool PageChanging(QWidget *from, QWidget *to) override;
    void PageChanged(QWidget *page) override;
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<TZepTabellaDenuncia> m_tabellaAziendale;
    std::unique_ptr<TZepFile> m_file;
    bool m_pronta = false; // built: page changes run their handlers
    bool m_mostrata = false;
    bool m_creato = false;
    int m_direzione = 0; // +1 Next, -1 Previous, of the change in progress
};
