// The windows of the declaration tables on a real embedded archive: each
// opened once by its command, its table loaded for the working period,
// posts and deletes written back and found again after reopening, the
// checks and questions, the lookups, the rows marked for deletion, the
// 2022 bonus group, the declarant's groups and insert policy, and the
// performing-arts day grid.
#include "ZepFinestreDenunciaSupport.h"

#include "ZepFFplsExEnpals.h"
#include "ZepFMittente.h"
#include "ZepRCollaboratore.h"
#include "zepFCollaboratore.h"
#include "zepFDipendente.h"
#include "zepRDipendente.h"
#include "zepRFplsExEnpals.h"
#include "zepRMeseFplsExEnpals.h"
#include "zepRMese.h"
#include "zepRMittente.h"

#include "DBControls.h"
#include "DataSetModel.h"
#include "Field.h"
#include "SearchDialog.h"
#include "TovFCdsSearch.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace dentest;

class ZepFinestreDenuncia : public FinestreDenunciaTest {
protected:
    // The document window of the command, after running it.
    template <class T>
    T *Apri(TUqAttForm *comando)
    {
        comando->Execute();
        auto *w = qobject_cast<T *>(comando->Instance());
        EXPECT_NE(w, nullptr) << comando->Caption.toStdString();
        return w;
    }
    static void Scrivi(TfrTovBase *frame, const QString &campo, const QString &testo)
    {
        auto *edit = frame->findChild<platform::DBEdit *>(QStringLiteral("ed") + campo);
        ASSERT_NE(edit, nullptr) << campo.toStdString();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, testo);
    }
    // Closes the window as its close button does, and lets it go as the
    // message loop would.
    static void Chiudi(TfmUqChildDoc *w)
    {
        w->SubWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(ZepFinestreDenuncia, EachCommandOpensItsWindowOnceOnTheTableOfTheWorkingPeriod)
{
    Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Rossi}, {"Cognome", "ROSSI"}, {"Qualifica2", "F"}});
    Aggiungi(TZepCollaboratore::Tabella, {{"CFCollaboratore", Bianchi}, {"Cognome", "BIANCHI"}});
    Aggiungi(TZepFplsExEnpals::Tabella, {{"CFLavoratore", Bianchi}, {"Cognome", "BIANCHI"}});
    DataSet dichiarante;
    store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);
    dichiarante.append();
    dichiarante.setFieldValue("CFMittente", "01234567890");
    dichiarante.post();
    store.SavePeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);

    struct Case {
        TUqAttForm *comando;
        QString classe, titolo, tabella;
    } cases[] = {
        {registry.xafDipendenti, "TfmZepDipendente", "Dipendenti", TZepDipendente::Tabella},
        {registry.xafCollaboratori, "TfmZepCollaboratore", "Collaboratori", TZepCollaboratore::Tabella},
        {registry.axfDatiDich, "TfmZepMittente", "Dichiarante", TZepParametri::TabellaDichiarante},
        {registry.xafFlplsExEnpals, "TfmZepFFplsExEnpals", "Iscritti Fpls ExEnpals", TZepFplsExEnpals::Tabella},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.classe.toStdString());
        auto *w = Apri<TfmZepDatiDenuncia>(c.comando);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(QString::fromLatin1(w->metaObject()->className()), c.classe);
        EXPECT_EQ(w->windowTitle(), c.titolo);
        EXPECT_EQ(w->Tabella().Nome(), c.tabella);
        EXPECT_EQ(w->Frame()->cdsMain.recordCount(), 1);
        c.comando->Execute();
        EXPECT_EQ(c.comando->Instance(), w) << "one instance per command";
    }
    EXPECT_EQ(finestra.MDIChildCount(), 4);
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join(" | ").toStdString();

    // The grid of the employees: its columns and titles.
    auto *dip = qobject_cast<TfmZepDipendente *>(registry.xafDipendenti->Instance());
    platform::DataSetModel *model = dip->frDipendente->grModel;
    QStringList titoli;
    for (int c = 0; c < model->columnCount(); ++c)
        titoli << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titoli, QStringList({"Codice fiscale", "Cognome", "Nome", "Matricola INPS", "Intero/PT"}));
    EXPECT_EQ(dip->frDipendente->cdsMain.indexFieldNames(), TZepDipendente::IndiceFinestra);
    auto *coll = qobject_cast<TfmZepCollaboratore *>(registry.xafCollaboratori->Instance());
    EXPECT_EQ(coll->frCollaboratore->cdsMain.indexFieldNames(), TZepCollaboratore::IndiceFinestra);
}

