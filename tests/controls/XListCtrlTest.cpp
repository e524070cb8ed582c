#include "RowSourceStub.h"

#include "controls/CColumnAlias.h"
#include "controls/CGridCell.h"
#include "controls/CListItem.h"
#include "controls/CXListCtrl.h"
#include "controls/CXListModel.h"
#include "controls/CXProgress.h"
#include "controls/CXRecordsetSource.h"
#include "controls/ListWork.h"

#include "app/base/SharedDatabaseHolder.h"
#include "platform/Settings.h"
#include "platform/db/BesideRead.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "support/TestEnvironment.h"

#include "Printers.h"

#include "app/base/MoneyText.h"

#include <ctime>

#include <sqlite3.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QThread>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtGui/QFontMetrics>
#include <QtWidgets/QDialog>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableWidget>

using platform::FieldType;
using platform::Value;

TEST(RowAndColumnRecords, ColumnTotalsFollowIndexTitleAndType)
{
    // Money columns of averages, rates and unit prices are not summed; other
    // money columns are.
    const struct
    {
        const char *title;
        int mode;
    } money[] = {{"Avg Price", CGridCell::TotalNone}, {"AvgMargin", CGridCell::TotalNone},
                 {"Average\nSale", CGridCell::TotalNone}, {"% of NetSale", CGridCell::TotalNone},
                 {"Hourly Rate", CGridCell::TotalNone}, {"UnitCost", CGridCell::TotalNone},
                 {"Price", CGridCell::TotalMoney}, {"NetSale", CGridCell::TotalMoney},
                 {"$ Margin", CGridCell::TotalMoney}, {"Corporate", CGridCell::TotalMoney}};
    for (const auto &c : money)
        EXPECT_EQ(CGridCell(2, QString::fromUtf8(c.title), 80, 5, 1).m_totalMode, c.mode) << c.title;
    EXPECT_EQ(CGridCell(3, QStringLiteral("Job Count"), 80, 10, 0).m_totalMode, CGridCell::TotalCount);
    EXPECT_EQ(CGridCell(0, QStringLiteral("Avg"), 80, 5, 0).m_totalMode, CGridCell::TotalCount);
    EXPECT_EQ(CGridCell(1, QStringLiteral("Name"), 80, 10, 0).m_totalMode, CGridCell::TotalNone);
    EXPECT_EQ(CGridCell(1, QStringLiteral("x"), 80, 10, 0).m_format, 2080u);
    EXPECT_EQ(CGridCell(1, QStringLiteral("x"), 80, 10, 1).m_format, 2082u);
    EXPECT_EQ(CGridCell(1, QStringLiteral("x"), 80, 10, 2).m_format, 2081u);
    EXPECT_EQ(CGridCell(1, QStringLiteral("x"), 80, 10, 7).m_format, 7u);
    EXPECT_EQ(CGridCell().m_format, 2085u);
    EXPECT_EQ(CGridCell().m_flag0, 2);

    CGridCell cell(4, QStringLiteral("Price"), 80, 5, 1);
    cell.addToTotal(12345);
    cell.addToTotal(5);
    const CGridCell copy = cell;
    EXPECT_EQ(copy.m_total, 12350);
    EXPECT_EQ(copy.m_rowCount, 2);

    CListItem item(7, QStringLiteral("Paper"), 1, 2, 3, 4, 5, 6, 7, 8);
    CListItem other;
    other = item;
    EXPECT_EQ(other, item);
    EXPECT_EQ(other.number(8), 8);
    EXPECT_EQ(other.number(9), 0);
    other.setNumber(1, 42);
    EXPECT_EQ(other.number(1), 42);
    EXPECT_EQ(CListItem().m_text, QString());
}

namespace {

class XListTest : public TavrelTest
{
protected:
    void TearDown() override
    {
        CXProgress::SetFactory({});
        TavrelTest::TearDown();
    }

    // Name, Due, Amount, Setup Time, Status_HIDE, Job Count, JobID.
    static RowSourceStub jobs()
    {
        auto row = [](const char *name, int y, int m, int d, std::int64_t cents, int minutes, int status, int count,
                      int id) {
            return std::vector<Value>{Value(name),
                                      Value(DateTime(y, m, d)),
                                      Value(Money::fromCents(cents)),
                                      Value(minutes),
                                      Value(std::int64_t(status), FieldType::Byte),
                                      Value(count),
                                      Value(id)};
        };
        return RowSourceStub({{QStringLiteral("Name"), FieldType::Text, 20},
                              {QStringLiteral("Due"), FieldType::Date, 8},
                              {QStringLiteral("Amount"), FieldType::Currency, 8},
                              {QStringLiteral("Setup Time"), FieldType::Long, 4},
                              {QStringLiteral("Status_HIDE"), FieldType::Byte, 1},
                              {QStringLiteral("Job Count"), FieldType::Long, 4},
                              {QStringLiteral("JobID"), FieldType::Long, 4}},
                             {row("bravo", 2010, 12, 31, 123456, 90, 1, 1200, 501),
                              row("Alpha", 2011, 1, 5, 1, 45, 2, 3400, 502),
                              row("charlie", 2009, 6, 1, -2000, 0, 3, 5, 503),
                              row("delta", 2011, 1, 5, 99999999, 0, 0, 10, 504)});
    }

    QStringList column(CXListCtrl &list, int c)
    {
        QStringList out;
        for (int r = 0; r < list.GetItemCount(); ++r)
            out << list.GetItemText(r, c);
        return out;
    }
};

} // namespace

TEST_F(XListTest, FillLaysColumnsOutFromTheAliases)
{
    CXListCtrl list;
    list.resize(200, 300); // no room beside the columns
    RowSourceStub src = jobs();
    list.FillFromRecordset(src, QString());
    const int w = QFontMetrics(list.font()).horizontalAdvance(QLatin1Char('9'));

    ASSERT_EQ(list.GetColumnCount(), 7);
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.GetKeyFieldName(), QStringLiteral("JobID"));
    EXPECT_EQ(list.GetItemData(0), 501);
    EXPECT_EQ(list.GetItemData(3), 504);
    EXPECT_EQ(list.GetColumnWidth(6), 0);               // the key column, last
    EXPECT_EQ(list.GetColumnText(4), QStringLiteral("Status"));
    EXPECT_EQ(list.GetColumnWidth(4), 0);               // "_HIDE"
    EXPECT_EQ(list.GetColumnWidth(0), 20 * w > 150 ? 160 : std::max(20 * w, 30) + 10);
    EXPECT_EQ(list.GetColumnWidth(1), 12 * w);
    EXPECT_EQ(list.GetColumnAlign(1), 2);
    EXPECT_EQ(list.GetColumnAlign(2), 1);
    EXPECT_EQ(list.GetItemText(1, 1), QStringLiteral("01/05/2011"));
    // Wider, the list gives the room beside its columns to its text column.
    list.resize(900, 300);
    list.show();
    EXPECT_GT(list.GetColumnWidth(0), 20 * w > 150 ? 160 : std::max(20 * w, 30) + 10);
    EXPECT_EQ(list.GetColumnWidth(1), 12 * w);
    EXPECT_EQ(list.GetItemText(0, 2), QStringLiteral("1234.56"));
    // Minutes show as times; the total keeps the minutes.
    EXPECT_EQ(list.GetItemText(0, 3), QStringLiteral("1:30"));
    EXPECT_EQ(list.GetTimeColumnCount(), 1);
    EXPECT_TRUE(list.IsItemSelected(0));

    const auto totals = list.TotalsRows();
    ASSERT_EQ(totals.size(), 7);
    EXPECT_EQ(totals[0], qMakePair(QStringLiteral("Name"), QString()));
    // The exact sum of the amounts, 1,234.56 + 0.01 - 20.00 + 999,999.99.
    EXPECT_EQ(totals[2].second, QStringLiteral("1,001,214.56"));
    EXPECT_EQ(totals[3].second, QStringLiteral("2:15"));
    EXPECT_EQ(totals[5].second, QStringLiteral("4,615"));
    EXPECT_EQ(list.GetColumnRecord(5).m_rowCount, 4);

    // Key hints: none, the last field, a named field.
    RowSourceStub again = jobs();
    list.FillFromRecordset(again, QStringLiteral("x"));
    EXPECT_EQ(list.GetKeyColumn(), -1);
    EXPECT_EQ(list.GetItemData(2), 2);
    EXPECT_GT(list.GetColumnWidth(6), 0);
    RowSourceStub named = jobs();
    list.FillFromRecordset(named, QStringLiteral("count"));
    EXPECT_EQ(list.GetKeyFieldName(), QStringLiteral("Job Count"));
    EXPECT_EQ(list.GetItemData(1), 3400);

    // Texts of a query whose aliases make them money and dates (a user's own
    // query of computed columns) show and total as money and dates.
    RowSourceStub typed({{QStringLiteral("Owed_C"), FieldType::Text, 0},
                         {QStringLiteral("Due_D"), FieldType::Text, 0},
                         {QStringLiteral("JobID"), FieldType::Long, 4}},
                        {{Value("634.1"), Value("9/29/2026"), Value(1)},
                         {Value("4395.66"), Value("2026-10-01"), Value(2)},
                         {Value(), Value(), Value(3)}});
    list.FillFromRecordset(typed, QString());
    EXPECT_EQ(list.GetColumnText(0), QStringLiteral("Owed"));
    EXPECT_EQ(column(list, 0), (QStringList{"634.10", "4395.66", ""}));
    EXPECT_EQ(column(list, 1), (QStringList{"09/29/2026", "10/01/2026", ""}));
    // 634.10 + 4,395.66
    EXPECT_EQ(list.TotalsRows().at(0).second, QStringLiteral("5,029.76"));

    // A date column given too few pixels still shows a whole date; a hidden
    // one stays hidden.
    list.AddColumn(QStringLiteral("Date"), 40, CColumnAlias::TypeDate);
    EXPECT_GT(list.GetColumnWidth(3), QFontMetrics(list.font()).horizontalAdvance(QStringLiteral("02/19/2026")));
    list.AddColumn(QStringLiteral("Shipped"), 0, CColumnAlias::TypeDate);
    EXPECT_EQ(list.GetColumnWidth(4), 0);
}

