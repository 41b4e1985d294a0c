#pragma once
// The framework's frame base: a context bar on top, then the main panel
// with its control bar (holding the tool bar) and the client area where a
// subclass puts its content; an action list and an image list.
//
// Actions of the list are shown on the tool bar in order (separators where
// added) and answer their shortcuts while the focus is anywhere inside the
// frame. RefreshActionLists() takes the shortcuts of actions changed after
// they were added. The key of an enabled action wins over an editor inside
// the frame that would take it (Ctrl+Z, Ctrl+Home in a text box): the
// editors sit anywhere inside the frame and come and go, so the frame
// watches the keys program-wide and keeps only those aimed inside it.
#include "ImageList.h"

#include <QFrame>
#include <QVBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QToolBar;

namespace platform {
class DataSet;
}


class TfrUqBase : public QFrame {
    Q_OBJECT
public:
    explicit TfrUqBase(QWidget *parent = nullptr);

    QWidget *paContext;  // context bar (hidden until given content)
    QWidget *paMain;     // main panel
    QWidget *orFrame;    // control bar
    QToolBar *xoaCustom; // tool bar in the control bar
    QWidget *paClient;   // content of the subclass
    QVBoxLayout *ClientLayout() const { return m_clientLayout; }

    // The action list: adds an action (object name `name`) to the list and
    // the tool bar. `image` indexes the image list (-1: none).
    QAction *AddAction(const QString &name, const QString &caption, const QString &hint = {},
                       const QKeySequence &shortcut = {}, int image = -1);
    // The separator added (to hide it with what it stands before).
    QAction *AddSeparator();
    const QList<QAction *> &ActionList() const { return m_actions; }
    // nullptr when the frame has no action of that name.
    QAction *FindAction(const QString &name) const;
    void RefreshActionLists();

    // The dataset actions of a frame (any may be missing), enabled by the
    // dataset's state and position: moves on a dataset with rows where the
    // cursor can go, insert on a dataset that can be modified, delete and
    // edit on a current row, post and cancel while editing.
    struct DataSetActions {
        QAction *first = nullptr, *prior = nullptr, *next = nullptr, *last = nullptr;
        QAction *insert = nullptr, *remove = nullptr, *edit = nullptr, *post = nullptr, *cancel = nullptr;
    };
    static void UpdateDataSetActions(const DataSetActions &actions, const platform::DataSet &dataSet);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // The image list (small images, size index 0).
    platform::ImageList ilImages;
    int AddImage(const QIcon &icon) { return ilImages.Add(icon); }
    QIcon Image(int index) const { return ilImages.Icon(index); }
    int ImageCount() const { return ilImages.Count(); }

private:
    QVBoxLayout *m_clientLayout;
    QList<QAction *> m_actions;
};
