#pragma once

#include "data/CJobSet.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

// Copies of jobs: a job pasted as a new job of another or the same type (a
// quote becomes an order, a history job is reordered, a template starts a
// quote, a portal job is converted), and the credit invoice that cancels a
// posted invoice, optionally with a revised copy of it.
//
// Every question is asked before anything is written; then the new job, its
// number, its items and samples and the changes to the source are written as
// one change: a copy that fails part way leaves no job behind and uses no
// number. The new job is left in the caller's job set, in edit mode.
class JobCopy
{
public:
    // The check-box choice of the fields to update ("Ask me what to
    // update"): the title, the stored mask; the answer is the mask to apply
    // (0 updates nothing).
    using AskUpdates = std::function<int(const QString &title, int optionId, int mask)>;

    explicit JobCopy(CJobSet &target);

    // The choice dialog; without one the stored choices are applied as they are.
    void SetUpdateChooser(AskUpdates chooser) { m_askUpdates = std::move(chooser); }

    // Pastes the job as a new job of the type, for the customer (0: the
    // source's). False when refused, cancelled or failed (the user was told).
    bool PasteJob(qint32 sourceJobId, int newType, qint32 cusNo);
    // Cancels a posted invoice with a credit invoice (a negated copy
    // numbered with the invoice's number negated) and, when asked, adds a
    // revised copy as a new order.
    bool CreditInvoice(qint32 sourceJobId, bool revised);

    // --- after a paste ---------------------------------------------------------
    // The choice mask applied, and whether the changed fields are to be shown.
    int m_nMask = 0;
    bool ShowChanges() const { return (m_nMask & 0x4000) != 0; }
    // "Pasted from %s  (%d days old)" and "New " + the new job's label.
    QString m_strChangesTitle;
    QString m_strChangesHeader;
    struct Change
    {
        QString field;
        QString was;
        QString now;
    };
    QList<Change> m_changes;

    // --- after a credit ----------------------------------------------------------
    qint32 m_nCreditJobId = 0;
    qint32 m_nCreditJobNo = 0;
    qint32 m_nRevisedJobId = 0;
    qint32 m_nRevisedJobNo = 0;

    // How many times a busy database is tried before the copy gives up.
    static constexpr int kBusyTries = 4;

    // Every span from "Payment $" through the next line break taken out.
    static QString RemovePaymentLines(const QString &note);

private:
    // Copies the source into a new row of the target (the type, its number or
    // the credit's number, its items) and applies the date rules. False on a
    // failure (already shown).
    bool CopyJob(CJobSet &source, int newType, bool credit);
    bool CopyItems(const CJobSet &source, bool credit);
    void UpdateFromCustomer(const CJobSet &source, int mask);
    bool RepriceItems();
    // Runs the writing in one transaction; a busy database is retried after
    // asking. False when it failed or the user gave up.
    bool RunAtomically(const std::function<bool()> &work);
    void CollectChanges(CJobSet &source);
    void CancelTarget();
    DateTime Today() const;

    CJobSet &m_job;
    AskUpdates m_askUpdates;
    bool m_bRepriceRefused = false;
};
