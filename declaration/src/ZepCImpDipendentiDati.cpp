// The rest of an employee row of the private-sector import: the IVS
// contribution exemption, the six week slots, the day codes of the month,
// paid and contributed days, part-time hours and useful weeks, the minimum
// pay, the family allowance and the one-off bonus of 2022.
#include "ZepCImpMultiSelect.h"

#include "WunUUtil.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"
#include "tovUUtil.h"
#include "wunUCalcNucleoFam.h"
#include "wunUCalcoli.h"
#include "wunUCalcoliAnno.h"
#include "wunUCalcoliFond.h"
#include "zepMDisCalcola.h"

#include "Field.h"
#include "Format.h"
#include "ZepULayoutNomi.h"

#include <QBitArray>
#include <QStringList>
#include <algorithm>

using platform::Currency;
using platform::DataSet;

const QString TZepImpMultiSelect::MsgSettimaneUtili = QStringLiteral(
    "Impossibile calcolare le settimane utili per %s %s.\r\nControllare \"Orari/Riduzioni\" nella pagina \"Altri "
    "dati\" dello storico:\r\ndeve esistere almeno un periodo part-time e il campo \"Den.\" deve essere impostato .");
const QString TZepImpMultiSelect::MsgEsoneroPartTime = QStringLiteral(
    "Calcolo Esonero IVS non possibile in caso di periodo part-time ed orario intero nel mese.\r\nSistemare "
    "manualmente o rieseguire l'import spuntando 'Considera part-time come intero'");

namespace {

constexpr int ComrAnfStipendio = 10006;
constexpr int SettimaneMassime = 600;

platform::Field &campo(DataSet &ds, const QString &nome)
{
    return ds.fieldByName(nome);
}

// Saturday ends a week; the month's last day ends its last one.
QDate fineSettimana(QDate giorno, QDate ultimo)
{
    const QDate sabato = giorno.addDays((Qt::Saturday - giorno.dayOfWeek() + 7) % 7);
    return std::min(sabato, ultimo);
}

} // namespace

// ---------------------------------------------------------------- rules

QList<TZepImpMultiSelect::TSettimana> TZepImpMultiSelect::Settimane(int anno, int mese,
                                                                    const QList<std::pair<QDate, QDate>> &periodi)
{
    const QDate primo = TTovDate::FirstDayOfMonth(anno, mese);
    const QDate ultimo = TTovDate::LastDayOfMonth(anno, mese);
    const int w1 = TTovDate::WeekOfYear(primo);
    const int wn = TTovDate::WeekOfYear(ultimo);
    QList<TSettimana> settimane;
    QDate fine = fineSettimana(primo, ultimo);
    for (int i = 1; i <= 6; ++i) {
        settimane.append(TSettimana{w1 + i - 1, fine, false});
        if (w1 + i - 1 == wn)
            break;
        fine = fineSettimana(fine.addDays(1), ultimo);
    }
    for (const auto &[dal, al] : periodi) {
        const QDate da = std::max(dal, primo);
        const QDate a = std::min(al, ultimo);
        if (a < da)
            continue;
        for (int i = TTovDate::WeekOfYear(da) - w1; i <= TTovDate::WeekOfYear(a) - w1; ++i)
            if (i >= 0 && i < settimane.size())
                settimane[i].coperta = true;
    }
    return settimane;
}

int TZepImpMultiSelect::GiorniCoperti(int anno, int mese, const QList<std::pair<QDate, QDate>> &periodi)
{
    const QDate primo = TTovDate::FirstDayOfMonth(anno, mese);
    const QDate ultimo = TTovDate::LastDayOfMonth(anno, mese);
    QBitArray coperti(ultimo.day() + 1);
    for (const auto &[dal, al] : periodi)
        for (QDate d = std::max(dal, primo); d <= std::min(al, ultimo); d = d.addDays(1))
            coperti.setBit(d.day());
    return int(coperti.count(true));
}

