// The day codes of a month on a real embedded payroll archive: the demo
// archive of February 2024 for the reference rows (holiday calendars,
// absence and reduction kinds) and its marked persons, and persons made
// here with exactly the pay periods, absences, leave and part time a case
// needs.
#include "zepMDisCalcola.h"

#include "archive/ArchiveScripts.h"
#include "archive/DemoArchive.h"
#include "archive/DemoArchiveCalendar.h"

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

QDate d(int y, int m, int g) { return QDate(y, m, g); }

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
        const int anaPer = id("TANAPER_POSIZIONI");
        anaCagId = id("TANACAG_MATRICOLE");
        exec(QStringLiteral("INSERT INTO TANACAG_MATRICOLE (IANACAGID, IANAID, IDWGID) VALUES (%1, 1, 1)").arg(anaCagId));
        exec(QStringLiteral("INSERT INTO TANAPER_POSIZIONI (IANAPERID, IANACAGID) VALUES (%1, %2)").arg(anaPer).arg(anaCagId));
        m_anaPerId = anaPer;
    }
    int compenso(int anno)
    {
        if (!m_compensi.contains(anno)) {
            const int acom = id("TACOM_COMPENSI");
            exec(QStringLiteral("INSERT INTO TACOM_COMPENSI (IACOMID, IANAPERID, IANFID, ITNOID, IDCTID) "
                                "VALUES (%1, %2, %3, 1, %4)").arg(acom).arg(m_anaPerId).arg(anno - 1969).arg(m_tipoContratto));
            m_compensi[anno] = acom;
        }
        return m_compensi[anno];
    }
    // A salary register of the month of `dal`.
    int registro(QDate dal, QDate al)
    {
        const int regs = id("TREGS_REGISTROSTIP");
        exec(QStringLiteral("INSERT INTO TREGS_REGISTROSTIP (IREGSID, IACOMID, IANFID, IMESID, ICOTID, IDWGID, ITNOID, "
                            "DREGSDAL, DREGSAL) VALUES (%1, %2, %3, %4, 1, 1, 1, '%5', '%6')")
                 .arg(regs).arg(compenso(dal.year())).arg(dal.year() - 1969).arg(dal.month())
                 .arg(dal.toString(Qt::ISODate), al.toString(Qt::ISODate)));
        return regs;
    }
    // A pay period of the register (null dates when invalid), with an absence kind when `tag` is set.
    int periodo(int registro, QDate dal, QDate al, int tag = 0)
    {
        const int vape = id("TVAPE_PERIODI");
        auto data = [](QDate x) { return x.isValid() ? QStringLiteral("'%1'").arg(x.toString(Qt::ISODate)) : QStringLiteral("NULL"); };
        exec(QStringLiteral("INSERT INTO TVAPE_PERIODI (IVAPEID, IREGSID, ITAGID, DVAPEDAL, DVAPEAL) VALUES (%1, %2, %3, %4, %5)")
                 .arg(vape).arg(registro).arg(tag ? QString::number(tag) : QStringLiteral("NULL"), data(dal), data(al)));
        periodi << QString::number(vape);
        return vape;
    }
    int periodo(QDate dal, QDate al, int tag = 0) { return periodo(registro(dal, al), dal, al, tag); }
    void riduzione(int vape, int taco, int quantita)
    {
        exec(QStringLiteral("INSERT INTO TVARD_RIDUZIONIVAR (IVARDID, IVAPEID, ITACOID, IVARDGIORNIORE) VALUES (%1, %2, %3, %4)")
                 .arg(id("TVARD_RIDUZIONIVAR")).arg(vape).arg(taco).arg(quantita));
    }
    void assenza(QDate dal, QDate al)
    {
        exec(QStringLiteral("INSERT INTO TASP_ASSENZE (IASPID, IANACAGID, ITAGID, DASPDATAINIZIO, DASPDATAFINE) "
                            "VALUES (%1, %2, 1, '%3', '%4')")
                 .arg(id("TASP_ASSENZE")).arg(anaCagId).arg(dal.toString(Qt::ISODate), al.toString(Qt::ISODate)));
    }
    void ferie(QDate dal, QDate al)
    {
        exec(QStringLiteral("INSERT INTO TFEP_FERIE (IFEPID, IANACAGID, DFEPDATAINIZIO, DFEPDATAFINE) VALUES (%1, %2, '%3', '%4')")
                 .arg(id("TFEP_FERIE")).arg(anaCagId).arg(dal.toString(Qt::ISODate), al.toString(Qt::ISODate)));
    }
    // Minutes Monday to Sunday.
    void partTime(int tos, QDate dal, QDate al, const std::array<int, 7> &minuti)
    {
        QStringList m;
        for (int x : minuti)
            m << QString::number(x);
        exec(QStringLiteral("INSERT INTO TSER_PARTTIME (ISERID, IANACAGID, ITOSID, DSERINIZIORETR, DSERFINERETR, ISERGIORNO1, "
                            "ISERGIORNO2, ISERGIORNO3, ISERGIORNO4, ISERGIORNO5, ISERGIORNO6, ISERGIORNO7) "
                            "VALUES (%1, %2, %3, '%4', '%5', %6)")
                 .arg(id("TSER_PARTTIME")).arg(anaCagId).arg(tos)
                 .arg(dal.toString(Qt::ISODate), al.toString(Qt::ISODate), m.join(QStringLiteral(", "))));
    }

    int anaCagId = 0;
    QStringList periodi;

