#include "CheckCommand.h"

#include "data/KeyCheck.h"
#include "data/SchemaUpgrade.h"
#include "data/ShopDatabase.h"
#include "data/ShopSchema.h"
#include "platform/db/Database.h"
#include "platform/db/DbErrors.h"
#include "platform/db/DbException.h"
#include "platform/db/RebuildCopy.h"

#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

namespace {

QString integrityOf(platform::Database &db)
{
    sqlite3_stmt *st = nullptr;
    QStringList lines;
    if (sqlite3_prepare_v2(db.handle(), "PRAGMA integrity_check(20)", -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    } else {
        lines << QString::fromUtf8(sqlite3_errmsg(db.handle()));
    }
    sqlite3_finalize(st);
    return lines.join(QStringLiteral("; "));
}

QString describe(const ShopSchema::Field &f)
{
    return f.type == platform::FieldType::Text ? QStringLiteral("%1 Text(%2)").arg(f.name).arg(f.size)
                                               : QStringLiteral("%1 %2").arg(f.name, platform::fieldTypeName(f.type));
}

// What compaction with repair would do to the file, found by rebuilding a
// copy of it in a temporary folder (the file itself is only read).
QStringList RepairForecast(const QString &path)
{
    QStringList lines;
    QTemporaryDir folder;
    if (!folder.isValid())
        return lines;
    try {
        const platform::RebuildResult r = platform::RebuildCopy(path, folder.filePath(QStringLiteral("repair.mdb")));
        lines << QStringLiteral("a repair would rebuild every index from the rows");
        for (const platform::RebuildResult::Loss &loss : r.losses) {
            lines << (loss.rows < 0 ? QStringLiteral("a repair would leave out rows of %1 that cannot be read").arg(loss.table)
                                    : QStringLiteral("a repair would leave out %1 row(s) of %2 that cannot be read")
                                          .arg(loss.rows)
                                          .arg(loss.table));
        }
        for (const QString &index : r.indexesNotBuilt)
            lines << QStringLiteral("a repair could not build the index %1 (duplicate values)").arg(index);
        if (r.isComplete())
            lines << QStringLiteral("a repair would keep every row");
    } catch (const platform::DbException &e) {
        lines << QStringLiteral("a repair cannot copy the file: Error %1: %2").arg(e.number()).arg(e.description());
    }
    return lines;
}

} // namespace

int runCheckCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 || args.first().isEmpty()) {
        err << "usage: tavrel-dbtool check DB\n";
        return 2;
    }
    platform::Database db;
    try {
        db.open(args.first(), false, true);
    } catch (const platform::DbException &e) {
        // A journal left beside the file means a write stopped half way; a
        // read-only look cannot roll it back, but it is no damage.
        // (A journal refused as not the user's own is told as the refusal.)
        const QFileInfo journal(args.first() + QStringLiteral("-journal"));
        if (e.number() != platform::dberr::CannotOpenFile && journal.exists() && journal.size() > 0) {
            out << "a write was interrupted; opening the file read-write will roll it back\n";
            return 1;
        }
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 2;
    }
    if (!db.lockWarning().isEmpty())
        err << "warning: " << db.lockWarning() << '\n';

    int findings = 0;
    const auto report = [&](const QString &line) {
        out << line << '\n';
        ++findings;
    };
    try {
        const QString stored = ReadVersionText(db);
        const QString program = ShopSchema::versionText();
        out << "version " << (stored.isEmpty() ? QStringLiteral("(none)") : stored) << ", program " << program << '\n';
        if (const VersionOrder order = CompareVersions(stored, program); order != VersionOrder::Same)
            report(order == VersionOrder::Later ? QStringLiteral("the file is newer than the program")
                                                : QStringLiteral("the file needs the upgrade"));

        const QString integrity = integrityOf(db);
        out << "integrity " << integrity << '\n';
        if (integrity != QLatin1String("ok")) {
            report(QStringLiteral("the file is damaged"));
            for (const QString &line : RepairForecast(args.first()))
                out << line << '\n';
        }

        for (const QString &table : db.tableNames()) {
            if (!ShopSchema::table(table))
                report(QStringLiteral("%1: not a table of the current layout").arg(table));
        }
        for (const ShopSchema::Table &t : ShopSchema::tables()) {
            if (!db.tableExists(t.name)) {
                report(QStringLiteral("%1: missing").arg(t.name));
                continue;
            }
            const platform::TableDef def = db.tableDef(t.name);
            QStringList missing, different, extra;
            for (const ShopSchema::Field &f : t.fields) {
                const platform::FieldDef *g = def.field(f.name);
                if (!g)
                    missing << describe(f);
                else if (g->type != f.type || (f.type == platform::FieldType::Text && g->size != f.size))
                    different << describe(f);
            }
            for (const platform::FieldDef &g : def.fields) {
                if (!t.field(g.name))
                    extra << g.name;
            }
            if (!missing.isEmpty())
                report(QStringLiteral("%1: fields missing: %2").arg(t.name, missing.join(QStringLiteral(", "))));
            if (!different.isEmpty())
                report(QStringLiteral("%1: fields to become %2").arg(t.name, different.join(QStringLiteral(", "))));
            if (!extra.isEmpty())
                report(QStringLiteral("%1: fields not in the layout: %2").arg(t.name, extra.join(QStringLiteral(", "))));
        }
        // A trigger runs with every change the program makes; a view is
        // nothing the program reads: neither is the program's own.
        for (const QString &object : db.foreignObjects())
            report(QStringLiteral("%1: not part of the layout").arg(object));
        for (const ShopSchema::Index &key : MissingKeyIndexes(db))
            report(QStringLiteral("%1: %2 %3 missing").arg(key.table, key.primary ? QStringLiteral("key") : QStringLiteral("index"), key.fields().join(QStringLiteral(", "))));
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.description() << '\n';
        return 2;
    }
    out << (findings == 0 ? QStringLiteral("nothing to do") : QStringLiteral("%1 finding(s)").arg(findings)) << '\n';
    return findings == 0 ? 0 : 1;
}
