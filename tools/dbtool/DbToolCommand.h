#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// One command of tavrel-dbtool: its arguments after the command word, the
// standard output and error streams; returns the process's exit code.
using DbToolCommand = int (*)(const QStringList &args, QTextStream &out, QTextStream &err);
