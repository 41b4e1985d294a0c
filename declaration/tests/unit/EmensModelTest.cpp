// The E-Mens document model as a whole: every generated class, reached from
// the root "DenunceRetributiveMensili" and driven through its own accessors,
// against the figures of the E-Mens element tree; then the document a writer
// builds through the typed interface.
#include "DocumentModelChecks.h"
#include "QtPrinters.h"
#include "Emens/ZepCEmensDataBinding.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <type_traits>

using namespace emens;
using xmlbinding::ClassFamily;

namespace {

const modelcheck::Classes &allClasses()
{
    return ZepCEmensDataBinding_Classes();
}

modelcheck::Walk walk()
{
    return modelcheck::Walk(CreaDocumentoDenunceRetributiveMensili());
}

std::set<std::string> words(const char *text)
{
    std::set<std::string> out;
    for (const QString &w : QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts))
        out.insert(w.toStdString());
    return out;
}

} // namespace

// The typed interface the E-Mens file writer is written against, checked by the
// compiler.
static_assert(std::is_same_v<IXMLDenunceRetributiveMensili, TXMLDenunceRetributiveMensili>);
static_assert(std::is_same_v<decltype(CreaDocumentoDenunceRetributiveMensili()), IXMLDenunceRetributiveMensili>);
static_assert(
    std::is_same_v<decltype(std::declval<IXMLDenunciaIndividuale>().GetMesePrecedente()), IXMLMesePrecedente>);
static_assert(std::is_same_v<decltype(std::declval<IXMLEstero>().Add()), IXMLPartita>);
static_assert(std::is_same_v<decltype(std::declval<IXMLCAList>().Add(QString())), IXMLNode>);
static_assert(std::is_same_v<decltype(std::declval<IXMLCodiceEventoCIGList>().GetItem(0)), QString>);
static_assert(std::is_same_v<decltype(std::declval<IXMLDazieri>().GetRetribuzioneTFR()), int>);
static_assert(std::is_same_v<decltype(std::declval<IXMLEsattoriali>().GetRetribuzioneTFR()), QString>);
static_assert(std::is_same_v<decltype(std::declval<IXMLArretrati>().GetDal()), int>);
static_assert(std::is_same_v<decltype(std::declval<IXMLRiscattoGas>().GetDal()), QString>);
static_assert(std::is_base_of_v<IXMLNodeCollection, IXMLSettimanaList>);

TEST(EmensModel, ClassNamesAndCountsByFamily)
{
    // Shared with the UniEmens model (with other members there), then this model's own.
    const std::set<std::string> shared = words(
        "TXMLANF TXMLAssunzione TXMLAzienda TXMLAziendaList TXMLBonus TXMLCIGPregressa TXMLCIGPregressaList "
        "TXMLCessazione TXMLCodiceEventoCIGList TXMLCollaboratore TXMLCollaboratoreList "
        "TXMLContrattoRiallineamento TXMLContribAtipica TXMLContribSindAnno TXMLContribSindAnnoFS "
        "TXMLContribSindAnnoFSList TXMLContribSindAnnoFondi TXMLContribSindAnnoFondiList "
        "TXMLContribSindacalisti TXMLDatiMittente TXMLDatiParticolari TXMLDatiRetributivi "
        "TXMLDatiRetributiviList TXMLDatiRetributiviMesePrecedente TXMLDatiRetributiviMesePrecedenteList "
        "TXMLDazieri TXMLDenunciaIndividuale TXMLDenunciaIndividualeList TXMLDifferenzeAccredito "
        "TXMLDifferenzeAccreditoCIG TXMLDifferenzeAccreditoCIGList TXMLEsattoriali TXMLEstero TXMLFondiAnte95 "
        "TXMLFondoFS TXMLGAS TXMLLavDomicilio TXMLListaCollaboratori TXMLMesePrecedente TXMLPartita "
        "TXMLPortuali TXMLPreavviso TXMLPrevMarinara TXMLSettimana TXMLSettimanaCIG TXMLSettimanaCIGList "
        "TXMLSettimanaList TXMLVarRetributive TXMLVarRetributiveList");
    const std::set<std::string> own = words(
        "TXMLDenunceRetributiveMensili TXMLListaDenunceIndividuali TXMLListaDenunceIndividualiList "
        "TXMLCaratteristicheContributive TXMLCAList TXMLDatiMese TXMLAgevolazione TXMLAgevolazioneList "
        "TXMLArretrati TXMLArretratiList TXMLArretratiEsattoriali TXMLArretratiEsattorialiList TXMLFigurativi "
        "TXMLFondiSpeciali TXMLLimiti TXMLMaggiorazione TXMLMaggiorazioneList TXMLPreavvisoFS TXMLPreavvisoGas "
        "TXMLRetribuzioneUltimoGiorno TXMLRetribuzioni TXMLRiscattoGas");
    ASSERT_EQ(shared.size(), 49u);
    ASSERT_EQ(own.size(), 22u);
    std::set<std::string> expected = shared;
    expected.insert(own.begin(), own.end());
    std::set<std::string> names;
    for (const xmlbinding::ClassInfo *c : allClasses())
        names.insert(c->className);
    EXPECT_EQ(names, expected);

    std::map<ClassFamily, int> count = modelcheck::countByFamily(allClasses());
    EXPECT_EQ(allClasses().size(), 71u);
    EXPECT_EQ(count[ClassFamily::Element], 50);
    EXPECT_EQ(count[ClassFamily::ElementCollection], 2);
    EXPECT_EQ(count[ClassFamily::List], 17);
    EXPECT_EQ(count[ClassFamily::TextList], 2);
    modelcheck::expectListClassesNamedAfterTheirItems(allClasses());
}

