// The catalogue's files: compiling the XML source, loading the binary
// catalogue, its certificate, and the catalogue the build compiles.
#include "tovCQueryText.h"

#include "Exceptions.h"
#include "SqlQuery.h"
#include "TovUCert.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString CertificateMessage = QStringLiteral("Certificato query non trovato od errato.");

QString catalogueXml(const QString &rows)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<DataSet version=\"1\"><Fields>"
                          "<Field name=\"Query\" type=\"String\" size=\"60\"/>"
                          "<Field name=\"Tipo\" type=\"String\" size=\"20\"/>"
                          "<Field name=\"Indice\" type=\"Integer\"/>"
                          "<Field name=\"SQL\" type=\"Memo\"/>"
                          "</Fields><Rows>")
           + rows + QStringLiteral("</Rows></DataSet>\n");
}

QString xmlRow(const QString &query, const QString &kind, int index, const QString &sql)
{
    return QStringLiteral("<Row><Query>%1</Query><Tipo>%2</Tipo><Indice>%3</Indice><SQL>%4</SQL></Row>")
        .arg(query, kind)
        .arg(index)
        .arg(sql.toHtmlEscaped());
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const TovProgramInfo ZepUni{QStringLiteral("zepUni"), QStringLiteral("22.0.8"), QStringLiteral("Zep UniEmens")};

class CatalogueFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        xml = dir.filePath(QStringLiteral("wun_QueryText.xml"));
        cds = dir.filePath(QStringLiteral("wun_QueryText.cds"));
        unxc = dir.filePath(QStringLiteral("wun_QueryText.unxc"));
        writeFile(xml, catalogueXml(xmlRow(QStringLiteral("VER_ZEPUNI"), QStringLiteral("22.0.5"), 0, {})
                                    + xmlRow(QStringLiteral("QRY_A"), QStringLiteral("SELECT"), 0,
                                             QStringLiteral("SELECT 1 FROM T WHERE X < :X")))
                           .toUtf8());
    }
    // Compiles the source over an existing, writable target.
    void compile()
    {
        writeFile(cds, {});
        TTovQueryText compiler;
        compiler.CompileQueries(xml);
    }
    QTemporaryDir dir;
    QString xml, cds, unxc;
};

TEST_F(CatalogueFiles, CompileWritesTheCatalogueAndACertificateThatPasses)
{
    compile();
    ASSERT_TRUE(QFileInfo::exists(unxc));
    const QByteArray certificate = readFile(unxc);
    EXPECT_TRUE(certificate.endsWith("\r\n"));
    EXPECT_EQ(certificate.count('\n'), 1);

    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    catalogue.LoadQueries(cds);
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_A"), QStringLiteral("SELECT")),
              QStringLiteral("SELECT 1 FROM T WHERE X < :X"));
    EXPECT_EQ(catalogue.CheckProgramMessage(QStringLiteral("zepUni"), ZepUni), QString());
    // The certificate is kept for one check only.
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), ZepUni), CertificateMessage);
}

TEST_F(CatalogueFiles, CompileRefusesAMissingTargetButKeepsTheSourceLoaded)
{
    TTovQueryText catalogue;
    catalogue.CompileQueries(xml);
    EXPECT_FALSE(QFileInfo::exists(cds));
    EXPECT_FALSE(QFileInfo::exists(unxc));
    EXPECT_EQ(catalogue.GetSQL(QStringLiteral("QRY_A"), QStringLiteral("SELECT")),
              QStringLiteral("SELECT 1 FROM T WHERE X < :X"));
}

