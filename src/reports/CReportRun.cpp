#include "reports/CReportRun.h"

#include "app/base/MoneyText.h"
#include "controls/CXTable.h"
#include "platform/Clock.h"
#include "platform/Money.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/ReportSql.h"

#include <map>

const QString CReportRun::kNoDataText =
    QStringLiteral("There's no data for this report. Please select a different report or change the date range.");
const QString CReportRun::kNotReadyText = QStringLiteral("This report is not ready yet!");

namespace {

std::map<int, ReportRenderer> &renderers()
{
    static std::map<int, ReportRenderer> table;
    return table;
}

ReportStep &taxColumnsStep()
{
    static ReportStep step;
    return step;
}

QString WithoutHashes(QString text)
{
    return text.remove(QLatin1Char('#'));
}

} // namespace

void RegisterReportRenderer(int code, ReportRenderer renderer)
{
    if (renderer)
        renderers()[code] = std::move(renderer);
    else
        renderers().erase(code);
}

ReportRenderer FindReportRenderer(int code)
{
    const auto found = renderers().find(code);
    return found == renderers().end() ? ReportRenderer() : found->second;
}

void RegisterTaxColumnsStep(ReportStep step)
{
    taxColumnsStep() = std::move(step);
}

ReportStep FindTaxColumnsStep()
{
    return taxColumnsStep();
}

CReportRun::CReportRun(platform::Database &database, CXTable &table) : m_database(database), m_table(table) {}

CReportRun::~CReportRun() = default;

QString CReportRun::title() const { return m_table.m_title; }
void CReportRun::setTitle(const QString &text) { m_table.m_title = text; }
QString CReportRun::subtitle() const { return m_table.m_subtitle; }
void CReportRun::setSubtitle(const QString &text) { m_table.m_subtitle = text; }
QString CReportRun::filterLine() const { return m_table.m_filterText; }
void CReportRun::setFilterLine(const QString &text) { m_table.m_filterText = text; }
QString CReportRun::note() const { return m_table.m_headingText; }
void CReportRun::setNote(const QString &text) { m_table.m_headingText = text; }
void CReportRun::appendNote(const QString &text) { m_table.m_headingText += text; }
QString CReportRun::noDataText() const { return m_table.m_note; }
void CReportRun::setNoDataText(const QString &text) { m_table.m_note = text; }

QString CReportRun::AsOfText() const
{
    return now.format(QStringLiteral("As of %A, %B %d, %Y at %H:%M"));
}

bool CReportRun::Progress(int done, int total, const QString &text)
{
    if (m_cancelled)
        return false;
    if (progressHook && !progressHook(done, total, text))
        m_cancelled = true;
    return !m_cancelled;
}

void CReportRun::Message(const QString &text)
{
    if (messageHook)
        messageHook(text);
    else
        platform::Prompt::messageBox(text);
}

QString CReportRun::BuildSql(int reportCode) const
{
    const QString sql = BuildReportSqlText(reportCode, thisPeriod, lastPeriod, filter, twoTaxes);
    if (sqlHook)
        sqlHook(sql);
    return sql;
}

int CReportRun::CountChartEntries(const CXTable &table)
{
    if (table.GetRowCount() == 0 || !table.IsValidColumn(table.m_tColumn) || !table.IsValidColumn(table.m_pColumn))
        return 0;
    const bool grouped = table.m_totalMode == CXTable::TotalsPerGroup && table.m_tColumn == 0;
    const int grandTotal = table.m_totalMode > CXTable::TotalsSeparated ? table.GetTotalRowIndex() : -1;
    int entries = 0;
    for (int row = 0; row < table.GetRowCount(); ++row) {
        if (!table.IsSpecialRow(row) || (grouped && row != grandTotal))
            ++entries;
    }
    return entries;
}

