#include "views/CDlgGrid.h"

#include "app/base/CZqApp.h"
#include "app/base/PrintService.h"
#include "controls/DlgItem.h"
#include "views/CDlgTree.h"
#include "views/TextRoom.h"

#include <algorithm>

#include <QtCore/QCoreApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QPushButton>

namespace {
constexpr unsigned kExtraButton = 1001;
constexpr unsigned kNoteButton = 1008;
constexpr unsigned kFirstStatic = 1911;
const QString kChangeIcon = QStringLiteral("Change Icon");
} // namespace

CDlgGrid::CDlgGrid(unsigned templateId, QWidget *parent, int gridKind, int colourScheme)
    : CDlg0(templateId, parent), m_nGridKind(gridKind)
{
    m_nColorScheme = colourScheme;
    m_crBack = 0xFFFFFF;
}

void CDlgGrid::SetGridOffsets(int shiftX, int reserved, int secondX, int secondY)
{
    m_nGridOffsets = {shiftX, reserved, secondX, secondY};
}

int CDlgGrid::GetMainCellLong(int column) const
{
    const int row = m_wndGrid.GetCurRow();
    return row < 0 ? 0 : m_wndGrid.GetCellValue(row, column);
}

int CDlgGrid::GetSecondCellLong(int row, int column) const
{
    return m_wndGrid2.GetCellValue(row, column);
}

void CDlgGrid::SetSecondCellLong(int row, int column, int value)
{
    m_wndGrid2.SetCellValue(row, column, value);
}

void CDlgGrid::AddStandardLayout(const QSize &size, const QRect &gridRect)
{
    // The window is at least tall enough for OK and Cancel under the grid.
    const int needed = gridRect.bottom() + 12 + 40 + 32 + 12;
    resize(size.width(), std::max(size.height(), needed));
    AddPlaceholder(1901, QRect(0, 0, size.width(), 40));
    AddPlaceholder(1902, QRect(0, 40, size.width(), 24));
    AddPlaceholder(kGrid, gridRect);
    const int buttonsTop = gridRect.bottom() + 12;
    for (int i = 0; i < 4; ++i) {
        AddButton(kExtraButton + unsigned(i), QString(), QRect(kMargin + i * 104, buttonsTop, 98, 28))->hide();
        AddButton(1005 + unsigned(i), QString(), QRect(size.width() - kMargin - (4 - i) * 104, buttonsTop, 98, 28))
            ->hide();
    }
    SetItemText(kNoteButton, QStringLiteral("Note"));
    const int okTop = buttonsTop + 40;
    AddButton(1, QStringLiteral("OK"), QRect(size.width() / 2 - 110, okTop, 104, 32));
    AddButton(2, QStringLiteral("Cancel"), QRect(size.width() / 2 + 6, okTop, 104, 32));
}

