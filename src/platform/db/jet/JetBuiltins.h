#pragma once

#include "platform/Value.h"

#include <QtCore/QString>

struct sqlite3;

// The functions of the Jet expression service that users type in their own
// statements (saved queries, the SQL runner, find conditions), beyond the few
// the emitter writes itself: how the translator checks and types a call and
// which registered SQLite function evaluates it.
namespace platform::jet {

enum class ResultRule {
    Fixed,          // always `type`
    FirstArg,       // the first argument's type (CVar)
    FirstNumeric,   // the first argument's type; Text and untyped give Double, Yes/No and Byte Integer
};

struct BuiltinFunction
{
    const char *name;       // lower case, as matched
    int minArgs;
    int maxArgs;
    const char *sqlName;    // the registered SQLite function
    ResultRule rule;
    FieldType type;
    unsigned textArgs;      // bit i set: argument i is passed as its Jet text
    bool passType;          // the first argument's Jet type code follows the arguments
};

// The entry for a function name (any case), or null.
const BuiltinFunction *findBuiltin(const QString &name);

// Registers the SQLite functions the entries name, and the aggregates StDev,
// StDevP, Var and VarP (jet_stdev, jet_stdevp, jet_var, jet_varp).
void registerBuiltinFunctions(sqlite3 *db);

} // namespace platform::jet
