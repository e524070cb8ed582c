// The page drawing primitives of the print engine: text that moves the
// current rectangle down or right, framed boxes with caption bands, notes
// that break to the next page, lines, rotated text, bar codes and the
// standard page header.
#include "printing/CPrint.h"

#include "app/base/Appearance.h"
#include "app/base/CZqApp.h"
#include "app/base/Colours.h"
#include "app/base/MoneyText.h"
#include "app/base/TextUtil.h"
#include "controls/DrawTextFormat.h"
#include "platform/Clock.h"
#include "printing/Code39.h"
#include "printing/RecordingDevice.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtGui/QTextOption>

#include <algorithm>
#include <cmath>

namespace {

QColor colour(std::uint32_t ref)
{
    return ColorRefToQColor(ref);
}

int horizontalFlags(unsigned format)
{
    if (format & DT_RIGHT)
        return Qt::AlignRight;
    if (format & DT_CENTER)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

bool isLatin1(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

// Whether a letter of the text is written from right to left (Hebrew,
// Arabic and the like), or an explicit mark turns the text that way.
bool holdsRightToLeft(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x0590)
            continue;
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            break;
        }
    }
    return false;
}

int penWidth(const QPainter &dc)
{
    return dc.device() ? std::max(1, dc.device()->logicalDpiX() / 300) : 1;
}

} // namespace

int CPrint::painterFontHeight(const QPainter &dc)
{
    const QPaintDevice *device = dc.device();
    const int dpi = device ? device->logicalDpiY() : 0;
    if (m_fontHeight < 0 || device != m_heightDevice || dpi != m_heightDpi || dc.font() != m_heightFont) {
        m_heightFont = dc.font();
        m_heightDevice = device;
        m_heightDpi = dpi;
        m_fontHeight = dc.fontMetrics().height();
    }
    return m_fontHeight;
}

QString CPrint::BreakLongWords(const QFontMetrics &fm, const QString &text, int room, const QString &mark,
                               QStringList *pieces)
{
    QString laid;
    laid.reserve(text.size() + 16);
    for (qsizetype k = 0; k < text.size();) {
        if (text[k].isSpace()) {
            laid += text[k] == QLatin1Char('\n') ? QChar(QChar::LineSeparator) : text[k];
            ++k;
            continue;
        }
        qsizetype end = k;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        QString word = text.mid(k, end - k);
        while (word.size() > 1 && fm.horizontalAdvance(word) > room) {
            // The most letters that fit beside the hyphen, at least one.
            qsizetype low = 1;
            qsizetype high = word.size() - 1;
            while (low < high) {
                const qsizetype take = (low + high + 1) / 2;
                if (fm.horizontalAdvance(word.left(take) + QLatin1Char('-')) <= room)
                    low = take;
                else
                    high = take - 1;
            }
            // A letter of two code units stays whole.
            if (low > 1 && word[low - 1].isHighSurrogate())
                --low;
            laid += word.left(low);
            laid += mark;
            laid += QChar(QChar::LineSeparator);
            if (pieces)
                *pieces << word.left(low) + QLatin1Char('-');
            word.remove(0, low);
        }
        laid += word;
        k = end;
    }
    return laid;
}

