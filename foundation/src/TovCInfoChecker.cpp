#include "TovCInfoChecker.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"

#include <QDateTime>
#include <QLocale>

using platform::DataSet;
using platform::Field;
using platform::FieldType;

void TTovInfoChecker::Clear()
{
    m_messages.clear();
    m_sectionTitle.clear();
}

void TTovInfoChecker::AddMessage(const QString &text)
{
    if (!m_sectionTitle.isEmpty())
        m_messages << QStringLiteral("******** ") + m_sectionTitle;
    m_messages << text;
}

void TTovInfoChecker::SetFieldLabels(const QStringList &labels)
{
    m_labels = labels;
    m_labelOf.clear();
    for (const QString &pair : labels) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const Name name{pair.left(eq)};
        if (!m_labelOf.contains(name))
            m_labelOf.insert(name, pair.mid(eq + 1));
    }
}

size_t TTovInfoChecker::Name::hash(const QString &name, size_t seed)
{
    // Outside the basic plane a character folds with its pair: the folded
    // copy, rare for a field name.
    for (const QChar c : name)
        if (c.isSurrogate())
            return qHash(name.toCaseFolded(), seed);
    size_t h = seed;
    for (const QChar c : name) {
        char16_t u = c.unicode();
        if (u >= 'A' && u <= 'Z')
            u += 'a' - 'A';
        else if (u >= 0x80)
            u = c.toCaseFolded().unicode();
        h = h * 31 + u;
    }
    return h;
}

QString TTovInfoChecker::FieldLabel(const QString &fieldName) const
{
    return m_labelOf.value(Name{fieldName});
}

bool TTovInfoChecker::FieldHasValue(const Field &field)
{
    switch (field.dataType()) {
    case FieldType::String:
    case FieldType::Memo: return !field.asString().isEmpty();
    case FieldType::Date:
    case FieldType::DateTime: {
        if (field.isNull())
            return false;
        // The zero date (30/12/1899) and anything before it count as empty.
        // Compared as calendar date and clock time: a local QDateTime made
        // or compared asks the C library for the time zone each time.
        const QDate zero(1899, 12, 30);
        const platform::Value v = field.value();
        if (v.type() == platform::ValueType::Date)
            return v.toDate() > zero;
        const QDateTime dt = field.asDateTime();
        return dt.date() > zero || (dt.date() == zero && dt.time() > QTime(0, 0));
    }
    default: {
        // Whole numbers and currency amounts read as text and back are
        // what they hold: no text is made for them.
        const platform::Value v = field.value();
        if (v.type() == platform::ValueType::Integer || v.type() == platform::ValueType::LargeInt)
            return v.toInt64() != 0;
        if (v.type() == platform::ValueType::Currency)
            return v.toCurrency().raw() != 0;
        QString text = field.asString().trimmed();
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        return ok && number != 0.0;
    }
    }
}

bool TTovInfoChecker::CheckDataSets(const QList<DataSet *> &sets, const FieldCheck &check)
{
    const qsizetype before = m_messages.size();
    for (DataSet *set : sets) {
        ZEP_ASSERT(set != nullptr, "CheckDataSets: dataset mancante");
        for (const auto &field : set->fields()) {
            const QString name = field->fieldName();
            const QString label = FieldLabel(name);
            if (!label.isEmpty() && !FieldHasValue(*field)) {
                AddMessage(QStringLiteral(" - Dato obbligatorio mancante: ") + label);
                continue;
            }
            if (check) {
                const QString message = check(name, *set);
                if (!message.isEmpty())
                    AddMessage(message);
            }
        }
    }
    return m_messages.size() == before;
}
