// The catalogue and the framework: query collections, the check of the
// running program with its message box, and the helpers on parameters and
// query collections.
#include "tovCQueryText.h"
#include "tovUUtil.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "RecordingServices.h"
#include "TempDatabase.h"
#include "UqParams.h"
#include "UqQueryCollection.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

using platform::FieldType;
using platform::Value;
using platform::ValueList;

namespace {

void fill(TTovQueryText &catalogue, const QList<ValueList> &rows)
{
    catalogue.loadRecords({{QStringLiteral("Query"), FieldType::String, 60},
                           {QStringLiteral("Tipo"), FieldType::String, 20},
                           {QStringLiteral("Indice"), FieldType::Integer},
                           {QStringLiteral("SQL"), FieldType::Memo}},
                          rows);
}

ValueList row(const QString &query, const char *kind, int index, const char *sql)
{
    return {query, QString::fromLatin1(kind), index, QString::fromLatin1(sql)};
}

TEST(AssignQueryCollection, ListsEndAtTheFirstMissingIndex)
{
    TTovQueryText catalogue;
    fill(catalogue, {
                        row(QStringLiteral("QRY_SEDI"), "SELECT", 0, "SELECT * FROM TSED WHERE IDWGID = :IDWGID"),
                        row(QStringLiteral("QRY_SEDI"), "INSERT", 0, "INSERT 0"),
                        row(QStringLiteral("QRY_SEDI"), "INSERT", 1, "INSERT 1"),
                        row(QStringLiteral("QRY_SEDI"), "INSERT", 3, "INSERT 3"),
                        row(QStringLiteral("QRY_SEDI"), "DELETE", 0, "DELETE 0"),
                        row(QStringLiteral("QRY_SEDI"), "UPDATE", 1, "UPDATE 1"),
                        row(QStringLiteral("QRY_ALTRO"), "INSERT", 2, "INSERT ALTRO"),
                    });
    platform::Database db;
    TUqQueryCollection xqc(&db);
    xqc.UpdateSQL = QStringList{QStringLiteral("stale")};
    catalogue.AssignQueryCollection(QStringLiteral("QRY_SEDI"), xqc);
    EXPECT_EQ(xqc.commandText(), QStringLiteral("SELECT * FROM TSED WHERE IDWGID = :IDWGID"));
    ASSERT_EQ(xqc.params().count(), 1);
    EXPECT_EQ(xqc.params()[0].name(), QStringLiteral("IDWGID"));
    EXPECT_EQ(xqc.InsertSQL, (QStringList{QStringLiteral("INSERT 0"), QStringLiteral("INSERT 1")}));
    EXPECT_EQ(xqc.DeleteSQL, QStringList{QStringLiteral("DELETE 0")});
    EXPECT_TRUE(xqc.UpdateSQL.isEmpty()); // index 0 missing: an empty list
    EXPECT_EQ(catalogue.LastOperationName(), QStringLiteral("QRY_SEDI"));

    try {
        catalogue.AssignQueryCollection(QStringLiteral("QRY_ALTRO"), xqc);
        FAIL() << "no SELECT: an assertion";
    } catch (const platform::EAssertionFailed &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Query: QRY_ALTRO"));
    }
    EXPECT_EQ(catalogue.LastOperationName(), QStringLiteral("QRY_SEDI"));
}

// ---- the running program ---------------------------------------------------------

QString versionRowOfThisProgram()
{
    return QStringLiteral("VER_") + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
}

TEST(CheckProgram, PassesSilentlyForTheRunningProgramsRow)
{
    RecordingServicesScope services;
    services->setProgramVersion(QStringLiteral("3.1.0"));
    TTovQueryText catalogue;
    fill(catalogue, {row(versionRowOfThisProgram(), "3.0.9", 0, "")});
    EXPECT_TRUE(catalogue.CheckProgram(QStringLiteral("zepUni")));
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST(CheckProgram, ShowsTheVersionMessageInAnErrorBox)
{
    RecordingServicesScope services;
    services->setProgramVersion(QStringLiteral("3.0.8"));
    TTovQueryText catalogue;
    fill(catalogue, {row(versionRowOfThisProgram(), "3.0.9", 0, "")});
    EXPECT_FALSE(catalogue.CheckProgram(QStringLiteral("zepUni")));
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).type, platform::MessageType::Error);
    EXPECT_TRUE(services->messages().at(0).text.endsWith(QStringLiteral("\r\nVersione minima richiesta: 3.0.9.")))
        << qPrintable(services->messages().at(0).text);
}

