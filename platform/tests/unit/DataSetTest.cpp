// The in-memory dataset: structure, cursor, edit states, search, order,
// filter, events and field conventions.
#include "DataSet.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// ID integer, NAME text(10), AMOUNT currency, DAY date.
void makePeople(DataSet &ds)
{
    ds.setFieldDefs({{"ID", FieldType::Integer},
                     {"NAME", FieldType::String, 10},
                     {"AMOUNT", FieldType::Currency},
                     {"DAY", FieldType::Date}});
    ds.createDataSet();
}

void addPerson(DataSet &ds, int id, const QString &name, const char *amount = "0")
{
    ds.appendRecord({Value(id), Value(name), Value(Currency::fromString(QString::fromLatin1(amount)))});
}

// The IDs of the visible records in cursor order.
QList<int> ids(DataSet &ds)
{
    QList<int> out;
    const Bookmark keep = ds.bookmark();
    ds.first();
    while (!ds.eof()) {
        out << ds.fieldByName("ID").asInteger();
        ds.next();
    }
    if (keep.isValid() && ds.bookmarkValid(keep))
        ds.gotoBookmark(keep);
    return out;
}

QList<int> listOf(std::initializer_list<int> v)
{
    return QList<int>(v);
}

} // namespace

// ---------------------------------------------------------------------------
// Structure and fields

TEST(DataSetStructure, FieldNamesAreFoundWithoutRegardToCase)
{
    DataSet ds;
    ds.setFieldDefs({{"Giorni", FieldType::Integer}});
    ds.createDataSet();
    ds.append();
    ds.fieldByName("GIORNI").setAsInteger(26);
    ds.post();
    EXPECT_EQ(ds.fieldByName("giorni").asInteger(), 26);
    EXPECT_EQ(ds.findField("Giorni"), ds.findField("GIORNI"));
    EXPECT_EQ(ds.findField("Mesi"), nullptr);
}

TEST(DataSetStructure, UnknownFieldRaisesWithItsName)
{
    DataSet ds;
    makePeople(ds);
    try {
        ds.fieldByName("MISSING");
        FAIL() << "no exception";
    } catch (const EDataSetError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Campo 'MISSING' non trovato"));
    }
}

TEST(DataSetStructure, DuplicateNamesInAnotherCaseAreRefused)
{
    DataSet ds;
    EXPECT_THROW(ds.setFieldDefs({{"Nome", FieldType::String}, {"NOME", FieldType::String}}), EDataSetError);
    EXPECT_TRUE(ds.fieldDefs().isEmpty());
}

TEST(DataSetStructure, DefinitionsCannotChangeWhileOpen)
{
    DataSet ds;
    makePeople(ds);
    EXPECT_THROW(ds.addFieldDef("X", FieldType::Integer), EDataSetError);
    EXPECT_EQ(ds.fieldCount(), 4);
}

TEST(DataSetStructure, CreateWithoutDefinitionsFails)
{
    DataSet ds;
    EXPECT_THROW(ds.createDataSet(), EDataSetError);
    EXPECT_FALSE(ds.isActive());
}

TEST(DataSetStructure, CloseKeepsRecordsAndOpenShowsThemAgain)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    addPerson(ds, 2, "B");
    ds.close();
    EXPECT_THROW(ds.recordCount(), EDataSetError);
    EXPECT_THROW(ds.fieldByName("ID").value(), EDataSetError);
    ds.open();
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 1);
}

// ---------------------------------------------------------------------------
// Field values and conventions

TEST(DataSetFields, NullReadsAsEmptyOrZeroThroughTheAccessors)
{
    DataSet ds;
    makePeople(ds);
    ds.append();
    EXPECT_TRUE(ds.fieldByName("ID").isNull());
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 0);
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QString());
    EXPECT_EQ(ds.fieldByName("AMOUNT").asCurrency(), Currency());
    EXPECT_FALSE(ds.fieldByName("DAY").asDate().isValid());
    EXPECT_TRUE(ds.fieldByName("ID").value().isNull());
}

TEST(DataSetFields, ValuesAreKeptInTheFieldType)
{
    DataSet ds;
    ds.setFieldDefs({{"I", FieldType::Integer},
                     {"S", FieldType::String, 5},
                     {"C", FieldType::Currency},
                     {"B", FieldType::BCD, 2},
                     {"D", FieldType::Date},
                     {"W", FieldType::Word},
                     {"L", FieldType::Boolean}});
    ds.createDataSet();
    ds.append();
    ds.fieldByName("I").setAsString("42");
    ds.fieldByName("S").setAsInteger(1234567);
    ds.fieldByName("C").setAsString("12,5");
    ds.fieldByName("B").setValue(Value(Currency::fromString("1.005")));
    ds.fieldByName("D").setAsString("31/01/2024");
    ds.fieldByName("L").setAsString("True");
    ds.post();
    EXPECT_EQ(ds.fieldByName("I").value().type(), ValueType::Integer);
    EXPECT_EQ(ds.fieldByName("I").asInteger(), 42);
    EXPECT_EQ(ds.fieldByName("S").asString(), QStringLiteral("12345")); // cut to its size
    EXPECT_EQ(ds.fieldByName("C").asCurrency(), Currency::fromString("12.5"));
    EXPECT_EQ(ds.fieldByName("B").asCurrency(), Currency::fromString("1.01")); // two decimals, half away
    EXPECT_EQ(ds.fieldByName("D").asDate(), QDate(2024, 1, 31));
    EXPECT_TRUE(ds.fieldByName("L").asBoolean());

    ds.edit();
    EXPECT_THROW(ds.fieldByName("W").setAsInteger(70000), EDataSetError);
    EXPECT_THROW(ds.fieldByName("I").setAsString("dodici"), EConvertError);
    EXPECT_EQ(ds.fieldByName("I").asInteger(), 42);
}

