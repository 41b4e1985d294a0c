// The rows of the month of one person of the public-sector import
// (ZePCImpDmaMultiSelect.h): one row per pay period with pension, credit or
// end-of-service pay, the basic monthly pay and its part-time share, the
// accessory pay by qualification and period, the month's adjustment and the
// completion of each section's rows.
#include "ZePCImpDmaMultiSelect.h"

#include "ZepCDma.h"
#include "ZepCDmaInfo.h"
#include "ZepRDmaVape.h"
#include "ZepUDmaUtil.h"

#include "WunUUtil.h"
#include "tovCQueryText.h"
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

namespace {
const QString Execute = QStringLiteral("EXECUTE");
const QString Inizio = QStringLiteral("DT_E0XXX001_DINIZIO");
const QString Fine = QStringLiteral("DT_E0XXX002_DFINE");
const QString ImpPens = QStringLiteral("VP_E0XXX032_IMPPENS");
const QString ConPens = QStringLiteral("VP_E0XXX033_CONPENS");
const QString ConEcc = QStringLiteral("VP_E0XXX034_CONECC");
const QString ImpTfr = QStringLiteral("VP_E0XXXA37_IMPTFR");
const QString ConTfr = QStringLiteral("VP_E0XXXA38_CONTFR");
const QString ImpCredito = QStringLiteral("VP_E0XXX039_IMPCREDITO");
const QString ConCredito = QStringLiteral("VP_E0XXX040_CONCREDITO");
const QString UtileTfr = QStringLiteral("VP_E0XXX044_UTILETFR");
const QString RetrTfr = QStringLiteral("VP_E0XXX043_RETRTFR");
const QString Prev = QStringLiteral("NP_E0XXX004_PREV");
const QString Tabellare = QStringLiteral("StipendioTabellare");
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
} // namespace

int TZepDmaImpMultiSelect::AnnoPaga() const
{
    return wunAnnoFinanziario().Year();
}

Currency TZepDmaImpMultiSelect::Importo(const DataSet &dataSet, const QString &sezione, const QString &campoE0)
{
    return dataSet.fieldByName(Campo(sezione, campoE0)).asCurrency();
}

void TZepDmaImpMultiSelect::ImpostaImporto(DataSet &dataSet, const QString &sezione, const QString &campoE0,
                                           Currency valore)
{
    dataSet.setFieldValue(Campo(sezione, campoE0), Value(valore));
}

void TZepDmaImpMultiSelect::ImportaRetribuzioni()
{
    cdsAppo.close();
    TfrQuvVapeDma &vape = Vape();
    vape.xqcMain.close();
    vape.xqcVacrVarr.close();
    DalRegistro = Value::null();
    AlRegistro = Value::null();

    // The person's compensation as the grid keeps it.
    DataSet compenso;
    {
        platform::SqlQuery q(Connessione());
        TovQueryText().AssignSQL(QStringLiteral("QRY_CED_ACOM"), q);
        q.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
        q.open();
        q.fetchInto(compenso);
    }
    compenso.first();

    // The registers of the month itself (not variations of an earlier one).
    DataSet registri;
    qquRegs.close();
    qquRegs.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_DMA_REGS"), Execute),
                                    {Value(FiltroPosizione() + SenzaPeriodoDma)}));
    qquRegs.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    qquRegs.bind(QStringLiteral("IMESID"), MesePaga());
    qquRegs.bind(QStringLiteral("COS_STIPENDIO"), COS_STIPENDIO);
    qquRegs.open();
    qquRegs.fetchInto(registri);
    for (registri.first(); !registri.eof(); registri.next()) {
        DalRegistro = registri.fieldValue(QStringLiteral("DREGSDMADAL"));
        AlRegistro = registri.fieldValue(QStringLiteral("DREGSDMAAL"));
        vape.ApriRegistro(compenso, registri);
        QList<int> periodi;
        for (vape.xqcMain.first(); !vape.xqcMain.eof(); vape.xqcMain.next())
            periodi << vape.xqcMain.fieldByName(QStringLiteral("IVAPEID")).asInteger();
        for (int periodo : periodi) {
            vape.xqcMain.setFilter(QStringLiteral("IVAPEID=%1").arg(periodo));
            vape.xqcMain.setFiltered(true);
            vape.xqcMain.first();
            WunCCNL().TabellaCCNLMese(MesePaga(), AnnoPaga());
            vape.CalcolaPeriodo();
            if (PeriodoRilevante()) {
                ImportaPeriodo();
                CopiaInAppo(cdsQuadro);
            }
            vape.xqcMain.setFiltered(false);
            vape.xqcMain.setFilter(QString());
            ZEP_ASSERT(vape.xqcMain.locate(QStringLiteral("IVAPEID"), periodo),
                       QStringLiteral("Periodo %1 non più trovato nel registro").arg(periodo));
        }
    }
    QuadraMese();
    cdsAppo.close();

    // Pay items of earlier reference periods and registers of earlier
    // periods go to V1 rows of their own before the accessory pay.
    if (DalRegistro.isEmpty())
        ImportaVociPrecedenti(cdsQuadro);
    ImportaPeriodiPrecedenti();
    ImportaAccessori();
    CompletaQuadro(cdsQuadro, SezioneCorrente);
    if (SezioneCorrente == TDmaUtil::QuadroE0)
        CompletaQuadro(DatasetV1(), TDmaUtil::QuadroV1);
    ImportaE1();
}

