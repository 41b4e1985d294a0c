#include "UqFrame.h"

#include "DataSet.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QToolBar>
#include <QVBoxLayout>

TfrUqBase::TfrUqBase(QWidget *parent) : QFrame(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    paContext = new QWidget(this);
    paContext->setObjectName(QStringLiteral("paContext"));
    paContext->setLayout(new QHBoxLayout);
    paContext->layout()->setContentsMargins(2, 2, 2, 2);
    paContext->hide();
    outer->addWidget(paContext);

    paMain = new QWidget(this);
    paMain->setObjectName(QStringLiteral("paMain"));
    auto *mainLayout = new QVBoxLayout(paMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    outer->addWidget(paMain, 1);

    orFrame = new QWidget(paMain);
    orFrame->setObjectName(QStringLiteral("orFrame"));
    auto *barLayout = new QHBoxLayout(orFrame);
    barLayout->setContentsMargins(0, 0, 0, 0);
    xoaCustom = new QToolBar(orFrame);
    xoaCustom->setObjectName(QStringLiteral("xoaCustom"));
    barLayout->addWidget(xoaCustom);
    barLayout->addStretch(1);
    mainLayout->addWidget(orFrame);

    paClient = new QWidget(paMain);
    paClient->setObjectName(QStringLiteral("paClient"));
    m_clientLayout = new QVBoxLayout(paClient);
    m_clientLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(paClient, 1);

    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

bool TfrUqBase::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // An editor that would take the key keeps it unless an enabled
        // action of this frame has it: left unaccepted, the key goes on to
        // the action's shortcut.
        auto *target = qobject_cast<QWidget *>(watched);
        if (target && target != this && isAncestorOf(target)) {
            const QKeySequence key(static_cast<QKeyEvent *>(event)->keyCombination());
            for (QAction *action : std::as_const(m_actions))
                if (action->isEnabled() && action->shortcuts().contains(key)) {
                    event->ignore();
                    return true;
                }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TfrUqBase::UpdateDataSetActions(const DataSetActions &a, const platform::DataSet &ds)
{
    const bool active = ds.isActive();
    const bool editing = ds.isEditing();
    const bool empty = !active || ds.isEmpty();
    const bool modifiable = ds.canModify();
    auto enable = [](QAction *action, bool on) {
        if (action)
            action->setEnabled(on);
    };
    // On the first (last) record there is nowhere to go back (on): a single
    // record does not offer a "next" that shows it again.
    const int position = active && !empty ? ds.recNo() : 0;
    const bool atFirst = !active || empty || ds.bof() || position == 1;
    const bool atLast = !active || empty || ds.eof() || position == ds.recordCount();
    enable(a.first, !atFirst);
    enable(a.prior, !atFirst);
    enable(a.next, !atLast);
    enable(a.last, !atLast);
    enable(a.insert, modifiable);
    enable(a.remove, modifiable && !empty);
    enable(a.edit, modifiable && !empty && !editing);
    enable(a.post, editing);
    enable(a.cancel, editing);
}

QAction *TfrUqBase::AddAction(const QString &name, const QString &caption, const QString &hint,
                              const QKeySequence &shortcut, int image)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    a->setShortcut(shortcut);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (image >= 0 && image < ilImages.Count())
        a->setIcon(ilImages.Icon(image));
    m_actions << a;
    xoaCustom->addAction(a);
    addAction(a);
    return a;
}

QAction *TfrUqBase::AddSeparator()
{
    return xoaCustom->addSeparator();
}

QAction *TfrUqBase::FindAction(const QString &name) const
{
    for (QAction *a : m_actions)
        if (a->objectName() == name)
            return a;
    return nullptr;
}

void TfrUqBase::RefreshActionLists()
{
    for (QAction *a : std::as_const(m_actions)) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        removeAction(a);
        addAction(a);
    }
}
