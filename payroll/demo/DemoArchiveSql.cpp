#include "DemoArchiveSql.h"

namespace payroll {

DemoArchiveSql::DemoArchiveSql(platform::Database &database, QString context)
    : m_query(database), m_context(std::move(context))
{
}

DemoArchiveSql &DemoArchiveSql::run(const QString &sql, const QVariantList &values)
{
    QString named;
    int count = 0;
    for (int i = 0; i < sql.size();) {
        const int skipped = platform::SqlStatement::skipQuotedOrComment(sql, i);
        if (skipped >= 0) {
            named += QStringView(sql).mid(i, skipped - i);
            i = skipped;
        } else if (sql.at(i) == QLatin1Char('?')) {
            named += QStringLiteral(":P%1").arg(count++);
            ++i;
        } else {
            named += sql.at(i++);
        }
    }
    if (count != values.size())
        throw platform::EDatabaseError(QStringLiteral("Archivio dimostrativo, %1: %2 valori per %3 parametri\n%4")
                                           .arg(m_context)
                                           .arg(values.size())
                                           .arg(count)
                                           .arg(sql));
    try {
        m_query.setSql(named);
        for (int i = 0; i < count; ++i)
            m_query.bind(QStringLiteral("P%1").arg(i), platform::Value::fromQVariant(values.at(i)));
        m_query.execSQL();
    } catch (const platform::EDatabaseError &e) {
        throw platform::EDatabaseError(
            QStringLiteral("Archivio dimostrativo, %1: %2\n%3").arg(m_context, e.message(), sql), e.cause());
    }
    return *this;
}

} // namespace payroll
