#include "wunUCalcoliAnno.h"

#include "WunUUtil.h"
#include "wunUCalcoli.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Format.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"
#include "tovUUtil.h"

#include <QDate>

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

namespace {

std::unique_ptr<TWunCalcolaAnno> &oggettoCorrente()
{
    static std::unique_ptr<TWunCalcolaAnno> oggetto;
    return oggetto;
}

Currency euro(int valore)
{
    return Currency::fromInt(valore);
}

Currency aliquota(const char *testo)
{
    return Currency::fromString(QLatin1String(testo));
}

const QString kFiltroDueGruppi = QStringLiteral(" AND COMR.ICOMRGRUPPO IN (%d,%d)");

} // namespace

TWunCalcolaAnno::~TWunCalcolaAnno() = default;

// ================================================================ factory

void TWunCalcolaAnno::CreaPerAnno(int anno)
{
    TTovCalcolaAnno::SelezionaAnno(anno);
    std::unique_ptr<TWunCalcolaAnno> &corrente = oggettoCorrente();
    corrente.reset();
    if (anno < 2005)
        corrente = std::make_unique<TWunCalcolaAnno2004>();
    else if (anno <= 2006)
        corrente = std::make_unique<TWunCalcolaAnno2005>();
    else if (anno == 2007)
        corrente = std::make_unique<TWunCalcolaAnno2007>();
    else if (anno == 2008)
        corrente = std::make_unique<TWunCalcolaAnno2008>();
    else if (anno == 2009)
        corrente = std::make_unique<TWunCalcolaAnno2009>();
    else if (anno <= 2013)
        corrente = std::make_unique<TWunCalcolaAnno2010>();
    else if (anno == 2014)
        corrente = std::make_unique<TWunCalcolaAnno2014>();
    else if (anno <= 2016)
        corrente = std::make_unique<TWunCalcolaAnno2015>();
    else if (anno == 2017)
        corrente = std::make_unique<TWunCalcolaAnno2017>();
    else if (anno == 2018)
        corrente = std::make_unique<TWunCalcolaAnno2018>();
    else if (anno == 2019)
        corrente = std::make_unique<TWunCalcolaAnno2019>();
    else if (anno == 2020)
        corrente = std::make_unique<TWunCalcolaAnno2020>();
    else if (anno == 2021)
        corrente = std::make_unique<TWunCalcolaAnno2021>();
    else if (anno == 2022)
        corrente = std::make_unique<TWunCalcolaAnno2022>();
    else if (anno == 2023)
        corrente = std::make_unique<TWunCalcolaAnno2023>();
    else if (anno == 2024)
        corrente = std::make_unique<TWunCalcolaAnno2024>();
    else
        corrente = std::make_unique<TWunCalcolaAnno2025>();
}

void TWunCalcolaAnno::Rilascia()
{
    oggettoCorrente().reset();
}

TWunCalcolaAnno &WunCalcolaAnno()
{
    ZEP_ASSERT(oggettoCorrente(),
               QStringLiteral("Regole dell'anno non impostate: scegliere l'anno di lavoro prima del calcolo"));
    return *oggettoCorrente();
}

bool WunCalcolaAnnoPresente()
{
    return bool(oggettoCorrente());
}

// ================================================================ neutral answers

void TWunCalcolaAnno::CalcolaTaglioCuneo(const DataSet &, Currency &, bool, Currency, Currency &) {}

Currency TWunCalcolaAnno::CalcolaBonusIrpef(SqlQuery &, DataSet &, DataSet *, DataSet &, DataSet &, DataSet &,
                                            const DataSet &)
{
    return Currency();
}

Currency TWunCalcolaAnno::DetrazioneAggiuntivaLavDip(int) const
{
    return Currency();
}
void TWunCalcolaAnno::CompilaTaglioCuneoConguaglio(const DataSet &, DataSet &) {}
void TWunCalcolaAnno::InserisciTaglioCuneo(const DataSet &, DataSet &, bool, DataSet &, DataSet &) {}
bool TWunCalcolaAnno::VoceAnnoAttiva() const
{
    return true;
}
bool TWunCalcolaAnno::TaglioCuneoAttivo() const
{
    return false;
}
void TWunCalcolaAnno::CompilaEsoneroIvsUniemens(DataSet &, SqlQuery &, const DataSet &, const QString &, int, Currency)
{
}
bool TWunCalcolaAnno::EsoneroIvsAttivo() const
{
    return false;
}
bool TWunCalcolaAnno::SoggettoEnpalsAnagrafica(SqlQuery &, int)
{
    return false;
}
int TWunCalcolaAnno::GiorniPeriodoBonus() const
{
    return 0;
}

