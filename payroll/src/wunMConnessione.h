#pragma once
// The payroll connection module, the first object the program creates
// (global dmwunConnessione, owned by the program). Creating it loads the
// named-SQL catalogue; opening it (ApriDatabase, when the main window is
// first shown) checks the catalogue against the program, connects, brings
// an older archive up to date, repairs a few known data defects and
// registers the report layouts.
//
// The catalogue: on a developer's machine (the catalogue's XML source
// stands where the build was made from, TTovQueryText::SourceFileName())
// the source is compiled at each start; the compile writes a ".cds" and
// its certificate only beside the source, and only over a writable ".cds"
// already there (the build's own catalogue step makes the program's copy).
// Everywhere else the source is absent. Then the compiled
// "wun_QueryText.cds" of TWunUtil::CartellaEtc() is loaded, with its
// certificate checked: an edited statement reaches the program through the
// build. SetSorgenteCatalogo changes or turns off the
// source looked for (tests).
//
// The archive is never created here: a missing archive file is refused with
// the platform's message naming the file (do not give this module a schema
// with SetSchema: that would create a missing file). An archive made by an
// earlier program version is upgraded through the archive's scripts right
// after the connect; one made by a newer version is refused.
#include "UqConnection.h"

#include <QString>
#include <memory>

namespace platform {
class SqlQuery;
} // namespace platform

class TdmwunConnessione : public TdmUqConnection {
    Q_OBJECT
public:
    // The title the catalogue's version message names.
    static const QString TitoloProdotto;
    // The texts of the five repairs, run in this order at every open.
    static const QStringList StatementiCorrezione;

    // Sets the global dmwunConnessione (one module a run).
    explicit TdmwunConnessione(QObject *parent = nullptr);
    ~TdmwunConnessione() override;

    // The framework's creation, then the catalogue: compiled from its XML
    // source when that exists (see above), certificate check on, and loaded
    // from "wun_QueryText.cds" of the etc folder when that exists (a missing
    // catalogue shows up at the first statement fetched by name).
    void DataModuleCreate() override;

    // Before every connect: "Connessione al database non consentita" when
    // there is no global connection.
    void xqoMainBeforeConnect();

    // CheckProgram, once for the catalogue loaded at creation (false: its
    // message was shown, nothing is connected);
    // then the connect and the archive's upgrade (false: the reason was
    // shown and the connection is closed); then DopoConnessione, whatever
    // the connect answered. A failing repair or report registration raises
    // (after the cursor was restored): the caller shows it.
    bool ApriDatabase();
    // Only when connected: under the hourglass, CorreggiDati, then
    // ImportaReport(false).
    void DopoConnessione();
    // The five repairs in one transaction (joined when the connection has
    // one already). On failure nothing of them stays: the transaction is
    // rolled back and EUqError says that the archive's data could not be
    // corrected, with the database's message. The third (field map and row
    // counter of layout 13) runs only when layout 13 is the employee table
    // TEMD_DIPENDENTI and has stored rows: layout ids here are given in
    // installation order, so 13 may be any table, and without rows the
    // counter would become null.
    void CorreggiDati();
    // The layouts of "wun_Report.xml" in the etc folder (nothing when the
    // file is missing), then RegistraRegistroCompensi.
    void ImportaReport(bool flag);
    // Report group 11006 "Registro compensi", child of 11001, bound to
    // application 11 (QRY_YAPVRFO, QRY_YRFO).
    void RegistraRegistroCompensi();

    platform::SqlQuery &qquAppoggio() const { return *m_qquAppoggio; }

    // Where the catalogue's XML source is looked for; empty: never compiled.
    static QString SorgenteCatalogo();
    static void SetSorgenteCatalogo(const QString &fileName);
    static void RipristinaSorgenteCatalogo();

    // The layout the third repair was written for.
    static const QString StrutturaDipendenti; // "TEMD_DIPENDENTI"

private:
    bool AggiornaArchivio();
    // Whether layout 13 is the employee table and has stored rows.
    static bool StrutturaDipendentiDaCorreggere(platform::SqlQuery &query);

    std::unique_ptr<platform::SqlQuery> m_qquAppoggio;
    bool m_catalogoVerificato = false;
};

// The one connection module of the run (nullptr before it is created and
// after it is destroyed).
extern TdmwunConnessione *dmwunConnessione;
