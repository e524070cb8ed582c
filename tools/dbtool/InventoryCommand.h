#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool inventory DB MODE [--job JOBNO | --service SERNO]: the rows
// the inventory window lists in a mode (setup, order, receive, check), one
// line each, tab-separated under the grid's column titles. Read only.
int runInventoryCommand(const QStringList &args, QTextStream &out, QTextStream &err);
