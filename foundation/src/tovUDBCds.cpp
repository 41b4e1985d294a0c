#include "tovUDBCds.h"

#include "tovUDBCdsImportazione.h"
#include "tovUDBCdsLimits.h"

#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "SameName.h"
#include "Database.h"
#include "Exceptions.h"
#include "Format.h"
#include "Services.h"
#include "SqlQuery.h"
#include "TextCache.h"
#include "UqTransaction.h"

#include <QHash>
#include <QSet>
#include <array>
#include <map>
#include <numeric>
#include <optional>
#include <utility>

using platform::DataSet;
using platform::Database;
using platform::DeltaRecord;
using platform::Field;
using platform::FieldType;
using platform::SqlQuery;
using platform::UpdateKind;
using platform::Value;
using platform::ValueList;

namespace {

const QString ProviderName = QStringLiteral("UtilProvider");
const QString &FieldRigo = TTovDBCds::FieldRigo;
const QString &FieldAfi = TTovDBCds::FieldAfi;
const QString RegistryTable = QStringLiteral("TAFI_ANAFISCALE");
const QString ColumnCodFiscale = QStringLiteral("SAFICODFISCALE");
const QString ColumnGruppo = QStringLiteral("SAFIGRUPPOANA");

const QString NotFoundText = QStringLiteral("Impossibile trovare il ClientDataSet (%s).");
// The wait window of a load (the platform's wait service shows it).
const QString WaitCaption = QStringLiteral("Attendere...");
const QString WaitText = QStringLiteral("Caricamento in corso...attendere.");

// The layout of a name for a period: the latest whose first (year, month) is
// not after the period, year and month compared as one pair (a null year or
// month counts as 0; month -1 asks for the whole year, so every layout of
// that year qualifies).
const QString SqlReadStructure = QStringLiteral(
    "SELECT cds.* FROM tcds_struttura cds "
    "WHERE (COALESCE(cds.icdsanno, 0) < :ICDSANNO "
    "OR (COALESCE(cds.icdsanno, 0) = :ICDSANNO AND (COALESCE(cds.icdsmese, 0) <= :ICDSMESE OR :ICDSMESE = -1))) "
    "AND Lower(cds.scdsprogramma) = :SCDSPROGRAMMA AND Lower(cds.scdsnome) = :SCDSNOME "
    "ORDER BY COALESCE(cds.icdsanno, 0) DESC, COALESCE(cds.icdsmese, 0) DESC, cds.icdsid DESC");

// A load reads the period's headers, then the value rows of each header and
// layout through the index on (ICRFID, ICDSID, IFISRIGO): narrow rows, no
// join, no sort in the engine; then the registry rows of the records, each
// once, by their key. The records are gathered by row number and put in its
// order in memory. All of it in one transaction, so in one snapshot.
const QString SqlLoadHeaders = QStringLiteral(
    "SELECT crf.icrfid FROM tcrf_crofiscale crf "
    "WHERE COALESCE(crf.icrfanno, 0) = :ICRFANNO AND (COALESCE(crf.icrfmese, 0) = :ICRFMESE OR :ICRFMESE = -1) "
    "AND Lower(crf.scrfprogramma) = :SCRFPROGRAMMA");
const QString SqlLoadValues = QStringLiteral(
    "SELECT fis.iFisRigo , fis.iAfiID , fis.sFisFieldName , fis.sFisValue , fis.iFisValue , fis.fFisValue , "
    "fis.dFisValue FROM tfis_datifiscali fis WHERE fis.icrfid = :ICRFID AND fis.icdsid = :ICDSID");
// The registry rows of up to RegistryBatch ids (:I0, :I1, ...).
// (The person columns in the order of TCdsParameters::RegistryColumns.)
const QString SqlLoadRegistry = QStringLiteral(
    "SELECT afi.iafiid , afi.saficognome , afi.safinome , afi.saficodfiscale , afi.saficodfissost , "
    "afi.safigruppoana FROM tafi_anafiscale afi WHERE afi.iafiid IN ( %s )");
constexpr int RegistryBatch = 64;

// Row numbers are reserved by raising the counter in the save's own
// transaction: the row stays locked until the transaction ends, so two saves
// of one layout can never hand out the same number, and a save that fails
// leaves the counter as it was.
const QString SqlReserveRows = QStringLiteral(
    "UPDATE tcds_struttura cds SET cds.icdsrigo = cds.icdsrigo + :NRIGHE WHERE cds.icdsid = :ICDSID "
    "RETURNING cds.icdsrigo");

// A registry row taken up by a record that did not make it (a dataset that
// does not own its rows reuses the row of the same person; a record may be
// given another table's registry id) is marked shared, and an owning
// dataset's delete leaves a shared row alone: another table still shows
// that person.
const QString SqlDeleteRegistry = QStringLiteral(
    "DELETE FROM tafi_anafiscale afi WHERE afi.iafiid = :IAFIID AND afi.laficondivisa = 0");
const QString SqlShareRegistry = QStringLiteral(
    "UPDATE tafi_anafiscale afi SET afi.laficondivisa = 1 WHERE afi.iafiid = :IAFIID AND afi.laficondivisa = 0");
const QString SqlDeleteValues = QStringLiteral(
    "DELETE FROM tfis_datifiscali fis WHERE fis.icdsid = :ICDSID AND fis.ifisrigo = :IFISRIGO");
const QString SqlPeriodHeader = QStringLiteral("SELECT icrfid FROM ptov_getcrofiscale(:sProgramma, :iAnno, :iMese)");
// A new registry row with its mapped columns (" , SAFICOGNOME ...", " , :SAFICOGNOME ...").
const QString SqlInsertRegistry = QStringLiteral(
    "INSERT INTO TAFI_ANAFISCALE ( IAFIID , ICRFID%s ) VALUES ( :IAFIID , :ICRFID%s )");
// The registry search matches the period's headers as it always has; they
// are read once per save, and each person is then looked up under each of
// them. The "+ 0" keeps the engine on the fiscal-code index: the header's
// own index holds every person of the period, and a search through it would
// cost as much as the period's registry.
const QString SqlFindRegistryHeaders = QStringLiteral(
    "SELECT crf.icrfid FROM tcrf_crofiscale crf "
    "WHERE crf.icrfanno = :ICRFANNO AND (COALESCE(crf.icrfmese, 0) = :ICRFMESE OR :ICRFMESE = -1) "
    "AND Lower(crf.scrfprogramma) = :SCRFPROGRAMMA ORDER BY crf.icrfid");
const QString SqlFindRegistry = QStringLiteral(
    "SELECT FIRST 1 afi.iafiid FROM tafi_anafiscale afi "
    "WHERE afi.icrfid + 0 = :ICRFID AND Lower(afi.saficodfiscale) = :SAFICODFISCALE "
    "AND (COALESCE(afi.safigruppoana, '') = :SAFIGRUPPOANA OR :SAFIGRUPPOANA = '')");
const QString SqlUpdateRegistry = QStringLiteral("UPDATE tafi_anafiscale afi SET %s WHERE afi.iafiid = :IAFIID");
const QString SqlUpdateRegistryItem = QStringLiteral(" %0:s = :%0:s ");
// A modified record is compared with its stored rows: a few rows that
// differ are deleted, updated or inserted one by one, leaving the rest and
// the indexes untouched; beyond MaxChangedRows the record's rows are all
// deleted and written again. Either way the record's rows end up exactly
// those of its values. The record is locked first through its first row,
// as deleting all its rows locked it: a save of the same record by another
// program at the same time conflicts, whichever fields each changed.
const QString SqlLockRecord = QStringLiteral(
    "SELECT FIRST 1 fis.sFisFieldName FROM tfis_datifiscali fis WHERE fis.icdsid = :ICDSID "
    "AND fis.ifisrigo = :IFISRIGO ORDER BY fis.sfisfieldname WITH LOCK");
const QString SqlReadRecord = QStringLiteral(
    "SELECT fis.sFisFieldName , fis.iCrfID , fis.iAfiID , fis.sFisValue , fis.iFisValue , fis.fFisValue , "
    "fis.dFisValue FROM tfis_datifiscali fis WHERE fis.icdsid = :ICDSID AND fis.ifisrigo = :IFISRIGO");
const QString SqlDeleteValue = QStringLiteral(
    "DELETE FROM tfis_datifiscali fis WHERE fis.icdsid = :ICDSID AND fis.ifisrigo = :IFISRIGO "
    "AND fis.sfisfieldname = :SFISFIELDNAME");
// The value in one column (":VALUE"), the others null.
const QString SqlUpdateValue = QStringLiteral(
    "UPDATE tfis_datifiscali fis SET fis.icrfid = :ICRFID , fis.iafiid = :IAFIID , fis.sfisvalue = %s , "
    "fis.ifisvalue = %s , fis.ffisvalue = %s , fis.dfisvalue = %s "
    "WHERE fis.icdsid = :ICDSID AND fis.ifisrigo = :IFISRIGO AND fis.sfisfieldname = :SFISFIELDNAME");
constexpr int MaxChangedRows = 16;
// One value row: a changed row of a modified record, or the marker of a
// record whose values are all in the registry.
const QString SqlInsertValue = QStringLiteral(
    "INSERT INTO TFIS_DATIFISCALI ( ICDSID, ICRFID, IAFIID, IFISRIGO, SFISFIELDNAME, %0:sFISVALUE ) "
    "VALUES ( :ICDSID, :ICRFID, :IAFIID, :IFISRIGO, :SFISFIELDNAME, :%0:sFISVALUE )");
// The value rows of a record: one block per BlockFields fields of the
// layout, whose run writes a row for each value that is not null (one
// statement run instead of one per row). A text travels in a parameter one
// character longer than SFISVALUE: the driver cuts a text at the declared
// length, so a longer one still reaches the column and is refused there,
// never stored cut. Field names are the layout's own, written as literals.
const QString SqlValueBlock = QStringLiteral(
    "EXECUTE BLOCK ( ICDSID INTEGER = :ICDSID , ICRFID INTEGER = :ICRFID , IAFIID INTEGER = :IAFIID , "
    "IFISRIGO INTEGER = :IFISRIGO%s ) AS BEGIN%s END");
const QString SqlValueBlockParameter = QStringLiteral(" , V%0:d %1:s = :V%0:d");
const QString SqlValueBlockInsert = QStringLiteral(
    " IF (V%0:d IS NOT NULL) THEN INSERT INTO TFIS_DATIFISCALI ( ICDSID, ICRFID, IAFIID, IFISRIGO, SFISFIELDNAME, "
    "%1:sFISVALUE ) VALUES ( :ICDSID, :ICRFID, :IAFIID, :IFISRIGO, %2:s, :V%0:d );");
const std::array<QString, 4> BlockParameterTypes = {QStringLiteral("VARCHAR(251)"), QStringLiteral("INTEGER"),
                                                    QStringLiteral("DOUBLE PRECISION"), QStringLiteral("DATE")};
// At most 32 kB of parameters a block.
constexpr int BlockFields = 32;

// The value column of a field type: 0 "s", 1 "i", 2 "f", 3 "d".
enum ValueColumn { ColumnS = 0, ColumnI = 1, ColumnF = 2, ColumnD = 3 };
const std::array<QString, 4> ColumnLetters = {QStringLiteral("s"), QStringLiteral("i"), QStringLiteral("f"),
                                              QStringLiteral("d")};

ValueColumn valueColumnOf(FieldType type)
{
    switch (type) {
    case FieldType::String: return ColumnS;
    case FieldType::Integer: return ColumnI;
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: return ColumnF;
    case FieldType::Date:
    case FieldType::DateTime: return ColumnD;
    default: return ColumnS;
    }
}

// The zero date of the stored values: a date that holds no value.
const QDate ZeroDate(1899, 12, 30);

// The text a value of the "other" types is stored as, and back. Blobs travel
// in base64 and times keep their milliseconds, so every value reads back
// equal; the rest is the value's own text form.
QString otherTypeText(FieldType type, const Value &v)
{
    switch (type) {
    case FieldType::Blob: {
        const QByteArray bytes = v.toBytes();
        return bytes.isEmpty() ? QString() : QString::fromLatin1(bytes.toBase64());
    }
    case FieldType::Time: {
        const QTime t = v.toTime();
        return t.msec() ? t.toString(QStringLiteral("HH:mm:ss.zzz")) : t.toString(QStringLiteral("HH:mm:ss"));
    }
    default: return v.toString();
    }
}

Value otherTypeValue(FieldType type, const QString &text)
{
    switch (type) {
    case FieldType::Blob: return Value(QByteArray::fromBase64(text.toLatin1()));
    case FieldType::Time: {
        const QTime t = QTime::fromString(text, Qt::ISODateWithMs);
        if (!t.isValid())
            throw platform::EConvertError(QStringLiteral("'%1' non è un orario valido").arg(text));
        return Value(t);
    }
    default: return Value(text);
    }
}

bool isZeroValue(FieldType type, const Value &v)
{
    switch (type) {
    case FieldType::Float: return v.toDouble() == 0.0;
    default: return v.toCurrency() == platform::Currency();
    }
}

// The value of a field of a record being applied, new else old, with a null
// given as empty text for a string field and 0 for a numeric one (the
// registry's and the value rows' reading of a record).
Value recordValue(const DeltaRecord &delta, const Field &field)
{
    Value v = delta.value(field.index());
    if (!v.isEmpty())
        return v;
    if (field.dataType() == FieldType::String)
        return Value(QString());
    if (field.isNumeric())
        return Value(0);
    return v;
}

int registryIdOf(const DeltaRecord &delta)
{
    const Value v = delta.value(FieldAfi);
    return v.isEmpty() ? 0 : v.toInt();
}

// Writes a value given by the save into the record, only when it differs
// from what the record holds: an unchanged record keeps the dataset's order
// as it is, with no reordering after the apply.
void setChangedValue(DeltaRecord &delta, const QString &field, int value)
{
    const Value v = delta.value(field);
    if (v.isEmpty() || v.toInt() != value)
        delta.setNewValue(field, value);
}

int rowNumberOf(const DeltaRecord &delta)
{
    if (!delta.hasField(FieldRigo))
        return 0;
    const Value v = delta.value(FieldRigo);
    return v.isEmpty() ? 0 : v.toInt();
}

} // namespace

