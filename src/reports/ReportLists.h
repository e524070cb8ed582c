#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {
class Database;
}

// The record lists of the reports view that are not canned list statements:
// the jobs edited after posting, the audit-trail deletion and the posting
// journal's print headings.

// The statement of a "Jobs Edited After Posting" entry (1-12) over the
// filter condition: entries 1-10 list the changes made after each invoice's
// posting date (2-10 only where their amount changed), 11 sums them by month,
// 12 sets the totals as posted beside the totals now.
QString ChangedJobsSql(int entry, const QString &filter);

// The "Change (Now - Posted)" row of "Posted vs Now" from the row as posted
// and the row now (cell texts by column): column 0 the label, column 1 the
// count difference, the others the money difference with two decimals and no
// grouping; columns that are equal stay empty.
QStringList ChangeRowTexts(const QStringList &posted, const QStringList &now);

// Deletes the audit-trail rows of the transaction numbers in one
// transaction (all or none); throws the database's error.
void DeleteAuditTrailRows(platform::Database &db, const QList<qint64> &transNos);

// "Posting No %d" and "%d Orders and %d QuickSales" of the posting row;
// false when there is no such posting.
bool PostingHeaderTexts(platform::Database &db, int postingNo, QString &first, QString &second);
