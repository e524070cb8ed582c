#include "exchange/export/CExport.h"

#include "app/base/MoneyText.h"
#include "app/base/PriceText.h"
#include "app/base/TextUtil.h"
#include "app/base/WaitCursor.h"
#include "controls/CXListCtrl.h"
#include "controls/CXRowSource.h"
#include "data/CXDaoSet.h"
#include "platform/Money.h"
#include "views/CDlg0.h"
#include "views/CDlgOptions.h"

namespace {

const QString kDefaultAccounts = QStringLiteral("1152,700,4800,7390,7560,2150,2160,1151,1153,1490,");

// The ten account names of the IIF journals; names missing from the stored
// list are taken from the defaults.
QStringList IifAccounts(CExport &exporter)
{
    QString stored;
    CXDaoSet set;
    exporter.OpenQuery(set, QStringLiteral("Select AlertText FROM CustomerAlerts WHERE CusNo = 0 AND AlertType = 255"));
    if (set.IsOpen() && !set.IsEmptySet())
        set.GetFieldText(0, stored, false);
    QStringList defaults;
    SplitToArray(kDefaultAccounts, defaults);
    QStringList names;
    if (!stored.isEmpty())
        SplitToArray(stored, names);
    for (int i = names.size(); i < 10; ++i)
        names.append(defaults.value(i));
    return names;
}

// The first field of the statement's first row as money; 0 when there is no
// row or the value is Null. `found` tells whether a row came back.
Money SumOf(CExport &exporter, const QString &sql, bool *found = nullptr)
{
    CXDaoSet set;
    exporter.OpenQuery(set, sql);
    const bool any = set.IsOpen() && !set.IsEmptySet();
    if (found)
        *found = any;
    if (!any)
        return Money::zero();
    Money value;
    set.GetFieldCurrency(0, value);
    return value.isNull() ? Money::zero() : value;
}

} // namespace

void CExport::WriteIifSalesHeader()
{
    Write(QStringLiteral("!TRNS\tTRNSTYPE\tDATE\tACCNT\tAMOUNT\tMEMO\tNAME\n"
                         "!SPL\tTRNSTYPE\tDATE\tACCNT\tAMOUNT\tMEMO\tNAME\n"
                         "!ENDTRNS\n"));
}

void CExport::WriteIifInvoiceHeader()
{
    Write(QStringLiteral("!TRNS\tTRNSTYPE\tDATE\tACCNT\tNAME\tAMOUNT\tDOCNUM\tMEMO\tCLEAR\tDUEDATE\tPONUM\n"
                         "!SPL\tTRNSTYPE\tDATE\tACCNT\tNAME\tAMOUNT\tDOCNUM\tMEMO\tCLEAR\tINVITEM\tEXTRA\n"
                         "!ENDTRNS\n"));
}

int CExport::ExportQuickBooks(bool allRows)
{
    bool sales = true;
    bool invoices = false;
    for (;;) {
        CDlgOptions choice(QStringLiteral("Export"), QString(), 0, nullptr);
        choice.AddCheckGroup(QStringLiteral("What do you want to export?"), 0);
        choice.AddEntry(1, QStringLiteral("Sales:"), sales ? 1 : 0);
        choice.AddEntry(2, QStringLiteral("Invoices:"), invoices ? 1 : 0);
        if (choice.DoModal() != IDOK_RESULT)
            return 0;
        sales = choice.IsEntryChecked(1);
        invoices = choice.IsEntryChecked(2);
        if (sales || invoices)
            break;
    }
    WaitCursor wait;
    const QList<Row> chosen = chosenRows(allRows);
    int result = 0;
    m_skipped.clear();
    for (int kind = 0; kind < 2; ++kind) {
        if ((kind == 0 && !sales) || (kind == 1 && !invoices))
            continue;
        if (kind == 0)
            WriteIifSalesHeader();
        else
            WriteIifInvoiceHeader();
        for (const Row &row : chosen) {
            if (m_bFailed)
                break;
            const int posting = row.firstText.trimmed().toInt();
            const int done = kind == 0 ? WriteIifSalesJournal(posting) : WriteIifInvoices(posting);
            if (done == 0 && !m_skipped.contains(posting))
                m_skipped.append(posting);
            result += done;
        }
    }
    return result;
}

