#include "estimating/CItemPrice.h"
#include "data/AnswersOutsideLock.h"

#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "data/CJobSet.h"
#include "data/JobTypes.h"
#include "data/OptionsAndLookups.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "data/SharedDatabase.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr Money kNoCharge = Money::noChargeMarker();

CItemPrice::PriceChangeDialog &defaultPriceChangeDialog()
{
    static CItemPrice::PriceChangeDialog dialog;
    return dialog;
}

} // namespace

void CItemPrice::SetDefaultPriceChangeDialog(PriceChangeDialog dialog)
{
    defaultPriceChangeDialog() = std::move(dialog);
}

qint32 CItemPrice::HeldCount(__int128 value, FigureName figure) const
{
    if (value <= kLargestCount && value >= -kLargestCount)
        return qint32(value);
    if (m_strPastBound.isEmpty()) {
        const bool shown = value <= std::numeric_limits<qint64>::max() && value >= std::numeric_limits<qint64>::min();
        m_strPastBound = PastLargestFigureText(FigureText(figure), shown ? qint64(value) : 0, false, !shown);
    }
    return qint32(value > 0 ? kLargestCount : -kLargestCount);
}

qint32 CItemPrice::HeldCount(double value, FigureName figure) const
{
    // Within 2^62 a double's whole part is told exactly as a count past the
    // largest; beyond (and a number that is none) only "more than" is said.
    if (std::isfinite(value) && std::fabs(value) < 4.6e18)
        return HeldCount(__int128(qint64(value)), figure);
    if (m_strPastBound.isEmpty())
        m_strPastBound = PastLargestFigureText(FigureText(figure), 0, false, true);
    return qint32(value < 0 ? -kLargestCount : kLargestCount);
}

qint64 CItemPrice::HeldAmount(__int128 units, FigureName figure) const
{
    if (units <= kLargestAmountUnits && units >= -kLargestAmountUnits)
        return qint64(units);
    if (m_strPastBound.isEmpty()) {
        const bool shown = units <= std::numeric_limits<qint64>::max() && units >= std::numeric_limits<qint64>::min();
        m_strPastBound = PastLargestFigureText(FigureText(figure), shown ? qint64(units) : 0, true, !shown);
    }
    return units > 0 ? kLargestAmountUnits : -kLargestAmountUnits;
}

qint64 CItemPrice::HeldAmount(double units, FigureName figure) const
{
    if (std::isfinite(units) && std::fabs(units) < 4.6e18)
        return HeldAmount(__int128(qint64(units)), figure);
    if (m_strPastBound.isEmpty())
        m_strPastBound = PastLargestFigureText(FigureText(figure), 0, true, true);
    return units < 0 ? -kLargestAmountUnits : kLargestAmountUnits;
}

qint32 CItemPrice::HeldRoundUp(qint32 value, qint32 step, FigureName figure) const
{
    if (step <= 1)
        return value;
    const __int128 rounded = (__int128(value) - 1 + step) / step * step;
    return HeldCount(rounded, figure);
}

QString CItemPrice::FigureText(FigureName figure) const
{
    const QString name = QString::fromLatin1(figure.m_figure);
    return figure.m_whose ? name + *figure.m_whose : name + OfService();
}

QString CItemPrice::OfService() const
{
    return m_pSer ? QStringLiteral(" of ") + m_pSer->m_Name : QString();
}

CItemPrice::CItemPrice() = default;

CItemPrice::CItemPrice(CItemSet *item, bool silent, PricingCache *cache)
{
    LoadItemServices(item, silent, cache);
}

CItemPrice::~CItemPrice() = default;

std::shared_ptr<CItemPrice> CItemPrice::FiguresShown() const
{
    auto figures = std::make_shared<CItemPrice>();
    figures->m_NewCost = m_NewCost;
    figures->m_NewPrice = m_NewPrice;
    figures->m_RevCost = m_RevCost;
    figures->m_RevPrice = m_RevPrice;
    figures->m_LastCost = m_LastCost;
    figures->m_LastPrice = m_LastPrice;
    figures->m_DefaultPrice = m_DefaultPrice;
    figures->m_nPriceLock = m_nPriceLock;
    figures->m_nPriceState = m_nPriceState;
    figures->m_nPriceLevel = m_nPriceLevel;
    figures->m_nItemQty = m_nItemQty;
    figures->m_strItemLabel = m_strItemLabel;
    figures->m_strDescription = m_strDescription;
    figures->m_bAllPriced = m_bAllPriced;
    if (m_pOwner) {
        figures->m_ownerShown = *m_pOwner;
        figures->m_pOwner = &figures->m_ownerShown;
    }
    return figures;
}

