// The month day grid on the offscreen platform: its boxes and labels for
// the working month, and what the keys do in them.
#include "zepRMese.h"

#include "DataSet.h"
#include "RecordingServices.h"
#include "ZepUUtil.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace platform;

namespace {

class GrigliaMese : public ::testing::Test {
protected:
    GrigliaMese() : m_anno(AnnoDenuncia), m_mese(MeseDenuncia)
    {
        SetPeriodoDenuncia("2023", "02");
        ds.setFieldDefs({{"CFLavoratore", FieldType::String, 16}, {"GIORNI", FieldType::String, 31}});
        ds.createDataSet();
        ds.appendRecord({Value("A"), Value(QString(31, 'N'))});
        ds.mergeChangeLog();
    }
    ~GrigliaMese() override { SetPeriodoDenuncia(m_anno, m_mese); }

    QString testi() const
    {
        QString out;
        for (int g = 1; g <= frame.Giorni(); ++g)
            out += frame.CasellaGiorno(g)->text();
        return out;
    }

    RecordingServicesScope services;
    DataSet ds;
    TfrZepMese frame;

private:
    QString m_anno, m_mese;
};

} // namespace

TEST_F(GrigliaMese, OneBoxPerDayWithItsLabels)
{
    frame.Inizializza(&ds);
    EXPECT_EQ(frame.findChild<QLabel *>("lbTitolo")->text(),
              "Giorni (S=Lavorato; N=Non lavorato; vuoto=non in servizio)");
    EXPECT_EQ(frame.findChildren<QLineEdit *>().size(), 28);
    EXPECT_EQ(frame.findChild<QLineEdit *>("edgg28"), frame.CasellaGiorno(28));
    EXPECT_EQ(frame.findChild<QLabel *>("lbw1")->text(), "M"); // 1 February 2023, a Wednesday
    EXPECT_EQ(frame.findChild<QLabel *>("lbw5")->text(), "D");
    EXPECT_EQ(frame.findChild<QLabel *>("lb28")->text(), "28");
    EXPECT_EQ(testi(), QString(28, 'N')) << "the stored text shows its first 28 days";

    SetPeriodoDenuncia("2024", "02");
    frame.Inizializza(&ds);
    EXPECT_EQ(frame.findChildren<QLineEdit *>().size(), 29);
    EXPECT_EQ(frame.findChild<QLabel *>("lbw1")->text(), "G");
}

TEST_F(GrigliaMese, KeysOfTheBoxes)
{
    frame.Inizializza(&ds);
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QLineEdit *primo = frame.CasellaGiorno(1);
    primo->setFocus();

    QTest::keyClick(primo, Qt::Key_S); // typed in lower case
    EXPECT_EQ(primo->text(), "S");
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(ds.fieldByName("GIORNI").asString(), "S" + QString(27, 'N'));
    QTest::keyClick(primo, Qt::Key_X);
    QTest::keyClicks(primo, "7?");
    EXPECT_EQ(primo->text(), "S");
    QTest::keyClick(primo, Qt::Key_Backspace);
    EXPECT_EQ(primo->text(), " ");
    QTest::keyClick(primo, Qt::Key_N, Qt::ShiftModifier);
    EXPECT_EQ(primo->text(), "N");
    QTest::keyClick(primo, Qt::Key_Delete);
    EXPECT_EQ(testi(), " " + QString(27, 'N'));

    QTest::keyClick(primo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), frame.CasellaGiorno(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), frame.CasellaGiorno(3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), primo);
    QTest::keyClick(primo, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), primo) << "nothing before the first day";

    ds.cancel();
    EXPECT_EQ(testi(), QString(28, 'N'));
}

TEST_F(GrigliaMese, ARefusedEditIsShownAndLeavesTheBox)
{
    ds.events().beforeEdit = [](DataSet &) { throw EUqError("Modello bloccato"); };
    frame.Inizializza(&ds);
    QTest::keyClick(frame.CasellaGiorno(2), Qt::Key_S);
    EXPECT_EQ(frame.CasellaGiorno(2)->text(), "N");
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().first().text, "Modello bloccato");
}
