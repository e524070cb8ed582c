#include "platform/db/PageCheck.h"

#include "platform/db/Database.h"

#include <QtCore/QElapsedTimer>

#include <sqlite3.h>

namespace platform {

PageCheck CheckPages(Database &db, int budgetMs, QString *complaint)
{
    if (complaint)
        complaint->clear();
    if (!db.isOpen() || !db.handle())
        return PageCheck::Unfinished;
    return CheckPages(db.handle(), budgetMs, complaint);
}

PageCheck CheckPages(sqlite3 *handle, int budgetMs, QString *complaint)
{
    if (complaint)
        complaint->clear();
    if (!handle)
        return PageCheck::Unfinished;
    QElapsedTimer clock;
    clock.start();
    struct Budget
    {
        QElapsedTimer *clock;
        qint64 ms;
    } budget{&clock, budgetMs};
    // The engine asks every thousand steps whether to go on.
    if (budgetMs >= 0) {
        sqlite3_progress_handler(
            handle, 1000,
            [](void *p) -> int {
                const auto *b = static_cast<const Budget *>(p);
                return b->clock->elapsed() > b->ms ? 1 : 0;
            },
            &budget);
    }
    PageCheck result = PageCheck::Unfinished;
    QString finding;
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(handle, "PRAGMA quick_check(1)", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        finding = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        result = finding == QLatin1String("ok") ? PageCheck::Sound : PageCheck::Damaged;
    } else if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB) {
        finding = QString::fromUtf8(sqlite3_errmsg(handle));
        result = PageCheck::Damaged;
    }
    sqlite3_finalize(st);
    if (budgetMs >= 0)
        sqlite3_progress_handler(handle, 0, nullptr, nullptr);
    if (complaint && result == PageCheck::Damaged)
        *complaint = finding;
    return result;
}

qint64 PageCount(Database &db)
{
    if (!db.isOpen() || !db.handle())
        return 0;
    sqlite3_stmt *st = nullptr;
    qint64 pages = 0;
    if (sqlite3_prepare_v2(db.handle(), "PRAGMA page_count", -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        pages = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return pages;
}

} // namespace platform
