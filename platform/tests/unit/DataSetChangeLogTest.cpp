// The dataset's change log: old and new values, assigned fields, merge,
// cancel, the delta and its application; copying and loading datasets.
#include "DataSet.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

void makeTable(DataSet &ds)
{
    ds.setFieldDefs(
        {{"iFisRigo", FieldType::Integer}, {"Nome", FieldType::String, 20}, {"Importo", FieldType::Currency}});
    ds.createDataSet();
}

// Three stored records 1 A 10, 2 B 20, 3 C 30 with no pending change.
void makeStored(DataSet &ds)
{
    makeTable(ds);
    ds.appendRecord({Value(1), Value("A"), Value(Currency::fromInt(10))});
    ds.appendRecord({Value(2), Value("B"), Value(Currency::fromInt(20))});
    ds.appendRecord({Value(3), Value("C"), Value(Currency::fromInt(30))});
    ds.mergeChangeLog();
}

QString kindText(UpdateKind k)
{
    switch (k) {
    case UpdateKind::Insert: return "I";
    case UpdateKind::Modify: return "M";
    case UpdateKind::Delete: return "D";
    }
    return "?";
}

// "M:B>X" style summary of the delta: kind, old name, new name.
QStringList summary(const DataSet &ds)
{
    QStringList out;
    for (const DeltaRecord &d : ds.delta())
        out << kindText(d.kind()) + ":" + d.oldValue("Nome").toString() + ">"
                   + (d.isAssigned("Nome") ? d.newValue("Nome").toString() : QString("-"));
    return out;
}

QStringList names(DataSet &ds)
{
    QStringList out;
    ds.first();
    while (!ds.eof()) {
        out << ds.fieldByName("Nome").asString();
        ds.next();
    }
    return out;
}

} // namespace

TEST(DataSetChangeLog, ModifyKeepsOldValuesAndMarksOnlyChangedFields)
{
    DataSet ds;
    makeStored(ds);
    EXPECT_EQ(ds.changeCount(), 0);
    ds.setRecNo(2);
    ds.edit();
    ds.fieldByName("Nome").setAsString("X");
    ds.fieldByName("Importo").setAsCurrency(Currency::fromInt(20)); // same value
    ds.post();
    EXPECT_EQ(ds.changeCount(), 1);
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Modified);
    EXPECT_EQ(ds.fieldByName("Nome").oldValue(), Value("B"));
    EXPECT_EQ(ds.fieldByName("Nome").newValue(), Value("X"));
    EXPECT_TRUE(ds.fieldByName("Importo").newValue().isUnassigned());

    const QList<DeltaRecord> delta = ds.delta();
    ASSERT_EQ(delta.size(), 1);
    const DeltaRecord &d = delta[0];
    EXPECT_EQ(d.kind(), UpdateKind::Modify);
    EXPECT_EQ(d.oldValue("NOME"), Value("B"));
    EXPECT_EQ(d.newValue("nome"), Value("X"));
    EXPECT_TRUE(d.isAssigned("Nome"));
    EXPECT_FALSE(d.isAssigned("Importo"));
    EXPECT_FALSE(d.isAssigned("iFisRigo"));
    EXPECT_EQ(d.value("Importo"), Value(Currency::fromInt(20))); // new, else old
    EXPECT_EQ(d.value("iFisRigo"), Value(2));
    EXPECT_THROW(d.value("Assente"), EDataSetError);
}

TEST(DataSetChangeLog, EditingBackToTheStoredValuesLeavesNoChange)
{
    DataSet ds;
    makeStored(ds);
    ds.first();
    ds.edit();
    ds.fieldByName("Nome").setAsString("Z");
    ds.post();
    EXPECT_EQ(ds.changeCount(), 1);
    ds.edit();
    ds.fieldByName("Nome").setAsString("A");
    ds.post();
    EXPECT_EQ(ds.changeCount(), 0);
    ds.edit();
    ds.post(); // an edit that changes nothing
    EXPECT_EQ(ds.changeCount(), 0);
}

TEST(DataSetChangeLog, InsertedRecordStaysAnInsertWhenModified)
{
    DataSet ds;
    makeStored(ds);
    ds.append();
    ds.fieldByName("Nome").setAsString("N");
    ds.post();
    ds.edit();
    ds.fieldByName("Importo").setAsInteger(5);
    ds.post();
    const QList<DeltaRecord> delta = ds.delta();
    ASSERT_EQ(delta.size(), 1);
    EXPECT_EQ(delta[0].kind(), UpdateKind::Insert);
    EXPECT_EQ(delta[0].newValue("Nome"), Value("N"));
    EXPECT_EQ(delta[0].newValue("Importo"), Value(Currency::fromInt(5)));
    EXPECT_TRUE(delta[0].oldValue("Nome").isNull());
    EXPECT_FALSE(delta[0].isAssigned("iFisRigo"));
    EXPECT_TRUE(delta[0].value("iFisRigo").isEmpty());
}

