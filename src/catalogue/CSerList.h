#pragma once

#include "controls/CXTreeCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlg0.h"

#include <QtCore/QList>

// "Service List:": the shop's departments and categories on the left, the
// active services of the chosen category on the right, as radio buttons
// (pick one) or check boxes (tick several). Paper is listed grouped by size
// or by name, as the workstation last chose. The picker may stay open beside
// its owner: every tick goes to the owner (serviceTicked, the message 30243)
// and the owner may tick or clear services from outside (SetTicked, 30244).
class CSerList : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kDepartmentTree = 2201;
    static constexpr unsigned kServiceTree = 2202;
    static const QString &WindowText();

    CSerList(qint32 department, qint32 category, qint32 current, bool multiPick, QWidget *parent);

    // The ticked list: no 0 and no number twice.
    void AddChecked(qint32 serNo);
    void RemoveChecked(qint32 serNo);
    qint32 GetChecked(int index) const;
    const QList<qint32> &checked() const { return m_checked; }

    // The owner's tick or clear from outside (30244): the item follows and
    // the ticked list is updated without telling the owner back.
    void SetTicked(qint32 serNo, bool ticked);
    // The open picker among the top-level windows (by its title); null when none.
    static CSerList *FindOpenPicker();

    // Lists the category as a choice in the department tree would.
    void ShowCategory(qint32 catNo);
    // Relists paper by size (style 1) or by name (0) and remembers the style.
    void TogglePaperStyle();
    int paperStyle() const { return m_nPaperStyle; }

    CXTreeCtrl &departmentTree() { return m_departments; }
    CXTreeOptCtrl &serviceTree() { return m_services; }
    QWidget *m_pBeside = nullptr; // a window to sit beside

signals:
    // 30243: a service was ticked or cleared by the user.
    void serviceTicked(qint32 serNo, bool ticked);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void FillDepartments();
    void OnDepartmentSelected();
    void OnServiceMessage(int message, qintptr wParam, qintptr lParam);
    void Finish();
    void CollectTicked();

    qint32 m_nDepartment = 0;
    qint32 m_nCategory = 0;
    qint32 m_nCurrent = 0;
    bool m_bMulti = false;
    bool m_bOfferNone = false; // the caller gave a current service
    int m_nPaperStyle = 1;
    qint32 m_nShownCategory = 0;
    bool m_bListing = false;
    QList<qint32> m_checked;
    CXTreeCtrl m_departments;
    CXTreeOptCtrl m_services;
};
