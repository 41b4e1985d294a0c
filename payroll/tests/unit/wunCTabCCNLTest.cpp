// The choice of the CCNL table: when it is asked, what it offers and which
// table it starts on.
#include "PayrollTestSupport.h"
#include "wunCTabCCNL.h"

#include <gtest/gtest.h>

using platform::EnumItems;

TEST(TabCCNL, AskedOnlyWhenForcedOrATableIsForcedAlready)
{
    EXPECT_FALSE(TWunTabCCNL::DaMostrare(false, 0));
    EXPECT_TRUE(TWunTabCCNL::DaMostrare(true, 0));
    EXPECT_TRUE(TWunTabCCNL::DaMostrare(false, 3));
}

class TabCCNLOnDemo : public payrolltest::DemoArchiveSuite {};

TEST_F(TabCCNLOnDemo, TheArchivesTablesAfterTheAutomaticChoice)
{
    const EnumItems elenco = TWunTabCCNL::Elenco({}, db());
    ASSERT_EQ(elenco.size(), scalar("SELECT COUNT(*) FROM TCCNT_TABELLECCNL").toInt() + 1);
    EXPECT_EQ(elenco.front(), (platform::EnumItem{"Scelta automatica", 0}));
    const int ultima = scalar("SELECT FIRST 1 ICCNTID FROM TCCNT_TABELLECCNL ORDER BY DCCNTDAL DESC").toInt();
    EXPECT_EQ(elenco.at(1).id, ultima) << "the latest table first";
    EXPECT_EQ(
        elenco.at(1).text,
        scalar(QStringLiteral("SELECT SCCNTLDESC FROM TCCNT_TABELLECCNL WHERE ICCNTID = %1").arg(ultima)).toString());
    EXPECT_EQ(TWunTabCCNL::Indice(elenco, 0), 0);
    EXPECT_EQ(TWunTabCCNL::Indice(elenco, ultima), 1);
    EXPECT_EQ(TWunTabCCNL::Indice(elenco, -5), -1);
}

TEST_F(TabCCNLOnDemo, TheCallersListIsOfferedWithOneAutomaticChoiceAtMost)
{
    const EnumItems proprie{{"Tabella A", 7}, {"Tabella B", 8}};
    EXPECT_EQ(TWunTabCCNL::Elenco(proprie, db()),
              (EnumItems{{"Scelta automatica", 0}, {"Tabella A", 7}, {"Tabella B", 8}}));
    const EnumItems conZero{{"Tabella A", 7}, {"Nessuna", 0}};
    EXPECT_EQ(TWunTabCCNL::Elenco(conZero, db()), conZero) << "no second item with the id 0";
}
