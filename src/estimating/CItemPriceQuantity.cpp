// Quantities of an item's services: the paper calculation with its waste and
// the difficulty tables, the press quantity and the quantity of every other
// service.

#include "estimating/CItemPrice.h"

#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "data/SharedDatabase.h"
#include "platform/db/Recordset.h"

#include <cmath>
#include <cstring>

namespace {

QString Grouped(qint64 n)
{
    return FormatInt(qint32(n), true, false);
}

// Ceiling of a / b for counts (b > 0).
qint32 CeilDiv(qint32 a, qint32 b)
{
    return (a + b - 1) / b;
}

} // namespace

qint32 CItemPrice::GetServiceQuantity(quint8 qtyBy) const
{
    switch (qtyBy) {
    case 1:
        return m_nItemQty;
    case 2:
        return m_nQtyUnit == 7 ? 1 + (m_bBothSides ? 1 : 0) : m_counts.pagesPerSet;
    case 3:
        return m_nQtyUnit == 7 ? 1 : m_counts.sheetsPerSet;
    case 4:
        return m_counts.parentSheets;
    case 5:
        return m_counts.runSheets;
    case 6:
        return m_counts.runSheetsNoWaste;
    case 7:
        return m_counts.finishSheets;
    case 8:
        return m_counts.impressions;
    case 9:
        return m_nPlateTotal;
    case 10:
        return m_nWashes;
    case 11:
        return m_nMixes;
    case 12:
        return 1;
    case 14:
    case 18:
        return HeldCount(double(m_fWidth), "Width");
    case 15:
    case 19:
        return HeldCount(double(m_fHeight), "Height");
    case 16:
    case 20:
        return HeldCount(2.0 * (double(m_fWidth) + double(m_fHeight)), "Perimeter");
    case 17:
    case 21:
        return HeldCount(double(m_fWidth) * double(m_fHeight), "Area");
    default:
        return 0;
    }
}

void CItemPrice::ComputeServiceQuantity()
{
    const CSerSet &ser = *m_pSer;
    qint32 base = ser.m_CatNo == 6 ? m_work.m_Out : GetServiceQuantity(ser.m_QtyBy);
    qint32 d = ser.m_Divide;
    qint32 m = ser.m_Multiply;
    const qint32 asked = m_work.m_Out;
    bool noSheetDivision = false;

    const QString &ask = ser.m_AskHowMany;
    if (!ask.isEmpty()) {
        const QChar first = ask.at(0);
        if (first == QLatin1Char('#')) {
            m = GetServiceQuantity(quint8(ToInt(ask.mid(1))));
        } else if (first == QLatin1Char('%')) {
            base = HeldCount((asked * 0.01 + 1) * base + 0.99, "Quantity");
        } else if (first == QLatin1Char('/')) {
            noSheetDivision = true;
            if (ask.size() > 1)
                d = asked;
        } else if (first >= QLatin1Char('1') && first <= QLatin1Char('9')) {
            m = ToInt(ask);
        } else if (first == QLatin1Char('\\')) {
            if (d > 1)
                noSheetDivision = true;
            else if (asked != 0)
                m = asked;
        } else if (asked != 0) {
            m = asked;
        }
    }

    if (d > 1) {
        if (ser.m_LiftBy && m_counts.caliper > 0)
            d = HeldCount(d * 0.004 / m_counts.caliper, "Divisor");
        if (ser.m_QtyBy == 1 && !noSheetDivision && m_counts.sheetsPerSet > 0)
            d = d / m_counts.sheetsPerSet;
        // In 64 bits: a quantity plus a divisor near the 32-bit end would
        // wrap (an item of 200,000,000 divided by 2,000,000,000).
        if (d > 1)
            base = qint32((qint64(base) + d - 1) / d);
    }
    m_work.m_nDivide = d;
    // A quantity of nothing counted takes the multiplier itself; otherwise
    // the multiplier multiplies.
    if (base == 0)
        base = m;
    else if (m > 1)
        base = HeldCount(__int128(base) * m, "Quantity");
    m_work.m_nSerQty = HeldRoundUp(base, ser.m_Round, "Quantity");
}

