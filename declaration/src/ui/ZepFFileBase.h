#pragma once
// What the two wizards "Generazione file telematico" share, the UniEmens one
// (UniEmens/ui/ZepFFile.h) and the earlier program's E-Mens one
// (Emens/ui/ZepFFile.h), both opened modally by the command "File
// telematico" and registered as "TfmZepFile", each in its own program.
//
// The first page chooses for whom ("Tutti" or "su Prenotazione" with the
// selection grid); the last creates the file ("Crea file telematico") and
// shows the writer's log; a window's own pages stand between them. A window
// builds its pages in its constructor (CreaPaginaScelta, its own,
// CreaPaginaCrea), makes its writer (a TZepFileBase, Scrittore) and calls
// ImpostaPronta; from then on each page shown runs the window's handler
// (MostraPagina), its errors shown in Italian. After a file is created, OK
// closes the window (and takes Enter); "Crea file telematico" and "<
// Indietro" are disabled.
#include "UqWizard.h"
#include "ZepULogFile.h"

#include "DataSet.h"

#include <QList>
#include <QString>

class QGroupBox;
class QPlainTextEdit;
class QRadioButton;
class QTableView;
class TZepFileBase;

namespace platform {
class DataSetModel;
}

class TfmZepFileBase : public TfmUqWizard, public IZepLogFile {
    Q_OBJECT
public:
    ~TfmZepFileBase() override;

    // The first page
    QWidget *tsDipColl = nullptr;
    QRadioButton *rbTutti = nullptr;
    QRadioButton *rbPrenota = nullptr;
    QTableView *grPrenota = nullptr;
    platform::DataSetModel *grPrenotaModel = nullptr;
    // The last page
    QWidget *tsCrea = nullptr;
    QPushButton *buCrea = nullptr;
    QPlainTextEdit *meCrea = nullptr;

    // The rows of the writer's cdsPrenota selected in the grid.
    QList<platform::Bookmark> Selezionati() const;

    void rbTuttiClick();
    void rbPrenotaClick();
    // The memo cleared, then the writer's CreaFile with the save dialog
    // "s_FileTel"; once the file is written, OK only.
    virtual void buCreaClick();
    // The framework's check, then OK only once a file was created.
    void CheckButtons() override;

    // The writer's log lines, into the memo.
    void Log(const QString &riga) override;

    static void UnregisterClass();

protected:
    static const QString NomeClasse; // "TfmZepFile"

    explicit TfmZepFileBase(QWidget *owner);

    // The window's writer.
    virtual TZepFileBase &Scrittore() = 0;
    // The handler of the page shown.
    virtual void MostraPagina(QWidget *page) = 0;

    // The first page, tsDipColl: `intestazione` (a line of text, when not
    // empty) above the group `nomeGruppo` of "Tutti" and "su Prenotazione",
    // then the grid "grPrenota" (read-only, whole rows, several at once,
    // disabled until "su Prenotazione" is chosen). Returns the group.
    QGroupBox *CreaPaginaScelta(const QString &nomeGruppo, const QString &intestazione = QString());
    // The last page, tsCrea: "Crea file telematico" above the log.
    void CreaPaginaCrea();
    // The writer's selection list, the first time only, into the grid under
    // the captions of its columns ("Codice fiscale", "Matricola INPS",
    // "Orario Intero / PT").
    void MostraPrenota();

    // The pages built: page changes run their handlers from now on; the
    // buttons checked.
    void ImpostaPronta();
    bool Pronta() const { return m_pronta; }

    void PageChanged(QWidget *page) override;
    void showEvent(QShowEvent *event) override;

private:
    // The save dialog "s_FileTel" in `cartella` with `nome` proposed: the
    // chosen file, empty when cancelled. The question before an existing
    // file is replaced is the writer's own (in Italian, through the message
    // service), so the dialog does not ask it.
    QString ScegliFile(const QString &cartella, const QString &nome);

    bool m_pronta = false;
    bool m_mostrata = false;
    bool m_creato = false;
};