Currency TWunCalcolaAnno::TrattamentoIntegrativoAnnuo(const DataSet &, int, Currency, Currency)
{
    return Currency();
}

int TWunCalcolaAnno::MeseInizioBonus() const
{
    return 0;
}
QString TWunCalcolaAnno::NomeQueryAnno(const QString &nome) const
{
    return nome;
}
bool TWunCalcolaAnno::Regole2008() const
{
    return false;
}
Currency TWunCalcolaAnno::DetrazioneFamiliariTeorica(DataSet &, DataSet &)
{
    return Currency();
}
void TWunCalcolaAnno::CalcolaConguaglio(const DataSet &, DataSet &, SqlQuery &, DataSet &, DataSet &, DataSet &) {}
bool TWunCalcolaAnno::Regole2009() const
{
    return false;
}
bool TWunCalcolaAnno::Regole2014() const
{
    return false;
}
bool TWunCalcolaAnno::VoceGiaLiquidata(SqlQuery &, int, int, int, int)
{
    return false;
}
bool TWunCalcolaAnno::RegimeDeduzioni() const
{
    return true;
}
void TWunCalcolaAnno::CalcolaDeduzioni(const DataSet &, DataSet &, DataSet *) {}
bool TWunCalcolaAnno::Regole2004() const
{
    return false;
}
QString TWunCalcolaAnno::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCongBase");
}
QString TWunCalcolaAnno::NomeFormDetrazioniFamiliari() const
{
    return QStringLiteral("TfmwunTdfa");
}
void TWunCalcolaAnno::ImpostaFormDetrazioni(QObject *, bool) {}

Currency TWunCalcolaAnno::CalcolaBonusMese(SqlQuery &query, DataSet &detrazioni, DataSet *conguaglio, DataSet &ritenute,
                                           DataSet &voci, DataSet &liquidazione, const DataSet &persona)
{
    return TwunCalcola::Arrotonda(2, CalcolaBonusIrpef(query, detrazioni, conguaglio, ritenute, voci, liquidazione,
                                                       persona));
}

void TWunCalcolaAnno::CalcolaDetrazioni(const DataSet &, DataSet &, DataSet *, DataSet &, DataSet *, int) {}
void TWunCalcolaAnno::ChiudiTabelle() {}
void TWunCalcolaAnno::ControllaFigli(const Value &, bool &, QString &) {}

void TWunCalcolaAnno::RipartisciDetrazioni(SqlQuery &, DataSet &detrazioni, int numeroPaghe, const DataSet *,
                                           const DataSet &)
{
    if (numeroPaghe == 0)
        throw ETovCalcola(TwunCalcola::MsgNumeroPaghe);
    const bool modifica = TTovUtil::EditDataSet(&detrazioni);
    platform::Field &lavoro = detrazioni.fieldByName(QStringLiteral("FADETIMPLAVDIP"));
    lavoro.setAsCurrency(TwunCalcola::Arrotonda(2, lavoro.asCurrency() / numeroPaghe));
    if (modifica)
        detrazioni.post();
}

bool TWunCalcolaAnno::Regole2010() const
{
    return false;
}
QString TWunCalcolaAnno::NomeQueryVersione(const QString &nome) const
{
    return nome;
}

Currency TWunCalcolaAnno::AliquotaContributo(const DataSet &persona, int tipo, int mese)
{
    Currency risultato;
    switch (tipo) {
    case 1: risultato = importo(persona, "FACOMIRAP"); break;
    case 3:
        risultato = importo(persona, "FACOMINPS");
        if (TTovCalcolaEnpals::SoggettoEnpals(persona) > 0) {
            if (risultato > Currency())
                throw ETovWarning(
                    QStringLiteral("Non è possibile essere soggetti ad ex ENPALS ed INPS contemporaneamente"));
            if (intero(persona, "ITNOID") == TwunCalcola::TNO_COLLABORATORE)
                throw ETovWarning(QStringLiteral("Non è possibile assoggettare ex ENPALS a collaboratori"));
        }
        break;
    case 4: risultato = importo(persona, "FACOMINAIL"); break;
    default: break;
    }
    if (ApplicaInpsAggiuntiva(persona, mese, tipo))
        risultato += AliquotaInpsAggiuntiva();
    return risultato;
}

