#include "DataSet.h"
#include "DataSetInternal.h"

#include <QBitArray>
#include <QMap>
#include <QSet>
#include <QVarLengthArray>
#include <algorithm>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace platform {

using namespace dataset_detail;

namespace {

QString quoted(const QString &s)
{
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

ValueList nullValues(int n)
{
    ValueList v;
    v.reserve(n);
    for (int i = 0; i < n; ++i)
        v.append(Value::null());
    return v;
}

void validateDefs(const FieldDefs &defs)
{
    QSet<QString> seen;
    for (const FieldDef &def : defs) {
        const QString key = def.name.trimmed().toLower();
        if (key.isEmpty())
            throw EDataSetError(QStringLiteral("Nome di campo vuoto"));
        if (seen.contains(key))
            throw EDataSetError(QStringLiteral("Campo %1 duplicato").arg(quoted(def.name)));
        seen.insert(key);
    }
}

// Field names by their text, as written: open addressing on an FNV-1a hash
// of the UTF-16 text. A dataset's fields are looked up by name hundreds of
// times a person in an import, mostly with short literals, and QHash's
// hashing of the text was the larger part of each look-up.
class NameTable {
public:
    explicit NameTable(qsizetype names = 0)
    {
        std::size_t size = 8;
        while (size < std::size_t(names) * 2)
            size *= 2;
        m_slots.resize(size);
    }
    void insert(const QString &name, int index)
    {
        const quint32 h = hashOf(name);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            Slot &slot = m_slots[i];
            if (slot.index < 0) {
                slot = {h, index, name};
                return;
            }
            if (slot.hash == h && slot.name == name)
                return; // the first one stays
        }
    }
    int find(QStringView name) const
    {
        const quint32 h = hashOf(name);
        for (std::size_t i = h & mask();; i = (i + 1) & mask()) {
            const Slot &slot = m_slots[i];
            if (slot.index < 0)
                return -1;
            if (slot.hash == h && slot.name.size() == name.size() && QStringView(slot.name) == name)
                return slot.index;
        }
    }

private:
    static quint32 hashOf(QStringView s)
    {
        quint32 h = 2166136261u;
        for (const QChar c : s) {
            h ^= c.unicode();
            h *= 16777619u;
        }
        return h;
    }
    std::size_t mask() const { return m_slots.size() - 1; }
    struct Slot {
        quint32 hash = 0;
        int index = -1;
        QString name;
    };
    std::vector<Slot> m_slots; // a power of two, at most half full
};

// The names of a layout, validated and indexed once for every dataset that
// loads it: a query's result is loaded into new datasets over and over, and
// lower-casing its names each time cost more than reading its rows.
struct FieldNames {
    FieldDefs defs;            // the first ones given; their names and kinds are what counts
    QHash<QString, int> lower; // trimmed, lower case
    NameTable defined;         // trimmed, as defined
    QList<int> dataFields;
    bool hasCalcFields = false;

    bool madeFor(const FieldDefs &defs) const
    {
        return std::equal(defs.begin(), defs.end(), this->defs.begin(), this->defs.end(),
                          [](const FieldDef &a, const FieldDef &b) { return a.kind == b.kind && a.name == b.name; });
    }
};

// Raises EDataSetError for an empty or repeated name, as validateDefs.
std::shared_ptr<const FieldNames> fieldNamesOf(const FieldDefs &defs)
{
    size_t key = qHash(defs.size());
    for (const FieldDef &def : defs)
        key = qHashMulti(key, def.name, int(def.kind));
    static std::mutex mutex;
    static std::unordered_map<size_t, std::shared_ptr<const FieldNames>> made;
    {
        const std::lock_guard lock(mutex);
        const auto it = made.find(key);
        if (it != made.end() && it->second->madeFor(defs))
            return it->second;
    }
    validateDefs(defs);
    auto n = std::make_shared<FieldNames>();
    n->defined = NameTable(defs.size());
    n->defs = defs;
    for (int i = 0; i < defs.size(); ++i) {
        const FieldDef &def = defs[i];
        n->lower.insert(def.name.trimmed().toLower(), i);
        n->defined.insert(def.name.trimmed(), i);
        if (def.kind == FieldKind::Data)
            n->dataFields.append(i);
        else
            n->hasCalcFields = true;
    }
    // The layouts of a program are a few hundred; a run that makes more
    // (built at run time) starts the store again rather than grow it.
    constexpr size_t Kept = 1024;
    const std::lock_guard lock(mutex);
    if (made.size() >= Kept)
        made.clear();
    made[key] = n;
    return n;
}

} // namespace

// ---------------------------------------------------------------------------
// Records and the private state

// A record is small (48 bytes besides its values): a dataset holds up to
// millions, and copies all of them for a savepoint. What only a changed
// record needs is kept apart, made at its first change.
struct DataSet::Record {
    struct Log {
        ValueList original; // Modified and Deleted: the values after the last merge
        QBitArray assigned; // Inserted: the fields assigned
        quint64 seq = 0;    // order of the first change since the last merge
    };

    quint64 id = 0;
    ValueList values;         // every field, calculated ones included
    std::unique_ptr<Log> log; // set while status is not Unmodified
    int pos = 0;              // index in Impl::records: the natural order
    UpdateStatus status : 8 = UpdateStatus::Unmodified;
    bool deleted = false; // kept in place until merged, so cancelling restores the order

    Record() = default;
    Record(const Record &o)
        : id(o.id), values(o.values), log(o.log ? std::make_unique<Log>(*o.log) : nullptr), pos(o.pos),
          status(o.status), deleted(o.deleted)
    {
    }
    Record(Record &&) noexcept = default;
    Record &operator=(const Record &) = delete;
    Record &operator=(Record &&) noexcept = default;

    Log &logged()
    {
        if (!log)
            log = std::make_unique<Log>();
        return *log;
    }
    // Back to unmodified: the log goes.
    void unlog()
    {
        log.reset();
        status = UpdateStatus::Unmodified;
    }
};

struct DataSet::Impl {
    explicit Impl(DataSet *q) : q(q) {}
    DataSet *q;

    std::vector<std::unique_ptr<Record>> records; // natural order
    std::vector<Record *> view;                   // visible order
    // The records by id, for bookmarks: made at the first search after a
    // load (a query's result is mostly read in order and thrown away, never
    // searched by bookmark), then kept up to date.
    mutable QHash<quint64, Record *> byId;
    mutable bool byIdMade = false;
    // The texts of one text field held by any record, for a search on it
    // to tell at once that no record has a text (an import asks whether
    // each person is already among the thousand rows it made). Made at
    // such a search of a large dataset; a posted record adds its text;
    // records removed leave theirs (only "none has it" is ever concluded);
    // anything else that changes values drops it.
    struct TextIndex {
        int field = -1;
        QSet<QString> texts;
    };
    mutable std::optional<TextIndex> textIndex;
    static constexpr std::size_t TextIndexFrom = 64; // records
    int cur = -1;
    quint64 nextId = 1;
    quint64 nextSeq = 1;

    std::shared_ptr<const FieldNames> names = fieldNamesOf({});
    // The other spellings of a name found so far (a name as a caller
    // writes it, in another case).
    mutable std::vector<std::pair<QString, int>> spellings;
    QList<int> dataFields;
    bool hasCalcFields = false;

