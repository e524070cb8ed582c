#include "production/tracking/CTaskJobDlg.h"

#include "app/base/CZqApp.h"
#include "data/CJobSet.h"
#include "data/CodeLookups.h"
#include "data/CXDaoSet.h"
#include "platform/Prompt.h"
#include "production/schedule/ScheduleLists.h"
#include "production/tracking/TaskRows.h"
#include "views/CDlgList.h"
#include "views/CNoteDlg.h"

#include <QtCore/QLocale>

CTaskJobDlg::CTaskJobDlg(qint32 jobId, qint32 itemId, quint8 empNo, QWidget *parent)
    : CDlg0(951, parent), m_nJobID(jobId), m_nItemID(itemId), m_nEmpNo(empNo)
{
    m_strWindowTitle = QStringLiteral("Start a Task");
    m_nColorScheme = 120;
    resize(960, 600);
    AddPlaceholder(kRibbon, QRect(0, 0, 960, 40));
    AddPlaceholder(kChart, QRect(0, 42, 960, 556));
    AddSizeMarker(QPoint(959, 599));
    setObjectName(QStringLiteral("CTaskJobDlg"));
}

CTaskJobDlg::~CTaskJobDlg() = default;

QString CTaskJobDlg::BuildSql(qint32 jobId)
{
    return QStringLiteral(
               "SELECT Items.ItemNo & '.' & Items.SubNo AS [Item], CStr('') AS [Info_w_03], Items.Description AS "
               "[Description], IIF(Items.SerNo = 0, Jobs.DateDue, (")
           + ServiceDateSql()
           + QStringLiteral(")) AS [Service Date], "
               "Items.EmpNo AS [Operator], Items.Tag1 AS [Tag], Items.Tag2 AS [Priority], Items.Note AS [Note], "
               "Items.ActualTime AS [Time], IIF(Items.SerNo = 0, Items.ChargeQty , Items.ActualQty) AS [Quantity], "
               "Items.Status AS [HIDE_STATUS], Services.CatNo AS [HIDE_CATNO], Services.SerNo AS [HIDE_SERNO], "
               "Items.EmpNo AS [HIDE_EmpNo], Items.Tag1 AS [HIDE_Tag1], Items.Tag2 AS [HIDE_Tag2], Items.ItemID AS "
               "[HIDE_KEY] FROM (Jobs INNER JOIN Items ON Jobs.JobID = Items.JobID) INNER JOIN Services ON "
               "Items.SerNo = Services.SerNo WHERE Items.JobID = ")
           + QString::number(jobId) + QStringLiteral(" ORDER BY Items.ItemNo, Items.SubNo, Services.CatNo, Services.Name");
}

