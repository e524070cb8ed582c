#include "controls/ListWork.h"

#include "app/base/MoneyText.h"
#include "controls/CXProgress.h"

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <climits>

namespace {
int g_quietMs = 300;
} // namespace

void ListWork::SetQuietTime(int ms)
{
    g_quietMs = std::max(ms, 0);
}

int ListWork::QuietTime()
{
    return g_quietMs;
}

ListWork::ListWork(const QString &title, std::int64_t work, std::int64_t rows)
    : m_title(title), m_work(std::max<std::int64_t>(work, 1)), m_rows(rows)
{
    m_clock.start();
}

ListWork::~ListWork()
{
    // What a long pass read (a column's texts, its order) was freed before
    // it ends: the system gets it back.
    m_progress.reset();
    if (m_rows >= kLongPass)
        GiveBackFreedMemory();
}

void ListWork::GiveBackFreedMemory()
{
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

bool ListWork::look(std::int64_t done, std::int64_t row)
{
    if (m_stopped)
        return false;
    const bool dueByUnits = done >= m_next;
    m_spent = 0;
    if (dueByUnits)
        m_next = done + kUnit;
    if (!m_progress) {
        if (m_clock.elapsed() < g_quietMs)
            return true;
        m_progress = CXProgress::Create();
        m_progress->Start(int(std::min<std::int64_t>((m_work + kUnit - 1) / kUnit, INT_MAX)), m_title, true, true);
        if (!m_message.isEmpty())
            m_progress->SetMessage(m_message);
    } else if (!dueByUnits) {
        // Long units between two steps (long texts compared): the window
        // answers meanwhile, without a step of its bar.
        const qint64 now = m_clock.elapsed();
        if (now - m_lookedAt < kLookEveryMs)
            return true;
        m_lookedAt = now;
        if (!m_progress->Look())
            m_stopped = true;
        return !m_stopped;
    }
    // One step of the bar per unit of work; the window is looked at once.
    const int due = int(std::min<std::int64_t>(done / kUnit, INT_MAX));
    const auto count = [](std::int64_t n) { return FormatInt64(std::uint64_t(std::max<std::int64_t>(n, 0)), true); };
    const QString text = QStringLiteral("%1 of %2 rows").arg(count(std::min(row, m_rows)), count(m_rows));
    while (m_stepped + 1 < due) {
        ++m_stepped;
        if (!m_progress->Step(QString()))
            m_stopped = true;
    }
    ++m_stepped;
    if (!m_progress->Step(text))
        m_stopped = true;
    m_lookedAt = m_clock.elapsed();
    return !m_stopped;
}

void ListWork::SetMessage(const QString &text)
{
    m_message = text;
    if (m_progress)
        m_progress->SetMessage(text);
}