    // Edit and insert.
    ValueList buffer;
    QBitArray bufferAssigned;
    Record *editRecord = nullptr;
    quint64 insertId = 0;
    int insertRow = -1;
    int insertPos = 0;

    // Field reads redirected to another record (calculation, filter, grids).
    const ValueList *readOverride = nullptr;
    ValueList *calcTarget = nullptr;
    bool inFilter = false;

    QList<int> indexFields;
    std::unique_ptr<FilterExpression> filterExpr;

    QMap<int, Observer> observers;
    int nextObserverId = 1;

    // ---- helpers ----
    [[noreturn]] void fail(const QString &message) const
    {
        if (q->m_name.isEmpty())
            throw EDataSetError(message);
        throw EDataSetError(message + QStringLiteral(" (") + q->m_name + QLatin1Char(')'));
    }

    void checkActive() const
    {
        if (!q->isActive())
            fail(QStringLiteral("Dataset non aperto"));
    }

    void checkCanModify() const
    {
        checkActive();
        if (q->m_readOnly)
            fail(QStringLiteral("Impossibile modificare un dataset di sola lettura"));
    }

    void fire(const DataSetEvents::Handler &h)
    {
        if (h)
            h(*q);
    }

    void notify(DataChange::Kind kind, const Field *field = nullptr)
    {
        if (q->m_disableCount > 0 || observers.isEmpty())
            return;
        // Those told are the ones registered now, called on copies (an
        // observer may unregister itself or another); most datasets have one
        // or two, told of every change, so no list is allocated for them.
        const QVarLengthArray<Observer, 4> list(observers.cbegin(), observers.cend());
        const DataChange change{kind, field};
        for (const Observer &o : list)
            o(change);
    }

    int fieldCount() const { return int(q->m_fields.size()); }

    void buildFields()
    {
        const FieldDefs &defs = q->m_fieldDefs;
        const bool same = int(q->m_fields.size()) == defs.size()
                          && std::equal(defs.begin(), defs.end(), q->m_fields.begin(),
                                        [](const FieldDef &d, const auto &f) { return f->def() == d; });
        if (same) {
            for (const auto &f : q->m_fields)
                f->reset();
        } else {
            q->m_fields.clear();
            for (int i = 0; i < defs.size(); ++i)
                q->m_fields.push_back(std::unique_ptr<Field>(new Field(q, defs[i], i)));
        }
        std::shared_ptr<const FieldNames> made = namesOf(q->m_fieldDefs);
        if (made != names)
            spellings.clear();
        names = std::move(made);
        dataFields = names->dataFields;
        hasCalcFields = names->hasCalcFields;
    }

    // The names of the definitions: those in use when they are the same
    // list (a query's result loaded again), else the shared ones.
    std::shared_ptr<const FieldNames> namesOf(const FieldDefs &defs) const
    {
        if (defs.size() == names->defs.size() && defs.constData() == names->defs.constData())
            return names;
        return fieldNamesOf(defs);
    }

    int indexOf(const QString &name) const
    {
        if (const int i = names->defined.find(name); i >= 0)
            return i;
        for (const auto &[spelt, i] : spellings)
            if (spelt.size() == name.size() && spelt == name)
                return i;
        const int i = names->lower.value(name.trimmed().toLower(), -1);
        if (i >= 0)
            spellings.emplace_back(name, i);
        return i;
    }

    int requireIndex(const QString &name) const
    {
        const int i = indexOf(name);
        if (i < 0)
            fail(QStringLiteral("Campo %1 non trovato").arg(quoted(name)));
        return i;
    }

    QList<int> compileIndex(const QString &names, const QHash<QString, int> &index) const
    {
        QList<int> out;
        for (const QString &n : splitFieldNames(names)) {
            const int i = index.value(n.toLower(), -1);
            if (i < 0)
                fail(QStringLiteral("Campo %1 non trovato").arg(quoted(n)));
            out.append(i);
        }
        return out;
    }

    std::unique_ptr<FilterExpression> compileFilter(const QString &text, const FieldDefs &defs) const
    {
        if (text.trimmed().isEmpty())
            return nullptr;
        QStringList names;
        for (const FieldDef &d : defs)
            names << d.name.trimmed();
        return FilterExpression::compile(text, names);
    }

    static QHash<QString, int> indexOfDefs(const FieldDefs &defs) { return fieldNamesOf(defs)->lower; }

    void clearEdit()
    {
        buffer.clear();
        bufferAssigned.clear();
        editRecord = nullptr;
        insertId = 0;
        insertRow = -1;
        q->m_modified = false;
    }

    void dropTextIndex() { textIndex.reset(); }
    // A record's values as they now are, for the texts' index.
    void noteValues(const Record *r)
    {
        if (textIndex)
            addText(*textIndex, r->values.at(textIndex->field));
    }
    // As the search compares it: the text held, or the value as text.
    static void addText(TextIndex &index, const Value &v)
    {
        if (const QString *text = v.textIf())
            index.texts.insert(*text);
        else if (!v.isEmpty())
            index.texts.insert(v.toString());
    }
    // Whether some record may hold the text in the field: false only when
    // none does.
    bool mayHoldText(int field, const QString &text) const
    {
        if (records.size() < TextIndexFrom)
            return true;
        if (!textIndex || textIndex->field != field) {
            TextIndex made;
            made.field = field;
            made.texts.reserve(qsizetype(records.size()));
            for (const auto &r : records)
                addText(made, r->values.at(field));
            textIndex = std::move(made);
        }
        return textIndex->texts.contains(text);
    }

    void clearRecords()
    {
        dropTextIndex();
        records.clear();
        view.clear();
        byId.clear();
        byIdMade = false;
        cur = -1;
    }

    void renumber(int from)
    {
        for (int i = from; i < int(records.size()); ++i)
            records[i]->pos = i;
    }

    Record *findById(quint64 id) const
    {
        if (!byIdMade) {
            byId.reserve(qsizetype(records.size()));
            for (const auto &r : records)
                byId.insert(r->id, r.get());
            byIdMade = true;
        }
        return byId.value(id, nullptr);
    }
    void indexRecord(Record *r)
    {
        if (byIdMade)
            byId.insert(r->id, r);
    }
    void unindexRecord(const Record *r)
    {
        if (byIdMade)
            byId.remove(r->id);
    }

    void removeRecord(Record *r)
    {
        const int p = r->pos;
        unindexRecord(r);
        records.erase(records.begin() + p);
        renumber(p);
    }

    // ---- calculated fields and filter ----
    void calc(ValueList &values)
    {
        if (!hasCalcFields)
            return;
        for (int i = 0; i < fieldCount(); ++i)
            if (q->m_fields[i]->isCalculated())
                values[i] = Value::null();
        if (!q->m_events.onCalcFields)
            return;
        const DataSetState prevState = q->m_state;
        const ValueList *prevRead = readOverride;
        ValueList *prevTarget = calcTarget;
        readOverride = &values;
        calcTarget = &values;
        q->m_state = DataSetState::CalcFields;
        try {
            q->m_events.onCalcFields(*q);
        } catch (...) {
            q->m_state = prevState;
            readOverride = prevRead;
            calcTarget = prevTarget;
            throw;
        }
        q->m_state = prevState;
        readOverride = prevRead;
        calcTarget = prevTarget;
    }

    void calcAll()
    {
        if (!hasCalcFields)
            return;
        dropTextIndex();
        for (auto &r : records)
            if (!r->deleted)
                calc(r->values);
    }

