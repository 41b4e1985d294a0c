#include "zepFRepBase.h"

#include "DataSetModel.h"
#include "Field.h"
#include "Services.h"
#include "UqMessages.h"
#include "zepCRepBase.h"
#include "zepCStampa.h"
#include "zepFReport.h"
#include "ZepULayoutNomi.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

TfmzepRepBase::TfmzepRepBase(QWidget *owner, std::unique_ptr<TzepRepBase> logica, const QString &titolo)
    : TfmUqDialog(owner), m_logica(std::move(logica))
{
    setWindowTitle(titolo);
    resize(560, 420);
    auto *form = new QFormLayout;
    cbMese = new QComboBox(paClient);
    cbMese->setObjectName(QStringLiteral("cbMese"));
    cbMese->addItems(TzepRepBase::MesiFiltro());
    form->addRow(QStringLiteral("Mese:"), cbMese);
    ClientLayout()->addLayout(form);
    grScelta = new QTableView(paClient);
    grScelta->setObjectName(QStringLiteral("grScelta"));
    grScelta->setSelectionBehavior(QAbstractItemView::SelectRows);
    grScelta->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grScelta->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grScelta->horizontalHeader()->setStretchLastSection(true);
    grScelta->verticalHeader()->hide();
    ClientLayout()->addWidget(grScelta);
    m_model = new platform::DataSetModel(nullptr, this);
    grScelta->setModel(m_model);
}

TfmzepRepBase::~TfmzepRepBase()
{
    m_model->setDataSet(nullptr);
    for (platform::DataSet *ds :
         {&m_logica->cdsDettagli, &m_logica->cdsScelta, &m_logica->cdsDaStampare, &m_logica->cdsDichiarante})
        ds->close();
}

void TfmzepRepBase::showEvent(QShowEvent *event)
{
    TfmUqDialog::showEvent(event);
    if (!m_caricato)
        FormShow();
}

void TfmzepRepBase::FormShow()
{
    m_caricato = true;
    try {
        platform::WaitCursor attesa;
        m_logica->Carica();
    } catch (const std::exception &e) {
        UqShowException(e);
        return;
    }
    platform::DataSet &scelta = m_logica->cdsScelta;
    scelta.fieldByName(QStringLiteral("Codice_Fiscale")).setDisplayLabel(QStringLiteral("Codice fiscale"));
    scelta.fieldByName(layouts::TEMD_DIPENDENTI::AnnoMeseDenuncia).setVisible(false);
    if (!m_logica->cdsDettagli.findField(layouts::TEMD_DIPENDENTI::Matricola))
        scelta.fieldByName(layouts::TEMD_DIPENDENTI::Matricola).setVisible(false);
    m_model->setDataSet(&scelta);
    m_model->reload();
    grScelta->resizeColumnsToContents();
}

bool TfmzepRepBase::CanClose(int result)
{
    if (result != mrOk)
        return true;
    try {
        QList<platform::Bookmark> scelti;
        QModelIndexList righe = grScelta->selectionModel()->selectedRows();
        std::sort(righe.begin(), righe.end());
        for (const QModelIndex &r : righe)
            scelti << m_model->bookmarkAt(r.row());
        m_logica->Mese = std::max(0, cbMese->currentIndex());
        TZepStampa stampa;
        {
            platform::WaitCursor attesa;
            m_logica->Scegli(scelti);
            stampa = m_logica->Stampa();
        }
        TfmZepReport::Anteprima(stampa, this);
    } catch (const std::exception &e) {
        UqShowException(e);
        return false;
    }
    return true;
}
