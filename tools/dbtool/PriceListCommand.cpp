#include "PriceListCommand.h"

#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "estimating/PriceListRules.h"
#include "platform/db/DbException.h"
#include "ToolArgs.h"

// An item's price list: the quantities of the quantity text (default
// "500") and the item's silent price at each, as the price list shows them.
int runPriceListCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString quantityText = QStringLiteral("500");
    QStringList rest = args;
    const QString type = TakeOption(rest, QStringLiteral("--type"));
    const int option = rest.indexOf(QStringLiteral("--quantity"));
    if (option >= 0) {
        if (option + 1 >= rest.size()) {
            err << "--quantity needs a text\n";
            return 2;
        }
        quantityText = rest[option + 1];
        rest.remove(option, 2);
    }
    if (rest.size() != 3) {
        err << "usage: tavrel-dbtool pricelist DB JOBNO ITEMNO [--type TYPE] [--quantity TEXT]\n";
        return 2;
    }
    try {
        CItemSet item;
        if (const int failed = OpenJobItem(rest[0], rest[1], type, rest[2], item, err))
            return failed;
        platform::Database &db = SharedDatabase();
        const std::vector<PriceList::Line> lines =
            PriceList::PriceLines(item, PriceList::BuildQuantities(quantityText));
        out << "Quantity\tPrice\n";
        for (const PriceList::Line &line : lines)
            out << PriceList::QuantityText(line.quantity) << '\t' << PriceList::PriceText(line.price) << '\n';
        item.Close();
        db.close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