// The lists open on their first row in the window's order, whatever the
// order the rows were stored in.
TEST_F(ZepFinestreDenuncia, TheListsOpenOnTheirFirstRow)
{
    Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Rossi}, {"Cognome", "ZETA"}, {"Qualifica2", "F"}});
    Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Bianchi}, {"Cognome", "ALFA"}, {"Qualifica2", "F"}});
    Aggiungi(TZepCollaboratore::Tabella, {{"CFCollaboratore", Rossi}, {"Cognome", "ZETA"}});
    Aggiungi(TZepCollaboratore::Tabella, {{"CFCollaboratore", Bianchi}, {"Cognome", "ALFA"}});
    for (TUqAttForm *comando : {registry.xafDipendenti, registry.xafCollaboratori}) {
        SCOPED_TRACE(comando->Caption.toStdString());
        auto *w = Apri<TfmZepDatiDenuncia>(comando);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->Frame()->cdsMain.currentRow(), 0);
        EXPECT_EQ(w->Frame()->cdsMain.fieldValue("Cognome").toString(), "ALFA");
    }
}

TEST_F(ZepFinestreDenuncia, PostsAndDeletesAreWrittenBackAndFoundAgainAfterReopening)
{
    auto *w = Apri<TfmZepDipendente>(registry.xafDipendenti);
    TfrZepDipendente *fr = w->frDipendente;
    fr->acInsert->trigger();
    EXPECT_EQ(fr->pcMain->currentWidget(), fr->tsDetail);
    EXPECT_EQ(fr->cdsMain.fieldValue("Elimina").toString(), QStringLiteral("N"));
    EXPECT_EQ(fr->cdsMain.fieldValue("RispettoMinimale").toString(), QStringLiteral("0"));

    // Without a fiscal code the row stays in insert.
    fr->acPost->trigger();
    EXPECT_EQ(Messaggi(), QStringList{"Codice fiscale obbligatorio"});
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Insert);
    Scrivi(fr, "CFLavoratore", QStringLiteral("rssmra80a01h501u"));
    Scrivi(fr, "Cognome", QStringLiteral("Rossi"));
    Scrivi(fr, "Imponibile", QStringLiteral("1234,5"));
    fr->acPost->trigger();
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Browse);
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "CFLavoratore"), QStringList{Rossi}) << "upper case, saved at once";
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "AnnoMeseDenuncia"), QStringList{"2024-03"});
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "Imponibile"), QStringList{"1234.5"});

    // An edit that blanks the fiscal code is refused too.
    services->clear();
    fr->acEdit->trigger();
    Scrivi(fr, "CFLavoratore", QString());
    fr->acPost->trigger();
    EXPECT_EQ(Messaggi(), QStringList{"Codice fiscale obbligatorio"});
    fr->acCancel->trigger();

    fr->acInsert->trigger();
    Scrivi(fr, "CFLavoratore", Bianchi);
    Scrivi(fr, "Cognome", QStringLiteral("BIANCHI"));
    fr->acPost->trigger();
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "Cognome", "Cognome"), QStringList({"BIANCHI", "ROSSI"}));

    // A delete the user does not confirm deletes nothing; a confirmed one
    // is written back.
    ASSERT_TRUE(fr->cdsMain.locate("Cognome", Value(QStringLiteral("ROSSI"))));
    services->clear();
    services->replyToMessages({platform::No, platform::Yes});
    fr->acDelete->trigger();
    EXPECT_EQ(fr->cdsMain.recordCount(), 2);
    fr->acDelete->trigger();
    EXPECT_EQ(Messaggi(), QStringList({"Confermi la cancellazione del modello corrente?",
                                       "Confermi la cancellazione del modello corrente?"}));
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "Cognome"), QStringList{"BIANCHI"});

    Chiudi(w);
    EXPECT_EQ(finestra.MDIChildCount(), 0);
    w = Apri<TfmZepDipendente>(registry.xafDipendenti);
    EXPECT_EQ(w->frDipendente->cdsMain.recordCount(), 1);
    EXPECT_EQ(w->frDipendente->cdsMain.fieldValue("Cognome").toString(), QStringLiteral("BIANCHI"));
}

