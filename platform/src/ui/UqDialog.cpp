#include "UqDialog.h"

#include "Services.h"
#include "WindowGeometry.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfmUqDialog::TfmUqDialog(QWidget *parent) : QDialog(parent)
{
    auto *outer = new QVBoxLayout(this);
    paClient = new QWidget(this);
    paClient->setObjectName(QStringLiteral("paClient"));
    m_clientLayout = new QVBoxLayout(paClient);
    m_clientLayout->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(paClient, 1);

    paBottom = new QWidget(this);
    paBottom->setObjectName(QStringLiteral("paBottom"));
    m_bottomLayout = new QHBoxLayout(paBottom);
    m_bottomLayout->setContentsMargins(0, 0, 0, 0);
    m_bottomLayout->addStretch(1);
    buOk = new QPushButton(QStringLiteral("OK"), paBottom);
    buOk->setObjectName(QStringLiteral("buOk"));
    buOk->setDefault(true);
    buCancel = new QPushButton(QStringLiteral("Annulla"), paBottom);
    buCancel->setObjectName(QStringLiteral("buCancel"));
    m_bottomLayout->addWidget(buOk);
    m_bottomLayout->addWidget(buCancel);
    outer->addWidget(paBottom);

    SetModalResult(buOk, mrOk);
    SetModalResult(buCancel, mrCancel);
}

void TfmUqDialog::AddButton(QPushButton *button, bool left)
{
    button->setParent(paBottom);
    if (left)
        m_bottomLayout->insertWidget(m_leftButtons++, button);
    else
        m_bottomLayout->insertWidget(m_bottomLayout->indexOf(buOk), button);
}

void TfmUqDialog::SetModalResult(QPushButton *button, int result)
{
    button->setProperty("uqModalResult", result);
    if (!button->property("uqModalResultBound").toBool()) {
        button->setProperty("uqModalResultBound", true);
        connect(button, &QPushButton::clicked, this, [this, button] {
            const int r = ModalResult(button);
            if (r != mrNone)
                done(r);
        });
    }
}

int TfmUqDialog::ModalResult(QPushButton *button) const
{
    return button->property("uqModalResult").toInt();
}

int TfmUqDialog::ShowModal()
{
    return platform::Services::instance().execDialog(*this);
}

void TfmUqDialog::done(int result)
{
    if (!CanClose(result))
        return;
    QDialog::done(result);
}

void TfmUqDialog::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        if (!testAttribute(Qt::WA_Resized))
            adjustSize();
        // A caption cut in the title bar ("Importa dati per Un... ti Fpls")
        // reads as another window's.
        platform::fitTitle(*this);
    }
    QDialog::setVisible(visible);
}

bool TfmUqDialog::CanClose(int)
{
    return true;
}
