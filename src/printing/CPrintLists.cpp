// List, table, grid, tree and text-file pages of the print engine: what the
// user sees as a list is printed as shown, one page per call, with the page
// header, column headings, as many rows as fit and either "continued..." or
// the totals.
#include "printing/CPrint.h"

#include "app/base/Appearance.h"
#include "app/base/Colours.h"
#include "app/base/ImageList.h"
#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/QuantityText.h"
#include "controls/CXChartCtrl.h"
#include "controls/CXGridCtrl.h"
#include "controls/CXListCtrl.h"
#include "controls/CXTreeCtrl.h"
#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTreeWidgetItem>

#include <algorithm>

namespace {

const QString kContinued = QStringLiteral("continued...");

// The item after this one in display order (first child, next sibling, the
// next sibling of the nearest ancestor that has one).
QTreeWidgetItem *nextInOrder(QTreeWidget *tree, QTreeWidgetItem *item, int &depth)
{
    if (item->childCount() > 0) {
        ++depth;
        return item->child(0);
    }
    while (item) {
        QTreeWidgetItem *parent = item->parent();
        const int index = parent ? parent->indexOfChild(item) : tree->indexOfTopLevelItem(item);
        const int siblings = parent ? parent->childCount() : tree->topLevelItemCount();
        if (index + 1 < siblings)
            return parent ? parent->child(index + 1) : tree->topLevelItem(index + 1);
        item = parent;
        --depth;
    }
    return nullptr;
}

} // namespace

// --- columns --------------------------------------------------------------------

void CPrint::AddColumn(const QString &title, int width, int fieldType, int format)
{
    m_columns.emplace_back(int(m_columns.size()), title, width, fieldType, format);
}

void CPrint::BuildColumns()
{
    m_columns.clear();
    if (m_nKind == 100 && m_pList && !m_pChart) {
        m_pList->FetchAll();
        QHeaderView *header = m_pList->header();
        const int count = m_pList->GetColumnCount();
        for (int visual = 0; visual < count; ++visual) {
            const int logical = header ? header->logicalIndex(visual) : visual;
            if (logical < 0 || logical >= count)
                continue;
            CGridCell cell = m_pList->GetColumnRecord(logical);
            cell.m_index = logical;
            cell.m_width = header && header->isSectionHidden(logical) ? 0 : m_pList->GetColumnWidth(logical);
            if (m_nOptions != 0) {
                cell.m_totalMode = CGridCell::TotalNone;
                cell.m_total = 0;
            }
            m_columns.push_back(cell);
        }
    } else if (m_nKind == 200 && m_pGrid) {
        for (int c = 0; c < m_pGrid->GetColumnCount(); ++c) {
            const unsigned type = m_pGrid->GetColumnType(c);
            AddColumn(m_pGrid->GetColumnHeader(c), int(m_pGrid->GetColumnWidth(c)), int(type), type <= 2 ? 0 : 1);
        }
    }
    m_nTotalWidth = 0;
    for (const CGridCell &c : m_columns)
        m_nTotalWidth += c.m_width;
    // The screen's proportions fill the printed line.
    if (m_nTotalWidth > 0 && m_nTotalWidth < m_sizePage.width()) {
        m_dColumnScale = double(m_sizePage.width()) / m_nTotalWidth;
        m_nTotalWidth = 0;
        for (CGridCell &c : m_columns) {
            c.m_width = int(c.m_width * m_dColumnScale);
            m_nTotalWidth += c.m_width;
        }
    }
}

void CPrint::DrawColumnHeaders(QPainter &dc, PrintInfo &info, int top)
{
    PrintRect rect = info.drawRect;
    rect.top = top;
    for (const CGridCell &c : m_columns) {
        unsigned format = 0x824;
        if ((c.m_format & 3) == DT_RIGHT)
            format = 0x822;
        else if ((c.m_format & 3) == DT_CENTER)
            format = 0x825;
        const int right = rect.right;
        DrawBox(dc, c.m_title, QString(), rect, c.m_width, 1, format, nullptr, 0);
        rect.right = std::max(right, rect.right);
    }
}

