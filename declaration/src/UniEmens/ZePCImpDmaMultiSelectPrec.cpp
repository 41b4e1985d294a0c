// TZepDmaImpMultiSelect: the pay of earlier periods, declared as V1 rows.
// Two sources: whole registers of the month marked with an earlier ex-DMA
// period, and single items whose reference period lies before the month.
// Each earlier period gets one V1 row, its amounts recomputed from its
// withholding rows; what the items of earlier reference periods declare in
// V1 is taken out of the row of the pay they came with, so that it is
// declared once.
//
// The dates of the conditions travel as bound parameters, never in the
// statement's text.
#include "ZePCImpDmaMultiSelect.h"

#include "ZepUDmaUtil.h"
#include "wunUCalcoliFond.h"

#include "Exceptions.h"
#include "Field.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "tovUUtil.h"

#include <QSet>

using platform::Currency;
using platform::DataSet;
using platform::Value;

namespace {

// The fields of a section row that an earlier period's row takes out of
// the row of the month it was paid in: its amounts, and with the
// end-of-service taxable its 125 per cent, so that the row keeps the two
// in step.
const QStringList kImportiV1{QStringLiteral("VP_E0XXX032_IMPPENS"),    QStringLiteral("VP_E0XXX033_CONPENS"),
                             QStringLiteral("VP_E0XXX034_CONECC"),     QStringLiteral("VP_E0XXXA37_IMPTFR"),
                             QStringLiteral("VP_E0XXXA38_CONTFR"),     QStringLiteral("VP_E0XXX039_IMPCREDITO"),
                             QStringLiteral("VP_E0XXX040_CONCREDITO"), QStringLiteral("VP_E0XXX044_UTILETFR")};

const QString kCondizioneRegistri = QStringLiteral(" AND REGS.DREGSDMADAL=:DMA_DAL AND REGS.DREGSDMAAL=:DMA_AL ");
const QString kRegistriDelMese = QStringLiteral(" AND REGS.DREGSDMADAL IS NULL AND REGS.DREGSDMAAL IS NULL");
const QString kCondizioneRiferimento = QStringLiteral(" AND VACR.DVACRRIFDAL=:RIF_DAL AND VACR.DVACRRIFAL=:RIF_AL ");

bool Data(const Value &valore)
{
    return !valore.isEmpty();
}

void BindRitenute(platform::SqlQuery &query)
{
    query.bind(QStringLiteral("RICE_COD_INPDAP"), TZepDmaImpMultiSelect::RICE_INPDAP)
        .bind(QStringLiteral("RICE_COD_OP"), TZepDmaImpMultiSelect::RICE_OP)
        .bind(QStringLiteral("RICE_COD_FC"), TZepDmaImpMultiSelect::RICE_FC);
}

} // namespace

void TZepDmaImpMultiSelect::NuovaRigaV1(const Value &dal, const Value &al)
{
    NuovaRiga(DatasetV1(), TDmaUtil::QuadroV1, dal, al);
}

void TZepDmaImpMultiSelect::CompilaImportiV1(int ritenuta, const TSommeRitenuta &somme)
{
    DataSet &v1 = DatasetV1();
    auto imposta = [&](const char *campo, Currency valore) {
        ImpostaImporto(v1, TDmaUtil::QuadroV1, QLatin1String(campo), valore);
    };
    switch (ritenuta) {
    case RICE_INPDAP: {
        const Currency imponibile = somme.imponibileDip;
        Currency amministrazione = somme.ritenutaAmm;
        if (imponibile > Currency() && somme.imponibileAmm.isZero())
            amministrazione = TTovCalcola::PercentualeArrotondata(2, imponibile, AliquotaAmmPensione());
        imposta("VP_E0XXX032_IMPPENS", imponibile);
        imposta("VP_E0XXX033_CONPENS", somme.ritenutaDip + amministrazione);
        imposta("VP_E0XXX034_CONECC", ContributoAggiuntivo()
                                          ? TTovCalcola::PercentualeArrotondata(2, imponibile, Currency::fromInt(1))
                                          : Currency());
        break;
    }
    case RICE_FC:
        imposta("VP_E0XXX039_IMPCREDITO", somme.imponibileDip);
        imposta("VP_E0XXX040_CONCREDITO", somme.ritenutaDip);
        break;
    case RICE_OP:
        imposta("VP_E0XXXA37_IMPTFR", somme.imponibileAmm);
        imposta("VP_E0XXX044_UTILETFR",
                TTovCalcola::PercentualeArrotondata(2, somme.imponibileAmm, Currency::fromInt(125)));
        imposta("VP_E0XXXA38_CONTFR", somme.ritenutaAmm);
        break;
    default: ZEP_ASSERT(false, QStringLiteral("Ritenuta non prevista nei quadri V1: %1").arg(ritenuta));
    }
}

