#include "estimating/CItemSpecsData.h"
#include "data/AnswersOutsideLock.h"
#include <utility>

#include "app/base/CZqApp.h"
#include "app/base/Choices.h"
#include "app/base/Codes.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "app/base/TextUtil.h"
#include "app/base/TypedValue.h"
#include "data/CItemSetX.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/OptionsAndLookups.h"
#include "data/SettingRows.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <type_traits>

namespace {

using platform::Prompt;

constexpr int kAddPaperCommand = 30386;
constexpr int kAddPrinterCommand = 30387;
constexpr int kProductTypeCommand = 30380;
constexpr int kItemOptionsAlert = 251;
constexpr int kPrintingKindAlert = 100;
constexpr int kItemChecksOption = 44308;
constexpr qint32 kTieBreakNone = 0;

// A sum of counts worked in 64 bits, held within the 32 bits it is kept in.
qint32 HeldSum(qint64 sum)
{
    return qint32(std::clamp<qint64>(sum, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

bool isBlackIncluded(quint8 code)
{
    return code >= 1 && code <= 5;
}

// Colours besides black of one side.
int coloursBesidesBlack(quint8 code)
{
    if (code < 2)
        return 0;
    if (code <= 5)
        return code - 1;
    return code - 5;
}

QString rowState(const CItemSet &r)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11|%12|%13|%14|%15|%16|%17|%18|%19|%20|%21")
        .arg(r.m_ItemID)
        .arg(r.m_SerNo)
        .arg(r.m_Note)
        .arg(r.m_SortNo)
        .arg(r.m_Sheets)
        .arg(r.m_Pages)
        .arg(r.m_Out)
        .arg(r.m_Up)
        .arg(r.m_Data1)
        .arg(r.m_Side1)
        .arg(r.m_Side2)
        .arg(r.m_Covrg)
        .arg(r.m_Regis)
        .arg(r.m_Bleed)
        .arg(r.m_PrtAs)
        .arg(r.m_Vendor)
        .arg(r.m_Wash)
        .arg(r.m_Mix)
        .arg(r.m_strRunSize + r.m_strFinishSize + r.m_strPlainNote + r.m_strFrontInks + r.m_strBackInks)
        .arg(QStringLiteral("%1,%2,%3,%4").arg(r.m_Opt1).arg(r.m_Opt2).arg(r.m_Opt3).arg(r.m_Opt4))
        .arg(QStringLiteral("%1,%2").arg(r.m_EmpNo).arg(r.m_Tag1));
}

template <typename T, typename U>
void copyCounted(T &target, const U &value, int &counter)
{
    if (target != value) {
        target = value;
        ++counter;
    }
}

} // namespace

CItemSpecsData::CItemSpecsData(CItemSet *item)
    : m_pItem(item)
{
    // The shop's first printer kind: 1 or 3 in the first entry of its
    // printing settings row means a digital printer.
    const QString kind = GetGlobalAlertText(kPrintingKindAlert, 0, QStringLiteral("0"));
    m_bDigital = kind == QLatin1String("1") || kind == QLatin1String("3");
}

CItemSpecsData::~CItemSpecsData() = default;

// ---------------------------------------------------------------------------
// Opening

bool CItemSpecsData::Load()
{
    CJobSet job;
    if (!m_pItem || !job.FindById(m_pItem->m_JobID, false))
        return false;
    m_nJobType = job.m_JobType;
    job.GetJobLabel(m_strJobLabel);

    const qint32 jobId = m_pItem->m_JobID;
    // A new item has no stored rows yet.
    std::map<qint32, CItemSet> stored;
    int joined = 0;
    std::vector<qint32> joinOrder;
    if (m_pItem->m_ItemID > 0) {
        CItemSet all;
        if (all.OpenServicesOfItem(*m_pItem, CItemSet::AllRows)) {
            for (; !all.IsEOF(); all.MoveNext())
                stored.emplace(all.m_ItemID, all);
        }
        CItemSetX join;
        if (join.OpenItemServices(jobId, m_pItem->m_ItemNo, m_pItem->m_SubNo)) {
            // Only the join's order is taken from it.
            for (; !join.IsEOF(); join.MoveNext()) {
                ++joined;
                joinOrder.push_back(join.m_ItemID);
            }
        }
        if (joined != int(stored.size())) {
            m_strDiscrepancy = QStringLiteral("This Item has a discrepancy: %1 vs %2").arg(joined).arg(stored.size());
            Prompt::messageBox(m_strDiscrepancy);
        }
    }

    for (qint32 id : joinOrder) {
        const auto it = stored.find(id);
        if (it == stored.end())
            continue;
        const CItemSet &row = it->second;
        if (row.m_SerNo == 0) {
            m_readHeader = std::make_unique<CItemSet>(row);
            m_nQuantity = row.m_ChargeQty;
            m_nSheets = row.m_Sheets;
            m_nPages = row.m_Pages;
            m_nProductType = row.m_Side1;
            m_nPriceLevel = row.m_Side2;
            m_nUnit = row.m_Opt1;
            m_nRounding = row.m_Opt2;
            m_nUnitFormat = row.m_Opt3;
            m_strDescription = row.m_Description;
            m_strNote = row.m_Note;
            m_strSize = FormatSize(row.m_Width, row.m_Height);
            if (row.m_Up != 0) {
                QString ref;
                if (CZqApp *app = ZqApp())
                    app->GetHistoryRefText(ref, row.m_Up);
                m_strCopiedFrom = QStringLiteral(" - Copied from ") + ref;
            }
            continue;
        }
        const CSerSet *service = Service(row.m_SerNo);
        if (!service)
            continue;
        m_readRows.insert_or_assign(id, row);
        CItemSet copy(row);
        if (IsPaperCategory(service->m_CatNo) && m_finder.FindBySerNo(row.m_SerNo))
            copy.SplitNoteParts(m_finder);
        m_rows.insert_or_assign(id, copy);
        m_serviceRows[id] = m_services[row.m_SerNo];
        m_order.push_back(id);
        m_readIds.push_back(id);
        if (IsPaperCategory(service->m_CatNo) && m_nPaperId == 0)
            m_nPaperId = id;
        if (IsPrintingCategory(service->m_CatNo)) {
            m_nPressId = id;
            m_bDigital = IsDigitalCategory(service->m_CatNo);
        }
    }
    CountPapers();
    m_strReadState = Snapshot();
    return true;
}

// ---------------------------------------------------------------------------
// The working set

CItemSet *CItemSpecsData::Row(qint32 id)
{
    const auto it = m_rows.find(id);
    return it == m_rows.end() ? nullptr : &it->second;
}

const CItemSet *CItemSpecsData::Row(qint32 id) const
{
    const auto it = m_rows.find(id);
    return it == m_rows.end() ? nullptr : &it->second;
}

const CSerSet *CItemSpecsData::ServiceOf(qint32 id) const
{
    const auto it = m_serviceRows.find(id);
    return it == m_serviceRows.end() ? nullptr : it->second.get();
}

const CSerSet *CItemSpecsData::Service(qint32 serNo)
{
    if (serNo <= 0)
        return nullptr;
    const auto it = m_services.find(serNo);
    if (it != m_services.end())
        return it->second.get();
    if (!m_finder.FindBySerNo(serNo))
        return nullptr;
    auto copy = std::make_shared<CSerSet>();
    *copy = m_finder;
    m_services[serNo] = copy;
    return copy.get();
}

qint32 CItemSpecsData::FindRowOfService(qint32 serNo) const
{
    for (qint32 id : m_order) {
        if (m_rows.at(id).m_SerNo == serNo)
            return id;
    }
    return 0;
}

qint32 CItemSpecsData::SortKeyOf(qint32 serNo)
{
    const CSerSet *service = Service(serNo);
    if (!service)
        return 0;
    int categorySort = 0;
    if (CZqApp *app = ZqApp())
        categorySort = app->GetCategorySortNo(service->m_CatNo);
    return categorySort * 2000 + service->m_SortNo;
}

bool CItemSpecsData::IsPaperRow(qint32 id) const
{
    const CSerSet *s = ServiceOf(id);
    return s && IsPaperCategory(s->m_CatNo);
}

bool CItemSpecsData::IsPressRow(qint32 id) const
{
    const CSerSet *s = ServiceOf(id);
    return s && IsPrintingCategory(s->m_CatNo);
}

bool CItemSpecsData::IsPlateRow(qint32 id) const
{
    const CSerSet *s = ServiceOf(id);
    return s && IsCategory6(s->m_CatNo);
}

qint32 CItemSpecsData::InsertRow(CItemSet &row, const std::shared_ptr<CSerSet> &service)
{
    const qint32 id = row.m_ItemID;
    // A new line goes before the first line of a later place in the catalogue.
    const qint32 key = SortKeyOf(row.m_SerNo);
    auto at = m_order.end();
    for (auto it = m_order.begin(); it != m_order.end(); ++it) {
        if (SortKeyOf(m_rows.at(*it).m_SerNo) > key) {
            at = it;
            break;
        }
    }
    m_rows.insert_or_assign(id, row);
    m_serviceRows[id] = service;
    m_order.insert(at, id);
    return id;
}

void CItemSpecsData::EraseRow(qint32 id)
{
    m_rows.erase(id);
    m_serviceRows.erase(id);
    m_order.erase(std::remove(m_order.begin(), m_order.end(), id), m_order.end());
}

void CItemSpecsData::Follow(qint32 serNo, bool added)
{
    if (m_hooks.pickerFollow)
        m_hooks.pickerFollow(serNo, added);
}

qint32 CItemSpecsData::AddService(qint32 serNo, bool askSpecs)
{
    if (!Service(serNo))
        return 0;
    const std::shared_ptr<CSerSet> service = m_services[serNo];
    CItemSet row;
    row.m_ItemID = NewRowId();
    row.m_SerNo = serNo;
    row.m_EmpNo = service->m_Operator;
    row.m_Tag1 = service->m_Tag;
    row.m_Status = 0;
    qint32 id = row.m_ItemID;

    if (IsPaperCategory(service->m_CatNo)) {
        const bool first = m_nPaperCount == 0;
        row.m_Vendor = service->m_VendorNo;
        row.m_Side1 = 1;
        row.m_Sheets = first ? m_nSheets : 1;
        row.m_Pages = first ? m_nSheets : 1;
        row.m_Out = 1;
        row.m_Up = 1;
        row.m_strPaperSize = service->m_Size.trimmed();
        row.m_strRunSize = row.m_strPaperSize;
        row.m_strFinishSize = m_strFlatSize.isEmpty() ? row.m_strPaperSize : m_strFlatSize;
        InsertRow(row, service);
        m_nPaperId = id;
        CountPapers();
        Follow(serNo, true);
        if (IsCategory105(service->m_CatNo))
            SetServiceQuantity(kCarbonlessPadding, 1, false);
        else if (m_nPaperCount < 2)
            RemoveServiceBySerNo(kCarbonlessPadding);
        if (!service->m_SerRemind.isEmpty())
            Prompt::messageBox(service->m_SerRemind, QString(), platform::MB_ICONINFORMATION);
        if (askSpecs)
            EditService(id, 4);
    } else if (IsPrintingCategory(service->m_CatNo)) {
        AddPrinter(row, service);
        Follow(serNo, true);
    } else {
        InsertRow(row, service);
        Follow(serNo, true);
        if (askSpecs && (!service->m_AskHowMany.isEmpty() || !service->m_SerRemind.isEmpty()))
            EditService(id, 0);
    }
    AddFollowUps(serNo);
    return id;
}

void CItemSpecsData::AddPrinter(CItemSet &row, const std::shared_ptr<CSerSet> &service)
{
    const bool digital = IsDigitalCategory(service->m_CatNo);
    const qint32 oldId = m_nPressId;
    const CSerSet *oldService = oldId ? ServiceOf(oldId) : nullptr;
    if (const CItemSet *old = Row(oldId)) {
        row.m_Wash = old->m_Wash;
        row.m_Mix = old->m_Mix;
        row.m_Note = old->m_Note;
    }
    const qint32 oldCatNo = oldService ? oldService->m_CatNo : 0;
    const qint32 oldSerNo = oldService ? oldService->m_SerNo : 0;
    if (oldId) {
        EraseRow(oldId);
        ++m_nChanged[6];
        Follow(oldSerNo, false);
    }
    if (oldService && IsPressCategory(oldCatNo) && (digital || oldCatNo != service->m_CatNo)) {
        for (qint32 id : std::vector<qint32>(m_order)) {
            if (IsPlateRow(id))
                RemoveService(id);
        }
    }
    InsertRow(row, service);
    m_nPressId = row.m_ItemID;
    if (m_nPaperCount > 0 && digital != m_bDigital) {
        Prompt::messageBox(QStringLiteral("You've changed printer type to ") + (digital ? QStringLiteral("DIGITAL")
                                                                                    : QStringLiteral("PRESS"))
                           + QStringLiteral(".\n\nPlease check paper specs."));
    }
    m_bDigital = digital;
    if (!oldId && IsPressCategory(service->m_CatNo)) {
        CItemSet &press = m_rows.at(row.m_ItemID);
        CountWashMix(press.m_Wash, press.m_Mix);
    }
}

void CItemSpecsData::AddFollowUps(qint32 serNo)
{
    std::set<qint32> seen{serNo};
    const CSerSet *service = Service(serNo);
    while (service && service->m_AutoAdd > 0) {
        const qint32 next = service->m_AutoAdd;
        if (seen.count(next) || FindRowOfService(next) != 0)
            break;
        seen.insert(next);
        const CSerSet *follow = Service(next);
        if (!follow || IsPaperCategory(follow->m_CatNo) || IsPrintingCategory(follow->m_CatNo))
            break;
        CItemSet row;
        row.m_ItemID = NewRowId();
        row.m_SerNo = next;
        row.m_EmpNo = follow->m_Operator;
        row.m_Tag1 = follow->m_Tag;
        row.m_Status = 0;
        InsertRow(row, m_services[next]);
        Follow(next, true);
        service = follow;
    }
}

void CItemSpecsData::RemoveService(qint32 id)
{
    const CItemSet *row = Row(id);
    if (!row)
        return;
    const qint32 serNo = row->m_SerNo;
    const bool paper = IsPaperRow(id);
    const bool press = id == m_nPressId;
    EraseRow(id);
    ++m_nChanged[6];
    Follow(serNo, false);
    if (paper) {
        m_nPaperId = 0;
        for (qint32 other : m_order) {
            if (IsPaperRow(other)) {
                m_nPaperId = other;
                break;
            }
        }
        CountPapers();
        if (m_nPaperCount == 0) {
            RemoveServiceBySerNo(kCutToRunSize);
            RemoveServiceBySerNo(kCutToFinishSize);
        }
        OnInksChanged();
    }
    if (press) {
        m_nPressId = 0;
        for (qint32 other : std::vector<qint32>(m_order)) {
            if (IsPlateRow(other))
                RemoveService(other);
        }
    }
}

void CItemSpecsData::RemoveServiceBySerNo(qint32 serNo)
{
    if (const qint32 id = FindRowOfService(serNo))
        RemoveService(id);
}

void CItemSpecsData::RemoveAllServices()
{
    for (qint32 id : std::vector<qint32>(m_order)) {
        const qint32 serNo = m_rows.at(id).m_SerNo;
        EraseRow(id);
        ++m_nChanged[6];
        Follow(serNo, false);
    }
    m_nPaperId = 0;
    m_nPressId = 0;
    CountPapers();
}

qint32 CItemSpecsData::DuplicateService(qint32 id)
{
    const CItemSet *row = Row(id);
    if (!row)
        return 0;
    CItemSet copy(*row);
    copy.m_ItemID = NewRowId();
    const auto service = m_serviceRows.at(id);
    m_rows.insert_or_assign(copy.m_ItemID, copy);
    m_serviceRows[copy.m_ItemID] = service;
    const auto at = std::find(m_order.begin(), m_order.end(), id);
    m_order.insert(at == m_order.end() ? at : at + 1, copy.m_ItemID);
    if (IsPaperCategory(service->m_CatNo))
        CountPapers();
    return copy.m_ItemID;
}

void CItemSpecsData::SetServiceQuantity(qint32 serNo, qint32 quantity, bool removeAtZero)
{
    qint32 id = FindRowOfService(serNo);
    if (quantity == 0 && removeAtZero) {
        if (id)
            RemoveService(id);
        return;
    }
    if (!id)
        id = AddService(serNo, false);
    if (CItemSet *row = Row(id))
        row->m_Out = quantity;
}

bool CItemSpecsData::EditServiceNote(qint32 id, const QString &note)
{
    CItemSet *row = Row(id);
    if (!row || row->m_Note == note)
        return false;
    row->m_Note = note;
    if (IsPaperRow(id))
        row->m_strPlainNote = note;
    ++m_nChanged[7];
    return true;
}

void CItemSpecsData::EditService(qint32 id, int startRow)
{
    CItemSet *row = Row(id);
    const CSerSet *service = ServiceOf(id);
    if (!row || !service)
        return;
    if (!m_hooks.editServiceSpecs) {
        Prompt::messageBox(IsPaperCategory(service->m_CatNo)
                               ? QStringLiteral("The paper specs window is not yet available in this version of Tavrel.")
                               : QStringLiteral("The service specs window is not yet available in this version of Tavrel."));
        return;
    }
    CItemSet edited(*row);
    SpecsResult result;
    if (!m_hooks.editServiceSpecs(edited, *service, startRow, result))
        return;
    const int flags = result.flags;
    if (!IsPaperCategory(service->m_CatNo)) {
        if (edited.m_Out != row->m_Out)
            ++m_nChanged[4];
        if (edited.m_Note != row->m_Note)
            ++m_nChanged[7];
        *row = edited;
        return;
    }
    // A paper: a replaced paper takes the new service and its sizes.
    if (edited.m_SerNo != row->m_SerNo && Service(edited.m_SerNo)) {
        const auto replaced = m_services[edited.m_SerNo];
        m_serviceRows[id] = replaced;
        edited.m_strPaperSize = replaced->m_Size.trimmed();
    }
    *row = edited;
    CountPapers();
    // The paper's cutting layout counts the two cutting services.
    if (flags & SizesChanged) {
        const bool onePaper = m_nPaperCount < 2;
        SetServiceQuantity(kCutToRunSize, result.cutsToRun, onePaper);
        SetServiceQuantity(kCutToFinishSize, result.cutsToFinish, onePaper);
    }
    if (flags & InksChanged)
        OnInksChanged();
    if (flags & AddSecondPaper) {
        CItemSet second(edited);
        second.m_ItemID = NewRowId();
        second.m_Sheets = 1;
        second.m_Pages = 1;
        second.m_Side2 = 0;
        InsertRow(second, m_serviceRows.at(id));
        CountPapers();
    }
}

void CItemSpecsData::Reorder(const std::vector<qint32> &ids)
{
    std::vector<qint32> order;
    for (qint32 id : ids) {
        if (m_rows.count(id) && std::find(order.begin(), order.end(), id) == order.end())
            order.push_back(id);
    }
    // Rows the new order does not name keep their place at the end.
    for (qint32 id : m_order) {
        if (std::find(order.begin(), order.end(), id) == order.end())
            order.push_back(id);
    }
    m_order = order;
}

void CItemSpecsData::SetSheetsPerSet(qint32 sheets)
{
    m_nSheets = sheets;
    if (m_nPaperCount != 1)
        return;
    for (qint32 id : m_order) {
        if (IsPaperRow(id)) {
            CItemSet &paper = m_rows.at(id);
            paper.m_Sheets = sheets;
            paper.m_Pages = HeldSum(qint64(sheets) * GetSidesPrinted(paper.m_Side1, paper.m_Side2));
        }
    }
    CountPapers();
}

void CItemSpecsData::CountPapers()
{
    // Summed in 64 bits and held in the item's 32-bit fields: a sum past the
    // largest count is refused by name when the item is priced or saved,
    // never wrapped into a small or negative count.
    int count = 0;
    qint64 sheets = 0;
    qint64 pages = 0;
    qint64 blank = 0;
    QStringList padSides;
    for (qint32 id : m_order) {
        if (!IsPaperRow(id))
            continue;
        const CItemSet &paper = m_rows.at(id);
        ++count;
        sheets += paper.m_Sheets;
        pages += paper.m_Pages;
        blank += 2 * qint64(paper.m_Sheets) - paper.m_Pages;
        padSides << QString::number(GetSidesPrinted(paper.m_Side1, paper.m_Side2));
    }
    m_nPaperCount = quint8(std::min(count, 255));
    if (count == 0) {
        if (m_nSheets < 1)
            m_nSheets = 1;
        m_nPages = m_nSheets;
    } else {
        m_nSheets = HeldSum(sheets);
        m_nPages = HeldSum(pages);
    }
    if (m_nUnit == 7) {
        m_strSides = padSides.join(QStringLiteral(", "));
    } else {
        m_strSides = blank > 0 ? QStringLiteral("%1 printed + %2 blank").arg(m_nPages).arg(blank)
                               : QStringLiteral("%1 printed").arg(m_nPages);
        if (count > 1)
            m_strSides += QStringLiteral("   (from %1 papers)").arg(count);
    }
}

// ---------------------------------------------------------------------------
// Plates and print style

CItemSpecsData::PlateCounts CItemSpecsData::CountPlates(qint32 S, qint32 U, quint8 front, quint8 back, bool pads)
{
    PlateCounts counts;
    const int c1 = GetInkCount(front);
    const int c2 = GetInkCount(back);
    const int b1 = isBlackIncluded(front) ? 1 : 0;
    const int b2 = isBlackIncluded(back) ? 1 : 0;
    const int x1 = c1 - b1;
    const int x2 = c2 - b2;
    const int common = std::min(x1, x2) + (b1 && b2 ? 1 : 0);
    const int all = std::max(x1, x2) + (b1 || b2 ? 1 : 0);
    if (pads)
        S = 1;
    counts.regular = qint64(c1 + c2) * S;
    if (counts.regular < 2 || U < 2)
        return counts;
    counts.choice = true;
    const bool bothSides = c1 != 0 && c2 != 0;
    counts.sigPossible = U > 1 && S > 1;
    counts.turnPossible = bothSides && (front == back || common != 0);
    counts.a1 = qint64(std::trunc(double(S) / U + 0.99)) * 2 * all;
    counts.b = qint64(std::trunc(2.0 * S / U + 0.99)) * all;
    if (bothSides && front == back && counts.sigPossible) {
        if (counts.b < counts.a1) {
            counts.workSigPossible = true;
        } else if (counts.b == counts.a1) {
            // Which of the two ways needs fewer press sheets for the
            // originals that do not fill a whole sheet. The sheet counts go
            // by whole and half sheets: the divisions of whole numbers
            // truncate.
            const qint32 q = S / U;
            qint32 r = S % U;
            const qint32 h = U / 2;
            double f1 = q;
            double f2 = q;
            if (r != kTieBreakNone) {
                f1 += 1.0 / double(U / r);
                if (h < r) {
                    r = h > 0 ? r % h : 0;
                    f2 += 0.5;
                }
                if (r != 0)
                    f2 += 1.0 / double(h / r) / 2;
                else
                    f2 += 0.5;
            }
            counts.workSigPossible = f1 > f2;
        }
    }
    if (counts.sigPossible)
        counts.sig = qint64(c1 + c2) * qint64(std::trunc(double(S) / U + 0.999));
    if (counts.turnPossible)
        counts.turn = counts.regular / 2 + counts.regular % 2 + (qint64(all - common) * S) / 2;
    return counts;
}

quint8 CItemSpecsData::ProposeStyle(const PlateCounts &counts, quint8 stored)
{
    quint8 proposed = 1;
    if (counts.turnPossible)
        proposed = (stored >= 2 && stored <= 4) ? stored : 2;
    if (counts.sigPossible && (stored == 0 || stored == 5))
        proposed = 5;
    if (counts.workSigPossible && (stored == 0 || stored == 6))
        proposed = 6;
    return proposed;
}

QString CItemSpecsData::PlateCountText(qint64 count)
{
    // "1 Plate", else the grouped count: "0 Plates", "2,000,000,000 Plates".
    if (count == 1)
        return QStringLiteral("1 Plate");
    return FormatFixedPoint(count, 0, true) + QStringLiteral(" Plates");
}

qint64 CItemSpecsData::ChoosePrintStyle(qint32 S, qint32 U, quint8 front, quint8 back, quint8 &style)
{
    const PlateCounts counts = CountPlates(S, U, front, back, m_nUnit == 7);
    if (style == 1)
        return counts.regular;
    if (!counts.choice) {
        if (m_nPaperCount < 2)
            style = 0;
        return counts.regular;
    }
    if (!counts.turnPossible && !counts.sigPossible && !counts.workSigPossible)
        return counts.regular;

    const quint8 proposed = ProposeStyle(counts, style);
    if (style != proposed) {
        style = proposed;
        CZqApp::ChoiceDialog dialog;
        dialog.stripText = QStringLiteral("How would you like to print?");
        dialog.mode = 11;
        dialog.selectCode = proposed;
        CZqApp::ChoiceGroup group;
        group.heading = QStringLiteral("Print as:");
        group.radio = true;
        group.groupValue = 11;
        group.entries.append({1, QStringLiteral("Regular: ") + PlateCountText(counts.regular), proposed == 1});
        if (counts.turnPossible) {
            group.entries.append({2, QStringLiteral("Work & Turn: ") + PlateCountText(counts.turn), proposed == 2});
            group.entries.append({3, QStringLiteral("Work & Tumble: ") + PlateCountText(counts.turn), proposed == 3});
            group.entries.append({4, QStringLiteral("Work & Whirl: ") + PlateCountText(counts.turn), proposed == 4});
        }
        if (counts.sigPossible)
            group.entries.append({5, QStringLiteral("Signature: ") + PlateCountText(counts.sig), proposed == 5});
        if (counts.workSigPossible)
            group.entries.append({6, QStringLiteral("Work & Signature: ") + PlateCountText(counts.b), proposed == 6});
        // The proposed style is the checked entry, so a plain OK takes it.
        dialog.groups << group;
        if (RunChoiceDialog(dialog) == platform::IDOK)
            style = quint8(dialog.GetCheckedInRange(1, 6));
    }
    switch (style) {
    case 2:
    case 3:
    case 4:
        if (U % 2 != 0
            && Prompt::messageBox(QStringLiteral("How would you like to print?")
                                      + QStringLiteral("\n\nAre you sure you want to print Work and Turn?"),
                                  QString(), platform::MB_YESNO | platform::MB_ICONQUESTION)
                   != platform::IDYES) {
            style = 1;
            return counts.regular;
        }
        return counts.turn;
    case 5:
        return counts.sig;
    case 6:
        return counts.b;
    default:
        return counts.regular;
    }
}

bool CItemSpecsData::CheckPlates()
{
    const CSerSet *press = ServiceOf(m_nPressId);
    if (!press || !IsPressCategory(press->m_CatNo))
        return true;
    if (m_nPaperCount > 1 && press->m_TimeBy == 1
        && Prompt::messageBox(QStringLiteral("This Item has more than one paper.\n\nIf the production properties of "
                                             "these papers differ, \npress time may not be accurate.\n\nDo you want "
                                             "to keep all papers?"),
                              QString(), platform::MB_YESNO)
               == platform::IDNO)
        return false;
    const qint32 defPlate = press->m_DefPlate;
    if (defPlate == 0)
        return true;

    // Summed in 64 bits; the plates of a paper, or of the item, past the
    // largest count stop the save by name.
    qint64 needed = 0;
    qint64 defaults = 0;
    qint64 special = 0;
    for (qint32 id : m_order) {
        CItemSet &row = m_rows.at(id);
        if (IsPaperRow(id)) {
            quint8 style = row.m_PrtAs;
            const qint64 plates = ChoosePrintStyle(row.m_Sheets, row.m_Up, row.m_Side1, row.m_Side2, style);
            row.m_PrtAs = style;
            needed += plates;
            if (plates > kLargestCount || needed > kLargestCount) {
                QString text = PastLargestFigureText(QStringLiteral("Plates Needed"), needed, false);
                text[0] = text.at(0).toUpper();
                Prompt::messageBox(text, QString(), platform::MB_ICONEXCLAMATION);
                return false;
            }
            row.m_Data1 = qint32(plates);
        } else if (IsPlateRow(id)) {
            if (row.m_SerNo == defPlate)
                defaults += row.m_Out;
            else
                special += row.m_Out;
        }
    }
    if (needed == 0) {
        Prompt::messageBox(
            QStringLiteral("This Item has a press but no printed sides.\n\nPlease fix Paper Specs / Sides."));
        return false;
    }
    if (special == 0) {
        if (defaults != needed)
            SetServiceQuantity(defPlate, qint32(needed), false);
        return true;
    }
    const qint64 assigned = defaults + special;
    if (assigned > needed) {
        const QString text = QString::asprintf("Too many plates are assigned.\n\n - Plates Assigned: \t%lld    (%lld Default "
                                               "+ %lld Special)\n - Plates Needed: \t%lld\n\nDo you want to change them "
                                               "manually?\n\n - Click Yes to change\n - Click No to accept as shown",
                                               assigned, defaults, special, needed);
        return Prompt::messageBox(text, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES;
    }
    if (assigned < needed) {
        const QString text = QString::asprintf("Not enough plates are assigned.\n\n - Plates Assigned: \t%lld    (%lld "
                                               "Default + %lld Special)\n - Plates Needed: \t%lld\n\nDo you want to add "
                                               "more plates manually?\n\n - Click Yes to add\n - Click No to use %lld "
                                               "Default and %lld Special",
                                               assigned, defaults, special, needed, needed - special, special);
        if (Prompt::messageBox(text, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
            return false;
        SetServiceQuantity(defPlate, qint32(needed - special), false);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Wash-ups and mixing

int CItemSpecsData::CountInkMixes(const QString &inkText)
{
    // Every run of digits names an ink to mix, unless a "_" marks it.
    int mix = 0;
    bool inNumber = false;
    bool marked = false;
    for (const QChar ch : inkText) {
        if (ch.isDigit()) {
            inNumber = true;
        } else if (ch == QLatin1Char('_')) {
            marked = true;
        } else if (inNumber) {
            if (!marked)
                ++mix;
            inNumber = false;
            marked = false;
        }
    }
    if (inNumber && !marked)
        ++mix;
    return mix;
}

void CItemSpecsData::CountWashMix(quint8 &wash, quint8 &mix) const
{
    wash = 0;
    mix = 0;
    for (qint32 id : m_order) {
        if (!IsPaperRow(id))
            continue;
        const CItemSet &paper = m_rows.at(id);
        wash = quint8(wash + std::max(coloursBesidesBlack(paper.m_Side1), coloursBesidesBlack(paper.m_Side2)));
        const QString &inks = paper.m_strFrontInks.isEmpty() ? paper.m_strBackInks : paper.m_strFrontInks;
        mix = quint8(mix + CountInkMixes(inks));
    }
    if (mix > wash)
        mix = wash;
}

void CItemSpecsData::OnInksChanged()
{
    CItemSet *press = Row(m_nPressId);
    const CSerSet *service = ServiceOf(m_nPressId);
    if (!press || !service || !IsPressCategory(service->m_CatNo))
        return;
    quint8 wash = 0;
    quint8 mix = 0;
    CountWashMix(wash, mix);
    QString washLine;
    QString mixLine;
    if (wash != press->m_Wash)
        washLine = QString::asprintf("\t%d wash   (was %d)\n", wash, press->m_Wash);
    if (mix != press->m_Mix)
        mixLine = QString::asprintf("\t%d mix    (was %d)\n", mix, press->m_Mix);
    if (washLine.isEmpty() && mixLine.isEmpty())
        return;
    if (Prompt::messageBox(QStringLiteral("You have changed ink colors. Now the press needs:\n") + washLine + mixLine
                               + QStringLiteral("\nDo you want to apply the changes to the press?"),
                           QString(), platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION)
        == platform::IDYES) {
        press->m_Wash = wash;
        press->m_Mix = mix;
    }
}

// ---------------------------------------------------------------------------
// Quantity breaks

QString CItemSpecsData::QuantityBreaksPrompt(qint32 quantity)
{
    return QStringLiteral("Enter quantities in increasing order. The first quantity must be greater than %1. These "
                          "quantities will be saved in the 'Note' field.")
        .arg(quantity);
}

QString CItemSpecsData::QuantityBreaks(const QString &note)
{
    if (!note.contains(QLatin1Char('{')))
        return QString();
    QString copy = note;
    return ExtractBraced(copy, false);
}

QString CItemSpecsData::ApplyQuantityBreaks(const QString &note, const QString &typed, qint32 quantity,
                                            QString *refusal)
{
    if (refusal)
        refusal->clear();
    QString plain = note;
    if (plain.contains(QLatin1Char('{'))) {
        ExtractBraced(plain, true);
        // The line break that set the breaks apart goes with them.
        while (plain.endsWith(QLatin1Char('\n')) || plain.endsWith(QLatin1Char('\r')))
            plain.chop(1);
    }
    QString list;
    const QString text = typed + QLatin1Char(' ');
    qsizetype from = 0;
    for (;;) {
        const qsizetype blank = text.indexOf(QLatin1Char(' '), from);
        if (blank < 0)
            break;
        const QString token = text.mid(from, blank - from);
        std::int32_t value = 0;
        std::int64_t whole = 0;
        if (ReadTypedQuantity(token, value)) {
            if (value > quantity)
                AppendText(list, QString::number(value), QStringLiteral(" "));
        } else if (ReadTypedFixed(token, 0, whole) && whole > kLargestCount) {
            if (refusal)
                *refusal = TooLargeCountText(QStringLiteral("Quantity Breaks"));
            return note;
        }
        from = blank + 1;
    }
    if (!list.isEmpty())
        AppendText(plain, QLatin1Char('{') + list + QLatin1Char('}'), QStringLiteral("\n"));
    return plain;
}

QString CItemSpecsData::CommonQuantities()
{
    return QStringLiteral("100,200,250,300,400,500,600,700,800,900,,1000,2000,2500,3000,4000,5000,6000,7000,7500,8000,"
                          "9000,,10000,20000,30000,40000,50000,");
}

// ---------------------------------------------------------------------------
// The checks before a save

bool CItemSpecsData::AskAndGo(const QString &text, int commandId)
{
    bool go = true;
    if (text.contains(QLatin1Char('?')))
        go = Prompt::messageBox(text, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
    else
        Prompt::messageBox(text);
    if (go && commandId != 0 && m_hooks.postCommand)
        m_hooks.postCommand(commandId);
    return go;
}

bool CItemSpecsData::ValidateItem()
{
    bool hasPaper = false;
    for (qint32 id : m_order)
        hasPaper = hasPaper || IsPaperRow(id);
    const bool hasPress = m_nPressId != 0 && Row(m_nPressId);

    if (m_nProductType == 0 && m_nJobType <= 1
        && (GetOptionValue(kItemChecksOption + m_nJobType, 0) & 1) != 0
        && AskAndGo(QStringLiteral("Please select a Product Type."), kProductTypeCommand))
        return false;
    if (m_strDescription.trimmed().isEmpty()) {
        AskAndGo(QStringLiteral("Please enter the Item Description."), 0);
        if (m_hooks.editItemRow)
            m_hooks.editItemRow(0);
        return false;
    }
    if (m_nQuantity < 1) {
        AskAndGo(QStringLiteral("Please enter the Item Quantity."), 0);
        if (m_hooks.editItemRow)
            m_hooks.editItemRow(1);
        return false;
    }
    if (!hasPaper && hasPress && AskAndGo(QStringLiteral("Please select a paper."), kAddPaperCommand))
        return false;
    if (hasPaper && !hasPress && GetGlobalAlertText(kItemOptionsAlert, 8, QStringLiteral("1")) == QLatin1String("1")
        && AskAndGo(QStringLiteral("No printer is assigned. Do you want to add?"), kAddPrinterCommand))
        return false;
    if (!CheckPlates())
        return false;
    return CheckRunSize();
}

bool CItemSpecsData::CheckRunSize()
{
    const CItemSet *paper = Row(m_nPaperId);
    const CSerSet *press = ServiceOf(m_nPressId);
    if (!paper || !press || !IsPressCategory(press->m_CatNo))
        return true;
    qint32 smallest = 0;
    qint32 largest = 0;
    {
        platform::Recordset rs(SharedDatabase());
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT JobR1C0, JobR4C0 FROM ServiceDiffTables WHERE SerNo = %1").arg(press->m_SerNo));
        if (rs.isEOF())
            return true;
        smallest = rs.value(0).toInt();
        largest = rs.value(1).toInt();
    }
    float w = 0;
    float h = 0;
    ParseSize(paper->m_strRunSize, w, h);
    const double area = double(w) * double(h);
    QString word;
    if (area > 0 && area < smallest)
        word = QStringLiteral("small");
    if (largest > 0 && area > largest)
        word = QStringLiteral("large");
    if (word.isEmpty())
        return true;
    return !AskAndGo(QStringLiteral("Paper Run Size may be too ") + word
                         + QStringLiteral(" for this press.\nDo you want to change the size or select another press?"),
                     kAddPrinterCommand);
}

// ---------------------------------------------------------------------------
// Writing

bool CItemSpecsData::NeedsPricing() const
{
    for (int i = 0; i <= 6; ++i) {
        if (m_nChanged[i] != 0)
            return true;
    }
    return false;
}

bool CItemSpecsData::PriceAfterWrite(QString *pastLargest)
{
    // What the quantity makes of the services, worked on the rows as
    // written: a count, time or amount past what the program holds refuses
    // the whole save. An item that is priced has it worked out by its
    // pricing; one that is not, by a silent pricing that writes nothing.
    if (!NeedsPricing()) {
        if (pastLargest) {
            CItemPrice check(m_pItem, true);
            if (check.IsLoaded()) {
                check.PriceItem(0);
                *pastLargest = check.PastLargestFigure();
            }
            if (!pastLargest->isEmpty())
                return false;
        }
        Prompt::beep();
        return false;
    }
    CItemPrice engine(m_pItem, false);
    CItemPrice::Owner owner{m_nChanged[5], m_nChanged[6]};
    engine.SetOwner(&owner);
    engine.SetPastLargestSaidByCaller(pastLargest != nullptr);
    engine.PriceItem(0);
    if (pastLargest)
        *pastLargest = engine.PastLargestFigure();
    return true;
}

QString CItemSpecsData::PastLargestRefusal(const QString &pastLargest) const
{
    const QString field = m_nUnit == 7 ? QStringLiteral("#Pads") : QStringLiteral("Quantity");
    return IsWithinLargestCount(m_nQuantity) ? field + QStringLiteral(": at ") + FormatFixedPoint(m_nQuantity, 0, true)
                                                   + QStringLiteral(", ") + pastLargest
                                             : TooLargeCountText(field);
}

QString CItemSpecsData::Snapshot() const
{
    // The item grid gives its texts back without trailing blanks, as a save
    // keeps them: a text that differs only there is no change.
    const auto kept = [](QString text) {
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text;
    };
    QString state = QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11")
                        .arg(kept(m_strDescription), m_strNote, kept(m_strSize))
                        .arg(m_nQuantity)
                        .arg(m_nSheets)
                        .arg(m_nProductType)
                        .arg(m_nPriceLevel)
                        .arg(m_nRounding)
                        .arg(m_nUnitFormat)
                        .arg(m_nUnit)
                        .arg(m_nPages);
    for (qint32 id : m_order)
        state += QLatin1Char('\n') + rowState(m_rows.at(id));
    return state;
}

bool CItemSpecsData::FindStoredHeader(CItemSet &header)
{
    return m_pItem->m_ItemID > 0 && header.OpenByItemID(m_pItem->m_ItemID, false);
}

bool CItemSpecsData::HasChanges()
{
    // The quantity and price level against the stored row, then what the
    // commands counted (kept apart, so that a save after all still counts
    // only what differs then).
    CItemSet stored;
    if (FindStoredHeader(stored)
        && (m_nQuantity != stored.m_ChargeQty || m_nPriceLevel != stored.m_Side2))
        return true;
    for (int i = 2; i <= 6; ++i) {
        if (m_nChanged[i] != 0)
            return true;
    }
    // Anything else the user changed in the window: services, paper specs,
    // description, size, notes.
    return Snapshot() != m_strReadState;
}

bool CItemSpecsData::AskQuantitiesBeforeWrite()
{
    // The quantity of a service that asks how many is asked before anything
    // is written, so that no question is asked inside the write.
    for (qint32 id : m_order) {
        const CSerSet *service = ServiceOf(id);
        CItemSet &row = m_rows.at(id);
        if (!service || IsPaperCategory(service->m_CatNo) || IsPrintingCategory(service->m_CatNo))
            continue;
        if (row.m_Out < 1 && service->m_AskHowMany.size() > 1 && m_hooks.editServiceSpecs) {
            CItemSet edited(row);
            SpecsResult result;
            if (m_hooks.editServiceSpecs(edited, *service, 0, result))
                row = edited;
        }
    }
    return true;
}

bool CItemSpecsData::WriteItem(bool askQuantities)
{
    if (askQuantities)
        AskQuantitiesBeforeWrite();
    CountPapers();
    int sortNo = 0;
    for (qint32 id : m_order)
        m_rows.at(id).m_SortNo = quint8(std::min(++sortNo, 255));

    // A new item takes the job's next number before anything is written.
    qint32 itemNo = m_pItem->m_ItemNo;
    CItemSet probe;
    const bool stored = FindStoredHeader(probe);
    if (!stored) {
        itemNo = CItemSet::GetNextItemNo(m_pItem->m_JobID);
        if (itemNo == 0)
            return false;
    }

    std::array<int, kCounters> counters = m_nChanged;
    CItemSet header;
    bool ok = false;
    m_bSaveCancelled = false;
    try {
        platform::Transaction transaction(SharedDatabase());
        ok = WriteRows(header, counters, itemNo);
        if (ok)
            transaction.commit();
    } catch (const platform::DbException &) {
        ok = false;
    }
    // What is said of a refusal; inside the caller's transaction, once it
    // has rolled back.
    const auto say = [this, askQuantities](std::function<void()> saying) {
        if (askQuantities)
            saying();
        else
            m_sayAfterRollback = std::move(saying);
    };
    if (!ok && m_bSaveCancelled)
        return false; // as the user chose: nothing saved now, everything typed kept
    if (!ok) {
        say([] {
            Prompt::messageBox(QStringLiteral("The Item could not be saved, and nothing of it was changed.\n\n"
                                              "Your changes are still in this window; please try again."),
                               QString(), platform::MB_ICONEXCLAMATION);
        });
        return false;
    }
    m_nChanged = counters;
    m_pItem->CopyFields(header);
    return true;
}

bool CItemSpecsData::SaveItem(bool &priced)
{
    priced = false;
    if (m_job.check) {
        const QString why = m_job.check();
        if (!why.isEmpty()) {
            Prompt::messageBox(why, QString(), platform::MB_ICONEXCLAMATION);
            return false;
        }
    }
    // Everything below stands or falls together: what the write and the
    // pricing change of this object is put back when it falls.
    const std::array<int, kCounters> counted = m_nChanged;
    const CItemSet item(*m_pItem);
    const auto undo = [&] {
        m_nChanged = counted;
        m_pItem->CopyFields(item);
    };
    // The quantities a service asks for are asked before anything holds the
    // file; a question the write meets inside its transaction (a field
    // another user saved too, of the item or its job) is asked once the
    // transaction has rolled back, and the save is made again with the answer.
    AskQuantitiesBeforeWrite();
    enum class Outcome { Saved, ItemRefused, JobRefused, Asks, Failed };
    Outcome outcome = Outcome::Failed;
    QString why;
    std::optional<platform::DbException> failure;
    AnswersOutsideLock answers;
    answers.Run(
        SharedDatabase(),
        [&]() -> std::optional<AnswersOutsideLock::Pending> {
            outcome = Outcome::Failed;
            why.clear();
            failure.reset();
            std::optional<AnswersOutsideLock::Pending> question;
            // A database failure is shown once the transaction has rolled
            // back: no workstation waits while its box is open.
            DeferredDaoErrors deferred;
            std::optional<platform::Transaction> transaction;
            m_sayAfterRollback = nullptr;
            try {
                transaction.emplace(SharedDatabase());
                if (!WriteItem(false)) {
                    outcome = Outcome::ItemRefused;
                } else {
                    QString pastLargest;
                    priced = PriceAfterWrite(&pastLargest);
                    if (!pastLargest.isEmpty()) {
                        // Nothing of the item is written: the window goes
                        // back to its quantity.
                        m_sayAfterRollback = [this, text = PastLargestRefusal(pastLargest)] {
                            Prompt::messageBox(text, QString(), platform::MB_ICONEXCLAMATION);
                            if (m_hooks.editItemRow)
                                m_hooks.editItemRow(1);
                        };
                        outcome = Outcome::ItemRefused;
                    } else if (m_job.save && !m_job.save(why)) {
                        outcome = Outcome::JobRefused;
                    } else {
                        transaction->commit();
                        outcome = Outcome::Saved;
                    }
                }
            } catch (const AnswersOutsideLock::Pending &pending) {
                question.emplace(pending);
                outcome = Outcome::Asks;
            } catch (const platform::DbException &e) {
                failure.emplace(e);
                outcome = Outcome::Failed;
            }
            transaction.reset(); // rolled back unless committed
            return question;
        },
        [&] {
            undo();
            priced = false;
        });
    if (outcome == Outcome::Saved)
        return true;
    undo();
    priced = false;
    switch (outcome) {
    case Outcome::Saved:
    case Outcome::Asks:
        break;
    case Outcome::ItemRefused:
        if (const auto saying = std::exchange(m_sayAfterRollback, nullptr))
            saying();
        return false;
    case Outcome::JobRefused:
        // Said as the check before the save says it, now that nothing of
        // it is in the file (the job's window may read the job again).
        if (!why.isEmpty() && m_job.check) {
            const QString now = m_job.check();
            if (!now.isEmpty())
                why = now;
        }
        if (!why.isEmpty())
            Prompt::messageBox(why, QString(), platform::MB_ICONEXCLAMATION);
        return false;
    case Outcome::Failed:
        ShowDaoError(*failure, QStringLiteral("Cannot save Items"));
        return false;
    }
    return false;
}

void CItemSpecsData::NameHeaderFields(CItemSet &head) const
{
    using platform::Value;
    const auto list = [](const QString &entries) {
        return [items = entries.split(QLatin1Char(','))](const Value &v) {
            const qint64 code = v.isNull() ? -1 : v.toInt64();
            return code >= 0 && code < items.size() ? items.at(int(code)) : (v.isNull() ? QString() : v.toString());
        };
    };
    head.SetFieldCaption(&head.m_Description, QStringLiteral("Description"));
    head.SetFieldCaption(&head.m_Note, QStringLiteral("Item Note"));
    head.SetFieldCaption(&head.m_ChargeQty, m_nUnit == 7 ? QStringLiteral("#Pads") : QStringLiteral("Quantity"));
    head.SetFieldCaption(&head.m_Sheets, GetQuantityUnitName(m_nUnit));
    head.SetFieldCaption(&head.m_Pages, QStringLiteral("Pages"));
    head.SetFieldCaption(&head.m_Side1, QStringLiteral("Product Type"));
    head.SetFieldShownAs(&head.m_Side1, [](const Value &v) {
        const qint64 code = v.isNull() ? 0 : v.toInt64();
        const QString name = code != 0 && ZqApp() ? ZqApp()->GetProductTypeName(quint8(code)) : QString();
        return name.isEmpty() ? QStringLiteral("Product Type?") : name;
    });
    head.SetFieldCaption(&head.m_Side2, QStringLiteral("Price Level"));
    head.SetFieldShownAs(&head.m_Side2, [](const Value &v) {
        const qint64 code = v.isNull() ? 0 : v.toInt64();
        const QStringList names = QStringLiteral("Normal,Bid,Rush,Special,------------------,Ask Unit Price,"
                                                 "Ask Item Price,------------------")
                                      .split(QLatin1Char(','));
        if (code >= 0 && code < names.size())
            return names.at(int(code));
        if (code >= 8 && code <= 107)
            return QString::number(code - 7) + QStringLiteral("% up");
        if (code >= 108 && code <= 157)
            return QString::number(107 - code) + QStringLiteral("% down");
        return QString::number(code);
    });
    head.SetFieldCaption(&head.m_Opt1, QStringLiteral("Document Type"));
    head.SetFieldShownAs(&head.m_Opt1, [](const Value &v) {
        return GetQuantityUnitName(std::uint8_t(v.isNull() ? 0 : v.toInt64())).trimmed();
    });
    head.SetFieldCaption(&head.m_Opt2, QStringLiteral("Price Rounding"));
    head.SetFieldShownAs(&head.m_Opt2, list(QStringLiteral("Off,On")));
    head.SetFieldCaption(&head.m_Opt3, QStringLiteral("Format Unit Price"));
    head.SetFieldShownAs(&head.m_Opt3, list(QStringLiteral(",Per Each,Per 1000")));
    head.SetFieldCaption(&head.m_Width, QStringLiteral("Size (W x H), width"));
    head.SetFieldCaption(&head.m_Height, QStringLiteral("Size (W x H), height"));
    for (const void *size : {static_cast<const void *>(&head.m_Width), static_cast<const void *>(&head.m_Height)})
        head.SetFieldShownAs(size, [](const Value &v) {
            return v.isNull() ? QString() : QString::number(v.toDouble(), 'g', 6);
        });
}

bool CItemSpecsData::WriteRows(CItemSet &header, std::array<int, kCounters> &counters, qint32 &itemNo)
{
    const qint32 jobId = m_pItem->m_JobID;
    const quint8 subNo = m_pItem->m_SubNo;
    CItemSet head;
    bool storedHead = false;
    if (m_pItem->m_ItemID > 0 && head.OpenByItemID(m_pItem->m_ItemID, true)) {
        itemNo = head.m_ItemNo;
        storedHead = true;
    } else {
        head.m_strFilter = QStringLiteral("ItemID = 0");
        head.Open();
        if (!head.SafeAddNew())
            return false;
        head.ResetFields();
        head.m_ItemNo = quint8(itemNo);
        head.m_Status = 0;
        head.SetDefaultStatus();
    }

    float width = 0;
    float height = 0;
    ParseSize(m_strSize, width, height);
    // A stored item is saved under the one rule for shared rows: what this
    // user changed here goes onto the row as it is now, a field another
    // workstation saved meanwhile and this user left alone keeps its value,
    // and a field both changed is asked about by its label here.
    const CItemSet *read = storedHead ? m_readHeader.get() : nullptr;
    const CItemSet &before = read ? *read : head;
    if (m_nQuantity != before.m_ChargeQty || m_nSheets != before.m_Sheets || width != before.m_Width
        || height != before.m_Height || (before.m_Pages >= 1 && m_nPages != before.m_Pages))
        counters[0] = 1;
    if (m_nPriceLevel != before.m_Side2 || m_nRounding != before.m_Opt2)
        counters[1] = 1;
    if (m_strNote != before.m_Note)
        ++counters[7];
    if (read) {
        using platform::FieldType;
        using platform::Value;
        const auto byte = [](quint8 v) { return Value(std::int64_t(v), FieldType::Byte); };
        const auto whole = [](qint32 v) { return Value(std::int64_t(v), FieldType::Long); };
        const auto shownRead = [&head](const auto &now, const auto &was, const Value &shown) {
            // Only where the row moved since it was read.
            if (!(now == was))
                head.SetFieldValueOverShown(&now, shown);
        };
        shownRead(head.m_Description, read->m_Description, Value(read->m_Description));
        shownRead(head.m_Note, read->m_Note, Value(read->m_Note));
        shownRead(head.m_ChargeQty, read->m_ChargeQty, whole(read->m_ChargeQty));
        shownRead(head.m_Sheets, read->m_Sheets, whole(read->m_Sheets));
        shownRead(head.m_Pages, read->m_Pages, whole(read->m_Pages));
        shownRead(head.m_Side1, read->m_Side1, byte(read->m_Side1));
        shownRead(head.m_Side2, read->m_Side2, byte(read->m_Side2));
        shownRead(head.m_Opt1, read->m_Opt1, byte(read->m_Opt1));
        shownRead(head.m_Opt2, read->m_Opt2, byte(read->m_Opt2));
        shownRead(head.m_Opt3, read->m_Opt3, byte(read->m_Opt3));
        shownRead(head.m_Width, read->m_Width, Value(read->m_Width));
        shownRead(head.m_Height, read->m_Height, Value(read->m_Height));
        NameHeaderFields(head);
        // Fields the window does not hold stay as they are now.
    }

    head.m_Description = m_strDescription;
    head.m_Note = m_strNote;
    head.m_ChargeQty = m_nQuantity;
    head.m_Sheets = m_nSheets;
    head.m_Pages = m_nPages;
    head.m_Side1 = m_nProductType;
    head.m_Side2 = m_nPriceLevel;
    head.m_Opt1 = m_nUnit;
    head.m_Opt2 = m_nRounding;
    head.m_Opt3 = m_nUnitFormat;
    head.m_Width = width;
    head.m_Height = height;
    head.m_JobID = jobId;
    head.m_ItemNo = quint8(itemNo);
    head.m_SubNo = subNo;
    head.m_SerNo = 0;
    if (m_order.empty()) {
        head.m_Cost = Money();
        head.m_Price = Money();
    }
    if (!head.SafeUpdate()) {
        // Asked about a field both changed, the user chose to save nothing
        // now: the edit is still open.
        m_bSaveCancelled = head.GetEditMode() != CXDaoSet::dbEditNone;
        return false;
    }
    header.CopyFields(head);

    // Stored service rows no longer in the window go.
    counters[6] = 0;
    CItemSet rows;
    std::set<qint32> storedIds;
    if (rows.OpenItemRows(jobId, itemNo, subNo, CItemSet::ServiceRows)) {
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            if (m_rows.count(rows.m_ItemID)) {
                storedIds.insert(rows.m_ItemID);
                continue;
            }
            rows.Delete();
            ++counters[6];
        }
    }

    for (const auto &[id, work] : m_rows) {
        const CSerSet *service = ServiceOf(id);
        if (!service)
            continue;
        if (storedIds.count(id) && rows.FindFirst(QStringLiteral("ItemID = %1").arg(id))) {
            if (!rows.SafeEdit())
                return false;
            // A stored row goes under the one rule too: each field the row
            // holds now other than as this window read it takes what was
            // read as what this user was shown.
            const auto read = m_readRows.find(id);
            if (read != m_readRows.end())
                ShowRowAsRead(rows, read->second, service->m_Name.trimmed());
        } else {
            if (!rows.IsOpen()) {
                rows.m_strFilter = QStringLiteral("ItemID = 0");
                rows.Open();
            }
            if (!rows.SafeAddNew())
                return false;
            rows.ResetFields();
        }
        copyCounted(rows.m_SerNo, work.m_SerNo, counters[5]);
        rows.m_JobID = jobId;
        rows.m_ItemNo = quint8(itemNo);
        rows.m_SubNo = subNo;
        rows.m_SortNo = work.m_SortNo;
        rows.m_Opt1 = work.m_Opt1;
        rows.m_Opt2 = work.m_Opt2;
        rows.m_Opt3 = work.m_Opt3;
        rows.m_Opt4 = work.m_Opt4;
        rows.m_EmpNo = work.m_EmpNo;
        rows.m_Tag1 = work.m_Tag1;
        if (IsPaperCategory(service->m_CatNo)) {
            CItemSet joined(work);
            if (m_finder.FindBySerNo(work.m_SerNo))
                joined.JoinNoteParts(m_finder);
            int &c = counters[2];
            copyCounted(rows.m_Out, work.m_Out, c);
            copyCounted(rows.m_Up, work.m_Up, c);
            copyCounted(rows.m_Vendor, work.m_Vendor, c);
            copyCounted(rows.m_Sheets, work.m_Sheets, c);
            copyCounted(rows.m_Pages, work.m_Pages, c);
            copyCounted(rows.m_Side1, work.m_Side1, c);
            copyCounted(rows.m_Side2, work.m_Side2, c);
            copyCounted(rows.m_Data1, work.m_Data1, c);
            copyCounted(rows.m_Covrg, work.m_Covrg, c);
            copyCounted(rows.m_Regis, work.m_Regis, c);
            copyCounted(rows.m_Bleed, work.m_Bleed, c);
            copyCounted(rows.m_PrtAs, work.m_PrtAs, c);
            copyCounted(rows.m_Note, joined.m_Note, counters[7]);
            if (rows.m_Vendor >= 2 && rows.m_Vendor <= 5)
                rows.m_Tag2 = 12;
        } else if (IsPrintingCategory(service->m_CatNo)) {
            copyCounted(rows.m_Wash, work.m_Wash, counters[3]);
            copyCounted(rows.m_Mix, work.m_Mix, counters[3]);
            copyCounted(rows.m_Note, work.m_Note, counters[7]);
        } else {
            copyCounted(rows.m_Out, work.m_Out, counters[4]);
            copyCounted(rows.m_Vendor, work.m_Vendor, counters[4]);
            copyCounted(rows.m_Note, work.m_Note, counters[7]);
        }
        if (!rows.SafeUpdate()) {
            m_bSaveCancelled = rows.GetEditMode() != CXDaoSet::dbEditNone;
            return false;
        }
    }
    return true;
}

void CItemSpecsData::ShowRowAsRead(CItemSet &row, const CItemSet &read, const QString &serviceName)
{
    using platform::FieldType;
    using platform::Value;
    const auto shownOf = [](const auto &v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, quint8>)
            return Value(std::int64_t(v), FieldType::Byte);
        else if constexpr (std::is_same_v<T, qint32>)
            return Value(std::int64_t(v), FieldType::Long);
        else
            return Value(v);
    };
    const auto asRead = [&](auto &now, const auto &was, const QString &label) {
        row.SetFieldCaption(&now, serviceName + QStringLiteral(", ") + label);
        if (!(now == was))
            row.SetFieldValueOverShown(&now, shownOf(was));
    };
    asRead(row.m_SerNo, read.m_SerNo, QStringLiteral("Service"));
    asRead(row.m_SortNo, read.m_SortNo, QStringLiteral("Sort No"));
    asRead(row.m_Opt1, read.m_Opt1, QStringLiteral("Opt 1"));
    asRead(row.m_Opt2, read.m_Opt2, QStringLiteral("Opt 2"));
    asRead(row.m_Opt3, read.m_Opt3, QStringLiteral("Opt 3"));
    asRead(row.m_Opt4, read.m_Opt4, QStringLiteral("Opt 4"));
    asRead(row.m_EmpNo, read.m_EmpNo, QStringLiteral("Operator"));
    asRead(row.m_Tag1, read.m_Tag1, QStringLiteral("Tag"));
    asRead(row.m_Tag2, read.m_Tag2, QStringLiteral("Tag 2"));
    asRead(row.m_Out, read.m_Out, QStringLiteral("Quantity"));
    asRead(row.m_Up, read.m_Up, QStringLiteral("Up"));
    asRead(row.m_Vendor, read.m_Vendor, QStringLiteral("Vendor"));
    asRead(row.m_Sheets, read.m_Sheets, QStringLiteral("Sheets"));
    asRead(row.m_Pages, read.m_Pages, QStringLiteral("Pages"));
    asRead(row.m_Side1, read.m_Side1, QStringLiteral("Front"));
    asRead(row.m_Side2, read.m_Side2, QStringLiteral("Back"));
    asRead(row.m_Data1, read.m_Data1, QStringLiteral("Data 1"));
    asRead(row.m_Covrg, read.m_Covrg, QStringLiteral("Coverage"));
    asRead(row.m_Regis, read.m_Regis, QStringLiteral("Registration"));
    asRead(row.m_Bleed, read.m_Bleed, QStringLiteral("Bleed"));
    asRead(row.m_PrtAs, read.m_PrtAs, QStringLiteral("Print As"));
    asRead(row.m_Wash, read.m_Wash, QStringLiteral("Wash"));
    asRead(row.m_Mix, read.m_Mix, QStringLiteral("Mix"));
    asRead(row.m_Note, read.m_Note, QStringLiteral("Note"));
}
