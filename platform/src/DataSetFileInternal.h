#pragma once
// Helpers shared by the two dataset file forms (not for the programs).
#include "DataSetFile.h"

#include <QString>

namespace platform::dataset_file_detail {

// A fault in the bytes of a file, described without the file's name (the
// caller adds it). `line` is the line of an XML file, 0 when unknown.
struct FormatError {
    QString detail;
    qint64 line = 0;
};

[[noreturn]] void fail(const QString &detail, qint64 line = 0);

QByteArray encodeBinary(const DataSetContent &content);
DataSetContent decodeBinary(const QByteArray &bytes);
QByteArray encodeXml(const DataSetContent &content);
DataSetContent decodeXml(const QByteArray &bytes);

// The structure faults of a content (no fields, empty or repeated names,
// sizes out of range, rows of the wrong length, unknown index fields, texts
// longer than their field); empty when none. Values of the wrong kind are
// the encoders' and loadRecords' to find.
QString contentFault(const DataSetContent &content);

// The value in the kind a file keeps for the field (see DataSetContent):
// the dataset's conversion with Misfit::Refuse, so that nothing is cut or
// rounded on its way to a file; Null for Null and Unassigned. Raises
// EDataSetError naming the field for a value that does not convert or fit,
// or a text with a lone UTF-16 surrogate (which a file cannot keep).
Value fileValue(const FieldDef &def, const Value &value);

// 'name' in messages.
inline QString quoted(const QString &name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

// Exact decimal text of a Currency ("-12.5", "0.0001", "3"), and its strict
// reader ("." as point, at most four decimals); false when the text is not
// one or is out of range.
QString currencyText(Currency value);
bool parseCurrency(QStringView text, Currency *value);

// Shortest text that reads back to the same double ("0.1", "-0", "1e+300",
// "nan", "inf", "-inf"), and its reader.
QString floatText(double value);
bool parseFloat(QStringView text, double *value);

} // namespace platform::dataset_file_detail
