#pragma once
// An installation of a declaration program like the build tree, in a
// temporary folder: <root>/bin the program folder, <root>/etc/wun the
// compiled catalogue (with the version row of the running test program and
// its certificate) and the connection file naming the archive.
#include "DataSet.h"
#include "DataSetFile.h"
#include "RecordingServices.h"
#include "TovUCert.h"
#include "UqConnection.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "wunMConnessione.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace periodtest {

inline QString sourcePath(const QString &relative)
{
    const QString root = QStringLiteral(ZEP_TEST_SOURCE_DIR);
    return QDir(root).filePath(relative);
}

class Installation {
public:
    explicit Installation(RecordingServices &services)
    {
        for (const QString &f : {bin(), etc(), root() + QStringLiteral("/data")})
            QDir().mkpath(f);
        platform::DataSet catalogue;
        platform::DataSetFile::loadFromFile(catalogue, sourcePath(QStringLiteral("etc/wun/wun_QueryText.xml")),
                                            platform::DataSetFileFormat::Xml);
        const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
        catalogue.appendRecord({QStringLiteral("VER_") + program, QStringLiteral("1.0.0"), 0, platform::Value::null()});
        catalogue.mergeChangeLog();
        const QString cds = etc() + QStringLiteral("/wun_QueryText.cds");
        platform::DataSetFile::saveToFile(catalogue, cds, platform::DataSetFileFormat::Binary);
        TTovCert::WriteTextFile(TTovCert::FileCertificate(cds), etc() + QStringLiteral("/wun_QueryText.unxc"));

        services.setMainFolder(root() + QLatin1Char('/'));
        TWunUtil::SetCartellaProgramma(bin());
        TdmwunConnessione::SetSorgenteCatalogo(QString());
    }
    ~Installation()
    {
        TdmwunConnessione::RipristinaSorgenteCatalogo();
        TWunUtil::SetCartellaProgramma(QString());
        TTovQueryText &catalogue = TovQueryText();
        catalogue.SetCheckCertificate(false);
        platform::DataSetFile::loadFromFile(catalogue, sourcePath(QStringLiteral("etc/wun/wun_QueryText.xml")),
                                            platform::DataSetFileFormat::Xml);
    }

    QString root() const { return m_dir.path(); }
    QString bin() const { return root() + QStringLiteral("/bin"); }
    QString etc() const { return root() + QStringLiteral("/etc/wun"); }
    QString archive() const { return root() + QStringLiteral("/data/zep.fdb"); }
    QString base() const { return QFileInfo(root()).canonicalFilePath() + QLatin1Char('/'); }

    void useArchive(const QString &file) const
    {
        platform::ConnectionSettings s;
        s.database = file;
        s.save(etc() + QStringLiteral("/Database.ini"));
    }

private:
    QTemporaryDir m_dir;
};

} // namespace periodtest
