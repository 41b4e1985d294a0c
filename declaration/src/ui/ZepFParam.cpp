#include "ZepFParam.h"

#include "FormRegistry.h"
#include "UqMessages.h"
#include "ZepUMainState.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void CreaCampiAnnoMese(QWidget *parent, QFormLayout *form, QLineEdit *&deAnnoFin, QComboBox *&cbMesi)
{
    deAnnoFin = new QLineEdit(parent);
    deAnnoFin->setObjectName(QStringLiteral("deAnnoFin"));
    deAnnoFin->setMaxLength(4);
    form->addRow(TZepParametri::EtichettaAnno + QLatin1Char(':'), deAnnoFin);
    cbMesi = new QComboBox(parent);
    cbMesi->setObjectName(QStringLiteral("cbMesi"));
    cbMesi->addItems(TZepParametri::Mesi());
    form->addRow(QStringLiteral("Mese:"), cbMesi);
}

TfmZepParametri::TfmZepParametri(QWidget *owner) : TfmUqDialog(owner), m_logica(IZepMainState::Require(owner))
{
    setObjectName(QStringLiteral("fmZepParametri"));
    setWindowTitle(QStringLiteral("Parametri"));
    buCancel->hide();

    auto *form = new QFormLayout;
    CreaCampiAnnoMese(paClient, form, deAnnoFin, cbMesi);
    laData = new QLabel(QStringLiteral("Data modello"), paClient);
    laData->setObjectName(QStringLiteral("laData"));
    dptData = new QDateEdit(paClient);
    dptData->setObjectName(QStringLiteral("dptData"));
    dptData->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dptData->setCalendarPopup(true);
    form->addRow(laData, dptData);
    laData->hide();
    dptData->hide();
    ClientLayout()->addLayout(form);

    const TZepParametri::Scelta scelta = m_logica.Iniziale();
    deAnnoFin->setText(scelta.anno);
    cbMesi->setCurrentIndex(scelta.mese - 1);
    dptData->setDate(scelta.dataModello);
}

TfmZepParametri::~TfmZepParametri() = default;

void TfmZepParametri::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmZepParametri"),
                                     [](QWidget *owner) -> QWidget * { return new TfmZepParametri(owner); });
}

void TfmZepParametri::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepParametri"));
}

bool TfmZepParametri::CanClose(int)
{
    try {
        m_logica.Controlla(deAnnoFin->text());
    } catch (const std::exception &e) {
        UqShowException(e);
        return false;
    }
    try {
        m_logica.Applica(deAnnoFin->text(), qMax(0, cbMesi->currentIndex()) + 1, dptData->text());
    } catch (const std::exception &e) {
        UqShowException(e);
    }
    return true;
}