Currency TWunCalcolaAnno::AliquotaInpsAggiuntiva() const
{
    return Currency();
}
bool TWunCalcolaAnno::ApplicaInpsAggiuntiva(const DataSet &, int, int) const
{
    return false;
}
bool TWunCalcolaAnno::AliquotaCollaboratoreSenzaDisColl(int, Currency) const
{
    return false;
}
void TWunCalcolaAnno::RecuperaInpsCollaboratori(const DataSet &, const DataSet &, DataSet &) {}

void TWunCalcolaAnno::MostraControlliInps(int codice, const Value &, IWunCasella &prima, IWunCasella &seconda)
{
    seconda.Mostra(true);
    seconda.Abilita(true);
    if (seconda.StatoDati() == platform::DataSetState::Browse)
        seconda.Imposta(!TTovCalcola::TnoNonStipendio(codice));
    prima.Mostra(false);
    prima.Abilita(false);
    prima.Imposta(false);
}

Currency TWunCalcolaAnno::AdeguaAliquotaInps(int, Currency aliquota) const
{
    return aliquota;
}
int TWunCalcolaAnno::CodiceTipoPredefinito()
{
    return 32;
}
bool TWunCalcolaAnno::Regole2020() const
{
    return false;
}
int TWunCalcolaAnno::AdeguaNumeroMensilita(int numero) const
{
    return numero;
}
void TWunCalcolaAnno::AdeguaFigliNucleo(int, int &, int &, int &) const {}
bool TWunCalcolaAnno::BonusUnaTantumAttivi() const
{
    return false;
}

Currency TWunCalcolaAnno::CalcolaBonusUnaTantum(SqlQuery &, const DataSet &, DataSet &, DataSet &, DataSet &)
{
    return Currency();
}

Currency TWunCalcolaAnno::ImportoAggiuntivoCCNL(DataSet &, int)
{
    return Currency();
}
Currency TWunCalcolaAnno::ImportoAggiuntivoAnzianita(const DataSet &, SqlQuery &, int, int, int)
{
    return Currency();
}
bool TWunCalcolaAnno::Regole2023() const
{
    return false;
}
bool TWunCalcolaAnno::Regole2024() const
{
    return false;
}
void TWunCalcolaAnno::CalcolaEsoneroLiquidazione(DataSet &, DataSet &, bool, DataSet &, const DataSet &) {}
void TWunCalcolaAnno::InserisciVociEsonero(DataSet &) {}

void TWunCalcolaAnno::FiltroGruppiVoci(QString &testo) const
{
    testo = platform::format(kFiltroDueGruppi, 1, 2);
}

std::unique_ptr<DataSet> TWunCalcolaAnno::EsoneriIvs(int, int, int)
{
    return nullptr;
}
Currency TWunCalcolaAnno::ImportoUnaTantumDicembre(const DataSet &, const DataSet &, int)
{
    return Currency();
}

bool TWunCalcolaAnno::DecontribuzioneMadriAmmessa(const DataSet &, QString &messaggio) const
{
    messaggio.clear();
    return false;
}

// ================================================================ helpers

void TWunCalcolaAnno::ApriTabella(TUqQueryCollection &tabella, const QString &statement)
{
    tabella.SetConnection(nullptr);
    if (tabella.isActive())
        return;
    TovQueryText().AssignCommand(statement, tabella, QStringLiteral("SELECT"));
    if (platform::Param *anno = tabella.params().findParam(QStringLiteral("IANFID")))
        anno->setValue(wunAnnoFinanziario().Id());
    tabella.Open();
}

bool TWunCalcolaAnno::CercaScaglione(DataSet &tabella, const QString &filtro, Currency &detrazione,
                                     const QString &campoDetrazione, const QString &prefisso, Currency reddito)
{
    tabella.setFilter(filtro);
    tabella.setFiltered(true);
    const QString superiore = prefisso + QLatin1Char('A');
    tabella.setIndexFieldNames(superiore);
    tabella.first();
    if (tabella.eof())
        return false;
    if (!(tabella.fieldByName(prefisso + QStringLiteral("DA")).asCurrency() < reddito))
        return false;
    while (!tabella.eof() && reddito > tabella.fieldByName(superiore).asCurrency())
        tabella.next();
    if (tabella.eof())
        return false;
    detrazione += tabella.fieldByName(campoDetrazione).asCurrency();
    return true;
}

