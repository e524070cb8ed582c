#include "customers/PaymentEntry.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "customers/ReceivableRows.h"
#include "data/CCreditSet.h"
#include "data/CJobSet.h"
#include "data/PaymentRows.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

using platform::Value;

namespace {

// To whole cents, halves away from zero.
Money roundedToCents(Money m)
{
    const std::int64_t u = m.units();
    const std::int64_t per = Money::kUnitsPerCent;
    const std::int64_t cents = u >= 0 ? (u + per / 2) / per : -((-u + per / 2) / per);
    return Money::fromCents(cents);
}

} // namespace

PaymentEntry::PaymentEntry()
{
    Reset();
}

void PaymentEntry::Reset()
{
    paidBy = 1;
    date = GetToday();
    reference.clear();
    amount = applied = remains = accountBalance = Money();
    fixedAmountMode = false;
    useCreditMode = false;
}

void PaymentEntry::Load(platform::Database &db, qint32 cusNo)
{
    m_loaded.clear();
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT JobID, JobNo, Title, BuyerNo, ShiptoNo, DateShipped, Balance FROM Jobs WHERE "
                           "JobType = 3 AND Balance > 0.0001 AND (CusNo = ? or CusNo IN (SELECT Customers.CusNo FROM "
                           "Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo WHERE Customers.ParentNo = ?)) "
                           "ORDER BY JobNo"),
            {Value(cusNo), Value(cusNo)});
    for (; !rs.isEOF(); rs.moveNext()) {
        PaymentRow row;
        row.jobId = rs.value(0).toInt();
        row.jobNo = rs.value(1).toInt();
        row.title = rs.value(2).isNull() ? QString() : rs.value(2).toString();
        row.buyerNo = rs.value(3).isNull() ? 0 : rs.value(3).toInt();
        row.shiptoNo = rs.value(4).isNull() ? 0 : rs.value(4).toInt();
        row.dateShipped = rs.value(5).isNull() ? DateTime::null() : rs.value(5).toDateTime();
        row.due = rs.value(6).isNull() ? Money() : Money::fromUnits(rs.value(6).toMoney().units());
        m_loaded.append(row);
    }
    FillInvoiceList(false);
}

void PaymentEntry::Reload(platform::Database &db, qint32 cusNo)
{
    const QList<PaymentRow> before = rows;
    const Money amountBefore = amount;
    Load(db, cusNo);
    amount = amountBefore;
    applied = Money();
    for (PaymentRow &row : rows) {
        for (const PaymentRow &was : before) {
            if (was.jobId != row.jobId || was.applied.isZero())
                continue;
            // A payment never pays more than the invoice owes now.
            row.applied = was.applied > row.due ? row.due : was.applied;
            break;
        }
        applied += row.applied;
        accountBalance -= row.applied;
    }
    // Without a typed Amount the amount is what the clicks applied.
    if (!fixedAmountMode)
        amount = applied;
    remains = amount - applied;
}

void PaymentEntry::FillInvoiceList(bool applyAll)
{
    accountBalance = Money();
    rows = m_loaded;
    for (PaymentRow &row : rows) {
        row.applied = applyAll ? row.due : Money();
        accountBalance += row.due;
    }
    if (applyAll) {
        amount = accountBalance;
        applied = amount;
        remains = Money();
        accountBalance = Money();
    } else {
        applied = Money();
        remains = amount;
    }
}

std::optional<Money> PaymentEntry::PartialProposal(int row) const
{
    if (row < 0 || row >= rows.size())
        return std::nullopt;
    const Money due = rows[row].due;
    if (!fixedAmountMode)
        return due;
    if (remains.isZero())
        return std::nullopt;
    return remains >= due ? due : remains;
}

void PaymentEntry::ApplyToRow(int row, std::optional<Money> partial)
{
    if (row < 0 || row >= rows.size())
        return;
    PaymentRow &r = rows[row];
    Money x;
    if (partial) {
        if (!PartialProposal(row))
            return;
        x = roundedToCents(*partial);
        if (x <= Money())
            return;
        if (fixedAmountMode && x > remains)
            x = remains;
    } else if (!fixedAmountMode) {
        remains = r.due;
    }
    const Money delta = (r.applied.isZero() && x.isZero()) ? (remains < r.due ? remains : r.due) : x - r.applied;
    r.applied += delta;
    accountBalance -= delta;
    if (!fixedAmountMode)
        amount += delta;
    applied += delta;
    remains = amount - applied;
}

