// The public-sector positions of the UniEmens file on a real archive: rows
// of the six public-sector tables of the month, the file written and read
// back against the element tree, with its amounts and order; the declarant
// checks; the removal of an empty element.
#include "ZepDocumentoSupport.h"
#include "ZepFileSupport.h"

#include "UniEmens/ZepCEmensDataBinding.h"
#include "ZepCTabellaDenuncia.h"

#include "Exceptions.h"

#include <QDomDocument>

using namespace filetest;
using documentotest::controllaDocumento;

namespace {

QString testo(const QDomElement &e, const QString &percorso)
{
    QDomElement n = e;
    for (const QString &parte : percorso.split(QLatin1Char('/')))
        n = n.firstChildElement(parte);
    return n.isNull() ? QStringLiteral("<assente>") : n.text();
}

QStringList voci(const QDomElement &e, const QString &voce, const QString &nome)
{
    QStringList out;
    for (QDomElement v = e.firstChildElement(voce); !v.isNull(); v = v.nextSiblingElement(voce))
        out << (nome.startsWith(QLatin1Char('@')) ? v.attribute(nome.mid(1)) : testo(v, nome));
    return out;
}

Riga dichiarantePA()
{
    return con(dichiarante(), {{"CodiceINPDAP", " 123"},
                               {"FormaGiuridica", "2.43"},
                               {"CodiceComune", "H501"},
                               {"EA_CodiceINPDAP", "77"},
                               {"EA_RagSocAzienda", "COMUNE DI ROMA"},
                               {"EA_ISTAT", "84.11.1"},
                               {"SS_CFAzienda", "02438750586"}});
}

Riga iscritto(const char *cf, const char *cognome, const char *nome)
{
    return {{"CF_D0001001_CODFIS", cf},   {"AN_D0001002_COGNOME", cognome},
            {"AN_D0001003_NOME", nome},   {"SD0ANNOFIN", "2024"},
            {"SD0AMESE", "03"},           {"CB_D0001016_SATFRFONDI", "1"},
            {"NP_D0001015_FINESER", "2"}, {"ISTATO", 0}};
}

Riga periodoE0(int id, int ordine, QDate inizio, QDate fine)
{
    return {{"IAFIID", id},
            {"ORDINE", ordine},
            {"DT_E0XXX001_DINIZIO", inizio},
            {"DT_E0XXX002_DFINE", fine},
            {"NP_E0XXX003_PENS", "1"},
            {"NP_E0XXX004_PREV", "7"},
            {"NP_E0XXX011_IMPIEGO", "2"},
            {"NP_E0XXX015_GGUTILI", 15},
            {"AN_E0XXX007_COMPARTO", "01"},
            {"AN_E0XXX008_SOTTOCOM", "02 "},
            {"AN_E0XXX013_TIPOPT", "P"},
            {"PC_E0XXX014_PERCPT", euro("0.29")},
            {"VP_E0XXX032_IMPPENS", euro("1000.5")},
            {"VP_E0XXX033_CONPENS", euro("242.12")},
            {"VP_E0XXX035_IMPTFS", euro("900")},
            {"VP_E0XXX036_CONTFS", euro("50.4")},
            {"NumMensilita", 13},
            {"RecuperoSgravi13AnnoRif", 2023},
            {"RecuperoSgravi13MeseRif", 12},
            {"RecuperoSgravi13CodiceRecupero", "R1"},
            {"RecuperoSgravi13AltroImponibile", euro("10")}};
}

class ListaPosPATest : public FileTest {
public:
    void Tabella(const char *nome, const Riga &riga) { Aggiungi(QString::fromLatin1(nome), riga); }
    // A person row saved through the store; its registry id, which the
    // store gives.
    int Iscritto(const Riga &riga)
    {
        platform::DataSet d0;
        store.Load(d0, QStringLiteral("TD0_ANAG"));
        d0.append();
        for (const auto &[campo, valore] : riga)
            d0.fieldByName(campo).setValue(valore);
        d0.post();
        store.Save(d0, QStringLiteral("TD0_ANAG"));
        return d0.fieldByName(QStringLiteral("IAFIID")).asInteger();
    }
};

} // namespace

