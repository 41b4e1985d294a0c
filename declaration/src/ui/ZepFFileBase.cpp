#include "ZepFFileBase.h"

#include "ZepCFileBase.h"

#include "DataSetModel.h"
#include "Field.h"
#include "FormRegistry.h"
#include "Services.h"
#include "UqMessages.h"
#include "WindowGeometry.h"
#include "ZepULayoutNomi.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

using platform::Bookmark;

const QString TfmZepFileBase::NomeClasse = QStringLiteral("TfmZepFile");

TfmZepFileBase::TfmZepFileBase(QWidget *owner) : TfmUqWizard(owner)
{
    setObjectName(QStringLiteral("fmZepFile"));
    setWindowTitle(QStringLiteral("Generazione file telematico"));
}

TfmZepFileBase::~TfmZepFileBase() = default;

QGroupBox *TfmZepFileBase::CreaPaginaScelta(const QString &nomeGruppo, const QString &intestazione)
{
    tsDipColl = new QWidget;
    auto *l0 = new QVBoxLayout(tsDipColl);
    if (!intestazione.isEmpty())
        l0->addWidget(new QLabel(intestazione, tsDipColl));
    auto *gruppo = new QGroupBox(QStringLiteral("Scegliere per chi generare il file telematico"), tsDipColl);
    gruppo->setObjectName(nomeGruppo);
    auto *lr = new QHBoxLayout(gruppo);
    rbTutti = new QRadioButton(QStringLiteral("Tutti"), gruppo);
    rbTutti->setObjectName(QStringLiteral("rbTutti"));
    rbPrenota = new QRadioButton(QStringLiteral("su Prenotazione"), gruppo);
    rbPrenota->setObjectName(QStringLiteral("rbPrenota"));
    lr->addWidget(rbTutti);
    lr->addWidget(rbPrenota);
    lr->addStretch(1);
    rbTutti->setChecked(true);
    l0->addWidget(gruppo);

    grPrenota = new QTableView(tsDipColl);
    grPrenota->setObjectName(QStringLiteral("grPrenota"));
    grPrenota->setSelectionBehavior(QAbstractItemView::SelectRows);
    grPrenota->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grPrenota->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grPrenota->verticalHeader()->hide();
    grPrenota->horizontalHeader()->setStretchLastSection(true);
    grPrenota->setEnabled(false);
    grPrenotaModel = new platform::DataSetModel(nullptr, grPrenota);
    grPrenota->setModel(grPrenotaModel);
    l0->addWidget(grPrenota, 1);

    connect(rbTutti, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbTuttiClick();
    });
    connect(rbPrenota, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbPrenotaClick();
    });
    return gruppo;
}

void TfmZepFileBase::CreaPaginaCrea()
{
    tsCrea = new QWidget;
    auto *l = new QVBoxLayout(tsCrea);
    buCrea = new QPushButton(QStringLiteral("Crea file telematico"), tsCrea);
    buCrea->setObjectName(QStringLiteral("buCrea"));
    l->addWidget(buCrea, 0, Qt::AlignLeft);
    meCrea = new QPlainTextEdit(tsCrea);
    meCrea->setObjectName(QStringLiteral("meCrea"));
    meCrea->setReadOnly(true);
    meCrea->setLineWrapMode(QPlainTextEdit::NoWrap);
    meCrea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    meCrea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    l->addWidget(meCrea, 1);
    connect(buCrea, &QPushButton::clicked, this, &TfmZepFileBase::buCreaClick);
}

void TfmZepFileBase::MostraPrenota()
{
    if (grPrenotaModel->dataSet())
        return;
    TZepFileBase &file = Scrittore();
    file.PreparaPrenota();
    platform::DataSet &prenota = file.cdsPrenota;
    prenota.fieldByName(QStringLiteral("CF")).setDisplayLabel(QStringLiteral("Codice fiscale"));
    prenota.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).setDisplayLabel(QStringLiteral("Matricola INPS"));
    prenota.fieldByName(layouts::TEMD_DIPENDENTI::Qualifica2).setDisplayLabel(QStringLiteral("Orario Intero / PT"));
    grPrenotaModel->setDataSet(&prenota);
    grPrenota->resizeColumnsToContents();
}

void TfmZepFileBase::ImpostaPronta()
{
    m_pronta = true;
    CheckButtons();
}

void TfmZepFileBase::showEvent(QShowEvent *event)
{
    TfmUqWizard::showEvent(event);
    if (m_mostrata)
        return;
    m_mostrata = true;
    PageChanged(ActivePage());
}

QList<Bookmark> TfmZepFileBase::Selezionati() const
{
    QList<Bookmark> out;
    for (const QModelIndex &index : grPrenota->selectionModel()->selectedRows())
        out << grPrenotaModel->bookmarkAt(index.row());
    return out;
}

void TfmZepFileBase::rbTuttiClick()
{
    grPrenota->clearSelection();
    grPrenota->setEnabled(false);
}

void TfmZepFileBase::rbPrenotaClick()
{
    grPrenota->setEnabled(true);
    grPrenotaModel->reload();
}

void TfmZepFileBase::PageChanged(QWidget *page)
{
    if (!m_pronta)
        return;
    try {
        MostraPagina(page);
    } catch (const std::exception &e) {
        UqShowException(e);
    }
}

void TfmZepFileBase::CheckButtons()
{
    TfmUqWizard::CheckButtons();
    buOk->setEnabled(m_creato);
    if (m_creato)
        buPrior->setEnabled(false);
}

void TfmZepFileBase::Log(const QString &riga)
{
    meCrea->appendPlainText(riga);
}

void TfmZepFileBase::buCreaClick()
{
    meCrea->clear();
    const bool creato = Scrittore().CreaFile(
        [this](const QString &cartella, const QString &nome) { return ScegliFile(cartella, nome); });
    if (!creato)
        return;
    m_creato = true;
    buCrea->setEnabled(false);
    CheckButtons();
    // The file is made once a window: OK, the way out, takes Enter.
    buNext->setDefault(false);
    buOk->setDefault(true);
    buOk->setFocus();
}

QString TfmZepFileBase::ScegliFile(const QString &cartella, const QString &nome)
{
    QFileDialog dialogo(this, QStringLiteral("Salva il file telematico"), cartella,
                        QStringLiteral("XML (*.xml);;Tutti i file (*)"));
    dialogo.setObjectName(QStringLiteral("s_FileTel"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    dialogo.selectFile(nome);
    // Room for the places ("Computer") and the columns' titles
    // ("Dimensione", "Data di modifica") in Italian.
    platform::fitToScreen(dialogo, QSize(860, 520));
    if (auto *posti = dialogo.findChild<QListView *>(QStringLiteral("sidebar")))
        posti->setMinimumWidth(posti->sizeHintForColumn(0) + 2 * posti->frameWidth() + 16);
    if (auto *elenco = dialogo.findChild<QTreeView *>(QStringLiteral("treeView")))
        for (int c = 1; c < elenco->header()->count(); ++c)
            elenco->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    if (platform::Services::instance().execDialog(dialogo) != QDialog::Accepted)
        return QString();
    return dialogo.selectedFiles().value(0);
}

void TfmZepFileBase::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