// ---------------------------------------------------------------------------
// TCdsParameters

const QStringList TCdsParameters::RegistryColumns = {QStringLiteral("SAFICOGNOME"), QStringLiteral("SAFINOME"),
                                                     QStringLiteral("SAFICODFISCALE"), QStringLiteral("SAFICODFISSOST"),
                                                     QStringLiteral("SAFIGRUPPOANA")};

QStringList TCdsFieldMapEntry::parts() const
{
    QStringList out;
    for (const QString &p : value.split(QLatin1Char('+')))
        out << p.trimmed();
    return out;
}

void TCdsParameters::SetFieldMap(const QString &text, const QString &dataSetName)
{
    struct Parsed {
        QStringList map;
        QList<TCdsFieldMapEntry> entries;
    };
    // Read again at every save: a map already found valid is not parsed
    // again (a refused one is, to name its dataset each time).
    const Parsed parsed = platform::madeOncePerText<256>(text, [&dataSetName](const QString &text) {
        Parsed p;
        const auto refuse = [&](const QString &entry, const QString &why) {
            throw EUqError(
                platform::format(QStringLiteral("Mappa dei campi del ClientDataSet (%s) non valida: \"%s\" %s."),
                                 dataSetName, entry, why));
        };
        for (const QString &raw : text.split(QLatin1Char(';'))) {
            const QString entry = raw.trimmed();
            if (entry.isEmpty())
                continue;
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            if (eq < 0)
                refuse(entry, QStringLiteral("non ha la forma colonna=campo"));
            TCdsFieldMapEntry e;
            e.column = entry.left(eq).trimmed().toUpper();
            e.value = entry.mid(eq + 1).trimmed();
            if (e.column.isEmpty() || e.value.isEmpty())
                refuse(entry, QStringLiteral("non ha la forma colonna=campo"));
            if (!RegistryColumns.contains(e.column))
                refuse(entry, QStringLiteral("non nomina una colonna dell'anagrafica (ammesse: %1)")
                                  .arg(RegistryColumns.join(QStringLiteral(", "))));
            for (const TCdsFieldMapEntry &other : std::as_const(p.entries))
                if (other.column == e.column)
                    refuse(entry, QStringLiteral("ripete la colonna %1").arg(e.column));
            for (const QString &part : e.parts())
                if (part.isEmpty())
                    refuse(entry, QStringLiteral("ha un campo vuoto"));
            p.map << entry;
            p.entries << e;
        }
        return p;
    });
    FieldMap = parsed.map;
    Entries = parsed.entries;
}

