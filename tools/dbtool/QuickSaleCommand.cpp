#include "QuickSaleCommand.h"

#include "ToolArgs.h"

#include "app/base/CZqApp.h"
#include "app/base/DateRanges.h"
#include "customers/DepositRules.h"
#include "data/SharedDatabase.h"
#include "jobs/QuickSale.h"
#include "platform/Money.h"
#include "platform/db/DbException.h"

#include <QtCore/QSet>

#include <algorithm>

namespace {

const char *const kUsage =
    "usage: tavrel-dbtool quicksale DB TAXNO TENDERED LINE... [--paid-by TYPE] (LINE: SERNO:QTY, SERNO:QTY@UNIT or "
    "SERNO:QTY=PRICE)\n";

} // namespace

// The counter's sale as its window makes it: only services of the counter's
// pick list are sold, and the money is taken as the payment type given, or
// the one this workstation offers first for quick sales.
int runQuickSaleCommand(const QStringList &given, QTextStream &out, QTextStream &err)
{
    QStringList args = given;
    const QString paidByText = TakeOption(args, QStringLiteral("--paid-by"));
    if (args.size() < 4) {
        err << kUsage;
        return 2;
    }
    bool taxOk = false;
    const int taxNo = args[1].toInt(&taxOk);
    if (!taxOk || taxNo < 0 || taxNo > 255) {
        err << kUsage;
        return 2;
    }
    Money tendered;
    if (!ReadToolAmount(args[2], tendered, err, QStringLiteral("TENDERED")))
        return 2;
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
        QSet<qint32> offered;
        for (const auto &[serNo, name] : QuickSale::PickList(db))
            offered.insert(serNo);
        for (const QuickSale::Line &line : lines) {
            if (!offered.contains(line.serNo)) {
                err << "Service " << line.serNo << " is not sold at the counter.\n";
                return 1;
            }
        }
        CZqApp app;
        bool typeOk = true;
        const int paidBy = paidByText.isEmpty()
            ? app.GetSettingInt(QStringLiteral("DefaultPaidBy-") + DepositSettingsWord(0), 1, CZqApp::kSettings)
            : paidByText.toInt(&typeOk);
        const QList<std::pair<int, QString>> types = ChoosablePaymentTypes(db);
        if (!typeOk || std::none_of(types.begin(), types.end(), [paidBy](const auto &t) { return t.first == paidBy; })) {
            err << "Please select a payment type.\n";
            return 1;
        }
        // A line without a typed amount takes its service's price.
        for (int i = 3; i < args.size(); ++i) {
            QuickSale::Line &line = lines[i - 3];
            QString refusal;
            if (!args[i].contains(QLatin1Char('@')) && !args[i].contains(QLatin1Char('='))
                && !QuickSale::PriceFromService(db, line, refusal) && !refusal.isEmpty()) {
                err << refusal << '\n';
                return 1;
            }
        }
        QuickSale::Totals totals;
        QString refusal;
        if (!QuickSale::ComputeTotals(lines, quint8(taxNo), totals, refusal)) {
            err << refusal << '\n';
            return 1;
        }
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
        payment.paidBy = quint8(paidBy);
        const QuickSale::Saved saved = QuickSale::Save(db, payment, quint8(taxNo), totals, lines);
        if (!saved.refused.isEmpty()) {
            err << saved.refused << '\n';
            return 1;
        }
        out << "QSaleID " << saved.qSaleId << "\nPayNo " << saved.payNo << '\n';
        db.close();
        return 0;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
