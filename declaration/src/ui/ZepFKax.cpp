#include "ZepFKax.h"

#include <QLabel>
#include <QVBoxLayout>

TfmZepKax::TfmZepKax(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("fmZepKax"));
    setWindowTitle(QString());
    auto *layout = new QVBoxLayout(this);
    laMessaggio = new QLabel(QStringLiteral("Allineamento database in corso ..."), this);
    laMessaggio->setObjectName(QStringLiteral("laMessaggio"));
    laMessaggio->setAlignment(Qt::AlignCenter);
    layout->addWidget(laMessaggio);
    resize(320, 80);
}
