#pragma once

#include "controls/CXGridCtrl.h"
#include "views/CDlg0.h"

class CSerSet;

// The difficulty tables of one press or production service (one row of
// table ServiceDiffTables): additions by the paper's waste row, by the item's
// specs (run size, coverage, registration, bleed, back printed, with
// limits) and the speed gained on long runs. Cells are read and written by
// their position in the row. OK writes the cells changed here onto the row
// as it is now; a failed write, or the choice to save nothing now, leaves
// the window open with what was typed.
class CSerDiffTable : public CDlg0
{
    Q_OBJECT

public:
    enum ControlId : unsigned {
        IDC_PAPER_GRID = 2111, IDC_JOB_GRID = 2112, IDC_SPEED_GRID = 2113,
        IDC_PAPER_CAPTION = 1521, IDC_JOB_CAPTION, IDC_SPEED_CAPTION,
    };

    CSerDiffTable(const CSerSet &service, QWidget *parent);

    CXGridCtrl &paperGrid() { return m_paper; }
    CXGridCtrl &jobGrid() { return m_job; }
    CXGridCtrl &speedGrid() { return m_speed; }
    bool isChanged() const { return m_bChanged; }
    bool m_bLocked = false;

    // The 189 cells in the order of the stored row (after SerNo).
    QList<qint32> CellValues() const;
    // Writes the row when something changed; false (reported) on a failure.
    bool Save();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void BuildGrids();
    void Load();
    void EndEdits();
    // A field of the row (by position) named and shown as the window does.
    QString FieldLabel(int ordinal) const;
    QString FieldText(int ordinal, qint32 value) const;
    // Where a field of the row stands: its grid, row and column.
    const CXGridCtrl *FieldCell(int ordinal, int &row, int &column) const;

    qint32 m_nSerNo = 0;
    QString m_strFullName;
    CXGridCtrl m_paper;
    CXGridCtrl m_job;
    CXGridCtrl m_speed;
    CXWnd m_captions[3];
    bool m_bChanged = false;
    bool m_bFilling = false;
    QList<qint32> m_shownRow; // the row as loaded, as the window showed it
};
