#include "zepCDmaImporta.h"

#include "ZepCAttivazioni.h"

#include "Exceptions.h"
#include "Field.h"
#include "Format.h"
#include "Paths.h"
#include "TovUCdsUtil.h"
#include "WunUUtil.h"
#include "tovCQueryText.h"
#include "tovUDBCds.h"
#include "tovUExceptions.h"
#include "wunMParams.h"
#include "wunUCalcoli.h"
#include "wunUCalcoliAnno.h"

#include <QDir>
#include <QFileInfo>

using platform::Field;
using platform::FieldDefs;
using platform::FieldType;
using platform::Value;

const QString TZepDmaImporta::NomeFileParametri = QStringLiteral("TWUNDMAPAR.XML");
const QString TZepDmaImporta::Wizard = QStringLiteral("TfmZepWizDmaImp");
const QString TZepDmaImporta::Selezione = QStringLiteral("TfmZepDmaImpMultiSelect");
const QString TZepDmaImporta::PeriodoIniziale = QStringLiteral("2012-10");
const QString TZepDmaImporta::MsgNonAttiva = QStringLiteral("La gestione ex DMA è attiva da ottobre 2012");
const QString TZepDmaImporta::MsgAnnoV1Successivo = QStringLiteral(
    "L'anno dei compensi da importare su V1 (%d) è successivo all'anno della denuncia (%d).");

FieldDefs TZepDmaImporta::CampiParametri()
{
    return {
        {QStringLiteral("ICALID"), FieldType::Integer},
        {QStringLiteral("IMESID"), FieldType::Integer},
        {QStringLiteral("ICOTFONDAMENTALE"), FieldType::Integer},
        {QStringLiteral("SOSTITUTO"), FieldType::Boolean},
        {QStringLiteral("MESI44"), FieldType::Integer},
        {QStringLiteral("ImportaSuV1"), FieldType::Boolean},
        {QStringLiteral("MESEV1"), FieldType::Integer},
        {QStringLiteral("CAUSVAR"), FieldType::Integer},
        {QStringLiteral("CFVERSANTE_SEZII"), FieldType::String, 16},
        {QStringLiteral("DIP_SEZII"), FieldType::Boolean},
        {QStringLiteral("ANNO_DENUNCIA"), FieldType::Integer},
        {QStringLiteral("ANNO_COMPENSI"), FieldType::Integer},
        {QStringLiteral("ITNOID"), FieldType::Integer},
        {QStringLiteral("OE_FONDAMENTALI"), FieldType::Boolean},
    };
}

TZepDmaImporta::TZepDmaImporta()
    : xqcSos(nullptr, QStringLiteral("xqcSos")), cdsTmp(QStringLiteral("cdsTmp")),
      cdsParametri(QStringLiteral("cdsParametri"))
{
    SelezionaAnno = [](int anno) {
        wunAnnoFinanziario().LoadYear(QString::number(anno));
        TWunCalcolaAnno::CreaPerAnno(anno);
        if (dmWunParams)
            dmWunParams->CambiaAnno(wunAnnoFinanziario().Id());
    };
}

TZepDmaImporta::~TZepDmaImporta() = default;

QString TZepDmaImporta::FileParametri() const
{
    return platform::findPath(m_cartella.isEmpty() ? TWunUtil::CartellaUsr() : m_cartella, NomeFileParametri);
}

bool TZepDmaImporta::PeriodoAttivo(const QString &annoMese)
{
    return annoMese >= PeriodoIniziale;
}

void TZepDmaImporta::ApriSedi()
{
    xqcSos.close();
    TovQueryText().AssignCommand(QStringLiteral("QRY_SED"), xqcSos, QStringLiteral("EXECUTE"));
    xqcSos.params().paramByName(QStringLiteral("IDWGID")).setValue(TWunUtil::DwgIdCorrente());
    xqcSos.Open();
}

void TZepDmaImporta::PreparaParametri(int anno, int mese)
{
    TZepAttivazioni::ParametriDaFile(cdsParametri, CampiParametri(), cdsTmp, FileParametri());
    const auto seNullo = [this](const char *nome, const Value &valore) {
        Field &campo = cdsParametri.fieldByName(QLatin1String(nome));
        if (campo.isNull())
            campo.setValue(valore);
    };
    seNullo("ITNOID", 1);
    seNullo("ImportaSuV1", false);
    seNullo("ANNO_COMPENSI", anno);
    if (cdsParametri.fieldByName(QStringLiteral("ANNO_COMPENSI")).asInteger() < anno)
        seNullo("MESEV1", 12);
    else if (mese > 1)
        seNullo("MESEV1", mese - 1);
    seNullo("CAUSVAR", 5);
    seNullo("OE_FONDAMENTALI", false);
    cdsParametri.setFieldValue(QStringLiteral("ANNO_DENUNCIA"), anno);
    cdsParametri.setFieldValue(QStringLiteral("IMESID"), mese);
    cdsParametri.setFieldValue(QStringLiteral("SOSTITUTO"), false);
    cdsParametri.post();
}

bool TZepDmaImporta::ImportaDma()
{
    ZEP_ASSERT(m_store, QStringLiteral("TZepDmaImporta: archivio delle denunce non impostato"));
    const int anno = m_store->Year();
    const int mese = m_store->Month();
    SelezionaAnno(anno);
    // Whatever happens after this point, the datasets are closed and the
    // financial year is the working one again: an earlier year left behind
    // would be the year of every later import and window of the session.
    struct Fine {
        TZepDmaImporta *m;
        int anno;
        ~Fine()
        {
            try {
                m->Chiudi();
                if (wunAnnoFinanziario().Year() != anno)
                    wunAnnoFinanziario().LoadYear(QString::number(anno));
            } catch (...) {
                // reloading a year already loaded once does not fail
            }
        }
    } fine{this, anno};

    ApriSedi();
    PreparaParametri(anno, mese);
    const QString caption = EseguiWizard(Wizard, cdsParametri, xqcSos);
    if (caption.isEmpty())
        return false;
    cdsParametri.checkBrowseMode();
    const QString file = FileParametri();
    QDir().mkpath(QFileInfo(file).absolutePath());
    TTovCds::SaveToFile(cdsParametri, file);

    const int annoCompensi = cdsParametri.fieldByName(QStringLiteral("ANNO_COMPENSI")).asInteger();
    if (cdsParametri.fieldByName(QStringLiteral("ImportaSuV1")).asBoolean() && annoCompensi != anno) {
        if (annoCompensi > anno)
            throw ETovWarning(platform::format(MsgAnnoV1Successivo, {Value(annoCompensi), Value(anno)}));
        wunAnnoFinanziario().LoadYear(QString::number(annoCompensi));
    }
    WunCCNL().ImpostaTabella(ScegliTabellaCCNL ? ScegliTabellaCCNL() : 0);
    EseguiImportazione(Selezione, cdsParametri, xqcSos);
    return true;
}

void TZepDmaImporta::Chiudi()
{
    xqcSos.close();
    cdsParametri.close();
    cdsTmp.close();
}
