#pragma once
// Helpers shared by the dataset's own sources (not for the programs).
#include "Field.h"
#include "Value.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace platform::dataset_detail {

// The value converted to the field's type (the rules of Field::setValue);
// `fieldName` names the field in errors.
Value coerce(const FieldDef &def, const Value &value);

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
