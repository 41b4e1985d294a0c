#pragma once
// The rows of the public-sector section tables (E0, V1, E1 and the paying
// entities) by their person, found once when the tables are read, so that
// writing or printing a person does not scan the tables: a section row
// names its person by the D0 row's registry id (IAFIID), a paying entity
// its section row by ORDINE as well. Rows are matched by value (no filter
// text is built from them); a row with a null key field belongs to nobody.
// The file writer (TZepFile) and the declaration print's public-sector
// section (TZepReportPubblico) share it.
#include <QHash>
#include <QList>

namespace platform {
class DataSet;
}

class TZepIndiceIscritti {
public:
    // Indexes the rows of `ds` in its current order by registry id, and
    // with `conOrdine` by registry id and ORDINE (the paying entities),
    // replacing an earlier index of the same dataset. The dataset stays on
    // its last row.
    void Indicizza(platform::DataSet &ds, bool conOrdine);
    void Svuota();

    // The dataset standing on each row of the person `iscritto` in turn (of
    // its section row `ordine` for an index made with ORDINE), in the order
    // the rows had when indexed, while `riga` runs.
    template <typename F>
    void PerRighe(platform::DataSet &ds, int iscritto, F riga) const
    {
        PerRighe(ds, iscritto, 0, riga);
    }
    template <typename F>
    void PerRighe(platform::DataSet &ds, int iscritto, int ordine, F riga) const
    {
        for (const int n : Righe(ds, iscritto, ordine)) {
            Posiziona(ds, n);
            riga();
        }
    }

private:
    QList<int> Righe(const platform::DataSet &ds, int iscritto, int ordine) const;
    static void Posiziona(platform::DataSet &ds, int recNo);

    // Per dataset: the record numbers by key (registry id and ORDINE).
    QHash<const platform::DataSet *, QHash<qint64, QList<int>>> m_righe;
};
