// The public-sector window "DMA Dati iscritto" on a real embedded archive:
// the sections follow the current person (none without one), the lock and
// "&Sblocca", saving a section through the check dialog, the deletes that
// take a person's rows with them, the refusals of the paying entities, and
// bad text typed into the boxes.
#include "ZepFinestreDenunciaSupport.h"

#include "ZepCDma.h"
#include "ZepFDma.h"
#include "ZepFDmaInfo.h"
#include "ZepRDma.h"
#include "ZepRDmaE0.h"
#include "ZepRDmaE1.h"
#include "ZepRDmaEv.h"

#include "DBControls.h"
#include "Field.h"
#include "UqDialog.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

using namespace dentest;

// The check dialog is made first, so that it is still there when the
// windows close at the end of a test.
struct ConDialogoVerifica {
    TfmZepDmaInfo info;
};

class ZepFinestraDma : protected ConDialogoVerifica, public FinestreDenunciaTest {
protected:
    // A person with one E0 row (ORDINE = 10 * its position) and one paying
    // entity of it; its registry id.
    int Persona(const QString &cf, const QString &cognome, int stato = 0)
    {
        DataSet d0;
        store.Load(d0, TZepDma::TabellaD0);
        d0.append();
        d0.setFieldValue(TZepDma::CampoCodiceFiscale, cf);
        d0.setFieldValue(TZepDma::CampoCognome, cognome);
        d0.setFieldValue(TZepDma::CampoStato, stato);
        d0.post();
        store.Save(d0, TZepDma::TabellaD0);
        const int id = d0.fieldByName(TZepDma::CampoIscritto).asInteger();
        const int ordine = ++m_persone * 10;
        Aggiungi(TZepDma::TabellaE0,
                 {{TZepDma::CampoIscritto, id}, {TZepDma::CampoOrdine, ordine}, {QStringLiteral("SE0CODFIS"), cf}});
        Aggiungi(TZepDma::TabellaEvE0, {{TZepDma::CampoIscritto, id},
                                        {TZepDma::CampoOrdine, ordine},
                                        {QStringLiteral("CFAzienda"), QStringLiteral("01234567890")}});
        return id;
    }
    TfmZepDmaIscritto *Apri()
    {
        registry.xafExDma->Execute();
        return qobject_cast<TfmZepDmaIscritto *>(registry.xafExDma->Instance());
    }
    static QStringList Ids(const DataSet &ds)
    {
        QStringList out;
        for (const auto &row : ds.records())
            out << row.value(ds.fieldByName(TZepDma::CampoIscritto).index()).toString();
        return out;
    }
    static int Visibili(DataSet &ds) { return ds.recordCount(); }

    int m_persone = 0;
};

TEST_F(ZepFinestraDma, TheSectionsFollowTheCurrentPersonAndShowNothingWithoutOne)
{
    const int bianchi = Persona(Bianchi, QStringLiteral("BIANCHI"));
    const int rossi = Persona(Rossi, QStringLiteral("ROSSI"));
    TfmZepDmaIscritto *w = Apri();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("DMA Dati iscritto"));
    TfrQuvIscritto *f = w->frIscritto;
    QStringList pagine;
    for (int i = 0; i < f->pcDma->count(); ++i)
        pagine << f->pcDma->tabText(i);
    EXPECT_EQ(pagine, QStringList({"Quadro D0 ", "Quadro E0", "Quadro E1", "Quadro V1"}));
    // Ordered by surname: BIANCHI first.
    EXPECT_EQ(TZepDma::IscrittoCorrente(), bianchi);
    EXPECT_EQ(Visibili(f->frE0->cdsMain), 1);
    EXPECT_EQ(f->frE0->cdsMain.fieldByName(TZepDma::CampoIscritto).asInteger(), bianchi);
    EXPECT_EQ(f->frE0->frVersanti->cdsMain.recordCount(), 1); // the entity of that row only
    f->cdsMain.next();
    EXPECT_EQ(TZepDma::IscrittoCorrente(), rossi);
    EXPECT_EQ(f->frE0->cdsMain.fieldByName(TZepDma::CampoIscritto).asInteger(), rossi);
    EXPECT_EQ(f->frE0->frVersanti->cdsMain.fieldByName(TZepDma::CampoOrdine).asInteger(), 20);
    // While the person row is in edit, its sections are read-only.
    f->cdsMain.edit();
    EXPECT_TRUE(f->frE0->cdsMain.isReadOnly());
    f->cdsMain.cancel();
    EXPECT_FALSE(f->frE0->cdsMain.isReadOnly());
    // A new person row: no current person, no section rows.
    f->acInsert->trigger();
    EXPECT_EQ(f->pcDma->currentWidget(), f->tsD0);
    EXPECT_EQ(TZepDma::IscrittoCorrente(), 0);
    EXPECT_EQ(Visibili(f->frE0->cdsMain), 0);
    f->cdsMain.cancel();
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join(" | ").toStdString();
}

