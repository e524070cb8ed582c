#pragma once

#include "data/CSerSet.h"
#include "views/CView0.h"

#include <QtCore/QList>

// The main view of the shop's services (view 30002): the departments and
// categories in the list manager, the services of the chosen category in the
// list. From here services are opened, added, duplicated, deleted, re-sorted,
// moved to another category by dragging, and changed in bulk (status, unit
// costs, overhead multiplier); the departments and categories organiser and
// a category's quick notes open from here too.
class CViewServices : public CView0
{
    Q_OBJECT

public:
    // The commands of the view's "Services" button menu, in menu order (0: a separator).
    static const QList<int> &MenuCommands();
    static constexpr int kMenuButton = 31989;
    static constexpr int kMenuBase = 31990;

    explicit CViewServices(QWidget *parent = nullptr);

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool IsCommandEnabled(int id) override;
    bool CanDropOnTree(QTreeWidgetItem *entry) override;
    void DropOnTree() override;

    // The numbers of the selected rows, top to bottom.
    QList<qint32> SelectedServices();
    // Fills the list manager with the departments and categories.
    void FillServiceTree();
    // True while rows were moved and the new order is not saved.
    bool sortOrderChanged() const { return m_nMoveCount > 0; }

    CSerSet &services() { return m_set; }

private:
    void OnListNow();
    void OnNew();
    void OnOpen();
    void OnDuplicate();
    void OnNoticeButton();
    void OnOrganize();
    void OnQuickNotes();
    void OnCostMultiplier();
    void OnUpdateCosts();
    void OnChangeStatus();
    // Runs the service dialog on the view's record; true when it saved.
    bool RunServiceDialog(int openMode);
    void SaveSortOrder();
    void ClearSortFlag();
    void MarkServicesChanged();

    CSerSet m_set;
};
