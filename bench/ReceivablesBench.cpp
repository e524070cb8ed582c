// Posting 1,000 ready orders (goal: under 2 s) beside raw SQLite making the
// same writes, and the receivables aging summary of the 100,000-job sample
// beside the same grouping run straight on SQLite.
#include "BenchSupport.h"
#include "customers/CViewAR.h"
#include "customers/PostingRun.h"
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

// The same rows written by hand: the journal row, every job and its audit
// row, and the journal's sums, in one transaction.
void BM_PostThousandOrdersRawSqlite(benchmark::State &state)
{
    const QList<qint32> ids = readyShop();
    sqlite3 *db = SharedDatabase().handle();
    for (auto _ : state) {
        state.PauseTiming();
        resetOrders();
        state.ResumeTiming();
        exec(db, "BEGIN IMMEDIATE");
        exec(db, "INSERT INTO PostingJournal (PostingDate, Invoices, QSales) VALUES (46127, 0, 0)");
        const sqlite3_int64 n = sqlite3_last_insert_rowid(db);
        sqlite3_stmt *read = nullptr, *update = nullptr, *audit = nullptr;
        sqlite3_prepare_v2(db, "SELECT JobNo, Balance, Shipping FROM Jobs WHERE JobID = ?", -1, &read, nullptr);
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
