#pragma once

#include <functional>

// The counter sale belongs to the jobs area above the views; every list view
// offers it (command 30167) through this one slot, which the shell fills at
// start-up. While it is empty the views say the quick sale is not available.
using QuickSaleRunner = std::function<void()>;

QuickSaleRunner &quickSaleRunner();