TEST_F(ZepFinestraDma, OnAnEmptyTableTheDetailPageWaitsForAPerson)
{
    Aggiungi(TZepDma::TabellaE0, {{TZepDma::CampoIscritto, 0}, {TZepDma::CampoOrdine, 1}});
    TfrQuvIscritto *f = Apri()->frIscritto;
    EXPECT_EQ(Visibili(f->frE0->cdsMain), 0); // a row of nobody is not shown
    f->pcMain->setCurrentWidget(f->tsDetail);
    EXPECT_EQ(f->pcMain->currentWidget(), f->tsGrid);
    // A person typed without fiscal code is refused with the message.
    f->acInsert->trigger();
    EXPECT_EQ(f->pcMain->currentWidget(), f->tsDetail);
    f->acPost->trigger();
    EXPECT_EQ(Messaggi(), QStringList({"Codice fiscale obbligatorio"}));
    EXPECT_TRUE(f->cdsMain.isEditing());
}

TEST_F(ZepFinestraDma, ALockedPersonIsReadOnlyUntilUnlocked)
{
    Persona(Rossi, QStringLiteral("ROSSI"), 1);
    TfrQuvIscritto *f = Apri()->frIscritto;
    EXPECT_EQ(f->Blocco(), 1);
    EXPECT_TRUE(f->acSblocca->isEnabled());
    EXPECT_TRUE(f->frE0->cdsMain.isReadOnly());
    f->acEdit->trigger();
    EXPECT_FALSE(f->cdsMain.isEditing()); // aborted silently
    EXPECT_TRUE(Messaggi().isEmpty());
    // "No" leaves it locked; "Si" opens and saves it.
    services->replyToMessages({platform::No});
    f->acSblocca->trigger();
    EXPECT_EQ(f->Blocco(), 1);
    services->replyToMessages({platform::Yes});
    f->acSblocca->trigger();
    EXPECT_EQ(Messaggi(), QStringList(2, "Il modello è gia stato stampato, si desidera modificarlo?"));
    EXPECT_EQ(f->Blocco(), 0);
    EXPECT_FALSE(f->frE0->cdsMain.isReadOnly());
    EXPECT_EQ(Colonna(TZepDma::TabellaD0, TZepDma::CampoStato), QStringList({QString()})); // 0: no value kept
}