int CPrint::DrawText(QPainter &dc, const PrintRect &r, const QString &input, unsigned format)
{
    const QFontMetrics fm = dc.fontMetrics();
    const QRect rect = r.toQRect();
    const int align = horizontalFlags(format);
    const bool tabs = (format & DT_EXPANDTABS) && input.contains(QLatin1Char('\t'));
    if ((format & DT_SINGLELINE) && !tabs) {
        QString shown = input;
        if (shown.contains(QLatin1Char('\n')) || shown.contains(QLatin1Char('\r')))
            shown.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        int valign = Qt::AlignTop;
        if (format & DT_VCENTER)
            valign = Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            valign = Qt::AlignBottom;
        if (!(format & DT_CALCRECT) && !shown.isEmpty()) {
            // A line of the font's own letters in a rectangle taller than it
            // is laid out once: the painter clips it to the rectangle when
            // it runs wider. Other letters may come from a taller fallback
            // font, and a short rectangle would clip the line's height: such
            // a line is measured first and clipped only when too wide.
            const int lineHeight = painterFontHeight(dc);
            if (m_recordDevice && dc.device() == m_recordDevice) {
                // Blanks at the end of a line set from the left show nothing
                // when clipped: only its letters need the room.
                qsizetype letters = shown.size();
                if (!(format & (DT_RIGHT | DT_CENTER)))
                    while (letters > 0 && shown[letters - 1].isSpace())
                        --letters;
                recordText(dc, rect, shown, format, QSize(fm.horizontalAdvance(shown.left(letters)), lineHeight));
            }
            if (!(format & DT_NOCLIP) && rect.height() > lineHeight && isLatin1(shown)) {
                dc.drawText(rect, align | valign | Qt::TextSingleLine, shown);
                return lineHeight;
            }
            const bool clip = !(format & DT_NOCLIP) && fm.horizontalAdvance(shown) > rect.width();
            if (clip) {
                dc.save();
                dc.setClipRect(rect, Qt::IntersectClip);
            }
            dc.drawText(rect, align | valign | Qt::TextSingleLine | Qt::TextDontClip, shown);
            if (clip)
                dc.restore();
        }
        return painterFontHeight(dc);
    }
    // Several lines, or tabs: tab stops every eight average characters.
    QString shown = input;
    shown.remove(QLatin1Char('\r'));
    if (format & DT_SINGLELINE)
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    // A word wider than its rectangle is broken between letters at a hyphen,
    // the rest of it on the next line.
    QStringList pieces;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE) && !shown.isEmpty()) {
        const int room = std::max(rect.width(), 1);
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        for (const QString &w : shown.split(blanks, Qt::SkipEmptyParts)) {
            if (w.size() > 1 && fm.horizontalAdvance(w) > room) {
                shown = BreakLongWords(fm, shown, room, QStringLiteral("-"), &pieces);
                shown.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
                break;
            }
        }
    }
    QTextOption option(Qt::Alignment(align | Qt::AlignTop));
    // A word longer than its line breaks where it must rather than running
    // out of its rectangle.
    option.setWrapMode((format & DT_WORDBREAK) ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    // Text layout scales tab stops from 96 dots per inch to the device's.
    const double layoutScale = dc.device() ? dc.device()->logicalDpiY() / 96.0 : 1.0;
    option.setTabStopDistance(8.0 * std::max(1, fm.averageCharWidth()) / std::max(layoutScale, 0.01));
    const QRectF area(rect.left(), rect.top(), std::max(rect.width(), 1), 1e7);
    if (holdsRightToLeft(shown))
        return drawLinesInTheirDirections(dc, rect, shown, format, option);
    const QRectF needed = dc.boundingRect(area, shown, option);
    const int height = shown.isEmpty() ? fm.height() : int(std::ceil(needed.height()));
    if (!(format & DT_CALCRECT) && !shown.isEmpty()) {
        if (m_recordDevice && dc.device() == m_recordDevice) {
            recordText(dc, rect, shown, format, QSize(int(std::ceil(needed.width())), height));
            for (const QString &piece : pieces)
                m_cutRecord.addBreak(piece);
        }
        QRectF target(rect.left(), rect.top(), std::max(rect.width(), 1), std::max(height, rect.height()));
        if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
            target.moveTop(rect.top() + (rect.height() - height) / 2.0);
        const bool clip = !(format & DT_NOCLIP) && (needed.height() > rect.height() || needed.width() > rect.width());
        if (clip) {
            dc.save();
            dc.setClipRect(rect, Qt::IntersectClip);
        }
        dc.drawText(target, shown, option);
        if (clip)
            dc.restore();
    }
    return height;
}

