#pragma once
// Paths written the Windows way ("..\etc\wun\", "USR\UniEmens\Res\Check.txt")
// found on this system: "\" is read as "/", and each part that exists is
// spelled as it is on disk whatever the case of its letters ("usr" for
// "USR"); from the first part that does not exist the rest is kept as
// written. A trailing "/" is kept, so a folder stays a folder.
#include <QString>

namespace platform {

QString findPath(const QString &path);
// `relative` under `base` (joined with one "/").
QString findPath(const QString &base, const QString &relative);

// Why a file could not be written, for the user: "spazio su disco esaurito"
// when the file system that holds it has (next to) no room left, whatever
// the device said (a write that failed in a buffer flush often says
// "Unknown error"), else the device's own words.
QString writeFailureReason(const QString &fileName, const QString &deviceError);

} // namespace platform