Currency TWunCalcolaAnno::CoefficienteDeduzione(const DataSet &tabella, const DataSet &persona, Currency base,
                                                Currency reddito)
{
    const Currency fisso = importo(tabella, "FTDEDIMPORTOFISSO");
    if (fisso.isZero())
        throw ETovCalcola(QStringLiteral(
            "Importo fisso delle deduzioni (FTDEDIMPORTOFISSO) non indicato per l'anno: impossibile calcolare il "
            "coefficiente di deduzione"));
    const Currency numeratore = fisso + base + importo(persona, "FACOMONERIDEDUC") - reddito
                                - importo(persona, "FACOMCREDITOIMP");
    // Cut, not rounded, to four decimals: integer division truncates.
    return Currency::fromRaw(int64_t((__int128(numeratore.raw()) * Currency::Scale) / fisso.raw()));
}

Currency TWunCalcolaAnno::ApplicaCoefficiente(Currency importo, Currency coefficiente)
{
    if (coefficiente < Currency())
        return Currency();
    if (coefficiente < euro(1))
        return TwunCalcola::Arrotonda(2, importo * coefficiente);
    return TwunCalcola::Arrotonda(2, importo);
}

Currency TWunCalcolaAnno::NoTaxArea(const DataSet &tabella, int giorni, bool proporzionale, Currency &base)
{
    const Currency basePiena = importo(tabella, "FTDEDBASENOTAXAREA");
    const Currency aggiuntiva = importo(tabella, "FTDEDAGGNOTAXAREA");
    const QString anno = QStringLiteral("Giorni dell'anno");
    if (giorni == 365) {
        base = basePiena;
        return basePiena + aggiuntiva;
    }
    if (proporzionale) {
        base = TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(basePiena, giorni, 365, anno));
        return TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(basePiena + aggiuntiva, giorni, 365, anno));
    }
    base = basePiena;
    return basePiena + TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(aggiuntiva, giorni, 365, anno));
}

void TWunCalcolaAnno::ApriTabellaDeduzioni(TUqQueryCollection &tabella)
{
    ApriTabella(tabella, QStringLiteral("QRY_TDED"));
}

Currency TWunCalcolaAnno::RedditoAnnuoPresunto(const DataSet &persona, DataSet &ritenute)
{
    const Currency reddito = importo(persona, "FACOMREDDITOCOMP");
    if (!reddito.isZero())
        return reddito;
    if (!ritenute.locate(QStringLiteral("IRICEID"), Value(TwunCalcola::RICE_COD_IRPEF)))
        throw ETovCalcola(
            QStringLiteral("Ritenuta IRPEF (7) non presente nella liquidazione: impossibile stimare il reddito annuo"));
    return TwunCalcola::Arrotonda(2, importo(ritenute, "FVARRIMPONIBILEDIP") * qint64(NumeroPagheReddito(persona)));
}

int TWunCalcolaAnno::NumeroPagheReddito(const DataSet &persona)
{
    const int paghe = intero(persona, "IACOMNUMPAGHE");
    const int tipo = intero(persona, "ITNOID");
    if (paghe == 12 && tipo != 8 && tipo != TwunCalcola::TNO_COLLABORATORE && tipo != 17)
        return 13;
    return paghe;
}

int TWunCalcolaAnno::NumeroMensilita(const DataSet &persona)
{
    const int tipo = intero(persona, "ITNOID");
    if (tipo == TwunCalcola::TNO_COLLABORATORE)
        return TwunCalcola::NumeroPaghe(persona);
    const int paghe = intero(persona, "IACOMNUMPAGHE");
    if (paghe != 0)
        return paghe;
    return tipo == 8 ? 9 : 12;
}

// ================================================================ the years

bool TWunCalcolaAnno2004::RegimeDetrazioni() const
{
    return true;
}
bool TWunCalcolaAnno2004::Regole2004() const
{
    return true;
}

