#include "ShopTablesTest.h"

#include "app/base/PriceText.h"
#include "data/CAlertSet.h"
#include "data/SettingRows.h"

#include <QtCore/QList>

namespace {

class SettingRowsTest : public ShopTablesTest
{
};

// A property grid as the settings lists see it.
struct FakeGrid
{
    struct Row
    {
        unsigned type;
        bool enabled;
        QString text;
        int value;
    };
    QList<Row> rows;

    int GetRowCount() const { return int(rows.size()); }
    unsigned GetRowType(int r) const { return rows[r].type; }
    bool IsRowEnabled(int r) const { return rows[r].enabled; }
    QString rowText(int r) const { return rows[r].text; }
    int GetRowValue(int r) const { return rows[r].value; }
    void SetRowText(int r, const QString &t) { rows[r].text = t; }
    void SetRowValue(int r, int v) { rows[r].value = v; }
};

TEST_F(SettingRowsTest, ItemsOfACommaTerminatedList)
{
    ASSERT_TRUE(SaveGlobalAlertText(252, QStringLiteral("150,100,1,")));
    EXPECT_EQ(GetGlobalAlertText(252, 0, QStringLiteral("x")), QStringLiteral("150"));
    EXPECT_EQ(GetGlobalAlertText(252, 2, QStringLiteral("x")), QStringLiteral("1"));
    EXPECT_EQ(GetGlobalAlertText(252, 3, QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(GetGlobalAlertText(252, -1, QStringLiteral("x")), QStringLiteral("150,100,1,"));

    // The last item without its comma is no item.
    ASSERT_TRUE(SaveGlobalAlertText(253, QStringLiteral("150,100")));
    EXPECT_EQ(GetGlobalAlertText(253, 0, QStringLiteral("d")), QStringLiteral("150"));
    EXPECT_EQ(GetGlobalAlertText(253, 1, QStringLiteral("d")), QStringLiteral("d"));

    // An empty item is an answer, not a missing one.
    ASSERT_TRUE(SaveGlobalAlertText(221, QStringLiteral("0,,, 0,1,1,0,  0,1,1,1,0,  0,0,0,")));
    EXPECT_EQ(GetGlobalAlertText(221, 1, QStringLiteral("d")), QString());
    EXPECT_EQ(GetGlobalAlertText(221, 3, QStringLiteral("d")), QStringLiteral(" 0"));

    // No row: the caller's default, item or whole text.
    EXPECT_EQ(GetGlobalAlertText(254, 0, QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(GetGlobalAlertText(254, -1, QStringLiteral("d")), QStringLiteral("d"));

    // A customer's own alert of the same kind is not a setting.
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (31, 210, 'A,B,')"));
    EXPECT_EQ(GetGlobalAlertText(210, 0, QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(SettingRowsTest, SavingAddsOneRowAndThenRewritesIt)
{
    EXPECT_TRUE(SaveGlobalAlertText(251, QStringLiteral("1,1,0,")));
    EXPECT_TRUE(SaveGlobalAlertText(251, QStringLiteral("2,1,0,")));
    EXPECT_EQ(column(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 251")),
              QStringList({"2,1,0,"}));

    // The price texts read the shop's unit-price choice through the row.
    QString text;
    FormatUnitPrice(text, Money::fromWhole(12), 1000, 0);
    EXPECT_EQ(text, QStringLiteral("0.0120/Ea")); // no reader yet: the default
    InstallSettingRowReader();
    FormatUnitPrice(text, Money::fromWhole(12), 1000, 0);
    EXPECT_EQ(text, QStringLiteral("12.00/M"));
    SetSettingRowReader({});
}

TEST_F(SettingRowsTest, FindAlertAddsAMissingRowOnlyWhenEditing)
{
    CAlertSet set;
    EXPECT_FALSE(set.FindAlert(31, 2, QStringLiteral("Call first,"), false));
    EXPECT_TRUE(set.IsEmptySet());
    EXPECT_TRUE(set.FindAlert(31, 2, QStringLiteral("Call first,"), true));
    EXPECT_EQ(set.GetEditMode(), CXDaoSet::dbEditAdd);
    EXPECT_TRUE(set.SaveRecord());
    EXPECT_EQ(column(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 31 AND AlertType = 2")),
              QStringList({"Call first,"}));

    // Found again: the row in edit mode, not a second one.
    CAlertSet again;
    EXPECT_TRUE(again.FindAlert(31, 2, QStringLiteral("other"), true));
    EXPECT_EQ(again.GetEditMode(), CXDaoSet::dbEditInProgress);
    EXPECT_EQ(again.m_AlertText, QStringLiteral("Call first,"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM CustomerAlerts WHERE CusNo = 31")).toInt(), 1);
}

TEST_F(SettingRowsTest, SettingsListBetweenRowAndGrid)
{
    ASSERT_TRUE(SaveGlobalAlertText(100, QStringLiteral("Offset,3,")));
    FakeGrid grid;
    grid.rows = {{0, false, QStringLiteral("heading"), 0},
                 {1, true, QStringLiteral("old"), 0},
                 {2, true, QString(), 9},
                 {1, true, QStringLiteral("old"), 0},
                 {4, true, QString(), 9},
                 {4, false, QString(), 9}};

    // Fewer items than rows: the extra rows get "" or 0; the heading row is
    // never touched.
    CAlertSet set;
    ASSERT_TRUE(set.FindAlert(0, 100, QString(), true));
    set.LoadListToGrid(grid);
    EXPECT_EQ(grid.rows[0].text, QStringLiteral("heading"));
    EXPECT_EQ(grid.rows[1].text, QStringLiteral("Offset"));
    EXPECT_EQ(grid.rows[2].value, 3);
    EXPECT_EQ(grid.rows[3].text, QString());
    EXPECT_EQ(grid.rows[4].value, 0);

    // Saving writes exactly one item per row after the heading.
    grid.rows[3].text = QStringLiteral("Digital");
    grid.rows[4].value = -7;
    grid.rows[5].value = 12;
    ASSERT_TRUE(set.FindAlert(0, 100, QString(), true));
    EXPECT_TRUE(set.SaveListFromGrid(grid));
    EXPECT_EQ(GetGlobalAlertText(100, -1, QString()), QStringLiteral("Offset,3,Digital,-7,12,"));

    // Items beyond the last row are ignored; a row that takes no value gets
    // "" or 0 whatever the list holds.
    ASSERT_TRUE(SaveGlobalAlertText(100, QStringLiteral("a,1,b,2,3,extra,more,")));
    ASSERT_TRUE(set.FindAlert(0, 100, QString(), true));
    set.LoadListToGrid(grid);
    EXPECT_EQ(grid.rows[3].text, QStringLiteral("b"));
    EXPECT_EQ(grid.rows[4].value, 2);
    EXPECT_EQ(grid.rows[5].value, 0);
}

TEST_F(SettingRowsTest, PasswordRows)
{
    QString text;
    EXPECT_EQ(GetPasswordText(text, 221), QString());
    EXPECT_TRUE(SavePasswordRow(221, QStringLiteral("swordfish")));
    EXPECT_TRUE(SavePasswordRow(221, QStringLiteral("marlin")));
    EXPECT_EQ(GetPasswordText(text, 221), QStringLiteral("marlin"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Passwords WHERE [No] = 221")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT [Level] FROM Passwords WHERE [No] = 221")).toInt(), 1);

    // An existing row is edited in place.
    EXPECT_TRUE(SavePasswordRow(3, QStringLiteral("x")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Passwords")).toInt(), 80);
}

} // namespace
