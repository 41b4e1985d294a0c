#include "DataSetFileTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>

using namespace platform;
using namespace dsfile_test;

namespace {

class DataSetFileRoundTrip : public ::testing::TestWithParam<DataSetFileFormat> {};

std::string formatName(const ::testing::TestParamInfo<DataSetFileFormat> &info)
{
    return info.param == DataSetFileFormat::Binary ? "Binary" : "Xml";
}

// The dataset reads empty text as Null; the file keeps what the dataset has.
QList<ValueList> asTheDataSetHoldsThem(QList<ValueList> rows)
{
    for (ValueList &row : rows)
        for (Value &v : row)
            if (v.type() == ValueType::Text && v.toString().isEmpty())
                v = Value::null();
    return rows;
}

TEST_P(DataSetFileRoundTrip, EveryFieldTypeWithExtremesNullsAndNonAsciiText)
{
    DataSet source(QStringLiteral("origine"));
    fillEveryType(source);
    ASSERT_TRUE(sameRows(source.records(), everyTypeRows()));

    const QByteArray blob = DataSetFile::saveToBlob(source, GetParam());
    DataSet loaded(QStringLiteral("destinazione"));
    DataSetFile::loadFromBlob(loaded, blob);

    EXPECT_EQ(loaded.fieldDefs(), everyTypeDefs());
    EXPECT_TRUE(sameRows(loaded.records(), everyTypeRows()));
    EXPECT_EQ(loaded.name(), QStringLiteral("destinazione"));
    // Saved again, the bytes are the same: nothing drifts on a second trip.
    EXPECT_EQ(DataSetFile::saveToBlob(loaded, GetParam()), blob);
}

TEST_P(DataSetFileRoundTrip, FloatsKeepTheirBitsNanAndInfinitiesIncluded)
{
    DataSet source;
    source.setFieldDefs({{QStringLiteral("F"), FieldType::Float}});
    source.createDataSet();
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             -0.0,
                             0.1,
                             1.0 / 3.0,
                             -std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             123456789012345678.0};
    for (double d : values)
        source.appendRecord({Value(d)});
    DataSet loaded;
    DataSetFile::loadFromBlob(loaded, DataSetFile::saveToBlob(source, GetParam()));
    EXPECT_TRUE(sameRows(loaded.records(), source.records()));
    EXPECT_TRUE(std::isnan(loaded.records()[0][0].toDouble()));
}

TEST_P(DataSetFileRoundTrip, EmptyTextAndEmptyBlobAreValuesNotNulls)
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("T"), FieldType::String, 5},
                   {QStringLiteral("M"), FieldType::Memo},
                   {QStringLiteral("B"), FieldType::Blob}};
    c.properties = {{}, {}, {}};
    c.rows = {{Value(QString()), Value(QString()), Value(QByteArray())}, {Value::null(), Value::null(), Value::null()}};
    const DataSetContent back = DataSetFile::decode(DataSetFile::encode(c, GetParam()), QStringLiteral("x"));
    ASSERT_EQ(back.rows.size(), 2);
    EXPECT_TRUE(sameRows(back.rows, c.rows));

    // Through a dataset: a blob keeps empty apart from null; empty text is
    // Null by the dataset's own rule.
    DataSet ds;
    DataSetFile::loadContent(ds, back);
    EXPECT_TRUE(sameRows(ds.records(), asTheDataSetHoldsThem(c.rows)));
    EXPECT_FALSE(ds.records()[0][2].isNull());
    EXPECT_TRUE(ds.records()[1][2].isNull());
}

