#pragma once

// Shows the wait cursor for its lifetime, when the program has a window
// system; nothing otherwise (tools, tests without a screen).
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_shown = false;
};
