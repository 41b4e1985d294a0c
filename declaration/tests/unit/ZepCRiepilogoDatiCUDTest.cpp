// The CUD summary's data without a display: one person per fiscal code with
// its earliest month, the persons chosen, the reference years and the
// sections of each person under the year its period ends in.
#include "ZepCRiepilogoDatiCUD.h"

#include "Field.h"
#include "tovUDBCds.h"

#include <QDate>
#include <gtest/gtest.h>

using platform::Currency;
using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

const QString CF = QStringLiteral("CF_D0001001_CODFIS");

// A section's rows (E0 or V1) of fiscal code, start, end and pensionable pay.
void sezione(DataSet &ds, const QString &s, const QList<std::tuple<QString, QDate, QDate, const char *>> &righe)
{
    const QString importo = s == QLatin1String("E0") ? QStringLiteral("VP_E0XXX032_IMPPENS")
                                                     : QStringLiteral("VN_V1XXX032_IMPPENS");
    ds.setFieldDefs({{QStringLiteral("S%1CODFIS").arg(s), FieldType::String, 16},
                     {QStringLiteral("DT_%1XXX001_DINIZIO").arg(s), FieldType::Date},
                     {QStringLiteral("DT_%1XXX002_DFINE").arg(s), FieldType::Date},
                     {importo, FieldType::Currency}});
    ds.createDataSet();
    for (const auto &[cf, dal, al, euro] : righe)
        ds.appendRecord({cf, dal, al, Currency::fromString(QString::fromLatin1(euro))});
}

} // namespace

