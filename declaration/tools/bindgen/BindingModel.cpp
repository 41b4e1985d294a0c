#include "BindingModel.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace bindgen {

namespace {

// Operations every generated class inherits from the node layer: a member
// whose accessor would take one of these names would hide it.
const std::set<std::string> &reservedOperations()
{
    static const std::set<std::string> names = {"IsNull",
                                                "GetNodeName",
                                                "GetClassInfo",
                                                "GetText",
                                                "SetText",
                                                "GetParentNode",
                                                "GetOwnerDocument",
                                                "IsInDocument",
                                                "GetChildCount",
                                                "GetChildAt",
                                                "FindChild",
                                                "GetChild",
                                                "RemoveChild",
                                                "GetAttributeCount",
                                                "GetAttributeName",
                                                "HasAttribute",
                                                "GetAttribute",
                                                "SetAttribute",
                                                "GetXML",
                                                "GetPath",
                                                "GetCount",
                                                "GetNode",
                                                "Clear",
                                                "Delete",
                                                "Remove",
                                                "GetItem",
                                                "Add",
                                                "Insert",
                                                "GetOwnerNode",
                                                "GetItemName",
                                                "classInfo"};
    return names;
}

[[noreturn]] void fail(const std::string &source, int line, const std::string &message)
{
    std::ostringstream os;
    os << source;
    if (line > 0)
        os << ":" << line;
    os << ": " << message;
    throw DescriptionError(os.str());
}

bool isIdentifier(const std::string &s)
{
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_'))
        return false;
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

bool isXmlName(const std::string &s)
{
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_'))
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
    });
}

std::vector<std::string> words(const std::string &line)
{
    std::string text = line.substr(0, line.find('#'));
    std::istringstream is(text);
    std::vector<std::string> out;
    for (std::string w; is >> w;)
        out.push_back(w);
    return out;
}

} // namespace

std::string Member::operationSuffix() const
{
    std::string s = nodeName;
    std::replace(s.begin(), s.end(), '-', '_');
    return s;
}

std::vector<std::string> ClassDef::operations() const
{
    std::vector<std::string> ops;
    if (family == Family::List || family == Family::TextList)
        return {"Add", "Insert", "GetItem"};
    for (const Member &m : members)
        ops.push_back("Get" + m.operationSuffix());
    if (family == Family::Collection)
        ops.push_back("GetItem");
    for (const Member &m : members)
        if (m.isLeaf())
            ops.push_back("Set" + m.operationSuffix());
    if (family == Family::Collection) {
        ops.push_back("Add");
        ops.push_back("Insert");
    }
    return ops;
}

int ClassDef::getterCount() const
{
    return int(members.size());
}

int ClassDef::setterCount() const
{
    return int(std::count_if(members.begin(), members.end(), [](const Member &m) { return m.isLeaf(); }));
}

const ClassDef *Model::find(const std::string &name) const
{
    for (const ClassDef &c : classes)
        if (c.name == name)
            return &c;
    return nullptr;
}

int Model::count(Family family) const
{
    return int(
        std::count_if(classes.begin(), classes.end(), [family](const ClassDef &c) { return c.family == family; }));
}

