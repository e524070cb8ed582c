#include "production/tracking/CTaskListDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/Clipboard.h"
#include "app/base/QuantityText.h"
#include "app/base/SqlText.h"
#include "data/CItemSet.h"
#include "data/CodeLookups.h"
#include "platform/Prompt.h"
#include "production/schedule/ScheduleLists.h"
#include "production/tracking/CTaskJobDlg.h"
#include "production/tracking/TaskRows.h"
#include "views/CDlgOptions.h"

#include <QtGui/QGuiApplication>

CTaskListDlg::CTaskListDlg(int selection, quint8 empNo, QWidget *parent)
    : CDlg0(952, parent), m_nSelection(selection), m_nEmpNo(empNo)
{
    m_strWindowTitle = QStringLiteral("Start a Task");
    m_nColorScheme = 120;
    resize(1000, 620);
    AddPlaceholder(kRibbon, QRect(0, 0, 1000, 40));
    AddPlaceholder(kChart, QRect(0, 42, 1000, 576));
    AddSizeMarker(QPoint(999, 619));
    setObjectName(QStringLiteral("CTaskListDlg"));
    if (CZqApp *app = ZqApp())
        m_nOptions = app->GetSettingInt(QStringLiteral("TaskList-Options"), 0);
}

CTaskListDlg::~CTaskListDlg() = default;

QString CTaskListDlg::SelectionTitle(int selection)
{
    if (selection == 29103)
        return QStringLiteral("Assigned to You");
    if (selection == 29104)
        return QStringLiteral("Scheduled for Today");
    return QStringLiteral("Scheduled for Any Day");
}

QString CTaskListDlg::BuildSql(int selection, quint8 empNo, int options)
{
    // The service's date as the scheduler shows it.
    const QString S = QLatin1Char('(') + ServiceDateSql() + QLatin1Char(')');
    const QString P = QStringLiteral(" FROM Items as Items0 WHERE((Items0.JobID = Items.JobID) AND (Items0.SerNo=0) AND "
                                     "(Items0.itemNo = Items.Itemno) AND (Items0.SubNo = Items.Subno)))");
    const QString F = QStringLiteral(
        "FROM (ProductionTags RIGHT JOIN (Employees RIGHT JOIN (((Services INNER JOIN ServiceCategories ON "
        "Services.CatNo = ServiceCategories.CatNo) LEFT JOIN ProductionDepts ON Services.ProdDepID = "
        "ProductionDepts.DepID) INNER JOIN (((Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN Customers "
        "ON Jobs.CusNo = Customers.CusNo) LEFT JOIN ShipTo ON Jobs.ShiptoNo = ShipTo.ShiptoNo) ON Services.SerNo = "
        "Items.SerNo) ON Employees.EmpNo = Items.EmpNo) ON ProductionTags.TagID = Items.Tag1) INNER JOIN "
        "ServiceDepartments ON ServiceCategories.DepNo = ServiceDepartments.DepNo ");
    QString W = QStringLiteral("Items.SerNo>0 AND Jobs.JobType=0 AND Jobs.Status=0 AND Jobs.Creator<98 ");
    if (selection == 29104)
        AppendWhere(W, S + QStringLiteral(" = Date() "));
    if (selection == 29103)
        AppendWhere(W, QStringLiteral("Items.EmpNo = ") + QString::number(empNo) + QLatin1Char(' '));
    if ((options & IncludeFinished) == 0)
        AppendWhere(W, QStringLiteral("Items.Status > 0 "));
    return QStringLiteral("SELECT ") + S
           + QStringLiteral(" as [Service Date_w_14__PARENT], Items.EmpNo AS [Operator_w_14], CStr('') AS [Info_w_03], "
                            "ServiceCategories.CatName & ': ' & Services.Name as Service_w_30, Jobs.JobNo & '-' & "
                            "Items.ItemNo as [Job-Item_w_12], ")
           + QStringLiteral("(SELECT Cstr(Items0.Description)") + P + QStringLiteral(" as [Item Description],")
           + QStringLiteral("IIf(Customers.CusNo = 31, IIf(Jobs.ShiptoNo = 0, '* ', '* ' + ShipTo.Company), "
                            "Customers.Name) AS [Customer]")
           + QStringLiteral(", Items.Tag1 AS [Tag_w_12], Items.Tag2 AS [Priority], Items.Note AS [Note], "
                            "Items.ChargeTime AS [Time], Items.ChargeQty AS [Qty], Items.Status AS [HIDE1], Items.Days2 "
                            "AS [HIDE2], Services.SerNo AS [HIDE4], Services.CatNo AS [HIDE5], ")
           + QStringLiteral("(SELECT Items0.Status") + P + QStringLiteral(" as [HIDE6],")
           + QStringLiteral("Items.ItemID AS [HIDE_KEY] ") + F + QStringLiteral("WHERE ") + W + QStringLiteral("ORDER BY ")
           + S + QStringLiteral(", Items.EmpNo, ServiceCategories.SortNo, Services.SortNo, Services.Name");
}