TEST_P(DataSetFileRoundTrip, StructureIndexAndFieldPropertiesTravel)
{
    DataSet source;
    source.setFieldDefs({{QStringLiteral("Matricola"), FieldType::String, 8, true},
                         {QStringLiteral("Importo"), FieldType::Currency},
                         {QStringLiteral("Anno"), FieldType::SmallInt}});
    source.createDataSet();
    source.appendRecord({Value(QStringLiteral("B")), Value(Currency::fromInt(2)), Value(2024)});
    source.appendRecord({Value(QStringLiteral("A")), Value(Currency::fromInt(1)), Value(2023)});
    source.appendRecord({Value(QStringLiteral("A")), Value(Currency::fromInt(3)), Value(2022)});
    source.setIndexFieldNames(QStringLiteral("Matricola;Anno"));
    source.field(1)->setDisplayLabel(QStringLiteral("Importo lordo"));
    source.field(1)->setDisplayFormat(QStringLiteral("#,##0.00"));
    source.field(1)->setEditFormat(QStringLiteral("0.00"));
    source.field(2)->setVisible(false);
    source.field(2)->setReadOnly(true);

    DataSet loaded;
    DataSetFile::loadFromBlob(loaded, DataSetFile::saveToBlob(source, GetParam()));
    EXPECT_EQ(loaded.indexFieldNames(), QStringLiteral("Matricola;Anno"));
    EXPECT_TRUE(loaded.field(0)->isRequired());
    EXPECT_EQ(loaded.field(0)->size(), 8);
    EXPECT_EQ(loaded.field(1)->displayLabel(), QStringLiteral("Importo lordo"));
    EXPECT_EQ(loaded.field(1)->displayFormat(), QStringLiteral("#,##0.00"));
    EXPECT_EQ(loaded.field(1)->editFormat(), QStringLiteral("0.00"));
    EXPECT_TRUE(loaded.field(1)->isVisible());
    EXPECT_FALSE(loaded.field(2)->isVisible());
    EXPECT_TRUE(loaded.field(2)->isReadOnly());
    EXPECT_EQ(loaded.field(0)->displayLabel(), QStringLiteral("Matricola"));
    // The records in natural order, the cursor on the first in index order.
    EXPECT_EQ(loaded.records()[0][0], Value(QStringLiteral("B")));
    EXPECT_EQ(loaded.recNo(), 1);
    EXPECT_EQ(loaded.fieldValue(QStringLiteral("Anno")), Value(2022));
}

TEST_P(DataSetFileRoundTrip, FileHoldsTheCurrentRecordsNotTheChangeLog)
{
    DataSet source;
    source.setFieldDefs({{QStringLiteral("K"), FieldType::Integer}, {QStringLiteral("V"), FieldType::String, 10}});
    source.createDataSet();
    source.appendRecord({Value(1), Value(QStringLiteral("uno"))});
    source.appendRecord({Value(2), Value(QStringLiteral("due"))});
    source.appendRecord({Value(3), Value(QStringLiteral("tre"))});
    source.mergeChangeLog();
    source.first();
    source.edit();
    source.setFieldValue(QStringLiteral("V"), Value(QStringLiteral("UNO")));
    source.post();
    source.next();
    source.deleteRecord();
    source.appendRecord({Value(4), Value(QStringLiteral("quattro"))});
    // An edit in progress is posted by the save.
    source.first();
    source.edit();
    source.setFieldValue(QStringLiteral("K"), Value(10));
    const int pending = 3;

    const QByteArray blob = DataSetFile::saveToBlob(source, GetParam());
    EXPECT_EQ(source.state(), DataSetState::Browse);
    EXPECT_EQ(source.changeCount(), pending); // the source's log is not merged by a save

    DataSet loaded;
    DataSetFile::loadFromBlob(loaded, blob);
    const QList<ValueList> expected = {{Value(10), Value(QStringLiteral("UNO"))},
                                       {Value(3), Value(QStringLiteral("tre"))},
                                       {Value(4), Value(QStringLiteral("quattro"))}};
    EXPECT_TRUE(sameRows(loaded.records(), expected));
    EXPECT_EQ(loaded.changeCount(), 0);
    EXPECT_TRUE(loaded.delta().isEmpty());
}

TEST_P(DataSetFileRoundTrip, FilteredRecordsAreSavedToo)
{
    DataSet source;
    source.setFieldDefs({{QStringLiteral("K"), FieldType::Integer}});
    source.createDataSet();
    for (int i = 1; i <= 5; ++i)
        source.appendRecord({Value(i)});
    source.setFilter(QStringLiteral("K > 3"));
    source.setFiltered(true);
    ASSERT_EQ(source.recordCount(), 2);
    DataSet loaded;
    DataSetFile::loadFromBlob(loaded, DataSetFile::saveToBlob(source, GetParam()));
    EXPECT_EQ(loaded.recordCount(), 5);
}

TEST_P(DataSetFileRoundTrip, EmptyDataSetKeepsItsStructure)
{
    // The store keeps layouts as blobs of empty datasets.
    DataSet source;
    source.setFieldDefs(everyTypeDefs());
    source.createDataSet();
    DataSet loaded;
    DataSetFile::loadFromBlob(loaded, DataSetFile::saveToBlob(source, GetParam()), QStringLiteral("layout"));
    EXPECT_EQ(loaded.fieldDefs(), everyTypeDefs());
    EXPECT_TRUE(loaded.isActive());
    EXPECT_TRUE(loaded.isEmpty());
}

