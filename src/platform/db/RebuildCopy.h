#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

namespace platform {

// What a rebuilt copy of a database file could not take over.
struct RebuildResult
{
    struct Loss
    {
        QString table;
        qint64 rows = 0;     // -1: some rows, how many is not known
        bool atMost = false; // rows is only the most there can have been
    };
    QList<Loss> losses;          // tables with rows that could not be read
    QStringList indexesNotBuilt; // "table: index" (rows that break a unique index)
    bool isComplete() const { return losses.isEmpty() && indexesNotBuilt.isEmpty(); }
};

// Writes a new database file at copyPath with the schema of the file at
// sourcePath and every row that can be read from it. Rows are read from the
// tables only and every index is built anew from them, so a damaged index
// (entries that no longer match their rows) is repaired; a damaged table page
// costs only the rows on it, counted per table (from the table's indexes,
// where one can still be read, else as many as its rowids leave room for). The source is only read, and the caller must
// keep other workstations out of it meanwhile. Throws DbException when the
// copy cannot be written or the source's schema cannot be read; the copy is
// then removed.
//
// The progress, when given, is told before each table is copied and each
// index built (steps done, steps in all), told again with the same step
// every few hundredths of a second while a long statement of that step runs
// (a look, not a step), and told (total, total) at the end; when it answers
// false the copy stops (a running statement is interrupted), is removed,
// and DbException 3059 ("Operation canceled by user.") is thrown.
using RebuildProgress = std::function<bool(int done, int total)>;
RebuildResult RebuildCopy(const QString &sourcePath, const QString &copyPath,
                          const RebuildProgress &progress = RebuildProgress());

} // namespace platform
