#include "controls/ValueField.h"

#include <QtGui/QPalette>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

void ShowAsValueField(QLineEdit *edit)
{
    if (!edit)
        return;
    edit->setReadOnly(true);
    // A click still takes the focus (to select and copy the value), so that
    // typing after it never lands in the field that had the focus before.
    edit->setFocusPolicy(Qt::ClickFocus);
    // The application's window colour: a dialog may paint its own background
    // white, where a white field would pass for one to fill in.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Window));
    edit->setPalette(palette);
}
