#include "reports/ReportLists.h"

#include "app/base/MoneyText.h"
#include "platform/Money.h"
#include "platform/db/Database.h"
#include "platform/db/DbException.h"
#include "platform/db/Recordset.h"

QString ChangedJobsSql(int entry, const QString &filter)
{
    static const char *const kColumns[] = {"Subtotal", "Discount", "Shipping", "Postage", "Tax",
                                           "Latefee",  "Paid",     "Writeoff", "Balance"};
    QString extra = QStringLiteral(" and AuditTrail.TransDate > PostingJournal.PostingDate ");
    if (entry >= 2 && entry <= 10)
        extra += QStringLiteral("and AuditTrail.") + QLatin1String(kColumns[entry - 2]) + QStringLiteral(" <> 0 ");
    const QString joins = QStringLiteral(
        "FROM (Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo) INNER JOIN AuditTrail ON "
        "Jobs.JobNo = AuditTrail.JobNo WHERE ");
    if (entry <= 10) {
        return QStringLiteral(
                   "SELECT PostingJournal.PostingDate as [Posted], AuditTrail.TransDate as [Changed], Jobs.JobNo, "
                   "PostingJournal.PostingNo as [PostNo], AuditTrail.Subtotal, AuditTrail.Discount, AuditTrail.Shipping, "
                   "AuditTrail.Postage, AuditTrail.Tax, AuditTrail.Latefee, AuditTrail.Paid, AuditTrail.Writeoff, "
                   "AuditTrail.Balance, AuditTrail.JobType ")
            + joins + filter + extra + QStringLiteral("ORDER BY PostingJournal.PostingDate, Jobs.JobNo, AuditTrail.TransDate");
    }
    if (entry == 11) {
        return QStringLiteral(
                   "SELECT Format(AuditTrail.TransDate,'mm  mmmm') AS [Month], Count(*) AS [Count], Sum(AuditTrail.Subtotal) "
                   "AS Subtotal, Sum(AuditTrail.Discount) AS Discount, Sum(AuditTrail.Subtotal+AuditTrail.Discount) AS "
                   "NetSale, Sum(AuditTrail.Shipping) AS Shipping, Sum(AuditTrail.Postage) AS Postage, Sum(AuditTrail.Tax) "
                   "AS Tax, Sum(AuditTrail.Latefee) AS Latefee, Sum(AuditTrail.Paid) AS Paid, Sum(AuditTrail.Writeoff) AS "
                   "Writeoff, Sum(AuditTrail.Balance) AS Balance ")
            + joins + filter + extra
            + QStringLiteral("GROUP BY (Format(AuditTrail.TransDate,'mm  mmmm')) ORDER BY (Format(AuditTrail.TransDate,'mm  mmmm'))");
    }
    return QStringLiteral(
               "SELECT 'As Posted'    as [Description], Sum(PostingJournal.Invoices) as [Invoices], "
               "SUM(PostingJournal.Subtotal)      AS [Subtotal], SUM(PostingJournal.Discount) AS [Discount], "
               "SUM(PostingJournal.Subtotal + PostingJournal.Discount) as [Net Sale], SUM(PostingJournal.Shipping) AS "
               "[Shipping], SUM(PostingJournal.Postage) AS [Postage], SUM(PostingJournal.Tax)      AS [Tax], "
               "SUM(PostingJournal.Latefee) AS [Latefee], SUM(PostingJournal.Paid)                                    AS "
               "[Paid], SUM(PostingJournal.Writeoff) AS [Writeoff], SUM(PostingJournal.Balance) AS [Balance] FROM "
               "PostingJournal WHERE ")
        + filter
        + QStringLiteral(
              " UNION SELECT 'Now'          as [Description], Count(Jobs.JobNo)            as [Invoices], "
              "SUM(Jobs.Subtotal)                AS [Subtotal], SUM(Jobs.Discount)           AS [Discount], "
              "SUM(Jobs.Subtotal + Jobs.Discount)                     as [Net Sale], SUM(Jobs.Shipping)           AS "
              "[Shipping], SUM(Jobs.Postage)           AS [Postage], SUM(Jobs.Tax)                AS [Tax], "
              "SUM(Jobs.Latefee)           AS [Latefee], SUM(Jobs.Paid)                                              "
              "AS [Paid], SUM(Jobs.Writeoff)           AS [Writeoff], SUM(Jobs.Balance)           AS [Balance] FROM Jobs "
              "INNER JOIN PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo WHERE ")
        + filter;
}

QStringList ChangeRowTexts(const QStringList &posted, const QStringList &now)
{
    QStringList out;
    out << QStringLiteral("Change (Now - Posted)");
    const int columns = int(std::max(posted.size(), now.size()));
    for (int c = 1; c < columns; ++c) {
        const QString a = posted.value(c), b = now.value(c);
        if (a == b) {
            out << QString();
        } else if (c == 1) {
            QString x = a, y = b;
            out << QString::number(y.remove(QLatin1Char(',')).toLongLong() - x.remove(QLatin1Char(',')).toLongLong());
        } else {
            const Money before = Money::fromText(a.trimmed().isEmpty() ? QStringLiteral("0") : a.trimmed());
            const Money after = Money::fromText(b.trimmed().isEmpty() ? QStringLiteral("0") : b.trimmed());
            out << FormatMoney(Money::fromUnits(after.units() - before.units()));
        }
    }
    return out;
}

void DeleteAuditTrailRows(platform::Database &db, const QList<qint64> &transNos)
{
    platform::Transaction transaction(db);
    for (qint64 key : transNos)
        db.execute(QStringLiteral("DELETE FROM AuditTrail WHERE TransNo = ?"), {platform::Value(qint32(key))});
    transaction.commit();
}

bool PostingHeaderTexts(platform::Database &db, int postingNo, QString &first, QString &second)
{
    try {
        platform::Recordset rs(db);
        rs.open(platform::Recordset::Type::Snapshot,
                QStringLiteral("SELECT Invoices, QSales FROM PostingJournal WHERE PostingNo = %1").arg(postingNo));
        if (rs.isEOF())
            return false;
        first = QStringLiteral("Posting No %1").arg(postingNo);
        second = QStringLiteral("%1 Orders and %2 QuickSales").arg(rs.value(0).toInt()).arg(rs.value(1).toInt());
        return true;
    } catch (const platform::DbException &) {
        return false;
    }
}
