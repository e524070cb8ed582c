#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>

namespace {

struct ToolResult
{
    int exitCode = -1;
    QString out;
};

ToolResult runProgram(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ToolResult r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

ToolResult dbtool(const QStringList &args)
{
    return runProgram(QStringLiteral(TAVREL_DBTOOL), args);
}

bool have(const char *program)
{
    return !QStandardPaths::findExecutable(QLatin1String(program)).isEmpty();
}

QString pageText(const QString &pdf, int page)
{
    return runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                             QString::number(page), pdf, QStringLiteral("-")})
        .out;
}

int pageCount(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(runProgram(QStringLiteral("pdfinfo"), {pdf}).out);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintTool : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        if (!have("pdfinfo") || !have("pdftotext"))
            GTEST_SKIP() << "poppler-utils are not installed";
        db = tempPath(QStringLiteral("shop.mdb"));
        ASSERT_EQ(dbtool({QStringLiteral("sample"), db, QStringLiteral("--jobs"), QStringLiteral("300")}).exitCode, 0);
    }
    ToolResult print(const QString &pdf, const QStringList &extra = {})
    {
        return dbtool(QStringList{QStringLiteral("print"), db, QStringLiteral("--sql"),
                                  QStringLiteral("SELECT JobNo, Title, Balance FROM Jobs ORDER BY JobID"),
                                  QStringLiteral("--pdf"), pdf, QStringLiteral("--today"),
                                  QStringLiteral("03/16/2011")}
                      + extra);
    }
    QString db;
};

} // namespace

TEST_F(PrintTool, PrintsATableOnFormOneHundredWithTotalsAndContinuedPages)
{
    const QString pdf = tempPath(QStringLiteral("jobs.pdf"));
    const ToolResult r = print(pdf);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("result 2\n"));
    EXPECT_FALSE(QFile::exists(tempPath(QStringLiteral("shop.ldb")))); // the tool's entry left with it
    const int pages = pageCount(pdf);
    ASSERT_GE(pages, 2);
    for (int p = 1; p <= pages; ++p) {
        const QString text = pageText(pdf, p);
        EXPECT_EQ(text.contains(QStringLiteral("continued...")), p < pages) << p;
        EXPECT_EQ(text.contains(QStringLiteral("Total\n")), p == pages) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("03/16/11 09:00:00"))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1\n").arg(p))) << p;
    }
    // The heading row starts 1.25 inches below a top margin of 0.25 inch: 108 points.
    const QString bbox = runProgram(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                              QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")})
                             .out;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("yMin=\"([\\d.]+)\"[^>]*>JobNo<")).match(bbox);
    ASSERT_TRUE(m.hasMatch());
    EXPECT_GE(m.captured(1).toDouble(), 108.0);
    EXPECT_LE(m.captured(1).toDouble(), 122.0);
}

TEST_F(PrintTool, PageRangesPreviewAndARangePastTheEnd)
{
    const QString full = tempPath(QStringLiteral("full.pdf"));
    ASSERT_EQ(print(full).exitCode, 0);
    const int pages = pageCount(full);
    ASSERT_GE(pages, 3);

    const QString part = tempPath(QStringLiteral("part.pdf"));
    EXPECT_EQ(print(part, {QStringLiteral("--pages"), QStringLiteral("2-3")}).out, QStringLiteral("result 2\n"));
    EXPECT_EQ(pageCount(part), 2);
    EXPECT_EQ(pageText(part, 1), pageText(full, 2));
    EXPECT_EQ(pageText(part, 2), pageText(full, 3));

    const QString none = tempPath(QStringLiteral("none.pdf"));
    EXPECT_EQ(print(none, {QStringLiteral("--pages"), QStringLiteral("40-41")}).out, QStringLiteral("result 2\n"));
    EXPECT_FALSE(QFile::exists(none));

    const QString preview = tempPath(QStringLiteral("preview.pdf"));
    ASSERT_EQ(print(preview, {QStringLiteral("--preview")}).exitCode, 0);
    EXPECT_EQ(pageCount(preview), pages);
    // Its pages numbered as the paper's.
    EXPECT_TRUE(pageText(preview, 1).contains(QStringLiteral("Page 1")));
    EXPECT_TRUE(pageText(full, 1).contains(QStringLiteral("Page 1")));
    EXPECT_FALSE(pageText(preview, 1).contains(QStringLiteral("Page 1 of")));
    EXPECT_TRUE(pageText(preview, pages).contains(QStringLiteral("Total\n")));
}

