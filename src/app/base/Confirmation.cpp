#include "app/base/Confirmation.h"

#include "platform/Prompt.h"

bool ConfirmAction(const QString &action)
{
    using platform::Prompt;
    if (action.isEmpty())
        return true;
    const unsigned style = platform::MB_YESNO | platform::MB_ICONQUESTION;
    Prompt::beep();
    if (Prompt::messageBox(QStringLiteral("Do you want to ") + action, QString(), style) != platform::IDYES)
        return false;
    return Prompt::messageBox(QStringLiteral("Are you sure you want to ") + action, QString(), style)
        == platform::IDYES;
}
