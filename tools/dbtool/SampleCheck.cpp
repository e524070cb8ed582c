#include "SampleCheck.h"

#include "app/base/MoneyText.h"
#include "catalogue/StockRules.h"
#include "data/CJobSet.h"
#include "data/CPostSet.h"
#include "data/TaxAmounts.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QHash>

#include <map>
#include <memory>

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

// A stored amount, a missing one as 0.
Money amountOf(const platform::Value &v)
{
    return v.isNull() ? Money() : Money::fromUnits(v.toMoney().units());
}

// Orders and invoices whose Tax or Tax2 is not what the program's tax rule
// gives for their taxable items, discount, shipping and postage.
QStringList taxesOffTheRule(platform::Database &db)
{
    QHash<qint32, Money> taxableItems;
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT JobID, Sum(Price) FROM Items WHERE SerNo = 0 AND Bleed = 0 AND "
                               "(Price < -0.0001 OR Price > 0.0001) GROUP BY JobID"));
        for (; !rs.isEOF(); rs.moveNext())
            taxableItems.insert(rs.value(0).toInt(), amountOf(rs.value(1)));
    }
    QStringList off;
    const TaxRateLookup rates = TaxRatesReadOnce(&db);
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT JobID, JobNo, TaxNo, Subtotal, Discount, Shipping, Postage, Tax, Tax2 FROM Jobs "
                           "WHERE JobType = 0 OR JobType = 3 ORDER BY JobNo"));
    for (; !rs.isEOF(); rs.moveNext()) {
        Money taxable, tax, secondBase, secondTax;
        ComputeJobTaxes(taxableItems.value(rs.value(0).toInt()), amountOf(rs.value(3)), amountOf(rs.value(4)),
                        amountOf(rs.value(5)), amountOf(rs.value(6)), quint8(rs.value(2).toInt()), taxable, tax,
                        secondBase, secondTax, rates);
        if (tax.units() != amountOf(rs.value(7)).units() || secondTax.units() != amountOf(rs.value(8)).units())
            off << QStringLiteral("%1 (%2/%3, the rule gives %4/%5)")
                       .arg(rs.value(1).toInt())
                       .arg(FormatMoney(amountOf(rs.value(7))), FormatMoney(amountOf(rs.value(8))), FormatMoney(tax),
                            FormatMoney(secondTax));
    }
    return off;
}

// Journal rows whose sums of the posted invoices and quick sales are not the
// ones posting writes for the rows that carry their posting number.
QStringList journalsOffThePosting(platform::Database &db)
{
    std::map<int, std::unique_ptr<CPostSet>> sums;
    auto sumsOf = [&](int postingNo) -> CPostSet & {
        std::unique_ptr<CPostSet> &j = sums[postingNo];
        if (!j) {
            j = std::make_unique<CPostSet>(&db);
            j->ResetFields();
        }
        return *j;
    };
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT PostingNo, Cost, Subtotal, Discount, Shipping, Postage, Tax, Commission FROM Jobs "
                               "WHERE JobType = 3 AND PostingNo > 0"));
        CJobSet job(&db);
        for (; !rs.isEOF(); rs.moveNext()) {
            job.m_Cost = amountOf(rs.value(1));
            job.m_Subtotal = amountOf(rs.value(2));
            job.m_Discount = amountOf(rs.value(3));
            job.m_Shipping = amountOf(rs.value(4));
            job.m_Postage = amountOf(rs.value(5));
            job.m_Tax = amountOf(rs.value(6));
            job.m_Commission = amountOf(rs.value(7));
            sumsOf(rs.value(0).toInt()).AddInvoice(job, Money());
        }
    }
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT PostingNo, Subtotal, Tax FROM QuickSales WHERE PostingNo > 0"));
        for (; !rs.isEOF(); rs.moveNext())
            sumsOf(rs.value(0).toInt()).AddQuickSale(amountOf(rs.value(1)), amountOf(rs.value(2)));
    }
    QStringList off;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT PostingNo, Invoices, Cost, Subtotal, Discount, Shipping, Postage, Tax, Commission, "
                           "TaxableNetSale, QSales, QSaleSubtotal, QSaleTax, TaxableQSale FROM PostingJournal "
                           "ORDER BY PostingNo"));
    for (; !rs.isEOF(); rs.moveNext()) {
        const int postingNo = rs.value(0).toInt();
        const CPostSet &j = sumsOf(postingNo);
        const struct
        {
            const char *column;
            std::int64_t posted;
        } columns[] = {{"Invoices", j.m_Invoices},
                       {"Cost", j.m_Cost.units()},
                       {"Subtotal", j.m_Subtotal.units()},
                       {"Discount", j.m_Discount.units()},
                       {"Shipping", j.m_Shipping.units()},
                       {"Postage", j.m_Postage.units()},
                       {"Tax", j.m_Tax.units()},
                       {"Commission", j.m_Commission.units()},
                       {"TaxableNetSale", j.m_TaxableNetSale.units()},
                       {"QSales", j.m_QSales},
                       {"QSaleSubtotal", j.m_QSaleSubtotal.units()},
                       {"QSaleTax", j.m_QSaleTax.units()},
                       {"TaxableQSale", j.m_TaxableQSale.units()}};
        QStringList differ;
        for (int c = 0; c < int(std::size(columns)); ++c) {
            const bool count = c == 0 || c == 9;
            const std::int64_t stored = count ? rs.value(c + 1).toInt() : amountOf(rs.value(c + 1)).units();
            if (stored != columns[c].posted)
                differ << QString::fromLatin1(columns[c].column);
        }
        if (!differ.isEmpty())
            off << QStringLiteral("%1 (%2)").arg(postingNo).arg(differ.join(QStringLiteral(", ")));
    }
    return off;
}

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
    failWhenAny(QStringLiteral("difficulty table with empty cells"),
                QStringLiteral("SELECT SerNo FROM ServiceDiffTables WHERE PapR1C1 Is Null OR PapR19C4 Is Null OR "
                               "JobR1C0 Is Null OR JobR19C4 Is Null OR RunR1C1 Is Null OR RunR9C2 Is Null"));
    failWhenAny(QStringLiteral("category without its department's picture"),
                QStringLiteral("SELECT ServiceCategories.CatName FROM ServiceCategories INNER JOIN ServiceDepartments "
                               "ON ServiceCategories.DepNo = ServiceDepartments.DepNo WHERE ServiceCategories.CatNo > 0 AND "
                               "ServiceCategories.IconNo <> ServiceDepartments.IconNo + 48"));
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
    // A credit invoice's items are priced below zero, every other job's above.
    failWhenAny(QStringLiteral("item without a price"),
                QStringLiteral("SELECT DISTINCT Jobs.JobNo FROM Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID "
                               "WHERE Items.SerNo = 0 AND IIf(Jobs.Creator = 99, -Items.Price, Items.Price) <= 0"));

    // Taxes are the tax rule's, and each journal row holds what posting
    // writes for its invoices and quick sales.
    const QStringList taxes = taxesOffTheRule(db);
    if (!taxes.isEmpty())
        broken << QStringLiteral("job whose taxes are not the tax rule's: %1").arg(taxes.mid(0, 5).join(QStringLiteral(", ")));
    const QStringList journals = journalsOffThePosting(db);
    if (!journals.isEmpty())
        broken << QStringLiteral("posting journal row unlike what posting writes: %1")
                      .arg(journals.mid(0, 5).join(QStringLiteral(", ")));

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
