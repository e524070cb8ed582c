#pragma once

#include "jobs/JobCompareChain.h"
#include "views/CDlg0.h"

#include <array>

class CXListCtrl;
class CXTreeCtrl;
class QTreeWidgetItem;

// The job comparison "Compare Jobs" (755): a job's items and services beside
// those of the job it was copied from (any job of its chain, chosen in the
// tree), or beside the same job priced again by the current rules (saved
// against default prices). For one item the chain is the item's. It writes
// nothing.
class CJobCompare : public CDlg0
{
    Q_OBJECT

public:
    CJobCompare(qint32 jobId, QWidget *parent);

    qint32 m_nJobId = 0;
    qint32 m_nHistoryKey = 0; // 0 the job chain, kNoHistory none, else -ItemID
    int m_nItemNo = 0;        // the compared item, 0 the whole job

    CXTreeCtrl *tree() const { return m_tree; }
    CXListCtrl *list(int half) const { return m_lists[size_t(half)]; }
    CXRibbon &ribbon(int half) { return m_ribbons[size_t(half)]; }
    // Shows the node's job (or the default pricing for the root) on the right.
    void OnTreeSelection();

protected:
    bool OnInitDialog() override;
    void OnSize(int type, int cx, int cy) override;

private:
    void ShowJob(int half, qint32 jobId);
    void ShowDefaultPricing();
    void MarkItem(int half, int itemNo);
    void SetValueHeadings(bool defaults);

    CXTreeCtrl *m_tree = nullptr;
    std::array<CXListCtrl *, 2> m_lists{};
    std::array<CXRibbon, 2> m_ribbons;
    QTreeWidgetItem *m_root = nullptr;
    bool m_bFilling = false;
};
