#include "ZepCDmaImpContesto.h"

#include "ZepCDma.h"
#include "ZepUDmaUtil.h"

#include "TovCInfoChecker.h"
#include "TovUCdsUtil.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUCalcoli.h"
#include "wunUCalcoli.h"

#include "DataSet.h"
#include "Field.h"
#include "Format.h"
#include "SqlQuery.h"

using platform::Currency;
using platform::DataSet;
using platform::Value;

const Currency TZepDmaImpContesto::AliquotaAmmPredefinita = Currency::fromRaw(242000);
const QString TZepDmaImpContesto::MsgAliquotaDefault = QStringLiteral(
    " - Aliquota a carico dell'amministrazione della ritenuta 2 assente: contributo calcolato al 24,20%");

namespace {
const QString Execute = QStringLiteral("EXECUTE");
const QString Codfis = QStringLiteral("CODFIS");
const QString AMese = QStringLiteral("AMESE");
// The items of the basic monthly pay.
const QList<int> VociStipendio{10001, 10002, 10049, 10053, 10055, 10071};
} // namespace

TZepDmaImpContesto::TZepDmaImpContesto(platform::Database &connessione, const DataSet &parametri,
                                       const DataSet &candidato, const platform::SqlQuery &compenso,
                                       const platform::SqlQuery &residenza, const DataSet &iscritto,
                                       TTovInfoChecker &info)
    : m_connessione(connessione), m_parametri(parametri), m_candidato(candidato), m_compenso(compenso),
      m_residenza(residenza), m_iscritto(iscritto), m_info(info), m_aliquote(&connessione, QStringLiteral("xqcRica")),
      m_appoggio(&connessione, QStringLiteral("xqcAppoggio"))
{
    const bool v1 = parametri.fieldByName(QStringLiteral("ImportaSuV1")).asBoolean();
    m_sezioneCorrente = v1 ? TDmaUtil::QuadroV1 : TDmaUtil::QuadroE0;
    m_sezioneAltra = v1 ? TDmaUtil::QuadroE0 : TDmaUtil::QuadroV1;
}

// ---------------------------------------------------------------- the run and the person

QString TZepDmaImpContesto::MeseDenuncia() const
{
    return QStringLiteral("%1").arg(m_parametri.fieldByName(QStringLiteral("IMESID")).asInteger(), 2, 10,
                                    QLatin1Char('0'));
}

int TZepDmaImpContesto::AnnoDenuncia() const
{
    return m_parametri.fieldByName(QStringLiteral("ANNO_DENUNCIA")).asInteger();
}

int TZepDmaImpContesto::AnnoPaga()
{
    return wunAnnoFinanziario().Year();
}

Value TZepDmaImpContesto::Candidato(const QString &campo) const
{
    return m_candidato.fieldValue(campo);
}

Value TZepDmaImpContesto::Compenso(const QString &campo) const
{
    return m_compenso.value(campo);
}

Value TZepDmaImpContesto::Residenza(const QString &campo) const
{
    return m_residenza.isActive() && !m_residenza.eof() ? m_residenza.value(campo) : Value::null();
}

int TZepDmaImpContesto::MesePaga() const
{
    return m_candidato.fieldByName(QStringLiteral("MESE_FINALE")).asInteger();
}

QString TZepDmaImpContesto::FiltroPosizione() const
{
    return platform::format(QStringLiteral(" AND REGS.ITNOID IN (%s)"),
                            {Value(QString::number(m_candidato.fieldByName(QStringLiteral("ITNOID")).asInteger()))});
}

QString TZepDmaImpContesto::CodiceFiscale() const
{
    return m_compenso.value(QStringLiteral("SANACODFISCALE")).toString().trimmed();
}

// ---------------------------------------------------------------- rates

void TZepDmaImpContesto::ApriAliquote()
{
    const int tno = m_candidato.fieldByName(QStringLiteral("ITNOID")).asInteger();
    const int anno = wunAnnoFinanziario().Id();
    if (m_aliquote.isActive() && m_aliquoteTno == tno && m_aliquoteAnno == anno)
        return;
    m_aliquote.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_RICA_CALC"), m_aliquote, Execute);
    m_aliquote.params().paramByName(QStringLiteral("ITNOID")).setValue(tno);
    m_aliquote.params().paramByName(QStringLiteral("IANFID")).setValue(anno);
    m_aliquote.Open();
    m_aliquoteTno = tno;
    m_aliquoteAnno = anno;
}

Currency TZepDmaImpContesto::AliquotaDip(int ritenuta)
{
    ApriAliquote();
    return m_aliquote.locate(QStringLiteral("IRICEID"), ritenuta)
               ? m_aliquote.fieldByName(QStringLiteral("FRICAALIQUOTADIP")).asCurrency()
               : Currency();
}

