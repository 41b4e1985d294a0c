#pragma once
// The write mode of a Firebird database file. With forced writes on (the
// default of a new database) every commit waits for the disk; an archive
// that is generated in one go (the demo archive, a test's archive) is made
// far faster with them off, and has them turned on again when it is ready.
#include "Database.h"

namespace payroll {

// Attaches to the database of `settings` for a moment and sets its write
// mode. Raises EDatabaseError with the engine's message when it cannot.
void setForcedWrites(const platform::ConnectionSettings &settings, bool on);

} // namespace payroll