TEST_P(DataSetFileRoundTrip, FilesOnDisk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TEAM_ANNOMESE.cds"));
    DataSet source;
    fillEveryType(source);
    DataSetFile::saveToFile(source, path, GetParam());
    ASSERT_TRUE(QFile::exists(path));
    // Nothing but the file is left in the folder (no temporary).
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("TEAM_ANNOMESE.cds")});

    DataSet loaded;
    DataSetFile::loadFromFile(loaded, path);
    EXPECT_TRUE(sameRows(loaded.records(), everyTypeRows()));
    // The form may also be named.
    DataSet again;
    DataSetFile::loadFromFile(again, path, GetParam());
    EXPECT_EQ(again.recordCount(), loaded.recordCount());
}

INSTANTIATE_TEST_SUITE_P(BothForms, DataSetFileRoundTrip,
                         ::testing::Values(DataSetFileFormat::Binary, DataSetFileFormat::Xml), formatName);

// ---------------------------------------------------------------------------
// Loading into a dataset

TEST(DataSetFileLoad, ReplacesStructureOpensOnFirstRecordAndKeepsTheDataSetsOwnSettings)
{
    DataSet source;
    fillEveryType(source);
    const QByteArray blob = DataSetFile::saveToBlob(source);

    DataSet target(QStringLiteral("cdsParametri"));
    target.setFieldDefs(
        {{QStringLiteral("Testo"), FieldType::String, 20}, {QStringLiteral("Codice"), FieldType::Integer}});
    target.createDataSet();
    target.appendRecord({Value(QStringLiteral("b")), Value(2)});
    target.appendRecord({Value(QStringLiteral("a")), Value(1)});
    target.setIndexFieldNames(QStringLiteral("Codice"));
    target.last();
    target.setTag(7);
    target.setReadOnly(true);
    target.setCommandText(QStringLiteral("select 1"));
    target.setFilter(QStringLiteral("Testo <> 'zzz'"));
    int events = 0;
    auto count = [&](DataSet &) { ++events; };
    target.events().beforeOpen = count;
    target.events().afterOpen = count;
    target.events().beforeClose = count;
    target.events().afterScroll = count;
    target.events().beforeCancel = count;
    int resets = 0;
    target.addObserver([&](const DataChange &c) {
        if (c.kind == DataChange::Reset)
            ++resets;
    });

    DataSetFile::loadFromBlob(target, blob);
    EXPECT_EQ(target.fieldDefs(), everyTypeDefs());
    EXPECT_EQ(target.state(), DataSetState::Browse);
    EXPECT_EQ(target.recNo(), 1);
    EXPECT_TRUE(target.bof());
    EXPECT_EQ(target.changeCount(), 0);
    EXPECT_EQ(target.indexFieldNames(), QString()); // the file's order (none), not the old one
    EXPECT_EQ(target.name(), QStringLiteral("cdsParametri"));
    EXPECT_EQ(target.tag(), 7);
    EXPECT_TRUE(target.isReadOnly());
    EXPECT_EQ(target.commandText(), QStringLiteral("select 1"));
    EXPECT_EQ(target.filter(), QStringLiteral("Testo <> 'zzz'"));
    EXPECT_EQ(events, 0);
    EXPECT_EQ(resets, 1);
    // The events are back after the load.
    target.next();
    EXPECT_EQ(events, 1);
}

TEST(DataSetFileLoad, AnEditInProgressIsDiscarded)
{
    DataSet source;
    fillTarget(source);
    const QByteArray blob = DataSetFile::saveToBlob(source);
    DataSet target;
    fillTarget(target);
    target.append();
    target.setFieldValue(QStringLiteral("Codice"), Value(99));
    DataSetFile::loadFromBlob(target, blob);
    EXPECT_EQ(target.state(), DataSetState::Browse);
    EXPECT_EQ(target.recordCount(), 2);
    EXPECT_FALSE(target.locate(QStringLiteral("Codice"), Value(99)));
}

