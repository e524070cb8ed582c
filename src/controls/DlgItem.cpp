#include "controls/DlgItem.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

namespace {
const char *const kIdProperty = "dlgCtrlId";
}

void SetDlgCtrlID(QWidget *widget, unsigned id)
{
    if (widget)
        widget->setProperty(kIdProperty, id);
}

unsigned GetDlgCtrlID(const QWidget *widget)
{
    if (!widget)
        return 0;
    const QVariant id = widget->property(kIdProperty);
    return id.isValid() ? id.toUInt() : 0;
}

QWidget *GetDlgItem(const QWidget *parent, unsigned id)
{
    if (!parent || id == 0)
        return nullptr;
    // Direct children first, as a dialog's controls are; then deeper.
    const auto children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children)
        if (GetDlgCtrlID(child) == id)
            return child;
    const auto all = parent->findChildren<QWidget *>();
    for (QWidget *child : all)
        if (GetDlgCtrlID(child) == id)
            return child;
    return nullptr;
}

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
