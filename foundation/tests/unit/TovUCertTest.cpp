#include "TovUCert.h"

#include "Exceptions.h"
#include "Krypto.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
    return f.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    ASSERT_EQ(f.write(bytes), bytes.size());
}

TEST(TextFiles, WriteEndsEveryLineWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.unxc"));
    TTovCert::WriteTextFile(QStringLiteral("ABC"), path);
    EXPECT_EQ(readBytes(path), QByteArray("ABC\r\n"));

    TTovCert::WriteTextFile(QStringLiteral("uno\ndue\r\ntre\r\n"), path);
    EXPECT_EQ(readBytes(path), QByteArray("uno\r\ndue\r\ntre\r\n"));

    TTovCert::WriteTextFile(QString(), path);
    EXPECT_EQ(readBytes(path), QByteArray());
}

TEST(TextFiles, ReadGivesLinesEachEndedByCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.txt"));
    writeBytes(path, "uno\ndue\rtre");
    EXPECT_EQ(TTovCert::ReadTextFile(path), QStringLiteral("uno\r\ndue\r\ntre\r\n"));
    writeBytes(path, "uno\r\n\r\n");
    EXPECT_EQ(TTovCert::ReadTextFile(path), QStringLiteral("uno\r\n\r\n"));
    writeBytes(path, QString::fromUtf8("perché\r\n").toUtf8());
    EXPECT_EQ(TTovCert::ReadTextFile(path), QString::fromUtf8("perché\r\n"));
}

TEST(TextFiles, MissingFileReadsEmptyUnwritableTargetRaises)
{
    QTemporaryDir dir;
    EXPECT_EQ(TTovCert::ReadTextFile(dir.filePath(QStringLiteral("none.unxc"))), QString());
    EXPECT_THROW(TTovCert::WriteTextFile(QStringLiteral("x"), dir.filePath(QStringLiteral("no/such/dir/x.unxc"))),
                 platform::Exception);
}

TEST(Certificate, OneLineOf32LettersDeterminedByTextAndKey)
{
    const QString a = TTovCert::TextCertificate(QStringLiteral("SELECT 1\r\n"));
    EXPECT_EQ(a.size(), 32);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{32}$")).match(a).hasMatch()) << qPrintable(a);
    EXPECT_EQ(a, TTovCert::TextCertificate(QStringLiteral("SELECT 1\r\n")));
    EXPECT_NE(a, TTovCert::TextCertificate(QStringLiteral("SELECT 2\r\n")));
    EXPECT_NE(a, TTovCert::TextCertificate(QStringLiteral("SELECT 1\r\n\r\n")));
    EXPECT_NE(TTovCert::TextCertificate(QString()), QString());

    // The key takes part: the same text under another key differs.
    QString other;
    Krypto(QStringLiteral("SELECT 1\r\n"), QStringLiteral("toRiVeLaMo"), 32, other, QLatin1Char('Z'), QLatin1Char('A'));
    EXPECT_NE(a, other);
}

TEST(Certificate, KryptoLengthAndRange)
{
    QString r;
    Krypto(QStringLiteral("x"), TTovCert::Key, 100, r, QLatin1Char('9'), QLatin1Char('0'));
    EXPECT_EQ(r.size(), 100);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]{100}$")).match(r).hasMatch()) << qPrintable(r);
    QString prefix;
    Krypto(QStringLiteral("x"), TTovCert::Key, 10, prefix, QLatin1Char('9'), QLatin1Char('0'));
    EXPECT_EQ(prefix, r.left(10));
    EXPECT_THROW(Krypto(QStringLiteral("x"), TTovCert::Key, 0, r, QLatin1Char('Z'), QLatin1Char('A')),
                 platform::EAssertionFailed);
    EXPECT_THROW(Krypto(QStringLiteral("x"), TTovCert::Key, 4, r, QLatin1Char('\n'), QLatin1Char('A')),
                 platform::EAssertionFailed);
}

TEST(Certificate, FileCertificateIsTheCertificateOfItsLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.txt"));
    writeBytes(path, "riga uno\nriga due");
    EXPECT_EQ(TTovCert::FileCertificate(path), TTovCert::TextCertificate(QStringLiteral("riga uno\r\nriga due\r\n")));
    // Written through WriteTextFile, a text certifies the same as the file.
    TTovCert::WriteTextFile(QStringLiteral("riga uno\r\nriga due"), path);
    EXPECT_EQ(TTovCert::FileCertificate(path), TTovCert::TextCertificate(TTovCert::ReadTextFile(path)));
}

TEST(Certificate, EveryByteOfABinaryFileCounts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.cds"));
    QByteArray bytes;
    for (int i = 0; i < 512; ++i)
        bytes += char(i * 7 % 256);
    bytes[3] = '\0';
    writeBytes(path, bytes);
    const QString original = TTovCert::FileCertificate(path);

    // A change after a NUL byte, and a change between two bytes that are
    // not valid UTF-8, both change the certificate.
    for (int pos : {10, 200, 511}) {
        QByteArray changed = bytes;
        changed[pos] = char(changed[pos] ^ 0x01);
        if (changed[pos] == '\r' || changed[pos] == '\n' || bytes[pos] == '\r' || bytes[pos] == '\n')
            continue;
        writeBytes(path, changed);
        EXPECT_NE(TTovCert::FileCertificate(path), original) << pos;
    }
    QByteArray high = bytes;
    high[100] = char(0xFE);
    writeBytes(path, high);
    const QString withFE = TTovCert::FileCertificate(path);
    high[100] = char(0xFF);
    writeBytes(path, high);
    EXPECT_NE(TTovCert::FileCertificate(path), withFE);
}

TEST(Certificate, MissingFileRaises)
{
    QTemporaryDir dir;
    EXPECT_THROW(TTovCert::FileCertificate(dir.filePath(QStringLiteral("none.cds"))), platform::Exception);
}

} // namespace
