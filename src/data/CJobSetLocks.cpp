// The rules with which several workstations share the jobs: job locks, job
// numbers, the deletion of a job with its audit trail, the audit rows of
// posted invoices and the roll-up of service costs into item and job costs.
//
// Every change that writes more than one row runs as one transaction, taken
// only after every question has been answered; a failure rolls it back and
// is reported after the rollback, so nothing stays locked while a message is
// on the screen.

#include "data/CJobSet.h"

#include "data/DaoError.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"

#include <limits>
#include <memory>
#include <vector>

using platform::DbException;
using platform::FieldType;
using platform::Recordset;
using platform::Value;

namespace {

constexpr qint32 kAgeToDelete = 366; // days a paid or credit invoice is kept

bool ensureOpen(platform::Database &db)
{
    return db.isOpen() || OpenDatabase(&db);
}

// The nine amounts an audit row records, with the job's number and type.
struct AuditValues
{
    qint32 jobNo = 0;
    quint8 jobType = 0;
    Money amounts[9];
};

const char *const kAuditAmountColumns[9] = {"Subtotal", "Discount", "Shipping", "Postage", "Tax",
                                             "Latefee",  "Paid",     "Writeoff", "Balance"};

void amountsOf(const CJobSet &job, Money (&out)[9])
{
    out[0] = job.m_Subtotal;
    out[1] = job.m_Discount;
    out[2] = job.m_Shipping;
    out[3] = job.m_Postage;
    out[4] = job.m_Tax;
    out[5] = job.m_Latefee;
    out[6] = job.m_Paid;
    out[7] = job.m_Writeoff;
    out[8] = job.m_Balance;
}

// Adds an audit row as a new audit row starts (dated today, property 0) with
// the given values. Throws on a database failure.
void insertAuditRow(platform::Database &db, const AuditValues &values)
{
    Recordset audit(db);
    audit.open(Recordset::Type::Dynaset, QStringLiteral("AuditTrail"));
    audit.addNew();
    audit.setValue(QStringLiteral("TransDate"), Value(DateTime::fromDate(platform::Clock::today())));
    audit.setValue(QStringLiteral("JobNo"), Value(std::int64_t(values.jobNo), FieldType::Long));
    for (int i = 0; i < 9; ++i)
        audit.setValue(QString::fromLatin1(kAuditAmountColumns[i]), Value(Money::fromUnits(values.amounts[i].units())));
    audit.setValue(QStringLiteral("JobType"), Value(std::int64_t(values.jobType), FieldType::Byte));
    audit.setValue(QStringLiteral("PropID"), Value(std::int64_t(0), FieldType::Byte));
    audit.update();
    audit.close();
}

// Whole days from a date to today.
qint32 daysUntilToday(const DateTime &date)
{
    return DateTime::fromDate(platform::Clock::today()).dayNumber() - date.dayNumber();
}

// A counter's text as the last number given out: plain decimal digits only.
bool readCounter(const Value &name, qint32 &out)
{
    if (name.isNull())
        return false;
    const QString text = name.toString().trimmed();
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isDigit())
            return false;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value > 2147483647)
        return false;
    out = qint32(value);
    return true;
}

// Writes one column of one row found by its key. Throws on a failure.
void writeColumn(platform::Database &db, const QString &table, const QString &keyColumn, qint32 key,
                 const QString &column, const Value &value)
{
    Recordset row(db);
    row.open(Recordset::Type::Dynaset,
             QStringLiteral("SELECT * FROM %1 WHERE %2 = %3").arg(table, keyColumn).arg(key));
    if (row.isEOF())
        return;
    row.edit();
    row.setValue(column, value);
    row.update();
    row.close();
}

} // namespace

// ---------------------------------------------------------------------------
// Locks

bool CJobSet::IsLocked()
{
    CXDaoSet lock(m_pDatabase);
    lock.Open(dbOpenSnapshot, QStringLiteral("SELECT OptionID FROM Options WHERE OptionID = %1").arg(-m_JobID));
    return !lock.IsEmptySet();
}

