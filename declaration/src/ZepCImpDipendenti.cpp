// The employee rows of the private-sector import (TEMD_DIPENDENTI): the
// pay periods of the month, one row per working-time kind with its amounts,
// contract hours, theoretical pay, hire and termination, and the accessory
// pay on its own company number.
#include "ZepCImpMultiSelect.h"

#include "WunUUtil.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"
#include "tovUUtil.h"
#include "wunUCalcoli.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "ZepULayoutNomi.h"

#include <QHash>

using platform::Currency;
using platform::DataSet;
using platform::Value;

namespace {

const QString FiltroTempoPieno = QStringLiteral("LVAPEPARTTIME = 0 OR LVAPEPARTTIME IS NULL");
const QString FiltroPartTime = QStringLiteral("LVAPEPARTTIME = 1");
const QString Execute = QStringLiteral("EXECUTE");

constexpr int TipoAccessori3 = 3;
constexpr int TipoAccessori4 = 4;

int intero(const DataSet &ds, const char *campo)
{
    return ds.fieldByName(QLatin1String(campo)).asInteger();
}

// Whole euros: the amount rounded to units half away from zero, as an
// amount.
Currency euroInteri(Currency importo)
{
    return Currency::fromInt(TwunCalcola::Arrotonda(0, importo).truncated());
}

} // namespace

TZepImpMultiSelect::Somme &TZepImpMultiSelect::Somme::operator+=(const Somme &altre)
{
    imponibile += altre.imponibile;
    contributo += altre.contributo;
    return *this;
}

QString TZepImpMultiSelect::Qualifica2(int codice)
{
    return codice == TTovCalcola::RICE_COD_INPS_OI ? QStringLiteral("F") : QStringLiteral("P");
}

bool TZepImpMultiSelect::PartTime(const QString &qualifica2)
{
    return qualifica2 == QLatin1String("P") || qualifica2 == QLatin1String("V") || qualifica2 == QLatin1String("M");
}

QString TZepImpMultiSelect::CodiceContratto(int anno, int mese)
{
    return anno > 2022 || (anno == 2022 && mese > 1) ? QStringLiteral("CPUB") : QStringLiteral("EP");
}

bool TZepImpMultiSelect::TrovaRiga(DataSet &righe, const QString &codiceFiscale, const QString &periodo, int codice,
                                   const QString &matricola)
{
    const QString campi = QStringLiteral("CFLavoratore;AnnoMeseDenuncia;Qualifica2;Matricola");
    // The weeks step turns a part-time "P" into "V" or "M": the row is the
    // person's part-time row whatever its kind.
    const QStringList tipi = codice == TTovCalcola::RICE_COD_INPS_OI
                                 ? QStringList{QStringLiteral("F")}
                                 : QStringList{QStringLiteral("P"), QStringLiteral("V"), QStringLiteral("M")};
    for (const QString &tipo : tipi)
        if (righe.locate(campi, {Value(codiceFiscale), Value(periodo), Value(tipo), Value(matricola)}))
            return true;
    return false;
}

// ---------------------------------------------------------------- the person

void TZepImpMultiSelect::ImportaDipendente()
{
    m_esoneroFatto = false;
    m_bonusFatto = false;
    ApriPeriodi();
    m_somme = SommeInps::Leggi(Istruzione(QStringLiteral("QRY_EMENS_SOMME_INPS")), xqcMultiSelect);
    if (PtComeIntero()) {
        RigaDipendente(TTovCalcola::RICE_COD_INPS_OI, QString());
    } else {
        RigaDipendente(TTovCalcola::RICE_COD_INPS_OI, FiltroTempoPieno);
        RigaDipendente(TTovCalcola::RICE_COD_INPS_PT, FiltroPartTime);
    }
    xqcVape.close();
    RigaAccessori(TTovCalcola::RICE_COD_INPS_OI);
    if (!PtComeIntero())
        RigaAccessori(TTovCalcola::RICE_COD_INPS_PT);
}

