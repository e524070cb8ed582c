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
#include "controls/ListWork.h"
#include "controls/CXTreeCtrl.h"
#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtGui/QTextLayout>
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

// A text column needs no more than this many average letters: a longer text
// wraps in it rather than shrinking the whole table.
constexpr int kTextCapChars = 40;
// The narrowest a text column is made, in average letters.
constexpr int kTextMinChars = 6;

bool isNumberType(int type)
{
    return (type >= 2 && type <= 8) || type == 22 || (type >= 31 && type <= 34);
}

// A text's longest word by its letters ("" for none).
QString longestWord(const QString &text)
{
    int start = -1;
    int best = 0;
    int bestStart = 0;
    for (int k = 0; k <= text.size(); ++k) {
        const bool blank = k == text.size() || text[k].isSpace();
        if (!blank && start < 0)
            start = k;
        if (blank && start >= 0) {
            if (k - start > best) {
                best = k - start;
                bestStart = start;
            }
            start = -1;
        }
    }
    return text.mid(bestStart, best);
}

} // namespace

// --- fitting tables to the page ----------------------------------------------------

void CPrint::BeginTableScale(QPainter &dc, double scale)
{
    m_tableScaleSaved = {true, m_fonts[FontBody], m_fonts[FontBodyBold], m_fonts[FontItalic], m_nLineHeight, m_nPad,
                         m_nQuarterLine, m_nCaptionHeight};
    if (scale >= 0.999 || !dc.device())
        return;
    for (int index : {int(FontBody), int(FontBodyBold), int(FontItalic)}) {
        QFont font = m_fonts[size_t(index)];
        font.setPixelSize(std::max(1, int(font.pixelSize() * scale)));
        m_fonts[size_t(index)] = font;
    }
    const QFontMetrics fm(m_fonts[FontBody], dc.device());
    const int line = fm.height() + fm.leading() + (fm.height() - m_fonts[FontBody].pixelSize());
    m_nCaptionHeight = m_nCaptionHeight * line / std::max(1, m_nLineHeight);
    m_nLineHeight = line;
    m_nPad = int(m_nPad * scale);
    m_nQuarterLine = m_nLineHeight / 4;
    dc.setFont(m_fonts[FontBody]);
}

void CPrint::EndTableScale()
{
    if (!m_tableScaleSaved.active)
        return;
    m_fonts[FontBody] = m_tableScaleSaved.body;
    m_fonts[FontBodyBold] = m_tableScaleSaved.bold;
    m_fonts[FontItalic] = m_tableScaleSaved.italic;
    m_nLineHeight = m_tableScaleSaved.lineHeight;
    m_nPad = m_tableScaleSaved.pad;
    m_nQuarterLine = m_tableScaleSaved.quarterLine;
    m_nCaptionHeight = m_tableScaleSaved.captionHeight;
    m_tableScaleSaved.active = false;
}

int CPrint::CellNeed(const QFontMetrics &metrics, const QString &text) const
{
    // Both insets, the gap to the next column and a hundredth for the
    // rounding of a smaller size.
    const int advance = metrics.horizontalAdvance(text);
    return advance + advance / 100 + 2 * m_nPad + m_nPad / 4 + 2;
}

int CPrint::CellLines(QPainter &dc, const QString &text, int width) const
{
    if (text.isEmpty())
        return 1;
    return std::max(1, int(CellTextLines(dc, text, width).size()));
}