TEST(DataSetFields, EmptyTextIsNull)
{
    DataSet ds;
    makePeople(ds);
    ds.append();
    ds.fieldByName("NAME").setAsString("");
    ds.fieldByName("ID").setAsString("");
    EXPECT_TRUE(ds.fieldByName("NAME").isNull());
    EXPECT_TRUE(ds.fieldByName("ID").isNull());
}

TEST(DataSetFields, WritingNeedsEditOrInsertState)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    try {
        ds.fieldByName("NAME").setAsString("B");
        FAIL() << "no exception";
    } catch (const EDataSetError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Dataset non in modifica"));
    }
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("A"));
}

TEST(DataSetFields, ReadOnlyFieldAndDatasetRefuseChanges)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    ds.fieldByName("ID").setReadOnly(true);
    ds.edit();
    EXPECT_THROW(ds.fieldByName("ID").setAsInteger(2), EDataSetError);
    ds.cancel();
    ds.setReadOnly(true);
    EXPECT_FALSE(ds.canModify());
    EXPECT_THROW(ds.edit(), EDataSetError);
    EXPECT_THROW(ds.append(), EDataSetError);
    EXPECT_THROW(ds.deleteRecord(), EDataSetError);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.recordCount(), 1);
}

TEST(DataSetFields, RequiredFieldRefusesThePostAndKeepsTheInsert)
{
    DataSet ds;
    ds.setFieldDefs({{"ID", FieldType::Integer, 0, true}, {"NAME", FieldType::String, 10}});
    ds.createDataSet();
    ds.fieldByName("ID").setDisplayLabel("Codice");
    ds.append();
    ds.fieldByName("NAME").setAsString("x");
    try {
        ds.post();
        FAIL() << "no exception";
    } catch (const EDataSetError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Il campo 'Codice' deve avere un valore"));
    }
    EXPECT_EQ(ds.state(), DataSetState::Insert);
    EXPECT_EQ(ds.recordCount(), 0);
    ds.fieldByName("ID").setAsInteger(1);
    ds.post();
    EXPECT_EQ(ds.recordCount(), 1);
}

TEST(DataSetFields, DisplayAndEditTextFollowTheFormats)
{
    DataSet ds;
    ds.setFieldDefs({{"F", FieldType::Float}, {"C", FieldType::Currency}, {"I", FieldType::Integer}});
    ds.createDataSet();
    ds.appendRecord({Value(1234.5), Value(Currency::fromString("-1234567.891")), Value(0)});
    Field &c = ds.fieldByName("C");
    EXPECT_EQ(c.displayText(), QStringLiteral("-1234567,891"));
    c.setDisplayFormat("#,##0.00");
    c.setEditFormat("#.00");
    EXPECT_EQ(c.displayText(), QStringLiteral("-1.234.567,89"));
    EXPECT_EQ(c.editText(), QStringLiteral("-1234567,89"));
    EXPECT_EQ(ds.fieldByName("F").displayText(), QStringLiteral("1234,5"));
    Field &i = ds.fieldByName("I");
    i.setOnGetText([](const Field &f, bool) { return f.asInteger() == 0 ? QString() : f.asString(); });
    EXPECT_EQ(i.displayText(), QString());
    EXPECT_EQ(i.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

TEST(FormatNumber, PlatformPatterns)
{
    EXPECT_EQ(formatNumber("#,##0.00", Value(1234.5)), QStringLiteral("1.234,50"));
    EXPECT_EQ(formatNumber("#,##0.00", Value(0)), QStringLiteral("0,00"));
    EXPECT_EQ(formatNumber("#.00", Value(0.5)), QStringLiteral(",50"));
    EXPECT_EQ(formatNumber("#,##0.00", Value(Currency::fromString("0.445"))), QStringLiteral("0,45"));
    EXPECT_EQ(formatNumber("#,##0.00", Value(Currency::fromString("-0.445"))), QStringLiteral("-0,45"));
    EXPECT_EQ(formatNumber("#,##0.00", Value(Currency::fromString("-0.004"))), QStringLiteral("0,00"));
    EXPECT_EQ(formatNumber("0.0#", Value(2.5)), QStringLiteral("2,5"));
    EXPECT_EQ(formatNumber("000", Value(7)), QStringLiteral("007"));
    EXPECT_EQ(formatNumber("#,##0", Value(1234567)), QStringLiteral("1.234.567"));
    EXPECT_EQ(formatNumber("#,##0.00 'EUR'", Value(3)), QStringLiteral("3,00 EUR"));
    EXPECT_EQ(formatNumber("0.00;(0.00);zero", Value(-2)), QStringLiteral("(2,00)"));
    EXPECT_EQ(formatNumber("0.00;(0.00);'zero'", Value(0)), QStringLiteral("zero"));
    EXPECT_EQ(formatNumber("#,##0.00", Value::null()), QString());
}

// ---------------------------------------------------------------------------
// Cursor

TEST(DataSetCursor, WalkForwardAndBack)
{
    DataSet ds;
    makePeople(ds);
    EXPECT_TRUE(ds.bof());
    EXPECT_TRUE(ds.eof());
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_EQ(ds.recNo(), 0);
    for (int i = 1; i <= 3; ++i)
        addPerson(ds, i, "P");
    ds.first();
    EXPECT_TRUE(ds.bof());
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.recNo(), 1);
    ds.next();
    ds.next();
    EXPECT_EQ(ds.recNo(), 3);
    EXPECT_FALSE(ds.eof());
    ds.next();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recNo(), 3); // stays on the last
    ds.prior();
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.recNo(), 2);
    ds.last();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 3);
    EXPECT_EQ(ds.moveBy(-5), -2);
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.recNo(), 1);
    ds.setRecNo(2);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    EXPECT_THROW(ds.setRecNo(4), EDataSetError);
    EXPECT_EQ(ds.recordCount(), 3);
}

