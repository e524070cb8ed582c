#include "PriceListCommand.h"

#include "data/CItemSet.h"
#include "data/SharedDatabase.h"
#include "estimating/PriceListRules.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

// An item's price list: the quantities of the quantity text (default
// "500") and the item's silent price at each, as the price list shows them.
int runPriceListCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString quantityText = QStringLiteral("500");
    QStringList rest = args;
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
        err << "usage: tavrel-dbtool pricelist DB JOBNO ITEMNO [--quantity TEXT]\n";
        return 2;
    }
    bool jobOk = false;
    bool itemOk = false;
    const qint32 jobNo = rest[1].toInt(&jobOk);
    const int itemNo = rest[2].toInt(&itemOk);
    if (!jobOk || !itemOk || itemNo < 0 || itemNo > 255) {
        err << "JOBNO and ITEMNO must be numbers\n";
        return 2;
    }
    try {
        platform::Database &db = SharedDatabase();
        db.open(rest[0]);
        qint32 jobId = 0;
        {
            platform::Recordset rs(db);
            rs.open(platform::Recordset::Type::Snapshot,
                    QStringLiteral("SELECT JobID FROM Jobs WHERE JobNo = %1").arg(jobNo));
            if (!rs.isEOF())
                jobId = rs.value(0).toInt();
        }
        if (jobId == 0) {
            err << "Job " << jobNo << " is not found.\n";
            return 1;
        }
        CItemSet item;
        item.m_strFilter =
            QStringLiteral("JobID = %1 and ItemNo = %2 and SubNo = 0 and SerNo = 0").arg(jobId).arg(itemNo);
        item.Open(CXDaoSet::dbOpenSnapshot);
        if (!item.IsOpen() || item.IsEOF()) {
            err << "Item " << itemNo << " of job " << jobNo << " is not found.\n";
            return 1;
        }
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
