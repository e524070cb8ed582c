#pragma once

#include "platform/Money.h"
#include "platform/DateTime.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

namespace platform {
class Database;
}

// Row-level helpers shared by the receivables operations. Each works inside
// the caller's transaction and throws platform::DbException on a failure.

// The amounts of one job as stored.
struct ReceivableJob
{
    bool found = false;
    qint32 jobId = 0;
    qint32 jobNo = 0;
    quint8 jobType = 0;
    qint32 cusNo = 0;
    Money subtotal, discount, shipping, postage, tax, latefee, paid, writeoff, balance;
};

ReceivableJob ReadReceivableJob(platform::Database &db, qint32 jobId);

// Why the job's receivable amounts (Late Fee, Paid, Write-off, Balance) cannot
// be stored as they stand: the first past the largest amount the program
// holds, refused by name. Empty when every one holds.
QString ReceivableAmountsPastLargest(const ReceivableJob &job);

// Writes Latefee, Paid, Writeoff, Balance and DatePaid (when valid) of the job
// and, for an invoice (History job), its audit row of the changes against
// `before`.
void WriteReceivableJob(platform::Database &db, const ReceivableJob &before, const ReceivableJob &after,
                        const DateTime &datePaid);

// The AuditTrail row of a change of a job's amounts (after minus before).
void InsertAuditChange(platform::Database &db, const ReceivableJob &before, const ReceivableJob &after);

// A settings row of table CustomerAlerts (CusNo 0): its AlertText, added with
// the default text when missing (the add happens in the caller's transaction
// when there is one).
QString ReadSettingRow(platform::Database &db, int alertType, const QString &defaultText);
void WriteSettingRow(platform::Database &db, int alertType, const QString &text);

// The pieces of a comma-terminated list of integers ("150,100,1,"); missing
// or unreadable pieces are 0.
int IntegerItem(const QString &list, int index);

// Runs the work as one transaction; on a database failure everything is
// undone and the failure shown under the caption once the transaction is
// over. False then.
bool InOneTransaction(platform::Database &db, const QString &caption, const std::function<void()> &work);