// --- the record list ---------------------------------------------------------------

void CPrint::PrintListCtrl(QPainter &dc, PrintInfo &info, int &row)
{
    if (m_nOptions == 1) {
        m_strHeading3 = QStringLiteral("- Selected Rows Only - ");
        m_bTotals = 0;
    }
    DrawPageHeader(dc, info);
    DrawListRows(dc, info, row, m_nListTop);
    DrawColumnHeaders(dc, info, m_nBodyTop);
    PrintRect band(info.drawRect.left, info.drawRect.bottom, info.drawRect.right,
                   info.drawRect.bottom + m_nCaptionHeight);
    if (row < m_nRecords) {
        dc.setFont(m_fonts[FontBody]);
        DrawText(dc, band, kContinued, 0x829);
    } else {
        DrawTotalsRow(dc, band);
    }
}

void CPrint::DrawListRows(QPainter &dc, PrintInfo &info, int &row, int top)
{
    int y = top;
    info.drawRect.bottom = y;
    if (!m_pList)
        return;
    const ImageList *images = m_pList->imageList();
    if (!images)
        images = Appearance::instance().GetImageList(131);
    const bool showsImages = m_pList->imageList() != nullptr;
    dc.setFont(m_fonts[FontBody]);
    const bool selectedOnly = m_nOptions != 0;
    while (row < m_nRecords) {
        if (selectedOnly && !m_pList->IsItemSelected(row)) {
            ++row;
            continue;
        }
        const QFont *font = &m_fonts[FontBody];
        if (showsImages) {
            const int image = m_pList->GetItemImage(row);
            if (image == 222 || image == 336)
                font = &m_fonts[FontBodyBold];
            else if (image == 335 || image == 339)
                font = &m_fonts[FontItalic];
        }
        dc.setFont(*font);
        PrintRect r(info.drawRect.left, y, info.drawRect.right, y + m_nLineHeight);
        for (const CGridCell &c : m_columns) {
            if (c.m_width <= 0)
                continue;
            PrintRect cell = r;
            int width = c.m_width;
            if (showsImages && images && width >= m_nLineHeight) {
                const int image = c.m_index == 0 ? m_pList->GetItemImage(row) : m_pList->GetSubItemImage(row, c.m_index);
                if (image >= 0 && image != CXListCtrl::kNoImage) {
                    const QRect square(cell.left, cell.top, m_nLineHeight, m_nLineHeight);
                    dc.fillRect(square, Qt::white);
                    dc.drawPixmap(square, images->pixmap(image));
                    cell.left += m_nLineHeight;
                    width -= m_nLineHeight;
                }
            }
            DrawTextBox(dc, m_pList->GetItemText(row, c.m_index), cell, width, c.m_format, nullptr);
            r.left += c.m_width;
        }
        y += m_nLineHeight;
        ++row;
        if (y > m_nBodyBottom)
            break;
    }
    // Rows left out after the last printed one do not make a page of their own.
    if (selectedOnly)
        while (row < m_nRecords && !m_pList->IsItemSelected(row))
            ++row;
    info.drawRect.bottom = y;
}

void CPrint::DrawTotalsRow(QPainter &dc, PrintRect rect)
{
    rect.bottom = rect.top + m_nCaptionHeight;
    for (const CGridCell &c : m_columns) {
        QString text;
        if (m_bTotals) {
            switch (c.m_totalMode) {
            case CGridCell::TotalMoney:
            case CGridCell::TotalListMoney:
                text = FormatCurrencyValue(c.m_total);
                break;
            case CGridCell::TotalCount: // the first column counts the rows
                text = GroupThousands(QString::number(c.m_rowCount));
                break;
            case CGridCell::TotalListCount:
                text = GroupThousands(QString::number(c.m_total));
                break;
            case CGridCell::TotalMinutes:
                text = MinutesToText(std::int32_t(std::clamp<std::int64_t>(c.m_total, INT_MIN, INT_MAX)));
                break;
            default:
                break;
            }
        }
        DrawBox(dc, text, QString(), rect, c.m_width, 1, 0x822, nullptr, 0);
    }
}

