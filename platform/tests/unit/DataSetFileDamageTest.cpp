// Damaged, truncated and foreign dataset files: each must fail with an
// EDataSetError naming the file and leave the target dataset as it was.
#include "DataSetFileTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <random>

using namespace platform;
using namespace dsfile_test;

namespace {

// Loads `bytes` into a prepared target and checks the failure.
::testing::AssertionResult refusedCleanly(const QByteArray &bytes, const QString &name,
                                          DataSetFileFormat format = DataSetFileFormat::Auto)
{
    DataSet target(QStringLiteral("bersaglio"));
    fillTarget(target);
    const Snapshot before = Snapshot::of(target);
    ::testing::AssertionResult r = failsNaming([&] { DataSetFile::loadFromBlob(target, bytes, name, format); }, name);
    if (!r)
        return r;
    if (!(Snapshot::of(target) == before))
        return ::testing::AssertionFailure() << "the target changed";
    return ::testing::AssertionSuccess();
}

// The binary file with its length and checksum made right again, so that
// the reader gets past them to the damaged content.
QByteArray reseal(QByteArray f)
{
    if (f.size() < 20)
        return f;
    qToLittleEndian<quint32>(quint32(f.size() - 20), f.data() + 12);
    qToLittleEndian<quint32>(DataSetFile::checksum(f.constData(), f.size() - 4), f.data() + f.size() - 4);
    return f;
}

TEST(DataSetFileDamage, EveryTruncationOfABinaryFileFails)
{
    const QByteArray f = smallBinaryFile();
    ASSERT_GT(f.size(), 40);
    for (qsizetype n = 0; n < f.size(); ++n)
        EXPECT_TRUE(refusedCleanly(f.left(n), QStringLiteral("TEAM_ANNOMESE.cds"))) << "length " << n;
}

TEST(DataSetFileDamage, EveryTruncationOfAnXmlFileFails)
{
    const QByteArray f = smallXmlFile();
    const qsizetype end = f.indexOf("</DataSet>") + qsizetype(strlen("</DataSet>"));
    for (qsizetype n = 0; n < end; ++n)
        EXPECT_TRUE(refusedCleanly(f.left(n), QStringLiteral("TEMENSPAR.XML"))) << "length " << n;
}

TEST(DataSetFileDamage, EveryFlippedByteOfABinaryFileFails)
{
    const QByteArray f = smallBinaryFile();
    for (qsizetype i = 0; i < f.size(); ++i) {
        for (char mask : {char(0x01), char(0x80), char(0xFF)}) {
            QByteArray d = f;
            d[i] = char(d[i] ^ mask);
            EXPECT_TRUE(refusedCleanly(d, QStringLiteral("codici.cds")))
                << "byte " << i << " mask " << int(uchar(mask));
        }
    }
}

TEST(DataSetFileDamage, FlippedBytesOfAnXmlFileFailCleanlyOrLoad)
{
    // A flipped letter inside a text value still makes a dataset file; what
    // matters is that nothing else happens than a clean load or a clean error.
    const QByteArray f = smallXmlFile();
    int refused = 0;
    for (qsizetype i = 0; i < f.size(); ++i) {
        QByteArray d = f;
        d[i] = char(d[i] ^ 0x20);
        DataSet target;
        fillTarget(target);
        const Snapshot before = Snapshot::of(target);
        try {
            DataSetFile::loadFromBlob(target, d, QStringLiteral("x.xml"));
        } catch (const EDataSetError &e) {
            ++refused;
            EXPECT_TRUE(e.message().contains(QStringLiteral("'x.xml'"))) << e.what();
            EXPECT_TRUE(Snapshot::of(target) == before) << "byte " << i;
        }
    }
    EXPECT_GT(refused, f.size() / 2);
}

TEST(DataSetFileDamage, BinaryFilesForgedPastTheChecksumFailOnTheirContent)
{
    const QByteArray f = smallBinaryFile();
    // Fields start at 20: count, then "A" (length, byte), type, size, flags.
    struct Patch {
        qsizetype at;
        QByteArray bytes;
        const char *says;
    } patches[] = {
        {16, QByteArray("\xFF\xFF\xFF\xFF", 4), "numero dei campi"}, // a huge field count
        {16, QByteArray("\0\0\0\0", 4), "numero dei campi"},         // no field
        {20, QByteArray("\xF0\xFF\xFF\x7F", 4), "oltre la fine"},    // a huge name length
        {25, QByteArray("\x2A", 1), "tipo 42"},                      // an unknown type
        {30, QByteArray("\x80", 1), "opzioni"},                      // unknown flags
        {10, QByteArray("\1\0", 2), "opzioni del formato"},          // unknown header flags
    };
    for (const Patch &p : patches) {
        QByteArray d = f;
        d.replace(p.at, p.bytes.size(), p.bytes);
        d = reseal(d);
        DataSet target;
        fillTarget(target);
        try {
            DataSetFile::loadFromBlob(target, d, QStringLiteral("forgiato.cds"));
            ADD_FAILURE() << "accepted patch at " << p.at;
        } catch (const EDataSetError &e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(p.says))) << p.at << ": " << e.what();
            EXPECT_TRUE(e.message().contains(QStringLiteral("'forgiato.cds'"))) << e.what();
        }
    }
    // Extra bytes after the records.
    EXPECT_TRUE(refusedCleanly(reseal(f.left(f.size() - 4) + QByteArray("\0\0\0\0\0", 5)), QStringLiteral("coda.cds")));
}