// Lines of which one is written from right to left: each line is laid out
// by itself, in the direction of its own first letter, and set at the
// rectangle's side as any other line. Laid out as one paragraph, a name in
// Hebrew above an address would turn the address's line right to left too
// and move its numbers ("8296 2nd Ave" printed "2 8296nd Ave").
int CPrint::drawLinesInTheirDirections(QPainter &dc, const QRect &rect, const QString &shown, unsigned format,
                                       const QTextOption &option)
{
    const QFontMetrics fm = dc.fontMetrics();
    const QRectF area(rect.left(), rect.top(), std::max(rect.width(), 1), 1e7);
    struct Line
    {
        QString text;
        QTextOption option;
        qreal height = 0;
        qreal width = 0;
    };
    QList<Line> lines;
    qreal height = 0;
    qreal width = 0;
    for (const QString &text : shown.split(QLatin1Char('\n'))) {
        Line line{text, option};
        line.option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        // The block's side, whichever way the line runs.
        line.option.setAlignment(option.alignment() | Qt::AlignAbsolute);
        const QRectF needed = dc.boundingRect(area, text.isEmpty() ? QStringLiteral(" ") : text, line.option);
        line.height = needed.height();
        line.width = text.isEmpty() ? 0 : needed.width();
        height += line.height;
        width = std::max(width, line.width);
        lines.append(line);
    }
    const int total = shown.isEmpty() ? fm.height() : int(std::ceil(height));
    if ((format & DT_CALCRECT) || shown.isEmpty())
        return total;
    if (m_recordDevice && dc.device() == m_recordDevice)
        recordText(dc, rect, shown, format, QSize(int(std::ceil(width)), total));
    qreal top = rect.top();
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        top += (rect.height() - total) / 2.0;
    const bool clip = !(format & DT_NOCLIP) && (total > rect.height() || width > rect.width());
    if (clip) {
        dc.save();
        dc.setClipRect(rect, Qt::IntersectClip);
    }
    for (const Line &line : std::as_const(lines)) {
        if (!line.text.isEmpty())
            dc.drawText(QRectF(rect.left(), top, std::max(rect.width(), 1), line.height), line.text, line.option);
        top += line.height;
    }
    if (clip)
        dc.restore();
    return total;
}

void CPrint::recordText(const QPainter &dc, const QRect &rect, const QString &shown, unsigned format,
                        const QSize &need)
{
    m_cutRecord.countText();
    const QFontMetrics fm = dc.fontMetrics();
    const bool clip = !(format & DT_NOCLIP);
    const bool lines = !(format & DT_SINGLELINE) || shown.contains(QLatin1Char('\t'));
    const bool across = need.width() > rect.width();
    // A last line may lose its descent to the cell below without a letter lost.
    const bool below = lines && need.height() - rect.height() > fm.descent();
    bool word = false;
    if (lines && (format & DT_WORDBREAK)) {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        for (const QString &w : shown.split(blanks, Qt::SkipEmptyParts))
            if (fm.horizontalAdvance(w) > rect.width()) {
                word = true;
                break;
            }
    }
    // Where the text shows: clipped to its cell, or as wide and tall as it is.
    const int shownWidth = clip ? std::min(need.width(), rect.width()) : need.width();
    const int shownHeight = clip && lines ? std::min(need.height(), rect.height()) : need.height();
    int left = rect.left();
    if (format & DT_RIGHT)
        left = rect.right() + 1 - shownWidth;
    else if (format & DT_CENTER)
        left = rect.left() + (rect.width() - shownWidth) / 2;
    int top = rect.top();
    if (!lines && (format & DT_VCENTER))
        top = rect.top() + (rect.height() - shownHeight) / 2;
    else if (!lines && (format & DT_BOTTOM))
        top = rect.bottom() + 1 - shownHeight;
    const QPaintDevice *device = dc.device();
    const bool offPage = device && (left < 0 || top < 0 || left + shownWidth > device->width()
                                    || top + shownHeight > device->height() + fm.descent());
    PrintCutRecord::Kind kind;
    if (offPage)
        kind = PrintCutRecord::Kind::Page;
    else if (word)
        kind = PrintCutRecord::Kind::Word;
    else if (below)
        kind = clip ? PrintCutRecord::Kind::Below : PrintCutRecord::Kind::Beyond;
    else if (across && !(lines && (format & DT_WORDBREAK)))
        kind = clip ? PrintCutRecord::Kind::Across : PrintCutRecord::Kind::Beyond;
    else
        return;
    m_cutRecord.add(kind, rect, need, shown);
}

int CPrint::DrawTextLine(QPainter &dc, const QString &text, PrintRect &rect, unsigned format, int factor,
                         const QFont *font)
{
    if (font)
        dc.setFont(*font);
    const int height = DrawText(dc, rect, text, format);
    rect.top += factor * height;
    return height;
}

int CPrint::DrawTextBox(QPainter &dc, const QString &text, PrintRect &rect, int width, unsigned format,
                        const QFont *font)
{
    if (width <= 0)
        return 0;
    PrintRect cell(rect.left, rect.top, rect.left + width, rect.bottom);
    if (format & DT_RIGHT) {
        cell.right -= m_nPad;
    } else if (!(format & DT_CENTER)) {
        cell.left += m_nPad;
        cell.right -= m_nPad;
    }
    if (font)
        dc.setFont(*font);
    const int height = DrawText(dc, cell, text, format);
    rect.left += width;
    return height;
}

