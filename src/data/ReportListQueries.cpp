// The canned lists of the reports view: sales by date and by kind, quick
// sales, the posting journal and its sales summary, the audit trail and the
// commissions. The period of a report comes from the view in the filter, as a
// between-condition on the report's date field.

#include "data/CSQL.h"

#include "app/base/MoneyText.h"
#include "platform/Prompt.h"

namespace {

enum ReportBranch : int {
    SalesByDateIn = 0,
    SalesByDateShipped = 1,
    SalesByDatePaid = 2,
    SalesByDateReorder = 3,
    SalesBy = 4,
    QuickSales = 5,
    PostingJournal = 6,
    AuditTrail = 7,
    EditedAfterPosting = 8,
    Commissions = 9,
};

const QString &jobSalesColumns()
{
    static const QString text = QStringLiteral(
        ", SUM(Jobs.Subtotal) AS [Subtotal], SUM(Jobs.Discount) AS [Discount], SUM(Jobs.Subtotal+Jobs.Discount) "
        "AS [NetSale], SUM(Jobs.Cost) AS Cost, SUM(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS [$ Margin], "
        "IIF(SUM(Jobs.Subtotal+Jobs.Discount)<>0, 100 * (SUM(Jobs.Subtotal+Jobs.Discount-Jobs.Cost)/"
        "SUM(Jobs.Subtotal+Jobs.Discount)),0) AS [% Margin]");
    return text;
}

const QString &jobCountColumns()
{
    static const QString text = QStringLiteral(
        ", COUNT(Jobs.JobID) AS [JobCount], AVG(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS [AvgMargin], "
        "AVG(Jobs.Subtotal+Jobs.Discount) AS [AvgPrice]");
    return text;
}

const QString &itemTimeColumns()
{
    static const QString text = QStringLiteral(
        ", SUM(Items.ActualTime) AS ActualTime, SUM(Items.ChargeTime) AS ChargeTime, SUM(Items.ActualQty) AS "
        "[ActualQty], SUM(Items.ChargeQty) AS [ChargeQty]");
    return text;
}

// The item's share of the job's discount, by price.
const QString &itemDiscountShare()
{
    static const QString text = QStringLiteral(
        " IIF(Jobs.Discount=0 or Jobs.Subtotal between -0.0001 and 0.0001, 0, Items.Price*Jobs.Discount/Jobs.Subtotal) ");
    return text;
}

// The item's price net of its discount share.
QString itemNetPrice()
{
    return QStringLiteral("Items.Price + ") + itemDiscountShare();
}

QString itemSalesColumns()
{
    const QString d = itemDiscountShare();
    const QString n = itemNetPrice();
    return QStringLiteral(", SUM(Items.Cost) AS [Cost], SUM(Items.Price) AS [Price], CCur(SUM(") + d
        + QStringLiteral(")) AS [Discount], CCur(SUM(") + n + QStringLiteral(")) AS [NetPrice], CCur(SUM(") + n
        + QStringLiteral("-Items.Cost)) AS [$ Margin], IIF(SUM(") + n + QStringLiteral(")<>0, 100 * (SUM(") + n
        + QStringLiteral("-Items.Cost)/SUM(") + n + QStringLiteral(")),0) AS [% Margin]");
}

QString itemAverageColumns()
{
    const QString n = itemNetPrice();
    return QStringLiteral(", COUNT(Items.ItemID) AS Count, AVG(Items.Cost) AS AvgCost, AVG(") + n
        + QStringLiteral(") AS AvgPrice, AVG(") + n + QStringLiteral("-Items.Cost) AS [AvgMargin]");
}

QString itemMarginColumns()
{
    const QString n = itemNetPrice();
    return QStringLiteral(", COUNT(Items.ItemID) AS Count, AVG(") + n + QStringLiteral("-Items.Cost) AS [AvgMargin], AVG(")
        + n + QStringLiteral(") AS AvgPrice");
}

const QString &auditSumColumns()
{
    static const QString text = QStringLiteral(
        "Count(*) AS [Count], SUM(AuditTrail.Subtotal) AS [Subtotal], SUM(AuditTrail.Discount) AS [Discount], "
        "SUM(AuditTrail.Subtotal + AuditTrail.Discount) as [NetSale], SUM(AuditTrail.Shipping) AS [Shipping], "
        "SUM(AuditTrail.Postage) AS [Postage], SUM(AuditTrail.Tax) AS [Tax], SUM(AuditTrail.Latefee) AS "
        "[Latefee], SUM(AuditTrail.Paid) AS [Paid], SUM(AuditTrail.Writeoff) AS [Writeoff], "
        "SUM(AuditTrail.Balance) AS [Balance]");
    return text;
}

// The history jobs (and, for the posting printouts, one posting) with their
// posting journal row.
const QString &postedJobs()
{
    static const QString text =
        QStringLiteral("(Jobs LEFT JOIN PostingJournal ON PostingJournal.PostingNo = Jobs.PostingNo)");
    return text;
}

} // namespace