void CItemPrice::ComputePressQuantity()
{
    if (!m_nPressRowId || !LoadWorkRow(m_nPressRowId))
        return;
    m_work.m_nSerQty = HeldRoundUp(GetServiceQuantity(m_pSer->m_QtyBy), m_pSer->m_Round,
                                   "Quantity");
    StoreWorkRow();
}

double CItemPrice::CaliperFromWeight(qint32 weight, qint32 catNo)
{
    static const qint32 kDefaultWeight[12] = {20, 60, 67, 110, 20, 20, 60, 60, 60, 65, 60, 65};
    static const qint32 kBasis[12] = {200, 507, 343, 416, 200, 200, 300, 300, 507, 278, 507, 278};
    if (catNo < 101 || catNo > 112)
        return 0.004;
    const int i = catNo - 101;
    if (weight == 0 || weight > 999)
        weight = kDefaultWeight[i];
    return weight * 0.004 / (kBasis[i] * 0.1);
}

double CItemPrice::GetCaliper(const CSerSet &paper, const CItemSet &row)
{
    if (paper.m_Caliper != 0)
        return paper.m_Caliper;
    const qint32 cat = paper.m_CatNo;
    if (cat == 105 || cat < 101 || cat > 112)
        return 0.004;
    qint32 w = ToInt(paper.m_Name.left(5));
    if (w < 1)
        w = ToInt(row.m_Note.left(5));
    if (cat == 112 && w < 30)
        w = qint32(w * 8.8);
    return CaliperFromWeight(w, cat);
}

qint32 CItemPrice::GetPasses(quint8 c1, quint8 c2, quint8 printAs) const
{
    qint32 i1 = GetInkCount(c1);
    qint32 i2 = GetInkCount(c2);
    if (i2 > i1)
        std::swap(i1, i2);
    if (i1 == 0 && i2 == 0)
        return 0;
    const bool turned = printAs >= 2 && printAs <= 4;
    if (turned)
        i2 = i1;
    const qint32 k = m_nPressColors;
    if (k == 0)
        return i1 + i2;
    if (k <= 8)
        return CeilDiv(i1, k + 1) + CeilDiv(i2, k + 1);
    if (k <= 17)
        return CeilDiv(i1, k - 8) * (turned ? 2 : 1);
    return c1 != 0 && c2 != 0 ? 2 : 1;
}

qint32 CItemPrice::GetRunLength(qint32 parts, qint32 up, qint32 sheets, quint8 printAs) const
{
    __int128 length = __int128(m_nItemQty) * parts;
    qint32 s = sheets;
    if (m_nQtyUnit == 7) {
        length *= sheets;
        s = 1;
    }
    double shorter = double(length);
    if (printAs < 5) {
        if (up > 1)
            shorter = double(length) / up + 0.99;
    } else if (s > 0 && up > s) {
        shorter = double(length) / (double(up) / s) + 0.99;
    }
    const qint32 held = HeldCount(std::trunc(shorter), "Run Length");
    return held < 1 ? 1 : held;
}

void CItemPrice::PaperDifficultyOf(const CSerSet &paper, int &level) const
{
    level = paper.m_WasteBy;
    if (level >= 20)
        level = 1;
    else if (level == 0 && m_nPressWasteBy == 251)
        level = 1;
}

