#include "UqTransaction.h"

#include "SqlQuery.h"

#include <QRegularExpression>

using platform::EDatabaseError;

TUqTransaction::TUqTransaction(platform::Database *database)
    : m_db(database ? database : &platform::Database::requireGlobal())
{
}

TUqTransaction::~TUqTransaction()
{
    if (InTransaction()) {
        try {
            m_db->rollback();
        } catch (...) {
            // Nothing can be reported from a destructor; the engine drops
            // the transaction with the connection in any case.
        }
    }
}

void TUqTransaction::Start()
{
    if (m_owned || m_joined)
        throw EDatabaseError(QStringLiteral("Transazione già avviata."));
    m_db->startTransaction();
    m_owned = true;
}

bool TUqTransaction::StartOrJoin()
{
    if (m_owned || m_joined)
        throw EDatabaseError(QStringLiteral("Transazione già avviata."));
    if (m_db->inTransaction()) {
        m_joined = true;
        return false;
    }
    m_db->startTransaction();
    m_owned = true;
    return true;
}

void TUqTransaction::Commit()
{
    if (m_joined) {
        m_joined = false;
        return;
    }
    if (!m_owned)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da confermare."));
    m_owned = false;
    m_db->commit();
}

void TUqTransaction::Rollback()
{
    if (m_joined) {
        m_joined = false;
        return;
    }
    if (!m_owned)
        throw EDatabaseError(QStringLiteral("Nessuna transazione attiva da annullare."));
    m_owned = false;
    // Ended already by the connection (a commit that failed, the connection
    // cut): nothing is left to roll back.
    if (!m_db->inTransaction())
        return;
    m_db->rollback();
}

QString GeneratorName(const QString &tableName)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    const QString table = tableName.trimmed();
    if (!valid.match(table).hasMatch())
        throw EDatabaseError(QStringLiteral("Nome di tabella non valido per il generatore di id: '%1'").arg(tableName));
    const QString name = QStringLiteral("GEN_") + table.toUpper();
    if (name.size() > 31)
        throw EDatabaseError(QStringLiteral("Nome del generatore di id troppo lungo: %1").arg(name));
    return name;
}

qint64 GenerateID(const QString &tableName, platform::Database *database, int count)
{
    platform::Database &db = database ? *database : platform::Database::requireGlobal();
    const QString generator = GeneratorName(tableName);
    if (count < 1)
        throw EDatabaseError(QStringLiteral("Numero di id da generare non valido: %1").arg(count));
    platform::SqlQuery q(db);
    q.setSql(QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE").arg(generator).arg(count));
    try {
        q.open();
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(QStringLiteral("Impossibile generare un nuovo id per la tabella %1 (generatore %2): %3")
                                 .arg(tableName.toUpper(), generator, e.message()));
    }
    return q.value(0).toInt64() - count + 1;
}
