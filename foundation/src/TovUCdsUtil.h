#pragma once
// Client-dataset file helpers shared by the local files of the programs
// (working period, import parameters, code tables, the earlier program's
// per-year tables) and by the declaration-table store's stored layouts.
#include <QByteArray>
#include <QString>

namespace platform {
class DataSet;
class Field;
} // namespace platform

class TTovCds {
public:
    // Loads the file (binary or XML form) into the dataset: its layout and
    // records. Errors of the load reach the caller; the dataset is then
    // unchanged.
    static void LoadFromFile(platform::DataSet &dataSet, const QString &fileName);

    // Saves the dataset under the file name in the binary form, whatever the
    // extension, and merges its change log.
    //
    // The new content is first written whole into a temporary file beside
    // the target. Only then is the previous file renamed to its backup name
    // (see BackupName), the new file moved into place and the backup
    // deleted; a stale backup left by an interrupted save is deleted after
    // the new file is in place. A save that fails at any point leaves the
    // previous file (or, past the rename, its backup) intact and the
    // dataset's pending changes in place, and raises EDataSetError naming
    // the file. Failures to make or delete the backup are not reported.
    static void SaveToFile(platform::DataSet &dataSet, const QString &fileName);

    // The next free integer key of a field: its highest value among the
    // records (pending changes included) plus 1; 1 for an empty dataset or
    // when the highest value is null. The dataset is neither moved nor
    // changed.
    static int NextKey(const platform::DataSet &dataSet, const QString &fieldName);

    // Replaces the dataset by the one stored in the blob field (the binary
    // form of a dataset file).
    static void LoadFromBlob(const platform::Field &blobField, platform::DataSet &dataSet);

    // The file name with its extension replaced by ".BAK" (TEMENSPAR.XML ->
    // TEMENSPAR.BAK; a name without extension gets one).
    static QString BackupName(const QString &fileName);
    // The file name with its extension (the text after the last "." of the
    // name part, if any) replaced by `extension` (which starts with ".").
    static QString ChangeFileExt(const QString &fileName, const QString &extension);
};
