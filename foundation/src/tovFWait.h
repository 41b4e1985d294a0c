#pragma once
// The small "please wait" window of the declaration-table store's loads:
// caption "Attendere...", one line "Caricamento in corso...attendere.".
// It is shown through the platform's wait service, so the desktop shows a
// small centred window without border icons while tests record it and show
// nothing.
#include <QString>

class TfmTovWait {
public:
    static const QString Caption;  // "Attendere..."
    static const QString Text;     // "Caricamento in corso...attendere."

    TfmTovWait() = default;
    ~TfmTovWait();
    TfmTovWait(const TfmTovWait &) = delete;
    TfmTovWait &operator=(const TfmTovWait &) = delete;

    // Shows the window (again) and lets the window system paint it.
    void Show();
    // Hides it; harmless when it is not shown.
    void Close();
    bool Visible() const { return m_visible; }

private:
    bool m_visible = false;
};