Currency TZepDmaImpContesto::AliquotaAmm(int ritenuta)
{
    ApriAliquote();
    return m_aliquote.locate(QStringLiteral("IRICEID"), ritenuta)
               ? m_aliquote.fieldByName(QStringLiteral("FRICAALIQUOTAAMM")).asCurrency()
               : Currency();
}

Currency TZepDmaImpContesto::AliquotaAmmPensione()
{
    const Currency aliquota = AliquotaAmm(RICE_INPDAP);
    if (!aliquota.isZero())
        return aliquota;
    m_info.AddMessage(MsgAliquotaDefault);
    return AliquotaAmmPredefinita;
}

bool TZepDmaImpContesto::ContributoAggiuntivo() const
{
    return m_compenso.value(QStringLiteral("IACOMSCAINPDAP")).toInt() > 1;
}

// ---------------------------------------------------------------- pay

Currency TZepDmaImpContesto::CalcolaStipendioTabellare(int anno, int mese, int qualifica)
{
    Currency stipendio;
    if (qualifica == m_compenso.value(QStringLiteral("IQARID")).toInt()) {
        m_appoggio.close();
        TwunCalcola::ApriAstrMese(m_appoggio, m_candidato.fieldByName(QStringLiteral("IACOMID")).asInteger(),
                                  COS_STIPENDIO, mese);
        for (m_appoggio.first(); !m_appoggio.eof(); m_appoggio.next())
            if (VociStipendio.contains(m_appoggio.fieldByName(QStringLiteral("ICOMRID")).asInteger()))
                stipendio += m_appoggio.fieldByName(QStringLiteral("FASTRIMPORTO")).asCurrency();
        m_appoggio.close();
    }
    if (stipendio.isZero())
        stipendio = StipendioDaCCNL(m_connessione, anno, mese, qualifica);
    return stipendio;
}

Currency TZepDmaImpContesto::StipendioDaCCNL(platform::Database &connessione, int anno, int mese, int qualifica)
{
    // The contract tables of the pay's own month and year.
    WunCCNL().TabellaCCNLMese(mese, anno);
    TUqQueryCollection importi(&connessione, QStringLiteral("xqcAppoggio"));
    TovQueryText().AssignCommand(QStringLiteral("QRY_TFR_IMPORTI"), importi, Execute);
    platform::Params &p = importi.params();
    p.paramByName(QStringLiteral("ICCNTID")).setValue(WunCCNL().TabellaCCNL());
    p.paramByName(QStringLiteral("ICCNVID")).setValue(WunCCNL().TabellaCCNV());
    p.paramByName(QStringLiteral("COMR_STIPENDIO")).setValue(10001);
    p.paramByName(QStringLiteral("COMR_IIS")).setValue(10002);
    importi.Open();
    const auto voce = [&importi, qualifica](int item) {
        return importi.locate(QStringLiteral("IQARID;ICOMRID"), {qualifica, item})
                   ? importi.fieldByName(QStringLiteral("FCCNLIMPORTO")).asCurrency()
                   : Currency();
    };
    Currency stipendio = TwunCalcola::Arrotonda(2, voce(10001) / 12) + TwunCalcola::Arrotonda(2, voce(10002) / 12)
                         + voce(10049) + voce(10053) + voce(10055);
    if (importi.locate(QStringLiteral("IQARID;ICOMRID"), {qualifica, 10071}))
        stipendio += TTovCalcola::ImportoCcnl10071(importi, qualifica, false);
    return stipendio;
}

bool TZepDmaImpContesto::RitenuteMese(platform::SqlQuery &query, int ritenuta, const QString &condizione,
                                      const TParametri &parametri) const
{
    query.close();
    TovQueryText().AssignSQL(QStringLiteral("QRY_DMA_PREVID_RIT_FOND"), query, 0, Execute,
                             condizione + QStringLiteral(" AND COT.ICOTFONDAMENTALE=") + QStringLiteral("1")
                                 + FiltroPosizione());
    query.bind(QStringLiteral("IACOMID"), Candidato(QStringLiteral("IACOMID")));
    query.bind(QStringLiteral("IRICEID"), ritenuta);
    query.bind(QStringLiteral("MESE_INIZIALE"), MesePaga());
    query.bind(QStringLiteral("MESE_FINALE"), MesePaga());
    for (const auto &[nome, valore] : parametri)
        query.bind(nome, valore);
    query.open();
    return !query.eof();
}

// ---------------------------------------------------------------- section rows

