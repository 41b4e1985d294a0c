#include "ZepMAttivazioni.h"

#include "Paths.h"

#include "Exceptions.h"
#include "UqMessages.h"
#include "FormRegistry.h"
#include "UqParamDialog.h"
#include "WunFFiscImpMultiSelect.h"
#include "wunFWizard.h"
#include "wunMParams.h"
#include "ZepFParam.h"
#include "ZepUUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

using platform::DataSet;

TdmZepAttivazioni *dmZepAttivazioni = nullptr;

const QString TdmZepAttivazioni::MsgChiudereFinestre = QStringLiteral(
    "Chiudere tutte le finestre prima di eseguire l'operazione.");
const QString TdmZepAttivazioni::MsgExDmaNonAttiva = QStringLiteral("La gestione ex DMA è attiva da ottobre 2012");
const QString TdmZepAttivazioni::PeriodoInizioExDma = QStringLiteral("2012-10");
const QString TdmZepAttivazioni::CartellaRisorse = QStringLiteral("USR/UniEmens/Res/");
const QString TdmZepAttivazioni::FileMarcatoreNotizie = QStringLiteral("Check.txt");

namespace {

void mostraNonDisponibile(const QString &caption)
{
    UqShowInfo(TdmZepAttivazioni::MsgNonDisponibile(caption));
}

} // namespace

QString TdmZepAttivazioni::MsgNonDisponibile(const QString &caption)
{
    return QStringLiteral("La funzione \"%1\" non è ancora disponibile in questa versione del programma.").arg(caption);
}