int CPrint::DrawNumberBox(QPainter &dc, int number, PrintRect &rect, int width, unsigned format, const QFont *font)
{
    return DrawTextBox(dc, QString::number(number), rect, width, format, font);
}

int CPrint::DrawDateBox(QPainter &dc, const DateTime &date, PrintRect &rect, int width, unsigned format,
                        const QFont *font)
{
    QString text;
    if (date.isValid())
        text = date.dateText();
    return DrawTextBox(dc, text, rect, width, format, font);
}

int CPrint::DrawMoneyBox(QPainter &dc, Money amount, PrintRect &rect, int width, unsigned format, const QFont *font)
{
    return DrawTextBox(dc, FormatMoney(amount), rect, width, format, font);
}

int CPrint::DrawTextPair(QPainter &dc, const QString &label, const QString &value, PrintRect &rect, int labelWidth,
                         unsigned labelFormat, unsigned valueFormat, const QFont *font)
{
    if (font)
        dc.setFont(*font);
    PrintRect left(rect.left + m_nPad, rect.top, rect.left + labelWidth - m_nPad, rect.bottom);
    DrawText(dc, left, label, labelFormat);
    PrintRect right(rect.left + labelWidth + m_nPad, rect.top, rect.right - m_nPad, rect.bottom);
    const int height = DrawText(dc, right, value, valueFormat);
    rect.top += height;
    return height;
}

int CPrint::DrawFilledLine(QPainter &dc, const QString &text, PrintRect &rect, unsigned format, int factor,
                           const QFont *font, std::uint32_t fill, bool frame)
{
    if (fill != 0xFFFFFF)
        dc.fillRect(rect.toQRect(), colour(fill));
    if (frame) {
        dc.save();
        dc.setPen(QPen(Qt::black, penWidth(dc)));
        dc.setBrush(Qt::NoBrush);
        dc.drawRect(rect.toQRect());
        dc.restore();
    }
    return DrawTextLine(dc, text, rect, format, factor, font);
}

void CPrint::DrawRotatedText(QPainter &dc, const QString &text, PrintRect rect, int size, int angle, int flags)
{
    QString face = m_form.m_FontName.trimmed();
    if (face.isEmpty())
        face = QStringLiteral("Tahoma");
    const int height = size * m_sizeDpi.height() / 50;
    if (height <= 0)
        return;
    QFont font = Appearance::CreatePointFont(face, 100);
    font.setPixelSize(height);
    font.setBold(true);
    dc.save();
    dc.setFont(font);
    QFontMetrics fm(font, dc.device());
    int textWidth = fm.horizontalAdvance(text);
    if ((flags & 16) && rect.top + textWidth > rect.bottom) {
        // Kept above the rectangle's bottom: moved up, not above the top of
        // the page, and made smaller when the page leaves it too little room.
        rect.top = std::max(0, rect.bottom - textWidth);
        if (rect.top + textWidth > rect.bottom && textWidth > 0) {
            font.setPixelSize(std::max(1, height * std::max(1, rect.bottom - rect.top) / textWidth));
            dc.setFont(font);
            fm = QFontMetrics(font, dc.device());
            textWidth = fm.horizontalAdvance(text);
        }
    }
    if (flags & 2)
        rect.left = rect.right - fm.height();
    if (flags & 8)
        rect.top = rect.bottom - textWidth;
    // The text runs counter-clockwise by the angle from its baseline start.
    dc.translate(rect.left, rect.top + ((flags & 8) ? textWidth : 0));
    dc.rotate(-angle);
    dc.drawText(QPoint(0, fm.ascent()), text);
    dc.restore();
}

int CPrint::DrawBarCode(QPainter &dc, PrintRect rect, bool object)
{
    const QString symbols = Code39::SymbolsOfPrintedText(m_barCode.GetText(object));
    if (symbols.isEmpty())
        return 0;
    // Narrow bars of 0.010 inch, wide ones three times as wide; the height is
    // the bar-code font's.
    const int narrow = std::max(1, int(std::lround(m_sizeDpi.width() * 0.010)));
    const int height = m_fonts[FontBarCode].pixelSize() > 0 ? m_fonts[FontBarCode].pixelSize()
                                                           : m_sizeDpi.height() * 240 / 720;
    Code39::DrawBars(dc, rect.left + m_nPad, rect.top, narrow, height, symbols);
    return height;
}

