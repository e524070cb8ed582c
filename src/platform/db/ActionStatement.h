#pragma once

#include "platform/Value.h"
#include "platform/db/Statement.h"
#include "platform/db/jet/JetTranslator.h"

#include <QtCore/QList>
#include <QtCore/QString>

namespace platform {

class Database;

// One Jet INSERT, UPDATE or DELETE run many times with new parameters, as
// Database::execute runs it, but translated and prepared once: for writing
// many rows in a row. It is translated and prepared again when the schema
// has changed or the database was closed and opened since its last run.
class ActionStatement
{
public:
    ActionStatement(Database &db, const QString &jetSql);
    ActionStatement(const ActionStatement &) = delete;
    ActionStatement &operator=(const ActionStatement &) = delete;

    void execute(const QList<Value> &parameters);

private:
    void prepare();

    Database &m_db;
    QString m_jetSql;
    jet::Translation m_translation;
    Statement m_statement;
    quint64 m_openSerial = 0;
    quint64 m_generation = 0;
};

} // namespace platform