Model parse(const std::string &text, const std::string &source)
{
    Model model;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    ClassDef *current = nullptr;
    std::set<std::string> classNames;
    bool haveDocument = false;

    auto newClass = [&](const std::string &name, Family family, int at) -> ClassDef & {
        if (!isIdentifier(name))
            fail(source, at, "not a class name: \"" + name + "\"");
        if (!classNames.insert(name).second)
            fail(source, at, "duplicate class name " + name);
        ClassDef c;
        c.name = name;
        c.family = family;
        c.line = at;
        model.classes.push_back(c);
        return model.classes.back();
    };

    while (std::getline(in, line)) {
        ++lineNo;
        const std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        const std::string &kw = w[0];
        auto need = [&](size_t n) {
            if (w.size() != n)
                fail(source, lineNo, "\"" + kw + "\" takes " + std::to_string(n - 1) + " word(s)");
        };
        if (kw == "unit") {
            need(2);
            if (!isIdentifier(w[1]))
                fail(source, lineNo, "not a unit name: \"" + w[1] + "\"");
            model.unit = w[1];
        } else if (kw == "namespace") {
            need(2);
            if (!isIdentifier(w[1]))
                fail(source, lineNo, "not a namespace name: \"" + w[1] + "\"");
            model.nameSpace = w[1];
        } else if (kw == "document") {
            need(5);
            if (haveDocument)
                fail(source, lineNo, "a second document statement");
            haveDocument = true;
            if (!isXmlName(w[1]))
                fail(source, lineNo, "not an XML name: \"" + w[1] + "\"");
            if (!isIdentifier(w[4]))
                fail(source, lineNo, "not a function name: \"" + w[4] + "\"");
            model.rootName = w[1];
            model.rootClass = w[2];
            model.version = w[3];
            model.factory = w[4];
        } else if (kw == "element") {
            need(2);
            current = &newClass(w[1], Family::Element, lineNo);
        } else if (kw == "collection") {
            need(4);
            if (!isXmlName(w[2]))
                fail(source, lineNo, "not an XML name: \"" + w[2] + "\"");
            current = &newClass(w[1], Family::Collection, lineNo);
            current->itemName = w[2];
            current->itemClass = w[3];
        } else if (kw == "attribute" || kw == "leaf" || kw == "child" || kw == "list" || kw == "textlist") {
            if (!current)
                fail(source, lineNo, "\"" + kw + "\" outside a class");
            Member m;
            m.line = lineNo;
            if (kw == "attribute" || kw == "leaf") {
                need(3);
                if (w[2] != "text" && w[2] != "integer")
                    fail(source, lineNo, "value kind must be text or integer, not \"" + w[2] + "\"");
                const bool integer = w[2] == "integer";
                m.kind = kw == "attribute" ? (integer ? MemberKind::IntegerAttribute : MemberKind::TextAttribute)
                                           : (integer ? MemberKind::IntegerLeaf : MemberKind::TextLeaf);
            } else if (kw == "child") {
                need(3);
                m.kind = MemberKind::Child;
                m.typeName = w[2];
            } else {
                need(kw == "list" ? 4 : 3);
                if (current->family != Family::Element)
                    fail(source, lineNo, "a collection holds no lists: " + current->name);
                m.kind = kw == "list" ? MemberKind::List : MemberKind::TextList;
                m.typeName = w[2];
            }
            m.nodeName = w[1];
            if (!isXmlName(m.nodeName))
                fail(source, lineNo, "not an XML name: \"" + m.nodeName + "\"");
            if (current->family == Family::Collection && !m.isAttribute())
                fail(source, lineNo, "a collection has attributes only: " + current->name);
            if (m.isAttribute()) {
                for (const Member &o : current->members)
                    if (!o.isAttribute())
                        fail(source, lineNo, "attribute " + m.nodeName + " after the children of " + current->name);
            }
            for (const Member &o : current->members) {
                if (o.nodeName == m.nodeName)
                    fail(source, lineNo, "duplicate name " + m.nodeName + " in " + current->name);
                if (o.operationSuffix() == m.operationSuffix())
                    fail(source, lineNo, "duplicate operation name Get" + m.operationSuffix() + " in " + current->name);
            }
            for (const char *prefix : {"Get", "Set"})
                if (reservedOperations().count(prefix + m.operationSuffix()))
                    fail(source, lineNo, std::string(prefix) + m.operationSuffix() + " would hide a node operation");
            current->members.push_back(m);

            if (m.kind == MemberKind::List || m.kind == MemberKind::TextList) {
                const std::string itemClass = m.kind == MemberKind::List ? w[3] : std::string();
                const Family family = m.kind == MemberKind::List ? Family::List : Family::TextList;
                const std::string listName = m.typeName;
                const std::string owner = current->name;
                if (classNames.count(listName)) {
                    const ClassDef *existing = model.find(listName);
                    if (!existing || (existing->family != Family::List && existing->family != Family::TextList))
                        fail(source, lineNo, "duplicate class name " + listName);
                    if (existing->family != family || existing->itemClass != itemClass)
                        fail(source, lineNo,
                             "list class " + listName + " used with two item classes ("
                                 + (existing->itemClass.empty() ? "text" : existing->itemClass) + ", "
                                 + (itemClass.empty() ? "text" : itemClass) + ")");
                    if (existing->itemName != m.nodeName)
                        fail(source, lineNo,
                             "list class " + listName + " used with two item names (" + existing->itemName + ", "
                                 + m.nodeName + ")");
                } else {
                    ClassDef &list = newClass(listName, family, lineNo);
                    list.itemName = m.nodeName;
                    list.itemClass = itemClass;
                    // newClass may have moved the classes: find the owner again.
                    for (ClassDef &c : model.classes)
                        if (c.name == owner)
                            current = &c;
                }
            }
        } else {
            fail(source, lineNo, "unknown statement \"" + kw + "\"");
        }
    }
    if (model.unit.empty())
        fail(source, 0, "no unit statement");
    if (!haveDocument)
        fail(source, 0, "no document statement");
    check(model);
    return model;
}

