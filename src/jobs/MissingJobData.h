#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CJobSet;

// What an open order or quote still lacks of the data the shop requires, as
// the entries of the walk-through: each names the job window's command that
// completes it. Counted entries are the ones worth interrupting the user for
// when a job window opens.
struct MissingDataEntry
{
    int command = 0;
    QString text;
    bool ticked = false;
    bool counted = false;
    bool operator==(const MissingDataEntry &other) const = default;
};

// The walk-in customer, whose jobs need a ship-to address.
constexpr qint32 kWalkInCustomer = 31;

// Entries in the order they are offered. requiredBits is the shop's option of
// required information for the job's type; shipByName the name of the job's
// shipping method ("?" when it has none). Only orders and quotes are examined.
QList<MissingDataEntry> FindMissingJobData(const CJobSet &job, int itemCount, qint32 requiredBits,
                                           const QString &shipByName);