const CSerSet *CItemPrice::Service(qint32 serNo) const
{
    const auto it = m_services.find(serNo);
    return it == m_services.end() ? nullptr : it->second.get();
}

bool CItemPrice::IsPaperRow(const CSerSet &ser) const
{
    return IsPaperCategory(ser.m_CatNo);
}

bool CItemPrice::IsPressRow(const CSerSet &ser) const
{
    return IsPrintingCategory(ser.m_CatNo);
}

void CItemPrice::Reset()
{
    m_nPass = 0;
    m_nChoice = NoChoiceYet;
    m_pOwner = nullptr;
    m_rows.clear();
    m_services.clear();
    m_paperRows.clear();
    m_savedCost.clear();
    m_savedPrice.clear();
    m_setupText.clear();
    m_runQty.clear();
    m_pSer = nullptr;
    m_bLoaded = false;

    m_nItemRowId = 0;
    m_nItemQty = 1;
    m_nItemSheets = 1;
    m_nPriceLevel = 0;
    m_bRoundPrices = false;
    m_nQtyUnit = 0;
    m_fWidth = m_fHeight = 0;
    m_LastCost = m_LastPrice = Money();
    m_nPriceLock = m_nPriceState = 0;
    m_strDescription.clear();
    m_strItemLabel.clear();

    m_nPaperRowId = 0;
    m_nPaperCatNo = 0;
    m_strPaperSize.clear();
    m_nCoverage = m_nRegister = m_nBleed = m_nPrintAs = 0;
    m_fPaperSetTime = m_fPaperImpHour = 0;
    m_bBothSides = false;
    m_nPaperUp = 0;

    m_nPressRowId = m_nPressSerNo = 0;
    m_nWashes = m_nMixes = 0;
    m_nPressColors = m_nPressWasteBy = 0;
    m_fPressSetTime = m_fPressImpHour = 0;
    m_bDigital = m_bUsePaperProps = false;
    m_nPlateSetTime = 0;
    m_dMinutesPerPlate = 0;

    m_nPlateTotal = m_nPlatesOwnQty = 0;
    m_nFinishSetWaste = 0;
    m_dFinishRunWaste = 0;

    std::memset(m_Markup, 0, sizeof m_Markup);
    std::memset(m_Waste, 0, sizeof m_Waste);
    std::memset(m_JobDiff, 0, sizeof m_JobDiff);
    std::memset(m_PapDiff, 0, sizeof m_PapDiff);
    std::memset(m_RunLength, 0, sizeof m_RunLength);
    m_strDiffNames.clear();
    m_dPaperDiffSetup = 0;
    m_nPaperDiffSpeed = 0;
    m_nPaperLevel = 0;

    m_counts = Counts();
    m_NewCost = m_NewPrice = m_RevCost = m_RevPrice = m_DefaultPrice = Money();
    m_bAllPriced = true;
}