bool TZepDmaImpMultiSelect::PeriodoRilevante()
{
    DataSet &varr = Vape().xqcVacrVarr;
    const auto ha = [&varr](int ritenuta, const QString &campo) {
        for (varr.first(); !varr.eof(); varr.next())
            if (varr.fieldByName(QStringLiteral("IRICEID")).asInteger() == ritenuta
                && !varr.fieldByName(campo).asCurrency().isZero())
                return true;
        return false;
    };
    return ha(RICE_INPDAP, QStringLiteral("FVARRIMPONIBILEDIP")) || ha(RICE_FC, QStringLiteral("FVARRIMPONIBILEDIP"))
           || ha(RICE_OP, QStringLiteral("FVARRIMPONIBILEAMM"));
}

void TZepDmaImpMultiSelect::ImportaPeriodo()
{
    TfrQuvVapeDma &vape = Vape();
    const QString &sez = SezioneCorrente;
    const Value dal = vape.xqcMain.fieldValue(QStringLiteral("DVAPEDAL"));
    const Value al = vape.xqcMain.fieldValue(QStringLiteral("DVAPEAL"));
    NuovaRiga(cdsQuadro, sez, dal, al);
    const Value cessazione = qquAcom.value(QStringLiteral("DACOMFINERAPP"));
    if (!al.isEmpty() && !cessazione.isEmpty() && al.toDate() == cessazione.toDate())
        cdsQuadro.setFieldValue(Campo(sez, QStringLiteral("NP_E0XXX010_CESSAZ")), QStringLiteral("18"));
    ImportiPeriodo();
    const Currency stipendio = CalcolaStipendioTabellare(AnnoPaga(), MesePaga(),
                                                         qquAcom.value(QStringLiteral("IQARID")).toInt());
    cdsQuadro.setFieldValue(Tabellare, Value(stipendio));
    ImpostaImporto(cdsQuadro, sez, RetrTfr, stipendio);
    // Part time: the hours of service against the full-time ones.
    const int minuti = vape.xqcMain.fieldByName(QStringLiteral("IVAPEORESERVIZIO")).asInteger();
    const int ore = orePari(minuti);
    if (ore != vape.xqcMain.fieldByName(QStringLiteral("IVAPEOREPREVISTE")).asInteger()) {
        const int intero = qquAcom.value(QStringLiteral("IACOMOREPREVISTE")).toInt();
        if (intero == 0)
            throw ETovWarning(MsgOrarioIntero);
        ImpostaImporto(cdsQuadro, sez, RetrTfr,
                       TwunCalcola::Arrotonda(2, (stipendio * qint64(minuti)) / qint64(60 * intero)));
        cdsQuadro.setFieldValue(Campo(sez, QStringLiteral("N2_E0XXX059_ORARID")), ore);
        cdsQuadro.setFieldValue(QStringLiteral("OrarioIntero"), intero);
    }
    cdsQuadro.post();
}

