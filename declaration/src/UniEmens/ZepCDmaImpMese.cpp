#include "ZepCDmaImpMese.h"

#include "ZepCDmaImpContesto.h"
#include "ZepULayoutNomi.h"
#include "ZepCDmaInfo.h"
#include "ZepUDmaUtil.h"

#include "TovCInfoChecker.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "tovUExceptions.h"
#include "wunUCalcoli.h"
#include "wunUCalcoliAnno.h"

#include "Exceptions.h"
#include "Field.h"
#include "Format.h"

#include <algorithm>

using platform::Currency;
using platform::DataSet;
using platform::Value;
using C = TZepDmaImpContesto;

const QString TZepDmaImpMese::MsgOrarioIntero = QStringLiteral(
    "L'orario intero nei dati professionali non è impostato.");
const QString TZepDmaImpMese::MsgResiduoNegativo = QStringLiteral(
    " - Quadro %s dal %s: gli importi dei periodi superano i totali del mese, residuo negativo in %s");

namespace {
const QString Execute = QStringLiteral("EXECUTE");
const QString Inizio = layouts::TE0_RETR::DT_E0XXX001_DINIZIO;
const QString Fine = layouts::TE0_RETR::DT_E0XXX002_DFINE;
const QString ImpPens = layouts::TE0_RETR::VP_E0XXX032_IMPPENS;
const QString ConPens = layouts::TE0_RETR::VP_E0XXX033_CONPENS;
const QString ConEcc = layouts::TE0_RETR::VP_E0XXX034_CONECC;
const QString ImpTfr = layouts::TE0_RETR::VP_E0XXXA37_IMPTFR;
const QString ConTfr = layouts::TE0_RETR::VP_E0XXXA38_CONTFR;
const QString ImpCredito = layouts::TE0_RETR::VP_E0XXX039_IMPCREDITO;
const QString ConCredito = layouts::TE0_RETR::VP_E0XXX040_CONCREDITO;
const QString UtileTfr = layouts::TE0_RETR::VP_E0XXX044_UTILETFR;
const QString RetrTfr = layouts::TE0_RETR::VP_E0XXX043_RETRTFR;
const QString Prev = layouts::TE0_RETR::NP_E0XXX004_PREV;
const QString Tabellare = layouts::TE0_RETR::StipendioTabellare;
// The amounts the month's last row gives up to the rows before it.
const QStringList ImportiQuadrati{ImpPens, ConPens, ConEcc, ImpTfr, ConTfr, ImpCredito, ConCredito};
const QString SenzaPeriodoDma = QStringLiteral(" AND REGS.DREGSDMADAL IS NULL ");

Currency percento(Currency valore, Currency aliquota)
{
    return TTovCalcola::PercentualeArrotondata(2, valore, aliquota);
}

// Hours held as minutes, rounded to the nearest whole hour, halves to the
// even one.
int orePari(int minuti)
{
    const int ore = minuti / 60;
    const int resto = minuti % 60;
    if (resto > 30 || (resto == 30 && ore % 2 == 1))
        return ore + 1;
    return ore;
}

bool nelMese(const Value &data, int anno, int mese)
{
    const QDate d = data.toDate();
    return d.isValid() && d.year() == anno && d.month() == mese;
}

Currency colonna(const platform::SqlQuery &q, const char *nome)
{
    return q.eof() ? Currency() : q.value(QLatin1String(nome)).toCurrency();
}
} // namespace

TZepDmaImpMese::TZepDmaImpMese(TZepDmaImpContesto &contesto, DataSet &quadro, DataSet &v1)
    : m_contesto(contesto), m_quadro(quadro), m_v1(v1), m_vape(&contesto.Connessione()),
      m_registri(contesto.Connessione()), m_ritenute(contesto.Connessione()), m_accessori(contesto.Connessione()),
      m_righePeriodi(QStringLiteral("cdsAppo"))
{
}

