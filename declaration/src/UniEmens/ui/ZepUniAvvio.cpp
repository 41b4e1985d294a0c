#include "ZepUniAvvio.h"

#include "DesktopServices.h"
#include "TerminationSignals.h"
#include "FormRegistry.h"
#include "TovFCdsSearch.h"
#include "UqMessages.h"
#include "WunFDaPagare66.h"
#include "WunMOreEccedenti.h"
#include "ZePFImpDmaMultiSelect.h"
#include "ZepFDenunciaAziendale.h"
#include "ZepFDma.h"
#include "ZepFDmaInfo.h"
#include "ZepFFile.h"
#include "ZepFFplsExEnpals.h"
#include "ZepFImpMultiSelect.h"
#include "ZepFKax.h"
#include "ZepFMain.h"
#include "ZepFMittente.h"
#include "ZepFParam.h"
#include "ZepFRiepilogoDatiCUD.h"
#include "ZepFWiz.h"
#include "ZepFWizDmaImp.h"
#include "ZepMAttivazioni.h"
#include "ZepULayouts.h"
#include "zepFCollaboratore.h"
#include "zepFDipendente.h"
#include "zepFRepColl.h"
#include "zepFRepDip.h"
#include "zepFReport.h"
#include "tovUDBCdsLayouts.h"
#include "wunFFerie.h"
#include "zepFImpFplsExEnpalsMultiSelect.h"
#include "zepMDmaImporta.h"
#include "zepFWizFplsExEnpals.h"
#include "wunFOENC.h"
#include "wunMConnessione.h"
#include "wunMIVC.h"
#include "wunMParams.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

QString TZepUniAvvio::TitoloApplicazione()
{
    // Read at run time: the text is a constant of another unit.
    return ZepTitoloUniEmens;
}

const QString TZepUniAvvio::VersioneProgramma = QStringLiteral("1.0.0");

const char *const TZepUniAvvio::ReadyLine = "zepUni: archivio aperto, programma avviato";

TZepUniAvvio::TZepUniAvvio() = default;

TZepUniAvvio::~TZepUniAvvio()
{
    // Reverse order of creation: the windows before the modules they use.
    m_ivc.reset();
    m_daPagare66.reset();
    m_dmaImporta.reset();
    m_oreEccedenti.reset();
    m_kax.reset();
    m_report.reset();
    m_main.reset();
    if (dmZepAttivazioni == m_attivazioni.get())
        dmZepAttivazioni = nullptr;
    m_attivazioni.reset();
    m_params.reset();
    m_connessione.reset();
}

void TZepUniAvvio::Registra()
{
    TfmZepParametri::RegisterClass();
    TfmZepDipendente::RegisterClass();
    TfmZepCollaboratore::RegisterClass();
    TfmZepMittente::RegisterClass();
    TfmZepFFplsExEnpals::RegisterClass();
    TfmzepDenunciaAziendale::RegisterClass();
    TfmZepFile::RegisterClass();
    TfmZepWiz::RegisterClass();
    TfmZepImpMultiSelect::RegisterClass();
    TfmTovRicerca::RegisterClass();
    TfmZepWizFplsExEnpals::RegisterClass();
    TfmZepImpFplsExEnpalsMultiSelect::RegisterClass();
    TfmZepDmaIscritto::RegisterClass();
    TfmZepWizDmaImp::RegisterClass();
    TfmZepDmaImpMultiSelect::RegisterClass();
    TfmzepRepDip::RegisterClass();
    TfmzepRepColl::RegisterClass();
    TfmZepRiepilogoDatiCUD::RegisterClass();
    RegistraLayoutDenunce();
    // The fundamental-pay calculation shows its hours beyond the chair here.
    TfmwunOENC::Installa();
    // The holidays due at the end of a relationship ask the days here.
    TfmWunFerie::Installa();
}

void TZepUniAvvio::AnnullaRegistrazioni()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepParametri"));
    TfmZepDipendente::UnregisterClass();
    TfmZepCollaboratore::UnregisterClass();
    TfmZepMittente::UnregisterClass();
    TfmZepFFplsExEnpals::UnregisterClass();
    TfmzepDenunciaAziendale::UnregisterClass();
    TfmZepFile::UnregisterClass();
    TfmZepWiz::UnregisterClass();
    TfmZepImpMultiSelect::UnregisterClass();
    TfmTovRicerca::UnregisterClass();
    TfmZepWizFplsExEnpals::UnregisterClass();
    TfmZepImpFplsExEnpalsMultiSelect::UnregisterClass();
    TfmZepDmaIscritto::UnregisterClass();
    TfmZepWizDmaImp::UnregisterClass();
    TfmZepDmaImpMultiSelect::UnregisterClass();
    TfmzepRepDip::UnregisterClass();
    TfmzepRepColl::UnregisterClass();
    TfmZepRiepilogoDatiCUD::UnregisterClass();
    TTovDBCdsLayouts::UnregisterFolder(CartellaLayoutDenunce());
    TwunCalcolaFond::OnOreNonCattedra = nullptr;
    TdmWunFondCalcola::OnFerie = nullptr;
}

