#include "jobs/FindFieldTables.h"

namespace {

constexpr int kByte = 2;
constexpr int kLong = 4;
constexpr int kCurrency = 5;
constexpr int kDate = 8;
constexpr int kText = 10;

FindField F(const char *label, const char *column, int type)
{
    return FindField{QString::fromUtf8(label), QString::fromUtf8(column), type};
}

QList<FindField> jobRows()
{
    return {
        F("Job Number", "Jobs.JobNo", kLong),
        F("Job Title", "Jobs.Title", kText),
        F("Customer Name", "Customers.Name", kText),
        F("Customer Number", "Jobs.CusNo", kLong),
        F("Customer ID", "Customers.CusID", kText),
        F("Ship To Company", "Shipto.Company", kText),
        F("Ship To Zip", "Shipto.Zip", kText),
        F("Buyer's First Name", "Contacts.First", kText),
        F("Buyer's Last Name", "Contacts.Last", kText),
        F("Buyer's Phone Number", "Contacts.Phone", kText),
        F("CSR Number", "Jobs.CSRNo", kByte),
        F("SalesRep Number", "Jobs.SRepNo", kByte),
        F("Date In", "Jobs.DateIn", kDate),
        F("Date Proof", "Jobs.DateProof", kDate),
        F("Date Due", "Jobs.DateDue", kDate),
        F("Date Shipped", "Jobs.DateShipped", kDate),
        F("Date Payment Due", "Jobs.DatePayDue", kDate),
        F("Date Paid", "Jobs.DatePaid", kDate),
        F("Date Reorder", "Jobs.DateReorder", kDate),
        F("Amount Paid", "Jobs.Paid", kCurrency),
        F("Balance", "Jobs.Balance", kCurrency),
        F("P.O.Number", "Jobs.PO", kText),
        F("Location Number (0 for Store1)", "Jobs.Location", kByte),
        F("Posting Number", "Jobs.PostingNo", kLong),
        F("Posting Date", "PostingJournal.PostingDate", kDate),
    };
}

QList<FindField> customerOwnRows()
{
    return {
        F("Customer's Name", "Customers.Name", kText),
        F("Customer's Number", "Customers.CusNo", kLong),
        F("Customer's ID", "Customers.CusID", kText),
        F("Customer's City", "Customers.City", kText),
        F("Customer's State", "Customers.State", kText),
        F("Customer's Zip", "Customers.Zip", kText),
    };
}

QList<FindField> buyerPayerRows()
{
    return {
        F("Buyer's First Name", "Contacts.First", kText),
        F("Buyer's Last Name", "Contacts.Last", kText),
        F("Buyer's Phone Number", "Contacts.Phone", kText),
        F("Payer's First Name", "Contacts.First", kText),
        F("Payer's Last Name", "Contacts.Last", kText),
        F("Payer's Phone Number", "Contacts.Phone", kText),
    };
}

QList<FindField> jobDateRows()
{
    return {
        F("Job Date In", "Jobs.DateIn", kDate),
        F("Job Date Shipped", "Jobs.DateShipped", kDate),
        F("Job Date Reorder", "Jobs.DateReorder", kDate),
    };
}

} // namespace

