#pragma once

class CReportRun;

// "Special Reports" / "Activities of My Company" (2601): the shop's line,
// then the period's activity in blocks (sales by department, general
// accounts, payments, fully paid invoices and quick sales, jobs received),
// each under its heading row and, but for the jobs received, closed by its
// total.
bool ReportCompanyActivities(CReportRun &run);
