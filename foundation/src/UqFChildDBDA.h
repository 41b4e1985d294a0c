#pragma once
// The base of the MDI data-entry windows: it gathers every data source the
// window holds, those of its frames included, and answers the document
// window's three questions: is anything being edited, save everything,
// cancel everything.
//
// A data source is a platform::DataSource placed anywhere in the window's
// object tree (owned by the window, by one of its panels or by a frame).
// The walk goes through the tree in creation order, depth first, so a
// frame's sources come at the frame's place, however deep it sits.
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

    // Appends the data sources found under `component` (frames included).
    void CollectDataSources(QObject *component);
    // The sources the last DataChanged found (a source destroyed since is
    // left out).
    QList<platform::DataSource *> DataSources() const;

    static bool DataSourcePending(const platform::DataSource &source);
    static void DataSourcePost(platform::DataSource &source);
    static void DataSourceCancel(platform::DataSource &source);

private:
    QList<QPointer<platform::DataSource>> m_dataSources;
};
