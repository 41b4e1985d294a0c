// The UniEmens file generator without a display, on a real archive: a file
// from tables holding each kind of row, read back and checked against the
// element tree of the binding description (children in its order, nothing
// where the tree does not allow it) and against the values prescribed; the
// messages that stop a generation; the person selection; the run of "Crea
// file telematico" with its questions; the configuration.
#include "ZepDocumentoSupport.h"
#include "ZepFileSupport.h"

#include "WunUUtil.h"
#include "ZepCTabellaDenuncia.h"

#include "Field.h"

#include <QDir>
#include <QDomDocument>
#include <QLocale>

using namespace filetest;
using documentotest::controllaDocumento;

namespace {

// ---- reading values back ----

QDomDocument documento(const QByteArray &xml)
{
    QDomDocument dom;
    EXPECT_TRUE(dom.setContent(xml));
    return dom;
}

// The text of the element at the slash-separated path under `e`.
QString testo(const QDomElement &e, const QString &percorso)
{
    QDomElement n = e;
    for (const QString &parte : percorso.split(QLatin1Char('/')))
        n = n.firstChildElement(parte);
    return n.isNull() ? QStringLiteral("<assente>") : n.text();
}

QDomElement denuncia(const QDomDocument &dom, const QString &cf)
{
    const QDomNodeList tutte = dom.elementsByTagName(QStringLiteral("DenunciaIndividuale"));
    for (int i = 0; i < tutte.count(); ++i)
        if (testo(tutte.at(i).toElement(), QStringLiteral("CFLavoratore")) == cf)
            return tutte.at(i).toElement();
    ADD_FAILURE() << "no declaration of " << cf.toStdString();
    return {};
}

// The texts of the elements `nome` (or the attribute "@nome") of each
// item `voce` under `e`.
QStringList voci(const QDomElement &e, const QString &voce, const QString &nome)
{
    QStringList out;
    for (QDomElement v = e.firstChildElement(voce); !v.isNull(); v = v.nextSiblingElement(voce))
        out << (nome.startsWith(QLatin1Char('@')) ? v.attribute(nome.mid(1)) : testo(v, nome));
    return out;
}

class GeneraTest : public FileTest {
protected:
    // Every kind of row of March 2024.
    void TabelleComplete()
    {
        Dipendente(
            con(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"), {{"Contributo", euro("412.18")},
                                                                     {"TipoLavStat", "NM00"},
                                                                     {"TipoCopertura_2", "X"},
                                                                     {"IdSettimana_2", 10},
                                                                     {"TipoCopertura_5", "X"},
                                                                     {"IdSettimana_5", 13},
                                                                     {"TipoCopertura_6", "2"},
                                                                     {"IdSettimana_6", 14},
                                                                     {"GIORNI", "SSNNSSSSSNNSSSSSNNSSSSSNNSSSSSN"},
                                                                     {"RispettoMinimale", "S"},
                                                                     {"SettimaneUtili", 4},
                                                                     {"TipoANF", "11"},
                                                                     {"NumANF", 3},
                                                                     {"ClasseANF", 2},
                                                                     {"EsoneroIVSImporto", euro("75")},
                                                                     {"EsoneroIVSCodiceCausale", "L025"},
                                                                     {"EsoneroIVSBaseRif", euro("1000")}}));
        Dipendente(con(dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA"), {{"Qualifica2", "P"},
                                                                            {"PercPartTime", 50},
                                                                            {"OreContribuite", 80},
                                                                            {"Cittadinanza", "0"},
                                                                            {"UnitaOperativa", "0"},
                                                                            {"TipoContribuzione", platform::Value()}}));
        Dipendente(con(dipendente("RMNPLA75C12H501I", "ROMANO", "PAOLO"),
                       {{"Qualifica2", "V"}, {"PercPartTime", 60}, {"GIORNI", "S  SN"}}));
        Dipendente(con(dipendente("GLLMRC70B10A944B", "GALLI", "MARCO"), {{"GiornoAssunzione", 4},
                                                                          {"TipoAssunzione", "1A"},
                                                                          {"GiornoCessazione", 20},
                                                                          {"TipoCessazione", "1B"},
                                                                          {"EsoneroIVS13Importo", euro("12.5")},
                                                                          {"EsoneroIVS13CodiceCausale", "L095"},
                                                                          {"EsoneroIVS13BaseRif", euro("300")}}));
        Dipendente(con(dipendente("FRRGLI80A41F205Z", "FERRARI", "GIULIA"), {{"Elimina", "S"}}));
        Dipendente(dipendente("CLMSRA88D45L219T", "COLOMBO", "SARA", "7654321098"));
        Fpls(con(iscrittoFpls("VRDGPP80A01H501U", "VERDI", "GIUSEPPE"), {{"ImponibileCtrAgg", euro("1001")},
                                                                         {"ContribAggCorrente", euro("10.01")},
                                                                         {"ImpEccMassSpet", euro("200")},
                                                                         {"ContrEccMassSpet", euro("20")},
                                                                         {"TipoRapportoLav", "01"},
                                                                         {"CodiceQualifica", "012"}}));
        Collaboratore(con(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"),
                          {{"ImpAgevolazione", euro("300")}, {"TipoAgevolazione", "04"}}));
        Collaboratore(con(collaboratore("CNTNNA82B41H501G", "CONTI", "ANNA"), {{"ImpAgevolazione", euro("0")},
                                                                               {"TipoAgevolazione", "04"},
                                                                               {"CodiceAttivita", platform::Value()},
                                                                               {"AltraAss", "001"},
                                                                               {"CodCalamita", "C001"}}));
    }
};

} // namespace

