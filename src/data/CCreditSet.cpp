#include "data/CCreditSet.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "platform/Prompt.h"
#include "data/DaoError.h"
#include "data/DatabaseOpening.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"

#include <cstdlib>
#include <functional>
#include <optional>

using platform::Value;

CCreditSet::CCreditSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CCreditSet::GetDefaultSQL() const
{
    return QStringLiteral("[Credits]");
}

void CCreditSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[CreditID]"), m_CreditID);
    DFX_LongNoNull(pFX, QStringLiteral("[CusNo]"), m_CusNo);
    DFX_LongNoNull(pFX, QStringLiteral("[JobNo]"), m_JobNo);
    DFX_Currency(pFX, QStringLiteral("[Amount]"), m_Amount);
    DFX_DateTime(pFX, QStringLiteral("[Date]"), m_Date);
    DFX_Byte(pFX, QStringLiteral("[ReasonID]"), m_ReasonID);
    m_nLastDfxOp = pFX->operation();
}

bool CCreditSet::AddCredit(qint32 cusNo, qint32 jobNo, Money amount, quint8 reasonId)
{
    if (!SafeAddNew())
        return false;
    m_Date = GetToday();
    m_CusNo = cusNo;
    m_JobNo = jobNo;
    m_Amount = amount;
    m_ReasonID = reasonId;
    return SafeUpdate(GetDefaultSQL());
}

namespace {

// The customer's CreditDue; false when the customer does not exist.
bool readCreditDue(platform::Database &db, qint32 cusNo, Money &creditDue)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = ?"),
            {Value(cusNo)});
    if (rs.isEOF())
        return false;
    const Value v = rs.value(0);
    creditDue = v.isNull() ? Money::zero() : v.toMoney();
    return true;
}

void writeCreditDue(platform::Database &db, qint32 cusNo, Money creditDue)
{
    db.execute(QStringLiteral("UPDATE Customers SET CreditDue = ? WHERE CusNo = ?"), {Value(creditDue), Value(cusNo)});
}

bool openShared(platform::Database &db)
{
    return db.isOpen() || OpenDatabase(&db);
}

// Does the work in one transaction on the shared database. False, and all of
// it undone, when the work gives false or the database fails; a failure is
// shown under the caption once the transaction is over.
bool inTransaction(const QString &failureCaption, const std::function<bool(platform::Database &)> &work)
{
    platform::Database &db = SharedDatabase();
    if (!openShared(db))
        return false;
    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(db);
        if (!work(db))
            return false;
        transaction.commit();
    } catch (const platform::DbException &e) {
        failure = e;
    }
    if (failure) {
        ShowDaoError(*failure, failureCaption);
        return false;
    }
    return true;
}

} // namespace

QString CCreditSet::CreditDuePastLargest(Money creditDue)
{
    if (creditDue.isValid() && IsWithinLargestAmount(creditDue.units()))
        return QString();
    return TooLargeAmountText(QStringLiteral("Credit Due"));
}

QString CCreditSet::CreditDuePastLargest(platform::Database &db, Money before, Money after)
{
    if (QString past = CreditDuePastLargest(after); !past.isEmpty())
        return past;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT SUM(CreditDue) FROM Customers"));
    const Money all = rs.isEOF() || rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
    rs.close();
    const Money allAfter = all - before + after;
    if (allAfter.isValid() && IsWithinLargestAmount(allAfter.units()))
        return QString();
    if (allAfter.isValid() && all.isValid() && std::llabs(allAfter.units()) <= std::llabs(all.units()))
        return QString();
    return TooLargeAmountText(QStringLiteral("Posting Credits Due"));
}

bool CCreditSet::PostCredit(qint32 cusNo, qint32 jobNo, Money amount, quint8 reasonId)
{
    QString refusal;
    const bool ok = inTransaction(QStringLiteral("Cannot save ") + GetDefaultSQL(), [&](platform::Database &db) {
        Money creditDue;
        if (!readCreditDue(db, cusNo, creditDue))
            return false;
        refusal = CreditDuePastLargest(db, creditDue, creditDue + amount);
        if (!refusal.isEmpty())
            return false;
        db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (?, ?, ?, ?, ?)"),
                   {Value(cusNo), Value(jobNo), Value(amount), Value(GetToday()),
                    Value(std::int64_t(reasonId), platform::FieldType::Byte)});
        writeCreditDue(db, cusNo, creditDue + amount);
        return true;
    });
    if (!refusal.isEmpty())
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return ok;
}

bool CCreditSet::DeleteCredit(qint32 creditId)
{
    QString refusal;
    const bool ok = inTransaction(QStringLiteral("Cannot delete ") + GetDefaultSQL(), [&](platform::Database &db) {
        platform::Recordset row(db);
        row.open(platform::Recordset::Type::Snapshot,
                 QStringLiteral("SELECT CusNo, Amount FROM Credits WHERE CreditID = ?"), {Value(creditId)});
        if (row.isEOF())
            return false;
        const qint32 cusNo = row.value(0).toInt();
        const Value amount = row.value(1);
        row.close();
        Money creditDue;
        const bool found = readCreditDue(db, cusNo, creditDue);
        const Money after = creditDue - (amount.isNull() ? Money::zero() : amount.toMoney());
        // Taking back a credit used moves the credit due up: it too is held
        // within the largest amount.
        if (found) {
            refusal = CreditDuePastLargest(db, creditDue, after);
            if (!refusal.isEmpty())
                return false;
        }
        db.execute(QStringLiteral("DELETE FROM Credits WHERE CreditID = ?"), {Value(creditId)});
        if (found)
            writeCreditDue(db, cusNo, after);
        return true;
    });
    if (!refusal.isEmpty())
        platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return ok;
}