TEST(DataSetChangeLog, DeletingAnInsertedRecordLeavesNothing)
{
    DataSet ds;
    makeStored(ds);
    ds.appendRecord({Value(0), Value("N")});
    EXPECT_EQ(ds.changeCount(), 1);
    ds.deleteRecord();
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_TRUE(ds.delta().isEmpty());
}

TEST(DataSetChangeLog, DeletingAModifiedRecordLogsTheStoredValues)
{
    DataSet ds;
    makeStored(ds);
    ds.first();
    ds.edit();
    ds.fieldByName("Nome").setAsString("Z");
    ds.post();
    ds.deleteRecord();
    const QList<DeltaRecord> delta = ds.delta();
    ASSERT_EQ(delta.size(), 1);
    EXPECT_EQ(delta[0].kind(), UpdateKind::Delete);
    EXPECT_EQ(delta[0].oldValue("Nome"), Value("A"));
    EXPECT_FALSE(delta[0].isAssigned("Nome"));
    EXPECT_EQ(delta[0].value("Nome"), Value("A"));
}

TEST(DataSetChangeLog, DeltaFollowsTheOrderOfTheFirstChange)
{
    DataSet ds;
    makeStored(ds);
    ds.setRecNo(3);
    ds.edit();
    ds.fieldByName("Nome").setAsString("C2");
    ds.post();                                // modify C
    ds.appendRecord({Value(0), Value("N1")}); // insert N1
    ds.setRecNo(1);
    ds.deleteRecord();                        // delete A
    ds.appendRecord({Value(0), Value("N2")}); // insert N2
    ds.locate("Nome", Value("C2"));
    ds.edit();
    ds.fieldByName("Nome").setAsString("C3");
    ds.post(); // C again: keeps its place
    ds.locate("Nome", Value("N1"));
    ds.deleteRecord(); // N1 vanishes
    ds.locate("Nome", Value("B"));
    ds.deleteRecord(); // delete B
    EXPECT_EQ(summary(ds), QStringList({"M:C>C3", "D:A>-", "I:>N2", "D:B>-"}));
    EXPECT_EQ(ds.changeCount(), 4);
}

TEST(DataSetChangeLog, MergeAcceptsEverything)
{
    DataSet ds;
    makeStored(ds);
    ds.first();
    ds.deleteRecord();
    ds.edit();
    ds.fieldByName("Nome").setAsString("B2");
    ds.post();
    ds.appendRecord({Value(4), Value("D")});
    ds.mergeChangeLog();
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(names(ds), QStringList({"B2", "C", "D"}));
    ds.cancelUpdates();
    EXPECT_EQ(names(ds), QStringList({"B2", "C", "D"}));
    ds.first();
    EXPECT_EQ(ds.fieldByName("Nome").oldValue(), Value("B2"));
}

TEST(DataSetChangeLog, CancelUpdatesRestoresTheStoredRecordsInPlace)
{
    DataSet ds;
    makeStored(ds);
    ds.setRecNo(2);
    ds.deleteRecord();
    ds.first();
    ds.edit();
    ds.fieldByName("Nome").setAsString("A2");
    ds.post();
    ds.insertRecord({Value(0), Value("N")});
    ds.last();
    ds.edit();
    ds.fieldByName("Nome").setAsString("pending");
    ds.cancelUpdates(); // the edit in progress is cancelled too
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(names(ds), QStringList({"A", "B", "C"}));
}

TEST(DataSetChangeLog, RevertRecordUndoesOneRecord)
{
    DataSet ds;
    makeStored(ds);
    ds.first();
    ds.edit();
    ds.fieldByName("Nome").setAsString("A2");
    ds.post();
    ds.next();
    ds.edit();
    ds.fieldByName("Nome").setAsString("B2");
    ds.post();
    ds.first();
    ds.revertRecord();
    EXPECT_EQ(names(ds), QStringList({"A", "B2", "C"}));
    EXPECT_EQ(ds.changeCount(), 1);
}

