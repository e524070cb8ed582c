#include "SampleCheck.h"

#include "catalogue/StockRules.h"
#include "data/CJobSet.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

namespace {

// The rows a statement finds, each as its first column's text.
QStringList firstColumn(platform::Database &db, const QString &sql)
{
    QStringList out;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, sql);
    for (; !rs.isEOF(); rs.moveNext())
        out << rs.value(0).toString();
    return out;
}

struct CodeRule
{
    const char *what;
    const char *table;  // the rows that name a code, with their condition
    const char *field;
    const char *codeTable;
    const char *codeKey;
};

// Each code a row names and the table that must hold it.
const CodeRule kCodeRules[] = {
    {"category without its department", "ServiceCategories", "DepNo", "ServiceDepartments", "DepNo"},
    {"service without its category", "Services", "CatNo", "ServiceCategories", "CatNo"},
    {"service without its sales department", "Services", "SaleDept", "SalesDepartments", "[No]"},
    {"service without its vendor", "Services", "VendorNo", "Vendors", "[No]"},
    {"item without its service", "Items", "SerNo", "Services", "SerNo"},
    {"item without its vendor", "Items", "Vendor", "Vendors", "[No]"},
    {"payment without its payment type", "Payments", "PaidBy", "PaymentTypes", "[No]"},
    {"payment without its group", "Payments", "PayGroup", "PayGroups", "PayGroup"},
    {"job without its shipping method", "Jobs", "ViaDue", "ShipBy", "[No]"},
    {"job without its terms", "Jobs", "TermsNo", "Terms", "[No]"},
    {"job without its tax", "Jobs", "TaxNo", "Taxes", "[No]"},
    {"job without its service rep", "Jobs", "CSRNo", "Employees", "EmpNo"},
    {"job without its sales rep", "Jobs", "SRepNo", "Employees", "EmpNo"},
    {"customer without its terms", "Customers", "Terms", "Terms", "[No]"},
    {"customer without its tax", "Customers", "Tax", "Taxes", "[No]"},
    {"customer without its business type", "Customers", "Business", "BusinessTypes", "[No]"},
    {"customer without its source", "Customers", "Source", "CustomerSources", "[No]"},
    {"quick sale without its tax", "QuickSales", "TaxID", "Taxes", "[No]"},
};

} // namespace

QStringList CheckSampleShop(platform::Database &db)
{
    QStringList broken;
    auto failWhenAny = [&](const QString &rule, const QString &sql) {
        const QStringList found = firstColumn(db, sql);
        if (!found.isEmpty())
            broken << QStringLiteral("%1: %2").arg(rule, found.mid(0, 5).join(QStringLiteral(", ")));
    };

    for (const CodeRule &r : kCodeRules) {
        failWhenAny(QString::fromUtf8(r.what),
                    QStringLiteral("SELECT DISTINCT %1.%2 FROM %1 WHERE %1.%2 Is Not Null AND %1.%2 NOT IN "
                                   "(SELECT %4 FROM %3)")
                        .arg(QString::fromUtf8(r.table), QString::fromUtf8(r.field), QString::fromUtf8(r.codeTable),
                             QString::fromUtf8(r.codeKey)));
    }

    // Papers, presses and copiers sit in the departments of a new file named
    // for them; quick sales sell only what the counter sells.
    failWhenAny(QStringLiteral("category in another kind's department"),
                QStringLiteral("SELECT ServiceCategories.CatName FROM ServiceCategories INNER JOIN ServiceDepartments "
                               "ON ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE "
                               "(ServiceCategories.CatNo Between 101 And 199 AND ServiceDepartments.DepName <> 'Paper') "
                               "OR (ServiceCategories.CatNo Between 201 And 299 AND ServiceDepartments.DepName <> "
                               "'Printing') OR (ServiceCategories.CatNo Between 301 And 399 AND "
                               "ServiceDepartments.DepName <> 'Digital')"));
    failWhenAny(QStringLiteral("quick sale of a service not sold over the counter"),
                QStringLiteral("SELECT DISTINCT QuickSalesItems.SerNo FROM QuickSalesItems INNER JOIN Services ON "
                               "QuickSalesItems.SerNo = Services.SerNo WHERE Services.CatNo <> 999"));
    failWhenAny(QStringLiteral("no service sold over the counter"),
                QStringLiteral("SELECT 'none' FROM JobTypes WHERE JobType = 0 AND NOT EXISTS (SELECT SerNo FROM "
                               "Services WHERE CatNo = 999 AND SerStatus < 2)"));
    failWhenAny(QStringLiteral("shipping method the job window asks for"),
                QStringLiteral("SELECT DISTINCT Jobs.JobNo FROM Jobs INNER JOIN ShipBy ON Jobs.ViaDue = ShipBy.[No] "
                               "WHERE Jobs.JobType = 0 AND (ShipBy.Name = '?' OR ShipBy.Name = '')"));
    // Operators, service reps and sales reps are numbered in their own
    // hundreds (1-99, 101-199, 201 up), as Settings numbers new ones.
    failWhenAny(QStringLiteral("employee numbered outside its kind's hundred"),
                QStringLiteral("SELECT Name FROM Employees WHERE EmpNo > 0 AND (EmpNo <= Type * 100 OR "
                               "EmpNo >= Type * 100 + 100)"));
    failWhenAny(QStringLiteral("item without a price"),
                QStringLiteral("SELECT DISTINCT Jobs.JobNo FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
                               "WHERE Items.SerNo = 0 AND Items.Price <= 0"));

    // Every order keeps its status when the program saves it unchanged.
    {
        CJobSet job(&db);
        job.m_strFilter = QStringLiteral("JobType = 0");
        job.Open(CXDaoSet::dbOpenSnapshot);
        QStringList moved;
        for (; job.IsOpen() && !job.IsEOF(); job.MoveNext()) {
            const int stored = job.m_Status;
            if (job.UpdateAutoStatus(false) != stored)
                moved << QStringLiteral("%1 (%2 to %3)").arg(job.m_JobNo).arg(stored).arg(job.m_Status);
        }
        if (!moved.isEmpty())
            broken << QStringLiteral("order whose status a save changes: %1")
                          .arg(moved.mid(0, 5).join(QStringLiteral(", ")));
    }

    // The inventory's order list, with the options a new shop has, lists the
    // services of the orders in production (when the shop has any).
    try {
        const InventoryQuery query = BuildInventoryQuery(InventoryOrder, 0, 0, QString(), 11);
        const bool inProgress =
            !firstColumn(db, QStringLiteral("SELECT JobNo FROM Jobs WHERE JobType = 0 AND Status = 0")).isEmpty();
        if (inProgress && LoadStockRows(InventoryOrder, query).isEmpty())
            broken << QStringLiteral("inventory lists no services to order");
    } catch (const std::exception &e) {
        broken << QStringLiteral("inventory cannot be read: %1").arg(QString::fromUtf8(e.what()));
    }
    return broken;
}
