#pragma once

#include "DbToolCommand.h"

// tavrel-dbtool xml: jobs and lists to XML documents, and XML files read as
// the program reads them.
int runXmlCommand(const QStringList &args, QTextStream &out, QTextStream &err);
