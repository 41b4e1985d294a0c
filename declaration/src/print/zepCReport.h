#pragma once
// The declaration print ("Denuncia"), without any display: the whole
// declaration of the working month, loaded from the store in the print's
// order (declarant of the year, working-period file, employees,
// collaborators, company declaration, then the tables of the program's own
// section) and built into a TZepStampa: the declarant, per INPS company
// number its employees with their day strips, its performing-arts (FPLS)
// workers and the number's totals over both, the
// collaborators, the company declaration, and the program's own section
// (zepUni: the public-sector persons, TZepReportPubblico in UniEmens/print).
//
// The earlier programs' E-Mens declaration prints a reduced form of it
// (TZepDenuncia::EMens, EMensLocale): only the declarant, the working-period
// file, the employees and the collaborators are loaded, and an employee
// shows the E-Mens figures (pay variations in place of the contribution)
// without day strips, its amounts and totals in whole euros as the E-Mens
// file declares them; there is no company declaration and no section of
// the program's own.
#include "DataSet.h"
#include "ZepUMainState.h"
#include "zepCStampa.h"

#include <QString>

#include <memory>

class ITovDBCds;

// A section one program adds to its declaration print after the company
// declaration (TZepProgramma::SezioneDenuncia): it loads its tables when
// the print loads, adds its blocks when the print is built and closes its
// tables with the print's.
class IZepSezioneDenuncia {
public:
    virtual ~IZepSezioneDenuncia();
    virtual void Carica(ITovDBCds &store) = 0;
    virtual void Blocchi(TZepStampa &stampa) = 0;
    virtual void Chiudi() = 0;
};

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
    // The collaborators' table without rows: its ten columns, the figures'
    // on the right, the smaller text that keeps a name on one line.
    static TZepStampaTabella TabellaCollaboratori();

    // The print of the declaration `denuncia`: the full one of the current
    // program, with the program's own `sezione` (none: without), the
    // reduced one of the earlier programs.
    TZepReport(ITovDBCds &store, TZepDenuncia denuncia, std::unique_ptr<IZepSezioneDenuncia> sezione = {});
    ~TZepReport();

    // The print of the working month of the program, in its form, with the
    // program's own section: loaded, built, closed (also on error).
    static TZepStampa StampaDenuncia(IZepMainState &stato);

    // Loads every dataset of the print's form: the declarant (month 0 of
    // the store's year), the working-period file `filePeriodo`, then the
    // tables of the store's period and those of the program's own section
    // (the reduced form: the employees and the collaborators only; the
    // other datasets stay closed). Errors reach the caller.
    void Carica(const QString &filePeriodo);
    // Closes every dataset.
    void Chiudi();
    // The print of the loaded datasets.
    TZepStampa Stampa();
    // Whether this is the earlier programs' reduced form.
    bool Ridotta() const { return m_denuncia != TZepDenuncia::UniEmens; }

    platform::DataSet cdsDichiarante;
    platform::DataSet cdsDipendenti;
    platform::DataSet cdsFplsExEnpals; // the performing-arts workers
    platform::DataSet cdsCollaboratori;
    platform::DataSet cdsDenAziendale;
    QString SEAMANNOFIN, SEAMMESE, DESCRMESE;

private:
    void SezioneDichiarante(TZepStampa &stampa);
    void SezioneDipendenti(TZepStampa &stampa);
    void SezioneCollaboratori(TZepStampa &stampa);
    void SezioneDenunciaAziendale(TZepStampa &stampa);

    ITovDBCds &m_store;
    TZepDenuncia m_denuncia;
    std::unique_ptr<IZepSezioneDenuncia> m_sezione;
};
