#include "ZepCMittente.h"

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
        {QStringLiteral("SedeINPS"), QStringLiteral("TSIN_SEDIINPS.cds")},
        {QStringLiteral("FormaGiuridica"), QStringLiteral("TFOR_FORMAGIUR.cds")},
        {QStringLiteral("ISTAT"), QStringLiteral("TAT8_CODATECO.cds")},
        {QStringLiteral("EA_FormaGiuridica"), QStringLiteral("TFOR_FORMAGIUR.cds")},
        {QStringLiteral("EA_ISTAT"), QStringLiteral("TAT8_CODATECO.cds")},
    };
    return ricerche;
}

const QStringList &TZepMittente::CampiCodiceFiscale()
{
    static const QStringList campi = {QStringLiteral("CFPersonaMittente"), QStringLiteral("CFMittente"),
                                      QStringLiteral("CFAzienda"), QStringLiteral("SS_CFAzienda"),
                                      QStringLiteral("EA_CFAzienda")};
    return campi;
}

void TZepMittente::PrimaDelPost(const platform::DataSet &dataSet)
{
    TZepTabellaDenuncia::ControllaRiga(dataSet, CampiCodiceFiscale());
}
