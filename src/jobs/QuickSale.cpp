#include "jobs/QuickSale.h"

#include "app/base/DateRanges.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TypedValue.h"
#include "data/TaxAmounts.h"
#include "platform/Money.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <QtCore/QRegularExpression>

#include <algorithm>
#include <limits>

namespace QuickSale {

qint64 UnitPriceOf(const ServiceRates &rates)
{
    // The base in cents times 100 is the unit price in ten-thousandths; the
    // markup and the per-thousand unit divide it, and one truncation at the
    // end keeps 7 cents raised by 15 % at 0.0805.
    __int128 numerator = rates.runPrice1;
    __int128 denominator = 1;
    if (rates.runPrice1 == 0) {
        numerator = rates.runCost1;
        if (rates.markup > 9) {
            numerator *= 100 + __int128(rates.markup);
            denominator = 100;
        }
    }
    numerator *= 100;
    if (rates.unit == 2)
        denominator *= 1000;
    const __int128 unitPrice = numerator / denominator; // C++ division truncates toward zero
    // A markup of millions of percent stops at the largest unit price.
    return qint64(std::clamp<__int128>(unitPrice, -kLargestUnitPrice, kLargestUnitPrice));
}

bool PriceOf(qint32 &quantity, qint64 &unitPrice, qint64 &price)
{
    quantity = quantity == std::numeric_limits<qint32>::min() ? std::numeric_limits<qint32>::max()
                                                             : quantity < 0 ? -quantity : quantity;
    unitPrice = unitPrice == std::numeric_limits<qint64>::min() ? kLargestUnitPrice
                                                               : unitPrice < 0 ? -unitPrice : unitPrice;
    // ten-thousandths to cents: a half cent goes up
    const __int128 cents = (__int128(quantity) * unitPrice + 50) / 100;
    if (cents > kLargestPrice)
        return false;
    price = qint64(cents);
    return true;
}

void UnitPriceFromPrice(qint64 &price, qint32 quantity, qint64 &unitPrice)
{
    price = price == std::numeric_limits<qint64>::min() ? kLargestPrice : price < 0 ? -price : price;
    if (quantity >= 1)
        unitPrice = qint64(std::min<__int128>(__int128(price) * 100 / quantity, kLargestUnitPrice));
}

QString TooLargeText(const QString &field, qint64 largest, int decimals)
{
    return QStringLiteral("\"%1\" cannot be more than %2, the largest amount it holds.")
        .arg(field, FormatFixedPoint(largest, decimals, true));
}

bool ComputeTotals(const QList<Line> &lines, quint8 taxCode, Totals &totals, QString &refusal)
{
    Totals t;
    for (const Line &line : lines) {
        if (__builtin_add_overflow(t.subtotal, line.price, &t.subtotal) || t.subtotal > kLargestPrice
            || t.subtotal < -kLargestPrice) {
            refusal = TooLargeText(QStringLiteral("Subtotal"), kLargestPrice, 2);
            return false;
        }
    }
    Money taxable = Money::fromCents(t.subtotal);
    Money tax, secondBase, secondTax;
    ComputeTaxAmounts(taxable, Money(), Money(), taxCode, tax, secondBase, secondTax);
    if (!taxable.isValid() || !tax.isValid() || !secondBase.isValid() || !secondTax.isValid()) {
        refusal = TooLargeText(QStringLiteral("Tax"), kLargestPrice, 2);
        return false;
    }
    const auto cents = [](Money m) { return m.units() / Money::kUnitsPerCent; };
    t.taxable = cents(taxable);
    t.tax = cents(tax);
    t.taxable2 = cents(secondBase);
    t.tax2 = cents(secondTax);
    qint64 total = 0;
    if (__builtin_add_overflow(t.subtotal, t.tax, &total) || total > kLargestPrice || total < -kLargestPrice) {
        refusal = TooLargeText(QStringLiteral("Total"), kLargestPrice, 2);
        return false;
    }
    totals = t;
    return true;
}

namespace {

// An amount typed for a line, read as every money field reads one: whole,
// with at most `decimals` decimals, within the largest amount; in units of
// 10^-decimals. False with the refusal naming the amount.
bool readAmount(const QString &name, const QString &text, int decimals, qint64 &out, QString &error)
{
    Money m;
    if (!ReadTypedMoney(text, m, decimals)) {
        error = QStringLiteral("%1 \"%2\": %3").arg(name, text, TypedMoneyMessage(text, decimals));
        return false;
    }
    out = m.units() / (decimals == 4 ? 1 : Money::kUnitsPerCent);
    return true;
}

QString negativeText(const QString &name, const QString &text)
{
    return QStringLiteral("%1 \"%2\": cannot be below 0. A refund is taken with a negative tendered amount.")
        .arg(name, text);
}

} // namespace

bool ParseLine(const QString &text, Line &line, QString &error)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d+):(-?\\d+)(?:([@=])(\\S+))?$"));
    const QRegularExpressionMatch m = shape.match(text.trimmed());
    if (!m.hasMatch()) {
        error = QStringLiteral("A line is SERNO:QTY, SERNO:QTY@UNIT or SERNO:QTY=PRICE: ") + text;
        return false;
    }
    line = Line();
    line.serNo = m.captured(1).toInt();
    // The quantity is a count as every typed one is: past the largest count
    // (or past what 64 bits read) it is refused by name, never read as 0.
    bool whole = false;
    const qint64 quantity = m.captured(2).toLongLong(&whole);
    if ((!whole && !m.captured(2).startsWith(QLatin1Char('-'))) || quantity > kLargestCount) {
        error = QStringLiteral("Quantity \"%1\": ").arg(m.captured(2)) + TooLargeCountText(QStringLiteral("Quantity"));
        return false;
    }
    line.quantity = whole ? qint32(std::max<qint64>(quantity, -kLargestCount)) : -1;
    // The counter's grid shows a negative figure made positive in its cell;
    // given here it would be flipped unseen, so it is refused: a refund is
    // a sale taken with a negative tendered amount.
    if (line.quantity < 0) {
        error = negativeText(QStringLiteral("Quantity"), m.captured(2));
        return false;
    }
    const QString mark = m.captured(3);
    if (mark.isEmpty())
        return true;
    if (mark == QLatin1String("@")) {
        if (!readAmount(QStringLiteral("Unit price"), m.captured(4), 4, line.unitPrice, error))
            return false;
        if (line.unitPrice < 0) {
            error = negativeText(QStringLiteral("Unit price"), m.captured(4));
            return false;
        }
        if (!PriceOf(line.quantity, line.unitPrice, line.price)) {
            error = TooLargeText(QStringLiteral("Price"), kLargestPrice, 2);
            return false;
        }
    } else {
        if (!readAmount(QStringLiteral("Price"), m.captured(4), 2, line.price, error))
            return false;
        if (line.price < 0) {
            error = negativeText(QStringLiteral("Price"), m.captured(4));
            return false;
        }
        if (line.price > kLargestPrice || line.price < -kLargestPrice) {
            error = TooLargeText(QStringLiteral("Price"), kLargestPrice, 2);
            return false;
        }
        UnitPriceFromPrice(line.price, line.quantity, line.unitPrice);
    }
    return true;
}

