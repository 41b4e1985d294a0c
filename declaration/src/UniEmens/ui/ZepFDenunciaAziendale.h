#pragma once
// The MDI window "Denuncia Aziendale": the company declaration of the
// working period (TEMA_DENAZIENDALE), read-only, in the company declaration
// frame. Opened only by the hidden command "Denuncia Aziendale"; closing it
// never saves (the file window recomputes and saves the table).
#include "ZepFDatiDenuncia.h"

class TfrZepDenunciaAziendale;

class TfmzepDenunciaAziendale : public TfmZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfmzepDenunciaAziendale(QWidget *owner = nullptr);

    TfrZepDenunciaAziendale *frZepDenunciaAziendale1;

    // Aborts silently: nothing of this window is ever saved.
    void PostData() override;

    static void RegisterClass();
    static void UnregisterClass();

protected:
    // Loads the table, indexes it on Matricola and makes it read-only.
    void FormShow() override;
};