void CPrint::DrawLine(QPainter &dc, int x1, int y1, int x2, int y2)
{
    dc.drawLine(x1, y1, x2, y2);
}

void CPrint::DrawRule(QPainter &dc, PrintRect &rect, int height, bool advance)
{
    const int y = rect.top + height / 2;
    dc.save();
    dc.setPen(QPen(Qt::black, penWidth(dc)));
    dc.drawLine(rect.left, y, rect.right, y);
    dc.restore();
    if (advance)
        rect.top += height;
}

void CPrint::DrawBox(QPainter &dc, const QString &caption, const QString &body, PrintRect &rect, int width, int style,
                     unsigned format, const QFont *font, std::uint32_t textColour)
{
    if (width <= 0)
        return;
    rect.right = rect.left + width;
    const PrintRect band(rect.left, rect.top, rect.right, rect.top + m_nCaptionHeight);
    PrintRect bodyArea(rect.left, band.bottom, rect.right, rect.bottom);
    const QPen framePen(Qt::black, penWidth(dc));
    if (style == 1) {
        if (m_crFill != 0xFFFFFF)
            dc.fillRect(band.toQRect(), colour(m_crFill));
        dc.save();
        dc.setPen(framePen);
        dc.setBrush(Qt::NoBrush);
        dc.drawRect(rect.toQRect());
        dc.drawLine(band.left, band.bottom, band.right, band.bottom);
        dc.restore();
        unsigned captionFormat = 0x824;
        PrintRect text = band;
        if (format & DT_CENTER) {
            captionFormat = 0x825;
        } else if (format & DT_RIGHT) {
            captionFormat = 0x826;
            text.right -= m_nPad;
        } else {
            text.left += m_nPad;
            text.right -= m_nPad;
        }
        if (m_pCaptionFont)
            dc.setFont(*m_pCaptionFont);
        dc.setPen(colour(m_crText));
        DrawText(dc, text, caption, captionFormat);
        dc.setPen(Qt::black);
    } else if (style == 2) {
        // A centred caption has the band's whole width, as in style 1.
        PrintRect text = band;
        if (!(format & DT_CENTER))
            text.right -= m_nPad;
        dc.setFont(m_fonts[FontBodyBold]);
        DrawText(dc, text, caption, format);
        dc.save();
        dc.setPen(framePen);
        dc.drawLine(band.left, band.bottom, band.right, band.bottom);
        dc.restore();
    } else if (style == 3) {
        bodyArea.top = rect.top;
    }
    if (!body.isEmpty()) {
        if (format & DT_RIGHT)
            bodyArea.right -= m_nPad;
        else if (!(format & DT_CENTER))
            bodyArea.left += m_nPad;
        dc.setFont(font ? *font : m_fonts[FontBody]);
        dc.setPen(colour(textColour));
        DrawText(dc, bodyArea, body, format);
        dc.setPen(Qt::black);
    }
    dc.setFont(m_fonts[FontBody]);
    rect.left += width;
    rect.right += width;
}

void CPrint::DrawBoxInches(QPainter &dc, const QString &caption, const QString &body, PrintRect &rect, double width,
                           int style, unsigned format, const QFont *font, std::uint32_t textColour)
{
    DrawBox(dc, caption, body, rect, InchToDevice(width, true), style, format, font, textColour);
}

void CPrint::DrawCaptionBox(QPainter &dc, const QString &caption, const QString &body, PrintRect &rect, int style,
                            unsigned format, const QFont *font, std::uint32_t bodyColour)
{
    PrintRect text = rect;
    text.bottom = m_nBodyBottom + m_nLineHeight;
    if (style != 3)
        text.top += m_nCaptionHeight;
    if (style == 1) {
        text.left += m_nPad;
        text.right -= m_nPad;
        text.top += m_nQuarterLine;
    }
    dc.setFont(font ? *font : m_fonts[FontBody]);
    const QPen savedPen = dc.pen();
    int height = 0;
    if (bodyColour == 0x99FFFF) {
        // Highlighted: black on pale yellow.
        height = DrawText(dc, text, body, format | DT_CALCRECT);
        dc.fillRect(QRect(text.left, text.top, text.width(), height), colour(0x99FFFF));
        dc.setPen(Qt::black);
        DrawText(dc, text, body, format);
    } else {
        dc.setPen(colour(bodyColour));
        height = DrawText(dc, text, body, format);
    }
    dc.setPen(savedPen);
    const int boxBottom = text.top + height + m_nQuarterLine;
    rect.bottom = boxBottom;
    DrawBox(dc, caption, QString(), rect, rect.width(), style, format, font, 0);
    rect.top = boxBottom + (style == 1 ? m_nQuarterLine : 0);
}

