#include "import/ui/wunFAnaMultiSelect.h"

#include "EnumerationCombo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

TfmwunAnaMultiSelect::TfmwunAnaMultiSelect(QWidget *owner, std::unique_ptr<TwunAnaMultiSelect> logica)
    : TfmwunMultiSelect(owner), m_logica(logica ? std::move(logica) : std::make_unique<TwunAnaMultiSelect>())
{
    setWindowTitle(TwunAnaMultiSelect::Titolo);
    resize(520, 520);

    pnlFiltro = new QWidget(paClient);
    pnlFiltro->setObjectName(QStringLiteral("pnlFiltro"));
    auto *filtri = new QGridLayout(pnlFiltro);
    filtri->setContentsMargins(0, 0, 0, 0);
    QComboBox **liste[] = {&cbICALNUBRACODE, &cbITNONUBRACODE, &cbIQARNUBRACODE};
    for (int i = 0; i < TwunAnaMultiSelect::Filtri().size(); ++i) {
        const TwunAnaMultiSelect::Filtro &f = TwunAnaMultiSelect::Filtri().at(i);
        auto *combo = new QComboBox(pnlFiltro);
        combo->setObjectName(QStringLiteral("cb") + f.campo);
        filtri->addWidget(new QLabel(f.etichetta, pnlFiltro), 0, i);
        filtri->addWidget(combo, 1, i);
        *liste[i] = combo;
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
            if (m_filtriCaricati && m_logica->xqcMultiSelect.isActive())
                ApplicaFiltro();
        });
    }
    chServizio = new QCheckBox(QStringLiteral("In servizio"), pnlFiltro);
    chServizio->setObjectName(QStringLiteral("chServizio"));
    chServizio->hide();
    filtri->addWidget(chServizio, 1, 3);
    connect(chServizio, &QCheckBox::clicked, this, [this] { ApplicaFiltro(); });
    ClientLayout()->insertWidget(0, pnlFiltro);

    rgOrdine = new QGroupBox(QStringLiteral(" Ordine di stampa "), paClient);
    rgOrdine->setObjectName(QStringLiteral("rgOrdine"));
    auto *ordine = new QHBoxLayout(rgOrdine);
    rbAlfabetico = new QRadioButton(QStringLiteral("alfabetico"), rgOrdine);
    rbPerCodice = new QRadioButton(QStringLiteral("per codice"), rgOrdine);
    rbAlfabetico->setChecked(true);
    ordine->addWidget(rbAlfabetico);
    ordine->addWidget(rbPerCodice);
    ClientLayout()->addWidget(rgOrdine);

    OrdineColonna = &TwunAnaMultiSelect::OrdineColonna;
    OnSearchValue = [this](const QString &campo, const QString &testo) { return m_logica->CercaValore(campo, testo); };
}

TfmwunAnaMultiSelect::~TfmwunAnaMultiSelect()
{
    SetDataSet(nullptr);
    m_logica->xqcMultiSelect.close();
}

void TfmwunAnaMultiSelect::MostraElenco()
{
    QList<Column> colonne;
    for (const TwunAnaMultiSelect::Colonna &c : TwunAnaMultiSelect::Colonne())
        colonne << Column{c.campo, c.titolo, c.larghezza};
    SetDataSet(&m_logica->xqcMultiSelect);
    SetColumns(colonne);
    AggiornaConteggio();
}

void TfmwunAnaMultiSelect::CaricaFiltri()
{
    m_filtriCaricati = false;
    for (int i = 0; i < Liste().size(); ++i) {
        QComboBox *combo = Liste().at(i);
        platform::fillComboBox(*combo, m_logica->VociFiltro(TwunAnaMultiSelect::Filtri().at(i).statement));
        combo->setCurrentIndex(0);
    }
    m_filtriCaricati = true;
}

void TfmwunAnaMultiSelect::ApplicaFiltro()
{
    QList<QPair<QString, qint64>> scelte;
    for (int i = 0; i < Liste().size(); ++i)
        scelte << qMakePair(TwunAnaMultiSelect::Filtri().at(i).campo, platform::comboBoxId(*Liste().at(i)));
    m_logica->ApplicaFiltro(scelte, chServizio->isChecked());
    ClearSelection();
}

void TfmwunAnaMultiSelect::showEvent(QShowEvent *event)
{
    if (!m_filtriCaricati)
        CaricaFiltri();
    TfmwunMultiSelect::showEvent(event);
}