void TZepDmaImpMese::Importa()
{
    m_righePeriodi.close();
    m_vape.xqcMain.close();
    m_vape.xqcVacrVarr.close();
    m_dalRegistro = Value::null();
    m_alRegistro = Value::null();
    m_fineServizio = false;
    const int mesePaga = m_contesto.MesePaga();
    const Value iacom = m_contesto.Candidato(QStringLiteral("IACOMID"));

    // The person's compensation as the grid keeps it.
    DataSet compenso;
    {
        platform::SqlQuery q(m_contesto.Connessione());
        TovQueryText().AssignSQL(QStringLiteral("QRY_CED_ACOM"), q);
        q.bind(QStringLiteral("IACOMID"), iacom);
        q.open();
        q.fetchInto(compenso);
    }
    compenso.first();

    // The registers of the month itself (not variations of an earlier one).
    DataSet registri;
    m_registri.close();
    m_registri.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_DMA_REGS"), Execute),
                                       {Value(m_contesto.FiltroPosizione() + SenzaPeriodoDma)}));
    m_registri.bind(QStringLiteral("IACOMID"), iacom);
    m_registri.bind(QStringLiteral("IMESID"), mesePaga);
    m_registri.bind(QStringLiteral("COS_STIPENDIO"), C::COS_STIPENDIO);
    m_registri.open();
    m_registri.fetchInto(registri);
    for (registri.first(); !registri.eof(); registri.next()) {
        m_dalRegistro = registri.fieldValue(QStringLiteral("DREGSDMADAL"));
        m_alRegistro = registri.fieldValue(QStringLiteral("DREGSDMAAL"));
        m_vape.ApriRegistro(compenso, registri);
        QList<int> periodi;
        for (m_vape.xqcMain.first(); !m_vape.xqcMain.eof(); m_vape.xqcMain.next())
            periodi << m_vape.xqcMain.fieldByName(QStringLiteral("IVAPEID")).asInteger();
        for (int periodo : periodi) {
            m_vape.xqcMain.setFilter(QStringLiteral("IVAPEID=%1").arg(periodo));
            m_vape.xqcMain.setFiltered(true);
            m_vape.xqcMain.first();
            WunCCNL().TabellaCCNLMese(mesePaga, C::AnnoPaga());
            m_vape.CalcolaPeriodo();
            if (PeriodoRilevante()) {
                ImportaPeriodo();
                C::CopiaRiga(m_quadro, m_righePeriodi);
            }
            m_vape.xqcMain.setFiltered(false);
            m_vape.xqcMain.setFilter(QString());
            ZEP_ASSERT(m_vape.xqcMain.locate(QStringLiteral("IVAPEID"), periodo),
                       QStringLiteral("Periodo %1 non più trovato nel registro").arg(periodo));
        }
    }
    QuadraMese();
    m_righePeriodi.close();
}

bool TZepDmaImpMese::PeriodoRilevante()
{
    DataSet &varr = m_vape.xqcVacrVarr;
    const auto ha = [&varr](int ritenuta, const QString &campo) {
        for (varr.first(); !varr.eof(); varr.next())
            if (varr.fieldByName(QStringLiteral("IRICEID")).asInteger() == ritenuta
                && !varr.fieldByName(campo).asCurrency().isZero())
                return true;
        return false;
    };
    return ha(C::RICE_INPDAP, QStringLiteral("FVARRIMPONIBILEDIP"))
           || ha(C::RICE_FC, QStringLiteral("FVARRIMPONIBILEDIP"))
           || ha(C::RICE_OP, QStringLiteral("FVARRIMPONIBILEAMM"));
}

