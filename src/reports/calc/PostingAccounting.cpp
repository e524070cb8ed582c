#include "reports/calc/PostingAccounting.h"

#include "controls/CXTable.h"
#include "data/DaoError.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CReportRun.h"
#include "reports/calc/ReportReading.h"

namespace {

constexpr int kName = 1, kAmount = 2;
constexpr std::uint32_t kTotal = CXTable::RowSpecial;

// Appends `rows` rows with the block's name in column 0 of the first;
// returns the first.
int appendBlock(CXTable &t, const QString &block, int rows)
{
    const int first = t.GetRowCount();
    t.SetCellTextGrow(block, rows, 0, 0);
    return first;
}

// Closes the block of rows first..end-1 with its total; returns the total.
Money closeBlock(CXTable &t, int first, const QString &label)
{
    const int at = t.GetRowCount();
    t.InsertTotalRow(first, at, label, kName, kTotal);
    return t.GetCellValue(at, kAmount);
}

// True when anything was posted in the period: a posting journal row.
bool postedInPeriod(const CReportRun &run)
{
    const QList<platform::Value> row =
        LookupRow(run.database(), QStringLiteral("SELECT Count(*) FROM PostingJournal WHERE (PostingDate") + run.thisPeriod
                  + QStringLiteral(") "));
    return !row.isEmpty() && row.first().toInt() > 0;
}

} // namespace

bool ReportPostingAccounting(CReportRun &run)
{
    CXTable &t = run.table();
    run.LoadReportTable(2009, CXTable::TotalsNone, 2);

    // 1-2. Sales Departments. A period with postings but no item sales (only
    //      quick sales or payments) still gets its accounting, the sales
    //      departments at 0.
    Money salesTotal;
    if (t.GetRowCount() > 0) {
        t.SetCellText(0, 0, QStringLiteral("Sales Departments"));
        salesTotal = closeBlock(t, 0, QStringLiteral("Sales Departments Total ->"));
    } else {
        if (!postedInPeriod(run)) {
            t.SetSize(0, 0);
            return true;
        }
        t.SetSize(0, 3);
        t.SetColumnName(0, QStringLiteral("Type"), 12, 10);
        t.SetColumnName(1, QStringLiteral("Account"), 48, 10);
        t.SetCurrencyColumn(2, QStringLiteral("Amount"));
        t.AddRow(kTotal);
        t.SetCellText(0, 0, QStringLiteral("Sales Departments"));
        t.SetCellText(0, kName, QStringLiteral("Sales Departments Total ->"));
        t.SetCellCurrency(0, kAmount, Money());
    }

    // 3. General Accounts: discounts, shipping, postage, tax, then late fees
    //    and write-offs from the audit trail.
    int first = appendBlock(t, QStringLiteral("General Accounts"), 6);
    t.LoadQuery(run.BuildSql(2914), first, kName, kAmount, -1);
    t.LoadQuery(run.BuildSql(2924), first + 4, kName, kAmount, -1);
    const Money discounts = t.GetCellValue(first, kAmount);
    const Money generalTotal = closeBlock(t, first, QStringLiteral("General Accounts Total ->"));

    // 4. Quick Sales by department, then their tax.
    first = t.GetRowCount();
    Money quickItems;
    int quickRows = 0;
    try {
        platform::Recordset set(run.database());
        set.open(platform::Recordset::Type::Snapshot, run.BuildSql(2915));
        for (; !set.isEOF(); set.moveNext()) {
            const platform::Value kind = set.value(0);
            const Money amount = MoneyOf(set.value(2));
            const bool department = !kind.isNull() && kind.toString() == QLatin1String("0");
            if (department)
                quickItems += amount;
            const int r = t.AddRow(0);
            const platform::Value name = set.value(1);
            t.SetCellText(r, kName, name.isNull() ? QString() : name.toString());
            t.SetCellCurrency(r, kAmount, amount);
            ++quickRows;
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot open the quick sales of the period"));
    }
    if (quickRows > 0) {
        t.SetCellText(first, 0, QStringLiteral("Quick Sales"));
    } else {
        appendBlock(t, QStringLiteral("Quick Sales"), 2);
        t.SetCellText(first, kName, QStringLiteral("Quick Sales"));
        t.SetCellText(first + 1, kName, QStringLiteral("Quick Sales Tax"));
        t.ReplaceCellText(first, first + 1, kAmount, kAmount, QString(), QStringLiteral("0.00"), false);
    }
    const Money quickTotal = closeBlock(t, first, QStringLiteral("Quick Sales Total ->"));

    // 5. Payments Received.
    first = appendBlock(t, QStringLiteral("Payments Received"), 3);
    t.LoadQuery(run.BuildSql(2916), first, kName, kAmount, -1);
    closeBlock(t, first, QStringLiteral("Payments Total ->"));

    // 6. Adjustments: deposits and credits.
    first = appendBlock(t, QStringLiteral("Adjustments"), 4);
    t.LoadQuery(run.BuildSql(2917), first, kName, kAmount, -1);
    t.LoadQuery(run.BuildSql(2918), first + 1, kName, kAmount, -1);
    t.LoadQuery(run.BuildSql(2919), first + 2, kName, kAmount, -1);
    closeBlock(t, first, QStringLiteral("Adjustments Total ->"));

    // 7. Posting Summary, tied to the posting summary report.
    const Money p2920 = LookupMoney(run.database(), run.BuildSql(2920));
    const Money p2921 = LookupMoney(run.database(), run.BuildSql(2921));
    const Money p2922 = LookupMoney(run.database(), run.BuildSql(2922));
    const Money p2923 = LookupMoney(run.database(), run.BuildSql(2923));
    first = appendBlock(t, QStringLiteral("Posting Summary"), 7);
    const struct
    {
        const char *label;
        bool hasAmount;
        Money amount;
    } summary[7] = {
        {"Total Net Sales = Sales Departments Total - Discounts + Quick Sales", true, salesTotal + discounts + quickItems},
        {"Total of Posted Invoices = Sales Departments + General Accounts + Quick Sales", true,
         salesTotal + generalTotal + quickTotal},
        {"Values from Posting Summary Report:", false, Money()},
        {"       From Paid row, As Posted column + Quick Sales column", true, p2921 - quickTotal},
        {"       From Paid row, As of Now column + Quick Sales column", true, p2922 - quickTotal},
        {"       From Paid row, Total column   (amount paid for Posted Invoices and Quick Sales)", true,
         p2922 + p2923 - quickTotal},
        {"       From BALANCE row, As Posted column   (balance of Posted Invoices as posted)", true, p2920},
    };
    for (int i = 0; i < 7; ++i) {
        t.SetCellText(first + i, kName, QString::fromUtf8(summary[i].label));
        if (summary[i].hasAmount)
            t.SetCellCurrency(first + i, kAmount, summary[i].amount);
    }

    // 8. A closing empty row.
    t.AddRow(kTotal);
    return true;
}
