// The production rules of item and service rows: the defaults of a new
// service row, the status change with its day stamp, the inventory rule that
// moves stock when an inventory service is finished or reopened, and the
// booking of actual quantities and minutes with the roll-up of their costs.
//
// A status change asks its questions first; then the stock, the row, the
// actual costs and the job's cost are written as one transaction, the row
// read as it is now within it. A field another workstation changed too is
// asked about with the write let go, and the row read again.

#include "data/CItemSet.h"

#include "app/base/CZqApp.h"
#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"
#include "data/CJobSet.h"
#include "data/DaoError.h"
#include "data/OptionsAndLookups.h"
#include "platform/Clock.h"
#include "platform/Prompt.h"
#include "platform/db/DbErrors.h"
#include "platform/db/Recordset.h"

#include <algorithm>
#include <cmath>
#include <optional>

using platform::DbException;

namespace {

constexpr qint32 kServiceDefaultsOption = 44331;
constexpr qint32 kItemStatusOption = 44332;
constexpr quint8 kInStock = 12; // inventory status of a service row

// What the production rules read of a service.
struct ServiceFacts
{
    quint8 optInv = 0;
    qint64 inStock = 0;
    qint64 onOrder = 0;
    quint8 operatorNo = 0;
    quint8 tag = 0;
};

bool findService(platform::Database *database, qint32 serNo, ServiceFacts &out)
{
    if (serNo == 0)
        return false;
    CXDaoSet set(database);
    set.Open(CXDaoSet::dbOpenSnapshot,
             QStringLiteral("SELECT OptInv, InStock, OnOrder, Operator, Tag FROM Services WHERE SerNo = %1").arg(serNo));
    if (set.IsEmptySet())
        return false;
    out.optInv = quint8(set.GetFieldValue(0).toInt64());
    out.inStock = set.GetFieldValue(1).toInt64();
    out.onOrder = set.GetFieldValue(2).toInt64();
    out.operatorNo = quint8(set.GetFieldValue(3).toInt64());
    out.tag = quint8(set.GetFieldValue(4).toInt64());
    return true;
}

// A stock that would pass the largest count, said as every inventory booking
// says it: the service by its category, name and size.
QString stockPastLargest(platform::Database &db, qint32 serNo, qint64 stock)
{
    QString name;
    platform::Recordset set(db);
    set.open(platform::Recordset::Type::Snapshot,
             QStringLiteral("SELECT ServiceCategories.CatName, Services.Name, Services.Size FROM Services LEFT JOIN "
                            "ServiceCategories ON ServiceCategories.CatNo = Services.CatNo WHERE Services.SerNo = %1")
                 .arg(serNo));
    if (!set.isEOF()) {
        const QString category = set.value(0).toString();
        const QString size = set.value(2).toString();
        name = set.value(1).toString();
        if (!category.isEmpty())
            name = category + QStringLiteral(": ") + name;
        if (!size.isEmpty())
            name += QStringLiteral(" · ") + size;
    }
    return QStringLiteral("Nothing was saved: ") +
           PastLargestFigureText(QStringLiteral("In Stock of ") + name, stock, false);
}

// A service row as the schedule and the costs sheet show it: its category
// and name, for a question about a figure of it another user saved too.
QString serviceLineName(platform::Database &db, qint32 serNo)
{
    platform::Recordset set(db);
    set.open(platform::Recordset::Type::Snapshot,
             QStringLiteral("SELECT ServiceCategories.CatName, Services.Name FROM Services LEFT JOIN "
                            "ServiceCategories ON ServiceCategories.CatNo = Services.CatNo WHERE Services.SerNo = ?"),
             {platform::Value(serNo)});
    if (set.isEOF())
        return QString();
    const QString category = set.value(0).toString();
    const QString name = set.value(1).toString();
    return category.isEmpty() ? name : category + QStringLiteral(": ") + name;
}

// An item row as the schedule shows it under its order: "Item 1001-2".
QString itemLineName(platform::Database &db, qint32 jobId, qint32 itemNo, qint32 subNo)
{
    platform::Recordset set(db);
    set.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = ?"),
             {platform::Value(jobId)});
    QString number = QString::number(itemNo);
    if (!set.isEOF() && !set.value(0).isNull())
        number = set.value(0).toString() + QLatin1Char('-') + number;
    if (subNo != 0)
        number += QLatin1Char('.') + QString::number(subNo);
    return QStringLiteral("Item ") + number;
}

