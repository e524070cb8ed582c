// The services view on a category of 2,000 services: "List Now" (the list
// filled and every row read) and saving a new sort order of the whole list,
// each beside the same work done straight on SQLite with prepared statements.
#include "BenchSupport.h"
#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "catalogue/CViewServices.h"
#include "catalogue/ServiceUpdates.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "data/AppDataServices.h"
#include "data/ShopDatabase.h"
#include "data/SharedDatabase.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

#include <memory>

namespace {

constexpr int kServices = 2000;

// Text compares as the program's own connection compares it: blind to case.
int compareText(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    const int n = lengthA < lengthB ? lengthA : lengthB;
    const int c = sqlite3_strnicmp(static_cast<const char *>(a), static_cast<const char *>(b), n);
    return c != 0 ? c : lengthA - lengthB;
}

struct Shop
{
    QTemporaryDir folder;
    QString path;
    std::unique_ptr<CZqApp> app;
    sqlite3 *raw = nullptr;
};

Shop &shop()
{
    static Shop s = [] {
        Shop made;
        platform::Settings::useFolder(made.folder.filePath(QStringLiteral("settings")));
        Appearance::instance().LoadViewSettings();
        made.path = made.folder.filePath(QStringLiteral("TavrelData.mdb"));
        CreateShopDatabase(made.path);
        SharedDatabase().open(made.path);
        platform::Database &db = SharedDatabase();
        db.executeNative(QStringLiteral("INSERT INTO ServiceCategories (CatNo, DepNo, CatName, IconNo, SortNo) "
                                        "VALUES (101, 2, 'Bond', 51, 1)"));
        db.executeNative(QStringLiteral("BEGIN"));
        for (int i = 0; i < kServices; ++i)
            db.executeNative(QStringLiteral("INSERT INTO Services (SerNo, CatNo, SortNo, Name, Size, SerStatus, "
                                            "SaleDept, SetTime1, UnitsHr1, SetCost1, SetPrice1, RunCost1, RunPrice1) "
                                            "VALUES (%1, 101, %2, 'Paper %1', '8.5 x 11', %3, 0, 1000, 400000, 250, "
                                            "500, 1234, 2000)")
                                 .arg(1000 + i)
                                 .arg(kServices - i)
                                 .arg(i % 7 == 0 ? 2 : 0));
        db.executeNative(QStringLiteral("COMMIT"));
        made.app = std::make_unique<CZqApp>();
        InstallAppQueryReader(*made.app);
        made.app->LoadServiceDepartments();
        made.app->LoadServiceCategories();
        made.app->LoadServices(1);
        sqlite3_open_v2(made.path.toUtf8().constData(), &made.raw, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(made.raw, 5000);
        sqlite3_create_collation(made.raw, "JETTEXT", SQLITE_UTF8, nullptr, compareText);
        return made;
    }();
    return s;
}

CViewServices &view()
{
    static CViewServices *made = [] {
        shop();
        auto *v = new CViewServices();
        v->resize(1100, 700);
        v->OnInitialUpdate();
        v->show();
        v->tree()->setCurrentItem(v->tree()->FindChildByData(101));
        return v;
    }();
    return *made;
}

void BM_ServicesListNow(benchmark::State &state)
{
    CViewServices &v = view();
    int rows = 0;
    for (auto _ : state) {
        v.RunCommand(30401);
        v.list()->FetchAll();
        rows = v.list()->GetItemCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ServicesListNow)->Unit(benchmark::kMillisecond);

void BM_RawSqliteSameList(benchmark::State &state)
{
    sqlite3 *db = shop().raw;
    const char *sql =
        "SELECT Services.Name, Size, SalesDepartments.Name, CASE WHEN SerStatus = 2 THEN '~Discontinued' WHEN "
        "SerStatus = 1 THEN 'Active+' ELSE 'Active' END, SetTime, ImpHour, SetTime1 / 100.0, 0.01 * UnitsHr1, "
        "SetCost1 / 100.0, SetPrice1 / 100.0, RunCost1 / 100.0, RunPrice1 / 100.0, CostHr, WageHr, CostOH, Markup, "
        "Modified, SerRemind, Services.SerNo FROM Services LEFT JOIN SalesDepartments ON SalesDepartments.[No] = "
        "Services.SaleDept LEFT JOIN ServiceCategories ON ServiceCategories.CatNo = Services.CatNo WHERE "
        "Services.CatNo = ? ORDER BY Services.SortNo, Services.Name";
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        sqlite3_bind_int(stmt, 1, 101);
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 19; ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RawSqliteSameList)->Unit(benchmark::kMillisecond);

QList<qint32> listOrder()
{
    CViewServices &v = view();
    v.RunCommand(30401);
    v.list()->FetchAll();
    QList<qint32> order;
    for (int r = v.list()->GetItemCount() - 1; r >= 0; --r)
        order << qint32(v.list()->GetItemData(r));
    return order;
}

void BM_SaveSortOrder(benchmark::State &state)
{
    const QList<qint32> order = listOrder();
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveServicesSortOrder(order));
    state.counters["rows"] = order.size();
}
BENCHMARK(BM_SaveSortOrder)->Unit(benchmark::kMillisecond);

void BM_RawSqliteSortOrder(benchmark::State &state)
{
    const QList<qint32> order = listOrder();
    sqlite3 *db = shop().raw;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "UPDATE Services SET SortNo = ? WHERE SerNo = ?", -1, &stmt, nullptr);
        int sortNo = 0;
        for (qint32 serNo : order) {
            sqlite3_bind_int(stmt, 1, ++sortNo);
            sqlite3_bind_int(stmt, 2, serNo);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.counters["rows"] = order.size();
}
BENCHMARK(BM_RawSqliteSortOrder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv, true);
}
