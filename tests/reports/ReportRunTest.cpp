// The report runner on the sample shop of 2010: every built-in dispatch row
// lays its report out with the shared texts (title with the entry count,
// "Date Range" or "As of" subtitle, filter line, notes), the renderer table
// is asked first, codes without a layout say so, and the table loading's
// total modes sum as the sqlite3 shell sums the same rows.

#include "support/TestEnvironment.h"

#include "controls/CXTable.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/db/Database.h"
#include "reports/CReportRun.h"
#include "resources/Strings.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

namespace {

QTemporaryDir *g_dir = nullptr;
QString g_path;

const QString kThisPeriod = QStringLiteral(" between #01/01/2010# and #12/31/2010# ");
const QString kLastPeriod = QStringLiteral(" between #01/01/2009# and #12/31/2009#");
const QString kRangeCaption = QStringLiteral("Date Range: This Year (01/01/2010 - 12/31/2010)");
const QString kAsOf = QStringLiteral("As of Tuesday, June 15, 2010 at 10:30");

QString cli(const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-noheader"), g_path, sql});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Keeps a code's registered renderer aside for the life of the object.
class RendererSwap
{
public:
    RendererSwap(int code, ReportRenderer renderer) : m_code(code), m_saved(FindReportRenderer(code))
    {
        RegisterReportRenderer(code, std::move(renderer));
    }
    ~RendererSwap() { RegisterReportRenderer(m_code, m_saved); }

private:
    int m_code;
    ReportRenderer m_saved;
};

} // namespace

class ReportRunTest : public TavrelTest
{
public:
    static void SetUpTestSuite()
    {
        g_dir = new QTemporaryDir;
        g_path = g_dir->filePath(QStringLiteral("Sample.mdb"));
        QProcess p;
        p.start(QStringLiteral(TAVREL_DBTOOL), {QStringLiteral("sample"), g_path, QStringLiteral("--jobs"),
                                                QStringLiteral("500"), QStringLiteral("--today"), QStringLiteral("6/15/2010")});
        p.waitForFinished(180000);
    }
    static void TearDownTestSuite()
    {
        delete g_dir;
        g_dir = nullptr;
    }

protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        platform::Clock::setFixed(QDateTime(QDate(2010, 6, 15), QTime(10, 30)));
        SharedDatabase().open(g_path);
        run = std::make_unique<CReportRun>(SharedDatabase(), table);
    }
    void TearDown() override
    {
        run.reset();
        SharedDatabase().close();
        platform::Clock::reset();
        TavrelTest::TearDown();
    }
    // Prepares the run as the reports view does for the code.
    void prepare(int code)
    {
        const QStringList entries = LoadResourceString(44151 + code / 100 - 20).split(QLatin1Char(','));
        run->code = code;
        run->branchText = entries.value(0);
        run->entryText = entries.value(code % 100);
        run->thisPeriod = kThisPeriod;
        run->lastPeriod = kLastPeriod;
        run->dateRangeCaption = kRangeCaption;
        run->filter = QStringLiteral(" (PostingJournal.PostingDate") + kThisPeriod + QStringLiteral(") ");
        run->fromDate = DateTime(2010, 1, 1);
        run->toDate = DateTime(2010, 12, 31);
    }
    bool runCode(int code)
    {
        prepare(code);
        return run->Run();
    }
    QString caption(int code)
    {
        prepare(code);
        return run->branchText + QStringLiteral(" / ") + run->entryText;
    }

    CXTable table;
    std::unique_ptr<CReportRun> run;
};

