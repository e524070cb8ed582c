#include "data/DataExchange.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

void DataExchange::Fail(QWidget *control)
{
    m_failed = true;
    if (!control)
        return;
    control->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->selectAll();
}