TEST(DataSetFileDamage, HugeDeclaredLengthsAllocateNothing)
{
    // A body length of 4 GiB in a file of a few bytes.
    QByteArray f = smallBinaryFile();
    qToLittleEndian<quint32>(0xFFFFFFF0u, f.data() + 12);
    EXPECT_TRUE(refusedCleanly(f, QStringLiteral("enorme.cds")));

    // A huge record count and a huge blob length, past a right checksum.
    DataSetContent c;
    c.fieldDefs = {{QStringLiteral("B"), FieldType::Blob}};
    c.properties = {{}};
    c.rows = {{Value(QByteArray("abc"))}};
    const QByteArray small = DataSetFile::encode(c);
    // ... 4 field count, 4+1 name, 1 type, 4 size, 1 flags, 3 x 4 texts, 4 index, 4 rows, 1 mask, 4 blob length
    const qsizetype rowsAt = 16 + 4 + 5 + 1 + 4 + 1 + 12 + 4;
    ASSERT_EQ(qFromLittleEndian<quint32>(small.constData() + rowsAt), 1u);
    QByteArray manyRows = small;
    qToLittleEndian<quint32>(0xFFFFFFFFu, manyRows.data() + rowsAt);
    EXPECT_TRUE(refusedCleanly(reseal(manyRows), QStringLiteral("righe.cds")));
    QByteArray bigBlob = small;
    qToLittleEndian<quint32>(0x7FFFFFFFu, bigBlob.data() + rowsAt + 5);
    EXPECT_TRUE(refusedCleanly(reseal(bigBlob), QStringLiteral("blob.cds")));
}

TEST(DataSetFileDamage, ForeignFilesFail)
{
    std::mt19937 rng(20240229);
    QByteArray random;
    for (int i = 0; i < 4096; ++i)
        random.append(char(rng()));
    random[0] = 'x'; // neither magic nor "<"
    const QByteArray foreign[] = {
        QByteArray(),
        QByteArray("\n"),
        random,
        QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16),
        QByteArray("\x89ZD", 3),
        QByteArray("PK\3\4 not a dataset"),
        QByteArray("<html><body>Pagina</body></html>"),
        QByteArray("<?xml version=\"1.0\"?><DenunceMensili><DatiMittente/></DenunceMensili>"),
        QByteArray("<DataSet><Campi/></DataSet>"),
        QByteArray("<DataSet>"),
        QByteArray("<"),
        QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\"?>"),
        QByteArray(
            "  \r\n<DataSet><Fields><Field name=\"A\" type=\"Integer\"/></Fields><Rows><Row A=\"1\"></Rows></DataSet>"),
    };
    for (const QByteArray &b : foreign)
        EXPECT_TRUE(refusedCleanly(b, QStringLiteral("estraneo.bin"))) << b.left(40).toHex().constData();
}

TEST(DataSetFileDamage, DamagedFilesOnDiskNameTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TWUNDMAPAR.XML"));
    QByteArray f = smallBinaryFile();
    f[f.size() / 2] = char(f[f.size() / 2] ^ 0x10);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(f);
    out.close();
    DataSet target;
    fillTarget(target);
    const Snapshot before = Snapshot::of(target);
    EXPECT_TRUE(failsNaming([&] { DataSetFile::loadFromFile(target, path); }, path));
    EXPECT_TRUE(Snapshot::of(target) == before);
    // A folder is not a file.
    EXPECT_TRUE(failsNaming([&] { DataSetFile::loadFromFile(target, dir.path()); }, dir.path()));
    EXPECT_TRUE(Snapshot::of(target) == before);
}

TEST(DataSetFileDamage, NewerFormatVersionsAreNamed)
{
    QByteArray f = smallBinaryFile();
    f[8] = 2;
    try {
        DataSetFile::decode(reseal(f), QStringLiteral("nuovo.cds"));
        ADD_FAILURE() << "accepted";
    } catch (const EDataSetError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("versione 2"))) << e.what();
    }
}

} // namespace
