#include "QuickSaleCommand.h"

#include "app/base/DateRanges.h"
#include "customers/DepositRules.h"
#include "data/SharedDatabase.h"
#include "jobs/QuickSale.h"
#include "platform/Money.h"
#include "platform/db/DbException.h"

namespace {

const char *const kUsage =
    "usage: tavrel-dbtool quicksale DB TAXNO TENDERED LINE... (LINE: SERNO:QTY, SERNO:QTY@UNIT or SERNO:QTY=PRICE)\n";

} // namespace

int runQuickSaleCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() < 4) {
        err << kUsage;
        return 2;
    }
    bool taxOk = false;
    const int taxNo = args[1].toInt(&taxOk);
    const Money tendered = Money::fromText(args[2]);
    if (!taxOk || taxNo < 0 || taxNo > 255 || !tendered.isValid()) {
        err << kUsage;
        return 2;
    }
    QList<QuickSale::Line> lines;
    for (int i = 3; i < args.size(); ++i) {
        QuickSale::Line line;
        QString error;
        if (!QuickSale::ParseLine(args[i], line, error)) {
            err << error << '\n';
            return 2;
        }
        lines << line;
    }
    try {
        platform::Database &db = SharedDatabase();
        db.open(args[0]);
        // A line without a typed amount takes its service's price.
        for (int i = 3; i < args.size(); ++i) {
            QuickSale::Line &line = lines[i - 3];
            if (!args[i].contains(QLatin1Char('@')) && !args[i].contains(QLatin1Char('=')) &&
                !QuickSale::PriceFromService(db, line))
                err << "No service " << line.serNo << ": the line is not sold.\n";
        }
        const QuickSale::Totals totals = QuickSale::ComputeTotals(lines, quint8(taxNo));
        if (totals.total() == 0) {
            err << "The sale comes to 0: nothing taken.\n";
            return 1;
        }
        const Money due = Money::fromCents(totals.total());
        // The counter's rules: never short; below 0 reverses the whole sale.
        const DepositAmounts amounts = TenderedLeft(0, due, tendered);
        NewPayment payment;
        payment.date = GetToday();
        payment.amount = amounts.tendered - amounts.change;
        payment.cusNo = QuickSale::kWalkInCustomer;
        payment.payGroup = 0;
        payment.paidBy = 1;
        const QuickSale::Saved saved = QuickSale::Save(db, payment, quint8(taxNo), totals, lines);
        out << "QSaleID " << saved.qSaleId << "\nPayNo " << saved.payNo << '\n';
        db.close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
