#include "estimating/CLayout.h"

#include "app/base/DialogControls.h"

#include <QtGui/QPainter>
#include <QtWidgets/QApplication>

CLayout::CLayout(QWidget *parent) : QWidget(parent)
{
}

bool CLayout::CreateFromDlgItem(unsigned id, QWidget *parent)
{
    QWidget *placeholder = parent ? GetDlgItem(parent, id) : nullptr;
    if (!placeholder)
        return false;
    QWidget *owner = placeholder->parentWidget();
    setParent(owner);
    setGeometry(placeholder->geometry());
    SetDlgCtrlID(placeholder, 0);
    placeholder->hide();
    placeholder->deleteLater();
    SetDlgCtrlID(this, id);
    m_nControlId = id;
    m_layout.SetDrawingArea(QRect(0, 0, width(), height()));
    show();
    return true;
}

bool CLayout::CalcLayout(QString &sheet, QString &piece, int options, float trim)
{
    m_layout.SetDrawingArea(QRect(0, 0, width(), height()));
    return m_layout.CalcLayout(sheet, piece, options, trim);
}

QRect CLayout::DrawLayout(QPainter &painter, int xOffset, int yOffset) const
{
    return m_layout.DrawLayout(painter, xOffset, yOffset, logicalDpiX(), logicalDpiY());
}

void CLayout::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!m_layout.m_rects.empty())
        m_layout.DrawLayout(painter, 0, 0);
}