QStringList CPrint::CellTextLines(QPainter &dc, const QString &text, int width) const
{
    const int room = std::max(1, width - 2 * m_nPad - m_nPad / 4);
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    const QFontMetrics fm = dc.fontMetrics();
    if (!shown.contains(QLatin1Char('\n')) && fm.horizontalAdvance(shown) <= room)
        return {shown};
    // A word wider than the cell is broken between letters first.
    const QString laid = BreakLongWords(fm, shown, room, QString(kBreakMark));
    // Laid out as the painter lays out a word-wrapped text, so that what is
    // counted is what is drawn.
    QTextLayout layout(laid, dc.font(), dc.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        QString piece = laid.mid(line.textStart(), line.textLength());
        piece.remove(QChar::LineSeparator);
        while (!piece.isEmpty() && piece.back().isSpace())
            piece.chop(1);
        lines << piece;
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

void CPrint::DrawCellLines(QPainter &dc, const QStringList &lines, int first, int count, const PrintRect &cell,
                           int width, unsigned format)
{
    const unsigned single = 0x820 | (format & 3);
    for (int k = 0; k < count && first + k < int(lines.size()); ++k) {
        const int top = cell.top + k * m_nLineHeight;
        PrintRect line(cell.left, top, cell.right, top + m_nLineHeight);
        QString piece = lines[first + k];
        if (piece.endsWith(kBreakMark)) {
            // A piece of a broken word: shown with its hyphen, and kept in the
            // run's record as a break, not a cut.
            piece.back() = QLatin1Char('-');
            if (m_recordDevice && dc.device() == m_recordDevice)
                m_cutRecord.addBreak(piece);
        }
        DrawTextBox(dc, piece, line, width, single, nullptr);
    }
}

int CPrint::DrawTextInCell(QPainter &dc, const QString &text, const PrintRect &cell, unsigned format,
                           const QFont *font)
{
    if (font)
        dc.setFont(*font);
    const int width = cell.width();
    if (width <= 0 || text.isEmpty())
        return 0;
    QStringList lines = CellTextLines(dc, text, width);
    const int room = std::max(1, cell.height() / std::max(1, m_nLineHeight));
    if (int(lines.size()) > room) {
        // The last line that shows says that the text goes on.
        const QString ellipsis = QStringLiteral("...");
        const QFontMetrics fm = dc.fontMetrics();
        const int roomAcross = std::max(1, width - 2 * m_nPad - m_nPad / 4);
        QString last = lines[room - 1];
        if (last.endsWith(kBreakMark))
            last.chop(1);
        while (!last.isEmpty() && fm.horizontalAdvance(last + ellipsis) > roomAcross)
            last.chop(1);
        // A letter of two code units stays whole.
        if (!last.isEmpty() && last.back().isHighSurrogate())
            last.chop(1);
        while (!last.isEmpty() && last.back().isSpace())
            last.chop(1);
        lines[room - 1] = last + ellipsis;
        lines = lines.mid(0, room);
    }
    DrawCellLines(dc, lines, 0, int(lines.size()), cell, width, format);
    return int(lines.size());
}

QString CPrint::WrappedTitle(QPainter &dc, const QString &title, int width) const
{
    const QFontMetrics fm = dc.fontMetrics();
    return PrintColumnFit::WrapTitle(title, std::max(1, width - 2 * m_nPad - m_nPad / 4 - 2),
                                     [&fm](const QString &text) { return fm.horizontalAdvance(text); });
}

int CPrint::WrappedRowHeight(QPainter &dc, const std::function<QString(int column)> &textOf,
                             const std::vector<int> &widths, const std::vector<int> &fullNeeds) const
{
    int lines = 1;
    for (size_t c = 0; c < widths.size() && c < fullNeeds.size(); ++c) {
        // Text columns wrap; each text is measured in the font it is drawn
        // in (a smaller size is not exactly a smaller copy of the full one).
        if (widths[c] <= 0 || fullNeeds[c] <= 0)
            continue;
        lines = std::max(lines, CellLines(dc, textOf(int(c)), widths[c]));
    }
    return lines * m_nLineHeight;
}

void CPrint::MeasureTableColumns(QPainter &dc, const CXTable &table)
{
    // Totals print in bold: every cell is measured as bold.
    const QFontMetrics cells(m_fonts[FontBodyBold], dc.device());
    const QFontMetrics titles(m_fonts[FontBody], dc.device());
    const auto cellNeed = [&](const QString &text) { return CellNeed(cells, text); };
    const auto titleNeed = [&](const QString &text) { return CellNeed(titles, text); };
    const int columns = table.GetColumnCount();
    const int cap = CellNeed(cells, QString(kTextCapChars, QLatin1Char('n')));
    m_tableColumns.assign(size_t(columns), PrintColumnFit::Column());
    m_tableFullNeeds.assign(size_t(columns), 0);
    for (int c = 0; c < columns; ++c) {
        if (table.GetColumnCharWidth(c) <= 0)
            continue;
        PrintColumnFit::Column &col = m_tableColumns[size_t(c)];
        int titleLine = 0;
        int titleWord = 0;
        for (const QString &line : table.GetColumnName(c).split(QLatin1Char('\n'))) {
            titleLine = std::max(titleLine, titleNeed(line.trimmed()));
            titleWord = std::max(titleWord, PrintColumnFit::WidestWord(line, titleNeed));
        }
        // A caption row's text runs on across the row: it needs no column's room.
        // The texts are looked through one by one, none of them copied.
        PrintColumnFit::WidestTexts texts(cellNeed);
        // A text column is never so narrow that a word of it breaks.
        PrintColumnFit::WidestTexts words(cellNeed);
        bool anyText = false;
        const auto add = [&](const QString &text) {
            texts.Add(text);
            words.Add(longestWord(text));
            anyText = true;
        };
        bool numbers = isNumberType(table.GetColumnType(c));
        bool allNumbers = true;
        for (int r = 0; r < table.GetRowCount(); ++r) {
            if (table.IsRowFlag16(r))
                continue;
            const QString text = table.GetCellFullText(r, c);
            if (text.isEmpty())
                continue;
            if (text.contains(QLatin1Char('\n'))) {
                // A memo prints line under line: it needs its widest line,
                // and its column is one of texts, which take more lines.
                allNumbers = false;
                for (const QString &line : text.split(QLatin1Char('\n')))
                    if (!line.isEmpty())
                        add(line);
                continue;
            }
            if (allNumbers && !table.IsSpecialRow(r) && !PrintColumnFit::IsNumberText(text))
                allNumbers = false;
            add(text);
        }
        col.whole = numbers || (allNumbers && anyText);
        const int widest = texts.Widest();
        const int wordWidest = col.whole ? 0 : words.Widest();
        // Neither a cell's word nor its title's is ever broken.
        col.wordMin = std::max(wordWidest, titleWord);
        col.titleWord = titleWord;
        const int content = col.whole ? widest : std::max(std::min(widest, cap), wordWidest);
        col.need = std::max(content, titleLine);
        col.wordNeed = std::max(content, titleWord);
        col.fullNeed = std::max(widest, titleLine);
        // Numbers and dates never wrap: they have no need to wrap to.
        m_tableFullNeeds[size_t(c)] = col.whole ? 0 : std::max(widest, titleWord);
    }
}

void CPrint::FitPrintColumns(QPainter &dc)
{
    if (m_columns.empty())
        return;
    const QFontMetrics cells(m_fonts[FontBodyBold], dc.device());
    const auto cellNeed = [&](const QString &text) { return CellNeed(cells, text); };
    // A row is measured in the font it prints in: most in the body's, a
    // list's heading rows and the totals in bold, its rows of things done in
    // italics (a column measured all in bold is wider than its words need,
    // and the room it takes is missing where a long word would break).
    const QFontMetrics plainCells(m_fonts[FontBody], dc.device());
    const QFontMetrics italicCells(m_fonts[FontItalic], dc.device());
    const auto plainNeed = [&](const QString &text) { return CellNeed(plainCells, text); };
    const auto italicNeed = [&](const QString &text) { return CellNeed(italicCells, text); };
    const int cap = CellNeed(cells, QString(kTextCapChars, QLatin1Char('n')));
    const bool list = m_nKind == 100 && m_pList;
    const bool images = list && m_pList->imageList() != nullptr;
    std::vector<PrintColumnFit::Column> fit(m_columns.size());
    m_tableFullNeeds.assign(m_columns.size(), 0);
    const int rows = list ? m_pList->GetItemCount() : (m_pGrid ? m_pGrid->GetRowCount() : 0);
    // Every text of a long list is read: its progress shows, and Stop ends
    // the printing before its first page.
    ListWork work(QStringLiteral("Preparing the list to print"), std::int64_t(rows) * std::int64_t(m_columns.size()),
                  rows);
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const CGridCell &c = m_columns[i];
        PrintColumnFit::Column &col = fit[i];
        col.base = std::max(0, c.m_width);
        if (col.base == 0)
            continue;
        // The texts by the font they print in (the body's, bold, italics),
        // looked through one by one, none of them copied; and each text's
        // longest word (by its letters), of which the widest is measured: a
        // column is never so narrow that a word breaks.
        using Widest = PrintColumnFit::WidestTexts;
        Widest byFont[3] = {Widest(plainNeed), Widest(cellNeed), Widest(italicNeed)};
        Widest wordsByFont[3] = {Widest(plainNeed), Widest(cellNeed), Widest(italicNeed)};
        bool anyText = false;
        const auto add = [&](int f, const QString &text) {
            byFont[f].Add(text);
            wordsByFont[f].Add(longestWord(text));
            anyText = true;
        };
        bool allNumbers = true;
        bool pictures = false;
        for (int r = 0; r < rows; ++r) {
            if (!work.At(std::int64_t(i) * rows + r, r)) {
                m_bPreparingStopped = true;
                return;
            }
            if (images && !pictures) {
                const int image = m_pList->GetSubItemImage(r, c.m_index);
                pictures = image >= 0 && image != CXListCtrl::kNoImage;
            }
            const QString text = list ? m_pList->GetItemFullText(r, c.m_index) : m_pGrid->GetShownText(r, c.m_index);
            if (text.isEmpty())
                continue;
            if (allNumbers && !PrintColumnFit::IsNumberText(text))
                allNumbers = false;
            const int font = list ? ListRowFont(r) : int(FontBody);
            add(font == FontBodyBold ? 1 : font == FontItalic ? 2 : 0, text);
        }
        if (m_bTotals && ListHasTotals() && !TotalText(c).isEmpty())
            add(1, TotalText(c));
        // A grid's column types are its own (text, pick list, typed value):
        // its cells tell whether they are numbers.
        col.whole = (list && isNumberType(c.m_fieldType)) || (allNumbers && anyText);
        int textWidest = 0;
        int wordWidest = 0;
        for (int f = 0; f < 3; ++f) {
            if (!col.whole)
                wordWidest = std::max(wordWidest, wordsByFont[f].Widest());
            textWidest = std::max(textWidest, byFont[f].Widest());
        }
        // A cell's picture takes a square beside its text: the column's need
        // holds it (the first column's, and any other column that shows one).
        const int picture = pictures ? m_nLineHeight : 0;
        const int widest = textWidest + picture;
        if (wordWidest > 0)
            wordWidest += picture;
        const int content = col.whole ? widest : std::max(std::min(widest, cap), wordWidest);
        const int titleWord = PrintColumnFit::WidestWord(c.m_title, cellNeed);
        col.need = std::max(content, cellNeed(c.m_title.trimmed()));
        col.wordNeed = std::max(content, titleWord);
        col.fullNeed = std::max(widest, col.need);
        col.wordMin = std::max(wordWidest, titleWord);
        col.titleWord = titleWord;
        // The text's own need, to which it wraps beside the picture.
        m_tableFullNeeds[i] = col.whole ? 0 : std::max(textWidest, titleWord - picture);
    }
    const PrintColumnFit::Result result =
        PrintColumnFit::Fit(fit, m_sizePage.width(), CellNeed(cells, QString(kTextMinChars, QLatin1Char('n'))));
    m_dTableScale = result.scale;
    m_nTotalWidth = 0;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        m_columns[i].m_width = result.widths[i];
        m_nTotalWidth += result.widths[i];
    }
}

