#include "DataSource.h"

#include <atomic>

#include "DataSet.h"

namespace platform {

DataSource::DataSource(QObject *parent, DataSet *dataSet) : QObject(parent), m_dataSet(dataSet)
{
    static std::atomic<quint64> counter{0};
    m_creationOrder = ++counter;
}

bool DataSource::Pending() const
{
    return m_dataSet && m_dataSet->isEditing();
}

void DataSource::Post()
{
    if (m_dataSet)
        m_dataSet->post();
}

void DataSource::Cancel()
{
    if (m_dataSet)
        m_dataSet->cancel();
}

} // namespace platform
