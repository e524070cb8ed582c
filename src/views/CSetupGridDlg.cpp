#include "views/CSetupGridDlg.h"

#include "controls/CXGridCtrl.h"
#include "views/SetupCatalogue.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

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

QString CSetupGridDlg::stripText() const
{
    return m_strip->text();
}

void CSetupGridDlg::setStripText(const QString &text)
{
    m_strip->setText(text);
    layoutGrids();
}

CXGridCtrl *CSetupGridDlg::BuildGrid(int index, const SetupGrid &d)
{
    auto *grid = new CXGridCtrl(this);
    for (const SetupColumn &c : d.columns) {
        const int column = grid->AddColumn(c.title, unsigned(c.width), unsigned(c.type), c.format, c.editable ? 1 : 0,
                                           c.align);
        Q_UNUSED(column);
    }
    // Columns bind to the table's fields by position unless a field list
    // binds them at load.
    grid->SetRows(d.rows, d.visible, true);
    grid->Create(this, index == 0 ? 1801 : 1802, kMargin, 0);
    grid->SetHeaderStyle(14, 2, 2);
    grid->SetColorScheme(m_hue);
    if (d.headerHeight > 0)
        grid->SetHeaderHeight(d.headerHeight);
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

void CSetupGridDlg::layoutGrids()
{
    int y = kMargin;
    int width = 420;
    m_title->setGeometry(kMargin, y, 600, 26);
    y += 28;
    for (CXGridCtrl *grid : {m_first, m_second})
        if (grid)
            width = qMax(width, grid->width());
    m_strip->setGeometry(kMargin, y, width, m_strip->heightForWidth(width) > 0 ? m_strip->heightForWidth(width) : 20);
    y += m_strip->height() + 6;
    for (CXGridCtrl *grid : {m_first, m_second}) {
        if (!grid)
            continue;
        grid->move(kMargin, y);
        y += grid->height() + 8;
    }
    m_buttons->setGeometry(kMargin, y, width, 32);
    y += 40;
    resize(width + 2 * kMargin, y);
}