// A code of the schedule's columns (operator, tag, priority, an item's
// status) as the schedule shows it: its name, else its number.
QString scheduleCodeText(int what, const platform::Value &value)
{
    const quint8 no = quint8(value.isNull() ? 0 : value.toInt64());
    QString name;
    if (CZqApp *app = ZqApp()) {
        int icon = 0;
        switch (what) {
        case 1: app->GetEmployeeNameAndIcon(no, name, icon); break;
        case 2: app->GetTagNameAndIcon(no, name, icon); break;
        case 3: app->GetStockStatusNameAndIcon(no, name, icon); break;
        default: app->GetScheduleStatusName(name, no); break;
        }
    }
    if (!name.trimmed().isEmpty())
        return name.trimmed();
    return no == 0 && what != 0 ? QString() : QString::number(no);
}

CItemSet::InventoryRules &inventoryRules()
{
    static CItemSet::InventoryRules rules;
    return rules;
}

// A cost for a new quantity: the old cost per unit times the new quantity,
// cut to a whole ten-thousandth, then raised to the next whole cent.
Money rescaleCost(Money cost, qint32 oldQuantity, qint32 newQuantity)
{
    const double scaled = double(cost.units()) / double(oldQuantity) * double(newQuantity);
    Money result = Money::fromUnits(std::int64_t(std::trunc(scaled)));
    RoundToCents(result, true);
    return result;
}

} // namespace

void CItemSet::SetInventoryRules(const InventoryRules &rules)
{
    inventoryRules() = rules;
}

const CItemSet::InventoryRules &CItemSet::GetInventoryRules()
{
    return inventoryRules();
}

qint32 CItemSet::GetServiceDefaultsOption()
{
    return GetOptionValue(kServiceDefaultsOption, 7);
}

qint32 CItemSet::GetItemStatusOption()
{
    return GetOptionValue(kItemStatusOption, 1);
}

void CItemSet::SetDefaults()
{
    const qint32 options = GetServiceDefaultsOption();
    if (!(options & 1) && m_Days2 != 0) {
        m_Status = m_Days2;
    } else {
        m_Status = 1;
        m_Days2 = 0;
    }
    if (options & (2 | 4)) {
        ServiceFacts service;
        if (findService(m_pDatabase, m_SerNo, service)) {
            if (options & 2)
                m_EmpNo = service.operatorNo;
            if (options & 4)
                m_Tag1 = service.tag;
        }
    }
    if ((options & 4) || m_Tag2 > 9)
        m_Tag2 = 0;
}

void CItemSet::SetDefaultStatus()
{
    m_Status = (GetItemStatusOption() & 1) ? 4 : 0;
}

quint8 CItemSet::GetDaysSinceJobIn() const
{
    platform::Value dateIn;
    LookupFirstValue(dateIn, QStringLiteral("SELECT DateIn FROM Jobs WHERE JobID = ") + QString::number(m_JobID));
    const DateTime date = dateIn.isNull() ? DateTime::null() : dateIn.toDateTime();
    if (!date.isValid())
        return 0;
    const int days = DateTime::fromDate(platform::Clock::today()).dayNumber() + 1 - date.dayNumber();
    return quint8(std::clamp(days, 1, 254));
}

// ---------------------------------------------------------------------------
// Inventory

