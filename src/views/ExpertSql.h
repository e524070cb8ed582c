#pragma once

#include <QtCore/QString>

namespace platform {
class Database;
}

// The statement runner for experts accepts exactly one UPDATE or INSERT INTO
// statement. The refusal text ("Cannot execute " and the statement) for
// anything else, including a second statement after a ";" outside quotes;
// empty when the statement may run.
QString CheckExpertStatement(const QString &statement);

// Empties the practice data (audit trail, posting journal, quick sales and
// their items, payments and their applications) in one transaction: all
// tables or none. The error text is set on failure.
bool DeletePracticeData(platform::Database &db, QString *error);
