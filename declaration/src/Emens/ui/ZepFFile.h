#pragma once
// The earlier program's wizard "Generazione file telematico", opened
// modally by the command "File telematico": page 0 chooses for whom
// ("Tutti" or "su Prenotazione" with the selection grid), page 1 creates the
// E-Mens file ("Crea file telematico") and shows the writer's log. Each page
// reloads the month's tables from the store when shown, so a selection
// applied on page 1 is undone by going back. The rules and the writer are
// emens::TZepFile's (Emens/ZepCFile.h); the window gathers the choice, runs
// the save dialog and shows the log. After a file is created, OK closes the
// window; "Crea file telematico" and "< Indietro" are disabled.
//
// Registered by name as "TfmZepFile" in the earlier program only (the
// current program registers its own window of that name).
#include "UqWizard.h"

#include "Emens/ZepCFile.h"

#include <memory>

class QGroupBox;
class QPlainTextEdit;
class QRadioButton;
class QTableView;

namespace platform {
class DataSetModel;
}

namespace emens {

class TfmZepFile : public TfmUqWizard, public IZepLogFile {
    Q_OBJECT
public:
    explicit TfmZepFile(QWidget *owner = nullptr);
    ~TfmZepFile() override;

    // Page 0
    QWidget *tsDipColl;
    QGroupBox *rgCheckD; // "Scegliere per chi generare il file telematico"
    QRadioButton *rbTutti;
    QRadioButton *rbPrenota;
    QTableView *grPrenota;
    platform::DataSetModel *grPrenotaModel;
    // Page 1
    QWidget *tsCrea;
    QPushButton *buCrea;
    QPlainTextEdit *meCrea;

    TZepFile &File() { return *m_file; }
    // The rows of cdsPrenota selected in the grid.
    QList<platform::Bookmark> Selezionati() const;

    void tsDipCollShow();
    void tsCreaShow();
    void rbTuttiClick();
    void rbPrenotaClick();
    void buCreaClick();
    // The framework's check, then OK only once a file was created.
    void CheckButtons() override;

    // The writer's log lines, into the memo.
    void Log(const QString &riga) override;

    static void RegisterClass();
    static void UnregisterClass();

protected:
    void PageChanged(QWidget *page) override;
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<TZepFile> m_file;
    bool m_pronta = false; // built: page changes run their handlers
    bool m_mostrata = false;
    bool m_creato = false;
};

} // namespace emens