TEST(DataSetCursor, BookmarkReturnsToTheRecordAfterReordering)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "C");
    addPerson(ds, 2, "A");
    addPerson(ds, 3, "B");
    ds.setRecNo(1);
    const Bookmark b = ds.bookmark();
    ds.setIndexFieldNames("NAME");
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 1); // the order keeps the current record
    ds.first();
    ds.gotoBookmark(b);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 1);
    EXPECT_EQ(ds.recNo(), 3);
    ds.deleteRecord();
    EXPECT_FALSE(ds.bookmarkValid(b));
    EXPECT_THROW(ds.gotoBookmark(b), EDataSetError);
}

// ---------------------------------------------------------------------------
// State machine

TEST(DataSetStates, MovingTheCursorPostsTheEdit)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    addPerson(ds, 2, "B");
    ds.mergeChangeLog();
    ds.first();
    ds.edit();
    ds.fieldByName("NAME").setAsString("Z");
    EXPECT_TRUE(ds.isModified());
    ds.next();
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    ds.first();
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("Z"));
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Modified);
}

TEST(DataSetStates, LocateAndOrderChangesAlsoPost)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    ds.append();
    ds.fieldByName("ID").setAsInteger(2);
    ds.fieldByName("NAME").setAsString("N");
    EXPECT_FALSE(ds.locate("ID", Value(99))); // posts even when nothing is found
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.recordCount(), 2);
    ds.edit();
    ds.fieldByName("NAME").setAsString("M");
    ds.setIndexFieldNames("NAME");
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ids(ds), listOf({1, 2}));
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("M"));
}

TEST(DataSetStates, CancelRestoresTheValues)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A", "10");
    ds.mergeChangeLog();
    ds.edit();
    ds.fieldByName("NAME").setAsString("B");
    ds.fieldByName("AMOUNT").setAsCurrency(Currency::fromInt(99));
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("B"));
    ds.cancel();
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("A"));
    EXPECT_EQ(ds.fieldByName("AMOUNT").asCurrency(), Currency::fromInt(10));
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Unmodified);
    EXPECT_EQ(ds.changeCount(), 0);
}

TEST(DataSetStates, CancelledInsertLeavesNoRecordAndTheCursorInPlace)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    addPerson(ds, 2, "B");
    ds.first();
    ds.insert();
    EXPECT_EQ(ds.recNo(), -1);
    EXPECT_EQ(ds.updateStatus(), UpdateStatus::Inserted);
    ds.fieldByName("ID").setAsInteger(9);
    ds.cancel();
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 1);
}

TEST(DataSetStates, InsertGoesBeforeTheCurrentRecordAppendAtTheEnd)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    addPerson(ds, 2, "B");
    addPerson(ds, 3, "C");
    ds.setRecNo(2);
    ds.insert();
    ds.fieldByName("ID").setAsInteger(10);
    ds.post();
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 10);
    ds.first();
    ds.append();
    ds.fieldByName("ID").setAsInteger(20);
    ds.post();
    EXPECT_EQ(ds.recNo(), 5);
    EXPECT_EQ(ids(ds), listOf({1, 10, 2, 3, 20}));
    // Insert into an empty dataset, and at the first record.
    DataSet e;
    makePeople(e);
    e.insert();
    e.fieldByName("ID").setAsInteger(5);
    e.post();
    e.insertRecord({Value(4)});
    EXPECT_EQ(ids(e), listOf({4, 5}));
}

TEST(DataSetStates, EditOfAnEmptyDatasetInserts)
{
    DataSet ds;
    makePeople(ds);
    ds.edit();
    EXPECT_EQ(ds.state(), DataSetState::Insert);
}