TEST(EmensModel, EveryClassIsReachableFromTheRootAndMadeOfItsOwnClass)
{
    modelcheck::expectEveryClassReached(walk(), allClasses());
}

TEST(EmensModel, ElementCollectionsAndTextListsWithTheirItems)
{
    const modelcheck::Walk w = walk();
    EXPECT_EQ(modelcheck::collectionItems(w, allClasses()),
              (std::map<std::string, std::string>{{"TXMLEstero", "Partita"},
                                                  {"TXMLContribSindacalisti", "ContribSindAnno"}}));
    EXPECT_EQ(modelcheck::textListItems(w, allClasses()),
              (std::map<std::string, std::string>{{"TXMLCAList", "CA"},
                                                  {"TXMLCodiceEventoCIGList", "CodiceEventoCIG"}}));
}

// Getters (attributes and children) and setters (leaves) of every element
// class of the tree.
TEST(EmensModel, GetterAndSetterCounts)
{
    modelcheck::expectGetterAndSetterCounts(allClasses(), {
                                                              {"TXMLDenunceRetributiveMensili", 2, 0},
                                                              {"TXMLDatiMittente", 5, 5},
                                                              {"TXMLAzienda", 5, 3},
                                                              {"TXMLListaDenunceIndividuali", 3, 1},
                                                              {"TXMLCaratteristicheContributive", 2, 1},
                                                              {"TXMLDenunciaIndividuale", 20, 14},
                                                              {"TXMLAssunzione", 2, 2},
                                                              {"TXMLCessazione", 2, 2},
                                                              {"TXMLDatiRetributivi", 9, 5},
                                                              {"TXMLVarRetributive", 5, 5},
                                                              {"TXMLSettimana", 3, 3},
                                                              {"TXMLDifferenzeAccredito", 3, 3},
                                                              {"TXMLANF", 3, 3},
                                                              {"TXMLCIGPregressa", 4, 2},
                                                              {"TXMLSettimanaCIG", 3, 2},
                                                              {"TXMLDifferenzeAccreditoCIG", 2, 2},
                                                              {"TXMLMesePrecedente", 8, 4},
                                                              {"TXMLDatiRetributiviMesePrecedente", 6, 3},
                                                              {"TXMLListaCollaboratori", 3, 2},
                                                              {"TXMLCollaboratore", 15, 14},
                                                              {"TXMLAgevolazione", 2, 2},
                                                              // special data
                                                              {"TXMLDatiParticolari", 8, 0},
                                                              {"TXMLPreavviso", 4, 4},
                                                              {"TXMLBonus", 2, 2},
                                                              {"TXMLEstero", 0, 0},
                                                              {"TXMLPartita", 2, 2},
                                                              {"TXMLContribAtipica", 4, 4},
                                                              {"TXMLContribSindacalisti", 0, 0},
                                                              {"TXMLContribSindAnno", 4, 4},
                                                              {"TXMLContrattoRiallineamento", 2, 2},
                                                              {"TXMLLavDomicilio", 4, 2},
                                                              {"TXMLFondiSpeciali", 7, 0},
                                                              {"TXMLPrevMarinara", 1, 1},
                                                              {"TXMLFondiAnte95", 4, 2},
                                                              {"TXMLArretrati", 4, 4},
                                                              {"TXMLContribSindAnnoFondi", 2, 2},
                                                              {"TXMLDazieri", 4, 4},
                                                              {"TXMLGAS", 6, 4},
                                                              {"TXMLPreavvisoGas", 3, 3},
                                                              {"TXMLRiscattoGas", 5, 5},
                                                              {"TXMLEsattoriali", 7, 6},
                                                              {"TXMLArretratiEsattoriali", 2, 2},
                                                              {"TXMLPortuali", 3, 3},
                                                              {"TXMLFondoFS", 3, 0},
                                                              {"TXMLDatiMese", 4, 0},
                                                              {"TXMLRetribuzioni", 7, 6},
                                                              {"TXMLRetribuzioneUltimoGiorno", 4, 4},
                                                              {"TXMLLimiti", 2, 2},
                                                              {"TXMLMaggiorazione", 2, 2},
                                                              {"TXMLFigurativi", 6, 6},
                                                              {"TXMLPreavvisoFS", 6, 6},
                                                              {"TXMLContribSindAnnoFS", 3, 3},
                                                          });
}

