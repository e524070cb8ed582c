// The money rules of a job row: signs, discount and commission rates and
// amounts, taxable amounts and taxes, total and balance, and the two checks
// that compare what is stored with what is computed.

#include "data/CJobSet.h"

#include "app/base/MoneyText.h"
#include "data/CItemSet.h"
#include "data/TaxAmounts.h"
#include "platform/Prompt.h"

#include <cmath>
#include <cstdint>

namespace {

// Zero and the No Charge marker count as no amount in the totals checks.
bool withinMarkerBand(Money value)
{
    return value.units() >= -1 && value.units() <= 1;
}

} // namespace

void CJobSet::RecalcTotals(bool save)
{
    if (m_Subtotal.isZero()) {
        m_Taxable = Money();
        m_Taxable2 = Money();
        m_Discount = Money();
        ComputeTaxAmounts(m_Taxable, m_Shipping, m_Postage, m_TaxNo, m_Tax, m_Taxable2, m_Tax2);
        m_TotalAmount = Money();
        m_Latefee = Money();
        m_Writeoff = Money();
        m_Balance = Money();
        m_Commission = Money();
        m_DiscountRate = 0;
        m_CommissionRate = 0;
    } else {
        AlignAmountSigns();
        DeriveDiscountRate();
        CalcCommissionRate();
    }
    // A job without subtotal still gets shipping, postage, tax and payments
    // into its total and balance.
    CalcBalance();
    if (save)
        m_StoredBalance = m_Balance;
}

void CJobSet::AlignAmountSigns()
{
    const bool positive = m_Subtotal.units() >= 0;
    ForceCurrencySign(m_Discount, !positive);
    ForceCurrencySign(m_Writeoff, !positive);
    ForceCurrencySign(m_Shipping, positive);
    ForceCurrencySign(m_Postage, positive);
    ForceCurrencySign(m_Tax, positive);
    ForceCurrencySign(m_Tax2, positive);
    ForceCurrencySign(m_Taxable, positive);
    ForceCurrencySign(m_Taxable2, positive);
    ForceCurrencySign(m_Latefee, positive);
    ForceCurrencySign(m_Commission, positive);
}

void CJobSet::DeriveDiscountRate()
{
    if (const qint32 kept = TypedDiscountRate(); kept != 0) {
        Money amount;
        CalcPercentAmount(m_Subtotal, amount, kept * 0.01, true, false);
        if (amount.units() != 0 && amount.units() == -m_Discount.units()) {
            m_DiscountRate = kept;
            return;
        }
    }
    // A discount larger than the subtotal is cut to minus the subtotal and
    // the rate to 100 %.
    CalcPercentOfTotal(m_Subtotal, m_Discount, m_DiscountRate, true);
}

qint32 CJobSet::TypedDiscountRate() const
{
    return m_PrintOption2 >= 1 && m_PrintOption2 <= 10000 ? m_PrintOption2 : 0;
}

void CJobSet::ApplyDiscountRate(qint32 hundredths)
{
    m_DiscountRate = hundredths;
    CalcDiscount();
    m_PrintOption2 = hundredths >= 1 && hundredths <= 10000 ? hundredths : 0;
}

void CJobSet::ForgetDiscountRate()
{
    m_PrintOption2 = 0;
}

void CJobSet::CalcDiscount()
{
    Money amount;
    CalcPercentAmount(m_Subtotal, amount, m_DiscountRate * 0.01, true, false);
    m_Discount = -amount;
}

// Commission is paid on the subtotal less discount, or with CommType 1 on the
// margin over cost. A margin is never negative, and for a credit invoice
// never positive.
Money CJobSet::CommissionBase() const
{
    Money base = m_Subtotal + m_Discount;
    if (m_CommType == 1) {
        base = base - m_Cost;
        if (m_Creator == kCreditInvoice) {
            if (base.units() > 0)
                base = Money();
        } else if (base.units() < 0) {
            base = Money();
        }
    }
    return base;
}

void CJobSet::CalcCommissionRate()
{
    CalcPercentOfTotal(CommissionBase(), m_Commission, m_CommissionRate, true);
}

void CJobSet::CalcCommission()
{
    CalcPercentAmount(CommissionBase(), m_Commission, m_CommissionRate * 0.01, true, false);
}

void CJobSet::CalcSubtotal()
{
    CXDaoSet sum(m_pDatabase);
    sum.m_filterValues = {platform::Value(m_JobID)};
    sum.Open(dbOpenSnapshot,
             QStringLiteral("SELECT Sum(Price) FROM Items WHERE (JobID = ? and SerNo = 0 and Bleed = 0 and "
                            "(Price < -0.0001 OR Price > 0.0001))"));
    if (sum.IsEmptySet()) {
        m_Taxable = Money();
        m_Taxable2 = m_Taxable;
        ComputeTaxAmounts(m_Taxable, m_Shipping, m_Postage, m_TaxNo, m_Tax, m_Taxable2, m_Tax2);
        return;
    }
    const platform::Value value = sum.GetFieldValue(0);
    CalcSubtotal(value.isNull() ? Money() : value.toMoney());
}

void CJobSet::CalcSubtotal(const Money &taxableItems)
{
    ComputeJobTaxes(taxableItems, m_Subtotal, m_Discount, m_Shipping, m_Postage, m_TaxNo, m_Taxable, m_Tax, m_Taxable2,
                    m_Tax2);
}

