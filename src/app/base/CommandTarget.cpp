#include "app/base/CommandTarget.h"

#include <QtCore/QMetaObject>
#include <QtCore/QObject>
#include <QtCore/QPointer>

void PostCommand(QObject *target, int commandId)
{
    if (!target)
        return;
    QPointer<QObject> guard(target);
    QMetaObject::invokeMethod(
        target,
        [guard, commandId] {
            if (auto *handler = dynamic_cast<CommandTarget *>(guard.data()))
                handler->OnCommand(commandId);
        },
        Qt::QueuedConnection);
}
