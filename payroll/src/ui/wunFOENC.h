#pragma once
// The dialog "Ore eccedenti non cattedra": how the effective hours of a
// period with substitute hours beyond the chair were reached. Shown for
// information by the fundamental-pay calculation when it is asked to.
#include "UqDialog.h"
#include "wunUCalcoliFond.h"

class QLineEdit;

class TfmwunOENC : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmwunOENC(QWidget *owner = nullptr);

    QLineEdit *edGiorni; // "Giorni"
    QLineEdit *edOre;    // "Ore" ("0")
    QLineEdit *edSost;   // "Ore sost." ("0")
    QLineEdit *edIntero; // "Orario intero" ("0.00")
    QLineEdit *edRapp;   // "Orario rapp." ("0.00")
    QLineEdit *edTot;    // "Totale" ("0.00")
    QLineEdit *EdOe;     // "Ore ecc." ("0.00")

    void Mostra(const TWunOreNonCattedra &valori);
    static void Execute(const TWunOreNonCattedra &valori);
    // Makes the calculation show its values through this dialog;
    // Disinstalla undoes it.
    static void Installa();
    static void Disinstalla();
};
