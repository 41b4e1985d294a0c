#pragma once
// The platform's Format: "%s", "%d", "%0:s" (argument index), "%.2f",
// "%5d", "%-5s", "%x", "%%". A missing argument or a directive that does
// not fit its argument raises EConvertError with the format text.
#include "Value.h"

namespace platform {

QString format(const QString &pattern, const ValueList &args);

template <typename... Args>
QString format(const QString &pattern, const Args &...args)
{
    return format(pattern, ValueList{Value(args)...});
}

} // namespace platform
