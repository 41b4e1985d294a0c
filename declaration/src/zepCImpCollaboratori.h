#pragma once
// The collaborator rows of the private-sector import (separate management,
// table TEMC_COLLABORATORI): made for every imported person after the
// employee rows, inside the person's transaction.
//
// The person's INPS rows of the month (QRY_EMENS_COLL: one per relationship
// type and rate of the collaboration's registers) become one row each:
//
//   AnnoMeseDenuncia     the working period "AAAA-MM"
//   CFCollaboratore      SANACODFISCALE of the compensation, trimmed
//   Cognome, Nome        the candidate's, as they are
//   CodiceComune         parameter ComuneLavoro
//   TipoRapporto,        from the activity code (SCOATCODICE) and the
//   CodiceAttivita       relationship type (Codici)
//   Imponibile           whole euros (half away from zero)
//   Aliquota             the rate x 100 to the nearest integer, halves to
//                        even (per cent with two decimals)
//   AltraAss             the compensation's other cover (IACOMCOPASS) as
//                        three digits, when it and the rate are above 0
//   Dal, Al              the compensation's start and end
//   relief               when the collaborator bore no withholding (RITDIP
//                        0), the due amount is the rate on the taxable (to
//                        cents) and the relief a third of it (whole euros);
//                        a relief above 0 gives CodiceAttivita "19",
//                        ImpAgevolazione and TipoAgevolazione "04"
//
// The E-Mens declaration of the earlier program differs in two codes: its
// database form gives activity code 1 the relationship type "1C" (not
// "01"); its local-file form writes AltraAss "002" for a rate of 16 per
// cent (1600 hundredths), the rate of those with another cover.
//
// An activity code that is not an integer other than 0 raises "Inserire il
// "Codice attività nei dati retributivi"": the person is rolled back and
// reported by the loop.
#include "Currency.h"
#include "UqQueryCollection.h"
#include "ZepUMainState.h"

#include <QDate>
#include <QString>

class TZepFiscImpMultiSelect;

namespace platform {
class DataSet;
}

class TZepImpCollaboratori {
public:
    static const QString MsgCodiceAttivita;    // "Inserire il \"Codice attività nei dati retributivi\""
    static const QString AttivitaAgevolazione; // "19"
    static const QString TipoAgevolazione;     // "04"

    // TipoRapporto and CodiceAttivita of an activity code and a
    // relationship type (ITNOID).
    struct TCodici {
        QString TipoRapporto;
        QString CodiceAttivita;
        bool operator==(const TCodici &) const = default;
    };
    static TCodici Codici(int codiceAttivita, int tnoId, TZepDenuncia denuncia = TZepDenuncia::UniEmens);
    // AltraAss of the other cover (IACOMCOPASS) and the rate in hundredths
    // of a per cent; empty when none.
    static QString AltraAss(int copertura, int aliquota, TZepDenuncia denuncia = TZepDenuncia::UniEmens);
    static const QString AltraAssEMensLocale; // "002", for a rate of 1600

    // One pay row of the month, completed.
    struct TRiga {
        QString CodiceAttivita; // SCOATCODICE
        int TnoId = 0;
        platform::Currency Imponibile;
        platform::Currency Aliquota; // per cent
        platform::Currency RitDip;
        platform::Currency Dovuto;
        platform::Currency ImpAgevolazione;
        QDate Dal, Al;
    };
    // The relief of a row: without the collaborator's withholding, the due
    // amount is recomputed and the relief is a third of it, whole euros.
    static void CompletaRiga(TRiga &riga);

    // `import`: the import whose candidate, compensation (qquAcom) and
    // parameters are read; `collaboratori`: the open collaborator table of
    // the period, whose posts the import saves.
    TZepImpCollaboratori(TZepFiscImpMultiSelect &import, platform::DataSet &collaboratori);

    // The collaborator rows of the current person.
    void Importa();

    // The declaration the rows are made for.
    TZepDenuncia Denuncia = TZepDenuncia::UniEmens;

    // The person's pay rows of the month (open while Importa runs).
    TUqQueryCollection xqcColl;

private:
    TRiga RigaCorrente() const;
    void ScriviRiga(const TRiga &riga);

    TZepFiscImpMultiSelect &m_import;
    platform::DataSet &m_collaboratori;
};
