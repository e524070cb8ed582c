#include "data/Compaction.h"

#include "app/base/DateRanges.h"
#include "app/base/FileException.h"
#include "app/base/TextUtil.h"
#include "data/DaoError.h"
#include "data/DatabaseFiles.h"
#include "data/KeyCheck.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "data/TableReport.h"
#include "app/base/WaitCursor.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/StatementPacer.h"

#include <QtCore/QFile>
#include <QtCore/QLocale>

#include <sqlite3.h>

#include <cstdio>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>

namespace {

using platform::DbException;

const QString kSettings = QStringLiteral("Settings");

std::function<void(const QString &)> g_beforeChecking;

// Runs one statement on the connection itself, with at most one text bound;
// its failure names the file it was about (the database's own by default).
void runNative(platform::Database &db, const char *sql, const QString &bound = QString(),
               const QString &file = QString())
{
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(db.handle(), sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        if (!bound.isNull()) {
            const QByteArray text = QFile::encodeName(bound);
            sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) {
        const DbException e = platform::dberr::fromConnection(db.handle(), rc, file.isEmpty() ? db.name() : file);
        sqlite3_finalize(st);
        throw e;
    }
    sqlite3_finalize(st);
}

// The engine's own integrity check of the copy, run through the same
// connection (which knows the program's text collation).
void verifyCopy(platform::Database &db, const QString &copy, const std::function<bool()> &look)
{
    // A copy that cannot even be attached is named as the file at fault,
    // never the shop's own file.
    runNative(db, "ATTACH DATABASE ?1 AS jet_compacted", copy, copy);
    QStringList problems;
    int rc = SQLITE_OK;
    sqlite3_stmt *st = nullptr;
    bool stopped = false;
    {
        // The check of a large file takes a while: the window is looked at.
        std::optional<platform::StatementPacer> pacer;
        if (look)
            pacer.emplace(db, look);
        if ((rc = sqlite3_prepare_v2(db.handle(), "PRAGMA jet_compacted.integrity_check", -1, &st, nullptr))
            == SQLITE_OK) {
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
                if (line != QLatin1String("ok"))
                    problems.append(line);
            }
        }
        stopped = pacer && pacer->interrupted();
    }
    const DbException failure = platform::dberr::fromConnection(db.handle(), rc, copy);
    sqlite3_finalize(st);
    sqlite3_exec(db.handle(), "DETACH DATABASE jet_compacted", nullptr, nullptr, nullptr);
    if (stopped)
        platform::dberr::raise(platform::dberr::OperationCanceled);
    if (rc != SQLITE_DONE)
        throw failure;
    if (!problems.isEmpty()) {
        throw DbException(platform::dberr::NotADatabase,
                          platform::dberr::text(platform::dberr::NotADatabase, copy) + QStringLiteral("\n\n")
                              + problems.first());
    }
}

// Every index of the copy deleted and made again from the key check's list,
// as one change (the copy is this workstation's alone, so a question on the
// way keeps no one out). A stop asked on the way, between two steps or in
// the middle of a long statement, ends it at once with the compaction
// stopped: the copy is dropped as at every other step.
void reindexCopy(const QString &copy, QString &log, const CompactProgress &progress)
{
    platform::Database rebuilt;
    rebuilt.open(copy, true);
    // The copy is dropped on any failure and made durable as a whole when it
    // replaces the file: no syncs on the way (a sync of many pages is a hold
    // no look can break).
    runNative(rebuilt, "PRAGMA journal_mode = MEMORY");
    runNative(rebuilt, "PRAGMA synchronous = OFF");
    {
        platform::Transaction work(rebuilt);
        // The old indexes go first, as the first key's step: the window is
        // looked at after each and while one takes long (a table whose key
        // is its row number is rewritten without it).
        const int keys = int(KeyCheckList().size());
        bool stopped = false;
        const auto look = [&] {
            if (progress && !stopped && !progress(0, keys))
                stopped = true;
            return !stopped;
        };
        try {
            std::optional<platform::StatementPacer> pacer;
            if (progress)
                pacer.emplace(rebuilt, look);
            ReportTablesAndIndexes(&rebuilt, true, [&] {
                if (!look())
                    platform::dberr::raise(platform::dberr::OperationCanceled);
            });
        } catch (const DbException &) {
            if (stopped)
                platform::dberr::raise(platform::dberr::OperationCanceled);
            throw;
        }
        if (!CheckDatabaseKeys(log, &rebuilt, progress, KeyCheckStop::WithinKey))
            platform::dberr::raise(platform::dberr::OperationCanceled);
        work.commit();
    }
    rebuilt.close();
}

// The pages the reindexing freed in the copy given back: the copy's rows
// written afresh into a packed file beside it, which then takes the copy's
// name. The engine's packing in place would end by copying every page back
// into the copy, one long hold with no look at the window; written into a
// file of its own, every part of it is a statement that looks. Stopped (the
// look answered false), the compaction stops.
void giveBackRoom(const QString &copy, const std::function<bool()> &look)
{
    const QString packed = copy + QStringLiteral(".packed");
    std::remove(QFile::encodeName(packed).constData());
    {
        platform::Database rebuilt;
        rebuilt.open(copy, true);
        sqlite3_stmt *st = nullptr;
        bool spare = false;
        if (sqlite3_prepare_v2(rebuilt.handle(), "PRAGMA freelist_count", -1, &st, nullptr) == SQLITE_OK)
            spare = sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int64(st, 0) > 0;
        sqlite3_finalize(st);
        if (!spare)
            return;
        // Written without syncs, as the reindexing (made durable with the copy).
        runNative(rebuilt, "PRAGMA synchronous = OFF");
#ifdef Q_OS_UNIX
        // Made empty beforehand for this user alone, as the copy was: it
        // holds every row of the shop.
        const int fd = ::open(QFile::encodeName(packed).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            platform::dberr::raise(platform::dberr::DiskOrNetwork, packed);
        ::close(fd);
#endif
        std::optional<platform::StatementPacer> pacer;
        if (look)
            pacer.emplace(rebuilt, look);
        try {
            runNative(rebuilt, "VACUUM INTO ?1", packed, packed);
        } catch (const DbException &) {
            std::remove(QFile::encodeName(packed).constData());
            if (pacer && pacer->interrupted())
                platform::dberr::raise(platform::dberr::OperationCanceled);
            throw;
        }
        pacer.reset();
        rebuilt.close();
    }
    if (std::rename(QFile::encodeName(packed).constData(), QFile::encodeName(copy).constData()) != 0) {
        std::remove(QFile::encodeName(packed).constData());
        platform::dberr::raise(platform::dberr::DiskOrNetwork);
    }
}

// The copy written through to the disk before it replaces the file. A sync
// of a large file is one system call that no look at the window can break:
// it runs on a thread of its own while the window is looked at, and the
// replacement's own sync then finds nothing left to write. Stopped meanwhile
// (the look answered false), the compaction stops once the sync has ended.
void syncBeside(const QString &copy, const std::function<bool()> &look)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(copy).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return; // the replacement opens it again and says why it cannot
    std::atomic<bool> done{false};
    std::thread worker([fd, &done] {
        ::fsync(fd);
        done = true;
    });
    bool stopped = false;
    while (!done.load()) {
        if (look && !stopped && !look())
            stopped = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    worker.join();
    ::close(fd);
    if (stopped)
        platform::dberr::raise(platform::dberr::OperationCanceled);
#else
    Q_UNUSED(copy);
    Q_UNUSED(look);
#endif
}

// The compaction proper on a file the database holds exclusively (or, for
// a repair, does not hold at all). False when the file cannot be opened at
// all, so that reopening it would only fail again.
bool compactFile(platform::Database &db, const QString &file, bool reindex, const CompactProgress &progress,
                 const CompactProgress &reindexProgress, const CompactProgress &checkProgress)
{
    const QString copy = CompactedFilePath(file);
    if (!RemoveLeftoverFile(copy))
        return true;

    const WaitCursor wait;
    const QString context = QStringLiteral("Cannot compact ") + file;
    bool replaced = false;
    try {
        if (!db.isOpen() || !db.isExclusive()) {
            try {
                db.open(file, true);
            } catch (const DbException &e) {
                ShowDaoError(e, context);
                return e.number() != platform::dberr::NotADatabase && e.number() != platform::dberr::FileNotFound;
            }
        }
        // Rows are copied from the tables and every index is built from
        // them, so a damaged index is repaired rather than copied; rows on a
        // damaged page are counted and reported, never dropped unsaid.
        const platform::RebuildResult rebuilt = db.rebuildCopy(copy, progress);
        // The indexes are made again in the copy, before it replaces the
        // file, and the room the old ones took is given back there: a
        // compaction never leaves the file larger than the rows need.
        QString log;
        if (reindex)
            reindexCopy(copy, log, reindexProgress);
        // The copy made ready and checked, its long statements looking at
        // the progress: the room the old indexes took given back, then the
        // engine's check.
        int checkStep = 0;
        const auto checkStepDone = [&] {
            if (checkProgress && !checkProgress(checkStep, 2))
                platform::dberr::raise(platform::dberr::OperationCanceled);
            ++checkStep;
        };
        const std::function<bool()> look =
            checkProgress ? std::function<bool()>([&] { return checkProgress(checkStep - 1, 2); }) : std::function<bool()>();
        checkStepDone();
        if (reindex)
            giveBackRoom(copy, look);
        if (g_beforeChecking)
            g_beforeChecking(copy);
        checkStepDone();
        verifyCopy(db, copy, look);
        syncBeside(copy, look);
        if (checkProgress)
            checkProgress(2, 2);
        const QString losses = LossReport(rebuilt);

        SystemError error;
        if (!ReplaceFile(copy, file, error)) {
            std::remove(QFile::encodeName(copy).constData());
            ReportException(FileException(error.code, file, error.text), QStringLiteral("replacing ") + file);
            return true;
        }
        replaced = true;
        db.close();
        db.open(file, true);

        if (reindex) {
            log.prepend(losses);
            if (!log.isEmpty())
                platform::Prompt::messageBox(log, QString(), platform::MB_OK);
            else
                platform::Prompt::messageBox(
                    QStringLiteral("Successfully compacted and indexed %1.").arg(DatabaseFileName()), QString(),
                    platform::MB_OK);
        } else if (!losses.isEmpty()) {
            platform::Prompt::messageBox(losses, QString(), platform::MB_OK);
        } else {
            platform::Prompt::messageBox(QStringLiteral("Successfully compacted."), QString(), platform::MB_OK);
        }
        platform::Settings::writeString(kSettings, QStringLiteral("Compacted"), CompactedDateText());
    } catch (const DbException &e) {
        if (!replaced)
            std::remove(QFile::encodeName(copy).constData());
        if (e.number() == platform::dberr::OperationCanceled)
            platform::Prompt::messageBox(QStringLiteral("Compacting was stopped. %1 is unchanged.").arg(DatabaseFileName()));
        else
            ShowDaoError(e, context);
    }
    return true;
}

} // namespace

void SetBeforeCheckingCopyStep(std::function<void(const QString &copy)> step)
{
    g_beforeChecking = std::move(step);
}

QString LossReport(const platform::RebuildResult &result)
{
    QString text;
    for (const platform::RebuildResult::Loss &loss : result.losses) {
        text += loss.rows < 0
            ? QStringLiteral("%1: some rows could not be read and are not in the repaired file.\n").arg(loss.table)
            : QStringLiteral("%1: %2%3 row(s) could not be read and are not in the repaired file.\n")
                  .arg(loss.table, loss.atMost ? QStringLiteral("up to ") : QString())
                  .arg(loss.rows);
    }
    for (const QString &index : result.indexesNotBuilt)
        text += QStringLiteral("%1: the index could not be built (duplicate values).\n").arg(index);
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    return text;
}

void CompactDatabase(platform::Database *database, const QString &question, const QString &path, bool reindex,
                     const CompactProgress &progress, const CompactProgress &reindexProgress,
                     const CompactProgress &checkProgress)
{
    // A file open for reading only cannot be replaced by its compacted copy:
    // that is said once, and the open file is left as it is.
    if (path.isEmpty() && RefusedAsReadOnly(database, QStringLiteral("Cannot compact ") + database->name()))
        return;
    if (!question.isEmpty()
        && platform::Prompt::messageBox(question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
            != platform::IDYES)
        return;

    QString file = path;
    bool goOn = true;
    if (file.isEmpty()) {
        if (!database->isOpen())
            return;
        file = database->name();
        goOn = OpenDatabaseFile(database, file, true);
    }
    const bool reopen = goOn ? compactFile(*database, file, reindex, progress, reindexProgress, checkProgress) : true;
    if (reopen)
        OpenDatabaseFile(database, file, false);
}

QString CompactedDateText()
{
    return QLocale().toString(GetToday().date(), QLocale::ShortFormat);
}

void RemindCompact()
{
    const int days = platform::Settings::readInt(kSettings, QStringLiteral("CompactOpt"), 0);
    if (!IsBitSet(days, GetToday().dayOfWeek()))
        return;
    if (platform::Settings::readString(kSettings, QStringLiteral("Compacted")) == CompactedDateText())
        return;
    // Nothing to remind of while the file can only be read.
    if (SharedDatabase().isOpen() && SharedDatabase().isReadOnly())
        return;
    CompactDatabase(&SharedDatabase(), QStringLiteral("Remember to compact the database today.\n\nDo you want to start now?"),
                    QString(), true);
}
