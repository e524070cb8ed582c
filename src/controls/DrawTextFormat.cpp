#include "controls/DrawTextFormat.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

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

} // namespace

int DrawFormattedText(QPainter &painter, const QRect &rect, const QString &input, unsigned format)
{
    const QString text = (format & DT_NOPREFIX) ? input : stripPrefix(input);
    const QFontMetrics metrics(painter.font());
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
        if ((format & (DT_WORD_ELLIPSIS | DT_END_ELLIPSIS)) && metrics.horizontalAdvance(shown) > rect.width())
            shown = metrics.elidedText(shown, Qt::ElideRight, rect.width());
        if (!(format & DT_CALCRECT)) {
            painter.save();
            if (!(format & DT_NOCLIP))
                painter.setClipRect(rect, Qt::IntersectClip);
            painter.drawText(rect, flags, shown);
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
                                              flags, shown);
    if (!(format & DT_CALCRECT)) {
        painter.save();
        if (!(format & DT_NOCLIP))
            painter.setClipRect(rect, Qt::IntersectClip);
        painter.drawText(rect, flags, shown);
        painter.restore();
    }
    return needed.height();
}
