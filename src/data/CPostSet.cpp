#include "data/CPostSet.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "data/CJobSet.h"

CPostSet::CPostSet(platform::Database *database)
    : CXDaoSet(database)
{
    m_nDefaultType = dbOpenDynaset;
}

QString CPostSet::GetDefaultSQL() const
{
    return QStringLiteral("[PostingJournal]");
}

void CPostSet::DoFieldExchange(FieldExchange *pFX)
{
    DFX_Long(pFX, QStringLiteral("[PostingNo]"), m_PostingNo);
    DFX_DateTime(pFX, QStringLiteral("[PostingDate]"), m_PostingDate);
    DFX_LongNoNull(pFX, QStringLiteral("[Invoices]"), m_Invoices);
    DFX_Currency(pFX, QStringLiteral("[Cost]"), m_Cost);
    DFX_Currency(pFX, QStringLiteral("[Subtotal]"), m_Subtotal);
    DFX_Currency(pFX, QStringLiteral("[Discount]"), m_Discount);
    DFX_Currency(pFX, QStringLiteral("[Shipping]"), m_Shipping);
    DFX_Currency(pFX, QStringLiteral("[Postage]"), m_Postage);
    DFX_Currency(pFX, QStringLiteral("[Tax]"), m_Tax);
    DFX_Currency(pFX, QStringLiteral("[Latefee]"), m_Latefee);
    DFX_Currency(pFX, QStringLiteral("[Paid]"), m_Paid);
    DFX_Currency(pFX, QStringLiteral("[Writeoff]"), m_Writeoff);
    DFX_Currency(pFX, QStringLiteral("[Balance]"), m_Balance);
    DFX_Currency(pFX, QStringLiteral("[Commission]"), m_Commission);
    DFX_Currency(pFX, QStringLiteral("[TaxableNetSale]"), m_TaxableNetSale);
    DFX_LongNoNull(pFX, QStringLiteral("[QSales]"), m_QSales);
    DFX_Currency(pFX, QStringLiteral("[QSaleSubtotal]"), m_QSaleSubtotal);
    DFX_Currency(pFX, QStringLiteral("[QSaleTax]"), m_QSaleTax);
    DFX_Currency(pFX, QStringLiteral("[TaxableQSale]"), m_TaxableQSale);
    DFX_Currency(pFX, QStringLiteral("[DepositNew]"), m_DepositNew);
    DFX_Currency(pFX, QStringLiteral("[DepositOld]"), m_DepositOld);
    DFX_Currency(pFX, QStringLiteral("[DepositNow]"), m_DepositNow);
    DFX_Currency(pFX, QStringLiteral("[AllPayments]"), m_AllPayments);
    DFX_Currency(pFX, QStringLiteral("[CreditsDue]"), m_CreditsDue);
    DFX_Currency(pFX, QStringLiteral("[ARBalance]"), m_ARBalance);
    m_nLastDfxOp = pFX->operation();
}

void CPostSet::ResetFields()
{
    m_PostingDate = GetToday();
    m_Invoices = 0;
    m_Cost = Money::zero();
    m_Subtotal = Money::zero();
    m_Discount = Money::zero();
    m_Shipping = Money::zero();
    m_Postage = Money::zero();
    m_Tax = Money::zero();
    m_Latefee = Money::zero();
    m_Paid = Money::zero();
    m_Writeoff = Money::zero();
    m_Balance = Money::zero();
    m_Commission = Money::zero();
    m_TaxableNetSale = Money::zero();
    m_QSales = 0;
    m_QSaleSubtotal = Money::zero();
    m_QSaleTax = Money::zero();
    m_TaxableQSale = Money::zero();
    m_DepositNew = Money::zero();
    m_DepositOld = Money::zero();
    m_DepositNow = Money::zero();
    m_AllPayments = Money::zero();
    m_CreditsDue = Money::zero();
    m_ARBalance = Money::zero();
}

namespace {

// A stored amount as posting adds it: a missing value counts as 0.
Money posted(const Money &m)
{
    return Money::fromUnits(m.units());
}

} // namespace

void CPostSet::AddInvoice(const CJobSet &job, Money balance)
{
    const Money subtotal = posted(job.m_Subtotal);
    const Money discount = posted(job.m_Discount);
    const Money tax = posted(job.m_Tax);
    ++m_Invoices;
    m_Cost += posted(job.m_Cost);
    m_Subtotal += subtotal;
    m_Discount += discount;
    m_Shipping += posted(job.m_Shipping);
    m_Postage += posted(job.m_Postage);
    m_Tax += tax;
    m_Latefee += posted(job.m_Latefee);
    m_Paid += posted(job.m_Paid);
    m_Writeoff += posted(job.m_Writeoff);
    m_Balance += posted(balance);
    m_Commission += posted(job.m_Commission);
    if (!tax.isZero())
        m_TaxableNetSale += subtotal + discount;
}

QString CPostSet::InvoicePastLargest(const CJobSet &job, Money balance) const
{
    const Money subtotal = posted(job.m_Subtotal);
    const Money discount = posted(job.m_Discount);
    const Money tax = posted(job.m_Tax);
    struct Figure
    {
        const char *name;
        Money sum;
        Money amount;
    };
    const Figure figures[] = {
        {"Subtotal", m_Subtotal, subtotal},
        {"Discount", m_Discount, discount},
        {"Shipping", m_Shipping, posted(job.m_Shipping)},
        {"Postage", m_Postage, posted(job.m_Postage)},
        {"Tax", m_Tax, tax},
        {"Late Fee", m_Latefee, posted(job.m_Latefee)},
        {"Paid", m_Paid, posted(job.m_Paid)},
        {"Write-off", m_Writeoff, posted(job.m_Writeoff)},
        {"Balance", m_Balance, posted(balance)},
        {"Job Cost", m_Cost, posted(job.m_Cost)},
        {"Commission", m_Commission, posted(job.m_Commission)},
        {"Taxable Net Sale", m_TaxableNetSale, tax.isZero() ? Money() : subtotal + discount},
    };
    if (const QString past = job.AmountPastLargest(); !past.isEmpty())
        return past;
    for (const Figure &f : figures) {
        const Money sum = f.sum + f.amount;
        if (!sum.isValid() || !IsWithinLargestAmount(sum.units()))
            return TooLargeAmountText(QStringLiteral("Posting ") + QString::fromLatin1(f.name));
    }
    return QString();
}

void CPostSet::AddQuickSale(Money subtotal, Money tax)
{
    ++m_QSales;
    m_QSaleSubtotal += posted(subtotal);
    m_QSaleTax += posted(tax);
    if (!posted(tax).isZero())
        m_TaxableQSale += posted(subtotal);
}