void TZepDmaImpMese::ImportaPeriodo()
{
    const QString &sez = m_contesto.SezioneCorrente();
    const Value dal = m_vape.xqcMain.fieldValue(QStringLiteral("DVAPEDAL"));
    const Value al = m_vape.xqcMain.fieldValue(QStringLiteral("DVAPEAL"));
    m_contesto.NuovaRiga(m_quadro, sez, dal, al);
    const Value cessazione = m_contesto.Compenso(QStringLiteral("DACOMFINERAPP"));
    if (!al.isEmpty() && !cessazione.isEmpty() && al.toDate() == cessazione.toDate())
        m_quadro.setFieldValue(C::Campo(sez, QStringLiteral("NP_E0XXX010_CESSAZ")), QStringLiteral("18"));
    ImportiPeriodo();
    const Currency stipendio = m_contesto.CalcolaStipendioTabellare(
        C::AnnoPaga(), m_contesto.MesePaga(), m_contesto.Compenso(QStringLiteral("IQARID")).toInt());
    m_quadro.setFieldValue(Tabellare, Value(stipendio));
    C::ImpostaImporto(m_quadro, sez, RetrTfr, stipendio);
    // Part time: the hours of service against the full-time ones.
    const int minuti = m_vape.xqcMain.fieldByName(QStringLiteral("IVAPEORESERVIZIO")).asInteger();
    const int ore = orePari(minuti);
    if (ore != m_vape.xqcMain.fieldByName(QStringLiteral("IVAPEOREPREVISTE")).asInteger()) {
        const int intero = m_contesto.Compenso(QStringLiteral("IACOMOREPREVISTE")).toInt();
        if (intero == 0)
            throw ETovWarning(MsgOrarioIntero);
        C::ImpostaImporto(m_quadro, sez, RetrTfr,
                          TwunCalcola::Arrotonda(2, (stipendio * qint64(minuti)) / qint64(60 * intero)));
        m_quadro.setFieldValue(C::Campo(sez, QStringLiteral("N2_E0XXX059_ORARID")), ore);
        m_quadro.setFieldValue(QStringLiteral("OrarioIntero"), intero);
    }
    m_quadro.post();
}

void TZepDmaImpMese::ImportiPeriodo()
{
    // The taxables at their shares, computed on the values read: the grid's
    // withholding rows stay as the grid made them.
    DataSet &varr = m_vape.xqcVacrVarr;
    const auto somma = [&varr](int ritenuta, const char *imponibile, const char *quota) {
        Currency totale;
        for (varr.first(); !varr.eof(); varr.next())
            if (varr.fieldByName(QStringLiteral("IRICEID")).asInteger() == ritenuta)
                totale += percento(varr.fieldByName(QLatin1String(imponibile)).asCurrency(),
                                   varr.fieldByName(QLatin1String(quota)).asCurrency());
        return totale;
    };
    const QString &sez = m_contesto.SezioneCorrente();
    const Currency pens = somma(C::RICE_INPDAP, "FVARRIMPONIBILEDIP", "FVARRPERCIMPDIP");
    C::ImpostaImporto(m_quadro, sez, ImpPens, pens);
    C::ImpostaImporto(m_quadro, sez, ConPens,
                      percento(pens, m_contesto.AliquotaDip(C::RICE_INPDAP) + m_contesto.AliquotaAmm(C::RICE_INPDAP)));
    C::ImpostaImporto(m_quadro, sez, ConEcc,
                      m_contesto.ContributoAggiuntivo() ? percento(pens, Currency::fromInt(1)) : Currency());
    const Currency credito = somma(C::RICE_FC, "FVARRIMPONIBILEDIP", "FVARRPERCIMPDIP");
    C::ImpostaImporto(m_quadro, sez, ImpCredito, credito);
    C::ImpostaImporto(m_quadro, sez, ConCredito, percento(credito, m_contesto.AliquotaDip(C::RICE_FC)));
    const Currency tfr = somma(C::RICE_OP, "FVARRIMPONIBILEAMM", "FVARRPERCIMPAMM");
    C::ImpostaImporto(m_quadro, sez, ImpTfr, tfr);
    C::ImpostaImporto(m_quadro, sez, UtileTfr, percento(tfr, Currency::fromInt(125)));
    C::ImpostaImporto(m_quadro, sez, ConTfr, percento(tfr, m_contesto.AliquotaAmm(C::RICE_OP)));
}