// Decides how the stock of the row's service moves: 0 (no move), the
// quantity, or -1 when the change is refused or cancelled. `refused` tells a
// refusal apart from a give-back of exactly one unit.
int CItemSet::DecideInventory(bool reopen, StockMove &move, bool &refused)
{
    refused = false;
    move = StockMove();
    ServiceFacts service;
    if (!findService(m_pDatabase, m_SerNo, service) || service.optInv == 0)
        return 0;
    // Vendor codes 2 to 5 are bought for the job and never come from stock.
    if (m_Vendor >= 2 && m_Vendor <= 5)
        return 0;
    if (!reopen && m_Tag2 != kInStock && (service.inStock != 0 || service.onOrder != 0)) {
        platform::Prompt::messageBox(
            QStringLiteral("You may not finish this Service.\nIts Inventory status must be In-Stock."), QString(),
            platform::MB_OK);
        refused = true;
        return -1;
    }
    qint64 quantity = reopen ? -qint64(m_ActualQty) : qint64(m_ActualQty);
    qint64 newStock = service.inStock - quantity;
    // A give-back that would take the stock past the largest count is
    // refused before anything is asked or written (a stock below nothing is
    // kept at 0 when it is written).
    if (newStock > kLargestCount && newStock > service.inStock) {
        platform::Prompt::messageBox(stockPastLargest(*m_pDatabase, m_SerNo, newStock), QString(),
                                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
        refused = true;
        return -1;
    }
    const InventoryRules &rules = inventoryRules();
    if ((rules.optionBits & 8) && rules.confirm) {
        // Both within the largest count here: the confirmation reads them
        // as counts and gives back what its fields took.
        qint32 asked = qint32(quantity);
        qint32 askedStock = qint32(std::max<qint64>(newStock, -kLargestCount));
        if (!rules.confirm(m_SerNo, reopen, asked, askedStock)) {
            refused = true;
            return -1;
        }
        quantity = asked;
        newStock = askedStock;
    }
    move.serNo = m_SerNo;
    move.quantity = quantity;
    move.change = newStock != service.inStock ? newStock - service.inStock : 0;
    return int(quantity);
}

// Moves the stock by the decided change, never below 0. The change is applied
// to the stock as it stands now, so a move booked meanwhile by another
// workstation is kept.
QString CItemSet::ApplyStockMove(platform::Database &db, const StockMove &move)
{
    if (move.change == 0)
        return QString();
    // The stock is read and written under the write lock, so another
    // workstation's move cannot come between and be lost.
    platform::Transaction write(db);
    platform::Recordset service(db);
    service.open(platform::Recordset::Type::Dynaset,
                 QStringLiteral("SELECT * FROM Services WHERE SerNo = %1").arg(move.serNo));
    if (service.isEOF())
        return QString();
    const qint64 stock = qint64(service.value(QStringLiteral("InStock")).toInt64()) + move.change;
    // Another workstation's booking meanwhile may leave no room for this one.
    if (stock > kLargestCount && move.change > 0) {
        service.close();
        return stockPastLargest(db, move.serNo, stock);
    }
    service.edit();
    service.setValue(QStringLiteral("InStock"),
                     platform::Value(std::int64_t(std::max<qint64>(stock, 0)), platform::FieldType::Long));
    service.update();
    service.close();
    write.commit();
    return QString();
}

int CItemSet::CheckInventoryForStatus(bool reopen)
{
    StockMove move;
    bool refused = false;
    const int quantity = DecideInventory(reopen, move, refused);
    if (refused)
        return -1;
    try {
        if (const QString refusal = ApplyStockMove(database(), move); !refusal.isEmpty()) {
            platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return -1;
        }
    } catch (const DbException &e) {
        ShowDaoError(e, QStringLiteral("Cannot save Services"));
        return -1;
    }
    return quantity;
}

// ---------------------------------------------------------------------------
// Status and actual costs

void CItemSet::DropEdit(const CItemSet &before)
{
    try {
        if (GetEditMode() != dbEditNone)
            CancelUpdate();
    } catch (const DbException &) {
    }
    CopyFields(before);
}

int CItemSet::SetServiceStatus(int value, int what, qint32 itemId)
{
    if (itemId != 0 && !OpenByItemID(itemId))
        return 0;
    if (!SafeEdit())
        return 0;

    // A code another user saved too is asked about by the row's line and
    // the schedule's column, by its name.
    if ((what >= 1 && what <= 3) || m_SerNo == 0) {
        const QString line =
            m_SerNo == 0 ? itemLineName(database(), m_JobID, m_ItemNo, m_SubNo) : serviceLineName(database(), m_SerNo);
        const auto name = [&](const void *member, const QString &column, int code) {
            SetFieldCaption(member, line.isEmpty() ? column : line + QStringLiteral(", ") + column);
            SetFieldShownAs(member, [code](const platform::Value &v) { return scheduleCodeText(code, v); });
        };
        name(&m_EmpNo, QStringLiteral("Operator"), 1);
        name(&m_Tag1, QStringLiteral("Tag"), 2);
        name(&m_Tag2, QStringLiteral("Priority"), 3);
        if (m_SerNo == 0)
            name(&m_Status, QStringLiteral("Status"), 0);
    }
    switch (what) {
    case 1: m_EmpNo = quint8(value); return SafeUpdate(GetDefaultSQL()) ? 1 : 0;
    case 2: m_Tag1 = quint8(value); return SafeUpdate(GetDefaultSQL()) ? 1 : 0;
    case 3: m_Tag2 = quint8(value); return SafeUpdate(GetDefaultSQL()) ? 1 : 0;
    default: break;
    }
    if (m_SerNo == 0) {
        m_Status = quint8(value);
        return SafeUpdate(GetDefaultSQL()) ? 1 : 0;
    }

    const CItemSet before(*this);
    const bool finishing = value == 0;
    const InventoryRules &rules = inventoryRules();
    StockMove move;
    qint32 quantity = 0;
    if (rules.enabled) {
        bool refused = false;
        if (finishing && m_Status != 0) {
            // A row that is already finished has moved its stock before.
            const int moved = DecideInventory(false, move, refused);
            if (refused) {
                DropEdit(before);
                return 0;
            }
            quantity = (moved != m_ActualQty && (rules.optionBits & 16)) ? moved : 0;
        } else if (!finishing && m_Status == 0) {
            DecideInventory(true, move, refused);
            if (refused) {
                DropEdit(before);
                return 0;
            }
        }
    }
    const quint8 days = finishing ? GetDaysSinceJobIn() : quint8(value);
    return WriteOntoRowNow(before, StatusChange{true, quint8(value), days}, quantity, 0, move);
}

bool CItemSet::SetItemDone(QList<qint32> &finished)
{
    constexpr quint8 kItemDone = 17;
    finished.clear();
    if (m_SerNo != 0)
        return false;
    const qint32 itemId = m_ItemID;
    QList<qint32> services;
    {
        CItemSet open(m_pDatabase);
        if (open.OpenServicesOfItem(*this, UnfinishedServices))
            for (; !open.IsEOF(); open.MoveNext())
                services.append(open.m_ItemID);
    }
    std::optional<platform::Transaction> unit;
    if (!inventoryRules().enabled)
        unit.emplace(database());
    QList<qint32> written;
    CItemSet service(m_pDatabase);
    for (qint32 id : services) {
        if (service.SetServiceStatus(0, 0, id) == 0) {
            if (!unit)
                finished = written;
            return false;
        }
        written.append(id);
    }
    // The item is read again: finishing its services may have rolled their
    // costs up into it.
    if (!OpenByItemID(itemId) || IsEOF() || (m_Status != kItemDone && SetServiceStatus(kItemDone, 0, 0) == 0)) {
        if (!unit)
            finished = written;
        return false;
    }
    if (unit)
        unit->commit();
    finished = written;
    return true;
}

namespace {

// A service's status as the schedule shows it: finished, or the day of the
// job it is planned for.
QString serviceStatusText(qint64 status)
{
    return status == 0 ? QStringLiteral("Done") : QStringLiteral("Day %1").arg(status);
}

} // namespace

int CItemSet::WriteOntoRowNow(const CItemSet &before, const StatusChange &status, qint32 quantity, qint32 minutes,
                              const StockMove &move)
{
    // What this user changes, against the row as it was read: the status,
    // and the actual quantity and minutes booked. A booking that brings
    // nothing new over the row as read changes nothing.
    const bool bookQuantity = quantity >= 1 && quantity != before.m_ActualQty;
    const bool bookMinutes = minutes >= 1 && minutes != before.m_ActualTime;
    // Booking actuals finishes the service.
    const bool changeStatus = status.set || bookQuantity || bookMinutes;
    const quint8 statusMine = status.set ? status.value : 0;

    const int statusAt = GetFieldIndex(QStringLiteral("Status"));
    const int quantityAt = GetFieldIndex(QStringLiteral("ActualQty"));
    const int minutesAt = GetFieldIndex(QStringLiteral("ActualTime"));
    const int matCostAt = GetFieldIndex(QStringLiteral("MatCost"));
    const int timeCostAt = GetFieldIndex(QStringLiteral("TimeCost"));
    const auto whole = [](const platform::Value &v) { return v.isNull() ? qint64(0) : v.toInt64(); };
    const auto amount = [](const platform::Value &v) { return v.isNull() ? Money() : v.toMoney(); };

    // The answer to "Saved by another user" holds for each field while it
    // stays as asked about; saved again meanwhile, it is asked about again.
    std::optional<qint64> statusAsked, quantityAsked, minutesAsked;
    bool keepMine = true;
    platform::Database &db = database();
    constexpr int kRounds = 5;
    for (int round = 1; round <= kRounds; ++round) {
        QStringList lines;
        QString refusal;
        bool written = false;
        bool booked = false;
        std::optional<qint64> statusToAsk, quantityToAsk, minutesToAsk;
        try {
            // The row is read as it is now under the write lock, so nothing
            // another workstation saves can come between the reading and the
            // writing; a question leaves the write first.
            platform::Transaction transaction(db);
            const std::vector<platform::Value> now = recordset()->rereadEditedRow();
            const qint64 statusNow = whole(now[size_t(statusAt)]);
            const qint64 quantityNow = whole(now[size_t(quantityAt)]);
            const qint64 minutesNow = whole(now[size_t(minutesAt)]);
            // A field this user changes that the other user changed too, to
            // something else: mine, theirs, or to be asked about first.
            const auto settle = [&](bool changes, qint64 seen, qint64 mine, qint64 nowValue,
                                    const std::optional<qint64> &asked, std::optional<qint64> &toAsk) {
                if (!changes)
                    return false;
                // Left as read: another user's value meanwhile stays.
                if (seen == mine)
                    return nowValue == mine;
                if (nowValue == seen || nowValue == mine)
                    return true;
                if (asked && *asked == nowValue)
                    return keepMine;
                toAsk = nowValue;
                return false;
            };
            const bool takeQuantity =
                settle(bookQuantity, before.m_ActualQty, quantity, quantityNow, quantityAsked, quantityToAsk);
            const bool takeMinutes =
                settle(bookMinutes, before.m_ActualTime, minutes, minutesNow, minutesAsked, minutesToAsk);
            const bool takeStatus =
                settle(changeStatus, before.m_Status, statusMine, statusNow, statusAsked, statusToAsk);
            // Named by the service's line, then the figure.
            QString line;
            if (statusToAsk || quantityToAsk || minutesToAsk)
                line = serviceLineName(db, m_SerNo);
            const auto named = [&line](const QString &field) {
                return line.isEmpty() ? field : line + QStringLiteral(", ") + field;
            };
            if (statusToAsk)
                lines.append(CXDaoSet::BothChangedLine(named(QStringLiteral("Status")), serviceStatusText(*statusToAsk),
                                                       serviceStatusText(statusMine)));
            if (quantityToAsk)
                lines.append(CXDaoSet::BothChangedLine(named(QStringLiteral("Actual Quantity")),
                                                       QString::number(*quantityToAsk), QString::number(quantity)));
            if (minutesToAsk)
                lines.append(CXDaoSet::BothChangedLine(named(QStringLiteral("Actual Time")),
                                                       QString::number(*minutesToAsk), QString::number(minutes)));
            if (lines.isEmpty()) {
                // This user's changes go onto the row as it is now; no other
                // field is written, and the costs are rescaled from the
                // figures stored now.
                recordset()->restartEditOnRowReread();
                bool costChanged = false;
                // A count booked over the one stored now, its cost worked
                // from the cost per unit stored now.
                const auto book = [&](bool take, qint32 mine, qint64 countNow, Money costNow, qint32 &count,
                                      Money &cost) {
                    count = qint32(countNow);
                    cost = costNow;
                    if (!take || mine == countNow)
                        return;
                    booked = true;
                    count = mine;
                    SetFieldDirty(&count);
                    if (countNow != 0 && costNow.units() > 1) {
                        cost = rescaleCost(costNow, qint32(countNow), mine);
                        costChanged = costChanged || cost != costNow;
                    }
                };
                book(takeQuantity, quantity, quantityNow, amount(now[size_t(matCostAt)]), m_ActualQty, m_MatCost);
                book(takeMinutes, minutes, minutesNow, amount(now[size_t(timeCostAt)]), m_ActualTime, m_TimeCost);
                if (costChanged) {
                    SetFieldDirty(&m_MatCost);
                    SetFieldDirty(&m_TimeCost);
                    m_Cost = Money::fromUnits(m_MatCost.units() + m_TimeCost.units());
                    SetFieldDirty(&m_Cost);
                }
                if (takeStatus && (status.set || booked)) {
                    m_Status = statusMine;
                    SetFieldDirty(&m_Status);
                    if (status.set) {
                        m_Days2 = status.days;
                        SetFieldDirty(&m_Days2);
                    }
                } else {
                    m_Status = quint8(statusNow);
                }
                refusal = ApplyStockMove(db, move);
                if (refusal.isEmpty()) {
                    Update();
                    if (costChanged)
                        CJobSet::RollUpJobCost(db, m_JobID);
                    transaction.commit();
                    written = true;
                }
            }
        } catch (const DbException &e) {
            DropEdit(before);
            ShowDaoError(e, QStringLiteral("Cannot save ") + GetDefaultSQL());
            return 0;
        }
        if (!refusal.isEmpty()) {
            DropEdit(before);
            platform::Prompt::messageBox(refusal, QString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return 0;
        }
        if (written)
            return booked ? 2 : 1;
        // Nothing was written this round: asked with the file free, then the
        // row is read again.
        const int answer = CXDaoSet::AskAboutBothChanged(lines);
        if (answer != platform::IDYES && answer != platform::IDNO) {
            DropEdit(before);
            return 0;
        }
        keepMine = answer == platform::IDYES;
        statusAsked = statusToAsk ? statusToAsk : statusAsked;
        quantityAsked = quantityToAsk ? quantityToAsk : quantityAsked;
        minutesAsked = minutesToAsk ? minutesToAsk : minutesAsked;
    }
    // Saved by others again at every round: nothing written, said as the
    // database says it.
    DropEdit(before);
    ShowDaoError(DbException(platform::dberr::WriteConflict, platform::dberr::text(platform::dberr::WriteConflict)),
                 QStringLiteral("Cannot save ") + GetDefaultSQL());
    return 0;
}

bool CItemSet::SetActualCosts(qint32 quantity, qint32 minutes)
{
    const bool quantityCounts = quantity >= 1 && quantity != m_ActualQty;
    const bool minutesCount = minutes >= 1 && minutes != m_ActualTime;
    if (!quantityCounts && !minutesCount)
        return false;
    if (!SafeEdit())
        return false;
    const CItemSet before(*this);
    return WriteOntoRowNow(before, StatusChange{}, quantity, minutes, StockMove()) == 2;
}