TEST(CheckProgram, ShowsTheCertificateMessageAndRaisesNothing)
{
    RecordingServicesScope services;
    TTovQueryText catalogue;
    catalogue.SetCheckCertificate(true);
    EXPECT_FALSE(catalogue.CheckProgram(QStringLiteral("zepUni")));
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text,
              QStringLiteral("Certificato query non trovato od errato. Aggiornare il programma \"zepUni\""));
    EXPECT_EQ(services->messages().at(0).type, platform::MessageType::Error);
}

TEST(TheGlobalCatalogue, IsOneObjectForTheWholeRun)
{
    TTovQueryText &a = TovQueryText();
    TTovQueryText &b = TovQueryText();
    EXPECT_EQ(&a, &b);
    EXPECT_FALSE(a.CheckCertificate());
}

// ---- parameters and owned datasets -------------------------------------------------

TEST(DwgId, FromTheGivenManagerOrTheMainWindows)
{
    TUqParamManager manager;
    EXPECT_THROW(TTovUtil::DwgId(&manager), platform::EConvertError);
    manager.SetParams(QStringLiteral("UQUP_DwgId"), 7);
    EXPECT_EQ(TTovUtil::DwgId(&manager), 7);
    EXPECT_THROW(TTovUtil::DwgId(), platform::EAssertionFailed); // no main window here
}

TEST(CloseDataSets, AllButThoseTaggedOne)
{
    platform::DataSet a, b, kept;
    for (platform::DataSet *ds : {&a, &b, &kept}) {
        ds->addFieldDef(QStringLiteral("X"), FieldType::Integer);
        ds->createDataSet();
    }
    kept.setTag(1);
    TTovUtil::CloseDataSets({&a, nullptr, &kept, &b});
    EXPECT_FALSE(a.isActive());
    EXPECT_FALSE(b.isActive());
    EXPECT_TRUE(kept.isActive());
    TTovUtil::CloseDataSets({});
}

TEST(RefreshByParam, ReopensOnlyWhenTheValueChangesOrWhenForced)
{
    TempDatabase tdb({QStringLiteral("CREATE TABLE T (ID INTEGER, NOME VARCHAR(10))"),
                      QStringLiteral("INSERT INTO T VALUES (1, 'uno')"),
                      QStringLiteral("INSERT INTO T VALUES (2, 'due')")});
    TUqQueryCollection xqc(&tdb.db());
    xqc.SetSelectSQL(QStringLiteral("SELECT ID, NOME FROM T WHERE ID = :ID"));
    int opens = 0;
    xqc.events().afterOpen = [&](platform::DataSet &) { ++opens; };

    TTovDataSet::RefreshByParam(xqc, QStringLiteral("ID"), false, 1);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(xqc.fieldValue(QStringLiteral("NOME")), Value(QStringLiteral("uno")));

    TTovDataSet::RefreshByParam(xqc, QStringLiteral("ID"), false, 1); // same value: nothing
    EXPECT_EQ(opens, 1);
    TTovDataSet::RefreshByParam(xqc, QStringLiteral("ID"), true, 1); // forced
    EXPECT_EQ(opens, 2);
    TTovDataSet::RefreshByParam(xqc, QStringLiteral("ID"), false, 2);
    EXPECT_EQ(opens, 3);
    EXPECT_EQ(xqc.fieldValue(QStringLiteral("NOME")), Value(QStringLiteral("due")));

    TTovDataSet::RefreshByParam(xqc, QStringLiteral("ID"), false, 9); // empty result
    EXPECT_TRUE(xqc.isEmpty());
    TTovDataSet::RefreshByParam(xqc, QStringLiteral("ID"), false, 9); // empty: reopened again
    EXPECT_EQ(opens, 5);
}

} // namespace
