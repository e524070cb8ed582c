#include "exchange/export/CExport.h"

#include "app/base/MoneyText.h"
#include "data/CXDaoSet.h"
#include "platform/Money.h"
#include "platform/Prompt.h"
#include "views/CDlg0.h"
#include "views/CDlgData.h"

namespace {

Money moneyField(const CXDaoSet &set, int index)
{
    Money value;
    set.GetFieldCurrency(index, value);
    return value.isNull() ? Money::zero() : value;
}

} // namespace

bool CExport::AskAccounts(QString &accounts)
{
    // Every export starts from the default; a text without two commas cannot
    // name three accounts and is asked for again.
    QString value = QStringLiteral("40000,11000,23100");
    for (;;) {
        CDlgData entry(value, 0, QStringLiteral("Peachtree G/L Accounts"),
                       QStringLiteral("G/L-Sales, G/L-AcctRec, G/L-SalesTax"),
                       QStringLiteral("Please use commas to separate the numbers."), nullptr);
        if (entry.DoModal() != IDOK_RESULT)
            return false;
        value = entry.m_strValue.trimmed();
        if (value.count(QLatin1Char(',')) >= 2) {
            accounts = value;
            return true;
        }
        platform::Prompt::messageBox(QStringLiteral("Please type the three accounts separated by commas, for example "
                                                    "40000,11000,23100."),
                                     QString(), platform::MB_ICONEXCLAMATION);
    }
}

void CExport::WritePeachtreeHeader()
{
    Write(QStringLiteral("CUST#,NAME,INVC#,INVC.DATE,PO#,DUE DATE,AR ACCT,AR AMNT,TAX CODE,#DISTRIBUTIONS,"
                         "QUANTITY,DESCRIPTION,G/L ACCOUNT,UNIT PRICE,TAX TYPE,AMOUNT,TAX AUTHORITY\n"));
}

int CExport::ExportPeachtree(bool allRows)
{
    QString accounts;
    if (!AskAccounts(accounts))
        return 0;
    WritePeachtreeHeader();
    int count = 0;
    for (const Row &row : chosenRows(allRows)) {
        if (m_bFailed)
            break;
        count += WritePeachtreePosting(row.firstText.trimmed().toInt(), accounts);
    }
    return count;
}

int CExport::WritePeachtreePosting(int postingNo, const QString &accounts)
{
    // The account text names the sales, the receivables and the sales-tax
    // account, in that order, separated by commas. A text without a comma
    // is the sales-tax account alone; with one comma the sales-tax account
    // is missing. A missing account is an empty field, and an account is
    // one field whatever it holds, so no column ever moves.
    QString sales, receivables, salesTax;
    const int first = accounts.indexOf(QLatin1Char(','));
    const int second = first < 0 ? -1 : accounts.indexOf(QLatin1Char(','), first + 1);
    if (first < 0) {
        salesTax = accounts;
    } else {
        sales = accounts.left(first);
        receivables = second < 0 ? accounts.mid(first + 1) : accounts.mid(first + 1, second - first - 1);
        if (second >= 0)
            salesTax = accounts.mid(second + 1);
    }
    for (QString *account : {&sales, &receivables, &salesTax}) {
        *account = account->trimmed();
        FormatField(*account, true);
    }

    // LEFT JOIN Taxes: an invoice whose tax has no Taxes row is still an invoice.
    CXDaoSet set;
    OpenQuery(set,
             QStringLiteral("SELECT Jobs.CusNo, Customers.Name, Jobs.JobNo, Jobs.DateShipped, Jobs.PO, Jobs.DatePayDue, "
                            "Jobs.TaxNo, Jobs.Title, Taxes.Name, Jobs.Subtotal, Jobs.Discount, Jobs.Shipping, "
                            "Jobs.Postage, Jobs.Tax FROM ((Jobs INNER JOIN Customers ON Jobs.CusNo = Customers.CusNo) "
                            "LEFT JOIN Taxes ON Taxes.[No] = Jobs.TaxNo) INNER JOIN PostingJournal ON Jobs.PostingNo = "
                            "PostingJournal.PostingNo WHERE (((Jobs.JobType)=3) AND PostingJournal.PostingNo = %1) "
                            "ORDER BY Jobs.JobNo")
                 .arg(postingNo));
    if (!set.IsOpen() || set.IsEmptySet())
        return 0;
    int invoices = 0;
    set.MoveFirst();
    while (!set.IsEOF() && !m_bFailed) {
        ++invoices;
        auto field = [&](int index) {
            QString text;
            set.GetFieldText(index, text, false);
            FormatField(text, true);
            return text;
        };
        auto money = [&](Money value) {
            QString text = FormatMoney(value);
            FormatField(text, true);
            return text;
        };
        const QString head = field(0) + field(1) + field(2) + field(3) + field(4) + field(5);
        const QString taxNo = field(6);
        const QString title = field(7);
        QString taxName;
        set.GetFieldText(8, taxName, false);
        FormatField(taxName, false);
        const Money subtotal = moneyField(set, 9);
        const Money tax = moneyField(set, 13);
        const Money total = subtotal + moneyField(set, 10) + moneyField(set, 11) + moneyField(set, 12) + tax;
        const QString start = head + receivables + money(total);
        if (taxNo == QLatin1String("0,")) {
            Write(start + QStringLiteral("Exempt,1,1,") + title + sales + money(subtotal) + QStringLiteral("2,") +
                  money(-subtotal) + QLatin1Char('\n'));
        } else {
            Write(start + QStringLiteral("State,2,0,") + QStringLiteral(" ,") + salesTax + QStringLiteral("0,") +
                  QStringLiteral("0,") + money(-tax) + taxName + QLatin1Char('\n'));
            Write(start + QStringLiteral("State,2,1,") + title + sales + money(subtotal) + QStringLiteral("1,") +
                  money(-subtotal) + QLatin1Char('\n'));
        }
        set.MoveNext();
    }
    return m_bFailed ? 0 : invoices;
}
