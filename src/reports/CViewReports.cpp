#include "reports/CViewReports.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/PrintService.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "controls/CXTreeCtrl.h"
#include "customers/CCompanySummary.h"
#include "data/CSQL.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "reports/CCompanyPie.h"
#include "reports/CUserListDlg.h"
#include "reports/ReportLists.h"
#include "reports/ReportSql.h"
#include "reports/UserQueries.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QTreeWidgetItem>

namespace {

constexpr int kDateItem = 30673;
constexpr int kPositionItem = 30262;
constexpr int kNoticeItem = 30211;

QString WithoutHashes(QString text)
{
    return text.remove(QLatin1Char('#'));
}

} // namespace

CViewReports::CViewReports(QWidget *parent) : CView0(kViewId, parent)
{
    m_run = std::make_unique<CReportRun>(SharedDatabase(), *m_table);
    // Ctrl held while a report runs puts its statement on the clipboard.
    m_run->sqlHook = [this](const QString &sql) { CopyReportSqlWhileCtrlDown(sql, this); };
}

CViewReports::~CViewReports() = default;

void CViewReports::OnInitialUpdate()
{
    if (isInitialised())
        return;
    CView0::OnInitialUpdate();
    ShowChart();

    m_listBar->SetItemLayout(kDateItem, 170, 11);
    m_listBar->SetItemTip(kDateItem, QStringLiteral("Select a Date Range"));
    m_listBar->AddChartTypeGroup();
    m_listBar->RecalcLayout(kDateItem);

    ApplyDateRange(platform::Settings::readInt(QStringLiteral("Settings"), QStringLiteral("DateRange-") + m_strViewName,
                                               DateRange::CmdYearToDate));

    m_bTreeFilling = true;
    m_tree->AddRootItem(QStringLiteral("Key Reports"), 252);
    LoadTreeBranches(44151, 44157, 2, 20);
    m_bTreeFilling = true;
    m_tree->AddRootItem(QStringLiteral("More Reports"), 252);
    LoadTreeBranches(44161, 44170, 6, 0);
    m_bTreeFilling = true;
    m_tree->AddRootItem(QStringLiteral("User Defined Reports"), 252);
    LoadCustomQueries();
    m_bTreeFilling = true;
    m_tree->SelectFirstItem(false);
    m_bTreeFilling = false;

    m_run->attachHook = [this](CXTable &table) {
        m_chart->LoadTable(&table, 0);
        return m_chart->entryCount();
    };
    PostCommand(m_nDateRangeCode);
}

void CViewReports::LoadCustomQueries()
{
    const bool filling = m_bTreeFilling;
    m_bTreeFilling = true;
    HTREEITEM branchItem = m_tree->AddItem(nullptr, QStringLiteral("Custom Queries"), kCustomQueries, 11, 36);
    int n = 0;
    try {
        for (const SavedQuery &query : ListSavedQueries(SharedDatabase())) {
            ++n;
            m_tree->AddItem(branchItem, query.name, quint32(std::min(kCustomQueries + n, kLastQueryCode)), 11, 36);
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QString());
    }
    m_bTreeFilling = filling;
    m_tree->viewport()->repaint();
    LayoutBars();
}

bool CViewReports::IsCommandEnabled(int id)
{
    switch (id) {
    case 30100: case 30101: case 30103: case 30107: case 30111: case 30130: case 30181: case 30343:
        return false;
    case kNoticeItem:
        return m_listBar && !m_listBar->GetItemText(kNoticeItem).isEmpty();
    case 3000: case 3001: case 3002: case 3003: case 3004:
        // The chart types of a Key Report with entries, other than the current one.
        return m_bTableMode && m_chart && m_chart->entryCount() > 0 && !m_chart->IsChartType(id);
    case 30113:
        // Only the Audit Trail "Detail" list with rows.
        return !m_bTableMode && m_bDeleteAllowed && m_list && m_list->GetItemCount() > 0;
    default:
        return CView0::IsCommandEnabled(id);
    }
}

bool CViewReports::OnCommand(int id)
{
    switch (id) {
    case 30510:
        OnUserQuery();
        return true;
    case 30534:
        OnAddFilter();
        return true;
    case 30401:
    case 20059:
        OnListNow();
        return true;
    case 30121:
        FillList();
        return true;
    case kNoticeItem:
        return true;
    case 30113:
        OnDeleteAuditRows();
        return true;
    case 30330:
        PrintView();
        return true;
    case 3000: case 3001: case 3002: case 3003: case 3004:
        OnChartType(id);
        return true;
    default:
        return CView0::OnCommand(id);
    }
}

QString CViewReports::dateItemCaption() const
{
    return m_listBar ? m_listBar->GetItemText(kDateItem) : QString();
}

QString CViewReports::positionCaption() const
{
    return m_statusBar ? m_statusBar->GetItemText(kPositionItem) : QString();
}

void CViewReports::OnListNow()
{
    if (!ReadTreeSelection())
        return;
    if (m_strItemText.endsWith(QLatin1String("..."))) {
        OnAddFilter();
        return;
    }
    ClearFilter();
    QString condition;
    GetReportDateField(m_nBranch, m_strDateRangeCondition, condition);
    setFilter(condition, condition);
    FillList();
}

