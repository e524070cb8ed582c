#include "jobs/CJobDlg.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/PrintService.h"
#include "app/base/TextUtil.h"
#include "data/CCusSet.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/PaymentRows.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "views/CDlgData.h"

#include <optional>

namespace {
constexpr int kPrintAndSave = 30330;
} // namespace

// The "Balance" panel's command on an order: the customer's credit or a new
// deposit lowers what the order still owes. The deposit's Payments row, the
// row tying it to the order and the order's new totals are one change: all
// stored or none.
void CJobDlg::OnApplyCredit()
{
    CJobSet &job = *m_pJob;
    if (job.m_JobType != 0 || isPreview())
        return;
    CZqApp *app = ZqApp();
    if (!app || !app->CheckPassword(62, QString()))
        return;
    // The customer's credit, when there is one and the user wants it used.
    bool useCredit = false;
    if (!m_creditDue.isZero()) {
        CCusSet customer;
        useCredit = customer.FindCustomer(job.m_CusNo)
            && platform::Prompt::messageBox(
                   QStringLiteral("Do you want to apply the customer's credit to this order?"), QString(),
                   platform::MB_YESNO | platform::MB_ICONQUESTION)
                == platform::IDYES;
    }
    NewPayment payment;
    int answer = 1;
    Money amount;
    QString kindText;
    if (useCredit) {
        const Money most = job.m_Balance.units() < m_creditDue.units() ? job.m_Balance : m_creditDue;
        const QString mostText = FormatMoneyGrouped(most);
        const QString strip =
            QStringLiteral("Enter an amount greater than 0 and less than or equal to ") + mostText;
        CDlgData entry(mostText, 10, QStringLiteral("Apply Credit"), QStringLiteral("How much?"), strip, this);
        if (entry.DoModal() != IDOK_RESULT)
            return;
        QString typed = entry.m_strValue.trimmed();
        typed.remove(QLatin1Char(',')).remove(QLatin1Char('$'));
        amount = Money::fromText(typed);
        if (!amount.isValid() || amount.units() <= 0) {
            platform::Prompt::messageBox(QStringLiteral("Not Applied!\n\n ") + strip);
            return;
        }
        // Never more than the order owes nor more than the credit.
        if (amount.units() > job.m_Balance.units())
            amount = job.m_Balance;
        if (amount.units() > m_creditDue.units())
            amount = m_creditDue;
        if (amount.units() <= 0)
            return;
        kindText = QStringLiteral("Credit Used");
    } else {
        JobHooks &hooks = GetJobHooks();
        if (!hooks.takeDeposit) {
            ReportJobFeatureNotAvailable(QStringLiteral("Taking a deposit"));
            return;
        }
        answer = hooks.takeDeposit(1, job.m_Balance, job.m_CusNo, job.m_JobNo, payment, this);
        if (answer != 1 && answer != kPrintAndSave)
            return;
        amount = payment.amount;
        kindText = payment.paidByName;
    }

    const Money paidBefore = job.m_Paid;
    const Money balanceBefore = job.m_Balance;
    const DateTime datePaidBefore = job.m_DatePaid;
    const QString noteBefore = job.m_InvoiceNote;
    const bool noteTheAmount = GetGlobalAlertText(251, 10, QStringLiteral("0")).trimmed() != QStringLiteral("0");
    auto applyToJob = [&] {
        if (noteTheAmount)
            AppendText(job.m_InvoiceNote,
                       QStringLiteral("Payment $%1 %2 %3%4")
                           .arg(FormatMoneyGrouped(amount), kindText, GetTodayText(0, false),
                                QStringLiteral("\r\n")),
                       QStringLiteral("\r\n"));
        job.m_Paid -= amount;
        job.m_DatePaid = GetToday();
        job.RecalcTotals(true);
    };

    platform::Database &db = job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
    bool saved = false;
    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(db);
        using platform::Value;
        if (useCredit) {
            // The credit as stored now, so that another workstation's use of
            // it in the meantime is not undone.
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT CreditDue FROM Customers WHERE CusNo = ?"), {Value(job.m_CusNo)});
            const Money stored = rs.isEOF() || rs.value(0).isNull() ? Money() : rs.value(0).toMoney();
            rs.close();
            // Another workstation may have used some of it meanwhile.
            if (stored.units() < amount.units())
                amount = stored.units() > 0 ? stored : Money();
            db.execute(QStringLiteral("UPDATE Customers SET CreditDue = ? WHERE CusNo = ?"),
                       {Value(stored - amount), Value(job.m_CusNo)});
            db.execute(QStringLiteral("INSERT INTO Credits (CusNo, JobNo, Amount, [Date], ReasonID) VALUES (?, ?, ?, "
                                      "?, ?)"),
                       {Value(job.m_CusNo), Value(job.m_JobNo), Value(-amount), Value(GetToday()),
                        Value(std::int64_t(252), platform::FieldType::Byte)});
        } else {
            const qint32 payNo = InsertPayment(db, payment);
            db.execute(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) VALUES (?, ?, ?)"),
                       {Value(payNo), Value(job.m_JobNo), Value(amount)});
        }
        // Nothing is kept when the credit was used up elsewhere meanwhile.
        if (!amount.isZero()) {
            applyToJob();
            if (CheckAndSave(1)) {
                transaction.commit();
                saved = true;
            }
        }
    } catch (const platform::DbException &e) {
        failure = e;
    }
    if (!saved) {
        // Nothing was stored: the window shows the order as it was.
        job.m_Paid = paidBefore;
        job.m_Balance = balanceBefore;
        job.m_DatePaid = datePaidBefore;
        job.m_InvoiceNote = noteBefore;
        job.RecalcTotals(false);
        job.m_Balance = balanceBefore;
        if (failure)
            ShowDaoError(*failure, useCredit ? QStringLiteral("Cannot save Credits") : QStringLiteral("Cannot save Payments"));
        UpdateTotalsPanels();
        return;
    }
    if (useCredit)
        m_creditDue -= amount;
    if (noteTheAmount)
        SetNoteTip(30264, job.m_InvoiceNote);
    UpdateTotalsPanels();
    if (answer == kPrintAndSave) {
        PrintService *printing = ZqApp() ? ZqApp()->printService() : nullptr;
        if (!printing) {
            ReportJobFeatureNotAvailable(QStringLiteral("Printing the deposit receipt"));
            return;
        }
        ReceiptData receipt;
        receipt.title = payment.title;
        receipt.paymentType = payment.paidByName;
        receipt.reference = payment.reference;
        receipt.due = payment.due;
        receipt.tendered = payment.tendered;
        receipt.change = payment.change;
        printing->PrintReceipt(receipt);
    }
}
