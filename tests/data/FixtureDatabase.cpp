#include "FixtureDatabase.h"

#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QFile>

#include <sqlite3.h>

#include <stdexcept>

namespace {

void execRaw(sqlite3 *db, const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error("fixture: " + text);
    }
}

QString quoted(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace

QString FixtureScript(const QString &name)
{
    return QStringLiteral(TAVREL_TEST_DATA "/fixtures/") + name;
}

void BuildDatabaseFromScript(const QString &scriptPath, const QString &databasePath)
{
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("fixture: cannot read " + scriptPath.toStdString());
    const QString script = QString::fromUtf8(file.readAll());

    const QString scratchPath = databasePath + QStringLiteral(".scratch");
    QFile::remove(scratchPath);
    platform::Database::create(scratchPath);

    QList<platform::TableDef> tables;
    QList<QPair<QString, QString>> queries;
    {
        platform::Database scratch;
        scratch.open(scratchPath);
        // A throw-away file: written in one go, without waiting for the disk.
        execRaw(scratch.handle(), QStringLiteral("PRAGMA synchronous = OFF"));
        execRaw(scratch.handle(), QStringLiteral("BEGIN;\n") + script + QStringLiteral("\nCOMMIT;"));
        for (const QString &name : scratch.tableNames()) {
            if (name == QLatin1String("fixture_queries"))
                continue;
            tables.append(scratch.tableDef(name));
        }
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(scratch.handle(), "SELECT name, sql FROM fixture_queries ORDER BY rowid", -1, &st,
                               nullptr)
            == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                queries.append({QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))),
                                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)))});
            }
        }
        sqlite3_finalize(st);
        scratch.close();
    }

    platform::Database::create(databasePath);
    platform::Database db;
    db.open(databasePath, true);
    const QByteArray attach = "ATTACH DATABASE '" + QFile::encodeName(scratchPath).replace("'", "''") + "' AS src";
    execRaw(db.handle(), QString::fromUtf8(attach));
    {
        // One transaction: a file of forty tables is written once.
        platform::Transaction work(db);
        for (platform::TableDef def : tables) {
            def.indexes.clear();
            db.createTable(def);
        }
        for (const platform::TableDef &def : tables)
            execRaw(db.handle(), QStringLiteral("INSERT INTO main.%1 SELECT * FROM src.%1").arg(quoted(def.name)));
        for (const platform::TableDef &def : tables) {
            for (const platform::IndexDef &found : def.indexes) {
                platform::IndexDef index = found;
                const QString prefix = def.name + QLatin1Char('_');
                if (index.name.startsWith(prefix))
                    index.name = index.name.mid(prefix.size());
                index.primary = index.unique;
                db.createIndex(def.name, index);
            }
        }
        for (const auto &q : queries)
            db.createQuery(q.first, q.second);
        work.commit();
    }
    execRaw(db.handle(), QStringLiteral("DETACH DATABASE src"));
    db.close();
    QFile::remove(scratchPath);
}

QStringList TableContents(platform::Database &db, const QString &table)
{
    QStringList rows;
    platform::Recordset set(db);
    const bool statement = table.startsWith(QLatin1String("SELECT "), Qt::CaseInsensitive);
    set.open(platform::Recordset::Type::Snapshot, statement ? table : QStringLiteral("SELECT * FROM [%1]").arg(table));
    for (; !set.isEOF(); set.moveNext()) {
        QStringList values;
        for (int i = 0; i < set.fieldCount(); ++i) {
            const platform::Value v = set.value(i);
            values << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}
