// Registration of the report layouts on a real embedded payroll archive
// made from the project's scripts, with the catalogue compiled from its
// source.
#include "TovCReport.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Database.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using platform::DataSet;
using platform::DataSetFile;
using platform::DataSetFileFormat;
using platform::FieldType;
using platform::Value;

namespace {

QString sourceRoot()
{
    const QString root = QStringLiteral(ZEP_TEST_SOURCE_DIR);
    return root;
}

void loadCatalogue()
{
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("wun_QueryText.xml"));
    ASSERT_TRUE(QFile::copy(QDir(sourceRoot()).filePath(QStringLiteral("etc/wun/wun_QueryText.xml")), copy));
    TovQueryText().CompileQueries(copy);
}

struct Layout {
    int id;
    Value group;
    QString desc;
    int version;
    QByteArray report;
};

// A report file in XML form; `descSize` lets a test give a description the
// table cannot hold, `withVar` leaves out a column.
void writeReportFile(const QString &fileName, const QList<Layout> &layouts, int descSize = 120, bool withVar = true)
{
    DataSet ds;
    ds.addFieldDef(QStringLiteral("IYRPTID"), FieldType::Integer, 0, true);
    ds.addFieldDef(QStringLiteral("IYRFOID"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("SYRPTDESC"), FieldType::String, descSize);
    ds.addFieldDef(QStringLiteral("IYRPTVERSION"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("SYRPTNOTE"), FieldType::String, 500);
    ds.addFieldDef(QStringLiteral("BYRPTREPORT"), FieldType::Blob);
    if (withVar)
        ds.addFieldDef(QStringLiteral("BYRPTVAR"), FieldType::Blob);
    ds.createDataSet();
    for (const Layout &l : layouts) {
        ds.append();
        ds.setFieldValue(QStringLiteral("IYRPTID"), Value(l.id));
        ds.setFieldValue(QStringLiteral("IYRFOID"), l.group);
        ds.setFieldValue(QStringLiteral("SYRPTDESC"), Value(l.desc));
        ds.setFieldValue(QStringLiteral("IYRPTVERSION"), Value(l.version));
        ds.setFieldValue(QStringLiteral("SYRPTNOTE"), Value(QStringLiteral("nota ") + l.desc));
        ds.setFieldValue(QStringLiteral("BYRPTREPORT"), Value(l.report));
        if (withVar)
            ds.setFieldValue(QStringLiteral("BYRPTVAR"), Value(QByteArray("var\0\x01", 5)));
        ds.post();
    }
    DataSetFile::saveToFile(ds, fileName, DataSetFileFormat::Xml);
}

class ReportImport : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_template = new TempDatabase(TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))
                                                            + TempDatabase::projectScripts(QStringLiteral("payroll"))});
        s_template->db().close();
    }
    static void TearDownTestSuite()
    {
        delete s_template;
        s_template = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString file = m_dir.filePath(QStringLiteral("archive.fdb"));
        ASSERT_TRUE(QFile::copy(s_template->filePath(), file));
        QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        platform::ConnectionSettings settings;
        settings.database = file;
        m_db = std::make_unique<platform::Database>(settings);
        m_db->open();
        loadCatalogue();
        m_query = std::make_unique<platform::SqlQuery>(*m_db);
    }
    void TearDown() override
    {
        m_query.reset();
        TovQueryText().loadRecords(TovQueryText().fieldDefs(), {});
        m_db.reset();
    }

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    // id, group, description, version, layout of every stored report.
    QStringList stored()
    {
        platform::SqlQuery q(*m_db);
        q.setSql(QStringLiteral("SELECT IYRPTID, IYRFOID, SYRPTDESC, IYRPTVERSION, SYRPTNOTE, BYRPTREPORT, BYRPTVAR"
                                " FROM TYRPT_REPORT ORDER BY IYRPTID"));
        q.open();
        QStringList rows;
        for (; !q.eof(); q.next())
            rows << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                        .arg(q.value(0).toInt())
                        .arg(q.value(1).isEmpty() ? QStringLiteral("null") : q.value(1).toString(),
                             q.value(2).toString())
                        .arg(q.value(3).toInt())
                        .arg(q.value(4).toString(), QString::fromLatin1(q.value(5).toBytes().toHex()),
                             QString::fromLatin1(q.value(6).toBytes().toHex()));
        return rows;
    }

    static TempDatabase *s_template;
    QTemporaryDir m_dir;
    std::unique_ptr<platform::Database> m_db;
    std::unique_ptr<platform::SqlQuery> m_query;
};
TempDatabase *ReportImport::s_template = nullptr;

} // namespace

