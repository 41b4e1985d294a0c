#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "RecordingServices.h"

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
        EXPECT_THROW(TTovCds::SaveToFile(big, file), platform::EWriteError);
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
        EXPECT_THROW(TTovCds::SaveToFile(big, file), platform::EWriteError);
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
    } catch (const platform::EWriteError &e) {
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

// ---- a save that dies between its steps -----------------------------------------

// Thrown by the hook: the save stops at the step as if the process died.
struct Killed {};

class KillAt {
public:
    explicit KillAt(TTovCds::SaveStep at)
    {
        TTovCds::SaveStepHook = [at](TTovCds::SaveStep step) {
            if (step == at)
                throw Killed{};
        };
    }
    ~KillAt() { TTovCds::SaveStepHook = nullptr; }
};

// The folder's files, a temporary file's random part shown as "XXXXXX".
QStringList leftOver(const QTemporaryDir &dir)
{
    QStringList names = entries(dir);
    for (QString &name : names)
        if (name.endsWith(QStringLiteral(".tmp")))
            name.replace(name.size() - 10, 6, QStringLiteral("XXXXXX"));
    return names;
}

TEST(SaveToFile, ASaveDeadAfterAnyStepLeavesAFileThatLoadsAndTheNextSaveCleansUp)
{
    using Step = TTovCds::SaveStep;
    const QString tmp = QStringLiteral("TEAM_ANNOMESE.cds.XXXXXX.tmp");
    const QString bak = QStringLiteral("TEAM_ANNOMESE.BAK");
    const QString cds = QStringLiteral("TEAM_ANNOMESE.cds");
    const struct {
        Step step;
        bool saved;
        QStringList left;
    } cases[] = {
        {Step::TemporaryWritten, false, {cds, tmp}},
        {Step::BackupMade, false, {bak, cds, tmp}},
        {Step::Replaced, true, {bak, cds}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.step));
        QTemporaryDir dir;
        const QString file = dir.filePath(cds);
        DataSet old;
        makeTable(old, 2, QStringLiteral("old"));
        TTovCds::SaveToFile(old, file);
        DataSet fresh;
        makeTable(fresh, 4, QStringLiteral("fresh"));
        fresh.appendRecord({5, QStringLiteral("pending")});
        {
            KillAt kill(c.step);
            EXPECT_THROW(TTovCds::SaveToFile(fresh, file), Killed);
        }
        EXPECT_EQ(leftOver(dir), c.left);
        EXPECT_EQ(loaded(file), c.saved ? fresh.records() : old.records());
        if (c.left.contains(bak)) {
            EXPECT_EQ(loaded(dir.filePath(bak)), old.records()) << "the backup is the previous version";
        }
        EXPECT_GT(fresh.changeCount(), 0) << "a save that did not finish merges nothing";

        TTovCds::SaveToFile(fresh, file);
        EXPECT_EQ(entries(dir), QStringList{cds});
        EXPECT_EQ(loaded(file), fresh.records());
        EXPECT_EQ(fresh.changeCount(), 0);
    }
}

TEST(LoadFromFile, AMissingFileIsLoadedFromItsBackupSayingSo)
{
    // What a save of an earlier version of the programs left when it died
    // between moving the file to its backup and the new file into place.
    RecordingServicesScope services;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("TEMENSPAR.XML"));
    const QString backup = dir.filePath(QStringLiteral("TEMENSPAR.BAK"));
    DataSet old;
    makeTable(old, 3, QStringLiteral("old"));
    platform::DataSetFile::saveToFile(old, backup);
    QFile half(dir.filePath(QStringLiteral("TEMENSPAR.XML.a1B2c3.tmp")));
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write("half written");
    half.close();

    EXPECT_TRUE(TTovCds::FileExists(file));
    EXPECT_FALSE(TTovCds::FileExists(dir.filePath(QStringLiteral("ALTRO.cds"))));
    EXPECT_EQ(loaded(file), old.records());
    EXPECT_EQ(services->messageTexts(),
              QStringList{QStringLiteral("Il file \"%1\" non è stato trovato: sono stati caricati i dati della sua "
                                         "copia \"%2\", lasciata da un salvataggio non concluso. Il file sarà "
                                         "riscritto al prossimo salvataggio.")
                              .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(backup))});
    EXPECT_EQ(services->messages().at(0).type, platform::MessageType::Warning);

    // The next save writes the file; the backup and the half-written file go.
    DataSet fresh;
    makeTable(fresh, 1, QStringLiteral("fresh"));
    TTovCds::SaveToFile(fresh, file);
    EXPECT_EQ(entries(dir), QStringList{QStringLiteral("TEMENSPAR.XML")});
    EXPECT_EQ(loaded(file), fresh.records());
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
