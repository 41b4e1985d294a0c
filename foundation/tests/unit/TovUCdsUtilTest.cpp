#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using platform::DataSet;
using platform::FieldType;
using platform::Value;
using platform::ValueList;

namespace {

void makeTable(DataSet &ds, int rows, const QString &tag)
{
    ds.addFieldDef(QStringLiteral("ID"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("TESTO"), FieldType::String, 200);
    ds.createDataSet();
    for (int i = 1; i <= rows; ++i)
        ds.appendRecord({i, tag + QString(150, QLatin1Char('x')) + QString::number(i)});
    ds.mergeChangeLog();
}

QList<ValueList> loaded(const QString &fileName)
{
    DataSet ds;
    TTovCds::LoadFromFile(ds, fileName);
    return ds.records();
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(BackupName, ReplacesTheExtension)
{
    EXPECT_EQ(TTovCds::BackupName(QStringLiteral("/p/TEMENSPAR.XML")), QStringLiteral("/p/TEMENSPAR.BAK"));
    EXPECT_EQ(TTovCds::BackupName(QStringLiteral("/p/a.b.cds")), QStringLiteral("/p/a.b.BAK"));
    EXPECT_EQ(TTovCds::BackupName(QStringLiteral("/p.d/TABELLA")), QStringLiteral("/p.d/TABELLA.BAK"));
    EXPECT_EQ(TTovCds::ChangeFileExt(QStringLiteral("wun_QueryText.xml"), QStringLiteral(".unxc")),
              QStringLiteral("wun_QueryText.unxc"));
}

TEST(SaveToFile, FirstSaveCreatesTheFileAndLeavesNoBackup)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TEAM_ANNOMESE.cds"));
    DataSet ds;
    makeTable(ds, 3, QStringLiteral("a"));
    ds.appendRecord({4, QStringLiteral("nuovo")});
    ASSERT_GT(ds.changeCount(), 0);

    TTovCds::SaveToFile(ds, file);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("TEAM_ANNOMESE.cds")});
    EXPECT_EQ(ds.changeCount(), 0); // the change log is merged
    EXPECT_EQ(loaded(file), ds.records());
}

TEST(SaveToFile, XmlNamedFileIsWrittenInBinaryAndLoadsBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TEMENSPAR.XML"));
    DataSet ds;
    makeTable(ds, 2, QStringLiteral("p"));
    TTovCds::SaveToFile(ds, file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(platform::DataSetFile::detectFormat(f.readAll()), platform::DataSetFileFormat::Binary);
    EXPECT_EQ(loaded(file), ds.records());
}

TEST(SaveToFile, ReplacesThePreviousVersionAndRemovesTheBackup)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TEMENSPAR.XML"));
    DataSet first;
    makeTable(first, 2, QStringLiteral("old"));
    TTovCds::SaveToFile(first, file);

    DataSet second;
    makeTable(second, 5, QStringLiteral("new"));
    TTovCds::SaveToFile(second, file);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("TEMENSPAR.XML")});
    EXPECT_EQ(loaded(file), second.records());
}

TEST(SaveToFile, AStaleBackupDoesNotStopTheSaveAndIsRemoved)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TEMENSPAR.XML"));
    DataSet old;
    makeTable(old, 2, QStringLiteral("old"));
    TTovCds::SaveToFile(old, file);
    QFile stale(dir.filePath(QStringLiteral("TEMENSPAR.BAK")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("left by an interrupted save");
    stale.close();

    DataSet fresh;
    makeTable(fresh, 4, QStringLiteral("fresh"));
    TTovCds::SaveToFile(fresh, file);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("TEMENSPAR.XML")});
    EXPECT_EQ(loaded(file), fresh.records());
}

// Writes beyond this many bytes fail (EFBIG) while the object lives; the
// signal that would end the process is ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(SaveToFile, ASaveFailingHalfWayKeepsThePreviousContent)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TEMENSPAR.XML"));
    DataSet old;
    makeTable(old, 3, QStringLiteral("old"));
    TTovCds::SaveToFile(old, file);
    const QList<ValueList> previous = old.records();

    DataSet big;
    makeTable(big, 400, QStringLiteral("big"));
    big.appendRecord({401, QStringLiteral("pending")});
    ASSERT_GT(platform::DataSetFile::saveToBlob(big).size(), 16 * 1024);
    {
        FileSizeLimit limit(8 * 1024);
        EXPECT_THROW(TTovCds::SaveToFile(big, file), platform::EDataSetError);
    }
    // The previous file is whole, nothing else is left beside it, and the
    // dataset still knows what it has not saved.
    EXPECT_EQ(loaded(file), previous);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("TEMENSPAR.XML")});
    EXPECT_GT(big.changeCount(), 0);

    // With a stale backup present the failure leaves both files as they were.
    QFile stale(dir.filePath(QStringLiteral("TEMENSPAR.BAK")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("stale");
    stale.close();
    {
        FileSizeLimit limit(8 * 1024);
        EXPECT_THROW(TTovCds::SaveToFile(big, file), platform::EDataSetError);
    }
    EXPECT_EQ(loaded(file), previous);
    EXPECT_EQ(entries(dir), (QStringList{QStringLiteral("TEMENSPAR.BAK"), QStringLiteral("TEMENSPAR.XML")}));

    // Once the disk takes it, the same save goes through.
    TTovCds::SaveToFile(big, file);
    EXPECT_EQ(loaded(file), big.records());
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("TEMENSPAR.XML")});
}

