// Set-up time and run speed, cost and price of one service row.

#include "estimating/CItemPrice.h"

#include "app/base/Codes.h"
#include "app/base/MoneyText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr Money kNoCharge = Money::noChargeMarker();
// The largest price a row takes: the largest amount of the program.
constexpr __int128 kLargestPriceUnits = kLargestAmountUnits;

qint32 ClampToLong(qint64 v)
{
    if (v > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (v < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return qint32(v);
}

// Rounds up to whole cents; the No Charge marker stays what it is.
void RoundUpKeepingMarker(Money &value)
{
    if (value != kNoCharge)
        RoundToCents(value, true);
}

} // namespace

double CItemPrice::GetRunLengthIncrease(qint32 runLength) const
{
    if (m_RunLength[0][0] == 0 || runLength <= m_RunLength[0][0])
        return m_RunLength[0][1];
    qint32 lowLength = 0, lowPercent = 0, highLength = 0, highPercent = 0;
    bool upper = false;
    for (int i = 0; i < 9; ++i) {
        if (m_RunLength[i][1] == 0)
            continue;
        if (m_RunLength[i][0] <= runLength) {
            lowLength = m_RunLength[i][0];
            lowPercent = m_RunLength[i][1];
        }
        if (m_RunLength[i][0] >= runLength) {
            highLength = m_RunLength[i][0];
            highPercent = m_RunLength[i][1];
            upper = true;
            break;
        }
    }
    if (!upper)
        return lowPercent;
    return Interpolate(runLength, lowLength, highLength, lowPercent, highPercent);
}

void CItemPrice::ComputeSetupAndRun()
{
    const CSerSet &ser = *m_pSer;
    CItemSet &row = m_work;
    const bool isPress = row.m_ItemID == m_nPressRowId && m_nPressRowId != 0;
    const qint32 plates = GetSetupPlates();

    // --- set-up, on the first pass only --------------------------------------
    if (m_nPass <= 1) {
        static const char *const kLabels[9] = {"", "Lot", "Plate", "Sheet", "Page", "Side2", "Pass", "Wash", "Mix"};
        double total = 0;
        QString lines;
        int lineCount = 0;
        __int128 setCost = 0;
        __int128 setPrice = 0;
        for (int r = 0; r < 5; ++r) {
            const qint32 setFor = ser.m_SetUp[r * 4];
            if (setFor < 1 || setFor > 8)
                continue;
            qint32 n = 0;
            switch (setFor) {
            case 1: n = 1; break;
            case 2: n = plates; break;
            case 3: n = m_counts.sheetsPerSet; break;
            case 4: n = m_counts.pagesPerSet; break;
            case 5: n = m_bBothSides ? 1 : 0; break;
            case 6: n = m_counts.passes; break;
            case 7: n = m_nWashes; break;
            case 8: n = m_nMixes; break;
            }
            if (n <= 0)
                continue;
            const qint32 time = ser.m_SetUp[r * 4 + 1];
            if (time != 0) {
                // Worked in doubles: a count times a time each of 32 bits
                // passes 32 bits long before it passes the largest count.
                const double minutes = double(n) * time / 100.0;
                total += minutes;
                lines += QString::asprintf("\n\t\t%g minutes \t%d %s x %g", minutes, n, kLabels[setFor], time / 100.0);
                ++lineCount;
            }
            if (ser.m_SetUp[r * 4 + 2] != 0)
                setCost += __int128(n) * ser.m_SetUp[r * 4 + 2];
            if (ser.m_SetUp[r * 4 + 3] != 0)
                setPrice += __int128(n) * ser.m_SetUp[r * 4 + 3];
        }
        QString text;
        if (isPress) {
            text = QStringLiteral("\n\n\nSETUP TIME:")
                   + (m_bUsePaperProps ? QStringLiteral("\tUsing Paper Properties") : QStringLiteral("\tFrom Setup Table"))
                   + lines;
            if (m_bUsePaperProps) {
                const double minutes = plates * m_dMinutesPerPlate;
                total += minutes;
                text += QString::asprintf("\n\t\t%g minutes \t%d Plates x %g Minutes/Plate (Paper's Setup Time)", minutes,
                                          plates, m_dMinutesPerPlate);
            }
            if (m_dPaperDiffSetup > 0) {
                total += m_dPaperDiffSetup;
                text += QString::asprintf("\n\t\t%g minutes  \t(Paper Difficulty)", m_dPaperDiffSetup);
            }
            if (m_JobDiff[0][1] > 0) {
                const double minutes = double(plates) * m_JobDiff[0][1] / 100.0;
                total += minutes;
                text += QString::asprintf("\n\t\t%g minutes \t%d Plates x %g (Job Difficulties: ", minutes, plates,
                                          m_JobDiff[0][1] / 100.0)
                        + m_strDiffNames + QLatin1Char(')');
            }
        } else if (lineCount > 1) {
            text = QStringLiteral("\n\nBreakdown of Setup Times:") + lines;
        }
        row.m_nSetMinutes = HeldCount(total, "Set-up Minutes");
        // In cents: held as amounts of ten-thousandths.
        row.m_nSetCost = HeldAmount(setCost * 100, "Set-up Cost") / 100;
        row.m_nSetPrice = HeldAmount(setPrice * 100, "Set-up Price") / 100;
        m_setupText[row.m_ItemID] = text;
    }
    row.m_strExplain += m_setupText[row.m_ItemID];

    // --- run, on every pass -----------------------------------------------------
    const qint32 q = row.m_nSerQty;
    const qint32 *run = ser.m_Run;
    auto brk = [run](int r) { return run[(r - 1) * 4]; };
    auto unitsHr = [run](int r) { return run[(r - 1) * 4 + 1]; };
    auto runCost = [run](int r) { return run[(r - 1) * 4 + 2]; };
    auto runPrice = [run](int r) { return run[(r - 1) * 4 + 3]; };

    int step = ser.m_Step;
    if (brk(2) == 0)
        step = 0;
    const bool sum = step == 2;
    const bool firstUnit = (step == 3 || step == 4) && q >= 2;
    const bool linear = step == 1 || step == 4;

    double speed = unitsHr(1);
    __int128 rateCost = sum ? 0 : runCost(1);
    __int128 ratePrice = sum ? 0 : runPrice(1);
    qint32 previous = 0;
    int stop = 0;
    for (int r = firstUnit ? 2 : 1; r <= 9; ++r) {
        const qint32 b = brk(r);
        if (b <= 0)
            continue;
        if (b <= q) {
            if (unitsHr(r) > 0)
                speed = unitsHr(r);
            if (sum) {
                rateCost += __int128(b - previous) * runCost(r);
                ratePrice += __int128(b - previous) * runPrice(r);
            } else {
                if (runCost(r) > 0)
                    rateCost = runCost(r);
                if (runPrice(r) > 0)
                    ratePrice = runPrice(r);
            }
            previous = b;
        }
        if (q <= b) {
            if (sum) {
                rateCost += __int128(q - previous) * runCost(r);
                ratePrice += __int128(q - previous) * runPrice(r);
            } else {
                stop = r;
            }
            break;
        }
    }
    if (stop > 1) {
        if (!linear) {
            if (unitsHr(stop) != 0)
                speed = unitsHr(stop);
            if (runCost(stop) != 0)
                rateCost = runCost(stop);
            if (runPrice(stop) != 0)
                ratePrice = runPrice(stop);
        } else {
            const qint32 b = brk(stop);
            speed = Interpolate(q, previous, b, qint32(speed), unitsHr(stop));
            rateCost = qint64(Interpolate(q, previous, b, ClampToLong(qint64(rateCost)), runCost(stop)));
            ratePrice = qint64(Interpolate(q, previous, b, ClampToLong(qint64(ratePrice)), runPrice(stop)));
        }
    }
    double runSpeed = speed / 100;

    if (isPress) {
        const double from = m_bUsePaperProps ? double(m_fPaperImpHour) : runSpeed;
        qint32 s = qint32(from);
        row.m_strExplain += QString::asprintf("\n\nRUN SPEED: \t%d \tfrom ", s)
                            + (m_bUsePaperProps ? QStringLiteral("Paper's Run Speed Property") : QStringLiteral("Run Table"));
        if (m_nPaperDiffSpeed != 0) {
            s = qint32(s * (1 - m_nPaperDiffSpeed / 100.0));
            row.m_strExplain +=
                QString::asprintf("\n\t\t%d \tafter %d%% reduction for Paper Difficulty ", s, m_nPaperDiffSpeed);
        }
        if (m_JobDiff[0][2] != 0) {
            s = qint32(s * (1 - m_JobDiff[0][2] / 100.0));
            row.m_strExplain += QString::asprintf("\n\t\t%d \tafter %d%% reduction for Job Difficulties ", s,
                                                  m_JobDiff[0][2])
                                + m_strDiffNames;
        }
        if (m_bUsePaperProps || unitsHr(2) == 0) {
            const double p = GetRunLengthIncrease(m_counts.maxRunLength);
            if (p != 0) {
                s = qint32(s * (1 + p / 100));
                row.m_strExplain += QString::asprintf("\n\t\t%d \tafter %g%% increase for Press Run Length", s, p);
            }
        }
        runSpeed = s;
    }
    row.m_dRunSpeed = runSpeed;
    row.m_nRunMinutes = runSpeed > 0 ? HeldCount(std::trunc(q * 60.0 / runSpeed + 0.9999), "Run Minutes") : 0;

    // --- run cost and price (cents) -----------------------------------------------
    const double oh = ser.m_CostOH < 1 ? 1.0 : double(ser.m_CostOH);
    qint64 units = q;
    qint64 firstCost = 0;
    qint64 firstPrice = 0;
    // Cents, held as amounts of ten-thousandths.
    const auto cents = [this](double value, const char *figure) {
        return HeldAmount(std::trunc(value) * 100, figure) / 100;
    };
    const double cost = double(rateCost);
    const double price = double(ratePrice);
    if (firstUnit) {
        units = q - 1;
        firstCost = runCost(1);
        firstPrice = runPrice(1);
    } else if (sum) {
        units = 1;
    }
    if (ser.m_Unit == 2) {
        row.m_nRunCost = cents((firstCost * 0.001 + units * 0.001 * cost) * oh + 0.99, "Run Cost");
        row.m_nRunPrice = cents(firstPrice * 0.001 + units * 0.001 * price + 0.99, "Run Price");
    } else if (ser.m_Unit == 3) {
        row.m_nRunCost = cents(cost * oh + 0.99, "Run Cost");
        row.m_nRunPrice = cents(price, "Run Price");
    } else {
        row.m_nRunCost = cents((units * cost + firstCost) * oh + 0.99, "Run Cost");
        row.m_nRunPrice = cents(firstPrice + 0.99 + units * price, "Run Price");
    }
}

double CItemPrice::GetMarkupFactor(Money cost) const
{
    const CSerSet &ser = *m_pSer;
    qint32 level = ser.m_Markup;
    if (IsPaperCategory(ser.m_CatNo)) {
        if (m_bDigital)
            level = ser.m_Markup2;
        else if (m_nPressRowId == 0)
            level = ser.m_Markup3;
        if (level == -1)
            return -1.0;
    }
    double percent = 0;
    if (level >= 1 && level <= 19) {
        const qint64 x = cost.units();
        qint64 lowBreak = 0, lowPercent = 0, highBreak = 0, highPercent = 0;
        bool lower = false;
        bool upper = false;
        for (int c = 0; c < 9; ++c) {
            if (m_Markup[level][c] == 0)
                continue;
            if (m_Markup[0][c] <= x) {
                lowBreak = m_Markup[0][c];
                lowPercent = m_Markup[level][c];
                lower = true;
            }
            if (m_Markup[0][c] >= x) {
                highBreak = m_Markup[0][c];
                highPercent = m_Markup[level][c];
                upper = true;
                break;
            }
        }
        if (!lower)
            percent = highPercent;
        else if (!upper)
            percent = lowPercent;
        else
            percent = Interpolate(x, lowBreak, highBreak, lowPercent, highPercent);
    } else if (level >= 20) {
        percent = level;
    }
    const double m = percent / 100;
    const int p = m_nPriceLevel;
    if (p >= 8 && p <= 107)
        return (m + 1) * (1 + (p - 7) / 100.0);
    if (p >= 108 && p <= 157)
        return (m + 1) * (1 - (p - 107) / 100.0);
    double a = 1;
    if (p == 1)
        a = ser.m_Bid;
    else if (p == 2)
        a = ser.m_Rush;
    else if (p == 3)
        a = ser.m_Spcl;
    if (a <= 0)
        a = 1;
    return ser.m_AdjustBy == 0 ? m * a + 1 : (m + 1) * a;
}

void CItemPrice::PriceService()
{
    const CSerSet &ser = *m_pSer;
    CItemSet &row = m_work;
    const bool paper = IsPaperCategory(ser.m_CatNo);
    const bool press = IsPrintingCategory(ser.m_CatNo);
    if (!paper)
        row.m_strExplain.clear();

    const qint32 previousQty = row.m_ActualQty;
    const Money previousMat = row.m_MatCost;
    const Money previousTimeCost = row.m_TimeCost;
    int c = ser.m_CostBy;

    if (!paper && !press)
        ComputeServiceQuantity();
    if (paper && (row.m_Vendor == 4 || row.m_Vendor == 5))
        c = 0;

    if (c == 2 || c == 3) {
        if (row.m_nSerQty == 0) {
            row.m_nSerQty = row.m_ChargeQty;
            if (row.m_nSerQty == 0 && !m_bSilent)
                AskCount(&row.m_nSerQty, false);
        }
        row.m_ChargeQty = row.m_ActualQty = row.m_nSerQty;
    }

    ComputeSetupAndRun();
    qint32 time = HeldCount(__int128(row.m_nSetMinutes) + row.m_nRunMinutes, "Time");

    if (c == 0) {
        if (row.m_nSerQty == 0) {
            row.m_nSerQty = 1;
            row.m_ChargeQty = row.m_ActualQty = 1;
        }
        row.m_ChargeTime = row.m_ActualTime = time;
        row.m_TimeCost = Money();
        row.m_MatCost = Money();
        row.m_Cost = kNoCharge;
        row.m_Price = kNoCharge;
        return;
    }

    // Time cost.
    if (c == 1 || c == 3) {
        if (time == 0) {
            time = row.m_ChargeTime;
            if (time == 0 && !m_bSilent)
                AskCount(&time, true);
        }
        qint64 rate = ser.m_CostHr.units();
        QString title;
        if (rate == 0) {
            if (previousTimeCost > Money() && row.m_ChargeTime > 0) {
                rate = HeldAmount(__int128(previousTimeCost.units()) * 60 / row.m_ChargeTime,
                                  "Cost / Hour");
                title = QStringLiteral("Cost/Hour");
            } else {
                title = QStringLiteral("Total Time Cost");
            }
            if (rate == 0 && !m_bSilent)
                AskAmount(&rate, title);
        }
        row.m_ChargeTime = row.m_ActualTime = time;
        // Worked in 128 bits: a rate at the largest amount times a long run
        // passes 64.
        row.m_TimeCost = Money::fromUnits(HeldAmount(__int128(time) * rate / 60, "Time Cost"));
        RoundToCents(row.m_TimeCost, true);
    } else {
        row.m_ChargeTime = row.m_ActualTime = time;
        row.m_TimeCost = Money();
    }

    // Material cost.
    if (c == 2 || c == 3) {
        if (row.m_nRunCost == 0) {
            const qint32 divisor = ser.m_Unit == 2 ? 1000 : 1;
            const double oh = ser.m_CostOH < 1 ? 1.0 : double(ser.m_CostOH);
            qint64 rate = 0;
            if (previousQty > 0)
                rate = HeldAmount(std::trunc(double(previousMat.units() - row.m_nSetCost * 100) * divisor
                                             / (previousQty * oh)),
                                  "Material Cost / Unit");
            if ((rate == 0 || m_nPresetChoice != DefaultCostDefaultPrice) && !m_bSilent) {
                const QString title = ser.m_Unit == 2   ? QStringLiteral("Cost/M")
                                      : ser.m_Unit == 3 ? QStringLiteral("Total Run Cost")
                                                        : QStringLiteral("Cost/Each");
                QString help = QStringLiteral("- Service Quantity: ")
                               + (ser.m_Unit == 3 ? QStringLiteral("Lot (1)") : QString::number(row.m_ChargeQty));
                if (ser.m_CostOH > 1)
                    help += QString::asprintf("\n- Multiply this Cost by %g (for overhead)", double(ser.m_CostOH));
                if (row.m_nSetCost != 0)
                    help += QString::asprintf("\n- Add Setup Cost: %g", row.m_nSetCost / 100.0);
                if (ser.m_PriceBy == 2 && ser.m_Markup == 0)
                    help += QStringLiteral("\n- Markup: 0% (Price = Cost)");
                AskAmount(&rate, title, help);
            }
            row.m_nRunCost =
                HeldAmount(std::trunc(rate / 100.0 * oh * row.m_ChargeQty / divisor + 0.99) * 100,
                           "Run Cost")
                / 100;
        }
        row.m_MatCost = Money::fromUnits(
            HeldAmount((__int128(row.m_nSetCost) + row.m_nRunCost) * 100, "Material Cost"));
        RoundToCents(row.m_MatCost, true);
    } else {
        row.m_nSetCost = 0;
        row.m_nRunCost = 0;
        row.m_MatCost = Money();
    }

    row.m_Cost = Money::fromUnits(
        HeldAmount(__int128(row.m_TimeCost.units()) + row.m_MatCost.units(), "Cost"));
    RoundToCents(row.m_Cost, true);

    // Price.
    switch (ser.m_PriceBy) {
    case 0:
        row.m_Price = kNoCharge;
        break;
    case 1:
        if (!m_bSilent) {
            const qint32 q = row.m_ChargeQty > 0 ? row.m_ChargeQty : 1;
            const QString help = QStringLiteral("Service Quantity: ") + QString::number(q);
            // The price typed in 64 bits; a total past what the row's price
            // holds (the per-piece price times the quantity) stops at the
            // largest rather than wrapping.
            const qint64 price = row.m_Price.units();
            const auto total = [](__int128 units) {
                return Money::fromUnits(qint64(std::clamp<__int128>(units, -kLargestPriceUnits, kLargestPriceUnits)));
            };
            if (ser.m_Unit == 3) {
                qint64 amount = price;
                if (AskAmount(&amount, QStringLiteral("Total Price"), help))
                    row.m_Price = Money::fromUnits(amount);
            } else if (ser.m_Unit == 2) {
                qint64 amount = qint64(__int128(price) * 1000 / q);
                if (AskAmount(&amount, QStringLiteral("Price/M"), help))
                    row.m_Price = total(__int128(amount) * q / 1000);
            } else {
                qint64 amount = price / q;
                if (AskAmount(&amount, QStringLiteral("Price/Each"), help))
                    row.m_Price = total(__int128(amount) * q);
            }
        }
        break;
    default: {
        const double f = GetMarkupFactor(row.m_Cost);
        if (f == -1.0) {
            row.m_Price = kNoCharge;
        } else if (ser.m_PriceBy == 3) {
            row.m_Price = Money::fromUnits(
                HeldAmount(std::trunc(double((row.m_nSetPrice + row.m_nRunPrice) * 100) * f), "Price"));
        } else if (ser.m_PriceBy == 4) {
            const Money table = LookupPriceTable();
            row.m_Price = Money::fromUnits(HeldAmount(std::trunc(double(row.m_nSetPrice * 100 + table.units()) * f),
                                                      "Price"));
        } else {
            row.m_Price = Money::fromUnits(
                HeldAmount(std::trunc(double(row.m_Cost.units()) * f), "Price"));
            if (paper && row.m_Vendor == 3) {
                const Money margin = row.m_Price - row.m_Cost;
                row.m_Cost = row.m_Cost / 10;
                row.m_Price = row.m_Cost + margin;
            }
        }
        break;
    }
    }

    if (c == 2 && row.m_MatCost.isZero())
        row.m_MatCost = row.m_Price;

    if (row.m_Price < ser.m_MinPrice) {
        row.m_Price = ser.m_MinPrice;
        if (row.m_Cost.isZero())
            row.m_Cost = row.m_Price;
        if (row.m_ChargeQty == 0)
            row.m_ChargeQty = 1;
    }
    RoundUpKeepingMarker(row.m_Price);
}
