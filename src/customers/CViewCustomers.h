#pragma once

#include "data/CCusSet.h"
#include "views/CView0.h"

// The customers view (view 30003): lists of customers, prospects, top and
// inactive customers, contacts and shipping addresses, and the commands that
// open, create, copy, delete and re-status them. The record kind of a
// command follows the tree's branch: 5 contacts, 6 ship-to addresses, every
// other branch customers.
class CViewCustomers : public CView0
{
    Q_OBJECT

public:
    static constexpr int kViewId = 30003;

    explicit CViewCustomers(QWidget *parent = nullptr);

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;

    CCusSet &customers() { return m_set; }

protected:
    void FillRibbons() override;

private:
    void OnOpen();
    void OnNew();
    void OnDuplicate();
    void OnDelete();
    void OnChangeStatus();
    void OnListNow();
    void OnFind();
    void OnAddressLabels();
    void OnEmail();
    void OpenCustomerWindow();
    void UpdateNotice();
    QList<qint32> SelectedKeys();

    CCusSet m_set;
};
