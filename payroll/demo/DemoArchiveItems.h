#pragma once
// Pay items added to registers already written (the exemptions, the
// bonuses, the tax-wedge sum): the item row, keyed by its table's
// generator, with the item's user code and subject flag, and the
// register's gross total raised by its amount.
#include "DemoArchiveWriter.h"

#include "Currency.h"
#include "SqlQuery.h"

#include <QHash>

namespace payroll {

class DemoArchiveItems {
public:
    explicit DemoArchiveItems(DemoArchiveWriter &writer);

    // `exemptionPercent`: the item's IVS exemption percent, or Default for
    // an item without one.
    void add(int registerId, int item, platform::Currency amount,
             const platform::Value &exemptionPercent = DemoArchiveWriter::Default);

private:
    struct Item {
        platform::Value userCode, subject;
    };

    DemoArchiveWriter &m_writer;
    platform::SqlQuery m_item;
    platform::SqlQuery m_gross;
    QHash<int, Item> m_items;
};

} // namespace payroll
