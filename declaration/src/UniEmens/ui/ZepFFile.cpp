#include "ZepFFile.h"

#include "ZepCDenunciaAziendale.h"
#include "ZepRDenunciaAzieldale.h"
#include "ZepUFileTelematico.h"
#include "ZepUMainState.h"

#include "DataSetModel.h"
#include "Field.h"
#include "FormRegistry.h"
#include "Services.h"
#include "UqMessages.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTabWidget>
#include <QVBoxLayout>

using platform::Bookmark;
using platform::DataSet;

const QString TfmZepFile::Legenda = QStringLiteral(
    "D: Dipendenti (INPS) - C:  Collaboratori (INPS) - E: Ex DMA (INPDAP) - F: Fpls (ex ENPALS)");

namespace {
const QString NomeClasse = QStringLiteral("TfmZepFile");
}

TfmZepFile::TfmZepFile(QWidget *owner) : TfmUqWizard(owner)
{
    setObjectName(QStringLiteral("fmZepFile"));
    setWindowTitle(QStringLiteral("Generazione file telematico"));
    resize(980, 600);
    ITovDBCds &store = IZepMainState::Require(owner).Store();

    // Page 0: for whom.
    tsDipColl = new QWidget;
    auto *l0 = new QVBoxLayout(tsDipColl);
    auto *laDipColl = new QLabel(QStringLiteral("D: Dipendenti (INPS) - C:  Collaboratori (INPS) - E: Ex DMA (INPDAP)"),
                                 tsDipColl);
    l0->addWidget(laDipColl);
    rgScelta = new QGroupBox(QStringLiteral("Scegliere per chi generare il file telematico"), tsDipColl);
    rgScelta->setObjectName(QStringLiteral("rgScelta"));
    auto *lr = new QHBoxLayout(rgScelta);
    rbTutti = new QRadioButton(QStringLiteral("Tutti"), rgScelta);
    rbTutti->setObjectName(QStringLiteral("rbTutti"));
    rbPrenota = new QRadioButton(QStringLiteral("su Prenotazione"), rgScelta);
    rbPrenota->setObjectName(QStringLiteral("rbPrenota"));
    lr->addWidget(rbTutti);
    lr->addWidget(rbPrenota);
    lr->addStretch(1);
    rbTutti->setChecked(true);
    l0->addWidget(rgScelta);
    grPrenota = TZepFileTelematicoUi::CreaGrigliaPrenota(tsDipColl, grPrenotaModel);
    l0->addWidget(grPrenota, 1);
    connect(rbTutti, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbTuttiClick();
    });
    connect(rbPrenota, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbPrenotaClick();
    });

    // Page 1: the company declaration, saved after every post and delete.
    m_tabellaAziendale = std::make_unique<TZepTabellaDenuncia>(store, TZepDenunciaAziendale::Tabella);
    tsDenAz = new QWidget;
    auto *l1 = new QVBoxLayout(tsDenAz);
    frZepDenunciaAziendale1 = new TfrZepDenunciaAziendale(tsDenAz);
    frZepDenunciaAziendale1->setObjectName(QStringLiteral("frZepDenunciaAziendale1"));
    frZepDenunciaAziendale1->SetTabella(m_tabellaAziendale.get());
    frZepDenunciaAziendale1->SetColonne(TZepDenunciaAziendale::ColonneFile());
    frZepDenunciaAziendale1->gbRecupero->setTitle(
        QStringLiteral(" Recupero bonus di cui all’articolo 13 (DL n. 66/2014) : su INPS"));
    l1->addWidget(frZepDenunciaAziendale1, 1);
    gbInpdap = new QGroupBox(QStringLiteral(" Recupero bonus di cui all’articolo 13 (DL n. 66/2014) : su INPDAP"),
                             tsDenAz);
    gbInpdap->setObjectName(QStringLiteral("gbInpdap"));
    edINpdap = new QLineEdit(gbInpdap);
    edINpdap->setObjectName(QStringLiteral("edINpdap"));
    TfrZepDenunciaAziendale::FiltraTastiImporto(edINpdap);
    (new QHBoxLayout(gbInpdap))->addWidget(edINpdap);
    gbInpdap->hide();
    l1->addWidget(gbInpdap);

    // Page 2: the file.
    tsCrea = new QWidget;
    auto *l2 = new QVBoxLayout(tsCrea);
    buCrea = new QPushButton(QStringLiteral("Crea file telematico"), tsCrea);
    buCrea->setObjectName(QStringLiteral("buCrea"));
    l2->addWidget(buCrea, 0, Qt::AlignLeft);
    meCrea = new QPlainTextEdit(tsCrea);
    meCrea->setObjectName(QStringLiteral("meCrea"));
    meCrea->setReadOnly(true);
    meCrea->setLineWrapMode(QPlainTextEdit::NoWrap);
    meCrea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meCrea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    l2->addWidget(meCrea, 1);
    connect(buCrea, &QPushButton::clicked, this, &TfmZepFile::buCreaClick);

    laLegenda = new QLabel(Legenda, paClient);
    laLegenda->setObjectName(QStringLiteral("laLegenda"));
    QFont bold = laLegenda->font();
    bold.setBold(true);
    laLegenda->setFont(bold);
    ClientLayout()->addWidget(laLegenda);

    m_file = std::make_unique<TZepFile>(store, frZepDenunciaAziendale1->cdsMain, this);
    connect(frZepDenunciaAziendale1->pcMain, &QTabWidget::currentChanged, this, [this] {
        if (m_pronta && ActivePage() == tsDenAz)
            MostraInpdap();
    });
    AddPage(tsDipColl, QStringLiteral("tsDipColl"));
    AddPage(tsDenAz, QStringLiteral("tsDenAz"));
    AddPage(tsCrea, QStringLiteral("tsCrea"));
    m_pronta = true;
    CheckButtons();
}

