#pragma once
// The framework's message boxes, over the installed Services (so tests
// answer them with a recorder and never block).
#include "Services.h"

#include <exception>

// The application message box: text, title (may be empty), buttons and
// kind; returns the button chosen.
platform::MessageButton UqMessageBox(const QString &text, const QString &caption = {},
                                     platform::MessageButtons buttons = platform::Ok,
                                     platform::MessageType type = platform::MessageType::Plain,
                                     platform::MessageButton defaultButton = platform::NoButton);

// Error, warning and information boxes with an OK button.
void UqShowError(const QString &text, const QString &caption = QStringLiteral("Errore"));
void UqShowWarning(const QString &text, const QString &caption = QStringLiteral("Attenzione"));
void UqShowInfo(const QString &text, const QString &caption = QStringLiteral("Informazione"));
// A question with Yes and No; true for Yes. `defaultYes` false makes No the
// button Enter chooses (the framework's confirmations).
bool UqAskYesNo(const QString &text, bool defaultYes = true, const QString &caption = QStringLiteral("Conferma"));
// The framework's standard delete confirmation: Yes and No, No the default.
bool UqConfirmDelete(const QString &text = QStringLiteral("Confermi la cancellazione?"));

// How the framework shows an exception that reached the user: nothing for
// the silent abort (platform::EAbort), a warning box for warnings
// (EUqWarning and its subclasses), an error box for everything else, with
// the exception's message as it stands.
void UqShowException(const std::exception &error);
