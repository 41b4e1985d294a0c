// The public-sector pay-register calculator on the demo archive's
// registers: the periods of a register with the register's dates where they
// have none, the pay items of a period from the CCNL tables, withholding
// rows built from the contribution groups when none are stored, and every
// change to the periods refused.
#include "ZepRDmaVape.h"
#include "archive/ArchiveScripts.h"
#include "DemoArchive.h"
#include "WunUUtil.h"
#include "wunMFondCalcola.h"
#include "wunUCalcoliAnno.h"

#include "Exceptions.h"
#include "Format.h"
#include "RecordingServices.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <gtest/gtest.h>
#include <memory>

using platform::Currency;
using platform::DataSet;
using platform::Value;

namespace {

class DmaVape : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const auto demo = [](platform::Database &db) {
            payroll::DemoArchiveOptions o;
            o.persons = payroll::DemoArchive::MinPersons;
            o.seed = 7;
            o.fromYear = o.toYear = 2024;
            o.fromMonth = 11;
            o.toMonth = 12;
            payroll::DemoArchive::fill(db, o);
        };
        s_db = new TempDatabase(TempDatabase::Template{payroll::ArchiveScripts::all(), "DmaVape", demo});
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override
    {
        platform::Database::setGlobal(&db());
        TovQueryText().CompileQueries(TTovQueryText::SourceFileName());
        wunAnnoFinanziario().LoadYear("2024");
        TWunCalcolaAnno::CreaPerAnno(2024);
        WunCCNL().ImpostaTabella(0);
        WunCCNL().TabellaCCNLMese(11, 2024);
        // A November salary register of a public-sector person with one
        // period without reductions (the former INPDAP retention among its
        // rows).
        registro = valore("SELECT FIRST 1 REGS.IREGSID FROM TREGS_REGISTROSTIP REGS WHERE REGS.IMESID = 11 "
                          "AND REGS.ICOSID = 10001 AND EXISTS (SELECT 1 FROM TVARR_VARRITENUTE VARR WHERE "
                          "VARR.IREGSID = REGS.IREGSID AND VARR.IRICEID = 2) AND (SELECT COUNT(*) FROM "
                          "TVAPE_PERIODI VAPE WHERE VAPE.IREGSID = REGS.IREGSID AND NOT EXISTS (SELECT 1 FROM "
                          "TVARD_RIDUZIONIVAR VARD WHERE VARD.IVAPEID = VAPE.IVAPEID)) = 1 ORDER BY REGS.IREGSID")
                       .toInt();
        ASSERT_GT(registro, 0) << "the demo has no such register: change the seed";
        compenso =
            valore(QStringLiteral("SELECT IACOMID FROM TREGS_REGISTROSTIP WHERE IREGSID = %1").arg(registro)).toInt();
        periodo = valore(QStringLiteral("SELECT IVAPEID FROM TVAPE_PERIODI WHERE IREGSID = %1").arg(registro)).toInt();
    }
    void TearDown() override
    {
        if (db().inTransaction())
            db().rollback();
        TWunCalcolaAnno::Rilascia();
        platform::Database::setGlobal(nullptr);
    }
    static platform::Database &db() { return s_db->db(); }
    static Value valore(const QString &sql)
    {
        platform::SqlQuery q(db());
        q.setSql(sql);
        q.open();
        return q.eof() ? Value::null() : q.value(0);
    }
    // The import's rows: the register (QRY_DMA_REGS) and the compensation
    // (QRY_CED_ACOM), in datasets of their own that go before the
    // calculator is used.
    void apri(TfrQuvVapeDma &calcolo)
    {
        DataSet registri, compensi;
        platform::SqlQuery q(db());
        TovQueryText().AssignSQL("QRY_CED_ACOM", q);
        q.bind("IACOMID", compenso);
        q.open();
        q.fetchInto(compensi);
        q.setSql(platform::format(TovQueryText().GetSQL("QRY_DMA_REGS", "EXECUTE"), QString()));
        q.bind("IACOMID", compenso).bind("IMESID", 11).bind("COS_STIPENDIO", 10001);
        q.open();
        q.fetchInto(registri);
        ASSERT_TRUE(registri.locate("IREGSID", registro));
        compensi.first();
        calcolo.ApriRegistro(compensi, registri);
    }
    QString refusal(TfrQuvVapeDma &calcolo)
    {
        try {
            apri(calcolo);
        } catch (const ETovCalcola &e) {
            return e.message();
        }
        return {};
    }

    RecordingServicesScope services;
    int registro = 0, compenso = 0, periodo = 0;
    static TempDatabase *s_db;
};
TempDatabase *DmaVape::s_db = nullptr;

} // namespace

