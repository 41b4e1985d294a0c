#pragma once
// Dataset files: a dataset's structure and records saved to and loaded from
// a file or a byte blob, in a binary form or an XML form of our own (both
// described in docs/DATASET_FILES.md).
//
// What a file holds: the data fields (name, type, size, required, display
// label, visibility, read-only flag, display and edit formats), the index
// field names, and every record in natural order as the dataset holds it
// now: a pending change log is not written (an inserted or modified record
// is saved with its current values, a deleted one is left out), and the
// dataset's filter does not hide records from the file. Calculated fields
// are computed by code and never stored.
//
// Loading replaces the dataset's structure (fields and their properties),
// records and index field names; the dataset keeps its name, events,
// observers, filter, read-only flag, tag, command text and parameters. It
// is then open in browse state on the first record with no change log. An
// edit in progress is discarded. A file that cannot be read, is damaged,
// truncated or of another kind raises EDataSetError naming the file, and the
// dataset is left exactly as it was: nothing is changed before the whole
// file has been read and checked.
//
// Saving writes a temporary file beside the target and puts it in place
// only when everything was written, so a failing save leaves the previous
// file untouched.
#include "DataSet.h"
#include "Field.h"
#include "Value.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

enum class DataSetFileFormat {
    Auto, // loading: told apart by the first bytes; saving: Binary
    Binary,
    Xml
};

// The properties of a data field that a file keeps besides its definition.
struct FieldProperties {
    QString displayLabel; // empty: the field name
    bool visible = true;
    bool readOnly = false;
    QString displayFormat;
    QString editFormat;

    bool operator==(const FieldProperties &) const = default;
};

// What a dataset file holds, apart from any dataset. Each row has one value
// per field definition, in definition order, of the field's kind: Text for
// String and Memo, Integer for Integer, SmallInt and Word, LargeInt, Float,
// Currency for Currency and BCD, Date, DateTime, Time, Boolean, Bytes for
// Blob; Null for a null value. An empty text is a value, not a null one
// (the dataset itself reads empty text as Null).
struct DataSetContent {
    FieldDefs fieldDefs;               // data fields only
    QList<FieldProperties> properties; // one per definition
    QString indexFieldNames;
    QList<ValueList> rows;

    bool operator==(const DataSetContent &) const = default;
};

class DataSetFile {
public:
    // ---- a dataset and a file ----
    // Raises EDataSetError "Impossibile salvare il file di dataset 'X': ..."
    // when the file cannot be written (the previous file stays as it was).
    // An edit in progress is posted first. Auto saves in binary form.
    static void saveToFile(DataSet &dataSet, const QString &fileName,
                           DataSetFileFormat format = DataSetFileFormat::Binary);
    // Raises EDataSetError naming the file when it is missing, unreadable,
    // damaged, truncated or not a dataset file; the dataset is then unchanged.
    static void loadFromFile(DataSet &dataSet, const QString &fileName,
                             DataSetFileFormat format = DataSetFileFormat::Auto);

    // ---- a dataset and a blob (the bytes a file would hold) ----
    static QByteArray saveToBlob(DataSet &dataSet, DataSetFileFormat format = DataSetFileFormat::Binary);
    // `sourceName` names the blob in error messages ("blob" when empty).
    static void loadFromBlob(DataSet &dataSet, const QByteArray &blob, const QString &sourceName = {},
                             DataSetFileFormat format = DataSetFileFormat::Auto);

    // ---- the content on its own ----
    // The dataset's data fields, their properties, index field names and
    // records (an edit in progress is posted first).
    static DataSetContent contentOf(DataSet &dataSet);
    // Loads the content into the dataset as loadFromFile does; EDataSetError
    // and nothing changed when it does not fit (a value of the wrong kind, a
    // text longer than its field, an unknown index field, the dataset's
    // filter naming a field the content lacks).
    static void loadContent(DataSet &dataSet, const DataSetContent &content);

    // The bytes of a file. EDataSetError when a value does not fit its field
    // or a text has a lone UTF-16 surrogate.
    static QByteArray encode(const DataSetContent &content, DataSetFileFormat format = DataSetFileFormat::Binary);
    // Reads the bytes of a file; `sourceName` names it in errors.
    static DataSetContent decode(const QByteArray &bytes, const QString &sourceName,
                                 DataSetFileFormat format = DataSetFileFormat::Auto);

    // Binary or Xml by the first bytes (the binary magic; "<" after an
    // optional byte-order mark and blanks); Auto when neither.
    static DataSetFileFormat detectFormat(const QByteArray &bytes);

    // The CRC-32 (IEEE 802.3) that closes a binary file.
    static quint32 checksum(const char *data, qsizetype size);
};

} // namespace platform