TEST(DataSetFileLoad, AFilterThatDoesNotFitTheFileLeavesTheDataSetAsItWas)
{
    DataSet source;
    fillEveryType(source);
    const QByteArray blob = DataSetFile::saveToBlob(source);
    DataSet target;
    fillTarget(target);
    target.setFilter(QStringLiteral("Codice > 1"));
    const Snapshot before = Snapshot::of(target);
    EXPECT_TRUE(failsNaming([&] { DataSetFile::loadFromBlob(target, blob, QStringLiteral("TEMENSPAR.XML")); },
                            QStringLiteral("TEMENSPAR.XML")));
    EXPECT_TRUE(Snapshot::of(target) == before);
}

TEST(DataSetFileLoad, ContentThatDoesNotFitItsFieldsIsRefused)
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("N"), FieldType::Integer},
                   {QStringLiteral("T"), FieldType::String, 3},
                   {QStringLiteral("D"), FieldType::BCD, 2}};
    c.properties = {{}, {}, {}};
    DataSet target;
    fillTarget(target);
    const Snapshot before = Snapshot::of(target);
    const QList<ValueList> bad[] = {
        {{Value(QStringLiteral("abc")), Value::null(), Value::null()}},               // not a number
        {{Value::null(), Value(QStringLiteral("abcd")), Value::null()}},              // longer than its field
        {{Value::null(), Value::null(), Value(Currency::fromRaw(12345))}},            // 1.2345 in a 2-decimal field
        {{Value::null(), Value(1234), Value::null()}},                                // longer once text
        {{Value::null(), Value::null(), Value(1.2345)}},                              // a number with 4 decimals
        {{Value::null(), Value::null()}},                                             // a value short
        {{Value::null(), Value(QStringLiteral("a") + QChar(0xDC00)), Value::null()}}, // a lone surrogate
    };
    for (const auto &rows : bad) {
        c.rows = rows;
        EXPECT_THROW(DataSetFile::loadContent(target, c), EDataSetError);
        EXPECT_THROW(DataSetFile::encode(c), EDataSetError);
        EXPECT_THROW(DataSetFile::encode(c, DataSetFileFormat::Xml), EDataSetError);
        EXPECT_TRUE(Snapshot::of(target) == before);
    }
    c.rows = {};
    c.indexFieldNames = QStringLiteral("N;Manca");
    EXPECT_THROW(DataSetFile::loadContent(target, c), EDataSetError);
    EXPECT_TRUE(Snapshot::of(target) == before);
}

TEST(DataSetFileLoad, CalculatedFieldsAreNotStored)
{
    DataSet source;
    source.setFieldDefs({{QStringLiteral("A"), FieldType::Integer},
                         {QStringLiteral("Doppio"), FieldType::Integer, 0, false, FieldKind::Calculated},
                         {QStringLiteral("B"), FieldType::String, 4}});
    source.events().onCalcFields = [](DataSet &ds) {
        ds.setFieldValue(QStringLiteral("Doppio"), Value(ds.fieldByName(QStringLiteral("A")).asInteger() * 2));
    };
    source.createDataSet();
    source.appendRecord({Value(21), Value(QStringLiteral("x"))});
    const DataSetContent c = DataSetFile::contentOf(source);
    ASSERT_EQ(c.fieldDefs.size(), 2);
    EXPECT_EQ(c.fieldDefs[1].name, QStringLiteral("B"));
    DataSet loaded;
    DataSetFile::loadContent(loaded, c);
    EXPECT_EQ(loaded.fieldNames(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(loaded.fieldValue(QStringLiteral("B")), Value(QStringLiteral("x")));
}

// ---------------------------------------------------------------------------
// Files

TEST(DataSetFileDisk, MissingFileIsNamed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TTRP_TIPORAPPORT.cds"));
    DataSet target;
    fillTarget(target);
    const Snapshot before = Snapshot::of(target);
    EXPECT_TRUE(failsNaming([&] { DataSetFile::loadFromFile(target, path); }, path));
    EXPECT_TRUE(Snapshot::of(target) == before);
}

TEST(DataSetFileDisk, AFailingSaveLeavesThePreviousFileUntouched)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TEMENSPAR.XML"));
    DataSet good;
    fillTarget(good);
    DataSetFile::saveToFile(good, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray previous = f.readAll();
    f.close();

    // A field name that XML cannot carry fails the XML save.
    DataSet bad;
    bad.setFieldDefs({{QStringLiteral("Campo\x01"), FieldType::Integer}});
    bad.createDataSet();
    EXPECT_THROW(DataSetFile::saveToFile(bad, path, DataSetFileFormat::Xml), EDataSetError);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), previous);
    f.close();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("TEMENSPAR.XML")});

    // A folder that does not exist: the error names the file.
    const QString nowhere = dir.filePath(QStringLiteral("manca/TEMENSPAR.XML"));
    EXPECT_TRUE(failsNaming([&] { DataSetFile::saveToFile(good, nowhere); }, nowhere));
}

