#include "tovUUtil.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

namespace {

// --- financial-year ids ------------------------------------------------------

TEST(FinancialYearIds, YearsBecomeIdsCountedFrom1970)
{
    EXPECT_EQ(TtovAnnoFinanziario::YearToId(2024), 55);
    EXPECT_EQ(TtovAnnoFinanziario::YearToId(1970), 1);
    // Below 1970 the value is taken as an id already, not turned into 0.
    EXPECT_EQ(TtovAnnoFinanziario::YearToId(1969), 1969);
    EXPECT_EQ(TtovAnnoFinanziario::YearToId(55), 55);
}

TEST(FinancialYearIds, IdsBecomeYears)
{
    EXPECT_EQ(TtovAnnoFinanziario::IdToYear(55), 2024);
    EXPECT_EQ(TtovAnnoFinanziario::IdToYear(1), 1970);
    // Below 1900 every value is an id, however large.
    EXPECT_EQ(TtovAnnoFinanziario::IdToYear(1899), 3868);
    EXPECT_EQ(TtovAnnoFinanziario::IdToYear(1900), 1900);
    EXPECT_EQ(TtovAnnoFinanziario::IdToYear(2024), 2024);
}

TEST(FinancialYearIds, RoundTripOverTheWorkingRange)
{
    for (int year = 1970; year <= 2100; ++year)
        EXPECT_EQ(TtovAnnoFinanziario::IdToYear(TtovAnnoFinanziario::YearToId(year)), year);
}

TEST(FinancialYearIds, YearTextNeedsANumber)
{
    EXPECT_EQ(TtovAnnoFinanziario::YearTextToId(QStringLiteral("2024")), 55);
    EXPECT_EQ(TtovAnnoFinanziario::YearTextToId(QStringLiteral("55")), 55);
    EXPECT_THROW(TtovAnnoFinanziario::YearTextToId(QStringLiteral("20x4")), platform::EConvertError);
    EXPECT_THROW(TtovAnnoFinanziario::YearTextToId(QString()), platform::EConvertError);
}

// --- week of the year ---------------------------------------------------------

TEST(WeekOfYear, YearStartingOnSunday)
{
    // 2023 starts on a Sunday.
    ASSERT_EQ(QDate(2023, 1, 1).dayOfWeek(), Qt::Sunday);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2023, 1, 1)), 1);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2023, 1, 7)), 1);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2023, 1, 8)), 2);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2023, 12, 31)), 53);
}

TEST(WeekOfYear, YearStartingOnWednesday)
{
    // 2014 starts on a Wednesday: its first Sunday is 5 January.
    ASSERT_EQ(QDate(2014, 1, 1).dayOfWeek(), Qt::Wednesday);
    for (int day = 1; day <= 4; ++day)
        EXPECT_EQ(TTovDate::WeekOfYear(QDate(2014, 1, day)), 1) << day;
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2014, 1, 5)), 2);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2014, 1, 11)), 2);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2014, 1, 12)), 3);
}

TEST(WeekOfYear, YearWhoseFourthOfJanuaryIsASunday)
{
    // 2015 starts on a Thursday: 1 to 3 January are week 1, Sunday 4 January
    // opens week 2.
    ASSERT_EQ(QDate(2015, 1, 4).dayOfWeek(), Qt::Sunday);
    for (int day = 1; day <= 3; ++day)
        EXPECT_EQ(TTovDate::WeekOfYear(QDate(2015, 1, day)), 1) << day;
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2015, 1, 4)), 2);
}

TEST(WeekOfYear, LeapYearStartingOnSaturdayHas54Weeks)
{
    ASSERT_EQ(QDate(2000, 1, 1).dayOfWeek(), Qt::Saturday);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2000, 1, 1)), 1);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2000, 1, 2)), 2);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2000, 12, 30)), 53);
    ASSERT_EQ(QDate(2000, 12, 31).dayOfWeek(), Qt::Sunday);
    EXPECT_EQ(TTovDate::WeekOfYear(QDate(2000, 12, 31)), 54);
}

TEST(WeekOfYear, EverySundayOpensTheNextWeekAndNoOtherDayDoes)
{
    for (int year : {1999, 2000, 2014, 2015, 2023, 2024, 2025}) {
        QDate d(year, 1, 1);
        int previous = TTovDate::WeekOfYear(d);
        EXPECT_EQ(previous, 1);
        for (d = d.addDays(1); d.year() == year; d = d.addDays(1)) {
            const int week = TTovDate::WeekOfYear(d);
            EXPECT_EQ(week, previous + (d.dayOfWeek() == Qt::Sunday ? 1 : 0)) << qPrintable(d.toString(Qt::ISODate));
            previous = week;
        }
        EXPECT_TRUE(previous == 53 || previous == 54) << year;
    }
}