// Bad input is refused with a message naming the field as the window shows
// it, and nothing of it is saved: a number with letters, a text longer than
// its field, a date that does not exist when the box is left; a fiscal code
// or a character INPS would refuse when the row is posted.
TEST_F(ZepFinestreDenuncia, BadInputIsRefusedNamingTheField)
{
    const auto lascia = [](TfrTovBase *frame, const QString &campo, const QString &testo) {
        auto *edit = frame->findChild<platform::DBEdit *>(QStringLiteral("ed") + campo);
        edit->setText(testo);
        emit edit->textEdited(testo);
        emit edit->editingFinished();
    };
    auto *w = Apri<TfmZepDipendente>(registry.xafDipendenti);
    TfrZepDipendente *fr = w->frDipendente;
    fr->acInsert->trigger();
    lascia(fr, "Imponibile", QStringLiteral("12a,5x"));
    lascia(fr, "Cognome", QString(300, QLatin1Char('A')));
    EXPECT_EQ(Messaggi(),
              (QStringList{"Campo \"Imponibile\": \"12A,5X\" non è un numero (cifre e, per i decimali, una virgola)",
                           "Campo \"Cognome\": il testo ha 300 caratteri, il campo ne contiene al massimo 60"}));
    EXPECT_TRUE(fr->cdsMain.fieldByName("Imponibile").isNull());
    EXPECT_TRUE(fr->cdsMain.fieldByName("Cognome").isNull());

    services->clear();
    lascia(fr, "CFLavoratore", QStringLiteral("RSSMRA80A01H501"));
    fr->acPost->trigger();
    lascia(fr, "CFLavoratore", Rossi);
    lascia(fr, "Nome", QStringLiteral("MARIO 😀"));
    fr->acPost->trigger();
    EXPECT_EQ(Messaggi(),
              (QStringList{"Campo \"Codice fiscale\": "
                               + TZepTabellaDenuncia::MsgCodiceFiscaleNonValido.arg("RSSMRA80A01H501"),
                           "Campo \"Nome\": " + TZepTabellaDenuncia::MsgCarattereNonAmmesso.arg("😀", "U+1F600")}));
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Insert);
    EXPECT_TRUE(Colonna(TZepDipendente::Tabella, "CFLavoratore").isEmpty());
    fr->acCancel->trigger();

    services->clear();
    auto *c = Apri<TfmZepCollaboratore>(registry.xafCollaboratori);
    c->frCollaboratore->acInsert->trigger();
    lascia(c->frCollaboratore, "Dal", QStringLiteral("31/02/2024"));
    EXPECT_EQ(Messaggi(), QStringList{"Campo \"Dal\": \"31/02/2024\" non è una data valida (gg/mm/aaaa)"});
    c->frCollaboratore->acCancel->trigger();

    // A field of a fixed form: the declarant's CAP of letters is refused
    // when the row is posted, and not saved.
    services->clear();
    TfrZepMittente *m = Apri<TfmZepMittente>(registry.axfDatiDich)->frMittente;
    lascia(m, "CFMittente", QStringLiteral("01234567890"));
    lascia(m, "CAP", QStringLiteral("ABCDE"));
    m->acPost->trigger();
    EXPECT_EQ(Messaggi(),
              QStringList{"Campo \"Altri dati sede di lavoro - CAP\": \"ABCDE\" non è un CAP: servono 5 cifre"});
    EXPECT_EQ(m->cdsMain.state(), platform::DataSetState::Insert);
    DataSet dichiarante;
    store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);
    EXPECT_TRUE(dichiarante.isEmpty());
    lascia(m, "CAP", QStringLiteral("40121"));
    m->acPost->trigger();
    store.LoadPeriod(dichiarante, TZepParametri::TabellaDichiarante, 2024, 0);
    EXPECT_EQ(dichiarante.fieldValue("CAP").toString(), QStringLiteral("40121"));
}