void CSQL::BuildReportList(int branch, int item, const QString &filter)
{
    // No report row opens a record, except in the posting journal.
    m_strKey = QStringLiteral("x");

    switch (branch) {
    case SalesByDateIn:
    case SalesByDateShipped:
    case SalesByDatePaid:
    case SalesByDateReorder: {
        static const char *const kDateFields[] = {"DateIn", "DateShipped", "DatePaid", "DateReorder"};
        const QString field = QString::fromLatin1(kDateFields[branch]);
        const QString jobField = QStringLiteral("Jobs.") + field;
        const QString year = QStringLiteral("Year(") + jobField + QLatin1Char(')');

        SetFrom(QStringLiteral(
            "PostingJournal RIGHT JOIN (Jobs INNER JOIN JobTypes ON Jobs.JobType = JobTypes.JobType) ON "
            "PostingJournal.PostingNo = Jobs.PostingNo"));
        AddHistoryCondition();
        if (branch == SalesByDateIn)
            m_strConditions = QLatin1Char('(') + m_strConditions + QStringLiteral(" or Jobs.JobType = 0)");
        else if (branch == SalesByDatePaid)
            AddPaidCondition();
        m_strConditions += QStringLiteral(" and ") + field + QStringLiteral(" is Not Null");

        QString sums = jobSalesColumns() + jobCountColumns();
        if (branch == SalesByDateIn)
            sums = QStringLiteral(", JobTypes.Name AS [Type]") + sums;
        switch (item) {
        case 1:
            SetSelect(jobField + QStringLiteral(" AS [") + field + QLatin1Char(']') + sums);
            SetGroupBy(jobField + QStringLiteral(", JobTypes.Name"));
            break;
        case 2:
            SetSelect(year + QStringLiteral(" AS [Year], Format(Format(") + jobField
                      + QStringLiteral(",'ww'),'00') AS [Week_w_50]") + sums);
            SetGroupBy(year + QStringLiteral(", Format(Format(") + jobField + QStringLiteral(",'ww'),'00'), JobTypes.Name"));
            break;
        case 3:
            SetSelect(year + QStringLiteral(" AS [Year], Format(") + jobField + QStringLiteral(",'mm  mmmm') AS [Month]")
                      + sums);
            SetGroupBy(year + QStringLiteral(", Format(") + jobField + QStringLiteral(",'mm  mmmm'), JobTypes.Name"));
            break;
        case 4:
            SetSelect(year + QStringLiteral(" AS [Year], Format(") + jobField + QStringLiteral(",'q') AS [Quarter_w_60]")
                      + sums);
            SetGroupBy(year + QStringLiteral(", Format(") + jobField + QStringLiteral(",'q'), JobTypes.Name"));
            break;
        case 5:
            SetSelect(year + QStringLiteral(" AS [Year]") + sums);
            SetGroupBy(year + QStringLiteral(", JobTypes.Name"));
            break;
        default:
            break;
        }
        break;
    }

    case SalesBy: {
        AddHistoryCondition();
        const QString jobGroups = jobSalesColumns() + jobCountColumns();
        const QString serviceItems = QStringLiteral("Items.SerNo > ");
        const QString productItems = QStringLiteral("Items.SerNo = ");
        const QString byDepartment = postedJobs() + QStringLiteral(
            " INNER JOIN ((SalesDepartments INNER JOIN Services ON SalesDepartments.[No] = Services.SaleDept) "
            "INNER JOIN Items ON Services.SerNo = Items.SerNo) ON Jobs.JobID = Items.JobID");
        const QString byCategory = QStringLiteral("ServiceCategories INNER JOIN (") + postedJobs() + QStringLiteral(
            " INNER JOIN (Services INNER JOIN Items ON Services.SerNo = Items.SerNo) ON Jobs.JobID = Items.JobID) "
            "ON ServiceCategories.CatNo = Services.CatNo");
        auto groupAndOrder = [this](const QString &group, const QString &order) {
            SetGroupBy(group);
            AddOrderBy(order);
        };

        switch (item) {
        case 1:
            SetSelect(QStringLiteral("SalesDepartments.Group, SalesDepartments.Name as [Department]")
                      + itemSalesColumns() + itemMarginColumns());
            SetFrom(byDepartment);
            AddCondition(serviceItems, 0);
            groupAndOrder(QStringLiteral("SalesDepartments.Group, SalesDepartments.Name"),
                          QStringLiteral("SalesDepartments.Group, SalesDepartments.Name"));
            break;
        case 2:
            SetSelect(QStringLiteral("ServiceCategories.CatName") + itemTimeColumns() + itemSalesColumns()
                      + itemMarginColumns());
            SetFrom(byCategory);
            AddCondition(serviceItems, 0);
            groupAndOrder(QStringLiteral("ServiceCategories.CatName, ServiceCategories.SortNo"),
                          QStringLiteral("ServiceCategories.SortNo"));
            break;
        case 3:
            SetSelect(QStringLiteral("ProductTypes.Name, SUM(Items.ChargeQty) AS Qty") + itemSalesColumns()
                      + itemMarginColumns());
            SetFrom(QStringLiteral("((ProductTypes INNER JOIN Items ON ProductTypes.[No] = Items.Side1) INNER JOIN ")
                    + postedJobs()
                    + QStringLiteral(" ON Jobs.JobID = Items.JobID) INNER JOIN Services ON Services.SerNo = Items.SerNo"));
            AddCondition(productItems, 0);
            groupAndOrder(QStringLiteral("ProductTypes.Name"), QStringLiteral("ProductTypes.Name"));
            break;
        case 4:
            SetSelect(QStringLiteral("BusinessTypes.Name") + jobGroups);
            SetFrom(QStringLiteral("(BusinessTypes INNER JOIN Customers ON BusinessTypes.[No] = Customers.Business) "
                                   "INNER JOIN ")
                    + postedJobs() + QStringLiteral(" ON Customers.CusNo = Jobs.CusNo"));
            groupAndOrder(QStringLiteral("BusinessTypes.Name, Jobs.JobType"), QStringLiteral("BusinessTypes.Name"));
            break;
        case 5:
            SetSelect(QStringLiteral("CustomerSources.Name") + jobGroups);
            SetFrom(QStringLiteral("(CustomerSources INNER JOIN Customers ON CustomerSources.[No] = Customers.Source) "
                                   "INNER JOIN ")
                    + postedJobs() + QStringLiteral(" ON Customers.CusNo = Jobs.CusNo"));
            groupAndOrder(QStringLiteral("CustomerSources.Name, Jobs.JobType"), QStringLiteral("CustomerSources.Name"));
            break;
        case 6:
            SetSelect(QStringLiteral("ShipBy.Name") + jobGroups);
            SetFrom(QStringLiteral("ShipBy INNER JOIN ") + postedJobs() + QStringLiteral(" ON ShipBy.[No] = Jobs.ViaDue"));
            groupAndOrder(QStringLiteral("ShipBy.Name, Jobs.JobType"), QStringLiteral("ShipBy.Name"));
            break;
        case 7:
            SetSelect(QStringLiteral("(Jobs.Location + 1) as [Location]") + jobGroups);
            SetFromJobTables();
            groupAndOrder(QStringLiteral("Jobs.Location, Jobs.JobType"), QStringLiteral("Jobs.Location"));
            break;
        case 8:
            SetSelect(QStringLiteral("Employees.Name") + itemTimeColumns() + itemSalesColumns() + itemAverageColumns());
            SetFrom(QStringLiteral("((Employees INNER JOIN Items ON Employees.EmpNo = Items.EmpNo) INNER JOIN ")
                    + postedJobs()
                    + QStringLiteral(" ON Jobs.JobID = Items.JobID) INNER JOIN Services ON Services.SerNo = Items.SerNo"));
            AddCondition(serviceItems, 0);
            groupAndOrder(QStringLiteral("Employees.Name"), QStringLiteral("Employees.Name"));
            break;
        case 9:
            SetSelect(QStringLiteral("Employees.Name") + jobGroups);
            SetFrom(QStringLiteral("Employees INNER JOIN ") + postedJobs()
                    + QStringLiteral(" ON Employees.EmpNo = Jobs.CSRNo"));
            groupAndOrder(QStringLiteral("Employees.Name, Jobs.JobType"), QStringLiteral("Employees.Name"));
            break;
        case 10:
            SetSelect(QStringLiteral("Employees.Name") + jobGroups);
            SetFrom(QStringLiteral("Employees INNER JOIN ") + postedJobs()
                    + QStringLiteral(" ON Employees.EmpNo = Jobs.SRepNo"));
            groupAndOrder(QStringLiteral("Employees.Name, Jobs.JobType"), QStringLiteral("Employees.Name"));
            break;
        case 11:
            SetSelect(QStringLiteral(
                "Taxes.Name, SUM(Jobs.Subtotal) AS [Subtotal], SUM(Jobs.Discount) AS [Discount], "
                "SUM(Jobs.Subtotal+Jobs.Discount) AS [NetSale], SUM(Jobs.Shipping) AS [Shipping], SUM(Jobs.Postage) "
                "AS [Postage], SUM(Jobs.Taxable) AS [Taxable], SUM(Jobs.Tax) as [Tax]"));
            SetFrom(QStringLiteral("Taxes INNER JOIN ") + postedJobs() + QStringLiteral(" ON Taxes.[No] = Jobs.TaxNo"));
            groupAndOrder(QStringLiteral("Taxes.Name, Jobs.JobType, Taxes.TaxPercent"), QStringLiteral("Taxes.Name"));
            break;
        case 12:
            SetSelect(QStringLiteral(
                          "SalesDepartments.Name as [Department], Services.Name & ' ' & Services.Size as [Service]")
                      + itemTimeColumns() + itemSalesColumns() + itemMarginColumns());
            SetFrom(byDepartment);
            AddCondition(serviceItems, 0);
            groupAndOrder(QStringLiteral("SalesDepartments.Group, SalesDepartments.Name, Services.CatNo, "
                                         "Services.Name & ' ' & Services.Size"),
                          QStringLiteral("SalesDepartments.Group, SalesDepartments.Name, Services.CatNo, "
                                         "Services.Name & ' ' & Services.Size"));
            break;
        case 13:
            SetSelect(QStringLiteral(
                          "ServiceCategories.CatName as[Category], Services.Name & ' ' & Services.Size as [Service]")
                      + itemTimeColumns() + itemSalesColumns() + itemAverageColumns());
            SetFrom(byCategory);
            AddCondition(serviceItems, 0);
            groupAndOrder(QStringLiteral("ServiceCategories.CatName, ServiceCategories.SortNo, Services.SortNo,  "
                                         "Services.Name & ' ' & Services.Size "),
                          QStringLiteral("ServiceCategories.SortNo, Services.SortNo, Services.Name & ' ' & "
                                         "Services.Size "));
            break;
        case 14:
            SetSelect(QStringLiteral("Customers.Name as [Customer], ServiceCategories.CatName as[Category]")
                      + itemTimeColumns() + itemSalesColumns() + itemMarginColumns());
            SetFrom(QStringLiteral(
                "ServiceCategories INNER JOIN (PostingJournal RIGHT JOIN (Customers INNER JOIN (Services INNER JOIN "
                "(Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) ON Services.SerNo = Items.SerNo) ON "
                "Customers.CusNo = Jobs.CusNo) ON PostingJournal.PostingNo = Jobs.PostingNo) ON "
                "(ServiceCategories.CatNo = Services.CatNo) AND (ServiceCategories.CatNo = Services.CatNo)"));
            AddCondition(serviceItems, 0);
            groupAndOrder(QStringLiteral("Customers.Name, ServiceCategories.CatName, ServiceCategories.SortNo"),
                          QStringLiteral("Customers.Name, ServiceCategories.SortNo"));
            break;
        case 15:
            // One row per customer, one column per product type.
            SetTransform(QStringLiteral("Sum(Items.Price) AS [The Value]"));
            SetSelect(QStringLiteral("Customers.Name as [Customer], Customers.CusNo, Sum(Items.Price) AS [ProdTotal]"));
            m_strPivot = QStringLiteral(" PIVOT ProductTypes.Name");
            SetFrom(QStringLiteral(
                "((ProductTypes INNER JOIN Items ON ProductTypes.[No] = Items.Side1) INNER JOIN (Jobs LEFT JOIN "
                "PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) ON Items.JobID = Jobs.JobID) INNER "
                "JOIN Customers ON Jobs.CusNo = Customers.CusNo"));
            AddCondition(productItems, 0);
            SetGroupBy(QStringLiteral("Customers.Name, Customers.CusNo"));
            break;
        case 16:
            // Presses (categories 201-299) with impressions, jobs of every
            // type; set-up time is Items.Up, impressions per hour are over the
            // run minutes.
            SetSelect(QStringLiteral(
                "Services.Name as [Press], Count(Items.ItemID) as [#Items], SUM(Items.Up) as [SetTime], "
                "SUM(Items.ActualTime - Items.Up) as [RunTime], SUM(Items.ActualTime) as [ActualTime], "
                "SUM(Items.Out) AS [#Impress], (SUM(Items.Out) * 60 / SUM(Items.ActualTime - Items.Up)) as "
                "[AvgImp/Hr]"));
            SetFrom(postedJobs() + QStringLiteral(
                " INNER JOIN (Services INNER JOIN Items ON Services.SerNo = Items.SerNo) ON Jobs.JobID = Items.JobID"));
            m_strConditions = QStringLiteral("(Items.Out > 0 and Services.CatNo between %1 and %2)")
                                  .arg(FormatInt(201, false, false), FormatInt(299, false, false));
            groupAndOrder(QStringLiteral("Services.Name"), QStringLiteral("Services.Name"));
            break;
        default:
            break;
        }
        break;
    }

    case QuickSales:
        switch (item) {
        case 1:
            SetSelect(QStringLiteral(
                "QuickSales.Date, QuickSales.Subtotal, QuickSales.Tax, Taxes.Name, QuickSales.PostingNo"));
            SetFrom(QStringLiteral("Taxes INNER JOIN QuickSales ON Taxes.[No] = QuickSales.TaxID"));
            AddOrderBy(QStringLiteral("QuickSales.Date DESC"));
            break;
        case 2:
            SetSelect(QStringLiteral(
                "QuickSales.Date, Services.Name as [Quick Sale Service], Count(QuickSalesItems.SerNo) AS [Count], "
                "Sum(QuickSalesItems.Quantity) AS Quantity, Sum(QuickSalesItems.Price) AS Price"));
            SetFrom(QStringLiteral(
                "QuickSales INNER JOIN (Services INNER JOIN QuickSalesItems ON Services.SerNo = "
                "QuickSalesItems.SerNo) ON QuickSales.QSaleID = QuickSalesItems.QSaleID"));
            SetGroupBy(QStringLiteral("QuickSales.Date, Services.Name"));
            break;
        case 3:
            SetSelect(QStringLiteral(
                "SalesDepartments.Group, SalesDepartments.Name, Count(QuickSalesItems.QItemID) AS [Count], "
                "Sum(QuickSalesItems.Price) AS [QSale]"));
            SetFrom(QStringLiteral(
                "(SalesDepartments INNER JOIN Services ON SalesDepartments.[No] = Services.SaleDept) INNER JOIN "
                "(QuickSales INNER JOIN QuickSalesItems ON QuickSales.QSaleID = QuickSalesItems.QSaleID) ON "
                "Services.SerNo = QuickSalesItems.SerNo"));
            SetGroupBy(QStringLiteral("SalesDepartments.Group, SalesDepartments.Name"));
            AddOrderBy(QStringLiteral("SalesDepartments.Group, SalesDepartments.Name"));
            break;
        case 4:
            SetSelect(QStringLiteral(
                "Taxes.Name, Count(*) AS [Count], SUM(QuickSales.Subtotal) AS [QuickSale], SUM(QuickSales.Tax) as [Tax]"));
            SetFrom(QStringLiteral("Taxes INNER JOIN QuickSales ON Taxes.[No] = QuickSales.TaxID"));
            SetGroupBy(QStringLiteral("Taxes.Name"));
            AddOrderBy(QStringLiteral("Taxes.Name"));
            break;
        default:
            break;
        }
        break;

    case PostingJournal: {
        SetFrom(QStringLiteral("PostingJournal"));
        AddOrderBy(QStringLiteral("PostingJournal.PostingNo DESC"));
        m_strKey = QStringLiteral("PostingNo");
        const QString head = QStringLiteral("PostingNo, PostingDate as [Date], ");
        switch (item) {
        case 1:
            SetSelect(head + QStringLiteral(
                "Invoices, Subtotal, Discount, (Subtotal + Discount) as [NetSale], Shipping, Postage, Tax, Paid, "
                "Balance, DepositNew, DepositOld, DepositNow, AllPayments, CreditsDue, ARBalance"));
            break;
        case 2:
            SetSelect(head + QStringLiteral("QSales, QSaleSubtotal, QSaleTax"));
            break;
        case 3:
            SetSelect(head + QStringLiteral(
                "(Subtotal + Discount + QSaleSubtotal) AS [Net Total], (Tax + QSaleTax) as [Taxes]"));
            break;
        case 4:
            SetSelect(head + QStringLiteral(
                "Invoices, Subtotal, Discount, (Subtotal + Discount) as [NetSale], Shipping, Postage, Tax, Paid, "
                "Writeoff, Balance, Cost, Commission, QSales, QSaleSubtotal, QSaleTax, TaxableQSale, DepositNew, "
                "DepositOld, DepositNow, AllPayments, CreditsDue, ARBalance"));
            break;
        case 5:
            // The period's sales as posted, the later changes to the posted
            // invoices, the same invoices as they stand now and the quick
            // sales. Every part covers the one period of the filter, and the
            // changes set each posting's totals once against the sums of its
            // invoices (a posting row joined to its jobs directly would count
            // its totals once per invoice).
            if (!filter.contains(QLatin1String("between"))) {
                platform::Prompt::messageBox(QStringLiteral("Need date range!"));
                m_strSelect.clear();
                return;
            }
            m_strSQL = QStringLiteral(
                           "SELECT '1.Regular Sales' as [Description], Count(PostingNo) as [Count], Sum(Subtotal) as "
                           "[Subtotals], Sum(Discount) as [Discounts], Sum(Subtotal + Discount) AS [Net Sale], Sum(Tax) "
                           "as [SaleTax] FROM PostingJournal WHERE ")
                + filter
                + QStringLiteral(
                    " UNION SELECT '2.Adjustments (after posting)' as [Description], Sum(PostedJobs.JobCount) as "
                    "[Count], (Sum(PostingJournal.Subtotal) - Sum(PostedJobs.JobSubtotal)) as [Subtotals], "
                    "(Sum(PostingJournal.Discount) - Sum(PostedJobs.JobDiscount)) as [Discounts], "
                    "(Sum(PostingJournal.Subtotal + PostingJournal.Discount) - Sum(PostedJobs.JobSubtotal + "
                    "PostedJobs.JobDiscount)) AS [Net Sale], (Sum(PostingJournal.Tax) - Sum(PostedJobs.JobTax)) as "
                    "[SaleTax] FROM PostingJournal INNER JOIN (SELECT Jobs.PostingNo, Count(Jobs.JobNo) AS JobCount, "
                    "Sum(Jobs.Subtotal) AS JobSubtotal, Sum(Jobs.Discount) AS JobDiscount, Sum(Jobs.Tax) AS JobTax "
                    "FROM Jobs GROUP BY Jobs.PostingNo) AS PostedJobs ON PostedJobs.PostingNo = "
                    "PostingJournal.PostingNo WHERE ")
                + filter
                + QStringLiteral(
                    " UNION SELECT 'Job ' as [Description], Count(Jobs.JobNo) as [Count], Sum(Jobs.Subtotal) as "
                    "[Subtotals], Sum(Jobs.Discount) as [Discounts], Sum(Jobs.Subtotal + Jobs.Discount) AS [Net Sale], "
                    "Sum(Jobs.Tax) as [SaleTax] FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                    "PostingJournal.PostingNo WHERE ")
                + filter
                + QStringLiteral(
                    " UNION SELECT '3.Quick Sales' as [Description], Count(PostingNo) as [Count], Sum(QSaleSubtotal) "
                    "as [Subtotals], Sum(CCur(0)) as [Discounts], Sum(QSaleSubtotal) as [Net Sale], Sum(QSaleTax) as "
                    "[SaleTax] FROM PostingJournal WHERE ")
                + filter;
            break;
        default:
            break;
        }
        break;
    }

    case AuditTrail: {
        SetFrom(QStringLiteral(
            "(PostingJournal RIGHT JOIN Jobs ON PostingJournal.PostingNo = Jobs.PostingNo) RIGHT JOIN AuditTrail ON "
            "Jobs.JobNo = AuditTrail.JobNo"));
        m_strConditions = QStringLiteral("(Jobs.JobType = %1 or Jobs.JobType = %2 OR Jobs.JobType is Null)")
                              .arg(FormatInt(0, false, false), FormatInt(3, false, false));
        auto summary = [this](const QString &lead, const QString &group) {
            SetSelect(lead + auditSumColumns());
            SetGroupBy(group);
            AddOrderBy(group);
        };
        switch (item) {
        case 1:
            SetSelect(QStringLiteral(
                "AuditTrail.TransDate, AuditTrail.JobNo, AuditTrail.Subtotal, AuditTrail.Discount, "
                "(AuditTrail.Subtotal + AuditTrail.Discount) as [NetSale], AuditTrail.Shipping, AuditTrail.Postage, "
                "AuditTrail.Tax, AuditTrail.Latefee, AuditTrail.Paid, AuditTrail.Writeoff, AuditTrail.Balance, "
                "AuditTrail.JobType, AuditTrail.TransNo"));
            AddOrderBy(QStringLiteral("AuditTrail.TransNo"));
            break;
        case 2: summary(QStringLiteral("AuditTrail.JobNo, "), QStringLiteral("AuditTrail.JobNo")); break;
        case 3: summary(QStringLiteral("AuditTrail.TransDate, "), QStringLiteral("AuditTrail.TransDate")); break;
        case 4:
            summary(QStringLiteral("Format(AuditTrail.TransDate,'ww') AS Week, "),
                    QStringLiteral("Format(AuditTrail.TransDate,'ww')"));
            break;
        case 5:
            summary(QStringLiteral("Format(AuditTrail.TransDate,'mm  mmmm') AS Month, "),
                    QStringLiteral("Format(AuditTrail.TransDate,'mm  mmmm')"));
            break;
        case 6: SetSelect(auditSumColumns()); break;
        case 7: {
            // Changes to invoices that were posted before the period.
            summary(QStringLiteral("AuditTrail.JobNo, "), QStringLiteral("AuditTrail.JobNo"));
            SetFrom(QStringLiteral(
                "AuditTrail INNER JOIN (Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) "
                "ON AuditTrail.JobNo = Jobs.JobNo"));
            const qsizetype first = filter.indexOf(QLatin1Char('#'));
            const qsizetype second = first > 0 ? filter.indexOf(QLatin1Char('#'), first + 1) : -1;
            if (first > 0 && second > first)
                AddWhere(QStringLiteral("PostingJournal.PostingDate < ") + filter.mid(first, second - first + 1));
            break;
        }
        default:
            break;
        }
        break;
    }

    case EditedAfterPosting:
        break;

    case Commissions:
        AddHistoryCondition();
        AddCondition(QStringLiteral("Jobs.Commission <> "), 0);
        if (item == 3 || item == 4)
            AddPaidCondition();
        if (item == 1 || item == 3) {
            SetSelect(QStringLiteral(
                "Employees.Name AS [Sales Rep], Jobs.Commission, (Jobs.Subtotal+Jobs.Discount) AS [NetSale], "
                "Jobs.WriteOff, (Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS Margin, iif((Jobs.Subtotal+Jobs.Discount) "
                "<> 0, 100*Jobs.Commission/(Jobs.Subtotal+Jobs.Discount), 0) AS [% of NetSale], "
                "iif((Jobs.Subtotal+Jobs.Discount-Jobs.Cost) <> 0, "
                "100*Jobs.Commission/(Jobs.Subtotal+Jobs.Discount-Jobs.Cost), 0) AS [% of Margin], Jobs.JobNo, "
                "Customers.Name AS Customer, Jobs.DateShipped, Jobs.DatePaid"));
            AddOrderBy(QStringLiteral("Employees.Name, Jobs.JobNo"));
        } else if (item == 2 || item == 4) {
            SetSelect(QStringLiteral(
                "Employees.Name AS [Sales Rep], SUM(Jobs.Commission) as [Commission], SUM(Jobs.Subtotal+Jobs.Discount) "
                "AS [NetSale], Sum(Jobs.WriteOff) AS [WriteOff], SUM(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS Margin, "
                "iif(SUM((Jobs.Subtotal+Jobs.Discount)) <> 0, "
                "100*SUM(Jobs.Commission)/SUM((Jobs.Subtotal+Jobs.Discount)), 0) AS [% of NetSale], "
                "iif(SUM((Jobs.Subtotal+Jobs.Discount-Jobs.Cost)) <> 0, "
                "100*SUM(Jobs.Commission)/SUM((Jobs.Subtotal+Jobs.Discount-Jobs.Cost)), 0) AS [% of Margin], "
                "Count(*) as [InvcCount]"));
            SetGroupBy(QStringLiteral("Employees.Name"));
            AddOrderBy(QStringLiteral("Employees.Name"));
        }
        SetFrom(QStringLiteral(
            "Employees INNER JOIN (Customers INNER JOIN (Jobs LEFT JOIN PostingJournal ON PostingJournal.PostingNo = "
            "Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) ON Employees.EmpNo = Jobs.SRepNo"));
        break;

    default:
        break;
    }
}
