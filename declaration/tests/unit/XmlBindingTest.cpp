// The node layer under the document models, exercised through the UniEmens
// classes: node creation on first access, document order, lists, text lists,
// element-collections, text content, escaping, saving and its failures.
#include "QtPrinters.h"
#include "UniEmensTestNodes.h"
#include "UniEmens/ZepCEmensDataBinding.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

using namespace uniemens;
using xmlbinding::Node;
using xmlbinding::XmlError;

namespace {

QString xmlOf(const Node &node)
{
    return node.GetXML();
}

QStringList childNames(const Node &node)
{
    QStringList names;
    for (int i = 0; i < node.GetChildCount(); ++i)
        names << node.GetChildAt(i).GetNodeName();
    return names;
}

QDomDocument parse(const QByteArray &bytes)
{
    QDomDocument dom;
    QString error;
    int line = 0, column = 0;
    EXPECT_TRUE(dom.setContent(bytes, &error, &line, &column))
        << error.toStdString() << " at " << line << ":" << column;
    return dom;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

} // namespace

// ---------------------------------------------------------------------------
// Factory and the empty document

TEST(XmlBindingDocument, NewDocumentHoldsTheRootAloneWithAnUtf8Declaration)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    const QByteArray bytes = root.GetOwnerDocument().SaveToBytes();
    EXPECT_EQ(bytes, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><DenunceMensili/>\n"));
    EXPECT_EQ(root.GetOwnerDocument().GetVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(root.GetClassInfo(), &TXMLDenunceMensili::classInfo());
    EXPECT_EQ(root.GetParentNode().IsNull(), true);
}

TEST(XmlBindingDocument, EveryCallGivesAnIndependentDocument)
{
    IXMLDenunceMensili a = CreaDocumentoDenunceMensili();
    IXMLDenunceMensili b = CreaDocumentoDenunceMensili();
    a.GetDatiMittente().SetCFMittente(QStringLiteral("A"));
    EXPECT_EQ(xmlOf(b), QStringLiteral("<DenunceMensili/>"));
    EXPECT_EQ(xmlOf(a),
              QStringLiteral(
                  "<DenunceMensili><DatiMittente><CFMittente>A</CFMittente></DatiMittente></DenunceMensili>"));
}

TEST(XmlBindingDocument, ANodeHandleKeepsItsDocumentAlive)
{
    IXMLCessazione cessazione;
    {
        IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
        cessazione = root.GetAzienda().Add().GetPosContributiva().Add().GetDenunciaIndividuale().Add().GetCessazione();
    } // the root handle is gone; the document must not be
    cessazione.SetTipoCessazione(QStringLiteral("1A"));
    EXPECT_EQ(cessazione.GetTipoCessazione(), QStringLiteral("1A"));
    const Node root = cessazione.GetOwnerDocument().GetDocumentElement();
    EXPECT_TRUE(root.GetXML().contains(QStringLiteral("<TipoCessazione>1A</TipoCessazione>")));
    EXPECT_EQ(cessazione.GetPath(),
              QStringLiteral("/DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale/Cessazione"));
}

// ---------------------------------------------------------------------------
// Node creation on first access and document order

TEST(XmlBindingOrder, ChildrenStandInTheOrderTheyWereFirstReached)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDatiMittente mittente = root.GetDatiMittente();
    mittente.SetSedeINPS(QStringLiteral("1000"));
    mittente.SetCFMittente(QStringLiteral("CF"));
    mittente.SetTipo(1);
    mittente.SetCFPersonaMittente(QStringLiteral("P"));
    EXPECT_EQ(childNames(mittente), (QStringList{"SedeINPS", "CFMittente", "CFPersonaMittente"}));
    EXPECT_EQ(xmlOf(mittente), QStringLiteral("<DatiMittente Tipo=\"1\"><SedeINPS>1000</SedeINPS>"
                                              "<CFMittente>CF</CFMittente><CFPersonaMittente>P</CFPersonaMittente>"
                                              "</DatiMittente>"));
}

TEST(XmlBindingOrder, AListGetterAddsNothingAndItemsFollowEarlierChildren)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLAziendaList aziende = root.GetAzienda();
    EXPECT_EQ(xmlOf(root), QStringLiteral("<DenunceMensili/>"));
    EXPECT_EQ(aziende.GetCount(), 0);
    root.GetDatiMittente();
    aziende.Add();
    EXPECT_EQ(childNames(root), (QStringList{"DatiMittente", "Azienda"}));
    EXPECT_EQ(aziende.GetCount(), 1); // counts items only, not DatiMittente
}

