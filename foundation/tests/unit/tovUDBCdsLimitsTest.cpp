// What the store's columns hold: texts the archive would cut or change are
// refused at save, naming table, record and field, with nothing written;
// layouts whose fields could hold longer texts are refused at install.
#include "tovUDBCdsLimits.h"
#include "tovUDBCdsTestSupport.h"

#include "DataSetFile.h"
#include "Exceptions.h"

using namespace storetest;

namespace {

const QString Limiti = QStringLiteral("TTST_LIMITI");

QString refusal(const QString &why)
{
    return QStringLiteral("Impossibile salvare la tabella TTST_LIMITI: %1.").arg(why);
}

} // namespace

class StoreLimitsTest : public StoreTest {
protected:
    StoreLimitsTest()
    {
        install(makeLayout(Limiti,
                           {{QStringLiteral("iFisRigo"), FieldType::Integer},
                            {QStringLiteral("iAfiID"), FieldType::Integer},
                            {QStringLiteral("Cognome"), FieldType::String, 100},
                            {QStringLiteral("Nome"), FieldType::String, 40},
                            {QStringLiteral("CFLavoratore"), FieldType::String, 16},
                            {QStringLiteral("Matricola"), FieldType::String, 40},
                            {QStringLiteral("Qualifica2"), FieldType::String, 40},
                            {QStringLiteral("Nota"), FieldType::String, 250},
                            {QStringLiteral("Dati"), FieldType::Blob}},
                           0, 0, PersonMap));
    }
    // Nothing of the table in the archive but `valueRows` value rows.
    void expectStored(int valueRows)
    {
        EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), valueRows);
        EXPECT_EQ(count("SELECT COUNT(*) FROM TAFI_ANAFISCALE"), valueRows ? 1 : 0);
        EXPECT_EQ(counter(Limiti), valueRows ? 1 : 0);
    }
};

TEST_F(StoreLimitsTest, TextsTheColumnsWouldCutOrChangeAreRefusedNamingTableRecordAndField)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
    const struct {
        const char *field;
        Value value;
        QString why;
    } cases[] = {
        {"Nota", QStringLiteral("ab") + QChar(0xD800) + QStringLiteral("c"),
         "il campo Nota contiene un surrogato UTF-16 isolato (U+D800) al carattere 3"},
        {"Nota", emoji + QChar(0xDC00), "il campo Nota contiene un surrogato UTF-16 isolato (U+DC00) al carattere 2"},
        {"Cognome", QStringLiteral("Rossi") + QChar(0xDBFF),
         "il campo Cognome contiene un surrogato UTF-16 isolato (U+DBFF) al carattere 6"},
        {"Cognome", QString(61, QChar(0xE8)),
         "il campo Cognome ha 61 caratteri; la colonna SAFICOGNOME dell'anagrafica ne conserva al massimo 60"},
        {"Qualifica2", QString(31, QLatin1Char('Q')),
         "l'unione dei campi Matricola+Qualifica2 ha 61 caratteri; la colonna SAFIGRUPPOANA dell'anagrafica ne "
         "conserva al massimo 60"},
        {"Dati", QByteArray(187, 'x'), "il campo Dati ha 187 byte, più dei 186 che l'archivio delle denunce conserva"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why.toStdString());
        DataSet ds;
        store.Load(ds, Limiti);
        add(ds, {{QStringLiteral("Cognome"), QStringLiteral("Rossi")},
                 {QStringLiteral("Matricola"), QString(30, QLatin1Char('M'))},
                 {QStringLiteral("Nota"), QStringLiteral("nota")}});
        ds.edit();
        ds.fieldByName(QString::fromLatin1(c.field)).setValue(c.value);
        ds.post();
        try {
            store.Save(ds, Limiti, TCdsSaveFailure::KeepChanges);
            ADD_FAILURE() << "saved";
        } catch (const EUqError &e) {
            EXPECT_EQ(e.message(), refusal(QStringLiteral("nel nuovo record 1 ") + c.why));
        }
        expectStored(0);
    }

    // At the limits everything is stored and loads back as it was; a stored
    // record is named by its row number.
    DataSet ds;
    store.Load(ds, Limiti);
    const QString note = emoji.repeated(125);
    add(ds, {{QStringLiteral("Cognome"), QString(60, QChar(0xE8))},
             {QStringLiteral("Matricola"), QString(40, QLatin1Char('M'))},
             {QStringLiteral("Qualifica2"), QString(20, QLatin1Char('Q'))},
             {QStringLiteral("Nota"), note},
             {QStringLiteral("Dati"), QByteArray(186, '\xFF')}});
    store.Save(ds, Limiti);
    DataSet back;
    store.Load(back, Limiti);
    EXPECT_EQ(back.fieldValue("Cognome"), Value(QString(60, QChar(0xE8))));
    EXPECT_EQ(back.fieldValue("Nota"), Value(note));
    EXPECT_EQ(back.fieldValue("Dati"), Value(QByteArray(186, '\xFF')));
    const int rows = count("SELECT COUNT(*) FROM TFIS_DATIFISCALI");
    back.edit();
    back.fieldByName(QStringLiteral("Nota")).setValue(QStringLiteral("x") + QChar(0xDFFF));
    back.post();
    try {
        store.Save(back, Limiti);
        ADD_FAILURE() << "saved";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(),
                  refusal("nel record 1 il campo Nota contiene un surrogato UTF-16 isolato (U+DFFF) al carattere 2"));
    }
    expectStored(rows);
    EXPECT_EQ(scalar("SELECT SFISVALUE FROM TFIS_DATIFISCALI WHERE SFISFIELDNAME = 'Nota'"), Value(note));
}

