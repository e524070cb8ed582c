#include "RowSourceStub.h"

#include "controls/CXProgress.h"
#include "controls/CXRecordsetSource.h"
#include "controls/CXTable.h"

#include "app/base/SharedDatabaseHolder.h"
#include "platform/db/Database.h"
#include "support/TestEnvironment.h"
#include "support/TestFiles.h"

#include "Printers.h"

#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QProcess>

using platform::FieldType;
using platform::Value;
using Field = RowSourceStub::Field;

namespace {

Money cents(std::int64_t c)
{
    return Money::fromCents(c);
}

// A progress window that records what it is told and stops after a number of steps.
struct ProgressLog
{
    int stopAfter = -1;
    int steps = 0;
    int total = 0;
    QStringList texts;
};

class RecordingProgress : public CXProgress
{
public:
    explicit RecordingProgress(ProgressLog &log) : m_log(log) {}
    void Start(int total, const QString &title, bool, bool, const QString &) override
    {
        m_running = true;
        m_log.total = total;
        m_log.texts << title;
    }
    bool Step(const QString &) override
    {
        if (!m_running)
            return false;
        ++m_log.steps;
        if (m_log.stopAfter >= 0 && m_log.steps >= m_log.stopAfter)
            m_running = false;
        return m_running;
    }
    void SetMessage(const QString &text, bool) override { m_log.texts << text; }
    bool IsRunning() const override { return m_running; }

private:
    ProgressLog &m_log;
    bool m_running = false;
};

class XTableTest : public TavrelTest
{
protected:
    void TearDown() override
    {
        CXProgress::SetFactory({});
        TavrelTest::TearDown();
    }

    // Customer (grouping), Item, Amount, Unit Price, Quantity.
    RowSourceStub salesSource(const QStringList &customers)
    {
        std::vector<std::vector<Value>> rows;
        int n = 0;
        for (const QString &c : customers) {
            ++n;
            rows.push_back({Value(c), Value(QStringLiteral("Item %1").arg(n)), Value(cents(n * 10000 + 50)),
                            Value(cents(199)), Value(std::int64_t(n * 1000), FieldType::Long)});
        }
        return RowSourceStub({{QStringLiteral("Customer__PARENT"), FieldType::Text, 30},
                              {QStringLiteral("Item"), FieldType::Text, 20},
                              {QStringLiteral("Amount"), FieldType::Currency, 8},
                              {QStringLiteral("Unit Price"), FieldType::Currency, 8},
                              {QStringLiteral("Quantity"), FieldType::Long, 4}},
                             std::move(rows));
    }

    // One money column "Sales" over n rows of 1.00, 2.00, ...
    RowSourceStub numberedSource(int n)
    {
        std::vector<std::vector<Value>> rows;
        for (int i = 1; i <= n; ++i)
            rows.push_back({Value(QStringLiteral("Row %1").arg(i)), Value(QStringLiteral("x")), Value(cents(i * 100))});
        return RowSourceStub({{QStringLiteral("Name"), FieldType::Text, 20},
                              {QStringLiteral("Note"), FieldType::Text, 20},
                              {QStringLiteral("Sales"), FieldType::Currency, 8}},
                             std::move(rows));
    }
};

} // namespace

TEST_F(XTableTest, CellsKeepNumbersAndAmountsBesideTheirTexts)
{
    CXTable t;
    t.SetSize(2, 5);
    t.SetColumnName(0, QStringLiteral("Setup Time"), 8, 4);
    t.SetColumnName(1, QStringLiteral("Quantity"), 8, 4);
    t.SetCurrencyColumn(2, QStringLiteral("Amount"));
    t.SetColumnName(3, QStringLiteral("Name"), 20, 10);
    t.SetColumnName(4, QStringLiteral("Number"), 8, 4);

    t.SetCellLong(0, 0, 135);
    t.SetCellText(0, 1, QStringLiteral("12345"));
    t.SetCellCurrency(0, 2, Money::fromUnits(12345675)); // 1,234.5675
    t.SetCellLong(0, 4, 7);
    EXPECT_EQ(t.GetCellText(0, 0), QStringLiteral("2:15"));
    EXPECT_EQ(t.GetCellText(0, 1), QStringLiteral("12,345"));
    EXPECT_EQ(t.GetCellLong(0, 1), 12345);
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("1,234.57"));
    EXPECT_EQ(t.GetCellValue(0, 2), Money::fromUnits(12345675));
    EXPECT_EQ(t.GetCellText(0, 4), QStringLiteral("7"));

    t.SetShowZeros(false);
    t.SetCellLong(1, 1, 0);
    t.SetCellCurrency(1, 2, Money());
    EXPECT_EQ(t.GetCellText(1, 1), QString());
    EXPECT_EQ(t.GetCellLong(1, 1), 0);
    EXPECT_EQ(t.GetCellText(1, 2), QString());

    t.m_moneyDecimals = 4;
    t.SetShowZeros(true);
    t.SetCellCurrency(1, 2, Money::fromUnits(-12345675));
    EXPECT_EQ(t.GetCellText(1, 2), QStringLiteral("-1,234.5675"));

    // Outside the table: setters do nothing, readers give the empty value.
    t.SetCellText(5, 0, QStringLiteral("x"));
    t.SetCellText(0, 9, QStringLiteral("x"));
    EXPECT_EQ(t.GetCellText(5, 0), QString());
    EXPECT_EQ(t.GetCellLong(-1, 0), 0);
    EXPECT_EQ(t.GetCellFormat(9, 0), -1);
    EXPECT_EQ(t.GetCellValue(0, 9), Money());
}