void CItemPrice::LoadItemServices(CItemSet *item, bool silent, PricingCache *cache)
{
    m_pItem = item;
    m_bSilent = silent;
    Reset();
    // Without the caller's cache every load reads the shop tables afresh.
    if (cache) {
        m_ownCache.reset();
        m_pCache = cache;
    } else {
        m_ownCache = std::make_unique<PricingCache>();
        m_pCache = m_ownCache.get();
    }
    if (!item)
        return;
    m_nJobType = m_pCache->JobType(item->m_JobID);

    // The item's rows, kept in SerNo order: from the run's cache, which reads
    // the whole job once, or else read here.
    const std::vector<CItemSet> *held =
        cache ? m_pCache->ItemRows(item->m_JobID, item->m_ItemNo, item->m_SubNo) : nullptr;
    m_ownRows.clear();
    if (held) {
        // Nothing left open on an item this engine priced before.
        if (m_items.IsOpen())
            m_items.Close();
    } else {
        if (!OpenItemRowSet())
            return;
        for (; !m_items.IsEOF(); m_items.MoveNext())
            m_ownRows.emplace_back(m_items);
        held = &m_ownRows;
    }
    const std::vector<CItemSet> &rows = *held;
    // All their services at once.
    m_serNos.clear();
    for (const CItemSet &row : rows) {
        if (row.m_SerNo > 0)
            m_serNos.push_back(row.m_SerNo);
    }
    m_pCache->LoadServices(m_serNos);

    bool anyRow = false;
    bool stopped = false;
    for (const CItemSet &row : rows) {
        anyRow = true;
        if (row.m_SerNo == 0) {
            m_nItemRowId = row.m_ItemID;
            m_nItemQty = row.m_ChargeQty > 0 ? row.m_ChargeQty : 1;
            m_nItemSheets = row.m_Sheets > 0 ? row.m_Sheets : 1;
            m_nPriceLevel = row.m_Side2;
            m_bRoundPrices = row.m_Opt2 != 0;
            m_nQtyUnit = row.m_Opt1;
            m_fWidth = row.m_Width;
            m_fHeight = row.m_Height;
            m_LastCost = row.m_Cost;
            m_LastPrice = row.m_Price;
            m_nPriceLock = row.m_Mix;
            m_nPriceState = row.m_Regis;
            m_strDescription = row.m_Description;
            m_strItemLabel = row.GetItemNoText(QStringLiteral("ITEM "));
        } else {
            if (!m_services.count(row.m_SerNo)) {
                std::shared_ptr<const CSerSet> found = m_pCache->Service(row.m_SerNo);
                if (!found) {
                    if (!m_bSilent)
                        AnswersOutsideLock::MessageBox(
                            QStringLiteral("Service No %1 is not found. To price the Item, delete the Service "
                                           "from Item Specs.")
                                .arg(row.m_SerNo),
                            QString(), platform::MB_OK | platform::MB_ICONINFORMATION);
                    stopped = true;
                    break;
                }
                m_services.emplace(row.m_SerNo, std::move(found));
            }
            const CSerSet &ser = *m_services[row.m_SerNo];
            if (IsPaperRow(ser)) {
                m_paperRows.push_back(row.m_ItemID);
                m_nPaperRowId = row.m_ItemID;
                m_nPaperCatNo = ser.m_CatNo;
                m_strPaperSize = ser.m_Size;
                m_nCoverage = row.m_Covrg;
                m_nRegister = row.m_Regis;
                m_nBleed = row.m_Bleed;
                m_nPrintAs = row.m_PrtAs;
                m_fPaperSetTime = ser.m_SetTime;
                m_fPaperImpHour = ser.m_ImpHour;
                m_bBothSides = row.m_Side1 != 0 && row.m_Side2 != 0;
                m_nPaperUp = row.m_Up;
            } else if (IsPressRow(ser)) {
                m_nPressRowId = row.m_ItemID;
                m_nPressSerNo = ser.m_SerNo;
                m_nWashes = row.m_Wash;
                m_nMixes = row.m_Mix;
                m_nPressColors = ser.m_Colors;
                m_nPressWasteBy = ser.m_WasteBy;
                m_fPressSetTime = ser.m_SetTime;
                m_fPressImpHour = ser.m_ImpHour;
                m_bDigital = IsDigitalCategory(ser.m_CatNo);
                m_bUsePaperProps = ser.m_TimeBy == 1;
                m_nPlateSetTime = 0;
                if (!m_bUsePaperProps) {
                    for (int r = 0; r < 5; ++r) {
                        if (ser.m_SetUp[r * 4] == 2) {
                            m_nPlateSetTime = ser.m_SetUp[r * 4 + 1];
                            break;
                        }
                    }
                }
            } else {
                if (ser.m_CatNo == 6) {
                    m_nPlateTotal += row.m_Out;
                    if (ser.m_QtyBy == 0)
                        m_nPlatesOwnQty += row.m_Out;
                }
                if (ser.m_WasteBy != 0) {
                    m_nFinishSetWaste += qint32(ser.m_SetTime);
                    m_dFinishRunWaste += ser.m_ImpHour;
                }
            }
        }
        m_rows[row.m_ItemID] = row;
        m_savedCost[row.m_ItemID] = row.m_Cost;
        m_savedPrice[row.m_ItemID] = row.m_Price;
    }
    m_bLoaded = !stopped;
    if (stopped) {
        // An engine that stopped on a missing service prices nothing.
        m_services.clear();
        return;
    }
    if (!anyRow)
        return;

    LoadMarkupTable();
    if (m_paperRows.empty())
        return;
    m_dMinutesPerPlate = m_bUsePaperProps ? double(m_fPaperSetTime) : m_nPlateSetTime / 100.0;
    LoadWasteTable();
    LoadDifficultyTables(m_nPressSerNo, m_nPaperCatNo, m_strPaperSize);
    if (m_Waste[20][0] > 0 && m_Waste[20][0] < m_nFinishSetWaste)
        m_nFinishSetWaste = m_Waste[20][0];
    const double capPercent = m_Waste[20][1] / 100.0;
    if (capPercent > 0 && capPercent < m_dFinishRunWaste)
        m_dFinishRunWaste = capPercent;
}

