#pragma once

#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QList>
#include <QtCore/QString>

class CReportRun;

namespace platform {
class Database;
}

// Small readers the Key Reports' renderers share. A statement that fails is
// shown to the user (with what was being read) and reads as no row.

// The money value of a query field: Null, and anything that is neither a
// number nor a money text, count as 0.
Money MoneyOf(const platform::Value &value);
// The first row of a statement, every field; empty when there is none.
QList<platform::Value> LookupRow(platform::Database &db, const QString &sql,
                                 const QList<platform::Value> &parameters = {});
// The first field of the first row as money (no row: 0).
Money LookupMoney(platform::Database &db, const QString &sql);

// The period condition without its "#" marks, as the report texts show it.
QString PeriodText(const QString &condition);
// The run's date and time as "%A, %B %d, %Y   %I:%M %p".
QString RunNowText(const CReportRun &run);
