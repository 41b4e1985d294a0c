#pragma once
// The framework's frame base: a context bar on top, then the main panel
// with its control bar (holding the tool bar) and the client area where a
// subclass puts its content; an action list and an image list.
//
// Actions of the list are shown on the tool bar in order (separators where
// added) and answer their shortcuts while the focus is anywhere inside the
// frame. RefreshActionLists() takes the shortcuts of actions changed after
// they were added.
#include "ImageList.h"

#include <QFrame>
#include <QVBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QToolBar;


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
    void AddSeparator();
    const QList<QAction *> &ActionList() const { return m_actions; }
    // nullptr when the frame has no action of that name.
    QAction *FindAction(const QString &name) const;
    void RefreshActionLists();

    // The image list (small images, size index 0).
    platform::ImageList ilImages;
    int AddImage(const QIcon &icon) { return ilImages.Add(icon); }
    QIcon Image(int index) const { return ilImages.Icon(index); }
    int ImageCount() const { return ilImages.Count(); }

private:
    QVBoxLayout *m_clientLayout;
    QList<QAction *> m_actions;
};
