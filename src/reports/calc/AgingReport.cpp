#include "reports/calc/AgingReport.h"

#include "app/base/TextUtil.h"
#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

#include <QtCore/QHash>

#include <vector>

namespace {

constexpr std::uint32_t kTitleRow = 20;
constexpr int kDateColumnWidth = 14; // characters
const QString kDot = QStringLiteral(" \u00b7 ");

// The contact lines, each read once for the whole report: the payer of every
// customer, and the buyer of every open walk-in invoice.
const QString kContactLine = QStringLiteral("Contacts.First & ' ' & Contacts.Last & ' \u00b7 ' & Contacts.Phone & ' \u00b7 Fax ' & "
                                            "Contacts.Fax");
const QString kPayerSql = QStringLiteral("SELECT Customers.CusNo, ") + kContactLine
    + QStringLiteral(" FROM Contacts INNER JOIN Customers ON Contacts.ContactNo = Customers.PayerNo");
const QString kBuyerSql = QStringLiteral("SELECT Jobs.JobNo, ") + kContactLine
    + QStringLiteral(" FROM Contacts INNER JOIN Jobs ON Contacts.ContactNo = Jobs.BuyerNo WHERE Jobs.CusNo = ? AND "
                     "Jobs.JobType = 3 AND Jobs.Balance > 0.0001");

// Key -> contact line of the statement's rows; the first row of a key wins.
QHash<int, QString> contactLines(platform::Database &db, const QString &sql, const QList<platform::Value> &parameters)
{
    QHash<int, QString> lines;
    try {
        platform::Recordset set(db);
        set.open(platform::Recordset::Type::Snapshot, sql, parameters);
        for (; !set.isEOF(); set.moveNext()) {
            const int key = set.value(0).toInt();
            if (!lines.contains(key)) {
                const platform::Value v = set.value(1);
                lines.insert(key, v.isNull() ? QString() : v.toString());
            }
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot read the contacts to call about payment"));
    }
    return lines;
}

} // namespace

bool ReportAging(CReportRun &run)
{
    CXTable &t = run.table();
    run.LoadReportTable(run.code, CXTable::TotalsPerGroup, 2);

    // Empty buckets show nothing, in data, subtotal and total rows alike
    // (a zero amount is the only one whose text can be "0.00").
    for (int r = 0; r < t.GetRowCount(); ++r) {
        for (int c = 6; c <= 10; ++c) {
            if (t.GetCellValue(r, c).isZero() && t.GetCellText(r, c) == QLatin1String("0.00"))
                t.SetCellText(r, c, QString());
        }
    }
    t.SetColumnCharWidth(1, 0);
    // The ship and due dates get room for a whole date between the cell's
    // margins on a printed page as well as on the screen.
    t.SetColumnCharWidth(3, kDateColumnWidth);
    t.SetColumnCharWidth(4, kDateColumnWidth);
    t.SetColumnFormat(0, 2085);
    t.SetColumnFormat(1, 2084);
    run.setNote(run.code == 2103
        ? QStringLiteral("Age = Today's Date - Date Shipped")
        : QStringLiteral("Age (if greater than zero, the invoice is past due) = Today's Date - Payment Due Date "));

    // The ship and due dates share their columns with the credits' empty
    // texts; they are shown as dates.
    QHash<QString, QString> dates;
    for (int r = 0; r < t.GetRowCount(); ++r) {
        if (t.IsSpecialRow(r))
            continue;
        for (int c = 3; c <= 4; ++c) {
            const QString text = t.GetCellText(r, c);
            auto known = dates.constFind(text);
            if (known == dates.constEnd()) {
                bool serial = false;
                const double day = text.toDouble(&serial);
                known = dates.insert(text, serial && day > 0 ? DateTime(day).dateText() : text);
            }
            if (*known != text)
                t.SetCellText(r, c, *known);
        }
    }

    // The title rows: above each customer's first row, and above every row
    // of the walk-in customer (each invoice names its own buyer; a credit
    // has none). Found first, then inserted in one pass.
    struct Title
    {
        int before;
        QString number;
        QString text;
    };
    std::vector<Title> titles;
    QHash<int, QString> payers;
    QHash<int, QString> buyers;
    bool payersRead = false, buyersRead = false;
    QString customerName;
    QString customerNumber;
    for (int r = 0; r < t.GetRowCount(); ++r) {
        if (t.IsSpecialRow(r))
            continue;
        // The customers are grouped by number under their names: a group's
        // first row names its customer, the rows after it belong to it
        // (and show its number again in the hidden column).
        const QString name = t.GetCellText(r, 0);
        const QString number = t.GetCellText(r, 1);
        const bool first = t.GetRowFlags(r) & CXTable::RowGroupStart;
        if (first) {
            customerName = name;
            customerNumber = number;
        } else if (number.isEmpty()) {
            t.SetCellText(r, 1, customerNumber);
        }
        const bool walkIn = customerNumber == QString::number(kWalkInCustomer);
        if (!first && !walkIn)
            continue;
        QString contact;
        if (walkIn) {
            const int jobNo = ToInt(t.GetCellText(r, 2));
            if (jobNo > 0) {
                if (!buyersRead) {
                    buyers = contactLines(run.database(), kBuyerSql, {platform::Value(kWalkInCustomer)});
                    buyersRead = true;
                }
                contact = buyers.value(jobNo);
            }
        } else {
            if (!payersRead) {
                payers = contactLines(run.database(), kPayerSql, {});
                payersRead = true;
            }
            contact = payers.value(ToInt(customerNumber));
        }
        // A customer with no one to call shows its name alone.
        titles.push_back({r, customerNumber, contact.isEmpty() ? customerName : customerName + kDot + contact});
    }
    std::vector<int> before;
    before.reserve(titles.size());
    for (const Title &title : titles)
        before.push_back(title.before);
    t.InsertRowsBefore(before, kTitleRow);
    for (size_t i = 0; i < titles.size(); ++i) {
        // The i titles in front of it moved each row down by i.
        const int title = titles[i].before + int(i);
        t.SetCellText(title, 0, titles[i].number);
        // The title goes in column 1: a caption row shows it after the
        // number, though the column is hidden in the other rows.
        t.SetCellText(title, 1, titles[i].text);
        t.SetCellText(title + 1, 0, QString());
        t.SetCellText(title + 1, 1, QString());
    }
    return true;
}
