#include "wunCTabCCNL.h"

#include "tovCQueryText.h"

const QString TWunTabCCNL::Titolo = QStringLiteral("Scelta tabella CCNL da utilizzare nei calcoli");
const QString TWunTabCCNL::EtichettaTabelle = QStringLiteral("Tabella CCNL");
const QString TWunTabCCNL::SceltaAutomatica = QStringLiteral("Scelta automatica");

bool TWunTabCCNL::DaMostrare(bool forza, int forzata)
{
    return forza || forzata > 0;
}

platform::EnumItems TWunTabCCNL::Elenco(const platform::EnumItems &tabelle, platform::Database &database)
{
    platform::EnumItems elenco = tabelle;
    if (elenco.isEmpty())
        elenco = platform::loadEnumeration(database, TovQueryText().GetSQL(QStringLiteral("QRY_CCNL_TABELLE"),
                                                                           QStringLiteral("EXECUTE")));
    if (Indice(elenco, 0) < 0)
        elenco.prepend({SceltaAutomatica, 0});
    return elenco;
}

int TWunTabCCNL::Indice(const platform::EnumItems &elenco, qint64 id)
{
    for (int i = 0; i < elenco.size(); ++i)
        if (elenco.at(i).id == id)
            return i;
    return -1;
}
