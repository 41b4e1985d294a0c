// The binding generator's checks of a description and the code it writes.
#include "BindingModel.h"

#include <gtest/gtest.h>

using bindgen::Family;
using bindgen::DescriptionError;

namespace {

const char *const head = "unit Test\ndocument Root TXMLRoot 1.0 CreaRoot\n";

std::string errorOf(const std::string &text)
{
    try {
        bindgen::parse(head + text, "test.binding");
    } catch (const DescriptionError &e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(BindingGenerator, ReadsClassesListsAndOperations)
{
    const bindgen::Model m = bindgen::parse(std::string(head)
                                            + "element TXMLRoot   # the root\n"
                                              "  attribute Tipo integer\n"
                                              "  leaf Nome-Esteso text\n"
                                              "  child Testa TXMLTesta\n"
                                              "  list Riga TXMLRigaList TXMLRiga\n"
                                              "  textlist Nota TXMLNotaList\n"
                                              "element TXMLTesta\n"
                                              "element TXMLRiga\n"
                                              "  child Testa TXMLTesta\n"
                                              "  child Mesi TXMLMesi\n"
                                              "collection TXMLMesi Mese TXMLTesta\n"
                                              "  attribute Anno text\n");
    EXPECT_EQ(m.count(Family::Element), 3);
    EXPECT_EQ(m.count(Family::List), 1);
    EXPECT_EQ(m.count(Family::TextList), 1);
    EXPECT_EQ(m.count(Family::Collection), 1);
    const bindgen::ClassDef *root = m.find("TXMLRoot");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->operations(), (std::vector<std::string>{"GetTipo", "GetNome_Esteso", "GetTesta", "GetRiga",
                                                            "GetNota", "SetTipo", "SetNome_Esteso"}));
    EXPECT_EQ(m.find("TXMLMesi")->operations(),
              (std::vector<std::string>{"GetAnno", "GetItem", "SetAnno", "Add", "Insert"}));
    EXPECT_EQ(m.find("TXMLRigaList")->itemName, "Riga");

    const std::string header = bindgen::generateHeader(m);
    EXPECT_NE(header.find("using IXMLRoot = TXMLRoot;"), std::string::npos);
    EXPECT_NE(header.find("QString GetNome_Esteso() const;"), std::string::npos);
    EXPECT_NE(header.find("TXMLRiga Insert(int index) const;"), std::string::npos);
    EXPECT_NE(header.find("xmlbinding::Node Add(const QString &text) const;"), std::string::npos);
    EXPECT_NE(header.find("IXMLRoot CreaRoot();"), std::string::npos);
    const std::string source = bindgen::generateSource(m);
    EXPECT_NE(source.find("(u\"Nome-Esteso\")"), std::string::npos); // the node keeps its hyphen
}

TEST(BindingGenerator, RefusesAnUnknownClass)
{
    EXPECT_NE(errorOf("element TXMLRoot\n  child A TXMLNowhere\n").find("unknown class TXMLNowhere"),
              std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  list A TXMLAList TXMLA\n").find("unknown class TXMLA"), std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\ncollection TXMLC I TXMLI\n").find("unknown class TXMLI"), std::string::npos);
}

TEST(BindingGenerator, UnknownRootClassIsRefused)
{
    try {
        bindgen::parse("unit T\ndocument R TXMLR 1.0 F\nelement TXMLRoot\n", "x");
        FAIL() << "accepted";
    } catch (const DescriptionError &e) {
        EXPECT_NE(std::string(e.what()).find("unknown class TXMLR"), std::string::npos) << e.what();
    }
}

TEST(BindingGenerator, RefusesDuplicateNames)
{
    EXPECT_NE(errorOf("element TXMLRoot\nelement TXMLRoot\n").find("duplicate class name TXMLRoot"), std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  leaf A text\n  leaf A integer\n").find("duplicate name A"),
              std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  attribute A text\n  leaf A text\n").find("duplicate name A"),
              std::string::npos);
    // Two node names that give one operation name.
    EXPECT_NE(errorOf("element TXMLRoot\n  leaf A-B text\n  leaf A_B text\n").find("duplicate operation name GetA_B"),
              std::string::npos);
    // A list class named like an element class.
    EXPECT_NE(errorOf("element TXMLRoot\n  list A TXMLRoot TXMLRoot\n").find("duplicate class name TXMLRoot"),
              std::string::npos);
    // A member that would hide a node operation.
    EXPECT_NE(errorOf("element TXMLRoot\n  leaf XML text\n").find("GetXML would hide"), std::string::npos);
}

TEST(BindingGenerator, RefusesAListClassWithTwoItemClasses)
{
    const std::string twoClasses = "element TXMLRoot\n  list A TXMLAList TXMLA\n  child B TXMLB\n"
                                   "element TXMLA\nelement TXMLB\n  list A TXMLAList TXMLB\n";
    EXPECT_NE(errorOf(twoClasses).find("list class TXMLAList used with two item classes"), std::string::npos)
        << errorOf(twoClasses);
    const std::string textAndElement = "element TXMLRoot\n  list A TXMLAList TXMLA\n  child B TXMLB\n"
                                       "element TXMLA\nelement TXMLB\n  textlist A TXMLAList\n";
    EXPECT_NE(errorOf(textAndElement).find("two item classes"), std::string::npos);
    const std::string twoNames = "element TXMLRoot\n  list A TXMLAList TXMLA\n  child B TXMLB\n"
                                 "element TXMLA\nelement TXMLB\n  list Z TXMLAList TXMLA\n";
    EXPECT_NE(errorOf(twoNames).find("two item names"), std::string::npos);
    // The same list class with the same items under two parents is fine.
    EXPECT_EQ(errorOf("element TXMLRoot\n  list A TXMLAList TXMLA\n  child B TXMLB\n"
                      "element TXMLA\nelement TXMLB\n  list A TXMLAList TXMLA\n"),
              "");
}

TEST(BindingGenerator, RefusesMalformedDescriptions)
{
    EXPECT_NE(errorOf("element TXMLRoot\n  leaf A float\n").find("test.binding:4"), std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  leaf 1A text\n").find("not an XML name"), std::string::npos);
    EXPECT_NE(errorOf("  leaf A text\nelement TXMLRoot\n").find("outside a class"), std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  leaf A text\n  attribute B text\n").find("after the children"),
              std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  child C TXMLC\ncollection TXMLC I TXMLRoot\n  leaf A text\n")
                  .find("attributes only"),
              std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\nelement TXMLLost\n").find("TXMLLost is not reachable"), std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\nfrobnicate\n").find("unknown statement"), std::string::npos);
    EXPECT_NE(errorOf("element TXMLRoot\n  child A TXMLAList\n  list B TXMLAList TXMLRoot\n").find("list class"),
              std::string::npos);
}
