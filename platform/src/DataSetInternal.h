#pragma once
// Helpers shared by the dataset's own sources (not for the programs).
#include "Field.h"
#include "Value.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace platform::dataset_detail {

// What a conversion does with a value its field cannot hold as it is: text
// longer than a String field, an amount with more decimals than a BCD
// field keeps.
enum class Misfit {
    Truncate, // cut the text to the field's size, round the amount half away from zero
    Refuse    // raise EDataSetError naming the field
};

// The one conversion of a value to a field's type, for the dataset's
// records and for its files alike: Null and Unassigned give Null, an
// invalid date or time gives Null. Raises EConvertError or EOverflowError
// (Value's conversions) for a value of another kind that does not convert,
// EDataSetError for a SmallInt or Word out of range and, with
// Misfit::Refuse, for a misfit.
Value convertValue(const FieldDef &def, const Value &value, Misfit misfit);

// The value as a record keeps it (Field::setValue, loaded rows, the change
// log): converted, and empty text is Null in every field but a Blob.
Value recordValue(const FieldDef &def, const Value &value, Misfit misfit);
// Whether recordValue would give the value back unchanged (a value of the
// field's own kind that needs no conversion, as a query's result gives it).
bool keptAsIs(const FieldDef &def, const Value &value);

// Order of two values of one field: Null first; text without regard to
// case, then with; numbers by value; dates, times, booleans by value.
int compareForOrder(const Value &a, const Value &b);

// Comparison of two values of possibly different kinds for filters; empty
// when either is Null or they cannot be compared.
std::optional<int> compareMixed(const Value &a, const Value &b);

// "F1;F2" split at ";" with blanks trimmed and empty parts dropped.
QStringList splitFieldNames(const QString &names);

// A compiled filter expression over the values of one record.
class FilterExpression {
public:
    virtual ~FilterExpression() = default;
    virtual bool matches(const ValueList &values) const = 0;

    // Compiles the expression against the field names (index = position in
    // the list). Raises EDataSetError naming the expression when it is
    // faulty or names an unknown field.
    static std::unique_ptr<FilterExpression> compile(const QString &text, const QStringList &fieldNames);
};

} // namespace platform::dataset_detail
