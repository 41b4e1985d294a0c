#include "zepRMeseFplsExEnpals.h"

#include "ZepUUtil.h"

#include "DataSet.h"
#include "UqMessages.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

using Riga = TZepMeseFplsExEnpals::Riga;

TfrZepMeseFplsExEnpals::TfrZepMeseFplsExEnpals(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frZepMeseFplsExEnpals"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lbIntestazione = new QLabel(TZepMeseFplsExEnpals::Intestazione, this);
    lbIntestazione->setObjectName(QStringLiteral("lbIntestazione"));
    layout->addWidget(lbIntestazione);
    m_colonne = new QWidget(this);
    auto *grid = new QGridLayout(m_colonne);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(1);
    layout->addWidget(m_colonne);
    layout->addStretch(1);
}

void TfrZepMeseFplsExEnpals::Prepara(platform::DataSet &dataSet)
{
    m_dataSet = &dataSet;
    qDeleteAll(m_colonne->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    lb.clear();
    lbw.clear();
    edGG.clear();
    edGGTC.clear();
    auto *grid = static_cast<QGridLayout *>(m_colonne->layout());
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    const int giorni = GiorniMeseDenuncia();
    for (int n = 1; n <= giorni; ++n) {
        const auto etichetta = [&](const QString &name, const QString &text) {
            auto *label = new QLabel(text, m_colonne);
            label->setObjectName(name + QString::number(n));
            label->setAlignment(Qt::AlignCenter);
            return label;
        };
        const auto casella = [&](const QString &name) {
            auto *edit = new QLineEdit(m_colonne);
            edit->setObjectName(name + QString::number(n));
            edit->setMaxLength(1);
            edit->setAlignment(Qt::AlignCenter);
            edit->setFixedWidth(22);
            edit->installEventFilter(this);
            return edit;
        };
        lb << etichetta(QStringLiteral("lb"), QString::number(n));
        lbw << etichetta(QStringLiteral("lbw"),
                         italiano.dayName(DataGiornoMeseDenuncia(n).dayOfWeek(), QLocale::ShortFormat).toUpper());
        edGG << casella(QStringLiteral("edGG"));
        edGGTC << casella(QStringLiteral("edGGTC"));
        auto *bevel = new QFrame(m_colonne);
        bevel->setObjectName(QStringLiteral("be") + QString::number(n));
        bevel->setFrameShape(QFrame::VLine);
        bevel->setFrameShadow(QFrame::Sunken);
        const int column = 2 * (n - 1);
        grid->addWidget(lb.last(), 0, column);
        grid->addWidget(lbw.last(), 1, column);
        grid->addWidget(edGG.last(), 2, column);
        grid->addWidget(edGGTC.last(), 3, column);
        grid->addWidget(bevel, 0, column + 1, 4, 1);
    }
}

void TfrZepMeseFplsExEnpals::SetGiorni(const QString &lavorati, const QString &copertura)
{
    const QStringList giorniLavorati = TZepMeseFplsExEnpals::Giorni(lavorati, Giorni());
    const QStringList giorniCopertura = TZepMeseFplsExEnpals::Giorni(copertura, Giorni());
    for (int n = 0; n < Giorni(); ++n) {
        edGG[n]->setText(giorniLavorati.at(n));
        edGGTC[n]->setText(giorniCopertura.at(n));
    }
}

TZepMeseFplsExEnpals::Testi TfrZepMeseFplsExEnpals::GetGiorni(int giorniRetribuiti) const
{
    QStringList lavorati, copertura;
    for (int n = 0; n < Giorni(); ++n) {
        lavorati << edGG[n]->text();
        copertura << edGGTC[n]->text();
    }
    return TZepMeseFplsExEnpals::Componi(lavorati, copertura, giorniRetribuiti);
}

bool TfrZepMeseFplsExEnpals::TastoGiorno(QLineEdit *edit, Riga riga, QKeyEvent *key)
{
    QChar tasto;
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        tasto = QLatin1Char(' ');
    else if (key->text().size() == 1 && key->text().at(0).isPrint())
        tasto = key->text().at(0);
    else
        return false; // Tab, the arrows, the frame's shortcuts
    const std::optional<QString> carattere = TZepMeseFplsExEnpals::Carattere(riga, tasto);
    if (!carattere || !m_dataSet || !m_dataSet->canModify())
        return true;
    try {
        if (m_dataSet->state() == platform::DataSetState::Browse)
            m_dataSet->edit();
        edit->setText(*carattere);
    } catch (const std::exception &e) {
        UqShowException(e);
    }
    return true;
}

bool TfrZepMeseFplsExEnpals::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edGG.contains(edit))
            return TastoGiorno(edit, Riga::Lavorato, static_cast<QKeyEvent *>(event));
        if (edGGTC.contains(edit))
            return TastoGiorno(edit, Riga::Copertura, static_cast<QKeyEvent *>(event));
    }
    return QFrame::eventFilter(watched, event);
}
