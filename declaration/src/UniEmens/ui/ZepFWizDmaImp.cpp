#include "ZepFWizDmaImp.h"

#include "EnumerationCombo.h"
#include "FormRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QRadioButton>

const QString TfmZepWizDmaImp::NomeClasse = QStringLiteral("TfmZepWizDmaImp");

TfmZepWizDmaImp::TfmZepWizDmaImp(QWidget *owner) : TfmwunWizard(owner, std::make_unique<TZepWizDmaImp>())
{
    setObjectName(NomeClasse);
    buOk->setText(TZepWizDmaImp::DidascaliaOk);
    rbTipoCompenso1->setEnabled(false);
    auto *form = new QFormLayout(tsMeseComp);
    const auto combo = [this](const char *nome) {
        auto *c = new QComboBox(tsMeseComp);
        c->setObjectName(QLatin1String(nome));
        return c;
    };
    cbPosGiu = combo("cbPosGiu");
    form->addRow(QStringLiteral("Pos. giuridica"), cbPosGiu);
    connect(cbPosGiu, &QComboBox::activated, this, [this](int i) { Logica().PosizioneScelta = i; });
    cbMesi = combo("cbMesi");
    cbMesi->setEnabled(false);
    form->addRow(QStringLiteral("Mese denuncia"), cbMesi);
    chDichiarante = new QCheckBox(QStringLiteral("Importa dati dell'amministrazione dichiarante"), tsMeseComp);
    chDichiarante->setObjectName(QStringLiteral("chDichiarante"));
    form->addRow(chDichiarante);
    connect(chDichiarante, &QCheckBox::toggled, this, [this](bool on) { Logica().Dichiarante = on; });
    chV1 = new QCheckBox(QStringLiteral("Importa su modello V1 i compensi"), tsMeseComp);
    chV1->setObjectName(QStringLiteral("chV1"));
    form->addRow(chV1);
    cbAnniV1 = combo("cbAnniV1");
    form->addRow(QStringLiteral("Anno"), cbAnniV1);
    cbMesiV1 = combo("cbMesiV1");
    form->addRow(QStringLiteral("Mese"), cbMesiV1);
    // chV1Click: the V1 combos follow the box.
    connect(chV1, &QCheckBox::toggled, this, [this](bool on) {
        Logica().V1 = on;
        cbAnniV1->setEnabled(on);
        cbMesiV1->setEnabled(on);
    });
    // cbAnniV1Change
    connect(cbAnniV1, &QComboBox::activated, this, [this](int i) {
        Logica().ScegliAnnoV1(i);
        MostraMesiV1();
    });
    connect(cbMesiV1, &QComboBox::activated, this, [this](int i) { Logica().MeseV1Scelto = i; });

    AddPath(QStringLiteral("1"), {QStringLiteral("tsMeseComp")});
    SetPath(QStringLiteral("1"));
}

void TfmZepWizDmaImp::PageChanged(QWidget *page)
{
    TfmwunWizard::PageChanged(page);
    if (page == tsMeseComp)
        tsMeseCompShow();
}

void TfmZepWizDmaImp::tsMeseCompShow()
{
    const TZepWizDmaImp &w = Logica();
    chDichiarante->setChecked(w.Dichiarante);
    if (cbPosGiu->count() == 0)
        platform::fillComboBox(*cbPosGiu, w.Posizioni);
    cbPosGiu->setCurrentIndex(w.PosizioneScelta);
    if (cbPosGiu->isEnabled())
        cbPosGiu->setFocus();
    if (cbMesi->count() == 0)
        platform::fillComboBox(*cbMesi, w.Mesi);
    cbMesi->setCurrentIndex(w.MeseScelto);
    chV1->setChecked(w.V1);
    cbAnniV1->setEnabled(w.V1);
    cbMesiV1->setEnabled(w.V1);
    cbAnniV1->clear();
    platform::fillComboBox(*cbAnniV1, w.AnniV1);
    cbAnniV1->setCurrentIndex(w.AnnoV1Scelto);
    MostraMesiV1();
}

void TfmZepWizDmaImp::MostraMesiV1()
{
    cbMesiV1->clear();
    platform::fillComboBox(*cbMesiV1, Logica().MesiV1);
    cbMesiV1->setCurrentIndex(Logica().MeseV1Scelto);
}

void TfmZepWizDmaImp::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepWizDmaImp(owner); });
}

void TfmZepWizDmaImp::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
