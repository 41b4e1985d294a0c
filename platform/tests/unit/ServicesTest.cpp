// Services, framework message boxes, the parameter manager and the
// connection module.
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TestPrinters.h"
#include "UqConnection.h"
#include "UqMessages.h"
#include "UqParams.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

using namespace platform;

TEST(Services, MessagesAreRecordedAndAnsweredFromTheScript)
{
    RecordingServicesScope services;
    services->replyToMessages({No});
    EXPECT_FALSE(UqAskYesNo("Continuare?"));
    // Unscripted: the default button.
    EXPECT_TRUE(UqAskYesNo("Procedere?"));
    EXPECT_FALSE(UqConfirmDelete()) << "the delete confirmation has No as default";
    EXPECT_EQ(UqMessageBox("Salvare prima di cambiare modello."), Ok);

    const auto &m = services->messages();
    ASSERT_EQ(m.size(), 4);
    EXPECT_EQ(m.at(0).type, MessageType::Question);
    EXPECT_EQ(m.at(0).buttons, Yes | No);
    EXPECT_EQ(m.at(2).defaultButton, No);
    EXPECT_EQ(m.at(3).text, "Salvare prima di cambiare modello.");
    EXPECT_EQ(m.at(3).caption, "");
    EXPECT_EQ(m.at(3).buttons, Ok);
}

TEST(Services, ExceptionsAreShownByKindAndTheSilentAbortNotAtAll)
{
    RecordingServicesScope services;
    UqShowException(EAbort());
    UqShowException(EUqWarning("Gruppo non impostato."));
    UqShowException(EDatabaseError("Table unknown"));
    UqShowException(std::runtime_error("boom"));
    const auto &m = services->messages();
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m.at(0).type, MessageType::Warning);
    EXPECT_EQ(m.at(0).text, "Gruppo non impostato.");
    EXPECT_EQ(m.at(1).type, MessageType::Error);
    EXPECT_EQ(m.at(1).text, "Table unknown");
    EXPECT_EQ(m.at(2).text, "boom");
}

