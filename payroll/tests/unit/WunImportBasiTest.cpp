// The import bases of the payroll library on the demo archive (December
// 2024): the wizard's rules (kinds of compensation, current liquidation,
// group, caption, what OK writes), the person choice (candidates, codes,
// filters, orders, search), the loop's own table file and lookups, and the
// employer group every import needs.
#include "PayrollTestSupport.h"
#include "RecordingServices.h"
#include "WunUUtil.h"
#include "import/WunCFiscImpMultiSelect.h"
#include "import/wunCWizard.h"
#include "wunMParams.h"
#include "ArchiveTestSupport.h"
#include "archive/ArchiveScripts.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "SqlQuery.h"
#include "TempDatabase.h"
#include "TovUCdsUtil.h"
#include "tovUDBCdsImportazione.h"
#include "tovUExceptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <optional>

using namespace platform;

namespace {

class ImportOnDemo : public payrolltest::DemoArchiveSuite {
protected:
    void SetUp() override
    {
        DemoArchiveSuite::SetUp();
        wunAnnoFinanziario().Load(55); // 2024
        anno.Load(55);
    }

    RecordingServicesScope services;
    QTemporaryDir dir;
    TwunAnnoFinanziario anno;
};

// ---------------------------------------------------------------- wizard

class Frame : public TwunMeseCompenso {
public:
    Frame()
    {
        compenso.setFieldDefs({{"SCOTLDESC", FieldType::String, 60}});
        compenso.createDataSet();
        compenso.appendRecord({QStringLiteral("Stipendio")});
    }
    int MeseId() const override { return 12; }
    int CompensoId() const override { return 1; }
    const DataSet &Compenso() const override { return compenso; }
    void ImpostaFondamentale(int f) override { fondamentale = f; }
    void ImpostaLiquidazione(int id, int mese) override { liquidazione = {id, mese}; }
    DataSet compenso;
    int fondamentale = 0;
    QPair<int, int> liquidazione;
};

class Wizard : public TwunWizard {
public:
    using TwunWizard::TwunWizard;
    int gruppo = 1;
    int mostrato = 0;
    int Gruppo() override { return gruppo; }
    void ImpostaGruppo(int g) override { mostrato = g; }
};

void parametri(DataSet &p, bool inail)
{
    p.setFieldDefs({{"IMESID", FieldType::Integer},
                    {"ICOTID", FieldType::Integer},
                    {"ICOTFONDAMENTALE", FieldType::Integer},
                    {"IREGSGRUPPO", FieldType::Integer},
                    {"INAIL_LUL", FieldType::Boolean}});
    p.createDataSet();
    p.appendRecord({Value(), Value(), Value(), Value(), inail});
}

} // namespace

TEST(WunWizard, KindsOfCompensationAndTheirFundamentalCode)
{
    const QList<QPair<int, int>> casi{{0, 1}, {1, 3}, {2, 2}, {-1, 2}};
    for (const auto &[tipo, fondamentale] : casi)
        EXPECT_EQ(TwunWizard::FondamentaleDaTipo(tipo), fondamentale) << tipo;
    const QList<QPair<int, int>> inversi{{1, 0}, {3, 1}, {2, 2}, {0, 2}, {7, 2}};
    for (const auto &[fondamentale, tipo] : inversi)
        EXPECT_EQ(TwunWizard::TipoDaFondamentale(fondamentale), tipo) << fondamentale;
}