void PaymentEntry::ApplyAll()
{
    amount = Money();
    fixedAmountMode = false;
    FillInvoiceList(!accountBalance.isZero());
}

bool PaymentEntry::AmountChanged(Money newAmount)
{
    if (newAmount == amount)
        return false;
    amount = roundedToCents(newAmount);
    fixedAmountMode = true;
    FillInvoiceList(false);
    return true;
}

void PaymentEntry::UseCredit(Money creditDue)
{
    useCreditMode = true;
    fixedAmountMode = true;
    reference = QStringLiteral("CreditUsed");
    remains = amount = creditDue;
}

Money PaymentEntry::CreditToGive() const
{
    if (useCreditMode || remains <= Money())
        return Money();
    return remains;
}

QString PaymentEntry::CreditQuestion(Money r)
{
    return QStringLiteral("Credit the customer's account by $") + FormatMoney(r) + QStringLiteral("?");
}

QString PaymentEntry::ZeroAmountText()
{
    return QStringLiteral("You may not save the payment when the amount Received is zero.");
}

QString PaymentEntry::SaveQuestion()
{
    return QStringLiteral("Save the payment?");
}

QString PaymentEntry::NegativeQuestion()
{
    return QStringLiteral("PLEASE NOTE: This negative payment will be added to your Payment Journal but it will not "
                          "be applied to Invoices and Credits Due.\n\nDo you want to save this negative payment?");
}

QString PaymentEntry::NoBalanceQuestion(const QString &name)
{
    return name + QStringLiteral(" has no balance!\nIs this an advance payment?");
}

QString PaymentEntry::UseCreditQuestion(const QString &name, Money creditDue)
{
    return name + QStringLiteral(" has a credit of $") + FormatMoney(creditDue)
        + QStringLiteral(".\nDo you want to use it to pay invoices?");
}

QString PaymentEntry::NotUnpaidText(qint32 jobNo)
{
    return QStringLiteral("Invoice %1 is not an unpaid invoice of the customer.").arg(jobNo);
}

QString PaymentEntry::StaleEntryText(platform::Database &db, qint32 cusNo) const
{
    for (const PaymentRow &row : rows) {
        if (row.applied.isZero())
            continue;
        const ReceivableJob now = ReadReceivableJob(db, row.jobId);
        // Unpaid: a posted invoice with a balance above the No Charge marker.
        if (!now.found || now.jobType != 3 || now.balance <= Money::noChargeMarker())
            return NotUnpaidText(row.jobNo);
        if (now.balance < row.applied)
            return QStringLiteral("Invoice %1 now has a balance of $%2, less than the $%3 applied to it.")
                .arg(row.jobNo)
                .arg(FormatMoney(now.balance), FormatMoney(row.applied));
    }
    if (useCreditMode) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = ?"),
                {Value(cusNo)});
        const Money due = rs.isEOF() || rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
        if (due < applied)
            return QStringLiteral("The customer's credit is now $%1, less than the $%2 to be used.")
                .arg(FormatMoney(due), FormatMoney(applied));
    }
    return QString();
}