bool CTaskListDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_wndRibbon2.Create(this, kRibbon, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        connect(&m_wndRibbon2, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndRibbon2.AddItem(2, QStringLiteral("Close"), 0, 132, 6, 2, 2084, 0, 1, 90);
        m_wndRibbon2.AddItem(1, QStringLiteral("Start"), 3, 131, 223, 2, 2084, 0, 1, 420);
        m_wndRibbon2.AddItem(30102, QStringLiteral("Open Order"), 3, 131, 189, 2, 2084, 0, 1, 120);
        m_wndRibbon2.AddItem(30101, QStringLiteral("Find Order"), 0, 131, 188, 2, 2084, 0, 1, 120);
        m_wndRibbon2.AddItem(30540, QStringLiteral("Options"), 0, 131, 171, 2, 2084, 0, 1, 100);
        m_wndRibbon2.RecalcLayout(0);
    }
    m_chart.CreateInDlgItem(this, kChart, m_nColorScheme);
    m_chart.SetMultiSelect(true);
    connect(&m_chart, &CXChartCtrl::notified, this,
            [this](int code, int row, int column, const QPoint &point, bool) { OnTableClick(code, row, column, point); });
    connect(&m_chart, &CXChartCtrl::keyNotified, this, [this](int, int) { UpdateStartButton(); });
    BuildList();
    return true;
}

bool CTaskListDlg::IsServiceRow(int row) const
{
    return m_table.IsValidRow(row) && !m_table.IsSpecialRow(row) && m_table.GetRowKey(row) != 0;
}

void CTaskListDlg::BuildList()
{
    m_table.Reset();
    m_chart.Reset();
    const QString name = EmployeeName(m_nEmpNo);
    const QString hint = QStringLiteral("\nTo start: Click Start or double-click on a Service. If the Service you want is "
                                        "not listed, click Find Order.");
    m_table.m_headingText = name + hint;
    const QString sql = BuildSql(m_nSelection, m_nEmpNo, m_nOptions);
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier)
        CopyTextToClipboard(this, sql);
    m_table.LoadQueryWithProgress(sql, CXTable::TotalsPerGroup, 2, QString());
    if ((m_nOptions & ShowInfo) == 0)
        m_table.SetColumnCharWidth(ColInfo, 0);
    CZqApp *app = ZqApp();
    int services = 0;
    const int last = m_table.GetRowCount() - 1;
    for (int r = 0; r < last; ++r) {
        if (m_table.IsSpecialRow(r) || !app)
            continue;
        ++services;
        const qint32 catNo = m_table.GetCellLong(r, ColCatNo);
        const quint8 status = quint8(m_table.GetCellLong(r, ColStatus));
        m_table.SetCellStyle(r, ColService, std::uint8_t(app->GetCategoryStateIcon(catNo, status)));
        if (m_nOptions & ShowInfo) {
            const quint8 timeStatus = app->GetItemTimeStatus(m_table.GetRowKey(r));
            if (timeStatus != 255)
                m_table.SetCellStyle(r, ColInfo, std::uint8_t(CZqApp::GetStatusIconOffset(timeStatus) + 3));
        }
        m_table.SetCellStyle(r, ColItem,
                             std::uint8_t(app->GetScheduleStatusIcon(quint8(m_table.GetCellLong(r, ColItemStatus)))));
        track::FillCodeCells(m_table, r, ColOperator, ColTag, ColPriority,
                             quint8(m_table.GetCellText(r, ColOperator).toInt()), quint8(m_table.GetCellText(r, ColTag).toInt()),
                             quint8(m_table.GetCellText(r, ColPriority).toInt()), false);
    }
    for (int c : {int(ColOperator), int(ColTag), int(ColPriority)})
        m_table.SetColumnFormat(c, 2084);
    m_table.m_title = QStringLiteral("%1, %2 %3.")
                          .arg(name, FormatCountWithUnit(services, QStringLiteral("Service"), QStringLiteral("Services")),
                               SelectionTitle(m_nSelection));
    m_table.m_subtitle = QStringLiteral("This list includes the Services of Orders in Progress%1.")
                             .arg((m_nOptions & IncludeFinished) == 0
                                      ? QStringLiteral(" (Services 'Finished' are NOT included)")
                                      : QString());
    const bool any = services > 0;
    m_wndRibbon2.EnableItem(30102, any);
    m_wndRibbon2.EnableItem(1, any);
    m_chart.LoadTable(&m_table, CXChartCtrl::ChartTable);
    m_chart.SelectRow(0);
    UpdateStartButton();
    m_chart.update();
}

