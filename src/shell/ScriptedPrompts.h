#pragma once

#include "platform/Prompt.h"

#include <QtCore/QString>

#include <memory>

// The harness through which the program is run by its tests in a process of
// its own: when the environment variable TAVREL_SCRIPTED_ANSWERS holds a
// comma-separated list of answers (the button numbers, 6 Yes, 7 No, 1 OK ...),
// every prompt is answered from it in turn instead of being shown, and each
// prompt's text is written to standard output when the run ends. A prompt
// beyond the list ends the program (exit code 3). Without the variable
// nothing changes.
class ScriptedPrompts
{
public:
    static constexpr int kUnansweredExitCode = 3;

    ScriptedPrompts();
    ~ScriptedPrompts();

    bool isActive() const { return bool(m_responder); }
    // Writes every prompt shown so far, one "PROMPT: " line each (line breaks
    // as "\n"), and forgets them.
    void report();

private:
    std::unique_ptr<platform::TestResponder> m_responder;
};
