// The UniEmens document model as a whole: every generated class, reached from
// the root and driven through its own accessors, against the figures the
// declaration's element tree prescribes.
#include "DocumentModelChecks.h"
#include "QtPrinters.h"
#include "UniEmensTestNodes.h"
#include "UniEmens/ZepCEmensDataBinding.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <type_traits>

using namespace uniemens;
using xmlbinding::ClassFamily;

namespace {

const modelcheck::Classes &allClasses()
{
    return ZepCEmensDataBinding_Classes();
}

modelcheck::Walk walk()
{
    return modelcheck::Walk(CreaDocumentoDenunceMensili());
}

} // namespace

// ---------------------------------------------------------------------------

TEST(UniEmensModel, ClassCountsByFamily)
{
    std::map<ClassFamily, int> count = modelcheck::countByFamily(allClasses());
    EXPECT_EQ(allClasses().size(), 370u);
    EXPECT_EQ(count[ClassFamily::Element], 258);
    EXPECT_EQ(count[ClassFamily::List], 93);
    EXPECT_EQ(count[ClassFamily::TextList], 5);
    EXPECT_EQ(count[ClassFamily::ElementCollection], 14);
}

TEST(UniEmensModel, EveryClassIsReachableFromTheRootAndMadeOfItsOwnClass)
{
    modelcheck::expectEveryClassReached(walk(), allClasses());
}

TEST(UniEmensModel, ElementCollectionsAndTextListsWithTheirItems)
{
    const std::map<std::string, std::string> collections = {{"TXMLGestioneEventiCIG", "EventoCIG"},
                                                            {"TXMLEstero", "Partita"},
                                                            {"TXMLSalaIncisione", "Brano"},
                                                            {"TXMLDiritti", "CompensoDiritti"},
                                                            {"TXMLContribSindacalisti", "ContribSindAnno"},
                                                            {"TXMLConvBilat", "Conv"},
                                                            {"TXMLCalGiorn2011", "Mese2011"},
                                                            {"TXMLCalGiorn2011_Mese2011", "Giorno2011"},
                                                            {"TXMLRecuperoPR2011", "RecMensilePR"},
                                                            {"TXMLRecBaseCalcCredito2012", "RecMensileBC"},
                                                            {"TXMLGestioneAppalti", "Appalto"},
                                                            {"TXMLConguagliCIG", "CIGAutorizzata"},
                                                            {"TXMLConguagliASOCred", "ASOCredApprovata"},
                                                            {"TXMLRappresentanzaSindacale", "ContrattoRS"}};
    const std::map<std::string, std::string> textLists = {{"TXMLCodiceEventoTypeList", "CodiceEvento"},
                                                          {"TXMLCodiceFiscaleList", "CFAppaltatore"},
                                                          {"TXMLCodiceEventoCIGList", "CodiceEventoCIG"},
                                                          {"TXMLDid_QualProfList", "QualProf"},
                                                          {"TXMLFondoInterprof_RevocaList", "Revoca"}};
    const modelcheck::Walk w = walk();
    EXPECT_EQ(modelcheck::collectionItems(w, allClasses()), collections);
    EXPECT_EQ(modelcheck::textListItems(w, allClasses()), textLists);
}

TEST(UniEmensModel, ListClassesAreNamedAfterTheirItemClass)
{
    modelcheck::expectListClassesNamedAfterTheirItems(allClasses());
}