void TZepDmaImpMultiSelect::ImportiPeriodo()
{
    // The taxables at their shares, computed on the values read: the grid's
    // withholding rows stay as the grid made them.
    DataSet &varr = Vape().xqcVacrVarr;
    const auto somma = [&varr](int ritenuta, const char *imponibile, const char *quota) {
        Currency totale;
        for (varr.first(); !varr.eof(); varr.next())
            if (varr.fieldByName(QStringLiteral("IRICEID")).asInteger() == ritenuta)
                totale += percento(varr.fieldByName(QLatin1String(imponibile)).asCurrency(),
                                   varr.fieldByName(QLatin1String(quota)).asCurrency());
        return totale;
    };
    const QString &sez = SezioneCorrente;
    const Currency pens = somma(RICE_INPDAP, "FVARRIMPONIBILEDIP", "FVARRPERCIMPDIP");
    ImpostaImporto(cdsQuadro, sez, ImpPens, pens);
    ImpostaImporto(cdsQuadro, sez, ConPens, percento(pens, AliquotaDip(RICE_INPDAP) + AliquotaAmm(RICE_INPDAP)));
    ImpostaImporto(cdsQuadro, sez, ConEcc, ContributoAggiuntivo() ? percento(pens, Currency::fromInt(1)) : Currency());
    const Currency credito = somma(RICE_FC, "FVARRIMPONIBILEDIP", "FVARRPERCIMPDIP");
    ImpostaImporto(cdsQuadro, sez, ImpCredito, credito);
    ImpostaImporto(cdsQuadro, sez, ConCredito, percento(credito, AliquotaDip(RICE_FC)));
    const Currency tfr = somma(RICE_OP, "FVARRIMPONIBILEAMM", "FVARRPERCIMPAMM");
    ImpostaImporto(cdsQuadro, sez, ImpTfr, tfr);
    ImpostaImporto(cdsQuadro, sez, UtileTfr, percento(tfr, Currency::fromInt(125)));
    ImpostaImporto(cdsQuadro, sez, ConTfr, percento(tfr, AliquotaAmm(RICE_OP)));
}

bool TZepDmaImpMultiSelect::RitenuteMese(int ritenuta, const QString &condizione, const TParametri &parametri)
{
    qquDma.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_PREVID_RIT_FOND"), qquDma, 0, Execute,
                             condizione + QStringLiteral(" AND COT.ICOTFONDAMENTALE=") + QStringLiteral("1")
                                 + FiltroPosizione());
    qquDma.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    qquDma.bind(QStringLiteral("IRICEID"), ritenuta);
    qquDma.bind(QStringLiteral("MESE_INIZIALE"), MesePaga());
    qquDma.bind(QStringLiteral("MESE_FINALE"), MesePaga());
    for (const auto &[nome, valore] : parametri)
        qquDma.bind(nome, valore);
    qquDma.open();
    return !qquDma.eof();
}

namespace {
Currency colonna(const platform::SqlQuery &q, const char *nome)
{
    return q.eof() ? Currency() : q.value(QLatin1String(nome)).toCurrency();
}
} // namespace

void TZepDmaImpMultiSelect::ImportiMese()
{
    const QString &sez = SezioneCorrente;
    RitenuteMese(RICE_INPDAP, SenzaPeriodoDma);
    const Currency pens = colonna(qquDma, "FVARRIMPONIBILEDIP");
    Currency amministrazione = colonna(qquDma, "FVARRRITAMM");
    if (pens > Currency() && colonna(qquDma, "FVARRIMPONIBILEAMM").isZero())
        amministrazione = percento(pens, AliquotaAmmPensione());
    const Currency conPens = colonna(qquDma, "FVARRRITDIP") + amministrazione;
    ImpostaImporto(cdsQuadro, sez, ImpPens, pens);
    ImpostaImporto(cdsQuadro, sez, ConPens, conPens);
    ImpostaImporto(cdsQuadro, sez, ConEcc, ContributoAggiuntivo() ? percento(pens, Currency::fromInt(1)) : Currency());
    qquDma.close();
    if (conPens > Currency())
        WunCalcolaAnno().CompilaEsoneroIvsUniemens(cdsQuadro, qquDma, xqcMultiSelect, FiltroPosizione(), MesePaga(),
                                                   pens);
    qquDma.close();
    RitenuteMese(RICE_FC, SenzaPeriodoDma);
    ImpostaImporto(cdsQuadro, sez, ImpCredito, colonna(qquDma, "FVARRIMPONIBILEDIP"));
    ImpostaImporto(cdsQuadro, sez, ConCredito, colonna(qquDma, "FVARRRITDIP"));
    RitenuteMese(RICE_OP, SenzaPeriodoDma);
    const Currency tfr = colonna(qquDma, "FVARRIMPONIBILEAMM");
    ImpostaImporto(cdsQuadro, sez, ImpTfr, tfr);
    ImpostaImporto(cdsQuadro, sez, UtileTfr, percento(tfr, Currency::fromInt(125)));
    ImpostaImporto(cdsQuadro, sez, ConTfr, colonna(qquDma, "FVARRRITAMM"));
    qquDma.close();
}

