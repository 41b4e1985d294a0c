#pragma once
// Year records and the class-level helpers for dates, strings, SQL
// conditions, ids and field values that the whole system uses.
#include "Value.h"

#include <QDate>
#include <QDateTime>
#include <QString>

class TUqParamManager;
class TUqQueryCollection;

namespace platform {
class DataSet;
class Field;
} // namespace platform

// The parameters module as the year records see it: the payroll library's
// parameters module plugs in here. GetParams gives the value of a parameter
// of its parameter manager, Null when the parameter is not set.
class ITovParams {
public:
    virtual ~ITovParams() = default;
    virtual platform::Value GetParams(const QString &name) const = 0;
};

// A year record: the dates and id of one row of the year's table, loaded by
// id. The subclasses give the statement and the default id.
class TtovAnno {
public:
    virtual ~TtovAnno() = default;

    // The parameters module that gives the default id (not owned; it must
    // outlive the record).
    void SetParams(ITovParams *params) { m_params = params; }
    ITovParams *Params() const { return m_params; }

    // Loads the year of the id (0: DefaultId()) on the global connection.
    // An id with no row in the table raises EUqError naming the id, and the
    // record keeps what it held. Database errors reach the caller.
    virtual void Load(int id = 0);

    QDateTime StartDate() const { return m_startDate; }
    QDateTime EndDate() const { return m_endDate; }
    // The dates as "mm/dd/yyyy".
    const QString &StartDateText() const { return m_startDateText; }
    const QString &EndDateText() const { return m_endDateText; }
    int Id() const { return m_id; }
    // The calendar year of the start date.
    quint16 Year() const { return m_year; }

protected:
    // The statement that reads the year, with the parameter :IDANNO.
    virtual QString GetSQL() const = 0;
    // The id to use when none is given.
    virtual int DefaultId() const = 0;
    // The message for an id that has no row.
    virtual QString NotFoundMessage(int id) const = 0;
    // The parameters module; an assertion failure when none is set.
    ITovParams &RequireParams() const;

private:
    QDateTime m_startDate;
    QDateTime m_endDate;
    QString m_startDateText;
    QString m_endDateText;
    int m_id = 0;
    quint16 m_year = 0;
    ITovParams *m_params = nullptr;
};

// Financial-year record, table TANF_ANNIFINANZ. Ids count from 1970 (id 1);
// the conversions below take either form.
class TtovAnnoFinanziario : public TtovAnno {
public:
    // The year as text: the last four characters of the end date text.
    QString YearText() const;
    // Load of the id of a year text (see YearTextToId).
    void LoadYear(const QString &yearText);

    // A value below 1970 is already an id and is returned unchanged;
    // otherwise the year's id (2024 -> 55).
    static int YearToId(int value);
    // The text as an integer (EConvertError when it is not one), then YearToId.
    static int YearTextToId(const QString &text);
    // A value of 1900 or more is already a year and is returned unchanged;
    // otherwise the id's year (55 -> 2024).
    static int IdToYear(int value);

protected:
    QString GetSQL() const override;
    // The integer value of the parameter "UQUP_AnfId" (EConvertError when
    // it is not set).
    int DefaultId() const override;
    QString NotFoundMessage(int id) const override;
};

// School-year record, table TANS_ANNISCOLAST.
class TtovAnnoScolastico : public TtovAnno {
protected:
    QString GetSQL() const override;
    // The parameter "UQUP_AnsId" as an integer: 0 when it is null or not a
    // number.
    int DefaultId() const override;
    QString NotFoundMessage(int id) const override;
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
    // Puts a browsing dataset (a field's own dataset) into edit and returns
    // true; false in any other state and for no dataset.
    static bool EditDataSet(platform::Field *field);
    static bool EditDataSet(platform::DataSet *dataSet);
    // A new id for the table from the id generator on the global connection.
    static int NewId(const QString &tableName);
    static platform::Value FieldValue(const platform::Field *field);
    // The integer parameter "UQUP_DwgId" of the manager, or of the
    // program's manager (TUqParamManager::ProgramManager) when none is
    // given. EConvertError when it is not set; an assertion failure when
    // there is no manager at all.
    static int DwgId(const TUqParamManager *manager = nullptr);
    // Closes every dataset of the list (an owner's datasets) whose tag is
    // not 1; null entries are skipped.
    static void CloseDataSets(const QList<platform::DataSet *> &dataSets);
    static platform::Value FieldValueDef(const platform::Field *field, const platform::Value &defaultValue);
};

class TTovDataSet {
public:
    // Neither Null nor Unassigned.
    static bool HasValue(const platform::Value &value);
    // No field: the default. Otherwise the field's new value, or its old
    // value when the new one is unassigned; when that is null: the default,
    // unless the default is itself null or unassigned, in which case the
    // empty text for a string field, 0 for a numeric field and the default
    // for any other field.
    static platform::Value FieldValueDef(const platform::Field *field, const platform::Value &defaultValue);
    // FieldValueDef with an unassigned default.
    static platform::Value FieldValue(const platform::Field *field);
    // Closes the collection, sets its integer parameter `name` to the value
    // and opens it again; unless `force` is off, the collection is not empty
    // and its field `name` already holds the value: then nothing happens.
    static void RefreshByParam(TUqQueryCollection &collection, const QString &name, bool force, int value);
    // The text of a numeric field that shows nothing for 0 (and Null):
    // otherwise the display format (with `display`) or the edit format
    // (else the display format), else the plain value with "," as the
    // decimal point.
    static QString NumericText(const platform::Field &field, bool display);
};
