// The file window "Generazione file telematico" and the window "Denuncia
// Aziendale" on a real embedded archive: the three pages and their reloads,
// the company page recomputed and skipped when empty, the recovery amount
// kept, "su Prenotazione", the save dialog, the buttons after a creation,
// the cancellation, the amount boxes' keys, and the read-only window.
#include "ZepFileSupport.h"

#include "ZepFDenunciaAziendale.h"
#include "ZepFFile.h"
#include "ZepMAttivazioni.h"
#include "ZepRDenunciaAzieldale.h"
#include "ZepUniAvvio.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Field.h"
#include "UqMDIMain.h"

#include <QDomDocument>
#include <QFileDialog>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>

using namespace filetest;

namespace {

class FinestraFileTest : public FileTest {
public:
    FinestraFileTest() : m_programmi(qgetenv("ProgramFiles"))
    {
        qputenv("ProgramFiles", cartella.filePath(QStringLiteral("Programmi")).toUtf8());
    }
    ~FinestraFileTest() override
    {
        if (m_programmi.isNull())
            qunsetenv("ProgramFiles");
        else
            qputenv("ProgramFiles", m_programmi);
    }

    // The folder the save dialog opens in.
    QString Denunce() const
    {
        return cartella.filePath(QStringLiteral("Programmi/INPS/INPS uniEMens individuale/Denunce"));
    }
    // The save dialog answered with the file `nome` of that folder.
    void Salva(const QString &nome)
    {
        services->onNextDialog([this, nome](QDialog &d) {
            auto &dialogo = dynamic_cast<QFileDialog &>(d);
            EXPECT_EQ(dialogo.directory().absolutePath(), Denunce());
            EXPECT_EQ(dialogo.selectedFiles().value(0), Denunce() + QStringLiteral("/uniEMens2024-03.Xml"));
            dialogo.selectFile(Denunce() + QLatin1Char('/') + nome);
            return int(QDialog::Accepted);
        });
    }
    static QString Pagina(const TfmZepFile &w) { return w.ActivePageName(); }
    // The stored company declaration: "Matricola SommaACredito".
    QStringList Aziendale()
    {
        DataSet ds;
        store.Load(ds, TZepDenunciaAziendale::Tabella);
        ds.setIndexFieldNames(QStringLiteral("Matricola"));
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next())
            out << ds.fieldByName(QStringLiteral("Matricola")).asString() + QLatin1Char(' ')
                       + ds.fieldByName(QStringLiteral("SommaACredito")).asString();
        return out;
    }

private:
    QByteArray m_programmi;
};

} // namespace

