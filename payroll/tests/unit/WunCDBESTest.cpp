// The rules of the payroll's browse-and-edit frames: the search statement
// cut for the search dialog, saving on every post and delete with the
// archive's refusals, the duplicate of a row, ids and the text rules of
// columns.
#include "PayrollTestSupport.h"
#include "WunCDBES.h"

#include "Exceptions.h"
#include "RecordingServices.h"
#include "SqlQuery.h"

#include <gtest/gtest.h>

using platform::DataSet;
using platform::Value;

TEST(WunDBES, TheSearchTextIsCutAtItsOwnOrderAndAtTheSearchCondition)
{
    struct Caso {
        const char *testo, *atteso;
    };
    const Caso casi[] = {
        {"SELECT A FROM T", "SELECT A FROM T ORDER BY ##ORDERBY##"},
        {"SELECT A FROM T ORDER BY A", "SELECT A FROM T  ORDER BY ##ORDERBY##"},
        {"SELECT A FROM T WHERE ##WHERE##", "SELECT A FROM T  ORDER BY ##ORDERBY##"},
        {"SELECT A FROM T WHERE ##WHERE## ORDER BY A", "SELECT A FROM T  ORDER BY ##ORDERBY##"},
        {"SELECT A FROM T\nWHERE\n  ##WHERE##\norder   by A DESC", "SELECT A FROM T\n ORDER BY ##ORDERBY##"},
        // A subquery's order is not the statement's.
        {"SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) AS C FROM T WHERE ##WHERE## ORDER BY A",
         "SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) AS C FROM T  ORDER BY ##ORDERBY##"},
        {"SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) AS C FROM T",
         "SELECT A, (SELECT FIRST 1 B FROM U ORDER BY B) AS C FROM T ORDER BY ##ORDERBY##"},
        // Nor is one in a text, a quoted name or a comment, nor a word that
        // only begins so.
        {"SELECT 'ORDER BY' AS X FROM T ORDER BY X", "SELECT 'ORDER BY' AS X FROM T  ORDER BY ##ORDERBY##"},
        {"SELECT A /* ORDER BY A */ FROM T", "SELECT A /* ORDER BY A */ FROM T ORDER BY ##ORDERBY##"},
        {"SELECT \"ORDER BY\" FROM T", "SELECT \"ORDER BY\" FROM T ORDER BY ##ORDERBY##"},
        {"SELECT REORDER BYTE FROM T", "SELECT REORDER BYTE FROM T ORDER BY ##ORDERBY##"},
    };
    for (const Caso &c : casi)
        EXPECT_EQ(TWunDBES::TestoCerca(QString::fromUtf8(c.testo)), QString::fromUtf8(c.atteso)) << c.testo;
}

TEST(WunDBES, TextRulesOfNumericAndImageColumns)
{
    DataSet ds;
    ds.setFieldDefs({{"N", platform::FieldType::Integer}, {"F", platform::FieldType::Currency}});
    ds.createDataSet();
    ds.appendRecord({0, platform::Currency::fromString("1234.5")});
    ds.fieldByName("F").setDisplayFormat("#,##0.00");
    EXPECT_EQ(TWunDBES::TestoNumero(ds.fieldByName("N"), true), QString());
    EXPECT_EQ(TWunDBES::TestoNumero(ds.fieldByName("F"), true), "1.234,50");
    EXPECT_EQ(TWunDBES::TestoVuoto(ds.fieldByName("F"), true), QString());

    ds.fieldByName("F").setRequired(true);
    platform::Field *primo = TWunDBES::ImpostaFlagAggiornamento(ds, platform::ProviderFlag::InKey);
    ASSERT_EQ(primo, &ds.fieldByName("N"));
    EXPECT_EQ(primo->providerFlags(), platform::ProviderFlags(platform::ProviderFlag::InKey)
                                          | platform::ProviderFlag::InUpdate | platform::ProviderFlag::InWhere);
    EXPECT_EQ(ds.fieldByName("F").providerFlags(), platform::ProviderFlags(platform::ProviderFlag::InKey));
    EXPECT_FALSE(ds.fieldByName("F").isRequired());
}

