#include "ZepFMain.h"

#include "Database.h"
#include "Paths.h"
#include "Services.h"
#include "TerminationSignals.h"
#include "UqChildDoc.h"
#include "UqMessages.h"
#include "ZepCCdsLocale.h"
#include "ZepFParam.h"
#include "ZepMAttivazioni.h"
#include "tovUDBCds.h"
#include "tovUUtilUi.h"
#include "wunMConnessione.h"
#include "wunMParams.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QThread>
#include <QToolBox>

const QStringList TfmZepMain::ImmaginiNavigatore{QStringLiteral("DATIANAGRAFICI"), QStringLiteral("MODELLI"),
                                                 QStringLiteral("IMPORTMOD"),      QStringLiteral("FIRME"),
                                                 QStringLiteral("PARAMETRI"),      QStringLiteral("IMPEGNI"),
                                                 QStringLiteral("CONSUNTIVO"),     QStringLiteral("MANI"),
                                                 QStringLiteral("SEDECORSI"),      QStringLiteral("INIZIOANNOFERIE")};

const QString TfmZepMain::MsgDatabaseNonAperto = QStringLiteral(
    "Impossibile aprire l'archivio delle paghe: il programma termina.");

namespace {
// Runs a handler of the window: a failure is shown to the user as the
// framework shows exceptions, and never leaves through the event loop.
template <class F>
void mostraErrori(F &&f)
{
    try {
        f();
    } catch (const std::exception &e) {
        UqShowException(e);
    }
}
} // namespace

TfmZepMain::TfmZepMain(QWidget *parent, const QString &cartellaProgramma, TZepProgramma programma)
    : TfmUqMDIMain(parent), imlNavigatore(3), m_programma(std::move(programma))
{
    IZepMainState::SetCurrent(this);
    FormCreate(cartellaProgramma);
}

TfmZepMain::~TfmZepMain()
{
    // The document windows go first: a data window may still use the store
    // while it is destroyed, and the store is a member freed right after
    // this body (child widgets would only go later, in ~QObject).
    if (mdiArea)
        qDeleteAll(mdiArea->subWindowList());
    if (dmZepAttivazioni && dmZepAttivazioni->Store() == m_store.get())
        dmZepAttivazioni->SetStore(nullptr);
    if (IZepMainState::Current() == this)
        IZepMainState::SetCurrent(nullptr);
}

TZepProgramma TfmZepMain::ProgrammaZepUni()
{
    return TZepParametri::ProgrammaUniEmens();
}

QString TfmZepMain::CartellaBaseDa(const QString &cartellaProgramma)
{
    QString base = QDir::cleanPath(QDir(cartellaProgramma).absoluteFilePath(QStringLiteral("..")));
    const QString canonical = QFileInfo(base).canonicalFilePath();
    if (!canonical.isEmpty())
        base = canonical;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

void TfmZepMain::FormCreate(const QString &cartellaProgramma)
{
    setObjectName(QStringLiteral("fmZepMain"));
    setWindowTitle(m_programma.Titolo);
    // Most of the screen, so that the data windows inside have room; at
    // least 1024 x 720 where the screen has it.
    const QSize schermo = screen() ? screen()->availableGeometry().size() : QSize(1024, 720);
    resize(QSize(1024, 720).expandedTo(schermo * 0.9).boundedTo(schermo));

    m_cartellaBase = CartellaBaseDa(cartellaProgramma.isEmpty() ? QCoreApplication::applicationDirPath()
                                                                : cartellaProgramma);

    // Help menu: the instructions next to the framework's guide; the
    // framework's report manager stays hidden and disabled.
    acIstruzioni = new QAction(QStringLiteral("Istruzioni EMens"), this);
    acIstruzioni->setObjectName(QStringLiteral("acIstruzioni"));
    acIstruzioni->setProperty("category", QStringLiteral("Help"));
    alMain << acIstruzioni;
    QAction *miIstruzioni = mnHelp->addAction(m_programma.Denuncia != TZepDenuncia::UniEmens
                                                  ? QStringLiteral("Istruzioni EMens")
                                                  : QStringLiteral("Istruzioni uniEMens"));
    miIstruzioni->setObjectName(QStringLiteral("miIstruzioni"));
    connect(miIstruzioni, &QAction::triggered, acIstruzioni, &QAction::trigger);
    connect(acIstruzioni, &QAction::triggered, this, [this] { mostraErrori([this] { acIstruzioniExecute(); }); });
    connect(acAid, &QAction::triggered, this, [this] { mostraErrori([this] { acAidExecute(); }); });
    acReportMan->setVisible(false);
    acReportMan->setEnabled(false);
    connect(acReportMan, &QAction::changed, this, [this] {
        if (acReportMan->isVisible() || acReportMan->isEnabled()) {
            acReportMan->setVisible(false);
            acReportMan->setEnabled(false);
        }
    });

    TTovUtilUi::LoadImages(imlNavigatore, ImmaginiNavigatore.join(QLatin1Char(';')));

    if (m_programma.FileLocali()) {
        m_store = std::make_unique<TZepCdsLocale>(m_cartellaBase, m_programma.PrefissoCartellaAnno);
    } else {
        auto store = std::make_unique<TTovDBCds>();
        store->SetProgram(QStringLiteral("zep"));
        store->SetConnection(platform::Database::global());
        m_store = std::move(store);
    }

    if (dmZepAttivazioni) {
        dmZepAttivazioni->SetImages(imlNavigatore.Icons());
        dmZepAttivazioni->SetStore(m_store.get());
        dmZepAttivazioni->SetCartellaBase(m_cartellaBase);
    }
    CollegaParametri();
}

void TfmZepMain::CollegaParametri()
{
    ParamManager = dmWunParams ? dmWunParams->xpmUquParams : nullptr;
    // Called at creation and again at the first show: the area is read
    // only when the manager bound changes.
    if (lkMain.ParamManager() != ParamManager)
        lkMain.SetParamManager(ParamManager);
}

void TfmZepMain::FormShow()
{
    TfmUqMDIMain::FormShow();
    try {
        CollegaParametri();
    } catch (const std::exception &e) {
        // The parameters kept from the last run cannot be read: the user is
        // told, and the program goes on with the values it has.
        UqShowException(e);
    }
    bool aperto = false;
    try {
        if (ApriDatabase)
            aperto = ApriDatabase();
        else
            aperto = dmwunConnessione && dmwunConnessione->ApriDatabase();
    } catch (const std::exception &e) {
        UqShowException(e);
        aperto = false;
    }
    if (!aperto) {
        UqShowError(MsgDatabaseNonAperto);
        Termina(1);
        return;
    }
    // The main window counts as activated once it is up, also where no
    // window manager hands it the focus (a bare X server): the first
    // activation runs from the message loop unless an activation came first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_primaAttivazione) {
                activateWindow();
                FormActivate();
            }
        },
        Qt::QueuedConnection);
}

