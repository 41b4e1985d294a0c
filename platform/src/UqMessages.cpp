#include "UqMessages.h"

#include "Exceptions.h"

using namespace platform;

MessageButton UqMessageBox(const QString &text, const QString &caption, MessageButtons buttons, MessageType type,
                           MessageButton defaultButton)
{
    return showMessage(text, caption, type, buttons, defaultButton);
}

void UqShowError(const QString &text, const QString &caption)
{
    showMessage(text, caption, MessageType::Error, Ok);
}

void UqShowWarning(const QString &text, const QString &caption)
{
    showMessage(text, caption, MessageType::Warning, Ok);
}

void UqShowInfo(const QString &text, const QString &caption)
{
    showMessage(text, caption, MessageType::Information, Ok);
}

bool UqAskYesNo(const QString &text, bool defaultYes, const QString &caption)
{
    return showMessage(text, caption, MessageType::Question, Yes | No, defaultYes ? Yes : No) == Yes;
}

bool UqConfirmDelete(const QString &text)
{
    return UqAskYesNo(text, false);
}

void UqShowException(const std::exception &error)
{
    if (dynamic_cast<const EAbort *>(&error))
        return;
    if (const auto *e = dynamic_cast<const platform::Exception *>(&error)) {
        if (dynamic_cast<const EUqWarning *>(e))
            UqShowWarning(e->message());
        else
            UqShowError(e->message());
        return;
    }
    UqShowError(QString::fromUtf8(error.what()));
}