void TZepDmaImpMultiSelect::ImportiV1Precedente(const QDate &dal, const QDate &al)
{
    for (int ritenuta : {RICE_INPDAP, RICE_FC, RICE_OP}) {
        TSommeRitenuta somme;
        if (RitenuteMese(ritenuta, kCondizioneRegistri,
                         {{QStringLiteral("DMA_DAL"), Value(dal)}, {QStringLiteral("DMA_AL"), Value(al)}})) {
            somme.imponibileAmm = qquDma.value(QStringLiteral("FVARRIMPONIBILEAMM")).toCurrency();
            somme.imponibileDip = qquDma.value(QStringLiteral("FVARRIMPONIBILEDIP")).toCurrency();
            somme.ritenutaDip = qquDma.value(QStringLiteral("FVARRRITDIP")).toCurrency();
            somme.ritenutaAmm = qquDma.value(QStringLiteral("FVARRRITAMM")).toCurrency();
        }
        qquDma.close();
        CompilaImportiV1(ritenuta, somme);
    }
}

void TZepDmaImpMultiSelect::ImportaPeriodiPrecedenti()
{
    struct Periodo {
        QDate dal, al;
        int qualifica = 0, minuti = 0, ore = 0;
    };
    TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_FOND_PREC"), qquPrec, 0, QStringLiteral("EXECUTE"),
                             FiltroPosizione());
    qquPrec.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("IMESID"), MesePaga());
    BindRitenute(qquPrec);
    QList<Periodo> periodi;
    for (qquPrec.open(); !qquPrec.eof(); qquPrec.next())
        periodi.append({qquPrec.value(QStringLiteral("DREGSDMADAL")).toDate(),
                        qquPrec.value(QStringLiteral("DREGSDMAAL")).toDate(),
                        qquPrec.value(QStringLiteral("IQARID")).toInt(),
                        qquPrec.value(QStringLiteral("IREGSORESERVIZIO")).toInt(),
                        qquPrec.value(QStringLiteral("IREGSSUORE")).toInt()});
    qquPrec.close();

    DataSet &v1 = DatasetV1();
    for (const Periodo &p : periodi) {
        ZEP_ASSERT(p.dal.daysTo(p.al) + 1 >= 1,
                   QStringLiteral("Periodo precedente non valido: dal %1 al %2")
                       .arg(p.dal.toString(QStringLiteral("dd/MM/yyyy")), p.al.toString(QStringLiteral("dd/MM/yyyy"))));
        NuovaRigaV1(p.dal, p.al);
        ImportiV1Precedente(p.dal, p.al);
        const Currency stipendio = StipendioPeriodoPrecedente(p.al, p.qualifica);
        v1.setFieldValue(QStringLiteral("StipendioTabellare"), stipendio);
        const QString retribuzione = Campo(TDmaUtil::QuadroV1, QStringLiteral("VP_E0XXX043_RETRTFR"));
        v1.setFieldValue(retribuzione, stipendio);
        // Part time: the service hours of the register against its full time.
        const Currency ore = Currency::fromInt(p.minuti) / 60;
        const Currency oreArrotondate = TwunCalcola::ArrotondaPari(0, ore);
        if (ore > Currency() && p.ore > 0 && oreArrotondate != Currency::fromInt(p.ore)) {
            v1.setFieldValue(retribuzione, TwunCalcola::Arrotonda(2, (stipendio * ore) / Currency::fromInt(p.ore)));
            v1.setFieldValue(Campo(TDmaUtil::QuadroV1, QStringLiteral("N2_E0XXX059_ORARID")), oreArrotondate);
            v1.setFieldValue(QStringLiteral("OrarioIntero"), p.ore);
        }
        v1.post();
        ImportaVociPrecedenti(v1, Value(p.al), Value(p.dal));
    }
}

