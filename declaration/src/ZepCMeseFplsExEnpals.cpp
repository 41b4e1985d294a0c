#include "ZepCMeseFplsExEnpals.h"

#include "Exceptions.h"
#include "ZepULayoutNomi.h"

const QString TZepMeseFplsExEnpals::Intestazione = QStringLiteral(
    "Lavorato (S=Lavorato; vuoto=non lavorato)   Copertura (X=Totalmente  retribuito;  1=Tot. non retr.; 2= parz. "
    "retr.; 0=nessuna copertura)");
const QString TZepMeseFplsExEnpals::MsgGiorniCoperti = QStringLiteral("Giorni lavorati e coperti devono coincidere");
const QString TZepMeseFplsExEnpals::MsgGiorniRetribuiti = QStringLiteral(
    "La somma dei giorni lavorati deve coincidere con i giorni retribuiti");
const QString TZepMeseFplsExEnpals::CampoLavorati = layouts::TEFE_FPLSEXENPALS::GiorniLavorati;
const QString TZepMeseFplsExEnpals::CampoCopertura = layouts::TEFE_FPLSEXENPALS::GiorniTipoCopertura;

std::optional<QString> TZepMeseFplsExEnpals::Carattere(Riga riga, QChar tasto)
{
    if (tasto == QLatin1Char(' '))
        return QString();
    const QChar c = tasto.toUpper();
    const QString ammessi = riga == Riga::Lavorato ? QStringLiteral("S") : QStringLiteral("012X");
    if (ammessi.contains(c))
        return QString(c);
    return std::nullopt;
}

QStringList TZepMeseFplsExEnpals::Giorni(const QString &testo, int giorni)
{
    QStringList caselle;
    for (int n = 0; n < giorni; ++n)
        caselle << (n < testo.size() ? QString(testo.at(n)).trimmed() : QString());
    return caselle;
}

TZepMeseFplsExEnpals::Testi TZepMeseFplsExEnpals::Componi(const QStringList &lavorati, const QStringList &copertura,
                                                          int giorniRetribuiti)
{
    const auto componi = [](const QStringList &caselle, int &pieni) {
        QString testo(caselle.size(), QLatin1Char(' '));
        pieni = 0;
        for (int n = 0; n < caselle.size(); ++n)
            if (const QString c = caselle.at(n).trimmed(); !c.isEmpty()) {
                testo[n] = c.at(0);
                ++pieni;
            }
        return testo;
    };
    int numLavorati = 0, numCoperti = 0;
    Testi testi{componi(lavorati, numLavorati), componi(copertura, numCoperti)};
    if (numCoperti != numLavorati)
        throw EUqError(MsgGiorniCoperti);
    if (giorniRetribuiti != numLavorati)
        throw EUqError(MsgGiorniRetribuiti);
    return testi;
}