void CItemPrice::LoadMarkupTable()
{
    if (!m_pCache) {
        m_ownCache = std::make_unique<PricingCache>();
        m_pCache = m_ownCache.get();
    }
    std::memcpy(m_Markup, m_pCache->Markup(), sizeof m_Markup);
}

void CItemPrice::LoadWasteTable()
{
    if (!m_pCache) {
        m_ownCache = std::make_unique<PricingCache>();
        m_pCache = m_ownCache.get();
    }
    std::memcpy(m_Waste, m_pCache->Waste(), sizeof m_Waste);
}

bool CItemPrice::LoadWorkRow(qint32 itemId)
{
    if (itemId == 0)
        return false;
    const auto it = m_rows.find(itemId);
    if (it == m_rows.end())
        return false;
    m_work = it->second;
    if (m_work.m_SerNo == 0) {
        m_pSer = nullptr;
        return true;
    }
    m_pSer = Service(m_work.m_SerNo);
    return m_pSer != nullptr;
}

void CItemPrice::StoreWorkRow()
{
    m_rows[m_work.m_ItemID] = m_work;
}

int CItemPrice::GetPriceChangeState(Money saved, Money defaultPrice)
{
    if (saved > defaultPrice && defaultPrice > Money())
        return 11;
    if (saved < defaultPrice && saved > Money())
        return 12;
    return 10;
}

QString CItemPrice::ItemTitle() const
{
    return m_strItemLabel + QLatin1Char(' ') + m_strDescription.left(50);
}

void CItemPrice::ShowItemMessage(const QString &text, unsigned icon)
{
    // Inside a save's transaction, said once it has rolled back (see
    // AnswersOutsideLock), as every question of the pricing is asked.
    AnswersOutsideLock::MessageBox(ItemTitle() + QStringLiteral("\n\n") + text, QString(), platform::MB_OK | icon);
}

void CItemPrice::RoundNewPrice()
{
    QString limitsText;
    QString stepsText;
    if (!m_pCache || !m_pCache->RoundingLists(limitsText, stepsText))
        return;
    // The limits ascend; the step of the first limit at or above the price
    // applies (the last one above every limit).
    const QStringList limits = limitsText.split(QLatin1Char(','));
    int count = 0;
    qint32 limit = 1;
    for (const QString &entry : limits) {
        const qint32 l = ToInt(entry);
        if (l < limit)
            break;
        limit = l;
        ++count;
        if (!(m_NewPrice.units() > qint64(l) * 100))
            break;
    }
    const QStringList steps = stepsText.split(QLatin1Char(','));
    qint32 step = 0;
    for (int i = 0; i < count && i < steps.size(); ++i)
        step = ToInt(steps[i]);
    if (step < 2)
        step = 1;

    const qint64 stepUnits = qint64(step) * 100;
    const qint64 rounded = qint64(double(m_NewPrice.units()) / (step * 100.0) + 0.999999) * stepUnits;
    qint64 difference = rounded - m_NewPrice.units();
    const double ratio = m_NewPrice.isZero() ? 0.0 : double(difference) / double(m_NewPrice.units());
    m_NewPrice = Money::fromUnits(rounded);
    if (difference <= 0)
        return;
    CItemSet *last = nullptr;
    for (auto &[id, row] : m_rows) {
        if (row.m_SerNo == 0 || row.m_Price <= kNoCharge)
            continue;
        const qint64 add = qint64(double(row.m_Price.units()) * ratio / 100) * 100;
        row.m_Price += Money::fromUnits(add);
        difference -= add;
        last = &row;
    }
    if (difference > 0 && last)
        last->m_Price += Money::fromUnits(difference / 100 * 100);
}