TEST_F(ZepFinestraDma, DeletingAPersonAsksOnceAndTakesItsRows)
{
    Persona(Rossi, QStringLiteral("ROSSI"), 2);
    const int bianchi = Persona(Bianchi, QStringLiteral("BIANCHI"));
    TfrQuvIscritto *f = Apri()->frIscritto;
    f->cdsMain.last(); // ROSSI, sent
    services->replyToMessages({platform::No});
    f->acDelete->trigger();
    EXPECT_EQ(f->cdsMain.recordCount(), 2);
    services->replyToMessages({platform::Yes});
    f->acDelete->trigger();
    EXPECT_EQ(Messaggi(), QStringList(2, TZepDma::MsgCancellaStampato));
    for (const QString &t : {TZepDma::TabellaE0, TZepDma::TabellaEvE0})
        EXPECT_EQ(Colonna(t, TZepDma::CampoIscritto), QStringList({QString::number(bianchi)})) << t.toStdString();
    // Deleting a section row asks its own question and takes its entities.
    services->clear();
    services->replyToMessages({platform::Yes});
    f->frE0->acDelete->trigger();
    EXPECT_EQ(Messaggi(), QStringList({"Confermi la cancellazione del quadro E0 ?"}));
    EXPECT_TRUE(Colonna(TZepDma::TabellaE0, TZepDma::CampoIscritto).isEmpty());
    EXPECT_TRUE(Colonna(TZepDma::TabellaEvE0, TZepDma::CampoIscritto).isEmpty());
}

TEST_F(ZepFinestraDma, SavingASectionGoesThroughTheCheckDialog)
{
    const int rossi = Persona(Rossi, QStringLiteral("ROSSI"));
    TfrQuvE1 *e1 = Apri()->frIscritto->frE1;
    e1->acInsert->trigger();
    EXPECT_EQ(e1->cdsMain.fieldByName(QStringLiteral("NP_E1XXX001_COD_FONDO")).asString(), QStringLiteral("2145"));
    EXPECT_FALSE(e1->chConguaglio->isChecked());
    // The dialog lists what is missing; "No" keeps the row in edit.
    QString elenco;
    services->onNextDialog([&](QDialog &d) {
        elenco = d.findChild<QPlainTextEdit *>()->toPlainText();
        return int(mrNo);
    });
    e1->acPost->trigger();
    EXPECT_TRUE(elenco.contains(QStringLiteral(" - Dato obbligatorio mancante: Data inizio periodo (E1-4)")));
    EXPECT_TRUE(e1->cdsMain.isEditing());
    EXPECT_TRUE(Colonna(TZepDma::TabellaE1, TZepDma::CampoIscritto).isEmpty());
    // "Si" saves it for the current person.
    services->onNextDialog([](QDialog &) { return int(mrYes); });
    e1->acPost->trigger();
    EXPECT_FALSE(e1->cdsMain.isEditing());
    EXPECT_EQ(Colonna(TZepDma::TabellaE1, TZepDma::CampoIscritto), QStringList({QString::number(rossi)}));
    EXPECT_EQ(Colonna(TZepDma::TabellaE1, QStringLiteral("SE1CODFIS")), QStringList({Rossi}));
}

TEST_F(ZepFinestraDma, PayingEntitiesNeedTheirRowAndKeepThePageWhilePending)
{
    Persona(Rossi, QStringLiteral("ROSSI"));
    TfrQuvSezione *e0 = Apri()->frIscritto->frE0;
    TfrZepEv *ev = e0->frVersanti;
    e0->pcQuadro->setCurrentWidget(e0->tsVersanti);
    ev->acInsert->trigger();
    ASSERT_TRUE(ev->cdsMain.isEditing());
    e0->pcQuadro->setCurrentIndex(0);
    EXPECT_EQ(e0->pcQuadro->currentWidget(), e0->tsVersanti);
    EXPECT_EQ(Messaggi(), QStringList({TZepDma::MsgSalvarePrimaDiCambiarePagina}));
    ev->acPost->trigger();
    EXPECT_EQ(Messaggi().last(), TZepDma::MsgTuttiICampi);
    ev->cdsMain.cancel();
    // A new E0 row has no ORDINE yet: its entities are refused.
    e0->acInsert->trigger();
    ev->SetOrdine(0);
    ev->cdsMain.setReadOnly(false);
    ev->acInsert->trigger();
    EXPECT_FALSE(ev->cdsMain.isEditing());
    EXPECT_EQ(Messaggi().last(), TZepDma::MsgVersanteSenzaQuadro);
}

