#include "SqlQuery.h"
#include "TextCache.h"

#include "DataSet.h"
#include "FbClient.h"
#include "SameName.h"
#include "SqlPrepared.h"

#include <algorithm>
#include <QHash>
#include <QRegularExpression>

#include <ibase.h>

namespace platform {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Longest text bound with a CAST of its own length; longer texts (memo
// blobs) are bound as the engine describes the parameter.
constexpr int MaxCastLength = 1024;

int castLength(const QString &text)
{
    int n = 32;
    while (n < text.size())
        n *= 2;
    return n;
}

} // namespace

// ---------------------------------------------------------------------------
// SqlStatement

namespace {

// For an EXECUTE BLOCK, the span of its parameter list (inside the
// parentheses; empty when it has none); {-1, -1} for any other statement.
std::pair<int, int> blockParameterList(const QString &sql)
{
    static const QRegularExpression head(QStringLiteral("^\\s*EXECUTE\\s+BLOCK\\s*"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = head.match(sql);
    if (!m.hasMatch())
        return {-1, -1};
    const int open = int(m.capturedEnd());
    const int n = int(sql.size());
    if (open >= n || sql.at(open) != QLatin1Char('('))
        return {open, open};
    int depth = 0;
    for (int i = open; i < n;) {
        const int skipped = SqlStatement::skipQuotedOrComment(sql, i);
        if (skipped >= 0) {
            i = skipped;
            continue;
        }
        if (sql.at(i) == QLatin1Char('('))
            ++depth;
        else if (sql.at(i) == QLatin1Char(')') && --depth == 0)
            return {open + 1, i};
        ++i;
    }
    return {open + 1, n};
}

} // namespace

int SqlStatement::skipQuotedOrComment(const QString &sql, int i)
{
    const int n = int(sql.size());
    const QChar c = sql.at(i);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        int j = i + 1;
        while (j < n) {
            if (sql.at(j) == c) {
                if (j + 1 < n && sql.at(j + 1) == c) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        return qMin(j + 1, n);
    }
    if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
        const int j = int(sql.indexOf(QLatin1Char('\n'), i));
        return j < 0 ? n : j;
    }
    if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
        const int j = int(sql.indexOf(QLatin1String("*/"), i + 2));
        return j < 0 ? n : j + 2;
    }
    return -1;
}

namespace {

SqlStatement parseText(const QString &sql)
{
    SqlStatement st;
    const auto [listBegin, listEnd] = blockParameterList(sql);
    st.declaredTypes = listBegin >= 0;
    const int n = int(sql.size());
    int start = 0; // where the text since the last placeholder begins
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const int skipped = SqlStatement::skipQuotedOrComment(sql, i);
        if (skipped >= 0) {
            i = skipped;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql.at(i + 1))
                   && !(i > 0 && sql.at(i - 1) == QLatin1Char(':'))
                   && (!st.declaredTypes || (i >= listBegin && i < listEnd))) {
            int j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            st.parts << sql.mid(start, i - start);
            st.names << sql.mid(i + 1, j - i - 1);
            i = j;
            start = j;
        } else {
            ++i;
        }
    }
    st.parts << sql.mid(start);
    st.distinct = st.uniqueNames();
    st.plain = st.positional();
    return st;
}

} // namespace

SqlStatement SqlStatement::parse(const QString &sql)
{
    // The same few texts come again and again (a statement of the catalogue
    // for every person, the store's statements for every save).
    return madeOncePerText(sql, [](const QString &t) { return parseText(t); });
}

QStringList SqlStatement::uniqueNames() const
{
    if (!distinct.isEmpty() || names.isEmpty())
        return distinct;
    QStringList out;
    for (const QString &name : names) {
        bool seen = false;
        for (const QString &o : out)
            if (o.compare(name, Qt::CaseInsensitive) == 0) {
                seen = true;
                break;
            }
        if (!seen)
            out << name;
    }
    return out;
}

QString SqlStatement::positional() const
{
    if (!plain.isNull())
        return plain;
    QString out = parts.value(0);
    for (int i = 0; i < names.size(); ++i)
        out += QLatin1Char('?') + parts.value(i + 1);
    return out;
}

// ---------------------------------------------------------------------------
// SqlQuery

SqlQuery::SqlQuery(Database &database) : m_db(&database), m_dbAlive(database.m_lifetime) {}

SqlQuery::SqlQuery() : SqlQuery(Database::requireGlobal()) {}

SqlQuery::~SqlQuery()
{
    // A connection gone first has freed its statements already.
    if (m_dbAlive.expired())
        return;
    try {
        close();
    } catch (...) {
        // Only the own transaction of a read result can fail to commit
        // here; what it read is not lost, and nothing it wrote is pending.
    }
    releaseStatement();
}

void SqlQuery::releaseStatement()
{
    if (m_prepared && !m_dbAlive.expired())
        m_db->release(std::move(m_prepared));
    m_prepared.reset();
}