TEST_F(ImportOnDemo, WizardStartsFromTheKindOrTheCollaboratorsOneAndFollowsTheCurrentLiquidation)
{
    TWunParametri liquidazione(dir.path(), &anno);
    DataSet p;
    parametri(p, false);
    Wizard w(&db(), &liquidazione);
    w.Imposta(&p, nullptr);
    w.Inizia();
    EXPECT_TRUE(w.TipoCompensoAbilitato);
    EXPECT_EQ(p.fieldValue("ICOTFONDAMENTALE").toInt(), 1);

    DataSet inail;
    parametri(inail, true);
    Wizard wi(&db(), &liquidazione);
    wi.Imposta(&inail, nullptr);
    wi.Inizia();
    EXPECT_FALSE(wi.TipoCompensoAbilitato);
    EXPECT_EQ(wi.TipoCompenso, 2);
    EXPECT_EQ(inail.fieldValue("ICOTFONDAMENTALE").toInt(), 2);

    // No "WunPar.ini": no current liquidation shown.
    w.AttivaPagina(TwunWizard::Pagina::TipoCompenso);
    EXPECT_FALSE(w.LiquidazioneCorrenteVisibile);

    // The salary of December, group 1.
    liquidazione.SetId(1);
    liquidazione.SetMese(12);
    liquidazione.SetGruppo(1);
    w.AttivaPagina(TwunWizard::Pagina::TipoCompenso);
    EXPECT_TRUE(w.LiquidazioneCorrenteVisibile);
    EXPECT_EQ(w.DidascaliaCompensoCorrente, "Stipendio");
    EXPECT_EQ(w.TestoMeseGruppo, "Mese di Dicembre - Gruppo 1");

    w.ScegliTipo(1);
    w.ScegliCompensoCorrente(true);
    EXPECT_EQ(w.TipoCompenso, 0) << "the current liquidation's kind";
    EXPECT_TRUE(w.CompensoCorrente);
    EXPECT_EQ(p.fieldValue("ICOTFONDAMENTALE").toInt(), 1);
    w.ScegliTipo(1);
    EXPECT_FALSE(w.CompensoCorrente) << "another kind clears the box";
    EXPECT_EQ(p.fieldValue("ICOTFONDAMENTALE").toInt(), 3);
    EXPECT_TRUE(services->messages().isEmpty());
}

TEST_F(ImportOnDemo, WizardReadingErrorIsAWarningAndTheWizardGoesOn)
{
    TWunParametri liquidazione(dir.path(), &anno);
    liquidazione.SetId(1);
    liquidazione.SetMese(12);
    Wizard w(&db(), &liquidazione);
    db().close();
    w.LeggiLiquidazioneCorrente();
    db().open();
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_TRUE(services->messages().first().text.startsWith(TwunWizard::MsgErroreLettura + "\r\n"));
    EXPECT_EQ(services->messages().first().type, MessageType::Warning);
    EXPECT_FALSE(w.LiquidazioneCorrenteVisibile);
}

TEST_F(ImportOnDemo, WizardGroupCaptionAndWhatOkWrites)
{
    TWunParametri liquidazione(dir.path(), &anno);
    DataSet p;
    parametri(p, false);
    Frame frame;
    Wizard w(&db(), &liquidazione);
    w.Caption = "Importa";
    w.Imposta(&p, nullptr);
    w.SetFrame(&frame);
    w.SetControlloGruppo(true);
    w.Inizia();

    w.MostraGruppo();
    EXPECT_EQ(w.mostrato, scalar("SELECT MAX(IREGSGRUPPO) FROM TREGS_REGISTROSTIP WHERE IANFID = 55 AND IMESID = 12 "
                                 "AND ICOTID = 1")
                              .toInt());
    w.AttivaPagina(TwunWizard::Pagina::MeseComp);
    EXPECT_EQ(frame.fondamentale, 1);

    // Leaving the frame's page twice gives the caption once.
    w.LasciaPagina(TwunWizard::Pagina::MeseComp);
    w.LasciaPagina(TwunWizard::Pagina::MeseComp);
    EXPECT_EQ(w.Caption, "Importa: Stipendio di Dicembre");
    w.CompensoCorrente = true;
    w.DidascaliaCompensoCorrente = "Liquidazione di prova";
    w.LasciaPagina(TwunWizard::Pagina::MeseComp);
    EXPECT_EQ(w.Caption, "Importa: Liquidazione di prova di Dicembre");

    // No group: the wizard stays open with its warning.
    w.gruppo = 0;
    EXPECT_FALSE(w.PuoChiudere(true));
    EXPECT_TRUE(w.PuoChiudere(false));
    EXPECT_EQ(services->messageTexts(), QStringList({"Gruppo non impostato."}));
    w.gruppo = 2;
    ASSERT_TRUE(w.PuoChiudere(true));

    // Nothing is written before OK; OK writes the parameters and the file.
    EXPECT_FALSE(QFileInfo::exists(liquidazione.FileName()));
    EXPECT_EQ(w.Conferma(), "Importa: Liquidazione di prova di Dicembre");
    EXPECT_EQ(p.fieldValue("IMESID").toInt(), 12);
    EXPECT_EQ(p.fieldValue("ICOTID").toInt(), 1);
    EXPECT_EQ(p.fieldValue("IREGSGRUPPO").toInt(), 2);
    EXPECT_EQ(liquidazione.Mese(), 12);
    EXPECT_EQ(liquidazione.Id(), 1);
    EXPECT_EQ(liquidazione.Gruppo(), 2);
}