TEST_F(ReportRunTest, EveryBuiltInRowLaysItsReportOut)
{
    ASSERT_TRUE(QFile::exists(g_path));
    struct Row
    {
        int code;
        bool asOf;          // "As of" subtitle instead of the range
        bool filterEmptied; // the filter line is emptied
    };
    const Row rows[] = {
        {2002, false, false}, {2003, false, false}, {2004, false, false}, {2005, false, false}, {2006, false, false},
        {2007, false, false}, {2008, false, true},  {2102, true, false},  {2105, false, false}, {2106, false, false},
        {2107, false, false}, {2201, false, false}, {2202, false, false}, {2203, false, false}, {2204, false, false},
        {2205, false, false}, {2206, false, false}, {2207, false, false}, {2208, false, false}, {2209, false, false},
        {2210, false, false}, {2211, true, true},   {2301, false, false}, {2302, false, false}, {2303, false, false},
        {2304, false, false}, {2305, false, false}, {2306, false, false}, {2307, false, false}, {2308, false, false},
        {2309, false, false}, {2310, false, false}, {2311, false, false}, {2401, true, false},  {2402, true, false},
        {2403, true, false},  {2404, false, false},
    };
    int withRows = 0;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.code);
        prompts().clear();
        EXPECT_TRUE(runCode(r.code));
        EXPECT_TRUE(prompts().shown().isEmpty()) << prompts().lastText().toStdString();
        const int entries = CReportRun::CountChartEntries(table);
        EXPECT_EQ(run->entryCount(), entries);
        const QString plain = caption(r.code);
        EXPECT_EQ(run->caption, plain);
        EXPECT_EQ(run->title(), entries > 0 ? plain + QStringLiteral(" (%1)").arg(entries) : plain);
        EXPECT_EQ(run->subtitle(), r.asOf ? kAsOf : kRangeCaption);
        EXPECT_EQ(run->noDataText(), CReportRun::kNoDataText);
        if (r.filterEmptied)
            EXPECT_TRUE(run->filterLine().isEmpty());
        else
            EXPECT_TRUE(run->filterLine().startsWith(QLatin1String("Filter: ")));
        withRows += table.GetDataRowCount() > 0 ? 1 : 0;
    }
    // Nearly every report has rows on the sample year.
    EXPECT_GE(withRows, int(std::size(rows)) - 3);
}

TEST_F(ReportRunTest, NotesOfTheDispatchRows)
{
    struct Row
    {
        int code;
        const char *note;
    };
    const QString comparison = QStringLiteral(
        "This Period:  01/01/2010 - 12/31/2010   Last Period:  01/01/2009 - 12/31/2009   (Quick Sales not included)");
    const Row rows[] = {
        {2002, ""},
        {2006, "This report does not include the payments that were entered after the last posting"},
        {2008, "Report Includes: Invoices posted before the selected time period and changed between 01/01/2010 and "
               "12/31/2010 as recorded in the Audit Trail."},
        {2107, "This report includes Quick Sales and Invoices fully paid between 01/01/2010 and 12/31/2010 "},
        {2201, ""},
        {2203, ""},
        {2204, "(Quick Sales not included)"},
        {2208, "(Quick Sales not included)"},
        {2211, "(Quick Sales not included)This report includes Orders and History Jobs by Date-In"},
        {2403, "This report includes the Services-To-Do of Orders in Progress"},
        {2404, "This report includes the Services of Orders in History"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.code);
        runCode(r.code);
        EXPECT_EQ(run->note(), QString::fromUtf8(r.note));
    }
    for (int code : {2301, 2305, 2310}) {
        runCode(code);
        EXPECT_EQ(run->note(), comparison) << code;
    }
    runCode(2311);
    EXPECT_EQ(run->note(), comparison + QStringLiteral("\nThis report compares Cumulative Net Write-ups (Subtotal-Discount) "
                                                       "based on DateIn of Orders and History Jobs."));
}

TEST_F(ReportRunTest, CodesWithoutALayoutSaySoAndLeaveTheTableEmpty)
{
    runCode(2002); // the built-in renderers are installed by the first run
    for (int code : {2001, 2009, 2101, 2103, 2212, 2312, 2405, 2601, 2602, 2603, 2699}) {
        SCOPED_TRACE(code);
        RendererSwap none(code, ReportRenderer());
        prompts().clear();
        prompts().answer(platform::IDOK);
        EXPECT_FALSE(runCode(code));
        EXPECT_EQ(prompts().lastText(), QStringLiteral("This report is not ready yet!"));
        EXPECT_EQ(table.GetRowCount(), 0);
        EXPECT_EQ(run->title(), caption(code));
        EXPECT_EQ(run->noDataText(), CReportRun::kNoDataText);
    }
    // 2101-2104 and 2401-2403 tell the moment of the run whatever happened.
    RendererSwap none(2103, ReportRenderer());
    prompts().answer(platform::IDOK);
    runCode(2103);
    EXPECT_EQ(run->subtitle(), kAsOf);
}

