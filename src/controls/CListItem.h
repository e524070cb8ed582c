#pragma once

// The list entry lives with the application object's code caches, below the
// controls that show it.
#include "app/base/CListItem.h"
