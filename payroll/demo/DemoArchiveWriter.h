#pragma once
// The demo archive's inserts, all in the caller's transaction. A table's
// columns are the ones the archive's scripts create (payroll/sql,
// foundation/sql), in their order, as the database's catalogue holds them:
// no column list is kept here. A row gives the values of those columns in
// that order; the columns it leaves out at the end, and those it gives as
// Default, are left out of the insert and take the default of their script.
// One statement is prepared for each table and set of columns given.
// Amounts go in as Currency, exactly (never through a double).
#include "Database.h"
#include "SqlQuery.h"
#include "Value.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <map>
#include <memory>

namespace payroll {

class DemoArchiveWriter {
public:
    // A column the row does not give (the Unassigned value).
    static const platform::Value Default;

    explicit DemoArchiveWriter(platform::Database &database);

    platform::Database &database() { return m_db; }

    // Inserts a row. More values than the table has columns, or a table
    // the archive lacks, is a programming error (EAssertionFailed); a
    // failing insert raises EDatabaseError naming the table.
    void row(const QString &table, std::initializer_list<platform::Value> values);

    // The table's columns in the order of its script.
    const QStringList &columns(const QString &table);

    // The next key of a table: keys are given here, in order, and the
    // caller moves the tables' generators past them at the end.
    qint64 nextId(const QString &table) { return ++m_lastId[table]; }
    // The next value of the table's generator ("GEN_" + table), for the
    // rows added once the generators are past the keys given above.
    qint64 generatedId(const QString &table);
    // Rows inserted, by table.
    const QMap<QString, qint64> &counts() const { return m_counts; }
    const QHash<QString, qint64> &lastIds() const { return m_lastId; }

private:
    platform::SqlQuery &statement(const QString &table, const QString &given);

    platform::Database &m_db;
    QHash<QString, QStringList> m_columns;
    // By table and the columns given ("1" for a given one, "0" for one left
    // out, in column order).
    std::map<std::pair<QString, QString>, std::unique_ptr<platform::SqlQuery>> m_statements;
    QMap<QString, qint64> m_counts;
    QHash<QString, qint64> m_lastId;
};

} // namespace payroll
