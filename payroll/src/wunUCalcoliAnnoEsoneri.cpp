// The rules of the year classes 2023 to 2025 of wunUCalcoliAnno: the IVS
// contribution exemption of 2023 and 2024 (items 10074 salary, 10075
// thirteenth month) and its recovery in the declaration, the mothers'
// relief of 2024 (item 10077), the contract amounts of 2023 and the
// tax-wedge cut of 2025 (item 10078 and the additional deduction).
#include "wunUCalcoliAnno.h"

#include "WunUUtil.h"
#include "wunMIVC.h"
#include "wunUCalcoli.h"
#include "wunUCampi.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Format.h"
#include "SqlQuery.h"
#include "UqMessages.h"
#include "tovCQueryText.h"

using platform::Currency;
using platform::DataSet;
using platform::SqlQuery;
using platform::Value;

using namespace wuncampi;

const QString TWunCalcolaAnno2023::MsgVariazionePrecedente = QStringLiteral(
    "Variazione creata prima dell'aggiornamento 22.0.6.\r\nPer calcolare l'esonero IVS corretto bisogna cancellare la "
    "liquidazione e ricrearla.\r\n\r\nSi vuole continuare comunque ?");
const QString TWunCalcolaAnno2023::MsgRitenuteMiste = QStringLiteral(
    "Impossibile applicare il taglio del cuneo fiscale in presenza di ritenute INPS ed ex INPDAP a carico dipendente");
const QString TWunCalcolaAnno2023::MsgRitenuteMisteMese = MsgRitenuteMiste + QStringLiteral(" nel mese");
const QString TWunCalcolaAnno2024::MsgMadriConEsonero = QStringLiteral(
    "Impossibile applicare la decontribuzione madri se nello stesso mese è stato applicato l'esonero IVS L. 197/2022");
const QString TWunCalcolaAnno2024::MsgMadriRitenuteMiste = QStringLiteral(
    "Impossibile applicare la decontribuzione madri in presenza di ritenute INPS ed ex INPDAP a carico dipendente nel "
    "mese");

namespace {

constexpr int kStipendio = TTovCalcolaAnno::COMR_ESONERO_IVS_STIP; // 10074
constexpr int kTredicesima = TTovCalcolaAnno::COMR_ESONERO_IVS_13; // 10075
constexpr int kMadri = TTovCalcolaAnno::COMR_ESONERO_IVS_MADRI;    // 10077
constexpr int kTaglioCuneo = 10078;
// A pay item whose taxable joins the salary's in the exemption.
constexpr int kVoceLaterale = 10076;
constexpr int kGruppoTredicesima = 3;
constexpr int kGruppoTaglioCuneo = 7;

Currency euro(int valore)
{
    return Currency::fromInt(valore);
}

Currency percento(const char *testo)
{
    return Currency::fromString(QLatin1String(testo));
}

bool ritenutaInpdap(int rice)
{
    return rice == TTovCalcola::RICE_COD_INPDAP;
}

bool ritenutaInps(int rice)
{
    return rice == TTovCalcola::RICE_COD_INPS_OI || rice == TTovCalcola::RICE_COD_INPS_PT;
}

// The employee's pension taxables of a liquidation's withholding rows.
struct Imponibili {
    Currency stipendio, tredicesima, laterale;
    int decimali = 2;
    bool inpdap = false;
    bool inps = false;
};

Imponibili imponibiliEsonero(DataSet &ritenute, bool tredicesimaPropria)
{
    Imponibili t;
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        const int rice = intero(ritenute, "IRICEID");
        if (!ritenutaInpdap(rice) && !ritenutaInps(rice))
            continue;
        const Currency aliquota = importo(ritenute, "FVARRALIQUOTADIP");
        const Currency quota = importo(ritenute, "FVARRPERCIMPDIP");
        const Currency imponibile = importo(ritenute, "FVARRIMPONIBILEDIP");
        if (aliquota <= Currency() || quota <= Currency() || imponibile <= Currency())
            continue;
        (ritenutaInpdap(rice) ? t.inpdap : t.inps) = true;
        const Currency parte = TTovCalcola::Percentuale(imponibile, quota);
        const platform::Field *gruppo = ritenute.findField(QStringLiteral("ICOMRGRUPPO"));
        if (intero(ritenute, "ICOMRID") == kVoceLaterale)
            t.laterale += parte;
        else if (gruppo && gruppo->asInteger() == kGruppoTredicesima)
            t.tredicesima += tredicesimaPropria ? parte : Currency();
        else
            t.stipendio += parte;
        t.decimali = intero(ritenute, "IRICEDECIMALIIMP");
    }
    if (t.inpdap && t.inps)
        throw ETovCalcola(TWunCalcolaAnno2023::MsgRitenuteMiste);
    return t;
}