TEST_F(ListaPosPATest, PersonsSectionsAndEntitiesStandWhereTheTreeAllowsIt)
{
    Dichiarante(dichiarantePA());
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
    // Entered in the reverse order of their fiscal codes.
    const int zanni = Iscritto(con(iscritto("ZNNPLA70A01H501J", "ZANNI", "PAOLA"), {{"NP_D0001015_FINESER", ""}}));
    const int ferri = Iscritto(iscritto("FRRGNN60A01H501J", "FERRI", "GIANNI"));
    ASSERT_NE(zanni, ferri);
    Tabella("TE0_RETR", periodoE0(ferri, 1, QDate(2024, 3, 1), QDate(2024, 3, 15)));
    Tabella("TE0_RETR", con(periodoE0(ferri, 2, QDate(2024, 3, 16), QDate(2024, 3, 31)),
                            {{"NP_E0XXX004_PREV", ""}, {"AN_E0XXX013_TIPOPT", ""}}));
    Tabella("TE0_RETR", periodoE0(zanni, 3, QDate(2024, 3, 1), QDate(2024, 3, 31)));
    Tabella("TEV_ENTEVERSANTEE0", {{"IAFIID", ferri},
                                   {"ORDINE", 2},
                                   {"TipoContributo", "1"},
                                   {"CFAzienda", "80012345678"},
                                   {"PRGAZIENDA", "00001"},
                                   {"Imponibile", euro("100")},
                                   {"Contributo", euro("0")}});
    Tabella("TE1_FONDIPENSIONE", {{"IAFIID", ferri},
                                  {"NP_E1XXX001_COD_FONDO", "FP1"},
                                  {"DT_E1XXX003_DSOTTOSCR", QDate(2020, 1, 10)},
                                  {"DT_E1XXX004_DINIZIO", QDate(2024, 3, 1)},
                                  {"DT_E1XXX005_DFINE", QDate(2024, 3, 31)},
                                  {"PC_E1XXX006_PERC_LAVORATORE", euro("12.5")},
                                  {"VP_E1XXX014_CONT_LAVORATORE", euro("30")}});
    // A correction whose service data are all empty.
    Tabella("TV1_RETR", {{"IAFIID", zanni},
                         {"ORDINE", 1},
                         {"NP_V1XXX000_CAUSVAR", "7"},
                         {"NP_V1XXX061_CODMOTUT", "3"},
                         {"NP_V1XXX064_NRREG", "44"},
                         {"DT_V1XXX001_DINIZIO", QDate(2023, 11, 1)},
                         {"DT_V1XXX002_DFINE", QDate(2023, 11, 30)},
                         {"VN_V1XXX043_RETRTFR", euro("5")}});
    Tabella("TEV_ENTEVERSANTEV1", {{"IAFIID", zanni},
                                   {"ORDINE", 1},
                                   {"TipoContributo", "2"},
                                   {"Imponibile", euro("20")},
                                   {"Contributo", euro("1.5")},
                                   {"AnnoMeseErogazione", "2023-11"},
                                   {"Aliquota", "A"}});
    file.ImportoInpdap = QStringLiteral("12,5");

    Genera();
    const QByteArray xml = Scritto();
    controllaDocumento(xml);
    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(xml));
    const QDomElement azienda = dom.documentElement().firstChildElement(QStringLiteral("Azienda"));
    EXPECT_EQ(voci(azienda, QStringLiteral("PosContributiva"), QStringLiteral("Matricola")),
              QStringList{QStringLiteral("1234567890")});
    EXPECT_EQ(voci(azienda, QStringLiteral("ListaCollaboratori"), QStringLiteral("Collaboratore/CFCollaboratore")),
              QStringList{QStringLiteral("BRNLGU70A01H501R")});

    const QDomElement lista = azienda.firstChildElement(QStringLiteral("ListaPosPA"));
    EXPECT_EQ(testo(lista, QStringLiteral("PRGAZIENDA")), QStringLiteral("00123"));
    EXPECT_EQ(testo(lista, QStringLiteral("FormaGiuridica")), QStringLiteral("243"));
    EXPECT_EQ(testo(lista, QStringLiteral("CFRappresentanteFirmatario")), QStringLiteral("RSSMRA60A01H501Q"));
    EXPECT_EQ(testo(lista, QStringLiteral("AltriImportiAConguaglio/ImportoConguagliato")), QStringLiteral("12.50"));
    const QDomElement pos = lista.firstChildElement(QStringLiteral("PosPA"));
    EXPECT_EQ(testo(pos, QStringLiteral("EnteAppartenenza/PRGAZIENDA")), QStringLiteral("00077"));
    // A code written with dots is a code, not zero.
    EXPECT_EQ(testo(pos, QStringLiteral("EnteAppartenenza/ISTAT")), QStringLiteral("84.11.1"));
    EXPECT_EQ(testo(pos, QStringLiteral("SedeServizio/PRGAZIENDA")), QStringLiteral("00000"));
    EXPECT_EQ(voci(pos, QStringLiteral("D0_DenunciaIndividuale"), QStringLiteral("CFLavoratore")),
              (QStringList{QStringLiteral("FRRGNN60A01H501J"), QStringLiteral("ZNNPLA70A01H501J")}));

    const QDomElement dFerri = pos.firstChildElement(QStringLiteral("D0_DenunciaIndividuale"));
    EXPECT_EQ(testo(dFerri, QStringLiteral("DatiPrevCompl/SilenzioAssenso")), QStringLiteral("1"));
    EXPECT_EQ(testo(dFerri, QStringLiteral("DatiSedeLavoro/CAP")), QStringLiteral("00100"));
    EXPECT_EQ(voci(dFerri, QStringLiteral("E0_PeriodoNelMese"), QStringLiteral("GiornoInizio")),
              (QStringList{QStringLiteral("2024-03-01"), QStringLiteral("2024-03-16")}));
    const QDomElement primo = dFerri.firstChildElement(QStringLiteral("E0_PeriodoNelMese"));
    EXPECT_EQ(testo(primo, QStringLiteral("InquadramentoLavPA/PartTimePA/PercPartTime")), QStringLiteral("290"));
    EXPECT_EQ(testo(primo, QStringLiteral("InquadramentoLavPA/Contratto")), QStringLiteral("0102"));
    EXPECT_EQ(testo(primo, QStringLiteral("InquadramentoLavPA/RegimeFineServizio")), QStringLiteral("2"));
    EXPECT_EQ(testo(primo, QStringLiteral("NumMensilita")), QStringLiteral("13000"));
    EXPECT_EQ(testo(primo, QStringLiteral("Gestioni/GestPensionistica/Imponibile")), QStringLiteral("1000.50"));
    EXPECT_EQ(testo(primo, QStringLiteral("Gestioni/GestPensionistica/GiorniUtiliFiniPensionistici")),
              QStringLiteral("15"));
    EXPECT_EQ(testo(primo, QStringLiteral("Gestioni/GestPrevidenziale/ContributoTFS")), QStringLiteral("50.40"));
    // The second recovery alone: its taxable amount is set, the first's amount is not.
    EXPECT_EQ(
        voci(primo.firstChildElement(QStringLiteral("Gestioni")).firstChildElement(QStringLiteral("GestPensionistica")),
             QStringLiteral("RecuperoSgravi"), QStringLiteral("CodiceRecupero")),
        QStringList{QStringLiteral("R1")});
    EXPECT_EQ(testo(primo, QStringLiteral("RetribTeoricaTabellareTFR")), QStringLiteral("0.00"));
    EXPECT_TRUE(primo.firstChildElement(QStringLiteral("AltroEnteVersante")).isNull());
    const QDomElement secondo = primo.nextSiblingElement(QStringLiteral("E0_PeriodoNelMese"));
    EXPECT_EQ(testo(secondo, QStringLiteral("RetribTeoricaTabellareTFR")), QStringLiteral("<assente>"));
    EXPECT_EQ(voci(secondo, QStringLiteral("AltroEnteVersante"), QStringLiteral("Imponibile")),
              QStringList{QStringLiteral("100.00")});
    EXPECT_EQ(testo(dFerri, QStringLiteral("E1_FondoPensioneCompl/DatiPosContribIscritto/AliquotaLav")),
              QStringLiteral("12500"));
    EXPECT_TRUE(dFerri.firstChildElement(QStringLiteral("E1_FondoPensioneCompl"))
                    .firstChildElement(QStringLiteral("ContribOmessiOIndebiti"))
                    .isNull());

    const QDomElement dZanni = dFerri.nextSiblingElement(QStringLiteral("D0_DenunciaIndividuale"));
    const QDomElement v1 = dZanni.firstChildElement(QStringLiteral("V1_PeriodoPrecedente"));
    EXPECT_EQ(v1.attribute(QStringLiteral("CausaleVariazione")), QStringLiteral("7"));
    EXPECT_EQ(v1.attribute(QStringLiteral("CodMotivoUtilizzo")), QStringLiteral("3"));
    EXPECT_TRUE(v1.firstChildElement(QStringLiteral("InquadramentoLavPA")).isNull());
    EXPECT_TRUE(v1.firstChildElement(QStringLiteral("Gestioni")).isNull());
    EXPECT_EQ(testo(v1, QStringLiteral("DescrMotivoUtilizzo/IdentAtto")), QStringLiteral("0"));
    EXPECT_EQ(testo(v1, QStringLiteral("DescrMotivoUtilizzo/NumeroRegistro")), QStringLiteral("44"));
    EXPECT_EQ(voci(v1, QStringLiteral("EnteVersante"), QStringLiteral("Contributo")),
              QStringList{QStringLiteral("1.50")});
    EXPECT_TRUE(registro.righe.contains(QStringLiteral("---- Iscritto INPDAP ZNNPLA70A01H501J ZANNI PAOLA")));
    EXPECT_TRUE(registro.righe.contains(QStringLiteral("  -- Quadro V1 da 2023-11-01 a 2023-11-30")));
}