TEST_F(PrintTool, BarcodeAndScanCommands)
{
    const QString png = tempPath(QStringLiteral("job.png"));
    const ToolResult code = dbtool({QStringLiteral("barcode"), QStringLiteral("6"), QStringLiteral("1234"), png});
    ASSERT_EQ(code.exitCode, 0);
    EXPECT_EQ(code.out, QStringLiteral("*^1234#*\n"));
    if (have("zbarimg"))
        EXPECT_EQ(runProgram(QStringLiteral("zbarimg"), {QStringLiteral("-q"), png}).out,
                  QStringLiteral("CODE-39:%N1234/C\n"));

    EXPECT_EQ(dbtool({QStringLiteral("scan"), QStringLiteral("Shift 6 1 2 Shift 3")}).out,
              QStringLiteral("result 1\nresult 1\nresult 1\nresult 1\nresult 1\nresult 30598\n"
                             "object 12 6\naction 0 0\norder 1\n"));
    // Customer then command: both kept, the object first.
    EXPECT_TRUE(dbtool({QStringLiteral("scan"), QStringLiteral("Shift 9 7 Shift 3 Shift 1 3 1 0 0 0 Shift 3")})
                    .out.endsWith(QStringLiteral("object 7 9\naction 31000 1\norder 1\n")));
    // At a person's pace nothing is taken.
    EXPECT_EQ(dbtool({QStringLiteral("scan"), QStringLiteral("Shift 2 1 2"), QStringLiteral("--gap"),
                      QStringLiteral("120")})
                  .out,
              QStringLiteral("result 1\nresult 0\nresult 0\nresult 0\nobject 0 0\naction 0 0\norder 0\n"));
}

