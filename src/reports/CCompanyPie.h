#pragma once

#include "app/base/Menus.h"
#include "controls/CPieChartCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXWnd.h"
#include "platform/DateTime.h"
#include "reports/CompanyPieRules.h"
#include "views/CDlg0.h"

#include <array>

// "At a Glance" / "Top Sales" (dialog 531): eight pies of the largest
// contributors to the net sales of the invoices shipped in a date range.
class CCompanyPie : public CDlg0, public PopupMenuOwner
{
    Q_OBJECT

public:
    static constexpr unsigned kRibbon = 1721;

    explicit CCompanyPie(QWidget *parent);
    ~CCompanyPie() override;

    // Applies a date-range command (20031-20054) and refreshes the pies.
    void OnDateRange(int code);
    void Refresh();

    CPieChartCtrl &pie(int i) { return *m_pies[size_t(i)]; }
    CXRibbon &ribbon() { return m_ribbon; }
    int dateRangeCode() const { return m_nDateRange; }
    QString rangeCondition() const { return m_strCondition; }

    // The range in force is ticked in the "Date" menu.
    void OnInitPopupMenu(QMenu *subMenu, int position) override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;

private:
    void FillPie(CPieChartCtrl &pie, const QString &sql, Money total);

    std::array<CXWnd, 8> m_panels;
    std::array<CPieChartCtrl *, 8> m_pies{};
    CXRibbon m_ribbon;
    int m_nDateRange = 0;
    DateTime m_from;
    DateTime m_to;
    QString m_strCaption;
    QString m_strCondition;
};
