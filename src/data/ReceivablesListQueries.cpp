// The canned lists of the receivables view: invoices ready to post, unpaid
// and paid invoices with their ageing, expected and received payments,
// credits, late fees, write-offs and the customers to send statements to.
//
// An invoice is a history job; it is unpaid while its balance is above the
// no-charge marker. Lists whose caption ends in "..." get their period from
// the view, in the filter.

#include "data/CSQL.h"

#include "app/base/DateRanges.h"

namespace {

enum ReceivablesBranch : int {
    ReadyToPost = 0,
    Unpaid = 1,
    PaidInFull = 2,
    PaymentsExpected = 3,
    PaymentsReceived = 4,
    Credits = 5,
    LateFee = 6,
    WriteOff = 7,
    Send = 8,
};

constexpr int kOnDay = 0;
constexpr int kBeforeDay = 2;

const QString &ageColumns()
{
    static const QString text = QStringLiteral(
        ", (Date()-Jobs.DateShipped) AS [Age], (Date()-Jobs.DatePayDue) AS [-Early/Late], Jobs.Balance, "
        "Jobs.DateShipped, Jobs.DatePayDue, Jobs.JobID");
    return text;
}

const QString &paidColumns()
{
    static const QString text = QStringLiteral(
        ", Jobs.Paid AS [Amnt Paid], (Jobs.DatePaid-Jobs.DateShipped) AS [In Days], "
        "(Jobs.DatePaid-Jobs.DatePayDue) AS [-Early/Late], Jobs.Balance, Jobs.DateShipped, Jobs.DatePayDue, "
        "Jobs.DatePaid, Jobs.JobID");
    return text;
}

const QString &paidSums()
{
    static const QString text = QStringLiteral(
        ", Count(*) AS [Invoices], Sum(Jobs.Subtotal + Jobs.Discount + Jobs.Writeoff) AS [Net Sale] "
        ", Sum(Jobs.Subtotal) AS [Subtotal], Sum(Jobs.Discount) AS [Discount], Sum(Jobs.Shipping) AS [Shipping], "
        "Sum(Jobs.Postage) AS [Postage], Sum(Jobs.Tax) AS [Tax], Sum(Jobs.Paid) AS [Paid], Sum(Jobs.Latefee) AS "
        "[Latefee], Sum(Jobs.Writeoff) AS [Writeoff]");
    return text;
}

const QString &dueSums()
{
    static const QString text = QStringLiteral(", Count(*) AS [Invoices], SUM(Jobs.Balance) AS [Balance] ");
    return text;
}

const QString &receivedSums()
{
    static const QString text = QStringLiteral(", Count(*) AS [Count], Sum(Payments.Amount) AS [Amount] ");
    return text;
}

// Totals of the rows by the day, week, month or year of a date column.
struct DateSummary
{
    QString formatArg; // the column as Format() takes it for days and months
    QString column;    // the column as Year() and the week number take it
    QString weekLabel;
    QString yearLabel;
    const QString &(*sums)();
    QString groupTail; // what else the rows are grouped by
};

enum SummaryPeriod : int { ByDay = 0, ByWeek = 1, ByMonth = 2, ByYear = 3 };

void summarize(CSQL &q, int period, const DateSummary &d)
{
    switch (period) {
    case ByDay:
        q.SetSelect(QStringLiteral("DISTINCTROW Format(") + d.formatArg + QStringLiteral(",'yyyy/mm/dd ddd') AS [Year/Mo/Day]")
                    + d.sums());
        q.SetGroupBy(QStringLiteral("Year(") + d.column + QStringLiteral("), Format(") + d.formatArg
                     + QStringLiteral(",'yyyy/mm/dd ddd')") + d.groupTail);
        break;
    case ByWeek:
        q.SetSelect(QStringLiteral("DISTINCTROW Year(") + d.column + QStringLiteral(") AS [Year], Format(Format(")
                    + d.column + QStringLiteral(",'ww'),'00') AS [") + d.weekLabel + QStringLiteral("]") + d.sums());
        q.SetGroupBy(QStringLiteral("Year(") + d.column + QStringLiteral("), Format(Format(") + d.column
                     + QStringLiteral(",'ww'),'00')") + d.groupTail);
        break;
    case ByMonth:
        q.SetSelect(QStringLiteral("DISTINCTROW Format(") + d.formatArg + QStringLiteral(",'yyyy  mm  mmm') AS [Year  Month]")
                    + d.sums());
        q.SetGroupBy(QStringLiteral("Format(") + d.formatArg + QStringLiteral(",'yyyy  mm  mmm')") + d.groupTail);
        break;
    case ByYear:
        q.SetSelect(QStringLiteral("DISTINCTROW Year(") + d.column + QStringLiteral(") AS [") + d.yearLabel
                    + QStringLiteral("]") + d.sums());
        q.SetGroupBy(QStringLiteral("Year(") + d.column + QStringLiteral(")") + d.groupTail);
        break;
    default:
        break;
    }
}

const DateSummary &paidSummary()
{
    static const DateSummary d{QStringLiteral("[DatePaid]"), QStringLiteral("DatePaid"), QStringLiteral("Week Paid"),
                               QStringLiteral("Year Paid"), paidSums, QStringLiteral(", Jobs.JobType ")};
    return d;
}

const DateSummary &dueSummary()
{
    static const DateSummary d{QStringLiteral("DatePayDue"), QStringLiteral("DatePayDue"), QStringLiteral("Week No"),
                               QStringLiteral("Year Paid"), dueSums, QStringLiteral(", Jobs.JobType ")};
    return d;
}

const DateSummary &receivedSummary()
{
    static const DateSummary d{QStringLiteral("Payments.Date"), QStringLiteral("Payments.Date"),
                               QStringLiteral("Week Paid"), QStringLiteral("Year Received"), receivedSums, QString()};
    return d;
}

// The date conditions of items 1 to 7 of the paid and received lists: today,
// this week, month, year, last week, month, year.
int paidPeriod(int item)
{
    static const int kRanges[] = {
        DateRange::ThisWeek, DateRange::ThisMonth, DateRange::ThisYear,
        DateRange::LastWeek, DateRange::LastMonth, DateRange::LastYear,
    };
    return item == 1 ? kOnDay : kRanges[item - 2];
}

} // namespace

