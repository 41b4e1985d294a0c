// The print dialogs on a real embedded archive: the choice list in the grid,
// the rows selected and the month chosen printed in the preview, every
// person when no row is selected; a failing print keeps the dialog open with
// its message.
#include "ZepDatiDenunciaSupport.h"

#include "zepCStampa.h"
#include "zepFRepColl.h"
#include "zepFRepDip.h"
#include "zepFReport.h"

#include "Field.h"

#include <QComboBox>
#include <QItemSelectionModel>
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
