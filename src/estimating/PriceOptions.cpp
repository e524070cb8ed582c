#include "estimating/PriceOptions.h"

#include "app/base/MoneyText.h"
#include "estimating/CItemPrice.h"

namespace {

void add(PriceOptions &out, const PriceOptionInput &in, int choice, const QString &label, Money cost, Money price)
{
    PriceOption row;
    row.choice = choice;
    row.label = label;
    row.cost = cost;
    row.price = price;
    row.priceImage = PriceCompareImage(price, in.defaultPrice);
    out.rows.push_back(row);
}

} // namespace

int PriceCompareImage(Money price, Money defaultPrice)
{
    if (price == defaultPrice)
        return 234;
    return price > defaultPrice ? 235 : 236;
}

PriceOptions BuildPriceOptions(const PriceOptionInput &in)
{
    PriceOptions out;
    const bool locked = in.priceLock != 0;
    out.heading = QStringLiteral("Which price do you want to save?");
    out.headingIcon = locked ? 21 : 17;
    out.information = QStringLiteral("Default Price: \t$ ") + FormatMoneyGrouped(in.defaultPrice)
                      + QStringLiteral("\nLast Price was:\t$ ") + FormatMoneyGrouped(in.lastPrice);
    if (locked)
        out.information += QStringLiteral(" LOCKED!");
    // An unlocked item whose price was the computed one keeps the default
    // unless the user picks another; otherwise the user must choose.
    out.preselected = !locked && in.priceState == 10 ? int(CItemPrice::DefaultCostDefaultPrice) : 0;

    add(out, in, CItemPrice::DefaultCostDefaultPrice, QStringLiteral("Default Cost and Default Price"), in.defaultCost,
        in.defaultPrice);

    if (in.revisedPrice == in.lastPrice) {
        QString first;
        if (in.revisedCost == in.lastCost)
            first = QStringLiteral("      Last");
        else if (in.revisedCost == in.defaultCost)
            first = QStringLiteral("Default");
        else
            first = QStringLiteral("Revised");
        add(out, in, CItemPrice::RevisedCostLastPrice, first + QStringLiteral(" Cost and Last Price"), in.revisedCost,
            in.lastPrice);
        if (in.revisedCost != in.defaultCost && in.lastPrice != in.defaultPrice) {
            add(out, in, CItemPrice::DefaultCostLastPrice, QStringLiteral("Default Cost and Last Price"),
                in.defaultCost, in.lastPrice);
            add(out, in, CItemPrice::RevisedCostDefaultPrice, QStringLiteral("Last Cost and Default Price"),
                in.revisedCost, in.defaultPrice);
        }
        return out;
    }

    const bool servicesChanged = in.servicesAdded != 0 || in.servicesRemoved != 0;
    const QString suffix = in.revisedPrice == in.defaultPrice ? QStringLiteral(" (= Default)") : QString();
    if (in.revisedPrice != in.defaultPrice || servicesChanged)
        out.information += QStringLiteral("\nRevised Price:\t$ ") + FormatMoneyGrouped(in.revisedPrice) + suffix;
    if (servicesChanged) {
        const Money difference = in.revisedPrice - in.lastPrice;
        out.note = QStringLiteral("\u2022 Revised Price = Last Price + Price of Services Added (%1) - Removed (%2)\n")
                       .arg(in.servicesAdded)
                       .arg(in.servicesRemoved)
                   + QStringLiteral("\u2022 Revised Price = ") + FormatMoneyGrouped(in.lastPrice)
                   + (in.revisedPrice > in.lastPrice ? QStringLiteral(" + ") : QStringLiteral(" "))
                   + FormatMoneyGrouped(difference);
    }
    add(out, in, CItemPrice::DefaultCostLastPrice, QStringLiteral("Default Cost and Last Price"), in.defaultCost,
        in.lastPrice);
    if (in.revisedPrice != in.defaultPrice)
        add(out, in, CItemPrice::DefaultCostRevisedPrice, QStringLiteral("Default Cost and Revised Price"),
            in.defaultCost, in.revisedPrice);
    if (in.revisedCost != in.defaultCost) {
        if (in.revisedPrice != in.defaultPrice)
            add(out, in, CItemPrice::RevisedCostDefaultPrice, QStringLiteral("Revised Cost and Default Price"),
                in.revisedCost, in.defaultPrice);
        add(out, in, CItemPrice::RevisedCostLastPrice, QStringLiteral("Revised Cost and Last Price"), in.revisedCost,
            in.lastPrice);
        add(out, in, CItemPrice::RevisedCostRevisedPrice, QStringLiteral("Revised Cost and Revised Price") + suffix,
            in.revisedCost, in.revisedPrice);
    }
    return out;
}
