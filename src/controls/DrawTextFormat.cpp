#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtGui/QTextOption>

namespace {

// "&x" marks a mnemonic and "&&" a literal ampersand.
QString stripPrefix(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

CutTextObserver &cutTextObserver()
{
    static CutTextObserver observer;
    return observer;
}

// A text clipped to a rect it does not fit: the observer hears of it.
void reportCut(QPainter &painter, const QRect &rect, const QString &text, const QSize &needed, unsigned format)
{
    if (!cutTextObserver() || (format & (DT_CALCRECT | DT_NOCLIP)) || rect.width() <= 0 || rect.height() <= 0 ||
        text.trimmed().isEmpty())
        return;
    // A pixel of antialiasing either way is no cut.
    if (needed.width() > rect.width() + 1 || needed.height() > rect.height() + 1)
        cutTextObserver()(painter, rect, text, needed);
}

// Tab stops every eight average characters, as the program's texts were
// laid out for (a wider stop pushes a tabbed column out of its panel).
int tabStop(const QFontMetrics &metrics)
{
    return 8 * metrics.averageCharWidth();
}

void drawFlagged(QPainter &painter, const QRect &rect, int flags, const QString &text, int tab)
{
    QTextOption option(Qt::Alignment(flags & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask)));
    option.setWrapMode((flags & Qt::TextWordWrap) ? QTextOption::WordWrap : QTextOption::NoWrap);
    option.setTabStopDistance(tab);
    painter.drawText(QRectF(rect), text, option);
}

} // namespace

void SetCutTextObserver(CutTextObserver observer)
{
    cutTextObserver() = std::move(observer);
}

int DrawFormattedText(QPainter &painter, const QRect &rect, const QString &input, unsigned format)
{
    const QString text = (format & DT_NOPREFIX) ? input : stripPrefix(input);
    const QFontMetrics metrics(painter.font());
    const int tab = tabStop(metrics);
    int flags = Qt::TextExpandTabs;
    if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;

    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        if (format & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
        QString shown = text;
        shown.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        // Tabs as the drawing expands them.
        const int wide = metrics.boundingRect(QRect(0, 0, 100000, 1000), flags, shown, tab).width();
        if ((format & DT_WRAP_WHEN_LONG) && wide > rect.width() && shown.contains(QLatin1Char(' '))) {
            const int wrapFlags = (flags & ~(Qt::TextSingleLine | Qt::AlignVertical_Mask)) | Qt::AlignTop | Qt::TextWordWrap;
            const QRect lines = metrics.boundingRect(QRect(0, 0, qMax(rect.width(), 1), 100000), wrapFlags, shown, tab);
            if (lines.width() <= rect.width() && lines.height() <= rect.height()) {
                // A bar of one line's height squeezing the text into two
                // reads as a cut text: the bar is too short for it.
                if (rect.height() < 2 * metrics.height() + 4 && cutTextObserver() && !(format & DT_CALCRECT) &&
                    !(format & DT_NOCLIP))
                    cutTextObserver()(painter, rect, shown, QSize(wide, metrics.capHeight() + 2));
                QRect place(rect.left(), rect.top(), rect.width(), lines.height());
                if (format & DT_VCENTER)
                    place.moveTop(rect.top() + (rect.height() - lines.height()) / 2);
                else if (format & DT_BOTTOM)
                    place.moveBottom(rect.bottom());
                if (!(format & DT_CALCRECT)) {
                    painter.save();
                    if (!(format & DT_NOCLIP))
                        painter.setClipRect(rect, Qt::IntersectClip);
                    drawFlagged(painter, place, wrapFlags, shown, tab);
                    painter.restore();
                }
                return lines.height();
            }
        }
        // A single line reads while its capitals show whole.
        reportCut(painter, rect, shown, QSize(wide, metrics.capHeight() + 2), format);
        if ((format & (DT_WORD_ELLIPSIS | DT_END_ELLIPSIS)) && wide > rect.width())
            shown = metrics.elidedText(shown, Qt::ElideRight, rect.width());
        if (!(format & DT_CALCRECT)) {
            painter.save();
            if (!(format & DT_NOCLIP))
                painter.setClipRect(rect, Qt::IntersectClip);
            drawFlagged(painter, rect, flags, shown, tab);
            painter.restore();
        }
        return metrics.height();
    }

    flags |= Qt::AlignTop;
    if (format & DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    const QRect needed = metrics.boundingRect(QRect(rect.left(), rect.top(), qMax(rect.width(), 1), 100000),
                                              flags, shown, tab);
    reportCut(painter, rect, shown, needed.size(), format);
    // The lines of a tabbed table ("Due\t12/09/2026   4:30 PM") read only
    // whole: one broken in two by the wrapping is cut too.
    if ((flags & Qt::TextWordWrap) && shown.contains(QLatin1Char('\t')) && cutTextObserver() &&
        !(format & (DT_CALCRECT | DT_NOCLIP))) {
        const QRect unbroken =
            metrics.boundingRect(QRect(0, 0, 100000, 100000), flags & ~Qt::TextWordWrap, shown, tab);
        if (unbroken.width() > rect.width() + 1 && needed.height() > unbroken.height() + 1)
            cutTextObserver()(painter, rect, shown, unbroken.size());
    }
    if (!(format & DT_CALCRECT)) {
        painter.save();
        if (!(format & DT_NOCLIP))
            painter.setClipRect(rect, Qt::IntersectClip);
        drawFlagged(painter, rect, flags, shown, tab);
        painter.restore();
    }
    return needed.height();
}
