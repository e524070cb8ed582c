#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool layout SHEET PIECE [--options N] [--trim T] [--png FILE] [--pdf FILE]
int runLayoutCommand(const QStringList &args, QTextStream &out, QTextStream &err);
