#pragma once

#include <QtCore/QStringList>

namespace platform {
class Database;
}

// The rules a sample shop keeps, checked on the shared database: every code a
// row names has its row (departments of categories, sales departments,
// vendors, payment types, shipping methods, terms, taxes, employees), each
// category sits in the department of its kind of work, every order's status
// is the one the program's own rule gives it, quick sales sell counter
// services, the inventory lists services to do, every item is priced, every
// order's and invoice's taxes are the tax rule's, and each posting journal
// row holds the sums posting writes for its invoices and quick sales.
// One line per broken rule; empty when the shop keeps them all.
QStringList CheckSampleShop(platform::Database &db);