TEST_F(XListTest, ClickedColumnsSortByTheirType)
{
    CXListCtrl list;
    RowSourceStub src = jobs();
    list.FillFromRecordset(src, QString());
    list.SetSort(2, true); // as a fill from SQL names its sort column

    list.OnColumnClick(1); // a date column: newest first
    EXPECT_EQ(list.GetSortKind(), CXListCtrl::kSortDate);
    EXPECT_EQ(column(list, 1).mid(0, 3),
              (QStringList{"01/05/2011", "01/05/2011", "12/31/2010"}));
    list.OnColumnClick(1); // again: oldest first
    EXPECT_EQ(column(list, 1).first(), QStringLiteral("06/01/2009"));

    list.OnColumnClick(0); // a text column: A to Z, without regard to case
    EXPECT_EQ(column(list, 0), (QStringList{"Alpha", "bravo", "charlie", "delta"}));

    list.OnColumnClick(2); // money: largest first
    EXPECT_EQ(column(list, 0), (QStringList{"delta", "bravo", "Alpha", "charlie"}));

    list.SetSort(5, true);
    list.OnColumnClick(5); // the fill's sort column reverses the fill's direction
    EXPECT_FALSE(list.IsSortDescending());
    EXPECT_EQ(column(list, 5), (QStringList{"5", "10", "1200", "3400"}));

    // The selected record stays selected through a sort.
    list.SelectItem(list.FindItemByData(502, false));
    list.OnColumnClick(0);
    EXPECT_EQ(list.GetSelectedData(), 502);

    EXPECT_EQ(CXListCtrl::CompareTexts(QStringLiteral("1.0"), QStringLiteral("1.00"), CXListCtrl::kSortNumber),
              -CXListCtrl::CompareTexts(QStringLiteral("1.00"), QStringLiteral("1.0"), CXListCtrl::kSortNumber));
}

TEST_F(XListTest, RowsMoveAndNavigate)
{
    CXListCtrl list;
    RowSourceStub src = jobs();
    list.FillFromRecordset(src, QString());
    list.SelectItem(1);
    EXPECT_EQ(list.MoveSelectedRow(0, 0, CXListCtrl::ID_MOVE_BOTTOM), 3);
    EXPECT_EQ(list.GetItemData(3), 502);
    EXPECT_EQ(list.GetItemText(3, 0), QStringLiteral("Alpha"));
    EXPECT_EQ(list.GetSelectedData(), 502);
    EXPECT_EQ(list.MoveSelectedRow(0, 0, CXListCtrl::ID_MOVE_DOWN), -1);
    EXPECT_EQ(list.MoveSelectedRow(0, 0, CXListCtrl::ID_MOVE_UP), 2);
    EXPECT_EQ(list.MoveSelectedRow(0, 0, CXListCtrl::ID_MOVE_TOP), 0);
    EXPECT_EQ(list.GetItemData(0), 502);
    EXPECT_EQ(list.MoveSelectedRow(1, 1), -1);
    EXPECT_EQ(list.MoveSelectedRow(1, 7), -1);
    EXPECT_EQ(list.MoveSelectedRow(3, 1), 1);
    EXPECT_EQ(list.GetItemData(1), 504);

    list.SelectItem(0);
    EXPECT_EQ(list.NavigateRecord(CXListCtrl::ID_RECORD_NEXT), 504);
    EXPECT_EQ(list.NavigateRecord(CXListCtrl::ID_RECORD_LAST), list.GetItemData(3));
    EXPECT_EQ(list.NavigateRecord(CXListCtrl::ID_RECORD_NEXT), 0);
    EXPECT_EQ(list.GetCurrentRow(), 3);
    EXPECT_EQ(list.NavigateRecord(CXListCtrl::ID_RECORD_FIRST), 502);
    EXPECT_EQ(list.NavigateRecord(CXListCtrl::ID_RECORD_PREV), 0);

    EXPECT_EQ(list.FindItemByData(0, true), -1);
    EXPECT_EQ(list.FindItemByData(999, true), -1);
    list.SelectItem(17);
    EXPECT_EQ(list.GetSelectedData(), 0);
}

