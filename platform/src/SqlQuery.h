#pragma once
// A statement on a Database, with named parameters and typed results.
//
// Parameters are written ":NAME" (a letter or "_" first, then letters,
// digits, "_" or "$"). A name that appears several times binds every place
// with the same value. Text in single quotes, quoted identifiers ("...")
// and comments (-- to the end of the line, /* ... */) are left alone, so
// ':' inside them is not a parameter. Names compare without regard to case.
//
// EXECUTE BLOCK: only its parameter list holds placeholders
// ("EXECUTE BLOCK (X INTEGER = :X, S VARCHAR(40) = :S) AS BEGIN ... :X ...
// END"); the body names the block's own variables with a colon and reaches
// the engine as written. Its parameters are bound as the block declares
// them, without the text cast below: a text longer than declared is refused
// by the engine.
//
// Parameter values are platform::Value; an unassigned parameter binds as
// Null, and so does a typed null (setNull(name, FieldType::Date)). Values
// are sent in their own type and converted by the engine into the
// parameter's: Currency as an integer of four decimals (rounded half away
// from zero to the column's decimals), never a double. Text values up to
// 1,024 characters are bound as text of their own length (a CAST in the
// statement the engine sees), so a parameter compared with a short literal
// (":P = ''") is compared whole instead of being cut to the literal's
// length.
//
// The statement is prepared once per connection: a query given the same
// text again, or another query with the same text, runs the statement the
// connection keeps prepared, in the connection's transaction or, without
// one, in a short read-committed transaction of its own that ends when the
// result is closed (or read to its end).
//
// Results: columns are found by name without regard to case; each value
// comes back as a Value of the column's kind:
//   SMALLINT, INTEGER      Integer         BIGINT            LargeInt
//   NUMERIC/DECIMAL, scale 1..4: Currency (read exactly, as the scaled
//   integer the engine keeps), larger scales: Float
//   FLOAT, DOUBLE          Float           CHAR, VARCHAR     Text (CHAR without trailing blanks)
//   DATE                   Date            TIMESTAMP         DateTime
//   TIME                   Time            BOOLEAN           Boolean
//   BLOB SUB_TYPE TEXT     Text            other BLOB        Bytes
//   NULL                   Null
// A failing statement raises EDatabaseError with the engine's message.
#include "Database.h"
#include "Field.h"
#include "Params.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

class DataSet;
namespace fb {
struct ColumnInfo;
} // namespace fb

// A statement split at its ":NAME" placeholders.
struct SqlStatement {
    QStringList parts;          // the text around the placeholders: names.size() + 1 pieces
    QStringList names;          // the parameter of each placeholder, in order, repeats kept
    bool declaredTypes = false; // an EXECUTE BLOCK: its parameters carry their own types
    QStringList distinct;       // each name once, in order of first appearance (made by parse)
    QString plain;              // the text positional() gives (made by parse)

    static SqlStatement parse(const QString &sql);
    // The end of the quoted text, quoted identifier or comment starting at
    // `i` of `sql` (a doubled quote stays inside), or -1 when none starts
    // there.
    static int skipQuotedOrComment(const QString &sql, int i);
    // Each name once, in order of first appearance.
    QStringList uniqueNames() const;
    // The text with "?" in place of every placeholder.
    QString positional() const;
};

// A result column as the SQL layer types it.
struct SqlColumn {
    QString name; // unique in the result: a repeated name gets "_1", "_2", ...
    FieldType type = FieldType::String;
    int size = 0; // String: characters; else 0
    bool required = false;
};

class SqlQuery {
public:
    // The query runs on `database` (must outlive the query).
    explicit SqlQuery(Database &database);
    // On the framework's global connection (EDatabaseError when none is set).
    SqlQuery();
    ~SqlQuery();
    SqlQuery(const SqlQuery &) = delete;
    SqlQuery &operator=(const SqlQuery &) = delete;

    Database &database() const { return *m_db; }

    // Closes the query, sets the text and rebuilds the parameters from it
    // (untyped, unassigned). The same text as before keeps the prepared
    // statement.
    void setSql(const QString &sql);
    const QString &sql() const { return m_sql; }

    Params &params() { return m_params; }
    const Params &params() const { return m_params; }
    // EDataSetError "Parametro 'X' non trovato" for a name not in the text.
    Param &paramByName(const QString &name) { return m_params.paramByName(name); }
    SqlQuery &bind(const QString &name, const Value &value);
    SqlQuery &setNull(const QString &name, FieldType type);

    // Prepares the statement (its parameters as untyped as they stand)
    // without running it: EDatabaseError when the engine refuses it.
    void prepare();
    // Runs a statement that returns rows and stands on the first one (eof()
    // when there is none).
    void open();
    // Runs a statement without a result set (or a procedure returning one
    // row: read it with value() afterwards). Returns the rows affected, -1
    // when the engine cannot tell.
    int execSQL();
    // Closes the result; the prepared statement and parameters stay.
    void close();
    bool isActive() const { return m_active; }

    bool eof() const { return m_eof; }
    void next();

    // The columns of the last result (kept after close()).
    const QList<SqlColumn> &columns() const { return m_columns; }
    int fieldCount() const { return int(m_columns.size()); }
    // -1 when there is no such column (case-insensitive).
    int fieldIndex(const QString &name) const;
    // Values of the current row. EDatabaseError when no row is current or
    // the column is unknown ("Campo 'X' non trovato").
    Value value(int column) const;
    Value value(const QString &name) const;

    // Field definitions of the result, for a dataset.
    FieldDefs fieldDefs() const;
    // Reads the remaining rows (from the current one) into `dataSet`,
    // replacing its structure and records (no change log), then closes the
    // query.
    void fetchInto(DataSet &dataSet);

    // Runs dataSet.commandText() with dataSet.params() on `database` and
    // loads the result into the dataset (structure and rows).
    static void openDataSet(Database &database, DataSet &dataSet);

private:
    static FieldDefs defsOf(const QList<SqlColumn> &columns);
    // The statement of the current text and parameters, prepared; the
    // parameters bound, in placeholder order.
    const QList<const Param *> &prepareBound();
    void run();
    // The columns of a result as the engine describes them, typed.
    static QList<SqlColumn> typedColumns(const QList<fb::ColumnInfo> &described);
    void releaseStatement();
    // Ends the statement's own transaction, committed or rolled back.
    void endOwnTransaction(bool commit);

    Database *m_db;
    std::weak_ptr<void> m_dbAlive;
    QString m_sql;
    SqlStatement m_statement;
    Params m_params;
    std::shared_ptr<detail::PreparedStatement> m_prepared;
    QList<int> m_signature;         // cast length of each placeholder (0: none) of the prepared text
    QList<int> m_placeholderParams; // index in m_params of each placeholder's parameter
    QList<const Param *> m_bound;   // the parameter of each placeholder, for the execution at hand
    QList<int> m_nextSignature;     // the cast lengths the execution at hand asks for
    QList<SqlColumn> m_columns;
    bool m_columnsStale = true;
    bool m_active = false;
    bool m_eof = true;
};

} // namespace platform
