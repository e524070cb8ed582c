// The printed lists of the schedule: the weekly schedule of open orders,
// the progress of their items by department, the services to do by
// production centre and by operator, the paper lists and summaries, and the
// presses with their paper.

#include "data/CSQL.h"

#include "app/base/DateRanges.h"
#include "app/base/SqlText.h"

namespace {

enum ProductionList : int {
    WeeklySchedule = 101,
    ProgressByJobNo = 102,
    ProgressByDueDate = 103,
    ServicesByCenter = 104,
    ServicesByOperator = 105,
    PaperByVendor = 106,
    PaperByType = 107,
    PaperByJob = 108,
    PaperSummaryByVendor = 109,
    PaperSummaryByType = 110,
    PressAndPaper = 111,
};

enum DateChoice : int {
    Today = 1,
    Tomorrow = 2,
    TodayAndTomorrow = 4,
    NextWeek = 8,
    NextTwoWeeks = 16,
    AlsoLate = 32,
    ByServiceDate = 64,
    CallerFlag = 128,
};

// Orders in progress that were not made by another program (Creator 98 and
// up).
const QString &openOrders()
{
    static const QString text =
        QStringLiteral("WHERE Jobs.JobType = 0 and Jobs.Creator < 98 ") + QStringLiteral("AND Jobs.Status = 0 ");
    return text;
}

// Services (Items2) not done of items in production.
const QString &serviceRows()
{
    static const QString text =
        QStringLiteral("AND Items.Status>3 AND Items2.Status>0 AND Items2.SerNo>0 AND Items.SerNo=0 ");
    return text;
}

// Paper items (categories 101-199) not yet done.
const QString &paperRows()
{
    static const QString text =
        QStringLiteral("AND Items.Status>0 AND Items.Tag2<11 AND (Services.CatNo Between 101 and 199) ");
    return text;
}

const QString &paperTables()
{
    static const QString text = QStringLiteral(
        "FROM (Vendors INNER JOIN ((ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = "
        "Services.CatNo) INNER JOIN (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON Services.SerNo = "
        "Items.SerNo) ON Vendors.[No] = Items.Vendor) INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo ");
    return text;
}

// The item note up to its first "·" or "•".
const QString &paperColour()
{
    static const QString text = QStringLiteral(
        "IIf(InStr([Items].[Note],'·')>0, Mid(Items.Note,1,InStr([Items].[Note],'·')-1), "
        "IIf(InStr([Items].[Note],'•')>0, Mid(Items.Note,1,InStr([Items].[Note],'•')-1),Items.Note)) ");
    return text;
}

const QString &unitCost()
{
    static const QString text = QStringLiteral("CCur(Services.RunCost1/100) AS [UnitCost] ");
    return text;
}

// The status of the product item that a paper belongs to.
const QString &itemStatusColumn()
{
    static const QString text = QStringLiteral(", ")
        + QStringLiteral("(SELECT Items0.Status FROM Items as Items0 WHERE Items0.JobID = Items.JobID AND "
                         "Items0.ItemNo = Items.ItemNo AND Items0.SubNo = Items.SubNo AND Items0.SerNo = 0) ")
        + QStringLiteral("AS [ItemStatus] ");
    return text;
}

// The day a service is scheduled: the job's date in plus the service's day
// offset.
const QString &serviceDate()
{
    static const QString text = QStringLiteral("(Jobs.DateIn + Items2.Days2 -1)");
    return text;
}

// The condition of the chosen days on the service date; empty when no day
// is chosen.
QString serviceDateCondition(int choice)
{
    const QString &sd = serviceDate();
    const QString today = GetTodayText(0, true);
    QString range;
    if (choice & Today)
        range = QStringLiteral("%1 = %2").arg(sd, today);
    else if (choice & Tomorrow)
        range = QStringLiteral("%1 = %2").arg(sd, GetTodayText(1, true));
    else if (choice & TodayAndTomorrow)
        range = QStringLiteral("(%1 between %2 and %3)").arg(sd, today, GetTodayText(1, true));
    else if (choice & NextWeek)
        range = QStringLiteral("%1 between %2 and %3").arg(sd, today, GetTodayText(7, true));
    else if (choice & NextTwoWeeks)
        range = QStringLiteral("%1 between %2 and %3").arg(sd, today, GetTodayText(14, true));
    if (!(choice & AlsoLate))
        return range;
    const QString late = QStringLiteral("%1 < %2").arg(sd, today);
    if (range.isEmpty())
        return late;
    return QStringLiteral("((%1) or (%2)) ").arg(range, late);
}

// The customer column without its alias, as the crosstab groups by it.
QString customerExpression()
{
    QString expression = CustomerColumn;
    expression.chop(QStringLiteral(" AS [Customer]").size());
    return expression;
}

} // namespace