bool TWunCalcolaAnno2005::RegimeDetrazioni() const
{
    return false;
}
QString TWunCalcolaAnno2005::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCong2005");
}

// ---- 2007 ----

TWunCalcolaAnno2007::TWunCalcolaAnno2007() = default;
TWunCalcolaAnno2007::~TWunCalcolaAnno2007() = default;

bool TWunCalcolaAnno2007::RegimeDetrazioni() const
{
    return true;
}
bool TWunCalcolaAnno2007::RegimeDeduzioni() const
{
    return false;
}
QString TWunCalcolaAnno2007::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCong2007");
}
QString TWunCalcolaAnno2007::NomeFormDetrazioniFamiliari() const
{
    return QStringLiteral("TfmwunTdfa2007");
}

void TWunCalcolaAnno2007::ChiudiTabelle()
{
    m_tdla.close();
    m_tdco.close();
    m_tdfa.close();
}

bool TWunCalcolaAnno2008::Regole2008() const
{
    return true;
}

// ---- 2009 ----

TWunCalcolaAnno2009::TWunCalcolaAnno2009() = default;
TWunCalcolaAnno2009::~TWunCalcolaAnno2009() = default;

bool TWunCalcolaAnno2009::Regole2009() const
{
    return true;
}

bool TWunCalcolaAnno2009::VoceGiaLiquidata(SqlQuery &query, int voce, int acomId, int cotId, int mese)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_VACR_BY_ICOMRID"), query);
    query.bind(QStringLiteral("ICOMRID"), voce)
        .bind(QStringLiteral("IACOMID"), acomId)
        .bind(QStringLiteral("ICOTID"), cotId)
        .bind(QStringLiteral("IMESID"), mese);
    query.open();
    const bool trovata = !query.eof();
    query.close();
    return trovata;
}

QString TWunCalcolaAnno2009::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCong2009");
}

void TWunCalcolaAnno2009::ChiudiTabelle()
{
    TWunCalcolaAnno2008::ChiudiTabelle();
    m_tdca.close();
}

bool TWunCalcolaAnno2010::Regole2009() const
{
    return false;
}
bool TWunCalcolaAnno2010::Regole2010() const
{
    return true;
}

// ---- 2014: the income bonus ----

bool TWunCalcolaAnno2014::Regole2014() const
{
    return true;
}
QString TWunCalcolaAnno2014::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCong2014");
}

int TWunCalcolaAnno2014::MensilitaGiaPagate(SqlQuery &query, const DataSet &persona, const DataSet &liquidazione)
{
    return TwunCalcola::PaghePagate(query, persona, liquidazione);
}

bool TWunCalcolaAnno2014::BonusNonSpettanteNelMese(const DataSet &liquidazione) const
{
    return intero(liquidazione, "IMESID") < 6;
}

Currency TWunCalcolaAnno2014::ImportoBonusAnnuo() const
{
    return euro(640);
}
Currency TWunCalcolaAnno2014::SogliaPienaBonus() const
{
    return euro(24000);
}
Currency TWunCalcolaAnno2014::SogliaMassimaBonus() const
{
    return euro(26000);
}

bool TWunCalcolaAnno2015::BonusNonSpettanteNelMese(const DataSet &) const
{
    return false;
}
Currency TWunCalcolaAnno2015::ImportoBonusAnnuo() const
{
    return euro(960);
}

// ---- 2017: the collaborators' additional INPS rate ----

QString TWunCalcolaAnno2017::NomeQueryVersione(const QString &nome) const
{
    return nome + QStringLiteral("_2017");
}

Currency TWunCalcolaAnno2017::AliquotaInpsAggiuntiva() const
{
    return aliquota("0.51");
}

bool TWunCalcolaAnno2017::ApplicaInpsAggiuntiva(const DataSet &persona, int mese, int tipo) const
{
    return AliquotaInpsAggiuntiva() > Currency() && tipo == 3 && mese > 6 && intero(persona, "LACOMINPSAGG") == 1
           && importo(persona, "FACOMINPS") == aliquota("32.72")
           && intero(persona, "ITNOID") == TwunCalcola::TNO_COLLABORATORE;
}

bool TWunCalcolaAnno2017::AliquotaCollaboratoreSenzaDisColl(int tipoRapporto, Currency aliquotaInps) const
{
    return aliquotaInps == aliquota("32.72") && tipoRapporto == TwunCalcola::TNO_COLLABORATORE;
}