// The public-sector persons in the selection list, chosen one by one: only
// the chosen ones are written and checked, and a fault in a row is told
// under its own person's name, a section row's too.
TEST_F(ListaPosPATest, ChosenPublicSectorPersonsAreTheOnesCheckedAndWritten)
{
    Dichiarante(dichiarantePA());
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    const int ferri = Iscritto(iscritto("FRRGNN60A01H501J", "FERRI", "GIANNI"));
    const int zanni = Iscritto(iscritto("ZNNPLA70A01H501J", "ZANNI", "PAOLA"));
    // A typographic apostrophe the flow cannot carry, in a person row and in
    // a section row.
    Iscritto(iscritto("GLLNNA80A41H501D", "GALLI", "NINA\u2019"));
    Tabella("TE0_RETR", periodoE0(ferri, 1, QDate(2024, 3, 1), QDate(2024, 3, 31)));
    Tabella("TE0_RETR", con(periodoE0(zanni, 2, QDate(2024, 3, 1), QDate(2024, 3, 31)),
                            {{"AN_E0XXX009_QUALIFICA", "\u201cA\u201d"}}));

    file.CaricaTabelle();
    file.PreparaPrenota();
    DataSet &prenota = file.cdsPrenota;
    ASSERT_TRUE(prenota.locate(QStringLiteral("Tipo;CF"), {QStringLiteral("E"), QStringLiteral("FRRGNN60A01H501J")}));
    EXPECT_EQ(prenota.fieldByName(QStringLiteral("Cognome")).asString(), QStringLiteral("FERRI"));
    EXPECT_EQ(prenota.fieldByName(QStringLiteral("Nome")).asString(), QStringLiteral("GIANNI"));
    EXPECT_TRUE(prenota.fieldByName(QStringLiteral("Matricola")).isNull());
    EXPECT_EQ(prenota.recordCount(), 4);

    struct Caso {
        QStringList scelti;  // fiscal codes chosen (none: everybody)
        QStringList scritti; // the D0 persons of the file
        bool pubblici;
        QString persona; // the person a fault is told under (empty: the file is written)
        QString campo;
    };
    const QList<Caso> casi{
        {{}, {}, true, QStringLiteral("GALLI NINA\u2019 - CF: GLLNNA80A41H501D"), QStringLiteral("AN_D0001003_NOME")},
        {{QStringLiteral("FRRGNN60A01H501J")}, {QStringLiteral("FRRGNN60A01H501J")}, true, {}, {}},
        {{QStringLiteral("BNCMRA85M41F205D")}, {}, false, {}, {}},
        {{QStringLiteral("BNCMRA85M41F205D"), QStringLiteral("ZNNPLA70A01H501J")},
         {},
         true,
         QStringLiteral("ZANNI PAOLA - CF: ZNNPLA70A01H501J"),
         QStringLiteral("AN_E0XXX009_QUALIFICA")},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.scelti.join(QLatin1Char(',')).toStdString());
        file.CaricaTabelle();
        QList<platform::Bookmark> scelti;
        for (const QString &cf : c.scelti) {
            ASSERT_TRUE(prenota.locate(QStringLiteral("CF"), platform::Value(cf)));
            scelti << prenota.bookmark();
        }
        EXPECT_EQ(file.PubbliciPresenti(scelti), c.pubblici);
        file.Prenotazione = !scelti.isEmpty();
        file.EliminaNonSelezionati(scelti);
        QFile::remove(file.NomeFile);
        try {
            file.GeneraDenunceMensili();
            EXPECT_TRUE(c.persona.isEmpty()) << "generated";
        } catch (const EUqError &e) {
            EXPECT_EQ(file.PersonaCorrente(), c.persona);
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(c.campo)) << e.what();
            continue;
        }
        QDomDocument dom;
        ASSERT_TRUE(dom.setContent(Scritto()));
        const QDomElement pos = dom.documentElement()
                                    .firstChildElement(QStringLiteral("Azienda"))
                                    .firstChildElement(QStringLiteral("ListaPosPA"))
                                    .firstChildElement(QStringLiteral("PosPA"));
        EXPECT_EQ(voci(pos, QStringLiteral("D0_DenunciaIndividuale"), QStringLiteral("CFLavoratore")), c.scritti);
    }
}

