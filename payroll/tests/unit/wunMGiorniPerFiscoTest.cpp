// The days for tax of a register: February, months of 30 and 31 days,
// overlapping periods, periods reaching out of the month, and the net days
// of the payroll calculations, on a register of February 2024 of the suite's
// own (a copy of a demo salary register, the person's only one of the month)
// with the periods each case gives.
#include "CalcoliTestSupport.h"
#include "wunMGiorniPerFisco.h"
#include "wunUCalcoli.h"

#include "SqlQuery.h"

#include <QDate>

namespace {

class WunGiorniPerFisco : public calcolitest::DemoCalcoli {
protected:
    void SetUp() override
    {
        DemoCalcoli::SetUp();
        const int modello = scalar(
                                "SELECT FIRST 1 REGS.IREGSID FROM TREGS_REGISTROSTIP REGS JOIN TCOT_TIPICOMPENSO COT "
                                "ON COT.ICOTID = REGS.ICOTID WHERE COT.ICOTFONDAMENTALE = 1 AND REGS.ICOSID = 10001 "
                                "ORDER BY REGS.IREGSID")
                                .toInt();
        ASSERT_GT(modello, 0);
        m_acom =
            scalar(QStringLiteral("SELECT IACOMID FROM TREGS_REGISTROSTIP WHERE IREGSID = %1").arg(modello)).toInt();
        // One register of February for the suite, made by the first test.
        m_regs = scalar(
                     QStringLiteral("SELECT COALESCE(MAX(IREGSID), 0) FROM TREGS_REGISTROSTIP WHERE IACOMID = %1 AND "
                                    "IMESID = 2")
                         .arg(m_acom))
                     .toInt();
        if (m_regs > 0)
            return;
        m_regs = scalar("SELECT NEXT VALUE FOR GEN_TREGS_REGISTROSTIP FROM RDB$DATABASE").toInt();
        esegui(QStringLiteral("INSERT INTO TREGS_REGISTROSTIP (IREGSID, IACOMID, IANFID, IMESID, ICOTID, IDWGID, "
                              "ITNOID, ICOSID, IREGSGIORNI, LREGSCALCOLATA) SELECT %1, IACOMID, IANFID, 2, ICOTID, "
                              "IDWGID, ITNOID, ICOSID, 30, 1 FROM TREGS_REGISTROSTIP WHERE IREGSID = %2")
                   .arg(m_regs)
                   .arg(modello));
    }
    static void esegui(const QString &sql)
    {
        platform::SqlQuery q(db());
        q.setSql(sql);
        q.execSQL();
    }
    void periodi(const QList<std::pair<QDate, QDate>> &elenco)
    {
        esegui(QStringLiteral("DELETE FROM TVARD_RIDUZIONIVAR WHERE IVAPEID IN (SELECT IVAPEID FROM TVAPE_PERIODI "
                              "WHERE IREGSID = %1)")
                   .arg(m_regs));
        esegui(QStringLiteral("DELETE FROM TVAPE_PERIODI WHERE IREGSID = %1").arg(m_regs));
        for (const auto &[dal, al] : elenco)
            esegui(QStringLiteral("INSERT INTO TVAPE_PERIODI (IVAPEID, IREGSID, DVAPEDAL, DVAPEAL) VALUES (NEXT VALUE "
                                  "FOR GEN_TVAPE_PERIODI, %1, %2, %3)")
                       .arg(m_regs)
                       .arg(dal.isValid() ? dal.toString(QStringLiteral("''yyyy-MM-dd''")) : QStringLiteral("NULL"))
                       .arg(al.isValid() ? al.toString(QStringLiteral("''yyyy-MM-dd''")) : QStringLiteral("NULL")));
    }
    int m_acom = 0;
    int m_regs = 0;
};

QDate d(int m, int g)
{
    return QDate(2024, m, g);
}

} // namespace