TEST_F(ZepFinestreDenuncia, AFailedSaveIsShownAndTheRowStaysUnsavedUntilTheNextSave)
{
    auto *w = Apri<TfmZepCollaboratore>(registry.xafCollaboratori);
    TfrTovBase *fr = w->frCollaboratore;
    tdb.db().execute(
        QStringLiteral("ALTER TABLE TFIS_DATIFISCALI ADD CONSTRAINT CK_TEST_RIFIUTO CHECK (SFISVALUE <> '99')"));
    fr->acInsert->trigger();
    Scrivi(fr, "CFCollaboratore", Rossi);
    Scrivi(fr, "TipoRapporto", QStringLiteral("99"));
    fr->acPost->trigger();
    ASSERT_EQ(Messaggi().size(), 1);
    EXPECT_TRUE(Messaggi().at(0).contains("CK_TEST_RIFIUTO")) << Messaggi().at(0).toStdString();
    EXPECT_EQ(fr->cdsMain.recordCount(), 1);
    EXPECT_EQ(fr->cdsMain.changeCount(), 1) << "kept as not saved";
    EXPECT_TRUE(Colonna(TZepCollaboratore::Tabella, "CFCollaboratore").isEmpty());

    // Closing tries again; refused again, the user keeps the window (No).
    services->clear();
    services->replyToMessages({platform::Ok, platform::No});
    w->SubWindow()->close();
    EXPECT_EQ(finestra.MDIChildCount(), 1);
    ASSERT_EQ(Messaggi().size(), 2);
    EXPECT_TRUE(Messaggi().at(0).contains("CK_TEST_RIFIUTO"));
    EXPECT_EQ(Messaggi().at(1), TZepTabellaDenuncia::MsgChiudereSenzaSalvare);
    EXPECT_EQ(fr->cdsMain.changeCount(), 1);

    // The next post writes it too.
    tdb.db().execute(QStringLiteral("ALTER TABLE TFIS_DATIFISCALI DROP CONSTRAINT CK_TEST_RIFIUTO"));
    fr->acInsert->trigger();
    Scrivi(fr, "CFCollaboratore", Bianchi);
    fr->acPost->trigger();
    EXPECT_EQ(fr->cdsMain.changeCount(), 0);
    EXPECT_EQ(Colonna(TZepCollaboratore::Tabella, "CFCollaboratore"), QStringList({Rossi, Bianchi}));
}

TEST_F(ZepFinestreDenuncia, RowsMarkedForDeletionAreRed)
{
    Aggiungi(TZepCollaboratore::Tabella, {{"CFCollaboratore", Rossi}, {"Cognome", "ANNULLATO"}, {"Elimina", "S"}});
    Aggiungi(TZepCollaboratore::Tabella, {{"CFCollaboratore", Bianchi}, {"Cognome", "BUONO"}, {"Elimina", "N"}});
    auto *w = Apri<TfmZepCollaboratore>(registry.xafCollaboratori);
    QTableView *grid = w->frCollaboratore->grFrame;
    w->frCollaboratore->cdsMain.last(); // the red row is not the current one
    QCoreApplication::processEvents();
    const QImage image = grid->viewport()->grab().toImage();
    const auto color = [&](int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        return QColor(image.pixel(cell.right() - 2, cell.center().y()));
    };
    EXPECT_EQ(color(0), QColor(Qt::red));
    EXPECT_NE(color(1), QColor(Qt::red));
}

