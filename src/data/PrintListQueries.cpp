// The statements of printed lists (a list on screen printed with the columns
// of a chosen printed list) and of the printouts of one posting.

#include "data/CSQL.h"

#include "data/CXDaoSet.h"

namespace {

enum JobPrintList : int {
    JobListPlain = 100,
    JobDates = 101,
    JobAmounts = 102,
    ItemSpecs = 103,
    ItemAmounts = 104,
    ServiceSpecs = 105,
    ServiceAmounts = 106,
    ItemBarcodes = 107,
    ShipByJobNo = 108,
    ShipByVia = 109,
};

enum ReceivablesPrintList : int {
    AgingReport = 101,
    InvoiceList = 102,
};

enum PostingPrintout : int {
    PostedInvoices = 101,
    PostedQuickSales = 102,
    PostedPayments = 103,
    PostedPaymentsByGroup = 104,
    PostedSalesBy = 105, // and above: "Sales by" item = code - 104
};

QString parentHead()
{
    return QStringLiteral("Jobs.JobNo AS [JobNo__PARENT], ") + CustomerColumn;
}

// A leading " · " of an item note is not printed.
const QString &noteColumn()
{
    static const QString text =
        QStringLiteral("IIf(Left(Items.Note,3) = ' · ', Mid(Items.Note,4), Items.Note) AS [Note], ");
    return text;
}

const QString &jobMarginColumns()
{
    static const QString text = QStringLiteral(
        ", Jobs.Cost, (Jobs.Subtotal + Jobs.Discount - Jobs.Cost) AS [Margin], IIF((Jobs.Subtotal+Jobs.Discount)<>0, "
        "100 * ((Jobs.Subtotal+Jobs.Discount-Jobs.Cost)/(Jobs.Subtotal+Jobs.Discount)),0) AS [%], "
        "Jobs.Subtotal+Jobs.Discount as [Net Sale]");
    return text;
}

const QString &itemMarginColumns()
{
    static const QString text = QStringLiteral(
        ", Items.Cost, (Items.Price - Items.Cost) AS [Margin], IIF((Items.Price)<>0, 100 * "
        "((Items.Price-Items.Cost)/(Items.Price)),0) AS [%]");
    return text;
}

// Where a job goes and who takes it; the deliverer sees the amount to
// collect when the job has no terms.
const QString &shipColumns()
{
    static const QString text = QStringLiteral(
        "Jobs.DateDue, Jobs.TimeDue AS [Time   ], IIF(ShipTo.ShipToNo, ShipTo.Company, Customers.Name) AS Customer, "
        "IIF(ShipTo.ShipToNo, ShipTo.Address, Customers.Address) AS Address_w_40, IIF(ShipTo.ShipToNo, ShipTo.City "
        "& ' ' & ShipTo.State & ' ' & ShipTo.Zip, Customers.City & ' ' & Customers.State & ' ' & Customers.Zip) AS "
        "CityStZip, Contacts.First & ' ' & Contacts.Last & ' ' & Contacts.Phone AS Buyer, IIF(Jobs.TermsNo = 0, "
        "Jobs.Balance, NULL) AS COD ");
    return text;
}

const QString &shipTables()
{
    static const QString text = QStringLiteral(
        "ShipBy RIGHT JOIN (Customers RIGHT JOIN (Contacts RIGHT JOIN (ShipTo RIGHT JOIN Jobs ON ShipTo.ShiptoNo = "
        "Jobs.ShiptoNo) ON Contacts.ContactNo = Jobs.BuyerNo) ON Customers.CusNo = Jobs.CusNo) ON ShipBy.[No] = "
        "Jobs.ViaDue");
    return text;
}

} // namespace

CSQL::CSQL(CXDaoSet &listSet, const QString &kind, int printList, int value)
{
    Reset();

    // The printed list keeps the screen list's filter and order; its grouping
    // is not taken.
    listSet.SplitSQL();
    m_strSelect = listSet.m_strSqlHead;
    if (!listSet.m_strSqlFrom.isEmpty())
        m_strFrom = QStringLiteral(" FROM ") + listSet.m_strSqlFrom;
    m_strConditions = listSet.m_strSqlWhere;
    m_strOrderBy = listSet.m_strSqlOrderBy;
    if (!listSet.m_strSqlPivot.isEmpty())
        m_strPivot = QStringLiteral(" PIVOT ") + listSet.m_strSqlPivot;
    AddWhere(m_strConditions);

    const QString listSql = listSet.m_strSQL;
    if (kind == QLatin1String("Jobs") && !listSql.contains(QLatin1String("ServiceCategories"))) {
        BuildJobPrintList(printList, value);
    } else if (kind == QLatin1String("Ar")) {
        BuildReceivablesPrintList(printList, value);
    } else {
        // Lists of other kinds, and job lists over services, print as they are.
        m_strSQL = listSql;
        return;
    }
    JoinForPrint();
}

