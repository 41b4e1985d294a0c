// The earlier program's window "Generazione file telematico" on a real
// embedded archive (the database form): its two pages, the E-Mens file
// written under its default name, the question before a file is replaced,
// and an archive lost during the creation named as such in the error box.
#include "ZepFileSupport.h"

#include "Emens/ui/ZepFFile.h"

#include "DataSetModel.h"
#include "UqMDIMain.h"

#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

using namespace filetest;

namespace {

class EmensFinestraTest : public dentest::DatiDenunciaTest {
public:
    EmensFinestraTest() : m_programmi(qgetenv("ProgramFiles"))
    {
        qputenv("ProgramFiles", cartella.filePath(QStringLiteral("Programmi")).toUtf8());
        Periodo(QStringLiteral("2008"), QStringLiteral("03"));
        DataSet ds;
        store.LoadPeriod(ds, TZepParametri::TabellaDichiarante, 2008, 0);
        ds.append();
        for (const auto &[campo, valore] : dichiarante())
            ds.fieldByName(campo).setValue(valore);
        ds.post();
        store.SavePeriod(ds, TZepParametri::TabellaDichiarante, 2008, 0);
        const Riga periodo{{"AnnoMeseDenuncia", "2008-03"}, {"CodiceContratto", "EP"}};
        Aggiungi(QStringLiteral("TEMD_DIPENDENTI"), con(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"), periodo));
        Aggiungi(QStringLiteral("TEMC_COLLABORATORI"),
                 con(collaboratore("BRNLGU70A01H501R", "BRUNO", "LUIGI"),
                     {{"AnnoMeseDenuncia", "2008-03"}, {"Dal", QDate(2008, 1, 1)}, {"Al", QDate(2008, 12, 31)}}));
    }
    ~EmensFinestraTest() override
    {
        if (m_programmi.isNull())
            qunsetenv("ProgramFiles");
        else
            qputenv("ProgramFiles", m_programmi);
    }

    QString Denunce() const { return cartella.filePath(QStringLiteral("Programmi/INPS/Emens/Denunce-EMens")); }
    // The save dialog: the default name in the default folder, accepted.
    void Salva()
    {
        services->onNextDialog([this](QDialog &d) {
            auto &dialogo = dynamic_cast<QFileDialog &>(d);
            EXPECT_EQ(dialogo.selectedFiles().value(0), Denunce() + QStringLiteral("/EMens2008-03.Xml"));
            return int(QDialog::Accepted);
        });
    }
    // A window on its creation page.
    std::unique_ptr<emens::TfmZepFile> Finestra()
    {
        auto w = std::make_unique<emens::TfmZepFile>();
        w->show();
        w->buNext->click();
        EXPECT_EQ(w->ActivePageName(), QStringLiteral("tsCrea"));
        return w;
    }

    QTemporaryDir cartella;

private:
    QByteArray m_programmi;
};

} // namespace

TEST_F(EmensFinestraTest, TheFileIsWrittenOnceAndReplacedOnlyWhenTheUserSaysSo)
{
    emens::TfmZepFile w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Generazione file telematico"));
    EXPECT_EQ(w.ActivePageName(), QStringLiteral("tsDipColl"));
    EXPECT_TRUE(w.rbTutti->isChecked());
    EXPECT_FALSE(w.grPrenota->isEnabled());
    EXPECT_EQ(w.grPrenotaModel->rowCount(), 2);
    EXPECT_EQ(w.grPrenotaModel->columnCount(), 6) << "Tipo, Codice fiscale, Cognome, Nome, Matricola INPS, Orario";
    w.buNext->click();
    Salva();
    w.buCrea->click();
    EXPECT_EQ(services->messageTexts(), QStringList{"Operazione terminata con successo."});
    const QString log = w.meCrea->toPlainText();
    EXPECT_TRUE(log.startsWith(QStringLiteral("Creazione file in corso ...\nImposta dati mittente\n\nDati dipendenti: "
                                              "inizio\n\n-- Matricola INPS 1234567890: inizio ...")))
        << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("Dati collaboratori: fine\n\nOperazione terminata con successo.")));
    EXPECT_TRUE(w.buOk->isEnabled());
    EXPECT_FALSE(w.buCrea->isEnabled());
    EXPECT_FALSE(w.buPrior->isEnabled());
    QFile scritto(Denunce() + QStringLiteral("/EMens2008-03.Xml"));
    ASSERT_TRUE(scritto.open(QIODevice::ReadOnly));
    const QByteArray xml = scritto.readAll();
    EXPECT_TRUE(xml.contains("<DenunceRetributiveMensili>"));
    scritto.close();

    // The same name again: "No" leaves the file as it was and is a
    // cancellation; "Sì" replaces it.
    services->clear();
    QFile::resize(scritto.fileName(), 10);
    auto altra = Finestra();
    Salva();
    services->replyToMessages({platform::No});
    altra->buCrea->click();
    ASSERT_EQ(services->messages().size(), 2);
    EXPECT_EQ(services->messages().at(0).text, QStringLiteral("Il file \"%1\" esiste già. Sostituirlo?")
                                                   .arg(QDir::toNativeSeparators(scritto.fileName())));
    EXPECT_EQ(services->messages().at(1).text,
              QStringLiteral("Errore nella generazione del file, operazione non conclusasi con successo\n\n\n***  "
                             "Operazione annullata dall'utente."));
    EXPECT_EQ(QFileInfo(scritto.fileName()).size(), 10);
    EXPECT_TRUE(altra->buCrea->isEnabled());
    Salva();
    services->replyToMessages({platform::Yes});
    altra->buCrea->click();
    EXPECT_GT(QFileInfo(scritto.fileName()).size(), 10);
    EXPECT_TRUE(altra->buOk->isEnabled());
}

TEST_F(EmensFinestraTest, AnArchiveLostDuringTheCreationIsNamedAndNoFileIsWritten)
{
    auto w = Finestra();
    // Another attachment ends this one, as a server shut down would.
    {
        platform::Database altra(tdb.settings());
        altra.open();
        altra.execute(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
    }
    Salva();
    w->buCrea->click();
    ASSERT_EQ(services->messages().size(), 1) << services->messageTexts().join('\n').toStdString();
    // The cause, then the engine's own words; not put on a person.
    const QString testo = services->messages().at(0).text;
    EXPECT_TRUE(testo.startsWith(QStringLiteral("Errore nella generazione del file, operazione non conclusasi con "
                                                "successo\n\nLa connessione all'archivio si è interrotta.\n\n")))
        << testo.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Denunce() + QStringLiteral("/EMens2008-03.Xml")));
    EXPECT_FALSE(w->buOk->isEnabled());
}