TEST_F(ReportImport, MissingFileDoesNothing)
{
    m_query->setSql(QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    EXPECT_NO_THROW(TTovReport::ImportReports(*m_query, path("assente.xml"), false));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(m_query->sql(), "SELECT 1 FROM RDB$DATABASE") << "the query is not touched";
}

TEST_F(ReportImport, EveryRecordIsWrittenOnceWithItsBlobs)
{
    writeReportFile(path("r.xml"), {{1, Value(10), QStringLiteral("Riepilogo"), 1, QByteArray("\x00\xff layout", 9)},
                                    {2, Value::null(), QStringLiteral("Elenco"), 3, QByteArray("L2")}});
    TTovReport::ImportReports(*m_query, path("r.xml"), false);
    EXPECT_EQ(stored(), (QStringList{"1|10|Riepilogo|1|nota Riepilogo|00ff206c61796f7574|7661720001",
                                     "2|null|Elenco|3|nota Elenco|4c32|7661720001"}));
    // A second opening writes nothing new.
    TTovReport::ImportReports(*m_query, path("r.xml"), false);
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(ReportImport, VersionDecidesWhatIsReplaced)
{
    writeReportFile(path("v1.xml"), {{1, Value(10), QStringLiteral("Prima"), 2, QByteArray("A")}});
    TTovReport::ImportReports(*m_query, path("v1.xml"), false);

    // Same version, no flag: the stored layout stays.
    writeReportFile(path("same.xml"), {{1, Value(11), QStringLiteral("Stessa"), 2, QByteArray("B")}});
    TTovReport::ImportReports(*m_query, path("same.xml"), false);
    EXPECT_EQ(stored(), QStringList{"1|10|Prima|2|nota Prima|41|7661720001"});
    // Same version with the flag: written again.
    TTovReport::ImportReports(*m_query, path("same.xml"), true);
    EXPECT_EQ(stored(), QStringList{"1|11|Stessa|2|nota Stessa|42|7661720001"});
    // An older version never replaces a newer one; a newer one always does.
    writeReportFile(path("old.xml"), {{1, Value(12), QStringLiteral("Vecchia"), 1, QByteArray("C")}});
    TTovReport::ImportReports(*m_query, path("old.xml"), true);
    EXPECT_EQ(stored(), QStringList{"1|11|Stessa|2|nota Stessa|42|7661720001"});
    writeReportFile(path("new.xml"), {{1, Value(13), QStringLiteral("Nuova"), 5, QByteArray("D")}});
    TTovReport::ImportReports(*m_query, path("new.xml"), false);
    EXPECT_EQ(stored(), QStringList{"1|13|Nuova|5|nota Nuova|44|7661720001"});
}

TEST_F(ReportImport, EmptyFilePreparesTheStatementAndWritesNothing)
{
    writeReportFile(path("vuoto.xml"), {});
    TTovReport report;
    report.Import(*m_query, path("vuoto.xml"), true);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(m_query->sql().contains(QLatin1String("<= SRC.IYRPTVERSION"))) << m_query->sql().toStdString();
    EXPECT_FALSE(report.isActive());
}

TEST_F(ReportImport, ErrorsReachTheCallerAndTheDataSetIsClosed)
{
    // A missing column.
    writeReportFile(path("senzavar.xml"), {{1, Value(10), QStringLiteral("X"), 1, QByteArray("A")}}, 120, false);
    TTovReport report;
    EXPECT_THROW(report.Import(*m_query, path("senzavar.xml"), false), platform::EDataSetError);
    EXPECT_FALSE(report.isActive());

    // A failing statement (a description the table cannot hold) stops at
    // that record: the one before it is written.
    writeReportFile(path("lungo.xml"),
                    {{1, Value(10), QStringLiteral("Breve"), 1, QByteArray("A")},
                     {2, Value(10), QString(200, QLatin1Char('x')), 1, QByteArray("B")},
                     {3, Value(10), QStringLiteral("Mai"), 1, QByteArray("C")}},
                    300);
    EXPECT_THROW(report.Import(*m_query, path("lungo.xml"), false), platform::Exception);
    EXPECT_FALSE(report.isActive());
    const QStringList rows = stored();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_TRUE(rows.first().startsWith(QLatin1String("1|")));
    for (const QString &r : rows)
        EXPECT_FALSE(r.startsWith(QLatin1String("3|")));

    // A file that is not a dataset file.
    QFile bad(path("rotto.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<DataSet version=\"1\"><Fields>");
    bad.close();
    EXPECT_THROW(TTovReport::ImportReports(*m_query, path("rotto.xml"), false), platform::EDataSetError);
}

TEST_F(ReportImport, ShippedFileIsInTheBuildTreeAndImports)
{
    const QString build = QStringLiteral(ZEP_TEST_BUILD_DIR);
    const QString shipped = QDir(build).filePath(QStringLiteral("etc/wun/wun_Report.xml"));
    ASSERT_TRUE(QFileInfo::exists(shipped)) << shipped.toStdString();
    TTovReport report;
    EXPECT_NO_THROW(report.Import(*m_query, shipped, false));
    DataSet shippedRows;
    DataSetFile::loadFromFile(shippedRows, shipped);
    EXPECT_EQ(stored().size(), shippedRows.recordCount());
}
