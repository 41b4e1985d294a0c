#include "ZepCDmaImpFondo.h"

#include "ZepCDmaImpContesto.h"

#include "ZepCDmaInfo.h"

#include "DataSet.h"
#include "Exceptions.h"
#include "Field.h"
#include "SqlQuery.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <algorithm>

using platform::Currency;
using platform::DataSet;
using platform::Value;

const QString TZepDmaImpFondo::MsgFondoPensione = QStringLiteral(
    "Impossibile trovare le informazioni relative al fondo pensione dei dati retributivi .");

namespace {

// The item types whose fund taxable makes up a category's total pay.
const QList<int> kTipiStipendio{10001, 10003, 10004, 10005, 10006, 10007};
const QList<int> kTipiIis{10002, 10008, 10009};

// A date lies in [dal, al] when it is set and within both ends.
bool NelPeriodo(const Value &data, const Value &dal, const Value &al)
{
    if (data.isEmpty())
        return false;
    const QDate d = data.toDate();
    return (al.isEmpty() || d <= al.toDate()) && (dal.isEmpty() || d >= dal.toDate());
}

} // namespace

TZepDmaImpFondo::TZepDmaImpFondo(TZepDmaImpContesto &contesto, DataSet &e1)
    : m_contesto(contesto), m_e1(e1), m_varr(&contesto.Connessione(), QStringLiteral("xqcVarr"))
{
}

void TZepDmaImpFondo::Importa()
{
    m_varr.close();
    m_varr.setFiltered(false);
    m_varr.setFilter(QString());
    TovQueryText().AssignCommand(QStringLiteral("QRY_DMA_FPC_VARR"), m_varr, QStringLiteral("EXECUTE"));
    m_varr.params().paramByName(QStringLiteral("IACOMID")).setValue(m_contesto.Candidato(QStringLiteral("IACOMID")));
    m_varr.params().paramByName(QStringLiteral("IMESID")).setValue(m_contesto.MesePaga());
    m_varr.Open();
    ImportaE1Categoria(CategoriaStipendio);
    ImportaE1Categoria(CategoriaIis);
    m_varr.setFiltered(false);
    m_varr.close();
}

Currency TZepDmaImpFondo::ValoreE1(char modo, const QString &campo, int ritenuta, int tipoCompenso)
{
    // The rows are read under the filter in place (the category's), their
    // retention and item compared as they are read: no filter text is
    // made, parsed and applied for every value of the row.
    const platform::Field &valoreCampo = m_varr.fieldByName(campo);
    const platform::Field &campoRitenuta = m_varr.fieldByName(QStringLiteral("IRICEID"));
    const platform::Field *campoTipo = tipoCompenso > 0 ? &m_varr.fieldByName(QStringLiteral("ICOTID")) : nullptr;
    // An empty retention or item reads 0, which no retention or item is.
    Currency valore;
    for (m_varr.first(); !m_varr.eof(); m_varr.next()) {
        if (campoRitenuta.asInteger() != ritenuta || (campoTipo && campoTipo->asInteger() != tipoCompenso))
            continue;
        const Currency importo = valoreCampo.asCurrency();
        valore = modo == 'M' ? std::max(valore, importo) : valore + importo;
    }
    m_varr.first();
    return valore;
}

