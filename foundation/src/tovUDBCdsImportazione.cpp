#include "tovUDBCdsImportazione.h"

#include "Exceptions.h"
#include "SqlQuery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QSysInfo>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

using platform::Database;
using platform::EDatabaseError;
using platform::SqlQuery;
using platform::Value;

namespace {

const QString Condizione = QStringLiteral(
    " WHERE SIMPPROGRAMMA = :PROGRAMMA AND IIMPANNO = :ANNO AND IIMPMESE = :MESE");

// The row of the period, made when missing. Two workstations making it at
// once: the second finds the first's (a duplicate once that committed).
const QString CreaRiga =
    QStringLiteral(
        "INSERT INTO TIMP_IMPORTAZIONI (IIMPID, SIMPPROGRAMMA, IIMPANNO, IIMPMESE) "
        "SELECT NEXT VALUE FOR GEN_TIMP_IMPORTAZIONI, CAST(:PROGRAMMA AS VARCHAR(20)), CAST(:ANNO AS INTEGER), "
        "CAST(:MESE AS INTEGER) FROM RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM TIMP_IMPORTAZIONI")
    + Condizione + QLatin1Char(')');
const QString ScriviTitolare =
    QStringLiteral("UPDATE TIMP_IMPORTAZIONI SET SIMPPOSTAZIONE = :POSTAZIONE, DIMPINIZIO = CURRENT_TIMESTAMP, "
                   "IIMPIMPORTAZIONI = IIMPIMPORTAZIONI + 1")
    + Condizione;
const QString Blocca = QStringLiteral("SELECT IIMPID FROM TIMP_IMPORTAZIONI") + Condizione
                       + QStringLiteral(" WITH LOCK");
const QString LeggiTitolare = QStringLiteral("SELECT SIMPPOSTAZIONE, DIMPINIZIO FROM TIMP_IMPORTAZIONI") + Condizione;
const QString TogliTitolare = QStringLiteral("UPDATE TIMP_IMPORTAZIONI SET SIMPPOSTAZIONE = NULL, DIMPINIZIO = NULL")
                              + Condizione;
constexpr int LunghezzaPostazione = 200;

void bindPeriodo(SqlQuery &q, const QString &programma, int anno, int mese)
{
    q.bind(QStringLiteral("PROGRAMMA"), Value(programma));
    q.bind(QStringLiteral("ANNO"), Value(anno));
    q.bind(QStringLiteral("MESE"), Value(mese));
}

// The period's second row, its baton: see Stato.
QString Testimone(const QString &programma)
{
    return programma + QLatin1Char('#');
}

void CreaRighe(Database &db, const QString &programma, int anno, int mese)
{
    for (const QString &p : {programma, Testimone(programma)}) {
        try {
            SqlQuery crea(db);
            crea.setSql(CreaRiga);
            bindPeriodo(crea, p, anno, mese);
            crea.execSQL();
        } catch (const EDatabaseError &e) {
            if (e.cause() != EDatabaseError::Cause::Duplicate && e.cause() != EDatabaseError::Cause::Conflict)
                throw;
        }
    }
}

// Locks the row of `programma`'s period in a transaction begun on `db`: false
// when another connection holds it (after the connection's lock timeout),
// the transaction then rolled back.
bool BloccaRiga(Database &db, const QString &programma, int anno, int mese)
{
    try {
        if (!db.inTransaction())
            db.startTransaction();
        SqlQuery blocca(db);
        blocca.setSql(Blocca);
        bindPeriodo(blocca, programma, anno, mese);
        blocca.open();
        blocca.close();
        return true;
    } catch (const EDatabaseError &e) {
        try {
            if (db.inTransaction())
                db.rollback();
        } catch (const std::exception &) {
        }
        if (e.cause() != EDatabaseError::Cause::Conflict)
            throw;
        return false;
    }
}

void Annulla(Database &db)
{
    try {
        if (db.inTransaction())
            db.rollback();
    } catch (const std::exception &) {
    }
}

} // namespace

// The period held, shared by the holders of one connection: its connection,
// whose open transaction locks the row. The last holder ends it.
//
// The lock's transaction is ended now and then (Rinnova), and between its
// end and the row locked again another workstation could take the row. So
// each period has a second row, its baton, locked with no wait: a
// workstation holds the period only while it holds both rows at once, and
// the holder takes the baton before it lets the period's row go and gives
// it back once it holds the row again. A workstation that finds the row
// free in that instant fails on the baton and lets the row go at once.
struct TTovDBCdsImportazione::Stato {
    QString chiave;
    QString programma;
    int anno;
    int mese;
    std::unique_ptr<Database> connessione;
    std::unique_ptr<Database> testimone; // the baton's connection, no wait
    QElapsedTimer rinnovo;               // since the lock's transaction began
    bool perso = false;                  // taken by another workstation at a renewal

