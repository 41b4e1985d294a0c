#pragma once
// The E-Mens file of the working period, without any display: the rules of
// the earlier program's wizard "Generazione file telematico" and its writer
// GeneraDenunceRetributiveMensili. In namespace emens, beside the current
// program's UniEmens writer of the same unit name.
//
// The window works in the order of its pages: CaricaTabelle reads the
// period's employees and collaborators; PreparaPrenota lists them for the
// choice "su Prenotazione"; EliminaNonSelezionati drops from the in-memory
// copies the rows not chosen, each matched to its own selection row;
// CreaFile asks for the file and writes it. Nothing is written to the
// declaration tables. Each element's children are set in the order of the
// element tree, because the document keeps the order in which they were
// first reached.
//
// The two forms: the database form (zepdb) writes the position leaves
// OrarioContrattuale, PercPartTime, NumMensilita and RetribTeorica; the
// local-file form (zep) writes none of them. Both name the person being
// written in every error box.
#include "Emens/ZepCEmensDataBinding.h"

#include "DataSet.h"
#include "ZepULogFile.h"

#include <QList>
#include <QString>
#include <functional>

class ITovDBCds;

namespace emens {

class TZepFile {
public:
    static const QString MsgNessunDato;            // "Nessun dato presente."
    static const QString MsgCampoNonImpostato;     // "Campo non impostato: "
    static const QString MsgMatricolaNonImpostata; // "Matricola INPS Azienda non impostata"
    static const QString MsgCapIstat;              // "Dichiarante: \"CAP amministrazione\" o ..."
    static const QString &MsgAnnullata;            // TZepCreaFile::MsgAnnullata
    static const QString &MsgTerminata;            // TZepCreaFile::MsgTerminata
    static const QString &MsgErrore;               // TZepCreaFile::MsgErrore
    static const QString &MsgSovrascrivere;        // TZepCreaFile::MsgSovrascrivere
    static const QString CartellaDenunce;          // "/INPS/Emens/Denunce-EMens"

    // `formaLocale`: the local-file form's document (no position leaves).
    TZepFile(ITovDBCds &store, bool formaLocale, IZepLogFile *log = nullptr);

    platform::DataSet cdsAmm;  // the declarant of the year
    platform::DataSet cdsDip;  // employees, index "Matricola;CFLavoratore"
    platform::DataSet cdsColl; // collaborators, index "CFCollaboratore"
    // Tipo ("D", "C"), CF, Cognome, Nome, Matricola, Qualifica2, and Riga,
    // the position of the person's row in its table; index "Tipo;Cognome;Nome".
    platform::DataSet cdsPrenota;

    QString NomeFile;
    // The software house's fiscal code (TZepCreaFile::CFSoftwarehouseConfigurato;
    // empty: not written).
    QString CFSoftwarehouse;
    const QString &PersonaCorrente() const { return m_personaCorrente; }

    // ApriDipendenti and ApriCollaboratori: the period's rows, reloaded.
    void CaricaTabelle();
    // RiempiPrenotazioni, the first time only.
    void PreparaPrenota();
    // FiltraPrenotazioni: every row whose selection row is not among
    // `selezionati` is dropped from the copy in memory; none selected: all
    // stay.
    void EliminaNonSelezionati(const QList<platform::Bookmark> &selezionati);

    // "EMens" + "AAAA-MM" + ".Xml".
    static QString NomeFileDefault();
    // "ProgramFiles" (the home folder when unset) + CartellaDenunce.
    static QString CartellaDefault();

    // "Crea file telematico": the person cleared, then the step shared with
    // the UniEmens writer (TZepCreaFile::Esegui: the folder made, the name
    // asked of `scegli`, empty meaning cancelled, the question before an
    // existing file is replaced, the file written, the log and messages of
    // the window). True when the file was written.
    using SceltaFile = std::function<QString(const QString &cartella, const QString &nome)>;
    bool CreaFile(const SceltaFile &scegli);
    static QString TestoErrore(const QString &persona, const QString &messaggio);
    static QString TestoErrore(const QString &persona, const std::exception &errore);

    // Builds the document and saves it to NomeFile (whole or not at all).
    void GeneraDenunceRetributiveMensili();
    IXMLDenunceRetributiveMensili CreaDocumento();
    void ScriviDipendenti(IXMLListaDenunceIndividualiList liste);
    void ScriviCollaboratori(IXMLListaCollaboratori lista);

    // The value when it holds more than blanks; else EUqError
    // MsgCampoNonImpostato + etichetta.
    static const QString &CampoObbligatorio(const QString &valore, const QString &etichetta);

private:
    void log(const QString &riga);

    ITovDBCds &m_store;
    bool m_formaLocale;
    IZepLogFile *m_log;
    QString m_personaCorrente;
    bool m_prenotaPronta = false;
};

} // namespace emens
