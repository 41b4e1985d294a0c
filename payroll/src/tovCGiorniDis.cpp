#include "tovCGiorniDis.h"

TGiorniDis::TGiorniDis(int giorni) : m_giorni(qMax(giorni, 0), cGiornoVuoto) {}

bool TGiorniDis::CodiceValido(const QString &testo)
{
    return testo.size() == 1 && (testo[0] == cGiornoVuoto || testo[0] == cGiornoSi || testo[0] == cGiornoNo);
}

void TGiorniDis::SetGiorno(int giorno, const QString &testo)
{
    if (giorno < 1 || giorno > Giorni())
        return;
    m_giorni[giorno - 1] = CodiceValido(testo) ? testo[0] : cGiornoVuoto;
}

QChar TGiorniDis::GetGiorno(int giorno) const
{
    return giorno < 1 || giorno > Giorni() ? cGiornoNo : m_giorni[giorno - 1];
}

void TGiorniDis::SetGiorni(const QString &testo)
{
    const int n = qMin(int(testo.size()), Giorni());
    for (int giorno = 1; giorno <= n; ++giorno)
        SetGiorno(giorno, testo.mid(giorno - 1, 1));
}