TEST(XmlBindingOrder, MatricolaSetAfterTheDeclarationsStandsAfterThem)
{
    IXMLPosContributiva pos = CreaDocumentoDenunceMensili().GetAzienda().Add().GetPosContributiva().Add();
    pos.GetDenunciaIndividuale().Add();
    pos.GetDenunciaIndividuale().Add();
    pos.SetMatricola(QStringLiteral("1234567890"));
    pos.SetComposizione(QStringLiteral("S"));
    EXPECT_EQ(childNames(pos), (QStringList{"DenunciaIndividuale", "DenunciaIndividuale", "Matricola"}));
}

TEST(XmlBindingOrder, GettersCreateEmptyElementsWrittenAsEmptyTags)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDatiMittente mittente = root.GetDatiMittente();
    EXPECT_EQ(mittente.GetCFMittente(), QString());
    IXMLDatiRetributivi dati =
        root.GetAzienda().Add().GetPosContributiva().Add().GetDenunciaIndividuale().Add().GetDatiRetributivi().Add();
    dati.GetMalattia();
    EXPECT_EQ(xmlOf(mittente), QStringLiteral("<DatiMittente><CFMittente/></DatiMittente>"));
    EXPECT_EQ(xmlOf(dati), QStringLiteral("<DatiRetributivi><Malattia/></DatiRetributivi>"));
    EXPECT_EQ(xmlOf(dati.GetMalattia()), QStringLiteral("<Malattia/>"));
}

TEST(XmlBindingOrder, SettingALeafTwiceKeepsOneElementAtItsFirstPlace)
{
    IXMLDatiMittente mittente = CreaDocumentoDenunceMensili().GetDatiMittente();
    mittente.SetCFMittente(QStringLiteral("A"));
    mittente.SetSedeINPS(QStringLiteral("S"));
    mittente.SetCFMittente(QStringLiteral("B"));
    EXPECT_EQ(xmlOf(mittente),
              QStringLiteral("<DatiMittente><CFMittente>B</CFMittente><SedeINPS>S</SedeINPS></DatiMittente>"));
    mittente.SetCFMittente(QString());
    EXPECT_EQ(xmlOf(mittente), QStringLiteral("<DatiMittente><CFMittente/><SedeINPS>S</SedeINPS></DatiMittente>"));
}

TEST(XmlBindingOrder, SameLeafNameUnderTwoParentsIsTwoNodes)
{
    IXMLDenunciaIndividuale di =
        CreaDocumentoDenunceMensili().GetAzienda().Add().GetPosContributiva().Add().GetDenunciaIndividuale().Add();
    di.SetQualifica1(QStringLiteral("1"));
    di.GetInquadramentoLavVariaz().SetQualifica1(QStringLiteral("2"));
    EXPECT_EQ(di.GetQualifica1(), QStringLiteral("1"));
    EXPECT_EQ(di.GetInquadramentoLavVariaz().GetQualifica1(), QStringLiteral("2"));
}

// ---------------------------------------------------------------------------
// Integer values

TEST(XmlBindingInteger, IntegersAreWrittenAsPlainDecimalText)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDatiMittente mittente = root.GetDatiMittente();
    mittente.SetTipo(1);
    EXPECT_EQ(mittente.GetAttribute(u"Tipo"), QStringLiteral("1"));
    IXMLAssunzione a =
        root.GetAzienda().Add().GetPosContributiva().Add().GetDenunciaIndividuale().Add().GetAssunzione();
    for (int v : {0, -5, 7, 2147483647, -2147483647 - 1}) {
        a.SetGiornoAssunzione(v);
        EXPECT_EQ(a.FindChild(u"GiornoAssunzione").GetText(), QString::number(v));
        EXPECT_EQ(a.GetGiornoAssunzione(), v);
    }
    EXPECT_EQ(a.FindChild(u"GiornoAssunzione").GetText(), QStringLiteral("-2147483648"));
}