    bool passes(const ValueList &values)
    {
        if (!q->m_filtered)
            return true;
        if (filterExpr && !filterExpr->matches(values))
            return false;
        if (!q->m_events.onFilterRecord)
            return true;
        const ValueList *prevRead = readOverride;
        const bool prevIn = inFilter;
        readOverride = &values;
        inFilter = true;
        bool keep = false;
        try {
            keep = q->m_events.onFilterRecord(*q);
        } catch (...) {
            readOverride = prevRead;
            inFilter = prevIn;
            throw;
        }
        readOverride = prevRead;
        inFilter = prevIn;
        return keep;
    }

    // ---- order ----
    bool less(const Record *a, const Record *b) const
    {
        for (int i : indexFields) {
            const int c = compareForOrder(a->values[i], b->values[i]);
            if (c != 0)
                return c < 0;
        }
        return a->pos < b->pos;
    }

    // The records now in `records` (natural order) as the dataset's: found
    // by id, numbered, browsed from the first one.
    void adoptRecords()
    {
        dropTextIndex();
        byId.clear();
        byIdMade = false;
        renumber(0);
        q->m_state = DataSetState::Browse;
        finishReplace();
    }

    // The same for records just loaded, numbered as they were built and
    // none deleted. Without an index or a filter the view is the natural
    // order, made without visiting the records again: a load of a million
    // rows spent a third of its time in passes over records no longer in
    // the processor's cache.
    void adoptLoadedRecords()
    {
        dropTextIndex();
        if (hasCalcFields || !indexFields.isEmpty() || q->m_filtered) {
            adoptRecords();
            return;
        }
        byId.clear();
        byIdMade = false;
        q->m_state = DataSetState::Browse;
        view.resize(records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            view[i] = records[i].get();
        cur = view.empty() ? -1 : 0;
        q->m_bof = true;
        q->m_eof = view.empty();
        notify(DataChange::Reset);
    }

    // Rebuilds the visible list; the cursor stays on `keep` when it is
    // visible, else on the same position (clamped).
    // Last step of replacing every record: calculated fields, then the view.
    // The view is rebuilt even when a calc-fields handler raises, so that it
    // never points at the records just replaced; the error then travels on.
    void finishReplace()
    {
        try {
            calcAll();
        } catch (...) {
            cur = 0;
            rebuildView(nullptr);
            notify(DataChange::Reset);
            throw;
        }
        cur = 0;
        rebuildView(nullptr);
        notify(DataChange::Reset);
    }

    void rebuildView(const Record *keep)
    {
        std::vector<Record *> v;
        v.reserve(records.size());
        for (auto &r : records)
            if (!r->deleted && passes(r->values))
                v.push_back(r.get());
        // A view already in order (a load without an index) is not sorted
        // again.
        const auto before = [this](const Record *a, const Record *b) { return less(a, b); };
        if (!std::is_sorted(v.begin(), v.end(), before))
            std::sort(v.begin(), v.end(), before);
        view = std::move(v);
        int found = -1;
        if (keep)
            for (int i = 0; i < int(view.size()); ++i)
                if (view[i] == keep) {
                    found = i;
                    break;
                }
        if (found >= 0)
            cur = found;
        else
            cur = view.empty() ? -1 : std::clamp(cur, 0, int(view.size()) - 1);
        if (view.empty()) {
            q->m_bof = q->m_eof = true;
        } else if (found < 0 && !keep) {
            q->m_bof = true;
            q->m_eof = false;
            cur = 0;
        } else {
            q->m_bof = q->m_eof = false;
        }
    }

    int viewIndexOf(const Record *r) const
    {
        if (cur >= 0 && cur < int(view.size()) && view[cur] == r)
            return cur;
        for (int i = 0; i < int(view.size()); ++i)
            if (view[i] == r)
                return i;
        return -1;
    }

    // Puts the record at its place in the visible list (or takes it out when
    // the filter hides it); its new index, or -1.
    int placeInView(Record *r)
    {
        const int old = viewIndexOf(r);
        if (old >= 0)
            view.erase(view.begin() + old);
        if (r->deleted || !passes(r->values))
            return -1;
        const auto it = std::lower_bound(view.begin(), view.end(), r,
                                         [this](const Record *a, const Record *b) { return less(a, b); });
        const int idx = int(it - view.begin());
        view.insert(it, r);
        return idx;
    }

    Record *current() const
    {
        if (q->m_state == DataSetState::Edit)
            return editRecord;
        if (q->m_state == DataSetState::Insert)
            return nullptr;
        return cur >= 0 && cur < int(view.size()) ? view[cur] : nullptr;
    }

    bool dataDiffers(const ValueList &a, const ValueList &b) const
    {
        for (int i : dataFields)
            if (!(a[i] == b[i]) || a[i].type() != b[i].type())
                return true;
        return false;
    }

    void scrollTo(int idx)
    {
        fire(q->m_events.beforeScroll);
        cur = idx;
        q->m_bof = q->m_eof = false;
        fire(q->m_events.afterScroll);
        notify(DataChange::CursorMoved);
    }

    // One key of a search, with what a record's value must be to match it
    // (found once per search, not once per record).
    struct KeyTest {
        enum Mode { Prefix, Empty, Text, Equal };
        int field;
        Mode mode;
        Value key;
        QString text;
    };

    // A search's keys are one to a few: kept on the stack (a look-up runs
    // for every day of a person's month).
    using KeyTests = QVarLengthArray<KeyTest, 4>;
    using KeyFields = QVarLengthArray<int, 4>;

    static bool matchKeys(const ValueList &values, const KeyTests &tests, Qt::CaseSensitivity cs)
    {
        for (const KeyTest &t : tests) {
            const Value &v = values[t.field];
            switch (t.mode) {
            case KeyTest::Empty:
                if (!v.isEmpty())
                    return false;
                break;
            case KeyTest::Prefix:
                if (v.isEmpty() || !v.toString().startsWith(t.text, cs))
                    return false;
                break;
            case KeyTest::Text: {
                if (v.isEmpty())
                    return false;
                const QString *held = v.textIf();
                const QString other = held ? QString() : v.toString();
                const QString &value = held ? *held : other;
                if (cs == Qt::CaseSensitive ? value != t.text : value.compare(t.text, cs) != 0)
                    return false;
                break;
            }
            case KeyTest::Equal:
                if (v.isEmpty() || !(v == t.key))
                    return false;
                break;
            }
        }
        return true;
    }

    // Key values in the fields' types; false when one does not convert.
    bool convertKeys(const KeyFields &fields, const ValueList &in, ValueList *out) const
    {
        out->clear();
        for (int k = 0; k < fields.size(); ++k) {
            const Field &f = *q->m_fields[fields[k]];
            const Value &key = in[k];
            if (isTextFieldType(f.dataType())) {
                out->append(key.isEmpty() ? Value::null() : Value(key.toString()));
                continue;
            }
            try {
                out->append(recordValue(f.def(), key, Misfit::Truncate));
            } catch (const Exception &) {
                return false;
            }
        }
        return true;
    }

    int find(const QString &keyFields, const ValueList &keyValues, LocateOptions options) const
    {
        KeyFields fields;
        for (const QString &n : splitFieldNames(keyFields))
            fields.append(requireIndex(n));
        if (fields.isEmpty())
            fail(QStringLiteral("Nessun campo chiave"));
        if (fields.size() != keyValues.size())
            fail(QStringLiteral("Campi chiave e valori non corrispondono: %1").arg(keyFields));
        ValueList keys;
        if (!convertKeys(fields, keyValues, &keys))
            return -1;
        const Qt::CaseSensitivity cs = options.testFlag(LocateOption::CaseInsensitive) ? Qt::CaseInsensitive
                                                                                       : Qt::CaseSensitive;
        KeyTests tests;
        for (int k = 0; k < fields.size(); ++k) {
            const Value &key = keys[k];
            const bool text = isTextFieldType(q->m_fields[fields[k]]->dataType());
            // The key as text only where it is compared as text (a date's
            // text costs more than the whole search of a small table).
            KeyTest t{fields[k], KeyTest::Equal, key, text ? key.toString() : QString()};
            if (text && options.testFlag(LocateOption::PartialKey) && !key.isEmpty()) {
                if (t.text.isEmpty())
                    continue; // an empty prefix matches every value
                t.mode = KeyTest::Prefix;
            } else if (key.isEmpty()) {
                t.mode = KeyTest::Empty;
            } else if (text) {
                t.mode = KeyTest::Text;
            }
            tests.append(std::move(t));
        }
        if (!tests.isEmpty() && tests[0].mode == KeyTest::Text && cs == Qt::CaseSensitive
            && !mayHoldText(tests[0].field, tests[0].text))
            return -1;
        for (int i = 0; i < int(view.size()); ++i)
            if (matchKeys(view[i]->values, tests, cs))
                return i;
        return -1;
    }

    std::unique_ptr<Record> copyRecord(const Record &src)
    {
        auto r = std::make_unique<Record>(src);
        r->id = nextId++;
        return r;
    }
};

// ---------------------------------------------------------------------------
// DeltaRecord

int DeltaRecord::indexOf(const QString &name) const
{
    const int i = m_dataSet->d->indexOf(name);
    if (i < 0 || m_dataSet->m_fields[i]->isCalculated())
        m_dataSet->d->fail(QStringLiteral("Campo %1 non trovato").arg(quoted(name)));
    return i;
}

bool DeltaRecord::hasField(const QString &name) const
{
    const int i = m_dataSet->d->indexOf(name);
    return i >= 0 && !m_dataSet->m_fields[i]->isCalculated();
}

Value DeltaRecord::oldValue(const QString &name) const
{
    return oldValue(indexOf(name));
}
Value DeltaRecord::newValue(const QString &name) const
{
    return newValue(indexOf(name));
}
Value DeltaRecord::value(const QString &name) const
{
    return value(indexOf(name));
}
bool DeltaRecord::isAssigned(const QString &name) const
{
    return isAssigned(indexOf(name));
}

Value DeltaRecord::value(int field) const
{
    const Value n = m_new.value(field);
    return n.isUnassigned() ? m_old.value(field) : n;
}

void DeltaRecord::setNewValue(const QString &name, const Value &value)
{
    const int i = indexOf(name);
    m_new[i] = recordValue(m_dataSet->m_fields[i]->def(), value, Misfit::Truncate);
    if (!m_written.contains(i))
        m_written.append(i);
}

// ---------------------------------------------------------------------------
// DataSet: structure

DataSet::DataSet(const QString &name) : d(std::make_unique<Impl>(this)), m_name(name) {}

DataSet::~DataSet()
{
    const QList<Observer> list = d->observers.values();
    d->observers.clear();
    const DataChange change{DataChange::Destroyed, nullptr};
    for (const Observer &o : list)
        o(change);
}

void DataSet::setFieldDefs(const FieldDefs &defs)
{
    if (isActive())
        d->fail(QStringLiteral("Impossibile modificare la struttura di un dataset aperto"));
    fieldNamesOf(defs); // raises for a bad name before anything changes
    m_fieldDefs = defs;
    d->clearRecords();
    d->buildFields();
}

void DataSet::addFieldDef(const QString &name, FieldType type, int size, bool required, FieldKind kind)
{
    FieldDefs defs = m_fieldDefs;
    defs.append(FieldDef{name, type, size, required, kind});
    setFieldDefs(defs);
}

void DataSet::createDataSet()
{
    if (m_fieldDefs.isEmpty())
        d->fail(QStringLiteral("Nessuna definizione di campo"));
    close();
    d->clearRecords();
    d->clearEdit();
    open();
}

Field *DataSet::field(int index) const
{
    if (index < 0 || index >= fieldCount())
        d->fail(QStringLiteral("Indice di campo fuori intervallo: %1").arg(index));
    return m_fields[index].get();
}

Field *DataSet::findField(const QString &name) const
{
    const int i = d->indexOf(name);
    return i < 0 ? nullptr : m_fields[i].get();
}

Field &DataSet::fieldByName(const QString &name) const
{
    return *m_fields[d->requireIndex(name)];
}

QStringList DataSet::fieldNames() const
{
    QStringList names;
    for (const auto &f : m_fields)
        names << f->fieldName();
    return names;
}

// ---------------------------------------------------------------------------
// Open and close

void DataSet::open()
{
    if (isActive())
        return;
    if (m_fields.empty())
        d->fail(QStringLiteral("Nessuna definizione di campo"));
    d->fire(m_events.beforeOpen);
    const QHash<QString, int> idx = Impl::indexOfDefs(m_fieldDefs);
    QList<int> index = d->compileIndex(m_indexFieldNames, idx);
    std::unique_ptr<FilterExpression> filter = d->compileFilter(m_filterText, m_fieldDefs);
    d->indexFields = index;
    d->filterExpr = std::move(filter);
    m_state = DataSetState::Browse;
    d->clearEdit();
    try {
        d->calcAll();
        d->cur = 0;
        d->rebuildView(nullptr);
    } catch (...) {
        m_state = DataSetState::Inactive;
        d->view.clear();
        d->cur = -1;
        throw;
    }
    d->fire(m_events.afterOpen);
    if (!d->view.empty())
        d->fire(m_events.afterScroll);
    d->notify(DataChange::Reset);
}

void DataSet::close()
{
    if (!isActive())
        return;
    d->fire(m_events.beforeClose);
    d->clearEdit();
    m_state = DataSetState::Inactive;
    d->view.clear();
    d->cur = -1;
    m_bof = m_eof = true;
    d->fire(m_events.afterClose);
    d->notify(DataChange::Reset);
}

// ---------------------------------------------------------------------------
// Cursor

void DataSet::first()
{
    d->checkActive();
    checkBrowseMode();
    d->fire(m_events.beforeScroll);
    d->cur = d->view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = d->view.empty();
    d->fire(m_events.afterScroll);
    d->notify(DataChange::CursorMoved);
}

void DataSet::last()
{
    d->checkActive();
    checkBrowseMode();
    d->fire(m_events.beforeScroll);
    d->cur = int(d->view.size()) - 1;
    m_eof = true;
    m_bof = d->view.empty();
    d->fire(m_events.afterScroll);
    d->notify(DataChange::CursorMoved);
}

int DataSet::moveBy(int n)
{
    d->checkActive();
    checkBrowseMode();
    const int size = int(d->view.size());
    if (size == 0) {
        m_bof = m_eof = true;
        return 0;
    }
    if (n == 0 || (n > 0 && m_eof) || (n < 0 && m_bof))
        return 0;
    const int wanted = d->cur + n;
    const int target = std::clamp(wanted, 0, size - 1);
    const int moved = target - d->cur;
    if (moved != 0) {
        d->fire(m_events.beforeScroll);
        d->cur = target;
    }
    m_eof = wanted >= size;
    m_bof = wanted < 0;
    if (moved != 0) {
        d->fire(m_events.afterScroll);
        d->notify(DataChange::CursorMoved);
    }
    return moved;
}

void DataSet::next()
{
    moveBy(1);
}

void DataSet::prior()
{
    moveBy(-1);
}

bool DataSet::isEmpty() const
{
    d->checkActive();
    return d->view.empty() && m_state != DataSetState::Insert;
}

int DataSet::recordCount() const
{
    d->checkActive();
    return int(d->view.size());
}

int DataSet::recNo() const
{
    d->checkActive();
    if (m_state == DataSetState::Insert)
        return -1;
    return d->view.empty() ? 0 : d->cur + 1;
}

void DataSet::setRecNo(int recNo)
{
    d->checkActive();
    checkBrowseMode();
    if (recNo < 1 || recNo > int(d->view.size()))
        d->fail(QStringLiteral("Numero di record non valido: %1").arg(recNo));
    d->scrollTo(recNo - 1);
}

// ---------------------------------------------------------------------------
// Editing

void DataSet::edit()
{
    d->checkActive();
    if (isEditing())
        return;
    if (d->view.empty()) {
        // Editing an empty dataset starts a new record, as the platform does.
        insert();
        return;
    }
    d->checkCanModify();
    d->fire(m_events.beforeEdit);
    d->editRecord = d->view[d->cur];
    d->buffer = d->editRecord->values;
    d->bufferAssigned = QBitArray(fieldCount());
    m_state = DataSetState::Edit;
    m_modified = false;
    d->fire(m_events.afterEdit);
    d->notify(DataChange::StateChanged);
}

void DataSet::insert()
{
    startInsert(false);
}

void DataSet::append()
{
    startInsert(true);
}

// A new record before the current one, or after the last one.
void DataSet::startInsert(bool atEnd)
{
    d->checkActive();
    checkBrowseMode();
    d->checkCanModify();
    d->fire(m_events.beforeInsert);
    d->fire(m_events.beforeScroll);
    d->insertId = d->nextId++;
    if (atEnd || d->view.empty()) {
        d->insertRow = int(d->view.size());
        d->insertPos = int(d->records.size());
    } else {
        d->insertRow = d->cur;
        d->insertPos = d->view[d->cur]->pos;
    }
    d->buffer = nullValues(fieldCount());
    d->bufferAssigned = QBitArray(fieldCount());
    m_state = DataSetState::Insert;
    m_modified = false;
    try {
        d->fire(m_events.onNewRecord);
        d->calc(d->buffer);
    } catch (...) {
        d->clearEdit();
        m_state = DataSetState::Browse;
        throw;
    }
    m_modified = false;
    d->fire(m_events.afterInsert);
    d->fire(m_events.afterScroll);
    d->notify(DataChange::StateChanged);
}

void DataSet::post()
{
    d->checkActive();
    if (!isEditing())
        return;
    d->fire(m_events.beforePost);
    for (int i : std::as_const(d->dataFields)) {
        const Field &f = *m_fields[i];
        if (f.isRequired() && d->buffer[i].isEmpty())
            d->fail(QStringLiteral("Il campo %1 deve avere un valore").arg(quoted(f.displayLabel())));
    }
    if (m_state == DataSetState::Edit) {
        Record *r = d->editRecord;
        if (m_logChanges || r->status != UpdateStatus::Unmodified) {
            switch (r->status) {
            case UpdateStatus::Unmodified:
                if (d->dataDiffers(d->buffer, r->values)) {
                    r->logged().original = r->values;
                    r->log->seq = d->nextSeq++;
                    r->status = UpdateStatus::Modified;
                }
                break;
            case UpdateStatus::Modified:
                if (!d->dataDiffers(d->buffer, r->log->original)) {
                    // Back to the stored values: nothing left to apply.
                    r->unlog();
                }
                break;
            case UpdateStatus::Inserted:
                for (int i : std::as_const(d->dataFields))
                    if (d->bufferAssigned.testBit(i))
                        r->log->assigned.setBit(i);
                break;
            case UpdateStatus::Deleted: break;
            }
        }
        r->values = d->buffer;
        d->noteValues(r);
        const int oldCur = d->cur;
        d->clearEdit();
        m_state = DataSetState::Browse;
        const int idx = d->placeInView(r);
        d->cur = idx >= 0 ? idx : std::min(oldCur, int(d->view.size()) - 1);
    } else {
        auto rec = std::make_unique<Record>();
        rec->id = d->insertId;
        rec->values = d->buffer;
        if (m_logChanges) {
            rec->status = UpdateStatus::Inserted;
            Record::Log &log = rec->logged();
            log.seq = d->nextSeq++;
            log.assigned = QBitArray(fieldCount());
            for (int i : std::as_const(d->dataFields))
                if (d->bufferAssigned.testBit(i) || !d->buffer[i].isEmpty())
                    log.assigned.setBit(i);
        }
        Record *r = rec.get();
        d->noteValues(r);
        const int pos = std::clamp(d->insertPos, 0, int(d->records.size()));
        const int row = d->insertRow;
        d->records.insert(d->records.begin() + pos, std::move(rec));
        d->renumber(pos);
        d->indexRecord(r);
        d->clearEdit();
        m_state = DataSetState::Browse;
        const int idx = d->placeInView(r);
        d->cur = idx >= 0 ? idx : std::min(row, int(d->view.size()) - 1);
    }
    m_modified = false;
    m_bof = m_eof = d->view.empty();
    d->fire(m_events.afterPost);
    d->notify(DataChange::StateChanged);
}

void DataSet::cancel()
{
    d->checkActive();
    if (!isEditing())
        return;
    const bool wasInsert = m_state == DataSetState::Insert;
    d->fire(m_events.beforeCancel);
    d->clearEdit();
    m_state = DataSetState::Browse;
    if (wasInsert)
        m_bof = m_eof = d->view.empty();
    d->fire(m_events.afterCancel);
    if (wasInsert)
        d->fire(m_events.afterScroll);
    d->notify(DataChange::StateChanged);
}

void DataSet::deleteRecord()
{
    d->checkActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (d->view.empty())
        d->fail(QStringLiteral("Impossibile cancellare: il dataset è vuoto"));
    d->checkCanModify();
    d->fire(m_events.beforeDelete);
    d->fire(m_events.beforeScroll);
    if (m_state == DataSetState::Edit) {
        d->clearEdit();
        m_state = DataSetState::Browse;
    }
    Record *r = d->view[d->cur];
    const bool wasLast = d->cur == int(d->view.size()) - 1;
    d->view.erase(d->view.begin() + d->cur);
    if (r->status == UpdateStatus::Inserted || (!m_logChanges && r->status == UpdateStatus::Unmodified)) {
        d->removeRecord(r);
    } else {
        if (r->status == UpdateStatus::Unmodified) {
            r->logged().original = r->values;
            r->log->seq = d->nextSeq++;
        }
        r->status = UpdateStatus::Deleted;
        r->deleted = true;
    }
    if (d->view.empty()) {
        d->cur = -1;
        m_bof = m_eof = true;
    } else {
        d->cur = std::min(d->cur, int(d->view.size()) - 1);
        m_bof = false;
        m_eof = wasLast;
    }
    d->fire(m_events.afterDelete);
    d->fire(m_events.afterScroll);
    d->notify(DataChange::RowsChanged);
}

void DataSet::checkBrowseMode()
{
    if (isEditing())
        post();
}

namespace {

template <typename Start>
void fillAndPost(DataSet &ds, const QList<int> &dataFields, const ValueList &values, Start start)
{
    if (values.size() > dataFields.size())
        throw EDataSetError(
            QStringLiteral("Troppi valori per il record: %1 (campi: %2)").arg(values.size()).arg(dataFields.size()));
    start();
    try {
        for (int k = 0; k < values.size(); ++k)
            if (!values[k].isUnassigned())
                ds.field(dataFields[k])->setValue(values[k]);
        ds.post();
    } catch (...) {
        if (ds.state() == DataSetState::Insert)
            ds.cancel();
        throw;
    }
}

} // namespace

void DataSet::appendRecord(const ValueList &values)
{
    fillAndPost(*this, d->dataFields, values, [this] { append(); });
}

void DataSet::insertRecord(const ValueList &values)
{
    fillAndPost(*this, d->dataFields, values, [this] { insert(); });
}

void DataSet::emptyDataSet()
{
    d->checkActive();
    d->clearEdit();
    m_state = DataSetState::Browse;
    d->clearRecords();
    m_bof = m_eof = true;
    d->notify(DataChange::Reset);
}

void DataSet::refresh()
{
    d->checkActive();
    checkBrowseMode();
    d->fire(m_events.beforeRefresh);
    d->calcAll();
    d->rebuildView(d->current());
    d->fire(m_events.afterRefresh);
    d->notify(DataChange::Reset);
}

// ---------------------------------------------------------------------------
// Field access (for Field)

Value DataSet::readField(int index) const
{
    return readFieldRef(index);
}

const Value &DataSet::readFieldRef(int index) const
{
    static const Value null = Value::null();
    if (index < 0 || index >= fieldCount())
        d->fail(QStringLiteral("Indice di campo fuori intervallo: %1").arg(index));
    // at(): a read never detaches the values from a savepoint sharing them.
    if (d->readOverride)
        return d->readOverride->at(index);
    d->checkActive();
    if (isEditing())
        return std::as_const(d->buffer).at(index);
    if (d->cur < 0 || d->cur >= int(d->view.size()))
        return null;
    return d->view[d->cur]->values.at(index);
}

void DataSet::writeField(int index, const Value &value)
{
    Field &f = *field(index);
    if (d->inFilter)
        d->fail(QStringLiteral("Il campo %1 non può essere modificato durante il filtro").arg(quoted(f.fieldName())));
    if (m_state == DataSetState::CalcFields) {
        if (!f.isCalculated())
            d->fail(QStringLiteral("Il campo %1 non può essere modificato").arg(quoted(f.fieldName())));
        (*d->calcTarget)[index] = recordValue(f.def(), value, Misfit::Truncate);
        return;
    }
    d->checkActive();
    if (!isEditing())
        d->fail(QStringLiteral("Dataset non in modifica"));
    if (f.isCalculated() || f.isReadOnly())
        d->fail(QStringLiteral("Il campo %1 non può essere modificato").arg(quoted(f.fieldName())));
    Value converted = recordValue(f.def(), value, Misfit::Truncate);
    if (f.onValidate())
        f.onValidate()(f, converted);
    d->buffer[index] = std::move(converted);
    d->bufferAssigned.setBit(index);
    m_modified = true;
    if (f.onChange())
        f.onChange()(f);
    d->calc(d->buffer);
    d->notify(DataChange::RecordChanged, &f);
}

Value DataSet::oldFieldValue(int index) const
{
    if (index < 0 || index >= fieldCount())
        d->fail(QStringLiteral("Indice di campo fuori intervallo: %1").arg(index));
    d->checkActive();
    if (m_state == DataSetState::Insert)
        return Value::null();
    const Record *r = d->current();
    if (!r)
        return Value::null();
    switch (r->status) {
    case UpdateStatus::Modified:
    case UpdateStatus::Deleted: return r->log->original[index];
    case UpdateStatus::Inserted: return Value::null();
    case UpdateStatus::Unmodified: break;
    }
    return r->values[index];
}

Value DataSet::newFieldValue(int index) const
{
    const Value now = readField(index);
    if (m_state == DataSetState::Insert)
        return d->bufferAssigned.testBit(index) || !now.isEmpty() ? now : Value();
    const Record *r = d->current();
    if (!r)
        return Value();
    if (r->status == UpdateStatus::Inserted) {
        const bool assigned = r->log->assigned.testBit(index)
                              || (m_state == DataSetState::Edit && d->bufferAssigned.testBit(index));
        return assigned ? now : Value();
    }
    const Value old = oldFieldValue(index);
    return (now == old && now.type() == old.type()) ? Value() : now;
}

// ---------------------------------------------------------------------------
// Search

bool DataSet::locate(const QString &keyFields, const ValueList &keyValues, LocateOptions options)
{
    d->checkActive();
    checkBrowseMode();
    const int i = d->find(keyFields, keyValues, options);
    if (i < 0)
        return false;
    d->scrollTo(i);
    return true;
}

Value DataSet::lookup(const QString &keyFields, const ValueList &keyValues, const QString &resultField) const
{
    d->checkActive();
    const int result = d->requireIndex(resultField);
    const int i = d->find(keyFields, keyValues, {});
    if (i < 0)
        return Value::null();
    return d->view[i]->values.at(result);
}

// ---------------------------------------------------------------------------
// Order and filter

void DataSet::setIndexFieldNames(const QString &names)
{
    if (!isActive()) {
        if (!m_fields.empty())
            d->compileIndex(names, d->names->lower);
        m_indexFieldNames = names;
        return;
    }
    QList<int> index = d->compileIndex(names, d->names->lower);
    checkBrowseMode();
    m_indexFieldNames = names;
    d->indexFields = index;
    d->rebuildView(d->current());
    d->notify(DataChange::Reset);
}

void DataSet::setFilter(const QString &expression)
{
    if (!isActive()) {
        if (!m_fields.empty())
            d->compileFilter(expression, m_fieldDefs);
        m_filterText = expression;
        return;
    }
    std::unique_ptr<FilterExpression> compiled = d->compileFilter(expression, m_fieldDefs);
    checkBrowseMode();
    m_filterText = expression;
    d->filterExpr = std::move(compiled);
    if (m_filtered) {
        d->rebuildView(nullptr);
        d->notify(DataChange::Reset);
        first();
    }
}

void DataSet::setFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return;
    if (!isActive()) {
        m_filtered = filtered;
        return;
    }
    checkBrowseMode();
    m_filtered = filtered;
    try {
        d->rebuildView(nullptr);
    } catch (...) {
        // A record filter that throws: back to the previous state.
        m_filtered = !filtered;
        d->rebuildView(nullptr);
        throw;
    }
    d->notify(DataChange::Reset);
    first();
}

