// Many rows inserted in one pass land where single insertions would put
// them, each row keeping its cells.

#include "controls/CXTable.h"

#include "support/TestEnvironment.h"

class XTableInsertRows : public TavrelTest
{
};

TEST_F(XTableInsertRows, InsertsInFrontOfEachGivenRowAndAtTheEnd)
{
    CXTable t;
    t.SetSize(4, 2);
    t.SetCurrencyColumn(1, QStringLiteral("Amount"));
    for (int r = 0; r < 4; ++r) {
        t.SetCellText(r, 0, QStringLiteral("row %1").arg(r));
        t.SetCellCurrency(r, 1, Money::fromWhole(r + 1));
        t.SetRowFlags(r, std::uint32_t(r));
    }
    // Before rows 0 and 2 (twice) and at the end.
    t.InsertRowsBefore({0, 2, 2, 4}, 20);
    ASSERT_EQ(t.GetRowCount(), 8);
    const char *texts[] = {"", "row 0", "row 1", "", "", "row 2", "row 3", ""};
    const std::uint32_t flags[] = {20, 0, 1, 20, 20, 2, 3, 20};
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(t.GetCellText(r, 0), QString::fromLatin1(texts[r])) << r;
        EXPECT_EQ(t.GetRowFlags(r), flags[r]) << r;
    }
    EXPECT_EQ(t.GetCellValue(6, 1), Money::fromWhole(4));
    EXPECT_EQ(t.GetCellText(5, 1), QStringLiteral("3.00"));
    EXPECT_TRUE(t.GetCellValue(3, 1).isZero());

    // Nothing to insert changes nothing.
    t.InsertRowsBefore({}, 20);
    EXPECT_EQ(t.GetRowCount(), 8);
}
