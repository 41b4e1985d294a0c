#include "ZepCDmaImpPrecedenti.h"

#include "ZepCDmaImpContesto.h"

#include "ZepCDma.h"
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
using C = TZepDmaImpContesto;

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
    query.bind(QStringLiteral("RICE_COD_INPDAP"), C::RICE_INPDAP)
        .bind(QStringLiteral("RICE_COD_OP"), C::RICE_OP)
        .bind(QStringLiteral("RICE_COD_FC"), C::RICE_FC);
}

} // namespace

TZepDmaImpPrecedenti::TZepDmaImpPrecedenti(TZepDmaImpContesto &contesto, DataSet &v1)
    : m_contesto(contesto), m_v1(v1), m_ritenute(contesto.Connessione()), m_periodi(contesto.Connessione()),
      m_riferimenti(contesto.Connessione()), m_varrPrec(&contesto.Connessione(), QStringLiteral("xqcVarrPrec")),
      m_vacrVarrPrec(&contesto.Connessione(), QStringLiteral("xqcVacrVarrPrec")),
      m_vacrPrec(QStringLiteral("cdsVacrPrec")), m_righeGruppo(QStringLiteral("cdsAppo"))
{
}

void TZepDmaImpPrecedenti::Inizia()
{
    m_righeV1Precedenti.clear();
}

void TZepDmaImpPrecedenti::NuovaRigaV1(const Value &dal, const Value &al)
{
    m_contesto.NuovaRiga(m_v1, TDmaUtil::QuadroV1, dal, al);
}

void TZepDmaImpPrecedenti::RegistraRigaV1()
{
    DataSet &v1 = m_v1;
    const QString inizio = C::Campo(TDmaUtil::QuadroV1, QStringLiteral("DT_E0XXX001_DINIZIO"));
    const QString fine = C::Campo(TDmaUtil::QuadroV1, QStringLiteral("DT_E0XXX002_DFINE"));
    const QString causa = QStringLiteral("NP_V1XXX000_CAUSVAR");
    const platform::ValueList chiave{v1.fieldValue(inizio), v1.fieldValue(fine), v1.fieldValue(causa)};
    int gemella = 0;
    for (const int ordine : std::as_const(m_righeV1Precedenti)) {
        const platform::ValueList altra{v1.lookup(TZepDma::CampoOrdine, {ordine}, inizio),
                                        v1.lookup(TZepDma::CampoOrdine, {ordine}, fine),
                                        v1.lookup(TZepDma::CampoOrdine, {ordine}, causa)};
        if (altra == chiave) {
            gemella = ordine;
            break;
        }
    }
    if (gemella == 0) {
        v1.post();
        m_righeV1Precedenti << v1.fieldByName(TZepDma::CampoOrdine).asInteger();
        return;
    }
    // The new row's values, its amounts added to the row of the period and
    // the rest taken where that row has none.
    platform::ValueList valori;
    for (const auto &f : v1.fields())
        valori << f->value();
    v1.cancel();
    ZEP_ASSERT(v1.locate(TZepDma::CampoOrdine, gemella),
               QStringLiteral("Riga V1 del periodo non più trovata (ORDINE %1)").arg(gemella));
    QSet<QString> importi;
    for (const QString &campo : kImportiV1)
        importi << C::Campo(TDmaUtil::QuadroV1, campo);
    v1.edit();
    for (int i = 0; i < v1.fieldCount(); ++i) {
        platform::Field &f = *v1.field(i);
        if (f.isCalculated() || valori.at(i).isEmpty())
            continue;
        if (importi.contains(f.fieldName()))
            f.setValue(Value(f.asCurrency() + valori.at(i).toCurrency()));
        else if (f.isNull() || f.asString().isEmpty())
            f.setValue(valori.at(i));
    }
    v1.post();
}

