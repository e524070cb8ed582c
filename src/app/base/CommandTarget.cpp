#include "app/base/CommandTarget.h"

#include "platform/LongRun.h"

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
            // During a long run a window behind it gets the command afterwards.
            LongRun::Deliver(guard.data(), [guard, commandId] {
                if (auto *handler = dynamic_cast<CommandTarget *>(guard.data()))
                    handler->OnCommand(commandId);
            });
        },
        Qt::QueuedConnection);
}
