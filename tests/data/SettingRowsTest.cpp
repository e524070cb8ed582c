#include "ShopTablesTest.h"

#include "app/base/PriceText.h"
#include "data/CAlertSet.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"

#include <QtCore/QList>
#include <QtCore/QMap>

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
        QString label = {};
        QMap<int, QString> choices = {}; // a pick list's texts by value
    };
    QList<Row> rows;

    int GetRowCount() const { return int(rows.size()); }
    unsigned GetRowType(int r) const { return rows[r].type; }
    bool IsRowEnabled(int r) const { return rows[r].enabled; }
    QString rowText(int r) const { return rows[r].text; }
    int GetRowValue(int r) const { return rows[r].value; }
    void SetRowText(int r, const QString &t) { rows[r].text = t; }
    void SetRowValue(int r, int v) { rows[r].value = v; }
    QString rowLabel(int r) const { return rows[r].label; }
    QString ShownItemText(int r, const QString &item) const
    {
        return rows[r].choices.isEmpty() ? item : rows[r].choices.value(item.toInt(), item);
    }
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

// Two workstations on one settings list (a settings page kept in one row):
// B opened the page, A saved it, then B saves. Option by option: what each
// changed is kept; only an option both changed to different values is put
// to B, by its label and as the page shows it. With no row yet, the second
// save finds the first's row: one row, both options.
TEST_F(SettingRowsTest, TwoWorkstationsOnOneSettingsListSettleOptionByOption)
{
    const QString kAsked = QStringLiteral(
        "Another user has saved this record since you opened it, and changed the same %1:\n\n%2\n\nSave what you "
        "typed over it?\n\nYes saves yours, No keeps the other user's; your other changes are saved either way. "
        "Cancel saves nothing now.");
    const QMap<int, QString> prices = {{0, QStringLiteral("Use Service Property")},
                                       {1, QStringLiteral("Per Each")},
                                       {2, QStringLiteral("Per 1000")}};
    const QMap<int, QString> yesNo = {{0, QStringLiteral("No")}, {1, QStringLiteral("Yes")}};
    const FakeGrid page = {{{0, false, QString(), 0, QString(), {}},
                            {2, true, QString(), 0, QStringLiteral("Unit Prices"), prices},
                            {2, true, QString(), 0, QStringLiteral("Ask after creating"), yesNo},
                            {1, true, QString(), 0, QStringLiteral("Title"), {}},
                            {2, true, QString(), 0, QStringLiteral("Memo note"), yesNo}}};
    const QString kDefault = QStringLiteral("1,0,x,0,");
    // A change of one row of the page: the row and its value (text rows
    // take the text).
    struct Change
    {
        int row;
        int value;
        const char *text;
    };
    struct Case
    {
        const char *what;
        bool rowBefore;        // the row is there when both open the page
        QList<Change> byA;
        QList<Change> byB;
        int answer;            // to B's question (0: none expected)
        const char *asked;     // the question's lines
        const char *stored;
    };
    const QList<Case> cases = {
        {"different options: both kept", true, {{2, 1, ""}}, {{3, 0, "y"}}, 0, "", "1,1,y,0,"},
        {"no row yet, different options: one row with both", false, {{2, 1, ""}}, {{3, 0, "y"}}, 0, "", "1,1,y,0,"},
        {"one option to the same value: nothing to ask", true, {{1, 2, ""}}, {{1, 2, ""}, {4, 1, ""}}, 0, "",
         "2,0,x,1,"},
        {"one option both changed, B keeps his; A's other option kept", true, {{1, 2, ""}, {4, 1, ""}}, {{1, 0, ""}},
         platform::IDYES, "Unit Prices: the other user's \"Per 1000\", yours \"Use Service Property\"", "0,0,x,1,"},
        {"one option both changed, B keeps A's; B's other option saved", true, {{1, 2, ""}}, {{1, 0, ""}, {3, 0, "y"}},
         platform::IDNO, "Unit Prices: the other user's \"Per 1000\", yours \"Use Service Property\"", "2,0,y,0,"},
        {"no row yet, one option both changed", false, {{3, 0, "a"}}, {{3, 0, "b"}, {2, 1, ""}}, platform::IDYES,
         "Title: the other user's \"a\", yours \"b\"", "1,1,b,0,"},
        {"two options both changed: both named", true, {{1, 2, ""}, {3, 0, "a"}}, {{1, 0, ""}, {3, 0, "b"}},
         platform::IDNO,
         "Unit Prices: the other user's \"Per 1000\", yours \"Use Service Property\"\nTitle: the other user's "
         "\"a\", yours \"b\"",
         "2,0,a,0,"},
        {"cancel: nothing written", true, {{1, 2, ""}}, {{1, 0, ""}}, platform::IDCANCEL,
         "Unit Prices: the other user's \"Per 1000\", yours \"Use Service Property\"", "2,0,x,0,"},
    };
    platform::Database other;
    other.open(SharedDatabase().name());
    auto apply = [](FakeGrid &grid, const QList<Change> &changes) {
        for (const Change &c : changes) {
            if (grid.rows[c.row].type == 1)
                grid.rows[c.row].text = QString::fromUtf8(c.text);
            else
                grid.rows[c.row].value = c.value;
        }
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 251"));
        if (c.rowBefore)
            exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 251, '%1')")
                     .arg(kDefault));
        prompts().clear();
        FakeGrid gridB = page;
        CAlertSet b;
        ASSERT_TRUE(b.FindAlert(0, 251, kDefault, true));
        b.LoadListToGrid(gridB);
        {
            // A, on its own connection, opens the page and saves it.
            FakeGrid gridA = page;
            CAlertSet a(&other);
            ASSERT_TRUE(a.FindAlert(0, 251, kDefault, true));
            a.LoadListToGrid(gridA);
            apply(gridA, c.byA);
            ASSERT_TRUE(a.SaveListFromGrid(gridA));
        }
        apply(gridB, c.byB);
        if (c.answer != 0)
            prompts().answer(c.answer);
        EXPECT_EQ(b.SaveListFromGrid(gridB), c.answer != platform::IDCANCEL);
        const QString asked = QString::fromUtf8(c.asked);
        if (c.answer == 0)
            EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
        else
            EXPECT_EQ(messages(), QStringList({kAsked.arg(asked.contains(QLatin1Char('\n')) ? QStringLiteral("fields")
                                                                                            : QStringLiteral("field"),
                                                          asked)}));
        EXPECT_EQ(column(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 251")),
                  QStringList({QString::fromUtf8(c.stored)}));
        if (c.answer == platform::IDCANCEL) {
            // The page keeps what was typed; OK again asks again and saves.
            prompts().answer(platform::IDYES);
            EXPECT_TRUE(b.SaveListFromGrid(gridB));
            EXPECT_EQ(column(QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 251")),
                      QStringList({QStringLiteral("0,0,x,0,")}));
        }
    }
}

