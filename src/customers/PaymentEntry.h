#pragma once

#include "platform/DateTime.h"
#include "platform/Money.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <optional>

namespace platform {
class Database;
}

// One unpaid invoice of the payment being entered.
struct PaymentRow
{
    qint32 jobId = 0;
    qint32 jobNo = 0;
    QString title;
    qint32 buyerNo = 0;
    qint32 shiptoNo = 0;
    DateTime dateShipped;
    Money due;     // the invoice's balance when loaded
    Money applied; // what this payment pays of it
    Money balance() const { return due - applied; }
};

// The state of a payment received from a customer and how it is spread over
// the customer's unpaid invoices (its own and those of its child accounts),
// with its save. Every question is the caller's and is asked before Save,
// which writes the payment, what it pays, the credits and the customer's
// credit due as one transaction.
class PaymentEntry
{
public:
    // Reasons of the Credits rows a payment writes.
    enum : quint8 { kCreditUsed = 253, kOverPaid = 254, kAdvance = 255 };

    PaymentEntry();

    // Paid-by index 1, date today, no reference, every amount 0, both modes
    // off. The invoices stay loaded.
    void Reset();
    // Reads the unpaid invoices of the customer and its child accounts, in
    // job-number order, and lists them with nothing applied.
    void Load(platform::Database &db, qint32 cusNo);
    // Reads the customer's unpaid invoices again (after a window that may
    // have changed them) and keeps everything entered: the date, type,
    // reference, a typed Amount and what is applied to each invoice still
    // unpaid, at most its balance now. What an invoice no longer takes comes
    // off Applied (and off the Amount unless the Amount was typed).
    void Reload(platform::Database &db, qint32 cusNo);

    // Lists the invoices anew: with applyAll each is paid in full and Amount
    // is their sum; otherwise nothing is applied and Remains is the Amount.
    void FillInvoiceList(bool applyAll);
    // The amount proposed for a partial payment of the row; nullopt when no
    // partial payment can be made (a fixed amount with nothing remaining).
    std::optional<Money> PartialProposal(int row) const;
    // A plain click on the row (partial empty) or a partial amount typed for
    // it (rounded to cents; nothing happens unless it is above 0). A plain
    // click pays an unapplied row as far as it can and unapplies an applied
    // one; a partial amount replaces the row's applied amount.
    void ApplyToRow(int row, std::optional<Money> partial = std::nullopt);
    // "Pay all": every invoice in full, or, when everything is paid already,
    // every application cleared.
    void ApplyAll();
    // The user typed an Amount: the amount is fixed and applications draw on
    // what remains. False when the amount did not change.
    bool AmountChanged(Money amount);
    // The customer's credit pays the invoices: no payment row is written.
    void UseCredit(Money creditDue);

    // What saving will credit to the customer (an over-payment or an advance
    // payment); 0 when nothing.
    Money CreditToGive() const;
    static QString CreditQuestion(Money remains);
    static QString ZeroAmountText();
    static QString SaveQuestion();
    static QString NegativeQuestion();
    static QString NoBalanceQuestion(const QString &name);
    static QString UseCreditQuestion(const QString &name, Money creditDue);
    // The refusal of a payment to an invoice that is no longer unpaid.
    static QString NotUnpaidText(qint32 jobNo);

    // Writes the payment for the customer. creditAccepted is the answer to
    // CreditQuestion when CreditToGive is not 0 (false: nothing is written).
    // False when there is nothing to save, the credit was declined or the
    // database failed (reported; nothing written). After a save the entry is
    // reset, the list emptied and Note() holds the credit note.
    bool Save(platform::Database &db, qint32 cusNo, bool creditAccepted);

    QList<PaymentRow> rows;
    Money amount;
    Money applied;
    Money remains;
    Money accountBalance;
    bool fixedAmountMode = false;
    bool useCreditMode = false;
    DateTime date;
    int paidBy = 1;
    QString reference;

    Money totalSaved;     // of every payment saved since the dialog opened
    qint32 lastPayNo = 0; // PayNo of the last payment saved (0 with credit)
    QString lastNote;     // "Credit $20.00" or empty
    QString lastAppliedTo;

private:
    // Why the entry can no longer be saved as it stands, read inside the
    // saving transaction: an invoice paid meanwhile (or now owing less than
    // is applied to it), or a credit used up meanwhile. Empty when it can.
    QString StaleEntryText(platform::Database &db, qint32 cusNo) const;

    QList<PaymentRow> m_loaded;
};
