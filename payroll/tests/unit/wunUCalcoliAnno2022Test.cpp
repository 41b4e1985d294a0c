// The one-off bonuses of 2022: the November taxable, the 200 euros of July,
// the 150 euros of November and December with their refusals, and no bonus
// after 2022.
#include "CalcoliTestSupport.h"
#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"
#include "tovUExceptions.h"

using calcolitest::euro;
using calcolitest::riga;
using calcolitest::tabella;
using platform::Currency;

namespace {

const QStringList ColonneRitenute{"ICOMRID", "IRICEID", "FVARRIMPONIBILEAMM"};

std::unique_ptr<platform::DataSet> voci()
{
    return tabella({"ICOMRID", "IVACRUSERCODE", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRIMPONIBILE",
                    "FVACRPERCESONEROIVS", "LVACRASSOGGETTATO", "LCOMRTRATTENUTA"},
                   {});
}

} // namespace

TEST(WunCalcolaAnno2022, NovemberTaxableCountsTheInpsRowsOfTheListedItems)
{
    auto righe = tabella(ColonneRitenute, {{10001, 3, euro("1000.00")},
                                           {10002, 13, euro("234.56")},
                                           {10005, 3, euro("500.00")}, // not a listed item
                                           {10001, 2, euro("100.00")}, // INPDAP
                                           {10003, 3, euro("-50.00")}});
    EXPECT_EQ(TWunCalcolaAnno2022::SommaImponibileBonus150(*righe), euro("1235")) << "whole euros";
}

using WunCalcolaAnno2022SuArchivio = calcolitest::DemoCalcoli;

TEST_F(WunCalcolaAnno2022SuArchivio, BonusesOfJulyNovemberAndDecember)
{
    TWunCalcolaAnno::CreaPerAnno(2022);
    // An employee whose November registers (the demo's months are November
    // and December) are all salary: no register in July, none of another
    // contract type in November.
    const int acom = scalar(
                         "SELECT FIRST 1 ACOM.IACOMID FROM TACOM_COMPENSI ACOM WHERE ACOM.ITNOID = 1 AND EXISTS "
                         "(SELECT 1 FROM TREGS_REGISTROSTIP REGS WHERE REGS.IACOMID = ACOM.IACOMID AND REGS.IMESID "
                         "= 11 AND REGS.ICOSID = 10001) AND NOT EXISTS (SELECT 1 FROM TREGS_REGISTROSTIP REGS WHERE "
                         "REGS.IACOMID = ACOM.IACOMID AND (REGS.IMESID = 7 OR REGS.IMESID = 11 AND REGS.ICOTID <> 1)) "
                         "ORDER BY ACOM.IACOMID")
                         .toInt();
    ASSERT_GT(acom, 0);
    platform::SqlQuery q(db());
    TWunCalcolaAnno &anno = WunCalcolaAnno();
    auto persona = riga({"IACOMID", "LACOMBONUS2002022", "LACOMBONUS1502022"}, {acom, 1, 1});
    const auto liquidazione = [](int mese) {
        return riga({"IMESID", "ICOTID", "FREGSTOTALELORDO"}, {mese, 1, euro("1000")});
    };

    auto luglio = liquidazione(7);
    auto v = voci();
    auto nessuna = tabella(ColonneRitenute, {});
    EXPECT_EQ(anno.CalcolaBonusUnaTantum(q, *persona, *nessuna, *luglio, *v), euro("200"));
    ASSERT_EQ(v->recordCount(), 1);
    EXPECT_EQ(v->fieldByName("ICOMRID").asInteger(), 10072);
    EXPECT_EQ(v->fieldByName("FVACRLORDO").asCurrency(), euro("200"));
    EXPECT_EQ(v->fieldByName("FVACRIMPONIBILE").asCurrency(), Currency());
    EXPECT_EQ(luglio->fieldByName("FREGSTOTALELORDO").asCurrency(), euro("1200"));

    struct Caso {
        const char *imponibile;
        Currency bonus;
        const QString *errore;
    };
    // The taxable is compared in whole euros: 1,538.49 is 1,538.
    const Caso casi[] = {{"1538.49", euro("150"), nullptr},
                         {"1538.50", Currency(), &TWunCalcolaAnno2022::MsgBonus150Soglia},
                         {"0", Currency(), &TWunCalcolaAnno2022::MsgBonus150NonLiquidato}};
    for (const Caso &c : casi) {
        // November: the liquidation's own rows (the person has no other).
        auto proprie = tabella(ColonneRitenute, {{10001, 3, euro(c.imponibile)}});
        auto novembre = riga({"IMESID", "ICOTID", "FREGSTOTALELORDO"}, {11, 1, euro("1000")});
        ASSERT_EQ(TWunCalcolaAnno2022::ImponibileBonus150(acom, 1), Currency());
        auto vn = voci();
        if (c.errore) {
            try {
                anno.CalcolaBonusUnaTantum(q, *persona, *proprie, *novembre, *vn);
                ADD_FAILURE() << c.imponibile;
            } catch (const ETovCalcola &e) {
                EXPECT_EQ(e.message(), *c.errore);
            }
        } else {
            EXPECT_EQ(anno.CalcolaBonusUnaTantum(q, *persona, *proprie, *novembre, *vn), c.bonus);
            EXPECT_EQ(vn->fieldByName("ICOMRID").asInteger(), 10073);
        }
    }
    // December: the November taxable of the archive only, whole euros.
    const Currency imponibileNovembre = TWunCalcolaAnno2022::ImponibileBonus150(acom, 0);
    EXPECT_GT(imponibileNovembre, Currency());
    EXPECT_EQ(imponibileNovembre, imponibileNovembre.rounded(0));
    auto dicembre = liquidazione(12);
    auto vd = voci();
    if (imponibileNovembre > euro("1538")) {
        EXPECT_THROW(anno.CalcolaBonusUnaTantum(q, *persona, *nessuna, *dicembre, *vd), ETovCalcola);
    } else {
        EXPECT_EQ(anno.CalcolaBonusUnaTantum(q, *persona, *nessuna, *dicembre, *vd), euro("150"));
    }
    // No flag, no bonus; after 2022 none either.
    auto senza = riga({"IACOMID", "LACOMBONUS2002022", "LACOMBONUS1502022"}, {acom, 0, 0});
    EXPECT_EQ(anno.CalcolaBonusUnaTantum(q, *senza, *nessuna, *liquidazione(7), *voci()), Currency());
    TWunCalcolaAnno::CreaPerAnno(2023);
    EXPECT_EQ(WunCalcolaAnno().CalcolaBonusUnaTantum(q, *persona, *nessuna, *liquidazione(7), *voci()), Currency());
}

