// The service price table: a grid of quantity breaks by columns chosen from a
// property of the item, read per each, per thousand or as a total.

#include "estimating/CItemPrice.h"
#include "data/AnswersOutsideLock.h"

#include "app/base/MoneyText.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/Recordset.h"

#include <cmath>

const CItemPrice::PriceTable &CItemPrice::PriceTableOf(qint32 serNo)
{
    return m_pCache->PriceTableOf(serNo);
}

Money CItemPrice::LookupPriceTable()
{
    const CSerSet &ser = *m_pSer;
    CItemSet &row = m_work;
    const PriceTable &t = PriceTableOf(ser.m_SerNo);
    if (!t.present)
        return Money();
    if (t.tooShort) {
        if (!m_bSilent)
            AnswersOutsideLock::MessageBox(ser.m_Name + QStringLiteral(":\nThe price table of this service has too few "
                                                                       "fields; it cannot be used for pricing."),
                                           QString(), platform::MB_OK | platform::MB_ICONWARNING);
        return Money();
    }
    auto cell = [&t](int r, int c) { return t.grid[r][c]; };

    int method = t.method;
    if (cell(2, 0) == 0)
        method = 0;
    const bool linear = method == 1 || method == 4;
    const bool firstUnit = method == 3 || method == 4;
    const bool sum = method == 2;

    bool wrap = false;
    for (int c = 2; c <= 10; ++c) {
        if (cell(0, c) == 1
            && (t.multiplier == 0 || (t.columnBasis != 0 && t.multiplier == t.columnBasis + 1))) {
            wrap = true;
            break;
        }
    }
    const qint32 asked = row.m_Out > 0 ? row.m_Out : row.m_Sheets > 0 ? row.m_Sheets : m_counts.sheetsPerSet;

    // The column.
    qint32 x = 0;
    int column = 0;
    switch (t.columnBasis) {
    case 0:
        column = 1;
        x = m_bDigital ? m_counts.pagesPerSet : m_counts.sheetsPerSet;
        break;
    case 1: x = m_counts.sheetsPerSet; break;
    case 2: x = m_counts.pagesPerSet; break;
    case 3: x = m_counts.passes; break;
    case 4:
        // The column is how the sides print; an item printed on no side
        // reads the first column rather than the breaks.
        column = m_counts.howSides >= 1 ? m_counts.howSides : 1;
        x = column;
        break;
    case 5: x = asked; break;
    case 6: x = HeldCount(double(m_fWidth), "Width"); break;
    case 7: x = HeldCount(double(m_fHeight), "Height"); break;
    case 8: x = HeldCount(2.0 * (double(m_fWidth) + double(m_fHeight)), "Perimeter"); break;
    case 9: x = HeldCount(double(m_fWidth) * double(m_fHeight), "Area"); break;
    default: break;
    }
    qint32 extraColumns = 0;
    if (column == 0) {
        column = 10;
        for (int c = 1; c <= 9; ++c) {
            const qint32 k = cell(0, c);
            const qint32 k2 = cell(0, c + 1);
            if (k < x && k2 == 1 && wrap) {
                column = c;
                extraColumns = x - k;
                x = k;
                break;
            }
            if (x <= k || k2 <= k) {
                column = c;
                break;
            }
        }
    }

    // The row quantity.
    qint32 q = row.m_nSerQty;
    if (t.rowBasis == 0) {
        q = m_nItemQty;
        if (m_bDigital && m_counts.pagesPerSet != 0 && t.multiplier == 0) {
            q = m_counts.impressions / m_counts.pagesPerSet;
            if (q < 1)
                q = 1;
        }
    }

    // The row.
    qint32 previous = 0;
    __int128 total = 0;
    bool interpolate = false;
    qint32 extraRows = 0;
    qint32 extraDivisor = 1;
    int r = 1;
    for (r = 1; r <= 12; ++r) {
        const qint32 b = cell(r, 0);
        const qint32 b2 = cell(r < 12 ? r + 1 : 12, 0);
        if (sum) {
            const qint32 upTo = (q < b || b2 == 0) ? q : std::min(b, q);
            total += __int128(upTo - previous) * (t.rowBasis != 1 ? m_counts.pagesPerSet : 1) * cell(r, column);
            previous = upTo;
        }
        if (q == b || r == 12)
            break;
        if (q < b) {
            interpolate = linear && r > 1;
            break;
        }
        if (b2 == 0)
            break;
        if (b2 < b) {
            extraRows = q - b;
            q = b;
            extraDivisor = b2 > 1 ? b2 : 1;
            break;
        }
    }
    if (sum) {
        if (t.reading == 2)
            total /= 1000;
        return Money::fromUnits(HeldAmount(total, "Price Table amount"));
    }

    // The quantity and the multiplier.
    qint64 n = q;
    qint64 m = 1;
    switch (t.multiplier) {
    case 0: m = t.columnBasis <= 3 ? x : m_counts.pagesPerSet; break;
    case 1: m = 1; break;
    case 2: m = m_counts.sheetsPerSet; break;
    case 3: m = m_counts.pagesPerSet; break;
    case 4: m = m_counts.passes; break;
    case 5: m = m_bBothSides ? 2 : 1; break;
    case 6: m = asked; break;
    case 7: m = HeldCount(double(m_fWidth), "Width"); break;
    case 8: m = HeldCount(double(m_fHeight), "Height"); break;
    case 9: m = HeldCount(2.0 * (double(m_fWidth) + double(m_fHeight)), "Perimeter"); break;
    case 10: m = HeldCount(double(m_fWidth) * double(m_fHeight), "Area"); break;
    case 11:
        n = row.m_ChargeQty;
        m = 1;
        break;
    default: break;
    }
    if (t.rowBasis == 1 && t.multiplier == 0 && extraColumns == 0)
        m = 1;
    if (ser.m_QtyBy == 8) {
        n = row.m_nSerQty;
        m = 1;
    }
    if (m < 1)
        m = 1;

    double first = 0;
    if (firstUnit && q != 0) {
        qint64 k = 1;
        if (t.rowBasis == 0) {
            if (t.columnBasis == 1)
                k = m_counts.sheetsPerSet;
            else if (t.columnBasis == 2)
                k = m_counts.pagesPerSet;
        }
        first = double(cell(1, column)) * k;
        n -= k;
    }

    auto cellPrice = [&](int c) -> double {
        if (interpolate)
            return Interpolate(q, cell(r - 1, 0), cell(r, 0), cell(r - 1, c), cell(r, c));
        qint32 p = cell(r, c);
        if (p == 0 && r > 1)
            p = cell(r - 1, c);
        return p;
    };
    auto readAmount = [&](double price, qint64 count) -> double {
        if (t.reading == 2)
            return double(qint64(price * count / 1000));
        if (t.reading == 3)
            return price;
        return price * count;
    };

    const double price = cellPrice(column);
    double amount = readAmount(price, n) * m + first;
    row.m_strExplain += QStringLiteral("\n\nPRICE TABLE \t") + (interpolate ? QStringLiteral("Interpolated") : QString())
                        + QString::asprintf("\n\t\tCell Price x Qty \t= %g x %lld = %g  from Column %d x Row %d",
                                            price / 10000, static_cast<long long>(n * m), amount / 10000, column, r);

    if (extraRows > 0) {
        const qint64 add = qint64(cell(r + 1, column)) * extraRows / extraDivisor * m;
        amount += double(add);
        row.m_strExplain += QString::asprintf("\n\t\t+ Add'l Row Price   \t= %g x %d = %g",
                                              cell(r + 1, column) / 10000.0, extraRows, add / 10000.0);
    }
    if (extraColumns > 0) {
        const double nextPrice = cellPrice(column + 1);
        const double add = nextPrice * double(n) * extraColumns;
        amount += add;
        row.m_strExplain += QString::asprintf("\n\t\t+ Add'l Col Price   \t= %g x %lld = %g", nextPrice / 10000,
                                              static_cast<long long>(n * extraColumns), add / 10000);
        if (extraRows > 0) {
            const qint64 both = qint64(cell(r + 1, column + 1)) * extraRows * extraColumns / extraDivisor;
            amount += double(both);
            row.m_strExplain += QString::asprintf("\n\t\t+ Add'l Col Price   \t= %g x %d = %g",
                                                  cell(r + 1, column + 1) / 10000.0, extraRows * extraColumns,
                                                  both / 10000.0);
        }
    }
    return Money::fromUnits(HeldAmount(std::trunc(amount), "Price Table amount"));
}
