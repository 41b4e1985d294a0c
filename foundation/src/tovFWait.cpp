#include "tovFWait.h"

#include "Services.h"

const QString TfmTovWait::Caption = QStringLiteral("Attendere...");
const QString TfmTovWait::Text = QStringLiteral("Caricamento in corso...attendere.");

TfmTovWait::~TfmTovWait()
{
    if (m_visible) {
        try {
            Close();
        } catch (...) {
            // A destructor must not throw; the window goes with the services.
        }
    }
}

void TfmTovWait::Show()
{
    platform::Services &services = platform::Services::instance();
    services.showWaitForm(Caption, Text);
    m_visible = true;
    services.processEvents();
}

void TfmTovWait::Close()
{
    if (!m_visible)
        return;
    m_visible = false;
    platform::Services::instance().hideWaitForm();
}
