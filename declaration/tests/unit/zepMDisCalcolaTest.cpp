// The day codes of a month on a real embedded payroll archive: the demo
// archive of February 2024 for the reference rows (holiday calendars,
// absence and reduction kinds) and its marked persons, and persons made
// here with exactly the pay periods, absences, leave and part time a case
// needs.
#include "zepMDisCalcola.h"

#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"
#include "DemoArchiveCalendar.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "UqTransaction.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"
#include "wunMParams.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <array>
#include <functional>

using namespace platform;

namespace {

// February 2024 (29 days, the 1st a Thursday) worked in full: Sundays are
// the 4th, 11th, 18th and 25th.
const QString Febbraio = QStringLiteral("SSSNSSSSSSNSSSSSSNSSSSSSNSSSS");

QDate d(int y, int m, int g)
{
    return QDate(y, m, g);
}

// The text with the days from..to (1-based) set to the code.
QString con(QString giorni, int from, int to, QChar codice)
{
    for (int g = from; g <= to; ++g)
        giorni[g - 1] = codice;
    return giorni;
}

// A person of the employer with a compensation record per year, and the
// rows a case gives it.
class Persona {
public:
    Persona(Database &db, int tipoContratto = 1) : m_db(db), m_tipoContratto(tipoContratto)
    {
        anaCagId = riga("TANACAG_MATRICOLE", "IANAID, IDWGID", {1, 1});
        m_anaPerId = riga("TANAPER_POSIZIONI", "IANACAGID", {anaCagId});
    }
    int compenso(int anno)
    {
        if (!m_compensi.contains(anno))
            m_compensi[anno] = riga("TACOM_COMPENSI", "IANAPERID, IANFID, ITNOID, IDCTID",
                                    {m_anaPerId, anno - 1969, 1, m_tipoContratto});
        return m_compensi[anno];
    }
    // A salary register of the month of `dal`.
    int registro(QDate dal, QDate al)
    {
        return riga("TREGS_REGISTROSTIP", "IACOMID, IANFID, IMESID, ICOTID, IDWGID, ITNOID, DREGSDAL, DREGSAL",
                    {compenso(dal.year()), dal.year() - 1969, dal.month(), 1, 1, 1, dal, al});
    }
    // A pay period of the register (invalid dates: none), with an absence kind when `tag` is set.
    int periodo(int registro, QDate dal, QDate al, int tag = 0)
    {
        const int vape = riga("TVAPE_PERIODI", "IREGSID, ITAGID, DVAPEDAL, DVAPEAL",
                              {registro, tag ? Value(tag) : Value::null(), dal, al});
        periodi << QString::number(vape);
        return vape;
    }
    int periodo(QDate dal, QDate al, int tag = 0) { return periodo(registro(dal, al), dal, al, tag); }
    void riduzione(int vape, int taco, int n)
    {
        riga("TVARD_RIDUZIONIVAR", "IVAPEID, ITACOID, IVARDGIORNIORE", {vape, taco, n});
    }
    void assenza(QDate dal, QDate al)
    {
        riga("TASP_ASSENZE", "IANACAGID, ITAGID, DASPDATAINIZIO, DASPDATAFINE", {anaCagId, 1, dal, al});
    }
    void ferie(QDate dal, QDate al)
    {
        riga("TFEP_FERIE", "IANACAGID, DFEPDATAINIZIO, DFEPDATAFINE", {anaCagId, dal, al});
    }
    // Minutes Monday to Sunday.
    void partTime(int tos, QDate dal, QDate al, const std::array<int, 7> &m)
    {
        riga("TSER_PARTTIME",
             "IANACAGID, ITOSID, DSERINIZIORETR, DSERFINERETR, ISERGIORNO1, ISERGIORNO2, ISERGIORNO3, "
             "ISERGIORNO4, ISERGIORNO5, ISERGIORNO6, ISERGIORNO7",
             {anaCagId, tos, dal, al, m[0], m[1], m[2], m[3], m[4], m[5], m[6]});
    }

