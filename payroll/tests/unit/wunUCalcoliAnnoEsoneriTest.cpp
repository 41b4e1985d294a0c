// The rules of 2023-2025: the IVS exemption per liquidation and its recovery
// in the declaration, the mothers' relief with its ceiling, the 2023
// contract amounts and the 2025 tax-wedge cut.
#include "CalcoliTestSupport.h"
#include "RecordingServices.h"
#include "wunMIVC.h"
#include "wunUCalcoliAnno.h"

#include "Exceptions.h"
#include "SqlQuery.h"

#include <gtest/gtest.h>

using namespace calcolitest;
using platform::Currency;
using platform::DataSet;
using platform::Value;

namespace {

struct Anno {
    explicit Anno(int anno) { TWunCalcolaAnno::CreaPerAnno(anno); }
    ~Anno() { TWunCalcolaAnno::Rilascia(); }
    TWunCalcolaAnno *operator->() const { return &WunCalcolaAnno(); }
    template <class T = TWunCalcolaAnno2023>
    T &come() const
    {
        return dynamic_cast<T &>(WunCalcolaAnno());
    }
};

std::unique_ptr<DataSet> persona(int sesso = 1, int tno = 1, int disattivato = 0, int acom = 0)
{
    return riga({"IACOMID", "ISEXID", "ITNOID", "LACOMDISESONEROIVS", "IACOMNUMPAGHE", "IACOMBONUS66ECC",
                 "FACOMREDDITOCOMP"},
                {acom, sesso, tno, disattivato, 13, 0, euro("0")});
}

std::unique_ptr<DataSet> liquidazione(int mese, int cos = 10001, int varm = 0)
{
    return riga({"IVARMID", "IMESID", "ICOTID", "ICOSID"}, {varm, mese, 1, cos});
}

// The exemption items of a liquidation, with the grosses given.
std::unique_ptr<DataSet> vociEsonero(const char *stipendio = "0", const char *tredicesima = "0",
                                     const char *madri = "0")
{
    return tabella({"IVACRID", "ICOMRID", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS"},
                   {{1, 10074, euro(stipendio), euro(stipendio), Value::null()},
                    {2, 10075, euro(tredicesima), euro(tredicesima), Value::null()},
                    {3, 10077, euro(madri), euro(madri), Value::null()}});
}

// Withholding rows: retention, item, item group, employee taxable,
// employee rate, withholding (share 100).
std::unique_ptr<DataSet> ritenute(const QList<platform::ValueList> &righe)
{
    QList<platform::ValueList> complete;
    for (const platform::ValueList &r : righe)
        complete << platform::ValueList{r[0], r[1], r[2], r[3], r[4], euro("100"), r[5], 2};
    return tabella({"IRICEID", "ICOMRID", "ICOMRGRUPPO", "FVARRIMPONIBILEDIP", "FVARRALIQUOTADIP", "FVARRPERCIMPDIP",
                    "FVARRRITDIP", "IRICEDECIMALIIMP"},
                   complete);
}

// A declaration row with the recovery fields, inserting.
std::unique_ptr<DataSet> dichiarazione()
{
    auto ds = std::make_unique<DataSet>();
    for (const char *prefisso : {"RecuperoSgravi", "RecuperoSgravi13"}) {
        const QString p = QLatin1String(prefisso);
        ds->addFieldDef(p + "AnnoRif", platform::FieldType::Integer);
        ds->addFieldDef(p + "MeseRif", platform::FieldType::Integer);
        ds->addFieldDef(p + "CodiceRecupero", platform::FieldType::String, 2);
        ds->addFieldDef(p + "AltroImponibile", platform::FieldType::BCD, 4);
        ds->addFieldDef(p + "Importo", platform::FieldType::BCD, 4);
    }
    ds->createDataSet();
    ds->append();
    return ds;
}

QString campi(const DataSet &ds)
{
    QStringList visti;
    for (const auto &f : ds.fields())
        visti << f->asString();
    return visti.join(QLatin1Char('|'));
}

Currency lordo(DataSet &voci, int voce)
{
    return voci.lookup("ICOMRID", {Value(voce)}, "FVACRLORDO").toCurrency();
}

template <class E>
QString messaggio(const std::function<void()> &f)
{
    try {
        f();
    } catch (const E &e) {
        return e.message();
    }
    return QStringLiteral("(nessun errore)");
}

} // namespace

TEST(EsoneroIvs, PercentagesRecoveryCodesAndTheirTaxable)
{
    struct Caso {
        int anno, mese;
        const char *imponibile;
        int stipendio, tredicesima;
    };
    const Caso casi[] = {
        {2023, 7, "1900", 7, 3}, {2023, 7, "2000", 6, 2},  {2023, 7, "2700", 0, 0}, {2023, 3, "1900", 3, 3},
        {2023, 3, "2000", 2, 2}, {2023, 3, "2700", 0, 0},  {2023, 7, "0", 0, 0},    {2024, 1, "1923", 7, 7},
        {2024, 7, "1924", 6, 6}, {2024, 12, "2693", 0, 0},
    };
    for (const Caso &c : casi) {
        Anno a(c.anno);
        EXPECT_EQ(a.come().PercentualeEsoneroIvs(10074, c.mese, euro(c.imponibile)), Currency::fromInt(c.stipendio))
            << c.anno << " " << c.mese << " " << c.imponibile;
        EXPECT_EQ(a.come().PercentualeEsoneroIvs(10075, c.mese, euro(c.imponibile)), Currency::fromInt(c.tredicesima))
            << c.anno << " " << c.mese << " " << c.imponibile;
    }

    struct Codice {
        int anno, voce, percentuale;
        const char *codice;
    };
    for (const Codice &c : {Codice{2023, 10074, 2, "38"}, Codice{2023, 10075, 2, "40"}, Codice{2023, 10074, 3, "45"},
                            Codice{2023, 10075, 3, "47"}, Codice{2023, 10074, 6, "48"}, Codice{2023, 10074, 7, "49"},
                            Codice{2024, 10074, 7, "49"}, Codice{2024, 10074, 6, "48"}, Codice{2024, 10075, 0, "57"}})
        EXPECT_EQ(Anno(c.anno).come().CodiceRecuperoEsonero(c.voce, Currency::fromInt(c.percentuale)), c.codice)
            << c.anno << " " << c.voce << " " << c.percentuale;
    EXPECT_THROW(Anno(2024).come().CodiceRecuperoEsonero(10074, euro("2")), platform::EAssertionFailed);

    EXPECT_EQ(TWunCalcolaAnno2023::ImponibileDaEsonero(euro("15"), euro("3")), euro("500"));
    EXPECT_EQ(TWunCalcolaAnno2023::ImponibileDaEsonero(euro("10.01"), euro("7")), euro("143"));
    // A zero percentage is refused, not divided by.
    EXPECT_THROW(TWunCalcolaAnno2023::ImponibileDaEsonero(euro("15"), Currency()), ETovCalcola);
}

TEST(TaglioCuneo, PercentageAndSumOfTheIncome)
{
    struct Caso {
        const char *reddito, *percentuale, *annuo, *rata; // rata: on 13 payments
    };
    const Caso casi[] = {
        {"8500", "7.1", "603.5", "46.42"},
        {"8500.01", "5.3", "450.5", "34.65"},
        {"15000", "5.3", "795", "61.15"},
        {"15000.01", "4.8", "720", "55.38"},
        {"20000", "4.8", "960", "73.85"},
        {"20000.01", "0", "0", "0"},
        {"0", "0", "0", "0"},
        {"-100", "0", "0", "0"}, // no income, no sum
    };
    Anno a(2025);
    auto &regole = a.come<TWunCalcolaAnno2025>();
    for (const Caso &c : casi) {
        Currency importo, percentuale;
        EXPECT_EQ(TWunCalcolaAnno2025::PercentualeTaglioCuneo(euro(c.reddito)), euro(c.percentuale)) << c.reddito;
        regole.CalcolaTaglioCuneo(*persona(), importo, false, euro(c.reddito), percentuale);
        EXPECT_EQ(importo, euro(c.annuo)) << c.reddito;
        EXPECT_EQ(percentuale, euro(c.percentuale)) << c.reddito;
        regole.CalcolaTaglioCuneo(*persona(), importo, true, euro(c.reddito), percentuale);
        EXPECT_EQ(importo, euro(c.rata)) << c.reddito;
    }
    // Not for a person whose exemption is off or who takes the mothers'
    // relief, nor before 2025.
    for (int disattivato : {1, 2}) {
        Currency importo = euro("1"), percentuale = euro("1");
        regole.CalcolaTaglioCuneo(*persona(2, 1, disattivato), importo, false, euro("8500"), percentuale);
        EXPECT_EQ(importo, Currency());
        EXPECT_EQ(percentuale, Currency());
    }
    auto conguaglio = riga({"FCONGIMPNETTO", "FCONGTAGLIO_CUNEO_FISC_DOV", "FCONGTAGLIO_CUNEO_FISC_PERC"},
                           {euro("8500"), euro("0"), euro("0")});
    regole.CompilaTaglioCuneoConguaglio(*persona(), *conguaglio);
    EXPECT_EQ(conguaglio->fieldByName("FCONGTAGLIO_CUNEO_FISC_DOV").asCurrency(), euro("603.5"));
    EXPECT_EQ(conguaglio->fieldByName("FCONGTAGLIO_CUNEO_FISC_PERC").asCurrency(), euro("7.1"));
    Anno(2024)->CompilaTaglioCuneoConguaglio(*persona(), *conguaglio); // nothing before 2025
    EXPECT_EQ(conguaglio->fieldByName("FCONGTAGLIO_CUNEO_FISC_DOV").asCurrency(), euro("603.5"));
}

TEST(TaglioCuneo, TheAdditionalDeductionFallsInItsLastBracket)
{
    Anno a(2025);
    auto &regole = a.come<TWunCalcolaAnno2025>();
    regole.TabellaCuneo().loadRecords({{"ITDCUUSERCODE", platform::FieldType::Integer},
                                       {"FTDCUSCAGLIONEDA", platform::FieldType::BCD, 4},
                                       {"FTDCUSCAGLIONEA", platform::FieldType::BCD, 4},
                                       {"FTDCUDETRAZIONE", platform::FieldType::BCD, 4}},
                                      {{1, euro("20000"), euro("32000"), euro("1000")},
                                       {2, euro("32000"), euro("40000"), euro("1000")}});
    // No additional bracket of the earlier years: only the wedge's part.
    regole.TabellaLavoro().loadRecords({{"ITDLAUSERCODE", platform::FieldType::Integer},
                                        {"FTDLASCAGLIONEDA", platform::FieldType::BCD, 4},
                                        {"FTDLASCAGLIONEA", platform::FieldType::BCD, 4},
                                        {"FTDLADETRAZIONE", platform::FieldType::BCD, 4}},
                                       {});
    auto detrazioni = [](const Value &lavoro) { return riga({"LADETLAVDIP"}, {lavoro}); };
    struct Caso {
        const char *reddito;
        Value lavoro;
        int disattivato;
        const char *atteso;
    };
    for (const Caso &c : {Caso{"36000", 1, 0, "500"}, Caso{"25000", Value::null(), 0, "1000"},
                          Caso{"32000", 1, 0, "1000"}, Caso{"39999", 1, 0, "0.125"}, Caso{"40000.01", 1, 0, "0"},
                          Caso{"20000", 1, 0, "0"}, Caso{"36000", 0, 0, "0"}, Caso{"36000", 1, 1, "0"}})
        EXPECT_EQ(regole.UlterioreDetrazione(*detrazioni(c.lavoro), *persona(1, 1, c.disattivato), euro(c.reddito),
                                             nullptr),
                  euro(c.atteso))
            << c.reddito;
    auto esclusa = riga({"IACOMID", "LACOMDISESONEROIVS", "IACOMBONUS66ECC"}, {1, 0, 1});
    EXPECT_EQ(regole.UlterioreDetrazione(*detrazioni(1), *esclusa, euro("36000"), nullptr), Currency());
}

TEST(DecontribuzioneMadri, WhoMayHaveIt)
{
    const QString indeterminato =
        "La decontribuzione madri è utilizzabile solo da lavoratrici con contratto a tempo indeterminato";
    const QString entrambi =
        "La decontribuzione madri è utilizzabile solo da lavoratrici con contratto a tempo determinato ed indeterminato";
    struct Caso {
        int anno, sesso, tno;
        const QString &messaggio; // empty: admitted
    };
    const QString nessuno;
    for (const Caso &c : {Caso{2024, 2, 1, nessuno}, Caso{2024, 2, 2, nessuno}, Caso{2024, 2, 3, indeterminato},
                          Caso{2024, 1, 1, indeterminato}, Caso{2025, 2, 8, nessuno}, Caso{2025, 2, 16, nessuno},
                          Caso{2025, 2, 11, entrambi}, Caso{2025, 1, 1, entrambi}, Caso{2023, 2, 1, nessuno}}) {
        Anno a(c.anno);
        QString messaggio = "x";
        const bool ammessa = a->DecontribuzioneMadriAmmessa(*persona(c.sesso, c.tno), messaggio);
        EXPECT_EQ(ammessa, c.anno > 2023 && c.messaggio.isEmpty()) << c.anno << " " << c.tno;
        EXPECT_EQ(messaggio, c.messaggio) << c.anno << " " << c.tno;
    }
}

TEST(EsoneroIvs, ContractAmountsOf2023)
{
    // 1.5 per cent of the yearly salary and second base item, a month's share.
    auto ccnl = tabella({"IQARID", "ICOMRID", "FCCNLIMPORTO"},
                        {{6, 10001, euro("24000")}, {6, 10002, euro("6000")}, {7, 10001, euro("20000")}});
    EXPECT_EQ(Anno(2023)->ImportoAggiuntivoCCNL(*ccnl, 6), euro("37.5"));
    EXPECT_EQ(Anno(2023)->ImportoAggiuntivoCCNL(*ccnl, 7), euro("25"));
    EXPECT_EQ(Anno(2023)->ImportoAggiuntivoCCNL(*ccnl, 9), Currency());
    EXPECT_EQ(Anno(2024)->ImportoAggiuntivoCCNL(*ccnl, 6), Currency());
}

// ---------------------------------------------------------------------------
// Liquidations, with the month's other liquidations on the demo archive

namespace {

class EsoneroSuArchivio : public DemoCalcoli {
protected:
    // A calculated salary register of another kind (2) of the person in the
    // month, with pay items and withholding totals.
    void altraLiquidazione(int acom, int mese, const QList<std::pair<int, const char *>> &voci,
                           const QList<std::pair<int, const char *>> &imponibili)
    {
        const int regs = 900000 + mese * 100 + int(++s_righe);
        db().execute(QStringLiteral("INSERT INTO TREGS_REGISTROSTIP (IREGSID, IACOMID, IANFID, IMESID, ICOTID, IDWGID, "
                                    "ITNOID, ICOSID, LREGSCALCOLATA) VALUES (%1, %2, 55, %3, 2, 1, 1, 10001, 1)")
                         .arg(regs)
                         .arg(acom)
                         .arg(mese));
        for (const auto &[voce, importo] : voci)
            db().execute(QStringLiteral("INSERT INTO TVACR_VARCOMPRIGHE (IVACRID, IREGSID, ICOMRID, FVACRLORDO) "
                                        "VALUES (%1, %2, %3, %4)")
                             .arg(900000 + int(++s_righe))
                             .arg(regs)
                             .arg(voce)
                             .arg(QLatin1String(importo)));
        for (const auto &[rice, importo] : imponibili)
            db().execute(QStringLiteral("INSERT INTO TVARR_VARRITENUTE (IVARRID, IREGSID, IRICEID, FVARRIMPONIBILEDIP, "
                                        "FVARRPERCIMPDIP, FVARRALIQUOTADIP) VALUES (%1, %2, %3, %4, 100, 9)")
                             .arg(900000 + int(++s_righe))
                             .arg(regs)
                             .arg(rice)
                             .arg(QLatin1String(importo)));
    }
    static int acom() { return scalar("SELECT MIN(IACOMID) FROM TACOM_COMPENSI WHERE IANFID = 55").toInt(); }
    static inline qint64 s_righe = 0;
};

} // namespace

TEST_F(EsoneroSuArchivio, TheRecoveryOfTheDeclarationWhateverTheOrderOfItsRows)
{
    auto compila = [&](int anno, const QList<platform::ValueList> &righe) {
        auto d = dichiarazione();
        auto r = tabella({"ICOMRID", "FVACRPERCESONEROIVS", "FVACRLORDO"}, righe);
        Anno(anno).come().CompilaRigheEsonero(*d, *r, 7, euro("2500"));
        return campi(*d);
    };
    // 2023: 130.00 at 7 per cent on the salary and 15.00 at 3 per cent on
    // 500.00 of thirteenth month: the other taxable left is 2,000.00.
    const QString atteso = "2024|7|49|2000|130|2024|7|47|500|15";
    EXPECT_EQ(compila(2023, {{10074, euro("7"), euro("130")}, {10075, euro("3"), euro("15")}}), atteso);
    EXPECT_EQ(compila(2023, {{10075, euro("3"), euro("15")}, {10074, euro("7"), euro("130")}}), atteso);
    // 2024: an amount that is the percentage of the whole taxable, or of
    // its salary part only (the rest is thirteenth month, code 57).
    EXPECT_EQ(compila(2024, {{10074, euro("6"), euro("150")}}), "2024|7|48|2500|150|||||");
    EXPECT_EQ(compila(2024, {{10074, euro("6"), euro("120")}}), "2024|7|48|2000|120|2024|7|57|500|0");

    EXPECT_EQ(messaggio<ETovWarning>([&] {
                  compila(2023, {{10077, euro("0"), euro("50")}});
              }),
              "Esonero IVS madri non gestito.");
    EXPECT_EQ(messaggio<ETovWarning>([&] {
                  compila(2024, {{10075, euro("3"), euro("15")}});
              }),
              "Esonero IVS madri non applicabile per l'anno.");
    EXPECT_EQ(messaggio<ETovCalcola>([&] {
                  compila(2023, {{10074, euro("6"), euro("10")}, {10074, euro("7"), euro("20")}});
              }),
              "Percentuali diversi di taglio IVS non gestito.");
    // A thirteenth month exemption without its percentage cannot give back
    // its taxable.
    EXPECT_THROW(compila(2023, {{10075, euro("0"), euro("15")}}), ETovCalcola);
}

TEST_F(EsoneroSuArchivio, TheExemptionOfASalaryLiquidation)
{
    struct Caso {
        int anno, mese, disattivato;
        const char *stipendio, *laterale, *tredicesima;
        const char *esonero, *percentuale, *esonero13, *percentuale13;
    };
    const Caso casi[] = {
        {2023, 7, 0, "1900", "0", "500", "133", "7", "15", "3"},
        {2023, 7, 0, "1900", "100", "500", "140", "7", "15", "3"}, // 10076 joins the base, not the month's taxable
        {2023, 3, 0, "2000", "0", "500", "40", "2", "10", "2"},
        {2023, 7, 0, "2700", "0", "500", "0", "0", "0", "0"},
        {2023, 7, 1, "1900", "0", "500", "0", "0", "0", "0"},      // switched off: the items go back to 0
        {2024, 7, 0, "1923", "0", "500", "134.61", "7", "0", "0"}, // no thirteenth month of its own
        {2024, 7, 0, "1924", "0", "0", "115.44", "6", "0", "0"},
    };
    for (const Caso &c : casi) {
        Anno a(c.anno);
        auto voci = vociEsonero("50", "50");
        auto righe = ritenute({{3, 10001, 1, euro(c.stipendio), euro("9.19"), euro("1")},
                               {3, 10076, 2, euro(c.laterale), euro("9.19"), euro("1")},
                               {3, 10013, 3, euro(c.tredicesima), euro("9.19"), euro("1")},
                               {7, 10001, 1, euro("1700"), euro("23"), euro("1")}});
        a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(c.mese), *persona(1, 1, c.disattivato));
        EXPECT_EQ(lordo(*voci, 10074), euro(c.esonero)) << c.anno << " " << c.stipendio;
        EXPECT_EQ(lordo(*voci, 10075), euro(c.esonero13)) << c.anno << " " << c.stipendio;
        voci->locate("ICOMRID", Value(10074));
        EXPECT_EQ(voci->fieldByName("FVACRPERCESONEROIVS").asCurrency(), euro(c.percentuale)) << c.anno;
    }

