#include "reports/calc/AgingReport.h"

#include "app/base/TextUtil.h"
#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

namespace {

constexpr std::uint32_t kTitleRow = 20;
const QString kDot = QStringLiteral(" \u00b7 ");

// The contact lines; the key is bound, so each statement is prepared once.
const QString kContactBase = QStringLiteral("SELECT Contacts.First & ' ' & Contacts.Last & ' \u00b7 ' & Contacts.Phone & ' "
                                            "\u00b7 Fax ' & Contacts.Fax FROM Contacts INNER JOIN ");
const QString kBuyerSql = kContactBase + QStringLiteral("Jobs ON Contacts.ContactNo = Jobs.BuyerNo WHERE Jobs.JobNo = ?");
const QString kPayerSql = kContactBase + QStringLiteral("Customers ON Contacts.ContactNo = Customers.PayerNo WHERE Customers.CusNo = ?");

QString contactLine(platform::Recordset &set, const QString &sql, int key)
{
    try {
        set.open(platform::Recordset::Type::Snapshot, sql, {platform::Value(key)});
        if (set.isEOF())
            return QString();
        const platform::Value v = set.value(0);
        return v.isNull() ? QString() : v.toString();
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot open ") + sql);
        return QString();
    }
}

} // namespace

bool ReportAging(CReportRun &run)
{
    CXTable &t = run.table();
    run.LoadReportTable(run.code, CXTable::TotalsPerGroup, 2);

    // Empty buckets show nothing, in data, subtotal and total rows alike.
    t.ReplaceCellText(0, -1, 6, 10, QStringLiteral("0.00"), QString(), false);
    t.SetColumnCharWidth(1, 0);
    t.SetColumnFormat(0, 2085);
    t.SetColumnFormat(1, 2084);
    run.setNote(run.code == 2103
        ? QStringLiteral("Age = Today's Date - Date Shipped")
        : QStringLiteral("Age (if greater than zero, the invoice is past due) = Today's Date - Payment Due Date "));

    // The ship and due dates share their columns with the credits' empty
    // texts; they are shown as dates.
    for (int r = 0; r < t.GetRowCount(); ++r) {
        if (t.IsSpecialRow(r))
            continue;
        for (int c = 3; c <= 4; ++c) {
            bool serial = false;
            const double day = t.GetCellText(r, c).toDouble(&serial);
            if (serial && day > 0)
                t.SetCellText(r, c, DateTime(day).dateText());
        }
    }

    platform::Recordset set(run.database());
    QString customerName;
    for (int r = 0; r < t.GetRowCount(); ++r) {
        if (t.IsSpecialRow(r))
            continue;
        const QString name = t.GetCellText(r, 0);
        const QString number = t.GetCellText(r, 1);
        const bool walkIn = number == QString::number(kWalkInCustomer);
        if (name.isEmpty() && !walkIn)
            continue;
        if (!name.isEmpty())
            customerName = name;
        t.InsertRow(r, kTitleRow);
        ++r;
        t.SetCellText(r - 1, 0, number);
        t.SetCellText(r, 0, QString());
        t.SetCellText(r, 1, QString());
        QString contact;
        if (walkIn) {
            // A walk-in invoice names its buyer; a credit row has none.
            const int jobNo = ToInt(t.GetCellText(r, 2));
            if (jobNo > 0)
                contact = contactLine(set, kBuyerSql, jobNo);
        } else {
            contact = contactLine(set, kPayerSql, ToInt(number));
        }
        // The title goes in column 1; the chart and the printout skip the
        // hidden column, so it is shown in the empty invoice cell as well.
        t.SetCellText(r - 1, 1, customerName + kDot + contact);
        t.SetCellText(r - 1, 2, customerName + kDot + contact);
    }
    return true;
}