TEST(XmlBindingInteger, AnIntegerGetterOnOtherTextFailsNamingTheElement)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDenunciaIndividuale di = root.GetAzienda().Add().GetPosContributiva().Add().GetDenunciaIndividuale().Add();
    IXMLAssunzione a = di.GetAssunzione();
    for (const char *bad : {"12a", "1.5", "", "2147483648", "-2147483649", "dodici"}) {
        a.GetChild(u"GiornoAssunzione").SetText(QString::fromLatin1(bad));
        try {
            a.GetGiornoAssunzione();
            ADD_FAILURE() << "no error for \"" << bad << "\"";
        } catch (const platform::EConvertError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral(
                "/DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale/Assunzione/GiornoAssunzione")))
                << e.what();
            EXPECT_TRUE(e.message().contains(QLatin1Char('"') + QString::fromLatin1(bad) + QLatin1Char('"')))
                << e.what();
        }
    }
    // An absent Integer attribute has no value either.
    EXPECT_THROW(root.GetDatiMittente().GetTipo(), platform::EConvertError);
    EXPECT_FALSE(root.GetDatiMittente().HasAttribute(u"Tipo"));
}

// ---------------------------------------------------------------------------
// Lists

TEST(XmlBindingList, InsertAtZeroPutsTheNewItemFirst)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLAziendaList list = root.GetAzienda();
    list.Add().SetCFAzienda(QStringLiteral("first"));
    list.Add().SetCFAzienda(QStringLiteral("second"));
    list.Insert(0).SetCFAzienda(QStringLiteral("new"));
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetItem(0).GetCFAzienda(), QStringLiteral("new"));
    EXPECT_EQ(list.GetItem(1).GetCFAzienda(), QStringLiteral("first"));
    EXPECT_EQ(list.GetItem(2).GetCFAzienda(), QStringLiteral("second"));
    list.Insert(3).SetCFAzienda(QStringLiteral("last"));
    EXPECT_EQ(list.GetItem(3).GetCFAzienda(), QStringLiteral("last"));
}

TEST(XmlBindingList, InsertCountsOnlyTheListItemsAmongOtherChildren)
{
    IXMLPosContributiva pos = CreaDocumentoDenunceMensili().GetAzienda().Add().GetPosContributiva().Add();
    pos.SetMatricola(QStringLiteral("M"));
    IXMLDenunciaIndividualeList list = pos.GetDenunciaIndividuale();
    list.Add().SetCognome(QStringLiteral("A"));
    pos.GetDenunciaAziendale();
    list.Add().SetCognome(QStringLiteral("C"));
    list.Insert(1).SetCognome(QStringLiteral("B"));
    EXPECT_EQ(childNames(pos), (QStringList{"Matricola", "DenunciaIndividuale", "DenunciaAziendale",
                                            "DenunciaIndividuale", "DenunciaIndividuale"}));
    EXPECT_EQ(list.GetItem(1).GetCognome(), QStringLiteral("B"));
    EXPECT_EQ(list.GetItem(2).GetCognome(), QStringLiteral("C"));
}

TEST(XmlBindingList, IndexesOutOfRangeFailWithAnIndexError)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLAziendaList list = root.GetAzienda();
    EXPECT_THROW(list.GetItem(0), platform::EListError);
    list.Add();
    EXPECT_THROW(list.GetItem(1), platform::EListError);
    EXPECT_THROW(list.GetItem(-1), platform::EListError);
    EXPECT_THROW(list.Insert(2), platform::EListError);
    EXPECT_THROW(list.Insert(-2), platform::EListError);
    EXPECT_THROW(list.Delete(1), platform::EListError);
    EXPECT_THROW(list.Delete(-1), platform::EListError);
    EXPECT_EQ(list.GetCount(), 1); // a refused Insert added nothing
    try {
        list.GetItem(4);
    } catch (const platform::EListError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("(4)"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Azienda"))) << e.what();
    }
}

TEST(XmlBindingList, DeleteClearAndRemoveTakeOnlyItems)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    root.GetDatiMittente();
    IXMLAziendaList list = root.GetAzienda();
    IXMLAzienda a = list.Add(), b = list.Add(), c = list.Add();
    b.SetCFAzienda(QStringLiteral("B"));
    list.Delete(0);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItem(0).GetCFAzienda(), QStringLiteral("B"));
    EXPECT_EQ(list.Remove(c), 1);
    EXPECT_EQ(list.Remove(c), -1);
    EXPECT_EQ(list.Remove(root.GetDatiMittente()), -1);
    list.Add();
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(childNames(root), QStringList{"DatiMittente"});
}

