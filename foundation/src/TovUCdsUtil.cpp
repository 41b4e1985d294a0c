#include "TovUCdsUtil.h"

#include "DataSet.h"
#include "DataSetFile.h"
#include "Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

using platform::DataSet;
using platform::DataSetFile;
using platform::DataSetFileFormat;
using platform::EDataSetError;

void TTovCds::LoadFromFile(DataSet &dataSet, const QString &fileName)
{
    DataSetFile::loadFromFile(dataSet, fileName, DataSetFileFormat::Auto);
}

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

[[noreturn]] void saveFailed(const QString &fileName, const QString &why)
{
    throw EDataSetError(QStringLiteral("Impossibile salvare il file di dataset '%1': %2").arg(fileName, why));
}

// rename(2) replaces an existing target in one step; QFile::rename does not.
bool replaceFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

void TTovCds::SaveToFile(DataSet &dataSet, const QString &fileName)
{
    dataSet.checkBrowseMode();
    const QByteArray bytes = DataSetFile::saveToBlob(dataSet, DataSetFileFormat::Binary);

    const QFileInfo target(fileName);
    const QString targetPath = target.absoluteFilePath();

    // 1. The whole new content, beside the target so the final move is a
    //    rename within one file system.
    QTemporaryFile temp(target.absolutePath() + QLatin1Char('/') + target.fileName() + QStringLiteral(".XXXXXX.tmp"));
    if (!temp.open())
        saveFailed(fileName, temp.errorString());
    if (temp.write(bytes) != bytes.size() || !temp.flush())
        saveFailed(fileName, temp.errorString());
    const QFileDevice::Permissions permissions = target.exists()
                                                     ? QFile::permissions(targetPath)
                                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                           | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    temp.setPermissions(permissions);
    temp.close();

    // 2. The previous version becomes the backup, unless a stale backup
    //    already stands there: then the new file replaces the target in one
    //    step and the stale backup goes afterwards.
    const QString backup = BackupName(targetPath);
    bool madeBackup = false;
    if (target.exists() && !QFileInfo::exists(backup))
        madeBackup = QFile::rename(targetPath, backup);

    // 3. The new file into place.
    if (!replaceFile(temp.fileName(), targetPath)) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        if (madeBackup)
            QFile::rename(backup, targetPath);
        saveFailed(fileName, why);
    }
    temp.setAutoRemove(false);

    // 4. The saved file and the dataset now hold the same records.
    dataSet.mergeChangeLog();
    QFile::remove(backup);
}

int TTovCds::NextKey(const DataSet &dataSet, const QString &fieldName)
{
    const platform::Field &field = dataSet.fieldByName(fieldName);
    ZEP_ASSERT(!field.isCalculated(), QStringLiteral("NextKey: il campo %1 è calcolato").arg(fieldName));
    // Position among the data fields: records() holds those only.
    int column = 0;
    for (int i = 0; i < field.index(); ++i)
        if (!dataSet.field(i)->isCalculated())
            ++column;
    bool any = false;
    qint64 highest = 0;
    // records() holds every record with its pending changes (deleted ones
    // excluded) and leaves the cursor alone.
    for (const platform::ValueList &row : dataSet.records()) {
        const platform::Value &v = row.value(column);
        if (v.isEmpty())
            continue;
        const qint64 n = v.toInt64();
        if (!any || n > highest) {
            highest = n;
            any = true;
        }
    }
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
