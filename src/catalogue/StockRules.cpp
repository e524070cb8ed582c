#include "catalogue/StockRules.h"

#include "app/base/MoneyText.h"
#include "app/base/QuantityText.h"

#include "data/CXDaoSet.h"
#include "data/SharedDatabase.h"
#include "data/ShopSchema.h"
#include "platform/Money.h"
#include "platform/Prompt.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

#include <QtCore/QHash>

#include <algorithm>
#include <optional>

namespace {

int g_failAfter = -1;

const QString kServicesFrom = QStringLiteral(
    "FROM Vendors INNER JOIN (ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = Services.CatNo) ON "
    "Vendors.[No] = Services.VendorNo ");
const QString kJobServicesFrom = QStringLiteral(
    "FROM ((ServiceCategories INNER JOIN Services ON ServiceCategories.CatNo = Services.CatNo) INNER JOIN (Jobs "
    "INNER JOIN Items ON Jobs.JobID = Items.JobID) ON Services.SerNo = Items.SerNo) INNER JOIN Vendors ON "
    "Services.VendorNo = Vendors.[No] ");

qint64 fieldLong(const platform::Recordset &set, int index)
{
    const platform::Value v = set.value(index);
    return v.isNull() ? 0 : v.toInt64();
}

QString fieldText(const platform::Recordset &set, int index)
{
    const platform::Value v = set.value(index);
    return v.isNull() ? QString() : v.toString();
}

} // namespace

bool IsOrderMode(int mode)
{
    return mode == InventoryOrder || mode == InventoryOfJob || mode == InventoryOfService;
}

QString InventoryMenuText(int mode)
{
    switch (mode) {
    case InventorySetup: return QStringLiteral("Setup/Adjust");
    case InventoryOrder: return QStringLiteral("Order");
    case InventoryReceive: return QStringLiteral("Receive");
    case InventoryCheck: return QStringLiteral("Check");
    case InventoryOfJob: return QStringLiteral("Services of Selected Job");
    case InventoryOfService: return QStringLiteral("Selected Service");
    default: return QString();
    }
}

QString InventoryQuery::listSql() const
{
    return QStringLiteral(
               "SELECT DISTINCTROW ServiceCategories.CatName & ': ' & Services.Name as [SerName], Services.Size, "
               "Vendors.Name, Services.SKU, Services.MinLevel, Services.ReOrder, Services.InStock, Services.OnOrder, "
               "CLng(0) as ItemCount, CLng(0) as ItemSum, Services.RunCost1, Services.Unit, Services.OptInv, "
               "Vendors.No, Services.SerNo ") +
        from + where + QLatin1Char(' ') + orderBy;
}

QString InventoryQuery::groupedNeedSql() const
{
    return QStringLiteral("SELECT Items.SerNo, Count(Items.ItemID), Sum(Items.ActualQty) ") + jobFrom + jobFilter +
        QStringLiteral(" GROUP BY Items.SerNo");
}