TEST(SaveToFile, AnUnwritableFolderRaisesNamingTheFile)
{
    DataSet ds;
    makeTable(ds, 1, QStringLiteral("x"));
    try {
        TTovCds::SaveToFile(ds, QStringLiteral("/nonexistent-folder/sub/T.cds"));
        FAIL() << "the save must fail";
    } catch (const platform::EDataSetError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("T.cds"))) << qPrintable(e.message());
    }
}

TEST(LoadFromFile, MissingFileRaisesAndLeavesTheDatasetAsItWas)
{
    DataSet ds;
    makeTable(ds, 2, QStringLiteral("k"));
    const QList<ValueList> before = ds.records();
    EXPECT_THROW(TTovCds::LoadFromFile(ds, QStringLiteral("/nonexistent-folder/none.cds")), platform::EDataSetError);
    EXPECT_EQ(ds.records(), before);
}

// ---- next key -------------------------------------------------------------------

TEST(NextKey, HighestValuePlusOne)
{
    DataSet ds;
    ds.addFieldDef(QStringLiteral("ORDINE"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("NOME"), FieldType::String, 10);
    ds.createDataSet();
    EXPECT_EQ(TTovCds::NextKey(ds, QStringLiteral("ORDINE")), 1);

    ds.appendRecord({Value::null(), QStringLiteral("n")});
    EXPECT_EQ(TTovCds::NextKey(ds, QStringLiteral("ORDINE")), 1);

    ds.appendRecord({3, QStringLiteral("a")});
    ds.appendRecord({7, QStringLiteral("b")});
    ds.appendRecord({5, QStringLiteral("c")});
    ds.first();
    const platform::Bookmark at = ds.bookmark();
    EXPECT_EQ(TTovCds::NextKey(ds, QStringLiteral("ordine")), 8);
    EXPECT_EQ(ds.bookmark(), at); // the cursor stays

    // Pending changes count: a deleted record no longer holds its key.
    ds.mergeChangeLog();
    ASSERT_TRUE(ds.locate(QStringLiteral("ORDINE"), Value(7)));
    ds.deleteRecord();
    EXPECT_EQ(TTovCds::NextKey(ds, QStringLiteral("ORDINE")), 6);
    ds.appendRecord({12, QStringLiteral("d")});
    EXPECT_EQ(TTovCds::NextKey(ds, QStringLiteral("ORDINE")), 13);

    EXPECT_THROW(TTovCds::NextKey(ds, QStringLiteral("NESSUNO")), platform::EDataSetError);
}

TEST(NextKey, OrderAndFilterDoNotHideTheHighestValue)
{
    DataSet ds;
    ds.addFieldDef(QStringLiteral("ORDINE"), FieldType::Integer);
    ds.createDataSet();
    for (int v : {4, 9, 2})
        ds.appendRecord({v});
    ds.setIndexFieldNames(QStringLiteral("ORDINE"));
    ds.setFilter(QStringLiteral("ORDINE < 5"));
    ds.setFiltered(true);
    EXPECT_EQ(TTovCds::NextKey(ds, QStringLiteral("ORDINE")), 10);
}

// ---- load from a blob -----------------------------------------------------------

TEST(LoadFromBlob, ReplacesTheDatasetByTheStoredOne)
{
    DataSet stored;
    makeTable(stored, 3, QStringLiteral("s"));

    DataSet holder;
    holder.addFieldDef(QStringLiteral("BCDSSCHEMA"), FieldType::Blob);
    holder.createDataSet();
    holder.appendRecord({platform::DataSetFile::saveToBlob(stored)});

    DataSet target;
    target.addFieldDef(QStringLiteral("ALTRO"), FieldType::String, 5);
    target.createDataSet();
    TTovCds::LoadFromBlob(holder.fieldByName(QStringLiteral("BCDSSCHEMA")), target);
    EXPECT_TRUE(target.isActive());
    EXPECT_EQ(target.fieldNames(), stored.fieldNames());
    EXPECT_EQ(target.records(), stored.records());

    holder.edit();
    holder.setFieldValue(QStringLiteral("BCDSSCHEMA"), QByteArray("not a dataset"));
    holder.post();
    EXPECT_THROW(TTovCds::LoadFromBlob(holder.fieldByName(QStringLiteral("BCDSSCHEMA")), target),
                 platform::EDataSetError);
}

} // namespace
