#include "archive/DemoArchiveCalcoli.h"

#include "Exceptions.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace payroll {

namespace {

void esegui(QSqlQuery &q, const QString &sql, const QVariantList &valori = {})
{
    if (!q.prepare(sql))
        throw platform::EDatabaseError(
            QStringLiteral("Archivio dimostrativo, calcoli: %1\n%2").arg(q.lastError().text(), sql));
    for (int i = 0; i < valori.size(); ++i)
        q.bindValue(i, valori.at(i));
    if (!q.exec())
        throw platform::EDatabaseError(
            QStringLiteral("Archivio dimostrativo, calcoli: %1\n%2").arg(q.lastError().text(), sql));
}

} // namespace

QMap<QString, qint64> DemoArchiveCalcoli::fill(platform::Database &database)
{
    QSqlQuery q(database.qtDatabase());
    QMap<QString, qint64> aggiunte;
    auto ultimo = [&](const QString &tabella, const QString &chiave) {
        esegui(q, QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(chiave, tabella));
        q.next();
        return q.value(0).toLongLong();
    };

    const qint64 regola = ultimo(QStringLiteral("TOEPA_REGOLEORE"), QStringLiteral("IOEPAID")) + 1;
    esegui(q,
           QStringLiteral("INSERT INTO TOEPA_REGOLEORE (IOEPAID, SOEPALDESC, IOEPANUM, IOEPADEN, FOEPAMAGG, "
                          "LOEPACOMPRENDIIIS) VALUES (?, 'Ore eccedenti personale docente', 1, 78, 0, 1)"),
           {regola});
    ++aggiunte[QStringLiteral("TOEPA_REGOLEORE")];
    esegui(q,
           QStringLiteral("INSERT INTO TOETB_ORECCVOCI (IOETBID, ICOMRID, IOEPAID, DOETBINIZIOVALIDITA, "
                          "DOETBFINEVALIDITA) VALUES (?, ?, ?, ?, NULL)"),
           {ultimo(QStringLiteral("TOETB_ORECCVOCI"), QStringLiteral("IOETBID")) + 1, VoceOreEccedenti, regola,
            QDate(2010, 1, 1)});
    ++aggiunte[QStringLiteral("TOETB_ORECCVOCI")];

    for (const auto &[tabella, chiave] :
         {std::pair{"TOEPA_REGOLEORE", "IOEPAID"}, std::pair{"TOETB_ORECCVOCI", "IOETBID"},
          std::pair{"TPACO_PARAMCOMP", "IPACOID"}})
        esegui(q, QStringLiteral("SET GENERATOR GEN_%1 TO %2")
                      .arg(QLatin1String(tabella))
                      .arg(ultimo(QLatin1String(tabella), QLatin1String(chiave))));
    return aggiunte;
}

} // namespace payroll
