#include "reports/calc/DailyRegister.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "controls/CXTable.h"
#include "reports/ReportSql.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

namespace {

constexpr std::uint32_t kTitleRow = 20;
constexpr std::uint32_t kHeadingRow = 3;

QString groupName(int kind)
{
    switch (kind) {
    case 1: return QStringLiteral("Jobs Received");
    case 2: return QStringLiteral("Payments Received");
    case 3: return QStringLiteral("Credit Transactions");
    case 4: return QStringLiteral("Open Invoices");
    default: return QString();
    }
}

QStringList headings(int kind)
{
    switch (kind) {
    case 1:
        return {QString(), QStringLiteral("Date Received"), QStringLiteral("Job #"), QStringLiteral("Title"),
                QStringLiteral("Ordered By"), QStringLiteral("Phone"), QStringLiteral("Prepared By"),
                QStringLiteral("Job Total")};
    case 2:
        return {QString(), QStringLiteral("Payment Date"), QString(), QStringLiteral("Applied To"),
                QStringLiteral("Paid By"), QStringLiteral("Reference"), QStringLiteral("Group"), QStringLiteral("Amount")};
    case 3:
        return {QString(), QStringLiteral("Credit Date"), QStringLiteral("Job #"), QStringLiteral("Reason"), QString(),
                QString(), QString(), QStringLiteral("Amount")};
    case 4:
        return {QString(), QStringLiteral("Date Shipped"), QStringLiteral("Job #"), QStringLiteral("Title"),
                QStringLiteral("Payment Due"), QStringLiteral("Invoice Total"), QStringLiteral("Amount Paid"),
                QStringLiteral("Balance")};
    default:
        return {};
    }
}

// A cell that a union of texts and amounts may have left as either.
Money cellMoney(const CXTable &t, int row, int column)
{
    const Money amount = t.GetCellValue(row, column);
    if (!amount.isZero())
        return amount;
    return MoneyOf(platform::Value(t.GetCellText(row, column)));
}

// The one customer a filter names some other way than by number (the find
// window's name, ID, payer or job fields): its number; empty when the filter
// finds no customer or several.
QString soleCustomerOf(platform::Database &db, const QString &filter)
{
    if (filter.trimmed().isEmpty())
        return QString();
    try {
        platform::Recordset set(db);
        set.open(platform::Recordset::Type::Snapshot,
                 QStringLiteral("SELECT Min(Customers.CusNo), Max(Customers.CusNo) FROM (Customers LEFT JOIN Contacts ON "
                                "Customers.PayerNo = Contacts.ContactNo) LEFT JOIN Jobs ON Customers.CusNo = Jobs.CusNo "
                                "WHERE ")
                     + filter);
        if (set.isEOF() || set.value(0).isNull() || set.value(0).toInt() != set.value(1).toInt())
            return QString();
        return QString::number(set.value(0).toInt());
    } catch (const platform::DbException &) {
        return QString(); // a filter of other tables names no customer
    }
}

} // namespace

bool ReportDailyRegister(CReportRun &run)
{
    CXTable &t = run.table();
    if (CustomerNoFromFilter(run.filter).isEmpty()) {
        const QString sole = soleCustomerOf(run.database(), run.filter);
        if (!sole.isEmpty())
            run.filter = QStringLiteral(" (Customers.CusNo = %1) ").arg(sole);
    }
    run.LoadReportTable(2603, CXTable::TotalsNone, 2);
    // No customer in the filter, or nothing in the period: no register.
    if (t.GetRowCount() == 0 || t.GetColumnCount() < 8)
        return true;

    static constexpr int kWidths[8] = {0, 14, 10, 50, 12, 12, 15, 13};
    static constexpr int kTypes[8] = {10, 10, 7, 10, 10, 10, 10, 5};
    for (int c = 0; c < 7; ++c)
        t.SetColumnName(c, QString(), kWidths[c], kTypes[c]);
    t.SetCurrencyColumn(7, QString());
    t.SetColumnCharWidth(0, 0);

    const QString period = PeriodText(run.thisPeriod);
    const QString customer = CustomerNoFromFilter(run.filter);
    int currentKind = t.GetCellLong(0, 0);
    int groupFirst = 0;
    QString name;
    const auto closeGroup = [&](int at) {
        const int rows = at - groupFirst - 1;
        t.InsertTotalRow(groupFirst, at, name + QStringLiteral(" (") + QString::number(rows) + QStringLiteral(") Totals-->"), 3,
                         kHeadingRow);
    };
    for (int r = 0; r < t.GetRowCount();) {
        const int kind = t.GetCellLong(r, 0);
        if (kind == currentKind && r != 0) {
            ++r;
            continue;
        }
        if (r != 0) {
            closeGroup(r);
            currentKind = kind;
            ++r;
        }
        name = groupName(kind);
        QString title;
        switch (kind) {
        case 1: title = QStringLiteral("Jobs Receieved") + period; break;
        case 2: title = QStringLiteral("Payments Receieved") + period; break;
        case 3: {
            // The credit balance of the register's own customer.
            const Money balance = customer.isEmpty()
                ? Money()
                : LookupMoney(run.database(), QStringLiteral("SELECT Customers.CreditDue From Customers Where ((Customers.CusNo) = %1)")
                                  .arg(customer));
            title = QStringLiteral("Credit Transactions") + period + QStringLiteral(" | Current Credit Balance: ")
                + FormatCurrencyRounded(balance);
            break;
        }
        case 4: title = QStringLiteral("Open Invoices as of ") + RunNowText(run); break;
        default: break;
        }
        t.InsertRow(r, kTitleRow);
        t.SetCellText(r, 1, title);
        ++r;
        t.InsertRow(r, kHeadingRow);
        const QStringList texts = headings(kind);
        for (int c = 0; c < texts.size(); ++c)
            t.SetCellText(r, c, texts[c]);
        groupFirst = r;
        ++r;
    }
    closeGroup(t.GetRowCount());

    // The open invoices' totals and payments as money, and their due dates
    // as dates (the column holds texts of the other groups).
    for (int r = 0; r < t.GetRowCount(); ++r) {
        if (t.IsSpecialRow(r) || t.GetCellLong(r, 0) != 4)
            continue;
        bool serial = false;
        const double due = t.GetCellText(r, 4).toDouble(&serial);
        if (serial && due > 0)
            t.SetCellText(r, 4, DateTime(due).dateText());
        t.SetCellCurrency(r, 5, cellMoney(t, r, 5));
        t.SetCellCurrency(r, 6, cellMoney(t, r, 6));
    }
    return true;
}