void TZepDmaImpPrecedenti::CompilaImportiV1(int ritenuta, const TSommeRitenuta &somme)
{
    DataSet &v1 = m_v1;
    auto imposta = [&](const char *campo, Currency valore) {
        C::ImpostaImporto(v1, TDmaUtil::QuadroV1, QLatin1String(campo), valore);
    };
    switch (ritenuta) {
    case C::RICE_INPDAP: {
        const Currency imponibile = somme.imponibileDip;
        Currency amministrazione = somme.ritenutaAmm;
        if (imponibile > Currency() && somme.imponibileAmm.isZero())
            amministrazione = TTovCalcola::PercentualeArrotondata(2, imponibile, m_contesto.AliquotaAmmPensione());
        imposta("VP_E0XXX032_IMPPENS", imponibile);
        imposta("VP_E0XXX033_CONPENS", somme.ritenutaDip + amministrazione);
        imposta("VP_E0XXX034_CONECC", m_contesto.ContributoAggiuntivo()
                                          ? TTovCalcola::PercentualeArrotondata(2, imponibile, Currency::fromInt(1))
                                          : Currency());
        break;
    }
    case C::RICE_FC:
        imposta("VP_E0XXX039_IMPCREDITO", somme.imponibileDip);
        imposta("VP_E0XXX040_CONCREDITO", somme.ritenutaDip);
        break;
    case C::RICE_OP:
        imposta("VP_E0XXXA37_IMPTFR", somme.imponibileAmm);
        imposta("VP_E0XXX044_UTILETFR",
                TTovCalcola::PercentualeArrotondata(2, somme.imponibileAmm, Currency::fromInt(125)));
        imposta("VP_E0XXXA38_CONTFR", somme.ritenutaAmm);
        break;
    default: ZEP_ASSERT(false, QStringLiteral("Ritenuta non prevista nei quadri V1: %1").arg(ritenuta));
    }
}

void TZepDmaImpPrecedenti::ImportiV1Precedente(const QDate &dal, const QDate &al)
{
    for (int ritenuta : {C::RICE_INPDAP, C::RICE_FC, C::RICE_OP}) {
        TSommeRitenuta somme;
        if (m_contesto.RitenuteMese(m_ritenute, ritenuta, kCondizioneRegistri,
                                    {{QStringLiteral("DMA_DAL"), Value(dal)}, {QStringLiteral("DMA_AL"), Value(al)}})) {
            somme.imponibileAmm = m_ritenute.value(QStringLiteral("FVARRIMPONIBILEAMM")).toCurrency();
            somme.imponibileDip = m_ritenute.value(QStringLiteral("FVARRIMPONIBILEDIP")).toCurrency();
            somme.ritenutaDip = m_ritenute.value(QStringLiteral("FVARRRITDIP")).toCurrency();
            somme.ritenutaAmm = m_ritenute.value(QStringLiteral("FVARRRITAMM")).toCurrency();
        }
        m_ritenute.close();
        CompilaImportiV1(ritenuta, somme);
    }
}

void TZepDmaImpPrecedenti::ImportaPeriodiPrecedenti()
{
    struct Periodo {
        QDate dal, al;
        int qualifica = 0, minuti = 0, ore = 0;
    };
    TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_FOND_PREC"), m_periodi, 0, QStringLiteral("EXECUTE"),
                             m_contesto.FiltroPosizione());
    m_periodi.bind(QStringLiteral("IACOMID"), m_contesto.Candidato(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("IMESID"), m_contesto.MesePaga());
    BindRitenute(m_periodi);
    QList<Periodo> periodi;
    for (m_periodi.open(); !m_periodi.eof(); m_periodi.next())
        periodi.append({m_periodi.value(QStringLiteral("DREGSDMADAL")).toDate(),
                        m_periodi.value(QStringLiteral("DREGSDMAAL")).toDate(),
                        m_periodi.value(QStringLiteral("IQARID")).toInt(),
                        m_periodi.value(QStringLiteral("IREGSORESERVIZIO")).toInt(),
                        m_periodi.value(QStringLiteral("IREGSSUORE")).toInt()});
    m_periodi.close();

    DataSet &v1 = m_v1;
    for (const Periodo &p : periodi) {
        ZEP_ASSERT(p.dal.daysTo(p.al) + 1 >= 1,
                   QStringLiteral("Periodo precedente non valido: dal %1 al %2")
                       .arg(p.dal.toString(QStringLiteral("dd/MM/yyyy")), p.al.toString(QStringLiteral("dd/MM/yyyy"))));
        NuovaRigaV1(p.dal, p.al);
        ImportiV1Precedente(p.dal, p.al);
        const Currency stipendio = StipendioPeriodoPrecedente(p.al, p.qualifica);
        v1.setFieldValue(QStringLiteral("StipendioTabellare"), stipendio);
        const QString retribuzione = C::Campo(TDmaUtil::QuadroV1, QStringLiteral("VP_E0XXX043_RETRTFR"));
        v1.setFieldValue(retribuzione, stipendio);
        // Part time: the service hours of the register against its full time.
        const Currency ore = Currency::fromInt(p.minuti) / 60;
        const Currency oreArrotondate = TwunCalcola::ArrotondaPari(0, ore);
        if (ore > Currency() && p.ore > 0 && oreArrotondate != Currency::fromInt(p.ore)) {
            v1.setFieldValue(retribuzione, TwunCalcola::Arrotonda(2, (stipendio * ore) / Currency::fromInt(p.ore)));
            v1.setFieldValue(C::Campo(TDmaUtil::QuadroV1, QStringLiteral("N2_E0XXX059_ORARID")), oreArrotondate);
            v1.setFieldValue(QStringLiteral("OrarioIntero"), p.ore);
        }
        RegistraRigaV1();
        ImportaVociPrecedenti(v1, Value(p.al), Value(p.dal));
    }
}

