#include "ZepUAvvio.h"

#include "DesktopServices.h"
#include "Exceptions.h"
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
#include "wunFFerie.h"
#include "wunFOENC.h"
#include "wunFTabFeste.h"
#include "wunMConnessione.h"
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

TZepRegistrazioni::TZepRegistrazioni(std::initializer_list<Voce> voci) : m_voci(voci) {}

TZepRegistrazioni::TZepRegistrazioni(const TZepRegistrazioni &prime, std::initializer_list<Voce> altre)
    : m_voci(prime.m_voci)
{
    m_voci.append(QList<Voce>(altre));
}

void TZepRegistrazioni::Registra() const
{
    for (const Voce &v : m_voci)
        v.Registra();
}

void TZepRegistrazioni::Annulla() const
{
    for (auto v = m_voci.crbegin(); v != m_voci.crend(); ++v)
        v->Annulla();
}

const TZepRegistrazioni &TZepAvvio::RegistrazioniComuni()
{
    using R = TZepRegistrazioni;
    static const R comuni{
        R::Finestra<TfmZepParametri>(),
        R::Finestra<TfmZepDipendente>(),
        R::Finestra<TfmZepCollaboratore>(),
        R::Finestra<TfmZepMittente>(),
        R::Finestra<TfmZepWiz>(),
        R::Finestra<TfmZepImpMultiSelect>(),
        R::Finestra<TfmTovRicerca>(),
        R::Finestra<TfmzepRepDip>(),
        R::Finestra<TfmzepRepColl>(),
        R::Finestra<TfmTabFeste>(),
        {&RegistraLayoutDenunce, &AnnullaLayoutDenunce},
        // The fundamental-pay calculation shows its hours beyond the chair here.
        R::Dialogo<TfmwunOENC>(),
        // The holidays due at the end of a relationship ask the days here.
        R::Dialogo<TfmWunFerie>(),
    };
    return comuni;
}

TZepAvvio::~TZepAvvio()
{
    // Reverse order of creation: the windows before the modules they use.
    TZepKax::Dialogo = nullptr;
    m_kax.reset();
    m_report.reset();
    m_main.reset();
    m_attivazioni.reset();
    m_params.reset();
    m_connessione.reset();
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
    const bool diQt = traduzioni->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                                       QStringLiteral("_"), cartella);
    if (diQt)
        app.installTranslator(traduzioni.release());
    else
        std::fprintf(stderr,
                     "%s: traduzioni italiane di Qt (qtbase_it.qm) non trovate in %s: le finestre di Qt restano "
                     "in inglese (pacchetto Debian qt6-translations-l10n)\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(cartella));
    // The texts of Qt's print and file dialogs that its translation lacks,
    // shipped in the program; installed last, they are looked up first.
    auto nostre = std::make_unique<QTranslator>(&app);
    const bool nostreCaricate = nostre->load(QStringLiteral(":/traduzioni/zep_it.qm"));
    ZEP_ASSERT(nostreCaricate, "Traduzioni del programma mancanti");
    app.installTranslator(nostre.release());
    return diQt;
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
