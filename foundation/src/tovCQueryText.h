#pragma once
// The catalogue of named SQL statements. Apart from a few built-in
// statements, every statement the programs run is taken from here by name,
// kind and list index. The catalogue is loaded once per run from its
// compiled file ("wun_QueryText.cds" in "..\etc\wun\" beside the program),
// whose certificate (".unxc") and version row are checked before the
// database is opened.
//
// Rows (fields brought by the catalogue file):
//   Query   statement name, upper case by convention (QRY_...); also the
//           version rows "VER_" + program file name
//   Tipo    "SELECT", "EXECUTE", "INSERT", "UPDATE", "DELETE"; in a version
//           row the minimum program version
//   Indice  position in a list of statements of one name and kind: 0, 1, ...
//   SQL     the statement, with ":NAME" parameters
// Lookups are exact, case-sensitive matches; the first row in file order
// wins. A missing statement never reaches the database: it stops the
// operation with an assertion ("Query: " + name, or "Query : " + name from
// GetSQL).
#include "DataSet.h"
#include "Value.h"

#include <QHash>
#include <QString>
#include <exception>

namespace platform {
class SqlQuery;
} // namespace platform
class TUqQueryCollection;

// The running program as the version check sees it.
struct TovProgramInfo {
    QString fileName;         // the program file's name as it stands on disk ("zepUni")
    QString version;          // its dotted version ("22.0.8")
    QString applicationTitle; // the title its messages name
};

// The text of a failed version check: the current programs' form, or the
// form of the earlier program `zep`.
enum class TovVersionMessage { Standard, Zep };

class TTovQueryText : public platform::DataSet {
public:
    TTovQueryText();
    ~TTovQueryText() override;

    // Loads the catalogue from a binary dataset file, replacing its rows.
    // With the certificate check on, also keeps the file's certificate and
    // the name of its certificate file (the extension changed to ".unxc").
    // Load errors reach the caller unchanged.
    void LoadQueries(const QString &fileName);
    void SetCheckCertificate(bool on) { m_checkCertificate = on; }
    bool CheckCertificate() const { return m_checkCertificate; }

    // Gives the query the text of statement (name upper-cased, kind, index)
    // followed by `appended` (a condition the caller adds); an empty kind
    // stands for "EXECUTE". The query's parameters start unassigned; the
    // text given again keeps the query's prepared statement. A missing
    // statement leaves the query without text and raises the assertion
    // "Query: " + name.
    void AssignSQL(const QString &name, platform::SqlQuery &query, int index = 0,
                   const QString &kind = QStringLiteral("EXECUTE"), const QString &appended = {});
    // Gives the dataset the command text of statement (name as passed,
    // kind) and rebuilds its parameters; a missing statement raises the
    // assertion "Query: " + name.
    void AssignCommand(const QString &name, platform::DataSet &dataSet, const QString &kind);
    // The text of statement (name, kind) as passed; a missing or empty one
    // raises the assertion "Query : " + name.
    QString GetSQL(const QString &name, const QString &kind);
    // Gives the query collection its SELECT (as AssignCommand with kind
    // "SELECT") and its INSERT, UPDATE and DELETE lists: the statements of
    // the name and kind with index 0, 1, 2 ..., up to the first missing
    // index. A missing SELECT raises the assertion "Query: " + name.
    void AssignQueryCollection(const QString &name, TUqQueryCollection &collection);

    // Rebuilds the dataset's parameter list from its command text (every
    // ":NAME" becomes an input parameter; values set before are lost).
    static void ParseParams(platform::DataSet &dataSet);
    // The dataset's command text becomes the platform's Format of it with
    // the arguments, then its parameters are rebuilt. The arguments are
    // pieces of statement that the program builds (conditions, column
    // suffixes, lists of numbers): integers and texts without quotes,
    // semicolons or comment marks. Anything else (a date, an amount, a text
    // that could carry a literal) must travel as a bound parameter and is
    // refused with an assertion.
    static void FormatSQL(platform::DataSet &dataSet, const platform::ValueList &args);

    // The note on the last database operation for an error text: CR LF,
    // "Ultima operazione DB: " and the name of the statement handed out
    // last. Empty for the foundation's warnings (ETovWarning and what
    // derives from it), for assertion failures and before any statement was
    // handed out.
    QString LastOperation(const std::exception &error) const;
    // The name of the statement handed out last (empty at creation).
    const QString &LastOperationName() const { return m_lastOperation; }

    // Builds, from the catalogue's XML source, the binary catalogue file
    // beside it (extension ".cds") and its certificate (extension ".unxc").
    // Loads the XML into the catalogue first; when the ".cds" target does
    // not exist or is read-only nothing is written (no message) and the
    // catalogue stays loaded from the XML. Load and write errors reach the
    // caller.
    void CompileQueries(const QString &xmlFileName);

    // The certificate and minimum-version check, once per run before the
    // database is opened: true when both pass; otherwise the failure is
    // shown in an error message box and the result is false. Nothing is
    // raised. The program is the running one.
    bool CheckProgram(const QString &title);
    // The same check for a given program, without showing anything: the
    // empty text when it passes, else the message CheckProgram shows.
    QString CheckProgramMessage(const QString &title, const TovProgramInfo &program);
    // Which text a failed version check shows (Standard unless the program
    // is `zep`).
    void SetVersionMessage(TovVersionMessage kind) { m_versionMessage = kind; }

    // Whether a dotted version is at least the minimum: identical texts
    // pass; otherwise the parts 1 to 3 are compared as whole numbers and
    // the first that differs decides; a missing or non-numeric part among
    // them fails; further parts are never looked at.
    static bool VersionAtLeast(const QString &version, const QString &minimum);

    // Where the catalogue's XML source stands in the developer's tree (fixed
    // when the library is built), and where the running program looks for
    // the compiled catalogue: "..\etc\wun\wun_QueryText.cds" from its folder.
    static QString SourceFileName();
    static QString CatalogueFileName();

private:
    // Makes the row (name, kind[, index]) current; false when there is none
    // (an empty catalogue has none).
    bool find(const QString &name, const QString &kind, const platform::Value &index);
    bool findName(const QString &name);
    // The rows by name and kind, and by name, kind and index: the position
    // of the first of each (row order, as locate finds it), made again
    // after any change of the rows, their order or filter.
    void buildPositions();
    QString currentSql() const;
    void checkAssigned(const QString &name, const QString &statement);

    QString m_certificate;
    QString m_certificateFileName;
    QString m_lastOperation;
    bool m_checkCertificate = false;
    TovVersionMessage m_versionMessage = TovVersionMessage::Standard;

public:
    // A row's name, kind and index as locate compares them: a null value
    // apart from every text.
    struct PositionKey {
        QString name, kind;
        int index = 0;
        bool nameNull = false, kindNull = false, indexNull = false, withIndex = false;
        bool operator==(const PositionKey &) const = default;
        friend size_t qHash(const PositionKey &k, size_t seed = 0)
        {
            return qHashMulti(seed, k.name, k.kind, k.index, k.nameNull, k.kindNull, k.indexNull, k.withIndex);
        }
    };

private:
    QHash<PositionKey, int> m_positions;
    bool m_positionsValid = false;
    int m_observer = -1;
};

// The one catalogue of the run: created at its first use, freed at the end
// of the program.
TTovQueryText &TovQueryText();
