#include "app/base/Clipboard.h"

#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QWidget>

void CopyTextToClipboard(QWidget *window, const QString &text)
{
    if (!window || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->setText(text, QClipboard::Clipboard);
}
