// The holiday list: the year's rows checked before anything is written,
// written all or nothing (a fault of the archive included), seen by the
// day-by-day calendar's statement; the window asks before dropping changes
// and says what a typed cell cannot hold.
#include "PayrollTestSupport.h"
#include "RecordingServices.h"
#include "wunFTabFeste.h"

#include "DataSetModel.h"
#include "Exceptions.h"
#include "Field.h"
#include "SqlQuery.h"
#include "tovUExceptions.h"

#include <QLineEdit>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <gtest/gtest.h>

using platform::Value;
using payrolltest::DemoArchiveSuite;

namespace {

constexpr int Anno = 2024;

class TabFeste : public DemoArchiveSuite {
protected:
    RecordingServicesScope services;

    // The year's rows as the archive holds them: "dd/MM|kind|description;...".
    static QString archivio()
    {
        platform::SqlQuery q(db());
        q.setSql(QStringLiteral("SELECT DFESDATA, IFESTIPO, SFESLDESC FROM TFES_FESTIVITA WHERE DFESDATA BETWEEN "
                                "'2024-01-01' AND '2024-12-31' ORDER BY DFESDATA, IFESID"));
        q.open();
        QStringList righe;
        for (; !q.eof(); q.next())
            righe << QStringLiteral("%1|%2|%3")
                         .arg(q.value(0).toDate().toString(QStringLiteral("dd/MM")))
                         .arg(q.value(1).toInt())
                         .arg(q.value(2).toString());
        return righe.join(QLatin1Char(';'));
    }

    static bool vai(TWunTabFeste &feste, const QDate &data)
    {
        return feste.xqcChiusure.locate(QStringLiteral("DFESDATA"), Value(data));
    }
};

TEST_F(TabFeste, FaultyRowsAreRefusedBeforeAnythingIsWritten)
{
    const QString prima = archivio();
    ASSERT_FALSE(prima.isEmpty());
    const struct {
        const char *caso;
        std::function<void(TWunTabFeste &)> modifica;
        QString messaggio;
    } casi[] = {
        {"no date", [](TWunTabFeste &f) { f.xqcChiusure.append(); }, TWunTabFeste::MsgDataObbligatoria},
        {"another year",
         [](TWunTabFeste &f) {
             ASSERT_TRUE(vai(f, QDate(Anno, 12, 25)));
             f.xqcChiusure.edit();
             f.xqcChiusure.fieldByName("DFESDATA").setValue(QDate(Anno + 1, 12, 25));
         },
         TWunTabFeste::MsgDataFuoriAnno.arg("25/12/2025").arg(Anno)},
        {"a date twice",
         [](TWunTabFeste &f) {
             f.xqcChiusure.append();
             f.xqcChiusure.fieldByName("DFESDATA").setValue(QDate(Anno, 12, 25));
         },
         TWunTabFeste::MsgDataDoppia.arg("25/12/2024")},
        {"no contracts",
         [](TWunTabFeste &f) {
             ASSERT_TRUE(vai(f, QDate(Anno, 1, 1)));
             f.xqcChiusure.edit();
             f.xqcChiusure.fieldByName("IFESTIPO").setValue(0);
         },
         TWunTabFeste::MsgTipoErrato.arg("01/01/2024")},
    };
    for (const auto &c : casi) {
        SCOPED_TRACE(c.caso);
        TWunTabFeste feste(&db());
        feste.Apri(Anno);
        // A good change beside the faulty one: it must not be written alone.
        ASSERT_TRUE(vai(feste, QDate(Anno, 8, 15)));
        feste.xqcChiusure.edit();
        feste.xqcChiusure.fieldByName("SFESLDESC").setValue(QStringLiteral("Ferragosto (modificato)"));
        feste.xqcChiusure.post();
        c.modifica(feste);
        try {
            feste.Salva();
            ADD_FAILURE() << "saved";
        } catch (const ETovWarning &e) {
            EXPECT_EQ(e.message(), c.messaggio);
        }
        EXPECT_EQ(archivio(), prima);
        EXPECT_TRUE(feste.Modificato()) << "the changes stay, to be put right";
    }
    EXPECT_THROW(TWunTabFeste(&db()).Apri(0), EUqError);
}

TEST_F(TabFeste, ChangesAreWrittenTogetherAndTheCalendarSeesThem)
{
    TWunTabFeste feste(&db());
    feste.Apri(Anno);
    const int righe = feste.xqcChiusure.recordCount();
    feste.xqcChiusure.append();
    feste.xqcChiusure.fieldByName("DFESDATA").setValue(QDate(Anno, 6, 24));
    feste.xqcChiusure.fieldByName("SFESLDESC").setValue(QStringLiteral("San Giovanni"));
    feste.xqcChiusure.fieldByName("IFESTIPO").setValue(TWunTabFeste::TipoPrivati);
    ASSERT_TRUE(vai(feste, QDate(Anno, 12, 26)));
    feste.xqcChiusure.deleteRecord();
    EXPECT_EQ(feste.Salva(), 2);
    EXPECT_FALSE(feste.Modificato());

    TWunTabFeste riletta(&db());
    riletta.Apri(Anno);
    EXPECT_EQ(riletta.xqcChiusure.recordCount(), righe);
    EXPECT_TRUE(vai(riletta, QDate(Anno, 6, 24)));
    EXPECT_FALSE(vai(riletta, QDate(Anno, 12, 26)));

    // The private contracts' calendar has the new holiday, the public one not.
    for (const auto &[tipo, attesa] : {std::pair{2, 1}, std::pair{4, 0}}) {
        platform::SqlQuery q(db());
        q.setSql(QStringLiteral("SELECT COUNT(*) FROM TFES_FESTIVITA FES WHERE FES.DFESDATA = '2024-06-24' AND "
                                "BIN_AND(FES.IFESTIPO, CAST(:TIPO AS INTEGER)) <> 0"));
        q.bind(QStringLiteral("TIPO"), tipo);
        q.open();
        EXPECT_EQ(q.value(0).toInt(), attesa) << tipo;
    }
}

TEST_F(TabFeste, AFaultOfTheArchiveWritesNothingAndKeepsTheChanges)
{
    const QString prima = archivio();
    TWunTabFeste feste(&db());
    feste.Apri(Anno);
    ASSERT_TRUE(vai(feste, QDate(Anno, 8, 15)));
    feste.xqcChiusure.edit();
    feste.xqcChiusure.fieldByName("SFESLDESC").setValue(QStringLiteral("Assunzione"));
    feste.xqcChiusure.post();
    feste.xqcChiusure.append();
    feste.xqcChiusure.fieldByName("DFESDATA").setValue(QDate(Anno, 7, 2));
    const Value id = feste.xqcChiusure.fieldByName("IFESID").value();
    feste.xqcChiusure.post();
    // Another workstation took the new row's id meanwhile.
    platform::SqlQuery altro(db());
    altro.setSql(QStringLiteral("INSERT INTO TFES_FESTIVITA (IFESID, DFESDATA) VALUES (:ID, '2030-01-01')"));
    altro.bind(QStringLiteral("ID"), id);
    altro.execSQL();
    const QString conAltro = archivio();

    EXPECT_THROW(feste.Salva(), platform::EDatabaseError);
    EXPECT_EQ(archivio(), conAltro);
    EXPECT_EQ(conAltro, prima) << "the other row is of another year";
    EXPECT_EQ(feste.xqcChiusure.changeCount(), 2);
}

TEST_F(TabFeste, TheWindowAsksBeforeDroppingAndSaysWhatACellCannotHold)
{
    const QString prima = archivio();
    auto *finestra = new TfmTabFeste;
    finestra->setAttribute(Qt::WA_DeleteOnClose);
    finestra->seAnno->setValue(Anno);
    finestra->show();
    EXPECT_EQ(finestra->property("xqcChiusure").value<TUqQueryCollection *>(), &finestra->Regole().xqcChiusure);
    ASSERT_GT(finestra->grModel->rowCount(), 0);
    EXPECT_FALSE(finestra->btSalva->isEnabled());

    // A description longer than the archive keeps: said, the cell unchanged.
    const QModelIndex descrizione = finestra->grModel->index(0, finestra->grModel->columnOf("SFESLDESC"));
    const QString originale = descrizione.data().toString();
    QStyleOptionViewItem opzioni;
    auto *delegato = qobject_cast<QStyledItemDelegate *>(finestra->grFeste->itemDelegate());
    std::unique_ptr<QWidget> editor(delegato->createEditor(nullptr, opzioni, descrizione));
    auto *riga = qobject_cast<QLineEdit *>(editor.get());
    ASSERT_NE(riga, nullptr);
    riga->setText(QString(61, QLatin1Char('X')));
    delegato->setModelData(riga, finestra->grModel, descrizione);
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, TWunTabFeste::MsgDescrizioneLunga.arg(61).arg(60));
    finestra->Regole().xqcChiusure.cancel();
    EXPECT_EQ(descrizione.data().toString(), originale);