TEST_F(XListTest, RefillTellsTheViewOnceWhenItIsOver)
{
    CXListCtrl list;
    list.resize(400, 300);
    for (const char *heading : {"Item", "Description", "Price"})
        list.AddColumn(QString::fromLatin1(heading), 80, CColumnAlias::TypeText);
    list.InsertRow(0, QStringLiteral("old"), 7, 3);
    list.SelectItem(0);

    QAbstractItemModel *model = list.model();
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    list.BeginRefill();
    for (int r = 0; r < 3; ++r) {
        const int row = list.InsertRow(list.GetItemCount(), QStringLiteral("%1").arg(r + 1), 100 + r, 5);
        list.SetItemText(row, 1, QStringLiteral("first"));
        list.SetItemText(row, 1, QStringLiteral("row %1").arg(r + 1)); // the last text set stays
        list.SetItemText(row, 2, QStringLiteral("%1.00").arg(r * 10));
        list.SetSubItemImage(row, 2, 40 + r);
    }
    list.SetSubItemImage(1, 2, CXListCtrl::kNoImage); // taken off again
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(reset.count(), 0);
    list.EndRefill();
    EXPECT_EQ(reset.count(), 1);
    list.EndRefill(); // a second end tells nothing more
    EXPECT_EQ(reset.count(), 1);

    // The view knows every new row and nothing of the old one.
    EXPECT_EQ(list.GetSelectedData(), 0);
    EXPECT_TRUE(list.visualRect(model->index(2, 0)).isValid());
    EXPECT_EQ(column(list, 0), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(column(list, 1), (QStringList{QStringLiteral("row 1"), QStringLiteral("row 2"), QStringLiteral("row 3")}));
    EXPECT_EQ(column(list, 2), (QStringList{QStringLiteral("0.00"), QStringLiteral("10.00"), QStringLiteral("20.00")}));
    EXPECT_EQ(model->data(model->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("row 2"));
    EXPECT_EQ(list.GetSubItemImage(0, 2), 40);
    EXPECT_EQ(list.GetSubItemImage(1, 2), CXListCtrl::kNoImage);
    EXPECT_EQ(list.GetSubItemImage(2, 2), 42);
    EXPECT_EQ(list.GetItemImage(2), 5);

    // Outside a refill every change is told at once again.
    list.SetItemText(2, 1, QStringLiteral("later"));
    list.InsertRow(3, QStringLiteral("4"), 103, 5);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(inserted.count(), 1);
    list.SelectItem(3);
    EXPECT_EQ(list.GetSelectedData(), 103);
}

TEST_F(XListTest, ColumnsFitBySavedWidths)
{
    CXListCtrl list;
    list.resize(600, 300);
    RowSourceStub src = jobs();
    list.FillFromRecordset(src, QString());

    platform::Settings::writeString(QStringLiteral("View Columns"), QStringLiteral("Jobs-All/Orders"),
                                    QStringLiteral("100,50,70"));
    list.LoadColumnWidths(QStringLiteral("Jobs-All/Orders"), true);
    EXPECT_EQ(list.GetColumnWidth(0), 100);
    EXPECT_EQ(list.GetColumnWidth(1), 50);
    EXPECT_NE(list.GetColumnWidth(2), 70); // no comma follows it

    for (int c = 0; c < list.GetColumnCount(); ++c)
        list.SetColumnWidth(c, c < 4 ? 70 : 0);
    platform::Settings::writeString(QStringLiteral("View Columns"), QStringLiteral("k"), QStringLiteral("AUTOFIT"));
    list.LoadColumnWidths(QStringLiteral("k"), true);
    EXPECT_EQ(list.GetColumnWidth(0), 140); // spread at most twice as wide

    list.SetAutoSizeMode(1, true);
    int others = 0;
    for (int c = 0; c < list.GetColumnCount(); ++c)
        others += c == 1 ? 0 : list.GetColumnWidth(c);
    const int available = list.viewport()->width() - 20 - (list.frameShape() != QFrame::NoFrame ? 6 : 0);
    EXPECT_EQ(list.GetColumnWidth(1), available - others);

    // Laid out by their own widths, a column too narrow for its texts is
    // widened and the text columns take the room left.
    list.LoadColumnWidths(QString(), false);
    list.SetColumnWidth(0, 33);
    list.AutoSizeColumns();
    EXPECT_GT(list.GetColumnWidth(0), QFontMetrics(list.font()).horizontalAdvance(list.GetItemText(0, 0)));
    int used = 0;
    for (int c = 0; c < list.GetColumnCount(); ++c)
        used += list.GetColumnWidth(c);
    EXPECT_EQ(used, list.viewport()->width() - list.style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2);
}

TEST_F(XListTest, DrawStylesColourRowsByTheirImage)
{
    CXListCtrl list;
    RowSourceStub src = jobs();
    list.FillFromRecordset(src, QString());
    CXListModel *m = list.listModel();
    auto role = [m](int row, int col, int r) { return m->data(m->index(row, col), r); };

    list.SetDrawStyle(1, 0x00F0E0D0, 0);
    EXPECT_FALSE(role(0, 0, Qt::BackgroundRole).isValid());
    EXPECT_EQ(role(1, 2, Qt::BackgroundRole).value<QColor>(), QColor(0xD0, 0xE0, 0xF0));

    list.SetDrawStyle(2, 0x00FFFFFF, 0, 100, 200);
    list.SetSubItemImage(0, 0, 334);
    list.SetSubItemImage(1, 0, 338);
    list.SetSubItemImage(2, 0, 136);
    EXPECT_EQ(role(0, 3, Qt::ForegroundRole).value<QColor>(), QColor(0xC0, 0x10, 0x10));
    EXPECT_EQ(role(1, 3, Qt::BackgroundRole).value<QColor>(), QColor(0xFF, 0xFB, 0xEF));
    EXPECT_EQ(role(2, 3, Qt::ForegroundRole).value<QColor>(), QColor(0x80, 0x80, 0x80));
    EXPECT_TRUE(role(2, 3, Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(list.GetSubItemImage(0, 0), 334);
    EXPECT_EQ(list.GetSubItemImage(0, 9), -1);

    list.SetDrawStyle(3, 0x00EEEEEE, 0x00000080, 100, 200);
    list.SetColumnFlags(2, 2, 21); // a dark style: white on its caption colour
    list.SetColumnFlags(3, 2, 4);  // the band colour
    EXPECT_EQ(role(2, 2, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
    EXPECT_TRUE(role(2, 2, Qt::BackgroundRole).isValid());
    EXPECT_EQ(role(2, 3, Qt::BackgroundRole).value<QColor>(), QColor(0xEE, 0xEE, 0xEE));

    list.SetStatusImages(); // from the hidden "Status" column: 1, 2, 3, 0
    EXPECT_EQ(list.GetItemImage(0), 25);
    EXPECT_EQ(list.GetItemImage(1), 28);
    EXPECT_EQ(list.GetItemImage(2), 26);
    EXPECT_EQ(list.GetItemImage(3), 24);
}

TEST_F(XListTest, ListTotalsDialogShowsEveryColumn)
{
    CXListCtrl list;
    RowSourceStub src = jobs();
    list.FillFromRecordset(src, QString());
    QStringList names;
    QStringList totals;
    prompts().onDialog([&](QDialog &d) {
        auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid"));
        for (int r = 0; grid && r < grid->rowCount(); ++r) {
            names << grid->item(r, 0)->text();
            totals << grid->item(r, 1)->text();
        }
        return int(QDialog::Accepted);
    });
    list.ShowTotals();
    EXPECT_EQ(prompts().shown().last().caption, QStringLiteral("List Totals"));
    EXPECT_EQ(names.size(), 7);
    EXPECT_EQ(totals.at(2), QStringLiteral("1,001,214.56"));
    EXPECT_EQ(totals.at(3), QStringLiteral("2:15"));
}

namespace {

struct FillLog
{
    int stopAfter = -1;
    int steps = 0;
    QString title;
    int total = 0;
};

class StoppingProgress : public CXProgress
{
public:
    explicit StoppingProgress(FillLog &log) : m_log(log) {}
    void Start(int total, const QString &title, bool, bool, const QString &) override
    {
        m_running = true;
        m_log.title = title;
        m_log.total = total;
    }
    bool Step(const QString &) override
    {
        if (m_running && ++m_log.steps == m_log.stopAfter)
            m_running = false;
        return m_running;
    }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return m_running; }

private:
    FillLog &m_log;
    bool m_running = false;
};

// A Jobs table of 3,000 rows: "Job n", n cents, JobID n.
platform::Database &OpenThousandsOfJobs(SharedDatabaseHolder &holder, const QString &path)
{
    platform::Database &db = OpenThreeColumnTable(holder, path, QStringLiteral("Jobs"), QStringLiteral("Name"),
                                                  QStringLiteral("Price"), QStringLiteral("JobID"));
    platform::Transaction tx(db);
    for (int i = 1; i <= 3000; ++i)
        db.execute(QStringLiteral("INSERT INTO Jobs (Name, Price, JobID) VALUES (?, ?, ?)"),
                   {Value(QStringLiteral("Job %1").arg(i)), Value(Money::fromCents(i)), Value(i)});
    tx.commit();
    return db;
}

} // namespace

TEST_F(XListTest, ListFromItsOwnQueryShowsTheFirstRowsAtOnce)
{
    SharedDatabaseHolder holder;
    platform::Database &db = OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));

    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT Name, Price, JobID FROM Jobs ORDER BY JobID"), QString(), 2, true);
    // Every row is counted and shown from the start; only the first are read.
    EXPECT_EQ(list.GetItemCount(), 3000);
    EXPECT_EQ(list.listModel()->rowCount(), 3000);
    EXPECT_LT(list.listModel()->rowsRead(), 3000);
    EXPECT_EQ(list.GetSortColumn(), 2);
    EXPECT_EQ(list.GetItemData(0), 1);
    // The scroll bar spans the whole list before anything else is read, and
    // End goes to the last row at once.
    list.resize(400, 300);
    list.show();
    QCoreApplication::processEvents();
    QScrollBar *bar = list.verticalScrollBar();
    const int span = bar->maximum();
    EXPECT_EQ(span, 3000 - bar->pageStep());
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_End);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.GetCurrentRow(), 2999);
    EXPECT_EQ(list.GetSelectedData(), 3000);
    EXPECT_EQ(bar->value(), span);
    EXPECT_EQ(bar->maximum(), span);
    QTest::keyClick(&list, Qt::Key_Home);
    EXPECT_EQ(list.NavigateRecord(CXListCtrl::ID_RECORD_LAST), 3000);
    EXPECT_EQ(list.GetCurrentRow(), 2999);
    EXPECT_EQ(list.FindItemByData(2500, false), 2499);
    EXPECT_EQ(list.GetItemText(2999, 0), QStringLiteral("Job 3000"));
    EXPECT_EQ(list.listModel()->rowsRead(), 3000);
    // 0.01 + ... + 30.00
    EXPECT_EQ(list.TotalsRows().at(1).second, QStringLiteral("45,015.00"));

    // Reading everything at once above the threshold shows the progress window;
    // a cancel keeps the rows read so far.
    FillLog log;
    log.stopAfter = 700;
    CXProgress::SetFactory([&log] { return std::make_unique<StoppingProgress>(log); });
    list.SetProgressThreshold(1000);
    list.FillFromSql(QStringLiteral("SELECT Name, Price, JobID FROM Jobs ORDER BY JobID"));
    list.SelectAll();
    EXPECT_EQ(log.title, QStringLiteral("Filling the list: %s rows."));
    EXPECT_EQ(log.total, 3000);
    // The rows that were not read leave the list.
    EXPECT_EQ(list.GetItemCount(), list.listModel()->rowsRead());
    EXPECT_EQ(list.listModel()->rowCount(), list.GetItemCount());
    EXPECT_LT(list.GetItemCount(), 3000);
    EXPECT_EQ(list.GetSelectedCount(), list.GetItemCount());

    // A stored query asks for its parameters first; a cancel fills nothing.
    db.createQuery(QStringLiteral("Dear Jobs"),
                   QStringLiteral("PARAMETERS [Least Price] Currency; SELECT Name, Price, JobID FROM Jobs "
                                  "WHERE Price >= [Least Price] ORDER BY JobID"));
    QStringList fields;
    prompts().onDialog([&](QDialog &d) {
        auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid"));
        for (int r = 0; grid && r < grid->rowCount(); ++r)
            fields << grid->item(r, 0)->text();
        if (grid)
            grid->item(0, 1)->setText(QStringLiteral("29.99"));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(list.FillFromQueryDef(QStringLiteral("Dear Jobs")));
    EXPECT_EQ(fields, QStringList{QStringLiteral("Least Price")});
    EXPECT_EQ(prompts().shown().last().caption, QStringLiteral("Query"));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemData(1), 3000);
    // A cancel shows nothing of the list before under the query's caption.
    prompts().onDialog([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_FALSE(list.FillFromQueryDef(QStringLiteral("Dear Jobs")));
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.recordset(), nullptr);

    // An empty statement fills nothing; one that cannot run is told.
    list.FillFromSql(QStringLiteral("SELECT Name, Price, JobID FROM Jobs WHERE Price >= 29.99 ORDER BY JobID"));
    list.FillFromSql(QString());
    EXPECT_EQ(list.GetItemCount(), 2);
    prompts().answer(platform::IDNO);
    prompts().answer(platform::IDOK);
    list.FillFromSql(QStringLiteral("SELECT Nope FROM Nowhere"));
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(prompts().lastText().startsWith(QStringLiteral("Your database or network may be busy.")));
    db.close();
}

TEST_F(XListTest, OwnQueryRowsReadTheirCellsFromItsRecordset)
{
    SharedDatabaseHolder holder;
    platform::Database &db = OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    auto statusImage = [](int jobId) {
        const int status = jobId % 4;
        return status == 1 ? 25 : status == 2 ? 28 : status == 3 ? 26 : 24;
    };

    CXListCtrl list;
    list.resize(400, 300);
    list.FillFromSql(QStringLiteral("SELECT Name, Price, JobID Mod 4 AS Status_HIDE, JobID FROM Jobs "
                                    "ORDER BY JobID DESC"));
    auto *source = dynamic_cast<CXRecordsetSource *>(list.recordset());
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(source->holdsRecords());
    EXPECT_EQ(list.GetItemCount(), 3000);
    const int shown = list.listModel()->rowsRead();
    EXPECT_LT(shown, 3000);
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("Job 3000"));
    EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("30.00"));
    EXPECT_EQ(list.GetItemData(255), 2745);
    // The status images do not need every row: the rows still to come take
    // theirs as they are read.
    list.SetStatusImages();
    EXPECT_EQ(list.listModel()->rowsRead(), shown);
    EXPECT_EQ(list.GetItemImage(1), statusImage(2999));

    // A text set on a row stays with it whatever reads or sorts the list.
    list.SetItemText(0, 0, QStringLiteral("Top job"));
    list.FetchAll();
    ASSERT_EQ(list.listModel()->rowsRead(), 3000);
    for (int r = 0; r < 3000; ++r) {
        ASSERT_EQ(list.GetItemData(r), 3000 - r) << r;
        ASSERT_EQ(list.GetItemImage(r), statusImage(3000 - r)) << r;
    }
    EXPECT_EQ(list.GetItemText(2999, 0), QStringLiteral("Job 1"));
    EXPECT_EQ(list.TotalsRows().at(1).second, QStringLiteral("45,015.00"));

    list.OnColumnClick(1); // by price, highest first
    list.OnColumnClick(1); // lowest first
    EXPECT_EQ(list.GetItemData(0), 1);
    EXPECT_EQ(list.GetItemData(2999), 3000);
    EXPECT_EQ(list.GetItemText(2999, 0), QStringLiteral("Top job"));
    EXPECT_EQ(list.GetItemText(2999, 1), QStringLiteral("30.00"));
    list.SelectItem(2999);
    EXPECT_EQ(list.MoveSelectedRow(0, 0, CXListCtrl::ID_MOVE_TOP), 0);
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("Top job"));
    EXPECT_EQ(list.GetItemImage(0), statusImage(3000));
    EXPECT_EQ(list.GetItemData(1), 1);

    // A list of a few rows is read whole at once.
    list.FillFromSql(QStringLiteral("SELECT Name, Price, JobID FROM Jobs WHERE JobID <= 10 ORDER BY JobID"));
    EXPECT_EQ(list.GetItemCount(), 10);
    EXPECT_EQ(list.listModel()->rowCount(), 10);
    EXPECT_FALSE(list.listModel()->hasUnread());
    db.close();
}

