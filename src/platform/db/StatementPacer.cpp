#include "platform/db/StatementPacer.h"

#include "platform/db/Database.h"

#include <sqlite3.h>

namespace platform {

namespace {

// The engine asks this often (in its virtual machine's steps) whether to go
// on; a few thousand steps take well under a millisecond.
constexpr int kStepsBetweenAsks = 4000;

} // namespace

StatementPacer::StatementPacer(Database &db, Pace pace, int everyMs)
    : m_db(db)
    , m_pace(std::move(pace))
    , m_everyMs(everyMs)
{
    if (sqlite3 *handle = m_db.isOpen() ? m_db.handle() : nullptr)
        sqlite3_progress_handler(handle, kStepsBetweenAsks, &StatementPacer::onSteps, this);
}

StatementPacer::~StatementPacer()
{
    if (sqlite3 *handle = m_db.isOpen() ? m_db.handle() : nullptr)
        sqlite3_progress_handler(handle, 0, nullptr, nullptr);
}

int StatementPacer::onSteps(void *p)
{
    auto *pacer = static_cast<StatementPacer *>(p);
    if (pacer->m_interrupted)
        return 1;
    if (pacer->m_inPace || !pacer->m_pace)
        return 0;
    if (pacer->m_sinceLast.isValid() && pacer->m_sinceLast.elapsed() < pacer->m_everyMs)
        return 0;
    pacer->m_inPace = true;
    const bool goOn = pacer->m_pace();
    pacer->m_inPace = false;
    pacer->m_sinceLast.start();
    if (!goOn) {
        pacer->m_interrupted = true;
        return 1;
    }
    return 0;
}

} // namespace platform