void CPrint::DrawNote(QPainter &dc, const QString &caption, const QString &input, PrintRect &rect, int style,
                      unsigned format, const QFont *font, std::uint32_t noteColour, int pageHeight)
{
    // Remarks for the office ("<<" ... ">>") never reach the paper.
    QString note = input;
    RemoveDelimited(note, QStringLiteral("<<"), QStringLiteral(">>"));

    // Measure without showing: a copy drawn on a discarding painter.
    PrintRect measured = rect;
    {
        // The counting pass paints on the engine's measuring device itself:
        // a device may have one painter only, so measure on a device of its own.
        std::unique_ptr<RecordingDevice> own;
        QPaintDevice *target = measureDevice();
        if (!target || dc.device() == target) {
            own = std::make_unique<RecordingDevice>(m_sizeDpi.width(), m_sizeDpi.height(), m_sizePage.width(),
                                                    m_sizePage.height());
            target = own.get();
        }
        QPainter measure(target);
        measure.setFont(dc.font());
        DrawCaptionBox(measure, caption, note, measured, style, format, font, noteColour);
    }
    const int boxBottom = measured.top;
    const int boxHeight = boxBottom - rect.top;
    if (boxBottom <= m_nBodyBottom) {
        DrawCaptionBox(dc, caption, note, rect, style, format, font, noteColour);
        return;
    }
    if (pageHeight > 0 && boxHeight <= pageHeight) {
        PrintRect pointer = rect;
        DrawCaptionBox(dc, QString(), QStringLiteral("see note on the next page..."), pointer, style, format,
                       &m_fonts[FontItalic], 0);
        rect.top = m_nBodyBottom + m_nLineHeight;
        return;
    }
    const QString cut = QStringLiteral(" --- LAST PART OF THIS NOTE MAY BE CUT-OFF. PLEASE CHECK ---\n") + note;
    DrawCaptionBox(dc, caption, cut, rect, style, format, &m_fonts[Font7], noteColour);
    rect.top = std::min(rect.top, m_nBodyBottom);
}

