// The rules of the public-sector (ex DMA) window without a display, on the
// program's layouts in a real archive: the tables stored and loaded again
// with the person's registry row, the field names of V1, the management
// codes, the check dialog's findings, the section and paying-entity checks
// and the deletes that take a person's or a section's rows with them.
#include "ZepDatiDenunciaSupport.h"

#include "ZepCDma.h"
#include "ZepCDmaInfo.h"
#include "ZepUDmaUtil.h"

#include "TovCInfoChecker.h"

#include "Exceptions.h"
#include "Field.h"

using namespace dentest;
using platform::Currency;

namespace {

const QString Rossi = QStringLiteral("RSSMRA80A01H501U");

QString refusal(const std::function<void()> &work)
{
    try {
        work();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

Currency euro(const char *text)
{
    return Currency::fromString(QLatin1String(text));
}

} // namespace

class ZepDma : public DatiDenunciaTest {
protected:
    ~ZepDma() override { TZepDma::SetIscrittoCorrente(0); }

    // A person row saved through the store; its registry id.
    int Iscritto(const QString &cf, const QString &cognome)
    {
        DataSet d0;
        store.Load(d0, TZepDma::TabellaD0);
        d0.append();
        TZepDma::NuovoIscritto(d0);
        d0.fieldByName(TZepDma::CampoCodiceFiscale).setAsString(cf);
        d0.fieldByName(TZepDma::CampoCognome).setAsString(cognome);
        d0.fieldByName(TZepDma::CampoNome).setAsString(QStringLiteral("MARIO"));
        TZepDma::ControllaIscritto(d0);
        d0.post();
        store.Save(d0, TZepDma::TabellaD0);
        return d0.fieldByName(TZepDma::CampoIscritto).asInteger();
    }
    // A section table of the working period, as the window prepares it.
    void Quadro(DataSet &ds, const QString &tabella, const QString &sezione)
    {
        store.Load(ds, tabella);
        TZepDma::PreparaQuadro(ds, sezione);
    }
};

TEST_F(ZepDma, TheTablesComeBackFromTheArchiveWithThePersonsRegistryRow)
{
    const int id = Iscritto(Rossi, QStringLiteral("ROSSI"));
    ASSERT_GT(id, 0);
    TZepDma::SetIscrittoCorrente(id, Rossi);

    DataSet e0;
    Quadro(e0, TZepDma::TabellaE0, TDmaUtil::QuadroE0);
    const int ordine = TZepDma::ProssimoOrdine(e0);
    e0.append();
    e0.fieldByName(QStringLiteral("DT_E0XXX001_DINIZIO")).setAsDate(QDate(2024, 3, 1));
    TZepDma::ImpostaContratto(e0, TDmaUtil::QuadroE0, QStringLiteral("0102"));
    e0.fieldByName(QStringLiteral("VP_E0XXX032_IMPPENS")).setAsCurrency(euro("2345.67"));
    TZepDma::ControllaQuadro(e0, TDmaUtil::QuadroE0, ordine);
    e0.post();
    store.Save(e0, TZepDma::TabellaE0);

    DataSet ev;
    store.Load(ev, TZepDma::TabellaEvV1);
    ev.append();
    ev.fieldByName(QStringLiteral("TipoContributo")).setAsString(QStringLiteral("1"));
    ev.fieldByName(QStringLiteral("CFAzienda")).setAsString(QStringLiteral("01234567890"));
    ev.fieldByName(QStringLiteral("Imponibile")).setAsCurrency(euro("100.10"));
    ev.fieldByName(QStringLiteral("Contributo")).setAsCurrency(euro("8.05"));
    ev.fieldByName(QStringLiteral("Aliquota")).setAsString(QStringLiteral("A"));
    ev.fieldByName(QStringLiteral("AnnoMeseErogazione")).setAsString(QStringLiteral("2024-01"));
    TZepDma::ControllaVersante(ev, true, 3);
    ev.post();
    store.Save(ev, TZepDma::TabellaEvV1);

    DataSet e1;
    Quadro(e1, TZepDma::TabellaE1, TDmaUtil::QuadroE1);
    e1.append();
    TZepDma::NuovoE1(e1);
    e1.fieldByName(QStringLiteral("PC_E1XXX006_PERC_LAVORATORE")).setAsCurrency(euro("1.25"));
    TZepDma::ControllaQuadro(e1, TDmaUtil::QuadroE1, 0);
    e1.post();
    store.Save(e1, TZepDma::TabellaE1);

    // Everything again from the archive.
    DataSet d0, e0b, evb, e1b;
    store.Load(d0, TZepDma::TabellaD0);
    ASSERT_EQ(d0.recordCount(), 1);
    EXPECT_EQ(d0.fieldByName(TZepDma::CampoCognome).asString(), QStringLiteral("ROSSI"));
    EXPECT_EQ(d0.fieldByName(TZepDma::CampoCodiceFiscale).asString(), Rossi);
    EXPECT_EQ(d0.fieldByName(QStringLiteral("SD0AMESE")).asString(), QStringLiteral("03"));
    EXPECT_EQ(d0.fieldByName(QStringLiteral("CB_D0001016_SATFRFONDI")).asString(), QStringLiteral("0"));
    EXPECT_EQ(d0.fieldByName(TZepDma::CampoIscritto).asInteger(), id);

    Quadro(e0b, TZepDma::TabellaE0, TDmaUtil::QuadroE0);
    ASSERT_EQ(e0b.recordCount(), 1);
    EXPECT_EQ(e0b.fieldByName(TZepDma::CampoIscritto).asInteger(), id);
    EXPECT_EQ(e0b.fieldByName(TZepDma::CampoOrdine).asInteger(), 1);
    EXPECT_EQ(e0b.fieldByName(QStringLiteral("SE0CODFIS")).asString(), Rossi);
    EXPECT_EQ(e0b.fieldByName(QStringLiteral("SE0ANNOFIN")).asString(), QStringLiteral("2024"));
    EXPECT_EQ(e0b.fieldByName(TZepDma::CampoContratto).asString(), QStringLiteral("0102"));
    EXPECT_EQ(e0b.fieldByName(QStringLiteral("VP_E0XXX032_IMPPENS")).asCurrency(), euro("2345.67"));
    EXPECT_EQ(e0b.fieldByName(QStringLiteral("NP_E0XXX003_PENS")).asInteger(), 1);
    EXPECT_EQ(e0b.fieldByName(QStringLiteral("VP_E0XXX032_IMPPENS")).editFormat(), QStringLiteral("#.00"));

    store.Load(evb, TZepDma::TabellaEvV1);
    ASSERT_EQ(evb.recordCount(), 1);
    EXPECT_EQ(evb.fieldByName(TZepDma::CampoOrdine).asInteger(), 3);
    EXPECT_EQ(evb.fieldByName(TZepDma::CampoIscritto).asInteger(), id);
    EXPECT_EQ(evb.fieldByName(QStringLiteral("Contributo")).asCurrency(), euro("8.05"));

    Quadro(e1b, TZepDma::TabellaE1, TDmaUtil::QuadroE1);
    ASSERT_EQ(e1b.recordCount(), 1);
    EXPECT_EQ(e1b.fieldByName(QStringLiteral("NP_E1XXX001_COD_FONDO")).asString(), QStringLiteral("2145"));
    EXPECT_EQ(e1b.fieldByName(QStringLiteral("PC_E1XXX006_PERC_LAVORATORE")).asCurrency(), euro("1.25"));
    EXPECT_EQ(e1b.fieldByName(QStringLiteral("SE1CODFIS")).asString(), Rossi);
}

TEST_F(ZepDma, DeletingAPersonTakesItsSectionAndPayingEntityRowsAndNoOtherPersons)
{
    const int rossi = Iscritto(Rossi, QStringLiteral("ROSSI"));
    const int bianchi = Iscritto(QStringLiteral("BNCLGU80A01H501A"), QStringLiteral("BIANCHI"));
    for (int id : {rossi, bianchi}) {
        Aggiungi(TZepDma::TabellaE0, {{TZepDma::CampoIscritto, id}, {TZepDma::CampoOrdine, id}});
        Aggiungi(TZepDma::TabellaEvE0, {{TZepDma::CampoIscritto, id}, {TZepDma::CampoOrdine, id}});
        Aggiungi(TZepDma::TabellaE1,
                 {{TZepDma::CampoIscritto, id}, {QStringLiteral("NP_E1XXX001_COD_FONDO"), QStringLiteral("2145")}});
    }
    DataSet e0, ev, e1;
    for (auto [ds, t] : {std::pair{&e0, TZepDma::TabellaE0}, {&ev, TZepDma::TabellaEvE0}, {&e1, TZepDma::TabellaE1}})
        store.Load(*ds, t);
    // The view shows the other person: the delete runs over the whole table
    // and puts the view back.
    e0.setFilter(TZepDma::FiltroIscritto(bianchi));
    e0.setFiltered(true);
    e0.events().beforeDelete = [](DataSet &) { throw platform::EAbort(); }; // the question is asked once, before
    EXPECT_EQ(TZepDma::CancellaRigheIscritto(rossi, {&e0, &ev, &e1}), QList<int>({1, 1, 1}));
    EXPECT_EQ(e0.filter(), TZepDma::FiltroIscritto(bianchi));
    EXPECT_TRUE(e0.filtered());
    EXPECT_EQ(e0.recordCount(), 1);
    store.Save(e0, TZepDma::TabellaE0);
    store.Save(ev, TZepDma::TabellaEvE0);
    EXPECT_EQ(Colonna(TZepDma::TabellaE0, TZepDma::CampoIscritto), QStringList({QString::number(bianchi)}));
    EXPECT_EQ(Colonna(TZepDma::TabellaEvE0, TZepDma::CampoIscritto), QStringList({QString::number(bianchi)}));
    // A section row's paying entities go with it.
    EXPECT_EQ(TZepDma::CancellaVersanti(ev, bianchi, bianchi), 1);
    EXPECT_EQ(TZepDma::CancellaVersanti(ev, bianchi, 0), 0);
}

TEST_F(ZepDma, SectionRowsNeedTheCurrentPersonAndTakeTheNextOrderOfTheWholeTable)
{
    DataSet e0;
    Quadro(e0, TZepDma::TabellaE0, TDmaUtil::QuadroE0);
    e0.append();
    TZepDma::SetIscrittoCorrente(0);
    EXPECT_EQ(refusal([&] { TZepDma::ControllaQuadro(e0, TDmaUtil::QuadroE0, 1); }),
              QStringLiteral("Impossibile salvare il quadro E0 senza i dati anagrafici."));
    e0.cancel();
    for (int id : {7, 8})
        Aggiungi(TZepDma::TabellaE0, {{TZepDma::CampoIscritto, id}, {TZepDma::CampoOrdine, id * 10}});
    Quadro(e0, TZepDma::TabellaE0, TDmaUtil::QuadroE0);
    e0.setFilter(TZepDma::FiltroIscritto(7));
    e0.setFiltered(true);
    EXPECT_EQ(TZepDma::ProssimoOrdine(e0), 81);

    DataSet v1;
    Quadro(v1, TZepDma::TabellaV1, TDmaUtil::QuadroV1);
    v1.append();
    EXPECT_EQ(refusal([&] { TZepDma::ControllaQuadro(v1, TDmaUtil::QuadroV1, 1); }),
              QStringLiteral("Impossibile salvare il quadro V1 senza i dati anagrafici."));
    DataSet e1;
    Quadro(e1, TZepDma::TabellaE1, TDmaUtil::QuadroE1);
    e1.append();
    EXPECT_EQ(refusal([&] { TZepDma::ControllaQuadro(e1, TDmaUtil::QuadroE1, 0); }),
              QStringLiteral("Impossibile salvare il quadro E1 senza i dati anagrafici."));
}

TEST(ZepDmaUtil, FieldNamesOfV1)
{
    const QList<std::tuple<const char *, const char *, const char *>> casi = {
        {"VP_E0XXX043_RETRTFR", "V1", "VN_V1XXX043_RETRTFR"},
        {"DT_E0XXX001_DINIZIO", "V1", "DT_V1XXX001_DINIZIO"},
        {"NumMensilita", "V1", "NumMensilita"},
        {"OrarioIntero", "V1", "OrarioIntero"},
        {"VP_E0XXX043_RETRTFR", "E0", "VP_E0XXX043_RETRTFR"},
        {"VP_E0", "V1", "VN_V1"},
        {"VP_E", "V1", "VP_E"},
    };
    for (const auto &[campo, quadro, atteso] : casi)
        EXPECT_EQ(TDmaUtil::NomeCampo(QLatin1String(campo), QLatin1String(quadro)), QLatin1String(atteso)) << campo;
}

TEST_F(ZepDma, ManagementCodesFollowTheAmounts)
{
    for (const QString &sezione : {TDmaUtil::QuadroE0, TDmaUtil::QuadroV1}) {
        DataSet ds;
        Quadro(ds, sezione == TDmaUtil::QuadroE0 ? TZepDma::TabellaE0 : TZepDma::TabellaV1, sezione);
        auto campo = [&](const char *e0) -> platform::Field & {
            return ds.fieldByName(TDmaUtil::NomeCampo(QLatin1String(e0), sezione));
        };
        ds.append();
        campo("VP_E0XXX033_CONPENS").setAsCurrency(euro("5"));
        campo("NP_E0XXX004_PREV").setAsInteger(3);    // no end-of-service amount: cleared
        campo("NP_E0XXX005_CREDITO").setAsInteger(4); // kept: its amounts are set
        campo("VP_E0XXX039_IMPCREDITO").setAsCurrency(euro("10"));
        TDmaUtil::ImpostaCodiciGestione(sezione, ds);
        EXPECT_EQ(campo("NP_E0XXX003_PENS").asInteger(), 1) << sezione.toStdString();
        EXPECT_TRUE(campo("NP_E0XXX004_PREV").isNull());
        EXPECT_EQ(campo("NP_E0XXX005_CREDITO").asInteger(), 4);
        EXPECT_EQ(campo("VP_E0XXX040_CONCREDITO").asCurrency(), euro("0.01"));
        campo("NP_E0XXX005_CREDITO").clear();
        TDmaUtil::ImpostaCodiciGestione(sezione, ds);
        EXPECT_EQ(campo("NP_E0XXX005_CREDITO").asInteger(), 9);
        campo("VP_E0XXXA37_IMPTFR").setAsCurrency(euro("1"));
        TDmaUtil::ImpostaCodiciGestione(sezione, ds);
        EXPECT_EQ(campo("NP_E0XXX004_PREV").asInteger(), 7);
    }
}

TEST_F(ZepDma, TheCheckDialogsFindingsPerSection)
{
    TTovInfoChecker checker;
    checker.SetSectionTitle(QStringLiteral("ROSSI MARIO"));
    DataSet e0, v1, e1;
    Quadro(e0, TZepDma::TabellaE0, TDmaUtil::QuadroE0);
    Quadro(v1, TZepDma::TabellaV1, TDmaUtil::QuadroV1);
    Quadro(e1, TZepDma::TabellaE1, TDmaUtil::QuadroE1);
    e0.append();
    e0.fieldByName(QStringLiteral("DT_E0XXX001_DINIZIO")).setAsDate(QDate(2024, 3, 1));
    e0.fieldByName(QStringLiteral("DT_E0XXX002_DFINE")).setAsDate(QDate(2024, 3, 31));
    TZepDma::ImpostaContratto(e0, TDmaUtil::QuadroE0, QStringLiteral("0102"));
    e0.fieldByName(QStringLiteral("NP_E0XXX011_IMPIEGO")).setAsString(QStringLiteral("1"));
    e0.fieldByName(QStringLiteral("NP_E0XXX012_SERVIZIO")).setAsString(QStringLiteral("4"));
    EXPECT_FALSE(TZepDmaInfo::Controlla(checker, {&e0}));
    EXPECT_EQ(checker.Messages(), QStringList({QStringLiteral("******** ROSSI MARIO"),
                                               QStringLiteral(" - Dato obbligatorio mancante: Qualifica (E0-9)")}));

    // A V1 row is told by its own section's contract label.
    checker.Clear();
    v1.append();
    TZepDmaInfo::Controlla(checker, {&v1});
    EXPECT_TRUE(checker.Messages().contains(QStringLiteral(" - Dato obbligatorio mancante: Contratto (V1)")));
    EXPECT_FALSE(checker.Messages().contains(QStringLiteral(" - Dato obbligatorio mancante: Contratto (E0)")));
    EXPECT_TRUE(checker.FieldLabels().isEmpty()); // left as found

    // E1: the period, the worker's contribution and the suspension.
    checker.Clear();
    e1.append();
    TZepDma::NuovoE1(e1);
    e1.fieldByName(QStringLiteral("DT_E1XXX004_DINIZIO")).setAsDate(QDate(2024, 3, 31));
    e1.fieldByName(QStringLiteral("DT_E1XXX005_DFINE")).setAsDate(QDate(2024, 3, 1));
    e1.fieldByName(QStringLiteral("DT_E1XXX009_DFINE_CONTRIBUZIONI")).setAsDate(QDate(2024, 3, 15));
    TZepDmaInfo::Controlla(checker, {&e1});
    const QStringList trovati = checker.Messages();
    EXPECT_EQ(trovati.count(QStringLiteral(" - Data inizio periodo (E1-4) superiore a quella di fine (E1-5)")), 1);
    EXPECT_TRUE(trovati.contains(QStringLiteral(" - Dato obbligatorio mancante: Contributo a carico del lavoratore")));
    EXPECT_TRUE(trovati.contains(
        QStringLiteral(" - Impostare il motivo di sospensione (E1-10) o il tipo di cessazione (E1-11)")));
    // With the fiscal adjustment the worker's contribution may be 0; a
    // termination kind answers the suspension.
    checker.Clear();
    e1.fieldByName(QStringLiteral("CB_E1XXX013_CONGUAGLIO_FISCALE")).setAsString(QStringLiteral("1"));
    e1.fieldByName(QStringLiteral("NP_E1XXX011_TIPO_CESSAZIONE")).setAsString(QStringLiteral("1"));
    TZepDmaInfo::Controlla(checker, {&e1});
    EXPECT_FALSE(checker.Messages().contains(
        QStringLiteral(" - Dato obbligatorio mancante: Contributo a carico del lavoratore")));
    EXPECT_FALSE(checker.Messages().contains(
        QStringLiteral(" - Impostare il motivo di sospensione (E1-10) o il tipo di cessazione (E1-11)")));
}

TEST_F(ZepDma, PayingEntityChecks)
{
    TZepDma::SetIscrittoCorrente(5, Rossi);
    DataSet ev;
    store.Load(ev, TZepDma::TabellaEvV1);
    struct Caso {
        const char *tipo, *cf, *imponibile, *contributo, *aliquota, *mese;
        QString atteso;
    };
    const QList<Caso> casi = {
        {"1", "01234567890", "1", "1", "A", "", QString()},
        {"1", "01234567890", "1", "1", "A", "2024-13", TZepDma::MsgAnnoMeseErogazione},
        {"1", "01234567890", "1", "1", "A", "2024-02", QString()},
        {"X", "01234567890", "1", "1", "A", "", TZepDma::MsgTuttiICampi},
        {"1", "", "1", "1", "A", "", TZepDma::MsgTuttiICampi},
        {"1", "01234567890", "0", "1", "A", "", TZepDma::MsgTuttiICampi},
        {"1", "01234567890", "1", "0", "A", "", TZepDma::MsgTuttiICampi},
        {"1", "01234567890", "1", "1", "", "", TZepDma::MsgTuttiICampi},
    };
    for (const Caso &c : casi) {
        ev.append();
        ev.fieldByName(QStringLiteral("TipoContributo")).setAsString(QLatin1String(c.tipo));
        ev.fieldByName(QStringLiteral("CFAzienda")).setAsString(QLatin1String(c.cf));
        ev.fieldByName(QStringLiteral("Imponibile")).setAsCurrency(euro(c.imponibile));
        ev.fieldByName(QStringLiteral("Contributo")).setAsCurrency(euro(c.contributo));
        ev.fieldByName(QStringLiteral("Aliquota")).setAsString(QLatin1String(c.aliquota));
        ev.fieldByName(QStringLiteral("AnnoMeseErogazione")).setAsString(QLatin1String(c.mese));
        EXPECT_EQ(refusal([&] { TZepDma::ControllaVersante(ev, true, 2); }), c.atteso) << c.tipo << c.mese;
        ev.cancel();
    }
    // E0's paying entities have no rate.
    DataSet e0;
    store.Load(e0, TZepDma::TabellaEvE0);
    e0.append();
    e0.fieldByName(QStringLiteral("TipoContributo")).setAsString(QStringLiteral("2"));
    e0.fieldByName(QStringLiteral("CFAzienda")).setAsString(QStringLiteral("01234567890"));
    e0.fieldByName(QStringLiteral("Imponibile")).setAsCurrency(euro("1"));
    e0.fieldByName(QStringLiteral("Contributo")).setAsCurrency(euro("1"));
    EXPECT_EQ(refusal([&] { TZepDma::ControllaVersante(e0, false, 4); }), QString());
    EXPECT_EQ(e0.fieldByName(TZepDma::CampoOrdine).asInteger(), 4);
    EXPECT_EQ(e0.fieldByName(QStringLiteral("SEVCODFIS")).asString(), Rossi);
    // Without a section row to belong to, refused with a message.
    EXPECT_EQ(refusal([&] { TZepDma::ControllaVersante(e0, false, 0); }), TZepDma::MsgVersanteSenzaQuadro);
}

TEST_F(ZepDma, LockQuestionsUseReasonAndPaymentMonth)
{
    DataSet d0;
    store.Load(d0, TZepDma::TabellaD0);
    d0.append();
    EXPECT_EQ(refusal([&] { TZepDma::ControllaIscritto(d0); }), QStringLiteral("Codice fiscale obbligatorio"));
    // A code the file would refuse is refused on the post, naming it.
    for (const QString &cf : {Rossi.left(15), Rossi.left(15) + QLatin1Char('<'), Rossi.left(15) + QLatin1Char('V')}) {
        d0.fieldByName(TZepDma::CampoCodiceFiscale).setAsString(cf);
        EXPECT_FALSE(refusal([&] { TZepDma::ControllaIscritto(d0); }).isEmpty()) << cf.toStdString();
    }
    d0.fieldByName(TZepDma::CampoCodiceFiscale).setAsString(Rossi);
    EXPECT_EQ(refusal([&] { TZepDma::ControllaIscritto(d0); }), QString());
    d0.fieldByName(TZepDma::CampoStato).setAsInteger(1);
    EXPECT_EQ(TZepDma::DomandaCancellazione(d0), TZepDma::MsgCancellaStampato);
    d0.fieldByName(TZepDma::CampoStato).setAsInteger(0);
    EXPECT_EQ(TZepDma::DomandaCancellazione(d0), QStringLiteral("Confermi la cancellazione del modello corrente?"));
    EXPECT_EQ(TZepDma::DomandaSblocco(1), QStringLiteral("Il modello è gia stato stampato, si desidera modificarlo?"));
    EXPECT_EQ(TZepDma::DomandaSblocco(2), QStringLiteral("Il modello è gia stato inviato, si desidera modificarlo?"));

    EXPECT_TRUE(TZepDma::MotivoUtilizzoAttivo(QStringLiteral("7")));
    EXPECT_FALSE(TZepDma::MotivoUtilizzoAttivo(QStringLiteral("07")));
    EXPECT_FALSE(TZepDma::MotivoUtilizzoAttivo(QStringLiteral("17")));

    EXPECT_EQ(TZepDma::AnnoMeseErogazionePredefinito(QDate(2024, 1, 15)), QStringLiteral("2023-12"));
    EXPECT_EQ(TZepDma::AnnoMeseErogazionePredefinito(QDate()), QStringLiteral("2024-01")); // March 2024 - 2
}