// ---------------------------------------------------------------- person choice and loop

namespace {

// A loop whose rows go to the base's table file: one row per person, the
// second person failing after its row was written.
class ImportFile : public TwunFiscImpMultiSelect {
public:
    using TwunFiscImpMultiSelect::TwunFiscImpMultiSelect;
    int fallisce = 0;
    std::optional<platform::EDatabaseError> errore; // raised for `fallisce` instead of a warning
    int conflitti = 0;                              // the next persons' writes refused as by another connection
    bool periodo = false;                           // the run holds December 2024 of "zep"
    QString filtroAggiunto;
    void ImportaSostituto() override {}
    std::unique_ptr<TTovDBCdsImportazione> ImportazionePeriodo() override
    {
        return periodo ? std::make_unique<TTovDBCdsImportazione>(Connessione(), "zep", 2024, 12) : nullptr;
    }
    void ImportaRiga() override
    {
        if (!cdsImport.isActive()) {
            cdsImport.setFieldDefs({{"IACOMID", FieldType::Integer}, {"CF", FieldType::String, 16}});
            cdsImport.createDataSet();
        }
        cdsImport.appendRecord({xqcMultiSelect.fieldValue("IACOMID"), qquAcom.value("SANACODFISCALE")});
        if (xqcMultiSelect.fieldValue("IACOMID").toInt() == fallisce) {
            if (errore)
                throw *errore;
            throw ETovWarning("errore simulato");
        }
        if (conflitti > 0) {
            --conflitti;
            throw platform::EDatabaseError("deadlock\nupdate conflicts with concurrent update");
        }
    }
    void CompletaFiltro(QString &filtro) override
    {
        if (!filtroAggiunto.isEmpty())
            TTovUtil::AddAnd(filtroAggiunto, filtro);
    }
};

} // namespace

class LoopOnDemo : public ImportOnDemo {
protected:
    LoopOnDemo()
    {
        params.xpmUquParams->SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
        p.setFieldDefs({{"IMESID", FieldType::Integer}, {"ICOTID", FieldType::Integer}});
        p.createDataSet();
        p.appendRecord({12, 1});
        imp.Imposta(&p, nullptr, {});
    }
    TdmWunParams params;
    DataSet p;
    ImportFile imp{&db()};
};

