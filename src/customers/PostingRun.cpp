#include "customers/PostingRun.h"

#include "customers/ReadyOrders.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/SchemaOperations.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <optional>

using platform::Value;

namespace {

Money moneyOf(const Value &v)
{
    return v.isNull() ? Money() : Money::fromUnits(v.toMoney().units());
}

Value byteValue(int v)
{
    return Value(std::int64_t(v), platform::FieldType::Byte);
}

} // namespace

PostingRun::PostingRun(platform::Database &db)
    : m_db(db)
    , m_journal(&db)
{
}

QString PostingRun::WarningText()
{
    return QStringLiteral("WARNING: You may still post, however, during posting, other workstations or programs "
                          "should not do anything to:\n\tOrders\n\tHistory Jobs\n\tA/R\n\nDo you still want to post?");
}

QString PostingRun::ConfirmText()
{
    return QStringLiteral("start posting?\n(have you backed-up the database?)");
}

QString PostingRun::NoteText()
{
    return QStringLiteral("Please note: This job will not be posted.");
}

QString PostingRun::SuccessText() const
{
    // A stopped run says so, and how many of the chosen orders it did not
    // reach: they are still orders, for a later posting.
    const QString stopped =
        m_stopped ? QStringLiteral("The posting was stopped: %1 Orders were left unposted.\n\n").arg(m_unreached)
                  : QString();
    return QStringLiteral("Successfully posted:\n\n\t%1 Orders\n\t%2 QuickSales\n\n%3Next, you will print reports "
                          "about the posting.")
        .arg(m_journal.m_Invoices)
        .arg(m_journal.m_QSales)
        .arg(stopped);
}

bool PostingRun::OpenForPosting()
{
    const QString file = m_db.name();
    if (file.isEmpty())
        return false;
    // A file open for reading only is left open as it is: neither way of
    // posting could write to it.
    if (RefusedAsReadOnly(&m_db, QStringLiteral("Cannot post the orders")))
        return false;
    m_exclusive = OpenDatabaseFile(&m_db, file, true);
    if (m_exclusive)
        return true;
    if (!OpenDatabaseFile(&m_db, file, false))
        return false;
    return platform::Prompt::messageBox(WarningText(), QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
        == platform::IDYES;
}

void PostingRun::ReopenShared()
{
    if (!m_exclusive && m_db.isOpen())
        return;
    const QString file = m_db.name();
    m_exclusive = false;
    if (!file.isEmpty())
        OpenDatabaseFile(&m_db, file, false);
}

Money PostingRun::SumOf(const QString &sql)
{
    platform::Recordset rs(m_db);
    rs.open(platform::Recordset::Type::Snapshot, sql);
    if (rs.isEOF())
        return Money();
    return moneyOf(rs.value(0));
}

Money PostingRun::PostedBalance(const CJobSet &job)
{
    // A balance of the No Charge marker is posted paid.
    const Money balance = Money::fromUnits(job.m_Balance.units());
    return balance.isNoCharge() ? Money() : balance;
}

void PostingRun::PostJob(CJobSet &job, const DateTime &today)
{
    CPostSet &j = m_journal;
    const qint32 n = j.m_PostingNo;
    const Money balance = PostedBalance(job);
    DateTime datePaid = job.m_DatePaid;
    if (Money::fromUnits(job.m_Balance.units()).isNoCharge())
        datePaid = today;
    const Money subtotal = moneyOf(Value(job.m_Subtotal));
    const Money discount = moneyOf(Value(job.m_Discount));
    const Money tax = moneyOf(Value(job.m_Tax));
    j.AddInvoice(job, balance);
    job.CalcPayDueDate();
    const DateTime payDue = job.m_DatePayDue;
    m_db.execute(QStringLiteral("UPDATE Jobs SET Balance = ?, DatePaid = ?, JobType = 3, PostingNo = ?, Status = 0, "
                                "DatePayDue = ? WHERE JobID = ?"),
                 {Value(balance), datePaid.isValid() ? Value(datePaid) : Value(), Value(n),
                  payDue.isValid() ? Value(payDue) : Value(), Value(job.m_JobID)});
    m_db.execute(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, "
                                "Tax, Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (?, ?, ?, ?, ?, ?, "
                                "?, ?, ?, ?, ?, ?, ?)"),
                 {Value(today), Value(job.m_JobNo), Value(subtotal), Value(discount), Value(job.m_Shipping),
                  Value(job.m_Postage), Value(tax), Value(job.m_Latefee), Value(job.m_Paid), Value(job.m_Writeoff),
                  Value(balance), byteValue(0), byteValue(0)});
    m_posted.append(job.m_JobID);
}

