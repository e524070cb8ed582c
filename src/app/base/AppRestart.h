#pragma once

#include <QtCore/QString>

#include <functional>

// Asking for a restart from anywhere in the program (the workstation options,
// the views' options): the program's shell installs the handler that asks
// text + "\n\nDo you want to restart Tavrel now?" (nothing for an empty text)
// and, on Yes, ends the program so that it starts again.
using RestartHandler = std::function<void(const QString &text)>;
void SetRestartHandler(RestartHandler handler);

// False when no program shell runs (tools, tests of the lower layers), which
// then cannot restart.
bool AskRestart(const QString &text);