bool CDlgGrid::OnInitDialog()
{
    CDlg0::OnInitDialog();
    InitRibbons(6, m_nTitleStyle, 2, 14);
    const QWidget *placeholder = GetDlgItem(this, kGrid);
    const QRect place = placeholder ? placeholder->geometry() : QRect();
    bool created = true;
    if (m_wndProp.GetRowCount() > 0) {
        // A property sheet takes the grid's place; the cell grids stay unmade.
        if (m_wndProp.CreateInDlgItem(this, kGrid, m_nColorScheme, 0))
            QCoreApplication::postEvent(&m_wndProp,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
    } else {
        m_wndGrid.SetColorScheme(m_nColorScheme);
        if (m_wndGrid.CreateInDlgItem(this, kGrid)) {
            if (m_nGridOffsets[0])
                m_wndGrid.move(m_wndGrid.x() + m_nGridOffsets[0], m_wndGrid.y());
            if (m_wndGrid2.GetColumnCount() > 0) {
                const QRect main = m_wndGrid.geometry();
                const int secondX = m_nGridOffsets[2];
                const int secondY = m_nGridOffsets[3];
                QPoint at(main.left() + secondX, main.bottom() + 1 + secondY);
                if (secondX < 0 && secondY == 0)
                    at = QPoint(main.right() + 1 + -secondX, main.top());
                m_wndGrid2.SetColorScheme(m_nColorScheme);
                created = m_wndGrid2.Create(this, kSecondGrid, at.x(), at.y());
            }
            EditFirstCell(m_wndGrid);
            if (m_wndGrid2.isCreated())
                EditFirstCell(m_wndGrid2);
        }
    }
    if (placeholder || m_wndProp.isCreated() || m_wndGrid.isCreated())
        LayoutAroundGrids(place);
    CenterAndAnimate(0);
    return created;
}

void CDlgGrid::EditFirstCell(CXGridCtrl &grid)
{
    for (int r = 0; r < grid.GetRowCount(); ++r) {
        if (grid.IsCaptionRow(r))
            continue;
        for (int c = 0; c < grid.GetColumnCount(); ++c) {
            if (grid.IsCellEditable(r, c)) {
                grid.EditCell(r, c);
                return;
            }
        }
    }
}

void CDlgGrid::LayoutAroundGrids(const QRect &placeholder)
{
    // The window stays within the screen: a grid wider than the room scrolls
    // sideways inside it, and one too high shows fewer rows (the rest scroll),
    // leaving room for what stands below it.
    const QSize room = WindowRoom(this);
    const int below = std::max(0, height() - (placeholder.isNull() ? height() : placeholder.bottom() + 1));
    if (m_wndGrid.isCreated()) {
        int maxHeight = room.height() - m_wndGrid.y() - below;
        if (m_wndGrid2.isCreated() && m_wndGrid2.y() > m_wndGrid.y())
            maxHeight -= m_wndGrid2.height() + 1 + std::max(0, m_nGridOffsets[3]);
        const int maxWidth = room.width() - kMargin - m_wndGrid.x();
        const QSize was = m_wndGrid.size();
        if (m_wndGrid.width() > maxWidth || m_wndGrid.height() > maxHeight) {
            m_wndGrid.LimitSize(maxWidth, maxHeight);
            if (m_wndGrid2.isCreated() && m_wndGrid2.y() > m_wndGrid.y())
                m_wndGrid2.move(m_wndGrid2.x(), m_wndGrid2.y() + m_wndGrid.height() - was.height());
        }
    }
    if (m_wndGrid2.isCreated() && m_wndGrid2.geometry().right() + 1 + kMargin > room.width())
        m_wndGrid2.LimitSize(room.width() - kMargin - m_wndGrid2.x(), m_wndGrid2.height());
    QRect used;
    for (const QWidget *w : {static_cast<const QWidget *>(&m_wndProp), static_cast<const QWidget *>(&m_wndGrid),
                             static_cast<const QWidget *>(&m_wndGrid2)})
        if (static_cast<const CXWnd *>(w)->isCreated())
            used = used.united(w->geometry());
    if (used.isNull())
        return;
    const int newWidth = std::min(std::max(width(), used.right() + 1 + kMargin),
                                  std::max(room.width(), used.right() + 1 + kMargin));
    const int dw = newWidth - width();
    const int dh = placeholder.isNull() ? 0 : used.bottom() - placeholder.bottom();
    resize(newWidth, std::max(used.bottom() + 1 + kMargin, height() + dh));
    GrowItemBy(1901, dw, 0);
    GrowItemBy(1902, dw, 0);

    // OK and Cancel keep their spacing and move to the middle.
    QWidget *ok = GetDlgItem(this, 1);
    QWidget *cancel = GetDlgItem(this, 2);
    if (ok && cancel) {
        const int pair = cancel->geometry().right() - ok->x();
        const int left = (newWidth - pair) / 2;
        cancel->move(left + (cancel->x() - ok->x()), cancel->y() + dh);
        ok->move(left, ok->y() + dh);
    } else {
        MoveItemBy(1, 0, dh);
        MoveItemBy(2, 0, dh);
    }

    if (m_nGridKind != 0) {
        for (unsigned id : {1u, 2u, kFirstStatic})
            ShowItem(id, false);
        for (unsigned id = kExtraButton; id <= kNoteButton; ++id)
            ShowItem(id, false);
        MoveItemBy(unsigned(m_nGridKind), 0, dh);
        ShowItem(unsigned(m_nGridKind), true);
        return;
    }
    if (!m_strExtraCaption.isEmpty()) {
        SetItemText(kExtraButton, m_strExtraCaption);
        ShowItem(kExtraButton, true);
    }
    if (!m_strNoteName.isEmpty())
        ShowItem(kNoteButton, true);
    for (unsigned i = 0; i < 4; ++i) {
        MoveItemBy(kExtraButton + i, 0, dh);
        MoveItemBy(kFirstStatic + i, 0, dh);
        MoveItemBy(1005 + i, dw, dh);
        MoveItemBy(1915 + i, dw, dh);
    }
}

bool CDlgGrid::OnCommand(int id)
{
    switch (id) {
    case 1001:
        if (m_strExtraCaption == kChangeIcon) {
            ChangeIcon();
            return true;
        }
        EndDialog(id);
        return true;
    case 1002:
    case 1003:
    case 1004:
        EndDialog(id);
        return true;
    case 1008:
        ShowTableNote(m_strNoteName);
        return true;
    default:
        return CDlg0::OnCommand(id);
    }
}

void CDlgGrid::OnPrintList()
{
    PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr;
    if (!printing || !m_wndGrid.isCreated()) {
        CDlg0::OnPrintList();
        return;
    }
    m_wndGrid.EndEdit();
    printing->PrintGrid(this, &m_wndGrid, m_wndGrid2.isCreated() ? &m_wndGrid2 : nullptr, m_strRibbonTitle,
                        m_strStripText);
}

void CDlgGrid::OnOK()
{
    // A value still in a cell editor belongs to the grid once OK is pressed.
    if (m_wndGrid.isCreated())
        m_wndGrid.EndEdit();
    if (m_wndGrid2.isCreated())
        m_wndGrid2.EndEdit();
    if (m_wndProp.isCreated())
        m_wndProp.EndEdit();
    EndDialog(IDOK_RESULT);
}

void CDlgGrid::ChangeIcon()
{
    const int row = m_wndGrid.GetCurRow();
    if (!m_wndGrid.isCreated() || row < 0 || m_wndGrid.GetColumnCount() < 3)
        return;
    m_wndGrid.EndEdit();
    const int current = m_wndGrid.GetCellValue(row, 2) & 0xFF;
    CDlgTree picker(30, current, this);
    picker.m_nFirstImage = 152;
    picker.m_nLastImage = 179;
    if (picker.DoModal() != IDOK_RESULT || picker.m_nChosen == current)
        return;
    m_wndGrid.SetCellValue(row, 2, int(picker.m_nChosen & 0xFF));
    m_wndGrid.m_modified = 1;
    m_wndGrid.Refresh();
}
