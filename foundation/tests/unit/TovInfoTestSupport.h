#pragma once
// What the check-result tests share: a record of four typed fields, and the
// labels that make them all mandatory.
#include "DataSet.h"

#include <QDate>
#include <QStringList>

namespace {

using namespace platform;

// A dataset of one record with a text, an integer, a date and a float.
void makeRecord(DataSet &ds, const QString &text, int number, QDate date, double amount)
{
    ds.addFieldDef(QStringLiteral("NOME"), FieldType::String, 40);
    ds.addFieldDef(QStringLiteral("NUMERO"), FieldType::Integer);
    ds.addFieldDef(QStringLiteral("DATA"), FieldType::Date);
    ds.addFieldDef(QStringLiteral("IMPORTO"), FieldType::Float);
    ds.createDataSet();
    ds.append();
    if (!text.isNull())
        ds.setFieldValue(QStringLiteral("NOME"), Value(text));
    ds.setFieldValue(QStringLiteral("NUMERO"), Value(number));
    if (date.isValid())
        ds.setFieldValue(QStringLiteral("DATA"), Value(date));
    ds.setFieldValue(QStringLiteral("IMPORTO"), Value(amount));
    ds.post();
}

const QStringList kLabels{QStringLiteral("NOME=Cognome e nome"), QStringLiteral("numero=Matricola"),
                          QStringLiteral("DATA=Data di nascita"), QStringLiteral("IMPORTO=Imponibile")};

} // namespace
