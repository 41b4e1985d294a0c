#include "ZepULayouts.h"

#include "DataSet.h"
#include "Field.h"
#include "TempDatabase.h"
#include "archive/ArchiveScripts.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"

#include <gtest/gtest.h>

using platform::DataSet;

TEST(ZepLayouts, TheProgramsLayoutsPassTheStoresCheck)
{
    const QList<TTovDBCdsLayout> layouts = TTovDBCdsLayouts::ReadFolder(CartellaLayoutDenunce());
    QStringList names;
    for (const TTovDBCdsLayout &l : layouts) {
        EXPECT_EQ(l.program, QStringLiteral("zep")) << l.Key().toStdString();
        names << l.name;
    }
    EXPECT_TRUE(names.contains(QStringLiteral("TAMM_AMMINISTRAZIONE")));
}

TEST(ZepLayouts, RegisteredLayoutsAreInstalledWithTheArchiveAndServeTheDeclarantOfAnyYear)
{
    RegistraLayoutDenunce();
    RegistraLayoutDenunce(); // counts once
    EXPECT_EQ(TTovDBCdsLayouts::RegisteredFolders().count(CartellaLayoutDenunce()), 1);

    TempDatabase tdb(TempDatabase::Scripts{payroll::ArchiveScripts::series(payroll::ArchiveScripts::FoundationSeries)});
    TTovDBCdsLayouts::InstallRegistered(tdb.db());
    TTovDBCdsLayouts::UnregisterFolder(CartellaLayoutDenunce());

    TTovDBCds store;
    store.SetConnection(&tdb.db());
    store.SetProgram(QStringLiteral("zep"));
    // The declarant is yearly (month 0); the previous year of the first
    // year the program serves must load too, empty.
    for (int year : {2009, 2010, 2025}) {
        DataSet ds;
        store.LoadPeriod(ds, QStringLiteral("TAMM_AMMINISTRAZIONE"), year, 0);
        EXPECT_TRUE(ds.isEmpty()) << year;
        ASSERT_NE(ds.findField(QStringLiteral("CFMittente")), nullptr) << year;
        // The first field is the row number, which a copy between years skips.
        EXPECT_EQ(ds.fields().front()->fieldName(), QStringLiteral("iFisRigo"));
        EXPECT_NE(ds.findField(QStringLiteral("EA_RagSocAzienda")), nullptr);
    }

    // A row saved for a year comes back for that year only.
    store.SetYear(2024);
    store.SetMonth(0);
    DataSet ds;
    store.LoadPeriod(ds, QStringLiteral("TAMM_AMMINISTRAZIONE"), 2024, 0);
    ds.append();
    ds.fieldByName(QStringLiteral("CFMittente")).setAsString(QStringLiteral("01234567890"));
    ds.post();
    store.SavePeriod(ds, QStringLiteral("TAMM_AMMINISTRAZIONE"), 2024, 0);
    DataSet again;
    store.LoadPeriod(again, QStringLiteral("TAMM_AMMINISTRAZIONE"), 2024, 0);
    ASSERT_EQ(again.recordCount(), 1);
    EXPECT_EQ(again.fieldByName(QStringLiteral("CFMittente")).asString(), QStringLiteral("01234567890"));
    DataSet other;
    store.LoadPeriod(other, QStringLiteral("TAMM_AMMINISTRAZIONE"), 2025, 0);
    EXPECT_TRUE(other.isEmpty());
}
