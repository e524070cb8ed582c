#include "platform/db/HeldFileAudit.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QMap>
#include <QtCore/QStringList>

#include <mutex>

#include <sqlite3.h>

namespace platform {
namespace {

struct Opened
{
    QString path;
    bool exclusive = false;
};

std::mutex &registryLock()
{
    static std::mutex lock;
    return lock;
}

QMap<sqlite3 *, Opened> &registry()
{
    static QMap<sqlite3 *, Opened> connections;
    return connections;
}

// How one of our connections holds its file, or empty when it does not.
QString heldBy(sqlite3 *db, bool exclusive)
{
    if (exclusive)
        return QStringLiteral("exclusive");
    switch (sqlite3_txn_state(db, "main")) {
    case SQLITE_TXN_WRITE: return QStringLiteral("write");
    case SQLITE_TXN_READ: return sqlite3_get_autocommit(db) ? QStringLiteral("statement") : QStringLiteral("read");
    default: break;
    }
    for (sqlite3_stmt *st = sqlite3_next_stmt(db, nullptr); st; st = sqlite3_next_stmt(db, st))
        if (sqlite3_stmt_busy(st))
            return QStringLiteral("statement");
    return QString();
}

// True when a connection of no wait cannot take the file exclusively.
bool refused(const QString &path)
{
    sqlite3 *probe = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &probe, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        sqlite3_close_v2(probe);
        return false;
    }
    const int rc = sqlite3_exec(probe, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        sqlite3_exec(probe, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(probe);
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

QString oneLine(QString text)
{
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '));
}

} // namespace

bool HeldFileAudit::enabled()
{
    static const bool on = !qEnvironmentVariableIsEmpty("TAVREL_AUDIT_HELD_FILE");
    return on;
}

void HeldFileAudit::opened(sqlite3 *db, const QString &path, bool exclusive)
{
    if (!enabled() || !db)
        return;
    const std::lock_guard<std::mutex> hold(registryLock());
    registry().insert(db, Opened{path, exclusive});
}

void HeldFileAudit::closed(sqlite3 *db)
{
    if (!enabled() || !db)
        return;
    const std::lock_guard<std::mutex> hold(registryLock());
    registry().remove(db);
}

void HeldFileAudit::check(const QString &kind, const QString &caption, const QString &text)
{
    if (!enabled())
        return;
    QMap<QString, QStringList> how; // by file: how our connections hold it
    {
        const std::lock_guard<std::mutex> hold(registryLock());
        for (auto it = registry().cbegin(); it != registry().cend(); ++it) {
            QStringList &held = how[it->path];
            const QString by = heldBy(it.key(), it->exclusive);
            if (!by.isEmpty() && !held.contains(by))
                held << by;
        }
    }
    QStringList lines;
    for (auto it = how.cbegin(); it != how.cend(); ++it) {
        if (!refused(it.key()))
            continue;
        QString who = qEnvironmentVariable("TAVREL_AUDIT_TEST");
        if (who.isEmpty())
            who = QCoreApplication::applicationName();
        lines << QStringList{who, kind, oneLine(caption), oneLine(text),
                             it->isEmpty() ? QStringLiteral("another connection") : it->join(QLatin1Char('+')),
                             it.key()}
                     .join(QLatin1Char('\t'));
    }
    if (lines.isEmpty())
        return;
    QFile log(qEnvironmentVariable("TAVREL_AUDIT_HELD_FILE"));
    if (log.open(QIODevice::Append | QIODevice::Text))
        log.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

} // namespace platform