TEST(DataSetStates, DeleteAtTheEndAndAtTheStart)
{
    DataSet ds;
    makePeople(ds);
    for (int i = 1; i <= 4; ++i)
        addPerson(ds, i, "P");
    ds.last();
    ds.deleteRecord();
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 3);
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.recordCount(), 3);
    ds.first();
    ds.deleteRecord();
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.recNo(), 1);
    // The usual loop deletes exactly the records it means to.
    ds.first();
    while (!ds.eof()) {
        if (ds.fieldByName("ID").asInteger() == 3)
            ds.deleteRecord();
        else
            ds.next();
    }
    EXPECT_EQ(ids(ds), listOf({2}));
    ds.deleteRecord();
    EXPECT_TRUE(ds.isEmpty());
    EXPECT_TRUE(ds.bof() && ds.eof());
    EXPECT_THROW(ds.deleteRecord(), EDataSetError);
}

TEST(DataSetStates, DeleteWhileInsertingCancelsTheInsert)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    ds.append();
    ds.deleteRecord();
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.recordCount(), 1);
}

TEST(DataSetStates, EmptyDataSetDropsEverything)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    ds.setIndexFieldNames("NAME");
    ds.emptyDataSet();
    EXPECT_EQ(ds.recordCount(), 0);
    EXPECT_EQ(ds.changeCount(), 0);
    EXPECT_EQ(ds.indexFieldNames(), QStringLiteral("NAME"));
    addPerson(ds, 2, "B");
    EXPECT_EQ(ds.recordCount(), 1);
}

// ---------------------------------------------------------------------------
// Locate and lookup

class DataSetLocate : public ::testing::Test {
protected:
    void SetUp() override
    {
        makePeople(ds);
        addPerson(ds, 1, "Rossi");
        addPerson(ds, 2, "ROSSINI");
        addPerson(ds, 3, "Bianchi");
        addPerson(ds, 4, "rossi");
        ds.last();
    }
    DataSet ds;
};

TEST_F(DataSetLocate, ExactCaseSensitiveByDefault)
{
    ASSERT_TRUE(ds.locate("NAME", Value("rossi")));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 4);
    ASSERT_TRUE(ds.locate("NAME", Value("Rossi")));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 1);
    EXPECT_FALSE(ds.locate("NAME", Value("Ross")));
}

TEST_F(DataSetLocate, CaseInsensitiveFindsTheFirstInOrder)
{
    ASSERT_TRUE(ds.locate("name", Value("ROSSI"), LocateOption::CaseInsensitive));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 1);
}

TEST_F(DataSetLocate, PartialKeyIsAPrefix)
{
    ASSERT_TRUE(ds.locate("NAME", Value("ROSS"), LocateOption::PartialKey));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    ASSERT_TRUE(ds.locate("NAME", Value("bia"), LocateOption::PartialKey | LocateOption::CaseInsensitive));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 3);
    EXPECT_FALSE(ds.locate("NAME", Value("bia"), LocateOption::PartialKey));
}

TEST_F(DataSetLocate, NotFoundLeavesTheCursor)
{
    ds.setRecNo(3);
    EXPECT_FALSE(ds.locate("NAME", Value("Verdi")));
    EXPECT_EQ(ds.recNo(), 3);
    EXPECT_FALSE(ds.locate("ID", Value("abc"))); // does not convert: no match, no error
    EXPECT_EQ(ds.recNo(), 3);
}

TEST_F(DataSetLocate, SeveralFieldsWithConvertedKeys)
{
    ASSERT_TRUE(ds.locate("NAME;ID", {Value("rossi"), Value("4")}));
    EXPECT_EQ(ds.recNo(), 4);
    EXPECT_FALSE(ds.locate("NAME;ID", {Value("rossi"), Value(1)}));
    ASSERT_TRUE(ds.locate("NAME;ID", {Value("rossi"), Value(1)}, LocateOption::CaseInsensitive));
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_THROW(ds.locate("NAME;ID", {Value("rossi")}), EDataSetError);
    EXPECT_THROW(ds.locate("NAME;NOPE", {Value("rossi"), Value(1)}), EDataSetError);
}

