#pragma once

#include "platform/Money.h"

#include <QtCore/QString>

#include <vector>

// Which cost and which price an item may keep after it was repriced: the
// rows of the "Price Changed" window worked out from the engine's figures,
// without a window, so that the choice offered can be checked on its own.
//
// Three costs and three prices take part: Default (computed now), Revised
// (each service's saved figure, or the computed one where none was saved)
// and Last (what the item row held before this pricing).
struct PriceOptionInput
{
    Money defaultCost;
    Money defaultPrice;
    Money revisedCost;
    Money revisedPrice;
    Money lastCost;
    Money lastPrice;
    int priceLock = 0;   // the item's price lock (Items.Mix); non-zero is locked
    int priceState = 10; // Items.Regis at the last save: 10 same, 11 higher, 12 lower
    int servicesAdded = 0;
    int servicesRemoved = 0;
    bool showCost = false; // shop option 44314 is 1
};

struct PriceOption
{
    int choice = 0;     // the PriceChoice 30451..30456
    QString label;
    Money cost;
    Money price;
    int priceImage = 0; // 234 equal to the Default Price, 235 above, 236 below
};

struct PriceOptions
{
    QString heading;     // "Which price do you want to save?"
    int headingIcon = 17; // 21 when the price is locked
    QString information; // the Default and Last Price, and the Revised Price when it tells something
    QString note;        // how the Revised Price came about when services were added or removed
    int preselected = 0; // the choice chosen at opening, 0 for none
    std::vector<PriceOption> rows;
};

PriceOptions BuildPriceOptions(const PriceOptionInput &in);
// The image comparing an option's price with the Default Price.
int PriceCompareImage(Money price, Money defaultPrice);
