// The UniEmens document model as a whole: every generated class, reached from
// the root and driven through its own accessors, against the figures the
// declaration's element tree prescribes.
#include "QtPrinters.h"
#include "ZepCEmensDataBinding.h"

#include <QDomDocument>
#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <type_traits>

using xmlbinding::ClassFamily;
using xmlbinding::ClassInfo;
using xmlbinding::MemberInfo;
using xmlbinding::MemberKind;
using xmlbinding::Node;
using xmlbinding::NodeCollection;

namespace {

const std::vector<const ClassInfo *> &allClasses()
{
    return ZepCEmensDataBinding_Classes();
}

const ClassInfo *classNamed(const std::string &name)
{
    for (const ClassInfo *c : allClasses())
        if (name == c->className)
            return c;
    return nullptr;
}

// One instance of every element and element-collection class, each reached
// from a fresh root through the generated getters and Add operations.
struct Walk {
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    std::map<std::string, Node> instances;       // element and collection classes
    std::map<std::string, NodeCollection> lists; // list and text-list classes

    Walk()
    {
        std::vector<Node> todo{root};
        instances[TXMLDenunceMensili::classInfo().className] = root;
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
};

std::string key(const ClassInfo *c, const MemberInfo &m)
{
    return std::string(c->className) + (m.isAttribute() ? ".@" : ".") + m.nodeName;
}

} // namespace

// ---------------------------------------------------------------------------

TEST(UniEmensModel, ClassCountsByFamily)
{
    std::map<ClassFamily, int> count;
    std::set<std::string> names;
    for (const ClassInfo *c : allClasses()) {
        ++count[c->family];
        EXPECT_TRUE(names.insert(c->className).second) << c->className;
        EXPECT_EQ(std::string(c->className).rfind("TXML", 0), 0u) << c->className;
    }
    EXPECT_EQ(allClasses().size(), 370u);
    EXPECT_EQ(count[ClassFamily::Element], 258);
    EXPECT_EQ(count[ClassFamily::List], 93);
    EXPECT_EQ(count[ClassFamily::TextList], 5);
    EXPECT_EQ(count[ClassFamily::ElementCollection], 14);
}

TEST(UniEmensModel, EveryClassIsReachableFromTheRootAndMadeOfItsOwnClass)
{
    Walk w;
    for (const ClassInfo *c : allClasses()) {
        const bool isList = c->family == ClassFamily::List || c->family == ClassFamily::TextList;
        if (isList)
            EXPECT_TRUE(w.lists.count(c->className)) << c->className << " never reached";
        else
            EXPECT_TRUE(w.instances.count(c->className)) << c->className << " never reached";
    }
    EXPECT_EQ(w.instances.size() + w.lists.size(), 370u);
    for (const auto &[name, node] : w.instances)
        EXPECT_EQ(node.GetClassInfo()->className, name);
    // Everything reached hangs in one document that saves and parses.
    QDomDocument dom;
    EXPECT_TRUE(dom.setContent(w.root.GetOwnerDocument().SaveToBytes()));
}

TEST(UniEmensModel, ElementCollectionsAndTextListsWithTheirItems)
{
    const std::map<std::string, std::string> collections = {
        {"TXMLGestioneEventiCIG", "EventoCIG"}, {"TXMLEstero", "Partita"},
        {"TXMLSalaIncisione", "Brano"}, {"TXMLDiritti", "CompensoDiritti"},
        {"TXMLContribSindacalisti", "ContribSindAnno"}, {"TXMLConvBilat", "Conv"},
        {"TXMLCalGiorn2011", "Mese2011"}, {"TXMLCalGiorn2011_Mese2011", "Giorno2011"},
        {"TXMLRecuperoPR2011", "RecMensilePR"}, {"TXMLRecBaseCalcCredito2012", "RecMensileBC"},
        {"TXMLGestioneAppalti", "Appalto"}, {"TXMLConguagliCIG", "CIGAutorizzata"},
        {"TXMLConguagliASOCred", "ASOCredApprovata"}, {"TXMLRappresentanzaSindacale", "ContrattoRS"}};
    const std::map<std::string, std::string> textLists = {
        {"TXMLCodiceEventoTypeList", "CodiceEvento"}, {"TXMLCodiceFiscaleList", "CFAppaltatore"},
        {"TXMLCodiceEventoCIGList", "CodiceEventoCIG"}, {"TXMLDid_QualProfList", "QualProf"},
        {"TXMLFondoInterprof_RevocaList", "Revoca"}};
    std::map<std::string, std::string> gotCollections, gotTextLists;
    Walk w;
    for (const ClassInfo *c : allClasses()) {
        if (c->family == ClassFamily::ElementCollection) {
            const NodeCollection items(w.instances.at(c->className), *c);
            gotCollections[c->className] = items.GetItemName().toStdString();
            ASSERT_GE(items.GetCount(), 1) << c->className; // the walk added one
            EXPECT_EQ(items.GetNode(0).GetClassInfo(), c->itemClass);
        } else if (c->family == ClassFamily::TextList) {
            gotTextLists[c->className] = w.lists.at(c->className).GetItemName().toStdString();
            EXPECT_EQ(c->itemClass, nullptr);
        }
    }
    EXPECT_EQ(gotCollections, collections);
    EXPECT_EQ(gotTextLists, textLists);
}

TEST(UniEmensModel, ListClassesAreNamedAfterTheirItemClass)
{
    // A list class is its item class's name with "List" appended, except the
    // text lists named after a schema type.
    for (const ClassInfo *c : allClasses()) {
        if (c->family != ClassFamily::List)
            continue;
        EXPECT_EQ(std::string(c->className), std::string(c->itemClass->className) + "List") << c->className;
    }
}

// Getter and setter counts that the element tree states for these classes.
TEST(UniEmensModel, GetterAndSetterCounts)
{
    struct Count { const char *cls; int getters; int setters; };
    const Count expected[] = {
        {"TXMLDatiMittente", 6, 5},
        {"TXMLDatiMeseSportSpet", 2, 0}, {"TXMLFondoFS", 3, 0}, {"TXMLExIPOST", 3, 0},
        {"TXMLDestinazioneTFR", 5, 3}, {"TXMLGestioneTFR", 3, 0}, {"TXMLMeseTesoreria", 2, 0},
        {"TXMLMisureCompensative", 2, 0},
        {"TXMLDenunciaAziendale", 22, 10}, {"TXMLFondoInterprof", 2, 0}, {"TXMLAziendaTFR", 2, 0},
        {"TXMLPrestazBancari", 2, 0},
        {"TXMLCIGOrd", 2, 0}, {"TXMLCIGStraord", 2, 0}, {"TXMLCIGinDeroga", 2, 0}, {"TXMLFondoSol", 2, 0},
        {"TXMLCIGAutorizzata", 5, 1},
        {"TXMLListaPosPA", 9, 5}, {"TXMLD0_DenunciaIndividuale", 10, 4}, {"TXMLE0_PeriodoNelMese", 11, 7},
        {"TXMLGestioni_GestPensionistica", 17, 13},
        {"TXMLE1_FondoPensioneCompl_DatiPosContribIscritto", 20, 19}, {"TXMLV1_PeriodoPrecedente", 15, 10},
        {"TXMLMesePrecedente", 19, 14}, {"TXMLInquadramentoLavMP", 6, 5},
        {"TXMLDatiRetributiviMesePrecedente", 11, 6}, {"TXMLDatiParticolariMesePrecedente", 4, 0},
        {"TXMLPreavvisoMesePrecedente", 7, 7}, {"TXMLDatiParticolariMesePrecedente_FondiSpeciali", 8, 0},
        {"TXMLListaCollaboratori", 3, 2}, {"TXMLCollaboratore", 15, 14}, {"TXMLCollaboratore_Agevolazione", 2, 2},
        {"TXMLPosSportSpet", 4, 2}, {"TXMLDenunciaIndividualePosSportSpetType", 7, 6},
        {"TXMLDatiRetribuzioneType", 13, 10}, {"TXMLAgevolazioneType", 2, 2}, {"TXMLContributoType", 3, 3},
        {"TXMLCausaleExtracontributivaType", 6, 5}, {"TXMLCausaleExtracontributivaType_Importo", 2, 2},
        {"TXMLPosAgri", 8, 6}, {"TXMLDenunciaAgriIndividuale", 8, 7}, {"TXMLDatiAgriRetribuzione", 22, 17},
        {"TXMLTipoContrattoType", 4, 4}, {"TXMLTipoRetribuzioneType", 3, 3}, {"TXMLPeriodoEventoFigType", 7, 6},
        {"TXMLGestioneCISOAType", 5, 5}, {"TXMLPartTimeGORType", 4, 3}, {"TXMLPTAType", 4, 3},
        {"TXMLPeriodoPTAType", 2, 2}, {"TXMLAgevolazioneAgrType", 2, 2}, {"TXMLDenunciaAgriAziendale", 6, 6},
        {"TXMLFondiAnte95_Arretrati_RetribAccessoriaET", 0, 0},
    };
    for (const Count &e : expected) {
        const ClassInfo *c = classNamed(e.cls);
        ASSERT_NE(c, nullptr) << e.cls;
        int getters = 0, setters = 0;
        for (const MemberInfo &m : c->members) {
            ++getters;
            if (m.setter)
                ++setters;
        }
        EXPECT_EQ(getters, e.getters) << e.cls;
        EXPECT_EQ(setters, e.setters) << e.cls;
        // The interface's operation list says the same.
        EXPECT_EQ(int(c->operations.size()), getters + setters) << e.cls;
    }
}

TEST(UniEmensModel, OperationOrderOfTheInterfaces)
{
    auto ops = [](const char *cls) {
        std::vector<std::string> out;
        for (const char *op : classNamed(cls)->operations)
            out.emplace_back(op);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(ops("TXMLDatiMittente"),
              (V{"GetTipo", "GetCFPersonaMittente", "GetRagSocMittente", "GetCFMittente", "GetCFSoftwarehouse",
                 "GetSedeINPS", "SetTipo", "SetCFPersonaMittente", "SetRagSocMittente", "SetCFMittente",
                 "SetSedeINPS"}));
    EXPECT_EQ(ops("TXMLCalGiorn2011_Mese2011"), (V{"GetIdMese", "GetItem", "SetIdMese", "Add", "Insert"}));
    EXPECT_EQ(ops("TXMLRecuperoPR2011"), (V{"GetItem", "Add", "Insert"}));
    EXPECT_EQ(ops("TXMLAziendaList"), (V{"Add", "Insert", "GetItem"}));
    EXPECT_EQ(ops("TXMLCodiceFiscaleList"), (V{"Add", "Insert", "GetItem"}));
    EXPECT_EQ(ops("TXMLFondoFS_DatiMese").front(), "GetRetribuzioni");
    EXPECT_EQ(ops("TXMLExIPOST").front(), "GetDatiMeseIPOST");
    const V mp = ops("TXMLMesePrecedente");
    EXPECT_EQ(mp.front(), "GetAnnoMeseMP");
    EXPECT_EQ(mp[18], "GetTFR");
    const V collab = ops("TXMLCollaboratore");
    EXPECT_EQ(collab[12], "GetAgevolazione");
}

// Every Integer leaf and attribute of the tree; every other leaf is text.
TEST(UniEmensModel, IntegerValuesAreExactlyThese)
{
    const std::set<std::string> expected = {
        "TXMLDatiMittente.@Tipo", "TXMLGiorno.@GG", "TXMLCalGiorn2011_Mese2011.@IdMese",
        "TXMLCalGiorn2011_Mese2011_Giorno2011.@GG", "TXMLRecMensilePR.@IdMese", "TXMLRecMensileBC.@IdMese",
        // individual declaration
        "TXMLDenunciaIndividuale.DivisoreOrarioContr", "TXMLDenunciaIndividuale.OrarioContrattuale",
        "TXMLDenunciaIndividuale.OrarioGiornMedioContrattuale", "TXMLDenunciaIndividuale.MonteOreGiornEquivalente",
        "TXMLDenunciaIndividuale.PercPartTime", "TXMLDenunciaIndividuale.PercPartTimeMese",
        "TXMLDenunciaIndividuale.NumMensilita", "TXMLAssunzione.GiornoAssunzione", "TXMLCessazione.GiornoCessazione",
        // pay data
        "TXMLDatiRetributivi.OreLavorabili", "TXMLDatiRetributivi.GiorniRetribuiti",
        "TXMLDatiRetributivi.GiorniContribuiti", "TXMLDatiRetributivi.OreContribuite",
        "TXMLDatiRetributivi.SettimaneUtili", "TXMLDatiRetributivi.GiorniUtili", "TXMLOreCongCIGO.NumOreCIGO",
        "TXMLOreCongCIGS.NumOreCIGS", "TXMLCIGSDatiStat.NumOreStatCIGS", "TXMLAltreADebito.NumGG",
        "TXMLAltreADebito.NumOre",
        // weeks and days
        "TXMLSettimana.IdSettimana", "TXMLEventoGiorn.NumOreEvento", "TXMLDifferenzeAccredito.SettAccredito",
        "TXMLDifferenzeAccredito.GiorniAccredito",
        // special data
        "TXMLPreavviso.NumSettimane", "TXMLPreavviso.NumGiorni", "TXMLPreavviso.SettimaneUtili",
        "TXMLPreavviso.GiorniUtili", "TXMLContribAtipica.NumSettimane", "TXMLContrattoRiallineamento.GiorniInfMinimale",
        "TXMLLavDomicilio.GiorniRetribuiti", "TXMLDispIntermittenti.NumSettimaneDisp",
        "TXMLDispIntermittenti.SettimaneUtiliDisp",
        // special funds
        "TXMLPrevMarinara.GiornoSbarcoPM", "TXMLFondiAnte95.GiorniNonRetribuiti", "TXMLFondiAnte95_Arretrati.Dal",
        "TXMLFondiAnte95_Arretrati.Al", "TXMLDazieri.GiorniRetribuiti", "TXMLDazieri.GiorniUtili",
        "TXMLGAS.GiorniRetribuiti", "TXMLGAS.GiorniUtili", "TXMLGAS.GiorniDirittoPartTime",
        "TXMLGAS_PreavvisoGas.GiorniRetribuiti", "TXMLGAS_PreavvisoGas.GiorniUtili",
        "TXMLGAS_RiscattoGas.GiorniRiscattati", "TXMLGAS_RiscattoGas.GiorniUtili",
        "TXMLEsattoriali.GiorniRetribuiti", "TXMLEsattoriali.GiorniUtili", "TXMLEsattoriali.GiorniDirittoPartTime",
        "TXMLPortuali.GiorniRetribuiti", "TXMLPortuali.GiorniUtili",
        "TXMLFondoFS_DatiMese.GiorniDirittoPartTime", "TXMLDatiMeseIPOST.GiorniDirittoPartTime",
        "TXMLFondoFS_DatiMese_Retribuzioni.GiorniRetribuitiFS", "TXMLFondoFS_DatiMese_Retribuzioni.GiorniUtili",
        "TXMLFondoFS_DatiMese_Figurativi.GiorniRetribuitiFS", "TXMLFondoFS_DatiMese_Figurativi.GiorniUtili",
        "TXMLFondoFS_PreavvisoFS.GiorniRetribuitiFS", "TXMLFondoFS_PreavvisoFS.GiorniUtili",
        "TXMLRetribuzioniIPOST.GiorniRetribuitiIPOST", "TXMLRetribuzioniIPOST.GiorniUtili",
        "TXMLFigurativiIPOST.GiorniRetribuitiIPOST", "TXMLFigurativiIPOST.GiorniUtili",
        "TXMLPreavvisoIPOST.GiorniRetribuitiPreavvisoIPOST", "TXMLPreavvisoIPOST.GiorniUtiliPreavvisoIPOST",
        "TXMLFondoFS_DatiMese_Limiti.LimiteEta", "TXMLFondoFS_DatiMese_Limiti.LimiteServizio",
        "TXMLFondoFS_DatiMese_Maggiorazione.Giorni", "TXMLSportSpet.GiorniFasciaPrec",
        "TXMLRetribuzioneOrdinaria.NumGiorniLavorati", "TXMLRetribuzioneOrdinaria.GiorniUtiliPeriodo",
        // family allowance, severance, past supplementation
        "TXMLANF.NumANF", "TXMLANF.ClasseANF", "TXMLDestinazioneTFR_SceltaDest_SceltaPrevCompl.MisuraPercPrevCompl",
        "TXMLSettimanaCIG.IdSettimanaCIG",
        // company declaration
        "TXMLDenunciaAziendale.NumLavoratori", "TXMLDenunciaAziendale.ForzaAziendale", "TXMLInfoStat.InfoStatNum",
        "TXMLAdesione.NumDip", "TXMLAltrePartiteADebito.NumGG", "TXMLAltrePartiteADebito.NumOre",
        "TXMLAltrePartiteADebito.NumDip", "TXMLContrattoRS.NumIscrittiRS", "TXMLContrattoRS.NumIscrittiRSA",
        "TXMLDatiQuadraturaRetrContr.NumDenIndiv",
        // public sector
        "TXMLE0_PeriodoNelMese.NumMensilita", "TXMLInquadramentoLavPA.PercRetribuzione",
        "TXMLInquadramentoLavPA.PercAspettativaL300_70", "TXMLInquadramentoLavPA_PartTimePA.PercPartTime",
        "TXMLInquadramentoLavPA_OrarioSettimanalePersScolastico.OrarioSettimanaleRidotto",
        "TXMLInquadramentoLavPA_OrarioSettimanalePersScolastico.OrarioSettimanaleCompleto",
        "TXMLGestioni_GestPensionistica.GiorniUtiliFiniPensionistici",
        "TXMLGestioni_GestPensionistica_Maggiorazione.GiorniMaggiorazione",
        "TXMLGestioni_GestPensionistica_RecuperoSgravi.MeseRif",
        "TXMLE1_FondoPensioneCompl_DatiPosContribIscritto.AliquotaLav",
        "TXMLE1_FondoPensioneCompl_DatiPosContribIscritto.AliquotaDL",
        "TXMLE1_FondoPensioneCompl_DatiPosContribIscritto.PercTFR", "TXMLF1_Ammortamento.PrgRata",
        "TXMLF1_Ammortamento.TotaleRate", "TXMLV1_PeriodoPrecedente.NumMensilita",
        // previous month
        "TXMLMesePrecedente.OrarioContrattuale", "TXMLMesePrecedente.OrarioGiornMedioContrattuale",
        "TXMLMesePrecedente.MonteOreGiornEquivalente", "TXMLMesePrecedente.DivisoreOrarioContr",
        "TXMLMesePrecedente.PercPartTime", "TXMLMesePrecedente.PercPartTimeMese", "TXMLMesePrecedente.NumMensilita",
        "TXMLDatiRetributiviMesePrecedente.OreLavorabili", "TXMLDatiRetributiviMesePrecedente.GiorniRetribuiti",
        "TXMLDatiRetributiviMesePrecedente.SettimaneUtili", "TXMLDatiRetributiviMesePrecedente.GiorniUtili",
        "TXMLPreavvisoMesePrecedente.NumSettimane", "TXMLPreavvisoMesePrecedente.NumGiorni",
        "TXMLPreavvisoMesePrecedente.SettimaneUtili", "TXMLPreavvisoMesePrecedente.GiorniUtili",
        // collaborators
        "TXMLCollaboratore.Aliquota",
        // sport and entertainment positions
        "TXMLDenunciaIndividualePosSportSpetType.RetribuzionePrecedente",
        "TXMLDenunciaIndividualePosSportSpetType.GiorniFascia", "TXMLDatiRetribuzioneType.NumeroGiorniLavorati",
        "TXMLDatiRetribuzioneType.ImportoRetribuzione", "TXMLDatiRetribuzioneType.TrattenutePensioni",
        "TXMLDatiRetribuzioneType.RetribuzionePrecedente", "TXMLDatiRetribuzioneType.GiorniFascia",
        "TXMLAgevolazioneType.ImportoAgevolato", "TXMLContributoType.Normale", "TXMLContributoType.Aggiuntivo",
        "TXMLContributoType.Solidarieta", "TXMLCausaleExtracontributivaType.ImportoRiferimento",
        "TXMLCausaleExtracontributivaType_Importo.Dare", "TXMLCausaleExtracontributivaType_Importo.Avere",
        // agricultural positions
        "TXMLDatiAgriRetribuzione.NumeroGiornate", "TXMLDatiAgriRetribuzione.NumMensContr",
        "TXMLDatiAgriRetribuzione.PercRetribTFRPrevCompl", "TXMLPeriodoEventoFigType.GiornoInizioEv",
        "TXMLPeriodoEventoFigType.GiornoFineEv", "TXMLPeriodoEventoFigType.NumGiornateEv",
        "TXMLPeriodoEventoFigType.NumOreEv", "TXMLGestioneCISOAType.NumGiornLavMP",
        "TXMLPartTimeGORType.OrePartTimeGOR", "TXMLPTAType.PercPTA", "TXMLPTAType.NumGiornPersePTA",
        "TXMLPeriodoPTAType.GiornoInizioPTA", "TXMLPeriodoPTAType.GiornoFinePTA",
        "TXMLDenunciaAgriAziendale.QuadraturaNumLav",
    };
    std::set<std::string> integers;
    for (const ClassInfo *c : allClasses())
        for (const MemberInfo &m : c->members)
            if (m.isInteger())
                integers.insert(key(c, m));
    EXPECT_EQ(integers, expected);
}

// Every accessor of every class, called through the generated code: setters
// write the node the getter reads, Integer values as decimal text.
TEST(UniEmensModel, EveryAccessorReadsWhatItsSetterWrote)
{
    Walk w;
    int leaves = 0;
    for (const auto &[name, node] : w.instances) {
        const ClassInfo *c = node.GetClassInfo();
        int k = 0;
        for (const MemberInfo &m : c->members) {
            const QString nodeName = QString::fromLatin1(m.nodeName);
            ++k;
            switch (m.kind) {
            case MemberKind::TextAttribute: {
                const QString v = QStringLiteral("a%1").arg(k);
                m.setText(node, v);
                EXPECT_EQ(node.GetAttribute(nodeName), v) << key(c, m);
                EXPECT_EQ(m.getText(node), v) << key(c, m);
                ++leaves;
                break;
            }
            case MemberKind::IntegerAttribute:
                m.setInteger(node, -k);
                EXPECT_EQ(node.GetAttribute(nodeName), QString::number(-k)) << key(c, m);
                EXPECT_EQ(m.getInteger(node), -k) << key(c, m);
                ++leaves;
                break;
            case MemberKind::TextLeaf: {
                const QString v = QStringLiteral("t%1").arg(k);
                m.setText(node, v);
                EXPECT_EQ(node.FindChild(nodeName).GetText(), v) << key(c, m);
                EXPECT_EQ(m.getText(node), v) << key(c, m);
                ++leaves;
                break;
            }
            case MemberKind::IntegerLeaf:
                m.setInteger(node, 1000 + k);
                EXPECT_EQ(node.FindChild(nodeName).GetText(), QString::number(1000 + k)) << key(c, m);
                EXPECT_EQ(m.getInteger(node), 1000 + k) << key(c, m);
                ++leaves;
                break;
            case MemberKind::Element: {
                const Node child = m.getElement(node);
                EXPECT_EQ(child.GetClassInfo(), m.type) << key(c, m);
                EXPECT_EQ(child.GetNodeName(), nodeName) << key(c, m);
                EXPECT_EQ(child.GetParentNode(), node) << key(c, m);
                EXPECT_EQ(m.getElement(node), child) << key(c, m) << ": a second call must find the same node";
                break;
            }
            case MemberKind::List: {
                const NodeCollection list = m.getList(node);
                EXPECT_EQ(list.GetClassInfo(), m.type) << key(c, m);
                EXPECT_EQ(list.GetOwnerNode(), node) << key(c, m);
                EXPECT_EQ(list.GetItemName(), nodeName) << key(c, m);
                break;
            }
            }
            EXPECT_EQ(m.getter, "Get" + QString::fromLatin1(m.nodeName).replace(u'-', u'_').toStdString());
        }
    }
    int expectedLeaves = 0;
    for (const ClassInfo *c : allClasses())
        for (const MemberInfo &m : c->members)
            expectedLeaves += m.isLeaf() ? 1 : 0;
    EXPECT_EQ(leaves, expectedLeaves); // each class visited once, every leaf exercised
    // Everything written saves as well-formed XML.
    QDomDocument dom;
    EXPECT_TRUE(dom.setContent(w.root.GetOwnerDocument().SaveToBytes()));
}

TEST(UniEmensModel, ListsAndTextListsThroughTheirGeneratedOperations)
{
    Walk w;
    for (const auto &[name, list] : w.lists) {
        const ClassInfo *c = list.GetClassInfo();
        const int before = list.GetCount();
        if (c->family == ClassFamily::List) {
            const Node added = c->add(list);
            const Node inserted = c->insert(list, 0);
            EXPECT_EQ(added.GetClassInfo(), c->itemClass) << name;
            EXPECT_EQ(c->getItem(list, 0), inserted) << name;
            EXPECT_EQ(c->getItem(list, before + 1), added) << name;
        } else {
            c->addText(list, QStringLiteral("b"));
            c->insertText(list, 0, QStringLiteral("a"));
            EXPECT_EQ(c->getItemText(list, 0), QStringLiteral("a")) << name;
            EXPECT_EQ(c->getItemText(list, before + 1), QStringLiteral("b")) << name;
        }
        EXPECT_EQ(list.GetCount(), before + 2) << name;
        if (c->family == ClassFamily::List)
            EXPECT_THROW(c->getItem(list, before + 2), platform::EListError) << name;
        else
            EXPECT_THROW(c->getItemText(list, before + 2), platform::EListError) << name;
    }
}

TEST(UniEmensModel, HyphenatedNodeNamesKeepTheirHyphen)
{
    std::set<std::string> hyphenated;
    for (const ClassInfo *c : allClasses())
        for (const MemberInfo &m : c->members)
            if (std::string(m.nodeName).find('-') != std::string::npos)
                hyphenated.insert(key(c, m) + " " + m.getter + " " + m.setter);
    EXPECT_EQ(hyphenated, (std::set<std::string>{
                              "TXMLMalACredito.IndennitaMalattia87-88 GetIndennitaMalattia87_88 SetIndennitaMalattia87_88",
                              "TXMLListaPosPA_PosPA_SedeServizio.IdMEF-SPT GetIdMEF_SPT SetIdMEF_SPT"}));

    IXMLDatiRetributivi dati = CreaDocumentoDenunceMensili().GetAzienda().Add().GetPosContributiva().Add()
                                   .GetDenunciaIndividuale().Add().GetDatiRetributivi().Add();
    IXMLMalACredito mal = dati.GetMalattia().GetMalACredito();
    mal.SetIndennitaMalattia87_88(QStringLiteral("10.00"));
    EXPECT_EQ(mal.GetXML(), QStringLiteral("<MalACredito><IndennitaMalattia87-88>10.00</IndennitaMalattia87-88></MalACredito>"));
    IXMLListaPosPA_PosPA_SedeServizio sede = CreaDocumentoDenunceMensili().GetAzienda().Add().GetListaPosPA()
                                                 .GetPosPA().Add().GetSedeServizio();
    sede.SetIdMEF_SPT(QStringLiteral("X1"));
    EXPECT_EQ(sede.GetIdMEF_SPT(), QStringLiteral("X1"));
    EXPECT_EQ(sede.GetXML(), QStringLiteral("<SedeServizio><IdMEF-SPT>X1</IdMEF-SPT></SedeServizio>"));
}

TEST(UniEmensModel, OneElementNameGivesDifferentClassesUnderDifferentParents)
{
    IXMLAzienda az = CreaDocumentoDenunceMensili().GetAzienda().Add();

    // Agevolazione
    EXPECT_EQ(az.GetListaCollaboratori().GetCollaboratore().Add().GetAgevolazione().Add().GetClassInfo(),
              &TXMLCollaboratore_Agevolazione::classInfo());
    EXPECT_EQ(az.GetPosSportSpet().Add().GetDenIndivPosSportSpet().Add().GetDatiRetribuzione().Add()
                  .GetAgevolazione().GetClassInfo(),
              &TXMLAgevolazioneType::classInfo());

    // AltroEnteVersante: repeated under E0, single of two classes under E1 and F1
    IXMLD0_DenunciaIndividuale d0 = az.GetListaPosPA().GetPosPA().Add().GetD0_DenunciaIndividuale().Add();
    EXPECT_EQ(d0.GetE0_PeriodoNelMese().Add().GetAltroEnteVersante().Add().GetClassInfo(),
              &TXMLE0_PeriodoNelMese_AltroEnteVersante::classInfo());
    EXPECT_EQ(d0.GetE1_FondoPensioneCompl().Add().GetAltroEnteVersante().GetClassInfo(),
              &TXMLE1_FondoPensioneCompl_AltroEnteVersante::classInfo());
    EXPECT_EQ(d0.GetF1_Ammortamento().Add().GetAltroEnteVersante().GetClassInfo(),
              &TXMLF1_Ammortamento_AltroEnteVersante::classInfo());

    // Cessazione
    IXMLDenunciaIndividuale di = az.GetPosContributiva().Add().GetDenunciaIndividuale().Add();
    EXPECT_EQ(di.GetCessazione().GetClassInfo(), &TXMLCessazione::classInfo());
    EXPECT_EQ(di.GetMesePrecedente().Add().GetCessazione().GetClassInfo(), &TXMLCessazione::classInfo());
    EXPECT_EQ(d0.GetE1_FondoPensioneCompl().GetItem(0).GetDatiPosContribIscritto().GetCessazione().GetClassInfo(),
              &TXMLE1_FondoPensioneCompl_DatiPosContribIscritto_Cessazione::classInfo());

    // Importo: two element classes and a text leaf
    IXMLDatiParticolari dp = di.GetDatiRetributivi().Add().GetDatiParticolari();
    EXPECT_EQ(dp.GetConvBilat().Add().GetImporto().Add().GetClassInfo(), &TXMLConv_Importo::classInfo());
    EXPECT_EQ(az.GetPosSportSpet().GetItem(0).GetCausaleExtracontributiva().GetImporto().GetClassInfo(),
              &TXMLCausaleExtracontributivaType_Importo::classInfo());
    IXMLGestioni_GestPensionistica_RecuperoSgravi rs =
        d0.GetE0_PeriodoNelMese().GetItem(0).GetGestioni().GetGestPensionistica().GetRecuperoSgravi().Add();
    rs.SetImporto(QStringLiteral("1.00"));
    EXPECT_EQ(rs.FindChild(u"Importo").GetClassInfo(), nullptr);

    // Maggiorazione
    EXPECT_EQ(dp.GetFondiSpeciali().GetFondoFS().GetDatiMese().GetMaggiorazione().Add().GetClassInfo(),
              &TXMLFondoFS_DatiMese_Maggiorazione::classInfo());
    EXPECT_EQ(d0.GetE0_PeriodoNelMese().GetItem(0).GetGestioni().GetGestPensionistica().GetMaggiorazione().Add()
                  .GetClassInfo(),
              &TXMLGestioni_GestPensionistica_Maggiorazione::classInfo());

    // FondiSpeciali: two classes, the eight fund classes shared, SportSpet only in the current month
    IXMLDatiParticolariMesePrecedente dpmp = di.GetMesePrecedente().GetItem(0).GetDatiRetributiviMesePrecedente()
                                                 .Add().GetDatiParticolariMesePrecedente();
    EXPECT_EQ(dp.GetFondiSpeciali().GetClassInfo(), &TXMLDatiParticolari_FondiSpeciali::classInfo());
    EXPECT_EQ(dpmp.GetFondiSpeciali().GetClassInfo(), &TXMLDatiParticolariMesePrecedente_FondiSpeciali::classInfo());
    EXPECT_EQ(dpmp.GetFondiSpeciali().GetGAS().GetClassInfo(), dp.GetFondiSpeciali().GetGAS().GetClassInfo());
    EXPECT_EQ(dpmp.GetFondiSpeciali().GetChild(u"SportSpet").GetClassInfo(), nullptr);
    EXPECT_EQ(dp.GetFondiSpeciali().GetChild(u"SportSpet").GetClassInfo(), &TXMLSportSpet::classInfo());

    // RetribAccessoriaET: a text leaf of FondiAnte95, an element of its own class under Arretrati
    IXMLFondiAnte95 f95 = dp.GetFondiSpeciali().GetFondiAnte95();
    f95.SetRetribAccessoriaET(QStringLiteral("5"));
    EXPECT_EQ(f95.FindChild(u"RetribAccessoriaET").GetClassInfo(), nullptr);
    EXPECT_EQ(f95.GetArretrati().Add().GetRetribAccessoriaET().GetClassInfo(),
              &TXMLFondiAnte95_Arretrati_RetribAccessoriaET::classInfo());
}

// The typed interface the file generator is written against.
TEST(UniEmensModel, TypedInterfaceSignatures)
{
    static_assert(std::is_same_v<IXMLDenunceMensili, TXMLDenunceMensili>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLDatiMittente>().GetTipo()), int>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLDenunceMensili>().GetAzienda()), IXMLAziendaList>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLAziendaList>().Add()), IXMLAzienda>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLGestioneEventiCIG>().Add()), IXMLEventoCIG>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLCodiceFiscaleList>().Add(QString())), IXMLNode>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLCodiceFiscaleList>().GetItem(0)), QString>);
    static_assert(std::is_same_v<decltype(std::declval<IXMLRetribuzioneOrdinaria>().GetPeriodo()), IXMLPeriodoType>);
    static_assert(std::is_base_of_v<IXMLNode, IXMLGestioni_GestPensionistica>);
    static_assert(std::is_base_of_v<IXMLNode, IXMLCalGiorn2011_Mese2011>);
    static_assert(std::is_base_of_v<IXMLNodeCollection, IXMLDid_QualProfList>);

    // The path the generator writes for a performing-arts worker.
    IXMLDatiParticolari dp = CreaDocumentoDenunceMensili().GetAzienda().Add().GetPosContributiva().Add()
                                 .GetDenunciaIndividuale().Add().GetDatiRetributivi().Add().GetDatiParticolari();
    IXMLRetribuzioneOrdinaria ro = dp.GetFondiSpeciali().GetSportSpet().GetDatiMeseSportSpet()
                                       .GetRetribuzioneOrdinaria().Add();
    ro.SetNumGiorniLavorati(3);
    ro.GetPeriodo().SetDataInizio(QStringLiteral("2024-01-02"));
    ro.GetPeriodo().SetDataFine(QStringLiteral("2024-01-04"));
    ro.SetImpRetrOrdinaria(QStringLiteral("300.00"));
    EXPECT_EQ(dp.GetXML(),
              QStringLiteral("<DatiParticolari><FondiSpeciali><SportSpet><DatiMeseSportSpet><RetribuzioneOrdinaria>"
                             "<NumGiorniLavorati>3</NumGiorniLavorati><Periodo><DataInizio>2024-01-02</DataInizio>"
                             "<DataFine>2024-01-04</DataFine></Periodo><ImpRetrOrdinaria>300.00</ImpRetrOrdinaria>"
                             "</RetribuzioneOrdinaria></DatiMeseSportSpet></SportSpet></FondiSpeciali>"
                             "</DatiParticolari>"));
}