TEST(EmensModel, OperationOrderOfTheInterfaces)
{
    using V = std::vector<std::string>;
    auto ops = [](const char *cls) { return modelcheck::operationsOf(allClasses(), cls); };
    EXPECT_EQ(ops("TXMLDatiRetributivi"),
              (V{"GetTipoLavoratore", "GetImponibile", "GetRetribTeorica", "GetVarRetributive", "GetSettimana",
                 "GetDifferenzeAccredito", "GetGiorniRetribuiti", "GetSettimaneUtili", "GetDatiParticolari",
                 "SetTipoLavoratore", "SetImponibile", "SetRetribTeorica", "SetGiorniRetribuiti",
                 "SetSettimaneUtili"}));
    const V di = ops("TXMLDenunciaIndividuale");
    ASSERT_EQ(di.size(), 34u);
    EXPECT_EQ(di[0], "GetElimina");
    EXPECT_EQ(di[10], "GetOrarioContrattuale");
    EXPECT_EQ(di[19], "GetMesePrecedente");
    EXPECT_EQ(di[20], "SetElimina");
    EXPECT_EQ(di[33], "SetTFR");
    EXPECT_EQ(ops("TXMLEstero"), (V{"GetItem", "Add", "Insert"}));
    EXPECT_EQ(ops("TXMLSettimanaList"), (V{"Add", "Insert", "GetItem"}));
    EXPECT_EQ(ops("TXMLCAList"), (V{"Add", "Insert", "GetItem"}));
}

