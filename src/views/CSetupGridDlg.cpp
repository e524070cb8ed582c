#include "views/CSetupGridDlg.h"

#include "controls/CXGridCtrl.h"
#include "controls/CXGridProp.h"
#include "controls/DlgItem.h"
#include "views/CNoteDlg.h"
#include "views/SetupCatalogue.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

#include <algorithm>

namespace {
constexpr int kMargin = 8;
}

CSetupGridDlg::CSetupGridDlg(const QString &windowTitle, const QString &ribbonTitle, const QString &stripText,
                             int hue, QWidget *parent)
    : QDialog(parent), m_ribbonTitle(ribbonTitle), m_hue(hue)
{
    setObjectName(QStringLiteral("CSetupGridDlg"));
    setWindowTitle(windowTitle.isEmpty() ? QStringLiteral("Table") : windowTitle);
    m_title = new QLabel(ribbonTitle, this);
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_title->setFont(bold);
    m_strip = new QLabel(stripText, this);
    m_strip->setWordWrap(true);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_buttons = box;
    layoutGrids();
}

CSetupGridDlg::~CSetupGridDlg() = default;

void CSetupGridDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Borrowed by another window (the service window's markup and waste
    // tables, the schedule's centers and tags), the editor belongs to a
    // settings view that is never shown: it is centred over the window that
    // asked for it instead of the screen's corner.
    if (testAttribute(Qt::WA_Moved) || (parentWidget() && parentWidget()->window()->isVisible()))
        return;
    QWidget *over = QApplication::activeWindow();
    if (!over || over == this || !over->isVisible())
        return;
    QRect r = frameGeometry();
    r.moveCenter(over->frameGeometry().center());
    if (QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() + 1 - r.width())));
        r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() + 1 - r.height())));
    }
    move(r.topLeft());
}

QString CSetupGridDlg::stripText() const
{
    return m_strip->text();
}

void CSetupGridDlg::setStripText(const QString &text)
{
    m_strip->setText(text);
    layoutGrids();
}

void CSetupGridDlg::setHelpText(const QString &text)
{
    auto *box = qobject_cast<QDialogButtonBox *>(m_buttons);
    if (!box || text.isEmpty() || box->button(QDialogButtonBox::Help))
        return;
    box->addButton(QDialogButtonBox::Help);
    connect(box, &QDialogButtonBox::helpRequested, this, [this, text] {
        CNoteDlg note(QStringLiteral("Help"), QString(), text, 0, this);
        note.DoModal();
    });
    layoutGrids();
}

CXGridCtrl *CSetupGridDlg::BuildGrid(int index, const SetupGrid &d)
{
    auto *grid = new CXGridCtrl(this);
    for (const SetupColumn &c : d.columns) {
        grid->AddColumn(c.title, unsigned(c.width), unsigned(c.type), c.format, c.editable ? 1 : 0, c.align);
    }
    // Columns bind to the table's fields by position unless a field list
    // binds them at load.
    grid->SetRows(d.rows, d.visible, true);
    grid->Create(this, index == 0 ? 1801 : 1802, kMargin, 0);
    grid->SetHeaderStyle(14, 2, 2);
    grid->SetColorScheme(m_hue);
    if (d.headerHeight > 0)
        grid->SetHeaderHeight(d.headerHeight);
    if (d.highlightCurrentRow)
        grid->SetRowColors(true, 0);
    grid->SetRowsByKey(d.rowsByKey);
    if (d.rowsByKey)
        grid->SetKeyBase(d.keyBase);
    for (int c = 0; c < d.columns.size(); ++c) {
        grid->SetColumnMasked(c, d.columns[c].masked);
        if (d.columns[c].maximum > d.columns[c].minimum)
            grid->SetColumnRange(c, d.columns[c].minimum, d.columns[c].maximum);
        if (d.columns[c].money)
            grid->SetColumnMoney(c);
        if (d.columns[c].rate)
            grid->SetColumnRate(c);
        if (d.columns[c].notNegative)
            grid->SetColumnNotNegative(c);
    }
    for (const SetupPicks &p : d.picks)
        grid->AddPickItems(p.column, p.firstValue, p.list);
    for (int row : d.readOnlyRows)
        grid->SetRowEditable(row, 0);
    for (const SetupCell &cell : d.readOnlyCells)
        grid->SetCellEditable(cell.row, cell.column, 0);
    for (const SetupCell &cell : d.fixedTexts)
        grid->SetCellText(cell.row, cell.column, cell.text);
    for (const SetupCell &cell : d.startValues)
        grid->SetCellValue(cell.row, cell.column, cell.value);
    if (index == 0)
        m_first = grid;
    else
        m_second = grid;
    layoutGrids();
    return grid;
}

