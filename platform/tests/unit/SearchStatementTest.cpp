// The marks of a search statement and what takes their place.
#include "SearchStatement.h"

#include <gtest/gtest.h>

TEST(SearchStatement, MarksTakeTheConditionAndTheOrder)
{
    const QString text = "SELECT A, B FROM T WHERE ##WHERE## ORDER BY ##ORDERBY##";
    EXPECT_EQ(platform::fillSearchStatement(text), "SELECT A, B FROM T WHERE 1=1 ORDER BY 1");
    EXPECT_EQ(platform::fillSearchStatement(text, "A > 2", "B DESC"), "SELECT A, B FROM T WHERE A > 2 ORDER BY B DESC");
    EXPECT_EQ(platform::fillSearchStatement("SELECT A FROM T"), "SELECT A FROM T");
}
