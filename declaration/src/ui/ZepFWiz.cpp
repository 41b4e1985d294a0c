#include "ZepFWiz.h"

#include "FormRegistry.h"
#include "TovFCdsSearch.h"
#include "tovUUtilUi.h"
#include "ZepCTabellaDenuncia.h"
#include "ZepUMainState.h"
#include "wunRPacoDm10.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

TfmZepWiz::TfmZepWiz(QWidget *owner) : TfmwunWizard(owner, std::make_unique<TZepWiz>())
{
    setObjectName(QStringLiteral("fmZepWiz"));
    buOk->setText(TZepWiz::TestoOk);
    rbTipoCompenso1->setEnabled(false);
    Logica().FileTipiContribuzione = TZepTabellaDenuncia::FileTabella(IZepMainState::Require(owner),
                                                                      TZepWiz::TabellaTipiContribuzione);

    auto *pagina = new QVBoxLayout(tsMeseComp);
    auto *campi = new QFormLayout;
    cbMesi = new QComboBox(tsMeseComp);
    cbMesi->setObjectName(QStringLiteral("cbMesi"));
    cbMesi->setEnabled(false);
    edComune = new QLineEdit(tsMeseComp);
    edComune->setObjectName(QStringLiteral("edComune"));
    edComune->setMaxLength(4);
    ceContr = new QLineEdit(tsMeseComp);
    ceContr->setObjectName(QStringLiteral("ceContr"));
    ceContr->setReadOnly(true);
    buContr = new QToolButton(tsMeseComp);
    buContr->setObjectName(QStringLiteral("buContr"));
    buContr->setText(QStringLiteral("..."));
    auto *contr = new QHBoxLayout;
    contr->addWidget(ceContr, 1);
    contr->addWidget(buContr);
    campi->addRow(QStringLiteral("Mese"), cbMesi);
    campi->addRow(QStringLiteral("Codice comune di lavoro"), edComune);
    campi->addRow(QStringLiteral("Tipo contribuzione"), contr);
    pagina->addLayout(campi);

    chDichiarante = new QCheckBox(QStringLiteral("Importa dati amministrazione o ente dichiarante"), tsMeseComp);
    chDichiarante->setObjectName(QStringLiteral("chDichiarante"));
    pagina->addWidget(chDichiarante);
    rgGiorni = new QGroupBox(QStringLiteral(" Considera come retribuiti:  "), tsMeseComp);
    rgGiorni->setObjectName(QStringLiteral("rgGiorni"));
    auto *giorni = new QHBoxLayout(rgGiorni);
    bgGiorni = new QButtonGroup(rgGiorni);
    for (int i = 0; i < TZepWiz::VociGiorni.size(); ++i) {
        auto *rb = new QRadioButton(TZepWiz::VociGiorni.at(i), rgGiorni);
        bgGiorni->addButton(rb, i);
        giorni->addWidget(rb);
    }
    pagina->addWidget(rgGiorni);
    chPtComeIntero = new QCheckBox(QStringLiteral("Considera part-time come intero"), tsMeseComp);
    chPtComeIntero->setObjectName(QStringLiteral("chPtComeIntero"));
    chPtComeIntero->setChecked(true);
    pagina->addWidget(chPtComeIntero);
    chVarRetributive = new QCheckBox(
        QStringLiteral("Riporta nelle variabili retributive l'imponibile relativo ad anni precedenti"), tsMeseComp);
    chVarRetributive->setObjectName(QStringLiteral("chVarRetributive"));
    Logica().Denuncia = IZepMainState::Require(owner).Programma().Denuncia;
    chVarRetributive->setVisible(Logica().Denuncia != TZepDenuncia::UniEmens);
    pagina->addWidget(chVarRetributive);
    frWunPacoEMens = new TfrWunPacoDm10(tsMeseComp);
    frWunPacoEMens->setObjectName(QStringLiteral("frWunPacoEMens"));
    pagina->addWidget(frWunPacoEMens);
    pagina->addStretch(1);
    Logica().SetAzienda(&frWunPacoEMens->Dati());

    // Every change of a control goes to the rules at once.
    connect(edComune, &QLineEdit::textEdited, this, [this](const QString &testo) { Logica().Comune = testo; });
    connect(chDichiarante, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_mostrando)
            Logica().Dichiarante = on;
    });
    connect(chPtComeIntero, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_mostrando)
            Logica().PtComeIntero = on;
    });
    connect(chVarRetributive, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_mostrando)
            Logica().VarRetributive = on;
    });
    connect(bgGiorni, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!m_mostrando && on)
            Logica().Giorni = id;
    });
    connect(buContr, &QToolButton::clicked, this, &TfmZepWiz::ceContrButtonClick);

    AddPath(TZepWiz::Percorso, {QStringLiteral("tsMeseComp")});
    SetPath(TZepWiz::Percorso);
    MostraStato();
}

TfmZepWiz::~TfmZepWiz() = default;

void TfmZepWiz::RegisterClass()
{
    platform::FormRegistry::Register(QStringLiteral("TfmZepWiz"),
                                     [](QWidget *owner) -> QWidget * { return new TfmZepWiz(owner); });
}

void TfmZepWiz::PageChanged(QWidget *page)
{
    TfmwunWizard::PageChanged(page);
    if (page == tsMeseComp)
        MostraPagina();
}

void TfmZepWiz::MostraPagina()
{
    const TZepWiz &w = Logica();
    m_mostrando = true;
    if (cbMesi->count() != w.Mesi.size()) {
        cbMesi->clear();
        for (const platform::EnumItem &mese : w.Mesi)
            cbMesi->addItem(mese.text, mese.id);
    }
    cbMesi->setCurrentIndex(w.IndiceMese);
    edComune->setText(w.Comune);
    TTovUtilUi::ShowWholeText(*ceContr, w.TestoContribuzione);
    chDichiarante->setChecked(w.Dichiarante);
    bgGiorni->button(w.Giorni)->setChecked(true);
    chPtComeIntero->setChecked(w.PtComeIntero);
    chVarRetributive->setChecked(w.VarRetributive);
    m_mostrando = false;
}

void TfmZepWiz::ceContrButtonClick()
{
    platform::DataSet *scelta = fmTovRicerca()->SearchRecord(Logica().FileTipiContribuzione);
    if (!scelta)
        return;
    Logica().ScegliContribuzione(scelta->fieldByName(QStringLiteral("Codice")).asString(),
                                 scelta->fieldByName(QStringLiteral("Descrizione")).asString());
    scelta->close();
    TTovUtilUi::ShowWholeText(*ceContr, Logica().TestoContribuzione);
}

bool TfmZepWiz::CanClose(int result)
{
    if (!TfmwunWizard::CanClose(result))
        return false;
    if (result != mrOk)
        Logica().Annulla();
    return true;
}

void TfmZepWiz::UnregisterClass()
{
    platform::FormRegistry::Unregister(QStringLiteral("TfmZepWiz"));
}
