#include "DemoArchivePeople.h"

#include <algorithm>

namespace payroll {

QList<std::pair<QDate, QDate>> DemoArchivePeople::engagements(const QDate &from, const QDate &to)
{
    QList<std::pair<QDate, QDate>> out;
    for (const auto &[first, last] : {std::pair{3, 12}, std::pair{17, 26}}) {
        const QDate a = std::max(from, QDate(from.year(), from.month(), first));
        const QDate b = std::min(to, QDate(from.year(), from.month(), last));
        if (a <= b)
            out.append({a, b});
    }
    return out;
}

} // namespace payroll
