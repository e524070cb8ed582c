#pragma once

#include "views/CDlg0.h"

#include <cstdint>

class CXTreeCtrl;
class QTreeWidgetItem;

// Picks one code from a tree: an employee (operator, CSR, sales rep), an
// office task, a production tag, a product type or an image number. The
// caller names the kind and the preselected code and reads m_nChosen after
// IDOK. A kind without any entry ends at once as cancelled, unseen.
class CDlgTree : public CDlg0
{
    Q_OBJECT

public:
    CDlgTree(std::uint8_t kind, long preselected, QWidget *parent);

    std::uint8_t m_nKind = 0;
    long m_nPreselected = 0;
    long m_nChosen = 0;
    long m_nFirstImage = 0;
    long m_nLastImage = 0;

    CXTreeCtrl *tree() const { return m_tree; }

    // The employee's icon in the small image list: 100 (everyone) 0, 0 (none)
    // 1, any other (number - 1) % 10 + 2.
    static int EmployeeIcon(int empNo);

protected:
    bool OnInitDialog() override;
    void OnSize(int type, int cx, int cy) override;

private:
    // One leaf per record: the first text field as text, the first number
    // field as data; `imageOf` gives the leaf's image from the record.
    int FillFromQuery(QTreeWidgetItem *root, const QString &sql, int imageKind);
    void OnSelectionChanged(QTreeWidgetItem *item);
    void GrowToFit();

    CXTreeCtrl *m_tree = nullptr;
    int m_titleImageList = 134;
};