// The pension taxables of the person's other salary liquidations of the
// month (other liquidation kinds, already calculated).
struct AltreLiquidazioni {
    Currency inpdap, inps;

    // Both schemes among them, or the other scheme than this liquidation's.
    bool Miste(bool inpdapQui, bool inpsQui) const
    {
        const bool conInpdap = inpdap > Currency(), conInps = inps > Currency();
        return (conInpdap && conInps) || (conInpdap && inpsQui) || (conInps && inpdapQui);
    }
};

// A statement on the person's other salary liquidations of the month (of
// other liquidation kinds than this one).
SqlQuery &altreLiquidazioniDelMese(SqlQuery &q, const char *nome, const DataSet &persona, const DataSet &liquidazione)
{
    TovQueryText().AssignSQL(QLatin1String(nome), q);
    return q.bind(QStringLiteral("IACOMID"), persona.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("ICOTID"), liquidazione.fieldValue(QStringLiteral("ICOTID")))
        .bind(QStringLiteral("IMESID"), liquidazione.fieldValue(QStringLiteral("IMESID")))
        .bind(QStringLiteral("COS_STIPENDIO"), TwunCalcola::COS_STIPENDIO);
}

AltreLiquidazioni altreLiquidazioni(const DataSet &persona, const DataSet &liquidazione)
{
    SqlQuery q;
    altreLiquidazioniDelMese(q, "QRY_REGS_ESONERO_IVS_ALTRI", persona, liquidazione)
        .bind(QStringLiteral("RICE_COD_INPDAP"), TTovCalcola::RICE_COD_INPDAP)
        .bind(QStringLiteral("RICE_COD_INPS_OI"), TTovCalcola::RICE_COD_INPS_OI)
        .bind(QStringLiteral("RICE_COD_INPS_PT"), TTovCalcola::RICE_COD_INPS_PT);
    AltreLiquidazioni a;
    for (q.open(); !q.eof(); q.next()) {
        const Value totale = q.value(QStringLiteral("TOTALE"));
        const Currency t = totale.isEmpty() ? Currency() : totale.toCurrency();
        (ritenutaInpdap(q.value(QStringLiteral("IRICEID")).toInt()) ? a.inpdap : a.inps) += t;
    }
    return a;
}

bool liquidazioneStipendio(const DataSet &liquidazione)
{
    return intero(liquidazione, "ICOSID") == TwunCalcola::COS_STIPENDIO;
}

int esoneroDisattivato(const DataSet &persona)
{
    return intero(persona, "LACOMDISESONEROIVS");
}

void campo(DataSet &ds, const QString &nome, const Value &valore)
{
    ds.fieldByName(nome).setValue(valore);
}

// Appends the item row of a new liquidation.
void aggiungiVoce(DataSet &voci, int codiceUtente, int voce)
{
    voci.append();
    voci.fieldByName(QStringLiteral("IVACRUSERCODE")).setAsInteger(codiceUtente);
    voci.fieldByName(QStringLiteral("LVACRASSOGGETTATO")).setAsInteger(1);
    if (platform::Field *trattenuta = voci.findField(QStringLiteral("LCOMRTRATTENUTA")))
        trattenuta->setAsInteger(0);
    voci.fieldByName(QStringLiteral("ICOMRID")).setAsInteger(voce);
    voci.post();
}

} // namespace

// ================================================================ 2023

bool TWunCalcolaAnno2023::VociParziali(const DataSet &voci)
{
    return voci.filtered();
}

Currency TWunCalcolaAnno2023::PercentualeEsoneroIvs(int voce, int mese, Currency imponibileMese)
{
    if (imponibileMese <= Currency())
        return Currency();
    const Currency annuo = imponibileMese * 13;
    if (annuo > euro(35000))
        return Currency();
    Currency percentuale = annuo > euro(25000) ? euro(2) : euro(3);
    // From July the salary's exemption is four points higher.
    if (voce == kStipendio && mese > 6)
        percentuale += euro(4);
    return percentuale;
}

