#include "ZepFRiepilogoDatiCUD.h"

#include "DataSetModel.h"
#include "Field.h"
#include "FormRegistry.h"
#include "Services.h"
#include "UqMessages.h"
#include "ZepRDma.h"
#include "ZepUMainState.h"
#include "zepFReport.h"
#include "ZepULayoutNomi.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

TfmZepRiepilogoDatiCUD::TfmZepRiepilogoDatiCUD(QWidget *owner)
    : TfmUqDialog(owner), m_logica(IZepMainState::Require(owner).Store())
{
    setObjectName(QStringLiteral("fmZepRiepilogoDatiCUD"));
    setWindowTitle(TZepRiepilogoDatiCUD::Titolo);
    resize(560, 420);
    buOk->hide();
    buStampa = new QPushButton(QStringLiteral("Stampa"), this);
    buStampa->setObjectName(QStringLiteral("buStampa"));
    buStampa->setDefault(true);
    AddButton(buStampa);
    connect(buStampa, &QPushButton::clicked, this, &TfmZepRiepilogoDatiCUD::buStampaClick);
    grPersone = new QTableView(paClient);
    grPersone->setObjectName(QStringLiteral("grPersone"));
    grPersone->setSelectionBehavior(QAbstractItemView::SelectRows);
    grPersone->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grPersone->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grPersone->horizontalHeader()->setStretchLastSection(true);
    grPersone->verticalHeader()->hide();
    ClientLayout()->addWidget(grPersone);
    m_model = new platform::DataSetModel(nullptr, this);
    grPersone->setModel(m_model);
    grPersone->setItemDelegate(new TQuvRigheBloccate(m_model, this));
}

TfmZepRiepilogoDatiCUD::~TfmZepRiepilogoDatiCUD()
{
    m_model->setDataSet(nullptr);
    for (platform::DataSet *ds : {&m_logica.cdsDichiarante, &m_logica.cdsE0, &m_logica.cdsV1, &m_logica.cdsElenco,
                                  &m_logica.cdsDaStampare, &m_logica.cdsAnni})
        ds->close();
}

void TfmZepRiepilogoDatiCUD::showEvent(QShowEvent *event)
{
    TfmUqDialog::showEvent(event);
    if (!m_caricato)
        FormShow();
}

void TfmZepRiepilogoDatiCUD::FormShow()
{
    m_caricato = true;
    try {
        platform::WaitCursor attesa;
        m_logica.CaricaPersone();
    } catch (const std::exception &e) {
        UqShowException(e);
        return;
    }
    platform::DataSet &elenco = m_logica.cdsElenco;
    const QList<QPair<QString, QString>> colonne{{layouts::TD0_ANAG::AN_D0001002_COGNOME, QStringLiteral("Cognome")},
                                                 {layouts::TD0_ANAG::AN_D0001003_NOME, QStringLiteral("Nome")},
                                                 {layouts::TD0_ANAG::CF_D0001001_CODFIS,
                                                  QStringLiteral("Codice fiscale")}};
    for (const auto &f : elenco.fields())
        f->setVisible(false);
    for (const auto &[campo, titolo] : colonne)
        if (platform::Field *f = elenco.findField(campo)) {
            f->setVisible(true);
            f->setDisplayLabel(titolo);
        }
    m_model->setDataSet(&elenco);
    m_model->reload();
    grPersone->resizeColumnsToContents();
}

void TfmZepRiepilogoDatiCUD::buStampaClick()
{
    try {
        QList<platform::Bookmark> scelti;
        QModelIndexList righe = grPersone->selectionModel()->selectedRows();
        std::sort(righe.begin(), righe.end());
        for (const QModelIndex &r : righe)
            scelti << m_model->bookmarkAt(r.row());
        TZepStampa stampa;
        {
            platform::WaitCursor attesa;
            m_logica.Scegli(scelti);
            m_logica.CaricaSezioni();
            stampa = m_logica.Stampa();
        }
        TfmZepReport::Anteprima(stampa, this);
        m_logica.cdsDaStampare.close();
    } catch (const std::exception &e) {
        UqShowException(e);
    }
}

void TfmZepRiepilogoDatiCUD::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmZepRiepilogoDatiCUD"),
                                     [](QWidget *owner) -> QWidget * { return new TfmZepRiepilogoDatiCUD(owner); });
}

void TfmZepRiepilogoDatiCUD::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepRiepilogoDatiCUD"));
}