void TZepDmaImpMese::ImportiMese()
{
    const QString &sez = m_contesto.SezioneCorrente();
    platform::SqlQuery &q = m_ritenute;
    m_contesto.RitenuteMese(q, C::RICE_INPDAP, SenzaPeriodoDma);
    const Currency pens = colonna(q, "FVARRIMPONIBILEDIP");
    Currency amministrazione = colonna(q, "FVARRRITAMM");
    if (pens > Currency() && colonna(q, "FVARRIMPONIBILEAMM").isZero())
        amministrazione = percento(pens, m_contesto.AliquotaAmmPensione());
    const Currency conPens = colonna(q, "FVARRRITDIP") + amministrazione;
    C::ImpostaImporto(m_quadro, sez, ImpPens, pens);
    C::ImpostaImporto(m_quadro, sez, ConPens, conPens);
    C::ImpostaImporto(m_quadro, sez, ConEcc,
                      m_contesto.ContributoAggiuntivo() ? percento(pens, Currency::fromInt(1)) : Currency());
    q.close();
    if (conPens > Currency())
        WunCalcolaAnno().CompilaEsoneroIvsUniemens(m_quadro, q, m_contesto.Elenco(), m_contesto.FiltroPosizione(),
                                                   m_contesto.MesePaga(), pens);
    q.close();
    m_contesto.RitenuteMese(q, C::RICE_FC, SenzaPeriodoDma);
    C::ImpostaImporto(m_quadro, sez, ImpCredito, colonna(q, "FVARRIMPONIBILEDIP"));
    C::ImpostaImporto(m_quadro, sez, ConCredito, colonna(q, "FVARRRITDIP"));
    m_contesto.RitenuteMese(q, C::RICE_OP, SenzaPeriodoDma);
    const Currency tfr = colonna(q, "FVARRIMPONIBILEAMM");
    C::ImpostaImporto(m_quadro, sez, ImpTfr, tfr);
    C::ImpostaImporto(m_quadro, sez, UtileTfr, percento(tfr, Currency::fromInt(125)));
    C::ImpostaImporto(m_quadro, sez, ConTfr, colonna(q, "FVARRRITAMM"));
    q.close();
}

void TZepDmaImpMese::QuadraMese()
{
    const QString &sez = m_contesto.SezioneCorrente();
    const int anno = C::AnnoPaga();
    const int mese = m_contesto.MesePaga();
    DataSet &quadro = m_quadro;
    int ordine = 0;
    if (!m_contesto.FiltraPersona(quadro, sez)) {
        if (m_dalRegistro.isEmpty() && m_alRegistro.isEmpty() && m_vape.xqcMain.isActive()) {
            m_vape.xqcMain.last();
            Value dal = m_vape.xqcMain.isEmpty() ? Value::null()
                                                 : m_vape.xqcMain.fieldValue(QStringLiteral("DVAPEDAL"));
            Value al = m_vape.xqcMain.isEmpty() ? Value::null() : m_vape.xqcMain.fieldValue(QStringLiteral("DVAPEAL"));
            const QDate primo(anno, mese, 1);
            if (dal.isEmpty())
                dal = Value(primo);
            if (al.isEmpty())
                al = Value(primo.addMonths(1).addDays(-1));
            m_contesto.NuovaRiga(quadro, sez, dal, al);
            ImportiMese();
            ordine = quadro.fieldByName(QStringLiteral("ORDINE")).asInteger();
            quadro.post();
        }
    } else {
        quadro.setIndexFieldNames(C::Campo(sez, Inizio));
        quadro.last();
        if (nelMese(quadro.fieldValue(C::Campo(sez, Inizio)), anno, mese)) {
            ordine = quadro.fieldByName(QStringLiteral("ORDINE")).asInteger();
            quadro.edit();
            ImportiMese();
            if (m_righePeriodi.isActive())
                for (m_righePeriodi.first(); !m_righePeriodi.eof(); m_righePeriodi.next()) {
                    if (m_righePeriodi.fieldByName(QStringLiteral("ORDINE")).asInteger() == ordine)
                        continue;
                    for (const QString &campo : ImportiQuadrati)
                        C::ImpostaImporto(quadro, sez, campo,
                                          C::Importo(quadro, sez, campo) - C::Importo(m_righePeriodi, sez, campo));
                }
            // The TFR base follows the remainder it is the base of: left at
            // the month's total, the rows together would declare it more
            // than once.
            C::ImpostaImporto(quadro, sez, UtileTfr, percento(C::Importo(quadro, sez, ImpTfr), Currency::fromInt(125)));
            // What is left below zero is the archive's inconsistency, not a
            // value to declare unseen.
            for (const QString &campo : ImportiQuadrati)
                if (C::Importo(quadro, sez, campo) < Currency())
                    m_contesto.Info().AddMessage(platform::format(
                        MsgResiduoNegativo,
                        {Value(sez),
                         Value(
                             quadro.fieldValue(C::Campo(sez, Inizio)).toDate().toString(QStringLiteral("dd/MM/yyyy"))),
                         Value(C::Campo(sez, campo))}));
            quadro.post();
        }
    }
    // The row of the month's totals is the current one from here on; without
    // one, the cursor stays where removing the order leaves it.
    if (ordine > 0) {
        C::TogliFiltroPerCercare(quadro);
        quadro.locate(QStringLiteral("ORDINE"), ordine);
    } else {
        C::TogliFiltro(quadro);
    }
}