int CPrint::ListRowFont(int row) const
{
    // Heading rows print in bold, rows of things done in italics.
    const int image = m_pList->GetItemImage(row);
    if (image == 222 || image == 336)
        return FontBodyBold;
    if (image == 335 || image == 339)
        return FontItalic;
    return FontBody;
}

int CPrint::ColumnHeadingHeight(QPainter &dc) const
{
    int lines = 1;
    const QFont keep = dc.font();
    if (m_pCaptionFont)
        dc.setFont(*m_pCaptionFont);
    for (const CGridCell &c : m_columns)
        if (c.m_width > 0)
            lines = std::max(lines, int(WrappedTitle(dc, c.m_title, c.m_width).count(QLatin1Char('\n'))) + 1);
    dc.setFont(keep);
    return lines == 1 ? m_nCaptionHeight : lines * m_nLineHeight + m_nQuarterLine;
}

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
    // The screen's proportions fill the printed line; a column too narrow
    // for its content takes room from the others (PrintColumnFit).
    m_dTableScale = 1.0;
    if (m_nTotalWidth > 0)
        m_dColumnScale = double(m_sizePage.width()) / m_nTotalWidth;
}

void CPrint::DrawColumnHeaders(QPainter &dc, PrintInfo &info, int top)
{
    PrintRect rect = info.drawRect;
    rect.top = top;
    // A title wider than its column wraps at its words (in the taller band
    // ColumnHeadingHeight made room for).
    bool wrapped = false;
    if (m_pCaptionFont)
        dc.setFont(*m_pCaptionFont);
    for (const CGridCell &c : m_columns)
        wrapped = wrapped || (c.m_width > 0 && WrappedTitle(dc, c.m_title, c.m_width).contains(QLatin1Char('\n')));
    for (const CGridCell &c : m_columns) {
        unsigned format = 0x824;
        if ((c.m_format & 3) == DT_RIGHT)
            format = 0x822;
        else if ((c.m_format & 3) == DT_CENTER)
            format = 0x825;
        const int right = rect.right;
        const int left = rect.left;
        DrawBox(dc, wrapped ? QString() : c.m_title, QString(), rect, c.m_width, 1, format, nullptr, 0);
        if (wrapped && c.m_width > 0) {
            PrintRect band(left + m_nPad, top, left + c.m_width - m_nPad, top + m_nCaptionHeight);
            if (m_pCaptionFont)
                dc.setFont(*m_pCaptionFont);
            dc.setPen(ColorRefToQColor(m_crText));
            DrawText(dc, band, WrappedTitle(dc, c.m_title, c.m_width), 0x850 | (format & 3));
            dc.setPen(Qt::black);
        }
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
    // Heading lines that wrapped push the list down.
    const int top = std::max(m_nBodyTop, info.drawRect.top);
    BeginTableScale(dc, m_dTableScale);
    const int keepCaption = m_nCaptionHeight;
    m_nCaptionHeight = ColumnHeadingHeight(dc);
    DrawListRows(dc, info, row, top + m_nCaptionHeight + m_nQuarterLine);
    DrawColumnHeaders(dc, info, top);
    m_nCaptionHeight = keepCaption;
    PrintRect band(info.drawRect.left, info.drawRect.bottom, info.drawRect.right,
                   info.drawRect.bottom + m_nCaptionHeight);
    if (row < m_nRecords) {
        dc.setFont(m_fonts[FontBody]);
        DrawText(dc, band, kContinued, 0x829);
    } else if (!m_bTotals || ListHasTotals()) {
        DrawTotalsRow(dc, band);
    }
    EndTableScale();
}

void CPrint::DrawListRows(QPainter &dc, PrintInfo &info, int &row, int top)
{
    info.drawRect.bottom = top;
    m_nRowLineNext = 0;
    if (!m_pList)
        return;
    const bool showsImages = m_pList->imageList() != nullptr;
    const bool selectedOnly = m_nOptions != 0;
    RowSource source;
    source.text = [this](int r, int i) { return m_pList->GetItemFullText(r, m_columns[size_t(i)].m_index); };
    if (showsImages) {
        source.images = m_pList->imageList();
        source.image = [this](int r, int i) {
            const int image = m_pList->GetSubItemImage(r, m_columns[size_t(i)].m_index);
            return image >= 0 && image != CXListCtrl::kNoImage ? image : -1;
        };
        source.font = [this](int r) -> const QFont & { return m_fonts[size_t(ListRowFont(r))]; };
    }
    if (selectedOnly)
        source.skip = [this](int r) { return !m_pList->IsItemSelected(r); };
    DrawWrappedRows(dc, info, row, top, source);
    // Rows left out after the last printed one do not make a page of their own.
    if (selectedOnly && m_nRowLineNext == 0)
        while (row < m_nRecords && !m_pList->IsItemSelected(row))
            ++row;
}

void CPrint::DrawWrappedRows(QPainter &dc, PrintInfo &info, int &row, int top, const RowSource &source)
{
    int y = top;
    info.drawRect.bottom = y;
    m_nRowLineNext = 0;
    const ImageList *images = source.images;
    if (source.image && !images)
        images = Appearance::instance().GetImageList(131);
    dc.setFont(m_fonts[FontBody]);
    // The page's first row may go on from the page before.
    int fromLine = std::max(0, m_nRowLineStart);
    struct Cell
    {
        int image = -1;
        int room = 0;
        QStringList lines;
    };
    std::vector<Cell> cells(m_columns.size());
    while (row < m_nRecords) {
        if (source.skip && source.skip(row)) {
            ++row;
            continue;
        }
        dc.setFont(source.font ? source.font(row) : m_fonts[FontBody]);
        // Each cell's picture, and its text in the lines the room beside the
        // picture holds: numbers and dates on one, texts wrapped at their words.
        int lines = 1;
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const CGridCell &c = m_columns[i];
            Cell &cell = cells[i];
            cell = Cell();
            if (c.m_width <= 0)
                continue;
            if (source.image && images && c.m_width >= m_nLineHeight)
                cell.image = source.image(row, int(i));
            cell.room = cell.image >= 0 ? c.m_width - m_nLineHeight : c.m_width;
            const QString text = source.text(row, int(i));
            const bool wraps = i < m_tableFullNeeds.size() && m_tableFullNeeds[i] > 0;
            cell.lines = wraps ? CellTextLines(dc, text, cell.room) : QStringList{text};
            lines = std::max(lines, int(cell.lines.size()));
        }
        fromLine = std::min(fromLine, lines - 1);
        // A row that does not fit in what is left of the page starts the
        // next one; one taller than a whole page goes on over the pages.
        const int left = lines - fromLine;
        const int fits = std::max(1, (m_nBodyBottom + m_nLineHeight - y) / std::max(1, m_nLineHeight));
        if (y > top && left > fits)
            break;
        const int shown = std::min(left, fits);
        int x = info.drawRect.left;
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const CGridCell &c = m_columns[i];
            if (c.m_width <= 0)
                continue;
            const Cell &cell = cells[i];
            PrintRect box(x, y, x + c.m_width, y + shown * m_nLineHeight);
            if (cell.image >= 0) {
                // The picture beside the row's first line.
                if (fromLine == 0) {
                    const QRect square(box.left, box.top, m_nLineHeight, m_nLineHeight);
                    dc.fillRect(square, Qt::white);
                    dc.drawPixmap(square, images->pixmap(cell.image));
                }
                box.left += m_nLineHeight;
            }
            DrawCellLines(dc, cell.lines, fromLine, shown, box, cell.room, c.m_format);
            x += c.m_width;
        }
        y += shown * m_nLineHeight;
        if (fromLine + shown < lines) {
            // The rest of the row on the next page.
            m_nRowLineNext = fromLine + shown;
            break;
        }
        fromLine = 0;
        ++row;
        if (y > m_nBodyBottom)
            break;
    }
    info.drawRect.bottom = y;
}

