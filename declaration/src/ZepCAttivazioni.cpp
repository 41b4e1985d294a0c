#include "ZepCAttivazioni.h"

#include "Exceptions.h"
#include "Field.h"
#include "Paths.h"
#include "TovUCdsUtil.h"
#include "WunUUtil.h"
#include "ZepCParametri.h"
#include "ZepUUtil.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "wunMParams.h"
#include "wunUCalcoliAnno.h"

#include <QDir>
#include <QFileInfo>

using platform::Field;
using platform::FieldDefs;
using platform::FieldType;
using platform::Value;

const QString TZepAttivazioni::NomeFileParametri = QStringLiteral("TEMENSPAR.XML");
const QString TZepAttivazioni::WizardDipendenti = QStringLiteral("TfmZepWiz");
const QString TZepAttivazioni::WizardFpls = QStringLiteral("TfmZepWizFplsExEnpals");
const QString TZepAttivazioni::SelezioneDipendenti = QStringLiteral("TfmZepImpMultiSelect");
const QString TZepAttivazioni::SelezioneFpls = QStringLiteral("TfmZepImpFplsExEnpalsMultiSelect");

FieldDefs TZepAttivazioni::CampiParametri()
{
    return {
        {QStringLiteral("ICALID"), FieldType::Integer},
        {QStringLiteral("IMESID"), FieldType::Integer},
        {QStringLiteral("ICOTFONDAMENTALE"), FieldType::Integer},
        {QStringLiteral("SOSTITUTO"), FieldType::Boolean},
        {QStringLiteral("GIORNIINPS"), FieldType::Boolean},
        {QStringLiteral("MatricolaINPS"), FieldType::String, 10},
        {QStringLiteral("MatricolaINPSAcc"), FieldType::String, 10},
        {QStringLiteral("ComuneLavoro"), FieldType::String, 4},
        {QStringLiteral("PT_COME_INTERO"), FieldType::Boolean},
        {QStringLiteral("TipoContribuzione"), FieldType::String, 31},
        {QStringLiteral("VarRetributive"), FieldType::Boolean},
        {QStringLiteral("MatricolaInpsFpls"), FieldType::String, 10},
        {QStringLiteral("TipoContribuzioneFpls"), FieldType::String, 2},
        {QStringLiteral("ContrLavLibProf"), FieldType::Boolean},
    };
}

TZepAttivazioni::TZepAttivazioni()
    : xqcSos(nullptr, QStringLiteral("xqcSos")), cdsTmp(QStringLiteral("cdsTmp")),
      cdsParametri(QStringLiteral("cdsParametri"))
{
    SelezionaAnno = [](const QString &anno) {
        wunAnnoFinanziario().LoadYear(anno);
        TWunCalcolaAnno::CreaPerAnno(wunAnnoFinanziario().Year());
    };
}

TZepAttivazioni::~TZepAttivazioni() = default;

QString TZepAttivazioni::CartellaParametri() const
{
    return m_cartellaParametri.isEmpty() ? TWunUtil::CartellaUsr() : m_cartellaParametri;
}

QString TZepAttivazioni::FileParametri() const
{
    return platform::findPath(CartellaParametri(), NomeFileParametri);
}

bool TZepAttivazioni::ImpostaGruppo()
{
    return !dmWunParams || dmWunParams->GruppoPerImportazione(ScegliGruppo) != 0;
}

void TZepAttivazioni::ApriSedi()
{
    xqcSos.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_SED"), xqcSos, QStringLiteral("EXECUTE"));
    xqcSos.params().paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    xqcSos.Open();
}

bool TZepAttivazioni::SostitutoDaAmministrazione()
{
    ZEP_ASSERT(m_store, "TZepAttivazioni: archivio delle denunce non impostato");
    m_store->LoadPeriod(cdsTmp, TZepParametri::TabellaDichiarante, m_store->Year(), 0);
    const bool empty = cdsTmp.isEmpty();
    cdsTmp.close();
    return empty;
}