TEST(XmlBindingList, HandlesKeptAfterDeleteOrClearStaySafe)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLAziendaList list = root.GetAzienda();
    IXMLAzienda kept = list.Add();
    kept.SetCFAzienda(QStringLiteral("X"));
    IXMLPosContributiva pos = kept.GetPosContributiva().Add();
    list.Delete(0);
    EXPECT_FALSE(kept.IsInDocument());
    EXPECT_FALSE(pos.IsInDocument());
    // The detached subtree is still usable and still readable...
    EXPECT_EQ(kept.GetCFAzienda(), QStringLiteral("X"));
    pos.SetMatricola(QStringLiteral("M"));
    EXPECT_EQ(kept.GetPosContributiva().GetItem(0).GetMatricola(), QStringLiteral("M"));
    EXPECT_TRUE(kept.GetParentNode().IsNull());
    // ... but no longer part of what is saved.
    EXPECT_EQ(xmlOf(root), QStringLiteral("<DenunceMensili/>"));

    IXMLAzienda other = list.Add();
    list.Clear();
    other.SetRagSocAzienda(QStringLiteral("R"));
    EXPECT_EQ(other.GetRagSocAzienda(), QStringLiteral("R"));
    EXPECT_TRUE(pos.GetPath().contains(QStringLiteral("/Azienda/PosContributiva")));

    // A leaf node taken out of the tree and the text set on its parent.
    IXMLDatiMittente m = root.GetDatiMittente();
    Node cf = m.GetChild(u"CFMittente");
    m.SetText(QStringLiteral("replaced"));
    cf.SetText(QStringLiteral("still fine"));
    EXPECT_EQ(cf.GetText(), QStringLiteral("still fine"));
    EXPECT_EQ(xmlOf(m), QStringLiteral("<DatiMittente>replaced</DatiMittente>"));
}

// ---------------------------------------------------------------------------
// Text lists, element-collections, text content

TEST(XmlBindingTextList, ItemsCarryTheirTextAndReadBackAsText)
{
    IXMLSettimana week = NuoviDatiRetributivi().GetSettimana().Add();
    week.SetIdSettimana(1);
    IXMLCodiceEventoTypeList codes = week.GetCodiceEvento();
    Node first = codes.Add(QStringLiteral("MA1"));
    codes.Add(QStringLiteral("007"));
    codes.Insert(0, QStringLiteral("CIG"));
    EXPECT_EQ(first.GetNodeName(), QStringLiteral("CodiceEvento"));
    EXPECT_EQ(first.GetClassInfo(), nullptr); // a plain node
    ASSERT_EQ(codes.GetCount(), 3);
    EXPECT_EQ(codes.GetItem(0), QStringLiteral("CIG"));
    EXPECT_EQ(codes.GetItem(2), QStringLiteral("007")); // stays text, leading zeros and all
    EXPECT_EQ(xmlOf(week),
              QStringLiteral("<Settimana><IdSettimana>1</IdSettimana><CodiceEvento>CIG</CodiceEvento>"
                             "<CodiceEvento>MA1</CodiceEvento><CodiceEvento>007</CodiceEvento></Settimana>"));
    EXPECT_THROW(codes.GetItem(3), platform::EListError);
}

