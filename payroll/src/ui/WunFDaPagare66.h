#pragma once
// The dialog "Bonus Irpef": the number of payments over which a
// collaborator's bonus or deduction is spread, confirmed or changed by the
// user. The program makes one at start-up (fmWunDaPagare66) and keeps it.
#include "UqDialog.h"
#include "WunCDaPagare66.h"

class QLabel;
class QLineEdit;

namespace platform {
class DataSet;
} // namespace platform

class TfmWunDaPagare66 : public TfmUqDialog {
    Q_OBJECT
public:
    // Sets the global fmWunDaPagare66 (one dialog a run).
    explicit TfmWunDaPagare66(QWidget *owner = nullptr);
    ~TfmWunDaPagare66() override;

    QLabel *laDipendente;
    QLineEdit *edLiq;

    // Shows the person and the proposed number; OK takes the number typed
    // (only a whole number of at least 1: otherwise "Valore errato" and the
    // dialog stays open on the value last stored), Cancel keeps the
    // proposal. Runs on the start-up dialog when there is one.
    static int Execute(const platform::DataSet &persona, int &numero);
    // Makes this dialog the one the rules show (TWunDaPagare66::Conferma);
    // Disinstalla undoes it.
    static void Installa();
    static void Disinstalla();

protected:
    bool CanClose(int result) override;

private:
    void Prepara(const platform::DataSet &persona, int numero);

    TWunDaPagare66 m_regole;
};

// The start-up dialog (nullptr before it is made and after it is freed).
extern TfmWunDaPagare66 *fmWunDaPagare66;
