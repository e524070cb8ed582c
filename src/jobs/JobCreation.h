#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

class CJobSet;

// The one way a new job comes into being, shared by "New", the new-job
// commands and the copies of jobs, and the warning about a customer's money
// and alert note that comes before an order is made.

// The lines of the warning for a customer and job type: for an order of a
// customer above 31, its past-due balance and how far it is over its credit
// limit (as its AlertIf allows); for every job its alert note. Empty when
// there is nothing to say. moneyWarning tells whether a money line is there.
QString CustomerWarningText(qint32 cusNo, int jobType, bool &moneyWarning);
// Shows the warning and asks whether to go on; after a money warning the
// user's right to "create order" is asked as well. True to go on.
bool ConfirmCustomerWarning(qint32 cusNo, int jobType);

// Adds a job of the type (order, quote or template) for the customer with its
// defaults, today's date, the CSR and the buyer (0: the customer's), and its
// number, to the set, which is left on the new row in edit mode. The row and
// its number are written as one change: a failure leaves no row and the
// number unused. The user's right to create the type is asked first. False
// when refused or failed (the user has been told).
bool CreateJob(CJobSet &job, int jobType, qint32 cusNo, qint32 buyerNo, quint8 csrNo);