namespace {

// Qualifications of the demo archive, written back as the frame writes its
// rows; the first ones are used by the pay periods, so the archive refuses
// their deletion.
class DBESOnDemo : public payrolltest::DemoArchiveSuite {
protected:
    void SetUp() override
    {
        DemoArchiveSuite::SetUp();
        TUqQueryCollection &q = dbes.xqcMain;
        q.SetSelectSQL("SELECT IQARID, IQARNUBRACODE, SQARSDESC, SQARLDESC FROM TQAR_QUALIFICHE ORDER BY IQARID");
        q.InsertSQL = {"INSERT INTO TQAR_QUALIFICHE (IQARID, IQARNUBRACODE, SQARSDESC, SQARLDESC) VALUES "
                       "(:IQARID, :IQARNUBRACODE, :SQARSDESC, :SQARLDESC)"};
        q.UpdateSQL = {"UPDATE TQAR_QUALIFICHE SET SQARSDESC = :SQARSDESC, SQARLDESC = :SQARLDESC WHERE IQARID = "
                       ":OLD_IQARID"};
        q.DeleteSQL = {"DELETE FROM TQAR_QUALIFICHE WHERE IQARID = :OLD_IQARID"};
        q.TableName = "TQAR_QUALIFICHE";
        q.Open();
        TWunDBES::ImpostaFlagAggiornamento(q, platform::ProviderFlag::InUpdate);
    }
    QString descrizione(int id)
    {
        return scalar(QStringLiteral("SELECT SQARSDESC FROM TQAR_QUALIFICHE WHERE IQARID = %1").arg(id)).toString();
    }
    int usata() { return scalar("SELECT FIRST 1 IQARID FROM TVAPE_PERIODI ORDER BY IQARID").toInt(); }

    RecordingServicesScope services;
    TWunDBES dbes;
};

} // namespace

TEST_F(DBESOnDemo, AChangeIsWrittenWhenPosted)
{
    DataSet &q = dbes.xqcMain;
    ASSERT_TRUE(q.locate("IQARID", usata()));
    const int id = q.fieldValue("IQARID").toInt();
    const QString prima = descrizione(id);
    q.edit();
    q.setFieldValue("SQARSDESC", "Nuova");
    q.post();
    EXPECT_EQ(descrizione(id), "Nuova");
    EXPECT_EQ(q.changeCount(), 0);
    q.edit();
    q.setFieldValue("SQARSDESC", prima);
    q.post();
    EXPECT_EQ(descrizione(id), prima);

    // While saving is suspended nothing is written.
    {
        TWunDBES::Sospensione sospensione(dbes);
        q.edit();
        q.setFieldValue("SQARSDESC", "Sospesa");
        q.post();
    }
    EXPECT_EQ(descrizione(id), prima);
    EXPECT_EQ(q.changeCount(), 1);
    q.cancelUpdates();
}

TEST_F(DBESOnDemo, ADeleteOfARowOthersUseIsUndoneWithTheArchivesReason)
{
    DataSet &q = dbes.xqcMain;
    ASSERT_TRUE(q.locate("IQARID", usata()));
    const int id = q.fieldValue("IQARID").toInt();
    const int righe = q.recordCount();
    services->replyToMessages({platform::Yes});
    try {
        q.deleteRecord();
        FAIL() << "the archive accepted the delete";
    } catch (const EUqError &e) {
        const QString prefisso = QStringLiteral(
            "Impossibile eseguire la cancellazione in quanto esistono dati correlati:\r\n\r\n");
        EXPECT_TRUE(e.message().startsWith(prefisso)) << e.message().toStdString();
        EXPECT_GT(e.message().size(), prefisso.size()) << "the archive's own message follows";
    }
    ASSERT_EQ(services->messages().size(), 1) << "the delete is confirmed first";
    EXPECT_EQ(services->messages().front().defaultButton, platform::No);
    EXPECT_EQ(q.recordCount(), righe);
    EXPECT_EQ(q.changeCount(), 0);
    EXPECT_EQ(q.fieldValue("IQARID").toInt(), id);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TQAR_QUALIFICHE WHERE IQARID = %1").arg(id)).toInt(), 1);
    // Nothing is left to correct: the user moves on.
    EXPECT_NO_THROW(q.next());

    // Anything but Yes aborts the delete silently.
    services->replyToMessages({platform::No});
    EXPECT_THROW(q.deleteRecord(), platform::EAbort);
    EXPECT_EQ(q.recordCount(), righe);
}

TEST_F(DBESOnDemo, ARefusedInsertStaysInEditAndKeepsTheRowUntilCancelled)
{
    DataSet &q = dbes.xqcMain;
    const int righe = q.recordCount();
    const int esistente = usata();
    q.append();
    q.setFieldValue("IQARID", esistente); // the key another row has
    q.setFieldValue("IQARNUBRACODE", 99);
    q.setFieldValue("SQARSDESC", "Doppia");
    QString rifiuto;
    try {
        q.post();
        FAIL() << "the archive accepted a second row with the same key";
    } catch (const EUqError &e) {
        rifiuto = e.message();
    }
    EXPECT_FALSE(rifiuto.isEmpty());
    EXPECT_EQ(dbes.UltimoErrore(), rifiuto);
    EXPECT_TRUE(q.isEditing()) << "the refused row is back in edit";
    EXPECT_EQ(q.fieldValue("SQARSDESC").toString(), "Doppia");
    // Leaving it posts it again: refused again, and the cursor stays.
    try {
        q.first();
        FAIL();
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), rifiuto);
    }
    EXPECT_TRUE(q.isEditing());

    // Corrected, it is written.
    const int nuovo = dbes.NuovoId("TQAR_QUALIFICHE") + 1000;
    q.setFieldValue("IQARID", nuovo);
    q.post();
    EXPECT_EQ(descrizione(nuovo), "Doppia");
    EXPECT_TRUE(dbes.UltimoErrore().isEmpty());
    EXPECT_EQ(q.recordCount(), righe + 1);

    // A refused change cancelled: the row as it was, nothing pending.
    ASSERT_TRUE(q.locate("IQARID", nuovo));
    q.edit();
    q.setFieldValue("SQARSDESC", Value::null()); // NOT NULL in the archive: refused
    q.setFieldValue("SQARLDESC", "Cambiata");
    EXPECT_THROW(q.post(), EUqError);
    EXPECT_TRUE(q.isEditing());
    q.cancel();
    EXPECT_TRUE(dbes.UltimoErrore().isEmpty());
    EXPECT_EQ(q.changeCount(), 0);
    EXPECT_EQ(q.fieldValue("SQARSDESC").toString(), "Doppia");
    EXPECT_NO_THROW(q.first());

    services->replyToMessages({platform::Yes});
    ASSERT_TRUE(q.locate("IQARID", nuovo));
    q.deleteRecord();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM TQAR_QUALIFICHE WHERE IQARID = %1").arg(nuovo)).toInt(), 0);
}