Currency TZepDmaImpPrecedenti::StipendioPeriodoPrecedente(const QDate &al, int qualifica)
{
    // The person's monthly amounts are those of the pay year's
    // compensation: a period of an earlier year takes its basic pay from
    // that year's contract tables.
    if (al.year() != C::AnnoPaga())
        return C::StipendioDaCCNL(m_contesto.Connessione(), al.year(), al.month(), qualifica);
    return m_contesto.CalcolaStipendioTabellare(al.year(), al.month(), qualifica);
}

void TZepDmaImpPrecedenti::ImportaVociPrecedenti(DataSet &dataSet, const Value &al, const Value &dal)
{
    const platform::Bookmark riga = dataSet.isEmpty() ? platform::Bookmark() : dataSet.bookmark();
    const bool registro = Data(dal) && Data(al);
    const QString condizioneRegistri = registro ? kCondizioneRegistri : kRegistriDelMese;
    TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_FOND_PREC_VOCI"), m_riferimenti, 0, QStringLiteral("EXECUTE"),
                             m_contesto.FiltroPosizione() + condizioneRegistri);
    m_riferimenti.bind(QStringLiteral("IACOMID"), m_contesto.Candidato(QStringLiteral("IACOMID")))
        .bind(QStringLiteral("IMESID"), m_contesto.MesePaga());
    BindRitenute(m_riferimenti);
    if (registro)
        m_riferimenti.bind(QStringLiteral("DMA_DAL"), dal).bind(QStringLiteral("DMA_AL"), al);
    struct Riferimento {
        Value dal, al;
        int tipo = 0;
    };
    QList<Riferimento> riferimenti;
    for (m_riferimenti.open(); !m_riferimenti.eof(); m_riferimenti.next())
        riferimenti.append({m_riferimenti.value(QStringLiteral("DVACRRIFDAL")),
                            m_riferimenti.value(QStringLiteral("DVACRRIFAL")),
                            m_riferimenti.value(QStringLiteral("ICOTID")).toInt()});
    m_riferimenti.close();
    m_righeGruppo.close();

    for (const Riferimento &r : riferimenti)
        ImportaVocePrecedente(condizioneRegistri, dal, al, r.dal, r.al, r.tipo);

    if (riga.isValid() && dataSet.bookmarkValid(riga))
        dataSet.gotoBookmark(riga);

    // What V1 declares comes out of the row of the pay it came with.
    if (!m_righeGruppo.isActive() || m_righeGruppo.isEmpty() || dataSet.isEmpty())
        return;
    const QString sezione = &dataSet == &m_v1 ? TDmaUtil::QuadroV1 : TDmaUtil::QuadroE0;
    if (dataSet.fieldValue(TDmaUtil::CampoSezione(sezione, QStringLiteral("CODFIS"))).toString()
        != m_contesto.CodiceFiscale())
        return;
    dataSet.edit();
    for (m_righeGruppo.first(); !m_righeGruppo.eof(); m_righeGruppo.next()) {
        for (const QString &campo : kImportiV1) {
            C::ImpostaImporto(dataSet, sezione, campo,
                              C::Importo(dataSet, sezione, campo)
                                  - C::Importo(m_righeGruppo, TDmaUtil::QuadroV1, campo));
        }
    }
    dataSet.post();
}