// A password row saved from a window that showed it: left as shown, it is
// not written; changed, it goes onto the row as it is now, and a password
// another user saved meanwhile is asked about, shown masked.
TEST_F(SettingRowsTest, APasswordRowSavedOverAnotherWorkstationsSave)
{
    struct Case
    {
        const char *what;
        const char *byA;   // A's password saved meanwhile ("" none)
        const char *typed; // B's, over "old"
        int answer;
        const char *stored;
    };
    const QList<Case> cases = {
        {"left as shown: A's stays", "alpha", "old", 0, "alpha"},
        {"changed, A saved nothing", "", "bravo", 0, "bravo"},
        {"changed to A's: nothing to ask", "bravo", "bravo", 0, "bravo"},
        {"both changed, B keeps his", "alpha", "bravo", platform::IDYES, "bravo"},
        {"both changed, B keeps A's", "alpha", "bravo", platform::IDNO, "alpha"},
        {"cancel: nothing written", "alpha", "bravo", platform::IDCANCEL, "alpha"},
    };
    const auto dots = [](const QString &text) { return QString(text.size(), QChar(0x2022)); };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Passwords WHERE [No] = 221"));
        exec(QStringLiteral("INSERT INTO Passwords ([No], [Password], [Level]) VALUES (221, 'old', 0)"));
        if (*c.byA)
            exec(QStringLiteral("UPDATE Passwords SET [Password] = '%1' WHERE [No] = 221").arg(QLatin1String(c.byA)));
        prompts().clear();
        if (c.answer != 0)
            prompts().answer(c.answer);
        EXPECT_EQ(SavePasswordRow(221, QStringLiteral("old"), QString::fromUtf8(c.typed), QStringLiteral("Track password"),
                                  dots),
                  c.answer != platform::IDCANCEL);
        if (c.answer == 0) {
            EXPECT_TRUE(messages().isEmpty());
        } else {
            ASSERT_EQ(messages().size(), 1);
            EXPECT_TRUE(messages().first().contains(
                QStringLiteral("Track password: the other user's \"\u2022\u2022\u2022\u2022\u2022\", yours "
                               "\"\u2022\u2022\u2022\u2022\u2022\"")))
                << messages().first().toStdString();
        }
        EXPECT_EQ(scalar(QStringLiteral("SELECT [Password] FROM Passwords WHERE [No] = 221")).toString(),
                  QString::fromUtf8(c.stored));
    }
    // No row yet: added once.
    exec(QStringLiteral("DELETE FROM Passwords WHERE [No] = 222"));
    EXPECT_TRUE(SavePasswordRow(222, QString(), QStringLiteral("charlie"), QStringLiteral("Review"), dots));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Count(*) FROM Passwords WHERE [No] = 222")).toInt(), 1);
}

