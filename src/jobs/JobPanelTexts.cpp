#include "jobs/JobPanelTexts.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/TextUtil.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"

namespace {

// The status names of each job type, string lists 44081 + type. The list of
// portal quotes begins with "All", which is no status: positions count after it.
constexpr int kStatusLists = 44081;

bool isOrderOrHistory(const CJobSet &job)
{
    return job.m_JobType == CJobSet::Order || job.m_JobType == CJobSet::History;
}

} // namespace

QString JobTypeLabel(const CJobSet &job)
{
    if (job.IsCreditInvoice())
        return QStringLiteral("Credit");
    if (job.IsCredited())
        return QStringLiteral("Credited");
    QString name;
    GetJobTypeName(name, job.m_JobType);
    return name;
}

int RecordBarHue(const CJobSet &job, int windowHue)
{
    return job.IsCreditOrCredited() ? kCreditHue : windowHue;
}

bool ApplyProposedTitle(CJobSet &job, const QString &proposed, const QString &emptyTitleSetting)
{
    if (proposed.isEmpty() || !job.m_Title.isEmpty() || emptyTitleSetting != QLatin1String("1"))
        return false;
    job.m_Title = proposed;
    return true;
}

QString JobStatusText(int jobType, int status)
{
    if (jobType == CJobSet::History)
        return QStringLiteral("In History");
    if (jobType < 0 || jobType > CJobSet::PellQuote || status < 0)
        return QString();
    const int skip = jobType == CJobSet::PellQuote ? 1 : 0;
    return GetResourceListItem(kStatusLists + jobType, status + skip);
}

int JobStatusImage(int jobType, int status)
{
    static constexpr int orders[] = {38, 74, 42, 36};
    static constexpr int quotes[] = {71, 70, 72, 66, 68};
    static constexpr int templates[] = {78, 79, 65};
    switch (jobType) {
    case CJobSet::History: return 75;
    case CJobSet::Order:
        if (status >= 0 && status < 4)
            return orders[status];
        break;
    case CJobSet::Quote:
        if (status >= 0 && status < 5)
            return quotes[status];
        break;
    case CJobSet::Template:
        if (status >= 0 && status < 3)
            return templates[status];
        break;
    default: break;
    }
    return 99;
}

QString JobWindowCaption(const CJobSet &job)
{
    QString caption = JobTypeLabel(job);
    if (isOrderOrHistory(job))
        caption += QStringLiteral(" (Work Order Printed: %1  Invoice Printed: %2)")
                       .arg(job.m_WOrderPrinted)
                       .arg(job.m_InvoicePrinted);
    return caption;
}

QString JobWhenText(const CJobSet &job, const QString &csrName, const QString &shipByName,
                    const QString &statusText, const QString &originText)
{
    return QStringLiteral("In\t%1\nDue\t%2   %3\nShip by\t%4\nShip'd\t%5\nCSR\t%6\nStatus\t%7\nFrom\t%8")
        .arg(DateToText(job.m_DateIn), DateToText(job.m_DateDue), job.m_TimeDue, shipByName,
             DateToText(job.m_DateShipped), csrName, statusText, originText);
}

QString JobTotalsText(const CJobSet &job)
{
    return QStringLiteral("Subtotal\nDiscount\nShipping\nPostage\nTaxable\nTax \u00B7 %1\n%2\n%3\n%4\n%5\n%6")
        .arg(FormatPrice(job.m_Subtotal), FormatMoneyGrouped(job.m_Discount), FormatMoneyGrouped(job.m_Shipping),
             FormatMoneyGrouped(job.m_Postage), FormatMoneyGrouped(job.m_Taxable), FormatMoneyGrouped(job.m_Tax));
}

PanelCaption JobTotalsCaption(const CJobSet &job, std::uint8_t defaultColour)
{
    // The No Charge marker below zero is no negative subtotal.
    if (!job.IsCreditOrCredited() && job.m_Subtotal.units() < 0 && !job.m_Subtotal.isNoCharge())
        return {QStringLiteral("Negative Subtotal"), kWarningColour};
    return {QStringLiteral("Job Totals"), defaultColour};
}

QString JobBalanceText(const CJobSet &job, const QString &termsName)
{
    return QStringLiteral("Total\nPaid\nBalance\n \u00B7 %1\n%2\n%3\n\n%4")
        .arg(FormatPrice(job.m_TotalAmount), FormatMoneyGrouped(job.m_Paid), FormatMoneyGrouped(job.m_Balance),
             termsName);
}

PanelCaption JobBalanceCaption(const CJobSet &job, Money customerCreditDue, std::uint8_t defaultColour)
{
    const PanelCaption due{QStringLiteral("Balance Due"), defaultColour};
    if (job.IsCreditOrCredited())
        return due;
    const qint64 subtotal = job.m_Subtotal.units();
    if (subtotal == 0)
        return {QStringLiteral("NOT PRICED"), defaultColour};
    if (subtotal < 0 && !job.m_Subtotal.isNoCharge())
        return {QStringLiteral("Negative Subtotal"), kWarningColour};
    if (job.m_Subtotal.isNoCharge() && job.m_Balance.isZero() && job.m_Paid.isZero())
        return {QStringLiteral("NO CHARGE"), kWarningColour};
    if (isOrderOrHistory(job)) {
        if (job.m_Balance.isZero())
            return {QStringLiteral("Paid-in-Full"), defaultColour};
        if (job.m_Balance.units() < 0 && !job.m_Paid.isZero())
            return {QStringLiteral("Over Paid"), kWarningColour};
        if (job.m_TermsNo == 0)
            return {QStringLiteral("C.O.D."), kCodColour};
        if (!customerCreditDue.isZero())
            return {QStringLiteral("Credit Due $%1").arg(FormatMoneyGrouped(customerCreditDue)), kWarningColour};
    }
    return due;
}
