#include "tovUDBCds.h"

#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "Database.h"
#include "Exceptions.h"
#include "Format.h"
#include "Services.h"
#include "SqlQuery.h"
#include "UqTransaction.h"

#include <QHash>
#include <array>
#include <map>
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
const QString FieldRigo = QStringLiteral("iFisRigo");
const QString FieldAfi = QStringLiteral("iAfiID");
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

const QString SqlLoadRows = QStringLiteral(
    "SELECT crf.* , afi.* , fis.sFisFieldName , fis.iFisRigo , fis.iFisValue , fis.fFisValue , "
    "fis.sFisValue , fis.dFisValue "
    "FROM tcrf_crofiscale crf "
    "LEFT JOIN tfis_datifiscali fis ON fis.icrfid = crf.icrfid "
    "LEFT JOIN tafi_anafiscale afi ON afi.iafiid = fis.iafiid "
    "WHERE COALESCE(crf.icrfanno, 0) = :ICRFANNO AND (COALESCE(crf.icrfmese, 0) = :ICRFMESE OR :ICRFMESE = -1) "
    "AND Lower(crf.scrfprogramma) = :SCRFPROGRAMMA AND fis.icdsid = :ICDSID "
    "AND (fis.iafiid = :IAFIID OR :IAFIID = -1) "
    "ORDER BY fis.ifisrigo");

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
const QString SqlInsertRegistry = QStringLiteral(
    "INSERT INTO TAFI_ANAFISCALE ( IAFIID , ICRFID ) VALUES ( :IAFIID , :ICRFID )");
// The person's fiscal code drives the search: "+ 0" keeps the optimizer off
// the index of the period's registry rows, which would be read whole for
// every record saved.
const QString SqlFindRegistry = QStringLiteral(
    "SELECT afi.iafiid FROM tcrf_crofiscale crf "
    "INNER JOIN tafi_anafiscale afi ON afi.icrfid + 0 = crf.icrfid "
    "WHERE crf.icrfanno = :ICRFANNO AND (COALESCE(crf.icrfmese, 0) = :ICRFMESE OR :ICRFMESE = -1) "
    "AND Lower(crf.scrfprogramma) = :SCRFPROGRAMMA AND Lower(afi.saficodfiscale) = :SAFICODFISCALE "
    "AND (COALESCE(afi.safigruppoana, '') = :SAFIGRUPPOANA OR :SAFIGRUPPOANA = '')");
const QString SqlUpdateRegistry = QStringLiteral("UPDATE tafi_anafiscale afi SET %s WHERE afi.iafiid = :IAFIID");
const QString SqlUpdateRegistryItem = QStringLiteral(" %0:s = :%0:s ");
const QString SqlInsertValue = QStringLiteral(
    "INSERT INTO TFIS_DATIFISCALI ( ICDSID, ICRFID, IAFIID, IFISRIGO, SFISFIELDNAME, %0:sFISVALUE ) "
    "VALUES ( :ICDSID, :ICRFID, :IAFIID, :IFISRIGO, :SFISFIELDNAME, :%0:sFISVALUE )");

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

