#include "XmlBinding.h"

#include "Paths.h"

#include <QHash>
#include <QSaveFile>
#include <QStringList>

#include <cstring>
#include <mutex>

namespace xmlbinding {

// ---------------------------------------------------------------------------
// Storage

struct NameData {
    QString text;
    // 0 not checked yet, 1 a valid XML name, 2 not one.
    mutable int validity = 0;
    // The name in UTF-8, once found valid.
    mutable QByteArray utf8;
};

struct Attribute {
    const NameData *name;
    QString value;
};

struct NodeData {
    const NameData *name = nullptr;
    DocumentData *doc = nullptr;
    NodeData *parent = nullptr;
    const ClassInfo *cls = nullptr;
    QString text;
    std::vector<Attribute> attributes;
    std::vector<NodeData *> children;
};

// Nodes live in chunks owned by the document and are freed with it: a node
// taken out of the tree stays valid for the handles that still hold it.
struct DocumentData {
    static constexpr size_t ChunkSize = 1024;

    QString version;
    NodeData *root = nullptr;
    std::vector<std::unique_ptr<NodeData[]>> chunks;
    size_t usedInLastChunk = ChunkSize;

    NodeData *newNode(const NameData *name, const ClassInfo *cls)
    {
        if (usedInLastChunk == ChunkSize) {
            chunks.push_back(std::make_unique<NodeData[]>(ChunkSize));
            usedInLastChunk = 0;
        }
        NodeData *n = &chunks.back()[usedInLastChunk++];
        n->name = name;
        n->doc = this;
        n->cls = cls;
        return n;
    }
};

namespace {

struct NameTable {
    std::mutex mutex;
    QHash<QString, NameData *> names;
    ~NameTable() { qDeleteAll(names); }
};

NameTable &nameTable()
{
    static NameTable table;
    return table;
}

const NameData *intern(QStringView text)
{
    NameTable &t = nameTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    const QString key = text.toString();
    auto it = t.names.constFind(key);
    if (it != t.names.constEnd())
        return it.value();
    auto *d = new NameData{key, 0, {}};
    t.names.insert(key, d);
    return d;
}

NodeData *findChild(const NodeData *parent, const NameData *name)
{
    for (NodeData *c : parent->children)
        if (c->name == name)
            return c;
    return nullptr;
}

NodeData *getChild(NodeData *parent, const NameData *name)
{
    if (NodeData *c = findChild(parent, name))
        return c;
    const ClassInfo *cls = parent->cls ? parent->cls->registeredClass(name) : nullptr;
    NodeData *c = parent->doc->newNode(name, cls);
    c->parent = parent;
    parent->children.push_back(c);
    return c;
}

Attribute *findAttribute(NodeData *node, const NameData *name)
{
    for (Attribute &a : node->attributes)
        if (a.name == name)
            return &a;
    return nullptr;
}

void setAttribute(NodeData *node, const NameData *name, const QString &value)
{
    if (Attribute *a = findAttribute(node, name))
        a->value = value;
    else
        node->attributes.push_back(Attribute{name, value});
}

void detach(NodeData *child)
{
    child->parent = nullptr;
}

QString pathOf(const NodeData *node)
{
    QStringList parts;
    for (const NodeData *n = node; n; n = n->parent) {
        QString part = n->name->text;
        if (const NodeData *p = n->parent) {
            int same = 0, position = 0;
            for (const NodeData *s : p->children) {
                if (s->name == n->name) {
                    ++same;
                    if (s == n)
                        position = same;
                }
            }
            if (same > 1)
                part += QLatin1Char('[') + QString::number(position) + QLatin1Char(']');
        }
        parts.prepend(part);
    }
    QString path = QLatin1Char('/') + parts.join(QLatin1Char('/'));
    if (node->doc && node->doc->root && !parts.isEmpty() && node != node->doc->root) {
        const NodeData *top = node;
        while (top->parent)
            top = top->parent;
        if (top != node->doc->root)
            path = QStringLiteral("(nodo rimosso) ") + path;
    }
    return path;
}

bool parseInteger(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok, 10);
    return ok;
}

int toInteger(const QString &text, const NodeData *node, const QString &what)
{
    int value = 0;
    if (!parseInteger(text, value))
        throw platform::EConvertError(
            QStringLiteral("Il valore \"%1\" %2 %3 non è un numero intero").arg(text, what, pathOf(node)));
    return value;
}

// XML 1.0 characters: tab, line feed, carriage return, U+0020 to U+D7FF,
// U+E000 to U+FFFD and the supplementary planes (as surrogate pairs).
// Returns the index of the first character outside them, or -1.
qsizetype firstInvalidChar(const QString &text)
{
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (c >= 0x20 && c < 0xD800)
            continue;
        if (c < 0x20) {
            if (c == 0x09 || c == 0x0A || c == 0x0D)
                continue;
            return i;
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < n && s[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            return i;
        }
        if (c >= 0xDC00 && c <= 0xDFFF)
            return i;
        if (c == 0xFFFE || c == 0xFFFF)
            return i;
    }
    return -1;
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isValidName(const NameData *name)
{
    if (name->validity == 0) {
        const QString &t = name->text;
        bool ok = !t.isEmpty() && isNameStart(t.at(0)) && firstInvalidChar(t) < 0;
        for (qsizetype i = 1; ok && i < t.size(); ++i) {
            const QChar c = t.at(i);
            ok = c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.')
                 || c.isMark();
        }
        if (ok)
            name->utf8 = t.toUtf8();
        name->validity = ok ? 1 : 2;
    }
    return name->validity == 1;
}

[[noreturn]] void raiseInvalidText(const QString &text, qsizetype at, const NodeData *node, const NameData *attribute)
{
    const char16_t c = text.at(at).unicode();
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    const QString kind = QChar::isSurrogate(c) ? QStringLiteral("Surrogato UTF-16 isolato (%1)").arg(code)
                                               : QStringLiteral("Carattere non ammesso in XML (%1)").arg(code);
    const QString where =
        attribute ? QStringLiteral("nell'attributo \"%1\" dell'elemento %2").arg(attribute->text, pathOf(node))
                  : QStringLiteral("nel testo dell'elemento %1").arg(pathOf(node));
    throw XmlError(kind + QLatin1Char(' ') + where);
}

void checkName(const NameData *name, const NodeData *node)
{
    if (!isValidName(name))
        throw XmlError(QStringLiteral("Nome XML non valido \"%1\" in %2").arg(name->text, pathOf(node)));
}

// The document written as UTF-8 into a buffer of bytes. Escaping and
// encoding are done here, straight from the nodes' UTF-16 text into the
// buffer: "<", ">", "&", '"' and "'" always (the five characters INPS's
// rules for its XML flows want written as entities; QXmlStreamWriter leaves
// the apostrophe as it is), and tab, line feed and carriage return in
// attribute values as character references. A carriage return in element text is written
// as "&#13;" too: written as such it comes back from any parser as a line
// feed (end-of-line handling), and the text would not read back as it was
// given.
//
// With a device (a file), the buffer is handed to it each time it holds
// ChunkSize bytes, so that a large document is never held twice in memory;
// without one it keeps the whole document.
class Utf8Writer {
public:
    static constexpr qsizetype ChunkSize = 256 * 1024;

    Utf8Writer(QIODevice *device, const QString &fileName) : m_device(device), m_fileName(fileName)
    {
        if (m_device)
            m_buffer.reserve(ChunkSize + 4096);
    }

    QByteArray &bytes() { return m_buffer; }

    void put(char c) { m_buffer.append(c); }
    void put(const QByteArray &bytes) { m_buffer.append(bytes); }
    template <qsizetype N>
    void put(const char (&literal)[N])
    {
        m_buffer.append(literal, N - 1);
    }

    // The text escaped and encoded; a character XML 1.0 cannot carry
    // (see firstInvalidChar) raises XmlError naming where it stands.
    void text(const QString &text, bool attribute, const NodeData *node, const NameData *attributeName)
    {
        const qsizetype n = text.size();
        const qsizetype start = m_buffer.size();
        // Six bytes are the longest form of one UTF-16 unit ("&quot;",
        // "&apos;"; a
        // surrogate pair takes four for two).
        m_buffer.resize(start + 6 * n);
        char *const begin = m_buffer.data();
        char *p = begin + start;
        const char16_t *s = reinterpret_cast<const char16_t *>(text.constData());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if (c < 0x80) {
                switch (c) {
                case u'<': p = copy(p, "&lt;"); break;
                case u'>': p = copy(p, "&gt;"); break;
                case u'&': p = copy(p, "&amp;"); break;
                case u'"': p = copy(p, "&quot;"); break;
                case u'\'': p = copy(p, "&apos;"); break;
                case u'\t':
                    if (attribute)
                        p = copy(p, "&#9;");
                    else
                        *p++ = '\t';
                    break;
                case u'\n':
                    if (attribute)
                        p = copy(p, "&#10;");
                    else
                        *p++ = '\n';
                    break;
                case u'\r': p = copy(p, "&#13;"); break;
                default:
                    if (c < 0x20)
                        invalid(text, i, start, node, attributeName);
                    *p++ = char(c);
                }
            } else if (c < 0x800) {
                *p++ = char(0xC0 | (c >> 6));
                *p++ = char(0x80 | (c & 0x3F));
            } else if (c < 0xD800 || (c >= 0xE000 && c < 0xFFFE)) {
                *p++ = char(0xE0 | (c >> 12));
                *p++ = char(0x80 | ((c >> 6) & 0x3F));
                *p++ = char(0x80 | (c & 0x3F));
            } else if (c <= 0xDBFF && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
                const char32_t u = QChar::surrogateToUcs4(c, s[++i]);
                *p++ = char(0xF0 | (u >> 18));
                *p++ = char(0x80 | ((u >> 12) & 0x3F));
                *p++ = char(0x80 | ((u >> 6) & 0x3F));
                *p++ = char(0x80 | (u & 0x3F));
            } else {
                invalid(text, i, start, node, attributeName);
            }
        }
        m_buffer.resize(p - begin);
    }

    // Hands a full buffer to the device.
    void flushIfFull()
    {
        if (m_device && m_buffer.size() >= ChunkSize)
            flush();
    }
    void flush()
    {
        if (!m_device || m_buffer.isEmpty())
            return;
        if (m_device->write(m_buffer) != m_buffer.size())
            throw platform::EWriteError(
                QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                    .arg(m_fileName, platform::writeFailureReason(m_fileName, platform::writeError(*m_device))));
        m_buffer.truncate(0);
    }

private:
    template <qsizetype N>
    static char *copy(char *p, const char (&literal)[N])
    {
        std::memcpy(p, literal, N - 1);
        return p + N - 1;
    }
    [[noreturn]] void invalid(const QString &text, qsizetype at, qsizetype start, const NodeData *node,
                              const NameData *attributeName)
    {
        m_buffer.truncate(start);
        raiseInvalidText(text, at, node, attributeName);
    }

    QIODevice *m_device;
    QString m_fileName;
    QByteArray m_buffer;
};

const QByteArray &checkedName(const NameData *name, const NodeData *node)
{
    checkName(name, node);
    return name->utf8;
}

void writeElement(Utf8Writer &w, const NodeData *node)
{
    const QByteArray &name = checkedName(node->name, node);
    w.put('<');
    w.put(name);
    for (const Attribute &a : node->attributes) {
        w.put(' ');
        w.put(checkedName(a.name, node));
        w.put("=\"");
        w.text(a.value, true, node, a.name);
        w.put('"');
    }
    if (node->text.isEmpty() && node->children.empty()) {
        w.put("/>");
        return;
    }
    w.put('>');
    if (!node->text.isEmpty())
        w.text(node->text, false, node, nullptr);
    for (const NodeData *c : node->children)
        writeElement(w, c);
    w.put("</");
    w.put(name);
    w.put('>');
    w.flushIfFull();
}

// The whole document: the declaration, the document element and a final
// line feed.
void writeDocument(Utf8Writer &w, const DocumentData *doc)
{
    w.put("<?xml version=\"");
    w.text(doc->version, true, doc->root, nullptr);
    w.put("\" encoding=\"UTF-8\"?>");
    writeElement(w, doc->root);
    w.put('\n');
    w.flush();
}

[[noreturn]] void raiseNullHandle()
{
    ZEP_ASSERT(false, QStringLiteral("Uso di un nodo XML nullo"));
    std::abort(); // not reached
}

[[noreturn]] void raiseIndex(int index, int count, const NodeData *owner, const NameData *item)
{
    const QString what = item ? QStringLiteral("elementi \"%1\"").arg(item->text) : QStringLiteral("figli");
    throw platform::EListError(QStringLiteral("Indice di lista fuori dai limiti (%1): %2 ha %3 %4")
                                   .arg(index)
                                   .arg(pathOf(owner))
                                   .arg(count)
                                   .arg(what));
}

} // namespace