TEST(DataSetFileDisk, ADataSetWithoutFieldsCannotBeSaved)
{
    DataSet empty;
    EXPECT_THROW(DataSetFile::saveToBlob(empty), EDataSetError);
}

// ---------------------------------------------------------------------------
// Forms

TEST(DataSetFileForm, DetectedByTheFirstBytes)
{
    DataSet ds;
    fillTarget(ds);
    EXPECT_EQ(DataSetFile::detectFormat(DataSetFile::saveToBlob(ds)), DataSetFileFormat::Binary);
    EXPECT_EQ(DataSetFile::detectFormat(DataSetFile::saveToBlob(ds, DataSetFileFormat::Xml)), DataSetFileFormat::Xml);
    EXPECT_EQ(DataSetFile::detectFormat("\xEF\xBB\xBF\n  <DataSet/>"), DataSetFileFormat::Xml);
    EXPECT_EQ(DataSetFile::detectFormat("PK\3\4"), DataSetFileFormat::Auto);
    EXPECT_EQ(DataSetFile::detectFormat(QByteArray()), DataSetFileFormat::Auto);
    // Auto saves in binary form.
    EXPECT_EQ(DataSetFile::saveToBlob(ds, DataSetFileFormat::Auto), DataSetFile::saveToBlob(ds));
}

TEST(DataSetFileForm, AFormNamedExplicitlyMustMatch)
{
    DataSet ds;
    fillTarget(ds);
    const QByteArray bin = DataSetFile::saveToBlob(ds);
    const QByteArray xml = DataSetFile::saveToBlob(ds, DataSetFileFormat::Xml);
    EXPECT_THROW(DataSetFile::decode(bin, QStringLiteral("b"), DataSetFileFormat::Xml), EDataSetError);
    EXPECT_THROW(DataSetFile::decode(xml, QStringLiteral("x"), DataSetFileFormat::Binary), EDataSetError);
}

TEST(DataSetFileForm, BinaryFileStartsWithMagicVersionAndEndsWithItsChecksum)
{
    const QByteArray f = smallBinaryFile();
    EXPECT_TRUE(f.startsWith(QByteArray("\x89ZDS\r\n\x1A\n\x01\x00\x00\x00", 12)));
    const quint32 body = qFromLittleEndian<quint32>(f.constData() + 12);
    EXPECT_EQ(qsizetype(body), f.size() - 20);
    EXPECT_EQ(qFromLittleEndian<quint32>(f.constData() + f.size() - 4),
              DataSetFile::checksum(f.constData(), f.size() - 4));
    // The CRC-32 of the IEEE standard.
    EXPECT_EQ(DataSetFile::checksum("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(DataSetFile::checksum("", 0), 0u);
}

TEST(DataSetFileForm, XmlKeepsCarriageReturnsAndCarriesControlCharactersInBase64)
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("Nota"), FieldType::Memo}};
    c.properties = {{}};
    c.rows = {{Value(QStringLiteral("a\r\nb"))},
              {Value(QStringLiteral("c\x01"
                                    "d"))},
              {Value(QStringLiteral("  e  "))}};
    const QByteArray xml = DataSetFile::encode(c, DataSetFileFormat::Xml);
    EXPECT_TRUE(xml.contains("<Nota>a&#13;\nb</Nota>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<Nota encoding=\"base64\">")) << xml.constData();
    EXPECT_TRUE(xml.contains("<Nota>  e  </Nota>")) << xml.constData();
    EXPECT_TRUE(sameRows(DataSetFile::decode(xml, QStringLiteral("x")).rows, c.rows));
}

TEST(DataSetFileForm, XmlNamesValuesByFieldOrGivesThemInOrderWhenNamesAreNotXmlNames)
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("Query"), FieldType::String, 40}, {QStringLiteral("Indice"), FieldType::Integer}};
    c.properties = {{}, {}};
    c.rows = {{Value(QStringLiteral("QRY_A")), Value::null()}};
    QByteArray xml = DataSetFile::encode(c, DataSetFileFormat::Xml);
    EXPECT_TRUE(xml.contains("<Query>QRY_A</Query>")) << xml.constData();
    EXPECT_FALSE(xml.contains("Indice>")) << xml.constData(); // a null is left out

    c.fieldDefs[1].name = QStringLiteral("Indice riga");
    xml = DataSetFile::encode(c, DataSetFileFormat::Xml);
    EXPECT_TRUE(xml.contains("<V>QRY_A</V>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<V null=\"true\"/>")) << xml.constData();
    EXPECT_TRUE(sameRows(DataSetFile::decode(xml, QStringLiteral("x")).rows, c.rows));
}