void CTaskListDlg::UpdateStartButton()
{
    const QString hint = EmployeeName(m_nEmpNo)
                         + QStringLiteral("\nTo start: Click Start or double-click on a Service. If the Service you want "
                                          "is not listed, click Find Order.");
    m_table.m_headingText = hint;
    const int row = m_chart.GetSelectedRow();
    const QString warnings = track::UpdateStartButton(m_wndRibbon2, IsServiceRow(row),
                                                      m_table.GetCellText(row, ColService), m_table.GetRowKey(row));
    if (!warnings.isEmpty())
        m_table.m_headingText = QStringLiteral("\n") + warnings;
    m_chart.update();
}

bool CTaskListDlg::OnStart()
{
    const int row = m_chart.GetSelectedRow();
    if (IsServiceRow(row))
        m_table.ToggleRowSelection(row, 256);
    m_chosen = track::MarkedServiceIds(m_table, ColSerNo);
    if (m_chosen.isEmpty())
        return false;
    EndDialog(IDOK_RESULT);
    return true;
}

void CTaskListDlg::OnOpenOrder(qint32 jobId, qint32 itemId)
{
    CTaskJobDlg order(jobId, itemId, m_nEmpNo, this);
    if (order.DoModal() != platform::IDOK)
        return;
    m_chosen = order.m_chosen;
    EndDialog(IDOK_RESULT);
}

void CTaskListDlg::OnOptions()
{
    CDlgOptions choice(QStringLiteral("Task List Options"), QStringLiteral("(for this computer only)"), 0, this);
    choice.AddCheckGroup(QStringLiteral("Options:"), 0);
    choice.AddEntry(IncludeFinished, QStringLiteral("Include 'Finished' Services"), (m_nOptions & IncludeFinished) ? 1 : 0);
    choice.AddEntry(ShowInfo, QStringLiteral("Show 'Info' icon if a Service is already started (may increase query time)"),
                    (m_nOptions & ShowInfo) ? 1 : 0);
    if (choice.DoModal() != platform::IDOK)
        return;
    int options = 0;
    if (choice.IsEntryChecked(IncludeFinished))
        options |= IncludeFinished;
    if (choice.IsEntryChecked(ShowInfo))
        options |= ShowInfo;
    m_nOptions = options;
    if (CZqApp *app = ZqApp())
        app->WriteSettingInt(QStringLiteral("TaskList-Options"), options);
    BuildList();
}

void CTaskListDlg::OnTableClick(int code, int row, int column, const QPoint &point)
{
    Q_UNUSED(point);
    if (code == CXChartCtrl::CodeDoubleClick && IsServiceRow(row))
        OnStart();
    else
        UpdateStartButton();
    Q_UNUSED(column);
}

bool CTaskListDlg::OnCommand(int id)
{
    switch (id) {
    case 1:
        OnStart();
        return true;
    case 30102: {
        const int row = m_chart.GetSelectedRow();
        if (!IsServiceRow(row))
            return true;
        CItemSet item;
        if (item.OpenByItemID(m_table.GetRowKey(row)) && !item.IsEOF())
            OnOpenOrder(item.m_JobID, item.m_ItemID);
        return true;
    }
    case 30101:
        OnOpenOrder(0, 0);
        return true;
    case 30540:
        OnOptions();
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CTaskListDlg::OnOK()
{
    OnStart();
}