namespace {

// A list's rows as the user reads them: key, name and price of each.
QStringList listedRows(CXListCtrl &list)
{
    QStringList rows;
    for (int r = 0; r < list.GetItemCount(); ++r)
        rows << QStringLiteral("%1 %2 %3").arg(list.GetItemData(r)).arg(list.GetItemText(r, 0), list.GetItemText(r, 1));
    return rows;
}

// The same rows from a plain snapshot of the statement, read to its end.
QStringList plainRows(platform::Database &db, const QString &sql)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, sql);
    QStringList rows;
    for (; !rs.isEOF(); rs.moveNext())
        rows << QStringLiteral("%1 %2 %3")
                    .arg(rs.value(2).toInt64())
                    .arg(CXRowSource::ValueText(rs.value(0)), CXRowSource::ValueText(rs.value(1)));
    return rows;
}

} // namespace

TEST_F(XListTest, ListShowsItsFirstRowsBeforeTheQueryHasGivenTheRest)
{
    SharedDatabaseHolder holder;
    const QString path = tempPath(QStringLiteral("TavrelData.mdb"));
    platform::Database &db = OpenThousandsOfJobs(holder, path);
    // In the table's order: the engine gives each row as it walks the table.
    const QString walked = QStringLiteral("SELECT Name, Price, JobID FROM Jobs");
    const QStringList asOpened = plainRows(db, walked);
    ASSERT_EQ(asOpened.size(), 3000);

    CXListCtrl list;
    list.resize(400, 300);
    list.FillFromSql(walked);
    auto *source = dynamic_cast<CXRecordsetSource *>(list.recordset());
    ASSERT_NE(source, nullptr);
    // The first screen is there before the query has given the rest, and
    // the list is counted whole.
    EXPECT_TRUE(source->isReading());
    EXPECT_LT(source->heldCount(), 3000);
    EXPECT_EQ(list.GetItemCount(), 3000);
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("Job 1"));

    // A save on the connection meanwhile reads the query to its end first:
    // the list keeps the rows of the moment it was filled.
    db.execute(QStringLiteral("UPDATE Jobs SET Price = 0 WHERE JobID > 2000"));
    EXPECT_FALSE(source->isReading());
    EXPECT_TRUE(listedRows(list) == asOpened);
    // 0.01 + ... + 30.00
    EXPECT_EQ(list.TotalsRows().at(1).second, QStringLiteral("45,015.00"));
    db.execute(QStringLiteral("UPDATE Jobs SET Price = JobID / 100"));

    // Left alone, the list reads its query on behind the first screen,
    // without making rows nobody has looked at, and lets the file go: a
    // second workstation that could not save while it read saves after.
    const QString newestFirst = walked + QStringLiteral(" ORDER BY JobID DESC");
    list.FillFromSql(newestFirst);
    source = dynamic_cast<CXRecordsetSource *>(list.recordset());
    ASSERT_TRUE(source && source->isReading());
    const int busy = platform::Database::busyTimeout();
    platform::Database::setBusyTimeout(50);
    platform::Database other;
    other.open(path);
    platform::Database::setBusyTimeout(busy);
    const QString otherSave = QStringLiteral("INSERT INTO Jobs (Name, Price, JobID) VALUES ('Job 3001', 30.01, 3001)");
    EXPECT_THROW(other.execute(otherSave), platform::DbException);
    QTRY_VERIFY(!source->isReading());
    EXPECT_LT(list.listModel()->rowsRead(), 3000);
    EXPECT_NO_THROW(other.execute(otherSave));
    other.close();
    EXPECT_EQ(list.GetItemCount(), 3000);
    EXPECT_EQ(list.GetItemData(0), 3000);
    // The list is refilled with the other workstation's row.
    list.FillFromSql(newestFirst);
    EXPECT_EQ(list.GetItemCount(), 3001);
    EXPECT_TRUE(listedRows(list) == plainRows(db, newestFirst));

    // The file closed and opened again (a posting, a compaction) while the
    // list reads: the query is read to its end before the file closes, and
    // the list ends with every row of the moment it was filled.
    list.FillFromSql(newestFirst);
    source = dynamic_cast<CXRecordsetSource *>(list.recordset());
    ASSERT_TRUE(source && source->isReading());
    db.close();
    EXPECT_FALSE(source->isReading());
    db.open(path);
    list.SelectItem(2000);
    EXPECT_EQ(list.GetSelectedData(), 1001);
    EXPECT_TRUE(listedRows(list) == plainRows(db, newestFirst));
    // 0.01 + ... + 30.00, and 30.01
    EXPECT_EQ(list.TotalsRows().at(1).second, QStringLiteral("45,045.01"));

    // A stored query runs beside the list, which has every row it gave once
    // the fill returns; its parameters are bound there too.
    db.createQuery(QStringLiteral("Dear Jobs"),
                   QStringLiteral("PARAMETERS [Least Price] Currency; SELECT Name, Price, JobID FROM Jobs "
                                  "WHERE Price >= [Least Price] ORDER BY JobID"));
    prompts().onDialog([](QDialog &d) {
        if (auto *grid = d.findChild<QTableWidget *>(QStringLiteral("grid")))
            grid->item(0, 1)->setText(QStringLiteral("1"));
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(list.FillFromQueryDef(QStringLiteral("Dear Jobs")));
    EXPECT_FALSE(list.recordset()->isReading());
    EXPECT_EQ(list.listModel()->rowsRead(), 2902);
    EXPECT_EQ(list.GetItemCount(), 2902); // 1.00 to 30.01
    EXPECT_EQ(list.GetItemData(2901), 3001);
    db.close();
}

namespace {

// The progress window of a statement read beside: it keeps the lines it
// shows and answers Stop once rows have been read.
class StopOnceRowsShow : public CXProgress
{
public:
    explicit StopOnceRowsShow(QStringList &shown) : m_shown(shown) {}
    void Start(int, const QString &title, bool, bool cancellable, const QString &) override
    {
        m_shown << title + (cancellable ? QStringLiteral(" [Stop]") : QString());
    }
    bool Step(const QString &text) override
    {
        if (m_shown.isEmpty() || m_shown.last() != text)
            m_shown << text;
        return text == QLatin1String("0 rows read");
    }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return true; }

private:
    QStringList &m_shown;
};

} // namespace

