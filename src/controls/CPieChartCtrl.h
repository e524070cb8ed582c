#pragma once

#include "controls/CPieChartPiece.h"

#include <QtCore/QRect>
#include <QtWidgets/QWidget>

#include <memory>
#include <vector>

// A pie chart window with a legend, filled by its owner with labelled,
// coloured amounts drawn in the order added. The shares and the wedge points
// are worked out at the paint after the pieces change. A piece whose share
// rounds to "0%" is neither drawn nor listed; a total of zero draws only the
// frame and the pie's outline.
class CPieChartCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CPieChartCtrl(QWidget *parent = nullptr);
    ~CPieChartCtrl() override;

    void RemoveAll();
    void AddPiece(const QString &label, Money amount, ColorRef colour);
    void SetShowLabels(bool on) { m_bShowLabels = on; update(); }

    int pieceCount() const { return int(m_Pieces.size()); }
    const CPieChartPiece &piece(int i) const { return *m_Pieces[size_t(i)]; }
    QRect pieRect() const { return m_rcPie; }

    // Lays the pie out in the window and works out the pieces' shares and
    // points (the paint does this when the layout is empty).
    void LayoutPie();
    void RecalcPieces();
    // The rim point at an angle in degrees, clockwise from twelve o'clock; with
    // `inner` at 0.8 of the radius.
    QPoint GetEdgePoint(int angle, bool inner) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool m_bShowLabels = false;
    std::vector<std::unique_ptr<CPieChartPiece>> m_Pieces;
    QRect m_rcPie;
};
