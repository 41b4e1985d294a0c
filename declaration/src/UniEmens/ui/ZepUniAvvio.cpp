#include "ZepUniAvvio.h"

#include "WunFDaPagare66.h"
#include "WunMOreEccedenti.h"
#include "ZePFImpDmaMultiSelect.h"
#include "ZepCParametri.h"
#include "ZepCReportPubblico.h"
#include "ZepFDenunciaAziendale.h"
#include "ZepFDma.h"
#include "ZepFDmaInfo.h"
#include "ZepFFile.h"
#include "ZepFFplsExEnpals.h"
#include "ZepFRiepilogoDatiCUD.h"
#include "ZepFWizDmaImp.h"
#include "ZepMAttivazioni.h"
#include "zepFImpFplsExEnpalsMultiSelect.h"
#include "zepMDmaImporta.h"
#include "zepFWizFplsExEnpals.h"
#include "wunMIVC.h"

#include <QApplication>

QString TZepUniAvvio::TitoloApplicazione()
{
    // Read at run time: the text is a constant of another unit.
    return ZepTitoloUniEmens;
}

const QString TZepUniAvvio::VersioneProgramma = QStringLiteral("1.0.0");

const char *const TZepUniAvvio::ReadyLine = "zepUni: archivio aperto, programma avviato";

namespace {

// The program, its declaration print with the public-sector persons.
TZepProgramma ProgrammaZepUni()
{
    TZepProgramma programma = TZepParametri::ProgrammaUniEmens();
    TZepReportPubblico::Installa(programma);
    return programma;
}

} // namespace

TZepUniAvvio::TZepUniAvvio() : TZepAvvio(ProgrammaZepUni()) {}

TZepUniAvvio::~TZepUniAvvio()
{
    // Reverse order of creation, before the modules every program has.
    m_ivc.reset();
    m_daPagare66.reset();
    m_dmaInfo.reset();
    m_dmaImporta.reset();
    m_oreEccedenti.reset();
}

const TZepRegistrazioni &TZepUniAvvio::Registrazioni()
{
    using R = TZepRegistrazioni;
    static const R tabella{RegistrazioniComuni(),
                           {
                               R::Finestra<TfmZepFFplsExEnpals>(),
                               R::Finestra<TfmzepDenunciaAziendale>(),
                               R::Finestra<TfmZepFile>(),
                               R::Finestra<TfmZepWizFplsExEnpals>(),
                               R::Finestra<TfmZepImpFplsExEnpalsMultiSelect>(),
                               R::Finestra<TfmZepDmaIscritto>(),
                               R::Finestra<TfmZepWizDmaImp>(),
                               R::Finestra<TfmZepDmaImpMultiSelect>(),
                               R::Finestra<TfmZepRiepilogoDatiCUD>(),
                               // The year rules confirm a collaborator's bonus payments in "Bonus Irpef".
                               R::Dialogo<TfmWunDaPagare66>(),
                           }};
    return tabella;
}

void TZepUniAvvio::Registra()
{
    Registrazioni().Registra();
}

void TZepUniAvvio::AnnullaRegistrazioni()
{
    Registrazioni().Annulla();
}

void TZepUniAvvio::CreaModuli()
{
    // 8. The overtime module.
    m_oreEccedenti = std::make_unique<TdmWunOreEccedenti>();
    Creato(QStringLiteral("TdmWunOreEccedenti"));
    // 9. The public-sector import launcher: "Importa (ex Dma)" runs through it.
    m_dmaImporta = std::make_unique<TdmZepDmaImporta>();
    Attivazioni().ImportaDma = [dma = m_dmaImporta.get()] { dma->ImportaDma(); };
    Creato(QStringLiteral("TdmZepDmaImporta"));
    // 10. The public-sector check dialog (fmZepDmaInfo).
    m_dmaInfo = std::make_unique<TfmZepDmaInfo>();
    Creato(QStringLiteral("TfmZepDmaInfo"));
    // 11. The "Bonus Irpef" dialog.
    m_daPagare66 = std::make_unique<TfmWunDaPagare66>();
    Creato(QStringLiteral("TfmWunDaPagare66"));
    // 12. The contract-vacancy module.
    m_ivc = std::make_unique<TdmWunIvc>();
    Creato(QStringLiteral("TdmWunIvc"));
}

int TZepUniAvvio::Esegui(QApplication &app)
{
    PreparaApplicazione(app, QStringLiteral("zepUni"), VersioneProgramma);
    Registra();
    TZepUniAvvio avvio;
    return avvio.TZepAvvio::Esegui(app, ReadyLine);
}
