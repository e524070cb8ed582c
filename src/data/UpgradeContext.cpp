#include "data/UpgradeContext.h"

#include "data/DatabaseHelpers.h"
#include "data/SchemaOperations.h"
#include "data/SharedDatabase.h"
#include "data/ShopDatabase.h"
#include "data/UpgradeUtilities.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

namespace {

const QString kRunTitle = QStringLiteral("Upgrading your database.");

} // namespace

UpgradeContext::UpgradeContext(platform::Database &db, SchemaProgress *progress, const QString &storedVersion)
    : m_db(&db), m_progress(progress), m_storedVersion(storedVersion), m_td(db)
{
}

int UpgradeContext::storedVersionNumber() const
{
    // As a C conversion reads it: the leading digits.
    int n = 0;
    const QString text = m_storedVersion.trimmed();
    for (const QChar c : text) {
        if (!c.isDigit())
            break;
        n = n * 10 + c.digitValue();
    }
    return n;
}

bool UpgradeContext::runStep(const QString &table, const QString &text, const std::function<void()> &work)
{
    if (!ShowUpgradeStep(table, &m_td, m_progress, text))
        return false;
    const qsizetype logged = GetRunLog().size();
    {
        platform::Transaction unit(*m_db);
        try {
            work();
            requireRunning();
            // Some schema operations log their failure and go on: the step
            // failed all the same.
            if (GetRunLog().size() != logged)
                throw StepAbandoned();
            unit.commit();
        } catch (const platform::DbException &e) {
            LogDaoError(e, table);
        } catch (const StepAbandoned &) {
        }
    }
    m_td.close();
    return !m_progress || m_progress->isRunning();
}

void UpgradeContext::startPhase(int total, const QString &title, const QString &message)
{
    if (!m_progress)
        return;
    m_progress->start(total, title, true, true, QString());
    m_progress->setMessage(message);
}

void UpgradeContext::endPhase()
{
    if (m_progress)
        m_progress->start(0, kRunTitle, false, true, QString());
}

void UpgradeContext::setMessage(const QString &text)
{
    if (m_progress)
        m_progress->setMessage(text);
}

void UpgradeContext::requireRunning() const
{
    if (m_progress && !m_progress->isRunning())
        throw StepAbandoned();
}

bool UpgradeContext::tableExists(const QString &table)
{
    return DbTableExists(m_db, table, QString());
}

void UpgradeContext::open(const QString &table)
{
    m_td.close();
    m_td.open(table);
}

int UpgradeContext::fieldCount(const QString &table)
{
    open(table);
    return m_td.fieldCount();
}

bool UpgradeContext::hasField(const QString &table, const QString &field)
{
    if (!tableExists(table))
        return false;
    open(table);
    return DbFieldExists(&m_td, field);
}

void UpgradeContext::createTable(const QString &table)
{
    m_td.close();
    CreateShopTable(*m_db, table);
}

void UpgradeContext::addField(const QString &name, platform::FieldType type, int size, long initialValue,
                              int position, bool withProgress)
{
    requireRunning();
    if (!DbCreateField(&m_td, name, type, size, withProgress ? m_progress : nullptr, kFieldUpdatable, initialValue,
                       position))
        throw StepAbandoned();
}

void UpgradeContext::resizeText(const QString &field, int size, int position)
{
    DbResizeTextField(&m_td, field, size, position);
}

void UpgradeContext::deleteField(const QString &field)
{
    if (!DbDeleteField(&m_td, field))
        throw StepAbandoned();
}

void UpgradeContext::update(const QString &table, const QString &assignments, const QString &condition,
                            bool withProgress, const QString &stepText)
{
    requireRunning();
    DbUpdate(table, assignments, condition, withProgress ? m_progress : nullptr, stepText);
}

void UpgradeContext::updateValue(const QString &table, const QString &field, long value, const QString &condition)
{
    DbUpdateFieldValue(table, field, value, condition);
}

void UpgradeContext::insert(const QString &table, const QString &values)
{
    DbInsertRow(table, values);
}

void UpgradeContext::execute(const QString &statement)
{
    SharedDatabase().execute(statement);
}

void UpgradeContext::setRowFields(const QString &select, const platform::Value &value1, const platform::Value &value2)
{
    SetQueryRowFields(select, value1, value2, platform::Value(), nullptr);
}

bool UpgradeContext::rowExists(const QString &select)
{
    platform::Recordset set(SharedDatabase());
    set.open(platform::Recordset::Type::Snapshot, select);
    return !set.isEOF();
}
