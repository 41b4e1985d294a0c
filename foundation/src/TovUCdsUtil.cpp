#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"
#include "Paths.h"
#include "Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

using platform::DataSet;
using platform::DataSetFile;
using platform::DataSetFileFormat;
using platform::EDataSetError;

QString TTovCds::ChangeFileExt(const QString &fileName, const QString &extension)
{
    const qsizetype slash = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return fileName.left(dot) + extension;
    return fileName + extension;
}

QString TTovCds::BackupName(const QString &fileName)
{
    return ChangeFileExt(fileName, QStringLiteral(".BAK"));
}

namespace {

// A file that cannot be written is the installation's fault: the cause is
// told as the user must hear it ("spazio su disco esaurito" for a full disk,
// whatever words the device had for it).
[[noreturn]] void saveFailed(const QString &fileName, const QString &why)
{
    throw platform::EWriteError(QStringLiteral("Impossibile salvare il file di dataset '%1': %2")
                                    .arg(fileName, platform::writeFailureReason(fileName, why)));
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void reached(TTovCds::SaveStep step)
{
    if (TTovCds::SaveStepHook)
        TTovCds::SaveStepHook(step);
}

// The temporary files of a save of `target` ("<name>.XXXXXX.tmp", as
// QTemporaryFile makes them from the template below).
const QLatin1String TempSuffix(".tmp");
constexpr int TempRandomChars = 6;

QString tempTemplate(const QFileInfo &target)
{
    return target.absolutePath() + QLatin1Char('/') + target.fileName() + QLatin1Char('.')
           + QString(TempRandomChars, QLatin1Char('X')) + TempSuffix;
}

void removeStaleTemporaries(const QFileInfo &target)
{
    const QString prefix = target.fileName() + QLatin1Char('.');
    const qsizetype length = prefix.size() + TempRandomChars + TempSuffix.size();
    QDir folder(target.absolutePath());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.size() == length && name.startsWith(prefix) && name.endsWith(TempSuffix))
            folder.remove(name);
}

// A second name for the target: a hard link, or a copy where the file
// system has none. A stale backup is replaced.
bool makeBackup(const QString &target, const QString &backup)
{
    if (QFileInfo::exists(backup) && !QFile::remove(backup))
        return false;
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(backup).constData()) == 0)
        return true;
    return QFile::copy(target, backup);
}

// The rename is on disk too, not only in the folder's cache.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::function<void(TTovCds::SaveStep)> TTovCds::SaveStepHook;

bool TTovCds::FileExists(const QString &fileName)
{
    return QFileInfo::exists(fileName) || QFileInfo::exists(platform::findPath(BackupName(fileName)));
}

void TTovCds::LoadFromFile(DataSet &dataSet, const QString &fileName)
{
    if (!QFileInfo::exists(fileName)) {
        const QString backup = platform::findPath(BackupName(fileName));
        if (QFileInfo::exists(backup)) {
            DataSetFile::loadFromFile(dataSet, backup, DataSetFileFormat::Auto);
            platform::showMessage(
                QStringLiteral(
                    "Il file \"%1\" non è stato trovato: sono stati caricati i dati della sua copia \"%2\", "
                    "lasciata da un salvataggio non concluso. Il file sarà riscritto al prossimo salvataggio.")
                    .arg(QDir::toNativeSeparators(fileName), QDir::toNativeSeparators(backup)),
                {}, platform::MessageType::Warning);
            return;
        }
    }
    DataSetFile::loadFromFile(dataSet, fileName, DataSetFileFormat::Auto);
}

void TTovCds::SaveToFile(DataSet &dataSet, const QString &fileName)
{
    dataSet.checkBrowseMode();
    const QByteArray bytes = DataSetFile::saveToBlob(dataSet, DataSetFileFormat::Binary);

    const QFileInfo target(fileName);
    const QString targetPath = target.absoluteFilePath();
    const bool replacing = target.exists();

    // 1. The whole new content, beside the target so the final move is a
    //    rename within one file system. Nothing removes it but this code:
    //    a save that dies leaves it for the next one to remove.
    removeStaleTemporaries(target);
    QTemporaryFile temp(tempTemplate(target));
    temp.setAutoRemove(false);
    if (!temp.open())
        saveFailed(fileName, temp.errorString());
    const QString tempPath = temp.fileName();
    const auto discard = [&](const QString &why) {
        temp.close();
        QFile::remove(tempPath);
        saveFailed(fileName, why);
    };
    if (temp.write(bytes) != bytes.size() || !temp.flush())
        discard(platform::writeError(temp));
    if (::fsync(temp.handle()) != 0)
        discard(systemError());
    temp.setPermissions(replacing ? QFile::permissions(targetPath)
                                  : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                        | QFileDevice::ReadOther);
    temp.close();
    reached(SaveStep::TemporaryWritten);

    // 2. The previous version keeps a second name while it is replaced (a
    //    file named "*.BAK" is its own backup name and gets none).
    const QString backup = BackupName(targetPath);
    const bool withBackup = backup != targetPath;
    if (replacing && withBackup) {
        if (!makeBackup(targetPath, backup))
            discard(QStringLiteral("impossibile creare la copia di sicurezza '%1'").arg(backup));
        reached(SaveStep::BackupMade);
    }

    // 3. The new file into place, in one step (rename(2) replaces an
    //    existing target; QFile::rename does not).
    if (std::rename(QFile::encodeName(tempPath).constData(), QFile::encodeName(targetPath).constData()) != 0) {
        const QString why = systemError();
        if (replacing && withBackup)
            QFile::remove(backup);
        discard(why);
    }
    syncFolder(target.absolutePath());
    reached(SaveStep::Replaced);

    // 4. The saved file and the dataset now hold the same records.
    dataSet.mergeChangeLog();
    if (withBackup)
        QFile::remove(backup);
}

int TTovCds::NextKey(const DataSet &dataSet, const QString &fieldName)
{
    const platform::Field &field = dataSet.fieldByName(fieldName);
    ZEP_ASSERT(!field.isCalculated(), QStringLiteral("NextKey: il campo %1 è calcolato").arg(fieldName));
    bool any = false;
    qint64 highest = 0;
    // Every record with its pending changes (deleted ones excluded); the
    // cursor is left alone.
    dataSet.forEachFieldValue(fieldName, [&](const platform::Value &v) {
        if (v.isEmpty())
            return;
        const qint64 n = v.toInt64();
        if (!any || n > highest) {
            highest = n;
            any = true;
        }
    });
    if (!any)
        return 1;
    ZEP_ASSERT(highest < std::numeric_limits<int>::max(),
               QStringLiteral("NextKey: chiave oltre il limite in %1").arg(fieldName));
    return int(highest) + 1;
}

void TTovCds::LoadFromBlob(const platform::Field &blobField, DataSet &dataSet)
{
    dataSet.close();
    DataSetFile::loadFromBlob(dataSet, blobField.asBytes(), blobField.fieldName(), DataSetFileFormat::Binary);
}
