#pragma once

#include "platform/Money.h"

#include <QtCore/QString>

#include <functional>

class CJobSet;

// The customer's credit used on an order, as one change: the customer's
// CreditDue lowered by the amount as it is stored now (another workstation
// may have used some of it), a Credits row of the negated amount (reason 252,
// the order's number), and the order's payment, date paid, totals and, when
// asked, the note line "Payment $%s Credit Used %s" - all written or none.

// The text of the amount to offer and the entry's strip text.
Money MostCreditToUse(Money balance, Money creditDue);
QString CreditEntryPrompt(Money most);

// Applies up to `amount` (cut to the order's balance and the stored credit);
// `save` stores the job record (the window's own save, or the record's). The
// amount applied, 0 when nothing was written (the record is then as it was).
Money ApplyCreditToJob(CJobSet &job, Money amount, bool noteTheAmount, const std::function<bool()> &save);