    int anaCagId = 0;
    QStringList periodi;

private:
    // A row of the table with a new key before the columns given; the key.
    int riga(const QString &tabella, const QString &colonne, const ValueList &valori)
    {
        const int id = int(GenerateID(tabella, &m_db));
        QStringList segni{":P0"};
        for (int i = 1; i <= valori.size(); ++i)
            segni << QStringLiteral(":P%1").arg(i);
        const QString chiave = QStringLiteral("I") + tabella.mid(1, tabella.indexOf('_') - 1) + QStringLiteral("ID");
        SqlQuery q(m_db);
        q.setSql(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (%4)").arg(tabella, chiave, colonne, segni.join(", ")));
        q.bind("P0", id);
        for (int i = 0; i < valori.size(); ++i)
            q.bind(QStringLiteral("P%1").arg(i + 1), valori[i]);
        q.execSQL();
        return id;
    }

    Database &m_db;
    int m_tipoContratto;
    int m_anaPerId = 0;
    QMap<int, int> m_compensi;
};

// The person's row as the employee import hands it over.
struct Candidato {
    DataSet ds;
    Candidato(int acom, int anaCagId)
    {
        ds.setFieldDefs(
            {{QStringLiteral("IACOMID"), FieldType::Integer}, {QStringLiteral("IANACAGID"), FieldType::Integer}});
        ds.createDataSet();
        ds.appendRecord({Value(acom), Value(anaCagId)});
    }
};

} // namespace

class ZepDisCalcola : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const auto demo = [](platform::Database &db) {
            payroll::DemoArchiveOptions o;
            o.persons = payroll::DemoArchive::MinPersons;
            o.seed = 3;
            o.fromYear = o.toYear = 2024;
            o.fromMonth = o.toMonth = 2;
            payroll::DemoArchive::fill(db, o);
        };
        s_db = new TempDatabase(TempDatabase::Template{payroll::ArchiveScripts::all(), "ZepDisCalcola", demo});
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        SqlQuery ultimo(s_db->db());
        ultimo.setSql("SELECT MAX(IVAPEID) FROM TVAPE_PERIODI");
        ultimo.open();
        s_ultimoPeriodoDemo = ultimo.value(0).toInt();
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    ZepDisCalcola() : m_anno(AnnoDenuncia), m_mese(MeseDenuncia) { Database::setGlobal(&db()); }
    ~ZepDisCalcola() override
    {
        Database::setGlobal(nullptr);
        SetPeriodoDenuncia(m_anno, m_mese);
    }
    static Database &db() { return s_db->db(); }

    // The month's codes of the person's periods (all of them, or `periodi`).
    static QString giorni(TdmZePDisCalcola &c, Persona &p, int anno, int mese, QStringList periodi = {})
    {
        SetPeriodoDenuncia(QString::number(anno), QStringLiteral("%1").arg(mese, 2, 10, QLatin1Char('0')));
        Candidato candidato(p.compenso(anno), p.anaCagId);
        c.SetAnno(anno);
        c.ImpostaDataSet(&candidato.ds, nullptr, nullptr);
        c.SetPeriodi((periodi.isEmpty() ? p.periodi : periodi).join(QLatin1Char(',')));
        c.ApriPeriodi();
        c.ApriPTVerticale(p.anaCagId, DataGiornoMeseDenuncia(GiorniMeseDenuncia()), DataGiornoMeseDenuncia(1));
        return c.CalcolaGiorni();
    }
    static QString giorni(Persona &p, int anno, int mese)
    {
        TdmZePDisCalcola c;
        return giorni(c, p, anno, mese);
    }

    static TempDatabase *s_db;
    // The last pay period of the demo archive: the cases add their own.
    static int s_ultimoPeriodoDemo;

private:
    QString m_anno, m_mese;
};
TempDatabase *ZepDisCalcola::s_db = nullptr;
int ZepDisCalcola::s_ultimoPeriodoDemo = 0;

