// Random services priced by the engine and by a separate model of the pricing
// rules (service quantity, set-up and run tables, time and material cost,
// markup and price level, price tables, minimum price). The model is written
// from the rules themselves and shares no code with the engine.

#include "PricingFixture.h"

#include <QtCore/QRandomGenerator>
#include <QtCore/QStringList>

#include <algorithm>
#include <cmath>

namespace {

QString n(qint64 v)
{
    return QString::number(v);
}

// y1 + (x - x1) (y2 - y1) / (x2 - x1); y1 (or y2 when y1 is 0) when the line
// cannot be drawn; y1 when y2 is 0.
double Line(qint32 x, qint32 x1, qint32 x2, qint32 y1, qint32 y2)
{
    if (x == 0 || x1 == 0 || x2 == 0 || x1 == x2 || y1 == y2)
        return y1 != 0 ? y1 : y2;
    if (y2 == 0)
        return y1;
    return y1 + (double(x) - x1) * (double(y2) - y1) / (double(x2) - x1);
}

qint64 UpToCent(qint64 units)
{
    return units % 100 == 0 ? units : (units / 100 + 1) * 100;
}

constexpr qint64 kMarker = 1; // the No Charge marker in ten-thousandths

// The item: no paper and no press, so the item-wide counts are the plain ones.
struct Item
{
    qint32 qty = 1;
    qint32 sheets = 1;
    double width = 0, height = 0;
    int level = 0;

