#include "views/FindPrompt.h"

namespace {
FindPromptRunner &slot()
{
    static FindPromptRunner runner;
    return runner;
}
} // namespace

void SetFindPrompt(FindPromptRunner runner)
{
    slot() = std::move(runner);
}

const FindPromptRunner &GetFindPrompt()
{
    return slot();
}
