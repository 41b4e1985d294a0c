// The parameters module: the company parameters of the working year, the
// chart-of-accounts check and the value check of the year combo, with a fake
// update tool (a shell script the test writes, started through the real
// desktop service).
#include "PayrollTestSupport.h"
#include "RecordingServices.h"
#include "WunUUtil.h"
#include "wunMConnessione.h"
#include "wunMParams.h"

#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <functional>

using platform::Value;

namespace {

// Records like RecordingServices, but really starts what it is asked to
// (the fake tool), then does what the real tool would have done to the
// archive.
class ToolServices : public RecordingServices {
public:
    std::function<void()> toolWork;
    void openDocument(const platform::ShellRequest &request) override
    {
        RecordingServices::openDocument(request);
        platform::CoreServices().openDocument(request);
        if (toolWork)
            toolWork();
    }
};

class ToolServicesScope {
public:
    explicit ToolServicesScope(const QString &mainFolder)
    {
        auto s = std::make_unique<ToolServices>();
        services = s.get();
        services->setMainFolder(mainFolder);
        services->setProgramVersion(QStringLiteral("1.0.0"));
        m_previous = platform::Services::install(std::move(s));
    }
    ~ToolServicesScope() { platform::Services::install(std::move(m_previous)); }
    ToolServices *services;

private:
    std::unique_ptr<platform::Services> m_previous;
};

} // namespace

class WunParams : public ::testing::Test {
protected:
    void SetUp() override
    {
        TdmwunConnessione::SetSorgenteCatalogo(QString());
        inst = std::make_unique<payrolltest::TempInstallation>();
        scope = std::make_unique<ToolServicesScope>(inst->root());
        tdb = payrolltest::demoArchive();
        conn = std::make_unique<TdmwunConnessione>();
        conn->SetSettings(tdb->settings());
        conn->DataModuleCreate();
        ASSERT_TRUE(conn->ApriDatabase()) << services().messageTexts().join("\n").toStdString();
        params = std::make_unique<TdmWunParams>();
        params->DataModuleCreate();
        params->xpmUquParams->SetParams(TdmWunParams::AnfIdParam, 55, TdmWunParams::ParamsGroup);
        params->xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
        params->xpmUquParams->SetParams("UQUP_Altro", 1, "UQUC_Altri");
        params->CambiaAnno(55);
        services().clear();
        for (const char *year : {"2018", "2019", "2024", "2025", "2026"})
            combo.addItem(year);
    }
    void TearDown() override
    {
        params.reset();
        conn.reset();
        tdb.reset();
        scope.reset();
        inst.reset();
        TdmwunConnessione::RipristinaSorgenteCatalogo();
        payrolltest::loadCatalogueSource();
    }

    ToolServices &services() { return *scope->services; }
    platform::Database &db() { return conn->xqoMain(); }
    Value scalar(const QString &sql) { return payrolltest::scalar(db(), sql); }

