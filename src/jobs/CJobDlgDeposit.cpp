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
#include "jobs/JobCreditUse.h"
#include "jobs/JobHooks.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "app/base/TypedValue.h"
#include "views/CDlgData.h"

#include <optional>
#include <utility>

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
    const bool noteTheAmount = GetGlobalAlertText(251, 10, QStringLiteral("0")).trimmed() != QStringLiteral("0");
    // The credit is offered only when there is credit to use and something owed.
    if (m_creditDue.units() > 0 && job.m_Balance.units() > 0) {
        CCusSet customer;
        if (customer.FindCustomer(job.m_CusNo) &&
            platform::Prompt::messageBox(QStringLiteral("Do you want to apply the customer's credit to this order?"),
                                         QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) ==
                platform::IDYES) {
            const Money most = MostCreditToUse(job.m_Balance, m_creditDue);
            const QString strip = CreditEntryPrompt(most);
            CDlgData entry(FormatMoneyGrouped(most), 10, QStringLiteral("Apply Credit"), QStringLiteral("How much?"),
                           strip, this);
            if (entry.DoModal() != IDOK_RESULT)
                return;
            // The one money reading: "12.345" or "1,00" is no amount of cents.
            Money amount;
            if (!ReadTypedMoney(entry.m_strValue, amount, 2) || amount.units() <= 0) {
                platform::Prompt::messageBox(QStringLiteral("Not Applied!\n\n ") + strip);
                return;
            }
            // Never more than the order owes nor more than the credit.
            if (amount.units() > m_creditDue.units())
                amount = m_creditDue;
            const Money applied = ApplyCreditToJob(job, amount, noteTheAmount, [this] { return CheckAndSave(1); });
            if (!applied.isZero()) {
                m_creditDue -= applied;
                if (noteTheAmount)
                    SetNoteTip(30264, job.m_InvoiceNote);
            }
            UpdateTotalsPanels();
            return;
        }
    }

    // A new deposit: its Payments row, the row tying it to the order and the
    // order's new totals are one change.
    JobHooks &hooks = GetJobHooks();
    if (!hooks.takeDeposit) {
        ReportJobFeatureNotAvailable(QStringLiteral("Taking a deposit"));
        return;
    }
    NewPayment payment;
    const int answer = hooks.takeDeposit(1, job.m_Balance, job.m_CusNo, job.m_JobNo, payment, this);
    if (answer != 1 && answer != kPrintAndSave)
        return;
    const Money amount = payment.amount;
    const QString kindText = payment.paidByName;

    const Money paidBefore = job.m_Paid;
    const Money balanceBefore = job.m_Balance;
    const DateTime datePaidBefore = job.m_DatePaid;
    const QString noteBefore = job.m_InvoiceNote;
    platform::Database &db = job.m_pDatabase ? *job.m_pDatabase : SharedDatabase();
    bool saved = false;
    QString refusal;
    std::optional<platform::DbException> failure;
    try {
        platform::Transaction transaction(db);
        using platform::Value;
        // A deposit above what the order owes may take its Paid (or, a
        // negative one, its Balance) past the largest amount: refused by name
        // before anything is written.
        const std::pair<const char *, Money> after[] = {{"Paid", job.m_Paid - amount},
                                                        {"Balance", job.m_Balance - amount}};
        for (const auto &[name, figure] : after)
            if (refusal.isEmpty() && !(figure.isValid() && IsWithinLargestAmount(figure.units())))
                refusal = TooLargeAmountText(QString::fromLatin1(name));
        if (refusal.isEmpty())
            refusal = PeriodPaymentsPastLargest(db, payment.amount);
        const qint32 payNo = refusal.isEmpty() ? InsertPayment(db, payment) : 0;
        if (refusal.isEmpty())
            db.execute(QStringLiteral("INSERT INTO PayApplied (PayNo, JobNo, Amount) VALUES (?, ?, ?)"),
                       {Value(payNo), Value(job.m_JobNo), Value(amount)});
        if (refusal.isEmpty() && !amount.isZero()) {
            if (noteTheAmount)
                AppendText(job.m_InvoiceNote,
                           QStringLiteral("Payment $%1 %2 %3%4")
                               .arg(FormatMoneyGrouped(amount), kindText, GetTodayText(0, false),
                                    QStringLiteral("\r\n")),
                           QStringLiteral("\r\n"));
            job.m_Paid -= amount;
            job.m_DatePaid = GetToday();
            job.RecalcTotals(true);
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
            ShowDaoError(*failure, QStringLiteral("Cannot save Payments"));
        else if (!refusal.isEmpty())
            platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
        UpdateTotalsPanels();
        return;
    }
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