QString TZepImpMultiSelect::TipoAnf(const QString &tabella)
{
    QString tipo = tabella;
    const qsizetype t = tipo.indexOf(QLatin1Char('T'));
    if (t >= 0)
        tipo.remove(t, 1);
    return tipo;
}

QString TZepImpMultiSelect::CausaleEsonero(int voce, Currency percentuale)
{
    const bool ridotta = percentuale == Currency::fromInt(3) || percentuale == Currency::fromInt(7);
    if (voce == TTovCalcolaAnno::COMR_ESONERO_IVS_13)
        return ridotta ? QStringLiteral("L100") : QStringLiteral("L095");
    return ridotta ? QStringLiteral("L098") : QStringLiteral("L094");
}

// ---------------------------------------------------------------- the steps

namespace {

// The (filtered) periods of the row as dates.
QList<std::pair<QDate, QDate>> periodiDelRigo(DataSet &vape)
{
    QList<std::pair<QDate, QDate>> periodi;
    for (vape.first(); !vape.eof(); vape.next())
        periodi.append({vape.fieldByName(QStringLiteral("DVAPEDAL")).asDate(),
                        vape.fieldByName(QStringLiteral("DVAPEAL")).asDate()});
    return periodi;
}

} // namespace

void TZepImpMultiSelect::CalcolaEsoneroIvs(Currency base)
{
    platform::SqlQuery &esoneri = Istruzione(QStringLiteral("QRY_UNIEMENS_ESONERO_IVS"));
    TWunCalcolaAnno2023::ApriEsoneriUniemens(esoneri, xqcMultiSelect.fieldByName(QStringLiteral("IACOMID")).asInteger(),
                                             Mese(), QString());
    DataSet righe;
    esoneri.fetchInto(righe);
    esoneri.close();
    if (!righe.isEmpty() && m_esoneroFatto) {
        Notifica().Messaggio(Cognome() + QLatin1Char(' ') + Nome() + QStringLiteral("\r\n\r\n") + MsgEsoneroPartTime,
                             platform::MessageType::Warning);
        return;
    }
    m_esoneroFatto = true;
    int precedente = 0;
    for (righe.first(); !righe.eof(); righe.next()) {
        const int voce = righe.fieldByName(QStringLiteral("ICOMRID")).asInteger();
        if (voce == TTovCalcolaAnno::COMR_ESONERO_IVS_MADRI)
            throw ETovWarning(QStringLiteral("Esonero IVS madri non gestito."));
        if (voce == precedente)
            throw ETovCalcola(QStringLiteral("Percentuali diversi di taglio IVS non gestito."));
        precedente = voce;
        const Currency importo = righe.fieldByName(QStringLiteral("FVACRLORDO")).asCurrency();
        const Currency percentuale = righe.fieldByName(QStringLiteral("FVACRPERCESONEROIVS")).asCurrency();
        const bool tredicesima = voce == TTovCalcolaAnno::COMR_ESONERO_IVS_13;
        const QString suffisso = tredicesima ? QStringLiteral("13") : QString();
        campo(cdsImport, QStringLiteral("EsoneroIVS%1CodiceCausale").arg(suffisso))
            .setAsString(CausaleEsonero(voce, percentuale));
        if (tredicesima) {
            const Currency base13 = TWunCalcolaAnno2023::ImponibileDaEsonero(importo, percentuale);
            campo(cdsImport, layouts::TEMD_DIPENDENTI::EsoneroIVS13BaseRif).setAsCurrency(base13);
            campo(cdsImport, layouts::TEMD_DIPENDENTI::EsoneroIVSBaseRif).setAsCurrency(base - base13);
        } else {
            campo(cdsImport, layouts::TEMD_DIPENDENTI::EsoneroIVSBaseRif).setAsCurrency(base);
        }
        campo(cdsImport, QStringLiteral("EsoneroIVS%1Importo").arg(suffisso)).setAsCurrency(importo);
    }
}