// Getter and setter counts that the element tree states for these classes.
TEST(UniEmensModel, GetterAndSetterCounts)
{
    modelcheck::expectGetterAndSetterCounts(allClasses(),
                                            {
                                                {"TXMLDatiMittente", 6, 5},
                                                {"TXMLDatiMeseSportSpet", 2, 0},
                                                {"TXMLFondoFS", 3, 0},
                                                {"TXMLExIPOST", 3, 0},
                                                {"TXMLDestinazioneTFR", 5, 3},
                                                {"TXMLGestioneTFR", 3, 0},
                                                {"TXMLMeseTesoreria", 2, 0},
                                                {"TXMLMisureCompensative", 2, 0},
                                                {"TXMLDenunciaAziendale", 22, 10},
                                                {"TXMLFondoInterprof", 2, 0},
                                                {"TXMLAziendaTFR", 2, 0},
                                                {"TXMLPrestazBancari", 2, 0},
                                                {"TXMLCIGOrd", 2, 0},
                                                {"TXMLCIGStraord", 2, 0},
                                                {"TXMLCIGinDeroga", 2, 0},
                                                {"TXMLFondoSol", 2, 0},
                                                {"TXMLCIGAutorizzata", 5, 1},
                                                {"TXMLListaPosPA", 9, 5},
                                                {"TXMLD0_DenunciaIndividuale", 10, 4},
                                                {"TXMLE0_PeriodoNelMese", 11, 7},
                                                {"TXMLGestioni_GestPensionistica", 17, 13},
                                                {"TXMLE1_FondoPensioneCompl_DatiPosContribIscritto", 20, 19},
                                                {"TXMLV1_PeriodoPrecedente", 15, 10},
                                                {"TXMLMesePrecedente", 19, 14},
                                                {"TXMLInquadramentoLavMP", 6, 5},
                                                {"TXMLDatiRetributiviMesePrecedente", 11, 6},
                                                {"TXMLDatiParticolariMesePrecedente", 4, 0},
                                                {"TXMLPreavvisoMesePrecedente", 7, 7},
                                                {"TXMLDatiParticolariMesePrecedente_FondiSpeciali", 8, 0},
                                                {"TXMLListaCollaboratori", 3, 2},
                                                {"TXMLCollaboratore", 15, 14},
                                                {"TXMLCollaboratore_Agevolazione", 2, 2},
                                                {"TXMLPosSportSpet", 4, 2},
                                                {"TXMLDenunciaIndividualePosSportSpetType", 7, 6},
                                                {"TXMLDatiRetribuzioneType", 13, 10},
                                                {"TXMLAgevolazioneType", 2, 2},
                                                {"TXMLContributoType", 3, 3},
                                                {"TXMLCausaleExtracontributivaType", 6, 5},
                                                {"TXMLCausaleExtracontributivaType_Importo", 2, 2},
                                                {"TXMLPosAgri", 8, 6},
                                                {"TXMLDenunciaAgriIndividuale", 8, 7},
                                                {"TXMLDatiAgriRetribuzione", 22, 17},
                                                {"TXMLTipoContrattoType", 4, 4},
                                                {"TXMLTipoRetribuzioneType", 3, 3},
                                                {"TXMLPeriodoEventoFigType", 7, 6},
                                                {"TXMLGestioneCISOAType", 5, 5},
                                                {"TXMLPartTimeGORType", 4, 3},
                                                {"TXMLPTAType", 4, 3},
                                                {"TXMLPeriodoPTAType", 2, 2},
                                                {"TXMLAgevolazioneAgrType", 2, 2},
                                                {"TXMLDenunciaAgriAziendale", 6, 6},
                                                {"TXMLFondiAnte95_Arretrati_RetribAccessoriaET", 0, 0},
                                            });
}

