#pragma once

#include "platform/db/DbException.h"

// Runs f and returns the engine error number it throws (0 when none).
template <class F>
int errorOf(F &&f)
{
    try {
        f();
    } catch (const platform::DbException &e) {
        return e.number();
    }
    return 0;
}