int CExport::WriteIifSalesJournal(int postingNo)
{
    const QStringList account = IifAccounts(*this);
    const QString n = QString::number(postingNo);
    const QString sep = QString(QLatin1Char(separator));

    bool quickFound = false;
    const Money q1 = SumOf(*this, QStringLiteral("SELECT Sum([QuickSales].[Subtotal]+[QuickSales].[Tax]) AS Expr1 FROM QuickSales "
                                          "INNER JOIN PostingJournal ON QuickSales.PostingNo = PostingJournal.PostingNo "
                                          "GROUP BY PostingJournal.PostingDate, QuickSales.PostingNo HAVING "
                                          "(((QuickSales.PostingNo)=%1));")
                               .arg(n),
                           &quickFound);

    Money jobs = Money::zero();
    QString date;
    {
        CXDaoSet set;
        OpenQuery(set,
                 QStringLiteral("SELECT Sum([Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Tax]+[Jobs].[Shipping]+"
                                "[Jobs].[Postage]) AS Expr1, PostingJournal.PostingDate FROM Jobs INNER JOIN "
                                "PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo GROUP BY "
                                "PostingJournal.PostingDate, Jobs.PostingNo HAVING (((Jobs.PostingNo)=%1));")
                     .arg(n));
        if (set.IsOpen() && !set.IsEmptySet()) {
            set.GetFieldCurrency(0, jobs);
            if (jobs.isNull())
                jobs = Money::zero();
            set.GetFieldText(1, date, true);
        }
    }
    // A posting of quick sales and payments only has no jobs: its journal is
    // dated by the posting itself.
    if (date.isEmpty()) {
        CXDaoSet set;
        OpenQuery(set,
                 QStringLiteral("SELECT PostingDate FROM PostingJournal WHERE PostingNo = %1").arg(n));
        if (!set.IsOpen() || set.IsEmptySet())
            return 0;
        set.GetFieldText(0, date, true);
    }

    // A line ends after its memo, or after its name on the lines that have
    // one.
    auto line = [&](bool trns, int acct, Money amount, const QString &memo, const QString &name = QString(),
                    bool memoAfterSep = false) {
        return (trns ? QStringLiteral("TRNS\tGENERAL JOURNAL\t") : QStringLiteral("SPL\tGENERAL JOURNAL\t")) + date +
               sep + (acct >= 0 ? account.value(acct) : name) + sep + FormatMoney(amount) +
               (memoAfterSep ? sep : QStringLiteral("\t")) + memo +
               (acct >= 0 && !name.isEmpty() ? QStringLiteral("\t") + name : QString()) + QLatin1Char('\n');
    };

    Write(line(true, 0, jobs + q1, QStringLiteral("Total Sales")));

    {
        CXDaoSet set;
        OpenQuery(set,
                 // A service whose sales department has no row keeps its sales
                 // in the journal under a line of its own, so the block balances.
                 QStringLiteral("SELECT IIF(SalesDepartments.Name Is Null, '(no department)', SalesDepartments.Name) "
                                "AS Category, Sum(Items.Price) AS Price FROM Jobs INNER "
                                "JOIN ((SalesDepartments RIGHT JOIN Services ON SalesDepartments.[No] = "
                                "Services.SaleDept) INNER JOIN Items ON Services.SerNo = Items.SerNo) ON Jobs.JobID = "
                                "Items.JobID WHERE (Items.Price<>0.0001 AND Items.Price<>-0.0001 AND Items.SerNo > 0) "
                                "GROUP BY SalesDepartments.Name, Jobs.PostingNo HAVING "
                                "Jobs.PostingNo=%1 ORDER BY SalesDepartments.Name;")
                     .arg(n));
        if (set.IsOpen() && !set.IsEmptySet()) {
            set.MoveFirst();
            while (!set.IsEOF()) {
                QString name;
                set.GetFieldText(0, name, true);
                Money price;
                set.GetFieldCurrency(1, price);
                if (price.isNull())
                    price = Money::zero();
                // "4000 Printing": account 4000, memo Printing.
                QString acct = name;
                QString memo = name;
                const int blank = name.indexOf(QLatin1Char(' '));
                if (blank > 0 && name.left(blank).toInt() != 0) {
                    acct = name.left(blank);
                    memo = name.mid(blank + 1);
                }
                Write(line(false, -1, -price, memo, acct, true));
                set.MoveNext();
            }
        }
    }

    Write(line(false, 1,
               -SumOf(*this, QStringLiteral("SELECT Sum([QuickSales].[SubTotal]) AS Expr1 FROM QuickSales WHERE "
                                     "(((QuickSales.PostingNo)=%1));")
                          .arg(n)),
               QStringLiteral("Quick Sale")));

    bool taxFound = false;
    Money q2 = SumOf(*this, QStringLiteral("SELECT Sum([QuickSales].[Tax]) AS Expr1 FROM QuickSales INNER JOIN PostingJournal ON "
                                    "QuickSales.PostingNo = PostingJournal.PostingNo GROUP BY PostingJournal.PostingDate, "
                                    "QuickSales.PostingNo HAVING (((QuickSales.PostingNo)=%1));")
                         .arg(n),
                     &taxFound);
    if (!taxFound)
        q2 = quickFound ? q1 : Money::zero();

    {
        Money ship = Money::zero(), post = Money::zero(), tax = Money::zero(), disc = Money::zero();
        CXDaoSet set;
        OpenQuery(set,
                 QStringLiteral("SELECT Sum([Jobs].[Shipping]) AS Ship, Sum([Jobs].[Postage]) AS Post, "
                                "Sum([Jobs].[Tax]) AS Tax, Sum([Jobs].[Discount]) AS Disc FROM Jobs INNER JOIN "
                                "PostingJournal ON Jobs.PostingNo = PostingJournal.PostingNo WHERE "
                                "(((Jobs.PostingNo)=%1));")
                     .arg(n));
        if (set.IsOpen() && !set.IsEmptySet()) {
            Money *values[4] = {&ship, &post, &tax, &disc};
            for (int i = 0; i < 4; ++i) {
                set.GetFieldCurrency(i, *values[i]);
                if (values[i]->isNull())
                    *values[i] = Money::zero();
            }
        }
        Write(line(false, 2, -disc, QStringLiteral("Discount")));
        Write(line(false, 3, -ship, QStringLiteral("Shipping")));
        Write(line(false, 4, -post, QStringLiteral("Postage")));
        Write(line(false, 5, -tax - q2, QStringLiteral("Tax") + sep + QStringLiteral("AllTaxes")));
        Write(QStringLiteral("ENDTRNS\n"));
    }

    const Money deposit =
        SumOf(*this, QStringLiteral("SELECT Sum([Paid]-[QSaleSubtotal]-[QSaleTax]) AS Expr1 FROM PostingJournal WHERE "
                             "(((PostingJournal.PostingNo)=%1));")
                  .arg(n));
    Write(line(true, 6, -deposit, QStringLiteral("from Total Sales")));
    Write(line(false, 0, deposit, QStringLiteral("to Deposit Applied")));
    Write(QStringLiteral("ENDTRNS\n"));

    const Money posted = SumOf(*this,
        QStringLiteral("SELECT (Sum([Jobs].[Subtotal]+[Jobs].[Discount]+[Jobs].[Tax]+[Jobs].[Shipping]+[Jobs].[Postage])"
                       "+MAX([PostingJournal].[Paid])) AS Expr1 FROM Jobs INNER JOIN PostingJournal ON Jobs.PostingNo = "
                       "PostingJournal.PostingNo WHERE (((Jobs.PostingNo)=%1));")
            .arg(n));
    Write(line(true, 7, posted, QStringLiteral("from Total Sales"), QStringLiteral("Sales")));
    Write(line(false, 0, -posted, QStringLiteral("to Posted to A/R")));
    Write(QStringLiteral("ENDTRNS\n"));

    const Money quick =
        SumOf(*this, QStringLiteral("SELECT Sum([QSaleSubtotal]+[QSaleTax]) AS Expr1 FROM PostingJournal WHERE PostingNo=%1;")
                  .arg(n));
    Write(line(true, 8, quick, QStringLiteral("from Deposit Applied")));
    Write(line(false, 6, -quick, QStringLiteral("to Quick Sales")));
    Write(QStringLiteral("ENDTRNS\n"));
    Write(line(true, 9, quick, QStringLiteral("from Quick Sales")));
    Write(line(false, 8, -quick, QStringLiteral("to Undeposited Funds")));
    Write(QStringLiteral("ENDTRNS\n"));

    const QString payments = QStringLiteral("SELECT Sum(Payments.Amount) AS SumOfAmount FROM Payments WHERE "
                                            "(((Payments.PayGroup)=%1) AND ((Payments.PostingNo)=%2));");
    const Money p1 = SumOf(*this, payments.arg(1).arg(n));
    Write(line(true, 9, p1, QStringLiteral("from Deposits (Tavrel)")));
    Write(line(false, 6, -p1, QStringLiteral("to Undeposited Funds")));
    Write(QStringLiteral("ENDTRNS\n"));
    const Money p2 = SumOf(*this, payments.arg(2).arg(n));
    Write(line(true, 9, p2, QStringLiteral("from Payments (A/R)")));
    Write(line(false, 7, -p2, QStringLiteral("to Undeposited Funds"), QStringLiteral("Sales")));
    Write(QStringLiteral("ENDTRNS\n\n"));
    return m_bFailed ? 0 : 1;
}

