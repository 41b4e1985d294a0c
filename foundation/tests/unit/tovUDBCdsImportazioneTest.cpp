// The import of a period held by one workstation at a time, played by two
// connections to one embedded archive (each a workstation): the second is
// refused while the first holds the month, is told who holds it, may give
// up, and takes the month as soon as the first gives it back.
#include "tovUDBCdsImportazione.h"

#include "Database.h"
#include "SqlQuery.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

using platform::Database;

namespace {

class PeriodImportTest : public ::testing::Test {
protected:
    PeriodImportTest() { altra.open(); }
    TempDatabase tdb{TempDatabase::Scripts{TempDatabase::projectScripts(QStringLiteral("foundation"))}};
    Database altra{tdb.settings()};
};

} // namespace

TEST_F(PeriodImportTest, AMonthHeldByOneWorkstationIsRefusedToAnotherUntilGivenBack)
{
    auto prima = std::make_unique<TTovDBCdsImportazione>(tdb.db(), QStringLiteral("zep"), 2026, 12);
    ASSERT_TRUE(prima->Prendi());
    // The same workstation takes it again at once (a run inside a run).
    TTovDBCdsImportazione ancora(tdb.db(), QStringLiteral("ZEP"), 2026, 12);
    EXPECT_TRUE(ancora.Prendi());
    ancora.Rilascia();

    // Another workstation waits a bounded time, then is told who holds it.
    TTovDBCdsImportazione seconda(altra, QStringLiteral("zep"), 2026, 12);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(seconda.Prendi());
    EXPECT_LT(t.elapsed(), 10'000);
    const QString messaggio = seconda.MsgAltraPostazione();
    EXPECT_TRUE(messaggio.startsWith(QStringLiteral("Un'altra postazione sta importando il mese 12/2026 in questo "
                                                    "archivio: ")
                                     + TTovDBCdsImportazione::Postazione() + QStringLiteral(", dalle ")))
        << messaggio.toStdString();
    // Renewed between two persons, the month stays the first one's.
    QThread::msleep(TTovDBCdsImportazione::RinnovoMs);
    EXPECT_TRUE(prima->Rinnova());
    EXPECT_FALSE(seconda.Prendi());
    EXPECT_FALSE(seconda.Rinnova()) << "not held";
    // Other periods are free: another month, the year level, another program.
    for (const auto &[programma, mese] : {std::pair{"zep", 11}, std::pair{"zep", 0}, std::pair{"altro", 12}}) {
        TTovDBCdsImportazione libero(altra, QLatin1String(programma), 2026, mese);
        EXPECT_TRUE(libero.Prendi()) << programma << " " << mese;
    }

    // Given up: nothing held, the message of it; told once.
    QStringList avvisi;
    int domande = 0;
    EXPECT_FALSE(seconda.Attendi([&](const QString &m) { avvisi << m; }, [&] { return ++domande == 2; }));
    EXPECT_EQ(avvisi.size(), 1);
    EXPECT_EQ(domande, 2);
    EXPECT_FALSE(seconda.Presa());
    EXPECT_EQ(seconda.MsgNonEseguita(), QStringLiteral("Importazione non eseguita: un'altra postazione sta ancora "
                                                       "importando il mese 12/2026 in questo archivio. Ripeterla "
                                                       "quando avrà finito."));

    // Given back while the other waits (here, when it asks whether to stop):
    // it takes the month, and the record of the first holder is gone.
    EXPECT_TRUE(seconda.Attendi({}, [&] {
        prima.reset();
        return false;
    }));
    EXPECT_TRUE(seconda.Presa());
    TTovDBCdsImportazione terza(tdb.db(), QStringLiteral("zep"), 2026, 12);
    EXPECT_FALSE(terza.Prendi());
    seconda.Rilascia();
    EXPECT_EQ(terza.Titolare(), QString());
    EXPECT_TRUE(terza.Prendi());

    platform::SqlQuery righe(tdb.db());
    righe.setSql(QStringLiteral("SELECT COUNT(*), SUM(IIMPIMPORTAZIONI) FROM TIMP_IMPORTAZIONI WHERE IIMPMESE = 12 "
                                "AND SIMPPROGRAMMA = 'zep'"));
    righe.open();
    EXPECT_EQ(righe.value(0).toInt(), 1) << "one row a period";
    EXPECT_EQ(righe.value(1).toInt(), 3) << "taken three times";
}

TEST_F(PeriodImportTest, TheRowFreeWithoutItsBatonIsNoPeriodToTake)
{
    // The instant of a renewal: the period's row free, its baton held (here
    // by a transaction of a third connection). A workstation trying then is
    // refused and leaves the row free; with the baton back it takes both.
    auto prima = std::make_unique<TTovDBCdsImportazione>(tdb.db(), QStringLiteral("zep"), 2026, 12);
    ASSERT_TRUE(prima->Prendi());
    Database terza(tdb.settings());
    terza.open();
    terza.startTransaction();
    platform::SqlQuery testimone(terza);
    testimone.setSql(QStringLiteral("SELECT IIMPID FROM TIMP_IMPORTAZIONI WHERE SIMPPROGRAMMA = 'zep#' AND IIMPANNO "
                                    "= 2026 AND IIMPMESE = 12 WITH LOCK"));
    testimone.open();
    ASSERT_FALSE(testimone.eof());
    testimone.close();
    prima.reset();

    TTovDBCdsImportazione seconda(altra, QStringLiteral("zep"), 2026, 12);
    EXPECT_FALSE(seconda.Prendi());
    terza.rollback();
    EXPECT_TRUE(seconda.Prendi());
    // Renewed, the period stays its own: the baton taken and given back.
    QThread::msleep(TTovDBCdsImportazione::RinnovoMs);
    EXPECT_TRUE(seconda.Rinnova());
    TTovDBCdsImportazione quarta(tdb.db(), QStringLiteral("zep"), 2026, 12);
    EXPECT_FALSE(quarta.Prendi());
}