TEST_F(StoreLimitsTest, ALongTextOfALayoutInstalledBeforeTheCheckIsRefusedAtSave)
{
    // An archive whose layout took a Memo before installs refused it.
    DataSet memo;
    memo.setFieldDefs({{QStringLiteral("iFisRigo"), FieldType::Integer}, {QStringLiteral("Nota"), FieldType::Memo}});
    memo.createDataSet();
    platform::SqlQuery q(tdb.db());
    q.setSql(QStringLiteral("UPDATE TCDS_STRUTTURA SET BCDSSCHEMA = :S, SCDSFIELDMAP = NULL WHERE SCDSNOME = :N"));
    q.bind(QStringLiteral("S"), platform::DataSetFile::saveToBlob(memo));
    q.bind(QStringLiteral("N"), Limiti);
    q.execSQL();

    DataSet ds;
    store.Load(ds, Limiti);
    add(ds, {{QStringLiteral("Nota"), QString(251, QLatin1Char('n'))}});
    try {
        store.Save(ds, Limiti);
        ADD_FAILURE() << "saved";
    } catch (const EUqError &e) {
        EXPECT_EQ(e.message(), refusal("nel nuovo record 1 il campo Nota ha 251 caratteri; l'archivio delle denunce "
                                       "ne conserva al massimo 250"));
    }
    EXPECT_EQ(ds.changeCount(), 0) << "a refused save discards the changes as any failing save";
    EXPECT_EQ(count("SELECT COUNT(*) FROM TFIS_DATIFISCALI"), 0);
}

TEST_F(StoreLimitsTest, LayoutsWhoseFieldsCouldHoldLongerTextsAreRefusedAtInstall)
{
    const QString limit = QStringLiteral(", ma l'archivio delle denunce conserva testi di al massimo 250 caratteri");
    const struct {
        FieldDef field;
        QString why; // empty: installed
    } cases[] = {
        {{QStringLiteral("Nota"), FieldType::Memo}, "il campo Nota è di tipo Memo" + limit},
        {{QStringLiteral("Nota"), FieldType::String}, "il campo Nota è un testo senza lunghezza massima" + limit},
        {{QStringLiteral("Nota"), FieldType::String, 251}, "il campo Nota è un testo di 251 caratteri" + limit},
        {{QStringLiteral("Nota"), FieldType::String, 250}, {}},
        {{QStringLiteral("Cognome"), FieldType::Memo}, {}}, // a registry field: checked at save
    };
    for (const auto &c : cases) {
        FieldDefs defs = {{QStringLiteral("iFisRigo"), FieldType::Integer},
                          {QStringLiteral("iAfiID"), FieldType::Integer},
                          c.field};
        if (c.field.name != QLatin1String("Cognome"))
            defs.append({QStringLiteral("Cognome"), FieldType::String, 60});
        const TTovDBCdsLayout layout = makeLayout(QStringLiteral("TTST_NOTE"), defs, 0, 0,
                                                  QStringLiteral("saficognome=Cognome"));
        try {
            TTovDBCdsLayouts::Check(layout);
            EXPECT_TRUE(c.why.isEmpty()) << "accepted: " << c.why.toStdString();
        } catch (const EUqError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Struttura %1 (test) non valida: %2").arg(layout.Key(), c.why));
        }
    }
}
