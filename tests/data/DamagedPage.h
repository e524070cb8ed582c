#pragma once

#include <QtCore/QFile>
#include <QtCore/QString>

#include <sqlite3.h>

// Writes sixteen bytes of 0x7f over the start of the last leaf page of the
// table in a database file that no connection holds: the rows on that page
// can no longer be read. Returns the page number, 0 when the table has no
// leaf page or the file cannot be changed.
inline int DamageLastLeafPage(const QString &file, const char *table)
{
    sqlite3 *raw = nullptr;
    int page = 0;
    int pageSize = 0;
    if (sqlite3_open(QFile::encodeName(file).constData(), &raw) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(raw,
                           "SELECT max(pageno), (SELECT page_size FROM pragma_page_size) FROM dbstat "
                           "WHERE name = ?1 AND pagetype = 'leaf'",
                           -1, &st, nullptr);
        sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
        if (sqlite3_step(st) == SQLITE_ROW) {
            page = sqlite3_column_int(st, 0);
            pageSize = sqlite3_column_int(st, 1);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(raw);
    QFile f(file);
    if (page <= 0 || !f.open(QIODevice::ReadWrite) || !f.seek(qint64(page - 1) * pageSize)
        || f.write(QByteArray(16, '\x7f')) != 16)
        return 0;
    return page;
}

// Writes the first page of one index of a table over the first page of
// another index of it, in a database file that no connection holds: a sound
// page with the wrong entries, which the engine's integrity check reports
// row by row. The indexes are named as the program names them (jet_indexes).
// False when either has no page or the file cannot be changed.
inline bool CopyIndexPage(const QString &file, const char *table, const char *from, const char *to)
{
    sqlite3 *raw = nullptr;
    int pages[2] = {0, 0};
    int pageSize = 0;
    if (sqlite3_open(QFile::encodeName(file).constData(), &raw) == SQLITE_OK) {
        const char *names[2] = {from, to};
        for (int i = 0; i < 2; ++i) {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(raw,
                               "SELECT min(pageno), (SELECT page_size FROM pragma_page_size) FROM dbstat WHERE name = "
                               "(SELECT sqlname FROM jet_indexes WHERE tbl = ?1 AND name = ?2)",
                               -1, &st, nullptr);
            sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 2, names[i], -1, SQLITE_STATIC);
            if (sqlite3_step(st) == SQLITE_ROW) {
                pages[i] = sqlite3_column_int(st, 0);
                pageSize = sqlite3_column_int(st, 1);
            }
            sqlite3_finalize(st);
        }
    }
    sqlite3_close(raw);
    QFile f(file);
    if (pages[0] <= 1 || pages[1] <= 1 || pageSize <= 0 || !f.open(QIODevice::ReadWrite)
        || !f.seek(qint64(pages[0] - 1) * pageSize))
        return false;
    const QByteArray page = f.read(pageSize);
    return page.size() == pageSize && f.seek(qint64(pages[1] - 1) * pageSize) && f.write(page) == pageSize;
}

// Adds a table "Padding" of random rows to a database file that no connection
// holds, until the file is at least pages long. False when it cannot.
inline bool PadDatabaseFile(const QString &file, int pages)
{
    sqlite3 *raw = nullptr;
    bool done = sqlite3_open(QFile::encodeName(file).constData(), &raw) == SQLITE_OK
        && sqlite3_exec(raw, "CREATE TABLE Padding (Bytes BLOB)", nullptr, nullptr, nullptr) == SQLITE_OK;
    // Some 1,000 pages of rows of 3,000 random bytes at a time.
    for (int made = 0; done && made < pages; made += 1000)
        done = sqlite3_exec(raw,
                            "INSERT INTO Padding WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                            "WHERE i < 1000) SELECT randomblob(3000) FROM n",
                            nullptr, nullptr, nullptr)
            == SQLITE_OK;
    sqlite3_close(raw);
    return done;
}
