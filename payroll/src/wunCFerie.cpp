#include "wunCFerie.h"

#include "Exceptions.h"
#include "Field.h"

using platform::Currency;

const QString TWunFerie::Titolo = QStringLiteral("Ferie");
const QString TWunFerie::EtichettaDaLiquidare = QStringLiteral("Giorni ferie da liquidare");
const QString TWunFerie::EtichettaGodute = QStringLiteral("Giorni ferie godute");
const QString TWunFerie::MsgValoreErrato = QStringLiteral("Valore errato");

TWunFerie::TWunFerie(Currency maturate, Currency godute, const QDate &dataLimite)
    : m_maturate(maturate), m_godute(godute), m_dataLimite(dataLimite),
      m_giorni(maturate > godute ? maturate - godute : Currency())
{
}

QString TWunFerie::EtichettaMaturate() const
{
    QString testo = QStringLiteral("Giorni ferie maturate");
    if (m_dataLimite.isValid())
        testo += QStringLiteral(" (prima del ") + m_dataLimite.toString(QStringLiteral("dd/MM/yyyy"))
                 + QLatin1Char(')');
    return testo;
}

QString TWunFerie::TestoMaturate() const
{
    return platform::formatNumber(QStringLiteral("0.00"), m_maturate);
}
QString TWunFerie::TestoGodute() const
{
    return platform::formatNumber(QStringLiteral("0.00"), m_godute);
}
QString TWunFerie::TestoIniziale() const
{
    return platform::formatNumber(QStringLiteral("0.00"), m_giorni);
}
QString TWunFerie::Testo() const
{
    return platform::formatNumber(QStringLiteral("#.00"), m_giorni);
}

bool TWunFerie::SolaLettura() const
{
    return m_dataLimite.isValid() && !(m_giorni > Currency());
}

bool TWunFerie::Accetta(const QString &testo)
{
    try {
        m_giorni = Currency::fromString(testo.trimmed());
        return true;
    } catch (const platform::EConvertError &) {
        return false;
    }
}
