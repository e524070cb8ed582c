#pragma once

#include "estimating/CutLayout.h"

#include <QtWidgets/QWidget>

// The window of one cutting layout: it takes the place of a placeholder of
// its dialog and paints the last layout computed (CutLayout holds the
// arithmetic and the drawing; this window only gives them an area).
class CLayout : public QWidget
{
    Q_OBJECT

public:
    explicit CLayout(QWidget *parent = nullptr);

    // Takes the dialog's placeholder control with that id: this window
    // takes its place, geometry and id. False when there is none.
    bool CreateFromDlgItem(unsigned id, QWidget *parent);

    void Reset() { m_layout.Reset(); }
    bool CalcLayout(QString &sheet, QString &piece, int options, float trim);
    QRect DrawLayout(QPainter &painter, int xOffset, int yOffset) const;

    CutLayout &layout() { return m_layout; }
    const CutLayout &layout() const { return m_layout; }
    unsigned controlId() const { return m_nControlId; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CutLayout m_layout;
    unsigned m_nControlId = 0;
};
