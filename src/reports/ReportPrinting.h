#pragma once

#include <QtCore/QString>

class CXChartCtrl;
class PrintService;

// Prints the Key Report shown by the chart window: its table, under the
// report's title, subtitle, filter line and note, on the list form (100).
// command: 57607 with the printer dialog, 57608 directly, 57609 preview; an
// output file ending in ".pdf" is written instead. Returns the print run's
// result (2 printed, 1 cancelled or failed, 0 nothing to print).
int PrintReportTable(PrintService &service, CXChartCtrl *chart, int command, const QString &outputFile = QString());
