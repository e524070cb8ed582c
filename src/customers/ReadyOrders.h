#pragma once

#include "data/CJobSet.h"

#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QtGlobal>

namespace platform {
class Database;
}

// Orders read a batch at a time for the ready-to-post checks: the jobs' rows
// with one query and the sums of their item rows with another. Checking one
// job at a time would run two queries per job, each a statement text of its
// own that the connection keeps among its prepared texts long after.
//
// The batch's jobs are walked in job-number order when they are read for
// posting; read for a list's remarks they come in any order.
class ReadyOrders
{
public:
    // Jobs read together for a list's remarks: as many as the list reads at
    // once (a list filling on behind its first screen reads few at a time).
    static constexpr int kBatch = 1024;
    // Jobs read together while posting, between whose rows the jobs table is
    // written: a batch of this size posts fastest.
    static constexpr int kPostingBatch = 128;

    // Orders read only for a list's remarks are read as a snapshot; orders to
    // be posted stay open for editing.
    explicit ReadyOrders(platform::Database &db, bool forEditing = true);

    // Reads the jobs of the ids (any number, usually up to kBatch) and the
    // sums of their items, and stands on the first job read.
    void Read(const QList<qint32> &jobIds);
    bool AtEnd();
    void Next();
    // The job stood on, with the set's rules.
    CJobSet &Job() { return m_jobs; }
    // The totals check of the job stood on against its items; with a note the
    // discrepancy is shown followed by the note.
    bool HasDiscrepancy(const QString &note);
    void Close();

private:
    platform::Database &m_db;
    CJobSet m_jobs;
    QHash<qint32, CJobSet::ItemSums> m_sums;
};