// --- in-memory tables ---------------------------------------------------------------

void CPrint::PrintTable(QPainter &dc, PrintInfo &info, int &row, CXChartCtrl *chart, int hue)
{
    CXTable *table = chart ? chart->table() : &m_table;
    if (chart)
        hue = chart->colorSchemeHue();
    if (!table || table->GetRowCount() == 0) {
        row = m_nRecords;
        return;
    }
    const QColor shade1 = ColorRefToQColor(GetHueShade(hue, 1));
    const QColor shade2 = ColorRefToQColor(GetHueShade(hue, 2));
    const QColor shade3 = ColorRefToQColor(GetHueShade(hue, 3));
    const QColor shade4 = ColorRefToQColor(GetHueShade(hue, 4));
    const int rows = table->GetRowCount();
    const int columns = table->GetColumnCount();

    if (m_bGroupPages && table->m_parentColumn < 0)
        m_bGroupPages = 0;
    if (m_bGroupPages) {
        if (row == 0)
            m_strGroup = table->GetCellText(0, 0);
        m_strHeading1 = m_strGroup;
    }
    DrawPageHeader(dc, info);
    m_nRecords = rows;
    info.drawRect.top = m_nBodyTop;
    QRect area = info.drawRect.toQRect();
    // A cell's text as the bold font of totals draws it, within its margins.
    const QFontMetrics cellMetrics(m_fonts[FontBodyBold], dc.device());
    const int margins = 2 * m_nPad + m_nPad / 4 + 1;
    // Every page of one table takes the widths its content needs; they are
    // measured on the table's first page and kept for the pages after it.
    const int charWidth = std::max(1, m_nCharWidth * 3 / 2);
    const QString needsKey = QStringLiteral("%1/%2/%3/%4/%5")
                                 .arg(quintptr(table))
                                 .arg(rows)
                                 .arg(columns)
                                 .arg(charWidth)
                                 .arg(m_fonts[FontBodyBold].toString() + QString::number(dc.device()->logicalDpiX()));
    if (row == 0 || needsKey != m_columnNeedsKey) {
        m_columnNeeds = table->ContentWidths(charWidth, [&](const QString &text) {
            return cellMetrics.horizontalAdvance(text) + margins;
        });
        m_columnNeedsKey = needsKey;
    }
    m_dColumnScale = table->CalcColumnWidths(area, charWidth, 0, m_columnNeeds);
    const int left = area.left();

    // Heading row.
    int headingHeight = m_nCaptionHeight;
    if (table->m_headerLines > 1) {
        m_nCaptionHeight = table->m_headerLines * m_nLineHeight + m_nQuarterLine;
        headingHeight = m_nCaptionHeight;
    }
    const int headingTop = m_nBodyTop;
    const int listTop = headingTop + headingHeight + m_nQuarterLine;
    dc.setFont(m_fonts[FontBody]);
    const QPen framePen2(shade2, std::max(1, m_sizeDpi.width() / 300));
    const QPen framePen4(shade4, std::max(1, m_sizeDpi.width() / 300));
    int x = left;
    for (int c = 0; c < columns; ++c) {
        const int w = table->GetColumnWidth(c);
        if (w <= 0)
            continue;
        const QRect cell(x, headingTop, w, headingHeight);
        dc.fillRect(cell, shade3);
        dc.setPen(framePen2);
        dc.drawLine(cell.left(), cell.top(), cell.left() + w, cell.top());
        dc.drawLine(cell.left(), cell.top(), cell.left(), cell.top() + headingHeight);
        dc.setPen(framePen4);
        dc.drawLine(cell.left(), cell.top() + headingHeight, cell.left() + w, cell.top() + headingHeight);
        dc.drawLine(cell.left() + w, cell.top(), cell.left() + w, cell.top() + headingHeight);
        unsigned format = table->GetColumnFormat(c);
        const QString title = table->GetColumnName(c);
        if (table->m_headerLines > 1 || title.contains(QLatin1Char('\n')))
            format = (format & DT_RIGHT) ? 0x852 : (format & DT_CENTER) ? 0x851 : 0x850;
        dc.setPen(Qt::white);
        PrintRect text(x, headingTop, x + w, headingTop + headingHeight);
        DrawTextBox(dc, title, text, w, format, nullptr);
        x += w;
    }
    dc.setPen(Qt::black);
    // The colour of the painter's plain pen, or none while a frame's pen is
    // set: a row of black text sets no pen at all.
    QColor penColour(Qt::black);
    const QFont *rowFont = &m_fonts[FontBody]; // the painter's font, set above
    const auto setTextPen = [&dc, &penColour](const QColor &colour) {
        if (penColour != colour) {
            dc.setPen(colour);
            penColour = colour;
        }
    };

    const int grandTotal = (rows > 0 && table->IsSpecialRow(rows - 1)) ? rows - 1 : -1;
    const int firstRow = row;
    QString pageGroup;
    int y = listTop;
    bool continued = false;
    while (row < rows) {
        const std::uint32_t flags = table->GetRowFlags(row);
        QString firstCell = table->GetCellText(row, 0);
        if (m_bGroupPages) {
            if (row == grandTotal) {
                ++row;
                break;
            }
            if (row == firstRow) {
                if (firstCell.isEmpty())
                    firstCell = m_strGroup; // the page continues a group: its name shows
                pageGroup = firstCell;
            } else if ((flags & CXTable::RowGroupStart) && firstCell != pageGroup) {
                m_strGroup = firstCell;
                break;
            }
        }
        const bool special = flags & CXTable::RowSpecial;
        // A row in the font of the row before keeps it.
        const QFont *font = (special || (flags & CXTable::RowFlag16)) ? &m_fonts[FontBodyBold] : &m_fonts[FontBody];
        if (font != rowFont) {
            dc.setFont(*font);
            rowFont = font;
        }
        x = left;
        const bool caption = flags & CXTable::RowFlag16;
        for (int c = 0; c < columns; ++c) {
            int w = table->GetColumnWidth(c);
            // A caption row's text is its second column's, shown even when
            // that column is hidden in the other rows.
            if (w <= 0 && !(caption && c == 1))
                continue;
            QString text = c == 0 ? firstCell : table->GetCellText(row, c);
            QRect cell(x, y, w, m_nLineHeight);
            QColor textColour = text.startsWith(QLatin1Char('-')) ? ColorRefToQColor(0x1010C0) : QColor(Qt::black);
            if (row == grandTotal) {
                dc.fillRect(cell, shade3);
                penColour = QColor();
                dc.setPen(framePen2);
                dc.drawLine(cell.topLeft(), cell.topRight());
                dc.drawLine(cell.topLeft(), cell.bottomLeft());
                dc.setPen(framePen4);
                dc.drawLine(cell.bottomLeft(), cell.bottomRight());
                dc.drawLine(cell.topRight(), cell.bottomRight());
                textColour = Qt::white;
            } else if (special) {
                if (table->m_totalMode != CXTable::TotalsSeparated)
                    dc.fillRect(cell, shade1);
                if (!text.isEmpty()) {
                    penColour = QColor();
                    dc.setPen(framePen2);
                    dc.drawLine(cell.topLeft(), cell.topRight());
                    dc.drawLine(cell.topLeft(), cell.bottomLeft());
                    dc.setPen(QPen(shade3, framePen2.width()));
                    dc.drawLine(cell.bottomLeft(), cell.bottomRight());
                    dc.drawLine(cell.topRight(), cell.bottomRight());
                }
            } else if (caption) {
                // A caption row, as the screen shows it: the first column's
                // cell, then the second column's text running to the right
                // edge (across the whole row when the first column is hidden).
                if (c == 0) {
                    dc.fillRect(cell, shade2);
                } else {
                    w = left + area.width() - x;
                    cell.setWidth(w);
                    dc.fillRect(cell, shade1);
                }
            } else if (flags & CXTable::RowSeparator) {
                penColour = QColor();
                dc.setPen(QPen(shade3, framePen2.width()));
                dc.drawLine(cell.left(), y + m_nLineHeight / 2, cell.left() + w, y + m_nLineHeight / 2);
                x += w;
                continue;
            } else if (table->IsColumnFlagged(c)) {
                dc.fillRect(cell, shade1);
            }
            setTextPen(textColour);
            PrintRect textRect(x, y, x + w - m_nPad / 4, y + m_nLineHeight);
            DrawTextBox(dc, text, textRect, w - m_nPad / 4, table->GetColumnFormat(c), nullptr);
            x += w;
            if (caption && c == 1)
                break;
        }
        setTextPen(Qt::black);
        y += m_nLineHeight;
        ++row;
        // A heading, group or total row keeps at least three lines of what follows.
        if (special && row < rows && m_nBodyBottom - y < 3 * m_nLineHeight && rows - row > 2)
            break;
        if (row < rows && y > m_nBodyBottom) {
            continued = true;
            break;
        }
    }
    if (continued) {
        dc.setFont(m_fonts[FontBody]);
        DrawText(dc, PrintRect(left, y, left + area.width(), y + m_nLineHeight), kContinued, 0x825);
    } else if (row >= rows && grandTotal < 0) {
        dc.fillRect(QRect(left, y, area.width(), m_nLineHeight / 4 + 1), shade3);
    }
    info.drawRect.bottom = y;
}

