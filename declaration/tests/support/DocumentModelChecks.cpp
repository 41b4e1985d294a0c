#include "DocumentModelChecks.h"

#include "QtPrinters.h"

#include <QDomDocument>

#include <gtest/gtest.h>

using xmlbinding::ClassFamily;
using xmlbinding::ClassInfo;
using xmlbinding::MemberInfo;
using xmlbinding::MemberKind;
using xmlbinding::Node;
using xmlbinding::NodeCollection;

namespace modelcheck {

namespace {

bool isList(const ClassInfo *c)
{
    return c->family == ClassFamily::List || c->family == ClassFamily::TextList;
}

void expectWellFormed(const Node &root)
{
    QDomDocument dom;
    EXPECT_TRUE(dom.setContent(root.GetOwnerDocument().SaveToBytes()));
}

} // namespace

const ClassInfo *classNamed(const Classes &classes, const std::string &name)
{
    for (const ClassInfo *c : classes)
        if (name == c->className)
            return c;
    return nullptr;
}

std::string memberKey(const ClassInfo *c, const MemberInfo &m)
{
    return std::string(c->className) + (m.isAttribute() ? ".@" : ".") + m.nodeName;
}

Walk::Walk(const Node &rootNode) : root(rootNode)
{
    std::vector<Node> todo{root};
    instances[root.GetClassInfo()->className] = root;
    while (!todo.empty()) {
        const Node n = todo.back();
        todo.pop_back();
        const ClassInfo *cls = n.GetClassInfo();
        auto reach = [&](const Node &child) {
            const std::string name = child.GetClassInfo()->className;
            if (!instances.count(name)) {
                instances[name] = child;
                todo.push_back(child);
            }
        };
        for (const MemberInfo &m : cls->members) {
            if (m.kind == MemberKind::Element) {
                reach(m.getElement(n));
            } else if (m.kind == MemberKind::List) {
                const NodeCollection list = m.getList(n);
                lists.emplace(list.GetClassInfo()->className, list);
                if (list.GetClassInfo()->family == ClassFamily::List)
                    reach(list.GetClassInfo()->add(list));
            }
        }
        if (cls->family == ClassFamily::ElementCollection)
            reach(cls->add(NodeCollection(n, *cls)));
    }
}

std::map<ClassFamily, int> countByFamily(const Classes &classes)
{
    std::map<ClassFamily, int> count;
    std::set<std::string> names;
    for (const ClassInfo *c : classes) {
        ++count[c->family];
        EXPECT_TRUE(names.insert(c->className).second) << c->className;
        EXPECT_EQ(std::string(c->className).rfind("TXML", 0), 0u) << c->className;
    }
    return count;
}

std::set<std::string> integerMembers(const Classes &classes)
{
    std::set<std::string> integers;
    for (const ClassInfo *c : classes)
        for (const MemberInfo &m : c->members)
            if (m.isInteger())
                integers.insert(memberKey(c, m));
    return integers;
}

std::vector<std::string> operationsOf(const Classes &classes, const std::string &className)
{
    std::vector<std::string> out;
    const ClassInfo *c = classNamed(classes, className);
    EXPECT_NE(c, nullptr) << className;
    if (c)
        for (const char *op : c->operations)
            out.emplace_back(op);
    return out;
}

std::map<std::string, std::string> collectionItems(const Walk &walk, const Classes &classes)
{
    std::map<std::string, std::string> items;
    for (const ClassInfo *c : classes) {
        if (c->family != ClassFamily::ElementCollection)
            continue;
        const NodeCollection collection(walk.instances.at(c->className), *c);
        items[c->className] = collection.GetItemName().toStdString();
        EXPECT_GE(collection.GetCount(), 1) << c->className; // the walk added one
        if (collection.GetCount() >= 1) {
            EXPECT_EQ(collection.GetNode(0).GetClassInfo(), c->itemClass) << c->className;
        }
    }
    return items;
}

std::map<std::string, std::string> textListItems(const Walk &walk, const Classes &classes)
{
    std::map<std::string, std::string> items;
    for (const ClassInfo *c : classes) {
        if (c->family != ClassFamily::TextList)
            continue;
        items[c->className] = walk.lists.at(c->className).GetItemName().toStdString();
        EXPECT_EQ(c->itemClass, nullptr) << c->className;
    }
    return items;
}

void expectGetterAndSetterCounts(const Classes &classes, const std::vector<Counts> &expected)
{
    for (const Counts &e : expected) {
        const ClassInfo *c = classNamed(classes, e.cls);
        ASSERT_NE(c, nullptr) << e.cls;
        int getters = 0, setters = 0;
        for (const MemberInfo &m : c->members) {
            ++getters;
            if (m.setter)
                ++setters;
        }
        EXPECT_EQ(getters, e.getters) << e.cls;
        EXPECT_EQ(setters, e.setters) << e.cls;
        // The interface's operation list says the same, with the item
        // operations of an element-collection beside.
        const int itemOps = c->family == ClassFamily::ElementCollection ? 3 : 0;
        EXPECT_EQ(int(c->operations.size()), getters + setters + itemOps) << e.cls;
    }
}

void expectEveryClassReached(const Walk &walk, const Classes &classes)
{
    for (const ClassInfo *c : classes) {
        const bool reached = isList(c) ? walk.lists.count(c->className) : walk.instances.count(c->className);
        EXPECT_TRUE(reached) << c->className << " never reached";
    }
    EXPECT_EQ(walk.instances.size() + walk.lists.size(), classes.size());
    for (const auto &[name, node] : walk.instances)
        EXPECT_EQ(node.GetClassInfo()->className, name);
    expectWellFormed(walk.root);
}

void expectListClassesNamedAfterTheirItems(const Classes &classes)
{
    for (const ClassInfo *c : classes) {
        if (c->family == ClassFamily::List) {
            EXPECT_EQ(std::string(c->className), std::string(c->itemClass->className) + "List") << c->className;
        }
    }
}

void expectEveryAccessorReadsWhatItsSetterWrote(const Walk &walk, const Classes &classes)
{
    int leaves = 0;
    for (const auto &[name, node] : walk.instances) {
        const ClassInfo *c = node.GetClassInfo();
        int k = 0;
        for (const MemberInfo &m : c->members) {
            const QString nodeName = QString::fromLatin1(m.nodeName);
            const std::string where = memberKey(c, m);
            ++k;
            switch (m.kind) {
            case MemberKind::TextAttribute: {
                const QString v = QStringLiteral("a%1").arg(k);
                m.setText(node, v);
                EXPECT_EQ(node.GetAttribute(nodeName), v) << where;
                EXPECT_TRUE(node.FindChild(nodeName).IsNull()) << where << ": an attribute, not a child";
                EXPECT_EQ(m.getText(node), v) << where;
                ++leaves;
                break;
            }
            case MemberKind::IntegerAttribute:
                m.setInteger(node, -k);
                EXPECT_EQ(node.GetAttribute(nodeName), QString::number(-k)) << where;
                EXPECT_EQ(m.getInteger(node), -k) << where;
                ++leaves;
                break;
            case MemberKind::TextLeaf: {
                const QString v = QStringLiteral("t%1").arg(k);
                m.setText(node, v);
                EXPECT_EQ(node.FindChild(nodeName).GetText(), v) << where;
                EXPECT_EQ(m.getText(node), v) << where;
                ++leaves;
                break;
            }
            case MemberKind::IntegerLeaf:
                m.setInteger(node, 1000 + k);
                EXPECT_EQ(node.FindChild(nodeName).GetText(), QString::number(1000 + k)) << where;
                EXPECT_EQ(m.getInteger(node), 1000 + k) << where;
                ++leaves;
                break;
            case MemberKind::Element: {
                const Node child = m.getElement(node);
                EXPECT_EQ(child.GetClassInfo(), m.type) << where;
                EXPECT_EQ(child.GetNodeName(), nodeName) << where;
                EXPECT_EQ(child.GetParentNode(), node) << where;
                EXPECT_EQ(m.getElement(node), child) << where << ": a second call must find the same node";
                break;
            }
            case MemberKind::List: {
                const NodeCollection list = m.getList(node);
                EXPECT_EQ(list.GetClassInfo(), m.type) << where;
                EXPECT_EQ(list.GetOwnerNode(), node) << where;
                EXPECT_EQ(list.GetItemName(), nodeName) << where;
                break;
            }
            }
            EXPECT_EQ(m.getter, "Get" + QString::fromLatin1(m.nodeName).replace(u'-', u'_').toStdString());
        }
    }
    int expectedLeaves = 0;
    for (const ClassInfo *c : classes)
        for (const MemberInfo &m : c->members)
            expectedLeaves += m.isLeaf() ? 1 : 0;
    EXPECT_EQ(leaves, expectedLeaves); // each class visited once, every leaf exercised
    expectWellFormed(walk.root);
}

void expectListOperations(const Walk &walk)
{
    for (const auto &[name, list] : walk.lists) {
        const ClassInfo *c = list.GetClassInfo();
        const int before = list.GetCount();
        if (c->family == ClassFamily::List) {
            const Node added = c->add(list);
            const Node inserted = c->insert(list, 0);
            EXPECT_EQ(added.GetClassInfo(), c->itemClass) << name;
            EXPECT_EQ(c->getItem(list, 0), inserted) << name;
            EXPECT_EQ(c->getItem(list, before + 1), added) << name;
            EXPECT_THROW(c->getItem(list, before + 2), platform::EListError) << name;
        } else {
            c->addText(list, QStringLiteral("b"));
            c->insertText(list, 0, QStringLiteral("a"));
            EXPECT_EQ(c->getItemText(list, 0), QStringLiteral("a")) << name;
            EXPECT_EQ(c->getItemText(list, before + 1), QStringLiteral("b")) << name;
            EXPECT_THROW(c->getItemText(list, before + 2), platform::EListError) << name;
        }
        EXPECT_EQ(list.GetCount(), before + 2) << name;
    }
}

} // namespace modelcheck
