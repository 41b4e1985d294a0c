#include "SearchStatement.h"

namespace platform {

const QString SearchWherePlaceholder = QStringLiteral("##WHERE##");
const QString SearchOrderPlaceholder = QStringLiteral("##ORDERBY##");

QString fillSearchStatement(const QString &sql, const QString &condition, const QString &order)
{
    QString text = sql;
    text.replace(SearchWherePlaceholder, condition.isEmpty() ? QStringLiteral("1=1") : condition);
    text.replace(SearchOrderPlaceholder, order.isEmpty() ? QStringLiteral("1") : order);
    return text;
}

} // namespace platform