void SqlQuery::setSql(const QString &sql)
{
    close();
    const bool stessoTesto = !m_statement.parts.isEmpty() && sql == m_sql;
    m_sql = sql;
    if (!stessoTesto)
        m_statement = SqlStatement::parse(sql);
    m_params.clear();
    for (const QString &name : m_statement.uniqueNames())
        m_params.appendUntyped(name);
    // The same text again (a named statement given to the query for each
    // row of a loop): the prepared statement stays.
    if (stessoTesto)
        return;
    releaseStatement();
    m_signature.clear();
    m_placeholderParams.clear();
    m_columns.clear();
    m_columnsStale = true;
}

SqlQuery &SqlQuery::bind(const QString &name, const Value &value)
{
    m_params.paramByName(name).setValue(value);
    return *this;
}

SqlQuery &SqlQuery::setNull(const QString &name, FieldType type)
{
    Param &p = m_params.paramByName(name);
    p.setDataType(type);
    p.clear();
    return *this;
}

void SqlQuery::endOwnTransaction(bool commit)
{
    if (!m_prepared || !m_prepared->own)
        return;
    m_prepared->endOwn(commit);
}

const QList<const Param *> &SqlQuery::prepareBound()
{
    if (!m_db->isOpen())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    // The statement the engine sees: "?" for each placeholder, a text value
    // cast to a text of its own length. Each text is prepared once per
    // connection and kept.
    const int placeholders = int(m_statement.names.size());
    // Kept from one execution to the next: a loop runs the same statement
    // over and over without making these lists again.
    QList<const Param *> &bound = m_bound;
    QList<int> &signature = m_nextSignature;
    bound.clear();
    signature.clear();
    m_placeholderParams.resize(placeholders, -1);
    for (int i = 0; i < placeholders; ++i) {
        const QString &name = m_statement.names.at(i);
        int &index = m_placeholderParams[i];
        if (index < 0 || index >= m_params.count() || m_params[index].name().compare(name, Qt::CaseInsensitive) != 0) {
            index = -1;
            for (int k = 0; k < m_params.count(); ++k)
                if (m_params[k].name().compare(name, Qt::CaseInsensitive) == 0) {
                    index = k;
                    break;
                }
            if (index < 0)
                throw EDatabaseError(QStringLiteral("Parametro '%1' non trovato").arg(name));
        }
        const Param *p = &m_params[index];
        bound << p;
        const Value &v = p->value();
        int cast = 0;
        if (const QString *text = v.textIf(); text && !m_statement.declaredTypes) {
            if (text->size() <= MaxCastLength)
                cast = castLength(*text);
        }
        signature << cast;
    }

    if (!m_prepared || m_prepared->statement.disposed() || signature != m_signature) {
        releaseStatement();
        // Without a cast (no text parameter) the text is the one made when
        // the statement was parsed: a new query object for every result
        // loaded built it again.
        QString text;
        if (std::none_of(signature.cbegin(), signature.cend(), [](int cast) { return cast > 0; })) {
            text = m_statement.positional();
        } else {
            text = m_statement.parts.value(0);
            for (int i = 0; i < placeholders; ++i) {
                if (signature.at(i) > 0)
                    text += QStringLiteral("CAST(? AS VARCHAR(%1))").arg(signature.at(i));
                else
                    text += QLatin1Char('?');
                text += m_statement.parts.value(i + 1);
            }
        }
        m_signature.clear();
        m_prepared = m_db->acquire(text);
        m_signature = signature;
        m_columnsStale = true;
    }
    return bound;
}

void SqlQuery::prepare()
{
    close();
    prepareBound();
}

void SqlQuery::run()
{
    close();
    const QList<const Param *> &bound = prepareBound();
    fb::Statement &st = m_prepared->statement;
    if (st.isDdl())
        m_db->dropIdleStatements();
    fb::Transaction *transaction = m_db->transaction();
    if (!transaction) {
        m_prepared->own = m_db->startOwnTransaction();
        transaction = m_prepared->own.get();
    }
    try {
        st.execute(*transaction, bound);
    } catch (...) {
        try {
            endOwnTransaction(false);
        } catch (...) {
            // The statement's failure is the one to report.
        }
        throw;
    }
    m_active = true;
    if (m_columnsStale) {
        if (!m_prepared->columnsTyped) {
            m_prepared->columns = typedColumns(st.columns());
            m_prepared->columnsTyped = true;
        }
        m_columns = m_prepared->columns;
        m_columnsStale = false;
    }
    if (st.hasCursor()) {
        next();
    } else {
        // A procedure's output row, when it has one, is the result.
        m_eof = m_columns.isEmpty();
    }
}

void SqlQuery::open()
{
    run();
}

int SqlQuery::execSQL()
{
    run();
    const qint64 affected = m_prepared ? m_prepared->statement.affectedRows() : -1;
    // A procedure that returns a row, or a select, leaves it readable; any
    // other statement leaves nothing open.
    if (m_columns.isEmpty())
        close();
    return int(affected);
}

void SqlQuery::close()
{
    const bool wasActive = m_active;
    m_active = false;
    m_eof = true;
    if (!m_prepared)
        return;
    m_prepared->statement.closeCursor();
    if (wasActive || m_prepared->own)
        endOwnTransaction(true);
}

