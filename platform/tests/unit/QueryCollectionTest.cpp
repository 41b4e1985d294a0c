// Query results in the in-memory dataset, the editable query collection
// applying its change log, and the enumeration loader, on real embedded
// Firebird databases.
#include "DataSet.h"
#include "Enumeration.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TestPrinters.h"
#include "UqQueryCollection.h"
#include "UqTransaction.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class CollectionDb : public ::testing::Test {
protected:
    TempDatabase tdb{{"CREATE TABLE TSED_SEDI (ISEDID INTEGER NOT NULL PRIMARY KEY, IDWGID INTEGER NOT NULL, "
                      "SSEDDESC VARCHAR(40), FSEDIMPORTO NUMERIC(18,4), DSEDDAL DATE)",
                      "CREATE SEQUENCE GEN_TSED_SEDI", "ALTER SEQUENCE GEN_TSED_SEDI RESTART WITH 100",
                      "INSERT INTO TSED_SEDI VALUES (1, 7, 'Roma', 10.5, '2024-01-01')",
                      "INSERT INTO TSED_SEDI VALUES (2, 7, 'Milano', NULL, NULL)",
                      "INSERT INTO TSED_SEDI VALUES (3, 8, 'Torino', 0.01, '2023-12-31')"}};
    Database &db = tdb.db();

    void setUpCollection(TUqQueryCollection &xqc)
    {
        xqc.SetSelectSQL("SELECT * FROM TSED_SEDI WHERE IDWGID = :IDWGID ORDER BY ISEDID");
        xqc.InsertSQL << "INSERT INTO TSED_SEDI (ISEDID, IDWGID, SSEDDESC, FSEDIMPORTO, DSEDDAL) "
                         "VALUES (:ISEDID, :IDWGID, :SSEDDESC, :FSEDIMPORTO, :DSEDDAL)";
        xqc.UpdateSQL << "UPDATE TSED_SEDI SET ISEDID = :ISEDID, SSEDDESC = :SSEDDESC, FSEDIMPORTO = :FSEDIMPORTO, "
                         "DSEDDAL = :DSEDDAL WHERE ISEDID = :OLD_ISEDID";
        xqc.DeleteSQL << "DELETE FROM TSED_SEDI WHERE ISEDID = :OLD_ISEDID";
        xqc.params().paramByName("IDWGID").setValue(7);
    }

    QStringList descriptions()
    {
        SqlQuery q(db);
        q.setSql("SELECT ISEDID, SSEDDESC, FSEDIMPORTO FROM TSED_SEDI ORDER BY ISEDID");
        QStringList out;
        for (q.open(); !q.eof(); q.next())
            out << QString("%1 %2 %3")
                       .arg(q.value(0).toInt())
                       .arg(q.value(1).toString())
                       .arg(q.value(2).isNull() ? QString("-") : q.value(2).toCurrency().toString());
        return out;
    }
};

} // namespace

TEST_F(CollectionDb, AQueryResultIsReadIntoTheDatasetWithTypedFields)
{
    DataSet ds;
    SqlQuery q(db);
    q.setSql("SELECT ISEDID, SSEDDESC, FSEDIMPORTO, DSEDDAL FROM TSED_SEDI ORDER BY ISEDID");
    q.open();
    q.fetchInto(ds);
    EXPECT_FALSE(q.isActive());
    ASSERT_TRUE(ds.isActive());
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.fieldByName("sseddesc").dataType(), FieldType::String);
    EXPECT_EQ(ds.fieldByName("sseddesc").size(), 40);
    EXPECT_EQ(ds.fieldByName("FSEDIMPORTO").dataType(), FieldType::Currency);
    EXPECT_EQ(ds.fieldByName("DSEDDAL").dataType(), FieldType::Date);
    ds.first();
    EXPECT_EQ(ds.fieldByName("FSEDIMPORTO").asCurrency(), Currency::fromString("10.5"));
    ds.next();
    EXPECT_TRUE(ds.fieldByName("FSEDIMPORTO").isNull());
    EXPECT_EQ(ds.changeCount(), 0) << "loaded rows are not pending changes";

    // The dataset's own command text and parameters.
    DataSet byCommand;
    byCommand.setCommandText("SELECT SSEDDESC FROM TSED_SEDI WHERE IDWGID = :IDWGID");
    byCommand.params() = Params::fromCommandText(byCommand.commandText());
    byCommand.params().paramByName("IDWGID").setValue(8);
    SqlQuery::openDataSet(db, byCommand);
    ASSERT_EQ(byCommand.recordCount(), 1);
    EXPECT_EQ(byCommand.fieldValue("SSEDDESC").toString(), "Torino");
}

