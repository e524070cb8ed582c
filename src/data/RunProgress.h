#pragma once

#include "data/SchemaOperations.h"

#include <functional>
#include <memory>

// The progress window of the long database runs (schema upgrade, duplicate
// removal): the window layer installs the maker of its window at start-up.
// Without one a run shows no progress and cannot be stopped.
using RunProgressMaker = std::function<std::unique_ptr<SchemaProgress>()>;
void SetRunProgressMaker(RunProgressMaker maker);

// A new progress window for one run (never null). Destroying it closes the
// window.
std::unique_ptr<SchemaProgress> OpenRunProgress();