TEST_F(ZepFinestreDenuncia, LookupsWriteTheCodeOfTheChosenRowAndACancelledOneChangesNothing)
{
    Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Rossi}, {"Cognome", "ROSSI"}, {"Qualifica1", "1"}});
    auto *w = Apri<TfmZepDipendente>(registry.xafDipendenti);
    TfrZepDipendente *fr = w->frDipendente;
    auto *edit = fr->findChild<platform::DBEdit *>("edQualifica1");
    ASSERT_NE(edit, nullptr);

    services->onNextDialog([](QDialog &d) {
        auto &search = static_cast<TfmTovRicerca &>(d);
        EXPECT_TRUE(search.cdsSearch.locate("Codice", Value(QStringLiteral("2"))));
        return int(mrOk);
    });
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F8);
    EXPECT_EQ(fr->cdsMain.fieldValue("Qualifica1").toString(), QStringLiteral("2"));
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Edit);
    fr->acCancel->trigger();

    services->onNextDialog([](QDialog &) { return int(mrCancel); });
    emit edit->ButtonClick();
    EXPECT_EQ(fr->cdsMain.fieldValue("Qualifica1").toString(), QStringLiteral("1"));
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Browse) << "a cancelled search changes nothing";
    ASSERT_EQ(services->dialogs().size(), 2);
    EXPECT_EQ(services->dialogs().at(0).className, QStringLiteral("TfmTovRicerca"));

    // Citizenship: the archive's states.
    tdb.db().execute(
        QStringLiteral("INSERT INTO TSTA_STATI (ISTAID, SSTAISTAT, SSTALDESC) VALUES (1, '000', 'ITALIA')"));
    tdb.db().execute(
        QStringLiteral("INSERT INTO TSTA_STATI (ISTAID, SSTAISTAT, SSTALDESC) VALUES (2, '215', 'FRANCIA')"));
    tdb.db().execute(
        QStringLiteral("INSERT INTO TSTA_STATI (ISTAID, SSTAISTAT, SSTALDESC) VALUES (3, NULL, 'NESSUNO')"));
    services->onNextDialog([](QDialog &d) {
        auto &search = static_cast<platform::SearchDialog &>(d);
        EXPECT_EQ(search.Data().recordCount(), 2);
        EXPECT_TRUE(search.Data().locate("SSTALDESC", Value(QStringLiteral("FRANCIA"))));
        return int(QDialog::Accepted);
    });
    auto *cittadinanza = fr->findChild<platform::DBEdit *>("edCittadinanza");
    cittadinanza->setFocus();
    QTest::keyClick(cittadinanza, Qt::Key_F8);
    EXPECT_EQ(fr->cdsMain.fieldValue("Cittadinanza").toString(), QStringLiteral("215"));
}

TEST_F(ZepFinestreDenuncia, TheBonusGroupShowsIn2022ByMonth)
{
    struct Case {
        const char *anno, *mese;
        bool visibile, meseModificabile, riferimento;
    } cases[] = {{"2022", "07", true, true, false},
                 {"2022", "11", true, false, true},
                 {"2023", "07", false, false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.anno) + "-" + c.mese);
        Periodo(QString::fromLatin1(c.anno), QString::fromLatin1(c.mese));
        Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Rossi}});
        auto *w = Apri<TfmZepDipendente>(registry.xafDipendenti);
        TfrZepDipendente *fr = w->frDipendente;
        EXPECT_EQ(!fr->gbBonus->isHidden(), c.visibile);
        if (c.visibile) {
            EXPECT_EQ(fr->gbBonus->title(), TZepDipendente::Bonus(AnnoDenuncia, MeseDenuncia).titolo);
            EXPECT_EQ(!fr->edBonusUTMese->isReadOnly(), c.meseModificabile);
            EXPECT_EQ(!fr->lbBonusUTBaseRif->isHidden(), c.riferimento);
            EXPECT_EQ(!fr->edBonusUTBaseRif->isHidden(), c.riferimento);
            EXPECT_EQ(fr->lbBonusUTBaseRif->text(), QStringLiteral("Riferimento base"));
        }
        Chiudi(w);
    }
}