TEST_F(ZepFinestraDma, ThePaymentMonthOffersTheMonthBeforeTheV1RowAndTheRunEndsWithFineOperazione)
{
    const int id = Persona(Rossi, QStringLiteral("ROSSI"));
    Aggiungi(TZepDma::TabellaV1, {{TZepDma::CampoIscritto, id},
                                  {TZepDma::CampoOrdine, 1},
                                  {QStringLiteral("DT_V1XXX001_DINIZIO"), QDate(2023, 12, 1)}});
    Aggiungi(TZepDma::TabellaEvV1, {{TZepDma::CampoIscritto, id},
                                    {TZepDma::CampoOrdine, 1},
                                    {QStringLiteral("AnnoMeseErogazione"), QStringLiteral("2023-13")}});
    TfrZepEv *ev = Apri()->frIscritto->frV1->frVersanti;
    ASSERT_EQ(ev->cdsMain.recordCount(), 1);
    services->onNextDialog([](QDialog &) { return int(QDialog::Accepted); });
    ev->ScegliAnnoMese();
    EXPECT_EQ(ev->cdsMain.fieldByName(QStringLiteral("AnnoMeseErogazione")).asString(), QStringLiteral("2023-11"));
    ev->cdsMain.cancel();

    services->clear();
    info.Clear();
    info.MostraFineOperazione();
    EXPECT_EQ(Messaggi(), QStringList({"Fine operazione"}));
    EXPECT_TRUE(services->dialogs().isEmpty());
}

// Bad text typed into the boxes of the person and of its sections: the box
// says what is wrong in Italian, naming the field, and the row saved keeps
// the value it had.
struct TestoErrato {
    const char *nome;
    const char *quadro; // "D0", "E0" or "V1" (a paying entity of the V1 row)
    const char *campo;
    const char *testo;
    const char *messaggio;
};

void PrintTo(const TestoErrato &t, std::ostream *os)
{
    *os << t.nome;
}

class ZepFinestraDmaTesto : public ZepFinestraDma, public ::testing::WithParamInterface<TestoErrato> {};

TEST_P(ZepFinestraDmaTesto, IsRefusedWithAnItalianMessageAndNothingIsSavedHalf)
{
    const TestoErrato &c = GetParam();
    const int id = Persona(Rossi, QStringLiteral("ROSSI"));
    Aggiungi(TZepDma::TabellaV1, {{TZepDma::CampoIscritto, id}, {TZepDma::CampoOrdine, 1}});
    Aggiungi(TZepDma::TabellaEvV1, {{TZepDma::CampoIscritto, id},
                                    {TZepDma::CampoOrdine, 1},
                                    {QStringLiteral("TipoContributo"), QStringLiteral("1")},
                                    {QStringLiteral("CFAzienda"), QStringLiteral("01234567890")},
                                    {QStringLiteral("Imponibile"), 1000},
                                    {QStringLiteral("Contributo"), 100},
                                    {QStringLiteral("Aliquota"), QStringLiteral("A")},
                                    {QStringLiteral("AnnoMeseErogazione"), QStringLiteral("2023-11")}});
    TfrQuvIscritto *f = Apri()->frIscritto;
    const QString quadro = QLatin1String(c.quadro);
    TfrZepDatiDenuncia *frame = quadro == QLatin1String("D0")   ? static_cast<TfrZepDatiDenuncia *>(f)
                                : quadro == QLatin1String("E0") ? static_cast<TfrZepDatiDenuncia *>(f->frE0)
                                                                : f->frV1->frVersanti;
    const QString tabella = quadro == QLatin1String("D0")   ? TZepDma::TabellaD0
                            : quadro == QLatin1String("E0") ? TZepDma::TabellaE0
                                                            : TZepDma::TabellaEvV1;
    const QString campo = QLatin1String(c.campo);
    ASSERT_EQ(frame->cdsMain.recordCount(), 1);
    const QStringList prima = Colonna(tabella, campo);

    // The fiscal code is typed only into a new person.
    const bool nuovo = campo == TZepDma::CampoCodiceFiscale;
    (nuovo ? frame->acInsert : frame->acEdit)->trigger();
    ASSERT_TRUE(frame->cdsMain.isEditing());
    platform::DBEdit *box = frame->Dettaglio->Edit(campo);
    ASSERT_NE(box, nullptr);
    ASSERT_FALSE(box->isReadOnly());
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::fromUtf8(c.testo));
    QTest::keyClick(box, Qt::Key_Return);
    frame->acPost->trigger();

    const QString detto = Messaggi().join(QLatin1Char('\n'));
    EXPECT_TRUE(detto.contains(QString::fromUtf8(c.messaggio))) << detto.toStdString();
    for (const char *inglese : {"invalid", "cannot", "failed", "not a"})
        EXPECT_FALSE(detto.contains(QLatin1String(inglese), Qt::CaseInsensitive)) << detto.toStdString();
    if (frame->cdsMain.isEditing())
        frame->acCancel->trigger();
    EXPECT_EQ(Colonna(tabella, campo), prima) << "the value saved is the one before";
    EXPECT_EQ(Colonna(tabella, TZepDma::CampoIscritto), QStringList{QString::number(id)}) << "one row, whole";
}

