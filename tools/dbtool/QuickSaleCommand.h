#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool quicksale DB TAXNO TENDERED LINE...: a counter sale to the
// walk-in customer, paid in full or refunded (a negative tendered amount).
int runQuickSaleCommand(const QStringList &args, QTextStream &out, QTextStream &err);