    // Not for other liquidations, nor on a part of the items.
    Anno a(2023);
    auto righe = ritenute({{3, 10001, 1, euro("1900"), euro("9.19"), euro("1")}});
    auto voci = vociEsonero("50");
    a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(7, 10002), *persona());
    voci->setFilter("ICOMRID = 10074");
    voci->setFiltered(true);
    a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(7), *persona());
    voci->setFiltered(false);
    EXPECT_EQ(lordo(*voci, 10074), euro("50"));
    // INPS and the former INPDAP on the employee cannot be combined.
    auto miste = ritenute(
        {{3, 10001, 1, euro("1000"), euro("9.19"), euro("1")}, {2, 10001, 1, euro("900"), euro("8.8"), euro("1")}});
    EXPECT_EQ(messaggio<ETovCalcola>(
                  [&] { a->CalcolaEsoneroLiquidazione(*voci, *miste, false, *liquidazione(7), *persona()); }),
              TWunCalcolaAnno2023::MsgRitenuteMiste);
}

TEST_F(EsoneroSuArchivio, TheMonthsOtherLiquidationsCountInTheTaxableAndMayNotMixSchemes)
{
    Anno a(2023);
    auto righe = ritenute({{3, 10001, 1, euro("1800"), euro("9.19"), euro("1")}});
    auto voci = vociEsonero();
    altraLiquidazione(acom(), 1, {}, {{3, "200"}});
    // 1,800.00 here and 200.00 there: 26,000.00 a year, 6 per cent in July
    // (2 in January) on this liquidation's 1,800.00.
    a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(1), *persona(1, 1, 0, acom()));
    EXPECT_EQ(lordo(*voci, 10074), euro("36"));
    altraLiquidazione(acom(), 2, {}, {{2, "200"}});
    EXPECT_EQ(messaggio<ETovCalcola>([&] {
                  a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(2), *persona(1, 1, 0, acom()));
              }),
              TWunCalcolaAnno2023::MsgRitenuteMisteMese);
}

