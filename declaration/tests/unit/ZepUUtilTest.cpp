#include "Exceptions.h"
#include "ZepUUtil.h"

#include <gtest/gtest.h>

namespace {
// Puts the working period back after each test: it is program-wide.
class WorkingPeriod : public ::testing::Test {
protected:
    void TearDown() override { SetPeriodoDenuncia(m_anno, m_mese); }

private:
    QString m_anno = AnnoDenuncia;
    QString m_mese = MeseDenuncia;
};
} // namespace

TEST_F(WorkingPeriod, PeriodTextsAreYearHyphenMonth)
{
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
    EXPECT_EQ(PeriodoDenuncia(), QStringLiteral("2024-03"));
    EXPECT_EQ(ComponiPeriodo(QStringLiteral("2012"), QStringLiteral("10")), QStringLiteral("2012-10"));
    EXPECT_EQ(PeriodoDaData(QDate(2009, 1, 31)), QStringLiteral("2009-01"));
    // Text order is time order, which the ex-DMA gate relies on.
    EXPECT_LT(ComponiPeriodo(QStringLiteral("2012"), QStringLiteral("09")), QStringLiteral("2012-10"));
    EXPECT_LT(QStringLiteral("2012-10"), ComponiPeriodo(QStringLiteral("2013"), QStringLiteral("01")));
}

TEST_F(WorkingPeriod, PeriodValidityFollowsLengthYearAndMonthOnly)
{
    EXPECT_TRUE(PeriodoValido(QStringLiteral("2024-12")));
    EXPECT_TRUE(PeriodoValido(QStringLiteral("2024/12"))); // the fifth character may be anything
    EXPECT_TRUE(PeriodoValido(QStringLiteral("0001-01")));
    EXPECT_FALSE(PeriodoValido(QStringLiteral("2024-13")));
    EXPECT_FALSE(PeriodoValido(QStringLiteral("2024-00")));
    EXPECT_FALSE(PeriodoValido(QStringLiteral("0000-05")));
    EXPECT_FALSE(PeriodoValido(QStringLiteral("abcd-05"))); // not a number counts as 0
    EXPECT_FALSE(PeriodoValido(QStringLiteral("2024-1a")));
    EXPECT_FALSE(PeriodoValido(QStringLiteral("2024-1")));
    EXPECT_FALSE(PeriodoValido(QStringLiteral("2024-012")));
    EXPECT_FALSE(PeriodoValido(QString()));
}

TEST_F(WorkingPeriod, DaysAndDatesOfTheWorkingMonth)
{
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("02"));
    EXPECT_EQ(GiorniMeseDenuncia(), 29);
    EXPECT_EQ(DataGiornoMeseDenuncia(29), QDate(2024, 2, 29));
    EXPECT_EQ(DataGiornoMeseDenuncia(1), QDate(2024, 2, 1));
    EXPECT_THROW(DataGiornoMeseDenuncia(30), EUqError);
    EXPECT_THROW(DataGiornoMeseDenuncia(0), EUqError);
    SetPeriodoDenuncia(QStringLiteral("2023"), QStringLiteral("02"));
    EXPECT_EQ(GiorniMeseDenuncia(), 28);
    SetPeriodoDenuncia(QStringLiteral("2025"), QStringLiteral("12"));
    EXPECT_EQ(GiorniMeseDenuncia(), 31);
}

TEST_F(WorkingPeriod, NoWorkingPeriodIsAnErrorNotADate)
{
    SetPeriodoDenuncia(QString(), QString());
    EXPECT_THROW(GiorniMeseDenuncia(), EUqError);
    EXPECT_THROW(DataGiornoMeseDenuncia(1), EUqError);
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("13"));
    EXPECT_THROW(GiorniMeseDenuncia(), EUqError);
}

TEST_F(WorkingPeriod, From2011ComparesTheYearAsText)
{
    SetPeriodoDenuncia(QStringLiteral("2010"), QStringLiteral("12"));
    EXPECT_FALSE(DenunciaDal2011());
    SetPeriodoDenuncia(QStringLiteral("2011"), QStringLiteral("01"));
    EXPECT_TRUE(DenunciaDal2011());
    SetPeriodoDenuncia(QStringLiteral("2025"), QStringLiteral("06"));
    EXPECT_TRUE(DenunciaDal2011());
    SetPeriodoDenuncia(QString(), QString());
    EXPECT_FALSE(DenunciaDal2011());
}
