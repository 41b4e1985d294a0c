#pragma once
// Typed binding of an XML document: the node layer under the generated
// document models (UniEmens, E-Mens).
//
// A document is a tree of element nodes kept in memory and written out as
// UTF-8, escaped as QXmlStreamWriter escapes and the apostrophe as "&apos;"
// too, by a serialiser of its own that streams the bytes to the file. It is
// only built and saved, never parsed. The generated classes are thin handles
// over these nodes: each element class knows, through its ClassInfo, which
// class every child name is made of, and its accessors look their child up
// by name, creating and appending it on first access, so children stand in
// the saved file in the order they were first reached.
//
// Handles (Node, NodeCollection, Document) are cheap values that share the
// ownership of their document: the document lives while any handle to it or
// to one of its nodes does. A node taken out of the tree (RemoveChild,
// Delete, Clear) stays a valid, detached subtree for handles still holding
// it; it is simply no longer part of what is saved.
//
// Handles have pointer semantics: their operations are const and change the
// document they point into. Using a null handle raises an assertion failure.
#include "Exceptions.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace xmlbinding {

// A failure of the node layer itself: a document that cannot be written as
// well-formed XML (a file that cannot be written is platform::EWriteError).
class XmlError : public platform::Exception {
    using Exception::Exception;
};

struct NameData;
struct NodeData;
struct DocumentData;
struct ClassInfo;
class Node;
class NodeCollection;
class Document;

// An element or attribute name, interned: two Names of the same text are the
// same object, so lookups compare pointers.
class Name {
public:
    explicit Name(QStringView text);
    const QString &text() const;
    const NameData *data() const { return m_data; }
    bool operator==(const Name &other) const { return m_data == other.m_data; }

private:
    const NameData *m_data;
};

// ---------------------------------------------------------------------------
// Description of the generated classes. Every generated class has one
// ClassInfo; it drives node creation (which class a child name is made of)
// and lets tests and tools walk the model's interfaces generically.

enum class ClassFamily {
    Element,          // an element type with attributes and/or child elements
    List,             // a repeated child of a parent element, seen through the parent
    TextList,         // a repeated child whose items carry only text
    ElementCollection // an element whose content is one repeated child
};

enum class MemberKind {
    TextAttribute,
    IntegerAttribute,
    TextLeaf,
    IntegerLeaf,
    Element, // a single complex child: getter only
    List,    // a repeated child (list or text list): getter only
};

struct MemberInfo {
    MemberKind kind;
    const char *nodeName;  // as in the document ("IndennitaMalattia87-88")
    const char *getter;    // "GetIndennitaMalattia87_88"
    const char *setter;    // nullptr for Element and List members
    const ClassInfo *type; // class of an Element member, list class of a List member

    // Calls into the generated accessors, for table-driven use.
    QString (*getText)(const Node &);
    void (*setText)(const Node &, const QString &);
    int (*getInteger)(const Node &);
    void (*setInteger)(const Node &, int);
    Node (*getElement)(const Node &);
    NodeCollection (*getList)(const Node &);

    bool isAttribute() const { return kind == MemberKind::TextAttribute || kind == MemberKind::IntegerAttribute; }
    bool isLeaf() const { return kind != MemberKind::Element && kind != MemberKind::List; }
    bool isInteger() const { return kind == MemberKind::IntegerAttribute || kind == MemberKind::IntegerLeaf; }
};

struct ClassInfo {
    struct Registration {
        const NameData *name;
        const ClassInfo *cls;
    };

    const char *className; // "TXMLDatiMittente"
    ClassFamily family;
    // Lists, text lists and element-collections: the name and class of the
    // items (no class for text-list items, which are plain nodes).
    const NameData *itemName = nullptr;
    const ClassInfo *itemClass = nullptr;
    // Which class each child name is made of under a node of this class.
    std::vector<Registration> registrations;
    // Attributes and children, in interface (and document) order.
    std::vector<MemberInfo> members;
    // Every operation of the interface, in its order.
    std::vector<const char *> operations;

    // Calls into the generated item operations of lists and element-collections.
    Node (*add)(const NodeCollection &) = nullptr;
    Node (*insert)(const NodeCollection &, int) = nullptr;
    Node (*getItem)(const NodeCollection &, int) = nullptr;
    Node (*addText)(const NodeCollection &, const QString &) = nullptr;
    Node (*insertText)(const NodeCollection &, int, const QString &) = nullptr;
    QString (*getItemText)(const NodeCollection &, int) = nullptr;

    const ClassInfo *registeredClass(const NameData *name) const
    {
        for (const Registration &r : registrations)
            if (r.name == name)
                return r.cls;
        return nullptr;
    }
};

// ---------------------------------------------------------------------------

// Handle on an element node.
class Node {
public:
    Node() = default;

    bool IsNull() const { return !m_node; }
    explicit operator bool() const { return !IsNull(); }
    bool operator==(const Node &other) const { return m_node == other.m_node; }

    QString GetNodeName() const;
    // The class the node was made of; nullptr for a plain node.
    const ClassInfo *GetClassInfo() const;

    // Text content. Setting it replaces the element's whole content (its
    // child elements included); an empty text leaves the element empty.
    QString GetText() const;
    void SetText(const QString &text) const;

    Node GetParentNode() const;
    Document GetOwnerDocument() const;
    // False once the node, or one of its ancestors, has been taken out of the tree.
    bool IsInDocument() const;

