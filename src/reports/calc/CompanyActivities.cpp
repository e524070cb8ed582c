#include "reports/calc/CompanyActivities.h"

#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/MoneyLines.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

#include <QtCore/QStringList>

#include <algorithm>
#include <vector>

namespace {

constexpr std::uint32_t kHeading = CXTable::RowSpecial; // 1
constexpr std::uint32_t kBlockTotal = 4;

struct ActivityRow
{
    int kind = 0;
    QString first;
    QString second;
    std::int32_t count = 0;
    Money amount;
};

struct Block
{
    QStringList heading;
    QString label;      // column 0 of the block's first data row
    QString totalLabel; // column 1 of its total row
};

Block blockOf(int kind)
{
    switch (kind) {
    case 1:
        return {{QStringLiteral("Sales Breakdown by Department"), QStringLiteral("Department"), QStringLiteral("Count"),
                 QStringLiteral("Net Sale Amount")},
                QStringLiteral("Posted Sales"),
                QStringLiteral("Sales Department Totals -->")};
    case 2:
        return {{QStringLiteral("General Accounts"), QStringLiteral("Account"), QStringLiteral("Count"), QStringLiteral("Amount")},
                QStringLiteral("General Accounts Posted Amounts"),
                QStringLiteral("General Accounts Totals -->")};
    case 3:
        return {{QStringLiteral("Payment Summary"), QStringLiteral("Group"), QStringLiteral("Count"), QStringLiteral("Amount")},
                QStringLiteral("Posted Payments"),
                QStringLiteral("Payment Totals -->")};
    case 4:
        return {{QStringLiteral("Fully Paid Invoices and Quick Sales Summary"), QStringLiteral("Type"), QStringLiteral("Count"),
                 QStringLiteral("Net Sales - Write Off")},
                QStringLiteral("Fully Paid"),
                QStringLiteral("Fully Paid Invoices and Quick Sales Totals -->")};
    case 5:
        return {{QStringLiteral("Jobs Received"), QString(), QStringLiteral("Count"), QStringLiteral("Net Sale Amount")},
                QStringLiteral("Jobs Received"),
                QString()};
    default:
        return {};
    }
}

QString textOf(const platform::Value &v)
{
    return v.isNull() ? QString() : v.toString();
}

} // namespace

bool ReportCompanyActivities(CReportRun &run)
{
    CXTable &t = run.table();
    t.SetSize(0, 4);
    t.InsertRow(0, 3);
    t.SetColumnName(0, QString(), 30, 10);
    t.SetColumnName(1, QString(), 40, 10);
    t.SetColumnName(2, QString(), 10, 4);
    t.SetColumnName(3, QString(), 10, 5);
    t.SetCellText(0, 0, QStringLiteral("Company"));
    t.SetCellText(0, 1, QStringLiteral("Address"));

    std::vector<ActivityRow> rows;
    try {
        platform::Recordset set(run.database());
        set.open(platform::Recordset::Type::Snapshot, run.BuildSql(2601));
        for (; !set.isEOF(); set.moveNext()) {
            rows.push_back({set.value(0).toInt(), textOf(set.value(1)), textOf(set.value(2)), set.value(3).toInt(),
                            MoneyOf(set.value(4))});
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot open the activities of the period"));
        return true;
    }
    if (rows.empty())
        return true;

    int next = 1;
    int expected = 0;
    int blockFirst = 0;
    for (size_t i = 0; i < rows.size();) {
        const ActivityRow &row = rows[i];
        if (row.kind == 0) {
            // The shop's own line: name and address, no count, no amount.
            t.InsertRow(next, 0);
            t.SetCellText(next, 0, row.first);
            t.SetCellText(next, 1, row.second);
            t.SetCellLong(next, 2, row.count);
            t.SetCellCurrency(next, 3, row.amount);
            t.ReplaceCellText(0, next, 0, 3, QStringLiteral("0"), QString(), false);
            t.ReplaceCellText(0, next, 0, 3, QStringLiteral("0.00"), QString(), false);
            ++next;
            expected = std::max(expected, 1);
            ++i;
            continue;
        }
        if (row.kind < 1 || row.kind > 5) {
            ++i;
            continue;
        }
        const Block block = blockOf(row.kind);
        // A kind not seen before opens its block (a kind with no rows in the
        // period is left out, and a shop without its own line still gets
        // its first heading).
        if (row.kind >= expected) {
            t.InsertRow(next, kHeading);
            for (int c = 0; c < 4; ++c)
                t.SetCellText(next, c, block.heading[c]);
            ++next;
            if (row.kind != 5)
                blockFirst = next;
            expected = row.kind + 1;
        }
        t.InsertRow(next, 0);
        if (row.kind == 5) {
            t.SetCellText(next, 0, block.label);
            t.SetCellText(next, 1, QString(row.second).remove(QLatin1Char('#')));
        } else {
            t.SetCellText(next, 1, row.second);
        }
        t.SetCellLong(next, 2, row.count);
        t.SetCellCurrency(next, 3, row.amount);
        ++next;
        ++i;
        if (row.kind == 5)
            continue;
        const bool more = i < rows.size();
        if (more && rows[i].kind < expected)
            continue;
        // The block ends: its label, its total. A department's share of its
        // jobs' discounts holds fractions of a cent; its line shows whole
        // cents, and the lines must add up to the block's total on paper.
        std::vector<Money> lines;
        for (int r = blockFirst; r < next; ++r)
            lines.push_back(t.GetCellValue(r, 3));
        lines = LinesInCentsKeepingTotal(lines);
        for (int r = blockFirst; r < next; ++r)
            t.SetCellCurrency(r, 3, lines[size_t(r - blockFirst)]);
        t.SetCellText(blockFirst, 0, block.label);
        t.InsertTotalRow(blockFirst, next, block.totalLabel, 1, kBlockTotal);
        ++next;
        if (row.kind == 3 && blockFirst >= 2
            && t.GetCellText(blockFirst - 2, 1) == QLatin1String("General Accounts Totals -->")) {
            const Money difference = t.GetCellValue(next - 1, 3) - t.GetCellValue(blockFirst - 2, 3);
            t.InsertRow(next, kBlockTotal);
            t.SetCellText(next, 1, QStringLiteral("Payment Totals minus General Accounts Totals -->"));
            t.SetCellCurrency(next, 3, difference);
            ++next;
        }
        if (more)
            expected = rows[i].kind;
    }
    t.AddRow(0);
    return true;
}