TEST(DataSetFileForm, XmlValueTexts)
{
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("I"), FieldType::Currency}, {QStringLiteral("D"), FieldType::Date},
                   {QStringLiteral("T"), FieldType::DateTime}, {QStringLiteral("O"), FieldType::Time},
                   {QStringLiteral("F"), FieldType::Float},    {QStringLiteral("B"), FieldType::Boolean},
                   {QStringLiteral("X"), FieldType::Blob}};
    c.properties = QList<FieldProperties>(7);
    c.rows = {{Value(Currency::fromRaw(-922337203685477580LL * 10 - 8)), Value(QDate(2024, 3, 5)),
               Value(QDateTime(QDate(2024, 3, 5), QTime(14, 30, 0, 120), Qt::OffsetFromUTC, -3 * 3600)),
               Value(QTime(8, 5, 9)), Value(0.1), Value(true), Value(QByteArray("\0\xff", 2))}};
    const QByteArray xml = DataSetFile::encode(c, DataSetFileFormat::Xml);
    for (const char *s : {"<I>-922337203685477.5808</I>", "<D>2024-03-05</D>", "<T>2024-03-05T14:30:00.120-03:00</T>",
                          "<O>08:05:09</O>", "<F>0.1</F>", "<B>true</B>", "<X>AP8=</X>"})
        EXPECT_TRUE(xml.contains(s)) << s << "\n" << xml.constData();
    EXPECT_TRUE(sameRows(DataSetFile::decode(xml, QStringLiteral("x")).rows, c.rows));
}

// ---------------------------------------------------------------------------
// Hand-written XML

TEST(DataSetFileHandWritten, CatalogueWithNamedValuesCdataAndComments)
{
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Catalogo delle istruzioni -->
<DataSet indexFieldNames="Query;Tipo;Indice">
  <Fields>
    <Field name="Query" type="String" size="40" required="true"/>
    <Field name="Tipo" type="string" size="10"/>
    <Field name="Indice" type="Integer"/>
    <Field name="SQL" type="Memo"/>
  </Fields>
  <Rows>
    <Row Query="QRY_MES_COMBO" Tipo="SELECT" Indice="0">
      <SQL>select IMESID, SMESDESC
  from TMES_MESI
 order by IMESID</SQL>
    </Row>
    <Row>
      <query>QRY_YRPT</query><TIPO>EXECUTE</TIPO><Indice> 1 </Indice>
      <SQL><![CDATA[update X set A = 1 where B < 2 and C %s 3]]></SQL>
    </Row>
    <Row Query="VER_ZEPUNI.EXE" Tipo="SELECT" Indice="0"/>
  </Rows>
</DataSet>
)";
    DataSet ds(QStringLiteral("catalogo"));
    DataSetFile::loadFromBlob(ds, xml, QStringLiteral("wun_QueryText.xml"));
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.indexFieldNames(), QStringLiteral("Query;Tipo;Indice"));
    ASSERT_TRUE(ds.locate(QStringLiteral("Query"), Value(QStringLiteral("QRY_MES_COMBO"))));
    EXPECT_EQ(ds.fieldValue(QStringLiteral("SQL")),
              Value(QStringLiteral("select IMESID, SMESDESC\n  from TMES_MESI\n order by IMESID")));
    EXPECT_EQ(ds.fieldValue(QStringLiteral("Indice")), Value(0));
    ASSERT_TRUE(ds.locate(QStringLiteral("Query"), Value(QStringLiteral("QRY_YRPT"))));
    EXPECT_EQ(ds.fieldValue(QStringLiteral("SQL")), Value(QStringLiteral("update X set A = 1 where B < 2 and C %s 3")));
    EXPECT_EQ(ds.fieldValue(QStringLiteral("Indice")), Value(1));
    ASSERT_TRUE(ds.locate(QStringLiteral("Query"), Value(QStringLiteral("VER_ZEPUNI.EXE"))));
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("SQL")).isNull());
}

