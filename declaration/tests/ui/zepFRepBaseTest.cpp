// The print dialogs on a real embedded archive: the choice list in the grid,
// the rows selected and the month chosen printed in the preview, every
// person when no row is selected, a table that cannot be loaded named in
// its message; the CUD summary's persons and sections.
#include "ZepDatiDenunciaSupport.h"
#include "ZepStoreSupport.h"

#include "ZepCParametri.h"
#include "ZepFRiepilogoDatiCUD.h"

#include "zepCStampa.h"
#include "zepFRepColl.h"
#include "zepFRepDip.h"
#include "zepFReport.h"
#include "zepUStampa.h"

#include "Field.h"
#include "TovUCdsUtil.h"

#include <QComboBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTableView>

using namespace dentest;

namespace {

// The preview replaced by a record of the prints it was given.
class AnteprimaRegistrata {
public:
    AnteprimaRegistrata() : m_prima(TfmZepReport::Anteprima)
    {
        TfmZepReport::Anteprima = [this](const TZepStampa &s, QWidget *) { stampe << s; };
    }
    ~AnteprimaRegistrata() { TfmZepReport::Anteprima = m_prima; }
    QList<TZepStampa> stampe;

private:
    std::function<void(const TZepStampa &, QWidget *)> m_prima;
};

QStringList titoli(const TZepStampa &s)
{
    QStringList out;
    for (const TZepStampaBlocco &b : s.blocchi)
        if (!b.tabelle.isEmpty())
            out << b.titolo + QStringLiteral(": %1").arg(b.tabelle.at(0).righe.size());
    return out;
}

} // namespace

class ZepFinestreStampa : public DatiDenunciaTest {};

TEST_F(ZepFinestreStampa, TheChosenPersonsAndMonthArePrintedEveryPersonWithoutAChoice)
{
    for (const char *mese : {"01", "02"}) {
        Periodo(QStringLiteral("2024"), QString::fromLatin1(mese));
        for (const char *cognome : {"ROSSI", "BIANCHI"})
            Aggiungi(QStringLiteral("TEMD_DIPENDENTI"),
                     {{QStringLiteral("CFLavoratore"), Value(QStringLiteral("%1XXX80A01H501U").arg(cognome).left(16))},
                      {QStringLiteral("Cognome"), Value(QString::fromLatin1(cognome))},
                      {QStringLiteral("Matricola"), Value(QStringLiteral("1234567890"))},
                      {QStringLiteral("AnnoMeseDenuncia"), Value(PeriodoDenuncia())}});
    }
    AnteprimaRegistrata anteprima;
    {
        TfmzepRepDip dialogo;
        EXPECT_EQ(dialogo.windowTitle(), QStringLiteral("Scelta dipendenti"));
        dialogo.show();
        ASSERT_EQ(dialogo.grScelta->model()->rowCount(), 2);
        EXPECT_EQ(dialogo.grScelta->model()->headerData(0, Qt::Horizontal).toString(),
                  QStringLiteral("Codice fiscale"));
        EXPECT_EQ(dialogo.cbMese->count(), 13);
        EXPECT_EQ(dialogo.cbMese->itemText(0), QStringLiteral("Tutti"));
        // The second row (ROSSI, by surname) and "Febbraio".
        dialogo.grScelta->selectRow(1);
        dialogo.cbMese->setCurrentIndex(2);
        dialogo.accept();
        EXPECT_EQ(dialogo.result(), int(mrOk));
    }
    {
        TfmzepRepDip dialogo;
        dialogo.show();
        dialogo.accept();
    }
    ASSERT_EQ(anteprima.stampe.size(), 2);
    EXPECT_EQ(titoli(anteprima.stampe.at(0)), QStringList({QStringLiteral("ROSSI - ROSSIXXX80A01H50: 1")}));
    EXPECT_EQ(anteprima.stampe.at(0).periodo, QStringLiteral("febbraio 2024"));
    EXPECT_EQ(titoli(anteprima.stampe.at(1)), QStringList({QStringLiteral("BIANCHI - BIANCHIXXX80A01H: 2"),
                                                           QStringLiteral("ROSSI - ROSSIXXX80A01H50: 2")}));

    // A table that cannot be loaded: its message, an empty list.
    TfmzepRepColl collaboratori;
    store.SetProgram(QStringLiteral("nessuno"));
    collaboratori.show();
    ASSERT_FALSE(services->messages().isEmpty());
    EXPECT_TRUE(services->messages().last().text.contains(QStringLiteral("TEMC_COLLABORATORI")));
    EXPECT_EQ(collaboratori.grScelta->model()->rowCount(), 0);
}

