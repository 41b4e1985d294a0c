// An enumeration in a combo box: texts shown, ids kept as item data.
#include "EnumerationCombo.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <QComboBox>

using namespace platform;

TEST(EnumerationCombo, ShowsTheTextsAndGivesTheCurrentId)
{
    const EnumItems items{{"Milano", 2}, {"Roma", 1}};
    QComboBox combo;
    fillComboBox(combo, items);
    EXPECT_EQ(combo.count(), 2);
    combo.setCurrentIndex(1);
    EXPECT_EQ(comboBoxId(combo), 1);
    EXPECT_EQ(combo.currentText(), "Roma");
}
