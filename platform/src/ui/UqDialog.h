#pragma once
// The framework's modal dialog: a client area over a bottom panel with the
// OK and Cancel buttons, and an action list. A class-level Execute creates
// the dialog, lets the caller prepare it, runs it modally through the
// installed Services (so tests script it and never block) and frees it.
//
// Results are the platform's modal results (mrOk, mrCancel, mrYes, ...):
// OK gives mrOk, Cancel, Escape and the window's close button mrCancel; a
// button given a result with SetModalResult closes with that result.
// CanClose() may refuse the closing (a check on OK that fails).
#include <QDialog>
#include <QVBoxLayout>
#include <QList>
#include <functional>
#include <memory>

class QAction;
class QHBoxLayout;
class QPushButton;


enum UqModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

class TfmUqDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfmUqDialog(QWidget *parent = nullptr);

    QWidget *paClient;     // content of the subclass
    QWidget *paBottom;     // bottom panel
    QPushButton *buOk;     // "OK"
    QPushButton *buCancel; // "Annulla"
    QVBoxLayout *ClientLayout() const { return m_clientLayout; }
    // Buttons of the bottom panel, left of OK and Cancel (or at the far
    // left with `left`).
    void AddButton(QPushButton *button, bool left = false);
    // Clicking the button closes the dialog with `result` (mrNone: the
    // button does not close it).
    void SetModalResult(QPushButton *button, int result);
    int ModalResult(QPushButton *button) const;

    QList<QAction *> alDialog; // action list

    // Runs this dialog modally through the Services; returns its result.
    int ShowModal();
    // Creates a T (owner: `owner`), calls `prepare` on it, runs it and frees
    // it; returns the modal result.
    template <class T>
    static int Execute(QWidget *owner = nullptr, const std::function<void(T &)> &prepare = {})
    {
        std::unique_ptr<T> dialog = std::make_unique<T>(owner);
        if (prepare)
            prepare(*dialog);
        return dialog->ShowModal();
    }

    // Closes with `result` unless CanClose refuses.
    void done(int result) override;
    void accept() override { done(mrOk); }
    void reject() override { done(mrCancel); }
    // Shown at least as wide as its title needs (WindowGeometry.h).
    void setVisible(bool visible) override;

protected:
    // Asked before the dialog closes with `result`; false keeps it open.
    virtual bool CanClose(int result);

private:
    QVBoxLayout *m_clientLayout;
    QHBoxLayout *m_bottomLayout;
    int m_leftButtons = 0;
};
