#include "controls/ValueField.h"

#include <QtGui/QPalette>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>

void ShowAsValueField(QLineEdit *edit)
{
    if (!edit)
        return;
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    // The application's window colour: a dialog may paint its own background
    // white, where a white field would pass for one to fill in.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Window));
    edit->setPalette(palette);
}
