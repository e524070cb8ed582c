#include "app/base/Workstations.h"

#include "app/base/SharedDatabaseHolder.h"
#include "platform/db/LockFile.h"

#include <QtCore/QSet>

namespace {
const QString kLockFileName = QStringLiteral("TavrelData.ldb");
}

QString WorkstationLockFilePath()
{
    SharedDatabaseHolder &holder = SharedDatabaseHolder::current();
    if (holder.database().isOpen())
        return platform::LockFile::pathFor(holder.database().name());
    return holder.dataFolder() + kLockFileName;
}

int CountWorkstations(QString &distinct, QString &all)
{
    distinct.clear();
    all.clear();
    SharedDatabaseHolder &holder = SharedDatabaseHolder::current();
    if (!holder.database().isOpen() && holder.dataFolder().isEmpty())
        return 0; // no database folder known yet
    const QString path = WorkstationLockFilePath();
    const QList<platform::Database::Connection> connections = platform::LockFile::connections(path);
    QSet<QString> seen;
    int count = 0;
    for (const platform::Database::Connection &c : connections) {
        const QString entry = (c.computer + QStringLiteral(" (") + c.user + QLatin1Char(')')).toUpper();
        if (!seen.contains(entry)) {
            seen.insert(entry);
            distinct += entry + QStringLiteral("\r\n");
            ++count;
        }
        all += entry + QStringLiteral("\r\n");
    }
    return count;
}

QString WorkstationsText()
{
    QString distinct;
    QString all;
    const int count = CountWorkstations(distinct, all);
    QString text = QStringLiteral("Workstations connected to TavrelData.mdb: %1\n%2\n\nThe lock file (TavrelData.ldb) "
                                  "include following users:\n%3")
                       .arg(count)
                       .arg(distinct, all);
    text += QStringLiteral(
        "\n\nAbout the Lock File: When a user opens the database (by starting Tavrel or another program such as "
        "Microsoft Access), an entry is made in the lock file. This entry is NOT removed from the lock file until "
        "every user closes the database. ");
    text += QStringLiteral(
        "When the last user closes the database, the lock file is deleted. Exception: The lock file is not deleted "
        "if the last user does not have delete rights or when the database is marked as corrupted.");
    return text;
}
