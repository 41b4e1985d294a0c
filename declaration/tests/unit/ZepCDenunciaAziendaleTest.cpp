// The company declaration recomputed from the month's employees and
// performing-arts workers, on a real archive: one row per company number,
// the counts, the workforce, the totals, the rows marked for deletion, the
// save, and a person without company number.
#include "ZepFileSupport.h"

#include "Exceptions.h"
#include "Field.h"

using namespace filetest;

namespace {

class DenunciaAziendaleTest : public FileTest {
protected:
    // "Matricola NumLavoratori/NumDenIndiv ForzaAziendale TotaleADebito
    // TotaleACredito TrattQuotaLav" of every stored row, in Matricola order.
    QStringList Righe()
    {
        DataSet ds;
        store.Load(ds, TZepDenunciaAziendale::Tabella);
        ds.setIndexFieldNames(TZepDenunciaAziendale::Indice);
        QStringList out;
        for (ds.first(); !ds.eof(); ds.next()) {
            // The store keeps no zeros: they read back as empty.
            const auto v = [&](const char *f) {
                return QString::number(ds.fieldByName(QString::fromLatin1(f)).asInteger());
            };
            out << QStringLiteral("%1 %2/%3 %4 %5 %6 %7")
                       .arg(ds.fieldByName(QStringLiteral("Matricola")).asString(), v("NumLavoratori"),
                            v("NumDenIndiv"), v("ForzaAziendale"), v("TotaleADebito"), v("TotaleACredito"),
                            ds.fieldByName(QStringLiteral("TrattQuotaLav")).asString());
        }
        return out;
    }
};

} // namespace

TEST_F(DenunciaAziendaleTest, OneRowPerCompanyNumberWithItsTotals)
{
    // M: one full-time worker and one at 5000 (1.5 workers, rounded up to
    // 2); contributions 412.30 + 300.20 = 712.50 -> 713; credits 100.25 +
    // 50.25 (bonus) + 10 (IVS exemption) -> 161.
    Dipendente(con(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"),
                   {{"Contributo", euro("412.30")}, {"BonusUTImporto", euro("100.25")}}));
    Dipendente(con(dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA"), {{"Qualifica2", "P"},
                                                                        {"PercPartTime", 5000},
                                                                        {"Contributo", euro("300.20")},
                                                                        {"BonusUTImporto", euro("50.25")},
                                                                        {"EsoneroIVSImporto", euro("10")}}));
    // N: only a row marked for deletion: the row of N, with nothing in it.
    Dipendente(con(dipendente("FRRGLI80A41F205Z", "FERRARI", "GIULIA", "2222222222"), {{"Elimina", "S"}}));
    // P: a performing-arts worker with contribution 100, additional 10 and
    // solidarity 5 (115), and one of M.
    Fpls(con(iscrittoFpls("VRDGPP80A01H501U", "VERDI", "GIUSEPPE", "3333333333"),
             {{"Contributo", euro("100")}, {"ContribAggCorrente", euro("10")}, {"ContrSolidarietaSpet", euro("5")}}));
    Fpls(con(iscrittoFpls("NRELNE92E50H501J", "NERI", "ELENA"), {{"Contributo", euro("0.49")}}));
    // A row of a number nobody has any longer goes.
    Aggiungi(TZepDenunciaAziendale::Tabella, {{"Matricola", "9999999999"}, {"NumLavoratori", 7}});

    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    EXPECT_EQ(Righe(),
              (QStringList{"1234567890 3/3 3 713 161 S", "2222222222 0/0 0 0 0 S", "3333333333 1/1 1 115 0 S"}));
    EXPECT_TRUE(aziendale.fieldByName(QStringLiteral("SommaACredito")).isNull());
}

TEST_F(DenunciaAziendaleTest, PartTimeSharesAreSummedWholeBeforeRoundingUp)
{
    // 0.1 + 0.2 + 0.7 of a worker: exactly one, where a sum of doubles
    // comes to just above 1 and rounds up to 2.
    Dipendente(con(dipendente("AAAAAA80A01H501R", "A", "A"), {{"Qualifica2", "P"}, {"PercPartTime", 1000}}));
    Dipendente(con(dipendente("BBBBBB80A01H501R", "B", "B"), {{"Qualifica2", "P"}, {"PercPartTime", 2000}}));
    Dipendente(con(dipendente("CCCCCC80A01H501J", "C", "C"), {{"Qualifica2", "P"}, {"PercPartTime", 7000}}));
    Dipendente(con(dipendente("DDDDDD80A01H501S", "D", "D", "5555555555"), {{"PercPartTime", 10001}}));
    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    EXPECT_EQ(Righe(), (QStringList{"1234567890 3/3 1 550 0 S", "5555555555 1/1 2 183 0 S"}));
}

TEST_F(DenunciaAziendaleTest, APersonWithoutCompanyNumberChangesNothing)
{
    Dipendente(dipendente("BNCMRA85M41F205D", "BIANCHI", "MARIA"));
    file.CaricaTabelle();
    file.RicalcolaDenunciaAziendale();
    const QStringList prima = Righe();
    Dipendente(con(dipendente("SPSLCU90A01F839P", "ESPOSITO", "LUCA"), {{"Matricola", platform::Value()}}));
    file.CaricaTabelle();
    try {
        file.RicalcolaDenunciaAziendale();
        ADD_FAILURE() << "recomputed";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Matricola obbligatoria"));
    }
    EXPECT_EQ(Righe(), prima);
}

TEST(ZepDenunciaAziendale, ANewRowNeedsItsCompanyNumber)
{
    DataSet ds;
    ds.setFieldDefs({{QStringLiteral("Matricola"), platform::FieldType::String, 10},
                     {QStringLiteral("NumLavoratori"), platform::FieldType::Integer}});
    ds.createDataSet();
    ds.append();
    EXPECT_THROW(TZepDenunciaAziendale::PrimaDelPost(ds), EUqError);
    ds.setFieldValue(QStringLiteral("Matricola"), QStringLiteral("1234567890"));
    EXPECT_NO_THROW(TZepDenunciaAziendale::PrimaDelPost(ds));
    ds.post();
    ds.edit();
    ds.setFieldValue(QStringLiteral("Matricola"), QString());
    EXPECT_NO_THROW(TZepDenunciaAziendale::PrimaDelPost(ds)) << "checked on insert only";
}
