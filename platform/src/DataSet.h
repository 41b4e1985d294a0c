#pragma once
// The in-memory dataset: typed records with a cursor, edit states, an
// optional order and filter, a change log, events and observers. Query
// results, declaration tables, code tables and dataset files all live in
// one of these.
//
// Conventions the programs rely on:
// - Field names are looked up without regard to case ("GIORNI" is "Giorni").
// - Moving the cursor (first/next/prior/last/moveBy/setRecNo/locate/
//   gotoBookmark) or changing the order or the filter while a record is
//   being edited or inserted posts it first; if that post fails (a
//   before-post event raising EAbort, a required field left empty), the
//   exception reaches the caller and the record stays in edit.
// - A before-event that throws (EAbort for a silent abort) stops the
//   operation before anything changed; the exception reaches the caller.
// - Errors are EDataSetError with Italian messages naming the field or
//   dataset: "Campo 'X' non trovato", "Dataset non in modifica", ...
#include "Exceptions.h"
#include "Field.h"
#include "Params.h"
#include "Value.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

enum class DataSetState { Inactive, Browse, Edit, Insert, CalcFields };

enum class LocateOption { CaseInsensitive = 0x1, PartialKey = 0x2 };
Q_DECLARE_FLAGS(LocateOptions, LocateOption)

// Pending change of a record since the last merge of the change log.
enum class UpdateStatus { Unmodified, Modified, Inserted, Deleted };
enum class UpdateKind { Modify, Insert, Delete };

// A position in the dataset: the identity of one record, valid until that
// record is deleted (or the dataset is emptied, closed or reloaded).
struct Bookmark {
    quint64 id = 0;
    bool isValid() const { return id != 0; }
    bool operator==(const Bookmark &) const = default;
};

class DataSet;

// One pending change of the change log, as the store or a query collection
// applies it: its kind, the values before (old) and after (new), and which
// fields were assigned. Only data fields take part.
// - Insert: new values are the fields assigned in the record (set by code,
//   by onNewRecord, or non-null); old values are Null.
// - Modify: new values are the fields whose value differs from the old one;
//   old values are the record as it was after the last merge.
// - Delete: old values as for Modify; no new value.
// A field not assigned has the new value Unassigned. value() is "new value,
// else old value". A DeltaRecord refers to its dataset's fields: use it
// while the dataset's structure is unchanged.
class DeltaRecord {
public:
    UpdateKind kind() const { return m_kind; }
    Bookmark bookmark() const { return m_bookmark; }
    const DataSet &dataSet() const { return *m_dataSet; }

    bool hasField(const QString &name) const;
    // Raise EDataSetError "Campo 'X' non trovato" for an unknown field.
    Value oldValue(const QString &name) const;
    Value newValue(const QString &name) const;
    Value value(const QString &name) const;
    bool isAssigned(const QString &name) const;
    // Index-based forms; the index is the field's Field::index().
    Value oldValue(int field) const { return m_old.value(field); }
    Value newValue(int field) const { return m_new.value(field); }
    Value value(int field) const;
    bool isAssigned(int field) const { return !m_new.value(field).isUnassigned(); }

    // Inside DataSet::applyUpdates: gives the field a new value (a row
    // number, an id) that is written back into the record when the whole
    // apply succeeds. Converted to the field's type.
    void setNewValue(const QString &name, const Value &value);

private:
    friend class DataSet;
    int indexOf(const QString &name) const;
    UpdateKind m_kind = UpdateKind::Modify;
    Bookmark m_bookmark;
    const DataSet *m_dataSet = nullptr;
    ValueList m_old;
    ValueList m_new;
    QList<int> m_written; // fields given a value by setNewValue
};

// Event handlers. A handler receives the dataset; a before-handler may throw
// (EAbort to abort silently). DataSet::events() gives the whole set so that
// it can be saved, cleared and put back around a load.
struct DataSetEvents {
    using Handler = std::function<void(DataSet &)>;
    Handler beforeOpen, afterOpen, beforeClose, afterClose;
    Handler beforeInsert, afterInsert, beforeEdit, afterEdit;
    Handler beforePost, afterPost, beforeCancel, afterCancel;
    Handler beforeDelete, afterDelete, beforeScroll, afterScroll;
    Handler beforeRefresh, afterRefresh;
    // Sets default values of a new record (its assignments count as
    // assigned fields of the insert).
    Handler onNewRecord;
    // Sets the calculated fields of the record at hand (state CalcFields;
    // reading any field reads that record).
    Handler onCalcFields;
    // Record filter, active while filtered(): true keeps the record. Reading
    // any field reads the record under test.
    std::function<bool(DataSet &)> onFilterRecord;
};