InventoryQuery BuildInventoryQuery(int mode, qint32 id, qint32 depNo, const QString &departmentName, int optionBits)
{
    InventoryQuery q;
    const QString department = depNo > 0 ? QStringLiteral(" AND ServiceCategories.DepNo=%1").arg(depNo) : QString();
    const QString place = depNo > 0 ? departmentName : QStringLiteral("All Departments");
    q.jobFrom = kJobServicesFrom;
    q.jobFilter = QStringLiteral("WHERE Jobs.JobType = 0 and Jobs.Creator < 98 ") +
        QStringLiteral(" AND Items.SerNo>0 AND Items.Status>0 AND Services.OptInv>0 AND (Items.Vendor < 2 OR "
                       "Items.Vendor > 5) ") +
        ((optionBits & 1) ? QStringLiteral(" AND Jobs.Status=0") : QStringLiteral(" AND Jobs.Status>=0"));
    if (optionBits & 2)
        q.jobFilter += QStringLiteral(
            " AND ((SELECT Items0.Status FROM Items as Items0 WHERE Items0.JobID=Items.JobID and "
            "Items0.ItemNo=Items.ItemNo and Items0.SubNo=Items.SubNo and Items0.SerNo=0) between 4 and 16)");
    q.needText = QStringLiteral("Services To-Do");
    if (optionBits & 1)
        q.needText += QStringLiteral(" · Orders-in-Progress");
    if (optionBits & 2)
        q.needText += QStringLiteral(" · Items-in-Production");
    q.orderBy = QStringLiteral("ORDER BY ") + ((optionBits & 32) ? QStringLiteral("Vendors.Name, ") : QString()) +
        QStringLiteral("ServiceCategories.SortNo, Services.SortNo, Services.Name, Services.Size ");

    switch (mode) {
    case InventorySetup:
        q.from = kServicesFrom;
        q.where = QStringLiteral("WHERE Services.CatNo > 0 and Services.SerStatus < 2") + department;
        q.title = QStringLiteral("Active Services in ") + place;
        break;
    case InventoryReceive:
        q.from = kJobServicesFrom;
        q.where = QStringLiteral("WHERE Jobs.JobType = 0 and Jobs.Creator < 98 ") + department +
            QStringLiteral(" AND (Services.OnOrder > 0 or Items.Tag2 = 11)");
        q.title = QStringLiteral("Services On-Order in ") + place;
        break;
    case InventoryOfJob:
        q.from = kJobServicesFrom;
        q.where = q.jobFilter + QStringLiteral(" AND Jobs.JobID = %1").arg(id);
        q.title = QStringLiteral("Services To-Do");
        break;
    case InventoryOfService:
        q.from = kServicesFrom;
        q.where = QStringLiteral("WHERE Services.SerNo = %1").arg(id);
        q.jobFilter += QStringLiteral(" AND Services.SerNo = %1").arg(id);
        q.title = QStringLiteral("selected Service");
        break;
    default: // Order, Check
        q.jobFilter += department;
        q.from = kJobServicesFrom;
        q.where = q.jobFilter;
        q.title = QStringLiteral("Services To-Do in ") + place;
        break;
    }
    return q;
}

qint64 OrderQuantity(qint64 minimum, qint64 need, qint64 inStock, qint64 onOrder, qint64 ream)
{
    const qint64 q = minimum + need - (inStock + onOrder);
    // Stock that covers the minimum and every need exactly orders nothing.
    if (q <= 0)
        return 0;
    if (q < ream)
        return ream;
    if (ream > 1)
        return (q + ream - 1) / ream * ream;
    return q;
}

qint64 ExtendedCost(qint64 unitCost, qint64 quantity, int unit)
{
    if (quantity < 0)
        quantity = 0;
    if (unit != 1 && unit != 2)
        return unitCost;
    qint64 product = 0;
    if (__builtin_mul_overflow(unitCost, quantity, &product))
        return unitCost < 0 ? -kMostExtendedCost : kMostExtendedCost;
    product = unit == 2 ? product / 1000 : product;
    return std::clamp(product, -kMostExtendedCost, kMostExtendedCost);
}

qint64 UnitCostOf(qint64 extended, qint64 quantity, int unit, qint64 unitCost)
{
    if (quantity <= 0)
        return unitCost;
    if (unit == 2)
        return extended * 1000 / quantity;
    if (unit == 1)
        return extended / quantity;
    return extended;
}

int StockStatus(qint64 inStock, qint64 need, qint64 onOrder, qint64 order)
{
    if (inStock > 0 && inStock >= need)
        return kInStock;
    if (need - inStock - onOrder >= 1)
        return kToOrder;
    if (onOrder == 0 && order == 0)
        return 0;
    return kOnOrder;
}

qint64 RuleQuantity(int mode, const StockRow &row)
{
    if (mode == InventoryReceive)
        return row.onOrder;
    if (IsOrderMode(mode) || mode == InventoryCheck)
        return OrderQuantity(row.minLevel, row.need, row.inStock, row.onOrder, row.ream);
    return 0;
}

qint64 CostQuantity(int mode, const StockRow &row)
{
    return std::max<qint64>(0, mode == InventorySetup ? row.inStock : row.order);
}

