// The rules of the pay-period grid on the demo archive's pay periods: the
// reduction columns, the checks and totals with their messages, the hours
// and minutes, the dates, the new-row defaults and the writes.
#include "CalcoliTestSupport.h"
#include "VapeTestSupport.h"
#include "WunUUtil.h"
#include "wunCVapeBase.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "tovUExceptions.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::DataSet;
using platform::Field;
using platform::Value;

TEST(VapeBase, HoursAndMinutesAreShownAndReadBack)
{
    struct Caso {
        const char *testo;
        int minuti;
    };
    const Caso letture[] = {
        {"07:30", 450}, {"7:30", 450}, {" 7 : 30 ", 450}, {"08", 480}, {"8", 480},    {"", 0},    {"00:45", 45},
        {"36", 2160},   {"7.30", -1},  {"7,5", -1},       {"ab", -1},  {"07:75", -1}, {"7:", -1}, {":30", -1},
    };
    for (const Caso &c : letture)
        EXPECT_EQ(TWunVapeBase::MinutiDaTesto(QString::fromUtf8(c.testo)), c.minuti) << c.testo;
    const Caso testi[] = {{"07:30", 450}, {"08", 480}, {"", 0}, {"00:05", 5}, {"36:01", 2161}};
    for (const Caso &c : testi) {
        EXPECT_EQ(TWunVapeBase::TestoOre(c.minuti), QString::fromUtf8(c.testo)) << c.minuti;
        EXPECT_EQ(TWunVapeBase::MinutiDaTesto(TWunVapeBase::TestoOre(c.minuti)), c.minuti) << "round trip";
    }
}

namespace {

class VapeOnDemo : public DemoCalcoli {
protected:
    void SetUp() override
    {
        DemoCalcoli::SetUp();
        registro = vapetest::RegistroDiNovembre(db());
        ASSERT_GT(registro, 0) << "the demo has no such register: change the seed";
        periodi.Apri(registro);
    }
    DataSet &p() { return periodi.xqcMain; }
    QString suffisso(int riduzione) const { return periodi.SuffissoColonna(riduzione); }
    Field &riduzione(int tipo) { return p().fieldByName("IVARDGIORNIORE" + suffisso(tipo)); }
    // The warning the checks before a post raise, empty when they pass.
    QString postRifiutato()
    {
        QString testo;
        try {
            periodi.xqcMainBeforePost(p());
        } catch (const ETovWarning &e) {
            testo = e.message();
        }
        return testo;
    }
    QString totaliRifiutati()
    {
        int g = 0, i = 0, s = 0;
        try {
            periodi.ControllaTotali(g, i, s);
        } catch (const ETovWarning &e) {
            return e.message();
        }
        return {};
    }

    RecordingServicesScope services;
    vapetest::PeriodiRegistro periodi;
    int registro = 0;
};

} // namespace

TEST_F(VapeOnDemo, EachReductionKindGetsItsColumnsAndTheGridItsLayout)
{
    const int tipi = scalar("SELECT COUNT(*) FROM TTACO_TIPIRIDUZIONE").toInt();
    ASSERT_EQ(periodi.NumeroRiduzioni(), tipi);
    const QString colonne = periodi.ColonneRiduzioni();
    EXPECT_TRUE(colonne.startsWith(",1 AS ITACOID01,CAST(NULL AS INTEGER) AS IVARDID01,CAST(0 As  NUMERIC(11,2)) As "
                                   "IVARDGIORNIORE01"))
        << colonne.toStdString();
    EXPECT_EQ(periodi.SuffissoColonna(5), "05");
    EXPECT_EQ(periodi.SuffissoColonna(6), QString()) << "the demo has no kind 6";
    EXPECT_EQ(periodi.TipoCalcolo(periodi.SuffissoColonna(3)), 1);

    QStringList titoli;
    for (const auto &campo : p().fields())
        if (campo->isVisible())
            titoli << campo->displayLabel();
    EXPECT_EQ(titoli, QStringList({"Qualifica", "Dal", "Al", "Giorni", "Ore", "O.E.", "O.Sost.", "Catt.", "Den.",
                                   "P.T.", "Sett.", "Giorni", "MAL", "INF", "ASP", "CON", "MAT", "SCI"}));
    ASSERT_EQ(p().recordCount(), 1);
    EXPECT_EQ(p().fieldByName("DVAPEDAL").displayText(), "01/11/24");
    EXPECT_EQ(p().fieldByName("IVAPEORESERVIZIO").displayText(), "36") << "36 hours a week";
    EXPECT_EQ(p().fieldByName("LVAPECATTEDRA").displayText(), QString()) << "flags are images";
    EXPECT_EQ(riduzione(1).displayText(), QString()) << "no reduction: nothing shown";
    EXPECT_EQ(p().fieldByName("IREGSID").asInteger(), registro);
    EXPECT_EQ(p().changeCount(), 0) << "the filling of the rows is no change";
    EXPECT_EQ(periodi.Anzianita(),
              scalar(
                  QStringLiteral("SELECT ASTI.IASTIANZIANITA FROM TASTI_STORICO ASTI JOIN TREGS_REGISTROSTIP REGS "
                                 "ON REGS.IACOMID = ASTI.IACOMID AND REGS.IMESID = ASTI.IMESID WHERE REGS.IREGSID = %1")
                      .arg(registro))
                  .toInt());
}

