#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool export DB KIND ... FILE: the export files written without
// the dialogs (the accounts and rows given on the command line).
int runExportCommand(const QStringList &args, QTextStream &out, QTextStream &err);
