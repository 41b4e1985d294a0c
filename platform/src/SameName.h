#pragma once
// Names of fields, columns and parameters compared as the programs compare
// them: without regard to case. Case folding keeps a name's length, so a
// name of another length is never compared character by character (names
// are asked for every field of every row).
#include <QString>

namespace platform {

inline bool sameName(const QString &a, const QString &b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace platform