// --- grid dialogs ------------------------------------------------------------------

void CPrint::PrintGrid(QWidget *dialog, CXGridCtrl *grid, CXGridCtrl *secondGrid, const QString &title)
{
    m_nKind = 200;
    m_pSourceWnd = dialog;
    m_pGrid = grid;
    m_pGrid2 = secondGrid && secondGrid->isCreated() ? secondGrid : nullptr;
    m_nRecords = (grid ? grid->GetRowCount() : 0) + (m_pGrid2 ? m_pGrid2->GetRowCount() : 0);
    m_strHeading1 = title;
    m_form.m_FontName = QStringLiteral("Tahoma");
    m_form.m_FontSize = 80;
    DoPrint(kPrintDialog);
}

void CPrint::PrintGridDialog(QPainter &dc, PrintInfo &info, int &row)
{
    m_strHeading2.clear();
    m_strHeading3.clear();
    m_strHeading4.clear();
    m_pCaptionFont = &m_fonts[FontBody];
    DrawPageHeader(dc, info);
    const int baseLine = m_nLineHeight;
    const int baseCaption = m_nCaptionHeight;
    const int firstRows = m_pGrid ? m_pGrid->GetRowCount() : 0;
    CXGridCtrl *grids[2] = {m_pGrid, m_pGrid2};
    for (int g = 0; g < 2 && row < m_nRecords; ++g) {
        CXGridCtrl *grid = grids[g];
        if (!grid || grid->GetRowCount() == 0)
            continue;
        const int offset = g == 0 ? 0 : firstRows;
        if (row < offset || row >= offset + grid->GetRowCount())
            continue;
        if (info.drawRect.top + 3 * baseLine > m_nBodyBottom)
            break;
        // Screen heights (21 pixels by default) scaled to the printer.
        m_nCaptionHeight = int(grid->GetHeaderHeight() * (baseCaption / 21.0));
        m_nLineHeight = int(grid->rowHeight() * (baseLine / 21.0));
        const int keepKind = m_nKind;
        CXGridCtrl *keepGrid = m_pGrid;
        m_pGrid = grid;
        m_nKind = 200;
        BuildColumns();
        m_pGrid = keepGrid;
        m_nKind = keepKind;
        const int top = info.drawRect.top;
        int local = row - offset;
        const int records = m_nRecords;
        m_nRecords = grid->GetRowCount();
        info.drawRect.top = top + m_nCaptionHeight;
        DrawGridRow(dc, info, local, grid);
        m_nRecords = records;
        DrawColumnHeaders(dc, info, top);
        row = offset + local;
        info.drawRect.top = info.drawRect.bottom + m_nLineHeight;
        info.drawRect.bottom = m_sizePage.height();
        m_nLineHeight = baseLine;
        m_nCaptionHeight = baseCaption;
        if (local < grid->GetRowCount())
            break;
    }
    m_pCaptionFont = &m_fonts[FontBodyBold];
}

