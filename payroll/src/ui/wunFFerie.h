#pragma once
// The dialog "Ferie": the holiday days to pay out at the closing of a
// relationship (see TWunFerie for the rules).
#include "UqDialog.h"
#include "wunCFerie.h"

#include <optional>

class QLabel;
class QLineEdit;

class TfmWunFerie : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmWunFerie(QWidget *owner = nullptr);

    QLabel *laMaturate;    // "Giorni ferie maturate" (with the cutoff)
    QLabel *laFerieMat;    // accrued days
    QLabel *laFerieGodute; // days taken
    QLabel *laSosp;        // the caller's text
    QLineEdit *edFerie;    // days to pay out

    void Prepara(platform::Currency maturate, const QString &testo, const QDate &dataLimite, platform::Currency godute);
    platform::Currency Giorni() const { return m_regole->Giorni(); }
    // `giorni`: the accrued days in, the days to pay out after OK.
    static int Execute(platform::Currency &giorni, const QString &testo, const QDate &dataLimite,
                       platform::Currency godute);
    // Makes the holidays due at the end of a relationship
    // (TdmWunFondCalcola::CalcolaPeriodiChiusura) ask the days here;
    // Disinstalla undoes it.
    static void Installa();
    static void Disinstalla();

protected:
    bool CanClose(int result) override;

private:
    std::optional<TWunFerie> m_regole;
};