TEST_F(ZepFinestreDenuncia, TheDeclarantIsOneRowNeverDeletedWithItsPublicAdministrationGroups)
{
    // A year without declarant: an empty form on which the user types one.
    auto *w = Apri<TfmZepMittente>(registry.axfDatiDich);
    TfrZepMittente *fr = w->frMittente;
    EXPECT_TRUE(fr->pcMain->tabBar()->isHidden());
    EXPECT_EQ(fr->pcMain->currentWidget(), fr->tsDetail);
    EXPECT_TRUE(fr->gbEnte->isHidden());
    EXPECT_TRUE(fr->gbSedeServizio->isHidden());
    Scrivi(fr, "CFMittente", QStringLiteral("01234567890"));
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Insert);
    fr->acPost->trigger();
    EXPECT_EQ(fr->cdsMain.recordCount(), 1);

    // One row: insert and delete do nothing and say nothing.
    services->clear();
    fr->acInsert->trigger();
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Browse);
    fr->acDelete->trigger();
    EXPECT_EQ(fr->cdsMain.recordCount(), 1);
    EXPECT_TRUE(Messaggi().isEmpty());

    for (const auto &[codice, visibili] :
         QList<QPair<QString, bool>>{{"00123", true}, {"0000", false}, {"X1", false}, {"7", true}}) {
        Scrivi(fr, "CodiceINPDAP", codice);
        EXPECT_EQ(!fr->gbEnte->isHidden(), visibili) << codice.toStdString();
        EXPECT_EQ(!fr->gbSedeServizio->isHidden(), visibili) << codice.toStdString();
    }
    fr->acPost->trigger();
    DataSet stored;
    store.LoadPeriod(stored, TZepParametri::TabellaDichiarante, 2024, 0);
    ASSERT_EQ(stored.recordCount(), 1);
    EXPECT_EQ(stored.fieldValue("CFMittente").toString(), QStringLiteral("01234567890"));
    EXPECT_EQ(stored.fieldValue("CodiceINPDAP").toString(), QStringLiteral("7"));
}

TEST_F(ZepFinestreDenuncia, ThePerformingArtsDayGridChecksAndWritesItsTwoRows)
{
    Periodo(QStringLiteral("2024"), QStringLiteral("02"));
    Aggiungi(TZepFplsExEnpals::Tabella, {{"CFLavoratore", Rossi},
                                         {"Cognome", "ROSSI"},
                                         {"GiorniRetribuiti", 2},
                                         {"GiorniLavorati", "S S"},
                                         {"GiorniTipoCopertura", "X 1"}});
    auto *w = Apri<TfmZepFFplsExEnpals>(registry.xafFlplsExEnpals);
    TfrZepFplsExEnpals *fr = w->frFplsExEnpals;
    TfrZepMeseFplsExEnpals *grid = fr->frMese;
    ASSERT_EQ(grid->Giorni(), 29);
    EXPECT_EQ(grid->lbw.at(0)->text(), QStringLiteral("GIO")) << "1 February 2024 was a Thursday";
    EXPECT_EQ(grid->edGG.at(2)->text(), QStringLiteral("S"));
    EXPECT_EQ(grid->edGGTC.at(2)->text(), QStringLiteral("1"));
    EXPECT_EQ(grid->lbIntestazione->text(), TZepMeseFplsExEnpals::Intestazione);
    // The family unit is on the page, so that a partial one can be mended.
    for (const char *campo : {"edTipoANF", "edNumANF", "edClasseANF"})
        EXPECT_TRUE(fr->findChild<QWidget *>(campo)->isVisibleTo(fr->paDettaglio)) << campo;

    // Day 2 worked: 'x' is refused in the worked row, 's' becomes "S".
    QTest::keyClick(grid->edGG.at(1), Qt::Key_X);
    EXPECT_EQ(grid->edGG.at(1)->text(), QString());
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Browse);
    QTest::keyClick(grid->edGG.at(1), Qt::Key_S);
    EXPECT_EQ(grid->edGG.at(1)->text(), QStringLiteral("S"));
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Edit);
    QTest::keyClick(grid->edGGTC.at(1), Qt::Key_S);
    EXPECT_EQ(grid->edGGTC.at(1)->text(), QString());
    fr->acPost->trigger();
    EXPECT_EQ(Messaggi(), QStringList{TZepMeseFplsExEnpals::MsgGiorniCoperti});
    QTest::keyClick(grid->edGGTC.at(1), Qt::Key_2);
    fr->acPost->trigger();
    EXPECT_EQ(Messaggi().last(), TZepMeseFplsExEnpals::MsgGiorniRetribuiti);
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Edit);
    Scrivi(fr, "GiorniRetribuiti", QStringLiteral("3"));
    fr->acPost->trigger();
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Browse);
    EXPECT_EQ(Colonna(TZepFplsExEnpals::Tabella, "GiorniLavorati"), QStringList{"SSS" + QString(26, QLatin1Char(' '))});
    EXPECT_EQ(Colonna(TZepFplsExEnpals::Tabella, "GiorniTipoCopertura"),
              QStringList{"X21" + QString(26, QLatin1Char(' '))});
    // Backspace blanks a day.
    QTest::keyClick(grid->edGG.at(0), Qt::Key_Backspace);
    EXPECT_EQ(grid->edGG.at(0)->text(), QString());
    fr->acCancel->trigger();
    EXPECT_EQ(grid->edGG.at(0)->text(), QStringLiteral("S")) << "the grid shows the row again";
}

