// The month day grid's rules without a display: the keys, the weekday
// letters, and the tie to the dataset field of the codes.
#include "zepCMese.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "ZepUUtil.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace platform;

namespace {

class PeriodoDiProva {
public:
    PeriodoDiProva(const QString &anno, const QString &mese) : m_anno(AnnoDenuncia), m_mese(MeseDenuncia)
    {
        SetPeriodoDenuncia(anno, mese);
    }
    ~PeriodoDiProva() { SetPeriodoDenuncia(m_anno, m_mese); }

private:
    QString m_anno, m_mese;
};

// A declaration table with its day codes, three rows.
void tabella(DataSet &ds)
{
    ds.setFieldDefs({{"CFLavoratore", FieldType::String, 16}, {"GIORNI", FieldType::String, 31}});
    ds.createDataSet();
    ds.appendRecord({Value("A"), Value(QString(31, 'S'))});
    ds.appendRecord({Value("B"), Value("NN")});
    ds.appendRecord({Value("C"), Value()});
    ds.mergeChangeLog();
    ds.first();
}

} // namespace

TEST(ZepMese, KeysOfADayBox)
{
    struct Caso {
        int tasto;
        const char *testo;
        TZepMese::Tasto azione;
        QChar codice;
    };
    const QList<Caso> casi{
        {Qt::Key_S, "s", TZepMese::Tasto::Codice, 'S'},         {Qt::Key_N, "n", TZepMese::Tasto::Codice, 'N'},
        {Qt::Key_Space, " ", TZepMese::Tasto::Codice, ' '},     {Qt::Key_Backspace, "\b", TZepMese::Tasto::Codice, ' '},
        {Qt::Key_Delete, "", TZepMese::Tasto::Codice, ' '},     {Qt::Key_X, "x", TZepMese::Tasto::Ignorato, '?'},
        {Qt::Key_Return, "\r", TZepMese::Tasto::Ignorato, '?'}, {Qt::Key_Up, "", TZepMese::Tasto::Precedente, '?'},
        {Qt::Key_Down, "", TZepMese::Tasto::Successivo, '?'},   {Qt::Key_Backtab, "", TZepMese::Tasto::Focus, '?'},
    };
    for (const Caso &c : casi) {
        QChar codice = '?';
        EXPECT_EQ(TZepMese::AzioneTasto(c.tasto, QString::fromLatin1(c.testo), codice), c.azione) << c.tasto;
        EXPECT_EQ(codice, c.codice) << c.tasto;
    }
}

TEST(ZepMese, WeekdayLettersAreItalianWhateverTheLocale)
{
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QString lettere;
    for (QDate d(2024, 4, 1); d.month() == 4 && d.day() <= 7; d = d.addDays(1)) // Monday to Sunday
        lettere += TZepMese::LetteraGiorno(d);
    QLocale::setDefault(prima);
    EXPECT_EQ(lettere, "LMMGVSD");
}

TEST(ZepMese, DaysOfTheWorkingMonth)
{
    PeriodoDiProva periodo("2023", "02");
    TZepMese mese;
    mese.Inizializza(nullptr);
    EXPECT_EQ(mese.Giorni(), 28);
    EXPECT_EQ(mese.LetteraGiorno(1), QChar('M')); // Wednesday
    mese.SetGiorni(QString(31, 'N'));
    EXPECT_EQ(mese.GetGiorni(), QString(28, 'N'));
    EXPECT_EQ(mese.Premi(2, Qt::Key_S, "s"), TZepMese::Tasto::Codice);
    EXPECT_EQ(mese.GetGiorni(), "NS" + QString(26, 'N'));

    SetPeriodoDenuncia("", "");
    EXPECT_THROW(mese.Inizializza(nullptr), EUqError);
}

TEST(ZepMese, CodesFollowTheFieldAndKeysWriteIt)
{
    PeriodoDiProva periodo("2023", "02");
    DataSet ds;
    tabella(ds);
    TZepMese mese;
    int cambi = 0;
    mese.OnCambio = [&] { ++cambi; };
    mese.Inizializza(&ds);
    EXPECT_EQ(mese.GetGiorni(), QString(28, 'S')) << "a stored text longer than the month shows its first days";
    ds.next();
    EXPECT_EQ(mese.GetGiorni(), "NN" + QString(26, ' '));
    ds.next();
    EXPECT_EQ(mese.GetGiorni(), QString(28, ' '));
    EXPECT_GE(cambi, 3);

    // A key puts the browsing dataset into edit and writes the whole text.
    EXPECT_EQ(mese.Premi(3, Qt::Key_N, "n"), TZepMese::Tasto::Codice);
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(ds.fieldByName("GIORNI").asString(), "  N" + QString(25, ' '));
    EXPECT_EQ(mese.Premi(3, Qt::Key_X, "x"), TZepMese::Tasto::Ignorato);
    EXPECT_EQ(ds.fieldByName("GIORNI").asString(), "  N" + QString(25, ' '));
    ds.post();
    EXPECT_EQ(ds.fieldByName("GIORNI").asString(), "  N" + QString(25, ' '));

    // Cancelling an edit shows the stored codes again; so does a value set by code.
    ds.first();
    mese.Premi(1, Qt::Key_Delete, "");
    EXPECT_EQ(mese.Giorno(1), QChar(' '));
    ds.cancel();
    EXPECT_EQ(mese.GetGiorni(), QString(28, 'S'));
    ds.edit();
    ds.fieldByName("GIORNI").setAsString("N");
    EXPECT_EQ(mese.Giorno(1), QChar('N'));
    ds.cancel();

    // A dataset that cannot be modified ignores the keys.
    ds.setReadOnly(true);
    EXPECT_EQ(mese.Premi(1, Qt::Key_N, "N"), TZepMese::Tasto::Ignorato);
    EXPECT_EQ(mese.Giorno(1), QChar('S'));
}

TEST(ZepMese, ADestroyedDatasetUntiesTheGrid)
{
    PeriodoDiProva periodo("2024", "02");
    TZepMese mese;
    {
        DataSet ds;
        tabella(ds);
        mese.Inizializza(&ds);
    }
    EXPECT_EQ(mese.DataSetGiorni(), nullptr);
    EXPECT_EQ(mese.Premi(1, Qt::Key_N, "N"), TZepMese::Tasto::Codice);
}