void SqlQuery::next()
{
    if (!m_active)
        throw EDatabaseError(QStringLiteral("Query non aperta."));
    if (!m_prepared || m_prepared->statement.disposed())
        throw EDatabaseError(QStringLiteral("Query non aperta: la connessione al database è stata chiusa."));
    m_eof = !m_prepared->statement.fetch();
    // Read to its end, a result outside the connection's transaction ends
    // its own at once.
    if (m_eof)
        endOwnTransaction(true);
}

QList<SqlColumn> SqlQuery::typedColumns(const QList<fb::ColumnInfo> &described)
{
    QList<SqlColumn> columns;
    QHash<QString, int> seen;
    for (const fb::ColumnInfo &info : described) {
        SqlColumn col;
        QString name = info.alias;
        const QString key = name.toUpper();
        if (seen.contains(key)) {
            int n = seen.value(key);
            QString candidate;
            do {
                candidate = QStringLiteral("%1_%2").arg(name).arg(++n);
            } while (seen.contains(candidate.toUpper()));
            seen[key] = n;
            name = candidate;
        }
        seen.insert(name.toUpper(), 0);
        col.name = name;
        col.required = !info.nullable;

        switch (info.type) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            if (info.scale < 0 && info.scale >= -4)
                col.type = FieldType::Currency;
            else if (info.scale != 0)
                col.type = FieldType::Float;
            else if (info.type == SQL_INT64)
                col.type = FieldType::LargeInt;
            else
                col.type = info.type == SQL_SHORT ? FieldType::SmallInt : FieldType::Integer;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT: col.type = FieldType::Float; break;
        case SQL_TEXT:
        case SQL_VARYING:
            col.type = FieldType::String;
            col.size = qMax(1, int(info.length) / fb::bytesPerCharacter(info.charset));
            break;
        case SQL_TYPE_DATE: col.type = FieldType::Date; break;
        case SQL_TIMESTAMP: col.type = FieldType::DateTime; break;
        case SQL_TYPE_TIME: col.type = FieldType::Time; break;
        case SQL_BOOLEAN: col.type = FieldType::Boolean; break;
        case SQL_BLOB: col.type = info.subType == isc_blob_text ? FieldType::Memo : FieldType::Blob; break;
        default: col.type = FieldType::String; break;
        }
        columns << col;
    }
    return columns;
}

int SqlQuery::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (sameName(m_columns.at(i).name, name))
            return i;
    return -1;
}

Value SqlQuery::value(int column) const
{
    if (!m_active || m_eof || !m_prepared || m_prepared->statement.disposed())
        throw EDatabaseError(QStringLiteral("Nessuna riga corrente nel risultato della query."));
    if (column < 0 || column >= m_columns.size())
        throw EDatabaseError(QStringLiteral("Colonna %1 non presente nel risultato della query.").arg(column));
    return m_prepared->statement.value(column);
}

Value SqlQuery::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw EDatabaseError(QStringLiteral("Campo '%1' non trovato").arg(name));
    return value(i);
}

FieldDefs SqlQuery::fieldDefs() const
{
    if (m_prepared && m_prepared->columnsTyped && m_columns.constData() == m_prepared->columns.constData()) {
        if (!m_prepared->defsMade) {
            m_prepared->defs = defsOf(m_columns);
            m_prepared->defsMade = true;
        }
        return m_prepared->defs;
    }
    return defsOf(m_columns);
}

FieldDefs SqlQuery::defsOf(const QList<SqlColumn> &columns)
{
    FieldDefs defs;
    defs.reserve(columns.size());
    for (const SqlColumn &c : columns) {
        FieldDef d;
        d.name = c.name;
        d.type = c.type;
        d.size = c.type == FieldType::String ? c.size : 0;
        // Query results are edited and posted by the programs with columns
        // left empty; the database itself enforces its NOT NULL.
        d.required = false;
        defs << d;
    }
    return defs;
}

void SqlQuery::fetchInto(DataSet &dataSet)
{
    if (!m_active)
        throw EDatabaseError(QStringLiteral("Query non aperta."));
    const FieldDefs defs = fieldDefs();
    const int n = fieldCount();
    // Each row goes from the engine's message straight into its record.
    try {
        dataSet.loadRecordsFrom(defs, [&](ValueList &row) {
            if (m_eof)
                return false;
            const fb::Statement &st = m_prepared->statement;
            row.reserve(n);
            for (int i = 0; i < n; ++i)
                row.emplace_back(st.value(i));
            next();
            return true;
        });
    } catch (...) {
        try {
            close();
        } catch (...) {
            // The read's failure is the one to report.
        }
        throw;
    }
    close();
}

void SqlQuery::openDataSet(Database &database, DataSet &dataSet)
{
    SqlQuery q(database);
    q.setSql(dataSet.commandText());
    for (const Param &p : dataSet.params()) {
        if (Param *mine = q.m_params.findParam(p.name()))
            *mine = p;
    }
    q.open();
    q.fetchInto(dataSet);
}

} // namespace platform
