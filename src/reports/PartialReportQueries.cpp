// The small statements that the summary renderers read field by field: the
// posted-sales summary (2901-2911), the paper note of the service-department
// report (2913) and the accounting report (2914-2924).

#include "reports/ReportQueries.h"

#include "reports/ReportSqlFragments.h"

QString PartialReportSql(int code, const ReportSqlFragments &f)
{
    switch (code) {
    case 2901:
        return QStringLiteral("SELECT Sum(AuditTrail.Subtotal), Sum(AuditTrail.Discount), Sum(AuditTrail.Shipping), "
                       "Sum(AuditTrail.Postage), Sum(AuditTrail.Tax), Sum(AuditTrail.LateFee), Sum(AuditTrail.WriteOff),  "
                       "Sum(AuditTrail.Paid) FROM AuditTrail INNER JOIN (Jobs LEFT JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) ON AuditTrail.JobNo = Jobs.JobNo WHERE ((AuditTrail.TransDate")
        + f.ThisPeriod
        + QStringLiteral(") and (AuditTrail.JobType = 3)) AND ((PostingDate <")
        + f.FromDate
        + QStringLiteral(") or (Jobs.PostingNo=-1))");
    case 2902:
        return QStringLiteral("SELECT Sum(QuickSales.Subtotal) AS Subtotal, CCur(0) AS Discount, CCur(0) AS Shipping, CCur(0) AS "
                       "Postage, Sum(QuickSales.Tax) AS [Tax], CCur(0) AS [Late Fee], CCur(0) AS [Write "
                       "Off],Sum(-QuickSales.Subtotal-QuickSales.Tax) AS [Paid] FROM QuickSales INNER JOIN PostingJournal "
                       "ON QuickSales.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2903:
        return QStringLiteral("SELECT Sum(PostingJournal.Subtotal), Sum(PostingJournal.Discount), Sum(PostingJournal.Shipping), "
                       "Sum(PostingJournal.Postage), Sum(PostingJournal.Tax), Sum(PostingJournal.LateFee), "
                       "Sum(PostingJournal.WriteOff), Sum(PostingJournal.Paid) FROM PostingJournal ")
        + f.WhereThisPeriod;
    case 2904:
        return QStringLiteral("SELECT Sum(IIF(PayGroup=0,Payments.Amount,0)) AS [For Quick Sales], "
                       "Sum(IIF(PayGroup=1,Payments.Amount,0)) AS [Deposits for Orders], "
                       "Sum(IIF(PayGroup=2,Payments.Amount,0)) AS [A/R Payments] FROM Payments INNER JOIN PostingJournal ON "
                       "Payments.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2906:
        return QStringLiteral("SELECT Sum(IIf( ((Date()-Jobs.DatePayDue)<1), Jobs.Balance, 0)) AS [Current], Sum(IIf( "
                       "((Date()-Jobs.DatePayDue)>0), Jobs.Balance, 0)) AS [Past Due], Sum(IIf( (Jobs.DatePayDue is null), "
                       "Jobs.Balance, 0)) AS [No Payment Due Date] FROM Jobs WHERE Jobs.JobType=3 and Jobs.Creator < 98 and "
                       "Jobs.Balance > 0 ");
    case 2907:
        return QStringLiteral("SELECT Sum(Jobs.Subtotal+Jobs.Discount+Jobs.Shipping+Jobs.Postage+Jobs.Tax) AS [Total], "
                       "Sum(Jobs.Paid) AS [Paid] FROM Jobs WHERE Jobs.JobType=0 ");
    case 2908:
        return QStringLiteral("SELECT Sum(PostingJournal.Invoices) FROM PostingJournal ")
        + f.WhereThisPeriod;
    case 2909:
        return QStringLiteral("SELECT Count(Jobs.JobNo) FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2910:
        return QStringLiteral("SELECT Count(QuickSales.QSaleID) FROM QuickSales INNER JOIN PostingJournal ON QuickSales.PostingNo "
                       "= PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2911:
        return QStringLiteral("SELECT ")
        + f.PriceSum
        + QStringLiteral("FROM (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo  ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo > 0 ");
    case 2913:
        return QStringLiteral("SELECT Items.JobID, Items.ItemNo, Jobs.Subtotal, Jobs.Discount FROM (ServiceCategories INNER JOIN "
                       "((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Services ON Items.SerNo = "
                       "Services.SerNo) ON ServiceCategories.CatNo = Services.CatNo) INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" AND (Services.CatNo = 302) AND (Items.Side1+Items.Side2 > 0) ");
    case 2914:
        return QStringLiteral("SELECT Sum(Jobs.Discount) AS [Discounts], Sum(Jobs.Shipping) AS Shipping, Sum(Jobs.Postage)     AS "
                       "Postage,Sum(Jobs.Tax)         AS Tax FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2915:
        return QStringLiteral("SELECT 0 as [1], IIF(SalesDepartments.Name Is Null, '(no department)', "
                       "SalesDepartments.Name) & ' QS', Sum(QuickSalesItems.Price) FROM (PostingJournal "
                       "INNER JOIN (QuickSalesItems RIGHT JOIN QuickSales ON QuickSalesItems.QSaleID = QuickSales.QSaleID) "
                       "ON PostingJournal.PostingNo = QuickSales.PostingNo) LEFT JOIN (Services LEFT JOIN SalesDepartments "
                       "ON Services.SaleDept = SalesDepartments.[No]) ON QuickSalesItems.SerNo = Services.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY SalesDepartments.Name  UNION SELECT 1 as [1], 'Quick Sales Tax' as [2], "
                       "Sum(QuickSales.Tax) AS [Quick Sales Tax] FROM PostingJournal INNER JOIN QuickSales ON "
                       "PostingJournal.PostingNo = QuickSales.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY 'Quick Sales Tax' ");
    case 2916:
        return QStringLiteral("SELECT Sum(IIf(Payments.PayGroup=1,-payments.Amount,0)) AS [Deposits: payment received before "
                       "posting], Sum(IIf(Payments.PayGroup=2,-payments.Amount,0)) AS [A/R Payments: received applied after "
                       "posting], Sum(IIf(Payments.PayGroup=0,-payments.Amount,0)) AS [Quick Sale Payments] FROM "
                       "PostingJournal INNER JOIN Payments ON PostingJournal.PostingNo = Payments.PostingNo ")
        + f.WhereThisPeriod;
    case 2917:
        return QStringLiteral("SELECT SUM(-Payments.Amount) AS [Deposits on Posted Jobs: deposit received in previous period] FROM "
                       "PostingJournal AS PostingJournal_1 INNER JOIN ((PostingJournal INNER JOIN Jobs ON "
                       "PostingJournal.PostingNo = Jobs.PostingNo) INNER JOIN ((PayGroups INNER JOIN Payments ON "
                       "PayGroups.PayGroup = Payments.PayGroup) INNER JOIN PayApplied ON Payments.PayNo = PayApplied.PayNo) "
                       "ON Jobs.JobNo = PayApplied.JobNo) ON PostingJournal_1.PostingNo = Payments.PostingNo  WHERE "
                       "(((PostingJournal_1.PostingDate)<")
        + f.FromDate
        + QStringLiteral(") AND ((PostingJournal.PostingDate) Between ")
        + f.FromDate
        + QStringLiteral(" And ")
        + f.ToDate
        + QStringLiteral(") AND ((Payments.PayGroup)=1))");
    case 2918:
        // Job numbers are shared by an order and the quotes and templates
        // numbered alike: only the order (JobType 0) takes the deposit, so
        // a deposit is counted once.
        return QStringLiteral("SELECT SUM(Payments.Amount) AS [Deposits Received on Orders Not Posted] FROM PostingJournal AS "
                       "PostingJournal_1 INNER JOIN ((PostingJournal RIGHT JOIN Jobs ON PostingJournal.PostingNo = "
                       "Jobs.PostingNo) INNER JOIN (Payments INNER JOIN PayApplied ON Payments.PayNo = PayApplied.PayNo) ON "
                       "Jobs.JobNo = PayApplied.JobNo) ON PostingJournal_1.PostingNo = Payments.PostingNo WHERE "
                       "(((PostingJournal_1.PostingDate) Between ")
        + f.FromDate
        + QStringLiteral(" And ")
        + f.ToDate
        + QStringLiteral(") AND ((Payments.PayGroup)=1) AND ((Jobs.PostingNo)=0) AND ((Jobs.JobType)=0))");
    case 2919:
        return QStringLiteral("SELECT Sum(IIf(Amount>0,Amount,0)) AS [Credits Given], Sum(IIf(Amount<0,Amount,0)) AS [Credit "
                       "Applied] FROM Credits WHERE (Credits.Date")
        + f.ThisPeriod
        + QStringLiteral(") ");
    case 2920:
        return QStringLiteral("Select Sum((Subtotal+Discount+Shipping+Postage+Tax+LateFee+WriteOff+Paid)) FROM PostingJournal ")
        + f.WhereThisPeriod;
    case 2921:
        return QStringLiteral("Select Sum(PostingJournal.Paid) FROM PostingJournal ")
        + f.WhereThisPeriod;
    case 2922:
        return QStringLiteral("Select Sum(Jobs.Paid) FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2923:
        return QStringLiteral("Select Sum(AuditTrail.Paid) FROM AuditTrail INNER JOIN (Jobs LEFT JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo) ON AuditTrail.JobNo = Jobs.JobNo WHERE "
                       "((AuditTrail.TransDate")
        + f.ThisPeriod
        + QStringLiteral(") and (AuditTrail.JobType = 3)) AND ((PostingDate <")
        + f.FromDate
        + QStringLiteral(") or (Jobs.PostingNo=-1))");
    case 2924:
        return QStringLiteral("SELECT Sum(AuditTrail.Latefee) AS [Late Fee (from Audit Trail)], Sum(AuditTrail.Writeoff) AS [Write "
                       "Off (from Audit Trail)] FROM AuditTrail WHERE (AuditTrail.TransDate")
        + f.ThisPeriod
        + QStringLiteral(") ");
    default:
        return QString();
    }
}