// ---------------------------------------------------------------------------
// Bookmarks

Bookmark DataSet::bookmark() const
{
    if (!isActive() || m_state == DataSetState::Insert)
        return {};
    const Record *r = d->current();
    return r ? Bookmark{r->id} : Bookmark{};
}

bool DataSet::bookmarkValid(const Bookmark &bookmark) const
{
    const Record *r = d->findById(bookmark.id);
    return r && !r->deleted;
}

void DataSet::gotoBookmark(const Bookmark &bookmark)
{
    d->checkActive();
    checkBrowseMode();
    const Record *r = d->findById(bookmark.id);
    const int i = r && !r->deleted ? d->viewIndexOf(r) : -1;
    if (i < 0)
        d->fail(QStringLiteral("Record non trovato"));
    d->scrollTo(i);
}

// ---------------------------------------------------------------------------
// Change log

int DataSet::changeCount() const
{
    int n = 0;
    for (const auto &r : d->records)
        if (r->status != UpdateStatus::Unmodified)
            ++n;
    return n;
}

UpdateStatus DataSet::updateStatus() const
{
    if (m_state == DataSetState::Insert)
        return UpdateStatus::Inserted;
    const Record *r = isActive() ? d->current() : nullptr;
    return r ? r->status : UpdateStatus::Unmodified;
}