void CSQL::BuildProductionListSQL(int code, int dateChoice, bool &weekly, int &bit128, QString &title,
                                  QString &note)
{
    Reset();
    bit128 = dateChoice & CallerFlag;
    const bool byDate = dateChoice & ByServiceDate;
    const QString &sd = serviceDate();

    const QString dateCondition = serviceDateCondition(dateChoice);
    QString serviceWhere = openOrders() + serviceRows();
    AppendWhere(serviceWhere, dateCondition);
    QString paperWhere = openOrders() + paperRows();
    AppendWhere(paperWhere, dateCondition);

    switch (code) {
    case WeeklySchedule: {
        weekly = true;
        title = QStringLiteral("Orders in Progress");
        // Each job number stands in the column of its due day.
        QString days = QStringLiteral("IIf([DateDue]-Date()<0, JobNo) AS [Late], ");
        for (int d = 0; d <= 6; ++d) {
            days += QStringLiteral("IIf([DateDue]-Date()=%1, JobNo) AS [%2], ")
                        .arg(d)
                        .arg(GetToday(d).format(QStringLiteral("%m/%d")));
        }
        days += QStringLiteral("IIf([DateDue]-Date()>6, JobNo) AS [Later] ");
        m_strSQL = QStringLiteral("SELECT DateDue AS [Job Due__PARENT], ") + CustomerColumn
            + QStringLiteral(", Title, ShipBy.Name as [Via], ") + days
            + QStringLiteral(
                "FROM ((Jobs LEFT JOIN ShipBy ON ShipBy.[No] = Jobs.ViaDue) LEFT JOIN ShipTo ON ShipTo.ShiptoNo = "
                "Jobs.ShiptoNo) LEFT JOIN Customers ON Customers.CusNo = Jobs.CusNo ")
            + openOrders() + QStringLiteral(" ORDER BY DateDue, Customers.Name, Jobs.JobNo");
        break;
    }

    case ProgressByJobNo:
    case ProgressByDueDate: {
        title = QStringLiteral("Items of Orders in Progress");
        note = QStringLiteral(
            "List shows how many Services To-Do in each Department. X means that all Services are done.");
        // A cell is "X" when every service of the department is done, else the
        // number of services still to do. The column names start with the
        // department's sort number + 10, so the columns come in department
        // order; the list drops the title up to "_>_".
        const bool byJob = code == ProgressByJobNo;
        const QString head = byJob ? QStringLiteral("Jobs.JobNo AS [JobNo__PARENT], Jobs.DateDue, ")
                                   : QStringLiteral("Jobs.DateDue, Jobs.JobNo AS [JobNo__PARENT], ");
        const QString groupHead = byJob ? QStringLiteral("Jobs.JobNo, Jobs.DateDue, ")
                                        : QStringLiteral("Jobs.DateDue, Jobs.JobNo, ");
        m_strSQL = QStringLiteral(
                       "TRANSFORM IIf(Sum([Items2].[Status])=0,'X',IIf(Sum([Items2].[Status])>0,"
                       "(Count(IIf([Items2].[Status]>0,([Items2].[Status])))),'')) AS Quantity SELECT ")
            + head + CustomerColumn
            + QStringLiteral(
                ", Items.ItemNo AS [I], First(Items.Description) as [Description] FROM (((Items INNER JOIN Jobs ON "
                "Items.JobID = Jobs.JobID) INNER JOIN (Items AS Items2 INNER JOIN (Services INNER JOIN "
                "(ServiceDepartments INNER JOIN ServiceCategories ON ServiceDepartments.DepNo = "
                "ServiceCategories.DepNo) ON Services.CatNo = ServiceCategories.CatNo) ON Items2.SerNo = "
                "Services.SerNo) ON (Items2.ItemNo = Items.ItemNo) AND (Items2.SubNo = Items.SubNo) AND "
                "(Items2.JobID = Items.JobID)) INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo) LEFT JOIN "
                "ShipTo ON Jobs.ShiptoNo = ShipTo.ShiptoNo WHERE Jobs.JobType=0 AND Jobs.Status=0 AND "
                "Items.SerNo=0 AND Items2.SerNo>0 GROUP BY ")
            + groupHead + customerExpression()
            + QStringLiteral(
                ", Items.ItemNo, Items.SubNo PIVOT CStr([ServiceDepartments].[SortNo])+10 & '_>_' & "
                "[ServiceDepartments].[DepName] & '_C_w_08' ");
        break;
    }

    case ServicesByCenter:
    case ServicesByOperator: {
        const bool byCenter = code == ServicesByCenter;
        QString head;
        if (byDate) {
            head = QStringLiteral("SELECT ") + sd
                + (byCenter ? QStringLiteral(" AS [ServiceDate], ProductionDepts.Name AS [Center_w_12__PARENT], ")
                            : QStringLiteral(" AS [ServiceDate], Employees.Name AS [Operator_w_12__PARENT], "));
        } else {
            head = (byCenter ? QStringLiteral("SELECT ProductionDepts.Name AS [Center_w_12], ")
                             : QStringLiteral("SELECT Employees.Name AS [Operator_w_12], "))
                + sd + QStringLiteral(" AS [ServiceDate__PARENT], ");
        }
        const QString columns = QStringLiteral("Jobs.JobNo AS [Job], ") + CustomerColumn
            + QStringLiteral(
                ", Items.ItemNo & ' ' & Items.Description AS [Item], ServiceCategories.CatName & ': ' & Services.Name "
                "AS [Service], Items2.ActualTime AS [ActTime], Items2.ActualQty AS [ActQty], ProductionTags.Name AS "
                "[Tag], Items2.Tag2 AS [Pri],")
            + QStringLiteral("IIf(Left(Items2.Note,3) = ' · ', Mid(Items2.Note,4), Items2.Note) AS [Note] ");
        const QString tables = byCenter
            ? QStringLiteral(
                  "FROM ((ProductionDepts INNER JOIN ((Items AS Items2 INNER JOIN Services ON Items2.SerNo = "
                  "Services.SerNo) INNER JOIN (ShipTo RIGHT JOIN ((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) "
                  "INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) ON "
                  "(Items2.ItemNo = Items.ItemNo) AND (Items2.SubNo = Items.SubNo) AND (Items2.JobID = Items.JobID)) "
                  "ON ProductionDepts.DepID = Services.ProdDepID) INNER JOIN ServiceCategories ON Services.CatNo = "
                  "ServiceCategories.CatNo) LEFT JOIN ProductionTags ON Items2.Tag1 = ProductionTags.TagID ")
            : QStringLiteral(
                  "FROM ((((Items AS Items2 INNER JOIN Services ON Items2.SerNo = Services.SerNo) INNER JOIN (ShipTo "
                  "RIGHT JOIN ((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN Customers ON Jobs.CusNo "
                  "= Customers.CusNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) ON (Items2.ItemNo = Items.ItemNo) AND "
                  "(Items2.SubNo = Items.SubNo) AND (Items2.JobID = Items.JobID)) INNER JOIN ServiceCategories ON "
                  "Services.CatNo = ServiceCategories.CatNo) INNER JOIN Employees ON Items2.EmpNo = Employees.EmpNo) "
                  "LEFT JOIN ProductionTags ON Items2.Tag1 = ProductionTags.TagID ");
        QString where = serviceWhere;
        if (!byCenter)
            where += QStringLiteral(" AND Items2.EmpNo>0 ");
        QString order = QStringLiteral(" ORDER BY ");
        if (byDate)
            order += sd + QLatin1Char(',');
        order += byCenter ? QStringLiteral("ProductionDepts.Sort, ProductionDepts.Name, ")
                          : QStringLiteral("Employees.Sort, Employees.Name, ");
        if (!byDate)
            order += sd + QLatin1Char(',');
        order += QStringLiteral("Jobs.JobNo, Items.ItemNo, Items.SubNo ");
        m_strSQL = head + columns + tables + where + order;
        break;
    }

    case PaperByVendor:
    case PaperByType:
    case PaperByJob:
    case PaperSummaryByVendor:
    case PaperSummaryByType: {
        QString head = QStringLiteral("SELECT ");
        QString orderHead = QStringLiteral(" ORDER BY ");
        QString groupHead = QStringLiteral(" GROUP BY ");
        if (byDate) {
            head += sd + QStringLiteral(" AS ServiceDate__PARENT, ");
            orderHead += sd + QLatin1Char(',');
            groupHead += sd + QLatin1Char(',');
        }
        const QString vendor = QStringLiteral("Vendors.Name AS Vendor_w_12");
        const QString sortTail = QStringLiteral("ServiceCategories.CatName, Services.Name, Services.Size ");
        const QString paperColumns =
            QStringLiteral("ServiceCategories.CatName as [Type_w_12], Services.Name as [Name], Services.Size as [Size], ")
            + paperColour()
            + QStringLiteral("AS [PaperColor__PARENT], Jobs.JobNo, Customers.Name, Items.ItemNo AS [Item], "
                             "Items.ActualQty as [Qty], '' AS [Order_w_08], ")
            + unitCost() + QStringLiteral(", Items.MatCost ") + itemStatusColumn();
        const QString summaryColumns =
            QStringLiteral("ServiceCategories.CatName as [Type_w_12], Services.Name as [Name], Services.Size as [Size], ")
            + paperColour()
            + QStringLiteral("AS [PaperColor], Count(Services.SerNo) AS [Items], Sum(Items.ActualQty) AS [Need], "
                             "ReOrder as [MinOrder], '' AS [Order_w_08], ")
            + unitCost() + QStringLiteral(", Sum(Items.MatCost) AS [MatCost] ");
        const QString summaryGroup = groupHead
            + QStringLiteral(" Vendors.Name, ServiceCategories.CatName, Services.Name, Services.Size, "
                             "Services.RunCost1, Services.CatNo, Items.Vendor, Services.Name, ReOrder,SKU, ")
            + paperColour();

        switch (code) {
        case PaperByVendor:
            m_strSQL = head + vendor + QLatin1Char(',') + paperColumns + QStringLiteral(", SKU ") + paperTables()
                + paperWhere + orderHead + QStringLiteral("Vendors.Name, ") + sortTail;
            break;
        case PaperByType:
            m_strSQL = head + paperColumns + QLatin1Char(',') + vendor + QStringLiteral(", SKU ") + paperTables()
                + paperWhere + orderHead + sortTail;
            break;
        case PaperByJob:
            m_strSQL = head + QStringLiteral("Jobs.JobNo AS [Job__PARENT], Customers.Name, Items.ItemNo AS [Itm],")
                + QStringLiteral("ServiceCategories.CatName as [Type_w_12], Services.Name as [Name], Services.Size as "
                                 "[Size], ")
                + paperColour()
                + QStringLiteral("AS [PaperColor], Items.ActualQty as [Qty], '' AS [Order_w_08], ") + unitCost()
                + QStringLiteral(", Items.MatCost ") + QLatin1Char(',') + vendor + QStringLiteral(", SKU ")
                + paperTables() + paperWhere + orderHead + QStringLiteral("Jobs.JobNo, Items.ItemNo, ") + sortTail;
            break;
        case PaperSummaryByVendor:
            m_strSQL = head + vendor + QStringLiteral("__PARENT") + QLatin1Char(',') + summaryColumns
                + QStringLiteral(", SKU ") + paperTables() + paperWhere + summaryGroup
                + QStringLiteral("ORDER BY Vendors.Name, ") + sortTail;
            break;
        default:
            m_strSQL = head + summaryColumns + QLatin1Char(',') + vendor + QStringLiteral(", SKU ") + paperTables()
                + paperWhere + summaryGroup + QStringLiteral("ORDER BY ") + sortTail;
            break;
        }
        // A paper's service date is that of the paper item itself.
        m_strSQL.replace(QStringLiteral("Items2"), QStringLiteral("Items"));
        break;
    }

    case PressAndPaper: {
        // Press items (Items2) of open orders in production, with their paper.
        QString head = QStringLiteral("SELECT ");
        QString order = QStringLiteral(" ORDER BY ");
        if (byDate) {
            head += sd + QStringLiteral(" AS ServiceDate__PARENT, ") + QStringLiteral("Services.Name AS [Press_w_12__PARENT], ");
            order += sd + QLatin1Char(',') + QStringLiteral("Services.Name");
        } else {
            head += QStringLiteral("Services.Name AS [Press_w_12], ") + sd + QStringLiteral(" AS [ServiceDate__PARENT], ");
            order += QStringLiteral("Services.Name, ") + sd;
        }
        // The paper conditions, asked of the press item and its paper service.
        QString pressWhere = paperWhere;
        pressWhere.replace(QStringLiteral("Items."), QStringLiteral("Items2."));
        pressWhere.replace(QStringLiteral("Services."), QStringLiteral("SerPaper."));
        m_strSQL = head
            + QStringLiteral(
                "Items2.ChargeTime AS [Time], Items2.Out AS [#ImpQty], SerPaper.Name AS Paper_w_30, ItemPap.Note AS "
                "[Paper Color · Sizes · Ink_w_50], Jobs.JobNo, Customers.Name AS Customer, Items2.ItemNo FROM (Jobs "
                "INNER JOIN ((Items AS Items2 LEFT JOIN ((Items AS ItemPap LEFT JOIN Services AS SerPaper ON "
                "ItemPap.SerNo = SerPaper.SerNo) LEFT JOIN ServiceCategories AS CatPaper ON SerPaper.CatNo = "
                "CatPaper.CatNo) ON (Items2.SubNo = ItemPap.SubNo) AND (Items2.ItemNo = ItemPap.ItemNo) AND "
                "(Items2.JobID = ItemPap.JobID)) LEFT JOIN (Services LEFT JOIN ServiceCategories AS CatPress ON "
                "Services.CatNo = CatPress.CatNo) ON Items2.SerNo = Services.SerNo) ON Jobs.JobID = Items2.JobID) "
                "INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo ")
            + pressWhere + QStringLiteral(" AND ((Services.CatNo) Between 201 And 299)") + order;
        break;
    }

    default:
        break;
    }
}
