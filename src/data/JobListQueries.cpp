// The canned lists of the jobs and services views, the discrepancy checks of
// the job lists and the item list.

#include "data/CSQL.h"
#include "data/DiscrepancyPrompt.h"

#include "app/base/Codes.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"

namespace {

enum JobType : int { Order = 0, Quote = 1, Template = 2, History = 3, PellOrder = 4, PellQuote = 5 };

// Date conditions of the job lists: a comparison with today (code 0 "on",
// code 2 "before", plus days) or a date range.
constexpr int kOnDay = 0;
constexpr int kBeforeDay = 2;

QString number(int n)
{
    return FormatInt(n, false, false);
}

} // namespace

void CSQL::BuildJobList(int jobType, int item)
{
    SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + QStringLiteral(", Jobs.Title, Jobs.DateIn, "));
    SetFromJobTables();
    AddCondition(QStringLiteral("Jobs.JobType = "), jobType);
    AddOrderBy(QStringLiteral("Jobs.JobNo DESC"));
    m_strKey = QStringLiteral("JobID");

    const QString status = QStringLiteral("Jobs.Status = ");
    bool discrepancies = false;

    switch (jobType) {
    case Order:
        m_strSelect += QStringLiteral("Jobs.DateProof, Jobs.DateDue, (Jobs.Subtotal+Jobs.Discount) as [Net], Jobs.Balance,");
        switch (item) {
        case 2: case 3: case 4: case 5: AddCondition(status, item - 2); break;
        case 6: SetDateCondition(QStringLiteral("Jobs.DateIn"), kOnDay, 0); break;
        case 7: SetDateCondition(QStringLiteral("Jobs.DateShipped"), kOnDay, 0); break;
        case 8:
            SetDateCondition(QStringLiteral("Jobs.DateDue"), kBeforeDay, 0);
            AddCondition(QStringLiteral("Jobs.Status < "), 3);
            break;
        case 9: SetDateCondition(QStringLiteral("Jobs.DateDue"), kOnDay, 0); break;
        case 10: SetDateCondition(QStringLiteral("Jobs.DateDue"), kOnDay, 1); break;
        case 11: SetDateCondition(QStringLiteral("Jobs.DateDue"), DateRange::ThisWeek, 0); break;
        case 12: SetDateCondition(QStringLiteral("Jobs.DateDue"), DateRange::NextWeek, 0); break;
        case 13: discrepancies = true; break;
        default: break;
        }
        break;
    case Quote:
        m_strSelect += QStringLiteral("Jobs.Subtotal,");
        switch (item) {
        case 2: case 3: case 4: case 5: case 6: AddCondition(status, item - 2); break;
        case 7: SetDateCondition(QStringLiteral("Jobs.DateIn"), kOnDay, 0); break;
        case 8: SetDateCondition(QStringLiteral("Jobs.DateIn"), DateRange::ThisWeek, 0); break;
        case 9: SetDateCondition(QStringLiteral("Jobs.DateIn"), DateRange::ThisMonth, 0); break;
        case 10: SetDateCondition(QStringLiteral("Jobs.DateIn"), DateRange::LastWeek, 0); break;
        case 11: SetDateCondition(QStringLiteral("Jobs.DateIn"), DateRange::LastMonth, 0); break;
        case 12: SetDateCondition(QStringLiteral("Jobs.DateIn"), kBeforeDay, -30); break;
        case 13: SetDateCondition(QStringLiteral("Jobs.DateIn"), kBeforeDay, -60); break;
        case 14: discrepancies = true; break;
        default: break;
        }
        break;
    case Template:
        switch (item) {
        case 2: case 3: case 4: AddCondition(status, item - 2); break;
        case 5: discrepancies = true; break;
        default: break;
        }
        break;
    case History: {
        m_strSelect += QStringLiteral(
            "Jobs.DateShipped, PostingJournal.PostingDate, Jobs.PostingNo, Jobs.Subtotal, Jobs.Balance,");
        static const int kShippedRanges[] = {
            DateRange::ThisWeek, DateRange::ThisMonth, DateRange::ThisYear,
            DateRange::LastWeek, DateRange::LastMonth, DateRange::LastYear,
            DateRange::WeekBeforeLast, DateRange::MonthBeforeLast, DateRange::YearBeforeLast,
        };
        if (item >= 2 && item <= 10)
            SetDateCondition(QStringLiteral("Jobs.DateShipped"), kShippedRanges[item - 2], 0);
        else if (item >= 11 && item <= 13)
            SetDateCondition(QStringLiteral("Jobs.DateReorder"), DateRange::ThisWeek + (item - 11), 0);
        else if (item == 14)
            discrepancies = true;
        break;
    }
    case PellOrder:
    case PellQuote:
        if (item >= 2 && item <= 6)
            AddCondition(status, item - 2);
        break;
    default:
        break;
    }

    if (discrepancies) {
        RunDiscrepancyCheck(jobType);
        return;
    }
    if (!m_strSelect.isEmpty()) {
        m_strSelect += QStringLiteral("Contacts.First, Contacts.Last, Contacts.LastEmail, Contacts.LastSurvey, ");
        m_strSelect += QStringLiteral("Jobs.CSRNo, Jobs.Status, Jobs.Location+1 as [Location], Jobs.JobID");
    }
}