void TZepDmaImpMultiSelect::QuadraMese()
{
    const QString &sez = SezioneCorrente;
    TfrQuvVapeDma &vape = Vape();
    int ordine = 0;
    if (!FiltraPersona(cdsQuadro, sez)) {
        if (DalRegistro.isEmpty() && AlRegistro.isEmpty() && vape.xqcMain.isActive()) {
            vape.xqcMain.last();
            Value dal = vape.xqcMain.isEmpty() ? Value::null() : vape.xqcMain.fieldValue(QStringLiteral("DVAPEDAL"));
            Value al = vape.xqcMain.isEmpty() ? Value::null() : vape.xqcMain.fieldValue(QStringLiteral("DVAPEAL"));
            const QDate primo(AnnoPaga(), MesePaga(), 1);
            if (dal.isEmpty())
                dal = Value(primo);
            if (al.isEmpty())
                al = Value(primo.addMonths(1).addDays(-1));
            NuovaRiga(cdsQuadro, sez, dal, al);
            ImportiMese();
            ordine = cdsQuadro.fieldByName(QStringLiteral("ORDINE")).asInteger();
            cdsQuadro.post();
        }
    } else {
        cdsQuadro.setIndexFieldNames(Campo(sez, Inizio));
        cdsQuadro.last();
        if (nelMese(cdsQuadro.fieldValue(Campo(sez, Inizio)), AnnoPaga(), MesePaga())) {
            ordine = cdsQuadro.fieldByName(QStringLiteral("ORDINE")).asInteger();
            cdsQuadro.edit();
            ImportiMese();
            if (cdsAppo.isActive())
                for (cdsAppo.first(); !cdsAppo.eof(); cdsAppo.next()) {
                    if (cdsAppo.fieldByName(QStringLiteral("ORDINE")).asInteger() == ordine)
                        continue;
                    for (const QString &campo : ImportiQuadrati)
                        ImpostaImporto(cdsQuadro, sez, campo,
                                       Importo(cdsQuadro, sez, campo) - Importo(cdsAppo, sez, campo));
                }
            // The TFR base follows the remainder it is the base of: left at
            // the month's total, the rows together would declare it more
            // than once.
            ImpostaImporto(cdsQuadro, sez, UtileTfr, percento(Importo(cdsQuadro, sez, ImpTfr), Currency::fromInt(125)));
            // What is left below zero is the archive's inconsistency, not a
            // value to declare unseen.
            for (const QString &campo : ImportiQuadrati)
                if (Importo(cdsQuadro, sez, campo) < Currency())
                    Info.AddMessage(platform::format(
                        MsgResiduoNegativo,
                        {Value(sez),
                         Value(
                             cdsQuadro.fieldValue(Campo(sez, Inizio)).toDate().toString(QStringLiteral("dd/MM/yyyy"))),
                         Value(Campo(sez, campo))}));
            cdsQuadro.post();
        }
    }
    TogliFiltro(cdsQuadro);
    if (ordine > 0)
        cdsQuadro.locate(QStringLiteral("ORDINE"), ordine);
}

void TZepDmaImpMultiSelect::ApriAccessori(DataSet &gruppi)
{
    const QString colonne = QStringLiteral(" REGS.IQARID, VARM.DVARMDMADAL, VARM.DVARMDMAAL ");
    qquAcc.close();
    qquAcc.setSql(platform::format(TovQueryText().GetSQL(QStringLiteral("QRY_DMA_IMP_ACC"), Execute),
                                   {Value(colonne + QStringLiteral(","))})
                  + FiltroPosizione() + QStringLiteral(" GROUP BY ") + colonne);
    qquAcc.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    qquAcc.bind(QStringLiteral("IRICEID"), RICE_INPDAP);
    qquAcc.bind(QStringLiteral("IMESID"), MesePaga());
    qquAcc.open();
    qquAcc.fetchInto(gruppi);
}