TEST_F(CatalogueFiles, CompileRefusesAReadOnlyTarget)
{
    writeFile(cds, "released");
    ASSERT_TRUE(QFile::setPermissions(cds, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    TTovQueryText catalogue;
    catalogue.CompileQueries(xml);
    EXPECT_EQ(readFile(cds), QByteArray("released"));
    EXPECT_FALSE(QFileInfo::exists(unxc));
    EXPECT_EQ(catalogue.recordCount(), 2);
}

TEST_F(CatalogueFiles, MissingCertificateFails)
{
    compile();
    QFile::remove(unxc);
    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    catalogue.LoadQueries(cds);
    EXPECT_EQ(catalogue.CheckProgramMessage(QStringLiteral("zepUni"), ZepUni),
              CertificateMessage + QStringLiteral(" Aggiornare il programma \"zepUni\""));
}

TEST_F(CatalogueFiles, ACatalogueChangedAfterItsCertificateFails)
{
    compile();
    const QByteArray oldCertificate = readFile(unxc);
    // A new statement compiled into the catalogue, the old certificate put back.
    writeFile(xml, catalogueXml(
                       xmlRow(QStringLiteral("VER_ZEPUNI"), QStringLiteral("22.0.5"), 0, {})
                       + xmlRow(QStringLiteral("QRY_A"), QStringLiteral("SELECT"), 0, QStringLiteral("DELETE FROM T")))
                       .toUtf8());
    compile();
    ASSERT_NE(readFile(unxc), oldCertificate);
    writeFile(unxc, oldCertificate);

    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    catalogue.LoadQueries(cds);
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), ZepUni), CertificateMessage);
}

TEST_F(CatalogueFiles, AChangedCertificateFails)
{
    compile();
    QByteArray certificate = readFile(unxc);
    certificate[0] = certificate[0] == 'A' ? 'B' : 'A';
    writeFile(unxc, certificate);
    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    catalogue.LoadQueries(cds);
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), ZepUni), CertificateMessage);
}

TEST_F(CatalogueFiles, CertificateFailureIsReportedBeforeTheVersion)
{
    compile();
    QFile::remove(unxc);
    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    catalogue.LoadQueries(cds);
    const TovProgramInfo old{QStringLiteral("zepUni"), QStringLiteral("1.0.0"), QStringLiteral("Zep")};
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), old), CertificateMessage);
}

TEST_F(CatalogueFiles, WithTheCheckOffOnlyTheVersionCounts)
{
    compile();
    QFile::remove(unxc);
    TTovQueryText catalogue;
    catalogue.LoadQueries(cds);
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), ZepUni), QString());
    const TovProgramInfo old{QStringLiteral("zepUni"), QStringLiteral("22.0.4"), QStringLiteral("Zep UniEmens")};
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), old),
              QStringLiteral("AGGIORNARE IL PROGRAMMA \"Zep UniEmens\".\r\nVersione minima richiesta: 22.0.5."));
}

TEST_F(CatalogueFiles, LoadErrorsReachTheCallerAndKeepNoCertificate)
{
    writeFile(cds, "this is no catalogue");
    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    EXPECT_THROW(catalogue.LoadQueries(cds), platform::EDataSetError);
    EXPECT_EQ(catalogue.CheckProgramMessage(QString(), ZepUni), CertificateMessage);
    EXPECT_THROW(catalogue.LoadQueries(dir.filePath(QStringLiteral("none.cds"))), platform::EDataSetError);
}

// ---- the catalogue of the build ------------------------------------------------

QString buildDir()
{
    return QStringLiteral(ZEP_TEST_BUILD_DIR);
}

TEST(BuiltCatalogue, LoadsWithItsCertificateAndPassesTheCheckOfEveryProgram)
{
    const QString cds = buildDir() + QStringLiteral("/etc/wun/wun_QueryText.cds");
    ASSERT_TRUE(QFileInfo::exists(cds)) << qPrintable(cds);
    ASSERT_TRUE(QFileInfo::exists(buildDir() + QStringLiteral("/etc/wun/wun_QueryText.unxc")));

    for (const char *program : {"zepUni", "zepdb", "zep"}) {
        TTovQueryText catalogue;
        catalogue.SetCheckCertificate(true);
        catalogue.LoadQueries(cds);
        const TovProgramInfo info{QString::fromLatin1(program), QStringLiteral(ZEP_PROJECT_VERSION),
                                  QString::fromLatin1(program)};
        EXPECT_EQ(catalogue.CheckProgramMessage(QString::fromLatin1(program), info), QString()) << program;
    }
}

TEST(BuiltCatalogue, TheSourcePathIsFixedAtBuildTime)
{
    EXPECT_TRUE(QFileInfo::exists(TTovQueryText::SourceFileName())) << qPrintable(TTovQueryText::SourceFileName());
    EXPECT_TRUE(TTovQueryText::SourceFileName().endsWith(QStringLiteral("/etc/wun/wun_QueryText.xml")));
}

} // namespace