// A lock row is written in a transaction of its own that does not wait for
// the disk: other workstations see it as soon as it is committed, and a lock
// row lost to a power cut is only a lock less, while one left behind is taken
// over after the question (or cleared with the other stale locks). Inside a
// transaction of the caller's it is part of that one and keeps its durability.
bool CJobSet::Lock(bool lock)
{
    // A shop opened for reading only changes nothing through this
    // workstation: a job is shown for reading and needs no lock entry.
    if (m_pDatabase && m_pDatabase->isOpen() && m_pDatabase->isReadOnly())
        return true;
    const QString name = QStringLiteral("Job ") + QString::number(m_JobNo);
    CXDaoSet row(m_pDatabase);
    row.Open(dbOpenDynaset, QStringLiteral("SELECT * FROM Options WHERE OptionID = %1").arg(-m_JobID));
    if (!row.IsOpen())
        return false;
    const bool locked = !row.IsEmptySet();

    if (lock) {
        if (locked) {
            row.Close();
            // The lock of a crashed workstation stays until someone takes it over.
            const int answer = platform::Prompt::messageBox(
                name + QStringLiteral(" is in use and locked!\nDo you want to unlock it?"), QString(),
                platform::MB_YESNO | platform::MB_ICONQUESTION);
            return answer == platform::IDYES;
        }
        try {
            platform::Transaction write(database(), false);
            row.AddNew();
            row.SetFieldValue(QStringLiteral("OptionID"), Value(std::int64_t(-m_JobID), FieldType::Long));
            row.SetFieldValue(QStringLiteral("OptionSum"), Value(std::int64_t(m_JobNo), FieldType::Long));
            row.Update();
            write.commit();
        } catch (const DbException &e) {
            try {
                if (row.GetEditMode() != dbEditNone)
                    row.CancelUpdate();
            } catch (const DbException &) {
            }
            row.Close();
            ShowDaoError(e, QStringLiteral("Cannot lock ") + name);
            return false;
        }
    } else if (locked) {
        try {
            platform::Transaction write(database(), false);
            row.Delete();
            write.commit();
        } catch (const DbException &e) {
            row.Close();
            ShowDaoError(e, QStringLiteral("Cannot unlock ") + name);
            return false;
        }
    }
    row.Close();
    return true;
}

// ---------------------------------------------------------------------------
// Job numbers

