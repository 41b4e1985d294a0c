#include "CalcoliTestSupport.h"

#include "WunUUtil.h"
#include "wunUCalcoliAnno.h"

#include "SqlQuery.h"

using platform::FieldType;

namespace calcolitest {

std::unique_ptr<platform::DataSet> tabella(const QStringList &colonne, const QList<platform::ValueList> &righe)
{
    auto ds = std::make_unique<platform::DataSet>();
    static const QStringList importi{"ORARIO_EFF", "COEFF_ORESERV", "OREECCNC_EFF"};
    static const QStringList date{"FERIEDAL", "FERIEAL"}; // a closing period's holiday dates
    for (const QString &c : colonne) {
        FieldType tipo = FieldType::Integer;
        if (date.contains(c))
            tipo = FieldType::Date;
        else if (importi.contains(c) || c.startsWith('F'))
            tipo = FieldType::BCD;
        else if (c.startsWith('D'))
            tipo = FieldType::Date;
        else if (c.startsWith('S'))
            tipo = FieldType::String;
        ds->addFieldDef(c, tipo, tipo == FieldType::BCD ? 4 : (tipo == FieldType::String ? 80 : 0));
    }
    ds->createDataSet();
    for (const platform::ValueList &r : righe)
        ds->appendRecord(r);
    ds->mergeChangeLog();
    ds->first();
    return ds;
}

std::unique_ptr<platform::DataSet> riga(const QStringList &colonne, const platform::ValueList &valori)
{
    return tabella(colonne, {valori});
}

platform::Currency euro(const char *testo)
{
    return platform::Currency::fromString(QLatin1String(testo));
}

void DemoCalcoli::SetUp()
{
    DemoArchiveSuite::SetUp();
    wunAnnoFinanziario().LoadYear(QStringLiteral("2024"));
    TWunCalcolaAnno::CreaPerAnno(2024);
}

void DemoCalcoli::TearDown()
{
    TWunCalcolaAnno::Rilascia();
    DemoArchiveSuite::TearDown();
}

std::unique_ptr<platform::DataSet> DemoCalcoli::leggi(const QString &sql)
{
    platform::SqlQuery q(db());
    q.setSql(sql);
    q.open();
    auto ds = std::make_unique<platform::DataSet>();
    q.fetchInto(*ds);
    ds->first();
    return ds;
}

} // namespace calcolitest
