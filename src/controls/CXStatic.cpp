#include "controls/CXStatic.h"

CXStatic::CXStatic(QWidget *parent) : QLabel(parent), m_back(GetSystemColor(SysColorButtonFace))
{
    setAutoFillBackground(true);
    applyColours(false);
}

void CXStatic::SetColors(ColorRef background, ColorRef text, bool redraw)
{
    m_back = background;
    m_text = text;
    applyColours(redraw);
}

void CXStatic::SetBkColor(ColorRef background, bool redraw)
{
    m_back = background;
    applyColours(redraw);
}

void CXStatic::SetTextColor(ColorRef text, bool redraw)
{
    m_text = text;
    applyColours(redraw);
}

void CXStatic::applyColours(bool redraw)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorRefToQColor(m_back));
    pal.setColor(QPalette::WindowText, ColorRefToQColor(m_text));
    setPalette(pal);
    if (redraw)
        repaint();
}