TEST_F(EsoneroSuArchivio, ALiquidationWithoutItsExemptionItemsAsksWhetherToGoOn)
{
    Anno a(2023);
    auto righe = ritenute({{3, 10001, 1, euro("1900"), euro("9.19"), euro("1")}});
    auto senza = tabella({"IVACRID", "ICOMRID", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS"},
                         {{2, 10075, euro("9"), euro("9"), Value::null()}});
    RecordingServicesScope services;
    services->replyToMessages({platform::Yes, platform::No});
    a->CalcolaEsoneroLiquidazione(*senza, *righe, false, *liquidazione(7), *persona());
    ASSERT_EQ(services->messages().size(), 1);
    EXPECT_EQ(services->messages().at(0).text, TWunCalcolaAnno2023::MsgVariazionePrecedente);
    EXPECT_EQ(lordo(*senza, 10075), euro("9")) << "Yes goes on without writing the thirteenth month either";
    EXPECT_THROW(a->CalcolaEsoneroLiquidazione(*senza, *righe, false, *liquidazione(7), *persona()), platform::EAbort);

    // With the save flag the item row is written to the archive too.
    const int vacr = scalar("SELECT MIN(IVACRID) FROM TVACR_VARCOMPRIGHE WHERE ICOMRID = 10074").toInt();
    auto voci = tabella({"IVACRID", "ICOMRID", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS"},
                        {{vacr, 10074, euro("0"), euro("0"), Value::null()}});
    EXPECT_TRUE(TWunCalcolaAnno2023::AggiornaVoceEsonero(*voci, 10074, euro("12.34"), euro("7"), true));
    EXPECT_EQ(
        scalar(QStringLiteral("SELECT FVACRLORDO FROM TVACR_VARCOMPRIGHE WHERE IVACRID = %1").arg(vacr)).toCurrency(),
        euro("12.34"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT FVACRPERCESONEROIVS FROM TVACR_VARCOMPRIGHE WHERE IVACRID = %1").arg(vacr))
                  .toCurrency(),
              euro("7"));
}

TEST_F(EsoneroSuArchivio, TheMothersReliefIsCappedAtTheMonthsCeiling)
{
    Anno a(2024);
    // A whole employee contribution of 300.00 (3,000.00 at 10 per cent).
    auto righe = ritenute({{3, 10001, 1, euro("3000"), euro("10"), euro("300")}});
    struct Caso {
        int mese;
        const char *giaConcessa, *prima, *atteso;
    };
    for (const Caso &c : {Caso{3, nullptr, "0", "250"}, Caso{4, "100", "0", "150"}, Caso{5, "250", "0", "0"},
                          Caso{6, "250", "80", "0"}}) {
        if (c.giaConcessa)
            altraLiquidazione(acom(), c.mese, {{10077, c.giaConcessa}}, {});
        auto voci = vociEsonero("0", "0", c.prima);
        a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(c.mese), *persona(2, 1, 2, acom()));
        EXPECT_EQ(lordo(*voci, 10077), euro(c.atteso)) << c.mese;
        EXPECT_EQ(lordo(*voci, 10074), Currency()) << "no exemption with the relief";
    }
    // Refusals: a man, an exemption already taken in the month, schemes
    // mixed with the month's other liquidations.
    auto voci = vociEsonero();
    EXPECT_EQ(messaggio<ETovCalcola>([&] {
                  a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(3), *persona(1, 1, 2, acom()));
              }),
              "La decontribuzione madri è utilizzabile solo da lavoratrici con contratto a tempo indeterminato");
    altraLiquidazione(acom(), 7, {{10074, "20"}}, {});
    EXPECT_EQ(messaggio<ETovCalcola>([&] {
                  a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(7), *persona(2, 1, 2, acom()));
              }),
              TWunCalcolaAnno2024::MsgMadriConEsonero);
    altraLiquidazione(acom(), 8, {}, {{2, "500"}});
    EXPECT_EQ(messaggio<ETovCalcola>([&] {
                  a->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(8), *persona(2, 1, 2, acom()));
              }),
              TWunCalcolaAnno2024::MsgMadriRitenuteMiste);
    // 2025 has no relief yet.
    EXPECT_EQ(messaggio<EUqError>([&] {
                  Anno(2025)->CalcolaEsoneroLiquidazione(*voci, *righe, false, *liquidazione(3), *persona(2, 1, 2));
              }),
              "Esonero per madri lavoratrici non ancora abilitato per l'anno corrente");
}