QString TWunCalcolaAnno2023::CodiceRecuperoEsonero(int voce, Currency percentuale)
{
    ZEP_ASSERT(voce == kStipendio || voce == kTredicesima,
               QStringLiteral("Codice di recupero: la voce %1 non è un esonero IVS").arg(voce));
    if (percentuale == euro(7))
        return QStringLiteral("49");
    if (percentuale == euro(6))
        return QStringLiteral("48");
    if (percentuale == euro(3))
        return voce == kStipendio ? QStringLiteral("45") : QStringLiteral("47");
    return voce == kStipendio ? QStringLiteral("38") : QStringLiteral("40");
}

Currency TWunCalcolaAnno2023::ImponibileDaEsonero(Currency importo, Currency percentuale)
{
    return TwunCalcola::Arrotonda(
        2, TwunCalcola::Proporzione(importo, euro(100), percentuale,
                                    QStringLiteral("Percentuale dell'esonero IVS non indicata (zero): impossibile "
                                                   "ricavare l'imponibile su cui è stato calcolato")));
}

void TWunCalcolaAnno2023::CompilaRecuperoSgravi(DataSet &dichiarazione, int mese, Currency altroImponibile,
                                                Currency importo, Currency percentuale, int voce)
{
    ZEP_ASSERT(voce == kStipendio || voce == kTredicesima,
               QStringLiteral("Recupero sgravi: la voce %1 non è un esonero IVS").arg(voce));
    const QString prefisso = voce == kStipendio ? QStringLiteral("RecuperoSgravi") : QStringLiteral("RecuperoSgravi13");
    campo(dichiarazione, prefisso + QStringLiteral("AnnoRif"), Value(int(wunAnnoFinanziario().Year())));
    campo(dichiarazione, prefisso + QStringLiteral("MeseRif"), Value(mese));
    campo(dichiarazione, prefisso + QStringLiteral("CodiceRecupero"), Value(CodiceRecuperoEsonero(voce, percentuale)));
    if (voce == kStipendio) {
        campo(dichiarazione, QStringLiteral("RecuperoSgraviAltroImponibile"), Value(altroImponibile));
    } else {
        const Currency tredicesima = ImponibileDaEsonero(importo, percentuale);
        campo(dichiarazione, QStringLiteral("RecuperoSgravi13AltroImponibile"), Value(tredicesima));
        campo(dichiarazione, QStringLiteral("RecuperoSgraviAltroImponibile"), Value(altroImponibile - tredicesima));
    }
    campo(dichiarazione, prefisso + QStringLiteral("Importo"), Value(importo));
}

void TWunCalcolaAnno2023::ApriEsoneriUniemens(SqlQuery &query, int acomId, int mese, const QString &filtro)
{
    query.close();
    query.setSql(
        platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_UNIEMENS_ESONERO_IVS"), QStringLiteral("EXECUTE")),
                         filtro));
    query.bind(QStringLiteral("IACOMID"), acomId)
        .bind(QStringLiteral("IMESID"), mese)
        .bind(QStringLiteral("COMR_ESONERO_IVS_STIP"), kStipendio)
        .bind(QStringLiteral("COMR_ESONERO_IVS_13"), kTredicesima)
        .bind(QStringLiteral("COMR_ESONERO_IVS_MADRI"), kMadri);
    query.open();
}

void TWunCalcolaAnno2023::CompilaEsoneroIvsUniemens(DataSet &dichiarazione, SqlQuery &query, const DataSet &persona,
                                                    const QString &filtro, int mese, Currency altroImponibile)
{
    ApriEsoneriUniemens(query, intero(persona, "IACOMID"), mese, filtro);
    DataSet righe;
    query.fetchInto(righe);
    CompilaRigheEsonero(dichiarazione, righe, mese, altroImponibile);
}