TEST_F(ListaPosPATest, EachCheckStopsTheGenerationAndKeepsThePreviousFile)
{
    struct Caso {
        const char *nome;
        Riga dichiarante;
        Riga iscritto;
        QString messaggio;
    };
    const Riga persona = iscritto("FRRGNN60A01H501J", "FERRI", "GIANNI");
    const QString altri = QStringLiteral(
        "Dichiarante \"Altri dati sede di lavoro\": \"Forma giuridica\" o \"Codice COP comune\" o CAP non impostato");
    const QList<Caso> casi = {
        {"form", con(dichiarantePA(), {{"FormaGiuridica", " "}}), persona, altri},
        {"municipality", con(dichiarantePA(), {{"CodiceComune", ""}}), persona, altri},
        {"cap", con(dichiarantePA(), {{"CAP", ""}}), persona, altri},
        {"code", con(dichiarantePA(), {{"CodiceINPDAP", "1234567"}}), persona,
         QStringLiteral("Dichiarante - Codice INPDAP: il codice \"1234567\" supera i 5 caratteri")},
        {"istat", con(dichiarantePA(), {{"EA_ISTAT", "84-11"}}), persona,
         QStringLiteral("Dichiarante - Ente appartenenza: il codice ISTAT \"84-11\" non è valido (cifre, eventualmente "
                        "separate da punti)")},
    };
    for (const Caso &caso : casi) {
        SCOPED_TRACE(caso.nome);
        platform::DataSet d0;
        store.Load(d0, QStringLiteral("TD0_ANAG"));
        while (!d0.isEmpty())
            d0.deleteRecord();
        store.Save(d0, QStringLiteral("TD0_ANAG"));
        Dichiarante(caso.dichiarante);
        Iscritto(caso.iscritto);
        {
            QFile f(file.NomeFile);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("precedente");
        }
        file.CaricaTabelle();
        try {
            file.GeneraDenunceMensili();
            ADD_FAILURE() << "generated";
        } catch (const EUqError &e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), caso.messaggio);
        }
        EXPECT_EQ(Scritto(), QByteArray("precedente"));
    }
}

