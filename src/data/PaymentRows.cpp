#include "data/PaymentRows.h"

#include "app/base/MoneyText.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <cstdlib>

QString PeriodPaymentsPastLargest(platform::Database &db, Money amount)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Sum(Amount) FROM Payments WHERE PostingNo = 0"));
    const Money before = rs.isEOF() || rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
    rs.close();
    return PeriodSumPastLargest(QStringLiteral("Posting All Payments"), before, amount);
}

QString PeriodSumPastLargest(const QString &name, Money before, Money amount)
{
    const Money after = before + amount;
    if (after.isValid() && IsWithinLargestAmount(after.units()))
        return QString();
    if (after.isValid() && before.isValid() && std::llabs(after.units()) <= std::llabs(before.units()))
        return QString();
    return TooLargeAmountText(name);
}

qint32 InsertPayment(platform::Database &db, const NewPayment &payment)
{
    using platform::Value;
    db.execute(QStringLiteral("INSERT INTO Payments ([Date], Amount, CusNo, PayGroup, PaidBy, Reference, Appliedto, "
                              "PostingNo) VALUES (?, ?, ?, ?, ?, ?, ?, 0)"),
               {Value(payment.date), Value(payment.amount), Value(payment.cusNo),
                Value(std::int64_t(payment.payGroup), platform::FieldType::Byte),
                Value(std::int64_t(payment.paidBy), platform::FieldType::Byte), Value(payment.reference),
                Value(payment.appliedto)});
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(PayNo) FROM Payments"));
    return rs.value(0).toInt();
}
