#include "UqChildDoc.h"

#include "UqMessages.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

const QString TfmUqChildDoc::SaveQuestion = QStringLiteral("I dati sono stati modificati. Salvare le modifiche?");

TfmUqChildDoc::TfmUqChildDoc(QWidget *parent) : QWidget(parent) {}

bool TfmUqChildDoc::DataChanged()
{
    return false;
}

void TfmUqChildDoc::PostData() {}

void TfmUqChildDoc::CancelData() {}

bool TfmUqChildDoc::CanClose()
{
    try {
        if (!DataChanged())
            return true;
        switch (UqMessageBox(SaveQuestion, windowTitle(), platform::Yes | platform::No | platform::Cancel,
                             platform::MessageType::Question, platform::Yes)) {
        case platform::Yes: PostData(); return true;
        case platform::No: CancelData(); return true;
        default: return false;
        }
    } catch (const std::exception &e) {
        UqShowException(e);
        return false;
    }
}

QMdiSubWindow *TfmUqChildDoc::SubWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void TfmUqChildDoc::closeEvent(QCloseEvent *event)
{
    if (CanClose())
        event->accept();
    else
        event->ignore();
}