// A large dataset answers "no such text" from an index of its texts: after
// every kind of change a search agrees with reading the records one by one.
TEST(DataSetLocateLarge, SearchesAgreeWithTheRecordsAfterEveryChange)
{
    DataSet ds;
    makePeople(ds);
    for (int i = 0; i < 100; ++i)
        addPerson(ds, i, QStringLiteral("P%1").arg(i));
    ds.mergeChangeLog();
    const auto agrees = [&ds](const char *step) {
        QSet<QString> held;
        for (ds.first(); !ds.eof(); ds.next())
            held.insert(ds.fieldByName("NAME").asString());
        for (const QString name : {"P5", "P50", "P99", "NEW", "RENAMED", "WRITTEN", "X"})
            EXPECT_EQ(ds.locate("NAME", Value(name)), held.contains(name)) << step << " " << name.toStdString();
    };
    agrees("loaded");
    const DataSet::Savepoint before = ds.savepoint();
    addPerson(ds, 100, "NEW");
    agrees("inserted");
    ASSERT_TRUE(ds.locate("NAME", Value("P50")));
    ds.edit();
    ds.fieldByName("NAME").setAsString("RENAMED");
    ds.post();
    agrees("renamed");
    ds.cancelUpdates();
    agrees("changes cancelled");
    ASSERT_TRUE(ds.locate("NAME", Value("P99")));
    ds.edit();
    ds.fieldByName("NAME").setAsString("RENAMED");
    ds.post();
    ds.revertRecord();
    agrees("record reverted");
    ASSERT_TRUE(ds.locate("NAME", Value("P5")));
    ds.deleteRecord();
    agrees("deleted");
    ds.restore(before);
    agrees("restored");
    ASSERT_TRUE(ds.locate("NAME", Value("P50")));
    ds.edit();
    ds.fieldByName("AMOUNT").setAsCurrency(Currency::fromInt(1));
    ds.post();
    ds.applyUpdates([](DeltaRecord &d) { d.setNewValue("NAME", Value("WRITTEN")); });
    agrees("written back");
}

TEST_F(DataSetLocate, NullKeyMatchesNullField)
{
    ds.appendRecord({Value(5)});
    ds.first();
    ASSERT_TRUE(ds.locate("NAME", Value::null()));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 5);
}

TEST_F(DataSetLocate, FollowsOrderAndFilter)
{
    ds.setIndexFieldNames("ID");
    ds.setFilter("ID > 1");
    ds.setFiltered(true);
    ASSERT_TRUE(ds.locate("NAME", Value("rossi"), LocateOption::CaseInsensitive));
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 4); // record 1 is hidden
}

TEST_F(DataSetLocate, LookupDoesNotMoveTheCursor)
{
    ds.setRecNo(2);
    EXPECT_EQ(ds.lookup("ID", {Value(3)}, "NAME"), Value("Bianchi"));
    EXPECT_TRUE(ds.lookup("ID", {Value(30)}, "NAME").isNull());
    EXPECT_EQ(ds.lookup("NAME;ID", {Value("rossi"), Value(4)}, "ID"), Value(4));
    EXPECT_EQ(ds.recNo(), 2);
}

// ---------------------------------------------------------------------------
// Order

TEST(DataSetOrder, TiesKeepTheNaturalOrderAndNullsComeFirst)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "b", "5");
    addPerson(ds, 2, "a", "5");
    addPerson(ds, 3, "B", "1");
    ds.appendRecord({Value(4), Value::null(), Value(Currency::fromInt(5))});
    addPerson(ds, 5, "a", "1");
    ds.setIndexFieldNames("NAME");
    // Text without regard to case first, then with: "B" < "b".
    EXPECT_EQ(ids(ds), listOf({4, 2, 5, 3, 1}));
    ds.setIndexFieldNames("AMOUNT;NAME");
    EXPECT_EQ(ids(ds), listOf({5, 3, 4, 2, 1}));
    ds.setIndexFieldNames("AMOUNT");
    EXPECT_EQ(ids(ds), listOf({3, 5, 1, 2, 4}));
    ds.setIndexFieldNames("");
    EXPECT_EQ(ids(ds), listOf({1, 2, 3, 4, 5}));
}

TEST(DataSetOrder, NumbersAndDatesSortByValue)
{
    DataSet ds;
    makePeople(ds);
    ds.appendRecord({Value(10), Value("x"), Value::null(), Value(QDate(2024, 2, 1))});
    ds.appendRecord({Value(9), Value("x"), Value::null(), Value(QDate(2023, 12, 31))});
    ds.appendRecord({Value(-3), Value("x"), Value::null(), Value(QDate(2024, 1, 15))});
    ds.setIndexFieldNames("ID");
    EXPECT_EQ(ids(ds), listOf({-3, 9, 10}));
    ds.setIndexFieldNames("DAY");
    EXPECT_EQ(ids(ds), listOf({9, -3, 10}));
}

TEST(DataSetOrder, PostedRecordsMoveToTheirPlace)
{
    DataSet ds;
    makePeople(ds);
    ds.setIndexFieldNames("ID");
    addPerson(ds, 5, "e");
    addPerson(ds, 1, "a");
    addPerson(ds, 3, "c");
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 3);
    EXPECT_EQ(ds.recNo(), 2);
    ds.first();
    ds.edit();
    ds.fieldByName("ID").setAsInteger(4);
    ds.post();
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 4); // still current, at its new place
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(ids(ds), listOf({3, 4, 5}));
    // A tie goes after the equal records already there.
    ds.appendRecord({Value(4), Value("z")});
    ds.locate("NAME", Value("a"));
    EXPECT_EQ(ds.recNo(), 2);
    EXPECT_EQ(ds.lookup("NAME", {Value("z")}, "ID"), Value(4));
    ds.setRecNo(3);
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("z"));
}

TEST(DataSetOrder, UnknownIndexFieldLeavesTheOrder)
{
    DataSet ds;
    makePeople(ds);
    ds.setIndexFieldNames("NAME");
    EXPECT_THROW(ds.setIndexFieldNames("NAME;NOPE"), EDataSetError);
    EXPECT_EQ(ds.indexFieldNames(), QStringLiteral("NAME"));
}

