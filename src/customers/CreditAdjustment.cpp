#include "customers/CreditAdjustment.h"

#include "app/base/DateRanges.h"
#include "customers/ReceivableRows.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

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
    QString t = text.trimmed();
    const int point = t.indexOf(QLatin1Char('.'));
    if (point >= 0)
        t = t.left(point);
    t.remove(QLatin1Char(','));
    bool ok = false;
    const qint64 whole = t.toLongLong(&ok);
    if (!ok || whole < 0)
        return Money();
    if (whole > 900000000000LL)
        return Money::fromWhole(900000000000LL);
    return Money::fromWhole(whole);
}

bool CreditAdjustment::StoreCreditLimit(qint32 cusNo, Money limit)
{
    return InOneTransaction(m_db, QStringLiteral("Cannot save Customers"), [&] {
        m_db.execute(QStringLiteral("UPDATE Customers SET CreditLimit = ? WHERE CusNo = ?"),
                     {Value(limit), Value(cusNo)});
    });
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
    const bool ok = InOneTransaction(m_db, QStringLiteral("Cannot save Credits"), [&] {
        Money due;
        found = readCreditDue(m_db, cusNo, due);
        if (!found)
            return;
        amount = Floored(due, adjustment);
        if (amount.isZero())
            return;
        m_db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (?, 0, ?, ?, ?)"),
                     {Value(cusNo), Value(amount), Value(GetToday()),
                      Value(std::int64_t(reasonId), platform::FieldType::Byte)});
        m_db.execute(QStringLiteral("UPDATE Customers SET CreditDue = ? WHERE CusNo = ?"),
                     {Value(due + amount), Value(cusNo)});
    });
    if (written)
        *written = amount;
    return ok && found;
}