void TZepImpMultiSelect::ApriPeriodi()
{
    xqcVape.close();
    xqcVape.setFiltered(false);
    xqcVape.setFilter(QString());
    xqcVape.setIndexFieldNames(QString());
    TovQueryText().AssignCommand(QStringLiteral("QRY_EMENS_VAPE"), xqcVape, Execute);
    xqcVape.params().paramByName(QStringLiteral("IMESID")).setValue(Mese());
    xqcVape.params()
        .paramByName(QStringLiteral("IACOMID"))
        .setValue(xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    xqcVape.Open();

    // A period without its start or end takes those of its register when it
    // is the register's only period; otherwise the history is incomplete.
    QHash<int, int> periodiDelRegistro;
    for (xqcVape.first(); !xqcVape.eof(); xqcVape.next())
        ++periodiDelRegistro[intero(xqcVape, "IREGSID")];
    for (xqcVape.first(); !xqcVape.eof(); xqcVape.next()) {
        platform::Field &dal = xqcVape.fieldByName(QStringLiteral("DVAPEDAL"));
        platform::Field &al = xqcVape.fieldByName(QStringLiteral("DVAPEAL"));
        if ((dal.isNull() || al.isNull()) && periodiDelRegistro.value(intero(xqcVape, "IREGSID")) == 1) {
            xqcVape.edit();
            if (dal.isNull())
                dal.setValue(xqcVape.fieldValue(QStringLiteral("DREGSDAL")));
            if (al.isNull())
                al.setValue(xqcVape.fieldValue(QStringLiteral("DREGSAL")));
            xqcVape.post();
        }
        if (dal.isNull() || al.isNull())
            throw EUqError(MsgOrariRiduzioni);
    }
    xqcVape.setIndexFieldNames(QStringLiteral("DVAPEDAL"));
}

// ---------------------------------------------------------------- one row

void TZepImpMultiSelect::RigaDipendente(int codice, const QString &filtro)
{
    m_ritenutaStipendio = Currency();
    QList<int> codici{codice};
    if (PtComeIntero())
        codici << TTovCalcola::RICE_COD_INPS_PT;
    Somme stipendio, iis;
    for (int c : codici) {
        stipendio += SommeFondamentali(c, TTovCalcola::COMR_STIPENDIO);
        iis += SommeFondamentali(c, TTovCalcola::COMR_CCNL_2);
    }
    if (stipendio.imponibile.isZero() && iis.imponibile.isZero())
        return;
    if (EMens())
        ControllaTempoIndeterminato();

    NuovaRiga(codice, MatricolaInps());
    xqcVape.setFilter(filtro);
    xqcVape.setFiltered(!PtComeIntero() && !filtro.isEmpty());
    if (!xqcVape.isEmpty()) {
        if (m_denuncia != TZepDenuncia::EMensLocale) {
            OrarioEPartTime(codice);
            RetribuzioneTeorica();
        }
        AssunzioneCessazione();
    }
    cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::Imponibile).setAsCurrency(stipendio.imponibile + iis.imponibile);
    if (EMens()) {
        CompletaRigaEMens(codice, iis.imponibile);
        cdsImport.post();
        return;
    }
    cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::Contributo).setAsCurrency(stipendio.contributo + iis.contributo);
    // The rest of the row (ZepCImpDipendentiDati.cpp).
    if (RitenutaStipendio() > Currency())
        CalcolaEsoneroIvs(stipendio.imponibile);
    CalcolaSettimane();
    CalcolaGiorniMese();
    CalcolaGiorni(codice);
    CalcolaOreEMinimale(codice);
    CalcolaAnf();
    CalcolaBonus();
    cdsImport.post();
}

void TZepImpMultiSelect::RigaAccessori(int codice)
{
    QList<int> codici{codice};
    if (PtComeIntero())
        codici << TTovCalcola::RICE_COD_INPS_PT;
    Somme tipo3, tipo4;
    for (int c : codici) {
        tipo3 += SommeAccessori(c, TipoAccessori3);
        tipo4 += SommeAccessori(c, TipoAccessori4);
    }
    if (tipo3.imponibile.isZero() && tipo4.imponibile.isZero())
        return;

    const QString matricola = MatricolaInpsAccessori();
    if (TrovaRiga(cdsImport, CodiceFiscale(), PeriodoDenuncia(), codice, matricola))
        cdsImport.edit();
    else
        NuovaRiga(codice, matricola);
    platform::Field &imponibile = cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::Imponibile);
    imponibile.setAsCurrency(imponibile.asCurrency() + tipo3.imponibile + tipo4.imponibile);
    if (EMens()) {
        AumentaImponibileAnnoPrecedente(tipo4.imponibile);
    } else {
        platform::Field &contributo = cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::Contributo);
        contributo.setAsCurrency(contributo.asCurrency() + tipo3.contributo + tipo4.contributo);
    }
    cdsImport.post();
}