TfmZepFile::~TfmZepFile() = default;

void TfmZepFile::showEvent(QShowEvent *event)
{
    TfmUqWizard::showEvent(event);
    if (m_mostrata)
        return;
    m_mostrata = true;
    PageChanged(ActivePage());
}

QList<Bookmark> TfmZepFile::Selezionati() const
{
    QList<Bookmark> out;
    for (const QModelIndex &index : grPrenota->selectionModel()->selectedRows())
        out << grPrenotaModel->bookmarkAt(index.row());
    return out;
}

void TfmZepFile::tsDipCollShow()
{
    m_file->CaricaTabelle();
    frZepDenunciaAziendale1->Prepara();
    if (grPrenotaModel->dataSet())
        return;
    m_file->PreparaPrenota();
    TZepFileTelematicoUi::MostraPrenota(grPrenota, *grPrenotaModel, m_file->cdsPrenota);
}

void TfmZepFile::tsDenAzShow()
{
    m_file->CaricaTabelle();
    frZepDenunciaAziendale1->Prepara();
    frZepDenunciaAziendale1->Ricalcola(m_file->cdsDip, m_file->cdsFplsExEnpals, frZepDenunciaAziendale1->cdsMain);
    frZepDenunciaAziendale1->grModel->reload();
    frZepDenunciaAziendale1->grFrame->resizeColumnsToContents();
}

void TfmZepFile::tsCreaShow()
{
    m_file->CaricaTabelle();
    frZepDenunciaAziendale1->Prepara();
    m_file->Prenotazione = rbPrenota->isChecked();
    m_file->EliminaNonSelezionati(Selezionati());
}

void TfmZepFile::rbTuttiClick()
{
    grPrenota->clearSelection();
    grPrenota->setEnabled(false);
}

void TfmZepFile::rbPrenotaClick()
{
    grPrenota->setEnabled(true);
    grPrenotaModel->reload();
}

bool TfmZepFile::PageChanging(QWidget *from, QWidget *to)
{
    m_direzione = Path().indexOf(to->objectName()) > Path().indexOf(from->objectName()) ? 1 : -1;
    // A recovery amount being typed is kept before the page is left.
    if (from == tsDenAz && frZepDenunciaAziendale1->cdsMain.isEditing()) {
        try {
            frZepDenunciaAziendale1->Registra();
        } catch (const std::exception &e) {
            UqShowException(e);
            return false;
        }
    }
    return true;
}

void TfmZepFile::PageChanged(QWidget *page)
{
    if (!m_pronta)
        return;
    try {
        if (page == tsDipColl)
            tsDipCollShow();
        else if (page == tsDenAz)
            tsDenAzShow();
        else if (page == tsCrea)
            tsCreaShow();
    } catch (const std::exception &e) {
        UqShowException(e);
    }
    // No company declaration: the page is passed over, on either way,
    // unless public-sector persons take part: their INPDAP box is on it.
    if (page == tsDenAz) {
        const DataSet &aziendale = frZepDenunciaAziendale1->cdsMain;
        if (aziendale.isActive() && aziendale.isEmpty() && !m_file->PubbliciPresenti(Selezionati())) {
            gbInpdap->hide();
            ChangePage(m_direzione < 0 ? -1 : +1);
        } else {
            MostraInpdap();
        }
    }
}

void TfmZepFile::MostraInpdap()
{
    TfrZepDenunciaAziendale *fr = frZepDenunciaAziendale1;
    const bool dettaglio = fr->pcMain->currentWidget() == fr->tsDetail || !fr->cdsMain.isActive()
                           || fr->cdsMain.isEmpty();
    gbInpdap->setVisible(ActivePage() == tsDenAz && dettaglio && m_file->PubbliciPresenti(Selezionati()));
}

void TfmZepFile::CheckButtons()
{
    TfmUqWizard::CheckButtons();
    buOk->setEnabled(m_creato);
    if (m_creato)
        buPrior->setEnabled(false);
}

void TfmZepFile::Log(const QString &riga)
{
    meCrea->appendPlainText(riga);
}

void TfmZepFile::buCreaClick()
{
    meCrea->clear();
    m_file->ImportoInpdap = edINpdap->text();
    const bool creato = m_file->CreaFile([this](const QString &cartella, const QString &nome) {
        return TZepFileTelematicoUi::ScegliFile(this, cartella, nome);
    });
    if (!creato)
        return;
    m_creato = true;
    buCrea->setEnabled(false);
    CheckButtons();
}

void TfmZepFile::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse, [](QWidget *owner) -> QWidget * { return new TfmZepFile(owner); });
}

void TfmZepFile::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
