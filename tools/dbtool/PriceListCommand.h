#pragma once

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

// tavrel-dbtool pricelist DB JOBNO ITEMNO [--quantity TEXT]
int runPriceListCommand(const QStringList &args, QTextStream &out, QTextStream &err);
