#pragma once

#include "app/base/Colours.h"

#include <QtCore/QPoint>
#include <QtCore/QRect>
#include <QtGui/QBrush>
#include <QtGui/QPen>
#include <QtWidgets/QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class CXGridCtrl;
class QPainter;

// A small line graph of the rows of a cell grid: x from the grid's first
// column, the "Price" series from its second and the "Target" series from its
// third, drawn with point markers over gridded axes. Amounts are hundredths of
// a currency unit. A graph without rows, or whose largest x is 0, draws only
// its frame.
class CGraphWnd : public QWidget
{
    Q_OBJECT

public:
    // A point marker: a circle, square, triangle or diamond of a half width.
    class CMarker
    {
    public:
        enum Shape : int { Circle = 2, Square = 4, Triangle = 8, Diamond = 16 };

        CMarker() = default;
        CMarker(const CMarker &other);
        CMarker &operator=(const CMarker &other);
        ~CMarker();

        // Fill mode 1 fills in the colour, 2 in white, any other leaves the
        // fill as it was (none: the painter's current brush is used).
        void SetStyle(int size, ColorRef colour, int shape, int fillMode);
        // Draws at the position; leaves the marker's pen on the painter.
        void Draw(QPainter &painter) const;
        bool hasBrush() const { return m_pBrush != nullptr; }
        bool hasFill() const { return m_pBrush && m_pBrush->style() != Qt::NoBrush; }

        std::unique_ptr<QPen> m_pPen;
        std::unique_ptr<QBrush> m_pBrush;
        QPoint m_Position;
        int m_nSize = 0;
        ColorRef m_Colour = 0;
        int m_nShape = Circle;
        bool m_bFilled = true;
    };

    struct CSeries
    {
        std::vector<std::int32_t> x;
        std::vector<std::int64_t> y;
        CMarker marker;
    };
    using CSeriesArray = std::vector<CSeries>;

    class CGraph
    {
    public:
        // Reads the series from the grid (nothing without one).
        void LoadFromGrid(const CXGridCtrl *grid);
        std::int64_t GetMaxY() const;
        std::int32_t GetMaxX() const;
        // The top of the y axis: the largest y raised to the next multiple of
        // 50000 above it.
        std::int64_t TopY() const;
        // Sets the scales for the plot rectangle; false when there is nothing
        // to scale (no point, a largest x of 0 or an empty plot).
        bool SetScales(const QRect &plot);
        void DrawSeries(QPainter &painter, const QRect &plot);
        QPoint PointAt(std::int32_t x, std::int64_t y) const;

        CSeriesArray m_Series;
        float m_fScaleX = 0.0f;
        float m_fScaleY = 0.0f;
        QRect m_rcPlot;
    };

    explicit CGraphWnd(QWidget *parent = nullptr);
    ~CGraphWnd() override;

    // Stores the grid and places the window (not yet shown) with that id.
    virtual bool Create(QWidget *parent, unsigned id, const QRect &rect, CXGridCtrl *grid);

    CGraph &graph() { return m_Graph; }
    const CGraph &graph() const { return m_Graph; }
    CXGridCtrl *grid() const { return m_pGrid; }
    // Reloads the series from the attached grid and repaints.
    void Reload();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CGraph m_Graph;
    CXGridCtrl *m_pGrid = nullptr;
};