void CItemPrice::SpreadItemPrice(Money price)
{
    if (!(price > Money()) || !(m_RevPrice > kNoCharge) || price == m_NewPrice)
        return;
    // A new price of zero has no proportion to keep: every service gets 0 and
    // the whole price goes to the last priced one (there is none when every
    // row is unpriced, and then nothing is spread).
    const double ratio = m_NewPrice > Money() ? double(price.units()) / double(m_NewPrice.units()) : 0.0;
    m_NewPrice = m_RevPrice = price;
    qint64 left = price.units();
    CItemSet *last = nullptr;
    for (auto &[id, row] : m_rows) {
        if (row.m_SerNo == 0 || row.m_Price <= kNoCharge)
            continue;
        const qint64 share = qint64(double(row.m_Price.units()) * ratio / 100) * 100;
        row.m_Price = Money::fromUnits(share);
        left -= share;
        last = &row;
    }
    if (left > 0 && last)
        last->m_Price += Money::fromUnits(left);
}

int CItemPrice::PriceItem(int quantity)
{
    return PriceAndChoose(quantity, true);
}

int CItemPrice::PriceItemUnsaved(int quantity)
{
    m_nChosen = 0;
    const int choice = PriceAndChoose(quantity, false);
    if (m_bSilent || choice == 0)
        return 0;
    // A price or cost past the largest amount, of the item or of its job, is
    // refused now, while nothing holds the file.
    if (const QString refusal = PastLargestOfChoice(choice); !refusal.isEmpty()) {
        ShowItemMessage(refusal + QStringLiteral("\n\nThe item's prices are not saved."), platform::MB_ICONEXCLAMATION);
        return 0;
    }
    m_nChosen = choice;
    return choice;
}

bool CItemPrice::SaveChosenRows(QString *refusal)
{
    if (m_nChosen == 0)
        return false;
    // The rows as they are stored now: the caller has checked that they are
    // the ones priced, and nothing of another user's is asked about here.
    try {
        if (m_items.IsOpen())
            m_items.Requery();
        else if (!OpenItemRowSet())
            return false;
    } catch (const platform::DbException &) {
        return false;
    }
    const bool ok = WriteRows(m_nChosen, m_bSpread, refusal);
    if (m_pCache && m_pItem)
        m_pCache->ItemRowsWritten(m_pItem->m_JobID, m_pItem->m_ItemNo, m_pItem->m_SubNo);
    return ok;
}

QString CItemPrice::PastLargestOfChoice(int choice) const
{
    if (!m_bAllPriced || !m_pItem)
        return QString();
    Money itemCost;
    Money itemPrice;
    ChosenFigures(choice, itemCost, itemPrice);
    return PastLargestAmount(m_pItem->m_JobID, m_pItem->m_ItemNo, m_pItem->m_SubNo, itemCost, itemPrice);
}

void CItemPrice::ChosenFigures(int choice, Money &itemCost, Money &itemPrice) const
{
    const bool newCost = choice == DefaultCostDefaultPrice || choice == DefaultCostLastPrice
                         || choice == DefaultCostRevisedPrice;
    const bool newPrice = choice == DefaultCostDefaultPrice || choice == RevisedCostDefaultPrice;
    itemCost = newCost ? m_NewCost : m_RevCost;
    itemPrice = newPrice ? m_NewPrice : m_RevPrice;
}