TEST_F(EsoneroSuArchivio, TheDeclarationTakesTheExemptionItemsOfTheArchive)
{
    // The demo's exemptions of November 2024.
    auto esonero = leggi("SELECT FIRST 1 REGS.IACOMID, VACR.FVACRLORDO, VACR.FVACRPERCESONEROIVS FROM "
                         "TVACR_VARCOMPRIGHE VACR JOIN TREGS_REGISTROSTIP REGS ON REGS.IREGSID = VACR.IREGSID "
                         "WHERE VACR.ICOMRID = 10074 AND REGS.IMESID = 11 ORDER BY REGS.IACOMID");
    ASSERT_FALSE(esonero->eof());
    const int acomId = esonero->fieldByName("IACOMID").asInteger();
    platform::SqlQuery q(db());
    TWunCalcolaAnno2023::ApriEsoneriUniemens(q, acomId, 11, " AND REGS.ICOTID = 1");
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.value("FVACRLORDO").toCurrency(), esonero->fieldByName("FVACRLORDO").asCurrency());
    TWunCalcolaAnno2023::ApriEsoneriUniemens(q, acomId, 11, " AND REGS.ICOTID = 2");
    EXPECT_TRUE(q.eof()) << "the caller's filter";

    auto d = dichiarazione();
    // A taxable of which the exemption is exactly the percentage.
    const Currency importo = esonero->fieldByName("FVACRLORDO").asCurrency();
    const Currency percentuale = esonero->fieldByName("FVACRPERCESONEROIVS").asCurrency();
    const Currency imponibile = TWunCalcolaAnno2023::ImponibileDaEsonero(importo, percentuale);
    Anno a(2024);
    a->CompilaEsoneroIvsUniemens(*d, q, *persona(1, 1, 0, acomId), QString(), 11, imponibile);
    EXPECT_EQ(campi(*d), QStringLiteral("2024|11|%1|%2|%3|||||")
                             .arg(percentuale == euro("7") ? "49" : "48", imponibile.toString(), importo.toString()));
}