// One Options row saved by a window that showed `read` (the row, or the
// default when the shop has none) while A may have saved the row meanwhile.
TEST_F(SettingRowsTest, AnOptionRowSavedOverAnotherWorkstationsSave)
{
    struct Case
    {
        const char *what;
        bool radio;
        int byA;   // the row A left (-1: no row)
        int read;  // what B's window showed
        int typed; // what B pressed OK on
        int answer;
        const char *asked; // the line of the question ("" none)
        const char *stored; // "" no row
    };
    const QList<Case> cases = {
        {"no row, left as shown: the shown value added", false, -1, 7, 7, 0, "", "7"},
        {"no row, changed: added", false, -1, 7, 4, 0, "", "4"},
        {"left as shown over A's bits: A's stay", false, 5, 7, 7, 0, "", "5"},
        {"different bits: both kept", false, 3, 1, 9, 0, "", "11"},
        {"the same bit changed by both: nothing to ask", false, 3, 1, 3, 0, "", "3"},
        {"radio left as shown over A's choice: A's stays, nothing asked", true, 2, 1, 1, 0, "", "2"},
        {"radio no row, left as shown: added", true, -1, 1, 1, 0, "", "1"},
        {"radio both changed, B keeps his", true, 2, 1, 3, platform::IDYES,
         "Status: the other user's \"Two\", yours \"Three\"", "3"},
        {"radio cancel: nothing written", true, 2, 1, 3, platform::IDCANCEL,
         "Status: the other user's \"Two\", yours \"Three\"", "2"},
    };
    const QStringList texts = {QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third"),
                               QStringLiteral("Fourth")};
    const QStringList choices = {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM Options WHERE OptionID = 44399"));
        if (c.byA >= 0)
            exec(QStringLiteral("INSERT INTO Options (OptionID, OptionSum) VALUES (44399, %1)").arg(c.byA));
        OptionNames names;
        names.radio = c.radio;
        names.group = QStringLiteral("Status");
        names.choice = [&choices](qint32 n) { return choices.value(n - 1); };
        names.bit = [&texts](int bit) { return texts.value(bit); };
        prompts().clear();
        if (c.answer != 0)
            prompts().answer(c.answer);
        EXPECT_EQ(SaveOptionValue(44399, c.read, c.typed, names), c.answer != platform::IDCANCEL);
        if (*c.asked) {
            ASSERT_EQ(messages().size(), 1);
            EXPECT_TRUE(messages().first().contains(QString::fromUtf8(c.asked))) << messages().first().toStdString();
        } else {
            EXPECT_TRUE(messages().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
        }
        EXPECT_EQ(column(QStringLiteral("SELECT OptionSum FROM Options WHERE OptionID = 44399")).join(QLatin1Char('|')),
                  QString::fromUtf8(c.stored));
    }
}

} // namespace