// Every Integer leaf of the tree, by class; every other leaf and all eight
// attributes are text.
TEST(EmensModel, IntegerLeavesAreExactlyThese)
{
    const std::map<std::string, const char *> byClass = {
        {"TXMLDenunciaIndividuale", "OrarioContrattuale PercPartTime NumMensilita TFR"},
        {"TXMLAssunzione", "GiornoAssunzione"},
        {"TXMLCessazione", "GiornoCessazione"},
        {"TXMLDatiRetributivi", "Imponibile RetribTeorica GiorniRetribuiti SettimaneUtili"},
        {"TXMLVarRetributive", "MeseDal MeseAl AumentoImponibile DiminuzioneImponibile"},
        {"TXMLSettimana", "IdSettimana"},
        {"TXMLDifferenzeAccredito", "DiffAccredito SettAccredito"},
        {"TXMLANF", "NumANF ClasseANF"},
        {"TXMLSettimanaCIG", "IdSettimanaCIG"},
        {"TXMLDifferenzeAccreditoCIG", "DiffAccreditoCIG"},
        {"TXMLMesePrecedente", "TFR"},
        {"TXMLDatiRetributiviMesePrecedente", "GiorniRetribuiti SettimaneUtili"},
        {"TXMLCollaboratore", "Imponibile Aliquota"},
        {"TXMLAgevolazione", "ImpAgevolazione"},
        {"TXMLPreavviso", "Imponibile NumSettimane"},
        {"TXMLBonus", "ImportoBonus"},
        {"TXMLPartita", "Imponibile"},
        {"TXMLContribAtipica", "Imponibile NumSettimane"},
        {"TXMLContribSindAnno", "Imponibile"},
        {"TXMLContrattoRiallineamento", "GiorniInfMinimale QuotaRetribInfMinimale"},
        {"TXMLLavDomicilio", "Imponibile"},
        {"TXMLPrevMarinara", "RetrMediaGiornaliera"},
        {"TXMLFondiAnte95", "RetribuzionePensionabile GiorniNonRetribuiti"},
        {"TXMLArretrati", "Dal Al RetribuzionePensionabile"},
        {"TXMLContribSindAnnoFondi", "RetribuzionePensionabile"},
        {"TXMLDazieri", "RetribuzionePensionabile RetribuzioneTFR GiorniRetribuiti GiorniUtili"},
        {"TXMLGAS", "RetribuzionePensionabile Tredicesima GiorniRetribuiti GiorniUtili"},
        {"TXMLPreavvisoGas", "RetribuzionePensionabile GiorniRetribuiti GiorniUtili"},
        {"TXMLRiscattoGas", "RetribuzionePensionabile GiorniRiscattati GiorniUtili"},
        {"TXMLEsattoriali",
         "RetribuzionePensionabile RetribuzionePensionabileX13 DirittiTariffa GiorniRetribuiti GiorniUtili"},
        {"TXMLPortuali", "RetribuzionePensionabile GiorniRetribuiti GiorniUtili"},
        {"TXMLRetribuzioni",
         "Retribuzione177 GiorniRetribuitiFS GiorniUtili Tredicesima CompetenzeAccessorie IndennitaIntegrSpec"},
        {"TXMLRetribuzioneUltimoGiorno", "Retribuzione177 IndennitaIntegrSpec Ventiquattresimi"},
        {"TXMLLimiti", "LimiteEta LimiteServizio"},
        {"TXMLMaggiorazione", "Giorni"},
        {"TXMLFigurativi",
         "Retribuzione177 GiorniRetribuitiFS GiorniUtili Tredicesima CompetenzeAccessorie IndennitaIntegrSpec"},
        {"TXMLPreavvisoFS",
         "Retribuzione177 GiorniRetribuitiFS GiorniUtili Tredicesima CompetenzeAccessorie IndennitaIntegrSpec"},
        {"TXMLContribSindAnnoFS", "Retribuzione177 Tredicesima"},
    };
    std::set<std::string> expected;
    for (const auto &[cls, leaves] : byClass)
        for (const std::string &leaf : words(leaves))
            expected.insert(cls + "." + leaf);
    EXPECT_EQ(modelcheck::integerMembers(allClasses()), expected);

    int attributes = 0;
    for (const xmlbinding::ClassInfo *c : allClasses())
        for (const xmlbinding::MemberInfo &m : c->members)
            attributes += m.isAttribute() ? 1 : 0;
    EXPECT_EQ(attributes, 8);
}

TEST(EmensModel, EveryAccessorReadsWhatItsSetterWrote)
{
    modelcheck::expectEveryAccessorReadsWhatItsSetterWrote(walk(), allClasses());
}

TEST(EmensModel, ListsAndTextListsThroughTheirGeneratedOperations)
{
    modelcheck::expectListOperations(walk());
}

// ---------------------------------------------------------------------------
// The document as a writer builds it

