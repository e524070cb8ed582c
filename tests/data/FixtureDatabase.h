#pragma once

#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {
class Database;
}

// Old shop databases for the tests, built from the SQL scripts in
// tests/data/fixtures: each script is plain SQLite with the program's
// declared types; tables are made through the database layer (so counters,
// keys and saved queries are the layer's own), then the rows are copied in.
// An index named <table>_<name> becomes the table's index <name>, a unique
// one its key; the rows of table fixture_queries become saved queries.

QString FixtureScript(const QString &name);
void BuildDatabaseFromScript(const QString &scriptPath, const QString &databasePath);

// Every row of a table (or of a SELECT) as text, sorted: equal lists mean
// equal contents whatever order or row numbers the file keeps them in.
QStringList TableContents(platform::Database &db, const QString &table);