int CItemPrice::PriceAndChoose(int quantity, bool write)
{
    ++m_nPass;
    m_bSpread = false;
    m_NewCost = m_NewPrice = m_RevCost = m_RevPrice = Money();
    m_bAllPriced = true;
    m_strPastBound.clear();
    // An item whose loading stopped on a missing service (the user was told
    // to remove it) is neither priced nor written: its saved figures stay.
    if (!m_bLoaded) {
        m_bAllPriced = false;
        return 0;
    }
    if (quantity > 0)
        m_nItemQty = quantity;
    // A quantity past the largest count (one stored by an older program, or
    // asked for by a caller) is refused as such; what it makes is not looked at.
    if (!IsWithinLargestCount(m_nItemQty))
        m_strPastBound = TooLargeCountText(QStringLiteral("Quantity"));

    ComputePaperQuantity();
    ComputePressQuantity();

    bool anyService = false;
    for (auto &[id, stored] : m_rows) {
        if (stored.m_SerNo == 0 || !Service(stored.m_SerNo))
            continue;
        anyService = true;
        LoadWorkRow(id);
        PriceService();
        StoreWorkRow();
        const CItemSet &row = m_rows[id];
        if (row.m_Price.isZero())
            m_bAllPriced = false;
        if (row.m_Cost != kNoCharge)
            m_NewCost += row.m_Cost;
        if (row.m_Price != kNoCharge)
            m_NewPrice += row.m_Price;
        Money savedCost = m_savedCost[id];
        Money savedPrice = m_savedPrice[id];
        if (savedCost.isZero())
            savedCost = row.m_Cost;
        if (savedPrice.isZero())
            savedPrice = row.m_Price;
        if (savedCost != kNoCharge)
            m_RevCost += savedCost;
        if (savedPrice != kNoCharge)
            m_RevPrice += savedPrice;
    }

    if (!m_NewPrice.isValid() || !IsWithinLargestAmount(m_NewPrice.units()))
        HeldAmount(m_NewPrice.isValid() ? __int128(m_NewPrice.units()) : __int128(std::numeric_limits<qint64>::max()) + 1,
                   FigureName("Price of ", m_strItemLabel));
    if (!m_NewCost.isValid() || !IsWithinLargestAmount(m_NewCost.units()))
        HeldAmount(m_NewCost.isValid() ? __int128(m_NewCost.units()) : __int128(std::numeric_limits<qint64>::max()) + 1,
                   FigureName("Cost of ", m_strItemLabel));
    // A figure past what the program holds: the item is not priced, and
    // nothing of it is written.
    if (!m_strPastBound.isEmpty()) {
        m_bAllPriced = false;
        m_NewCost = m_NewPrice = m_DefaultPrice = Money();
        m_nChoice = 0;
        if (!m_bSilent && !m_bPastLargestByCaller) {
            QString text = m_strPastBound;
            text[0] = text.at(0).toUpper();
            ShowItemMessage(text + QStringLiteral("\n\nThe item's prices are not saved."), platform::MB_ICONEXCLAMATION);
        }
        return 0;
    }

    if (m_bAllPriced && m_NewPrice.isZero())
        m_NewPrice = kNoCharge;
    else if (!m_bAllPriced)
        m_NewPrice = Money();

    if (m_NewPrice > kNoCharge && m_bRoundPrices)
        RoundNewPrice();
    m_DefaultPrice = m_NewPrice;

    if (m_bSilent)
        return m_NewPrice.isZero() ? 0 : 1;

    // Which figures to keep, by the shop's rule.
    const qint32 option = GetOptionValue(m_pOwner ? 44312 : 44313, 0);
    int choice = m_nPresetChoice;
    if (option == 2 || (option == 3 && m_nPriceLock == 0) || (option == 4 && m_nPriceLock == 0 && m_nPriceState == 10)
        || m_nPriceLevel == 5 || m_nPriceLevel == 6 || m_LastPrice.isZero() || m_NewPrice.isZero())
        choice = DefaultCostDefaultPrice;
    m_nChoice = choice;

    bool spread = false;
    if (m_nPriceLevel == 5 || m_nPriceLevel == 6) {
        AskItemPrice(m_RevPrice);
        spread = true;
    }

    const bool costChanged = !m_LastCost.isZero() && (m_NewCost != m_LastCost || m_NewCost != m_RevCost);
    const bool priceChanged = !m_LastPrice.isZero() && (m_NewPrice != m_LastPrice || m_NewPrice != m_RevPrice);
    if (m_bAllPriced && m_NewCost.isZero())
        m_NewCost = kNoCharge;

    if (m_nPresetChoice != DefaultCostDefaultPrice && !m_LastPrice.isZero() && !m_NewPrice.isZero()) {
        if (!anyService)
            ShowItemMessage(QStringLiteral("Item has no Services; therefore, its price will be saved as 'No Charge'."),
                            platform::MB_ICONINFORMATION);
        else if (!m_bAllPriced)
            ShowItemMessage(QStringLiteral("Some Services have no price; therefore, its price will be saved as zero "
                                           "(not priced)."),
                            platform::MB_ICONWARNING);
        else if (!costChanged && !priceChanged)
            ShowItemMessage(QStringLiteral("Same Cost\nSame Price"), platform::MB_ICONINFORMATION);
    }
    const PriceChangeDialog &dialog = m_priceChangeDialog ? m_priceChangeDialog : defaultPriceChangeDialog();
    if (m_bAllPriced && (costChanged || priceChanged) && choice == NoChoiceYet && dialog) {
        // The dialog is given the figures it shows, held apart from this
        // engine: a save asks it once its transaction has rolled back.
        const QString title = m_strItemLabel + QStringLiteral("  ") + m_strDescription.left(50);
        std::shared_ptr<CItemPrice> figures = FiguresShown();
        const QString key = QStringLiteral("price change\n%1\n%2 %3 %4 %5 %6 %7 %8 %9")
                                .arg(title)
                                .arg(m_NewCost.units())
                                .arg(m_NewPrice.units())
                                .arg(m_RevCost.units())
                                .arg(m_RevPrice.units())
                                .arg(m_LastCost.units())
                                .arg(m_LastPrice.units())
                                .arg(m_nPriceLock)
                                .arg(m_nPriceState);
        choice = AnswersOutsideLock::Answer(SharedDatabase(), key,
                                            [dialog, figures, title] { return dialog(*figures, title); });
        m_nChoice = choice;
        if (m_pOwner && (m_pOwner->servicesAdded != 0 || m_pOwner->servicesRemoved != 0)
            && (choice == DefaultCostLastPrice || choice == RevisedCostLastPrice)) {
            SpreadItemPrice(m_LastPrice);
            spread = true;
        }
    }

    if (choice == 0)
        return 0;
    if (choice == NoChoiceYet)
        choice = DefaultCostDefaultPrice;
    m_nChoice = choice;
    m_bSpread = spread;
    if (!write)
        return choice;
    return SaveRows(choice, spread) ? choice : 0;
}