// ---------------------------------------------------------------------------
// Name

Name::Name(QStringView text) : m_data(intern(text)) {}

const QString &Name::text() const
{
    return m_data->text;
}

// ---------------------------------------------------------------------------
// Node

Node::Node(const Node &node, const ClassInfo &cls) : m_node(node.m_node)
{
    if (m_node && m_node->cls != &cls)
        throw XmlError(
            QStringLiteral("Il nodo %1 (%2) non è di classe %3")
                .arg(pathOf(m_node.get()),
                     m_node->cls ? QString::fromLatin1(m_node->cls->className) : QStringLiteral("nodo semplice"),
                     QString::fromLatin1(cls.className)));
}

NodeData *Node::data() const
{
    if (!m_node)
        raiseNullHandle();
    return m_node.get();
}

std::shared_ptr<NodeData> Node::handleOf(NodeData *node) const
{
    if (!node)
        return {};
    // Shares ownership of the whole document with this handle.
    return std::shared_ptr<NodeData>(m_node, node);
}

QString Node::GetNodeName() const
{
    return data()->name->text;
}

const ClassInfo *Node::GetClassInfo() const
{
    return data()->cls;
}

QString Node::GetText() const
{
    return data()->text;
}

void Node::SetText(const QString &text) const
{
    NodeData *n = data();
    for (NodeData *c : n->children)
        detach(c);
    n->children.clear();
    n->text = text;
}