TEST_F(XTableTest, LoadedValuesShowAsTheirTexts)
{
    CXTable t;
    t.SetShowZeros(false); // acts on stored numbers only, never on a query's whole numbers
    RowSourceStub src({{QStringLiteral("JobNo"), FieldType::Long, 4},
                       {QStringLiteral("Press Time"), FieldType::Long, 4},
                       {QStringLiteral("Note"), FieldType::Memo, 0},
                       {QStringLiteral("Date In"), FieldType::Date, 8},
                       {QStringLiteral("Kind"), FieldType::Byte, 1}},
                      {{Value(-42), Value(135), Value(QStringLiteral("first line\r\nsecond"), FieldType::Memo),
                        Value(DateTime::fromDate(QDate(2024, 3, 7))), Value(std::int64_t(0), FieldType::Byte)},
                       {Value::nullOf(FieldType::Long), Value(0), Value(QStringLiteral("one\nline")),
                        Value::nullOf(FieldType::Date), Value(std::int64_t(255), FieldType::Byte)}});
    t.LoadRecordset(src, CXTable::TotalsNone, 2, QString());
    ASSERT_EQ(t.GetRowCount(), 2);
    EXPECT_EQ(t.GetCellText(0, 0), QStringLiteral("-42"));
    EXPECT_EQ(t.GetCellLong(0, 0), -42);
    EXPECT_EQ(t.GetCellText(0, 1), QStringLiteral("2:15"));
    EXPECT_EQ(t.GetCellLong(0, 1), 135);
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("first line"));
    EXPECT_EQ(t.GetCellText(0, 3), QStringLiteral("03/07/2024"));
    EXPECT_EQ(t.GetCellText(0, 4), QStringLiteral("0"));
    EXPECT_EQ(t.GetCellText(1, 0), QString());
    EXPECT_EQ(t.GetCellText(1, 1), QString());
    EXPECT_EQ(t.GetCellText(1, 2), QStringLiteral("one"));
    // A memo shows its first line and keeps every line for printing and
    // exporting, each break one "\n"; a text of one line is the same both ways.
    EXPECT_EQ(t.GetCellFullText(0, 2), QStringLiteral("first line\nsecond"));
    EXPECT_EQ(t.GetCellFullText(1, 2), QStringLiteral("one\nline"));
    EXPECT_EQ(t.GetCellFullText(0, 3), QStringLiteral("03/07/2024"));
    // A text set on a memo's cell is shown and printed as it is set.
    t.SetCellText(1, 2, QStringLiteral("set\ntext"));
    EXPECT_EQ(t.GetCellText(1, 2), QStringLiteral("set\ntext"));
    EXPECT_EQ(t.GetCellFullText(1, 2), QStringLiteral("set\ntext"));
    EXPECT_EQ(t.GetCellText(1, 3), QString());
    EXPECT_EQ(t.GetCellText(1, 4), QStringLiteral("255"));
    EXPECT_EQ(t.FindRowByLong(-42, 0), 0);

    // A query's whole number in a column of texts is no stored number.
    t.ReplaceCellText(0, 1, 4, 4, QStringLiteral("255"), QStringLiteral("all"), false);
    EXPECT_EQ(t.GetCellText(1, 4), QStringLiteral("all"));
    t.SetColumnType(0, 31);
    t.SetColumnType(4, 31);
    EXPECT_EQ(t.GetCellLong(0, 0), 0);
    EXPECT_EQ(t.GetCellLong(1, 4), 0);
}

TEST_F(XTableTest, RowsInsertAndRemoveWholeRowsOfCells)
{
    CXTable t;
    t.SetSize(3, 2);
    for (int r = 0; r < 3; ++r)
        t.SetCellText(r, 1, QStringLiteral("r%1").arg(r));
    t.InsertRow(1, CXTable::RowSpecial);
    EXPECT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(t.GetCellText(1, 1), QString());
    EXPECT_EQ(t.GetCellText(2, 1), QStringLiteral("r1"));
    EXPECT_EQ(t.GetDataRowCount(), 3);
    t.RemoveRow(-1);
    EXPECT_EQ(t.GetCellText(2, 1), QStringLiteral("r1"));
    EXPECT_EQ(t.GetRowCount(), 3);
    EXPECT_EQ(t.SetCellTextGrow(QStringLiteral("grown"), 0, 1, CXTable::RowSeparator), 4);
    EXPECT_EQ(t.GetCellText(3, 1), QStringLiteral("grown"));
    EXPECT_TRUE(t.IsRowFlag128(3));

    t.SetCellText(1, 0, QStringLiteral("0.00"));
    t.SetCellText(2, 0, QStringLiteral("0.00"));
    t.ReplaceCellText(0, -1, 0, 1, QStringLiteral("0.00"), QString(), true);
    EXPECT_EQ(t.GetCellText(1, 0), QString());        // a special row
    EXPECT_EQ(t.GetCellText(2, 0), QStringLiteral("0.00"));
}

