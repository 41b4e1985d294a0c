#include "ZepCIndiceIscritti.h"

#include "DataSet.h"
#include "Field.h"
#include "ZepCDma.h"

namespace {

// The key of a person's rows (and, for the paying entities, of one section
// row's): the registry id and ORDINE.
qint64 Chiave(int iscritto, int ordine)
{
    return (qint64(iscritto) << 32) | quint32(ordine);
}

} // namespace

void TZepIndiceIscritti::Indicizza(platform::DataSet &ds, bool conOrdine)
{
    QHash<qint64, QList<int>> &righe = m_righe[&ds];
    righe.clear();
    const platform::Field &id = ds.fieldByName(TZepDma::CampoIscritto);
    const platform::Field *ordine = conOrdine ? &ds.fieldByName(TZepDma::CampoOrdine) : nullptr;
    for (ds.first(); !ds.eof(); ds.next()) {
        if (id.isNull() || (ordine && ordine->isNull()))
            continue;
        righe[Chiave(id.asInteger(), ordine ? ordine->asInteger() : 0)] << ds.recNo();
    }
}

void TZepIndiceIscritti::Svuota()
{
    m_righe.clear();
}

QList<int> TZepIndiceIscritti::Righe(const platform::DataSet &ds, int iscritto, int ordine) const
{
    return m_righe.value(&ds).value(Chiave(iscritto, ordine));
}

void TZepIndiceIscritti::Posiziona(platform::DataSet &ds, int recNo)
{
    ds.setRecNo(recNo);
}
