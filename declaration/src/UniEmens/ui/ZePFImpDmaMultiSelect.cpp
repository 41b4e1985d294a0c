#include "ZePFImpDmaMultiSelect.h"

#include "ZepFDmaInfo.h"
#include "ZepUMainState.h"

#include "FormRegistry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

const QString TfmZepDmaImpMultiSelect::NomeClasse = QStringLiteral("TfmZepDmaImpMultiSelect");

TfmZepDmaImpMultiSelect::TfmZepDmaImpMultiSelect(QWidget *owner)
    : TfmwunFiscImpMultiSelect(owner, std::make_unique<TZepDmaImpMultiSelect>(IZepMainState::Require(owner).Store()))
{
    setObjectName(NomeClasse);
    auto *aggiungi = new QRadioButton(TZepDmaImpMultiSelect::VociSovrascrivi.at(TZepDmaImpMultiSelect::Aggiungi),
                                      rgSovraScrivi);
    bgSovraScrivi->addButton(aggiungi, TZepDmaImpMultiSelect::Aggiungi);
    rgSovraScrivi->layout()->addWidget(aggiungi);
    Logica().Modo = bgSovraScrivi->checkedId();
    connect(bgSovraScrivi, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            Logica().Modo = id;
    });
    cbForzaBloccati = new QCheckBox(TZepDmaImpMultiSelect::DidascaliaForzaBloccati, paClient);
    cbForzaBloccati->setObjectName(QStringLiteral("cbForzaBloccati"));
    cbForzaBloccati->setVisible(false);
    connect(cbForzaBloccati, &QCheckBox::toggled, this, [this](bool on) { Logica().ForzaBloccati = on; });
    Logica().MostraInfo = [](const QStringList &righe) {
        TfmZepDmaInfo &info = TfmZepDmaInfo::Corrente();
        info.Clear();
        for (const QString &riga : righe)
            info.AddMessage(riga);
        info.ShowInfo(false);
    };
}

void TfmZepDmaImpMultiSelect::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepDmaImpMultiSelect(owner); });
}

void TfmZepDmaImpMultiSelect::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
