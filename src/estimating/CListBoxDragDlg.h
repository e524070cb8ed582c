#pragma once

#include "app/base/CListItem.h"
#include "controls/CXRibbon.h"
#include "views/CDlg0.h"

#include <QtCore/QList>

class CXTreeCtrl;
class QTreeWidgetItem;

// Puts rows into a new order on two levels, entries and sub-entries under
// them, by buttons or by dragging in the tree. The caller adds the rows
// (AddItem), runs the dialog and after OK reads m_rowsOut: every entry and
// sub-entry in tree order, number 7 the position of its entry (from 1) and
// number 8 its sub number (0 for an entry without sub-entries, 1 for an entry
// with some, 2, 3 ... for its sub-entries). Rows made in the dialog get ids
// -1, -2 ... below the lowest id handed in. Nothing is written here.
//
// The job window passes buttons 0x14 (levels and moves), the item window's
// service order 0x10 (moves only); 0x02 adds the add, edit and delete buttons.
class CListBoxDragDlg : public CDlg0
{
    Q_OBJECT

public:
    enum Buttons { AddEditButtons = 0x02, LevelButtons = 0x04, MoveButtons = 0x10 };

    CListBoxDragDlg(std::uint8_t flags, int buttons, QWidget *parent);
    ~CListBoxDragDlg() override;

    // Number 2 = image, 3 = the caller's value, 4 = level (0 or 1 entry, 2
    // and above sub-entry).
    void AddItem(long id, const QString &text, int image, int callerValue, int level);

    QList<CListItem> m_rowsIn;
    QList<CListItem> m_rowsOut;
    int m_nNewId = 0;
    int m_nEntryImage = 6;
    int m_nSubImage = 30;

    CXTreeCtrl *tree() const { return m_tree; }
    // Selects the row of an id.
    bool SelectId(long id);
    // Whether a button is enabled for the current selection.
    bool IsButtonEnabled(int id) const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;

private:
    void UpdateButtons();
    QTreeWidgetItem *selected() const;
    QTreeWidgetItem *NewItem(QTreeWidgetItem *parent, const QString &text);
    void EditDescription(QTreeWidgetItem *item);
    void Reinsert(QTreeWidgetItem *item, QTreeWidgetItem *parent, int index);
    void RefreshImages();

    int m_nButtons = 0;
    std::uint8_t m_nFlags = 0;
    CXRibbon m_wndTop;
    CXRibbon m_wndBottom;
    CXTreeCtrl *m_tree = nullptr;
};
