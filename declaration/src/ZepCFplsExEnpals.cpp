#include "ZepCFplsExEnpals.h"

const QString TZepFplsExEnpals::Tabella = QStringLiteral("TEFE_FPLSEXENPALS");

const QList<TZepRicerca> &TZepFplsExEnpals::Ricerche()
{
    static const QList<TZepRicerca> ricerche = {
        {QStringLiteral("Qualifica1"), QStringLiteral("TQAS_QUALASSICUR.cds")},
        {QStringLiteral("Qualifica2"), QStringLiteral("TQOR_QUALORARIO.cds")},
        {QStringLiteral("Qualifica3"), QStringLiteral("TQCO_QUALCONTRAT.cds")},
        {QStringLiteral("TipoContribuzione"), QStringLiteral("TTRP_TIPORAPPORT.cds")},
        {QStringLiteral("TipoAssunzione"), QStringLiteral("TTAS_SSUNZIONE.cds")},
        {QStringLiteral("TipoCessazione"), QStringLiteral("TTCE_CESSAZIONE.cds")},
        {QStringLiteral("TipoLavoratore"), QStringLiteral("TENTL_TIPO_LAVORATORE_ENPALS.cds")},
        {QStringLiteral("CodiceContratto"), QStringLiteral("TENCC_CODICE_CONTRATTO_ENPALS.cds")},
        {QStringLiteral("TipoRapportoLav"), QStringLiteral("TENTR_TIPO_RAPPORTO_ENPALS.cds")},
        {QStringLiteral("CodiceQualifica"), QStringLiteral("TENCQ_CODICE_QUALIFICA_ENPALS.cds")},
        {QStringLiteral("TipoANF"), QStringLiteral("TANF_ASSNUCFAM.cds")},
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
