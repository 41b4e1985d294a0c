#include "zepCImpFplsExEnpalsMultiSelect.h"

#include "ZepCFplsExEnpals.h"
#include "ZepUUtil.h"

#include "Exceptions.h"
#include "Field.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "ZepULayoutNomi.h"

using platform::Currency;
using platform::DataSet;
using platform::Value;

namespace {
const QString Execute = QStringLiteral("EXECUTE");
const QString ChiavePersona = QStringLiteral("CFLavoratore;AnnoMeseDenuncia");
const QString ChiaveRiga = QStringLiteral("CFLavoratore;AnnoMeseDenuncia;Qualifica2;Matricola");
const QString Qualifica2 = QStringLiteral("F");
} // namespace

TZepImpFplsExEnpalsMultiSelect::TZepImpFplsExEnpalsMultiSelect(ITovDBCds &store, platform::Database *connessione)
    : TZepFiscImpMultiSelect(store, connessione), qquEMens(Connessione()),
      xqcAppoggio(&Connessione(), QStringLiteral("xqcAppoggio"))
{
}

QString TZepImpFplsExEnpalsMultiSelect::Candidato(const char *campo) const
{
    return xqcMultiSelect.fieldByName(QLatin1String(campo)).asString();
}

QString TZepImpFplsExEnpalsMultiSelect::Matricola() const
{
    ZEP_ASSERT(Parametri(), QStringLiteral("Matricola: parametri dell'importazione non impostati"));
    return Parametri()->fieldByName(QStringLiteral("MatricolaINPSFpls")).asString();
}

void TZepImpFplsExEnpalsMultiSelect::PreparaElenco()
{
    xqcMultiSelect.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_EMENS_FPLS_EXENPALS_IMP"), xqcMultiSelect, Execute);
    platform::Params &p = xqcMultiSelect.params();
    p.paramByName(QStringLiteral("IANFID")).setValue(wunAnnoFinanziario().Id());
    p.paramByName(QStringLiteral("IMESID")).setValue(Mese());
    p.paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    p.paramByName(QStringLiteral("RICE_COD_ENPALS")).setValue(TTovCalcola::RICE_COD_ENPALS);
    ApriElenco();
}

void TZepImpFplsExEnpalsMultiSelect::ImportaRiga()
{
    CaricaTabella(TZepFplsExEnpals::Tabella);
    const QString codiceFiscale = qquAcom.value(QStringLiteral("SANACODFISCALE")).toString();
    if (!CodiceFiscalePresente(codiceFiscale))
        return;
    const platform::ValueList persona{codiceFiscale, PeriodoDenuncia()};
    if (cdsImport.locate(ChiavePersona, persona)) {
        if (!SostituireDati())
            return;
        CancellaRighe(cdsImport, ChiavePersona, persona);
    }
    RigaFpls(SommeFpls());
}

bool TZepImpFplsExEnpalsMultiSelect::ApriSomma(const QString &statement, const QString &parametro, int valore)
{
    qquEMens.close();
    TovQueryText().AssignSQL(statement, qquEMens);
    qquEMens.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    qquEMens.bind(QStringLiteral("MESE_INIZIALE"), xqcMultiSelect.fieldValue(QStringLiteral("MESE_INIZIALE")));
    qquEMens.bind(QStringLiteral("MESE_FINALE"), xqcMultiSelect.fieldValue(QStringLiteral("MESE_FINALE")));
    if (!parametro.isEmpty())
        qquEMens.bind(parametro, Value(valore));
    qquEMens.open();
    return !qquEMens.eof();
}

TZepImpFplsExEnpalsMultiSelect::TSomme TZepImpFplsExEnpalsMultiSelect::SommeFpls()
{
    TSomme s;
    const QString riceEnpals = QStringLiteral("RICE_COD_ENPALS");
    if (!ApriSomma(QStringLiteral("QRY_EMENS_FPLS_EXENPALS_RIT"), riceEnpals, TTovCalcola::RICE_COD_ENPALS)) {
        qquEMens.close();
        return s;
    }
    auto importo = [this](const char *colonna) { return qquEMens.value(QLatin1String(colonna)).toCurrency(); };
    const Currency ritDip = importo("RIT_DIP");
    s.Imponibile = importo("IMP");
    s.Contributo = ritDip + importo("RIT_AMM");
    s.ImponibileCtrAgg = importo("IMP_CTRAGG");
    s.ContribAggCorrente = importo("RIT_DIP_CTRAGG");
    s.ImpEccMassSpet = importo("IMP_ECCMASSSPET");
    s.ContrSolidarietaSpet = importo("RIT_DIP_ECCMASSSPET") + importo("RIT_AMM_ECCMASSSPET");
    qquEMens.close();

    if (s.ImponibileCtrAgg.isZero() && s.ImpEccMassSpet.isZero()) {
        s.SottoMinimale = ApriSomma(QStringLiteral("QRY_EMENS_FPLS_EXENPALS_MIN"), riceEnpals,
                                    TTovCalcola::RICE_COD_ENPALS);
        qquEMens.close();
    }
    if (ritDip.isZero()) {
        // A professional pays the fund's contribution himself: the amount
        // withheld for it is the contribution.
        xqcAppoggio.close();
        TovQueryText().AssignCommand(QStringLiteral("QRY_EMENS_FPLS_EXENPALS_RITLP"), xqcAppoggio, Execute);
        TWunUtil::FormattaQuery(xqcAppoggio, {QString()});
        platform::Params &p = xqcAppoggio.params();
        for (const char *mese : {"MESE_INIZIALE", "MESE_FINALE", "IACOMID"})
            p.paramByName(QLatin1String(mese)).setValue(xqcMultiSelect.fieldValue(QLatin1String(mese)));
        p.paramByName(QStringLiteral("TNO_LIB_PROF")).setValue(TNO_LIB_PROF);
        p.paramByName(QStringLiteral("COMR_ACC_RIT_PREV")).setValue(COMR_ACC_RIT_PREV);
        xqcAppoggio.Open();
        if (!xqcAppoggio.isEmpty())
            s.Contributo += xqcAppoggio.fieldByName(QStringLiteral("FVACRLORDO")).asCurrency();
        xqcAppoggio.close();
    }
    return s;
}

