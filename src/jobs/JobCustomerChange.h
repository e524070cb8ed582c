#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CJobSet;

// The row changes behind the job window's Bill To commands: a job assigned to
// another customer (its buyer and ship-to address found among the new
// customer's or copied to it), and a walk-in job whose buyer becomes a
// regular customer. Each is one change: the rows it adds or moves and the job
// are written together or not at all. The job record is saved here.

// The defaults of the new customer a user may tick, in the order offered.
enum AssignDefault : int {
    AssignBuyer = 0x1,
    AssignShipto = 0x2,
    AssignShipVia = 0x4,
    AssignLocation = 0x8,
    AssignTerms = 0x10,
    AssignSalesRep = 0x20,
    AssignDiscount = 0x40,
    AssignTax = 0x80,
};

// Assigns the job to the customer with the ticked defaults. The report
// begins "The job is assigned to " + the customer's text and lists the rows
// added and the amounts that changed. False when the customer is missing or
// the save failed (the user was told); the record is then as it was.
bool AssignJobToCustomer(CJobSet &job, qint32 cusNo, int ticked, QString &report);

// Turns a walk-in job's buyer into a new regular customer: the customer from
// the job's codes and its ship-to address, the buyer moved to it, the job
// pointed at it. The ship-to row goes only when no other job names it. The
// new CusNo, or 0 when it failed (nothing was written).
qint32 ConvertWalkInCustomer(CJobSet &job);

// The walk-in customer's number.
constexpr qint32 kWalkInCustomer = 31;
