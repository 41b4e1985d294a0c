#include "UqFChildDBDA.h"

#include "DataSet.h"

// ---- TDataSource ----

TDataSource::TDataSource(QObject *parent, platform::DataSet *dataSet)
    : QObject(parent)
    , m_dataSet(dataSet)
{
}

bool TDataSource::Pending() const
{
    return m_dataSet && m_dataSet->isEditing();
}

void TDataSource::Post()
{
    if (m_dataSet)
        m_dataSet->post();
}

void TDataSource::Cancel()
{
    if (m_dataSet)
        m_dataSet->cancel();
}

// ---- TfmUqChildDBDA ----

TfmUqChildDBDA::TfmUqChildDBDA(QWidget *parent)
    : TfmUqChildDoc(parent)
{
}

void TfmUqChildDBDA::CollectDataSources(QObject *component)
{
    for (QObject *child : component->children()) {
        if (auto *source = qobject_cast<TDataSource *>(child))
            m_dataSources << source;
        // Frames, panels and anything else may hold sources of their own.
        CollectDataSources(child);
    }
}

QList<TDataSource *> TfmUqChildDBDA::DataSources() const
{
    QList<TDataSource *> sources;
    for (const QPointer<TDataSource> &source : m_dataSources)
        if (source)
            sources << source.data();
    return sources;
}

bool TfmUqChildDBDA::DataSourcePending(const TDataSource &source)
{
    return source.Pending();
}

void TfmUqChildDBDA::DataSourcePost(TDataSource &source)
{
    source.Post();
}

void TfmUqChildDBDA::DataSourceCancel(TDataSource &source)
{
    source.Cancel();
}

bool TfmUqChildDBDA::DataChanged()
{
    m_dataSources.clear();
    CollectDataSources(this);
    for (TDataSource *source : DataSources())
        if (DataSourcePending(*source))
            return true;
    return false;
}

// The walk checks each source as it reaches it: a post may close a window
// part and destroy the sources after it.
void TfmUqChildDBDA::PostData()
{
    const QList<QPointer<TDataSource>> sources = m_dataSources;
    for (const QPointer<TDataSource> &source : sources)
        if (source && DataSourcePending(*source))
            DataSourcePost(*source);
}

void TfmUqChildDBDA::CancelData()
{
    const QList<QPointer<TDataSource>> sources = m_dataSources;
    for (const QPointer<TDataSource> &source : sources)
        if (source && DataSourcePending(*source))
            DataSourceCancel(*source);
}
