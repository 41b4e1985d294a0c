#pragma once
// Client-dataset file helpers shared by the local files of the programs
// (working period, import parameters, code tables, the earlier program's
// per-year tables) and by the declaration-table store's stored layouts.
#include <QByteArray>
#include <QString>

#include <functional>

namespace platform {
class DataSet;
class Field;
} // namespace platform

class TTovCds {
public:
    // Loads the file (binary or XML form) into the dataset: its layout and
    // records. Errors of the load reach the caller; the dataset is then
    // unchanged.
    //
    // When the file is missing but its backup (BackupName) is there, as a
    // save interrupted by an earlier version of the programs left it, the
    // backup is loaded instead and the user is told so through the message
    // service; the next save writes the file again.
    static void LoadFromFile(platform::DataSet &dataSet, const QString &fileName);
    // The file, or the backup LoadFromFile falls back to, is there.
    static bool FileExists(const QString &fileName);

    // Saves the dataset under the file name in the binary form, whatever the
    // extension, and merges its change log.
    //
    // The steps, each leaving a file that loads if the process dies after it:
    // 1. temporary files of an earlier save of the same file that died
    //    before finishing ("<name>.XXXXXX.tmp" beside it) are removed, and
    //    the new content is written whole into a new one and flushed to disk;
    // 2. the previous file gets a second name, its backup (a hard link, or a
    //    copy where the file system has no links), replacing a stale one;
    // 3. the temporary file is renamed over the target in one step, so the
    //    file is at every moment the old or the new version, never missing;
    // 4. the dataset's change log is merged and the backup removed.
    // A save that fails raises EWriteError naming the file and the cause
    // ("spazio su disco esaurito" for a full disk), and leaves
    // the previous file, its backup if any, and the dataset's pending
    // changes as they were. Failing to remove the backup at the end is not
    // reported: the file is saved, and the next save removes it.
    static void SaveToFile(platform::DataSet &dataSet, const QString &fileName);

    // The steps of SaveToFile, for a test's hook.
    enum class SaveStep { TemporaryWritten, BackupMade, Replaced };
    // Called, when set, after each step of every save. A test throws from it
    // to stop the save there as if the process had died: nothing of the
    // save runs after the step, its cleanup included.
    static std::function<void(SaveStep)> SaveStepHook;

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