// A public-sector person's row is checked as a private one before anything
// is written, and a pension-fund row (E1) whose contributions stop on a date
// must say why; the refusal names the person whose row holds the fault (the
// other person would be written after), and the previous file stays.
TEST_F(ListaPosPATest, PersonsAndPensionFundRowsAreCheckedBeforeAnythingIsWritten)
{
    Dichiarante(dichiarantePA());
    const QString codice = QStringLiteral("Campo \"CF_D0001001_CODFIS\": ")
                           + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido;
    const QString motivo = TZepFile::MsgCampoNonImpostato + TZepFile::MsgCessazioneE1;
    struct Caso {
        const char *nome;
        QString cf;
        const char *sospensione, *cessazione; // the E1 row's codes ("": none)
        QString messaggio;                    // empty: the file is written
    };
    const QList<Caso> casi{
        {"codice di 15 caratteri", QStringLiteral("FRRGNN60A01H501"), "", "3",
         codice.arg(QStringLiteral("FRRGNN60A01H501"))},
        {"codice con <", QStringLiteral("FRRGNN60A01<501J"), "", "3", codice.arg(QStringLiteral("FRRGNN60A01<501J"))},
        {"carattere di controllo sbagliato", QStringLiteral("FRRGNN60A01H501Y"), "", "3",
         codice.arg(QStringLiteral("FRRGNN60A01H501Y"))},
        {"cessazione senza motivo", QStringLiteral("FRRGNN60A01H501J"), "", "",
         motivo.arg(QStringLiteral("20/03/2024"))},
        {"cessazione con il tipo", QStringLiteral("FRRGNN60A01H501J"), "", "3", {}},
        {"sospensione con il motivo", QStringLiteral("FRRGNN60A01H501J"), "2", "", {}},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.nome);
        for (const char *tabella : {"TD0_ANAG", "TE1_FONDIPENSIONE"}) {
            platform::DataSet ds;
            store.Load(ds, QString::fromLatin1(tabella));
            while (!ds.isEmpty())
                ds.deleteRecord();
            store.Save(ds, QString::fromLatin1(tabella));
        }
        const int ferri = Iscritto(con(iscritto("", "FERRI", "GIANNI"), {{"CF_D0001001_CODFIS", c.cf}}));
        Iscritto(iscritto("ZNNPLA70A01H501J", "ZANNI", "PAOLA"));
        Tabella("TE1_FONDIPENSIONE", {{"IAFIID", ferri},
                                      {"NP_E1XXX001_COD_FONDO", "FP1"},
                                      {"DT_E1XXX003_DSOTTOSCR", QDate(2020, 1, 10)},
                                      {"DT_E1XXX004_DINIZIO", QDate(2024, 3, 1)},
                                      {"DT_E1XXX005_DFINE", QDate(2024, 3, 20)},
                                      {"DT_E1XXX009_DFINE_CONTRIBUZIONI", QDate(2024, 3, 20)},
                                      {"NP_E1XXX010_MOTIVO_SOSPENSIONE", c.sospensione},
                                      {"NP_E1XXX011_TIPO_CESSAZIONE", c.cessazione},
                                      {"VP_E1XXX014_CONT_LAVORATORE", euro("30")}});
        {
            QFile f(file.NomeFile);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("precedente");
        }
        file.CaricaTabelle();
        try {
            file.GeneraDenunceMensili();
            EXPECT_TRUE(c.messaggio.isEmpty()) << "generated";
        } catch (const EUqError &e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), c.messaggio);
            EXPECT_EQ(file.PersonaCorrente(), QStringLiteral("FERRI GIANNI - CF: ") + c.cf);
            EXPECT_EQ(Scritto(), QByteArray("precedente"));
            continue;
        }
        QDomDocument dom;
        ASSERT_TRUE(dom.setContent(Scritto()));
        const QDomElement cessazione = dom.elementsByTagName(QStringLiteral("Cessazione")).at(0).toElement();
        EXPECT_EQ(testo(cessazione, QStringLiteral("DataCessazione")), QStringLiteral("2024-03-20"));
        EXPECT_EQ(testo(cessazione, QStringLiteral("CodSospensione")),
                  *c.sospensione ? QLatin1String(c.sospensione) : QLatin1String("<assente>"));
        EXPECT_EQ(testo(cessazione, QStringLiteral("CodCessazione")),
                  *c.cessazione ? QLatin1String(c.cessazione) : QLatin1String("<assente>"));
    }
}

