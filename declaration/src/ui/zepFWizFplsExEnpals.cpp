#include "zepFWizFplsExEnpals.h"

#include "ZepCTabellaDenuncia.h"
#include "ZepCWiz.h"
#include "ZepUMainState.h"

#include "DataSet.h"
#include "EnumerationCombo.h"
#include "FormRegistry.h"
#include "TovFCdsSearch.h"
#include "tovUUtilUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

const QString TfmZepWizFplsExEnpals::NomeClasse = QStringLiteral("TfmZepWizFplsExEnpals");

namespace {
std::unique_ptr<TwunWizard> regole(QWidget *owner)
{
    auto logica = std::make_unique<TZepWizFplsExEnpals>();
    logica->FileContribuzione = TZepTabellaDenuncia::FileTabella(IZepMainState::Require(owner),
                                                                 TZepWiz::TabellaTipiContribuzione);
    return logica;
}
} // namespace

TfmZepWizFplsExEnpals::TfmZepWizFplsExEnpals(QWidget *owner) : TfmwunWizard(owner, regole(owner))
{
    setObjectName(NomeClasse);
    auto *form = new QFormLayout(tsMeseComp);

    cbMesi = new QComboBox(tsMeseComp);
    cbMesi->setObjectName(QStringLiteral("cbMesi"));
    cbMesi->setEnabled(false);
    form->addRow(QStringLiteral("Mese"), cbMesi);

    edComune = new QLineEdit(tsMeseComp);
    edComune->setObjectName(QStringLiteral("edComune"));
    edComune->setMaxLength(4);
    form->addRow(QStringLiteral("Codice comune di lavoro"), edComune);
    connect(edComune, &QLineEdit::textEdited, this, [this](const QString &t) { Logica().Comune = t; });

    auto *contr = new QHBoxLayout;
    ceContr = new QLineEdit(tsMeseComp);
    ceContr->setObjectName(QStringLiteral("ceContr"));
    buContr = new QToolButton(tsMeseComp);
    buContr->setObjectName(QStringLiteral("buContr"));
    buContr->setText(QStringLiteral("..."));
    contr->addWidget(ceContr, 1);
    contr->addWidget(buContr);
    form->addRow(QStringLiteral("Tipo contribuzione"), contr);
    connect(ceContr, &QLineEdit::textEdited, this, [this](const QString &t) { Logica().Contribuzione = t; });
    connect(buContr, &QToolButton::clicked, this, &TfmZepWizFplsExEnpals::ceContrButtonClick);

    EdMatAzienda = new QLineEdit(tsMeseComp);
    EdMatAzienda->setObjectName(QStringLiteral("EdMatAzienda"));
    EdMatAzienda->setMaxLength(10);
    form->addRow(QStringLiteral("Matricola azienda"), EdMatAzienda);
    connect(EdMatAzienda, &QLineEdit::textEdited, this, [this](const QString &t) { Logica().Matricola = t; });

    chDichiarante = new QCheckBox(QStringLiteral("Importa dati amministrazione o ente dichiarante"), tsMeseComp);
    chDichiarante->setObjectName(QStringLiteral("chDichiarante"));
    form->addRow(chDichiarante);
    connect(chDichiarante, &QCheckBox::toggled, this, [this](bool on) { Logica().Dichiarante = on; });

    AddPath(QStringLiteral("1"), {QStringLiteral("tsMeseComp")});
    SetPath(QStringLiteral("1"));
}

void TfmZepWizFplsExEnpals::PageChanged(QWidget *page)
{
    TfmwunWizard::PageChanged(page);
    if (page == tsMeseComp)
        MostraPagina();
}

void TfmZepWizFplsExEnpals::MostraPagina()
{
    const TZepWizFplsExEnpals &w = Logica();
    if (cbMesi->count() == 0)
        platform::fillComboBox(*cbMesi, w.Mesi);
    cbMesi->setCurrentIndex(w.MeseScelto);
    edComune->setText(w.Comune);
    TTovUtilUi::ShowWholeText(*ceContr, w.Contribuzione);
    EdMatAzienda->setText(w.Matricola);
    chDichiarante->setChecked(w.Dichiarante);
}

void TfmZepWizFplsExEnpals::ceContrButtonClick()
{
    platform::DataSet *scelta = fmTovRicerca()->SearchRecord(Logica().FileContribuzione);
    if (!scelta)
        return;
    Logica().ScegliContribuzione(scelta->fieldByName(QStringLiteral("Codice")).asString(),
                                 scelta->fieldByName(QStringLiteral("Descrizione")).asString());
    TTovUtilUi::ShowWholeText(*ceContr, Logica().Contribuzione);
}

void TfmZepWizFplsExEnpals::RegisterClass()
{
    platform::FormRegistry::Register(NomeClasse,
                                     [](QWidget *owner) -> QWidget * { return new TfmZepWizFplsExEnpals(owner); });
}

void TfmZepWizFplsExEnpals::UnregisterClass()
{
    platform::FormRegistry::Unregister(NomeClasse);
}
