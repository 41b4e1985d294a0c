#include "EnumerationCombo.h"

#include <QComboBox>

namespace platform {

void fillComboBox(QComboBox &combo, const EnumItems &items)
{
    combo.clear();
    for (const EnumItem &item : items)
        combo.addItem(item.text, QVariant::fromValue(item.id));
}

qint64 comboBoxId(const QComboBox &combo)
{
    return combo.currentIndex() < 0 ? 0 : combo.currentData().toLongLong();
}

} // namespace platform
