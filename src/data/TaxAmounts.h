#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <functional>

namespace platform {
class Database;
}

// A job's sales tax from its taxable amount, shipping, postage and the rates
// of table Taxes. Tax code 2 reports its tax as the job's second tax; code 3
// charges the rates of tax rows 1 and 2 together, each on its own base. An
// amount within the No Charge band (at most 0.0001 either way) bears no tax.

// One row of table Taxes as the tax rules read it.
struct TaxRate
{
    QString name;
    qint32 tenThousandthsOfPercent = 0;
    bool taxShipping = false;
    bool taxPostage = false;
    bool roundUp = false;
};

// Finds the rate of a tax number; false when table Taxes has no such row.
using TaxRateLookup = std::function<bool(quint8 taxNo, TaxRate &rate)>;

// A lookup into every row of table Taxes, read once now: for a caller that
// computes the taxes of many jobs and must not read the table for each.
TaxRateLookup TaxRatesReadOnce(platform::Database *database = nullptr);

// The [Name] of the Taxes row; empty when there is none.
void GetTaxName(QString &out, quint8 taxNo);

// The tax of one rate. `taxable` is in and out: on return it holds the base
// the tax was taken on (with shipping and postage when the rate taxes them).
void ComputeTax(Money &taxable, Money shipping, Money postage, quint8 taxNo, Money &tax);

// The job's tax by its tax code: `tax` the total, `secondBase` and `secondTax`
// the figures of the job's second tax.
void ComputeTaxAmounts(Money &taxable, Money shipping, Money postage, quint8 taxCode, Money &tax,
                       Money &secondBase, Money &secondTax);
// The same with the rates a lookup gives.
void ComputeTaxAmounts(Money &taxable, Money shipping, Money postage, quint8 taxCode, Money &tax,
                       Money &secondBase, Money &secondTax, const TaxRateLookup &rates);

// A job's taxable amounts and taxes from the prices of its taxable items:
// the discount (no more of it than the subtotal, as the totals cut it) falls
// on the taxable items in proportion to their share of
// the subtotal (cut toward zero to a ten-thousandth), then the tax code's
// rates apply. `taxable` and `tax` are the job's first figures, `secondBase`
// and `secondTax` its second tax's.
void ComputeJobTaxes(const Money &taxableItems, const Money &subtotal, const Money &discount, Money shipping,
                     Money postage, quint8 taxCode, Money &taxable, Money &tax, Money &secondBase, Money &secondTax,
                     const TaxRateLookup &rates);
// The same with the rates of table Taxes as they are now.
void ComputeJobTaxes(const Money &taxableItems, const Money &subtotal, const Money &discount, Money shipping,
                     Money postage, quint8 taxCode, Money &taxable, Money &tax, Money &secondBase, Money &secondTax);