Node Node::GetParentNode() const
{
    return Node(handleOf(data()->parent));
}

Document Node::GetOwnerDocument() const
{
    NodeData *n = data();
    // The handle's control block owns the document: share it.
    return Document(std::shared_ptr<DocumentData>(m_node, n->doc));
}

bool Node::IsInDocument() const
{
    const NodeData *n = data();
    while (n->parent)
        n = n->parent;
    return n == n->doc->root;
}

int Node::GetChildCount() const
{
    return int(data()->children.size());
}

Node Node::GetChildAt(int index) const
{
    NodeData *n = data();
    if (index < 0 || index >= int(n->children.size()))
        raiseIndex(index, int(n->children.size()), n, nullptr);
    return Node(handleOf(n->children[size_t(index)]));
}

Node Node::FindChild(QStringView name) const
{
    return Node(handleOf(findChild(data(), intern(name))));
}

Node Node::GetChild(QStringView name) const
{
    return Node(handleOf(getChild(data(), intern(name))));
}

int Node::RemoveChild(const Node &child) const
{
    NodeData *n = data();
    if (child.IsNull())
        return -1;
    auto &ch = n->children;
    for (size_t i = 0; i < ch.size(); ++i) {
        if (ch[i] == child.m_node.get()) {
            detach(ch[i]);
            ch.erase(ch.begin() + qsizetype(i));
            return int(i);
        }
    }
    return -1;
}

