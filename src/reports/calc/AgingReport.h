#pragma once

class CReportRun;

// "A/R" / "Aging by Date Shipped" (2103) and "Aging by Date Payment Due"
// (2104): the open invoices and credits by customer in age buckets, each
// customer under a title row with the customer's number, name and the
// contact to call about payment; every walk-in invoice (customer 31) under
// its own title with its buyer.
bool ReportAging(CReportRun &run);

// The walk-in customer, whose jobs name their buyer.
inline constexpr int kWalkInCustomer = 31;