void TZepImpMultiSelect::CalcolaSettimane()
{
    const QList<TSettimana> settimane = Settimane(wunAnnoFinanziario().Year(),
                                                  xqcMultiSelect.fieldByName(QStringLiteral("MESE_FINALE")).asInteger(),
                                                  periodiDelRigo(xqcVape));
    for (int i = 0; i < settimane.size(); ++i) {
        const QString n = QString::number(i + 1);
        campo(cdsImport, QStringLiteral("IdSettimana_") + n).setAsInteger(settimane[i].id);
        campo(cdsImport, QStringLiteral("SettFinoA_") + n).setAsDate(settimane[i].finoA);
        if (settimane[i].coperta)
            campo(cdsImport, QStringLiteral("TipoCopertura_") + n).setAsString(QStringLiteral("X"));
    }
}

void TZepImpMultiSelect::CalcolaGiorniMese()
{
    if (!DenunciaDal2011())
        return;
    QStringList ids;
    for (xqcVape.first(); !xqcVape.eof(); xqcVape.next())
        ids << QString::number(xqcVape.fieldByName(QStringLiteral("IVAPEID")).asInteger());
    if (ids.isEmpty())
        return;
    if (!m_calendario)
        m_calendario = std::make_unique<TdmZePDisCalcola>(&Connessione());
    TdmZePDisCalcola &calendario = *m_calendario;
    calendario.SetAnno(wunAnnoFinanziario().Year());
    calendario.ImpostaDataSet(&xqcMultiSelect, nullptr, nullptr);
    calendario.SetPeriodi(ids.join(QLatin1Char(',')));
    calendario.ApriPeriodi();
    const int assunzione = campo(cdsImport, layouts::TEMD_DIPENDENTI::GiornoAssunzione).asInteger();
    const int cessazione = campo(cdsImport, layouts::TEMD_DIPENDENTI::GiornoCessazione).asInteger();
    const QDate inizio = DataGiornoMeseDenuncia(assunzione > 0 ? assunzione : 1);
    const QDate fine = DataGiornoMeseDenuncia(cessazione > 0 ? cessazione : GiorniMeseDenuncia());
    calendario.ApriPTVerticale(xqcMultiSelect.fieldByName(QStringLiteral("IANACAGID")).asInteger(), fine, inizio);
    campo(cdsImport, layouts::TEMD_DIPENDENTI::GIORNI).setAsString(calendario.CalcolaGiorni());
    platform::Field &qualifica2 = campo(cdsImport, layouts::TEMD_DIPENDENTI::Qualifica2);
    if (qualifica2.asString() == QLatin1String("P")) {
        const int tipo = calendario.TipoPartTime();
        if (tipo == TdmZePDisCalcola::PartTimeVerticale)
            qualifica2.setAsString(QStringLiteral("V"));
        else if (tipo == TdmZePDisCalcola::PartTimeMisto)
            qualifica2.setAsString(QStringLiteral("M"));
    }
}

void TZepImpMultiSelect::GiorniOreInps(int codice, int &giorni, Currency &ore)
{
    platform::SqlQuery &inps = Istruzione(QStringLiteral("QRY_CUD_INPS_VAIN"));
    TovQueryText().AssignSQL(QStringLiteral("QRY_CUD_INPS_VAIN"), inps);
    inps.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("IRICEID"), codice)
        .bind(QStringLiteral("MESE_INIZIALE"), xqcMultiSelect.fieldValue(QStringLiteral("MESE_INIZIALE")))
        .bind(QStringLiteral("MESE_FINALE"), xqcMultiSelect.fieldValue(QStringLiteral("MESE_FINALE")));
    inps.open();
    giorni = inps.eof() ? 0 : inps.value(QStringLiteral("IVAINGIORNI")).toInt();
    ore = inps.eof() ? Currency() : inps.value(QStringLiteral("FVAINORE")).toCurrency();
    inps.close();
}