const TCdsFieldMapEntry *TCdsParameters::EntryOf(const QString &column) const
{
    for (const TCdsFieldMapEntry &e : Entries)
        if (e.column.compare(column, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

bool TCdsParameters::IsRegistryField(const QString &fieldName) const
{
    const auto same = [&fieldName](const QString &name) { return platform::sameName(name, fieldName); };
    if (same(FieldAfi) || same(FieldRigo))
        return true;
    for (const TCdsFieldMapEntry &e : Entries)
        if (same(e.value) || same(e.column))
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// The statements of one save, prepared once and run for every record.

struct TTovDBCds::SaveStatements {
    explicit SaveStatements(Database &db)
        : deleteRegistry(db), shareRegistry(db), deleteValues(db), header(db), findHeaders(db), findRegistry(db),
          reserve(db), lockRecord(db), readRecord(db), deleteValue(db), db(db)
    {
        deleteRegistry.setSql(SqlDeleteRegistry);
        shareRegistry.setSql(SqlShareRegistry);
        deleteValues.setSql(SqlDeleteValues);
        header.setSql(SqlPeriodHeader);
        findHeaders.setSql(SqlFindRegistryHeaders);
        findRegistry.setSql(SqlFindRegistry);
        reserve.setSql(SqlReserveRows);
        lockRecord.setSql(SqlLockRecord);
        readRecord.setSql(SqlReadRecord);
        deleteValue.setSql(SqlDeleteValue);
    }
    // A statement made for a save, kept by its text for the later ones.
    SqlQuery &statement(const QString &sql)
    {
        auto &q = made[sql];
        if (!q) {
            q = std::make_unique<SqlQuery>(db);
            q->setSql(sql);
        }
        return *q;
    }
    // One value row into its column, or the column of a stored row.
    SqlQuery &insertValue(ValueColumn column)
    {
        return statement(platform::format(SqlInsertValue, ColumnLetters[column]));
    }
    SqlQuery &updateValue(ValueColumn column)
    {
        QStringList values = {QStringLiteral("NULL"), QStringLiteral("NULL"), QStringLiteral("NULL"),
                              QStringLiteral("NULL")};
        values[column] = QStringLiteral(":VALUE");
        return statement(platform::format(SqlUpdateValue, values[0], values[1], values[2], values[3]));
    }

    // The value rows' blocks for the fields written as value rows (field
    // index and value column, in field order).
    void setValueFields(const DataSet &ds, const QList<QPair<int, ValueColumn>> &fields)
    {
        QStringList names;
        for (const auto &f : fields)
            names << ds.field(f.first)->fieldName();
        // The same fields as the last save's: its blocks serve again; so do
        // those of the few layouts saved before it (the import saves two
        // tables in turn).
        if (!blocks.empty() && fields == valueFields && names == fieldNames)
            return;
        if (!blocks.empty()) {
            if (earlierBlocks.size() == EarlierBlocksKept)
                earlierBlocks.erase(earlierBlocks.begin());
            earlierBlocks.push_back({std::move(valueFields), std::move(fieldNames), std::move(blocks)});
        }
        const auto earlier = std::find_if(earlierBlocks.begin(), earlierBlocks.end(), [&](const BlockSet &b) {
            return b.valueFields == fields && b.fieldNames == names;
        });
        if (earlier != earlierBlocks.end()) {
            valueFields = std::move(earlier->valueFields);
            fieldNames = std::move(earlier->fieldNames);
            blocks = std::move(earlier->blocks);
            earlierBlocks.erase(earlier);
            return;
        }
        valueFields = fields;
        fieldNames = names;
        blocks.clear();
        for (qsizetype from = 0; from < fields.size(); from += BlockFields) {
            const qsizetype n = qMin<qsizetype>(BlockFields, fields.size() - from);
            QString parameters, inserts;
            for (int k = 0; k < n; ++k) {
                const auto &[index, column] = fields[from + k];
                QString name = ds.field(index)->fieldName();
                name.replace(QLatin1Char('\''), QStringLiteral("''"));
                parameters += platform::format(SqlValueBlockParameter, k, BlockParameterTypes[column]);
                inserts += platform::format(SqlValueBlockInsert, k, ColumnLetters[column],
                                            QLatin1Char('\'') + name + QLatin1Char('\''));
            }
            auto q = std::make_unique<SqlQuery>(db);
            q->setSql(platform::format(SqlValueBlock, parameters, inserts));
            blocks.push_back(std::move(q));
        }
    }

    SqlQuery deleteRegistry, shareRegistry, deleteValues, header, findHeaders, findRegistry, reserve, lockRecord,
        readRecord, deleteValue;
    std::map<QString, std::unique_ptr<SqlQuery>> made;
    Database &db;
    // The fields written as value rows, in field order, with their column,
    // and the blocks that write them, BlockFields fields each; a block's
    // parameters are ICDSID, ICRFID, IAFIID, IFISRIGO, then one per field.
    QList<QPair<int, ValueColumn>> valueFields;
    QStringList fieldNames;
    std::vector<std::unique_ptr<SqlQuery>> blocks;
    struct BlockSet {
        QList<QPair<int, ValueColumn>> valueFields;
        QStringList fieldNames;
        std::vector<std::unique_ptr<SqlQuery>> blocks;
    };
    std::vector<BlockSet> earlierBlocks;
    static constexpr std::size_t EarlierBlocksKept = 4;
    // The headers the registry search looks under, once read.
    std::optional<QList<int>> searchHeaders;
};

// ---------------------------------------------------------------------------
// TTovDBCds

ITovDBCds::~ITovDBCds() = default;

std::unique_ptr<TTovDBCdsImportazione> ITovDBCds::Importazione(int, int)
{
    return nullptr;
}

std::unique_ptr<TTovDBCdsImportazione> TTovDBCds::Importazione(int year, int month)
{
    if (!m_connection)
        throw EUqError(QStringLiteral("Connessione al database non impostata."));
    return std::make_unique<TTovDBCdsImportazione>(*m_connection, m_program, year, month);
}

TTovDBCds::TTovDBCds() = default;

TTovDBCds::~TTovDBCds() = default;

void TTovDBCds::SetConnection(platform::Database *connection)
{
    m_statements.reset();
    m_connection = connection;
}

void TTovDBCds::ReadStructure(DataSet *dataSet, const QString &name, TCdsParameters &params, int year, int month)
{
    ZEP_ASSERT(m_connection, QStringLiteral("TTovDBCds: connessione non impostata"));
    SqlQuery q(*m_connection);
    q.setSql(SqlReadStructure);
    q.bind(QStringLiteral("ICDSANNO"), year);
    q.bind(QStringLiteral("ICDSMESE"), month);
    q.bind(QStringLiteral("SCDSPROGRAMMA"), m_program.toLower());
    q.bind(QStringLiteral("SCDSNOME"), name.toLower());
    q.open();
    if (q.eof())
        throw EUqError(platform::format(NotFoundText, name));

    TCdsParameters read;
    read.CdsId = q.value(QStringLiteral("ICDSID")).toInt();
    read.Anagrafica = q.value(QStringLiteral("LCDSANAGRAFICA")).isEmpty()
                          ? false
                          : q.value(QStringLiteral("LCDSANAGRAFICA")).toInt() == 1;
    read.FMapReadOnly = q.value(QStringLiteral("LCDSFMAPREADONLY")).isEmpty()
                            ? false
                            : q.value(QStringLiteral("LCDSFMAPREADONLY")).toInt() == 1;
    const Value rigo = q.value(QStringLiteral("ICDSRIGO"));
    read.Rigo = rigo.isEmpty() ? 0 : rigo.toInt();
    read.SetFieldMap(q.value(QStringLiteral("SCDSFIELDMAP")).toString(), name);

    if (dataSet) {
        DataSet row;
        q.fetchInto(row);
        row.first();
        dataSet->setIndexFieldNames(QString());
        dataSet->close();
        TTovCds::LoadFromBlob(row.fieldByName(QStringLiteral("BCDSSCHEMA")), *dataSet);
    } else {
        q.close();
    }
    params = read;
}

void TTovDBCds::LoadStructure(DataSet &dataSet, const QString &name, int year, int month)
{
    TCdsParameters params;
    ReadStructure(&dataSet, name, params, year, month);
}

void TTovDBCds::LoadPeriod(DataSet &dataSet, const QString &name, int year, int month)
{
    ZEP_ASSERT(m_connection, QStringLiteral("TTovDBCds: connessione non impostata"));
    platform::Services &services = platform::Services::instance();

    // Everything changed here is put back by this guard, errors included.
    struct Restore {
        DataSet &ds;
        platform::Services &services;
        std::optional<platform::WaitForm> wait;
        platform::DataSetEvents events;
        bool eventsSaved = false, controls = false, cursor = false;
        ~Restore()
        {
            if (eventsSaved)
                ds.events() = std::move(events);
            if (controls)
                ds.enableControls();
            if (cursor)
                services.popWaitCursor();
            wait.reset();
        }
    } restore{dataSet, services, std::nullopt, {}};

    dataSet.disableControls();
    restore.controls = true;
    if (m_showWait) {
        restore.wait.emplace(WaitCaption, WaitText);
        services.pushWaitCursor(platform::WaitCursorShape::SqlWait);
        restore.cursor = true;
        services.processEvents();
    }
    restore.events = std::exchange(dataSet.events(), platform::DataSetEvents{});
    restore.eventsSaved = true;

    dataSet.close();
    dataSet.setProviderName(ProviderName);
    TCdsParameters params;
    ReadStructure(&dataSet, name, params, year, month);

    // One snapshot for every statement of the load: the caller's
    // transaction, or one of its own.
    TUqTransaction reading(m_connection);
    reading.StartOrJoin();
    QList<int> headers;
    SqlQuery q(*m_connection);
    q.setSql(SqlLoadHeaders);
    q.bind(QStringLiteral("ICRFANNO"), year);
    q.bind(QStringLiteral("ICRFMESE"), month);
    q.bind(QStringLiteral("SCRFPROGRAMMA"), m_program.toLower());
    for (q.open(); !q.eof(); q.next())
        headers << q.value(0).toInt();
    q.close();
    if (!headers.isEmpty())
        FillDataSet(dataSet, headers, params);
    reading.Commit();
}

void TTovDBCds::FillDataSet(DataSet &dataSet, const QList<int> &headers, const TCdsParameters &params)
{
    const platform::FieldDefs defs = dataSet.fieldDefs();

    // Position of each data field in a record's values, by lower-cased name.
    QHash<QString, int> position;
    QList<FieldType> types;
    for (int i = 0; i < defs.size(); ++i) {
        if (defs[i].kind != platform::FieldKind::Data)
            continue;
        position.insert(defs[i].name.toLower(), int(types.size()));
        types << defs[i].type;
    }
    const int nData = int(types.size());
    const int posRigo = position.value(FieldRigo.toLower(), -1);
    const int posAfi = position.value(FieldAfi.toLower(), -1);

    // Fields filled from the registry row: the entries whose value is a
    // field of the dataset (a composite names none). A value row of such a
    // field, if one was ever stored, wins over the registry.
    struct FromRegistry {
        int pos;
        int column; // in SqlLoadRegistry's result
    };
    QList<FromRegistry> fromRegistry;
    for (const TCdsFieldMapEntry &e : params.Entries) {
        const int pos = position.value(e.value.toLower(), -1);
        if (pos >= 0)
            fromRegistry.append({pos, int(TCdsParameters::RegistryColumns.indexOf(e.column)) + 1});
    }
    const bool readRegistry = posAfi >= 0 || !fromRegistry.isEmpty();

    // The stored records, one per row number, in the order first met.
    struct Stored {
        int rigo;
        int registryId;
        quint32 ownValues; // bit k: fromRegistry[k] was set by a value row
    };
    QList<ValueList> records;
    QList<Stored> stored;
    QHash<int, qsizetype> byRigo;
    // Field position of each stored field name as written (-1: not a field
    // of this layout, or one the value rows never fill).
    QHash<QString, int> fieldOf;

    SqlQuery q(*m_connection);
    q.setSql(SqlLoadValues);
    q.bind(QStringLiteral("ICDSID"), params.CdsId);
    for (const int header : headers) {
        q.bind(QStringLiteral("ICRFID"), header);
        qsizetype current = -1;
        for (q.open(); !q.eof(); q.next()) {
            const int rigo = q.value(0).toInt();
            if (current < 0 || stored[current].rigo != rigo) {
                const auto found = byRigo.constFind(rigo);
                if (found != byRigo.cend()) {
                    current = *found;
                } else {
                    current = records.size();
                    byRigo.insert(rigo, current);
                    const Value afi = q.value(1);
                    stored.append({rigo, afi.isEmpty() ? 0 : afi.toInt(), 0});
                    records.append(ValueList(nData, Value::null()));
                }
            }
            const QString name = q.value(2).toString();
            auto pos = fieldOf.constFind(name);
            if (pos == fieldOf.cend()) {
                const int p = position.value(name.toLower(), -1);
                pos = fieldOf.insert(name, p == posRigo || p == posAfi ? -1 : p);
            }
            if (*pos < 0)
                continue;
            const FieldType type = types[*pos];
            const ValueColumn column = valueColumnOf(type);
            const Value v = q.value(3 + column);
            ValueList &rec = records[current];
            if (v.isEmpty())
                rec[*pos] = Value::null();
            else if (column == ColumnS && type != FieldType::String)
                rec[*pos] = otherTypeValue(type, v.toString());
            else
                rec[*pos] = v;
            for (int k = 0; k < fromRegistry.size(); ++k)
                if (fromRegistry[k].pos == *pos)
                    stored[current].ownValues |= 1u << k;
        }
        q.close();
    }
    if (records.isEmpty())
        return;

    if (readRegistry) {
        // The registry rows of the records, each read once; a record whose
        // row is gone loads without a person (id 0).
        QList<int> ids;
        QSet<int> seen;
        for (const Stored &st : std::as_const(stored))
            if (st.registryId != 0 && !seen.contains(st.registryId)) {
                seen.insert(st.registryId);
                ids << st.registryId;
            }
        QHash<int, ValueList> registry;
        if (!ids.isEmpty()) {
            QStringList placeholders;
            for (int k = 0; k < RegistryBatch; ++k)
                placeholders << QStringLiteral(":I%1").arg(k);
            SqlQuery r(*m_connection);
            r.setSql(platform::format(SqlLoadRegistry, placeholders.join(QStringLiteral(" , "))));
            for (qsizetype from = 0; from < ids.size(); from += RegistryBatch) {
                for (int k = 0; k < RegistryBatch; ++k) {
                    if (from + k < ids.size())
                        r.params()[k].setValue(ids[from + k]);
                    else
                        r.params()[k].clear();
                }
                for (r.open(); !r.eof(); r.next()) {
                    ValueList row;
                    for (int c = 0; c < r.fieldCount(); ++c)
                        row << r.value(c);
                    registry.insert(row[0].toInt(), row);
                }
                r.close();
            }
        }
        for (qsizetype i = 0; i < records.size(); ++i) {
            const Stored &st = stored[i];
            const auto found = registry.constFind(st.registryId);
            ValueList &rec = records[i];
            if (posAfi >= 0)
                rec[posAfi] = found == registry.cend() ? 0 : st.registryId;
            for (int k = 0; k < fromRegistry.size(); ++k)
                if (!(st.ownValues & (1u << k)))
                    rec[fromRegistry[k].pos] = found == registry.cend() ? Value::null()
                                                                        : found->at(fromRegistry[k].column);
        }
    }
    if (posRigo >= 0)
        for (qsizetype i = 0; i < records.size(); ++i)
            records[i][posRigo] = stored[i].rigo;

    // The layout's own records (an empty layout has none), then the stored
    // ones by row number, each moved, not copied, into the dataset.
    QList<qsizetype> order(records.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return stored[a].rigo < stored[b].rigo; });
    QList<ValueList> rows = dataSet.records();
    rows.reserve(rows.size() + records.size());
    for (const qsizetype i : std::as_const(order))
        rows.append(std::move(records[i]));
    records.clear();

    // Loading the records rebuilds the fields: keep the properties the
    // layout gave them.
    struct Props {
        QString label, displayFormat, editFormat;
        bool visible, readOnly;
    };
    QList<Props> props;
    for (const auto &f : dataSet.fields())
        props.append({f->displayLabel(), f->displayFormat(), f->editFormat(), f->isVisible(), f->isReadOnly()});
    dataSet.loadRecords(defs, std::move(rows));
    for (int i = 0; i < props.size() && i < dataSet.fieldCount(); ++i) {
        Field *f = dataSet.field(i);
        f->setDisplayLabel(props[i].label);
        f->setDisplayFormat(props[i].displayFormat);
        f->setEditFormat(props[i].editFormat);
        f->setVisible(props[i].visible);
        f->setReadOnly(props[i].readOnly);
    }
    dataSet.first();
}

// ---------------------------------------------------------------------------
// Save

void TTovDBCds::SavePeriod(DataSet &dataSet, const QString &name, int year, int month, TCdsSaveFailure onFailure)
{
    ZEP_ASSERT(m_connection, QStringLiteral("TTovDBCds: connessione non impostata"));
    m_updateError = false;
    m_errorMessage.clear();
    m_saveYear = year;
    m_saveMonth = month;
    m_headerId = 0;
    m_nextRow = m_lastRow = 0;
    m_nextRegistryId = m_lastRegistryId = 0;
    m_registryCandidates = 0;
    m_registryBlock = FirstRegistryBlock;
    m_transaction = nullptr;
    // Refused before the save begins, with nothing changed: an edit in
    // progress that cannot be posted (it stays in edit), a dataset that the
    // store did not load.
    dataSet.checkBrowseMode();
    if (dataSet.providerName() != ProviderName)
        throw EUqError(
            platform::format(QStringLiteral("Il ClientDataSet (%s) non è stato caricato dall'archivio delle denunce: "
                                            "impossibile salvarlo."),
                             name));

    const bool useOwnTransaction = !m_connection->inTransaction();
    std::optional<TUqTransaction> own;

    try {
        // The statements of the last save on the same connection serve
        // again (prepared, their texts made); what they read is read anew.
        if (!m_statements || &m_statements->db != m_connection)
            m_statements = std::make_unique<SaveStatements>(*m_connection);
        m_statements->searchHeaders.reset();

        // How many records need a row number: those written (not deleted)
        // without one.
        const QList<DeltaRecord> delta = dataSet.delta();
        int needed = 0;
        for (const DeltaRecord &d : delta)
            if (d.kind() != UpdateKind::Delete && rowNumberOf(d) == 0)
                ++needed;
        // How many may need a new registry row: those written without one.
        for (const DeltaRecord &d : delta)
            if (d.kind() != UpdateKind::Delete && d.hasField(FieldAfi) && registryIdOf(d) == 0)
                ++m_registryCandidates;

        for (int attempt = 1;; ++attempt) {
            if (useOwnTransaction) {
                own.emplace(m_connection);
                own->Start();
                m_transaction = &*own;
            }
            ReadStructure(nullptr, name, m_params, year, month);
            // Nothing is written that the columns would cut or change.
            TTovDBCdsLimits::CheckPendingValues(dataSet, delta, name, m_params);
            if (needed == 0)
                break;
            try {
                m_nextRow = ReserveRowNumbers(needed);
                m_lastRow = m_nextRow + needed - 1;
                break;
            } catch (const platform::EDatabaseError &e) {
                // Another save of the layout held the counter and has
                // committed: our snapshot is too old to raise it. Only the
                // counter was touched, so a fresh transaction may try again.
                if (useOwnTransaction && attempt < ReservationAttempts && Database::isUpdateConflict(e.message())) {
                    m_transaction = nullptr;
                    own.reset();
                    ++m_reservationRetries;
                    continue;
                }
                // Reserving is the first write of the apply: its failure is
                // an update error like any other.
                ProviderUpdateError(e.message());
                throw;
            }
        }

        // The fields written as value rows, by the layout's field map.
        QList<QPair<int, ValueColumn>> valueFields;
        for (const auto &f : dataSet.fields())
            if (!f->isCalculated() && !m_params.IsRegistryField(f->fieldName()))
                valueFields.append({f->index(), valueColumnOf(f->dataType())});
        m_statements->setValueFields(dataSet, valueFields);

        const qsizetype total = delta.size();
        qsizetype done = 0;
        dataSet.applyUpdates([&](DeltaRecord &d) {
            try {
                ProviderBeforeUpdateRecord(d);
                // The own transaction is committed with the last record,
                // inside the apply: a failing commit still leaves the
                // dataset as it was.
                if (++done == total && m_transaction)
                    m_transaction->Commit();
            } catch (const platform::Exception &e) {
                ProviderUpdateError(e.message());
                throw;
            } catch (const std::exception &e) {
                ProviderUpdateError(QString::fromUtf8(e.what()));
                throw;
            }
        });
        if (total == 0 && m_transaction)
            m_transaction->Commit();
    } catch (...) {
        m_transaction = nullptr;
        own.reset(); // rolls back what is still open
        m_statements.reset();
        if (onFailure == TCdsSaveFailure::DiscardChanges)
            dataSet.cancelUpdates();
        if (m_updateError && m_concurrentChangeText)
            throw EUqError(QStringLiteral("Dati modificati da un altro utente. (") + QStringLiteral("\r\n")
                           + m_errorMessage + QStringLiteral(")"));
        throw;
    }
    m_transaction = nullptr;
}

int TTovDBCds::ReserveRowNumbers(int count)
{
    SqlQuery &q = m_statements->reserve;
    q.bind(QStringLiteral("NRIGHE"), count);
    q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
    q.execSQL();
    const int last = q.value(0).toInt();
    q.close();
    m_params.Rigo = last;
    return last - count + 1;
}

void TTovDBCds::ProviderBeforeUpdateRecord(DeltaRecord &delta)
{
    int row = rowNumberOf(delta);
    const UpdateKind kind = delta.kind();
    if (kind == UpdateKind::Delete) {
        if (delta.hasField(FieldAfi) && m_params.Anagrafica) {
            // Not a row another table shares (see SqlDeleteRegistry).
            SqlQuery &q = m_statements->deleteRegistry;
            const Value afi = delta.value(FieldAfi);
            if (afi.isEmpty())
                q.setNull(QStringLiteral("IAFIID"), FieldType::Integer);
            else
                q.bind(QStringLiteral("IAFIID"), afi.toInt());
            q.execSQL();
        }
        DeleteValues(row);
        return;
    }
    // A modified record's stored rows are replaced by its values (see
    // WriteValues); a record without a row number is written as new.
    const bool stored = kind == UpdateKind::Modify && row != 0;
    if (row == 0) {
        ZEP_ASSERT(m_nextRow > 0 && m_nextRow <= m_lastRow,
                   QStringLiteral("TTovDBCds: numeri di riga riservati esauriti"));
        row = m_nextRow++;
    }
    WriteRecord(delta, row, stored);
}

void TTovDBCds::DeleteValues(int rowNumber)
{
    SqlQuery &q = m_statements->deleteValues;
    q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
    q.bind(QStringLiteral("IFISRIGO"), rowNumber);
    q.execSQL();
}

void TTovDBCds::ProviderUpdateError(const QString &message)
{
    m_updateError = true;
    m_errorMessage = message;
    if (m_transaction && m_transaction->InTransaction()) {
        try {
            m_transaction->Rollback();
        } catch (const platform::Exception &e) {
            m_errorMessage += QStringLiteral("\n") + e.message();
        }
    }
}

int TTovDBCds::PeriodHeader()
{
    if (m_headerId)
        return m_headerId;
    SqlQuery &q = m_statements->header;
    q.bind(QStringLiteral("sProgramma"), m_program.toLower());
    if (m_saveYear > 0)
        q.bind(QStringLiteral("iAnno"), m_saveYear);
    else
        q.setNull(QStringLiteral("iAnno"), FieldType::Integer);
    if (m_saveMonth > 0)
        q.bind(QStringLiteral("iMese"), m_saveMonth);
    else
        q.setNull(QStringLiteral("iMese"), FieldType::Integer);
    q.open();
    ZEP_ASSERT(!q.eof(), QStringLiteral("ptov_getcrofiscale: nessuna testata restituita"));
    m_headerId = q.value(0).toInt();
    q.close();
    return m_headerId;
}

QString TTovDBCds::CompositeValue(const DeltaRecord &delta, const TCdsFieldMapEntry &entry) const
{
    QString text;
    for (const QString &part : entry.parts()) {
        ZEP_ASSERT(delta.hasField(part),
                   platform::format(QStringLiteral(
                                        "Mappa dei campi: il campo %s di %s=%s non esiste nel ClientDataSet."),
                                    part, entry.column, entry.value));
        const Value v = delta.value(part);
        if (!v.isEmpty())
            text += v.toString();
    }
    return text;
}

void TTovDBCds::WriteRecord(DeltaRecord &delta, int rowNumber, bool stored)
{
    const int header = PeriodHeader();
    int registryId = 0;
    int newRowHeader = 0; // the header of a registry row made for this record
    const bool hasRegistry = delta.hasField(FieldAfi);
    if (hasRegistry) {
        registryId = registryIdOf(delta);
        // A new record given a registry id takes up another record's person.
        bool shared = registryId != 0 && delta.kind() == UpdateKind::Insert;
        if (registryId == 0) {
            const TCdsFieldMapEntry *group = m_params.EntryOf(ColumnGruppo);
            const QString groupKey = group ? CompositeValue(delta, *group) : QString();
            const TCdsFieldMapEntry *code = m_params.EntryOf(ColumnCodFiscale);
            if (!m_params.Anagrafica && code && !code->isComposite() && delta.hasField(code->value)) {
                // A person without a fiscal code is nobody's match: two of
                // them must never share one registry row.
                const Value v = delta.value(code->value);
                const QString fiscalCode = v.isEmpty() ? QString() : v.toString();
                if (!fiscalCode.trimmed().isEmpty())
                    registryId = FindRegistry(fiscalCode, groupKey);
                shared = registryId != 0;
            }
            --m_registryCandidates;
            if (registryId == 0) {
                registryId = NextRegistryId();
                newRowHeader = header;
            }
        }
        if (shared) {
            SqlQuery &q = m_statements->shareRegistry;
            q.bind(QStringLiteral("IAFIID"), registryId);
            q.execSQL();
        }
        setChangedValue(delta, FieldAfi, registryId);
        WriteRegistry(delta, registryId, newRowHeader);
    }
    WriteValues(delta, rowNumber, hasRegistry ? registryId : 0, header, stored, hasRegistry && newRowHeader == 0);
}

int TTovDBCds::NextRegistryId()
{
    // Ids come from the framework's generator in blocks, doubling from a few
    // up to the records still to write: a large save asks a few times, a
    // small one leaves no gap.
    if (m_nextRegistryId == 0 || m_nextRegistryId > m_lastRegistryId) {
        const int count = qBound(1, m_registryCandidates + 1, m_registryBlock); // this record and the ones after it
        m_registryBlock = qMin(m_registryBlock * 2, LastRegistryBlock);
        m_nextRegistryId = int(GenerateID(RegistryTable, m_connection, count));
        m_lastRegistryId = m_nextRegistryId + count - 1;
    }
    return m_nextRegistryId++;
}

int TTovDBCds::FindRegistry(const QString &fiscalCode, const QString &groupKey)
{
    if (!m_statements->searchHeaders) {
        SqlQuery &h = m_statements->findHeaders;
        h.bind(QStringLiteral("ICRFANNO"), m_saveYear);
        h.bind(QStringLiteral("ICRFMESE"), m_saveMonth);
        h.bind(QStringLiteral("SCRFPROGRAMMA"), m_program.toLower());
        QList<int> headers;
        for (h.open(); !h.eof(); h.next())
            headers << h.value(0).toInt();
        h.close();
        m_statements->searchHeaders = headers;
    }
    SqlQuery &q = m_statements->findRegistry;
    q.bind(QStringLiteral("SAFICODFISCALE"), fiscalCode.toLower());
    // An empty group key matches any group; it must reach the statement as
    // empty text, not as null (the driver binds a null string as null).
    q.bind(QStringLiteral("SAFIGRUPPOANA"), groupKey.isNull() ? QStringLiteral("") : groupKey);
    for (const int header : std::as_const(*m_statements->searchHeaders)) {
        q.bind(QStringLiteral("ICRFID"), header);
        q.open();
        const int id = q.eof() ? 0 : q.value(0).toInt();
        q.close();
        if (id != 0)
            return id;
    }
    return 0;
}

void TTovDBCds::WriteRegistry(DeltaRecord &delta, int registryId, int newRowHeader)
{
    struct Item {
        QString column;
        FieldType type;
        Value value;
    };
    QList<Item> items;
    if (!m_params.FMapReadOnly) {
        const DataSet &ds = delta.dataSet();
        for (const TCdsFieldMapEntry &e : std::as_const(m_params.Entries)) {
            Item item{e.column, FieldType::String, Value()};
            if (e.isComposite()) {
                item.value = CompositeValue(delta, e);
            } else {
                const Field *f = ds.findField(e.value);
                if (!f || f->isCalculated() || !delta.isAssigned(f->index()))
                    continue;
                item.type = f->dataType();
                item.value = recordValue(delta, *f);
            }
            items << item;
        }
    }
    // Column names come only from the registry's own columns (checked when
    // the field map was read), never from elsewhere.
    SqlQuery *q = nullptr;
    if (newRowHeader != 0) {
        QString columns, values;
        for (const Item &item : std::as_const(items)) {
            columns += QStringLiteral(" , ") + item.column;
            values += QStringLiteral(" , :") + item.column;
        }
        q = &m_statements->statement(platform::format(SqlInsertRegistry, columns, values));
        q->bind(QStringLiteral("ICRFID"), newRowHeader);
    } else {
        if (items.isEmpty())
            return;
        QStringList set;
        for (const Item &item : std::as_const(items))
            set << platform::format(SqlUpdateRegistryItem, item.column);
        q = &m_statements->statement(platform::format(SqlUpdateRegistry, set.join(QLatin1Char(','))));
    }
    for (const Item &item : std::as_const(items)) {
        if (item.value.isEmpty())
            q->setNull(item.column, item.type);
        else
            q->bind(item.column, item.value);
    }
    q->bind(QStringLiteral("IAFIID"), registryId);
    q->execSQL();
}

void TTovDBCds::WriteValues(DeltaRecord &delta, int rowNumber, int registryId, int headerId, bool stored, bool linked)
{
    setChangedValue(delta, FieldRigo, rowNumber);
    const DataSet &ds = delta.dataSet();
    const bool hasRegistry = delta.hasField(FieldAfi);

    // The value of each field written as value rows (unassigned: no row).
    const auto &fields = m_statements->valueFields;
    ValueList values(fields.size());
    int written = 0;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const Field &f = *ds.field(fields[i].first);
        const FieldType type = f.dataType();
        const Value v = recordValue(delta, f);
        Value &value = values[i];
        switch (type) {
        case FieldType::String:
            if (!v.toString().isEmpty())
                value = v.toString();
            break;
        case FieldType::Integer:
            if (v.toInt() != 0)
                value = v.toInt();
            break;
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::BCD:
            if (!isZeroValue(type, v))
                value = type == FieldType::Float ? Value(v.toDouble()) : Value(v.toCurrency());
            break;
        case FieldType::Date:
        case FieldType::DateTime: {
            // Whole days: the time of day is not kept.
            const QDate day = v.isEmpty() ? QDate() : v.toDate();
            if (day.isValid() && day != ZeroDate)
                value = day;
            break;
        }
        default:
            // A null number has become 0 above and is written; any other
            // null stays null.
            if (!v.isEmpty()) {
                const QString text = otherTypeText(type, v);
                if (!text.isNull())
                    value = text;
            }
            break;
        }
        if (!value.isEmpty())
            ++written;
    }

    // A record whose only values sit in the registry keeps one row that the
    // load ignores (its row number), or it would not load again; so does one
    // whose only value is the registry row it names.
    bool marker = false;
    if (written == 0 && hasRegistry) {
        marker = linked;
        for (const TCdsFieldMapEntry &e : std::as_const(m_params.Entries)) {
            if (marker)
                break;
            if (e.isComposite()) {
                marker = !CompositeValue(delta, e).isEmpty();
            } else if (const Field *f = ds.findField(e.value); f && !f->isCalculated()) {
                const Value v = delta.value(f->index());
                marker = !v.isEmpty() && !v.toString().isEmpty();
            }
        }
    }

    const Value afi = hasRegistry ? Value(registryId) : Value::null();
    if (stored) {
        if (RewriteChangedRows(rowNumber, values, marker, headerId, afi))
            return;
        DeleteValues(rowNumber);
    }

    // The keys are the same in every block.
    for (qsizetype b = 0; b < qsizetype(m_statements->blocks.size()); ++b) {
        SqlQuery &q = *m_statements->blocks[b];
        platform::Params &p = q.params();
        int inBlock = 0;
        for (qsizetype k = 0, i = b * BlockFields; k < BlockFields && i < fields.size(); ++k, ++i) {
            if (values[i].isEmpty()) {
                p[int(4 + k)].clear();
            } else {
                p[int(4 + k)].setValue(values[i]);
                ++inBlock;
            }
        }
        // A block with no value writes nothing: it is not run.
        if (inBlock == 0)
            continue;
        p[0].setValue(m_params.CdsId);
        p[1].setValue(headerId);
        p[2].setValue(afi);
        p[3].setValue(rowNumber);
        q.execSQL();
    }
    if (marker)
        InsertValue(ColumnI, FieldRigo, rowNumber, rowNumber, headerId, afi);
}

void TTovDBCds::InsertValue(int column, const QString &fieldName, const Value &value, int rowNumber, int headerId,
                            const Value &registryId)
{
    SqlQuery &q = m_statements->insertValue(ValueColumn(column));
    q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
    q.bind(QStringLiteral("ICRFID"), headerId);
    if (registryId.isEmpty())
        q.setNull(QStringLiteral("IAFIID"), FieldType::Integer);
    else
        q.bind(QStringLiteral("IAFIID"), registryId);
    q.bind(QStringLiteral("IFISRIGO"), rowNumber);
    q.bind(QStringLiteral("SFISFIELDNAME"), fieldName);
    q.bind(ColumnLetters[column].toUpper() + QStringLiteral("FISVALUE"), value);
    q.execSQL();
}

bool TTovDBCds::RewriteChangedRows(int rowNumber, const ValueList &values, bool marker, int headerId,
                                   const Value &registryId)
{
    // The rows the record should have: field name, column, value.
    struct Row {
        ValueColumn column;
        Value value;
    };
    QHash<QString, Row> wanted;
    const auto &fields = m_statements->valueFields;
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (!values[i].isEmpty())
            wanted.insert(m_statements->fieldNames[i], {fields[i].second, values[i]});
    if (marker)
        wanted.insert(FieldRigo, {ColumnI, Value(rowNumber)});

    // What is stored differs from it by the rows to delete, to update and to
    // insert.
    QStringList toDelete;
    QStringList toWrite; // updated (stored) or inserted (not stored)
    QSet<QString> present;
    SqlQuery &lock = m_statements->lockRecord;
    lock.bind(QStringLiteral("ICDSID"), m_params.CdsId);
    lock.bind(QStringLiteral("IFISRIGO"), rowNumber);
    lock.open();
    lock.close();
    SqlQuery &r = m_statements->readRecord;
    r.bind(QStringLiteral("ICDSID"), m_params.CdsId);
    r.bind(QStringLiteral("IFISRIGO"), rowNumber);
    for (r.open(); !r.eof(); r.next()) {
        const QString name = r.value(0).toString();
        const auto w = wanted.constFind(name);
        if (w == wanted.cend()) {
            toDelete << name;
            continue;
        }
        present.insert(name);
        bool same = r.value(1) == Value(headerId) && r.value(2) == registryId;
        for (int c = 0; same && c < 4; ++c) {
            const Value v = r.value(3 + c);
            if (c != w->column)
                same = v.isEmpty();
            else if (c == ColumnF)
                // The amount as it is bound: its double.
                same = !v.isEmpty() && v.toDouble() == w->value.toDouble();
            else
                same = !v.isEmpty() && v == w->value;
        }
        if (!same)
            toWrite << name;
    }
    r.close();
    for (auto w = wanted.cbegin(); w != wanted.cend(); ++w)
        if (!present.contains(w.key()))
            toWrite << w.key();
    if (toDelete.size() + toWrite.size() > MaxChangedRows)
        return false;

    for (const QString &name : std::as_const(toDelete)) {
        SqlQuery &q = m_statements->deleteValue;
        q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
        q.bind(QStringLiteral("IFISRIGO"), rowNumber);
        q.bind(QStringLiteral("SFISFIELDNAME"), name);
        q.execSQL();
    }
    for (const QString &name : std::as_const(toWrite)) {
        const Row &row = wanted[name];
        if (!present.contains(name)) {
            InsertValue(row.column, name, row.value, rowNumber, headerId, registryId);
            continue;
        }
        SqlQuery &q = m_statements->updateValue(row.column);
        q.bind(QStringLiteral("ICRFID"), headerId);
        if (registryId.isEmpty())
            q.setNull(QStringLiteral("IAFIID"), FieldType::Integer);
        else
            q.bind(QStringLiteral("IAFIID"), registryId);
        q.bind(QStringLiteral("VALUE"), row.value);
        q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
        q.bind(QStringLiteral("IFISRIGO"), rowNumber);
        q.bind(QStringLiteral("SFISFIELDNAME"), name);
        q.execSQL();
    }
    return true;
}