    int GetChildCount() const;
    Node GetChildAt(int index) const;
    // First child element of that name, or a null node: creates nothing.
    Node FindChild(QStringView name) const;
    // First child element of that name, created and appended when absent
    // (as an object of the class registered for the name under this node).
    Node GetChild(QStringView name) const;
    // Takes a child element out of the tree; its index, or -1 when the node
    // is not a child of this one.
    int RemoveChild(const Node &child) const;

    int GetAttributeCount() const;
    QString GetAttributeName(int index) const;
    bool HasAttribute(QStringView name) const;
    // An absent attribute reads as empty text.
    QString GetAttribute(QStringView name) const;
    // Creates the attribute (after the existing ones) or replaces its value.
    void SetAttribute(QStringView name, const QString &value) const;
    void SetAttribute(QStringView name, int value) const;

    // The node written as XML, without declaration: "<Name/>" for an element
    // with no attributes and no content.
    QString GetXML() const;

    // Slash-separated path from the document element, with a 1-based index
    // where siblings share the name: "/DenunceMensili/Azienda[2]/CFAzienda".
    QString GetPath() const;

protected:
    explicit Node(std::shared_ptr<NodeData> node) : m_node(std::move(node)) {}
    // Checked conversion for the generated classes: the node must be null or
    // made of the class given.
    Node(const Node &node, const ClassInfo &cls);

    // Accessors of the generated classes.
    QString leafText(const Name &name) const;
    void setLeafText(const Name &name, const QString &value) const;
    int leafInteger(const Name &name) const;
    void setLeafInteger(const Name &name, int value) const;
    QString attributeText(const Name &name) const;
    int attributeInteger(const Name &name) const;
    void setAttributeText(const Name &name, const QString &value) const;
    void setAttributeInteger(const Name &name, int value) const;
    Node childElement(const Name &name) const;

    NodeData *data() const;
    std::shared_ptr<NodeData> handleOf(NodeData *node) const;

    std::shared_ptr<NodeData> m_node;

    friend class NodeCollection;
    friend class Document;
    friend Document NewXMLDocument(const QString &, const Name &, const ClassInfo *);
};

// Handle on the items of a given name under one element: the parent's node
// for a list or text list, the element itself for an element-collection.
class NodeCollection {
public:
    NodeCollection() = default;
    NodeCollection(const Node &owner, const ClassInfo &cls);

    bool IsNull() const { return m_owner.IsNull(); }
    const Node &GetOwnerNode() const { return m_owner; }
    const ClassInfo *GetClassInfo() const { return m_class; }
    QString GetItemName() const;

    int GetCount() const;
    Node GetNode(int index) const;
    void Clear() const;
    void Delete(int index) const;
    // Takes the item out of the tree; its index, or -1 when not an item here.
    int Remove(const Node &item) const;

protected:
    NodeCollection(const NodeCollection &other, const ClassInfo &cls);

    // Item operations of the generated classes: AddItem with -1 appends
    // after the last child of the owner; with an index, the new item goes
    // before the item at that index, or after all children when the index
    // equals the count.
    Node addItem(int index) const;
    Node itemAt(int index) const;
    Node addTextItem(int index, const QString &text) const;
    QString itemText(int index) const;

private:
    Node m_owner;
    const ClassInfo *m_class = nullptr;

    friend class ElementCollection;
};

// Base of the generated element-collection classes: an element that is the
// collection of its items.
class ElementCollection : public Node {
public:
    ElementCollection() = default;

    int GetCount() const { return items().GetCount(); }
    Node GetNode(int index) const { return items().GetNode(index); }
    void Clear() const { items().Clear(); }
    void Delete(int index) const { items().Delete(index); }
    int Remove(const Node &item) const { return items().Remove(item); }

protected:
    ElementCollection(const Node &node, const ClassInfo &cls) : Node(node, cls) {}
    NodeCollection items() const;
    Node addItem(int index) const { return items().addItem(index); }
    Node itemAt(int index) const { return items().itemAt(index); }
};

class Document {
public:
    Document() = default;

    bool IsNull() const { return !m_doc; }
    QString GetVersion() const;
    Node GetDocumentElement() const;

    // The document as UTF-8 bytes, with the declaration
    // <?xml version="..." encoding="UTF-8"?>.
    QByteArray SaveToBytes() const;
    // Streams the document to a temporary file beside the target and moves
    // it into place only when complete: an existing file is left as it was
    // when the save fails (a character XML cannot carry: XmlError; a file
    // that cannot be written: platform::EWriteError).
    void SaveToFile(const QString &fileName) const;

private:
    explicit Document(std::shared_ptr<DocumentData> doc) : m_doc(std::move(doc)) {}
    std::shared_ptr<DocumentData> m_doc;

    friend class Node;
    friend Document NewXMLDocument(const QString &, const Name &, const ClassInfo *);
};

// A new document with the given XML version and its document element, made
// of rootClass (nullptr for a plain node).
Document NewXMLDocument(const QString &version, const Name &rootName, const ClassInfo *rootClass);

// Checked conversion of a generic node to a generated class: fails when the
// node is not made of that class.
template <class T>
T node_cast(const Node &node)
{
    return T(node);
}

} // namespace xmlbinding

// The node layer's interface names, as the generated models use them.
using IXMLNode = xmlbinding::Node;
using IXMLNodeCollection = xmlbinding::NodeCollection;
using IXMLDocument = xmlbinding::Document;
