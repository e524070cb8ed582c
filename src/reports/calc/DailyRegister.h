#pragma once

class CReportRun;

// The daily register (2603) of one customer: the jobs received and the
// payments and credits of the chosen period and the invoices still open,
// each group under a title row and a heading row and closed by its total.
// The customer is the one the view's filter names ("Customers.CusNo = n");
// without one there is no register.
bool ReportDailyRegister(CReportRun &run);