TdmZepAttivazioni::TdmZepAttivazioni(QObject *parent, const TZepProgramma &programma)
    : TdmUqAttivazioni(parent), m_cartellaRisorse(programma.CartellaRisorse)
{
    // The earlier program has no company declaration, performing-arts
    // workers, public-sector positions, CUD summary or holiday list: those
    // commands are not made at all (their members stay nullptr).
    const bool tutti = programma.Denuncia == TZepDenuncia::UniEmens;
    setObjectName(QStringLiteral("dmZepAttivazioni"));

    xpgEMens = AddPage(QStringLiteral("xpgEMens"), QStringLiteral("Operazioni"), 0);
    xpgStampe = AddPage(QStringLiteral("xpgStampe"), QStringLiteral("Stampe"), 10);
    xpgStrumenti = AddPage(QStringLiteral("xpgStrumenti"), QStringLiteral("Strumenti"), 20);

    // Operazioni
    xafImport = AddForm(QStringLiteral("xafImport"), xpgEMens, 10, QStringLiteral("Importa"), {}, false, 2);
    xafDipendenti = AddForm(QStringLiteral("xafDipendenti"), xpgEMens, 20, QStringLiteral("Dipendenti"),
                            QStringLiteral("TfmZepDipendente"), false, 0);
    xafCollaboratori = AddForm(QStringLiteral("xafCollaboratori"), xpgEMens, 30, QStringLiteral("Collaboratori/Altri"),
                               QStringLiteral("TfmZepCollaboratore"), false, 7);
    if (tutti) {
        xafDenunciaAziendale = AddForm(QStringLiteral("xafDenunciaAziendale"), xpgEMens, 30,
                                       QStringLiteral("Denuncia Aziendale"), QStringLiteral("TfmzepDenunciaAziendale"),
                                       false, 8);
        xafDenunciaAziendale->Visible = false;
        xafImportFplsExEnpals = AddForm(QStringLiteral("xafImportFplsExEnpals"), xpgEMens, 35,
                                        QStringLiteral("Importa iscritti FPLS"), {}, false, 2);
        xafFlplsExEnpals = AddForm(QStringLiteral("xafFlplsExEnpals"), xpgEMens, 40,
                                   QStringLiteral("Iscritti FPLS ex Enpals"), QStringLiteral("TfmZepFFplsExEnpals"),
                                   false, 0);
        xafExDmaImp = AddForm(QStringLiteral("xafExDmaImp"), xpgEMens, 50, QStringLiteral("Importa (ex Dma)"), {},
                              false, 2);
        xafExDma = AddForm(QStringLiteral("xafExDma"), xpgEMens, 55, QStringLiteral("Iscritti (ex DMA)"),
                           QStringLiteral("TfmZepDmaIscritto"), false, 7);
    }
    axfDatiDich = AddForm(QStringLiteral("axfDatiDich"), xpgEMens, 60, QStringLiteral("Dichiarante"),
                          QStringLiteral("TfmZepMittente"), false, 3);
    xafFile = AddForm(QStringLiteral("xafFile"), xpgEMens, 70, QStringLiteral("File telematico"),
                      QStringLiteral("TfmZepFile"), true, 6);

    // Stampe
    xafDenuncia = AddForm(QStringLiteral("xafDenuncia"), xpgStampe, 10, QStringLiteral("Denuncia"), {}, false, 1);
    xafStampaDip = AddForm(QStringLiteral("xafStampaDip"), xpgStampe, 20, QStringLiteral("Dipendenti"),
                           QStringLiteral("TfmzepRepDip"), true, 1);
    xafStampaColl = AddForm(QStringLiteral("xafStampaColl"), xpgStampe, 30, QStringLiteral("Collaboratori"),
                            QStringLiteral("TfmzepRepColl"), true, 1);
    if (tutti) {
        xafRiepilogoDatiCUD = AddForm(QStringLiteral("xafRiepilogoDatiCUD"), xpgStampe, 100,
                                      QStringLiteral("Riepilogo CUD"), QStringLiteral("TfmZepRiepilogoDatiCUD"), true,
                                      1);
    }

    // Strumenti
    if (tutti) {
        xafFeste = AddForm(QStringLiteral("xafFeste"), xpgStrumenti, 10, QStringLiteral("Elenco delle festività"),
                           QStringLiteral("TfmTabFeste"), false, 9);
    }
    xafParametri = AddForm(QStringLiteral("xafParametri"), xpgStrumenti, 20, QStringLiteral("Parametri"),
                           QStringLiteral("TfmZepParametri"), true, 4);

    // Documents opened by the main window's help actions.
    xasNotizie = AddShell(QStringLiteral("xasNotizie"), nullptr, 50, QStringLiteral("Notizie"),
                          QStringLiteral("News.pdf"));
    xasNotizie->Visible = false;
    xasNotizie->Enabled = false;
    xasIstruzioni = AddShell(QStringLiteral("xasIstruzioni"), nullptr, 50, QStringLiteral("Istruzioni"),
                             QStringLiteral("Istruzioni.pdf"));
    xasIstruzioni->Visible = false;
    xasIstruzioni->Enabled = false;
    for (TUqAttivazione *command : Commands())
        command->SyncAction();

    using namespace std::placeholders;
    xafImport->OnBeforeExecute = std::bind(&TdmZepAttivazioni::xafImportBeforeExecute, this, _1, _2);
    if (tutti) {
        xafImportFplsExEnpals->OnBeforeExecute = std::bind(&TdmZepAttivazioni::xafImportFplsExEnpalsBeforeExecute, this,
                                                           _1, _2);
        xafExDmaImp->OnBeforeExecute = std::bind(&TdmZepAttivazioni::xafExDmaImpBeforeExecute, this, _1, _2);
        xafExDma->OnBeforeExecute = std::bind(&TdmZepAttivazioni::xafExDmaBeforeExecute, this, _1, _2);
        xafFeste->OnInitializedForm = std::bind(&TdmZepAttivazioni::xafFesteInizializedForm, this, _1, _2);
    }
    xafParametri->OnBeforeExecute = std::bind(&TdmZepAttivazioni::xafParametriBeforeExecute, this, _1, _2);
    xafDenuncia->OnBeforeExecute = std::bind(&TdmZepAttivazioni::xafDenunciaBeforeExecute, this, _1, _2);
    xasNotizie->OnAfterExecute = std::bind(&TdmZepAttivazioni::xasNotizieAfterExecute, this, _1);

    // Later parts of the program plug in the real steps.
    EseguiWizard = [](const QString &classe, DataSet &parametri, TUqQueryCollection &sedi) {
        if (!platform::FormRegistry::IsRegistered(classe)) {
            mostraNonDisponibile(QStringLiteral("Procedura guidata di importazione"));
            return QString();
        }
        return TfmwunWizard::Execute(classe, parametri, &sedi);
    };
    EseguiImportazione = [](const QString &classe, DataSet &parametri, TUqQueryCollection &sedi) {
        if (!platform::FormRegistry::IsRegistered(classe)) {
            mostraNonDisponibile(QStringLiteral("Importazione dei dipendenti"));
            return;
        }
        TfmwunFiscImpMultiSelect::Execute(classe, &parametri, &sedi);
    };
    ScegliGruppo = [](const platform::EnumItems &gruppi, qint64 attuale) -> qint64 {
        ZEP_ASSERT(dmWunParams, QStringLiteral("Scelta del datore di lavoro senza modulo dei parametri"));
        return TfmUqParamValue::Execute(*dmWunParams->xpmUquParams, TdmWunParams::DwgIdParam,
                                        QStringLiteral("Datore di lavoro"),
                                        QStringLiteral("Datore di lavoro su cui importare:"), gruppi, attuale);
    };
    ImportaDma = [] { mostraNonDisponibile(QStringLiteral("Importa (ex Dma)")); };
    StampaDenuncia = [this] { mostraNonDisponibile(xafDenuncia->Caption); };
}

