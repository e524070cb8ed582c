// Posting 1,000 ready orders (goal: under 2 s) beside raw SQLite making the
// same writes, and the receivables aging summary of the 100,000-job sample
// beside the same grouping run straight on SQLite.
//
// On the 30,000-job sample: the "Invoices Ready-to-Post" list (its first
// screen, goal under 50 ms, and filled with every row read and remarked, goal
// within 1.3 times raw SQLite reading the list's rows and the jobs and items
// its remarks look at), and posting 3,000 of its orders on a fresh copy of
// the sample (goal under 2 s) beside raw SQLite reading each order and its
// items and making the same writes. Posting also reports the memory it left
// held once the run is over (counter held_MB, resident size after minus
// before).
#include "BenchSupport.h"
#include "customers/CViewAR.h"
#include "controls/CXListCtrl.h"
#include "customers/PostingRun.h"
#include "app/base/Appearance.h"
#include "platform/Prompt.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <fstream>
#include <string>

namespace {

constexpr int kOrders = 1000;

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A shop with 1,000 orders ready to post (shipping only, so their totals
// need no items), opened as the shared database.
QList<qint32> readyShop()
{
    static QList<qint32> ids;
    if (!ids.isEmpty())
        return ids;
    platform::Settings::useFolder(folder().path());
    const QString path = folder().path() + QStringLiteral("/post.mdb");
    CreateShopDatabase(path);
    platform::Database &db = SharedDatabase();
    db.open(path);
    platform::Transaction t(db);
    for (int i = 0; i < kOrders; ++i)
        db.execute(QStringLiteral("INSERT INTO Jobs (JobType, JobNo, CusNo, Status, TermsNo, DateShipped, Cost, "
                                  "Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, Writeoff, Balance, "
                                  "Commission, Creator, PostingNo) VALUES (0, ?, 31, 3, 0, #3/1/2026#, 0, 0, 0, 10, 0, "
                                  "0, 0, 0, 0, 10, 0, 0, 0)"),
                   {platform::Value(5000 + i)});
    t.commit();
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT JobID FROM Jobs WHERE JobType = 0"));
    for (; !rs.isEOF(); rs.moveNext())
        ids << rs.value(0).toInt();
    return ids;
}

void resetOrders()
{
    SharedDatabase().executeNative(QStringLiteral("UPDATE Jobs SET JobType = 0, Status = 3, PostingNo = 0"));
    SharedDatabase().executeNative(QStringLiteral("DELETE FROM AuditTrail"));
    SharedDatabase().executeNative(QStringLiteral("DELETE FROM PostingJournal"));
}

void BM_PostThousandOrders(benchmark::State &state)
{
    const QList<qint32> ids = readyShop();
    for (auto _ : state) {
        state.PauseTiming();
        resetOrders();
        state.ResumeTiming();
        PostingRun run(SharedDatabase());
        if (!run.Post(ids) || run.Journal().m_Invoices != kOrders)
            state.SkipWithError("posting failed");
    }
}
BENCHMARK(BM_PostThousandOrders)->Unit(benchmark::kMillisecond);

void exec(sqlite3 *db, const char *sql)
{
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// Posting by hand: the journal row, every job read (with its item rows, as
// the checks read them, when asked) and stamped with its audit row, the
// stamps and the journal's sums, in one transaction.
void postRaw(sqlite3 *db, const QList<qint32> &ids, bool readItems)
{
    exec(db, "BEGIN IMMEDIATE");
    exec(db, "INSERT INTO PostingJournal (PostingDate, Invoices, QSales) VALUES (46127, 0, 0)");
    const sqlite3_int64 n = sqlite3_last_insert_rowid(db);
    sqlite3_stmt *read = nullptr, *items = nullptr, *update = nullptr, *audit = nullptr;
    sqlite3_prepare_v2(db, "SELECT JobNo, Balance, Shipping FROM Jobs WHERE JobID = ?", -1, &read, nullptr);
    sqlite3_prepare_v2(db, "SELECT SerNo, Cost, Price FROM Items WHERE JobID = ?", -1, &items, nullptr);
    sqlite3_prepare_v2(db, "UPDATE Jobs SET JobType = 3, Status = 0, PostingNo = ?, DatePayDue = DateShipped "
                           "WHERE JobID = ?", -1, &update, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO AuditTrail (TransDate, JobNo, Shipping, Balance, JobType, PropID) VALUES "
                           "(46127, ?, ?, ?, 0, 0)", -1, &audit, nullptr);
    double balance = 0;
    for (qint32 id : ids) {
        sqlite3_bind_int(read, 1, id);
        sqlite3_step(read);
        const int jobNo = sqlite3_column_int(read, 0);
        const double b = sqlite3_column_double(read, 1);
        const double s = sqlite3_column_double(read, 2);
        sqlite3_reset(read);
        if (readItems) {
            sqlite3_bind_int(items, 1, id);
            double prices = 0;
            while (sqlite3_step(items) == SQLITE_ROW)
                prices += sqlite3_column_double(items, 2);
            sqlite3_reset(items);
            benchmark::DoNotOptimize(prices);
        }
        balance += b;
        sqlite3_bind_int64(update, 1, n);
        sqlite3_bind_int(update, 2, id);
        sqlite3_step(update);
        sqlite3_reset(update);
        sqlite3_bind_int(audit, 1, jobNo);
        sqlite3_bind_double(audit, 2, s);
        sqlite3_bind_double(audit, 3, b);
        sqlite3_step(audit);
        sqlite3_reset(audit);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(items);
    sqlite3_finalize(update);
    sqlite3_finalize(audit);
    exec(db, "UPDATE QuickSales SET PostingNo = 1 WHERE PostingNo = 0");
    exec(db, "UPDATE Payments SET PostingNo = 1 WHERE PostingNo = 0");
    exec(db, QStringLiteral("UPDATE PostingJournal SET Invoices = %1, Balance = %2 WHERE PostingNo = %3")
                 .arg(ids.size())
                 .arg(balance)
                 .arg(n)
                 .toUtf8()
                 .constData());
    exec(db, "COMMIT");
}

void BM_PostThousandOrdersRawSqlite(benchmark::State &state)
{
    const QList<qint32> ids = readyShop();
    sqlite3 *db = SharedDatabase().handle();
    for (auto _ : state) {
        state.PauseTiming();
        resetOrders();
        state.ResumeTiming();
        postRaw(db, ids, false);
    }
}
BENCHMARK(BM_PostThousandOrdersRawSqlite)->Unit(benchmark::kMillisecond);

QString samplePath()
{
    return BenchSampleShop();
}

platform::Database &sample()
{
    static platform::Database db;
    if (!db.isOpen())
        db.open(samplePath());
    return db;
}

void BM_AgingSummarySample(benchmark::State &state)
{
    platform::Database &db = sample();
    for (auto _ : state) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, CViewAR::AgingSql());
        int buckets = 0;
        for (; !rs.isEOF(); rs.moveNext())
            ++buckets;
        benchmark::DoNotOptimize(buckets);
    }
}
BENCHMARK(BM_AgingSummarySample)->Unit(benchmark::kMillisecond);

void BM_AgingSummarySampleRawSqlite(benchmark::State &state)
{
    sqlite3 *db = sample().handle();
    const char *sql = "SELECT CAST((julianday('now') - 2415018.5 - DateShipped) / 30 AS INTEGER) * 30 AS Age, "
                      "sum(Balance) FROM Jobs WHERE JobType = 3 AND Balance > 0.0001 GROUP BY Age ORDER BY Age";
    for (auto _ : state) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        int buckets = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            ++buckets;
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(buckets);
    }
}
BENCHMARK(BM_AgingSummarySampleRawSqlite)->Unit(benchmark::kMillisecond);

// --- the 30,000-job sample ----------------------------------------------------

constexpr int kSampleJobs = 30000;
constexpr int kSampleOrders = 3000;

// The list's statement as SQLite runs it, and what its remarks read.
const char *kRawReadyList =
    "SELECT Jobs.JobNo, '' AS Remark, Jobs.CusNo, Customers.Name, Contacts.First, Contacts.Last, Jobs.Subtotal, "
    "Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.Paid, Jobs.Balance, Jobs.JobID FROM Jobs LEFT JOIN "
    "PostingJournal ON PostingJournal.PostingNo = Jobs.PostingNo LEFT JOIN Customers ON Customers.CusNo = Jobs.CusNo "
    "LEFT JOIN Contacts ON Contacts.ContactNo = Jobs.BuyerNo LEFT JOIN ShipTo ON ShipTo.ShiptoNo = Jobs.ShiptoNo "
    "WHERE Jobs.Status = 3 AND Jobs.JobType = 0 ORDER BY Jobs.JobNo";
const char *kRawReadyRemarks =
    "SELECT Jobs.JobID, Jobs.Status, Jobs.DateShipped, Jobs.Balance, Jobs.Cost, Jobs.Subtotal, Jobs.Creator, "
    "Items.SerNo, Items.Cost, Items.Price FROM Jobs LEFT JOIN Items ON Items.JobID = Jobs.JobID WHERE Jobs.Status = 3 "
    "AND Jobs.JobType = 0";

// The process's resident size in megabytes.
double residentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// The 30,000-job sample opened as the shared database (read only by the list).
void openReadySample()
{
    static bool opened = false;
    if (opened)
        return;
    static QTemporaryDir settings;
    platform::Settings::useFolder(settings.path());
    Appearance::instance().LoadViewSettings();
    SharedDatabase().close();
    SharedDatabase().open(BenchSampleShop(kSampleJobs));
    opened = true;
}

// The receivables view showing "Invoices Ready-to-Post" / "List".
void showReadyToPost(CViewAR &view)
{
    view.resize(1000, 640);
    view.OnInitialUpdate();
    view.show();
    view.SelectTreeCode(1);
    view.OnListNow();
}

void BM_ReadyToPostFirstScreen(benchmark::State &state)
{
    openReadySample();
    int rows = 0;
    for (auto _ : state) {
        CViewAR view;
        showReadyToPost(view);
        rows = view.list()->GetItemCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ReadyToPostFirstScreen)->Unit(benchmark::kMillisecond);

void BM_ReadyToPostFilled(benchmark::State &state)
{
    openReadySample();
    int rows = 0;
    for (auto _ : state) {
        CViewAR view;
        showReadyToPost(view);
        view.list()->FetchAll();
        rows = view.list()->GetItemCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ReadyToPostFilled)->Unit(benchmark::kMillisecond);

void BM_ReadyToPostRawSqlite(benchmark::State &state)
{
    openReadySample();
    sqlite3 *db = SharedDatabase().handle();
    long rows = 0;
    for (auto _ : state) {
        rows = ScanDirect(db, QString::fromLatin1(kRawReadyList));
        benchmark::DoNotOptimize(ScanDirect(db, QString::fromLatin1(kRawReadyRemarks)));
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_ReadyToPostRawSqlite)->Unit(benchmark::kMillisecond);

// A fresh copy of the 30,000-job sample as the shared database, and the
// first 3,000 orders of its ready-to-post list.
QList<qint32> freshReadySample()
{
    static QTemporaryDir copies;
    const QString path = copies.path() + QStringLiteral("/post.mdb");
    SharedDatabase().close();
    QFile::remove(path);
    QFile::copy(BenchSampleShop(kSampleJobs), path);
    SharedDatabase().open(path);
    QList<qint32> ids;
    platform::Recordset rs(SharedDatabase());
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT JobID FROM Jobs WHERE Status = 3 AND JobType = 0 ORDER BY JobNo"));
    for (; !rs.isEOF() && ids.size() < kSampleOrders; rs.moveNext())
        ids << rs.value(0).toInt();
    return ids;
}

void BM_PostSampleOrders(benchmark::State &state)
{
    platform::TestResponder answers;
    double held = -1;
    int posted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QList<qint32> ids = freshReadySample();
        const double before = residentMb();
        state.ResumeTiming();
        {
            PostingRun run(SharedDatabase());
            if (!run.Post(ids))
                state.SkipWithError("posting failed");
            posted = run.Journal().m_Invoices;
        }
        state.PauseTiming();
        if (held < 0)
            held = residentMb() - before;
        state.ResumeTiming();
    }
    state.counters["posted"] = posted;
    state.counters["held_MB"] = held;
}
BENCHMARK(BM_PostSampleOrders)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same work by hand, each order's item rows read as its checks read them.
void BM_PostSampleOrdersRawSqlite(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QList<qint32> ids = freshReadySample();
        state.ResumeTiming();
        postRaw(SharedDatabase().handle(), ids, true);
    }
}
BENCHMARK(BM_PostSampleOrdersRawSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