TEST_F(DBESOnDemo, IdsComeFromTheTablesGenerator)
{
    const int a = dbes.NuovoId("TQAR_QUALIFICHE");
    const int b = dbes.NuovoId("TQAR_QUALIFICHE");
    EXPECT_EQ(b, a + 1);

    // An insert's first field gets a new id as it is applied; the other
    // kinds keep theirs.
    DataSet &q = dbes.xqcMain;
    q.append();
    q.setFieldValue("IQARNUBRACODE", 98);
    q.setFieldValue("SQARSDESC", "Con id");
    TWunDBES::Sospensione sospensione(dbes);
    q.post();
    const platform::Bookmark riga = q.bookmark();
    int assegnato = 0;
    q.applyUpdates([&](platform::DeltaRecord &r) {
        dbes.AssegnaIdInserimento(platform::UpdateKind::Modify, r);
        EXPECT_TRUE(r.value("IQARID").isEmpty());
        dbes.AssegnaIdInserimento(r.kind(), r);
        assegnato = r.value("IQARID").toInt();
    });
    EXPECT_EQ(assegnato, b + 1);
    q.gotoBookmark(riga);
    EXPECT_EQ(q.fieldValue("IQARID").toInt(), assegnato);
}

namespace {

class DuplicaComeNuova : public TWunDBES {
public:
    bool DuplicaComeNuovo() const override { return true; }
};

// Three rows; B and C are shown and written on update, D is hidden.
void righe(DataSet &ds)
{
    ds.setFieldDefs({{"ID", platform::FieldType::Integer},
                     {"B", platform::FieldType::Integer},
                     {"C", platform::FieldType::String, 10},
                     {"D", platform::FieldType::Integer}});
    ds.createDataSet();
    ds.appendRecord({1, 10, "uno", 100});
    ds.appendRecord({2, 20, "due", 200});
    ds.appendRecord({3, 30, "tre", 300});
    ds.mergeChangeLog();
    ds.fieldByName("D").setVisible(false);
    ds.fieldByName("ID").setProviderFlags(platform::ProviderFlag::InKey);
}

} // namespace

TEST(WunDBES, DuplicaCopiesTheShownWrittenFieldsIntoTheNextRow)
{
    TWunDBES dbes;
    TWunDBES::Sospensione sospensione(dbes);
    DataSet &ds = dbes.xqcMain;
    righe(ds);
    ds.first();
    ds.edit();
    ds.setFieldValue("B", 11); // a pending edit is posted first
    dbes.Duplica();
    EXPECT_TRUE(ds.isEditing());
    EXPECT_EQ(ds.fieldValue("ID").toInt(), 2);
    EXPECT_EQ(ds.fieldValue("B").toInt(), 11);
    EXPECT_EQ(ds.fieldValue("C").toString(), "uno");
    EXPECT_EQ(ds.fieldValue("D").toInt(), 200) << "a hidden field is not copied";
    ds.post();

    // On the last row nothing happens.
    ds.last();
    dbes.Duplica();
    EXPECT_FALSE(ds.isEditing());
    EXPECT_EQ(ds.recordCount(), 3);
    EXPECT_EQ(ds.fieldValue("C").toString(), "tre");

    // As new: a new row with the copies.
    DuplicaComeNuova nuova;
    TWunDBES::Sospensione altra(nuova);
    righe(nuova.xqcMain);
    nuova.xqcMain.last();
    nuova.Duplica();
    EXPECT_EQ(nuova.xqcMain.state(), platform::DataSetState::Insert);
    EXPECT_EQ(nuova.xqcMain.fieldValue("C").toString(), "tre");
    EXPECT_TRUE(nuova.xqcMain.fieldValue("ID").isEmpty());
}
