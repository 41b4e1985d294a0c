#pragma once
// The rules of the collaborator window "Collaboratori" (ZepRCollaboratore.h),
// without any display: the table of the month's collaborators
// (TEMC_COLLABORATORI), the check before a post, the default of a new row,
// the lookups and the grid.
#include "ZepCTabellaDenuncia.h"

class TZepCollaboratore {
public:
    static const QString Tabella;                  // "TEMC_COLLABORATORI"
    static const QString IndiceFrame;              // "Cognome;Nome;CFCollaboratore;TipoRapporto;Aliquota"
    static const QString IndiceFinestra;           // "Cognome;Nome;TipoRapporto"
    static const QString SuggerimentoAgevolazione; // "Indicare 04 per ex L.S.U."

    // The fiscal code (on insert and on edit) and the working period of a
    // new row. No date is checked here.
    static void PrimaDelPost(platform::DataSet &dataSet);
    // A new row: Elimina "N".
    static void NuovaRiga(platform::DataSet &dataSet);

    static const QList<TZepRicerca> &Ricerche();
    static const QList<TZepColonna> &Colonne();
};