TEST_F(CollectionDb, ChangesAreAppliedThroughTheStatementListsWithOldValuesForKeys)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.Open();
    ASSERT_EQ(xqc.recordCount(), 2);

    // Modify, including the key (found again through OLD_ISEDID).
    xqc.first();
    xqc.edit();
    xqc.fieldByName("ISEDID").setAsInteger(10);
    xqc.fieldByName("SSEDDESC").setAsString("Roma centro");
    xqc.post();
    // Delete.
    xqc.next();
    xqc.deleteRecord();
    // Insert.
    xqc.append();
    xqc.fieldByName("ISEDID").setAsInteger(20);
    xqc.fieldByName("IDWGID").setAsInteger(7);
    xqc.fieldByName("SSEDDESC").setAsString("Napoli");
    xqc.fieldByName("FSEDIMPORTO").setAsCurrency(Currency::fromString("1234.5678"));
    xqc.post();

    bool afterExec = false;
    xqc.AfterExec = [&](TUqQueryCollection &) { afterExec = true; };
    EXPECT_EQ(xqc.ApplyUpdates(), 0);
    EXPECT_TRUE(afterExec);
    EXPECT_EQ(xqc.changeCount(), 0);
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(descriptions(), (QStringList{"3 Torino 0.01", "10 Roma centro 10.5", "20 Napoli 1234.5678"}));
}

TEST_F(CollectionDb, ABeforeUpdateHookGivesNewIdsThatReachTheRecords)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.TableName = "TSED_SEDI";
    xqc.Open();
    xqc.BeforeUpdateRecord = [&](DeltaRecord &record, UpdateKind kind, bool &) {
        if (kind == UpdateKind::Insert)
            record.setNewValue("ISEDID", xqc.NewId());
    };
    for (const char *name : {"Bari", "Lecce"}) {
        xqc.append();
        xqc.fieldByName("IDWGID").setAsInteger(7);
        xqc.fieldByName("SSEDDESC").setAsString(name);
        xqc.post();
    }
    ASSERT_EQ(xqc.ApplyUpdates(), 0);
    xqc.last();
    const int lecce = xqc.fieldByName("ISEDID").asInteger();
    xqc.prior();
    const int bari = xqc.fieldByName("ISEDID").asInteger();
    EXPECT_GT(bari, 0);
    EXPECT_EQ(lecce, bari + 1);
    EXPECT_TRUE(descriptions().contains(QString("%1 Lecce -").arg(lecce)));
}

TEST_F(CollectionDb, ARecordWrittenByTheHookSkipsTheStatements)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.UpdateSQL = QStringList{"UPDATE NO_SUCH_TABLE SET X = 1"}; // never run
    xqc.Open();
    xqc.BeforeUpdateRecord = [&](DeltaRecord &record, UpdateKind kind, bool &applied) {
        if (kind != UpdateKind::Modify)
            return;
        xqc.ExecuteFor("UPDATE TSED_SEDI SET SSEDDESC = UPPER(:SSEDDESC) WHERE ISEDID = :ISEDID", record);
        applied = true;
    };
    xqc.first();
    xqc.edit();
    xqc.fieldByName("SSEDDESC").setAsString("Roma nord");
    xqc.post();
    EXPECT_EQ(xqc.ApplyUpdates(), 0);
    EXPECT_TRUE(descriptions().contains("1 ROMA NORD 10.5"));
}

