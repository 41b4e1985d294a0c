// The declaration print's public-sector persons on a real embedded archive,
// printed to PDF and read back with poppler's pdftotext: the persons by
// surname, each with its own sections and paying entities in order, a
// person without sections with none, rows of nobody nowhere.
#include "ZepDatiDenunciaSupport.h"

#include "Field.h"
#include "TovUCdsUtil.h"
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

    TZepReport report(store, TZepDenuncia::UniEmens);
    report.Carica(FilePeriodo());
    const TZepStampa stampa = report.Stampa();
    report.Chiudi();
    const QString pdf = m_dir.filePath(QStringLiteral("denuncia.pdf"));
    ASSERT_GT(TZepStampaRender::Pdf(stampa, pdf), 0);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    ASSERT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    const QString testo =
        QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);

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