void TWunCalcolaAnno2023::CompilaRigheEsonero(DataSet &dichiarazione, DataSet &righe, int mese,
                                              Currency altroImponibile)
{
    const bool modifica = TTovUtil::EditDataSet(&dichiarazione);
    int precedente = 0;
    bool conTredicesima = false;
    for (righe.first(); !righe.eof(); righe.next()) {
        const int voce = intero(righe, "ICOMRID");
        if (voce == kMadri)
            throw ETovWarning(QStringLiteral("Esonero IVS madri non gestito."));
        if (!EsoneroTredicesima()) {
            if (voce == kTredicesima)
                throw ETovWarning(QStringLiteral("Esonero IVS madri non applicabile per l'anno."));
            ZEP_ASSERT(voce == kStipendio, QStringLiteral("Esonero IVS: voce %1 inattesa").arg(voce));
        }
        if (voce == precedente)
            throw ETovCalcola(QStringLiteral("Percentuali diversi di taglio IVS non gestito."));
        CompilaRecuperoSgravi(dichiarazione, mese, altroImponibile, importo(righe, "FVACRLORDO"),
                              importo(righe, "FVACRPERCESONEROIVS"), voce);
        conTredicesima = conTredicesima || voce == kTredicesima;
        precedente = voce;
    }
    // The thirteenth month's taxable comes off the other taxable, whichever
    // row came first.
    if (conTredicesima)
        campo(dichiarazione, QStringLiteral("RecuperoSgraviAltroImponibile"),
              Value(altroImponibile - importo(dichiarazione, "RecuperoSgravi13AltroImponibile")));
    if (modifica)
        dichiarazione.post();
}

bool TWunCalcolaAnno2023::AggiornaVoceEsonero(DataSet &voci, int voce, Currency valore, Currency percentuale,
                                              bool salva)
{
    if (!voci.locate(QStringLiteral("ICOMRID"), Value(voce))) {
        // Made before the exemption items existed: the user chooses.
        if (UqAskYesNo(MsgVariazionePrecedente))
            return false;
        throw platform::EAbort();
    }
    if (importo(voci, "FVACRLORDO") == valore)
        return true;
    voci.edit();
    impostaImporto(voci, "FVACRLORDO", valore);
    impostaImporto(voci, "FVACRLORDOINTERO", valore);
    impostaImporto(voci, "FVACRPERCESONEROIVS", percentuale);
    voci.post();
    if (salva) {
        SqlQuery q;
        TovQueryText().AssignSQL(QStringLiteral("QRY_VACR_FOND"), q, 0, QStringLiteral("UPDATE"));
        q.bind(QStringLiteral("FVACRLORDO"), valore)
            .bind(QStringLiteral("FVACRLORDOINTERO"), valore)
            .bind(QStringLiteral("FVACRGIORNIFERIE"), Currency())
            .bind(QStringLiteral("FVACRPERCESONEROIVS"), percentuale)
            .bind(QStringLiteral("IVACRID"), voci.fieldValue(QStringLiteral("IVACRID")));
        q.execSQL();
    }
    return true;
}

void TWunCalcolaAnno2023::EsoneroIvsLiquidazione(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                                 const DataSet &persona)
{
    if (!liquidazioneStipendio(liquidazione) || VociParziali(voci))
        return;
    Currency percentualeStipendio, percentualeTredicesima, esoneroStipendio, esoneroTredicesima;
    const int disattivato = esoneroDisattivato(persona);
    if (disattivato != 1 && disattivato != 2) {
        const Imponibili qui = imponibiliEsonero(ritenute, EsoneroTredicesima());
        const AltreLiquidazioni altre = altreLiquidazioni(persona, liquidazione);
        if (altre.Miste(qui.inpdap, qui.inps))
            throw ETovCalcola(MsgRitenuteMisteMese);
        // The month's salary taxable: this liquidation's salary and the
        // other liquidations' (not the thirteenth month, not item 10076).
        const Currency mese = qui.stipendio + altre.inpdap + altre.inps;
        const int meseId = intero(liquidazione, "IMESID");
        percentualeStipendio = PercentualeEsoneroIvs(kStipendio, meseId, mese);
        percentualeTredicesima = PercentualeEsoneroIvs(kTredicesima, meseId, mese);
        if (percentualeStipendio > Currency())
            esoneroStipendio = TTovCalcola::PercentualeArrotondata(2,
                                                                   TwunCalcola::Arrotonda(qui.decimali, qui.stipendio)
                                                                       + TwunCalcola::Arrotonda(qui.decimali,
                                                                                                qui.laterale),
                                                                   percentualeStipendio);
        if (percentualeTredicesima > Currency())
            esoneroTredicesima = TTovCalcola::PercentualeArrotondata(
                2, TwunCalcola::Arrotonda(qui.decimali, qui.tredicesima), percentualeTredicesima);
    }
    if (AggiornaVoceEsonero(voci, kStipendio, esoneroStipendio, percentualeStipendio, salva))
        AggiornaVoceEsonero(voci, kTredicesima, esoneroTredicesima, percentualeTredicesima, salva);
}