TEST(UniEmensModel, OperationOrderOfTheInterfaces)
{
    auto ops = [](const char *cls) { return modelcheck::operationsOf(allClasses(), cls); };
    using V = std::vector<std::string>;
    EXPECT_EQ(ops("TXMLDatiMittente"), (V{"GetTipo", "GetCFPersonaMittente", "GetRagSocMittente", "GetCFMittente",
                                          "GetCFSoftwarehouse", "GetSedeINPS", "SetTipo", "SetCFPersonaMittente",
                                          "SetRagSocMittente", "SetCFMittente", "SetSedeINPS"}));
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
        "TXMLDatiMittente.@Tipo",
        "TXMLGiorno.@GG",
        "TXMLCalGiorn2011_Mese2011.@IdMese",
        "TXMLCalGiorn2011_Mese2011_Giorno2011.@GG",
        "TXMLRecMensilePR.@IdMese",
        "TXMLRecMensileBC.@IdMese",
        // individual declaration
        "TXMLDenunciaIndividuale.DivisoreOrarioContr",
        "TXMLDenunciaIndividuale.OrarioContrattuale",
        "TXMLDenunciaIndividuale.OrarioGiornMedioContrattuale",
        "TXMLDenunciaIndividuale.MonteOreGiornEquivalente",
        "TXMLDenunciaIndividuale.PercPartTime",
        "TXMLDenunciaIndividuale.PercPartTimeMese",
        "TXMLDenunciaIndividuale.NumMensilita",
        "TXMLAssunzione.GiornoAssunzione",
        "TXMLCessazione.GiornoCessazione",
        // pay data
        "TXMLDatiRetributivi.OreLavorabili",
        "TXMLDatiRetributivi.GiorniRetribuiti",
        "TXMLDatiRetributivi.GiorniContribuiti",
        "TXMLDatiRetributivi.OreContribuite",
        "TXMLDatiRetributivi.SettimaneUtili",
        "TXMLDatiRetributivi.GiorniUtili",
        "TXMLOreCongCIGO.NumOreCIGO",
        "TXMLOreCongCIGS.NumOreCIGS",
        "TXMLCIGSDatiStat.NumOreStatCIGS",
        "TXMLAltreADebito.NumGG",
        "TXMLAltreADebito.NumOre",
        // weeks and days
        "TXMLSettimana.IdSettimana",
        "TXMLEventoGiorn.NumOreEvento",
        "TXMLDifferenzeAccredito.SettAccredito",
        "TXMLDifferenzeAccredito.GiorniAccredito",
        // special data
        "TXMLPreavviso.NumSettimane",
        "TXMLPreavviso.NumGiorni",
        "TXMLPreavviso.SettimaneUtili",
        "TXMLPreavviso.GiorniUtili",
        "TXMLContribAtipica.NumSettimane",
        "TXMLContrattoRiallineamento.GiorniInfMinimale",
        "TXMLLavDomicilio.GiorniRetribuiti",
        "TXMLDispIntermittenti.NumSettimaneDisp",
        "TXMLDispIntermittenti.SettimaneUtiliDisp",
        // special funds
        "TXMLPrevMarinara.GiornoSbarcoPM",
        "TXMLFondiAnte95.GiorniNonRetribuiti",
        "TXMLFondiAnte95_Arretrati.Dal",
        "TXMLFondiAnte95_Arretrati.Al",
        "TXMLDazieri.GiorniRetribuiti",
        "TXMLDazieri.GiorniUtili",
        "TXMLGAS.GiorniRetribuiti",
        "TXMLGAS.GiorniUtili",
        "TXMLGAS.GiorniDirittoPartTime",
        "TXMLGAS_PreavvisoGas.GiorniRetribuiti",
        "TXMLGAS_PreavvisoGas.GiorniUtili",
        "TXMLGAS_RiscattoGas.GiorniRiscattati",
        "TXMLGAS_RiscattoGas.GiorniUtili",
        "TXMLEsattoriali.GiorniRetribuiti",
        "TXMLEsattoriali.GiorniUtili",
        "TXMLEsattoriali.GiorniDirittoPartTime",
        "TXMLPortuali.GiorniRetribuiti",
        "TXMLPortuali.GiorniUtili",
        "TXMLFondoFS_DatiMese.GiorniDirittoPartTime",
        "TXMLDatiMeseIPOST.GiorniDirittoPartTime",
        "TXMLFondoFS_DatiMese_Retribuzioni.GiorniRetribuitiFS",
        "TXMLFondoFS_DatiMese_Retribuzioni.GiorniUtili",
        "TXMLFondoFS_DatiMese_Figurativi.GiorniRetribuitiFS",
        "TXMLFondoFS_DatiMese_Figurativi.GiorniUtili",
        "TXMLFondoFS_PreavvisoFS.GiorniRetribuitiFS",
        "TXMLFondoFS_PreavvisoFS.GiorniUtili",
        "TXMLRetribuzioniIPOST.GiorniRetribuitiIPOST",
        "TXMLRetribuzioniIPOST.GiorniUtili",
        "TXMLFigurativiIPOST.GiorniRetribuitiIPOST",
        "TXMLFigurativiIPOST.GiorniUtili",
        "TXMLPreavvisoIPOST.GiorniRetribuitiPreavvisoIPOST",
        "TXMLPreavvisoIPOST.GiorniUtiliPreavvisoIPOST",
        "TXMLFondoFS_DatiMese_Limiti.LimiteEta",
        "TXMLFondoFS_DatiMese_Limiti.LimiteServizio",
        "TXMLFondoFS_DatiMese_Maggiorazione.Giorni",
        "TXMLSportSpet.GiorniFasciaPrec",
        "TXMLRetribuzioneOrdinaria.NumGiorniLavorati",
        "TXMLRetribuzioneOrdinaria.GiorniUtiliPeriodo",
        // family allowance, severance, past supplementation
        "TXMLANF.NumANF",
        "TXMLANF.ClasseANF",
        "TXMLDestinazioneTFR_SceltaDest_SceltaPrevCompl.MisuraPercPrevCompl",
        "TXMLSettimanaCIG.IdSettimanaCIG",
        // company declaration
        "TXMLDenunciaAziendale.NumLavoratori",
        "TXMLDenunciaAziendale.ForzaAziendale",
        "TXMLInfoStat.InfoStatNum",
        "TXMLAdesione.NumDip",
        "TXMLAltrePartiteADebito.NumGG",
        "TXMLAltrePartiteADebito.NumOre",
        "TXMLAltrePartiteADebito.NumDip",
        "TXMLContrattoRS.NumIscrittiRS",
        "TXMLContrattoRS.NumIscrittiRSA",
        "TXMLDatiQuadraturaRetrContr.NumDenIndiv",
        // public sector
        "TXMLE0_PeriodoNelMese.NumMensilita",
        "TXMLInquadramentoLavPA.PercRetribuzione",
        "TXMLInquadramentoLavPA.PercAspettativaL300_70",
        "TXMLInquadramentoLavPA_PartTimePA.PercPartTime",
        "TXMLInquadramentoLavPA_OrarioSettimanalePersScolastico.OrarioSettimanaleRidotto",
        "TXMLInquadramentoLavPA_OrarioSettimanalePersScolastico.OrarioSettimanaleCompleto",
        "TXMLGestioni_GestPensionistica.GiorniUtiliFiniPensionistici",
        "TXMLGestioni_GestPensionistica_Maggiorazione.GiorniMaggiorazione",
        "TXMLGestioni_GestPensionistica_RecuperoSgravi.MeseRif",
        "TXMLE1_FondoPensioneCompl_DatiPosContribIscritto.AliquotaLav",
        "TXMLE1_FondoPensioneCompl_DatiPosContribIscritto.AliquotaDL",
        "TXMLE1_FondoPensioneCompl_DatiPosContribIscritto.PercTFR",
        "TXMLF1_Ammortamento.PrgRata",
        "TXMLF1_Ammortamento.TotaleRate",
        "TXMLV1_PeriodoPrecedente.NumMensilita",
        // previous month
        "TXMLMesePrecedente.OrarioContrattuale",
        "TXMLMesePrecedente.OrarioGiornMedioContrattuale",
        "TXMLMesePrecedente.MonteOreGiornEquivalente",
        "TXMLMesePrecedente.DivisoreOrarioContr",
        "TXMLMesePrecedente.PercPartTime",
        "TXMLMesePrecedente.PercPartTimeMese",
        "TXMLMesePrecedente.NumMensilita",
        "TXMLDatiRetributiviMesePrecedente.OreLavorabili",
        "TXMLDatiRetributiviMesePrecedente.GiorniRetribuiti",
        "TXMLDatiRetributiviMesePrecedente.SettimaneUtili",
        "TXMLDatiRetributiviMesePrecedente.GiorniUtili",
        "TXMLPreavvisoMesePrecedente.NumSettimane",
        "TXMLPreavvisoMesePrecedente.NumGiorni",
        "TXMLPreavvisoMesePrecedente.SettimaneUtili",
        "TXMLPreavvisoMesePrecedente.GiorniUtili",
        // collaborators
        "TXMLCollaboratore.Aliquota",
        // sport and entertainment positions
        "TXMLDenunciaIndividualePosSportSpetType.RetribuzionePrecedente",
        "TXMLDenunciaIndividualePosSportSpetType.GiorniFascia",
        "TXMLDatiRetribuzioneType.NumeroGiorniLavorati",
        "TXMLDatiRetribuzioneType.ImportoRetribuzione",
        "TXMLDatiRetribuzioneType.TrattenutePensioni",
        "TXMLDatiRetribuzioneType.RetribuzionePrecedente",
        "TXMLDatiRetribuzioneType.GiorniFascia",
        "TXMLAgevolazioneType.ImportoAgevolato",
        "TXMLContributoType.Normale",
        "TXMLContributoType.Aggiuntivo",
        "TXMLContributoType.Solidarieta",
        "TXMLCausaleExtracontributivaType.ImportoRiferimento",
        "TXMLCausaleExtracontributivaType_Importo.Dare",
        "TXMLCausaleExtracontributivaType_Importo.Avere",
        // agricultural positions
        "TXMLDatiAgriRetribuzione.NumeroGiornate",
        "TXMLDatiAgriRetribuzione.NumMensContr",
        "TXMLDatiAgriRetribuzione.PercRetribTFRPrevCompl",
        "TXMLPeriodoEventoFigType.GiornoInizioEv",
        "TXMLPeriodoEventoFigType.GiornoFineEv",
        "TXMLPeriodoEventoFigType.NumGiornateEv",
        "TXMLPeriodoEventoFigType.NumOreEv",
        "TXMLGestioneCISOAType.NumGiornLavMP",
        "TXMLPartTimeGORType.OrePartTimeGOR",
        "TXMLPTAType.PercPTA",
        "TXMLPTAType.NumGiornPersePTA",
        "TXMLPeriodoPTAType.GiornoInizioPTA",
        "TXMLPeriodoPTAType.GiornoFinePTA",
        "TXMLDenunciaAgriAziendale.QuadraturaNumLav",
    };
    EXPECT_EQ(modelcheck::integerMembers(allClasses()), expected);
}

