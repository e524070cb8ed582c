#pragma once

#include "DbToolCommand.h"

// tavrel-dbtool mail: the mailbox client run against a server.
int runMailCommand(const QStringList &args, QTextStream &out, QTextStream &err);
