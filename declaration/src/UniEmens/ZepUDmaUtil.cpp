#include "ZepUDmaUtil.h"

#include "Currency.h"
#include "DataSet.h"
#include "Field.h"
#include "ZepULayoutNomi.h"

#include <QStringList>

using platform::DataSet;

const QString TDmaUtil::QuadroE0 = QStringLiteral("E0");
const QString TDmaUtil::QuadroV1 = QStringLiteral("V1");
const QString TDmaUtil::QuadroE1 = QStringLiteral("E1");

QString TDmaUtil::NomeCampo(const QString &campo, const QString &quadro)
{
    if (quadro != QuadroV1 || campo.size() < 5 || campo.mid(3, 2) != QuadroE0)
        return campo;
    QString prefisso = campo.left(3);
    if (prefisso == QStringLiteral("VP_"))
        prefisso = QStringLiteral("VN_");
    return prefisso + QuadroV1 + campo.mid(5);
}

QString TDmaUtil::CampoSezione(const QString &quadro, const QString &nome)
{
    return QStringLiteral("S") + quadro + nome;
}

namespace {

bool TuttiZero(const DataSet &ds, const QString &quadro, const QStringList &importi)
{
    for (const QString &campo : importi)
        if (ds.fieldByName(TDmaUtil::NomeCampo(campo, quadro)).asCurrency().raw() != 0)
            return false;
    return true;
}

void Gestione(DataSet &ds, const QString &quadro, const QStringList &importi, const QString &codice, int predefinito)
{
    platform::Field &campo = ds.fieldByName(TDmaUtil::NomeCampo(codice, quadro));
    if (TuttiZero(ds, quadro, importi))
        campo.clear();
    else if (campo.asInteger() == 0)
        campo.setAsInteger(predefinito);
}

} // namespace

void TDmaUtil::ImpostaCodiciGestione(const QString &quadro, DataSet &dataSet)
{
    Gestione(dataSet, quadro,
             {layouts::TE0_RETR::VP_E0XXX032_IMPPENS, layouts::TE0_RETR::VP_E0XXX033_CONPENS,
              layouts::TE0_RETR::VP_E0XXX034_CONECC},
             layouts::TE0_RETR::NP_E0XXX003_PENS, 1);
    Gestione(dataSet, quadro,
             {layouts::TE0_RETR::VP_E0XXXA37_IMPTFR, layouts::TE0_RETR::VP_E0XXXA38_CONTFR,
              layouts::TE0_RETR::VP_E0XXX035_IMPTFS, layouts::TE0_RETR::VP_E0XXX036_CONTFS},
             layouts::TE0_RETR::NP_E0XXX004_PREV, 7);
    platform::Field &contributo = dataSet.fieldByName(NomeCampo(layouts::TE0_RETR::VP_E0XXX040_CONCREDITO, quadro));
    if (contributo.asCurrency().raw() == 0
        && dataSet.fieldByName(NomeCampo(layouts::TE0_RETR::VP_E0XXX039_IMPCREDITO, quadro)).asCurrency().raw() > 0)
        contributo.setAsCurrency(platform::Currency::fromRaw(100)); // 0.01
    Gestione(dataSet, quadro, {layouts::TE0_RETR::VP_E0XXX039_IMPCREDITO, layouts::TE0_RETR::VP_E0XXX040_CONCREDITO},
             layouts::TE0_RETR::NP_E0XXX005_CREDITO, 9);
}