TEST_F(ZepFinestreDenuncia, Before2011TheDayGridIsHiddenAndItsTextsAreLeftAsStored)
{
    Periodo(QStringLiteral("2010"), QStringLiteral("05"));
    Aggiungi(TZepFplsExEnpals::Tabella,
             {{"CFLavoratore", Rossi}, {"GiorniRetribuiti", 5}, {"GiorniLavorati", "S"}, {"GiorniTipoCopertura", "X"}});
    auto *w = Apri<TfmZepFFplsExEnpals>(registry.xafFlplsExEnpals);
    TfrZepFplsExEnpals *fr = w->frFplsExEnpals;
    EXPECT_TRUE(fr->frMese->isHidden());
    EXPECT_FALSE(fr->GrigliaGiorni());
    fr->acEdit->trigger();
    Scrivi(fr, "Cognome", QStringLiteral("ROSSI"));
    fr->acPost->trigger();
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join(" | ").toStdString();
    EXPECT_EQ(Colonna(TZepFplsExEnpals::Tabella, "GiorniLavorati"), QStringList{"S"});
    EXPECT_EQ(Colonna(TZepFplsExEnpals::Tabella, "GiorniTipoCopertura"), QStringList{"X"});
}

TEST_F(ZepFinestreDenuncia, TheEmployeesMonthGridWritesTheDayCodesFrom2011AndNeverBefore)
{
    Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Rossi}, {"GIORNI", "SSN"}});
    auto *w = Apri<TfmZepDipendente>(registry.xafDipendenti);
    TfrZepDipendente *fr = w->frDipendente;
    ASSERT_TRUE(fr->GrigliaGiorni());
    EXPECT_FALSE(fr->frMese->isHidden());
    EXPECT_EQ(fr->frMese->Giorni(), 31);
    EXPECT_EQ(fr->frMese->CasellaGiorno(3)->text(), QStringLiteral("N"));
    QTest::keyClick(fr->frMese->CasellaGiorno(4), Qt::Key_S);
    EXPECT_EQ(fr->cdsMain.state(), platform::DataSetState::Edit);
    fr->acPost->trigger();
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "GIORNI"), QStringList{"SSNS" + QString(27, QLatin1Char(' '))});
    Chiudi(w);

    // Before 2011 the grid is hidden and the stored codes stay as they are.
    Periodo(QStringLiteral("2010"), QStringLiteral("05"));
    Aggiungi(TZepDipendente::Tabella, {{"CFLavoratore", Rossi}, {"GIORNI", "SSN"}});
    w = Apri<TfmZepDipendente>(registry.xafDipendenti);
    fr = w->frDipendente;
    EXPECT_FALSE(fr->GrigliaGiorni());
    EXPECT_TRUE(fr->frMese->isHidden());
    fr->acEdit->trigger();
    Scrivi(fr, "Cognome", QStringLiteral("ROSSI"));
    fr->acPost->trigger();
    EXPECT_TRUE(Messaggi().isEmpty()) << Messaggi().join(" | ").toStdString();
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "Cognome"), QStringList{"ROSSI"});
    EXPECT_EQ(Colonna(TZepDipendente::Tabella, "GIORNI"), QStringList{"SSN"});
}