INSTANTIATE_TEST_SUITE_P(
    Caselle, ZepFinestraDmaTesto,
    ::testing::Values(
        TestoErrato{"CodiceFiscaleTroppoLungo", "D0", "CF_D0001001_CODFIS", "RSSMRA80A01H501UXYZ",
                    "il testo ha 19 caratteri, il campo ne contiene al massimo 16"},
        TestoErrato{"DataDiNascitaImpossibile", "D0", "DT_D0001005_DATANAS", "31/02/1980", "non è una data valida"},
        TestoErrato{"CapTroppoLungo", "D0", "N5_D0001009_CAPRES", "001860", "il testo ha 6 caratteri"},
        TestoErrato{"LettereNelleRetribuzioni", "E0", "VP_E0XXX026_RETRFISSE", "12O0,50", "non è un numero"},
        TestoErrato{"TroppiDecimali", "E0", "PC_E0XXX014_PERCPT", "50,125", "ha più di 2 decimali"},
        TestoErrato{"GiorniInLettere", "E0", "NP_E0XXX015_GGUTILI", "trenta", "non è un numero intero"},
        TestoErrato{"InizioImpossibile", "E0", "DT_E0XXX001_DINIZIO", "00/13/2024", "non è una data valida"},
        TestoErrato{"ImponibileInLettere", "V1", "Imponibile", "mille", "non è un numero"},
        TestoErrato{"MeseDiErogazioneFuoriIntervallo", "V1", "AnnoMeseErogazione", "2023-13",
                    "Anno e mese di erogazione non impostato correttamente (AAAA-MM)."},
        TestoErrato{"MeseDiErogazioneZero", "V1", "AnnoMeseErogazione", "2023-00",
                    "Anno e mese di erogazione non impostato correttamente (AAAA-MM)."},
        // What has a fixed form is refused when the row is posted.
        TestoErrato{"CapDiLettere", "D0", "N5_D0001009_CAPRES", "ABCDE",
                    "Campo \"CAP di residenza\": \"ABCDE\" non è un CAP: servono 5 cifre"},
        TestoErrato{"ProvinciaDiCifre", "D0", "7B_PRORES", "40", "non è la sigla di una provincia"},
        TestoErrato{"PercentualeOltreCento", "E0", "PC_E0XXX014_PERCPT", "150",
                    "150,00 non è una percentuale: da 0 a 100"}),
    [](const auto &info) { return std::string(info.param.nome); });
