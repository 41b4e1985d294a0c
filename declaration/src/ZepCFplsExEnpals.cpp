#include "ZepCFplsExEnpals.h"

#include "ZepCDipendente.h"
#include "ZepULayoutNomi.h"

const QString TZepFplsExEnpals::Tabella = layouts::TEFE_FPLSEXENPALS::Tabella;

const QList<TZepRicerca> &TZepFplsExEnpals::Ricerche()
{
    static const QList<TZepRicerca> ricerche =
        TZepDipendente::RicercheLavoratore()
        + QList<TZepRicerca>{
            {layouts::TEFE_FPLSEXENPALS::TipoLavoratore, QStringLiteral("TENTL_TIPO_LAVORATORE_ENPALS.cds")},
            {layouts::TEFE_FPLSEXENPALS::CodiceContratto, QStringLiteral("TENCC_CODICE_CONTRATTO_ENPALS.cds")},
            {layouts::TEFE_FPLSEXENPALS::TipoRapportoLav, QStringLiteral("TENTR_TIPO_RAPPORTO_ENPALS.cds")},
            {layouts::TEFE_FPLSEXENPALS::CodiceQualifica, QStringLiteral("TENCQ_CODICE_QUALIFICA_ENPALS.cds")},
        };
    return ricerche;
}

const QList<QPair<QString, QString>> &TZepFplsExEnpals::RispettoMinimale()
{
    static const QList<QPair<QString, QString>> voci = {
        {QStringLiteral("Retribuzione superiore al minimale"), QStringLiteral("0")},
        {QStringLiteral("Retribuzione inferiore al minimale che non deve essere adeguata"), QStringLiteral("N")},
        {QStringLiteral("Retribuzione inferiore al minimale che deve essere adeguata"), QStringLiteral("S")},
    };
    return voci;
}
