#include "controls/DlgItem.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

QString GetControlText(const QWidget *widget)
{
    if (!widget)
        return QString();
    if (auto label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto box = qobject_cast<const QGroupBox *>(widget))
        return box->title();
    if (auto combo = qobject_cast<const QComboBox *>(widget))
        return combo->currentText();
    return widget->windowTitle();
}
