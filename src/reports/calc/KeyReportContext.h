#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"
#include "platform/Value.h"

#include <QtCore/QString>

#include <functional>

class CXTable;

// What a Key Report's renderer works on: the reports view's table and the
// view's choices for this run (report code, the chosen period as SQL
// conditions, the filter text and the first day of the chosen range). The
// renderers read the shop's database through the table's own queries and the
// shared database, and write only the table and its texts (title, subtitle,
// filter line, note).
//
// The runner of the reports view hands its own statement builder and its
// own table loader (which adds the branch notes); without them the report
// statements come straight from the SQL builder and a load is a plain load.
struct KeyReportContext
{
    explicit KeyReportContext(CXTable &t) : table(t) {}

    CXTable &table;
    int code = 0;
    QString thisPeriod;  // " between #from# and #to# "
    QString lastPeriod;  // " between #from# and #to#"
    QString filter;      // the view's filter text
    DateTime rangeFrom;  // the first day of the chosen date range

    // code -> the statement of that report or partial query.
    std::function<QString(int)> buildSql;
    // (code, total mode, second load option): loads the report of the code.
    std::function<void(int, int, int)> loadReportTable;

    QString sql(int reportCode) const;
    void load(int reportCode, int totalMode, int option) const;
};

// Small readers the renderers share. Each statement runs on the shared
// database; a failing statement is shown to the user (with the context) and
// reads as no row.

// The money value of a query field: Null and anything that is not a number
// count as 0.
Money MoneyOf(const platform::Value &value);
// The first field of the first row as money (no row: 0).
Money LookupMoney(const QString &sql);
// The first row of a statement, every field; empty when there is none.
QList<platform::Value> LookupRow(const QString &sql, const QList<platform::Value> &parameters = {});

// The period condition without its "#" marks, as the report texts show it.
QString PeriodText(const QString &condition);