// What changed, for observers (grids, data sources). Observers are not told
// while controls are disabled; enableControls() that ends the last
// disableControls() sends one Reset.
struct DataChange {
    enum Kind {
        Reset,         // structure, rows, order or filter changed: read everything again
        StateChanged,  // browse/edit/insert changed (rows may have been added or removed)
        RowsChanged,   // records were added, removed or moved (post, delete, cancel)
        RecordChanged, // a value of the current record changed (field set; nullptr: several)
        CursorMoved,   // another record became current
        Destroyed      // the dataset is being destroyed: forget it (sent even
                       // while controls are disabled)
    };
    Kind kind;
    const Field *field = nullptr;
};

class DataSet {
public:
    explicit DataSet(const QString &name = {});
    virtual ~DataSet();
    DataSet(const DataSet &) = delete;
    DataSet &operator=(const DataSet &) = delete;

    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // ---- structure ----
    // Definitions may change only while the dataset is closed; the fields
    // follow at the next open/createDataSet. Names must be unique without
    // regard to case (EDataSetError "Campo 'X' duplicato").
    const FieldDefs &fieldDefs() const { return m_fieldDefs; }
    void setFieldDefs(const FieldDefs &defs);
    void addFieldDef(const QString &name, FieldType type, int size = 0, bool required = false,
                     FieldKind kind = FieldKind::Data);
    // Closes, builds the fields from the definitions and opens empty, with
    // no change log. No definitions: "Nessuna definizione di campo".
    void createDataSet();

