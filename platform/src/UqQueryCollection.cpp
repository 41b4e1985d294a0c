#include "UqQueryCollection.h"

#include "SqlQuery.h"
#include "UqTransaction.h"

#include <optional>

using namespace platform;

TUqQueryCollection::TUqQueryCollection(Database *database, const QString &name) : DataSet(name), m_db(database) {}

Database &TUqQueryCollection::Connection() const
{
    return m_db ? *m_db : Database::requireGlobal();
}

void TUqQueryCollection::SetSelectSQL(const QString &sql)
{
    const Params old = params();
    setCommandText(sql);
    params().clear();
    for (const QString &name : SqlStatement::parse(sql).uniqueNames()) {
        if (const Param *p = old.findParam(name))
            params().add(name, p->dataType()) = *p;
        else
            params().addUntyped(name);
    }
}

qint64 TUqQueryCollection::NewId() const
{
    return GenerateID(TableName, &Connection());
}

void TUqQueryCollection::Open()
{
    close();
    if (events().beforeOpen)
        events().beforeOpen(*this);
    SqlQuery::openDataSet(Connection(), *this);
    if (events().afterOpen)
        events().afterOpen(*this);
}

void TUqQueryCollection::Requery()
{
    const int position = isActive() ? recNo() : 0;
    Open();
    if (position > 1 && !isEmpty())
        setRecNo(qMin(position, recordCount()));
}

void TUqQueryCollection::ExecuteFor(const QString &sql, const DeltaRecord &record) const
{
    SqlQuery q(Connection());
    q.setSql(sql);
    for (Param &p : q.params()) {
        const QString name = p.name();
        if (record.hasField(name)) {
            const Field *f = findField(name);
            p.setDataType(f->dataType());
            const Value v = record.kind() == UpdateKind::Delete ? record.oldValue(name) : record.value(name);
            p.setValue(v.isUnassigned() ? Value::null() : v);
        } else if (name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive) && record.hasField(name.mid(4))) {
            const Field *f = findField(name.mid(4));
            p.setDataType(f->dataType());
            const Value v = record.oldValue(name.mid(4));
            p.setValue(v.isUnassigned() ? Value::null() : v);
        } else if (const Param *own = params().findParam(name)) {
            p.setDataType(own->dataType());
            p.setValue(own->value());
        } else {
            throw EDatabaseError(QStringLiteral("Parametro '%1' senza campo o valore corrispondente").arg(name));
        }
    }
    q.execSQL();
}

int TUqQueryCollection::ApplyUpdates()
{
    checkBrowseMode();
    Database &db = Connection();
    TUqTransaction transaction(&db);
    transaction.StartOrJoin();

    // The commit runs with the last record, inside the dataset's apply, so
    // that a refused commit leaves the change log as it was.
    const int total = int(delta().size());
    int done = 0;
    std::optional<DeltaRecord> failed;
    try {
        if (total == 0 && transaction.InTransaction())
            transaction.Commit();
        applyUpdates([&](DeltaRecord &record) {
            failed = record;
            bool applied = false;
            if (BeforeUpdateRecord)
                BeforeUpdateRecord(record, record.kind(), applied);
            if (!applied) {
                const QStringList &statements = record.kind() == UpdateKind::Insert   ? InsertSQL
                                                : record.kind() == UpdateKind::Modify ? UpdateSQL
                                                                                      : DeleteSQL;
                for (const QString &sql : statements)
                    ExecuteFor(sql, record);
            }
            failed.reset();
            if (++done == total && transaction.InTransaction())
                transaction.Commit();
        });
    } catch (const platform::Exception &e) {
        if (transaction.InTransaction())
            transaction.Rollback();
        if (!OnReconcileError || !failed)
            throw;
        OnReconcileError(*failed, failed->kind(), e.message());
        return 1;
    }
    if (transaction.Joined())
        transaction.Commit(); // leaves the decision to the caller's transaction
    if (AfterExec)
        AfterExec(*this);
    return 0;
}