void TZepDmaImpMultiSelect::ImportaAccessori()
{
    DataSet gruppi;
    ApriAccessori(gruppi);
    for (gruppi.first(); !gruppi.eof(); gruppi.next()) {
        const Value dal = gruppi.fieldValue(QStringLiteral("DVARMDMADAL"));
        const Value al = gruppi.fieldValue(QStringLiteral("DVARMDMAAL"));
        const bool delMese = dal.isEmpty();
        DataSet &quadro = delMese ? cdsQuadro : DatasetV1();
        const QString sez = delMese ? SezioneCorrente : TDmaUtil::QuadroV1;
        QString condizione;
        const bool trovata = FiltraPersona(quadro, sez);
        if (delMese) {
            quadro.setIndexFieldNames(Campo(sez, Inizio));
            quadro.last();
            if (trovata && nelMese(quadro.fieldValue(Campo(sez, Inizio)), AnnoPaga(), MesePaga())) {
                quadro.edit();
            } else {
                const QDate primo(AnnoPaga(), MesePaga(), 1);
                NuovaRiga(quadro, sez, Value(primo), Value(primo.addMonths(1).addDays(-1)));
            }
            if (quadro.fieldByName(Tabellare).asCurrency().isZero())
                quadro.setFieldValue(Tabellare,
                                     Value(CalcolaStipendioTabellare(AnnoPaga(), MesePaga(),
                                                                     qquAcom.value(QStringLiteral("IQARID")).toInt())));
            condizione = QStringLiteral(" AND VARM.DVARMDMADAL IS NULL ");
        } else {
            if (trovata && quadro.locate(Campo(sez, Inizio) + QLatin1Char(';') + Campo(sez, Fine), {dal, al}))
                quadro.edit();
            else
                NuovaRiga(quadro, sez, dal, al);
            if (quadro.fieldByName(Tabellare).asCurrency().isZero())
                quadro.setFieldValue(Tabellare, Value(CalcolaStipendioTabellare(
                                                    dal.toDate().year(), dal.toDate().month(),
                                                    gruppi.fieldByName(QStringLiteral("IQARID")).asInteger())));
            // The period's dates travel as parameters.
            condizione = QStringLiteral(" AND VARM.DVARMDMADAL = :DMADAL AND VARM.DVARMDMAAL = :DMAAL");
        }
        const auto ritenute = [&](int ritenuta) {
            qquDma.close();
            TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_RIT_ACC"), qquDma, 0, Execute,
                                     FiltroPosizione() + condizione);
            qquDma.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
            qquDma.bind(QStringLiteral("IRICEID"), ritenuta);
            qquDma.bind(QStringLiteral("IMESID"), MesePaga());
            if (!delMese) {
                qquDma.bind(QStringLiteral("DMADAL"), dal);
                qquDma.bind(QStringLiteral("DMAAL"), al);
            }
            qquDma.open();
        };
        ritenute(RICE_INPDAP);
        Currency imponibile = std::max(colonna(qquDma, "FVARRIMPONIBILEAMM"), colonna(qquDma, "FVARRIMPONIBILEDIP"));
        ImpostaImporto(quadro, sez, ImpPens, Importo(quadro, sez, ImpPens) + imponibile);
        ImpostaImporto(quadro, sez, ConPens,
                       Importo(quadro, sez, ConPens) + colonna(qquDma, "FVARRRITDIP") + colonna(qquDma, "FVARRRITAMM"));
        if (ContributoAggiuntivo())
            ImpostaImporto(quadro, sez, ConEcc, percento(Importo(quadro, sez, ImpPens), Currency::fromInt(1)));
        ritenute(RICE_FC);
        imponibile = std::max(colonna(qquDma, "FVARRIMPONIBILEAMM"), colonna(qquDma, "FVARRIMPONIBILEDIP"));
        ImpostaImporto(quadro, sez, ImpCredito, Importo(quadro, sez, ImpCredito) + imponibile);
        ImpostaImporto(quadro, sez, ConCredito, Importo(quadro, sez, ConCredito) + colonna(qquDma, "FVARRRITDIP"));
        qquDma.close();
        quadro.post();
        TogliFiltro(quadro);
    }
}

void TZepDmaImpMultiSelect::CompletaQuadro(DataSet &dataSet, const QString &sezione)
{
    FiltraPersona(dataSet, sezione);
    dataSet.first();
    while (!dataSet.eof()) {
        dataSet.edit();
        TDmaUtil::ImpostaCodiciGestione(sezione, dataSet);
        dataSet.post();
        const auto vuoto = [&](const char *campo) {
            return dataSet.fieldByName(Campo(sezione, QLatin1String(campo))).asString().trimmed().isEmpty();
        };
        if (vuoto("NP_E0XXX003_PENS") && vuoto("NP_E0XXX004_PREV") && vuoto("NP_E0XXX005_CREDITO")) {
            dataSet.deleteRecord();
            continue;
        }
        TZepDmaInfo::Controlla(Info, {&dataSet});
        if (FineServizio.isEmpty() && dataSet.fieldByName(Campo(sezione, Prev)).asString() == QStringLiteral("7"))
            FineServizio = QStringLiteral("1");
        dataSet.next();
    }
    TogliFiltro(dataSet);
}