QString PostingRun::ARBalanceSql()
{
    return QStringLiteral("SELECT SUM(Balance) FROM Jobs WHERE JobType = 3 and Balance > 0.0001");
}

QString PostingRun::PeriodSumsPastLargest() const
{
    const CPostSet &j = m_journal;
    const std::pair<const char *, Money> sums[] = {
        {"Quick Sale Subtotal", j.m_QSaleSubtotal}, {"Quick Sale Tax", j.m_QSaleTax},
        {"Taxable Quick Sale", j.m_TaxableQSale},   {"New Deposits", j.m_DepositNew},
        {"Old Deposits", j.m_DepositOld},           {"Deposits Now", j.m_DepositNow},
        {"All Payments", j.m_AllPayments},          {"Credits Due", j.m_CreditsDue},
        {"A/R Balance", j.m_ARBalance},
    };
    for (const auto &[name, sum] : sums) {
        if (!sum.isValid() || !IsWithinLargestAmount(sum.units()))
            return TooLargeAmountText(QStringLiteral("Posting ") + QString::fromLatin1(name));
    }
    return QString();
}

QString PostingRun::NotPostedText(const QString &why)
{
    return QStringLiteral("Nothing was posted:\n\n") + why;
}

bool PostingRun::Write(const QList<qint32> &jobIds, const Progress &progress)
{
    const DateTime today = GetToday();
    CPostSet &j = m_journal;
    j.ResetFields();
    j.m_PostingDate = today;

    m_db.execute(QStringLiteral("INSERT INTO PostingJournal (PostingDate, Invoices, QSales) VALUES (?, 0, 0)"),
                 {Value(today)});
    {
        platform::Recordset rs(m_db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(PostingNo) FROM PostingJournal"));
        j.m_PostingNo = rs.value(0).toInt();
    }
    const qint32 n = j.m_PostingNo;

    // The ledger's open invoices before the run: an order that would take
    // them past the largest amount stays an order, as one past the run's
    // own sums does.
    Money ledgerBalance = SumOf(ARBalanceSql());

    // Each order is checked and posted as it is read; a stop comes between
    // two orders.
    const int total = int(jobIds.size());
    int done = 0;
    ReadyOrders orders(m_db);
    for (qsizetype at = 0; at < jobIds.size() && !m_stopped; at += ReadyOrders::kPostingBatch) {
        orders.Read(jobIds.mid(at, ReadyOrders::kPostingBatch));
        for (; !orders.AtEnd(); orders.Next()) {
            if (progress && !progress(done, total)) {
                m_stopped = true;
                m_unreached = total - done;
                break;
            }
            ++done;
            CJobSet &job = orders.Job();
            if (job.m_JobType != CJobSet::Order || job.m_Status != 3 || !job.m_DateShipped.isValid())
                continue;
            if (!job.CheckBalance(1, NoteText()) || orders.HasDiscrepancy(NoteText()))
                continue;
            // An amount past the largest the program takes, of the job or of
            // the posting's sums with it, keeps the job an order.
            const Money balance = PostedBalance(job);
            const Money ledgerAfter = balance > Money::noChargeMarker() ? ledgerBalance + balance : ledgerBalance;
            QString past = j.InvoicePastLargest(job, balance);
            if (past.isEmpty() && !(ledgerAfter.isValid() && IsWithinLargestAmount(ledgerAfter.units())))
                past = TooLargeAmountText(QStringLiteral("Posting A/R Balance"));
            if (!past.isEmpty()) {
                platform::Prompt::messageBox(job.GetJobLabel() + QStringLiteral(":\n\n") + past
                                                 + QStringLiteral("\n\n") + NoteText(),
                                             QString(), platform::MB_OK);
                continue;
            }
            ledgerBalance = ledgerAfter;
            PostJob(job, today);
        }
    }
    orders.Close();

    // Quick sales of the period.
    {
        platform::Recordset qs(m_db);
        qs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Subtotal, Tax FROM QuickSales WHERE PostingNo = 0"));
        for (; !qs.isEOF(); qs.moveNext()) {
            j.AddQuickSale(moneyOf(qs.value(0)), moneyOf(qs.value(1)));
        }
    }
    m_db.execute(QStringLiteral("UPDATE QuickSales SET PostingNo = ? WHERE PostingNo = 0"), {Value(n)});

    // Payments of the period.
    j.m_AllPayments = SumOf(QStringLiteral("SELECT Sum(Amount) FROM Payments WHERE PostingNo = 0"));
    m_db.execute(QStringLiteral("UPDATE Payments SET PostingNo = ? WHERE PostingNo = 0"), {Value(n)});

    const QString num = QString::number(n);
    // Deposits count only against orders and invoices: a quote or template
    // that happens to share an order's number must not count a deposit twice.
    j.m_DepositNew = SumOf(
        QStringLiteral("SELECT SUM(Payments.Amount) FROM (((Payments INNER JOIN PostingJournal ON Payments.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN PayGroups ON Payments.PayGroup = PayGroups.PayGroup) "
                       "INNER JOIN PayApplied ON Payments.PayNo = PayApplied.PayNo) INNER JOIN Jobs ON "
                       "PayApplied.JobNo = Jobs.JobNo WHERE PostingJournal.PostingNo = ")
        + num + QStringLiteral(" AND Jobs.PostingNo < ") + num
        + QStringLiteral(" AND PayGroups.PayGroup = 1 AND (Jobs.JobType = 0 OR Jobs.JobType = 3)"));
    j.m_DepositOld = SumOf(
        QStringLiteral("SELECT SUM(Payments.Amount) FROM PostingJournal AS PostingJournal_1 INNER JOIN "
                       "((PostingJournal INNER JOIN Jobs ON PostingJournal.PostingNo = Jobs.PostingNo) INNER JOIN "
                       "((PayGroups INNER JOIN Payments ON PayGroups.PayGroup = Payments.PayGroup) INNER JOIN "
                       "PayApplied ON Payments.PayNo = PayApplied.PayNo) ON Jobs.JobNo = PayApplied.JobNo) ON "
                       "PostingJournal_1.PostingNo = Payments.PostingNo WHERE PostingJournal_1.PostingNo < ")
        + num + QStringLiteral(" AND PostingJournal.PostingNo = ") + num
        + QStringLiteral(" AND Payments.PayGroup = 1 AND (Jobs.JobType = 0 OR Jobs.JobType = 3)"));
    j.m_DepositNow = SumOf(QStringLiteral("SELECT SUM(Paid) FROM Jobs WHERE JobType = 0 and Paid <> 0"));
    j.m_CreditsDue = SumOf(QStringLiteral("SELECT SUM(CreditDue) FROM Customers"));
    j.m_ARBalance = SumOf(ARBalanceSql());

    // Every sum is held to the largest amount before the journal is
    // written; one past it undoes the whole run.
    m_refusal = PeriodSumsPastLargest();
    if (!m_refusal.isEmpty())
        return false;

    m_db.execute(
        QStringLiteral("UPDATE PostingJournal SET Invoices = ?, Cost = ?, Subtotal = ?, Discount = ?, Shipping = ?, "
                       "Postage = ?, Tax = ?, Latefee = ?, Paid = ?, Writeoff = ?, Balance = ?, Commission = ?, "
                       "TaxableNetSale = ?, QSales = ?, QSaleSubtotal = ?, QSaleTax = ?, TaxableQSale = ?, "
                       "DepositNew = ?, DepositOld = ?, DepositNow = ?, AllPayments = ?, CreditsDue = ?, "
                       "ARBalance = ? WHERE PostingNo = ?"),
        {Value(j.m_Invoices), Value(j.m_Cost), Value(j.m_Subtotal), Value(j.m_Discount), Value(j.m_Shipping),
         Value(j.m_Postage), Value(j.m_Tax), Value(j.m_Latefee), Value(j.m_Paid), Value(j.m_Writeoff),
         Value(j.m_Balance), Value(j.m_Commission), Value(j.m_TaxableNetSale), Value(j.m_QSales),
         Value(j.m_QSaleSubtotal), Value(j.m_QSaleTax), Value(j.m_TaxableQSale), Value(j.m_DepositNew),
         Value(j.m_DepositOld), Value(j.m_DepositNow), Value(j.m_AllPayments), Value(j.m_CreditsDue),
         Value(j.m_ARBalance), Value(n)});
    return true;
}

bool PostingRun::Post(const QList<qint32> &jobIds, const Progress &progress)
{
    m_posted.clear();
    m_stopped = false;
    m_unreached = 0;
    m_refusal.clear();
    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(m_db);
        if (Write(jobIds, progress))
            transaction.commit();
    } catch (const platform::DbException &e) {
        failure = e;
    }
    // The progress ends before the outcome is told.
    if (progress && !jobIds.isEmpty())
        progress(int(jobIds.size()), int(jobIds.size()));
    if (failure) {
        m_posted.clear();
        m_journal.ResetFields();
        m_journal.m_PostingNo = 0;
        ShowDaoError(*failure, QStringLiteral("Cannot save PostingJournal"));
        return false;
    }
    if (!m_refusal.isEmpty()) {
        m_posted.clear();
        m_journal.ResetFields();
        m_journal.m_PostingNo = 0;
        platform::Prompt::messageBox(NotPostedText(m_refusal), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
