#pragma once
// The rules of the dialog "Ferie" (TfmWunFerie): the holiday days to pay
// out at the closing of a relationship, proposed as the days accrued less
// those taken (never below 0). With a cutoff date the accrued days are
// those before it, and a proposal of 0 cannot be changed.
#include "Currency.h"

#include <QDate>
#include <QString>

class TWunFerie {
public:
    static const QString Titolo;               // "Ferie"
    static const QString EtichettaDaLiquidare; // "Giorni ferie da liquidare"
    static const QString EtichettaGodute;      // "Giorni ferie godute"
    static const QString MsgValoreErrato;      // "Valore errato"

    TWunFerie(platform::Currency maturate, platform::Currency godute, const QDate &dataLimite = QDate());

    // "Giorni ferie maturate", with " (prima del dd/MM/yyyy)" after a cutoff.
    QString EtichettaMaturate() const;
    // Accrued and taken days as the dialog shows them ("0.00").
    QString TestoMaturate() const;
    QString TestoGodute() const;
    // The days to pay out as the edit shows them ("0.00" at the start,
    // "#.00" after a refused text).
    QString TestoIniziale() const;
    QString Testo() const;
    // The edit cannot be changed: a cutoff date and nothing to pay out.
    bool SolaLettura() const;

    // Takes the text when it is a number ("," or "." as decimal point);
    // otherwise false and the days stay.
    bool Accetta(const QString &testo);
    platform::Currency Giorni() const { return m_giorni; }

private:
    platform::Currency m_maturate;
    platform::Currency m_godute;
    QDate m_dataLimite;
    platform::Currency m_giorni;
};
