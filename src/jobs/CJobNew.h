#pragma once

#include "controls/CXListCtrl.h"
#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "views/CDlg0.h"

#include <QtCore/QString>

// The new job dialog (690): three questions in a tree ("What type of Job?",
// "Who ordered the Job?", "And your name is (CSR)?") and the customers of the
// chosen kind in a list, where a customer's buyers open below its row. OK
// hands the job type, customer, buyer and CSR to the caller, after the
// customer warning; it creates nothing but, for a new customer, the customer.
class CJobNew : public CDlg0
{
    Q_OBJECT

public:
    // Tree entries that are not a type (1-3) or a CSR (100-199).
    enum Choice { WalkIn = 5, Regular = 6, NewCustomer = 7, FindCustomer = 8 };
    static constexpr qint32 kWalkInCustomer = 31;
    static constexpr qint32 kNewCustomerRow = 10;

    CJobNew(qint32 cusNo, QWidget *parent);

    // Results (the job type is preset by the caller).
    int m_nJobType = -1;
    qint32 m_nCusNo = 0;
    qint32 m_nBuyerNo = 0;
    int m_nCsr = 0;
    // Set by the caller after a scan: the scanned CSR in place of the
    // workstation's, and a type the workstation's setting does not replace.
    int m_nPresetCsr = 0;
    bool m_bTypeFixed = false;

    CXTreeCtrl &tree() { return m_tree; }
    CXListCtrl &list() { return m_list; }
    CXRibbon &ribbon() { return m_ribbon; }
    // Lists for a tree choice (as the tree's selection does).
    void ListChoice(int choice);
    // Shows or hides the buyers of the customer row.
    void ToggleBuyers(int row);
    bool isBuyerRow(int row);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void BuildTree();
    void SetHint(const QString &hint);
    void OnOptions();
    void MarkSelectedRow();

    CXRibbon m_ribbon;
    CXTreeCtrl m_tree;
    CXListCtrl m_list;
    int m_nChoice = 0;
    int m_nViewColumn = -1;
    bool m_bBuilding = false;
};
