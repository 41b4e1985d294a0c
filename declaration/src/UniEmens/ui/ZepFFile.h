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
// Pages 0 and 2, the buttons and the save dialog are TfmZepFileBase's
// (ZepFFileBase.h), which the earlier program's window shares.
//
// The INPDAP box of page 1 (the recovery on the public-sector positions)
// shows, below the frame's detail page, only when public-sector persons
// take part (TZepFile::PubbliciPresenti); for them page 1 is not passed
// over even without a company declaration, or the recovery could not be
// typed.
#include "ZepFFileBase.h"

#include "ZepCFile.h"

#include <memory>

class QLabel;
class QLineEdit;
class TZepTabellaDenuncia;
class TfrZepDenunciaAziendale;

class TfmZepFile : public TfmZepFileBase {
    Q_OBJECT
public:
    static const QString Legenda; // "D: Dipendenti (INPS) - C:  Collaboratori (INPS) - E: ..."

    explicit TfmZepFile(QWidget *owner = nullptr);
    ~TfmZepFile() override;

    QLabel *laLegenda;
    // Page 0 (tsDipColl, rbTutti, rbPrenota, grPrenota: TfmZepFileBase's)
    QGroupBox *rgScelta; // "Scegliere per chi generare il file telematico"
    // Page 1
    QWidget *tsDenAz;
    TfrZepDenunciaAziendale *frZepDenunciaAziendale1;
    QGroupBox *gbInpdap;
    QLineEdit *edINpdap;
    // Page 2: tsCrea, buCrea, meCrea (TfmZepFileBase's)

    TZepFile &File() { return *m_file; }

    void tsDipCollShow();
    void tsDenAzShow();
    void tsCreaShow();
    // The INPDAP box's amount to the writer, then the file.
    void buCreaClick() override;
    // Shows or hides the INPDAP box for the page, the frame's page and the
    // persons chosen.
    void MostraInpdap();

    static void RegisterClass();

protected:
    TZepFileBase &Scrittore() override { return *m_file; }
    void MostraPagina(QWidget *page) override;
    bool PageChanging(QWidget *from, QWidget *to) override;
    // The page's handler, then the company declaration's page passed over
    // while it has nothing to show.
    void PageChanged(QWidget *page) override;

private:
    std::unique_ptr<TZepTabellaDenuncia> m_tabellaAziendale;
    std::unique_ptr<TZepFile> m_file;
    int m_direzione = 0; // +1 Next, -1 Previous, of the change in progress
};