void TZepDmaImpPrecedenti::ImportaVocePrecedente(const QString &condizioneRegistri, const Value &dalRegistro,
                                                 const Value &alRegistro, const Value &dal, const Value &al,
                                                 int tipoCompenso)
{
    DataSet &v1 = m_v1;
    NuovaRigaV1(dal, al);

    // The items of the reference period with their withholding rows, of
    // the registers the caller names only.
    m_vacrVarrPrec.close();
    m_vacrVarrPrec.setFiltered(false);
    m_vacrVarrPrec.setFilter(QString());
    TovQueryText().AssignCommand(QStringLiteral("QRY_DMA_VACR_VARR_VOCI_PREC"), m_vacrVarrPrec,
                                 QStringLiteral("EXECUTE"));
    TTovQueryText::FormatSQL(m_vacrVarrPrec, {condizioneRegistri, kCondizioneRiferimento});
    platform::Params &parametri = m_vacrVarrPrec.params();
    parametri.paramByName(QStringLiteral("IACOMID")).setValue(m_contesto.Candidato(QStringLiteral("IACOMID")));
    parametri.paramByName(QStringLiteral("IMESID")).setValue(m_contesto.MesePaga());
    parametri.paramByName(QStringLiteral("ICOTID")).setValue(tipoCompenso);
    parametri.paramByName(QStringLiteral("RICE_COD_INPDAP")).setValue(C::RICE_INPDAP);
    parametri.paramByName(QStringLiteral("RICE_COD_FC")).setValue(C::RICE_FC);
    parametri.paramByName(QStringLiteral("RICE_COD_OP")).setValue(C::RICE_OP);
    parametri.paramByName(QStringLiteral("RIF_DAL")).setValue(dal);
    parametri.paramByName(QStringLiteral("RIF_AL")).setValue(al);
    if (Data(dalRegistro) && Data(alRegistro)) {
        parametri.paramByName(QStringLiteral("DMA_DAL")).setValue(dalRegistro);
        parametri.paramByName(QStringLiteral("DMA_AL")).setValue(alRegistro);
    }
    m_vacrVarrPrec.Open();
    m_vacrPrec.close();
    m_vacrPrec.assignData(m_vacrVarrPrec);
    m_vacrPrec.setFilter(QStringLiteral("IRICEID=%1").arg(C::RICE_INPDAP));
    m_vacrPrec.setFiltered(true);
    QList<int> voci;
    for (m_vacrPrec.first(); !m_vacrPrec.eof(); m_vacrPrec.next()) {
        const int voce = m_vacrPrec.fieldValue(QStringLiteral("ICOMRID")).toInt();
        if (!voci.contains(voce))
            voci.append(voce);
    }

    // The withholding rows rebuilt on the items' taxable shares: one row
    // per retention, its withholdings computed on the whole.
    m_varrPrec.setFiltered(false);
    m_varrPrec.setFilter(QString());
    TwunCalcolaFond::ApriRitenuteFondamentali(m_varrPrec, -1);
    QSet<int> ritenute;
    for (m_vacrVarrPrec.first(); !m_vacrVarrPrec.eof(); m_vacrVarrPrec.next()) {
        const int ritenuta = m_vacrVarrPrec.fieldValue(QStringLiteral("IRICEID")).toInt();
        if (ritenute.contains(ritenuta))
            continue;
        ritenute.insert(ritenuta);
        m_varrPrec.append();
        for (const char *campo :
             {"IRICEID", "ITVCOIDDIP", "ITVCOIDAMM", "ITVCOCODDIP", "ITVCOCODAMM", "LRICEFISSA", "IRICEDECIMALIIMP"})
            m_varrPrec.setFieldValue(QLatin1String(campo), m_vacrVarrPrec.fieldValue(QLatin1String(campo)));
        for (const char *campo :
             {"FVARRIMPONIBILE", "FVARRIMPONIBILEDIP", "FVARRIMPONIBILEAMM", "FVARRALIQUOTADIP", "FVARRALIQUOTAAMM",
              "FVARRPERCIMPDIP", "FVARRPERCIMPAMM", "FVARRRITDIP", "FVARRRITAMM"})
            m_varrPrec.setFieldValue(QLatin1String(campo), Currency());
        m_varrPrec.post();
    }
    TwunCalcolaFond::SommaImponibiliRitenute(m_vacrVarrPrec, voci, true, m_varrPrec);
    TwunCalcolaFond::ArrotondaImponibili(m_varrPrec);
    TwunCalcolaFond::RicalcolaRitenuteContributi(m_varrPrec, 0, Currency(), 0, Currency());

    for (int ritenuta : {C::RICE_INPDAP, C::RICE_FC, C::RICE_OP}) {
        m_varrPrec.setFilter(QStringLiteral("IRICEID=%1").arg(ritenuta));
        m_varrPrec.setFiltered(true);
        TSommeRitenuta somme;
        for (m_varrPrec.first(); !m_varrPrec.eof(); m_varrPrec.next()) {
            somme.imponibileAmm += m_varrPrec.fieldByName(QStringLiteral("FVARRIMPONIBILEAMM")).asCurrency();
            somme.imponibileDip += m_varrPrec.fieldByName(QStringLiteral("FVARRIMPONIBILEDIP")).asCurrency();
            somme.ritenutaDip += m_varrPrec.fieldByName(QStringLiteral("FVARRRITDIP")).asCurrency();
            somme.ritenutaAmm += m_varrPrec.fieldByName(QStringLiteral("FVARRRITAMM")).asCurrency();
        }
        CompilaImportiV1(ritenuta, somme);
    }
    m_varrPrec.setFiltered(false);
    m_varrPrec.close();
    m_vacrVarrPrec.close();

    // What this group declares, to be taken out of its own row.
    C::CopiaRiga(v1, m_righeGruppo);
    RegistraRigaV1();
}