void CSQL::BuildReceivablesList(int branch, int item)
{
    switch (branch) {
    case ReadyToPost:
        SetSelect(QStringLiteral("Jobs.JobNo, '' AS [Remark], Jobs.CusNo, ") + CustomerColumn
                  + QStringLiteral(", Contacts.First, Contacts.Last, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, "
                                   "Jobs.Postage,Jobs.Tax, Jobs.Paid, Jobs.Balance, Jobs.JobID"));
        SetFromJobTables();
        AddCondition(QStringLiteral("Jobs.Status = 3 and Jobs.JobType = "), 0);
        AddOrderBy(QStringLiteral("Jobs.JobNo"));
        break;

    case Unpaid: {
        SetFromJobTables();
        AddHistoryCondition();
        AddUnpaidCondition();
        const QString byCustomer = QStringLiteral("Customers.Name, (Date()-Jobs.DateShipped) DESC");
        switch (item) {
        case 0:
            SetSelect(CustomerColumn + QStringLiteral(", Jobs.JobNo") + ageColumns());
            break;
        case 1:
            SetSelect(CustomerColumn + QStringLiteral(", Jobs.JobNo") + ageColumns());
            AddOrderBy(byCustomer);
            break;
        case 2:
            SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + ageColumns());
            AddOrderBy(QStringLiteral("Jobs.JobNo"));
            break;
        case 3:
            SetSelect(CustomerColumn + QStringLiteral(", Jobs.JobNo") + ageColumns());
            SetDateCondition(QStringLiteral("Jobs.DatePayDue"), kBeforeDay, 0);
            AddOrderBy(byCustomer);
            break;
        case 4:
            // 30-day buckets of the age since shipping.
            SetSelect(QStringLiteral(
                "DISTINCTROW (Int((Date() - Jobs.DateShipped)/30)*30) AS [Age], Count(*) AS [Count], "
                "Sum(Jobs.Balance) AS Balance "));
            SetGroupBy(QStringLiteral("(Int((Date() - Jobs.DateShipped)/30)*30), Jobs.JobType "));
            break;
        case 5:
            SetSelect(QStringLiteral(
                "DISTINCTROW Format([DatePayDue],'yyyy  mm  mmm') AS [Year Month Due], Count(*) AS [Invoices], "
                "Sum(Jobs.Balance) AS Balance "));
            SetGroupBy(QStringLiteral("Format([DatePayDue],'yyyy  mm  mmm'), Jobs.JobType "));
            break;
        case 6:
            SetSelect(QStringLiteral("Count(*) AS [Invoices], Sum(Jobs.Balance) AS Balance "));
            break;
        default:
            break;
        }
        break;
    }

    case PaidInFull:
        SetFromJobTables();
        AddHistoryCondition();
        AddPaidCondition();
        if (item < 9) {
            SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + paidColumns());
            AddOrderBy(QStringLiteral("Jobs.JobNo"));
        }
        switch (item) {
        case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            SetDateCondition(QStringLiteral("Jobs.DatePaid"), paidPeriod(item), 0);
            break;
        case 9: case 10: case 11: case 12:
            summarize(*this, item - 9, paidSummary());
            break;
        case 13:
            SetSelect(QStringLiteral(
                "Customers.Name, Count(*) AS [Invoices], Sum(Jobs.Subtotal+Jobs.Discount+Jobs.Shipping+Jobs.Postage+"
                "Jobs.Tax) AS [Sales], Sum(Jobs.Paid) AS [Total Paid], Sum(Jobs.LateFee) AS [Interest], "
                "Sum(Jobs.WriteOff) AS [Written Off], Min(DatePaid - DateShipped) AS [Least Days], "
                "Max(DatePaid - DateShipped) AS [Most Days], Avg(DatePaid - DateShipped) AS [Average Days], "
                "Terms.Name AS [Terms]"));
            SetFrom(QStringLiteral(
                "(ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT JOIN (PostingJournal RIGHT JOIN Jobs ON "
                "PostingJournal.PostingNo = Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) ON Contacts.ContactNo "
                "= Jobs.BuyerNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) LEFT JOIN Terms On Customers.Terms = "
                "Terms.[No]"));
            SetGroupBy(QStringLiteral("Customers.Name, Customers.CusNo, Terms.Name "));
            break;
        default:
            break;
        }
        break;

    case PaymentsExpected:
        SetFromJobTables();
        if (item != 0) {
            AddHistoryCondition();
            AddUnpaidCondition();
        }
        if (item < 7) {
            SetSelect(QStringLiteral(
                "Customers.Name, COUNT(*) AS [Invcs], SUM(Jobs.Balance) AS [Balance], Customers.CreditDue, "
                "Customers.CreditLimit, Customers.CreditLimit+Customers.CreditDue-SUM(Jobs.Balance) AS "
                "[Available], Customers.CusNo"));
            SetGroupBy(QStringLiteral("Customers.Name, Customers.CreditDue, Customers.CreditLimit, Customers.CusNo"));
            AddOrderBy(QStringLiteral("Customers.Name"));
        }
        switch (item) {
        case 0: SetSelect(QStringLiteral("DISTINCTROW Customers.Name, Customers.CusNo")); break;
        case 2: SetDateCondition(QStringLiteral("Jobs.DatePayDue"), DateRange::ThisWeek, 0); break;
        case 3: SetDateCondition(QStringLiteral("Jobs.DatePayDue"), DateRange::ThisMonth, 0); break;
        case 4: SetDateCondition(QStringLiteral("Jobs.DatePayDue"), DateRange::NextWeek, 0); break;
        case 5: SetDateCondition(QStringLiteral("Jobs.DatePayDue"), DateRange::NextMonth, 0); break;
        case 6: SetDateCondition(QStringLiteral("Jobs.DatePayDue"), kBeforeDay, 0); break;
        case 7: case 8: case 9: case 10:
            summarize(*this, item - 7, dueSummary());
            break;
        default:
            break;
        }
        break;

    case PaymentsReceived:
        if (item < 9) {
            SetSelect(QStringLiteral(
                "Customers.Name, Payments.Date, Payments.Amount, PayGroups.Name AS [Group], PaymentTypes.Name AS "
                "[Paid By], Payments.Reference, Payments.Appliedto, Payments.PayNo"));
            AddOrderBy(QStringLiteral("Customers.Name, Payments.Date"));
        }
        SetFrom(QStringLiteral(
            "((PaymentTypes INNER JOIN Payments ON PaymentTypes.[No] = Payments.PaidBy) INNER JOIN Customers ON "
            "Payments.CusNo = Customers.CusNo) INNER JOIN PayGroups ON Payments.PayGroup = PayGroups.PayGroup"));
        switch (item) {
        case 1: case 2: case 3: case 4: case 5: case 6: case 7:
            SetDateCondition(QStringLiteral("Payments.Date"), paidPeriod(item), 0);
            break;
        case 9: case 10: case 11: case 12:
            summarize(*this, item - 9, receivedSummary());
            break;
        case 13:
            // One row per payment type, one column per payment group.
            m_strSelect = QStringLiteral(
                "TRANSFORM Sum(Payments.Amount) AS [The Value] SELECT PaymentTypes.Name, Sum(Payments.Amount) AS "
                "[Amount] ");
            SetGroupBy(QStringLiteral("PaymentTypes.Name"));
            m_strPivot = QStringLiteral(" PIVOT PayGroups.Name");
            break;
        default:
            break;
        }
        break;

    case Credits:
        if (item == 3) {
            SetSelect(QStringLiteral(
                "Customers.Name as [Customer], Credits.Date, Credits.Amount, Credits.JobNo, Properties.Text AS "
                "[Reason_w_300], Properties.ID, Credits.CreditID"));
            SetFrom(QStringLiteral(
                "Properties RIGHT JOIN (Credits INNER JOIN Customers ON Credits.CusNo = Customers.CusNo) ON "
                "Properties.ID = Credits.ReasonID"));
            AddOrderBy(QStringLiteral("Credits.Date DESC"));
            m_strKey = QStringLiteral("CreditID");
            break;
        }
        m_strKey = QStringLiteral("CusNo");
        if (item == 2) {
            SetSelect(QStringLiteral("Customers.Name, Customers.CreditDue, Customers.CusNo"));
            SetFrom(QStringLiteral("Customers"));
            AddCondition(QStringLiteral("Customers.CreditDue <> "), 0);
        } else {
            SetSelect(QStringLiteral(
                "Customers.Name, Customers.CreditLimit, Customers.CreditDue, SUM(IIF(Jobs.JobType=3 and "
                "Jobs.Balance > 0.0001, Jobs.Balance, 0)) AS [Balance], "
                "Customers.CreditLimit+Customers.CreditDue-SUM(IIF(Jobs.JobType=3 and Jobs.Balance > 0.0001, "
                "Jobs.Balance, 0)) AS [Available], Customers.CusNo"));
            SetFrom(QStringLiteral("Customers LEFT JOIN Jobs ON Customers.CusNo = Jobs.CusNo"));
            AddCondition(QStringLiteral("Customers.CreditLimit <> "), 0);
            SetGroupBy(QStringLiteral("Customers.Name, Customers.CreditDue, Customers.CreditLimit, Customers.CusNo"));
        }
        AddOrderBy(QStringLiteral("Customers.Name"));
        break;

    case LateFee:
    case WriteOff: {
        // Item 1: the unpaid invoices the fee or write-off may go on (late
        // fees only for customers who pay them, once the invoice is late);
        // else the invoices that have one.
        SetFromJobTables();
        AddHistoryCondition();
        const QString column = branch == LateFee ? QStringLiteral("Jobs.Latefee") : QStringLiteral("Jobs.Writeoff");
        if (item == 1) {
            SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn
                      + QStringLiteral(", Jobs.DateShipped, Jobs.DatePayDue, Jobs.Balance, Jobs.JobID"));
            AddUnpaidCondition();
            if (branch == LateFee) {
                AddCondition(QStringLiteral("Customers.LateFee = "), 1);
                SetDateCondition(QStringLiteral("Jobs.DatePayDue"), kBeforeDay, 0);
            }
        } else {
            SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + QStringLiteral(", ") + column
                      + QStringLiteral(", Jobs.Balance, Jobs.JobID"));
            AddCondition(column + QStringLiteral(" <> "), 0);
        }
        AddOrderBy(QStringLiteral("Jobs.JobNo"));
        break;
    }

    case Send:
        m_strKey = QStringLiteral("CusNo");
        SetFromJobTables();
        if (item == 2) {
            // Past-due notices.
            SetSelect(QStringLiteral("Customers.Name, Customers.CusNo, COUNT(*) AS [Invoices], SUM(Jobs.Balance) AS [Balance]"));
            SetGroupBy(QStringLiteral("Customers.Name, Customers.CusNo"));
            m_strConditions = QStringLiteral("(Customers.Statement = 1 and Jobs.JobType = 3 and Jobs.Balance > 0.0001)");
            SetDateCondition(QStringLiteral("Jobs.DatePayDue"), kBeforeDay, 0);
        } else {
            // Statements: customers with an unpaid invoice, or owed a credit.
            SetSelect(QStringLiteral(
                "Customers.Name, Customers.CusNo,  SUM(IIF(Jobs.JobType = 3 and Jobs.Balance > 0.0001, 1, 0)) AS "
                "[Invoices], SUM(IIF(Jobs.JobType = 3 and Jobs.Balance > 0.0001, Jobs.Balance, 0)) AS [Balance] , "
                "Customers.CreditDue"));
            SetGroupBy(QStringLiteral("Customers.Name, Customers.CusNo, Customers.CreditDue"));
            m_strConditions = QStringLiteral(
                "((Customers.Statement = 1 and Jobs.JobType = 3 and Jobs.Balance > 0.0001) or Customers.CreditDue > 0)");
        }
        AddOrderBy(QStringLiteral("Customers.Name"));
        break;

    default:
        break;
    }
}