int CExport::WriteIifInvoices(int postingNo)
{
    // LEFT JOIN Taxes: an invoice whose tax has no Taxes row is still written.
    CXDaoSet set;
    OpenQuery(set,
             QStringLiteral("SELECT DateShipped, Customers.Name, Balance, JobNo, Memo, DatePayDue, PO, "
                            "Subtotal, WriteOff, Shipping, Postage, Jobs.LateFee, Paid, Jobs.Tax, "
                            "Taxes.[Name], Jobs.Discount FROM (Jobs LEFT JOIN Taxes ON Jobs.TaxNo = Taxes.[No]) "
                            "INNER JOIN Customers ON Customers.CusNo = Jobs.CusNo WHERE Jobs.PostingNo =%1 "
                            "ORDER BY JobNo")
                 .arg(postingNo));
    // A posting without invoices writes none.
    if (!set.IsOpen() || set.IsEmptySet())
        return 0;
    set.MoveFirst();
    while (!set.IsEOF() && !m_bFailed) {
        auto text = [&](int i) {
            // A TAB inside a value would shift every column after it.
            return VariantToText(set.GetFieldValue(i)).replace(QLatin1Char('\t'), QLatin1Char(' '));
        };
        const QString date = text(0);
        const QString jobNo = text(3);
        const QString taxName = text(14);

        // The amounts as the posting booked them: the audit row the posting
        // wrote for the invoice (its first of the posting's day). A credit or
        // a payment made since changes the job, not what was posted. A job
        // without that row (posted before the audit trail was kept) gives
        // its stored amounts.
        enum { Subtotal, WriteOff, Shipping, Postage, LateFee, Paid, Tax, Discount, Count };
        Money amount[Count];
        const int stored[Count] = {7, 8, 9, 10, 11, 12, 13, 15};
        for (int k = 0; k < Count; ++k)
            amount[k] = set.GetFieldValue(stored[k]).toMoney();
        CXDaoSet posted;
        OpenQuery(posted,
                    QStringLiteral("SELECT TOP 1 AuditTrail.Subtotal, AuditTrail.Writeoff, AuditTrail.Shipping, "
                                   "AuditTrail.Postage, AuditTrail.Latefee, AuditTrail.Paid, AuditTrail.Tax, "
                                   "AuditTrail.Discount FROM AuditTrail INNER JOIN PostingJournal ON "
                                   "AuditTrail.TransDate = PostingJournal.PostingDate WHERE AuditTrail.JobNo = %1 "
                                   "AND PostingJournal.PostingNo = %2 ORDER BY AuditTrail.TransNo")
                        .arg(ToInt(jobNo))
                        .arg(postingNo));
        if (posted.IsOpen() && !posted.IsEmptySet()) {
            for (int k = 0; k < Count; ++k)
                amount[k] = posted.GetFieldValue(k).toMoney();
        }
        posted.Close();

        // Each line's amount in whole cents as written; the receivable is
        // what the lines carry, so that every transaction sums to 0.
        auto line = [](Money m) { return Money::fromUnits(-m.units()).roundedToCentsHalfAway(); };
        const Money sales = line(amount[Subtotal] + amount[WriteOff]);
        struct Extra { int amount; const char *account; const char *memo; };
        static const Extra extras[] = {
            {Discount, "Cash Discounts", "Discount"},
            {Shipping, "Reimbursed Expenses:Shipping", "Shipping"},
            {Postage, "Reimbursed Expenses:Postage", "Postage"},
            {LateFee, "Interest Income", "LateFee"},
            {Paid, "Checking", "Payment"},
        };
        const Money tax = line(amount[Tax]);
        Money receivable = -(sales + tax);
        for (const Extra &e : extras)
            receivable -= line(amount[e.amount]);
        auto money = [](Money m) { return VariantToText(platform::Value(m)); };

        Write(QStringLiteral("TRNS\tINVOICE\t%1\tAccounts Receivable\t%2\t%3\t%4\t%5\tN\t%6\t%7\n")
                  .arg(date, text(1), money(receivable), jobNo, text(4), text(5), text(6)));
        Write(QStringLiteral("SPL\tINVOICE\t%1\tSales\t\t%2\t%3\t\tN\t\t\n").arg(date, money(sales), jobNo));
        for (const Extra &e : extras) {
            const Money value = line(amount[e.amount]);
            if (!value.isZero())
                Write(QStringLiteral("SPL\tINVOICE\t%1\t%2\t\t%3\t%4\t\tN\t%5\t\n")
                          .arg(date, QLatin1String(e.account), money(value), jobNo, QLatin1String(e.memo)));
        }
        Write(QStringLiteral("SPL\tINVOICE\t%1\tSales Tax Payable\t%2\t%3\t%4\t\tN\t%5\tAUTOSTAX\n")
                  .arg(date, taxName, money(tax), jobNo, taxName));
        Write(QStringLiteral("ENDTRNS\n"));
        set.MoveNext();
    }
    return m_bFailed ? 0 : 1;
}

