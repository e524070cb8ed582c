#include "controls/CColumnAlias.h"
#include "controls/CXTable.h"

#include "support/TestEnvironment.h"

#include "Printers.h"

using Alias = CColumnAlias;

namespace {

struct TableCase
{
    const char *alias;
    int fieldType;
    int fieldSize;
    const char *title;
    int width;
    int type;
    unsigned format;
};

void PrintTo(const TableCase &c, std::ostream *os)
{
    *os << c.alias;
}

class TableNaming : public ::testing::TestWithParam<TableCase>
{
};

} // namespace

// A field's alias as the table names it: type suffix first, the initial width
// from the type it leaves, then cuts, widths, alignment and number kinds.
TEST_P(TableNaming, TitleWidthTypeAndFormat)
{
    const TableCase c = GetParam();
    CXTable t;
    t.SetSize(0, 5);
    t.SetColumnFromField(1, QString::fromUtf8(c.alias), c.fieldType, c.fieldSize);
    EXPECT_EQ(t.GetColumnName(1), QString::fromUtf8(c.title));
    EXPECT_EQ(t.GetColumnCharWidth(1), c.width);
    EXPECT_EQ(t.GetColumnType(1), c.type);
    EXPECT_EQ(t.GetColumnFormat(1), c.format);
}

INSTANTIATE_TEST_SUITE_P(
    Aliases, TableNaming,
    ::testing::Values(
        TableCase{"Name_w_30", 10, 50, "Name", 30, 10, Alias::kLeft},
        TableCase{"Name|||||", 10, 50, "Name", 4, 10, Alias::kLeft},
        TableCase{"|Name", 10, 50, "|Name", 26, 10, Alias::kLeft},
        TableCase{"Due_D", 10, 50, "Due", 12, 8, Alias::kLeft},
        TableCase{"Notes_Q", 10, 50, "Notes", 26, 10, Alias::kLeft},
        TableCase{"Description_C", 10, 50, "Description", 13, 5, Alias::kRight},
        TableCase{"Description_C_w_20", 10, 50, "Description", 20, 10, Alias::kCentre},
        TableCase{"City", 10, 255, "City", 4, 10, Alias::kLeft},
        TableCase{"City", 10, 50, "City", 26, 10, Alias::kLeft},
        TableCase{"City", 10, 10, "City", 10, 10, Alias::kLeft},
        TableCase{"City", 10, 0, "City", 26, 10, Alias::kLeft},
        TableCase{"Forty Character Column Title Is Long Here", 10, 255,
                  "Forty Character Column Title Is Long Here", 41, 10, Alias::kLeft},
        TableCase{"Account_C_R", 10, 20, "Account", 20, 10, Alias::kCentre},
        TableCase{"Name_R_w_30", 10, 50, "Name", 30, 10, Alias::kRight},
        TableCase{"Total Time", 4, 0, "Total Time", 8, 31, Alias::kRight},
        TableCase{"Quantity", 4, 0, "Quantity", 8, 33, Alias::kRight},
        TableCase{"Qty Sold", 4, 0, "Qty Sold", 8, 32, Alias::kRight},
        TableCase{"Job Count", 3, 0, "Job Count", 8, 32, Alias::kRight},
        TableCase{"Time Due", 8, 0, "Time Due", 12, 8, Alias::kLeft},
        TableCase{"Sales_>_Amount", 5, 0, "Amount", 13, 5, Alias::kRight},
        TableCase{"_>_Amount", 5, 0, "_>_Amount", 13, 5, Alias::kRight},
        TableCase{"Price_B", 10, 10, "Price", 3, 2, Alias::kRight}));

// The grouping, key and display markers, and how the list reads the same aliases.
TEST(ColumnAlias, ParentKeyHiddenAndHeaderLines)
{
    CXTable t;
    t.SetSize(0, 5);
    t.SetColumnName(0, QStringLiteral("__PARENT"), 26, 10);
    EXPECT_EQ(t.GetColumnName(0), QStringLiteral("__PARENT"));
    EXPECT_EQ(t.m_parentColumn, -1);
    t.SetColumnName(1, QStringLiteral("Customer__PARENT"), 26, 10);
    EXPECT_EQ(t.GetColumnName(1), QStringLiteral("Customer"));
    EXPECT_EQ(t.m_parentColumn, 1);

    t.SetColumnName(3, QStringLiteral("HIDE_KEY"), 8, 4);
    t.SetColumnName(4, QStringLiteral("HIDE_KEY"), 8, 4);
    EXPECT_EQ(t.m_keyColumn, 3);
    t.SetColumnName(2, QStringLiteral("Ship/Date"), 12, 8);
    t.SetColumnName(7, QStringLiteral("Beyond"), 12, 8); // outside: ignored
    t.RenameColumn(4, QStringLiteral("HIDE a/b"));
    t.ApplyColumnFlags();
    EXPECT_EQ(t.GetColumnCharWidth(3), 0);
    EXPECT_EQ(t.GetColumnName(2), QStringLiteral("Ship\r\nDate"));
    EXPECT_EQ(t.m_headerLines, 2);
    EXPECT_EQ(t.GetColumnName(4), QStringLiteral("HIDE a/b"));
    EXPECT_EQ(t.GetColumnCharWidth(4), 0);
}

