#pragma once
// A data source: ties a dataset to the controls of a window, and is what
// a data window looks for when it asks whether anything is being edited
// and saves or cancels on close. Pending, Post and Cancel act on the
// dataset; a data source that keeps an editing state of its own overrides
// them.
#include <QObject>

namespace platform {

class DataSet;

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr, DataSet *dataSet = nullptr);

    DataSet *dataSet() const { return m_dataSet; }
    // Rises with every data source made in the program: the order in which
    // they were created, which moving a widget into a layout (a new Qt
    // parent) does not change.
    quint64 CreationOrder() const { return m_creationOrder; }
    void setDataSet(DataSet *dataSet) { m_dataSet = dataSet; }

    // The dataset is being edited or inserted (false without a dataset).
    virtual bool Pending() const;
    // Post or cancel the dataset's edit (nothing without a dataset).
    virtual void Post();
    virtual void Cancel();

private:
    DataSet *m_dataSet;
    quint64 m_creationOrder;
};

} // namespace platform
