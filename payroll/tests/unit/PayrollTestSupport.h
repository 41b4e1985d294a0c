#pragma once
// Helpers of the payroll modules' tests: the catalogue source loaded into
// the run's catalogue, an installation folder of a test's own (program
// folder, etc/wun with a compiled catalogue, usr/wun) and a small demo
// archive.
#include "Database.h"
#include "TempDatabase.h"
#include "Value.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace payrolltest {

// Loads the catalogue source (etc/wun/wun_QueryText.xml of the source tree)
// into TovQueryText(), certificate check off.
void loadCatalogueSource();

// An installation laid out like the build tree in a temporary folder:
// <root>/bin is the program folder the payroll modules start from
// (TWunUtil::SetCartellaProgramma, put back at the end), <root>/etc/wun holds
// the compiled catalogue with a version row for this test program and its
// certificate, and the report layouts of the source tree; <root>/usr/wun
// and <root>/data are empty.
class TempInstallation {
public:
    // `minimumVersion`: the version row's minimum for the test program.
    explicit TempInstallation(const QString &minimumVersion = QStringLiteral("1.0.0"));
    ~TempInstallation();
    TempInstallation(const TempInstallation &) = delete;
    TempInstallation &operator=(const TempInstallation &) = delete;

    QString root() const { return m_dir.path(); }
    QString bin() const { return root() + QStringLiteral("/bin"); }
    QString etc() const { return root() + QStringLiteral("/etc/wun"); }
    QString usr() const { return root() + QStringLiteral("/usr/wun"); }
    QString catalogue() const { return etc() + QStringLiteral("/wun_QueryText.cds"); }
    QString certificate() const { return etc() + QStringLiteral("/wun_QueryText.unxc"); }

    // Writes a certificate that does not belong to the catalogue.
    void spoilCertificate() const;

private:
    QTemporaryDir m_dir;
};

// A payroll archive with forced writes off and the demo data of a few
// persons for November and December 2024 (every year 2010-2025 has its
// company parameters and chart of accounts).
std::unique_ptr<TempDatabase> demoArchive();

// One value of a statement without parameters.
platform::Value scalar(platform::Database &db, const QString &sql);

// The tests of a suite on one demo archive (demoArchive(), made once for the
// suite) with the catalogue source loaded; the archive is the global
// connection while each test runs.
class DemoArchiveSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static platform::Database &db() { return s_db->db(); }
    static platform::Value scalar(const QString &sql) { return payrolltest::scalar(db(), sql); }

private:
    static TempDatabase *s_db;
};

} // namespace payrolltest
