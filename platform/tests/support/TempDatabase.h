#pragma once
// A fresh embedded Firebird database for one test.
//
//     TempDatabase tdb;                                  // empty database, open
//     TempDatabase tdb({"CREATE TABLE T (A INTEGER)"});  // plus statements
//     TempDatabase tdb(TempDatabase::Scripts{scripts});  // plus DDL scripts (recorded)
//     TempDatabase tdb(TempDatabase::Template{scripts, "Demo", fill}); // plus rows
//     platform::SqlQuery q(tdb.db()); ...
//
// The file lives in its own QTemporaryDir, removed with the object (the
// connection is closed first); one from scripts is a copy of a template file
// (see Template). Creating one sets FIREBIRD_LOCK to a private folder of
// this test process when the variable is unset, before the engine first
// starts; scripts/test.sh sets one per test run. Nothing is made
// global: call platform::Database::setGlobal(&tdb.db()) when the code under
// test uses the global connection (the destructor clears it again).
//
// The file is created with forced writes off (a test database need not
// survive a power cut, and building a schema is several times faster).
//
// Statements run one by one, each committed, so tables created by one can
// be filled by the next. Failures raise platform::EDatabaseError, which a
// test sees as an error.
#include "Database.h"
#include "DatabaseCreator.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class TempDatabase {
public:
    struct Scripts {
        QList<platform::DdlScript> scripts;
    };
    // The scripts' database with the rows `fill` adds, built once for this
    // build of the test program and copied for each test: ctest runs every
    // test as a process of its own, so the template is a file under
    // <build>/Testing/Templates, made under a lock and renamed into place
    // whole. It is told apart by the program file's stamp, the scripts'
    // text and `name`: give each different `fill` of a program a name of
    // its own.
    struct Template {
        QList<platform::DdlScript> scripts;
        QString name;
        std::function<void(platform::Database &)> fill;
    };

    // An empty database, then `statements` run in order.
    explicit TempDatabase(const QStringList &statements = {});
    // An empty database upgraded with `scripts` through DatabaseCreator
    // (a copy of that template, without rows).
    explicit TempDatabase(const Scripts &scripts);
    explicit TempDatabase(const Template &made);
    ~TempDatabase();
    TempDatabase(const TempDatabase &) = delete;
    TempDatabase &operator=(const TempDatabase &) = delete;

    platform::Database &db() { return *m_db; }
    // The database file and its folder (for a second connection, or for
    // files a test wants beside it).
    QString filePath() const { return m_filePath; }
    QString folder() const { return m_dir.path(); }
    platform::ConnectionSettings settings() const;

    // The project's DDL scripts of one library ("foundation", "payroll"),
    // read from <source tree>/<library>/sql of the tree the tests were built
    // from.
    static QList<platform::DdlScript> projectScripts(const QString &library);

    // Sets FIREBIRD_LOCK to a folder private to this process when unset.
    static void ensureLockFolder();

private:
    void create();
    void copyOf(const Template &made);

    QTemporaryDir m_dir;
    QString m_filePath;
    std::unique_ptr<platform::Database> m_db;
};
