#pragma once
// Paths written the Windows way ("..\etc\wun\", "USR\UniEmens\Res\Check.txt")
// found on this system: "\" is read as "/", and each part that exists is
// spelled as it is on disk whatever the case of its letters ("usr" for
// "USR"); from the first part that does not exist the rest is kept as
// written. A trailing "/" is kept, so a folder stays a folder.
#include <QString>

class QIODevice;
class QSaveFile;

namespace platform {

QString findPath(const QString &path);
// `relative` under `base` (joined with one "/").
QString findPath(const QString &base, const QString &relative);

// Why a file could not be written, for the user: "spazio su disco esaurito"
// when the file system that holds it has (next to) no room left, whatever
// the device said (a write that failed in a buffer flush often says
// "Unknown error"), else the device's own words.
QString writeFailureReason(const QString &fileName, const QString &deviceError);
// Why a write to the device failed or came up short: the system's words for
// a full disk (a write cut short by one leaves a file device with "Unknown
// error"), else the device's. Asked right after the write.
QString writeError(const QIODevice &device);

// QSaveFile::commit() with the bytes still in the file's buffer written
// first, and checked: commit() alone puts a file whose last write failed (a
// disk that filled up just then) in place as saved, empty or cut short.
// False, the file not put in place, when the write or the move fails (the
// file's errorString() says why).
bool commitSaveFile(QSaveFile &file);

} // namespace platform