void CReportRun::LoadReportTable(int reportCode, int totalMode, int option)
{
    const QString sql = BuildSql(reportCode);
    m_table.LoadQueryWithProgress(sql, totalMode, option, QString());
    const int reportBranch = reportCode / 100;
    if (reportBranch == 22) {
        if (reportCode >= 2204)
            appendNote(QStringLiteral("(Quick Sales not included)"));
        else if (reportCode == 2202)
            appendNote(GetCopierPaperNote());
    } else if (reportBranch == 23) {
        QString text = QStringLiteral("This Period:%1  Last Period:%2   (Quick Sales not included)").arg(thisPeriod, lastPeriod);
        text.remove(QLatin1Char('#'));
        text.remove(QStringLiteral("between"));
        text.replace(QStringLiteral("and"), QStringLiteral("-"));
        setNote(text);
    }
}

QString CReportRun::GetCopierPaperNote()
{
    const QString itemsSql = BuildSql(2913);
    if (itemsSql.trimmed().isEmpty())
        return QString();
    Money costTotal, priceTotal;
    int items = 0;
    try {
        platform::Recordset rows(m_database);
        rows.open(platform::Recordset::Type::Snapshot, itemsSql);
        for (; !rows.isEOF(); rows.moveNext()) {
            const int jobId = rows.value(QStringLiteral("JobID")).toInt();
            const int itemNo = rows.value(QStringLiteral("ItemNo")).toInt() & 0xFF;
            const Money subtotal = rows.value(QStringLiteral("Subtotal")).toMoney();
            const Money discount = rows.value(QStringLiteral("Discount")).toMoney();
            Money cost, price;
            try {
                platform::Recordset paper(m_database);
                paper.open(platform::Recordset::Type::Snapshot,
                           QStringLiteral("SELECT Items.Cost, Items.Price FROM ServiceCategories INNER JOIN (Items INNER JOIN "
                                          "Services ON Items.SerNo = Services.SerNo) ON ServiceCategories.CatNo = "
                                          "Services.CatNo WHERE JobID = %1 AND ItemNo = %2 AND (Services.CatNo Between 101 "
                                          "AND 200) ")
                               .arg(jobId)
                               .arg(itemNo));
                if (paper.isEOF())
                    continue;
                cost = paper.value(0).toMoney();
                price = paper.value(1).toMoney();
            } catch (const platform::DbException &) {
                continue; // a paper query that fails counts as one without rows
            }
            // The job's discount is spread over the paper price in proportion
            // to the job's subtotal; a job without a subtotal has nothing to
            // spread it over, so its paper keeps the price as entered.
            if (!discount.isZero() && !subtotal.isZero()) {
                const __int128 share = __int128(price.units()) * discount.units() / subtotal.units();
                price = Money::fromUnits(price.units() + std::int64_t(share));
            }
            costTotal = Money::fromUnits(costTotal.units() + cost.units());
            priceTotal = Money::fromUnits(priceTotal.units() + price.units());
            ++items;
        }
    } catch (const platform::DbException &) {
        // An empty or failed item query gives no note; the items counted so far are dropped too.
        return QString();
    }
    if (items == 0)
        return QString();
    const Money margin = Money::fromUnits(priceTotal.units() - costTotal.units());
    return QStringLiteral("NOTE: 'Paper Department' sales include all papers entered in 'Printing Specs' window. Part of "
                          "these paper sales was for 'Copy' jobs.\nYou have used copiers in 'Printing Specs' window for "
                          "%1 Item(s)  Cost of papers used with these copiers: %2    Discounted Price: %3   Margin: %4")
        .arg(items)
        .arg(GroupThousands(FormatCurrency(costTotal, 2)), GroupThousands(FormatCurrency(priceTotal, 2)),
             GroupThousands(FormatCurrency(margin, 2)));
}

