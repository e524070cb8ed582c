#include "customers/ReceivableRows.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "data/DaoError.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QStringList>

#include <optional>

using platform::Value;

namespace {

Money moneyOf(const Value &v)
{
    return v.isNull() ? Money() : Money::fromUnits(v.toMoney().units());
}

Value byteValue(int v)
{
    return Value(std::int64_t(v), platform::FieldType::Byte);
}

} // namespace

QString ReceivableAmountsPastLargest(const ReceivableJob &job)
{
    const std::pair<const char *, Money> figures[] = {
        {"Late Fee", job.latefee}, {"Paid", job.paid}, {"Write-off", job.writeoff}, {"Balance", job.balance}};
    for (const auto &[name, amount] : figures) {
        if (!amount.isValid() || !IsWithinLargestAmount(amount.units()))
            return TooLargeAmountText(QString::fromLatin1(name));
    }
    return QString();
}

ReceivableJob ReadReceivableJob(platform::Database &db, qint32 jobId)
{
    ReceivableJob job;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT JobNo, JobType, CusNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, Paid, "
                           "Writeoff, Balance FROM Jobs WHERE JobID = ?"),
            {Value(jobId)});
    if (rs.isEOF())
        return job;
    job.found = true;
    job.jobId = jobId;
    job.jobNo = rs.value(0).toInt();
    job.jobType = quint8(rs.value(1).toInt());
    job.cusNo = rs.value(2).toInt();
    Money *const amounts[9] = {&job.subtotal, &job.discount, &job.shipping, &job.postage, &job.tax,
                               &job.latefee,  &job.paid,     &job.writeoff, &job.balance};
    for (int i = 0; i < 9; ++i)
        *amounts[i] = moneyOf(rs.value(3 + i));
    return job;
}

void InsertAuditChange(platform::Database &db, const ReceivableJob &before, const ReceivableJob &after)
{
    db.execute(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, "
                              "Latefee, Paid, Writeoff, Balance, JobType, PropID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                              "?, ?, ?, ?)"),
               {Value(GetToday()), Value(after.jobNo), Value(after.subtotal - before.subtotal),
                Value(after.discount - before.discount), Value(after.shipping - before.shipping),
                Value(after.postage - before.postage), Value(after.tax - before.tax),
                Value(after.latefee - before.latefee), Value(after.paid - before.paid),
                Value(after.writeoff - before.writeoff), Value(after.balance - before.balance),
                byteValue(after.jobType), byteValue(0)});
}

void WriteReceivableJob(platform::Database &db, const ReceivableJob &before, const ReceivableJob &after,
                        const DateTime &datePaid)
{
    if (datePaid.isValid())
        db.execute(QStringLiteral("UPDATE Jobs SET Latefee = ?, Paid = ?, Writeoff = ?, Balance = ?, DatePaid = ? "
                                  "WHERE JobID = ?"),
                   {Value(after.latefee), Value(after.paid), Value(after.writeoff), Value(after.balance),
                    Value(datePaid), Value(after.jobId)});
    else
        db.execute(QStringLiteral("UPDATE Jobs SET Latefee = ?, Paid = ?, Writeoff = ?, Balance = ? WHERE JobID = ?"),
                   {Value(after.latefee), Value(after.paid), Value(after.writeoff), Value(after.balance),
                    Value(after.jobId)});
    if (after.jobType == 3)
        InsertAuditChange(db, before, after);
}

QString ReadSettingRow(platform::Database &db, int alertType, const QString &defaultText)
{
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = ?"),
                {Value(alertType)});
        if (!rs.isEOF())
            return rs.value(0).isNull() ? QString() : rs.value(0).toString();
    }
    db.execute(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText, AlertPrint, AlertColor, "
                              "AlertSound) VALUES (0, ?, ?, 0, 0, 0)"),
               {byteValue(alertType), Value(defaultText)});
    return defaultText;
}

void WriteSettingRow(platform::Database &db, int alertType, const QString &text)
{
    ReadSettingRow(db, alertType, text);
    db.execute(QStringLiteral("UPDATE CustomerAlerts SET AlertText = ? WHERE CusNo = 0 AND AlertType = ?"),
               {Value(text), Value(alertType)});
}

int IntegerItem(const QString &list, int index)
{
    const QStringList pieces = list.split(QLatin1Char(','));
    // The text after the last comma is no item.
    if (index < 0 || index >= pieces.size() - 1)
        return 0;
    bool ok = false;
    const int value = pieces[index].trimmed().toInt(&ok);
    return ok ? value : 0;
}

bool InOneTransaction(platform::Database &db, const QString &caption, const std::function<void()> &work)
{
    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(db);
        work();
        transaction.commit();
    } catch (const platform::DbException &e) {
        failure = e;
    }
    if (failure) {
        ShowDaoError(*failure, caption);
        return false;
    }
    return true;
}
