#include "ZepCCollaboratore.h"

#include "Field.h"
#include "ZepULayoutNomi.h"

using platform::DataSet;

const QString TZepCollaboratore::Tabella = layouts::TEMC_COLLABORATORI::Tabella;
const QString TZepCollaboratore::IndiceFrame = QStringLiteral("Cognome;Nome;CFCollaboratore;TipoRapporto;Aliquota");
const QString TZepCollaboratore::IndiceFinestra = QStringLiteral("Cognome;Nome;TipoRapporto");
const QString TZepCollaboratore::SuggerimentoAgevolazione = QStringLiteral("Indicare 04 per ex L.S.U.");

void TZepCollaboratore::PrimaDelPost(DataSet &dataSet)
{
    TZepTabellaDenuncia::ControllaPersona(dataSet, layouts::TEMC_COLLABORATORI::CFCollaboratore);
}

void TZepCollaboratore::NuovaRiga(DataSet &dataSet)
{
    dataSet.fieldByName(TZepTabellaDenuncia::CampoElimina).setAsString(QStringLiteral("N"));
}

const QList<TZepRicerca> &TZepCollaboratore::Ricerche()
{
    static const QList<TZepRicerca> ricerche = {
        {layouts::TEMC_COLLABORATORI::TipoRapporto, QStringLiteral("TTRC_TIPORAPPCOLL.cds")},
        {layouts::TEMC_COLLABORATORI::CodiceAttivita, QStringLiteral("TCAC_CODATTCOLL.cds")},
        {layouts::TEMC_COLLABORATORI::AltraAss, QStringLiteral("TALT_ALTREASS.cds")},
        {layouts::TEMC_COLLABORATORI::CodCalamita, QStringLiteral("TCAL_CALAMITA.cds")},
        {layouts::TEMC_COLLABORATORI::CodCertificazione, QStringLiteral("TCER_CERTIFICAZIONI.cds")},
    };
    return ricerche;
}

const QList<TZepColonna> &TZepCollaboratore::Colonne()
{
    static const QList<TZepColonna> colonne = {
        {layouts::TEMC_COLLABORATORI::CFCollaboratore, QStringLiteral("Codice fiscale")},
        {layouts::TEMC_COLLABORATORI::Cognome, QStringLiteral("Cognome")},
        {layouts::TEMC_COLLABORATORI::Nome, QStringLiteral("Nome")},
        {layouts::TEMC_COLLABORATORI::TipoRapporto, QStringLiteral("Tipo rapporto")},
        {layouts::TEMC_COLLABORATORI::Aliquota, QStringLiteral("Aliquota")},
    };
    return colonne;
}