// ---------------------------------------------------------------------------
// Filter

class DataSetFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        makePeople(ds);
        ds.appendRecord({Value(1), Value("Rossi"), Value(Currency::fromInt(100)), Value(QDate(2024, 1, 10))});
        ds.appendRecord({Value(2), Value("Bianchi"), Value(Currency::fromString("50.5")), Value(QDate(2024, 2, 10))});
        ds.appendRecord({Value(3), Value("Verdi"), Value::null(), Value(QDate(2024, 3, 10))});
        ds.appendRecord({Value(4), Value("O'Brien"), Value(Currency::fromInt(7)), Value::null()});
    }
    QList<int> filtered(const QString &expr)
    {
        ds.setFilter(expr);
        ds.setFiltered(true);
        return ids(ds);
    }
    DataSet ds;
};

TEST_F(DataSetFilter, Comparisons)
{
    EXPECT_EQ(filtered("ID=2"), listOf({2}));
    EXPECT_EQ(filtered("ID <> 2"), listOf({1, 3, 4}));
    EXPECT_EQ(filtered("AMOUNT >= 50.5"), listOf({1, 2}));
    EXPECT_EQ(filtered("AMOUNT < 60"), listOf({2, 4})); // Null never compares
    EXPECT_EQ(filtered("NAME = 'O''Brien'"), listOf({4}));
    EXPECT_EQ(filtered("name='rossi'"), listOf({})); // text is case-sensitive
    EXPECT_EQ(filtered("DAY > '31/01/2024'"), listOf({2, 3}));
    EXPECT_EQ(filtered("ID = -1"), listOf({}));
}

TEST_F(DataSetFilter, LogicInAndNull)
{
    EXPECT_EQ(filtered("ID IN (1, 3, 9)"), listOf({1, 3}));
    EXPECT_EQ(filtered("ID NOT IN (1, 3)"), listOf({2, 4}));
    EXPECT_EQ(filtered("AMOUNT IS NULL"), listOf({3}));
    EXPECT_EQ(filtered("AMOUNT IS NOT NULL and ID>1"), listOf({2, 4}));
    EXPECT_EQ(filtered("(ID=1 OR ID=4) AND (NAME='Rossi')"), listOf({1}));
    EXPECT_EQ(filtered("NOT (ID=1 OR ID=4)"), listOf({2, 3}));
    EXPECT_EQ(filtered("ID=1 OR ID=2 AND NAME='Verdi'"), listOf({1})); // AND binds first
}

TEST_F(DataSetFilter, TextFieldComparedWithANumber)
{
    DataSet t;
    t.setFieldDefs({{"ID", FieldType::Integer}, {"MESE", FieldType::String, 2}});
    t.createDataSet();
    t.appendRecord({Value(1), Value("05")});
    t.appendRecord({Value(2), Value("12")});
    t.setFilter("MESE=05");
    t.setFiltered(true);
    EXPECT_EQ(ids(t), listOf({1}));
}

TEST_F(DataSetFilter, RecordCountCursorAndSwitchingOff)
{
    ds.last();
    ds.setFilter("ID>=2 AND ID<=3");
    EXPECT_EQ(ds.recordCount(), 4); // not active until filtered
    ds.setFiltered(true);
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    ds.next();
    ds.next();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 3);
    ds.setFiltered(false);
    EXPECT_EQ(ds.recordCount(), 4);
}

TEST_F(DataSetFilter, PostedRecordOutsideTheFilterDisappears)
{
    filtered("AMOUNT > 10");
    ds.first();
    ds.edit();
    ds.fieldByName("AMOUNT").setAsInteger(1);
    ds.post();
    EXPECT_EQ(ds.recordCount(), 1);
    EXPECT_EQ(ds.fieldByName("ID").asInteger(), 2);
    ds.append();
    ds.fieldByName("ID").setAsInteger(5);
    ds.fieldByName("AMOUNT").setAsInteger(500);
    ds.post();
    EXPECT_EQ(ids(ds), listOf({2, 5}));
}

TEST_F(DataSetFilter, RecordFilterCombinesWithTheExpression)
{
    ds.events().onFilterRecord = [](DataSet &d) { return d.fieldByName("NAME").asString().contains('i'); };
    EXPECT_EQ(filtered(""), listOf({1, 2, 3, 4}));
    ds.setFiltered(false);
    EXPECT_EQ(filtered("ID > 1"), listOf({2, 3, 4}));
    ds.events().onFilterRecord = [](DataSet &d) { return d.fieldByName("NAME").asString().endsWith('i'); };
    ds.refresh();
    EXPECT_EQ(ids(ds), listOf({2, 3}));
}

TEST_F(DataSetFilter, FaultyExpressionsAreRefusedAndNameTheText)
{
    for (const char *bad : {"ID =", "ID = 'x", "NOPE = 1", "ID = 1 AND", "(ID = 1", "ID ! 1", "ID IN 1"}) {
        try {
            ds.setFilter(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const EDataSetError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(bad))) << e.what();
        }
    }
    EXPECT_EQ(ds.filter(), QString());
}