int Node::GetAttributeCount() const
{
    return int(data()->attributes.size());
}

QString Node::GetAttributeName(int index) const
{
    NodeData *n = data();
    if (index < 0 || index >= int(n->attributes.size()))
        raiseIndex(index, int(n->attributes.size()), n, nullptr);
    return n->attributes[size_t(index)].name->text;
}

bool Node::HasAttribute(QStringView name) const
{
    return findAttribute(data(), intern(name)) != nullptr;
}

QString Node::GetAttribute(QStringView name) const
{
    const Attribute *a = findAttribute(data(), intern(name));
    return a ? a->value : QString();
}

void Node::SetAttribute(QStringView name, const QString &value) const
{
    setAttribute(data(), intern(name), value);
}

void Node::SetAttribute(QStringView name, int value) const
{
    setAttribute(data(), intern(name), QString::number(value));
}

QString Node::GetXML() const
{
    Utf8Writer w(nullptr, QString());
    writeElement(w, data());
    return QString::fromUtf8(w.bytes());
}

QString Node::GetPath() const
{
    return pathOf(data());
}

QString Node::leafText(const Name &name) const
{
    return getChild(data(), name.data())->text;
}

void Node::setLeafText(const Name &name, const QString &value) const
{
    NodeData *c = getChild(data(), name.data());
    if (!c->children.empty()) {
        for (NodeData *g : c->children)
            detach(g);
        c->children.clear();
    }
    c->text = value;
}

