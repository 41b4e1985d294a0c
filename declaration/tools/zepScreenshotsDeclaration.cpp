// Takes a picture of the declaration programs' windows with sample data,
// as zepScreenshots and wunScreenshots do for the foundation's and the
// payroll library's windows:
//
//     zepScreenshotsDeclaration [output folder]   (default: build/screenshots)
//
// writes
//   giorni-mese.png   the month day grid of March 2024 for an employee hired
//                     on the 4th, sick on the 12th and 13th, the box of the
//                     14th focused
// and, on a demo archive of March 2024 made in a temporary folder with a few
// rows of each declaration table:
//   dipendenti-griglia.png      "Dipendenti": the grid, one row marked for
//                               deletion (red)
//   dipendenti-dettaglio.png    the same window on the detail page of a row
//   collaboratori-griglia.png   "Collaboratori": the grid
//   collaboratori-dettaglio.png the detail page of a collaborator
//   dichiarante.png             "Dichiarante": the one form, with the groups
//                               of a public administration
//   fpls-griglia.png            "Iscritti Fpls ExEnpals": the grid
//   fpls-dettaglio.png          the detail page with the day grid
//   dma-griglia.png             "DMA Dati iscritto": the grid, the printed person in red
//   dma-d0.png, dma-e0.png,     the person's pages "Quadro D0 ", "Quadro E0",
//   dma-v1.png, dma-e1.png      "Quadro V1" (variation cause 7) and "Quadro E1"
//   dma-e0-versanti.png         the E0 row's other paying entity
//   file-1-persone.png          "Generazione file telematico", page 0: "su
//                               Prenotazione" with two persons chosen
//   file-2-denuncia-aziendale.png  page 1: the company declaration
//                               recomputed, one row per INPS company number
//   file-3-crea.png             page 2 after "Crea file telematico": the
//                               generator's log down to its last line
// The code tables are those compiled into the build tree beside the tool's
// folder.
//
// Run it on a display or under Xvfb (scripts/screenshots.sh).
#include "ScreenshotSupport.h"

#include "ZepCParametri.h"
#include "ZepFDatiDenuncia.h"
#include "ZepFFplsExEnpals.h"
#include "ZepFMittente.h"
#include "ZepRDatiDenuncia.h"
#include "ZepFFile.h"
#include "ZepRDenunciaAzieldale.h"
#include "ZepULayouts.h"
#include "ZepULayoutNomi.h"
#include "ZepUMainState.h"
#include "DemoArchive.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUDBCdsLayouts.h"
#include "zepFCollaboratore.h"
#include "zepFDipendente.h"
#include "ZepCDma.h"
#include "ZepFDma.h"
#include "ZepRDma.h"
#include "ZepRDmaE0.h"
#include "ZepRDmaE1.h"
#include "zepRMese.h"

#include "DataSet.h"
#include "DataSetModel.h"
#include "Database.h"
#include "Field.h"
#include "UqMDIMain.h"
#include "ZepUUtil.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>

using namespace screenshots;
using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

void monthGrid()
{
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
    DataSet employees;
    employees.setFieldDefs({{layouts::TEMD_DIPENDENTI::CFLavoratore, FieldType::String, 16},
                            {layouts::TEMD_DIPENDENTI::GIORNI, FieldType::String, 31}});
    employees.createDataSet();
    employees.appendRecord(
        {Value(QStringLiteral("BNCMRA80A41A944S")), Value(QStringLiteral("   SSSSSSNSNNSSSNSSSSSSNSSSSSSN"))});

    QWidget window;
    window.setWindowTitle(QStringLiteral("Giorni del mese (esempio)"));
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new TfrZepMese(&window);
    layout->addWidget(grid);
    grid->Inizializza(&employees);
    window.show();
    QApplication::setActiveWindow(&window);
    grid->CasellaGiorno(14)->setFocus();
    screenshots::settle();
    screenshots::save(screenshots::withTitleBar(window), QStringLiteral("giorni-mese.png"));
}

// ---- the windows of the declaration tables ----

using Riga = QList<QPair<QString, Value>>;