// A filter of the user's own that keeps the engine busy for minutes (the
// jobs joined to themselves three times, a row now and then): it runs
// beside the list, the progress window shows the rows read, and Stop ends
// the statement at once, the list keeping the rows read.
TEST_F(XListTest, AUsersFilterRunsBesideTheListAndStopKeepsTheRowsRead)
{
    SharedDatabaseHolder holder;
    OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    QStringList shown;
    CXProgress::SetFactory([&shown] { return std::make_unique<StopOnceRowsShow>(shown); });
    CXListCtrl list;
    list.resize(400, 300);
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Name AS Other, C.JobID FROM Jobs AS A, Jobs AS B, Jobs AS C "
                                        "WHERE (A.JobID * 7 + B.JobID * 11 + C.JobID * 13) Mod 50021 = 1"));
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.first(), QStringLiteral("Running the query [Stop]"));
    EXPECT_TRUE(shown.last().endsWith(QLatin1String(" rows read")));
    EXPECT_NE(shown.last(), QStringLiteral("0 rows read"));
    EXPECT_EQ(platform::BesideRead::running(), 0) << "the statement went on after Stop";
    EXPECT_FALSE(list.recordset()->isReading());
    const int rows = list.GetItemCount();
    EXPECT_GT(rows, 0);
    EXPECT_EQ(list.listModel()->rowsRead(), rows);
    // Every row read meets the filter: 7 a + 11 b + 13 c = 50022 (the only
    // sum within reach that leaves 1), as for jobs 1, 1012 and 2991.
    for (int r = 0; r < rows; ++r) {
        const int a = list.GetItemText(r, 0).mid(4).toInt();
        const int b = list.GetItemText(r, 1).mid(4).toInt();
        EXPECT_EQ(7 * a + 11 * b + 13 * int(list.GetItemData(r)), 50022) << "row " << r;
    }
}

namespace {

// The processor time this process has taken, in milliseconds.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

// A progress window whose user asks to stop at a given step (texts kept):
// while the question is up (for askMs), the processor time the program
// takes is measured; the answer is Yes.
class AskingProgress : public CXProgress
{
public:
    AskingProgress(QStringList &shown, int askAt, double &cpuWhileAsked)
        : m_shown(shown), m_askAt(askAt), m_cpu(cpuWhileAsked)
    {
    }
    void Start(int, const QString &title, bool, bool cancellable, const QString &) override
    {
        m_shown << title + (cancellable ? QStringLiteral(" [Stop]") : QString());
    }
    bool Step(const QString &text) override
    {
        if (m_shown.isEmpty() || m_shown.last() != text)
            m_shown << text;
        if (++m_steps < m_askAt)
            return true;
        if (m_hook)
            m_hook(true);
        const double before = cpuMs();
        QThread::msleep(400);
        m_cpu = cpuMs() - before;
        if (m_hook)
            m_hook(false);
        return false;
    }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return true; }
    void SetQuestionHook(std::function<void(bool)> hook) override { m_hook = std::move(hook); }

private:
    QStringList &m_shown;
    int m_askAt;
    double &m_cpu;
    int m_steps = 0;
    std::function<void(bool)> m_hook;
};

} // namespace

namespace {

// A progress window through which the user, at the first step whose text
// the test names, chooses another list: a second fill begins there.
class ChooseAnotherListAt : public CXProgress
{
public:
    ChooseAnotherListAt(std::function<bool(const QString &)> when, std::function<void()> choose)
        : m_when(std::move(when)), m_choose(std::move(choose))
    {
    }
    void Start(int, const QString &, bool, bool, const QString &) override {}
    bool Step(const QString &text) override
    {
        if (m_choose && m_when(text))
            std::exchange(m_choose, nullptr)();
        return true;
    }
    void SetMessage(const QString &, bool) override {}
    bool IsRunning() const override { return true; }

private:
    std::function<bool(const QString &)> m_when;
    std::function<void()> m_choose;
};

} // namespace