void CSQL::BuildJobPrintList(int code, int value)
{
    switch (code) {
    case JobListPlain:
    case ItemBarcodes:
        SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + QStringLiteral(", Jobs.Title AS [Job Title], Jobs.JobID"));
        SetFromJobTables();
        break;
    case JobDates:
        SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + QStringLiteral(
            ", Jobs.CusNo, Jobs.Title AS [Job Title], Jobs.DateIn AS [In], Jobs.DateProof AS [Proof], Jobs.DateDue AS "
            "[Job Due], Jobs.TimeDue, ShipBy.Name AS [ShipBy], Jobs.DateShipped AS [Shipped], Jobs.DatePayDue AS "
            "[Pay Due], Jobs.DatePaid AS [Paid], Jobs.DateReorder AS [Reorder]"));
        SetFrom(QStringLiteral(
            "ShipBy RIGHT JOIN (ShipTo RIGHT JOIN (Contacts RIGHT JOIN (Customers RIGHT JOIN (PostingJournal RIGHT "
            "JOIN Jobs ON PostingJournal.PostingNo = Jobs.PostingNo) ON Customers.CusNo = Jobs.CusNo) ON "
            "Contacts.ContactNo = Jobs.BuyerNo) ON ShipTo.ShiptoNo = Jobs.ShiptoNo) ON Jobs.ViaDue = ShipBy.[No]"));
        m_strOrderBy = QStringLiteral("Jobs.DateIn, Jobs.JobNo");
        break;
    case JobAmounts:
        SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + QStringLiteral(
            ", Jobs.CusNo, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.Paid, "
            "Jobs.Balance"));
        if (value != 0)
            m_strSelect += jobMarginColumns();
        SetFromJobTables();
        m_strOrderBy = QStringLiteral("Jobs.JobNo, Jobs.CusNo");
        break;
    case ItemSpecs:
    case ItemAmounts:
        SetSelect(parentHead() + QStringLiteral(
            ", (Contacts.First & ' ' & Contacts.Last & ' ' & Contacts.Phone) AS [Buyer], Items.ItemNo AS [Item], "
            "Items.Description, Items.Sheets AS [Origs], Items.ChargeQty AS [Quantity]"));
        if (code == ItemAmounts && value != 0)
            m_strSelect += itemMarginColumns();
        if (code == ItemAmounts || value != 0)
            m_strSelect += QStringLiteral(", Items.Price ");
        SetFromJobItemTables();
        AddWhere(QStringLiteral("Items.SerNo = 0"));
        m_strOrderBy = QStringLiteral("Jobs.JobNo, Items.ItemNo, Items.SubNo");
        break;
    case ServiceSpecs:
    case ServiceAmounts:
        SetSelect(parentHead() + QStringLiteral(
            ", Items.ItemNo AS [Item__PARENT], ServiceCategories.CatName AS [Category_w_12], Services.Name AS "
            "[Service], "));
        if (code == ServiceSpecs)
            m_strSelect += noteColumn();
        m_strSelect += QStringLiteral(
            "Items.ActualTime AS [ActTime], Items.ChargeTime AS [ChargeTime], Items.ActualQty AS [ActualQ], "
            "Items.ChargeQty AS [ChargeQ]");
        if (code == ServiceAmounts && value != 0)
            m_strSelect += QStringLiteral(", Items.TimeCost, Items.MatCost") + itemMarginColumns();
        if (code == ServiceAmounts || value != 0)
            m_strSelect += QStringLiteral(", Items.Price ");
        SetFromJobItemTables();
        AddWhere(QStringLiteral("Items.SerNo <> 0"));
        m_strOrderBy = QStringLiteral("Jobs.JobNo, Items.ItemNo, Items.SubNo, ServiceCategories.CatNo");
        break;
    case ShipByJobNo:
        SetSelect(QStringLiteral("Jobs.JobNo, ShipBy.Name AS Via_w_12, ") + shipColumns());
        SetFrom(shipTables());
        m_strOrderBy = QStringLiteral("Jobs.JobNo, ShipBy.Name");
        break;
    case ShipByVia:
        SetSelect(QStringLiteral("ShipBy.Name AS Via_w_12__PARENT, Jobs.JobNo, ") + shipColumns());
        SetFrom(shipTables());
        m_strOrderBy = QStringLiteral("ShipBy.Name, Jobs.JobNo");
        break;
    default:
        break;
    }
}