Currency TZepDmaImpMultiSelect::StipendioPeriodoPrecedente(const QDate &al, int qualifica)
{
    // The person's monthly amounts are those of the pay year's
    // compensation: a period of an earlier year takes its basic pay from
    // that year's contract tables.
    if (al.year() != AnnoPaga())
        return StipendioDaCCNL(al.year(), al.month(), qualifica);
    return CalcolaStipendioTabellare(al.year(), al.month(), qualifica);
}

void TZepDmaImpMultiSelect::ImportaVociPrecedenti(DataSet &dataSet, const Value &al, const Value &dal)
{
    const platform::Bookmark riga = dataSet.isEmpty() ? platform::Bookmark() : dataSet.bookmark();
    const bool registro = Data(dal) && Data(al);
    const QString condizioneRegistri = registro ? kCondizioneRegistri : kRegistriDelMese;
    TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_FOND_PREC_VOCI"), qquVociPrec, 0, QStringLiteral("EXECUTE"),
                             FiltroPosizione() + condizioneRegistri);
    qquVociPrec.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("IMESID"), MesePaga());
    BindRitenute(qquVociPrec);
    if (registro)
        qquVociPrec.bind(QStringLiteral("DMA_DAL"), dal).bind(QStringLiteral("DMA_AL"), al);
    struct Riferimento {
        Value dal, al;
        int tipo = 0;
    };
    QList<Riferimento> riferimenti;
    for (qquVociPrec.open(); !qquVociPrec.eof(); qquVociPrec.next())
        riferimenti.append({qquVociPrec.value(QStringLiteral("DVACRRIFDAL")),
                            qquVociPrec.value(QStringLiteral("DVACRRIFAL")),
                            qquVociPrec.value(QStringLiteral("ICOTID")).toInt()});
    qquVociPrec.close();
    cdsAppo.close();

    for (const Riferimento &r : riferimenti)
        ImportaVocePrecedente(condizioneRegistri, dal, al, r.dal, r.al, r.tipo);

    if (riga.isValid() && dataSet.bookmarkValid(riga))
        dataSet.gotoBookmark(riga);

    // What V1 declares comes out of the row of the pay it came with.
    if (!cdsAppo.isActive() || cdsAppo.isEmpty() || dataSet.isEmpty())
        return;
    const QString sezione = &dataSet == &DatasetV1() ? TDmaUtil::QuadroV1 : TDmaUtil::QuadroE0;
    if (dataSet.fieldValue(TDmaUtil::CampoSezione(sezione, QStringLiteral("CODFIS"))).toString() != CodiceFiscale())
        return;
    dataSet.edit();
    for (cdsAppo.first(); !cdsAppo.eof(); cdsAppo.next()) {
        for (const QString &campo : kImportiV1) {
            ImpostaImporto(dataSet, sezione, campo,
                           Importo(dataSet, sezione, campo) - Importo(cdsAppo, TDmaUtil::QuadroV1, campo));
        }
    }
    dataSet.post();
}