QString StockRowName(const StockRow &row)
{
    return row.size.isEmpty() ? row.name : row.name + QStringLiteral(" · ") + row.size;
}

QList<StockRow> LoadStockRows(int mode, const InventoryQuery &query)
{
    QList<StockRow> rows;
    platform::Database &db = SharedDatabase();
    platform::Recordset set(db);
    set.open(platform::Recordset::Type::Snapshot, query.listSql());
    for (; !set.isEOF(); set.moveNext()) {
        StockRow r;
        r.name = fieldText(set, 0);
        r.size = fieldText(set, 1);
        r.vendorName = fieldText(set, 2);
        r.sku = fieldText(set, 3);
        r.minLevel = fieldLong(set, 4);
        r.ream = fieldLong(set, 5);
        r.inStock = fieldLong(set, 6);
        r.onOrder = fieldLong(set, 7);
        r.unitCost = fieldLong(set, 10);
        r.unit = quint8(fieldLong(set, 11));
        r.track = quint8(fieldLong(set, 12));
        r.vendorNo = quint8(fieldLong(set, 13));
        r.serNo = qint32(fieldLong(set, 14));
        r.asRead = {r.sku, r.minLevel, r.ream, r.inStock, r.onOrder, r.track, r.unitCost};
        rows << r;
    }
    set.close();
    // The need of every listed service from one grouped statement of the
    // job services' FROM and WHERE (the same counts as one statement per
    // service, read once). The need is a sum of the jobs' quantities, held
    // whole in 64 bits.
    QHash<qint32, std::pair<qint32, qint64>> needs;
    if (mode != InventorySetup && !rows.isEmpty()) {
        platform::Recordset need(db);
        need.open(platform::Recordset::Type::Snapshot, query.groupedNeedSql());
        for (; !need.isEOF(); need.moveNext())
            needs.insert(qint32(fieldLong(need, 0)), {qint32(fieldLong(need, 1)), fieldLong(need, 2)});
    }
    for (StockRow &r : rows) {
        if (mode != InventorySetup) {
            const auto found = needs.constFind(r.serNo);
            if (found != needs.constEnd()) {
                r.items = found->first;
                r.need = found->second;
            }
            r.order = RuleQuantity(mode, r);
        }
        r.extended = ExtendedCost(r.unitCost, CostQuantity(mode, r), r.unit);
    }
    return rows;
}

void SetStockBookingFailAfter(int services)
{
    g_failAfter = services;
}

namespace {

// One field of a service that the inventory window writes: its column, the
// value typed, the value read when the window opened.
struct StockField
{
    const char *column;
    const char *caption; // as the inventory window heads its column
    platform::Value typed;
    platform::Value asRead;
};

QList<StockField> stockFields(const StockRow &row, bool withCost, bool setup)
{
    using platform::FieldType;
    using platform::Value;
    QList<StockField> fields{
        {"SKU", "SKU", Value(row.sku), Value(row.asRead.sku)},
        {"MinLevel", "Minimum Level", Value(std::int64_t(row.minLevel)), Value(std::int64_t(row.asRead.minLevel))},
        {"ReOrder", "Ream Quantity", Value(std::int64_t(row.ream)), Value(std::int64_t(row.asRead.ream))},
        {"OptInv", "Track", Value(std::int64_t(row.track), FieldType::Byte), Value(std::int64_t(row.asRead.track), FieldType::Byte)},
    };
    // Outside Setup the stock moves by the quantity booked, onto the stock as it is now.
    if (setup) {
        fields.append({"InStock", "In Stock", Value(std::int64_t(row.inStock)), Value(std::int64_t(row.asRead.inStock))});
        fields.append({"OnOrder", "On Order", Value(std::int64_t(row.onOrder)), Value(std::int64_t(row.asRead.onOrder))});
    }
    if (withCost)
        fields.append({"RunCost1", "Unit Cost", Value(std::int64_t(row.unitCost)), Value(std::int64_t(row.asRead.unitCost))});
    return fields;
}

// As the window reads them: a Null is the 0 or the empty text it shows.
bool sameStockValue(const platform::Value &a, const platform::Value &b)
{
    return a.type() == platform::FieldType::Text || b.type() == platform::FieldType::Text ? a.toString() == b.toString()
                                                                                            : a.toInt64() == b.toInt64();
}

} // namespace

