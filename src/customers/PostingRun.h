#pragma once

#include "platform/Money.h"
#include "data/CPostSet.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

namespace platform {
class Database;
}

// One posting of the receivables ledger: finished orders become invoices
// (History jobs) under one posting number, and the period's unposted quick
// sales and payments are stamped with it. The totals of the run go into one
// PostingJournal row.
//
// The checks of every order (ready, shipped, balance and totals consistent)
// run first and report through the prompt service; then the journal row, every
// job and its audit row, the stamps and the sums are written as one
// transaction, so a failure leaves the database as it was.
class PostingRun
{
public:
    explicit PostingRun(platform::Database &db);

    // Reopens the database for this workstation alone. When another
    // workstation has it open, it is reopened shared and the user is warned;
    // false when the user declines or the database cannot be opened again.
    bool OpenForPosting();
    // Reopens the database shared again, as every way out of a run must.
    void ReopenShared();
    bool IsExclusive() const { return m_exclusive; }

    // Posts the given jobs (the rows in scope, in list order). Orders that are
    // not ready or fail a check are skipped. False when the transaction
    // failed (reported; nothing written).
    bool Post(const QList<qint32> &jobIds);

    // The journal row of the last successful run.
    const CPostSet &Journal() const { return m_journal; }
    qint32 PostingNo() const { return m_journal.m_PostingNo; }
    // The jobs that passed the checks and were posted.
    const QList<qint32> &PostedJobs() const { return m_posted; }

    // "Successfully posted: ..." as shown after the run.
    QString SuccessText() const;

    static QString WarningText();
    static QString ConfirmText();
    static QString NoteText();

private:
    QList<qint32> CheckedJobs(const QList<qint32> &jobIds);
    void Write(const QList<qint32> &jobs);
    Money SumOf(const QString &sql);

    platform::Database &m_db;
    bool m_exclusive = false;
    CPostSet m_journal;
    QList<qint32> m_posted;
};
