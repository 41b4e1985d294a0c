#include "Emens/ui/ZepFFile.h"

#include "ZepUFileTelematico.h"
#include "ZepUMainState.h"

#include "DataSetModel.h"
#include "FormRegistry.h"
#include "UqMessages.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

using platform::Bookmark;

namespace emens {

namespace {
const QString NomeClasse = QStringLiteral("TfmZepFile");
}

TfmZepFile::TfmZepFile(QWidget *owner) : TfmUqWizard(owner)
{
    setObjectName(QStringLiteral("fmZepFile"));
    setWindowTitle(QStringLiteral("Generazione file telematico"));
    resize(900, 560);
    IZepMainState &stato = IZepMainState::Require(owner);

    // Page 0: for whom.
    tsDipColl = new QWidget;
    auto *l0 = new QVBoxLayout(tsDipColl);
    rgCheckD = new QGroupBox(QStringLiteral("Scegliere per chi generare il file telematico"), tsDipColl);
    rgCheckD->setObjectName(QStringLiteral("rgCheckD"));
    auto *lr = new QHBoxLayout(rgCheckD);
    rbTutti = new QRadioButton(QStringLiteral("Tutti"), rgCheckD);
    rbTutti->setObjectName(QStringLiteral("rbTutti"));
    rbPrenota = new QRadioButton(QStringLiteral("su Prenotazione"), rgCheckD);
    rbPrenota->setObjectName(QStringLiteral("rbPrenota"));
    lr->addWidget(rbTutti);
    lr->addWidget(rbPrenota);
    lr->addStretch(1);
    rbTutti->setChecked(true);
    l0->addWidget(rgCheckD);
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

    // Page 1: the file.
    tsCrea = new QWidget;
    auto *l1 = new QVBoxLayout(tsCrea);
    buCrea = new QPushButton(QStringLiteral("Crea file telematico"), tsCrea);
    buCrea->setObjectName(QStringLiteral("buCrea"));
    l1->addWidget(buCrea, 0, Qt::AlignLeft);
    meCrea = new QPlainTextEdit(tsCrea);
    meCrea->setObjectName(QStringLiteral("meCrea"));
    meCrea->setReadOnly(true);
    meCrea->setLineWrapMode(QPlainTextEdit::NoWrap);
    meCrea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meCrea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    l1->addWidget(meCrea, 1);
    connect(buCrea, &QPushButton::clicked, this, &TfmZepFile::buCreaClick);

    // The local-file form writes a shorter position (TZepFile).
    m_file = std::make_unique<TZepFile>(stato.Store(), stato.Programma().FileLocali(), this);
    AddPage(tsDipColl, QStringLiteral("tsDipColl"));
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
    if (grPrenotaModel->dataSet())
        return;
    m_file->PreparaPrenota();
    TZepFileTelematicoUi::MostraPrenota(grPrenota, *grPrenotaModel, m_file->cdsPrenota);
}

void TfmZepFile::tsCreaShow()
{
    m_file->CaricaTabelle();
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

void TfmZepFile::PageChanged(QWidget *page)
{
    if (!m_pronta)
        return;
    try {
        if (page == tsDipColl)
            tsDipCollShow();
        else if (page == tsCrea)
            tsCreaShow();
    } catch (const std::exception &e) {
        UqShowException(e);
    }
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

} // namespace emens
