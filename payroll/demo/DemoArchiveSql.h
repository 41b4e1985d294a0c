#pragma once
// Statements of the demo archive's fillers written with "?" placeholders,
// bound in order: the SQL layer's named parameters (":P0", ":P1", ...)
// under them. One statement at a time; a result is left on its first row.
// Failures raise EDatabaseError naming the filler and the statement.
#include "SqlQuery.h"

#include <QString>
#include <QVariantList>

namespace payroll {

class DemoArchiveSql {
public:
    DemoArchiveSql(platform::Database &database, QString context);

    DemoArchiveSql &run(const QString &sql, const QVariantList &values = {});
    bool eof() const { return m_query.eof(); }
    void next() { m_query.next(); }
    platform::Value value(int column) const { return m_query.value(column); }

private:
    platform::SqlQuery m_query;
    QString m_context;
};

} // namespace payroll
