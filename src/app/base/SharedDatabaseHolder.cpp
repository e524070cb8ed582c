#include "app/base/SharedDatabaseHolder.h"

namespace {

SharedDatabaseHolder *g_current = nullptr;

} // namespace

SharedDatabaseHolder::SharedDatabaseHolder()
    : m_previous(g_current)
{
    g_current = this;
}

SharedDatabaseHolder::~SharedDatabaseHolder()
{
    if (g_current == this)
        g_current = m_previous;
}

SharedDatabaseHolder &SharedDatabaseHolder::current()
{
    if (g_current)
        return *g_current;
    static SharedDatabaseHolder *processHolder = new SharedDatabaseHolder; // lives to the end of the process
    return *processHolder;
}
