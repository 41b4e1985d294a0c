#pragma once
// The rules of the declarant window "Dichiarante" (zepRMittente.h), without
// any display: the one row of the year's declarant (TAMM_AMMINISTRAZIONE,
// kept under month 0), which the window never deletes and inserts only into
// an empty table, and the public-administration groups shown by the
// "Codice INPDAP".
#include "ZepCTabellaDenuncia.h"

// The table's name is TZepParametri::TabellaDichiarante.
class TZepMittente {
public:
    // A row may be inserted only into an empty table.
    static bool InserimentoAmmesso(const platform::DataSet &dataSet) { return dataSet.isEmpty(); }
    // Whether the text of "Codice INPDAP" reads as an integer other than 0
    // (blanks around it allowed): the groups " Ente di appartenenza" and
    // " Sede di servizio" are shown then; empty text or text that is not a
    // number counts as 0.
    static bool GruppiPubblicaAmministrazione(const QString &codiceInpdap);

    static const QList<TZepRicerca> &Ricerche();

    // The fields of fiscal codes: the sender's person and company, the
    // declaring company and, for a public administration, its service site
    // and parent body.
    static const QStringList &CampiCodiceFiscale();
    // Before a post: the texts and the fiscal codes given (none is required
    // here; the file requires its own) as the declaration can carry them
    // (TZepTabellaDenuncia::ControllaRiga).
    static void PrimaDelPost(const platform::DataSet &dataSet);
};