void TZepImpMultiSelect::NuovaRiga(int codice, const QString &matricola)
{
    // The E-Mens table has no citizenship, pension regime or minimum pay.
    const bool uniEmens = !EMens();
    const QString cittadinanza = uniEmens ? Cittadinanza() : QString();
    const bool post95 = uniEmens && RegimePost95() == 1;
    cdsImport.append();
    auto imposta = [this](const QString &campo, const Value &valore) { cdsImport.fieldByName(campo).setValue(valore); };
    imposta(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia, PeriodoDenuncia());
    imposta(layouts::TEMD_DIPENDENTI::Matricola, matricola);
    imposta(layouts::TEMD_DIPENDENTI::CFLavoratore, CodiceFiscale());
    SegnaPersona(cdsImport);
    imposta(layouts::TEMD_DIPENDENTI::Elimina, QStringLiteral("N"));
    imposta(layouts::TEMD_DIPENDENTI::Cognome, Cognome().toUpper());
    imposta(layouts::TEMD_DIPENDENTI::Nome, Nome().toUpper());
    if (uniEmens)
        imposta(layouts::TEMD_DIPENDENTI::Cittadinanza, cittadinanza);
    imposta(layouts::TEMD_DIPENDENTI::Qualifica1, QStringLiteral("2"));
    imposta(layouts::TEMD_DIPENDENTI::Qualifica2, Qualifica2(codice));
    imposta(layouts::TEMD_DIPENDENTI::Qualifica3, QStringLiteral("D"));
    imposta(layouts::TEMD_DIPENDENTI::TipoContribuzione, TipoContribuzione());
    imposta(layouts::TEMD_DIPENDENTI::CodiceComune, ComuneLavoro());
    imposta(layouts::TEMD_DIPENDENTI::CodiceContratto,
            uniEmens ? CodiceContratto(AnnoDenuncia.toInt(), Mese()) : CodiceContrattoEMens);
    if (uniEmens)
        imposta(layouts::TEMD_DIPENDENTI::RegimePost95, post95 ? QStringLiteral("Sì") : QStringLiteral("No"));
    imposta(layouts::TEMD_DIPENDENTI::TipoLavoratore, QStringLiteral("0"));
    imposta(layouts::TEMD_DIPENDENTI::NumMensilita, 13000);
    if (uniEmens)
        imposta(layouts::TEMD_DIPENDENTI::RispettoMinimale, QStringLiteral("0"));
}

// ---------------------------------------------------------------- amounts

void TZepImpMultiSelect::ControllaTipoContribuzione(Currency ritenutaDipendente) const
{
    if (TipoContribuzione().trimmed() == TipoContribuzioneSenzaRitenute && ritenutaDipendente > Currency())
        throw EUqError(MsgTipoContribuzione);
}

int TZepImpMultiSelect::SommeInps::Posizione(bool accessori, int codice, int chiave)
{
    const bool partTime = codice == TTovCalcola::RICE_COD_INPS_PT;
    const bool seconda = accessori ? chiave == TipoAccessori4 : chiave == TTovCalcola::COMR_CCNL_2;
    return (accessori ? 4 : 0) + (partTime ? 2 : 0) + (seconda ? 1 : 0);
}

TZepImpMultiSelect::SommeInps TZepImpMultiSelect::SommeInps::Leggi(platform::SqlQuery &query, const DataSet &candidato)
{
    static const QString Nome = QStringLiteral("QRY_EMENS_SOMME_INPS");
    query.setSql(platform::format(TovQueryText().GetSQL(Nome, Execute), TTovCalcola::TnoNonStipendioSql()));
    query.bind(QStringLiteral("IACOMID"), candidato.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("MESE_INIZIALE"), candidato.fieldValue(QStringLiteral("MESE_INIZIALE")))
        .bind(QStringLiteral("MESE_FINALE"), candidato.fieldValue(QStringLiteral("MESE_FINALE")))
        .bind(QStringLiteral("RICE_COD_INPS_OI"), TTovCalcola::RICE_COD_INPS_OI)
        .bind(QStringLiteral("RICE_COD_INPS_PT"), TTovCalcola::RICE_COD_INPS_PT)
        .bind(QStringLiteral("COMR_STIPENDIO"), TTovCalcola::COMR_STIPENDIO)
        .bind(QStringLiteral("COMR_IIS"), TTovCalcola::COMR_CCNL_2)
        .bind(QStringLiteral("RIRP_SEPARATA_3"), TipoAccessori3)
        .bind(QStringLiteral("RIRP_SEPARATA_4"), TipoAccessori4);
    SommeInps somme;
    for (query.open(); !query.eof(); query.next()) {
        Importi &parte =
            somme.m_parti[Posizione(query.value(0).toInt() != 0, query.value(1).toInt(), query.value(2).toInt())];
        parte.imponibile = query.value(3).toCurrency();
        parte.dipendente = query.value(4).toCurrency();
        parte.amministrazione = query.value(5).toCurrency();
    }
    query.close();
    return somme;
}

