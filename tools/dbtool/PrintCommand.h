#pragma once

#include "DbToolCommand.h"

// tavrel-dbtool print DB --sql "SELECT ..." --pdf FILE [--pages A-B] [--preview] [--today MM/DD/YYYY]
// Prints the statement's rows as a table on form 100 with a total row into a
// PDF; prints "result N" (2 printed, 1 cancelled or failed, 0 not started).
int runPrintCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// tavrel-dbtool barcode DIGIT NUMBER FILE.png
// Prints the code's text ("*^1234#*") and draws its bars at 600 dpi.
int runBarcodeCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// tavrel-dbtool scan "Shift 6 1 2 Shift 3" [--gap MS]
// Types the keys as a US keyboard-wedge scanner does (Shift held for the next
// key), MS milliseconds apart (5 unless told), into a bar-code reader; prints
// "result N" per key, then "object N K", "action N K" and "order N".
int runScanCommand(const QStringList &args, QTextStream &out, QTextStream &err);
