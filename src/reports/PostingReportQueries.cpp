// The statements of the "Posting" reports: what was posted in the period.
// Every one but the credits (2007) and the changes to earlier invoices (2008)
// selects rows whose posting falls in the period.

#include "reports/ReportQueries.h"

#include "reports/ReportSqlFragments.h"

QString PostingReportSql(int code, const ReportSqlFragments &f, bool twoTaxes)
{
    switch (code) {
    case 2001:
        return QStringLiteral("SELECT Sum(IIF(")
        + f.NonZeroSubtotal
        + QStringLiteral(", Jobs.Subtotal, 0)) AS Subtotal, Sum(Jobs.Discount) AS Discount, Sum(Jobs.Shipping) AS Shipping, "
                       "Sum(Jobs.Postage)\tAS Postage,Sum(Jobs.Tax)\t\tAS Tax, Sum(Jobs.LateFee)  AS [Late Fee], "
                       "Sum(Jobs.WriteOff) AS [Write Off], Sum(Jobs.Paid)\t\tAS [Paid] FROM Jobs INNER JOIN PostingJournal ON "
                       "Jobs.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2002:
        return QStringLiteral("SELECT CByte(IIF(SalesDepartments.Group is null, 255, SalesDepartments.Group)) AS [Sales/Group}P], "
                       "CStr(IIF(SalesDepartments.Group is null, '<Not Assigned>', SalesDepartments.Name)) AS "
                       "[Department/Name}t], ")
        + f.PriceSum
        + QStringLiteral(", CCur(Sum([Items].[Price]*(IIf(Jobs.Subtotal=0, 0, Jobs.Discount/Jobs.Subtotal)))) AS "
                       "[Discount/$], CDbl(0) AS [Discount/%}3%2], CCur(0) AS [Discounted/Price}2+3Pp], CDbl(0) AS [% "
                       "of/TOTAL}5%5] FROM (((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN PostingJournal "
                       "ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Services ON Items.SerNo = Services.SerNo) "
                       "LEFT JOIN SalesDepartments ON Services.SaleDept = SalesDepartments.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" and Items.SerNo > 0 GROUP BY SalesDepartments.Group, SalesDepartments.Name  UNION SELECT "
                       "CByte(IIF(SalesDepartments.Group is null, 255, SalesDepartments.Group)), "
                       "CStr(IIF(SalesDepartments.Group is null, '<Not Assigned>', SalesDepartments.Name)) & ' QS', "
                       "Sum(QuickSalesItems.Price), CCur(0), "
                       "CDbl(0), CCur(0), CDbl(0) FROM (PostingJournal INNER JOIN (QuickSalesItems INNER JOIN QuickSales ON "
                       "QuickSalesItems.QSaleID = QuickSales.QSaleID) ON PostingJournal.PostingNo = QuickSales.PostingNo) "
                       "INNER JOIN (Services LEFT JOIN SalesDepartments ON Services.SaleDept = SalesDepartments.[No]) ON "
                       "QuickSalesItems.SerNo = Services.SerNo ")
        + f.WhereThisPeriod
        + QStringLiteral("GROUP BY SalesDepartments.Group, SalesDepartments.Name ");
    case 2003:
        if (twoTaxes)
            return QStringLiteral("SELECT Taxes.[No] AS [Tax/No}P], Taxes.Name AS [Tax/Name_w_18}P], 'Invoices' AS [Tax For_w_12}], "
                           "Count(Jobs.JobNo) AS [Count], Sum(Jobs.Subtotal+Jobs.Discount) AS [Net Sales], Sum(Jobs.Shipping) "
                           "AS [+ Shipping], Sum(Jobs.Postage) AS [+ Postage], Sum(Jobs.Subtotal+Jobs.Discount+Jobs.Shipping+Jobs"
                           ".Postage) AS [= Total], Sum(IIF((Jobs.TaxNo = 1 or Jobs.TaxNo = 3), Jobs.Taxable, 0)) AS [Taxed/1], "
                           "Sum(Jobs.Taxable2) AS [Taxed/2], Sum(IIF((Jobs.TaxNo = 1 or Jobs.TaxNo = 3), Jobs.Tax-Jobs.Tax2, "
                           "0)) AS [Tax/1}Pp], Sum(Jobs.Tax2) AS [Tax/2}Pp], Sum(Jobs.Tax) AS [Tax/Total}Pp] FROM (Jobs INNER "
                           "JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Taxes ON Jobs.TaxNo = "
                           "Taxes.[No] ")
            + f.WhereThisPeriod
            + QStringLiteral(" GROUP BY Taxes.[No], Taxes.Name  UNION SELECT Taxes.[No], Taxes.Name, 'Quick Sales', "
                           "Count(QuickSales.QSaleID), Sum(QuickSales.Subtotal), CCur(0), CCur(0), Sum(QuickSales.Subtotal), "
                           "Sum(IIF((QuickSales.TaxID = 1 or QuickSales.TaxID = 3), QuickSales.Taxable, 0)), "
                           "Sum(QuickSales.Taxable2),Sum(IIF((QuickSales.TaxID = 1 or QuickSales.TaxID = 3), QuickSales.Tax - "
                           "QuickSales.Tax2, 0)),Sum(QuickSales.Tax2),Sum(QuickSales.Tax) FROM Taxes INNER JOIN (QuickSales "
                           "INNER JOIN PostingJournal ON QuickSales.PostingNo = PostingJournal.PostingNo) ON Taxes.[No] = "
                           "QuickSales.TaxID ")
            + f.WhereThisPeriod
            + QStringLiteral(" GROUP BY Taxes.[No], Taxes.Name ");
        return QStringLiteral("SELECT Taxes.[No] AS [Tax/No}P], Taxes.Name AS [Tax/Name_w_18}P], 'Invoices' AS [Tax For_w_12}], "
                       "Count(Jobs.JobNo) AS [Count], Sum(Jobs.Subtotal+Jobs.Discount) AS [Net Sales/Subtotal-Disc}P], "
                       "Sum((Jobs.Subtotal+Jobs.Discount)-(Jobs.Taxable-(IIf(Taxes.TaxShipping=1,IIf(Taxes.TaxPostage=1,(Jobs"
                       ".Shipping+Jobs.Postage),Jobs.shipping),IIf(Taxes.TaxPostage=1,Jobs.Postage,0))))) AS [Net Sales/Tax "
                       "Exempt], CCur(0) AS [Net Sales/Taxable}4-5], Sum(IIf(Taxes.TaxShipping=1,Jobs.Shipping,0)) AS [+ "
                       "Shipping/Taxable], Sum(IIf(Taxes.TaxPostage=1,Jobs.Postage,0)) AS [+ Postage/Taxable], "
                       "Sum(Jobs.Taxable) AS [= Total/Taxable], Sum(Jobs.Tax) AS [Tax}Pp] FROM (Jobs INNER JOIN "
                       "PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Taxes ON Jobs.TaxNo = "
                       "Taxes.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" GROUP BY Taxes.[No], Taxes.Name  UNION SELECT Taxes.[No], Taxes.Name, 'Quick Sales', "
                       "Count(QuickSales.QSaleID), Sum(QuickSales.Subtotal), Sum(QuickSales.Subtotal-QuickSales.Taxable), "
                       "CCur(0), CCur(0), CCur(0), Sum(QuickSales.Taxable), Sum(QuickSales.Tax) FROM Taxes INNER JOIN "
                       "(QuickSales INNER JOIN PostingJournal ON QuickSales.PostingNo = PostingJournal.PostingNo) ON "
                       "Taxes.[No] = QuickSales.TaxID ")
        + f.WhereThisPeriod
        + QStringLiteral(" GROUP BY Taxes.[No], Taxes.Name ");
    case 2004:
        return QStringLiteral("SELECT PostingJournal.PostingNo as [Post/No], PostingDate AS [Posting/Date], Jobs.DateShipped AS "
                       "[Date/Shipped], 'Invoice' AS [Type   }t], Jobs.JobNo AS [No}t], Jobs.Subtotal AS [Subtotal}p], "
                       "Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.LateFee, Jobs.WriteOff, Jobs.Paid, "
                       "Jobs.Balance AS [Balance}P] FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo ")
        + f.WhereThisPeriod
        + QStringLiteral(" UNION SELECT PostingJournal.PostingNo, PostingDate, QuickSales.Date, 'QSale', QuickSales.QSaleID, "
                       "QuickSales.Subtotal AS [QuickSale/Subtotal}Pp], CCur(0), CCur(0), CCur(0), QuickSales.Tax AS "
                       "[QuickSale/Tax], CCur(0), CCur(0), (-QuickSales.Subtotal - QuickSales.Tax), CCur(0) FROM QuickSales "
                       "INNER JOIN PostingJournal ON QuickSales.PostingNo = PostingJournal.PostingNo ")
        + f.WhereThisPeriod;
    case 2005:
        if (twoTaxes)
            return QStringLiteral("SELECT Taxes.[No] AS [Tax/No}P], Taxes.Name AS [Tax/Name_w_18}P], 'Invoice ' AS [Tax/For_w_12], "
                           "Jobs.JobNo AS [Invc/No], Jobs.Subtotal+Jobs.Discount AS [Net Sales], Jobs.Shipping AS [+ Shipping], "
                           "Jobs.Postage AS [+ Postage], Jobs.Subtotal+Jobs.Discount+Jobs.Shipping+Jobs.Postage AS [= Total], "
                           "IIF((Jobs.TaxNo = 1 or Jobs.TaxNo = 3), Jobs.Taxable, 0) AS [Taxed/1], Jobs.Taxable2 AS [Taxed/2], "
                           "IIF((Jobs.TaxNo = 1 or Jobs.TaxNo = 3), Jobs.Tax-Jobs.Tax2, 0) AS [Tax/1}Pp], Jobs.Tax2 AS "
                           "[Tax/2}Pp], Jobs.Tax AS [Tax/Total}Pp] FROM (Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                           "PostingJournal.PostingNo) INNER JOIN Taxes ON Jobs.TaxNo = Taxes.[No] ")
            + f.WhereThisPeriod
            + QStringLiteral(" UNION SELECT Taxes.[No], Taxes.Name, 'QuickSale', QuickSales.QSaleID, QuickSales.Subtotal, "
                           "CCur(0), CCur(0), QuickSales.Subtotal, IIF((QuickSales.TaxID = 1 or QuickSales.TaxID = 3), "
                           "QuickSales.Taxable, 0), QuickSales.Taxable2,IIF((QuickSales.TaxID = 1 or QuickSales.TaxID = 3), "
                           "QuickSales.Tax - QuickSales.Tax2, 0),QuickSales.Tax2,QuickSales.Tax FROM Taxes INNER JOIN "
                           "(QuickSales INNER JOIN PostingJournal ON QuickSales.PostingNo = PostingJournal.PostingNo) ON "
                           "Taxes.[No] = QuickSales.TaxID ")
            + f.WhereThisPeriod;
        return QStringLiteral("SELECT Taxes.[No] AS [Tax/No}P], Taxes.Name AS [Tax/Name_w_18}P], 'Invoice ' AS [Tax For_w_12], "
                       "Jobs.JobNo AS [Invoice/No], Jobs.Subtotal+Jobs.Discount AS [Net Sales], "
                       "(Jobs.Subtotal+Jobs.Discount)-(Jobs.Taxable-(IIf(Taxes.TaxShipping=1,IIf(Taxes.TaxPostage=1,(Jobs.Shi"
                       "pping+Jobs.Postage),Jobs.shipping),IIf(Taxes.TaxPostage=1,Jobs.Postage,0)))) AS [Net Sales/Tax "
                       "Exempt], CCur(0) AS [Net Sales/Taxable}4-5], IIf(Taxes.TaxShipping=1,Jobs.Shipping,0) AS [+ "
                       "Shipping/Taxable], IIf(Taxes.TaxPostage=1,Jobs.Postage,0) AS [+ Postage/Taxable], Jobs.Taxable AS "
                       "[= Total/Taxable], Jobs.Tax AS [Tax}Pp] FROM (Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN Taxes ON Jobs.TaxNo = Taxes.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" UNION SELECT Taxes.[No], Taxes.Name, 'QuickSale', QuickSales.QSaleID, QuickSales.Subtotal, "
                       "(QuickSales.Subtotal-QuickSales.Taxable), CCur(0), CCur(0), CCur(0), QuickSales.Taxable, "
                       "QuickSales.Tax FROM Taxes INNER JOIN (QuickSales INNER JOIN PostingJournal ON QuickSales.PostingNo "
                       "= PostingJournal.PostingNo) ON Taxes.[No] = QuickSales.TaxID ")
        + f.WhereThisPeriod;
    case 2006:
        return QStringLiteral("SELECT PostingJournal.PostingNo as [Post/No], PostingDate AS [Posting/Date], Payments.Date AS "
                       "[Payment/Date}t], Payments.Amount AS [Payment/Amount}p], PaymentTypes.Name AS [Payment/Type], "
                       "Payments.Reference AS [Payment/Reference], PayGroups.Name AS [Payment/Group], Customers.Name AS "
                       "[Customer/Name            ], Customers.CusNo AS [Cust/No] FROM (((PayGroups INNER JOIN Payments ON "
                       "PayGroups.PayGroup = Payments.PayGroup) INNER JOIN PostingJournal ON Payments.PostingNo = "
                       "PostingJournal.PostingNo) INNER JOIN Customers ON Payments.CusNo = Customers.CusNo) INNER JOIN "
                       "PaymentTypes ON Payments.PaidBy = PaymentTypes.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral("ORDER BY PostingDate, Payments.PayNo");
    case 2007:
        return QStringLiteral("SELECT Properties.Text AS [Credit/Reason                 }P], Credits.Date AS [Credit/Date], "
                       "Credits.Amount AS [Credit/Amount], Credits.JobNo AS [Applied/to Job], Customers.Name AS "
                       "[Customer/Name                   ], Customers.CusNo AS [Cust/No] FROM Properties RIGHT JOIN "
                       "(Credits INNER JOIN Customers ON Credits.CusNo = Customers.CusNo) ON Properties.ID = "
                       "Credits.ReasonID WHERE Credits.Date")
        + f.ThisPeriod
        + QStringLiteral(" ORDER BY Credits.ReasonID, Credits.CreditID");
    case 2008:
        return QStringLiteral("SELECT AuditTrail.JobNo, PostingJournal.PostingDate AS [Posted   ], AuditTrail.TransDate AS "
                       "[Changed   ], Sum(AuditTrail.Subtotal) AS [Subtotal], Sum(AuditTrail.Discount) AS [Discount], "
                       "Sum(AuditTrail.Shipping) AS [Shipping], Sum(AuditTrail.Postage) AS [Postage], Sum(AuditTrail.Tax) "
                       "AS [Tax], Sum(AuditTrail.LateFee) AS [Late Fee], Sum(AuditTrail.WriteOff) AS [Write Off], "
                       "Sum(AuditTrail.Paid) AS [Paid], Sum(AuditTrail.Balance) AS [Balance]FROM AuditTrail INNER JOIN "
                       "(Jobs LEFT JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) ON AuditTrail.JobNo = "
                       "Jobs.JobNo GROUP BY AuditTrail.JobNo, PostingJournal.PostingDate, AuditTrail.TransDate, "
                       "PostingJournal.[PostingDate], AuditTrail.JobType, Jobs.PostingNo HAVING ((AuditTrail.TransDate")
        + f.ThisPeriod
        + QStringLiteral(") and (AuditTrail.JobType = 3)) AND ((PostingDate <")
        + f.FromDate
        + QStringLiteral(") or (Jobs.PostingNo=-1))  ORDER BY AuditTrail.JobNo ");
    case 2009:
        // Sales of a service whose sales department has no row stay in the
        // books under one line of their own.
        return QStringLiteral("SELECT '' AS [Type_w_12],IIF(SalesDepartments.Name Is Null, '(no department)', "
                       "SalesDepartments.Name) AS [Account_w_48],Sum(Items.Price) AS [Amount] FROM "
                       "(((Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN Items ON "
                       "Jobs.JobID = Items.JobID) INNER JOIN Services ON Items.SerNo = Services.SerNo) LEFT JOIN "
                       "SalesDepartments ON Services.SaleDept = SalesDepartments.[No] ")
        + f.WhereThisPeriod
        + QStringLiteral(" AND Items.SerNo>0 AND ")
        + f.NonZeroPrice
        + QStringLiteral("GROUP BY SalesDepartments.Name ");
    default:
        return QString();
    }
}
