#pragma once

#include "controls/CXGridProp.h"
#include "data/CSerSet.h"
#include "views/CDlg0.h"

#include <functional>

class CItemSet;

// "Paper Specs": how one paper of an item is used: sheets, colour, vendor,
// parent, run and finish sizes with the pieces out and up, the inks of each
// side, the print style and the difficulties. It changes the item's paper
// row in memory and never writes; its result flags tell the item window what
// to do next (a replaced paper, sizes or inks changed, a second paper for an
// odd page count).
class CEditPaper : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kGrid = 2111;
    enum Row {
        RowModified = 0, RowReminder, RowInStock, RowHowMany, RowSheets, RowColor, RowVendor, RowSizes, RowParent,
        RowRun, RowFinish, RowSides, RowFront, RowFrontInks, RowBack, RowBackInks, RowPrintAs, RowDifficulties,
        RowCoverage, RowRegistration, RowBleed, RowCount
    };

    // The paper row (its note parts split) and the paper's service row.
    CEditPaper(CItemSet &item, const CSerSet &service, int offset, QWidget *parent);

    // Set by the caller before DoModal.
    quint8 m_nQuantityUnit = 0;
    bool m_bNoReplace = false;
    bool m_bDigital = false;
    int m_nStartRow = RowSheets;

    // Results for the caller.
    bool m_bSecondPaper = false;
    bool m_bSizesChanged = false;
    bool m_bInksChanged = false;
    qint32 m_nCutsToRun = 0;
    qint32 m_nCutsToFinish = 0;

    // The paper the dialog holds: another than the row's after Replace.
    const CSerSet &paper() const { return m_paper; }
    CItemSet &item() { return m_item; }
    CXGridProp &grid() { return m_grid; }
    QString ribbonTitle() const { return m_strRibbonTitle; }
    // The paper's full name, its size and colour, as the cutter shows them.
    QString cutterCaption() const;

    // The paper cutter of the estimating area: shown (true on its OK) or
    // only computing the layouts. It works on item(): sizes, Out, Up,
    // Opt1-Opt4 and the two cut counts. Without one installed the shown
    // cutter says it is not available and the computed one changes nothing.
    using CutterHook = std::function<bool(CEditPaper &dialog, bool show)>;
    static void SetCutterHook(CutterHook hook);

    // Pages of a paper: both sides printed count two per sheet.
    static qint32 PagesOf(qint32 sheets, quint8 side1, quint8 side2);

    // Recomputes the cutting layout of item() without showing the cutter
    // (the caller's step after a replaced paper changed the sizes).
    void CalcLayouts();

    // Row changes as the grid reports them, and the commands.
    void OnRowChanged(int row);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    void OnOK() override;
    // True when the note the colour, sizes and inks are kept in fits its
    // column; else the field is refused by name.
    bool NoteFits();

private:
    void BuildRows();
    void Exchange(bool save);
    void Retitle();
    void FitSizes();
    void RunCutter(bool show);
    void BleedCheck();
    void OnDigital(bool sidesOnly);
    void OnBackAsFront();
    void OnInksNote();
    void OnColorNote();
    void OnReplace();

    CItemSet &m_item;
    CSerSet m_paper;
    int m_nOffset = 0;
    bool m_bExchanging = false;
    CXGridProp m_grid;
};
