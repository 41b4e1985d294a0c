#include "WunMOreEccedenti.h"

#include "wunUCalcoli.h"

#include "tovCQueryText.h"

using platform::Currency;

TdmWunOreEccedenti *dmWunOreEccedenti = nullptr;

TdmWunOreEccedenti::TdmWunOreEccedenti(QObject *parent) : QObject(parent)
{
    dmWunOreEccedenti = this;
}

TdmWunOreEccedenti::~TdmWunOreEccedenti()
{
    if (dmWunOreEccedenti == this)
        dmWunOreEccedenti = nullptr;
}

void TdmWunOreEccedenti::ApriRegola(int voce, const QDate &data)
{
    xqcOetb.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_OETB_VACR"), xqcOetb, QStringLiteral("EXECUTE"));
    const QString validita = data.isValid()
                                 ? QStringLiteral(" AND COALESCE(OETB.DOETBINIZIOVALIDITA,:DATA) <= :DATA AND "
                                                  "COALESCE(OETB.DOETBFINEVALIDITA,:DATA) >= :DATA")
                                 : QString();
    TTovQueryText::FormatSQL(xqcOetb, {validita});
    if (data.isValid())
        xqcOetb.params().paramByName(QStringLiteral("DATA")).setValue(data);
    xqcOetb.params().paramByName(QStringLiteral("ICOMRID")).setValue(voce);
    xqcOetb.Open();
}

Currency TdmWunOreEccedenti::TariffaOraria(int voce, Currency baseExtra, Currency base)
{
    if (voce > 0)
        ApriRegola(voce);
    if (!xqcOetb.isActive() || xqcOetb.isEmpty())
        return Currency();
    xqcOetb.first();
    const int numeratore = xqcOetb.fieldByName(QStringLiteral("IOEPANUM")).asInteger();
    const int denominatore = xqcOetb.fieldByName(QStringLiteral("IOEPADEN")).asInteger();
    const QString mancante = QStringLiteral("La regola delle ore eccedenti della voce %1 non ha il divisore della "
                                            "tariffa oraria (IOEPADEN)")
                                 .arg(voce > 0 ? voce
                                               : xqcOetb.params().paramByName(QStringLiteral("ICOMRID")).asInteger());
    if (xqcOetb.fieldByName(QStringLiteral("LOEPACOMPRENDIIIS")).asInteger() == 1)
        base += baseExtra;
    Currency tariffa = TwunCalcola::Proporzione(base, numeratore, denominatore, mancante);
    const Currency maggiorazione = xqcOetb.fieldByName(QStringLiteral("FOEPAMAGG")).asCurrency();
    if (maggiorazione > Currency())
        tariffa = tariffa * maggiorazione;
    return TwunCalcola::Arrotonda(2, tariffa);
}
