#pragma once
// Year records and the class-level helpers for dates, strings, SQL
// conditions, ids and field values that the whole system uses.
#include <QDate>
#include <QString>

// Financial-year record: the year's dates and id as kept in TANF_ANNIFINANZ.
// Ids count from 1970 (id 1); the conversions below take either form.
class TtovAnnoFinanziario {
public:
    // A value below 1970 is already an id and is returned unchanged;
    // otherwise the year's id (2024 -> 55).
    static int YearToId(int value);
    // The text as an integer (EConvertError when it is not one), then YearToId.
    static int YearTextToId(const QString &text);
    // A value of 1900 or more is already a year and is returned unchanged;
    // otherwise the id's year (55 -> 2024).
    static int IdToYear(int value);
};

class TTovDate {
public:
    // Hours (total div 60) and minutes (total mod 60) of a count of minutes
    // held as whole minutes. Counts that do not fit two 16-bit values, or
    // negative counts, are a programming error (assertion).
    static void MinutesToHours(int totalMinutes, quint16 &hours, quint16 &minutes);
    // First and last day of a month; an invalid year or month raises
    // EConvertError.
    static QDate FirstDayOfMonth(int year, int month);
    static QDate LastDayOfMonth(int year, int month);
    // Week number in a calendar of weeks running Sunday to Saturday: week 1
    // is the (possibly partial) week holding 1 January and every Sunday opens
    // the next one, so a year has 53 or 54 weeks. An invalid date raises
    // EConvertError.
    static int WeekOfYear(QDate date);
};

class TTovString {
public:
    // The part of the text from the 1-based start, `length` characters long;
    // a length of 0 means up to the end. A start before the text counts as 1,
    // a start after it or a negative length gives the empty text.
    static QString SubStr(const QString &text, int start, int length);
};

class TTovUtil {
public:
    // Appends " AND " to a non-empty WHERE text, then a blank and the
    // condition. The conditions are fragments the program builds itself.
    static void AddAnd(const QString &condition, QString &where);
};