bool CItemPrice::OpenItemRowSet()
{
    if (!m_pItem)
        return false;
    m_items.m_strFilter = QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = %3 and SerNo > -1")
                              .arg(m_pItem->m_JobID)
                              .arg(m_pItem->m_ItemNo)
                              .arg(m_pItem->m_SubNo);
    m_items.m_strSort = QStringLiteral("SerNo");
    m_items.Open(CXDaoSet::dbOpenDynaset);
    return m_items.IsOpen();
}

bool CItemPrice::SaveRows(int choice, bool spreadTyped)
{
    // Rows taken from the run's cache are written through a set opened now.
    if (!m_items.IsOpen() && !OpenItemRowSet())
        return false;
    const bool ok = WriteRows(choice, spreadTyped);
    // This item's rows are changed; the other items' rows the cache holds
    // are not.
    if (m_pCache && m_pItem)
        m_pCache->ItemRowsWritten(m_pItem->m_JobID, m_pItem->m_ItemNo, m_pItem->m_SubNo);
    return ok;
}

QString CItemPrice::PastLargestAmount(qint32 jobId, qint32 itemNo, qint32 subNo, Money itemCost, Money itemPrice)
{
    // The figures as the job's totals count them: the No Charge marker and
    // zero count nothing.
    const auto counted = [](Money m) {
        return m.units() > 1 || m.units() < -1 ? Money::fromUnits(m.units()) : Money();
    };
    if (!IsWithinLargestAmount(counted(itemPrice).units()))
        return TooLargeAmountText(QStringLiteral("Item Price"));
    if (!IsWithinLargestAmount(counted(itemCost).units()))
        return TooLargeAmountText(QStringLiteral("Item Cost"));
    try {
        // The job's other items, as its Subtotal and Cost sum their service
        // rows and its taxes their taxable item rows.
        const auto valueOf = [&](const QString &sql) {
            platform::Recordset rs(SharedDatabase());
            rs.open(platform::Recordset::Type::Snapshot, sql,
                    {platform::Value(jobId), platform::Value(itemNo), platform::Value(subNo)});
            return rs.isEOF() ? platform::Value() : rs.value(0);
        };
        const auto sumOf = [&](const QString &sql) {
            const platform::Value v = valueOf(sql);
            return v.isNull() ? Money() : Money::fromUnits(v.toMoney().units());
        };
        const QString others = QStringLiteral("FROM Items WHERE JobID = ? and not (ItemNo = ? and SubNo = ?) and ");
        const Money otherPrices = sumOf(QStringLiteral("SELECT Sum(Price) ") + others
                                        + QStringLiteral("SerNo <> 0 and (Price < -0.0001 or Price > 0.0001)"));
        const Money otherCosts = sumOf(QStringLiteral("SELECT Sum(Cost) ") + others
                                       + QStringLiteral("SerNo <> 0 and (Cost < -0.0001 or Cost > 0.0001)"));
        const Money otherTaxable =
            sumOf(QStringLiteral("SELECT Sum(Price) ") + others
                  + QStringLiteral("SerNo = 0 and Bleed = 0 and (Price < -0.0001 or Price > 0.0001)"));
        const bool taxed = valueOf(QStringLiteral("SELECT Count(*) FROM Items WHERE JobID = ? and ItemNo = ? and "
                                                  "SubNo = ? and SerNo = 0 and Bleed = 0"))
                               .toInt()
            > 0;
        const Money taxableItem = taxed ? counted(itemPrice) : Money();
        // The job with the item's figures in place, its discount, taxes and
        // total worked as its window works them; nothing is saved.
        CJobSet job(&SharedDatabase());
        if (!job.FindById(jobId) || job.IsEmptySet() || job.IsCreditOrCredited())
            return QString();
        job.m_Subtotal = otherPrices + counted(itemPrice);
        job.m_Cost = otherCosts + counted(itemCost);
        if (!job.m_Subtotal.isValid() || !job.m_Cost.isValid())
            return TooLargeAmountText(job.m_Subtotal.isValid() ? QStringLiteral("Job Cost")
                                                               : QStringLiteral("Subtotal"));
        job.CalcDiscount();
        job.CalcCommission();
        job.CalcSubtotal(otherTaxable + taxableItem);
        job.RecalcTotals(false);
        return job.AmountPastLargest();
    } catch (const platform::DbException &) {
        // The job cannot be read: the item's own figures decide.
    }
    return QString();
}