TEST_F(DmaVape, ThePeriodsOfTheRegisterWithItsDaysAndSeniority)
{
    TfrQuvVapeDma calcolo;
    apri(calcolo);
    EXPECT_EQ(
        calcolo.GiorniDaPagare,
        valore(QStringLiteral("SELECT IREGSGIORNI FROM TREGS_REGISTROSTIP WHERE IREGSID = %1").arg(registro)).toInt());
    EXPECT_EQ(calcolo.IdCompenso, compenso);
    EXPECT_EQ(calcolo.Mese, 11);
    ASSERT_EQ(calcolo.xqcMain.recordCount(), 1);
    EXPECT_EQ(calcolo.xqcMain.fieldValue("IVAPEID").toInt(), periodo);
    EXPECT_EQ(calcolo.Anzianita(),
              valore(QStringLiteral("SELECT IASTIANZIANITA FROM TASTI_STORICO WHERE IACOMID = %1 AND IMESID = 11")
                         .arg(compenso))
                  .toInt());
    EXPECT_EQ(calcolo.Compenso().fieldValue("IACOMID").toInt(), compenso) << "a copy of the import's row";
    EXPECT_EQ(TfrQuvVapeDma::ElencoVoci(), "10001,10002,10021,10034,10049,10053,10055,10071,10056");
}

TEST_F(DmaVape, TheOnlyPeriodWithoutDatesTakesTheRegistersAndTwoSuchPeriodsAreRefused)
{
    db().startTransaction();
    db().execute(
        QStringLiteral("UPDATE TVAPE_PERIODI SET DVAPEDAL = NULL, DVAPEAL = NULL WHERE IVAPEID = %1").arg(periodo));
    {
        TfrQuvVapeDma calcolo;
        EXPECT_EQ(refusal(calcolo), QString());
        EXPECT_EQ(calcolo.xqcMain.fieldValue("DVAPEDAL").toDate(),
                  valore(QStringLiteral("SELECT DREGSDAL FROM TREGS_REGISTROSTIP WHERE IREGSID = %1").arg(registro))
                      .toDate());
        EXPECT_EQ(
            calcolo.xqcMain.fieldValue("DVAPEAL").toDate(),
            valore(QStringLiteral("SELECT DREGSAL FROM TREGS_REGISTROSTIP WHERE IREGSID = %1").arg(registro)).toDate());
        EXPECT_EQ(calcolo.xqcMain.changeCount(), 0) << "nothing to write";
    }
    // A second period, dated: the undated one can no longer take the
    // register's dates.
    db().execute(QStringLiteral("INSERT INTO TVAPE_PERIODI (IVAPEID, IREGSID, IQARID, DVAPEDAL, DVAPEAL, IVAPEGIORNI, "
                                "IVAPEORESERVIZIO, IVAPEOREPREVISTE) SELECT NEXT VALUE FOR GEN_TVAPE_PERIODI, IREGSID, "
                                "IQARID, '2024-11-20', '2024-11-30', 11, IVAPEORESERVIZIO, IVAPEOREPREVISTE FROM "
                                "TVAPE_PERIODI WHERE IVAPEID = %1")
                     .arg(periodo));
    TfrQuvVapeDma calcolo;
    EXPECT_EQ(refusal(calcolo), "Controllare \"Orari/Riduzioni\" nella pagina \"Altri dati\" dello storico");
    db().rollback();
}

TEST_F(DmaVape, ThePayItemsOfThePeriodComeFromTheCcnlTables)
{
    TfrQuvVapeDma calcolo;
    apri(calcolo);
    calcolo.CalcolaPeriodo();
    DataSet &voci = calcolo.xqcVacr;
    ASSERT_TRUE(voci.locate("ICOMRID", 10001));
    // A whole month at full hours: the yearly amount of the qualification's
    // table over twelve, to the cent.
    const int qualifica = calcolo.xqcMain.fieldValue("IQARID").toInt();
    ASSERT_EQ(calcolo.xqcMain.fieldValue("IVAPEGIORNI").toInt(), 30);
    const Currency annuo = valore(QStringLiteral("SELECT FCCNLIMPORTO FROM TCCNL_IMPORTI WHERE ICCNTID = %1 AND "
                                                 "IQARID = %2 AND ICOMRID = 10001")
                                      .arg(WunCCNL().TabellaCCNL())
                                      .arg(qualifica))
                               .toCurrency();
    ASSERT_GT(annuo, Currency());
    const Currency mensile = (annuo / 12).rounded(2);
    EXPECT_EQ(voci.fieldValue("FVACRLORDO").toCurrency(), mensile);
    EXPECT_EQ(voci.fieldValue("FVACRLORDOINTERO").toCurrency(), mensile);
    // The item's stored withholding rows carry it as their taxable.
    DataSet &ritenute = calcolo.xqcVacrVarr;
    ritenute.setFilter("ICOMRID = 10001 AND IRICEID = 2");
    ritenute.setFiltered(true);
    ASSERT_EQ(ritenute.recordCount(), 1);
    EXPECT_FALSE(ritenute.fieldValue("IVARRID").isNull()) << "the stored row";
    EXPECT_EQ(ritenute.fieldValue("FVARRIMPONIBILE").toCurrency(), mensile);
    EXPECT_EQ(calcolo.xqcMain.changeCount(), 0) << "the periods are read, not written";
    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM TVARR_VARRITENUTE WHERE IREGSID = %1 AND IVARRID IS NULL")
                         .arg(registro))
                  .toInt(),
              0);
}