TEST(ZepFileListaPosPA, EmptyChildIsRemovedAndTheInpdapAmountIsReadStrictly)
{
    uniemens::IXMLDenunceMensili radice = uniemens::CreaDocumentoDenunceMensili();
    uniemens::IXMLAzienda azienda = radice.GetAzienda().Add();
    const xmlbinding::Node lista = azienda.GetListaPosPA();
    TZepFile::RimuoviSeVuoto(azienda, QStringLiteral("ListaPosPA"));
    EXPECT_TRUE(azienda.FindChild(QStringLiteral("ListaPosPA")).IsNull());
    EXPECT_FALSE(lista.IsInDocument());
    // An element holding only an attribute is not empty.
    azienda.GetListaPosPA().SetTipoListaPosPA(QStringLiteral("1"));
    TZepFile::RimuoviSeVuoto(azienda, QStringLiteral("ListaPosPA"));
    EXPECT_FALSE(azienda.FindChild(QStringLiteral("ListaPosPA")).IsNull());
    EXPECT_THROW(TZepFile::RimuoviSeVuoto(azienda, QStringLiteral("ListaCollaboratori")), platform::EAssertionFailed);

    EXPECT_EQ(TZepFile::Importo(TZepFile::ImportoBoxInpdap(QStringLiteral("1234.5"))), QStringLiteral("1234.50"));
    EXPECT_EQ(TZepFile::Importo(TZepFile::ImportoBoxInpdap(QStringLiteral(" 7,05 "))), QStringLiteral("7.05"));
    for (const char *sbagliato : {"1.234,50", "1,2,3", "12.345", "abc", "-5"})
        EXPECT_THROW(TZepFile::ImportoBoxInpdap(QString::fromLatin1(sbagliato)), EUqError) << sbagliato;
    EXPECT_EQ(TZepFile::Millesimi(platform::Currency::fromString(QStringLiteral("33.3335"))), 33333);
}