void CJobSet::CalcBalance()
{
    const Money subtotal = m_Subtotal.isNoCharge() ? Money() : Money::fromUnits(m_Subtotal.units());
    m_TotalAmount = subtotal + Money::fromUnits(m_Discount.units()) + Money::fromUnits(m_Shipping.units())
        + Money::fromUnits(m_Postage.units()) + Money::fromUnits(m_Tax.units());
    if (IsCreditOrCredited()) {
        m_Balance = Money();
        return;
    }
    m_Balance = m_TotalAmount + Money::fromUnits(m_Latefee.units()) + Money::fromUnits(m_Paid.units())
        + Money::fromUnits(m_Writeoff.units());
}

bool CJobSet::CheckBalance(int mode, const QString &extraText)
{
    if (m_Balance == m_StoredBalance)
        return true;
    if (mode == 0)
        return false;

    const QString text = QStringLiteral("The balance of this job %1 has a discrepancy:\n\nBalance in file: \t%2\n"
                                        "Balance calculated: \t%3\n\n")
                             .arg(m_JobNo)
                             .arg(FormatCurrency(m_StoredBalance, 4), FormatCurrency(m_Balance, 4));
    const int editMode = GetEditMode();
    if (mode == 1 || editMode == dbEditNone) {
        platform::Prompt::messageBox(text + extraText, QString(), platform::MB_OK);
        return false;
    }
    const int answer = platform::Prompt::messageBox(text + QStringLiteral("Save the calculated balance (recommended)?"),
                                                    QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
    if (answer != platform::IDYES)
        return false;
    SetFieldDirty(&m_Balance);
    if (!SaveRecord(64))
        return false;
    // The saved balance is now the one in the database: a second check of
    // this row in memory must not find the same difference again.
    m_StoredBalance = m_Balance;
    return true;
}

QString CJobSet::FormatDiscrepancy(const QString &nameA, const QString &nameB, Money a, Money b)
{
    if (a == b)
        return QString();
    return QStringLiteral("\n%1 is not equal to %2:\n%3 - %4 = %5\n\n")
        .arg(nameA, nameB, FormatCurrency(a, 2), FormatCurrency(b, 2), FormatCurrency(a - b, 2));
}

void CJobSet::ItemSums::Add(bool serviceRow, Money cost, Money price)
{
    if (serviceRow && !withinMarkerBand(cost))
        serviceCosts += Money::fromUnits(cost.units());
    if (price.isZero())
        allPriced = false;
    if (!withinMarkerBand(price)) {
        if (serviceRow)
            servicePrices += Money::fromUnits(price.units());
        else
            itemPrices += Money::fromUnits(price.units());
    }
}

bool CJobSet::CheckTotals(const QString &extraText)
{
    if (IsCreditOrCredited())
        return false;

    CItemSet items(m_pDatabase);
    items.m_strFilter = QStringLiteral("Items.JobID = %1").arg(m_JobID);
    items.m_strSort = QStringLiteral("Items.ItemNo, Items.SerNo");
    items.RequeryOrOpen(false);

    ItemSums sums;
    try {
        for (; !items.IsEmptySet() && !items.IsEOF(); items.MoveNext())
            sums.Add(items.m_SerNo != 0, items.m_Cost, items.m_Price);
    } catch (const platform::DbException &) {
        // A row that cannot be read ends the walk; what was read is compared.
    }
    return CheckTotals(sums, extraText);
}

bool CJobSet::CheckTotals(const ItemSums &sums, const QString &extraText)
{
    if (IsCreditOrCredited())
        return false;

    const Money jobCost = withinMarkerBand(m_Cost) ? Money() : Money::fromUnits(m_Cost.units());
    const Money jobSubtotal = withinMarkerBand(m_Subtotal) ? Money() : Money::fromUnits(m_Subtotal.units());
    QString text;
    if (!sums.allPriced) {
        if (!m_Subtotal.isZero())
            text = QStringLiteral("\n-> Job has a subtotal but one or more services are not priced.\n");
    } else {
        text = FormatDiscrepancy(QStringLiteral("Subtotal"), QStringLiteral("Sum of Item Prices"), jobSubtotal,
                                 sums.itemPrices)
            + FormatDiscrepancy(QStringLiteral("Subtotal"), QStringLiteral("Sum of Serv.Prices"), jobSubtotal,
                                sums.servicePrices)
            + FormatDiscrepancy(QStringLiteral("Job Cost"), QStringLiteral("Sum of Serv.Costs"), jobCost,
                                sums.serviceCosts);
    }
    if (text.isEmpty())
        return false;
    if (!extraText.isEmpty())
        platform::Prompt::messageBox(GetJobLabel() + QStringLiteral(" has discrepancy:\n") + text + extraText,
                                     QString(), platform::MB_OK);
    return true;
}

QString CJobSet::AmountPastLargest() const
{
    const std::pair<const char *, Money> figures[] = {
        {"Subtotal", m_Subtotal},   {"Discount", m_Discount}, {"Shipping", m_Shipping},
        {"Postage", m_Postage},     {"Tax", m_Tax},           {"Tax 2", m_Tax2},
        {"Total", m_TotalAmount},   {"Late Fee", m_Latefee},  {"Paid", m_Paid},
        {"Write-off", m_Writeoff},  {"Balance", m_Balance},   {"Job Cost", m_Cost},
        {"Commission", m_Commission},
    };
    for (const auto &[name, amount] : figures) {
        if (!amount.isValid() || !IsWithinLargestAmount(amount.units()))
            return TooLargeAmountText(QString::fromLatin1(name));
    }
    return QString();
}
