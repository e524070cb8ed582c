#pragma once

#include "platform/Money.h"
#include "data/CPostSet.h"

class CJobSet;

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

namespace platform {
class Database;
}

// One posting of the receivables ledger: finished orders become invoices
// (History jobs) under one posting number, and the period's unposted quick
// sales and payments are stamped with it. The totals of the run go into one
// PostingJournal row.
//
// The orders are read a batch at a time; each is checked (ready, shipped,
// balance and totals consistent; a failed check is reported through the
// prompt service and the order skipped) and posted in turn. The journal row,
// every job and its audit row, the stamps and the sums are written as one
// transaction, so a failure leaves the database as it was. A run stopped
// between two orders ends there as a whole run: the orders posted so far,
// the stamps and the journal's sums of exactly those are written, and the
// orders after the stop stay orders for a later run.
class PostingRun
{
public:
    // The progress of a run: orders done, orders in all. False stops the run
    // before the next order. Told (all, all) once when the run ends.
    using Progress = std::function<bool(int done, int total)>;

    explicit PostingRun(platform::Database &db);

    // Reopens the database for this workstation alone. When another
    // workstation has it open, it is reopened shared and the user is warned;
    // false when the user declines or the database cannot be opened again.
    bool OpenForPosting();
    // Reopens the database shared again, as every way out of a run must.
    void ReopenShared();
    bool IsExclusive() const { return m_exclusive; }

    // Posts the given jobs (the rows in scope, in list order). Orders that are
    // not ready or fail a check are skipped, as is an order that would take
    // the run's sums or the ledger's A/R balance past the largest amount.
    // False when the transaction failed, or when a sum of the period (its
    // payments, quick sales, deposits, the customers' credits) would pass the
    // largest amount (reported by name; nothing written).
    bool Post(const QList<qint32> &jobIds, const Progress &progress = Progress());

    // The journal row of the last successful run.
    const CPostSet &Journal() const { return m_journal; }
    qint32 PostingNo() const { return m_journal.m_PostingNo; }
    // The jobs that passed the checks and were posted.
    const QList<qint32> &PostedJobs() const { return m_posted; }
    // Whether the last run was stopped before its last order.
    bool WasStopped() const { return m_stopped; }

    // "Successfully posted: ..." as shown after the run; a stopped run adds
    // how many orders it left unposted.
    QString SuccessText() const;

    // The ledger's open invoices: "SELECT SUM(Balance) ..." of the History
    // jobs with a balance (the journal's A/R Balance).
    static QString ARBalanceSql();

    static QString WarningText();
    static QString ConfirmText();
    static QString NoteText();
    // "Nothing was posted:" and why.
    static QString NotPostedText(const QString &why);

private:
    // False, with m_refusal saying why, when the journal's sums cannot be
    // stored; the caller then writes nothing.
    bool Write(const QList<qint32> &jobIds, const Progress &progress);
    // Why the journal's sums of the period cannot be stored; empty when they
    // can.
    QString PeriodSumsPastLargest() const;
    // The balance the job is posted with: the No Charge marker is posted as 0.
    static Money PostedBalance(const CJobSet &job);
    // Adds the job stood on to the journal's sums and makes it an invoice
    // with its audit row.
    void PostJob(CJobSet &job, const DateTime &today);
    Money SumOf(const QString &sql);

    platform::Database &m_db;
    bool m_exclusive = false;
    bool m_stopped = false;
    int m_unreached = 0; // orders in scope the stopped run did not reach
    CPostSet m_journal;
    QList<qint32> m_posted;
    QString m_refusal;
};