    bool check(const QString &year, const QString &param = TdmWunParams::AnfIdParam)
    {
        combo.setCurrentIndex(combo.findText(year));
        return params->xpmUquParams->CheckValue(&combo, param);
    }
    // The archive without the 2019 chart: no update marker, no accounts of
    // the two types, company parameter LPACOAFAM 0.
    void removeChartOfAccounts()
    {
        db().execute("DELETE FROM TNAF_PIANOCONTI");
        db().execute("UPDATE TPACO_PARAMCOMP SET LPACOAFAM = 0");
        params->CambiaAnno(55);
    }
    void setTool(const QString &command)
    {
        QFile f(inst->etc() + "/Aggiornamenti.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("; strumenti esterni\n[PianoConti2019]\nProgramma=" + command.toUtf8() + "\n");
    }
    // A tool that writes how many arguments it got and each of them.
    QString writeFakeTool(const QString &relative)
    {
        const QString file = inst->root() + "/" + relative;
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString("#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"%1\"\n")
                    .arg(toolLog())
                    .toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        return file;
    }
    QString toolLog() const { return inst->root() + "/tool.log"; }
    QStringList toolRun() const
    {
        QFile f(toolLog());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    std::unique_ptr<payrolltest::TempInstallation> inst;
    std::unique_ptr<ToolServicesScope> scope;
    std::unique_ptr<TempDatabase> tdb;
    std::unique_ptr<TdmwunConnessione> conn;
    std::unique_ptr<TdmWunParams> params;
    QComboBox combo;
};

TEST_F(WunParams, CompanyParametersFollowTheWorkingYear)
{
    TdmWunParams fresh;
    fresh.DataModuleCreate();
    EXPECT_TRUE(fresh.CampoPaco("SPACOMATRAZIENDA").isNull()) << "no year set: no row";
    EXPECT_FALSE(fresh.qquPaco().isActive()) << "the row is read, the statement not left open";

    const int project = scalar("SELECT IDWGANFID FROM TPACO_PARAMCOMP WHERE IANFID = 55").toInt();
    ASSERT_GT(project, 0);
    fresh.CambiaAnno(55);
    EXPECT_EQ(WunProgetto().Id(), project);
    EXPECT_EQ(fresh.CampoPaco("SPACOMATRAZIENDA").toString(), "1234567890");
    EXPECT_EQ(fresh.CampoPaco("LPACOAFAM").toInt(), 1);
    fresh.CambiaAnno(45);
    EXPECT_EQ(WunProgetto().Id(), scalar("SELECT IDWGANFID FROM TPACO_PARAMCOMP WHERE IANFID = 45").toInt());
    EXPECT_EQ(fresh.CampoPaco("LPACOAFAM").toInt(), 0);
    EXPECT_THROW(fresh.CampoPaco("NON_ESISTE"), platform::EDatabaseError) << "a column the row lacks";
    fresh.CambiaAnno(10);
    EXPECT_EQ(WunProgetto().Id(), 0) << "a year without company parameters has no project";
    EXPECT_TRUE(fresh.CampoPaco("LPACOAFAM").isNull());

    // A change of the company parameters is seen at the next change of year.
    db().execute("UPDATE TPACO_PARAMCOMP SET LPACOAFAM = 0 WHERE IANFID = 55");
    fresh.CambiaAnno(55);
    EXPECT_EQ(fresh.CampoPaco("LPACOAFAM").toInt(), 0);
}

TEST_F(WunParams, AccountsOfAType)
{
    EXPECT_TRUE(params->ContoPresente(200001));
    EXPECT_TRUE(params->ContoPresente(500001));
    EXPECT_FALSE(params->ContoPresente(999));
    EXPECT_FALSE(params->qquAppoggio().isActive());
}

TEST_F(WunParams, TheYearComboRefusesNoChoiceAndYearsAfter2025)
{
    combo.setCurrentIndex(-1);
    EXPECT_FALSE(params->xpmUquParams->CheckValue(&combo, TdmWunParams::AnfIdParam));
    EXPECT_FALSE(params->xpmUquParams->CheckValue(&combo, TdmWunParams::DwgIdParam)) << "every parameter of the group";
    EXPECT_TRUE(params->xpmUquParams->CheckValue(&combo, "UQUP_Altro")) << "another group is not checked";
    QObject notACombo;
    EXPECT_FALSE(params->xpmUquParams->CheckValue(&notACombo, TdmWunParams::AnfIdParam));

    EXPECT_FALSE(check("2026"));
    EXPECT_TRUE(check("2025"));
    EXPECT_TRUE(check("2019"));
    EXPECT_TRUE(check("2018"));
    EXPECT_TRUE(check("2026", TdmWunParams::DwgIdParam)) << "the year limit is the year parameter's only";
    EXPECT_TRUE(services().shellRequests().isEmpty()) << "the 2019 update is done: no tool";
    EXPECT_TRUE(services().messages().isEmpty());
}

TEST_F(WunParams, Before2019TheToolIsNeverStarted)
{
    removeChartOfAccounts();
    writeFakeTool("bin/aggiorna.sh");
    setTool("bin/aggiorna.sh");
    EXPECT_TRUE(check("2018"));
    EXPECT_TRUE(services().shellRequests().isEmpty());
    EXPECT_TRUE(toolRun().isEmpty());
}

TEST_F(WunParams, From2019TheToolRunsOnlyWhenTheChartIsMissing)
{
    writeFakeTool("bin/aggiorna.sh");
    setTool("bin/aggiorna.sh");

    // The update marker of 2019 alone is enough.
    db().execute("DELETE FROM TNAF_PIANOCONTI WHERE IANFID <> 50");
    db().execute("UPDATE TPACO_PARAMCOMP SET LPACOAFAM = 0");
    params->CambiaAnno(55);
    EXPECT_TRUE(check("2024"));
    EXPECT_TRUE(services().shellRequests().isEmpty());

    // Without the marker: the company parameter, then either account type.
    removeChartOfAccounts();
    db().execute("UPDATE TPACO_PARAMCOMP SET LPACOAFAM = 1 WHERE IANFID = 55");
    params->CambiaAnno(55);
    EXPECT_TRUE(check("2019"));
    db().execute("UPDATE TPACO_PARAMCOMP SET LPACOAFAM = 0");
    params->CambiaAnno(55);
    db().execute("INSERT INTO TNAF_PIANOCONTI (INAFID, IANFID, ITIMID, SNAFCODICE) VALUES (9001, 55, 500001, 'D.13')");
    EXPECT_TRUE(check("2025"));
    db().execute("DELETE FROM TNAF_PIANOCONTI");
    db().execute("INSERT INTO TNAF_PIANOCONTI (INAFID, IANFID, ITIMID, SNAFCODICE) VALUES (9002, 55, 200001, 'B.9.a')");
    EXPECT_TRUE(check("2025"));
    EXPECT_TRUE(services().shellRequests().isEmpty());
    EXPECT_TRUE(toolRun().isEmpty());
}

TEST_F(WunParams, TheToolGetsTheQuotedDatabaseNameAndTheAccountCheckDecides)
{
    removeChartOfAccounts();
    writeFakeTool("bin/aggiorna.sh");
    setTool("bin/aggiorna.sh");

    // The tool ran but brought nothing: refused.
    EXPECT_FALSE(check("2019"));
    ASSERT_EQ(services().shellRequests().size(), 1);
    const platform::ShellRequest &r = services().shellRequests().at(0);
    EXPECT_EQ(r.file, inst->root() + "/bin/aggiorna.sh");
    EXPECT_EQ(r.parameters, "\"" + tdb->filePath() + "\"");
    EXPECT_TRUE(r.wait);
    EXPECT_EQ(toolRun(), (QStringList{"1", tdb->filePath()})) << "one argument: the database name";
    EXPECT_TRUE(services().messages().isEmpty());
    EXPECT_EQ(services().waitCursorDepth(), 0);

    // The tool brings the 2019 chart: accepted.
    services().toolWork = [this] {
        db().execute(
            "INSERT INTO TNAF_PIANOCONTI (INAFID, IANFID, ITIMID, SNAFCODICE) VALUES (9003, 50, 200001, 'B.9.a')");
    };
    QFile::remove(toolLog());
    EXPECT_TRUE(check("2024"));
    EXPECT_EQ(services().shellRequests().size(), 2);
    EXPECT_FALSE(toolRun().isEmpty());

    // Done once: later choices need no tool.
    services().toolWork = nullptr;
    EXPECT_TRUE(check("2025"));
    EXPECT_EQ(services().shellRequests().size(), 2);
}

TEST_F(WunParams, AnUnsetToolIsNamedAndTheYearRefused)
{
    removeChartOfAccounts();
    ASSERT_EQ(TdmWunParams::ComandoPianoConti2019(), QString()) << "no setting: empty by default";
    EXPECT_FALSE(check("2019"));
    EXPECT_TRUE(services().shellRequests().isEmpty());
    ASSERT_EQ(services().messages().size(), 1);
    EXPECT_EQ(services().messages().at(0).type, platform::MessageType::Warning);
    EXPECT_EQ(services().messages().at(0).text,
              QString("Il piano dei conti 2019 non è presente nell'archivio e il programma che lo aggiorna non è "
                      "impostato (chiave \"Programma\" della sezione [PianoConti2019] del file \"%1\").")
                  .arg(QDir::toNativeSeparators(inst->etc() + "/Aggiornamenti.ini")));

    services().clear();
    setTool("  ");
    EXPECT_FALSE(check("2024"));
    EXPECT_EQ(services().messages().size(), 1);
}

TEST_F(WunParams, AToolThatCannotStartGivesAClearMessage)
{
    removeChartOfAccounts();
    setTool("bin/manca.sh");
    EXPECT_FALSE(check("2019"));
    ASSERT_EQ(services().messages().size(), 1);
    EXPECT_EQ(services().messages().at(0).type, platform::MessageType::Error);
    const QString text = services().messages().at(0).text;
    EXPECT_TRUE(text.startsWith("Impossibile avviare l'aggiornamento del piano dei conti 2019.\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("manca.sh")) << text.toStdString();
    EXPECT_EQ(services().waitCursorDepth(), 0);
}

TEST_F(WunParams, TheSettingIsReadWhateverItsCase)
{
    QFile f(inst->etc() + "/AGGIORNAMENTI.INI");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[pianoconti2019]\r\nprogramma = bin/aggiorna.sh \r\n");
    f.close();
    EXPECT_EQ(TdmWunParams::ComandoPianoConti2019(), "bin/aggiorna.sh");
}