    qint32 count(int code) const
    {
        switch (code) {
        case 1: return qty;
        case 2: case 3: return sheets;
        case 4: case 5: case 6: case 7: case 8: return sheets * qty;
        case 12: return 1;
        case 14: case 18: return qint32(width);
        case 15: case 19: return qint32(height);
        case 16: case 20: return qint32(2 * (width + height));
        case 17: case 21: return qint32(width * height);
        default: return 0; // plates, washups, mixes: none without a press
        }
    }
};

struct Table
{
    bool present = false;
    int columnBasis = 0, rowBasis = 0, reading = 1, method = 0, multiplier = 0;
    qint32 keys[11] = {};     // 1..10
    qint32 cells[13][11] = {}; // [r][0] the break, [r][c] the price
};

struct Service
{
    int qtyBy = 1, costBy = 0, priceBy = 0, unit = 1, step = 0, markup = 0, adjustBy = 0;
    qint32 divide = 0, multiply = 0, round = 0, out = 0;
    QString ask;
    double costOH = 0, bid = 0, rush = 0, spcl = 0;
    qint64 costHr = 0, minPrice = 0; // ten-thousandths
    qint32 setFor[5] = {}, setTime[5] = {}, setCost[5] = {}, setPrice[5] = {};
    qint32 brk[10] = {}, speed[10] = {}, runCost[10] = {}, runPrice[10] = {}; // 1..9
    Table table;
};

struct Result
{
    qint32 qty = 0, minutes = 0;
    qint64 timeCost = 0, matCost = 0, cost = 0, price = 0;
};

qint32 Quantity(const Item &item, const Service &s)
{
    qint32 base = item.count(s.qtyBy);
    qint32 d = s.divide, m = s.multiply;
    bool keepSheets = false;
    if (!s.ask.isEmpty()) {
        const QChar c = s.ask[0];
        if (c == QLatin1Char('#'))
            m = item.count(s.ask.mid(1).toInt());
        else if (c == QLatin1Char('%'))
            base = qint32((s.out * 0.01 + 1) * base + 0.99);
        else if (c == QLatin1Char('/')) {
            keepSheets = true;
            if (s.ask.size() > 1)
                d = s.out;
        } else if (c.isDigit() && c != QLatin1Char('0')) {
            int i = 0;
            while (i < s.ask.size() && s.ask[i].isDigit())
                ++i;
            m = s.ask.left(i).toInt();
        } else if (s.out != 0)
            m = s.out;
    }
    if (d > 1) {
        if (s.qtyBy == 1 && !keepSheets)
            d /= item.sheets;
        if (d > 1)
            base = (base + d - 1) / d;
    }
    if (base == 0)
        base = m;
    else if (m > 1)
        base *= m;
    if (s.round > 1)
        base = (base - 1 + s.round) / s.round * s.round;
    return base;
}

double MarkupFactor(const Item &item, const Service &s, qint64 cost, const qint32 (&markup)[4][10])
{
    double pct = 0;
    if (s.markup >= 1 && s.markup <= 3) {
        bool low = false, high = false;
        qint32 lb = 0, lp = 0, hb = 0, hp = 0;
        for (int c = 1; c <= 9 && !high; ++c) {
            const qint32 p = markup[s.markup][c], b = markup[0][c] * 10000;
            if (p == 0)
                continue;
            if (b <= cost)
                low = true, lb = b, lp = p;
            if (b >= cost)
                high = true, hb = b, hp = p;
        }
        pct = !low ? hp : !high ? lp : Line(qint32(cost), lb, hb, lp, hp);
    } else if (s.markup >= 20) {
        pct = s.markup;
    }
    const double m = pct / 100;
    const int p = item.level;
    if (p >= 8 && p <= 107)
        return (m + 1) * (1 + (p - 7) / 100.0);
    if (p >= 108 && p <= 157)
        return (m + 1) * (1 - (p - 107) / 100.0);
    double a = p == 1 ? s.bid : p == 2 ? s.rush : p == 3 ? s.spcl : 1;
    if (a <= 0)
        a = 1;
    return s.adjustBy == 0 ? m * a + 1 : (m + 1) * a;
}

// The price-table amount in ten-thousandths.
qint64 TableAmount(const Item &item, const Service &s, qint32 qty, qint32 chargeQty)
{
    const Table &t = s.table;
    if (!t.present)
        return 0;
    const qint32 asked = s.out > 0 ? s.out : 1; // the row's Sheets is 1
    qint32 x = 0;
    switch (t.columnBasis) {
    case 0: case 1: case 2: x = item.sheets; break;
    case 3: x = 1; break;
    case 5: x = asked; break;
    default: x = item.count(t.columnBasis + 8); break; // width, height, perimeter, area
    }
    int col = 1;
    if (t.columnBasis != 0) {
        col = 10;
        for (int c = 1; c <= 9; ++c) {
            if (x <= t.keys[c] || t.keys[c + 1] <= t.keys[c]) {
                col = c;
                break;
            }
        }
    }
    const int method = t.cells[2][0] == 0 ? 0 : t.method;
    qint32 q = t.rowBasis == 1 ? qty : item.qty;

    int r = 1;
    bool interp = false;
    qint64 sum = 0;
    qint32 prev = 0;
    for (;; ++r) {
        const qint32 b = t.cells[r][0], b2 = t.cells[std::min(r + 1, 12)][0];
        if (method == 2) {
            const qint32 upTo = q < b || b2 == 0 ? q : std::min(b, q);
            sum += qint64(upTo - prev) * (t.rowBasis != 1 ? item.sheets : 1) * t.cells[r][col];
            prev = upTo;
        }
        if (q == b || r == 12)
            break;
        if (q < b) {
            interp = (method == 1 || method == 4) && r > 1;
            break;
        }
        if (b2 == 0)
            break;
    }
    if (method == 2)
        return t.reading == 2 ? sum / 1000 : sum;

    qint64 count = q, mult = 1;
    switch (t.multiplier) {
    case 0: mult = t.columnBasis <= 3 ? x : item.sheets; break;
    case 2: case 3: mult = item.sheets; break;
    case 4: case 5: mult = 1; break;
    case 6: mult = asked; break;
    case 7: case 8: case 9: case 10: mult = item.count(t.multiplier + 7); break;
    case 11: count = chargeQty; mult = 1; break;
    default: break;
    }
    if (t.rowBasis == 1 && t.multiplier == 0)
        mult = 1;
    if (s.qtyBy == 8)
        count = qty, mult = 1;
    mult = std::max<qint64>(mult, 1);
    double first = 0;
    if ((method == 3 || method == 4) && q != 0) {
        const qint64 k = t.rowBasis == 0 && (t.columnBasis == 1 || t.columnBasis == 2) ? item.sheets : 1;
        first = double(t.cells[1][col]) * k;
        count -= k;
    }
    double price = interp ? Line(q, t.cells[r - 1][0], t.cells[r][0], t.cells[r - 1][col], t.cells[r][col])
                          : t.cells[r][col];
    if (!interp && price == 0 && r > 1)
        price = t.cells[r - 1][col];
    const double each = t.reading == 2 ? std::trunc(price * count / 1000) : t.reading == 3 ? price : price * count;
    return qint64(each * mult + first);
}

Result Price(const Item &item, const Service &s, const qint32 (&markup)[4][10])
{
    Result out;
    qint32 qty = Quantity(item, s);
    int c = s.costBy;
    // Set-up: counts per lot, sheet, page and pass (one pass without paper).
    double setMinutes = 0;
    qint64 setCost = 0, setPrice = 0;
    for (int i = 0; i < 5; ++i) {
        const qint32 k = s.setFor[i] == 1 || s.setFor[i] == 6 ? 1 : s.setFor[i] == 3 || s.setFor[i] == 4 ? item.sheets : 0;
        if (k <= 0)
            continue;
        setMinutes += k * s.setTime[i] / 100.0;
        setCost += qint64(k) * s.setCost[i];
        setPrice += qint64(k) * s.setPrice[i];
    }
    // Run: the band of the quantity.
    const int step = s.brk[2] == 0 ? 0 : s.step;
    const bool sum = step == 2, first = (step == 3 || step == 4) && qty >= 2, linear = step == 1 || step == 4;
    qint64 speed = s.speed[1], rc = sum ? 0 : s.runCost[1], rp = sum ? 0 : s.runPrice[1];
    qint32 prev = 0;
    int stop = 0;
    for (int r = first ? 2 : 1; r <= 9; ++r) {
        const qint32 b = s.brk[r];
        if (b <= 0)
            continue;
        if (b <= qty) {
            if (s.speed[r] > 0)
                speed = s.speed[r];
            if (sum) {
                rc += qint64(b - prev) * s.runCost[r];
                rp += qint64(b - prev) * s.runPrice[r];
            } else {
                rc = s.runCost[r] > 0 ? s.runCost[r] : rc;
                rp = s.runPrice[r] > 0 ? s.runPrice[r] : rp;
            }
            prev = b;
        }
        if (qty <= b) {
            if (sum) {
                rc += qint64(qty - prev) * s.runCost[r];
                rp += qint64(qty - prev) * s.runPrice[r];
            } else {
                stop = r;
            }
            break;
        }
    }
    double sp = double(speed);
    if (stop > 1 && !linear) {
        sp = s.speed[stop] ? s.speed[stop] : sp;
        rc = s.runCost[stop] ? s.runCost[stop] : rc;
        rp = s.runPrice[stop] ? s.runPrice[stop] : rp;
    } else if (stop > 1) {
        sp = Line(qty, prev, s.brk[stop], qint32(speed), s.speed[stop]);
        rc = qint64(Line(qty, prev, s.brk[stop], qint32(rc), s.runCost[stop]));
        rp = qint64(Line(qty, prev, s.brk[stop], qint32(rp), s.runPrice[stop]));
    }
    sp /= 100;
    const qint32 runMinutes = sp > 0 ? qint32(qty * 60.0 / sp + 0.9999) : 0;
    const double oh = s.costOH < 1 ? 1 : s.costOH;
    qint64 units = sum ? 1 : first ? qty - 1 : qty;
    const qint64 fc = first ? s.runCost[1] : 0, fp = first ? s.runPrice[1] : 0;
    qint64 runCost, runPrice;
    if (s.unit == 2) {
        runCost = qint64((fc * 0.001 + units * 0.001 * rc) * oh + 0.99);
        runPrice = qint64(fp * 0.001 + units * 0.001 * rp + 0.99);
    } else if (s.unit == 3) {
        runCost = qint64(rc * oh + 0.99);
        runPrice = rp;
    } else {
        runCost = qint64((units * rc + fc) * oh + 0.99);
        runPrice = qint64(fp + 0.99 + units * rp);
    }
    qint32 chargeQty = 0;
    if (c == 2 || c == 3)
        chargeQty = qty; // a quantity of 0 stays 0: nothing was stored and nobody is asked
    out.minutes = qint32(setMinutes) + runMinutes;

    if (c == 0) {
        out.qty = qty == 0 ? 1 : qty;
        out.cost = out.price = kMarker;
        return out;
    }
    if (c == 1 || c == 3)
        out.timeCost = UpToCent(out.minutes * s.costHr / 60);
    if (c == 2 || c == 3) {
        // Without a run cost the rate would come from the previous figures,
        // and a new row has none: the run cost stays 0.
        out.matCost = (setCost + runCost) * 100;
    } else {
        setCost = runCost = 0;
    }
    out.cost = UpToCent(out.timeCost + out.matCost);
    switch (s.priceBy) {
    case 0: out.price = kMarker; break;
    case 1: out.price = 0; break; // asked, and a silent pricing asks nothing
    default: {
        const double f = MarkupFactor(item, s, out.cost, markup);
        if (s.priceBy == 3)
            out.price = qint64((setPrice + runPrice) * 100 * f);
        else if (s.priceBy == 4)
            out.price = qint64((setPrice * 100 + TableAmount(item, s, qty, chargeQty)) * f);
        else
            out.price = qint64(out.cost * f);
    }
    }
    if (c == 2 && out.matCost == 0)
        out.matCost = out.price;
    if (out.price < s.minPrice) {
        out.price = s.minPrice;
        if (out.cost == 0)
            out.cost = out.price;
    }
    if (out.price != kMarker)
        out.price = UpToCent(out.price);
    out.qty = qty;
    return out;
}

class PricingModel : public PricingTest
{
protected:
    QRandomGenerator random{20240616};
    int pick(int n) { return int(random.bounded(n)); }
    int between(int lo, int hi) { return lo + pick(hi - lo + 1); }
    template <class T, std::size_t N>
    T oneOf(const T (&values)[N]) { return values[pick(int(N))]; }