void TZepDmaImpMultiSelect::ImportaVocePrecedente(const QString &condizioneRegistri, const Value &dalRegistro,
                                                  const Value &alRegistro, const Value &dal, const Value &al,
                                                  int tipoCompenso)
{
    DataSet &v1 = DatasetV1();
    NuovaRigaV1(dal, al);

    // The items of the reference period with their withholding rows, of
    // the registers the caller names only.
    xqcVacrVarrPrec.close();
    xqcVacrVarrPrec.setFiltered(false);
    xqcVacrVarrPrec.setFilter(QString());
    TovQueryText().AssignCommand(QStringLiteral("QRY_DMA_VACR_VARR_VOCI_PREC"), xqcVacrVarrPrec,
                                 QStringLiteral("EXECUTE"));
    TTovQueryText::FormatSQL(xqcVacrVarrPrec, {condizioneRegistri, kCondizioneRiferimento});
    platform::Params &parametri = xqcVacrVarrPrec.params();
    parametri.paramByName(QStringLiteral("IACOMID")).setValue(xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    parametri.paramByName(QStringLiteral("IMESID")).setValue(MesePaga());
    parametri.paramByName(QStringLiteral("ICOTID")).setValue(tipoCompenso);
    parametri.paramByName(QStringLiteral("RICE_COD_INPDAP")).setValue(RICE_INPDAP);
    parametri.paramByName(QStringLiteral("RICE_COD_FC")).setValue(RICE_FC);
    parametri.paramByName(QStringLiteral("RICE_COD_OP")).setValue(RICE_OP);
    parametri.paramByName(QStringLiteral("RIF_DAL")).setValue(dal);
    parametri.paramByName(QStringLiteral("RIF_AL")).setValue(al);
    if (Data(dalRegistro) && Data(alRegistro)) {
        parametri.paramByName(QStringLiteral("DMA_DAL")).setValue(dalRegistro);
        parametri.paramByName(QStringLiteral("DMA_AL")).setValue(alRegistro);
    }
    xqcVacrVarrPrec.Open();
    cdsVacrPrec.close();
    cdsVacrPrec.assignData(xqcVacrVarrPrec);
    cdsVacrPrec.setFilter(QStringLiteral("IRICEID=%1").arg(RICE_INPDAP));
    cdsVacrPrec.setFiltered(true);
    QList<int> voci;
    for (cdsVacrPrec.first(); !cdsVacrPrec.eof(); cdsVacrPrec.next()) {
        const int voce = cdsVacrPrec.fieldValue(QStringLiteral("ICOMRID")).toInt();
        if (!voci.contains(voce))
            voci.append(voce);
    }

    // The withholding rows rebuilt on the items' taxable shares: one row
    // per retention, its withholdings computed on the whole.
    xqcVarrPrec.setFiltered(false);
    xqcVarrPrec.setFilter(QString());
    TwunCalcolaFond::ApriRitenuteFondamentali(xqcVarrPrec, -1);
    QSet<int> ritenute;
    for (xqcVacrVarrPrec.first(); !xqcVacrVarrPrec.eof(); xqcVacrVarrPrec.next()) {
        const int ritenuta = xqcVacrVarrPrec.fieldValue(QStringLiteral("IRICEID")).toInt();
        if (ritenute.contains(ritenuta))
            continue;
        ritenute.insert(ritenuta);
        xqcVarrPrec.append();
        for (const char *campo :
             {"IRICEID", "ITVCOIDDIP", "ITVCOIDAMM", "ITVCOCODDIP", "ITVCOCODAMM", "LRICEFISSA", "IRICEDECIMALIIMP"})
            xqcVarrPrec.setFieldValue(QLatin1String(campo), xqcVacrVarrPrec.fieldValue(QLatin1String(campo)));
        for (const char *campo :
             {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM", "FVARRALIQUOTADIP", "FVARRALIQUOTAAMM",
              "FVARRPERCIMPDIP", "FVARRPERCIMPAMM", "FVARRRITDIP", "FVARRRITAMM"})
            xqcVarrPrec.setFieldValue(QLatin1String(campo), Currency());
        xqcVarrPrec.post();
    }
    TwunCalcolaFond::SommaImponibiliRitenute(xqcVacrVarrPrec, voci, true, xqcVarrPrec);
    TwunCalcolaFond::ArrotondaImponibili(xqcVarrPrec);
    TwunCalcolaFond::RicalcolaRitenuteContributi(xqcVarrPrec, 0, Currency(), 0, Currency());

    for (int ritenuta : {RICE_INPDAP, RICE_FC, RICE_OP}) {
        xqcVarrPrec.setFilter(QStringLiteral("IRICEID=%1").arg(ritenuta));
        xqcVarrPrec.setFiltered(true);
        TSommeRitenuta somme;
        for (xqcVarrPrec.first(); !xqcVarrPrec.eof(); xqcVarrPrec.next()) {
            somme.imponibileAmm += xqcVarrPrec.fieldByName(QStringLiteral("FVARRIMPONIBILEAMM")).asCurrency();
            somme.imponibileDip += xqcVarrPrec.fieldByName(QStringLiteral("FVARRIMPONIBILEDIP")).asCurrency();
            somme.ritenutaDip += xqcVarrPrec.fieldByName(QStringLiteral("FVARRRITDIP")).asCurrency();
            somme.ritenutaAmm += xqcVarrPrec.fieldByName(QStringLiteral("FVARRRITAMM")).asCurrency();
        }
        CompilaImportiV1(ritenuta, somme);
    }
    xqcVarrPrec.setFiltered(false);
    xqcVarrPrec.close();
    xqcVacrVarrPrec.close();

    v1.post();
    CopiaInAppo(v1);
}