bool TWunCalcolaAnno2017::InpsAggiuntivaNelMese(int mese) const
{
    return mese > 6;
}

Currency TWunCalcolaAnno2018::AliquotaInpsAggiuntiva() const
{
    return Currency();
}
bool TWunCalcolaAnno2018::ApplicaInpsAggiuntiva(const DataSet &, int, int) const
{
    return false;
}
void TWunCalcolaAnno2018::RecuperaInpsCollaboratori(const DataSet &, const DataSet &, DataSet &) {}

Currency TWunCalcolaAnno2018::AdeguaAliquotaInps(int tipoRapporto, Currency aliquotaInps) const
{
    if (tipoRapporto == TwunCalcola::TNO_COLLABORATORE && aliquotaInps == aliquota("33.72"))
        return aliquota("34.23");
    return aliquotaInps;
}

Currency TWunCalcolaAnno2018::SogliaPienaBonus() const
{
    return euro(24600);
}
Currency TWunCalcolaAnno2018::SogliaMassimaBonus() const
{
    return euro(26600);
}
bool TWunCalcolaAnno2018::InpsAggiuntivaNelMese(int mese) const
{
    return mese < 8;
}

QString TWunCalcolaAnno2019::NomeQueryAnno(const QString &nome) const
{
    if (nome == QStringLiteral("QRY_CNT_AMM"))
        return QStringLiteral("QRY_CNT_AMM_VER");
    throw ETovWarning(QStringLiteral("Query non trovata:") + nome);
}

bool TWunCalcolaAnno2019::InpsAggiuntivaNelMese(int) const
{
    return false;
}

// ---- 2020: the integrative payment ----

int TWunCalcolaAnno2020::GiorniPeriodoBonus() const
{
    return int(QDate(2020, MeseInizioBonus(), 1).daysTo(QDate(2020, 12, 31))) + 1;
}

int TWunCalcolaAnno2020::MeseInizioBonus() const
{
    return 7;
}
QString TWunCalcolaAnno2020::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCong2020");
}
bool TWunCalcolaAnno2020::Regole2020() const
{
    return true;
}
int TWunCalcolaAnno2020::MensilitaGiaPagate(SqlQuery &, const DataSet &, const DataSet &)
{
    return 0;
}

Currency TWunCalcolaAnno2020::QuotaUlterioreDetrazione() const
{
    return euro(120);
}
Currency TWunCalcolaAnno2020::ImportoTrattamentoIntegrativo() const
{
    return euro(600);
}
Currency TWunCalcolaAnno2020::SogliaTrattamentoIntegrativo() const
{
    return euro(28000);
}


int TWunCalcolaAnno2021::GiorniPeriodoBonus() const
{
    return 365;
}
bool TWunCalcolaAnno2021::Regole2020() const
{
    return false;
}
Currency TWunCalcolaAnno2021::QuotaUlterioreDetrazione() const
{
    return euro(240);
}
Currency TWunCalcolaAnno2021::ImportoTrattamentoIntegrativo() const
{
    return euro(1200);
}
Currency TWunCalcolaAnno2021::SogliaRedditoTrattamento() const
{
    return SogliaTrattamentoIntegrativo();
}

// ---- 2022 ----

bool TWunCalcolaAnno2022::SoggettoEnpalsAnagrafica(SqlQuery &query, int acomId)
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANAFISC"), query, 0, QStringLiteral("SELECT"));
    query.bind(QStringLiteral("IACOMID"), acomId);
    query.open();
    DataSet riga;
    query.fetchInto(riga);
    riga.first();
    return !riga.eof() && TTovCalcolaEnpals::SoggettoEnpals(riga) > 0;
}

Currency TWunCalcolaAnno2022::AdeguaAliquotaInps(int tipoRapporto, Currency aliquotaInps) const
{
    if (tipoRapporto == TwunCalcola::TNO_COLLABORATORE && aliquotaInps == aliquota("33.72"))
        return aliquota("35.03");
    return aliquotaInps;
}

int TWunCalcolaAnno2022::AdeguaNumeroMensilita(int numero) const
{
    return std::max(numero, 12);
}