TEST_F(ReportRunTest, ARegisteredRendererWinsAndReadsTheViewState)
{
    QString seen;
    RendererSwap swap(2002, [&seen](CReportRun &r) {
        seen = QStringLiteral("%1|%2|%3|%4|%5").arg(r.code).arg(r.thisPeriod, r.lastPeriod, r.filter, r.AsOfText());
        CXTable &t = r.table();
        t.SetSize(3, 2);
        t.SetColumnName(0, QStringLiteral("Name"), 20, 10);
        t.SetCurrencyColumn(1, QStringLiteral("Amount"));
        for (int i = 0; i < 3; ++i) {
            t.SetCellText(i, 0, QStringLiteral("Row %1").arg(i));
            t.SetCellCurrency(i, 1, Money::fromWhole(10 * (i + 1)));
        }
        t.m_tColumn = 0;
        t.m_pColumn = 1;
        r.setNote(QStringLiteral("Laid out by the renderer"));
        return true;
    });
    EXPECT_TRUE(runCode(2002));
    EXPECT_EQ(seen, QStringLiteral("2002|") + kThisPeriod + QStringLiteral("|") + kLastPeriod +
                        QStringLiteral("| (PostingJournal.PostingDate") + kThisPeriod + QStringLiteral(") |") + kAsOf);
    EXPECT_EQ(run->title(), QStringLiteral("Posting / Summary of Sales (3)"));
    EXPECT_EQ(run->note(), QStringLiteral("Laid out by the renderer"));
    EXPECT_EQ(run->subtitle(), kRangeCaption);

    // A renderer that fails or is cancelled makes the run fail.
    RendererSwap failing(2004, [](CReportRun &r) { return r.Progress(1, 2); });
    run->progressHook = [](int, int, const QString &) { return false; };
    EXPECT_FALSE(runCode(2004));
    EXPECT_TRUE(run->Cancelled());
}

TEST_F(ReportRunTest, TheTwoTaxColumnsStepRunsOnlyInTwoTaxMode)
{
    const ReportStep saved = FindTaxColumnsStep();
    QList<int> calls;
    RegisterTaxColumnsStep([&calls](CReportRun &r) { calls << r.code; });
    for (const bool two : {false, true}) {
        for (int code : {2003, 2004, 2005}) {
            prepare(code);
            run->twoTaxes = two;
            run->Run();
        }
    }
    EXPECT_EQ(calls, (QList<int>{2003, 2005}));
    RegisterTaxColumnsStep(saved);
}

TEST_F(ReportRunTest, RanksRunningSumsAndDifferences)
{
    auto dataRows = [this] {
        QList<int> rows;
        for (int r = 0; r < table.GetRowCount(); ++r)
            if (!table.IsSpecialRow(r))
                rows << r;
        return rows;
    };
    // 2205: column 10 ranks the amounts of column 6, ties sharing a rank.
    runCode(2205);
    ASSERT_GT(table.GetDataRowCount(), 3);
    for (int r : dataRows()) {
        const Money x = table.GetCellValue(r, 6);
        int larger = 0;
        for (int o : dataRows())
            larger += table.GetCellValue(o, 6) > x ? 1 : 0;
        EXPECT_EQ(table.GetCellLong(r, 10), x.isZero() ? 0 : larger + 1) << r;
    }
    // 2304-2308: position among the rows with sales in this period (5), rank
    // by column 2 (6) and rank less position (7), 0 without either.
    for (int code : {2304, 2305, 2306, 2307, 2308}) {
        runCode(code);
        int position = 0;
        int unplaced = 0;
        for (int r : dataRows()) {
            const int at = table.GetCellValue(r, 1).isZero() ? 0 : ++position;
            unplaced += at == 0 ? 1 : 0;
            EXPECT_EQ(table.GetCellLong(r, 5), at) << code;
            const Money x = table.GetCellValue(r, 2);
            int larger = 0;
            for (int o : dataRows())
                larger += table.GetCellValue(o, 2) > x ? 1 : 0;
            const int rank = x.isZero() ? 0 : larger + 1;
            EXPECT_EQ(table.GetCellLong(r, 6), rank) << code << " row " << r;
            EXPECT_EQ(table.GetCellLong(r, 7), x.isZero() || at == 0 ? 0 : rank - at) << code;
        }
        if (code == 2305)
            EXPECT_GT(unplaced, 0); // the shop has customers of the last period only
    }
    // 2311: running sums of columns 2 and 3 in 4 and 5, restarting after each
    // subtotal row, and their difference in 6.
    runCode(2311);
    ASSERT_GT(table.GetDataRowCount(), 0);
    Money a, b;
    for (int r = 0; r < table.GetRowCount(); ++r) {
        if (table.IsSpecialRow(r)) {
            a = b = Money();
            continue;
        }
        a += table.GetCellValue(r, 2);
        b += table.GetCellValue(r, 3);
        EXPECT_EQ(table.GetCellValue(r, 4).units(), a.units()) << r;
        EXPECT_EQ(table.GetCellValue(r, 5).units(), b.units()) << r;
        EXPECT_EQ(table.GetCellValue(r, 6).units(), a.units() - b.units()) << r;
    }
    EXPECT_EQ(table.m_changeColumn, 6);
}