TEST_F(CollectionDb, ARefusedChangeRollsBackTheOthersAndKeepsEveryPendingChange)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.Open();
    xqc.first();
    xqc.edit();
    xqc.fieldByName("SSEDDESC").setAsString("cambiata");
    xqc.post();
    xqc.append();
    xqc.fieldByName("ISEDID").setAsInteger(3); // the key of Torino: refused
    xqc.fieldByName("IDWGID").setAsInteger(7);
    xqc.post();
    const QStringList before = descriptions();

    EXPECT_THROW(xqc.ApplyUpdates(), EDatabaseError);
    EXPECT_EQ(descriptions(), before) << "the modification applied first is rolled back";
    EXPECT_EQ(xqc.changeCount(), 2);
    EXPECT_FALSE(db.inTransaction());

    QString message;
    UpdateKind failedKind = UpdateKind::Modify;
    int failedKey = 0;
    xqc.OnReconcileError = [&](const DeltaRecord &record, UpdateKind kind, const QString &text) {
        message = text;
        failedKind = kind;
        failedKey = record.value("ISEDID").toInt();
    };
    EXPECT_EQ(xqc.ApplyUpdates(), 1);
    EXPECT_EQ(failedKind, UpdateKind::Insert);
    EXPECT_EQ(failedKey, 3);
    EXPECT_TRUE(message.contains("PRIMARY", Qt::CaseInsensitive)) << message.toStdString();
    EXPECT_EQ(xqc.changeCount(), 2);
    EXPECT_EQ(descriptions(), before);

    // Corrected, the same changes go through.
    xqc.last();
    xqc.edit();
    xqc.fieldByName("ISEDID").setAsInteger(30);
    xqc.post();
    EXPECT_EQ(xqc.ApplyUpdates(), 0);
    EXPECT_EQ(descriptions().size(), 4);
}

TEST_F(CollectionDb, InTheCallersTransactionTheCallerDecides)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.Open();
    xqc.first();
    xqc.deleteRecord();
    TUqTransaction person(&db);
    person.Start();
    EXPECT_EQ(xqc.ApplyUpdates(), 0);
    EXPECT_TRUE(db.inTransaction());
    EXPECT_EQ(xqc.changeCount(), 0);
    person.Rollback();
    EXPECT_TRUE(descriptions().contains("1 Roma 10.5")) << "the caller's rollback undid the delete";
}

TEST_F(CollectionDb, AStatementParameterWithoutFieldOrValueIsRefused)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.DeleteSQL = QStringList{"DELETE FROM TSED_SEDI WHERE ISEDID = :OLD_ISEDID AND IDWGID = :NOPE"};
    xqc.Open();
    xqc.first();
    xqc.deleteRecord();
    try {
        xqc.ApplyUpdates();
        FAIL() << "must raise";
    } catch (const EDatabaseError &e) {
        EXPECT_TRUE(e.message().contains("NOPE")) << e.what();
    }
    EXPECT_EQ(descriptions().size(), 3);
}

TEST_F(CollectionDb, ParametersKeepTheirValuesAcrossAChangedSelectAndRequeryKeepsThePlace)
{
    TUqQueryCollection xqc(&db);
    setUpCollection(xqc);
    xqc.SetSelectSQL(
        "SELECT ISEDID, SSEDDESC FROM TSED_SEDI WHERE IDWGID = :IDWGID AND ISEDID > :MINIMO ORDER BY ISEDID");
    EXPECT_EQ(xqc.params().paramByName("IDWGID").value(), Value(7));
    xqc.params().paramByName("MINIMO").setValue(0);
    int opened = 0;
    xqc.events().afterOpen = [&](DataSet &) { ++opened; };
    xqc.Open();
    EXPECT_EQ(opened, 1);
    xqc.last();
    db.execute("UPDATE TSED_SEDI SET SSEDDESC = 'Milano 2' WHERE ISEDID = 2");
    xqc.Requery();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(xqc.recNo(), 2);
    EXPECT_EQ(xqc.fieldValue("SSEDDESC").toString(), "Milano 2");
}

TEST_F(CollectionDb, TheEnumerationLoaderFillsTextAndIdPairs)
{
    Params params = Params::fromCommandText(":IDWGID");
    params.paramByName("IDWGID").setValue(7);
    const EnumItems items =
        loadEnumeration(db, "SELECT SSEDDESC, ISEDID FROM TSED_SEDI WHERE IDWGID = :IDWGID ORDER BY SSEDDESC", params);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items.at(0), (EnumItem{"Milano", 2}));
    EXPECT_EQ(items.at(1), (EnumItem{"Roma", 1}));

    EXPECT_THROW(loadEnumeration(db, "SELECT SSEDDESC FROM TSED_SEDI"), EDatabaseError);
}