TEST_F(WunGiorniPerFisco, DaysOfTheMonthThePeriodsCover)
{
    struct Caso {
        const char *nome;
        QList<std::pair<QDate, QDate>> periodi;
        int giorni, mese, attesi;
    };
    const QList<Caso> casi{
        {"no period: the days of February", {}, 30, 2, 29},
        {"the whole month", {{d(2, 1), d(2, 29)}}, 30, 2, 29},
        {"overlapping periods count once", {{d(2, 1), d(2, 10)}, {d(2, 5), d(2, 20)}}, 30, 2, 20},
        {"a period from January counts its February days", {{d(1, 25), d(2, 10)}}, 30, 2, 10},
        {"a period without its end", {{d(2, 1), QDate()}}, 30, 2, 29},
        {"other than 30 stays", {{d(2, 1), d(2, 10)}}, 15, 2, 15},
        {"April keeps 30", {{d(4, 1), d(4, 10)}}, 30, 4, 30},
        {"March: the periods", {{d(3, 1), d(3, 31)}}, 30, 3, 31},
    };
    for (const Caso &c : casi) {
        periodi(c.periodi);
        TdmwunGiorniPerFisco::Imposta(QStringLiteral("REGS"), QStringLiteral("REGS.IREGSID=%1").arg(m_regs));
        EXPECT_EQ(TdmwunGiorniPerFisco::GiorniFiscali(c.giorni, c.mese, 2024), c.attesi) << c.nome;
        EXPECT_EQ(TwunCalcola::GiorniFiscaliRiga(QStringLiteral("REGS"), m_regs, c.mese, c.giorni), c.attesi) << c.nome;
    }
    EXPECT_EQ(TdmwunGiorniPerFisco::Tabella(QStringLiteral("VARM")), "TVARM_VARIAZIONI");
    EXPECT_EQ(TdmwunGiorniPerFisco::Tabella(QStringLiteral("REGS")), "TREGS_REGISTROSTIP");
}

TEST_F(WunGiorniPerFisco, NetDaysLessTheDaysThatAreNoTaxDays)
{
    periodi({{d(2, 1), d(2, 29)}});
    esegui("INSERT INTO TTACO_TIPIRIDUZIONE (ITACOID, STACOSIGLA) VALUES (8, 'NF')");
    const int vape = scalar(QStringLiteral("SELECT IVAPEID FROM TVAPE_PERIODI WHERE IREGSID = %1").arg(m_regs)).toInt();
    esegui(QStringLiteral("INSERT INTO TVARD_RIDUZIONIVAR (IVARDID, IVAPEID, ITACOID, IVARDGIORNIORE) VALUES (NEXT "
                          "VALUE FOR GEN_TVARD_RIDUZIONIVAR, %1, 8, 4)")
               .arg(vape));
    platform::SqlQuery q(db());
    EXPECT_EQ(TwunCalcola::GiorniFiscaliNetti(q, QStringLiteral("REGS"), 2, 30, m_regs), 25);
    auto compenso = calcolitest::riga({"IACOMID", "MESE_INIZIALE", "MESE_FINALE"}, {m_acom, 2, 2});
    EXPECT_EQ(TwunCalcola::GiorniDmaMese(q, *compenso, 2), 25);
    EXPECT_EQ(TwunCalcola::GiorniCud(q, *compenso, QString()), 25);
    EXPECT_EQ(TwunCalcola::GiorniCud(q, *compenso, QStringLiteral(" AND REGS.IREGSGIORNI > 30")), 0)
        << "the condition is appended";
    esegui(QStringLiteral("UPDATE TVARD_RIDUZIONIVAR SET IVARDGIORNIORE = 40 WHERE IVAPEID = %1").arg(vape));
    EXPECT_EQ(TwunCalcola::GiorniFiscaliNetti(q, QStringLiteral("REGS"), 2, 30, m_regs), 0) << "never below 0";

    // The tax days of a range of months read the person's periods only,
    // not those of another person's register of the month.
    esegui(QStringLiteral("DELETE FROM TVARD_RIDUZIONIVAR WHERE IVAPEID = %1").arg(vape));
    periodi({{d(2, 1), d(2, 10)}});
    const int altro = scalar("SELECT NEXT VALUE FOR GEN_TREGS_REGISTROSTIP FROM RDB$DATABASE").toInt();
    esegui(QStringLiteral("INSERT INTO TREGS_REGISTROSTIP (IREGSID, IACOMID, IANFID, IMESID, ICOTID, IDWGID, ITNOID, "
                          "ICOSID, IREGSGIORNI, LREGSCALCOLATA) SELECT FIRST 1 %1, ACOM.IACOMID, ACOM.IANFID, 2, 1, 1, "
                          "ACOM.ITNOID, 10001, 30, 1 FROM TACOM_COMPENSI ACOM WHERE ACOM.IACOMID <> %2")
               .arg(altro)
               .arg(m_acom));
    esegui(QStringLiteral("INSERT INTO TVAPE_PERIODI (IVAPEID, IREGSID, DVAPEDAL, DVAPEAL) VALUES (NEXT VALUE FOR "
                          "GEN_TVAPE_PERIODI, %1, '2024-02-01', '2024-02-29')")
               .arg(altro));
    EXPECT_EQ(TwunCalcola::GiorniCud(q, *compenso, QString()), 10);
}
