#include "tovUUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "SqlQuery.h"
#include "UqParams.h"
#include "UqQueryCollection.h"
#include "UqTransaction.h"

#include <limits>

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
        throw platform::EConvertError(QStringLiteral("'%1' non è un valore intero valido").arg(text));
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
        throw platform::EConvertError(QStringLiteral("Data non valida: anno %1, mese %2").arg(year).arg(month));
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

bool TTovUtil::EditDataSet(platform::DataSet *dataSet)
{
    if (!dataSet || dataSet->state() != platform::DataSetState::Browse)
        return false;
    dataSet->edit();
    return true;
}

bool TTovUtil::EditDataSet(platform::Field *field)
{
    return EditDataSet(field ? field->dataSet() : nullptr);
}

int TTovUtil::NewId(const QString &tableName)
{
    const qint64 id = GenerateID(tableName);
    ZEP_ASSERT(id > 0 && id <= std::numeric_limits<int>::max(),
               QStringLiteral("NewId: id fuori intervallo per %1").arg(tableName));
    return int(id);
}

platform::Value TTovUtil::FieldValue(const platform::Field *field)
{
    return TTovDataSet::FieldValue(field);
}

platform::Value TTovUtil::FieldValueDef(const platform::Field *field, const platform::Value &defaultValue)
{
    return TTovDataSet::FieldValueDef(field, defaultValue);
}

// ---------------------------------------------------------------------------
// TTovDataSet

bool TTovDataSet::HasValue(const platform::Value &value)
{
    return !value.isEmpty();
}

platform::Value TTovDataSet::FieldValueDef(const platform::Field *field, const platform::Value &defaultValue)
{
    if (!field)
        return defaultValue;
    platform::Value value = field->newValue();
    if (value.isUnassigned())
        value = field->oldValue();
    if (!value.isEmpty())
        return value;
    if (!defaultValue.isEmpty())
        return defaultValue;
    if (field->dataType() == platform::FieldType::String)
        return platform::Value(QString());
    if (field->isNumeric())
        return platform::Value(0);
    return defaultValue;
}

platform::Value TTovDataSet::FieldValue(const platform::Field *field)
{
    return FieldValueDef(field, platform::Value());
}

// ---------------------------------------------------------------------------
// Year records

ITovParams &TtovAnno::RequireParams() const
{
    ZEP_ASSERT(m_params != nullptr, QStringLiteral("Modulo parametri non impostato"));
    return *m_params;
}

void TtovAnno::Load(int id)
{
    const int yearId = id == 0 ? DefaultId() : id;
    platform::SqlQuery query; // the global connection
    query.setSql(GetSQL());
    query.bind(QStringLiteral("IDANNO"), yearId);
    query.open();
    if (query.eof())
        throw EUqError(NotFoundMessage(yearId));
    const QDateTime start = query.value(0).toDateTime();
    const QDateTime end = query.value(1).toDateTime();
    query.close();

    m_id = yearId;
    m_startDate = start;
    m_endDate = end;
    m_startDateText = start.toString(QStringLiteral("MM/dd/yyyy"));
    m_endDateText = end.toString(QStringLiteral("MM/dd/yyyy"));
    m_year = quint16(start.date().year());
}

QString TtovAnnoFinanziario::GetSQL() const
{
    return QStringLiteral("SELECT DANFNUBRAINIZIO, DANFNUBRAFINE FROM TANF_ANNIFINANZ WHERE IANFID=:IDANNO");
}

int TtovAnnoFinanziario::DefaultId() const
{
    const platform::Value v = RequireParams().GetParams(QStringLiteral("UQUP_AnfId"));
    if (v.isEmpty())
        throw platform::EConvertError(QStringLiteral("Parametro UQUP_AnfId non impostato"));
    return v.toInt();
}

QString TtovAnnoFinanziario::NotFoundMessage(int id) const
{
    return QStringLiteral("Anno finanziario con id %1 non presente nella tabella TANF_ANNIFINANZ.").arg(id);
}

QString TtovAnnoFinanziario::YearText() const
{
    return EndDateText().right(4);
}

void TtovAnnoFinanziario::LoadYear(const QString &yearText)
{
    Load(YearTextToId(yearText));
}

QString TtovAnnoScolastico::GetSQL() const
{
    return QStringLiteral("SELECT DANSNUBRAINIZIO, DANSNUBRAFINE FROM TANS_ANNISCOLAST WHERE IANSID=:IDANNO");
}

int TtovAnnoScolastico::DefaultId() const
{
    const platform::Value v = RequireParams().GetParams(QStringLiteral("UQUP_AnsId"));
    if (v.isEmpty())
        return 0;
    bool ok = false;
    const int id = v.toString().trimmed().toInt(&ok);
    return ok ? id : 0;
}

QString TtovAnnoScolastico::NotFoundMessage(int id) const
{
    return QStringLiteral("Anno scolastico con id %1 non presente nella tabella TANS_ANNISCOLAST.").arg(id);
}

// ---------------------------------------------------------------------------
// Parameters and owned datasets

int TTovUtil::DwgId(const TUqParamManager *manager)
{
    if (!manager)
        manager = TUqParamManager::ProgramManager();
    ZEP_ASSERT(manager != nullptr, QStringLiteral("DwgId: nessun gestore dei parametri"));
    const platform::Value v = manager->GetParams(QStringLiteral("UQUP_DwgId"));
    if (v.isEmpty())
        throw platform::EConvertError(QStringLiteral("Parametro UQUP_DwgId non impostato"));
    return v.toInt();
}

void TTovUtil::CloseDataSets(const QList<platform::DataSet *> &dataSets)
{
    for (platform::DataSet *ds : dataSets)
        if (ds && ds->tag() != 1)
            ds->close();
}

void TTovDataSet::RefreshByParam(TUqQueryCollection &collection, const QString &name, bool force, int value)
{
    if (!force && collection.isActive() && !collection.isEmpty()) {
        const platform::Field *field = collection.findField(name);
        if (field && !field->isNull() && field->value() == platform::Value(value))
            return;
    }
    collection.close();
    collection.params().paramByName(name).setAsInteger(value);
    collection.Open();
}

QString TTovDataSet::NumericText(const platform::Field &field, bool display)
{
    const platform::Value v = field.value();
    if (field.isNull() || field.asFloat() == 0.0)
        return {};
    const QString format = display || field.editFormat().isEmpty() ? field.displayFormat() : field.editFormat();
    if (!format.isEmpty())
        return platform::formatNumber(format, v);
    QString text = field.asString();
    const platform::FieldType t = field.dataType();
    if (t == platform::FieldType::Float || t == platform::FieldType::Currency || t == platform::FieldType::BCD)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}