void CSQL::RunDiscrepancyCheck(int jobType)
{
    const int entry = AskDiscrepancyCheck();
    if (entry == 0) {
        m_strSelect.clear(); // cancelled: no list
        return;
    }
    m_strSQL = DiscrepancySQL(jobType, entry);
}

QString CSQL::DiscrepancySQL(int jobType, int entry)
{
    QString columns;
    QString tail;
    switch (entry) {
    case 1:
        // The sums shown are the sums compared: every price and cost but the
        // No Charge marker, negative lines (a discount service) included.
        columns = QStringLiteral(
            "Jobs.Subtotal,           Sum(IIf(Items.Price > 0.0001 OR Items.Price < -0.0001, Items.Price, 0)) AS "
            "[ServicePrice], "
            "(Jobs.Subtotal - Sum(IIf(Items.Price > 0.0001 OR Items.Price < -0.0001, Items.Price, 0))) as [± Price], "
            "Jobs.Cost as [Job Cost], Sum(IIf(Items.Cost  > 0.0001 OR Items.Cost < -0.0001, Items.Cost, 0))  AS "
            "[ServiceCost],  "
            "(Jobs.Cost     - Sum(IIf(Items.Cost  > 0.0001 OR Items.Cost < -0.0001, Items.Cost, 0)))  as [± Cost], "
            "Jobs.JobID "
            "FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID ");
        tail = QStringLiteral(
            "Items.SerNo > 0 "
            "GROUP BY Jobs.JobNo, Jobs.Subtotal, Jobs.Cost, Jobs.JobType, Jobs.JobID "
            "HAVING (Jobs.Subtotal > 0.0001 and Sum(Items.Price) > 0 and Jobs.Subtotal <> "
            "Sum(IIf(Items.Price > 0.0001 OR Items.Price < -0.0001, Items.Price, 0))) or "
            "(Jobs.Cost <> Sum(IIF(Items.Cost > 0.0001 OR Items.Cost < -0.0001, Items.Cost, 0))) "
            "ORDER BY Jobs.JobNo DESC ");
        break;
    case 2:
        // The number of services of an item is a sum of ones: a Count of
        // IIf(.., 1, 0) would count every row, the product line included.
        // Negative prices (a discount service, a credit's lines) count; only
        // the No Charge marker does not.
        columns = QStringLiteral(
            "Items.ItemNo, Items.SubNo, Sum(IIf(Items.SerNo=0,Items.Price,0)) AS ItemPrice, "
            "Sum(IIf(Items.SerNo>0,1,0)) AS ServiceCount, "
            "Sum(IIf(Items.SerNo>0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0)) AS SumServicePrice, "
            "(Sum(IIf(Items.SerNo=0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0))-"
            "Sum(IIf(Items.SerNo>0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0))) AS Difference, Jobs.JobID "
            "FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID ");
        tail = QStringLiteral(
            "Items.SerNo >= 0 "
            "GROUP BY Jobs.JobType, Jobs.JobNo, Items.ItemNo, Items.SubNo, Jobs.JobID HAVING "
            "(Sum(IIf(Items.SerNo=0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0))-"
            "Sum(IIf(Items.SerNo>0 and (Items.Price>0.001 or Items.Price<-0.001),Items.Price,0))) not between -0.001 and 0.001 "
            "ORDER BY Jobs.JobNo, Items.ItemNo, Items.SubNo");
        break;
    case 3:
    case 4:
        columns = QStringLiteral(
            "Customers.Name as [Customer], Jobs.Title, Jobs.CSRNo as [CSR], Jobs.SRepNo as [Rep], Jobs.JobID "
            "FROM Customers INNER JOIN (Jobs INNER JOIN (Items INNER JOIN Services ON Services.SerNo = "
            "Items.SerNo) ON Jobs.JobID = Items.JobID) ON Customers.CusNo = Jobs.CusNo ");
        tail = QStringLiteral("(Items.SerNo = 0 and Items.%1) ")
                   .arg(entry == 3 ? QStringLiteral("Side2 <> Customers.PriceLevel") : QStringLiteral("Regis <> 10"));
        tail += QStringLiteral(
            "GROUP BY Jobs.JobNo, Customers.Name, Jobs.Title, Jobs.CSRNo, Jobs.SRepNo, Jobs.JobID "
            "ORDER BY Jobs.JobNo DESC ");
        break;
    case 5:
        columns = QStringLiteral("Jobs.Title, Jobs.Cost, Jobs.Subtotal, Jobs.JobID FROM Jobs ");
        tail = QStringLiteral("Jobs.Subtotal = 0 ORDER BY Jobs.JobNo DESC ");
        break;
    case 6:
        // Paper (categories 101-199) printed on an offset press (201-299) in
        // more than one ink on a side while the note names no ink (inks
        // follow " • " in the note).
        columns = QStringLiteral(
            "Items.ItemNo as [Item], Jobs.DateIn, Customers.Name as [Customer], Jobs.Title, "
            "(ServiceCategories.CatName & ': ' & Services.Name) as Paper_w_200, Items.Side1 as Front, "
            "Items.Side2 as Back, Items.Note, Jobs.JobID "
            "FROM ((((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN Services ON Items.SerNo = "
            "Services.SerNo) INNER JOIN ServiceCategories ON Services.CatNo = ServiceCategories.CatNo) INNER JOIN "
            "Customers ON Jobs.CusNo = Customers.CusNo) INNER JOIN (Items AS Items_1 INNER JOIN Services AS "
            "Services_1 ON Items_1.SerNo = Services_1.SerNo) ON (Items.SubNo = Items_1.SubNo) AND (Items.ItemNo = "
            "Items_1.ItemNo) AND (Items.JobID = Items_1.JobID) ");
        tail = QStringLiteral(
            " (Services.CatNo Between 101 And 199) AND (Services_1.CatNo Between 201 And 299) AND "
            "(Items.Side1>1 or Items.Side2>1) AND (Items.Note not like '* • *' or Items.Note Is Null) "
            "ORDER BY Jobs.JobNo DESC, Items.ItemNo");
        break;
    case 7:
        columns = QStringLiteral(
            "Items.ItemNo, Items.SubNo, Items.Description, Jobs.JobID FROM (JobTypes INNER JOIN Jobs ON "
            "JobTypes.JobType = Jobs.JobType) INNER JOIN Items ON Jobs.JobID = Items.JobID ");
        tail = QStringLiteral(
            "Jobs.JobID NOT IN (SELECT Jobs.JobID FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
            "WHERE Items.SerNo>0) ORDER BY JobTypes.JobType, Jobs.JobNo, Items.ItemNo, Items.SubNo ");
        break;
    default:
        return QString();
    }
    return QStringLiteral("SELECT Jobs.JobNo, ") + columns + QStringLiteral("WHERE Jobs.JobType = ") + number(jobType)
        + QStringLiteral(" and (Jobs.Creator is NULL or Jobs.Creator < 98) and ") + tail;
}

