#include "DemoArchiveCalcoli.h"

#include "DemoArchiveSql.h"

#include "Exceptions.h"

#include <QDate>

namespace payroll {

void DemoArchiveCalcoli::fill(DemoArchiveWriter &writer)
{
    DemoArchiveSql q(writer.database(), QStringLiteral("calcoli"));
    auto ultimo = [&](const QString &tabella, const QString &chiave) {
        q.run(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(chiave, tabella));
        return q.value(0).toInt64();
    };

    const qint64 regola = ultimo(QStringLiteral("TOEPA_REGOLEORE"), QStringLiteral("IOEPAID")) + 1;
    writer.row(QStringLiteral("TOEPA_REGOLEORE"),
               {regola, "Ore eccedenti personale docente", 1, 78, platform::Currency(), 1});
    writer.row(QStringLiteral("TOETB_ORECCVOCI"),
               {ultimo(QStringLiteral("TOETB_ORECCVOCI"), QStringLiteral("IOETBID")) + 1, VoceOreEccedenti, regola,
                QDate(2010, 1, 1), platform::Value::null()});

    for (const auto &[tabella, chiave] :
         {std::pair{"TOEPA_REGOLEORE", "IOEPAID"}, std::pair{"TOETB_ORECCVOCI", "IOETBID"},
          std::pair{"TPACO_PARAMCOMP", "IPACOID"}})
        q.run(QStringLiteral("SET GENERATOR GEN_%1 TO %2")
                  .arg(QLatin1String(tabella))
                  .arg(ultimo(QLatin1String(tabella), QLatin1String(chiave))));
}

} // namespace payroll