void CSQL::BuildReceivablesPrintList(int code, int value)
{
    switch (code) {
    case AgingReport:
        // Unpaid invoices under the customer's payer, in buckets of 0-30,
        // 31-60, 61-90 and over 90 days since shipping.
        SetSelect(QStringLiteral(
            "((IIf(Customers.CusNo = 31, IIf(Jobs.ShiptoNo = 0, '* ', '* ' + ShipTo.Company), Customers.Name)) & ' (' "
            "& Customers.CusNo & ')') AS [Customer], "
            "(Contacts.First & ' ' & ' ' & Contacts.Last & ' ' & Contacts.Phone) AS [Payer__PARENT], Jobs.JobNo AS "
            "[JobNo], Jobs.DateShipped as [Shipped], IIf(Date()-[DateShipped]<31,Jobs.Balance) AS [0-30], "
            "IIf(Date()-[DateShipped]>30 And Date()-[DateShipped]<61,Jobs.Balance) AS [31-60], "
            "IIf(Date()-[DateShipped]>60 And Date()-[DateShipped]<91,Jobs.Balance) AS [61-90], "
            "IIf(Date()-[DateShipped]>90,Jobs.Balance) AS [Over 90], Jobs.Balance"));
        SetFrom(QStringLiteral(
            "Contacts RIGHT JOIN (ShipTo RIGHT JOIN (Customers INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo) ON "
            "ShipTo.ShiptoNo = Jobs.ShiptoNo) ON Contacts.ContactNo = Customers.PayerNo"));
        break;
    case InvoiceList:
        SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerColumn + QStringLiteral(
            ", Jobs.CusNo, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.Latefee, "
            "Jobs.Writeoff, Jobs.Paid, Jobs.Balance"));
        SetFromJobTables();
        m_strOrderBy = QStringLiteral("Jobs.JobNo, Jobs.CusNo");
        break;
    default:
        break;
    }
}

void CSQL::BuildPostingSQL(int code, int postingNo)
{
    Reset();
    switch (code) {
    case PostedInvoices:
        // A computed name has no size of its own: the column is given room
        // for a whole customer's name.
        SetSelect(QStringLiteral("Jobs.JobNo, ") + CustomerName + QStringLiteral(" AS [Customer_w_50]") + QStringLiteral(
            ", Jobs.CusNo, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, Jobs.Postage, Jobs.Tax, Jobs.Paid, "
            "Jobs.Balance"));
        SetFromJobTables();
        AddCondition(QStringLiteral("Jobs.JobType = 3 and Jobs.PostingNo = "), postingNo);
        AddOrderBy(QStringLiteral("Jobs.JobNo"));
        break;
    case PostedQuickSales:
        SetSelect(QStringLiteral("*"));
        SetFrom(QStringLiteral("QuickSales"));
        AddCondition(QStringLiteral("QuickSales.PostingNo = "), postingNo);
        break;
    case PostedPayments:
        BuildReceivablesList(4, 0); // payments received
        AddCondition(QStringLiteral("Payments.PostingNo = "), postingNo);
        break;
    case PostedPaymentsByGroup:
        BuildReceivablesList(4, 13); // payments received by group
        AddCondition(QStringLiteral("Payments.PostingNo = "), postingNo);
        break;
    default:
        if (code >= PostedSalesBy) {
            BuildReportList(4, code - 104, QString()); // "Sales by"
            AddCondition(QStringLiteral("Jobs.PostingNo = "), postingNo);
        }
        break;
    }

    // A code without a printout has no select list, and so no statement.
    if (m_strSelect.isEmpty())
        return;
    AddWhere(m_strConditions);
    JoinForPrint();
}
