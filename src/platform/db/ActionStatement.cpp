#include "platform/db/ActionStatement.h"

#include "platform/db/Database.h"
#include "platform/db/DatabaseImpl.h"
#include "platform/db/DbErrors.h"
#include "platform/db/WriteScope.h"

#include <sqlite3.h>

#include <optional>

namespace platform {

ActionStatement::ActionStatement(Database &db, const QString &jetSql)
    : m_db(db)
    , m_jetSql(jetSql)
{
}

void ActionStatement::prepare()
{
    Database::Impl *d = m_db.impl();
    m_statement = Statement();
    m_translation = d->translate(d->sourceText(m_jetSql));
    if (m_translation.kind == jet::Translation::Kind::Select || m_translation.kind == jet::Translation::Kind::Crosstab)
        dberr::raise(dberr::SelectNotExecutable);
    m_statement = d->prepare(m_translation.sql);
    m_openSerial = d->openSerial;
    m_generation = d->catalog->schemaGeneration();
}

void ActionStatement::execute(const QList<Value> &parameters)
{
    Database::Impl *d = m_db.impl();
    d->requireOpen();
    d->catalog->refresh();
    if (!m_statement.isValid() || m_openSerial != d->openSerial || m_generation != d->catalog->schemaGeneration())
        prepare();
    d->requireWritable();
    d->bindParameters(m_statement, m_translation, parameters);
    // As Database::execute: all rows or none, in a write of its own outside
    // a transaction.
    std::optional<WriteScope> write;
    if (d->depth == 0)
        write.emplace(d->db, d->path);
    try {
        m_statement.run();
    } catch (...) {
        // A statement that failed is never run again.
        m_statement = Statement();
        throw;
    }
    const int changes = sqlite3_changes(d->db);
    m_statement.reset();
    if (write)
        write->commit();
    d->recordsAffected = changes;
}

} // namespace platform
