#include "customers/CreditAdjustment.h"

#include "app/base/DateRanges.h"
#include "app/base/TypedValue.h"
#include "customers/ReceivableRows.h"
#include "data/CCreditSet.h"
#include "data/OneValueOverNow.h"
#include "app/base/MoneyText.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"
#include "platform/Prompt.h"

#include <optional>

using platform::Value;

namespace {

bool readCreditDue(platform::Database &db, qint32 cusNo, Money &due)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = ?"),
            {Value(cusNo)});
    if (rs.isEOF())
        return false;
    due = rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
    return true;
}

} // namespace

CreditAdjustment::CreditAdjustment(platform::Database &db)
    : m_db(db)
{
}

Money CreditAdjustment::CreditLimitFromText(const QString &text)
{
    // Read as any typed amount of cents ("$5,000" is 5,000), within the
    // largest amount (past it refused, never held at it), then cut to whole
    // units.
    Money typed;
    if (!ReadTypedMoney(text.trimmed(), typed, 2))
        return Money::invalid();
    if (typed.units() < 0)
        return Money();
    return Money::fromWhole(typed.units() / Money::kUnitsPerWhole);
}

bool CreditAdjustment::StoreTypedCreditLimit(qint32 cusNo, const QString &typed)
{
    const Money limit = CreditLimitFromText(typed);
    if (!limit.isValid()) {
        platform::Prompt::messageBox(TypedMoneyMessage(typed.trimmed()), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    return StoreCreditLimit(cusNo, limit);
}

bool CreditAdjustment::StoreCreditLimit(qint32 cusNo, Money limit)
{
    return InOneTransaction(m_db, QStringLiteral("Cannot save Customers"), [&] {
        m_db.execute(QStringLiteral("UPDATE Customers SET CreditLimit = ? WHERE CusNo = ?"),
                     {Value(limit), Value(cusNo)});
    });
}

bool CreditAdjustment::StoreTypedCreditLimit(qint32 cusNo, const QString &typed, Money shown, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    const Money limit = CreditLimitFromText(typed);
    if (!limit.isValid()) {
        platform::Prompt::messageBox(TypedMoneyMessage(typed.trimmed()), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    // Written only over the limit as it is now; another user's change to it
    // since it was shown, to something else, is put to the user.
    const OneValueOverNow settle(QStringLiteral("Credit Limit"), [&](const std::function<void()> &body) {
        return InOneTransaction(m_db, QStringLiteral("Cannot save Customers"), body);
    });
    return settle.Save<Money>(
        shown, limit,
        [&]() -> std::optional<Money> {
            platform::Recordset rs(m_db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = ?"), {Value(cusNo)});
            if (rs.isEOF())
                return std::nullopt;
            return rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
        },
        [&] {
            m_db.execute(QStringLiteral("UPDATE Customers SET CreditLimit = ? WHERE CusNo = ?"),
                         {Value(limit), Value(cusNo)});
        },
        [](const Money &value) { return FormatMoney(value); }, cancelled);
}

Money CreditAdjustment::Floored(Money creditDue, Money adjustment)
{
    if (creditDue + adjustment < Money())
        return -creditDue;
    return adjustment;
}

Money CreditAdjustment::CreditDue(qint32 cusNo)
{
    Money due;
    readCreditDue(m_db, cusNo, due);
    return due;
}

bool CreditAdjustment::Adjust(qint32 cusNo, Money adjustment, quint8 reasonId, Money *written)
{
    bool found = false;
    Money amount;
    QString refusal;
    const bool ok = InOneTransaction(m_db, QStringLiteral("Cannot save Credits"), [&] {
        Money due;
        found = readCreditDue(m_db, cusNo, due);
        if (!found)
            return;
        amount = Floored(due, adjustment);
        if (amount.isZero())
            return;
        // A credit due past the largest amount is refused before anything
        // is written.
        refusal = CCreditSet::CreditDuePastLargest(m_db, due, due + amount);
        if (!refusal.isEmpty()) {
            amount = Money();
            return;
        }
        m_db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (?, 0, ?, ?, ?)"),
                     {Value(cusNo), Value(amount), Value(GetToday()),
                      Value(std::int64_t(reasonId), platform::FieldType::Byte)});
        m_db.execute(QStringLiteral("UPDATE Customers SET CreditDue = ? WHERE CusNo = ?"),
                     {Value(due + amount), Value(cusNo)});
    });
    if (!refusal.isEmpty())
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    if (written)
        *written = amount;
    return ok && found && refusal.isEmpty();
}