bool PriceFromService(platform::Database &db, Line &line, QString &refusal)
{
    refusal.clear();
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT RunPrice1, RunCost1, Markup, Unit FROM Services WHERE SerNo = ?"),
            {platform::Value(line.serNo)});
    if (rs.isEOF())
        return false;
    ServiceRates rates;
    rates.runPrice1 = rs.value(0).toInt();
    rates.runCost1 = rs.value(1).toInt();
    rates.markup = rs.value(2).toInt();
    rates.unit = quint8(rs.value(3).toInt());
    line.unitPrice = UnitPriceOf(rates);
    if (!PriceOf(line.quantity, line.unitPrice, line.price)) {
        refusal = TooLargeText(QStringLiteral("Price"), kLargestPrice, 2);
        return false;
    }
    return true;
}

QList<std::pair<qint32, QString>> PickList(platform::Database &db)
{
    QList<std::pair<qint32, QString>> services;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT SerNo, Name FROM Services WHERE CatNo = %1 and SerStatus < %2 ORDER BY SortNo, Name")
                .arg(kCategory)
                .arg(kHiddenStatus));
    for (; !rs.isEOF(); rs.moveNext())
        services.append({rs.value(0).toInt(), rs.value(1).toString().trimmed()});
    return services;
}

QString PeriodSumsPastLargest(platform::Database &db, const NewPayment &payment, const Totals &totals)
{
    const qint64 sign = payment.amount.units() < 0 ? -1 : 1;
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot,
            QStringLiteral("SELECT Sum(Subtotal), Sum(Tax), Sum(IIf(Tax <> 0, Subtotal, 0)) FROM QuickSales WHERE "
                           "PostingNo = 0"));
    const auto before = [&rs](int field) {
        return rs.isEOF() || rs.value(field).isNull() ? Money() : rs.value(field).toMoney();
    };
    // As the posting adds them: the taxable subtotal only of a sale with tax.
    const std::pair<const char *, qint64> sums[] = {
        {"Posting Quick Sale Subtotal", totals.subtotal},
        {"Posting Quick Sale Tax", totals.tax},
        {"Posting Taxable Quick Sale", totals.tax != 0 ? totals.subtotal : 0},
    };
    for (int i = 0; i < 3; ++i) {
        const QString past = PeriodSumPastLargest(QString::fromLatin1(sums[i].first), before(i),
                                                  Money::fromCents(sign * sums[i].second));
        if (!past.isEmpty())
            return past;
    }
    rs.close();
    return PeriodPaymentsPastLargest(db, payment.amount);
}

