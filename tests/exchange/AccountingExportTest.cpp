#include "ExchangeFixture.h"

#include "controls/CXListCtrl.h"
#include "controls/CXTreeOptCtrl.h"
#include "views/CDlgData.h"
#include "views/CDlgOptions.h"

namespace {

class AccountingExport : public ExchangeTest
{
protected:
    // Writes one kind of file for posting 7 as the export entry would.
    QString write(const QString &name, const std::function<int(CExport &)> &writer, int *written = nullptr)
    {
        const QString path = tempPath(name);
        CExport exporter;
        EXPECT_TRUE(exporter.OpenOutput(path));
        const int n = writer(exporter);
        EXPECT_TRUE(exporter.CloseOutput());
        if (written)
            *written = n;
        return path;
    }
};

// Checks an IIF file as the accounting program reads it: every record line
// names a "!" header and has at most that header's fields (trailing ones may
// be left off), every block ends with ENDTRNS, and each general-journal and
// invoice block sums to 0.00.
const char kIifChecker[] = R"(
import sys
from decimal import Decimal
data = open(sys.argv[1], 'rb').read()
assert b'\n' not in data.replace(b'\r\n', b''), 'bare LF'
lines = data.decode('cp1252').split('\r\n')
heads = {}
block = None
total = Decimal(0)
blocks = 0
for n, line in enumerate(lines, 1):
    if line == '':
        continue
    f = line.split('\t')
    if f[0].startswith('!'):
        heads[f[0][1:]] = len(f)
        continue
    if f[0] == 'ENDTRNS':
        assert block is not None, 'ENDTRNS without TRNS at %d' % n
        assert total == 0, '%s at line %d sums to %s' % (block, n, total)
        block = None
        blocks += 1
        continue
    assert f[0] in heads, 'line %d: %r' % (n, line)
    assert len(f) <= heads[f[0]], 'line %d has %d fields, header %d' % (n, len(f), heads[f[0]])
    if f[0] not in ('TRNS', 'SPL'):
        continue
    if f[0] == 'TRNS':
        assert block is None, 'TRNS inside a block at %d' % n
        block = f[1]
        total = Decimal(0)
    else:
        assert block == f[1], 'SPL outside its block at %d' % n
    if block == 'GENERAL JOURNAL':
        total += Decimal(f[4])
    elif block == 'INVOICE':
        total += Decimal(f[5])
assert block is None, 'last block not closed'
print('blocks', blocks)
)";

TEST_F(AccountingExport, InvoiceCsvMatchesGoldenAndReadsBack)
{
    const QString path = write(QStringLiteral("invoices.csv"), [](CExport &e) {
        e.separator = ',';
        e.WritePeachtreeHeader();
        e.WritePeachtreePosting(7, QStringLiteral("40000,11000,23100"));
        return 1;
    });
    expectGolden(path, QStringLiteral("invoices.csv"));

    // python's csv reads every row with the header's 17 columns; the taxed
    // invoice writes its tax line first; the tax name with a comma stays one cell.
    int code = 0;
    const QString out = python(QStringLiteral(R"(
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='cp1252')))
assert all(len(r) == 17 for r in rows), [len(r) for r in rows]
print(len(rows))
for r in rows[1:]:
    print('|'.join([r[1], r[2], r[7], r[8], r[11], r[15], r[16]]))
)"),
                                {path}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("8\n"
                                  "Acme, Inc.|1001|219.50|State| |-14.50|State, Sales\n"
                                  "Acme, Inc.|1001|219.50|State|Letterhead, 2 colours|-200.00|\n"
                                  "Bob's Print\tShop|1002|83.00|Exempt|Flyers|-80.00|\n"
                                  "Acme, Inc.|1003|-53.63|State| |3.63|State, Sales\n"
                                  "Acme, Inc.|1003|-53.63|State|Credit for 1001|50.00|\n"
                                  "Acme, Inc.|1004|32.00|State| |-2.00|\n"
                                  "Acme, Inc.|1004|32.00|State|Cards|-30.00|\n"));
    QProcess clean;
    clean.start(QStringLiteral("csvclean"), {QStringLiteral("-n"), path});
    if (!clean.waitForStarted())
        FAIL() << "csvclean is not installed (scripts/setup.sh installs it)";
    clean.waitForFinished(60000);
    const QString report = QString::fromUtf8(clean.readAll());
    EXPECT_EQ(clean.exitCode(), 0) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("No errors."))) << report.toStdString();
}

