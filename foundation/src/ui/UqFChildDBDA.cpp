#include "UqFChildDBDA.h"

#include <algorithm>

#include "DataSet.h"
#include "UqMessages.h"

#include <QCloseEvent>

using platform::DataSource;

TfmUqChildDBDA::TfmUqChildDBDA(QWidget *parent) : TfmUqChildDoc(parent) {}

void TfmUqChildDBDA::CollectDataSources(QObject *component)
{
    for (QObject *child : component->children()) {
        if (auto *source = qobject_cast<DataSource *>(child))
            m_dataSources << source;
        // Frames, panels and anything else may hold sources of their own.
        CollectDataSources(child);
    }
}

QList<DataSource *> TfmUqChildDBDA::DataSources() const
{
    QList<DataSource *> sources;
    for (const QPointer<DataSource> &source : m_dataSources)
        if (source)
            sources << source.data();
    return sources;
}

bool TfmUqChildDBDA::DataSourcePending(const DataSource &source)
{
    return source.Pending();
}

void TfmUqChildDBDA::DataSourcePost(DataSource &source)
{
    source.Post();
}

void TfmUqChildDBDA::DataSourceCancel(DataSource &source)
{
    source.Cancel();
}

bool TfmUqChildDBDA::DataChanged()
{
    m_dataSources.clear();
    CollectDataSources(this);
    std::stable_sort(m_dataSources.begin(), m_dataSources.end(),
                     [](const QPointer<DataSource> &a, const QPointer<DataSource> &b) {
                         return a->CreationOrder() < b->CreationOrder();
                     });
    for (DataSource *source : DataSources())
        if (DataSourcePending(*source))
            return true;
    return false;
}

// The walk checks each source as it reaches it: a post may close a window
// part and destroy the sources after it.
void TfmUqChildDBDA::PostData()
{
    const QList<QPointer<DataSource>> sources = m_dataSources;
    for (const QPointer<DataSource> &source : sources)
        if (source && DataSourcePending(*source))
            DataSourcePost(*source);
}

void TfmUqChildDBDA::CancelData()
{
    const QList<QPointer<DataSource>> sources = m_dataSources;
    for (const QPointer<DataSource> &source : sources)
        if (source && DataSourcePending(*source))
            DataSourceCancel(*source);
}

void TfmUqChildDBDA::FormShow() {}

bool TfmUqChildDBDA::FormCloseQuery()
{
    return true;
}

void TfmUqChildDBDA::FormClose() {}

void TfmUqChildDBDA::showEvent(QShowEvent *event)
{
    TfmUqChildDoc::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    try {
        FormShow();
    } catch (const std::exception &e) {
        UqShowException(e);
    }
}

void TfmUqChildDBDA::closeEvent(QCloseEvent *event)
{
    TfmUqChildDoc::closeEvent(event);
    if (!event->isAccepted())
        return;
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
}