TEST_F(ZepDisCalcola, DayCodesOfTheMonth)
{
    const int strike = payroll::DemoArchiveCalendar::TagSciopero;
    struct Caso {
        const char *nome;
        int anno, mese, contratto;
        std::function<void(Persona &)> righe;
        QString atteso;
    };
    const QList<Caso> casi{
        {"Sundays of a leap February", 2024, 2, 1, [](Persona &p) { p.periodo(d(2024, 2, 1), d(2024, 2, 29)); },
         Febbraio},
        // Easter Monday 1 April and 25 April.
        {"calendar holidays", 2024, 4, 1, [](Persona &p) { p.periodo(d(2024, 4, 1), d(2024, 4, 30)); },
         "NSSSSSNSSSSSSNSSSSSSNSSSNSSNSS"},
        // The patron saint (4 October) is a holiday of contract kind 1 only.
        {"holiday of the contract's calendar", 2024, 10, 1,
         [](Persona &p) { p.periodo(d(2024, 10, 1), d(2024, 10, 31)); }, "SSSNSNSSSSSSNSSSSSSNSSSSSSNSSSS"},
        {"other contract's calendar", 2024, 10, 2, [](Persona &p) { p.periodo(d(2024, 10, 1), d(2024, 10, 31)); },
         "SSSSSNSSSSSSNSSSSSSNSSSSSSNSSSS"},
        {"absence", 2024, 2, 1,
         [](Persona &p) {
             p.periodo(d(2024, 2, 1), d(2024, 2, 29));
             p.assenza(d(2024, 2, 12), d(2024, 2, 14));
         },
         con(Febbraio, 12, 14, 'N')},
        {"leave", 2024, 2, 1,
         [](Persona &p) {
             p.periodo(d(2024, 2, 1), d(2024, 2, 29));
             p.ferie(d(2024, 2, 19), d(2024, 2, 23));
         },
         con(Febbraio, 19, 23, 'N')},
        {"strike day: a period with an absence kind", 2024, 2, 1,
         [=](Persona &p) {
             const int r = p.registro(d(2024, 2, 1), d(2024, 2, 29));
             p.periodo(r, d(2024, 2, 1), d(2024, 2, 14));
             p.periodo(r, d(2024, 2, 15), d(2024, 2, 15), strike);
             p.periodo(r, d(2024, 2, 16), d(2024, 2, 29));
         },
         con(Febbraio, 15, 15, 'N')},
        {"strike in hours leaves the days worked", 2024, 2, 1,
         [](Persona &p) { p.riduzione(p.periodo(d(2024, 2, 1), d(2024, 2, 29)), 7, 29); }, Febbraio},
        {"absence days as many as the period's", 2024, 2, 1,
         [](Persona &p) { p.riduzione(p.periodo(d(2024, 2, 5), d(2024, 2, 9)), 1, 5); },
         QString(4, ' ') + "NNNNN" + QString(20, ' ')},
        {"maternity is paid, Sundays too", 2024, 2, 1,
         [](Persona &p) {
             const int r = p.registro(d(2024, 2, 1), d(2024, 2, 29));
             p.periodo(r, d(2024, 2, 1), d(2024, 2, 10));
             p.riduzione(p.periodo(r, d(2024, 2, 11), d(2024, 2, 29), 5), 5, 19);
         },
         con(Febbraio, 11, 29, 'S')},
        {"vertical part time: Friday to Sunday off", 2024, 2, 1,
         [](Persona &p) {
             p.partTime(2, d(2023, 9, 1), d(2099, 12, 31), {480, 480, 480, 240, 0, 0, 0});
             p.periodo(d(2024, 2, 1), d(2024, 2, 29));
         },
         "SNNNSSSSNNNSSSSNNNSSSSNNNSSSS"},
        {"horizontal part time works every weekday", 2024, 2, 1,
         [](Persona &p) {
             p.partTime(3, d(2023, 9, 1), d(2099, 12, 31), {240, 240, 240, 240, 240, 0, 0});
             p.periodo(d(2024, 2, 1), d(2024, 2, 29));
         },
         Febbraio},
        {"hired on the 14th", 2024, 2, 1, [](Persona &p) { p.periodo(d(2024, 2, 14), d(2024, 2, 29)); },
         QString(13, ' ') + Febbraio.mid(13)},
        // The period entered first decides the days it reaches, whatever its dates.
        {"first period to reach a day decides", 2024, 2, 1,
         [=](Persona &p) {
             const int r = p.registro(d(2024, 2, 1), d(2024, 2, 29));
             p.periodo(r, d(2024, 2, 10), d(2024, 2, 29));
             p.periodo(r, d(2024, 2, 1), d(2024, 2, 29), strike);
         },
         QString(9, 'N') + Febbraio.mid(9)},
        // Mended: the days of a period reaching into the month are taken within it only.
        {"periods reaching over the month's ends", 2024, 2, 1,
         [](Persona &p) {
             p.periodo(d(2024, 1, 20), d(2024, 2, 10));
             p.periodo(d(2024, 2, 26), d(2024, 3, 8));
         },
         Febbraio.left(10) + QString(15, ' ') + Febbraio.mid(25)},
        {"period without dates takes its register's", 2024, 2, 1,
         [](Persona &p) { p.periodo(p.registro(d(2024, 2, 1), d(2024, 2, 29)), QDate(), QDate()); }, Febbraio},
    };
    for (const Caso &c : casi) {
        Persona p(db(), c.contratto);
        c.righe(p);
        EXPECT_EQ(giorni(p, c.anno, c.mese), c.atteso) << c.nome;
    }
}