void TWunCalcolaAnno2023::CalcolaEsoneroLiquidazione(DataSet &voci, DataSet &ritenute, bool salva,
                                                     DataSet &liquidazione, const DataSet &persona)
{
    EsoneroIvsLiquidazione(voci, ritenute, salva, liquidazione, persona);
}

void TWunCalcolaAnno2023::InserisciVociEsonero(DataSet &voci)
{
    aggiungiVoce(voci, 420, kStipendio);
    aggiungiVoce(voci, 421, kTredicesima);
}

Currency TWunCalcolaAnno2023::ImportoAggiuntivoCCNL(DataSet &ccnl, int qualifica)
{
    Currency somma;
    for (int voce : {TTovCalcola::COMR_STIPENDIO, TTovCalcola::COMR_CCNL_2})
        if (ccnl.locate(QStringLiteral("IQARID;ICOMRID"), platform::ValueList{Value(qualifica), Value(voce)}))
            somma += importo(ccnl, "FCCNLIMPORTO");
    if (somma.isZero())
        return Currency();
    return TwunCalcola::Arrotonda(2, TTovCalcola::PercentualeArrotondata(2, somma, percento("1.5")) / 12);
}

Currency TWunCalcolaAnno2023::ImportoAggiuntivoAnzianita(const DataSet &anzianita, SqlQuery &ccnl, int qualifica,
                                                         int aiuto, int ore)
{
    if (ore == 0)
        return Currency();
    TWunCCNL &tabelle = WunCCNL();
    tabelle.TabellaCCNLMese(intero(anzianita, "MES_IMESID"));
    DataSet importi;
    tabelle.ImportiCorrenti(ccnl, anzianita.fieldValue(QStringLiteral("IASTIANZIANITA")), importi);
    importi.last();
    Currency valore = ImportoAggiuntivoCCNL(importi, qualifica);
    if (TTovCalcola::OrarioRidottoAsti(anzianita, QStringLiteral("ASTI"), ore, aiuto))
        valore = TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(valore, intero(anzianita, "IASTIORESERVIZIO"),
                                                                    qint64(ore) * 60, QString()));
    return valore;
}

Currency TWunCalcolaAnno2023::ImportoUnaTantumDicembre(const DataSet &liquidazione, const DataSet &persona, int tipo)
{
    if (intero(liquidazione, "IMESID") != 12 || (tipo != 1 && tipo != 2))
        return Currency();
    ZEP_ASSERT(dmWunIvc, QStringLiteral("Modulo dell'indennità di vacanza contrattuale non creato"));
    SqlQuery q;
    TovQueryText().AssignSQL(QStringLiteral("QRY_ASTI_IVC"), q);
    q.bind(QStringLiteral("IACOMID"), persona.fieldValue(QStringLiteral("IACOMID"))).bind(QStringLiteral("IMESID"), 12);
    q.open();
    DataSet storico;
    q.fetchInto(storico);
    if (storico.isEmpty())
        return Currency();
    // The code 6 of the hours' proportion of the allowance.
    const Currency ivc = dmWunIvc->ImportoIvc(storico, q, intero(storico, "IQARID"), TTovCalcola::COMR_IVC, 6,
                                              intero(storico, "IACOMOREPREVISTE"));
    // 6.7 months of the allowance on thirteen payments.
    return TwunCalcola::Arrotonda(2, TwunCalcola::Proporzione(ivc, 871, 10, QString()));
}

// ================================================================ 2024

Currency TWunCalcolaAnno2024::PercentualeEsoneroIvs(int, int, Currency imponibileMese)
{
    if (imponibileMese <= Currency())
        return Currency();
    const Currency annuo = imponibileMese * 13;
    if (annuo > euro(35000))
        return Currency();
    return annuo > euro(25000) ? euro(6) : euro(7);
}

QString TWunCalcolaAnno2024::CodiceRecuperoEsonero(int voce, Currency percentuale)
{
    if (voce == kTredicesima)
        return QStringLiteral("57");
    ZEP_ASSERT(voce == kStipendio && (percentuale == euro(7) || percentuale == euro(6)),
               QStringLiteral("Codice di recupero: voce %1 con percentuale %2 inattese")
                   .arg(voce)
                   .arg(percentuale.toString()));
    return percentuale == euro(7) ? QStringLiteral("49") : QStringLiteral("48");
}

