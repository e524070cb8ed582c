#pragma once

#include "platform/Money.h"

#include <QtCore/QString>
#include <QtCore/QtGlobal>

// A job's sales tax from its taxable amount, shipping, postage and the rates
// of table Taxes. Tax code 2 reports its tax as the job's second tax; code 3
// charges the rates of tax rows 1 and 2 together, each on its own base. An
// amount within the No Charge band (at most 0.0001 either way) bears no tax.

// The [Name] of the Taxes row; empty when there is none.
void GetTaxName(QString &out, quint8 taxNo);

// The tax of one rate. `taxable` is in and out: on return it holds the base
// the tax was taken on (with shipping and postage when the rate taxes them).
void ComputeTax(Money &taxable, Money shipping, Money postage, quint8 taxNo, Money &tax);

// The job's tax by its tax code: `tax` the total, `secondBase` and `secondTax`
// the figures of the job's second tax.
void ComputeTaxAmounts(Money &taxable, Money shipping, Money postage, quint8 taxCode, Money &tax,
                       Money &secondBase, Money &secondTax);
