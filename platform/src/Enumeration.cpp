#include "Enumeration.h"

#include "SqlQuery.h"

namespace platform {

EnumItems loadEnumeration(Database &database, const QString &sql, const Params &params)
{
    SqlQuery q(database);
    q.setSql(sql);
    for (const Param &p : params)
        if (Param *mine = q.params().findParam(p.name()))
            *mine = p;
    q.open();
    if (q.fieldCount() < 2)
        throw EDatabaseError(
            QStringLiteral("L'elenco di valori richiede due colonne (testo e id): %1").arg(sql.simplified()));
    EnumItems items;
    for (; !q.eof(); q.next()) {
        const Value text = q.value(0);
        const Value id = q.value(1);
        items << EnumItem{text.isNull() ? QString() : text.toString(), id.isNull() ? 0 : id.toInt64()};
    }
    return items;
}

} // namespace platform
