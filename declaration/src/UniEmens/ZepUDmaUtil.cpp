#include "ZepUDmaUtil.h"

#include "Currency.h"
#include "DataSet.h"
#include "Field.h"

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
             {QStringLiteral("VP_E0XXX032_IMPPENS"), QStringLiteral("VP_E0XXX033_CONPENS"),
              QStringLiteral("VP_E0XXX034_CONECC")},
             QStringLiteral("NP_E0XXX003_PENS"), 1);
    Gestione(dataSet, quadro,
             {QStringLiteral("VP_E0XXXA37_IMPTFR"), QStringLiteral("VP_E0XXXA38_CONTFR"),
              QStringLiteral("VP_E0XXX035_IMPTFS"), QStringLiteral("VP_E0XXX036_CONTFS")},
             QStringLiteral("NP_E0XXX004_PREV"), 7);
    platform::Field &contributo = dataSet.fieldByName(NomeCampo(QStringLiteral("VP_E0XXX040_CONCREDITO"), quadro));
    if (contributo.asCurrency().raw() == 0
        && dataSet.fieldByName(NomeCampo(QStringLiteral("VP_E0XXX039_IMPCREDITO"), quadro)).asCurrency().raw() > 0)
        contributo.setAsCurrency(platform::Currency::fromRaw(100)); // 0.01
    Gestione(dataSet, quadro, {QStringLiteral("VP_E0XXX039_IMPCREDITO"), QStringLiteral("VP_E0XXX040_CONCREDITO")},
             QStringLiteral("NP_E0XXX005_CREDITO"), 9);
}