TEST_F(LoopOnDemo, CandidatesCarryTheirCodesAndFilterOrderAndSearchAsTheGridAsks)
{
    db().execute("UPDATE TANACAG_MATRICOLE SET SANACAGCODE = 'A7' WHERE SANACAGCODE = '7'");
    ASSERT_TRUE(imp.Prepara());
    DataSet &elenco = imp.xqcMultiSelect;
    EXPECT_EQ(elenco.indexFieldNames(), "IACOMID");
    const int righe = elenco.recordCount();
    EXPECT_EQ(righe, scalar("SELECT COUNT(DISTINCT IACOMID) FROM TREGS_REGISTROSTIP WHERE IANFID = 55 AND IMESID = 12 "
                            "AND ICOTID = 1")
                         .toInt());
    for (elenco.first(); !elenco.eof(); elenco.next()) {
        const QString codice = elenco.fieldValue("SANACAGCODE").toString();
        if (codice == "A7")
            EXPECT_TRUE(elenco.fieldValue("CODICE").isNull());
        else
            EXPECT_EQ(elenco.fieldValue("CODICE").toInt(), codice.toInt());
        EXPECT_EQ(elenco.fieldValue("SANACOGNOMENOME").toString(),
                  elenco.fieldValue("SANACOGNOME").toString() + " " + elenco.fieldValue("SANANOME").toString());
    }

    // Filters: a category, then "(Tutte)" again, in service, a subclass's condition.
    const QList<QPair<QString, qint64>> tutte{{"ICALNUBRACODE", 0}, {"ITNONUBRACODE", 0}, {"IQARNUBRACODE", 0}};
    QList<QPair<QString, qint64>> categoria = tutte;
    categoria[0].second = 1;
    EXPECT_EQ(imp.ApplicaFiltro(categoria, false).simplified(), "ICALNUBRACODE=1");
    const int prima = elenco.recordCount();
    EXPECT_GT(prima, 0);
    EXPECT_LT(prima, righe);
    EXPECT_EQ(imp.ApplicaFiltro(tutte, false), QString());
    EXPECT_EQ(elenco.recordCount(), righe);
    EXPECT_EQ(imp.ApplicaFiltro(tutte, true).simplified(), "ISTABID=1");
    imp.filtroAggiunto = "ITNONUBRACODE=1";
    EXPECT_EQ(imp.ApplicaFiltro(categoria, true).simplified(), "ICALNUBRACODE=1 AND ISTABID=1 AND ITNONUBRACODE=1");
    imp.filtroAggiunto.clear();
    imp.ApplicaFiltro(tutte, false);

    const EnumItems voci = imp.VociFiltro("QRY_CAL_FILTRO");
    ASSERT_GT(voci.size(), 1);
    EXPECT_EQ(voci.first(), (EnumItem{"(Tutte)", 0}));

    for (const auto &[campo, ordine] :
         QList<QPair<QString, QString>>{{"CODICE", "CODICE"},
                                        {"SANACOGNOMENOME", "SANACOGNOMENOME"},
                                        {"ITNONUBRACODE", "ITNONUBRACODE;SANACOGNOMENOME"},
                                        {"SANACAGCODE", "SANACAGCODE"}})
        EXPECT_EQ(TwunAnaMultiSelect::OrdineColonna(campo), ordine);

    elenco.last();
    const int codice = elenco.fieldValue("CODICE").toInt();
    elenco.first();
    EXPECT_TRUE(imp.CercaValore("CODICE", QString::number(codice)));
    EXPECT_EQ(elenco.fieldValue("CODICE").toInt(), codice);
    EXPECT_FALSE(imp.CercaValore("SANACOGNOMENOME", "R"));
}

TEST_F(LoopOnDemo, AMonthWithoutPayHasNothingToImport)
{
    p.edit();
    p.setFieldValue("IMESID", 3);
    p.post();
    TwunNotificaServizi servizi;
    imp.SetNotifica(&servizi);
    EXPECT_FALSE(imp.Prepara());
    EXPECT_EQ(services->messageTexts(), QStringList({"Nessuna dato da importare!"}));
    EXPECT_EQ(services->messages().first().type, MessageType::Warning);
}

