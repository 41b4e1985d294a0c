#include "UqParamDialog.h"

#include "EnumerationCombo.h"
#include "UqParams.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

TfmUqParamValue::TfmUqParamValue(QWidget *parent) : TfmUqDialog(parent)
{
    auto *form = new QFormLayout;
    laParametro = new QLabel(paClient);
    laParametro->setObjectName(QStringLiteral("laParametro"));
    cbValore = new QComboBox(paClient);
    cbValore->setObjectName(QStringLiteral("cbValore"));
    cbValore->setMinimumWidth(320);
    form->addRow(laParametro, cbValore);
    ClientLayout()->addLayout(form);
}

void TfmUqParamValue::Imposta(TUqParamManager *manager, const QString &parametro, const QString &etichetta,
                              const platform::EnumItems &voci, qint64 attuale)
{
    m_manager = manager;
    m_parametro = parametro;
    laParametro->setText(etichetta);
    platform::fillComboBox(*cbValore, voci);
    const int indice = cbValore->findData(attuale);
    cbValore->setCurrentIndex(indice >= 0 ? indice : (voci.isEmpty() ? -1 : 0));
}

qint64 TfmUqParamValue::Valore() const
{
    return platform::comboBoxId(*cbValore);
}

qint64 TfmUqParamValue::Execute(TUqParamManager &manager, const QString &parametro, const QString &titolo,
                                const QString &etichetta, const platform::EnumItems &voci, qint64 attuale)
{
    TfmUqParamValue dialog;
    dialog.setWindowTitle(titolo);
    dialog.Imposta(&manager, parametro, etichetta, voci, attuale);
    return dialog.ShowModal() == mrOk ? dialog.Valore() : 0;
}

bool TfmUqParamValue::CanClose(int result)
{
    if (result != mrOk || !m_manager)
        return true;
    return m_manager->CheckValue(cbValore, m_parametro);
}