    // A date that does not exist is refused naming the column, never moved
    // to another day; one that exists is taken as typed.
    services->clear();
    const QModelIndex giorno = finestra->grModel->index(0, finestra->grModel->columnOf("DFESDATA"));
    const QDate primo = giorno.data(Qt::EditRole).toDate();
    std::unique_ptr<QWidget> editorData(delegato->createEditor(nullptr, opzioni, giorno));
    auto *testoData = qobject_cast<QLineEdit *>(editorData.get());
    ASSERT_NE(testoData, nullptr);
    delegato->setEditorData(testoData, giorno);
    EXPECT_EQ(testoData->text(), primo.toString("dd/MM/yyyy"));
    testoData->setText(QStringLiteral("31/02/2024"));
    delegato->setModelData(testoData, finestra->grModel, giorno);
    EXPECT_EQ(services->messageTexts(),
              QStringList{"Campo \"Data\": \"31/02/2024\" non è una data valida (gg/mm/aaaa)"});
    EXPECT_EQ(giorno.data(Qt::EditRole).toDate(), primo);
    testoData->setText(QStringLiteral("29/02/2024"));
    delegato->setModelData(testoData, finestra->grModel, giorno);
    EXPECT_EQ(giorno.data(Qt::EditRole).toDate(), QDate(Anno, 2, 29));
    finestra->Regole().xqcChiusure.cancel();
    services->clear();

    // A second row on the same date: "Salva" says so and writes nothing;
    // closing asks, and a "Sì" that cannot save keeps the window open.
    finestra->btInserisci->click();
    const QModelIndex data = finestra->grModel->index(finestra->grModel->currentRow(),
                                                      finestra->grModel->columnOf("DFESDATA"));
    finestra->grModel->setData(data, QDate(Anno, 1, 1));
    finestra->btSalva->click();
    EXPECT_EQ(services->messages().last().text, TWunTabFeste::MsgDataDoppia.arg("01/01/2024"));
    services->replyToMessages({platform::Yes});
    EXPECT_FALSE(finestra->close());
    EXPECT_EQ(archivio(), prima);

    // Put right, the same "Sì" saves and lets the window close.
    finestra->grModel->setData(data, QDate(Anno, 6, 29));
    QPointer<TfmTabFeste> aperta(finestra);
    services->replyToMessages({platform::Yes});
    EXPECT_TRUE(finestra->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(aperta.isNull());
    EXPECT_NE(archivio().indexOf("29/06|6|"), -1);
}

} // namespace
