// The day codes of a month: what a day accepts, and a day outside the month.
#include "tovCGiorniDis.h"

#include <gtest/gtest.h>

#include <QList>

TEST(GiorniDis, ADayTakesOnlyTheThreeCodes)
{
    const QList<std::pair<QString, QChar>> casi{{"S", 'S'},  {"N", 'N'}, {" ", ' '}, {"s", ' '},
                                                {"SS", ' '}, {"", ' '},  {"X", ' '}};
    for (const auto &[testo, atteso] : casi) {
        TGiorniDis giorni(30);
        giorni.SetGiorno(1, QStringLiteral("N"));
        giorni.SetGiorno(1, testo);
        EXPECT_EQ(giorni.GetGiorno(1), atteso) << testo.toStdString();
    }
}

TEST(GiorniDis, DaysOutsideTheMonth)
{
    TGiorniDis giorni(30);
    EXPECT_EQ(giorni.GetGiorni(), QString(30, ' '));
    giorni.SetGiorno(31, QStringLiteral("S"));
    giorni.SetGiorno(0, QStringLiteral("S"));
    EXPECT_EQ(giorni.GetGiorni(), QString(30, ' '));
    EXPECT_EQ(giorni.GetGiorno(31), cGiornoNo);
    EXPECT_EQ(giorni.GetGiorno(0), cGiornoNo);
    EXPECT_EQ(TGiorniDis(-1).GetGiorni(), QString());
}

TEST(GiorniDis, TextShorterOrLongerThanTheMonth)
{
    TGiorniDis giorni(28);
    giorni.SetGiorni(QString(28, 'N'));
    giorni.SetGiorni(QStringLiteral("SxS"));
    EXPECT_EQ(giorni.GetGiorni(), QStringLiteral("S S") + QString(25, 'N'));
    giorni.SetGiorni(QString(31, 'S'));
    EXPECT_EQ(giorni.GetGiorni(), QString(28, 'S'));
}