void TZepDmaImpMese::ApriAccessori(DataSet &gruppi)
{
    const QString colonne = QStringLiteral(" REGS.IQARID, VARM.DVARMDMADAL, VARM.DVARMDMAAL ");
    m_accessori.close();
    m_accessori.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_DMA_IMP_ACC"), Execute),
                                        {Value(colonne + QStringLiteral(","))})
                       + m_contesto.FiltroPosizione() + QStringLiteral(" GROUP BY ") + colonne);
    m_accessori.bind(QStringLiteral("IACOMID"), m_contesto.Candidato(QStringLiteral("IACOMID")));
    m_accessori.bind(QStringLiteral("IRICEID"), C::RICE_INPDAP);
    m_accessori.bind(QStringLiteral("IMESID"), m_contesto.MesePaga());
    m_accessori.open();
    m_accessori.fetchInto(gruppi);
}

void TZepDmaImpMese::ImportaAccessori()
{
    const int anno = C::AnnoPaga();
    const int mese = m_contesto.MesePaga();
    DataSet gruppi;
    ApriAccessori(gruppi);
    for (gruppi.first(); !gruppi.eof(); gruppi.next()) {
        const Value dal = gruppi.fieldValue(QStringLiteral("DVARMDMADAL"));
        const Value al = gruppi.fieldValue(QStringLiteral("DVARMDMAAL"));
        const bool delMese = dal.isEmpty();
        DataSet &quadro = delMese ? m_quadro : m_v1;
        const QString sez = delMese ? m_contesto.SezioneCorrente() : TDmaUtil::QuadroV1;
        QString condizione;
        const bool trovata = m_contesto.FiltraPersona(quadro, sez);
        if (delMese) {
            quadro.setIndexFieldNames(C::Campo(sez, Inizio));
            quadro.last();
            if (trovata && nelMese(quadro.fieldValue(C::Campo(sez, Inizio)), anno, mese)) {
                quadro.edit();
            } else {
                const QDate primo(anno, mese, 1);
                m_contesto.NuovaRiga(quadro, sez, Value(primo), Value(primo.addMonths(1).addDays(-1)));
            }
            if (quadro.fieldByName(Tabellare).asCurrency().isZero())
                quadro.setFieldValue(Tabellare,
                                     Value(m_contesto.CalcolaStipendioTabellare(
                                         anno, mese, m_contesto.Compenso(QStringLiteral("IQARID")).toInt())));
            condizione = QStringLiteral(" AND VARM.DVARMDMADAL IS NULL ");
        } else {
            if (trovata && quadro.locate(C::Campo(sez, Inizio) + QLatin1Char(';') + C::Campo(sez, Fine), {dal, al}))
                quadro.edit();
            else
                m_contesto.NuovaRiga(quadro, sez, dal, al);
            if (quadro.fieldByName(Tabellare).asCurrency().isZero())
                quadro.setFieldValue(Tabellare, Value(m_contesto.CalcolaStipendioTabellare(
                                                    dal.toDate().year(), dal.toDate().month(),
                                                    gruppi.fieldByName(QStringLiteral("IQARID")).asInteger())));
            // The period's dates travel as parameters.
            condizione = QStringLiteral(" AND VARM.DVARMDMADAL = :DMADAL AND VARM.DVARMDMAAL = :DMAAL");
        }
        platform::SqlQuery &q = m_ritenute;
        const auto ritenute = [&](int ritenuta) {
            q.close();
            TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_RIT_ACC"), q, 0, Execute,
                                     m_contesto.FiltroPosizione() + condizione);
            q.bind(QStringLiteral("IACOMID"), m_contesto.Candidato(QStringLiteral("IACOMID")));
            q.bind(QStringLiteral("IRICEID"), ritenuta);
            q.bind(QStringLiteral("IMESID"), mese);
            if (!delMese) {
                q.bind(QStringLiteral("DMADAL"), dal);
                q.bind(QStringLiteral("DMAAL"), al);
            }
            q.open();
        };
        ritenute(C::RICE_INPDAP);
        Currency imponibile = std::max(colonna(q, "FVARRIMPONIBILEAMM"), colonna(q, "FVARRIMPONIBILEDIP"));
        C::ImpostaImporto(quadro, sez, ImpPens, C::Importo(quadro, sez, ImpPens) + imponibile);
        C::ImpostaImporto(quadro, sez, ConPens,
                          C::Importo(quadro, sez, ConPens) + colonna(q, "FVARRRITDIP") + colonna(q, "FVARRRITAMM"));
        if (m_contesto.ContributoAggiuntivo())
            C::ImpostaImporto(quadro, sez, ConEcc, percento(C::Importo(quadro, sez, ImpPens), Currency::fromInt(1)));
        ritenute(C::RICE_FC);
        imponibile = std::max(colonna(q, "FVARRIMPONIBILEAMM"), colonna(q, "FVARRIMPONIBILEDIP"));
        C::ImpostaImporto(quadro, sez, ImpCredito, C::Importo(quadro, sez, ImpCredito) + imponibile);
        C::ImpostaImporto(quadro, sez, ConCredito, C::Importo(quadro, sez, ConCredito) + colonna(q, "FVARRRITDIP"));
        q.close();
        quadro.post();
        C::TogliFiltro(quadro);
    }
}