TEST_F(DataSetFilter, ExpressionSetWhileClosedIsCheckedAtOpen)
{
    ds.close();
    ds.setFiltered(true);
    ds.setFilter("ID = 3");
    ds.open();
    EXPECT_EQ(ds.recordCount(), 1);
}

// ---------------------------------------------------------------------------
// Events

TEST(DataSetEvents, BeforePostAbortKeepsTheEdit)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    addPerson(ds, 2, "B");
    bool allow = false;
    int afterPost = 0;
    ds.events().beforePost = [&](DataSet &) {
        if (!allow)
            throw EAbort();
    };
    ds.events().afterPost = [&](DataSet &) { ++afterPost; };
    ds.first();
    ds.edit();
    ds.fieldByName("NAME").setAsString("X");
    EXPECT_THROW(ds.post(), EAbort);
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_THROW(ds.next(), EAbort); // the implicit post is refused too
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(ds.recNo(), 1);
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("X"));
    EXPECT_EQ(afterPost, 0);
    allow = true;
    ds.post();
    EXPECT_EQ(afterPost, 1);
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("X"));
}

TEST(DataSetEvents, BeforeEventsAbortTheirOperation)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "A");
    ds.events().beforeDelete = [](DataSet &) { throw EAbort(); };
    ds.events().beforeEdit = [](DataSet &) { throw EAbort(); };
    ds.events().beforeInsert = [](DataSet &) { throw EAbort(); };
    EXPECT_THROW(ds.deleteRecord(), EAbort);
    EXPECT_THROW(ds.edit(), EAbort);
    EXPECT_THROW(ds.append(), EAbort);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_EQ(ds.recordCount(), 1);
    ds.events().beforeClose = [](DataSet &) { throw EAbort(); };
    EXPECT_THROW(ds.close(), EAbort);
    EXPECT_TRUE(ds.isActive());
}

TEST(DataSetEvents, OrderOfTheEventsOfAnInsert)
{
    DataSet ds;
    makePeople(ds);
    QStringList log;
    auto rec = [&log](const char *name) { return [&log, name](DataSet &) { log << QString::fromLatin1(name); }; };
    ds.events().beforeInsert = rec("beforeInsert");
    ds.events().afterInsert = rec("afterInsert");
    ds.events().beforeScroll = rec("beforeScroll");
    ds.events().afterScroll = rec("afterScroll");
    ds.events().onNewRecord = rec("newRecord");
    ds.events().beforePost = rec("beforePost");
    ds.events().afterPost = rec("afterPost");
    ds.events().beforeCancel = rec("beforeCancel");
    ds.events().afterCancel = rec("afterCancel");
    ds.append();
    ds.post();
    EXPECT_EQ(log, QStringList({"beforeInsert", "beforeScroll", "newRecord", "afterInsert", "afterScroll", "beforePost",
                                "afterPost"}));
    log.clear();
    ds.next(); // nowhere to go: no event
    EXPECT_TRUE(log.isEmpty());
    ds.insert();
    ds.cancel();
    EXPECT_EQ(log, QStringList({"beforeInsert", "beforeScroll", "newRecord", "afterInsert", "afterScroll",
                                "beforeCancel", "afterCancel", "afterScroll"}));
}

TEST(DataSetEvents, NewRecordDefaultsAreAssigned)
{
    DataSet ds;
    makePeople(ds);
    ds.events().onNewRecord = [](DataSet &d) { d.fieldByName("NAME").setAsString("nuovo"); };
    ds.append();
    EXPECT_FALSE(ds.isModified());
    EXPECT_EQ(ds.fieldByName("NAME").asString(), QStringLiteral("nuovo"));
    ds.post();
    const QList<DeltaRecord> delta = ds.delta();
    ASSERT_EQ(delta.size(), 1);
    EXPECT_TRUE(delta[0].isAssigned("NAME"));
    EXPECT_FALSE(delta[0].isAssigned("ID"));
}

TEST(DataSetEvents, CalculatedFieldsFollowTheRecord)
{
    DataSet ds;
    ds.setFieldDefs({{"MIN", FieldType::Integer},
                     {"HOURS", FieldType::Float, 0, false, FieldKind::Calculated},
                     {"LABEL", FieldType::String, 20, false, FieldKind::Calculated}});
    int calls = 0;
    ds.events().onCalcFields = [&](DataSet &d) {
        ++calls;
        EXPECT_EQ(d.state(), DataSetState::CalcFields);
        d.fieldByName("HOURS").setAsFloat(d.fieldByName("MIN").asInteger() / 60.0);
        d.fieldByName("LABEL").setAsString(QStringLiteral("m%1").arg(d.fieldByName("MIN").asInteger()));
    };
    ds.createDataSet();
    ds.appendRecord({Value(90)});
    ds.appendRecord({Value(30)});
    EXPECT_GT(calls, 0);
    ds.first();
    EXPECT_DOUBLE_EQ(ds.fieldByName("HOURS").asFloat(), 1.5);
    ds.next();
    EXPECT_EQ(ds.fieldByName("LABEL").asString(), QStringLiteral("m30"));
    ds.edit();
    ds.fieldByName("MIN").setAsInteger(120);
    EXPECT_DOUBLE_EQ(ds.fieldByName("HOURS").asFloat(), 2.0); // while editing
    EXPECT_THROW(ds.fieldByName("HOURS").setAsFloat(1), EDataSetError);
    ds.cancel();
    EXPECT_DOUBLE_EQ(ds.fieldByName("HOURS").asFloat(), 0.5);
    // Calculated fields order records and take no part in the data.
    ds.setIndexFieldNames("HOURS");
    EXPECT_EQ(ds.fieldByName("MIN").asInteger(), 30);
    ds.first();
    EXPECT_EQ(ds.fieldByName("MIN").asInteger(), 30);
    EXPECT_EQ(ds.records(), QList<ValueList>({ValueList{Value(90)}, ValueList{Value(30)}}));
}

