#include "ZepUAvvio.h"

#include "DesktopServices.h"
#include "FormRegistry.h"
#include "TerminationSignals.h"
#include "TovFCdsSearch.h"
#include "UqMessages.h"
#include "ZepCKax.h"
#include "ZepFImpMultiSelect.h"
#include "ZepFKax.h"
#include "ZepFMain.h"
#include "ZepFMittente.h"
#include "ZepFParam.h"
#include "ZepFWiz.h"
#include "ZepMAttivazioni.h"
#include "ZepULayouts.h"
#include "tovUDBCdsLayouts.h"
#include "wunFFerie.h"
#include "wunFOENC.h"
#include "wunFTabFeste.h"
#include "wunMConnessione.h"
#include "wunMFondCalcola.h"
#include "wunMParams.h"
#include "zepFCollaboratore.h"
#include "zepFDipendente.h"
#include "zepFRepColl.h"
#include "zepFRepDip.h"
#include "zepFReport.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

TZepAvvio::TZepAvvio(TZepProgramma programma) : m_programma(std::move(programma)) {}

TZepAvvio::~TZepAvvio()
{
    // Reverse order of creation: the windows before the modules they use.
    TZepKax::Dialogo = nullptr;
    m_kax.reset();
    m_report.reset();
    m_main.reset();
    if (dmZepAttivazioni == m_attivazioni.get())
        dmZepAttivazioni = nullptr;
    m_attivazioni.reset();
    m_params.reset();
    m_connessione.reset();
}

void TZepAvvio::RegistraComuni()
{
    TfmZepParametri::RegisterClass();
    TfmZepDipendente::RegisterClass();
    TfmZepCollaboratore::RegisterClass();
    TfmZepMittente::RegisterClass();
    TfmZepWiz::RegisterClass();
    TfmZepImpMultiSelect::RegisterClass();
    TfmTovRicerca::RegisterClass();
    TfmzepRepDip::RegisterClass();
    TfmzepRepColl::RegisterClass();
    TfmTabFeste::RegisterClass();
    RegistraLayoutDenunce();
    // The fundamental-pay calculation shows its hours beyond the chair here.
    TfmwunOENC::Installa();
    // The holidays due at the end of a relationship ask the days here.
    TfmWunFerie::Installa();
}

void TZepAvvio::AnnullaRegistrazioniComuni()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepParametri"));
    TfmZepDipendente::UnregisterClass();
    TfmZepCollaboratore::UnregisterClass();
    TfmZepMittente::UnregisterClass();
    TfmZepWiz::UnregisterClass();
    TfmZepImpMultiSelect::UnregisterClass();
    TfmTovRicerca::UnregisterClass();
    TfmzepRepDip::UnregisterClass();
    TfmzepRepColl::UnregisterClass();
    TfmTabFeste::UnregisterClass();
    TTovDBCdsLayouts::UnregisterFolder(CartellaLayoutDenunce());
    TwunCalcolaFond::OnOreNonCattedra = nullptr;
    TdmWunFondCalcola::OnFerie = nullptr;
}

void TZepAvvio::Crea(const QString &cartellaProgramma)
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
    // 3. The command registry of the program.
    m_attivazioni = std::make_unique<TdmZepAttivazioni>(nullptr, m_programma);
    dmZepAttivazioni = m_attivazioni.get();
    m_creati << QStringLiteral("TdmZepAttivazioni");
    // 4. The main window: the program's declaration-table store.
    m_main = std::make_unique<TfmZepMain>(nullptr, cartellaProgramma, m_programma);
    m_creati << QStringLiteral("TfmZepMain");
    // 5. The declaration print form: the command "Denuncia" prints through it.
    m_report = std::make_unique<TfmZepReport>();
    m_attivazioni->StampaDenuncia = [report = m_report.get()] { report->Stampa(); };
    m_creati << QStringLiteral("TfmZepReport");
    // 6. The small alignment window, shown while the local-file form brings
    //    a year file to the current structure.
    m_kax = std::make_unique<TfmZepKax>();
    if (m_programma.FileLocali())
        TZepKax::Dialogo = [kax = m_kax.get()](bool mostra) {
            if (mostra) {
                kax->show();
                kax->repaint();
            } else {
                kax->close();
            }
        };
    m_creati << QStringLiteral("TfmZepKax");
    // 7. The search window over the code tables.
    fmTovRicerca();
    m_creati << QStringLiteral("TfmTovRicerca");
    CreaModuli();
}

void TZepAvvio::GestisciSegnali()
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

int TZepAvvio::Mostra()
{
    m_main->show();
    if (m_segnali && m_main->ExitStatus() == 0)
        m_segnali->Install();
    return m_main->ExitStatus();
}

bool TZepAvvio::CaricaTraduzioni(QCoreApplication &app)
{
    const QString cartella = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto traduzioni = std::make_unique<QTranslator>(&app);
    if (!traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                          cartella)) {
        std::fprintf(stderr,
                     "%s: traduzioni italiane di Qt (qtbase_it.qm) non trovate in %s: le finestre di Qt restano "
                     "in inglese (pacchetto Debian qt6-translations-l10n)\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(cartella));
        return false;
    }
    app.installTranslator(traduzioni.release());
    return true;
}

void TZepAvvio::PreparaApplicazione(QApplication &app, const QString &nome, const QString &versione)
{
    app.setApplicationName(nome);
    // No display name: the window system would append it to every title,
    // and the main window's title carries the program's name already.
    app.setApplicationVersion(versione);
    CaricaTraduzioni(app);
    platform::Services::install(std::make_unique<platform::DesktopServices>());
}

int TZepAvvio::Esegui(QApplication &app, const char *lineaPronto)
{
    try {
        GestisciSegnali();
        Crea();
        if (const int refused = Mostra())
            return refused;
        std::printf("%s\n", lineaPronto);
        std::fflush(stdout);
        const int status = app.exec();
        // Ended by a signal: the archive closed now if work in progress kept
        // it open, and the signal's status, whatever the loop answered.
        if (MainWindow()->ExitStatus() != 0) {
            MainWindow()->ChiudiDopoSegnale();
            return MainWindow()->ExitStatus();
        }
        return status;
    } catch (const std::exception &e) {
        // A module that cannot even be created: the user is told why and
        // the program ends with a failure status.
        UqShowException(e);
        return 1;
    }
}
