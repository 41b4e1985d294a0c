#pragma once
// Reading, checking and writing out a binding description: the element tree
// of one XML document type, from which the typed C++ classes over the
// XmlBinding node layer are generated.
//
// The description is plain text, one statement a line; blanks separate the
// words, "#" starts a comment, indentation is for the reader only.
//
//   unit <UnitName>                       name of the generated .h/.cpp
//   namespace <name>                      optional: wraps the generated classes
//   document <Root> <RootClass> <version> <Factory>
//
//   element <Class>                       an element class; its members follow
//   collection <Class> <Item> <ItemClass> an element that is the collection of
//                                         its <Item> children; attributes may follow
//     attribute <Name> text|integer
//     leaf <Name> text|integer            a child element holding a value
//     child <Name> <Class>                a single complex child
//     list <Name> <ListClass> <ItemClass> a repeated child, through its list class
//     textlist <Name> <ListClass>         a repeated child whose items are text
//
// Members stand in document order: attributes first, then the children.
// List classes come into being where they are used; a list class used again
// elsewhere must have the same item name and item class.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace bindgen {

class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Family { Element, List, TextList, Collection };

enum class MemberKind { TextAttribute, IntegerAttribute, TextLeaf, IntegerLeaf, Child, List, TextList };

struct Member {
    MemberKind kind;
    std::string nodeName;
    std::string typeName; // class of a child, list class of a list or text list
    int line = 0;

    bool isAttribute() const { return kind == MemberKind::TextAttribute || kind == MemberKind::IntegerAttribute; }
    bool isLeaf() const { return kind <= MemberKind::IntegerLeaf; }
    bool isInteger() const { return kind == MemberKind::IntegerAttribute || kind == MemberKind::IntegerLeaf; }
    std::string operationSuffix() const; // node name with "-" as "_"
};

struct ClassDef {
    std::string name;
    Family family = Family::Element;
    std::string itemName;  // lists, text lists, collections
    std::string itemClass; // lists, collections
    std::vector<Member> members;
    int line = 0;

    // Operations of the interface, in their order.
    std::vector<std::string> operations() const;
    int getterCount() const;
    int setterCount() const;
};

struct Model {
    std::string unit;
    std::string nameSpace;
    std::string rootName;
    std::string rootClass;
    std::string version;
    std::string factory;
    std::vector<ClassDef> classes; // element and collection classes in file order, lists where first used

    const ClassDef *find(const std::string &name) const;
    int count(Family family) const;
};

// Parses and checks a description; DescriptionError names the line and the fault.
Model parse(const std::string &text, const std::string &sourceName = "description");
void check(const Model &model);

std::string generateHeader(const Model &model);
std::string generateSource(const Model &model);

} // namespace bindgen