const TZepImpMultiSelect::SommeInps::Importi &TZepImpMultiSelect::SommeInps::Fondamentali(int codice,
                                                                                          int componente) const
{
    return m_parti[Posizione(false, codice, componente)];
}

const TZepImpMultiSelect::SommeInps::Importi &TZepImpMultiSelect::SommeInps::Accessori(int codice, int tipo) const
{
    return m_parti[Posizione(true, codice, tipo)];
}

TZepImpMultiSelect::Somme TZepImpMultiSelect::SommeDi(const SommeInps::Importi &importi) const
{
    Somme s;
    s.imponibile = importi.imponibile;
    // The E-Mens declaration carries the taxable only.
    if (EMens())
        return s;
    ControllaTipoContribuzione(importi.dipendente);
    s.contributo = importi.dipendente + importi.amministrazione;
    return s;
}

TZepImpMultiSelect::Somme TZepImpMultiSelect::SommeFondamentali(int codice, int componente)
{
    const SommeInps::Importi &importi = m_somme.Fondamentali(codice, componente);
    const Somme s = SommeDi(importi);
    if (!EMens() && componente == TTovCalcola::COMR_STIPENDIO)
        m_ritenutaStipendio += importi.dipendente;
    return s;
}

TZepImpMultiSelect::Somme TZepImpMultiSelect::SommeAccessori(int codice, int tipo)
{
    return SommeDi(m_somme.Accessori(codice, tipo));
}

// ---------------------------------------------------------------- from the periods

void TZepImpMultiSelect::OrarioEPartTime(int codice)
{
    const bool partTime = codice == TTovCalcola::RICE_COD_INPS_PT;
    int giorni = 0;
    qint64 ore = 0;
    Currency quota;
    for (xqcVape.first(); !xqcVape.eof(); xqcVape.next()) {
        const int giorniPeriodo = intero(xqcVape, "IVAPEGIORNI");
        const int previste = intero(xqcVape, "IVAPEOREPREVISTE");
        giorni += giorniPeriodo;
        ore += qint64(previste) * giorniPeriodo;
        if (!partTime)
            continue;
        if (previste == 0)
            throw EUqError(MsgOrariRiduzioni);
        // Service minutes over contract minutes, weighted by the days, kept
        // with four decimals.
        quota += TwunCalcola::Proporzione(Currency::fromInt(intero(xqcVape, "IVAPEORESERVIZIO")), giorniPeriodo,
                                          qint64(previste) * 60, MsgOrariRiduzioni);
    }
    if (giorni <= 0)
        return;
    cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::OrarioContrattuale).setAsInteger(int(ore * 100 / giorni));
    // Hundredths of a per cent: share x 10000 / days, truncated; the share's
    // scaled integer already carries the factor 10000.
    if (partTime && quota > Currency())
        cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::PercPartTime).setAsInteger(int(quota.raw() / giorni));
}

void TZepImpMultiSelect::RetribuzioneTeorica()
{
    xqcVape.first();
    xqcvacr.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_EMENS_VACR"), xqcvacr, Execute);
    TWunUtil::FormattaQuery(xqcvacr, {Value(CondizioneVociTeoriche(m_denuncia))});
    xqcvacr.params().paramByName(QStringLiteral("IREGSID")).setValue(xqcVape.fieldValue(QStringLiteral("IREGSID")));
    xqcvacr.Open();

    WunCCNL().TabellaCCNLMese(Mese());
    WunCCNL().ImportiCorrenti(Istruzione(QStringLiteral("QRY_CCNL_COMR")),
                              xqcVape.fieldValue(QStringLiteral("ANZIANITA")), xqcCCNL);

    TwunCalcolaFond::TTabelle tabelle;
    tabelle.ccnl = &xqcCCNL;
    const Currency teorica = TwunCalcolaFond::RetribuzioneTeorica(xqcVape, xqcvacr, &cdsCompenso, tabelle);
    cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::RetribTeorica).setAsCurrency(euroInteri(teorica));
    xqcvacr.close();
    xqcCCNL.close();
}

