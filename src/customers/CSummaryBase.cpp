#include "customers/CSummaryBase.h"

#include "controls/DlgItem.h"
#include "customers/SummaryFigures.h"
#include "platform/Clock.h"

#include <QtCore/QLocale>

CSummaryBase::CSummaryBase(unsigned templateId, int panelCount, const QStringList &titles, QWidget *parent)
    : CDlg0(templateId, parent), m_nPanels(panelCount)
{
    m_nColorScheme = 210;
    // As high as the smallest screen holds.
    resize(1000, 728);
    // Each list as high as the rows it holds at most (the last one's rows
    // scroll); what is left is shared.
    const int rows[5] = {5, 5, 5, 4, 7};
    const int fixed = panelCount == 5 ? 0 : (668 - panelCount * 24) / panelCount;
    int y = 6;
    for (int i = 0; i < panelCount; ++i) {
        const int listHeight = fixed ? fixed : 24 + rows[i] * 18;
        AddPlaceholder(unsigned(1901 + i), QRect(6, y, 330, 22), titles.value(i));
        y += 22;
        auto *list = new CXListCtrl(this);
        list->setGeometry(6, y, 330, listHeight);
        SetDlgCtrlID(list, unsigned(1401 + i));
        m_lists[size_t(i)] = list;
        y += listHeight + 2;
    }
    AddPlaceholder(kChartRibbon, QRect(344, 6, 650, 32), QStringLiteral("Sales "));
    AddPlaceholder(kChart, QRect(344, 40, 650, 638));
    AddButton(30330, QStringLiteral("Print..."), QRect(794, 688, 96, 30));
    AddButton(2, QStringLiteral("Close"), QRect(898, 688, 96, 30));
}

bool CSummaryBase::OnInitDialog()
{
    CDlg0::OnInitDialog();
    SetBackColor(0xFFFFFF);
    for (int i = 0; i < m_nPanels; ++i) {
        m_panels[size_t(i)].CreateFromItem(this, unsigned(1901 + i), m_nColorScheme, m_nCaptionStyle, 2, 2, 2084,
                                           QString());
        CXListCtrl &list = *m_lists[size_t(i)];
        list.setSelectionBehavior(QAbstractItemView::SelectRows);
        list.SetImageListAndStyle(131, 0, 0);
        list.SetDrawStyle(3, m_panels[size_t(i)].color(2), 0, 0, 167);
        if (m_bSpreadColumns)
            list.SetAutoSizeMode(CXListCtrl::kFitSpread, false);
    }
    if (m_ribbon.Create(this, kChartRibbon, m_nColorScheme, 1, 131, 8, 32, 3, 0, 0, 26)) {
        connect(&m_ribbon, &CXWnd::commandTriggered, this, &CDlg0::SendCommand);
        m_ribbon.AddItem(30281, QStringLiteral("Sales"), struct_RIB_ITEM::Plain, 0, 255, 2, 2084, 0, 0, 400);
        m_ribbon.AddChartTypeGroup();
        m_ribbon.RemoveItem(3004); // no pie of months
        m_ribbon.RecalcLayout(30281);
    }
    m_chart.CreateInDlgItem(this, kChart, m_nColorScheme);
    m_chart.LoadTable(&m_table, 3003);
    Fill();
    SetChartType(3003);
    return true;
}

bool CSummaryBase::OnCommand(int id)
{
    if (id >= 3000 && id <= 3003) {
        SetChartType(id);
        return true;
    }
    return CDlg0::OnCommand(id);
}

void CSummaryBase::SetChartType(int type)
{
    m_chart.SetChartType(type, true);
    for (int t = 3000; t <= 3003; ++t)
        m_ribbon.EnableItem(unsigned(t), t != type);
}

void CSummaryBase::FillAmountList(CXListCtrl &list, int descriptionWidth, const QList<QPair<QString, QString>> &rows,
                                  bool spread)
{
    list.ClearList(false);
    list.AddColumn(QStringLiteral("Description"), descriptionWidth, 10, true, 0);
    list.AddColumn(QStringLiteral("Amount"), 70, 5, false, 1);
    for (int i = 0; i < rows.size(); ++i) {
        const int row = list.InsertRow(i, rows[i].first, i + 1);
        list.SetItemText(row, 1, rows[i].second);
    }
    if (spread)
        list.SetAutoSizeMode(CXListCtrl::kFitSpread, true);
}

void CSummaryBase::LoadMonthlySales(const QString &sql)
{
    m_table.LoadQueryWithProgress(sql, CXTable::TotalsOneRow, 2, QStringLiteral("Total"));
    m_chart.LoadTable(&m_table, 0);
    // The date in the caption is the user's; the statement's is Jet's.
    m_ribbon.SetItemText(30281, QStringLiteral("Monthly Sales (Orders shipped and posted on or after %1)")
                                    .arg(QLocale().toString(m_start, QLocale::ShortFormat)));
}