TEST(Services, WaitCursorAndWaitFormAreUndoneAlsoWhenAnExceptionLeaves)
{
    RecordingServicesScope services;
    try {
        WaitCursor outer;
        WaitCursor inner(WaitCursorShape::SqlWait);
        WaitForm form("Attendere...", "Caricamento in corso...attendere.");
        EXPECT_EQ(services->waitCursorDepth(), 2);
        EXPECT_TRUE(services->waitFormVisible());
        throw std::runtime_error("load failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(services->waitCursorDepth(), 0);
    EXPECT_EQ(services->waitCursorPushes(), 2);
    EXPECT_FALSE(services->waitFormVisible());
    EXPECT_EQ(services->waitFormTexts(), QStringList{"Caricamento in corso...attendere."});
}

TEST(Services, MainFolderVersionAndShellRequestsGoThroughTheInstalledServices)
{
    RecordingServicesScope services;
    services->setMainFolder("/opt/zep");
    EXPECT_EQ(mainFolder(), "/opt/zep/");
    EXPECT_EQ(programVersion(), "1.0.0");
    Services::instance().openDocument({"News.pdf", {}, "/opt/zep/USR/UniEmens/Res", false});
    Services::instance().sleep(1000);
    ASSERT_EQ(services->shellRequests().size(), 1);
    EXPECT_EQ(services->shellRequests().at(0).file, "News.pdf");
    EXPECT_EQ(services->sleeps(), QList<int>{1000});
}

TEST(Services, TheCoreServicesRunAProgramAndRefuseAMissingFile)
{
    CoreServices desktop;
    QTemporaryDir dir;
    const QString script = dir.filePath("tool.sh");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/out.txt\"\n");
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    desktop.openDocument({"tool.sh", "\"/path with blanks/zep.fdb\"", dir.path(), true});
    QFile out(dir.filePath("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().trimmed(), "/path with blanks/zep.fdb");

    try {
        desktop.openDocument({"vortab2019.exe", {}, dir.path(), true});
        FAIL() << "a missing program must raise";
    } catch (const EUqError &e) {
        EXPECT_TRUE(e.message().contains("vortab2019.exe")) << e.what();
    }
}

TEST(Services, WithoutWindowsAMessageIsAnsweredAsABoxClosedWithoutAChoice)
{
    // No one can choose: the cautious answer, whatever the default button.
    CoreServices core;
    EXPECT_EQ(core.showMessage({"Confermi?", "Conferma", MessageType::Question, Yes | No, Yes}), No);
    EXPECT_EQ(core.showMessage({"Procedo?", {}, MessageType::Warning, Ok | Cancel, Ok}), Cancel);
    EXPECT_EQ(core.showMessage({"Fatto.", {}, MessageType::Information, Ok, NoButton}), Ok);
}

TEST(Services, TheMainFolderIsAboveABinFolder)
{
    CoreServices desktop;
    const QString expected = QDir(QCoreApplication::applicationDirPath()).dirName().compare("bin", Qt::CaseInsensitive)
                                     == 0
                                 ? QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..") + "/"
                                 : QCoreApplication::applicationDirPath() + "/";
    EXPECT_EQ(desktop.mainFolder(), expected);
    desktop.setMainFolder("C:\\Programmi\\Zep");
    EXPECT_EQ(desktop.mainFolder(), "C:/Programmi/Zep/");
}

TEST(ParamManager, UnsetParametersAreNullAndValuesSurviveTheFile)
{
    TUqParamManager pm;
    EXPECT_TRUE(pm.GetParams("UQUP_AnfId").isNull());
    EXPECT_EQ(pm.GetParamsInt("UQUP_AnfId", -1), -1);
    pm.SetParams("UQUP_AnfId", 55, "UQUC_Params");
    pm.SetParams("UQUP_AnsId", "54");
    pm.SetParams("UQUP_Data", QDate(2024, 3, 1));
    EXPECT_EQ(pm.GetParams("uqup_anfid"), Value(55));
    EXPECT_EQ(pm.GetParamsInt("UQUP_ANSID"), 54);
    EXPECT_EQ(pm.Group("UQUP_AnfId"), "UQUC_Params");

    QTemporaryDir dir;
    const QString file = dir.filePath("params.ini");
    pm.SaveToFile(file);
    TUqParamManager loaded;
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.GetParams("UQUP_AnfId"), Value(55));
    EXPECT_EQ(loaded.GetParams("UQUP_AnsId"), Value("54"));
    EXPECT_EQ(loaded.GetParams("UQUP_Data"), Value(QDate(2024, 3, 1)));
    EXPECT_EQ(loaded.Group("UQUP_AnfId"), "UQUC_Params");

    pm.SetParams("UQUP_AnfId", Value::null());
    EXPECT_FALSE(pm.HasParam("UQUP_AnfId"));
    pm.SetParams("UQUP_Nota", "a\n[G]\nUQUP_AnfId=Integer:1");
    EXPECT_THROW(pm.SaveToFile(file), EUqError) << "a value that would add lines";
    loaded.LoadFromFile(file);
    EXPECT_EQ(loaded.GetParams("UQUP_Data"), Value(QDate(2024, 3, 1))) << "the file is kept";

    QFile bad(dir.filePath("bad.ini"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("[G]\nUQUP_AnfId=Integer:abc\n");
    bad.close();
    EXPECT_THROW(loaded.LoadFromFile(bad.fileName()), EUqError);
}

TEST(ParamManager, TheCheckValueHandlerVetsAValue)
{
    TdmUquParams dm;
    TUqParamManager &pm = *dm.xpmUquParams;
    EXPECT_TRUE(pm.CheckValue(nullptr, "UQUP_AnfId"));
    pm.OnCheckValue = [](QObject *, const QString &param, bool &valid) { valid = param != "UQUP_AnfId"; };
    EXPECT_FALSE(pm.CheckValue(nullptr, "UQUP_AnfId"));
    EXPECT_TRUE(pm.CheckValue(nullptr, "UQUP_DwgId"));
}

TEST(ConnectionModule, OpensTheConfiguredArchiveAndMakesItTheGlobalConnection)
{
    RecordingServicesScope services;
    TempDatabase tdb({"CREATE TABLE T (A INTEGER)"});
    const QString etc = services->mainFolder() + "etc/wun";
    ASSERT_TRUE(QDir().mkpath(etc));
    tdb.settings().save(etc + "/Database.ini");

    TdmUqConnection conn;
    conn.CodAppl = "WUN";
    conn.DataModuleCreate();
    EXPECT_EQ(Database::global(), &conn.xqoMain());
    EXPECT_TRUE(conn.OpenConnection());
    EXPECT_TRUE(conn.Connected());
    SqlQuery q; // on the global connection
    q.setSql("SELECT COUNT(*) FROM T");
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 0);
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST(ConnectionModule, AFailedOpenTellsTheUserAndAnswersFalse)
{
    RecordingServicesScope services;
    TdmUqConnection conn;
    conn.DataModuleCreate();
    // No connection file: the default archive under the main folder, absent.
    EXPECT_FALSE(conn.OpenConnection());
    EXPECT_FALSE(conn.Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains("il file non esiste"))
        << services->messages().at(0).text.toStdString();
    EXPECT_EQ(services->messages().at(0).type, MessageType::Error);

    conn.BeforeConnect = [] { throw EUqError("Connessione al database non consentita"); };
    EXPECT_FALSE(conn.OpenConnection());
    EXPECT_EQ(services->messages().at(1).text, "Connessione al database non consentita");
}

TEST(ConnectionModule, WithASchemaAMissingArchiveIsCreatedAndANewerOneRefused)
{
    RecordingServicesScope services;
    TempDatabase::ensureLockFolder();
    QTemporaryDir dir;
    ConnectionSettings s;
    s.database = dir.filePath("nuovo.fdb");
    const DdlScript v1{"payroll", 1, "001_a.sql", "CREATE TABLE TA (A INTEGER);"};
    const DdlScript v2{"payroll", 2, "002_b.sql", "CREATE TABLE TB (B INTEGER);"};
    {
        TdmUqConnection conn;
        conn.SetSettings(s);
        conn.SetSchema(DatabaseCreator({v1, v2}));
        conn.DataModuleCreate();
        ASSERT_TRUE(conn.OpenConnection()) << services->messageTexts().join("\n").toStdString();
        EXPECT_EQ(DatabaseCreator::appliedScripts(conn.xqoMain()).size(), 2);
    }
    TdmUqConnection older;
    older.SetSettings(s);
    older.SetSchema(DatabaseCreator({v1}));
    EXPECT_FALSE(older.OpenConnection());
    EXPECT_FALSE(older.Connected());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().at(0).text.contains("versione più recente"))
        << services->messages().at(0).text.toStdString();
}
