#include "reports/CCompanyPie.h"

#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/DateRangeMenu.h"
#include "app/base/DateRanges.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "views/CDateRange.h"

#include <QtCore/QTimer>

namespace {
constexpr unsigned kDateItem = 30281;
constexpr unsigned kSalesItem = 30282;
constexpr int kWidth = 900;
constexpr int kPanelWidth = 216;
constexpr int kPanelHeight = 24;
constexpr int kPieHeight = 290;
constexpr int kHeight = 728; // inside the smallest screen
} // namespace

CCompanyPie::CCompanyPie(QWidget *parent) : CDlg0(531, parent)
{
    m_strWindowTitle = QStringLiteral("Top Sales");
    resize(kWidth, kHeight);
    AddPlaceholder(kRibbon, QRect(0, 0, kWidth, 32), QStringLiteral("Date Menu"));
    const QStringList captions = CompanyPieCaptions();
    for (int i = 0; i < 8; ++i) {
        const int x = 8 + (i % 4) * (kPanelWidth + 6);
        const int y = 40 + (i / 4) * (kPanelHeight + kPieHeight + 10);
        AddPlaceholder(1901 + unsigned(i), QRect(x, y, kPanelWidth, kPanelHeight), captions[i]);
        m_pies[size_t(i)] = new CPieChartCtrl(this);
        m_pies[size_t(i)]->setGeometry(x, y + kPanelHeight, kPanelWidth, kPieHeight);
    }
    AddButton(30330, QStringLiteral("Print..."), QRect(kWidth - 220, kHeight - 40, 100, 30));
    AddButton(2, QStringLiteral("Close"), QRect(kWidth - 112, kHeight - 40, 100, 30));
    AddSizeMarker(QPoint(kWidth, kHeight));
}

CCompanyPie::~CCompanyPie() = default;

bool CCompanyPie::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    if (m_ribbon.Create(this, kRibbon, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 0)) {
        m_ribbon.AddItem(kDateItem, QStringLiteral("Date"), struct_RIB_ITEM::Normal, 0, 255, 2, 2084, 0, 2, 200, 170, 11);
        m_ribbon.AddItem(kSalesItem, QStringLiteral("Sales"), struct_RIB_ITEM::Plain, 0, 255, 2, 2085, 0, 0, 195);
        m_ribbon.RecalcLayout(kDateItem); // the range's caption takes the width left
        connect(&m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
    }
    const QStringList captions = CompanyPieCaptions();
    for (int i = 0; i < 8; ++i)
        m_panels[size_t(i)].CreateFromItem(this, 1901 + unsigned(i), m_nColorScheme, 15, 2, 3, 2085, captions[i]);
    const QString shop = ZqApp() ? ZqApp()->m_company.FormatAddress(0) : QString();
    setWindowTitle(QStringLiteral("Top Sales - ") + shop);
    OnDateRange(DateRange::CmdYearToDate);
    return true;
}

bool CCompanyPie::OnCommand(int id)
{
    if (id >= DateRange::CmdToday && id <= DateRange::CmdBetween) {
        OnDateRange(id);
        return true;
    }
    if (id == 30330) {
        OnPrintWindow();
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CCompanyPie::OnInitPopupMenu(QMenu *subMenu, int position)
{
    Q_UNUSED(position);
    CheckDateRangeMenu(subMenu, m_nDateRange);
}

void CCompanyPie::OnDateRange(int code)
{
    DateTime from = m_from, to = m_to;
    if (code == DateRange::CmdBetween) {
        CDateRange dlg(this);
        dlg.m_from = m_from.isValid() && m_from.toOle() != 0 ? m_from.date() : platform::Clock::today();
        dlg.m_to = m_to.isValid() && m_to.toOle() != 0 ? m_to.date() : platform::Clock::today();
        if (dlg.DoModal() != platform::IDOK)
            return;
        from = DateTime::fromDate(dlg.m_from);
        to = DateTime::fromDate(dlg.m_to);
    }
    QString condition, caption;
    DescribeDateRange(from, to, code, condition, caption);
    m_nDateRange = code;
    m_from = from;
    m_to = to;
    m_strCaption = caption;
    m_strCondition = QStringLiteral(" Jobs.DateShipped") + condition;
    Refresh();
}

void CCompanyPie::Refresh()
{
    platform::Database &db = SharedDatabase();
    const Money total = CompanyPieTotal(db, m_strCondition);
    m_ribbon.SetItemText(kDateItem, QStringLiteral("Date Range: ") + m_strCaption);
    m_ribbon.SetItemText(kSalesItem, CompanyPieSalesCaption(total));
    const QStringList statements = CompanyPieStatements(m_strCondition);
    for (int i = 0; i < 8; ++i)
        FillPie(*m_pies[size_t(i)], statements[i], total);
    update();
}

void CCompanyPie::FillPie(CPieChartCtrl &pie, const QString &sql, Money total)
{
    pie.RemoveAll();
    for (const PieSlice &slice : CompanyPieSlices(SharedDatabase(), sql, total))
        pie.AddPiece(slice.label, slice.amount, GetSysColorEx(std::uint8_t(slice.paletteIndex)));
    pie.update();
}