TEST_F(LoopOnDemo, TheTableFileLosesTheRowsOfAFailedPersonAndThePersonsDataAreRead)
{
    ASSERT_TRUE(imp.Prepara());
    imp.NomeFileTabella = dir.filePath("TABELLA.cds");
    DataSet &elenco = imp.xqcMultiSelect;
    elenco.first();
    const int primo = elenco.fieldValue("IACOMID").toInt();
    elenco.next();
    imp.fallisce = elenco.fieldValue("IACOMID").toInt();
    QList<Bookmark> due{elenco.bookmark()};
    elenco.first();
    due.prepend(elenco.bookmark());

    const TwunFiscImpMultiSelect::Esito esito = imp.Importa(due);
    EXPECT_EQ(esito.importati, 1);
    EXPECT_EQ(esito.falliti, 1);
    DataSet file;
    TTovCds::LoadFromFile(file, imp.NomeFileTabella);
    ASSERT_EQ(file.recordCount(), 1);
    file.first();
    EXPECT_EQ(file.fieldValue("IACOMID").toInt(), primo);
    EXPECT_EQ(imp.cdsImport.recordCount(), 1);
    // A warning is the person's own message: no database operation added.
    EXPECT_TRUE(services->messageTexts().at(0).endsWith("\r\n\r\nerrore simulato"))
        << services->messageTexts().join("|").toStdString();

    // The person's compensation, residence and contacts.
    elenco.first();
    imp.ApriAnagrafica();
    const int ana = elenco.fieldValue("IANAID").toInt();
    EXPECT_EQ(imp.qquAcom.value("SANACODFISCALE"),
              scalar(QStringLiteral("SELECT SANACODFISCALE FROM TANA_ANAGRAFICHE WHERE IANAID = %1").arg(ana)));
    EXPECT_FALSE(imp.qquAnaAbt.eof());
    EXPECT_EQ(imp.Telefono(),
              scalar(QStringLiteral("SELECT STELTELEFONO FROM TTEL_TELEFONI WHERE IANAID = %1").arg(ana)).toString());
    EXPECT_EQ(imp.Email(),
              scalar(QStringLiteral("SELECT SEMLEMAIL FROM TEML_EMAIL WHERE IANAID = %1").arg(ana)).toString());
}

TEST_F(LoopOnDemo, APersonRefusedByAConcurrentWriteIsImportedAgainUpToTheLastAttempt)
{
    ASSERT_TRUE(imp.Prepara());
    imp.NomeFileTabella = dir.filePath("TABELLA.cds");
    imp.xqcMultiSelect.first();
    const QList<Bookmark> uno{imp.xqcMultiSelect.bookmark()};
    for (const int conflitti :
         {TwunFiscImpMultiSelect::TentativiConflitto - 1, TwunFiscImpMultiSelect::TentativiConflitto}) {
        SCOPED_TRACE(conflitti);
        const bool riesce = conflitti < TwunFiscImpMultiSelect::TentativiConflitto;
        services->clear();
        imp.cdsImport.close();
        imp.conflitti = conflitti;
        const TwunFiscImpMultiSelect::Esito esito = imp.Importa(uno);
        EXPECT_EQ(esito.importati, riesce ? 1 : 0);
        EXPECT_EQ(esito.falliti, riesce ? 0 : 1);
        // Each attempt starts from the tables as they were: one row at most.
        EXPECT_EQ(imp.cdsImport.isActive() ? imp.cdsImport.recordCount() : 0, riesce ? 1 : 0);
        EXPECT_EQ(services->messageTexts().filter("update conflicts").size(), riesce ? 0 : 1);
    }
}