private:
    int id(const QString &table) { return int(GenerateID(table, &m_db)); }
    void exec(const QString &sql)
    {
        SqlQuery q(m_db);
        q.setSql(sql);
        q.execSQL();
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
        ds.setFieldDefs({{QStringLiteral("IACOMID"), FieldType::Integer}, {QStringLiteral("IANACAGID"), FieldType::Integer}});
        ds.createDataSet();
        ds.appendRecord({Value(acom), Value(anaCagId)});
    }
};

} // namespace

class ZepDisCalcola : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_db = new TempDatabase(TempDatabase::Scripts{payroll::ArchiveScripts::all()});
        payroll::DemoArchiveOptions o;
        o.persons = payroll::DemoArchive::MinPersons;
        o.seed = 3;
        o.fromYear = o.toYear = 2024;
        o.fromMonth = o.toMonth = 2;
        payroll::DemoArchive::fill(s_db->db(), o);
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
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

private:
    QString m_anno, m_mese;
};
TempDatabase *ZepDisCalcola::s_db = nullptr;

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
        {"Sundays of a leap February", 2024, 2, 1, [](Persona &p) { p.periodo(d(2024, 2, 1), d(2024, 2, 29)); }, Febbraio},
        // Easter Monday 1 April and 25 April.
        {"calendar holidays", 2024, 4, 1, [](Persona &p) { p.periodo(d(2024, 4, 1), d(2024, 4, 30)); },
         "NSSSSSNSSSSSSNSSSSSSNSSSNSSNSS"},
        // The patron saint (4 October) is a holiday of contract kind 1 only.
        {"holiday of the contract's calendar", 2024, 10, 1, [](Persona &p) { p.periodo(d(2024, 10, 1), d(2024, 10, 31)); },
         "SSSNSNSSSSSSNSSSSSSNSSSSSSNSSSS"},
        {"other contract's calendar", 2024, 10, 2, [](Persona &p) { p.periodo(d(2024, 10, 1), d(2024, 10, 31)); },
         "SSSSSNSSSSSSNSSSSSSNSSSSSSNSSSS"},
        {"absence", 2024, 2, 1, [](Persona &p) { p.periodo(d(2024, 2, 1), d(2024, 2, 29)); p.assenza(d(2024, 2, 12), d(2024, 2, 14)); },
         con(Febbraio, 12, 14, 'N')},
        {"leave", 2024, 2, 1, [](Persona &p) { p.periodo(d(2024, 2, 1), d(2024, 2, 29)); p.ferie(d(2024, 2, 19), d(2024, 2, 23)); },
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
         [](Persona &p) { p.riduzione(p.periodo(d(2024, 2, 5), d(2024, 2, 9)), 1, 5); }, QString(4, ' ') + "NNNNN" + QString(20, ' ')},
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
    p.periodo(r, QDate(), QDate());  // two periods: nothing to take the dates from
    try {
        giorni(p, 2024, 2);
        FAIL() << "no error";
    } catch (const ETovWarning &e) {
        EXPECT_EQ(e.message(), "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico (mese di febbraio)");
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
    EXPECT_TRUE(c.TdmTovDisCalcola::GiornoNonLavorato(d(2024, 2, 2)));   // Friday
    EXPECT_FALSE(c.TdmTovDisCalcola::GiornoNonLavorato(d(2024, 2, 1)));  // Thursday
    EXPECT_FALSE(c.TdmTovDisCalcola::GiornoNonLavorato(d(2024, 2, 4)));  // Sunday: a holiday, not a rest day
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
             "WHERE VAPE.ITAGID IN (5, 21) ORDER BY VAPE.ITAGID");
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
                 "ACOM.IANAPERID WHERE ACOM.IANFID = 55" + condizione);
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
    for (persone.first(); !persone.eof() && persone.fieldByName("DACOMINIRAPP").isNull(); persone.next()) {
    }
    ASSERT_FALSE(persone.eof());
    EXPECT_EQ(c.DataInizioRapporto(), persone.fieldByName("DACOMINIRAPP").asDate());
    EXPECT_EQ(c.DataFineRapporto(), persone.fieldByName("DACOMFINERAPP").asDate());

    extra.edit();
    extra.fieldByName("ICALID").setAsInteger(2);
    extra.post();
    c.ApriImporti();
    EXPECT_EQ(persone.recordCount(), conta(" AND ANAPER.ICALID = 2"));
    EXPECT_GT(persone.recordCount(), 0);
    EXPECT_LT(persone.recordCount(), conta(""));
}