TEST_F(ZepDisCalcola, APeriodWithoutDatesNamesItsMonth)
{
    Persona p(db());
    const int r = p.registro(d(2024, 2, 1), d(2024, 2, 29));
    p.periodo(r, d(2024, 2, 1), d(2024, 2, 10));
    p.periodo(r, QDate(), QDate()); // two periods: nothing to take the dates from
    try {
        giorni(p, 2024, 2);
        FAIL() << "no error";
    } catch (const ETovWarning &e) {
        EXPECT_EQ(e.message(),
                  "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico (mese di febbraio)");
    }
}

// Mended: one module used for two years reads each year's absences.
TEST_F(ZepDisCalcola, AbsencesAreReadAgainForAnotherYear)
{
    Persona p(db());
    const QString y2024 = QString::number(p.periodo(d(2024, 2, 1), d(2024, 2, 29)));
    const QString y2023 = QString::number(p.periodo(d(2023, 2, 1), d(2023, 2, 28)));
    p.assenza(d(2024, 2, 12), d(2024, 2, 14));
    p.assenza(d(2023, 2, 6), d(2023, 2, 8));
    TdmZePDisCalcola c;
    EXPECT_EQ(giorni(c, p, 2024, 2, {y2024}), con(Febbraio, 12, 14, 'N'));
    // February 2023: the 1st a Wednesday, Sundays the 5th, 12th, 19th, 26th.
    EXPECT_EQ(giorni(c, p, 2023, 2, {y2023}), "SSSSNNNNSSSNSSSSSSNSSSSSSNSS");
}

TEST_F(ZepDisCalcola, KindOfPartTime)
{
    struct Caso {
        QList<int> tipi;
        int atteso;
    };
    for (const Caso &c : QList<Caso>{{{}, 0}, {{3}, 0}, {{2}, 2}, {{2, 3}, 3}}) {
        Persona p(db());
        QDate dal = d(2024, 1, 1);
        for (int tos : c.tipi) {
            p.partTime(tos, dal, dal.addDays(19), {480, 480, 480, 0, 0, 0, 0});
            dal = dal.addDays(20);
        }
        TdmZePDisCalcola calendario;
        calendario.ApriPTVerticale(p.anaCagId, d(2024, 2, 29), d(2024, 1, 1));
        EXPECT_EQ(calendario.TipoPartTime(), c.atteso) << c.tipi.size();
        int righe = 0;
        for (calendario.xqcPTVert.first(); !calendario.xqcPTVert.eof(); calendario.xqcPTVert.next(), ++righe)
            EXPECT_EQ(calendario.xqcPTVert.fieldByName("ITOSID").asInteger(), 2);
        EXPECT_EQ(righe, c.atteso ? 1 : 0) << "left filtered on the vertical rows";
    }
}

// The base module's own rest-day rule reads the period's part-time row.
TEST_F(ZepDisCalcola, RestDayOfThePeriodsPartTime)
{
    Persona p(db());
    p.partTime(2, d(2023, 9, 1), d(2099, 12, 31), {480, 480, 480, 240, 0, 0, 0});
    p.periodo(d(2024, 2, 1), d(2024, 2, 29));
    TdmZePDisCalcola c;
    giorni(c, p, 2024, 2);
    c.xqcPeriodi.first();
    EXPECT_TRUE(c.TdmTovDisCalcola::GiornoNonLavorato(d(2024, 2, 2)));  // Friday
    EXPECT_FALSE(c.TdmTovDisCalcola::GiornoNonLavorato(d(2024, 2, 1))); // Thursday
    EXPECT_FALSE(c.TdmTovDisCalcola::GiornoNonLavorato(d(2024, 2, 4))); // Sunday: a holiday, not a rest day
}