TEST(DataSetFileHandWritten, ReportRegistryWithBlobsAndPositionalRows)
{
    const QByteArray xml = R"(<DataSet>
 <Fields>
  <Field name="IYRPTID" type="Integer"/>
  <Field name="SYRPTDESC" type="String" size="60" label="Descrizione"/>
  <Field name="BYRPTREPORT" type="Blob"/>
  <Field name="BYRPTVAR" type="Blob"/>
 </Fields>
 <Rows>
  <Row><V>1</V><V>Prospetto mensile</V><V>
    AAEC
    AwQF
  </V><V null="true"/></Row>
  <Row><V>2</V><V/><V/><V null="1"></V></Row>
 </Rows>
</DataSet>)";
    const DataSetContent c = DataSetFile::decode(xml, QStringLiteral("wun_Report.xml"));
    ASSERT_EQ(c.rows.size(), 2);
    EXPECT_EQ(c.rows[0][2], Value(QByteArray("\0\1\2\3\4\5", 6)));
    EXPECT_TRUE(c.rows[0][3].isNull());
    EXPECT_EQ(c.rows[1][1], Value(QString()));
    EXPECT_EQ(c.rows[1][2], Value(QByteArray()));
    EXPECT_EQ(c.properties[1].displayLabel, QStringLiteral("Descrizione"));
}

TEST(DataSetFileHandWritten, MistakesAreReportedWithTheFileAndLine)
{
    const char *head =
        "<DataSet><Fields><Field name=\"N\" type=\"Integer\"/><Field name=\"T\" type=\"String\" size=\"3\"/></Fields>\n<Rows>\n";
    const struct {
        const char *rows;
        const char *says;
    } cases[] = {
        {"<Row N=\"abc\"/>", "non valido"},
        {"<Row N=\"1.5\"/>", "non valido"},
        {"<Row N=\"99999999999\"/>", "non valido"},
        {"<Row Manca=\"1\"/>", "campo sconosciuto"},
        {"<Row N=\"1\"><N>2</N></Row>", "due volte"},
        {"<Row><V>1</V></Row>", "1 valori"},
        {"<Row><V>1</V><T>a</T></Row>", "posizione e per nome"},
        {"<Row><T>abcd</T></Row>", "testo di 4 caratteri"},
        {"<Row><N null=\"true\">5</N></Row>", "nullo"},
        {"<Row><N><b/></N></Row>", "dentro il valore"},
        {"<Row>testo</Row>", "fuori da un valore"},
        {"<Record/>", "inatteso"},
        {"<Row><T encoding=\"rot13\">a</T></Row>", "codifica"},
    };
    for (const auto &tc : cases) {
        const QByteArray xml = QByteArray(head) + tc.rows + "\n</Rows></DataSet>";
        try {
            DataSetFile::decode(xml, QStringLiteral("prova.xml"));
            ADD_FAILURE() << "accepted: " << tc.rows;
        } catch (const EDataSetError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("'prova.xml'"))) << e.what();
            EXPECT_TRUE(e.message().contains(QLatin1String(tc.says))) << tc.rows << ": " << e.what();
            EXPECT_TRUE(e.message().contains(QStringLiteral("(riga 3)"))) << tc.rows << ": " << e.what();
        }
    }
}