void scrivi(TTovDBCds &store, const QString &tabella, const QList<Riga> &righe, int mese = 3)
{
    DataSet ds;
    store.LoadPeriod(ds, tabella, 2024, mese);
    for (const Riga &riga : righe) {
        ds.append();
        for (const auto &[campo, valore] : riga)
            ds.fieldByName(campo).setValue(valore);
        ds.post();
    }
    store.SavePeriod(ds, tabella, 2024, mese);
}

void righeDiEsempio(TTovDBCds &store)
{
    const QString periodo = QStringLiteral("2024-03");
    const auto dipendente = [&](const char *cf, const char *cognome, const char *nome, const char *q2,
                                const char *imponibile, const char *elimina) {
        return Riga{{layouts::TEMD_DIPENDENTI::CFLavoratore, cf},
                    {layouts::TEMD_DIPENDENTI::Cognome, cognome},
                    {layouts::TEMD_DIPENDENTI::Nome, nome},
                    {layouts::TEMD_DIPENDENTI::Matricola, "1234567890"},
                    {layouts::TEMD_DIPENDENTI::Qualifica1, "2"},
                    {layouts::TEMD_DIPENDENTI::Qualifica2, q2},
                    {layouts::TEMD_DIPENDENTI::Qualifica3, "D"},
                    {layouts::TEMD_DIPENDENTI::TipoContribuzione, "00"},
                    {layouts::TEMD_DIPENDENTI::CodiceComune, "H501"},
                    {layouts::TEMD_DIPENDENTI::CodiceContratto, "CPUB"},
                    {layouts::TEMD_DIPENDENTI::TipoLavoratore, "0"},
                    {layouts::TEMD_DIPENDENTI::Imponibile,
                     platform::Currency::fromString(QString::fromLatin1(imponibile))},
                    {layouts::TEMD_DIPENDENTI::Contributo, platform::Currency::fromString(QStringLiteral("412.18"))},
                    {layouts::TEMD_DIPENDENTI::RetribTeorica,
                     platform::Currency::fromString(QString::fromLatin1(imponibile))},
                    {layouts::TEMD_DIPENDENTI::GiorniRetribuiti, 26},
                    {layouts::TEMD_DIPENDENTI::GiorniContribuiti, 26},
                    {layouts::TEMD_DIPENDENTI::Cittadinanza, "000"},
                    {layouts::TEMD_DIPENDENTI::OrarioContrattuale, 3800},
                    {layouts::TEMD_DIPENDENTI::NumMensilita, 13000},
                    {layouts::TEMD_DIPENDENTI::RispettoMinimale, "0"},
                    {layouts::TEMD_DIPENDENTI::RegimePost95, "Sì"},
                    {layouts::TEMD_DIPENDENTI::Elimina, elimina},
                    {layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia, periodo},
                    {layouts::TEMD_DIPENDENTI::GIORNI, "SNNSSSSSNNSSSSSNNSSSSSNNSSSSSNN"},
                    {layouts::TEMD_DIPENDENTI::IdSettimana_1, 9},
                    {layouts::TEMD_DIPENDENTI::SettFinoA_1, QDate(2024, 3, 2)},
                    {layouts::TEMD_DIPENDENTI::TipoCopertura_1, "X"},
                    {layouts::TEMD_DIPENDENTI::IdSettimana_2, 10},
                    {layouts::TEMD_DIPENDENTI::SettFinoA_2, QDate(2024, 3, 9)},
                    {layouts::TEMD_DIPENDENTI::TipoCopertura_2, "X"},
                    {layouts::TEMD_DIPENDENTI::IdSettimana_3, 11},
                    {layouts::TEMD_DIPENDENTI::SettFinoA_3, QDate(2024, 3, 16)},
                    {layouts::TEMD_DIPENDENTI::TipoCopertura_3, "X"},
                    {layouts::TEMD_DIPENDENTI::IdSettimana_4, 12},
                    {layouts::TEMD_DIPENDENTI::SettFinoA_4, QDate(2024, 3, 23)},
                    {layouts::TEMD_DIPENDENTI::TipoCopertura_4, "X"},
                    {layouts::TEMD_DIPENDENTI::IdSettimana_5, 13},
                    {layouts::TEMD_DIPENDENTI::SettFinoA_5, QDate(2024, 3, 30)},
                    {layouts::TEMD_DIPENDENTI::TipoCopertura_5, "X"},
                    {layouts::TEMD_DIPENDENTI::IdSettimana_6, 14},
                    {layouts::TEMD_DIPENDENTI::SettFinoA_6, QDate(2024, 3, 31)},
                    {layouts::TEMD_DIPENDENTI::TipoCopertura_6, "X"}};
    };
    scrivi(store, layouts::TEMD_DIPENDENTI::Tabella,
           {dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA", "F", "2450", "N"),
            dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA", "P", "1012.40", "N"),
            dipendente("FRRGLI80A41F205Z", "FERRARI", "GIULIA", "F", "1987.35", "S"),
            dipendente("RMNPLA75C12H501I", "ROMANO", "PAOLO", "F", "3120", "N")});
    scrivi(store, layouts::TEMC_COLLABORATORI::Tabella,
           {Riga{{layouts::TEMC_COLLABORATORI::CFCollaboratore, "CLMSRA88D45L219T"},
                 {layouts::TEMC_COLLABORATORI::Cognome, "COLOMBO"},
                 {layouts::TEMC_COLLABORATORI::Nome, "SARA"},
                 {layouts::TEMC_COLLABORATORI::TipoRapporto, "11"},
                 {layouts::TEMC_COLLABORATORI::CodiceAttivita, "17"},
                 {layouts::TEMC_COLLABORATORI::Imponibile, 1500},
                 {layouts::TEMC_COLLABORATORI::Aliquota, 3503},
                 {layouts::TEMC_COLLABORATORI::Dal, QDate(2024, 1, 1)},
                 {layouts::TEMC_COLLABORATORI::Al, QDate(2024, 12, 31)},
                 {layouts::TEMC_COLLABORATORI::CodiceComune, "H501"},
                 {layouts::TEMC_COLLABORATORI::Elimina, "N"},
                 {layouts::TEMC_COLLABORATORI::AnnoMeseDenuncia, periodo}},
            Riga{{layouts::TEMC_COLLABORATORI::CFCollaboratore, "GLLMRC70B10A944B"},
                 {layouts::TEMC_COLLABORATORI::Cognome, "GALLI"},
                 {layouts::TEMC_COLLABORATORI::Nome, "MARCO"},
                 {layouts::TEMC_COLLABORATORI::TipoRapporto, "01"},
                 {layouts::TEMC_COLLABORATORI::Imponibile, 2000},
                 {layouts::TEMC_COLLABORATORI::Aliquota, 2403},
                 {layouts::TEMC_COLLABORATORI::AltraAss, "001"},
                 {layouts::TEMC_COLLABORATORI::Dal, QDate(2024, 3, 1)},
                 {layouts::TEMC_COLLABORATORI::Al, QDate(2024, 3, 31)},
                 {layouts::TEMC_COLLABORATORI::CodiceComune, "H501"},
                 {layouts::TEMC_COLLABORATORI::Elimina, "N"},
                 {layouts::TEMC_COLLABORATORI::AnnoMeseDenuncia, periodo}}});
    scrivi(store, TZepParametri::TabellaDichiarante,
           {Riga{{layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente, "RSSMRA60A01H501Q"},
                 {layouts::TAMM_AMMINISTRAZIONE::CFMittente, "01234567890"},
                 {layouts::TAMM_AMMINISTRAZIONE::RagSocMittente, "FONDAZIONE TEATRO COMUNALE DI VALLEVERDE"},
                 {layouts::TAMM_AMMINISTRAZIONE::SedeINPS, "7000"},
                 {layouts::TAMM_AMMINISTRAZIONE::CFAzienda, "01234567890"},
                 {layouts::TAMM_AMMINISTRAZIONE::RagSocAzienda, "FONDAZIONE TEATRO COMUNALE DI VALLEVERDE"},
                 {layouts::TAMM_AMMINISTRAZIONE::CodiceComune, "H501"},
                 {layouts::TAMM_AMMINISTRAZIONE::Comune, "VALLEVERDE"},
                 {layouts::TAMM_AMMINISTRAZIONE::Provincia, "RM"},
                 {layouts::TAMM_AMMINISTRAZIONE::CAP, "00100"},
                 {layouts::TAMM_AMMINISTRAZIONE::ISTAT, "90.04.00"},
                 {layouts::TAMM_AMMINISTRAZIONE::CodiceINPDAP, "0012345"},
                 {layouts::TAMM_AMMINISTRAZIONE::SS_CodiceINPDAP, "0012345"},
                 {layouts::TAMM_AMMINISTRAZIONE::SS_CFAzienda, "01234567890"},
                 {layouts::TAMM_AMMINISTRAZIONE::SS_RagSocAzienda, "SEDE DI VALLEVERDE"},
                 {layouts::TAMM_AMMINISTRAZIONE::EA_CFAzienda, "98765432109"},
                 {layouts::TAMM_AMMINISTRAZIONE::EA_RagSocAzienda, "COMUNE DI VALLEVERDE"}}},
           0);
    const auto iscritto = [&](const char *cf, const char *cognome, const char *nome, const char *lavorati,
                              const char *copertura, int giorni) {
        return Riga{{layouts::TEFE_FPLSEXENPALS::CFLavoratore, cf},
                    {layouts::TEFE_FPLSEXENPALS::Cognome, cognome},
                    {layouts::TEFE_FPLSEXENPALS::Nome, nome},
                    {layouts::TEFE_FPLSEXENPALS::Matricola, "1234567891"},
                    {layouts::TEFE_FPLSEXENPALS::Qualifica1, "S"},
                    {layouts::TEFE_FPLSEXENPALS::Qualifica2, "F"},
                    {layouts::TEFE_FPLSEXENPALS::Qualifica3, "D"},
                    {layouts::TEFE_FPLSEXENPALS::CodiceComune, "H501"},
                    {layouts::TEFE_FPLSEXENPALS::CodiceContratto, "CPUB"},
                    {layouts::TEFE_FPLSEXENPALS::TipoLavoratore, "SY"},
                    {layouts::TEFE_FPLSEXENPALS::Imponibile, platform::Currency::fromString(QStringLiteral("1800"))},
                    {layouts::TEFE_FPLSEXENPALS::Contributo, platform::Currency::fromString(QStringLiteral("591.12"))},
                    {layouts::TEFE_FPLSEXENPALS::RetribTeorica, platform::Currency::fromString(QStringLiteral("1800"))},
                    {layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti, giorni},
                    {layouts::TEFE_FPLSEXENPALS::GiorniContribuiti, giorni},
                    {layouts::TEFE_FPLSEXENPALS::Cittadinanza, "000"},
                    {layouts::TEFE_FPLSEXENPALS::RispettoMinimale, "0"},
                    {layouts::TEFE_FPLSEXENPALS::RegimePost95, "No"},
                    {layouts::TEFE_FPLSEXENPALS::Elimina, "N"},
                    {layouts::TEFE_FPLSEXENPALS::AnnoMeseDenuncia, periodo},
                    {layouts::TEFE_FPLSEXENPALS::GiorniLavorati, lavorati},
                    {layouts::TEFE_FPLSEXENPALS::GiorniTipoCopertura, copertura}};
    };
    scrivi(store, layouts::TEFE_FPLSEXENPALS::Tabella,
           {iscritto("VRDGPP80A01H501U", "VERDI", "GIUSEPPE", "  SSS  SSSSS", "  XXX  XX2XX", 8),
            iscritto("NRELNE92E50H501J", "NERI", "ELENA", "SSSS", "XX1X", 4)});
}

