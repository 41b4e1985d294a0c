#pragma once
// GoogleTest output of the platform's types and of QString: failures show
// "Integer(12)" and "abc", not raw bytes. GoogleTest instantiates one printer
// per type for the whole program, so every test file of this program that
// compares QStrings should include this header.
#include "Currency.h"
#include "Value.h"

#include <ostream>

namespace platform {

inline void PrintTo(const Value &v, std::ostream *os)
{
    *os << v.debugText().toStdString();
}
inline void PrintTo(const Currency &c, std::ostream *os)
{
    *os << c.toString().toStdString();
}

} // namespace platform

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