    int fieldCount() const { return int(m_fields.size()); }
    Field *field(int index) const;
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }
    // nullptr when absent.
    Field *findField(const QString &name) const;
    // EDataSetError "Campo 'X' non trovato" when absent.
    Field &fieldByName(const QString &name) const;
    Field &operator[](const QString &name) const { return fieldByName(name); }
    // The value of a field of the current record (FieldValues).
    Value fieldValue(const QString &name) const { return fieldByName(name).value(); }
    void setFieldValue(const QString &name, const Value &value) { fieldByName(name).setValue(value); }
    QStringList fieldNames() const;

    // ---- open / close ----
    // open() of a dataset that has no records opens it empty (fields from
    // the definitions). close() discards an edit in progress; records stay
    // and are shown again by open() unless emptyDataSet() or a load.
    void open();
    void close();
    bool isActive() const { return m_state != DataSetState::Inactive; }
    void setActive(bool active) { active ? open() : close(); }
    DataSetState state() const { return m_state; }
    bool isEditing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }

    // ---- cursor (over the visible records: filtered, in index order) ----
    void first();
    void last();
    void next();
    void prior();
    // Moves by n records (negative: back); returns how many were moved.
    int moveBy(int n);
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const;
    // Visible records (an insert in progress not counted).
    int recordCount() const;
    // 1-based position; 0 when empty; -1 while inserting.
    int recNo() const;
    void setRecNo(int recNo);

    // ---- editing ----
    // edit() of an empty dataset starts an insert; edit() while editing
    // does nothing.
    void edit();
    void insert(); // new record before the current one
    void append(); // new record at the end
    // post() and cancel() do nothing while browsing. After a post the
    // record stays current, at its place in the order (or, hidden by the
    // filter, the record at the same position becomes current).
    void post();
    void cancel();
    // Deletes the current record (cancels an insert instead); the next
    // record becomes current, or the new last one with eof() set.
    void deleteRecord();
    // Posts an edit or insert in progress; nothing otherwise.
    void checkBrowseMode();
    // Appends or inserts one record with the values in field order (data
    // fields; missing trailing values stay Null; an Unassigned value leaves
    // the field Null) and posts it.
    void appendRecord(const ValueList &values);
    void insertRecord(const ValueList &values);
    // Whether a field was assigned since edit/insert began.
    bool isModified() const { return m_modified; }
    // Deletes every record with no change log entry (an edit in progress is
    // cancelled); the order, filter and events stay.
    void emptyDataSet();
    // Recomputes order, filter and calculated fields; keeps the cursor on
    // its record when it is still visible. Fires before/afterRefresh.
    void refresh();

    bool isReadOnly() const { return m_readOnly; }
    // A read-only dataset refuses edit, insert, append and delete
    // ("Impossibile modificare un dataset di sola lettura").
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool canModify() const { return isActive() && !m_readOnly; }

    // ---- search ----
    // Key fields "F1;F2" with one value per field (a single field takes a
    // one-element list). Searches the visible records in order and makes the
    // first match current (posting an edit first); returns false and leaves
    // the cursor where it was when none matches. Options: CaseInsensitive
    // compares text without regard to case; PartialKey matches text fields
    // whose value begins with the key. Key values are converted to the
    // field's type; a key that does not convert matches nothing. A Null key
    // matches a Null field.
    bool locate(const QString &keyFields, const ValueList &keyValues, LocateOptions options = {});
    bool locate(const QString &keyField, const Value &keyValue, LocateOptions options = {})
    {
        return locate(keyField, ValueList{keyValue}, options);
    }
    // The value of resultField in the first visible record whose keys equal
    // the values exactly; Null when none. The cursor does not move.
    Value lookup(const QString &keyFields, const ValueList &keyValues, const QString &resultField) const;

    // ---- order ----
    // "F1;F2": ascending on each field in turn; Null sorts first; text
    // compares without regard to case, then with; ties keep the records'
    // natural order. Empty: natural order (order of arrival, inserts at
    // their place). An unknown field raises "Campo 'X' non trovato" and
    // leaves the order unchanged.
    const QString &indexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString &names);

    // ---- filter ----
    // The filter expression and the record filter (events().onFilterRecord)
    // apply while filtered() is true; a record must pass both. Expressions:
    //   Field = 5   Field <> 'abc'   Field >= 1.5   Field IS NULL
    //   Field IS NOT NULL   Field IN (1, 2, 3)   NOT (...)
    //   ... AND ...   ... OR ...   (...)
    // with field names (or [Field Name]), numbers, quoted texts ('it''s'),
    // TRUE/FALSE; keywords in any case. Text compares case-sensitively; a
    // number compared with a text field compares numerically when the text
    // converts. A comparison with a Null field is false. Dates compare with
    // texts "dd/MM/yyyy" or "yyyy-MM-dd". A faulty expression raises
    // EDataSetError naming it, when set on an open dataset or at open.
    const QString &filter() const { return m_filterText; }
    void setFilter(const QString &expression);
    bool filtered() const { return m_filtered; }
    void setFiltered(bool filtered);

    // ---- bookmarks ----
    // The current record (an invalid bookmark when empty or inserting).
    Bookmark bookmark() const;
    bool bookmarkValid(const Bookmark &bookmark) const;
    // Makes the record current (posting an edit first); EDataSetError
    // "Record non trovato" when it is gone or hidden by the filter.
    void gotoBookmark(const Bookmark &bookmark);

    // ---- change log ----
    // With logChanges off, posts and deletes leave no pending change.
    bool logChanges() const { return m_logChanges; }
    void setLogChanges(bool on) { m_logChanges = on; }
    // Records with a pending change (inserted, modified, deleted).
    int changeCount() const;
    UpdateStatus updateStatus() const;
    // Accepts every pending change: the current values become the old ones,
    // deleted records are dropped. An edit in progress is posted first.
    void mergeChangeLog();
    // Undoes every pending change: inserted records vanish, modified ones
    // get their old values back, deleted ones return to their place. An edit
    // in progress is cancelled first.
    void cancelUpdates();
    // Undoes the pending change of the current record (a modified record
    // gets its old values back; an inserted one vanishes).
    void revertRecord();
    // The pending changes in the order their records were first changed.
    QList<DeltaRecord> delta() const;
    // Hands each pending change, in delta() order, to apply. When every call
    // returns, the values given by DeltaRecord::setNewValue are written into
    // the records and the change log is merged. When a call throws, the
    // dataset is left exactly as before (pending changes kept, values given
    // so far dropped) and the exception reaches the caller. An edit in
    // progress is posted first.
    void applyUpdates(const std::function<void(DeltaRecord &)> &apply);

    // ---- copying ----
    // The whole content of another dataset (the platform's Data
    // assignment): its field definitions and field properties, records,
    // change log, then opened on the first record. This dataset keeps its
    // name, events, observers, order and filter (both must be valid for the
    // new structure, or nothing changes and EDataSetError is raised), read-only
    // flag, tag, command text and parameters. Fires no open/close events.
    void assignData(const DataSet &source);
    // What the records are now, to go back to with restore(): records,
    // change log and field definitions. The records' values are shared with
    // the dataset, not copied, so a savepoint costs a small struct per
    // record and leaves the dataset's order alone (the per-person put-back
    // of an import takes one before every person).
    class Savepoint {
    public:
        Savepoint();
        ~Savepoint();
        Savepoint(Savepoint &&) noexcept;
        Savepoint &operator=(Savepoint &&) noexcept;

    private:
        friend class DataSet;
        struct Data;
        std::unique_ptr<Data> d;
    };
    // A pending edit or insert is not part of it. Raises EDataSetError when
    // the dataset is not open.
    Savepoint savepoint() const;
    // Puts back what `savepoint` (taken from this dataset) holds, an edit in
    // progress cancelled; records keep their bookmarks; the dataset keeps
    // its order and filter, and opens on the first record. Fires no events.
    void restore(const Savepoint &savepoint);

    // Loads records without change log (a file or blob reader, a query):
    // closes, sets the definitions, fills the rows (each in field order of
    // the data fields, values converted to the field types), opens on the
    // first record. On any error nothing changes. Fires no events. With
    // the same definitions as before the field objects stay (their display
    // settings and handlers back to the defaults, as new ones would have).
    void loadRecords(const FieldDefs &defs, const QList<ValueList> &rows);
    // The same, taking the rows over: each row's values become the record's
    // own, so a large load is never held twice. The rows are consumed even
    // when the load fails.
    void loadRecords(const FieldDefs &defs, QList<ValueList> &&rows);
    // The same, the rows taken one by one as a reader makes them (a query's
    // result read row by row): `nextRow` fills the empty row it is given
    // and answers true, or answers false at the end. No list of every row
    // is held beside the records.
    void loadRecordsFrom(const FieldDefs &defs, const std::function<bool(ValueList &row)> &nextRow);
    // Every record in natural order, deleted ones excluded (data fields).
    QList<ValueList> records() const;
    // The values one data field holds in those records, in the same order:
    // a column without copying every record (raises EDataSetError for a
    // calculated or unknown field).
    ValueList fieldValues(const QString &name) const;
    // The same values handed to `visit` one by one, none copied (a scan of
    // a column, as for its highest key).
    void forEachFieldValue(const QString &name, const std::function<void(const Value &)> &visit) const;

    // ---- controls ----
    void disableControls() { ++m_disableCount; }
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // ---- observers (grids, data sources) ----
    using Observer = std::function<void(const DataChange &)>;
    int addObserver(Observer observer);
    void removeObserver(int id);

    // ---- rows for grids (do not move the cursor) ----
    // The visible records in order, with the record being inserted at its
    // place; the record being edited or inserted shows its edit values.
    QList<Bookmark> rowBookmarks() const;
    int currentRow() const; // index in rowBookmarks(); -1 when none
    // Null for a bookmark that is gone. Calculated fields are included.
    Value rowValue(const Bookmark &row, int field) const;
    // Field::displayText() of that record.
    QString rowDisplayText(const Bookmark &row, int field) const;

    // ---- events, tag, command ----
    DataSetEvents &events() { return m_events; }
    const DataSetEvents &events() const { return m_events; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // The statement of a query dataset and its parameters; setCommandText
    // does not touch the parameters (Params::fromCommandText rebuilds them).
    const QString &commandText() const { return m_commandText; }
    void setCommandText(const QString &text) { m_commandText = text; }
    Params &params() { return m_params; }
    const Params &params() const { return m_params; }
    const QString &providerName() const { return m_providerName; }
    void setProviderName(const QString &name) { m_providerName = name; }

private:
    void startInsert(bool atEnd);
    friend class Field;
    friend class DeltaRecord;
    struct Record;
    struct Impl;
    Value readField(int index) const;
    // The same without a copy: valid until the dataset changes.
    const Value &readFieldRef(int index) const;
    void writeField(int index, const Value &value);
    Value oldFieldValue(int index) const;
    Value newFieldValue(int index) const;
    std::unique_ptr<Impl> d;

    QString m_name;
    FieldDefs m_fieldDefs;
    std::vector<std::unique_ptr<Field>> m_fields;
    DataSetState m_state = DataSetState::Inactive;
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;
    bool m_readOnly = false;
    bool m_logChanges = true;
    bool m_filtered = false;
    QString m_indexFieldNames;
    QString m_filterText;
    int m_disableCount = 0;
    int m_tag = 0;
    QString m_commandText;
    Params m_params;
    QString m_providerName;
    DataSetEvents m_events;
};

} // namespace platform

Q_DECLARE_OPERATORS_FOR_FLAGS(platform::LocateOptions)
