#pragma once
// The MDI window "Collaboratori": the month's collaborators
// (TEMC_COLLABORATORI of the working period) in the collaborator frame.
// Opened by the command "Collaboratori/Altri" by its class name, one
// instance at a time.
#include "ZepFDatiDenuncia.h"

class TfrZepCollaboratore;

class TfmZepCollaboratore : public TfmZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfmZepCollaboratore(QWidget *owner = nullptr);

    TfrZepCollaboratore *frCollaboratore;

    static void RegisterClass();
    static void UnregisterClass();

protected:
    // Loads the table and sets the index "Cognome;Nome;TipoRapporto" (the
    // position stays where the load left it).
    void FormShow() override;
};
