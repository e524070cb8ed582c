#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>

#include <functional>

class QPainter;

// Text formats of the program's drawing code, numbered as its text-drawing
// call numbers them (2084 = single line, vertically centred, no prefix ...).
enum DrawTextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_TOP = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
    DT_WORD_ELLIPSIS = 0x40000,
    // The program's own two-part text: a first line, then wrapped text below.
    DT_TWO_PART = 0x10000,
    // The program's own: a single line too long for its rect wraps at its
    // blanks when the rect is tall enough for the lines (else it is cut with
    // an ellipsis as asked).
    DT_WRAP_WHEN_LONG = 0x20000,
};

// Draws `text` in `rect` with the painter's font and pen as the format asks:
// horizontal alignment (centre, right), vertical alignment of single lines
// (centre, bottom), word wrapping, tab expansion, "&" as a mnemonic marker
// unless DT_NOPREFIX, an ellipsis when a single line does not fit, clipping to
// the rect unless DT_NOCLIP. With DT_CALCRECT nothing is drawn. Returns the
// height of the text.
int DrawFormattedText(QPainter &painter, const QRect &rect, const QString &text, unsigned format);

// Told of every text DrawFormattedText draws clipped to a rect that cannot
// hold it: a single line wider than the rect (shown with an ellipsis or cut)
// or lines taller than it. `needed` is the size the text asks for. The
// screen checks install one; nothing is told when none is installed.
using CutTextObserver = std::function<void(QPainter &painter, const QRect &rect, const QString &text, const QSize &needed)>;
void SetCutTextObserver(CutTextObserver observer);