// However the accounts are typed, every line keeps its 17 columns: a missing
// account is an empty field, an account holding a comma is one quoted field.
TEST_F(AccountingExport, InvoiceCsvKeepsItsColumnsWhateverTheAccountText)
{
    struct Case
    {
        const char *accounts;
        const char *expected; // AR account; sales accounts; sales-tax accounts; first AR amount
    };
    const Case cases[] = {
        {"40000,11000,23100", "11000;40000;23100;219.50"},
        {"4000", ";;4000;219.50"},
        {"40000;11000;23100", ";;40000;11000;23100;219.50"},
        {"40000,11000", "11000;40000;;219.50"},
        {" 40000 , 11000 , 23100,9", "11000;40000;23100,9;219.50"},
    };
    for (const Case &c : cases) {
        const QString path = write(QStringLiteral("accounts.csv"), [&c](CExport &e) {
            e.separator = ',';
            e.WritePeachtreeHeader();
            e.WritePeachtreePosting(7, QString::fromLatin1(c.accounts));
            return 1;
        });
        int code = 0;
        const QString out = python(QStringLiteral(R"(
import csv, sys
rows = list(csv.reader(open(sys.argv[1], newline='', encoding='cp1252')))
assert all(len(r) == 17 for r in rows), [len(r) for r in rows]
rows = rows[1:]
ar = sorted(set(r[6] for r in rows))
sales = sorted(set(r[12] for r in rows if r[10] == '1'))
tax = sorted(set(r[12] for r in rows if r[10] == '0'))
print(';'.join(['|'.join(ar), '|'.join(sales), '|'.join(tax), rows[0][7]]))
)"),
                                    {path}, &code);
        EXPECT_EQ(code, 0) << c.accounts << ": " << out.toStdString();
        EXPECT_EQ(out.trimmed(), QString::fromLatin1(c.expected)) << c.accounts;
    }
}