void TZepDmaImpMese::CompletaQuadri()
{
    CompletaQuadro(m_quadro, m_contesto.SezioneCorrente());
    if (m_contesto.SezioneCorrente() == TDmaUtil::QuadroE0)
        CompletaQuadro(m_v1, TDmaUtil::QuadroV1);
}

void TZepDmaImpMese::CompletaQuadro(DataSet &dataSet, const QString &sezione)
{
    m_contesto.FiltraPersona(dataSet, sezione);
    dataSet.first();
    while (!dataSet.eof()) {
        dataSet.edit();
        TDmaUtil::ImpostaCodiciGestione(sezione, dataSet);
        dataSet.post();
        const auto vuoto = [&](const char *campo) {
            return dataSet.fieldByName(C::Campo(sezione, QLatin1String(campo))).asString().trimmed().isEmpty();
        };
        if (vuoto("NP_E0XXX003_PENS") && vuoto("NP_E0XXX004_PREV") && vuoto("NP_E0XXX005_CREDITO")) {
            dataSet.deleteRecord();
            continue;
        }
        TZepDmaInfo::Controlla(m_contesto.Info(), {&dataSet});
        if (dataSet.fieldByName(C::Campo(sezione, Prev)).asString() == QStringLiteral("7"))
            m_fineServizio = true;
        dataSet.next();
    }
    C::TogliFiltro(dataSet);
}
