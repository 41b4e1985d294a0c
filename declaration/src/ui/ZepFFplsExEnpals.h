#pragma once
// The MDI window "Iscritti Fpls ExEnpals": the month's workers enrolled in
// the performing-arts fund (TEFE_FPLSEXENPALS of the working period) in the
// performing-arts frame. Opened by the command "Iscritti FPLS ex Enpals" by
// its class name, one instance at a time.
#include "ZepFDatiDenuncia.h"

class TfrZepFplsExEnpals;

class TfmZepFFplsExEnpals : public TfmZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfmZepFFplsExEnpals(QWidget *owner = nullptr);

    TfrZepFplsExEnpals *frFplsExEnpals;

    static void RegisterClass();
    static void UnregisterClass();

protected:
    // Loads the table, prepares the day grid, sets the index
    // "Cognome;Nome;Matricola" and goes to the first row.
    void FormShow() override;
};