Saved Save(platform::Database &db, const NewPayment &payment, quint8 taxCode, const Totals &totals,
           const QList<Line> &lines)
{
    using platform::Value;
    const qint64 sign = payment.amount.units() < 0 ? -1 : 1;
    const auto amount = [sign](qint64 cents) { return Value(Money::fromCents(sign * cents)); };
    Saved saved;
    platform::Transaction transaction(db);
    // Read under the transaction's lock: two counters taking sales at once
    // cannot both pass the bound.
    saved.refused = PeriodSumsPastLargest(db, payment, totals);
    if (!saved.refused.isEmpty())
        return saved;
    saved.payNo = InsertPayment(db, payment);
    db.execute(QStringLiteral("INSERT INTO QuickSales ([Date], Subtotal, Tax, TaxID, PostingNo, PayNo, Taxable, "
                              "Taxable2, Tax2) VALUES (?, ?, ?, ?, 0, ?, ?, ?, ?)"),
               {Value(GetToday()), amount(totals.subtotal), amount(totals.tax),
                Value(std::int64_t(taxCode), platform::FieldType::Byte), Value(saved.payNo), amount(totals.taxable),
                amount(totals.taxable2), amount(totals.tax2)});
    {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Max(QSaleID) FROM QuickSales"));
        saved.qSaleId = rs.value(0).toInt();
    }
    for (const Line &line : lines) {
        if (!line.sold())
            continue;
        db.execute(QStringLiteral("INSERT INTO QuickSalesItems (QSaleID, SerNo, Quantity, Price) VALUES (?, ?, ?, ?)"),
                   {Value(saved.qSaleId), Value(line.serNo), Value(line.quantity), amount(line.price)});
    }
    transaction.commit();
    return saved;
}

quint8 WalkInTaxCode(platform::Database &db)
{
    platform::Recordset rs(db);
    rs.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT Tax FROM Customers WHERE CusNo = ?"),
            {platform::Value(kWalkInCustomer)});
    return rs.isEOF() ? 0 : quint8(rs.value(0).toInt());
}

} // namespace QuickSale