bool CTaskJobDlg::OnInitDialog()
{
    CDlg0::OnInitDialog();
    if (m_wndRibbon2.Create(this, kRibbon, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 30)) {
        connect(&m_wndRibbon2, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndRibbon2.AddItem(2, QStringLiteral("Close"), 0, 132, 6, 2, 2084, 0, 1, 90);
        m_wndRibbon2.AddItem(1, QStringLiteral("Start"), 3, 131, 223, 2, 2084, 0, 1, 520);
        m_wndRibbon2.AddItem(30101, QStringLiteral("Find Order"), 0, 131, 188, 2, 2084, 0, 1, 130);
        m_wndRibbon2.RecalcLayout(0);
    }
    m_chart.CreateInDlgItem(this, kChart, m_nColorScheme);
    m_chart.SetStyle(1, false);
    m_chart.SetMultiSelect(true);
    connect(&m_chart, &CXChartCtrl::notified, this,
            [this](int code, int row, int column, const QPoint &point, bool) { OnTableClick(code, row, column, point); });
    connect(&m_chart, &CXChartCtrl::keyNotified, this, [this](int, int) { UpdateStartButton(); });
    m_chart.LoadTable(&m_table, CXChartCtrl::ChartTable);
    if (m_nJobID == 0)
        OnFindOrder();
    else
        LoadOrder();
    return true;
}

bool CTaskJobDlg::IsServiceRow(int row) const
{
    return m_table.IsValidRow(row) && !m_table.IsSpecialRow(row) && m_table.GetCellLong(row, ColSerNo) != 0;
}

void CTaskJobDlg::LoadOrder()
{
    m_table.Reset();
    m_chart.Reset();
    CJobSet job;
    if (m_nJobID == 0 || !job.FindByField(QStringLiteral("JobID"), m_nJobID) || job.IsEOF()) {
        m_table.m_title = QStringLiteral("Cannot find Order ");
        m_chart.LoadTable(&m_table, CXChartCtrl::ChartTable);
        UpdateStartButton();
        m_chart.update();
        return;
    }
    CZqApp *app = ZqApp();
    QString status;
    CZqApp::GetJobStatusName(status, job.m_Status);
    QString customer;
    CXDaoSet lookup;
    lookup.Open(CXDaoSet::dbOpenSnapshot, QStringLiteral("SELECT Name FROM Customers WHERE CusNo = %1").arg(job.m_CusNo));
    if (lookup.IsOpen() && !lookup.IsEmptySet())
        lookup.GetFieldString(0, customer);
    lookup.Close();
    const QLocale locale;
    m_table.m_title = QStringLiteral("Order %1  \u00B7  %2  \u00B7  %3 (#%4)")
                          .arg(job.m_JobNo)
                          .arg(job.m_Title, customer)
                          .arg(job.m_CusNo);
    m_table.m_subtitle = QStringLiteral("In %1  \u00B7  Due %2 %3  \u00B7  %4")
                             .arg(job.m_DateIn.date().toString(locale.dateFormat(QLocale::ShortFormat)),
                                  job.m_DateDue.date().toString(locale.dateFormat(QLocale::ShortFormat)),
                                  job.m_TimeDue, status);
    m_table.LoadQueryWithProgress(BuildSql(m_nJobID), CXTable::TotalsOneRow, 2, QString());
    const int widths[] = {2, 1, 16, 3, 4, 4, 4, 4, 2, 3};
    for (int c = 0; c < 10; ++c)
        m_table.SetColumnCharWidth(c, widths[c] * 4);
    for (int c = ColOperator; c <= ColPriority; ++c)
        m_table.SetColumnFormat(c, 2084);
    if (m_table.GetRowCount() > 0 && m_table.IsSpecialRow(m_table.GetRowCount() - 1))
        m_table.RemoveRow(-1);
    for (int r = 0; r < m_table.GetRowCount(); ++r) {
        const bool itemRow = m_table.GetCellLong(r, ColSerNo) == 0;
        const quint8 itemStatus = quint8(m_table.GetCellLong(r, ColStatus));
        if (itemRow) {
            m_table.SetRowFlags(r, 4);
            m_table.SetCellText(r, ColOperator, QString());
            if (app)
                m_table.SetCellStyle(r, ColItem, std::uint8_t(app->GetScheduleStatusIcon(itemStatus)));
        } else if (app) {
            const qint32 catNo = m_table.GetCellLong(r, ColCatNo);
            const qint32 serNo = m_table.GetCellLong(r, ColSerNo);
            const QString own = m_table.GetCellText(r, ColDescription);
            m_table.SetCellText(r, ColDescription, app->GetCategoryName(catNo) + QStringLiteral(": ")
                                                       + app->GetServiceName(serNo) + (own.isEmpty() ? QString() : QLatin1Char(' ') + own));
            m_table.SetCellStyle(r, ColDescription, std::uint8_t(app->GetCategoryStateIcon(catNo, itemStatus)));
            const quint8 timeStatus = app->GetItemTimeStatus(m_table.GetRowKey(r));
            if (timeStatus != 255)
                m_table.SetCellStyle(r, ColInfo, std::uint8_t(CZqApp::GetStatusIconOffset(timeStatus) + 3));
        }
        track::FillCodeCells(m_table, r, ColOperator, ColTag, ColPriority, quint8(m_table.GetCellLong(r, ColEmpNo)),
                             quint8(m_table.GetCellLong(r, ColTag1)), quint8(m_table.GetCellLong(r, ColTag2)), itemRow);
    }
    m_chart.LoadTable(&m_table, CXChartCtrl::ChartTable);
    int row = m_nItemID != 0 ? m_table.FindRowByLong(m_nItemID) : -1;
    m_chart.SelectRow(row >= 0 ? row : 0);
    UpdateStartButton();
    m_chart.update();
}

void CTaskJobDlg::UpdateStartButton()
{
    m_table.m_headingText = EmployeeName(m_nEmpNo)
                            + QStringLiteral(", click Start or double-click on a Service. To assign a Tag or Priority: "
                                             "Right-click. To edit Note: Left-click. To open another job: Click Find "
                                             "Order.\n");
    const int row = m_chart.GetSelectedRow();
    track::UpdateStartButton(m_wndRibbon2, IsServiceRow(row), m_table.GetCellText(row, ColDescription),
                             m_table.GetRowKey(row));
    m_chart.update();
}

bool CTaskJobDlg::OnStart()
{
    const int row = m_chart.GetSelectedRow();
    if (m_table.IsValidRow(row) && !m_table.IsSpecialRow(row))
        m_table.ToggleRowSelection(row, 256);
    m_chosen = track::MarkedServiceIds(m_table, ColSerNo);
    if (m_chosen.isEmpty())
        return false;
    EndDialog(IDOK_RESULT);
    return true;
}

void CTaskJobDlg::OnFindOrder()
{
    // The jobs view's list of all orders (its first branch).
    CDlgList picker(QStringLiteral("Orders"), QStringLiteral("Please select an Order"), QStringLiteral("Jobs"), 0,
                    m_nJobID, 0, m_nColorScheme, this);
    if (picker.DoModal() == platform::IDOK && picker.m_nChosenId != 0) {
        m_nJobID = qint32(picker.m_nChosenId);
        m_nItemID = 0;
        LoadOrder();
    }
    if (m_nJobID == 0)
        EndDialog(IDCANCEL_RESULT);
}

void CTaskJobDlg::OnWorkOrderNote()
{
    CJobSet job;
    if (m_nJobID == 0 || !job.FindByField(QStringLiteral("JobID"), m_nJobID) || job.IsEOF())
        return;
    CNoteDlg editor(QStringLiteral("Note"), QStringLiteral("Work Order Note"), job.m_WOrderNote, CNoteDlg::EditNote, this);
    editor.HoldNoteTo(job, QStringLiteral("WOrderNote"));
    if (editor.DoModal() != platform::IDOK || editor.m_strNote == job.m_WOrderNote)
        return;
    if (job.SafeEdit()) {
        job.m_WOrderNote = editor.m_strNote;
        job.SafeUpdate();
    }
}

void CTaskJobDlg::OnTableClick(int code, int row, int column, const QPoint &point)
{
    if (row < 0 || !m_table.IsValidRow(row) || m_table.IsSpecialRow(row))
        return;
    const qint32 itemId = m_table.GetRowKey(row);
    const bool itemRow = !IsServiceRow(row);
    if (code == CXChartCtrl::CodeDoubleClick) {
        // Only the columns up to the operator start a service.
        if (column >= 0 && column <= ColOperator)
            OnStart();
    } else if (code == CXChartCtrl::CodeClick && column == ColNote) {
        const QString note = track::EditItemNote(itemId, itemRow, m_table.GetCellText(row, ColDescription), this);
        if (!note.isNull())
            m_table.SetCellText(row, ColNote, note);
    } else if (code == CXChartCtrl::CodeRightClick) {
        if (column == ColTag || column == ColPriority) {
            const int kind = column == ColTag ? 2 : 3;
            const int value = track::ChooseTagOrPriority(itemId, kind, itemRow, point, this);
            if (value >= 0) {
                m_table.SetCellText(row, kind == 2 ? ColTag1 : ColTag2, QString::number(value));
                track::FillCodeCells(m_table, row, ColOperator, ColTag, ColPriority,
                                     quint8(m_table.GetCellLong(row, ColEmpNo)),
                                     quint8(kind == 2 ? value : m_table.GetCellLong(row, ColTag1)),
                                     quint8(kind == 3 ? value : m_table.GetCellLong(row, ColTag2)), itemRow);
            }
        } else {
            platform::Prompt::beep();
        }
    }
    UpdateStartButton();
}

bool CTaskJobDlg::OnCommand(int id)
{
    switch (id) {
    case 1:
        OnStart();
        return true;
    case 30101:
        OnFindOrder();
        return true;
    case 30263:
        OnWorkOrderNote();
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CTaskJobDlg::OnOK()
{
    OnStart();
}
