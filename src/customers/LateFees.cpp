#include "customers/LateFees.h"

#include "app/base/MoneyText.h"
#include "customers/PostingRun.h"
#include "customers/ReceivableRows.h"
#include "data/CJobSet.h"
#include "data/PaymentRows.h"
#include "platform/db/Recordset.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"

#include <QtCore/QStringList>



LateFeeRule LateFeeRule::FromText(const QString &text)
{
    LateFeeRule rule;
    rule.percent = IntegerItem(text, 0);
    rule.minimumCents = IntegerItem(text, 1);
    rule.onFee = IntegerItem(text, 2);
    return rule;
}

QString LateFeeRule::Text() const
{
    return QStringLiteral("%1,%2,%3,").arg(percent).arg(minimumCents).arg(onFee);
}

LateFees::LateFees(platform::Database &db)
    : m_db(db)
{
}

QString LateFees::ChargeQuestion(int count)
{
    return QStringLiteral("charge Late Fee to selected %1 invoice(s)?").arg(count);
}

QString LateFees::ClearQuestion(int count)
{
    return QStringLiteral("clear (delete) the Late Fees charged to the selected %1 invoices(s)?").arg(count);
}

LateFeeRule LateFees::ReadRule()
{
    QString text = LateFeeRule::DefaultText();
    InOneTransaction(m_db, QStringLiteral("Cannot save CustomerAlerts"),
                     [&] { text = ReadSettingRow(m_db, LateFeeRule::kAlertType, LateFeeRule::DefaultText()); });
    return LateFeeRule::FromText(text);
}

Money LateFees::FeeFor(Money balance, Money latefee, const LateFeeRule &rule)
{
    const Money base = rule.onFee != 0 ? balance : balance - latefee;
    Money fee;
    CalcPercentAmount(base, fee, rule.percent / 100.0, true, false);
    const Money minimum = Money::fromCents(rule.minimumCents);
    if (fee < minimum)
        fee = minimum;
    return fee;
}

bool LateFees::IsOwed(Money balance)
{
    // The No Charge marker (a balance of 0.0001) is no amount owed either.
    return balance >= Money::fromCents(1);
}

QString LateFees::NotChargedText(qint32 jobNo, const QString &why)
{
    return QStringLiteral("Invoice %1 is not charged a Late Fee: %2").arg(jobNo).arg(why);
}

bool LateFees::Charge(const QList<qint32> &jobIds, const LateFeeRule &rule)
{
    return Charge(jobIds, rule, true);
}

bool LateFees::Charge(const QList<qint32> &jobIds, const LateFeeRule &rule, bool storeRule)
{
    QStringList notCharged;
    const bool ok = InOneTransaction(m_db, QStringLiteral("Cannot save Jobs"), [&] {
        notCharged.clear();
        if (storeRule)
            WriteSettingRow(m_db, LateFeeRule::kAlertType, rule.Text());
        // The ledger's open invoices as the next posting stores them: a fee
        // that would take them past the largest amount is not charged, so
        // that no posting is refused for it.
        Money ledger;
        {
            platform::Recordset rs(m_db);
            rs.open(platform::Recordset::Type::Snapshot, PostingRun::ARBalanceSql());
            if (!rs.isEOF() && !rs.value(0).isNull())
                ledger = rs.value(0).toMoney();
        }
        for (qint32 id : jobIds) {
            // The balance is read again under this write's lock: an invoice
            // paid since it was listed (here or on another workstation) owes
            // nothing, and is charged nothing.
            const ReceivableJob before = ReadReceivableJob(m_db, id);
            if (!before.found || !IsOwed(before.balance))
                continue;
            ReceivableJob after = before;
            const Money fee = FeeFor(before.balance, before.latefee, rule);
            after.latefee += fee;
            after.balance += fee;
            // A fee that would take the invoice's balance (or its late fee)
            // past the largest amount is not charged; the others are.
            if (const QString past = ReceivableAmountsPastLargest(after); !past.isEmpty()) {
                notCharged << NotChargedText(before.jobNo, past);
                continue;
            }
            // Only an invoice counts in the ledger (and it owes: it is there
            // before and after the fee).
            if (before.jobType == CJobSet::History) {
                if (const QString past = PeriodSumPastLargest(QStringLiteral("Posting A/R Balance"), ledger, fee);
                    !past.isEmpty()) {
                    notCharged << NotChargedText(before.jobNo, past);
                    continue;
                }
                ledger += fee;
            }
            WriteReceivableJob(m_db, before, after, DateTime::null());
        }
    });
    m_notCharged = ok ? int(notCharged.size()) : 0;
    if (ok && !notCharged.isEmpty())
        platform::Prompt::messageBox(notCharged.join(QLatin1Char('\n')), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return ok;
}

bool LateFees::Clear(const QList<qint32> &jobIds)
{
    return InOneTransaction(m_db, QStringLiteral("Cannot save Jobs"), [&] {
        for (qint32 id : jobIds) {
            const ReceivableJob before = ReadReceivableJob(m_db, id);
            if (!before.found || before.latefee.isZero())
                continue;
            ReceivableJob after = before;
            after.balance -= before.latefee;
            after.latefee = Money();
            WriteReceivableJob(m_db, before, after, DateTime::null());
        }
    });
}
