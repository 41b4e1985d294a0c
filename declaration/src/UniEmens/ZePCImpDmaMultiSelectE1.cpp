// TZepDmaImpMultiSelect: the supplementary pension fund rows (section E1),
// last among a person's pay rows: at most one row per item category of the
// fund's withholding rows of the month, 10001 (salary) and 10002 (special
// allowance), with the fund's data of the compensation.
#include "ZePCImpDmaMultiSelect.h"

#include "ZepCDmaInfo.h"

#include "Exceptions.h"
#include "Field.h"
#include "tovCQueryText.h"
#include "tovUExceptions.h"

#include <algorithm>

using platform::Currency;
using platform::DataSet;
using platform::Value;

const QString TZepDmaImpMultiSelect::MsgFondoPensione = QStringLiteral(
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

void TZepDmaImpMultiSelect::ImportaE1()
{
    xqcVarr.close();
    xqcVarr.setFiltered(false);
    xqcVarr.setFilter(QString());
    TovQueryText().AssignCommand(QStringLiteral("QRY_DMA_FPC_VARR"), xqcVarr, QStringLiteral("EXECUTE"));
    xqcVarr.params()
        .paramByName(QStringLiteral("IACOMID"))
        .setValue(xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    xqcVarr.params().paramByName(QStringLiteral("IMESID")).setValue(MesePaga());
    xqcVarr.Open();
    ImportaE1Categoria(CategoriaStipendio);
    ImportaE1Categoria(CategoriaIis);
    xqcVarr.setFiltered(false);
    xqcVarr.close();
}

Currency TZepDmaImpMultiSelect::ValoreE1(char modo, const QString &campo, int ritenuta, int tipoCompenso)
{
    const QString filtro = xqcVarr.filter();
    const bool filtrato = xqcVarr.filtered();
    QString condizione = QStringLiteral("IRICEID=%1").arg(ritenuta);
    if (tipoCompenso > 0)
        condizione += QStringLiteral(" AND ICOTID=%1").arg(tipoCompenso);
    xqcVarr.setFilter(filtrato && !filtro.isEmpty() ? filtro + QStringLiteral(" AND ") + condizione : condizione);
    xqcVarr.setFiltered(true);
    Currency valore;
    for (xqcVarr.first(); !xqcVarr.eof(); xqcVarr.next()) {
        const Value v = xqcVarr.fieldValue(campo);
        const Currency importo = v.isEmpty() ? Currency() : v.toCurrency();
        valore = modo == 'M' ? std::max(valore, importo) : valore + importo;
    }
    xqcVarr.setFilter(filtro);
    xqcVarr.setFiltered(filtrato);
    return valore;
}

void TZepDmaImpMultiSelect::ImportaE1Categoria(int categoria)
{
    xqcVarr.setFilter(QStringLiteral("ICOSID=%1").arg(categoria));
    xqcVarr.setFiltered(true);
    if (xqcVarr.isEmpty())
        return;

    // The period: the registers' own dates for the salary; the ex-DMA
    // period of the registers for the special allowance, or their own
    // dates where none of them has one (pay of the month itself).
    auto estremi = [&](const char *campoDal, const char *campoAl, Value &dal, Value &al) {
        for (xqcVarr.first(); !xqcVarr.eof(); xqcVarr.next()) {
            const Value d = xqcVarr.fieldValue(QLatin1String(campoDal));
            const Value a = xqcVarr.fieldValue(QLatin1String(campoAl));
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
    platform::SqlQuery fondo(Connessione());
    TovQueryText().AssignSQL(QStringLiteral("QRY_ANAFPC"), fondo, 0, QStringLiteral("SELECT"));
    fondo.bind(QStringLiteral("IACOMID"), xqcMultiSelect.fieldValue(QStringLiteral("IACOMID")));
    fondo.open();
    if (fondo.eof())
        throw ETovWarning(MsgFondoPensione);

    cdsE1.insert();
    cdsE1.setFieldValue(QStringLiteral("SE1CODFIS"), cdsImport.fieldValue(QStringLiteral("CF_D0001001_CODFIS")));
    cdsE1.setFieldValue(QStringLiteral("SE1ANNOFIN"), cdsImport.fieldValue(QStringLiteral("SD0ANNOFIN")));
    cdsE1.setFieldValue(QStringLiteral("SE1AMESE"), cdsImport.fieldValue(QStringLiteral("SD0AMESE")));
    cdsE1.setFieldValue(QStringLiteral("CB_E1XXX013_CONGUAGLIO_FISCALE"), QStringLiteral("0"));
    cdsE1.setFieldValue(QStringLiteral("ContribVersNonDich"), QStringLiteral("0"));
    cdsE1.setFieldValue(QStringLiteral("DT_E1XXX004_DINIZIO"), dal);
    cdsE1.setFieldValue(QStringLiteral("DT_E1XXX005_DFINE"), al);
    cdsE1.setFieldValue(QStringLiteral("NP_E1XXX001_COD_FONDO"), fondo.value(QStringLiteral("SFPCCODINPDAP")));
    cdsE1.setFieldValue(QStringLiteral("DT_E1XXX003_DSOTTOSCR"), fondo.value(QStringLiteral("DAFPADESIONE")));
    cdsE1.setFieldValue(QStringLiteral("PC_E1XXX008_PERC_TFR"), fondo.value(QStringLiteral("FFPCPERCTFR")));
    const Value sospensione = fondo.value(QStringLiteral("DAFPSOSPENSIONE"));
    const Value cessazione = fondo.value(QStringLiteral("DAFPCESSAZIONE"));
    fondo.close();
    if (NelPeriodo(sospensione, dal, al))
        cdsE1.setFieldValue(QStringLiteral("DT_E1XXX009_DFINE_CONTRIBUZIONI"), sospensione);
    else if (NelPeriodo(cessazione, dal, al))
        cdsE1.setFieldValue(QStringLiteral("DT_E1XXX009_DFINE_CONTRIBUZIONI"), cessazione);

    const QString aliquotaDip = QStringLiteral("FVARRALIQUOTADIP");
    const QString ritenutaDip = QStringLiteral("FVARRRITDIP");
    cdsE1.setFieldValue(QStringLiteral("PC_E1XXX006_PERC_LAVORATORE"),
                        ValoreE1('M', aliquotaDip, RICE_FONDO) + ValoreE1('M', aliquotaDip, RICE_FONDO_AGGIUNTIVO));
    cdsE1.setFieldValue(QStringLiteral("PC_E1XXX007_PERC_CARICO_DATORE"),
                        ValoreE1('M', QStringLiteral("FVARRALIQUOTAAMM"), RICE_FONDO));
    Currency retribuzione;
    for (int tipo : categoria == CategoriaStipendio ? kTipiStipendio : kTipiIis)
        retribuzione += std::max(ValoreE1('M', QStringLiteral("FVARRIMPONIBILEDIP"), RICE_FONDO, tipo),
                                 ValoreE1('M', QStringLiteral("FVARRIMPONIBILEAMM"), RICE_FONDO, tipo));
    cdsE1.setFieldValue(QStringLiteral("VP_E1XXX012_TOT_RETRIBUZIONE"), retribuzione);
    cdsE1.setFieldValue(QStringLiteral("VP_E1XXX014_CONT_LAVORATORE"), ValoreE1('S', ritenutaDip, RICE_FONDO));
    cdsE1.setFieldValue(QStringLiteral("VP_E1XXX015_CONT_DATORE"),
                        ValoreE1('S', QStringLiteral("FVARRRITAMM"), RICE_FONDO));
    cdsE1.setFieldValue(QStringLiteral("VP_E1XXX016_CONT_AGG_LAVORATORE"),
                        ValoreE1('S', ritenutaDip, RICE_FONDO_AGGIUNTIVO));
    cdsE1.setFieldValue(QStringLiteral("VP_E1XXX018_QUOTA_FPC_ISCRITTO"),
                        ValoreE1('S', ritenutaDip, RICE_FONDO_ISCRITTO));
    cdsE1.post();
    TZepDmaInfo::Controlla(Info, {&cdsE1});
}