TdmZepAttivazioni::~TdmZepAttivazioni()
{
    if (dmZepAttivazioni == this)
        dmZepAttivazioni = nullptr;
}

// ------------------------------------------------------------------ folders

void TdmZepAttivazioni::SetCartellaBase(const QString &folder)
{
    m_cartellaBase = QDir::fromNativeSeparators(folder);
    if (!m_cartellaBase.isEmpty() && !m_cartellaBase.endsWith(QLatin1Char('/')))
        m_cartellaBase += QLatin1Char('/');
}

QString TdmZepAttivazioni::CartellaRes() const
{
    ZEP_ASSERT(!m_cartellaBase.isEmpty(), "TdmZepAttivazioni: cartella base non impostata");
    return platform::findPath(m_cartellaBase, m_cartellaRisorse);
}

void TdmZepAttivazioni::ImpostaCartelleComandiShell()
{
    for (TUqAttShell *command : {xasNotizie, xasIstruzioni})
        if (command->Folder.isEmpty())
            command->Folder = CartellaRes();
}

// ------------------------------------------------------------------- guards

bool TdmZepAttivazioni::GestioneExDmaAttiva()
{
    if (PeriodoDenuncia() < PeriodoInizioExDma) {
        UqShowWarning(MsgExDmaNonAttiva);
        return false;
    }
    return true;
}

void TdmZepAttivazioni::xafImportBeforeExecute(TUqAttivazione *, bool &goOn)
{
    goOn = false;
    if (HasChildWindows())
        UqMessageBox(MsgChiudereFinestre);
    else
        ImportaDipendenti();
}

void TdmZepAttivazioni::xafImportFplsExEnpalsBeforeExecute(TUqAttivazione *, bool &goOn)
{
    goOn = false;
    if (HasChildWindows())
        UqMessageBox(MsgChiudereFinestre);
    else
        ImportaFplsExEnpals();
}

void TdmZepAttivazioni::xafExDmaImpBeforeExecute(TUqAttivazione *, bool &goOn)
{
    goOn = false;
    if (!GestioneExDmaAttiva())
        return;
    SelezionaAnno(AnnoDenuncia);
    if (HasChildWindows())
        UqShowWarning(MsgChiudereFinestre);
    else if (ImpostaGruppo())
        ImportaDma();
}

void TdmZepAttivazioni::xafExDmaBeforeExecute(TUqAttivazione *, bool &goOn)
{
    goOn = GestioneExDmaAttiva();
}

void TdmZepAttivazioni::xafParametriBeforeExecute(TUqAttivazione *, bool &goOn)
{
    if (HasChildWindows()) {
        UqMessageBox(MsgChiudereFinestre);
        goOn = false;
    }
}

void TdmZepAttivazioni::xafDenunciaBeforeExecute(TUqAttivazione *, bool &goOn)
{
    goOn = false;
    StampaDenuncia();
}

void TdmZepAttivazioni::xasNotizieAfterExecute(TUqAttivazione *)
{
    const QString marker = platform::findPath(CartellaRes(), FileMarcatoreNotizie);
    if (QFileInfo::exists(marker) && !QFile::remove(marker))
        throw EUqError(QStringLiteral("Impossibile eliminare il file %1").arg(QDir::toNativeSeparators(marker)));
}

void TdmZepAttivazioni::xafFesteInizializedForm(TUqAttForm *, QWidget *form)
{
    auto *chiusure = form ? form->property("xqcChiusure").value<TUqQueryCollection *>() : nullptr;
    ZEP_ASSERT(chiusure, "Componente xqcChiusure non trovato nella finestra "
                             + (form ? QString::fromLatin1(form->metaObject()->className()) : QString()));
    // The holiday window serves every program of the suite; here its closures
    // collection is cleared of the two settings a program may have left on
    // it: its tag (which marks datasets that closing the window keeps open)
    // and its packet size (rows are read all at once on this platform).
    chiusure->setTag(0);
    chiusure->PacketRecords = 0;
}

void TdmZepAttivazioni::FormClassUnavailable(TUqAttForm *command)
{
    mostraNonDisponibile(command->Caption);
}

// ------------------------------------------------------------------ imports

void TdmZepAttivazioni::ImportaDipendenti()
{
    Importa(TipoImport::Dipendenti);
}

void TdmZepAttivazioni::ImportaFplsExEnpals()
{
    Importa(TipoImport::FplsExEnpals);
}
