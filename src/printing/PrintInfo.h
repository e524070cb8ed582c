#pragma once

#include <QtCore/QRect>

// A rectangle of device units as the page drawing code keeps it: the right
// and bottom edges lie just outside it, so width = right - left. Drawing
// operations move it (the top is the current y, the left the current x).
struct PrintRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    PrintRect() = default;
    PrintRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    bool operator==(const PrintRect &o) const = default;
};

// What one print run knows about its pages: the range the user chose, the
// page being drawn, the last page once it is known, the page's drawing
// rectangle and the pass the page is drawn for.
struct PrintInfo
{
    // A maximum page of 65535 means the last page is not known yet.
    static constexpr int kOpenEnd = 65535;

    enum class Pass {
        Count,   // drawn on a discarding device to find where a page starts
        Preview, // drawn for the print preview
        Print,   // drawn for paper or a PDF file
    };

    int minPage = 1;
    int maxPage = kOpenEnd;
    int fromPage = 1;
    int toPage = kOpenEnd;
    int currentPage = 1;
    // Cleared by the page-existence test when the current page does not exist.
    bool continuePrinting = true;
    // Printed without a printer dialog.
    bool direct = false;
    Pass pass = Pass::Print;
    PrintRect drawRect;

    bool isPreview() const { return pass == Pass::Preview; }
    bool isCounting() const { return pass == Pass::Count; }
};