namespace {

// What the loop shows, kept; `stop` answers the stop requests.
class Notifica : public IwunNotificaImport {
public:
    QStringList messaggi, avanzamenti;
    std::function<bool()> stop;
    void Messaggio(const QString &testo, MessageType, const QString &) override { messaggi << testo; }
    bool Domanda(const QString &) override { return false; }
    void Avanzamento(const QString &testo, int, int) override { avanzamenti << testo; }
    bool StopRichiesto() override { return stop && stop(); }
};

// An error of the archive met by the first of three persons: whether it is
// that person's data.
struct ErroreDellArchivio {
    const char *nome;
    EDatabaseError::Cause causa;
    bool datiDellaPersona;
};

const ErroreDellArchivio ErroriDellArchivio[] = {
    {"DatoRifiutato", EDatabaseError::Cause::Statement, true},
    {"ChiaveDuplicata", EDatabaseError::Cause::Duplicate, false},
    {"ConflittoCheDura", EDatabaseError::Cause::Conflict, false},
    {"PermessoNegato", EDatabaseError::Cause::Permission, false},
};

class LoopArchiveErrors : public LoopOnDemo, public ::testing::WithParamInterface<ErroreDellArchivio> {};

} // namespace

// The person is named only when the fault is that person's data, and then
// the others are imported; any other fault of the archive says what
// happened, blames nobody and ends the run (the next persons would meet it
// too).
TEST_P(LoopArchiveErrors, NameThePersonOnlyWhenTheFaultIsItsData)
{
    const ErroreDellArchivio &caso = GetParam();
    ASSERT_TRUE(imp.Prepara());
    imp.NomeFileTabella = dir.filePath("TABELLA.cds");
    DataSet &elenco = imp.xqcMultiSelect;
    QList<Bookmark> tre;
    for (elenco.first(); !elenco.eof() && tre.size() < 3; elenco.next())
        tre << elenco.bookmark();
    elenco.gotoBookmark(tre.first());
    imp.fallisce = elenco.fieldValue("IACOMID").toInt();
    const QString cognome = elenco.fieldValue("SANACOGNOME").toString().trimmed();
    imp.errore = EDatabaseError("Spiegazione in italiano.\n\nengine's words", caso.causa);
    Notifica notifica;
    imp.SetNotifica(&notifica);

    const TwunFiscImpMultiSelect::Esito esito = imp.Importa(tre);
    ASSERT_FALSE(notifica.messaggi.isEmpty());
    const QString &testo = notifica.messaggi.first();
    EXPECT_EQ(esito.falliti, 1);
    if (caso.datiDellaPersona) {
        EXPECT_TRUE(testo.startsWith(TwunFiscImpMultiSelect::MsgControllareDati + cognome)) << testo.toStdString();
        EXPECT_EQ(esito.importati, 2);
        EXPECT_FALSE(esito.interrotto);
    } else {
        EXPECT_EQ(testo, "Spiegazione in italiano.\n\nengine's words\r\n\r\n" + TwunFiscImpMultiSelect::MsgInterrotta);
        EXPECT_EQ(esito.importati, 0);
        EXPECT_TRUE(esito.interrotto);
    }
}

INSTANTIATE_TEST_SUITE_P(Persona, LoopArchiveErrors, ::testing::ValuesIn(ErroriDellArchivio),
                         [](const ::testing::TestParamInfo<ErroreDellArchivio> &info) { return info.param.nome; });