bool CReportRun::dispatchBuiltIn()
{
    const int c = code;
    switch (c) {
    case 2002:
    case 2301:
    case 2302:
        LoadReportTable(c, 4, 2);
        m_table.SetColumnFormat(0, 2085);
        return true;
    case 2003:
    case 2005:
        LoadReportTable(c, 4, 2);
        if (twoTaxes) {
            if (taxColumnsStep())
                taxColumnsStep()(*this);
            else
                Message(QStringLiteral("The two tax columns of this report are not available yet."));
        }
        return true;
    case 2004:
    case 2007:
    case 2102:
    case 2202:
    case 2203:
    case 2209:
    case 2210:
    case 2303:
    case 2402:
        LoadReportTable(c, 4, 2);
        return true;
    case 2006:
        LoadReportTable(c, 4, 2);
        setNote(QStringLiteral("This report does not include the payments that were entered after the last posting"));
        return true;
    case 2008:
        LoadReportTable(c, 2, 2);
        setFilterLine(QString());
        setNote(WithoutHashes(QStringLiteral("Report Includes: Invoices posted before the selected time period and changed")
                              + thisPeriod + QStringLiteral("as recorded in the Audit Trail.")));
        return true;
    case 2105:
    case 2106:
    case 2204:
    case 2206:
    case 2207:
    case 2208:
    case 2309:
    case 2310:
    case 2401:
        LoadReportTable(c, 2, 2);
        return true;
    case 2107:
        LoadReportTable(c, 4, 2);
        setNote(WithoutHashes(QStringLiteral("This report includes Quick Sales and Invoices fully paid") + thisPeriod));
        return true;
    case 2201:
        LoadReportTable(c, 4, 2);
        m_table.SetColumnFormat(0, 2085);
        m_table.SetColumnCharWidth(0, 5);
        return true;
    case 2205:
        LoadReportTable(c, 3, 2);
        m_table.SetRankColumn(6, 10, false);
        return true;
    case 2211:
        LoadReportTable(c, 4, 2);
        setSubtitle(AsOfText());
        setFilterLine(QString());
        appendNote(QStringLiteral("This report includes Orders and History Jobs by Date-In"));
        return true;
    case 2304:
    case 2306:
    case 2307:
    case 2308:
        LoadReportTable(c, 2, 2);
        m_table.SetRankColumns(1, 2, 5, 6, 7);
        return true;
    case 2305:
        LoadReportTable(c, 3, 2);
        m_table.SetRankColumns(1, 2, 5, 6, 7);
        return true;
    case 2311: {
        LoadReportTable(c, 4, 2);
        const int last = m_table.GetRowCount() - 1;
        m_table.SetRunningSubtotals(0, last, 2, 4);
        m_table.SetRunningSubtotals(0, last, 3, 5);
        m_table.SetDifferenceColumn(0, last, 4, 5, 6);
        m_table.m_changeColumn = 6;
        m_table.SetRatioColumn(0, last, 6, 5, 7);
        appendNote(QStringLiteral("\nThis report compares Cumulative Net Write-ups (Subtotal-Discount) based on DateIn of "
                                  "Orders and History Jobs."));
        return true;
    }
    case 2403:
        LoadReportTable(c, 4, 2);
        setNote(QStringLiteral("This report includes the Services-To-Do of Orders in Progress"));
        return true;
    case 2404:
        LoadReportTable(c, 4, 2);
        setNote(QStringLiteral("This report includes the Services of Orders in History"));
        return true;
    default:
        break;
    }
    Message(kNotReadyText);
    return false;
}

bool CReportRun::Run()
{
    static const bool installed = (InstallKeyReportRenderers(), true);
    (void)installed;
    m_cancelled = false;
    m_entryCount = 0;
    if (!nowFixed)
        now = DateTime::fromDateTime(platform::Clock::now());
    m_table.Reset();
    caption = QStringLiteral("%1 / %2").arg(branchText, entryText);
    setTitle(caption);
    setSubtitle(dateRangeCaption);
    setNoDataText(kNoDataText);

    bool ok;
    if (const ReportRenderer renderer = FindReportRenderer(code))
        ok = renderer(*this);
    else
        ok = dispatchBuiltIn();

    if ((code >= 2101 && code <= 2104) || (code >= 2401 && code <= 2403))
        setSubtitle(AsOfText());
    m_entryCount = attachHook ? attachHook(m_table) : CountChartEntries(m_table);
    if (m_entryCount > 0)
        setTitle(caption + QStringLiteral(" (%1)").arg(m_entryCount));
    return ok && !m_cancelled;
}