TEST_F(AccountingExport, IifSalesJournalAndInvoicesMatchGoldenAndBalance)
{
    int sales = 0;
    const QString salesPath = write(
        QStringLiteral("sales.iif"),
        [](CExport &e) {
            e.WriteIifSalesHeader();
            return e.WriteIifSalesJournal(7);
        },
        &sales);
    EXPECT_EQ(sales, 1);
    expectGolden(salesPath, QStringLiteral("sales.iif"));

    // Invoice 1004 had 1.50 of its 32.00 written off: its sales line carries
    // the write-off (-(30.00 - 1.50)) and the receivable is 28.50 + 2.00 tax.
    exec(QStringLiteral("UPDATE Jobs SET Writeoff = -1.5, Balance = 30.5 WHERE JobNo = 1004"));
    int invoices = 0;
    const QString invoicePath = write(
        QStringLiteral("invoices.iif"),
        [](CExport &e) {
            e.WriteIifInvoiceHeader();
            return e.WriteIifInvoices(7);
        },
        &invoices);
    EXPECT_EQ(invoices, 1);
    expectGolden(invoicePath, QStringLiteral("invoices.iif"));

    int code = 0;
    QString out = python(QString::fromLatin1(kIifChecker), {salesPath}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("blocks 7\n"));
    out = python(QString::fromLatin1(kIifChecker), {invoicePath}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("blocks 4\n"));

    const QString text = QString::fromLatin1(readAll(salesPath));
    // Department names: "4000 Printing" splits, "Bindery" is both.
    // A line without a name ends after its memo; one with a name after it.
    EXPECT_TRUE(text.contains(QStringLiteral("SPL\tGENERAL JOURNAL\t11/30/2026\t4000\t-180.00\tPrinting\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("SPL\tGENERAL JOURNAL\t11/30/2026\tBindery\t-80.00\tBindery\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t1151\t430.87\tfrom Total Sales\tSales\r\n"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("\t\r\n")));
    // A department's first word is its account only when it is a number
    // other than 0; otherwise the whole name is account and memo.
    struct
    {
        const char *name, *line;
    } departments[] = {
        {"Sales Tax", "SPL\tGENERAL JOURNAL\t11/30/2026\tSales Tax\t-80.00\tSales Tax\r\n"},
        {"0 Bindery", "SPL\tGENERAL JOURNAL\t11/30/2026\t0 Bindery\t-80.00\t0 Bindery\r\n"},
        {"4100 Mail Prep", "SPL\tGENERAL JOURNAL\t11/30/2026\t4100\t-80.00\tMail Prep\r\n"},
    };
    for (const auto &d : departments) {
        exec(QStringLiteral("UPDATE SalesDepartments SET Name = '%1' WHERE [No] = 2").arg(QString::fromLatin1(d.name)));
        const QString again = QString::fromLatin1(readAll(write(QStringLiteral("department.iif"), [](CExport &e) {
            e.WriteIifSalesHeader();
            return e.WriteIifSalesJournal(7);
        })));
        EXPECT_TRUE(again.contains(QString::fromLatin1(d.line))) << d.name << "\n" << again.toStdString();
    }
    exec(QStringLiteral("UPDATE SalesDepartments SET Name = 'Bindery' WHERE [No] = 2"));

    // Invoice 1001 as posted on 11/30 (paid 100.00 before, 119.50 due), then
    // paid 50.00 more and credited: exported again, it is what was posted.
    exec(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
                        "Paid, Writeoff, Balance, JobType, PropID) VALUES (#11/30/2026#, 1001, 200, -5, 10, 0, 14.5, 0, "
                        "-100, 0, 119.5, 3, 0)"));
    exec(QStringLiteral("INSERT INTO AuditTrail (TransDate, JobNo, Subtotal, Discount, Shipping, Postage, Tax, Latefee, "
                        "Paid, Writeoff, Balance, JobType, PropID) VALUES (#12/2/2026#, 1001, 0, 0, 0, 0, 0, 0, -50, 0, "
                        "-50, 3, 0)"));
    exec(QStringLiteral("UPDATE Jobs SET Paid = -150, Balance = 0, Creator = 98 WHERE JobNo = 1001"));
    const QString laterPath = write(QStringLiteral("later.iif"), [](CExport &e) {
        e.WriteIifInvoiceHeader();
        return e.WriteIifInvoices(7);
    });
    out = python(QString::fromLatin1(kIifChecker), {laterPath}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("blocks 4\n"));
    const QString later = QString::fromLatin1(readAll(laterPath));
    for (const char *posted : {"TRNS\tINVOICE\t11/25/2026\tAccounts Receivable\tAcme, Inc.\t119.50\t1001\t",
                               "SPL\tINVOICE\t11/25/2026\tChecking\t\t100.00\t1001\t\tN\tPayment\t\r\n"})
        EXPECT_TRUE(later.contains(QString::fromLatin1(posted))) << posted << "\n" << later.toStdString();
}

TEST_F(AccountingExport, IifJournalOfAPostingWithoutJobsIsDatedByThePosting)
{
    // Posting 8 holds a quick sale only: its journal is written, dated 12/1/2026.
    const QString path = write(QStringLiteral("quick.iif"), [](CExport &e) {
        e.WriteIifSalesHeader();
        return e.WriteIifSalesJournal(8);
    });
    const QString text = QString::fromLatin1(readAll(path));
    EXPECT_TRUE(text.contains(QStringLiteral("TRNS\tGENERAL JOURNAL\t12/01/2026\t1152\t10.00\tTotal Sales\r\n")))
        << text.toStdString();
    int code = 0;
    const QString out = python(QString::fromLatin1(kIifChecker), {path}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();

    // Short account lists are filled from the defaults.
    exec(QStringLiteral("INSERT INTO CustomerAlerts (CusNo, AlertType, AlertText) VALUES (0, 255, '1200,710,')"));
    const QString shortPath = write(QStringLiteral("short.iif"), [](CExport &e) { return e.WriteIifSalesJournal(8); });
    const QString shortText = QString::fromLatin1(readAll(shortPath));
    EXPECT_TRUE(shortText.startsWith(QStringLiteral("TRNS\tGENERAL JOURNAL\t12/01/2026\t1200\t10.00\tTotal Sales\r\n")));
    EXPECT_TRUE(shortText.contains(QStringLiteral("\t1490\t")));
}

TEST_F(AccountingExport, IifCustomerListKeepsTopAndWhere)
{
    // A two-line address and a TAB in a name: IIF cannot quote, so each
    // record stays one line of the header's fields.
    exec(QStringLiteral("UPDATE Customers SET Address = '9 Elm' & Chr(13) & Chr(10) & 'Back door' WHERE CusNo = 101"));
    int written = 0;
    const QString path = write(
        QStringLiteral("customers.iif"),
        [](CExport &e) {
            e.listSql = QStringLiteral("SELECT TOP 5 Customers.CusNo, Customers.Name FROM Customers WHERE "
                                       "Customers.CusNo >= 100 ORDER BY Customers.Name");
            return e.ExportQuickBooksCustomers();
        },
        &written);
    EXPECT_EQ(written, 2);
    expectGolden(path, QStringLiteral("customers.iif"));
    const QList<QByteArray> lines = readAll(path).split('\n');
    EXPECT_TRUE(lines.first().startsWith("!CUST\tNAME\tBADDR1\tBADDR2\tBADDR3\tBADDR4\tCONT1\tPHONE1\tCONT2\tPHONE2\t"
                                         "FAXNUM\tTAXABLE\r"));
    EXPECT_TRUE(readAll(path).contains("CUST\tBob's Print Shop\tBob's Print Shop\t9 Elm Back door\t\t"));
    int code = 0;
    const QString out = python(QString::fromLatin1(kIifChecker), {path}, &code);
    EXPECT_EQ(code, 0) << out.toStdString();

    // The top of Windows-1252 is written as its own byte, not as "?".
    exec(QString::fromUtf8("UPDATE Customers SET Address = '1 Ha\xC3\xBF Lane' WHERE CusNo = 101"));
    const QString accentedPath = write(QStringLiteral("accented.iif"), [](CExport &e) {
        e.listSql = QStringLiteral("SELECT TOP 5 Customers.CusNo, Customers.Name FROM Customers WHERE "
                                   "Customers.CusNo >= 100 ORDER BY Customers.Name");
        return e.ExportQuickBooksCustomers();
    }, &written);
    EXPECT_TRUE(readAll(accentedPath).contains("CUST\tBob's Print Shop\tBob's Print Shop\t1 Ha\xFF Lane\t"))
        << readAll(accentedPath).toStdString();

    const QString topPath = write(QStringLiteral("top.iif"), [](CExport &e) {
        e.listSql = QStringLiteral("SELECT TOP 1 Customers.CusNo FROM Customers WHERE Customers.CusNo >= 100");
        return e.ExportQuickBooksCustomers();
    }, &written);
    EXPECT_EQ(written, 1);
}

TEST_F(AccountingExport, AccountTextWithoutTwoCommasIsAskedAgain)
{
    int asked = 0;
    for (const char *typed : {"40000", "41000,12000,24100"}) {
        prompts().onDialog([&asked, typed](QDialog &d) {
            auto &data = static_cast<CDlgData &>(d);
            // The first time the default, then what was typed.
            EXPECT_EQ(data.m_strValue, asked == 0 ? QStringLiteral("40000,11000,23100") : QStringLiteral("40000"));
            ++asked;
            data.m_strValue = QString::fromLatin1(typed);
            return int(IDOK_RESULT);
        });
    }
    prompts().answer(platform::IDOK);
    QString accounts;
    ASSERT_TRUE(CExport::AskAccounts(accounts));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(accounts, QStringLiteral("41000,12000,24100"));
    EXPECT_EQ(prompts().texts().first(),
              QStringLiteral("Please type the three accounts separated by commas, for example 40000,11000,23100."));
}

TEST_F(AccountingExport, BothIifKindsGoInOneFileAndUnwrittenPostingsAreNamed)
{
    prompts().onDialog([](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        EXPECT_EQ(o.GetEntryText(1), QStringLiteral("Sales:"));
        EXPECT_TRUE(o.IsEntryChecked(1));
        EXPECT_FALSE(o.IsEntryChecked(2));
        o.tree()->SetOptionChecked(2, true);
        o.SendCommand(1);
        return o.result();
    });
    int written = 0;
    QList<int> skipped;
    const QString path = write(
        QStringLiteral("both.iif"),
        [&skipped](CExport &e) {
            // Posting 99 does not exist: its journal cannot be dated.
            e.rows = {CExport::Row{QStringLiteral("7"), 7}, CExport::Row{QStringLiteral("99"), 99}};
            const int n = e.ExportQuickBooks(true);
            skipped = e.skippedPostings();
            return n;
        },
        &written);
    EXPECT_EQ(written, 2); // 7 as journal and invoices; 99 has neither
    EXPECT_EQ(skipped, QList<int>{99});
    const QByteArray data = readAll(path);
    EXPECT_TRUE(data.startsWith("!TRNS\tTRNSTYPE\tDATE\tACCNT\tAMOUNT"));
    EXPECT_LT(data.indexOf("GENERAL JOURNAL"), data.indexOf("!TRNS\tTRNSTYPE\tDATE\tACCNT\tNAME"));
    EXPECT_LT(data.indexOf("!TRNS\tTRNSTYPE\tDATE\tACCNT\tNAME"), data.indexOf("TRNS\tINVOICE"));
}

TEST_F(AccountingExport, CustomersViewIifChoiceWritesTheCustomerList)
{
    CXListCtrl list;
    list.FillFromSql(QStringLiteral("SELECT Customers.CusNo, Customers.Name FROM Customers WHERE Customers.CusNo = 100"),
                     QStringLiteral("CusNo"));
    prompts().onDialog([](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        o.tree()->SetOptionChecked(6, true);
        o.SendCommand(1);
        return o.result();
    });
    const QString path = tempPath(QStringLiteral("Customers.iif"));
    prompts().answerFile(path);
    prompts().answer(platform::IDNO);
    CExport e;
    e.ExportList(30003, 1, 1, QStringLiteral("All Customers"), &list, false, 2);
    const QByteArray data = readAll(path);
    EXPECT_TRUE(data.startsWith("!CUST\tNAME\t")) << data.toStdString();
    EXPECT_EQ(data.count("\r\nCUST\t"), 1);
    // The customer list for QuickBooks is an IIF file and nothing else: the
    // file dialog offers that type alone.
    ASSERT_GE(prompts().shown().size(), 1);
    bool asked = false;
    for (const platform::PromptRecord &r : prompts().shown())
        if (r.kind == platform::PromptRecord::Kind::SaveFile) {
            asked = true;
            EXPECT_EQ(r.filter, QStringLiteral("Quickbooks (.iif) (*.iif)"));
        }
    EXPECT_TRUE(asked);

    // A list whose query the export cannot run (CusNo names a column of two
    // tables of its join), or that exports nothing, leaves the file as it
    // was and says so.
    struct Case
    {
        const char *listSql;
        QString said;
    };
    const Case cases[] = {
        {"SELECT * FROM Customers WHERE CusNo = 100",
         QStringLiteral("Cannot write: ") + path +
             QStringLiteral("\n\nThe data to export could not be read from the database; nothing was written.")},
        {"SELECT * FROM Customers WHERE Customers.CusNo = 99999", QStringLiteral("No data is exported!")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.listSql);
        CXListCtrl other;
        other.FillFromSql(QString::fromLatin1(c.listSql), QStringLiteral("CusNo"));
        prompts().clear();
        prompts().onDialog([](QDialog &d) {
            auto &o = static_cast<CDlgOptions &>(d);
            o.tree()->SetOptionChecked(6, true);
            o.SendCommand(1);
            return o.result();
        });
        prompts().answerFile(path);
        for (int i = 0; i < 4; ++i)
            prompts().answer(platform::IDNO);
        CExport failing;
        failing.ExportList(30003, 1, 1, QStringLiteral("All Customers"), &other, true, 2);
        EXPECT_EQ(readAll(path), data);
        ASSERT_FALSE(prompts().texts().isEmpty());
        EXPECT_EQ(prompts().texts().last(), c.said);
    }

    // The customer address lists are delimited text only.
    prompts().clear();
    prompts().onDialog([](QDialog &d) {
        auto &o = static_cast<CDlgOptions &>(d);
        o.tree()->SetOptionChecked(5, true);
        o.SendCommand(1);
        return o.result();
    });
    prompts().answerFile(tempPath(QStringLiteral("Addresses")));
    prompts().answer(platform::IDNO);
    CExport addresses;
    addresses.ExportList(30003, 1, 1, QStringLiteral("All Customers"), &list, false, 2);
    for (const platform::PromptRecord &r : prompts().shown())
        if (r.kind == platform::PromptRecord::Kind::SaveFile)
            EXPECT_EQ(r.filter, QStringLiteral("Tab Delimited (.txt) (*.txt);;Comma Delimited (.csv) (*.csv)"));
}

} // namespace
