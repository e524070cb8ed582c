#pragma once

#include "platform/DateTime.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <cstdint>
#include <optional>

// The inventory of tracked services without a window: which services a mode
// lists and what the jobs need of them, how much to order, what it costs, and
// the booking of an order, a receipt or a check in one transaction.

// The six ways the inventory window opens, by their command ids.
enum InventoryMode : int {
    InventorySetup = 30741,
    InventoryOrder = 30742,
    InventoryReceive = 30743,
    InventoryCheck = 30744,
    InventoryOfJob = 30745,
    InventoryOfService = 30746,
};
bool IsOrderMode(int mode);
QString InventoryMenuText(int mode);

// Inventory status of a job's service row (Items.Tag2).
constexpr int kToOrder = 10;
constexpr int kOnOrder = 11;
constexpr int kInStock = 12;

// The statements of a mode. The job-service filter picks the job services
// not done that use a tracked service (orders only, not bought for the job);
// the need of a service counts every job, also in the one-job mode.
struct InventoryQuery
{
    QString from;
    QString where;
    QString jobFrom;
    QString jobFilter;
    QString orderBy;
    QString title;
    QString needText;
    QString listSql() const;
    // The need of every listed service at once: SerNo, the count of its job
    // services not done and the sum of their quantities.
    QString groupedNeedSql() const;
};
// depNo 0 lists every department; id is the job id (30745) or the service
// number (30746).
InventoryQuery BuildInventoryQuery(int mode, qint32 id, qint32 depNo, const QString &departmentName,
                                   int optionBits);

// The quantities and their sums are held in 64 bits: the need of several jobs
// may pass what one count column holds, and is shown whole; what cannot be
// stored is refused by name when it is booked (BookStock).

// The quantity to order: minimum + need - (in stock + on order); nothing when
// that is 0 or below; at least one ream; else rounded up to whole reams.
qint64 OrderQuantity(qint64 minimum, qint64 need, qint64 inStock, qint64 onOrder, qint64 ream);
// Extended cost (cents) of a quantity at a unit cost (cents): unit 2 is a
// price per thousand (cut toward zero), unit 1 per each, any other unit the
// cost as it stands. Computed in 64 bits; a product beyond them is held at
// the most a money column shows (kMostExtendedCost), which no booking takes.
qint64 ExtendedCost(qint64 unitCost, qint64 quantity, int unit);
constexpr qint64 kMostExtendedCost = INT64_MAX / 100;
// The unit cost back from an edited extended cost; none for no quantity.
qint64 UnitCostOf(qint64 extended, qint64 quantity, int unit, qint64 unitCost);
// The status a row shows in Setup and Check: 12, 10, 0 (none) or 11.
int StockStatus(qint64 inStock, qint64 need, qint64 onOrder, qint64 order);

// One listed service.
struct StockRow
{
    QString name;
    QString size;
    QString vendorName;
    QString sku;
    qint64 minLevel = 0;
    qint64 ream = 0;
    qint64 inStock = 0;
    qint64 onOrder = 0;
    qint32 items = 0;
    qint64 need = 0;
    qint64 order = 0;
    qint64 unitCost = 0; // cents
    qint64 extended = 0; // cents
    quint8 unit = 0;
    quint8 track = 0;
    quint8 vendorNo = 0;
    qint32 serNo = 0;
    // The service's own fields as they were read, before any typing: only
    // what the user changed from these is written.
    struct AsRead
    {
        QString sku;
        qint64 minLevel = 0;
        qint64 ream = 0;
        qint64 inStock = 0;
        qint64 onOrder = 0;
        quint8 track = 0;
        qint64 unitCost = 0;
    } asRead;
};

// Reads the listed services and, outside Setup, their need and the order
// rule's quantity and cost. Throws the database's exception.
QList<StockRow> LoadStockRows(int mode, const InventoryQuery &query);
// The quantity the cost is taken of: in stock in Setup, else the order.
qint64 CostQuantity(int mode, const StockRow &row);
// The order rule's quantity for a mode (Receive: what is on order).
qint64 RuleQuantity(int mode, const StockRow &row);
// The row's name in messages: the service, " · " and its size.
QString StockRowName(const StockRow &row);

// What the OK books: the Services rows, the status of the job services and,
// for orders and receipts, the Inventory rows under one order number, all in
// one transaction (table Inventory created in it when missing). On a failure
// nothing is written and the database's exception is thrown.
struct StockBooking
{
    int mode = InventorySetup;
    InventoryQuery query;
    int optionBits = 0;
    DateTime today;
};
// Writes of each service only the fields the user changed, onto the service
// as it is now: another workstation's changes to the others stay, stock
// received or ordered is added to the stock as it is now, and a field both
// changed is put to the user (as every shared row's save puts it). Returns
// the order number used (0 in Setup and Check), or none when the user chose
// to save nothing now (nothing is written). A figure that its column cannot
// hold (a stock, an order or a receipt past the largest count, a cost past
// the largest amount) writes nothing either: none is answered, with the
// refusal naming the figure and its service in refusal.
std::optional<qint32> BookStock(const StockBooking &booking, const QList<StockRow> &rows,
                                QString *refusal = nullptr);
// Tests: fail the booking after that many services were written (-1 never).
void SetStockBookingFailAfter(int services);
