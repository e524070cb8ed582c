#include "app/base/AppRestart.h"

namespace {
RestartHandler &handler()
{
    static RestartHandler h;
    return h;
}
} // namespace

void SetRestartHandler(RestartHandler h)
{
    handler() = std::move(h);
}

bool AskRestart(const QString &text)
{
    if (!handler())
        return false;
    handler()(text);
    return true;
}
