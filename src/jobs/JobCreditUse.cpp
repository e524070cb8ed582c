#include "jobs/JobCreditUse.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/TextUtil.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

using platform::Value;

Money MostCreditToUse(Money balance, Money creditDue)
{
    return balance.units() < creditDue.units() ? balance : creditDue;
}

QString CreditEntryPrompt(Money most)
{
    return QStringLiteral("Enter an amount greater than 0 and less than or equal to ") + FormatMoneyGrouped(most);
}

Money ApplyCreditToJob(CJobSet &job, Money amount, bool noteTheAmount, const std::function<bool()> &save)
{
    if (amount.units() > job.m_Balance.units())
        amount = job.m_Balance;
    if (amount.units() <= 0)
        return Money();
    const Money paidBefore = job.m_Paid;
    const Money balanceBefore = job.m_Balance;
    const DateTime datePaidBefore = job.m_DatePaid;
    const QString noteBefore = job.m_InvoiceNote;
    platform::Database &db = job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
    bool saved = false;
    try {
        platform::Transaction transaction(db);
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = ?"),
                {Value(job.m_CusNo)});
        const Money stored = rs.isEOF() || rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
        rs.close();
        if (amount.units() > stored.units())
            amount = stored;
        if (amount.units() > 0) {
            // The credit moves by the amount on the row as it stands now.
            db.execute(QStringLiteral("UPDATE Customers SET CreditDue = CreditDue - ? WHERE CusNo = ?"),
                       {Value(amount), Value(job.m_CusNo)});
            db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (?, ?, ?, ?, "
                                      "?)"),
                       {Value(job.m_CusNo), Value(job.m_JobNo), Value(-amount), Value(GetToday()),
                        Value(std::int64_t(252), platform::FieldType::Byte)});
            if (noteTheAmount)
                AppendText(job.m_InvoiceNote,
                           QStringLiteral("Payment $%1 %2 %3%4")
                               .arg(FormatMoneyGrouped(amount), QStringLiteral("Credit Used"), GetTodayText(0, false),
                                    QStringLiteral("\r\n")),
                           QStringLiteral("\r\n"));
            job.m_Paid -= amount;
            job.m_DatePaid = GetToday();
            job.RecalcTotals(true);
            if (save()) {
                transaction.commit();
                saved = true;
            }
        }
    } catch (const platform::DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Credits"));
    }
    if (saved)
        return amount;
    job.m_Paid = paidBefore;
    job.m_DatePaid = datePaidBefore;
    job.m_InvoiceNote = noteBefore;
    job.RecalcTotals(false);
    job.m_Balance = balanceBefore;
    return Money();
}
