#include "ZepCCollaboratore.h"

#include "Field.h"

using platform::DataSet;

const QString TZepCollaboratore::Tabella = QStringLiteral("TEMC_COLLABORATORI");
const QString TZepCollaboratore::IndiceFrame = QStringLiteral("Cognome;Nome;CFCollaboratore;TipoRapporto;Aliquota");
const QString TZepCollaboratore::IndiceFinestra = QStringLiteral("Cognome;Nome;TipoRapporto");
const QString TZepCollaboratore::SuggerimentoAgevolazione = QStringLiteral("Indicare 04 per ex L.S.U.");

void TZepCollaboratore::PrimaDelPost(DataSet &dataSet)
{
    TZepTabellaDenuncia::ControllaPersona(dataSet, QStringLiteral("CFCollaboratore"));
}

void TZepCollaboratore::NuovaRiga(DataSet &dataSet)
{
    dataSet.fieldByName(TZepTabellaDenuncia::CampoElimina).setAsString(QStringLiteral("N"));
}

const QList<TZepRicerca> &TZepCollaboratore::Ricerche()
{
    static const QList<TZepRicerca> ricerche = {
        {QStringLiteral("TipoRapporto"), QStringLiteral("TTRC_TIPORAPPCOLL.cds")},
        {QStringLiteral("CodiceAttivita"), QStringLiteral("TCAC_CODATTCOLL.cds")},
        {QStringLiteral("AltraAss"), QStringLiteral("TALT_ALTREASS.cds")},
        {QStringLiteral("CodCalamita"), QStringLiteral("TCAL_CALAMITA.cds")},
        {QStringLiteral("CodCertificazione"), QStringLiteral("TCER_CERTIFICAZIONI.cds")},
    };
    return ricerche;
}

const QList<TZepColonna> &TZepCollaboratore::Colonne()
{
    static const QList<TZepColonna> colonne = {
        {QStringLiteral("CFCollaboratore"), QStringLiteral("Codice fiscale")},
        {QStringLiteral("Cognome"), QStringLiteral("Cognome")},
        {QStringLiteral("Nome"), QStringLiteral("Nome")},
        {QStringLiteral("TipoRapporto"), QStringLiteral("Tipo rapporto")},
        {QStringLiteral("Aliquota"), QStringLiteral("Aliquota")},
    };
    return colonne;
}
