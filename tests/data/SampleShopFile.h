#pragma once

#include <QtCore/QString>

// A small sample shop made by tavrel-dbtool (the same tables, indexes and
// kinds of rows as a big one), made once per test program and shared
// read-only by its tests; empty when it could not be made.
QString SampleShopFile();
