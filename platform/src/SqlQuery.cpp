#include "SqlQuery.h"

#include "DataSet.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace platform {

namespace {

// Firebird's SQL type codes (the low bit flags a nullable column).
constexpr int FbVarying = 448, FbText = 452, FbDouble = 480, FbFloat = 482, FbLong = 496, FbShort = 500,
              FbTimestamp = 510, FbBlob = 520, FbTime = 560, FbDate = 570, FbInt64 = 580, FbBoolean = 32764;

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Longest text bound with a CAST of its own length; longer texts (memo
// blobs) are bound as the driver describes the parameter.
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

SqlStatement SqlStatement::parse(const QString &sql)
{
    SqlStatement st;
    const auto [listBegin, listEnd] = blockParameterList(sql);
    st.declaredTypes = listBegin >= 0;
    QString current;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const int skipped = SqlStatement::skipQuotedOrComment(sql, i);
        if (skipped >= 0) {
            current += QStringView(sql).mid(i, skipped - i);
            i = skipped;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql.at(i + 1))
                   && !(i > 0 && sql.at(i - 1) == QLatin1Char(':'))
                   && (!st.declaredTypes || (i >= listBegin && i < listEnd))) {
            int j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            st.parts << current;
            current.clear();
            st.names << sql.mid(i + 1, j - i - 1);
            i = j;
        } else {
            current += c;
            ++i;
        }
    }
    st.parts << current;
    return st;
}

QStringList SqlStatement::uniqueNames() const
{
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
    QString out = parts.value(0);
    for (int i = 0; i < names.size(); ++i)
        out += QLatin1Char('?') + parts.value(i + 1);
    return out;
}

// ---------------------------------------------------------------------------
// typed nulls

