#include "data/TaxAmounts.h"

#include "app/base/MoneyText.h"
#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "platform/db/Database.h"

#include <QtCore/QHash>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

void readRateRow(CXDaoSet &set, TaxRate &rate)
{
    const platform::Value name = set.GetFieldValue(1);
    rate.name = name.isNull() ? QString() : name.toString();
    rate.tenThousandthsOfPercent = set.GetLong(2);
    rate.taxShipping = set.GetLong(3) != 0;
    rate.taxPostage = set.GetLong(4) != 0;
    rate.roundUp = set.GetLong(5) != 0;
}

const QString kRateColumns = QStringLiteral("SELECT [No], [Name], TaxPercent, TaxShipping, TaxPostage, RoundUp FROM Taxes");

bool readTaxRate(quint8 taxNo, TaxRate &rate)
{
    CXDaoSet set;
    set.Open(CXDaoSet::dbOpenSnapshot, kRateColumns + QStringLiteral(" WHERE [No] = %1").arg(taxNo));
    if (set.IsEmptySet())
        return false;
    readRateRow(set, rate);
    return true;
}

void computeTax(Money &taxable, Money shipping, Money postage, quint8 taxNo, Money &tax, const TaxRateLookup &rates)
{
    TaxRate rate;
    if (taxNo == 0 || !rates(taxNo, rate)) {
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

} // namespace

TaxRateLookup TaxRatesReadOnce(platform::Database *database)
{
    auto table = std::make_shared<QHash<quint8, TaxRate>>();
    // A file from before taxed postage (read while it is being upgraded) has
    // no postage flag: its rates never taxed postage.
    QString columns = kRateColumns;
    platform::Database &db = database ? *database : SharedDatabase();
    const bool rates = db.tableExists(QStringLiteral("Taxes"));
    if (rates && !db.tableDef(QStringLiteral("Taxes")).hasField(QStringLiteral("TaxPostage")))
        columns.replace(QStringLiteral(", TaxPostage,"), QStringLiteral(", 0 AS TaxPostage,"));
    CXDaoSet set(database);
    if (rates)
        set.Open(CXDaoSet::dbOpenSnapshot, columns);
    for (; rates && set.IsOpen() && !set.IsEmptySet() && !set.IsEOF(); set.MoveNext()) {
        TaxRate rate;
        readRateRow(set, rate);
        table->insert(quint8(set.GetLong(0)), rate);
    }
    return [table](quint8 taxNo, TaxRate &rate) {
        const auto found = table->constFind(taxNo);
        if (found == table->constEnd())
            return false;
        rate = *found;
        return true;
    };
}

void GetTaxName(QString &out, quint8 taxNo)
{
    TaxRate rate;
    out = readTaxRate(taxNo, rate) ? rate.name : QString();
}

void ComputeTax(Money &taxable, Money shipping, Money postage, quint8 taxNo, Money &tax)
{
    computeTax(taxable, shipping, postage, taxNo, tax, readTaxRate);
}

void ComputeTaxAmounts(Money &taxable, Money shipping, Money postage, quint8 taxCode, Money &tax,
                       Money &secondBase, Money &secondTax)
{
    ComputeTaxAmounts(taxable, shipping, postage, taxCode, tax, secondBase, secondTax, readTaxRate);
}

void ComputeTaxAmounts(Money &taxable, Money shipping, Money postage, quint8 taxCode, Money &tax,
                       Money &secondBase, Money &secondTax, const TaxRateLookup &rates)
{
    switch (taxCode) {
    case 0:
        taxable = Money();
        tax = Money();
        secondBase = Money();
        secondTax = Money();
        break;
    case 2:
        computeTax(taxable, shipping, postage, 2, tax, rates);
        secondBase = taxable;
        secondTax = tax;
        break;
    case 3:
        secondBase = taxable;
        computeTax(taxable, shipping, postage, 1, tax, rates);
        computeTax(secondBase, shipping, postage, 2, secondTax, rates);
        tax = tax + secondTax;
        break;
    default:
        computeTax(taxable, shipping, postage, taxCode, tax, rates);
        secondBase = Money();
        secondTax = Money();
        break;
    }
}

void ComputeJobTaxes(const Money &taxableItems, const Money &subtotal, const Money &discount, Money shipping,
                     Money postage, quint8 taxCode, Money &taxable, Money &tax, Money &secondBase, Money &secondTax,
                     const TaxRateLookup &rates)
{
    taxable = taxableItems;
    taxable.setStatus(Money::Status::Valid);
    if (!discount.isZero() && !subtotal.isZero()) {
        // The discount applied is never more than the subtotal (the totals
        // cut it so): a larger one typed takes no tax off beyond it.
        const std::int64_t most = subtotal.units() < 0 ? -subtotal.units() : subtotal.units();
        const std::int64_t applied = std::clamp(discount.units(), -most, most);
        // The share first, then the product, cut toward zero.
        const double share = double(taxable.units()) / double(subtotal.units());
        const double reduction = double(applied) * share;
        taxable += Money::fromUnits(std::int64_t(std::trunc(reduction)));
    }
    secondBase = taxable;
    ComputeTaxAmounts(taxable, shipping, postage, taxCode, tax, secondBase, secondTax, rates);
}

void ComputeJobTaxes(const Money &taxableItems, const Money &subtotal, const Money &discount, Money shipping,
                     Money postage, quint8 taxCode, Money &taxable, Money &tax, Money &secondBase, Money &secondTax)
{
    ComputeJobTaxes(taxableItems, subtotal, discount, shipping, postage, taxCode, taxable, tax, secondBase, secondTax,
                    readTaxRate);
}