// Another workstation importing the month: the run says who holds it and
// waits, showing it, then imports once the other is done; or, stopped
// while waiting, imports nothing.
TEST_F(LoopOnDemo, AMonthAnotherWorkstationImportsIsWaitedForOrGivenUp)
{
    ASSERT_TRUE(imp.Prepara());
    imp.NomeFileTabella = dir.filePath("TABELLA.cds");
    imp.periodo = true;
    imp.xqcMultiSelect.first();
    const QList<Bookmark> uno{imp.xqcMultiSelect.bookmark()};
    Database altra(db().settings());
    altra.open();
    for (const bool attende : {false, true}) {
        SCOPED_TRACE(attende);
        auto altrove = std::make_unique<TTovDBCdsImportazione>(altra, "zep", 2024, 12);
        ASSERT_TRUE(altrove->Prendi());
        Notifica notifica;
        notifica.stop = [&] {
            if (!attende)
                return true;
            altrove.reset(); // the other workstation is done
            return false;
        };
        imp.SetNotifica(&notifica);
        const TwunFiscImpMultiSelect::Esito esito = imp.Importa(uno);
        ASSERT_FALSE(notifica.messaggi.isEmpty());
        EXPECT_TRUE(notifica.messaggi.first().startsWith(
            "Un'altra postazione sta importando il mese 12/2024 in questo archivio: "
            + TTovDBCdsImportazione::Postazione()))
            << notifica.messaggi.first().toStdString();
        ASSERT_FALSE(notifica.avanzamenti.isEmpty());
        EXPECT_TRUE(notifica.avanzamenti.first().startsWith(
            "In attesa che l'altra postazione finisca di importare il mese 12/2024"));
        EXPECT_EQ(esito.importati, attende ? 1 : 0);
        EXPECT_EQ(esito.interrotto, !attende);
        EXPECT_EQ(QFileInfo::exists(imp.NomeFileTabella), attende) << "nothing written by a run given up";
        if (!attende) {
            EXPECT_EQ(notifica.messaggi.last(), altrove->MsgNonEseguita());
        }
    }
}

// ---------------------------------------------------------------- employer group

TEST_F(LoopOnDemo, TheEmployerGroupOfAnImportIsTheOnlyOneTheOneKeptOrTheUsersChoice)
{
    TUqParamManager &pm = *params.xpmUquParams;
    int chiesto = 0;
    qint64 risposta = 0;
    const TdmWunParams::SceltaGruppo scegli = [&](const EnumItems &gruppi, qint64) {
        ++chiesto;
        EXPECT_EQ(gruppi.size(), 2);
        return risposta;
    };
    // One group in the archive: taken without asking.
    pm.SetParams(TdmWunParams::DwgIdParam, Value());
    EXPECT_EQ(params.GruppoPerImportazione(scegli), 1);
    EXPECT_EQ(pm.GetParamsInt(TdmWunParams::DwgIdParam), 1);
    EXPECT_EQ(pm.Group(TdmWunParams::DwgIdParam), TdmWunParams::ParamsGroup);

    db().execute("INSERT INTO TDWG_DATORI (IDWGID, SDWGRAGSOC, SDWGCODFISCALE) VALUES (2, 'SECONDO', '00000000002')");
    // Several: the group kept is used; a stale one or none asks.
    EXPECT_EQ(params.GruppoPerImportazione(scegli), 1);
    EXPECT_EQ(chiesto, 0);
    pm.SetParams(TdmWunParams::DwgIdParam, 99);
    risposta = 2;
    EXPECT_EQ(params.GruppoPerImportazione(scegli), 2);
    EXPECT_EQ(pm.GetParamsInt(TdmWunParams::DwgIdParam), 2);
    pm.SetParams(TdmWunParams::DwgIdParam, Value());
    risposta = 0;
    EXPECT_EQ(params.GruppoPerImportazione(scegli), 0);
    EXPECT_FALSE(pm.HasParam(TdmWunParams::DwgIdParam));
    EXPECT_EQ(chiesto, 2);
    db().execute("DELETE FROM TDWG_DATORI WHERE IDWGID = 2");
    pm.SetParams(TdmWunParams::DwgIdParam, 1, TdmWunParams::ParamsGroup);
}

TEST(WunEmployerGroup, AnArchiveWithoutEmployersRefusesTheImport)
{
    RecordingServicesScope services;
    auto tdb = archivetest::archiveDatabase(payroll::ArchiveScripts::all());
    Database::setGlobal(&tdb->db());
    payrolltest::loadCatalogueSource();
    TdmWunParams params;
    EXPECT_THROW(params.GruppoPerImportazione([](const EnumItems &, qint64) { return qint64(1); }), EUqWarning);
    Database::setGlobal(nullptr);
}
