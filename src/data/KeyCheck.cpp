#include "data/KeyCheck.h"

#include "data/DaoError.h"
#include "data/DatabaseHelpers.h"
#include "data/RunProgress.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "app/base/WaitCursor.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

namespace {

using platform::DbException;

// "Table.[Field]", as the statements name a key field.
QString qualified(const QString &table, const QString &field)
{
    return QStringLiteral("%1.[%2]").arg(table, field);
}

int findDuplicateKeys(platform::Database &db, const QString &table, const QString &field, bool remove)
{
    const QString q = qualified(table, field);
    platform::Recordset groups(db);
    groups.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT First(%1) AS [IndexField], Count(%1) AS [NumberOfDups] FROM %2 "
                               "GROUP BY %1 HAVING Count(%1)>1")
                    .arg(q, table));
    if (groups.isEOF())
        return 0;
    groups.moveLast();
    const int n = int(groups.recordCount());
    groups.moveFirst();
    if (!remove)
        return n;

    try {
        db.deleteIndex(table, field);
    } catch (const DbException &) {
    }
    std::unique_ptr<SchemaProgress> progress = OpenRunProgress();
    progress->start(n, QStringLiteral("Deleting %s duplicates in ") + q, true, true, QString());
    for (; !groups.isEOF(); groups.moveNext()) {
        const qint64 value = groups.value(0).toInt64();
        const QString select = QStringLiteral("SELECT [%1] FROM %2 WHERE [%1] = %3").arg(field, table).arg(value);
        try {
            platform::Recordset rows(db);
            rows.open(platform::Recordset::Type::Dynaset, select);
            // The first row of the value stays; every further one goes.
            if (!rows.isEOF())
                rows.moveNext();
            for (; !rows.isEOF(); rows.moveNext())
                rows.deleteRecord();
        } catch (const DbException &e) {
            progress.reset();
            ShowDaoError(e, QStringLiteral("Cannot delete ") + select);
            return 0;
        }
        if (!progress->step(QString()))
            break;
    }
    return 1;
}

void checkKeyIndex(platform::Database &db, const QString &table, const QString &field, bool primary)
{
    if (!DbTableExists(&db, table, QString()))
        return;
    const QString name = table + QLatin1Char('.') + field;
    if (primary) {
        db.execute(QStringLiteral("DELETE * FROM %1 WHERE %2 is null").arg(table, qualified(table, field)));
        const int n = findDuplicateKeys(db, table, field, false);
        if (n > 0
            && platform::Prompt::messageBox(
                   QStringLiteral("Found %1 duplicate record(s) of %2\n\nDelete duplicates?").arg(n).arg(name),
                   QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                == platform::IDYES)
            findDuplicateKeys(db, table, field, true);
    }
    try {
        platform::IndexDef index;
        index.name = field;
        index.field = field;
        index.primary = primary;
        index.unique = primary;
        db.createIndex(table, index);
    } catch (const DbException &e) {
        // A key or an index of that name already there is what the check wants.
        if (e.number() != 3283 && e.number() != 3284)
            AppendRunLog(QStringLiteral("FAILED to create %1. Error %2: %3").arg(name).arg(e.number()).arg(e.description()));
    }
}

} // namespace

QList<ShopSchema::Index> KeyCheckList()
{
    QList<ShopSchema::Index> list = ShopSchema::keyIndexes();
    const auto listed = [&list](const QString &table, const QString &field) {
        for (const ShopSchema::Index &i : list) {
            if (i.table.compare(table, Qt::CaseInsensitive) == 0 && i.field.compare(field, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    for (const ShopSchema::Table &table : ShopSchema::tables()) {
        for (const ShopSchema::Index &index : table.indexes) {
            if (!listed(index.table, index.field))
                list.append(index);
        }
    }
    return list;
}

QString CheckDatabaseKeys(QString &log, platform::Database *database)
{
    CheckDatabaseKeys(log, database, KeyCheckProgress());
    return log;
}

bool CheckDatabaseKeys(QString &log, platform::Database *database, const KeyCheckProgress &progress)
{
    const WaitCursor wait;
    ClearRunLog();
    const QList<ShopSchema::Index> list = KeyCheckList();
    for (int i = 0; i < list.size(); ++i) {
        if (progress && !progress(i, int(list.size()))) {
            log = GetRunLog();
            return false;
        }
        checkKeyIndex(*database, list[i].table, list[i].field, list[i].primary);
    }
    if (progress)
        progress(int(list.size()), int(list.size()));
    ClearJobLocks(*database);
    log = GetRunLog();
    return true;
}

void CheckKeyIndex(const QString &table, const QString &field, bool primary)
{
    checkKeyIndex(SharedDatabase(), table, field, primary);
}

int FindDuplicateKeys(const QString &table, const QString &field, bool remove)
{
    return findDuplicateKeys(SharedDatabase(), table, field, remove);
}

void ClearJobLocks(platform::Database &db)
{
    const QList<platform::Database::Connection> connections = db.connections();
    if (connections.size() > 1) {
        QString names;
        for (const platform::Database::Connection &c : connections)
            names += c.computer + QStringLiteral(" (") + c.user + QStringLiteral(")\n");
        const QString question =
            QStringLiteral("Other workstations have the database open. Connected now:\n\n%1\nThe jobs open on the "
                           "other workstations would lose their locks.\n\nClear all job locks anyway?")
                .arg(names);
        if (platform::Prompt::messageBox(question, QString(),
                                         platform::MB_YESNO | platform::MB_ICONQUESTION | platform::MB_DEFBUTTON2)
            != platform::IDYES)
            return;
    }
    db.execute(QStringLiteral("DELETE * FROM Options WHERE OptionID < 0"));
}

QList<ShopSchema::Index> MissingKeyIndexes(platform::Database &db)
{
    QList<ShopSchema::Index> missing;
    for (const ShopSchema::Index &key : KeyCheckList()) {
        if (!db.tableExists(key.table))
            continue;
        // A key under another name (PrimaryKey) serves as well.
        bool found = false;
        for (const platform::IndexDef &i : db.tableDef(key.table).indexes) {
            const bool sameField = i.field.compare(key.field, Qt::CaseInsensitive) == 0;
            found = found || (sameField && (i.primary || !key.primary));
        }
        if (!found)
            missing.append(key);
    }
    return missing;
}

int CreateMissingIndexes(platform::Database &db)
{
    int made = 0;
    for (const ShopSchema::Index &key : MissingKeyIndexes(db)) {
        // A key whose values are missing or repeated is left to the key
        // check, which asks before it deletes rows.
        if (key.primary) {
            platform::Recordset nulls(db);
            nulls.open(platform::Recordset::Type::Snapshot,
                       QStringLiteral("SELECT Count(*) FROM %1 WHERE %2 Is Null").arg(key.table, qualified(key.table, key.field)));
            if (nulls.value(0).toInt64() > 0 || findDuplicateKeys(db, key.table, key.field, false) > 0)
                continue;
        }
        platform::IndexDef index;
        index.name = key.field;
        index.field = key.field;
        index.primary = key.primary;
        index.unique = key.primary;
        try {
            db.createIndex(key.table, index);
            ++made;
        } catch (const DbException &e) {
            if (e.number() != 3283 && e.number() != 3284)
                throw;
        }
    }
    return made;
}