    Service randomService()
    {
        Service s;
        static const int kQtyBy[] = {1, 1, 1, 2, 3, 4, 5, 7, 8, 12, 14, 15, 16, 17, 19, 21};
        s.qtyBy = oneOf(kQtyBy);
        s.costBy = pick(4);
        static const int kPriceBy[] = {0, 1, 2, 2, 3, 3, 4, 4, 4};
        s.priceBy = oneOf(kPriceBy);
        s.unit = between(1, 3);
        s.step = pick(5);
        static const int kMarkup[] = {0, 1, 2, 3, 25, 40, 100};
        s.markup = oneOf(kMarkup);
        s.adjustBy = pick(2);
        static const double kAdjust[] = {0, 0.9, 1, 1.25, 1.5};
        s.bid = oneOf(kAdjust), s.rush = oneOf(kAdjust), s.spcl = oneOf(kAdjust);
        static const double kOverhead[] = {0, 0.5, 1, 1.25, 2};
        s.costOH = oneOf(kOverhead);
        static const int kDivide[] = {0, 0, 1, 2, 50, 500};
        s.divide = oneOf(kDivide);
        static const int kMultiply[] = {0, 0, 1, 2, 4};
        s.multiply = oneOf(kMultiply);
        static const int kRound[] = {0, 0, 1, 10, 250};
        s.round = oneOf(kRound);
        static const char *const kAsk[] = {"", "", "", "#2", "#3", "%", "2 per set", "/", "/x", "How many?"};
        s.ask = QString::fromLatin1(oneOf(kAsk));
        s.out = pick(3) == 0 ? 0 : between(1, 30);
        s.costHr = pick(4) == 0 ? 0 : qint64(between(1, 12000)) * 100;
        s.minPrice = pick(3) == 0 ? qint64(between(1, 20000)) * 100 : 0;
        for (int i = 0; i < 5; ++i) {
            if (pick(2) == 0)
                continue;
            static const int kSetFor[] = {1, 1, 3, 4, 6, 2, 5, 7};
            s.setFor[i] = oneOf(kSetFor);
            s.setTime[i] = between(0, 6000);
            s.setCost[i] = between(0, 5000);
            s.setPrice[i] = between(0, 9000);
        }
        const int breaks = between(1, 9);
        qint32 b = 0;
        for (int r = 1; r <= breaks; ++r) {
            b += between(1, 3000);
            s.brk[r] = b;
            s.speed[r] = pick(6) == 0 ? 0 : between(100, 800000);
            s.runCost[r] = pick(6) == 0 ? 0 : between(1, 3000);
            s.runPrice[r] = pick(6) == 0 ? 0 : between(1, 6000);
        }
        if (s.priceBy == 4 && pick(8) != 0) {
            Table &t = s.table;
            t.present = true;
            static const int kColumnBasis[] = {0, 1, 2, 3, 5, 6, 7, 8, 9};
            t.columnBasis = oneOf(kColumnBasis);
            t.rowBasis = pick(2);
            t.reading = between(1, 3);
            t.method = pick(5);
            t.multiplier = pick(12);
            const int keys = between(1, 10);
            qint32 k = 1;
            for (int c = 1; c <= keys; ++c)
                t.keys[c] = k += between(1, 40); // above 1 and rising
            const int rows = between(1, 12);
            qint32 q = 0;
            for (int r = 1; r <= rows; ++r) {
                t.cells[r][0] = q += between(1, 4000);
                for (int c = 1; c <= 10; ++c)
                    t.cells[r][c] = pick(7) == 0 ? 0 : between(1, 2000000);
            }
        }
        return s;
    }

