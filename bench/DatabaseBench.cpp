// What users wait for in the database layer: opening a big list and walking a
// big dynaset. Each measurement stands beside the same query run directly on
// SQLite, and the ratios are printed at the end.
#include "BenchSupport.h"
#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/Recordset.h"
#include "platform/db/Statement.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>

using namespace platform;

namespace {

constexpr int kJobs = 100000;

const QString kJobsList = QStringLiteral(
    "SELECT Jobs.JobID, Jobs.JobNo, Customers.Name AS [Customer/Name          }P], Jobs.Name AS [Job Name], "
    "Jobs.DateIn, (Jobs.Subtotal+Jobs.Discount) AS [Total}C], Jobs.Balance, Jobs.Status "
    "FROM Jobs LEFT JOIN Customers ON Customers.CusNo = Jobs.CusNo "
    "WHERE ((Jobs.JobType)=1) AND ((Jobs.Status)<5) ORDER BY Jobs.JobNo DESC");

const QString kScan = QStringLiteral("SELECT JobID, JobNo, CusNo, Name, DateIn, Subtotal, Discount, Balance, Status, Note FROM Jobs");

// A shop database of realistic size, made once.
class Shop
{
public:
    static Shop &get()
    {
        static Shop shop;
        return shop;
    }
    QString path() const { return m_dir.filePath(QStringLiteral("TavrelData.mdb")); }

private:
    Shop()
    {
        Database::create(path());
        Database db;
        db.open(path());
        db.createTable({QStringLiteral("Customers"),
                        {{QStringLiteral("CusNo"), FieldType::Long, 4}, {QStringLiteral("Name"), FieldType::Text, 50}},
                        {{QStringLiteral("CusNo"), QStringLiteral("CusNo"), true, true}}});
        db.createTable({QStringLiteral("Jobs"),
                        {{QStringLiteral("JobID"), FieldType::Long, 4, true},
                         {QStringLiteral("JobNo"), FieldType::Long, 4},
                         {QStringLiteral("JobType"), FieldType::Byte, 1},
                         {QStringLiteral("CusNo"), FieldType::Long, 4},
                         {QStringLiteral("Name"), FieldType::Text, 50},
                         {QStringLiteral("DateIn"), FieldType::Date, 8},
                         {QStringLiteral("Subtotal"), FieldType::Currency, 8},
                         {QStringLiteral("Discount"), FieldType::Currency, 8},
                         {QStringLiteral("Balance"), FieldType::Currency, 8},
                         {QStringLiteral("Status"), FieldType::Byte, 1},
                         {QStringLiteral("Note"), FieldType::Memo, 0}},
                        {{QStringLiteral("JobID"), QStringLiteral("JobID"), true, true},
                         {QStringLiteral("JobNo"), QStringLiteral("JobNo"), false, true}}});
        Transaction t(db);
        for (int c = 1; c <= 2000; ++c)
            db.execute(QStringLiteral("INSERT INTO Customers (CusNo, Name) VALUES (?, ?)"),
                       {Value(c), Value(QStringLiteral("Customer %1 Printing Co.").arg(c))});
        Statement jobs(db.handle(), QStringLiteral("INSERT INTO Jobs (JobNo, JobType, CusNo, Name, DateIn, Subtotal, "
                                                   "Discount, Balance, Status, Note) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
        for (int j = 0; j < kJobs; ++j) {
            jobs.bindAll({Value(10000 + j), Value(std::int64_t(1 + j % 4), FieldType::Byte), Value(1 + j % 2000),
                          Value(QStringLiteral("Job %1 letterheads, 2 colours").arg(j)),
                          Value(DateTime(40000.0 + j / 30)), Value(Money::fromUnits(1234500 + j * 7)),
                          Value(Money::fromUnits(-(j % 100) * 100)), Value(Money::fromUnits((j % 3) * 50000)),
                          Value(std::int64_t(j % 7), FieldType::Byte),
                          j % 5 ? Value() : Value(QStringLiteral("Call before delivery"), FieldType::Memo)});
            jobs.run();
            jobs.reset();
        }
        t.commit();
    }

    QTemporaryDir m_dir;
};

void BM_JobsListOpen(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    long rows = 0;
    for (auto _ : state) {
        Recordset rs(db);
        rs.open(Recordset::Type::Snapshot, kJobsList);
        rs.moveLast();
        rows = rs.recordCount();
    }
    state.counters["rows"] = double(rows);
}

void BM_JobsListOpenDirect(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    const QString sql = db.impl()->translate(kJobsList).sql;
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(db.handle(), sql);
    state.counters["rows"] = double(rows);
}

void BM_DynasetScan(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    long rows = 0;
    for (auto _ : state) {
        Recordset rs(db);
        rs.open(Recordset::Type::Dynaset, kScan);
        rows = 0;
        for (; !rs.isEOF(); rs.moveNext(), ++rows) {
            for (int c = 0; c < rs.fieldCount(); ++c)
                benchmark::DoNotOptimize(rs.value(c));
        }
    }
    state.counters["rows"] = double(rows);
}

void BM_DynasetScanDirect(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    const QString sql = db.impl()->translate(kScan).sql;
    long rows = 0;
    for (auto _ : state)
        rows = ScanDirect(db.handle(), sql);
    state.counters["rows"] = double(rows);
}

void BM_DynasetOpen(benchmark::State &state)
{
    Database db;
    db.open(Shop::get().path());
    for (auto _ : state) {
        Recordset rs(db);
        rs.open(Recordset::Type::Dynaset, kScan + QStringLiteral(" ORDER BY JobNo DESC"));
        benchmark::DoNotOptimize(rs.value(0));
    }
}

// Opening and closing beside a lock file of 1 GB, all of it blank (a hole
// left in it by some other program, or a damaged share): what an opening costs
// must not grow with the lock file.
void BM_OpenBesideALargeLockFile(benchmark::State &state)
{
    const QString lock = QFileInfo(Shop::get().path()).absolutePath() + QStringLiteral("/TavrelData.ldb");
    for (auto _ : state) {
        state.PauseTiming();
        {
            QFile f(lock);
            f.open(QIODevice::WriteOnly);
            f.resize(qint64(1) << 30);
        }
        state.ResumeTiming();
        Database db;
        db.open(Shop::get().path());
        db.close();
    }
}

BENCHMARK(BM_JobsListOpen)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_JobsListOpenDirect)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_DynasetScan)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_DynasetScanDirect)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_DynasetOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBesideALargeLockFile)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's best processor time (over repetitions, which other
// work on the machine only makes slower) for the ratios printed at the end.
} // namespace

int main(int argc, char **argv)
{
    RatioReporter reporter;
    RunBenchmarks(argc, argv, false, &reporter);
    for (const char *name : {"BM_JobsListOpen", "BM_DynasetScan"}) {
        const double ratio = reporter.Ratio(name, std::string(name) + "Direct");
        if (ratio > 0)
            std::printf("%s: %.2fx the time of the direct SQLite query (best of the repetitions; target 1.5x)\n", name, ratio);
    }
    return 0;
}
