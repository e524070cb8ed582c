#include "views/FindPrompt.h"

namespace {
FindPromptRunner &slot()
{
    static FindPromptRunner runner;
    return runner;
}
} // namespace

void SetFindPrompt(FindPromptRunner runner)
{
    slot() = std::move(runner);
}

const FindPromptRunner &GetFindPrompt()
{
    return slot();
}

QString FindTargetOfView(int viewId, int branch, int item, int &listIndex)
{
    listIndex = -1;
    switch (viewId) {
    case 30002: return QStringLiteral("Services");
    case 30003:
        // Customers: their history jobs, contacts and ship-to addresses.
        if (branch == 3 || branch == 4) {
            listIndex = 3;
            return QStringLiteral("Jobs");
        }
        if (branch == 5)
            return QStringLiteral("Contacts");
        if (branch == 6)
            return QStringLiteral("Shipto");
        return QStringLiteral("Customers");
    case 30004:
        // Receivables: payments, credits, customers, else the invoices.
        if (branch == 4)
            return QStringLiteral("Payments");
        if (branch == 5)
            return item == 3 ? QStringLiteral("Credits") : QStringLiteral("Customers");
        if (branch == 8)
            return QStringLiteral("Customers");
        listIndex = branch != 0 ? 3 : 0;
        return QStringLiteral("Jobs");
    default: return QStringLiteral("Jobs");
    }
}