    static QMutex &mutex()
    {
        static QMutex m;
        return m;
    }
    // The periods held in this process, by connection and period.
    static QHash<QString, std::weak_ptr<Stato>> &tenuti()
    {
        static QHash<QString, std::weak_ptr<Stato>> t;
        return t;
    }

    ~Stato()
    {
        {
            const QMutexLocker blocco(&mutex());
            const auto it = tenuti().constFind(chiave);
            if (it != tenuti().constEnd() && it->expired())
                tenuti().erase(it);
        }
        // Who held it is emptied with the lock's end (not when another holds
        // it now); should that fail, the connection's end frees the lock all
        // the same.
        try {
            if (!perso) {
                SqlQuery q(*connessione);
                q.setSql(TogliTitolare);
                bindPeriodo(q, programma, anno, mese);
                q.execSQL();
                q.close();
                connessione->commit();
            }
        } catch (const std::exception &) {
            try {
                if (connessione->inTransaction())
                    connessione->rollback();
            } catch (const std::exception &) {
            }
        }
        for (Database *db : {connessione.get(), testimone.get()}) {
            try {
                db->close();
            } catch (const std::exception &) {
            }
        }
    }
};

TTovDBCdsImportazione::TTovDBCdsImportazione(Database &archivio, const QString &programma, int anno, int mese)
    : m_archivio(archivio), m_programma(programma.toLower()), m_anno(anno), m_mese(mese)
{
}

TTovDBCdsImportazione::~TTovDBCdsImportazione()
{
    Rilascia();
    for (Database *db : {m_connessione.get(), m_testimone.get()}) {
        if (!db)
            continue;
        try {
            db->close();
        } catch (const std::exception &) {
        }
    }
}

QString TTovDBCdsImportazione::Chiave() const
{
    return QStringLiteral("%1|%2|%3|%4").arg(quintptr(&m_archivio)).arg(m_programma).arg(m_anno).arg(m_mese);
}

void TTovDBCdsImportazione::ApriConnessione()
{
    if (m_connessione && m_testimone)
        return;
    auto connessione = std::make_unique<Database>(m_archivio.settings());
    connessione->setLockTimeout(AttesaSecondi);
    connessione->open();
    auto testimone = std::make_unique<Database>(m_archivio.settings());
    testimone->setLockTimeout(0);
    testimone->open();
    m_connessione = std::move(connessione);
    m_testimone = std::move(testimone);
}

bool TTovDBCdsImportazione::Prendi()
{
    if (m_stato)
        return true;
    const QString k = Chiave();
    {
        const QMutexLocker blocco(&Stato::mutex());
        if (std::shared_ptr<Stato> tenuto = Stato::tenuti().value(k).lock()) {
            m_stato = std::move(tenuto);
            return true;
        }
    }
    ApriConnessione();
    Database &db = *m_connessione;
    Database &testimone = *m_testimone;
    CreaRighe(db, m_programma, m_anno, m_mese);
    // The row, then the baton: both, or the period is another's.
    if (!BloccaRiga(db, m_programma, m_anno, m_mese))
        return false;
    if (!BloccaRiga(testimone, Testimone(m_programma), m_anno, m_mese)) {
        Annulla(db);
        return false;
    }
    // Who holds it, written and committed while the baton keeps the others
    // out; then the row locked again at once in the same transaction and
    // the baton given back.
    try {
        SqlQuery scrivi(db);
        scrivi.setSql(ScriviTitolare);
        scrivi.bind(QStringLiteral("POSTAZIONE"), Value(Postazione().left(LunghezzaPostazione)));
        bindPeriodo(scrivi, m_programma, m_anno, m_mese);
        if (scrivi.execSQL() != 1)
            throw EDatabaseError(
                QStringLiteral("Riga dell'importazione di %1 non trovata in TIMP_IMPORTAZIONI.").arg(Periodo()));
        db.commitRetaining();
    } catch (const EDatabaseError &) {
        Annulla(db);
        Annulla(testimone);
        throw;
    }
    if (!BloccaRiga(db, m_programma, m_anno, m_mese)) {
        Annulla(testimone);
        return false;
    }
    testimone.commit();
    auto stato = std::make_shared<Stato>();
    stato->rinnovo.start();
    stato->chiave = k;
    stato->programma = m_programma;
    stato->anno = m_anno;
    stato->mese = m_mese;
    stato->connessione = std::move(m_connessione);
    stato->testimone = std::move(m_testimone);
    {
        const QMutexLocker blocco(&Stato::mutex());
        Stato::tenuti().insert(k, stato);
    }
    m_stato = std::move(stato);
    return true;
}

