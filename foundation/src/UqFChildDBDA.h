#pragma once
// The base of the MDI data-entry windows: it gathers every data source the
// window holds, those of its frames included, and answers the document
// window's three questions: is anything being edited, save everything,
// cancel everything.
//
// A data source is a TDataSource object placed anywhere in the window's
// object tree (owned by the window, by one of its panels or by a frame).
// The walk goes through the tree in creation order, depth first, so a
// frame's sources come at the frame's place, however deep it sits.
#include "UqChildDoc.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace platform {
class DataSet;
}

// Ties a dataset to the controls of a window. Pending, Post and Cancel act
// on the dataset; a data source that keeps an editing state of its own
// overrides them.
class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject *parent = nullptr, platform::DataSet *dataSet = nullptr);

    platform::DataSet *DataSet() const { return m_dataSet; }
    void SetDataSet(platform::DataSet *dataSet) { m_dataSet = dataSet; }

    // Editing or inserting.
    virtual bool Pending() const;
    virtual void Post();
    virtual void Cancel();

private:
    platform::DataSet *m_dataSet;
};

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
    QList<TDataSource *> DataSources() const;

    static bool DataSourcePending(const TDataSource &source);
    static void DataSourcePost(TDataSource &source);
    static void DataSourceCancel(TDataSource &source);

private:
    QList<QPointer<TDataSource>> m_dataSources;
};