TEST_F(DmaVape, ItemsWithoutStoredWithholdingRowsGetThemFromTheContributionGroups)
{
    db().startTransaction();
    db().execute(QStringLiteral("DELETE FROM TVARR_VARRITENUTE WHERE IVACRID IN (SELECT IVACRID FROM "
                                "TVACR_VARCOMPRIGHE WHERE IREGSID = %1)")
                     .arg(registro));
    TfrQuvVapeDma calcolo;
    apri(calcolo);
    calcolo.CalcolaPeriodo();
    DataSet &ritenute = calcolo.xqcVacrVarr;
    EXPECT_FALSE(ritenute.filtered()) << "the filter of the items is gone";
    const int fondamentali = valore("SELECT COUNT(*) FROM TRICE_RITENUTE RICE LEFT JOIN TTVCO_TIPICONTRIB TVCO ON "
                                    "TVCO.ITVCOID = RICE.ITVCOIDDIP WHERE RICE.LRICEFONDAMENTALI = 1 AND "
                                    "COALESCE(TVCO.ITVCOCOD, 0) <> 3")
                                 .toInt();
    ritenute.setFilter("ICOMRID = 10001");
    ritenute.setFiltered(true);
    ASSERT_EQ(ritenute.recordCount(), fondamentali) << "a row per fundamental retention";
    ASSERT_TRUE(calcolo.xqcVacr.locate("ICOMRID", 10001));
    const Currency lordo = calcolo.xqcVacr.fieldValue("FVACRLORDO").toCurrency();
    const bool partTime = calcolo.xqcMain.fieldValue("LVAPEPARTTIME").toInt() == 1;
    int conGruppo = 0;
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        EXPECT_TRUE(ritenute.fieldValue("IVARRID").isNull());
        const int rice = ritenute.fieldValue("IRICEID").toInt();
        const Value quota = valore(
            QStringLiteral("SELECT FCOGRPERCIMPDIP FROM TCOGR_GRUPPICONTR COGR JOIN TREGS_REGISTROSTIP REGS ON "
                           "REGS.ICOTID = COGR.ICOTID AND REGS.ITNOID = COGR.ITNOID AND REGS.IANFID = COGR.IANFID "
                           "WHERE REGS.IREGSID = %1 AND COGR.ICOMRID = 10001 AND COGR.IRICEID = %2")
                .arg(registro)
                .arg(rice));
        // No group, or the INPS retention of the other working time: nothing.
        if (quota.isNull() || (rice == 13 && !partTime) || (rice == 3 && partTime)) {
            EXPECT_EQ(ritenute.fieldValue("FVARRPERCIMPDIP").toCurrency(), Currency()) << rice;
            continue;
        }
        ++conGruppo;
        EXPECT_EQ(ritenute.fieldValue("FVARRPERCIMPDIP").toCurrency(), quota.toCurrency()) << rice;
        EXPECT_EQ(ritenute.fieldValue("FVARRIMPONIBILE").toCurrency(), lordo) << rice;
    }
    EXPECT_GT(conGruppo, 0) << "the salary bears at least the former INPDAP retention";
    db().rollback();
}

TEST_F(DmaVape, ChangesToThePeriodsAreRefused)
{
    TfrQuvVapeDma calcolo;
    apri(calcolo);
    DataSet &p = calcolo.xqcMain;
    const int giorni = p.fieldValue("IVAPEGIORNIINPS").toInt();
    p.edit();
    p.setFieldValue("IVAPEGIORNIINPS", giorni - 1);
    try {
        p.post();
        FAIL();
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), "Modifica dati non abilitata!");
    }
    EXPECT_EQ(p.changeCount(), 0);
    EXPECT_EQ(p.fieldValue("IVAPEGIORNIINPS").toInt(), giorni);
    EXPECT_EQ(
        valore(QStringLiteral("SELECT IVAPEGIORNIINPS FROM TVAPE_PERIODI WHERE IVAPEID = %1").arg(periodo)).toInt(),
        giorni);

    services->replyToMessages({platform::Yes});
    EXPECT_THROW(p.deleteRecord(), EUqError);
    EXPECT_EQ(p.recordCount(), 1);
    EXPECT_EQ(valore(QStringLiteral("SELECT COUNT(*) FROM TVAPE_PERIODI WHERE IVAPEID = %1").arg(periodo)).toInt(), 1);
    // Whoever applies the changes gets the refusal too.
    p.edit();
    p.setFieldValue("IVAPEGIORNIINPS", giorni - 1);
    {
        TWunDBES::Sospensione s(calcolo);
        p.post();
    }
    EXPECT_THROW(calcolo.Salva(), EUqError);
    EXPECT_EQ(
        valore(QStringLiteral("SELECT IVAPEGIORNIINPS FROM TVAPE_PERIODI WHERE IVAPEID = %1").arg(periodo)).toInt(),
        giorni);
}
