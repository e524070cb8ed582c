#pragma once

#include "platform/Money.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace platform {
class Database;
}

// The figures of the "Top Sales" pies: for posted invoices shipped in a
// period, the five largest contributors to net sales by customer, sales
// department, service category, product type, business type, customer
// source, customer service rep and sales rep, and "Others" for the rest.

struct PieSlice
{
    QString label;
    Money amount;
    int paletteIndex = 0; // the colour's index in the program's palette (54 on)
};

// The captions of the eight panels, in order.
QStringList CompanyPieCaptions();

// The eight statements for the range condition (" Jobs.DateShipped between
// #..# and #..# ", empty for all time). Ties at the fifth place are kept.
QStringList CompanyPieStatements(const QString &rangeCondition);

// The period's net sales of posted invoices (a Null sum counts as 0).
Money CompanyPieTotal(platform::Database &db, const QString &rangeCondition);

// The slices of one statement: its rows in order (first field the label,
// second the amount), then "Others" with the rest of the total when the rest
// is above zero. A zero total, or a statement that cannot be opened, gives no
// slices.
QList<PieSlice> CompanyPieSlices(platform::Database &db, const QString &sql, Money total);

// "Net Sales $" and the total in whole units (half away from zero) with
// thousands separators.
QString CompanyPieSalesCaption(Money total);