TEST(DataSetChangeLog, WithoutLoggingNothingIsPending)
{
    DataSet ds;
    makeTable(ds);
    ds.setLogChanges(false);
    ds.appendRecord({Value(1), Value("A")});
    ds.edit();
    ds.fieldByName("Nome").setAsString("B");
    ds.post();
    EXPECT_EQ(ds.changeCount(), 0);
    ds.deleteRecord();
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.recordCount(), 0);
}

TEST(DataSetApply, WritesBackGivenValuesAndMerges)
{
    DataSet ds;
    makeStored(ds);
    ds.setIndexFieldNames("iFisRigo");
    ds.appendRecord({Value::null(), Value("N1")});
    ds.appendRecord({Value::null(), Value("N2")});
    ds.locate("Nome", Value("B"));
    ds.deleteRecord();
    int counter = 3;
    QStringList seen;
    ds.applyUpdates([&](DeltaRecord &d) {
        seen << kindText(d.kind()) + d.value("Nome").toString();
        if (d.kind() == UpdateKind::Insert && d.value("iFisRigo").isNull())
            d.setNewValue("iFisRigo", Value(++counter));
    });
    EXPECT_EQ(seen, QStringList({"IN1", "IN2", "DB"}));
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(names(ds), QStringList({"A", "C", "N1", "N2"}));
    EXPECT_EQ(ds.lookup("Nome", {Value("N2")}, "iFisRigo"), Value(5));
}

TEST(DataSetApply, AFailureLeavesTheDatasetAsItWas)
{
    DataSet ds;
    makeStored(ds);
    ds.appendRecord({Value::null(), Value("N1")});
    ds.appendRecord({Value::null(), Value("N2")});
    int calls = 0;
    EXPECT_THROW(ds.applyUpdates([&](DeltaRecord &d) {
        ++calls;
        d.setNewValue("iFisRigo", Value(99));
        if (d.value("Nome") == Value("N2"))
            throw EDatabaseError("rifiutato");
    }),
                 EDatabaseError);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ds.changeCount(), 2);
    EXPECT_TRUE(ds.lookup("Nome", {Value("N1")}, "iFisRigo").isNull());
    EXPECT_EQ(summary(ds), QStringList({"I:>N1", "I:>N2"}));
}

