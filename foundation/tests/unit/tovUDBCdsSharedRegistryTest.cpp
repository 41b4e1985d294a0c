// The declaration-table store when several tables of a period hold the same
// person, and a failing save that keeps its pending changes for a retry.
#include "tovUDBCdsTestSupport.h"

#include "Exceptions.h"

using namespace storetest;

namespace {

const QString Proprie = QStringLiteral("TTST_PROPRIE");     // owns its registry rows
const QString Condivise = QStringLiteral("TTST_CONDIVISE"); // reuses the rows of the period
const QString Sezioni = QStringLiteral("TTST_SEZIONI");     // names a person by its registry id only

} // namespace

class StoreSharedRegistryTest : public StoreTest {
protected:
    StoreSharedRegistryTest()
    {
        install({makeLayout(Proprie, personFields(), 0, 0, PersonMap, true),
                 makeLayout(Condivise, personFields(), 0, 0, PersonMap),
                 makeLayout(Sezioni, {{QStringLiteral("iFisRigo"), FieldType::Integer},
                                      {QStringLiteral("iAfiID"), FieldType::Integer},
                                      {QStringLiteral("Giorni"), FieldType::Integer}})});
    }
    Value registry(int id, const QString &column)
    {
        return scalar(QStringLiteral("SELECT %1 FROM TAFI_ANAFISCALE WHERE IAFIID = %2").arg(column).arg(id));
    }
};

TEST_F(StoreSharedRegistryTest, DeletingAnOwnersRecordKeepsTheRegistryRowAnotherTableStillUses)
{
    DataSet owner, other;
    store.Load(owner, Proprie);
    addPerson(owner, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    addPerson(owner, QStringLiteral("VERDI"), QStringLiteral("VRDGPP80A01H501U"));
    store.Save(owner, Proprie);
    store.Load(other, Condivise);
    addPerson(other, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.Save(other, Condivise);
    ASSERT_TRUE(locate(owner, "Cognome", QStringLiteral("ROSSI")));
    const int shared = owner.fieldValue("iAfiID").toInt();
    ASSERT_EQ(other.fieldValue("iAfiID").toInt(), shared) << "the second table reuses the person's row";
    ASSERT_TRUE(locate(owner, "Cognome", QStringLiteral("VERDI")));
    const int alone = owner.fieldValue("iAfiID").toInt();

    // Both of the owner's records go: the row nobody else uses with them.
    owner.first();
    owner.deleteRecord();
    owner.deleteRecord();
    store.Save(owner, Proprie);
    EXPECT_EQ(registry(shared, "SAFICOGNOME"), Value(QStringLiteral("ROSSI")));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TAFI_ANAFISCALE WHERE IAFIID = %1").arg(alone)), 0);

    // The other table still reads its person whole.
    DataSet back;
    store.Load(back, Condivise);
    ASSERT_EQ(back.recordCount(), 1);
    EXPECT_EQ(back.fieldValue("Cognome"), Value(QStringLiteral("ROSSI")));
    EXPECT_EQ(back.fieldValue("Nome"), Value(QStringLiteral("NROSSI")));
    EXPECT_EQ(back.fieldValue("CFLavoratore"), Value(QStringLiteral("RSSMRA80A01H501U")));
    EXPECT_EQ(back.fieldValue("iAfiID"), Value(shared));

    // A new record given another's registry id shares it too: deleting it
    // leaves the person of the other table.
    DataSet copy;
    store.Load(copy, Proprie);
    add(copy, {{QStringLiteral("iAfiID"), shared}, {QStringLiteral("Giorni"), 1}});
    store.Save(copy, Proprie);
    copy.deleteRecord();
    store.Save(copy, Proprie);
    EXPECT_EQ(registry(shared, "SAFICOGNOME"), Value(QStringLiteral("ROSSI")));
}

TEST_F(StoreSharedRegistryTest, ARecordWhoseOnlyValueIsThePersonItNamesLoadsAgain)
{
    DataSet owner;
    store.Load(owner, Proprie);
    addPerson(owner, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.Save(owner, Proprie);
    const int rossi = owner.fieldValue("iAfiID").toInt();

    DataSet sezioni;
    store.Load(sezioni, Sezioni);
    add(sezioni, {{QStringLiteral("iAfiID"), rossi}});
    add(sezioni, {{QStringLiteral("iAfiID"), rossi}, {QStringLiteral("Giorni"), 5}});
    store.Save(sezioni, Sezioni);
    // The second record loses its only value of its own.
    sezioni.last();
    sezioni.edit();
    sezioni.setFieldValue("Giorni", 0);
    sezioni.post();
    store.Save(sezioni, Sezioni);

    DataSet back;
    store.Load(back, Sezioni);
    EXPECT_EQ(column(back, "iAfiID"), (QList<Value>{rossi, rossi}));
    EXPECT_EQ(column(back, "iFisRigo"), (QList<Value>{1, 2}));
}

TEST_F(StoreSharedRegistryTest, AFailingSaveThatKeepsItsChangesWritesThemOnTheNextSave)
{
    DataSet ds;
    store.Load(ds, Proprie);
    addPerson(ds, QStringLiteral("ROSSI"), QStringLiteral("RSSMRA80A01H501U"));
    store.Save(ds, Proprie);
    addPerson(ds, QStringLiteral("BIANCHI"), QStringLiteral("BNCLGU80A01H501U"));
    ds.first();
    ds.edit();
    ds.setFieldValue("Giorni", 20);
    ds.post();
    tdb.db().execute(
        QStringLiteral("ALTER TABLE TFIS_DATIFISCALI ADD CONSTRAINT CK_TEST_NOGIORNI CHECK (IFISVALUE <> 20)"));

    EXPECT_THROW(store.Save(ds, Proprie, TCdsSaveFailure::KeepChanges), platform::EDatabaseError);
    EXPECT_FALSE(tdb.db().inTransaction());
    EXPECT_EQ(ds.changeCount(), 2) << "the insert and the modification stay pending";
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TAFI_ANAFISCALE"), 1) << "the new person's row went with the rollback";

    tdb.db().execute(QStringLiteral("ALTER TABLE TFIS_DATIFISCALI DROP CONSTRAINT CK_TEST_NOGIORNI"));
    store.Save(ds, Proprie, TCdsSaveFailure::KeepChanges);
    EXPECT_EQ(ds.changeCount(), 0);
    DataSet back;
    store.Load(back, Proprie);
    EXPECT_EQ(column(back, "Cognome"), (QList<Value>{QStringLiteral("ROSSI"), QStringLiteral("BIANCHI")}));
    ASSERT_TRUE(locate(back, "Cognome", QStringLiteral("ROSSI")));
    EXPECT_EQ(back.fieldValue("Giorni"), Value(20));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TAFI_ANAFISCALE"), 2);
}
