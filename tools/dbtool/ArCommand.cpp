#include "ArCommand.h"

#include "ToolArgs.h"

#include "app/base/Confirmation.h"
#include "app/base/MoneyText.h"
#include "app/base/TypedValue.h"
#include "customers/CreditAdjustment.h"
#include "customers/LateFees.h"
#include "customers/PaymentEntry.h"
#include "customers/PostingRun.h"
#include "customers/WriteOffs.h"
#include "data/SharedDatabase.h"
#include "platform/Prompt.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

namespace {

const char *const kUsage =
    "usage: tavrel-dbtool ar DB post [JOBID...] | pay CUSNO AMOUNT [JOBNO[:AMOUNT]...] [--use-credit] |\n"
    "       latefee JOBID... [--rule P,M,F] | clearfee JOBID... | writeoff JOBID... | credit CUSNO AMOUNT [REASON]\n";

bool readIds(const QStringList &args, int from, QList<qint32> &ids)
{
    for (int i = from; i < args.size(); ++i) {
        bool ok = false;
        const qint32 id = args[i].toInt(&ok);
        if (!ok || id <= 0)
            return false;
        ids << id;
    }
    return true;
}

// An amount as the program's fields read one (ReadToolAmount).
bool readMoney(const QString &text, Money &out, QTextStream &err)
{
    return ReadToolAmount(text, out, err);
}

int post(const QList<qint32> &given, QTextStream &out, QTextStream &err)
{
    platform::Database &db = SharedDatabase();
    QList<qint32> scope = given;
    if (scope.isEmpty()) {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT JobID FROM Jobs WHERE Status = 3 AND JobType = 0 ORDER BY JobNo"));
        for (; !rs.isEOF(); rs.moveNext())
            scope << rs.value(0).toInt();
    }
    PostingRun run(db);
    if (!run.OpenForPosting()) {
        run.ReopenShared();
        err << "Posting was not started.\n";
        return 1;
    }
    if (!ConfirmAction(PostingRun::ConfirmText())) {
        run.ReopenShared();
        return 1;
    }
    const bool ok = run.Post(scope);
    run.ReopenShared();
    if (!ok)
        return 1;
    const CPostSet &j = run.Journal();
    out << "PostingNo " << j.m_PostingNo << "\nInvoices " << j.m_Invoices << "\nQSales " << j.m_QSales << '\n';
    const QList<QPair<const char *, Money>> sums = {
        {"Cost", j.m_Cost},           {"Subtotal", j.m_Subtotal},         {"Discount", j.m_Discount},
        {"Shipping", j.m_Shipping},   {"Postage", j.m_Postage},           {"Tax", j.m_Tax},
        {"Latefee", j.m_Latefee},     {"Paid", j.m_Paid},                 {"Writeoff", j.m_Writeoff},
        {"Balance", j.m_Balance},     {"Commission", j.m_Commission},     {"TaxableNetSale", j.m_TaxableNetSale},
        {"QSaleSubtotal", j.m_QSaleSubtotal}, {"QSaleTax", j.m_QSaleTax}, {"TaxableQSale", j.m_TaxableQSale},
        {"DepositNew", j.m_DepositNew}, {"DepositOld", j.m_DepositOld},   {"DepositNow", j.m_DepositNow},
        {"AllPayments", j.m_AllPayments}, {"CreditsDue", j.m_CreditsDue}, {"ARBalance", j.m_ARBalance}};
    for (const auto &s : sums)
        out << s.first << ' ' << FormatMoney(s.second) << '\n';
    return 0;
}

int pay(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool cusOk = false;
    const qint32 cusNo = args.value(1).toInt(&cusOk);
    Money amount;
    if (!cusOk || cusNo <= 0 || !readMoney(args.value(2), amount, err)) {
        err << kUsage;
        return 2;
    }
    bool useCredit = false;
    QList<QPair<qint32, std::optional<Money>>> clicks;
    for (int i = 3; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--use-credit")) {
            useCredit = true;
            continue;
        }
        const QStringList parts = args[i].split(QLatin1Char(':'));
        bool ok = false;
        const qint32 jobNo = parts[0].toInt(&ok);
        std::optional<Money> partial;
        if (parts.size() == 2) {
            Money m;
            if (!readMoney(parts[1], m, err)) {
                err << kUsage;
                return 2;
            }
            partial = m;
        }
        if (!ok || parts.size() > 2) {
            err << kUsage;
            return 2;
        }
        clicks.append({jobNo, partial});
    }
    platform::Database &db = SharedDatabase();
    PaymentEntry entry;
    entry.Load(db, cusNo);
    const Money creditDue = CreditAdjustment(db).CreditDue(cusNo);
    if (useCredit) {
        if (creditDue.isZero()) {
            err << "The customer has no credit.\n";
            return 1;
        }
        entry.UseCredit(creditDue);
    } else if (!amount.isZero()) {
        entry.AmountChanged(amount);
    }
    for (const auto &click : clicks) {
        int row = -1;
        for (int r = 0; r < entry.rows.size(); ++r)
            if (entry.rows[r].jobNo == click.first)
                row = r;
        if (row < 0) {
            err << PaymentEntry::NotUnpaidText(click.first) << '\n';
            return 1;
        }
        entry.ApplyToRow(row, click.second);
    }
    if (entry.amount.isZero()) {
        err << PaymentEntry::ZeroAmountText() << '\n';
        return 1;
    }
    bool creditAccepted = false;
    if (!entry.CreditToGive().isZero())
        creditAccepted = platform::Prompt::messageBox(PaymentEntry::CreditQuestion(entry.CreditToGive()), QString(),
                                                      platform::MB_YESNO | platform::MB_ICONQUESTION)
            == platform::IDYES;
    if (!entry.Save(db, cusNo, creditAccepted))
        return 1;
    out << "PayNo " << entry.lastPayNo << "\nAppliedto " << entry.lastAppliedTo << "\nSaved "
        << FormatMoney(entry.totalSaved) << '\n';
    if (!entry.lastNote.isEmpty())
        out << entry.lastNote << " is saved.\n";
    return 0;
}

} // namespace

int runArCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() < 2) {
        err << kUsage;
        return 2;
    }
    const QString verb = args[1];
    QStringList rest = args.mid(1);
    try {
        SharedDatabase().open(args[0]);
        platform::Database &db = SharedDatabase();
        int rc = 2;
        if (verb == QLatin1String("post")) {
            QList<qint32> ids;
            if (!readIds(rest, 1, ids)) {
                err << kUsage;
                return 2;
            }
            rc = post(ids, out, err);
        } else if (verb == QLatin1String("pay")) {
            rc = pay(rest, out, err);
        } else if (verb == QLatin1String("latefee") || verb == QLatin1String("clearfee")
                   || verb == QLatin1String("writeoff")) {
            std::optional<LateFeeRule> rule;
            const int at = rest.indexOf(QStringLiteral("--rule"));
            if (at >= 0) {
                if (verb != QLatin1String("latefee") || at + 1 >= rest.size()) {
                    err << kUsage;
                    return 2;
                }
                rule = LateFeeRule::FromText(rest[at + 1] + QLatin1Char(','));
                rest.remove(at, 2);
            }
            QList<qint32> ids;
            if (!readIds(rest, 1, ids) || ids.isEmpty()) {
                err << kUsage;
                return 2;
            }
            bool ok = false;
            if (verb == QLatin1String("latefee")) {
                LateFees fees(db);
                const LateFeeRule use = rule ? *rule : fees.ReadRule();
                // An invoice left uncharged at the largest amount fails the run.
                ok = ConfirmAction(LateFees::ChargeQuestion(ids.size())) && fees.Charge(ids, use)
                    && fees.NotChargedCount() == 0;
            } else if (verb == QLatin1String("clearfee")) {
                ok = ConfirmAction(LateFees::ClearQuestion(ids.size())) && LateFees(db).Clear(ids);
            } else {
                ok = ConfirmAction(WriteOffs::Question(ids.size())) && WriteOffs(db).WriteOff(ids);
            }
            rc = ok ? 0 : 1;
        } else if (verb == QLatin1String("credit")) {
            bool cusOk = false;
            const qint32 cusNo = rest.value(1).toInt(&cusOk);
            Money amount;
            bool reasonOk = true;
            const int reason = rest.size() > 3 ? rest[3].toInt(&reasonOk) : 0;
            if (!cusOk || !readMoney(rest.value(2), amount, err) || !reasonOk || reason < 0 || reason > 255
                || rest.size() > 4) {
                err << kUsage;
                return 2;
            }
            Money written;
            if (amount.isZero() || !CreditAdjustment(db).Adjust(cusNo, amount, quint8(reason), &written)
                || written.isZero()) {
                err << "No credit was adjusted.\n";
                rc = 1;
            } else {
                out << "Adjusted " << FormatMoney(written) << "\nCreditDue "
                    << FormatMoney(CreditAdjustment(db).CreditDue(cusNo)) << '\n';
                rc = 0;
            }
        } else {
            err << kUsage;
        }
        if (SharedDatabase().isOpen())
            SharedDatabase().close();
        return rc;
    } catch (const platform::DbException &e) {
        err << "Error " << e.number() << ": " << e.what() << '\n';
        return 1;
    }
}