bool CPrint::ListHasTotals() const
{
    // A list fills its columns' totals from the records it reads; a list
    // whose rows were given as texts has none to print.
    return std::any_of(m_columns.begin(), m_columns.end(), [](const CGridCell &c) {
        return c.m_totalMode != CGridCell::TotalNone && c.m_rowCount > 0;
    });
}

void CPrint::DrawTotalsRow(QPainter &dc, PrintRect rect)
{
    rect.bottom = rect.top + m_nCaptionHeight;
    for (const CGridCell &c : m_columns)
        DrawBox(dc, m_bTotals ? TotalText(c) : QString(), QString(), rect, c.m_width, 1, 0x822, nullptr, 0);
}

QString CPrint::TotalText(const CGridCell &c)
{
    switch (c.m_totalMode) {
    case CGridCell::TotalMoney:
    case CGridCell::TotalListMoney:
        return FormatCurrencyValue(c.m_total);
    case CGridCell::TotalCount: // the first column counts the rows
        return GroupThousands(QString::number(c.m_rowCount));
    case CGridCell::TotalListCount:
        return GroupThousands(QString::number(c.m_total));
    case CGridCell::TotalMinutes:
        return MinutesToText(std::int32_t(std::clamp<std::int64_t>(c.m_total, INT_MIN, INT_MAX)));
    default:
        return QString();
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
    // Heading lines that wrapped push the table down.
    const int headingTop = std::max(m_nBodyTop, info.drawRect.top);
    info.drawRect.top = headingTop;
    // The layout's widths (the columns' letters) are what the fit shares the
    // page by; what the columns' texts need is measured on the table's first
    // page and kept for the pages after it.
    QRect area = info.drawRect.toQRect();
    const int room = area.width();
    const int charWidth = std::max(1, m_nCharWidth * 3 / 2);
    m_dColumnScale = table->CalcColumnWidths(area, charWidth, 0);
    const QString needsKey = QStringLiteral("%1/%2/%3/%4")
                                 .arg(quintptr(table))
                                 .arg(rows)
                                 .arg(columns)
                                 .arg(m_fonts[FontBodyBold].toString() + QString::number(dc.device()->logicalDpiX()));
    if (row == 0 || needsKey != m_tableColumnsKey) {
        MeasureTableColumns(dc, *table);
        m_tableColumnsKey = needsKey;
    }
    std::vector<PrintColumnFit::Column> fitColumns = m_tableColumns;
    fitColumns.resize(size_t(columns));
    for (int c = 0; c < columns; ++c)
        fitColumns[size_t(c)].base = table->GetColumnWidth(c);
    const int minText = CellNeed(QFontMetrics(m_fonts[FontBodyBold], dc.device()), QStringLiteral("nnnnnn"));
    const PrintColumnFit::Result fit = PrintColumnFit::Fit(fitColumns, room, minText);
    m_dTableScale = fit.scale;
    std::vector<int> widths(size_t(columns), 0);
    for (int c = 0; c < columns; ++c) {
        widths[size_t(c)] = table->GetColumnWidth(c) > 0 ? fit.widths[size_t(c)] : 0;
        table->SetColumnPixelWidth(c, widths[size_t(c)]);
    }
    const int left = area.left();
    BeginTableScale(dc, m_dTableScale);

    // Heading row: as many lines as its longest title takes at its width.
    dc.setFont(m_fonts[FontBody]);
    int titleLines = table->m_headerLines;
    for (int c = 0; c < columns; ++c)
        if (widths[size_t(c)] > 0)
            titleLines = std::max(titleLines,
                                  int(WrappedTitle(dc, table->GetColumnName(c), widths[size_t(c)]).count(QLatin1Char('\n'))) + 1);
    int headingHeight = m_nCaptionHeight;
    if (titleLines > 1) {
        m_nCaptionHeight = titleLines * m_nLineHeight + m_nQuarterLine;
        headingHeight = m_nCaptionHeight;
    }
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
        const QString title = WrappedTitle(dc, table->GetColumnName(c), w);
        if (titleLines > 1 || title.contains(QLatin1Char('\n')))
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
    // The page's first row may go on from the page before.
    int fromLine = std::max(0, m_nRowLineStart);
    m_nRowLineNext = 0;
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
        // Every line of a cell prints (a memo's lines and the text shown on
        // the screen as its first); a page that continues a group shows the
        // group's name.
        const QString firstFull =
            firstCell == table->GetCellText(row, 0) ? table->GetCellFullText(row, 0) : firstCell;
        const auto cellText = [&](int c) { return c == 0 ? firstFull : table->GetCellFullText(row, c); };
        // Texts wider than their column wrap onto more lines of the row.
        const int height = caption ? m_nLineHeight : WrappedRowHeight(dc, cellText, widths, m_tableFullNeeds);
        // A tall row that would run into the foot of the page starts the
        // next one; one taller than a whole page goes on over the pages.
        const int rowLines = std::max(1, height / std::max(1, m_nLineHeight));
        fromLine = std::min(fromLine, rowLines - 1);
        const int fits = std::max(1, (m_nBodyBottom + m_nLineHeight - y) / std::max(1, m_nLineHeight));
        if (row > firstRow && rowLines - fromLine > fits) {
            continued = true;
            break;
        }
        const int shownLines = std::min(rowLines - fromLine, fits);
        const int shown = rowLines == 1 ? height : shownLines * m_nLineHeight;
        for (int c = 0; c < columns; ++c) {
            int w = table->GetColumnWidth(c);
            // A caption row's text is its second column's, shown even when
            // that column is hidden in the other rows.
            if (w <= 0 && !(caption && c == 1))
                continue;
            const QString text = caption ? (c == 0 ? firstCell : table->GetCellText(row, c)) : cellText(c);
            QRect cell(x, y, w, shown);
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
                    w = left + room - x;
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
            const unsigned format = table->GetColumnFormat(c);
            if (height > m_nLineHeight && size_t(c) < m_tableFullNeeds.size() && m_tableFullNeeds[size_t(c)] > 0) {
                // Drawn in the very lines the row's height was counted by.
                const QStringList lines = CellTextLines(dc, text, w);
                DrawCellLines(dc, lines, fromLine, shownLines, PrintRect(x, y, x + w - m_nPad / 4, y + shown),
                              w - m_nPad / 4, format);
            } else if (fromLine == 0) {
                PrintRect textRect(x, y, x + w - m_nPad / 4, y + m_nLineHeight);
                DrawTextBox(dc, text, textRect, w - m_nPad / 4, format, nullptr);
            }
            x += w;
            if (caption && c == 1)
                break;
        }
        setTextPen(Qt::black);
        y += shown;
        if (fromLine + shownLines < rowLines) {
            // The rest of the row on the next page.
            m_nRowLineNext = fromLine + shownLines;
            continued = true;
            break;
        }
        fromLine = 0;
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
        DrawText(dc, PrintRect(left, y, left + room, y + m_nLineHeight), kContinued, 0x825);
    } else if (row >= rows && grandTotal < 0) {
        dc.fillRect(QRect(left, y, room, m_nLineHeight / 4 + 1), shade3);
    }
    info.drawRect.bottom = y;
    EndTableScale();
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
    const int lineStart = m_nRowLineStart;
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
        // A row is never shorter than a line of its text.
        m_nLineHeight = std::max(m_nLineHeight, QFontMetrics(m_fonts[FontBody], dc.device()).lineSpacing());
        const int keepKind = m_nKind;
        CXGridCtrl *keepGrid = m_pGrid;
        m_pGrid = grid;
        m_nKind = 200;
        BuildColumns();
        FitPrintColumns(dc);
        m_pGrid = keepGrid;
        m_nKind = keepKind;
        const int top = info.drawRect.top;
        int local = row - offset;
        const int records = m_nRecords;
        m_nRecords = grid->GetRowCount();
        // A grid too wide for the page is drawn smaller.
        const bool smaller = m_dTableScale < 0.999;
        if (smaller)
            BeginTableScale(dc, m_dTableScale);
        // Titles that wrap make the heading band taller.
        m_nCaptionHeight = std::max(m_nCaptionHeight, ColumnHeadingHeight(dc));
        info.drawRect.top = top + m_nCaptionHeight;
        DrawGridRow(dc, info, local, grid);
        // Only the page's first row goes on from the page before.
        m_nRowLineStart = 0;
        m_nRecords = records;
        DrawColumnHeaders(dc, info, top);
        if (smaller)
            EndTableScale();
        row = offset + local;
        info.drawRect.top = info.drawRect.bottom + m_nLineHeight;
        info.drawRect.bottom = m_sizePage.height();
        m_nLineHeight = baseLine;
        m_nCaptionHeight = baseCaption;
        if (local < grid->GetRowCount())
            break;
    }
    m_pCaptionFont = &m_fonts[FontBodyBold];
    m_nRowLineStart = lineStart;
}

void CPrint::DrawGridRow(QPainter &dc, PrintInfo &info, int &row, CXGridCtrl *grid)
{
    // Every row is printed from the grid's data, drawn on the screen or not.
    RowSource source;
    source.text = [&](int r, int i) { return grid->GetShownText(r, m_columns[size_t(i)].m_index); };
    if (grid)
        DrawWrappedRows(dc, info, row, info.drawRect.top, source);
    else
        info.drawRect.bottom = info.drawRect.top;
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
