#include "ZepCDmaInfo.h"

#include "TovCInfoChecker.h"

#include "DataSet.h"
#include "Field.h"
#include "SameName.h"
#include "ZepULayoutNomi.h"

using platform::DataSet;

namespace {
const QString ContrattoV1 = QStringLiteral("Contratto=Contratto (V1)");

bool Presente(const DataSet &ds, const QString &campo)
{
    return ds.findField(campo) != nullptr;
}
} // namespace

QStringList TZepDmaInfo::Etichette()
{
    return {
        QStringLiteral("DT_E0XXX001_DINIZIO=Data inizio (E0-1)"),
        QStringLiteral("DT_E0XXX002_DFINE=Data fine (E0-2)"),
        QStringLiteral("Contratto=Contratto (E0)"),
        QStringLiteral("AN_E0XXX009_QUALIFICA=Qualifica (E0-9)"),
        QStringLiteral("NP_E0XXX011_IMPIEGO=Tipo impiego (E0-11)"),
        QStringLiteral("NP_E0XXX012_SERVIZIO=Tipo servizio (E0-12)"),
        QStringLiteral("NP_E1XXX001_COD_FONDO=Codice Fondo pensione complementare (E1-1)"),
        QStringLiteral("DT_E1XXX004_DINIZIO=Data inizio periodo (E1-4)"),
        QStringLiteral("DT_E1XXX005_DFINE=Data fine periodo (E1-5)"),
        QStringLiteral("PC_E1XXX006_PERC_LAVORATORE=Percentuale a carico del lavoratore (E1-6)"),
        QStringLiteral("PC_E1XXX007_PERC_CARICO_DATORE=Percentuale a carico del datore di lavoro (E1-7)"),
        QStringLiteral("PC_E1XXX008_PERC_TFR=Percentuale TFR (E1-8)"),
        QStringLiteral("VP_E1XXX012_TOT_RETRIBUZIONE=Totale retribuzione soggetta a contributo (E1-12)"),
        QStringLiteral("VP_E1XXX015_CONT_DATORE=Contributo calcolato e/o versato a carico del datore di lavoro"),
        QStringLiteral("NP_V1XXX000_CAUSVAR=Causale variazione (V1)"),
        QStringLiteral("DT_V1XXX001_DINIZIO=Data inizio (V1-1)"),
        QStringLiteral("DT_V1XXX002_DFINE=Data fine (V1-2)"),
        ContrattoV1,
        QStringLiteral("AN_V1XXX009_QUALIFICA=Qualifica (V1-9)"),
        QStringLiteral("NP_V1XXX011_IMPIEGO=Tipo impiego (V1-11)"),
        QStringLiteral("NP_V1XXX012_SERVIZIO=Tipo servizio (V1-12)"),
        QStringLiteral("NP_V1XXX024_CODALI=Codice aliquota (V1-24)"),
    };
}

QStringList TZepDmaInfo::EtichettePer(const DataSet &dataSet)
{
    QStringList etichette = Etichette();
    if (Presente(dataSet, layouts::TV1_RETR::DT_V1XXX001_DINIZIO)) {
        etichette.removeOne(ContrattoV1);
        etichette.prepend(ContrattoV1);
    }
    return etichette;
}

bool TZepDmaInfo::CessazioneSenzaMotivo(const DataSet &e1)
{
    const auto valore = [&](const QString &nome) -> const platform::Field & { return e1.fieldByName(nome); };
    return valore(layouts::TE1_FONDIPENSIONE::DT_E1XXX009_DFINE_CONTRIBUZIONI).asDate().isValid()
           && valore(layouts::TE1_FONDIPENSIONE::NP_E1XXX010_MOTIVO_SOSPENSIONE).asString().isEmpty()
           && valore(layouts::TE1_FONDIPENSIONE::NP_E1XXX011_TIPO_CESSAZIONE).asString().isEmpty();
}

QString TZepDmaInfo::ControllaCampo(const QString &campo, DataSet &dataSet)
{
    auto valore = [&](const QString &nome) -> platform::Field & { return dataSet.fieldByName(nome); };
    const auto campoE = [&](const QString &nome) { return platform::sameName(campo, nome); };
    if (campoE(layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE)) {
        const QDate inizio = valore(layouts::TE1_FONDIPENSIONE::DT_E1XXX004_DINIZIO).asDate();
        const QDate fine = valore(layouts::TE1_FONDIPENSIONE::DT_E1XXX005_DFINE).asDate();
        if (inizio.isValid() && fine.isValid() && inizio > fine)
            return QStringLiteral(" - Data inizio periodo (E1-4) superiore a quella di fine (E1-5)");
    } else if (campoE(layouts::TE1_FONDIPENSIONE::VP_E1XXX014_CONT_LAVORATORE)) {
        if (valore(layouts::TE1_FONDIPENSIONE::VP_E1XXX014_CONT_LAVORATORE).asCurrency().raw() == 0
            && valore(layouts::TE1_FONDIPENSIONE::CB_E1XXX013_CONGUAGLIO_FISCALE).asInteger() == 0)
            return QStringLiteral(" - Dato obbligatorio mancante: Contributo a carico del lavoratore");
    } else if (campoE(layouts::TE1_FONDIPENSIONE::DT_E1XXX009_DFINE_CONTRIBUZIONI)) {
        if (CessazioneSenzaMotivo(dataSet))
            return QStringLiteral(" - Impostare il motivo di sospensione (E1-10) o il tipo di cessazione (E1-11)");
    }
    return {};
}

bool TZepDmaInfo::Controlla(TTovInfoChecker &checker, const QList<DataSet *> &dataSets)
{
    const QStringList prima = checker.FieldLabels();
    bool ok = true;
    for (DataSet *ds : dataSets) {
        checker.SetFieldLabels(EtichettePer(*ds));
        ok = checker.CheckDataSets({ds}, &TZepDmaInfo::ControllaCampo) && ok;
    }
    checker.SetFieldLabels(prima);
    return ok;
}