void TZepImpMultiSelect::CalcolaGiorni(int codice)
{
    int giorni = 0;
    Currency ore;
    GiorniOreInps(codice, giorni, ore);
    if (PtComeIntero()) {
        int giorniPt = 0;
        GiorniOreInps(TTovCalcola::RICE_COD_INPS_PT, giorniPt, ore);
        giorni += giorniPt;
    }
    // The E-Mens table has no contributed days.
    if (!EMens())
        campo(cdsImport, layouts::TEMD_DIPENDENTI::GiorniContribuiti).setAsInteger(giorni);
    const platform::Field &giorniInps = Parametro(QStringLiteral("GIORNIINPS"));
    const bool dalleInps = !giorniInps.isNull() && giorniInps.asBoolean();
    campo(cdsImport, layouts::TEMD_DIPENDENTI::GiorniRetribuiti)
        .setAsInteger(dalleInps ? giorni
                                : GiorniCoperti(wunAnnoFinanziario().Year(),
                                                xqcMultiSelect.fieldByName(QStringLiteral("MESE_FINALE")).asInteger(),
                                                periodiDelRigo(xqcVape)));
}

void TZepImpMultiSelect::CalcolaOreEMinimale(int codice)
{
    const bool partTime = codice == TTovCalcola::RICE_COD_INPS_PT;
    if (partTime) {
        int giorni = 0;
        Currency ore;
        GiorniOreInps(codice, giorni, ore);
        campo(cdsImport, layouts::TEMD_DIPENDENTI::OreContribuite)
            .setAsInteger(int(TwunCalcola::ArrotondaPari(0, ore * 100).truncated()));
        CalcolaSettimaneUtili(ore);
    }

    const Currency giornaliero = TwunCalcolaFond::MinimaleInps(Istruzione(QStringLiteral("QRY_RICA_MIN_INPS")),
                                                               cdsCompenso);
    Currency minimo;
    const int oreContribuite = campo(cdsImport, layouts::TEMD_DIPENDENTI::OreContribuite).asInteger();
    const int orario = campo(cdsImport, layouts::TEMD_DIPENDENTI::OrarioContrattuale).asInteger();
    const int giorniContribuiti = campo(cdsImport, layouts::TEMD_DIPENDENTI::GiorniContribuiti).asInteger();
    if (partTime && oreContribuite > 0 && orario > 0) {
        // Both in hundredths of an hour: the hourly minimum is six days'
        // minimum over the weekly contract hours, to the cent.
        const Currency orarioMinimo = TwunCalcola::Arrotonda(
            2, TwunCalcola::Proporzione(TwunCalcola::Arrotonda(2, giornaliero), 600, orario, MsgOrariRiduzioni));
        minimo = TwunCalcola::Proporzione(orarioMinimo, oreContribuite, 100, MsgOrariRiduzioni);
    } else if (!partTime && giorniContribuiti > 0) {
        minimo = TwunCalcolaFond::MinimaleGiornaliero(giorniContribuiti, giornaliero);
    }
    const Currency imponibile =
        TwunCalcola::Arrotonda(0, campo(cdsImport, layouts::TEMD_DIPENDENTI::Imponibile).asCurrency());
    if (minimo > imponibile + Currency::fromInt(1))
        campo(cdsImport, layouts::TEMD_DIPENDENTI::RispettoMinimale).setAsString(QStringLiteral("S"));
}