TEST(DataSetApply, PendingEditIsPostedFirst)
{
    DataSet ds;
    makeStored(ds);
    ds.edit();
    ds.fieldByName("Nome").setAsString("A2");
    int calls = 0;
    ds.applyUpdates([&](DeltaRecord &d) {
        ++calls;
        EXPECT_EQ(d.newValue("Nome"), Value("A2"));
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
}

TEST(DataSetCopy, AssignDataCopiesStructureRecordsAndChangeLog)
{
    DataSet src;
    makeStored(src);
    src.fieldByName("Nome").setDisplayLabel("Cognome");
    src.first();
    src.deleteRecord();
    src.appendRecord({Value(4), Value("D")});

    DataSet dst;
    dst.setIndexFieldNames("nome");
    dst.setFilter("iFisRigo <> 3");
    dst.setFiltered(true);
    int opens = 0;
    dst.events().afterOpen = [&](DataSet &) { ++opens; };
    dst.assignData(src);
    EXPECT_TRUE(dst.isActive());
    EXPECT_EQ(opens, 0);
    EXPECT_EQ(dst.fieldByName("NOME").displayLabel(), QStringLiteral("Cognome"));
    EXPECT_EQ(names(dst), QStringList({"B", "D"}));
    EXPECT_EQ(dst.changeCount(), 2);
    EXPECT_EQ(summary(dst), summary(src));
    // Independent copies.
    dst.cancelUpdates();
    EXPECT_EQ(src.changeCount(), 2);
    EXPECT_EQ(dst.changeCount(), 0);
}

TEST(DataSetCopy, AssignDataRefusesAStructureThatBreaksTheOrder)
{
    DataSet src;
    makeStored(src);
    DataSet dst;
    dst.setFieldDefs({{"Other", FieldType::Integer}});
    dst.createDataSet();
    dst.appendRecord({Value(7)});
    dst.setIndexFieldNames("Other");
    EXPECT_THROW(dst.assignData(src), EDataSetError);
    EXPECT_EQ(dst.fieldCount(), 1);
    EXPECT_EQ(dst.fieldByName("Other").asInteger(), 7);
}

TEST(DataSetCopy, LoadRecordsIsAllOrNothing)
{
    DataSet ds;
    makeStored(ds);
    const FieldDefs defs{{"N", FieldType::Integer}, {"D", FieldType::Date}};
    EXPECT_THROW(ds.loadRecords(defs, {ValueList{Value(1), Value("01/02/2024")}, ValueList{Value("x")}}),
                 EConvertError);
    EXPECT_THROW(ds.loadRecords(defs, {ValueList{Value(1), Value::null(), Value(3)}}), EDataSetError);
    EXPECT_EQ(ds.fieldCount(), 3);
    EXPECT_EQ(ds.recordCount(), 3);
    ds.loadRecords(defs, {ValueList{Value(1), Value("01/02/2024")}, ValueList{Value(2)}});
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.fieldByName("D").asDate(), QDate(2024, 2, 1));
    EXPECT_EQ(ds.records(),
              QList<ValueList>({ValueList{Value(1), Value(QDate(2024, 2, 1))}, ValueList{Value(2), Value::null()}}));
}

TEST(DataSetCopy, LoadRecordsTakesTheRowsOverWithOrWithoutCalculatedFields)
{
    FieldDefs plain{{"N", FieldType::Integer}, {"S", FieldType::String, 3}};
    FieldDefs withCalc = plain;
    withCalc.insert(1, FieldDef{"Doppio", FieldType::Integer});
    withCalc[1].kind = FieldKind::Calculated;
    for (const FieldDefs &defs : {plain, withCalc}) {
        DataSet ds;
        ds.events().onCalcFields = [](DataSet &d) {
            if (d.findField("Doppio"))
                d.fieldByName("Doppio").setValue(d.fieldByName("N").asInteger() * 2);
        };
        QList<ValueList> rows{ValueList{Value(1), Value("abcd")}, ValueList{Value("2")}};
        ds.loadRecords(defs, std::move(rows));
        EXPECT_TRUE(rows.isEmpty() || rows.first().isEmpty()) << "the rows are taken over, not copied";
        EXPECT_EQ(ds.records(),
                  QList<ValueList>({ValueList{Value(1), Value("abc")}, ValueList{Value(2), Value::null()}}));
        ds.last();
        if (defs.size() == 3) {
            EXPECT_EQ(ds.fieldByName("Doppio").asInteger(), 4);
        }
    }
}

TEST(DataSetCopy, NextKeyThroughAnOrderedCopy)
{
    // The highest key is the last record in key order, nulls first.
    DataSet ds;
    makeTable(ds);
    for (int k : {3, 7, 5})
        ds.appendRecord({Value(k)});
    ds.appendRecord({Value::null(), Value("senza")});
    DataSet tmp;
    tmp.assignData(ds);
    tmp.setIndexFieldNames("iFisRigo");
    tmp.last();
    EXPECT_EQ(tmp.fieldByName("iFisRigo").asInteger() + 1, 8);
}

TEST(DataSetSavepoint, RestoreUndoesEveryChangeAndMergeSinceIt)
{
    // One pending change before the savepoint; after it an insert, an edit,
    // a delete and a merge (what a save does), then an edit left open.
    DataSet ds;
    makeStored(ds);
    ds.setIndexFieldNames("Nome");
    ds.first();
    ds.edit();
    ds.fieldByName("Nome").setValue(QString("A1"));
    ds.post();
    const Bookmark c = (ds.last(), ds.bookmark());
    const QStringList deltaBefore = summary(ds);
    const DataSet::Savepoint sp = ds.savepoint();

    ds.appendRecord({Value(4), Value("D")});
    ds.first();
    ds.deleteRecord();
    ds.gotoBookmark(c);
    ds.edit();
    ds.fieldByName("Importo").setValue(Currency::fromInt(99));
    ds.post();
    ds.mergeChangeLog();
    ds.first();
    ds.edit();
    ds.fieldByName("Nome").setValue(QString("Z"));

    ds.restore(sp);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(names(ds), QStringList({"A1", "B", "C"})) << "the dataset's order is kept";
    EXPECT_EQ(summary(ds), deltaBefore);
    ASSERT_TRUE(ds.bookmarkValid(c));
    ds.gotoBookmark(c);
    EXPECT_EQ(ds.fieldByName("Importo").asCurrency(), Currency::fromInt(30));

    // Usable again and again, and only on its own dataset.
    ds.appendRecord({Value(5), Value("E")});
    ds.restore(sp);
    EXPECT_EQ(ds.recordCount(), 3);
    DataSet other;
    makeStored(other);
    EXPECT_THROW(other.restore(sp), EDataSetError);
}
