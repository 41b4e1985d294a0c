#include "tovUDBCdsLayouts.h"

#include "tovUDBCds.h"
#include "tovUDBCdsLimits.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "UqTransaction.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

using platform::DataSet;
using platform::DataSetFile;
using platform::FieldType;
using platform::SqlQuery;
using platform::Value;

namespace {

// The widths of TCDS_STRUTTURA's and TFIS_DATIFISCALI's name columns.
constexpr int ProgramWidth = 20;
constexpr int NameWidth = 60;
constexpr int FieldMapWidth = 1000;
constexpr int FieldNameWidth = 63;

const QString SqlFind = QStringLiteral(
    "SELECT ICDSID, BCDSSCHEMA, LCDSANAGRAFICA, LCDSFMAPREADONLY, SCDSFIELDMAP FROM TCDS_STRUTTURA "
    "WHERE LOWER(SCDSPROGRAMMA) = :PROGRAMMA AND LOWER(SCDSNOME) = :NOME "
    "AND COALESCE(ICDSANNO, 0) = :ANNO AND COALESCE(ICDSMESE, 0) = :MESE");
const QString SqlInsert = QStringLiteral(
    "INSERT INTO TCDS_STRUTTURA (ICDSID, ICDSANNO, ICDSMESE, SCDSPROGRAMMA, SCDSNOME, BCDSSCHEMA, "
    "LCDSANAGRAFICA, LCDSFMAPREADONLY, ICDSRIGO, SCDSFIELDMAP) "
    "VALUES (:ICDSID, :ICDSANNO, :ICDSMESE, :SCDSPROGRAMMA, :SCDSNOME, :BCDSSCHEMA, "
    ":LCDSANAGRAFICA, :LCDSFMAPREADONLY, 0, :SCDSFIELDMAP)");
const QString SqlUpdate = QStringLiteral(
    "UPDATE TCDS_STRUTTURA SET BCDSSCHEMA = :BCDSSCHEMA, LCDSANAGRAFICA = :LCDSANAGRAFICA, "
    "LCDSFMAPREADONLY = :LCDSFMAPREADONLY, SCDSFIELDMAP = :SCDSFIELDMAP WHERE ICDSID = :ICDSID");

QStringList &registeredFolders()
{
    static QStringList folders;
    return folders;
}

[[noreturn]] void refuse(const TTovDBCdsLayout &layout, const QString &why)
{
    throw EUqError(QStringLiteral("Struttura %1 (%2) non valida: %3").arg(layout.Key(), layout.source, why));
}

void bindPeriod(SqlQuery &q, const QString &name, int value)
{
    if (value > 0)
        q.bind(name, value);
    else
        q.setNull(name, FieldType::Integer);
}

int flag(const DataSet &manifest, const QString &field, const QString &source, int row)
{
    const platform::Field *f = manifest.findField(field);
    if (!f || f->isNull())
        return 0;
    const int v = f->asInteger();
    if (v != 0 && v != 1)
        throw EUqError(QStringLiteral("%1, riga %2: %3 vale %4, ammessi 0 e 1").arg(source).arg(row).arg(field).arg(v));
    return v;
}

} // namespace

const QString TTovDBCdsLayouts::ManifestName = QStringLiteral("TCDS_STRUTTURA.xml");

void TTovDBCdsLayout::SetSchema(DataSet &dataSet)
{
    platform::DataSetContent content = DataSetFile::contentOf(dataSet);
    content.rows.clear();
    schema = DataSetFile::encode(content, platform::DataSetFileFormat::Binary);
}

QString TTovDBCdsLayout::Key() const
{
    return QStringLiteral("%1/%2 %3/%4").arg(program, name).arg(year).arg(month);
}