QList<FindField> FindFieldRows(const QString &kind, int listIndex, QString *listLabel)
{
    if (listLabel)
        listLabel->clear();
    if (kind == QLatin1String("Jobs"))
        return jobRows();
    if (kind == QLatin1String("Items"))
        return {
            F("Product Name", "ProductTypes.Name", kText),
            F("Item Description", "Items.Description", kText),
            F("Job Title", "Jobs.Title", kText),
            F("Date In", "Jobs.DateIn", kDate),
            F("Date Shipped", "Jobs.DateShipped", kDate),
            F("Date Reorder", "Jobs.DateReorder", kDate),
            F("P.O.Number", "Jobs.PO", kText),
            F("Job Number", "Jobs.JobNo", kLong),
            F("CSR Number", "Jobs.CSRNo", kByte),
            F("SalesRep Number", "Jobs.SRepNo", kByte),
            F("Location Number (0 for Store1)", "Jobs.Location", kByte),
            F("Buyer's First Name", "Contacts.First", kText),
            F("Buyer's Last Name", "Contacts.Last", kText),
            F("Buyer's Phone Number", "Contacts.Phone", kText),
        };
    if (kind == QLatin1String("Sales"))
        return {
            F("Job Number", "Jobs.JobNo", kLong),
            F("Customer Number", "Jobs.CusNo", kLong),
            F("CSR Number", "Jobs.CSRNo", kByte),
            F("SalesRep Number", "Jobs.SRepNo", kByte),
            F("Date In", "Jobs.DateIn", kDate),
            F("Date Shipped", "Jobs.DateShipped", kDate),
            F("Date Paid", "Jobs.DatePaid", kDate),
            F("Date Reorder", "Jobs.DateReorder", kDate),
            F("Balance", "Jobs.Balance", kCurrency),
            F("Location Number (0 for Store1)", "Jobs.Location", kByte),
            F("Posting Number", "Jobs.PostingNo", kLong),
            F("Posting Date", "PostingJournal.PostingDate", kDate),
        };
    if (kind == QLatin1String("Customers"))
        return customerOwnRows() + buyerPayerRows() + jobDateRows();
    if (kind == QLatin1String("Contacts"))
        return buyerPayerRows() + customerOwnRows() + jobDateRows();
    if (kind == QLatin1String("Shipto"))
        return QList<FindField>{
                   F("Ship To Company", "Shipto.Company", kText),
                   F("Ship To Address", "Shipto.Address", kText),
                   F("Ship To City", "Shipto.City", kText),
                   F("Ship To State", "Shipto.State", kText),
                   F("Ship To Zip", "Shipto.Zip", kText),
                   F("Customer's Number", "Shipto.CusNo", kLong),
               } +
            jobDateRows();
    if (kind == QLatin1String("Contact"))
        return {
            F("Buyer's First Name", "Contacts.First", kText),
            F("Buyer's Last Name", "Contacts.Last", kText),
            F("Buyer's Phone Number", "Contacts.Phone", kText),
            F("Buyer's Email Address", "Contacts.Email", kText),
        };
    if (kind == QLatin1String("Customer"))
        return {
            F("Customer's Name", "Customers.Name", kText),
            F("Customer's Number", "Customers.CusNo", kLong),
            F("Customer's ID", "Customers.CusID", kText),
            F("Payer's First Name", "Contacts.First", kText),
            F("Payer's Last Name", "Contacts.Last", kText),
            F("Payer's Phone Number", "Contacts.Phone", kText),
            F("Job Number", "Jobs.JobNo", kLong),
            F("Job P.O.Number", "Jobs.PO", kText),
        };
    if (kind == QLatin1String("Credits"))
        return {
            F("Credit Date", "Credits.Date", kDate),
            F("Credit Amount", "Credits.Amount", kCurrency),
            F("Credit Reason", "Credits.ReasonID", kLong),
            F("Customer Name", "Customers.Name", kText),
            F("Customer Number", "Credits.CusNo", kLong),
            F("Customer ID", "Credits.CusID", kText),
            F("JobNo Credit Applied", "Credits.JobNo", kLong),
        };
    if (kind == QLatin1String("Services"))
        return {F("Service Name", "Services.Name", kText), F("Status", "Services.SerStatus", kByte)};
    if (kind == QLatin1String("Payments"))
        return {
            F("Customer Name", "Customers.Name", kText),
            F("Customer Number", "Customers.CusNo", kLong),
            F("Customer ID", "Customers.CusID", kText),
            F("Payment Date", "Payments.Date", kDate),
            F("Payment PostingNo", "Payments.PostingNo", kLong),
            F("Payment Group: Q,D,AR", "PayGroups.Name", kText),
            F("Payment Type: Cash,Check...", "PaymentTypes.Name", kText),
            F("Check Number", "Payments.Reference", kText),
            F("Applied Invoice Number", "Payments.Appliedto", kText),
        };
    if (kind == QLatin1String("PostingJournal"))
        return {F("Posting Date", "PostingJournal.PostingDate", kDate),
                F("Posting Number", "PostingJournal.PostingNo", kLong)};
    if (kind == QLatin1String("PostingMonth"))
        return {F("Posting Month", "PostingJournal.PostingDate", kDate)};
    if (kind == QLatin1String("QuickSales"))
        return {F("Date of QuickSale ", "QuickSales.Date", kDate), F("Posting Number", "QuickSales.PostingNo", kLong)};
    if (kind == QLatin1String("AuditTrail"))
        return {F("Date of Transaction", "AuditTrail.TransDate", kDate),
                F("Posting Date", "PostingJournal.PostingDate", kDate)};
    if (kind == QLatin1String("Orders")) {
        // The schedule's orders are joined with their customers: the
        // customer's number is read from the customer's row.
        QList<FindField> rows = {
            F("Job Number", "Jobs.JobNo", kLong),
            F("Job Title", "Jobs.Title", kText),
            F("Customer Name", "Customers.Name", kText),
            F("Customer Number", "Customers.CusNo", kLong),
            F("Customer ID", "Customers.CusID", kText),
            F("Date In", "Jobs.DateIn", kDate),
            F("Date Proof", "Jobs.DateProof", kDate),
            F("Date Due", "Jobs.DateDue", kDate),
            F("Date Shipped", "Jobs.DateShipped", kDate),
            F("CSR Number", "Jobs.CSRNo", kByte),
            F("SalesRep Number", "Jobs.SRepNo", kByte),
            F("Job Ship By", "Jobs.ViaDue", kByte),
            F("Location Number (0 for Store1)", "Jobs.Location", kByte),
        };
        if (listIndex == 0) {
            if (listLabel)
                *listLabel = QStringLiteral("Orders");
        } else if (listIndex == 1 || listIndex == 10) {
            if (listLabel)
                *listLabel = QStringLiteral("Items");
            rows += {
                F("Item Description", "Items.Description", kText),
                F("Item Note", "Items.Note", kText),
                F("Item Product No", "Items.Side1", kByte),
                F("Item Quantity", "Items.ChargeQty", kLong),
                F("Production Tag", "Items.Tag1", kByte),
                F("Production Priority", "Items.Tag2", kByte),
            };
        } else {
            if (listLabel)
                *listLabel = QStringLiteral("Services");
            rows += {
                F("Service Name", "Services.Name", kText),
                F("Service Category", "Services.CatNo", kLong),
                F("Item/Service Date", "(Jobs.DateIn + Items.Days2 - 1)", kDate),
                F("Item/Service Operator", "Items.EmpNo", kByte),
                F("Item/Service Note", "Items.Note", kText),
                F("Service Center", "Services.ProdDepID", kByte),
                F("Production Tag", "Items.Tag1", kByte),
                F("Production Priority", "Items.Tag2", kByte),
            };
        }
        return rows;
    }
    return {};
}

