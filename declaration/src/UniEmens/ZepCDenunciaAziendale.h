#pragma once
// The rules of the company declaration TEMA_DENAZIENDALE, without any
// display: one row per INPS company number (Matricola) of the working
// period, with the totals the file generator writes as the DenunciaAziendale
// of each contribution position. The frame TfrZepDenunciaAziendale
// (ui/ZepRDenunciaAzieldale.h) shows the table, in the read-only window
// "Denuncia Aziendale" and on the company page of the file window, which
// recomputes it each time the page is shown; there the user may enter the
// recovery of the bonus of art. 13, DL 66/2014 (SommaACredito).
#include "ZepCTabellaDenuncia.h"

class TZepDenunciaAziendale {
public:
    static const QString Tabella;                  // "TEMA_DENAZIENDALE"
    static const QString Indice;                   // "Matricola"
    static const QString MsgMatricolaObbligatoria; // "Matricola obbligatoria"
    // A person's part of the workforce is PercPartTime in these units.
    static constexpr int UnitaForzaAziendale = 10000;

    // Before a post: a new row needs its Matricola (EUqError).
    static void PrimaDelPost(platform::DataSet &dataSet);

    // Recomputes the company declaration from the month's employees
    // (TEMD_DIPENDENTI) and performing-arts workers (TEFE_FPLSEXENPALS):
    // every row of `aziendale` is deleted, then one row is appended and
    // posted per company number, in the order the persons first give it
    // (employees first), with TrattQuotaLav "S" and the totals of the
    // persons of that number whose Elimina is not "S":
    //   NumLavoratori, NumDenIndiv  how many;
    //   ForzaAziendale              the sum of the persons' shares (PercPartTime
    //                               when above 0, else a whole unit), in whole
    //                               units rounded up;
    //   TotaleADebito               Contributo, and of the performing-arts
    //                               workers ContribAggCorrente, ContrEccMassSpet
    //                               and ContrSolidarietaSpet, in whole euros
    //                               (half away from zero);
    //   TotaleACredito              BonusUTImporto, EsoneroIVSImporto and
    //                               EsoneroIVS13Importo where the table has
    //                               them, likewise.
    // A person marked for deletion still gives its number a row. A person
    // without Matricola stops the recomputation with MsgMatricolaObbligatoria
    // before anything is changed. SommaACredito starts empty. The dataset's
    // after-post and after-delete events save it where they are set (the
    // frame); otherwise the changes stay pending for the caller to save.
    static void Ricalcola(platform::DataSet &dipendenti, platform::DataSet &fpls, platform::DataSet &aziendale);

    // The grid of the window "Denuncia Aziendale" and that of the file
    // window's company page (shorter titles of the totals).
    static const QList<TZepColonna> &Colonne();
    static const QList<TZepColonna> &ColonneFile();
};