void CPrint::DrawGridRow(QPainter &dc, PrintInfo &info, int &row, CXGridCtrl *grid)
{
    dc.setFont(m_fonts[FontBody]);
    int y = info.drawRect.top;
    while (grid && row < m_nRecords) {
        PrintRect r(info.drawRect.left, y, info.drawRect.right, y + m_nLineHeight);
        for (const CGridCell &c : m_columns)
            DrawTextBox(dc, grid->GetCellText(row, c.m_index), r, c.m_width, c.m_format, nullptr);
        y += m_nLineHeight;
        ++row;
        if (y > m_nBodyBottom)
            break;
    }
    info.drawRect.bottom = y;
}

// --- trees and text files ------------------------------------------------------------

void CPrint::PrintTree(QPainter &dc, PrintInfo &info, int &row)
{
    m_strHeading4 = QStringLiteral("From %1 To %2").arg(row).arg(m_nRecords);
    DrawPageHeader(dc, info);
    if (!m_pTree || m_pTree->topLevelItemCount() == 0) {
        row = m_nRecords;
        return;
    }
    int index = 0;
    int depth = 0;
    int y = m_nListTop;
    QTreeWidgetItem *item = m_pTree->topLevelItem(0);
    while (item && row < m_nRecords) {
        if (index >= row) {
            dc.setFont(item->childCount() > 0 ? m_fonts[FontBodyBold] : m_fonts[FontBody]);
            const int x = info.drawRect.left + depth * 80;
            DrawText(dc, PrintRect(x, y, info.drawRect.right, y + m_nLineHeight), item->text(0), 0x820);
            y += m_nLineHeight;
            ++row;
            if (y > m_nBodyBottom)
                break;
        }
        item = nextInOrder(m_pTree, item, depth);
        ++index;
    }
    if (row < m_nRecords) {
        dc.setFont(m_fonts[FontBody]);
        DrawText(dc, PrintRect(info.drawRect.left, y, info.drawRect.right, m_nFooterTop), kContinued, 0x829);
    }
    info.drawRect.bottom = y;
}

void CPrint::PrintTextFile(QPainter &dc, PrintInfo &info, int &position)
{
    DrawPageHeader(dc, info);
    if (!m_fileStream) {
        position = m_nRecords;
        return;
    }
    m_fileStream->seek(position);
    dc.setFont(m_fonts[FontBody]);
    int y = m_nListTop;
    while (!m_fileStream->atEnd()) {
        const QString line = m_fileStream->readLine();
        y += DrawText(dc, PrintRect(info.drawRect.left, y, info.drawRect.right, m_nBodyBottom + m_nLineHeight),
                      line, 0x850);
        if (y > m_nBodyBottom)
            break;
    }
    position = m_fileStream->atEnd() ? m_nRecords : int(m_fileStream->pos());
    info.drawRect.bottom = y + m_nLineHeight;
}