TEST(ColumnAlias, ListReadsWidthsInPixelsAndHidesOnlyUnderscoreHide)
{
    const int w = 7;
    auto c = Alias::ForList(QStringLiteral("Name_w_30"), 10, 50, w, 120);
    EXPECT_EQ(c.title, QStringLiteral("Name"));
    EXPECT_EQ(c.width, 30);
    c = Alias::ForList(QStringLiteral("Status_HIDE"), 2, 0, w, 120);
    EXPECT_EQ(c.title, QStringLiteral("Status"));
    EXPECT_EQ(c.width, 0);
    EXPECT_TRUE(c.hidden);
    c = Alias::ForList(QStringLiteral("Notes"), 10, 100, w, 120);
    EXPECT_EQ(c.width, 150);
    c = Alias::ForList(QStringLiteral("Code"), 10, 2, w, 120);
    EXPECT_EQ(c.width, 30);
    c = Alias::ForList(QStringLiteral("Memo"), 12, 0, w, 120);
    EXPECT_EQ(c.width, 120);
    c = Alias::ForList(QStringLiteral("Amount_C"), 10, 20, w, 120);
    EXPECT_EQ(c.type, 5);
    EXPECT_EQ(c.align, 1);
    EXPECT_EQ(c.width, 84);
    c = Alias::ForList(QStringLiteral("Due"), 8, 0, w, 120);
    EXPECT_EQ(c.align, 2);
    EXPECT_EQ(c.width, 84);
    // The table's own markers stay in the list's heading.
    c = Alias::ForList(QStringLiteral("Customer__PARENT"), 10, 50, w, 120);
    EXPECT_EQ(c.title, QStringLiteral("Customer__PARENT"));
}

TEST(ColumnAlias, TailRolesFlagAndOperator)
{
    auto t = Alias::ParseTail(QStringLiteral("Sales}12~15"));
    EXPECT_EQ(t.title, QStringLiteral("Sales"));
    EXPECT_EQ(t.op, QLatin1Char('~'));
    EXPECT_EQ(t.a, 12);
    EXPECT_EQ(t.b, 15);
    EXPECT_TRUE(t.role.isNull());

    t = Alias::ParseTail(QStringLiteral("Margin}tP3%4"));
    EXPECT_EQ(t.title, QStringLiteral("Margin"));
    EXPECT_EQ(t.role, QLatin1Char('t'));
    EXPECT_TRUE(t.flagged);
    EXPECT_EQ(t.op, QLatin1Char('%'));
    EXPECT_EQ(t.a, 3);
    EXPECT_EQ(t.b, 4);

    // Only the first role letter is taken; the "c" left over spoils A.
    t = Alias::ParseTail(QStringLiteral("X}tc3%4"));
    EXPECT_EQ(t.role, QLatin1Char('t'));
    EXPECT_EQ(t.a, 0);
    EXPECT_EQ(t.b, 4);

    t = Alias::ParseTail(QStringLiteral("Plot}p"));
    EXPECT_EQ(t.role, QLatin1Char('p'));
    EXPECT_TRUE(t.op.isNull());
}

TEST(ColumnAlias, ReadNumberStopsAtSeparators)
{
    EXPECT_DOUBLE_EQ(Alias::ReadNumber(QStringLiteral("1,234.00")), 1.0);
    EXPECT_DOUBLE_EQ(Alias::ReadNumber(QStringLiteral("  -12.5x")), -12.5);
    EXPECT_DOUBLE_EQ(Alias::ReadNumber(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(Alias::ReadNumber(QStringLiteral(".5")), 0.5);
    EXPECT_DOUBLE_EQ(Alias::ReadNumber(QStringLiteral("2e3")), 2000.0);
    EXPECT_DOUBLE_EQ(Alias::ReadNumber(QStringLiteral("7e")), 7.0);
}