TEST_F(FinestraFileTest, ThePagesInTurnAndTheFileCreatedOnce)
{
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    Dipendente(con(dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA", "7654321098"), {{"Contributo", euro("31512")}}));
    Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
    TfmZepFile w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Generazione file telematico"));
    EXPECT_EQ(w.laLegenda->text(),
              QStringLiteral(
                  "D: Dipendenti (INPS) - C:  Collaboratori (INPS) - E: Ex DMA (INPDAP) - F: Fpls (ex ENPALS)"));
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDipColl"));
    EXPECT_TRUE(w.rbTutti->isChecked());
    EXPECT_FALSE(w.grPrenota->isEnabled());
    EXPECT_EQ(w.grPrenotaModel->rowCount(), 3);
    EXPECT_EQ(w.grPrenotaModel->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Codice fiscale"));
    EXPECT_FALSE(w.buOk->isEnabled());

    // The company page: recomputed and saved, the INPS recovery box, no
    // INPDAP box.
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDenAz"));
    TfrZepDenunciaAziendale *fr = w.frZepDenunciaAziendale1;
    EXPECT_EQ(fr->grModel->rowCount(), 2);
    EXPECT_EQ(
        fr->grModel->headerData(fr->grModel->columnOf(QStringLiteral("TotaleADebito")), Qt::Horizontal).toString(),
        QStringLiteral("Totale contribuzioni"));
    // The totals in whole euros read as every other amount.
    EXPECT_EQ(fr->grModel->index(1, fr->grModel->columnOf(QStringLiteral("TotaleADebito"))).data().toString(),
              QStringLiteral("31.512"));
    EXPECT_EQ(fr->gbRecupero->title(),
              QStringLiteral(" Recupero bonus di cui all’articolo 13 (DL n. 66/2014) : su INPS"));
    EXPECT_FALSE(w.gbInpdap->isVisibleTo(&w));
    EXPECT_EQ(Aziendale(), (QStringList{"1234567890 ", "7654321098 "}));
    EXPECT_FALSE(w.buOk->isEnabled());

    // A recovery typed on the detail page (letters refused) is kept when
    // the page is left.
    fr->cdsMain.first();
    fr->pcMain->setCurrentWidget(fr->tsDetail);
    fr->edSommaACredito->setFocus();
    QTest::keyClicks(fr->edSommaACredito, QStringLiteral("8a0,5"));
    EXPECT_EQ(fr->edSommaACredito->text(), QStringLiteral("80,5"));
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsCrea"));
    EXPECT_EQ(Aziendale(), (QStringList{"1234567890 80.5", "7654321098 "}));

    Salva(QStringLiteral("uniEMens2024-03.Xml"));
    w.buCrea->click();
    EXPECT_EQ(services->messageTexts(), QStringList{"Operazione terminata con successo."});
    EXPECT_TRUE(
        w.meCrea->toPlainText().startsWith(QStringLiteral("Creazione file in corso ...\nImposta dati mittente")));
    EXPECT_TRUE(w.meCrea->toPlainText().endsWith(QStringLiteral("\n\nOperazione terminata con successo.")));
    EXPECT_TRUE(w.buOk->isEnabled());
    EXPECT_FALSE(w.buCrea->isEnabled());
    EXPECT_FALSE(w.buPrior->isEnabled());
    QFile scritto(Denunce() + QStringLiteral("/uniEMens2024-03.Xml"));
    ASSERT_TRUE(scritto.open(QIODevice::ReadOnly));
    const QByteArray xml = scritto.readAll();
    EXPECT_TRUE(xml.contains("<AltrePartiteACredito><CausaleACredito>L650</CausaleACredito>"
                             "<SommaACredito>80.50</SommaACredito></AltrePartiteACredito>"));
    EXPECT_TRUE(xml.contains("<TotaleACredito>81</TotaleACredito>"));
    EXPECT_TRUE(xml.contains("<PosContributiva Composizione=\"CP\">"));
}

TEST_F(FinestraFileTest, OnlyThePersonsChosenAndGoingBackBringsEverybodyBack)
{
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    Dipendente(dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA"));
    Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
    TfmZepFile w;
    w.show();
    w.rbPrenota->click();
    EXPECT_TRUE(w.grPrenota->isEnabled());
    // Rows in "Tipo;Cognome;Nome" order: BRUNO (C), BIANCHI, ESPOSITO (D).
    QItemSelectionModel *selezione = w.grPrenota->selectionModel();
    selezione->select(w.grPrenotaModel->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.buNext->click();
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsCrea"));
    EXPECT_EQ(w.File().cdsDip.recordCount(), 1);
    EXPECT_EQ(w.File().cdsDip.fieldByName(QStringLiteral("Cognome")).asString(), QStringLiteral("ESPOSITO"));
    EXPECT_EQ(w.File().cdsColl.recordCount(), 0);
    EXPECT_TRUE(w.File().Prenotazione);

    w.buPrior->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDenAz"));
    EXPECT_EQ(w.File().cdsDip.recordCount(), 2);
    EXPECT_EQ(w.File().cdsColl.recordCount(), 1);

    // "Tutti" clears the choice.
    w.buPrior->click();
    w.rbTutti->click();
    EXPECT_TRUE(selezione->selectedRows().isEmpty());
    EXPECT_FALSE(w.grPrenota->isEnabled());
}

TEST_F(FinestraFileTest, WithoutACompanyDeclarationThePageIsPassedOverBothWays)
{
    Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
    TfmZepFile w;
    w.show();
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsCrea"));
    EXPECT_FALSE(w.buNext->isEnabled());
    w.buPrior->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDipColl"));
    EXPECT_FALSE(w.buPrior->isEnabled());
}

// Public-sector persons without employees: no company declaration, yet the
// page stays for their INPDAP box whenever they take part, and its amount
// reaches the file.
TEST_F(FinestraFileTest, TheInpdapBoxShowsWhenPublicSectorPersonsTakePart)
{
    Dichiarante(con(dichiarante(), {{"CodiceINPDAP", "123"}, {"FormaGiuridica", "2.43"}, {"CodiceComune", "H501"}}));
    Collaboratore(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"));
    Aggiungi(QStringLiteral("TD0_ANAG"), {{"CF_D0001001_CODFIS", "FRRGNN60A01H501J"},
                                          {"AN_D0001002_COGNOME", "FERRI"},
                                          {"AN_D0001003_NOME", "GIANNI"}});
    TfmZepFile w;
    w.show();
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDenAz"));
    EXPECT_TRUE(w.gbInpdap->isVisibleTo(&w));

    // The collaborator alone (rows by Tipo: C, then E): passed over again.
    w.buPrior->click();
    w.rbPrenota->click();
    QItemSelectionModel *selezione = w.grPrenota->selectionModel();
    selezione->select(w.grPrenotaModel->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsCrea"));
    w.buPrior->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDipColl"));

    selezione->select(w.grPrenotaModel->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    w.buNext->click();
    EXPECT_EQ(Pagina(w), QStringLiteral("tsDenAz"));
    ASSERT_TRUE(w.gbInpdap->isVisibleTo(&w));
    QTest::keyClicks(w.edINpdap, QStringLiteral("12,5"));
    w.buNext->click();
    Salva(QStringLiteral("uniEMens2024-03.Xml"));
    w.buCrea->click();
    EXPECT_EQ(services->messageTexts(), QStringList{"Operazione terminata con successo."});
    QFile scritto(Denunce() + QStringLiteral("/uniEMens2024-03.Xml"));
    ASSERT_TRUE(scritto.open(QIODevice::ReadOnly));
    const QByteArray xml = scritto.readAll();
    EXPECT_TRUE(xml.contains("<TipologiaConguaglio>001</TipologiaConguaglio>"
                             "<ImportoConguagliato>12.50</ImportoConguagliato>"));
    EXPECT_TRUE(xml.contains("<CFLavoratore>FRRGNN60A01H501J</CFLavoratore>"));
    EXPECT_FALSE(xml.contains("ListaCollaboratori"));
}

TEST_F(FinestraFileTest, ACancelledSaveDialogIsAnErrorAndTheButtonStays)
{
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    TfmZepFile w;
    w.show();
    w.buNext->click();
    w.buNext->click();
    services->onNextDialog([](QDialog &) { return int(QDialog::Rejected); });
    w.buCrea->click();
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).type, platform::MessageType::Error);
    EXPECT_EQ(services->messages().at(0).text,
              QStringLiteral("Errore nella generazione del file, operazione non conclusasi con successo\n\n\n"
                             "***  Operazione annullata dall'utente."));
    EXPECT_EQ(w.meCrea->toPlainText(), QStringLiteral("***  Operazione annullata dall'utente."));
    EXPECT_TRUE(w.buCrea->isEnabled());
    EXPECT_FALSE(w.buOk->isEnabled());
    EXPECT_EQ(services->dialogs().at(0).className, QStringLiteral("QFileDialog"));
}

TEST_F(FinestraFileTest, AmountBoxesTakeDigitsSeparatorsAndEditingKeys)
{
    TfmZepFile w;
    w.edINpdap->setFocus();
    QTest::keyClicks(w.edINpdap, QStringLiteral("1x2-3,4 5.#"));
    EXPECT_EQ(w.edINpdap->text(), QStringLiteral("123,45."));
    QTest::keyClick(w.edINpdap, Qt::Key_Backspace);
    QTest::keyClick(w.edINpdap, Qt::Key_Left);
    QTest::keyClick(w.edINpdap, Qt::Key_Delete);
    QTest::keyClick(w.edINpdap, Qt::Key_Home);
    QTest::keyClick(w.edINpdap, Qt::Key_Delete);
    EXPECT_EQ(w.edINpdap->text(), QStringLiteral("23,4"));
}

// The command opens the wizard modally; the window "Denuncia Aziendale"
// shows the stored rows and cannot change them.
TEST_F(FinestraFileTest, TheCommandsOpenTheWizardAndTheReadOnlyWindow)
{
    TZepUniAvvio::Registra();
    struct Registrazioni {
        ~Registrazioni() { TZepUniAvvio::AnnullaRegistrazioni(); }
    } registrazioni;
    TfmUqMDIMain finestra;
    TdmZepAttivazioni registry;
    registry.SetStore(&store);
    finestra.show();
    services->onNextDialog([](QDialog &d) {
        EXPECT_NE(qobject_cast<TfmZepFile *>(&d), nullptr);
        return int(QDialog::Rejected);
    });
    registry.xafFile->Execute();
    ASSERT_EQ(services->dialogs().size(), 1);
    EXPECT_EQ(services->dialogs().at(0).title, QStringLiteral("Generazione file telematico"));

    Aggiungi(TZepDenunciaAziendale::Tabella, {{"Matricola", "1234567890"}, {"NumLavoratori", 3}});
    Aggiungi(TZepDenunciaAziendale::Tabella, {{"Matricola", "0123456789"}, {"NumLavoratori", 1}});
    registry.xafDenunciaAziendale->Execute();
    auto *w = qobject_cast<TfmzepDenunciaAziendale *>(registry.xafDenunciaAziendale->Instance());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Denuncia Aziendale"));
    DataSet &ds = w->frZepDenunciaAziendale1->cdsMain;
    EXPECT_EQ(ds.recordCount(), 2);
    EXPECT_EQ(ds.fieldByName(QStringLiteral("Matricola")).asString(), QStringLiteral("0123456789"));
    EXPECT_TRUE(ds.isReadOnly());
    EXPECT_THROW(ds.edit(), platform::EDataSetError);
    EXPECT_THROW(w->PostData(), platform::EAbort);
    finestra.CloseAllChildren();
}
