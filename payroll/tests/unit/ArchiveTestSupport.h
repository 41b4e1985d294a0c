#pragma once
// Helpers of the payroll archive's tests: the source tree, the archive's
// documentation and scripts as text, and a catalogue of named statements
// read from its source file.
#include "Database.h"
#include "DatabaseCreator.h"
#include "TempDatabase.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>

namespace archivetest {

// <source tree>/<relative>, in the tree the tests were built from.
QString sourcePath(const QString &relative);
QString readText(const QString &path);

// A named statement as the catalogue source holds it.
struct NamedStatement {
    QString name;
    QString kind;
    int index = 0;
    QString sql;
};
// The statements of the catalogue source (etc/wun/wun_QueryText.xml).
QList<NamedStatement> catalogueStatements();

// One column of a table as the DDL or the documentation gives it.
struct ColumnDef {
    QString name;
    QString type; // the definition after the name, blanks collapsed
    QString key;  // "PK", "FK <table>" (with " (cascade)"), or empty
    bool operator==(const ColumnDef &) const = default;
};
struct TableDef {
    QString name;
    QString script;
    QString generator;
    QList<ColumnDef> columns;
};
// Tables of the payroll scripts, in script order.
QList<TableDef> tablesFromScripts(const QList<platform::DdlScript> &scripts);
// Tables of docs/ARCHIVE.md, in document order.
QList<TableDef> tablesFromDocument(const QString &markdown);
// Rows of the statements table of docs/ARCHIVE.md: name -> parameters text.
QMap<QString, QString> documentedStatementParameters(const QString &markdown);

// A test database with forced writes off (so that the many commits of the
// scripts do not wait for the disk), upgraded with `scripts`.
std::unique_ptr<TempDatabase> archiveDatabase(const QList<platform::DdlScript> &scripts);

// Names of the user tables of an open database.
QStringList tableNames(platform::Database &db);
QStringList sequenceNames(platform::Database &db);

// Prepares a statement on the server without running it; returns the
// driver's message, empty when it prepared.
QString prepareError(platform::Database &db, const QString &sql);

// The texts a statement's format placeholders take for preparing it: every
// combination its callers pass (a statement without placeholders: itself).
QStringList formattedForPrepare(const NamedStatement &statement);

} // namespace archivetest