void DataSet::mergeChangeLog()
{
    if (isEditing())
        post();
    for (int i = 0; i < int(d->records.size());) {
        Record *r = d->records[i].get();
        if (r->deleted) {
            d->unindexRecord(r);
            d->records.erase(d->records.begin() + i);
            continue;
        }
        r->unlog();
        ++i;
    }
    d->renumber(0);
    d->notify(DataChange::RowsChanged);
}

void DataSet::cancelUpdates()
{
    if (isEditing())
        cancel();
    Record *keep = isActive() ? d->current() : nullptr;
    for (int i = 0; i < int(d->records.size());) {
        Record *r = d->records[i].get();
        switch (r->status) {
        case UpdateStatus::Inserted:
            if (r == keep)
                keep = nullptr;
            d->unindexRecord(r);
            d->records.erase(d->records.begin() + i);
            continue;
        case UpdateStatus::Modified:
        case UpdateStatus::Deleted:
            d->dropTextIndex();
            r->values = r->log->original;
            r->deleted = false;
            d->calc(r->values);
            break;
        case UpdateStatus::Unmodified: break;
        }
        r->unlog();
        ++i;
    }
    d->renumber(0);
    if (isActive()) {
        if (!keep)
            d->cur = 0;
        d->rebuildView(keep);
    }
    d->notify(DataChange::Reset);
}

