#pragma once
// "Anno Mese erogazione": picks a year and month without touching the
// working period (the paying-entity section of the public-sector
// declaration picks its month with it).
#include "UqDialog.h"

#include <QString>

class QComboBox;
class QLineEdit;

class TfmZepAnnoMese : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmZepAnnoMese(QWidget *owner = nullptr);

    QLineEdit *deAnnoFin; // "Anno finanziario:", at most 4 characters
    QComboBox *cbMesi;    // "Mese:"

    // Shows the period "AAAA-MM" (year edit: characters 1-4; month:
    // characters 6-7, the first month when they are not 1 to 12); on OK
    // replaces it with the year + "-" + the two-digit month and answers
    // true, otherwise leaves it and answers false.
    static bool Execute(QString &periodo);

    // The period the dialog holds ("2024-03"): the year as a number, the
    // month as two digits.
    QString Periodo() const;
    void SetPeriodo(const QString &periodo);

protected:
    // OK with a year that is not a non-zero number: "Anno finanziario non
    // corretto", and the dialog stays open. Cancel closes unchecked.
    bool CanClose(int result) override;
};