TEST(WeekOfYear, InvalidDateRaises)
{
    EXPECT_THROW(TTovDate::WeekOfYear(QDate()), platform::EConvertError);
}

// --- month helpers and minutes ------------------------------------------------

TEST(MonthDays, FirstAndLastDayIncludingLeapYears)
{
    EXPECT_EQ(TTovDate::FirstDayOfMonth(2024, 2), QDate(2024, 2, 1));
    EXPECT_EQ(TTovDate::LastDayOfMonth(2024, 2), QDate(2024, 2, 29));
    EXPECT_EQ(TTovDate::LastDayOfMonth(2023, 2), QDate(2023, 2, 28));
    EXPECT_EQ(TTovDate::LastDayOfMonth(1900, 2), QDate(1900, 2, 28));
    EXPECT_EQ(TTovDate::LastDayOfMonth(2000, 2), QDate(2000, 2, 29));
    EXPECT_EQ(TTovDate::LastDayOfMonth(2024, 12), QDate(2024, 12, 31));
    EXPECT_EQ(TTovDate::LastDayOfMonth(2024, 4), QDate(2024, 4, 30));
}

TEST(MonthDays, InvalidMonthRaises)
{
    EXPECT_THROW(TTovDate::FirstDayOfMonth(2024, 0), platform::EConvertError);
    EXPECT_THROW(TTovDate::LastDayOfMonth(2024, 13), platform::EConvertError);
    EXPECT_THROW(TTovDate::LastDayOfMonth(0, 1), platform::EConvertError);
}

TEST(MinutesToHours, SplitsWholeMinutes)
{
    quint16 h = 99, m = 99;
    TTovDate::MinutesToHours(125, h, m);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(m, 5);
    TTovDate::MinutesToHours(59, h, m);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 59);
    TTovDate::MinutesToHours(60, h, m);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(m, 0);
    TTovDate::MinutesToHours(0, h, m);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(m, 0);
}

TEST(MinutesToHours, CountsThatWouldWrapAreRefused)
{
    quint16 h = 0, m = 0;
    EXPECT_THROW(TTovDate::MinutesToHours(-1, h, m), platform::EAssertionFailed);
    EXPECT_THROW(TTovDate::MinutesToHours(65536 * 60, h, m), platform::EAssertionFailed);
    TTovDate::MinutesToHours(65535 * 60 + 59, h, m);
    EXPECT_EQ(h, 65535);
    EXPECT_EQ(m, 59);
}

// --- strings and conditions ---------------------------------------------------

TEST(SubStr, OneBasedStartAndZeroLengthToTheEnd)
{
    const QString s = QStringLiteral("ABCDEF");
    EXPECT_EQ(TTovString::SubStr(s, 3, 0), QStringLiteral("CDEF"));
    EXPECT_EQ(TTovString::SubStr(s, 3, 2), QStringLiteral("CD"));
    EXPECT_EQ(TTovString::SubStr(s, 1, 1), QStringLiteral("A"));
    EXPECT_EQ(TTovString::SubStr(s, 6, 0), QStringLiteral("F"));
    EXPECT_EQ(TTovString::SubStr(s, 5, 10), QStringLiteral("EF"));
}

TEST(SubStr, OutOfRangeArguments)
{
    const QString s = QStringLiteral("ABCDEF");
    EXPECT_EQ(TTovString::SubStr(s, 7, 0), QString());
    EXPECT_EQ(TTovString::SubStr(s, 0, 2), QStringLiteral("AB"));
    EXPECT_EQ(TTovString::SubStr(s, 2, -1), QString());
    EXPECT_EQ(TTovString::SubStr(QString(), 1, 0), QString());
}

TEST(AddAnd, JoinsConditionsWithTheBlanksAsWritten)
{
    QString where;
    TTovUtil::AddAnd(QStringLiteral("A=1"), where);
    EXPECT_EQ(where, QStringLiteral(" A=1"));

    QString other = QStringLiteral("A=1");
    TTovUtil::AddAnd(QStringLiteral("B=2"), other);
    EXPECT_EQ(other, QStringLiteral("A=1 AND  B=2"));

    TTovUtil::AddAnd(QStringLiteral("C=3"), other);
    EXPECT_EQ(other, QStringLiteral("A=1 AND  B=2 AND  C=3"));
}

} // namespace