// The demo archive's maternity and strike day show in its persons' codes.
TEST_F(ZepDisCalcola, DemoArchiveMaternityAndStrike)
{
    SqlQuery q(db());
    q.setSql("SELECT REGS.IACOMID, ANAPER.IANACAGID, VAPE.ITAGID, VAPE.DVAPEDAL, VAPE.DVAPEAL, "
             "(SELECT LIST(V.IVAPEID) FROM TVAPE_PERIODI V WHERE V.IREGSID = VAPE.IREGSID) AS PERIODI "
             "FROM TVAPE_PERIODI VAPE JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VAPE.IREGSID "
             "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = REGS.IACOMID "
             "JOIN TANAPER_POSIZIONI ANAPER ON ANAPER.IANAPERID = ACOM.IANAPERID "
             "WHERE VAPE.ITAGID IN (5, 21) AND VAPE.IVAPEID <= :ULTIMO ORDER BY VAPE.ITAGID");
    q.bind("ULTIMO", s_ultimoPeriodoDemo);
    QSet<int> visti;
    for (q.open(); !q.eof(); q.next()) {
        SetPeriodoDenuncia("2024", "02");
        Candidato candidato(q.value("IACOMID").toInt(), q.value("IANACAGID").toInt());
        TdmZePDisCalcola c;
        c.SetAnno(2024);
        c.ImpostaDataSet(&candidato.ds, nullptr, nullptr);
        c.SetPeriodi(q.value("PERIODI").toString());
        c.ApriPeriodi();
        c.ApriPTVerticale(q.value("IANACAGID").toInt(), d(2024, 2, 29), d(2024, 2, 1));
        const QString codici = c.CalcolaGiorni();
        const int tag = q.value("ITAGID").toInt();
        const QString tratto = codici.mid(q.value("DVAPEDAL").toDate().day() - 1,
                                          int(q.value("DVAPEDAL").toDate().daysTo(q.value("DVAPEAL").toDate())) + 1);
        EXPECT_EQ(tratto, QString(tratto.size(), tag == 5 ? 'S' : 'N')) << codici.toStdString();
        visti.insert(tag);
    }
    EXPECT_EQ(visti, (QSet<int>{5, 21})) << "the demo archive has a maternity and a strike day";
}

// The persons of the year and employer group, all or of one category, and
// the dates of the relationship read from the compensation dataset.
TEST_F(ZepDisCalcola, PersonsOfTheYearByCategory)
{
    TdmWunParams params;
    params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
    auto conta = [](const QString &condizione) {
        SqlQuery q(db());
        q.setSql("SELECT COUNT(*) FROM TACOM_COMPENSI ACOM JOIN TANAPER_POSIZIONI ANAPER ON ANAPER.IANAPERID = "
                 "ACOM.IANAPERID WHERE ACOM.IANFID = 55"
                 + condizione);
        q.open();
        return q.value(0).toInt();
    };
    DataSet persone, extra;
    extra.setFieldDefs({{"ICALID", FieldType::Integer}});
    extra.createDataSet();
    extra.appendRecord({Value(0)});
    TdmZePDisCalcola c;
    c.SetAnno(2024);
    c.ImpostaDataSet(&persone, &persone, &extra);
    c.ApriImporti();
    EXPECT_EQ(persone.recordCount(), conta(""));
    ASSERT_TRUE(persone.locate("IACOMID", Value(1)));
    ASSERT_FALSE(persone.fieldByName("DACOMINIRAPP").isNull());
    EXPECT_EQ(c.DataInizioRapporto(), persone.fieldByName("DACOMINIRAPP").asDate());
    EXPECT_EQ(c.DataFineRapporto(), persone.fieldByName("DACOMFINERAPP").asDate());

    extra.edit();
    extra.fieldByName("ICALID").setAsInteger(2);
    extra.post();
    c.ApriImporti();
    EXPECT_EQ(persone.recordCount(), conta(" AND ANAPER.ICALID = 2"));
    EXPECT_GT(persone.recordCount(), 0);
}