QList<TTovDBCdsLayout> TTovDBCdsLayouts::ReadFolder(const QString &folder)
{
    const QDir dir(folder);
    const QString manifestPath = dir.filePath(ManifestName);
    if (!QFileInfo::exists(manifestPath))
        throw EUqError(QStringLiteral("Elenco delle strutture %1 non trovato").arg(manifestPath));
    DataSet manifest;
    DataSetFile::loadFromFile(manifest, manifestPath);
    for (const QString &required :
         {QStringLiteral("SCDSPROGRAMMA"), QStringLiteral("SCDSNOME"), QStringLiteral("SCDSSCHEMA")})
        if (!manifest.findField(required))
            throw EUqError(QStringLiteral("%1: manca il campo %2").arg(manifestPath, required));

    QList<TTovDBCdsLayout> out;
    int row = 0;
    for (manifest.first(); !manifest.eof(); manifest.next()) {
        ++row;
        TTovDBCdsLayout layout;
        layout.source = QStringLiteral("%1, riga %2").arg(manifestPath).arg(row);
        layout.program = manifest.fieldByName(QStringLiteral("SCDSPROGRAMMA")).asString().trimmed();
        layout.name = manifest.fieldByName(QStringLiteral("SCDSNOME")).asString().trimmed();
        if (const platform::Field *f = manifest.findField(QStringLiteral("ICDSANNO")))
            layout.year = f->asInteger();
        if (const platform::Field *f = manifest.findField(QStringLiteral("ICDSMESE")))
            layout.month = f->asInteger();
        layout.registryOwner = flag(manifest, QStringLiteral("LCDSANAGRAFICA"), manifestPath, row) == 1;
        layout.fieldMapReadOnly = flag(manifest, QStringLiteral("LCDSFMAPREADONLY"), manifestPath, row) == 1;
        if (const platform::Field *f = manifest.findField(QStringLiteral("SCDSFIELDMAP")))
            layout.fieldMap = f->asString().trimmed();
        const QString schemaFile = manifest.fieldByName(QStringLiteral("SCDSSCHEMA")).asString().trimmed();
        if (schemaFile.isEmpty())
            refuse(layout, QStringLiteral("SCDSSCHEMA non indica il file del dataset vuoto"));
        const QString schemaPath = dir.filePath(schemaFile);
        if (!QFileInfo::exists(schemaPath))
            refuse(layout, QStringLiteral("file %1 non trovato").arg(schemaPath));
        DataSet empty;
        DataSetFile::loadFromFile(empty, schemaPath);
        if (!empty.isEmpty())
            refuse(layout, QStringLiteral("il dataset vuoto %1 contiene record").arg(schemaPath));
        layout.SetSchema(empty);
        Check(layout);
        out << layout;
    }
    return out;
}

void TTovDBCdsLayouts::Check(const TTovDBCdsLayout &layout)
{
    if (layout.program.isEmpty() || layout.name.isEmpty())
        refuse(layout, QStringLiteral("programma e nome sono obbligatori"));
    if (layout.program.size() > ProgramWidth)
        refuse(layout, QStringLiteral("il programma supera %1 caratteri").arg(ProgramWidth));
    if (layout.name.size() > NameWidth)
        refuse(layout, QStringLiteral("il nome supera %1 caratteri").arg(NameWidth));
    if (layout.year < 0)
        refuse(layout, QStringLiteral("anno negativo"));
    if (layout.month < 0 || layout.month > 12)
        refuse(layout, QStringLiteral("mese fuori da 0-12"));
    if (layout.fieldMap.size() > FieldMapWidth)
        refuse(layout, QStringLiteral("la mappa dei campi supera %1 caratteri").arg(FieldMapWidth));

    TCdsParameters params;
    try {
        params.SetFieldMap(layout.fieldMap, layout.name);
    } catch (const platform::Exception &e) {
        refuse(layout, e.message());
    }

    DataSet empty;
    try {
        DataSetFile::loadFromBlob(empty, layout.schema, layout.name, platform::DataSetFileFormat::Binary);
    } catch (const platform::Exception &e) {
        refuse(layout, e.message());
    }
    if (!empty.isEmpty())
        refuse(layout, QStringLiteral("il dataset vuoto contiene record"));
    const auto requireInteger = [&](const QString &name, const QString &why) {
        const platform::Field *f = empty.findField(name);
        if (!f || f->dataType() != FieldType::Integer)
            refuse(layout, QStringLiteral("manca il campo intero %1 (%2)").arg(name, why));
    };
    requireInteger(TTovDBCds::FieldRigo, QStringLiteral("il numero di riga"));
    if (!params.Entries.isEmpty() || layout.registryOwner)
        requireInteger(TTovDBCds::FieldAfi, QStringLiteral("la riga dell'anagrafica"));
    for (const auto &f : empty.fields())
        if (f->fieldName().size() > FieldNameWidth)
            refuse(layout,
                   QStringLiteral("il nome del campo %1 supera %2 caratteri").arg(f->fieldName()).arg(FieldNameWidth));
    // The registry's fields are checked at save, against its columns.
    for (const auto &f : empty.fields())
        if (!params.IsRegistryField(f->fieldName()))
            if (const QString why = TTovDBCdsLimits::LayoutRefusal(*f); !why.isEmpty())
                refuse(layout, why);
    for (const TCdsFieldMapEntry &e : std::as_const(params.Entries))
        for (const QString &part : e.parts())
            if (!empty.findField(part))
                refuse(layout,
                       QStringLiteral("la mappa dei campi nomina il campo %1, che il dataset non ha").arg(part));
}