TEST_F(ReportRunTest, TotalModesSumAsTheShellDoes)
{
    // Customers' profitability (2205): one row per customer of the posted jobs.
    const QString where = QStringLiteral(
        " FROM Jobs J JOIN PostingJournal P ON J.PostingNo = P.PostingNo JOIN Customers C ON J.CusNo = C.CusNo WHERE "
        "P.PostingDate BETWEEN %1 AND %2")
                              .arg(DateTime(2010, 1, 1).toOle())
                              .arg(DateTime(2010, 12, 31).toOle());
    const int customers = cli(QStringLiteral("SELECT count(DISTINCT C.Name COLLATE NOCASE)") + where).toInt();
    const qint64 subtotal = cli(QStringLiteral("SELECT CAST(round(coalesce(sum(J.Subtotal), 0) * 10000) AS INTEGER)") + where).toLongLong();
    ASSERT_GT(customers, 10);
    prepare(2205);
    const int column = [this] {
        run->LoadReportTable(2205, 0);
        return table.FindColumn(QStringLiteral("Subtotal"));
    }();
    ASSERT_GE(column, 0);

    // Mode 0: the rows alone.
    EXPECT_EQ(table.GetRowCount(), customers);
    EXPECT_EQ(table.GetDataRowCount(), customers);

    // Mode 2: one grand-total row with the sums.
    run->LoadReportTable(2205, 2);
    EXPECT_EQ(table.GetRowCount(), customers + 1);
    EXPECT_TRUE(table.IsSpecialRow(customers));
    EXPECT_EQ(table.GetCellValue(customers, column).units(), subtotal);

    // Mode 3: a band after the 10th row (and after the 25th, 50th ... as far
    // as there are rows), then the grand total.
    run->LoadReportTable(2205, 3);
    QStringList bands;
    for (int r = 0; r < table.GetRowCount(); ++r)
        for (int c = 0; c < table.GetColumnCount(); ++c)
            if (table.IsSpecialRow(r) && table.GetCellText(r, c).startsWith(QLatin1String("TOP ")))
                bands << table.GetCellText(r, c);
    ASSERT_GE(bands.size(), 1);
    EXPECT_EQ(bands[0], QStringLiteral("TOP 1 to 10"));
    EXPECT_TRUE(table.IsSpecialRow(10));
    EXPECT_EQ(table.GetCellValue(table.GetRowCount() - 1, column).units(), subtotal);

    // Mode 4: a subtotal after each group of column 0 and a grand total.
    run->LoadReportTable(2205, 4);
    int special = 0;
    for (int r = 0; r < table.GetRowCount(); ++r)
        special += table.IsSpecialRow(r) ? 1 : 0;
    EXPECT_EQ(table.GetDataRowCount(), customers);
    EXPECT_GE(special, 2);
    EXPECT_EQ(table.GetCellValue(table.GetRowCount() - 1, column).units(), subtotal);
}
