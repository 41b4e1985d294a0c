// The fixed forms of the declaration tables' fields: each form takes what
// fits and refuses the rest naming the field, an empty value always fits,
// and a field of no form takes anything.
#include "ZepCFormeCampi.h"

#include "Currency.h"
#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"

#include <gtest/gtest.h>

using platform::DataSet;
using platform::FieldType;
using platform::Value;

namespace {

struct Caso {
    const char *nome; // of the test
    const char *campo;
    FieldType tipo;
    Value valore;
    QString rifiuto; // the problem after 'Campo "<campo>": ', empty when the value fits
};

void PrintTo(const Caso &c, std::ostream *os)
{
    *os << c.nome;
}

class FormeCampi : public ::testing::TestWithParam<Caso> {};

TEST_P(FormeCampi, TheValueFitsOrIsRefusedNamingTheField)
{
    const Caso &c = GetParam();
    DataSet ds;
    const int misura = c.tipo == FieldType::String ? 20 : c.tipo == FieldType::BCD ? 2 : 0;
    ds.setFieldDefs({{QString::fromLatin1(c.campo), c.tipo, misura}});
    ds.createDataSet();
    ds.append();
    ds.field(0)->setValue(c.valore);
    QString rifiuto;
    try {
        TZepFormeCampi::Controlla(ds);
    } catch (const EUqError &e) {
        rifiuto = e.message();
    }
    EXPECT_EQ(rifiuto, c.rifiuto.isEmpty() ? QString()
                                           : QStringLiteral("Campo \"%1\": ").arg(QLatin1String(c.campo)) + c.rifiuto);
}

const QString cap = QStringLiteral(" non è un CAP: servono 5 cifre");
const QString provincia = QStringLiteral(" non è la sigla di una provincia: servono 2 lettere maiuscole");
const QString comune = QStringLiteral(
    " non è il codice catastale di un comune: servono una lettera maiuscola e 3 cifre (A944)");
const QString anno = QStringLiteral(" non è un anno: servono 4 cifre");
const QString mese = QStringLiteral(" non è un mese: servono le cifre di un mese da 01 a 12");
const QString periodo = QStringLiteral(" non è un periodo: servono anno e mese come AAAA-MM");
const QString percentuale = QStringLiteral(" non è una percentuale: da 0 a 100");
const QString centesimi = QStringLiteral(" non è una percentuale in centesimi: da 0 a 10000 (50% = 5000)");

Value euro(const char *importo)
{
    return Value(platform::Currency::fromString(QString::fromLatin1(importo)));
}

INSTANTIATE_TEST_SUITE_P(
    Campi, FormeCampi,
    ::testing::Values(
        Caso{"Cap", "CAP", FieldType::String, Value(QStringLiteral("40121")), {}},
        Caso{"CapDiLettere", "CAP", FieldType::String, Value(QStringLiteral("ABCDE")), "\"ABCDE\"" + cap},
        Caso{"CapCorto", "CAP", FieldType::String, Value(QStringLiteral("4012")), "\"4012\"" + cap},
        Caso{"CapVuoto", "CAP", FieldType::String, Value(), {}},
        Caso{"CapDiSpazi", "CAP", FieldType::String, Value(QStringLiteral("     ")), {}},
        Caso{"CapDiResidenza", "N5_D0001009_CAPRES", FieldType::String, Value(QStringLiteral("4O121")),
             "\"4O121\"" + cap},
        Caso{"Provincia", "7B_PRORES", FieldType::String, Value(QStringLiteral("BO")), {}},
        Caso{"ProvinciaMinuscola", "Provincia", FieldType::String, Value(QStringLiteral("bo")), "\"bo\"" + provincia},
        Caso{"ProvinciaDiTre", "6B_PRONAS", FieldType::String, Value(QStringLiteral("BOL")), "\"BOL\"" + provincia},
        Caso{"Comune", "CodiceComune", FieldType::String, Value(QStringLiteral("Z100")), {}},
        Caso{"ComuneDiCifre", "AN_D0001007_COPRES", FieldType::String, Value(QStringLiteral("0944")),
             "\"0944\"" + comune},
        Caso{"SedeInps", "SedeINPS", FieldType::String, Value(QStringLiteral("9999")), {}},
        Caso{"SedeInpsDiLettere", "SedeINPS", FieldType::String, Value(QStringLiteral("BO01")),
             QStringLiteral("\"BO01\" non è un codice valido: servono 4 cifre")},
        Caso{"MatricolaCorta", "Matricola", FieldType::String, Value(QStringLiteral("123456789")),
             QStringLiteral("\"123456789\" non è un codice valido: servono 10 cifre")},
        Caso{"AnnoDiTesto", "SD0ANNOFIN", FieldType::String, Value(QStringLiteral("ABCD")), "\"ABCD\"" + anno},
        Caso{"AnnoNumero", "Anno", FieldType::Integer, Value(2008), {}},
        Caso{"AnnoDiDueCifre", "Anno", FieldType::Integer, Value(8), "\"8\"" + anno},
        Caso{"AnnoZero", "Anno", FieldType::Integer, Value(0), {}},
        Caso{"Mese", "SD0AMESE", FieldType::String, Value(QStringLiteral("03")), {}},
        Caso{"MeseDiUnaCifra", "SE0AMESE", FieldType::String, Value(QStringLiteral("3")), "\"3\"" + mese},
        Caso{"MeseNumero", "MeseDal", FieldType::Integer, Value(12), {}},
        Caso{"MeseTredici", "MeseAl", FieldType::Integer, Value(13), "\"13\"" + mese},
        Caso{"Periodo", "AnnoMeseDenuncia", FieldType::String, Value(QStringLiteral("2026-02")), {}},
        Caso{"PeriodoConLaBarra", "AnnoMeseErogazione", FieldType::String, Value(QStringLiteral("2026/02")),
             "\"2026/02\"" + periodo},
        Caso{"PeriodoMese13", "AnnoMeseDenuncia", FieldType::String, Value(QStringLiteral("2026-13")),
             "\"2026-13\"" + periodo},
        Caso{"Percentuale", "PC_E1XXX008_PERC_TFR", FieldType::BCD, euro("100"), {}},
        Caso{"PercentualeOltre", "PC_E0XXX014_PERCPT", FieldType::BCD, euro("100.5"), "100,5" + percentuale},
        Caso{"PercentualeNegativa", "PC_E1XXX006_PERC_LAVORATORE", FieldType::BCD, euro("-1"), "-1" + percentuale},
        Caso{"Centesimi", "PercPartTime", FieldType::Integer, Value(5000), {}},
        Caso{"CentesimiOltre", "Aliquota", FieldType::Integer, Value(12000), "12000" + centesimi},
        // The paying entity's "Aliquota" is a code, not a rate.
        Caso{"AliquotaCodice", "Aliquota", FieldType::String, Value(QStringLiteral("X")), {}},
        Caso{"Flag", "CB_D0001018_FONDI", FieldType::String, Value(QStringLiteral("1")), {}},
        Caso{"FlagDue", "CB_D0001010_VARRES", FieldType::String, Value(QStringLiteral("2")),
             QStringLiteral("\"2\" non è ammesso: 0 (no) o 1 (sì)")},
        Caso{"SessoX", "AN_D0001004_SEX", FieldType::String, Value(QStringLiteral("X")),
             QStringLiteral("\"X\" non è ammesso: M o F")},
        Caso{"SenzaForma", "Comune", FieldType::String, Value(QStringLiteral("ABCDE")), {}}),
    [](const ::testing::TestParamInfo<Caso> &info) { return std::string(info.param.nome); });

} // namespace
