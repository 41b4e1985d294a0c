#pragma once
// The platform's Format: "%s", "%d", "%0:s" (argument index), "%.2f",
// "%5d", "%-5s", "%x", "%%". A missing argument or a directive that does
// not fit its argument raises EConvertError with the format text.
//
// A directive is "%" [index ":"] ["-"] [width] ["." precision] type, the
// type letter in either case; "%%" is a literal percent. Index, width and
// precision may be "*", which takes them from the next argument (an
// integer). An index sets the running argument number: the directives
// without one go on from it ("%1:s %s" takes arguments 1 and 2). Width pads
// with spaces, on the left, or on the right after "-"; it never cuts.
//   d  Integer or LargeInt; precision = least digits, zero-padded ("%.3d"
//      of 5 is "005", of -5 "-005").
//   u  as d, for values not below zero.
//   x  Integer or LargeInt in upper-case hexadecimal, negative values in
//      two's complement of their 32 or 64 bits; precision as for d.
//   p  Integer or LargeInt as 16 upper-case hexadecimal digits.
//   s  Text only; precision = most characters taken.
//   f  Float, Currency, Integer or LargeInt with `precision` decimals
//      (default 2) and "." as point, rounded half away from zero on the
//      exact value: a Currency on its own decimal digits (0.445 gives
//      "0.45"), a Float on its exact binary value (2.675 is 2.67499... and
//      gives "2.67", 0.125 gives "0.13").
//   n  as f, with the Italian separators: "." for thousands, "," for
//      decimals ("1.234.567,89"), whatever the locale.
//   m  as n followed by " €" ("1.234,50 €", "-0,13 €").
//   e  scientific with `precision` significant digits (default 15):
//      "1.23450000000000E+003".
//   g  the shorter of fixed and scientific at `precision` significant
//      digits (default 15), trailing zeros dropped: "0.1", "1E+020"; the
//      scientific form is used from 10^precision up and below 0.00001.
// Numbers never follow the locale. A Float that is NaN or infinite gives
// "NAN", "INF" or "-INF". Unused arguments are ignored.
#include "Value.h"

namespace platform {

QString format(const QString &pattern, const ValueList &args);

template <typename... Args>
QString format(const QString &pattern, const Args &...args)
{
    return format(pattern, ValueList{Value(args)...});
}

} // namespace platform