TEST_F(VapeOnDemo, StoredReductionsFillTheirColumns)
{
    const int vape =
        scalar(QStringLiteral("SELECT IVAPEID FROM TVAPE_PERIODI WHERE IREGSID = %1").arg(registro)).toInt();
    db().execute(QStringLiteral("INSERT INTO TVARD_RIDUZIONIVAR (IVARDID, IVAPEID, ITACOID, IVARDGIORNIORE) VALUES "
                                "(NEXT VALUE FOR GEN_TVARD_RIDUZIONIVAR, %1, 4, 3)")
                     .arg(vape));
    periodi.Apri(registro);
    EXPECT_EQ(riduzione(4).asInteger(), 3);
    EXPECT_EQ(riduzione(4).displayText(), "3");
    EXPECT_FALSE(p().fieldByName("IVARDID" + suffisso(4)).isNull());
    EXPECT_TRUE(p().fieldByName("IVARDID" + suffisso(1)).isNull());
    db().execute(QStringLiteral("DELETE FROM TVARD_RIDUZIONIVAR WHERE IVAPEID = %1").arg(vape));
}

TEST_F(VapeOnDemo, APeriodIsCheckedBeforeItIsPosted)
{
    p().edit();
    EXPECT_EQ(postRifiutato(), QString());
    struct Caso {
        const char *campo;
        Value valore;
        const char *messaggio;
    };
    const Caso casi[] = {
        {"IVAPEGIORNI", 0, "Valore non impostato: Giorni"},
        {"IVAPEORESERVIZIO", 0, "Valore non impostato: Ore"},
        {"IVAPEOREPREVISTE", 0, "Valore non impostato: Den."},
        {"DVAPEDAL", Value::null(), "Le date di inizio e fine periodo sono obbligatorie."},
        {"DVAPEAL", Value::null(), "Le date di inizio e fine periodo sono obbligatorie."},
    };
    for (const Caso &c : casi) {
        const Value prima = p().fieldValue(c.campo);
        p().setFieldValue(c.campo, c.valore);
        EXPECT_EQ(postRifiutato(), QString::fromUtf8(c.messaggio)) << c.campo;
        TWunDBES::Sospensione s(periodi);
        p().setFieldValue(c.campo, prima);
    }
    p().cancel();
}