void TZepImpMultiSelect::AssunzioneCessazione()
{
    QDate primo, ultimo;
    for (xqcVape.first(); !xqcVape.eof(); xqcVape.next()) {
        const QDate dal = xqcVape.fieldByName(QStringLiteral("DVAPEDAL")).asDate();
        const QDate al = xqcVape.fieldByName(QStringLiteral("DVAPEAL")).asDate();
        if (!primo.isValid() || dal < primo)
            primo = dal;
        if (!ultimo.isValid() || al > ultimo)
            ultimo = al;
    }
    const int anno = wunAnnoFinanziario().Year();
    const int mese = xqcMultiSelect.fieldByName(QStringLiteral("MESE_FINALE")).asInteger();
    if (primo > TTovDate::FirstDayOfMonth(anno, mese)
        || primo == cdsCompenso.fieldByName(QStringLiteral("DACOMINIRAPP")).asDate()) {
        cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::GiornoAssunzione).setAsInteger(primo.day());
        cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::TipoAssunzione).setAsString(QStringLiteral("1"));
    }
    if (ultimo < TTovDate::LastDayOfMonth(anno, mese)
        || ultimo == cdsCompenso.fieldByName(QStringLiteral("DACOMFINERAPP")).asDate()) {
        cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::GiornoCessazione).setAsInteger(ultimo.day());
        cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::TipoCessazione).setAsString(QStringLiteral("1C"));
    }
}

// ---------------------------------------------------------------- before post

void TZepImpMultiSelect::cdsImportBeforePost()
{
    // The local-file form's rows carry neither contract hours nor
    // theoretical pay.
    if (m_denuncia == TZepDenuncia::EMensLocale)
        return;
    platform::Field &orario = cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::OrarioContrattuale);
    if (orario.asInteger() == 0) {
        platform::SqlQuery &contratto = Istruzione(QStringLiteral("QRY_EMENS_ANA_ORARIO"));
        TovQueryText().AssignSQL(QStringLiteral("QRY_EMENS_ANA_ORARIO"), contratto);
        contratto.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")))
            .bind(QStringLiteral("IMESID"), Mese());
        contratto.open();
        const qint64 previste = contratto.eof() ? 0 : contratto.value(QStringLiteral("IACOMOREPREVISTE")).toInt();
        const qint64 servizio = contratto.eof() ? 0 : contratto.value(QStringLiteral("IASTIORESERVIZIO")).toInt();
        contratto.close();
        orario.setAsInteger(int(previste * 100));
        if (PartTime(cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::Qualifica2).asString()) && previste > 0)
            cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::PercPartTime)
                .setAsInteger(int(servizio * 10000 / (previste * 60)));
    }
    platform::Field &teorica = cdsImport.fieldByName(layouts::TEMD_DIPENDENTI::RetribTeorica);
    if (teorica.asCurrency().isZero()) {
        TwunCalcola::ApriAstrMese(xqcAppoggio, xqcMultiSelect.fieldByName(QStringLiteral("IACOMID")).asInteger(),
                                  TTovCalcola::COMR_STIPENDIO, Mese());
        TwunCalcolaFond::EliminaVociNonSpettanti(xqcAppoggio, cdsCompenso);
        xqcAppoggio.setFilter(CondizioneVociTeoriche(m_denuncia));
        xqcAppoggio.setFiltered(true);
        Currency somma;
        for (xqcAppoggio.first(); !xqcAppoggio.eof(); xqcAppoggio.next())
            somma += xqcAppoggio.fieldByName(QStringLiteral("FASTRIMPORTO")).asCurrency();
        xqcAppoggio.close();
        xqcAppoggio.setFiltered(false);
        xqcAppoggio.setFilter(QString());
        teorica.setAsCurrency(euroInteri(somma));
    }
}