void check(const Model &model)
{
    const std::string source = model.unit;
    auto elementLike = [&](const std::string &name, int line, const std::string &what) {
        const ClassDef *c = model.find(name);
        if (!c)
            fail(source, line, "unknown class " + name + " (" + what + ")");
        if (c->family != Family::Element && c->family != Family::Collection)
            fail(source, line, name + " is a list class, not an element class (" + what + ")");
        return c;
    };

    elementLike(model.rootClass, 0, "document element");
    for (const ClassDef &c : model.classes) {
        if (c.family == Family::List || c.family == Family::Collection)
            elementLike(c.itemClass, c.line, "items of " + c.name);
        for (const Member &m : c.members)
            if (m.kind == MemberKind::Child)
                elementLike(m.typeName, m.line, "child " + m.nodeName + " of " + c.name);
    }

    // Every class must be reachable from the document element.
    std::set<std::string> seen;
    std::vector<std::string> todo{model.rootClass};
    while (!todo.empty()) {
        const std::string name = todo.back();
        todo.pop_back();
        if (!seen.insert(name).second)
            continue;
        const ClassDef *c = model.find(name);
        if (!c->itemClass.empty())
            todo.push_back(c->itemClass);
        for (const Member &m : c->members)
            if (!m.typeName.empty())
                todo.push_back(m.typeName);
    }
    for (const ClassDef &c : model.classes)
        if (!seen.count(c.name))
            fail(source, c.line, "class " + c.name + " is not reachable from the document element");
}

// ---------------------------------------------------------------------------
// Code generation

namespace {

const char *familyName(Family f)
{
    switch (f) {
    case Family::Element: return "xmlbinding::ClassFamily::Element";
    case Family::List: return "xmlbinding::ClassFamily::List";
    case Family::TextList: return "xmlbinding::ClassFamily::TextList";
    case Family::Collection: return "xmlbinding::ClassFamily::ElementCollection";
    }
    return "";
}

const char *memberKindName(MemberKind k)
{
    switch (k) {
    case MemberKind::TextAttribute: return "xmlbinding::MemberKind::TextAttribute";
    case MemberKind::IntegerAttribute: return "xmlbinding::MemberKind::IntegerAttribute";
    case MemberKind::TextLeaf: return "xmlbinding::MemberKind::TextLeaf";
    case MemberKind::IntegerLeaf: return "xmlbinding::MemberKind::IntegerLeaf";
    case MemberKind::Child: return "xmlbinding::MemberKind::Element";
    case MemberKind::List:
    case MemberKind::TextList: return "xmlbinding::MemberKind::List";
    }
    return "";
}

std::string interfaceName(const std::string &cls)
{
    return cls.rfind("TXML", 0) == 0 ? "IXML" + cls.substr(4) : "I" + cls;
}

std::string getterType(const Member &m)
{
    switch (m.kind) {
    case MemberKind::TextAttribute:
    case MemberKind::TextLeaf: return "QString";
    case MemberKind::IntegerAttribute:
    case MemberKind::IntegerLeaf: return "int";
    default: return m.typeName;
    }
}

std::string detailNamespace(const Model &model)
{
    return model.unit + "_detail";
}

// Identifiers of the interned names, one per distinct node name.
std::map<std::string, std::string> nameIdentifiers(const Model &model)
{
    std::set<std::string> names{model.rootName};
    for (const ClassDef &c : model.classes) {
        if (!c.itemName.empty())
            names.insert(c.itemName);
        for (const Member &m : c.members)
            names.insert(m.nodeName);
    }
    std::map<std::string, std::string> ids;
    std::set<std::string> used;
    for (const std::string &n : names) {
        std::string id = "n_" + n;
        std::replace(id.begin(), id.end(), '-', '_');
        std::replace(id.begin(), id.end(), '.', '_');
        std::string unique = id;
        for (int k = 2; used.count(unique); ++k)
            unique = id + "_" + std::to_string(k);
        used.insert(unique);
        ids[n] = unique;
    }
    return ids;
}

void openNamespace(std::ostream &os, const Model &model)
{
    if (!model.nameSpace.empty())
        os << "namespace " << model.nameSpace << " {\n\n";
}

void closeNamespace(std::ostream &os, const Model &model)
{
    if (!model.nameSpace.empty())
        os << "} // namespace " << model.nameSpace << "\n";
}

} // namespace