void TWunCalcolaAnno2024::CompilaRecuperoSgravi(DataSet &dichiarazione, int mese, Currency altroImponibile,
                                                Currency valore, Currency percentuale, int voce)
{
    ZEP_ASSERT(voce == kStipendio, QStringLiteral("Recupero sgravi %1: solo la voce 10074").arg(voce));
    const int anno = wunAnnoFinanziario().Year();
    campo(dichiarazione, QStringLiteral("RecuperoSgraviAnnoRif"), Value(anno));
    campo(dichiarazione, QStringLiteral("RecuperoSgraviMeseRif"), Value(mese));
    campo(dichiarazione, QStringLiteral("RecuperoSgraviCodiceRecupero"),
          Value(CodiceRecuperoEsonero(voce, percentuale)));
    campo(dichiarazione, QStringLiteral("RecuperoSgraviImporto"), Value(valore));
    if (valore == TTovCalcola::PercentualeArrotondata(2, altroImponibile, percentuale)) {
        campo(dichiarazione, QStringLiteral("RecuperoSgraviAltroImponibile"), Value(altroImponibile));
        return;
    }
    // Part of the taxable is thirteenth month, which has no exemption.
    const Currency stipendio = ImponibileDaEsonero(valore, percentuale);
    campo(dichiarazione, QStringLiteral("RecuperoSgravi13AnnoRif"), Value(anno));
    campo(dichiarazione, QStringLiteral("RecuperoSgravi13MeseRif"), Value(mese));
    campo(dichiarazione, QStringLiteral("RecuperoSgravi13CodiceRecupero"),
          Value(CodiceRecuperoEsonero(kTredicesima, percentuale)));
    campo(dichiarazione, QStringLiteral("RecuperoSgraviAltroImponibile"), Value(stipendio));
    campo(dichiarazione, QStringLiteral("RecuperoSgravi13AltroImponibile"), Value(altroImponibile - stipendio));
    campo(dichiarazione, QStringLiteral("RecuperoSgravi13Importo"), Value(Currency()));
}

bool TWunCalcolaAnno2024::DecontribuzioneMadriAmmessa(const DataSet &persona, QString &messaggio) const
{
    const int tipo = intero(persona, "ITNOID");
    const bool ammessa = intero(persona, "ISEXID") == 2 && (tipo == 1 || tipo == 2);
    messaggio = ammessa ? QString()
                        : QStringLiteral("La decontribuzione madri è utilizzabile solo da lavoratrici con contratto a "
                                         "tempo indeterminato");
    return ammessa;
}

void TWunCalcolaAnno2024::DecontribuzioneMadri(DataSet &voci, DataSet &ritenute, bool salva, DataSet &liquidazione,
                                               const DataSet &persona)
{
    if (!liquidazioneStipendio(liquidazione) || VociParziali(voci))
        return;
    QString messaggio;
    if (!DecontribuzioneMadriAmmessa(persona, messaggio))
        throw ETovCalcola(messaggio);

    // The whole employee pension contribution of the liquidation.
    Currency base, aliquota;
    int decimali = 2;
    bool inpdap = false, inps = false;
    for (ritenute.first(); !ritenute.eof(); ritenute.next()) {
        const int rice = intero(ritenute, "IRICEID");
        if ((!ritenutaInpdap(rice) && !ritenutaInps(rice)) || importo(ritenute, "FVARRRITDIP") <= Currency())
            continue;
        (ritenutaInpdap(rice) ? inpdap : inps) = true;
        base += TTovCalcola::Percentuale(importo(ritenute, "FVARRIMPONIBILEDIP"), importo(ritenute, "FVARRPERCIMPDIP"));
        decimali = intero(ritenute, "IRICEDECIMALIIMP");
        aliquota = importo(ritenute, "FVARRALIQUOTADIP");
    }
    if (inpdap && inps)
        throw ETovCalcola(MsgRitenuteMiste);
    Currency sgravio;
    if (!base.isZero() && !aliquota.isZero())
        sgravio = TTovCalcola::PercentualeArrotondata(2, TwunCalcola::Arrotonda(decimali, base), aliquota);

    if (sgravio > Currency()) {
        SqlQuery q;
        altreLiquidazioniDelMese(q, "QRY_REGS_ESONERO_MADRI_ALTRI", persona, liquidazione)
            .bind(QStringLiteral("COMR_ESONERO_IVS_STIP"), kStipendio)
            .bind(QStringLiteral("COMR_ESONERO_IVS_13"), kTredicesima)
            .bind(QStringLiteral("COMR_ESONERO_IVS_MADRI"), kMadri);
        Currency giaMadri, giaEsonero;
        for (q.open(); !q.eof(); q.next()) {
            const Value totale = q.value(QStringLiteral("TOTALE"));
            const Currency t = totale.isEmpty() ? Currency() : totale.toCurrency();
            (q.value(QStringLiteral("ICOMRID")).toInt() == kMadri ? giaMadri : giaEsonero) += t;
        }
        q.close();
        const Currency spazio = euro(TettoMadriMese) - giaMadri;
        if (spazio > Currency()) {
            sgravio = std::min(sgravio, spazio);
            if (giaEsonero > Currency())
                throw ETovCalcola(MsgMadriConEsonero);
            if (altreLiquidazioni(persona, liquidazione).Miste(inpdap, inps))
                throw ETovCalcola(MsgMadriRitenuteMiste);
            AggiornaVoceEsonero(voci, kMadri, sgravio, Currency(), salva);
            return;
        }
    }
    // Nothing due (no contribution, or the month's ceiling reached
    // elsewhere): an amount left by an earlier calculation goes.
    const Value prima = voci.lookup(QStringLiteral("ICOMRID"), {Value(kMadri)}, QStringLiteral("FVACRLORDO"));
    if (!prima.isEmpty() && !prima.toCurrency().isZero())
        AggiornaVoceEsonero(voci, kMadri, Currency(), Currency(), salva);
}