void DataSet::revertRecord()
{
    d->checkActive();
    if (isEditing())
        cancel();
    Record *r = d->current();
    if (!r || r->status == UpdateStatus::Unmodified)
        return;
    if (r->status == UpdateStatus::Inserted) {
        d->removeRecord(r);
        d->rebuildView(nullptr);
    } else {
        d->dropTextIndex();
        r->values = r->log->original;
        r->unlog();
        d->calc(r->values);
        d->rebuildView(r);
    }
    d->notify(DataChange::Reset);
}

QList<DeltaRecord> DataSet::delta() const
{
    std::vector<const Record *> changed;
    for (const auto &r : d->records)
        if (r->status != UpdateStatus::Unmodified)
            changed.push_back(r.get());
    std::sort(changed.begin(), changed.end(),
              [](const Record *a, const Record *b) { return a->log->seq < b->log->seq; });
    QList<DeltaRecord> out;
    const int n = fieldCount();
    for (const Record *r : changed) {
        DeltaRecord dr;
        dr.m_dataSet = this;
        dr.m_bookmark = Bookmark{r->id};
        dr.m_old = ValueList(n);
        dr.m_new = ValueList(n);
        switch (r->status) {
        case UpdateStatus::Inserted:
            dr.m_kind = UpdateKind::Insert;
            for (int i : std::as_const(d->dataFields)) {
                dr.m_old[i] = Value::null();
                if (r->log->assigned.testBit(i))
                    dr.m_new[i] = r->values[i];
            }
            break;
        case UpdateStatus::Modified:
            dr.m_kind = UpdateKind::Modify;
            for (int i : std::as_const(d->dataFields)) {
                dr.m_old[i] = r->log->original[i];
                if (!(r->values[i] == r->log->original[i]) || r->values[i].type() != r->log->original[i].type())
                    dr.m_new[i] = r->values[i];
            }
            break;
        case UpdateStatus::Deleted:
            dr.m_kind = UpdateKind::Delete;
            for (int i : std::as_const(d->dataFields))
                dr.m_old[i] = r->log->original[i];
            break;
        case UpdateStatus::Unmodified: break;
        }
        out.append(dr);
    }
    return out;
}