// The window inside the main window, its grid and then its detail page.
void fotografa(TfmUqMDIMain &main, TfmZepDatiDenuncia *w, const QString &nome, bool griglia = true)
{
    QMdiSubWindow *sub = main.AddChild(w);
    sub->move(0, 0);
    sub->resize(main.mdiArea->viewport()->size());
    TfrZepDatiDenuncia *fr = w->Frame();
    fr->grFrame->horizontalHeader()->setStretchLastSection(true);
    settle();
    if (griglia) {
        save(main.grab().toImage(), nome + QStringLiteral("-griglia.png"));
        fr->cdsMain.first();
        fr->cdsMain.next();
        fr->pcMain->setCurrentWidget(fr->tsDetail);
        settle();
        save(main.grab().toImage(), nome + QStringLiteral("-dettaglio.png"));
    } else {
        save(main.grab().toImage(), nome + QStringLiteral(".png"));
    }
    sub->close();
    settle();
}

// "DMA Dati iscritto" on two public-sector persons (the second printed, so
// locked and red): the grid, the D0 page, E0 with its paying entity, V1
// with the variation cause 7 and E1.
void fotografaDma(TfmUqMDIMain &main, TTovDBCds &store)
{
    scrivi(store, TZepDma::TabellaD0,
           {{{layouts::TD0_ANAG::CF_D0001001_CODFIS, "BNCLGU80A01H501A"},
             {layouts::TD0_ANAG::AN_D0001002_COGNOME, "BIANCHI"},
             {layouts::TD0_ANAG::AN_D0001003_NOME, "LUIGI"},
             {layouts::TD0_ANAG::SD0ANNOFIN, "2024"},
             {layouts::TD0_ANAG::SD0AMESE, "03"},
             {layouts::TD0_ANAG::DT_D0001005_DATANAS, QDate(1980, 1, 1)},
             {layouts::TD0_ANAG::_6A_COMNAS, "ROMA"},
             {layouts::TD0_ANAG::_6B_PRONAS, "RM"},
             {layouts::TD0_ANAG::AN_D0001004_SEX, "M"},
             {layouts::TD0_ANAG::CB_D0001016_SATFRFONDI, "1"}},
            {{layouts::TD0_ANAG::CF_D0001001_CODFIS, "RSSMRA80A41H501Y"},
             {layouts::TD0_ANAG::AN_D0001002_COGNOME, "ROSSI"},
             {layouts::TD0_ANAG::AN_D0001003_NOME, "MARIA"},
             {layouts::TD0_ANAG::SD0ANNOFIN, "2024"},
             {layouts::TD0_ANAG::SD0AMESE, "03"},
             {layouts::TD0_ANAG::ISTATO, 1}}});
    DataSet d0;
    store.Load(d0, TZepDma::TabellaD0);
    d0.setIndexFieldNames(TZepDma::IndiceIscritti);
    d0.first();
    const int id = d0.fieldByName(TZepDma::CampoIscritto).asInteger();
    const QString cf = d0.fieldByName(TZepDma::CampoCodiceFiscale).asString();
    const auto euro = [](const char *t) { return Value(platform::Currency::fromString(QLatin1String(t))); };
    scrivi(store, TZepDma::TabellaE0,
           {{{layouts::TE0_RETR::IAFIID, id},
             {layouts::TE0_RETR::ORDINE, 1},
             {layouts::TE0_RETR::SE0CODFIS, cf},
             {layouts::TE0_RETR::DT_E0XXX001_DINIZIO, QDate(2024, 3, 1)},
             {layouts::TE0_RETR::DT_E0XXX002_DFINE, QDate(2024, 3, 31)},
             {layouts::TE0_RETR::AN_E0XXX007_COMPARTO, "01"},
             {layouts::TE0_RETR::AN_E0XXX008_SOTTOCOM, "02"},
             {layouts::TE0_RETR::AN_E0XXX009_QUALIFICA, "000123"},
             {layouts::TE0_RETR::NP_E0XXX011_IMPIEGO, "1"},
             {layouts::TE0_RETR::NP_E0XXX012_SERVIZIO, "4"},
             {layouts::TE0_RETR::NP_E0XXX003_PENS, 1},
             {layouts::TE0_RETR::VP_E0XXX032_IMPPENS, euro("2345.67")},
             {layouts::TE0_RETR::VP_E0XXX033_CONPENS, euro("563.96")}}});
    scrivi(store, TZepDma::TabellaEvE0,
           {{{layouts::TEV_ENTEVERSANTEE0::IAFIID, id},
             {layouts::TEV_ENTEVERSANTEE0::ORDINE, 1},
             {layouts::TEV_ENTEVERSANTEE0::TipoContributo, "1"},
             {layouts::TEV_ENTEVERSANTEE0::CFAzienda, "80012345678"},
             {layouts::TEV_ENTEVERSANTEE0::Imponibile, euro("300.00")},
             {layouts::TEV_ENTEVERSANTEE0::Contributo, euro("72.00")}}});
    scrivi(store, TZepDma::TabellaV1,
           {{{layouts::TV1_RETR::IAFIID, id},
             {layouts::TV1_RETR::ORDINE, 1},
             {layouts::TV1_RETR::SV1CODFIS, cf},
             {layouts::TV1_RETR::NP_V1XXX000_CAUSVAR, 7},
             {layouts::TV1_RETR::DT_V1XXX001_DINIZIO, QDate(2023, 12, 1)},
             {layouts::TV1_RETR::DT_V1XXX002_DFINE, QDate(2023, 12, 31)},
             {layouts::TV1_RETR::VN_V1XXX032_IMPPENS, euro("120.00")}}});
    scrivi(store, TZepDma::TabellaE1,
           {{{layouts::TE1_FONDIPENSIONE::IAFIID, id},
             {layouts::TE1_FONDIPENSIONE::SE1CODFIS, cf},
             {layouts::TE1_FONDIPENSIONE::NP_E1XXX001_COD_FONDO, "2145"},
             {layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO, QDate(2024, 3, 1)},
             {layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE, QDate(2024, 3, 31)},
             {layouts::TE1_FONDIPENSIONE::PC_E1XXX006_PERC_LAVORATORE, euro("1.00")},
             {layouts::TE1_FONDIPENSIONE::CB_E1XXX013_CONGUAGLIO_FISCALE, "0"},
             {layouts::TE1_FONDIPENSIONE::ContribVersNonDich, "0"}}});

    auto *w = new TfmZepDmaIscritto(&main);
    QMdiSubWindow *sub = main.AddChild(w);
    sub->move(0, 0);
    sub->resize(main.mdiArea->viewport()->size());
    TfrQuvIscritto *fr = w->frIscritto;
    fr->grFrame->horizontalHeader()->setStretchLastSection(true);
    settle();
    save(main.grab().toImage(), QStringLiteral("dma-griglia.png"));
    fr->cdsMain.first();
    fr->pcMain->setCurrentWidget(fr->tsDetail);
    const QList<std::pair<QWidget *, const char *>> pagine = {{fr->tsD0, "dma-d0.png"},
                                                              {fr->tsE0, "dma-e0.png"},
                                                              {fr->tsV1, "dma-v1.png"},
                                                              {fr->tsE1, "dma-e1.png"}};
    for (const auto &[pagina, nome] : pagine) {
        fr->pcDma->setCurrentWidget(pagina);
        for (TfrQuvBase *sezione : {static_cast<TfrQuvBase *>(fr->frE0), static_cast<TfrQuvBase *>(fr->frV1),
                                    static_cast<TfrQuvBase *>(fr->frE1)})
            sezione->pcMain->setCurrentWidget(sezione->tsDetail);
        settle();
        save(main.grab().toImage(), QLatin1String(nome));
    }
    fr->pcDma->setCurrentWidget(fr->tsE0);
    fr->frE0->pcQuadro->setCurrentWidget(fr->frE0->tsVersanti);
    settle();
    save(main.grab().toImage(), QStringLiteral("dma-e0-versanti.png"));
    sub->close();
    settle();
}

