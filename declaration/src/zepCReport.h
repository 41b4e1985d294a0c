#pragma once
// The declaration print ("Denuncia"), without any display: the whole
// declaration of the working month, loaded from the store in the print's
// order (declarant of the year, working-period file, employees,
// collaborators, company declaration, then the public-sector persons, their
// E0 sections, the E0 paying entities, V1, the V1 paying entities and E1)
// and built into a TZepStampa: the declarant, per INPS company number its
// employees with their day strips and the number's totals, the
// collaborators, the company declaration, and the public-sector persons by
// surname and name, each with its own sections.
//
// The earlier programs' E-Mens declaration prints a reduced form of it
// (TZepDenuncia::EMens, EMensLocale): only the declarant, the working-period
// file, the employees and the collaborators are loaded, and an employee
// shows the E-Mens figures (pay variations in place of the contribution)
// without day strips; there is no company declaration and no public-sector
// section.
//
// A section row belongs to its person by the person row's registry id
// (IAFIID), a paying entity to its section row by ORDINE as well; rows are
// matched by value, so a person without a registry id shows no section,
// never the unlinked rows of another.
#include "DataSet.h"
#include "ZepUMainState.h"
#include "zepCStampa.h"

#include <QString>

class ITovDBCds;

class TZepReport {
public:
    static const QString TitoloStampa;      // "Denuncia UniEmens"
    static const QString TitoloStampaEMens; // "Denuncia E-Mens", the reduced form

    // The month's name ("gennaio" for "01"); empty when the month is not
    // above 0.
    static QString DescrMese(const QString &seammese);
    // The day header strip "| 1 | 2 |...|31 |" for the days of the month;
    // empty when the row has no day codes.
    static QString GiorniCal(const QString &giorni, int giorniMese);
    // The day-code strip "| S | N |...", one cell per day of the month, a day
    // beyond the codes reading 'N'; empty when the row has no day codes.
    static QString GiorniLav(const QString &giorni, int giorniMese);

    // The print of the declaration `denuncia`: the full one of the current
    // program, the reduced one of the earlier programs.
    TZepReport(ITovDBCds &store, TZepDenuncia denuncia);

    // The print of the working month of the program, in its form: loaded,
    // built, closed (also on error).
    static TZepStampa StampaDenuncia(IZepMainState &stato);

    // Loads every dataset of the print's form: the declarant (month 0 of
    // the store's year), the working-period file `filePeriodo`, then the
    // tables of the store's period (the reduced form: the employees and the
    // collaborators only; the other datasets stay closed). Errors reach the
    // caller.
    void Carica(const QString &filePeriodo);
    // Closes every dataset.
    void Chiudi();
    // The print of the loaded datasets.
    TZepStampa Stampa();
    // Whether this is the earlier programs' reduced form.
    bool Ridotta() const { return m_denuncia != TZepDenuncia::UniEmens; }

    platform::DataSet cdsDichiarante;
    platform::DataSet cdsDipendenti;
    platform::DataSet cdsCollaboratori;
    platform::DataSet cdsDenAziendale;
    platform::DataSet cdsIscritti; // TD0_ANAG, by surname and name
    platform::DataSet cdsE0;       // by start date
    platform::DataSet cdsEvE0;
    platform::DataSet cdsV1; // by start date
    platform::DataSet cdsEvV1;
    platform::DataSet cdsE1;
    QString SEAMANNOFIN, SEAMMESE, DESCRMESE;

private:
    void SezioneDichiarante(TZepStampa &stampa);
    void SezioneDipendenti(TZepStampa &stampa);
    void SezioneCollaboratori(TZepStampa &stampa);
    void SezioneDenunciaAziendale(TZepStampa &stampa);
    void SezionePubblico(TZepStampa &stampa);

    ITovDBCds &m_store;
    TZepDenuncia m_denuncia;
};
