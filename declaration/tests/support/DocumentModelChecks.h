#pragma once
// Checks of a generated document model as a whole, shared by the test
// programs of the UniEmens and the E-Mens model. Each program links only its
// own model and passes its root and its class list; the figures to compare
// with are the caller's. The expect* functions report through GoogleTest into
// the running test.
#include "XmlBinding.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace modelcheck {

using Classes = std::vector<const xmlbinding::ClassInfo *>;

const xmlbinding::ClassInfo *classNamed(const Classes &classes, const std::string &name);

// "TXMLDenunciaIndividuale.@Elimina" for an attribute, "TXMLANF.NumANF" for a
// child element.
std::string memberKey(const xmlbinding::ClassInfo *c, const xmlbinding::MemberInfo &m);

// One instance of every element and element-collection class, each reached
// from the root through the generated getters and Add operations, and one
// handle on every list and text list; keyed by class name.
struct Walk {
    explicit Walk(const xmlbinding::Node &root);

    xmlbinding::Node root;
    std::map<std::string, xmlbinding::Node> instances;
    std::map<std::string, xmlbinding::NodeCollection> lists;
};

// Classes by family; expects every name unique and starting with "TXML".
std::map<xmlbinding::ClassFamily, int> countByFamily(const Classes &classes);

// Every Integer leaf and attribute, as memberKey gives it.
std::set<std::string> integerMembers(const Classes &classes);

std::vector<std::string> operationsOf(const Classes &classes, const std::string &className);

// Item name of every element-collection and of every text list, by class.
std::map<std::string, std::string> collectionItems(const Walk &walk, const Classes &classes);
std::map<std::string, std::string> textListItems(const Walk &walk, const Classes &classes);

struct Counts {
    const char *cls;
    int getters;
    int setters;
};
// Each class's getters and setters, and its operation list of as many.
void expectGetterAndSetterCounts(const Classes &classes, const std::vector<Counts> &expected);

// Every class reached by the walk and made of its own class; the document
// with everything reached saves as well-formed XML.
void expectEveryClassReached(const Walk &walk, const Classes &classes);

// A list class is its item class's name with "List" appended.
void expectListClassesNamedAfterTheirItems(const Classes &classes);

// Every accessor of every class reached, through the generated code: setters
// write the node the getter reads (Integers as decimal text, attributes on
// the element), a complex getter called twice gives one child, a list getter
// gives a list of its items under the element.
void expectEveryAccessorReadsWhatItsSetterWrote(const Walk &walk, const Classes &classes);

// Add, Insert and GetItem of every list and text list, and the index error
// past the last item.
void expectListOperations(const Walk &walk);

} // namespace modelcheck
