// The link component: a parameter manager's values kept between runs.
#include "Exceptions.h"
#include "Paths.h"
#include "RecordingServices.h"
#include "UqLink.h"
#include "UqParams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::Value;

TEST(UqLink, ChoicesOfOneRunAreThereInTheNext)
{
    RecordingServicesScope services;
    {
        TUqParamManager pm;
        TUqLink link(nullptr, TUqLink::AreaType::Personal);
        EXPECT_EQ(link.FileName(), services->mainFolder() + "usr/wun/UqParametriPersonali.ini");
        link.SetParamManager(&pm); // nothing kept yet: nothing loaded, no file made
        EXPECT_FALSE(QFileInfo::exists(link.FileName()));
        pm.SetParams("UQUP_DwgId", 3, "UQUC_Params");
        pm.SetParams("UQUP_AnfId", 56, "UQUC_Params");
        ASSERT_TRUE(QFileInfo::exists(link.FileName()));
    }
    // The next run: a value the program set before binding and the area
    // lacks stays; the area's values come in with their group.
    TUqParamManager pm;
    pm.SetParams("UQUP_Altro", "x");
    pm.SetParams("UQUP_AnfId", 1);
    TUqLink link;
    link.SetParamManager(&pm);
    EXPECT_EQ(pm.GetParams("UQUP_DwgId"), Value(3));
    EXPECT_EQ(pm.GetParams("UQUP_AnfId"), Value(56));
    EXPECT_EQ(pm.Group("UQUP_AnfId"), "UQUC_Params");
    EXPECT_EQ(pm.GetParams("UQUP_Altro"), Value("x"));

    // Binding again (the main window does it when shown) changes nothing,
    // and unbinding stops the writes.
    link.SetParamManager(&pm);
    EXPECT_EQ(pm.GetParams("UQUP_DwgId"), Value(3));
    link.SetParamManager(nullptr);
    pm.SetParams("UQUP_DwgId", 9);
    TUqParamManager check;
    check.LoadFromFile(link.FileName());
    EXPECT_EQ(check.GetParams("UQUP_DwgId"), Value(3));
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST(UqLink, AnInstallationWithOnlyUSRKeepsItsOneUserFolder)
{
    // The import settings saved as "Importa" saves them, in USR/wun.
    RecordingServicesScope services;
    const QString main = services->mainFolder();
    ASSERT_TRUE(QDir().mkpath(main + "USR/wun"));
    QFile parametri(main + "USR/wun/TEMENSPAR.XML");
    ASSERT_TRUE(parametri.open(QIODevice::WriteOnly));
    parametri.close();
    {
        TUqParamManager pm;
        TUqLink link;
        link.SetParamManager(&pm);
        pm.SetParams("UQUP_AnfId", 37);
        EXPECT_EQ(link.FileName(), main + "USR/wun/UqParametriPersonali.ini");
    }
    // One user folder, where the settings are found again.
    EXPECT_EQ(QDir(main).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"USR"});
    EXPECT_EQ(platform::findPath(main, "usr/wun/TEMENSPAR.XML"), parametri.fileName());
    TUqParamManager pm;
    TUqLink link;
    link.SetParamManager(&pm);
    EXPECT_EQ(pm.GetParams("UQUP_AnfId"), Value(37));
}

TEST(UqLink, AnAreaThatCannotBeReadOrWrittenIsNamed)
{
    RecordingServicesScope services;
    TUqLink link;
    link.SetFileName(services->mainFolder() + "rotto.ini");
    QFile bad(link.FileName());
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("[G]\nUQUP_AnfId=Integer:abc\n");
    bad.close();
    TUqParamManager pm;
    EXPECT_THROW(link.SetParamManager(&pm), EUqError);

    // A change that cannot be written is shown, not lost in silence.
    ASSERT_TRUE(QFile::remove(link.FileName()));
    link.SetParamManager(&pm);
    ASSERT_TRUE(QDir().mkpath(link.FileName())); // a folder where the file should be
    pm.SetParams("UQUP_DwgId", 2);
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().first().text.contains("rotto.ini"))
        << services->messages().first().text.toStdString();
    EXPECT_THROW(link.Save(), EUqError);
}
