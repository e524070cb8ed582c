#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

// What the table classes read from the application's code-table caches and
// status tables: names and numbers of service categories, service
// departments, services and employees, and the question whether an item's
// production status may change.
//
// The application answers from its caches once it has loaded them and
// installs its lookups here at start-up; until then (and in tests) each
// lookup reads the database itself. A code that is missing gives false.

// One cached code: its number, its text and two of its numbers.
struct CachedCode
{
    qint32 code = 0;
    QString text;
    qint32 number1 = 0;
    qint32 number2 = 0;
};

enum class CodeTable {
    ServiceDepartments, // text DepName, #1 DepNo, #2 IconNo
    ServiceCategories,  // text CatName, #1 DepNo, #2 IconNo
    Services,           // text the display name, #1 CatNo
    Employees,          // text Name, #1 Type; 100 is "Everyone"
};

using CodeLookup = std::function<bool(qint32 code, CachedCode &out)>;
// An empty function puts the database lookup back.
void SetCodeLookup(CodeTable table, CodeLookup lookup);
bool LookupCode(CodeTable table, qint32 code, CachedCode &out);

// The name of an employee: "Everyone" for 100, "?" for one that is missing.
QString EmployeeName(quint8 empNo);
// Asked before an item's production status is moved: true to change it.
// Without an installed question the change is made.
using ItemStatusQuestion = std::function<bool(quint8 current, quint8 target)>;
void SetItemStatusQuestion(ItemStatusQuestion question);
bool ConfirmItemStatusChange(quint8 current, quint8 target);