TEST_F(VapeOnDemo, DayReductionsMustCoverTheWholePeriod)
{
    auto controlla = [&](const QList<std::pair<int, int>> &riduzioni, int giorni) {
        p().edit();
        p().setFieldValue("IVAPEGIORNI", giorni);
        for (const auto &[tipo, quanti] : riduzioni)
            riduzione(tipo).setAsInteger(quanti);
        QString testo;
        try {
            periodi.xqcMainBeforePost(p());
        } catch (const ETovWarning &e) {
            testo = e.message();
        }
        const QString tag = p().fieldValue("ITAGID").toString() + " " + p().fieldValue("STAGDESCRIZIONE").toString();
        p().cancel();
        return std::pair{testo, tag};
    };
    const QString rifiuto = "I giorni ridotti devono coincidere col numero dei giorni. Suddividere in periodi diversi.";
    EXPECT_EQ(controlla({{1, 10}}, 10).first, QString()) << "a sickness of all its 10 days";
    EXPECT_EQ(controlla({{1, 6}}, 10).first, rifiuto);
    EXPECT_EQ(controlla({{1, 10}, {2, 10}}, 10).first, rifiuto) << "two day reductions in one period";
    EXPECT_EQ(controlla({{7, 3}}, 10).first, QString()) << "a strike in hours is not days";
    EXPECT_EQ(controlla({{1, 10}, {7, 3}}, 10).first, QString());
    // Unpaid days (calculation kind 1) make the period an unpaid absence.
    const auto nonPagati = controlla({{3, 10}}, 10);
    EXPECT_EQ(nonPagati.first, QString());
    EXPECT_EQ(nonPagati.second, "14 Assenza non retribuita");
    EXPECT_EQ(controlla({{1, 10}}, 10).second, " ") << "a paid reduction sets no absence kind";
}

TEST_F(VapeOnDemo, TheTotalsOfThePeriodsAgainstTheDaysToPay)
{
    ASSERT_EQ(periodi.GiorniDaPagare, 30);
    auto totali = [&](int giorni, int inps, int settimane) {
        TWunDBES::Sospensione s(periodi);
        p().edit();
        p().setFieldValue("IVAPEGIORNI", giorni);
        p().setFieldValue("IVAPEGIORNIINPS", inps);
        p().setFieldValue("IVAPESETTINPS", settimane);
        p().post();
        const QString testo = totaliRifiutati();
        p().cancelUpdates();
        return testo;
    };
    EXPECT_EQ(totali(30, 26, 5), QString());
    EXPECT_EQ(totali(31, 26, 5), "Il totale dei giorni non è congruente con il numero di giorni da liquidare");
    EXPECT_EQ(totali(29, 26, 5), "Il totale dei giorni non è congruente con il numero di giorni da liquidare");
    periodi.TotaliEsatti = false;
    EXPECT_EQ(totali(29, 26, 5), QString()) << "fewer days pass when they need not add up";
    periodi.TotaliEsatti = true;
    EXPECT_EQ(totali(30, 31, 5), "Il totale dei giorni validi INPS non può superare 30");
    EXPECT_EQ(totali(30, 26, 6), "Il totale delle settimane valide INPS non può superare 5");
    EXPECT_EQ(totali(30, 27, 5), "Il totale dei giorni validi INPS non può superare 26");

    // Periods adding up to 31 days against 30: a second period of one day.
    TWunDBES::Sospensione s(periodi);
    p().append();
    p().setFieldValue("IVAPEGIORNI", 1);
    p().post();
    EXPECT_EQ(totali(30, 26, 5), "Il totale dei giorni non è congruente con il numero di giorni da liquidare");
}