void TZepImpFplsExEnpalsMultiSelect::RigaFpls(const TSomme &s)
{
    if (s.Imponibile.isZero())
        return;
    DataSet &r = cdsImport;
    auto imposta = [&r](const QString &campo, const Value &valore) { r.fieldByName(campo).setValue(valore); };
    const QString codiceFiscale = qquAcom.value(QStringLiteral("SANACODFISCALE")).toString();
    if (r.locate(ChiaveRiga, {codiceFiscale, PeriodoDenuncia(), Qualifica2, Matricola()})) {
        r.edit();
    } else {
        r.append();
        imposta(layouts::TEFE_FPLSEXENPALS::AnnoMeseDenuncia, PeriodoDenuncia());
        imposta(layouts::TEFE_FPLSEXENPALS::Matricola, Matricola());
        imposta(layouts::TEFE_FPLSEXENPALS::CFLavoratore, codiceFiscale);
        imposta(layouts::TEFE_FPLSEXENPALS::Elimina, QStringLiteral("N"));
        imposta(layouts::TEFE_FPLSEXENPALS::Cognome, Cognome().toUpper());
        imposta(layouts::TEFE_FPLSEXENPALS::Nome, Nome().toUpper());
        imposta(layouts::TEFE_FPLSEXENPALS::Cittadinanza, Cittadinanza());
        imposta(layouts::TEFE_FPLSEXENPALS::Qualifica2, Qualifica2);
        imposta(layouts::TEFE_FPLSEXENPALS::Qualifica3, QStringLiteral("D"));
        imposta(layouts::TEFE_FPLSEXENPALS::CodiceComune, Parametri()->fieldValue(QStringLiteral("ComuneLavoro")));
        imposta(layouts::TEFE_FPLSEXENPALS::RegimePost95,
                RegimePost95() == 1 ? QStringLiteral("Sì") : QStringLiteral("No"));
        const int giorni = ApriSomma(QStringLiteral("QRY_EMENS_FPLS_EXENPALS_GIORNI"), QStringLiteral("CO_ACCESSORI"),
                                     CO_ACCESSORI)
                               ? qquEMens.value(QStringLiteral("GIORNI")).toInt()
                               : 0;
        qquEMens.close();
        imposta(layouts::TEFE_FPLSEXENPALS::GiorniRetribuiti, giorni);
        imposta(layouts::TEFE_FPLSEXENPALS::GiorniContribuiti, giorni);
        imposta(layouts::TEFE_FPLSEXENPALS::Qualifica1, QStringLiteral("S"));
        imposta(layouts::TEFE_FPLSEXENPALS::TipoContribuzione,
                Parametri()->fieldValue(QStringLiteral("TipoContribuzioneFpls")));
        const QString contratto = Candidato("SENPACODICECONTRATTO");
        imposta(layouts::TEFE_FPLSEXENPALS::CodiceContratto, contratto.isEmpty() ? QStringLiteral("CPUB") : contratto);
        imposta(layouts::TEFE_FPLSEXENPALS::TipoLavoratore, Candidato("SENPATIPOLAVORATORE"));
        imposta(layouts::TEFE_FPLSEXENPALS::TipoRapportoLav, Candidato("SENPATIPORAPPLAV"));
        imposta(layouts::TEFE_FPLSEXENPALS::CodiceQualifica, Candidato("SENPACODICEQUALIFICA"));
        imposta(layouts::TEFE_FPLSEXENPALS::RispettoMinimale, QStringLiteral("0"));
    }
    imposta(layouts::TEFE_FPLSEXENPALS::Imponibile, s.Imponibile);
    imposta(layouts::TEFE_FPLSEXENPALS::Contributo, s.Contributo);
    imposta(layouts::TEFE_FPLSEXENPALS::ImponibileCtrAgg, s.ImponibileCtrAgg);
    imposta(layouts::TEFE_FPLSEXENPALS::ContribAggCorrente, s.ContribAggCorrente);
    imposta(layouts::TEFE_FPLSEXENPALS::ImpEccMassSpet, s.ImpEccMassSpet);
    imposta(layouts::TEFE_FPLSEXENPALS::ContrEccMassSpet, s.ContrEccMassSpet);
    imposta(layouts::TEFE_FPLSEXENPALS::ContrSolidarietaSpet, s.ContrSolidarietaSpet);
    imposta(layouts::TEFE_FPLSEXENPALS::RetribTeorica, s.Imponibile + s.ImpEccMassSpet);
    if (s.SottoMinimale)
        imposta(layouts::TEFE_FPLSEXENPALS::RispettoMinimale, QStringLiteral("S"));
    r.post();
}