TEST(ZepRiepilogoDatiCUD, PersonsOnceWithTheirEarliestMonthAndSectionsUnderTheYearTheirPeriodEnds)
{
    TTovDBCds store;
    store.SetYear(2024);
    TZepRiepilogoDatiCUD cud(store);

    // The months' rows, in another field order than the list's structure:
    // fields are copied by name.
    DataSet anag;
    anag.setFieldDefs({{QStringLiteral("SD0AMESE"), FieldType::String, 2},
                       {QStringLiteral("AN_D0001003_NOME"), FieldType::String, 30},
                       {QStringLiteral("AN_D0001002_COGNOME"), FieldType::String, 30},
                       {CF, FieldType::String, 16},
                       {QStringLiteral("ISTATO"), FieldType::Integer}});
    anag.createDataSet();
    anag.appendRecord({QStringLiteral("03"), QStringLiteral("ANNA"), QStringLiteral("VERDI IN ROSSI"),
                       QStringLiteral("VRDNNA80A41H501X"), 0});
    anag.appendRecord(
        {QStringLiteral("01"), QStringLiteral("ANNA"), QStringLiteral("VERDI"), QStringLiteral("VRDNNA80A41H501X"), 1});
    anag.appendRecord({QStringLiteral("02"), QStringLiteral("BRUNO"), QStringLiteral("BIANCHI"),
                       QStringLiteral("BNCBRN70A01H501Y"), 0});
    const platform::FieldDefs struttura{{CF, FieldType::String, 16},
                                        {QStringLiteral("AN_D0001002_COGNOME"), FieldType::String, 30},
                                        {QStringLiteral("AN_D0001003_NOME"), FieldType::String, 30},
                                        {QStringLiteral("SD0AMESE"), FieldType::String, 2},
                                        {QStringLiteral("ISTATO"), FieldType::Integer}};
    cud.CreaElenco(anag, struttura);
    QStringList elenco;
    for (cud.cdsElenco.first(); !cud.cdsElenco.eof(); cud.cdsElenco.next())
        elenco << cud.cdsElenco.fieldByName(QStringLiteral("AN_D0001002_COGNOME")).asString() + QLatin1Char('/')
                      + cud.cdsElenco.fieldByName(QStringLiteral("SD0AMESE")).asString();
    EXPECT_EQ(elenco, QStringList({QStringLiteral("BIANCHI/02"), QStringLiteral("VERDI/01")}));

    // VERDI's period of December 2024 to January 2025 ends in 2025; her V1
    // row of 2023; BIANCHI's row (its code in small letters) of 2024.
    sezione(cud.cdsE0, QStringLiteral("E0"),
            {{QStringLiteral("VRDNNA80A41H501X"), QDate(2024, 1, 1), QDate(2024, 1, 31), "1000"},
             {QStringLiteral("VRDNNA80A41H501X"), QDate(2024, 12, 1), QDate(2025, 1, 31), "2000"},
             {QStringLiteral("bncbrn70a01h501y"), QDate(2024, 2, 1), QDate(2024, 2, 29), "3000"}});
    sezione(cud.cdsV1, QStringLiteral("V1"),
            {{QStringLiteral("VRDNNA80A41H501X"), QDate(2023, 5, 1), QDate(2023, 5, 31), "400"}});
    cud.CreaAnni();
    QList<int> anni;
    for (cud.cdsAnni.first(); !cud.cdsAnni.eof(); cud.cdsAnni.next())
        anni << cud.cdsAnni.fieldByName(QStringLiteral("ANNO_RIFERIMENTO")).asInteger();
    EXPECT_EQ(anni, QList<int>({2023, 2024, 2025}));

    struct Caso {
        QStringList scelti; // surnames chosen; none: every person
        QStringList righe;  // "person | year | section start amount"
    };
    const QList<Caso> casi{
        {{},
         {QStringLiteral("BIANCHI BRUNO - BNCBRN70A01H501Y - Anno di riferimento 2024|E0 01/02/2024 3.000,00"),
          QStringLiteral("VERDI ANNA - VRDNNA80A41H501X - Anno di riferimento 2023|V1 01/05/2023 400,00"),
          QStringLiteral("VERDI ANNA - VRDNNA80A41H501X - Anno di riferimento 2024|E0 01/01/2024 1.000,00"),
          QStringLiteral("VERDI ANNA - VRDNNA80A41H501X - Anno di riferimento 2025|E0 01/12/2024 2.000,00")}},
        {{QStringLiteral("BIANCHI")},
         {QStringLiteral("BIANCHI BRUNO - BNCBRN70A01H501Y - Anno di riferimento 2024|E0 01/02/2024 3.000,00")}},
    };
    for (const Caso &c : casi) {
        QList<platform::Bookmark> scelti;
        for (const QString &cognome : c.scelti) {
            ASSERT_TRUE(cud.cdsElenco.locate(QStringLiteral("AN_D0001002_COGNOME"), Value(cognome)));
            scelti << cud.cdsElenco.bookmark();
        }
        cud.Scegli(scelti);
        const TZepStampa s = cud.Stampa();
        QStringList righe;
        for (const TZepStampaBlocco &b : s.blocchi) {
            for (const TZepStampaTabella &t : b.tabelle) {
                for (const QStringList &r : t.righe)
                    righe << b.titolo + QLatin1Char('|') + t.titolo.section(' ', 1) + QLatin1Char(' ') + r.at(0)
                                 + QLatin1Char(' ') + r.at(2);
                EXPECT_EQ(t.totali.at(2), t.righe.size() == 1 ? t.righe.at(0).at(2) : QString());
                // An amount the row lacks reads as the total's zero; the
                // theoretical TFR pay, a monthly rate, has no total.
                for (const QStringList &r : t.righe)
                    EXPECT_FALSE(r.contains(QString())) << r.join(QLatin1Char('|')).toStdString();
                const qsizetype retribuzione = t.colonne.indexOf(QStringLiteral("Retrib. TFR"));
                if (retribuzione >= 0) {
                    EXPECT_EQ(t.totali.at(retribuzione), QString());
                }
            }
        }
        EXPECT_EQ(righe, c.righe);
    }
}