bool isUpdateConflict(const QString &message)
{
    const QString m = message.toLower();
    return m.contains(QLatin1String("update conflicts")) || m.contains(QLatin1String("deadlock"))
           || m.contains(QLatin1String("lock conflict"));
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
    QStringList map;
    QList<TCdsFieldMapEntry> entries;
    const auto refuse = [&](const QString &entry, const QString &why) {
        throw EUqError(platform::format(QStringLiteral("Mappa dei campi del ClientDataSet (%s) non valida: \"%s\" %s."),
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
        for (const TCdsFieldMapEntry &other : std::as_const(entries))
            if (other.column == e.column)
                refuse(entry, QStringLiteral("ripete la colonna %1").arg(e.column));
        for (const QString &part : e.parts())
            if (part.isEmpty())
                refuse(entry, QStringLiteral("ha un campo vuoto"));
        map << entry;
        entries << e;
    }
    FieldMap = map;
    Entries = entries;
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
    if (fieldName.compare(FieldAfi, Qt::CaseInsensitive) == 0 || fieldName.compare(FieldRigo, Qt::CaseInsensitive) == 0)
        return true;
    for (const TCdsFieldMapEntry &e : Entries)
        if (e.value.compare(fieldName, Qt::CaseInsensitive) == 0
            || e.column.compare(fieldName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// The statements of one save, prepared once and run for every record.

struct TTovDBCds::SaveStatements {
    explicit SaveStatements(Database &db)
        : deleteRegistry(db), shareRegistry(db), deleteValues(db), header(db), insertRegistry(db), findRegistry(db),
          reserve(db), insertValue{SqlQuery(db), SqlQuery(db), SqlQuery(db), SqlQuery(db)}, db(db)
    {
        deleteRegistry.setSql(SqlDeleteRegistry);
        shareRegistry.setSql(SqlShareRegistry);
        deleteValues.setSql(SqlDeleteValues);
        header.setSql(SqlPeriodHeader);
        insertRegistry.setSql(SqlInsertRegistry);
        findRegistry.setSql(SqlFindRegistry);
        reserve.setSql(SqlReserveRows);
        for (int c = 0; c < 4; ++c)
            insertValue[c].setSql(platform::format(SqlInsertValue, ColumnLetters[c]));
    }
    SqlQuery &updateRegistry(const QString &sql)
    {
        auto &q = updates[sql];
        if (!q) {
            q = std::make_unique<SqlQuery>(db);
            q->setSql(sql);
        }
        return *q;
    }

    SqlQuery deleteRegistry, shareRegistry, deleteValues, header, insertRegistry, findRegistry, reserve;
    std::array<SqlQuery, 4> insertValue;
    std::map<QString, std::unique_ptr<SqlQuery>> updates;
    Database &db;
    // The fields written as value rows, in field order, with their column.
    QList<QPair<int, ValueColumn>> valueFields;
};

// ---------------------------------------------------------------------------
// TTovDBCds

TTovDBCds::TTovDBCds() = default;

TTovDBCds::~TTovDBCds() = default;

void TTovDBCds::Load(DataSet &dataSet, const QString &name)
{
    LoadPeriod(dataSet, name, m_year, m_month);
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

    SqlQuery q(*m_connection);
    q.setSql(SqlLoadRows);
    q.bind(QStringLiteral("ICRFANNO"), year);
    q.bind(QStringLiteral("ICRFMESE"), month);
    q.bind(QStringLiteral("SCRFPROGRAMMA"), m_program.toLower());
    q.bind(QStringLiteral("ICDSID"), params.CdsId);
    q.bind(QStringLiteral("IAFIID"), -1);
    q.open();
    if (q.eof())
        return;
    FillDataSet(dataSet, q, params);
}

void TTovDBCds::FillDataSet(DataSet &dataSet, SqlQuery &q, const TCdsParameters &params)
{
    const platform::FieldDefs defs = dataSet.fieldDefs();

    // Position of each data field in a record's values, by lower-cased name.
    QHash<QString, int> position;
    QList<FieldType> types;
    QList<int> dataIndex;
    for (int i = 0; i < defs.size(); ++i) {
        if (defs[i].kind != platform::FieldKind::Data)
            continue;
        position.insert(defs[i].name.toLower(), int(dataIndex.size()));
        types << defs[i].type;
        dataIndex << i;
    }
    const int nData = int(dataIndex.size());
    const int posRigo = position.value(FieldRigo.toLower(), -1);
    const int posAfi = position.value(FieldAfi.toLower(), -1);

    const int cRigo = q.fieldIndex(QStringLiteral("IFISRIGO"));
    const int cName = q.fieldIndex(QStringLiteral("SFISFIELDNAME"));
    const int cAfi = q.fieldIndex(QStringLiteral("IAFIID"));
    const std::array<int, 4> cValue = {q.fieldIndex(QStringLiteral("SFISVALUE")),
                                       q.fieldIndex(QStringLiteral("IFISVALUE")),
                                       q.fieldIndex(QStringLiteral("FFISVALUE")),
                                       q.fieldIndex(QStringLiteral("DFISVALUE"))};
    // Fields filled from the joined registry row: the entries whose value is
    // a field of the dataset (a composite names none).
    QList<QPair<int, int>> fromRegistry; // (position, column)
    for (const TCdsFieldMapEntry &e : params.Entries) {
        const int pos = position.value(e.value.toLower(), -1);
        if (pos >= 0)
            fromRegistry.append({pos, q.fieldIndex(e.column)});
    }

    // The layout's own records (an empty layout has none), then the stored ones.
    QList<ValueList> rows = dataSet.records();
    while (!q.eof()) {
        const int rigo = q.value(cRigo).toInt();
        ValueList rec(nData, Value::null());
        if (posAfi >= 0) {
            const Value afi = q.value(cAfi);
            rec[posAfi] = afi.isEmpty() ? 0 : afi.toInt();
        }
        if (posRigo >= 0)
            rec[posRigo] = rigo;
        for (const auto &[pos, column] : std::as_const(fromRegistry))
            rec[pos] = column >= 0 ? q.value(column) : Value::null();
        do {
            const int pos = position.value(q.value(cName).toString().toLower(), -1);
            if (pos >= 0 && pos != posRigo && pos != posAfi) {
                const FieldType type = types[pos];
                const ValueColumn column = valueColumnOf(type);
                const Value v = q.value(cValue[column]);
                if (v.isEmpty())
                    rec[pos] = Value::null();
                else if (column == ColumnS && type != FieldType::String)
                    rec[pos] = otherTypeValue(type, v.toString());
                else
                    rec[pos] = v;
            }
            q.next();
        } while (!q.eof() && q.value(cRigo).toInt() == rigo);
        rows.append(std::move(rec));
    }

    // Loading the records rebuilds the fields: keep the properties the
    // layout gave them.
    struct Props {
        QString label, displayFormat, editFormat;
        bool visible, readOnly;
    };
    QList<Props> props;
    for (const auto &f : dataSet.fields())
        props.append({f->displayLabel(), f->displayFormat(), f->editFormat(), f->isVisible(), f->isReadOnly()});
    dataSet.loadRecords(defs, rows);
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

void TTovDBCds::Save(DataSet &dataSet, const QString &name, TCdsSaveFailure onFailure)
{
    SavePeriod(dataSet, name, m_year, m_month, onFailure);
}

void TTovDBCds::SavePeriod(DataSet &dataSet, const QString &name, int year, int month, TCdsSaveFailure onFailure)
{
    ZEP_ASSERT(m_connection, QStringLiteral("TTovDBCds: connessione non impostata"));
    m_updateError = false;
    m_errorMessage.clear();
    m_saveYear = year;
    m_saveMonth = month;
    m_headerId = 0;
    m_nextRow = m_lastRow = 0;
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
        m_statements = std::make_unique<SaveStatements>(*m_connection);

        // How many records need a row number: those written (not deleted)
        // without one.
        const QList<DeltaRecord> delta = dataSet.delta();
        int needed = 0;
        for (const DeltaRecord &d : delta)
            if (d.kind() != UpdateKind::Delete && rowNumberOf(d) == 0)
                ++needed;

        for (int attempt = 1;; ++attempt) {
            if (useOwnTransaction) {
                own.emplace(m_connection);
                own->Start();
                m_transaction = &*own;
            }
            ReadStructure(nullptr, name, m_params, year, month);
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
                if (useOwnTransaction && attempt < ReservationAttempts && isUpdateConflict(e.message())) {
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
        m_statements->valueFields.clear();
        for (const auto &f : dataSet.fields())
            if (!f->isCalculated() && !m_params.IsRegistryField(f->fieldName()))
                m_statements->valueFields.append({f->index(), valueColumnOf(f->dataType())});

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
    m_statements.reset();
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
    if (kind == UpdateKind::Modify || kind == UpdateKind::Delete) {
        if (kind == UpdateKind::Delete && delta.hasField(FieldAfi) && m_params.Anagrafica) {
            // Not a row another table shares (see SqlDeleteRegistry).
            SqlQuery &q = m_statements->deleteRegistry;
            const Value afi = delta.value(FieldAfi);
            if (afi.isEmpty())
                q.setNull(QStringLiteral("IAFIID"), FieldType::Integer);
            else
                q.bind(QStringLiteral("IAFIID"), afi.toInt());
            q.execSQL();
        }
        SqlQuery &q = m_statements->deleteValues;
        q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
        q.bind(QStringLiteral("IFISRIGO"), row);
        q.execSQL();
    }
    if (kind == UpdateKind::Modify || kind == UpdateKind::Insert) {
        if (row == 0) {
            ZEP_ASSERT(m_nextRow > 0 && m_nextRow <= m_lastRow,
                       QStringLiteral("TTovDBCds: numeri di riga riservati esauriti"));
            row = m_nextRow++;
        }
        WriteRecord(delta, row);
    }
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

void TTovDBCds::WriteRecord(DeltaRecord &delta, int rowNumber)
{
    const int header = PeriodHeader();
    int registryId = 0;
    const bool hasRegistry = delta.hasField(FieldAfi);
    if (hasRegistry) {
        const Value afi = delta.value(FieldAfi);
        registryId = afi.isEmpty() ? 0 : afi.toInt();
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
            if (registryId == 0) {
                registryId = int(GenerateID(RegistryTable, m_connection));
                SqlQuery &q = m_statements->insertRegistry;
                q.bind(QStringLiteral("IAFIID"), registryId);
                q.bind(QStringLiteral("ICRFID"), header);
                q.execSQL();
            }
        }
        if (shared) {
            SqlQuery &q = m_statements->shareRegistry;
            q.bind(QStringLiteral("IAFIID"), registryId);
            q.execSQL();
        }
        delta.setNewValue(FieldAfi, registryId);
        UpdateRegistry(delta, registryId);
    }
    WriteValues(delta, rowNumber, hasRegistry ? registryId : 0, header);
}

int TTovDBCds::FindRegistry(const QString &fiscalCode, const QString &groupKey)
{
    SqlQuery &q = m_statements->findRegistry;
    q.bind(QStringLiteral("ICRFANNO"), m_saveYear);
    q.bind(QStringLiteral("ICRFMESE"), m_saveMonth);
    q.bind(QStringLiteral("SCRFPROGRAMMA"), m_program.toLower());
    q.bind(QStringLiteral("SAFICODFISCALE"), fiscalCode.toLower());
    // An empty group key matches any group; it must reach the statement as
    // empty text, not as null (the driver binds a null string as null).
    q.bind(QStringLiteral("SAFIGRUPPOANA"), groupKey.isNull() ? QStringLiteral("") : groupKey);
    q.open();
    const int id = q.eof() ? 0 : q.value(0).toInt();
    q.close();
    return id;
}

void TTovDBCds::UpdateRegistry(DeltaRecord &delta, int registryId)
{
    if (m_params.Entries.isEmpty() || m_params.FMapReadOnly)
        return;
    struct Item {
        QString column;
        FieldType type;
        Value value;
    };
    QList<Item> items;
    QStringList set;
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
        // Column names come only from the registry's own columns (checked
        // when the field map was read), never from elsewhere.
        set << platform::format(SqlUpdateRegistryItem, e.column);
        items << item;
    }
    if (set.isEmpty())
        return;
    SqlQuery &q = m_statements->updateRegistry(platform::format(SqlUpdateRegistry, set.join(QLatin1Char(','))));
    for (const Item &item : std::as_const(items)) {
        if (item.value.isEmpty())
            q.setNull(item.column, item.type);
        else
            q.bind(item.column, item.value);
    }
    q.bind(QStringLiteral("IAFIID"), registryId);
    q.execSQL();
}

void TTovDBCds::WriteValues(DeltaRecord &delta, int rowNumber, int registryId, int headerId)
{
    delta.setNewValue(FieldRigo, rowNumber);
    const DataSet &ds = delta.dataSet();
    const bool hasRegistry = delta.hasField(FieldAfi);

    const auto insert = [&](ValueColumn column, const QString &fieldName, const Value &value) {
        SqlQuery &q = m_statements->insertValue[column];
        q.bind(QStringLiteral("ICDSID"), m_params.CdsId);
        q.bind(QStringLiteral("ICRFID"), headerId);
        if (hasRegistry)
            q.bind(QStringLiteral("IAFIID"), registryId);
        else
            q.setNull(QStringLiteral("IAFIID"), FieldType::Integer);
        q.bind(QStringLiteral("IFISRIGO"), rowNumber);
        q.bind(QStringLiteral("SFISFIELDNAME"), fieldName);
        q.bind(ColumnLetters[column].toUpper() + QStringLiteral("FISVALUE"), value);
        q.execSQL();
    };

    int written = 0;
    for (const auto &[index, column] : std::as_const(m_statements->valueFields)) {
        const Field &f = *ds.field(index);
        const FieldType type = f.dataType();
        const Value v = recordValue(delta, f);
        Value value; // stays unassigned: no row
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
        if (value.isEmpty())
            continue;
        insert(column, f.fieldName(), value);
        ++written;
    }

    // A record whose only values sit in the registry keeps one row that the
    // load ignores (its row number), or it would not load again.
    if (written == 0 && hasRegistry) {
        bool registryValue = false;
        for (const TCdsFieldMapEntry &e : std::as_const(m_params.Entries)) {
            if (e.isComposite()) {
                registryValue = !CompositeValue(delta, e).isEmpty();
            } else if (const Field *f = ds.findField(e.value); f && !f->isCalculated()) {
                const Value v = delta.value(f->index());
                registryValue = !v.isEmpty() && !v.toString().isEmpty();
            }
            if (registryValue)
                break;
        }
        if (registryValue)
            insert(ColumnI, FieldRigo, rowNumber);
    }
}
