#pragma once

#include <QtCore/QtGlobal>

// Deletes a customer's dependent rows (ship-to addresses, contacts and alerts)
// as one change: all of them or, on a failure, none (the failure is shown).
// Customer numbers of 0 and below are refused: the alert rows of customer 0
// hold the program-wide settings.
bool DeleteCustomerRows(qint32 cusNo);
