// The trace of what the SQL layer asks of the engine, on a real embedded
// Firebird database: what a replay of the same work needs to be told.
#include "SqlQuery.h"
#include "SqlTrace.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <QHash>

using namespace platform;

namespace {

// Each call as a line; objects numbered as they start (are prepared).
class Log : public SqlTrace {
public:
    QStringList lines;
    QHash<const void *, int> ids;
    int next = 0;
    QString id(const void *p) { return QString::number(ids.value(p, -1)); }
    QString fresh(const void *p) { return QString::number(ids[p] = next++); }

    void started(const void *t, bool rc, bool, int) override { lines << "start " + fresh(t) + (rc ? " rc" : ""); }
    void ended(const void *t, bool committed) override { lines << (committed ? "commit " : "rollback ") + id(t); }
    void prepared(const void *s, const void *t, const QString &sql) override
    {
        lines << "prepare " + fresh(s) + " in " + id(t) + ": " + sql;
    }
    void freed(const void *s) override { lines << "free " + id(s); }
    void executed(const void *s, const void *t, bool cursor, const QList<SqlTraceField> &fields,
                  const QByteArray &message) override
    {
        lines << QString("execute %1 in %2%3, %4 parameters%5")
                     .arg(id(s), id(t), cursor ? " (cursor)" : "")
                     .arg(fields.size())
                     .arg(message.isEmpty() ? "" : ", message");
    }
    void fetched(const void *s, bool row) override { lines << QString("fetch %1 %2").arg(id(s), row ? "row" : "end"); }
    void cursorClosed(const void *s) override { lines << "close " + id(s); }
    void blobRead(const void *s, int column) override { lines << QString("blob %1 %2").arg(id(s)).arg(column); }
    void executedImmediate(const void *t, const QString &sql) override { lines << "immediate " + id(t) + ": " + sql; }
};

} // namespace

TEST(SqlTrace, TellsEveryTransactionPreparationExecutionAndFetchInOrder)
{
    TempDatabase tdb{{"CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, S VARCHAR(20))"}};
    Database &db = tdb.db();
    Log log;
    SqlTrace::setCurrent(&log);
    SqlQuery ins(db), sel(db);
    for (int round = 0; round < 2; ++round) {
        db.startTransaction();
        ins.setSql("INSERT INTO T (ID, S) VALUES (:ID, :S)");
        ins.bind("ID", round).bind("S", "x");
        ins.execSQL();
        sel.setSql("SELECT ID FROM T");
        for (sel.open(); !sel.eof(); sel.next()) {
        }
        db.commit();
    }
    SqlTrace::setCurrent(nullptr);
    const QStringList expected{"start 0", "prepare 1 in 0: INSERT INTO T (ID, S) VALUES (?, CAST(? AS VARCHAR(32)))",
                               "execute 1 in 0, 2 parameters, message", "prepare 2 in 0: SELECT ID FROM T",
                               "execute 2 in 0 (cursor), 0 parameters", "fetch 2 row", "fetch 2 end", "close 2",
                               "commit 0",
                               // The next transaction runs the same statements, not prepared again.
                               "start 3", "execute 1 in 3, 2 parameters, message",
                               "execute 2 in 3 (cursor), 0 parameters", "fetch 2 row", "fetch 2 row", "fetch 2 end",
                               "close 2", "commit 3"};
    EXPECT_EQ(log.lines, expected);
}