void TfmZepMain::Termina(int status)
{
    m_exitStatus = status;
    // The window goes away at once; the main block sees the status before
    // it enters the message loop, a running loop is left with it.
    QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(status);
}

ITovDBCds &TfmZepMain::Store()
{
    return *m_store;
}

void TfmZepMain::TerminaSuSegnale(int segnale)
{
    if (m_exitStatus != 0)
        return;
    // Every message loop is told to end first: a message box that the steps
    // below may bring up then closes at once instead of waiting for a user.
    Termina(platform::TerminationSignals::ExitStatus(segnale));
    // Work in progress (an import, a file being written) sees the request
    // at its next safe point and ends there; the archive is closed after
    // it, when the main block has left the message loop.
    if (platform::LongOperation::Running())
        return;
    ChiudiDopoSegnale();
}

void TfmZepMain::ChiudiDopoSegnale()
{
    if (m_chiusoDopoSegnale)
        return;
    m_chiusoDopoSegnale = true;
    const auto passo = [](const char *cosa, const auto &f) {
        try {
            f();
        } catch (const std::exception &e) {
            qWarning("zepUni: %s: %s", cosa, e.what());
        }
    };
    for (TfmUqChildDoc *finestra : Children())
        passo("annullamento delle modifiche", [finestra] {
            if (finestra->DataChanged())
                finestra->CancelData();
        });
    passo("chiusura dell'archivio", [] {
        if (platform::Database *archivio = platform::Database::global())
            archivio->close();
    });
}

void TfmZepMain::FormActivate()
{
    TfmUqMDIMain::FormActivate();
    if (m_primaAttivazione || m_inAttivazione || m_exitStatus != 0)
        return;
    m_inAttivazione = true;
    mostraErrori([this] { PrimaAttivazione(); });
    m_inAttivazione = false;
}

void TfmZepMain::PrimaAttivazione()
{
    if (dmZepAttivazioni) {
        dmZepAttivazioni->SetContainer(paNavigator);
        dmZepAttivazioni->ImpostaCartelleComandiShell();
        dmZepAttivazioni->Build(this);
    }
    m_primaAttivazione = true;
    if (dmZepAttivazioni && dmZepAttivazioni->Bar() && dmZepAttivazioni->Bar()->count() > 0)
        dmZepAttivazioni->SetActivePage(0);

    // The news are shown once after an update brought the marker: opening
    // them deletes it.
    const QString marcatore = m_programma.CartellaRisorse + TdmZepAttivazioni::FileMarcatoreNotizie;
    if (QFileInfo::exists(platform::findPath(m_cartellaBase, marcatore))) {
        acAid->trigger();
        platform::Services::instance().sleep(1000);
    }

    TfmZepParametri dialog(this);
    dialog.ShowModal();
}

void TfmZepMain::acAidExecute()
{
    if (dmZepAttivazioni && dmZepAttivazioni->xasNotizie)
        dmZepAttivazioni->xasNotizie->Execute();
}

void TfmZepMain::acIstruzioniExecute()
{
    if (dmZepAttivazioni && dmZepAttivazioni->xasIstruzioni)
        dmZepAttivazioni->xasIstruzioni->Execute();
}
