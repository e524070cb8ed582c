#include "jobs/JobCreation.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"

namespace {

constexpr qint32 kLastOwnCustomer = 31;
// Amounts at or below the No Charge marker count as nothing.
constexpr qint64 kMarker = 1;

Money firstMoney(const QString &sql)
{
    platform::Value value;
    LookupFirstValue(value, sql);
    return value.isNull() ? Money() : value.toMoney();
}

} // namespace

QString CustomerWarningText(qint32 cusNo, int jobType, bool &moneyWarning)
{
    moneyWarning = false;
    QString message;
    CCusSet customer;
    const bool found = customer.FindCustomer(cusNo);
    if (found && cusNo > kLastOwnCustomer && jobType == CJobSet::Order) {
        QString lines;
        const int alertIf = customer.m_AlertIf;
        if (alertIf == 0 || alertIf == 1) {
            QString overdue;
            BuildDateCondition(overdue, QStringLiteral("Jobs.DatePayDue"), 2, 0);
            const Money pastDue = firstMoney(QStringLiteral("Select SUM(Balance) FROM Jobs WHERE JobType = 3 and "
                                                            "Balance > 0.0001 and CusNo = %1 and %2")
                                                 .arg(cusNo)
                                                 .arg(overdue));
            if (pastDue.units() > kMarker)
                lines += QStringLiteral("->  has a past-due balance $%1.\n").arg(FormatMoneyGrouped(pastDue));
        }
        if (alertIf == 0 || alertIf == 2) {
            const Money limit = firstMoney(QStringLiteral("SELECT CreditLimit FROM Customers WHERE CusNo = %1").arg(cusNo));
            const Money due = firstMoney(QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = %1").arg(cusNo));
            const Money open = firstMoney(QStringLiteral("SELECT SUM(Balance) AS [Amount] FROM Jobs WHERE (JobType = 0 "
                                                         "OR JobType = 3) and Balance > 0.0001 and CusNo = %1")
                                              .arg(cusNo));
            const Money over = open - (limit + due);
            if (over.units() > kMarker)
                lines += QStringLiteral("->  is over credit limit by $%1.\n").arg(FormatMoneyGrouped(over));
        }
        if (!lines.isEmpty()) {
            message = customer.m_Name + QStringLiteral(":\n") + lines;
            moneyWarning = true;
        }
    }
    QString note;
    GetCustomerAlertText(note, cusNo, 1);
    if (!note.isEmpty())
        message += QStringLiteral("->  ") + note;
    return message;
}

bool ConfirmCustomerWarning(qint32 cusNo, int jobType)
{
    bool moneyWarning = false;
    const QString message = CustomerWarningText(cusNo, jobType, moneyWarning);
    if (message.isEmpty())
        return true;
    if (platform::Prompt::messageBox(QStringLiteral("Please note ") + message + QStringLiteral("\n\nDo you want to continue?"),
                                     QString(), platform::MB_YESNO | platform::MB_ICONSTOP) != platform::IDYES)
        return false;
    if (!moneyWarning)
        return true;
    CZqApp *app = ZqApp();
    return app && app->CheckPassword(28, QStringLiteral("create order"));
}

bool CreateJob(CJobSet &job, int jobType, qint32 cusNo, qint32 buyerNo, quint8 csrNo)
{
    if (jobType < 0 || jobType > CJobSet::History)
        return false;
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(jobType + 21, QString()))
        return false;

    platform::Database &db = job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
    if (!db.isOpen())
        return false;
    // A shop open for reading says so before anything is begun.
    if (RefusedAsReadOnly(&db, QStringLiteral("Cannot add Jobs")))
        return false;
    // The row and its number together: a failed save gives the number back.
    // Its failure is shown once both are rolled back.
    DeferredDaoErrors deferred;
    platform::Transaction transaction(db);
    if (!job.SafeAddNew())
        return false;
    job.ResetFields();
    job.m_JobType = quint8(jobType);
    job.ApplyCustomer(cusNo);
    job.m_DateIn = DateTime::fromDate(platform::Clock::today());
    job.m_CSRNo = csrNo;
    if (buyerNo != 0)
        job.m_BuyerNo = buyerNo;
    if (!job.SaveNew(0)) {
        if (job.GetEditMode() != CXDaoSet::dbEditNone) {
            try {
                job.CancelUpdate();
            } catch (const platform::DbException &) {
            }
        }
        return false;
    }
    transaction.commit();
    return true;
}