TTovDBCdsLayouts::Result TTovDBCdsLayouts::Install(platform::Database &database, const QList<TTovDBCdsLayout> &layouts)
{
    QSet<QString> seen;
    for (const TTovDBCdsLayout &layout : layouts) {
        Check(layout);
        const QString identity = QStringLiteral("%1|%2|%3|%4")
                                     .arg(layout.program.toLower(), layout.name.toLower())
                                     .arg(layout.year)
                                     .arg(layout.month);
        if (seen.contains(identity))
            refuse(layout, QStringLiteral("struttura descritta due volte"));
        seen.insert(identity);
    }

    Result result;
    TUqTransaction transaction(&database);
    transaction.StartOrJoin();
    SqlQuery find(database), insert(database), update(database);
    find.setSql(SqlFind);
    insert.setSql(SqlInsert);
    update.setSql(SqlUpdate);
    for (const TTovDBCdsLayout &layout : layouts) {
        TCdsParameters params;
        params.SetFieldMap(layout.fieldMap, layout.name);
        // The map as the store reads it back: its entries joined by ";".
        const QString fieldMap = params.FieldMap.join(QLatin1Char(';'));

        find.bind(QStringLiteral("PROGRAMMA"), layout.program.toLower());
        find.bind(QStringLiteral("NOME"), layout.name.toLower());
        find.bind(QStringLiteral("ANNO"), layout.year);
        find.bind(QStringLiteral("MESE"), layout.month);
        find.open();
        if (find.eof()) {
            find.close();
            insert.bind(QStringLiteral("ICDSID"), int(GenerateID(QStringLiteral("TCDS_STRUTTURA"), &database)));
            bindPeriod(insert, QStringLiteral("ICDSANNO"), layout.year);
            bindPeriod(insert, QStringLiteral("ICDSMESE"), layout.month);
            insert.bind(QStringLiteral("SCDSPROGRAMMA"), layout.program);
            insert.bind(QStringLiteral("SCDSNOME"), layout.name);
            insert.bind(QStringLiteral("BCDSSCHEMA"), layout.schema);
            insert.bind(QStringLiteral("LCDSANAGRAFICA"), layout.registryOwner ? 1 : 0);
            insert.bind(QStringLiteral("LCDSFMAPREADONLY"), layout.fieldMapReadOnly ? 1 : 0);
            if (fieldMap.isEmpty())
                insert.setNull(QStringLiteral("SCDSFIELDMAP"), FieldType::String);
            else
                insert.bind(QStringLiteral("SCDSFIELDMAP"), fieldMap);
            insert.execSQL();
            result.inserted << layout.Key();
            continue;
        }
        const int id = find.value(QStringLiteral("ICDSID")).toInt();
        const bool same = find.value(QStringLiteral("BCDSSCHEMA")).toBytes() == layout.schema
                          && find.value(QStringLiteral("LCDSANAGRAFICA")).toInt() == (layout.registryOwner ? 1 : 0)
                          && find.value(QStringLiteral("LCDSFMAPREADONLY")).toInt() == (layout.fieldMapReadOnly ? 1 : 0)
                          && find.value(QStringLiteral("SCDSFIELDMAP")).toString() == fieldMap;
        find.close();
        if (same) {
            result.unchanged << layout.Key();
            continue;
        }
        update.bind(QStringLiteral("BCDSSCHEMA"), layout.schema);
        update.bind(QStringLiteral("LCDSANAGRAFICA"), layout.registryOwner ? 1 : 0);
        update.bind(QStringLiteral("LCDSFMAPREADONLY"), layout.fieldMapReadOnly ? 1 : 0);
        if (fieldMap.isEmpty())
            update.setNull(QStringLiteral("SCDSFIELDMAP"), FieldType::String);
        else
            update.bind(QStringLiteral("SCDSFIELDMAP"), fieldMap);
        update.bind(QStringLiteral("ICDSID"), id);
        update.execSQL();
        result.updated << layout.Key();
    }
    transaction.Commit();
    return result;
}

TTovDBCdsLayouts::Result TTovDBCdsLayouts::InstallFolders(platform::Database &database, const QStringList &folders)
{
    QList<TTovDBCdsLayout> layouts;
    for (const QString &folder : folders)
        layouts += ReadFolder(folder);
    return Install(database, layouts);
}

void TTovDBCdsLayouts::RegisterFolder(const QString &folder)
{
    if (!registeredFolders().contains(folder))
        registeredFolders().append(folder);
}

void TTovDBCdsLayouts::UnregisterFolder(const QString &folder)
{
    registeredFolders().removeAll(folder);
}

QStringList TTovDBCdsLayouts::RegisteredFolders()
{
    return registeredFolders();
}

TTovDBCdsLayouts::Result TTovDBCdsLayouts::InstallRegistered(platform::Database &database)
{
    return InstallFolders(database, registeredFolders());
}