// A list chosen while a statement is read beside the window owns the list
// from then on: the statement read before ends at once and adds nothing,
// whether the new list came before its first row or after rows were shown,
// and whether the new list is read at once or beside the window too.
TEST_F(XListTest, AFillBegunWhileAStatementIsReadBesideEndsThatStatement)
{
    SharedDatabaseHolder holder;
    OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    // Rows now and then from the start; or the same with none before job A 5
    // (tens of millions of triples, well past the moment the progress shows).
    const QString slow = QStringLiteral("SELECT A.Name, B.Name AS Other, C.JobID FROM Jobs AS A, Jobs AS B, Jobs AS C "
                                        "WHERE (A.JobID * 7 + B.JobID * 11 + C.JobID * 13) Mod 50021 = 1");
    const QString late = slow + QStringLiteral(" AND A.JobID + C.JobID * 0 >= 5");
    const QString chosen = QStringLiteral("SELECT Name, JobID FROM Jobs WHERE JobID <= 3");
    const auto beforeRows = [](const QString &text) { return !text.endsWith(QLatin1String(" rows read")) || text.startsWith(QLatin1String("0 ")); };
    const auto afterRows = [](const QString &text) { return text.endsWith(QLatin1String(" rows read")) && !text.startsWith(QLatin1String("0 ")); };
    const struct
    {
        const char *when;
        const QString &statement;
        std::function<bool(const QString &)> at;
        bool besideToo; // the new list is a user's statement as well
    } cases[] = {
        {"before the first row", late, beforeRows, false},
        {"before the first row, read beside", late, beforeRows, true},
        {"after rows were shown", slow, afterRows, false},
        {"after rows were shown, read beside", slow, afterRows, true},
    };
    for (const auto &c : cases) {
        CXListCtrl list;
        list.resize(400, 300);
        bool began = false;
        CXProgress::SetFactory([&] {
            return std::make_unique<ChooseAnotherListAt>(c.at, [&] {
                began = true;
                // The second fill's own progress window never shows for so few rows.
                if (c.besideToo)
                    list.FillFromUserSql(chosen);
                else
                    list.FillFromSql(chosen, QString());
            });
        });
        list.FillFromUserSql(c.statement);
        CXProgress::SetFactory({});
        ASSERT_TRUE(began) << c.when;
        QThread::msleep(200);
        QCoreApplication::processEvents();
        EXPECT_EQ(list.GetListedStatement(), chosen) << c.when;
        ASSERT_EQ(list.GetItemCount(), 3) << c.when;
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(list.GetItemText(row, 0), QStringLiteral("Job %1").arg(row + 1)) << c.when;
            EXPECT_EQ(list.GetItemData(row), row + 1) << c.when;
        }
        EXPECT_EQ(list.GetColumnCount(), 2) << c.when;
        EXPECT_EQ(platform::BesideRead::running(), 0) << c.when << ": the statement read before goes on";
    }
}

// While the progress window asks "Do you want to stop now?" the statement
// beside holds still, even in the middle of a step that gives no row for
// minutes; Yes then ends it at once.
TEST_F(XListTest, AUsersStatementHoldsStillWhileStopIsAsked)
{
    SharedDatabaseHolder holder;
    OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    QStringList shown;
    double cpuWhileAsked = -1;
    CXProgress::SetFactory([&] { return std::make_unique<AskingProgress>(shown, 3, cpuWhileAsked); });
    CXListCtrl list;
    list.resize(400, 300);
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Name AS Other, C.JobID FROM Jobs AS A, Jobs AS B, Jobs AS C "
                                        "WHERE (A.JobID * 7 + B.JobID * 11 + C.JobID * 13) Mod 50021 = 1"));
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown.first(), QStringLiteral("Running the query [Stop]"));
    ASSERT_GE(cpuWhileAsked, 0.0);
    // Reading on, the engine would take the whole 400 ms of a processor.
    EXPECT_LT(cpuWhileAsked, 100.0) << "the statement read on while the question was asked";
    EXPECT_EQ(platform::BesideRead::running(), 0);
}

// A statement of millions of rows: the list takes them as fast as it can
// and holds no more than its bound of memory; there it stops the statement
// and says that it shows the first rows (all that it read, in order).
TEST_F(XListTest, AUsersStatementOfMillionsOfRowsStopsAtTheListsBound)
{
    SharedDatabaseHolder holder;
    OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    CXListCtrl list;
    list.resize(400, 300);
    list.SetMostMemory(std::size_t(8) << 20);
    prompts().answer(platform::IDOK);
    // 3,000 x 3,000 rows: job A with every job B in turn.
    list.FillFromUserSql(QStringLiteral("SELECT A.JobID, B.JobID AS Other FROM Jobs AS A, Jobs AS B"));
    const int rows = list.GetItemCount();
    // Each row takes 2 x 16 bytes held and 64 in the list and the view.
    // The list stops once what it holds reaches 8 MiB: with H rows held
    // (their blocks hold at most 4,095 rows more) and at most H of them read,
    // 32 (H + 4,095) + 64 H >= 8,388,608, so H >= 86,017, and every row held
    // is shown. Above, the rows the statement had waiting when the bound was
    // looked at, and at the stop, come too: as many as its room holds each
    // (32,768 rows), and on a busy machine the room is full each time. So at
    // most 86,017 + 4,095 + 3 x 32,768 = 188,416 rows, however fast the
    // machine.
    EXPECT_GE(rows, 86017);
    EXPECT_LE(rows, 188416);
    EXPECT_EQ(prompts().lastText(), QStringLiteral("This query gives more rows than a list can hold.\n"
                                                   "The list shows its first %1 rows.")
                                        .arg(FormatInt(rows, true, false)));
    EXPECT_EQ(platform::BesideRead::running(), 0);
    EXPECT_FALSE(list.recordset()->isReading());
    for (int r : {0, 2999, 3000, rows / 2, rows - 1}) {
        EXPECT_EQ(list.GetItemText(r, 0).toInt(), r / 3000 + 1) << r;
        EXPECT_EQ(list.GetItemText(r, 1).toInt(), r % 3000 + 1) << r;
    }
}

// The list's bound is looked at after every page of a slice, not once a
// slice: a slice of time that could take ten pages takes none past the page
// that fills the list.
TEST_F(XListTest, EachPageOfASliceLooksAtTheListsBound)
{
    struct Case
    {
        int given;     // pages the statement has waiting
        int fullAfter; // the list is full once this many are taken
        int sliceEnds; // the slice of time ends after this many
        int taken;
    };
    const Case cases[] = {
        {10, 3, 99, 3}, {10, 1, 99, 1}, {2, 5, 99, 2}, {10, 99, 4, 4}, {10, 4, 4, 4}, {0, 1, 99, 0},
    };
    for (const Case &c : cases) {
        int pages = 0;
        const int taken = CXListCtrl::ReadPagesWithinBound([&] { return pages < c.given ? (++pages, true) : false; },
                                                           [&] { return pages >= c.fullAfter; },
                                                           [&] { return pages < c.sliceEnds; });
        EXPECT_EQ(taken, c.taken) << c.given << " " << c.fullAfter << " " << c.sliceEnds;
        EXPECT_EQ(pages, c.taken);
    }
}

namespace {

// Keeps what a long piece of work showed: the titles started, the texts of
// its steps, and stops at the step asked.
class WorkLog : public CXProgress
{
public:
    struct Log
    {
        QStringList titles;
        QStringList messages;
        int steps = 0;
        int stopAt = -1;
        int total = 0;
        QString lastText;
    };
    explicit WorkLog(Log &log) : m_log(log) {}
    void Start(int total, const QString &title, bool, bool cancellable, const QString &) override
    {
        m_running = true;
        m_log.titles << title + (cancellable ? QStringLiteral(" [Stop]") : QString());
        m_log.total = total;
    }
    bool Step(const QString &text) override
    {
        if (!text.isEmpty())
            m_log.lastText = text;
        if (m_running && ++m_log.steps == m_log.stopAt)
            m_running = false;
        return m_running;
    }
    void SetMessage(const QString &text, bool) override { m_log.messages << text; }
    bool IsRunning() const override { return m_running; }

private:
    Log &m_log;
    bool m_running = false;
};

} // namespace