void CPrint::DrawPageHeader(QPainter &dc, PrintInfo &info)
{
    PrintRect r = info.drawRect;
    dc.setPen(Qt::black);
    DrawTextLine(dc, m_strProgramLine, r, 0x820, 1, &m_fonts[Font7]);
    const QDateTime now = platform::Clock::now();
    DrawTextLine(dc, now.toString(QStringLiteral("MM/dd/yy HH:mm:ss")), r, 0x820, -1, &m_fonts[Font8]);
    const QString pageNumber = GetPageNumberText(info);
    DrawTextLine(dc, pageNumber, r, 0x822, 0, nullptr);
    const QString shop = ZqApp() ? ZqApp()->m_company.m_strName : QString();
    // The shop's name is centred between the program line and the time on
    // the left and the page number on the right, clear of both: a name too
    // wide for that room is drawn smaller, down to the program line's size,
    // and wraps at that size (a word wider than the room broken between
    // letters) when even then it does not fit. The lines below move down
    // only when the name takes more height than one line of the body font.
    const int side = std::max({QFontMetrics(m_fonts[Font7], dc.device()).horizontalAdvance(m_strProgramLine),
                               QFontMetrics(m_fonts[Font8], dc.device()).horizontalAdvance(
                                   now.toString(QStringLiteral("MM/dd/yy HH:mm:ss"))),
                               QFontMetrics(m_fonts[Font8], dc.device()).horizontalAdvance(pageNumber)})
        + m_nPad;
    const int centre = (r.left + r.right) / 2;
    const int half = std::max(1, std::min(centre - r.left, r.right - centre) - side);
    const PrintRect nameBox(centre - half, r.top, centre + half, r.bottom);
    QFont nameFont = m_fonts[FontBody];
    dc.setFont(nameFont);
    const int lineHeight = painterFontHeight(dc);
    const int nameWidth = dc.fontMetrics().horizontalAdvance(shop);
    if (nameWidth > nameBox.width() && nameFont.pixelSize() > 0) {
        const int smallest = std::min(nameFont.pixelSize(), std::max(1, m_fonts[Font7].pixelSize()));
        nameFont.setPixelSize(std::max(smallest, int(std::int64_t(nameFont.pixelSize()) * nameBox.width() / nameWidth)));
        dc.setFont(nameFont);
        // The size found by proportion may still be a little too wide.
        while (nameFont.pixelSize() > smallest && dc.fontMetrics().horizontalAdvance(shop) > nameBox.width()) {
            nameFont.setPixelSize(nameFont.pixelSize() - 1);
            dc.setFont(nameFont);
        }
    }
    int nameHeight = lineHeight;
    if (!shop.isEmpty()) {
        const bool fits = dc.fontMetrics().horizontalAdvance(shop) <= nameBox.width();
        nameHeight = std::max(lineHeight, DrawText(dc, nameBox, shop, fits ? 0x821 : 0x811));
    }
    r.top += nameHeight;
    // Titles and heading lines longer than the page wrap inside it.
    DrawTextLine(dc, m_strTitle, r, 0x851, 1, &m_fonts[Font12Bold]);
    r.top += m_nQuarterLine / 2;
    DrawTextLine(dc, m_strHeading1, r, 0x851, 1, &m_fonts[FontBodyBold]);
    DrawTextLine(dc, m_strHeading2, r, 0x851, 1, &m_fonts[FontBody]);
    DrawTextLine(dc, m_strHeading3, r, 0x851, 1, nullptr);
    DrawTextLine(dc, m_strHeading4, r, 0x851, 1, &m_fonts[Font8]);
    dc.setFont(m_fonts[FontBody]);
    info.drawRect.top = r.top + m_nQuarterLine;
}

std::vector<int> CPrint::FitDocumentColumns(QPainter &dc, const std::vector<DocumentColumn> &columns, int room,
                                            double *scale)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    std::vector<PrintColumnFit::Column> fit(columns.size());
    for (size_t c = 0; c < columns.size(); ++c) {
        const DocumentColumn &column = columns[c];
        PrintColumnFit::Column &col = fit[c];
        col.base = column.base;
        col.whole = column.whole;
        if (column.base <= 0)
            continue;
        const QFontMetrics cells(column.font ? *column.font : m_fonts[FontBody], dc.device());
        const QFontMetrics title(column.titleFont ? *column.titleFont : m_fonts[FontBodyBold], dc.device());
        int need = column.title.isEmpty() ? 1 : CellNeed(title, column.title);
        if (column.whole) {
            for (const QString &text : column.texts)
                need = std::max(need, CellNeed(cells, text));
            if (column.most > 0)
                need = std::min(need, column.most);
            col.need = col.wordNeed = need;
            continue;
        }
        // A text keeps its widest word while the page has room for it, and
        // no more than half of what its layout gives it.
        // A caption drawn on one line keeps its whole width, as a word does.
        int word = column.title.isEmpty() ? 1
            : column.titleWhole           ? CellNeed(title, column.title)
                                          : PrintColumnFit::WidestWord(column.title, [&](const QString &w) {
                                                return CellNeed(title, w);
                                            });
        col.titleWord = word;
        for (const QString &text : column.texts)
            for (const QString &w : text.split(blanks, Qt::SkipEmptyParts))
                word = std::max(word, CellNeed(cells, w));
        word = std::min(word, std::max(col.titleWord, column.base / 2));
        col.need = col.wordNeed = col.wordMin = word;
    }
    const int minText = CellNeed(QFontMetrics(m_fonts[FontBodyBold], dc.device()), QStringLiteral("nnnnnn"));
    const PrintColumnFit::Result result = PrintColumnFit::Fit(fit, room, minText);
    if (scale)
        *scale = result.scale;
    std::vector<int> widths = result.widths;
    for (size_t c = 0; c < columns.size(); ++c)
        if (columns[c].base <= 0)
            widths[c] = 0;
    return widths;
}