namespace {

// Why a row cannot be booked as it stands: the first figure its column
// cannot hold, named with the row's service. Empty when all hold.
QString stockPastLargest(const StockRow &row, qint64 inStock, qint64 onOrder, const char *quantityName,
                         qint64 quantity, qint64 cost)
{
    const QString name = StockRowName(row);
    const std::pair<const char *, qint64> counts[] = {
        {"Minimum Level", row.minLevel}, {"Ream Quantity", row.ream}, {"In Stock", inStock},
        {"On Order", onOrder},           {quantityName, quantity}};
    for (const auto &[figure, value] : counts)
        if (!IsWithinLargestCount(value))
            return PastLargestFigureText(QString::fromLatin1(figure) + QStringLiteral(" of ") + name, value, false);
    if (!IsWithinLargestAmount(cost * Money::kUnitsPerCent)) // cents held within kMostExtendedCost
        return PastLargestFigureText(QStringLiteral("Extended Cost of ") + name, 0, true, true);
    return QString();
}

} // namespace

std::optional<qint32> BookStock(const StockBooking &b, const QList<StockRow> &rows, QString *refusal)
{
    platform::Database &db = SharedDatabase();
    const bool withCost = (b.optionBits & 64) != 0;
    // Fields another workstation changed since the window read them, that
    // the user changed too, to something else: put to the user first.
    QStringList bothChanged;
    for (const StockRow &row : rows) {
        platform::Recordset now(db);
        now.open(platform::Recordset::Type::Snapshot, QStringLiteral("SELECT * FROM Services WHERE SerNo = %1").arg(row.serNo));
        if (now.isEOF())
            continue;
        for (const StockField &f : stockFields(row, withCost, b.mode == InventorySetup)) {
            const platform::Value theirs = now.value(QLatin1String(f.column));
            if (!sameStockValue(f.typed, f.asRead) && !sameStockValue(theirs, f.asRead) && !sameStockValue(theirs, f.typed))
                bothChanged << CXDaoSet::BothChangedLine(row.name + QStringLiteral(", ") + QLatin1String(f.caption),
                                                         theirs, f.typed);
        }
    }
    bool keepMine = true;
    if (!bothChanged.isEmpty()) {
        const int answer = CXDaoSet::AskAboutBothChanged(bothChanged);
        if (answer != platform::IDYES && answer != platform::IDNO)
            return std::nullopt;
        keepMine = answer == platform::IDYES;
    }
    platform::Transaction transaction(db);
    if (!db.tableExists(QStringLiteral("Inventory")))
        db.createTable(ShopSchema::table(QStringLiteral("Inventory"))->tableDef());

    const bool setup = b.mode == InventorySetup;
    int action = 0;
    qint32 orderNo = 0;
    QString tagFilter;
    auto extreme = [&db](const QString &sql) -> std::optional<qint64> {
        platform::Recordset set(db);
        set.open(platform::Recordset::Type::Snapshot, sql);
        if (set.isEOF() || set.value(0).isNull())
            return std::nullopt;
        return set.value(0).toInt64();
    };
    if (IsOrderMode(b.mode)) {
        action = 1;
        const auto largest = extreme(QStringLiteral("SELECT Max(OrderNo) FROM Inventory"));
        orderNo = (!largest || *largest < 0) ? 1 : qint32(*largest + 1);
        tagFilter = QStringLiteral(" AND Items.Tag2 < 12");
    } else if (b.mode == InventoryReceive) {
        action = 2;
        const auto smallest = extreme(QStringLiteral("SELECT Min(OrderNo) FROM Inventory"));
        orderNo = (!smallest || *smallest >= 1) ? -1 : qint32(*smallest - 1);
        tagFilter = QStringLiteral(" AND Items.Tag2 = 11");
    } else if (b.mode == InventoryCheck) {
        tagFilter = QStringLiteral(" AND Items.Tag2 <= 10");
    }

    int written = 0;
    for (const StockRow &row : rows) {
        platform::Recordset service(db);
        service.open(platform::Recordset::Type::Dynaset,
                     QStringLiteral("SELECT * FROM Services WHERE SerNo = %1").arg(row.serNo));
        if (service.isEOF())
            continue; // a service deleted meanwhile
        const char *quantityName = b.mode == InventoryReceive ? "Received" : "Order";
        // A figure its column cannot hold writes nothing (the transaction is
        // left uncommitted), and says which: what was typed first, then the
        // stock it moves to.
        auto refused = [refusal](const QString &past) -> std::optional<qint32> {
            if (refusal)
                *refusal = QStringLiteral("Nothing was saved: ") + past;
            return std::nullopt;
        };
        if (const QString past = stockPastLargest(row, row.inStock, row.onOrder, quantityName, row.order, 0);
            !past.isEmpty())
            return refused(past);
        // What the user changed is written; every other field stays as it is
        // now, another workstation's change included.
        service.edit();
        for (const StockField &f : stockFields(row, withCost, setup)) {
            if (sameStockValue(f.typed, f.asRead))
                continue;
            const platform::Value theirs = service.value(QLatin1String(f.column));
            if (!keepMine && !sameStockValue(theirs, f.asRead))
                continue;
            service.setValue(QLatin1String(f.column), f.typed);
        }
        qint64 inStock = setup ? service.value(QStringLiteral("InStock")).toInt64() : row.inStock;
        qint64 onOrder = setup ? service.value(QStringLiteral("OnOrder")).toInt64() : row.onOrder;
        if (!setup) {
            // The quantity booked moves the stock as it is now.
            inStock += service.value(QStringLiteral("InStock")).toInt64() - row.asRead.inStock;
            onOrder += service.value(QStringLiteral("OnOrder")).toInt64() - row.asRead.onOrder;
        }
        qint64 quantity = row.order;
        if (!setup) {
            if (b.mode == InventoryReceive) {
                inStock += quantity;
                onOrder = std::max<qint64>(0, onOrder - quantity);
            } else if (b.mode == InventoryCheck) {
                quantity = 0;
            } else {
                onOrder += quantity;
            }
        }
        if (const QString past = stockPastLargest(row, inStock, onOrder, quantityName, quantity,
                                                  quantity > 0 && action != 0 ? row.extended : 0);
            !past.isEmpty())
            return refused(past);
        if (!setup) {
            service.setValue(QStringLiteral("InStock"), platform::Value(std::int64_t(inStock)));
            service.setValue(QStringLiteral("OnOrder"), platform::Value(std::int64_t(onOrder)));
        }
        service.update();
        service.close();

        if (!setup) {
            const int status = inStock + onOrder < row.need ? kToOrder : onOrder != 0 ? kOnOrder : kInStock;
            db.execute(QStringLiteral("UPDATE Items SET Tag2 = ? WHERE ItemID IN (SELECT Items.ItemID ") +
                           b.query.jobFrom + b.query.jobFilter + tagFilter +
                           QStringLiteral(" AND Items.SerNo = %1)").arg(row.serNo),
                       {platform::Value(std::int64_t(status), platform::FieldType::Byte)});
            if (quantity > 0 && action != 0) {
                db.execute(QStringLiteral("INSERT INTO Inventory (SerNo, Vendor, Action, ActionDate, ActionQty, Cost, "
                                          "OrderNo) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                           {platform::Value(std::int64_t(row.serNo)),
                            platform::Value(std::int64_t(row.vendorNo), platform::FieldType::Byte),
                            platform::Value(std::int64_t(action), platform::FieldType::Byte), platform::Value(b.today),
                            platform::Value(std::int64_t(action == 2 ? -quantity : quantity)),
                            platform::Value(Money::fromCents(row.extended)),
                            platform::Value(std::int64_t(orderNo))});
            }
        }
        ++written;
        if (g_failAfter >= 0 && written >= g_failAfter)
            throw platform::DbException(3043, QStringLiteral("Disk or network error."));
    }
    transaction.commit();
    return setup || b.mode == InventoryCheck ? 0 : orderNo;
}