void TZepImpMultiSelect::CalcolaSettimaneUtili(Currency ore)
{
    // The divisor is tested first: a period without contract hours leaves
    // the useful weeks out, with a message, and the row goes on.
    xqcVape.first();
    const int previste = xqcVape.eof() ? 0 : xqcVape.fieldByName(QStringLiteral("IVAPEOREPREVISTE")).asInteger();
    if (previste > 0) {
        const qint64 settimane = TwunCalcola::ArrotondaPari(0, ore * 100, previste).truncated();
        campo(cdsImport, layouts::TEMD_DIPENDENTI::SettimaneUtili)
            .setAsInteger(int(std::min<qint64>(settimane, SettimaneMassime)));
    } else {
        Notifica().Messaggio(platform::format(MsgSettimaneUtili,
                                              campo(cdsImport, layouts::TEMD_DIPENDENTI::Cognome).asString(),
                                              campo(cdsImport, layouts::TEMD_DIPENDENTI::Nome).asString()),
                             platform::MessageType::Error);
    }
}

void TZepImpMultiSelect::CalcolaAnf()
{
    const int mese = xqcMultiSelect.fieldByName(QStringLiteral("MESE_FINALE")).asInteger();
    const int acom = xqcMultiSelect.fieldByName(QStringLiteral("IACOMID")).asInteger();
    platform::SqlQuery &anf = Istruzione(QStringLiteral("QRY_EMENS_ANF"));
    TovQueryText().AssignSQL(QStringLiteral("QRY_EMENS_ANF"), anf);
    anf.bind(QStringLiteral("IACOMID"), acom)
        .bind(QStringLiteral("COMR_ANF_STIPENDIO"), ComrAnfStipendio)
        .bind(QStringLiteral("IMESID"), mese);
    anf.open();
    const bool pagato = !anf.eof();
    anf.close();
    if (!pagato)
        return;
    TwunCalcNucleoFam::TRisultato r;
    TwunCalcNucleoFam::CalcolaAssegno(wunAnnoFinanziario().Year(), mese, r, acom);
    if (r.importo <= Currency())
        return;
    campo(cdsImport, layouts::TEMD_DIPENDENTI::TipoANF).setAsString(TipoAnf(r.tabella));
    campo(cdsImport, layouts::TEMD_DIPENDENTI::NumANF).setAsInteger(r.nucleo);
    campo(cdsImport, layouts::TEMD_DIPENDENTI::ClasseANF).setAsInteger(r.classe);
}

void TZepImpMultiSelect::CalcolaBonus()
{
    if (m_bonusFatto)
        return;
    m_bonusFatto = true;
    int voce = 0;
    if (MeseDenuncia == QLatin1String("07"))
        voce = TWunCalcolaAnno2022::VoceBonus200;
    else if (MeseDenuncia == QLatin1String("11") || MeseDenuncia == QLatin1String("12"))
        voce = TWunCalcolaAnno2022::VoceBonus150;
    else
        return;
    const int acom = xqcMultiSelect.fieldByName(QStringLiteral("IACOMID")).asInteger();
    platform::SqlQuery &bonus = Istruzione(QStringLiteral("QRY_EMENS_VACR_BONUS"));
    TovQueryText().AssignSQL(QStringLiteral("QRY_EMENS_VACR_BONUS"), bonus);
    bonus.bind(QStringLiteral("IMESID"), Mese())
        .bind(QStringLiteral("IACOMID"), acom)
        .bind(QStringLiteral("ICOMRID"), voce);
    bonus.open();
    const Currency importo = bonus.eof() ? Currency() : bonus.value(QStringLiteral("FVACRLORDO")).toCurrency();
    bonus.close();
    if (importo <= Currency())
        return;
    campo(cdsImport, layouts::TEMD_DIPENDENTI::BonusUTImporto).setAsCurrency(importo);
    if (voce == TWunCalcolaAnno2022::VoceBonus200) {
        campo(cdsImport, layouts::TEMD_DIPENDENTI::BonusUTMese).setAsInteger(Mese());
    } else {
        campo(cdsImport, layouts::TEMD_DIPENDENTI::BonusUTMese).setAsInteger(11);
        // A class operation: whatever the working year's rule object is.
        campo(cdsImport, layouts::TEMD_DIPENDENTI::BonusUTBaseRif)
            .setAsCurrency(TWunCalcolaAnno2022::ImponibileBonus150(acom, 0));
    }
}