void TZepDmaImpContesto::NuovaRiga(DataSet &dataSet, const QString &sezione, const Value &dal, const Value &al) const
{
    const int ordine = TTovCds::NextKey(dataSet, TZepDma::CampoOrdine);
    dataSet.append();
    dataSet.setFieldValue(TDmaUtil::CampoSezione(sezione, Codfis), m_iscritto.fieldValue(TZepDma::CampoCodiceFiscale));
    dataSet.setFieldValue(TDmaUtil::CampoSezione(sezione, QStringLiteral("ANNOFIN")),
                          m_iscritto.fieldValue(QStringLiteral("SD0ANNOFIN")));
    dataSet.setFieldValue(TDmaUtil::CampoSezione(sezione, AMese), m_iscritto.fieldValue(QStringLiteral("SD0AMESE")));
    dataSet.setFieldValue(TZepDma::CampoOrdine, ordine);
    for (const auto &f : dataSet.fields())
        if (f->fieldName().startsWith(QStringLiteral("CB_")))
            f->setValue(QStringLiteral("0"));
    const auto imposta = [&](const char *campo, const Value &valore) {
        dataSet.setFieldValue(Campo(sezione, QLatin1String(campo)), valore);
    };
    imposta("NP_E0XXX003_PENS", QStringLiteral("1"));
    imposta("NP_E0XXX004_PREV", QStringLiteral("7"));
    imposta("NP_E0XXX005_CREDITO", QStringLiteral("9"));
    imposta("NP_E0XXX011_IMPIEGO",
            m_compenso.value(QStringLiteral("ITNOID")).toInt() == 1 ? QStringLiteral("1") : QStringLiteral("13"));
    imposta("NP_E0XXX012_SERVIZIO", QStringLiteral("4"));
    const QString inquadramento = m_compenso.value(QStringLiteral("SACOMINQUADRAMENTO")).toString();
    imposta("AN_E0XXX007_COMPARTO", inquadramento.mid(0, 2));
    imposta("AN_E0XXX008_SOTTOCOM", inquadramento.mid(2, 2));
    imposta("AN_E0XXX009_QUALIFICA", inquadramento.mid(4, 6));
    if (sezione == TDmaUtil::QuadroV1) {
        dataSet.setFieldValue(QStringLiteral("NP_V1XXX000_CAUSVAR"),
                              m_parametri.fieldByName(QStringLiteral("CAUSVAR")).asString());
        dataSet.setFieldValue(QStringLiteral("NP_V1XXX024_CODALI"), QStringLiteral("2"));
    }
    imposta("DT_E0XXX001_DINIZIO", dal);
    imposta("DT_E0XXX002_DFINE", al);
}

QString TZepDmaImpContesto::Campo(const QString &sezione, const QString &campoE0)
{
    return TDmaUtil::NomeCampo(campoE0, sezione);
}

Currency TZepDmaImpContesto::Importo(const DataSet &dataSet, const QString &sezione, const QString &campoE0)
{
    return dataSet.fieldByName(Campo(sezione, campoE0)).asCurrency();
}

void TZepDmaImpContesto::ImpostaImporto(DataSet &dataSet, const QString &sezione, const QString &campoE0,
                                        Currency valore)
{
    dataSet.setFieldValue(Campo(sezione, campoE0), Value(valore));
}

void TZepDmaImpContesto::CopiaRiga(const DataSet &dataSet, DataSet &copia)
{
    if (!copia.isActive()) {
        copia.setFieldDefs(dataSet.fieldDefs());
        copia.createDataSet();
    }
    copia.append();
    for (const auto &f : dataSet.fields())
        if (!f->isCalculated())
            if (platform::Field *g = copia.findField(f->fieldName()))
                g->setValue(f->value());
    copia.post();
}

bool TZepDmaImpContesto::FiltraPersona(DataSet &dataSet, const QString &sezione) const
{
    const QString cf = CodiceFiscale();
    const QString mese = MeseDenuncia();
    // A record filter, not a filter text: the values never pass through a
    // parser. The fields are found by name once, not at every record of the
    // table.
    const int campoCf = dataSet.fieldByName(TDmaUtil::CampoSezione(sezione, Codfis)).index();
    const int campoMese = dataSet.fieldByName(TDmaUtil::CampoSezione(sezione, AMese)).index();
    dataSet.events().onFilterRecord = [=](DataSet &d) {
        return d.field(campoCf)->asString() == cf && d.field(campoMese)->asString() == mese;
    };
    dataSet.setFiltered(true);
    return !dataSet.isEmpty();
}

void TZepDmaImpContesto::TogliFiltro(DataSet &dataSet)
{
    dataSet.setFiltered(false);
    dataSet.events().onFilterRecord = {};
    // Without an order the records are already in their natural one: the
    // view is not made again over the whole section for nothing.
    if (!dataSet.indexFieldNames().isEmpty())
        dataSet.setIndexFieldNames(QString());
}

void TZepDmaImpContesto::TogliFiltroPerCercare(DataSet &dataSet)
{
    // The record filter goes first: the view is then made again letting
    // every record through unasked, in the natural order, and the whole
    // section is never sorted in the order being removed.
    dataSet.events().onFilterRecord = {};
    if (!dataSet.indexFieldNames().isEmpty())
        dataSet.setIndexFieldNames(QString());
    dataSet.setFiltered(false);
}