TEST_F(PrintTool, JobDocumentsAndStatementsAsPdfMarkOnlyARealPrint)
{
    if (!have("sqlite3"))
        GTEST_SKIP() << "the sqlite3 command-line program is not installed";
    auto sql = [&](const QString &statement) {
        return runProgram(QStringLiteral("sqlite3"), {db, statement}).out.trimmed();
    };
    const QString jobId = sql(QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = 0"));
    const QString jobNo = sql(QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = ") + jobId);
    const QString counters = QStringLiteral("SELECT InvoicePrinted || ',' || PropID1 || ',' || PrintOption FROM Jobs "
                                            "WHERE JobID = ") + jobId;
    const QString before = sql(counters);
    const QString pdf = tempPath(QStringLiteral("invoice.pdf"));
    auto invoice = [&](const QStringList &extra) {
        return dbtool(QStringList{QStringLiteral("print"), db, QStringLiteral("--job"), jobId, QStringLiteral("--kind"),
                                  QStringLiteral("5"), QStringLiteral("--pdf"), pdf}
                      + extra);
    };
    // A preview marks nothing.
    ASSERT_EQ(invoice({QStringLiteral("--preview")}).exitCode, 0);
    EXPECT_EQ(sql(counters), before);
    // A real print counts one print and keeps the document and its options.
    ASSERT_EQ(invoice({}).out, QStringLiteral("result 2\n"));
    const QString text = pageText(pdf, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Invoice ") + jobNo)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("(print# ")));
    const QStringList parts = before.split(QLatin1Char(','));
    EXPECT_EQ(sql(counters), QStringLiteral("%1,5,%2").arg(parts[0].toInt() + 1).arg(0x627F9));

    // A print that cuts a text is a failed one: the PDF and its record are
    // written, the run ends 1 naming what was cut. A footer of sixty lines
    // cannot stand on a page below the document.
    QStringList footer;
    for (int i = 0; i < 60; ++i)
        footer << QStringLiteral("'Footer line %1'").arg(i);
    const QString forms = QStringLiteral("SELECT Footer FROM Forms WHERE [No] = 5");
    const QString footerBefore = sql(forms);
    sql(QStringLiteral("UPDATE Forms SET Footer = %1 WHERE [No] = 5").arg(footer.join(QStringLiteral(" || char(10) || "))));
    QFile::remove(pdf);
    const ToolRun cut = RunDbTool({QStringLiteral("print"), db, QStringLiteral("--job"), jobId, QStringLiteral("--kind"),
                                   QStringLiteral("5"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_EQ(cut.out, QStringLiteral("result 2\n"));
    EXPECT_TRUE(cut.err.contains(QStringLiteral("the print cut what it was to print whole:\n  %1: ").arg(pdf)))
        << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains(QStringLiteral("\"Footer line 0 Footer line 1 Footer line 2")))
        << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains(QStringLiteral("cut below its cell"))) << cut.err.toStdString();
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(QFile::exists(pdf + QStringLiteral(".cuts")));
    sql(QStringLiteral("UPDATE Forms SET Footer = '%1' WHERE [No] = 5").arg(footerBefore));

    // A statement's total due is the sqlite3 CLI's sum of open balances less the credit.
    const QString cusNo = sql(QStringLiteral("SELECT CusNo FROM Jobs WHERE JobType = 3 AND Balance > 0.0001 "
                                             "GROUP BY CusNo ORDER BY Count(*) DESC LIMIT 1"));
    ASSERT_FALSE(cusNo.isEmpty());
    const double due = sql(QStringLiteral("SELECT (SELECT Sum(Balance) FROM Jobs WHERE JobType = 3 AND Balance > "
                                          "0.0001 AND (CusNo = %1 OR CusNo IN (SELECT CusNo FROM Customers WHERE "
                                          "ParentNo = %1))) - (SELECT CreditDue FROM Customers WHERE CusNo = %1)")
                               .arg(cusNo))
                           .toDouble();
    const QString statement = tempPath(QStringLiteral("statement.pdf"));
    ASSERT_EQ(dbtool({QStringLiteral("print"), db, QStringLiteral("--statement"), cusNo, QStringLiteral("--kind"),
                      QStringLiteral("3"), QStringLiteral("--pdf"), statement})
                  .exitCode,
              0);
    const QString statementText = pageText(statement, pageCount(statement)).remove(QLatin1Char(','));
    EXPECT_TRUE(statementText.contains(QStringLiteral("Total Due")));
    EXPECT_TRUE(statementText.contains(QString::number(due, 'f', 2))) << due << statementText.toStdString();

    // A balance another program stored as a text is said as the A/R summary
    // says it, and the statement is not printed.
    const QString jobNoOfOpen = sql(QStringLiteral("SELECT Max(JobNo) FROM Jobs WHERE JobType = 3 AND Balance > 0.0001 "
                                                   "AND CusNo = ") + cusNo);
    sql(QStringLiteral("UPDATE Jobs SET Balance = 'unpaid' WHERE JobType = 3 AND JobNo = ") + jobNoOfOpen);
    QFile::remove(statement);
    const ToolRun unread = RunDbTool({QStringLiteral("print"), db, QStringLiteral("--statement"), cusNo,
                                      QStringLiteral("--kind"), QStringLiteral("3"), QStringLiteral("--pdf"), statement});
    EXPECT_EQ(unread.exitCode, 1);
    EXPECT_EQ(unread.out, QString());
    EXPECT_TRUE(unread.err.contains(QStringLiteral("PROMPT: Cannot print the Statement: the Balance of invoice %1 "
                                                   "cannot be read as an amount.\\n\\nError 3464 occured:")
                                        .arg(jobNoOfOpen)))
        << unread.err.toStdString();
    EXPECT_FALSE(QFile::exists(statement));
}

namespace {

// The customer documents the print dialog offers a job of each type, by
// document number, with the titles of a new file's forms.
const QStringList kOrderTitles = {QStringLiteral("Work Order"), QStringLiteral("Invoice"),
                                  QStringLiteral("Order Receipt"), QStringLiteral("Delivery Ticket"),
                                  QStringLiteral("Invoice"), QStringLiteral("Invoice"), QStringLiteral("Invoice")};
const QStringList kQuoteTitles = {QStringLiteral("Estimate"), QStringLiteral("Quote"), QStringLiteral("Proposal"),
                                  QStringLiteral("Estimate"), QStringLiteral("Quotation"), QStringLiteral("Quotation"),
                                  QStringLiteral("Quotation"), QStringLiteral("Estimate")};

// Prints every document of the job; one line per document whose page lacks
// its title with the job number, the price or a total.
QStringList documentsLackingTheirParts(const QString &db, const QString &jobId, const QString &jobNo,
                                       const QStringList &titles, const QString &price, const QString &folder)
{
    QStringList lacking;
    for (int kind = 1; kind <= titles.size(); ++kind) {
        const QString pdf = folder + QStringLiteral("/job-%1-%2.pdf").arg(jobId).arg(kind);
        const ToolResult r = dbtool({QStringLiteral("print"), db, QStringLiteral("--job"), jobId, QStringLiteral("--kind"),
                                     QString::number(kind), QStringLiteral("--pdf"), pdf, QStringLiteral("--preview")});
        const QString text = pageText(pdf, 1).remove(QLatin1Char(','));
        QStringList missing;
        if (r.exitCode != 0)
            missing << QStringLiteral("exit %1").arg(r.exitCode);
        if (!text.contains(titles[kind - 1]) || text.contains(QStringLiteral("List ") + jobNo))
            missing << titles[kind - 1];
        if (!text.contains(price))
            missing << price;
        if (!text.contains(QStringLiteral("total"), Qt::CaseInsensitive))
            missing << QStringLiteral("total");
        if (!missing.isEmpty())
            lacking << QStringLiteral("job %1 document %2 lacks %3").arg(jobId).arg(kind).arg(missing.join(QStringLiteral(", ")));
    }
    return lacking;
}

} // namespace

// Every document the print dialog offers for a quote, an order and a posted
// invoice prints under its own title with the prices and the totals, on a
// new file as on the sample: none falls back to the list form.
TEST_F(PrintTool, EveryDocumentOfTheDialogPrintsItsTitlePricesAndTotals)
{
    if (!have("sqlite3"))
        GTEST_SKIP() << "the sqlite3 command-line program is not installed";
    auto sql = [](const QString &file, const QString &statement) {
        return runProgram(QStringLiteral("sqlite3"), {file, statement}).out.trimmed();
    };
    const QString created = tempPath(QStringLiteral("new.mdb"));
    ASSERT_EQ(dbtool({QStringLiteral("create"), created}).exitCode, 0);
    for (int type : {0, 1, 3}) {
        sql(created, QStringLiteral("INSERT INTO Jobs (JobType, JobNo, Title, CusNo, Status, TaxNo, TermsNo, Subtotal, "
                                    "Discount, Shipping, Postage, Tax, Paid, Writeoff, Latefee, Balance, InvoicePrinted, "
                                    "WOrderPrinted, Creator) VALUES (%1, %2, 'Postcards', 10, 0, 0, 1, 123.45, 0, 0, 0, "
                                    "0, 0, 0, 0, 123.45, 0, 0, 0)")
                         .arg(type)
                         .arg(5001 + type));
        sql(created, QStringLiteral("INSERT INTO Items (JobID, SerNo, ItemNo, SubNo, SortNo, Description, ChargeQty, "
                                    "Price, Cost, Status, Sheets, Side1, Side2) SELECT Max(JobID), 0, 1, 0, 0, 'Postcards', "
                                    "500, 123.45, 60, 1, 1, 1, 0 FROM Jobs"));
    }
    QStringList lacking;
    for (int type : {0, 1, 3}) {
        const QString id = sql(created, QStringLiteral("SELECT JobID FROM Jobs WHERE JobType = %1").arg(type));
        lacking << documentsLackingTheirParts(created, id, QString::number(5001 + type),
                                              type == 1 ? kQuoteTitles : kOrderTitles, QStringLiteral("123.45"),
                                              tempPath(QString()));
    }
    // The sample: its first order, quote and posted invoice.
    for (int type : {0, 1, 3}) {
        const QString id = sql(db, QStringLiteral("SELECT Min(JobID) FROM Jobs WHERE JobType = %1").arg(type));
        const QString jobNo = sql(db, QStringLiteral("SELECT JobNo FROM Jobs WHERE JobID = ") + id);
        const QString price = sql(db, QStringLiteral("SELECT printf('%.2f', Subtotal) FROM Jobs WHERE JobID = ") + id);
        lacking << documentsLackingTheirParts(db, id, jobNo, type == 1 ? kQuoteTitles : kOrderTitles, price,
                                              tempPath(QString()));
    }
    EXPECT_TRUE(lacking.isEmpty()) << lacking.join(QLatin1Char('\n')).toStdString();
}
