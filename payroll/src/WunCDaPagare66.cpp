#include "WunCDaPagare66.h"

#include "WunUUtil.h"

#include "DataSet.h"

const QString TWunDaPagare66::Titolo = QStringLiteral("Bonus Irpef");
const QString TWunDaPagare66::Etichetta = QStringLiteral("Liquidazioni su cui suddividere il bonus/detrazione");
const QString TWunDaPagare66::MsgValoreErrato = QStringLiteral("Valore errato");

QString TWunDaPagare66::Dipendente(const platform::DataSet &persona)
{
    return TWunUtil::NormalizzaNumero(persona.fieldByName(QStringLiteral("SANACAGCODE")).asString())
           + QStringLiteral(" - ") + persona.fieldByName(QStringLiteral("SANACOGNOME")).asString() + QLatin1Char(' ')
           + persona.fieldByName(QStringLiteral("SANANOME")).asString();
}

bool TWunDaPagare66::Accetta(const QString &testo)
{
    bool ok = false;
    const int numero = testo.trimmed().toInt(&ok);
    if (!ok || numero < 1)
        return false;
    m_numero = numero;
    return true;
}

std::function<void(const platform::DataSet &, int &)> TWunDaPagare66::OnConferma;

int TWunDaPagare66::Conferma(const platform::DataSet &persona, int proposto)
{
    int numero = proposto;
    if (OnConferma)
        OnConferma(persona, numero);
    return numero;
}
