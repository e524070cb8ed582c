#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

namespace platform {
class Database;
}

// The credit the shop owes a customer (CreditDue) and the customer's credit
// limit, as the receivables view and the credit dialog change them.
class CreditAdjustment
{
public:
    explicit CreditAdjustment(platform::Database &db);

    // The credit limit typed by the user, read as any typed amount: whole
    // currency units (digits after the decimal point are dropped); a negative
    // number gives 0. A text that is no amount gives an invalid Money.
    static Money CreditLimitFromText(const QString &text);
    bool StoreCreditLimit(qint32 cusNo, Money limit);
    // The typed limit stored; a text that is no amount is refused with the
    // shared message and the stored limit kept.
    bool StoreTypedCreditLimit(qint32 cusNo, const QString &typed);
    // The same for a window that showed the limit as `shown`: nothing is
    // written when the typed limit is the one shown; otherwise it goes onto
    // the customer as stored now, and when another user saved a different
    // limit meanwhile the user is asked ("Saved by another user", "Credit
    // Limit"): Yes writes the typed limit, No keeps the other user's. Cancel
    // writes nothing and sets *cancelled. False when nothing was saved.
    bool StoreTypedCreditLimit(qint32 cusNo, const QString &typed, Money shown, bool *cancelled = nullptr);

    // The adjustment the credit due allows: the credit can be used up but
    // never made negative, so an adjustment below -creditDue is -creditDue.
    static Money Floored(Money creditDue, Money adjustment);

    // Adds the Credits row (JobNo 0, dated today) and moves CreditDue by the
    // adjustment, both in one transaction; the floor is checked against the
    // credit due read in that transaction. The amount written is handed back
    // in *written. False (nothing written) when the customer is missing or
    // the database fails; a zero amount after the floor writes nothing.
    bool Adjust(qint32 cusNo, Money adjustment, quint8 reasonId, Money *written = nullptr);

    // The customer's CreditDue as stored (0 when missing).
    Money CreditDue(qint32 cusNo);

private:
    platform::Database &m_db;
};