void CViewReports::FillList()
{
    NoteListed();
    m_bHeadingShown = false;
    m_bDeleteAllowed = false;
    if (m_nBranch < 20) {
        m_bTableMode = false;
        if (m_nBranch == 10 || (m_nBranch != 8 && !m_strFilterSql.isEmpty())) {
            // A saved query or a user's filter is read beside the window: the
            // caption names it, without the count of the list before it.
            QString reading = QStringLiteral("%1   %2").arg(m_strListCaption, m_strFilterSql);
            reading.remove(QLatin1Char('#'));
            m_listBar->SetItemText(kDateItem, reading.trimmed());
            m_statusBar->SetItemText(kPositionItem, QString());
            m_listBar->repaint();
            m_statusBar->repaint();
        }
        FillReportList();
        QString caption = QStringLiteral("%1: %2   %3").arg(m_strListCaption).arg(m_list->GetItemCount()).arg(m_strFilterSql);
        caption.remove(QLatin1Char('#'));
        m_listBar->SetItemText(kDateItem, caption);
        // The status bar counts the rows; the title above names them.
        m_statusBar->SetItemText(kPositionItem, QStringLiteral("Listed: %1").arg(m_list->GetItemCount()));
    } else {
        m_bTableMode = true;
        RunReport();
        m_statusBar->SetItemText(kPositionItem, QString());
    }
    UpdateRibbonStates();
    OnChartType(0);
}

void CViewReports::FillReportList()
{
    if (m_chart)
        m_chart->hide();
    m_bChartShown = false;
    m_list->show();
    m_bListShown = true;
    m_list->SetDefaultImage(m_nChosenImage);
    m_list->ChooseColumns(GetListKey(), false);
    if (m_nBranch == 8) {
        FillChangedJobsList();
    } else if (m_nBranch == 10) {
        // Only saved queries that read data run as lists.
        QString refusal;
        if (!IsReadOnlySavedQuery(SharedDatabase(), m_strItemText, &refusal) && !refusal.isEmpty()) {
            m_list->ClearList(true);
            platform::Prompt::messageBox(refusal);
        } else {
            // A query that cannot be found or read is told by the list.
            m_list->FillFromQueryDef(m_strItemText);
        }
    } else {
        CSQL statement(kViewId, m_nBranch, m_nItem, m_strFilterSql, m_strSortText, m_nListOption, false);
        m_strLastListSql = statement.m_strSQL;
        // The audit-trail detail rows are deleted by their transaction numbers.
        const bool auditDetail = m_nBranch == 7 && m_strItemText == QLatin1String("Detail");
        const QString key = auditDetail ? QStringLiteral("TransNo") : statement.m_strKey;
        if (m_strFilterSql.isEmpty())
            m_list->FillFromSql(statement.m_strSQL, key);
        else
            m_list->FillFromUserSql(statement.m_strSQL, key);
    }
    m_bDeleteAllowed = m_nBranch == 7 && m_strItemText == QLatin1String("Detail");
}

void CViewReports::fillRunState()
{
    CReportRun &run = *m_run;
    run.code = m_nChosenCode;
    run.branchText = m_strBranchText;
    run.entryText = m_strItemText;
    run.fromDate = m_dtFrom;
    run.toDate = m_dtTo;
    run.thisPeriod = m_strDateRangeCondition;
    run.lastPeriod = m_strPriorCondition;
    run.dateRangeCaption = m_strDateRangeCaption;
    run.filter = m_strFilterSql;
    run.twoTaxes = ZqApp() && ZqApp()->UsesTwoTaxes();
    run.nowFixed = false;
}

void CViewReports::RunReport()
{
    m_list->hide();
    m_bListShown = false;
    if (!m_chart)
        ShowChart();
    m_chart->show();
    m_bChartShown = true;
    m_table->Reset();
    m_chart->Reset();
    m_chart->LoadTable(m_table.get(), 0);

    if (m_nBranch == 25) {
        m_chart->update();
        if (m_nItem == 1) {
            CCompanySummary summary(this);
            summary.DoModal();
        } else {
            CCompanyPie pie(this);
            pie.DoModal();
        }
        return;
    }
    fillRunState();
    m_run->Run();
    m_listBar->SetItemText(kDateItem, m_strDateRangeCaption);
    m_chart->update();
}

void CViewReports::OnChartType(int id)
{
    if (id != 0 && m_chart) {
        m_chart->SetChartType(id, true);
        m_chart->update();
    }
    for (int type = 3000; type <= 3004; ++type)
        m_listBar->EnableItem(unsigned(type), IsCommandEnabled(type));
}