    void store(qint32 serNo, const Service &s)
    {
        addService(serNo, 50, QStringLiteral("Service %1").arg(serNo));
        QStringList sets = {
            QStringLiteral("QtyBy = %1, CostBy = %2, PriceBy = %3, Unit = %4, Step = %5, Markup = %6, AdjustBy = %7")
                .arg(s.qtyBy).arg(s.costBy).arg(s.priceBy).arg(s.unit).arg(s.step).arg(s.markup).arg(s.adjustBy),
            QStringLiteral("Bid = %1, Rush = %2, Spcl = %3, CostOH = %4").arg(s.bid).arg(s.rush).arg(s.spcl).arg(s.costOH),
            QStringLiteral("Divide = %1, Multiply = %2, Round = %3, AskHowMany = '%4'")
                .arg(s.divide).arg(s.multiply).arg(s.round).arg(s.ask),
            QStringLiteral("CostHr = %1, MinPrice = %2").arg(s.costHr / 10000.0, 0, 'f', 4).arg(s.minPrice / 10000.0, 0, 'f', 4)};
        for (int i = 0; i < 5; ++i)
            sets << QStringLiteral("SetFor%1 = %2, SetTime%1 = %3, SetCost%1 = %4, SetPrice%1 = %5")
                        .arg(i + 1).arg(s.setFor[i]).arg(s.setTime[i]).arg(s.setCost[i]).arg(s.setPrice[i]);
        for (int r = 1; r <= 9; ++r)
            sets << QStringLiteral("QBreak%1 = %2, UnitsHr%1 = %3, RunCost%1 = %4, RunPrice%1 = %5")
                        .arg(r).arg(s.brk[r]).arg(s.speed[r]).arg(s.runCost[r]).arg(s.runPrice[r]);
        exec(QStringLiteral("UPDATE Services SET %1 WHERE SerNo = %2").arg(sets.join(QStringLiteral(", "))).arg(serNo));
        if (!s.table.present)
            return;
        const Table &t = s.table;
        QList<qint32> keys;
        for (int c = 1; c <= 10; ++c)
            keys << t.keys[c];
        QList<QList<qint32>> rows;
        for (int r = 1; r <= 12; ++r) {
            QList<qint32> cells;
            for (int c = 0; c <= 10; ++c)
                cells << t.cells[r][c];
            rows << cells;
        }
        addPriceTable(serNo, t.columnBasis, t.rowBasis, t.reading, t.method, t.multiplier, keys, rows);
    }
};

TEST_F(PricingModel, RandomServicesAgreeWithTheModel)
{
    // Markup levels 1..3 over four cost breaks in dollars.
    const qint32 markup[4][10] = {{0, 0, 50, 200, 1000}, {0, 80, 60, 45, 30}, {0, 100, 0, 50, 40}, {0, 35, 35, 30, 20}};
    for (int r = 0; r < 4; ++r)
        insert(QStringLiteral("MarkupTable"), {{"[No]", n(r)}, {"Markup1", n(markup[r][1])}, {"Markup2", n(markup[r][2])},
                                               {"Markup3", n(markup[r][3])}, {"Markup4", n(markup[r][4])}});
    const qint32 job = addJob(900);
    const int kRounds = 200;
    int priced = 0, byTable = 0;
    for (int round = 0; round < kRounds; ++round) {
        exec(QStringLiteral("DELETE FROM Services"));
        exec(QStringLiteral("DELETE FROM ServicePriceTables"));
        exec(QStringLiteral("DELETE FROM Items"));
        Item item;
        item.qty = pick(10) == 0 ? between(1, 10) : between(1, 25000);
        item.sheets = between(1, 6);
        item.width = between(4, 80) * 0.25;
        item.height = between(4, 80) * 0.25;
        static const int kLevels[] = {0, 0, 0, 1, 2, 3, 8, 20, 107, 108, 130, 157};
        item.level = oneOf(kLevels);
        addRow(job, 0, {{"ChargeQty", n(item.qty)}, {"Sheets", n(item.sheets)}, {"Width", QString::number(item.width)},
                        {"Height", QString::number(item.height)}, {"Side2", n(item.level)}});
        Service services[2] = {randomService(), randomService()};
        qint32 ids[2] = {};
        for (int i = 0; i < 2; ++i) {
            store(901 + i, services[i]);
            ids[i] = addRow(job, 901 + i, {{"Out", n(services[i].out)}});
        }
        auto e = engine(job, true);
        e->PriceItem(0);
        qint64 sumCost = 0, sumPrice = 0;
        for (int i = 0; i < 2; ++i) {
            const Service &s = services[i];
            const Result want = Price(item, s, markup);
            const CItemSet &got = row(*e, ids[i]);
            SCOPED_TRACE(QStringLiteral("round %1 service %2: qtyBy %3 costBy %4 priceBy %5 unit %6 step %7 markup %8 "
                                        "level %9 ask '%10' table %11/%12/%13/%14/%15")
                             .arg(round).arg(i).arg(s.qtyBy).arg(s.costBy).arg(s.priceBy).arg(s.unit).arg(s.step)
                             .arg(s.markup).arg(item.level).arg(s.ask).arg(s.table.columnBasis).arg(s.table.rowBasis)
                             .arg(s.table.reading).arg(s.table.method).arg(s.table.multiplier)
                             .toStdString());
            if (s.costBy != 0)
                EXPECT_EQ(got.m_nSerQty, want.qty);
            EXPECT_EQ(got.m_ChargeTime, want.minutes);
            EXPECT_EQ(got.m_TimeCost.units(), want.timeCost);
            EXPECT_EQ(got.m_MatCost.units(), want.matCost);
            EXPECT_EQ(got.m_Cost.units(), want.cost);
            EXPECT_EQ(got.m_Price.units(), want.price);
            if (want.cost != kMarker)
                sumCost += want.cost;
            if (want.price != kMarker)
                sumPrice += want.price;
            priced += want.price > kMarker;
            byTable += s.table.present;
        }
        const bool allPriced = e->AllServicesPriced();
        EXPECT_EQ(e->GetNewCost().units(), sumCost) << "round " << round;
        if (allPriced)
            EXPECT_EQ(e->GetNewPrice().units(), sumPrice == 0 ? kMarker : sumPrice) << "round " << round;
        else
            EXPECT_EQ(e->GetNewPrice().units(), 0) << "round " << round;
    }
    // The random services reach the interesting paths, not only the trivial ones.
    EXPECT_GT(priced, kRounds / 2);
    EXPECT_GT(byTable, kRounds / 8);
}

} // namespace
