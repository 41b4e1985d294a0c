#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <QStorageInfo>
#include <QStringList>

namespace platform {

QString findPath(const QString &path)
{
    QString slashed = path;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool trailing = slashed.endsWith(QLatin1Char('/'));
    const QString clean = QDir::cleanPath(slashed);
    if (clean.isEmpty())
        return clean;
    const bool absolute = clean.startsWith(QLatin1Char('/'));
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool searching = true;
    for (const QString &part : parts) {
        QString next = part;
        if (searching && part != QLatin1String("..") && part != QLatin1String(".")) {
            const QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
            if (!QFileInfo::exists(dir.filePath(part))) {
                searching = false;
                const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                          | QDir::NoDotAndDotDot);
                for (const QString &entry : entries)
                    if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                        next = entry;
                        searching = true;
                        break;
                    }
            }
        }
        if (!current.isEmpty() && !current.endsWith(QLatin1Char('/')))
            current += QLatin1Char('/');
        current += next;
    }
    if (trailing && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    return current;
}

QString findPath(const QString &base, const QString &relative)
{
    if (base.isEmpty())
        return findPath(relative);
    QString joined = base;
    joined.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!joined.endsWith(QLatin1Char('/')))
        joined += QLatin1Char('/');
    return findPath(joined + relative);
}

QString writeFailureReason(const QString &fileName, const QString &deviceError)
{
    // Less than this is a full disk for every file the programs write.
    constexpr qint64 NearlyFull = 64 * 1024;
    QString folder = QFileInfo(fileName).absolutePath();
    for (QString up = QFileInfo(folder).absolutePath(); !QFileInfo::exists(folder) && up != folder;
         up = QFileInfo(folder).absolutePath())
        folder = up;
    const QStorageInfo storage(folder);
    const bool full = deviceError.contains(QLatin1String("No space left"), Qt::CaseInsensitive)
                      || (storage.isValid() && storage.isReady() && storage.bytesAvailable() < NearlyFull);
    if (full)
        return QStringLiteral("spazio su disco esaurito (%1). Liberare spazio e ripetere l'operazione.")
            .arg(QDir::toNativeSeparators(storage.isValid() ? storage.rootPath() : folder));
    return deviceError.isEmpty() ? QStringLiteral("errore di scrittura") : deviceError;
}

QString writeError(const QIODevice &device)
{
    // A write cut short by a full disk leaves a file device without words
    // of its own ("Unknown error"); the system's say it.
    if (const int error = errno; error == ENOSPC)
        return QString::fromLocal8Bit(std::strerror(error));
    return device.errorString();
}

bool commitSaveFile(QSaveFile &file)
{
    // Left uncommitted, the file is discarded with the object.
    return file.flush() && file.commit();
}

} // namespace platform
