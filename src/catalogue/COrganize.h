#pragma once

#include "controls/CXRibbon.h"
#include "controls/CXTreeCtrl.h"
#include "views/CDlg0.h"

#include <QtCore/QList>
#include <QtCore/QSet>

#include "catalogue/OrganizeRules.h"

// "Service Departments and Categories": the shop's departments (up to 12)
// and their categories in a tree that the user arranges: add, rename,
// recolour, move and delete departments and categories. Nothing is written
// until "Save & Close", which writes the whole arrangement in one
// transaction, onto the tables as they are then (see SaveOrganisation).
// The tree is read from the tables when the organiser opens, not from
// the lists read at start-up. After a database upgrade the dialog saves at once without
// showing itself, so every row gets its sort number and colour.
class COrganize : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kTree = 2201;
    static constexpr unsigned kTopRibbon = 1731;
    static constexpr unsigned kSideRibbon = 1732;
    enum Command : int {
        AddDepartmentCmd = 1001,
        AddCategoryCmd = 1002,
        MoveTopCmd = 30236,
        MoveBottomCmd = 30237,
        DownCmd = 30238,
        UpCmd = 30239,
        RenameCmd = 30103,
        RenameKeyCmd = 30100,
        ChangeColorCmd = 30664,
        DeleteCmd = 30113,
        SaveCloseCmd = 30444,
        ExpandCmd = 30532,
    };

    explicit COrganize(QWidget *parent);

    // Empties the tree and fills it with the arrangement: the departments,
    // each with its categories.
    static void FillTree(CXTreeCtrl &tree, const QList<OrganisedDepartment> &arrangement);
    // The same from the application's lists: the departments but the
    // placeholder 0, each with its categories.
    static void FillTree(CXTreeCtrl &tree);

    // Saves at once when opened (set after a database upgrade).
    bool m_bSaveAtOnce = false;

    CXTreeCtrl &tree() { return m_tree; }
    CXRibbon &sideRibbon() { return m_side; }
    bool changed() const { return m_bChanged; }
    qint32 freeDepartment() const { return m_nFreeDepartment; }
    // The arrangement as the tree holds it.
    QList<OrganisedDepartment> Arrangement() const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnCancel() override;

private:
    void UpdateButtons();
    void RecomputeFreeDepartment();
    QSet<qint32> CategoryNumbers() const;
    void AddDepartment();
    void AddCategory();
    void Move(int command);
    void Rename();
    void ChangeColor();
    void Delete();
    bool SaveAndClose();
    static int DepartmentColour(const QTreeWidgetItem *department);

    CXTreeCtrl m_tree;
    CXRibbon m_top;
    CXRibbon m_side;
    bool m_bChanged = false;
    qint32 m_nFreeDepartment = 0;
    // The arrangement as the tables held it when the organiser opened (or
    // last saved): what this user changed is weighed against it.
    QList<OrganisedDepartment> m_read;
};