bool CItemPrice::WriteRows(int choice, bool spreadTyped, QString *refused)
{
    const bool newCost = choice == DefaultCostDefaultPrice || choice == DefaultCostLastPrice
                         || choice == DefaultCostRevisedPrice;
    const bool newPrice = choice == DefaultCostDefaultPrice || choice == RevisedCostDefaultPrice;
    Money itemCost;
    Money itemPrice;
    ChosenFigures(choice, itemCost, itemPrice);

    // A price or cost past the largest amount, of the item or of its job,
    // is refused by name; the item keeps the figures it had. A caller that
    // holds the file says it once the file is let go.
    if (const QString refusal = PastLargestOfChoice(choice); !refusal.isEmpty()) {
        const QString text = refusal + QStringLiteral("\n\nThe item's prices are not saved.");
        if (refused)
            *refused = ItemTitle() + QStringLiteral("\n\n") + text;
        else
            ShowItemMessage(text, platform::MB_ICONEXCLAMATION);
        return false;
    }

    // All rows or none: a failure on any row leaves the item as it was.
    bool ok = true;
    try {
        platform::Transaction transaction(SharedDatabase());
        for (m_items.MoveFirst(); !m_items.IsEOF(); m_items.MoveNext()) {
            if (!m_items.SafeEdit()) {
                ok = false;
                continue;
            }
            if (m_items.m_SerNo == 0) {
                if (!m_bAllPriced) {
                    m_items.m_Cost = Money();
                    m_items.m_Price = Money();
                } else {
                    m_items.m_Cost = itemCost;
                    m_items.m_Price = itemPrice;
                }
                m_items.m_Regis = quint8(GetPriceChangeState(m_items.m_Price, m_DefaultPrice));
            } else {
                const auto it = m_rows.find(m_items.m_ItemID);
                if (it != m_rows.end() && Service(m_items.m_SerNo)) {
                    const CItemSet &computed = it->second;
                    const bool savedCostZero = m_items.m_Cost.isZero();
                    const bool savedPriceZero = m_items.m_Price.isZero();
                    if (savedCostZero || savedPriceZero || newCost) {
                        m_items.m_ActualTime = computed.m_ActualTime;
                        m_items.m_ChargeTime = computed.m_ChargeTime;
                        m_items.m_ActualQty = computed.m_ActualQty;
                        m_items.m_ChargeQty = computed.m_ChargeQty;
                        m_items.m_TimeCost = computed.m_TimeCost;
                        m_items.m_MatCost = computed.m_MatCost;
                        m_items.m_Cost = computed.m_Cost;
                        m_items.m_Data2 = computed.m_Data2;
                    }
                    if (savedPriceZero || newPrice || spreadTyped)
                        m_items.m_Price = computed.m_Price;
                }
                if (m_items.m_ItemID == m_nPressRowId) {
                    m_items.m_Out = m_counts.impressions;
                    if (m_nPaperRowId)
                        m_items.m_Up = m_nPaperUp > 0 ? m_nPaperUp : 1;
                }
            }
            if (!m_items.SafeUpdate())
                ok = false;
        }
        if (ok)
            transaction.commit();
    } catch (const platform::DbException &) {
        ok = false;
    }
    if (!ok) {
        // The rows in memory may hold edits that were rolled back.
        m_items.Requery();
    }
    return ok;
}
