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
#include "platform/db/StatementPacer.h"

#include <optional>

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

// The same fields in the same order (names compared without case).
bool sameFields(const QStringList &a, const QStringList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

void checkKeyIndex(platform::Database &db, const ShopSchema::Index &key)
{
    const QString &table = key.table;
    const QString &field = key.field;
    if (!DbTableExists(&db, table, QString()))
        return;
    const QString name = table + QLatin1Char('.') + key.name();
    if (key.primary) {
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
        db.createIndex(table, key.indexDef());
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
    const auto listed = [&list](const ShopSchema::Index &index) {
        for (const ShopSchema::Index &i : list) {
            if (i.table.compare(index.table, Qt::CaseInsensitive) == 0 && sameFields(i.fields(), index.fields()))
                return true;
        }
        return false;
    };
    for (const ShopSchema::Table &table : ShopSchema::tables()) {
        for (const ShopSchema::Index &index : table.indexes) {
            if (!listed(index))
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

bool CheckDatabaseKeys(QString &log, platform::Database *database, const KeyCheckProgress &progress,
                       KeyCheckStop stop)
{
    const WaitCursor wait;
    ClearRunLog();
    const QList<ShopSchema::Index> list = KeyCheckList();
    int at = 0;
    // A key of a large table takes a while (its duplicates sought, its
    // index built): the window is looked at meanwhile; a stop asked then
    // ends the check at the next key, or at once when it may stop within one.
    std::optional<platform::StatementPacer> pacer;
    if (progress)
        pacer.emplace(*database, [&] {
            return progress(at, int(list.size())) || stop != KeyCheckStop::WithinKey;
        });
    for (int i = 0; i < list.size(); ++i) {
        at = i;
        if (progress && !progress(i, int(list.size()))) {
            log = GetRunLog();
            return false;
        }
        const QString before = GetRunLog();
        try {
            checkKeyIndex(*database, list[i]);
        } catch (const DbException &) {
            if (!pacer || !pacer->interrupted())
                throw;
        }
        // Interrupted, the entry made nothing (its failure is no fault).
        if (pacer && pacer->interrupted()) {
            log = before;
            return false;
        }
    }
    pacer.reset();
    if (progress)
        progress(int(list.size()), int(list.size()));
    ClearJobLocks(*database);
    log = GetRunLog();
    return true;
}

void CheckKeyIndex(const QString &table, const QString &field, bool primary)
{
    checkKeyIndex(SharedDatabase(), {table, field, primary});
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
    return MissingKeyIndexes(db, false);
}

QList<ShopSchema::Index> MissingKeyIndexes(platform::Database &db, bool plainOnly)
{
    QList<ShopSchema::Index> missing;
    platform::TableDef def;
    for (const ShopSchema::Index &key : KeyCheckList()) {
        if ((plainOnly && key.primary) || !db.tableExists(key.table))
            continue;
        if (def.name.compare(key.table, Qt::CaseInsensitive) != 0)
            def = db.tableDef(key.table);
        // A key under another name (PrimaryKey) serves as well.
        bool found = false;
        for (const platform::IndexDef &i : def.indexes) {
            found = found || (sameFields(i.fields(), key.fields()) && (i.primary || !key.primary));
        }
        if (!found)
            missing.append(key);
    }
    return missing;
}

int CreateMissingIndexes(platform::Database &db, bool plainOnly)
{
    int made = 0;
    for (const ShopSchema::Index &key : MissingKeyIndexes(db, plainOnly)) {
        // A key whose values are missing or repeated is left to the key
        // check, which asks before it deletes rows.
        if (key.primary) {
            platform::Recordset nulls(db);
            nulls.open(platform::Recordset::Type::Snapshot,
                       QStringLiteral("SELECT Count(*) FROM %1 WHERE %2 Is Null").arg(key.table, qualified(key.table, key.field)));
            if (nulls.value(0).toInt64() > 0 || findDuplicateKeys(db, key.table, key.field, false) > 0)
                continue;
        }
        try {
            db.createIndex(key.table, key.indexDef());
            ++made;
        } catch (const DbException &e) {
            if (e.number() != 3283 && e.number() != 3284)
                throw;
        }
    }
    return made;
}
