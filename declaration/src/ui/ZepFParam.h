#pragma once
// The working-period dialog "Parametri": the financial year and month every
// command of the program works on. Shown modally at start-up by the main
// window and again through the command "Parametri".
//
// TZepParametri (ZepCParametri.h) holds the dialog's rules without any
// display (the tests drive it directly); TfmZepParametri is the dialog over
// it.
//
// The last period chosen is kept in "TEAM_ANNOMESE.cds" in the resource
// folder (text fields SEAMANNOFIN and SEAMMESE, one record). Closing the
// dialog with an accepted year sets AnnoDenuncia and MeseDenuncia
// (ZepUUtil.h), rewrites that file, writes the status panel and the caption
// of the main window, sets the store's year and month and, the first time a
// year is opened on this installation, creates its year data folder after
// carrying the declarant over from the previous year.
#include "UqDialog.h"
#include "ZepCParametri.h"

#include <QString>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

class QFormLayout;

// The two edits both period dialogs open with: "Anno finanziario:" (at
// most 4 characters) and "Mese:" (the twelve month names), added to `form`.
void CreaCampiAnnoMese(QWidget *parent, QFormLayout *form, QLineEdit *&deAnnoFin, QComboBox *&cbMesi);

class TfmZepParametri : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmZepParametri(QWidget *owner = nullptr);
    ~TfmZepParametri() override;

    QLineEdit *deAnnoFin; // "Anno finanziario:", at most 4 characters
    QComboBox *cbMesi;    // "Mese:"
    QLabel *laData;       // "Data modello" (hidden)
    QDateEdit *dptData;   // hidden

    TZepParametri &Logica() { return m_logica; }

    // Registers the class by name (the command "Parametri" opens it so);
    // UnregisterClass undoes it.
    static void RegisterClass();
    static void UnregisterClass();

protected:
    // Every close request: a refused year keeps the dialog open with its
    // message; otherwise the period is taken and the dialog closes (a
    // failure while taking it is shown, and the dialog still closes: the
    // period is already set).
    bool CanClose(int result) override;

private:
    TZepParametri m_logica;
};