// Every accessor of every class, called through the generated code: setters
// write the node the getter reads, Integer values as decimal text.
TEST(UniEmensModel, EveryAccessorReadsWhatItsSetterWrote)
{
    modelcheck::expectEveryAccessorReadsWhatItsSetterWrote(walk(), allClasses());
}

TEST(UniEmensModel, ListsAndTextListsThroughTheirGeneratedOperations)
{
    modelcheck::expectListOperations(walk());
}

TEST(UniEmensModel, HyphenatedNodeNamesKeepTheirHyphen)
{
    std::set<std::string> hyphenated;
    for (const xmlbinding::ClassInfo *c : allClasses())
        for (const xmlbinding::MemberInfo &m : c->members)
            if (std::string(m.nodeName).find('-') != std::string::npos)
                hyphenated.insert(modelcheck::memberKey(c, m) + " " + m.getter + " " + m.setter);
    EXPECT_EQ(hyphenated,
              (std::set<std::string>{
                  "TXMLMalACredito.IndennitaMalattia87-88 GetIndennitaMalattia87_88 SetIndennitaMalattia87_88",
                  "TXMLListaPosPA_PosPA_SedeServizio.IdMEF-SPT GetIdMEF_SPT SetIdMEF_SPT"}));

    IXMLDatiRetributivi dati = NuoviDatiRetributivi();
    IXMLMalACredito mal = dati.GetMalattia().GetMalACredito();
    mal.SetIndennitaMalattia87_88(QStringLiteral("10.00"));
    EXPECT_EQ(mal.GetXML(),
              QStringLiteral("<MalACredito><IndennitaMalattia87-88>10.00</IndennitaMalattia87-88></MalACredito>"));
    IXMLListaPosPA_PosPA_SedeServizio sede =
        CreaDocumentoDenunceMensili().GetAzienda().Add().GetListaPosPA().GetPosPA().Add().GetSedeServizio();
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
    EXPECT_EQ(az.GetPosSportSpet()
                  .Add()
                  .GetDenIndivPosSportSpet()
                  .Add()
                  .GetDatiRetribuzione()
                  .Add()
                  .GetAgevolazione()
                  .GetClassInfo(),
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
    EXPECT_EQ(d0.GetE0_PeriodoNelMese()
                  .GetItem(0)
                  .GetGestioni()
                  .GetGestPensionistica()
                  .GetMaggiorazione()
                  .Add()
                  .GetClassInfo(),
              &TXMLGestioni_GestPensionistica_Maggiorazione::classInfo());

    // FondiSpeciali: two classes, the eight fund classes shared, SportSpet only in the current month
    IXMLDatiParticolariMesePrecedente dpmp =
        di.GetMesePrecedente().GetItem(0).GetDatiRetributiviMesePrecedente().Add().GetDatiParticolariMesePrecedente();
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
    IXMLDatiParticolari dp = NuoviDatiRetributivi().GetDatiParticolari();
    IXMLRetribuzioneOrdinaria ro =
        dp.GetFondiSpeciali().GetSportSpet().GetDatiMeseSportSpet().GetRetribuzioneOrdinaria().Add();
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
