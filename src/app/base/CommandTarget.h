#pragma once

class QObject;

// A window that handles command ids (view switches, the About box, exit ...),
// as views, frames and dialogs do. OnCommand returns false for a command the
// window does not handle, so the caller can pass it on (view, then frame,
// then the application).
class CommandTarget
{
public:
    virtual ~CommandTarget() = default;
    virtual bool OnCommand(int commandId) = 0;
};

// Delivers the command after the current event, as a posted message would;
// nothing when the target is gone by then or handles no commands.
void PostCommand(QObject *target, int commandId);
