#pragma once
// The person of the public-sector import (ZePCImpDmaMultiSelect.h) and its
// row of personal data (section D0, table TD0_ANAG): whether the person
// has anything to declare in the month, its D0 row found, made or made
// anew, the person's rows of the month taken away before they are
// replaced or carried over to a corrected fiscal code, and the
// end-of-service marker of the D0 row.
//
// A replaced person keeps its D0 row, made anew by ImportaD0: its registry
// row, which the section rows name, is the person's one row whatever the
// reruns (a row deleted and added again would leave its registry row
// behind, kept for the section rows that named it).
#include "Value.h"

#include <QList>
#include <QString>

class TZepDmaImpContesto;

namespace platform {
class DataSet;
}

class TZepDmaImpIscritto {
public:
    // Messages that end a person, letter for letter.
    static const QString MsgPosizioneGiuridica;  // "Verificare la posizione giuridica nello storico."
    static const QString MsgNessunDatoRilevante; // "Nessun dato rilevante ai fini della denuncia mensile"
    // The legal position to be checked in the history.
    static constexpr int TNO_VERIFICARE = 11;

    // The tables of the run a person's rows stand in (none owned).
    struct TTabelle {
        platform::DataSet &d0;
        platform::DataSet &quadro;      // the current section
        platform::DataSet &altroQuadro; // the other one
        platform::DataSet &e1;
        platform::DataSet &versantiE0;
        platform::DataSet &versantiV1;
    };
    // The person's data the D0 row takes of the import's loop.
    struct TAnagrafica {
        QString cognome, nome, telefono, email;
        platform::Value persona; // the candidate's payroll person
    };

    TZepDmaImpIscritto(TZepDmaImpContesto &contesto, const TTabelle &tabelle);

    // Stands the D0 table on the person's row of the month: that of its
    // fiscal code or, when the code was corrected in the payroll since,
    // that of its payroll person `persona` (CampoPersona). It starts the
    // person: no row is to be made anew until CancellaPersona says so.
    bool Trova(const QString &codiceFiscale, const platform::Value &persona);
    // Raises the warning that ends a person of the legal position to be
    // checked or without pension, credit or end-of-service pay in the month.
    void Verifica();
    // The person's D0 row, posted: a new one, or the replaced person's made
    // anew (its row number and registry id kept).
    void ImportaD0(const TAnagrafica &anagrafica);
    // The replaced person's section rows of the month (under its code of
    // the D0 row and the current one) and their paying entities, which must
    // be open; the D0 row is kept for ImportaD0. Answers the paying-entity
    // tables whose rows went.
    QList<platform::DataSet *> CancellaPersona(const QString &codicePresente);
    // "Aggiungi" to the D0 row of an earlier fiscal code: the row and its
    // section rows of the month take the current one.
    void CorreggiCodiceFiscale(const QString &vecchio, const platform::Value &persona);
    // The D0 row marked as ending the service when one of the person's rows
    // declared it and the row does not say so yet.
    void SegnaFineServizio(bool fineServizio);

private:
    bool Rilevante();

    TZepDmaImpContesto &m_contesto;
    TTabelle m_tabelle;
    bool m_riscriviD0 = false; // the D0 row found is the one ImportaD0 writes
};
