#pragma once
// What the two declaration files' writers share, the UniEmens one
// (UniEmens/ZepCFile.h) and the earlier program's E-Mens one
// (Emens/ZepCFile.h): the month's tables the wizard "Generazione file
// telematico" works on, its page steps, the step "Crea file telematico"
// (TZepCreaFile::Esegui), the person being written, the software house's
// configured code, and the messages both files give alike.
//
// The window works in the order of its pages: CaricaTabelle reads the
// period's tables; PreparaPrenota lists the persons for the choice "su
// Prenotazione"; EliminaNonSelezionati drops from the in-memory copies the
// persons not chosen; CreaFile asks for the file and runs the writer on
// it. Each writer fills its own document model.
#include "ZepUCreaFile.h"
#include "ZepULogFile.h"

#include "DataSet.h"
#include "Field.h"

#include <QList>
#include <QString>
#include <exception>

class ITovDBCds;

class TZepFileBase {
public:
    static const QString MsgNessunDato;            // "Nessun dato presente."
    static const QString &MsgCampoNonImpostato;    // TZepControlliFile::MsgCampoNonImpostato
    static const QString MsgMatricolaNonImpostata; // "Matricola INPS Azienda non impostata"
    static const QString &MsgDichiarante;          // TZepControlliFile::MsgDichiarante
    static const QString &MsgAnnullata;            // TZepCreaFile::MsgAnnullata
    static const QString &MsgTerminata;            // TZepCreaFile::MsgTerminata
    static const QString &MsgErrore;               // TZepCreaFile::MsgErrore
    static const QString &MsgSovrascrivere;        // TZepCreaFile::MsgSovrascrivere
    static const QString &FileConfigurazione;      // TZepCreaFile::FileConfigurazione
    static const QString &SezioneConfigurazione;   // TZepCreaFile::SezioneConfigurazione

    virtual ~TZepFileBase();
    TZepFileBase(const TZepFileBase &) = delete;
    TZepFileBase &operator=(const TZepFileBase &) = delete;

    // ---- the tables in memory ----
    platform::DataSet cdsAmm;  // the declarant of the year (loaded by the writer)
    platform::DataSet cdsDip;  // employees, index "Matricola;CFLavoratore"
    platform::DataSet cdsColl; // collaborators, index "CFCollaboratore"
    // The selection list: Tipo ("D" employee, "C" collaborator, and the
    // kinds of the writer's own), CF, Cognome, Nome, Matricola and
    // Qualifica2 (of those with a position only); index "Tipo;Cognome;Nome".
    platform::DataSet cdsPrenota;

    // The file the writer writes.
    QString NomeFile;
    // The software house's fiscal code, read from the configuration
    // (CFSoftwarehouseConfigurato; empty: not written).
    QString CFSoftwarehouse;

    // The person being written: Cognome + " " + Nome + " - CF: " + the
    // fiscal code; cleared at each run.
    const QString &PersonaCorrente() const { return m_personaCorrente; }

    // ---- the pages ----
    // The period's tables reloaded, each with its index: what a previous
    // EliminaNonSelezionati dropped comes back.
    virtual void CaricaTabelle() = 0;
    // Fills cdsPrenota from the tables, the first time only; then the first
    // row.
    virtual void PreparaPrenota() = 0;
    // Drops from the in-memory tables every person whose row of cdsPrenota
    // is not among `selezionati`; none selected: all stay.
    virtual void EliminaNonSelezionati(const QList<platform::Bookmark> &selezionati) = 0;

    // "Crea file telematico": the person cleared, then TZepCreaFile::Esegui
    // in the writer's default folder with its default name (the folder
    // made, the name asked of `scegli`, empty meaning cancelled, the
    // question before an existing file is replaced, the file written to
    // NomeFile, the log and messages of the window). True when the file was
    // written.
    using SceltaFile = TZepCreaFile::SceltaFile;
    bool CreaFile(const SceltaFile &scegli);
    // TZepCreaFile::TestoErrore: MsgErrore, an empty line, the person being
    // written, and "***  " + the message; a failure of the archive itself
    // or of the file is told by its cause and not put on the person.
    static QString TestoErrore(const QString &persona, const QString &messaggio);
    static QString TestoErrore(const QString &persona, const std::exception &errore);
    // The software house's code of the configuration (empty when unset).
    static QString CFSoftwarehouseConfigurato();

    // The value when it holds more than blanks; else EUqError
    // MsgCampoNonImpostato + etichetta.
    static const QString &CampoObbligatorio(const QString &valore, const QString &etichetta);

protected:
    // `log` may be nullptr.
    TZepFileBase(ITovDBCds &store, IZepLogFile *log);

    // What CreaFile proposes and runs: the writer's default folder and file
    // name, and its writer of the whole document to NomeFile.
    virtual QString CartellaFile() const = 0;
    virtual QString NomeFileProposto() const = 0;
    virtual void Genera() = 0;

    // cdsPrenota made empty: its columns (those above, then `altre`) and
    // its index.
    void CreaPrenota(const platform::FieldDefs &altre = {});

    void log(const QString &riga);
    // The log line of a person written: `tipo` + `riga` ("---- Dipendente
    // ..."), or `riga` between the marks of a person eliminated.
    void LogPersona(const QString &tipo, const QString &riga, bool eliminato);

    ITovDBCds &m_store;
    IZepLogFile *m_log;
    QString m_personaCorrente;
    bool m_prenotaPronta = false;
};
