#include "PayrollTestSupport.h"

#include "ArchiveTestSupport.h"
#include "WunUUtil.h"
#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "SqlQuery.h"
#include "TovUCert.h"
#include "tovCQueryText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace payrolltest {

void loadCatalogueSource()
{
    TTovQueryText &catalogue = TovQueryText();
    catalogue.SetCheckCertificate(false);
    platform::DataSetFile::loadFromFile(catalogue, archivetest::sourcePath(QStringLiteral("etc/wun/wun_QueryText.xml")),
                                        platform::DataSetFileFormat::Xml);
}

TempInstallation::TempInstallation(const QString &minimumVersion)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    for (const QString &f : {bin(), etc(), usr(), root() + QStringLiteral("/data")})
        QDir().mkpath(f);

    // The catalogue as the build compiles it, plus the version row of the
    // test program (the check looks for "VER_" + the program file's name).
    platform::DataSet source;
    platform::DataSetFile::loadFromFile(source, archivetest::sourcePath(QStringLiteral("etc/wun/wun_QueryText.xml")),
                                        platform::DataSetFileFormat::Xml);
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
    source.appendRecord({QStringLiteral("VER_") + program, minimumVersion, 0, platform::Value::null()});
    source.mergeChangeLog();
    platform::DataSetFile::saveToFile(source, catalogue(), platform::DataSetFileFormat::Binary);
    TTovCert::WriteTextFile(TTovCert::FileCertificate(catalogue()), certificate());

    QFile::copy(archivetest::sourcePath(QStringLiteral("etc/wun/wun_Report.xml")),
                etc() + QStringLiteral("/wun_Report.xml"));
    TWunUtil::SetCartellaProgramma(bin());
}

TempInstallation::~TempInstallation()
{
    TWunUtil::SetCartellaProgramma(QString());
}

void TempInstallation::spoilCertificate() const
{
    TTovCert::WriteTextFile(QStringLiteral("0000000000"), certificate());
}

std::unique_ptr<TempDatabase> demoArchive()
{
    const auto demo = [](platform::Database &db) {
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.seed = 7;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = 11;
        o.toMonth = 12;
        payroll::DemoArchive::fill(db, o);
    };
    return std::make_unique<TempDatabase>(TempDatabase::Template{payroll::ArchiveScripts::all(), "demoArchive", demo});
}

platform::Value scalar(platform::Database &db, const QString &sql)
{
    platform::SqlQuery q(db);
    q.setSql(sql);
    q.open();
    return q.eof() ? platform::Value::null() : q.value(0);
}

TempDatabase *DemoArchiveSuite::s_db = nullptr;

void DemoArchiveSuite::SetUpTestSuite()
{
    s_db = demoArchive().release();
    loadCatalogueSource();
}

void DemoArchiveSuite::TearDownTestSuite()
{
    delete s_db;
    s_db = nullptr;
}

void DemoArchiveSuite::SetUp()
{
    platform::Database::setGlobal(&s_db->db());
}

void DemoArchiveSuite::TearDown()
{
    platform::Database::setGlobal(nullptr);
}

} // namespace payrolltest
