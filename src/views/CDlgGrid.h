#pragma once

#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "views/CDlg0.h"

#include <array>
#include <cstdint>

// The base of the grid dialogs (inventory, item costs, quick sale, service
// price tables): a cell grid over control 2111 with an optional second grid
// beside or below it, or a property grid in its place; OK, Cancel and a row
// of optional buttons under the grids (1001-1004 with statics 1911-1914,
// 1005-1008 with statics 1915-1918), or, for a grid kind, one control of the
// derived dialog in their place.
//
// Buttons 1001-1004 end the dialog with their id; 1001 captioned
// "Change Icon" instead lets the user pick the current row's image; 1008
// opens the note of the table named by m_strNoteName.
class CDlgGrid : public CDlg0
{
    Q_OBJECT

public:
    static constexpr unsigned kGrid = 2111;
    static constexpr unsigned kSecondGrid = 2112;
    static constexpr int kMargin = 15;

    CDlgGrid(unsigned templateId, QWidget *parent, int gridKind, int colourScheme);

    // Shift of the main grid to the right, a value kept for derived dialogs,
    // and the second grid's place relative to the main grid: (x, y) from its
    // bottom-left corner, or, with a negative x and y 0, |x| pixels to its
    // right, top-aligned.
    void SetGridOffsets(int shiftX, int reserved, int secondX, int secondY);

    // The value of a main-grid cell in the grid's current row (0 without one).
    int GetMainCellLong(int column) const;
    int GetSecondCellLong(int row, int column) const;
    void SetSecondCellLong(int row, int column, int value);

    std::uint8_t m_nTitleStyle = 1;
    QString m_strExtraCaption;
    CXGridCtrl m_wndGrid;
    CXGridCtrl m_wndGrid2;
    CXGridProp m_wndProp;
    int m_nGridKind = 0;
    std::array<int, 4> m_nGridOffsets{0, 0, 0, -1};

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id) override;
    // Takes what an open cell editor holds before the dialog ends.
    void OnOK() override;
    // Print: the grid's table under the ribbon title and the strip text.
    void OnPrintList() override;

    // The standard layout of a grid dialog of the given client size: the
    // title ribbon and strip, the grid placeholder, OK, Cancel and the button
    // rows (hidden until used). Derived dialogs may lay out their own.
    void AddStandardLayout(const QSize &size, const QRect &gridRect);

private:
    void LayoutAroundGrids(const QRect &placeholder);
    void ChangeIcon();
    static void EditFirstCell(CXGridCtrl &grid);
};
