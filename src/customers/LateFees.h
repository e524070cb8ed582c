#pragma once

#include "platform/Money.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

namespace platform {
class Database;
}

// The late-fee rule kept in settings row 252 of CustomerAlerts as
// "percent,minimum,onFee,": the percentage in hundredths of a percent, the
// minimum charge per invoice in cents, and whether the fee already charged
// is charged again (1) or not (0).
struct LateFeeRule
{
    int percent = 150;
    int minimumCents = 100;
    int onFee = 1;

    static constexpr int kAlertType = 252;
    static QString DefaultText() { return QStringLiteral("150,100,1,"); }
    static LateFeeRule FromText(const QString &text);
    QString Text() const;
};

// Charging and clearing late fees on invoices. Each batch (the jobs and their
// audit rows, and the rule when it changes) is written as one transaction.
class LateFees
{
public:
    explicit LateFees(platform::Database &db);

    // The stored rule; the row is added with the default when missing.
    LateFeeRule ReadRule();

    // The fee of one invoice: a percentage of its balance (less its late fee
    // when the rule says so), rounded to whole cents with halves away from
    // zero, and never below the minimum.
    static Money FeeFor(Money balance, Money latefee, const LateFeeRule &rule);

    // Whether a balance is owed at all: only then is a fee charged.
    static bool IsOwed(Money balance);

    // Stores the rule and charges every job found that still owes something
    // when the charge is written; false (reported, nothing
    // written) when the database fails. An invoice whose balance the fee
    // would take past the largest amount is not charged, and is named in
    // one message after the others are charged.
    bool Charge(const QList<qint32> &jobIds, const LateFeeRule &rule);
    // The same for a caller that has stored the rule itself (a window, onto
    // the row as another user may have saved it meanwhile): storeRule false
    // charges without writing the rule.
    bool Charge(const QList<qint32> &jobIds, const LateFeeRule &rule, bool storeRule);
    // Takes every job's whole late fee off its balance.
    bool Clear(const QList<qint32> &jobIds);

    static QString ChargeQuestion(int count);
    static QString ClearQuestion(int count);
    // "Invoice 1017 is not charged a Late Fee: " and why.
    static QString NotChargedText(qint32 jobNo, const QString &why);
    // How many invoices the last Charge left uncharged because the fee would
    // take them past the largest amount.
    int NotChargedCount() const { return m_notCharged; }

private:
    platform::Database &m_db;
    int m_notCharged = 0;
};
