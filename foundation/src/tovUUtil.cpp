#include "tovUUtil.h"

#include "Exceptions.h"

// ---------------------------------------------------------------------------
// TtovAnnoFinanziario

namespace {
constexpr int FirstIdYear = 1969; // id 1 is 1970
}

int TtovAnnoFinanziario::YearToId(int value)
{
    return value < 1970 ? value : value - FirstIdYear;
}

int TtovAnnoFinanziario::YearTextToId(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw platform::EConvertError(
            QStringLiteral("'%1' non è un valore intero valido").arg(text));
    return YearToId(value);
}

int TtovAnnoFinanziario::IdToYear(int value)
{
    return value >= 1900 ? value : value + FirstIdYear;
}

// ---------------------------------------------------------------------------
// TTovDate

void TTovDate::MinutesToHours(int totalMinutes, quint16 &hours, quint16 &minutes)
{
    ZEP_ASSERT(totalMinutes >= 0 && totalMinutes / 60 <= 0xFFFF,
               QStringLiteral("MinutesToHours: minuti fuori intervallo (%1)").arg(totalMinutes));
    hours = quint16(totalMinutes / 60);
    minutes = quint16(totalMinutes % 60);
}

static void checkMonth(int year, int month)
{
    if (month < 1 || month > 12 || year < 1 || year > 9999)
        throw platform::EConvertError(
            QStringLiteral("Data non valida: anno %1, mese %2").arg(year).arg(month));
}

QDate TTovDate::FirstDayOfMonth(int year, int month)
{
    checkMonth(year, month);
    return QDate(year, month, 1);
}

QDate TTovDate::LastDayOfMonth(int year, int month)
{
    checkMonth(year, month);
    const QDate first(year, month, 1);
    return QDate(year, month, first.daysInMonth());
}

int TTovDate::WeekOfYear(QDate date)
{
    if (!date.isValid())
        throw platform::EConvertError(QStringLiteral("Data non valida"));
    // Qt numbers the weekdays Monday 1 .. Sunday 7.
    const auto daysSinceSunday = [](QDate d) { return d.dayOfWeek() % 7; };

    const QDate sunday = date.addDays(-daysSinceSunday(date));
    if (sunday.year() < date.year())
        return 1;

    const QDate newYear(date.year(), 1, 1);
    const int toFirstSunday = (7 - daysSinceSunday(newYear)) % 7;
    const QDate firstSunday = newYear.addDays(toFirstSunday);
    int week = int(firstSunday.daysTo(sunday) / 7) + 1;
    if (daysSinceSunday(newYear) != 0)
        ++week;
    return week;
}

// ---------------------------------------------------------------------------
// TTovString

QString TTovString::SubStr(const QString &text, int start, int length)
{
    if (length < 0)
        return QString();
    const qsizetype from = start < 1 ? 0 : start - 1;
    if (from >= text.size())
        return QString();
    return length == 0 ? text.mid(from) : text.mid(from, length);
}

// ---------------------------------------------------------------------------
// TTovUtil

void TTovUtil::AddAnd(const QString &condition, QString &where)
{
    if (!where.isEmpty())
        where += QStringLiteral(" AND ");
    where += QLatin1Char(' ') + condition;
}