int PreferredFindField(const QString &kind, int fieldIndex)
{
    if (fieldIndex == -1 && kind == QLatin1String("Customer"))
        return 6;
    return fieldIndex;
}

QStringList FindTablesOfKind(const QString &kind)
{
    auto list = [](std::initializer_list<const char *> names) {
        QStringList out;
        for (const char *n : names)
            out << QString::fromLatin1(n);
        return out;
    };
    if (kind == QLatin1String("PostingMonth"))
        return list({"PostingJournal", "Jobs"});
    if (kind == QLatin1String("Sales"))
        return list({"Jobs", "PostingJournal"});
    if (kind == QLatin1String("Jobs"))
        return list({"Jobs", "Customers", "Shipto", "Contacts", "PostingJournal"});
    if (kind == QLatin1String("Customers"))
        return list({"Customers", "Jobs", "Contacts"});
    if (kind == QLatin1String("Contacts"))
        return list({"Contacts", "Jobs", "Customers"});
    if (kind == QLatin1String("Shipto"))
        return list({"Shipto", "Jobs", "Customers"});
    if (kind == QLatin1String("Payments"))
        return list({"Payments", "Customers", "PayGroups", "PaymentTypes"});
    if (kind == QLatin1String("Services"))
        return list({"Services", "ServiceCategories"});
    if (kind == QLatin1String("AuditTrail"))
        return list({"AuditTrail", "PostingJournal"});
    return {kind};
}