void TZepUniAvvio::Crea(const QString &cartellaProgramma)
{
    // 1. The payroll connection module: loads the named-SQL catalogue and
    //    makes its connection the global one.
    m_connessione = std::make_unique<TdmwunConnessione>();
    m_connessione->DataModuleCreate();
    m_creati << QStringLiteral("TdmwunConnessione");
    // 2. The parameters module.
    m_params = std::make_unique<TdmWunParams>();
    m_params->DataModuleCreate();
    m_creati << QStringLiteral("TdmWunParams");
    // 3. The command registry.
    m_attivazioni = std::make_unique<TdmZepAttivazioni>();
    dmZepAttivazioni = m_attivazioni.get();
    m_creati << QStringLiteral("TdmZepAttivazioni");
    // 4. The main window: the declaration-table store on the global
    //    connection.
    m_main = std::make_unique<TfmZepMain>(nullptr, cartellaProgramma);
    m_creati << QStringLiteral("TfmZepMain");
    // 5. The declaration print form: the command "Denuncia" prints through it.
    m_report = std::make_unique<TfmZepReport>();
    m_attivazioni->StampaDenuncia = [report = m_report.get()] { report->Stampa(); };
    m_creati << QStringLiteral("TfmZepReport");
    // 6. The small alignment window.
    m_kax = std::make_unique<TfmZepKax>();
    m_creati << QStringLiteral("TfmZepKax");
    // 7. The search window over the code tables.
    fmTovRicerca();
    m_creati << QStringLiteral("TfmTovRicerca");
    // 8. The overtime module.
    m_oreEccedenti = std::make_unique<TdmWunOreEccedenti>();
    m_creati << QStringLiteral("TdmWunOreEccedenti");
    // 9. The public-sector import launcher: "Importa (ex Dma)" runs through it.
    m_dmaImporta = std::make_unique<TdmZepDmaImporta>();
    dmZepDmaImporta = m_dmaImporta.get();
    m_attivazioni->ImportaDma = [dma = m_dmaImporta.get()] { dma->ImportaDma(); };
    m_creati << QStringLiteral("TdmZepDmaImporta");
    // 10. The public-sector check dialog (fmZepDmaInfo).
    m_dmaInfo = std::make_unique<TfmZepDmaInfo>();
    m_creati << QStringLiteral("TfmZepDmaInfo");
    // 11. The "Bonus Irpef" dialog.
    m_daPagare66 = std::make_unique<TfmWunDaPagare66>();
    m_creati << QStringLiteral("TfmWunDaPagare66");
    // 12. The contract-vacancy module.
    m_ivc = std::make_unique<TdmWunIvc>();
    m_creati << QStringLiteral("TdmWunIvc");
}

void TZepUniAvvio::GestisciSegnali()
{
    m_segnali = std::make_unique<platform::TerminationSignals>();
    QObject::connect(m_segnali.get(), &platform::TerminationSignals::received, m_segnali.get(), [this](int segnale) {
        // Read from the message loop, which runs only once the main window
        // is made: a signal that came during the creation waits for it.
        if (m_main)
            m_main->TerminaSuSegnale(segnale);
    });
    m_segnali->Install();
}

int TZepUniAvvio::Mostra()
{
    m_main->show();
    if (m_segnali && m_main->ExitStatus() == 0)
        m_segnali->Install();
    return m_main->ExitStatus();
}

bool TZepUniAvvio::CaricaTraduzioni(QCoreApplication &app)
{
    const QString cartella = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto traduzioni = std::make_unique<QTranslator>(&app);
    if (!traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                          cartella)) {
        std::fprintf(stderr,
                     "zepUni: traduzioni italiane di Qt (qtbase_it.qm) non trovate in %s: le finestre di Qt restano "
                     "in inglese (pacchetto Debian qt6-translations-l10n)\n",
                     qPrintable(cartella));
        return false;
    }
    app.installTranslator(traduzioni.release());
    return true;
}

int TZepUniAvvio::Esegui(QApplication &app)
{
    app.setApplicationName(QStringLiteral("zepUni"));
    // No display name: the window system would append it to every title,
    // and the main window's title carries the program's name already.
    app.setApplicationVersion(VersioneProgramma);
    CaricaTraduzioni(app);
    platform::Services::install(std::make_unique<platform::DesktopServices>());
    Registra();
    try {
        TZepUniAvvio avvio;
        avvio.GestisciSegnali();
        avvio.Crea();
        if (const int refused = avvio.Mostra())
            return refused;
        std::printf("%s\n", ReadyLine);
        std::fflush(stdout);
        const int status = app.exec();
        // Ended by a signal: the archive closed now if work in progress kept
        // it open, and the signal's status, whatever the loop answered.
        if (avvio.MainWindow()->ExitStatus() != 0) {
            avvio.MainWindow()->ChiudiDopoSegnale();
            return avvio.MainWindow()->ExitStatus();
        }
        return status;
    } catch (const std::exception &e) {
        // A module that cannot even be created: the user is told why and
        // the program ends with a failure status.
        UqShowException(e);
        return 1;
    }
}
