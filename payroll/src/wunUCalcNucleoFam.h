#pragma once
// The family-unit allowance (ANF) of a compensation for a month: the
// household declared for the compensation (TAAF_ANAASSNUCFAM) chooses a
// table code and a household size, the allowance tables in force at the
// first day of the month (TAFM_ASSFAMMASTER, TAFT_ASSFAMTABLE) give the
// amount for the household income, corrected for large households and, in
// the tables of July-December 2021 (master 13), increased per child.
//
//     TwunCalcNucleoFam::TRisultato r;
//     TwunCalcNucleoFam::CalcolaAssegno(2021, 9, r, iacomid);
//     // r.tabella "T11", r.nucleo 4, r.classe 2, r.importo 312.50 ...
//
// Class operations only; each runs its statements on a query of its own on
// the global connection.
#include "Currency.h"

#include <QString>

class TwunCalcNucleoFam {
public:
    using Currency = platform::Currency;

    // The result of a computation: no master table is -1; no allowance is
    // amount 0 and no table code.
    struct TRisultato {
        int master = -1;
        int classe = 0;
        int nucleo = 0;
        QString tabella;
        Currency importo;
        QString nota;
    };

    // The household's counts and income (LeggiNucleo).
    struct TNucleo {
        int coniuge = 0;          // IAAFNRCON: 0 none, 1 or 2 (table choice)
        int coniugeDisabile = 0;  // IAAFNRCONDIS
        int figliMinori = 0;      // IAAFNRFIGLMIN
        int figliMinoriDis = 0;   // IAAFNRFIGLMINDIS
        int figliMaggioriDis = 0; // IAAFNRFIGLMAGDIS
        int altriMinori = 0;      // IAAFNRALTRIMIN
        int altriMinoriDis = 0;   // IAAFNRALTRIMINDIS
        int altriMaggioriDis = 0; // IAAFNRALTRIMAGDIS
        Currency reddito;         // FAAFREDDITO
    };

    // "Errore in fase di calcolo assegno nucleo familiare:" CR CR LF
    static const QString MsgErrore;
    // The master whose tables hold the 2021 increase per child.
    static constexpr int MasterMaggiorazione2021 = 13;
    // The first year that has allowance tables.
    static constexpr int PrimoAnno = 2009;

    // The master table in force on the first day of the month, else the
    // same month of the years before down to 2009; -1 when none.
    static int TabellaMaster(int anno, int mese);
    // The household size of a compensation whose household is in use,
    // children adjusted by the year rule; true when above 0.
    static bool NucleoUsato(int mese, int acomId, int &nucleo);
    // The household of a compensation; a read error raises ETovCalcola.
    static TNucleo LeggiNucleo(int acomId);
    // The table code of a household ("T11" .. "T21D"), empty for none.
    static QString CodiceTabella(int coniuge, int coniugeDisabile, int altriMaggioriDis, int altriMinoriDis,
                                 int altriMinori, int figliMaggioriDis, int figliMinoriDis, int figliMinori);
    // The amount column of a household size: the size, at most 12.
    static int ColonnaNucleo(int nucleo);
    // The table amount corrected for large households and for other
    // members next to the children.
    static Currency CorreggiImporto(const QString &tabella, int nucleo, int altri, int figli, Currency importo);
    // The allowance of a compensation for a month. A read error of the
    // household raises ETovCalcola; an error of the amount stage is shown
    // and leaves amount 0 and no table code.
    static void CalcolaAssegno(int anno, int mese, TRisultato &risultato, int acomId);
};