TEST(XmlBindingCollection, Mese2011CarriesItsAttributeAndItsDays)
{
    IXMLDatiParticolari dp = NuoviDatiRetributivi().GetDatiParticolari();
    IXMLCalGiorn2011 cal = dp.GetCalGiorn2011();
    EXPECT_EQ(xmlOf(dp), QStringLiteral("<DatiParticolari><CalGiorn2011/></DatiParticolari>"));
    IXMLCalGiorn2011_Mese2011 month = cal.Add();
    IXMLCalGiorn2011_Mese2011_Giorno2011 day2 = month.Add();
    day2.SetGG(2);
    day2.SetLavorato(QStringLiteral("S"));
    month.Insert(0).SetGG(1);
    month.SetIdMese(3);
    EXPECT_EQ(month.GetIdMese(), 3);
    EXPECT_EQ(month.GetCount(), 2);
    EXPECT_EQ(month.GetItem(0).GetGG(), 1);
    EXPECT_EQ(month.GetItem(1).GetLavorato(), QStringLiteral("S"));
    EXPECT_EQ(cal.GetCount(), 1);
    EXPECT_EQ(xmlOf(cal), QStringLiteral("<CalGiorn2011><Mese2011 IdMese=\"3\"><Giorno2011 GG=\"1\"/>"
                                         "<Giorno2011 GG=\"2\"><Lavorato>S</Lavorato></Giorno2011></Mese2011>"
                                         "</CalGiorn2011>"));
    month.Delete(0);
    EXPECT_EQ(month.GetItem(0).GetGG(), 2);
    EXPECT_THROW(month.GetItem(1), platform::EListError);
}

TEST(XmlBindingCollection, ItemsOfAnElementCollectionAreOfTheItemClass)
{
    IXMLDatiRetributivi dati = NuoviDatiRetributivi();
    IXMLEventoCIG ev = dati.GetGestioneEventiCIG().Add();
    EXPECT_EQ(ev.GetClassInfo(), &TXMLEventoCIG::classInfo());
    ev.GetDid().GetQualProf().Add(QStringLiteral("Q1"));
    ev.GetIdentEventoCIG().SetText(QStringLiteral("123"));
    ev.GetIdentEventoCIG().SetTipoEventoCIG(QStringLiteral("A"));
    EXPECT_EQ(xmlOf(ev), QStringLiteral("<EventoCIG><Did><QualProf>Q1</QualProf></Did>"
                                        "<IdentEventoCIG TipoEventoCIG=\"A\">123</IdentEventoCIG></EventoCIG>"));
    // A generic lookup makes the same class as the typed getter.
    EXPECT_EQ(dati.GetChild(u"GestioneEventiCIG").GetClassInfo(), &TXMLGestioneEventiCIG::classInfo());
}

TEST(XmlBindingTextContent, CFSoftwarehouseTakesItsTextThroughSetText)
{
    IXMLDatiMittente m = CreaDocumentoDenunceMensili().GetDatiMittente();
    IXMLDatiMittente_CFSoftwarehouse sh = m.GetCFSoftwarehouse();
    sh.SetTipoProcSH(QStringLiteral("1"));
    sh.SetText(QStringLiteral("01234567890"));
    m.SetSedeINPS(QStringLiteral("7000"));
    EXPECT_EQ(xmlOf(m), QStringLiteral("<DatiMittente><CFSoftwarehouse TipoProcSH=\"1\">01234567890</CFSoftwarehouse>"
                                       "<SedeINPS>7000</SedeINPS></DatiMittente>"));
    EXPECT_EQ(sh.GetText(), QStringLiteral("01234567890"));
    EXPECT_EQ(sh.GetTipoProcSH(), QStringLiteral("1"));
}

TEST(XmlBindingNode, GenericOperationsFindWithoutCreatingAndRemove)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDatiMittente m = root.GetDatiMittente();
    EXPECT_TRUE(m.FindChild(u"CFMittente").IsNull());
    EXPECT_EQ(m.GetChildCount(), 0);
    m.GetCFMittente();
    Node empty = m.FindChild(u"CFMittente");
    ASSERT_FALSE(empty.IsNull());
    EXPECT_EQ(empty.GetXML(), QStringLiteral("<CFMittente/>"));
    EXPECT_EQ(m.RemoveChild(empty), 0);
    EXPECT_EQ(m.RemoveChild(empty), -1);
    EXPECT_EQ(xmlOf(root), QStringLiteral("<DenunceMensili><DatiMittente/></DenunceMensili>"));
    EXPECT_EQ(root.RemoveChild(m), 0);
    EXPECT_EQ(xmlOf(root), QStringLiteral("<DenunceMensili/>"));
    // An element with only an attribute is not "empty" in its XML text.
    root.GetDatiMittente().SetTipo(1);
    EXPECT_EQ(root.FindChild(u"DatiMittente").GetXML(), QStringLiteral("<DatiMittente Tipo=\"1\"/>"));
}

