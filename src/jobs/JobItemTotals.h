#pragma once

#include "platform/Money.h"

#include <QtCore/QtGlobal>

#include <vector>

class CJobSet;

namespace platform {
class Database;
}

// The money walk of the job window's item list: while the list is filled,
// the job's Cost and Subtotal are summed from its service rows. Free of
// widgets so that the rule that puts a total on every invoice can be checked
// on its own.
//
// Shop convention: 0 means "not priced", exactly +-0.0001 is the
// "No Charge" marker; only values beyond +-0.0001 are amounts.

// One row of the job's items and services, in list order.
struct JobItemRow
{
    qint32 itemNo = 0;
    qint32 subNo = 0;
    qint32 serNo = 0; // 0 for an item row
    Money cost;
    Money price;
};

struct JobItemSums
{
    Money cost;
    Money subtotal;        // after the "not priced" and "No Charge" rules
    bool allPriced = true; // no service at exactly 0, and at least one row
    // For each group of sub-items (started by an item row with SubNo 1): the
    // index of that row in the input and the sum of the group's item prices
    // (amounts only).
    struct Group
    {
        int row = -1;
        Money sum;
    };
    std::vector<Group> groups;
};

// A job's stored rows, items and services, by item, sub-item and service
// number (nothing when they cannot be read).
std::vector<JobItemRow> ReadJobItemRows(platform::Database *database, qint32 jobId);

// TRUE when the value counts as money (beyond the "No Charge" marker).
bool IsMoneyAmount(Money value);

// The walk: Cost and Subtotal from the service rows; any service Price of
// exactly 0, or an item priced 0 without a service after it, makes the
// Subtotal 0; a fully priced job summing to 0 becomes
// the marker (-0.0001 on a credit invoice, +0.0001 otherwise). An empty job
// counts as not priced.
JobItemSums SumJobItems(const std::vector<JobItemRow> &rows, bool creditInvoice);

// Puts the sums into the job record (memory only; a credit or credited
// invoice keeps its stored money untouched) and reruns discount, commission, taxes and totals
// when the Subtotal moved or `forceTotals`; a Subtotal that moves away from
// 0 or the marker reloads the customer's discount and the sales rep's rates
// first. TRUE when the Cost or Subtotal changed.
bool ApplyJobItemSums(CJobSet &job, const JobItemSums &sums, bool forceTotals);
