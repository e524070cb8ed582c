#include "data/TaxAmounts.h"

#include "app/base/MoneyText.h"
#include "data/CXDaoSet.h"

namespace {

struct TaxRate
{
    QString name;
    qint32 tenThousandthsOfPercent = 0;
    bool taxShipping = false;
    bool taxPostage = false;
    bool roundUp = false;
};

bool readTaxRate(quint8 taxNo, TaxRate &rate)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot,
             QStringLiteral("SELECT [Name], TaxPercent, TaxShipping, TaxPostage, RoundUp FROM Taxes WHERE [No] = %1")
                 .arg(taxNo));
    if (set.IsEmptySet())
        return false;
    const platform::Value name = set.GetFieldValue(0);
    rate.name = name.isNull() ? QString() : name.toString();
    rate.tenThousandthsOfPercent = set.GetLong(1);
    rate.taxShipping = set.GetLong(2) != 0;
    rate.taxPostage = set.GetLong(3) != 0;
    rate.roundUp = set.GetLong(4) != 0;
    return true;
}

} // namespace

void GetTaxName(QString &out, quint8 taxNo)
{
    TaxRate rate;
    out = readTaxRate(taxNo, rate) ? rate.name : QString();
}

void ComputeTax(Money &taxable, Money shipping, Money postage, quint8 taxNo, Money &tax)
{
    TaxRate rate;
    if (taxNo == 0 || !readTaxRate(taxNo, rate)) {
        taxable = Money();
        tax = Money();
        return;
    }
    if (rate.taxShipping)
        taxable += shipping;
    if (rate.taxPostage)
        taxable += postage;
    if (taxable.units() < -1 || taxable.units() > 1) {
        CalcPercentAmount(taxable, tax, rate.tenThousandthsOfPercent * 0.0001, true, rate.roundUp);
        return;
    }
    taxable = Money();
    tax = Money();
}

void ComputeTaxAmounts(Money &taxable, Money shipping, Money postage, quint8 taxCode, Money &tax,
                       Money &secondBase, Money &secondTax)
{
    switch (taxCode) {
    case 0:
        taxable = Money();
        tax = Money();
        secondBase = Money();
        secondTax = Money();
        break;
    case 2:
        ComputeTax(taxable, shipping, postage, 2, tax);
        secondBase = taxable;
        secondTax = tax;
        break;
    case 3:
        secondBase = taxable;
        ComputeTax(taxable, shipping, postage, 1, tax);
        ComputeTax(secondBase, shipping, postage, 2, secondTax);
        tax = tax + secondTax;
        break;
    default:
        ComputeTax(taxable, shipping, postage, taxCode, tax);
        secondBase = Money();
        secondTax = Money();
        break;
    }
}