void TWunCalcolaAnno2022::AdeguaFigliNucleo(int mese, int &figli1, int &figli2, int &figli3) const
{
    // From March 2022 the single allowance replaces the family one.
    if (mese >= 3)
        figli1 = figli2 = figli3 = 0;
}

bool TWunCalcolaAnno2022::BonusUnaTantumAttivi() const
{
    return true;
}
Currency TWunCalcolaAnno2022::QuotaUlterioreDetrazione() const
{
    return Currency();
}
Currency TWunCalcolaAnno2022::SogliaTrattamentoIntegrativo() const
{
    return Currency();
}
Currency TWunCalcolaAnno2022::SogliaRedditoTrattamento() const
{
    return SogliaPienaTrattamento();
}
Currency TWunCalcolaAnno2022::SogliaPienaTrattamento() const
{
    return euro(15000);
}
Currency TWunCalcolaAnno2022::SogliaMassimaTrattamento() const
{
    return euro(28000);
}

// ---- 2022: the one-off bonuses ----

const QList<int> TWunCalcolaAnno2022::VociImponibileBonus150{10001, 10002, 10003, 10004, 10016, 10018,
                                                             10025, 10049, 10053, 10055, 10070, 10071};
const QString TWunCalcolaAnno2022::MsgBonus150NonLiquidato = QStringLiteral(
    "Impossibile liquidare il Bonus 150 Euro.\r\nLa retribuzione del mese di novembre 2022 non è stata "
    "liquidata o non ha base imponibile.");
const QString TWunCalcolaAnno2022::MsgBonus150Soglia = QStringLiteral(
    "La retribuzione imponibile del mese di novembre 2022 supera 1.538 euro");

Currency TWunCalcolaAnno2022::CalcolaBonusUnaTantum(SqlQuery &query, const DataSet &persona, DataSet &righeCorrenti,
                                                    DataSet &liquidazione, DataSet &voci)
{
    const int mese = intero(liquidazione, "IMESID");
    const int cot = intero(liquidazione, "ICOTID");
    const int acom = intero(persona, "IACOMID");
    if (mese == 7 && intero(persona, "LACOMBONUS2002022") == 1
        && !VoceBonusPresente(query, VoceBonus200, acom, cot, mese)) {
        InserisciVoceBonus(query, voci, VoceBonus200, euro(200), liquidazione);
        return euro(200);
    }
    if ((mese == 11 || mese == 12) && intero(persona, "LACOMBONUS1502022") == 1
        && !VoceBonusPresente(query, VoceBonus150, acom, cot, mese)) {
        // In November this liquidation's own rows are not stored yet: they
        // join the other liquidations of the month.
        const Currency imponibile = mese == 12 ? ImponibileBonus150(acom, 0)
                                               : ImponibileBonus150(acom, cot) + SommaImponibileBonus150(righeCorrenti);
        if (imponibile <= Currency())
            throw ETovCalcola(MsgBonus150NonLiquidato);
        if (imponibile > euro(1538))
            throw ETovCalcola(MsgBonus150Soglia);
        InserisciVoceBonus(query, voci, VoceBonus150, euro(150), liquidazione);
        return euro(150);
    }
    return Currency();
}

bool TWunCalcolaAnno2022::VoceBonusPresente(SqlQuery &query, int voce, int acomId, int cotId, int mese)
{
    return VoceGiaLiquidata(query, voce, acomId, cotId, mese);
}

void TWunCalcolaAnno2022::InserisciVoceBonus(SqlQuery &query, DataSet &voci, int voce, Currency importo,
                                             DataSet &liquidazione)
{
    ZEP_ASSERT(!voci.locate(QStringLiteral("ICOMRID"), Value(voce)),
               QStringLiteral("Voce %1 già presente nella liquidazione").arg(voce));
    TwunCalcola::InserisciVoce(query, voce, importo, Currency(), voci);
    if (platform::Field *imponibile = voci.findField(QStringLiteral("FVACRIMPONIBILE"))) {
        voci.edit();
        imponibile->setAsCurrency(Currency());
        voci.post();
    }
    const bool modifica = TTovUtil::EditDataSet(&liquidazione);
    platform::Field &lordo = liquidazione.fieldByName(QStringLiteral("FREGSTOTALELORDO"));
    lordo.setAsCurrency(lordo.asCurrency() + importo);
    if (modifica)
        liquidazione.post();
}

