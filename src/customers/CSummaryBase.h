#pragma once

#include "controls/CXChartCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTable.h"
#include "views/CDlg0.h"

#include <QtCore/QDate>

#include <array>
#include <memory>

// The body the customer summary and the company summary share: captioned
// record lists in a column on the left, the monthly sales chart on the right
// with its ribbon of chart types, and Print and Close below.
class CSummaryBase : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kChartRibbon = 1721;
    static constexpr unsigned kChart = 1501;

    CXListCtrl &panelList(int index) { return *m_lists[size_t(index)]; }
    CXWnd &panel(int index) { return m_panels[size_t(index)]; }
    CXChartCtrl &chart() { return m_chart; }
    CXTable &table() { return m_table; }
    CXRibbon &chartRibbon() { return m_ribbon; }
    QDate startDate() const { return m_start; }

protected:
    CSummaryBase(unsigned templateId, int panelCount, const QStringList &titles, QWidget *parent);

    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    virtual void Fill() = 0;

    // Two-column list (description and amount) of fixed rows; with spread
    // the columns share the list's width.
    static void FillAmountList(CXListCtrl &list, int descriptionWidth, const QList<QPair<QString, QString>> &rows,
                               bool spread);
    // The monthly sales table and chart from the statement; the ribbon title
    // names the start date.
    void LoadMonthlySales(const QString &sql);
    void SetChartType(int type);

    int m_nPanels = 0;
    std::uint8_t m_nCaptionStyle = 14;
    bool m_bSpreadColumns = true; // the lists' columns share the width (the company's keep their own)
    std::array<CXWnd, 5> m_panels;
    std::array<CXListCtrl *, 5> m_lists{};
    CXRibbon m_ribbon;
    CXChartCtrl m_chart;
    CXTable m_table;
    QDate m_start;
};