// The earlier program's windows print its reduced forms: the E-Mens
// declaration from the command "Denuncia", the E-Mens rows in the list.
TEST_F(ZepFinestreStampa, TheEarlierProgramsWindowsPrintTheirReducedForms)
{
    main.SetProgramma(TZepParametri::ProgrammaEMens());
    Periodo(QStringLiteral("2008"), QStringLiteral("05"));
    Aggiungi(QStringLiteral("TEMD_DIPENDENTI"),
             {{QStringLiteral("CFLavoratore"), Value(QStringLiteral("RSSMRA80A01H501U"))},
              {QStringLiteral("Cognome"), Value(QStringLiteral("ROSSI"))},
              {QStringLiteral("Matricola"), Value(QStringLiteral("1234567890"))},
              {QStringLiteral("AumentoImponibile"), Value(platform::Currency::fromInt(300))},
              {QStringLiteral("GIORNI"), Value(QStringLiteral("SSSSS"))},
              {QStringLiteral("AnnoMeseDenuncia"), Value(PeriodoDenuncia())}});
    {
        platform::DataSet periodo;
        periodo.setFieldDefs({{QStringLiteral("SEAMANNOFIN"), platform::FieldType::String, 4},
                              {QStringLiteral("SEAMMESE"), platform::FieldType::String, 2}});
        periodo.createDataSet();
        periodo.appendRecord({QStringLiteral("2008"), QStringLiteral("05")});
        QDir().mkpath(main.path(QStringLiteral("USR/ZEP/Res")));
        TTovCds::SaveToFile(periodo, main.path(QStringLiteral("USR/ZEP/Res/TEAM_ANNOMESE.cds")));
    }
    AnteprimaRegistrata anteprima;
    TfmZepReport report;
    report.Stampa();
    {
        TfmzepRepDip dialogo;
        dialogo.show();
        dialogo.accept();
    }
    ASSERT_EQ(anteprima.stampe.size(), 2);
    const TZepStampa &denuncia = anteprima.stampe.at(0);
    EXPECT_EQ(denuncia.titolo, QStringLiteral("Denuncia E-Mens"));
    EXPECT_EQ(denuncia.periodo, QStringLiteral("maggio 2008"));
    QStringList blocchi;
    for (const TZepStampaBlocco &b : denuncia.blocchi) {
        blocchi << b.titolo;
        EXPECT_TRUE(b.righeFisse.isEmpty()) << b.titolo.toStdString();
    }
    EXPECT_TRUE(blocchi.contains(QStringLiteral("ROSSI - RSSMRA80A01H501U")));
    EXPECT_FALSE(blocchi.contains(QStringLiteral("Denuncia aziendale")));
    const TZepStampaTabella &righe = anteprima.stampe.at(1).blocchi.last().tabelle.at(0);
    EXPECT_TRUE(righe.colonne.contains(QStringLiteral("Aumento imp.")));
    EXPECT_EQ(righe.totali.at(righe.colonne.indexOf(QStringLiteral("Aumento imp."))), QStringLiteral("300,00"));
}