TEST_F(WunCalcolaAnno2022SuArchivio, AnItemInTheRegistersIsNotAddedAgain)
{
    TWunCalcolaAnno::CreaPerAnno(2022);
    auto registro = leggi("SELECT FIRST 1 REGS.IREGSID, REGS.IACOMID, REGS.ICOTID FROM TREGS_REGISTROSTIP REGS "
                          "WHERE REGS.IMESID = 11 AND REGS.ICOSID = 10001 AND EXISTS (SELECT 1 FROM TVARR_VARRITENUTE "
                          "VARR WHERE VARR.IREGSID = REGS.IREGSID AND VARR.IRICEID = 3 AND VARR.IVARMID IS NULL "
                          "AND VARR.ICOMRID = 10001 AND VARR.FVARRIMPONIBILEAMM > 0)");
    ASSERT_FALSE(registro->eof());
    const int acom = registro->fieldByName("IACOMID").asInteger();
    const int cot = registro->fieldByName("ICOTID").asInteger();
    platform::SqlQuery q(db());
    q.setSql(QStringLiteral("INSERT INTO TVACR_VARCOMPRIGHE (IVACRID, IREGSID, ICOMRID, FVACRLORDO) VALUES (NEXT VALUE "
                            "FOR GEN_TVACR_VARCOMPRIGHE, %1, 10073, 150)")
                 .arg(registro->fieldByName("IREGSID").asInteger()));
    q.execSQL();
    auto &anno = dynamic_cast<TWunCalcolaAnno2022 &>(WunCalcolaAnno());
    EXPECT_TRUE(anno.VoceBonusPresente(q, 10073, acom, cot, 11));
    auto persona = riga({"IACOMID", "LACOMBONUS2002022", "LACOMBONUS1502022"}, {acom, 0, 1});
    auto novembre = riga({"IMESID", "ICOTID", "FREGSTOTALELORDO"}, {11, cot, euro("0")});
    auto nessuna = tabella(ColonneRitenute, {});
    auto v = voci();
    EXPECT_EQ(anno.CalcolaBonusUnaTantum(q, *persona, *nessuna, *novembre, *v), Currency()) << "already liquidated";
    EXPECT_EQ(v->recordCount(), 0);
}