void CSQL::BuildServiceList(int branch, int item)
{
    // The list of one service category, numbered 100 x department + entry.
    const int category = qMax(100 * branch + item, 1);

    m_strKey = QStringLiteral("SerNo");
    m_strSelect = QStringLiteral(
        "SELECT Services.Name, Size, SalesDepartments.Name as [Sales Dept_w_80], IIF(SerStatus = "
        "2,'~Discontinued', IIF (SerStatus = 1,'Active+','Active')) as [Status_w_70], ");
    if (IsPaperCategory(category))
        m_strSelect += QStringLiteral("SetTime as [Setup], ImpHour as [Run/Hr], ");
    // The first quantity break's set-up and run figures, kept in hundredths.
    m_strSelect += QStringLiteral(
        "CCur(SetTime1/100) as [SetMinute], CCur(0.01*UnitsHr1) as UnitsHr, CCur(SetCost1/100) as SetCost, "
        "CCur(SetPrice1/100) as SetPrice, CCur(RunCost1/100) as RunCost, CCur(RunPrice1/100) as RunPrice, "
        "CostHr, WageHr, CostOH, Markup, Modified, SerRemind, Services.SerNo");
    SetFrom(QStringLiteral(
        "ServiceCategories RIGHT JOIN (SalesDepartments RIGHT JOIN Services ON SalesDepartments.[No] = "
        "Services.SaleDept) ON ServiceCategories.CatNo = Services.CatNo"));
    AddCondition(QStringLiteral("Services.CatNo = "), category);
    AddOrderBy(QStringLiteral("Services.SortNo, Services.Name"));
}

void CSQL::BuildItemList(int jobType)
{
    SetSelect(QStringLiteral(
        "ProductTypes.Name AS Product, Items.Description, Items.Out AS Orig, Items.ChargeQty AS Quantity, "
        "Items.Price, Items.ItemNo as [Item], Jobs.JobNo, Jobs.DateIn, Items.ItemID"));
    SetFrom(QStringLiteral(
        "(Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN ProductTypes ON Items.Side1 = "
        "ProductTypes.[No]"));
    AddCondition(QStringLiteral("Items.SerNo = 0 and Jobs.JobType = "), jobType);
    AddOrderBy(QStringLiteral("ProductTypes.Name, Format(Items.Description), Jobs.DateIn DESC"));
    m_strKey = QStringLiteral("ItemID");
}