TEST(XmlBindingNode, ConversionToAnotherClassFails)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    const Node plain = root.GetDatiMittente().GetChild(u"CFMittente");
    EXPECT_THROW(xmlbinding::node_cast<TXMLDatiMittente>(plain), XmlError);
    EXPECT_THROW(xmlbinding::node_cast<TXMLAzienda>(root.GetDatiMittente()), XmlError);
    EXPECT_NO_THROW(xmlbinding::node_cast<TXMLDatiMittente>(root.FindChild(u"DatiMittente")));
    EXPECT_THROW(TXMLDatiMittente().GetCFMittente(), platform::EAssertionFailed);
}

// ---------------------------------------------------------------------------
// Escaping and saving

TEST(XmlBindingSave, SpecialAndNonAsciiCharactersReadBackUnchanged)
{
    const QString text = QStringLiteral("Rossi & Figli <s.r.l.> \"Tipo\" 'A' à è € 𝄞 tab\there\r\nline");
    const QString attr = QStringLiteral("a&b<c>d\"e'f à€ \t\n\r");
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLAzienda az = root.GetAzienda().Add();
    az.SetRagSocAzienda(text);
    az.GetPosContributiva().Add().SetComposizione(attr);

    const QByteArray bytes = root.GetOwnerDocument().SaveToBytes();
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(bytes.contains("Rossi &amp; Figli &lt;s.r.l.&gt; &quot;Tipo&quot; &apos;A&apos;"));
    EXPECT_TRUE(bytes.contains("Composizione=\"a&amp;b&lt;c&gt;d&quot;e&apos;f"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("à è €").toUtf8())); // UTF-8, not character references
    const QDomDocument dom = parse(bytes);
    const QDomElement azienda = dom.documentElement().firstChildElement(QStringLiteral("Azienda"));
    EXPECT_EQ(azienda.firstChildElement(QStringLiteral("RagSocAzienda")).text(), text);
    EXPECT_EQ(azienda.firstChildElement(QStringLiteral("PosContributiva")).attribute(QStringLiteral("Composizione")),
              attr);
}

// The serialiser escapes as QXmlStreamWriter does, and the apostrophe as
// "&apos;" besides: the same document written through QXmlStreamWriter gives
// the same bytes once its apostrophes (all from the texts: the declaration
// quotes with '"') are so written, whatever the text (markup characters,
// white space, letters of one to four UTF-8 bytes).
TEST(XmlBindingSave, BytesAreThoseOfQXmlStreamWriter)
{
    const QStringList texts = {QStringLiteral("plain"), QStringLiteral("<a & b> \"c\" 'd'"),
                               QStringLiteral("tab\there\nline"), QStringLiteral("à ß ĳ € ✓ 𝄞 \U0010FFFD"),
                               QStringLiteral("]]> -- ?> <!--")};
    for (const QString &t : texts) {
        IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
        root.GetDatiMittente().SetRagSocMittente(t);
        IXMLAzienda az = root.GetAzienda().Add();
        az.GetPosContributiva().Add().SetComposizione(t + QStringLiteral("\t\n"));

        QByteArray expected;
        QXmlStreamWriter w(&expected);
        w.writeStartDocument(QStringLiteral("1.0"));
        w.writeStartElement(QStringLiteral("DenunceMensili"));
        w.writeStartElement(QStringLiteral("DatiMittente"));
        w.writeTextElement(QStringLiteral("RagSocMittente"), t);
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("Azienda"));
        w.writeStartElement(QStringLiteral("PosContributiva"));
        w.writeAttribute(QStringLiteral("Composizione"), t + QStringLiteral("\t\n"));
        w.writeEndDocument();
        expected.replace("'", "&apos;");
        EXPECT_EQ(root.GetOwnerDocument().SaveToBytes(), expected) << t.toStdString();
    }
}