// Sorting a list of a million rows shows its progress from the start (a
// look at the window every few thousand rows) and its Stop leaves the list
// as it was.
TEST_F(XListTest, SortingAMillionRowsShowsProgressAndStops)
{
    SharedDatabaseHolder holder;
    OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    CXListCtrl list;
    list.resize(400, 300);
    // 3,000 jobs x 334 prices: 1,002,000 rows, job by job.
    list.FillFromUserSql(QStringLiteral("SELECT A.Name, B.Price, A.JobID * 1000 + B.JobID AS Pair FROM Jobs AS A, "
                                        "Jobs AS B WHERE B.JobID <= 334 ORDER BY A.JobID, B.JobID"));
    ASSERT_EQ(list.GetItemCount(), 1002000);
    const int quiet = ListWork::QuietTime();
    ListWork::SetQuietTime(0);
    WorkLog::Log log;
    CXProgress::SetFactory([&log] { return std::make_unique<WorkLog>(log); });

    // Money sorts largest first; equal amounts keep their order.
    list.OnColumnClick(1);
    ASSERT_EQ(log.titles, QStringList{QStringLiteral("Sorting the list [Stop]")});
    EXPECT_EQ(log.messages, (QStringList{QStringLiteral("Reading the column's texts"),
                                         QStringLiteral("Putting the rows in order")}));
    // A look every 4,096 rows of work: the texts, the runs of 32 rows and
    // fifteen passes (runs of 32, 64, ... 524,288 merged).
    EXPECT_EQ(log.total, (1002000 * 17 + 4095) / 4096);
    EXPECT_GE(log.steps, log.total - 2);
    EXPECT_TRUE(log.lastText.endsWith(QStringLiteral(" of 1,002,000 rows"))) << log.lastText.toStdString();
    EXPECT_EQ(list.GetSortColumn(), 1);
    EXPECT_TRUE(list.IsSortDescending());
    EXPECT_EQ(list.GetItemText(0, 1), QStringLiteral("3.34"));
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("Job 1"));
    EXPECT_EQ(list.GetItemText(2999, 0), QStringLiteral("Job 3000"));
    EXPECT_EQ(list.GetItemText(3000, 1), QStringLiteral("3.33"));
    EXPECT_EQ(list.GetItemText(1001999, 1), QStringLiteral("0.01"));
    EXPECT_EQ(list.GetItemData(1001999), 3000001);

    // Stopped while the rows are put in order: the list stays as it was,
    // sorted by the amounts.
    log = WorkLog::Log();
    log.stopAt = 400;
    list.OnColumnClick(0);
    EXPECT_EQ(log.steps, 400);
    EXPECT_EQ(list.GetSortColumn(), 1);
    EXPECT_TRUE(list.IsSortDescending());
    EXPECT_EQ(list.GetItemText(0, 0), QStringLiteral("Job 1"));
    EXPECT_EQ(list.GetItemText(1, 0), QStringLiteral("Job 2"));
    EXPECT_EQ(list.GetItemText(3000, 1), QStringLiteral("3.33"));
    // Stopped while the texts are read: the same.
    log = WorkLog::Log();
    log.stopAt = 3;
    list.OnColumnClick(0);
    EXPECT_EQ(list.GetSortColumn(), 1);
    EXPECT_EQ(list.GetItemData(1001999), 3000001);
    ListWork::SetQuietTime(quiet);
}

// A list of long texts sorts by the whole texts while the sort holds only
// their beginnings, in half the list's bound shared by its rows: rows that
// begin alike are compared whole (without regard to case first, then by it),
// a whole text that another begins with comes first, and a cut never falls
// between the halves of a pair.
TEST_F(XListTest, LongTextsSortByTheirWholeTextsHoldingOnlyTheirBeginnings)
{
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // a pair of halves
    const struct
    {
        QString text;
        int key;
    } rows[] = {
        {QStringLiteral("A") + QString(1999, QLatin1Char('a')) + QStringLiteral("b"), 1},
        {QString(2000, QLatin1Char('a')) + QStringLiteral("a"), 2},
        {QString(2000, QLatin1Char('a')) + QStringLiteral("B"), 3},
        {QString(10, QLatin1Char('a')), 4},
        {QString(32, QLatin1Char('a')), 5},
        {QStringLiteral("Zebra") + QString(2000, QLatin1Char('y')), 6},
        {QStringLiteral("ab"), 7},
        {QString(31, QLatin1Char('a')) + smile + QString(100, QLatin1Char('z')), 8},
        {QString(31, QLatin1Char('a')) + smile + QString(100, QLatin1Char('y')), 9},
        {QString(2000, QLatin1Char('a')) + QStringLiteral("b"), 10},
        {QStringLiteral("ab"), 11}, // the same text as 7: after it, as filled
    };
    std::vector<std::vector<Value>> values;
    for (const auto &r : rows)
        values.push_back({Value(r.text), Value(r.key)});
    RowSourceStub src({{QStringLiteral("Note"), FieldType::Memo, 0}, {QStringLiteral("NoteID"), FieldType::Long, 4}},
                      values);
    CXListCtrl list;
    // Half the bound for 11 rows: 48 bytes and 32 letters of two bytes each.
    list.SetMostMemory(2 * 11 * (48 + 2 * 32));
    list.FillFromRecordset(src, QString());
    ASSERT_EQ(list.GetItemCount(), 11);
    const auto keys = [&list] {
        std::vector<std::int64_t> out;
        for (int r = 0; r < list.GetItemCount(); ++r)
            out.push_back(list.GetItemData(r));
        return out;
    };
    list.OnColumnClick(0); // the list's own sort column: the other way
    ASSERT_EQ(list.GetSortKind(), CXListCtrl::kSortText);
    if (list.IsSortDescending())
        list.OnColumnClick(0);
    ASSERT_FALSE(list.IsSortDescending());
    // 10 and 32 letters whole; then "a" 2,001 times before "Aa..ab" (equal
    // but for case) before "a..aB" and "a..ab" (the same but for the case of
    // their last letter: the capital first); the pair after every "a"; "ab"
    // twice in the order filled; "Zebra...".
    EXPECT_EQ(keys(), (std::vector<std::int64_t>{4, 5, 2, 1, 3, 10, 9, 8, 7, 11, 6}));
    // Held: 10 + 32 + 2 + 2 + 5 (32 letters of the long ones, 31 before a pair).
    EXPECT_EQ(list.LastSortHeldLetters(), std::size_t(10 + 32 + 2 + 2 + 5 * 32 + 2 * 31));
    list.OnColumnClick(0);
    EXPECT_EQ(keys(), (std::vector<std::int64_t>{6, 7, 11, 8, 9, 10, 3, 1, 2, 5, 4}));
}

// A user's saved query shows what it asks for: a count or a maximum the
// query works out is never taken for the rows' key and hidden; a table's
// whole-number column last is the key, as in the program's own lists.
TEST_F(XListTest, ASavedQueryShowsItsCountsAndMaximums)
{
    SharedDatabaseHolder holder;
    platform::Database &db = OpenThreeColumnTable(holder, tempPath(QStringLiteral("TavrelData.mdb")),
                                                  QStringLiteral("Orders"), QStringLiteral("Name"),
                                                  QStringLiteral("Price"), QStringLiteral("CusNo"));
    const struct
    {
        const char *name;
        int cusNo;
    } orders[] = {{"Cards", 7}, {"Flyers", 7}, {"Posters", 9}, {"Labels", 9}, {"Menus", 9}};
    for (const auto &o : orders)
        db.execute(QStringLiteral("INSERT INTO Orders (Name, Price, CusNo) VALUES (?, 1, ?)"),
                   {Value(QString::fromLatin1(o.name)), Value(o.cusNo)});
    const struct
    {
        const char *sql;
        QStringList shown; // the visible cells, row after row, "|" between them
        int key;           // the key column, -1 for none
        std::int64_t firstData;
    } cases[] = {
        {"SELECT Count(*) FROM Orders", {QStringLiteral("5")}, -1, 0},
        {"SELECT Max(CusNo) FROM Orders", {QStringLiteral("9")}, -1, 0},
        {"SELECT CusNo, Count(*) AS Orders FROM Orders GROUP BY CusNo ORDER BY CusNo",
         {QStringLiteral("7|2"), QStringLiteral("9|3")}, -1, 0},
        {"SELECT CusNo, Max(CusNo) * 2 AS Twice FROM Orders GROUP BY CusNo ORDER BY CusNo",
         {QStringLiteral("7|14"), QStringLiteral("9|18")}, -1, 0},
        // A table's column last is the rows' key, hidden.
        {"SELECT Name, CusNo FROM Orders WHERE Name = 'Posters'", {QStringLiteral("Posters")}, 1, 9},
        // A worked-out number whose name hides it is the key.
        {"SELECT Name, Len(Name) AS Size_HIDE FROM Orders WHERE Name = 'Menus'", {QStringLiteral("Menus")}, 1, 5},
    };
    CXListCtrl list;
    list.resize(400, 300);
    int n = 0;
    for (const auto &c : cases) {
        const QString name = QStringLiteral("Case %1").arg(++n);
        db.createQuery(name, QString::fromLatin1(c.sql));
        ASSERT_TRUE(list.FillFromQueryDef(name)) << c.sql;
        QStringList shown;
        for (int r = 0; r < list.GetItemCount(); ++r) {
            QStringList cells;
            for (int col = 0; col < list.GetColumnCount(); ++col)
                if (list.GetColumnWidth(col) > 0)
                    cells << list.GetItemText(r, col);
            shown << cells.join(QLatin1Char('|'));
        }
        EXPECT_EQ(shown, c.shown) << c.sql;
        EXPECT_EQ(list.GetKeyColumn(), c.key) << c.sql;
        if (c.key >= 0) {
            EXPECT_EQ(list.GetItemData(0), c.firstData) << c.sql;
        }
    }
}

