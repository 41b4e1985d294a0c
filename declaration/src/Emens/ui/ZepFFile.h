#pragma once
// The earlier program's wizard "Generazione file telematico", opened
// modally by the command "File telematico": page 0 chooses for whom
// ("Tutti" or "su Prenotazione" with the selection grid), page 1 creates the
// E-Mens file ("Crea file telematico") and shows the writer's log (both
// pages, the buttons and the save dialog are TfmZepFileBase's,
// ZepFFileBase.h). Each page reloads the month's tables from the store when
// shown, so a selection applied on page 1 is undone by going back. The rules
// and the writer are emens::TZepFile's (Emens/ZepCFile.h); the window
// gathers the choice, runs the save dialog and shows the log. After a file
// is created, OK closes the window; "Crea file telematico" and "< Indietro"
// are disabled.
//
// Registered by name as "TfmZepFile" in the earlier program only (the
// current program registers its own window of that name).
#include "ZepFFileBase.h"

#include "Emens/ZepCFile.h"

#include <memory>

namespace emens {

class TfmZepFile : public TfmZepFileBase {
    Q_OBJECT
public:
    explicit TfmZepFile(QWidget *owner = nullptr);
    ~TfmZepFile() override;

    // Page 0 (tsDipColl, rbTutti, rbPrenota, grPrenota: TfmZepFileBase's)
    QGroupBox *rgCheckD; // "Scegliere per chi generare il file telematico"
    // Page 1: tsCrea, buCrea, meCrea (TfmZepFileBase's)

    TZepFile &File() { return *m_file; }

    void tsDipCollShow();
    void tsCreaShow();

    static void RegisterClass();

protected:
    TZepFileBase &Scrittore() override { return *m_file; }
    void MostraPagina(QWidget *page) override;

private:
    std::unique_ptr<TZepFile> m_file;
};

} // namespace emens
