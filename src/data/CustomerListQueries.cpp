// The canned lists of the customers view: customers and prospects, top and
// inactive customers, contacts, shipping addresses and the credit list.

#include "data/CSQL.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"

namespace {

enum CustomerBranch : int {
    Customers = 0,
    Prospects = 1,
    CustomersAndProspects = 2,
    TopCustomers = 3,
    InactiveCustomers = 4,
    Contacts = 5,
    ShippingAddresses = 6,
    CreditList = 100,
};

// Customer, contact and ship-to status 2 is "Hidden".
constexpr int kHidden = 2;

QString number(int n)
{
    return FormatInt(n, false, false);
}

} // namespace

void CSQL::BuildCustomerList(int branch, int item, const QString &filter, int option)
{
    SetSelect(QStringLiteral(
        "DISTINCTROW Customers.Name, Customers.CusNo, Contacts.First, Contacts.Last, Contacts.Phone, "
        "Contacts.Fax, Contacts.Email, Customers.Zip, Customers.DateCreated as [Created], "
        "Customers.DateModified as [Modified], Customers.CusStatus as [Status]"));
    SetFrom(QStringLiteral(
        "Jobs RIGHT JOIN (Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo) ON "
        "Customers.CusNo = Jobs.CusNo"));
    m_strKey = QStringLiteral("CusNo");
    bool hideHidden = option == 1;

    switch (branch) {
    case Customers:
    case Prospects:
    case CustomersAndProspects:
        // These branches name the statuses themselves; the option does not apply.
        hideHidden = false;
        AddOrderBy(QStringLiteral("Customers.Name"));
        if (branch == Customers && item == 0) {
            branch = CustomersAndProspects;
            hideHidden = true;
        }
        if (branch == Customers) {
            // Customers are those with orders (open or in history).
            m_strConditions = QStringLiteral("(Jobs.JobType=0 or Jobs.JobType=3)");
        } else if (branch == Prospects) {
            SetFrom(QStringLiteral("Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo"));
            m_strConditions = QStringLiteral(
                "Customers.Cusno NOT IN (SELECT Customers.CusNo FROM (Contacts RIGHT JOIN Customers ON "
                "Contacts.ContactNo = Customers.BuyerNo) INNER JOIN Jobs ON Customers.CusNo = Jobs.CusNo WHERE "
                "(((Jobs.JobType)=0 Or (Jobs.JobType)=3)))");
        }
        switch (item) {
        case 2: hideHidden = true; break;
        case 3: case 4: case 5: AddWhere(QStringLiteral("Customers.CusStatus = ") + number(item - 3)); break;
        case 6: SetDateCondition(QStringLiteral("Customers.DateCreated"), 0, 0); break;
        case 7: SetDateCondition(QStringLiteral("Customers.DateCreated"), DateRange::ThisWeek, 0); break;
        case 8: SetDateCondition(QStringLiteral("Customers.DateCreated"), DateRange::ThisMonth, 0); break;
        case 9: SetDateCondition(QStringLiteral("Customers.DateCreated"), DateRange::ThisYear, 0); break;
        case 10:
            AddWhere(QStringLiteral("(Customers.CusNo = 1 or Customers.CusNo = 10 or Customers.CusNo = 31)"));
            break;
        default: break;
        }
        break;

    case TopCustomers: {
        SetFromJobTables();
        QString top;
        if (item >= 1 && item <= 3)
            top = QStringLiteral("TOP 10 ");
        else if (item >= 4 && item <= 6)
            top = QStringLiteral("TOP 25 ");
        else if (item >= 7 && item <= 9)
            top = QStringLiteral("TOP 100 ");
        SetSelect(top + QStringLiteral(
            "Customers.Name, Customers.CusNo, COUNT(Jobs.JobNo) AS [Jobs], SUM(Jobs.Cost) AS Cost, "
            "SUM(Jobs.Subtotal+Jobs.Discount) AS NetSale, SUM(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS Margin, "
            "AVG(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS [AvgMargin], Max(Jobs.DateIn) AS [LastOrder], "
            "Customers.Zip"));
        SetGroupBy(QStringLiteral("Customers.Name, Customers.CusNo, Customers.Zip"));
        AddHistoryCondition();
        // The order picks the top rows, so the user's sort never replaces it.
        AddOrderBy(QStringLiteral("SUM(Jobs.Subtotal+Jobs.Discount) DESC"));
        m_nSortColumn = 3;
        m_bDescending = true;
        if (item >= 1 && item <= 12) {
            static const int kRanges[] = {DateRange::LastYear, DateRange::ThisMonth, DateRange::ThisYear};
            SetDateCondition(QStringLiteral("Jobs.DateShipped"), kRanges[item % 3], 0);
        }
        break;
    }

    case InactiveCustomers: {
        SetSelect(QStringLiteral(
            "DISTINCTROW Customers.Name, Count(Jobs.JobType) as [Orders], MAX(Jobs.DateIn) AS [Last Order], "
            "MIN((Date()-Jobs.DateIn)) AS [Days], SUM(Jobs.Subtotal+Jobs.Discount) AS NetSale, "
            "Contacts.First + ' ' + Contacts.Last AS Buyer, Contacts.Phone, Customers.Zip, Customers.CusNo"));
        m_strConditions = QStringLiteral("((Jobs.JobType = 0 or Jobs.JobType = 3) OR Jobs.CusNo Is Null)");
        SetGroupBy(QStringLiteral(
            "Customers.Name, Contacts.First + ' ' + Contacts.Last, Contacts.Phone, Contacts.Fax, "
            "Customers.CusNo, Customers.Zip"));
        static const int kDays[] = {365, 180, 90, 60, 30};
        if (item >= 1 && item <= 5)
            SetHaving(QStringLiteral("MIN(Date()-Jobs.DateIn) >"), kDays[item - 1]);
        break;
    }

    case Contacts:
        SetSelect(QStringLiteral(
            "Customers.Name as Customer, Contacts.Title, Contacts.First, Contacts.Last, Contacts.Phone, "
            "Contacts.Email, Contacts.Phone2, Contacts.Cell, Contacts.Fax, Contacts.Created, Contacts.Modified, "
            "Contacts.LastEmail, Contacts.LastSurvey, Contacts.Dept, Contacts.Type as [Status], "
            "Customers.CusStatus as [CusSta], Customers.CusNo, Contacts.ContactNo"));
        SetFrom(QStringLiteral("Contacts INNER JOIN Customers ON Contacts.CusNo = Customers.CusNo"));
        AddOrderBy(QStringLiteral("Customers.Name, Contacts.First, Contacts.Last"));
        m_strKey = QStringLiteral("ContactNo");
        switch (item) {
        case 2: AddWhere(QStringLiteral("Contacts.Type <> ") + number(kHidden)); break;
        case 3: case 4: case 5: AddWhere(QStringLiteral("Contacts.Type = ") + number(item - 3)); break;
        case 6:
            SetFrom(QStringLiteral("Contacts INNER JOIN Customers ON Contacts.ContactNo = Customers.BuyerNo"));
            m_strConditions = QStringLiteral("Customers.BuyerNo > 0");
            break;
        case 7:
            SetFrom(QStringLiteral("Contacts INNER JOIN Customers ON Contacts.ContactNo = Customers.PayerNo"));
            m_strConditions = QStringLiteral("Customers.PayerNo > 0");
            break;
        case 8:
            SetSelect(QStringLiteral(
                "Contacts.First, Contacts.Last, Customers.Name as Customer, COUNT(Jobs.JobNo) AS [Jobs], "
                "SUM(Jobs.Subtotal+Jobs.Discount) AS NetSale, SUM(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS Margin, "
                "MIN(Jobs.DateIn) AS [FirstOrder], MAX(Jobs.DateIn) AS [LastOrder], MIN((Date()-Jobs.DateIn)) AS "
                "[DaysInactive], Contacts.Created, Contacts.Modified, Contacts.LastEmail, Contacts.LastSurvey, "
                "Customers.CusNo, Contacts.ContactNo"));
            SetFrom(QStringLiteral(
                "(Contacts LEFT JOIN Jobs ON Contacts.ContactNo = Jobs.BuyerNo) INNER JOIN Customers ON "
                "Contacts.CusNo = Customers.CusNo"));
            SetGroupBy(QStringLiteral(
                "Contacts.First, Contacts.Last, Customers.Name, Contacts.Created, Contacts.Modified, "
                "Contacts.LastEmail, Contacts.LastSurvey, Customers.CusNo, Contacts.ContactNo"));
            m_strConditions = QStringLiteral("(Jobs.JobType = 0 or Jobs.JobType = 3)");
            AddOrderBy(QStringLiteral("SUM(Jobs.Subtotal+Jobs.Discount) DESC"));
            m_nSortColumn = 4;
            m_bDescending = true;
            break;
        case 9:
            SetSelect(QStringLiteral(
                "Contacts.First, Contacts.Last, Customers.Name as Customer, Contacts.Created, Contacts.Modified, "
                "Contacts.LastEmail, Contacts.LastSurvey, Contacts.CusNo, Contacts.ContactNo"));
            SetFrom(QStringLiteral(
                "(Contacts LEFT JOIN Jobs ON Contacts.ContactNo = Jobs.BuyerNo) INNER JOIN Customers ON "
                "Contacts.CusNo = Customers.CusNo"));
            m_strConditions = QStringLiteral("(Jobs.BuyerNo Is Null)");
            AddOrderBy(QStringLiteral("Contacts.First, Contacts.Last"));
            break;
        default: break;
        }
        // A filter on job fields lists each contact once.
        if (filter.contains(QLatin1String("Jobs")) && !m_strFrom.contains(QLatin1String("Jobs"))) {
            SetSelect(QStringLiteral(
                "Customers.Name as Customer, Contacts.First, Contacts.Last, Contacts.CusNo, Contacts.ContactNo"));
            SetFrom(QStringLiteral(
                "(Customers INNER JOIN Contacts ON Customers.CusNo = Contacts.CusNo) LEFT JOIN Jobs ON "
                "Customers.CusNo = Jobs.CusNo"));
            SetGroupBy(QStringLiteral(
                "Customers.Name, Contacts.First, Contacts.Last, Contacts.CusNo, Contacts.ContactNo"));
            AddOrderBy(QStringLiteral("Customers.Name, Contacts.First, Contacts.Last"));
        }
        break;

    case ShippingAddresses:
        SetSelect(QStringLiteral(
            "Customers.Name AS [BILL TO], ShipTo.Company AS [SHIP TO], ShipTo.Attention, ShipTo.Address, "
            "ShipTo.Address2, ShipTo.City, ShipTo.State, ShipTo.Zip, ShipTo.Country, ShipTo.Type as [Status], "
            "ShipTo.CusNo, ShipTo.ShiptoNo"));
        SetFrom(QStringLiteral("ShipTo INNER JOIN Customers ON ShipTo.CusNo = Customers.CusNo"));
        AddOrderBy(QStringLiteral("Customers.Name, ShipTo.Company"));
        m_nSortColumn = 0;
        m_strKey = QStringLiteral("ShiptoNo");
        switch (item) {
        case 2: AddWhere(QStringLiteral("ShipTo.Type <> ") + number(kHidden)); break;
        case 3: case 4: case 5: AddWhere(QStringLiteral("ShipTo.Type = ") + number(item - 3)); break;
        case 6: m_strConditions = QStringLiteral("ShipTo.CusNo <> 31"); break;
        case 7: m_strConditions = QStringLiteral("ShipTo.CusNo = 31"); break;
        case 8:
            SetSelect(QStringLiteral(
                "Customers.Name as [BILL TO], ShipTo.Company as [SHIP TO], ShipTo.Address, ShipTo.City, "
                "ShipTo.State, ShipTo.Zip, Contacts.First, Contacts.Last, Contacts.Phone, Contacts.Fax, "
                "Contacts.Email, Contacts.Cell, Count(Jobs.JobNo) AS Jobs, SUM(Jobs.Subtotal+Jobs.Discount) AS "
                "NetSale, SUM(Jobs.Subtotal+Jobs.Discount-Jobs.Cost) AS Margin, MIN(Jobs.DateIn) AS [FirstOrder], "
                "MAX(Jobs.DateIn) AS [LastOrder], MIN((Date()-Jobs.DateIn)) AS [DaysInactive], Jobs.CusNo, "
                "ShipTo.ShiptoNo"));
            SetFrom(QStringLiteral(
                "((Jobs INNER JOIN ShipTo ON Jobs.ShiptoNo = ShipTo.ShiptoNo) LEFT JOIN Contacts ON Jobs.BuyerNo = "
                "Contacts.ContactNo) INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo"));
            SetGroupBy(QStringLiteral(
                "Customers.Name, ShipTo.Company, ShipTo.Address, ShipTo.City, ShipTo.State, ShipTo.Zip, "
                "Contacts.First, Contacts.Last, Contacts.Phone, Contacts.Fax, Contacts.Email, Contacts.Cell, "
                "Jobs.CusNo, ShipTo.ShiptoNo"));
            m_strConditions = QStringLiteral("(Jobs.JobType = 0 or Jobs.JobType = 3)");
            AddOrderBy(QStringLiteral("SUM(Jobs.Subtotal+Jobs.Discount) DESC"));
            m_nSortColumn = 14;
            break;
        case 9:
            SetFrom(QStringLiteral(
                "(ShipTo LEFT JOIN Jobs ON ShipTo.ShiptoNo = Jobs.ShiptoNo) INNER JOIN Customers ON ShipTo.CusNo = "
                "Customers.CusNo"));
            m_strConditions = QStringLiteral("(Jobs.ShiptoNo Is Null)");
            break;
        default: break;
        }
        // A filter on job fields lists each address once.
        if (filter.contains(QLatin1String("Jobs")) && !m_strFrom.contains(QLatin1String("Jobs"))) {
            SetSelect(QStringLiteral(
                "Customers.Name as [BILL TO], ShipTo.Company as [SHIP TO], ShipTo.Address, ShipTo.City, "
                "ShipTo.State, ShipTo.Zip, ShipTo.CusNo, ShipTo.ShiptoNo"));
            SetFrom(QStringLiteral(
                "(Customers INNER JOIN ShipTo ON Customers.CusNo = ShipTo.CusNo) LEFT JOIN Jobs ON "
                "Customers.CusNo = Jobs.CusNo"));
            SetGroupBy(QStringLiteral(
                "Customers.Name, ShipTo.Company, ShipTo.Address, ShipTo.City, ShipTo.State, ShipTo.Zip, "
                "ShipTo.CusNo, ShipTo.ShiptoNo"));
            AddOrderBy(QStringLiteral("Customers.Name, ShipTo.Company, ShipTo.Address"));
        }
        break;

    case CreditList:
        SetSelect(QStringLiteral(
            "DISTINCTROW Customers.Name as [Customer Name], Customers.CusNo, Format(Contacts.First & ' ' & "
            "Contacts.Last) as [Default Payer], Customers.CreditDue, Customers.CreditLimit"));
        SetFrom(QStringLiteral(
            "Jobs RIGHT JOIN (Contacts RIGHT JOIN Customers ON Contacts.ContactNo = Customers.PayerNo) ON "
            "Customers.CusNo = Jobs.CusNo"));
        AddOrderBy(QStringLiteral("Customers.Name"));
        break;

    default:
        break;
    }

    if (hideHidden && !m_strWhere.contains(QLatin1String("CusStatus")))
        AddWhere(QStringLiteral("Customers.CusStatus <> ") + number(kHidden));
}