void CSetupGridDlg::ApplyFixedCells(CXGridCtrl &grid, const SetupGrid &d)
{
    for (const SetupCell &cell : d.fixedTexts)
        grid.SetCellText(cell.row, cell.column, cell.text);
}

void CSetupGridDlg::SetSecondBeside(bool beside)
{
    m_beside = beside;
    layoutGrids();
}

void CSetupGridDlg::SetFirstOffset(int pixels)
{
    m_firstOffset = pixels;
    layoutGrids();
}

void CSetupGridDlg::PlacePropertyGrid(CXGridProp *grid, int labelWidth, int valueWidth)
{
    // The labels show whole when the screen has room for them.
    if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const int room = s->availableGeometry().width() - 2 * kMargin - 16 - valueWidth;
        labelWidth = std::max(labelWidth, std::min(grid->widestLabel(), room));
    }
    auto *place = new QWidget(this);
    SetDlgCtrlID(place, 1801);
    place->setGeometry(kMargin, 0, labelWidth + valueWidth, 100);
    grid->SetColumnWidths(labelWidth, valueWidth);
    grid->CreateInDlgItem(this, 1801, m_hue, labelWidth);
    m_prop = grid;
    layoutGrids();
}

void CSetupGridDlg::fitGridsToScreen(int top)
{
    // The dialog never grows past the screen's free area: the grids show
    // fewer rows (the rest scroll) and narrower text columns instead.
    QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const int frame = 40; // the window's title bar and borders
    const int maxWidth = area.width() - 2 * kMargin - 16;
    int room = area.height() - frame - top - 48;
    if (m_first && m_second && !m_beside) {
        const int secondMinimum = m_second->GetHeaderHeight() + 3 * m_second->rowHeight() + 1;
        m_first->FitInto(maxWidth - m_firstOffset, room - secondMinimum - 8);
        room -= m_first->height() + 8;
        m_second->FitInto(maxWidth, room);
    } else if (m_first && m_second) {
        m_first->FitInto(maxWidth / 2 - 5 - m_firstOffset, room);
        m_second->FitInto(maxWidth - m_firstOffset - m_first->width() - 10, room);
    } else if (m_first) {
        m_first->FitInto(maxWidth - m_firstOffset, room);
    }
}

void CSetupGridDlg::layoutGrids()
{
    int y = kMargin;
    int width = 420;
    m_title->setGeometry(kMargin, y, std::max(600, m_title->sizeHint().width()), 26);
    y += 28;
    {
        const int stripHeight = m_strip->heightForWidth(600);
        fitGridsToScreen(y + (stripHeight > 0 ? stripHeight : 20) + 6);
    }
    int gridsWidth = 0;
    if (m_first)
        gridsWidth = m_firstOffset + m_first->width();
    if (m_second)
        gridsWidth = m_beside ? gridsWidth + 10 + m_second->width() : qMax(gridsWidth, m_second->width());
    if (m_prop)
        gridsWidth = qMax(gridsWidth, m_prop->width());
    width = qMax(width, gridsWidth);
    m_strip->setGeometry(kMargin, y, width, m_strip->heightForWidth(width) > 0 ? m_strip->heightForWidth(width) : 20);
    y += m_strip->height() + 6;
    int bottom = y;
    if (m_prop) {
        m_prop->move(kMargin, y);
        bottom = y + m_prop->height() + 8;
    }
    if (m_first) {
        m_first->move(kMargin + m_firstOffset, y);
        bottom = qMax(bottom, y + m_first->height() + 8);
    }
    if (m_second) {
        if (m_beside) {
            m_second->move(kMargin + m_firstOffset + (m_first ? m_first->width() : 0) + 10, y);
            bottom = qMax(bottom, y + m_second->height() + 8);
        } else {
            m_second->move(kMargin, bottom);
            bottom += m_second->height() + 8;
        }
    }
    y = bottom;
    m_buttons->setGeometry(kMargin, y, width, 32);
    y += 40;
    resize(width + 2 * kMargin, y);
}
