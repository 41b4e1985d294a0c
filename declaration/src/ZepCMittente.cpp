#include "ZepCMittente.h"

#include "ZepULayoutNomi.h"

#include <QRegularExpression>

bool TZepMittente::GruppiPubblicaAmministrazione(const QString &codiceInpdap)
{
    // Any number of digits: a code longer than a machine integer is still a
    // number, and is not 0 when one of its digits is not.
    static const QRegularExpression numero(QStringLiteral("^[+-]?\\d+$"));
    const QString testo = codiceInpdap.trimmed();
    return numero.match(testo).hasMatch() && testo.contains(QRegularExpression(QStringLiteral("[1-9]")));
}

const QList<TZepRicerca> &TZepMittente::Ricerche()
{
    static const QList<TZepRicerca> ricerche = {
        {layouts::TAMM_AMMINISTRAZIONE::SedeINPS, QStringLiteral("TSIN_SEDIINPS.cds")},
        {layouts::TAMM_AMMINISTRAZIONE::FormaGiuridica, QStringLiteral("TFOR_FORMAGIUR.cds")},
        {layouts::TAMM_AMMINISTRAZIONE::ISTAT, QStringLiteral("TAT8_CODATECO.cds")},
        {layouts::TAMM_AMMINISTRAZIONE::EA_FormaGiuridica, QStringLiteral("TFOR_FORMAGIUR.cds")},
        {layouts::TAMM_AMMINISTRAZIONE::EA_ISTAT, QStringLiteral("TAT8_CODATECO.cds")},
    };
    return ricerche;
}

const QStringList &TZepMittente::CampiCodiceFiscale()
{
    static const QStringList campi = {layouts::TAMM_AMMINISTRAZIONE::CFPersonaMittente,
                                      layouts::TAMM_AMMINISTRAZIONE::CFMittente,
                                      layouts::TAMM_AMMINISTRAZIONE::CFAzienda,
                                      layouts::TAMM_AMMINISTRAZIONE::SS_CFAzienda,
                                      layouts::TAMM_AMMINISTRAZIONE::EA_CFAzienda};
    return campi;
}

void TZepMittente::PrimaDelPost(const platform::DataSet &dataSet)
{
    TZepTabellaDenuncia::ControllaRiga(dataSet, CampiCodiceFiscale());
}
