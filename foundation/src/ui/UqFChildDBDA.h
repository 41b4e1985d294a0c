#pragma once
// The base of the MDI data-entry windows: it gathers every data source the
// window holds, those of its frames included, and answers the document
// window's three questions: is anything being edited, save everything,
// cancel everything.
//
// It also runs the window's own steps: FormShow the first time the window
// is shown (an error is shown and the window stays), and, when the window
// is let close after the save-or-cancel question, FormCloseQuery (false
// keeps it open) and then FormClose.
//
// A data source is a platform::DataSource placed anywhere in the window's
// object tree (owned by the window, by one of its panels or by a frame).
// The walk finds them through the whole object tree and takes them in the
// order they were created (platform::DataSource::CreationOrder), not in
// the tree's order, which changes when a frame is put into a layout: a
// frame made in its place in the window's creation makes its sources
// there too, so they come at the frame's place, however deep it sits.
#include "DataSource.h"
#include "UqChildDoc.h"

#include <QList>
#include <QObject>
#include <QPointer>

class TfmUqChildDBDA : public TfmUqChildDoc {
    Q_OBJECT
public:
    explicit TfmUqChildDBDA(QWidget *parent = nullptr);

    // Collects the data sources again and tells whether one is pending.
    bool DataChanged() override;
    // Post or cancel every pending source of the list the last DataChanged
    // built, in order. An exception stops the walk: the sources after it
    // stay pending.
    void PostData() override;
    void CancelData() override;

    // Appends the data sources found under `component` (frames included);
    // DataChanged then puts the list in creation order.
    void CollectDataSources(QObject *component);
    // The sources the last DataChanged found (a source destroyed since is
    // left out).
    QList<platform::DataSource *> DataSources() const;

    static bool DataSourcePending(const platform::DataSource &source);
    static void DataSourcePost(platform::DataSource &source);
    static void DataSourceCancel(platform::DataSource &source);

protected:
    // The window's own steps; the base's do nothing.
    virtual void FormShow();
    virtual bool FormCloseQuery();
    virtual void FormClose();
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QList<QPointer<platform::DataSource>> m_dataSources;
    bool m_shown = false;
};
