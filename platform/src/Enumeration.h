#pragma once
// The framework's enumeration loader: (text, id) pairs from a statement,
// for combo boxes (ui/EnumerationCombo.h) and lists. The statement's first column is the text, its
// second the id; rows come in the statement's order.
#include "Database.h"
#include "Params.h"

#include <QList>
#include <QString>

namespace platform {

struct EnumItem {
    QString text;
    qint64 id = 0;
    bool operator==(const EnumItem &) const = default;
};
using EnumItems = QList<EnumItem>;

// Runs `sql` with `params` (by name) on `database`. A statement with fewer
// than two columns raises EDatabaseError; a Null text reads as "", a Null
// id as 0.
EnumItems loadEnumeration(Database &database, const QString &sql, const Params &params = {});

} // namespace platform