std::string generateHeader(const Model &model)
{
    std::ostringstream os;
    os << "// Generated by zep_bindgen from the binding description of unit " << model.unit << ": do not edit.\n"
       << "// Document element \"" << model.rootName << "\", XML version " << model.version << ".\n"
       << "#pragma once\n\n#include \"XmlBinding.h\"\n\n#include <vector>\n\n";
    openNamespace(os, model);
    for (const ClassDef &c : model.classes)
        os << "class " << c.name << ";\n";
    os << "\n";
    for (const ClassDef &c : model.classes)
        os << "using " << interfaceName(c.name) << " = " << c.name << ";\n";
    os << "\n";

    for (const ClassDef &c : model.classes) {
        const bool isList = c.family == Family::List || c.family == Family::TextList;
        const char *base = c.family == Family::Element      ? "xmlbinding::Node"
                           : c.family == Family::Collection ? "xmlbinding::ElementCollection"
                                                            : "xmlbinding::NodeCollection";
        os << "class " << c.name << " : public " << base << " {\npublic:\n"
           << "    " << c.name << "() = default;\n"
           << "    explicit " << c.name << "(const " << (isList ? "xmlbinding::NodeCollection" : "xmlbinding::Node")
           << " &other);\n"
           << "    static const xmlbinding::ClassInfo &classInfo();\n";
        if (c.family == Family::List) {
            os << "\n    " << c.itemClass << " Add() const;\n"
               << "    " << c.itemClass << " Insert(int index) const;\n"
               << "    " << c.itemClass << " GetItem(int index) const;\n";
        } else if (c.family == Family::TextList) {
            os << "\n    xmlbinding::Node Add(const QString &text) const;\n"
               << "    xmlbinding::Node Insert(int index, const QString &text) const;\n"
               << "    QString GetItem(int index) const;\n";
        } else {
            if (!c.members.empty() || c.family == Family::Collection)
                os << "\n";
            for (const Member &m : c.members)
                os << "    " << getterType(m) << " Get" << m.operationSuffix() << "() const;\n";
            if (c.family == Family::Collection)
                os << "    " << c.itemClass << " GetItem(int index) const;\n";
            for (const Member &m : c.members) {
                if (!m.isLeaf())
                    continue;
                os << "    void Set" << m.operationSuffix() << "("
                   << (m.isInteger() ? "int value" : "const QString &value") << ") const;\n";
            }
            if (c.family == Family::Collection)
                os << "    " << c.itemClass << " Add() const;\n"
                   << "    " << c.itemClass << " Insert(int index) const;\n";
        }
        os << "};\n\n";
    }

    os << "// A new, empty document with its document element \"" << model.rootName << "\".\n"
       << interfaceName(model.rootClass) << " " << model.factory << "();\n\n"
       << "// Every class of the model, in the order of its description.\n"
       << "const std::vector<const xmlbinding::ClassInfo *> &" << model.unit << "_Classes();\n\n";
    closeNamespace(os, model);
    return os.str();
}