// A document far larger than the serialiser's buffer streams to the file
// in pieces: the file holds the same bytes as SaveToBytes. A character XML
// cannot carry at its very end, after pieces went to the temporary file,
// still leaves the previous file as it was.
TEST(XmlBindingSave, ALargeDocumentStreamsToTheFileAndAFailureLateInItKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("denuncia.xml"));
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    IXMLDenunciaIndividualeList list = root.GetAzienda().Add().GetPosContributiva().Add().GetDenunciaIndividuale();
    for (int i = 0; i < 20000; ++i) {
        IXMLDenunciaIndividuale di = list.Add();
        di.SetCFLavoratore(QStringLiteral("RSSMRA80A01H501U"));
        di.SetCognome(QStringLiteral("Rossi à %1").arg(i));
    }
    const QByteArray bytes = root.GetOwnerDocument().SaveToBytes();
    ASSERT_GT(bytes.size(), 1 << 20);
    root.GetOwnerDocument().SaveToFile(path);
    EXPECT_EQ(readFile(path), bytes);

    list.Add().SetCognome(QStringLiteral("bad") + QChar(0x02));
    EXPECT_THROW(root.GetOwnerDocument().SaveToFile(path), XmlError);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"denuncia.xml"});
}

TEST(XmlBindingSave, SavesAndReplacesAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("denuncia.xml"));
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    root.GetDatiMittente().SetTipo(1);
    root.GetOwnerDocument().SaveToFile(path);
    EXPECT_EQ(readFile(path), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                         "<DenunceMensili><DatiMittente Tipo=\"1\"/></DenunceMensili>\n"));
    root.GetAzienda().Add();
    root.GetOwnerDocument().SaveToFile(path);
    EXPECT_TRUE(readFile(path).endsWith("<Azienda/></DenunceMensili>\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"denuncia.xml"}); // no temporary left
}

TEST(XmlBindingSave, CharactersXmlCannotCarryFailNamingTheElementAndKeepTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("denuncia.xml"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous declaration");
    }
    struct Case {
        QString value;
        const char *kind;
    };
    const Case cases[] = {
        {QStringLiteral("A") + QChar(0x01) + QStringLiteral("B"), "U+0001"},
        {QStringLiteral("A") + QChar(0x1F), "U+001F"},
        {QString(QChar(0xD800)) + QStringLiteral("x"), "U+D800"}, // high surrogate without its pair
        {QStringLiteral("x") + QChar(0xDC00), "U+DC00"},          // low surrogate alone
        {QString(QChar(0xFFFE)), "U+FFFE"},
    };
    for (const Case &c : cases) {
        IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
        IXMLAziendaList list = root.GetAzienda();
        list.Add();
        list.Add().SetRagSocAzienda(c.value);
        try {
            root.GetOwnerDocument().SaveToFile(path);
            ADD_FAILURE() << "saved " << c.kind;
        } catch (const XmlError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("/DenunceMensili/Azienda[2]/RagSocAzienda"))) << e.what();
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(c.kind))) << e.what();
        }
        EXPECT_EQ(readFile(path), QByteArray("previous declaration"));
        EXPECT_THROW(root.GetOwnerDocument().SaveToBytes(), XmlError);
    }
    // In an attribute too.
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    root.GetAzienda().Add().GetPosContributiva().Add().SetComposizione(QString(QChar(0x0B)));
    try {
        root.GetOwnerDocument().SaveToFile(path);
        ADD_FAILURE() << "saved a vertical tab";
    } catch (const XmlError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"Composizione\""))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("/DenunceMensili/Azienda/PosContributiva"))) << e.what();
    }
    EXPECT_EQ(readFile(path), QByteArray("previous declaration"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"denuncia.xml"});
}

TEST(XmlBindingSave, AFileThatCannotBeWrittenIsReported)
{
    QTemporaryDir dir;
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/denuncia.xml"));
    EXPECT_THROW(root.GetOwnerDocument().SaveToFile(missing), platform::EWriteError);
    EXPECT_FALSE(QFileInfo::exists(missing));
    // A folder in the way of the file name.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_THROW(root.GetOwnerDocument().SaveToFile(dir.filePath(QStringLiteral("taken"))), platform::EWriteError);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("taken"))).isDir());
}

TEST(XmlBindingSave, InvalidElementNamesFromGenericCallsAreRefusedAtSave)
{
    IXMLDenunceMensili root = CreaDocumentoDenunceMensili();
    root.GetChild(u"1bad");
    EXPECT_THROW(root.GetOwnerDocument().SaveToBytes(), XmlError);
    root.RemoveChild(root.FindChild(u"1bad"));
    root.SetAttribute(u"a b", QStringLiteral("x"));
    EXPECT_THROW(root.GetOwnerDocument().SaveToBytes(), XmlError);
}
