#pragma once
// The foundation's own exceptions. Both carry a message for the user and
// are shown as they stand; the note on the last database operation is never
// added to them (they are not database failures).
#include "Exceptions.h"

// A warning raised by the programs' rules.
class ETovWarning : public EUqWarning {
public:
    using EUqWarning::EUqWarning;
};

// A calculation that cannot go on with the data at hand (an exemption
// larger than the withholding, a contribution on a relationship that may
// not carry it, ...).
class ETovCalcola : public ETovWarning {
public:
    using ETovWarning::ETovWarning;
};