TEST_F(ZepFinestreStampa, TheCudSummaryListsThePublicSectorPersonsOnceAndPrintsTheirSections)
{
    using platform::FieldType;
    TTovDBCdsLayouts::Install(
        tdb.db(),
        {layoutDiProva(QStringLiteral("TD0_ANAG"), {{QStringLiteral("iFisRigo"), FieldType::Integer},
                                                    {QStringLiteral("CF_D0001001_CODFIS"), FieldType::String, 16},
                                                    {QStringLiteral("AN_D0001002_COGNOME"), FieldType::String, 30},
                                                    {QStringLiteral("AN_D0001003_NOME"), FieldType::String, 30},
                                                    {QStringLiteral("SD0AMESE"), FieldType::String, 2},
                                                    {QStringLiteral("ISTATO"), FieldType::Integer}}),
         layoutDiProva(QStringLiteral("TE0_RETR"), {{QStringLiteral("iFisRigo"), FieldType::Integer},
                                                    {QStringLiteral("SE0CODFIS"), FieldType::String, 16},
                                                    {QStringLiteral("DT_E0XXX001_DINIZIO"), FieldType::Date},
                                                    {QStringLiteral("DT_E0XXX002_DFINE"), FieldType::Date},
                                                    {QStringLiteral("VP_E0XXX032_IMPPENS"), FieldType::Currency}}),
         layoutDiProva(QStringLiteral("TV1_RETR"), {{QStringLiteral("iFisRigo"), FieldType::Integer},
                                                    {QStringLiteral("SV1CODFIS"), FieldType::String, 16},
                                                    {QStringLiteral("DT_V1XXX001_DINIZIO"), FieldType::Date},
                                                    {QStringLiteral("DT_V1XXX002_DFINE"), FieldType::Date}})});
    // VERDI as the public-sector import writes her (no ISTATO: open),
    // BIANCHI printed or sent (ISTATO 1).
    for (const char *mese : {"01", "02"}) {
        Periodo(QStringLiteral("2024"), QString::fromLatin1(mese));
        Aggiungi(QStringLiteral("TD0_ANAG"),
                 {{QStringLiteral("CF_D0001001_CODFIS"), Value(QStringLiteral("VRDNNA80A41H501X"))},
                  {QStringLiteral("AN_D0001002_COGNOME"), Value(QStringLiteral("VERDI"))},
                  {QStringLiteral("SD0AMESE"), Value(QString::fromLatin1(mese))}});
        Aggiungi(QStringLiteral("TD0_ANAG"),
                 {{QStringLiteral("CF_D0001001_CODFIS"), Value(QStringLiteral("BNCBRN70A01H501Y"))},
                  {QStringLiteral("AN_D0001002_COGNOME"), Value(QStringLiteral("BIANCHI"))},
                  {QStringLiteral("SD0AMESE"), Value(QString::fromLatin1(mese))},
                  {QStringLiteral("ISTATO"), Value(1)}});
        Aggiungi(QStringLiteral("TE0_RETR"),
                 {{QStringLiteral("SE0CODFIS"), Value(QStringLiteral("VRDNNA80A41H501X"))},
                  {QStringLiteral("DT_E0XXX001_DINIZIO"), Value(QDate(2024, mese[1] - '0', 1))},
                  {QStringLiteral("DT_E0XXX002_DFINE"), Value(QDate(2024, mese[1] - '0', 28))},
                  {QStringLiteral("VP_E0XXX032_IMPPENS"), Value(platform::Currency::fromInt(1000))}});
    }
    AnteprimaRegistrata anteprima;
    TfmZepRiepilogoDatiCUD dialogo;
    EXPECT_EQ(dialogo.windowTitle(), QStringLiteral("Stampa riepilogativa dati del CUD"));
    dialogo.show();
    QAbstractItemModel *elenco = dialogo.grPersone->model();
    ASSERT_EQ(elenco->rowCount(), 2);
    // The grid painted: the locked person's row in red, the open one's not.
    const QImage griglia = dialogo.grPersone->viewport()->grab().toImage();
    const auto rossa = [&](int riga) {
        for (int c = 0; c < elenco->columnCount(); ++c) {
            const QRect r = dialogo.grPersone->visualRect(elenco->index(riga, c)) & griglia.rect();
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (const QColor p = griglia.pixelColor(x, y); p.red() > 180 && p.green() < 90 && p.blue() < 90)
                        return true;
        }
        return false;
    };
    int cognome = 0;
    while (cognome < elenco->columnCount()
           && elenco->headerData(cognome, Qt::Horizontal).toString() != QLatin1String("Cognome"))
        ++cognome;
    EXPECT_EQ(elenco->index(0, cognome).data().toString() + QLatin1Char(' ')
                  + elenco->index(1, cognome).data().toString(),
              QStringLiteral("BIANCHI VERDI"));
    EXPECT_TRUE(rossa(0));
    EXPECT_FALSE(rossa(1));
    dialogo.buStampa->click();
    ASSERT_EQ(anteprima.stampe.size(), 1);
    const TZepStampa &s = anteprima.stampe.first();
    ASSERT_EQ(titoli(s), QStringList({QStringLiteral("VERDI - VRDNNA80A41H501X - Anno di riferimento 2024: 2")}));
    EXPECT_EQ(s.blocchi.last().tabelle.at(0).totali.last(), QStringLiteral("2.000,00"));
}

TEST(ZepAnteprima, QtsPrintPreviewShowsThePagesOfAPrint)
{
    TZepStampa stampa;
    stampa.titolo = QStringLiteral("Prova");
    for (int i = 0; i < 40; ++i)
        stampa.blocchi << TZepStampaBlocco{
            QStringLiteral("Blocco %1").arg(i), {{QStringLiteral("Campo:"), QStringLiteral("valore")}}, {}, {}, false};
    int pagine = -1;
    QTimer::singleShot(0, [&] {
        auto *anteprima = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(anteprima);
        if (auto *vista = anteprima->findChild<QPrintPreviewWidget *>())
            pagine = vista->pageCount();
        anteprima->reject();
    });
    TfmZepReport::AnteprimaQt(stampa, nullptr);
    // The preview's pages are the PDF's.
    QTemporaryDir cartella;
    const int pdf = TZepStampaRender::Pdf(stampa, cartella.filePath(QStringLiteral("prova.pdf")));
    EXPECT_GT(pdf, 1);
    EXPECT_EQ(pagine, pdf);
}
