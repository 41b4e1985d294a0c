#include "import/ui/wunFWizard.h"

#include "Exceptions.h"
#include "FormRegistry.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

TfmwunWizard::TfmwunWizard(QWidget *owner, std::unique_ptr<TwunWizard> logica)
    : TfmUqWizard(owner), m_logica(logica ? std::move(logica) : std::make_unique<TwunWizard>())
{
    setWindowTitle(TwunWizard::Titolo);
    buOk->setText(QStringLiteral("Applica"));

    tsTipoCompenso = new QWidget;
    auto *tipo = new QVBoxLayout(tsTipoCompenso);
    gbTipoCompenso = new QGroupBox(tsTipoCompenso);
    gbTipoCompenso->setObjectName(QStringLiteral("gbTipoCompenso"));
    auto *radios = new QVBoxLayout(gbTipoCompenso);
    QRadioButton **bottoni[] = {&rbTipoCompenso0, &rbTipoCompenso1, &rbTipoCompenso2};
    for (int i = 0; i < 3; ++i) {
        auto *rb = new QRadioButton(TwunWizard::VociTipoCompenso.at(i), gbTipoCompenso);
        rb->setObjectName(QStringLiteral("rbTipoCompenso%1").arg(i));
        radios->addWidget(rb);
        *bottoni[i] = rb;
        connect(rb, &QRadioButton::clicked, this, [this, i] {
            if (m_mostrando)
                return;
            m_logica->ScegliTipo(i);
            MostraStato();
        });
    }
    rbTipoCompenso0->setChecked(true);
    tipo->addWidget(gbTipoCompenso);

    gbLIqCorrente = new QGroupBox(tsTipoCompenso);
    gbLIqCorrente->setObjectName(QStringLiteral("gbLIqCorrente"));
    auto *corrente = new QVBoxLayout(gbLIqCorrente);
    lbMeseGruppo = new QLabel(gbLIqCorrente);
    lbMeseGruppo->setObjectName(QStringLiteral("lbMeseGruppo"));
    laTitolo = new QLabel(QStringLiteral("Impostare la spunta per continuare con la seguente operazione:"),
                          gbLIqCorrente);
    laTitolo->setObjectName(QStringLiteral("laTitolo"));
    chCompensoCorrente = new QCheckBox(gbLIqCorrente);
    chCompensoCorrente->setObjectName(QStringLiteral("chCompensoCorrente"));
    corrente->addWidget(lbMeseGruppo);
    corrente->addWidget(laTitolo);
    corrente->addWidget(chCompensoCorrente);
    connect(chCompensoCorrente, &QCheckBox::clicked, this, [this](bool spuntato) {
        if (m_mostrando)
            return;
        m_logica->ScegliCompensoCorrente(spuntato);
        MostraStato();
    });
    tipo->addWidget(gbLIqCorrente);
    tipo->addStretch(1);

    tsMeseComp = new QWidget;
    tsGruppo = new QWidget;
    AddPage(tsTipoCompenso, QStringLiteral("tsTipoCompenso"));
    AddPage(tsMeseComp, QStringLiteral("tsMeseComp"));
    AddPage(tsGruppo, QStringLiteral("tsGruppo"));
    MostraStato();
}

TfmwunWizard::~TfmwunWizard() = default;

void TfmwunWizard::MostraStato()
{
    const TwunWizard &w = *m_logica;
    m_mostrando = true;
    QRadioButton *tipi[] = {rbTipoCompenso0, rbTipoCompenso1, rbTipoCompenso2};
    for (int i = 0; i < 3; ++i)
        tipi[i]->setChecked(w.TipoCompenso == i);
    gbTipoCompenso->setEnabled(w.TipoCompensoAbilitato);
    chCompensoCorrente->setText(w.DidascaliaCompensoCorrente);
    chCompensoCorrente->setChecked(w.CompensoCorrente);
    lbMeseGruppo->setText(w.TestoMeseGruppo);
    gbLIqCorrente->setVisible(w.LiquidazioneCorrenteVisibile);
    setWindowTitle(w.Caption);
    m_mostrando = false;
}

TwunWizard::Pagina TfmwunWizard::PaginaDi(QWidget *page) const
{
    if (page == tsMeseComp)
        return TwunWizard::Pagina::MeseComp;
    if (page == tsGruppo)
        return TwunWizard::Pagina::Gruppo;
    return TwunWizard::Pagina::TipoCompenso;
}

bool TfmwunWizard::PageChanging(QWidget *from, QWidget *)
{
    m_logica->LasciaPagina(PaginaDi(from));
    MostraStato();
    return true;
}

void TfmwunWizard::PageChanged(QWidget *page)
{
    if (page == tsGruppo)
        m_logica->MostraGruppo();
    m_logica->AttivaPagina(PaginaDi(page));
    MostraStato();
}

bool TfmwunWizard::CanClose(int result)
{
    return m_logica->PuoChiudere(result == mrOk);
}

QString TfmwunWizard::Execute(const QString &classe, platform::DataSet &parametri, TUqQueryCollection *collezione)
{
    std::unique_ptr<QWidget> form(platform::FormRegistry::Create(classe));
    auto *wizard = qobject_cast<TfmwunWizard *>(form.get());
    ZEP_ASSERT(wizard, QStringLiteral("La classe %1 non è una procedura guidata di importazione").arg(classe));
    TwunWizard &logica = wizard->Logica();
    logica.Imposta(&parametri, collezione);
    logica.Inizia();
    if (QWidget *page = wizard->ActivePage())
        wizard->PageChanged(page);
    wizard->MostraStato();
    if (wizard->ShowModal() != mrOk)
        return QString();
    return logica.Conferma();
}