TEST_F(EsoneroSuArchivio, TheWedgeSumOfALiquidation)
{
    Anno a(2025);
    platform::SqlQuery q(db());
    auto ritenuteIrpef = tabella({"IRICEID", "FVARRIMPONIBILEDIP"}, {{7, euro("1000")}});
    // Not yet stored: into the liquidation's items (13 x 1,000.00 = 13,000.00
    // a year: 5.3 per cent of a payment's 1,000.00).
    auto voci = tabella({"ICOMRID", "IVACRUSERCODE", "FVACRLORDO", "FVACRLORDOINTERO", "FVACRPERCESONEROIVS",
                         "LVACRASSOGGETTATO", "LCOMRTRATTENUTA"},
                        {});
    a.come<TWunCalcolaAnno2025>().InserisciTaglioCuneo(*persona(), *liquidazione(3), true, *ritenuteIrpef, *voci);
    EXPECT_EQ(lordo(*voci, 10078), euro("53"));
    // Stored: the liquidation's item in the archive (the wedge sum belongs to
    // the salary's groups), unless it already has a wedge sum.
    db().execute("INSERT INTO TCOGR_GRUPPICONTR (ICOGRID, IANFID, ICOTID, ITNOID, ICOMRID, IRICEID) VALUES "
                 "(990001, 55, 1, 1, 10078, 7)");
    auto variazione = leggi("SELECT FIRST 1 VARM.IVARMID, VARM.IMESID, VARM.ICOTID, VARM.ICOSID FROM TVARM_VARIAZIONI "
                            "VARM WHERE VARM.ICOTID = 1 AND VARM.IMESID = 12 ORDER BY VARM.IVARMID DESC");
    const int varm = variazione->fieldByName("IVARMID").asInteger();
    const QString somma =
        QStringLiteral("SELECT FVACRLORDO FROM TVACR_VARCOMPRIGHE WHERE IVARMID = %1 AND ICOMRID = 10078").arg(varm);
    a.come<TWunCalcolaAnno2025>().InserisciTaglioCuneo(*persona(), *variazione, true, *ritenuteIrpef, *voci);
    EXPECT_EQ(scalar(somma).toCurrency(), euro("53"));
    ritenuteIrpef->edit();
    ritenuteIrpef->fieldByName("FVARRIMPONIBILEDIP").setAsCurrency(euro("600"));
    ritenuteIrpef->post();
    a.come<TWunCalcolaAnno2025>().InserisciTaglioCuneo(*persona(), *variazione, true, *ritenuteIrpef, *voci);
    EXPECT_EQ(scalar(somma).toCurrency(), euro("53")) << "a sum already paid stays";
}