void TWunCalcolaAnno2024::CalcolaEsoneroLiquidazione(DataSet &voci, DataSet &ritenute, bool salva,
                                                     DataSet &liquidazione, const DataSet &persona)
{
    if (esoneroDisattivato(persona) == 2)
        DecontribuzioneMadri(voci, ritenute, salva, liquidazione, persona);
    else
        EsoneroIvsLiquidazione(voci, ritenute, salva, liquidazione, persona);
}

void TWunCalcolaAnno2024::InserisciVociEsonero(DataSet &voci)
{
    TWunCalcolaAnno2023::InserisciVociEsonero(voci);
    aggiungiVoce(voci, 420, kMadri);
}

Currency TWunCalcolaAnno2024::ImportoAggiuntivoCCNL(DataSet &, int)
{
    return Currency();
}

Currency TWunCalcolaAnno2024::ImportoAggiuntivoAnzianita(const DataSet &, SqlQuery &, int, int, int)
{
    return Currency();
}

Currency TWunCalcolaAnno2024::ImportoUnaTantumDicembre(const DataSet &, const DataSet &, int)
{
    return Currency();
}

// ================================================================ 2025

Currency TWunCalcolaAnno2025::PercentualeTaglioCuneo(Currency reddito)
{
    if (reddito <= Currency() || reddito > euro(20000))
        return Currency();
    if (reddito > euro(15000))
        return percento("4.8");
    if (reddito > Currency::fromString(QStringLiteral("8500")))
        return percento("5.3");
    return percento("7.1");
}

void TWunCalcolaAnno2025::CalcolaTaglioCuneo(const DataSet &persona, Currency &valore, bool perRata, Currency reddito,
                                             Currency &percentuale)
{
    valore = Currency();
    percentuale = Currency();
    const int disattivato = esoneroDisattivato(persona);
    if (!TaglioCuneoAttivo() || disattivato == 1 || disattivato == 2)
        return;
    percentuale = PercentualeTaglioCuneo(reddito);
    if (percentuale.isZero())
        return;
    if (perRata)
        reddito = TwunCalcola::Arrotonda(
            2, TwunCalcola::Proporzione(reddito, 1, NumeroMensilita(persona),
                                        QStringLiteral("Numero di mensilità nullo: impossibile ripartire il reddito")));
    valore = TTovCalcola::PercentualeArrotondata(2, reddito, percentuale);
}

void TWunCalcolaAnno2025::CompilaTaglioCuneoConguaglio(const DataSet &persona, DataSet &conguaglio)
{
    Currency valore, percentuale;
    CalcolaTaglioCuneo(persona, valore, false, importo(conguaglio, "FCONGIMPNETTO"), percentuale);
    const bool modifica = TTovUtil::EditDataSet(&conguaglio);
    impostaImporto(conguaglio, "FCONGTAGLIO_CUNEO_FISC_DOV", valore);
    impostaImporto(conguaglio, "FCONGTAGLIO_CUNEO_FISC_PERC", percentuale);
    if (modifica)
        conguaglio.post();
}