void CViewReports::OnAddFilter()
{
    if (!ReadTreeSelection())
        return;
    ClearFilter();
    m_findPresets[1] = 0;
    QString table = QStringLiteral("PostingJournal");
    switch (m_nBranch) {
    case 0: case 1: case 2: case 3:
        table = QStringLiteral("Sales");
        m_findPresets[0] = 3;
        m_findPresets[1] = m_nBranch + 4;
        break;
    case 4: case 9:
        table = QStringLiteral("Sales");
        m_findPresets[0] = 3;
        m_findPresets[1] = 11;
        break;
    case 5:
        table = QStringLiteral("QuickSales");
        break;
    case 6:
        table = QStringLiteral("PostingJournal");
        break;
    case 7:
        table = QStringLiteral("AuditTrail");
        break;
    case 8:
        table = QStringLiteral("PostingMonth");
        break;
    case 10:
        return;
    default:
        if (m_strItemText.contains(QLatin1String("...")))
            table = QStringLiteral("Customer");
        break;
    }
    m_strFilterTable = table;
    // The presets open the dialog on the table's list, field and operator.
    m_find.listIndex = m_findPresets[0];
    m_find.fieldIndex = m_findPresets[1];
    m_find.operatorIndex = m_findPresets[2];
    if (RunFindDialog(table, false, false) && !m_strFilterSql.isEmpty())
        FillList();
}

void CViewReports::OnDeleteAuditRows()
{
    if (CZqApp *app = ZqApp(); app && !app->CheckPassword(-1, QString()))
        return;
    if (m_nBranch != 7 || m_bTableMode)
        return;
    const int answer = platform::Prompt::messageBox(
        QStringLiteral("IMPORTANT: If the 'TransDate' of any selected item is within your last three fiscal years, "
                       "choose No.\n\nAudit Trail includes the changes made to job amounts such as Subtotal, Discount, "
                       "and Tax.\nYou may use this information to prepare your tax and royalty reports. Therefore, you "
                       "should not delete\nany audit trail item created during your last three fiscal years.\n\nDo you "
                       "want to delete the selected audit trail items?"),
        QString(), platform::MB_YESNO | platform::MB_ICONSTOP);
    if (answer != platform::IDYES)
        return;
    QList<qint64> keys;
    for (int row = 0; row < m_list->GetItemCount(); ++row)
        if (m_list->IsItemSelected(row))
            keys << m_list->GetItemData(row);
    if (keys.isEmpty())
        return;
    try {
        DeleteAuditTrailRows(SharedDatabase(), keys);
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot delete the selected audit trail items"));
    }
    FillList();
}

void CViewReports::PrintView()
{
    if (m_nBranch == 25)
        return;
    // The print entry and its dialog: the shown report's table (with its own
    // headings) or list; a posting journal row names its posting.
    CView0::PrintView([this](ViewPrintRequest &request) {
        request.list = m_bTableMode ? nullptr : m_list;
        request.chart = m_bTableMode ? m_chart : nullptr;
        QString first, second;
        if (!m_bTableMode && m_nBranch == 6 && PostingHeaderTexts(SharedDatabase(), int(request.key), first, second)) {
            request.viewName = first;
            request.listCaption = second;
            request.filterText.clear();
        }
    });
}

void CViewReports::FillChangedJobsList()
{
    if (!m_strFilterSql.contains(QLatin1Char('#'))) {
        m_list->ClearList(true);
        PostCommand(30534);
        return;
    }
    const QString sql = ChangedJobsSql(m_nItem, m_strFilterSql);
    m_strLastListSql = sql;
    m_list->FillFromSql(sql);
    if (m_nItem >= 12 && m_list->GetItemCount() >= 2) {
        QStringList posted, now;
        for (int c = 0; c < m_list->GetColumnCount(); ++c) {
            posted << m_list->GetItemText(0, c);
            now << m_list->GetItemText(1, c);
        }
        const QStringList change = ChangeRowTexts(posted, now);
        const int row = m_list->InsertRow(2, change.value(0), -1);
        for (int c = 1; c < change.size(); ++c)
            m_list->SetItemText(row, c, change[c]);
    }
    m_strListCaption = QStringLiteral(" %1 / %2").arg(m_strBranchText, m_strItemText);
    m_list->viewport()->update();
    UpdateRibbonStates();
}

void CViewReports::OnUserQuery()
{
    if (m_nBranch != 10)
        return;
    CUserListDlg dlg(CUserListDlg::ModeDefine, nullptr);
    if (dlg.DoModal() != platform::IDOK)
        return;
    m_bTreeFilling = true;
    if (HTREEITEM branchItem = m_tree->FindItemByData(kCustomQueries))
        delete branchItem;
    m_bTreeFilling = false;
    LoadCustomQueries();
    // The list on the screen was read from a query that may now be changed
    // or gone: the rebuilt branch's heading is chosen and the list emptied,
    // so that nothing runs until the user chooses an entry (the saved
    // query's write refills no list of its own accord either).
    m_bTreeFilling = true;
    if (HTREEITEM branchItem = m_tree->FindItemByData(kCustomQueries))
        m_tree->SelectAndShow(branchItem);
    m_bTreeFilling = false;
    ReadTreeSelection();
    m_list->ClearList(true);
    m_bHeadingShown = true;
    NoteListed();
    m_listBar->SetItemText(kDateItem, m_strListCaption);
    m_statusBar->SetItemText(kPositionItem, QString());
    UpdateRibbonStates();
}