int Node::leafInteger(const Name &name) const
{
    const NodeData *c = getChild(data(), name.data());
    return toInteger(c->text, c, QStringLiteral("dell'elemento"));
}

void Node::setLeafInteger(const Name &name, int value) const
{
    setLeafText(name, QString::number(value));
}

QString Node::attributeText(const Name &name) const
{
    const Attribute *a = findAttribute(data(), name.data());
    return a ? a->value : QString();
}

int Node::attributeInteger(const Name &name) const
{
    NodeData *n = data();
    const Attribute *a = findAttribute(n, name.data());
    return toInteger(a ? a->value : QString(), n,
                     QStringLiteral("dell'attributo \"%1\" dell'elemento").arg(name.text()));
}

void Node::setAttributeText(const Name &name, const QString &value) const
{
    setAttribute(data(), name.data(), value);
}

void Node::setAttributeInteger(const Name &name, int value) const
{
    setAttribute(data(), name.data(), QString::number(value));
}

Node Node::childElement(const Name &name) const
{
    return Node(handleOf(getChild(data(), name.data())));
}

// ---------------------------------------------------------------------------
// NodeCollection

NodeCollection::NodeCollection(const Node &owner, const ClassInfo &cls) : m_owner(owner), m_class(&cls)
{
    ZEP_ASSERT(cls.family != ClassFamily::Element,
               QStringLiteral("%1 non è una collezione").arg(QString::fromLatin1(cls.className)));
}

NodeCollection::NodeCollection(const NodeCollection &other, const ClassInfo &cls)
    : m_owner(other.m_owner), m_class(other.m_class)
{
    if (!m_owner.IsNull() && m_class != &cls)
        throw XmlError(QStringLiteral("La collezione %1 non è di classe %2")
                           .arg(QString::fromLatin1(m_class->className), QString::fromLatin1(cls.className)));
}

QString NodeCollection::GetItemName() const
{
    return m_class ? m_class->itemName->text : QString();
}

int NodeCollection::GetCount() const
{
    const NodeData *o = m_owner.data();
    int count = 0;
    for (const NodeData *c : o->children)
        if (c->name == m_class->itemName)
            ++count;
    return count;
}

Node NodeCollection::GetNode(int index) const
{
    return itemAt(index);
}

Node NodeCollection::itemAt(int index) const
{
    const NodeData *o = m_owner.data();
    if (index >= 0) {
        int k = 0;
        for (NodeData *c : o->children)
            if (c->name == m_class->itemName && k++ == index)
                return Node(m_owner.handleOf(c));
    }
    raiseIndex(index, GetCount(), o, m_class->itemName);
}