void TWunCalcolaAnno2025::InserisciTaglioCuneo(const DataSet &persona, DataSet &liquidazione, bool perRata,
                                               DataSet &ritenute, DataSet &voci)
{
    const Currency reddito = RedditoAnnuoPresunto(persona, ritenute);
    SqlQuery q;
    TovQueryText().AssignSQL(QStringLiteral("QRY_VACR_GRUPPO"), q, 0, QStringLiteral("SELECT"));
    q.bind(QStringLiteral("IVARMID"), intero(liquidazione, "IVARMID"))
        .bind(QStringLiteral("ICOMRGRUPPO"), kGruppoTaglioCuneo);
    // A wedge sum already paid in the liquidation stays as it is.
    for (q.open(); !q.eof(); q.next())
        if (q.value(QStringLiteral("FVACRLORDOINTERO")).toCurrency() > Currency())
            return;
    q.close();
    Currency valore, percentuale;
    CalcolaTaglioCuneo(persona, valore, perRata, reddito, percentuale);
    if (!liquidazioneStipendio(liquidazione))
        return;
    if (intero(liquidazione, "IVARMID") > 0)
        TwunCalcola::AggiornaOInserisciVoce(q, liquidazione, percentuale, valore, 5, kTaglioCuneo);
    else
        TwunCalcola::ImpostaLordoVoceConPerc(q, persona, percentuale, valore, kTaglioCuneo, voci);
}

void TWunCalcolaAnno2025::CalcolaEsoneroLiquidazione(DataSet &, DataSet &, bool, DataSet &, const DataSet &persona)
{
    if (esoneroDisattivato(persona) == 2)
        throw EUqError(QStringLiteral("Esonero per madri lavoratrici non ancora abilitato per l'anno corrente"));
}

void TWunCalcolaAnno2025::InserisciVociEsonero(DataSet &) {}

bool TWunCalcolaAnno2025::DecontribuzioneMadriAmmessa(const DataSet &persona, QString &messaggio) const
{
    const int tipo = intero(persona, "ITNOID");
    const bool ammessa = intero(persona, "ISEXID") == 2 && ((tipo >= 1 && tipo <= 8) || tipo == 16);
    messaggio = ammessa ? QString()
                        : QStringLiteral("La decontribuzione madri è utilizzabile solo da lavoratrici con contratto a "
                                         "tempo determinato ed indeterminato");
    return ammessa;
}

Currency TWunCalcolaAnno2025::UlterioreDetrazione(const DataSet &detrazioni, const DataSet &persona, Currency reddito,
                                                  const DataSet *liquidazione)
{
    if (intero(persona, "IACOMBONUS66ECC") != 0)
        return Currency();
    return TWunCalcolaAnno2024::UlterioreDetrazione(detrazioni, persona, reddito, liquidazione)
           + UlterioreDetrazioneCuneo(detrazioni, persona, reddito);
}

Currency TWunCalcolaAnno2025::UlterioreDetrazioneCuneo(const DataSet &detrazioni, const DataSet &persona,
                                                       Currency reddito)
{
    const int disattivato = esoneroDisattivato(persona);
    if (disattivato == 1 || disattivato == 2)
        return Currency();
    // The employee-income deduction asked for (1) or not said (empty).
    const platform::Field *lavoro = detrazioni.findField(QStringLiteral("LADETLAVDIP"));
    if (!lavoro)
        lavoro = persona.findField(QStringLiteral("LADETLAVDIP"));
    if (lavoro && !lavoro->isNull() && lavoro->asInteger() != 1)
        return Currency();
    ApriTabella(m_tdcu, QStringLiteral("QRY_TDCU"));
    Currency detrazione;
    if (!CercaScaglione(m_tdcu, QStringLiteral("ITDCUUSERCODE > 0"), detrazione, QStringLiteral("FTDCUDETRAZIONE"),
                        QStringLiteral("FTDCUSCAGLIONE"), reddito))
        return Currency();
    // The falling bracket: nothing left at 40,000.00.
    if (intero(m_tdcu, "ITDCUUSERCODE") == 2)
        detrazione = TwunCalcola::Proporzione(detrazione, euro(40000) - reddito, euro(8000), QString());
    ZEP_ASSERT(detrazione >= Currency(),
               QStringLiteral("Ulteriore detrazione negativa per il reddito %1").arg(reddito.toString()));
    return detrazione;
}