TEST_F(EsoneroSuArchivio, TheDecemberOneOffSumIsTheMonthsAllowanceTimes87point1)
{
    TdmWunIvc ivc;
    Anno a(2023);
    auto storico = leggi("SELECT FIRST 1 ASTI.IACOMID, ASTI.IMESID AS MES_IMESID, ASTI.IQARID, ASTI.IASTIANZIANITA, "
                         "ASTI.IASTIORESERVIZIO, ASTI.LASTICATTEDRA, ACOM.IACOMOREPREVISTE FROM TASTI_STORICO ASTI "
                         "JOIN TACOM_COMPENSI ACOM ON ACOM.IACOMID = ASTI.IACOMID WHERE ASTI.IMESID = 12 "
                         "AND ACOM.IDCTID = 2 ORDER BY ASTI.IACOMID");
    ASSERT_FALSE(storico->eof());
    const int acomId = storico->fieldByName("IACOMID").asInteger();
    platform::SqlQuery q(db());
    const Currency mese = ivc.ImportoIvc(*storico, q, storico->fieldByName("IQARID").asInteger(), 10071, 6,
                                         storico->fieldByName("IACOMOREPREVISTE").asInteger());
    ASSERT_GT(mese, Currency());
    EXPECT_EQ(a->ImportoUnaTantumDicembre(*liquidazione(12), *persona(1, 1, 0, acomId), 1),
              TwunCalcola::Arrotonda(2, mese * euro("87.1")));
    EXPECT_EQ(a->ImportoUnaTantumDicembre(*liquidazione(11), *persona(1, 1, 0, acomId), 1), Currency());
    EXPECT_EQ(a->ImportoUnaTantumDicembre(*liquidazione(12), *persona(1, 1, 0, acomId), 3), Currency());

    // The 2023 additional amount in the tables of the row's month, on the
    // hours worked.
    const Currency annuo = scalar(
                               "SELECT SUM(CCNL.FCCNLIMPORTO) FROM TCCNL_IMPORTI CCNL JOIN TCCNT_TABELLECCNL CCNT ON "
                               "CCNT.ICCNTID = CCNL.ICCNTID WHERE CCNL.IQARID = 7 AND CCNL.ICOMRID IN (10001, 10002) "
                               "AND CCNT.DCCNTDAL = '2024-01-01'")
                               .toCurrency();
    const Currency aggiuntivo = TwunCalcola::Arrotonda(2,
                                                       TTovCalcola::PercentualeArrotondata(2, annuo, euro("1.5")) / 12);
    auto riga36 = [](int minuti) {
        return riga({"MES_IMESID", "IASTIANZIANITA", "IASTIORESERVIZIO", "LASTICATTEDRA"}, {12, 0, minuti, 0});
    };
    EXPECT_EQ(a->ImportoAggiuntivoAnzianita(*riga36(2160), q, 7, 8, 36), aggiuntivo);
    EXPECT_EQ(a->ImportoAggiuntivoAnzianita(*riga36(1080), q, 7, 8, 36), TwunCalcola::Arrotonda(2, aggiuntivo / 2));
    EXPECT_EQ(a->ImportoAggiuntivoAnzianita(*riga36(2160), q, 7, 8, 0), Currency());
    // Neither in 2024.
    Anno a2024(2024);
    EXPECT_EQ(a2024->ImportoUnaTantumDicembre(*liquidazione(12), *persona(1, 1, 0, acomId), 1), Currency());
    EXPECT_EQ(a2024->ImportoAggiuntivoAnzianita(*riga36(2160), q, 7, 8, 36), Currency());
}