// A saved query that cannot be shown says why, and nothing of the list
// shown before stays under its name.
TEST_F(XListTest, ASavedQueryThatCannotBeShownSaysWhyAndClearsTheList)
{
    SharedDatabaseHolder holder;
    platform::Database &db = OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    db.createQuery(QStringLiteral("Dear Jobs"), QStringLiteral("SELECT Name, Price FROM Jobs WHERE JobID <= 3"));
    // Saved by another program (the engine never saves such a text).
    ASSERT_EQ(sqlite3_exec(db.handle(), "INSERT INTO jet_queries (name, sql, type) VALUES ('Broken', 'SELECT Name FROM', 0)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    CXListCtrl list;
    list.resize(400, 300);
    for (const QString &name : {QStringLiteral("Broken"), QStringLiteral("Gone")}) {
        ASSERT_TRUE(list.FillFromQueryDef(QStringLiteral("Dear Jobs")));
        ASSERT_EQ(list.GetItemCount(), 3);
        prompts().clear();
        prompts().answer(platform::IDNO);
        prompts().answer(platform::IDOK);
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(list.FillFromQueryDef(name)) << name.toStdString();
        EXPECT_EQ(list.GetItemCount(), 0) << name.toStdString();
        EXPECT_EQ(list.GetColumnCount(), 0) << name.toStdString();
        ASSERT_FALSE(prompts().shown().isEmpty()) << name.toStdString() << " was refused without a word";
    }
    EXPECT_EQ(prompts().lastText(), QStringLiteral("The saved query \"Gone\" is no longer in the database."));
}

// A crosstab whose column headings take long: they are read beside the
// window too, with the progress window and its Stop; Stop ends them at
// once and the list stays empty.
TEST_F(XListTest, ACrosstabsSlowHeadingsShowProgressAndStop)
{
    SharedDatabaseHolder holder;
    OpenThousandsOfJobs(holder, tempPath(QStringLiteral("TavrelData.mdb")));
    QStringList shown;
    double cpuWhileAsked = -1;
    CXProgress::SetFactory([&] { return std::make_unique<AskingProgress>(shown, 2, cpuWhileAsked); });
    CXListCtrl list;
    list.resize(400, 300);
    QElapsedTimer took;
    took.start();
    list.FillFromUserSql(QStringLiteral("TRANSFORM Count(A.JobID) SELECT A.Name FROM Jobs AS A, Jobs AS B, Jobs AS C "
                                        "WHERE A.JobID + B.JobID + C.JobID = 5 GROUP BY A.Name PIVOT B.Price"));
    EXPECT_LT(took.elapsed(), 20000); // the headings alone would take minutes
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(0), QStringLiteral("Running the query [Stop]"));
    EXPECT_EQ(shown.at(1), QStringLiteral("Reading the column headings"));
    EXPECT_LT(cpuWhileAsked, 100.0) << "the headings were read on while the question was asked";
    EXPECT_EQ(platform::BesideRead::running(), 0);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetColumnCount(), 0);
}

namespace {

// Orders grouped by customer: each customer's first row takes the folder
// image, rows are banded, and the List Totals sum the money and the minutes.
RowSourceStub groupedOrders()
{
    struct Order
    {
        const char *customer;
        const char *job;
        int y, m, d;
        std::int64_t cents;
        int minutes;
        int id;
    };
    const Order orders[] = {
        {"Acme Printing", "Letterhead, 2 colours", 2011, 1, 5, 45000, 90, 1001},
        {"Acme Printing", "Business cards x 4 names", 2011, 1, 12, 18850, 30, 1002},
        {"Acme Printing", "Envelopes #10", 2011, 2, 1, 27500, 45, 1003},
        {"Bolt Supply", "Catalog, 48 pages", 2010, 12, 31, 1234567, 600, 1004},
        {"Bolt Supply", "Price sheets", 2011, 1, 20, 9900, 20, 1005},
        {"Cord & Co", "Raffle tickets", 2011, 3, 3, 7525, 15, 1006},
        {"Cord & Co", "Posters 18 x 24", 2011, 3, 9, 31200, 60, 1007},
        {"Cord & Co", "Door hangers", 2011, 3, 15, 14000, 25, 1008},
        {"Delta Dental", "Appointment cards", 2011, 4, 1, 8800, 15, 1009},
    };
    std::vector<std::vector<Value>> rows;
    for (const Order &o : orders)
        rows.push_back({Value(o.customer), Value(o.job), Value(DateTime(o.y, o.m, o.d)),
                        Value(Money::fromCents(o.cents)), Value(o.minutes), Value(o.id)});
    return RowSourceStub({{QStringLiteral("Customer"), FieldType::Text, 22},
                          {QStringLiteral("Job_w_190"), FieldType::Text, 40},
                          {QStringLiteral("Due"), FieldType::Date, 8},
                          {QStringLiteral("Amount"), FieldType::Currency, 8},
                          {QStringLiteral("Press Time"), FieldType::Long, 4},
                          {QStringLiteral("JobID"), FieldType::Long, 4}},
                         std::move(rows));
}

QString picturePath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

} // namespace

TEST_F(XListTest, GroupedListAndItsTotalsRenderOffscreen)
{
    CXListCtrl list;
    list.resize(720, 260);
    list.SetImageListAndStyle(131, 0, 0);
    list.SetDefaultImage(12, true); // an open folder on each customer's first row
    list.SetDrawStyle(1, 0x00F7EFE8, 0);
    RowSourceStub src = groupedOrders();
    list.FillFromRecordset(src, QString());
    list.SetAutoSizeMode(1, true);
    list.show();
    QCoreApplication::processEvents();

    EXPECT_EQ(list.GetItemImage(0), 12);
    EXPECT_EQ(list.GetItemImage(1), 255);
    EXPECT_EQ(list.GetItemImage(3), 12);

    const QPixmap shot = list.grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(picturePath(QStringLiteral("xlist-grouped.png"))));

    QPixmap totals;
    prompts().onDialog([&](QDialog &d) {
        d.adjustSize();
        totals = d.grab();
        return int(QDialog::Accepted);
    });
    list.ShowTotals();
    ASSERT_FALSE(totals.isNull());
    EXPECT_TRUE(totals.save(picturePath(QStringLiteral("xlist-totals.png"))));
    const auto rows = list.TotalsRows();
    EXPECT_EQ(rows.at(3).second, QStringLiteral("13,973.42"));
    EXPECT_EQ(rows.at(4).second, QStringLiteral("15:00"));
}

// An empty date field's value (day 0) shows empty in a list; other dates as
// month, day and year.
TEST(ListValueText, DayZeroIsAnEmptyDate)
{
    EXPECT_EQ(CXRowSource::ValueText(platform::Value(DateTime(0.0))), QString());
    EXPECT_EQ(CXRowSource::ValueText(platform::Value(DateTime(2024, 6, 20))), QStringLiteral("06/20/2024"));
    EXPECT_EQ(CXRowSource::ValueText(platform::Value(DateTime(-1.0))), QStringLiteral("12/29/1899"));
}