// The picture services, with every message answered by its first button
// (the generator's closing message would otherwise wait for a click).
class ServiziFile : public PictureServices {
public:
    platform::MessageButton showMessage(const platform::MessageRequest &request) override
    {
        return platform::closedBoxAnswer(request.buttons);
    }
};

// The file generator's three pages on the sample rows; the file goes to a
// temporary folder standing in for the program files.
void fileGenerator()
{
    QTemporaryDir programmi;
    qputenv("ProgramFiles", QFile::encodeName(programmi.path()));
    auto owned = std::make_unique<ServiziFile>();
    ServiziFile &servizi = *owned;
    std::unique_ptr<platform::Services> precedenti = platform::Services::install(std::move(owned));
    servizi.onDialog = [](QDialog &d) {
        if (auto *dialogo = qobject_cast<QFileDialog *>(&d))
            dialogo->selectFile(TZepFile::CartellaDefault() + QLatin1Char('/') + TZepFile::NomeFileDefault());
        return int(QDialog::Accepted);
    };

    TfmZepFile w;
    w.resize(980, 600);
    w.show();
    settle();
    w.rbPrenota->click();
    QItemSelectionModel *selezione = w.grPrenota->selectionModel();
    for (int riga : {3, 7})
        selezione->select(w.grPrenotaModel->index(riga, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    settle();
    save(withTitleBar(w), QStringLiteral("file-1-persone.png"));

    w.rbTutti->click();
    w.buNext->click();
    w.frZepDenunciaAziendale1->grFrame->horizontalHeader()->setStretchLastSection(true);
    settle();
    save(withTitleBar(w), QStringLiteral("file-2-denuncia-aziendale.png"));

    w.buNext->click();
    w.buCrea->click();
    w.meCrea->verticalScrollBar()->setValue(w.meCrea->verticalScrollBar()->maximum());
    settle();
    save(withTitleBar(w), QStringLiteral("file-3-crea.png"));
    w.hide();
    platform::Services::install(std::move(precedenti));
    qunsetenv("ProgramFiles");
}

void declarationTables()
{
    QApplication::setApplicationDisplayName(QStringLiteral("zepUni"));
    RegistraLayoutDenunce();
    QTemporaryDir folder;
    payroll::DemoArchiveOptions o;
    o.output = folder.filePath(QStringLiteral("demo.fdb"));
    o.persons = payroll::DemoArchive::MinPersons;
    o.fromYear = o.toYear = 2024;
    o.fromMonth = o.toMonth = 3;
    payroll::DemoArchive::create(o);
    platform::ConnectionSettings settings;
    settings.database = o.output;
    platform::Database db(settings);
    db.open();
    TTovDBCdsLayouts::InstallRegistered(db);
    platform::Database::setGlobal(&db);
    struct Global {
        ~Global() { platform::Database::setGlobal(nullptr); }
    } global;
    TovQueryText().CompileQueries(TTovQueryText::SourceFileName());

    TTovDBCds store;
    store.SetConnection(&db);
    store.SetProgram(QStringLiteral("zep"));
    store.SetYear(2024);
    store.SetMonth(3);
    SetPeriodoDenuncia(QStringLiteral("2024"), QStringLiteral("03"));
    righeDiEsempio(store);
    // The build tree as the base folder (its USR/UniEmens/Res/Tabelle).
    TZepStatoSenzaFinestra stato(store, TZepParametri::ProgrammaUniEmens());
    IZepMainState::SetCurrent(&stato);

    TfmUqMDIMain main;
    main.setWindowTitle(QStringLiteral("zepUni - Denunce UniEmens (marzo 2024)"));
    main.resize(1260, 960);
    main.show();
    settle();
    fotografa(main, new TfmZepDipendente(&main), QStringLiteral("dipendenti"));
    fotografa(main, new TfmZepCollaboratore(&main), QStringLiteral("collaboratori"));
    fotografa(main, new TfmZepMittente(&main), QStringLiteral("dichiarante"), false);
    fotografa(main, new TfmZepFFplsExEnpals(&main), QStringLiteral("fpls"));
    fotografaDma(main, store);
    main.hide();
    fileGenerator();
    IZepMainState::SetCurrent(nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    return screenshots::run(argc, argv, "zepScreenshotsDeclaration", [](screenshots::PictureServices &) {
        monthGrid();
        declarationTables();
    });
}
