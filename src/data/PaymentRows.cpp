#include "data/PaymentRows.h"

#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

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