void CItemPrice::ComputePaperQuantity()
{
    m_counts = Counts();
    m_dPaperDiffSetup = 0;
    m_nPaperDiffSpeed = 0;
    double caliperSum = 0;
    const qint32 plates = GetSetupPlates();

    for (const qint32 id : m_paperRows) {
        if (!LoadWorkRow(id))
            continue;
        const CSerSet &paper = *m_pSer;
        CItemSet &row = m_work;
        const qint32 S = row.m_Sheets;
        const qint32 P = row.m_Pages;
        const qint32 out = row.m_Out > 0 ? row.m_Out : 1;
        const qint32 up = row.m_Up > 0 ? row.m_Up : 1;
        const qint32 parts = paper.m_Multiply > 0 ? paper.m_Multiply : 1;
        quint8 c1 = row.m_Side1;
        quint8 c2 = row.m_Side2;
        if (c1 < c2)
            std::swap(c1, c2);

        const int how = GetHowSidesPrinted(c1, c2);
        if (how > m_counts.howSides)
            m_counts.howSides = how;
        const double caliper = GetCaliper(paper, row);
        const qint32 passes = GetPasses(c1, c2, row.m_PrtAs);
        const qint32 runLength = GetRunLength(parts, up, S, row.m_PrtAs);
        if (runLength > m_counts.maxRunLength)
            m_counts.maxRunLength = runLength;

        m_counts.sheetsPerSet = HeldCount(__int128(m_counts.sheetsPerSet) + S, "Sheets per Set");
        m_counts.pagesPerSet = HeldCount(__int128(m_counts.pagesPerSet) + P, "Pages per Set");
        m_counts.passes = HeldCount(__int128(m_counts.passes) + passes, "Passes");
        caliperSum += S * caliper;

        // The paper's own difficulty.
        PaperDifficultyOf(paper, m_nPaperLevel);
        m_dPaperDiffSetup += plates * m_PapDiff[m_nPaperLevel][1] / 100.0;
        m_nPaperDiffSpeed += m_PapDiff[m_nPaperLevel][2];

        const qint32 finish = HeldCount(__int128(m_nItemQty) * S * parts, "Finish Sheets");

        qint32 run;
        if (row.m_PrtAs >= 2 && up >= 2) {
            const qint32 q = S / up;
            qint32 r = S % up;
            double f = q;
            if (row.m_PrtAs < 5) {
                f = double(S) / double(up & ~1);
            } else if (row.m_PrtAs == 5) {
                if (r != 0)
                    f += 1.0 / (double(up) / r);
            } else if (r != 0) {
                const qint32 half = up / 2;
                if (r > half) {
                    r = r % half;
                    f += 0.5;
                }
                if (r != 0)
                    f += 1.0 / (double(half) / r) / 2;
                else
                    f += 0.5;
            }
            run = HeldCount(std::trunc(double(m_nItemQty) * parts * f + 0.99), "Run Sheets");
        } else {
            run = up >= 2 ? qint32(double(finish) / up + 0.99) : finish;
        }
        m_counts.runSheetsNoWaste =
            HeldCount(__int128(m_counts.runSheetsNoWaste) + run, "Run Sheets");
        const qint32 runBeforeWaste = run;

        QString wasteLines;
        int method = m_nPressWasteBy;
        if (method == 251)
            method = paper.m_WasteBy;
        if (m_nPressRowId) {
            const QString before = m_work.m_strExplain;
            m_work.m_strExplain.clear();
            run = HeldCount(__int128(run) + ComputeWaste(method, run, out, runLength, passes, plates),
                            "Run Sheets");
            wasteLines = m_work.m_strExplain;
            m_work.m_strExplain = before;
        }
        if (method != 0 && (m_nFinishSetWaste > 0 || m_dFinishRunWaste > 0)) {
            const qint32 finishing = HeldCount(std::trunc((m_nFinishSetWaste + m_dFinishRunWaste / 100 * finish) / up + 0.99),
                                               "Finish Waste");
            run = HeldCount(__int128(run) + finishing, "Run Sheets");
            row.m_Data2 = finishing;
            wasteLines += QString::asprintf(" + Finish Waste\t%d \t(%d + %g%% x Finish Size Sheets) / Up\n", finishing,
                                            m_nFinishSetWaste, m_dFinishRunWaste);
        } else {
            row.m_Data2 = 0;
        }

        const char *const impressionsOf = "Impressions";
        qint32 impressions;
        if (m_nPressColors == 18)
            impressions = S != 0 ? HeldCount(std::trunc(run * (double(P) / double(S)) + 0.99), impressionsOf) : 0;
        else if (m_nPressColors == 19)
            impressions = HeldCount(__int128(finish) * passes, impressionsOf);
        else
            impressions = HeldCount(__int128(run) * passes, impressionsOf);

        m_counts.runSheets = HeldCount(__int128(m_counts.runSheets) + run, "Run Sheets");
        m_counts.finishSheets = HeldCount(__int128(m_counts.finishSheets) + finish, "Finish Sheets");
        m_counts.impressions = HeldCount(__int128(m_counts.impressions) + impressions, impressionsOf);
        m_runQty[id] = run;
        const qint32 parent =
            HeldRoundUp(qint32(double(run) / out + 0.99), paper.m_Round, "Parent Sheets");
        row.m_nSerQty = parent;
        m_counts.parentSheets = HeldCount(__int128(m_counts.parentSheets) + parent, "Parent Sheets");

        row.m_strExplain =
            QString::asprintf("Sheets   \t\t%d\nParts    \t\t%d\nOut      \t\t%d\nUp       \t\t%d\nSide1    \t\t%d\n"
                              "Side2    \t\t%d\nPasses   \t\t%d\nCaliper  \t\t%g\n\nRun Qty \t\t",
                              S, parts, out, up, int(c1), int(c2), passes, caliper)
            + Grouped(runBeforeWaste) + QStringLiteral("\t(before waste)\n") + wasteLines
            + QStringLiteral("\nPAPER QUANTITY:\n   Parent\t\t") + Grouped(parent) + QStringLiteral("\n   Run \t\t")
            + Grouped(run) + QStringLiteral("\n   Finish\t\t") + Grouped(finish);
        StoreWorkRow();
    }

    if (m_paperRows.empty() || m_counts.sheetsPerSet == 0) {
        m_counts.sheetsPerSet = m_nItemSheets;
        m_counts.pagesPerSet = m_nItemSheets;
        const qint32 sheets =
            HeldCount(__int128(m_nItemSheets) * m_nItemQty, FigureName("Sheets of ", m_strItemLabel));
        m_counts.finishSheets = sheets;
        m_counts.runSheets = sheets;
        m_counts.runSheetsNoWaste = sheets;
        m_counts.parentSheets = sheets;
        m_counts.impressions = sheets;
        m_counts.maxRunLength = m_nItemQty;
        m_counts.passes = 1;
    } else {
        m_counts.caliper = caliperSum / m_counts.sheetsPerSet;
        m_nPaperDiffSpeed /= qint32(m_paperRows.size());
    }
}

