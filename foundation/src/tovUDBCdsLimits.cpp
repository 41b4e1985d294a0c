#include "tovUDBCdsLimits.h"

#include "tovUDBCds.h"

#include "Exceptions.h"

using platform::DeltaRecord;
using platform::Field;
using platform::FieldType;
using platform::UpdateKind;
using platform::Value;

namespace {

// The first lone surrogate of the text (-1 when none) and the characters
// before it, or in the whole text, as the engine counts them.
struct TextScan {
    qsizetype loneAt = -1;
    qsizetype characters = 0;
};

TextScan scan(const QString &s)
{
    TextScan r;
    for (qsizetype i = 0; i < s.size(); ++i, ++r.characters) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            r.loneAt = i;
            return r;
        }
    }
    return r;
}

class Checker {
public:
    Checker(const QString &table) : m_table(table) {}

    void setRecord(const DeltaRecord &d, int newOrdinal)
    {
        const Value row = d.hasField(TTovDBCds::FieldRigo) ? d.value(TTovDBCds::FieldRigo) : Value();
        m_record = !row.isEmpty() && row.toInt() != 0 ? QStringLiteral("nel record %1").arg(row.toInt())
                                                      : QStringLiteral("nel nuovo record %1").arg(newOrdinal);
    }

    // A text of `what()` ("il campo Cognome") for a column of `width`
    // characters, `column` naming it in the message (empty: the value rows).
    // The description is made only for a refusal: every field of every row
    // saved is checked.
    template <typename What>
    void text(const What &what, const QString &value, int width, const QString &column) const
    {
        const TextScan s = scan(value);
        if (s.loneAt < 0 && s.characters <= width)
            return;
        if (s.loneAt >= 0)
            fail(QStringLiteral("%1 contiene un surrogato UTF-16 isolato (U+%2) al carattere %3")
                     .arg(what())
                     .arg(QString::number(value.at(s.loneAt).unicode(), 16).toUpper())
                     .arg(s.characters + 1));
        if (s.characters > width)
            fail(QStringLiteral("%1 ha %2 caratteri; %3 ne conserva al massimo %4")
                     .arg(what())
                     .arg(s.characters)
                     .arg(column.isEmpty() ? QStringLiteral("l'archivio delle denunce")
                                           : QStringLiteral("la colonna %1 dell'anagrafica").arg(column))
                     .arg(width));
    }

    [[noreturn]] void fail(const QString &why) const
    {
        throw EUqError(QStringLiteral("Impossibile salvare la tabella %1: %2 %3.").arg(m_table, m_record, why));
    }

private:
    QString m_table;
    QString m_record;
};

} // namespace

int TTovDBCdsLimits::RegistryWidth(const QString &column)
{
    // The widths of foundation/sql/002_declaration_store.sql.
    if (column == QLatin1String("SAFICODFISCALE") || column == QLatin1String("SAFICODFISSOST"))
        return 20;
    if (column == QLatin1String("SAFICOGNOME") || column == QLatin1String("SAFINOME")
        || column == QLatin1String("SAFIGRUPPOANA"))
        return 60;
    return 0;
}

QString TTovDBCdsLimits::LayoutRefusal(const Field &field)
{
    const QString limit =
        QStringLiteral("l'archivio delle denunce conserva testi di al massimo %1 caratteri").arg(ValueWidth);
    if (field.dataType() == FieldType::Memo)
        return QStringLiteral("il campo %1 è di tipo Memo, ma %2").arg(field.fieldName(), limit);
    if (field.dataType() == FieldType::String && (field.size() <= 0 || field.size() > ValueWidth))
        return QStringLiteral("il campo %1 è un testo %2, ma %3")
            .arg(field.fieldName(),
                 field.size() <= 0 ? QStringLiteral("senza lunghezza massima")
                                   : QStringLiteral("di %1 caratteri").arg(field.size()),
                 limit);
    return {};
}

void TTovDBCdsLimits::CheckPendingValues(const platform::DataSet &dataSet, const QList<DeltaRecord> &delta,
                                         const QString &name, const TCdsParameters &params)
{
    const bool toRegistry = dataSet.findField(TTovDBCds::FieldAfi) && !params.FMapReadOnly;
    Checker check(name);
    int newOrdinal = 0;
    for (const DeltaRecord &d : delta) {
        if (d.kind() == UpdateKind::Delete)
            continue;
        if (d.kind() == UpdateKind::Insert)
            ++newOrdinal;
        check.setRecord(d, newOrdinal);
        for (const auto &f : dataSet.fields()) {
            if (f->isCalculated() || params.IsRegistryField(f->fieldName()))
                continue;
            const Value v = d.value(f->index());
            if (v.isEmpty())
                continue;
            const auto what = [&f] { return QStringLiteral("il campo %1").arg(f->fieldName()); };
            if (f->dataType() == FieldType::String || f->dataType() == FieldType::Memo)
                check.text(what, v.toString(), ValueWidth, {});
            else if (f->dataType() == FieldType::Blob && (v.toBytes().size() + 2) / 3 * 4 > ValueWidth)
                check.fail(QStringLiteral("%1 ha %2 byte, più dei %3 che l'archivio delle denunce conserva")
                               .arg(what())
                               .arg(v.toBytes().size())
                               .arg(ValueWidth / 4 * 3));
        }
        if (!toRegistry)
            continue;
        for (const TCdsFieldMapEntry &e : params.Entries) {
            QString text;
            for (const QString &part : e.parts()) {
                const Field *f = dataSet.findField(part);
                const Value v = f ? d.value(f->index()) : Value();
                if (!v.isEmpty())
                    text += v.toString();
            }
            const auto what = [&e] {
                return e.isComposite() ? QStringLiteral("l'unione dei campi %1").arg(e.value)
                                       : QStringLiteral("il campo %1").arg(e.value);
            };
            check.text(what, text, RegistryWidth(e.column), e.column);
        }
    }
}
