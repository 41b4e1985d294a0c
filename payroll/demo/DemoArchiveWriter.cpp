#include "DemoArchiveWriter.h"

#include "Exceptions.h"

namespace payroll {

const platform::Value DemoArchiveWriter::Default;

DemoArchiveWriter::DemoArchiveWriter(platform::Database &database) : m_db(database) {}

const QStringList &DemoArchiveWriter::columns(const QString &table)
{
    auto it = m_columns.find(table);
    if (it != m_columns.end())
        return *it;
    platform::SqlQuery q(m_db);
    q.setSql(QStringLiteral("SELECT TRIM(RDB$FIELD_NAME) AS NAME FROM RDB$RELATION_FIELDS "
                            "WHERE RDB$RELATION_NAME = :TABLE ORDER BY RDB$FIELD_POSITION"));
    q.bind(QStringLiteral("TABLE"), table);
    QStringList names;
    for (q.open(); !q.eof(); q.next())
        names << q.value(QStringLiteral("NAME")).toString();
    q.close();
    ZEP_ASSERT(!names.isEmpty(), QStringLiteral("Tabella assente dall'archivio: ") + table);
    return *m_columns.insert(table, names);
}

platform::SqlQuery &DemoArchiveWriter::statement(const QString &table, const QString &given)
{
    std::unique_ptr<platform::SqlQuery> &q = m_statements[{table, given}];
    if (!q) {
        const QStringList &all = columns(table);
        QStringList names, marks;
        for (int i = 0; i < given.size(); ++i) {
            if (given.at(i) == QLatin1Char('1')) {
                names << all.at(i);
                marks << QStringLiteral(":C%1").arg(i);
            }
        }
        q = std::make_unique<platform::SqlQuery>(m_db);
        q->setSql(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
    }
    return *q;
}

qint64 DemoArchiveWriter::generatedId(const QString &table)
{
    platform::SqlQuery q(m_db);
    q.setSql(QStringLiteral("SELECT NEXT VALUE FOR GEN_%1 FROM RDB$DATABASE").arg(table));
    q.open();
    const qint64 id = q.value(0).toInt64();
    q.close();
    return id;
}

void DemoArchiveWriter::row(const QString &table, std::initializer_list<platform::Value> values)
{
    ZEP_ASSERT(qsizetype(values.size()) <= columns(table).size(),
               QStringLiteral("Troppi valori per la tabella ") + table);
    QString given;
    for (const platform::Value &v : values)
        given += v.isUnassigned() ? QLatin1Char('0') : QLatin1Char('1');
    platform::SqlQuery &q = statement(table, given);
    int i = 0; // the parameters are the given columns, in order
    for (const platform::Value &v : values)
        if (!v.isUnassigned())
            q.params()[i++].setValue(v);
    try {
        q.execSQL();
    } catch (const platform::EDatabaseError &e) {
        throw platform::EDatabaseError(QStringLiteral("Archivio dimostrativo, tabella %1: %2").arg(table, e.message()),
                                       e.cause());
    }
    ++m_counts[table];
}

} // namespace payroll