Currency TWunCalcolaAnno2022::ImponibileBonus150(int acomId, int cotId)
{
    SqlQuery query;
    TovQueryText().AssignSQL(QStringLiteral("QRY_REGS_VARR_BONUS_150_IMP"), query);
    query.bind(QStringLiteral("IACOMID"), acomId)
        .bind(QStringLiteral("IMESID"), 11)
        .bind(QStringLiteral("COS_STIPENDIO"), TTovCalcola::COMR_STIPENDIO)
        .bind(QStringLiteral("ICOTID"), cotId)
        .bind(QStringLiteral("RICE_COD_INPS_OI"), TTovCalcola::RICE_COD_INPS_OI)
        .bind(QStringLiteral("RICE_COD_INPS_PT"), TTovCalcola::RICE_COD_INPS_PT);
    query.open();
    DataSet righe;
    query.fetchInto(righe);
    return SommaImponibileBonus150(righe);
}

Currency TWunCalcolaAnno2022::SommaImponibileBonus150(DataSet &r)
{
    Currency somma;
    for (r.first(); !r.eof(); r.next()) {
        const int rice = intero(r, "IRICEID");
        const Currency imponibile = importo(r, "FVARRIMPONIBILEAMM");
        if (VociImponibileBonus150.contains(intero(r, "ICOMRID"))
            && (rice == TTovCalcola::RICE_COD_INPS_OI || rice == TTovCalcola::RICE_COD_INPS_PT)
            && imponibile > Currency())
            somma += imponibile;
    }
    return TwunCalcola::Arrotonda(0, somma);
}

// ---- 2023: the IVS exemption ----

bool TWunCalcolaAnno2023::EsoneroIvsAttivo() const
{
    return true;
}
bool TWunCalcolaAnno2023::Regole2023() const
{
    return true;
}
int TWunCalcolaAnno2023::AdeguaNumeroMensilita(int numero) const
{
    return numero;
}

void TWunCalcolaAnno2023::AdeguaFigliNucleo(int, int &figli1, int &figli2, int &figli3) const
{
    figli1 = figli2 = figli3 = 0;
}

bool TWunCalcolaAnno2023::BonusUnaTantumAttivi() const
{
    return false;
}

Currency TWunCalcolaAnno2023::CalcolaBonusUnaTantum(SqlQuery &, const DataSet &, DataSet &, DataSet &, DataSet &)
{
    return Currency();
}

void TWunCalcolaAnno2023::FiltroGruppiVoci(QString &testo) const
{
    // Group 6 holds the exemption items.
    testo = platform::format(QStringLiteral(" AND COMR.ICOMRGRUPPO IN (%d,%d,%d)"), 1, 2, 6);
}

std::unique_ptr<DataSet> TWunCalcolaAnno2023::EsoneriIvs(int mese, int cotId, int gruppo)
{
    return TovCalcolaAnno().EsoneriIvs(mese, cotId, gruppo, wunAnnoFinanziario().Id());
}

bool TWunCalcolaAnno2023::EsoneroTredicesima() const
{
    return true;
}

// ---- 2024 ----

Currency TWunCalcolaAnno2024::DetrazioneAggiuntivaLavDip(int giorni) const
{
    const Currency annua = euro(75);
    if (giorni <= 0)
        return Currency();
    if (giorni > 364)
        return annua;
    return TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(annua, giorni, 365, QString()));
}

bool TWunCalcolaAnno2024::Regole2024() const
{
    return true;
}
bool TWunCalcolaAnno2024::EsoneroTredicesima() const
{
    return false;
}

// ---- 2025: the tax-wedge cut ----

TWunCalcolaAnno2025::TWunCalcolaAnno2025() = default;
TWunCalcolaAnno2025::~TWunCalcolaAnno2025() = default;

bool TWunCalcolaAnno2025::TaglioCuneoAttivo() const
{
    return true;
}
QString TWunCalcolaAnno2025::NomeFrameConguaglio() const
{
    return QStringLiteral("TfrWunCong2025");
}

void TWunCalcolaAnno2025::FiltroGruppiVoci(QString &testo) const
{
    TWunCalcolaAnno::FiltroGruppiVoci(testo);
}

void TWunCalcolaAnno2025::ChiudiTabelle()
{
    TWunCalcolaAnno2024::ChiudiTabelle();
    m_tdcu.close();
}