void TZepAttivazioni::ParametriDaFile(platform::DataSet &parametri, const FieldDefs &campi, platform::DataSet &appoggio,
                                      const QString &file)
{
    // The file's values are read and converted to the fields' types in a
    // scratch record before `parametri` is touched: a damaged file, or a
    // value of another type than its field's, fails naming the file and
    // leaves `parametri` as it was.
    platform::DataSet letti;
    letti.setFieldDefs(campi);
    letti.createDataSet();
    letti.append();
    if (TTovCds::FileExists(file)) {
        appoggio.close();
        try {
            TTovCds::LoadFromFile(appoggio, file);
            appoggio.first();
            if (!appoggio.isEmpty())
                for (const auto &field : letti.fields())
                    if (const Field *stored = appoggio.findField(field->fieldName()))
                        field->setValue(stored->value());
        } catch (const platform::Exception &e) {
            appoggio.close();
            if (e.message().contains(QFileInfo(file).fileName()))
                throw; // the reader's message names the file
            throw platform::EDataSetError(QStringLiteral("File dei parametri \"%1\" non valido: %2")
                                              .arg(QDir::toNativeSeparators(file), e.message()));
        }
        appoggio.close();
    }
    parametri.close();
    parametri.setFieldDefs(campi);
    parametri.createDataSet();
    parametri.append();
    for (const auto &field : parametri.fields())
        field->setValue(letti.fieldByName(field->fieldName()).value());
}

void TZepAttivazioni::PreparaParametri(TipoImport tipo)
{
    ParametriDaFile(cdsParametri, CampiParametri(), cdsTmp, FileParametri());

    auto setIfNull = [this](const QString &name, const Value &value) {
        Field &field = cdsParametri.fieldByName(name);
        if (field.isNull())
            field.setValue(value);
    };
    if (tipo == TipoImport::Dipendenti) {
        setIfNull(QStringLiteral("GIORNIINPS"), false);
        setIfNull(QStringLiteral("PT_COME_INTERO"), true);
        setIfNull(QStringLiteral("TipoContribuzione"), QStringLiteral("71"));
        setIfNull(QStringLiteral("VarRetributive"), false);
    } else {
        setIfNull(QStringLiteral("TipoContribuzioneFpls"), QString());
        setIfNull(QStringLiteral("ContrLavLibProf"), true);
    }

    bool meseValido = false;
    const int mese = MeseDenuncia.trimmed().toInt(&meseValido);
    ZEP_ASSERT(meseValido && mese >= 1 && mese <= 12, "Mese della denuncia non valido: " + MeseDenuncia);
    cdsParametri.fieldByName(QStringLiteral("IMESID")).setValue(mese);
    cdsParametri.fieldByName(QStringLiteral("SOSTITUTO")).setValue(SostitutoDaAmministrazione());

    Field &comune = cdsParametri.fieldByName(QStringLiteral("ComuneLavoro"));
    if (comune.asString().isEmpty() && xqcSos.isActive() && !xqcSos.isEmpty())
        comune.setValue(xqcSos.fieldByName(QStringLiteral("SSRPCCODCATA")).value());

    if (tipo == TipoImport::FplsExEnpals) {
        Field &matricola = cdsParametri.fieldByName(QStringLiteral("MatricolaInpsFpls"));
        if (matricola.asString().isEmpty())
            matricola.setValue(cdsParametri.fieldByName(QStringLiteral("MatricolaINPS")).value());
    }
    cdsParametri.post();
}

bool TZepAttivazioni::Importa(TipoImport tipo)
{
    const bool fpls = tipo == TipoImport::FplsExEnpals;
    SelezionaAnno(AnnoDenuncia);
    // The datasets are closed on every path, a failure included.
    struct Closer {
        TZepAttivazioni *module;
        ~Closer()
        {
            try {
                module->Chiudi();
            } catch (...) {
                // closing in-memory datasets does not fail; never throw from here
            }
        }
    } closer{this};

    if (!ImpostaGruppo())
        return false;
    ApriSedi();
    PreparaParametri(tipo);

    const QString caption = EseguiWizard(fpls ? WizardFpls : WizardDipendenti, cdsParametri, xqcSos);
    if (caption.isEmpty())
        return false; // cancelled: the parameter file stays as it was

    cdsParametri.checkBrowseMode();
    const QString file = FileParametri();
    QDir().mkpath(QFileInfo(file).absolutePath());
    TTovCds::SaveToFile(cdsParametri, file);
    EseguiImportazione(fpls ? SelezioneFpls : SelezioneDipendenti, cdsParametri, xqcSos);
    return true;
}

void TZepAttivazioni::Chiudi()
{
    xqcSos.close();
    cdsParametri.close();
    cdsTmp.close();
}