TEST_F(VapeOnDemo, DatesAreKeptInTheMonthAndCountTheDays)
{
    p().edit();
    Field &dal = p().fieldByName("DVAPEDAL");
    Field &al = p().fieldByName("DVAPEAL");
    auto rifiuto = [](Field &campo, const QDate &data) {
        try {
            campo.setAsDate(data);
        } catch (const ETovWarning &e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(rifiuto(dal, QDate(2024, 10, 31)), "Data non compresa nei parametri della variazione");
    EXPECT_EQ(rifiuto(al, QDate(2024, 12, 1)), "Data non compresa nei parametri della variazione");
    EXPECT_EQ(dal.asDate(), QDate(2024, 11, 1)) << "a refused date leaves the one there";
    EXPECT_EQ(rifiuto(al, QDate(2024, 11, 15)), QString());
    EXPECT_EQ(p().fieldValue("IVAPEGIORNI").toInt(), 15);
    EXPECT_EQ(p().fieldValue("IVAPEGIORNIINPS").toInt(), 15);
    int domeniche = 0, altri = 0;
    TwunCalcolaFond::ContaGiorni(QDate(2024, 11, 1), QDate(2024, 11, 15), QDate(2024, 11, 1), false, domeniche, altri);
    EXPECT_EQ(p().fieldValue("IVAPESETTINPS").toInt(), domeniche);
    EXPECT_EQ(rifiuto(dal, QDate(2024, 11, 16)), "Data inizio superiore a quella di fine.");
    EXPECT_EQ(rifiuto(al, QDate(2024, 11, 30)), QString());
    EXPECT_EQ(p().fieldValue("IVAPEGIORNI").toInt(), 30) << "a whole month is 30 days";
    periodi.ConteggioAutomatico = false;
    EXPECT_EQ(rifiuto(al, QDate(2024, 11, 20)), QString());
    EXPECT_EQ(p().fieldValue("IVAPEGIORNI").toInt(), 30) << "counting turned off";
    p().cancel();
}

TEST_F(VapeOnDemo, HoursAreTypedAsHoursAndMinutesAndNeverStoredAsZeroByMistake)
{
    Field &ore = p().fieldByName("IVAPEORESERVIZIO");
    periodi.ScriviCampo(ore, QString("07:30"));
    EXPECT_TRUE(p().isEditing());
    EXPECT_EQ(ore.asInteger(), 450);
    EXPECT_EQ(ore.displayText(), "07:30");
    periodi.ScriviCampo(ore, QString("7:30"));
    EXPECT_EQ(ore.asInteger(), 450) << "a one-digit hour";
    try {
        periodi.ScriviCampo(ore, QString("7.30"));
        FAIL();
    } catch (const ETovWarning &e) {
        EXPECT_EQ(e.message(), "Orario non valido: \"7.30\". Indicare le ore e i minuti come hh:mm.");
    }
    EXPECT_EQ(ore.asInteger(), 450) << "the text refused, the minutes stay";
    p().cancel();
}

TEST_F(VapeOnDemo, FlagsSwapAndPartTimeFollowsTheService)
{
    Field &cattedra = p().fieldByName("LVAPECATTEDRA");
    const int prima = cattedra.asInteger();
    periodi.InvertiFlag(cattedra);
    EXPECT_TRUE(p().isEditing());
    EXPECT_EQ(cattedra.asInteger(), 1 - prima);
    periodi.InvertiFlag(cattedra);
    EXPECT_EQ(cattedra.asInteger(), prima);

    Field &partTime = p().fieldByName("LVAPEPARTTIME");
    p().setFieldValue("IVAPEORESERVIZIO", 18 * 60);
    periodi.ParametroPartTime = 1;
    periodi.RicalcolaPartTime();
    EXPECT_EQ(partTime.asInteger(), 1) << "18 of 36 hours";
    periodi.ParametroPartTime = 0;
    periodi.RicalcolaPartTime();
    EXPECT_EQ(partTime.asInteger(), 0) << "the company does not count part time for INPS";
    periodi.ParametroPartTime = 1;
    p().setFieldValue("IVAPEORESERVIZIO", 36 * 60);
    periodi.RicalcolaPartTime();
    EXPECT_EQ(partTime.asInteger(), 0) << "full time";
    p().cancel();
}

TEST_F(VapeOnDemo, PeriodsAndReductionsAreWrittenWithTheGridsOwnStatements)
{
    const QString conta = QStringLiteral("SELECT COUNT(*) FROM TVAPE_PERIODI WHERE IREGSID = %1").arg(registro);
    const int primo = p().fieldValue("IVAPEID").toInt();
    const int inps = p().fieldValue("IVAPEGIORNIINPS").toInt();
    const int settimane = p().fieldValue("IVAPESETTINPS").toInt();
    // The month split in two: the first period ends on the 15th...
    p().edit();
    p().setFieldValue("DVAPEAL", QDate(2024, 11, 15));
    p().setFieldValue("IVAPEGIORNIINPS", 13);
    periodi.TotaliEsatti = false;
    p().post();
    EXPECT_EQ(scalar(QStringLiteral("SELECT IVAPEGIORNI FROM TVAPE_PERIODI WHERE IVAPEID = %1").arg(primo)).toInt(),
              15);

    // ...a new one starts on the 16th with the person's qualification, the
    // full-time hours and the history's service.
    p().append();
    EXPECT_EQ(p().fieldValue("DVAPEDAL").toDate(), QDate(2024, 11, 16));
    EXPECT_EQ(p().fieldValue("IQARID").toInt(), periodi.QualificaPersona);
    EXPECT_FALSE(p().fieldValue("SQARSDESC").toString().isEmpty());
    EXPECT_EQ(p().fieldValue("IVAPEOREPREVISTE").toInt(), periodi.OrePreviste);
    EXPECT_GT(p().fieldValue("IVAPEORESERVIZIO").toInt(), 0);
    EXPECT_EQ(p().fieldValue("ITACOID" + suffisso(5)).toInt(), 5);
    p().setFieldValue("DVAPEAL", QDate(2024, 11, 30));
    p().setFieldValue("IVAPEGIORNIINPS", 13);
    riduzione(1).setAsInteger(15);
    periodi.TotaliEsatti = true;
    p().post();
    const int secondo = p().fieldValue("IVAPEID").toInt();
    EXPECT_GT(secondo, primo) << "a new id from the generator";
    EXPECT_EQ(scalar(conta).toInt(), 2);
    auto ridotti = [&](int periodo) {
        return scalar(QStringLiteral("SELECT IVARDGIORNIORE FROM TVARD_RIDUZIONIVAR WHERE IVAPEID = %1 AND ITACOID = 1")
                          .arg(periodo));
    };
    EXPECT_EQ(ridotti(secondo).toInt(), 15);
    EXPECT_FALSE(p().fieldValue("IVARDID" + suffisso(1)).isNull()) << "the new reduction row's id";

    // A reduction set back to 0 is updated to 0, not deleted.
    p().edit();
    riduzione(1).setAsInteger(0);
    p().post();
    EXPECT_EQ(ridotti(secondo), Value(0));

    // Deleting the period takes its reductions with it.
    services->replyToMessages({platform::Yes});
    p().deleteRecord();
    EXPECT_EQ(scalar(conta).toInt(), 1);
    EXPECT_TRUE(ridotti(secondo).isNull());
    db().execute(QStringLiteral("UPDATE TVAPE_PERIODI SET DVAPEAL = '2024-11-30', IVAPEGIORNI = 30, IVAPEGIORNIINPS = "
                                "%1, IVAPESETTINPS = %2 WHERE IVAPEID = %3")
                     .arg(inps)
                     .arg(settimane)
                     .arg(primo));
}

TEST_F(VapeOnDemo, TheFirstPeriodOfAMaternityAppointmentIsAMaternityReduction)
{
    const int acom = periodi.IdCompenso;
    const int vape = p().fieldValue("IVAPEID").toInt();
    db().execute(
        QStringLiteral("UPDATE TASTI_STORICO SET LASTIMATSCOPNOMINA = 1 WHERE IACOMID = %1 AND IMESID = 11").arg(acom));
    struct Ripristino {
        platform::Database &db;
        int acom, vape, registro;
        ~Ripristino()
        {
            db.execute(
                QStringLiteral("UPDATE TASTI_STORICO SET LASTIMATSCOPNOMINA = 0 WHERE IACOMID = %1 AND IMESID = 11")
                    .arg(acom));
            db.execute(
                QStringLiteral("UPDATE TVAPE_PERIODI SET IREGSID = %1 WHERE IVAPEID = %2").arg(registro).arg(vape));
        }
    } ripristino{db(), acom, vape, registro};

    // A period after others gets no days of its own and no maternity.
    p().append();
    EXPECT_EQ(p().fieldValue("IVAPEGIORNI").toInt(), 0);
    EXPECT_EQ(riduzione(5).asInteger(), 0);
    p().cancel();

    // The first period of a register: the days to pay, as maternity days.
    db().execute(QStringLiteral("UPDATE TVAPE_PERIODI SET IREGSID = NULL WHERE IVAPEID = %1").arg(vape));
    periodi.Apri(registro);
    ASSERT_TRUE(p().isEmpty());
    p().append();
    EXPECT_EQ(p().fieldValue("IVAPEGIORNI").toInt(), 30);
    EXPECT_EQ(riduzione(5).asInteger(), 30);
    EXPECT_TRUE(p().fieldValue("DVAPEDAL").isNull()) << "no period before it to follow";
    p().cancel();
}