bool TTovDBCdsImportazione::Attendi(const std::function<void(const QString &)> &avviso,
                                    const std::function<bool()> &fermare)
{
    bool avvisato = false;
    int riprovato = 0;
    for (;;) {
        if (Prendi())
            return true;
        if (!avvisato) {
            // A holder giving the period back empties its record first: one
            // found empty has just ended (a short import may end and the
            // next begin meanwhile), and the period is tried again a few
            // times before anyone is told.
            const QString titolare = Titolare();
            if (titolare.isEmpty() && riprovato < 3) {
                ++riprovato;
                QThread::msleep(RitentaMs);
                continue;
            }
            avvisato = true;
            if (avviso)
                avviso(Messaggio(titolare));
        }
        if (fermare && fermare())
            return false;
        // Not straight away: a holder renewing its lock (Rinnova) locks the
        // row again first.
        QThread::msleep(RitentaMs);
    }
}

bool TTovDBCdsImportazione::Rinnova()
{
    if (!m_stato || m_stato->perso)
        return false;
    Stato &stato = *m_stato;
    if (stato.rinnovo.elapsed() < RinnovoMs)
        return true;
    // The lock's transaction ended and begun again, the row locked at once,
    // with the baton held meanwhile: what every workstation wrote before
    // now may be cleared by the engine, and no other workstation can hold
    // the period in between (Stato).
    Database &db = *stato.connessione;
    Database &testimone = *stato.testimone;
    if (!BloccaRiga(testimone, Testimone(stato.programma), stato.anno, stato.mese)) {
        stato.perso = true;
        return false;
    }
    try {
        db.commit();
    } catch (const EDatabaseError &) {
        Annulla(testimone);
        throw;
    }
    if (!BloccaRiga(db, stato.programma, stato.anno, stato.mese)) {
        Annulla(testimone);
        stato.perso = true;
        return false;
    }
    testimone.commit();
    stato.rinnovo.restart();
    return true;
}

QString TTovDBCdsImportazione::MsgPerso() const
{
    return QStringLiteral("L'importazione è stata interrotta: un'altra postazione ha iniziato a importare %1 in questo "
                          "archivio. I dipendenti importati finora sono completi; ripetere l'importazione quando "
                          "l'altra avrà finito.")
        .arg(Periodo());
}

void TTovDBCdsImportazione::Rilascia()
{
    m_stato.reset();
}

QString TTovDBCdsImportazione::Periodo() const
{
    if (m_mese == 0)
        return QStringLiteral("l'anno %1").arg(m_anno);
    return QStringLiteral("il mese %1/%2").arg(m_mese, 2, 10, QLatin1Char('0')).arg(m_anno);
}

QString TTovDBCdsImportazione::Titolare()
{
    ApriConnessione();
    SqlQuery q(*m_connessione);
    q.setSql(LeggiTitolare);
    bindPeriodo(q, m_programma, m_anno, m_mese);
    q.open();
    QString titolare;
    if (!q.eof() && !q.value(0).isNull()) {
        titolare = q.value(0).toString();
        const QDateTime inizio = q.value(1).toDateTime();
        if (inizio.isValid())
            titolare += QStringLiteral(", dalle %1 del %2")
                            .arg(inizio.toString(QStringLiteral("HH:mm")),
                                 inizio.toString(QStringLiteral("dd/MM/yyyy")));
    }
    q.close();
    return titolare;
}

QString TTovDBCdsImportazione::MsgAltraPostazione()
{
    return Messaggio(Titolare());
}

QString TTovDBCdsImportazione::Messaggio(const QString &titolare) const
{
    return QStringLiteral("Un'altra postazione sta importando %1 in questo archivio%2.\r\n"
                          "L'importazione partirà appena l'altra avrà finito, sui dati che questa avrà scritto: i "
                          "dipendenti che avrà già importato saranno sostituiti o lasciati come indica la scelta di "
                          "sovrascrittura.")
        .arg(Periodo(), titolare.isEmpty() ? QString() : QStringLiteral(": ") + titolare);
}

QString TTovDBCdsImportazione::MsgNonEseguita() const
{
    return QStringLiteral("Importazione non eseguita: un'altra postazione sta ancora importando %1 in questo archivio. "
                          "Ripeterla quando avrà finito.")
        .arg(Periodo());
}

QString TTovDBCdsImportazione::Postazione()
{
    QString utente;
    if (const passwd *pw = ::getpwuid(::geteuid()))
        utente = QString::fromLocal8Bit(pw->pw_name);
    QStringList dettagli;
    if (!utente.isEmpty())
        dettagli << QStringLiteral("utente %1").arg(utente);
    if (!QCoreApplication::applicationName().isEmpty())
        dettagli << QCoreApplication::applicationName();
    dettagli << QStringLiteral("processo %1").arg(QCoreApplication::applicationPid());
    return QStringLiteral("postazione %1 (%2)").arg(QSysInfo::machineHostName(), dettagli.join(QStringLiteral(", ")));
}
