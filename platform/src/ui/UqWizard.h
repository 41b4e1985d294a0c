#pragma once
// The framework's wizard: a modal dialog whose pages (without tabs) are
// shown one after another along a path, with "< Indietro" and "Avanti >"
// beside OK and Cancel.
//
// Pages are added with a name; a path is a named list of page names
// (AddPath), and the wizard follows the current path (SetPath; by default
// every page in the order added). ChangePage(+1/-1) asks PageChanging
// (which may refuse by returning false or raising), shows the page, calls
// CheckButtons and then PageChanged. CheckButtons (virtual) enables Prior
// except on the first page, Next except on the last, and OK only on the
// last page of the path.
#include "UqDialog.h"

#include <QMap>
#include <QString>
#include <QStringList>

class QStackedWidget;

class TfmUqWizard : public TfmUqDialog {
    Q_OBJECT
public:
    explicit TfmUqWizard(QWidget *parent = nullptr);

    QStackedWidget *pcWizard;
    QPushButton *buPrior; // "< Indietro"
    QPushButton *buNext;  // "Avanti >"

    // Adds a page (object name `name`); returns its index among the pages.
    int AddPage(QWidget *page, const QString &name);
    QWidget *Page(const QString &name) const;
    // Defines a path; unknown page names raise EUqError.
    void AddPath(const QString &name, const QStringList &pages);
    // Follows a path and shows its first page; an unknown path raises EUqError.
    void SetPath(const QString &name);
    QStringList Path() const;
    QString PathName() const { return m_pathName; }

    QWidget *ActivePage() const;
    QString ActivePageName() const;
    // Position of the active page in the path (0 first).
    int ActivePageIndex() const { return m_position; }
    // Moves by `delta` pages along the path (clamped to it); false when the
    // page did not change.
    bool ChangePage(int delta);
    // Shows the named page of the path directly.
    bool GoToPage(const QString &name);

    virtual void CheckButtons();

protected:
    // Before leaving `from` for `to`: false (or an exception) keeps `from`.
    virtual bool PageChanging(QWidget *from, QWidget *to);
    // After `page` was shown and the buttons updated.
    virtual void PageChanged(QWidget *page);

private:
    bool moveTo(int position);

    QMap<QString, QWidget *> m_pages;
    QStringList m_order;
    QMap<QString, QStringList> m_paths;
    QString m_pathName;
    int m_position = -1;
};
