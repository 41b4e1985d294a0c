#include "ZepRDatiDenuncia.h"

#include "ZepCFormeCampi.h"

#include "DataSetModel.h"
#include "Field.h"

#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

using platform::DataSet;
using platform::FieldType;

TfrZepDatiDenuncia::TfrZepDatiDenuncia(QWidget *parent) : TfrTovBase(parent)
{
    sbDettaglio = new QScrollArea(tsDetail);
    sbDettaglio->setObjectName(QStringLiteral("sbDettaglio"));
    sbDettaglio->setWidgetResizable(true);
    sbDettaglio->setFrameShape(QFrame::NoFrame);
    paDettaglio = new QWidget;
    paDettaglio->setObjectName(QStringLiteral("paDettaglio"));
    sbDettaglio->setWidget(paDettaglio);
    auto *layout = new QVBoxLayout(tsDetail);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sbDettaglio);
    Dettaglio = new TZepDettaglio(this);

    platform::DataSetEvents &events = cdsMain.events();
    events.afterPost = [this](DataSet &ds) { cdsMainAfterPost(ds); };
    events.beforeDelete = [this](DataSet &ds) { cdsMainBeforeDelete(ds); };
    events.afterDelete = [this](DataSet &ds) { cdsMainAfterDelete(ds); };
    events.onNewRecord = [this](DataSet &ds) { cdsMainNewRecord(ds); };
    m_observer = cdsMain.addObserver([this](const platform::DataChange &change) {
        if (change.kind != platform::DataChange::Destroyed
            && (change.kind != platform::DataChange::RecordChanged || !change.field))
            dsMainDataChange();
    });
}

TfrZepDatiDenuncia::~TfrZepDatiDenuncia()
{
    cdsMain.removeObserver(m_observer);
    platform::DataSetEvents &events = cdsMain.events();
    events.afterPost = events.beforeDelete = events.afterDelete = events.onNewRecord = nullptr;
}

void TfrZepDatiDenuncia::Prepara()
{
    TZepTabellaDenuncia::ImpostaColonne(cdsMain, Colonne());
    for (const auto &field : cdsMain.fields())
        if (field->dataType() == FieldType::Currency) {
            field->setDisplayFormat(QStringLiteral("#,##0.00"));
            field->setEditFormat(QStringLiteral("0.00"));
            field->setOnGetText(&TfrTovBase::NumericFieldGetText);
        }
    Dettaglio->AdattaLarghezze();
    Dettaglio->ImpostaEtichette();
    grModel->reload();
    grFrame->resizeColumnsToContents();
}

void TfrZepDatiDenuncia::cdsMainBeforePost(DataSet &dataSet)
{
    TfrTovBase::cdsMainBeforePost(dataSet);
    TZepFormeCampi::Controlla(dataSet);
}

void TfrZepDatiDenuncia::cdsMainAfterPost(DataSet &dataSet)
{
    if (m_tabella)
        m_tabella->Salva(dataSet);
}

void TfrZepDatiDenuncia::cdsMainBeforeDelete(DataSet &)
{
    TZepTabellaDenuncia::ConfermaCancellazione();
}

void TfrZepDatiDenuncia::cdsMainAfterDelete(DataSet &dataSet)
{
    if (m_tabella)
        m_tabella->Salva(dataSet);
}

void TfrZepDatiDenuncia::cdsMainNewRecord(DataSet &) {}