bool PaymentEntry::Save(platform::Database &db, qint32 cusNo, bool creditAccepted)
{
    if (amount.isZero())
        return false;
    const Money credit = CreditToGive();
    if (!credit.isZero() && !creditAccepted)
        return false;
    const QString note = credit.isZero() ? QString() : QStringLiteral("Credit $") + FormatMoney(credit);
    QString appliedTo;
    qint32 payNo = 0;
    QString refusal;

    const bool ok = InOneTransaction(db, QStringLiteral("Cannot save Payments"), [&] {
        appliedTo.clear();
        payNo = 0;
        // What the entry was built on is read again under the write lock:
        // another workstation may have paid an invoice or used the credit
        // since the list was loaded, and nothing is paid twice.
        refusal = StaleEntryText(db, cusNo);
        if (!refusal.isEmpty())
            return;
        // Every figure the payment stores is worked out and held to the
        // largest amount before anything is written: the amount received,
        // the customer's credit due, and each invoice it pays.
        if (!IsWithinLargestAmount(amount.units())) {
            refusal = TooLargeAmountText(QStringLiteral("Amount"));
            return;
        }
        Money creditDue;
        const bool movesCredit = useCreditMode || !credit.isZero();
        if (movesCredit) {
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = ?"), {Value(cusNo)});
            const Money due = rs.isEOF() || rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
            rs.close();
            creditDue = useCreditMode ? due - applied : due + credit;
            refusal = CCreditSet::CreditDuePastLargest(db, due, creditDue);
            if (!refusal.isEmpty())
                return;
        }
        if (!useCreditMode) {
            refusal = PeriodPaymentsPastLargest(db, amount);
            if (!refusal.isEmpty())
                return;
        }
        struct Paying
        {
            ReceivableJob before, after;
            Money applied;
        };
        QList<Paying> paying;
        for (const PaymentRow &row : rows) {
            if (row.applied.isZero())
                continue;
            // The job as stored now, its balance recomputed by the money rules.
            const ReceivableJob before = ReadReceivableJob(db, row.jobId);
            if (!before.found)
                continue;
            CJobSet job(&db);
            if (!job.FindById(row.jobId) || job.IsEmptySet())
                continue;
            job.m_Paid -= row.applied;
            job.CalcBalance();
            ReceivableJob after = before;
            after.paid = Money::fromUnits(job.m_Paid.units());
            after.balance = Money::fromUnits(job.m_Balance.units());
            job.Close();
            refusal = ReceivableAmountsPastLargest(after);
            if (!refusal.isEmpty()) {
                refusal = QStringLiteral("Invoice %1: ").arg(before.jobNo) + refusal;
                return;
            }
            paying.append({before, after, row.applied});
        }

        auto addCredit = [&](qint32 jobNo, Money a, quint8 reason) {
            db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (?, ?, ?, ?, "
                                      "?)"),
                       {Value(cusNo), Value(jobNo), Value(a), Value(GetToday()),
                        Value(std::int64_t(reason), platform::FieldType::Byte)});
        };
        if (movesCredit)
            db.execute(QStringLiteral("UPDATE Customers SET CreditDue = ? WHERE CusNo = ?"),
                       {Value(creditDue), Value(cusNo)});
        if (!useCreditMode && !credit.isZero())
            addCredit(0, credit, applied.isZero() ? kAdvance : kOverPaid);
        const DateTime payDate = DateTime::fromDate(date.date());
        if (!useCreditMode) {
            db.execute(QStringLiteral("INSERT INTO Payments ([Date], Amount, CusNo, PayGroup, PaidBy, Reference, "
                                      "Appliedto, PostingNo) VALUES (?, ?, ?, 2, ?, ?, '', 0)"),
                       {Value(payDate), Value(amount), Value(cusNo),
                        Value(std::int64_t(quint8(paidBy)), platform::FieldType::Byte), Value(reference)});
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(PayNo) FROM Payments"));
            payNo = rs.value(0).toInt();
        }
        for (const Paying &p : paying) {
            WriteReceivableJob(db, p.before, p.after, payDate);
            if (useCreditMode)
                addCredit(p.before.jobNo, -p.applied, kCreditUsed);
            else
                db.execute(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) VALUES (?, ?, ?)"),
                           {Value(payNo), Value(p.before.jobNo), Value(p.applied)});
            appliedTo += QStringLiteral("%1 ").arg(p.before.jobNo);
        }
        appliedTo += note;
        if (!useCreditMode)
            db.execute(QStringLiteral("UPDATE Payments SET Appliedto = ? WHERE PayNo = ?"),
                       {Value(appliedTo), Value(payNo)});
    });
    if (ok && !refusal.isEmpty()) {
        // Refused before anything was written.
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    if (!ok)
        return false;
    totalSaved += amount;
    lastPayNo = payNo;
    lastNote = note;
    lastAppliedTo = appliedTo;
    Reset();
    m_loaded.clear();
    rows.clear();
    return true;
}