TEST(DataSetFileHandWritten, ValueTextsReadExactlyOrAreRefused)
{
    const Value refused; // Unassigned: the text must be refused
    const struct {
        const char *type;
        const char *text;
        Value expected;
    } cases[] = {
        {"Integer", " -2147483648 ", Value(std::numeric_limits<int>::min())},
        {"Integer", "2147483648", refused},
        {"Integer", "+1", refused},
        {"Integer", "1e3", refused},
        {"Integer", "", refused},
        {"SmallInt", "-32769", refused},
        {"Word", "65535", Value(65535)},
        {"Word", "-1", refused},
        {"LargeInt", "-9223372036854775808", Value(std::numeric_limits<qint64>::min())},
        {"LargeInt", "9223372036854775808", refused},
        {"Boolean", "TRUE", Value(true)},
        {"Boolean", "0", Value(false)},
        {"Boolean", "si", refused},
        {"Float", "1e-320", Value(1e-320)},
        {"Float", "-inf", Value(-std::numeric_limits<double>::infinity())},
        {"Float", "0,5", refused},
        {"Float", "0x10", refused},
        {"Float", "1e999", refused},
        {"Currency", "922337203685477.5807", Value(Currency::fromRaw(std::numeric_limits<qint64>::max()))},
        {"Currency", "922337203685477.5808", refused},
        {"Currency", "0.00001", refused}, // never rounded silently
        {"Currency", "12,50", refused},
        {"Currency", "-.5", refused},
        {"Currency", "-0.5", Value(Currency::fromRaw(-5000))},
        {"Date", "2024-02-29", Value(QDate(2024, 2, 29))},
        {"Date", "2023-02-29", refused},
        {"Date", "29/02/2024", refused},
        {"Date", "-0044-03-15", Value(QDate(-44, 3, 15))},
        {"DateTime", "2024-01-02 03:04", Value(QDateTime(QDate(2024, 1, 2), QTime(3, 4)))},
        {"DateTime", "2024-01-02T03:04:05.5Z", Value(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 500), Qt::UTC))},
        {"DateTime", "2024-01-02T24:00:00", refused},
        {"DateTime", "2024-01-02T03:04:05+1", refused},
        {"Time", "23:59:59.999", Value(QTime(23, 59, 59, 999))},
        {"Time", "23:59:60", refused},
        {"Time", "7:30", refused},
        {"Blob", "AA==", Value(QByteArray("\0", 1))},
        {"Blob", "AA=", refused},
        {"Blob", "A*==", refused},
    };
    for (const auto &tc : cases) {
        const QByteArray xml = QByteArray("<DataSet><Fields><Field name=\"X\" type=\"") + tc.type
                               + "\"/></Fields><Rows><Row><X>" + tc.text + "</X></Row></Rows></DataSet>";
        try {
            const DataSetContent c = DataSetFile::decode(xml, QStringLiteral("valori.xml"));
            EXPECT_FALSE(tc.expected.isUnassigned()) << tc.type << " '" << tc.text << "' accepted";
            if (!tc.expected.isUnassigned()) {
                EXPECT_TRUE(sameValue(c.rows.value(0).value(0), tc.expected))
                    << tc.type << " '" << tc.text << "' read as " << c.rows.value(0).value(0).debugText().toStdString();
            }
        } catch (const EDataSetError &e) {
            EXPECT_TRUE(tc.expected.isUnassigned()) << tc.type << " '" << tc.text << "' refused: " << e.what();
        }
    }
}

TEST(DataSetFileHandWritten, StructureMistakes)
{
    const char *cases[] = {
        "<DataSet/>",                                                              // no fields
        "<DataSet><Fields/></DataSet>",                                            // no field
        "<DataSet><Fields><Field type=\"Integer\"/></Fields></DataSet>",           // no name
        "<DataSet><Fields><Field name=\"A\"/></Fields></DataSet>",                 // no type
        "<DataSet><Fields><Field name=\"A\" type=\"Numero\"/></Fields></DataSet>", // unknown type
        "<DataSet><Fields><Field name=\"A\" type=\"BCD\" size=\"5\"/></Fields></DataSet>",
        "<DataSet><Fields><Field name=\"A\" type=\"String\" size=\"-1\"/></Fields></DataSet>",
        "<DataSet><Fields><Field name=\"A\" type=\"String\" requred=\"true\"/></Fields></DataSet>",
        "<DataSet><Fields><Field name=\"A\" type=\"Integer\"/><Field name=\"a\" type=\"Integer\"/></Fields></DataSet>",
        "<DataSet indexFieldNames=\"B\"><Fields><Field name=\"A\" type=\"Integer\"/></Fields></DataSet>",
        "<DataSet version=\"2\"><Fields><Field name=\"A\" type=\"Integer\"/></Fields></DataSet>",
        "<DataSet><Rows/><Fields><Field name=\"A\" type=\"Integer\"/></Fields></DataSet>",
        "<!DOCTYPE DataSet [<!ENTITY x \"y\">]><DataSet><Fields><Field name=\"A\" type=\"Integer\"/></Fields></DataSet>",
        "<DataSet><Fields><Field name=\"A\" type=\"Integer\"/></Fields></DataSet><DataSet/>",
        "<DataSet><Fields><Field name=\"A\" type=\"String\"/></Fields><Rows><Row A=\"&x;\"/></Rows></DataSet>",
    };
    for (const char *xml : cases)
        EXPECT_TRUE(failsNaming([&] { DataSetFile::decode(xml, QStringLiteral("struttura.xml")); },
                                QStringLiteral("struttura.xml")))
            << xml;
}

} // namespace
