#pragma once

#include "app/base/Colours.h"

#include <QtWidgets/QLabel>

// A static text with its own background and text colour. The dialog base
// recognises it by its class and leaves its colours alone.
class CXStatic : public QLabel
{
    Q_OBJECT

public:
    explicit CXStatic(QWidget *parent = nullptr);

    void SetColors(ColorRef background, ColorRef text, bool redraw);
    void SetBkColor(ColorRef background, bool redraw);
    void SetTextColor(ColorRef text, bool redraw);
    ColorRef backColor() const { return m_back; }
    ColorRef textColor() const { return m_text; }

    static const QMetaObject *GetThisClass() { return &staticMetaObject; }
    static bool IsXStatic(const QWidget *widget) { return qobject_cast<const CXStatic *>(widget) != nullptr; }

private:
    void applyColours(bool redraw);

    ColorRef m_back;
    ColorRef m_text = 0x000000;
};
