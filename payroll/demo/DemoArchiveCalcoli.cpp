#include "DemoArchiveCalcoli.h"

#include "DemoArchiveSql.h"

#include "Exceptions.h"

#include <QDate>
#include <QVariant>

namespace payroll {

QMap<QString, qint64> DemoArchiveCalcoli::fill(platform::Database &database)
{
    DemoArchiveSql q(database, QStringLiteral("calcoli"));
    QMap<QString, qint64> aggiunte;
    auto ultimo = [&](const QString &tabella, const QString &chiave) {
        q.run(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(chiave, tabella));
        return q.value(0).toInt64();
    };

    const qint64 regola = ultimo(QStringLiteral("TOEPA_REGOLEORE"), QStringLiteral("IOEPAID")) + 1;
    q.run(QStringLiteral("INSERT INTO TOEPA_REGOLEORE (IOEPAID, SOEPALDESC, IOEPANUM, IOEPADEN, FOEPAMAGG, "
                         "LOEPACOMPRENDIIIS) VALUES (?, 'Ore eccedenti personale docente', 1, 78, 0, 1)"),
          {regola});
    ++aggiunte[QStringLiteral("TOEPA_REGOLEORE")];
    q.run(QStringLiteral("INSERT INTO TOETB_ORECCVOCI (IOETBID, ICOMRID, IOEPAID, DOETBINIZIOVALIDITA, "
                         "DOETBFINEVALIDITA) VALUES (?, ?, ?, ?, NULL)"),
          {ultimo(QStringLiteral("TOETB_ORECCVOCI"), QStringLiteral("IOETBID")) + 1, VoceOreEccedenti, regola,
           QDate(2010, 1, 1)});
    ++aggiunte[QStringLiteral("TOETB_ORECCVOCI")];

    for (const auto &[tabella, chiave] :
         {std::pair{"TOEPA_REGOLEORE", "IOEPAID"}, std::pair{"TOETB_ORECCVOCI", "IOETBID"},
          std::pair{"TPACO_PARAMCOMP", "IPACOID"}})
        q.run(QStringLiteral("SET GENERATOR GEN_%1 TO %2")
                  .arg(QLatin1String(tabella))
                  .arg(ultimo(QLatin1String(tabella), QLatin1String(chiave))));
    return aggiunte;
}

} // namespace payroll
