#pragma once

#include "DbToolCommand.h"

// tavrel-dbtool transfer: the support site's file transfer without its window.
int runTransferCommand(const QStringList &args, QTextStream &out, QTextStream &err);