TEST(DataSetEvents, ControlsDisabledStopNotificationsButNotEvents)
{
    DataSet ds;
    makePeople(ds);
    for (int i = 1; i <= 3; ++i)
        addPerson(ds, i, "P");
    int moves = 0, resets = 0, scrolls = 0;
    ds.addObserver([&](const DataChange &c) {
        if (c.kind == DataChange::CursorMoved)
            ++moves;
        if (c.kind == DataChange::Reset)
            ++resets;
    });
    ds.events().afterScroll = [&](DataSet &) { ++scrolls; };
    ds.first();
    EXPECT_EQ(moves, 1);
    ds.disableControls();
    ds.disableControls();
    ds.next();
    ds.next();
    ds.enableControls();
    EXPECT_TRUE(ds.controlsDisabled());
    ds.prior();
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(scrolls, 4);
    ds.enableControls();
    EXPECT_FALSE(ds.controlsDisabled());
    EXPECT_EQ(resets, 1);
    EXPECT_THROW(ds.enableControls(), EAssertionFailed);
}

TEST(DataSetEvents, SavedAndRestoredAsAWhole)
{
    DataSet ds;
    makePeople(ds);
    int opens = 0;
    ds.events().afterOpen = [&](DataSet &) { ++opens; };
    const DataSetEvents saved = ds.events();
    ds.events() = DataSetEvents();
    ds.close();
    ds.open();
    EXPECT_EQ(opens, 0);
    ds.events() = saved;
    ds.close();
    ds.open();
    EXPECT_EQ(opens, 1);
}

// ---------------------------------------------------------------------------
// Parameters and the rest

TEST(DataSetParams, NamesFromACommandText)
{
    const QString sql = "SELECT * FROM T WHERE A = :IANFID AND B = ':NOT' AND C = :iMesId "
                        "AND D = :IANFID AND E::INTEGER = 1 AND F = \":NO\"";
    EXPECT_EQ(Params::parseNames(sql), QStringList({"IANFID", "iMesId"}));
    DataSet ds;
    ds.setCommandText(sql);
    ds.params() = Params::fromCommandText(ds.commandText());
    ds.params().paramByName("imesid").setValue(Value(3));
    EXPECT_EQ(ds.params().paramByName("IMESID").dataType(), FieldType::Integer);
    EXPECT_EQ(ds.params().paramByName("IMESID").asInteger(), 3);
    EXPECT_TRUE(ds.params().paramByName("IANFID").isNull());
    EXPECT_FALSE(ds.params().paramByName("IANFID").hasDataType());
    EXPECT_THROW(ds.params().paramByName("X"), EDataSetError);
    ds.setTag(1);
    EXPECT_EQ(ds.tag(), 1);
}

TEST(DataSetFields, AValidationThatRaisesKeepsTheValueTheFieldHad)
{
    DataSet ds;
    makePeople(ds);
    addPerson(ds, 1, "Anna", "10");
    Field &amount = ds.fieldByName("AMOUNT");
    int changes = 0;
    amount.setOnChange([&](Field &) { ++changes; });
    amount.setOnValidate([](const Field &, const Value &v) {
        if (v.toCurrency() < Currency())
            throw EDataSetError("negativo");
    });
    ds.edit();
    EXPECT_THROW(amount.setValue(Currency::fromInt(-1)), EDataSetError);
    EXPECT_EQ(amount.asCurrency(), Currency::fromInt(10));
    EXPECT_FALSE(ds.isModified());
    amount.setValue(Currency::fromInt(5));
    EXPECT_EQ(amount.asCurrency(), Currency::fromInt(5));
    EXPECT_EQ(changes, 1) << "a refused value is no change";
}

TEST(DataSetFields, ProviderFlagsTravelWithACopy)
{
    DataSet ds;
    makePeople(ds);
    EXPECT_EQ(ds.fieldByName("NAME").providerFlags(), ProviderFlags(ProviderFlag::InUpdate) | ProviderFlag::InWhere);
    ds.fieldByName("NAME").setProviderFlags(ProviderFlag::InKey);
    DataSet copy;
    copy.assignData(ds);
    EXPECT_EQ(copy.fieldByName("NAME").providerFlags(), ProviderFlags(ProviderFlag::InKey));
}
