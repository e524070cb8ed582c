#include "customers/CreditAdjustment.h"

#include "app/base/DateRanges.h"
#include "app/base/TypedValue.h"
#include "customers/ReceivableRows.h"
#include "data/CCreditSet.h"
#include "data/CXDaoSet.h"
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
    if (limit == shown)
        return true; // left as shown: the limit stored now stays
    // Written only over the limit as it is now; another user's change to it
    // since it was shown, to something else, is put to the user, and the
    // answer holds while the limit stays as asked about.
    std::optional<Money> askedAbout;
    bool keepMine = true;
    for (int round = 0; round < 5; ++round) {
        std::optional<Money> toAsk;
        bool found = false;
        const bool ok = InOneTransaction(m_db, QStringLiteral("Cannot save Customers"), [&] {
            platform::Recordset rs(m_db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = ?"), {Value(cusNo)});
            found = !rs.isEOF();
            if (!found)
                return;
            const Money now = rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
            rs.close();
            if (now != shown && now != limit) {
                if (!askedAbout || *askedAbout != now) {
                    toAsk = now;
                    return; // nothing written: asked first
                }
                if (!keepMine)
                    return; // the other user's limit stays
            }
            m_db.execute(QStringLiteral("UPDATE Customers SET CreditLimit = ? WHERE CusNo = ?"),
                         {Value(limit), Value(cusNo)});
        });
        if (!ok || !found)
            return false;
        if (!toAsk)
            return true;
        const int answer = CXDaoSet::AskAboutBothChanged(
            {CXDaoSet::BothChangedLine(QStringLiteral("Credit Limit"), FormatMoney(*toAsk), FormatMoney(limit))});
        if (answer != platform::IDYES && answer != platform::IDNO) {
            if (cancelled)
                *cancelled = true;
            return false;
        }
        askedAbout = toAsk;
        keepMine = answer == platform::IDYES;
    }
    return false;
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