TEST_F(GeneraTest, EveryKindOfRowStandsWhereTheTreeAllowsIt)
{
    TabelleComplete();
    // Amounts keep "." whatever the locale.
    const QLocale locale;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Genera();
    QLocale::setDefault(locale);
    const QByteArray xml = Scritto();
    controllaDocumento(xml);
    const QDomDocument dom = documento(xml);
    const QDomElement radice = dom.documentElement();

    EXPECT_EQ(testo(radice, QStringLiteral("DatiMittente/CFSoftwarehouse")), QStringLiteral("09876543210"));
    const QDomElement azienda = radice.firstChildElement(QStringLiteral("Azienda"));
    EXPECT_EQ(voci(azienda, QStringLiteral("PosContributiva"), QStringLiteral("Matricola")),
              (QStringList{"1234567890", "7654321098"}));
    EXPECT_EQ(voci(azienda, QStringLiteral("PosContributiva"), QStringLiteral("@Composizione")),
              (QStringList{"CP", "CP"}));
    EXPECT_EQ(voci(azienda.lastChildElement(QStringLiteral("PosContributiva")), QStringLiteral("DenunciaIndividuale"),
                   QStringLiteral("Cognome")),
              QStringList{"COLOMBO"});
    const QDomElement prima = azienda.firstChildElement(QStringLiteral("PosContributiva"));
    EXPECT_EQ(voci(prima, QStringLiteral("DenunciaIndividuale"), QStringLiteral("CFLavoratore")),
              (QStringList{"BNCMRA85M41F205D", "FRRGLI80A41F205Z", "GLLMRC70B10A944B", "RMNPLA75C12H501I",
                           "SPSLCU90A01F839P", "VRDGPP80A01H501U"}));

    // The full-time worker: head, weeks marked "X" only, days, the
    // exemption of 2024 ("N" and the base in BaseRif), the family unit.
    const QDomElement bianchi = denuncia(dom, QStringLiteral("BNCMRA85M41F205D"));
    EXPECT_EQ(testo(bianchi, QStringLiteral("RegimePost95")), QStringLiteral("S"));
    const QDomElement datiBianchi = bianchi.firstChildElement(QStringLiteral("DatiRetributivi"));
    EXPECT_EQ(testo(datiBianchi, QStringLiteral("Contributo")), QStringLiteral("412.18"));
    EXPECT_EQ(testo(datiBianchi, QStringLiteral("Imponibile")), QStringLiteral("2000.00"));
    EXPECT_EQ(voci(datiBianchi, QStringLiteral("Settimana"), QStringLiteral("IdSettimana")), (QStringList{"10", "13"}));
    EXPECT_EQ(voci(datiBianchi, QStringLiteral("Giorno"), QStringLiteral("@GG")).size(), 31);
    EXPECT_EQ(voci(datiBianchi, QStringLiteral("Giorno"), QStringLiteral("Lavorato")).mid(0, 3),
              (QStringList{"S", "S", "N"}));
    EXPECT_EQ(testo(datiBianchi, QStringLiteral("RispettoMinimale")), QStringLiteral("S"));
    const QDomElement causale = datiBianchi.firstChildElement(QStringLiteral("InfoAggCausaliContrib"));
    EXPECT_EQ(testo(causale, QStringLiteral("CodiceCausale")), QStringLiteral("L025"));
    EXPECT_EQ(testo(causale, QStringLiteral("IdentMotivoUtilizzoCausale")), QStringLiteral("N"));
    EXPECT_EQ(testo(causale, QStringLiteral("BaseRif")), QStringLiteral("1000"));
    EXPECT_EQ(testo(causale, QStringLiteral("ImportoAnnoMeseRif")), QStringLiteral("75.00"));
    EXPECT_EQ(testo(bianchi, QStringLiteral("ANF/NumANF")), QStringLiteral("3"));

    // Part time: horizontal gives PercPartTime only, vertical also the
    // month's; hours instead of days; the defaults of empty codes.
    const QDomElement esposito = denuncia(dom, QStringLiteral("SPSLCU90A01F839P"));
    EXPECT_EQ(testo(esposito, QStringLiteral("PercPartTime")), QStringLiteral("50"));
    EXPECT_EQ(testo(esposito, QStringLiteral("PercPartTimeMese")), QStringLiteral("<assente>"));
    EXPECT_EQ(testo(esposito, QStringLiteral("TipoContribuzione")), QStringLiteral("00"));
    EXPECT_EQ(testo(esposito, QStringLiteral("Cittadinanza")), QStringLiteral("000"));
    EXPECT_EQ(testo(esposito, QStringLiteral("UnitaOperativa")), QStringLiteral("0"));
    EXPECT_EQ(testo(esposito, QStringLiteral("DatiRetributivi/OreContribuite")), QStringLiteral("80"));
    EXPECT_EQ(testo(esposito, QStringLiteral("DatiRetributivi/GiorniContribuiti")), QStringLiteral("<assente>"));
    const QDomElement romano = denuncia(dom, QStringLiteral("RMNPLA75C12H501I"));
    EXPECT_EQ(testo(romano, QStringLiteral("PercPartTimeMese")), QStringLiteral("60"));
    EXPECT_EQ(voci(romano.firstChildElement(QStringLiteral("DatiRetributivi")), QStringLiteral("Giorno"),
                   QStringLiteral("@GG")),
              (QStringList{"1", "4", "5"}));

    // Hired and terminated in the month; the exemption on the thirteenth
    // month; the row marked for deletion.
    const QDomElement galli = denuncia(dom, QStringLiteral("GLLMRC70B10A944B"));
    EXPECT_EQ(testo(galli, QStringLiteral("Assunzione/GiornoAssunzione")), QStringLiteral("4"));
    EXPECT_EQ(testo(galli, QStringLiteral("Cessazione/TipoCessazione")), QStringLiteral("1B"));
    EXPECT_EQ(testo(galli, QStringLiteral("DatiRetributivi/InfoAggCausaliContrib/ImportoAnnoMeseRif")),
              QStringLiteral("12.50"));
    EXPECT_EQ(denuncia(dom, QStringLiteral("FRRGLI80A41F205Z")).attribute(QStringLiteral("Elimina")),
              QStringLiteral("S"));

    // The performing-arts worker of type SY working the 3rd to the 5th and
    // the 9th: two periods, 1001 of ordinary pay over 4 paid days shared
    // as 3 x 250.25 = 750.75 -> 751 and 250.25 -> 250.
    const QDomElement verdi = denuncia(dom, QStringLiteral("VRDGPP80A01H501U"));
    const QDomElement datiVerdi = verdi.firstChildElement(QStringLiteral("DatiRetributivi"));
    EXPECT_EQ(testo(datiVerdi, QStringLiteral("ContribuzioneAggiuntiva/Contrib1PerCento/ContribAggCorrente")),
              QStringLiteral("10.01"));
    EXPECT_EQ(voci(datiVerdi, QStringLiteral("Giorno"), QStringLiteral("@GG")), (QStringList{"3", "4", "5", "9"}));
    const QDomElement particolari = datiVerdi.firstChildElement(QStringLiteral("DatiParticolari"));
    EXPECT_EQ(testo(particolari, QStringLiteral("EccMassSportSpet/EccMassSpet/ContrSolidarietaSpet")),
              QStringLiteral("0.00"));
    EXPECT_EQ(testo(particolari, QStringLiteral("TipoLavSportSpet/CodiceQualifica")), QStringLiteral("012"));
    const QDomElement mese = particolari.firstChildElement(QStringLiteral("FondiSpeciali"))
                                 .firstChildElement(QStringLiteral("SportSpet"))
                                 .firstChildElement(QStringLiteral("DatiMeseSportSpet"));
    EXPECT_EQ(voci(mese, QStringLiteral("RetribuzioneOrdinaria"), QStringLiteral("NumGiorniLavorati")),
              (QStringList{"3", "1"}));
    EXPECT_EQ(voci(mese, QStringLiteral("RetribuzioneOrdinaria"), QStringLiteral("Periodo/DataInizio")),
              (QStringList{"2024-03-03", "2024-03-09"}));
    EXPECT_EQ(voci(mese, QStringLiteral("RetribuzioneOrdinaria"), QStringLiteral("ImpRetrOrdinaria")),
              (QStringList{"751", "250"}));

    // The company declaration of the first position: five workers (the
    // deleted row counts for nothing), three whole and two part-timers of
    // 50 and 60 ten-thousandths (4 rounded up); contributions 412.18 + 3 x
    // 183.20 + 330.33 + 10.01 + 20 = 1322.12; credits 75 + 12.50 = 87.50
    // -> 88.
    const QDomElement aziendale = prima.firstChildElement(QStringLiteral("DenunciaAziendale"));
    EXPECT_EQ(testo(aziendale, QStringLiteral("NumLavoratori")), QStringLiteral("5"));
    EXPECT_EQ(testo(aziendale, QStringLiteral("ForzaAziendale")), QStringLiteral("4"));
    EXPECT_EQ(testo(aziendale, QStringLiteral("DatiQuadraturaRetrContr/TotaleADebito")), QStringLiteral("1322"));
    EXPECT_EQ(testo(aziendale, QStringLiteral("DatiQuadraturaRetrContr/TotaleACredito")), QStringLiteral("88"));
    EXPECT_EQ(testo(aziendale, QStringLiteral("AltrePartiteACredito")), QStringLiteral("<assente>"));

    // Collaborators: a relief only where its amount is above 0.
    const QDomElement lista = azienda.firstChildElement(QStringLiteral("ListaCollaboratori"));
    EXPECT_EQ(testo(lista, QStringLiteral("CAP")), QStringLiteral("00100"));
    EXPECT_EQ(voci(lista, QStringLiteral("Collaboratore"), QStringLiteral("Agevolazione/ImpAgevolazione")),
              (QStringList{"300", "<assente>"}));
    EXPECT_EQ(voci(lista, QStringLiteral("Collaboratore"), QStringLiteral("CodiceAttivita")),
              (QStringList{"17", "<assente>"}));

    // The log, in the order of the writing.
    const QStringList &r = registro.righe;
    ASSERT_GE(r.size(), 8);
    EXPECT_EQ(r.mid(0, 6), (QStringList{"Creazione file in corso ...", "Imposta dati mittente", "",
                                        "Dati dipendenti: inizio", "", "-- Matricola INPS 1234567890: inizio ..."}));
    EXPECT_EQ(r.at(6), QStringLiteral("---- Dipendente BNCMRA85M41F205D BIANCHI MARIA F"));
    EXPECT_TRUE(r.contains(QStringLiteral("********* ELIMINATO  FRRGLI80A41F205Z FERRARI GIULIA F*********")));
    EXPECT_TRUE(r.contains(QStringLiteral("---- Collaboratore BRNLGU70A01H501R BRUNO LUIGI 11 3503")));
    EXPECT_EQ(r.last(), QStringLiteral("Dati collaboratori: fine"));
}

