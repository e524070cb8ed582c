#pragma once

#include "app/base/MoneyText.h"
#include "data/PaymentRows.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <utility>

namespace platform {
class Database;
}

// The counter sale: services of the quick-sale category sold without a job.
// Every amount is a whole number: quantities as counts, unit prices in
// ten-thousandths of the currency unit, prices and totals in cents. Amounts
// are 64-bit from the moment they are typed to the moment they are saved; one
// beyond what its field holds is refused, never wrapped round.
namespace QuickSale {

// The quick-sale category of services and the first status left out of its
// pick list (hidden services).
constexpr qint32 kCategory = 999;
constexpr int kHiddenStatus = 2;
// The walk-in customer, who buys every quick sale.
constexpr qint32 kWalkInCustomer = 31;

// What the sale needs of a service (table Services).
struct ServiceRates
{
    qint32 runPrice1 = 0;   // cents
    qint32 runCost1 = 0;    // cents
    qint32 markup = 0;      // percent
    quint8 unit = 0;        // 2: priced per thousand
};

// The largest amounts: the largest amount the program takes
// (kLargestAmountUnits), as a price or total in cents and as a unit price in
// ten-thousandths.
constexpr qint64 kLargestPrice = kLargestAmountUnits / Money::kUnitsPerCent; // 100,000,000,000.00
constexpr qint64 kLargestUnitPrice = kLargestAmountUnits;                   // 100,000,000,000.0000

// The unit price of a service: its first run price, or without one its first
// run cost raised by the markup (only a markup of 10 % or more counts), per
// thousand for unit 2, truncated toward zero.
qint64 UnitPriceOf(const ServiceRates &rates);

// The price of a row: quantity times unit price, rounded to cents with halves
// going up. A negative quantity or unit price is made positive in place.
// False (the price left as it was) when it would be beyond kLargestPrice.
bool PriceOf(qint32 &quantity, qint64 &unitPrice, qint64 &price);

// The unit price back from a typed price (made positive in place), truncated;
// a quantity below 1 leaves the unit price as it was.
void UnitPriceFromPrice(qint64 &price, qint32 quantity, qint64 &unitPrice);

// The refusal of an amount beyond its field: "The Price ... at most ...".
QString TooLargeText(const QString &field, qint64 largest, int decimals);

// One row of the sale.
struct Line
{
    qint32 serNo = 0;
    qint32 quantity = 0;
    qint64 unitPrice = 0;
    qint64 price = 0;
    // Only a row with a service and a price is sold.
    bool sold() const { return serNo != 0 && price != 0; }
};

// The sale's totals in cents; the tax figures from the shop's tax routine.
struct Totals
{
    qint64 subtotal = 0;
    qint64 taxable = 0;
    qint64 taxable2 = 0;
    qint64 tax = 0;
    qint64 tax2 = 0;
    qint64 total() const { return subtotal + tax; }
};
// The totals of the lines; false with the refusal's text when the subtotal,
// the tax or the total would be beyond the largest amount (kLargestPrice).
bool ComputeTotals(const QList<Line> &lines, quint8 taxCode, Totals &totals, QString &refusal);

// A line as typed in the sale's grid: "SERNO:QTY" (unit price from the
// service), "SERNO:QTY@UNIT" (unit price typed) or "SERNO:QTY=PRICE" (price
// typed, unit price from it); amounts as decimals ("1.2345", "10.00").
// Fills the line; false with an error text when it does not read or gives a
// quantity or amount below 0 (a refund is a negative tendered amount).
bool ParseLine(const QString &text, Line &line, QString &error);
// Fills the unit price (and then the price) of a line from its service:
// false when the service is not found, or (with the refusal's text) when the
// price would be beyond the largest.
bool PriceFromService(platform::Database &db, Line &line, QString &refusal);

// The counter's pick list: the services of the quick-sale category that are
// not hidden, number and name in the list's order.
QList<std::pair<qint32, QString>> PickList(platform::Database &db);

struct Saved
{
    qint32 qSaleId = 0;
    qint32 payNo = 0;
    // Why nothing was written: a sum the next posting stores would pass the
    // largest amount (PeriodSumsPastLargest). Empty when the sale was saved.
    QString refused;
};

// Why the sale cannot be taken: with it, a sum of the period that the next
// posting stores (the quick sales' subtotal, tax and taxable subtotal, and
// the payments) would pass the largest amount, named as the posting names
// it. Empty when it can. A payment below 0 (a refund) takes the sale off.
QString PeriodSumsPastLargest(platform::Database &db, const NewPayment &payment, const Totals &totals);

// Takes the money and records the sale as one change: the payment, the
// QuickSales row and a QuickSalesItems row per sold line, all written or none
// (a failure throws platform::DbException and leaves every table as it was).
// A payment below 0 is a refund: every amount of the sale is written negated.
// A sale the period's sums cannot take is refused by name (Saved::refused)
// before anything is written, so that the posting always finds them within
// the largest amount.
Saved Save(platform::Database &db, const NewPayment &payment, quint8 taxCode, const Totals &totals,
           const QList<Line> &lines);

// The tax code of the walk-in customer.
quint8 WalkInTaxCode(platform::Database &db);

} // namespace QuickSale
