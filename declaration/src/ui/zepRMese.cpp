#include "zepRMese.h"

#include "Exceptions.h"
#include "UqMessages.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const char *const ProprietaGiorno = "giorno";

QLabel *etichetta(QWidget *parent, const QString &nome, const QString &testo)
{
    auto *label = new QLabel(testo, parent);
    label->setObjectName(nome);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TfrZepMese::TfrZepMese(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frZepMese"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    paGG = new QFrame(this);
    paGG->setObjectName(QStringLiteral("paGG"));
    layout->addWidget(paGG);
    layout->addStretch();

    m_griglia = new QGridLayout(paGG);
    m_griglia->setContentsMargins(4, 2, 4, 4);
    m_griglia->setHorizontalSpacing(2);
    m_griglia->setVerticalSpacing(1);
    lbTitolo = new QLabel(TZepMese::Intestazione, paGG);
    lbTitolo->setObjectName(QStringLiteral("lbTitolo"));
    m_griglia->addWidget(lbTitolo, 0, 0, 1, -1);

    lbw1 = etichetta(paGG, QStringLiteral("lbw1"), QString());
    lb1 = etichetta(paGG, QStringLiteral("lb1"), QStringLiteral("1"));
    edGG1 = new QLineEdit(paGG);
    edGG1->setObjectName(QStringLiteral("edGG1"));
    PreparaCasella(edGG1, 1);
    m_griglia->addWidget(lbw1, 1, 0);
    m_griglia->addWidget(lb1, 2, 0);
    m_griglia->addWidget(edGG1, 3, 0);
    m_griglia->setColumnStretch(32, 1);

    m_regole.OnCambio = [this] { Mostra(); };
}

TfrZepMese::~TfrZepMese()
{
    m_regole.OnCambio = nullptr;
}

void TfrZepMese::PreparaCasella(QLineEdit *casella, int giorno)
{
    // The box is written only by the grid: its keys go through the rules,
    // and it takes no paste, drop or input method text.
    casella->setProperty(ProprietaGiorno, giorno);
    casella->setMaxLength(1);
    casella->setText(QStringLiteral(" "));
    casella->setAlignment(Qt::AlignCenter);
    casella->setReadOnly(true);
    casella->setContextMenuPolicy(Qt::NoContextMenu);
    casella->setAcceptDrops(false);
    casella->setDragEnabled(false);
    casella->setFocusPolicy(Qt::StrongFocus);
    casella->setFixedWidth(casella->fontMetrics().horizontalAdvance(QLatin1Char('W')) + 12);
    QFont font = casella->font();
    font.setBold(true);
    casella->setFont(font);
    casella->installEventFilter(this);
}

void TfrZepMese::Inizializza(platform::DataSet *dataSet, const QString &campo)
{
    qDeleteAll(m_aggiunti);
    m_aggiunti.clear();
    m_regole.OnCambio = nullptr;
    m_regole.Inizializza(dataSet, campo);
    lbw1->setText(QString(m_regole.LetteraGiorno(1)));
    QWidget *precedente = edGG1;
    for (int giorno = 2; giorno <= m_regole.Giorni(); ++giorno) {
        const QString n = QString::number(giorno);
        QLabel *lettera = etichetta(paGG, QStringLiteral("lbw") + n, QString(m_regole.LetteraGiorno(giorno)));
        QLabel *numero = etichetta(paGG, QStringLiteral("lb") + n, n);
        auto *casella = new QLineEdit(paGG);
        casella->setObjectName(QStringLiteral("edgg") + n);
        PreparaCasella(casella, giorno);
        m_griglia->addWidget(lettera, 1, giorno - 1);
        m_griglia->addWidget(numero, 2, giorno - 1);
        m_griglia->addWidget(casella, 3, giorno - 1);
        setTabOrder(precedente, casella);
        precedente = casella;
        m_aggiunti << lettera << numero << casella;
    }
    m_regole.OnCambio = [this] { Mostra(); };
    Mostra();
}

QLineEdit *TfrZepMese::CasellaGiorno(int giorno) const
{
    if (giorno == 1)
        return edGG1;
    if (giorno < 2 || giorno > m_regole.Giorni())
        return nullptr;
    return static_cast<QLineEdit *>(m_aggiunti.at((giorno - 2) * 3 + 2));
}

void TfrZepMese::Mostra()
{
    for (int giorno = 1; giorno <= m_regole.Giorni(); ++giorno)
        CasellaGiorno(giorno)->setText(QString(m_regole.Giorno(giorno)));
}

bool TfrZepMese::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (auto *casella = qobject_cast<QLineEdit *>(watched);
            casella && casella->property(ProprietaGiorno).isValid()) {
            auto *key = static_cast<QKeyEvent *>(event);
            return edGG1KeyDown(casella->property(ProprietaGiorno).toInt(), key->key(), key->text());
        }
    }
    return QFrame::eventFilter(watched, event);
}

bool TfrZepMese::edGG1KeyDown(int giorno, int tasto, const QString &testo)
{
    TZepMese::Tasto azione = TZepMese::Tasto::Ignorato;
    try {
        azione = m_regole.Premi(giorno, tasto, testo);
    } catch (const std::exception &e) {
        UqShowException(e);
        return true;
    }
    switch (azione) {
    case TZepMese::Tasto::Precedente:
    case TZepMese::Tasto::Successivo: {
        const int altro = giorno + (azione == TZepMese::Tasto::Precedente ? -1 : 1);
        if (QLineEdit *casella = CasellaGiorno(altro))
            casella->setFocus(Qt::OtherFocusReason);
        return true;
    }
    case TZepMese::Tasto::Focus: return false;
    case TZepMese::Tasto::Codice:
    case TZepMese::Tasto::Ignorato: return true;
    }
    return true;
}