std::string generateSource(const Model &model)
{
    const std::map<std::string, std::string> ids = nameIdentifiers(model);
    const std::string detail = detailNamespace(model);
    std::ostringstream os;
    os << "// Generated by zep_bindgen from the binding description of unit " << model.unit << ": do not edit.\n"
       << "#include \"" << model.unit << ".h\"\n\n";
    openNamespace(os, model);

    os << "namespace " << detail << " {\n\n";
    for (const auto &[text, id] : ids)
        os << "const xmlbinding::Name " << id << "(u\"" << text << "\");\n";
    os << "\n";
    for (const ClassDef &c : model.classes)
        os << "extern xmlbinding::ClassInfo c_" << c.name << ";\n";
    os << "\n";

    for (const ClassDef &c : model.classes) {
        const bool isList = c.family == Family::List || c.family == Family::TextList;
        os << "xmlbinding::ClassInfo c_" << c.name << "{\n"
           << "    \"" << c.name << "\",\n    " << familyName(c.family) << ",\n";
        os << "    " << (c.itemName.empty() ? std::string("nullptr") : ids.at(c.itemName) + ".data()") << ",\n";
        os << "    " << (c.itemClass.empty() ? std::string("nullptr") : "&c_" + c.itemClass) << ",\n";
        // Registrations: complex and repeated children, or the items of a collection.
        os << "    {";
        bool first = true;
        auto reg = [&](const std::string &name, const std::string &cls) {
            os << (first ? "\n" : ",\n") << "        {" << ids.at(name) << ".data(), &c_" << cls << "}";
            first = false;
        };
        if (c.family == Family::Collection)
            reg(c.itemName, c.itemClass);
        for (const Member &m : c.members) {
            if (m.kind == MemberKind::Child)
                reg(m.nodeName, m.typeName);
            else if (m.kind == MemberKind::List)
                reg(m.nodeName, model.find(m.typeName)->itemClass);
        }
        os << (first ? "},\n" : "\n    },\n");
        // Members.
        os << "    {";
        first = true;
        for (const Member &m : c.members) {
            const std::string op = m.operationSuffix();
            const std::string self = c.name + "(n)";
            os << (first ? "\n" : ",\n") << "        {" << memberKindName(m.kind) << ", \"" << m.nodeName << "\", \"Get"
               << op << "\", " << (m.isLeaf() ? "\"Set" + op + "\"" : std::string("nullptr")) << ", "
               << (m.typeName.empty() ? std::string("nullptr") : "&c_" + m.typeName) << ",\n            ";
            const bool text = m.kind == MemberKind::TextAttribute || m.kind == MemberKind::TextLeaf;
            const bool integer = m.isInteger();
            os << (text ? "[](const xmlbinding::Node &n) { return " + self + ".Get" + op + "(); }" : "nullptr")
               << ",\n            ";
            os << (text ? "[](const xmlbinding::Node &n, const QString &v) { " + self + ".Set" + op + "(v); }"
                        : "nullptr")
               << ",\n            ";
            os << (integer ? "[](const xmlbinding::Node &n) { return " + self + ".Get" + op + "(); }" : "nullptr")
               << ",\n            ";
            os << (integer ? "[](const xmlbinding::Node &n, int v) { " + self + ".Set" + op + "(v); }" : "nullptr")
               << ",\n            ";
            os << (m.kind == MemberKind::Child
                       ? "[](const xmlbinding::Node &n) -> xmlbinding::Node { return " + self + ".Get" + op + "(); }"
                       : "nullptr")
               << ",\n            ";
            os << (m.kind == MemberKind::List || m.kind == MemberKind::TextList
                       ? "[](const xmlbinding::Node &n) -> xmlbinding::NodeCollection { return " + self + ".Get" + op
                             + "(); }"
                       : "nullptr")
               << "}";
            first = false;
        }
        os << (first ? "},\n" : "\n    },\n");
        // Operations.
        os << "    {";
        first = true;
        for (const std::string &op : c.operations()) {
            os << (first ? "" : ", ") << "\"" << op << "\"";
            first = false;
        }
        os << "},\n";
        // Item thunks.
        const std::string view = isList ? c.name + "(c)" : c.name + "(c.GetOwnerNode())";
        if (c.family == Family::List || c.family == Family::Collection) {
            os << "    [](const xmlbinding::NodeCollection &c) -> xmlbinding::Node { return " << view << ".Add(); },\n"
               << "    [](const xmlbinding::NodeCollection &c, int i) -> xmlbinding::Node { return " << view
               << ".Insert(i); },\n"
               << "    [](const xmlbinding::NodeCollection &c, int i) -> xmlbinding::Node { return " << view
               << ".GetItem(i); },\n"
               << "    nullptr, nullptr, nullptr,\n";
        } else if (c.family == Family::TextList) {
            os << "    nullptr, nullptr, nullptr,\n"
               << "    [](const xmlbinding::NodeCollection &c, const QString &t) { return " << view << ".Add(t); },\n"
               << "    [](const xmlbinding::NodeCollection &c, int i, const QString &t) { return " << view
               << ".Insert(i, t); },\n"
               << "    [](const xmlbinding::NodeCollection &c, int i) { return " << view << ".GetItem(i); },\n";
        } else {
            os << "    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,\n";
        }
        os << "};\n\n";
    }
    os << "} // namespace " << detail << "\n\n";
    os << "using namespace " << detail << ";\n\n";

    for (const ClassDef &c : model.classes) {
        const bool isList = c.family == Family::List || c.family == Family::TextList;
        const char *base = c.family == Family::Element      ? "xmlbinding::Node"
                           : c.family == Family::Collection ? "xmlbinding::ElementCollection"
                                                            : "xmlbinding::NodeCollection";
        os << "// " << c.name << "\n\n";
        os << c.name << "::" << c.name << "(const " << (isList ? "xmlbinding::NodeCollection" : "xmlbinding::Node")
           << " &other) : " << base << "(other, c_" << c.name << ") {}\n\n";
        os << "const xmlbinding::ClassInfo &" << c.name << "::classInfo()\n{\n    return c_" << c.name << ";\n}\n\n";
        if (c.family == Family::List) {
            os << c.itemClass << " " << c.name << "::Add() const\n{\n    return " << c.itemClass
               << "(addItem(-1));\n}\n\n"
               << c.itemClass << " " << c.name << "::Insert(int index) const\n{\n    return " << c.itemClass
               << "(addItem(index));\n}\n\n"
               << c.itemClass << " " << c.name << "::GetItem(int index) const\n{\n    return " << c.itemClass
               << "(itemAt(index));\n}\n\n";
            continue;
        }
        if (c.family == Family::TextList) {
            os << "xmlbinding::Node " << c.name
               << "::Add(const QString &text) const\n{\n    return addTextItem(-1, text);\n}\n\n"
               << "xmlbinding::Node " << c.name
               << "::Insert(int index, const QString &text) const\n{\n    return addTextItem(index, text);\n}\n\n"
               << "QString " << c.name << "::GetItem(int index) const\n{\n    return itemText(index);\n}\n\n";
            continue;
        }
        for (const Member &m : c.members) {
            const std::string op = m.operationSuffix();
            const std::string &n = ids.at(m.nodeName);
            os << getterType(m) << " " << c.name << "::Get" << op << "() const\n{\n    return ";
            switch (m.kind) {
            case MemberKind::TextAttribute: os << "attributeText(" << n << ")"; break;
            case MemberKind::IntegerAttribute: os << "attributeInteger(" << n << ")"; break;
            case MemberKind::TextLeaf: os << "leafText(" << n << ")"; break;
            case MemberKind::IntegerLeaf: os << "leafInteger(" << n << ")"; break;
            case MemberKind::Child: os << m.typeName << "(childElement(" << n << "))"; break;
            case MemberKind::List:
            case MemberKind::TextList:
                os << m.typeName << "(xmlbinding::NodeCollection(*this, c_" << m.typeName << "))";
                break;
            }
            os << ";\n}\n\n";
        }
        for (const Member &m : c.members) {
            if (!m.isLeaf())
                continue;
            const std::string op = m.operationSuffix();
            const std::string &n = ids.at(m.nodeName);
            os << "void " << c.name << "::Set" << op << "(" << (m.isInteger() ? "int value" : "const QString &value")
               << ") const\n{\n    ";
            switch (m.kind) {
            case MemberKind::TextAttribute: os << "setAttributeText(" << n << ", value)"; break;
            case MemberKind::IntegerAttribute: os << "setAttributeInteger(" << n << ", value)"; break;
            case MemberKind::TextLeaf: os << "setLeafText(" << n << ", value)"; break;
            case MemberKind::IntegerLeaf: os << "setLeafInteger(" << n << ", value)"; break;
            default: break;
            }
            os << ";\n}\n\n";
        }
        if (c.family == Family::Collection) {
            os << c.itemClass << " " << c.name << "::GetItem(int index) const\n{\n    return " << c.itemClass
               << "(itemAt(index));\n}\n\n"
               << c.itemClass << " " << c.name << "::Add() const\n{\n    return " << c.itemClass
               << "(addItem(-1));\n}\n\n"
               << c.itemClass << " " << c.name << "::Insert(int index) const\n{\n    return " << c.itemClass
               << "(addItem(index));\n}\n\n";
        }
    }

    os << interfaceName(model.rootClass) << " " << model.factory << "()\n{\n"
       << "    return " << model.rootClass << "(xmlbinding::NewXMLDocument(QStringLiteral(\"" << model.version
       << "\"), " << ids.at(model.rootName) << ", &c_" << model.rootClass << ").GetDocumentElement());\n}\n\n";

    os << "const std::vector<const xmlbinding::ClassInfo *> &" << model.unit << "_Classes()\n{\n"
       << "    static const std::vector<const xmlbinding::ClassInfo *> classes{";
    bool first = true;
    for (const ClassDef &c : model.classes) {
        os << (first ? "\n        " : ",\n        ") << "&c_" << c.name;
        first = false;
    }
    os << "};\n    return classes;\n}\n\n";
    closeNamespace(os, model);
    return os.str();
}

} // namespace bindgen