// The additional causes by working period: the 2022 bonus (L031 in July,
// L033 after), and the exemption causes L025, L094 and L095, which carried
// the base as their usage reason until June 2023.
TEST_F(GeneraTest, AdditionalCausesByPeriod)
{
    struct Caso {
        const char *anno, *mese;
        Riga valori;
        QStringList atteso; // CodiceCausale|IdentMotivo|AnnoMeseRif|BaseRif|ImportoAnnoMeseRif
    } casi[] = {
        // A July base that came from elsewhere (the window shows none) is
        // written; the cause goes by the month (a year of its own keeps the
        // rows of the two July cases apart).
        {"2021",
         "07",
         {{"BonusUTImporto", euro("200")}, {"BonusUTMese", 7}, {"BonusUTBaseRif", euro("1500")}},
         {"L031|N|2021-07|1500|200.00"}},
        // July's bonus without its base (the window does not show it): none
        // written.
        {"2022", "07", {{"BonusUTImporto", euro("200")}, {"BonusUTMese", 7}}, {"L031|N|2022-07|<assente>|200.00"}},
        {"2022",
         "11",
         {{"BonusUTImporto", euro("150")}, {"BonusUTMese", 11}, {"BonusUTBaseRif", euro("1200.4")}},
         {"L033|N|2022-11|1200|150.00"}},
        {"2023",
         "06",
         {{"EsoneroIVSImporto", euro("30")}, {"EsoneroIVSCodiceCausale", "L025"}, {"EsoneroIVSBaseRif", euro("1000")}},
         {"L025|1000|2023-06|<assente>|30.00"}},
        {"2023",
         "07",
         {{"EsoneroIVSImporto", euro("30")}, {"EsoneroIVSCodiceCausale", "L025"}, {"EsoneroIVSBaseRif", euro("1000")}},
         {"L025|N|2023-07|1000|30.00"}},
        {"2023",
         "05",
         {{"EsoneroIVSImporto", euro("30")},
          {"EsoneroIVSCodiceCausale", "L001"},
          {"EsoneroIVSBaseRif", euro("1000")},
          {"EsoneroIVS13Importo", euro("5")},
          {"EsoneroIVS13CodiceCausale", "L094"},
          {"EsoneroIVS13BaseRif", euro("90")}},
         {"L001|N|2023-05|1000|30.00", "L094|90|2023-05|<assente>|5.00"}},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(std::string(c.anno) + "-" + c.mese);
        Periodo(QString::fromLatin1(c.anno), QString::fromLatin1(c.mese));
        Dichiarante(dichiarante());
        Dipendente(con(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"), c.valori));
        Genera();
        const QByteArray xml = Scritto();
        controllaDocumento(xml);
        const QDomElement dati = denuncia(documento(xml), QStringLiteral("BNCMRA85M41F205D"))
                                     .firstChildElement(QStringLiteral("DatiRetributivi"));
        QStringList trovato;
        for (QDomElement i = dati.firstChildElement(QStringLiteral("InfoAggCausaliContrib")); !i.isNull();
             i = i.nextSiblingElement(QStringLiteral("InfoAggCausaliContrib"))) {
            QStringList parti;
            for (const char *n :
                 {"CodiceCausale", "IdentMotivoUtilizzoCausale", "AnnoMeseRif", "BaseRif", "ImportoAnnoMeseRif"})
                parti << testo(i, QString::fromLatin1(n));
            trovato << parti.join(QLatin1Char('|'));
        }
        EXPECT_EQ(trovato, c.atteso);
        EXPECT_EQ(testo(denuncia(documento(xml), QStringLiteral("BNCMRA85M41F205D")),
                        QStringLiteral("TipoCodiceContratto")),
                  PeriodoDenuncia() >= QStringLiteral("2022-02") ? QStringLiteral("02") : QStringLiteral("<assente>"));
    }
}

// Each check stops the generation with its message and the person being
// written, and leaves the file that was there as it was.
TEST_F(GeneraTest, EachCheckStopsTheGenerationAndKeepsThePreviousFile)
{
    const QString persona = QStringLiteral("BIANCHI MARIA - CF: BNCMRA85M41F205D");
    const QString campo = QStringLiteral("Campo non impostato: ");
    struct Caso {
        const char *nome;
        std::function<void(GeneraTest &)> prepara;
        QString messaggio;
        QString persona;
        bool ricalcola = true;
    };
    const auto dip = [](const Riga &v) {
        return [v](GeneraTest &t) { t.Dipendente(con(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"), v)); };
    };
    const auto fpls = [](const Riga &v) {
        return [v](GeneraTest &t) { t.Fpls(con(iscrittoFpls("BNCMRA85M41F205D", "BIANCHI", "MARIA"), v)); };
    };
    const Riga senzaSede = con(dichiarante(), {{"SedeINPS", " "}});
    const Riga senzaCap = con(dichiarante(), {{"CAP", platform::Value()}});
    const QList<Caso> casi = {
        {"nothing", [](GeneraTest &) {}, QStringLiteral("Nessun dato presente."), {}},
        {"sede",
         [&](GeneraTest &t) {
             t.Dichiarante(senzaSede);
             t.Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
         },
         campo + QStringLiteral("Sede INPS"),
         {}},
        {"software house",
         [](GeneraTest &t) {
             t.file.CFSoftwarehouse = QStringLiteral("0987654321X");
             t.Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
         },
         TZepFile::MsgCFSoftwarehouse.arg(QStringLiteral("0987654321X"), QStringLiteral("UniEmens.ini")),
         {}},
        // Without recomputing: the recomputation itself refuses the person.
        {"matricola", dip({{"Matricola", platform::Value()}}), QStringLiteral("Matricola INPS Azienda non impostata"),
         persona, false},
        {"anf", dip({{"TipoANF", "11"}, {"NumANF", 2}}),
         campo + QStringLiteral("I campi del nucleo familiare devono essere tutti presenti o tutti assenti"), persona},
        {"bonus", dip({{"BonusUTImporto", euro("200")}}),
         QStringLiteral("Bonus anno 2022: Mese deve essere impostato."), persona},
        {"importo", dip({{"EsoneroIVSCodiceCausale", "L025"}, {"EsoneroIVSBaseRif", euro("1000")}}),
         QStringLiteral("Esonero IVS stipendio: Importo e mese devono essere entrambi impostati."), persona},
        {"base", dip({{"EsoneroIVS13Importo", euro("10")}}),
         QStringLiteral("Esonero IVS 13ma: Imponibile Riferimento base deve essere impostato."), persona},
        // Outside July the bonus (L033) needs its base.
        {"base del bonus", dip({{"BonusUTImporto", euro("150")}, {"BonusUTMese", 11}}),
         QStringLiteral("Bonus anno 2022: Imponibile Riferimento base deve essere impostato."), persona},
        {"lavorati", fpls({{"GiorniLavorati", "   "}}),
         QStringLiteral("In presenza di giorni retribuiti devono essere impostati i giorni lavorati"), persona},
        {"retribuiti", fpls({{"GiorniRetribuiti", 0}}),
         QStringLiteral("Giorni retribuiti devono essere maggiori di zero"), persona},
        {"retribuzione", fpls({{"RetribTeorica", platform::Value()}}), campo + QStringLiteral("Retribuzione ordinaria"),
         persona},
        {"31 aprile",
         [](GeneraTest &t) {
             t.Periodo(QString::number(t.store.Year()), QStringLiteral("04"));
             t.Dichiarante(dichiarante());
             t.Fpls(con(iscrittoFpls("BNCMRA85M41F205D", "BIANCHI", "MARIA"),
                        {{"GiorniLavorati", QString(31, QLatin1Char('S'))}}));
         },
         QStringLiteral("Il mese %1-04 non ha il giorno 31").arg(2012 + 12), persona},
        {"eccedente", fpls({{"ContrEccMassSpet", euro("20")}}),
         campo + QStringLiteral("Imponibile eccedente il massimale"), persona},
        {"qualifica", fpls({{"TipoRapportoLav", "01"}}), campo + QStringLiteral("Codice qualifica"), persona},
        {"cap",
         [&](GeneraTest &t) {
             t.Dichiarante(senzaCap);
             t.Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
         },
         QStringLiteral("Dichiarante: \"CAP sede di lavoro\" o \"Codice ISTAT/Ateco\" non impostato."),
         {}},
        {"dal",
         [](GeneraTest &t) {
             t.Collaboratore(con(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"), {{"Dal", platform::Value()}}));
         },
         campo + QStringLiteral("Dal"), QStringLiteral("BRUNO LUIGI - CF: BRNLGU70A01H501R")},
        {"al",
         [](GeneraTest &t) {
             t.Collaboratore(con(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"), {{"Al", platform::Value()}}));
         },
         campo + QStringLiteral("Al"), QStringLiteral("BRUNO LUIGI - CF: BRNLGU70A01H501R")},
        // Rows that came from elsewhere are checked as the windows check
        // them, before anything is written.
        {"codice fiscale", dip({{"CFLavoratore", "BNCMRA85M41F205"}}),
         QStringLiteral("Campo \"CFLavoratore\": ")
             + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido.arg(QStringLiteral("BNCMRA85M41F205")),
         QStringLiteral("BIANCHI MARIA - CF: BNCMRA85M41F205")},
        {"emoji", dip({{"Nome", "MARIA 😀"}}),
         QStringLiteral("Campo \"Nome\": ")
             + TZepTabellaDenuncia::MsgCarattereNonAmmesso.arg(QStringLiteral("😀"), QStringLiteral("U+1F600")),
         QStringLiteral("BIANCHI MARIA 😀 - CF: BNCMRA85M41F205D")},
        {"dichiarante",
         [](GeneraTest &t) {
             t.Dichiarante(con(dichiarante(), {{"CFPersonaMittente", "RSSMRA60A01H501"}}));
             t.Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
         },
         QStringLiteral("Campo \"CFPersonaMittente\": ")
             + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido.arg(QStringLiteral("RSSMRA60A01H501")),
         TZepFile::MsgDichiarante},
        // The fixed forms too: the CAP that the file would carry seven times.
        {"cap di lettere",
         [](GeneraTest &t) {
             t.Dichiarante(con(dichiarante(), {{"CAP", "ABCDE"}}));
             t.Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
         },
         QStringLiteral("Campo \"CAP\": \"ABCDE\" non è un CAP: servono 5 cifre"), TZepFile::MsgDichiarante},
        {"mese", dip({{"BonusUTMese", 13}}),
         QStringLiteral("Campo \"BonusUTMese\": \"13\" non è un mese: servono le cifre di un mese da 01 a 12"),
         persona},
        // A collaborator's amounts are whole euros: cents are not rounded away.
        {"euro interi",
         [](GeneraTest &t) {
             t.Collaboratore(
                 con(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"), {{"Imponibile", euro("1500.50")}}));
         },
         QStringLiteral("Campo \"Imponibile\": l'importo 1500.50 va indicato in euro interi, senza centesimi"),
         QStringLiteral("BRUNO LUIGI - CF: BRNLGU70A01H501R")},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(c.nome);
        // March of a year of its own for each case.
        Periodo(QString::number(2012 + int(&c - casi.data())), QStringLiteral("03"));
        Dichiarante(dichiarante());
        file.CFSoftwarehouse = QStringLiteral("09876543210");
        {
            QFile vecchio(file.NomeFile);
            ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
            vecchio.write("denuncia precedente");
        }
        c.prepara(*this);
        QString rifiuto;
        try {
            file.CaricaTabelle();
            if (c.ricalcola)
                file.RicalcolaDenunciaAziendale();
            file.CaricaTabelle();
            file.GeneraDenunceMensili();
        } catch (const platform::Exception &e) {
            rifiuto = e.message();
        }
        EXPECT_EQ(rifiuto, c.messaggio);
        EXPECT_EQ(file.PersonaCorrente(), c.persona);
        EXPECT_EQ(Scritto(), QByteArray("denuncia precedente"));
    }
}

// The selection list and "su Prenotazione": the persons not chosen are
// dropped from the tables in memory only; with none chosen everybody is
// written; every position is "FC" either way.
TEST_F(GeneraTest, OnlyThePersonsChosenAreWrittenAndTheStoredTablesStay)
{
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    Dipendente(con(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"), {{"Qualifica2", "P"}}));
    Dipendente(dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA", "7654321098"));
    Fpls(iscrittoFpls("VRDGPP80A01H501U", "VERDI", "GIUSEPPE"));
    Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
    Collaboratore(collaboratore("CNTNNA82B41H501G", "CONTI", "ANNA"));
    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    file.CaricaTabelle();
    file.PreparaPrenota();
    DataSet &p = file.cdsPrenota;
    QStringList elenco;
    for (p.first(); !p.eof(); p.next())
        elenco << QStringList{p.fieldByName(QStringLiteral("Tipo")).asString(),
                              p.fieldByName(QStringLiteral("CF")).asString(),
                              p.fieldByName(QStringLiteral("Matricola")).asString(),
                              p.fieldByName(QStringLiteral("Qualifica2")).asString()}
                      .join(QLatin1Char(' '));
    EXPECT_EQ(elenco, (QStringList{"C BRNLGU70A01H501R  ", "C CNTNNA82B41H501G  ", "D BNCMRA85M41F205D 1234567890 F",
                                   "D BNCMRA85M41F205D 1234567890 P", "D SPSLCU90A01F839P 7654321098 F",
                                   "F VRDGPP80A01H501U 1234567890 F"}));

    // Chosen: the part-time row of BIANCHI, the performing-arts worker and
    // CONTI.
    const QList<platform::Bookmark> righe = p.rowBookmarks();
    file.Prenotazione = true;
    file.EliminaNonSelezionati({righe.at(1), righe.at(3), righe.at(5)});
    file.GeneraDenunceMensili();
    QDomDocument dom = documento(Scritto());
    const QDomElement azienda = dom.documentElement().firstChildElement(QStringLiteral("Azienda"));
    EXPECT_EQ(voci(azienda, QStringLiteral("PosContributiva"), QStringLiteral("@Composizione")), QStringList{"FC"});
    const QDomElement posizione = azienda.firstChildElement(QStringLiteral("PosContributiva"));
    EXPECT_EQ(voci(posizione, QStringLiteral("DenunciaIndividuale"), QStringLiteral("Qualifica2")),
              (QStringList{"P", "F"}));
    EXPECT_EQ(voci(azienda.firstChildElement(QStringLiteral("ListaCollaboratori")), QStringLiteral("Collaboratore"),
                   QStringLiteral("Cognome")),
              QStringList{"CONTI"});
    EXPECT_EQ(Colonna(QStringLiteral("TEMD_DIPENDENTI"), QStringLiteral("CFLavoratore")).size(), 3);
    EXPECT_EQ(Colonna(QStringLiteral("TEMC_COLLABORATORI"), QStringLiteral("CFCollaboratore")).size(), 2);

    // A reload brings everybody back; nothing chosen keeps everybody.
    file.CaricaTabelle();
    file.EliminaNonSelezionati({});
    file.GeneraDenunceMensili();
    dom = documento(Scritto());
    EXPECT_EQ(dom.elementsByTagName(QStringLiteral("DenunciaIndividuale")).count(), 4);
    EXPECT_EQ(voci(dom.documentElement().firstChildElement(QStringLiteral("Azienda")),
                   QStringLiteral("PosContributiva"), QStringLiteral("@Composizione")),
              (QStringList{"FC", "FC"}));
}

// "Crea file telematico": the folder made, the dialog's name, the
// question before an existing file is replaced, the messages and the log.
TEST_F(GeneraTest, CreatingTheFileAsksAndReports)
{
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    file.CaricaTabelle();
    const QByteArray programmi = qgetenv("ProgramFiles");
    qputenv("ProgramFiles", cartella.filePath(QStringLiteral("Programmi")).toUtf8());
    const QString attesa = cartella.filePath(QStringLiteral("Programmi/INPS/INPS uniEMens individuale/Denunce"));
    QString cartellaData, nomeDato;
    QString scelta;
    const auto scegli = [&](const QString &c, const QString &n) {
        cartellaData = c;
        nomeDato = n;
        return scelta;
    };

    // Cancelled: the error box ends with the cancellation; nothing written.
    registro.righe.clear();
    EXPECT_FALSE(file.CreaFile(scegli));
    EXPECT_EQ(cartellaData, attesa);
    EXPECT_TRUE(QFileInfo(attesa).isDir());
    EXPECT_EQ(nomeDato, QStringLiteral("uniEMens2024-03.Xml"));
    EXPECT_EQ(services->messageTexts(),
              QStringList{TZepFile::TestoErrore(QString(), QStringLiteral("Operazione annullata dall'utente."))});
    EXPECT_TRUE(services->messageTexts().at(0).endsWith(QStringLiteral("\n***  Operazione annullata dall'utente.")));
    EXPECT_EQ(registro.righe, QStringList{"***  Operazione annullata dall'utente."});

    // Written, with the success message and the last log lines.
    scelta = attesa + QStringLiteral("/uniEMens2024-03.Xml");
    services->clear();
    EXPECT_TRUE(file.CreaFile(scegli));
    EXPECT_EQ(file.NomeFile, scelta);
    EXPECT_TRUE(QFileInfo::exists(scelta));
    EXPECT_EQ(services->messageTexts(), QStringList{"Operazione terminata con successo."});
    EXPECT_EQ(registro.righe.mid(registro.righe.size() - 2), (QStringList{"", "Operazione terminata con successo."}));

    // An existing file: No keeps it, Yes replaces it.
    {
        QFile f(scelta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precedente");
    }
    services->clear();
    services->replyToMessages({platform::No});
    EXPECT_FALSE(file.CreaFile(scegli));
    EXPECT_EQ(services->messages().at(0).text, TZepFile::MsgSovrascrivere.arg(QDir::toNativeSeparators(scelta)));
    EXPECT_EQ(services->messages().at(0).defaultButton, platform::No);
    EXPECT_EQ(Scritto(), QByteArray("precedente"));
    services->replyToMessages({platform::Yes});
    EXPECT_TRUE(file.CreaFile(scegli));
    EXPECT_TRUE(Scritto().startsWith("<?xml"));

    // A failure names the person being written.
    Fpls(con(iscrittoFpls("VRDGPP80A01H501U", "VERDI", "GIUSEPPE"), {{"GiorniRetribuiti", 0}}));
    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    file.CaricaTabelle();
    services->clear();
    services->replyToMessages({platform::Yes});
    EXPECT_FALSE(file.CreaFile(scegli));
    EXPECT_EQ(services->messageTexts().last(),
              QStringLiteral(
                  "Errore nella generazione del file, operazione non conclusasi con successo\n\n"
                  "VERDI GIUSEPPE - CF: VRDGPP80A01H501U\n***  Giorni retribuiti devono essere maggiori di zero"));
    EXPECT_TRUE(Scritto().startsWith("<?xml"));

    // Without the variable the user's home folder stands in for the
    // program files.
    qunsetenv("ProgramFiles");
    EXPECT_EQ(TZepFile::CartellaDefault(),
              QDir::homePath() + QStringLiteral("/INPS/INPS uniEMens individuale/Denunce"));
    if (!programmi.isNull())
        qputenv("ProgramFiles", programmi);
}

// The software house's code: a setting of the etc folder.
TEST(ZepFile, TheSoftwareHouseCodeIsASettingOfTheEtcFolder)
{
    QTemporaryDir base;
    const QString programma = TWunUtil::CartellaProgramma();
    TWunUtil::SetCartellaProgramma(base.filePath(QStringLiteral("bin")));
    EXPECT_EQ(TZepFile::CFSoftwarehouseConfigurato(), QString());
    ASSERT_TRUE(QDir().mkpath(base.filePath(QStringLiteral("ETC/wun"))));
    QFile ini(base.filePath(QStringLiteral("ETC/wun/uniemens.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("; the code of the software house\n[FileTelematico]\nCFSoftwarehouse = 01234567890 \n");
    ini.close();
    EXPECT_EQ(TZepFile::CFSoftwarehouseConfigurato(), QStringLiteral("01234567890"));
    TWunUtil::SetCartellaProgramma(programma);
}