TEST(EmensModel, ANewDocumentIsTheEmptyRootWithoutNamespace)
{
    IXMLDenunceRetributiveMensili root = CreaDocumentoDenunceRetributiveMensili();
    EXPECT_EQ(root.GetOwnerDocument().SaveToBytes(),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><DenunceRetributiveMensili/>\n"));
    EXPECT_EQ(root.GetClassInfo(), &TXMLDenunceRetributiveMensili::classInfo());
}

TEST(EmensModel, ChildrenStandInTheOrderFirstReachedOneElementPerName)
{
    IXMLDenunceRetributiveMensili root = CreaDocumentoDenunceRetributiveMensili();
    IXMLAziendaList aziende = root.GetAzienda();
    IXMLAzienda azienda = aziende.Add();
    aziende.Add();
    aziende.Add();
    EXPECT_EQ(aziende.GetCount(), 3);
    EXPECT_EQ(aziende.GetItem(0), azienda);
    root.GetDatiMittente().SetCFMittente(QStringLiteral("A"));
    root.GetDatiMittente().SetCFMittente(QStringLiteral("B"));

    IXMLListaDenunceIndividuali lista = azienda.GetListaDenunceIndividuali().Add();
    IXMLCaratteristicheContributive car = lista.GetCaratteristicheContributive();
    car.SetCSC(QStringLiteral("1.01.01"));
    car.GetCA().Add(QStringLiteral("2A"));
    car.GetCA().Add(QStringLiteral("3B"));
    EXPECT_EQ(car.GetCA().GetItem(1), QStringLiteral("3B"));
    IXMLDenunciaIndividuale di = lista.GetDenunciaIndividuale().Add();
    di.SetNome(QStringLiteral("MARIO"));
    di.SetCognome(QString());
    di.SetElimina(QStringLiteral("S"));
    di.SetTFR(0);
    EXPECT_EQ(di.GetDatiRetributivi().Add().GetTipoLavoratore(), QString());

    EXPECT_EQ(root.GetXML(),
              QStringLiteral("<DenunceRetributiveMensili><Azienda><ListaDenunceIndividuali>"
                             "<CaratteristicheContributive><CSC>1.01.01</CSC><CA>2A</CA><CA>3B</CA>"
                             "</CaratteristicheContributive><DenunciaIndividuale Elimina=\"S\"><Nome>MARIO</Nome>"
                             "<Cognome/><TFR>0</TFR><DatiRetributivi><TipoLavoratore/></DatiRetributivi>"
                             "</DenunciaIndividuale></ListaDenunceIndividuali></Azienda><Azienda/><Azienda/>"
                             "<DatiMittente><CFMittente>B</CFMittente></DatiMittente></DenunceRetributiveMensili>"));
}

TEST(EmensModel, SpecialDataBranch)
{
    IXMLDenunciaIndividuale di = CreaDocumentoDenunceRetributiveMensili()
                                     .GetAzienda()
                                     .Add()
                                     .GetListaDenunceIndividuali()
                                     .Add()
                                     .GetDenunciaIndividuale()
                                     .Add();
    IXMLDatiParticolari dp = di.GetDatiRetributivi().Add().GetDatiParticolari();
    IXMLEstero estero = dp.GetEstero();
    IXMLPartita partita = estero.Add();
    partita.SetTipoContribuzioneEstero(QStringLiteral("X"));
    partita.SetImponibile(1500);
    estero.Add();
    EXPECT_EQ(estero.GetCount(), 2);
    EXPECT_EQ(estero.GetItem(0), partita);
    dp.GetContribSindacalisti().Add().SetAnno(QStringLiteral("2008"));
    IXMLFondiSpeciali fondi = dp.GetFondiSpeciali();
    fondi.GetEsattoriali().SetRetribuzioneTFR(QStringLiteral("12,50"));
    fondi.GetDazieri().SetRetribuzioneTFR(1250);
    fondi.GetFondoFS().GetDatiMese().GetRetribuzioni();
    fondi.GetFondoFS().GetDatiMese().GetRetribuzioni();
    EXPECT_EQ(dp.GetXML(),
              QStringLiteral("<DatiParticolari><Estero><Partita><TipoContribuzioneEstero>X</TipoContribuzioneEstero>"
                             "<Imponibile>1500</Imponibile></Partita><Partita/></Estero><ContribSindacalisti>"
                             "<ContribSindAnno Anno=\"2008\"/></ContribSindacalisti><FondiSpeciali><Esattoriali>"
                             "<RetribuzioneTFR>12,50</RetribuzioneTFR></Esattoriali><Dazieri>"
                             "<RetribuzioneTFR>1250</RetribuzioneTFR></Dazieri><FondoFS><DatiMese><Retribuzioni/>"
                             "</DatiMese></FondoFS></FondiSpeciali></DatiParticolari>"));

    // The earlier-period pay data carries the same special data.
    EXPECT_EQ(di.GetMesePrecedente().GetDatiRetributiviMesePrecedente().Add().GetDatiParticolari().GetClassInfo(),
              &TXMLDatiParticolari::classInfo());
}