QVariant typedNull(FieldType type)
{
    switch (type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
    case FieldType::Word: return QVariant(QMetaType::fromType<int>());
    case FieldType::LargeInt: return QVariant(QMetaType::fromType<qlonglong>());
    case FieldType::Boolean: return QVariant(QMetaType::fromType<bool>());
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: return QVariant(QMetaType::fromType<double>());
    case FieldType::Date: return QVariant(QMetaType::fromType<QDate>());
    case FieldType::DateTime: return QVariant(QMetaType::fromType<QDateTime>());
    case FieldType::Time: return QVariant(QMetaType::fromType<QTime>());
    case FieldType::Blob: return QVariant(QMetaType::fromType<QByteArray>());
    case FieldType::String:
    case FieldType::Memo: break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

namespace {

// What the driver is given for a value.
QVariant bindValue(const Param &param)
{
    const Value &v = param.value();
    switch (v.type()) {
    case ValueType::Unassigned:
    case ValueType::Null: return typedNull(param.dataType());
    case ValueType::Integer: return QVariant(v.toInt());
    case ValueType::LargeInt: return QVariant(qlonglong(v.toInt64()));
    case ValueType::Float: return QVariant(v.toDouble());
    case ValueType::Currency:
        // The driver scales a double by the column's decimals and rounds it
        // to the nearest unit, which gives back the exact amount.
        return QVariant(v.toCurrency().toDouble());
    case ValueType::Text: return QVariant(v.toString());
    case ValueType::Date: return QVariant(v.toDate());
    case ValueType::DateTime: return QVariant(v.toDateTime());
    case ValueType::Time: return QVariant(v.toTime());
    case ValueType::Boolean: return QVariant(v.toBool());
    case ValueType::Bytes: return QVariant(v.toBytes());
    }
    return QVariant();
}

} // namespace

// ---------------------------------------------------------------------------
// SqlQuery

SqlQuery::SqlQuery(Database &database) : m_db(&database) {}

SqlQuery::SqlQuery() : m_db(&Database::requireGlobal()) {}

SqlQuery::~SqlQuery() = default;

void SqlQuery::setSql(const QString &sql)
{
    close();
    const bool stessoTesto = m_query && sql == m_sql;
    m_sql = sql;
    if (!stessoTesto)
        m_statement = SqlStatement::parse(sql);
    m_params.clear();
    for (const QString &name : m_statement.uniqueNames())
        m_params.addUntyped(name);
    // The same text again (a named statement given to the query for each
    // row of a loop): the prepared statement stays, and the next run
    // prepares only when the transaction or a text cast changed.
    if (stessoTesto)
        return;
    m_preparedText.clear();
    m_signature.clear();
    m_placeholderParams.clear();
    m_columns.clear();
    m_kinds.clear();
    m_columnsStale = true;
    m_query.reset();
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

QString SqlQuery::raiseText(const QString &fallback) const
{
    QString text;
    if (m_query) {
        const QSqlError e = m_query->lastError();
        text = e.databaseText().trimmed();
        if (text.isEmpty())
            text = e.text().trimmed();
    }
    return text.isEmpty() ? fallback : text;
}

void SqlQuery::run(bool select)
{
    if (!m_db->isOpen())
        throw EDatabaseError(QStringLiteral("Connessione al database non aperta."));
    close();

    // The statement the driver sees: "?" for each placeholder, a text value
    // cast to a text of its own length. The text is built again only when a
    // cast length changed since the last execution.
    const int placeholders = int(m_statement.names.size());
    QList<const Param *> bound;
    bound.reserve(placeholders);
    QList<int> signature;
    signature.reserve(placeholders);
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
        if (v.type() == ValueType::Text && !m_statement.declaredTypes) {
            const QString text = v.toString();
            if (text.size() <= MaxCastLength)
                cast = castLength(text);
        }
        signature << cast;
    }

    if (!m_query || signature != m_signature || m_generation != m_db->transactionGeneration()) {
        QString text = m_statement.parts.value(0);
        for (int i = 0; i < placeholders; ++i) {
            if (signature.at(i) > 0)
                text += QStringLiteral("CAST(? AS VARCHAR(%1))").arg(signature.at(i));
            else
                text += QLatin1Char('?');
            text += m_statement.parts.value(i + 1);
        }
        m_query = std::make_unique<QSqlQuery>(m_db->qtDatabase());
        m_query->setForwardOnly(true);
        m_preparedText.clear();
        m_signature.clear();
        if (!m_query->prepare(text))
            throw EDatabaseError(raiseText(QStringLiteral("Impossibile preparare l'istruzione SQL.")));
        m_preparedText = text;
        m_signature = signature;
        m_generation = m_db->transactionGeneration();
        m_columnsStale = true;
    }
    for (int i = 0; i < bound.size(); ++i)
        m_query->bindValue(i, bindValue(*bound.at(i)));
    if (!m_query->exec())
        throw EDatabaseError(raiseText(QStringLiteral("Impossibile eseguire l'istruzione SQL.")));
    m_active = true;
    // The driver describes the columns once per prepared statement (and asks
    // the catalogue for each NUMERIC column): keep them for the next runs.
    if (m_columnsStale) {
        readColumns();
        m_columnsStale = false;
    }
    // The driver counts every procedure call as a select, an EXECUTE BLOCK
    // without output included: one with no column has no row to fetch.
    if (select || (m_query->isSelect() && !m_columns.isEmpty())) {
        m_eof = !m_query->next();
        if (m_eof && m_query->lastError().isValid())
            throw EDatabaseError(raiseText(QStringLiteral("Impossibile leggere il risultato.")));
    } else {
        m_eof = true;
    }
}

void SqlQuery::open()
{
    run(true);
}

int SqlQuery::execSQL()
{
    run(false);
    const int affected = m_query->numRowsAffected();
    // A procedure that returns a row leaves it readable (its output); any
    // other statement leaves nothing open.
    if (m_columns.isEmpty())
        close();
    return affected;
}

void SqlQuery::close()
{
    if (m_query && m_active)
        m_query->finish();
    m_active = false;
    m_eof = true;
    // Outside a transaction of ours the driver runs a SELECT in a snapshot
    // transaction of its own, started when the statement is prepared and
    // ended only when the statement is freed: run again, a kept statement
    // would read that old snapshot (missing every later commit) and keep the
    // transaction open. Freeing it ends the transaction; the next run
    // prepares afresh. Other statements commit as they run and are kept.
    if (m_query && !m_db->inTransaction() && m_query->isSelect()) {
        m_query.reset();
        m_signature.clear();
        m_preparedText.clear();
    }
}

void SqlQuery::next()
{
    if (!m_active)
        throw EDatabaseError(QStringLiteral("Query non aperta."));
    if (m_eof)
        return;
    m_eof = !m_query->next();
    if (m_eof && m_query->lastError().isValid())
        throw EDatabaseError(raiseText(QStringLiteral("Impossibile leggere il risultato.")));
}

void SqlQuery::readColumns()
{
    m_columns.clear();
    m_kinds.clear();
    const QSqlRecord rec = m_query->record();
    QHash<QString, int> seen;
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        SqlColumn col;
        QString name = f.name();
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
        col.required = f.requiredStatus() == QSqlField::Required;

        const int fbType = f.typeID() & ~1;
        const int scale = f.precision();
        ColumnKind kind = ColumnKind::Text;
        switch (fbType) {
        case FbShort:
        case FbLong:
        case FbInt64:
            if (scale > 0 && scale <= 4) {
                kind = ColumnKind::Money;
                col.type = FieldType::Currency;
            } else if (scale > 4) {
                kind = ColumnKind::Float;
                col.type = FieldType::Float;
            } else if (fbType == FbInt64) {
                kind = ColumnKind::LargeInt;
                col.type = FieldType::LargeInt;
            } else {
                kind = ColumnKind::Integer;
                col.type = fbType == FbShort ? FieldType::SmallInt : FieldType::Integer;
            }
            break;
        case FbFloat:
        case FbDouble:
            kind = ColumnKind::Float;
            col.type = FieldType::Float;
            break;
        case FbText:
        case FbVarying:
            kind = fbType == FbText ? ColumnKind::FixedText : ColumnKind::Text;
            col.type = FieldType::String;
            // The driver gives the length in bytes; the connection speaks
            // UTF-8, up to four bytes a character.
            col.size = qMax(1, int(f.length()) / 4);
            break;
        case FbDate:
            kind = ColumnKind::Date;
            col.type = FieldType::Date;
            break;
        case FbTimestamp:
            kind = ColumnKind::DateTime;
            col.type = FieldType::DateTime;
            break;
        case FbTime:
            kind = ColumnKind::Time;
            col.type = FieldType::Time;
            break;
        case FbBoolean:
            kind = ColumnKind::Boolean;
            col.type = FieldType::Boolean;
            break;
        case FbBlob:
            // A text blob carries its character set where other columns
            // carry their scale.
            if (scale != 0) {
                kind = ColumnKind::TextBlob;
                col.type = FieldType::Memo;
            } else {
                kind = ColumnKind::Bytes;
                col.type = FieldType::Blob;
            }
            break;
        default:
            kind = ColumnKind::Text;
            col.type = FieldType::String;
            break;
        }
        m_columns << col;
        m_kinds << kind;
    }
}

int SqlQuery::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Value SqlQuery::convert(int column) const
{
    const QVariant v = m_query->value(column);
    if (v.isNull())
        return Value::null();
    switch (m_kinds.at(column)) {
    case ColumnKind::Integer: return Value(v.toInt());
    case ColumnKind::LargeInt: return Value(qint64(v.toLongLong()));
    case ColumnKind::Float: return Value(v.toDouble());
    case ColumnKind::Money: return Value(Currency::fromDouble(v.toDouble()));
    case ColumnKind::Text: return Value(v.toString());
    case ColumnKind::FixedText: {
        QString s = v.toString();
        qsizetype end = s.size();
        while (end > 0 && s.at(end - 1) == QLatin1Char(' '))
            --end;
        s.truncate(end);
        return Value(s);
    }
    case ColumnKind::Date: return Value(v.toDate());
    case ColumnKind::DateTime: return Value(v.toDateTime());
    case ColumnKind::Time: return Value(v.toTime());
    case ColumnKind::Boolean: return Value(v.toBool());
    case ColumnKind::Bytes: return Value(v.toByteArray());
    case ColumnKind::TextBlob:
        return Value(v.typeId() == QMetaType::QString ? v.toString() : QString::fromUtf8(v.toByteArray()));
    }
    return Value::fromQVariant(v);
}

Value SqlQuery::value(int column) const
{
    if (!m_active || m_eof)
        throw EDatabaseError(QStringLiteral("Nessuna riga corrente nel risultato della query."));
    if (column < 0 || column >= m_columns.size())
        throw EDatabaseError(QStringLiteral("Colonna %1 non presente nel risultato della query.").arg(column));
    return convert(column);
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
    FieldDefs defs;
    defs.reserve(m_columns.size());
    for (const SqlColumn &c : m_columns) {
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
    QList<ValueList> rows;
    const int n = fieldCount();
    while (!m_eof) {
        ValueList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row << convert(i);
        rows << std::move(row);
        next();
    }
    close();
    dataSet.loadRecords(defs, std::move(rows));
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