void TZepDmaImpFondo::ImportaE1Categoria(int categoria)
{
    m_varr.setFilter(QStringLiteral("ICOSID=%1").arg(categoria));
    m_varr.setFiltered(true);
    if (m_varr.isEmpty())
        return;

    // The period: the registers' own dates for the salary; the ex-DMA
    // period of the registers for the special allowance, or their own
    // dates where none of them has one (pay of the month itself).
    auto estremi = [&](const char *campoDal, const char *campoAl, Value &dal, Value &al) {
        for (m_varr.first(); !m_varr.eof(); m_varr.next()) {
            const Value d = m_varr.fieldValue(QLatin1String(campoDal));
            const Value a = m_varr.fieldValue(QLatin1String(campoAl));
            if (!d.isEmpty() && (dal.isEmpty() || d.toDate() < dal.toDate()))
                dal = d;
            if (!a.isEmpty() && (al.isEmpty() || a.toDate() > al.toDate()))
                al = a;
        }
    };
    Value dal = Value::null(), al = Value::null();
    if (categoria == CategoriaIis)
        estremi("DREGSDMADAL", "DREGSDMAAL", dal, al);
    if (dal.isEmpty() && al.isEmpty())
        estremi("DREGSDAL", "DREGSAL", dal, al);

    // The fund of the compensation.
    platform::SqlQuery fondo(m_contesto.Connessione());
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANAFPC"), fondo, 0, QStringLiteral("SELECT"));
    fondo.bind(QStringLiteral("IACOMID"), m_contesto.Candidato(QStringLiteral("IACOMID")));
    fondo.open();
    if (fondo.eof())
        throw ETovWarning(MsgFondoPensione);

    m_e1.insert();
    m_e1.setFieldValue(QStringLiteral("SE1CODFIS"),
                       m_contesto.Iscritto().fieldValue(QStringLiteral("CF_D0001001_CODFIS")));
    m_e1.setFieldValue(QStringLiteral("SE1ANNOFIN"), m_contesto.Iscritto().fieldValue(QStringLiteral("SD0ANNOFIN")));
    m_e1.setFieldValue(QStringLiteral("SE1AMESE"), m_contesto.Iscritto().fieldValue(QStringLiteral("SD0AMESE")));
    m_e1.setFieldValue(QStringLiteral("CB_E1XXX013_CONGUAGLIO_FISCALE"), QStringLiteral("0"));
    m_e1.setFieldValue(QStringLiteral("ContribVersNonDich"), QStringLiteral("0"));
    m_e1.setFieldValue(QStringLiteral("DT_E1XXX004_DINIZIO"), dal);
    m_e1.setFieldValue(QStringLiteral("DT_E1XXX005_DFINE"), al);
    m_e1.setFieldValue(QStringLiteral("NP_E1XXX001_COD_FONDO"), fondo.value(QStringLiteral("SFPCCODINPDAP")));
    m_e1.setFieldValue(QStringLiteral("DT_E1XXX003_DSOTTOSCR"), fondo.value(QStringLiteral("DAFPADESIONE")));
    m_e1.setFieldValue(QStringLiteral("PC_E1XXX008_PERC_TFR"), fondo.value(QStringLiteral("FFPCPERCTFR")));
    const Value sospensione = fondo.value(QStringLiteral("DAFPSOSPENSIONE"));
    const Value cessazione = fondo.value(QStringLiteral("DAFPCESSAZIONE"));
    fondo.close();
    if (NelPeriodo(sospensione, dal, al))
        m_e1.setFieldValue(QStringLiteral("DT_E1XXX009_DFINE_CONTRIBUZIONI"), sospensione);
    else if (NelPeriodo(cessazione, dal, al))
        m_e1.setFieldValue(QStringLiteral("DT_E1XXX009_DFINE_CONTRIBUZIONI"), cessazione);

    const QString aliquotaDip = QStringLiteral("FVARRALIQUOTADIP");
    const QString ritenutaDip = QStringLiteral("FVARRRITDIP");
    m_e1.setFieldValue(QStringLiteral("PC_E1XXX006_PERC_LAVORATORE"),
                       ValoreE1('M', aliquotaDip, RICE_FONDO) + ValoreE1('M', aliquotaDip, RICE_FONDO_AGGIUNTIVO));
    m_e1.setFieldValue(QStringLiteral("PC_E1XXX007_PERC_CARICO_DATORE"),
                       ValoreE1('M', QStringLiteral("FVARRALIQUOTAAMM"), RICE_FONDO));
    Currency retribuzione;
    for (int tipo : categoria == CategoriaStipendio ? kTipiStipendio : kTipiIis)
        retribuzione += std::max(ValoreE1('M', QStringLiteral("FVARRIMPONIBILEDIP"), RICE_FONDO, tipo),
                                 ValoreE1('M', QStringLiteral("FVARRIMPONIBILEAMM"), RICE_FONDO, tipo));
    m_e1.setFieldValue(QStringLiteral("VP_E1XXX012_TOT_RETRIBUZIONE"), retribuzione);
    m_e1.setFieldValue(QStringLiteral("VP_E1XXX014_CONT_LAVORATORE"), ValoreE1('S', ritenutaDip, RICE_FONDO));
    m_e1.setFieldValue(QStringLiteral("VP_E1XXX015_CONT_DATORE"),
                       ValoreE1('S', QStringLiteral("FVARRRITAMM"), RICE_FONDO));
    m_e1.setFieldValue(QStringLiteral("VP_E1XXX016_CONT_AGG_LAVORATORE"),
                       ValoreE1('S', ritenutaDip, RICE_FONDO_AGGIUNTIVO));
    m_e1.setFieldValue(QStringLiteral("VP_E1XXX018_QUOTA_FPC_ISCRITTO"),
                       ValoreE1('S', ritenutaDip, RICE_FONDO_ISCRITTO));
    m_e1.post();
    TZepDmaInfo::Controlla(m_contesto.Info(), {&m_e1});
}