void DataSet::applyUpdates(const std::function<void(DeltaRecord &)> &apply)
{
    if (isEditing())
        post();
    QList<DeltaRecord> pending = delta();
    for (DeltaRecord &dr : pending)
        apply(dr);
    Record *keep = isActive() ? d->current() : nullptr;
    bool reorder = false;
    for (const DeltaRecord &dr : std::as_const(pending)) {
        if (dr.m_written.isEmpty() || dr.m_kind == UpdateKind::Delete)
            continue;
        Record *r = d->findById(dr.m_bookmark.id);
        if (!r)
            continue;
        for (int i : dr.m_written)
            r->values[i] = dr.m_new[i];
        d->calc(r->values);
        d->noteValues(r);
        reorder = true;
    }
    mergeChangeLog();
    if (reorder && isActive()) {
        d->rebuildView(keep);
        d->notify(DataChange::Reset);
    }
}

// ---------------------------------------------------------------------------
// Copying

void DataSet::assignData(const DataSet &source)
{
    if (&source == this)
        return;
    const QHash<QString, int> idx = Impl::indexOfDefs(source.m_fieldDefs);
    QList<int> index = d->compileIndex(m_indexFieldNames, idx);
    std::unique_ptr<FilterExpression> filter = d->compileFilter(m_filterText, source.m_fieldDefs);

    d->clearEdit();
    d->clearRecords();
    m_fieldDefs = source.m_fieldDefs;
    d->buildFields();
    for (int i = 0; i < fieldCount(); ++i) {
        const Field &s = *source.m_fields[i];
        Field &t = *m_fields[i];
        t.m_displayLabel = s.m_displayLabel;
        t.m_visible = s.m_visible;
        t.m_readOnly = s.m_readOnly;
        t.m_displayFormat = s.m_displayFormat;
        t.m_editFormat = s.m_editFormat;
        t.m_alignment = s.m_alignment;
        t.m_displayWidth = s.m_displayWidth;
        t.m_providerFlags = s.m_providerFlags;
    }
    d->records.reserve(source.d->records.size());
    for (const auto &r : source.d->records)
        d->records.push_back(d->copyRecord(*r));
    d->nextSeq = std::max(d->nextSeq, source.d->nextSeq);
    d->indexFields = index;
    d->filterExpr = std::move(filter);
    d->adoptRecords();
}

struct DataSet::Savepoint::Data {
    const DataSet *owner = nullptr;
    FieldDefs defs;
    std::vector<Record> records;
    quint64 nextSeq = 0;
};

DataSet::Savepoint::Savepoint() = default;
DataSet::Savepoint::~Savepoint() = default;
DataSet::Savepoint::Savepoint(Savepoint &&) noexcept = default;
DataSet::Savepoint &DataSet::Savepoint::operator=(Savepoint &&) noexcept = default;

