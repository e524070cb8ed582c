#include "PriceCommand.h"

#include "app/base/MoneyText.h"
#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "estimating/CItemPrice.h"
#include "platform/db/DbException.h"
#include "ToolArgs.h"

int runPriceCommand(const QStringList &given, QTextStream &out, QTextStream &err)
{
    QStringList args = given;
    const QString type = TakeOption(args, QStringLiteral("--type"));
    const bool detail = args.size() == 4 && args[3] == QLatin1String("--detail");
    if (args.size() != 3 && !detail) {
        err << "usage: tavrel-dbtool price DB JOBNO ITEMNO [--type TYPE] [--detail]\n";
        return 2;
    }
    try {
        CItemSet item;
        if (const int failed = OpenJobItem(args[0], args[1], type, args[2], item, err))
            return failed;
        platform::Database &db = SharedDatabase();
        CItemPrice engine(&item, true);
        if (!engine.IsLoaded()) {
            err << "The item has a service that is not found.\n";
            return 1;
        }
        engine.PriceItem(0);
        // A figure past what the program holds: the item cannot be priced.
        if (QString refusal = engine.PastLargestFigure(); !refusal.isEmpty()) {
            refusal[0] = refusal.at(0).toUpper();
            err << item.GetItemNoText(QStringLiteral("ITEM ")) << ": " << refusal << '\n';
            return 1;
        }
        out << item.GetItemNoText(QStringLiteral("ITEM ")) << ' ' << item.m_Description << '\n';
        for (const auto &[id, row] : engine.Rows()) {
            if (row.m_SerNo == 0)
                continue;
            const CSerSet *ser = engine.Service(row.m_SerNo);
            out << "\n=== Service " << row.m_SerNo << ' ' << (ser ? ser->m_Name : QString()) << " (row " << id << ")\n";
            // With --detail: how the quantity was reached, the time and the
            // row's own explanation, as the costs window shows them.
            out << (detail ? engine.GetQuantityExplanation(id) : row.m_strExplain) << '\n';
            out << "Quantity\t" << row.m_nSerQty << "\tTime\t" << row.m_ChargeTime << "\tCost\t"
                << FormatCurrency(row.m_Cost, 4) << "\tPrice\t" << FormatCurrency(row.m_Price, 4) << '\n';
        }
        out << "\nNew Cost\t" << FormatCurrency(engine.GetNewCost(), 4) << '\n';
        out << "New Price\t" << FormatCurrency(engine.GetNewPrice(), 4) << '\n';
        out << "Revised Cost\t" << FormatCurrency(engine.GetRevisedCost(), 4) << '\n';
        out << "Revised Price\t" << FormatCurrency(engine.GetRevisedPrice(), 4) << '\n';
        item.Close();
        db.close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