void NodeCollection::Clear() const
{
    NodeData *o = m_owner.data();
    auto &ch = o->children;
    auto keep = ch.begin();
    for (auto it = ch.begin(); it != ch.end(); ++it) {
        if ((*it)->name == m_class->itemName)
            detach(*it);
        else
            *keep++ = *it;
    }
    ch.erase(keep, ch.end());
}

void NodeCollection::Delete(int index) const
{
    NodeData *o = m_owner.data();
    if (index >= 0) {
        int k = 0;
        for (size_t i = 0; i < o->children.size(); ++i) {
            NodeData *c = o->children[i];
            if (c->name == m_class->itemName && k++ == index) {
                detach(c);
                o->children.erase(o->children.begin() + qsizetype(i));
                return;
            }
        }
    }
    raiseIndex(index, GetCount(), o, m_class->itemName);
}

int NodeCollection::Remove(const Node &item) const
{
    NodeData *o = m_owner.data();
    if (item.IsNull())
        return -1;
    int k = 0;
    for (size_t i = 0; i < o->children.size(); ++i) {
        NodeData *c = o->children[i];
        if (c->name != m_class->itemName)
            continue;
        if (c == item.m_node.get()) {
            detach(c);
            o->children.erase(o->children.begin() + qsizetype(i));
            return k;
        }
        ++k;
    }
    return -1;
}

Node NodeCollection::addItem(int index) const
{
    NodeData *o = m_owner.data();
    auto &ch = o->children;
    size_t at = ch.size();
    if (index != -1) {
        int k = 0;
        if (index >= 0) {
            for (size_t i = 0; i < ch.size(); ++i) {
                if (ch[i]->name == m_class->itemName && k++ == index) {
                    at = i;
                    break;
                }
            }
        }
        if (index < 0 || (at == ch.size() && index != k))
            raiseIndex(index, GetCount(), o, m_class->itemName);
    }
    NodeData *item = o->doc->newNode(m_class->itemName, m_class->itemClass);
    item->parent = o;
    ch.insert(ch.begin() + qsizetype(at), item);
    return Node(m_owner.handleOf(item));
}

Node NodeCollection::addTextItem(int index, const QString &text) const
{
    Node n = addItem(index);
    n.data()->text = text;
    return n;
}

QString NodeCollection::itemText(int index) const
{
    return itemAt(index).data()->text;
}

NodeCollection ElementCollection::items() const
{
    return NodeCollection(*this, *data()->cls);
}

// ---------------------------------------------------------------------------
// Document

QString Document::GetVersion() const
{
    if (!m_doc)
        raiseNullHandle();
    return m_doc->version;
}

Node Document::GetDocumentElement() const
{
    if (!m_doc)
        raiseNullHandle();
    return Node(std::shared_ptr<NodeData>(m_doc, m_doc->root));
}

QByteArray Document::SaveToBytes() const
{
    if (!m_doc)
        raiseNullHandle();
    Utf8Writer w(nullptr, QString());
    writeDocument(w, m_doc.get());
    return std::move(w.bytes());
}

void Document::SaveToFile(const QString &fileName) const
{
    if (!m_doc)
        raiseNullHandle();
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target only on commit: a failure, while writing (a character XML
    // cannot carry, a full disk) or at the rename, leaves an existing file
    // as it was and no temporary file behind.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::EWriteError(QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                                        .arg(fileName, platform::writeFailureReason(fileName, file.errorString())));
    try {
        Utf8Writer w(&file, fileName);
        writeDocument(w, m_doc.get());
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!platform::commitSaveFile(file))
        throw platform::EWriteError(
            QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                .arg(fileName, platform::writeFailureReason(fileName, platform::writeError(file))));
}

Document NewXMLDocument(const QString &version, const Name &rootName, const ClassInfo *rootClass)
{
    auto doc = std::make_shared<DocumentData>();
    doc->version = version;
    doc->root = doc->newNode(rootName.data(), rootClass);
    return Document(std::move(doc));
}

} // namespace xmlbinding
