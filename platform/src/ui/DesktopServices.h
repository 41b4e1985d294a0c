#pragma once
// The services of a program with windows: Qt message boxes with Italian
// buttons, QDialog::exec, the application's override cursor and a small
// wait window; PDF documents in a window of the program (PdfWindow), other
// documents and programs as in CoreServices. A program with windows installs
// them first thing:
//
//     platform::Services::install(std::make_unique<platform::DesktopServices>());
#include "Services.h"

#include <memory>

namespace platform {

class DesktopServices : public CoreServices {
public:
    DesktopServices();
    ~DesktopServices() override;

    MessageButton showMessage(const MessageRequest &request) override;
    int execDialog(QDialog &dialog) override;
    void pushWaitCursor(WaitCursorShape shape) override;
    void popWaitCursor() override;
    void showWaitForm(const QString &caption, const QString &text) override;
    void hideWaitForm() override;
    // A PDF document is shown in a window of the program (PdfWindow);
    // other documents and programs open as in CoreServices.
    void openDocument(const ShellRequest &request) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
