#pragma once

#include "platform/Prompt.h"

#include <functional>

namespace platform {

// For tests under a TestResponder: runs while each message box is up,
// before its answer is taken (what another workstation does meanwhile).
// An empty function ends it.
void WatchMessageBoxes(std::function<void(const PromptRecord &)> watch);

} // namespace platform