void CItemPrice::AddJobDifficulty(int row, const QString &name)
{
    for (int c = 1; c <= 4; ++c)
        m_JobDiff[0][c] += m_JobDiff[row][c];
    AppendText(m_strDiffNames, name, QStringLiteral(", "), QString());
}

void CItemPrice::LoadDifficultyTables(qint32 pressSerNo, qint32 paperCatNo, const QString &paperSize)
{
    if (pressSerNo == 0 || !m_pCache)
        return;
    const PricingCache::DiffRow *diff = m_pCache->Difficulty(pressSerNo);
    if (!diff)
        return;
    for (int r = 1; r <= 19; ++r) {
        for (int c = 1; c <= 4; ++c)
            m_PapDiff[r][c] = diff->paper[r][c];
        for (int c = 0; c <= 4; ++c)
            m_JobDiff[r][c] = diff->job[r][c];
    }
    std::memcpy(m_RunLength, diff->runLength, sizeof m_RunLength);

    if (IsPaperCategoryNot113To116(paperCatNo)) {
        float w = 0;
        float h = 0;
        ParseSize(paperSize, w, h);
        const float area = w * h;
        if (area > 0) {
            if (m_JobDiff[1][0] >= 1 && area <= m_JobDiff[1][0])
                AddJobDifficulty(1, QStringLiteral("Smallest Size"));
            else if (m_JobDiff[2][0] >= 1 && area < m_JobDiff[2][0])
                AddJobDifficulty(2, QStringLiteral("Smaller Size"));
            else if (m_JobDiff[4][0] >= 1 && area >= m_JobDiff[4][0])
                AddJobDifficulty(4, QStringLiteral("Largest Size"));
            else if (m_JobDiff[3][0] >= 1 && area > m_JobDiff[3][0])
                AddJobDifficulty(3, QStringLiteral("Larger Size"));
        }
    }
    if (m_nCoverage >= 1 && m_nCoverage <= 4)
        AddJobDifficulty(4 + m_nCoverage, QStringLiteral("Coverage"));
    if (m_nRegister >= 1 && m_nRegister <= 4)
        AddJobDifficulty(8 + m_nRegister, QStringLiteral("Register"));
    if (m_nBleed != 0)
        AddJobDifficulty(13, QStringLiteral("Bleed"));
    if (m_bBothSides)
        AddJobDifficulty(14, QStringLiteral("Side2"));
    for (int c = 1; c <= 4; ++c) {
        if (m_JobDiff[19][c] > 0 && m_JobDiff[0][c] > m_JobDiff[19][c])
            m_JobDiff[0][c] = m_JobDiff[19][c];
    }
}

