#pragma once
// The MDI window "Dichiarante": the year's declarant (TAMM_AMMINISTRAZIONE,
// month 0 of the working year) in the declarant frame. Opened by the command
// "Dichiarante" by its class name, one instance at a time.
#include "ZepFDatiDenuncia.h"

class TfrZepMittente;

class TfmZepMittente : public TfmZepDatiDenuncia {
    Q_OBJECT
public:
    explicit TfmZepMittente(QWidget *owner = nullptr);

    TfrZepMittente *frMittente;

    static void RegisterClass();
    static void UnregisterClass();
};
