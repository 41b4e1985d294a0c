#pragma once
// The step "Crea file telematico" shared by the declaration files' writers
// (UniEmens and E-Mens): the folder made, the name asked, the question
// before an existing file is replaced, the writer run, and the log lines and
// messages of the end, success or failure.
#include "ZepULogFile.h"

#include <QString>
#include <exception>
#include <functional>

namespace platform {
class Field;
}

class TZepCreaFile {
public:
    static const QString MsgAnnullata;     // "Operazione annullata dall'utente."
    static const QString MsgTerminata;     // "Operazione terminata con successo."
    static const QString MsgErrore;        // "Errore nella generazione del file, ..."
    static const QString MsgSovrascrivere; // asked before an existing file is replaced

    // Where the software house's fiscal code written into CFSoftwarehouse
    // is configured: the key "CFSoftwarehouse" of the section
    // [FileTelematico] of "UniEmens.ini" in the etc folder
    // (TWunUtil::CartellaEtc()), for both declaration files.
    static const QString FileConfigurazione;    // "UniEmens.ini"
    static const QString SezioneConfigurazione; // "FileTelematico"
    // The configured code, trimmed (empty when unset).
    static QString CFSoftwarehouseConfigurato();

    // The name of the file to write, asked in `cartella` with `nome` as the
    // default; empty when the user cancelled.
    using SceltaFile = std::function<QString(const QString &cartella, const QString &nome)>;

    // A figure as the E-Mens file declares it: an amount in whole euros,
    // rounded half away from zero, any other number as it is; 0 for null.
    // The file's one rounding: its writer and the prints of its declaration
    // both take their figures from here, so that a print shows what the
    // file declares.
    static int InteroDichiarato(const platform::Field &f);

    // The environment variable "ProgramFiles" as a full path (the user's
    // home folder when it is unset) + `sottocartella` ("/INPS/...").
    static QString CartellaProgrammi(const QString &sottocartella);

    // Makes `cartella` (with any missing parents), asks `scegli` for the
    // file, asks before an existing one is replaced (no: cancelled), then
    // runs `genera` on the chosen name. On success logs an empty line and
    // MsgTerminata and shows it; on any error logs "***  " + the message and
    // shows TestoErrore with `persona()`, the person being written when it
    // failed. True when the file was written.
    static bool Esegui(const QString &cartella, const QString &nome, const SceltaFile &scegli,
                       const std::function<void(const QString &file)> &genera, const std::function<QString()> &persona,
                       IZepLogFile *log);

    // MsgErrore, an empty line, the person being written, and "***  " +
    // the message.
    static QString TestoErrore(const QString &persona, const QString &messaggio);
    // The same for a failure met while the person was current: an error of
    // the archive itself (disk full, connection lost) or a file that cannot
    // be written is told by its cause and not put on the person.
    static QString TestoErrore(const QString &persona, const std::exception &errore);
};