bool CJobSet::NewJobNo(qint32 number)
{
    // Orders and posted invoices share one number series.
    const int countedType = m_JobType == History ? int(Order) : int(m_JobType);
    const int key = 10 + countedType;
    platform::Database &db = database();
    if (!ensureOpen(db))
        return false;

    const qint32 oldJobNo = m_JobNo;
    bool noneLeft = false;
    try {
        // Reading and rewriting the counter inside one write transaction
        // keeps two workstations from ever getting the same number.
        platform::Transaction transaction(db);
        {
            Recordset counter(db);
            counter.open(Recordset::Type::Dynaset,
                         QStringLiteral("SELECT * FROM JobTypes WHERE JobTypes.JobType = %1").arg(key));
            const bool added = counter.isEOF();
            qint32 last = 0;
            bool readable = false;
            if (added) {
                counter.addNew();
                counter.setValue(0, Value(std::int64_t(key), FieldType::Byte));
            } else {
                readable = readCounter(counter.value(QStringLiteral("Name")), last);
                counter.edit();
            }

            // A number chosen by the caller is recorded as it is, also in a
            // new counter row.
            qint32 given = number;
            if (number == -1 || (number <= 0 && (added || !readable))) {
                // A missing or unreadable counter starts again from the jobs
                // themselves, never from 1 while numbers are in use.
                Recordset highest(db);
                highest.open(Recordset::Type::Snapshot,
                             countedType == Order
                                 ? QStringLiteral("SELECT MAX(JobNo) FROM Jobs WHERE JobType = 0 OR JobType = 3")
                                 : QStringLiteral("SELECT MAX(JobNo) FROM Jobs WHERE JobType = %1").arg(m_JobType));
                const qint32 top = highest.isEOF() ? 0 : CXDaoSet::ValueToLong(highest.value(0));
                highest.close();
                given = top < std::numeric_limits<qint32>::max() ? top + 1 : 0;
                noneLeft = given == 0;
            } else if (number <= 0) {
                given = last < std::numeric_limits<qint32>::max() ? last + 1 : 0;
                noneLeft = given == 0;
            }
            if (noneLeft) {
                // Past the largest number nothing is written and no job made.
                counter.cancelUpdate();
            } else {
                if (number <= 0)
                    m_JobNo = given;
                counter.setValue(QStringLiteral("Name"), Value(QString::number(given)));
                counter.update();
            }
            counter.close();
        }
        if (!noneLeft)
            transaction.commit();
    } catch (const DbException &e) {
        m_JobNo = oldJobNo;
        ShowDaoError(e, QStringLiteral("Cannot get a new job number!\n(this typically occurs when network is busy)\n\n"
                                       "Please try again."));
        return false;
    }
    if (noneLeft) {
        m_JobNo = oldJobNo;
        platform::Prompt::messageBox(CXDaoSet::NoNumberLeftText(), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CJobSet::SaveNew(unsigned beepType)
{
    return SaveNewRecord(m_JobNo, [this] { return NewJobNo(0) ? m_JobNo : 0; }, beepType);
}

// ---------------------------------------------------------------------------
// Deletion and the audit trail

struct CJobSet::DeletionPlan
{
    qint32 jobId = 0;
    QString label;
    bool writeAudit = false;
    AuditValues audit;
    // The invoice a credit order was made from, positioned for edit: it is no
    // longer marked as credited once the credit order is gone.
    std::unique_ptr<CJobSet> creditedInvoice;
};

bool CJobSet::PlanDeletion(qint32 jobId, DeletionPlan &plan, QString &reason)
{
    plan.jobId = jobId;
    CJobSet job(m_pDatabase);
    if (!job.FindById(jobId)) {
        reason = QStringLiteral("Cannot find JobID %1\n").arg(jobId);
        return false;
    }
    plan.label = job.GetJobLabel();
    if (job.m_JobType != Order && job.m_JobType != History)
        return true;

    const bool history = job.m_JobType == History;
    if (job.IsCreditOrCredited()) {
        if (history) {
            // A credit invoice without a ship date has no age: it is kept.
            if (!job.m_DateShipped.isValid() || daysUntilToday(job.m_DateShipped) < kAgeToDelete) {
                reason = QStringLiteral("Credit Invoice %1 is less than 366 days old\n").arg(job.m_JobNo);
                return false;
            }
        } else {
            auto invoice = std::make_unique<CJobSet>(m_pDatabase);
            invoice->m_strFilter =
                QStringLiteral("JobType = %1 and JobNo = %2").arg(job.m_FromJobType).arg(job.m_FromJobNo);
            invoice->m_strSort.clear();
            if (invoice->RequeryOrOpen(true))
                plan.creditedInvoice = std::move(invoice);
        }
    } else if (!job.m_Paid.isZero()) {
        if (!history) {
            reason = QStringLiteral("Order %1 has a payment\n").arg(job.m_JobNo);
            return false;
        }
        if (!job.m_DateShipped.isValid()) {
            reason = QStringLiteral("Invoice %1 has a payment but no Date Shipped\n").arg(job.m_JobNo);
            return false;
        }
        if (daysUntilToday(job.m_DateShipped) < kAgeToDelete) {
            reason = QStringLiteral("Invoice %1 is less than 366 days old and has a payment\n").arg(job.m_JobNo);
            return false;
        }
    }

    plan.writeAudit = true;
    plan.audit.jobNo = -(job.m_JobNo < 0 ? -job.m_JobNo : job.m_JobNo);
    plan.audit.jobType = job.m_JobType;
    amountsOf(job, plan.audit.amounts);
    for (Money &amount : plan.audit.amounts)
        amount = -Money::fromUnits(amount.units());
    return true;
}

void CJobSet::ExecuteDeletion(DeletionPlan &plan, bool deleteRows)
{
    platform::Database &db = database();
    if (plan.creditedInvoice) {
        CJobSet &invoice = *plan.creditedInvoice;
        // The credited invoice is read again within this write, so its totals
        // are worked from the invoice as it is now, never from the copy read
        // when the deletion was planned.
        if (invoice.GetEditMode() != dbEditNone)
            invoice.CancelUpdate();
        if (invoice.RequeryOrOpen(true)) {
            invoice.m_Creator = 0;
            invoice.RecalcTotals(true);
            invoice.SetFieldDirty(&invoice.m_Creator);
            invoice.Update();
        }
        invoice.Close();
    }
    if (plan.writeAudit)
        insertAuditRow(db, plan.audit);
    if (deleteRows) {
        db.execute(QStringLiteral("DELETE FROM Items WHERE JobID = %1").arg(plan.jobId));
        db.execute(QStringLiteral("DELETE FROM Jobs WHERE JobID = %1").arg(plan.jobId));
    }
}

bool CJobSet::CanDeleteJob(qint32 jobId)
{
    DeletionPlan plan;
    QString reason;
    if (!PlanDeletion(jobId, plan, reason)) {
        m_InvoiceNote = reason;
        return false;
    }
    if (!plan.writeAudit && !plan.creditedInvoice)
        return true;
    platform::Database &db = database();
    if (!ensureOpen(db))
        return false;
    try {
        platform::Transaction transaction(db);
        ExecuteDeletion(plan, false);
        transaction.commit();
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save AuditTrail"));
        return false;
    }
    return true;
}

CJobSet::DeleteResult CJobSet::DeleteJob(qint32 jobId)
{
    DeletionPlan plan;
    QString reason;
    if (!PlanDeletion(jobId, plan, reason)) {
        m_InvoiceNote = reason;
        return DeleteRefused;
    }
    platform::Database &db = database();
    if (!ensureOpen(db))
        return DeleteFailed;
    try {
        platform::Transaction transaction(db);
        ExecuteDeletion(plan, true);
        transaction.commit();
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot delete ") + plan.label);
        return DeleteFailed;
    }
    return Deleted;
}

void CJobSet::WriteAuditTrail()
{
    if (m_JobType != History)
        return;
    Money *const amounts[9] = {&m_Subtotal, &m_Discount, &m_Shipping, &m_Postage, &m_Tax,
                               &m_Latefee,  &m_Paid,     &m_Writeoff, &m_Balance};
    bool changed = false;
    for (Money *amount : amounts)
        changed = changed || IsFieldDirty(amount);
    if (!changed)
        return;

    CJobSet stored(m_pDatabase);
    if (!stored.FindById(m_JobID))
        return;
    AuditValues values;
    values.jobNo = m_JobNo;
    values.jobType = m_JobType;
    Money before[9];
    amountsOf(stored, before);
    for (int i = 0; i < 9; ++i)
        values.amounts[i] = Money::fromUnits(amounts[i]->units() - before[i].units());
    stored.Close();
    try {
        insertAuditRow(database(), values);
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save AuditTrail"));
    }
}

bool CJobSet::SaveWithAuditTrail(unsigned beepType)
{
    if (GetEditMode() != dbEditInProgress)
        return SaveRecord(beepType);
    if (!CanUpdate())
        return false;
    if (!HasDirtyFields())
        return true;

    Money *const amounts[9] = {&m_Subtotal, &m_Discount, &m_Shipping, &m_Postage, &m_Tax,
                               &m_Latefee,  &m_Paid,     &m_Writeoff, &m_Balance};
    bool changed = false;
    for (Money *amount : amounts)
        changed = changed || IsFieldDirty(amount);
    if (!changed) {
        // The job's own fields only (title, P.O., dates...): saved after
        // another workstation's save as any shared row is, onto the row as
        // it is now. A change of the job's figures is never settled so: it
        // is refused below, since figures from items as this window read
        // them must not go over figures from items saved since.
        try {
            if (!updateAsRead())
                return false;
        } catch (const DbException &e) {
            ShowDaoError(e, QStringLiteral("Cannot save ") + GetDefaultSQL());
            return false;
        }
        SafeEdit();
        if (beepType != 0)
            platform::Prompt::beep();
        return true;
    }
    if (WriteWithAudit(false) != ItemsJobReady)
        return false;
    SafeEdit();
    if (beepType != 0)
        platform::Prompt::beep();
    return true;
}

CJobSet::ItemsJobState CJobSet::WriteWithAudit(bool asRead)
{
    // A posted invoice's changed amounts leave their audit row, worked
    // against the row as stored before anything is written.
    bool audit = false;
    AuditValues values;
    Money *const amounts[9] = {&m_Subtotal, &m_Discount, &m_Shipping, &m_Postage, &m_Tax,
                               &m_Latefee,  &m_Paid,     &m_Writeoff, &m_Balance};
    if (m_JobType == History) {
        bool changed = false;
        for (Money *amount : amounts)
            changed = changed || IsFieldDirty(amount);
        CJobSet stored(m_pDatabase);
        if (changed && stored.FindById(m_JobID)) {
            audit = true;
            values.jobNo = m_JobNo;
            values.jobType = m_JobType;
            Money before[9];
            amountsOf(stored, before);
            for (int i = 0; i < 9; ++i)
                values.amounts[i] = Money::fromUnits(amounts[i]->units() - before[i].units());
        }
    }
    platform::Database &db = database();
    try {
        platform::Transaction transaction(db);
        if (audit)
            insertAuditRow(db, values);
        if (asRead) {
            if (!updateAsRead())
                return ItemsJobCancelled;
        } else {
            Update();
        }
        transaction.commit();
    } catch (const DbException &e) {
        // Rolled back. A failed write keeps the edit pending; should the
        // commit itself have failed, the stored row is read again and the
        // changes are put back as a pending edit.
        if (GetEditMode() == dbEditNone) {
            CJobSet pending(m_pDatabase);
            pending = *this;
            if (FindById(m_JobID, true))
                *this = pending;
        }
        ShowDaoError(e, QStringLiteral("Cannot save ") + GetDefaultSQL());
        return ItemsJobFailed;
    }
    return ItemsJobReady;
}

namespace {

// The job's figures: the amounts its items and totals make of it.
const char *const kFigureColumns[] = {"Cost",    "Subtotal", "Discount", "Shipping", "Postage",
                                      "Tax",     "Latefee",  "Paid",     "Writeoff", "Balance",
                                      "Commission", "Taxable", "Taxable2", "Tax2"};

bool sameAmount(const Value &a, const Value &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toMoney().units() == b.toMoney().units();
}

} // namespace

CJobSet::ItemsJobState CJobSet::StoredStateForItems()
{
    if (GetEditMode() != dbEditInProgress && !SafeEdit())
        return ItemsJobFailed;
    CJobSet stored(m_pDatabase);
    if (!stored.FindById(m_JobID) || stored.IsEmptySet())
        return ItemsJobGone;
    const platform::Recordset *rs = recordset();
    if (!rs)
        return ItemsJobFailed;
    const auto asRead = [&](const char *column) {
        return rs->valueAsRead(GetFieldIndex(QString::fromLatin1(column)));
    };
    if ((stored.m_JobType == History && asRead("JobType").toInt() != History)
        || stored.m_PostingNo != asRead("PostingNo").toInt())
        return ItemsJobPosted;
    for (const char *column : kFigureColumns)
        if (!sameAmount(stored.GetFieldValue(QString::fromLatin1(column)), asRead(column)))
            return ItemsJobFiguresChanged;
    return ItemsJobReady;
}

CJobSet::ItemsJobState CJobSet::SaveWithItems()
{
    const ItemsJobState state = StoredStateForItems();
    if (state != ItemsJobReady)
        return state;
    if (!HasDirtyFields())
        return ItemsJobReady;

    // The figures are as this record read them (checked above, and no other
    // workstation writes inside the caller's transaction): only the job's own
    // fields can meet another user's save here.
    const ItemsJobState written = WriteWithAudit(true);
    if (written == ItemsJobReady)
        SafeEdit();
    return written;
}

bool CJobSet::ReadAgainForItems()
{
    if (GetEditMode() == dbEditInProgress && HasDirtyFields())
        return false;
    try {
        if (GetEditMode() != dbEditNone)
            CancelUpdate();
    } catch (const DbException &) {
        return false;
    }
    return FindById(m_JobID, true);
}

// ---------------------------------------------------------------------------
// Job cost

bool CJobSet::RollUpJobCost(platform::Database &db, qint32 jobId)
{
    Money jobCost;
    {
        Recordset job(db);
        job.open(Recordset::Type::Snapshot, QStringLiteral("SELECT Cost FROM Jobs WHERE JobID = %1").arg(jobId));
        if (job.isEOF())
            return false;
        jobCost = job.value(0).toMoney();
    }

    struct ItemRow
    {
        qint32 itemId;
        qint32 itemNo;
        qint32 subNo;
    };
    std::vector<ItemRow> costed;
    {
        Recordset items(db);
        items.open(Recordset::Type::Snapshot,
                   QStringLiteral("SELECT ItemID, ItemNo, SubNo, Cost FROM Items WHERE JobID = %1 and SerNo = 0 "
                                  "ORDER BY ItemNo, SubNo")
                       .arg(jobId));
        for (; !items.isEOF(); items.moveNext()) {
            // Items without a cost (or with the marker) are left alone.
            if (items.value(3).toMoney().units() > 1)
                costed.push_back({items.value(0).toInt(), items.value(1).toInt(), items.value(2).toInt()});
        }
    }

    Money total;
    for (const ItemRow &item : costed) {
        Money sum;
        {
            Recordset services(db);
            services.open(Recordset::Type::Snapshot,
                          QStringLiteral("SELECT Sum(Cost) FROM Items WHERE JobID = %1 and ItemNo = %2 and "
                                         "SubNo = %3 and SerNo > 0 and Cost > 0.0001")
                              .arg(jobId)
                              .arg(item.itemNo)
                              .arg(item.subNo));
            if (!services.isEOF() && !services.value(0).isNull())
                sum = Money::fromUnits(services.value(0).toMoney().units());
        }
        writeColumn(db, QStringLiteral("Items"), QStringLiteral("ItemID"), item.itemId, QStringLiteral("Cost"),
                    Value(sum));
        total += sum;
    }

    if (total.units() <= 1 || total.units() == jobCost.units())
        return false;
    writeColumn(db, QStringLiteral("Jobs"), QStringLiteral("JobID"), jobId, QStringLiteral("Cost"), Value(total));
    return true;
}

bool CJobSet::RecalcJobCost(qint32 jobId)
{
    platform::Database &db = database();
    if (!ensureOpen(db))
        return false;
    bool changed = false;
    try {
        platform::Transaction transaction(db);
        changed = RollUpJobCost(db, jobId);
        transaction.commit();
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Jobs"));
        return false;
    }
    // The set shows the job as it now stands.
    FindById(jobId, false);
    return changed;
}
