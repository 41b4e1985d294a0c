// The declaration print's public-sector persons on a real embedded archive,
// printed to PDF and read back with poppler's pdftotext: the persons by
// surname, each with its own sections and paying entities in order, a
// person without sections with none, rows of nobody nowhere; each kind of
// figure of the declaration and the lists in its one form.
#include "ZepDatiDenunciaSupport.h"

#include "Field.h"
#include "TovUCdsUtil.h"
#include "ZepCReportPubblico.h"
#include "zepCRepBase.h"
#include "zepCReport.h"
#include "zepUStampa.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace dentest;
using platform::Currency;

namespace {

Value euro(const char *testo)
{
    return Value(Currency::fromString(QString::fromLatin1(testo)));
}

class ZepStampaPubblico : public DatiDenunciaTest {
protected:
    // A person row saved through the store; its registry id.
    int Iscritto(const char *cf, const char *cognome, const char *nome)
    {
        DataSet d0;
        store.Load(d0, QStringLiteral("TD0_ANAG"));
        d0.append();
        d0.fieldByName(QStringLiteral("CF_D0001001_CODFIS")).setAsString(QString::fromLatin1(cf));
        d0.fieldByName(QStringLiteral("AN_D0001002_COGNOME")).setAsString(QString::fromLatin1(cognome));
        d0.fieldByName(QStringLiteral("AN_D0001003_NOME")).setAsString(QString::fromLatin1(nome));
        d0.post();
        store.Save(d0, QStringLiteral("TD0_ANAG"));
        return d0.fieldByName(QStringLiteral("IAFIID")).asInteger();
    }
    void E0(int id, int ordine, int dal, int al, const char *imponibile)
    {
        Aggiungi(QStringLiteral("TE0_RETR"), {{QStringLiteral("IAFIID"), id},
                                              {QStringLiteral("ORDINE"), ordine},
                                              {QStringLiteral("DT_E0XXX001_DINIZIO"), QDate(2024, 3, dal)},
                                              {QStringLiteral("DT_E0XXX002_DFINE"), QDate(2024, 3, al)},
                                              {QStringLiteral("NP_E0XXX003_PENS"), QStringLiteral("1")},
                                              {QStringLiteral("VP_E0XXX032_IMPPENS"), euro(imponibile)}});
    }
    void Ente(const char *tabella, int id, int ordine, const char *imponibile)
    {
        Aggiungi(QString::fromLatin1(tabella), {{QStringLiteral("IAFIID"), id},
                                                {QStringLiteral("ORDINE"), ordine},
                                                {QStringLiteral("TipoContributo"), QStringLiteral("1")},
                                                {QStringLiteral("CFAzienda"), QStringLiteral("80012345678")},
                                                {QStringLiteral("Imponibile"), euro(imponibile)}});
    }
    QString FilePeriodo()
    {
        DataSet ds;
        ds.setFieldDefs({{QStringLiteral("SEAMANNOFIN"), platform::FieldType::String, 4},
                         {QStringLiteral("SEAMMESE"), platform::FieldType::String, 2}});
        ds.createDataSet();
        ds.appendRecord({QStringLiteral("2024"), QStringLiteral("03")});
        const QString file = m_dir.filePath(QStringLiteral("TEAM_ANNOMESE.cds"));
        TTovCds::SaveToFile(ds, file);
        return file;
    }
    // The print as laid out on its PDF pages, ligatures read as their
    // letters.
    QString Pdf(const TZepStampa &stampa, const QString &nome)
    {
        const QString pdf = m_dir.filePath(nome);
        EXPECT_GT(TZepStampaRender::Pdf(stampa, pdf), 0);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(pdftotext.waitForFinished(60000));
        EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ZepStampaPubblico, EachPersonPrintsItsOwnSectionsInOrderAndNoOneElses)
{
    const int verdi = Iscritto("VRDLGU60A01H501X", "VERDI", "LUIGI");
    Iscritto("BNCNNA70A41H501Y", "BIANCHI", "ANNA");
    // Entered out of date order; the paying entity belongs to the second.
    E0(verdi, 1, 16, 31, "1111.11");
    E0(verdi, 2, 1, 15, "2222.22");
    Ente("TEV_ENTEVERSANTEE0", verdi, 2, "333.33");
    Ente("TEV_ENTEVERSANTEE0", verdi, 1, "444.44");
    Aggiungi(QStringLiteral("TV1_RETR"), {{QStringLiteral("IAFIID"), verdi},
                                          {QStringLiteral("ORDINE"), 3},
                                          {QStringLiteral("NP_V1XXX000_CAUSVAR"), QStringLiteral("7")},
                                          {QStringLiteral("DT_V1XXX001_DINIZIO"), QDate(2023, 11, 1)},
                                          {QStringLiteral("DT_V1XXX002_DFINE"), QDate(2023, 11, 30)},
                                          {QStringLiteral("VN_V1XXX032_IMPPENS"), euro("555.55")}});
    Ente("TEV_ENTEVERSANTEV1", verdi, 3, "666.66");
    Aggiungi(QStringLiteral("TE1_FONDIPENSIONE"),
             {{QStringLiteral("IAFIID"), verdi}, {QStringLiteral("NP_E1XXX001_COD_FONDO"), QStringLiteral("2145")}});
    // Rows of nobody: a registry id without a person, and none at all.
    E0(987654, 4, 1, 31, "777.77");
    Aggiungi(QStringLiteral("TE1_FONDIPENSIONE"), {{QStringLiteral("NP_E1XXX001_COD_FONDO"), QStringLiteral("9876")}});

    TZepReport report(store, TZepDenuncia::UniEmens, std::make_unique<TZepReportPubblico>());
    report.Carica(FilePeriodo());
    const TZepStampa stampa = report.Stampa();
    report.Chiudi();
    const QString testo = Pdf(stampa, QStringLiteral("denuncia.pdf"));

    const qsizetype sezione = testo.indexOf(QStringLiteral("Iscritti ex DMA (INPDAP)"));
    const qsizetype bianchi = testo.indexOf(QStringLiteral("BIANCHI ANNA - BNCNNA70A41H501Y"));
    const qsizetype verdiAt = testo.indexOf(QStringLiteral("VERDI LUIGI - VRDLGU60A01H501X"));
    ASSERT_GE(sezione, 0) << testo.toStdString();
    ASSERT_GT(bianchi, sezione);
    ASSERT_GT(verdiAt, bianchi);
    const QString soloBianchi = testo.mid(bianchi, verdiAt - bianchi);
    EXPECT_TRUE(soloBianchi.contains(QRegularExpression(QStringLiteral("Quadri del mese:\\s+nessuno"))));
    EXPECT_FALSE(soloBianchi.contains(QStringLiteral("Quadro")));
    const QString soloVerdi = testo.mid(verdiAt);

    // In the order of the sections, the periods by start date, each paying
    // entity after its own period's.
    QList<qsizetype> posti;
    for (const char *atteso :
         {"Quadro E0", "01/03/2024", "2.222,22", "16/03/2024", "1.111,11", "enti versanti", "01/03/2024", "333,33",
          "16/03/2024", "444,44", "Quadro V1", "555,55", "666,66", "Quadro E1", "2145"}) {
        const qsizetype p = soloVerdi.indexOf(QString::fromLatin1(atteso), posti.isEmpty() ? 0 : posti.last());
        EXPECT_GE(p, 0) << atteso;
        posti << qMax(p, posti.isEmpty() ? qsizetype(0) : posti.last());
    }
    EXPECT_FALSE(testo.contains(QStringLiteral("777,77")));
    EXPECT_FALSE(testo.contains(QStringLiteral("9876")));
}

// One form for each kind of figure, in rows and totals alike: amounts
// "1.234,56" (the company declaration's whole euros too), rates "35,03 %"
// (a collaborator's and a part time in hundredths, a pension fund's in
// percent), days as integers, a figure the row lacks as the zero of its
// total; the collaborator's relief with its type.
TEST_F(ZepStampaPubblico, EachKindOfFigurePrintsInOneFormInRowsAndTotals)
{
    const auto collaboratore = [this](const char *cf, const char *cognome, const char *imponibile, int aliquota,
                                      const char *agevolazione) {
        QList<QPair<QString, Value>> valori{{QStringLiteral("CFCollaboratore"), QString::fromLatin1(cf)},
                                            {QStringLiteral("Cognome"), QString::fromLatin1(cognome)},
                                            {QStringLiteral("Imponibile"), euro(imponibile)},
                                            {QStringLiteral("Aliquota"), aliquota},
                                            {QStringLiteral("AnnoMeseDenuncia"), PeriodoDenuncia()}};
        if (agevolazione)
            valori << qMakePair(QStringLiteral("ImpAgevolazione"), euro(agevolazione))
                   << qMakePair(QStringLiteral("TipoAgevolazione"), Value(QStringLiteral("04")));
        Aggiungi(QStringLiteral("TEMC_COLLABORATORI"), valori);
    };
    collaboratore("DDDDDD00A01H501D", "D'ANGELO", "2470", 3503, "288");
    collaboratore("EEEEEE00A01H501E", "ESPOSITO", "1140", 3272, nullptr);
    // No credit, no contribution, no paid days: the rows lack them.
    Aggiungi(QStringLiteral("TEMA_DENAZIENDALE"), {{QStringLiteral("Matricola"), QStringLiteral("7777777777")},
                                                   {QStringLiteral("NumLavoratori"), 2},
                                                   {QStringLiteral("NumDenIndiv"), 2},
                                                   {QStringLiteral("ForzaAziendale"), 2},
                                                   {QStringLiteral("TotaleADebito"), 49838}});
    Aggiungi(QStringLiteral("TEMD_DIPENDENTI"), {{QStringLiteral("CFLavoratore"), QStringLiteral("AAAAAA00A01H501A")},
                                                 {QStringLiteral("Cognome"), QStringLiteral("ALBERTI")},
                                                 {QStringLiteral("Matricola"), QStringLiteral("7777777777")},
                                                 {QStringLiteral("Imponibile"), euro("1234.56")},
                                                 {QStringLiteral("PercPartTime"), 5000},
                                                 {QStringLiteral("AnnoMeseDenuncia"), PeriodoDenuncia()}});
    Aggiungi(QStringLiteral("TE1_FONDIPENSIONE"),
             {{QStringLiteral("IAFIID"), Iscritto("VRDLGU60A01H501X", "VERDI", "LUIGI")},
              {QStringLiteral("NP_E1XXX001_COD_FONDO"), QStringLiteral("2145")},
              {QStringLiteral("PC_E1XXX006_PERC_LAVORATORE"), euro("1.5")},
              {QStringLiteral("PC_E1XXX007_PERC_CARICO_DATORE"), euro("1")},
              {QStringLiteral("VP_E1XXX014_CONT_LAVORATORE"), euro("20.57")}});

    TZepReport report(store, TZepDenuncia::UniEmens, std::make_unique<TZepReportPubblico>());
    report.Carica(FilePeriodo());
    const TZepStampa denuncia = report.Stampa();
    report.Chiudi();
    TzepRepDip dip(store, TZepDenuncia::UniEmens);
    TzepRepColl coll(store, TZepDenuncia::UniEmens);
    for (TzepRepBase *r : {static_cast<TzepRepBase *>(&dip), static_cast<TzepRepBase *>(&coll)}) {
        r->Carica();
        r->Mese = 3;
        r->Scegli({});
    }
    const QMap<QString, QString> stampe{{QStringLiteral("Denuncia"), Pdf(denuncia, QStringLiteral("denuncia.pdf"))},
                                        {QStringLiteral("Dipendenti"), Pdf(dip.Stampa(), QStringLiteral("dip.pdf"))},
                                        {QStringLiteral("Collaboratori"),
                                         Pdf(coll.Stampa(), QStringLiteral("coll.pdf"))}};

    struct Caso {
        const char *stampa;
        const char *riga; // the first line of the print that matches, its blanks collapsed
        const char *atteso;
    };
    const Caso casi[] = {
        {"Denuncia", "^DDDDDD00A01H501D ", "35,03 % 2.470,00 288,00 04"},
        {"Denuncia", "^EEEEEE00A01H501E ", "32,72 % 1.140,00 0,00"},
        {"Denuncia", "^Totale 2 collaboratori ", "3.610,00 288,00"},
        {"Denuncia", "^7777777777 2 ", "2 2 2 49.838,00 0,00 0,00"},
        {"Denuncia", "^Totale 49.838", "Totale 49.838,00 0,00 0,00"},
        {"Denuncia", "^Part time:", "Part time: 50,00 %"},
        {"Denuncia", "^2145 ", "1,50 % 1,00 % 20,57"},
        {"Dipendenti", "^2024-03 ", "2024-03 0 1.234,56 0,00"},
        {"Dipendenti", "^Totale ", "Totale 0 1.234,56 0,00"},
        {"Collaboratori", "^2024-03 .* 2.470,00", "35,03 % 2.470,00 288,00 04"},
        {"Collaboratori", "^Totale 2.470,00", "Totale 2.470,00 288,00"},
        {"Collaboratori", "^2024-03 .* 1.140,00", "32,72 % 1.140,00 0,00"},
    };
    for (const Caso &c : casi) {
        SCOPED_TRACE(std::string(c.stampa) + " " + c.riga);
        const QRegularExpression cerca(QString::fromUtf8(c.riga));
        QString trovata;
        for (const QString &r : stampe.value(QLatin1String(c.stampa)).split(QLatin1Char('\n')))
            if (cerca.match(r.simplified()).hasMatch()) {
                trovata = r.simplified();
                break;
            }
        EXPECT_TRUE(trovata.contains(QString::fromUtf8(c.atteso))) << trovata.toStdString();
    }
}