qint32 CItemPrice::ComputeWaste(int method, qint32 runQty, qint32 out, qint32 runLength, qint32 passes, qint32 plates)
{
    const qint32 n = HeldCount(__int128(runLength) * passes, "Run Length");
    qint32 setWaste = 0;
    qint32 runWaste = 0;
    const int level = m_nPaperLevel;
    if (method == 250) {
        const double perPlate = (m_PapDiff[level][1] + m_JobDiff[0][1]) / 100.0 + m_dMinutesPerPlate;
        const double k = (m_nCoverage + 1) * 0.3 + (m_nRegister + 1) * 0.3;
        double rate = (std::pow(double(n), 0.67) * k + perPlate) / (runLength > 0 ? runLength : 1);
        if (rate < 0.04)
            rate = 0.04;
        runWaste = HeldCount(std::trunc(runQty * rate + 0.99), "Waste");
        m_work.m_strExplain +=
            QStringLiteral(" + Waste    \t") + Grouped(runWaste) + QStringLiteral("\t(using built-in formula)\n");
    } else if (method == 252) {
        setWaste = HeldCount(std::trunc(plates * m_fPressSetTime + 0.99), "Waste");
        runWaste = HeldCount(std::trunc(m_fPressImpHour / 100 * runQty + 0.99), "Waste");
        m_work.m_strExplain += QString::asprintf(" + Set Waste \t%d\n + Run Waste \t%d\t%g%% x %d (RunSz Qty)\n", setWaste,
                                                 runWaste, double(m_fPressImpHour), runQty);
    } else if (method >= 1 && method <= 20) {
        const qint32 *row = m_Waste[method];
        setWaste = HeldCount(std::trunc((double(row[0]) + m_PapDiff[level][3] + m_JobDiff[0][3]) * plates + 0.99),
                             "Waste");
        // The run waste percent for this run length, between the lengths of
        // the table's first row.
        qint32 lowLength = 0, lowValue = 0, highLength = 0, highValue = 0;
        for (int c = 1; c <= 7; ++c) {
            if (row[c] == 0)
                continue;
            const qint32 length = m_Waste[0][c];
            if (length <= n) {
                lowLength = length;
                lowValue = row[c];
            }
            if (length >= n) {
                highLength = length;
                highValue = row[c];
                break;
            }
        }
        const double tablePercent = Interpolate(n, lowLength, highLength, lowValue, highValue) / 100;
        runWaste = HeldCount(std::trunc(runQty * (m_JobDiff[0][4] + tablePercent + m_PapDiff[level][4]) / 100 * passes + 0.99),
                             "Waste");
        m_work.m_strExplain += QString::asprintf(
            " + Set Waste \t%d \t(%d + %d + %d) x %d plates / %d out   (WasteRow %d + PapDif %d + JobDif)\n"
            " + Run Waste \t%d \t(%g%% + %d%% + %d%%) x %d x %d passes\n",
            setWaste, row[0], m_PapDiff[level][3], m_JobDiff[0][3], plates, out, method, level, runWaste, tablePercent,
            m_PapDiff[level][4], m_JobDiff[0][4], runQty, passes);
    }
    return HeldCount(__int128(setWaste) + runWaste, "Waste");
}