int CExport::ExportQuickBooksCustomers()
{
    QString statement = listSql;
    if (list && list->recordset())
        statement = list->recordset()->statement();
    CXDaoSet parts;
    parts.m_strSQL = statement;
    parts.SplitSQL();
    QString limit;
    const int top = parts.m_strSqlHead.indexOf(QLatin1String("TOP "), 1, Qt::CaseInsensitive);
    if (top > 0) {
        int at = top + 4;
        while (at < parts.m_strSqlHead.size() && parts.m_strSqlHead.at(at) == QLatin1Char(' '))
            ++at;
        const int blank = parts.m_strSqlHead.indexOf(QLatin1Char(' '), at);
        if (blank > 0)
            limit = parts.m_strSqlHead.mid(top, blank - top + 1);
    }
    QString where = parts.m_strSqlWhere.trimmed();
    if (where.startsWith(QLatin1String("WHERE "), Qt::CaseInsensitive))
        where = where.mid(6).trimmed();

    QString sql = QStringLiteral("SELECT DISTINCTROW ") + limit +
                  QStringLiteral("'CUST' AS [CUST], Customers.Name AS [NAME], Customers.Name AS [BADDR1], "
                                 "Customers.Address AS [BADDR2], Customers.Address2 AS [BADDR3], Customers.City & ' ' & "
                                 "Customers.State & ' ' & Customers.Zip AS [BADDR4], Payer.First & ' ' & Payer.Last AS "
                                 "[CONT1], Payer.Phone AS [PHONE1], Buyer.First & ' ' & Buyer.Last AS [CONT2], "
                                 "Buyer.Phone AS [PHONE2], Payer.Fax AS [FAXNUM], IIF(Customers.Tax, 'Y', 'N') AS "
                                 "[TAXABLE] FROM Jobs RIGHT JOIN (Contacts AS Payer RIGHT JOIN (Contacts AS Buyer RIGHT "
                                 "JOIN Customers ON Buyer.ContactNo = Customers.BuyerNo) ON Payer.ContactNo = "
                                 "Customers.PayerNo) ON Customers.CusNo = Jobs.CusNo");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    CXDaoSet set;
    OpenQuery(set, sql);
    if (!set.IsOpen() || set.IsEmptySet())
        return 0;
    // IIF has no quoting: a two-line address or a TAB in a name would split
    // the customer's record.
    unquoted = true;
    Write(QStringLiteral("!"));
    const int written = WriteRecordRows(set, true, false);
    unquoted = false;
    return written;
}