TEST_F(XTableTest, OneTotalRowSumsMoneyButNotUnitPricesOrQuantities)
{
    CXTable t;
    RowSourceStub src = salesSource({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    // No grouping column: drop the marker from the first field.
    RowSourceStub plain({{QStringLiteral("Customer"), FieldType::Text, 30},
                         {QStringLiteral("Item"), FieldType::Text, 20},
                         {QStringLiteral("Amount"), FieldType::Currency, 8},
                         {QStringLiteral("Unit Price"), FieldType::Currency, 8},
                         {QStringLiteral("Quantity"), FieldType::Long, 4},
                         {QStringLiteral("AvgPrice"), FieldType::Currency, 8}},
                        {{Value("A"), Value("i"), Value(cents(100050)), Value(cents(199)), Value(1000), Value(cents(50))},
                         {Value("B"), Value("i"), Value(cents(200050)), Value(cents(199)), Value(2000), Value(cents(25))},
                         {Value("C"), Value("i"), Value(cents(300050)), Value(cents(199)), Value(3000), Value(cents(1))}});
    t.LoadRecordset(plain, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    ASSERT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(t.GetRowFlags(3), CXTable::RowSpecial);
    EXPECT_EQ(t.GetCellText(3, 0), QStringLiteral("Total"));
    EXPECT_EQ(t.GetCellValue(3, 2), cents(600150));
    EXPECT_EQ(t.GetCellText(3, 2), QStringLiteral("6,001.50"));
    EXPECT_EQ(t.GetCellText(3, 3), QString());
    EXPECT_EQ(t.GetCellText(3, 4), QString());
    EXPECT_EQ(t.GetCellText(3, 5), QString()); // an average: 0.50 + 0.25 + 0.01 is no figure
    EXPECT_EQ(t.GetColumnType(4), 33);
    EXPECT_EQ(t.GetCellText(1, 4), QStringLiteral("2,000"));
    EXPECT_EQ(t.GetTotalRowIndex(), 3);
    EXPECT_EQ(t.m_filterText, QStringLiteral("Filter: Kind = 1"));
    EXPECT_EQ(t.GetRecordCount(), 3);
}

TEST_F(XTableTest, GroupedLoadInsertsSubtotalsAndAGrandTotal)
{
    CXTable t;
    RowSourceStub src = salesSource({QStringLiteral("Acme"), QStringLiteral("Acme"), QStringLiteral("Bolt"),
                                     QStringLiteral("Bolt"), QStringLiteral("Bolt")});
    t.LoadRecordset(src, CXTable::TotalsOneRow, 2, QStringLiteral("Grand Total"));
    EXPECT_EQ(t.m_totalMode, CXTable::TotalsPerGroup);
    EXPECT_EQ(t.m_parentColumn, 0);
    ASSERT_EQ(t.GetRowCount(), 8);
    // Every group's subtotal is flagged alike, the last one's too.
    const std::uint32_t expected[] = {0x20, 0, 0x3, 0x20, 0, 0, 0x3, 0x3};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(t.GetRowFlags(r), expected[r]) << "row " << r;
    EXPECT_EQ(t.GetCellText(0, 0), QStringLiteral("Acme"));
    EXPECT_EQ(t.GetCellText(1, 0), QString());
    EXPECT_EQ(t.GetCellText(3, 0), QStringLiteral("Bolt"));
    EXPECT_EQ(t.GetCellText(4, 0), QString());
    EXPECT_EQ(t.GetCellText(4, 1), QStringLiteral("Item 4"));
    // 100.50 + 200.50, then 300.50 + 400.50 + 500.50.
    EXPECT_EQ(t.GetCellValue(2, 2), cents(30100));
    EXPECT_EQ(t.GetCellValue(6, 2), cents(120150));
    EXPECT_EQ(t.GetCellValue(7, 2), cents(150250));
    EXPECT_EQ(t.GetCellText(7, 1), QStringLiteral("Grand Total"));
    EXPECT_EQ(t.GetDataRowCount(), 5);
}

TEST_F(XTableTest, UntotalledGroupsGetSeparatorRows)
{
    CXTable t;
    RowSourceStub src = salesSource({QStringLiteral("Acme"), QStringLiteral("Bolt"), QStringLiteral("Bolt")});
    t.LoadRecordset(src, CXTable::TotalsNone, 2, QString());
    EXPECT_EQ(t.m_totalMode, CXTable::TotalsSeparated);
    ASSERT_EQ(t.GetRowCount(), 4);
    EXPECT_TRUE(t.IsRowFlag128(1));
    EXPECT_TRUE(t.IsRowFlag32(2));
    EXPECT_EQ(t.GetTotalRowIndex(), -1);
}

TEST_F(XTableTest, EmptyQueryGivesAnEmptyTable)
{
    CXTable t;
    RowSourceStub src({{QStringLiteral("A"), FieldType::Text, 10}}, {});
    t.LoadRecordset(src, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    EXPECT_EQ(t.GetRowCount(), 0);
    EXPECT_EQ(t.GetColumnCount(), 0);
}

TEST_F(XTableTest, RankBandsSubtotalTheLeadingRows)
{
    {
        CXTable t;
        RowSourceStub src = numberedSource(30);
        t.LoadRecordset(src, CXTable::TotalsRankBands, 2, QStringLiteral("Total"));
        // 30 rows, bands after the 10th and 25th, the last band and the total.
        ASSERT_EQ(t.GetRowCount(), 34);
        EXPECT_EQ(t.GetCellText(10, 0), QStringLiteral("TOP 1 to 10"));
        EXPECT_EQ(t.GetCellValue(10, 2), cents(5500));
        EXPECT_EQ(t.GetCellText(26, 0), QStringLiteral("TOP 11 to 25"));
        EXPECT_EQ(t.GetCellValue(26, 2), cents(27000));
        EXPECT_EQ(t.GetCellValue(32, 2), cents(14000)); // rows 26..30
        EXPECT_EQ(t.GetCellText(32, 0), QString());
        EXPECT_EQ(t.GetRowFlags(33), 0x3u);
        EXPECT_EQ(t.GetCellValue(33, 2), cents(46500));
        EXPECT_EQ(t.GetCellText(33, 1), QStringLiteral("Total"));
    }
    // Rows that end exactly at a band's end leave no empty band before the
    // grand total. Each total row reads "row:flags:label:sum".
    struct Case
    {
        int rows;
        QStringList totals;
    };
    const Case cases[] = {
        {10, {"10:1:TOP 1 to 10:55.00", "11:3::55.00"}},
        {25, {"10:1:TOP 1 to 10:55.00", "26:1:TOP 11 to 25:270.00", "27:3::325.00"}},
        {26, {"10:1:TOP 1 to 10:55.00", "26:1:TOP 11 to 25:270.00", "28:1::26.00", "29:3::351.00"}},
    };
    for (const Case &k : cases) {
        CXTable t;
        RowSourceStub src = numberedSource(k.rows);
        t.LoadRecordset(src, CXTable::TotalsRankBands, 2, QString());
        QStringList totals;
        for (int r = 0; r < t.GetRowCount(); ++r) {
            if (t.IsSpecialRow(r))
                totals << QStringLiteral("%1:%2:%3:%4").arg(r).arg(t.GetRowFlags(r)).arg(t.GetCellText(r, 0), t.GetCellText(r, 2));
        }
        EXPECT_EQ(totals, k.totals) << k.rows << " rows: " << qPrintable(totals.join(QStringLiteral(" / ")));
    }
    {
        CXTable t;
        RowSourceStub src = numberedSource(9);
        t.LoadRecordset(src, CXTable::TotalsRankBands, 2, QString());
        ASSERT_EQ(t.GetRowCount(), 11);
        EXPECT_EQ(t.GetCellValue(9, 2), cents(4500));
        EXPECT_EQ(t.GetCellValue(10, 2), cents(4500));
    }
}

TEST_F(XTableTest, CancelledLoadKeepsReadRowsAndEndsOnTheTotal)
{
    ProgressLog full;
    CXProgress::SetFactory([&full] { return std::make_unique<RecordingProgress>(full); });
    CXTable t;
    RowSourceStub all = numberedSource(600);
    t.LoadRecordset(all, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    EXPECT_EQ(full.total, 600);
    EXPECT_EQ(full.steps, 600);
    EXPECT_EQ(full.texts, (QStringList{QStringLiteral("Found %s records"), QStringLiteral("Calculating")}));
    EXPECT_EQ(t.GetRowCount(), 601);

    ProgressLog log;
    log.stopAfter = 100;
    CXProgress::SetFactory([&log] { return std::make_unique<RecordingProgress>(log); });
    RowSourceStub src = numberedSource(600);
    t.Reset();
    t.LoadRecordset(src, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    EXPECT_EQ(log.texts, (QStringList{QStringLiteral("Found %s records")}));
    ASSERT_EQ(t.GetRowCount(), 101);
    EXPECT_EQ(t.GetTotalRowIndex(), 100);
    EXPECT_EQ(t.GetCellValue(100, 2), cents(505000)); // 1.00 + ... + 100.00
    EXPECT_EQ(t.GetCellText(99, 0), QStringLiteral("Row 100"));

    // 500 records or fewer show no progress window.
    ProgressLog quiet;
    CXProgress::SetFactory([&quiet] { return std::make_unique<RecordingProgress>(quiet); });
    RowSourceStub small = numberedSource(500);
    t.Reset();
    t.LoadRecordset(small, CXTable::TotalsNone, 2, QString());
    EXPECT_TRUE(quiet.texts.isEmpty());
    EXPECT_EQ(t.GetRowCount(), 500);
}

TEST_F(XTableTest, MoneySuffixOnTextKeepsTheAmount)
{
    CXTable t;
    RowSourceStub src({{QStringLiteral("Name"), FieldType::Text, 20}, {QStringLiteral("Due_C"), FieldType::Text, 20}},
                      {{Value("a"), Value("1234.5")}, {Value("b"), Value("not a number")}});
    t.LoadRecordset(src, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    EXPECT_EQ(t.GetColumnType(1), 5);
    EXPECT_EQ(t.GetCellText(0, 1), QStringLiteral("1,234.50"));
    EXPECT_EQ(t.GetCellText(1, 1), QStringLiteral("not a number"));
    EXPECT_EQ(t.GetCellValue(2, 1), cents(123450));
}

TEST_F(XTableTest, ComputedColumnsWorkOnStoredAmountsAndNumbers)
{
    CXTable t;
    // Sales, cost and minutes, then computed: a rate per hour, sales as a
    // percentage of cost, margin, product, change, a range sum and the share
    // of the total.
    RowSourceStub src(
        {{QStringLiteral("Name"), FieldType::Text, 10},
         {QStringLiteral("Sales"), FieldType::Currency, 8},
         {QStringLiteral("Cost"), FieldType::Currency, 8},
         {QStringLiteral("Setup Time"), FieldType::Long, 4},
         {QStringLiteral("Per Hour}1/3"), FieldType::Double, 8},
         {QStringLiteral("Sales % Cost}1/2"), FieldType::Double, 8},
         {QStringLiteral("Margin}tP1-2"), FieldType::Double, 8},
         {QStringLiteral("Product}1*2"), FieldType::Double, 8},
         {QStringLiteral("Change}c1%2"), FieldType::Double, 8},
         {QStringLiteral("All}1~2"), FieldType::Double, 8},
         {QStringLiteral("Share}1%1"), FieldType::Double, 8}},
        {{Value("a"), Value(cents(246800)), Value(cents(123400)), Value(90), Value(0.0), Value(0.0), Value(0.0),
          Value(0.0), Value(0.0), Value(0.0), Value(0.0)},
         {Value("b"), Value(Money()), Value(cents(100)), Value(0), Value(0.0), Value(0.0), Value(0.0), Value(0.0),
          Value(0.0), Value(0.0), Value(0.0)}});
    t.LoadRecordset(src, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    ASSERT_EQ(t.GetRowCount(), 3);
    EXPECT_EQ(t.GetColumnName(4), QStringLiteral("Per Hour"));
    // 2,468.00 over 90 minutes (1.5 hours).
    EXPECT_EQ(t.GetCellValue(0, 4), Money::fromUnits(16453333));
    // 2,468.00 over 1,234.00: divided by a hundredth of the amount, never by
    // the "1" that the grouped text "1,234.00" starts with.
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("1,234.00"));
    EXPECT_EQ(t.GetCellValue(0, 5), cents(20000));
    EXPECT_EQ(t.GetCellValue(1, 5), Money());
    EXPECT_EQ(t.GetCellValue(0, 6), cents(123400));
    EXPECT_EQ(t.GetCellValue(1, 6), cents(-100));
    EXPECT_EQ(t.m_tColumn, 6);
    EXPECT_TRUE(t.IsColumnFlagged(6));
    EXPECT_EQ(t.GetCellValue(0, 7), Money::fromWhole(3045512)); // 2468 x 1234
    EXPECT_EQ(t.GetCellText(0, 8), QStringLiteral("200.0%"));
    EXPECT_EQ(t.GetCellText(1, 8), QString());
    EXPECT_EQ(t.m_cColumn, 8);
    EXPECT_EQ(t.m_changeColumn, 8);
    EXPECT_EQ(t.GetCellValue(0, 9), cents(370200));
    // Each row's share of the total row.
    EXPECT_EQ(t.GetCellText(0, 10), QStringLiteral("100.0%"));
    EXPECT_EQ(t.GetCellText(1, 10), QString());
    EXPECT_EQ(t.GetCellText(2, 10), QStringLiteral("100.0%"));
}

TEST_F(XTableTest, NumberQuotientsAndShareOfAZeroTotal)
{
    CXTable t;
    t.SetSize(3, 4);
    t.SetColumnName(0, QStringLiteral("Qty Sold"), 8, 4);
    t.SetColumnName(1, QStringLiteral("Job Count"), 8, 4);
    t.SetColumnName(2, QStringLiteral("Avg"), 8, 7);
    t.SetCurrencyColumn(3, QStringLiteral("Sales"));
    t.SetCellLong(0, 0, 2500);
    t.SetCellLong(0, 1, 1000);
    t.SetCellLong(1, 0, 5);
    t.SetQuotientColumn(0, 2, 0, 1, 2);
    // 2,500 over 1,000 from the stored counts, not from the texts "2,500" and "1,000".
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("2.5"));
    EXPECT_EQ(t.GetCellText(1, 2), QString());
    t.SetRatioColumn(0, 2, 0, 1, 2);
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("250.0%"));

    t.SetCellCurrency(0, 3, cents(500));
    t.SetCellText(1, 2, QStringLiteral("kept"));
    t.SetRatioColumn(0, 2, 3, 3, 2); // the total row (row 2) holds zero
    EXPECT_EQ(t.GetCellText(1, 2), QStringLiteral("kept"));
    t.SetPercentOfTotal(0, 1, 2, 3, 2);
    EXPECT_EQ(t.GetCellText(1, 2), QStringLiteral("kept"));
    t.SetCellCurrency(2, 3, cents(2000));
    t.SetPercentOfTotal(0, 1, 2, 3, 2);
    EXPECT_EQ(t.GetCellText(0, 2), QStringLiteral("25.0%"));
    EXPECT_EQ(t.GetCellText(1, 2), QStringLiteral("kept"));
}

TEST_F(XTableTest, PercentTexts)
{
    EXPECT_EQ(CXTable::FormatPercent(12.5), QStringLiteral("999+%"));
    EXPECT_EQ(CXTable::FormatPercent(-9.5), QStringLiteral("-999+%"));
    EXPECT_EQ(CXTable::FormatPercent(-0.5), QStringLiteral("-50.0%"));
    EXPECT_EQ(CXTable::FormatPercent(9.0), QStringLiteral("900.0%"));
    EXPECT_EQ(CXTable::FormatPercent(0.1234), QStringLiteral("12.3%"));
}

TEST_F(XTableTest, RanksShareTiesAndSkipZeros)
{
    CXTable t;
    t.SetSize(6, 6);
    t.SetCurrencyColumn(0, QStringLiteral("Sales"));
    for (int c = 1; c < 6; ++c)
        t.SetColumnName(c, QStringLiteral("N%1").arg(c), 8, 4);
    const std::int64_t units[] = {50000, 90000, 90000, 1, 70000, 0};
    for (int r = 0; r < 6; ++r)
        t.SetCellCurrency(r, 0, Money::fromUnits(units[r]));
    t.SetRowFlags(5, CXTable::RowSpecial);
    t.SetCellCurrency(5, 0, Money::fromUnits(999999));

    t.SetRankColumn(0, 1, false);
    EXPECT_EQ(t.GetCellLong(0, 1), 4);
    EXPECT_EQ(t.GetCellLong(1, 1), 1);
    EXPECT_EQ(t.GetCellLong(2, 1), 1);
    EXPECT_EQ(t.GetCellLong(3, 1), 0);
    EXPECT_EQ(t.GetCellLong(4, 1), 3);
    EXPECT_EQ(t.GetCellText(5, 1), QString()); // special rows are not ranked

    t.SetRankColumn(0, 2, true);
    EXPECT_EQ(t.GetCellLong(0, 2), 1);
    EXPECT_EQ(t.GetCellLong(3, 2), 0);
    EXPECT_EQ(t.GetCellLong(4, 2), 4);

    t.SetRankColumns(0, 0, 3, 4, 5);
    EXPECT_EQ(t.GetCellLong(3, 3), 0); // the 0.0001 row has no position
    EXPECT_EQ(t.GetCellLong(3, 4), 0);
    EXPECT_EQ(t.GetCellLong(3, 5), 0);
    EXPECT_EQ(t.GetCellLong(4, 3), 4);
    EXPECT_EQ(t.GetCellLong(4, 4), 3);
    EXPECT_EQ(t.GetCellLong(4, 5), -1);
}

// A comparison by period: rows in the order of this period's amounts, largest
// first, placed by that order and ranked by last period's amounts. A row
// without this period's amount has no place, and so no change in rank.
TEST_F(XTableTest, RanksOfTwoPeriodsPlaceOnlyThisPeriodsAmounts)
{
    struct Case
    {
        std::int64_t thisPeriod, lastPeriod;
        int position, rank, change;
    };
    const Case cases[] = {
        {3000000, 1000000, 1, 3, 2},
        {2000000, 0, 2, 0, 0},
        {1, 2500000, 0, 1, 0}, // within the zero tolerance
        {0, 2500000, 0, 1, 0},
        {-500000, 800000, 3, 4, 1}, // a credit still has its place
    };
    const int n = int(std::size(cases));
    CXTable t;
    t.SetSize(n + 1, 5);
    t.SetCurrencyColumn(0, QStringLiteral("This Period"));
    t.SetCurrencyColumn(1, QStringLiteral("Last Period"));
    for (int c = 2; c < 5; ++c)
        t.SetColumnName(c, QStringLiteral("N%1").arg(c), 8, 4);
    for (int r = 0; r < n; ++r) {
        t.SetCellCurrency(r, 0, Money::fromUnits(cases[r].thisPeriod));
        t.SetCellCurrency(r, 1, Money::fromUnits(cases[r].lastPeriod));
    }
    t.SetRowFlags(n, CXTable::RowSpecial);
    t.SetCellCurrency(n, 0, Money::fromUnits(4500001));
    t.SetCellCurrency(n, 1, Money::fromUnits(7050000));

    t.SetRankColumns(0, 1, 2, 3, 4);
    for (int r = 0; r < n; ++r) {
        EXPECT_EQ(t.GetCellLong(r, 2), cases[r].position) << r;
        EXPECT_EQ(t.GetCellLong(r, 3), cases[r].rank) << r;
        EXPECT_EQ(t.GetCellLong(r, 4), cases[r].change) << r;
    }
    EXPECT_EQ(t.GetCellText(n, 2), QString()); // the total row is not placed
}

TEST_F(XTableTest, RunningSubtotals)
{
    CXTable t;
    t.SetSize(6, 3);
    t.SetCurrencyColumn(0, QStringLiteral("Amount"));
    t.SetCurrencyColumn(1, QStringLiteral("Running"));
    t.SetCurrencyColumn(2, QStringLiteral("Copy"));
    const int amounts[] = {100, 200, 0, 300, 400, 0};
    for (int r = 0; r < 6; ++r) {
        t.SetCellCurrency(r, 0, cents(amounts[r]));
        t.SetCellCurrency(r, 2, cents(amounts[r]));
    }
    t.SetRowFlags(2, CXTable::RowSpecial);
    t.SetRowFlags(5, CXTable::RowSpecial);
    t.SetRunningSubtotals(0, -1, 0, 1);
    EXPECT_EQ(t.GetCellValue(1, 1), cents(300));
    EXPECT_EQ(t.GetCellValue(2, 1), cents(300));
    EXPECT_EQ(t.GetCellValue(3, 1), cents(300));
    EXPECT_EQ(t.GetCellValue(4, 1), cents(700));
    EXPECT_EQ(t.GetCellValue(5, 1), cents(1000));

    t.SetRunningSubtotals2(0, -1, 2);
    EXPECT_EQ(t.GetCellValue(1, 2), cents(200));
    EXPECT_EQ(t.GetCellValue(2, 2), cents(300));
    EXPECT_EQ(t.GetCellValue(5, 2), cents(1000));
}

TEST_F(XTableTest, SelectionMarksDataRowsOnly)
{
    CXTable t;
    t.SetSize(4, 2);
    t.SetColumnName(1, QStringLiteral("HIDE_KEY"), 8, 4);
    for (int r = 0; r < 4; ++r)
        t.SetCellText(r, 1, QString::number(100 + r));
    t.SetRowFlags(3, CXTable::RowSpecial);
    EXPECT_EQ(t.GetRowKey(2), 102);
    EXPECT_EQ(t.GetRowKey(9), 0);
    EXPECT_EQ(t.FindRowByLong(101), 1);
    EXPECT_EQ(t.FindRowByLong(103), -1);
    EXPECT_EQ(t.FindRowByLong(101, 7), -1);
    EXPECT_EQ(t.SelectRow(0), 1);
    EXPECT_EQ(t.SelectRow(0), 1);
    t.ToggleRowSelection(0, 0);
    EXPECT_FALSE(t.IsRowMarked(0));
    t.ToggleRowSelection(3, 256);
    EXPECT_FALSE(t.IsRowMarked(3));
    t.SelectAll(true);
    EXPECT_EQ(t.GetMarkedRowCount(), 3);
    EXPECT_EQ(t.m_selectionMade, 1);
    t.SelectAll(false);
    EXPECT_EQ(t.GetMarkedRowCount(), 0);
}

TEST_F(XTableTest, ColumnsFitTheRectangle)
{
    CXTable t;
    t.SetSize(0, 3);
    t.SetColumnCharWidth(0, 10);
    t.SetColumnCharWidth(1, 5);
    t.SetColumnCharWidth(2, 8);
    QRect r(0, 0, 333, 100);
    const double scale = t.CalcColumnWidths(r, 7, 0);
    EXPECT_NEAR(scale, 333.0 / 175.0, 1e-9);
    EXPECT_EQ(t.GetColumnWidth(0), 146);
    EXPECT_EQ(t.GetColumnWidth(1), 79);
    EXPECT_EQ(t.GetColumnWidth(2), 106);
    EXPECT_EQ(r.width(), 331);

    t.SetSpecialColumns(1, -1, -1);
    r = QRect(0, 0, 333, 100);
    t.CalcColumnWidths(r, 7, 0);
    EXPECT_EQ(t.GetColumnWidth(1), 81);
    EXPECT_EQ(r.width(), 333);

    r = QRect(10, 0, 333, 100);
    t.CalcColumnWidths(r, 7, 1);
    EXPECT_EQ(r.left(), 11);
    EXPECT_EQ(r.width(), 331);

    // Measured at 7 pixels a letter and 6 of margins, columns scaled to
    // 146, 79, 106 (as above) give what a too narrow one lacks from their
    // surplus over their content, in proportion to it.
    struct Fit
    {
        const char *cells[3];
        int moneyColumn;
        int dateColumn;
        int widths[3];
    };
    const Fit fits[] = {
        // Column 1 needs 14 x 7 + 6 = 104, 25 more; the surplus is 126 and
        // 44: 126 x 25 / 170 = 18.5 and 44 x 25 / 170 = 6.5 given (whole
        // pixels), the last giver takes the rounding: 128, 104, 101.
        {{"ab", "abcdefghijklmn", "1,234.00"}, -1, -1, {128, 104, 101}},
        // Column 1 needs 300 (42 letters), 221 more than its 79, while the
        // others hold only 126 + 44 = 170 over their needs: the money column
        // keeps its 62, the texts share the other 271 by their needs 20 and
        // 300 (16.9 and 254.1), the last of them takes the rounding pixel.
        {{"ab", "abcdefghijklmnopqrstuvwxyzabcdefghijklmnop", "1,234.00"}, 2, -1, {16, 255, 62}},
        // Money (90) first, then the date (76) stay whole: 166 of 333; the
        // 30-letter text (216) takes the other 167.
        {{"abcdefghijklmnopqrstuvwxyzabcd", "01/01/2026", "1,234,567.00"}, 2, 1, {167, 76, 90}},
        // Every column fits its content: the scaled widths stay.
        {{"ab", "abc", "1.00"}, -1, -1, {146, 79, 106}},
    };
    for (const Fit &f : fits) {
        CXTable fit;
        fit.SetSize(1, 3);
        fit.SetColumnCharWidth(0, 10);
        fit.SetColumnCharWidth(1, 5);
        fit.SetColumnCharWidth(2, 8);
        if (f.moneyColumn >= 0)
            fit.SetColumnType(f.moneyColumn, 5);
        if (f.dateColumn >= 0)
            fit.SetColumnType(f.dateColumn, 8);
        for (int c = 0; c < 3; ++c)
            fit.SetCellText(0, c, QString::fromUtf8(f.cells[c]));
        QRect area(0, 0, 333, 100);
        fit.CalcColumnWidths(area, 7, 0, [](const QString &text) { return int(text.size()) * 7 + 6; });
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(fit.GetColumnWidth(c), f.widths[c]) << f.cells[1] << " column " << c;
        const int shown = f.widths[0] + f.widths[1] + f.widths[2];
        EXPECT_EQ(area.width(), shown == 331 ? 331 : 333) << f.cells[1];
    }
}

namespace {

// The cells of a delimited file as Python's csv module reads them back.
QJsonArray readWithPython(const QString &path, const QString &delimiter)
{
    QProcess p;
    p.start(QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import csv, json, sys\n"
                            "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                            "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n"),
             path, delimiter});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

} // namespace

TEST_F(XTableTest, ExportReadsBackCellForCell)
{
    CXTable t;
    RowSourceStub src({{QStringLiteral("Customer__PARENT"), FieldType::Text, 30},
                       {QStringLiteral("Ship/Note"), FieldType::Text, 60},
                       {QStringLiteral("Amount"), FieldType::Currency, 8}},
                      {{Value("Acme, Inc."), Value("say \"hi\""), Value(cents(123456))},
                       {Value("Acme, Inc."), Value("tab\there"), Value(cents(100))},
                       {Value("Bolt"), Value(QStringLiteral("plain\r\nsecond line\rthird"), FieldType::Memo), Value(cents(-5))}});
    t.LoadRecordset(src, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    t.ApplyColumnFlags(); // "Ship/Note" becomes a two-line title
    ASSERT_EQ(t.GetRowCount(), 6);

    const QString csv = tempPath(QStringLiteral("out.csv"));
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    ASSERT_TRUE(t.ExportToFile(csv, 2));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") + csv);
    const QJsonArray rows = readWithPython(csv, QStringLiteral(","));
    ASSERT_EQ(rows.size(), 4); // header and three data rows; totals are left out
    auto cellsOf = [](const QJsonValue &row) {
        QStringList out;
        for (const QJsonValue &v : row.toArray())
            out << v.toString();
        return out;
    };
    EXPECT_EQ(cellsOf(rows[0]), (QStringList{"Customer", "Ship Note", "Amount"}));
    EXPECT_EQ(cellsOf(rows[1]), (QStringList{"Acme, Inc.", "say \"hi\"", "1,234.56"}));
    // The group's value, shown on its first row only, is written on every row.
    EXPECT_EQ(cellsOf(rows[2]), (QStringList{"Acme, Inc.", "tab\there", "1.00"}));
    // Every line of a memo is exported, quoted.
    EXPECT_EQ(cellsOf(rows[3]), (QStringList{"Bolt", "plain\nsecond line\nthird", "-0.05"}));

    const QString tab = tempPath(QStringLiteral("out.txt"));
    ASSERT_TRUE(t.ExportToFile(tab, 1));
    const QJsonArray tabRows = readWithPython(tab, QStringLiteral("\t"));
    ASSERT_EQ(tabRows.size(), 4);
    EXPECT_EQ(cellsOf(tabRows[2]), (QStringList{"Acme, Inc.", "tab\there", "1.00"}));
    QFile raw(tab);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    // A comma is no delimiter in a tab export: the cell is written bare.
    EXPECT_TRUE(bytes.contains("\r\nAcme, Inc.\t"));

    CXTable empty;
    EXPECT_FALSE(empty.ExportToFile(tempPath(QStringLiteral("none.csv")), 2));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("There is no report data to export."));
    EXPECT_FALSE(QFile::exists(tempPath(QStringLiteral("none.csv"))));
}

TEST_F(XTableTest, ExportAsksForTheFileOnTheCommaType)
{
    CXTable t;
    RowSourceStub src({{QStringLiteral("Customer"), FieldType::Text, 30}, {QStringLiteral("Amount"), FieldType::Currency, 8}},
                      {{Value("Acme"), Value(cents(100))}});
    t.LoadRecordset(src, CXTable::TotalsNone, 2, QString());
    t.m_title = QStringLiteral("Sales: 2011/03");
    const QString path = tempPath(QStringLiteral("chosen.csv"));
    prompts().answerFile(path);
    prompts().answer(platform::IDOK);
    ASSERT_TRUE(t.ExportToFile());
    const platform::PromptRecord &dialog = prompts().shown().first();
    EXPECT_EQ(dialog.kind, platform::PromptRecord::Kind::SaveFile);
    EXPECT_EQ(dialog.caption, QStringLiteral("Export to File:"));
    EXPECT_TRUE(dialog.text.endsWith(QStringLiteral("Sales 201103.csv"))) << dialog.text.toStdString();
    EXPECT_EQ(dialog.selectedFilter, QStringLiteral("Comma Delimited (.csv) (*.csv)"));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Your data has been successfully exported to:\n") + path);
    EXPECT_TRUE(QFile::exists(path));

    // A pipe at the chosen name is refused by name; another user's link
    // there is replaced, and the private file it named stays as it was.
    const QString fifo = tempPath(QStringLiteral("pipe.csv"));
    ASSERT_TRUE(MakeTestFifo(fifo));
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(t.ExportToFile(fifo, 2));
    EXPECT_EQ(prompts().lastText(), QStringLiteral("Cannot open: ") + fifo +
                                        QStringLiteral("\n\nIt is a pipe (FIFO), not an ordinary file; nothing was "
                                                       "written to it."));
    EXPECT_TRUE(IsTestFifo(fifo));
    const PlantedLink planted{tempPath(QStringLiteral("shared.csv")), tempPath(QStringLiteral("private.txt"))};
    if (planted.plant()) {
        prompts().answer(platform::IDOK);
        ASSERT_TRUE(t.ExportToFile(planted.name, 2));
        EXPECT_TRUE(planted.replaced());
        EXPECT_TRUE(planted.targetKept());
    }

    // Cancelling the file choice writes nothing; an empty table says so first.
    prompts().clear();
    prompts().answerFile(QString());
    EXPECT_FALSE(t.ExportToFile());
    CXTable empty;
    prompts().answer(platform::IDOK);
    EXPECT_FALSE(empty.ExportToFile());
    EXPECT_EQ(prompts().lastText(), QStringLiteral("There is no report data to export."));
}

TEST_F(XTableTest, LoadsFromTheDatabase)
{
    SharedDatabaseHolder holder;
    platform::Database &db =
        OpenThreeColumnTable(holder, tempPath(QStringLiteral("TavrelData.mdb")), QStringLiteral("Sales"),
                             QStringLiteral("Customer"), QStringLiteral("Amount"), QStringLiteral("SaleID"));
    for (int i = 1; i <= 4; ++i)
        db.execute(QStringLiteral("INSERT INTO Sales (Customer, Amount, SaleID) VALUES (?, ?, ?)"),
                   {Value(i <= 2 ? QStringLiteral("Acme") : QStringLiteral("Bolt")), Value(cents(i * 1000)), Value(i)});

    CXTable t;
    t.LoadQueryWithProgress(QStringLiteral("SELECT Customer AS [Customer__PARENT], Amount, SaleID AS [HIDE_KEY] "
                                           "FROM Sales WHERE SaleID > 0 ORDER BY SaleID"),
                            CXTable::TotalsPerGroup, 2, QStringLiteral("Total"));
    ASSERT_EQ(t.GetRowCount(), 7);
    // Only the condition: the order (or grouping, or a further SELECT) is not part of it.
    EXPECT_EQ(t.m_filterText, QStringLiteral("Filter: SaleID > 0"));
    EXPECT_EQ(CXRecordsetSource::whereOf(QStringLiteral(
                  "SELECT a FROM t WHERE (x IN (SELECT y FROM u GROUP BY y)) and [n ORDER BY] = 'a UNION b' and d = #1/2/2010#"
                  "\nGROUP BY a UNION SELECT a FROM v WHERE z ORDER BY a")),
              QStringLiteral("(x IN (SELECT y FROM u GROUP BY y)) and [n ORDER BY] = 'a UNION b' and d = 1/2/2010"));
    // Jet reads a clause that follows a parenthesis, bracket or quote with
    // no blank between; a name that merely ends in such a word goes on.
    const struct
    {
        const char *statement;
        const char *condition;
    } glued[] = {
        {"SELECT a FROM t WHERE d >= Date()GROUP BY a", "d >= Date()"},
        {"SELECT a FROM t WHERE [x] = 1 and [y]ORDER BY a", "[x] = 1 and [y]"},
        {"SELECT a FROM t WHERE x = 'b'UNION SELECT a FROM u", "x = 'b'"},
        {"SELECT a FROM t WHERE t.LastUnion = 1 and t.Having = 2", "t.LastUnion = 1 and t.Having = 2"},
    };
    for (const auto &k : glued)
        EXPECT_EQ(CXRecordsetSource::whereOf(QString::fromLatin1(k.statement)), QString::fromLatin1(k.condition))
            << k.statement;
    EXPECT_EQ(t.GetCellValue(6, 1), cents(10000));
    EXPECT_EQ(t.m_keyColumn, 2);
    EXPECT_EQ(t.GetRowKey(3), 3);
    EXPECT_EQ(t.QueryLong(QStringLiteral("SELECT COUNT(*) FROM Sales")), 4);

    t.SetSize(5, 3);
    EXPECT_EQ(t.LoadQuery(QStringLiteral("SELECT Customer, Amount, SaleID FROM Sales WHERE SaleID = 3"), 1, 0, 1, -1),
              4);
    EXPECT_EQ(t.GetCellText(1, 0), QStringLiteral("Customer"));
    EXPECT_EQ(t.GetCellText(1, 1), QStringLiteral("Bolt"));
    EXPECT_EQ(t.GetCellText(2, 1), QStringLiteral("30.00"));

    // A query that cannot run is told, and leaves no rows.
    prompts().answer(platform::IDYES);
    prompts().answer(platform::IDOK);
    prompts().answer(platform::IDOK);
    t.LoadQueryWithProgress(QStringLiteral("SELECT Nothing FROM Missing"), 2, 2, QString());
    EXPECT_EQ(t.GetRowCount(), 0);
    const QStringList told = prompts().texts();
    ASSERT_GE(told.size(), 3);
    EXPECT_TRUE(told.at(told.size() - 3).startsWith(QStringLiteral("Error ")));
    EXPECT_EQ(told.at(told.size() - 2), QStringLiteral("Could not run query:\n\nSELECT Nothing FROM Missing"));
    EXPECT_TRUE(told.last().startsWith(QStringLiteral("Your database or network may be busy.")));
    db.close();
}
