#include "data/ControlIds.h"

#include <QtCore/QVariant>
#include <QtWidgets/QWidget>

namespace {
const char *const kControlId = "controlId";
}

void SetControlId(QWidget *control, int id)
{
    if (control)
        control->setProperty(kControlId, id);
}

QWidget *FindDialogControl(QWidget *dialog, int id)
{
    if (!dialog)
        return nullptr;
    const auto children = dialog->findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QVariant v = child->property(kControlId);
        if (v.isValid() && v.toInt() == id)
            return child;
    }
    return nullptr;
}

bool IsListBoxId(int id)
{
    return id >= 1401 && id <= 1409;
}
