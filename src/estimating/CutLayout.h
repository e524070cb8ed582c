#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>

#include <vector>

class QPainter;

// How many pieces of one size a sheet of another size yields and how many
// guillotine cuts that takes, with the rectangles to draw. No widget: the
// layout window (CLayout), the printed cutting page and the command-line
// tool all draw from the same result.
//
// The options word (the cutting dialog's check boxes):
//   0x01 fill the leftover strip or band with turned pieces ("Cut mixed-grain")
//   0x02 cut several strips in one stroke ("Cut multiple-pieces")
//   0x04 centre the block of pieces across, 0x08 down
//   0x10 a gutter of the trim size between rows, 0x20 between columns
//   0x40 gripper margin at the top, 0x80 at the left (drawing only)
class CutLayout
{
public:
    enum Option : int {
        MixedGrain = 0x01,
        MultiplePieces = 0x02,
        CenterHorizontal = 0x04,
        CenterVertical = 0x08,
        TrimInsideHorizontal = 0x10,
        TrimInsideVertical = 0x20,
        GripTop = 0x40,
        GripLeft = 0x80,
    };

    // A pass never places more pieces than this (a tiny piece on a large
    // sheet would otherwise run the placement for ever).
    static constexpr int kMaxPiecesPerPass = 10000;

    // Rectangles in pixels of the drawing area, as left, top, right, bottom.
    struct Box
    {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    void Reset();

    // The area the rectangles are scaled into (the window's client area);
    // empty when there is no window, so only the counts mean anything.
    void SetDrawingArea(const QRect &area) { m_area = area; }
    QRect drawingArea() const { return m_area; }

    // Lays the piece out on the sheet. Both texts are rewritten as the
    // layout read them ("%g x %g"); the piece text takes the whole sheet when
    // the piece fits in neither orientation. False when a side is 0 or below
    // (no layout, counts 0).
    bool CalcLayout(QString &sheet, QString &piece, int options, float trim);

    // Draws the last layout: the sheet grey with its sides written beside it,
    // the pieces white outlined in red, the grip margins hatched. On a
    // printer or PDF device every pixel of the drawing area is mapped to
    // device dots by the device's resolution against `screenDpiX/Y`; a
    // negative x offset centres the sheet in a width of minus that offset.
    // Returns the sheet's rectangle on the device.
    QRect DrawLayout(QPainter &painter, int xOffset, int yOffset, int screenDpiX = 96, int screenDpiY = 96) const;

    float m_sheetWidth = 0;
    float m_sheetHeight = 0;
    float m_pieceWidth = 0;
    float m_pieceHeight = 0;
    int m_nPieces = 0;
    int m_nCuts = 0;
    // A pass stopped at kMaxPiecesPerPass: the counts are not the whole
    // layout and must not be used as one.
    bool m_bCapped = false;
    bool m_bGripTop = false;
    bool m_bGripLeft = false;
    QString m_strCaption1;
    QString m_strCaption2;
    // Element 0 is the sheet, then one per piece in the order placed; piece
    // boxes are relative to the sheet's top-left corner.
    std::vector<Box> m_rects;

private:
    QRect m_area;
};

// A trim size as the trim list writes it: "a/b" with b above 0 is the
// fraction, anything else reads as a decimal number (blank gives 0).
float ParseFraction(const QString &text);
