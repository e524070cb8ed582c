#include "InventoryCommand.h"

#include "app/base/MoneyText.h"
#include "catalogue/StockRules.h"
#include "data/OptionsAndLookups.h"
#include "data/SharedDatabase.h"
#include "platform/Money.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"
#include "ToolArgs.h"

namespace {

QString statusName(int status)
{
    switch (status) {
    case kToOrder: return QStringLiteral("To-Order");
    case kOnOrder: return QStringLiteral("On-Order");
    case kInStock: return QStringLiteral("In-Stock");
    default: return QString();
    }
}

} // namespace

int runInventoryCommand(const QStringList &given, QTextStream &out, QTextStream &err)
{
    QStringList args = given;
    const QString type = TakeOption(args, QStringLiteral("--type"));
    const QString usage = QStringLiteral("usage: tavrel-dbtool inventory DB MODE [--job JOBNO [--type TYPE] | --service SERNO] "
                                         "(MODE: setup, order, receive, check)\n");
    if (args.size() != 2 && args.size() != 4) {
        err << usage;
        return 2;
    }
    const QString modeWord = args[1].toLower();
    int mode = modeWord == QLatin1String("setup")     ? InventorySetup
        : modeWord == QLatin1String("order")          ? InventoryOrder
        : modeWord == QLatin1String("receive")        ? InventoryReceive
        : modeWord == QLatin1String("check")          ? InventoryCheck
                                                      : 0;
    qint32 number = 0;
    if (args.size() == 4) {
        bool ok = false;
        number = args[3].toInt(&ok);
        if (!ok || (args[2] != QLatin1String("--job") && args[2] != QLatin1String("--service"))) {
            err << usage;
            return 2;
        }
        mode = args[2] == QLatin1String("--job") ? InventoryOfJob : InventoryOfService;
    }
    if (mode == 0) {
        err << usage;
        return 2;
    }
    try {
        platform::Database &db = SharedDatabase();
        db.open(args[0], false, true);
        qint32 id = number;
        if (mode == InventoryOfJob) {
            int failure = 0;
            id = FindToolJob(db, args[3], type, err, failure);
            if (id == 0)
                return failure;
        }
        const InventoryQuery query =
            BuildInventoryQuery(mode, id, 0, QString(), GetOptionValue(30749, 11));
        const QList<StockRow> rows = LoadStockRows(mode, query);
        out << "Service\tSize\tVendor\tSKU\tMinimum Level\tReam Quantity\tIn Stock\tOn Order\tItem\tNeed\t"
            << (mode == InventoryReceive ? "Received" : mode == InventoryCheck ? "To be Ordered" : "Order")
            << "\tStatus\tUnit Cost\tPer\tExtended\tSerNo\n";
        for (const StockRow &r : rows) {
            const QString status = (mode == InventorySetup || mode == InventoryCheck)
                ? statusName(StockStatus(r.inStock, r.need, r.onOrder, r.order))
                : (r.order != 0 ? QStringLiteral("x") : QString());
            out << r.name << '\t' << r.size << '\t' << r.vendorName << '\t' << r.sku << '\t' << r.minLevel << '\t'
                << r.ream << '\t' << r.inStock << '\t' << r.onOrder << '\t' << r.items << '\t' << r.need << '\t'
                << r.order << '\t' << status << '\t' << FormatMoney(Money::fromCents(r.unitCost)) << '\t'
                << (r.unit == 2 ? "M" : r.unit == 3 ? "T" : "Ea") << '\t'
                << FormatMoney(Money::fromCents(r.extended)) << '\t' << r.serNo << '\n';
        }
        db.close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