DataSet::Savepoint DataSet::savepoint() const
{
    d->checkActive();
    Savepoint sp;
    sp.d = std::make_unique<Savepoint::Data>();
    sp.d->owner = this;
    sp.d->defs = m_fieldDefs;
    sp.d->records.reserve(d->records.size());
    for (const auto &r : d->records)
        sp.d->records.push_back(*r);
    sp.d->nextSeq = d->nextSeq;
    return sp;
}

void DataSet::restore(const Savepoint &savepoint)
{
    if (!savepoint.d || savepoint.d->owner != this)
        d->fail(QStringLiteral("Punto di ripristino di un altro dataset"));
    const Savepoint::Data &sp = *savepoint.d;
    const bool sameDefs = sp.defs == m_fieldDefs;
    QList<int> index = d->indexFields;
    std::unique_ptr<FilterExpression> filter;
    if (!sameDefs) {
        const QHash<QString, int> idx = Impl::indexOfDefs(sp.defs);
        index = d->compileIndex(m_indexFieldNames, idx);
        filter = d->compileFilter(m_filterText, sp.defs);
    }

    d->clearEdit();
    d->clearRecords();
    if (!sameDefs) {
        m_fieldDefs = sp.defs;
        d->buildFields();
        d->indexFields = index;
        d->filterExpr = std::move(filter);
    }
    d->records.reserve(sp.records.size());
    for (const Record &r : sp.records)
        d->records.push_back(std::make_unique<Record>(r));
    d->nextSeq = std::max(d->nextSeq, sp.nextSeq);
    d->adoptRecords();
}

void DataSet::loadRecords(const FieldDefs &defs, const QList<ValueList> &rows)
{
    loadRecords(defs, QList<ValueList>(rows));
}

void DataSet::loadRecords(const FieldDefs &defs, QList<ValueList> &&rows)
{
    qsizetype next = 0;
    loadRecordsFrom(defs, [&](ValueList &row) {
        if (next >= rows.size())
            return false;
        row = std::move(rows[next++]);
        return true;
    });
}

void DataSet::loadRecordsFrom(const FieldDefs &defs, const std::function<bool(ValueList &row)> &nextRow)
{
    const std::shared_ptr<const FieldNames> names = d->namesOf(defs); // validates them
    QList<int> index = d->compileIndex(m_indexFieldNames, names->lower);
    std::unique_ptr<FilterExpression> filter = d->compileFilter(m_filterText, defs);
    const QList<int> &dataFields = names->dataFields;

    // Without calculated fields a row holds a record's values in place.
    const bool inPlace = dataFields.size() == defs.size();
    std::vector<std::unique_ptr<Record>> built;
    quint64 id = d->nextId;
    for (;;) {
        auto rec = std::make_unique<Record>();
        ValueList &row = rec->values;
        if (!nextRow(row))
            break;
        if (row.size() > dataFields.size())
            d->fail(QStringLiteral("Record %1: troppi valori (%2, campi: %3)")
                        .arg(built.size() + 1)
                        .arg(row.size())
                        .arg(dataFields.size()));
        if (inPlace) {
            for (int k = 0; k < row.size(); ++k)
                if (!keptAsIs(defs[k], row[k]))
                    row[k] = recordValue(defs[k], row[k], Misfit::Truncate);
            if (row.size() < defs.size()) {
                row.reserve(defs.size());
                while (row.size() < defs.size())
                    row.append(Value::null());
            }
        } else {
            ValueList values = nullValues(int(defs.size()));
            for (int k = 0; k < row.size(); ++k)
                values[dataFields[k]] = recordValue(defs[dataFields[k]], row[k], Misfit::Truncate);
            row = std::move(values);
        }
        rec->id = id++;
        rec->pos = int(built.size());
        built.push_back(std::move(rec));
    }

    d->clearEdit();
    d->clearRecords();
    m_fieldDefs = defs;
    d->buildFields();
    d->records = std::move(built);
    d->nextId = id;
    d->indexFields = index;
    d->filterExpr = std::move(filter);
    d->adoptLoadedRecords();
}

QList<ValueList> DataSet::records() const
{
    QList<ValueList> out;
    out.reserve(int(d->records.size()));
    for (const auto &r : d->records) {
        if (r->deleted)
            continue;
        ValueList row;
        row.reserve(d->dataFields.size());
        for (int i : std::as_const(d->dataFields))
            row.append(r->values.at(i));
        out.append(row);
    }
    return out;
}

ValueList DataSet::fieldValues(const QString &name) const
{
    ValueList out;
    out.reserve(qsizetype(d->records.size()));
    forEachFieldValue(name, [&](const Value &v) { out.append(v); });
    return out;
}

void DataSet::forEachFieldValue(const QString &name, const std::function<void(const Value &)> &visit) const
{
    const Field &field = fieldByName(name);
    if (field.isCalculated())
        d->fail(QStringLiteral("Campo calcolato: %1").arg(name));
    const int i = field.index();
    for (const auto &r : d->records)
        if (!r->deleted)
            visit(r->values.at(i));
}

// ---------------------------------------------------------------------------
// Controls and observers

void DataSet::enableControls()
{
    ZEP_ASSERT(m_disableCount > 0, QStringLiteral("enableControls senza disableControls"));
    if (--m_disableCount == 0)
        d->notify(DataChange::Reset);
}

int DataSet::addObserver(Observer observer)
{
    const int id = d->nextObserverId++;
    d->observers.insert(id, std::move(observer));
    return id;
}

void DataSet::removeObserver(int id)
{
    d->observers.remove(id);
}

// ---------------------------------------------------------------------------
// Rows for grids

QList<Bookmark> DataSet::rowBookmarks() const
{
    QList<Bookmark> out;
    if (!isActive())
        return out;
    out.reserve(int(d->view.size()) + 1);
    for (const Record *r : d->view)
        out.append(Bookmark{r->id});
    if (m_state == DataSetState::Insert)
        out.insert(std::clamp(d->insertRow, 0, int(out.size())), Bookmark{d->insertId});
    return out;
}

int DataSet::currentRow() const
{
    if (!isActive())
        return -1;
    if (m_state == DataSetState::Insert)
        return std::clamp(d->insertRow, 0, int(d->view.size()));
    return d->cur;
}

Value DataSet::rowValue(const Bookmark &row, int field) const
{
    if (field < 0 || field >= fieldCount())
        d->fail(QStringLiteral("Indice di campo fuori intervallo: %1").arg(field));
    if (m_state == DataSetState::Insert && row.id == d->insertId)
        return d->buffer[field];
    if (m_state == DataSetState::Edit && d->editRecord && d->editRecord->id == row.id)
        return d->buffer[field];
    const Record *r = d->findById(row.id);
    if (!r || r->deleted)
        return Value::null();
    return r->values[field];
}

QString DataSet::rowDisplayText(const Bookmark &row, int field) const
{
    const Field &f = *this->field(field);
    const ValueList *values = nullptr;
    if (isEditing()
        && ((m_state == DataSetState::Insert && row.id == d->insertId)
            || (d->editRecord && d->editRecord->id == row.id))) {
        values = &d->buffer;
    } else {
        const Record *r = d->findById(row.id);
        if (!r || r->deleted)
            return QString();
        values = &r->values;
    }
    const ValueList *prev = d->readOverride;
    d->readOverride = values;
    QString text;
    try {
        text = f.displayText();
    } catch (...) {
        d->readOverride = prev;
        throw;
    }
    d->readOverride = prev;
    return text;
}

} // namespace platform
