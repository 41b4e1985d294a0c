#pragma once
// An enumeration (Enumeration.h) in a combo box.
#include "Enumeration.h"

class QComboBox;

namespace platform {

// Replaces the combo's items: each item's text, with its id as item data.
void fillComboBox(QComboBox &combo, const EnumItems &items);
// The id of the combo's current item (0 when none).
qint64 comboBoxId(const QComboBox &combo);

} // namespace platform
