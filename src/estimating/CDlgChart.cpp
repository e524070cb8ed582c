#include "estimating/CDlgChart.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"
#include "platform/Prompt.h"

namespace {

constexpr int kLoadOption = 4;
constexpr unsigned kClose = 2;
constexpr unsigned kPrintScreen = 30330;

} // namespace

CDlgChart::CDlgChart(CJobSet *job, QWidget *parent)
    : CDlg0(421, parent), m_pJob(job)
{
    m_strWindowTitle = QStringLiteral("Chart");
    resize(900, 600);
    AddPlaceholder(kChart, QRect(0, 0, 900, 552));
    AddPlaceholder(kButtonBar, QRect(0, 556, 900, 40));
    AddSizeMarker(QPoint(899, 599));
}

CDlgChart::~CDlgChart() = default;

int CDlgChart::ShowJobChart(CJobSet *job, QWidget *parent)
{
    CDlgChart dialog(job, parent);
    return dialog.DoModal();
}

QString CDlgChart::BuildQuery(qint32 jobId, bool servicesShown)
{
    const QString money =
        servicesShown
            ? QStringLiteral("IIF(Items.SerNo = 0, 0, Items.Cost) AS [Cost/$], IIF(Items.SerNo = 0, 0, Items.Price) AS "
                             "[Price/$], CCur(IIF(Items.SerNo = 0, 0, Items.Price*Jobs.Discount/Jobs.Subtotal)) AS "
                             "[Discount/$], ")
            : QStringLiteral("Items.Cost AS [Cost/$], Items.Price AS [Price/$], "
                             "CCur(Items.Price*Jobs.Discount/Jobs.Subtotal) AS [Discount/$], ");
    const QString filter = servicesShown ? QString() : QStringLiteral(" and Items.SerNo = 0");
    return QStringLiteral("SELECT Items.ItemNo AS [Item_w_6__PARENT], Items.SubNo as [Sub_w_4], Items.Description AS "
                          "[Description_w_50], Items.ChargeQty AS [Quantity], ")
           + money
           + QStringLiteral("CCur(0) AS [Discounted/Price}5+6P], CLng(0) AS [% of/TOTAL}7%7], CCur(0) AS "
                            "[Margin/$}7-4], CDbl(0) AS [Margin/%}9%7}P], Services.CatNo AS [HIDE_CATNO], "
                            "Items.SerNo AS [HIDE_SERNO], Items.ItemID AS [HIDE_KEY] FROM ServiceCategories INNER "
                            "JOIN ((Items INNER JOIN Jobs ON Items.JobID = Jobs.JobID) INNER JOIN Services ON "
                            "Items.SerNo = Services.SerNo) ON ServiceCategories.CatNo = Services.CatNo WHERE "
                            "Items.JobID = ")
           + FormatInt(jobId, false, false) + filter
           + QStringLiteral(" ORDER BY Items.ItemNo, Items.SubNo, Items.SortNo, ServiceCategories.SortNo, "
                            "Services.SortNo, Services.Name");
}

bool CDlgChart::OnInitDialog()
{
    // A job that is not priced has nothing to chart.
    if (m_pJob && m_pJob->m_Subtotal.isZero()) {
        platform::Prompt::messageBox(QStringLiteral("Subtotal is zero.\nPlease price all Items to see cost info."),
                                     QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
        EndDialog(IDCANCEL_RESULT);
        return false;
    }
    m_strWindowTitle = QStringLiteral("Job Cost, Price, Margin ");
    if (m_pJob)
        m_nColorScheme = GetJobTypeHue(m_pJob->m_JobType);
    CDlg0::OnInitDialog();
    if (m_wndBar.Create(this, kButtonBar, m_nColorScheme, 1, 131, 7, 16, 3, 0, 3, 26)) {
        connect(&m_wndBar, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_wndBar.AddItem(kClose, QStringLiteral("Close"), 0, 132, 6, 2, 2084, 0, 1, 100);
        m_wndBar.AddItem(unsigned(kDetail), QStringLiteral("Hide Services"), 0, 0, 255, 2, 2085, 0, 1, 130);
        m_wndBar.AddChartTypeGroup();
        for (unsigned id = 3000; id <= 3004; ++id)
            m_wndBar.EnableItem(id, true);
        m_wndBar.AddItem(kPrintScreen, QStringLiteral("Print screen"), 0, 132, 3, 2, 2084, 0, 0, 150);
        m_wndBar.RecalcLayout(0);
    }
    m_chart.CreateInDlgItem(this, kChart, m_nColorScheme);
    m_chart.LoadTable(&m_table, CXChartCtrl::ChartTable);
    m_wndBar.EnableItem(3000, false);
    LoadChart();
    return true;
}

void CDlgChart::LoadChart()
{
    m_table.Reset();
    m_chart.Reset();
    m_chart.SetStyle(1, false);
    m_table.m_titleIconList = 132;
    m_table.m_titleIcon = 53;
    if (!m_pJob) {
        m_chart.LoadTable(&m_table, 0);
        m_chart.update();
        return;
    }
    m_table.m_title = m_pJob->GetJobLabel() + QStringLiteral(" - ") + m_pJob->m_Title;
    m_wndBar.SetItemText(unsigned(kDetail),
                         m_bServicesShown ? QStringLiteral("Hide Services") : QStringLiteral("Show Services"));
    m_table.SetSpecialColumns(2, 4, 7);
    m_table.LoadQueryWithProgress(BuildQuery(m_pJob->m_JobID, m_bServicesShown), kLoadOption, 2, QString());
    // Zero amounts show as empty cells.
    m_table.ReplaceCellText(0, -1, 1, 9, QStringLiteral("0.00"), QString(), false);
    CZqApp *app = ZqApp();
    for (int row = 0; row < m_table.GetRowCount(); ++row) {
        if (m_table.IsSpecialRow(row))
            continue;
        const qint32 serNo = m_table.GetCellLong(row, 12);
        if (serNo == 0) {
            if (m_bServicesShown)
                m_table.SetRowFlags(row, 4);
            continue;
        }
        m_table.SetCellText(row, 1, QString());
        QString category;
        int icon = 0;
        if (app)
            app->GetCategoryNameAndIcon(m_table.GetCellLong(row, 11), category, icon);
        m_table.SetCellText(row, 2,
                            category + QStringLiteral(": ") + (app ? app->GetServiceName(serNo) : QString()));
        m_table.SetCellStyle(row, 2, std::uint8_t(icon));
    }
    m_chart.LoadTable(&m_table, 0);
    m_chart.update();
}

void CDlgChart::OnChartType(int type)
{
    m_chart.SetChartType(type, true);
    for (unsigned id = 3000; id <= 3004; ++id)
        m_wndBar.EnableItem(id, int(id) != type);
}

bool CDlgChart::OnCommand(int id)
{
    if (id == kDetail) {
        m_bServicesShown = !m_bServicesShown;
        LoadChart();
        return true;
    }
    if (id >= 3000 && id <= 3004) {
        OnChartType(id);
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CDlgChart::OnSize(int type, int cx, int cy)
{
    if (!CalcSizeDelta(type, cx, cy))
        return;
    const int dx = widthDelta();
    const int dy = heightDelta();
    MoveItemBy(kButtonBar, 0, dy);
    GrowItemBy(kButtonBar, dx, 0);
    GrowItemBy(kChart, dx, dy);
    update();
}
