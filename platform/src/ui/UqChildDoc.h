#pragma once
// The framework's MDI document window: a widget shown in a sub-window of
// the main window's QMdiArea (TfmUqMDIMain::AddChild). Before it closes it
// asks its data: when DataChanged() is true the user is asked "I dati sono
// stati modificati. Salvare le modifiche?" with Yes, No and Cancel. Yes
// posts (PostData; an error is shown and the window stays open), No
// cancels (CancelData), Cancel keeps the window open.
#include <QWidget>

class QMdiSubWindow;

class TfmUqChildDoc : public QWidget {
    Q_OBJECT
public:
    static const QString SaveQuestion;

    explicit TfmUqChildDoc(QWidget *parent = nullptr);

    // The data contract a data window fills in. Base: nothing pending.
    virtual bool DataChanged();
    virtual void PostData();
    virtual void CancelData();

    // Asks as above; true when the window may close.
    bool CanClose();
    // The sub-window holding this document (nullptr before AddChild).
    QMdiSubWindow *SubWindow() const;

protected:
    void closeEvent(QCloseEvent *event) override;
};
