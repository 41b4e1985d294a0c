#pragma once
// The MDI window "Dipendenti": the month's private-sector employees
// (TEMD_DIPENDENTI of the working period) in the employee frame. Opened by
// the command "Dipendenti" by its class name, one instance at a time.
#include "ZepFDatiDenuncia.h"

class TfrZepDipendente;

class TfmZepDipendente : public TfmZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfmZepDipendente(QWidget *owner = nullptr);

    TfrZepDipendente *frDipendente;

    // Registers the class by name ("TfmZepDipendente"); UnregisterClass undoes it.
    static void RegisterClass();
    static void UnregisterClass();

protected:
    // Loads the table, prepares the month grid, sets the index
    // "Cognome;Nome;Matricola" and goes to the first row.
    void FormShow() override;
};
